// commands/nk_read_state.cpp -- reading one state of the data source into
// the model's one frame, animations from the data source or from the current
// displacement, and closing the data source (see nk_open_commands.h).
#include <cmath>

#include "commands/nk_command.h"
#include "commands/nk_open_commands.h"
#include "core/nk_diagnostic.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_load_hooks.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_normals.h"
#include "core/nk_numeric.h"
#include "core/nk_progress.h"
#include "core/nk_render_state.h"
#include "core/nk_transform_tables.h"
#include "core/nk_view_state.h"
#include "readers/nk_animation_setup.h"
#include "readers/nk_data_source.h"
#include "readers/nk_native_result_files.h"
#include "readers/nk_phase_animation.h"

namespace {

// Frame 0 gets the state's name and time, and its geometry: a new one when
// the source has one for the state, else the state's element visibility.
void ReadStateGeometry(NKFrame *pFrame, int iState)
{
    const NKStringList *pNames = NKGetInterfaceStepNames();
    if (pNames != nullptr && pNames->Get(iState) != nullptr)
        pFrame->szDescription = pNames->Get(iState);
    pFrame->fTime = NKGetInterfaceStepTime(iState);
    NKGeometry *pGeo = NKGetInterfaceGeometry(iState);
    if (pGeo == nullptr) {
        NKUpdateInterfaceVisibility(iState, pFrame);
        return;
    }
    NKSetStatusText("New Geometry Read.");
    NKCopyPartAttributes(pFrame->pGeometry, pGeo);
    ComputeGeometryData(pGeo, 0, 0, iState, 0, NKUpdateInterfaceVisibility);
}

// The scalar of the state; false when one was asked for and none found.
bool ReadStateScalar(NKFrame *pFrame, int iState, int iScalar)
{
    if (NKGetInterfaceNumScalars() < 1) return true;
    if (g_bFringesShown) ExecuteCommand("nofringedis");
    if (iScalar == -1) {
        NKGetInterfaceScalar(-1, iState, pFrame->pGeometry, true);
        return true;
    }
    NKSetStatusText("Reading Scalar Data...");
    if (iScalar != NKGetCurrentScalarIndex()) g_ValueFilterSettings = {0, 0.0f, 0.0f};
    NKScalarResult *pResult = NKGetInterfaceScalar(iScalar, iState, pFrame->pGeometry, true);
    if (pResult == nullptr) {
        NKPrintWarning("Could not find any scalar values in state");
        return false;
    }
    if (!NKApplyScalarToFrames(pResult, 0, 0))
        NKDiagnostic("Error inserting scalar result", "NKCommandReadState");
    NKUpdateContours();
    ExecuteCommand(
        NKString::FromFormat("stringscalar %s", NKGetScalarResultName(0, false)).GetText());
    return true;
}

bool ReadStateVector(NKFrame *pFrame, int iState, int iVector)
{
    if (NKGetInterfaceNumVectors() < 1) return true;
    if (iVector == -1) {
        NKGetInterfaceVector(-1, iState, pFrame->pGeometry, true);
        return true;
    }
    NKSetStatusText("Reading Vector Data...");
    NKVectorResult *pResult = NKGetInterfaceVector(iVector, iState, pFrame->pGeometry, true);
    if (pResult == nullptr) {
        NKPrintWarning("Could not find any vector values in state");
        return false;
    }
    if (!NKApplyVectorToFrames(pResult, 0, 0))
        NKDiagnostic("Error inserting vector result", "NKCommandReadState");
    NKUpdateContours();
    ExecuteCommand(
        NKString::FromFormat("stringvector %s", NKGetVectorResultName(0, false)).GetText());
    return true;
}

void ReadStateSeparateVectors(NKFrame *pFrame, int iState)
{
    for (int i = 0; i < NKGetInterfaceNumTransformations() && i < NK_NUM_SEPARATE_VECTOR_SLOTS;
         i++) {
        NKSeparateVectorField *pField =
            g_SeparateVectorSettings[i].bShown
                ? NKGetInterfaceTransformation(i, iState, pFrame->pGeometry, true)
                : nullptr;
        if (!NKApplySeparateVectorField(pField, 0, 0, i))
            NKDiagnostic("Error inserting separate vectors.", "NKCommandReadState");
    }
}

// A list of 0-based steps is checked step by step: a source of one step
// animates its one step.
bool ListedStepsExist(const int *piList, int iCount, int iSteps)
{
    if (iCount < 1) return false;
    for (int i = 0; i < iCount; i++)
        if (piList[i] < 0 || piList[i] >= iSteps) return false;
    return true;
}

}  // namespace

bool NKCheckStateToRead(int iState)
{
    int iSteps = NKGetInterfaceNumSteps();
    if (iSteps < 1 || g_pModel == nullptr) return false;
    if (iState < 0 || iState >= iSteps) {
        NKPrintError(
            NKString::FromFormat("Error reading state. Illegal state no: %d (Max state no : %d)",
                                 iState, iSteps - 1)
                .GetText());
        return false;
    }
    return NKCheckInterfaceStep(iState);
}

bool NKCommandReadState(int iState, int iScalar, int iVector)
{
    if (g_pModel == nullptr || iState < 0 || iState >= NKGetInterfaceNumSteps()) return false;
    NKWaitCursor cursor;
    if (g_pModel->animationType != 0) ExecuteCommand("noanim");
    if (g_pModel->iNumFrames != 1 && !NKSetFrameCount(1, true)) return false;
    NKFrame *pFrame = &g_pModel->pFrames[0];
    // The frame shows the state from now on; its results' ranges name it.
    pFrame->iStepIndex = iState;
    NKApplyScalarToFrames(nullptr, 0, 0);
    NKApplyVectorToFrames(nullptr, 0, 0);
    bool bContours = g_bContoursShown != 0;
    if (bContours) ExecuteCommand("nocontours");
    // A frame without a geometry takes the state's, when the source has one.
    ReadStateGeometry(pFrame, iState);
    if (pFrame->pGeometry == nullptr) {
        if (bContours) ExecuteCommand("contours");
        return false;
    }
    bool bScalar = ReadStateScalar(pFrame, iState, iScalar);
    bool bVector = ReadStateVector(pFrame, iState, iVector);
    ReadStateSeparateVectors(pFrame, iState);
    if (NKGetInterfaceType() == NK_INTERFACE_NATIVE) NKSetFrameTimesFromDescriptions();
    if (bContours) ExecuteCommand("contours");
    if (NKPlotExists()) ExecuteCommand("np update");
    NKFLDUpdatePlot();
    g_TransformationTable.ApplyToFrame(pFrame, iState);
    g_ViewPointTable.ApplyToFrame(pFrame, iState);
    if (bScalar && bVector) {
        NKPrintInfo("State Loaded sucessfully.");
        return true;
    }
    const char *pszWhat =
        !bScalar && !bVector ? "scalar or vector" : (!bScalar ? "scalar" : "vector");
    NKPrintError(
        NKString::FromFormat("Error reading state, could not find any %s values in state", pszWhat)
            .GetText());
    return false;
}

bool NKSetupInterfaceAnimation(int iFirst, int iLast, int iIncrement, const int *piList, int iCount)
{
    int iSteps = NKGetInterfaceNumSteps();
    bool bFrequency = bFreqResultsScalar || bFreqResultsVector;
    if (!bFrequency) {
        if (iFirst < 1) iFirst = 1;
        if (iLast < 1) iLast = iSteps;
    }
    if (bFrequency && iFirst >= 0 && 0 < iLast && iFirst < iLast && 0 < iIncrement &&
        iIncrement < 360 && iLast < 360) {
        NKPrintInfo("Setting up frequency domain animation.");
        if (!NKSetupAnimationFromInterface(iFirst, iLast, iIncrement)) return false;
    } else if (piList != nullptr ? ListedStepsExist(piList, iCount, iSteps)
                                 : (0 < iFirst && iFirst < iLast && 0 < iIncrement &&
                                    iIncrement <= iSteps && iLast <= iSteps)) {
        NKPrintInfo("Setting up animation from interface.");
        if (!SetupAnimationFromInterface(iFirst - 1, iLast - 1, iIncrement, piList, iCount))
            return false;
        if (NKGetInterfaceType() == NK_INTERFACE_NATIVE) NKSetFrameTimesFromDescriptions();
    } else {
        NKPrintError("Invalid parameters for animation setup.");
        return false;
    }
    ExecuteCommand("anim_run");
    if (NKPlotExists()) ExecuteCommand("np update");
    return true;
}

float NKModeShapeFactor(int iFrame, int iNegative, int iPositive, bool bSine)
{
    const double dHalfPi = 1.5707963267948966;
    if (iFrame < iPositive) {
        int k = iPositive - iFrame;
        return (float)(bSine ? std::sin(k * dHalfPi / iPositive) : (double)k / iPositive);
    }
    if (iFrame == iPositive) return 0.0f;
    int k = iFrame - iPositive;
    if (bSine) return (float)-std::sin(k * dHalfPi / (iPositive > 0 ? iPositive : 1));
    return (float)(-(double)k / (iNegative > 0 ? iNegative : 1));
}

namespace {

// Scales the displacement (displaced position minus node position) of every
// node of the frame's vector result by the factor.
void ScaleDisplacements(NKFrame *pFrame, float fFactor)
{
    NKGeometry *pGeo = pFrame->pGeometry;
    NKVectorResult *pVector = pFrame->pVector;
    for (int i = 0; i < pGeo->iNumParts && i < pVector->iNumParts; i++) {
        const NKPart *pPart = &pGeo->pParts[i];
        NKVectorPartEntry *pEntry = &pVector->pResults[i];
        int n = pPart->iNumNodes < pEntry->iNumNodes ? pPart->iNumNodes : pEntry->iNumNodes;
        for (int k = 0;
             pEntry->pNodeValues != nullptr && pPart->pNodeCoords != nullptr && 3 * k < 3 * n;
             k++) {
            for (int c = 0; c < 3; c++) {
                float fNode = pPart->pNodeCoords[3 * k + c];
                float *pfValue = &pEntry->pNodeValues[3 * k + c];
                if (*pfValue == NK_UNDEFINED_VALUE) continue;
                *pfValue = fNode + (*pfValue - fNode) * fFactor;
            }
        }
    }
    NKComputeVectorResultNormals(pGeo, pVector);
}

void ScaleScalars(NKFrame *pFrame, float fFactor)
{
    NKScalarResult *pScalar = pFrame->pScalar;
    float fScale = std::fabs(fFactor);
    for (int i = 0; i < pScalar->iNumParts && pScalar->pNodeResults != nullptr; i++) {
        NKScalarPartEntry *pEntry = &pScalar->pNodeResults[i];
        for (int k = 0; pEntry->pNodeValues != nullptr && k < pEntry->iCount; k++)
            if (pEntry->pNodeValues[k] != NK_UNDEFINED_VALUE) pEntry->pNodeValues[k] *= fScale;
    }
    NKComputeScalarNodeValues(pFrame->pGeometry, pScalar);
}

}  // namespace

bool NKSetupModeShapeAnimation(int iNegative, int iPositive, bool bSine, bool bWithScalar)
{
    if (iNegative + iPositive < 1) return false;
    if (g_pModel == nullptr || g_pModel->iNumFrames < 1) {
        NKPrintError("You need to load a geometry to use mode shape animation.");
        return false;
    }
    if (g_pModel->pFrames[0].pVector == nullptr) {
        NKPrintError("You need to apply a vector result before using mode shape animation.");
        return false;
    }
    if (bWithScalar && g_pModel->pFrames[0].pScalar == nullptr) {
        NKPrintWarning("Cannot interpolate scalar result, no scalar is result present");
        bWithScalar = false;
    }
    NKWaitCursor cursor;
    int n = iNegative + iPositive + 1;
    if (!NKSetFrameCount(1, false) || !NKSetFrameCount(n, false)) return false;
    for (int f = 1; f < n; f++) {
        NKFrame *pFrame = &g_pModel->pFrames[f];
        if (!NKCopyVectorResult(pFrame, &g_pModel->pFrames[0])) return false;
        if (bWithScalar && !NKCopyFrameScalarResult(pFrame, &g_pModel->pFrames[0])) return false;
    }
    // Frame 0 keeps the shared original until its own scaled copy is made.
    if (!NKCopyVectorResult(&g_pModel->pFrames[0], &g_pModel->pFrames[1])) return false;
    if (bWithScalar && !NKCopyFrameScalarResult(&g_pModel->pFrames[0], &g_pModel->pFrames[1]))
        return false;
    for (int f = 0; f < n; f++) {
        float fFactor = NKModeShapeFactor(f, iNegative, iPositive, bSine);
        ScaleDisplacements(&g_pModel->pFrames[f], fFactor);
        if (bWithScalar) ScaleScalars(&g_pModel->pFrames[f], fFactor);
    }
    return true;
}

void NKCommandCloseInterface(void)
{
    NKCloseInterface();
    NKPrintInfo("Closing interface.");
}
