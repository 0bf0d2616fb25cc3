// tests/test_support/test_wait.h -- the one limit of every wait in the
// tests. A wait for a condition returns as soon as the condition holds, so
// its limit costs nothing when the program works; the limit is there only
// to end a test whose condition never comes. It is generous (60 s) because
// a sanitizer build on a busy machine is many times slower than a quiet
// one, and QUOLIN_TEST_WAIT_SCALE multiplies it (a slower machine, a
// debugger). A wait that gives up says what it waited for. A whole test
// has ten times this limit (scripts/run-ctest), so a hang fails by name.
//
// A test checks what it waits for (EXPECT_TRUE(NKTestWaitFor(...)) or
// NK_WAIT_EQ) and never relies on a fixed delay: a check that something
// did not happen may follow a short qWait, since a slow machine only makes
// such a check easier to pass.
//
// A wait can only give up between two questions: one whose condition or
// event handling never comes back (a round trip to an X server that a
// stopped client holds grabbed) would outlive the limit. So a watch thread
// ends the test program when a wait's thread, after the limit passed, has
// been blocked for a quarter of the limit (5 s at least) without the wait
// coming back, saying what it waited for; the program fails by the name
// of the test it was running. Time the thread waits for a processor does
// not count, however long it waits at once: on a busy machine a wait that
// works is late, never stuck.
#pragma once

#include <chrono>
#include <functional>

// The limit in milliseconds: 60000 times QUOLIN_TEST_WAIT_SCALE (a decimal
// number such as 2, 0.5 or 1e2, above 0 and at most 1000; anything else
// counts as 1).
int NKTestWaitLimitMs(void);

// Prints that the wait for pszWhat gave up after the limit; answers false.
bool NKTestWaitGaveUp(const char *pszWhat);

// Runs the event loop (the program's timers, paints, sockets and child
// processes go on, each event handled as it comes) until condition() holds
// or the limit passes; false in the second case, after saying so. The
// condition is asked again at least every 5 ms, and once more after the
// limit passed before the wait gives up (so at least twice, however late a
// busy machine lets it run). Without an application object it sleeps
// between the questions instead.
bool NKTestWaitFor(const std::function<bool()> &condition, const char *pszWhat);

// Held by every wait while it runs (NKTestWaitFor holds one): the watch
// thread's record of it.
class NKTestWaitGuard {
public:
    explicit NKTestWaitGuard(const char *pszWhat);
    ~NKTestWaitGuard();
    NKTestWaitGuard(const NKTestWaitGuard &) = delete;
    NKTestWaitGuard &operator=(const NKTestWaitGuard &) = delete;

private:
    unsigned long m_uId;
};

// What the watch reads of a wait's thread at one look past its limit: how
// long it has run on a processor and waited in a run queue for one, in
// nanoseconds (-1 where unknown), and whether it is runnable now (running,
// or in a run queue).
struct NKTestThreadLook {
    long long iBusyNs = -1;
    bool bRunnable = false;
};
// The look the kernel's texts of the thread give: its "schedstat" (time
// run, time queued, slices) and its "stat" (id, name in parentheses, state).
NKTestThreadLook NKTestThreadLookOf(const char *pszSchedstat, const char *pszStat);

// How long a wait's thread has been blocked, look after look: the time
// since the first look, or since the last that found it runnable, that it
// neither ran nor waited for a processor. A busy machine that keeps a
// working wait from its next question keeps it in a run queue, which does
// not count: neither while it is there (the kernel adds that time to the
// thread's own only once it runs) nor after; a request that never comes
// back blocks. Where the kernel does not say, all the time counts.
class NKTestBlockedReckoning {
public:
    std::chrono::steady_clock::duration Look(std::chrono::steady_clock::time_point now,
                                             const NKTestThreadLook &look);

private:
    bool m_bBaseline = false;
    std::chrono::steady_clock::time_point m_tBaseline;
    long long m_iBusyNsAtBaseline = 0;
};

// pfnCall runs on the watch thread before it ends the program for a stuck
// wait, e.g. to end a child process the test stopped (one that would
// otherwise keep the display for the tests after it).
void NKTestAtStuckWait(void (*pfnCall)(void));

// For GoogleTest tests: waits until ACTUAL == EXPECTED, then checks it, so
// that a wait that gave up prints both values.
#define NK_WAIT_EQ(actual, expected)                                                               \
    do {                                                                                           \
        NKTestWaitFor([&] { return (actual) == (expected); }, #actual " == " #expected);           \
        EXPECT_EQ(actual, expected);                                                               \
    } while (0)
