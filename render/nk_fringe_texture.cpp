// render/nk_fringe_texture.cpp -- the fringe texture table and its upload
// (see nk_fringe_texture.h).
#include "render/nk_fringe_texture.h"

#include <GL/gl.h>

#include <cstring>

#include "core/nk_memory.h"

NKFringeTextureColors *g_pFringeTextureColors = nullptr;
uint8_t NKFringeTextureDirty = 1;

namespace {

const uint8_t kDefaultSpectrum[48] = {0,   0,   255, 0,   125, 255, 0,   170, 255, 0,   215, 255,
                                      0,   255, 255, 0,   255, 195, 0,   255, 130, 0,   255, 65,
                                      75,  255, 0,   150, 255, 0,   220, 255, 0,   255, 255, 0,
                                      255, 215, 0,   255, 170, 0,   255, 125, 0,   255, 0,   0};

}  // namespace

NKFringeTextureColors *NKCreateFringeTextureColors(void)
{
    auto *p = static_cast<NKFringeTextureColors *>(NKAlloc(sizeof(NKFringeTextureColors)));
    if (p == nullptr) return nullptr;
    NKResetFringeTextureColors(p->auColors);
    p->iCount = 16;
    return p;
}

bool NKResetFringeTextureColors(uint8_t *puTable)
{
    if (puTable == nullptr) return false;
    std::memcpy(puTable, kDefaultSpectrum, sizeof(kDefaultSpectrum));
    return true;
}

bool NKReverseFringeTextureColors(uint8_t *puTable)
{
    if (puTable == nullptr) return false;
    for (int i = 0; i < 16; i++) std::memcpy(puTable + 3 * i, kDefaultSpectrum + 3 * (15 - i), 3);
    return true;
}

void NKLoadFringeTexture(const NKFringeTextureColors *pColors)
{
    if (pColors == nullptr) return;
    GLint iAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &iAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage1D(GL_TEXTURE_1D, 0, 3, pColors->iCount, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 pColors->auColors);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glPixelStorei(GL_UNPACK_ALIGNMENT, iAlignment);
}

void NKEnableFringeTexture(bool bOn)
{
    if (!bOn) {
        glDisable(GL_TEXTURE_1D);
        return;
    }
    if (NKFringeTextureDirty && g_pFringeTextureColors != nullptr) {
        NKLoadFringeTexture(g_pFringeTextureColors);
        NKFringeTextureDirty = 0;
    }
    glEnable(GL_TEXTURE_1D);
}

const uint8_t *NKFringeTextureBandColor(float fValue, float fFrom, float fTo)
{
    const uint8_t *puTable =
        g_pFringeTextureColors != nullptr ? g_pFringeTextureColors->auColors : kDefaultSpectrum;
    const double dRange = static_cast<double>(fTo) - fFrom;
    double dBand = dRange > 0.0 ? (fValue - static_cast<double>(fFrom)) / dRange * 16.0 : 0.0;
    if (!(dBand >= 0.0)) dBand = 0.0;
    if (dBand > 15.0) dBand = 15.0;
    return puTable + 3 * static_cast<int>(dBand);
}
