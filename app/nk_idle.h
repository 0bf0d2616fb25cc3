// app/nk_idle.h -- the idle step of the main loop: walk navigation while a
// key or button is held, and the pacing of animation frames and continuous
// spin against the millisecond clock, each ending in a redraw. The
// animation timer (app/nk_animation_timer.h) runs it on every tick.
#pragma once

// One idle step. While timer reason 5 (walk motion) is set and walk motion
// is on with a button or a navigation key held, one walk step moves
// g_ViewMatrix and the view is redrawn at once.
// Placeholder: the animation and spin pacing come with the start-up and
// main loop; until then only the walk step runs.
void NKRunIdleStep(void);
