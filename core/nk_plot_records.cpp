// core/nk_plot_records.cpp -- the plot data model (see nk_plot_records.h):
// curves, the curve list of a plot, automatic styles, ranges, the value at
// x, axis flags and the plot globals. The column export is in
// nk_plot_export.cpp. No GL, no drawing.
#include "core/nk_plot_records.h"

#include <cstring>
#include <new>

#include "core/nk_memory.h"

PlotRecord *g_pCurrentPlot = nullptr;
uint8_t g_bPlotShown = 0;
uint8_t g_bPlotInOwnWindow = 0;
int32_t g_iPlotLastId = 0;
int32_t g_iPlotLastSubId = 0;
int32_t g_iPlotIterator = 0;
static uint8_t sg_bShowMinMax = 1;
static int32_t sg_iPlotSkip = 1;

const uint8_t g_ucPlotPalette[NK_PLOT_NUM_COLORS][3] = {
    {255, 0, 0},     {0, 255, 0},     {255, 255, 0},   {255, 0, 255},  {0, 255, 255},
    {255, 255, 255}, {198, 113, 113}, {113, 198, 113}, {142, 142, 56}, {113, 113, 198},
    {142, 56, 142},  {56, 142, 142},  {170, 170, 170}, {200, 200, 200}};

static bool Defined(const NKPlotPoint &p)
{
    return p.x < NK_PLOT_UNDEFINED && p.y < NK_PLOT_UNDEFINED;
}

PlotCurve *NKCreatePlotCurve(int iId, int iSubId, const char *pszName, int iNumPoints)
{
    if (iNumPoints < 0) return nullptr;
    PlotCurve *pCurve = new (std::nothrow) PlotCurve();
    if (pCurve == nullptr) return nullptr;
    pCurve->iId = iId;
    pCurve->iSubId = iSubId;
    pCurve->szName = pszName != nullptr ? pszName : "";
    if (iNumPoints > 0) {
        pCurve->pPoints = new (std::nothrow) NKPlotPoint[(size_t)iNumPoints]();
        if (pCurve->pPoints == nullptr) {
            delete pCurve;
            return nullptr;
        }
        pCurve->iNumPoints = iNumPoints;
    }
    return pCurve;
}

bool NKCreatePlotCurves(int iNumPoints, PlotCurve **ppCurves, int n)
{
    for (int i = 0; i < n; i++) {
        ppCurves[i] = NKCreatePlotCurve(0, 0, nullptr, iNumPoints);
        if (ppCurves[i] == nullptr) {
            NKFreePlotCurves(ppCurves, i);
            for (int k = i; k < n; k++) ppCurves[k] = nullptr;
            return false;
        }
    }
    return true;
}

void NKFreePlotCurve(PlotCurve *pCurve)
{
    if (pCurve == nullptr) return;
    delete[] pCurve->pPoints;
    delete pCurve;
}

void NKFreePlotCurves(PlotCurve **ppCurves, int n)
{
    if (ppCurves == nullptr) return;
    for (int i = 0; i < n; i++) {
        NKFreePlotCurve(ppCurves[i]);
        ppCurves[i] = nullptr;
    }
}

void NKSetPlotText(char *pszField, int iRoom, const char *pszText)
{
    if (iRoom < 1) return;
    size_t n = pszText == nullptr ? 0 : strnlen(pszText, (size_t)iRoom - 1);
    if (n > 0) std::memcpy(pszField, pszText, n);
    pszField[n] = '\0';
}

bool NKSetPlotCurvePointCount(PlotCurve *pCurve, int n)
{
    if (pCurve == nullptr || n < 0) return false;
    if (n == pCurve->iNumPoints) return true;
    NKPlotPoint *pNew = nullptr;
    if (n > 0) {
        pNew = new (std::nothrow) NKPlotPoint[(size_t)n]();
        if (pNew == nullptr) return false;
        int iKeep = n < pCurve->iNumPoints ? n : pCurve->iNumPoints;
        if (iKeep > 0) std::memcpy(pNew, pCurve->pPoints, (size_t)iKeep * sizeof(NKPlotPoint));
    }
    delete[] pCurve->pPoints;
    pCurve->pPoints = pNew;
    pCurve->iNumPoints = n;
    return true;
}

// Widens a range [*pfMin, *pfMax] to the value v of point i, keeping the
// index of each extreme.
static void Extend(float v, int i, float *pfMin, int *piMin, float *pfMax, int *piMax)
{
    if (v < *pfMin) {
        *pfMin = v;
        *piMin = i;
    } else if (v > *pfMax) {
        *pfMax = v;
        *piMax = i;
    }
}

// The extremes start at the first defined point, so that an undefined first
// point can never stretch a range to 3.4e38.
bool NKPlotCurveComputeRange(PlotCurve *pCurve)
{
    if (pCurve == nullptr) return false;
    int iFirst = 0;
    while (iFirst < pCurve->iNumPoints && !Defined(pCurve->pPoints[iFirst])) iFirst++;
    if (iFirst >= pCurve->iNumPoints) {
        pCurve->fXMin = pCurve->fXMax = pCurve->fYMin = pCurve->fYMax = 0.0f;
        pCurve->iXMinIndex = pCurve->iXMaxIndex = pCurve->iYMinIndex = pCurve->iYMaxIndex = -1;
        return false;
    }
    const NKPlotPoint *p = pCurve->pPoints;
    pCurve->fXMin = pCurve->fXMax = p[iFirst].x;
    pCurve->fYMin = pCurve->fYMax = p[iFirst].y;
    pCurve->iXMinIndex = pCurve->iXMaxIndex = pCurve->iYMinIndex = pCurve->iYMaxIndex = iFirst;
    for (int i = iFirst + 1; i < pCurve->iNumPoints; i++) {
        if (!Defined(p[i])) continue;
        Extend(p[i].x, i, &pCurve->fXMin, &pCurve->iXMinIndex, &pCurve->fXMax, &pCurve->iXMaxIndex);
        Extend(p[i].y, i, &pCurve->fYMin, &pCurve->iYMinIndex, &pCurve->fYMax, &pCurve->iYMaxIndex);
    }
    return true;
}

float NKPlotCurveValueAt(const PlotCurve *pCurve, float x)
{
    if (pCurve == nullptr || pCurve->iNumPoints < 1) return 3.4028235e38f;
    NKPlotPoint lower = pCurve->pPoints[0];
    NKPlotPoint upper = pCurve->pPoints[pCurve->iNumPoints - 1];
    for (int i = 0; i < pCurve->iNumPoints; i++) {
        const NKPlotPoint &p = pCurve->pPoints[i];
        if (!Defined(p)) continue;
        if (p.x <= x) lower = p;
        if (p.x >= x) {
            upper = p;
            break;
        }
    }
    if (lower.x == x) return lower.y;
    if (upper.x == x) return upper.y;
    if (!Defined(lower) || !Defined(upper)) return 3.4028235e38f;
    if (lower.x > upper.x) {
        NKPlotPoint t = lower;
        lower = upper;
        upper = t;
    }
    if (lower.x == upper.x) return (lower.y + upper.y) * 0.5f;
    return lower.y + (upper.y - lower.y) * (x - lower.x) / (upper.x - lower.x);
}

PlotRecord *NKCreatePlot(void)
{
    PlotRecord *pPlot = new (std::nothrow) PlotRecord();
    if (pPlot == nullptr) return nullptr;
    NKSetPlotAxisFlags(pPlot, nullptr, NK_AXIS_FLAGS_RESET, 0);
    return pPlot;
}

void NKFreePlot(PlotRecord *pPlot)
{
    if (pPlot == nullptr) return;
    NKPlotDeleteAllCurves(pPlot);
    delete pPlot;
}

void NKSetPlotShowMinMax(uint8_t bOn) { sg_bShowMinMax = bOn; }
uint8_t NKGetPlotShowMinMax(void) { return sg_bShowMinMax; }

void NKSetPlotSkip(int n)
{
    if (n >= 1) sg_iPlotSkip = n;
}
int NKGetPlotSkip(void) { return sg_iPlotSkip; }

char **NKMakePlotNameArray(const std::vector<NKString> &names)
{
    if (names.empty()) return nullptr;
    char **ppNames = (char **)NKAllocBlockArray(257, (int)names.size());
    if (ppNames == nullptr) return nullptr;
    for (size_t i = 0; i < names.size(); i++) {
        std::strncpy(ppNames[i], names[i].GetText(), 256);
        ppNames[i][256] = '\0';
    }
    return ppNames;
}
