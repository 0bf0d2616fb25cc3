// app/nk_animation_timer.h -- the one periodic timer of animation, spin,
// particle traces and walk motion, and the animation run and suspend logic
// on g_pModel.
//
// Lower folders start and stop the timer and run animations through
// core/nk_shell_hooks.h (NKStartTimer, NKStopTimer, NKRunAnimation);
// NKFillAnimationHooks puts the code here behind those slots. Whether the
// timer runs and the pause of an animation are asked only by the shell
// itself (the idle step, the view's keys, dialogs), which calls them here. The timer is window
// timer NK_ANIMATION_TIMER_ID (platform/nk_window_timer.h) with a period of 20 ms, running while at
// least one reason is set; each tick runs the idle step of the main loop (app/nk_idle.h), which
// paces the animation frames.
#pragma once

struct NKShellHooks;

// Window timer ids 1 (poll file), 2 (mouse drag), 4 (view) and 6 (splash)
// belong to others.
constexpr int NK_ANIMATION_TIMER_ID = 3;
constexpr int NK_ANIMATION_TIMER_PERIOD_MS = 20;

// Timer reasons. NK_TIMER_ALL stops every reason.
enum {
    NK_TIMER_ALL = 1,
    NK_TIMER_ANIMATION = 2,
    NK_TIMER_SPIN = 3,
    NK_TIMER_TRACES = 4,
    NK_TIMER_WALK = 5
};

// The timer's tick: runs the idle step.
void NKTimerCallback(int iTimerId);
// Whether reason iReason (2-5) is set.
bool NKIsTimerReasonActive(int iReason);
// Whether any timer reason is set.
bool NKIsTimerActive(void);
// Pauses a running animation (true) and resumes it (false).
void NKSuspendAnimation(bool bSuspend);
// Whether an animation is suspended by NKSuspendAnimation.
bool NKIsAnimationSuspended(void);
// Back to the start-up state: no reason, no timer, nothing suspended.
void NKResetAnimationTimer(void);

void NKFillAnimationHooks(NKShellHooks *pHooks);
