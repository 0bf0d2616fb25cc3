// core/nk_tool_state.h -- state of the result tools and the 2-D plots that
// the load road reads before a new model: the 3-D
// primitives that belong to no part, the current plot and one plot setting.
//
// The tools (tools/) and the plots (plot/) own this state; the reset before
// a new model (commands/nk_load_sequence.h) stops the sounds, deletes the
// global primitives and kills the plot. Until those folders keep it, it is
// plain data here, each with its start value, and they take it over under
// the same names. The objects are opaque here.
#pragma once

#include <cstdint>

class Primitive3DList;
struct PlotRecord;

// The 3-D primitives that belong to no part (tools/nk_primitives_3d.h),
// null until the first; released through NKReleasePrimitives
// (core/nk_model_hooks.h).
extern Primitive3DList *g_pGlobalPrimitives;

// The current 2-D plot, g_pCurrentPlot, is in core/nk_plot_records.h.
extern PlotRecord *g_pCurrentPlot;

// The one integer setting of the 2-D plots that a new model (without
// keepsettings) sets back to 1 in the load sequence's reset; no plot code
// reads it.
extern int32_t g_iPlotNewModelSetting;
