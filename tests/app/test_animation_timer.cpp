// tests/app/test_animation_timer.cpp -- the animation run and suspend logic
// on g_pModel and the reasons of the animation timer. Without a Qt
// application the window timer is only recorded, never fired.
#include <gtest/gtest.h>

#include <vector>

#include "app/nk_animation_timer.h"
#include "app/nk_shell_services.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_shell_hooks.h"
#include "platform/nk_window_timer.h"

namespace {

class AnimationTimer : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_SavedShell = NKGetShellHooks();
        m_SavedModel = NKGetModelHooks();
        NKInstallShellHooks();
        NKResetAnimationTimer();
        g_pModel = NKCreateModel();
        g_pModel->iNumFrames = 5;
    }
    void TearDown() override
    {
        NKResetAnimationTimer();
        NKDestroyModel(g_pModel);
        g_pModel = nullptr;
        NKSetShellHooks(m_SavedShell);
        NKSetModelHooks(m_SavedModel);
    }
    // The animation fields in their order: from, to, type, current, previous.
    static std::vector<int> Fields()
    {
        return {g_pModel->iAnimationFromFrame, g_pModel->iAnimationToFrame, g_pModel->animationType,
                g_pModel->iCurrentFrame, g_pModel->iPreviousFrame};
    }
    NKShellHooks m_SavedShell;
    NKModelHooks m_SavedModel;
};

TEST_F(AnimationTimer, RunPairsSetRangeDirectionAndFrames)
{
    const struct {
        int iFrom, iTo;
        bool bResult;
        std::vector<int> fields;  // from, to, type, current, previous
        bool bTimer;
    } kCases[] = {
        {3, 1, true, {0, 2, 2, 2, 0}, true},   // backward over frames 0..2 from frame 2
        {2, 4, true, {1, 3, 1, 1, 0}, true},   // forward over frames 1..3
        {2, 2, true, {0, 0, 0, 1, 1}, false},  // a still frame
        {0, 0, true, {0, 4, 1, 0, 0}, true},
        {0, -1, true, {0, 4, 2, 0, 0}, true},
        {-1, -1, true, {0, 0, 0, 0, 0}, false},
        {-1, 0, true, {0, 0, 0, 0, 0}, false},  // one step back wraps to the range's end
        {1, 0, true, {0, 0, 0, 0, 0}, false},
        {6, 1, false, {0, 0, 0, 0, 0}, false},  // from past the last frame
        {2, 6, false, {0, 0, 0, 0, 0}, false},
        {2, 0, false, {0, 0, 0, 0, 0}, false},
        {0, 3, false, {0, 0, 0, 0, 0}, false},
        {-1, 2, false, {0, 0, 0, 0, 0}, false},
        {-2, 1, false, {0, 0, 0, 0, 0}, false},
    };
    for (const auto &c : kCases) {
        NKResetAnimationTimer();
        NKDestroyModel(g_pModel);
        g_pModel = NKCreateModel();
        g_pModel->iNumFrames = 5;
        EXPECT_EQ(NKRunAnimation(c.iFrom, c.iTo), c.bResult) << c.iFrom << ", " << c.iTo;
        EXPECT_EQ(Fields(), c.fields) << c.iFrom << ", " << c.iTo;
        EXPECT_EQ(NKIsTimerReasonActive(NK_TIMER_ANIMATION), c.bTimer) << c.iFrom << ", " << c.iTo;
    }
}

TEST_F(AnimationTimer, StepsWrapInsideTheRangeAndStopTheTimer)
{
    ASSERT_TRUE(NKRunAnimation(2, 4));  // frames 1..3, at 1
    EXPECT_TRUE(NKRunAnimation(-1, 0));
    EXPECT_EQ(Fields(), (std::vector<int>{1, 3, 0, 3, 3}));  // below 1 wraps to 3
    EXPECT_FALSE(NKIsTimerActive());
    EXPECT_TRUE(NKRunAnimation(1, 0));
    EXPECT_EQ(Fields(), (std::vector<int>{1, 3, 0, 1, 1}));  // above 3 wraps to 1
    // Steps reach each end of the range before they wrap past it.
    const struct {
        int iStep;  // 1 forward, -1 back
        int iCurrent;
    } kSteps[] = {{1, 2}, {1, 3}, {1, 1}, {-1, 3}, {-1, 2}, {-1, 1}, {-1, 3}};
    for (const auto &step : kSteps) {
        EXPECT_TRUE(NKRunAnimation(step.iStep > 0 ? 1 : -1, 0));
        EXPECT_EQ(g_pModel->iCurrentFrame, step.iCurrent) << step.iStep;
        EXPECT_EQ(g_pModel->iPreviousFrame, step.iCurrent) << step.iStep;
    }
}

TEST_F(AnimationTimer, SuspendSavesSevenFieldsOnceAndResumeRestoresThem)
{
    ASSERT_TRUE(NKRunAnimation(3, 1));
    g_pModel->iCurrentFrame = 1;  // as if the animation had stepped
    g_pModel->iPreviousFrame = 2;
    g_pModel->iAnimationSkipBy = 3;
    g_pModel->bAnimationCycle = 1;
    NKSuspendAnimation(true);
    EXPECT_EQ(Fields(), (std::vector<int>{0, 2, 0, 1, 1}));
    EXPECT_FALSE(NKIsTimerReasonActive(NK_TIMER_ANIMATION));
    g_pModel->iAnimationSkipBy = 7;
    g_pModel->bAnimationCycle = 0;
    NKSuspendAnimation(true);  // already suspended: nothing is saved again
    EXPECT_TRUE(NKIsAnimationSuspended());
    NKSuspendAnimation(false);
    EXPECT_EQ(Fields(), (std::vector<int>{0, 2, 2, 1, 2}));
    EXPECT_EQ(g_pModel->iAnimationSkipBy, 3);
    EXPECT_EQ(g_pModel->bAnimationCycle, 1);
    EXPECT_TRUE(NKIsTimerReasonActive(NK_TIMER_ANIMATION));
    EXPECT_FALSE(NKIsAnimationSuspended());
    NKSuspendAnimation(false);  // nothing suspended: nothing changes
    EXPECT_EQ(g_pModel->animationType, 2);
}

TEST_F(AnimationTimer, SuspendWithoutARunningAnimationDoesNothing)
{
    NKSuspendAnimation(true);
    EXPECT_FALSE(NKIsAnimationSuspended());
    NKSuspendAnimation(false);
    EXPECT_EQ(g_pModel->animationType, 0);
    EXPECT_FALSE(NKIsTimerActive());
}

TEST_F(AnimationTimer, ReasonsShareOneTwentyMillisecondWindowTimer)
{
    NKStartTimer(NK_TIMER_ANIMATION);
    NKStartTimer(NK_TIMER_SPIN);
    EXPECT_TRUE(NKIsWindowTimerRunning(NK_ANIMATION_TIMER_ID));
    EXPECT_EQ(NKGetWindowTimerPeriod(NK_ANIMATION_TIMER_ID), 20);
    for (int iTaken : {1, 2, 4, 6}) EXPECT_NE(NK_ANIMATION_TIMER_ID, iTaken);
    NKStopTimer(NK_TIMER_SPIN);  // reason 2 still keeps the timer
    EXPECT_TRUE(NKIsTimerActive());
    EXPECT_TRUE(NKIsWindowTimerRunning(NK_ANIMATION_TIMER_ID));
    NKStartTimer(NK_TIMER_TRACES);
    NKStartTimer(NK_TIMER_WALK);
    NKStopTimer(NK_TIMER_ALL);  // clears every reason
    for (int iReason = 2; iReason <= 5; iReason++) EXPECT_FALSE(NKIsTimerReasonActive(iReason));
    EXPECT_FALSE(NKIsTimerActive());
    EXPECT_FALSE(NKIsWindowTimerRunning(NK_ANIMATION_TIMER_ID));
    NKStartTimer(7);  // no such reason: no timer either
    NKStartTimer(1);
    EXPECT_FALSE(NKIsWindowTimerRunning(NK_ANIMATION_TIMER_ID));
}

}  // namespace
