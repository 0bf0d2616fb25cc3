// plot/nk_plot_axes.cpp -- the axis update (ranges, units, ticks, tick
// labels, crossings) and the layout of a plot in its viewport (see
// nk_plot.h). Runs when curves, flags, ranges or transforms change, never
// per frame; NKDrawPlot only reads what is computed here.
#include <cmath>
#include <cstdio>

#include "core/nk_math.h"
#include "core/nk_numeric.h"
#include "plot/nk_plot.h"
#include "render/nk_text.h"

namespace {

// One axis of a plot seen through references, so that x and y share the code.
struct AxisRef {
    float &fMin, &fMax, &fUnit, &fFirst, &fCrossing;
    int32_t &iNumTicks;
    NKString *pszLabels;
    NKString &szMinLabel, &szMaxLabel;
    const NKAxisTransform &A;
    bool bMinAuto, bMaxAuto, bUnitAuto, bCrossAuto, bZero, bCrossAtMin, bZeroBased, bForce, bExact;
};

AxisRef XAxis(PlotRecord *p)
{
    const uint8_t *f = p->ucAxisFlags;
    return {p->fXMin,
            p->fXMax,
            p->fXUnit,
            p->fFirstXTick,
            p->fYAxisCrossing,
            p->iNumXTicks,
            p->szXTickLabels,
            p->szXMinLabel,
            p->szXMaxLabel,
            p->XTransform,
            f[NK_AXIS_X_MIN_AUTO] != 0,
            f[NK_AXIS_X_MAX_AUTO] != 0,
            f[NK_AXIS_X_UNIT_AUTO] != 0,
            f[NK_AXIS_Y_CROSS_AUTO] != 0,
            f[NK_AXIS_X_ZERO] != 0,
            f[NK_AXIS_X_CROSS_AT_MIN] != 0,
            f[NK_AXIS_X_ZERO_BASED] != 0,
            f[NK_AXIS_X_FORCE_MINMAX] != 0,
            f[NK_AXIS_X_EXACT] != 0};
}

AxisRef YAxis(PlotRecord *p)
{
    const uint8_t *f = p->ucAxisFlags;
    return {p->fYMin,
            p->fYMax,
            p->fYUnit,
            p->fFirstYTick,
            p->fXAxisCrossing,
            p->iNumYTicks,
            p->szYTickLabels,
            p->szYMinLabel,
            p->szYMaxLabel,
            p->YTransform,
            f[NK_AXIS_Y_MIN_AUTO] != 0,
            f[NK_AXIS_Y_MAX_AUTO] != 0,
            f[NK_AXIS_Y_UNIT_AUTO] != 0,
            f[NK_AXIS_X_CROSS_AUTO] != 0,
            f[NK_AXIS_Y_ZERO] != 0,
            f[NK_AXIS_Y_CROSS_AT_MIN] != 0,
            f[NK_AXIS_Y_ZERO_BASED] != 0,
            f[NK_AXIS_Y_FORCE_MINMAX] != 0,
            f[NK_AXIS_Y_EXACT] != 0};
}

void Widen(float v, float *pfLo, float *pfHi, bool *pbAny)
{
    if (v >= NK_PLOT_UNDEFINED) return;
    if (!*pbAny || v < *pfLo) *pfLo = v;
    if (!*pbAny || v > *pfHi) *pfHi = v;
    *pbAny = true;
}

// The y range of the visible curves inside [x min, x max]; false when no
// curve has a point there.
bool VisibleYRange(const PlotRecord *p, float *pfLo, float *pfHi)
{
    bool bAny = false;
    for (int i = 0; i < p->iNumCurves; i++) {
        const PlotCurve *c = p->ppCurves[i];
        if (!c->bVisible || c->iNumPoints < 1) continue;
        bool bInside = false;
        for (int k = 0; k < c->iNumPoints; k++) {
            const NKPlotPoint &q = c->pPoints[k];
            if (q.x >= NK_PLOT_UNDEFINED || q.y >= NK_PLOT_UNDEFINED) continue;
            if (q.x < p->fXMin || q.x > p->fXMax) continue;
            Widen(q.y, pfLo, pfHi, &bAny);
            bInside = true;
        }
        if (!bInside) continue;
        Widen(NKPlotCurveValueAt(c, p->fXMin), pfLo, pfHi, &bAny);
        Widen(NKPlotCurveValueAt(c, p->fXMax), pfLo, pfHi, &bAny);
    }
    return bAny;
}

// An axis's range: order, include zero, degenerate ranges and the unit.
void RangeAndUnit(AxisRef &a, bool *pbUnitAuto)
{
    if (a.fMax < a.fMin) a.fMax = a.fMin;
    *pbUnitAuto = a.bUnitAuto;
    if (a.fUnit <= 0.0f) {
        a.fUnit = a.A.InvertScale(1.0f);
        *pbUnitAuto = true;
    }
    float fZero = a.A.Invert(0.0f);
    if (a.bZero) {
        if (fZero < a.fMin) a.fMin = fZero;
        if (fZero > a.fMax) a.fMax = fZero;
    }
    if (NKFloatsEqual(a.fMin, a.fMax)) {
        if (a.fMax != fZero) {
            a.fMax += a.A.InvertScale(std::fabs(a.A.Invert(a.fMax) * 0.1f));
            a.fMin -= a.A.InvertScale(std::fabs(a.A.Invert(a.fMin) * 0.1f));
        } else {
            a.fMax = a.A.Invert(1.0f);
        }
    }
    if (*pbUnitAuto)
        a.fUnit = a.A.InvertScale(NKRoundUpNice(a.A.ApplyScale((a.fMax - a.fMin) * 0.1f)));
    else if (a.fMax - a.fMin < a.fUnit)
        a.fUnit = a.fMax - a.fMin;
}

// The ticks: the start, the first tick, the tick count and an automatic max.
void Ticks(AxisRef &a)
{
    float fShownUnit = a.A.ApplyScale(a.fUnit);
    if (a.bMinAuto && !a.bExact && fShownUnit != 0.0f) {
        float s = a.A.Apply(a.fMin);
        float v = std::trunc(s / fShownUnit) * fShownUnit;
        if (v > s) v -= fShownUnit;
        a.fMin = a.A.Invert(v);
    }
    a.fFirst = a.fMin;
    if (a.bZeroBased && a.fMin != a.A.Invert(0.0f) && fShownUnit != 0.0f)
        a.fFirst = a.A.Invert(std::ceil(a.A.Apply(a.fMin) / fShownUnit) * fShownUnit);
    float fSpan = a.A.Apply(a.fMax) - a.A.Apply(a.fFirst);
    int n = fShownUnit > 0.0f ? (int)(fSpan / fShownUnit) : 0;
    while (n > 98) {
        fShownUnit *= 2.0f;
        n = (int)(fSpan / fShownUnit);
    }
    a.fUnit = a.A.InvertScale(fShownUnit);
    if (a.bMaxAuto && !a.bExact) {
        float fTick = a.fFirst + (float)n * a.fUnit;
        if (NKFloatGreaterBeyond(a.fMax, fTick)) {
            n++;
            fTick = a.fFirst + (float)n * a.fUnit;
        }
        a.fMax = fTick;
        a.iNumTicks = n + 1;
    } else {
        float fNext = a.fFirst + (float)(n + 1) * a.fUnit;
        a.iNumTicks = NKFloatGreaterBeyond(fNext, a.fMax) ? n + 1 : n + 2;
    }
    if (a.iNumTicks > NK_PLOT_MAX_TICKS) a.iNumTicks = NK_PLOT_MAX_TICKS;
}

NKString Label(const AxisRef &a, float fValue)
{
    float fShown = a.A.Apply(fValue);
    if (std::fabs(fShown) < std::fabs(a.A.ApplyScale(a.fUnit)) * 0.001f) fShown = 0.0f;
    return NKString::FromFormat("%.5G", fShown);
}

// The crossing and the tick labels of one axis; the crossing is clamped into
// the range.
void CrossingAndLabels(AxisRef &a)
{
    if (a.bCrossAtMin)
        a.fCrossing = a.fFirst;
    else if (a.bCrossAuto)
        a.fCrossing = a.A.Invert(0.0f);
    NKClampFloat(&a.fCrossing, a.fMin, a.fMax);
    for (int i = 0; i < NK_PLOT_MAX_TICKS; i++) a.pszLabels[i] = (const char *)nullptr;
    a.szMinLabel = (const char *)nullptr;
    a.szMaxLabel = (const char *)nullptr;
    for (int i = 0; i < a.iNumTicks; i++) a.pszLabels[i] = Label(a, a.fFirst + (float)i * a.fUnit);
    if (a.bForce) {
        a.szMinLabel = Label(a, a.fMin);
        a.szMaxLabel = Label(a, a.fMax);
    }
}

void UpdateAxis(AxisRef a)
{
    bool bUnitAuto = a.bUnitAuto;
    RangeAndUnit(a, &bUnitAuto);
    a.bUnitAuto = bUnitAuto;
    Ticks(a);
}

}  // namespace

bool NKFloatGreaterBeyond(float a, float b)
{
    if (a <= 0.0f && b >= 0.0f) return false;
    if (a >= 0.0f && b < 0.0f) return true;
    return a > b * 1.001f;
}

void NKPlotUpdateAxes(PlotRecord *pPlot)
{
    if (pPlot == nullptr) return;
    AxisRef x = XAxis(pPlot), y = YAxis(pPlot);
    if (x.bMinAuto) pPlot->fXMin = pPlot->fDataXMin;
    if (x.bMaxAuto) pPlot->fXMax = pPlot->fDataXMax;
    UpdateAxis(x);
    if (y.bMinAuto || y.bMaxAuto) {
        float fLo = pPlot->fDataYMin, fHi = pPlot->fDataYMax;
        VisibleYRange(pPlot, &fLo, &fHi);
        if (y.bMinAuto) pPlot->fYMin = fLo;
        if (y.bMaxAuto) pPlot->fYMax = fHi;
    }
    UpdateAxis(y);
    CrossingAndLabels(x);
    CrossingAndLabels(y);
    NKPlotComputeLayout(pPlot);
}

// ---- Layout ------------------------------------------------------------------

namespace {

// The widest (bAlong) or tallest extent over an axis's tick labels.
int LabelExtent(const NKString *pszLabels, int n, const NKBitmapFont *pFont, bool bAlong)
{
    int iBest = 0;
    for (int i = 0; i < n; i++) {
        int iAlong = 0, iAcross = 0;
        NKMeasureText(pszLabels[i].GetText(), pFont, &iAlong, &iAcross);
        int v = bAlong ? iAlong : iAcross;
        if (v > iBest) iBest = v;
    }
    return iBest;
}

// The legend's natural width and height (before scaling).
void LegendSize(const PlotRecord *p, int *piWidth, int *piHeight)
{
    int w = 0, h = 0;
    const NKBitmapFont *pFont = p->pFonts[NK_PLOT_FONT_LEGEND];
    for (int i = 0; i < p->iNumCurves; i++) {
        const PlotCurve *c = p->ppCurves[i];
        if (!c->bVisible) continue;
        int iAlong = 0, iAcross = 0;
        NKMeasureText(p->bLegendShowsLabels ? c->szLabel : c->szName.GetText(), pFont, &iAlong,
                      &iAcross);
        if (iAlong > w) w = iAlong;
        h += iAcross + 4;
    }
    w += 22;
    if (!p->szLegendTitle.IsEmpty()) {
        int iAlong = 0, iAcross = 0;
        NKMeasureText(p->szLegendTitle.GetText(), pFont, &iAlong, &iAcross);
        if (iAlong > w) w = iAlong;
        h += iAcross + 4;
    }
    *piWidth = w + 8;
    *piHeight = h + 8;
}

// Places the tick labels, the axis titles and the title; grows the margins.
void PlaceLabelsAndTitles(PlotRecord *p, int W, int H, int *piL, int *piB, int *piT)
{
    int wy = p->bYTickLabelsShown
                 ? LabelExtent(p->szYTickLabels, p->iNumYTicks, p->pFonts[NK_PLOT_FONT_TICKS], true)
                 : 0;
    int hx = p->bXTickLabelsShown ? LabelExtent(p->szXTickLabels, p->iNumXTicks,
                                                p->pFonts[NK_PLOT_FONT_TICKS], false)
                                  : 0;
    p->bTickLabelsFit = p->bTickLabelsPlaced = wy + 50 <= W && hx + 50 <= H;
    if (!p->bTickLabelsPlaced) return;
    *piL = wy + 15;
    *piB = hx + 15;
    int iYTitle = 0, iXTitle = 0, iAlong = 0;
    if (p->bYTitleShown)
        NKMeasureText(p->szYTitle.GetText(), p->pFonts[NK_PLOT_FONT_YTITLE], &iAlong, &iYTitle);
    if (p->bXTitleShown)
        NKMeasureText(p->szXTitle.GetText(), p->pFonts[NK_PLOT_FONT_XTITLE], &iAlong, &iXTitle);
    p->bAxisTitlesPlaced = *piL + iYTitle + 35 <= W && *piB + iXTitle + 35 <= H;
    if (!p->bAxisTitlesPlaced) return;
    *piL += iYTitle;
    *piB += iXTitle;
    if (!p->bTitleShown) return;
    int iTitle = 0;
    NKMeasureText(p->szTitle.GetText(), p->pFonts[NK_PLOT_FONT_TITLE], &iAlong, &iTitle);
    p->bTitlePlaced = *piB + iTitle + 35 <= H;
    if (p->bTitlePlaced) *piT = iTitle + 15;
}

// Places the legend at the right of the data area; grows the right margin.
void PlaceLegend(PlotRecord *p, int W, int H, int L, int B, int T, int *piR)
{
    int w = 0, h = 0;
    LegendSize(p, &w, &h);
    int iFree = W - L - 35;
    p->bLegendPlaced = w / 2 <= iFree;
    if (!p->bLegendPlaced) return;
    float fScale = w > iFree ? (float)iFree / (float)w : 1.0f;
    int iWidth = (int)((float)w * fScale);
    int iFreeHeight = H - T - B;
    p->Legend = {W - 15 - iWidth + 10, H - T, iWidth, h < iFreeHeight ? h : iFreeHeight, fScale};
    *piR = iWidth + 15;
}

void SetView(NKOrthoView *v, int x, int y, int w, int h, float x0, float x1, float y0, float y1)
{
    *v = {x, y, w, h, x0, x1, y0, y1, 0.0f, 0.0f};
    NKUpdateOrthoPixelSize(v);
}

}  // namespace

void NKPlotComputeLayout(PlotRecord *p)
{
    if (p == nullptr) return;
    const NKOrthoView &v = p->ViewportView;
    int W = v.iWidth, H = v.iHeight;
    p->bTickLabelsFit = p->bTickLabelsPlaced = p->bAxisTitlesPlaced = 0;
    p->bTitlePlaced = p->bLegendPlaced = 0;
    int L = 15, B = 15, T = 15, R = 15;
    if (W >= 50 && H >= 50) {
        PlaceLabelsAndTitles(p, W, H, &L, &B, &T);
        if (p->bLegendShown) PlaceLegend(p, W, H, L, B, T, &R);
    }
    int w = W - L - R > 0 ? W - L - R : 0, h = H - B - T > 0 ? H - B - T : 0;
    SetView(&p->DataView, v.iX + L, v.iY + B, w, h, p->fXMin, p->fXMax, p->fYMin, p->fYMax);
    SetView(&p->DataPixelView, v.iX + L, v.iY + B, w, h, 0.0f, (float)w, 0.0f, (float)h);
}
