// tests/test_support/test_wait.cpp -- the one limit of the tests' waits
// (see test_wait.h).
#include "tests/test_support/test_wait.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The waits running now, each with what it waits for and the moment it
// counts as stuck, and the calls to make before the program ends for one.
// Made once and never destroyed: the thread outlives the statics at exit.
struct StuckWaitWatch {
    std::mutex mutex;
    std::condition_variable changed;
    std::map<unsigned long, std::pair<const char *, Clock::time_point>> waits;
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

// The watch thread: sleeps until the first running wait would be stuck.
void WatchWaits(void)
{
    StuckWaitWatch &watch = Watch();
    std::unique_lock<std::mutex> lock(watch.mutex);
    for (;;) {
        if (watch.waits.empty()) {
            watch.changed.wait(lock);
            continue;
        }
        auto first = watch.waits.begin();
        for (auto it = watch.waits.begin(); it != watch.waits.end(); ++it)
            if (it->second.second < first->second.second) first = it;
        const Clock::time_point stuck = first->second.second;  // the entry may go meanwhile
        if (Clock::now() >= stuck) EndForStuckWait(watch, first->second.first);
        watch.changed.wait_until(lock, stuck);
    }
}

}  // namespace

NKTestWaitGuard::NKTestWaitGuard(const char *pszWhat)
{
    StuckWaitWatch &watch = Watch();
    // A quarter of the limit to spare, and some seconds at least: a busy
    // machine may keep a wait that works from its next question a while.
    const int iLimitMs = NKTestWaitLimitMs();
    const auto stuck =
        Clock::now() + std::chrono::milliseconds(iLimitMs + std::max(iLimitMs / 4, 5000));
    std::lock_guard<std::mutex> lock(watch.mutex);
    m_uId = watch.uNextId++;
    watch.waits[m_uId] = {pszWhat, stuck};
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
