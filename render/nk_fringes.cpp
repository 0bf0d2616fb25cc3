// render/nk_fringes.cpp -- fringe colour mapping (see nk_fringes.h).
#include "render/nk_fringes.h"

// Placeholder: neutral colours and coordinates until the spectrum exists.
void NKMapScalarsToColors(float, float, int iCount, const float *pfValues, uint8_t *pColors,
                          float *pfTexCoords)
{
    if (pfValues == nullptr || pColors == nullptr || pfTexCoords == nullptr) return;
    for (int i = 0; i < iCount; i++) {
        pColors[3 * i] = pColors[3 * i + 1] = pColors[3 * i + 2] = 0;
        pfTexCoords[i] = 0.0f;
    }
}
