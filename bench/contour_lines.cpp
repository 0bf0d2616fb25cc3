// bench/contour_lines.cpp -- times the contour-line extraction
// (NKComputePartContours) on a plate of 1000 x 1000 quads over [-1, 1]^2
// with the node value sin 6x cos 5y, with 17 and with 200 levels over the
// value range (200 levels: about 1.57 million segments). Beside it runs the
// same extraction written as a plain scan of each triangle's levels from
// level 0, which the shipped code replaces by a binary search for the first
// level. Best of the runs, in million quads per second, and the ratio of
// the two. Aims: at 200 levels the shipped extraction at least 1.6 times
// the scan; at 17 levels no slower than it.
// A plain timed main, one thread. Usage: bench_contour_lines [RUNS]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/nk_math.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_numeric.h"
#include "core/nk_render_state.h"
#include "core/nk_view_state.h"
#include "render/nk_contour_lines.h"
#include "render/nk_node_colors.h"
#include "tests/test_support/quad_plate.h"

namespace {

constexpr int kSide = 1000;

double Seconds(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

float Wave(float x, float y) { return static_cast<float>(std::sin(6.0 * x) * std::cos(5.0 * y)); }

// One triangle's segment of level L, as the shipped code makes it.
void CutTriangle(std::vector<NKContourLine> *pOut, const NKContourSettings *s, int L,
                 const float *const apPoint[3], const float afValue[3])
{
    static const int kEdges[3][2] = {{0, 1}, {1, 2}, {0, 2}};
    const float v = s->pLevels[L];
    NKContourLine line;
    line.iLevel = L;
    line.fLineWidth = s->pLineWidths[L];
    for (int c = 0; c < 3; c++) line.uColor[c] = s->pColors[3 * L + c];
    line.uColor[3] = 0;
    int iFound = 0;
    for (const auto &e : kEdges) {
        const float v0 = afValue[e[0]], v1 = afValue[e[1]];
        if (!(std::min(v0, v1) <= v && v < std::max(v0, v1))) continue;
        const float *p0 = apPoint[e[0]], *p1 = apPoint[e[1]];
        if (NKFloatsEqual(v0, v1)) {
            for (int c = 0; c < 3; c++) line.fStart[c] = p0[c], line.fEnd[c] = p1[c];
            iFound = 2;
            break;
        }
        const float t = (v - v0) / (v1 - v0);
        float *pPoint = iFound == 0 ? line.fStart : line.fEnd;
        for (int c = 0; c < 3; c++) pPoint[c] = p0[c] + (p1[c] - p0[c]) * t;
        if (++iFound == 2) break;
    }
    if (iFound == 2) pOut->push_back(line);
}

// The extraction with a plain scan of every level from level 0.
size_t ScanPart(const NKPart *p, const float *pfValues)
{
    const NKContourSettings *s = &g_ContourSettings;
    std::vector<NKContourLine> lines;
    for (int q = 0; q < p->iNumPolygons; q++) {
        const int *pNodes = p->pConnects + p->pPolygonStart[q];
        for (int k = 2; k < p->pPolygonNumNodes[q]; k++) {
            const int aiNode[3] = {pNodes[0], pNodes[k - 1], pNodes[k]};
            const float afValue[3] = {pfValues[aiNode[0]], pfValues[aiNode[1]],
                                      pfValues[aiNode[2]]};
            if (NKIsUndefined(afValue[0]) || NKIsUndefined(afValue[1]) || NKIsUndefined(afValue[2]))
                continue;
            const float *const apPoint[3] = {p->pNodeCoords + 3 * aiNode[0],
                                             p->pNodeCoords + 3 * aiNode[1],
                                             p->pNodeCoords + 3 * aiNode[2]};
            const float fLo = std::min({afValue[0], afValue[1], afValue[2]});
            const float fHi = std::max({afValue[0], afValue[1], afValue[2]});
            for (int L = 0; L < s->iNumLevels; L++) {
                const float v = s->pLevels[L];
                if (v >= fHi) break;
                if (v < fLo) continue;
                CutTriangle(&lines, s, L, apPoint, afValue);
            }
        }
    }
    return lines.size();
}

void SetLevels(int n)
{
    NKContourSettings *s = &g_ContourSettings;
    NKResetContourSettings(s);
    s->iNumLevels = n;
    s->pLevels = static_cast<float *>(NKAlloc(n * sizeof(float)));
    s->pLineWidths = static_cast<float *>(NKAlloc(n * sizeof(float)));
    s->pColors = static_cast<uint8_t *>(NKAlloc(3 * n));
    NKComputeContourLevels(s);
}

// Best seconds of the shipped extraction and of the scan, with their counts.
bool TimeLevels(int n, int iRuns, NKFrame *pFrame)
{
    SetLevels(n);
    const NKPart *p = &pFrame->pGeometry->pParts[0];
    const float *pfValues = pFrame->pScalar->pNodeResults[0].pNodeValues;
    double dShipped = 1e30, dScan = 1e30;
    int iShipped = 0;
    size_t iScan = 0;
    for (int r = 0; r < iRuns; r++) {
        auto t0 = std::chrono::steady_clock::now();
        if (!NKComputePartContours(0, pFrame)) return false;
        dShipped = std::min(dShipped, Seconds(t0));
        iShipped = pFrame->pContours[0].iNumLines;
        t0 = std::chrono::steady_clock::now();
        iScan = ScanPart(p, pfValues);
        dScan = std::min(dScan, Seconds(t0));
    }
    const double dQuads = static_cast<double>(kSide) * kSide / 1e6;
    std::printf("%3d levels: shipped %7.3f s (%6.2f M quads/s), scan %7.3f s (%6.2f M quads/s), "
                "ratio %5.2f  (%d segments)\n",
                n, dShipped, dQuads / dShipped, dScan, dQuads / dScan, dScan / dShipped, iShipped);
    return static_cast<size_t>(iShipped) == iScan;
}

}  // namespace

int main(int argc, char **argv)
{
    const int iRuns = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    g_pModel = NKCreateModel();
    NKInstallNodeColorHooks(true);
    NKGeometry *pGeo = NKCreateGeometry(1);
    if (g_pModel == nullptr || pGeo == nullptr ||
        !NKTestBuildQuadPlate(&pGeo->pParts[0], kSide, kSide, -1, -1, 1, 1)) {
        std::printf("FAILED\n");
        return 1;
    }
    NKScalarResult *pResult = NKTestPlateScalar(&pGeo->pParts[0], 0, 1, Wave);
    g_pModel->pFrames = NKAllocFrameArray(1);
    g_pModel->iNumFrames = 1;
    NKFrame *pFrame = &g_pModel->pFrames[0];
    pFrame->pGeometry = pGeo;
    pGeo->iNumRef++;
    pFrame->pScalar = pResult;
    pResult->iNumRef++;
    g_pModel->fFringeRangeFrom = pResult->nodeMinMax.min;
    g_pModel->fFringeRangeTo = pResult->nodeMinMax.max;
    std::printf("plate of %d x %d quads, best of %d (aims: ratio >= 1.6 at 200 levels, "
                ">= 1.0 at 17)\n",
                kSide, kSide, iRuns);
    const bool bOk = TimeLevels(17, iRuns, pFrame) && TimeLevels(200, iRuns, pFrame);
    NKResetContourSettings(&g_ContourSettings);
    NKDestroyModel(g_pModel);
    g_pModel = nullptr;
    std::printf(bOk ? "OK\n" : "FAILED: the two extractions differ\n");
    return bOk ? 0 : 1;
}
