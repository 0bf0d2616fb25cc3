// tests/test_support/test_wait.cpp -- the one limit of the tests' waits
// (see test_wait.h).
#include "tests/test_support/test_wait.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

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
    if (condition()) return true;
    const QDeadlineTimer deadline(NKTestWaitLimitMs());
    if (QCoreApplication::instance() == nullptr) {
        while (!deadline.hasExpired()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            if (condition()) return true;
        }
        return NKTestWaitGaveUp(pszWhat);
    }
    // The tick wakes the loop when no event comes, so that a condition that
    // no event announces (a file, a child's state) is seen too.
    QTimer tick;
    tick.start(5);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (condition()) return true;
    }
    return NKTestWaitGaveUp(pszWhat);
}
