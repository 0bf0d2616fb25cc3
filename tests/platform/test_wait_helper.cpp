// tests/platform/test_wait_helper.cpp -- the tests' one wait limit
// (tests/test_support/test_wait.h) checked itself: the scale it reads from
// QUOLIN_TEST_WAIT_SCALE, and a wait for a condition that never holds,
// with a Qt application and without one.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <sched.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/test_support/test_wait.h"

namespace {

// QUOLIN_TEST_WAIT_SCALE as given (null: unset) for one scope; what was
// there before comes back after.
class ScaleSetting {
public:
    explicit ScaleSetting(const char *pszScale)
    {
        const char *pszOld = std::getenv(kName);
        m_bHad = pszOld != nullptr;
        if (m_bHad) m_Old = pszOld;
        if (pszScale != nullptr)
            setenv(kName, pszScale, 1);
        else
            unsetenv(kName);
    }
    ~ScaleSetting()
    {
        if (m_bHad)
            setenv(kName, m_Old.c_str(), 1);
        else
            unsetenv(kName);
    }
    ScaleSetting(const ScaleSetting &) = delete;
    ScaleSetting &operator=(const ScaleSetting &) = delete;

private:
    static constexpr const char *kName = "QUOLIN_TEST_WAIT_SCALE";
    bool m_bHad = false;
    std::string m_Old;
};

int sg_iNever = 0;  // what NK_WAIT_EQ waits on below: never 1

}  // namespace

// A positive number up to 1000 multiplies the 60 s; anything else counts
// as 1.
TEST(TestWait, TheScaleMultipliesTheOneLimit)
{
    const struct {
        const char *pszScale;
        int iLimitMs;
    } kCases[] = {{nullptr, 60000},   {"2", 120000}, {"0.5", 30000}, {"0.001", 60},
                  {"1000", 60000000}, {"0", 60000},  {"-1", 60000},  {"1001", 60000},
                  {"x", 60000},       {"2x", 60000}, {"", 60000}};
    for (const auto &c : kCases) {
        ScaleSetting scale(c.pszScale);
        EXPECT_EQ(NKTestWaitLimitMs(), c.iLimitMs) << (c.pszScale ? c.pszScale : "(unset)");
    }
}

// A wait for what never comes answers false after asking more than once,
// and NK_WAIT_EQ fails its check: with a tiny scale, so that they give up
// soon; neither depends on how soon the questions come. A question kept
// past the limit (as a busy machine keeps one) is followed by one more
// before the wait gives up. A condition that
// holds, at once or at its third question, answers true within the limit
// as it stands (one a busy machine does not reach). Both with a Qt
// application (the event loop runs between the questions) and without one
// (sleeps between them).
TEST(TestWait, AWaitThatNeverHoldsAnswersFalseAndFailsItsCheck)
{
    static int argc = 1;
    static char szName[] = "test_wait";
    static char *argv[] = {szName, nullptr};
    for (bool bApplication : {false, true}) {
        SCOPED_TRACE(bApplication ? "with an application" : "without one");
        std::unique_ptr<QCoreApplication> pApp;
        if (bApplication && QCoreApplication::instance() == nullptr)
            pApp = std::make_unique<QCoreApplication>(argc, argv);
        ASSERT_EQ(QCoreApplication::instance() != nullptr, bApplication);
        {
            ScaleSetting tiny("0.001");  // 60 ms
            int iAsked = 0;
            EXPECT_FALSE(NKTestWaitFor([&] { return ++iAsked < 0; }, "what never comes"));
            EXPECT_GE(iAsked, 2);
            EXPECT_NONFATAL_FAILURE(NK_WAIT_EQ(sg_iNever, 1), "sg_iNever");
        }
        {
            // A question that a busy machine keeps until past the limit is
            // followed by one more, which sees what came meanwhile.
            ScaleSetting tiny("0.001");
            int iAsked = 0;
            EXPECT_TRUE(NKTestWaitFor(
                [&] {
                    if (++iAsked == 2)
                        std::this_thread::sleep_for(
                            std::chrono::milliseconds(NKTestWaitLimitMs() + 40));
                    return iAsked == 3;
                },
                "the question after one kept past the limit"));
            EXPECT_EQ(iAsked, 3);
        }
        EXPECT_TRUE(NKTestWaitFor([] { return true; }, "what holds at once"));
        int iAsked = 0;
        EXPECT_TRUE(NKTestWaitFor([&] { return ++iAsked == 3; }, "the third question"));
        EXPECT_EQ(iAsked, 3);
    }
}

// The stuck-wait watch's reckoning of a wait's thread past its limit, look
// after look: time in a run queue is not blocked, whether the thread is
// there at the look (the kernel has not added that time to the thread's
// yet) or was between two looks (it has); time asleep is, and all the time
// where the kernel says nothing. The kernel's texts read: the time queued
// counts with the time run, and the state is the one after the name,
// whatever the name holds.
TEST(TestWait, TimeInARunQueueIsNotBlocked)
{
    struct Look {
        int iAtMs;
        long long iBusyMs;  // -1: unknown
        bool bRunnable;
    };
    const struct {
        const char *pszName;
        std::vector<Look> looks;
        int iBlockedMs;  // at the last look
    } kCases[] = {
        {"in a run queue at every look, the kernel adding nothing yet",
         {{0, 10, true}, {3000, 10, true}, {6000, 10, true}, {9000, 10, true}},
         0},
        {"asleep at both looks, in a run queue between them",
         {{0, 10, false}, {6000, 5990, false}},
         20},
        {"asleep all the time", {{0, 10, false}, {6000, 10, false}}, 6000},
        {"in a run queue, then asleep", {{0, 10, true}, {2000, 10, true}, {8000, 10, false}}, 6000},
        {"the kernel saying nothing", {{0, -1, false}, {6000, -1, false}}, 6000},
    };
    const auto begun = std::chrono::steady_clock::now();
    for (const auto &c : kCases) {
        NKTestBlockedReckoning reckoning;
        std::chrono::steady_clock::duration blocked{};
        for (const Look &look : c.looks)
            blocked =
                reckoning.Look(begun + std::chrono::milliseconds(look.iAtMs),
                               {look.iBusyMs < 0 ? -1 : look.iBusyMs * 1000000, look.bRunnable});
        EXPECT_EQ(std::chrono::duration_cast<std::chrono::milliseconds>(blocked).count(),
                  c.iBlockedMs)
            << c.pszName;
    }
    const struct {
        const char *pszSchedstat, *pszStat;
        long long iBusyNs;
        bool bRunnable;
    } kTexts[] = {
        {"1500 2500 7\n", "12 (quolin) R 1 12 12", 4000, true},
        {"1500 2500 7\n", "12 (a) R) S 1 12 12", 4000, false},
        {"1500\n", "12 (b) D 1 12 12", -1, false},
        {"", "", -1, false},
    };
    for (const auto &t : kTexts) {
        const NKTestThreadLook look = NKTestThreadLookOf(t.pszSchedstat, t.pszStat);
        EXPECT_EQ(look.iBusyNs, t.iBusyNs) << t.pszSchedstat;
        EXPECT_EQ(look.bRunnable, t.bRunnable) << t.pszStat;
    }
}

// A wait whose condition never comes back (as one stuck in a request to a
// display that does not answer) ends the test program a little after the
// limit, saying what it waited for, once the calls made for that case have
// run. Of waits inside each other, the one named is the first that stuck:
// the outer one, begun first, whose condition began the inner one.
TEST(TestWaitDeathTest, AWaitThatDoesNotComeBackEndsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ScaleSetting tiny("0.001");  // 60 ms, and 5 s more
    const auto never = []() -> bool {
        for (;;) pause();
    };
    const struct {
        const char *pszName;
        std::function<bool()> condition;
    } cases[] = {{"what never comes back", never},
                 {"the outer wait", [never] { return NKTestWaitFor(never, "the inner wait"); }}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.pszName);
        EXPECT_EXIT(
            {
                NKTestAtStuckWait([] { std::fprintf(stderr, "the call for a stuck wait ran\n"); });
                NKTestWaitFor(c.condition, c.pszName);
            },
            ::testing::ExitedWithCode(1),
            std::string("waiting for ") + c.pszName +
                ": the wait has not come back(.|\n)*the call for a stuck wait ran");
    }
}

namespace {

// The run queue case below, in the death test's child: exits with status 0
// once the wait came back, unless the watch ends the program first.
[[noreturn]] void WaitKeptInARunQueue(void)
{
    ScaleSetting tiny("0.001");  // 60 ms, and 5 s more
    // The watch's thread, begun by the first wait, runs on every
    // core the program may use.
    NKTestWaitFor([] { return true; }, "what holds at once");
    cpu_set_t allowed, one;
    sched_getaffinity(0, sizeof allowed, &allowed);
    CPU_ZERO(&one);
    for (int i = 0; i < CPU_SETSIZE; i++)
        if (CPU_ISSET(i, &allowed)) {
            CPU_SET(i, &one);
            break;
        }
    // Busy past the limit and the margin, and 2 s more.
    const auto until =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(NKTestWaitLimitMs() + 7000);
    constexpr int kBusy = 8;
    std::atomic<int> iEnded{0};
    std::vector<std::thread> busy;
    for (int i = 0; i < kBusy; i++)
        busy.emplace_back([&] {
            sched_setaffinity(0, sizeof one, &one);
            while (std::chrono::steady_clock::now() < until) {
            }
            ++iEnded;
        });
    bool bFirst = true;
    // The wait comes back when its thread runs again: as soon as the busy
    // threads have ended, or earlier if the kernel lets it run before
    // (then, past its limit, it gives up); either way the watch left it.
    NKTestWaitFor(
        [&] {
            if (bFirst) {
                bFirst = false;
                const sched_param priority{};
                sched_setaffinity(0, sizeof one, &one);
                sched_setscheduler(0, SCHED_IDLE, &priority);
            }
            return iEnded == kBusy;
        },
        "the busy threads' end");
    for (std::thread &thread : busy) thread.join();
    std::fprintf(stderr, "the wait came back\n");
    std::_Exit(0);
}

}  // namespace

// A wait whose thread sits in a run queue past its limit for longer than
// the watch's margin is late, not stuck: its core held by busy threads of
// the program, the wait's thread of the lowest priority (so that the
// kernel leaves it there for seconds at a time), the watch does not end
// the program, and the wait comes back once its thread runs.
TEST(TestWaitDeathTest, AWaitKeptInARunQueueIsNotEnded)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    bool bIdleAllowed = false;
    std::thread([&] {
        const sched_param priority{};
        bIdleAllowed = sched_setscheduler(0, SCHED_IDLE, &priority) == 0;
    }).join();
    if (!bIdleAllowed) GTEST_SKIP() << "a thread may not take the idle priority here";
    EXPECT_EXIT(WaitKeptInARunQueue(), ::testing::ExitedWithCode(0), "the wait came back");
}
