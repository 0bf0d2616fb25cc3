// plot/nk_plot.h -- drawing the 2-D plot (core/nk_plot_records.h) with
// OpenGL: binding it to a GL context with its fonts and stipple lists, its
// viewport and placement over the 3-D view, the axis ranges, ticks and tick
// labels, the layout of the plot inside its viewport, and the drawing
// itself (background, grid, axes, labels, titles, legend, curves, markers,
// marker lines, background legend).
//
// nk_plot.cpp holds the binding, viewport and placement, nk_plot_axes.cpp
// the axis update and layout, nk_plot_draw.cpp and nk_plot_curves_draw.cpp
// the drawing. The same drawing serves the plot over the 3-D view, in its
// own window, in bitmaps and in print. A plot with no context bound is
// never drawn and measures every text as 0 x 0, so commands work without a
// display.
#pragma once

#include <cstdint>

#include "core/nk_plot_records.h"

struct NKBitmapFont;

// Releases any previous binding, binds the plot to hContext (null: the
// current context), makes it current while the five fonts and three stipple
// lists are made, restores the context current before. Returns the bound
// context; null (plot unbound) when there is none.
void *NKPlotAttachContext(PlotRecord *pPlot, void *hContext);
// Makes the plot's context current when needed, deletes its fonts and
// lists, restores the previous context and clears the binding. A context
// that was destroyed meanwhile took the lists with it: only the records go.
// Returns the old context; null when the plot was not bound.
void *NKPlotDetachContext(PlotRecord *pPlot);

// Negative values keep their field; sets the viewport view to 0..width,
// 0..height and lays the plot out again.
void NKSetPlotViewport(PlotRecord *pPlot, int x, int y, int iWidth, int iHeight);
// Negatives clamp to 0, the size to the view; the position moves so that
// the plot stays inside the view; then NKSetPlotViewport.
void NKSetPlotViewportClamped(PlotRecord *pPlot, int x, int y, int w, int h, int iViewWidth,
                              int iViewHeight);
void NKGetPlotViewport(const PlotRecord *pPlot, int *piX, int *piY, int *piWidth, int *piHeight);
// Places the plot in the 3-D view. x: -3 left, -4 centred, -5 right, -1
// keep, else pixels; y: -6 bottom, -4 centred, -7 top, -1 keep, else
// pixels; w, h -1 keep. All -2 re-applies the stored fractions and edges to
// a new view size.
void NKPlacePlot(PlotRecord *pPlot, int x, int y, int w, int h, int iViewWidth, int iViewHeight);

// Sign-aware "more than 0.1 % above": a value of 0 or less is never beyond
// a non-negative one, a non-negative value always beyond a negative one,
// otherwise a > b x 1.001.
bool NKFloatGreaterBeyond(float a, float b);
// Axis ranges, units, ticks, tick labels, crossings and layout from the
// data range and the axis flags. Call after every change of curves, flags,
// ranges or transforms, never per frame.
void NKPlotUpdateAxes(PlotRecord *pPlot);
// Margins and placement of labels, titles and legend in the viewport.
void NKPlotComputeLayout(PlotRecord *pPlot);

// Draws the plot into the current GL context; iFrame -1 is the current
// frame. Over the 3-D view (not bInOwnWindow) depth test and lighting are
// off while drawing and every changed state is restored.
void NKDrawPlot(PlotRecord *pPlot, bool bInOwnWindow, int iFrame);
// Every channel within iTolerance.
bool NKCompareRGB(const uint8_t *a, const uint8_t *b, int iTolerance);
// What NKDrawPlotMarkers draws: type (0 none, 1-10 shapes, 100-801
// letters), size in pixels, colour and line width of the outlines.
struct NKPlotMarkerStyle {
    int32_t iType = 0;
    int32_t iSize = 7;
    uint8_t ucColor[3] = {255, 255, 255};
    int32_t iLineWidth = 1;
};
// Markers at the defined points, every step-th when there are more than
// iMostMarkers (step = n / iMostMarkers); letters in pFont. pDataView maps
// the points, pPixelView the pixels of the same area.
void NKDrawPlotMarkers(const NKPlotMarkerStyle *pStyle, const NKPlotPoint *pPoints, int n,
                       int iMostMarkers, const NKBitmapFont *pFont, const NKOrthoView *pDataView,
                       const NKOrthoView *pPixelView);

// The points of pCurve (the forming limit diagram's strain scatter) of the
// shells selected in the view, valid until the next call; none for other
// curves (nk_forming_limit.cpp).
int NKPlotFLDHighlightPoints(const PlotCurve *pCurve, const NKPlotPoint **ppPoints);
