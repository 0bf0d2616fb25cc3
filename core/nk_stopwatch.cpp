// core/nk_stopwatch.cpp -- the stopwatch and the UTC date (see
// nk_stopwatch.h). The stopwatch uses std::chrono::steady_clock: clock(3)
// counts processor time on Linux and would leave out every wait.
#include "core/nk_stopwatch.h"

#include <time.h>

#include <chrono>

#include "core/nk_message.h"
#include "core/nk_string.h"

namespace {

using Clock = std::chrono::steady_clock;

// Started with the program, like the processor clock the timing messages
// were first written against; restarted by every start and stop.
Clock::time_point sg_tTimerStart = Clock::now();

}  // namespace

bool NKTimerStart(const char *pszName)
{
    if (pszName != nullptr) {
        if (pszName[0] == '\0')
            NKPrintInfo("Timer started...");
        else
            NKPrintInfo((NKString("Timer: ") + pszName).GetText());
    }
    sg_tTimerStart = Clock::now();
    return true;
}

float NKTimerStop(const char *pszName)
{
    Clock::time_point tNow = Clock::now();
    float fSeconds = std::chrono::duration<float>(tNow - sg_tTimerStart).count();
    if (pszName != nullptr) {
        const char *pszLead = pszName[0] == '\0' ? "Timer: Time end: " : pszName;
        NKPrintInfo(NKString::FromFormat("%s%g seconds.", pszLead, fSeconds).GetText());
    }
    sg_tTimerStart = Clock::now();
    return fSeconds;
}

void NKGetSystemDateTime(int piOut[7])
{
    if (piOut == nullptr) return;
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    struct tm utc;
    gmtime_r(&now.tv_sec, &utc);
    piOut[NK_DATE_YEAR] = utc.tm_year + 1900;
    piOut[NK_DATE_MONTH] = utc.tm_mon + 1;
    piOut[NK_DATE_DAY] = utc.tm_mday;
    piOut[NK_DATE_HOUR] = utc.tm_hour;
    piOut[NK_DATE_MINUTE] = utc.tm_min;
    piOut[NK_DATE_SECOND] = utc.tm_sec;
    piOut[NK_DATE_MILLISECOND] = static_cast<int>(now.tv_nsec / 1000000);
}
