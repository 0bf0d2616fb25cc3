// core/nk_export_items.cpp -- the empty item data and the item slot of the
// NKF export (see nk_export_items.h).
#include "core/nk_export_items.h"

#include <utility>

#include "core/nk_image_record.h"

PtrArray TextureImageList;
NKItemNode *g_pTraceNodes = nullptr;
int g_iNumTraceNodes = 0;
NKItemNode *g_pNodePlots = nullptr;
int g_iNumNodePlots = 0;

static NKExportItemHooks sg_Hooks;

NKExportItemHooks NKSetExportItemHooks(const NKExportItemHooks &hooks)
{
    return std::exchange(sg_Hooks, hooks);
}

const NKExportItemHooks &NKGetExportItemHooks(void) { return sg_Hooks; }

int NKCountCutPlaneItems(void)
{
    return sg_Hooks.pfnCountCutPlanes ? sg_Hooks.pfnCountCutPlanes() : 0;
}

// Fills aiWords with record i through a record slot; false while it is empty.
static bool GetItemRecord(void (*pfnGet)(int, int32_t *), int i, int32_t aiWords[11])
{
    if (pfnGet == nullptr) return false;
    pfnGet(i, aiWords);
    return true;
}

bool NKGetCutPlaneItem(int iPlane, int32_t aiWords[11])
{
    return GetItemRecord(sg_Hooks.pfnGetCutPlaneRecord, iPlane, aiWords);
}

bool NKGetIsoSurfaceItem(float *pfValue)
{
    return sg_Hooks.pfnGetIsoSurface != nullptr && sg_Hooks.pfnGetIsoSurface(pfValue);
}

int NKCountParticleTraceItems(void)
{
    return sg_Hooks.pfnCountParticleTraceSets ? sg_Hooks.pfnCountParticleTraceSets() : 0;
}

bool NKGetParticleTraceItem(int iSet, int32_t aiWords[11])
{
    return GetItemRecord(sg_Hooks.pfnGetParticleTraceRecord, iSet, aiWords);
}

const char *NKGetTextureName(const ImageRecord *pTexture)
{
    if (pTexture == nullptr) return nullptr;
    return pTexture->szName.GetText();
}
