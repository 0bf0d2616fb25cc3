// commands/nk_result_command_rows.cpp -- the commands of the file-command
// handler that read results and states into the frames: readstate and its
// first/last/next/previous/current forms, readscalar, readvector,
// readdisplacements, readrgb, readbc, readtransformation, readviewpoints,
// addscalar and addvector (see nk_command_files.h).
#include <algorithm>

#include "commands/nk_argument_scan.h"
#include "commands/nk_aux_files.h"
#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_command_table.h"
#include "commands/nk_open_commands.h"
#include "commands/nk_result_animation.h"
#include "core/nk_bbox.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_load_hooks.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_numeric.h"
#include "core/nk_progress.h"
#include "core/nk_render_state.h"
#include "core/nk_view_state.h"
#include "readers/nk_boundary_conditions.h"
#include "readers/nk_data_source.h"
#include "readers/nk_native_result_files.h"

namespace {

// The next word as a decimal integer; iDefault when there is none.
int NextInt(NKArgumentScan *pScan, int iDefault)
{
    NKString word = pScan->NextToken();
    return word.IsEmpty() ? iDefault : word.ToInt();
}

void FreeDerivedSurfaces(void)
{
    NKFreeIsoSurfaces(-1);
    NKFreeCutSurfaces(-1, -1);
}

// The vectors shown with automatic scale get the factor that fits the
// geometry's box: the main vector result (field 0) and the separate fields.
void AutoScaleVectors(bool bSeparateFields)
{
    NKFrame *pFrame = NKGetCurrentFrame();
    NKGeometry *pGeo = NKGetCurrentGeometry();
    if (g_pModel == nullptr || pFrame == nullptr || pGeo == nullptr) return;
    if (g_VectorSettings.bAutoScale && pFrame->pVector != nullptr) {
        float f = NKComputeBoxScaleFactor(pGeo->fBoundingBox, g_pModel->fMaxVectorValue,
                                          g_VectorSettings.fAutoScaleFactor);
        if (f != 0.0f) ExecuteCommand(NKString::FromFormat("scaledis %g", (double)f).GetText());
    }
    if (!bSeparateFields) return;
    NKFrame *pFirst = NKGetFrame(0);
    for (int k = 1; k <= 3; k++) {
        NKSeparateVectorField *pField =
            pFirst != nullptr ? pFirst->pSeparateVectors[k - 1] : nullptr;
        const NKVectorSettings &settings = g_SeparateVectorSettings[k - 1];
        if (!settings.bAutoScale || pField == nullptr) continue;
        float f = NKComputeBoxScaleFactor(pGeo->fBoundingBox, pField->fMaxLength,
                                          settings.fAutoScaleFactor);
        if (f != 0.0f)
            ExecuteCommand(NKString::FromFormat("scaledis %g 0 0 %d", (double)f, k).GetText());
    }
}

// The state that "readstate next" or "previous" reads: iState (1-based) when
// it reads, else the first state on from it in the direction iDirection (1
// or -1) that reads, the first refused state named by its check (the checks
// after it are quiet) and the states passed over by a warning. 0 when none
// reads: the read stays on the current state, saying so.
int StateOnPastRefused(int iState, int iDirection, int iSteps)
{
    const int iFrom = NKGetCurrentStep() + 1;
    int s = iState;
    for (;; s += iDirection) {
        NKMessagesOff quiet(s != iState);
        const bool bRead = NKCheckStateToRead(s - 1);
        quiet.Release();
        if (bRead) break;
        // The state the read stands on refused itself: nothing to step past.
        if (s == iFrom) return 0;
        if (s + iDirection < 1 || s + iDirection > iSteps) {
            NKPrintLeadError(NKString::FromFormat(iDirection > 0
                                                      ? "No state after state %d reads: state "
                                                        "%d stays."
                                                      : "No state before state %d reads: state "
                                                        "%d stays.",
                                                  iFrom, iFrom)
                                 .GetText());
            return 0;
        }
    }
    if (s == iState) return s;
    const int iLow = std::min(iState, s - iDirection), iHigh = std::max(iState, s - iDirection);
    NKPrintWarning(
        (iLow == iHigh
             ? NKString::FromFormat("State %d is refused: stepped on to state %d.", iLow, s)
             : NKString::FromFormat("States %d to %d are refused: stepped on to state %d.", iLow,
                                    iHigh, s))
            .GetText());
    return s;
}

int ReadState(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    int iState = NKGetCurrentStep() + 1;
    int iScalar = NKGetCurrentScalarIndex() + 1;
    int iVector = NKGetCurrentVectorIndex() + 1;
    int iSteps = NKGetInterfaceNumSteps();
    switch (pEntry->id) {
    case NK_CID_READSTATE:
        iState = NextInt(pScan, iState);
        if (iState < 1) {
            NKCommandError(pEntry, "State must be 1 or greater");
            return 1;
        }
        break;
    case NK_CID_READSTATE_FIRST:
        iState = 1;
        break;
    case NK_CID_READSTATE_LAST:
        iState = iSteps;
        break;
    case NK_CID_READSTATE_NEXT:
        iState++;
        break;
    case NK_CID_READSTATE_PREVIOUS:
        iState--;
        break;
    default:
        break;
    }
    if (iSteps < 1) {
        NKCommandError(pEntry, NKGetInterfaceType() == NK_INTERFACE_NONE
                                   ? "No data source is open: there is no state to read"
                                   : "The data source holds no states to read");
        return 1;
    }
    if (pEntry->id != NK_CID_READSTATE) NKClampInt(&iState, 1, iSteps);
    iScalar = NextInt(pScan, iScalar);
    iVector = NextInt(pScan, iVector);
    // A refused state leaves the frame, its extremes and its scaling as they
    // were: nothing is reset before the state is known to read. A step goes
    // on past refused states to the next one that reads.
    if (pEntry->id == NK_CID_READSTATE_NEXT || pEntry->id == NK_CID_READSTATE_PREVIOUS) {
        iState = StateOnPastRefused(iState, pEntry->id == NK_CID_READSTATE_NEXT ? 1 : -1, iSteps);
        if (iState == 0) return 1;
    } else if (!NKCheckStateToRead(iState - 1)) {
        return 1;
    }
    int iRead = NKCommandReadState(iState - 1, iScalar - 1, iVector - 1);
    if (iRead < 0) return 1;
    AutoScaleVectors(true);
    FreeDerivedSurfaces();
    NKComputeNodeTraces();
    if (g_SelectionList.iMode == 5) g_SelectionList.Clear();
    NKInvalidateView();
    return iRead;
}

void StopAnimation(void)
{
    if (g_pModel != nullptr && g_pModel->animationType != 0) ExecuteCommand("noanim");
}

// The file name word; false, said, when there is none.
bool FileName(CommandTableEntry *pEntry, NKArgumentScan *pScan, NKString *pName)
{
    *pName = pScan->NextArgument();
    if (!pName->IsEmpty()) return true;
    NKCommandError(pEntry, "Cannot open file for reading. No filename specified");
    return false;
}

// The 1-based step word; a missing or smaller step is 1.
int StepWord(NKArgumentScan *pScan) { return std::max(1, NextInt(pScan, 1)); }

// The file and the step word.
bool FileAndStep(CommandTableEntry *pEntry, NKArgumentScan *pScan, NKString *pName, int *piStep)
{
    if (!FileName(pEntry, pScan, pName)) return false;
    *piStep = StepWord(pScan);
    return true;
}

int ReadScalar(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    NKString name;
    int iStep = 1;
    if (!FileAndStep(pEntry, pScan, &name, &iStep)) return 1;
    bool bOk;
    {
        NKWaitCursor cursor;
        bOk = NKCommandReadScalar(name.GetText(), iStep - 1);
        if (bOk) {
            NKUpdateContours();
            FreeDerivedSurfaces();
        }
    }
    NKSetStatusText("Done.");
    NKInvalidateView();
    // A read that failed has said so; no success follows it.
    if (!bOk) return 1;
    NKPrintInfo(
        NKString::FromFormat("Read step %d from scalar file %s.", iStep, name.GetText()).GetText());
    return 0;
}

int ReadVector(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    NKString name;
    int iStep = 1;
    if (!FileAndStep(pEntry, pScan, &name, &iStep)) return 1;
    {
        NKWaitCursor cursor;
        if (!NKCommandReadVector(name.GetText(), iStep - 1)) return 1;
        AutoScaleVectors(false);
        NKUpdateContours();
        FreeDerivedSurfaces();
    }
    NKSetStatusText("Done.");
    NKInvalidateView();
    NKPrintInfo(
        NKString::FromFormat("Read step %d from vector file %s.", iStep, name.GetText()).GetText());
    return 0;
}

// readrgb, readtransformation and readviewpoints: one file, one reader.
int ReadAuxFile(CommandTableEntry *pEntry, NKArgumentScan *pScan, bool (*pfnRead)(const char *),
                bool bRGB)
{
    NKString name;
    if (!FileName(pEntry, pScan, &name)) return 1;
    bool bOk;
    {
        NKWaitCursor cursor;
        if (bRGB) StopAnimation();
        bOk = pfnRead(name.GetText());
        if (bOk && bRGB && g_bContoursShown) NKUpdateContours();
    }
    NKInvalidateView();
    if (bOk) return 0;
    if (!bRGB) NKCommandError(pEntry, "Error reading file");
    return 1;
}

// The first argument of addscalar/addvector: a file without a data source,
// else a 1-based result index (1 by default), whose word *pName keeps for
// the error that names what could not be read; *pbSource says which.
bool AddArguments(CommandTableEntry *pEntry, NKArgumentScan *pScan, NKString *pName, int *piIndex,
                  int *piStep, bool *pbSource)
{
    *pbSource = NKGetInterfaceType() != NK_INTERFACE_NONE;
    if (!*pbSource) return FileAndStep(pEntry, pScan, pName, piStep);
    // The index word is what a message about the file names.
    NKString word = pScan->NextToken();
    *piIndex = word.IsEmpty() ? 1 : word.ToInt();
    word.RemoveChar('"');
    *pName = word;
    *piStep = StepWord(pScan);
    return true;
}

int AddScalar(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    NKString name;
    int iIndex = 1, iStep = 1;
    bool bSource;
    if (!AddArguments(pEntry, pScan, &name, &iIndex, &iStep, &bSource)) return 1;
    NKFrame *pFrame = NKGetCurrentFrame();
    NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    if (pGeo == nullptr) return 1;
    NKWaitCursor cursor;
    NKScalarResult *pResult = nullptr;
    if (!bSource) {
        NKSetStatusText("Reading Additional Scalar Field From File...");
        pResult = NKReadScalarFile(name.GetText(), iStep - 1, pGeo);
    } else {
        NKSetStatusText("Reading Additional Scalar Field From Interface...");
        pResult = NKGetInterfaceScalar(iIndex - 1, iStep - 1, pGeo, false);
    }
    if (pResult == nullptr) {
        NKCommandError(pEntry, "Error reading additional scalar file.");
        return 1;
    }
    if (!NKComputeScalarNodeValues(pGeo, pResult)) {
        NKReleaseScalarResult(pResult);
        NKCommandError(pEntry, "Error computing additional scalar values.");
        return 1;
    }
    // The result replaced is released, so that nothing stays behind.
    pResult->iNumRef++;
    NKReleaseScalarResult(pFrame->pExtraScalar[1]);
    pFrame->pExtraScalar[1] = pResult;
    g_pModel->iSecondaryScalar = iIndex - 1;
    FreeDerivedSurfaces();
    if (!bSource)
        NKPrintInfo(NKString::FromFormat("Read and added step %d from scalar file %s.", iStep,
                                         name.GetText())
                        .GetText());
    else
        NKPrintInfo(
            NKString::FromFormat("Read and added step %d from scalar with index %d.", iStep, iIndex)
                .GetText());
    NKInvalidateView();
    return 0;
}

// Turns the vector values of the current geometry's parts into displaced
// positions: model position plus value times the additional-vector scale,
// back in display coordinates; a node whose vector is undefined keeps its
// place. Bounded by the smaller of the part's and the entry's counts.
void DisplaceAdditionalVectors(NKGeometry *pGeo, NKVectorResult *pResult)
{
    for (int i = 0; i < pGeo->iNumParts && i < pResult->iNumParts; i++) {
        const NKPart *pPart = &pGeo->pParts[i];
        NKVectorPartEntry *pEntry = &pResult->pResults[i];
        int n = pPart->iNumNodes < pEntry->iNumNodes ? pPart->iNumNodes : pEntry->iNumNodes;
        if (pEntry->pNodeValues == nullptr || pPart->pNodeCoords == nullptr) continue;
        for (int k = 0; k < n; k++) {
            float afNode[3] = {pPart->pNodeCoords[3 * k], pPart->pNodeCoords[3 * k + 1],
                               pPart->pNodeCoords[3 * k + 2]};
            const float *pfVector = &pEntry->pNodeValues[3 * k];
            if (NKIsUndefined(pfVector[0]) || NKIsUndefined(pfVector[1]) ||
                NKIsUndefined(pfVector[2])) {
                for (int c = 0; c < 3; c++) pEntry->pNodeValues[3 * k + c] = afNode[c];
                continue;
            }
            DisplayToModel(afNode);
            for (int c = 0; c < 3; c++)
                afNode[c] += pEntry->pNodeValues[3 * k + c] * g_fAdditionalVectorScale;
            ModelToDisplay(afNode);
            for (int c = 0; c < 3; c++) pEntry->pNodeValues[3 * k + c] = afNode[c];
        }
    }
}

int AddVector(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    NKString name;
    int iIndex = 1, iStep = 1;
    bool bSource;
    if (!AddArguments(pEntry, pScan, &name, &iIndex, &iStep, &bSource)) return 1;
    StopAnimation();
    NKFrame *pFrame = NKGetCurrentFrame();
    NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    if (pGeo == nullptr) return 1;
    NKVectorResult *pResult;
    {
        NKWaitCursor cursor;
        if (!bSource) {
            NKSetStatusText("Reading Additional Vector Results From File...");
            pResult = NKReadVectorFile(name.GetText(), iStep - 1, pGeo);
        } else {
            NKSetStatusText("Reading Additional Vector Results Interface...");
            pResult = NKGetInterfaceVector(iIndex - 1, iStep - 1, pGeo, false);
        }
    }
    if (pResult == nullptr) {
        NKCommandError(
            pEntry, NKString::FromFormat("Error reading additional vector file %s.", name.GetText())
                        .GetText());
        return 1;
    }
    NKWaitCursor cursor;
    NKComputeVectorLengthRange(pResult);
    DisplaceAdditionalVectors(pGeo, pResult);
    pResult->iNumRef++;
    NKReleaseVectorResult(pFrame->pExtraVector[1]);
    pFrame->pExtraVector[1] = pResult;
    g_pModel->iSecondaryVector = iIndex - 1;
    if (g_VectorSettings.bAutoScale && pFrame->pVector != nullptr) {
        float f = NKComputeBoxScaleFactor(pGeo->fBoundingBox, g_pModel->fMaxVectorValue,
                                          g_VectorSettings.fAutoScaleFactor);
        if (f != 0.0f)
            ExecuteCommand(NKString::FromFormat("scaledis %g 0 0 2", (double)f).GetText());
    }
    FreeDerivedSurfaces();
    NKSetStatusText("Done.");
    if (!bSource)
        NKPrintInfo(NKString::FromFormat("Additional vector field read from step %d in file %s.",
                                         iStep, name.GetText())
                        .GetText());
    else
        NKPrintInfo(NKString::FromFormat("Additional vector field read from step %d with index %d.",
                                         iStep, iIndex)
                        .GetText());
    NKInvalidateView();
    return 0;
}

int ReadBoundaryConditions(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    NKString name;
    if (!FileName(pEntry, pScan, &name)) return 1;
    NKWaitCursor cursor;
    bool bOk = NKReadBoundaryConditions(name.GetText());
    NKInvalidateView();
    if (bOk) return 0;
    NKCommandError(pEntry, "Error reading file");
    return 1;
}

}  // namespace

int NKCommandHandleResultRows(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    switch (pEntry->id) {
    case NK_CID_READSCALAR:
        return ReadScalar(pEntry, pScan);
    case NK_CID_READDISPLACEMENTS:
        return ReadVector(pEntry, pScan);
    case NK_CID_READRGB:
        return ReadAuxFile(pEntry, pScan, NKCommandReadRGB, true);
    case NK_CID_READTRANSFORMATION:
        return ReadAuxFile(pEntry, pScan, NKCommandReadTransformation, false);
    case NK_CID_READVIEWPOINTS:
        return ReadAuxFile(pEntry, pScan, NKCommandReadViewPoints, false);
    case NK_CID_ADDSCALAR:
        return AddScalar(pEntry, pScan);
    case NK_CID_ADDVECTOR:
        return AddVector(pEntry, pScan);
    default:
        return 3;
    }
}

int NKCommandHandleStateRows(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    switch (pEntry->id) {
    case NK_CID_READSTATE:
    case NK_CID_READSTATE_FIRST:
    case NK_CID_READSTATE_LAST:
    case NK_CID_READSTATE_NEXT:
    case NK_CID_READSTATE_PREVIOUS:
    case NK_CID_READSTATE_CURRENT:
        return ReadState(pEntry, pScan);
    case NK_CID_READBC:
        return ReadBoundaryConditions(pEntry, pScan);
    default:
        return NKCommandHandleResultRows(pEntry, pScan);
    }
}
