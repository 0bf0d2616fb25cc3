// app/nk_idle.h -- the idle step of the main loop: walk navigation while a
// key or button is held, and the pacing of animation frames and continuous
// spin against the millisecond clock, each ending in a redraw. The
// animation timer (app/nk_animation_timer.h) runs it on every tick.
#pragma once

// Placeholder: the start-up and main loop bring the pacing and the walk
// step; until then a tick does nothing.
void NKRunIdleStep(void);
