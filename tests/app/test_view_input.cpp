// tests/app/test_view_input.cpp -- the view's input without a window: the
// button and key codes, the study mouse motions, the walk step of the idle
// loop and the navigation commands of the system handler.
#include <gtest/gtest.h>

#include <Qt>

#include <string>

#include "app/nk_animation_timer.h"
#include "app/nk_idle.h"
#include "app/nk_shell_services.h"
#include "app/nk_study_mouse.h"
#include "app/nk_system_commands.h"
#include "app/nk_view_input.h"
#include "commands/nk_command.h"
#include "core/nk_math.h"
#include "core/nk_model_hooks.h"
#include "core/nk_shell_hooks.h"
#include "core/nk_view_state.h"
#include "platform/nk_clock.h"
#include "render/nk_camera.h"
#include "render/nk_navigation.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/test_support/message_capture.h"

namespace {

class ViewInput : public NKModelTest {
protected:
    void SetUp() override
    {
        NKModelTest::SetUp();
        MakeFrames(1, 1);  // a model with a geometry for the commands
        m_SavedShell = NKGetShellHooks();
        m_SavedModel = NKGetModelHooks();
        NKInstallShellHooks();
        NKResetAnimationTimer();
        NKRegisterSystemCommands();
        NKInitNavigation(g_ViewMatrix, &g_InputState);
        m_SavedSize = NKViewWindowSize;
        NKViewWindowSize.iWidth = 800;
        NKViewWindowSize.iHeight = 600;
    }
    void TearDown() override
    {
        NKStudyMouse(0, 0, 0);
        NKInitNavigation(g_ViewMatrix, &g_InputState);
        g_fKeyRotateStep = g_fKeyTranslateStep = 0.02f;
        NKResetAnimationTimer();
        NKViewWindowSize = m_SavedSize;
        NKSetShellHooks(m_SavedShell);
        NKSetModelHooks(m_SavedModel);
        NKModelTest::TearDown();
    }
    NKShellHooks m_SavedShell;
    NKModelHooks m_SavedModel;
    NKViewSize m_SavedSize;
    MessageCapture m_Capture;
};

TEST_F(ViewInput, ButtonsAndKeysMapOntoTheInputCodes)
{
    const struct {
        unsigned uQt;
        uint32_t uCode;
    } buttons[] = {{0, 0},
                   {Qt::LeftButton, 1},
                   {Qt::RightButton, 3},
                   {Qt::MiddleButton, 2},
                   {Qt::LeftButton | Qt::RightButton, 2},
                   {Qt::RightButton | Qt::MiddleButton, 2}};
    for (const auto &c : buttons) EXPECT_EQ(NKButtonCode(c.uQt), c.uCode) << c.uQt;
    const struct {
        int iKey;
        uint32_t uBit;
    } keys[] = {
        {Qt::Key_Up, NK_KEY_UP},       {Qt::Key_Down, NK_KEY_DOWN}, {Qt::Key_Left, NK_KEY_LEFT},
        {Qt::Key_Right, NK_KEY_RIGHT}, {Qt::Key_A, NK_KEY_A},       {Qt::Key_Z, NK_KEY_Z},
        {Qt::Key_X, NK_KEY_X},         {Qt::Key_C, NK_KEY_C},       {Qt::Key_B, 0},
        {Qt::Key_Control, 0}};
    for (const auto &c : keys) EXPECT_EQ(NKNavigationKeyBit(c.iKey), c.uBit) << c.iKey;
}

// Each drag: press at the start, move to the end (both y downwards), the
// view matrix elements expected afterwards.
TEST_F(ViewInput, StudyDragsPanZoomAndEndOnRelease)
{
    const struct {
        uint32_t uButtons;
        int x1, y1, x2, y2;
        int iElement;
        float fValue;
    } cases[] = {
        {1, 0, 300, 800, 300, 12, 1.0f},  // full width right: pan 1.0 in x
        {1, 400, 600, 400, 0, 13, 1.0f},  // full height up: pan 1.0 in y
        {2, 400, 600, 400, 0, 14, 1.0f},  // up by the height: zoom 1.0
        {2, 0, 300, 400, 300, 14, 0.5f},  // half the width right: zoom 0.5
        {1, 200, 200, 200, 200, 12, 0.0f},
    };
    for (const auto &c : cases) {
        NKMatrixIdentity(g_ViewMatrix);
        NKStudyMouse(c.uButtons, c.x1, c.y1);
        EXPECT_TRUE(NKIsStudyMotion());
        EXPECT_FLOAT_EQ(g_ViewMatrix[c.iElement], 0.0f);  // the press moves nothing
        NKStudyMouseMove(c.x2, c.y2);
        EXPECT_NEAR(g_ViewMatrix[c.iElement], c.fValue, 1e-6f) << c.iElement;
        NKStudyMouse(0, c.x2, c.y2);
        EXPECT_FALSE(NKIsStudyMotion());
        NKStudyMouseMove(0, 0);
        EXPECT_NEAR(g_ViewMatrix[c.iElement], c.fValue, 1e-6f) << "after the release";
    }
}

TEST_F(ViewInput, StudyRightDragTurnsWithTheTrackball)
{
    float x = 0, y = 0;
    NKStudyNormalisePoint(800, 600, &x, &y);
    EXPECT_EQ(x, 1.0f);
    EXPECT_EQ(y, 1.0f);
    NKStudyMouse(3, 400, 300);
    NKStudyMouseMove(800, 300);
    EXPECT_NEAR(g_ViewMatrix[0], 0.03875f, 1e-4f);
    EXPECT_NEAR(g_ViewMatrix[5], 1.0f, 1e-6f);
}

// The idle step walks only while timer reason 5 runs with something held.
// Keys count only from the key events of a focused window, which a test
// without windows has none of (the view's own test holds 'A'); a held
// button walks.
TEST_F(ViewInput, IdleStepWalksWhileAButtonIsHeld)
{
    g_InputState.uKeys = NK_KEY_A;
    g_InputState.uButtons = 0;
    NKRunIdleStep();  // study mode: no walk
    EXPECT_EQ(g_ViewMatrix[14], 0.0f);
    NKSetNavigationMode(NK_NAVIGATION_WALK);
    g_InputState.iX = 400;
    g_InputState.iY = 100;
    NKStartWalkMotion(&g_InputState, 800, 600);
    EXPECT_TRUE(NKIsTimerReasonActive(NK_TIMER_WALK));
    NKRunIdleStep();  // a key without a focused window
    EXPECT_EQ(g_ViewMatrix[14], 0.0f);
    g_InputState.uButtons = 1;
    g_InputState.iY = 50;  // above the start point
    NKRunIdleStep();
    const float fAfterOne = g_ViewMatrix[14];
    EXPECT_NE(fAfterOne, 0.0f);
    g_InputState.uButtons = 0;
    NKRunIdleStep();  // nothing held
    EXPECT_EQ(g_ViewMatrix[14], fAfterOne);
    NKViewFocusOut();
    EXPECT_FALSE(NKIsTimerReasonActive(NK_TIMER_WALK));
    EXPECT_FALSE(NKIsWalkMotion());
}

// A held button walks one step when the hold begins and one per 20 ms
// timer period after it, whether the idle step runs every millisecond,
// every tick or behind frames slower than a tick: a 300 ms hold is 16
// steps. A stall walks at most 10 steps at once.
TEST_F(ViewInput, WalkSpeedFollowsTheClockNotTheIdleRate)
{
    const struct {
        uint32_t uEveryMs;  // idle steps this far apart
        uint32_t uHoldMs;
        int iSteps;
    } cases[] = {{1, 300, 16}, {7, 300, 16}, {20, 300, 16}, {60, 300, 16}, {1000, 1000, 11}};
    NKSetNavigationMode(NK_NAVIGATION_WALK);
    for (const auto &c : cases) {
        NKMatrixIdentity(g_ViewMatrix);
        g_InputState.uButtons = 0;
        g_InputState.iX = 400;
        g_InputState.iY = 300;
        NKStartWalkMotion(&g_InputState, 800, 600);
        g_InputState.uButtons = 1;
        g_InputState.iY = 0;  // full speed forward, no turn
        const uint32_t uStart = 5000;
        for (uint32_t t = 0; t < c.uHoldMs; t += c.uEveryMs) {
            NKSetTestClock(true, uStart + t);
            NKRunIdleStep();
        }
        NKSetTestClock(true, uStart + c.uHoldMs);
        NKRunIdleStep();
        g_InputState.uButtons = 0;
        NKRunIdleStep();
        NKStopWalkMotion();
        // Forward full speed is 0.05 a step at sensitivity 1.
        EXPECT_NEAR(g_ViewMatrix[14], 0.05f * c.iSteps, 1e-4f) << "every " << c.uEveryMs << " ms";
    }
    NKSetTestClock(false, 0);
}

TEST_F(ViewInput, NavigationCommandsSetModeSensitivityAndKeySteps)
{
    const struct {
        const char *pszLine;
        int iResult;
        const char *pszMessage;
    } cases[] = {
        {"walk", 0, "Enable walk navigation mode."},
        {"study", 0, "Enable study navigation mode"},
        {"sensitivity 2.5", 0, "Mouse sensitivity factor set to: 2.5 (default 1.0)."},
        {"sensitivity -2", 1,
         "Illegal mouse sensitivity factor -2.000000 (legal values > 0; def. 1.0)"},
        {"sensitivity", 0, "Mouse sensitivity factor set to: 2.5 (default 1.0)."},
        {"keyrotate -0.5", 0, "Keyboard rotation factor set to 0.5."},
        {"keytranslate 0.1", 0, "Keyboard translation factor set to 0.1."},
        {"keytranslate", 1, "keytranslate"},
    };
    for (const auto &c : cases) {
        m_Capture.Clear();
        EXPECT_EQ(ExecuteCommand(c.pszLine), c.iResult) << c.pszLine;
        EXPECT_TRUE(m_Capture.Contains(c.pszMessage)) << c.pszLine << "\n" << m_Capture.Text();
    }
    EXPECT_EQ(NKGetNavigationMode(), NK_NAVIGATION_STUDY);
    EXPECT_EQ(g_InputState.fSensitivity, 2.5f);
    EXPECT_EQ(g_fKeyRotateStep, 0.5f);
    EXPECT_EQ(g_fKeyTranslateStep, 0.1f);
    ASSERT_EQ(ExecuteCommand("walk"), 0);
    EXPECT_EQ(NKGetNavigationMode(), NK_NAVIGATION_WALK);
}

}  // namespace
