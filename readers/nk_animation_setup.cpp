// readers/nk_animation_setup.cpp -- frames from the steps of the open data
// source (see nk_animation_setup.h).
//
// The frames take what the source delivers through the load pipeline's
// calls (core/nk_load_hooks.h): geometry, results and separate vector fields
// arrive with a reference count of 0 and each frame that stores one adds 1.
// The fringe range is recomputed through the command line ("fringerange 1
// 0"), since the command language sits above this folder.
#include "readers/nk_animation_setup.h"

#include <climits>
#include <cstdint>
#include <vector>

#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_load_hooks.h"
#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_progress.h"
#include "core/nk_string.h"
#include "core/nk_transform_tables.h"
#include "core/nk_view_state.h"
#include "readers/nk_data_source.h"
#include "readers/nk_fem_interface.h"
#include "readers/nk_fem_source.h"

namespace {

std::vector<int> sg_RefusedSteps;  // the steps the last set-up refused

// The frame's slot of the secondary scalar and vector (the second kind of
// result, NKGetFrameScalarByKind kind 1).
constexpr int SECONDARY_SLOT = 1;

// The steps to make frames for: the list given, or iFrom, iFrom + iSkip, ...
// up to iTo. Null when a listed step is outside the source's steps, the
// range is empty or memory runs out; the caller frees the list.
int *MakeStepList(int iFrom, int iTo, int iSkip, const int *piSteps, int iCount, int *piNumFrames)
{
    int64_t iNumFrames = 0;
    if (piSteps != nullptr) {
        int iNumSteps = NKGetInterfaceNumSteps();
        for (int i = 0; i < iCount; i++) {
            if (piSteps[i] < 0 || piSteps[i] >= iNumSteps) return nullptr;
        }
        iNumFrames = iCount;
    } else {
        // With iTo below iFrom the count would still come out as 1 while the
        // list stayed empty.
        if (iSkip < 1 || iTo < iFrom) return nullptr;
        iNumFrames = (static_cast<int64_t>(iTo) - iFrom) / iSkip + 1;
    }
    if (iNumFrames < 1 || iNumFrames > INT_MAX) return nullptr;
    int *piList = static_cast<int *>(NKAlloc(static_cast<size_t>(iNumFrames) * sizeof(int)));
    if (piList == nullptr) return nullptr;
    for (int64_t i = 0; i < iNumFrames; i++) {
        piList[i] = piSteps != nullptr ? piSteps[i] : static_cast<int>(iFrom + i * iSkip);
    }
    *piNumFrames = static_cast<int>(iNumFrames);
    return piList;
}

// Keeps the frames when they were made for the same steps before, else
// rebuilds the array as copies of the present last frame.
bool PrepareFrames(const int *piList, int iNumFrames)
{
    if (g_pModel->iNumFrames == iNumFrames && g_pModel->pFrames[0].iStepIndex == piList[0] &&
        g_pModel->pFrames[iNumFrames - 1].iStepIndex == piList[iNumFrames - 1])
        return true;
    return NKSetFrameCount(iNumFrames, true);
}

// Makes pGeo the held geometry (null: none), with one reference of its own.
void HoldGeometry(NKGeometry **ppHeld, NKGeometry *pGeo)
{
    if (pGeo != nullptr) pGeo->iNumRef++;
    NKReleaseGeometry(*ppHeld);
    *ppHeld = pGeo;
}

// Stores a new result in a frame slot, releasing what the slot held (the
// record of the frame it was copied from).
template <typename T>
void StoreResult(T **ppSlot, T *pResult, void (*pfnRelease)(T *))
{
    pfnRelease(*ppSlot);
    *ppSlot = pResult;
    pResult->iNumRef++;
}

// Step s's geometry into frames i .. last, or, when the source has no new one
// for the step, its element visibility into frame i.
void ReadGeometry(int i, int s, int iNumFrames, NKGeometry **ppPrevious)
{
    NKGeometry *pGeo = NKGetInterfaceGeometry(s);
    if (pGeo != nullptr) {
        if (*ppPrevious != nullptr) NKCopyPartAttributes(*ppPrevious, pGeo);
        // A geometry the frames refused is the pipeline's to release.
        if (ComputeGeometryData(pGeo, i, iNumFrames - 1, s, 0, NKUpdateInterfaceVisibility)) {
            HoldGeometry(ppPrevious, pGeo);
            return;
        }
    }
    NKUpdateInterfaceVisibility(s, NKGetFrame(i));
}

// The current scalar and vector of step s into frame i; a step without them
// keeps what the frame had.
void ReadResults(int i, int s)
{
    NKGeometry *pGeo = NKGetFrame(i)->pGeometry;
    NKScalarResult *pScalar = NKGetInterfaceScalar(NKGetCurrentScalarIndex(), s, pGeo, true);
    NKVectorResult *pVector = NKGetInterfaceVector(NKGetCurrentVectorIndex(), s, pGeo, true);
    // The pipeline takes the results over, also when it refuses them.
    if (pScalar != nullptr) NKApplyScalarToFrames(pScalar, i, i);
    if (pVector != nullptr) NKApplyVectorToFrames(pVector, i, i);
}

// The model's secondary scalar and vector of step s, read without making
// them current.
void ReadSecondaryResults(NKFrame *pFrame, int s)
{
    NKGeometry *pGeo = pFrame->pGeometry;
    if (g_pModel->iSecondaryScalar >= 0) {
        NKScalarResult *pScalar = NKGetInterfaceScalar(g_pModel->iSecondaryScalar, s, pGeo, false);
        if (pScalar != nullptr) {
            NKComputeScalarNodeValues(pGeo, pScalar);
            StoreResult(&pFrame->pExtraScalar[SECONDARY_SLOT], pScalar, NKReleaseScalarResult);
        }
    }
    if (g_pModel->iSecondaryVector >= 0) {
        NKVectorResult *pVector = NKGetInterfaceVector(g_pModel->iSecondaryVector, s, pGeo, false);
        if (pVector != nullptr)
            StoreResult(&pFrame->pExtraVector[SECONDARY_SLOT], pVector, NKReleaseVectorResult);
    }
}

// Every transformation result of step s as separate vector field t of frame
// i.
void ReadTransformations(int i, int s)
{
    for (int t = 0; t < NKGetInterfaceNumTransformations(); t++) {
        NKGeometry *pGeo = NKGetFrame(i)->pGeometry;
        NKSeparateVectorField *pField = NKGetInterfaceTransformation(t, s, pGeo, true);
        if (pField != nullptr) NKApplySeparateVectorField(pField, i, i, t);
    }
}

// The step's name and time.
void DescribeFrame(NKFrame *pFrame, int s)
{
    const NKStringList *pNames = NKGetInterfaceStepNames();
    // A step past the name list (a range beyond the source's steps) keeps
    // the description it had.
    const char *pszName = pNames != nullptr ? pNames->Get(s) : nullptr;
    if (pszName != nullptr) pFrame->szDescription = pszName;
    pFrame->fTime = NKGetInterfaceStepTime(s);
}

bool DrawEachFrame(void)
{
    // A quad-buffered stereo view is drawn only by its own paint, which
    // fills the buffers of both eyes.
    bool bQuadStereo = g_pGraphicsSettings != nullptr && g_pGraphicsSettings->bQuadBufferStereo;
    return g_AnimationSettings.bDrawAnimationSetup != 0 && !bQuadStereo;
}

// Frame i for step s. The frame is looked up again after the pipeline's
// calls, which may rebuild the frame array.
void MakeFrame(int i, int s, int iNumFrames, NKGeometry **ppPrevious)
{
    NKGetFrame(i)->iStepIndex = s;
    ReadGeometry(i, s, iNumFrames, ppPrevious);
    ReadResults(i, s);
    NKFrame *pFrame = NKGetFrame(i);
    DescribeFrame(pFrame, s);
    ReadSecondaryResults(pFrame, s);
    ReadTransformations(i, s);
    pFrame = NKGetFrame(i);
    g_TransformationTable.ApplyToFrame(pFrame, s);
    g_ViewPointTable.ApplyToFrame(pFrame, s);
    if (DrawEachFrame()) NKDrawScene(i, 1, 1);
    g_pModel->iCurrentFrame = i;
}

// The frame loop under the progress bar; false when the user cancelled.
// *ppPrevious is the held geometry whose part attributes the next new
// geometry takes.
bool MakeFrames(const int *piList, int iNumFrames, const NKString &name, NKGeometry **ppPrevious)
{
    for (int i = 0; i < iNumFrames; i++) {
        NKString status = NKString::FromFormat("Setting up animation from %s interface, step %d "
                                               "(%d of %d)",
                                               name.GetText(), piList[i] + 1, i + 1, iNumFrames);
        NKSetProgress(i, status.GetText());
        if (NKCheckCancel()) return false;
        MakeFrame(i, piList[i], iNumFrames, ppPrevious);
    }
    return true;
}

void FinishSetup(bool bCompleted, const NKString &name)
{
    if (!bCompleted) {
        NKEndProgress("Animation setup canceled.", true, true);
        NKSetFrameCount(1, false);
        return;
    }
    if (g_bAutoFringeRange)
        NKRunCommandLine("fringerange 1 0");
    else if (g_bContoursShown)
        NKUpdateContours();
    NKString text =
        NKString::FromFormat("Completed setting up animation from %s interface", name.GetText());
    NKEndProgress(text.GetText(), true, true);
}

}  // namespace

bool SetupAnimationFromInterface(int iFrom, int iTo, int iSkip, const int *piSteps, int iCount)
{
    sg_RefusedSteps.clear();
    const NKResultsInterface *pSource = NKGetResultsInterface();
    if (pSource == nullptr || pSource->type == NK_INTERFACE_NONE || g_pModel == nullptr)
        return false;
    int iNumFrames = 0;
    int *piList = MakeStepList(iFrom, iTo, iSkip, piSteps, iCount, &iNumFrames);
    if (piList == nullptr) return false;
    // A refused step fails the set-up before any frame changes. Every step
    // is checked, so that the steps that read are known; the first refused
    // one is named by its check, the checks after it are quiet.
    for (int i = 0; i < iNumFrames; i++) {
        NKMessagesOff quiet(!sg_RefusedSteps.empty());
        if (!NKCheckInterfaceStep(piList[i])) sg_RefusedSteps.push_back(piList[i]);
    }
    if (!sg_RefusedSteps.empty()) {
        NKFree(piList);
        return false;
    }
    // A plug-in adapter's own status texts and bars would fight with the
    // set-up's progress bar; it stays quiet until the set-up ends.
    NKFEMInterface *pAdapter = NKGetFEMSourceAdapter();
    uint8_t bVerbose = pAdapter != nullptr ? pAdapter->SetVerbose(0) : 0;
    // Frame 0's geometry from before the set-up lends its part attributes to
    // the first new one; it is held because rebuilding the frames may drop
    // the last frame that holds it.
    NKGeometry *pPrevious = nullptr;
    HoldGeometry(&pPrevious, NKGetFrameGeometry(NKGetFrame(0)));
    bool bResult = PrepareFrames(piList, iNumFrames);
    if (bResult) {
        NKString name;
        NKGetInterfaceName(&name);
        NKString text =
            NKString::FromFormat("Setting up animation from %s interface...", name.GetText());
        NKBeginProgress(iNumFrames, text.GetText(), true, true);
        bResult = MakeFrames(piList, iNumFrames, name, &pPrevious);
        FinishSetup(bResult, name);
    }
    HoldGeometry(&pPrevious, nullptr);
    NKFree(piList);
    if (pAdapter != nullptr && pAdapter == NKGetFEMSourceAdapter()) pAdapter->SetVerbose(bVerbose);
    return bResult;
}

const std::vector<int> &NKRefusedAnimationSteps(void) { return sg_RefusedSteps; }

void NKClearRefusedAnimationSteps(void) { sg_RefusedSteps.clear(); }
