// nkf/nkf_command_scalar.cpp -- scalar results from the open NKF file: the
// "scalar" sub-command of the nkf command, and the building of a step's
// scalar result from a *QUOLINSCALAR block and the *RESULTS blocks it lists
// (see nkf_command.h).
//
// Node values reach the part whose *NODES block the results refer to,
// element values the part whose *ELEMENTS block they refer to; element values
// are averaged onto the nodes afterwards. Values a part has no entry for are
// the undefined value.
#include <cfloat>
#include <cmath>

#include "core/nk_frames.h"
#include "core/nk_load_hooks.h"
#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_progress.h"
#include "core/nk_text_utils.h"
#include "nkf/nkf_command.h"
#include "nkf/nkf_format.h"
#include "nkf/nkf_import.h"
#include "nkf/nkf_reader.h"
#include "nkf/nkf_results.h"
#include "nkf/nkf_step_lists.h"

namespace {

// The values of a results block as scalars: its own, or vector lengths
// (a new array in *ppfOwned, which the caller frees).
const float *ScalarValues(NKFResultBlock *pResults, float **ppfOwned)
{
    *ppfOwned = nullptr;
    if (pResults->GetScalarValues() != nullptr) return pResults->GetScalarValues();
    const float *pfVectors = pResults->GetVectorValues();
    int n = pResults->GetNumItems();
    if (pfVectors == nullptr || n < 1) return nullptr;
    float *pfLengths = static_cast<float *>(NKAlloc(sizeof(float) * (size_t)n));
    if (pfLengths == nullptr) return nullptr;
    for (int i = 0; i < n; i++) {
        const float *v = pfVectors + 3 * (int64_t)i;
        pfLengths[i] = static_cast<float>(
            std::sqrt((double)v[0] * v[0] + (double)v[1] * v[1] + (double)v[2] * v[2]));
    }
    *ppfOwned = pfLengths;
    return pfLengths;
}

// A fresh array of iCount undefined values in the entry; false when out of
// memory (reported).
bool ResetEntry(NKScalarPartEntry *pEntry, int iCount)
{
    NKFreeScalarPartEntry(pEntry);
    NKInitScalarPartEntry(pEntry);
    pEntry->pNodeValues =
        static_cast<float *>(NKAlloc(sizeof(float) * (size_t)(iCount > 0 ? iCount : 1)));
    if (pEntry->pNodeValues == nullptr) {
        NKPrintError("Out of memory");
        return false;
    }
    pEntry->iCount = iCount;
    for (int i = 0; i < iCount; i++) pEntry->pNodeValues[i] = FLT_MAX;
    return true;
}

void FillNodeValues(const NKPart *pPart, const NKFResultBlock *pResults, const float *pfValues,
                    int n, float *pfOut)
{
    if (!pResults->HasIDs()) {
        int iLimit = pPart->iNumNodes < n ? pPart->iNumNodes : n;
        for (int i = 0; i < iLimit; i++) {
            int iRow = pPart->pNodeMap != nullptr ? pPart->pNodeMap[i] : i;
            if (iRow >= 0 && iRow < n) pfOut[i] = pfValues[iRow];
        }
    } else if (pPart->pNodeIDs != nullptr) {
        for (int i = 0; i < pPart->iNumNodes; i++) {
            int iRow = pResults->FindItem(pPart->pNodeIDs[i]);
            if (iRow >= 0) pfOut[i] = pfValues[iRow];
        }
    } else {
        const int32_t *piIDs = pResults->GetIDs();
        for (int r = 0; r < n; r++)
            if (piIDs[r] >= 1 && piIDs[r] <= pPart->iNumNodes) pfOut[piIDs[r] - 1] = pfValues[r];
    }
}

void FillElementValues(const NKPart *pPart, const NKFResultBlock *pResults, const float *pfValues,
                       int n, float *pfOut)
{
    for (int i = 0; i < pPart->iNumElements; i++) {
        int iRow = pResults->HasIDs() ? pResults->FindItem(pPart->pElements[i].iID) : i;
        if (iRow >= 0 && iRow < n) pfOut[i] = pfValues[iRow];
    }
}

// The largest step number of a step list, the last model step it covers.
int LastStepNumber(const NKFQuolinScalarBlock *pBlock)
{
    int iLast = 0;
    for (int i = 0; i < pBlock->GetNumSteps(); i++)
        if (pBlock->GetStepNumber(i) > iLast) iLast = pBlock->GetStepNumber(i);
    return iLast;
}

bool ReadIntWord(const NKString &word, int *piValue)
{
    if (word.IsEmpty()) return true;
    if (word.IsNumber() && NKParseInt(word.GetText(), piValue)) return true;
    NKPrintError(NKString::FromFormat("Numerical parameter expected. \"%s\" is not a number.",
                                      word.GetText())
                     .GetText());
    return false;
}

}  // namespace

bool NKFApplyResultsBlock(NKGeometry *pGeo, NKFResultBlock *pResults, NKScalarResult *pResult)
{
    if (pGeo == nullptr || pResults == nullptr || pResult == nullptr) return false;
    bool bElements = pResults->GetMapping() == NKF_MAP_PER_ELEMENT;
    int iReferenced = pResults->GetReferencedID();
    float *pfOwned = nullptr;
    const float *pfValues = ScalarValues(pResults, &pfOwned);
    int n = pfValues != nullptr ? pResults->GetNumItems() : 0;
    bool bOk = true;
    for (int i = 0; bOk && i < pGeo->iNumParts && i < pResult->iNumParts; i++) {
        const NKPart *pPart = &pGeo->pParts[i];
        if (bElements) {
            if (pPart->iElementsBlockID != iReferenced || pPart->iNumElements < 1 ||
                pResult->pElementResults == nullptr)
                continue;
            NKScalarPartEntry *pEntry = &pResult->pElementResults[i];
            bOk = ResetEntry(pEntry, pPart->iNumElements);
            if (bOk) FillElementValues(pPart, pResults, pfValues, n, pEntry->pNodeValues);
            if (bOk && !NKComputeNodalAverage(pGeo, pResult, i)) {
                NKPrintError("Error doing nodal averaging.");
                bOk = false;
            }
        } else {
            if (pPart->iNodesBlockID != iReferenced || pPart->iNumNodes < 1) continue;
            NKScalarPartEntry *pEntry = &pResult->pNodeResults[i];
            bOk = ResetEntry(pEntry, pPart->iNumNodes);
            if (bOk) FillNodeValues(pPart, pResults, pfValues, n, pEntry->pNodeValues);
        }
    }
    NKFree(pfOwned);
    return bOk;
}

NKScalarResult *NKFCreateScalarResult(NKFQuolinScalarBlock *pBlock, int iStep, NKGeometry *pGeo)
{
    if (pBlock == nullptr || pGeo == nullptr || !pBlock->LoadData()) return nullptr;
    int n = pGeo->iNumParts;
    bool bElements = pBlock->HasResultMapping(NKF_MAP_PER_ELEMENT, iStep);
    NKScalarResult *pResult = NKCreateScalarResult();
    if (pResult != nullptr && n > 0) {
        pResult->pNodeResults =
            static_cast<NKScalarPartEntry *>(NKCalloc(n, sizeof(NKScalarPartEntry)));
        if (bElements)
            pResult->pElementResults =
                static_cast<NKScalarPartEntry *>(NKCalloc(n, sizeof(NKScalarPartEntry)));
    }
    if (pResult == nullptr || (n > 0 && (pResult->pNodeResults == nullptr ||
                                         (bElements && pResult->pElementResults == nullptr)))) {
        NKPrintError("Out of memory");
        NKReleaseScalarResult(pResult);
        return nullptr;
    }
    pResult->iStepNumber = iStep;
    pResult->iNumParts = n;
    pResult->szDescription =
        pBlock->GetName().IsEmpty() ? pBlock->GetDescription() : pBlock->GetName();
    bool bOk = NKFApplyListedResults(pBlock, iStep, "*QUOLINSCALAR", [&](NKFResultBlock *pValues) {
        return NKFApplyResultsBlock(pGeo, pValues, pResult);
    });
    if (!bOk) {
        NKPrintError("Error applying scalar results from NKF file.");
        NKReleaseScalarResult(pResult);
        return nullptr;
    }
    return pResult;
}

bool NKFApplyScalarBlockToFrames(NKFQuolinScalarBlock *pBlock, int iFirst, int iLast)
{
    if (pBlock == nullptr || g_pModel == nullptr || iFirst < 0 || iLast < iFirst) return false;
    if (g_pModel->iNumFrames < iLast + 1 && !NKSetFrameCount(iLast + 1, false)) return false;
    for (int f = iFirst; f <= iLast; f++) {
        NKGeometry *pGeo = g_pModel->pFrames[f].pGeometry;
        if (pGeo == nullptr) continue;
        NKScalarResult *pResult = NKFCreateScalarResult(pBlock, f, pGeo);
        if (pResult == nullptr) return false;
        if (!NKApplyScalarToFrames(pResult, f, f)) return false;
    }
    return NKUpdateContours();
}

int NKFCommandScalar(NKString arguments)
{
    int iID = 1, iFrom = 1, iTo = 0;
    NKString idWord = arguments.GetFirstWord();
    NKString fromWord = arguments.GetNextWord();
    NKString toWord = arguments.GetNextWord();
    if (!ReadIntWord(idWord, &iID) || !ReadIntWord(fromWord, &iFrom) || !ReadIntWord(toWord, &iTo))
        return 1;
    NKFReader *pParser = NKFGetReader();
    NKFQuolinScalarBlock *pBlock =
        pParser != nullptr
            ? dynamic_cast<NKFQuolinScalarBlock *>(pParser->FindBlock(NKF_QUOLINSCALAR, iID))
            : nullptr;
    if (pBlock == nullptr) {
        NKPrintError(
            NKString::FromFormat("Scalar block (*QUOLINSCALAR) with blockid = %d not found "
                                 "in NKF file.",
                                 iID)
                .GetText());
        return 1;
    }
    if (!pBlock->LoadData()) return 1;
    int iSteps = LastStepNumber(pBlock);
    if (toWord.IsEmpty()) iTo = iSteps;
    if (iFrom < 1 || iTo < iFrom || iTo > iSteps) {
        NKPrintError(
            NKString::FromFormat("Error in step range %d - %d. Legal 1 - %d", iFrom, iTo, iSteps)
                .GetText());
        return 1;
    }
    bool bOk;
    {
        NKWaitCursor cursor;
        NKSetStatusText("Reading scalar values...");
        bOk = NKFApplyScalarBlockToFrames(pBlock, iFrom - 1, iTo - 1);
    }
    if (!bOk) return 1;
    NKPrintInfo("Quolin Scalar Result read from NKF file.");
    if (iTo > iFrom) NKRunCommandLine("anim_run");
    return 0;
}
