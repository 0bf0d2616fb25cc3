// nkf/nkf_display_motion.cpp -- the per-step rigid-body matrices and
// viewpoints of an NKF file's display state (NKFApplyTransformations,
// NKFApplyQuolinTransformations, NKFApplyViewpoints; nkf_display_state.h).
//
// The matrices of the file are in model units; each frame gets one matrix
// per part in display coordinates (the translation scaled, and with the
// centre correction turned about the model origin), then the frame boxes
// and the whole-series table (core/nk_transform_tables.h) follow.
#include <cstring>
#include <vector>

#include "core/nk_bbox.h"
#include "core/nk_frames.h"
#include "core/nk_math.h"
#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_transform_tables.h"
#include "nkf/nkf_display_state.h"
#include "nkf/nkf_import.h"
#include "nkf/nkf_reader.h"
#include "nkf/nkf_transformation_results.h"
#include "nkf/nkf_transformations.h"

namespace {

const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// A file matrix in display coordinates, turned about the model origin when
// bCentre is set.
void ToDisplay(const float *pfIn, bool bCentre, float *pfOut)
{
    std::memcpy(pfOut, pfIn, 16 * sizeof(float));
    ModelToDisplayVector(&pfOut[12]);
    if (!bCentre) return;
    float o[3];
    GetModelOriginInDisplay(o);
    NKMat4Translate(pfOut, -o[0], -o[1], -o[2]);
    NKMat4TranslateWorld(pfOut, o[0], o[1], o[2]);
}

// Frees the frame's matrices and gives it one identity matrix per part.
bool ResetFrameMatrices(NKFrame *pFrame, int iFrame)
{
    NKFree(pFrame->pTransformation);
    pFrame->pTransformation = nullptr;
    pFrame->iStepIndex = iFrame;
    int nParts = pFrame->pGeometry != nullptr ? pFrame->pGeometry->iNumParts : 0;
    if (nParts < 1) return true;
    pFrame->pTransformation = (float *)NKAlloc(sizeof(float) * 16 * (size_t)nParts);
    if (pFrame->pTransformation == nullptr) {
        NKPrintError(NKString::FromFormat("Error allocating memory for transformations in step %d.",
                                          iFrame + 1)
                         .GetText());
        return false;
    }
    for (int p = 0; p < nParts; p++)
        std::memcpy(&pFrame->pTransformation[16 * p], kIdentity, sizeof kIdentity);
    return true;
}

// Boxes of every frame and the whole-series table from the frames' matrices.
void FinishTransformations(void)
{
    for (int f = 0; f < g_pModel->iNumFrames; f++) NKComputeFrameBoundingBoxes(f, true, true);
    g_TransformationTable.Clear();
    const NKGeometry *pGeo0 = g_pModel->pFrames[0].pGeometry;
    int nParts = pGeo0 != nullptr ? pGeo0->iNumParts : 0;
    if (!g_TransformationTable.Allocate(g_pModel->iNumFrames, nParts)) return;
    for (int f = 0; f < g_pModel->iNumFrames; f++) {
        const NKFrame &frame = g_pModel->pFrames[f];
        int n = frame.pGeometry != nullptr ? frame.pGeometry->iNumParts : 0;
        for (int p = 0; p < n && p < nParts && frame.pTransformation != nullptr; p++)
            g_TransformationTable.SetMatrix(f, p, &frame.pTransformation[16 * p]);
    }
}

bool HasAnyMatrix(NKFTransformationBlock *pBlock)
{
    for (int s = 0; s < pBlock->GetNumSteps(); s++) {
        const NKFTransformationEntryArray *pE = pBlock->GetElementMatrices(s);
        const NKFTransformationEntryArray *pF = pBlock->GetFaceSetMatrices(s);
        if ((pE != nullptr && pE->GetSize() > 0) || (pF != nullptr && pF->GetSize() > 0))
            return true;
    }
    return false;
}

// Step f's matrices onto the frame's parts: by source block ID (element
// list against the parts' *ELEMENTS IDs, then the face-set list against
// their *INDEXEDFACESET IDs; the last match wins) or by position.
void ApplyStep(NKFTransformationBlock *pBlock, int f, NKFrame *pFrame, bool bCentre)
{
    NKGeometry *pGeo = pFrame->pGeometry;
    if (pGeo == nullptr || pFrame->pTransformation == nullptr) return;
    const NKFTransformationEntryArray *apLists[2] = {pBlock->GetElementMatrices(f),
                                                     pBlock->GetFaceSetMatrices(f)};
    float afM[16];
    int iIndex = 0;
    for (int l = 0; l < 2; l++) {
        const NKFTransformationEntryArray *pList = apLists[l];
        for (int e = 0; pList != nullptr && e < pList->GetSize(); e++, iIndex++) {
            const NKFTransformationEntry *pEntry = pList->GetAt(e);
            ToDisplay(pEntry->afMatrix, bCentre, afM);
            for (int p = 0; p < pGeo->iNumParts; p++) {
                const NKPart &part = pGeo->pParts[p];
                bool bTake = pBlock->HasIDs() ? (l == 0 ? part.iElementsBlockID
                                                        : part.iFaceSetBlockID) == pEntry->iBlockID
                                              : p == iIndex;
                if (bTake) std::memcpy(&pFrame->pTransformation[16 * p], afM, sizeof afM);
            }
        }
    }
}

// Every *TRANSFORMATIONRESULT the block lists for step f, onto the parts of
// its element block or face-set block (both -1: every part). A missing block
// is reported and passed over; one that does not load stops the step.
bool ApplyListedMatrices(NKFQuolinTransformationBlock *pBlock, int f, NKFrame *pFrame)
{
    NKGeometry *pGeo = pFrame->pGeometry;
    for (int r = 0; r < pBlock->GetNumResults(f); r++) {
        int iID = pBlock->GetResultID(f, r);
        auto *pRes = dynamic_cast<NKFTransformationResultBlock *>(
            NKFGetReader()->FindBlock(NKF_TRANSFORMATIONRESULT, iID));
        if (pRes == nullptr) {
            NKPrintError(
                NKString::FromFormat("Could not find *TRANSFORMATIONRESULTS block with ID #%d", iID)
                    .GetText());
            continue;
        }
        if (!pRes->LoadData()) return false;
        if (pGeo != nullptr && pFrame->pTransformation != nullptr) {
            float afM[16];
            ToDisplay(pRes->GetMatrix(), true, afM);
            int iElem = pRes->GetElementBlockID(), iFace = pRes->GetFaceSetBlockID();
            bool bAll = iElem == -1 && iFace == -1;
            for (int p = 0; p < pGeo->iNumParts; p++) {
                const NKPart &part = pGeo->pParts[p];
                if (bAll || (iElem >= 0 && part.iElementsBlockID == iElem) ||
                    (iFace >= 0 && part.iFaceSetBlockID == iFace))
                    std::memcpy(&pFrame->pTransformation[16 * p], afM, sizeof afM);
            }
        }
        pRes->FreeData();
    }
    return true;
}

}  // namespace

bool NKFApplyTransformations(void)
{
    NKFReader *pParser = NKFGetReader();
    if (pParser == nullptr || g_pModel == nullptr || g_pModel->iNumFrames < 1) return false;
    auto *pBlock =
        dynamic_cast<NKFTransformationBlock *>(pParser->FindBlock(NKF_TRANSFORMATIONS, 1));
    if (pBlock == nullptr || !pBlock->LoadData()) return false;
    if (!HasAnyMatrix(pBlock)) {
        NKPrintError("No transformation found in transformation block with ID = 1");
        return false;
    }
    NKFVersionInfo info;
    bool bCentre = !(NKFGetReader()->IsBinary() && !NKFReadVersionInfo(&info));
    if (!NKSetFrameCount(pBlock->GetNumSteps(), false)) return false;
    for (int f = 0; f < g_pModel->iNumFrames; f++) {
        NKFrame *pFrame = &g_pModel->pFrames[f];
        if (!ResetFrameMatrices(pFrame, f)) return false;
        ApplyStep(pBlock, f, pFrame, bCentre);
    }
    FinishTransformations();
    return true;
}

bool NKFApplyQuolinTransformations(void)
{
    NKFReader *pParser = NKFGetReader();
    if (pParser == nullptr || g_pModel == nullptr || g_pModel->iNumFrames < 1) return false;
    auto *pBlock = dynamic_cast<NKFQuolinTransformationBlock *>(
        pParser->FindBlock(NKF_QUOLINTRANSFORMATION, 1));
    if (pBlock == nullptr || !pBlock->LoadData()) return false;
    for (int f = 0; f < g_pModel->iNumFrames; f++) {
        NKFrame *pFrame = &g_pModel->pFrames[f];
        if (!ResetFrameMatrices(pFrame, f)) return false;
        if (!ApplyListedMatrices(pBlock, f, pFrame)) return false;
    }
    FinishTransformations();
    return true;
}

bool NKFApplyViewpoints(void)
{
    NKFReader *pParser = NKFGetReader();
    if (pParser == nullptr || g_pModel == nullptr || g_pModel->iNumFrames < 1) return false;
    auto *pBlock = dynamic_cast<NKFViewpointBlock *>(pParser->FindBlock(NKF_VIEWPOINTS, 1));
    if (pBlock == nullptr || !pBlock->LoadData()) return false;
    int n = pBlock->GetNumSteps();
    if (n < 1 || !NKSetFrameCount(n, false)) return false;
    g_ViewPointTable.Init();
    if (!g_ViewPointTable.Allocate(n)) return false;
    for (int f = 0; f < g_pModel->iNumFrames; f++) {
        NKFrame *pFrame = &g_pModel->pFrames[f];
        float afEye[3], afVrp[3], afUp[3];
        if (!pBlock->GetViewpoint(f, afEye, afVrp, afUp)) continue;
        ModelToDisplay(afEye);
        ModelToDisplay(afVrp);
        ModelToDisplayVector(afUp);
        NKVec3Normalize(afUp);
        // A viewpoint shared with other frames is replaced, not changed.
        if (pFrame->pViewPoint == nullptr || pFrame->pViewPoint->iNumRef > 1) {
            NKViewPoint *pNew = NKCreateViewPoint();
            if (pNew == nullptr) return false;
            if (pFrame->pViewPoint != nullptr) NKReleaseViewPoint(pFrame->pViewPoint);
            pNew->iNumRef = 1;
            pFrame->pViewPoint = pNew;
        }
        std::memcpy(pFrame->pViewPoint->eye, afEye, sizeof afEye);
        std::memcpy(pFrame->pViewPoint->vrp, afVrp, sizeof afVrp);
        std::memcpy(pFrame->pViewPoint->vup, afUp, sizeof afUp);
        pFrame->iStepIndex = f;
        g_ViewPointTable.Set(f, afEye, afVrp, afUp);
    }
    return true;
}
