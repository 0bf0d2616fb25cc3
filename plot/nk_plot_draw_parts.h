// plot/nk_plot_draw_parts.h -- what the two drawing files of the plot share:
// data values to the viewport's pixels and the passes of NKDrawPlot that
// nk_plot_curves_draw.cpp holds. Only plot/ includes it.
#pragma once

#include "plot/nk_plot.h"

// A data value to the pixel of the plot viewport (0..width, 0..height).
float PlotPixelX(const PlotRecord *p, float x);
float PlotPixelY(const PlotRecord *p, float y);
// Two vertices of a line between data points (inside glBegin(GL_LINES)).
void PlotLine(const PlotRecord *p, float x0, float y0, float x1, float y1);

// The passes of NKDrawPlot after the axes and titles.
void NKDrawPlotLegend(const PlotRecord *p);
void NKDrawPlotCurves(const PlotRecord *p);
void NKDrawPlotCurveMarkers(const PlotRecord *p);
void NKDrawPlotBackgroundLegend(const PlotRecord *p);
