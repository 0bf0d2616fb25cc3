// app/nk_shell_services.cpp -- the shell's slots (see nk_shell_services.h).
#include "app/nk_shell_services.h"

#include "app/nk_animation_timer.h"
#include "app/nk_projection.h"
#include "app/nk_render_context.h"
#include "app/nk_render_options.h"
#include "app/nk_view_window.h"
#include "core/nk_model_hooks.h"
#include "core/nk_shell_hooks.h"
#include "render/nk_camera.h"
#include "render/nk_ride.h"

namespace {

// The new model's reset of the view and interaction state: the rotation
// point is cleared and the ride definition reset; the view matrix stays.
// Placeholder: the rest of the reset comes with the shell's start-up and
// main loop.
void ResetModelStateSlot(bool)
{
    NKSetRotationPoint(nullptr);
    NKResetRideSpec(&g_RideSpec);
}

}  // namespace

void NKInstallShellHooks(void)
{
    NKShellHooks shellHooks = NKGetShellHooks();
    NKModelHooks modelHooks = NKGetModelHooks();
    NKFillRenderOptionHooks(&shellHooks);
    NKFillAnimationHooks(&shellHooks);
    NKFillProjectionHooks(&shellHooks);
    NKFillRenderContextHooks(&shellHooks);
    NKFillViewWindowHooks(&shellHooks, &modelHooks);
    shellHooks.pfnResetModelState = ResetModelStateSlot;
    NKSetShellHooks(shellHooks);
    NKSetModelHooks(modelHooks);
}
