// core/nk_transform_tables.cpp -- the transformation and viewpoint tables
// (see nk_transform_tables.h).
//
// Frames get their matrices through NKAllocFrameTransformations and their
// viewpoints through the viewpoint records of nk_model.h. The fit to the
// model box uses the box getters of nk_bbox.h and then asks the interpreter
// to move the rotation point ("rotationpoint model") and the renderer to
// recompute the traced nodes.
#include "core/nk_transform_tables.h"

#include <cstring>

#include "core/nk_bbox.h"
#include "core/nk_diagnostic.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_math.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"

NKTransformationTable g_TransformationTable;
NKViewPointTable g_ViewPointTable;

// ---- Transformation table ----------------------------------------------------------

NKTransformationTable::~NKTransformationTable() { NKFree(m_pMatrices); }

void NKTransformationTable::Clear()
{
    NKFree(m_pMatrices);
    m_pMatrices = nullptr;
    m_iNumSteps = 0;
    m_iNumParts = 0;
    m_iFrozenNode = -1;
    m_iFrozenPart = -1;
}

bool NKTransformationTable::Allocate(int iSteps, int iParts)
{
    if (iSteps < 1 || iParts < 1) return false;
    size_t iCount = static_cast<size_t>(iSteps) * static_cast<size_t>(iParts) * 16;
    float *pMatrices = static_cast<float *>(NKAlloc(iCount * sizeof(float)));
    if (pMatrices == nullptr) return false;
    // Identity until set, so that a matrix the reader never sets is harmless.
    for (size_t i = 0; i < iCount; i += 16) NKMatrixIdentity(&pMatrices[i]);
    m_pMatrices = pMatrices;
    m_iNumSteps = iSteps;
    m_iNumParts = iParts;
    return true;
}

const float *NKTransformationTable::GetMatrix(int iStep, int iPart) const
{
    if (m_pMatrices == nullptr || iStep < 0 || iStep >= m_iNumSteps || iPart < 0 ||
        iPart >= m_iNumParts)
        return nullptr;
    return &m_pMatrices[(static_cast<size_t>(iStep) * m_iNumParts + iPart) * 16];
}

void NKTransformationTable::SetMatrix(int iStep, int iPart, const float *m)
{
    float *pTarget = const_cast<float *>(GetMatrix(iStep, iPart));
    if (pTarget != nullptr && m != nullptr) NKMat4Copy(pTarget, m);
}

namespace {

// The shift that puts the frozen node back on its undeformed position:
// (its coordinates in the part) - (its displaced position). False when the
// frame cannot give both positions.
bool FrozenNodeShift(const NKFrame *pFrame, int iPart, int iNode, float *d)
{
    if (pFrame->pVector == nullptr || iPart < 0 || iNode < 0) return false;
    const NKPart *pPart = NKGetFramePart(pFrame, iPart);
    const NKVectorPartEntry *pEntry = NKGetPartVectorEntry(iPart, pFrame);
    if (pPart == nullptr || pPart->pNodeCoords == nullptr || pEntry == nullptr ||
        pEntry->pNodeValues == nullptr)
        return false;
    if (iNode >= pPart->iNumNodes || iNode >= pEntry->iNumNodes) return false;
    NKVec3Difference(&pPart->pNodeCoords[3 * iNode], &pEntry->pNodeValues[3 * iNode], d);
    return true;
}

}  // namespace

bool NKTransformationTable::ApplyToFrame(NKFrame *pFrame, int iStep)
{
    if (pFrame == nullptr || pFrame->pGeometry == nullptr)
        return NKDiagnostic("Null frame or frame without geometry",
                            "NKTransformationTable::ApplyToFrame");
    if (m_pMatrices == nullptr && (m_iFrozenNode < 0 || m_iFrozenPart < 0)) return true;
    NKFree(pFrame->pTransformation);
    pFrame->pTransformation = nullptr;
    if (!NKAllocFrameTransformations(pFrame)) return false;
    int iNumParts = pFrame->pGeometry->iNumParts;
    if (pFrame->pTransformation == nullptr) return true;  // a geometry without parts
    if (iStep >= m_iNumSteps) iStep = m_iNumSteps - 1;
    if (m_pMatrices != nullptr && iStep >= 0) {
        for (int i = 0; i < iNumParts && i < m_iNumParts; i++)
            NKMat4Copy(&pFrame->pTransformation[16 * i], GetMatrix(iStep, i));
    }
    float d[3];
    if (FrozenNodeShift(pFrame, m_iFrozenPart, m_iFrozenNode, d)) {
        for (int i = 0; i < iNumParts; i++) {
            for (int k = 0; k < 3; k++) pFrame->pTransformation[16 * i + 12 + k] += d[k];
        }
    }
    return true;
}

// ---- Viewpoint table ------------------------------------------------------------------

NKViewPointTable::~NKViewPointTable() { Init(); }

void NKViewPointTable::Init()
{
    NKFreeAndClear(&m_pEye, &m_pVrp, &m_pVup);
    m_iCount = 0;
}

// A partly failed allocation frees what it got, so the table is either
// whole or empty.
bool NKViewPointTable::Allocate(int iCount)
{
    if (iCount < 1) return false;
    Init();
    size_t iBytes = static_cast<size_t>(iCount) * 3 * sizeof(float);
    m_pEye = static_cast<float(*)[3]>(NKAlloc(iBytes));
    m_pVrp = static_cast<float(*)[3]>(NKAlloc(iBytes));
    m_pVup = static_cast<float(*)[3]>(NKAlloc(iBytes));
    if (m_pEye == nullptr || m_pVrp == nullptr || m_pVup == nullptr) {
        Init();
        return false;
    }
    std::memset(m_pEye, 0, iBytes);
    std::memset(m_pVrp, 0, iBytes);
    std::memset(m_pVup, 0, iBytes);
    m_iCount = iCount;
    return true;
}

void NKViewPointTable::Set(int iIndex, const float *pfEye, const float *pfVrp, const float *pfVup)
{
    if (m_pEye == nullptr || iIndex < 0 || iIndex >= m_iCount) return;
    if (pfEye != nullptr) NKVec3Copy(m_pEye[iIndex], pfEye);
    if (pfVrp != nullptr) NKVec3Copy(m_pVrp[iIndex], pfVrp);
    if (pfVup != nullptr) NKVec3Copy(m_pVup[iIndex], pfVup);
}

bool NKViewPointTable::ApplyToFrame(NKFrame *pFrame, int iStep)
{
    if (pFrame == nullptr) return NKDiagnostic("Null frame", "NKViewPointTable::ApplyToFrame");
    if (m_pEye == nullptr || m_pVrp == nullptr || m_pVup == nullptr || m_iCount < 1) return true;
    if (iStep < 0) return true;
    // The frame keeps the step it shows as its step index even when the
    // table is shorter and the last entry stands in for that step.
    int iEntry = iStep < m_iCount ? iStep : m_iCount - 1;
    NKReleaseViewPoint(pFrame->pViewPoint);
    pFrame->pViewPoint = NKCreateViewPoint();
    if (pFrame->pViewPoint == nullptr)
        return NKDiagnostic("Out of memory", "NKViewPointTable::ApplyToFrame");
    pFrame->pViewPoint->iNumRef = 1;
    pFrame->iStepIndex = iStep;
    NKVec3Copy(pFrame->pViewPoint->eye, m_pEye[iEntry]);
    NKVec3Copy(pFrame->pViewPoint->vrp, m_pVrp[iEntry]);
    NKVec3Copy(pFrame->pViewPoint->vup, m_pVup[iEntry]);
    return true;
}

// ---- Fitting the matrices to the model box ---------------------------------------

namespace {

// M = T(d) T(c) S(ratio) T(-c) M, each step taken on the world side.
void FitMatrix(float *m, const float *c, const float *d, float fRatio)
{
    NKMat4TranslateWorld(m, -c[0], -c[1], -c[2]);
    NKMat4ScaleWorld(m, fRatio, fRatio, fRatio);
    NKMat4TranslateWorldVec(m, c);
    NKMat4TranslateWorldVec(m, d);
}

}  // namespace

bool NKFitTransformationsToModelBox(void)
{
    if (g_pModel == nullptr || g_pModel->pFrames == nullptr || g_pModel->iNumFrames < 1)
        return NKDiagnostic("No frames", "NKFitTransformationsToModelBox");
    const float *pfModelBox = g_pModel->fBoundingBox;
    const float *pfFrameBox =
        NKGetGeoBoundingBox(&g_pModel->pFrames[0], NK_BOX_DISPLACED_OR_UNDEFORMED);
    if (pfFrameBox == nullptr)
        return NKDiagnostic("Frame 0 has no box", "NKFitTransformationsToModelBox");
    float fFrameExtent = NKGetMaxExtent(pfFrameBox);
    float fRatio =
        NKFloatsEqual(fFrameExtent, 0.0f) ? 1.0f : NKGetMaxExtent(pfModelBox) / fFrameExtent;
    float afCentre[3], afShift[3];
    for (int k = 0; k < 3; k++) {
        afCentre[k] = (pfFrameBox[k] + pfFrameBox[k + 3]) * 0.5f;
        afShift[k] = (pfModelBox[k] + pfModelBox[k + 3]) * 0.5f - afCentre[k];
    }
    ModelToDisplayVector(afShift);
    ModelToDisplay(afCentre);
    for (int f = 0; f < g_pModel->iNumFrames; f++) {
        NKFrame *pFrame = &g_pModel->pFrames[f];
        if (pFrame->pTransformation == nullptr || pFrame->pGeometry == nullptr) continue;
        for (int i = 0; i < pFrame->pGeometry->iNumParts; i++)
            FitMatrix(&pFrame->pTransformation[16 * i], afCentre, afShift, fRatio);
    }
    NKComputeFrameBoundingBoxes(-1, true, true);
    NKRunCommandLine("rotationpoint model");
    NKComputeNodeTraces();
    return true;
}
