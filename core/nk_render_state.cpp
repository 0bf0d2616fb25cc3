// core/nk_render_state.cpp -- the display state kept as data for the load
// road (see nk_render_state.h).
#include "core/nk_render_state.h"

#include <cstring>
#include <utility>

#include "core/nk_diagnostic.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"

float g_fNearClip = NK_DEFAULT_NEAR_CLIP;
float g_fFarClip = NK_DEFAULT_FAR_CLIP;
HiddenPartCuller g_HiddenPartCuller;
uint8_t &g_bHiddenCullingOn = g_HiddenPartCuller.bEnabled;
uint8_t &g_bHiddenCullingAnalysis = g_HiddenPartCuller.bAnalysisOn;
NKString g_szStepText("");
NKContourSettings g_ContourSettings;
NKVectorSettings g_VectorSettings;
uint8_t g_uOneComponentVector[3] = {0, 0, 0};
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
    for (int i = 0; i < iCount && ppPicks != nullptr; i++) {
        if (ppPicks[i] != nullptr) NKReleaseGeometry(ppPicks[i]->pGeometry);
        NKFree(ppPicks[i]);
    }
    NKFreeAndClear(&ppPicks, &ppFiltered, &pScratch);
    iCapacity = 0;
    iCount = 0;
}

bool NKSelectionList::Remove(int32_t i)
{
    if (i < 0 || i >= iCount || ppPicks == nullptr) return false;
    if (ppPicks[i] != nullptr) NKReleaseGeometry(ppPicks[i]->pGeometry);
    NKFree(ppPicks[i]);
    for (int k = i; k + 1 < iCount; k++) ppPicks[k] = ppPicks[k + 1];
    ppPicks[--iCount] = nullptr;
    return true;
}

namespace {

// The mode's validity test of a pick.
bool PickFitsMode(const NKPickInfo &pick, int32_t iMode)
{
    if (pick.iFrame == -1) return false;
    if (iMode == 7) return pick.iPart == -1;
    if (pick.iPart == -1) return false;
    if (iMode == 2) return pick.iElement != -1;
    if (iMode == 3) return pick.iPolygon != -1;
    if (iMode == 4) return pick.iNode != -1;
    return true;
}

// Whether entry e repeats the pick in this mode (modes 1 to 4 only).
bool SamePick(const NKPickInfo &e, const NKPickInfo &pick, int32_t iMode)
{
    if (iMode < 1 || iMode > 4 || e.iPart != pick.iPart) return false;
    if (iMode == 2) return e.iElement == pick.iElement;
    if (iMode == 3) return e.iPolygon == pick.iPolygon;
    if (iMode == 4) return e.iNode == pick.iNode;
    return true;
}

}  // namespace

bool NKSelectionList::Add(const NKPickInfo &pick)
{
    if (iMode == 0) return false;
    if (pick.iFrame == -1 && (iMode == 4 || iMode == 6)) Clear();
    if (!PickFitsMode(pick, iMode)) return false;
    // The duplicate test comes before keep-previous empties the list, so
    // that a second pick of the only listed entry removes it.
    for (int i = 0; i < iCount; i++) {
        if (ppPicks[i] == nullptr || !SamePick(*ppPicks[i], pick, iMode)) continue;
        if (!bToggle) return false;
        return Remove(i);
    }
    if (!bKeepPrevious) Clear();
    if (iMode == 6 && iCount >= 2) Clear();
    auto *pCopy = static_cast<NKPickInfo *>(NKAlloc(sizeof(NKPickInfo)));
    if (pCopy == nullptr) return false;
    if (iCount == iCapacity) {
        const int32_t iNew = iCapacity + 20;
        auto **ppNewPicks = static_cast<NKPickInfo **>(NKCalloc(iNew, sizeof(NKPickInfo *)));
        auto **ppNewFiltered = static_cast<NKPickInfo **>(NKCalloc(iNew, sizeof(NKPickInfo *)));
        auto *pNewScratch = static_cast<int32_t(*)[3]>(NKCalloc(iNew, sizeof(*pScratch)));
        if (ppNewPicks == nullptr || ppNewFiltered == nullptr || pNewScratch == nullptr) {
            NKFree(ppNewPicks);
            NKFree(ppNewFiltered);
            NKFree(pNewScratch);
            NKFree(pCopy);
            return false;
        }
        for (int i = 0; i < iCount; i++) ppNewPicks[i] = ppPicks[i];
        NKFree(ppPicks);
        NKFree(ppFiltered);
        NKFree(pScratch);
        ppPicks = ppNewPicks;
        ppFiltered = ppNewFiltered;
        pScratch = pNewScratch;
        iCapacity = iNew;
    }
    std::memcpy(static_cast<void *>(pCopy), &pick, sizeof(NKPickInfo));
    if (pCopy->pGeometry != nullptr) pCopy->pGeometry->iNumRef++;
    ppPicks[iCount++] = pCopy;
    return true;
}

NKPickInfo *const *NKSelectionList::GetEntries(bool bOnlyFilterGeometry, int *piCount) const
{
    if (!bOnlyFilterGeometry || pGeometryFilter == nullptr || ppFiltered == nullptr) {
        if (piCount != nullptr) *piCount = iCount;
        return ppPicks;
    }
    int n = 0;
    for (int i = 0; i < iCount; i++)
        if (ppPicks[i] != nullptr && ppPicks[i]->pGeometry == pGeometryFilter)
            ppFiltered[n++] = ppPicks[i];
    if (piCount != nullptr) *piCount = n;
    return ppFiltered;
}

// Sets a flag byte to 1 or 0 and answers whether it was set before.
static bool SwapFlag(uint8_t *pFlag, bool bOn)
{
    return std::exchange(*pFlag, uint8_t(bOn ? 1 : 0)) != 0;
}

bool NKSelectionList::SetEnabled(bool bOn) { return SwapFlag(&bEnabled, bOn); }

bool NKSelectionList::SetKeepPrevious(bool bKeep) { return SwapFlag(&bKeepPrevious, bKeep); }

bool NKSelectionList::SetShowNodeInfo(bool bShow) { return SwapFlag(&bShowNodeInfo, bShow); }

int32_t NKSelectionList::SetMode(int32_t iNewMode)
{
    const int32_t iOld = iMode;
    iMode = iNewMode;
    if (iNewMode != iOld) Clear();
    return iOld;
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
