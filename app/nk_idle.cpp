// app/nk_idle.cpp -- the idle step (see nk_idle.h).
#include "app/nk_idle.h"

#include "app/nk_animation_timer.h"
#include "app/nk_view_input.h"
#include "core/nk_math.h"
#include "core/nk_shell_hooks.h"
#include "platform/nk_clock.h"
#include "plot/nk_plot_window.h"
#include "render/nk_camera.h"
#include "render/nk_navigation.h"
#include "scene/nk_scene.h"

uint32_t NKComputeFrameInterval(const NKAnimationSettings *p)
{
    if (p->bApplicationActive != 0 || p->iInactivePercentage >= 100)
        return uint32_t(p->iFrameInterval);
    const int iFps = p->iInactivePercentage;
    if (iFps <= 0) return 10000000u;
    const float fProduct = float(iFps) * p->fFrameRateDeactivated;
    if (NKFloatsEqual(fProduct, 0.0f)) return uint32_t(5000 / iFps);
    return uint32_t(100000.0f / fProduct);
}

bool NKIsFrameDue(uint32_t uNow, uint32_t uLastFrame, uint32_t uInterval)
{
    return uint32_t(uNow - uLastFrame) > uInterval;
}

void NKRunIdleStep(void)
{
    bool bMoved = false;
    if (NKIsNavigationActive(2)) {
        NKSampleHeldKeys(true);
        if (g_InputState.uButtons != 0 || g_InputState.uKeys != 0) {
            NKWalkNavigate(g_ViewMatrix, &g_InputState, false, 0, 0);
            bMoved = true;
        }
    }
    if (NKIsTimerActive()) {
        const uint32_t uInterval = NKComputeFrameInterval(&g_AnimationSettings);
        if (NKIsFrameDue(NKGetMilliseconds(), g_AnimationSettings.uTimeThisFrame, uInterval)) {
            if (NKIsTimerReasonActive(NK_TIMER_SPIN)) NKSpinStep(g_ViewMatrix);
            NKRepaintAnimatedPlotWindow();
            NKRedrawView();
            return;
        }
    }
    if (bMoved) NKRedrawView();
}
