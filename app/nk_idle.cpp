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

namespace {

// A walk step is the move of one timer period: the first comes at once,
// then one for each period that has passed, however often the idle step
// runs (a tick may come late behind a slow frame, or other events may run
// the step between ticks). After a stall the walk catches up by at most
// kMaxWalkCatchUp steps, so it never jumps.
constexpr uint32_t kMaxWalkCatchUp = 10;
bool sg_bWalkClockRunning = false;
uint32_t sg_uLastWalkStepMs = 0;

int DueWalkSteps(uint32_t uNow)
{
    if (!sg_bWalkClockRunning) {
        sg_bWalkClockRunning = true;
        sg_uLastWalkStepMs = uNow;
        return 1;
    }
    const uint32_t uSteps = uint32_t(uNow - sg_uLastWalkStepMs) / NK_ANIMATION_TIMER_PERIOD_MS;
    if (uSteps > kMaxWalkCatchUp) {
        sg_uLastWalkStepMs = uNow;
        return int(kMaxWalkCatchUp);
    }
    sg_uLastWalkStepMs += uSteps * NK_ANIMATION_TIMER_PERIOD_MS;
    return int(uSteps);
}

}  // namespace

void NKEndWalkSteps(void) { sg_bWalkClockRunning = false; }

void NKRunIdleStep(void)
{
    bool bMoved = false;
    bool bHeld = false;
    if (NKIsNavigationActive(2)) {
        NKSampleHeldKeys(true);
        bHeld = g_InputState.uButtons != 0 || g_InputState.uKeys != 0;
    }
    if (bHeld) {
        const int iSteps = DueWalkSteps(NKGetMilliseconds());
        for (int i = 0; i < iSteps; i++) NKWalkNavigate(g_ViewMatrix, &g_InputState, false, 0, 0);
        bMoved = iSteps > 0;
    } else {
        sg_bWalkClockRunning = false;
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
