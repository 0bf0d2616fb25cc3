// tests/core/test_nk_oriented_box.cpp -- NKOrientedBox of
// core/nk_oriented_box.h: construction from boxes, copies, corners and
// faces, dragging, containment, ray hits and grid points.
#include <gtest/gtest.h>

#include <cmath>

#include "core/nk_math.h"
#include "core/nk_memory.h"
#include "core/nk_oriented_box.h"

namespace {

void ExpectVec3Near(const float *v, float x, float y, float z, float tol = 1e-5f)
{
    EXPECT_NEAR(v[0], x, tol);
    EXPECT_NEAR(v[1], y, tol);
    EXPECT_NEAR(v[2], z, tol);
}

NKOrientedBox BoxFromMinMax(float x0, float y0, float z0, float x1, float y1, float z1)
{
    const float afMin[3] = {x0, y0, z0}, afMax[3] = {x1, y1, z1};
    NKOrientedBox box;
    box.SetFromMinMax(afMin, afMax);
    return box;
}

}  // namespace

TEST(OrientedBoxSetup, DefaultBox)
{
    NKOrientedBox box;
    ExpectVec3Near(box.GetCenter(), 0, 0, 0, 0);
    ExpectVec3Near(box.GetAxis(0), 1, 0, 0, 0);
    ExpectVec3Near(box.GetAxis(2), 0, 0, 1, 0);
    ExpectVec3Near(box.GetHalfExtents(), 0, 0, 0, 0);
    EXPECT_EQ(box.GetMinCorner(), -1);
    EXPECT_EQ(box.GetMaxCorner(), -1);
    EXPECT_TRUE(box.IsDirty());
}

TEST(OrientedBoxSetup, FromMinMax)
{
    const float afMin[3] = {0, 0, 0}, afMax[3] = {1, 2, 3};
    NKOrientedBox box;
    EXPECT_EQ(box.SetFromMinMax(afMin, afMax), -1);
    ExpectVec3Near(box.GetCenter(), 0.5f, 1, 1.5f);
    ExpectVec3Near(box.GetHalfExtents(), 0.5f, 1, 1.5f);
    EXPECT_EQ(box.GetMinCorner(), 3);
    EXPECT_EQ(box.GetMaxCorner(), 5);
    float corners[8][3];
    box.GetCorners(corners, nullptr, nullptr);
    ExpectVec3Near(corners[3], 0, 0, 0);
    ExpectVec3Near(corners[5], 1, 2, 3);
    float afBox[6];
    box.GetBox(afBox, false);
    const float expected[6] = {0, 0, 0, 1, 2, 3};
    for (int i = 0; i < 6; i++) EXPECT_FLOAT_EQ(afBox[i], expected[i]);
    box.GetBox(afBox, true);
    for (int i = 0; i < 6; i++) EXPECT_FLOAT_EQ(afBox[i], expected[i]);
}

TEST(OrientedBoxSetup, ReversedAxisRoundTrips)
{
    const float afIn[6] = {1, 0, 0, 0, 1, 1};  // x reversed
    NKOrientedBox box;
    box.SetFromBox(afIn);
    ExpectVec3Near(box.GetHalfExtents(), 0.5f, 0.5f, 0.5f);
    float afOut[6];
    box.GetBox(afOut, false);
    for (int i = 0; i < 6; i++) EXPECT_FLOAT_EQ(afOut[i], afIn[i]);
    box.GetBox(afOut, true);  // the hull is ordinary
    EXPECT_FLOAT_EQ(afOut[0], 0.0f);
    EXPECT_FLOAT_EQ(afOut[3], 1.0f);
}

TEST(OrientedBoxSetup, CopyConstructorRecomputesPlanesAssignmentCopiesThem)
{
    NKOrientedBox box = BoxFromMinMax(0, 0, 0, 2, 2, 2);
    box.Update();
    ASSERT_FALSE(box.IsDirty());
    NKOrientedBox copy(box);
    EXPECT_TRUE(copy.IsDirty());
    EXPECT_EQ(copy.GetMinCorner(), 3);
    NKOrientedBox assigned;
    assigned = box;
    EXPECT_FALSE(assigned.IsDirty());
    for (int f = 0; f < 6; f++)
        for (int k = 0; k < 4; k++) EXPECT_EQ(assigned.GetPlane(f)[k], box.GetPlane(f)[k]);
    copy.Update();
    for (int f = 0; f < 6; f++)
        for (int k = 0; k < 4; k++) EXPECT_FLOAT_EQ(copy.GetPlane(f)[k], box.GetPlane(f)[k]);
}

TEST(OrientedBoxGeometry, FaceTableAndOutwardPlanes)
{
    NKOrientedBox box = BoxFromMinMax(0, 0, 0, 1, 2, 3);
    float corners[8][3], normals[6][3];
    int faces[6][4];
    box.GetCorners(corners, faces, normals);
    EXPECT_EQ(faces[3][0], 2);  // this box's face 3 runs 2 3 7 6
    EXPECT_EQ(faces[4][0], 3);  // and face 4 runs 3 0 4 7
    ExpectVec3Near(normals[0], 0, -1, 0);
    ExpectVec3Near(normals[3], 0, 0, -1);
    ExpectVec3Near(normals[4], -1, 0, 0);
    box.Update();
    const float centre[3] = {0.5f, 1, 1.5f};
    for (int f = 0; f < 6; f++) {
        for (int k = 0; k < 4; k++)
            EXPECT_NEAR(NKPlaneDistance(box.GetPlane(f), corners[faces[f][k]]), 0.0, 1e-6);
        EXPECT_LT(NKPlaneDistance(box.GetPlane(f), centre), 0.0);
    }
}

TEST(OrientedBoxGeometry, TransformScalesExtentsAndNormalisesAxes)
{
    NKOrientedBox box = BoxFromMinMax(-1, -1, -1, 1, 1, 1);
    float m[16];
    NKMatrixIdentity(m);
    NKMat4ScaleWorld(m, 2, 1, 1);
    NKMat4RotateWorld(m, 0, 0, 1, 3.14159265f / 2);
    NKMat4TranslateWorld(m, 5, 0, 0);
    box.Transform(m);
    ExpectVec3Near(box.GetCenter(), 5, 0, 0);
    ExpectVec3Near(box.GetHalfExtents(), 2, 1, 1);
    ExpectVec3Near(box.GetAxis(0), 0, -1, 0);
    ExpectVec3Near(box.GetAxis(1), 1, 0, 0);
    float afBox[6];
    box.GetBox(afBox, true);
    EXPECT_NEAR(afBox[0], 4.0f, 1e-5);
    EXPECT_NEAR(afBox[4], 2.0f, 1e-5);
}

TEST(OrientedBoxGeometry, MoveAndInflate)
{
    NKOrientedBox box = BoxFromMinMax(0, 0, 0, 1, 1, 1);
    box.MoveAlongAxes(1, 2, 3);
    ExpectVec3Near(box.GetCenter(), 1.5f, 2.5f, 3.5f);
    box.Update();
    box.Inflate(0.5f);
    ExpectVec3Near(box.GetHalfExtents(), 1, 1, 1);
    // The cached hull follows the inflated box.
    float afBox[6];
    box.GetBox(afBox, true);
    EXPECT_FLOAT_EQ(afBox[0], 0.5f);
    EXPECT_FLOAT_EQ(afBox[3], 2.5f);
}

TEST(OrientedBoxDrag, CornerFollowsPointOnUnlockedAxes)
{
    NKOrientedBox box = BoxFromMinMax(0, 0, 0, 1, 1, 1);
    const float p[3] = {2, 3, 5};
    EXPECT_EQ(box.DragCorner(5, p, false, false, true), 5);
    float corners[8][3];
    box.GetCorners(corners, nullptr, nullptr);
    ExpectVec3Near(corners[5], 2, 3, 1);  // z locked
    ExpectVec3Near(corners[3], 0, 0, 0);  // the opposite corner stays
}

TEST(OrientedBoxDrag, CornerThroughOppositeFaceBecomesMirrored)
{
    NKOrientedBox box = BoxFromMinMax(0, 0, 0, 1, 1, 1);
    const float p[3] = {-0.5f, 1, 1};
    EXPECT_EQ(box.DragCorner(5, p, false, false, false), 4);
    EXPECT_GT(box.GetHalfExtents()[0], 0.0f);
    float corners[8][3];
    box.GetCorners(corners, nullptr, nullptr);
    ExpectVec3Near(corners[4], -0.5f, 1, 1);
    ExpectVec3Near(box.GetHalfExtents(), 0.25f, 0.5f, 0.5f);
    EXPECT_EQ(box.DragCorner(9, p, false, false, false), 9);
}

TEST(OrientedBoxDrag, FixNegativeExtentsMirrorsCornerIndices)
{
    NKOrientedBox box;
    box.SetHalfExtents(-1, -1, -1);
    EXPECT_EQ(box.FixNegativeExtents(0), 6);  // X: 1, Y: 5, Z: 6
    ExpectVec3Near(box.GetHalfExtents(), 1, 1, 1, 0);
    box.SetHalfExtents(1, -2, 1);
    EXPECT_EQ(box.FixNegativeExtents(-1), -1);
    box.SetHalfExtents(1, 1, -2);
    EXPECT_EQ(box.FixNegativeExtents(12), -1);
}

TEST(OrientedBoxQueries, ContainsFollowsTheBox)
{
    NKOrientedBox box = BoxFromMinMax(0, 0, 0, 1, 2, 3);
    const float centre[3] = {0.5f, 1, 1.5f}, justOut[3] = {0.5f, 2.001f, 1.5f};
    const float onFace[3] = {1, 1, 1};
    EXPECT_TRUE(box.Contains(centre));
    EXPECT_FALSE(box.Contains(justOut));
    EXPECT_TRUE(box.Contains(onFace));
    box.SetCenter(10, 10, 10);
    EXPECT_FALSE(box.Contains(centre));
    const float moved[3] = {10, 10, 10};
    EXPECT_TRUE(box.Contains(moved));
}

TEST(OrientedBoxQueries, ContainsUsesThePlanesOfARotatedBox)
{
    NKOrientedBox box = BoxFromMinMax(-1, -1, -1, 1, 1, 1);
    float m[16];
    NKMatrixIdentity(m);
    NKMat4RotateWorld(m, 0, 0, 1, 3.14159265f / 4);
    box.Transform(m);
    const float hullCorner[3] = {1.3f, 0, 0}, hullOnly[3] = {1.0f, 1.0f, 0};
    EXPECT_TRUE(box.Contains(hullCorner));
    EXPECT_FALSE(box.Contains(hullOnly));  // inside the hull, outside the box
}

TEST(OrientedBoxQueries, RayHitReportsEntryFaceCornerAndDistance)
{
    NKOrientedBox box = BoxFromMinMax(0, 0, 0, 1, 2, 3);
    const float o[3] = {0.9f, 1.9f, 10}, d[3] = {0, 0, -1};
    float fDist = 0, hit[3];
    int iCorner = -1, iFace = -1;
    ASSERT_TRUE(box.RayHit(o, d, &fDist, &iCorner, &iFace, hit));
    EXPECT_EQ(iFace, 2);  // +z face
    EXPECT_EQ(iCorner, 5);
    EXPECT_FLOAT_EQ(fDist, 7.0f);
    ExpectVec3Near(hit, 0.9f, 1.9f, 3);
}

TEST(OrientedBoxQueries, MissingRayGivesFalseAndFarDistance)
{
    NKOrientedBox box = BoxFromMinMax(0, 0, 0, 1, 2, 3);
    const float o[3] = {5, 5, 5}, d[3] = {0, 0, 1};
    float fDist = 0;
    EXPECT_FALSE(box.RayHit(o, d, &fDist, nullptr, nullptr, nullptr));
    EXPECT_EQ(fDist, 1e12f);
}

TEST(OrientedBoxQueries, GridPoints)
{
    NKOrientedBox box = BoxFromMinMax(0, 0, 0, 1, 2, 3);
    float *pf = box.MakeGridPoints(2, 2, 2);
    ASSERT_NE(pf, nullptr);
    ExpectVec3Near(pf, 0, 0, 0);       // corner 3 first
    ExpectVec3Near(pf + 3, 1, 0, 0);   // x fastest
    ExpectVec3Near(pf + 6, 0, 2, 0);   // then y
    ExpectVec3Near(pf + 21, 1, 2, 3);  // corner 5 last
    NKFree(pf);
    pf = box.MakeGridPoints(1, 1, 1);
    ASSERT_NE(pf, nullptr);
    ExpectVec3Near(pf, 0.5f, 1, 1.5f);
    NKFree(pf);
    EXPECT_EQ(box.MakeGridPoints(0, 5, 5), nullptr);
    EXPECT_EQ(box.MakeGridPoints(-1, -1, 1), nullptr);
    EXPECT_EQ(box.MakeGridPoints(1 << 30, 1 << 30, 1 << 30), nullptr);
}
