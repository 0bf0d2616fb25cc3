// plot/nk_plot.cpp -- binding a plot to a GL context (its five fonts and
// three stipple lists), its viewport, and its placement over the 3-D view
// (see nk_plot.h). The axis update and layout are nk_plot_axes.cpp.
#include "plot/nk_plot.h"

#include <GL/gl.h>

#include "platform/nk_gl_context.h"
#include "render/nk_text.h"

namespace {

// Face, size and style of each plot font, in the order of NK_PLOT_FONT_*.
struct FontSpec {
    int iPoints;
    uint32_t uStyle;
};
const FontSpec kFonts[NK_PLOT_NUM_FONTS] = {{8, 0},
                                            {10, 0},
                                            {10, NK_FONT_VERTICAL},
                                            {12, NK_FONT_BOLD | NK_FONT_ITALIC},
                                            {8, NK_FONT_ITALIC}};

void MakeResources(PlotRecord *pPlot)
{
    for (int i = 0; i < NK_PLOT_NUM_FONTS; i++)
        pPlot->pFonts[i] = NKCreateBitmapFont("Arial", kFonts[i].iPoints, kFonts[i].uStyle);
    pPlot->uStippleListBase = glGenLists(3);
    if (pPlot->uStippleListBase == 0) return;
    glNewList(pPlot->uStippleListBase, GL_COMPILE);
    glDisable(GL_LINE_STIPPLE);
    glEndList();
    const GLushort aPatterns[2] = {0xF0F0, 0x8888};
    for (int i = 0; i < 2; i++) {
        glNewList(pPlot->uStippleListBase + 1 + i, GL_COMPILE);
        glEnable(GL_LINE_STIPPLE);
        glLineStipple(1, aPatterns[i]);
        glEndList();
    }
}

// The lists are deleted only in their own context (bCurrent); a destroyed
// context took them with it, and the font records go either way.
void FreeResources(PlotRecord *pPlot, bool bCurrent)
{
    for (int i = 0; i < NK_PLOT_NUM_FONTS; i++) {
        NKDeleteBitmapFont(pPlot->pFonts[i]);
        pPlot->pFonts[i] = nullptr;
    }
    if (bCurrent && pPlot->uStippleListBase != 0) glDeleteLists(pPlot->uStippleListBase, 3);
    pPlot->uStippleListBase = 0;
}

}  // namespace

void *NKPlotAttachContext(PlotRecord *pPlot, void *hContext)
{
    if (pPlot == nullptr) return nullptr;
    NKPlotDetachContext(pPlot);
    void *hPrevious = NKGetCurrentGLContextHandle();
    if (hContext == nullptr) hContext = hPrevious;
    if (hContext == nullptr || !NKMakeGLContextHandleCurrent(hContext)) return nullptr;
    pPlot->hGLContext = hContext;
    MakeResources(pPlot);
    NKMakeGLContextHandleCurrent(hPrevious);
    NKPlotComputeLayout(pPlot);
    return hContext;
}

void *NKPlotDetachContext(PlotRecord *pPlot)
{
    if (pPlot == nullptr || pPlot->hGLContext == nullptr) return nullptr;
    void *hOld = pPlot->hGLContext;
    void *hPrevious = NKGetCurrentGLContextHandle();
    FreeResources(pPlot, NKMakeGLContextHandleCurrent(hOld));
    NKMakeGLContextHandleCurrent(hPrevious);
    pPlot->hGLContext = nullptr;
    return hOld;
}

void NKSetPlotViewport(PlotRecord *pPlot, int x, int y, int iWidth, int iHeight)
{
    if (pPlot == nullptr) return;
    NKOrthoView &v = pPlot->ViewportView;
    if (x >= 0) v.iX = x;
    if (y >= 0) v.iY = y;
    if (iWidth >= 0) v.iWidth = iWidth;
    if (iHeight >= 0) v.iHeight = iHeight;
    v.fXMin = 0.0f;
    v.fXMax = (float)v.iWidth;
    v.fYMin = 0.0f;
    v.fYMax = (float)v.iHeight;
    NKUpdateOrthoPixelSize(&v);
    NKPlotComputeLayout(pPlot);
}

static int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

void NKSetPlotViewportClamped(PlotRecord *pPlot, int x, int y, int w, int h, int iViewWidth,
                              int iViewHeight)
{
    if (pPlot == nullptr) return;
    w = Clamp(w, 0, iViewWidth > 0 ? iViewWidth : 0);
    h = Clamp(h, 0, iViewHeight > 0 ? iViewHeight : 0);
    x = Clamp(x, 0, iViewWidth - w > 0 ? iViewWidth - w : 0);
    y = Clamp(y, 0, iViewHeight - h > 0 ? iViewHeight - h : 0);
    NKSetPlotViewport(pPlot, x, y, w, h);
}

void NKGetPlotViewport(const PlotRecord *pPlot, int *piX, int *piY, int *piWidth, int *piHeight)
{
    if (pPlot == nullptr) return;
    if (piX != nullptr) *piX = pPlot->ViewportView.iX;
    if (piY != nullptr) *piY = pPlot->ViewportView.iY;
    if (piWidth != nullptr) *piWidth = pPlot->ViewportView.iWidth;
    if (piHeight != nullptr) *piHeight = pPlot->ViewportView.iHeight;
}

// The position of a remembered edge or centre code (-3/-6 low, -4 centre,
// -5/-7 high) for a size in a view.
static int EdgePosition(int iCode, int iSize, int iView, int iCurrent)
{
    if (iCode == -3 || iCode == -6) return 0;
    if (iCode == -4) return (iView - iSize) / 2;
    if (iCode == -5 || iCode == -7) return iView - iSize;
    return iCurrent;
}

static void Remember(int32_t *piCode, int iGiven)
{
    if (iGiven >= 0)
        *piCode = 0;
    else if (iGiven != -1)
        *piCode = iGiven;
}

void NKPlacePlot(PlotRecord *pPlot, int x, int y, int w, int h, int iViewWidth, int iViewHeight)
{
    if (pPlot == nullptr || iViewWidth <= 0 || iViewHeight <= 0) return;
    const NKOrthoView &v = pPlot->ViewportView;
    bool bReapply = x == -2 && y == -2 && w == -2 && h == -2;
    if (bReapply) {
        x = (int)(pPlot->fPlaceFractions[0] * (float)iViewWidth);
        y = (int)(pPlot->fPlaceFractions[1] * (float)iViewHeight);
        w = (int)(pPlot->fPlaceFractions[2] * (float)iViewWidth);
        h = (int)(pPlot->fPlaceFractions[3] * (float)iViewHeight);
    } else {
        Remember(&pPlot->iPlaceXCode, x);
        Remember(&pPlot->iPlaceYCode, y);
        if (w < 0) w = v.iWidth;
        if (h < 0) h = v.iHeight;
        if (x < 0) x = v.iX;
        if (y < 0) y = v.iY;
    }
    x = EdgePosition(pPlot->iPlaceXCode, w, iViewWidth, x);
    y = EdgePosition(pPlot->iPlaceYCode, h, iViewHeight, y);
    NKSetPlotViewportClamped(pPlot, x, y, w, h, iViewWidth, iViewHeight);
    if (bReapply) return;
    float f[4] = {((float)v.iX + 0.5f) / (float)iViewWidth,
                  ((float)v.iY + 0.5f) / (float)iViewHeight, (float)v.iWidth / (float)iViewWidth,
                  (float)v.iHeight / (float)iViewHeight};
    for (int i = 0; i < 4; i++) pPlot->fPlaceFractions[i] = f[i] > 1.0f ? 1.0f : f[i];
}
