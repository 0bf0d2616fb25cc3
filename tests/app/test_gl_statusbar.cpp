// tests/app/test_gl_statusbar.cpp -- the status bar of the program's main
// window: part edges in both modes, the children's places, the event pump
// of the progress operations, the frame-rate texts and the indicator's
// colour, and the bar's life. Needs an X display.
#include <QCloseEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QProgressBar>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include <cmath>
#include <string>
#include <vector>

#include "app/nk_statusbar.h"
#include "app/nk_view_window.h"
#include "core/nk_progress.h"
#include "platform/nk_progress_ui.h"
#include "tests/app/app_window_fixture.h"
#include "tests/test_support/test_wait.h"

namespace {

class StatusbarTest : public ShellWindowTest {
protected:
    void SetUp() override
    {
        ShellWindowTest::SetUp();
        NKResetProgressState();
        QWidget *pMain = NKGetMainWindow();
        pMain->resize(600, pMain->height());
        NK_WAIT_EQ(NKGetStatusbarWindow()->width(), 600);
    }
    void TearDown() override
    {
        NKResetProgressState();
        NKGetProgressUI()->ClearCancelRequest();
        NKGetProgressUI()->ClearQuitRequest();
        ShellWindowTest::TearDown();
    }
    static std::vector<int> Edges()
    {
        int aiEdges[NK_STATUSBAR_MAX_PARTS] = {};
        int n = NKGetStatusbarEdges(aiEdges);
        return std::vector<int>(aiEdges, aiEdges + n);
    }
    // Posts a click of the Cancel button, as the window system would.
    static void PostCancelClick()
    {
        QWidget *pCancel = NKGetStatusbarCancelButton();
        QPointF centre(pCancel->width() / 2.0, pCancel->height() / 2.0);
        QPointF global = pCancel->mapToGlobal(centre);
        for (QEvent::Type eType : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QCoreApplication::postEvent(
                pCancel,
                new QMouseEvent(eType, centre, global, Qt::LeftButton,
                                eType == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                Qt::NoModifier));
    }
};

// Counts the key presses that reach an object.
class KeyCounter : public QObject {
public:
    int m_iKeys = 0;

protected:
    bool eventFilter(QObject *, QEvent *pEvent) override
    {
        if (pEvent->type() == QEvent::KeyPress) m_iKeys++;
        return false;
    }
};

TEST_F(StatusbarTest, PartsOfARestoredWindowAndTheProgressMode)
{
    EXPECT_EQ(Edges(), (std::vector<int>{315, 370, 440, 550, 580}));
    EXPECT_EQ(NKGetProgressUI()->HasStatusbar(), true);
    EXPECT_NE(NKGetProgressUI(), NKGetHeadlessProgressUI());

    EXPECT_TRUE(NKBeginProgress(100, "x", true, true));
    EXPECT_EQ(Edges(), (std::vector<int>{435, 580}));
    QWidget *pCancel = NKGetStatusbarCancelButton();
    QWidget *pBar = NKGetStatusbarProgressBar();
    ASSERT_NE(pCancel, nullptr);
    ASSERT_NE(pBar, nullptr);
    EXPECT_EQ(pCancel->x(), 440);
    EXPECT_EQ(pBar->x(), 495);
    EXPECT_EQ(pCancel->size(), QSize(50, 15));
    EXPECT_EQ(pBar->size(), QSize(80, 12));
    EXPECT_TRUE(pCancel->isVisible());
    EXPECT_EQ(NKGetStatusbarText(0), "x");
    EXPECT_FALSE(NKSetStatusbarText("rate", 1));  // only the status line now

    EXPECT_TRUE(NKEndProgress("Done.", true, true));
    EXPECT_EQ(Edges().size(), 5u);
    EXPECT_EQ(NKGetStatusbarCancelButton(), nullptr);
    EXPECT_EQ(NKGetStatusbarProgressBar(), nullptr);
    EXPECT_EQ(NKGetStatusbarText(0), "Done.");
}

// Progress after progress, with no event loop to delete what waits for it
// (as while a command file given on the command line runs): the bar and
// the button are the same two widgets, and no geometry animation of the
// window's layout piles up.
TEST_F(StatusbarTest, ProgressAfterProgressLeavesNothingBehind)
{
    QWidget *pMain = NKGetMainWindow();
    auto count = [pMain]() {
        return std::vector<qsizetype>{pMain->findChildren<QProgressBar *>().size(),
                                      pMain->findChildren<QPushButton *>().size(),
                                      pMain->findChildren<QPropertyAnimation *>().size()};
    };
    ASSERT_TRUE(NKBeginProgress(100, "x", true, true));
    NKEndProgress("Done.", true, true);
    const std::vector<qsizetype> first = count();
    for (int i = 0; i < 20; i++) {
        ASSERT_TRUE(NKBeginProgress(100, "x", true, true));
        EXPECT_TRUE(NKGetStatusbarProgressBar()->isVisible());
        NKEndProgress("Done.", true, true);
    }
    EXPECT_EQ(count(), first);
}

TEST_F(StatusbarTest, PumpDeliversCancelDropsOtherInputAndTurnsCloseIntoQuit)
{
    ASSERT_TRUE(NKBeginProgress(100, "x", true, true));
    EXPECT_TRUE(NKTestWaitFor([&] { return NKGetStatusbarCancelButton()->isVisible(); },
                              "NKGetStatusbarCancelButton()->isVisible()"));
    KeyCounter keys;
    NKGetViewWindow()->installEventFilter(&keys);
    PostCancelClick();
    QCoreApplication::postEvent(NKGetViewWindow(),
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
    EXPECT_TRUE(NKCheckCancel());
    EXPECT_EQ(keys.m_iKeys, 0);  // no key reaches the view
    EXPECT_FALSE(NKGetProgressUI()->IsQuitRequested());
    NKEndProgress(nullptr, true, true);

    // Clicks from the window system reach the main window's window first:
    // the one at the Cancel button goes through, one on the view does not.
    ASSERT_TRUE(NKBeginProgress(100, "x", true, true));
    QWidget *pMain = NKGetMainWindow();
    QWidget *pCancel = NKGetStatusbarCancelButton();
    EXPECT_TRUE(NKTestWaitFor([&] { return pCancel->isVisible(); }, "pCancel->isVisible()"));
    QPoint cancelInMain = pCancel->mapTo(pMain, pCancel->rect().center());
    int iViewClicks = 0;
    QMetaObject::invokeMethod(
        pMain,
        [&]() {
            QTest::mouseClick(NKGetViewWindow(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
            iViewClicks = NKGetProgressUI()->IsCancelRequested() ? 1 : 0;
            QTest::mouseClick(pMain->windowHandle(), Qt::LeftButton, Qt::NoModifier, cancelInMain);
        },
        Qt::QueuedConnection);
    EXPECT_TRUE(NKCheckCancel());
    EXPECT_EQ(iViewClicks, 0);
    NKEndProgress(nullptr, true, true);

    ASSERT_TRUE(NKBeginProgress(100, "y", true, true));
    EXPECT_FALSE(NKCheckCancel());  // a new operation starts uncancelled
    QCoreApplication::postEvent(NKGetMainWindow(), new QCloseEvent);
    EXPECT_TRUE(NKCheckCancel());
    EXPECT_TRUE(NKGetMainWindow()->isVisible());
    EXPECT_TRUE(NKGetProgressUI()->IsQuitRequested());
    EXPECT_EQ(NKGetProgressUI()->GetQuitExitCode(), 0);
    NKGetViewWindow()->removeEventFilter(&keys);
}

TEST_F(StatusbarTest, CancelClickOutsideThePumpRequestsTheCancel)
{
    ASSERT_TRUE(NKBeginCancelMode("Working..."));
    QWidget *pCancel = NKGetStatusbarCancelButton();
    EXPECT_TRUE(NKTestWaitFor([&] { return pCancel->isVisible(); }, "pCancel->isVisible()"));
    QTest::mouseClick(pCancel, Qt::LeftButton);
    EXPECT_TRUE(NKGetProgressUI()->IsCancelRequested());
    EXPECT_TRUE(NKCheckCancel());
}

// Whether a pixel of the grabbed part is red; the text is antialiased, so
// its pixels are red blended with the bar's grey.
bool PartShowsRed(int iPart)
{
    int aiRect[4];
    if (!NKGetStatusbarPartRect(iPart, aiRect)) return false;
    QWidget *pBar = NKGetStatusbarWindow();
    pBar->repaint();
    QPoint origin = pBar->mapToGlobal(QPoint(aiRect[0], aiRect[1]));
    QImage image =
        QGuiApplication::primaryScreen()
            ->grabWindow(0, origin.x(), origin.y(), aiRect[2] - aiRect[0], aiRect[3] - aiRect[1])
            .toImage();
    for (int y = 0; y < image.height(); y++)
        for (int x = 0; x < image.width(); x++)
            if (qRed(image.pixel(x, y)) >= 200 && qGreen(image.pixel(x, y)) <= 100 &&
                qBlue(image.pixel(x, y)) <= 100)
                return true;
    return false;
}

TEST_F(StatusbarTest, FrameRateTextsAndTheIndicatorColour)
{
    EXPECT_TRUE(NKShowFrameRate(5.0f, 40, 33, 1, false));
    EXPECT_EQ(NKGetStatusbarText(1), " 5.0fps");
    EXPECT_EQ(NKGetStatusbarText(2), "Max: 30fps");
    EXPECT_EQ(NKGetStatusbarText(3), "DT: 40ms (25.0fps)");
    EXPECT_EQ(NKGetStatusbarIndicator(), NK_INDICATOR_ACTIVE);
    EXPECT_TRUE(PartShowsRed(4));

    const struct {
        float fFps;
        uint32_t uFrameMs, uIntervalMs;
        int iActive;
        bool bHighlight;
        const char *pszRate, *pszMax, *pszTime;
        int iIndicator;
    } kCases[] = {
        {5.0f, 0, 0, 0, false, " 5.0fps", "", "DT: <1ms", NK_INDICATOR_OFF},
        {2000.0f, 3, 40, 1, true, ">1000fps", "Max: 25fps", "DT: 3ms (333.3fps)",
         NK_INDICATOR_HIGH},
        {NAN, 1, 7, 0, false, " nanfps", "Max: 143fps", "DT: 1ms (1000.0fps)", NK_INDICATOR_OFF},
    };
    for (const auto &c : kCases) {
        EXPECT_TRUE(NKShowFrameRate(c.fFps, c.uFrameMs, c.uIntervalMs, c.iActive, c.bHighlight));
        EXPECT_EQ(NKGetStatusbarText(1), c.pszRate);
        EXPECT_EQ(NKGetStatusbarText(2), c.pszMax);
        EXPECT_EQ(NKGetStatusbarText(3), c.pszTime);
        EXPECT_EQ(NKGetStatusbarIndicator(), c.iIndicator);
    }
    EXPECT_FALSE(PartShowsRed(4));
}

TEST_F(StatusbarTest, BarComesAndGoesWithItsProgressInterface)
{
    EXPECT_TRUE(NKSetStatusbarPickText("Node 12", "x = 1.5"));
    NKStatusbarDrawItem item;
    item.iControlId = 901;
    EXPECT_FALSE(NKDrawStatusbarItem(&item));  // not the status bar
    EXPECT_FALSE(NKShowMenuHelp(40005, NK_MF_SYSMENU));
    EXPECT_TRUE(NKShowMenuHelp(40005, NK_MF_SYSMENU | NK_MF_POPUP));
    EXPECT_EQ(NKGetStatusbarText(0), "Display Model As Polygon Surfaces");

    EXPECT_TRUE(NKDestroyStatusbar());
    EXPECT_EQ(g_bStatusbarShown, 0);
    EXPECT_EQ(NKGetProgressUI(), NKGetHeadlessProgressUI());
    EXPECT_FALSE(NKSetStatusbarText("gone", 0));
    EXPECT_FALSE(NKDestroyStatusbar());
    EXPECT_FALSE(NKSetStatusbarMode(NK_STATUSBAR_NORMAL));
    EXPECT_TRUE(NKCreateStatusbar());
    EXPECT_TRUE(NKCreateStatusbar());  // exists: true at once
    EXPECT_EQ(g_bStatusbarShown, 1);
    EXPECT_NE(NKGetProgressUI(), NKGetHeadlessProgressUI());
    NK_WAIT_EQ(Edges(), (std::vector<int>{315, 370, 440, 550, 580}));
}

}  // namespace

// The view's record (NKViewWindowSize) follows a bar shown or hidden by a
// command at once, before any event runs: the next line of a command file
// (a picture of the view, say) sees the view's size as the window lays it
// out.
TEST_F(StatusbarTest, TheViewsRecordFollowsABarAtItsCommand)
{
    NKRegisterSystemCommands();
    const auto settled = [] {
        const QWindow *pView = NKGetViewWindow();
        return NKTestWaitFor(
            [pView] {
                return pView->width() == NKViewWindowSize.iWidth &&
                       pView->height() == NKViewWindowSize.iHeight;
            },
            "the view's record to follow the view");
    };
    for (const char *pszLine :
         {"nostatusbar", "statusbar", "notoolbar", "toolbar", "nomenu", "menu"}) {
        SCOPED_TRACE(pszLine);
        ASSERT_TRUE(settled());
        const int iBefore = NKViewWindowSize.iHeight;
        ASSERT_EQ(ExecuteCommand(pszLine), 0);
        const int iAtTheLine = NKViewWindowSize.iHeight;
        ASSERT_TRUE(settled());
        EXPECT_NE(iAtTheLine, iBefore);
        EXPECT_EQ(iAtTheLine, NKViewWindowSize.iHeight);
    }
}
