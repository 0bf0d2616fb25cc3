// core/nk_view_state.h -- view-wide state that model code reads: the size
// of the 3-D view and the part-highlight settings.
#pragma once

#include <cstdint>

// The width and height of the 3-D view in pixels.
struct NKViewSize {
    int iWidth;
    int iHeight;
};
// Placeholder: set by the view's resize once the view keeps it; 0 x 0 now.
extern NKViewSize NKViewWindowSize;

// The part-highlight settings.
struct NKPartHighlight {
    uint8_t uSelectionColor[3];  // colour of selected polygons
};
// Placeholder: the highlight settings; the selection colour starts red.
extern NKPartHighlight NKPartHighlightSettings;
