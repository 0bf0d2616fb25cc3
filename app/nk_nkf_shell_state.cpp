// app/nk_nkf_shell_state.cpp -- the shell's part of the NKF display state
// (see nk_nkf_shell_state.h). Main-record words 85-87 hold the menu bar,
// tool bar and status bar flags, word 88 the spin mode (the spin reason of
// the animation timer); a file's flag that differs from the window's runs
// the command that switches it, so the window follows as it does for a
// typed command.
#include "app/nk_nkf_shell_state.h"

#include "app/nk_animation_timer.h"
#include "app/nk_menus.h"
#include "app/nk_statusbar.h"
#include "app/nk_toolbar.h"
#include "commands/nk_command.h"
#include "nkf/nkf_display_hooks.h"

namespace {

struct Bar {
    uint8_t *pbShown;
    const char *pszShow;
    const char *pszHide;
};

const Bar kBars[3] = {{&g_bMenuBarShown, "menu", "nomenu"},
                      {&g_bToolbarShown, "toolbar", "notoolbar"},
                      {&g_bStatusbarShown, "statusbar", "nostatusbar"}};

void FillMain(NKFMainSettings *pRec, const NKFExportSettings *)
{
    for (int k = 0; k < 3; k++) pRec->SetI(85 + k, *kBars[k].pbShown ? 1 : 0);
    pRec->SetI(88, NKIsTimerReasonActive(NK_TIMER_SPIN) ? 1 : 0);
}

void ApplySpin(int32_t iWord)
{
    if (iWord == -1 || ((iWord & 0xff) != 0) == NKIsTimerReasonActive(NK_TIMER_SPIN)) return;
    ExecuteCommand((iWord & 0xff) != 0 ? "spin" : "nospin");
}

void ApplyMain(const NKFMainSettings &rec, int iGroup)
{
    if (iGroup == NKF_MAIN_SPIN) ApplySpin(rec.I(88));
    if (iGroup != NKF_MAIN_WINDOW_PARTS) return;
    for (int k = 0; k < 3; k++) {
        int32_t iWord = rec.I(85 + k);
        if (iWord == -1 || ((iWord & 0xff) != 0) == (*kBars[k].pbShown != 0)) continue;
        ExecuteCommand((iWord & 0xff) != 0 ? kBars[k].pszShow : kBars[k].pszHide);
    }
}

NKFDisplayStateHooks Hooks(void)
{
    NKFDisplayStateHooks hooks;
    hooks.pfnFillMain = FillMain;
    hooks.pfnApplyMain = ApplyMain;
    return hooks;
}

bool sg_bInstalled = false;

}  // namespace

void NKInstallNKFShellState(bool bInstall)
{
    NKFInstallDisplayStateHooks(Hooks(), bInstall, &sg_bInstalled);
}
