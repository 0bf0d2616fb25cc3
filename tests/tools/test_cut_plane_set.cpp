// tests/tools/test_cut_plane_set.cpp -- the cutting-plane set (adding,
// deleting, current plane, normals, alignment, grid counts and which setters
// free the planes' cut surfaces), the plane handle, a local plane's
// rectangle, and the vector grid of a plane that meets a flat model edge on.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/nk_bbox.h"
#include "core/nk_math.h"
#include "tests/tools/surface_fixtures.h"
#include "tools/nk_cut_plane.h"

namespace {

using surface::SurfaceTest;

class CutPlaneSetTest : public SurfaceTest {
protected:
    // One frame of one hexahedron on the unit cube with the scalar z, every
    // plane's surface computed.
    NKFrame *CutFrame(CutPlaneSet &set)
    {
        NKGeometry *pGeo = surface::MakeBlock(1, 1.0f);
        NKFrame *pFrame =
            Frames(1, pGeo, surface::MakeScalar(pGeo, [](float, float, float z) { return z; }));
        set.Enable(true);
        set.Handle().ClearChanged();  // as NKCreateSurfaceTools leaves it
        EXPECT_TRUE(NKComputeCutSurfaces(pFrame, &set));
        return pFrame;
    }
};

TEST_F(CutPlaneSetTest, AddingAndDeletingKeepTheCurrentPlane)
{
    CutPlaneSet set;
    EXPECT_EQ(set.GetNumPlanes(), 1);
    for (int i = 1; i < NK_MAX_CUT_PLANES; i++) {
        float p[3] = {(float)i, 0.0f, 0.0f};
        ASSERT_TRUE(set.AddPlane(false));
        set.SetPlanePoint(p, -1);
    }
    EXPECT_FALSE(set.AddPlane(true));  // an 11th plane
    EXPECT_EQ(set.GetNumPlanes(), 10);
    EXPECT_EQ(set.GetCurrent(), 9);
    float p[3];
    set.GetPlanePoint(9, p);
    EXPECT_EQ(p[0], 9.0f);

    CutPlaneSet three;
    three.AddPlane(false);
    three.AddPlane(false);
    ASSERT_EQ(three.GetCurrent(), 2);
    EXPECT_TRUE(three.DeletePlane(1, false));
    EXPECT_EQ(three.GetNumPlanes(), 2);
    EXPECT_EQ(three.GetCurrent(), 1);
    EXPECT_FALSE(three.DeletePlane(5, false));
    EXPECT_TRUE(three.DeletePlane(-1, false));
    EXPECT_FALSE(three.DeletePlane(0, false));  // the only plane stays
    EXPECT_EQ(three.GetNumPlanes(), 1);

    set.SetFlag(NK_CUTPLANE_CLIP, true, 0, false);
    EXPECT_TRUE(set.DeletePlane(0, true));
    EXPECT_EQ(set.GetNumPlanes(), 1);
    EXPECT_FALSE(set.GetFlag(NK_CUTPLANE_CLIP, 0));  // a default plane
    EXPECT_FALSE(set.SetCurrent(4));
    EXPECT_EQ(set.GetCurrent(), 0);
}

// A new plane that is not a copy goes through the centre of the model's box,
// also where the box has no extent in x and lies
// away from the origin; through the display origin where the box is empty,
// in any one axis alone.
TEST_F(CutPlaneSetTest, ADefaultPlaneGoesThroughTheCentreOfTheModelsBox)
{
    const struct {
        const char *pszCase;
        float afBox[6];
        bool bEmpty;
    } kCases[] = {{"a cube", {-1, 0, 2, 1, 4, 6}, false},
                  {"flat in x away from the origin", {5, -1, 2, 5, 3, 6}, false},
                  {"flat in z", {1, 2, 3, 3, 4, 3}, false},
                  {"empty in z alone", {1, 2, 1e12f, 3, 4, -1e12f}, true},
                  {"empty in y alone", {1, 1e12f, 3, 3, -1e12f, 5}, true},
                  {"empty in x alone", {1e12f, 2, 3, -1e12f, 4, 5}, true}};
    for (const auto &c : kCases) {
        SCOPED_TRACE(c.pszCase);
        NKGeometry *pGeo = NKCreateGeometry(1);
        std::memcpy(pGeo->fBoundingBox, c.afBox, sizeof c.afBox);
        Frames(1, pGeo, nullptr);
        // Display coordinates: (model - (1, 1, 1)) x 0.5; the display
        // origin is (1, 1, 1) in the model's (what GetPlanePoint gives).
        g_pModel->fGeoScale = 0.5f;
        g_pModel->fCenterX = g_pModel->fCenterY = g_pModel->fCenterZ = 1.0f;
        float afExpected[3] = {1.0f, 1.0f, 1.0f};
        if (!c.bEmpty)
            for (int k = 0; k < 3; k++) afExpected[k] = 0.5f * (c.afBox[k] + c.afBox[k + 3]);
        CutPlaneSet set;
        float p[3];
        set.GetPlanePoint(0, p);
        for (int k = 0; k < 3; k++) EXPECT_FLOAT_EQ(p[k], afExpected[k]) << "axis " << k;
        ASSERT_TRUE(set.AddPlane(false));
        set.GetPlanePoint(1, p);
        for (int k = 0; k < 3; k++) EXPECT_FLOAT_EQ(p[k], afExpected[k]) << "axis " << k;
    }
}

TEST_F(CutPlaneSetTest, NormalsAndAlignment)
{
    struct Row {
        float in[3];
        int iAxis;  // -1: only set the normal
        float out[3];
    };
    const Row rows[] = {
        {{0.0f, -0.5f, 0.8f}, 1, {0.0f, -1.0f, 0.0f}},
        {{0.0f, 0.0f, 5e-7f}, -1, {0.0f, 0.0f, 1.0f}},
        {{3.0f, 4.0f, 0.0f}, -1, {0.6f, 0.8f, 0.0f}},
        {{-2.0f, 1.0f, 1.0f}, 0, {-1.0f, 0.0f, 0.0f}},
        {{0.3f, 0.2f, 0.0f}, 2, {0.0f, 0.0f, 1.0f}},
    };
    for (const Row &r : rows) {
        CutPlaneSet set;
        set.SetPlaneNormal(r.in, -1);
        if (r.iAxis >= 0) {
            EXPECT_TRUE(set.AlignToAxis(r.iAxis, true));
        }
        float n[3];
        set.GetPlaneNormal(-1, n);
        for (int k = 0; k < 3; k++) EXPECT_NEAR(n[k], r.out[k], 1e-6f) << r.in[0] << " " << k;
    }
    // The handle's axis (0, 0.6, 0.8) turns to +z when aligned to x.
    CutPlaneSet set;
    float a[3] = {0.0f, 0.6f, 0.8f};
    set.SetPlaneAxis(a, -1);
    set.AlignToAxis(0, true);
    float h[3];
    set.Handle().GetInPlaneAxis(h);
    EXPECT_EQ(h[2], 1.0f);
    EXPECT_EQ(h[1], 0.0f);
}

TEST_F(CutPlaneSetTest, GeometrySettersFreeSurfacesAndDrawingFlagsDoNot)
{
    CutPlaneSet set;
    NKFrame *pFrame = CutFrame(set);
    ASSERT_NE(pFrame->pCutSurfaces[0], nullptr);
    struct Row {
        const char *pszName;
        bool (*pfnChange)(CutPlaneSet &);
        bool bFrees;
    };
    const Row rows[] = {
        {"show surface",
         [](CutPlaneSet &s) { return s.SetFlag(NK_CUTPLANE_SHOW_SURFACE, false, -1, false); },
         false},
        {"clip", [](CutPlaneSet &s) { return s.SetFlag(NK_CUTPLANE_CLIP, true, -1, true); }, false},
        {"grid -1", [](CutPlaneSet &s) { return !s.SetVectorGrid(-1, 5, -1, false); }, false},
        {"same grid", [](CutPlaneSet &s) { return s.SetVectorGrid(30, 30, -1, false); }, false},
        {"grid", [](CutPlaneSet &s) { return s.SetVectorGrid(4, 6, -1, false); }, true},
        {"cut vectors",
         [](CutPlaneSet &s) { return s.SetFlag(NK_CUTPLANE_CUT_VECTORS, true, -1, false); }, true},
        {"normal",
         [](CutPlaneSet &s) {
             float n[3] = {1, 0, 0};
             return s.SetPlaneNormal(n, -1);
         },
         true},
    };
    for (const Row &r : rows) {
        ASSERT_TRUE(NKComputeCutSurfaces(pFrame, &set)) << r.pszName;
        EXPECT_TRUE(r.pfnChange(set)) << r.pszName;
        EXPECT_EQ(pFrame->pCutSurfaces[0] == nullptr, r.bFrees) << r.pszName;
        EXPECT_EQ(NKCutSurfacesNeedUpdate(&set, -1, -1), r.bFrees) << r.pszName;
    }
    EXPECT_EQ(set.GetGridI(-1), 4);
    EXPECT_EQ(set.GetGridJ(-1), 6);
    EXPECT_EQ(set.GetGridI(3), 0);
}

TEST_F(CutPlaneSetTest, OnlyAChangedHandleMovesThePlane)
{
    CutPlaneSet set;
    set.Handle().ClearChanged();  // as NKCreateSurfaceTools leaves it
    float p[3] = {0.5f, 0.5f, 0.25f};
    set.SetPlanePoint(p, -1);
    EXPECT_FALSE(set.FollowHandle());
    float d[3] = {p[0], p[1], p[2]}, q[3];
    ModelToDisplay(d);  // the handle lives in display coordinates
    set.Handle().GetPosition(q);
    EXPECT_EQ(q[2], d[2]);  // the handle followed the plane

    CutPlaneSet dragged;  // a handle that reports a change (as a drag would)
    dragged.Handle().SetPosition(d);
    EXPECT_TRUE(dragged.FollowHandle());
    dragged.GetPlanePoint(-1, q);
    EXPECT_NEAR(q[2], 0.25f, 1e-6f);
    EXPECT_FALSE(dragged.Handle().IsChanged());
}

// A local plane's rectangle is its handle's face: half the handle's size
// either side along the handle's in-plane axis and along its third axis,
// also where the plane's own axis is not perpendicular to its normal or
// lies along it. Points just inside and just outside each edge and corner.
TEST_F(CutPlaneSetTest, ALocalPlanesRectangleIsItsHandlesFace)
{
    const struct {
        float afNormal[3], afAxis[3], fHalfWidth, fHalfHeight;
    } planes[] = {
        {{0, 0, 1}, {0, 1, 0}, 0.2f, 0.2f}, {{0, 0, 1}, {0, 1, 0}, 2.0f, 0.5f},
        {{0, 1, 0}, {0, 1, 0}, 0.3f, 0.1f}, {{1, 0, 0}, {-1, 0, 0}, 0.1f, 0.4f},
        {{0, 0, 1}, {1, 1, 1}, 0.3f, 0.1f}, {{0, -0.5f, 0.8f}, {0, 1, 0}, 0.5f, 0.25f},
    };
    const struct {
        float fWidths, fHeights;  // off the centre, in half sizes
    } points[] = {{0, 0},          {0.95f, 0},      {-0.95f, 0},   {1.05f, 0},  {-1.05f, 0},
                  {0, 0.95f},      {0, -0.95f},     {0, 1.05f},    {0, -1.05f}, {0.95f, 0.95f},
                  {-0.95f, 0.95f}, {0.95f, -1.05f}, {1.05f, 0.95f}};
    for (const auto &plane : planes) {
        CutPlaneSet set;
        set.Handle().SetSize(plane.fHalfWidth, plane.fHalfHeight);
        set.Handle().SetChanged();
        ASSERT_TRUE(set.FollowHandle());
        ASSERT_TRUE(set.SetPlaneNormal(plane.afNormal, -1));
        ASSERT_TRUE(set.SetPlaneAxis(plane.afAxis, -1));
        const CutPlane &cut = *set.GetPlane(-1);
        float c[3], n[3], u[3], w[3];
        set.Handle().GetPosition(c);
        set.Handle().GetNormal(n);
        set.Handle().GetInPlaneAxis(u);
        NKCrossProduct(u, n, w);
        for (const auto &q : points) {
            float p[3];
            for (int k = 0; k < 3; k++)
                p[k] = c[k] + q.fWidths * plane.fHalfWidth * u[k] +
                       q.fHeights * plane.fHalfHeight * w[k];
            const bool bWithin = std::fabs(q.fWidths) <= 1.0f && std::fabs(q.fHeights) <= 1.0f;
            EXPECT_EQ(NKWithinLocalPlane(cut, p), bWithin)
                << "normal " << plane.afNormal[0] << " " << plane.afNormal[1] << " "
                << plane.afNormal[2] << ", axis " << plane.afAxis[0] << " " << plane.afAxis[1]
                << " " << plane.afAxis[2] << ": " << q.fWidths << " half widths, " << q.fHeights
                << " half heights";
        }
    }
}

TEST_F(CutPlaneSetTest, DisabledSetFreesTheFramesSurfaces)
{
    CutPlaneSet set;
    NKFrame *pFrame = CutFrame(set);
    set.Enable(false);
    EXPECT_FALSE(NKComputeCutSurfaces(pFrame, &set));
    EXPECT_EQ(pFrame->pCutSurfaces[0], nullptr);
}

// A flat plate in z = 0 cut at x = 0 with vectors on: the cut is a run of
// segments and the grid, whose crossing has no extent, is left empty.
TEST_F(CutPlaneSetTest, EdgeOnCrossingKeepsSegmentsWithoutVectors)
{
    NKGeometry *pGeo = NKCreateGeometry(1);
    std::vector<float> c = fixtures::GridNodes(2, 2, 0, -1.0f);
    fixtures::SetNodes(pGeo->pParts[0], c);
    std::vector<std::vector<int>> quads = {{0, 1, 4, 3}, {1, 2, 5, 4}, {3, 4, 7, 6}, {4, 5, 8, 7}};
    fixtures::SetElements(pGeo->pParts[0], std::vector<int>(4, NK_ELEM_QUAD), quads);
    float box[6] = {-1.0f, 0.0f, 0.0f, 1.0f, 2.0f, 0.0f};
    std::memcpy(pGeo->fBoundingBox, box, sizeof box);
    NKFrame *pFrame =
        Frames(1, pGeo, surface::MakeScalar(pGeo, [](float x, float, float) { return x; }));
    CutPlaneSet set;
    float n[3] = {1.0f, 0.0f, 0.0f};
    set.SetPlaneNormal(n, -1);
    set.SetFlag(NK_CUTPLANE_CUT_VECTORS, true, -1, false);
    set.Enable(true);
    ASSERT_TRUE(NKComputeCutSurfaces(pFrame, &set));
    const CutSurface *pCut = pFrame->pCutSurfaces[0];
    ASSERT_NE(pCut, nullptr);
    EXPECT_GT(surface::CountPolygons(pCut->pParts[0].mesh, 2), 0);
    EXPECT_EQ(pCut->vectorGrid.iCountI, 0);
    EXPECT_EQ(pCut->vectorGrid.pfPositions, nullptr);
}

}  // namespace
