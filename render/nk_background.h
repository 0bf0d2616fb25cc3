// render/nk_background.h -- the background settings of the 3-D view: a mode
// and ten colours, of which colour 0 is the clear colour of the scene and
// the fog colour. The drawing code owns and draws them; the shell reads
// colour 0 when it applies the graphics settings.
#pragma once

#include <cstdint>

// Reset modes of NKResetBackgroundSettings.
enum {
    NK_BACKGROUND_RESET_STARTUP = 0,
    NK_BACKGROUND_RESET_NEW_MODEL = 1,
    NK_BACKGROUND_RESET_KEEP = 2
};

struct NKBackgroundSettings {
    int32_t iMode = 0;                // 0 one colour ... 5 an image
    uint8_t ucColors[10][3] = {{0}};  // RGB bytes
};

// The program's record, alive for the whole run; it starts as a reset in
// mode 0 leaves it (mode 0, every colour black).
extern NKBackgroundSettings *g_pBackgroundSettings;

// Mode 2 (keep) changes nothing; every other mode sets the mode to 0 and
// all ten colours to black. False for a null record.
bool NKResetBackgroundSettings(NKBackgroundSettings *pSettings, int iMode);
