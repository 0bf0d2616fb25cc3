// platform/nk_platform_start.h -- the start of Qt's windowing platform made
// to end with the program's own line. Qt reports a platform that cannot
// start (its plugin missing or failing to load, its display unreachable,
// whichever platform was asked for and however) with a fatal message and
// then aborts; the message handler Qt calls first ends the program instead.
// A platform whose display accepts the connection and never answers would
// block in its connect for ever: one watch over the whole start (the
// display check and the Qt application's construction), whichever platform
// Qt chooses, says after a few seconds that the start still waits and ends
// it at the limit.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

// A watch on a thread of its own over work that may block: onNotice runs
// once when the work has lasted iNoticeMs (not where that is not below
// iLimitMs), onLimit when it has lasted iLimitMs, unless End came first;
// both counted from the watch's making, however late its thread starts.
// Both run on the watch's thread; End waits for one that runs (onLimit of
// the program's start never returns: it ends the program).
class NKStartWatch {
public:
    NKStartWatch(int iNoticeMs, int iLimitMs, std::function<void()> onNotice,
                 std::function<void()> onLimit);
    ~NKStartWatch();
    NKStartWatch(const NKStartWatch &) = delete;
    NKStartWatch &operator=(const NKStartWatch &) = delete;
    // The work is done: neither call runs after this returns. Returns as
    // soon as the watch's thread has seen it, never after the notice's time.
    void End(void);

private:
    void Run(void);

    std::chrono::steady_clock::time_point m_Begun;
    int m_iNoticeMs, m_iLimitMs;
    std::function<void()> m_onNotice, m_onLimit;
    std::mutex m_Mutex;
    std::condition_variable m_Ended;
    bool m_bEnded = false;
    std::thread m_Thread;
};

// From here until NKEndPlatformStart, the start is watched: 3 s after this
// call waitingLine goes to standard error (as it was here, so that a
// redirection meanwhile does not take it), and iLimitSeconds after it
// limitLine does and the program ends with status 1. A fatal message of
// Qt's ends the program with status 1 after pfnFailed has been given the
// reason, on one line: the warnings of Qt's platform on its way there
// (categories "qt.qpa..."), held back with its notes until then and joined
// by "; ", else the fatal message's first line. Only one of the two ends
// is told. Every other message goes where it went before; the held ones
// follow once the platform has started.
void NKBeginPlatformStart(const std::string &waitingLine, const std::string &limitLine,
                          int iLimitSeconds, void (*pfnFailed)(const std::string &reason));
// Ends the watch, puts the message handler before NKBeginPlatformStart
// back and passes the held messages on to it.
void NKEndPlatformStart(void);
