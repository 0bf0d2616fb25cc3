// render/nk_background.h -- the background settings of the 3-D view: a mode
// and ten colours, of which colour 0 is the clear colour of the scene and
// the fog colour. The drawing code owns and draws them; the shell reads
// colour 0 when it applies the graphics settings.
#pragma once

#include <cstdint>

struct NKBackgroundSettings {
    int32_t iMode = 0;                // 0 one colour ... 5 an image
    uint8_t ucColors[10][3] = {{0}};  // RGB bytes
};

// Placeholder: the drawing code makes and resets the record; until then a
// black one.
extern NKBackgroundSettings *g_pBackgroundSettings;
