// tests/platform/test_key_filter.cpp -- the headless key filter and window
// timers (no Qt application exists in this test program).
#include <gtest/gtest.h>

#include "platform/nk_key_filter.h"
#include "platform/nk_window_timer.h"

namespace {

void Tick(int) {}

}  // namespace

TEST(KeyFilter, PressIsSeenOnce)
{
    NKKeyFilterSimulatePress(NK_FILTER_KEY_SPACE);
    EXPECT_FALSE(NKKeyFilterWasPressed(NK_FILTER_KEY_ESCAPE));
    EXPECT_TRUE(NKKeyFilterWasPressed(NK_FILTER_KEY_SPACE));
    EXPECT_FALSE(NKKeyFilterWasPressed(NK_FILTER_KEY_SPACE));
    EXPECT_FALSE(NKKeyFilterWasPressed(7));
}

TEST(KeyFilter, OutermostBeginForgetsEarlierPresses)
{
    NKKeyFilterSimulatePress(NK_FILTER_KEY_ESCAPE);
    NKKeyFilterBegin();
    EXPECT_TRUE(NKKeyFilterIsWatching());
    EXPECT_FALSE(NKKeyFilterWasPressed(NK_FILTER_KEY_ESCAPE));
    NKKeyFilterSimulatePress(NK_FILTER_KEY_ESCAPE);
    NKKeyFilterBegin();  // nested: keeps the press
    NKKeyFilterProcessEvents();
    EXPECT_TRUE(NKKeyFilterWasPressed(NK_FILTER_KEY_ESCAPE));
    NKKeyFilterEnd();
    EXPECT_TRUE(NKKeyFilterIsWatching());
    NKKeyFilterEnd();
    EXPECT_FALSE(NKKeyFilterIsWatching());
    NKKeyFilterEnd();  // unbalanced end changes nothing
    EXPECT_FALSE(NKKeyFilterIsWatching());
}

TEST(WindowTimer, HeadlessTimersAreRecorded)
{
    EXPECT_FALSE(NKStartWindowTimer(0, 100, Tick));
    EXPECT_FALSE(NKStartWindowTimer(3, 100, nullptr));
    EXPECT_EQ(NKGetWindowTimerPeriod(3), -1);
    EXPECT_TRUE(NKStartWindowTimer(3, 100, Tick));
    EXPECT_TRUE(NKIsWindowTimerRunning(3));
    EXPECT_EQ(NKGetWindowTimerPeriod(3), 100);
    EXPECT_TRUE(NKStartWindowTimer(3, 0, Tick));
    EXPECT_EQ(NKGetWindowTimerPeriod(3), 1);
    NKStopWindowTimer(3);
    EXPECT_FALSE(NKIsWindowTimerRunning(3));
    NKStopWindowTimer(3);
}
