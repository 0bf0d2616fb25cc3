// bench/picking.cpp -- times NKPickRay on one part of 1000 x 1000 unit
// quadrilaterals in the plane z = 0: 1,000 rays straight down at random
// points of the part, against a plain loop making the same ray-polygon tests
// (NKRayHitPartPolygons) on the same arrays, and 1,000 rays that miss the
// part's grown box. A plain timed main on one core: prints rays per second
// and the ratios.
#include <chrono>
#include <cstdio>
#include <random>

#include "core/nk_frames.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_ray.h"
#include "tools/nk_picking.h"

namespace {

const int N = 1000;
const int kRays = 1000;

// The part: (N + 1)^2 nodes, N^2 quadrilaterals, visible, drawn as a surface.
bool MakeModel()
{
    g_pModel = NKCreateModel();
    if (g_pModel == nullptr) return false;
    g_pModel->fGeoScale = 1.0f;
    NKGeometry *pGeo = NKCreateGeometry(1);
    if (pGeo == nullptr || !NKSetFrameCount(1, false)) return false;
    NKPart &p = pGeo->pParts[0];
    const int iNodes = (N + 1) * (N + 1), iQuads = N * N;
    p.iNumNodes = iNodes;
    p.iNumPolygons = iQuads;
    p.iNumConnects = 4 * iQuads;
    p.bVisible = 1;
    p.pNodeCoords = static_cast<float *>(NKAlloc(sizeof(float) * 3 * size_t(iNodes)));
    p.pConnects = static_cast<int *>(NKAlloc(sizeof(int) * 4 * size_t(iQuads)));
    p.pPolygonStart = static_cast<int *>(NKAlloc(sizeof(int) * size_t(iQuads)));
    p.pPolygonNumNodes = static_cast<int *>(NKAlloc(sizeof(int) * size_t(iQuads)));
    if (!p.pNodeCoords || !p.pConnects || !p.pPolygonStart || !p.pPolygonNumNodes) return false;
    for (int j = 0; j <= N; j++)
        for (int i = 0; i <= N; i++) {
            float *c = p.pNodeCoords + 3 * size_t(j * (N + 1) + i);
            c[0] = float(i);
            c[1] = float(j);
            c[2] = 0.0f;
        }
    for (int j = 0; j < N; j++)
        for (int i = 0; i < N; i++) {
            const int q = j * N + i, n0 = j * (N + 1) + i;
            int *c = p.pConnects + 4 * size_t(q);
            c[0] = n0;
            c[1] = n0 + 1;
            c[2] = n0 + N + 2;
            c[3] = n0 + N + 1;
            p.pPolygonStart[q] = 4 * q;
            p.pPolygonNumNodes[q] = 4;
        }
    const float afBox[6] = {0, 0, 0, float(N), float(N), 0};
    for (int i = 0; i < 6; i++) p.fBoundingBox[i] = afBox[i];
    g_pModel->pFrames[0].pGeometry = pGeo;
    pGeo->iNumRef = 1;
    return true;
}

double Seconds(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main()
{
    if (!MakeModel()) {
        std::printf("picking: out of memory\n");
        return 1;
    }
    std::mt19937 rng(53);
    std::uniform_real_distribution<float> u(0.0f, float(N));
    static float rays[kRays][6], misses[kRays][6];
    for (int r = 0; r < kRays; r++) {
        const float afRay[6] = {u(rng), u(rng), 5.0f, 0.0f, 0.0f, -1.0f};
        const float afMiss[6] = {u(rng), u(rng), 5.0f, 0.0f, 0.2f, 1.0f};
        for (int i = 0; i < 6; i++) rays[r][i] = afRay[i], misses[r][i] = afMiss[i];
    }
    const int iGroup = 1;
    int iHits = 0;
    auto t0 = std::chrono::steady_clock::now();
    for (int r = 0; r < kRays; r++)
        iHits += NKPickRay(0, &rays[r], &iGroup, 1, nullptr, false) == 0;
    const double dPick = Seconds(t0);

    const NKPart &p = g_pModel->pFrames[0].pGeometry->pParts[0];
    int iLoopHits = 0;
    t0 = std::chrono::steady_clock::now();
    for (int r = 0; r < kRays; r++) {
        NKRayHit hit{{0, 0, 0}, -1, 1e12f};
        iLoopHits += NKRayHitPartPolygons(p.pNodeCoords, p.pConnects, p.pPolygonStart,
                                          p.pPolygonNumNodes, p.iNumPolygons, rays[r], rays[r] + 3,
                                          &hit, nullptr, 0, nullptr, 0) > 0;
    }
    const double dLoop = Seconds(t0);

    int iMissHits = 0;
    t0 = std::chrono::steady_clock::now();
    for (int r = 0; r < kRays; r++)
        iMissHits += NKPickRay(0, &misses[r], &iGroup, 1, nullptr, false) == 0;
    const double dMiss = Seconds(t0);

    std::printf("picking: %d x %d quadrilaterals, %d rays\n", N, N, kRays);
    std::printf("  NKPickRay hits:   %d, %.1f rays/s\n", iHits, kRays / dPick);
    std::printf("  plain loop hits:  %d, %.1f rays/s (pick time / loop time %.2f, target <= 3)\n",
                iLoopHits, kRays / dLoop, dPick / dLoop);
    std::printf("  box misses:       %d, %.0f rays/s (%.0fx the hits, target >= 1000)\n", iMissHits,
                kRays / dMiss, dPick / (dMiss > 0.0 ? dMiss : 1e-9));
    NKDestroyModel(g_pModel);
    g_pModel = nullptr;
    return 0;
}
