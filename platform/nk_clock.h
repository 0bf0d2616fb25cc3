// platform/nk_clock.h -- the millisecond clock that paces animation and the
// pending-input query that lets a long redraw yield to the user.
//
// The clock is a 32-bit millisecond count that wraps at 2^32, as the
// animation pacing expects (it only ever subtracts two readings as unsigned
// numbers). Tests set the clock to fixed readings with NKSetTestClock. The
// input query answers whether mouse or keyboard input waits: under Qt the
// events are handled between paints, so nothing is pending while a frame is
// drawn; tests set the answer with NKSetInputPending. No Qt types here.
#pragma once

#include <cstdint>

// Milliseconds of a steady clock, wrapping at 2^32; the test reading while
// one is set.
uint32_t NKGetMilliseconds(void);
// bSet true: every NKGetMilliseconds answers uMs until the test clock is
// switched off again with bSet false.
void NKSetTestClock(bool bSet, uint32_t uMs);

// True when mouse or keyboard input waits to be handled.
bool NKIsInputPending(void);
// Sets the answer of NKIsInputPending (false at start-up).
void NKSetInputPending(bool bPending);
