// render/nk_fringes.h -- the mapping of scalar values onto the fringe colour
// spectrum, as the model core asks for it when it makes result entries for
// new parts.
#pragma once

#include <cstdint>

// Placeholder: writes colour 0, 0, 0 and texture coordinate 0 for each value
// until the fringe colours are built. Maps each of the iCount values onto the
// spectrum between fMin and fMax: three colour bytes and one 1-D texture
// coordinate per value. Nothing happens for null arrays or iCount < 1.
void NKMapScalarsToColors(float fMin, float fMax, int iCount, const float *pfValues,
                          uint8_t *pColors, float *pfTexCoords);
