// readers/nk_phase_animation.cpp -- the phase-angle sweep over complex
// results of the older native result set (see nk_phase_animation.h).
#include "readers/nk_phase_animation.h"

#include "core/nk_data_source_kind.h"
#include "core/nk_frames.h"
#include "core/nk_load_hooks.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_progress.h"
#include "core/nk_view_state.h"
#include "readers/nk_data_source.h"
#include "readers/nk_native_result_files.h"

namespace {

// What the sweep reads: the current indices and step, and whether each
// result is complex.
struct Sweep {
    int iScalar = -1;
    int iVector = -1;
    int iStep = -1;
    bool bComplexScalar = false;
    bool bComplexVector = false;
};

NKGeometry *LastGeometry(void) { return NKGetFrameGeometry(NKGetFrame(g_pModel->iNumFrames - 1)); }

// A real result is read once and put into every frame.
void ApplyRealResults(const Sweep &sweep, int iCount)
{
    if (sweep.iStep < 0) return;
    if (!sweep.bComplexScalar && sweep.iScalar >= 0) {
        NKScalarResult *r = NKGetInterfaceScalar(sweep.iScalar, sweep.iStep, LastGeometry(), false);
        if (r != nullptr) NKApplyScalarToFrames(r, 0, iCount - 1);
    }
    if (!sweep.bComplexVector && sweep.iVector >= 0) {
        NKVectorResult *r = NKGetInterfaceVector(sweep.iVector, sweep.iStep, LastGeometry(), false);
        if (r != nullptr) NKApplyVectorToFrames(r, 0, iCount - 1);
    }
}

// The complex results of frame i, read at the present phase angle. A failed
// read keeps the frame's earlier result.
void FillFrame(Sweep *pSweep, int i)
{
    NKScalarResult *pScalar = nullptr;
    NKVectorResult *pVector = nullptr;
    if (pSweep->bComplexScalar && pSweep->iScalar >= 0 && pSweep->iStep >= 0)
        pScalar = NKGetInterfaceScalar(pSweep->iScalar, pSweep->iStep, LastGeometry(), false);
    if (pSweep->bComplexVector && pSweep->iVector >= 0 && pSweep->iStep >= 0)
        pVector = NKGetInterfaceVector(pSweep->iVector, pSweep->iStep, LastGeometry(), false);
    // The pipeline releases a result that the frame does not take.
    if (pScalar != nullptr) NKApplyScalarToFrames(pScalar, i, i);
    if (pVector != nullptr) NKApplyVectorToFrames(pVector, i, i);
}

// The frames made: all of them, or fewer after a Cancel (then -1).
int MakeFrames(Sweep *pSweep, int iFrom, int iTo, int iStep, int iCount, const NKString &name,
               const char *pszStepName)
{
    int i = 0;
    for (int a = iFrom; a <= iTo; a += iStep, i++) {
        NKString text =
            NKString::FromFormat("Setting up animation from %s interface, step %d (%d of %d)",
                                 name.GetText(), a + 1, i + 1, iCount);
        NKSetProgress(i, text.GetText());
        if (NKCheckCancel()) return -1;
        g_fPhaseAngle = static_cast<float>(a) * 3.1415927f * 0.0055555557f;
        FillFrame(pSweep, i);
        NKFrame *pFrame = NKGetFrame(i);
        if (pFrame == nullptr) continue;
        pFrame->szDescription = NKString::FromFormat("%s %3d deg", pszStepName, a);
        pFrame->fTime = NK_UNDEFINED_VALUE;
    }
    return i;
}

}  // namespace

bool NKSetupAnimationFromInterface(int iFrom, int iTo, int iStep)
{
    if (NKGetInterfaceType() != NK_INTERFACE_NATIVE ||
        (!bFreqResultsScalar && !bFreqResultsVector) || iStep < 1 || iTo < iFrom ||
        g_pModel == nullptr || g_pModel->iNumFrames < 1)
        return false;
    int iCount = (iTo - iFrom) / iStep + 1;
    if (!NKSetFrameCount(iCount, true)) return false;
    NKString name;
    NKGetInterfaceName(&name);
    NKBeginProgress(
        iCount,
        NKString::FromFormat("Setting up animation from %s interface...", name.GetText()).GetText(),
        true, true);
    Sweep sweep;
    sweep.iScalar = NKGetCurrentScalarIndex();
    sweep.iVector = NKGetCurrentVectorIndex();
    sweep.iStep = NKGetCurrentStep();
    sweep.bComplexScalar = bFreqResultsScalar != 0;
    sweep.bComplexVector = bFreqResultsVector != 0;
    ApplyRealResults(sweep, iCount);
    const NKStringList *pNames = NKGetInterfaceStepNames();
    const char *pszStepName =
        pNames != nullptr && pNames->Get(sweep.iStep) ? pNames->Get(sweep.iStep) : "";
    NKString stepName(pszStepName);
    float fSavedAngle = g_fPhaseAngle;
    uint8_t bSavedMagnitude = g_bComplexMagnitude;
    g_bComplexMagnitude = 0;
    int iMade = MakeFrames(&sweep, iFrom, iTo, iStep, iCount, name, stepName.GetText());
    g_fPhaseAngle = fSavedAngle;
    g_bComplexMagnitude = bSavedMagnitude;
    if (iMade < 0) {
        NKEndProgress("Animation setup cancelled", true, true);
        NKSetFrameCount(1, false);
        return false;
    }
    if (g_bAutoFringeRange)
        NKRunCommandLine("fringerange 1 0");
    else if (g_bContoursShown)
        NKUpdateContours();
    NKEndProgress(
        NKString::FromFormat("Completed setting up animation from %s interface", name.GetText())
            .GetText(),
        true, true);
    return true;
}
