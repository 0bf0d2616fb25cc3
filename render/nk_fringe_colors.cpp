// render/nk_fringe_colors.cpp -- scalar values to fringe colours.
#include "render/nk_fringe_colors.h"

// Placeholder: the fringe spectrum is not built yet; outputs stay as they are.
void NKMapScalarsToColors(float, float, int, const float *, uint8_t *, float *)
{
}
