// bench/cut_iso_surfaces.cpp -- times the surface polygoniser on one part of
// 100 x 100 x 100 unit hexahedra against a plain walk over the same elements
// that reads each element's corner coordinates and values: the cut by the
// plane through (50.5, 50.5, 50.5) with normal (1, 1, 1), and the
// iso-surface of the distance from (50, 50, 50) at 45.5. A plain timed main:
// prints polygons per second and each time over the walk's.
#include <chrono>
#include <cmath>
#include <cstdio>

#include "core/nk_element_types.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "tests/test_support/hex_block.h"
#include "tools/nk_iso_surface.h"
#include "tools/nk_surface_polygoniser.h"
#include "tools/nk_surface_storage.h"

namespace {

const int N = 100;

// One part of N^3 unit hexahedra, and its distance field as the frame's scalar.
bool MakeFrame(NKFrame *f)
{
    NKGeometry *pGeo = NKCreateGeometry(1);
    if (pGeo == nullptr) return false;
    NKPart &p = pGeo->pParts[0];
    NKScalarResult *r = NKCreateScalarResult();
    if (!NKTestBuildHexBlock(&p, N) || r == nullptr) return false;
    r->iNumParts = 1;
    r->pNodeResults = (NKScalarPartEntry *)NKCalloc(1, sizeof(NKScalarPartEntry));
    float *pfValues = (float *)NKAlloc(sizeof(float) * (size_t)p.iNumNodes);
    if (!r->pNodeResults || !pfValues) return false;
    r->pNodeResults[0].iCount = p.iNumNodes;
    r->pNodeResults[0].pNodeValues = pfValues;
    for (int n = 0; n < p.iNumNodes; n++) {
        const float *c = p.pNodeCoords + 3 * (size_t)n;
        pfValues[n] = std::sqrt((c[0] - 50) * (c[0] - 50) + (c[1] - 50) * (c[1] - 50) +
                                (c[2] - 50) * (c[2] - 50));
    }
    f->pGeometry = pGeo;
    pGeo->iNumRef = 1;
    f->pScalar = r;
    r->iNumRef = 1;
    return true;
}

// The reference walk: every element's corner coordinates and values summed.
double Walk(const NKFrame *f, double *pfSum)
{
    auto t0 = std::chrono::steady_clock::now();
    const NKPart &p = f->pGeometry->pParts[0];
    const float *pfValues = f->pScalar->pNodeResults[0].pNodeValues;
    double s = 0.0;
    for (int e = 0; e < p.iNumElements; e++) {
        const int *c = p.pElementConnects + p.pElements[e].iNodeStart;
        int n = NKElementCornerCount(p.pElements[e].iType);
        for (int q = 0; q < n; q++) {
            const float *x = p.pNodeCoords + 3 * (size_t)c[q];
            s += x[0] + x[1] + x[2] + pfValues[c[q]];
        }
    }
    *pfSum = s;
    return NKTestSecondsSince(t0);
}

double Area(const NKIndexedFaceSet &m)
{
    double total = 0.0;
    for (int p = 0; p < m.iNumPolygons; p++) {
        const int *pi = m.piConnects + m.piPolygonStart[p];
        double v[3] = {0, 0, 0};
        for (int k = 1; k + 1 < m.piPolygonNumNodes[p]; k++) {
            const float *a = m.pfCoords + 3 * pi[0], *b = m.pfCoords + 3 * pi[k],
                        *c = m.pfCoords + 3 * pi[k + 1];
            double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
            double w[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
            v[0] += u[1] * w[2] - u[2] * w[1];
            v[1] += u[2] * w[0] - u[0] * w[2];
            v[2] += u[0] * w[1] - u[1] * w[0];
        }
        total += 0.5 * std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    }
    return total;
}

}  // namespace

int main()
{
    g_pModel = NKCreateModel();
    NKFrame frame;
    if (g_pModel == nullptr || !MakeFrame(&frame)) {
        std::printf("out of memory\n");
        return 1;
    }
    double fSum = 0.0, fWalk = Walk(&frame, &fSum);
    std::printf("walk over %d elements: %.3f s (checksum %g)\n", N * N * N, fWalk, fSum);

    CutSurfacePart cut;
    for (int k = 0; k < 3; k++) cut.fPlanePoint[k] = 50.5f, cut.fPlaneNormal[k] = 1.0f;
    auto t0 = std::chrono::steady_clock::now();
    bool bCut = NKComputePartCutSurface(&frame, 0, &cut);
    double fCut = NKTestSecondsSince(t0);
    double fExpect = 7497.75 * std::sqrt(3.0), fArea = Area(cut.mesh);
    std::printf("cut: %s, %d polygons (22492 expected), area %.4f (relative error %.2e), "
                "%.3f s, %.0f polygons/s, %.2f x walk\n",
                bCut ? "ok" : "FAILED", cut.mesh.iNumPolygons, fArea,
                std::fabs(fArea - fExpect) / fExpect, fCut, cut.mesh.iNumPolygons / fCut,
                fCut / fWalk);

    IsoSurfaceState state;
    state.fLevel = 45.5f;
    t0 = std::chrono::steady_clock::now();
    bool bIso = NKVolumeComputeIsoSurfaces(&frame, &state);
    double fIso = NKTestSecondsSince(t0);
    int iIso = bIso ? frame.pIsoSurfaces[0].mesh.iNumPolygons : 0;
    std::printf("iso: %s, %d polygons (39056 expected), %.3f s, %.0f polygons/s, %.2f x walk\n",
                bIso ? "ok" : "FAILED", iIso, fIso, iIso / fIso, fIso / fWalk);

    NKFreeFrameIsoSurfaceRecords(&frame);
    NKReleaseScalarResult(frame.pScalar);
    NKReleaseGeometry(frame.pGeometry);
    frame.pScalar = nullptr;
    frame.pGeometry = nullptr;
    NKDestroyModel(g_pModel);
    return 0;
}
