// platform/nk_window_timer.h -- the numbered periodic timers of the main
// window (timer 1 belongs to the poll file, timer 2 to mouse drags).
//
// A timer calls its callback on the user-interface thread once per period
// while the event loop runs. With a Qt application each timer is a QTimer;
// without one (tests, batch runs) the timer is only recorded as running with
// its period and never fires, so tests call the periodic work directly.
// No Qt types appear here.
#pragma once

typedef void (*NKWindowTimerCallback)(int iTimerId);

// Starts (or restarts with the new period) timer iTimerId (1 or more).
// A period below 1 ms is taken as 1 ms. False for an id below 1 or a null
// callback.
bool NKStartWindowTimer(int iTimerId, int iPeriodMs, NKWindowTimerCallback pfnCallback);
// Stops the timer; nothing when it does not run.
void NKStopWindowTimer(int iTimerId);
bool NKIsWindowTimerRunning(int iTimerId);
// The period of a running timer in ms, -1 when it does not run.
int NKGetWindowTimerPeriod(int iTimerId);
