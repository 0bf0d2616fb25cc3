// app/nk_shell_services.cpp -- the shell's slots (see nk_shell_services.h).
#include "app/nk_shell_services.h"

#include "app/nk_animation_timer.h"
#include "app/nk_app_records.h"
#include "app/nk_projection.h"
#include "app/nk_render_context.h"
#include "app/nk_render_options.h"
#include "app/nk_view_window.h"
#include "core/nk_model_hooks.h"
#include "core/nk_shell_hooks.h"

void NKInstallShellHooks(void)
{
    NKShellHooks shellHooks = NKGetShellHooks();
    NKModelHooks modelHooks = NKGetModelHooks();
    NKFillRenderOptionHooks(&shellHooks);
    NKFillAnimationHooks(&shellHooks);
    NKFillProjectionHooks(&shellHooks);
    NKFillRenderContextHooks(&shellHooks);
    NKFillViewWindowHooks(&shellHooks, &modelHooks);
    shellHooks.pfnResetModelState = NKResetModelStateRecords;
    NKSetShellHooks(shellHooks);
    NKSetModelHooks(modelHooks);
}
