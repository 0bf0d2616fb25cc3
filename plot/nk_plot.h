// plot/nk_plot.h -- the current 2-D plot as the shell sees it: whether it
// has a window of its own, and its placement over the 3-D view. The current
// plot itself (g_pCurrentPlot) is in core/nk_tool_state.h.
#pragma once

#include <cstdint>

struct PlotRecord;

// The plot is shown in its own window (plt separate) rather than over the
// 3-D view. Placeholder: 0.
extern uint8_t g_bPlotInOwnWindow;

// Places the plot over the 3-D view (x, y, w, h in pixels or the edge
// codes; all -2 applies the stored placement to a new view size).
// Placeholder: places nothing.
void NKPlacePlot(PlotRecord *pPlot, int x, int y, int w, int h, int iViewWidth, int iViewHeight);
