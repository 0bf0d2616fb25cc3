// render/nk_fringe_texture.h -- the 16-colour fringe texture: its table,
// the default and reversed spectrum, uploading it as the current 1-D
// texture and switching it on and off.
//
// The element drawers, the legend and the tool surfaces bind the texture
// and send the 1-D coordinates of nk_node_colors.h, so that fringes come
// out as sharp bands. The texture image is not a texture object: whoever
// replaces the current texture image (part texture lists, background and
// overlay images, a new context) sets NKFringeTextureDirty, and the next
// NKEnableFringeTexture(true) uploads the table again.
#pragma once

#include <cstdint>

struct NKFringeTextureColors {
    uint8_t auColors[48];  // 16 RGB triples, index 0 the lowest band
    int32_t iCount;        // 16
};

// The program's table; made by NKInstallRenderer, null before.
extern NKFringeTextureColors *g_pFringeTextureColors;
// Set when the current texture image may no longer be the fringe texture.
extern uint8_t NKFringeTextureDirty;

// A new table with the default spectrum (NKFree releases it); null when
// out of memory.
NKFringeTextureColors *NKCreateFringeTextureColors(void);
// Write the default or the reversed spectrum into the 48 bytes; false for
// null.
bool NKResetFringeTextureColors(uint8_t *puTable);
bool NKReverseFringeTextureColors(uint8_t *puTable);
// Uploads the table as the current 1-D texture (nearest filtering, repeat
// wrapping, no coordinate generation); the unpack alignment is kept.
void NKLoadFringeTexture(const NKFringeTextureColors *pColors);
// Off disables GL_TEXTURE_1D; on uploads the program's table first when it
// is dirty, then enables GL_TEXTURE_1D.
void NKEnableFringeTexture(bool bOn);
// The colour of the band of fValue over [fFrom, fTo] in the program's table
// (or the default spectrum without one): truncation of the share x 16,
// clamped to 0..15; an empty or reversed range gives band 0.
const uint8_t *NKFringeTextureBandColor(float fValue, float fFrom, float fTo);
