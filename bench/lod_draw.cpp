// bench/lod_draw.cpp -- frames per second of NKDrawScene over 100 plates,
// each carrying four levels of detail: 400 x 250 quadrilaterals at level 0,
// then 200 x 125, 100 x 62 and 50 x 31, all in view in perspective, drawn
// into an off-screen context of 810 x 600. Three ways: every plate at level
// 0 (fixed mode 1), the automatic choice with the start thresholds (ranks
// 10, 20, 40, ...), and the coarsest levels while the model is moved with
// moveaslod. Each figure is frames over the elapsed time of a run ending
// with glFinish, at least three frames and two seconds; the polygons are
// the sums of the level ranges the drawers walk. The aims: automatic at
// least 5 x and moving at least 30 x the fixed-level-0 rate. Needs an X
// display (run under xvfb-run) and about 600 MB. Usage: bench_lod_draw
#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "bench/bench_offscreen_scene.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_load_hooks.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_render_state.h"
#include "core/nk_view_state.h"
#include "platform/nk_gl_context.h"
#include "render/nk_lod.h"
#include "render/nk_projection.h"
#include "render/nk_view_settings.h"
#include "scene/nk_renderer.h"

namespace {

const int kPlates = 100;
const int kLevels[4][2] = {{400, 250}, {200, 125}, {100, 62}, {50, 31}};

template <typename T>
T *Alloc(size_t n)
{
    return static_cast<T *>(NKAlloc(n * sizeof(T)));
}

// One plate over [-0.5, 0.5] x [-0.3125, 0.3125] at depth z, its four
// level grids one after the other; the state bytes of the level codes go
// to *ppBytes.
void BuildPlate(NKPart *p, float z, uint8_t **ppBytes)
{
    size_t iNodes = 0, iQuads = 0;
    for (const auto &l : kLevels) {
        iNodes += size_t(l[0] + 1) * size_t(l[1] + 1);
        iQuads += size_t(l[0]) * size_t(l[1]);
    }
    p->iNumNodes = int(iNodes);
    p->iNumPolygons = int(iQuads);
    p->iNumConnects = int(4 * iQuads);
    p->iUniformPolygonSize = 4;
    p->pNodeCoords = Alloc<float>(3 * iNodes);
    p->pNodeType = Alloc<uint8_t>(iNodes);
    p->pConnects = Alloc<int>(4 * iQuads);
    p->pPolygonStart = Alloc<int>(iQuads);
    p->pPolygonNumNodes = Alloc<int>(iQuads);
    *ppBytes = Alloc<uint8_t>(iQuads);
    size_t n0 = 0, q = 0;
    for (int level = 0; level < 4; level++) {
        const int nx = kLevels[level][0], ny = kLevels[level][1];
        for (int j = 0; j <= ny; j++)
            for (int i = 0; i <= nx; i++) {
                float *c = p->pNodeCoords + 3 * (n0 + size_t(j) * (nx + 1) + i);
                c[0] = -0.5f + float(i) / nx;
                c[1] = -0.3125f + 0.625f * float(j) / ny;
                c[2] = z;
            }
        for (int j = 0; j < ny; j++)
            for (int i = 0; i < nx; i++, q++) {
                const int a = int(n0) + j * (nx + 1) + i;
                int *c = p->pConnects + 4 * q;
                c[0] = a, c[1] = a + 1, c[2] = a + nx + 2, c[3] = a + nx + 1;
                p->pPolygonStart[q] = int(4 * q);
                p->pPolygonNumNodes[q] = 4;
                (*ppBytes)[q] = uint8_t(4 * level);
            }
        n0 += size_t(nx + 1) * size_t(ny + 1);
    }
    std::fill(p->pNodeType, p->pNodeType + iNodes, uint8_t(1));
    const float afBox[6] = {-0.5f, -0.3125f, z, 0.5f, 0.3125f, z};
    std::copy(afBox, afBox + 6, p->fBoundingBox);
    p->bVisible = 1;
    for (int k = 0; k < 3; k++) p->material.ambient[k] = p->material.diffuse[k] = 0.6f;
    p->material.alpha = 255;
}

double Seconds(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// Frames per second of at least three frames and two seconds.
double Fps(void)
{
    NKDrawScene(0, 1, 1);  // warm-up
    glFinish();
    const auto t0 = std::chrono::steady_clock::now();
    int iFrames = 0;
    do {
        NKDrawScene(0, 1, 1);
        iFrames++;
    } while (iFrames < 3 || Seconds(t0) < 2.0);
    glFinish();
    return iFrames / Seconds(t0);
}

// The polygons the drawers walk at the parts' current levels.
long long WalkedPolygons(void)
{
    long long llSum = 0;
    for (int p = 0; p < kPlates; p++) {
        int iFirst = 0, iLast = -1;
        if (NKGetPartPolygonRange(&g_pModel->pFrames[0], p, &iFirst, &iLast))
            llSum += iLast - iFirst + 1;
    }
    return llSum;
}

}  // namespace

int main()
{
    NKGLContext *pContext = NKBenchStartOffscreenScene(810, 600);
    if (pContext == nullptr) return 1;
    g_pModel->fGeoScale = 1.0f;
    g_fNearClip = 0.01f;
    g_fFarClip = 8.0f;
    NKInitViewProjection();
    NKCreateLodManager();

    NKGeometry *pGeo = NKCreateGeometry(kPlates);
    g_pModel->pFrames = NKAllocFrameArray(1);
    g_pModel->iNumFrames = 1;
    NKFrame &frame = g_pModel->pFrames[0];
    frame.pGeometry = pGeo;
    pGeo->iNumRef++;
    frame.ppVisibility = static_cast<uint8_t **>(NKCalloc(kPlates, sizeof(uint8_t *)));
    for (int p = 0; p < kPlates; p++) {
        BuildPlate(&pGeo->pParts[p], -2.0f - 0.03f * p, &frame.ppVisibility[p]);
        pGeo->iTotalNumPolygons += pGeo->pParts[p].iNumPolygons;
    }
    const float afGeoBox[6] = {-0.5f, -0.3125f, -2.0f - 0.03f * (kPlates - 1),
                               0.5f,  0.3125f,  -2.0f};
    std::copy(afGeoBox, afGeoBox + 6, pGeo->fBoundingBox);
    NKSetupLevelOfDetail();
    LodManager &m = *g_pLodManager;
    if (!m.m_bEnabled) {
        std::fprintf(stderr, "The level-of-detail manager did not switch on\n");
        return 1;
    }

    m.m_bFixed = 1;
    m.SetFixedMode(NK_LOD_FIXED_FINEST);
    const double dFixed = Fps();
    const long long llFixed = WalkedPolygons();
    m.m_bFixed = 0;
    m.SetAutomatic(true);
    const double dAutomatic = Fps();
    const long long llAutomatic = WalkedPolygons();
    g_pViewSettings->iMoveMode = NK_MOVE_LOD;
    g_pViewSettings->bMouseDrag = 1;  // the model is being moved
    const double dMoving = Fps();
    const long long llMoving = WalkedPolygons();
    g_pViewSettings->bMouseDrag = 0;

    std::printf("%d plates, levels 400 x 250, 200 x 125, 100 x 62, 50 x 31; 810 x 600\n", kPlates);
    std::printf("fixed level 0   %8.3f fps  %10lld polygons\n", dFixed, llFixed);
    std::printf("automatic       %8.3f fps  %10lld polygons\n", dAutomatic, llAutomatic);
    std::printf("moving (coarse) %8.3f fps  %10lld polygons\n", dMoving, llMoving);
    std::printf("automatic / fixed = %.1f (aim >= 5), moving / fixed = %.1f (aim >= 30)\n",
                dAutomatic / dFixed, dMoving / dFixed);
    NKDestroyLodManager();
    NKBenchEndOffscreenScene(pContext);
    return 0;
}
