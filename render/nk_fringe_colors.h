// render/nk_fringe_colors.h -- mapping of scalar values onto the fringe
// colour spectrum.
#pragma once

#include <cstdint>

// Placeholder: maps each of the count values between fMin and fMax onto the
// fringe spectrum, writing three colour bytes and one 1-D texture coordinate
// per value (either output may be null). Writes nothing yet.
void NKMapScalarsToColors(float fMin, float fMax, int iCount, const float *pfValues,
                          uint8_t *pRGB, float *pfTexCoords);
