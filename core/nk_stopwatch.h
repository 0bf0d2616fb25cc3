// core/nk_stopwatch.h -- the stopwatch behind timing messages, and the UTC
// date and time for file headers.
//
// The stopwatch measures wall time on a steady clock (never CPU time), so a
// long wait for the disk or an outside program counts. One global stopwatch;
// every stop restarts it. Included by core/nk_process.h.
#pragma once

// Restarts the stopwatch. With a name it first prints at the information
// level "Timer: " + name, or "Timer started..." for an empty name. True.
bool NKTimerStart(const char *pszName);

// The seconds since the stopwatch was last started. With a name it prints at
// the information level the name (or "Timer: Time end: " for an empty name)
// directly followed by the seconds ("%g") and " seconds.". Restarts the
// stopwatch.
float NKTimerStop(const char *pszName);

// Indexes of the date and time record.
enum {
    NK_DATE_YEAR = 0,
    NK_DATE_MONTH = 1,  // 1..12
    NK_DATE_DAY = 2,    // 1..31
    NK_DATE_HOUR = 3,
    NK_DATE_MINUTE = 4,
    NK_DATE_SECOND = 5,
    NK_DATE_MILLISECOND = 6
};
// The current date and time in UTC from the system clock.
void NKGetSystemDateTime(int piOut[7]);
