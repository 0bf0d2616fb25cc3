// app/nk_animation_timer.cpp -- the animation timer and the animation runs
// (see nk_animation_timer.h).
#include "app/nk_animation_timer.h"

#include "app/nk_idle.h"
#include "app/nk_main_window.h"
#include "app/nk_statusbar.h"
#include "core/nk_model.h"
#include "core/nk_shell_hooks.h"
#include "platform/nk_window_timer.h"

namespace {

constexpr int kFirstReason = NK_TIMER_ANIMATION;
constexpr int kLastReason = NK_TIMER_WALK;

bool sg_abReasons[kLastReason + 1] = {};
bool sg_bTimerRunning = false;

// The animation fields of g_pModel while an animation is suspended.
struct SuspendedAnimation {
    int iFrom = 0;
    int iTo = 0;
    int iSkipBy = 1;
    int iType = 0;
    uint8_t bCycle = 0;
    int iCurrent = 0;
    int iPrevious = 0;
    bool bSaved = false;
    bool bSuspended = false;
};
SuspendedAnimation sg_Suspended;

bool AnyReason(void)
{
    for (int i = kFirstReason; i <= kLastReason; i++)
        if (sg_abReasons[i]) return true;
    return false;
}

// A reason outside 2-5 starts nothing: with no reason set, the timer would
// tick until some other reason is stopped.
void StartTimer(int iReason)
{
    if (iReason < kFirstReason || iReason > kLastReason) return;
    sg_abReasons[iReason] = true;
    if (sg_bTimerRunning) return;
    sg_bTimerRunning =
        NKStartWindowTimer(NK_ANIMATION_TIMER_ID, NK_ANIMATION_TIMER_PERIOD_MS, NKTimerCallback);
}

void StopTimer(int iReason)
{
    if (iReason == NK_TIMER_ALL) {
        for (bool &bReason : sg_abReasons) bReason = false;
    } else if (iReason >= kFirstReason && iReason <= kLastReason) {
        sg_abReasons[iReason] = false;
    }
    // The timer stops once the keys are released, so no idle step sees the
    // walk's hold end.
    if (iReason == NK_TIMER_ALL || iReason == NK_TIMER_WALK) NKEndWalkSteps();
    if (sg_bTimerRunning && !AnyReason()) {
        NKStopWindowTimer(NK_ANIMATION_TIMER_ID);
        sg_bTimerRunning = false;
    }
}

// One step backward (iStep -1) or forward (+1) inside the animation range,
// wrapping at its ends; the step is shown without a transition.
void StepFrame(NKModel *pModel, int iStep)
{
    pModel->animationType = 0;
    int iCurrent = pModel->iCurrentFrame + iStep;
    if (iStep < 0 && iCurrent < pModel->iAnimationFromFrame) iCurrent = pModel->iAnimationToFrame;
    if (iStep > 0 && iCurrent > pModel->iAnimationToFrame) iCurrent = pModel->iAnimationFromFrame;
    pModel->iCurrentFrame = iCurrent;
    pModel->iPreviousFrame = iCurrent;
}

// 1-based frames: a still frame (from = to), backward (from > to) or
// forward (from < to); the pair was checked by PairAccepted.
void SetFrameRange(NKModel *pModel, int iFrom, int iTo)
{
    if (iFrom == iTo) {
        pModel->animationType = 0;
        pModel->iCurrentFrame = pModel->iPreviousFrame = iTo - 1;
    } else {
        bool bBackward = iFrom > iTo;
        pModel->animationType = bBackward ? 2 : 1;
        pModel->iAnimationFromFrame = (bBackward ? iTo : iFrom) - 1;
        pModel->iAnimationToFrame = (bBackward ? iFrom : iTo) - 1;
        pModel->iCurrentFrame = iFrom - 1;
    }
}

// The pairs: (-1, -1) stop, (-1, 0) step back, (1, 0) step forward, (0, 0)
// and (0, -1) all frames forward and backward, else 1-based frames within
// the model's frames.
bool PairAccepted(const NKModel *pModel, int iFrom, int iTo)
{
    if (iFrom == -1) return iTo == -1 || iTo == 0;
    if (iFrom == 0) return iTo == 0 || iTo == -1;
    if (iFrom == 1 && iTo == 0) return true;
    const int n = pModel->iNumFrames;
    return iFrom >= 1 && iFrom <= n && iTo >= 1 && iTo <= n;
}

// A refused pair changes nothing, so a running animation runs on; an
// accepted one first stops the running animation's timer.
bool RunAnimation(int iFrom, int iTo)
{
    NKModel *pModel = g_pModel;
    if (pModel == nullptr || !PairAccepted(pModel, iFrom, iTo)) return false;
    if (pModel->animationType != 0) StopTimer(NK_TIMER_ANIMATION);
    if (iFrom == -1 && iTo == -1) {
        pModel->animationType = 0;
        pModel->iPreviousFrame = pModel->iCurrentFrame;
    } else if (iFrom == -1 || (iFrom == 1 && iTo == 0)) {
        StepFrame(pModel, iFrom == -1 ? -1 : 1);
    } else if (iFrom == 0) {
        pModel->iAnimationFromFrame = 0;
        pModel->iAnimationToFrame = pModel->iNumFrames - 1;
        pModel->animationType = iTo == 0 ? 1 : 2;
    } else {
        SetFrameRange(pModel, iFrom, iTo);
    }
    if (pModel->animationType != 0) StartTimer(NK_TIMER_ANIMATION);
    return true;
}

// The frame rate goes to the status bar while the main window shows one.
bool ShowFrameRate(float fFramesPerSecond, uint32_t uFrameMs, uint32_t uIntervalMs, int iCullingOn,
                   int iCullingAnalysis)
{
    if (NKGetMainWindow() == nullptr || g_bStatusbarShown == 0) return false;
    return NKShowFrameRate(fFramesPerSecond, uFrameMs, uIntervalMs, iCullingOn,
                           iCullingAnalysis != 0);
}

void SaveAnimation(const NKModel *pModel)
{
    sg_Suspended.iFrom = pModel->iAnimationFromFrame;
    sg_Suspended.iTo = pModel->iAnimationToFrame;
    sg_Suspended.iSkipBy = pModel->iAnimationSkipBy;
    sg_Suspended.iType = pModel->animationType;
    sg_Suspended.bCycle = pModel->bAnimationCycle;
    sg_Suspended.iCurrent = pModel->iCurrentFrame;
    sg_Suspended.iPrevious = pModel->iPreviousFrame;
}

void RestoreAnimation(NKModel *pModel)
{
    pModel->iAnimationFromFrame = sg_Suspended.iFrom;
    pModel->iAnimationToFrame = sg_Suspended.iTo;
    pModel->iAnimationSkipBy = sg_Suspended.iSkipBy;
    pModel->animationType = sg_Suspended.iType;
    pModel->bAnimationCycle = sg_Suspended.bCycle;
    pModel->iCurrentFrame = sg_Suspended.iCurrent;
    pModel->iPreviousFrame = sg_Suspended.iPrevious;
}

// A second suspend while suspended does nothing, so nested pauses (Ctrl held
// while a dialog is up) resume once.
void Suspend(bool bSuspend)
{
    NKModel *pModel = g_pModel;
    if (pModel == nullptr) return;
    if (bSuspend) {
        if (pModel->animationType == 0 || sg_Suspended.bSuspended) return;
        SaveAnimation(pModel);
        StopTimer(NK_TIMER_ANIMATION);
        pModel->animationType = 0;
        pModel->iPreviousFrame = pModel->iCurrentFrame;
        sg_Suspended.bSaved = sg_Suspended.bSuspended = true;
    } else if (sg_Suspended.bSaved && sg_Suspended.bSuspended) {
        RestoreAnimation(pModel);
        StartTimer(NK_TIMER_ANIMATION);
        sg_Suspended.bSuspended = false;
    }
}

}  // namespace

void NKTimerCallback(int) { NKRunIdleStep(); }

bool NKIsTimerReasonActive(int iReason)
{
    return iReason >= kFirstReason && iReason <= kLastReason && sg_abReasons[iReason];
}

bool NKIsAnimationSuspended(void) { return sg_Suspended.bSuspended; }

bool NKIsTimerActive(void) { return AnyReason(); }

void NKSuspendAnimation(bool bSuspend) { Suspend(bSuspend); }

void NKResetAnimationTimer(void)
{
    StopTimer(NK_TIMER_ALL);
    sg_Suspended = SuspendedAnimation();
}

void NKFillAnimationHooks(NKShellHooks *pHooks)
{
    pHooks->pfnStartTimer = StartTimer;
    pHooks->pfnStopTimer = StopTimer;
    pHooks->pfnRunAnimation = RunAnimation;
    pHooks->pfnShowFrameRate = ShowFrameRate;
}
