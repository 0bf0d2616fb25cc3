// bench/scene_draw.cpp -- frames per second of NKDrawScene over a plate of
// 1000 x 1000 smooth quadrilaterals (1,000,000 polygons, 1,002,001 nodes)
// carrying a node scalar with fringes on, drawn into an off-screen context
// of 810 x 600: with vertex arrays on, with them off (immediate drawing),
// and of a bare loop that clears and sends the same vertex, normal and
// colour arrays with one glDrawElements(GL_QUADS) call. Each figure is
// frames over the elapsed time of a run ending with glFinish, the best of
// three runs taken in turn with the other two ways. The aims: vertex arrays at least 1.4 x the
// immediate path and 0.85 x the bare loop. Needs an X display (run under xvfb-run). Usage:
// bench_scene_draw [FRAMES]
#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cmath>
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
#include "render/nk_node_colors.h"
#include "scene/nk_renderer.h"

namespace {

const int kSide = 1000;  // quads along each edge

template <typename T>
T *Alloc(size_t n)
{
    return static_cast<T *>(NKAlloc(n * sizeof(T)));
}

// The plate over [-0.9, 0.9]^2 with node normals facing +z.
void BuildPlate(NKPart *p)
{
    const int n = kSide + 1, iNodes = n * n, iQuads = kSide * kSide;
    p->iNumNodes = iNodes;
    p->iNumPolygons = iQuads;
    p->iNumConnects = 4 * iQuads;
    p->iUniformPolygonSize = 4;
    p->pNodeCoords = Alloc<float>(3 * static_cast<size_t>(iNodes));
    p->pNodeNormals = Alloc<int8_t>(3 * static_cast<size_t>(iNodes));
    p->pNodeType = Alloc<uint8_t>(iNodes);
    for (int j = 0, i = 0; j < n; j++)
        for (int k = 0; k < n; k++, i++) {
            float *c = p->pNodeCoords + 3 * static_cast<size_t>(i);
            c[0] = -0.9f + 1.8f * k / kSide;
            c[1] = -0.9f + 1.8f * j / kSide;
            c[2] = 0.0f;
            int8_t *m = p->pNodeNormals + 3 * static_cast<size_t>(i);
            m[0] = m[1] = 0;
            m[2] = 127;
            p->pNodeType[i] = 1;
        }
    p->pConnects = Alloc<int>(4 * static_cast<size_t>(iQuads));
    p->pPolygonStart = Alloc<int>(iQuads);
    p->pPolygonNumNodes = Alloc<int>(iQuads);
    p->pPolygonNormals = Alloc<int8_t>(3 * static_cast<size_t>(iQuads));
    for (int q = 0; q < iQuads; q++) {
        const int a = q / kSide * n + q % kSide;
        int *c = p->pConnects + 4 * static_cast<size_t>(q);
        c[0] = a, c[1] = a + 1, c[2] = a + n + 1, c[3] = a + n;
        p->pPolygonStart[q] = 4 * q;
        p->pPolygonNumNodes[q] = 4;
        int8_t *m = p->pPolygonNormals + 3 * static_cast<size_t>(q);
        m[0] = m[1] = 0;
        m[2] = 127;
    }
    p->bVisible = 1;
    p->bSmooth = 1;
    p->bFringes = 1;
    for (int k = 0; k < 3; k++) p->material.ambient[k] = p->material.diffuse[k] = 0.6f;
    p->material.alpha = 255;
    for (int k = 0; k < 3; k++) {
        p->fBoundingBox[k] = -0.9f;
        p->fBoundingBox[k + 3] = 0.9f;
    }
}

NKScalarResult *BuildScalar(const NKPart &part)
{
    NKScalarResult *pRes = NKCreateScalarResult();
    pRes->iNumParts = 1;
    pRes->pNodeResults = static_cast<NKScalarPartEntry *>(NKCalloc(1, sizeof(NKScalarPartEntry)));
    NKScalarPartEntry &e = pRes->pNodeResults[0];
    e.iCount = part.iNumNodes;
    e.pNodeValues = Alloc<float>(part.iNumNodes);
    for (int i = 0; i < part.iNumNodes; i++) {
        const float *c = part.pNodeCoords + 3 * static_cast<size_t>(i);
        e.pNodeValues[i] = std::sin(4.0f * c[0]) * std::cos(3.0f * c[1]);
    }
    g_bAutoFringeRange = 1;
    NKComputeScalarFieldColors(pRes, 0);
    return pRes;
}

double Seconds(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// Frames per second of one run of iFrames draws.
template <typename Draw>
double Fps(int iFrames, Draw draw)
{
    glFinish();
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < iFrames; i++) draw();
    glFinish();
    return iFrames / Seconds(t0);
}

void BareLoop(const NKPart &part, const NKScalarPartEntry &e)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, part.pNodeCoords);
    glNormalPointer(GL_BYTE, 0, part.pNodeNormals);
    glColorPointer(3, GL_UNSIGNED_BYTE, 0, e.pColors);
    glDrawElements(GL_QUADS, part.iNumConnects, GL_UNSIGNED_INT, part.pConnects);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
}

}  // namespace

int main(int argc, char **argv)
{
    const int iFrames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    NKGLContext *pContext = NKBenchStartOffscreenScene(810, 600);
    if (pContext == nullptr) return 1;
    NKGeometry *pGeo = NKCreateGeometry(1);
    BuildPlate(&pGeo->pParts[0]);
    g_pModel->pFrames = NKAllocFrameArray(1);
    g_pModel->iNumFrames = 1;
    g_pModel->pFrames[0].pGeometry = pGeo;
    pGeo->iNumRef++;
    NKScalarResult *pRes = BuildScalar(pGeo->pParts[0]);
    g_pModel->pFrames[0].pScalar = pRes;
    pRes->iNumRef++;

    // The three ways take turns run by run, so that a busy machine slows
    // each of them alike; the best run of each counts.
    auto scene = [] { NKDrawScene(0, 1, 1); };
    auto bare = [&] { BareLoop(pGeo->pParts[0], pRes->pNodeResults[0]); };
    NKVertexArraySwitch = 1;
    scene();  // warm-up: lists, the first upload
    unsigned char auCentre[4] = {0, 0, 0, 0};
    glReadPixels(405, 300, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, auCentre);
    double dArrays = 0.0, dImmediate = 0.0, dBare = 0.0;
    for (int run = 0; run < 3; run++) {
        NKVertexArraySwitch = 1;
        dArrays = std::max(dArrays, Fps(iFrames, scene));
        NKVertexArraySwitch = 0;
        dImmediate = std::max(dImmediate, Fps(iFrames, scene));
        dBare = std::max(dBare, Fps(iFrames, bare));
    }
    std::printf("plate %d x %d quads, %d polygons, 810 x 600, %d frames a run\n", kSide, kSide,
                pGeo->pParts[0].iNumPolygons, iFrames);
    std::printf("centre pixel with vertex arrays: %d %d %d\n", auCentre[0], auCentre[1],
                auCentre[2]);
    std::printf("vertex arrays   %7.2f fps\n", dArrays);
    std::printf("immediate       %7.2f fps\n", dImmediate);
    std::printf("bare glDrawElements loop %7.2f fps\n", dBare);
    std::printf("arrays / immediate = %.2f (aim >= 1.4), arrays / bare = %.2f (aim >= 0.85)\n",
                dArrays / dImmediate, dArrays / dBare);
    NKBenchEndOffscreenScene(pContext);
    return 0;
}
