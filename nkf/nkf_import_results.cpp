// nkf/nkf_import_results.cpp -- the results of one step of the open NKF
// file: scalar and vector results, separate vector fields and element
// visibility (see nkf_import.h).
//
// Each *QUOLINSCALAR, *QUOLINVECTOR, *QUOLINPOSITIONVECTOR or
// *QUOLINVISIBILITY block lists per step the value blocks that make up the
// step's result; the values of each are loaded for one apply and freed after
// it. Values reach a part only when the value block refers to the part's own
// source block (NKPart::iNodesBlockID, iElementsBlockID, iFaceSetBlockID).
#include <cfloat>
#include <cstring>

#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_progress.h"
#include "core/nk_text_utils.h"
#include "nkf/nkf_command.h"
#include "nkf/nkf_format.h"
#include "nkf/nkf_import.h"
#include "nkf/nkf_position_results.h"
#include "nkf/nkf_reader.h"
#include "nkf/nkf_results.h"
#include "nkf/nkf_step_lists.h"

namespace {

template <class B>
B *NthBlock(int iType, int iIndex)
{
    NKFReader *pParser = NKFGetReader();
    if (pParser == nullptr || iIndex < 0) return nullptr;
    return dynamic_cast<B *>(pParser->GetBlock(iType, iIndex));
}

bool StepInRange(int iStep) { return iStep >= 0 && iStep < NKFGetNumSteps(); }

NKString BlockTitle(const NKString &name, const NKString &description)
{
    return name.IsEmpty() ? description : name;
}

// The row of a loaded *RESULTS block whose ID is iID, or -1.
int RowOfID(const NKFResultBlock *pResults, int iID) { return pResults->FindItem(iID); }

// Fills node k of a part from vector rows without IDs: the row is the node's
// row in its *NODES block.
void VectorsByRow(const NKPart *pPart, const float *pfValues, int n, float *pfOut)
{
    int iLimit = pPart->iNumNodes < n ? pPart->iNumNodes : n;
    for (int k = 0; k < pPart->iNumNodes; k++) {
        float *pfNode = pfOut + 3 * k;
        if (k >= iLimit) {
            pfNode[0] = pfNode[1] = pfNode[2] = 0.0f;
            continue;
        }
        int iRow = pPart->pNodeMap != nullptr ? pPart->pNodeMap[k] : k;
        if (iRow >= 0 && iRow < n)
            std::memcpy(pfNode, pfValues + 3 * (int64_t)iRow, 3 * sizeof(float));
        else
            pfNode[0] = pfNode[1] = pfNode[2] = FLT_MAX;
    }
}

void VectorsByID(const NKPart *pPart, const NKFResultBlock *pResults, const float *pfValues, int n,
                 float *pfOut)
{
    std::memset(pfOut, 0, sizeof(float) * 3 * (size_t)pPart->iNumNodes);
    const int32_t *piIDs = pResults->GetIDs();
    if (pPart->pNodeIDs != nullptr) {
        for (int k = 0; k < pPart->iNumNodes; k++) {
            int iRow = RowOfID(pResults, pPart->pNodeIDs[k]);
            if (iRow >= 0)
                std::memcpy(pfOut + 3 * k, pfValues + 3 * (int64_t)iRow, 3 * sizeof(float));
        }
        return;
    }
    for (int r = 0; r < n; r++) {
        if (piIDs[r] >= 1 && piIDs[r] <= pPart->iNumNodes)
            std::memcpy(pfOut + 3 * (int64_t)(piIDs[r] - 1), pfValues + 3 * (int64_t)r,
                        3 * sizeof(float));
    }
}

NKVectorResult *CreateVectorResult(NKFQuolinVectorBlock *pBlock, int iStep, NKGeometry *pGeo)
{
    if (!pBlock->LoadData()) return nullptr;
    NKVectorResult *pResult = NKCreateVectorResult();
    int n = pGeo->iNumParts;
    if (pResult != nullptr && n > 0)
        pResult->pResults =
            static_cast<NKVectorPartEntry *>(NKCalloc(n, sizeof(NKVectorPartEntry)));
    if (pResult == nullptr || (n > 0 && pResult->pResults == nullptr)) {
        NKPrintError("Out of memory");
        NKReleaseVectorResult(pResult);
        return nullptr;
    }
    pResult->iStepNumber = iStep;
    pResult->iNumParts = n;
    pResult->szDescription = BlockTitle(pBlock->GetName(), pBlock->GetDescription());
    for (int i = 0; i < n; i++) NKInitVectorPartEntry(&pResult->pResults[i]);
    bool bOk = NKFApplyListedResults(pBlock, iStep, "*QUOLINVECTOR", [&](NKFResultBlock *pValues) {
        return NKApplyVectorResultBlock(pGeo, pValues, pResult);
    });
    if (!bOk) {
        NKReleaseVectorResult(pResult);
        return nullptr;
    }
    return pResult;
}

// Part byte arrays of the frame's visibility, made and filled when missing.
uint8_t *PartBytes(NKFrame *pFrame, int iPart, uint8_t cFill)
{
    const NKPart *pPart = &pFrame->pGeometry->pParts[iPart];
    if (pFrame->ppVisibility[iPart] == nullptr) {
        pFrame->ppVisibility[iPart] =
            static_cast<uint8_t *>(NKAlloc((size_t)pPart->iNumPolygons + 1));
        if (pFrame->ppVisibility[iPart] == nullptr) return nullptr;
    }
    std::memset(pFrame->ppVisibility[iPart], cFill, (size_t)pPart->iNumPolygons);
    return pFrame->ppVisibility[iPart];
}

// A value as a visibility byte: truncated toward zero, low eight bits.
uint8_t VisibilityByte(float fValue)
{
    if (!(fValue > -2147483648.0f && fValue < 2147483648.0f)) return 0;
    return static_cast<uint8_t>(static_cast<int32_t>(fValue) & 0xff);
}

void ApplyVisibilityValues(NKFrame *pFrame, NKFResultBlock *pValues, uint8_t cFill)
{
    int iElementBlock = pValues->GetReferencedBlockID(NKF_MAP_PER_ELEMENT);
    int iFaceSet = pValues->GetReferencedBlockID(NKF_MAP_PER_FACE);
    const float *pfValues = pValues->GetScalarValues();
    int m = pValues->GetNumItems();
    if (pfValues == nullptr || m < 1) return;
    NKGeometry *pGeo = pFrame->pGeometry;
    for (int i = 0; i < pGeo->iNumParts; i++) {
        const NKPart *pPart = &pGeo->pParts[i];
        if (iElementBlock >= 0 && pPart->iElementsBlockID == iElementBlock &&
            pPart->iNumElements > 0) {
            uint8_t *pBytes = PartBytes(pFrame, i, cFill);
            if (pBytes == nullptr) return;
            for (int j = 0; j < pPart->iNumPolygons; j++) {
                int iElement = pPart->pPolygonElements != nullptr ? pPart->pPolygonElements[j] : -1;
                if (iElement < 0 || iElement >= pPart->iNumElements) continue;
                int iRow = iElement;
                if (pValues->HasIDs()) iRow = pValues->FindItem(pPart->pElements[iElement].iID);
                if (iRow >= 0 && iRow < m) pBytes[j] = VisibilityByte(pfValues[iRow]);
            }
        } else if (iFaceSet >= 0 && pPart->iFaceSetBlockID == iFaceSet) {
            uint8_t *pBytes = PartBytes(pFrame, i, cFill);
            if (pBytes == nullptr) return;
            for (int j = 0; j < pPart->iNumPolygons && j < m; j++)
                pBytes[j] = VisibilityByte(pfValues[j]);
        }
    }
}

}  // namespace

bool NKFApplyListedResults(NKFStepListBlock *pBlock, int iStep, const char *pszKeyword,
                           const std::function<bool(NKFResultBlock *)> &apply)
{
    NKFReader *pReader = NKFGetReader();
    if (pBlock == nullptr || pReader == nullptr) return false;
    int iCount = pBlock->GetNumResults(iStep);
    for (int r = 0; r < iCount; r++) {
        int iID = pBlock->GetResultID(iStep, r);
        NKFResultBlock *pValues =
            dynamic_cast<NKFResultBlock *>(pReader->FindBlock(NKF_RESULTS, iID));
        if (pValues == nullptr) {
            NKPrintError(
                NKString::FromFormat("Could not find *RESULTS block with ID #%d. Referenced by "
                                     "%s block with ID #%d",
                                     iID, pszKeyword, pBlock->GetBlockID())
                    .GetText());
            continue;
        }
        bool bOk = pValues->LoadData() && apply(pValues);
        pValues->FreeData();
        if (!bOk) return false;
    }
    return true;
}

NKScalarResult *NKFGetScalar(int iIndex, int iStep, NKGeometry *pGeo)
{
    NKFQuolinScalarBlock *pBlock = NthBlock<NKFQuolinScalarBlock>(NKF_QUOLINSCALAR, iIndex);
    if (pBlock == nullptr || pGeo == nullptr || !StepInRange(iStep)) return nullptr;
    return NKFCreateScalarResult(pBlock, iStep, pGeo);
}

NKVectorResult *NKFGetVector(int iIndex, int iStep, NKGeometry *pGeo)
{
    NKFQuolinVectorBlock *pBlock = NthBlock<NKFQuolinVectorBlock>(NKF_QUOLINVECTOR, iIndex);
    if (pBlock == nullptr || pGeo == nullptr || !StepInRange(iStep)) return nullptr;
    return CreateVectorResult(pBlock, iStep, pGeo);
}

bool NKApplyVectorResultBlock(NKGeometry *pGeo, NKFResultBlock *pResults, NKVectorResult *pResult)
{
    if (pGeo == nullptr || pResults == nullptr || pResult == nullptr) return false;
    int iNodeBlock = pResults->GetReferencedBlockID(NKF_MAP_PER_NODE);
    const float *pfValues = pResults->GetVectorValues();
    int n = pResults->GetNumItems();
    for (int i = 0; i < pGeo->iNumParts && i < pResult->iNumParts; i++) {
        const NKPart *pPart = &pGeo->pParts[i];
        if (pPart->iNumNodes < 1) continue;
        if (pfValues == nullptr) {
            NKPrintError(
                NKString::FromFormat("Could not find any vector (3D) results in *RESULTS block #%d",
                                     pResults->GetBlockID())
                    .GetText());
            return false;
        }
        if (pPart->iNodesBlockID != iNodeBlock) continue;
        NKVectorPartEntry *pEntry = &pResult->pResults[i];
        NKFreeVectorPartEntry(pEntry);
        NKInitVectorPartEntry(pEntry);
        pEntry->iNumNodes = pPart->iNumNodes;
        pEntry->pNodeValues =
            static_cast<float *>(NKAlloc(sizeof(float) * 3 * (size_t)pPart->iNumNodes));
        if (pEntry->pNodeValues == nullptr) {
            NKPrintError("Out of memory");
            return false;
        }
        if (!pResults->HasIDs())
            VectorsByRow(pPart, pfValues, n, pEntry->pNodeValues);
        else
            VectorsByID(pPart, pResults, pfValues, n, pEntry->pNodeValues);
    }
    return true;
}

NKSeparateVectorField *NKFGetSeparateVectors(int iIndex, int iStep, NKGeometry *pGeo)
{
    NKFQuolinPositionVectorBlock *pBlock =
        NthBlock<NKFQuolinPositionVectorBlock>(NKF_QUOLINPOSITIONVECTOR, iIndex);
    if (pBlock == nullptr || pGeo == nullptr || !pBlock->LoadData()) return nullptr;
    NKSeparateVectorField *pField = NKCreateSeparateVectorField();
    int n = pGeo->iNumParts;
    if (pField != nullptr && n > 0)
        pField->pParts =
            static_cast<NKSeparateVectorPart *>(NKCalloc(n, sizeof(NKSeparateVectorPart)));
    if (pField == nullptr || (n > 0 && pField->pParts == nullptr)) {
        NKReleaseSeparateVectorField(pField);
        return nullptr;
    }
    pField->iNumParts = n;
    pField->szName = BlockTitle(pBlock->GetName(), pBlock->GetDescription());
    NKFReader *pParser = NKFGetReader();
    int iCount = pBlock->GetNumResults(iStep);
    // The i-th listed block gives part i; a list longer than the parts stops there.
    for (int i = 0; i < iCount && i < n; i++) {
        NKFPositionResultBlock *pValues = dynamic_cast<NKFPositionResultBlock *>(
            pParser->FindBlock(NKF_POSITIONRESULTS, pBlock->GetResultID(iStep, i)));
        if (pValues == nullptr || pValues->GetNumItems() < 1) continue;
        if (!pValues->LoadData()) {
            NKReleaseSeparateVectorField(pField);
            return nullptr;
        }
        int m = pValues->GetNumItems();
        NKSeparateVector *pItems =
            static_cast<NKSeparateVector *>(NKCalloc(m, sizeof(NKSeparateVector)));
        const float *pfPositions = pValues->GetPositions();
        const float *pfVectors = pValues->GetVectorValues();
        for (int k = 0; pItems != nullptr && k < m; k++) {
            pItems[k].iIndex = -1;
            if (pfPositions != nullptr)
                std::memcpy(pItems[k].fPosition, pfPositions + 3 * (int64_t)k, 12);
            if (pfVectors != nullptr)
                std::memcpy(pItems[k].fVector, pfVectors + 3 * (int64_t)k, 12);
        }
        pValues->FreeData();
        if (pItems == nullptr) {
            NKReleaseSeparateVectorField(pField);
            return nullptr;
        }
        pField->pParts[i].iCount = m;
        pField->pParts[i].pItems = pItems;
    }
    return pField;
}

void NKFUpdateVisibility(int iStep, NKFrame *pFrame)
{
    NKFReader *pParser = NKFGetReader();
    if (pParser == nullptr || pFrame == nullptr || pFrame->pGeometry == nullptr) return;
    NKFQuolinVisibilityBlock *pBlock = NthBlock<NKFQuolinVisibilityBlock>(NKF_QUOLINVISIBILITY, 0);
    if (pBlock == nullptr) return;
    NKGeometry *pGeo = pFrame->pGeometry;
    if (pFrame->ppVisibility == nullptr) {
        pFrame->ppVisibility =
            static_cast<uint8_t **>(NKCalloc(pGeo->iNumParts + 1, sizeof(uint8_t *)));
        if (pFrame->ppVisibility == nullptr) return;
    }
    if (!pBlock->LoadData()) return;
    uint8_t cFill = pBlock->IsDefaultVisible() ? 0 : 1;
    int n = pBlock->GetNumResults(iStep);
    NKBeginProgressBar(n, "Updating visibility...");
    NKProgressPercent percent(0, n, 10);
    for (int r = 0; r < n; r++) {
        NKSetProgress(r, nullptr);
        if (percent.Update(static_cast<float>(r)))
            NKSetStatusText(percent.Format("Updating visibility"));
        NKFResultBlock *pValues = dynamic_cast<NKFResultBlock *>(
            pParser->FindBlock(NKF_RESULTS, pBlock->GetResultID(iStep, r)));
        if (pValues == nullptr || !pValues->LoadData()) continue;
        ApplyVisibilityValues(pFrame, pValues, cFill);
        pValues->FreeData();
    }
    NKEndProgressBar("Done.");
}
