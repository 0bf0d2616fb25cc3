// core/nk_progress.cpp -- progress state and operations (see nk_progress.h).
// Everything here runs on the user-interface thread; only the cancel and
// quit requests of the NKProgressUI may arrive from elsewhere.
#include "core/nk_progress.h"

#include "core/nk_graphics_settings.h"
#include "core/nk_model_hooks.h"
#include "platform/nk_progress_ui.h"

namespace {

NKProgressState sg_Progress;

// While held, progress and status texts go to a bar of their own that no one
// sees; the bar that was installed comes back when the last hold ends.
int sg_iStatusbarHeld = 0;
NKProgressUI *sg_pHeldUI = nullptr;
}  // namespace

void NKHoldStatusbar(bool bHold)
{
    static NKHeadlessProgressUI s_Unseen;
    if (bHold && sg_iStatusbarHeld++ == 0) {
        sg_pHeldUI = NKGetProgressUI();
        s_Unseen.Reset();
        NKSetProgressUI(&s_Unseen);
    } else if (!bHold && sg_iStatusbarHeld > 0 && --sg_iStatusbarHeld == 0) {
        NKSetProgressUI(sg_pHeldUI);
        sg_pHeldUI = nullptr;
    }
}

void NKSetStatusText(const char *pszText)
{
    NKProgressUI *pUI = NKGetProgressUI();
    if (pszText != nullptr && pUI->HasStatusbar()) pUI->SetStatusText(pszText);
}

bool NKBeginProgress(int iRange, const char *pszText, bool bProgressBar, bool bCancelButton)
{
    if (sg_Progress.bRunning) {
        // An operation called by another: the outer bar and button stay.
        sg_Progress.iNested++;
        return true;
    }
    sg_Progress.bRunning = true;
    sg_Progress.iNested = 0;
    NKProgressUI *pUI = NKGetProgressUI();
    unsigned int uFlags = 0;
    if (bProgressBar) uFlags |= NK_STATUSBAR_PROGRESS;
    if (bCancelButton) uFlags |= NK_STATUSBAR_CANCEL;
    bool bResult = pUI->SetStatusbarMode(uFlags);
    if (bProgressBar) pUI->SetProgressRange(iRange);
    // A click from before this operation must not cancel it, with or
    // without a Cancel button of its own.
    sg_Progress.bCancelPressed = false;
    pUI->ClearCancelRequest();
    NKSetStatusText(pszText);
    return bResult;
}

bool NKEndProgress(const char *pszText, bool bRemoveProgressBar, bool bRemoveCancelButton)
{
    if (sg_Progress.iNested > 0) {
        sg_Progress.iNested--;
        return true;
    }
    sg_Progress.bRunning = false;
    // A paint asked for while the operation ran was put off (the frames were
    // half built); it is asked for again now.
    if (g_bViewInvalidated != 0) NKInvalidateView();
    NKProgressUI *pUI = NKGetProgressUI();
    unsigned int uFlags = 0;
    if (pUI->IsProgressBarShown() && !bRemoveProgressBar) uFlags |= NK_STATUSBAR_PROGRESS;
    if (pUI->IsCancelButtonShown() && !bRemoveCancelButton) uFlags |= NK_STATUSBAR_CANCEL;
    if (uFlags == 0) uFlags = NK_STATUSBAR_NORMAL;
    pUI->SetStatusbarMode(uFlags);
    NKSetStatusText(pszText);
    return true;
}

bool NKBeginProgressBar(int iRange, const char *pszText)
{
    return NKBeginProgress(iRange, pszText, true, false);
}

bool NKEndProgressBar(const char *pszText) { return NKEndProgress(pszText, true, false); }

bool NKBeginCancelMode(const char *pszText) { return NKBeginProgress(0, pszText, false, true); }

bool NKEndCancelMode(const char *pszText) { return NKEndProgress(pszText, false, true); }

bool NKSetProgress(int iPosition, const char *pszText)
{
    NKProgressUI *pUI = NKGetProgressUI();
    // An inner operation's positions belong to its own range, not the bar's.
    if (pUI->IsProgressBarShown() && sg_Progress.iNested == 0 && iPosition >= 0)
        pUI->SetProgressPosition(iPosition);
    NKSetStatusText(pszText);
    return true;
}

bool NKCheckCancel(void)
{
    NKProgressUI *pUI = NKGetProgressUI();
    pUI->PumpEvents();
    if (pUI->IsQuitRequested()) return true;
    if (pUI->IsCancelRequested()) sg_Progress.bCancelPressed = true;
    return sg_Progress.bCancelPressed;
}

const NKProgressState &NKGetProgressState(void) { return sg_Progress; }

void NKResetProgressState(void) { sg_Progress = NKProgressState(); }
