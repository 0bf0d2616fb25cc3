// tests/core/test_nk_ray.cpp -- rays against planes, spheres, segments and
// polygons, point-in-polygon, polygon normals and the axis-aligned box
// functions of core/nk_ray.h.
#include <gtest/gtest.h>

#include <cmath>

#include "core/nk_math.h"
#include "core/nk_memory.h"
#include "core/nk_ray.h"

namespace {

void ExpectVec3Near(const float *v, float x, float y, float z, float tol = 1e-5f)
{
    EXPECT_NEAR(v[0], x, tol);
    EXPECT_NEAR(v[1], y, tol);
    EXPECT_NEAR(v[2], z, tol);
}

// The unit square in the plane z = fZ, counter-clockwise seen from +z.
void UnitSquare(float fZ, float *pfOut)
{
    const float aCorners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int i = 0; i < 4; i++) {
        pfOut[3 * i] = aCorners[i][0];
        pfOut[3 * i + 1] = aCorners[i][1];
        pfOut[3 * i + 2] = fZ;
    }
}

}  // namespace

// ---- Rays against planes, spheres and segments ------------------------------------

TEST(RayPlane, ParallelRayMissesAndPlaneBehindGivesNegativeT)
{
    const float n[3] = {0, 0, 1}, p[3] = {0, 0, -2}, o[3] = {1, 1, 0};
    const float dPar[3] = {1, 0, 0}, d[3] = {0, 0, 2};
    float hit[3], t;
    EXPECT_FALSE(NKIntersectRayPlane(n, p, o, dPar, hit, &t));
    ASSERT_TRUE(NKIntersectRayPlane(n, p, o, d, hit, &t));
    EXPECT_FLOAT_EQ(t, -1.0f);  // in units of d's length
    ExpectVec3Near(hit, 1, 1, -2);
}

TEST(RaySphere, NearIntersectionAndMiss)
{
    const float c[3] = {0, 0, 10}, o[3] = {0, 0, 0}, d[3] = {0, 0, 2};
    float hit[3], t;
    ASSERT_TRUE(NKRayHitsSphere(c, 1.0f, o, d, 0.0f, hit, &t));
    ExpectVec3Near(hit, 0, 0, 9);
    EXPECT_FLOAT_EQ(t, 4.5f);
    const float far[3] = {2, 0, 10};
    EXPECT_FALSE(NKRayHitsSphere(far, 1.0f, o, d, 0.0f, hit, &t));
    EXPECT_TRUE(NKRayHitsSphere(c, 1.0f, o, d, 0.0f, nullptr, nullptr));
}

TEST(RaySphere, GrowthFactorWidensTheRadiusWithDistance)
{
    const float o[3] = {0, 0, 0}, d[3] = {0, 0, 1};
    const float inside[3] = {0.049f, 0, 10}, outside[3] = {0.051f, 0, 10};
    EXPECT_TRUE(NKRayHitsSphere(inside, 0.0f, o, d, 0.005f, nullptr, nullptr));
    EXPECT_FALSE(NKRayHitsSphere(outside, 0.0f, o, d, 0.005f, nullptr, nullptr));
}

TEST(RaySegment, ClosestPoints)
{
    const float p0[3] = {-1, 1, 5}, p1[3] = {1, 1, 5}, o[3] = {0, 0, 0}, d[3] = {0, 0, 1};
    float q[3], h[3], s, t;
    ASSERT_TRUE(NKClosestPointsSegmentRay(p0, p1, o, d, q, h, &s, &t));
    ExpectVec3Near(q, 0, 1, 5);
    ExpectVec3Near(h, 0, 0, 5);
    EXPECT_FLOAT_EQ(s, 0.5f);
    EXPECT_FLOAT_EQ(t, 5.0f);
    const float a0[3] = {0, 1, 0}, a1[3] = {0, 1, 3}, zero[3] = {0, 0, 0};
    EXPECT_FALSE(NKClosestPointsSegmentRay(a0, a1, o, d, q, h, &s, &t));  // parallel
    EXPECT_FALSE(NKClosestPointsSegmentRay(p0, p1, o, zero, q, h, &s, &t));
    EXPECT_FALSE(NKClosestPointsSegmentRay(p0, p0, o, d, q, h, &s, &t));
}

TEST(RaySegment, PickRadiusGrowsWithDistance)
{
    const float o[3] = {0, 0, 0}, d[3] = {0, 0, 1};
    const float near0[3] = {-1, 0.049f, 10}, near1[3] = {1, 0.049f, 10};
    const float far0[3] = {-1, 0.051f, 10}, far1[3] = {1, 0.051f, 10};
    float hit[3], t;
    ASSERT_TRUE(NKRayHitsSegment(near0, near1, 0.0f, o, d, 0.005f, hit, &t));
    ExpectVec3Near(hit, 0, 0.049f, 10);
    EXPECT_FLOAT_EQ(t, 10.0f);
    EXPECT_FALSE(NKRayHitsSegment(far0, far1, 0.0f, o, d, 0.005f, hit, &t));
    EXPECT_TRUE(NKRayHitsSegment(far0, far1, 0.06f, o, d, 0.0f, hit, &t));
    // The closest point must lie within the segment.
    const float side0[3] = {1, 0.01f, 10}, side1[3] = {2, 0.01f, 10};
    EXPECT_FALSE(NKRayHitsSegment(side0, side1, 0.1f, o, d, 0.0f, hit, &t));
}

// ---- Polygon hit searches ---------------------------------------------------------

TEST(PolygonHits, NearestOfSeparatePolygonsCountsReplacements)
{
    float coords[24];
    UnitSquare(5.0f, coords);
    UnitSquare(2.0f, coords + 12);
    const float normals[6] = {0, 0, 1, 0, 0, -1};
    const float o[3] = {0.5f, 0.5f, 0}, d[3] = {0, 0, 1};
    NKRayHit rec = {{0, 0, 0}, -1, 0};
    EXPECT_EQ(NKFindNearestRayPolygonHit(coords, normals, 4, 2, o, d, &rec), 2);
    EXPECT_EQ(rec.iPolygon, 1);
    EXPECT_FLOAT_EQ(rec.fT, 2.0f);
    ExpectVec3Near(rec.afPoint, 0.5f, 0.5f, 2.0f);
    const float away[3] = {0, 0, -1};
    NKRayHit none = {{0, 0, 0}, -7, 0};
    EXPECT_EQ(NKFindNearestRayPolygonHit(coords, normals, 4, 2, o, away, &none), 0);
    EXPECT_EQ(none.iPolygon, -7);
}

namespace {

// A part of four polygons: a point, a line, a triangle and a quad behind it.
struct TestPart {
    float coords[30] = {0.0305f, 0,     6,  // 0: point just outside the pick radius at 6
                        -1,      0.02f, 4, 1, 0.02f, 4,  // 1, 2: line near the ray at distance 4
                        -1,      -1,    8, 1, -1,    8, 0, 1, 8,  // 3-5: triangle at z = 8
                        -1,      -1,    3, 1, -1,    3, 1, 1, 3, -1, 1, 3};  // 6-9: quad at z = 3
    int conn[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    int starts[4] = {0, 1, 3, 6};
    int counts[4] = {1, 2, 3, 4};
};

}  // namespace

TEST(PolygonHits, PartPolygonsPointsLinesAndFans)
{
    TestPart part;
    part.coords[0] = 0.0295f;  // the point inside its pick radius
    const float o[3] = {0, 0, 0}, d[3] = {0, 0, 1};
    NKRayHit rec = {{0, 0, 0}, -1, 0};
    int n = NKRayHitPartPolygons(part.coords, part.conn, part.starts, part.counts, 4, o, d, &rec,
                                 nullptr, 0, nullptr, 0);
    EXPECT_EQ(rec.iPolygon, 3);  // the quad at z = 3 is nearest
    EXPECT_NEAR(rec.fT, 3.0f, 1e-5);
    EXPECT_GE(n, 2);
    // Hide the quad and the line: the point at 6 wins over the triangle at 8.
    const unsigned char vis[4] = {0, 1, 0, 1};
    rec.iPolygon = -1;
    n = NKRayHitPartPolygons(part.coords, part.conn, part.starts, part.counts, 4, o, d, &rec, vis,
                             0, nullptr, 0);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(rec.iPolygon, 0);
    EXPECT_NEAR(rec.fT, 6.0f, 0.01f);
}

TEST(PolygonHits, LineAndPointPickRadiusUsesGrowthFactor)
{
    EXPECT_FLOAT_EQ(NKPickGrowthFactor, 0.005f);
    TestPart part;
    const float o[3] = {0, 0, 0}, d[3] = {0, 0, 1};
    NKRayHit rec = {{0, 0, 0}, -1, 0};
    // Only the line (0.02 from the ray at t = 4: radius 0.02 misses) and the
    // point (0.0305 from the ray, 6 from the eye: radius 0.03 misses).
    const unsigned char vis[4] = {1, 1, 0, 0};
    EXPECT_EQ(NKRayHitPartPolygons(part.coords, part.conn, part.starts, part.counts, 4, o, d, &rec,
                                   vis, 1, nullptr, 0),
              0);
    part.coords[1 * 3 + 1] = part.coords[2 * 3 + 1] = 0.0199f;
    EXPECT_EQ(NKRayHitPartPolygons(part.coords, part.conn, part.starts, part.counts, 4, o, d, &rec,
                                   vis, 1, nullptr, 0),
              1);
    EXPECT_EQ(rec.iPolygon, 1);
    part.coords[0] = 0.0295f;
    // Polygon order: the point at 6 is taken first, then replaced by the
    // line at 4.
    EXPECT_EQ(NKRayHitPartPolygons(part.coords, part.conn, part.starts, part.counts, 4, o, d, &rec,
                                   vis, 1, nullptr, 0),
              2);
    EXPECT_EQ(rec.iPolygon, 1);
}

TEST(PolygonHits, NearestPolygonEdgeIsTheFarthestPassedAlongTheRay)
{
    float coords[12];
    UnitSquare(0.0f, coords);
    const int idx[4] = {0, 1, 2, 3};
    const float v[3] = {0, 0, 1};
    const float o[3] = {0.5f, -1, 0}, d[3] = {0, 1, 0};
    float point[3];
    int iEdge = -1, iNext = -1;
    ASSERT_TRUE(NKFindNearestPolygonEdge(o, d, v, idx, 4, coords, point, &iEdge, &iNext));
    EXPECT_EQ(iEdge, 2);
    EXPECT_EQ(iNext, 3);
    ExpectVec3Near(point, 0.5f, 1, 0);
    const float o2[3] = {2, 0.5f, 0}, d2[3] = {-1, 0, 0};
    ASSERT_TRUE(NKFindNearestPolygonEdge(o2, d2, v, idx, 4, coords, point, &iEdge, &iNext));
    EXPECT_EQ(iEdge, 3);
    EXPECT_EQ(iNext, 0);  // the closing edge wraps to vertex 0
    EXPECT_FALSE(NKFindNearestPolygonEdge(o2, d2, v, idx, 0, coords, point, &iEdge, &iNext));
}

TEST(PolygonHits, NearestPolygonEdgeOfATinyPolygon)
{
    // A square of side 1e-7: edge x v is far below unit length, and the edge
    // plane must still get the normal of that product, not a stand-in axis.
    float coords[12];
    UnitSquare(0.0f, coords);
    for (float &c : coords) c *= 1e-7f;
    const int idx[4] = {0, 1, 2, 3};
    const float v[3] = {0, 0, 1};
    const float o[3] = {0.5e-7f, -1e-7f, 0}, d[3] = {0, 1e-7f, 0};
    float point[3];
    int iEdge = -1, iNext = -1;
    ASSERT_TRUE(NKFindNearestPolygonEdge(o, d, v, idx, 4, coords, point, &iEdge, &iNext));
    EXPECT_EQ(iEdge, 2);
    EXPECT_EQ(iNext, 3);
    ExpectVec3Near(point, 0.5e-7f, 1e-7f, 0, 1e-12f);
}

// ---- Point in polygon -------------------------------------------------------------

TEST(PointInPolygon, InsideAndOutside)
{
    float square[12];
    UnitSquare(0.0f, square);
    const float n[3] = {0, 0, 1};
    const float in[3] = {0.5f, 0.5f, 0}, out[3] = {1.5f, 0.5f, 0};
    EXPECT_TRUE(NKPointInPolygon(n, square, 4, in));
    EXPECT_FALSE(NKPointInPolygon(n, square, 4, out));
    const float side[3] = {0, 1, 0};  // projection along y for a plane x-z polygon
    const float xz[12] = {0, 0, 0, 1, 0, 0, 1, 0, 1, 0, 0, 1};
    const float pxz[3] = {0.5f, 7, 0.5f};
    EXPECT_TRUE(NKPointInPolygon(side, xz, 4, pxz));
}

TEST(PointInPolygon, SharedEdgesBelongToExactlyOneSquare)
{
    const float n[3] = {0, 0, 1};
    const float lower[12] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    const float upper[12] = {0, 1, 0, 1, 1, 0, 1, 2, 0, 0, 2, 0};
    const float right[12] = {1, 0, 0, 2, 0, 0, 2, 1, 0, 1, 1, 0};
    const float onTop[3] = {0.5f, 1, 0}, onSide[3] = {1, 0.5f, 0};
    EXPECT_NE(NKPointInPolygon(n, lower, 4, onTop), NKPointInPolygon(n, upper, 4, onTop));
    EXPECT_NE(NKPointInPolygon(n, lower, 4, onSide), NKPointInPolygon(n, right, 4, onSide));
    // A vertex exactly at p's v counts as above: the bottom edge is outside.
    const float onBottom[3] = {0.5f, 0, 0};
    EXPECT_FALSE(NKPointInPolygon(n, lower, 4, onBottom));
}

TEST(PointInPolygon, IndexedFormMatches)
{
    float coords[15];
    UnitSquare(0.0f, coords);
    coords[12] = coords[13] = coords[14] = 99;  // an unused node
    const int idx[4] = {3, 2, 1, 0};
    const float n[3] = {0, 0, -1};
    const float in[3] = {0.25f, 0.75f, 0}, out[3] = {-0.25f, 0.75f, 0};
    EXPECT_TRUE(NKPointInIndexedPolygon(n, coords, idx, 4, in));
    EXPECT_FALSE(NKPointInIndexedPolygon(n, coords, idx, 4, out));
}

// ---- Normals, centroids, nearest points -------------------------------------------

TEST(PolygonNormals, CollinearAndSmallPolygonsGiveZAxis)
{
    const float coords[9] = {0, 0, 0, 1, 1, 1, 2, 2, 2};
    const int idx[3] = {0, 1, 2};
    float n[3];
    EXPECT_FALSE(NKComputePolygonNormal(idx, 3, coords, n));
    ExpectVec3Near(n, 0, 0, 1, 0);
    EXPECT_FALSE(NKComputePolygonNormal(idx, 2, coords, n));
    EXPECT_FALSE(NKComputeTriangleNormal(idx, coords, n, true));
    ExpectVec3Near(n, 0, 0, 1, 0);
}

TEST(PolygonNormals, QuadAndTriangle)
{
    float coords[12];
    UnitSquare(0.0f, coords);
    const int idx[4] = {0, 1, 2, 3};
    float n[3];
    EXPECT_TRUE(NKComputePolygonNormal(idx, 4, coords, n));
    ExpectVec3Near(n, 0, 0, 1);
    const int tri[3] = {0, 2, 1};
    EXPECT_TRUE(NKComputeTriangleNormal(tri, coords, n, false));
    ExpectVec3Near(n, 0, 0, -1);
    coords[3] = 4;  // node 1 to (4, 0, 0): the unnormalised normal grows
    EXPECT_TRUE(NKComputeTriangleNormal(tri, coords, n, false));
    ExpectVec3Near(n, 0, 0, -4);
}

TEST(PolygonNormals, EightNodeFaceUsesOnlyCorners)
{
    // Corners at even positions in the x-y plane; mid-side nodes lifted far
    // out of it, which would tilt a normal that used them.
    const float coords[24] = {0, 0, 0, 1, 0, 5,  2, 0, 0, 2, 1, 5,
                              2, 2, 0, 1, 2, -5, 0, 2, 0, 0, 1, 5};
    const int idx[8] = {0, 1, 2, 3, 4, 5, 6, 7};
    float n[3];
    EXPECT_TRUE(NKComputePolygonNormal(idx, 8, coords, n));
    ExpectVec3Near(n, 0, 0, 1);
    EXPECT_TRUE(NKComputePolygonNormal(idx, 6, coords, n));  // 6 nodes: triangle 0, 2, 4
    ExpectVec3Near(n, 0, 0, 1);
}

TEST(PolygonPoints, CentroidWithRemapAndNearestPoint)
{
    const float coords[12] = {0, 0, 0, 2, 0, 0, 2, 2, 0, 0, 2, 0};
    const int idx[2] = {0, 1}, remap[2] = {2, 3};
    float c[3];
    ASSERT_TRUE(NKComputeCentroid(idx, 2, coords, c, nullptr));
    ExpectVec3Near(c, 1, 0, 0);
    ASSERT_TRUE(NKComputeCentroid(idx, 2, coords, c, remap));
    ExpectVec3Near(c, 1, 2, 0);
    EXPECT_FALSE(NKComputeCentroid(idx, 0, coords, c, nullptr));
    const int all[4] = {3, 2, 1, 0};
    const float p[3] = {1, 1.5f, 0};  // equally near nodes 2 and 3: first listed wins
    EXPECT_EQ(NKFindNearestPoint(all, 4, coords, p), 3);
    EXPECT_EQ(NKFindNearestPoint(all, 0, coords, p), -1);
}

TEST(Vectors, Parallel)
{
    const float a[3] = {2, 4, 6}, b[3] = {1, 2, 3}, c[3] = {1, 2, 4}, z[3] = {0, 0, 0};
    const float e[3] = {0, 0, 5}, f[3] = {0, 0, -1}, g[3] = {1, 0, 5};
    EXPECT_TRUE(NKVectorsParallel(a, b));
    EXPECT_FALSE(NKVectorsParallel(a, c));
    EXPECT_TRUE(NKVectorsParallel(z, z));
    EXPECT_TRUE(NKVectorsParallel(e, f));
    EXPECT_FALSE(NKVectorsParallel(g, f));  // a's component before b's first non-zero
    EXPECT_FALSE(NKVectorsParallel(a, z));
}

TEST(Vectors, AxisRotationsAndScaledCopy)
{
    const float c = 0.0f, s = 1.0f;  // a quarter turn
    float v[3] = {1, 2, 3};
    NKVec3RotateX(v, c, s);
    ExpectVec3Near(v, 1, -3, 2);
    NKVec3RotateY(v, c, s);
    ExpectVec3Near(v, 2, -3, -1);
    NKVec3RotateZ(v, c, s);
    ExpectVec3Near(v, 3, 2, -1);
    float r[3];
    EXPECT_EQ(NKVec3ScaledCopy(r, v, 2), r);
    ExpectVec3Near(r, 6, 4, -2);
    NKVec3RotateX(nullptr, c, s);
}

// ---- Axis-aligned boxes -------------------------------------------------------------

TEST(Boxes, CornersFacesAndNormals)
{
    const float box[6] = {0, 0, 0, 1, 2, 3};
    float corners[8][3], normals[6][3];
    int faces[6][4];
    ASSERT_TRUE(NKGetBoxCornersAndFaces(box, corners, faces, normals));
    ExpectVec3Near(corners[0], 0, 0, 3);
    ExpectVec3Near(corners[3], 0, 0, 0);
    ExpectVec3Near(corners[5], 1, 2, 3);
    ExpectVec3Near(corners[6], 1, 2, 0);
    EXPECT_EQ(faces[3][1], 7);  // face 3 runs 3 7 6 2 here
    EXPECT_EQ(faces[4][0], 0);  // face 4 runs 0 4 7 3 here
    // Every face's corners lie in its plane, on the side of its normal.
    for (int f = 0; f < 6; f++) {
        float centre[3];
        NKGetBoxCenter(box, centre);
        for (int k = 0; k < 4; k++) {
            float rel[3];
            NKVec3Difference(corners[faces[f][k]], centre, rel);
            EXPECT_GT(NKVec3Dot(rel, normals[f]), 0.0) << "face " << f;
        }
    }
    ASSERT_TRUE(NKGetBoxCornersAndFaces(box, corners, nullptr, nullptr));
}

TEST(Boxes, OverlapIncludesTouching)
{
    const float a[6] = {0, 0, 0, 1, 1, 1}, touch[6] = {1, 0, 0, 2, 1, 1},
                apart[6] = {1.01f, 0, 0, 2, 1, 1};
    EXPECT_TRUE(NKBoxesOverlap(a, touch));
    EXPECT_TRUE(NKBoxesOverlap(touch, a));
    EXPECT_FALSE(NKBoxesOverlap(a, apart));
}

TEST(Boxes, ClassifyAgainstFrustumPlanes)
{
    // Three-point planes (inside where a x + b y + c z >= d): x >= 0, x <= 10.
    const float planes[8] = {1, 0, 0, 0, -1, 0, 0, -10};
    const float inside[6] = {1, 1, 1, 2, 2, 2}, cut[6] = {-1, 0, 0, 1, 1, 1},
                outside[6] = {11, 0, 0, 12, 1, 1};
    EXPECT_EQ(NKClassifyBoxAgainstPlanes(planes, 2, inside, true), 1);
    EXPECT_EQ(NKClassifyBoxAgainstPlanes(planes, 2, cut, true), 0);
    EXPECT_EQ(NKClassifyBoxAgainstPlanes(planes, 2, cut, false), 1);
    EXPECT_EQ(NKClassifyBoxAgainstPlanes(planes, 2, outside, true), -1);
    // Outside one plane is outside whatever the others say.
    const float planes3[12] = {1, 0, 0, 0, -1, 0, 0, -10, 0, 1, 0, 100};
    EXPECT_EQ(NKClassifyBoxAgainstPlanes(planes3, 3, inside, true), -1);
}

TEST(Boxes, CentreSizeExtentAndContainment)
{
    const float c[3] = {1, 2, 3}, size[3] = {2, 4, 6};
    float box[6], centre[3];
    ASSERT_TRUE(NKBoxFromCenterAndSize(c, size, box));
    EXPECT_EQ(box[0], 0.0f);
    EXPECT_EQ(box[5], 6.0f);
    ASSERT_TRUE(NKGetBoxCenter(box, centre));
    ExpectVec3Near(centre, 1, 2, 3);
    EXPECT_FALSE(NKGetBoxCenter(nullptr, centre));
    int iAxis = -1;
    EXPECT_EQ(NKGetBoxMaxExtentAxis(box, &iAxis), 6.0f);
    EXPECT_EQ(iAxis, 2);
    const float cube[6] = {0, 0, 0, 1, 1, 1};
    EXPECT_EQ(NKGetBoxMaxExtentAxis(cube, &iAxis), 1.0f);
    EXPECT_EQ(iAxis, 0);
    const float face[3] = {1, 0.5f, 0.5f}, out[3] = {1.0001f, 0.5f, 0.5f};
    EXPECT_TRUE(NKPointInBox(cube, face));
    EXPECT_FALSE(NKPointInBox(cube, out));
}

TEST(Boxes, GridPointsFillTheBox)
{
    const float box[6] = {0, 0, 0, 2, 4, 6};
    float *pf = NKMakeBoxGridPoints(box, 2, 3, 1);
    ASSERT_NE(pf, nullptr);
    ExpectVec3Near(pf, 0, 0, 3);      // z has one point: the centre plane
    ExpectVec3Near(pf + 3, 2, 0, 3);  // x fastest
    ExpectVec3Near(pf + 6, 0, 2, 3);
    ExpectVec3Near(pf + 15, 2, 4, 3);
    NKFree(pf);
    EXPECT_EQ(NKMakeBoxGridPoints(nullptr, 2, 2, 2), nullptr);
    EXPECT_EQ(NKMakeBoxGridPoints(box, 0, 2, 2), nullptr);
}
