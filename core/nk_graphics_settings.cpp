// core/nk_graphics_settings.cpp -- creation and reset of NKGraphicsSettings
// (see nk_graphics_settings.h). Plain C++: no Qt, no OpenGL.
#include "core/nk_graphics_settings.h"

#include <new>

#include "core/nk_memory.h"

NKGraphicsSettings *g_pGraphicsSettings = nullptr;
uint8_t g_bDefaultPolygonOffset = 0;
uint8_t g_bViewInvalidated = 0;
uint8_t g_bSynchronousPaint = 0;
int g_iRendererQuirk = 8;
NKRendererWorkarounds g_RendererWorkarounds;
unsigned int g_uStippleListBase = 0;

namespace {

// Copies the fields that only the start-up reset sets.
void CopyStartupFields(NKGraphicsSettings *pSettings, const NKGraphicsSettings &source)
{
    pSettings->bSingleBuffer = source.bSingleBuffer;
    pSettings->bStereo = source.bStereo;
    pSettings->bQuadBufferStereo = source.bQuadBufferStereo;
    pSettings->iStartupSetting1 = source.iStartupSetting1;
    pSettings->iStartupSetting2 = source.iStartupSetting2;
    for (int i = 0; i < 4; i++) pSettings->fStartupFactors[i] = source.fStartupFactors[i];
    pSettings->bDisplaySwitches[0] = source.bDisplaySwitches[0];
    pSettings->bDisplaySwitches[1] = source.bDisplaySwitches[1];
}

}  // namespace

NKGraphicsSettings *NKCreateRenderOptions(NKGraphicsSettings *pSettings)
{
    if (pSettings == nullptr) {
        void *pMemory = NKAlloc(sizeof(NKGraphicsSettings));
        if (pMemory == nullptr) return nullptr;
        pSettings = new (pMemory) NKGraphicsSettings();
    }
    NKInitRenderOptions(pSettings, NK_RENDER_RESET_STARTUP);
    return pSettings;
}

void NKDestroyRenderOptions(NKGraphicsSettings *pSettings)
{
    if (pSettings == nullptr) return;
    pSettings->~NKGraphicsSettings();
    NKFree(pSettings);
}

// A mode-1 reset must keep the start-up fields, so they are saved around the
// whole-record reset and put back.
bool NKInitRenderOptions(NKGraphicsSettings *pSettings, int iMode)
{
    if (pSettings == nullptr) return false;
    if (iMode == NK_RENDER_RESET_MODEL || iMode == NK_RENDER_RESET_STARTUP) {
        NKGraphicsSettings kept = *pSettings;
        *pSettings = NKGraphicsSettings();
        if (iMode == NK_RENDER_RESET_MODEL) CopyStartupFields(pSettings, kept);
        pSettings->bPolygonOffset = g_bDefaultPolygonOffset;
    }
    pSettings->bChanged = 1;
    return true;
}

void NKSetRenderOptionsChanged(NKGraphicsSettings *pSettings)
{
    if (pSettings != nullptr) pSettings->bChanged = 1;
}

float NKGetSmoothNormalAngle(void)
{
    if (g_pGraphicsSettings == nullptr) return NKGraphicsSettings().fSmoothNormalAngle;
    return g_pGraphicsSettings->fSmoothNormalAngle;
}

bool NKTextureFringesOn(void)
{
    return g_pGraphicsSettings != nullptr && g_pGraphicsSettings->bTextureFringes != 0;
}
