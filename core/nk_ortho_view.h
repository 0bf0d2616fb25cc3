// core/nk_ortho_view.h -- NKOrthoView, a pixel viewport mapped to a 2-D
// coordinate range. A plain record shared by the label overlay, the 2-D
// plot records (core/nk_plot_records.h) and the plot drawing; its GL set-up
// and converters are in render/nk_text.h.
#pragma once

#include <cstdint>

struct NKOrthoView {
    int32_t iX, iY, iWidth, iHeight;         // viewport, pixels
    float fXMin, fXMax, fYMin, fYMax;        // coordinates of its edges
    float fXUnitsPerPixel, fYUnitsPerPixel;  // derived (NKUpdateOrthoPixelSize)
};
