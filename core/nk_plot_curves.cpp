// core/nk_plot_curves.cpp -- the curve list of a plot: keys, append,
// remove, find, iteration, the data range, the least-used style choice, the
// axis flags and the plot skip (see nk_plot_records.h). No GL.
#include <cstdlib>
#include <cstring>

#include "core/nk_plot_records.h"

static bool KeyUsed(const PlotRecord *pPlot, int iId, int iSubId)
{
    return NKPlotFindCurveIndex(pPlot, iId, iSubId) >= 0;
}

// The key for a new curve: -1 halves advance their running counters until
// the pair is free in the plot.
static void ChooseKey(const PlotRecord *pPlot, int *piId, int *piSubId)
{
    if (*piId == -1 && *piSubId == -1) {
        do {
            g_iPlotLastId++;
            g_iPlotLastSubId++;
        } while (KeyUsed(pPlot, g_iPlotLastId, g_iPlotLastSubId));
        *piId = g_iPlotLastId;
        *piSubId = g_iPlotLastSubId;
    } else if (*piId == -1) {
        do g_iPlotLastId++;
        while (KeyUsed(pPlot, g_iPlotLastId, *piSubId));
        *piId = g_iPlotLastId;
    } else if (*piSubId == -1) {
        do g_iPlotLastSubId++;
        while (KeyUsed(pPlot, *piId, g_iPlotLastSubId));
        *piSubId = g_iPlotLastSubId;
    }
}

PlotCurve *NKPlotCreateCurve(PlotRecord *pPlot, int iId, int iSubId, const char *pszName,
                             int iNumPoints)
{
    if (pPlot == nullptr) return nullptr;
    ChooseKey(pPlot, &iId, &iSubId);
    PlotCurve *pCurve = NKCreatePlotCurve(iId, iSubId, pszName, iNumPoints);
    if (pCurve == nullptr) return nullptr;
    if (!NKPlotAppendCurve(pPlot, pCurve)) {
        NKFreePlotCurve(pCurve);
        return nullptr;
    }
    return pCurve;
}

PlotCurve *NKPlotAddCurve(PlotRecord *pPlot, int iId, int iSubId, const char *pszName,
                          int iNumPoints)
{
    if (pPlot == nullptr || NKPlotFindCurve(pPlot, iId, iSubId) != nullptr) return nullptr;
    return NKPlotCreateCurve(pPlot, iId, iSubId, pszName, iNumPoints);
}

bool NKPlotAppendCurve(PlotRecord *pPlot, PlotCurve *pCurve)
{
    if (pPlot == nullptr || pCurve == nullptr || pPlot->iNumCurves >= NK_PLOT_MAX_CURVES)
        return false;
    void *pGrown =
        std::realloc(pPlot->ppCurves, (size_t)(pPlot->iNumCurves + 1) * sizeof(PlotCurve *));
    if (pGrown == nullptr) return false;
    pPlot->ppCurves = static_cast<PlotCurve **>(pGrown);
    pPlot->ppCurves[pPlot->iNumCurves++] = pCurve;
    return true;
}

PlotCurve *NKPlotRemoveCurve(PlotRecord *pPlot, int iId, int iSubId)
{
    int i = NKPlotFindCurveIndex(pPlot, iId, iSubId);
    if (i < 0) return nullptr;
    PlotCurve *pCurve = pPlot->ppCurves[i];
    std::memmove(pPlot->ppCurves + i, pPlot->ppCurves + i + 1,
                 (size_t)(pPlot->iNumCurves - i - 1) * sizeof(PlotCurve *));
    pPlot->iNumCurves--;
    return pCurve;
}

bool NKPlotDeleteCurve(PlotRecord *pPlot, int iId, int iSubId)
{
    PlotCurve *pCurve = NKPlotRemoveCurve(pPlot, iId, iSubId);
    NKFreePlotCurve(pCurve);
    return pCurve != nullptr;
}

void NKPlotDeleteAllCurves(PlotRecord *pPlot)
{
    if (pPlot == nullptr) return;
    NKFreePlotCurves(pPlot->ppCurves, pPlot->iNumCurves);
    std::free(pPlot->ppCurves);
    pPlot->ppCurves = nullptr;
    pPlot->iNumCurves = 0;
}

PlotCurve *NKPlotFindCurve(const PlotRecord *pPlot, int iId, int iSubId)
{
    int i = NKPlotFindCurveIndex(pPlot, iId, iSubId);
    return i < 0 ? nullptr : pPlot->ppCurves[i];
}

int NKPlotFindCurveIndex(const PlotRecord *pPlot, int iId, int iSubId)
{
    if (pPlot == nullptr) return -1;
    for (int i = 0; i < pPlot->iNumCurves; i++)
        if (pPlot->ppCurves[i]->iId == iId && pPlot->ppCurves[i]->iSubId == iSubId) return i;
    return -1;
}

PlotCurve *NKPlotGetFirstCurve(const PlotRecord *pPlot)
{
    g_iPlotIterator = 0;
    return NKPlotGetNextCurve(pPlot);
}

PlotCurve *NKPlotGetNextCurve(const PlotRecord *pPlot)
{
    if (pPlot == nullptr || g_iPlotIterator < 0 || g_iPlotIterator >= pPlot->iNumCurves)
        return nullptr;
    return pPlot->ppCurves[g_iPlotIterator++];
}

int NKPlotGetCurveCount(const PlotRecord *pPlot)
{
    return pPlot == nullptr ? 0 : pPlot->iNumCurves;
}

int NKPlotCountVisibleCurves(const PlotRecord *pPlot, bool bCountAll)
{
    int n = 0;
    for (int i = 0; i < NKPlotGetCurveCount(pPlot); i++) {
        if (!pPlot->ppCurves[i]->bVisible) continue;
        if (!bCountAll) return 1;
        n++;
    }
    return n;
}

bool NKPlotComputeDataRange(PlotRecord *pPlot)
{
    bool bAny = false;
    float r[4] = {0, 0, 0, 0};
    for (int i = 0; i < NKPlotGetCurveCount(pPlot); i++) {
        PlotCurve *c = pPlot->ppCurves[i];
        if (!c->bVisible || !NKPlotCurveComputeRange(c)) continue;
        if (!bAny || c->fXMin < r[0]) r[0] = c->fXMin;
        if (!bAny || c->fXMax > r[1]) r[1] = c->fXMax;
        if (!bAny || c->fYMin < r[2]) r[2] = c->fYMin;
        if (!bAny || c->fYMax > r[3]) r[3] = c->fYMax;
        bAny = true;
    }
    if (!bAny) return false;
    pPlot->fDataXMin = r[0];
    pPlot->fDataXMax = r[1];
    pPlot->fDataYMin = r[2];
    pPlot->fDataYMax = r[3];
    return true;
}

static bool SameRGB(const uint8_t *a, const uint8_t *b)
{
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

// The first of the least-counted candidates.
static int LeastUsed(const int *piCounts, int n)
{
    int iBest = 0;
    for (int i = 1; i < n; i++)
        if (piCounts[i] < piCounts[iBest]) iBest = i;
    return iBest;
}

void NKPlotPickCurveColor(uint8_t ucRGB[3], const PlotRecord *pPlot)
{
    int counts[NK_PLOT_NUM_COLORS] = {0};
    for (int i = 0; i < NKPlotGetCurveCount(pPlot); i++)
        for (int k = 0; k < NK_PLOT_NUM_COLORS; k++)
            counts[k] += SameRGB(pPlot->ppCurves[i]->ucLineColor, g_ucPlotPalette[k]);
    std::memcpy(ucRGB, g_ucPlotPalette[LeastUsed(counts, NK_PLOT_NUM_COLORS)], 3);
}

int NKPlotPickLineStyle(const PlotRecord *pPlot)
{
    int counts[7] = {0};
    for (int i = 0; i < NKPlotGetCurveCount(pPlot); i++) {
        int s = pPlot->ppCurves[i]->iLineStyle;
        if (s >= 0 && s <= 6) counts[s]++;
    }
    return LeastUsed(counts, 7);
}

// Least-used marker among iFirst..iLast; a curve counts once more when its
// line colour is pucRGB.
static int PickMarker(const PlotRecord *pPlot, const uint8_t *pucRGB, int iFirst, int iLast)
{
    int n = iLast - iFirst + 1;
    int *piCounts = static_cast<int *>(std::calloc((size_t)n, sizeof(int)));
    if (piCounts == nullptr) return iFirst;
    for (int i = 0; i < NKPlotGetCurveCount(pPlot); i++) {
        const PlotCurve *c = pPlot->ppCurves[i];
        if (c->iMarkerType < iFirst || c->iMarkerType > iLast) continue;
        piCounts[c->iMarkerType - iFirst] +=
            1 + (pucRGB != nullptr && SameRGB(c->ucLineColor, pucRGB));
    }
    int iBest = iFirst + LeastUsed(piCounts, n);
    std::free(piCounts);
    return iBest;
}

int NKPlotPickMarkerType(const PlotRecord *pPlot, const uint8_t *pucRGB)
{
    return PickMarker(pPlot, pucRGB, 1, 10);
}

int NKPlotPickLetterMarker(const PlotRecord *pPlot, const uint8_t *pucRGB)
{
    return PickMarker(pPlot, pucRGB, 100, 801);
}

void NKPlotLetterMarkerText(int iMarkerType, char szText[3])
{
    int n = iMarkerType - 100;
    szText[0] = szText[1] = szText[2] = 0;
    if (n < 0 || n > 701) return;
    if (n < 26) {
        szText[0] = (char)('A' + n);
    } else {
        szText[0] = (char)('A' + n / 26 - 1);
        szText[1] = (char)('A' + n % 26);
    }
}

void NKSetPlotAxisFlags(PlotRecord *pPlot, const uint8_t *pucSource, uint32_t uMask, uint8_t bValue)
{
    if (pPlot == nullptr) return;
    if (pucSource != nullptr) {
        std::memcpy(pPlot->ucAxisFlags, pucSource, NK_AXIS_NUM_FLAGS);
        return;
    }
    if (uMask & NK_AXIS_FLAGS_RESET) {
        std::memset(pPlot->ucAxisFlags, 0, NK_AXIS_NUM_FLAGS);
        const int aAuto[] = {NK_AXIS_X_MIN_AUTO,   NK_AXIS_X_MAX_AUTO,  NK_AXIS_X_UNIT_AUTO,
                             NK_AXIS_Y_CROSS_AUTO, NK_AXIS_Y_MIN_AUTO,  NK_AXIS_Y_MAX_AUTO,
                             NK_AXIS_Y_UNIT_AUTO,  NK_AXIS_X_CROSS_AUTO};
        for (int f : aAuto) pPlot->ucAxisFlags[f] = 1;
    }
    for (int f = 0; f < NK_AXIS_NUM_FLAGS; f++)
        if (uMask & NK_AXIS_FLAG_BIT(f)) pPlot->ucAxisFlags[f] = bValue;
}

void NKGetPlotAxisFlags(const PlotRecord *pPlot, uint8_t pucOut[NK_AXIS_NUM_FLAGS])
{
    if (pPlot != nullptr && pucOut != nullptr)
        std::memcpy(pucOut, pPlot->ucAxisFlags, NK_AXIS_NUM_FLAGS);
}

void NKPlotStyleNewCurve(const PlotRecord *pPlot, PlotCurve *pCurve)
{
    uint8_t ucColor[3];
    NKPlotPickCurveColor(ucColor, pPlot);
    pCurve->iLineStyle = NKPlotPickLineStyle(pPlot);
    pCurve->iMarkerType = NKPlotPickMarkerType(pPlot, ucColor);
    for (int k = 0; k < 3; k++) pCurve->ucLineColor[k] = pCurve->ucMarkerColor[k] = ucColor[k];
}
