// core/nk_load_hooks.cpp -- the load pipeline's slots and what an empty slot
// does (see nk_load_hooks.h): the least that lets a reader put a geometry and
// its results into frames, with every shared record counted once per frame.
#include "core/nk_load_hooks.h"

#include "core/nk_frames.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"

namespace {

NKLoadHooks sg_Hooks;

bool ValidRange(int iFirst, int iLast) { return iFirst >= 0 && iLast >= iFirst; }

// Frames up to iLast exist afterwards (new ones copy the last frame).
bool EnsureFrames(int iLast)
{
    if (g_pModel == nullptr) return false;
    if (g_pModel->iNumFrames > iLast) return true;
    return NKSetFrameCount(iLast + 1, false);
}

// The per-part arrays of a frame are sized by its geometry's part count, so
// they go when the frame takes another geometry.
void FreePartArraysOfGeometry(NKFrame *pFrame)
{
    int n = pFrame->pGeometry != nullptr ? pFrame->pGeometry->iNumParts : 0;
    if (pFrame->ppVisibility != nullptr) {
        for (int i = 0; i < n; i++) NKFree(pFrame->ppVisibility[i]);
    }
    if (pFrame->pContours != nullptr) {
        for (int i = 0; i < n; i++) NKFreeContourList(&pFrame->pContours[i]);
    }
    NKFree(pFrame->ppVisibility);
    NKFree(pFrame->pContours);
    NKFree(pFrame->pPartBoundingBoxes);
    NKFree(pFrame->pTransformation);
    pFrame->ppVisibility = nullptr;
    pFrame->pContours = nullptr;
    pFrame->pPartBoundingBoxes = nullptr;
    pFrame->pTransformation = nullptr;
}

bool HoldGeometry(NKGeometry *pGeo, int iFirst, int iLast)
{
    if (pGeo == nullptr) return false;
    if (!ValidRange(iFirst, iLast) || !EnsureFrames(iLast)) {
        if (pGeo->iNumRef < 1) NKReleaseGeometry(pGeo);
        return false;
    }
    for (int f = iFirst; f <= iLast; f++) {
        NKFrame *pFrame = &g_pModel->pFrames[f];
        if (pFrame->pGeometry == pGeo) continue;
        FreePartArraysOfGeometry(pFrame);
        NKReleaseGeometry(pFrame->pGeometry);
        pFrame->pGeometry = pGeo;
        pGeo->iNumRef++;
    }
    return true;
}

// Stores a shared record in a slot of each frame of the range, releasing
// what the slot held; each store adds one reference.
template <typename T, typename Slot, typename Release>
bool HoldResult(T *pResult, int iFirst, int iLast, Slot slot, Release release)
{
    if (!ValidRange(iFirst, iLast) || g_pModel == nullptr || iLast >= g_pModel->iNumFrames) {
        if (pResult != nullptr && pResult->iNumRef < 1) release(pResult);
        return false;
    }
    for (int f = iFirst; f <= iLast; f++) {
        T **ppSlot = slot(&g_pModel->pFrames[f]);
        if (*ppSlot == pResult) continue;
        release(*ppSlot);
        *ppSlot = pResult;
        if (pResult != nullptr) pResult->iNumRef++;
    }
    return true;
}

}  // namespace

NKLoadHooks NKSetLoadHooks(const NKLoadHooks &hooks)
{
    NKLoadHooks previous = sg_Hooks;
    sg_Hooks = hooks;
    return previous;
}

const NKLoadHooks &NKGetLoadHooks(void) { return sg_Hooks; }

bool ResetStateBeforeLoad(const char *pszFileName)
{
    if (sg_Hooks.pfnResetStateBeforeLoad != nullptr)
        return sg_Hooks.pfnResetStateBeforeLoad(pszFileName);
    return g_pModel != nullptr && NKSetFrameCount(0, false);
}

bool RefreshAfterLoad(const char *pszFileName)
{
    return sg_Hooks.pfnRefreshAfterLoad == nullptr || sg_Hooks.pfnRefreshAfterLoad(pszFileName);
}

bool ComputeGeometryData(NKGeometry *pGeo, int iFirst, int iLast, int iStep, int iFlag)
{
    if (sg_Hooks.pfnComputeGeometryData != nullptr)
        return sg_Hooks.pfnComputeGeometryData(pGeo, iFirst, iLast, iStep, iFlag);
    return HoldGeometry(pGeo, iFirst, iLast);
}

bool NKApplyScalarToFrames(NKScalarResult *pResult, int iFirst, int iLast)
{
    if (sg_Hooks.pfnApplyScalarToFrames != nullptr)
        return sg_Hooks.pfnApplyScalarToFrames(pResult, iFirst, iLast);
    return HoldResult(
        pResult, iFirst, iLast, [](NKFrame *f) { return &f->pScalar; }, NKReleaseScalarResult);
}

bool NKApplyVectorToFrames(NKVectorResult *pResult, int iFirst, int iLast)
{
    if (sg_Hooks.pfnApplyVectorToFrames != nullptr)
        return sg_Hooks.pfnApplyVectorToFrames(pResult, iFirst, iLast);
    return HoldResult(
        pResult, iFirst, iLast, [](NKFrame *f) { return &f->pVector; }, NKReleaseVectorResult);
}

bool NKApplySeparateVectorField(NKSeparateVectorField *pField, int iFirst, int iLast, int iIndex)
{
    if (sg_Hooks.pfnApplySeparateVectorField != nullptr)
        return sg_Hooks.pfnApplySeparateVectorField(pField, iFirst, iLast, iIndex);
    if (iIndex < 0 || iIndex >= NK_NUM_SEPARATE_VECTOR_SLOTS) return false;
    return HoldResult(
        pField, iFirst, iLast, [iIndex](NKFrame *f) { return &f->pSeparateVectors[iIndex]; },
        NKReleaseSeparateVectorField);
}

bool NKUpdateContours(void)
{
    return sg_Hooks.pfnUpdateContours == nullptr || sg_Hooks.pfnUpdateContours();
}

bool NKComputeNodalAverage(NKGeometry *pGeo, NKScalarResult *pResult, int iPart)
{
    if (sg_Hooks.pfnComputeNodalAverage != nullptr)
        return sg_Hooks.pfnComputeNodalAverage(pGeo, pResult, iPart);
    return true;
}

bool NKComputeScalarNodeValues(NKGeometry *pGeo, NKScalarResult *pResult)
{
    if (sg_Hooks.pfnComputeScalarNodeValues != nullptr)
        return sg_Hooks.pfnComputeScalarNodeValues(pGeo, pResult);
    return true;
}

bool NKComputeVectorLengthRange(NKVectorResult *pResult)
{
    if (sg_Hooks.pfnComputeVectorLengthRange != nullptr)
        return sg_Hooks.pfnComputeVectorLengthRange(pResult);
    return true;
}

bool NKDrawScene(int iFrame, int iFlag1, int iFlag2)
{
    return sg_Hooks.pfnDrawScene == nullptr || sg_Hooks.pfnDrawScene(iFrame, iFlag1, iFlag2);
}

bool NKPlotExists(void) { return sg_Hooks.pfnPlotExists != nullptr && sg_Hooks.pfnPlotExists(); }

void NKFLDUpdatePlot(void)
{
    if (sg_Hooks.pfnFLDUpdatePlot != nullptr) sg_Hooks.pfnFLDUpdatePlot();
}

bool NKPlotInterfaceInit(int iSource, const char *pszFileName)
{
    return sg_Hooks.pfnPlotInterfaceInit != nullptr &&
           sg_Hooks.pfnPlotInterfaceInit(iSource, pszFileName);
}

void NKSetupLevelOfDetail(void)
{
    if (sg_Hooks.pfnSetupLevelOfDetail != nullptr) sg_Hooks.pfnSetupLevelOfDetail();
}

bool NKRefreshMenusForModel(void)
{
    if (sg_Hooks.pfnRefreshMenusForModel != nullptr) sg_Hooks.pfnRefreshMenusForModel();
    return NKGetCurrentGeometry() != nullptr;
}
