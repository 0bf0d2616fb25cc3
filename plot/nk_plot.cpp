// plot/nk_plot.cpp -- the current plot (see nk_plot.h).
#include "plot/nk_plot.h"

uint8_t g_bPlotInOwnWindow = 0;

void NKPlacePlot(PlotRecord *, int, int, int, int, int, int) {}
