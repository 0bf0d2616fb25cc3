// core/nk_ray.h -- ray, polygon and axis-aligned box geometry.
//
// The geometric questions that picking, culling and the visualisation tools
// ask: where a ray meets a plane, a sphere, a segment or a polygon; whether a
// point lies in a polygon or a box; how a box relates to a set of frustum
// planes; normals and centroids of indexed polygons. Points are float[3];
// boxes are float[6] (min x, y, z, max x, y, z); indexed polygons are lists
// of node indices into coordinate arrays of 3 floats per node. A ray is an
// origin o and a direction d; its parameter t counts in units of d's length
// (hit = o + t d). Vector maths is in nk_math.h; the oriented box, whose
// corner numbering the box functions here share, is in nk_oriented_box.h.
#pragma once

#include <cstdint>

struct NKFrame;

// The nearest hit found by the polygon hit searches.
struct NKRayHit {
    float afPoint[3];  // hit point
    int32_t iPolygon;  // index of the polygon hit
    float fT;          // ray parameter of the hit
};

// The pick radius of point and line polygons grows by this much per unit of
// distance along the ray, so that far points and lines stay easy to hit.
extern float NKPickGrowthFactor;  // 0.005

// ---- Rays -------------------------------------------------------------------

// The plane through p with normal n. False when abs(n.d) < 1e-12; else t =
// (n.p - n.o)/(n.d) (possibly negative) and hit = o + t d.
bool NKIntersectRayPlane(const float *n, const float *p, const float *o, const float *d,
                         float *pHit, float *pfT);
// The near intersection of the ray with the sphere (c, r); with fFactor > 0
// the radius grows by fFactor times the distance from o to c.
bool NKRayHitsSphere(const float *c, float r, const float *o, const float *d, float fFactor,
                     float *pHit, float *pfT);
// The closest points of the line p0 + s (p1 - p0) (q) and the ray line
// o + t d (h). False for a zero direction, a zero segment or parallel lines.
bool NKClosestPointsSegmentRay(const float *p0, const float *p1, const float *o, const float *d,
                               float *q, float *h, float *pfS, float *pfT);
// True when the ray passes the segment p0-p1 within the pick radius:
// fTolerance, plus abs(d) t fFactor when fFactor > 0. pHit is the point on
// the segment.
bool NKRayHitsSegment(const float *p0, const float *p1, float fTolerance, const float *o,
                      const float *d, float fFactor, float *pHit, float *pfT);
// iCount polygons of k points each, stored one after another in pfCoords,
// with one normal each in pfNormals. The nearest hit (t >= 0, below 1e12) goes
// to *pRecord; returns how many times a nearer hit replaced it (0: none).
int NKFindNearestRayPolygonHit(const float *pfCoords, const float *pfNormals, int k, int iCount,
                               const float *o, const float *d, NKRayHit *pRecord);
// The nearest hit among a part's polygons (node indices piConnectivity
// [piStarts[i] ..] of piCounts[i] nodes each): 1-node polygons are points and
// 2-node polygons lines, picked within the growing pick radius; larger ones
// are hit as fans of triangles. Polygons whose visibility byte differs from
// iVisibleValue (when pVisibility is given) or that the value filter hides
// (when pFrame is given) are skipped. Returns how many times a nearer hit
// replaced the record (0: nothing hit, record untouched).
int NKRayHitPartPolygons(const float *pfCoords, const int *piConnectivity, const int *piStarts,
                         const int *piCounts, int iPolygonCount, const float *o, const float *d,
                         NKRayHit *pRecord, const unsigned char *pVisibility,
                         unsigned char iVisibleValue, NKFrame *pFrame, int iPart);
// The edge of an indexed polygon that the ray passes, measured in the plane
// holding the edge and direction v: the farthest such edge along the ray.
// pPoint is the ray's point projected on the edge; *piEdge and *piNext the
// edge's vertex positions. False when no edge qualifies, a pointer is null or
// n < 1.
bool NKFindNearestPolygonEdge(const float *o, const float *d, const float *v, const int *piIndices,
                              int n, const float *pfCoords, float *pPoint, int *piEdge,
                              int *piNext);

// ---- Polygons and points ----------------------------------------------------

// Crossing-number test of p against the planar polygon of n points
// (pfPoints, 3 floats each), projected along its normal's largest component.
bool NKPointInPolygon(const float *pNormal, const float *pfPoints, int n, const float *p);
bool NKPointInIndexedPolygon(const float *pNormal, const float *pfCoords, const int *piIndices,
                             int n, const float *p);
// Unit normal of a polygon of 3 to 8 nodes: the largest fan-triangle normal
// (corner nodes only for 6- and 8-node faces). (0, 0, 1) and false when the
// polygon is degenerate or has fewer than 3 nodes.
bool NKComputePolygonNormal(const int *piIndices, int n, const float *pfCoords, float *pNormal);
// (b - a) x (c - a), normalised when bNormalise; (0, 0, 1) and false when its
// squared length is below 1e-25.
bool NKComputeTriangleNormal(const int *piIndices, const float *pfCoords, float *pNormal,
                             bool bNormalise);
// The mean of the listed points, each index first mapped through piRemap when
// given. False (and c untouched) when n < 1.
bool NKComputeCentroid(const int *piIndices, int n, const float *pfCoords, float *c,
                       const int *piRemap);
// The listed index whose point is nearest to p (first of equals); -1 when
// n < 1.
int NKFindNearestPoint(const int *piIndices, int n, const float *pfCoords, const float *p);
// True when a is a scalar multiple of b (two zero vectors are parallel).
bool NKVectorsParallel(const float *a, const float *b);
// Rotations of v about the coordinate axes by the angle with the given cosine
// and sine, in place.
void NKVec3RotateX(float *v, float fCos, float fSin);
void NKVec3RotateY(float *v, float fCos, float fSin);
void NKVec3RotateZ(float *v, float fCos, float fSin);
// r = v s; returns r.
float *NKVec3ScaledCopy(float *r, const float *v, float s);

// ---- Axis-aligned boxes -------------------------------------------------------
//
// Corners: 0 (min, min, max), 1 (max, min, max), 2 (max, min, min),
// 3 (min, min, min), 4 (min, max, max), 5 (max, max, max), 6 (max, max, min),
// 7 (min, max, min). Faces (corners; outward normal): 0 (0 3 2 1; -y),
// 1 (4 5 6 7; +y), 2 (0 1 5 4; +z), 3 (3 7 6 2; -z), 4 (0 4 7 3; -x),
// 5 (1 2 6 5; +x).

bool NKGetBoxCornersAndFaces(const float *pBox, float pCorners[8][3], int pFaces[6][4],
                             float pNormals[6][3]);
// True when the boxes overlap or touch on all three axes.
bool NKBoxesOverlap(const float *a, const float *b);
// Against n three-point planes (a x + b y + c z = d, inside where positive):
// -1 when the box lies wholly outside one plane, 0 when bCountCutting is set
// and a plane cuts it, else 1.
int NKClassifyBoxAgainstPlanes(const float *pfPlanes, int n, const float *pBox, bool bCountCutting);
// nx x ny x nz points filling the box (x fastest), from NKAlloc; the caller
// frees them with NKFree. Null for a null box or a count below 1.
float *NKMakeBoxGridPoints(const float *pBox, int nx, int ny, int nz);
// box = c - size/2, c + size/2.
bool NKBoxFromCenterAndSize(const float *c, const float *pSize, float *pBox);
bool NKGetBoxCenter(const float *pBox, float *c);
// The largest extent, and its axis (a later axis wins only when strictly
// larger).
float NKGetBoxMaxExtentAxis(const float *pBox, int *piAxis);
// min <= p <= max on every axis.
bool NKPointInBox(const float *pBox, const float *p);
