// app/nk_shell_services.h -- puts the shell's code behind the core slots
// through which the lower folders reach it (core/nk_shell_hooks.h, the
// view invalidation of core/nk_model_hooks.h and the menu refresh after a
// load of core/nk_load_hooks.h).
#pragma once

// Fills every slot the shell owns; the other slots stay as they are. Run
// once at start-up, before the main window is made.
void NKInstallShellHooks(void);

// Under a Japanese system language rotated plot texts are switched off.
// True.
bool NKApplyLanguageDefaults(void);
