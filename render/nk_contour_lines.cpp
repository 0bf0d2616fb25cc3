// render/nk_contour_lines.cpp -- levels, segment extraction and the update
// operations of the contour lines (see nk_contour_lines.h).
//
// Each polygon is split into a fan of triangles (node 0, node k-1, node k);
// a level crosses an edge when lo <= value < hi, so every level between a
// triangle's smallest value (included) and its largest (excluded) crosses
// exactly two edges, and the segment joins the two crossing points.
#include "render/nk_contour_lines.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "commands/nk_command.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_load_hooks.h"
#include "core/nk_math.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_numeric.h"
#include "core/nk_render_state.h"
#include "core/nk_view_state.h"
#include "render/nk_fringe_commands.h"

namespace {

// The first growth step of a part's record array; later steps grow it by
// half, so that the copies stay linear in the number of records.
constexpr int kGrowStep = 5000;

// A part's record array while it is filled.
struct LineBuffer {
    NKContourLine *pLines = nullptr;
    int iCount = 0;
    int iCapacity = 0;
    bool bFailed = false;
};

// Room for one more record, keeping one spare; false (records kept) when
// the array cannot grow.
bool MakeRoom(LineBuffer *b)
{
    if (b->iCount < b->iCapacity - 1) return true;
    const int iGrow = std::max(kGrowStep, b->iCapacity / 2);
    const size_t iBytes = static_cast<size_t>(b->iCapacity + iGrow) * sizeof(NKContourLine);
    auto *pNew = static_cast<NKContourLine *>(NKRealloc(b->pLines, iBytes));
    if (pNew == nullptr) return false;
    b->pLines = pNew;
    b->iCapacity += iGrow;
    return true;
}

// What each segment of one level carries.
struct LevelStyle {
    float fValue;
    const uint8_t *pColor;
    float fWidth;
    int iLevel;
};

void StoreSegment(LineBuffer *b, const float *pStart, const float *pEnd, const LevelStyle &level)
{
    if (!MakeRoom(b)) {
        b->bFailed = true;
        return;
    }
    NKContourLine &line = b->pLines[b->iCount++];
    for (int k = 0; k < 3; k++) {
        line.fStart[k] = pStart[k];
        line.fEnd[k] = pEnd[k];
        line.uColor[k] = level.pColor[k];
    }
    line.uColor[3] = 0;
    line.iLevel = level.iLevel;
    line.fLineWidth = level.fWidth;
}

// One triangle's segment of one level: the edges (0, 1), (1, 2), (0, 2) in
// this order; a crossed edge whose values are equal within 1e-5 is the
// whole segment.
void CutTriangle(LineBuffer *b, const float *const apPoint[3], const float afValue[3],
                 const LevelStyle &level)
{
    static const int kEdges[3][2] = {{0, 1}, {1, 2}, {0, 2}};
    const float v = level.fValue;
    float afStart[3];
    bool bHaveStart = false;
    for (const auto &edge : kEdges) {
        const float v0 = afValue[edge[0]], v1 = afValue[edge[1]];
        const float lo = std::min(v0, v1), hi = std::max(v0, v1);
        if (!(lo <= v && v < hi)) continue;
        const float *p0 = apPoint[edge[0]], *p1 = apPoint[edge[1]];
        if (NKFloatsEqual(v0, v1)) {
            StoreSegment(b, p0, p1, level);
            return;
        }
        const float t = (v - v0) / (v1 - v0);
        float afPoint[3];
        for (int k = 0; k < 3; k++) afPoint[k] = p0[k] + (p1[k] - p0[k]) * t;
        if (!bHaveStart) {
            for (int k = 0; k < 3; k++) afStart[k] = afPoint[k];
            bHaveStart = true;
        } else {
            StoreSegment(b, afStart, afPoint, level);
            return;
        }
    }
}

// The levels and their styles for one part's extraction.
struct LevelSet {
    const float *pfLevels;
    const uint8_t *pColors;
    const float *pfWidths;
    int iNumLevels;
    bool bAscending;  // non-decreasing: the first level is found by binary search
};

LevelStyle StyleOf(const LevelSet &s, int i)
{
    return {s.pfLevels[i], s.pColors + 3 * i, s.pfWidths[i], i};
}

// Every level of the triangle in order. The loop stops at the first level at
// or above the largest value and skips those below the smallest; for
// ascending levels the skipped ones are passed over by binary search, which
// leaves the same segments in the same order.
void ContourTriangle(LineBuffer *b, const LevelSet &s, const float *const apPoint[3],
                     const float afValue[3])
{
    const float fLo = std::min({afValue[0], afValue[1], afValue[2]});
    const float fHi = std::max({afValue[0], afValue[1], afValue[2]});
    int i = 0;
    if (s.bAscending)
        i = static_cast<int>(std::lower_bound(s.pfLevels, s.pfLevels + s.iNumLevels, fLo) -
                             s.pfLevels);
    for (; i < s.iNumLevels; i++) {
        const float v = s.pfLevels[i];
        if (v >= fHi) break;
        if (v < fLo) continue;
        CutTriangle(b, apPoint, afValue, StyleOf(s, i));
    }
}

// Whether the levels never fall.
bool LevelsAscend(const float *pfLevels, int n)
{
    for (int i = 1; i < n; i++)
        if (!(pfLevels[i - 1] <= pfLevels[i])) return false;
    return true;
}

// The fan triangles of every polygon whose visibility byte is the part's
// level-of-detail code (every polygon without visibility bytes).
void ContourPolygons(LineBuffer *b, const LevelSet &s, const NKPart *p, const float *pfCoords,
                     const float *pfValues, const uint8_t *pVisibility, uint8_t uLevel)
{
    for (int iPoly = 0; iPoly < p->iNumPolygons && !b->bFailed; iPoly++) {
        const int n = p->pPolygonNumNodes[iPoly];
        if (n < 3) continue;
        if (pVisibility != nullptr && pVisibility[iPoly] != uLevel) continue;
        const int *pNodes = p->pConnects + p->pPolygonStart[iPoly];
        for (int k = 2; k < n && !b->bFailed; k++) {
            const int aiNode[3] = {pNodes[0], pNodes[k - 1], pNodes[k]};
            const float afValue[3] = {pfValues[aiNode[0]], pfValues[aiNode[1]],
                                      pfValues[aiNode[2]]};
            // An undefined value would draw the segments towards 3.4e38,
            // that is onto the defined nodes: such a triangle has none.
            if (NKIsUndefined(afValue[0]) || NKIsUndefined(afValue[1]) || NKIsUndefined(afValue[2]))
                continue;
            const float *const apPoint[3] = {pfCoords + 3 * aiNode[0], pfCoords + 3 * aiNode[1],
                                             pfCoords + 3 * aiNode[2]};
            ContourTriangle(b, s, apPoint, afValue);
        }
    }
}

// The frame's list array, made (one empty list per part) when missing.
NKContourList *FrameLists(NKFrame *pFrame, int iNumParts)
{
    if (pFrame->pContours == nullptr)
        pFrame->pContours = static_cast<NKContourList *>(
            NKCalloc(static_cast<size_t>(iNumParts), sizeof(NKContourList)));
    return pFrame->pContours;
}

bool HasNodeValues(const NKScalarPartEntry *pEntry)
{
    return pEntry != nullptr && pEntry->pNodeValues != nullptr && pEntry->iCount > 0;
}

}  // namespace

void NKComputeContourLevels(NKContourSettings *s)
{
    if (s == nullptr) return;
    if (s->bAutoRange && g_pModel != nullptr) {
        s->fMin = g_pModel->fFringeRangeFrom;
        s->fMax = g_pModel->fFringeRangeTo;
    }
    const int n = s->iNumLevels;
    if (n < 1 || s->pLevels == nullptr || s->pLineWidths == nullptr || s->pColors == nullptr)
        return;
    // One level lies on fMin rather than dividing by zero.
    const float fSteps = n > 1 ? static_cast<float>(n - 1) : 1.0f;
    for (int i = 0; i < n; i++) {
        s->pLevels[i] = (s->fMax - s->fMin) * static_cast<float>(i) / fSteps + s->fMin;
        s->pLineWidths[i] = static_cast<float>(g_iContourLineWidth);
    }
    std::vector<float> texCoords(static_cast<size_t>(n));
    NKMapScalarsToColors(s->fMin, s->fMax, n, s->pLevels, s->pColors, texCoords.data());
}

bool NKUpdateContourLines(void)
{
    NKContourSettings *s = &g_ContourSettings;
    if (s->bAutoRange && g_pModel != nullptr) {
        s->fMin = g_pModel->fFringeRangeFrom;
        s->fMax = g_pModel->fFringeRangeTo;
    }
    if (!g_bContoursShown || g_pModel == nullptr) return true;
    const int iNumFrames = g_pModel->iNumFrames;
    if (iNumFrames < 2) {
        NKComputeFrameContours(0);
    } else {
        for (int i = 0; i < iNumFrames; i++) NKComputeFrameContours(i);
    }
    return true;
}

bool NKUpdateContourLevelsAndLines(void)
{
    NKComputeContourLevels(&g_ContourSettings);
    NKUpdateContourLines();
    if (NKPlotExists()) ExecuteCommand("np update");
    return true;
}

bool NKRefreshContourLines(void) { return NKUpdateContourLines(); }

bool NKComputeFrameContours(int iFrame)
{
    NKFrame *pFrame = NKGetFrame(iFrame);
    if (pFrame == nullptr) return false;
    const NKGeometry *pGeo = pFrame->pGeometry;
    const int iNumParts = pGeo != nullptr && pGeo->pParts != nullptr ? pGeo->iNumParts : 0;
    if (pFrame->pContours != nullptr)
        for (int i = 0; i < iNumParts; i++) NKFreeContourList(&pFrame->pContours[i]);
    NKFree(pFrame->pContours);
    pFrame->pContours = nullptr;
    if (iNumParts < 1) return true;
    if (FrameLists(pFrame, iNumParts) == nullptr) return false;
    bool bOk = true;
    for (int i = 0; i < iNumParts; i++)
        if (HasNodeValues(NKGetPartScalarEntry(i, pFrame)) && !NKComputePartContours(i, pFrame))
            bOk = false;
    return bOk;
}

bool NKComputePartContours(int iPart, NKFrame *pFrame)
{
    NKGeometry *pGeo = pFrame != nullptr ? pFrame->pGeometry : nullptr;
    if (pGeo == nullptr) return false;
    if (pGeo->iNumParts < 1 || pGeo->pParts == nullptr) return true;
    iPart = std::min(std::max(iPart, 0), pGeo->iNumParts - 1);
    NKContourList *pLists = FrameLists(pFrame, pGeo->iNumParts);
    if (pLists == nullptr) return false;
    NKContourList *pList = &pLists[iPart];
    NKFreeContourList(pList);
    NKPart *p = &pGeo->pParts[iPart];
    const NKScalarPartEntry *pEntry = NKGetPartScalarEntry(iPart, pFrame);
    const float *pfCoords = GetPartNodeCoords(iPart, p, pFrame);
    const NKContourSettings *s = &g_ContourSettings;
    // Fewer values than nodes would be read past their end.
    if (!HasNodeValues(pEntry) || pEntry->iCount < p->iNumNodes || pfCoords == nullptr ||
        p->pConnects == nullptr || p->pPolygonStart == nullptr || p->pPolygonNumNodes == nullptr ||
        s->iNumLevels < 1 || s->pLevels == nullptr || s->pColors == nullptr ||
        s->pLineWidths == nullptr)
        return true;
    const LevelSet levels = {s->pLevels, s->pColors, s->pLineWidths, s->iNumLevels,
                             LevelsAscend(s->pLevels, s->iNumLevels)};
    LineBuffer b;
    ContourPolygons(&b, levels, p, pfCoords, pEntry->pNodeValues,
                    NKGetPartVisibility(pFrame, iPart), NKGetPartLevel(pGeo, iPart));
    if (b.iCount > 0 && b.iCount < b.iCapacity) {
        // Trimmed to the count; a failed trim keeps the larger block.
        void *pTrimmed = NKRealloc(b.pLines, static_cast<size_t>(b.iCount) * sizeof(NKContourLine));
        if (pTrimmed != nullptr) b.pLines = static_cast<NKContourLine *>(pTrimmed);
    }
    if (b.iCount == 0) {
        NKFree(b.pLines);
        b.pLines = nullptr;
    }
    pList->iNumLines = b.iCount;
    pList->pLines = b.pLines;
    return !b.bFailed;
}

void NKInstallContourHooks(bool bInstall)
{
    NKLoadHooks hooks = NKGetLoadHooks();
    hooks.pfnUpdateContours = bInstall ? NKUpdateContourLevelsAndLines : nullptr;
    NKSetLoadHooks(hooks);
}
