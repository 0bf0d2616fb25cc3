// core/nk_apply_results.cpp -- the apply operations of the load pipeline
// and the fitting of results to a geometry (see nk_apply_results.h).
//
// A frame slot is emptied with the record's release function and then
// cleared here, since releases never clear the holder's pointer. Each apply
// works on the frames [iFirst, iLast] of g_pModel only; the boxes and
// normals it needs come from core.
#include "core/nk_apply_results.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/nk_bbox.h"
#include "core/nk_diagnostic.h"
#include "core/nk_frame_results.h"
#include "core/nk_load_hooks.h"
#include "core/nk_math.h"
#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_normals.h"
#include "core/nk_numeric.h"
#include "core/nk_render_state.h"
#include "core/nk_view_state.h"

namespace {

// The texture coordinate that never samples the edge texels.
const float kLowestTexCoord = 0.001f;

bool ValidRange(int iFirst, int iLast)
{
    return g_pModel != nullptr && g_pModel->pFrames != nullptr && iFirst >= 0 && iFirst <= iLast &&
           iLast < g_pModel->iNumFrames;
}

// A result that no frame holds goes with the failure that refused it.
template <typename T>
void ReleaseUnheld(T *pResult, void (*pfnRelease)(T *))
{
    if (pResult != nullptr && pResult->iNumRef < 1) pfnRelease(pResult);
}

// Empties the slot of every frame of the range.
template <typename T, typename Slot>
void ClearRange(int iFirst, int iLast, Slot slot, void (*pfnRelease)(T *))
{
    for (int f = iFirst; f <= iLast; f++) {
        T **ppSlot = slot(&g_pModel->pFrames[f]);
        pfnRelease(*ppSlot);
        *ppSlot = nullptr;
    }
}

// Every frame of the range gives up what its slot held, and each frame with
// a geometry takes pResult. Returns how many frames hold it afterwards.
template <typename T, typename Slot>
int TakeIntoFrames(T *pResult, int iFirst, int iLast, Slot slot, void (*pfnRelease)(T *))
{
    int iTaken = 0;
    for (int f = iFirst; f <= iLast; f++) {
        NKFrame *pFrame = &g_pModel->pFrames[f];
        T **ppSlot = slot(pFrame);
        // Releasing a record the frame already holds could free it under us.
        if (*ppSlot == pResult) {
            iTaken++;
            continue;
        }
        pfnRelease(*ppSlot);
        *ppSlot = nullptr;
        if (pFrame->pGeometry == nullptr) continue;
        *ppSlot = pResult;
        pResult->iNumRef++;
        iTaken++;
    }
    return iTaken;
}

NKScalarResult **ScalarSlot(NKFrame *pFrame) { return &pFrame->pScalar; }
NKVectorResult **VectorSlot(NKFrame *pFrame) { return &pFrame->pVector; }

// ---- Fitting --------------------------------------------------------------------------

// A copy of an array of iOld x iWidth items resized to iNew x iWidth, new
// items set to fill; null for a null array. *pbOk turns false when the
// allocation fails.
template <typename T>
T *ResizedCopy(const T *pOld, int iOld, int iNew, int iWidth, T fill, bool *pbOk)
{
    if (pOld == nullptr || iNew < 1) return nullptr;
    size_t iItems = static_cast<size_t>(iNew) * iWidth;
    T *pNew = static_cast<T *>(NKAlloc(iItems * sizeof(T)));
    if (pNew == nullptr) {
        *pbOk = false;
        return nullptr;
    }
    size_t iKept = static_cast<size_t>(std::min(std::max(iOld, 0), iNew)) * iWidth;
    std::copy_n(pOld, iKept, pNew);
    std::fill(pNew + iKept, pNew + iItems, fill);
    return pNew;
}

// The entry's three arrays change together or not at all, so that no array
// is ever shorter than the count says.
bool FitEntry(NKScalarPartEntry *pEntry, int iCount)
{
    if (pEntry->pNodeValues == nullptr || pEntry->iCount == iCount) return true;
    iCount = std::max(iCount, 0);
    int iOld = pEntry->iCount;
    bool bOk = true;
    float *pfValues = ResizedCopy(pEntry->pNodeValues, iOld, iCount, 1, NK_UNDEFINED_VALUE, &bOk);
    float *pfTexCoords = ResizedCopy(pEntry->pTexCoords, iOld, iCount, 1, kLowestTexCoord, &bOk);
    uint8_t *pColors = ResizedCopy(pEntry->pColors, iOld, iCount, 3, uint8_t(0), &bOk);
    if (!bOk) {
        NKFree(pfValues);
        NKFree(pfTexCoords);
        NKFree(pColors);
        return NKDiagnostic("Error allocating memory.", "NKFitScalarResultToGeometry");
    }
    NKFreeScalarPartEntry(pEntry);
    pEntry->iCount = iCount;
    pEntry->pNodeValues = pfValues;
    pEntry->pTexCoords = pfTexCoords;
    pEntry->pColors = pColors;
    return true;
}

// ---- Vectors ----------------------------------------------------------------------------

// A vector is defined when each component is a finite number below the
// undefined value.
bool IsDefinedVector(const float *v)
{
    for (int k = 0; k < 3; k++)
        if (!NKIsDefinedValue(v[k])) return false;
    return true;
}

// The vector made wholly undefined when a component is no finite number.
bool UndefineNonFiniteVector(float *v)
{
    if (std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2])) return false;
    v[0] = v[1] = v[2] = NK_UNDEFINED_VALUE;
    return true;
}

long long UndefineNonFiniteEntries(NKScalarPartEntry *pEntries, int iNumParts)
{
    long long iChanged = 0;
    for (int p = 0; pEntries != nullptr && p < iNumParts; p++) {
        NKScalarPartEntry &e = pEntries[p];
        for (int i = 0; e.pNodeValues != nullptr && i < e.iCount; i++)
            if (!std::isfinite(e.pNodeValues[i])) {
                e.pNodeValues[i] = NK_UNDEFINED_VALUE;
                iChanged++;
            }
    }
    return iChanged;
}

// One part's entry from displacements to displaced positions.
bool DisplaceEntry(NKVectorPartEntry *pEntry, const NKPart &part, float fScale)
{
    int iNodes = part.iNumNodes;
    int iValues = pEntry->iNumNodes;
    float *pfValues = pEntry->pNodeValues;
    float *pfOut = pfValues;
    if (iValues != iNodes) {
        pfOut = static_cast<float *>(NKAlloc(3 * static_cast<size_t>(iNodes) * sizeof(float)));
        if (pfOut == nullptr) return false;
    }
    for (int j = 0; j < iNodes; j++) {
        float p[3];
        NKVec3Copy(p, &part.pNodeCoords[3 * j]);
        if (j < iValues && IsDefinedVector(&pfValues[3 * j])) {
            float d[3];
            NKVec3Copy(d, &pfValues[3 * j]);
            NKVec3Scale(d, fScale);
            DisplayToModel(p);
            NKVec3AddTo(p, d);
            ModelToDisplay(p);
        }
        NKVec3Copy(&pfOut[3 * j], p);
    }
    if (pfOut != pfValues) {
        NKFree(pfValues);
        pEntry->pNodeValues = pfOut;
        // The deformed normals were sized for the old values.
        NKFree(pEntry->pNodeNormals);
        pEntry->pNodeNormals = nullptr;
    }
    pEntry->iNumNodes = iNodes;
    return true;
}

// Lengths in model units for the range, then positions and vectors into
// display coordinates; the largest display length is kept in the field.
void ConvertSeparateField(NKSeparateVectorField *pField)
{
    pField->lengthMinMax.Reset();
    pField->fMaxLength = 0.0f;
    for (int p = 0; p < pField->iNumParts && pField->pParts != nullptr; p++) {
        NKSeparateVectorPart &part = pField->pParts[p];
        for (int k = 0; k < part.iCount && part.pItems != nullptr; k++) {
            NKSeparateVector &item = part.pItems[k];
            ModelToDisplay(item.fPosition);
            UndefineNonFiniteVector(item.fVector);
            if (!IsDefinedVector(item.fVector)) continue;
            pField->lengthMinMax.Update(static_cast<float>(NKVec3Length(item.fVector)), p,
                                        item.iIndex, -1);
            ModelToDisplayVector(item.fVector);
            pField->fMaxLength =
                std::max(pField->fMaxLength, static_cast<float>(NKVec3Length(item.fVector)));
        }
    }
}

// The filter and clamp ranges of a vector field the user has not fixed.
void UpdateVectorRanges(NKVectorSettings *pSettings, const NKMinMax &range, float fClampMax)
{
    if (!pSettings->bFilter) {
        pSettings->fFilterMin = range.min;
        pSettings->fFilterMax = range.max;
    }
    if (!pSettings->bClamp) {
        pSettings->fClampMin = 0.0f;
        pSettings->fClampMax = fClampMax;
    }
}

// ---- The three slots ------------------------------------------------------------------------

bool ApplyScalar(NKScalarResult *pResult, int iFirst, int iLast)
{
    if (!ValidRange(iFirst, iLast)) {
        ReleaseUnheld(pResult, NKReleaseScalarResult);
        return false;
    }
    if (pResult == nullptr) {
        ClearRange(iFirst, iLast, ScalarSlot, NKReleaseScalarResult);
        if (g_bAutoFringeRange) {
            g_pModel->fFringeRangeFrom = g_pModel->fFringeRangeTo = 0.0f;
            if (!g_ValueFilterSettings.bValueFilter)
                g_ValueFilterSettings.fFilterMin = g_ValueFilterSettings.fFilterMax = 0.0f;
        }
        return true;
    }
    // The colours are computed per value, so the values are fitted to the
    // parts first: colours computed before a fit would be fewer than the
    // nodes they are drawn on.
    NKGeometry *pGeo = g_pModel->pFrames[iFirst].pGeometry;
    if (pGeo == nullptr || !NKFitScalarResultToGeometry(pGeo, pResult)) {
        ClearRange(iFirst, iLast, ScalarSlot, NKReleaseScalarResult);
        ReleaseUnheld(pResult, NKReleaseScalarResult);
        g_pModel->iNumScalarSteps = 0;
        return false;
    }
    if (!NKComputeScalarNodeValues(pGeo, pResult)) {
        NKPrintError("Error computing scalar information.");
        ReleaseUnheld(pResult, NKReleaseScalarResult);
        return false;
    }
    TakeIntoFrames(pResult, iFirst, iLast, ScalarSlot, NKReleaseScalarResult);
    g_pModel->scalarMinMax.Merge(pResult->nodeMinMax, iFirst);
    g_pModel->elementMinMax.Merge(pResult->elementMinMax, iFirst);
    g_pModel->iNumScalarSteps = 1;
    if (g_bAutoFringeRange && !g_ValueFilterSettings.bValueFilter) {
        g_ValueFilterSettings.fFilterMin = g_pModel->fFringeRangeFrom;
        g_ValueFilterSettings.fFilterMax = g_pModel->fFringeRangeTo;
    }
    return true;
}

bool ApplyVector(NKVectorResult *pResult, int iFirst, int iLast)
{
    if (!ValidRange(iFirst, iLast)) {
        ReleaseUnheld(pResult, NKReleaseVectorResult);
        return false;
    }
    if (pResult == nullptr) {
        ClearRange(iFirst, iLast, VectorSlot, NKReleaseVectorResult);
        return true;
    }
    if (!NKComputeVectorLengthRange(pResult)) {
        NKPrintError("Error computing vector information.");
        ReleaseUnheld(pResult, NKReleaseVectorResult);
        return false;
    }
    NKGeometry *pGeo = g_pModel->pFrames[iFirst].pGeometry;
    if (pGeo != nullptr) TakeIntoFrames(pResult, iFirst, iLast, VectorSlot, NKReleaseVectorResult);
    if (pGeo == nullptr ||
        !NKComputeDisplacedCoordinates(pGeo, pResult, NKGetResultScaleFactor(0))) {
        ClearRange(iFirst, iLast, VectorSlot, NKReleaseVectorResult);
        ReleaseUnheld(pResult, NKReleaseVectorResult);
        g_pModel->iNumVectorSteps = 0;
        return false;
    }
    g_pModel->vectorMinMax.Merge(pResult->lengthMinMax, iFirst);
    g_pModel->fMaxVectorValue = std::max(g_pModel->fMaxVectorValue, pResult->fMaxDisplayLength);
    UpdateVectorRanges(&g_VectorSettings, g_pModel->vectorMinMax,
                       g_pModel->valueRanges[2].from * g_pModel->fMaxVectorValue);
    g_pModel->iNumVectorSteps = 1;
    for (int f = iFirst; f <= iLast; f++) NKComputeFrameBoundingBoxes(f, false, true);
    return true;
}

bool ApplySeparateField(NKSeparateVectorField *pField, int iFirst, int iLast, int iSlot)
{
    if (!ValidRange(iFirst, iLast) || iSlot < 0 || iSlot >= NK_NUM_SEPARATE_VECTOR_SLOTS) {
        ReleaseUnheld(pField, NKReleaseSeparateVectorField);
        return false;
    }
    auto slot = [iSlot](NKFrame *pFrame) { return &pFrame->pSeparateVectors[iSlot]; };
    if (pField == nullptr) {
        ClearRange(iFirst, iLast, slot, NKReleaseSeparateVectorField);
        return true;
    }
    ConvertSeparateField(pField);
    // A field that no frame could take would otherwise be left to nobody.
    if (TakeIntoFrames(pField, iFirst, iLast, slot, NKReleaseSeparateVectorField) == 0) {
        ReleaseUnheld(pField, NKReleaseSeparateVectorField);
        return false;
    }
    NKValueRange &range = g_pModel->valueRanges[4 + iSlot];
    range.minMax.Merge(pField->lengthMinMax, iFirst);
    range.fMaxLength = std::max(range.fMaxLength, pField->fMaxLength);
    UpdateVectorRanges(&g_SeparateVectorSettings[iSlot], range.minMax,
                       range.fLengthScale * range.fMaxLength);
    return true;
}

}  // namespace

bool NKApplyScalarToFrames(NKScalarResult *pResult, int iFirst, int iLast)
{
    return ApplyScalar(pResult, iFirst, iLast);
}

bool NKApplyVectorToFrames(NKVectorResult *pResult, int iFirst, int iLast)
{
    return ApplyVector(pResult, iFirst, iLast);
}

bool NKApplySeparateVectorField(NKSeparateVectorField *pField, int iFirst, int iLast, int iIndex)
{
    return ApplySeparateField(pField, iFirst, iLast, iIndex);
}

bool NKFitScalarResultToGeometry(NKGeometry *pGeo, NKScalarResult *pResult)
{
    if (pGeo == nullptr || pResult == nullptr)
        return NKDiagnostic("NULL pointer passed", "NKFitScalarResultToGeometry");
    int n = std::min(pGeo->iNumParts, pResult->iNumParts);
    for (int p = 0; p < n && pGeo->pParts != nullptr; p++) {
        const NKPart &part = pGeo->pParts[p];
        if (pResult->pNodeResults != nullptr &&
            !FitEntry(&pResult->pNodeResults[p], part.iNumNodes))
            return false;
        if (pResult->pElementResults != nullptr &&
            !FitEntry(&pResult->pElementResults[p], part.iNumElements))
            return false;
    }
    return true;
}

long long NKUndefineNonFiniteValues(NKScalarResult *pResult)
{
    if (pResult == nullptr) return 0;
    return UndefineNonFiniteEntries(pResult->pNodeResults, pResult->iNumParts) +
           UndefineNonFiniteEntries(pResult->pElementResults, pResult->iNumParts);
}

long long NKUndefineNonFiniteValues(NKVectorResult *pResult)
{
    long long iChanged = 0;
    for (int p = 0; pResult != nullptr && pResult->pResults != nullptr && p < pResult->iNumParts;
         p++) {
        NKVectorPartEntry &e = pResult->pResults[p];
        for (int i = 0; e.pNodeValues != nullptr && i < e.iNumNodes; i++)
            iChanged += UndefineNonFiniteVector(&e.pNodeValues[3 * i]) ? 1 : 0;
        for (int i = 0; e.pPolygonValues != nullptr && i < e.iNumPolygons; i++)
            iChanged += UndefineNonFiniteVector(&e.pPolygonValues[3 * i]) ? 1 : 0;
    }
    return iChanged;
}

bool NKComputeDisplacedCoordinates(NKGeometry *pGeo, NKVectorResult *pResult, float fScale)
{
    if (pGeo == nullptr || pResult == nullptr)
        return NKDiagnostic("NULL pointer passed", "NKComputeDisplacedCoordinates");
    int n = std::min(pGeo->iNumParts, pResult->iNumParts);
    for (int p = 0; p < n && pGeo->pParts != nullptr && pResult->pResults != nullptr; p++) {
        const NKPart &part = pGeo->pParts[p];
        NKVectorPartEntry *pEntry = &pResult->pResults[p];
        if (pEntry->pNodeValues == nullptr || part.pNodeCoords == nullptr || part.iNumNodes < 1)
            continue;
        if (!DisplaceEntry(pEntry, part, fScale)) {
            NKPrintError("Error allocating memory.");
            return false;
        }
    }
    return NKComputeVectorResultNormals(pGeo, pResult);
}
