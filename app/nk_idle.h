// app/nk_idle.h -- the idle step of the main loop: walk navigation while a
// key or button is held, and the pacing of animation frames and continuous
// spin against the millisecond clock, each ending in a redraw. The
// animation timer (app/nk_animation_timer.h) runs it on every tick while a
// timer reason or walk motion is on.
#pragma once

#include <cstdint>

struct NKAnimationSettings;

// The pacing interval in ms. While the application is active, or at 100
// or more frames per second (iInactivePercentage), the frame interval;
// in the background 10,000,000 ms at 0 frames per second or below,
// 5000 / fps when fps x rate factor (fFrameRateDeactivated) is 0, else
// 100000 / (fps x rate factor) truncated.
uint32_t NKComputeFrameInterval(const NKAnimationSettings *pSettings);
// Whether more than uInterval ms passed from uLastFrame to uNow, on the
// wrapping 32-bit clock.
bool NKIsFrameDue(uint32_t uNow, uint32_t uLastFrame, uint32_t uInterval);

// One idle step: with walk navigation moving and a button or navigation
// key held, the walk steps due: one when the hold begins, then one per
// period of the animation timer that has passed on the millisecond clock
// (at most 10 at a time), so the walk's speed does not follow the rate of
// idle steps or frames; with a timer reason on and a frame due, a spin
// step when spinning and a redraw; otherwise a redraw only after a walk
// step.
void NKRunIdleStep(void);
// The hold of the walk ended (its timer reason stopped): the next hold
// begins with its own first step, not with steps counted from this one.
void NKEndWalkSteps(void);
