// core/nk_ray.cpp -- ray, polygon and axis-aligned box geometry (see
// nk_ray.h). Leaf routines for picking and culling: they compute in double,
// store float and allocate nothing except the grid points, which the
// oriented box makes. The value filter that can hide polygons from picking is
// asked through render/nk_value_filter.h.
#include "core/nk_ray.h"

#include <cmath>

#include "core/nk_math.h"
#include "core/nk_model_hooks.h"
#include "core/nk_oriented_box.h"

float NKPickGrowthFactor = 0.005f;

namespace {

const float kNoHit = 1e12f;  // "no hit yet" ray parameter

// The ray point o + t d.
void RayPoint(const float *o, const float *d, double t, float *pOut)
{
    for (int i = 0; i < 3; i++) pOut[i] = static_cast<float>(o[i] + t * d[i]);
}

}  // namespace

// ---- Rays -------------------------------------------------------------------

bool NKIntersectRayPlane(const float *n, const float *p, const float *o, const float *d,
                         float *pHit, float *pfT)
{
    if (!n || !p || !o || !d) return false;
    double fDen = NKVec3Dot(n, d);
    if (std::fabs(fDen) < 1e-12) return false;
    double t = (NKVec3Dot(n, p) - NKVec3Dot(n, o)) / fDen;
    if (pHit) RayPoint(o, d, t, pHit);
    if (pfT) *pfT = static_cast<float>(t);
    return true;
}

bool NKRayHitsSphere(const float *c, float r, const float *o, const float *d, float fFactor,
                     float *pHit, float *pfT)
{
    if (!c || !o || !d) return false;
    float u[3] = {d[0], d[1], d[2]}, w[3];
    NKVec3Normalize(u);
    NKVec3Difference(c, o, w);
    double fWLenSq = NKVec3LengthSquared(w);
    double R = r;
    if (fFactor > 0.0f) R = std::sqrt(fWLenSq) * fFactor + r;
    double k = NKVec3Dot(w, u);
    double fDisc = R * R - (fWLenSq - k * k);
    if (fDisc < 0.0) return false;
    if (!pHit && !pfT) return true;
    double t1 = k - std::sqrt(fDisc);
    if (pHit) RayPoint(o, u, t1, pHit);
    if (pfT) {
        double fDLen = NKVec3Length(d);
        *pfT = static_cast<float>(fDLen > 0.0 ? t1 / fDLen : t1);
    }
    return true;
}

// True when every component of v has magnitude below 1e-12.
static bool NKIsTinyVector(const double *v)
{
    return std::fabs(v[0]) < 1e-12 && std::fabs(v[1]) < 1e-12 && std::fabs(v[2]) < 1e-12;
}

bool NKClosestPointsSegmentRay(const float *p0, const float *p1, const float *o, const float *d,
                               float *q, float *h, float *pfS, float *pfT)
{
    if (!p0 || !p1 || !o || !d || !q || !h) return false;
    double a[3], w[3], dd[3] = {d[0], d[1], d[2]};
    for (int i = 0; i < 3; i++) {
        a[i] = static_cast<double>(p1[i]) - p0[i];
        w[i] = static_cast<double>(p0[i]) - o[i];
    }
    if (NKIsTinyVector(dd) || NKIsTinyVector(a)) return false;
    double Kaa = 0, Kad = 0, Kdd = 0, Kaw = 0, Kdw = 0;
    for (int i = 0; i < 3; i++) {
        Kaa += a[i] * a[i];
        Kad += a[i] * dd[i];
        Kdd += dd[i] * dd[i];
        Kaw += a[i] * w[i];
        Kdw += dd[i] * w[i];
    }
    double fDet = Kaa * Kdd - Kad * Kad;
    if (std::fabs(fDet) < 1e-12) return false;
    double s = (Kad * Kdw - Kaw * Kdd) / fDet;
    double t = (s * Kad + Kdw) / Kdd;
    for (int i = 0; i < 3; i++) {
        q[i] = static_cast<float>(p0[i] + s * a[i]);
        h[i] = static_cast<float>(o[i] + t * dd[i]);
    }
    if (pfS) *pfS = static_cast<float>(s);
    if (pfT) *pfT = static_cast<float>(t);
    return true;
}

bool NKRayHitsSegment(const float *p0, const float *p1, float fTolerance, const float *o,
                      const float *d, float fFactor, float *pHit, float *pfT)
{
    float q[3], h[3], s, t;
    if (!NKClosestPointsSegmentRay(p0, p1, o, d, q, h, &s, &t)) return false;
    if (s < 0.0f || s > 1.0f) return false;
    double fRadius = fTolerance;
    if (fFactor > 0.0f) fRadius += NKVec3Length(d) * t * fFactor;
    if (NKVec3Distance(q, h) >= fRadius) return false;
    if (pHit) NKVec3Copy(pHit, q);
    if (pfT) *pfT = t;
    return true;
}

// Replaces the record by a hit nearer than the best so far; true when it did.
static bool NKTakeNearerHit(const float *pHit, float t, int iPolygon, float *pfBest,
                            NKRayHit *pRecord)
{
    if (t < 0.0f || t >= *pfBest) return false;
    *pfBest = t;
    NKVec3Copy(pRecord->afPoint, pHit);
    pRecord->iPolygon = iPolygon;
    pRecord->fT = t;
    return true;
}

int NKFindNearestRayPolygonHit(const float *pfCoords, const float *pfNormals, int k, int iCount,
                               const float *o, const float *d, NKRayHit *pRecord)
{
    if (!pfCoords || !pfNormals || !o || !d || !pRecord || k < 1) return 0;
    float fBest = kNoHit;
    int iReplaced = 0;
    for (int i = 0; i < iCount; i++) {
        const float *pfPoints = pfCoords + 3 * static_cast<long>(k) * i;
        const float *pNormal = pfNormals + 3 * i;
        float afHit[3], t;
        if (!NKIntersectRayPlane(pNormal, pfPoints, o, d, afHit, &t) || t < 0.0f) continue;
        if (!NKPointInPolygon(pNormal, pfPoints, k, afHit)) continue;
        if (NKTakeNearerHit(afHit, t, i, &fBest, pRecord)) iReplaced++;
    }
    return iReplaced;
}

// Hits polygon iPolygon (3 or more nodes) as the fan triangles (0, k, k+1);
// every triangle hit nearer than the best so far replaces the record.
// Returns the number of replacements.
static int NKRayHitFan(const float *pfCoords, const int *piNodes, int n, int iPolygon,
                       const float *o, const float *d, float *pfBest, NKRayHit *pRecord)
{
    int iReplaced = 0;
    for (int k = 1; k + 1 < n; k++) {
        const int aiTri[3] = {piNodes[0], piNodes[k], piNodes[k + 1]};
        float afNormal[3], afHit[3], t;
        if (!NKComputeTriangleNormal(aiTri, pfCoords, afNormal, false)) continue;
        if (!NKIntersectRayPlane(afNormal, pfCoords + 3 * aiTri[0], o, d, afHit, &t)) continue;
        if (!NKPointInIndexedPolygon(afNormal, pfCoords, aiTri, 3, afHit)) continue;
        if (NKTakeNearerHit(afHit, t, iPolygon, pfBest, pRecord)) iReplaced++;
    }
    return iReplaced;
}

int NKRayHitPartPolygons(const float *pfCoords, const int *piConnectivity, const int *piStarts,
                         const int *piCounts, int iPolygonCount, const float *o, const float *d,
                         NKRayHit *pRecord, const unsigned char *pVisibility,
                         unsigned char iVisibleValue, NKFrame *pFrame, int iPart)
{
    if (!pfCoords || !piConnectivity || !piStarts || !piCounts || !o || !d || !pRecord) return 0;
    float fBest = kNoHit;
    int iReplaced = 0;
    for (int i = 0; i < iPolygonCount; i++) {
        if (pVisibility && pVisibility[i] != iVisibleValue) continue;
        if (pFrame && NKIsPolygonFilteredOut(pFrame, iPart, i)) continue;
        const int *piNodes = piConnectivity + piStarts[i];
        int n = piCounts[i];
        if (n >= 3) {
            iReplaced += NKRayHitFan(pfCoords, piNodes, n, i, o, d, &fBest, pRecord);
            continue;
        }
        float afHit[3], t = 0.0f;
        bool bHit = false;
        if (n == 1)
            bHit = NKRayHitsSphere(pfCoords + 3 * piNodes[0], 0.0f, o, d, NKPickGrowthFactor, afHit,
                                   &t);
        else if (n == 2)
            bHit = NKRayHitsSegment(pfCoords + 3 * piNodes[0], pfCoords + 3 * piNodes[1], 0.0f, o,
                                    d, NKPickGrowthFactor, afHit, &t);
        if (bHit && NKTakeNearerHit(afHit, t, i, &fBest, pRecord)) iReplaced++;
    }
    return iReplaced;
}

// The ray's hit with the plane that holds edge a-b and direction v, when it
// projects inside the edge: its parameter and the projection on the edge.
static bool NKRayHitsEdgePlane(const float *o, const float *d, const float *v, const float *a,
                               const float *b, float *pfT, float *pPoint)
{
    float afEdge[3], afNormal[3], afHit[3], afHa[3], afHb[3], afBack[3];
    NKVec3Difference(b, a, afEdge);
    NKCrossProduct(afEdge, v, afNormal);
    // An edge along v spans no plane with it. The test is relative, and the
    // normal is scaled directly rather than by NKVec3Normalize, whose snap of
    // short vectors to the z axis would give the edges of small polygons a
    // wrong plane.
    double fNormalLenSq = NKVec3LengthSquared(afNormal);
    if (fNormalLenSq == 0.0 ||
        fNormalLenSq <= 1e-12 * NKVec3LengthSquared(afEdge) * NKVec3LengthSquared(v))
        return false;
    NKVec3Scale(afNormal, static_cast<float>(1.0 / std::sqrt(fNormalLenSq)));
    if (!NKIntersectRayPlane(afNormal, a, o, d, afHit, pfT)) return false;
    NKVec3Difference(afHit, a, afHa);
    NKVec3Difference(afHit, b, afHb);
    NKVec3Difference(a, b, afBack);
    if (NKVec3Dot(afHa, afEdge) < 0.0 || NKVec3Dot(afHb, afBack) < 0.0) return false;
    double fEdgeLenSq = NKVec3LengthSquared(afEdge);
    double s = NKVec3Dot(afHa, afEdge) / fEdgeLenSq;
    for (int i = 0; i < 3; i++) pPoint[i] = static_cast<float>(a[i] + s * afEdge[i]);
    return true;
}

bool NKFindNearestPolygonEdge(const float *o, const float *d, const float *v, const int *piIndices,
                              int n, const float *pfCoords, float *pPoint, int *piEdge, int *piNext)
{
    if (!o || !d || !v || !piIndices || !pfCoords || !pPoint || !piEdge || !piNext || n < 1)
        return false;
    float fBest = -1.0f;
    bool bFound = false;
    for (int i = 0; i < n; i++) {
        int iNext = (i + 1 < n) ? i + 1 : 0;
        float t, afPoint[3];
        if (!NKRayHitsEdgePlane(o, d, v, pfCoords + 3 * piIndices[i],
                                pfCoords + 3 * piIndices[iNext], &t, afPoint))
            continue;
        if (t > 0.0f && t > fBest) {
            fBest = t;
            bFound = true;
            NKVec3Copy(pPoint, afPoint);
            *piEdge = i;
            *piNext = iNext;
        }
    }
    return bFound;
}

// ---- Polygons and points ----------------------------------------------------

// Crossing number of p against a polygon whose vertex i is vertex(i),
// projected on the plane of the axes u and v (the normal's largest axis
// dropped). A vertex whose v equals p's v counts as above.
template <typename VertexAt>
static bool NKCrossingTest(const float *pNormal, int n, const float *p, VertexAt vertex)
{
    if (n < 1) return false;
    int k = NKVec3MaxAbsComponent(pNormal);
    int u = (k + 1) % 3, v = (k + 2) % 3;
    double pu = p[u], pv = p[v];
    int iCrossings = 0;
    const float *a = vertex(n - 1);
    bool bAboveA = a[v] >= pv;
    for (int i = 0; i < n; i++) {
        const float *b = vertex(i);
        bool bAboveB = b[v] >= pv;
        if (bAboveA != bAboveB) {
            bool bRightA = a[u] >= pu, bRightB = b[u] >= pu;
            if (bRightA && bRightB) {
                iCrossings++;
            } else if (bRightA || bRightB) {
                double fU = a[u] + (static_cast<double>(b[u]) - a[u]) * (pv - a[v]) /
                                       (static_cast<double>(b[v]) - a[v]);
                if (fU >= pu) iCrossings++;
            }
        }
        a = b;
        bAboveA = bAboveB;
    }
    return (iCrossings & 1) != 0;
}

bool NKPointInPolygon(const float *pNormal, const float *pfPoints, int n, const float *p)
{
    if (!pNormal || !pfPoints || !p) return false;
    return NKCrossingTest(pNormal, n, p, [pfPoints](int i) { return pfPoints + 3 * i; });
}

bool NKPointInIndexedPolygon(const float *pNormal, const float *pfCoords, const int *piIndices,
                             int n, const float *p)
{
    if (!pNormal || !pfCoords || !piIndices || !p) return false;
    return NKCrossingTest(pNormal, n, p,
                          [pfCoords, piIndices](int i) { return pfCoords + 3 * piIndices[i]; });
}

// (b - a) x (c - a) in double.
static void NKTriangleCross(const float *a, const float *b, const float *c, double *pOut)
{
    double e1[3], e2[3];
    for (int i = 0; i < 3; i++) {
        e1[i] = static_cast<double>(b[i]) - a[i];
        e2[i] = static_cast<double>(c[i]) - a[i];
    }
    pOut[0] = e1[1] * e2[2] - e1[2] * e2[1];
    pOut[1] = e1[2] * e2[0] - e1[0] * e2[2];
    pOut[2] = e1[0] * e2[1] - e1[1] * e2[0];
}

// Stores v (unit length when bNormalise) unless its squared length is below
// 1e-25, in which case (0, 0, 1) is stored and false returned.
static bool NKStoreNormal(const double *v, float *pNormal, bool bNormalise)
{
    double fLenSq = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    if (fLenSq < 1e-25) {
        NKVec3Set(pNormal, 0.0f, 0.0f, 1.0f);
        return false;
    }
    double fScale = bNormalise ? 1.0 / std::sqrt(fLenSq) : 1.0;
    for (int i = 0; i < 3; i++) pNormal[i] = static_cast<float>(v[i] * fScale);
    return true;
}

bool NKComputeTriangleNormal(const int *piIndices, const float *pfCoords, float *pNormal,
                             bool bNormalise)
{
    if (!piIndices || !pfCoords || !pNormal) return false;
    double n[3];
    NKTriangleCross(pfCoords + 3 * piIndices[0], pfCoords + 3 * piIndices[1],
                    pfCoords + 3 * piIndices[2], n);
    return NKStoreNormal(n, pNormal, bNormalise);
}

bool NKComputePolygonNormal(const int *piIndices, int n, const float *pfCoords, float *pNormal)
{
    if (!piIndices || !pfCoords || !pNormal) return false;
    if (n < 3) {
        NKVec3Set(pNormal, 0.0f, 0.0f, 1.0f);
        return false;
    }
    // Quadratic faces alternate corner and mid-side nodes; the mid-side nodes
    // add nothing but rounding, so only the corners make triangles.
    bool bQuadratic = (n == 6 || n == 8);
    int iStride = bQuadratic ? 2 : 1;
    double afBest[3] = {0.0, 0.0, 0.0}, fBestLenSq = -1.0;
    for (int k = iStride; k + iStride < n; k += iStride) {
        double c[3];
        NKTriangleCross(pfCoords + 3 * piIndices[0], pfCoords + 3 * piIndices[k],
                        pfCoords + 3 * piIndices[k + iStride], c);
        double fLenSq = c[0] * c[0] + c[1] * c[1] + c[2] * c[2];
        if (fLenSq > fBestLenSq) {
            fBestLenSq = fLenSq;
            afBest[0] = c[0];
            afBest[1] = c[1];
            afBest[2] = c[2];
        }
    }
    return NKStoreNormal(afBest, pNormal, true);
}

bool NKComputeCentroid(const int *piIndices, int n, const float *pfCoords, float *c,
                       const int *piRemap)
{
    if (!piIndices || !pfCoords || !c || n < 1) return false;
    double afSum[3] = {0.0, 0.0, 0.0};
    for (int i = 0; i < n; i++) {
        int iNode = piRemap ? piRemap[piIndices[i]] : piIndices[i];
        for (int k = 0; k < 3; k++) afSum[k] += pfCoords[3 * iNode + k];
    }
    for (int k = 0; k < 3; k++) c[k] = static_cast<float>(afSum[k] / n);
    return true;
}

int NKFindNearestPoint(const int *piIndices, int n, const float *pfCoords, const float *p)
{
    if (!piIndices || !pfCoords || !p || n < 1) return -1;
    int iBest = piIndices[0];
    double fBest = NKVec3DistanceSquared(pfCoords + 3 * iBest, p);
    for (int i = 1; i < n; i++) {
        double fDist = NKVec3DistanceSquared(pfCoords + 3 * piIndices[i], p);
        if (fDist < fBest) {
            fBest = fDist;
            iBest = piIndices[i];
        }
    }
    return iBest;
}

bool NKVectorsParallel(const float *a, const float *b)
{
    if (!a || !b) return false;
    int iFirst = 0;
    while (iFirst < 3 && NKFloatsEqual(b[iFirst], 0.0f)) {
        if (a[iFirst] != 0.0f) return false;
        iFirst++;
    }
    if (iFirst == 3) return true;  // b and a are both zero vectors
    double fRatio = static_cast<double>(a[iFirst]) / b[iFirst];
    for (int i = 0; i < 3; i++) {
        if (!NKFloatsEqual(static_cast<float>(fRatio * b[i]), a[i])) return false;
    }
    return true;
}

void NKVec3RotateX(float *v, float fCos, float fSin)
{
    if (!v) return;
    double y = v[1], z = v[2];
    v[1] = static_cast<float>(fCos * y - fSin * z);
    v[2] = static_cast<float>(fCos * z + fSin * y);
}

void NKVec3RotateY(float *v, float fCos, float fSin)
{
    if (!v) return;
    double x = v[0], z = v[2];
    v[0] = static_cast<float>(fCos * x + fSin * z);
    v[2] = static_cast<float>(fCos * z - fSin * x);
}

void NKVec3RotateZ(float *v, float fCos, float fSin)
{
    if (!v) return;
    double x = v[0], y = v[1];
    v[0] = static_cast<float>(fCos * x - fSin * y);
    v[1] = static_cast<float>(fSin * x + fCos * y);
}

float *NKVec3ScaledCopy(float *r, const float *v, float s)
{
    if (!r || !v) return nullptr;
    for (int i = 0; i < 3; i++) r[i] = static_cast<float>(static_cast<double>(v[i]) * s);
    return r;
}

// ---- Axis-aligned boxes -------------------------------------------------------

namespace {

// Per corner: whether x, y, z take the box maximum.
const bool kCornerMax[8][3] = {{false, false, true},  {true, false, true}, {true, false, false},
                               {false, false, false}, {false, true, true}, {true, true, true},
                               {true, true, false},   {false, true, false}};
const int kBoxFaces[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4},
                             {3, 7, 6, 2}, {0, 4, 7, 3}, {1, 2, 6, 5}};
const float kBoxNormals[6][3] = {{0, -1, 0}, {0, 1, 0},  {0, 0, 1},
                                 {0, 0, -1}, {-1, 0, 0}, {1, 0, 0}};

}  // namespace

bool NKGetBoxCornersAndFaces(const float *pBox, float pCorners[8][3], int pFaces[6][4],
                             float pNormals[6][3])
{
    if (!pBox || !pCorners) return false;
    for (int c = 0; c < 8; c++) {
        for (int i = 0; i < 3; i++) pCorners[c][i] = kCornerMax[c][i] ? pBox[3 + i] : pBox[i];
    }
    for (int f = 0; f < 6; f++) {
        for (int k = 0; pFaces && k < 4; k++) pFaces[f][k] = kBoxFaces[f][k];
        if (pNormals) NKVec3Copy(pNormals[f], kBoxNormals[f]);
    }
    return true;
}

bool NKBoxesOverlap(const float *a, const float *b)
{
    if (!a || !b) return false;
    for (int i = 0; i < 3; i++) {
        if (!(a[3 + i] >= b[i] && a[i] <= b[3 + i])) return false;
    }
    return true;
}

// a px + b py + c pz - d at the corner that lies furthest along the plane's
// normal (bFar) or at the opposite corner.
static double NKBoxCornerPlaneValue(const float *pPlane, const float *pBox, bool bFar)
{
    double fSum = -static_cast<double>(pPlane[3]);
    for (int i = 0; i < 3; i++) {
        bool bMax = (pPlane[i] > 0.0f) == bFar;
        fSum += static_cast<double>(pPlane[i]) * (bMax ? pBox[3 + i] : pBox[i]);
    }
    return fSum;
}

int NKClassifyBoxAgainstPlanes(const float *pfPlanes, int n, const float *pBox, bool bCountCutting)
{
    if (!pfPlanes || !pBox) return 0;
    bool bCut = false;
    for (int i = n - 1; i >= 0; i--) {
        const float *pPlane = pfPlanes + 4 * i;
        if (NKBoxCornerPlaneValue(pPlane, pBox, true) < 0.0) return -1;
        if (bCountCutting && NKBoxCornerPlaneValue(pPlane, pBox, false) < 0.0) bCut = true;
    }
    return bCut ? 0 : 1;
}

float *NKMakeBoxGridPoints(const float *pBox, int nx, int ny, int nz)
{
    if (!pBox) return nullptr;
    NKOrientedBox box;
    box.SetFromBox(pBox);
    return box.MakeGridPoints(nx, ny, nz);
}

bool NKBoxFromCenterAndSize(const float *c, const float *pSize, float *pBox)
{
    if (!c || !pSize || !pBox) return false;
    for (int i = 0; i < 3; i++) {
        double fHalf = pSize[i] / 2.0;
        pBox[i] = static_cast<float>(c[i] - fHalf);
        pBox[3 + i] = static_cast<float>(c[i] + fHalf);
    }
    return true;
}

bool NKGetBoxCenter(const float *pBox, float *c)
{
    if (!pBox || !c) return false;
    for (int i = 0; i < 3; i++)
        c[i] = static_cast<float>((static_cast<double>(pBox[i]) + pBox[3 + i]) / 2.0);
    return true;
}

float NKGetBoxMaxExtentAxis(const float *pBox, int *piAxis)
{
    if (!pBox) return 0.0f;
    int iAxis = 0;
    float fMax = pBox[3] - pBox[0];
    for (int i = 1; i < 3; i++) {
        float fExtent = pBox[3 + i] - pBox[i];
        if (fExtent > fMax) {
            fMax = fExtent;
            iAxis = i;
        }
    }
    if (piAxis) *piAxis = iAxis;
    return fMax;
}

bool NKPointInBox(const float *pBox, const float *p)
{
    if (!pBox || !p) return false;
    for (int i = 0; i < 3; i++) {
        if (!(pBox[i] <= p[i] && p[i] <= pBox[3 + i])) return false;
    }
    return true;
}
