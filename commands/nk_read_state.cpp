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

// Frame 0 gets the state's name and time, and its geometry: pGeo, the new
// one the source has for the state, else the state's element visibility.
void ReadStateGeometry(NKFrame *pFrame, int iState, NKGeometry *pGeo)
{
    const NKStringList *pNames = NKGetInterfaceStepNames();
    if (pNames != nullptr && pNames->Get(iState) != nullptr)
        pFrame->szDescription = pNames->Get(iState);
    pFrame->fTime = NKGetInterfaceStepTime(iState);
    if (pGeo == nullptr) {
        NKUpdateInterfaceVisibility(iState, pFrame);
        return;
    }
    NKSetStatusText("New Geometry Read.");
    NKCopyPartAttributes(pFrame->pGeometry, pGeo);
    ComputeGeometryData(pGeo, 0, 0, iState, 0, NKUpdateInterfaceVisibility);
}

// The kinds of result a state read lacks: "scalar", "vector", both, or null.
const char *MissingKinds(bool bNoScalar, bool bNoVector)
{
    if (bNoScalar && bNoVector) return "scalar or vector";
    if (bNoScalar) return "scalar";
    return bNoVector ? "vector" : nullptr;
}

void ReportUnreadState(const char *pszMissing)
{
    NKPrintError(NKString::FromFormat("Error reading state, could not find any %s values in state",
                                      pszMissing)
                     .GetText());
}

// The scalar and vector a state read puts into the frame. They are read for
// the geometry the frame will show before anything of the frame changes, so
// that a result the state lacks, or a file that no longer holds it, refuses
// the read with the frame as it was. The record owns what it read until the
// frame takes it over (ApplyStateResults); what the frame never took is
// released once, when the record goes.
struct StateResults {
    bool bScalar = false;  // the source has scalars and the read asks for one
    bool bVector = false;
    NKScalarResult *pScalar = nullptr;
    NKVectorResult *pVector = nullptr;

    StateResults(int iScalar, int iVector)
    {
        bScalar = NKGetInterfaceNumScalars() > 0 && iScalar != -1;
        bVector = NKGetInterfaceNumVectors() > 0 && iVector != -1;
    }
    ~StateResults()
    {
        NKReleaseScalarResult(pScalar);
        NKReleaseVectorResult(pVector);
    }
    StateResults(const StateResults &) = delete;
    StateResults &operator=(const StateResults &) = delete;
    // Reads what is asked; false, warned, when one of them is missing.
    bool Read(int iState, int iScalar, int iVector, NKGeometry *pGeo)
    {
        if (bScalar) {
            NKSetStatusText("Reading Scalar Data...");
            pScalar = NKGetInterfaceScalar(iScalar, iState, pGeo, false);
            if (pScalar == nullptr) NKPrintWarning("Could not find any scalar values in state");
        }
        if (bVector) {
            NKSetStatusText("Reading Vector Data...");
            pVector = NKGetInterfaceVector(iVector, iState, pGeo, false);
            if (pVector == nullptr) NKPrintWarning("Could not find any vector values in state");
        }
        return Missing() == nullptr;
    }
    // What the state lacks of what was asked: "scalar", "vector", both, or
    // null.
    const char *Missing() const
    {
        return MissingKinds(bScalar && pScalar == nullptr, bVector && pVector == nullptr);
    }
};

// Whether the indices asked for are among the source's results; an index
// outside them is known to read nothing before any file is read.
bool IndicesExist(const StateResults &asked, int iScalar, int iVector)
{
    bool bNoScalar = asked.bScalar && (iScalar < 0 || iScalar >= NKGetInterfaceNumScalars());
    bool bNoVector = asked.bVector && (iVector < 0 || iVector >= NKGetInterfaceNumVectors());
    if (bNoScalar) NKPrintWarning("Could not find any scalar values in state");
    if (bNoVector) NKPrintWarning("Could not find any vector values in state");
    if (!bNoScalar && !bNoVector) return true;
    ReportUnreadState(MissingKinds(bNoScalar, bNoVector));
    return false;
}

// The results into the frame, with the current indices the source keeps; a
// result not asked for is none (index -1) when the source has that kind.
void ApplyStateResults(int iState, int iScalar, int iVector, StateResults *pResults)
{
    if (NKGetInterfaceNumScalars() > 0 && g_bFringesShown) ExecuteCommand("nofringedis");
    if (pResults->bScalar && iScalar != NKGetCurrentScalarIndex())
        g_ValueFilterSettings = {0, 0.0f, 0.0f};
    int iCurrentScalar = NKGetInterfaceNumScalars() > 0 ? iScalar : NKGetCurrentScalarIndex();
    int iCurrentVector = NKGetInterfaceNumVectors() > 0 ? iVector : NKGetCurrentVectorIndex();
    NKSetInterfaceCurrent(iState, iCurrentScalar, iCurrentVector);
    if (pResults->pScalar != nullptr) {
        if (!NKApplyScalarToFrames(pResults->pScalar, 0, 0))
            NKDiagnostic("Error inserting scalar result", "NKCommandReadState");
        NKUpdateContours();
        ExecuteCommand(
            NKString::FromFormat("stringscalar %s", NKGetScalarResultName(0, false)).GetText());
    }
    if (pResults->pVector != nullptr) {
        if (!NKApplyVectorToFrames(pResults->pVector, 0, 0))
            NKDiagnostic("Error inserting vector result", "NKCommandReadState");
        NKUpdateContours();
        ExecuteCommand(
            NKString::FromFormat("stringvector %s", NKGetVectorResultName(0, false)).GetText());
    }
    pResults->pScalar = nullptr;
    pResults->pVector = nullptr;
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

int NKCommandReadState(int iState, int iScalar, int iVector)
{
    if (g_pModel == nullptr || g_pModel->iNumFrames < 1 || iState < 0 ||
        iState >= NKGetInterfaceNumSteps())
        return -1;
    StateResults results(iScalar, iVector);
    if (!IndicesExist(results, iScalar, iVector)) return -1;
    NKWaitCursor cursor;
    int iStepBefore = NKGetCurrentStep();
    // The frame left keeps the last frame's geometry unless the source has a
    // new one for the state; the results are read for the one it will show.
    NKGeometry *pNewGeo = NKGetInterfaceGeometry(iState);
    if (pNewGeo == nullptr &&
        !results.Read(iState, iScalar, iVector,
                      g_pModel->pFrames[g_pModel->iNumFrames - 1].pGeometry)) {
        NKSetInterfaceCurrent(iStepBefore, NKGetCurrentScalarIndex(), NKGetCurrentVectorIndex());
        ReportUnreadState(results.Missing());
        return -1;
    }
    NKResetScalarMinMax();
    NKResetVectorMinMax();
    if (g_pModel->animationType != 0) ExecuteCommand("noanim");
    if (g_pModel->iNumFrames != 1 && !NKSetFrameCount(1, true)) return 1;
    NKFrame *pFrame = &g_pModel->pFrames[0];
    // The frame shows the state from now on; its results' ranges name it.
    pFrame->iStepIndex = iState;
    NKApplyScalarToFrames(nullptr, 0, 0);
    NKApplyVectorToFrames(nullptr, 0, 0);
    bool bContours = g_bContoursShown != 0;
    if (bContours) ExecuteCommand("nocontours");
    ReadStateGeometry(pFrame, iState, pNewGeo);
    if (pFrame->pGeometry == nullptr) {
        if (bContours) ExecuteCommand("contours");
        return 1;
    }
    // A new geometry's results can only be read once it is the frame's.
    bool bRead = pNewGeo == nullptr || results.Read(iState, iScalar, iVector, pFrame->pGeometry);
    const char *pszMissing = results.Missing();
    ApplyStateResults(iState, iScalar, iVector, &results);
    ReadStateSeparateVectors(pFrame, iState);
    if (NKGetInterfaceType() == NK_INTERFACE_NATIVE) NKSetFrameTimesFromDescriptions();
    if (bContours) ExecuteCommand("contours");
    if (NKPlotExists()) ExecuteCommand("np update");
    NKFLDUpdatePlot();
    g_TransformationTable.ApplyToFrame(pFrame, iState);
    g_ViewPointTable.ApplyToFrame(pFrame, iState);
    if (bRead) {
        NKPrintInfo("State Loaded sucessfully.");
        return 0;
    }
    ReportUnreadState(pszMissing);
    return 1;
}

bool NKSetupInterfaceAnimation(int iFirst, int iLast, int iIncrement, const int *piList, int iCount)
{
    NKClearRefusedAnimationSteps();
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
