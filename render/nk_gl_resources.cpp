// render/nk_gl_resources.cpp -- the context resources (see
// nk_gl_resources.h).
#include "render/nk_gl_resources.h"

#include "core/nk_diagnostic.h"
#include "core/nk_render_state.h"

void NKFlagAllListsForUpdate(NKListUpdateInfo *pInfo)
{
    if (pInfo == nullptr) {
        NKDiagnostic("NULL pointer passed", "NKFlagAllListsForUpdate");
        return;
    }
    pInfo->bLights = pInfo->bLightingModels = pInfo->bMaterials = 1;
    pInfo->bPartTextures = pInfo->bTextureImages = pInfo->bLightSwitches = 1;
    pInfo->iMaterialFirst = pInfo->iMaterialLast = -1;
    pInfo->iTextureFirst = pInfo->iTextureLast = -1;
    pInfo->iImageFirst = pInfo->iImageLast = -1;
}
