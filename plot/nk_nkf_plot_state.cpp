// plot/nk_nkf_plot_state.cpp -- the 2-D plots' hooks of the NKF display
// state (see nk_nkf_plot_state.h for the words of the extra record).
//
// Export and import bind each word to the same plot field, so a plot
// written and read back keeps its titles, flags, placement and style. The
// import changes only the words that are set (an int of -1, a float below
// 0 for the fractions and colours, an empty title keep the plot's own),
// and settles the x-axis kind of a node plot before the axis flags, since
// choosing it resets two of them.
#include "plot/nk_nkf_plot_state.h"

#include <cmath>

#include "commands/nk_command.h"
#include "core/nk_plot_records.h"
#include "core/nk_view_state.h"
#include "nkf/nkf_display_hooks.h"
#include "plot/nk_node_plot.h"
#include "plot/nk_plot.h"

namespace {

// Where the flags go in the record: word, flag index.
const int kFlagWords[][2] = {{67, 10}, {68, 11}, {69, 12}, {70, 4}, {71, 14}, {72, 15}, {73, 16},
                             {74, 9},  {91, 0},  {92, 1},  {93, 2}, {97, 5},  {98, 6},  {99, 7}};

// The style bytes of words 75-80, in record order.
uint8_t *StyleByte(PlotRecord *p, int k)
{
    uint8_t *apb[6] = {
        &p->bXGrid,      &p->bYGrid, &p->bLegendShown, &p->bStipple, &p->bBackgroundLegend,
        &p->bXMarkerLine};
    return apb[k];
}

// The x range and crossing (words 94-96) and the y range and crossing
// (words 100-102), in record order.
const int kRangeWords[6] = {94, 95, 96, 100, 101, 102};
float *RangeFloat(PlotRecord *p, int k)
{
    float *apf[6] = {&p->fXMin, &p->fXMax, &p->fXAxisCrossing,
                     &p->fYMin, &p->fYMax, &p->fYAxisCrossing};
    return apf[k];
}

void FillPlacement(const PlotRecord *p, NKFExtraSettings *pRec)
{
    int aiPlace[4] = {0, 0, 0, 0};
    NKGetPlotViewport(p, &aiPlace[0], &aiPlace[1], &aiPlace[2], &aiPlace[3]);
    for (int k = 0; k < 4; k++) {
        const int iSize = k % 2 == 0 ? NKViewWindowSize.iWidth : NKViewWindowSize.iHeight;
        if (iSize > 0) pRec->SetF(81 + k, (float)aiPlace[k] / (float)iSize);
    }
}

bool FillExtra(NKFExtraSettings *pRec)
{
    PlotRecord *p = g_pCurrentPlot;
    if (p == nullptr) return false;
    pRec->SetText(1, p->szTitle.GetText());
    pRec->SetText(21, p->szXTitle.GetText());
    pRec->SetText(41, p->szYTitle.GetText());
    pRec->SetI(61, g_bPlotShown);
    pRec->SetI(62, g_bPlotInOwnWindow);
    pRec->SetI(63, NKGetPlotSkip());
    pRec->SetI(64, NKGetPlotShowMinMax());
    pRec->SetF(65, p->fXUnit);
    pRec->SetF(66, p->fYUnit);
    uint8_t aucFlags[NK_AXIS_NUM_FLAGS];
    NKGetPlotAxisFlags(p, aucFlags);
    for (const auto &f : kFlagWords) pRec->SetI(f[0], aucFlags[f[1]]);
    for (int k = 0; k < 6; k++) pRec->SetI(75 + k, *StyleByte(p, k));
    FillPlacement(p, pRec);
    for (int c = 0; c < 3; c++) pRec->SetF(85 + c, NKFColorToFloat(p->ucBackground[c]));
    pRec->SetI(88, p->ucBackground[3]);
    pRec->SetI(89, p->bTitleShown);
    pRec->SetI(90, p->iXAxisQuantity == 2 ? 1 : 0);
    for (int k = 0; k < 6; k++) pRec->SetF(kRangeWords[k], *RangeFloat(p, k));
    pRec->SetF(103, p->XTransform.fScale);
    pRec->SetF(104, p->XTransform.fOffset);
    pRec->SetF(105, p->YTransform.fScale);
    pRec->SetF(106, p->YTransform.fOffset);
    return true;
}

void SetByte(uint8_t *pb, int32_t iWord)
{
    if (iWord != -1) *pb = (uint8_t)(iWord & 0xff);
}

// Titles when given, the shown byte, skip and minimum / maximum display.
void ApplyTitlesAndSwitches(const NKFExtraSettings &rec, PlotRecord *p)
{
    NKString *apTitles[3] = {&p->szTitle, &p->szXTitle, &p->szYTitle};
    for (int t = 0; t < 3; t++) {
        NKString text = rec.Text(1 + 20 * t);
        if (!text.IsEmpty()) *apTitles[t] = text;
    }
    SetByte(&g_bPlotShown, rec.I(61));
    if (rec.I(63) >= 1) NKSetPlotSkip(rec.I(63));
    if (rec.I(64) != -1) NKSetPlotShowMinMax(rec.I(64) != 0 ? 1 : 0);
}

// Units, axis flags and style bytes; a node plot's x-axis kind first.
void ApplyAxes(const NKFExtraSettings &rec, PlotRecord *p)
{
    if (p->iPlotKind == 1 && rec.I(90) != -1) NKSetNodePlotXAxis(rec.I(90) != 0, false);
    if (rec.F(65) > 0.0f && std::isfinite(rec.F(65))) p->fXUnit = rec.F(65);
    if (rec.F(66) > 0.0f && std::isfinite(rec.F(66))) p->fYUnit = rec.F(66);
    uint8_t aucFlags[NK_AXIS_NUM_FLAGS];
    NKGetPlotAxisFlags(p, aucFlags);
    for (const auto &f : kFlagWords) SetByte(&aucFlags[f[1]], rec.I(f[0]));
    NKSetPlotAxisFlags(p, aucFlags, 0, 0);
    for (int k = 0; k < 6; k++) SetByte(StyleByte(p, k), rec.I(75 + k));
    p->bMarkerLineShown = p->bFollowSteps = p->bXMarkerLine;
    for (int k = 0; k < 6; k++) {
        const float f = rec.F(kRangeWords[k]);
        if (std::isfinite(f) && rec.IsSetF(kRangeWords[k])) *RangeFloat(p, k) = f;
    }
    NKAxisTransform *apT[2] = {&p->XTransform, &p->YTransform};
    for (int a = 0; a < 2; a++) {
        const float fScale = rec.F(103 + 2 * a), fOffset = rec.F(104 + 2 * a);
        // A scale of 0 or below cannot be inverted: the axis keeps its own.
        if (fScale > 0.0f && std::isfinite(fScale) && std::isfinite(fOffset)) {
            apT[a]->fScale = fScale;
            apT[a]->fOffset = fOffset;
        }
    }
}

// The placement fractions of the view, for a plot drawn over the view.
void ApplyPlacement(const NKFExtraSettings &rec, PlotRecord *p)
{
    const int iW = NKViewWindowSize.iWidth, iH = NKViewWindowSize.iHeight;
    if (g_bPlotInOwnWindow || iW <= 0 || iH <= 0) return;
    int aiPlace[4] = {-1, -1, -1, -1};
    for (int k = 0; k < 4; k++) {
        const float f = rec.F(81 + k);
        if (f >= 0.0f && f <= 1.0f)
            aiPlace[k] = (int)std::lround((double)f * (k % 2 == 0 ? iW : iH));
    }
    NKPlacePlot(p, aiPlace[0], aiPlace[1], aiPlace[2], aiPlace[3], iW, iH);
}

void ApplyExtra(const NKFExtraSettings &rec)
{
    PlotRecord *p = g_pCurrentPlot;
    if (p == nullptr) return;
    ApplyTitlesAndSwitches(rec, p);
    ApplyAxes(rec, p);
    if (rec.I(62) != -1) ExecuteUICommand(rec.I(62) != 0 ? "plt separate" : "plt noseparate");
    p = g_pCurrentPlot;
    if (p == nullptr) return;
    ApplyPlacement(rec, p);
    for (int c = 0; c < 3; c++) NKFFloatToColor(rec.F(85 + c), &p->ucBackground[c]);
    SetByte(&p->ucBackground[3], rec.I(88));
    SetByte(&p->bTitleShown, rec.I(89));
    NKPlotUpdateAxes(p);
}

// A file with node plots gets a fresh node plot, shown, before its nodes
// are added.
void InitNodePlot(void)
{
    if (NKInitNodePlot()) g_bPlotShown = 1;
}

NKFDisplayStateHooks Hooks(void)
{
    NKFDisplayStateHooks hooks;
    hooks.pfnFillExtra = FillExtra;
    hooks.pfnApplyExtra = ApplyExtra;
    hooks.pfnInitNodePlot = InitNodePlot;
    return hooks;
}

bool sg_bInstalled = false;

}  // namespace

void NKInstallNKFPlotState(bool bInstall)
{
    NKFInstallDisplayStateHooks(Hooks(), bInstall, &sg_bInstalled);
}
