// core/nk_view_state.cpp -- the view size and part-highlight globals.
#include "core/nk_view_state.h"

NKViewSize NKViewWindowSize = {0, 0};
NKPartHighlight NKPartHighlightSettings = {{255, 0, 0}};
