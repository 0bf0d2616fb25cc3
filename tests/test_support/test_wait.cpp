// tests/test_support/test_wait.cpp -- the one limit of the tests' waits
// (see test_wait.h).
#include "tests/test_support/test_wait.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>

#include <sys/syscall.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The waits running now, each with what it waits for, the thread it runs
// on and when its limit passes, and the calls to make before the program
// ends for one. Made once and never destroyed: the thread outlives the
// statics at exit.
struct RunningWait {
    const char *pszWhat = nullptr;
    pid_t iThread = 0;
    Clock::time_point tLimit;
    Clock::duration margin{};
    NKTestBlockedReckoning blocked;  // from the watch's first look after the limit on
};

struct StuckWaitWatch {
    std::mutex mutex;
    std::condition_variable changed;
    std::map<unsigned long, RunningWait> waits;  // in the order they began
    unsigned long uNextId = 0;
    std::vector<void (*)(void)> calls;
    bool bRunning = false;
};

StuckWaitWatch &Watch(void)
{
    static StuckWaitWatch *pWatch = new StuckWaitWatch;
    return *pWatch;
}

[[noreturn]] void EndForStuckWait(StuckWaitWatch &watch, const char *pszWhat)
{
    std::fprintf(stderr,
                 "Gave up after %.1f s waiting for %s: the wait has not come back (a request to "
                 "a display that does not answer keeps it); the test program ends\n",
                 NKTestWaitLimitMs() / 1000.0, pszWhat);
    std::fflush(stderr);
    for (void (*pfnCall)(void) : watch.calls) pfnCall();
    std::fflush(stdout);
    std::_Exit(1);
}

// The text of one of the kernel's files about the thread ("schedstat",
// "stat"); empty where it cannot be read.
std::string ThreadFile(pid_t iThread, const char *pszName)
{
    char szPath[64];
    std::snprintf(szPath, sizeof szPath, "/proc/self/task/%d/%s", (int)iThread, pszName);
    std::FILE *pFile = std::fopen(szPath, "r");
    if (pFile == nullptr) return std::string();
    char szText[512];
    const size_t iRead = std::fread(szText, 1, sizeof szText - 1, pFile);
    std::fclose(pFile);
    return std::string(szText, iRead);
}

// The watch thread: sleeps until the first running wait's limit passes,
// then looks again until each wait past its limit has come back or been
// blocked for its margin; the first that was, in the order they began,
// ends the program.
void WatchWaits(void)
{
    StuckWaitWatch &watch = Watch();
    std::unique_lock<std::mutex> lock(watch.mutex);
    for (;;) {
        if (watch.waits.empty()) {
            watch.changed.wait(lock);
            continue;
        }
        const Clock::time_point now = Clock::now();
        Clock::time_point next = Clock::time_point::max();
        for (auto &entry : watch.waits) {
            RunningWait &wait = entry.second;
            if (now < wait.tLimit) {
                next = std::min(next, wait.tLimit);
                continue;
            }
            const Clock::duration blocked = wait.blocked.Look(
                now, NKTestThreadLookOf(ThreadFile(wait.iThread, "schedstat").c_str(),
                                        ThreadFile(wait.iThread, "stat").c_str()));
            if (blocked >= wait.margin) EndForStuckWait(watch, wait.pszWhat);
            next = std::min(next, now + std::max<Clock::duration>(wait.margin - blocked,
                                                                  std::chrono::milliseconds(10)));
        }
        watch.changed.wait_until(lock, next);
    }
}

}  // namespace

NKTestWaitGuard::NKTestWaitGuard(const char *pszWhat)
{
    StuckWaitWatch &watch = Watch();
    // A quarter of the limit to spare, and some seconds at least, counted
    // in time the wait's thread is blocked (BlockedSinceLimit): however
    // long a busy machine keeps a wait that works from its next question,
    // it is not stuck.
    const int iLimitMs = NKTestWaitLimitMs();
    RunningWait wait;
    wait.pszWhat = pszWhat;
    wait.iThread = (pid_t)syscall(SYS_gettid);
    wait.tLimit = Clock::now() + std::chrono::milliseconds(iLimitMs);
    wait.margin = std::chrono::milliseconds(std::max(iLimitMs / 4, 5000));
    std::lock_guard<std::mutex> lock(watch.mutex);
    m_uId = watch.uNextId++;
    watch.waits[m_uId] = wait;
    if (!watch.bRunning) {
        watch.bRunning = true;
        std::thread(WatchWaits).detach();
    }
    watch.changed.notify_all();
}

NKTestWaitGuard::~NKTestWaitGuard()
{
    StuckWaitWatch &watch = Watch();
    std::lock_guard<std::mutex> lock(watch.mutex);
    watch.waits.erase(m_uId);
    watch.changed.notify_all();
}

void NKTestAtStuckWait(void (*pfnCall)(void))
{
    StuckWaitWatch &watch = Watch();
    std::lock_guard<std::mutex> lock(watch.mutex);
    watch.calls.push_back(pfnCall);
}

NKTestThreadLook NKTestThreadLookOf(const char *pszSchedstat, const char *pszStat)
{
    NKTestThreadLook look;
    long long iRun = 0, iQueued = 0;
    if (std::sscanf(pszSchedstat, "%lld %lld", &iRun, &iQueued) == 2) look.iBusyNs = iRun + iQueued;
    // The state follows the name in parentheses, which may hold anything.
    const char *pszEnd = std::strrchr(pszStat, ')');
    look.bRunnable = pszEnd != nullptr && pszEnd[1] == ' ' && pszEnd[2] == 'R';
    return look;
}

std::chrono::steady_clock::duration
NKTestBlockedReckoning::Look(std::chrono::steady_clock::time_point now,
                             const NKTestThreadLook &look)
{
    if (!m_bBaseline || look.bRunnable) {
        m_bBaseline = true;
        m_tBaseline = now;
        m_iBusyNsAtBaseline = look.iBusyNs;
    }
    Clock::duration blocked = now - m_tBaseline;
    if (look.iBusyNs >= 0 && m_iBusyNsAtBaseline >= 0)
        blocked -= std::chrono::duration_cast<Clock::duration>(
            std::chrono::nanoseconds(look.iBusyNs - m_iBusyNsAtBaseline));
    return blocked;
}

int NKTestWaitLimitMs(void)
{
    double fScale = 1.0;
    // The whole text a decimal number, read alike in every locale (the
    // application sets the user's, in which strtod may want a comma) and
    // as tests/scripts/wait_limit.sh reads it for the scripts.
    if (const char *pszScale = std::getenv("QUOLIN_TEST_WAIT_SCALE")) {
        const char *pszEnd = pszScale + std::strlen(pszScale);
        double f = 0.0;
        const std::from_chars_result r = std::from_chars(pszScale, pszEnd, f);
        if (r.ec == std::errc() && r.ptr == pszEnd && f > 0.0 && f <= 1000.0) fScale = f;
    }
    return (int)(60000.0 * fScale);
}

bool NKTestWaitGaveUp(const char *pszWhat)
{
    std::fprintf(stderr, "Gave up after %.1f s waiting for %s\n", NKTestWaitLimitMs() / 1000.0,
                 pszWhat);
    return false;
}

bool NKTestWaitFor(const std::function<bool()> &condition, const char *pszWhat)
{
    const NKTestWaitGuard guard(pszWhat);
    if (condition()) return true;
    // The wait gives up only after a question asked once the limit had
    // passed: a busy machine may keep it from its next question until past
    // the limit, and what came meanwhile is still seen.
    const QDeadlineTimer deadline(NKTestWaitLimitMs());
    const bool bApplication = QCoreApplication::instance() != nullptr;
    // The tick wakes the loop when no event comes, so that a condition that
    // no event announces (a file, a child's state) is seen too.
    QTimer tick;
    if (bApplication) tick.start(5);
    for (;;) {
        const bool bLast = deadline.hasExpired();
        if (bApplication) {
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        if (condition()) return true;
        if (bLast) return NKTestWaitGaveUp(pszWhat);
    }
}
