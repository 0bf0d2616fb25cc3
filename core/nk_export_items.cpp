// core/nk_export_items.cpp -- the empty item data and the item slot of the
// NKF export (see nk_export_items.h).
#include "core/nk_export_items.h"

#include "core/nk_image_record.h"

PtrArray TextureImageList;
NKItemNode *g_pTraceNodes = nullptr;
int g_iNumTraceNodes = 0;
NKItemNode *g_pNodePlots = nullptr;
int g_iNumNodePlots = 0;

static NKExportItemHooks s_Hooks;

NKExportItemHooks NKSetExportItemHooks(const NKExportItemHooks &hooks)
{
    NKExportItemHooks previous = s_Hooks;
    s_Hooks = hooks;
    return previous;
}

const NKExportItemHooks &NKGetExportItemHooks(void) { return s_Hooks; }

int NKCountCutPlaneItems(void)
{
    return s_Hooks.pfnCountCutPlanes ? s_Hooks.pfnCountCutPlanes() : 0;
}

bool NKGetCutPlaneItem(int iPlane, int32_t aiWords[11])
{
    if (s_Hooks.pfnGetCutPlaneRecord == nullptr) return false;
    s_Hooks.pfnGetCutPlaneRecord(iPlane, aiWords);
    return true;
}

bool NKGetIsoSurfaceItem(float *pfValue)
{
    return s_Hooks.pfnGetIsoSurface != nullptr && s_Hooks.pfnGetIsoSurface(pfValue);
}

int NKCountParticleTraceItems(void)
{
    return s_Hooks.pfnCountParticleTraceSets ? s_Hooks.pfnCountParticleTraceSets() : 0;
}

bool NKGetParticleTraceItem(int iSet, int32_t aiWords[11])
{
    if (s_Hooks.pfnGetParticleTraceRecord == nullptr) return false;
    s_Hooks.pfnGetParticleTraceRecord(iSet, aiWords);
    return true;
}

const char *NKGetTextureName(const ImageRecord *pTexture)
{
    if (pTexture == nullptr) return nullptr;
    return pTexture->szName.GetText();
}
