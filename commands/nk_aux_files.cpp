// commands/nk_aux_files.cpp -- the transformation, RGB and viewpoint loads
// (see nk_aux_files.h).
//
// The frame table is resized only after the file was read, so a bad file
// never costs the model its frames. A failure after the resize leaves the
// new frame count with the frames done so far.
#include "commands/nk_aux_files.h"

#include "core/nk_apply_results.h"
#include "core/nk_bbox.h"
#include "core/nk_diagnostic.h"
#include "core/nk_file_read.h"
#include "core/nk_frames.h"
#include "core/nk_math.h"
#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_progress.h"
#include "core/nk_string.h"
#include "core/nk_transform_tables.h"
#include "readers/nk_native_aux_files.h"

namespace {

void PrintStepError(const char *pszFormat, int iStep)
{
    NKPrintError(NKString::FromFormat(pszFormat, iStep).GetText());
}

// Frame f's matrices: step f of the file for its first parts, the identity
// for the rest. False after the message when they cannot be allocated.
bool SetFrameMatrices(NKFrame *pFrame, int f, const float *pMatrices, int iNumParts)
{
    NKFree(pFrame->pTransformation);
    pFrame->pTransformation = nullptr;
    if (pFrame->pGeometry == nullptr) return true;
    if (!NKAllocFrameTransformations(pFrame)) {
        PrintStepError("Error allocating memory for transformations in step %d.", f + 1);
        return false;
    }
    int n = pFrame->pGeometry->iNumParts;
    for (int p = 0; p < n && p < iNumParts && pFrame->pTransformation != nullptr; p++)
        NKMat4Copy(&pFrame->pTransformation[16 * p],
                   &pMatrices[(static_cast<size_t>(f) * iNumParts + p) * 16]);
    return true;
}

// The table takes the matrices as they are; a frozen node stays frozen.
void KeepInTable(float *pMatrices, int iNumSteps, int iNumParts)
{
    NKFree(g_TransformationTable.m_pMatrices);
    g_TransformationTable.m_pMatrices = pMatrices;
    g_TransformationTable.m_iNumSteps = iNumSteps;
    g_TransformationTable.m_iNumParts = iNumParts;
}

}  // namespace

bool NKCommandReadTransformation(const char *pszFileName)
{
    if (pszFileName == nullptr || g_pModel == nullptr)
        return NKDiagnostic("NULL pointer passed", "NKCommandReadTransformation");
    NKSetStatusText("Reading Transformation File...");
    int iNumSteps = 0, iNumParts = 0;
    float *pMatrices = NKReadTransformationFile(pszFileName, &iNumSteps, &iNumParts);
    if (pMatrices == nullptr) return false;
    if (!NKSetFrameCount(iNumSteps, false)) {
        NKFree(pMatrices);
        return NKDiagnostic("Error reallocating frames.", "NKCommandReadTransformation");
    }
    for (int f = 0; f < g_pModel->iNumFrames; f++) {
        if (!SetFrameMatrices(&g_pModel->pFrames[f], f, pMatrices, iNumParts)) {
            NKFree(pMatrices);
            return false;
        }
    }
    KeepInTable(pMatrices, iNumSteps, iNumParts);
    NKComputeFrameBoundingBoxes(-1, true, true);
    return true;
}

bool NKCommandReadRGB(const char *pszFileName)
{
    if (pszFileName == nullptr || g_pModel == nullptr)
        return NKDiagnostic("NULL pointer passed", "NKCommandReadRGB");
    const std::string why = NKInputFileProblem(pszFileName);
    if (!why.empty()) {
        NKPrintError(NKString::FromFormat("Error reading rgb file %s.", pszFileName).GetText());
        NKPrintFileProblem(pszFileName, why.c_str());
        return false;
    }
    NKSetStatusText("Reading RGB File...");
    NKFrame *pFirst = NKGetFrame(0);
    NKScalarResult *pResult =
        pFirst != nullptr ? NKReadRgbFile(pszFileName, pFirst->pGeometry) : nullptr;
    if (pResult == nullptr) {
        NKPrintError(NKString::FromFormat("Error reading rgb file %s.", pszFileName).GetText());
        return false;
    }
    for (int f = 0; f < g_pModel->iNumFrames; f++) {
        NKFrame *pFrame = &g_pModel->pFrames[f];
        NKReleaseScalarResult(pFrame->pScalar);
        pFrame->pScalar = nullptr;
        if (pFrame->pGeometry == nullptr) continue;
        pFrame->pScalar = pResult;
        pResult->iNumRef++;
    }
    // Frame 0 read the file for its geometry, so it holds the result.
    bool bOk = NKFitScalarResultToGeometry(pFirst->pGeometry, pResult);
    if (!bOk) {
        for (int f = 0; f < g_pModel->iNumFrames; f++) {
            NKReleaseScalarResult(g_pModel->pFrames[f].pScalar);
            g_pModel->pFrames[f].pScalar = nullptr;
        }
    }
    g_pModel->iNumScalarSteps = bOk ? 1 : 0;
    return bOk;
}

bool NKCommandReadViewPoints(const char *pszFileName)
{
    if (pszFileName == nullptr || g_pModel == nullptr)
        return NKDiagnostic("NULL pointer passed", "NKCommandReadViewPoints");
    NKSetStatusText("Reading Viewpoints File...");
    int n = 0;
    NKViewPoint *pViews = NKReadViewFile(pszFileName, &n);
    if (pViews == nullptr) return false;
    bool bOk = NKSetFrameCount(n, false);
    if (!bOk) NKDiagnostic("Error reallocating frames.", "NKCommandReadViewPoints");
    if (bOk && !g_ViewPointTable.Allocate(n))
        bOk = NKDiagnostic("Error allocating memory for viewpoints.", "NKCommandReadViewPoints");
    for (int i = 0; bOk && i < n; i++) {
        NKViewPoint *pView = NKCreateViewPoint();
        if (pView == nullptr) {
            PrintStepError("Error allocating memory for viewpoint in step %d.", i + 1);
            bOk = false;
            break;
        }
        *pView = pViews[i];
        ModelToDisplay(pView->eye);
        ModelToDisplay(pView->vrp);
        NKVec3Normalize(pView->vup);
        pView->iNumRef = 1;
        NKFrame *pFrame = &g_pModel->pFrames[i];
        NKReleaseViewPoint(pFrame->pViewPoint);
        pFrame->pViewPoint = pView;
        g_ViewPointTable.Set(i, pView->eye, pView->vrp, pView->vup);
    }
    NKFree(pViews);
    return bOk;
}
