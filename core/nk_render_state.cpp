// core/nk_render_state.cpp -- the display state kept as data for the load
// road (see nk_render_state.h).
#include "core/nk_render_state.h"

#include <cstring>

#include "core/nk_diagnostic.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"

float g_fNearClip = NK_DEFAULT_NEAR_CLIP;
float g_fFarClip = NK_DEFAULT_FAR_CLIP;
uint8_t g_bHiddenCullingOn = 0;
uint8_t g_bHiddenCullingAnalysis = 0;
NKString g_szStepText("");
NKContourSettings g_ContourSettings;
NKVectorSettings g_VectorSettings;
NKVectorSettings g_SeparateVectorSettings[3];
NKMirrorSettings g_MirrorSettings;
NKSelectionList g_SelectionList;
int32_t NKSelectionFeedbackMode = 1;
uint8_t NKVertexArraySwitch = 0;
uint8_t NKStrokeFontSwitch = 0;

namespace {
NKListUpdateInfo sg_ListUpdateInfo;
}

NKListUpdateInfo *g_pListUpdateInfo = &sg_ListUpdateInfo;

void NKResetContourSettings(NKContourSettings *pSettings)
{
    if (pSettings == nullptr) return;
    // The arrays are freed here rather than dropped: a reset before every
    // model would otherwise lose three arrays each time.
    NKFree(pSettings->pLineWidths);
    NKFree(pSettings->pLevels);
    NKFree(pSettings->pColors);
    *pSettings = NKContourSettings();
}

bool NKResetVectorSettings(NKVectorSettings *pSettings, int iMode)
{
    if (pSettings == nullptr) return false;
    if (iMode != NK_VECTOR_RESET_STARTUP && iMode != NK_VECTOR_RESET_NEW_MODEL) return true;
    // A new model keeps the automatic scaling the user chose.
    uint8_t bAutoScale = pSettings->bAutoScale;
    float fAutoScaleFactor = pSettings->fAutoScaleFactor;
    *pSettings = NKVectorSettings();
    if (iMode == NK_VECTOR_RESET_NEW_MODEL) {
        pSettings->bAutoScale = bAutoScale;
        pSettings->fAutoScaleFactor = fAutoScaleFactor;
    }
    return true;
}

void NKSelectionList::Clear()
{
    for (int i = 0; i < iCount && ppPicks != nullptr; i++) NKFree(ppPicks[i]);
    NKFree(ppPicks);
    NKFree(ppFiltered);
    NKFree(pScratch);
    ppPicks = nullptr;
    ppFiltered = nullptr;
    pScratch = nullptr;
    iCapacity = 0;
    iCount = 0;
}

bool NKSelectionList::Add(const NKPickInfo &pick)
{
    if (iCount >= iCapacity) {
        int32_t iNew = iCapacity < 8 ? 8 : iCapacity * 2;
        auto **ppNewPicks = (NKPickInfo **)NKRealloc(ppPicks, (size_t)iNew * sizeof(NKPickInfo *));
        if (ppNewPicks == nullptr) return false;
        ppPicks = ppNewPicks;
        auto **ppNewFiltered =
            (NKPickInfo **)NKRealloc(ppFiltered, (size_t)iNew * sizeof(NKPickInfo *));
        if (ppNewFiltered == nullptr) return false;
        ppFiltered = ppNewFiltered;
        auto *pNewScratch = (int32_t(*)[3])NKRealloc(pScratch, (size_t)iNew * sizeof(*pScratch));
        if (pNewScratch == nullptr) return false;
        pScratch = pNewScratch;
        iCapacity = iNew;
    }
    auto *pCopy = (NKPickInfo *)NKAlloc(sizeof(NKPickInfo));
    if (pCopy == nullptr) return false;
    std::memcpy(static_cast<void *>(pCopy), &pick, sizeof(NKPickInfo));
    iMode = 5;
    ppPicks[iCount++] = pCopy;
    return true;
}

void NKFlagMaterialsForUpdate(NKListUpdateInfo *pInfo, int iFirst, int iLast)
{
    if (pInfo == nullptr) {
        NKDiagnostic("NULL pointer passed", "NKFlagMaterialsForUpdate");
        return;
    }
    if (!pInfo->bMaterials) {
        pInfo->bMaterials = 1;
        pInfo->iMaterialFirst = iFirst;
        pInfo->iMaterialLast = iLast;
        return;
    }
    if (pInfo->iMaterialFirst == -1 || pInfo->iMaterialLast == -1) return;  // already all
    if (iFirst == -1 && iLast == -1) {
        pInfo->iMaterialFirst = -1;
        pInfo->iMaterialLast = -1;
        return;
    }
    if (iFirst < pInfo->iMaterialFirst) pInfo->iMaterialFirst = iFirst;
    if (iLast > pInfo->iMaterialLast) pInfo->iMaterialLast = iLast;
}

NKValueFilterSettings g_ValueFilterSettings;
