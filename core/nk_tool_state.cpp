// core/nk_tool_state.cpp -- the tool and plot state kept as data for the
// load road (see nk_tool_state.h).
#include "core/nk_tool_state.h"

Primitive3DList *g_pGlobalPrimitives = nullptr;
int32_t g_iPlotNewModelSetting = 1;
