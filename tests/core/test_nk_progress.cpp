// tests/core/test_nk_progress.cpp -- progress operations over the headless
// status bar: modes, nesting, positions, Cancel and quit requests. Needs no
// display.
#include <gtest/gtest.h>

#include <thread>

#include "core/nk_progress.h"
#include "platform/nk_progress_ui.h"

namespace {

class ProgressTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        NKSetProgressUI(nullptr);
        m_pUI = NKGetHeadlessProgressUI();
        m_pUI->Reset();
        NKResetProgressState();
    }
    void TearDown() override
    {
        NKSetProgressUI(nullptr);
        m_pUI->Reset();
        NKResetProgressState();
    }
    NKHeadlessProgressUI *m_pUI = nullptr;
};

TEST_F(ProgressTest, BeginShowsBarWithRangeAndText)
{
    EXPECT_TRUE(NKBeginProgressBar(50, "Reading model"));
    EXPECT_TRUE(NKGetProgressState().bRunning);
    EXPECT_TRUE(m_pUI->IsProgressBarShown());
    EXPECT_FALSE(m_pUI->IsCancelButtonShown());
    EXPECT_FALSE(m_pUI->IsNormalMode());
    EXPECT_EQ(m_pUI->GetProgressRange(), 50);
    EXPECT_EQ(m_pUI->GetProgressPosition(), 0);
    EXPECT_EQ(m_pUI->GetStatusText(), "Reading model");
}

TEST_F(ProgressTest, EndRemovingEverythingGoesBackToNormal)
{
    NKBeginProgress(10, nullptr, true, true);
    EXPECT_TRUE(m_pUI->IsCancelButtonShown());
    EXPECT_TRUE(NKEndProgress("Done.", true, true));
    EXPECT_FALSE(NKGetProgressState().bRunning);
    EXPECT_TRUE(m_pUI->IsNormalMode());
    EXPECT_FALSE(m_pUI->IsProgressBarShown());
    EXPECT_FALSE(m_pUI->IsCancelButtonShown());
    EXPECT_EQ(m_pUI->GetStatusText(), "Done.");
}

TEST_F(ProgressTest, EndKeepsWhatIsNotRemoved)
{
    NKBeginProgress(10, nullptr, true, true);
    NKEndProgressBar(nullptr);  // keeps the Cancel button
    EXPECT_FALSE(m_pUI->IsProgressBarShown());
    EXPECT_TRUE(m_pUI->IsCancelButtonShown());
    EXPECT_FALSE(m_pUI->IsNormalMode());
}

TEST_F(ProgressTest, NeitherChildGivesOnePartMode)
{
    EXPECT_TRUE(NKBeginProgress(0, "Working", false, false));
    EXPECT_FALSE(m_pUI->IsNormalMode());
    EXPECT_FALSE(m_pUI->IsProgressBarShown());
    EXPECT_FALSE(m_pUI->IsCancelButtonShown());
    NKEndProgress(nullptr, false, false);
    EXPECT_TRUE(m_pUI->IsNormalMode());
}

TEST_F(ProgressTest, NestedBeginKeepsTheOuterBar)
{
    NKBeginProgressBar(100, "Outer");
    NKSetProgress(40, nullptr);
    EXPECT_TRUE(NKBeginProgressBar(7, "Inner"));  // answers true at once
    EXPECT_EQ(NKGetProgressState().iNested, 1);
    EXPECT_EQ(m_pUI->GetProgressRange(), 100);
    EXPECT_EQ(m_pUI->GetStatusText(), "Outer");
    NKSetProgress(3, nullptr);  // the inner range is not the bar's
    EXPECT_EQ(m_pUI->GetProgressPosition(), 40);
    EXPECT_TRUE(NKEndProgressBar("Inner done"));
    EXPECT_TRUE(m_pUI->IsProgressBarShown());
    EXPECT_EQ(m_pUI->GetProgressRange(), 100);
    EXPECT_EQ(m_pUI->GetProgressPosition(), 40);
    EXPECT_TRUE(NKGetProgressState().bRunning);
    NKSetProgress(60, nullptr);
    EXPECT_EQ(m_pUI->GetProgressPosition(), 60);
    NKEndProgressBar(nullptr);
    EXPECT_FALSE(m_pUI->IsProgressBarShown());
    EXPECT_FALSE(NKGetProgressState().bRunning);
}

TEST_F(ProgressTest, TwoLevelsOfNestingStillKeepTheOuterBar)
{
    NKBeginProgressBar(100, "Outer");
    NKBeginCancelMode("Middle");
    NKBeginProgressBar(5, "Inner");
    NKEndProgressBar(nullptr);
    NKEndCancelMode(nullptr);
    EXPECT_TRUE(m_pUI->IsProgressBarShown());
    EXPECT_TRUE(NKGetProgressState().bRunning);
    NKEndProgressBar(nullptr);
    EXPECT_FALSE(NKGetProgressState().bRunning);
}

TEST_F(ProgressTest, SetProgressMovesOnlyAnExistingBar)
{
    EXPECT_TRUE(NKSetProgress(5, "no bar"));
    EXPECT_EQ(m_pUI->GetProgressPosition(), 0);
    EXPECT_EQ(m_pUI->GetStatusText(), "no bar");
    NKBeginProgressBar(10, nullptr);
    NKSetProgress(7, "step 7");
    EXPECT_EQ(m_pUI->GetProgressPosition(), 7);
    EXPECT_EQ(m_pUI->GetStatusText(), "step 7");
    NKSetProgress(-1, nullptr);  // negative: ignored
    EXPECT_EQ(m_pUI->GetProgressPosition(), 7);
    EXPECT_EQ(m_pUI->GetStatusText(), "step 7");
}

TEST_F(ProgressTest, CheckCancelPumpsAndAnswersTheButton)
{
    NKBeginCancelMode("Encoding");
    EXPECT_FALSE(NKCheckCancel());
    EXPECT_EQ(m_pUI->GetPumpCount(), 1);
    m_pUI->RequestCancel();
    EXPECT_TRUE(NKCheckCancel());
    EXPECT_TRUE(NKGetProgressState().bCancelPressed);
    EXPECT_TRUE(NKCheckCancel());  // stays pressed until the next begin
    NKEndCancelMode("");
    NKBeginCancelMode("Again");
    EXPECT_FALSE(NKCheckCancel());
    m_pUI->RequestCancel();
    EXPECT_TRUE(NKCheckCancel());
    NKEndCancelMode("");
    // A later operation without a button is not cancelled by that click.
    NKBeginProgressBar(10, "Writing");
    EXPECT_FALSE(NKCheckCancel());
    NKEndProgressBar("");
}

TEST_F(ProgressTest, CancelFromAnotherThread)
{
    NKBeginCancelMode(nullptr);
    std::thread t([this] { m_pUI->RequestCancel(); });
    t.join();
    EXPECT_TRUE(NKCheckCancel());
}

TEST_F(ProgressTest, NestedBeginDoesNotClearAPressedCancel)
{
    NKBeginCancelMode(nullptr);
    m_pUI->RequestCancel();
    EXPECT_TRUE(NKCheckCancel());
    NKBeginCancelMode(nullptr);  // an inner operation
    EXPECT_TRUE(NKCheckCancel());
}

TEST_F(ProgressTest, QuitRequestAnswersTrueAndStays)
{
    NKBeginProgressBar(10, nullptr);
    EXPECT_FALSE(NKCheckCancel());
    m_pUI->RequestQuit(0);
    EXPECT_TRUE(NKCheckCancel());
    EXPECT_FALSE(NKGetProgressState().bCancelPressed);
    EXPECT_TRUE(m_pUI->IsQuitRequested());  // left for the main loop
    EXPECT_TRUE(NKCheckCancel());
}

TEST_F(ProgressTest, WithoutStatusbarStateIsKept)
{
    m_pUI->SetStatusbarPresent(false);
    EXPECT_FALSE(NKBeginProgress(10, "Hidden", true, true));  // no bar to switch
    EXPECT_TRUE(NKGetProgressState().bRunning);
    EXPECT_EQ(m_pUI->GetStatusText(), "");
    m_pUI->RequestCancel();
    EXPECT_TRUE(NKCheckCancel());
    EXPECT_TRUE(NKEndProgress("x", true, true));
    EXPECT_FALSE(NKGetProgressState().bRunning);
}

// An installed user interface replaces the headless one.
class CountingUI : public NKHeadlessProgressUI {
public:
    bool SetStatusbarMode(unsigned int uFlags) override
    {
        m_iModeCalls++;
        m_uLastFlags = uFlags;
        return NKHeadlessProgressUI::SetStatusbarMode(uFlags);
    }
    int m_iModeCalls = 0;
    unsigned int m_uLastFlags = 0;
};

TEST_F(ProgressTest, InstalledInterfaceGetsTheModeFlags)
{
    CountingUI ui;
    NKSetProgressUI(&ui);
    EXPECT_EQ(NKGetProgressUI(), &ui);
    NKBeginProgress(3, nullptr, true, true);
    EXPECT_EQ(ui.m_uLastFlags, NK_STATUSBAR_PROGRESS | NK_STATUSBAR_CANCEL);
    NKEndProgress(nullptr, true, true);
    EXPECT_EQ(ui.m_uLastFlags, NK_STATUSBAR_NORMAL);
    EXPECT_EQ(ui.m_iModeCalls, 2);
    NKSetProgressUI(nullptr);
    EXPECT_EQ(NKGetProgressUI(), NKGetHeadlessProgressUI());
}

}  // namespace
