// plot/nk_plot_draw.cpp -- NKDrawPlot: the frame of a plot (background,
// no-data text, grid, axes, tick labels, titles, marker lines) in the order
// the drawing needs, with the GL state it changes saved and restored. The
// curves, markers, legend and background legend are nk_plot_curves_draw.cpp.
// Everything is drawn in the viewport's pixels (0..width, 0..height); data
// values go through PlotPixelX/Y, so lines on the data area's edge are
// never clipped away.
#include <GL/gl.h>

#include <cstring>
#include <string>
#include <vector>

#include <cmath>

#include "core/nk_math.h"
#include "core/nk_model.h"
#include "plot/nk_plot_draw_parts.h"
#include "render/nk_text.h"

float PlotPixelX(const PlotRecord *p, float x)
{
    const NKOrthoView &d = p->DataView;
    float fRange = d.fXMax - d.fXMin;
    float fLeft = (float)(d.iX - p->ViewportView.iX);
    return fRange != 0.0f ? fLeft + (x - d.fXMin) * (float)d.iWidth / fRange : fLeft;
}

float PlotPixelY(const PlotRecord *p, float y)
{
    const NKOrthoView &d = p->DataView;
    float fRange = d.fYMax - d.fYMin;
    float fBottom = (float)(d.iY - p->ViewportView.iY);
    return fRange != 0.0f ? fBottom + (y - d.fYMin) * (float)d.iHeight / fRange : fBottom;
}

void PlotLine(const PlotRecord *p, float x0, float y0, float x1, float y1)
{
    glVertex2f(PlotPixelX(p, x0), PlotPixelY(p, y0));
    glVertex2f(PlotPixelX(p, x1), PlotPixelY(p, y1));
}

bool NKCompareRGB(const uint8_t *a, const uint8_t *b, int iTolerance)
{
    for (int i = 0; i < 3; i++) {
        int d = (int)a[i] - (int)b[i];
        if (d > iTolerance || -d > iTolerance) return false;
    }
    return true;
}

namespace {

void ContrastColor(const uint8_t *pucColor, const uint8_t *pucBack, uint8_t *pucOut)
{
    bool bInvert = NKCompareRGB(pucColor, pucBack, 5);
    for (int i = 0; i < 3; i++) pucOut[i] = bInvert ? (uint8_t)(255 - pucColor[i]) : pucColor[i];
}

void DrawBackground(const PlotRecord *p, bool bOwnWindow)
{
    const uint8_t *c = p->ucBackground;
    if (c[3] == 255 || bOwnWindow) {
        glDisable(GL_BLEND);
        glColor3ub(c[0], c[1], c[2]);
    } else {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glColor4ub(c[0], c[1], c[2], c[3]);
    }
    glRecti(0, 0, p->ViewportView.iWidth, p->ViewportView.iHeight);
    glDisable(GL_BLEND);
}

// Text cut to iWidth pixels.
std::string Fitted(const char *pszText, const NKBitmapFont *pFont, int iWidth)
{
    std::vector<char> buf(std::strlen(pszText) + 1);
    if (NKFitTextToWidth(pszText, pFont, iWidth, buf.data(), (int)buf.size(), false) < 0) return "";
    return buf.data();
}

void DrawNoData(const PlotRecord *p)
{
    const NKBitmapFont *pFont = p->pFonts[NK_PLOT_FONT_TITLE];
    std::string s = Fitted("No plot data to display.", pFont, p->ViewportView.iWidth);
    glColor3ubv(p->ucTitleColor);
    NKDrawTextAligned((float)p->ViewportView.iWidth * 0.5f, (float)p->ViewportView.iHeight * 0.5f,
                      pFont, &p->ViewportView, 1, 1, s.c_str());
}

void DrawGrid(const PlotRecord *p)
{
    if (!p->bXGrid && !p->bYGrid) return;
    glColor3ubv(p->ucGridColor);
    glLineWidth((float)p->iGridLineWidth);
    if (p->uStippleListBase != 0 && p->iGridLineStyle >= 0 && p->iGridLineStyle <= 2)
        glCallList(p->uStippleListBase + (GLuint)p->iGridLineStyle);
    glBegin(GL_LINES);
    for (int i = 0; p->bXGrid && i < p->iNumXTicks; i++) {
        float x = p->fFirstXTick + (float)i * p->fXUnit;
        PlotLine(p, x, p->fYMin, x, p->fYMax);
    }
    for (int i = 0; p->bYGrid && i < p->iNumYTicks; i++) {
        float y = p->fFirstYTick + (float)i * p->fYUnit;
        PlotLine(p, p->fXMin, y, p->fXMax, y);
    }
    glEnd();
    glDisable(GL_LINE_STIPPLE);
}

// Tick marks across one axis at the ticks, and at the range ends when forced.
void DrawTickMarks(const PlotRecord *p, bool bX)
{
    float fHalf = (float)p->iTickLength * 0.5f;
    bool bShown = bX ? p->bXTickMarksShown : p->bYTickMarksShown;
    bool bForce = p->ucAxisFlags[bX ? NK_AXIS_X_FORCE_MINMAX : NK_AXIS_Y_FORCE_MINMAX] != 0;
    int n = bShown ? (bX ? p->iNumXTicks : p->iNumYTicks) : 0;
    std::vector<float> at;
    for (int i = 0; i < n; i++)
        at.push_back(bX ? p->fFirstXTick + (float)i * p->fXUnit
                        : p->fFirstYTick + (float)i * p->fYUnit);
    if (bForce) {
        at.push_back(bX ? p->fXMin : p->fYMin);
        at.push_back(bX ? p->fXMax : p->fYMax);
    }
    for (float v : at) {
        if (bX) {
            float x = PlotPixelX(p, v), y = PlotPixelY(p, p->fXAxisCrossing);
            glVertex2f(x, y - fHalf);
            glVertex2f(x, y + fHalf);
        } else {
            float x = PlotPixelX(p, p->fYAxisCrossing), y = PlotPixelY(p, v);
            glVertex2f(x - fHalf, y);
            glVertex2f(x + fHalf, y);
        }
    }
}

void DrawAxes(const PlotRecord *p)
{
    const uint8_t *c = p->ucContrast[1];
    glLineWidth((float)p->iAxisLineWidth);
    glColor3ub((uint8_t)(c[0] * 0.6f), (uint8_t)(c[1] * 0.6f), (uint8_t)(c[2] * 0.6f));
    glBegin(GL_LINE_LOOP);
    glVertex2f(PlotPixelX(p, p->fXMin), PlotPixelY(p, p->fYMin));
    glVertex2f(PlotPixelX(p, p->fXMax), PlotPixelY(p, p->fYMin));
    glVertex2f(PlotPixelX(p, p->fXMax), PlotPixelY(p, p->fYMax));
    glVertex2f(PlotPixelX(p, p->fXMin), PlotPixelY(p, p->fYMax));
    glEnd();
    glColor3ubv(c);
    glBegin(GL_LINES);
    PlotLine(p, p->fXMin, p->fXAxisCrossing, p->fXMax, p->fXAxisCrossing);
    PlotLine(p, p->fYAxisCrossing, p->fYMin, p->fYAxisCrossing, p->fYMax);
    DrawTickMarks(p, true);
    DrawTickMarks(p, false);
    glEnd();
}

// Whether a tick's label is left out because the other axis crosses there
// (unless that axis stands at the range's minimum).
bool HiddenByAxis(float fTick, float fCrossing, float fMin)
{
    return NKFloatsEqualAbs(fTick, fCrossing) && !NKFloatsEqualAbs(fCrossing, fMin);
}

// The min and max labels of force-min/max when the range end is off its
// nearest tick by more than 0.01 %.
bool EndLabelWanted(float fEnd, float fFirst, float fUnit)
{
    if (fUnit == 0.0f) return false;
    float fNearest = fFirst + std::round((fEnd - fFirst) / fUnit) * fUnit;
    float fScale = std::fabs(fEnd) > std::fabs(fNearest) ? std::fabs(fEnd) : std::fabs(fNearest);
    return std::fabs(fEnd - fNearest) > fScale * 1e-4f;
}

void DrawXLabel(const PlotRecord *p, float x, const NKString &s)
{
    float fGap = (float)p->iTickLength * 2.0f / 3.0f;
    NKDrawTextAligned(PlotPixelX(p, x), PlotPixelY(p, p->fXAxisCrossing) - fGap,
                      p->pFonts[NK_PLOT_FONT_TICKS], &p->ViewportView, 1, 0, s.GetText());
}

void DrawYLabel(const PlotRecord *p, float y, const NKString &s)
{
    float fGap = (float)p->iTickLength * 2.0f / 3.0f;
    NKDrawTextAligned(PlotPixelX(p, p->fYAxisCrossing) - fGap, PlotPixelY(p, y),
                      p->pFonts[NK_PLOT_FONT_TICKS], &p->ViewportView, 2, 1, s.GetText());
}

void DrawTickLabels(const PlotRecord *p)
{
    glColor3ubv(p->ucContrast[2]);
    for (int i = 0; p->bXTickLabelsShown && i < p->iNumXTicks; i++) {
        float x = p->fFirstXTick + (float)i * p->fXUnit;
        if (!HiddenByAxis(x, p->fYAxisCrossing, p->fXMin)) DrawXLabel(p, x, p->szXTickLabels[i]);
    }
    for (int i = 0; p->bYTickLabelsShown && i < p->iNumYTicks; i++) {
        float y = p->fFirstYTick + (float)i * p->fYUnit;
        if (!HiddenByAxis(y, p->fXAxisCrossing, p->fYMin)) DrawYLabel(p, y, p->szYTickLabels[i]);
    }
    if (p->ucAxisFlags[NK_AXIS_X_FORCE_MINMAX]) {
        if (EndLabelWanted(p->fXMin, p->fFirstXTick, p->fXUnit))
            DrawXLabel(p, p->fXMin, p->szXMinLabel);
        if (EndLabelWanted(p->fXMax, p->fFirstXTick, p->fXUnit))
            DrawXLabel(p, p->fXMax, p->szXMaxLabel);
    }
    if (p->ucAxisFlags[NK_AXIS_Y_FORCE_MINMAX]) {
        if (EndLabelWanted(p->fYMin, p->fFirstYTick, p->fYUnit))
            DrawYLabel(p, p->fYMin, p->szYMinLabel);
        if (EndLabelWanted(p->fYMax, p->fFirstYTick, p->fYUnit))
            DrawYLabel(p, p->fYMax, p->szYMaxLabel);
    }
}

// An axis title, with the shown data extremes when show min/max is on.
std::string AxisTitle(const NKString &szTitle, const NKAxisTransform &A, float fMin, float fMax)
{
    if (!NKGetPlotShowMinMax()) return szTitle.GetText();
    return NKString::FromFormat("%s (min: %g, max: %g)", szTitle.GetText(), (double)A.Apply(fMin),
                                (double)A.Apply(fMax))
        .GetText();
}

void DrawTitles(const PlotRecord *p)
{
    const NKOrthoView &v = p->ViewportView, &d = p->DataView;
    float fLeft = (float)(d.iX - v.iX), fBottom = (float)(d.iY - v.iY);
    if (p->bAxisTitlesPlaced) {
        glColor3ubv(p->ucContrast[2]);
        if (p->bXTitleShown) {
            const NKBitmapFont *f = p->pFonts[NK_PLOT_FONT_XTITLE];
            std::string s =
                Fitted(AxisTitle(p->szXTitle, p->XTransform, p->fDataXMin, p->fDataXMax).c_str(), f,
                       d.iWidth);
            NKDrawTextAligned(fLeft + (float)d.iWidth * 0.5f, 5.0f, f, &v, 1, 2, s.c_str());
        }
        if (p->bYTitleShown) {
            const NKBitmapFont *f = p->pFonts[NK_PLOT_FONT_YTITLE];
            std::string s =
                Fitted(AxisTitle(p->szYTitle, p->YTransform, p->fDataYMin, p->fDataYMax).c_str(), f,
                       d.iHeight);
            NKDrawTextAligned(5.0f, fBottom + (float)d.iHeight * 0.5f, f, &v, 0, 1, s.c_str());
        }
    }
    if (p->bTitlePlaced) {
        const NKBitmapFont *f = p->pFonts[NK_PLOT_FONT_TITLE];
        glColor3ubv(p->ucContrast[0]);
        std::string s = Fitted(p->szTitle.GetText(), f, v.iWidth - (int)fLeft);
        NKDrawTextAligned(fLeft, (float)v.iHeight - 5.0f, f, &v, 0, 0, s.c_str());
    }
}

void DrawMarkerLines(const PlotRecord *p)
{
    if (!p->bXMarkerLine && !p->bYMarkerLine) return;
    glColor3ubv(p->ucMarkerLineColor);
    glLineWidth(1.0f);
    glBegin(GL_LINES);
    if (p->bXMarkerLine) PlotLine(p, p->fMarkerLinePos, p->fYMin, p->fMarkerLinePos, p->fYMax);
    if (p->bYMarkerLine) PlotLine(p, p->fXMin, p->fYMarkerLinePos, p->fXMax, p->fYMarkerLinePos);
    glEnd();
}

// The marker line follows the frame as step number or time.
void FollowFrame(PlotRecord *p, int iFrame)
{
    if (g_pModel == nullptr) return;
    if (iFrame < 0) iFrame = g_pModel->iCurrentFrame;
    if (p->iXAxisQuantity == 1) p->fMarkerLinePos = (float)(iFrame + 1);
    if (p->iXAxisQuantity == 2 && iFrame < g_pModel->iNumFrames && g_pModel->pFrames != nullptr)
        p->fMarkerLinePos = g_pModel->pFrames[iFrame].fTime;
}

void DrawContents(PlotRecord *p)
{
    ContrastColor(p->ucTitleColor, p->ucBackground, p->ucContrast[0]);
    ContrastColor(p->ucAxisColor, p->ucBackground, p->ucContrast[1]);
    ContrastColor(p->ucLabelColor, p->ucBackground, p->ucContrast[2]);
    ContrastColor(p->ucLegendTextColor, p->ucLegendBackground, p->ucContrast[3]);
    if (p->bBackgroundLegend) NKDrawPlotBackgroundLegend(p);
    DrawGrid(p);
    DrawAxes(p);
    if (p->bTickLabelsPlaced) DrawTickLabels(p);
    DrawTitles(p);
    if (p->bLegendPlaced) NKDrawPlotLegend(p);
    NKDrawPlotCurves(p);
    if (p->bMarkerLineShown) DrawMarkerLines(p);
    NKDrawPlotCurveMarkers(p);
}

}  // namespace

// Saves every state the drawing changes; over the 3-D view also the depth
// test, lighting and both matrices, which become identity.
void NKDrawPlot(PlotRecord *p, bool bInOwnWindow, int iFrame)
{
    if (p == nullptr || p->hGLContext == nullptr) return;
    FollowFrame(p, iFrame);
    glPushAttrib(GL_ENABLE_BIT | GL_LINE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT |
                 GL_VIEWPORT_BIT | GL_HINT_BIT | GL_POLYGON_BIT | GL_TRANSFORM_BIT |
                 GL_SCISSOR_BIT | GL_LIST_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    NKSetOrthoView(&p->ViewportView);
    glMatrixMode(GL_MODELVIEW);
    DrawBackground(p, bInOwnWindow);
    if (p->ViewportView.iWidth >= 50 && p->ViewportView.iHeight >= 50) {
        if (NKPlotCountVisibleCurves(p, false) == 0)
            DrawNoData(p);
        else
            DrawContents(p);
    }
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}
