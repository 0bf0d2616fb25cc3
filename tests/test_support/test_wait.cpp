// tests/test_support/test_wait.cpp -- the one limit of the tests' waits
// (see test_wait.h).
#include "tests/test_support/test_wait.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

int NKTestWaitLimitMs(void)
{
    double fScale = 1.0;
    if (const char *pszScale = std::getenv("QUOLIN_TEST_WAIT_SCALE")) {
        char *pszEnd = nullptr;
        const double f = std::strtod(pszScale, &pszEnd);
        if (pszEnd != pszScale && *pszEnd == '\0' && f > 0.0 && f <= 1000.0) fScale = f;
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
