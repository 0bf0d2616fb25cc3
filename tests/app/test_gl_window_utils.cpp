// tests/app/test_gl_window_utils.cpp -- the splash window, placing windows
// beside others, the modal count over the main window and a running
// animation, and the view's tooltip. Needs an X display.
#include <QPointer>
#include <QToolTip>
#include <QWindow>

#include <string>

#include "app/nk_animation_timer.h"
#include "app/nk_splash.h"
#include "app/nk_view_window.h"
#include "app/nk_window_utils.h"
#include "core/nk_diagnostic.h"
#include "core/nk_model.h"
#include "platform/nk_window_timer.h"
#include "tests/app/app_window_fixture.h"
#include "tests/test_support/test_wait.h"

namespace {

class WindowUtilsTest : public ShellWindowTest {};

class SplashTest : public ShellWindowTest {
protected:
    void SetUp() override
    {
        m_bMakeWindow = false;
        ShellWindowTest::SetUp();
    }
};

TEST_F(SplashTest, SplashIsCentredAndAClickClosesItAtOnce)
{
    QPointer<QWidget> pSplash = ShowSplashWindow();
    ASSERT_NE(pSplash, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(pSplash, NKTestWaitLimitMs()));
    EXPECT_EQ(pSplash->geometry(), QRect(1280 / 2 - 210, 1024 / 2 - 120, 420, 240));
    EXPECT_EQ(NKGetWindowTimerPeriod(NK_SPLASH_TIMER_ID), NK_SPLASH_TIMEOUT_MS);
    QTest::mouseClick(pSplash, Qt::LeftButton);
    EXPECT_EQ(NKGetSplashWindow(), nullptr);
    EXPECT_FALSE(pSplash->isVisible());
    EXPECT_FALSE(NKIsWindowTimerRunning(NK_SPLASH_TIMER_ID));
    NKTestFlushDeletes();
    EXPECT_EQ(pSplash, nullptr);
    NKDestroySplashWindow();  // none left: nothing happens
}

TEST_F(WindowUtilsTest, PlacedWindowsStayInsideTheWorkArea)
{
    QWidget reference, window;
    reference.setGeometry(1000, 100, 200, 300);
    window.resize(300, 200);
    ASSERT_TRUE(NKPlaceWindow(&window, NK_PLACE_RIGHT_TOP, &reference, 0, 0));
    EXPECT_EQ(window.geometry(), QRect(980, 100, 300, 200));
    ASSERT_TRUE(NKPlaceWindow(&window, NK_PLACE_CENTRE, &reference, 200, 300));
    EXPECT_EQ(window.geometry(), QRect(950, 150, 300, 200));
    ASSERT_TRUE(NKPlaceWindow(&window, NK_PLACE_BELOW_LEFT, &reference, 100, 150));
    EXPECT_EQ(window.geometry(), QRect(1000, 400, 150, 100));
    // Without a reference the main window is the reference.
    QRect main = NKGetMainWindow()->frameGeometry();
    ASSERT_TRUE(NKPlaceWindow(&window, NK_PLACE_BELOW_LEFT, nullptr, 100, 150));
    EXPECT_EQ(window.pos(), QPoint(main.x(), main.y() + main.height()));
    EXPECT_FALSE(NKPlaceWindow(nullptr, NK_PLACE_CENTRE, &reference, 1, 1));
}

TEST_F(WindowUtilsTest, NestedModalWindowsDisableTheMainWindowAndPauseTheAnimation)
{
    g_pModel = NKCreateModel();
    g_pModel->iNumFrames = 5;
    ASSERT_TRUE(NKRunAnimation(0, 0));
    QWidget *pMain = NKGetMainWindow();
    NKEnableAllTopWindows(false);
    NKEnableAllTopWindows(false);
    NKEnableAllTopWindows(true);
    EXPECT_FALSE(pMain->isEnabled());
    EXPECT_TRUE(NKIsAnimationSuspended());
    EXPECT_EQ(g_pModel->animationType, 0);
    NKEnableAllTopWindows(true);
    EXPECT_TRUE(pMain->isEnabled());
    EXPECT_FALSE(NKIsAnimationSuspended());
    EXPECT_EQ(g_pModel->animationType, 1);
    EXPECT_TRUE(NKIsTimerActive());

    NKResetDiagnostics();
    NKEnableAllTopWindows(true);  // one enable too many
    EXPECT_STREQ(NKGetLastDiagnostic(), "Illegal reference count !");
    EXPECT_STREQ(NKGetLastDiagnosticFunction(), "NKEnableAllTopWindows");
    EXPECT_TRUE(pMain->isEnabled());
    NKEnableAllTopWindows(false);  // back to 0
    EXPECT_TRUE(pMain->isEnabled());
    NKResetAnimationTimer();
    NKDestroyModel(g_pModel);
    g_pModel = nullptr;
}

std::string PartUnderMouse(void *pUser, int iX, int iY)
{
    *static_cast<int *>(pUser) += 1;
    return iX < 100 ? "Hull (" + std::to_string(iX) + ", " + std::to_string(iY) + ")" : "";
}

TEST_F(WindowUtilsTest, ToolTipAsksItsTextWhenTheMouseRests)
{
    int iAsked = 0;
    EXPECT_EQ(NKCreateToolTip(nullptr, PartUnderMouse, &iAsked), nullptr);
    NKToolTip *pToolTip = NKCreateToolTip(NKGetViewWindow(), PartUnderMouse, &iAsked);
    ASSERT_NE(pToolTip, nullptr);
    NKRelayToolTipEvent(pToolTip, 5, 5);
    NKRelayToolTipEvent(pToolTip, 10, 20);  // only the last position counts
    EXPECT_TRUE(NKTestWaitFor([&] { return QToolTip::isVisible(); }, "QToolTip::isVisible()"));
    EXPECT_EQ(iAsked, 1);
    EXPECT_EQ(QToolTip::text().toStdString(), "Hull (10, 20)");
    NKPopToolTip(pToolTip);
    EXPECT_TRUE(NKTestWaitFor([&] { return !QToolTip::isVisible(); }, "!QToolTip::isVisible()"));
    NKRelayToolTipEvent(pToolTip, 150, 20);  // no text: nothing shown
    NK_WAIT_EQ(iAsked, 2);
    EXPECT_FALSE(QToolTip::isVisible());
    NKDestroyToolTip(pToolTip);
}

}  // namespace
