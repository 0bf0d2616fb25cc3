// core/nk_part_palette.h -- the current part palette.
//
// Sixteen RGB byte triples (0 to 255). A part without a colour of its own
// takes entry (part index mod 16) when default attributes are applied
// (NKSetDefaultPartAttributes in core/nk_model.cpp). The colour commands may
// overwrite the contents with an older palette of the same form.
#pragma once

#include <cstdint>

extern uint8_t NKPartPalette[16][3];

// The palette the program starts with.
extern const uint8_t NKStartupPartPalette[16][3];
