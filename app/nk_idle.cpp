// app/nk_idle.cpp -- the idle step (see nk_idle.h).
#include "app/nk_idle.h"

#include "app/nk_animation_timer.h"
#include "core/nk_shell_hooks.h"
#include "render/nk_camera.h"
#include "render/nk_navigation.h"

void NKRunIdleStep(void)
{
    if (!NKIsTimerReasonActive(NK_TIMER_WALK) || !NKIsNavigationActive(2)) return;
    if (g_InputState.uButtons == 0 && g_InputState.uKeys == 0) return;
    NKWalkNavigate(g_ViewMatrix, &g_InputState, false, 0, 0);
    NKRedrawView();
}
