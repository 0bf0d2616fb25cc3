// tools/nk_vector_grid.cpp -- the vectors sampled on a regular grid of a
// cutting plane (NKBuildVectorGrid, see nk_cut_plane.h).
//
// The grid lies in the plane's own coordinates: the plane is turned onto the
// xy plane (rotations about x, y, then z so that the grid axis runs along u),
// the grid spans the crossing of the plane with the frame's geometry box, and
// each sample takes the value and vector of the cut polygon it lies in.
#include <cmath>
#include <cstring>

#include "core/nk_bbox.h"
#include "core/nk_math.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_numeric.h"
#include "core/nk_ray.h"
#include "tools/nk_cut_plane.h"
#include "tools/nk_cut_surface.h"

namespace {

struct GridFrame {
    float ca, sa, cb, sb, cg, sg;  // rotations about x, y and z
    float foot[3];                 // the plane's foot point dot(n, P) n
};

void RotX(float *v, float c, float s)
{
    float y = c * v[1] - s * v[2], z = c * v[2] + s * v[1];
    v[1] = y;
    v[2] = z;
}
void RotY(float *v, float c, float s)
{
    float x = c * v[0] + s * v[2], z = c * v[2] - s * v[0];
    v[0] = x;
    v[2] = z;
}
void RotZ(float *v, float c, float s)
{
    float x = c * v[0] - s * v[1], y = s * v[0] + c * v[1];
    v[0] = x;
    v[1] = y;
}

float SignedAcosSin(float c, bool bNegative)
{
    double a = std::acos(c < -1.0f ? -1.0f : (c > 1.0f ? 1.0f : c));
    return (float)std::sin(bNegative ? -a : a);
}

void MakeGridFrame(const CutPlane &plane, GridFrame *g)
{
    const float *n = plane.fNormal;
    if (n[1] == 0.0f && n[2] == 0.0f) {
        g->ca = 1.0f, g->sa = 0.0f, g->cb = 0.0f;
        g->sb = n[0] > 0.0f ? -1.0f : 1.0f;
    } else {
        g->ca = n[2] / std::sqrt(n[1] * n[1] + n[2] * n[2]);
        g->sa = SignedAcosSin(g->ca, n[1] < 0.0f);
        float w = g->ca * n[2] + g->sa * n[1];
        g->cb = w / std::sqrt(w * w + n[0] * n[0]);
        g->sb = SignedAcosSin(g->cb, n[0] > 0.0f);
    }
    float u[3];
    static const float kX[3] = {1, 0, 0}, kY[3] = {0, 1, 0};
    NKCrossProduct(n, plane.fGridAxis, u);
    if (NKVec3Length(u) == 0.0) NKCrossProduct(n, kX, u);
    if (NKVec3Length(u) == 0.0) NKCrossProduct(n, kY, u);
    NKVec3Normalize(u);
    RotX(u, g->ca, g->sa);
    RotY(u, g->cb, g->sb);
    double r = std::sqrt((double)u[0] * u[0] + (double)u[1] * u[1]);
    g->cg = r > 0.0 ? (float)(u[0] / r) : 1.0f;
    g->sg = SignedAcosSin(g->cg, u[1] > 0.0f);
    float d = (float)NKVec3Dot(n, plane.fPoint);
    for (int k = 0; k < 3; k++) g->foot[k] = d * n[k];
}

void Forward(const GridFrame &g, const float *q, float *pOut)
{
    for (int k = 0; k < 3; k++) pOut[k] = q[k] - g.foot[k];
    RotX(pOut, g.ca, g.sa);
    RotY(pOut, g.cb, g.sb);
    RotZ(pOut, g.cg, g.sg);
}

void Backward(const GridFrame &g, float *p)
{
    RotZ(p, g.cg, -g.sg);
    RotY(p, g.cb, -g.sb);
    RotX(p, g.ca, -g.sa);
    NKVec3AddTo(p, g.foot);
}

// The extremes (minU, minV, maxU, maxV) of the plane's crossings with the
// twelve edges of the display box; false for fewer than two crossings.
bool CrossingExtent(const GridFrame &g, const CutPlane &plane, const float *pfBox, float *pfExt)
{
    static const int kEdges[12][2] = {{0, 1}, {2, 3}, {4, 5}, {6, 7}, {0, 2}, {1, 3},
                                      {4, 6}, {5, 7}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    float c[8][3];
    for (int i = 0; i < 8; i++)
        NKVec3Set(c[i], pfBox[(i & 1) ? 3 : 0], pfBox[(i & 2) ? 4 : 1], pfBox[(i & 4) ? 5 : 2]);
    float fPlane = (float)NKVec3Dot(plane.fNormal, plane.fPoint);
    pfExt[0] = pfExt[1] = 1e12f;
    pfExt[2] = pfExt[3] = -1e12f;
    int iCrossings = 0;
    for (const auto &e : kEdges) {
        const float *a = c[e[0]], *b = c[e[1]];
        float da = (float)NKVec3Dot(plane.fNormal, a) - fPlane;
        float db = (float)NKVec3Dot(plane.fNormal, b) - fPlane;
        if (NKSign(da) == NKSign(db)) continue;
        float den = db - da == 0.0f ? 1e-12f : db - da;
        float t = -da / den, p[3], q[3];
        for (int k = 0; k < 3; k++) p[k] = a[k] + t * (b[k] - a[k]);
        Forward(g, p, q);
        pfExt[0] = std::fmin(pfExt[0], q[0]), pfExt[2] = std::fmax(pfExt[2], q[0]);
        pfExt[1] = std::fmin(pfExt[1], q[1]), pfExt[3] = std::fmax(pfExt[3], q[1]);
        iCrossings++;
    }
    return iCrossings >= 2;
}

bool AllocGrid(VectorGrid *pGrid, int iI, int iJ)
{
    NKFreeEdgeArrays(pGrid, true);
    size_t n = (size_t)iI * (size_t)iJ;
    pGrid->iCountI = iI;
    pGrid->iCountJ = iJ;
    pGrid->pfPositions = static_cast<float *>(NKCalloc(n * 3, sizeof(float)));
    pGrid->pfVectors = static_cast<float *>(NKCalloc(n * 3, sizeof(float)));
    pGrid->pfValues = static_cast<float *>(NKCalloc(n, sizeof(float)));
    pGrid->pColors = static_cast<uint8_t *>(NKCalloc(n * 3, 1));
    pGrid->pfTexCoords = static_cast<float *>(NKCalloc(n, sizeof(float)));
    pGrid->pFound = static_cast<uint8_t *>(NKCalloc(n, 1));
    return pGrid->pfPositions && pGrid->pfVectors && pGrid->pfValues && pGrid->pColors &&
           pGrid->pfTexCoords && pGrid->pFound;
}

int ClampInt(double v, int iMax) { return v < 0 ? 0 : (v > iMax ? iMax : (int)v); }

// Samples one polygon: every grid point of its box inside it takes the
// values interpolated over its nodes (grid coordinates in pfGrid).
void SamplePolygon(VectorGrid *pGrid, const CutSurfacePart &rec, const float *pfGrid, int p)
{
    const NKIndexedFaceSet &m = rec.mesh;
    const int *piNodes = &m.piConnects[m.piPolygonStart[p]];
    int n = m.piPolygonNumNodes[p];
    double lo[2] = {1e30, 1e30}, hi[2] = {-1e30, -1e30};
    for (int k = 0; k < n; k++)
        for (int a = 0; a < 2; a++) {
            lo[a] = std::fmin(lo[a], pfGrid[3 * piNodes[k] + a] - 1e-12);
            hi[a] = std::fmax(hi[a], pfGrid[3 * piNodes[k] + a] + 1e-12);
        }
    int c0 = ClampInt(std::floor(lo[0]), pGrid->iCountI - 1);
    int c1 = ClampInt(std::ceil(hi[0]), pGrid->iCountI - 1);
    int r0 = ClampInt(std::floor(lo[1]), pGrid->iCountJ - 1);
    int r1 = ClampInt(std::ceil(hi[1]), pGrid->iCountJ - 1);
    static const float kZ[3] = {0.0f, 0.0f, 1.0f};
    for (int r = r0; r <= r1; r++)
        for (int c = c0; c <= c1; c++) {
            float pt[3] = {(float)c, (float)r, 0.0f};
            if (!NKPointInIndexedPolygon(kZ, pfGrid, piNodes, n, pt)) continue;
            size_t s = (size_t)r * pGrid->iCountI + c;
            NKInterpolateAtPoint(reinterpret_cast<const float(*)[3]>(pfGrid), piNodes,
                                 n > 16 ? 16 : n, rec.pfValues,
                                 reinterpret_cast<const float(*)[3]>(rec.pfVectors), 1, pt,
                                 &pGrid->pfValues[s], &pGrid->pfVectors[3 * s]);
            pGrid->pFound[s] = 1;
        }
}

void SamplePart(VectorGrid *pGrid, const CutSurfacePart &rec, const GridFrame &g,
                const float *pfExt, float su, float sv)
{
    const NKIndexedFaceSet &m = rec.mesh;
    if (m.iNumNodes < 1 || m.iNumPolygons < 1 || rec.pfValues == nullptr) return;
    float *pfGrid = static_cast<float *>(NKAlloc(sizeof(float) * 3 * (size_t)m.iNumNodes));
    if (pfGrid == nullptr) return;
    for (int k = 0; k < m.iNumNodes; k++) {
        float q[3];
        Forward(g, &m.pfCoords[3 * k], q);
        NKVec3Set(&pfGrid[3 * k], (q[0] - pfExt[0]) * su, (q[1] - pfExt[1]) * sv, 0.0f);
    }
    for (int p = 0; p < m.iNumPolygons; p++) SamplePolygon(pGrid, rec, pfGrid, p);
    NKFree(pfGrid);
}

}  // namespace

bool NKBuildVectorGrid(VectorGrid *pGrid, const CutPlane &plane, const CutSurfacePart *pParts,
                       int iNumParts, const float *pfModelBox, int iCountI, int iCountJ)
{
    if (pGrid == nullptr || pParts == nullptr || iNumParts < 1 || pfModelBox == nullptr ||
        iCountI < 2 || iCountJ < 2)
        return false;
    GridFrame g;
    MakeGridFrame(plane, &g);
    float box[6], ext[4];
    std::memcpy(box, pfModelBox, sizeof box);
    ModelToDisplayBox(box);
    // Fewer than two crossings or a crossing without extent would divide by
    // zero below; such a plane gets no vectors.
    if (!CrossingExtent(g, plane, box, ext) || !(ext[2] - ext[0] > 0.0f) ||
        !(ext[3] - ext[1] > 0.0f) || !AllocGrid(pGrid, iCountI, iCountJ)) {
        NKFreeEdgeArrays(pGrid, true);
        return false;
    }
    float su = (float)(iCountI - 1) / (ext[2] - ext[0]);
    float sv = (float)(iCountJ - 1) / (ext[3] - ext[1]);
    for (int r = 0; r < iCountJ; r++)
        for (int c = 0; c < iCountI; c++) {
            float *p = &pGrid->pfPositions[3 * ((size_t)r * iCountI + c)];
            NKVec3Set(p, ext[0] + c / su, ext[1] + r / sv, 0.0f);
            Backward(g, p);
        }
    for (int i = 0; i < iNumParts; i++) SamplePart(pGrid, pParts[i], g, ext, su, sv);
    size_t n = (size_t)iCountI * iCountJ;
    NKMapScalarsToColors(g_pModel != nullptr ? g_pModel->fFringeRangeFrom : 0.0f,
                         g_pModel != nullptr ? g_pModel->fFringeRangeTo : 0.0f, (int)n,
                         pGrid->pfValues, pGrid->pColors, pGrid->pfTexCoords);
    return true;
}
