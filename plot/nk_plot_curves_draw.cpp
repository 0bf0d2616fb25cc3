// plot/nk_plot_curves_draw.cpp -- the curve passes of NKDrawPlot: curves as
// line strips (plot skip, stipple styles, smoothing), markers along lines
// and at points, the ten marker shapes and letter markers, the legend and
// the fringe-coloured background legend. Drawn in the viewport's pixels like
// nk_plot_draw.cpp; called only from there.
#include <GL/gl.h>

#include <cmath>
#include <vector>

#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_render_state.h"
#include "plot/nk_plot_draw_parts.h"
#include "render/nk_text.h"

namespace {

struct Stipple {
    int iFactor;
    GLushort uPattern;
};
const Stipple kStyles[7] = {{1, 0xFFFF}, {1, 0x3333}, {1, 0x0F0F}, {1, 0x00FF},
                            {1, 0x07C1}, {1, 0x1F11}, {2, 0x1C47}};

bool Defined(const NKPlotPoint &q) { return q.x < NK_PLOT_UNDEFINED && q.y < NK_PLOT_UNDEFINED; }
bool MarkersOnly(const PlotCurve *c) { return c->iXQuantity == -1 && c->iYQuantity == -1; }

void SetStyle(const PlotRecord *p, const PlotCurve *c)
{
    glColor3ubv(c->ucLineColor);
    glLineWidth((float)(c->iLineWidth > 0 ? c->iLineWidth : 1));
    if (p->bStipple && c->iLineStyle >= 0 && c->iLineStyle <= 6) {
        glEnable(GL_LINE_STIPPLE);
        glLineStipple(kStyles[c->iLineStyle].iFactor, kStyles[c->iLineStyle].uPattern);
    } else {
        glDisable(GL_LINE_STIPPLE);
    }
}

void DrawCurveLine(const PlotRecord *p, const PlotCurve *c, int iSkip)
{
    SetStyle(p, c);
    glBegin(GL_LINE_STRIP);
    int iLast = -1;
    for (int i = 0; i < c->iNumPoints; i += iSkip) {
        iLast = i;
        if (Defined(c->pPoints[i]))
            glVertex2f(PlotPixelX(p, c->pPoints[i].x), PlotPixelY(p, c->pPoints[i].y));
    }
    const NKPlotPoint &q = c->pPoints[c->iNumPoints - 1];
    if (iSkip > 1 && iLast != c->iNumPoints - 1 && Defined(q))
        glVertex2f(PlotPixelX(p, q.x), PlotPixelY(p, q.y));
    glEnd();
}

const uint8_t *MarkerColor(const PlotCurve *c)
{
    const uint8_t *m = c->ucMarkerColor;
    bool bUnset =
        m[0] == NK_PLOT_UNSET_COLOR && m[1] == NK_PLOT_UNSET_COLOR && m[2] == NK_PLOT_UNSET_COLOR;
    return bUnset ? c->ucLineColor : m;
}

NKPlotMarkerStyle CurveMarker(const PlotCurve *c)
{
    NKPlotMarkerStyle s;
    s.iType = c->iMarkerType;
    s.iSize = c->iMarkerSize;
    const uint8_t *m = MarkerColor(c);
    for (int i = 0; i < 3; i++) s.ucColor[i] = m[i];
    s.iLineWidth = c->iLineWidth;
    return s;
}

// How many markers a line curve gets: its point count over the part of its
// x range that is shown, a third of that by default.
int MostMarkers(const PlotRecord *p, const PlotCurve *c)
{
    float fCurveRange = c->fXMax - c->fXMin;
    float fFraction = fCurveRange > 0.0f ? (p->fXMax - p->fXMin) / fCurveRange : 1.0f;
    if (fFraction > 1.0f || fFraction <= 0.0f) fFraction = 1.0f;
    int iPer = p->iMarkersPerCurve > 0 ? p->iMarkersPerCurve : 1;
    return (int)((float)iPer / fFraction);
}

void Octagon(float x, float y, float r, GLenum eMode)
{
    const float k = 0.7071f;
    const float a[8][2] = {{1, 0}, {k, k}, {0, 1}, {-k, k}, {-1, 0}, {-k, -k}, {0, -1}, {k, -k}};
    glBegin(eMode);
    for (const auto &v : a) glVertex2f(x + v[0] * r, y + v[1] * r);
    glEnd();
}

void Shape(int iType, float x, float y, float r)
{
    switch (iType) {
    case 1:
        glRectf(x - r, y - r, x + r, y + r);
        break;
    case 2:
        glBegin(GL_TRIANGLES);
        glVertex2f(x - r, y - r), glVertex2f(x + r, y - r), glVertex2f(x, y + r);
        glEnd();
        break;
    case 3:
        glBegin(GL_LINES);
        glVertex2f(x - r, y - r), glVertex2f(x + r, y + r), glVertex2f(x - r, y + r),
            glVertex2f(x + r, y - r);
        glEnd();
        break;
    case 4:
        glBegin(GL_QUADS);
        glVertex2f(x, y - r), glVertex2f(x + r, y), glVertex2f(x, y + r), glVertex2f(x - r, y);
        glEnd();
        break;
    case 5:
        glBegin(GL_LINES);
        for (int k = 0; k < 3; k++) {
            float a = (float)k * 1.0471976f + 1.5707963f;
            glVertex2f(x + r * std::cos(a), y + r * std::sin(a));
            glVertex2f(x - r * std::cos(a), y - r * std::sin(a));
        }
        glEnd();
        break;
    case 6:
        glBegin(GL_LINES), glVertex2f(x - r, y), glVertex2f(x + r, y), glEnd();
        break;
    case 7:
        glBegin(GL_LINES);
        glVertex2f(x - r, y), glVertex2f(x + r, y), glVertex2f(x, y - r), glVertex2f(x, y + r);
        glEnd();
        break;
    case 8:
        Octagon(x, y, r, GL_POLYGON);
        break;
    case 9:
        glBegin(GL_LINE_LOOP);
        glVertex2f(x - r, y - r), glVertex2f(x + r, y - r), glVertex2f(x + r, y + r),
            glVertex2f(x - r, y + r);
        glEnd();
        break;
    case 10:
        Octagon(x, y, r, GL_LINE_LOOP);
        break;
    default:
        break;
    }
}

}  // namespace

void NKDrawPlotMarkers(const NKPlotMarkerStyle *pStyle, const NKPlotPoint *pPoints, int n,
                       int iMostMarkers, const NKBitmapFont *pFont, const NKOrthoView *pDataView,
                       const NKOrthoView *pPixelView)
{
    if (pStyle == nullptr || pPoints == nullptr || n < 1 || pStyle->iType == 0) return;
    int iStep = iMostMarkers > 0 && n > iMostMarkers ? n / iMostMarkers : 1;
    char szLetters[3];
    NKPlotLetterMarkerText(pStyle->iType, szLetters);
    glColor3ubv(pStyle->ucColor);
    glLineWidth((float)(pStyle->iLineWidth > 0 ? pStyle->iLineWidth : 1));
    glDisable(GL_LINE_STIPPLE);
    float r = (float)pStyle->iSize * 0.5f;
    for (int i = 0; i < n; i += iStep) {
        if (!Defined(pPoints[i])) continue;
        float x = pPoints[i].x, y = pPoints[i].y;
        NKOrthoViewConvertPoint(&x, &y, pDataView, pPixelView);
        if (szLetters[0] != 0)
            NKDrawTextAligned(x, y, pFont, pPixelView, 1, 1, szLetters);
        else
            Shape(pStyle->iType, x, y, r);
    }
}

void NKDrawPlotCurves(const PlotRecord *p)
{
    const NKOrthoView &d = p->DataView;
    glEnable(GL_SCISSOR_TEST);
    glScissor(d.iX - 1, d.iY - 1, d.iWidth + 2, d.iHeight + 2);
    if (p->bSmoothCurves) {
        glEnable(GL_LINE_SMOOTH);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    }
    int iSkip = NKGetPlotSkip();
    for (int i = 0; i < p->iNumCurves; i++) {
        const PlotCurve *c = p->ppCurves[i];
        if (c->bVisible && !MarkersOnly(c) && c->iNumPoints > 0) DrawCurveLine(p, c, iSkip);
    }
    glDisable(GL_LINE_SMOOTH);
    glDisable(GL_BLEND);
    glDisable(GL_LINE_STIPPLE);
    glDisable(GL_SCISSOR_TEST);
}

// Line markers of every line curve, then the markers of the markers-only
// curves, then the forming limit diagram's highlighted points.
void NKDrawPlotCurveMarkers(const PlotRecord *p)
{
    const NKBitmapFont *pFont = p->pFonts[NK_PLOT_FONT_LEGEND];
    for (int iPass = 0; iPass < 3; iPass++) {
        if (iPass == 0 && !p->bLineMarkers) continue;
        for (int i = 0; i < p->iNumCurves; i++) {
            const PlotCurve *c = p->ppCurves[i];
            if (!c->bVisible || c->iMarkerType == 0 || MarkersOnly(c) != (iPass > 0)) continue;
            NKPlotMarkerStyle s = CurveMarker(c);
            const NKPlotPoint *pPoints = c->pPoints;
            int n = c->iNumPoints, iMost = iPass == 0 ? MostMarkers(p, c) : c->iNumPoints;
            if (iPass == 2) {
                s = {10, 10, {255, 100, 100}, 3};
                n = iMost = NKPlotFLDHighlightPoints(c, &pPoints);
            }
            NKDrawPlotMarkers(&s, pPoints, n, iMost, pFont, &p->DataView, &p->ViewportView);
        }
    }
}

// One legend row: the text, a sample line and a marker sample.
static void DrawLegendRow(const PlotRecord *p, const PlotCurve *c, float x, float y)
{
    const NKPlotLegendPlace &L = p->Legend;
    const NKBitmapFont *pFont = p->pFonts[NK_PLOT_FONT_LEGEND];
    float fLine = 20.0f * L.fScale;
    if (!MarkersOnly(c)) {
        SetStyle(p, c);
        glBegin(GL_LINES);
        glVertex2f(x, y), glVertex2f(x + fLine, y);
        glEnd();
        glDisable(GL_LINE_STIPPLE);
    }
    if (c->iMarkerType != 0) {
        NKPlotMarkerStyle s = CurveMarker(c);
        if (MarkersOnly(c)) s.iSize += 2;
        NKPlotPoint q{x + fLine * 0.5f, y};
        NKDrawPlotMarkers(&s, &q, 1, 1, pFont, &p->ViewportView, &p->ViewportView);
    }
    glColor3ubv(p->ucContrast[3]);
    const char *pszText = p->bLegendShowsLabels ? c->szLabel : c->szName.GetText();
    NKDrawTextAligned(x + fLine + 4.0f, y, pFont, &p->ViewportView, 0, 1, pszText);
}

void NKDrawPlotLegend(const PlotRecord *p)
{
    const NKPlotLegendPlace &L = p->Legend;
    const NKBitmapFont *pFont = p->pFonts[NK_PLOT_FONT_LEGEND];
    const uint8_t *b = p->ucLegendBackground;
    bool bBlend = p->ucBackground[3] != 255;
    if (bBlend) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    glColor4ub(b[0], b[1], b[2], bBlend ? p->ucBackground[3] : 255);
    glRecti(L.iX, L.iY - L.iHeight, L.iX + L.iWidth, L.iY);
    glDisable(GL_BLEND);
    int iLine = pFont != nullptr ? pFont->iLineHeight : 0;
    float y = (float)L.iY - 4.0f;
    if (!p->szLegendTitle.IsEmpty() && iLine + 4 <= L.iHeight - 8) {
        glColor3ubv(p->ucContrast[3]);
        NKDrawTextAligned((float)L.iX + 4.0f, y, pFont, &p->ViewportView, 0, 0,
                          p->szLegendTitle.GetText());
        y -= (float)(iLine + 4);
    }
    int n = NKPlotCountVisibleCurves(p, true);
    float fRow = n > 0 ? (y - (float)(L.iY - L.iHeight) - 4.0f) / (float)n : 0.0f;
    if (fRow < (float)iLine) fRow = (float)iLine;
    for (int i = 0; i < p->iNumCurves; i++) {
        const PlotCurve *c = p->ppCurves[i];
        if (!c->bVisible) continue;
        if (y - fRow < (float)(L.iY - L.iHeight)) break;
        DrawLegendRow(p, c, (float)L.iX + 4.0f, y - fRow * 0.5f);
        y -= fRow;
    }
}

// The levels of the 3-D view's fringe scale: the contour levels when set,
// else ten equal bands over the model's fringe range.
static std::vector<float> FringeLevels(void)
{
    std::vector<float> levels;
    if (g_ContourSettings.iNumLevels >= 2 && g_ContourSettings.pLevels != nullptr) {
        levels.assign(g_ContourSettings.pLevels,
                      g_ContourSettings.pLevels + g_ContourSettings.iNumLevels);
    } else if (g_pModel != nullptr) {
        float a = g_pModel->fFringeRangeFrom, b = g_pModel->fFringeRangeTo;
        for (int i = 0; i <= 10; i++) levels.push_back(a + (b - a) * (float)i / 10.0f);
    }
    return levels;
}

void NKDrawPlotBackgroundLegend(const PlotRecord *p)
{
    std::vector<float> lv = FringeLevels();
    if (lv.size() < 2 || g_pModel == nullptr) return;
    float fFrom = g_pModel->fFringeRangeFrom, fTo = g_pModel->fFringeRangeTo;
    // Band i lies between level i - 1 and i; band 0 and the last reach the
    // range's ends in the end colours.
    std::vector<float> mid;
    mid.push_back(lv.front());
    for (size_t i = 1; i < lv.size(); i++) mid.push_back((lv[i - 1] + lv[i]) * 0.5f);
    mid.push_back(lv.back());
    std::vector<uint8_t> rgb(mid.size() * 3), lineRgb(lv.size() * 3);
    std::vector<float> tex(mid.size());
    NKMapScalarsToColors(fFrom, fTo, (int)mid.size(), mid.data(), rgb.data(), tex.data());
    NKMapScalarsToColors(fFrom, fTo, (int)lv.size(), lv.data(), lineRgb.data(), tex.data());
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    for (size_t i = 0; i < mid.size(); i++) {
        float y0 = i == 0 ? p->fYMin : lv[i - 1], y1 = i + 1 == mid.size() ? p->fYMax : lv[i];
        if (y0 < p->fYMin) y0 = p->fYMin;
        if (y1 > p->fYMax) y1 = p->fYMax;
        if (y1 <= y0) continue;
        glColor4ub(rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2], p->ucBackground[3]);
        glRectf(PlotPixelX(p, p->fXMin), PlotPixelY(p, y0), PlotPixelX(p, p->fXMax),
                PlotPixelY(p, y1));
    }
    glDisable(GL_BLEND);
    if (!p->bBackgroundLegendLines) return;
    glLineWidth(1.0f);
    glBegin(GL_LINES);
    for (size_t i = 0; i < lv.size(); i++) {
        if (lv[i] < p->fYMin || lv[i] > p->fYMax) continue;
        glColor3ub(lineRgb[i * 3], lineRgb[i * 3 + 1], lineRgb[i * 3 + 2]);
        PlotLine(p, p->fXMin, lv[i], p->fXMax, lv[i]);
    }
    glEnd();
}
