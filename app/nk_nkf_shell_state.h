// app/nk_nkf_shell_state.h -- the shell's hooks of the NKF display state
// (nkf/nkf_display_hooks.h): whether the menu bar, tool bar and status bar
// are shown.
#pragma once

// Adds (true) or removes (false) the hooks; start-up and shut-down.
void NKInstallNKFShellState(bool bInstall);
