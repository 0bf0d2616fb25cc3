// tests/app/test_gl_main_window.cpp -- the program's main window driven as
// a user drives it: its menus and tool bar without and with a model, files
// dropped on it, recent files and help texts, mouse motion in the view,
// full screen, the view's keys and timer, its placement, and the About box.
// Every command line is recorded by a handler put first in the chain, which
// passes it on so that the real handlers run. Needs an X display.
#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QWindow>

#include <algorithm>
#include <cfloat>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "app/nk_about.h"
#include "app/nk_animation_timer.h"
#include "app/nk_menu_state.h"
#include "app/nk_menus.h"
#include "app/nk_pixel_format.h"
#include "app/nk_statusbar.h"
#include "app/nk_study_mouse.h"
#include "app/nk_system_commands.h"
#include "app/nk_toolbar.h"
#include "app/nk_view_input.h"
#include "app/nk_view_window.h"
#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "commands/nk_recent_files.h"
#include "core/nk_diagnostic.h"
#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_load_hooks.h"
#include "core/nk_model.h"
#include "core/nk_movie_settings.h"
#include "core/nk_progress.h"
#include "core/nk_view_state.h"
#include "nkf/nkf_import.h"
#include "platform/nk_platform.h"
#include "readers/nk_data_source.h"
#include "render/nk_camera.h"
#include "render/nk_navigation.h"
#include "render/nk_view_settings.h"
#include "scene/nk_renderer.h"
#include "tests/app/app_window_fixture.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"
#include "tests/test_support/test_wait.h"

namespace {

std::vector<std::string> sg_Lines;
NKCommandHandler sg_pfnFiles = nullptr;

// Records the line and lets the file handler that belongs first answer.
int RecordingHandler(CommandTableEntry *pEntry, const char *pszArguments)
{
    std::string line = pEntry->name;
    std::string args = pszArguments != nullptr ? pszArguments : "";
    if (args.rfind("PARAMS", 0) == 0) args.erase(0, 6);
    if (!args.empty() && args[0] == ' ') args.erase(0, 1);
    if (!args.empty()) line += " " + args;
    sg_Lines.push_back(line);
    return sg_pfnFiles != nullptr ? sg_pfnFiles(pEntry, pszArguments) : 3;
}

std::vector<std::string> PopupTitles(void)
{
    std::vector<std::string> titles;
    for (QAction *pAction : NKGetMainWindow()->menuBar()->actions())
        titles.push_back(pAction->text().toStdString());
    return titles;
}

// The program's start-up around the shell's window, no model loaded.
class MainWindowTest : public ProgramWindowTest {
protected:
    void SetUp() override
    {
        ProgramWindowTest::SetUp();
        sg_pfnFiles = NKSetCommandHandler(0, RecordingHandler);
        UpdateMenuChecks();
        sg_Lines.clear();
    }
    void TearDown() override
    {
        NKSetCommandHandler(0, sg_pfnFiles);
        for (int i = 0; i < NK_NUM_RECENT_FILES; i++) NKSetRecentFile(i, "");
        ProgramWindowTest::TearDown();
        g_WindowPlacement = NKWindowPlacement();
        g_bStatusbarShown = g_bToolbarShown = g_bMenuBarShown = 1;
    }
    void DropFiles(const std::vector<std::string> &files) { NKTestDropFiles(files); }
    void LoadBeam(void)
    {
        DropFiles({NKTestExamplePath("beam.nkf")});
        ASSERT_TRUE(NKModelHasGeometry());
        sg_Lines.clear();
    }
};

TEST_F(MainWindowTest, WithoutAModelOnlyTheStartupMenuOpenAndAboutWork)
{
    EXPECT_EQ(PopupTitles(), (std::vector<std::string>{"&File", "&Window", "&Help"}));
    EXPECT_EQ(NKMainWindowCommand(NK_MENU_SURFACE), 1);
    EXPECT_TRUE(sg_Lines.empty());
    for (QAction *pAction : NKGetToolbarWindow()->actions()) {
        if (pAction->isSeparator()) continue;
        const int iId = pAction->data().toInt();
        EXPECT_EQ(pAction->isEnabled(), iId == 40256 || iId == 40327) << iId;
        EXPECT_FALSE(pAction->isChecked()) << iId;
    }
}

TEST_F(MainWindowTest, ADroppedModelSwapsTheMenusAndItemsRunTheirLines)
{
    const std::string beam = NKTestExamplePath("beam.nkf");
    DropFiles({beam, NKTestExamplePath("plate.nkf")});
    ASSERT_FALSE(sg_Lines.empty());
    // The type-detecting open, which hands the NKF file to "opennkffile".
    ASSERT_GE(sg_Lines.size(), 2u);
    EXPECT_EQ(sg_Lines[0], "open \"" + beam + "\"");
    EXPECT_EQ(sg_Lines[1], "opennkffile \"" + beam + "\"");
    for (const std::string &line : sg_Lines) EXPECT_EQ(line.find("plate"), std::string::npos);
    EXPECT_EQ(PopupTitles(), (std::vector<std::string>{"&File", "&Model", "&View", "&Animation",
                                                       "&Window", "&Help"}));
    for (QAction *pAction : NKGetToolbarWindow()->actions()) {
        if (pAction->isSeparator()) continue;
        EXPECT_TRUE(pAction->isEnabled()) << pAction->data().toInt();
    }

    ASSERT_TRUE(NKSetFrameCount(3, true));
    const struct {
        int iId;
        const char *pszLine;
    } items[] = {{NK_MENU_SURFACE, "surface 0 0"},
                 {NK_MENU_PLAY, "anim_run 0 0"},
                 {NK_MENU_PLAYBACKWARD, "anim_run 0 -1"},
                 {NK_MENU_STEPBACKWARD, "anim_run -1 0"},
                 {NK_MENU_STOP, "noanim"},
                 {NK_MENU_STATUSBAR, "nostatusbar"}};
    for (const auto &item : items) {
        sg_Lines.clear();
        EXPECT_EQ(NKMainWindowCommand(item.iId), 0) << item.iId;
        ASSERT_FALSE(sg_Lines.empty()) << item.iId;
        EXPECT_EQ(sg_Lines[0], item.pszLine);
    }

    g_pModel->animationType = 1;
    UpdateMenuChecks();
    QAction *pPlay = NKGetToolbarAction(40325);
    ASSERT_NE(pPlay, nullptr);
    EXPECT_TRUE(pPlay->isChecked());
    pPlay->trigger();
    EXPECT_TRUE(pPlay->isChecked());
}

// Reset view returns to the viewpoint the open NKF file stored, and
// focuses on the model when the file stored none.
TEST_F(MainWindowTest, ResetViewGoesToTheFilesViewpoint)
{
    LoadBeam();
    float *pfHome = NKFGetFileViewpoint();
    pfHome[0] = FLT_MAX;
    EXPECT_EQ(NKMainWindowCommand(NK_MENU_RESETVIEW), 0);
    ASSERT_FALSE(sg_Lines.empty());
    EXPECT_EQ(sg_Lines[0], "autofocus");
    const float afView[9] = {1, 2, 3, 4, 5, 6, 0, 0, 1};
    std::copy(afView, afView + 9, pfHome);
    sg_Lines.clear();
    EXPECT_EQ(NKMainWindowCommand(NK_MENU_RESETVIEW), 0);
    ASSERT_FALSE(sg_Lines.empty());
    EXPECT_EQ(sg_Lines[0], "lookat 1 2 3 4 5 6 0 0 1");
    pfHome[0] = FLT_MAX;
}

TEST_F(MainWindowTest, RecentFilesAreNumberedByTheirPlaceAndItemsShowHelp)
{
    LoadBeam();
    for (int i = 0; i < NK_NUM_RECENT_FILES; i++) NKSetRecentFile(i, "");
    const std::string cwd = QDir::currentPath().toStdString();
    NKSetRecentFile(0, (cwd + "/a.nkf").c_str());
    NKSetRecentFile(2, "/x/b.nkf");
    InitMenuPopup();
    std::vector<std::pair<int, std::string>> items;
    QMenu *pFile = NKGetMainWindow()->menuBar()->actions().first()->menu();
    for (QAction *pAction : pFile->actions())
        items.emplace_back(pAction->data().toInt(), pAction->text().toStdString());
    ASSERT_GE(items.size(), 4u);
    const size_t n = items.size();
    EXPECT_EQ(items[n - 4], std::make_pair(34100, std::string("&1 a.nkf")));
    EXPECT_EQ(items[n - 3], std::make_pair(34102, std::string("&3 /x/b.nkf")));
    EXPECT_EQ(items[n - 2].first, 34104);
    EXPECT_EQ(items[n - 1].second, "E&xit");

    NKResetDiagnostics();
    EXPECT_EQ(NKMainWindowCommand(34104), 1);
    EXPECT_STREQ(NKGetLastDiagnostic(), "Illegal MRU file selected");

    NKGetMenuAction(NK_MENU_SURFACE)->hover();
    EXPECT_EQ(NKGetStatusbarText(0), "Display Model As Polygon Surfaces");
    EXPECT_EQ(NKGetToolbarAction(40360)->toolTip().toStdString(), "Turn mesh on/off");
}

TEST_F(MainWindowTest, MouseMotionInTheViewMovesTheCamera)
{
    LoadBeam();
    ASSERT_TRUE(NKTestSetViewSize(800, 400));
    NKInitNavigation(g_ViewMatrix, &g_InputState);
    QTest::mousePress(m_pView, Qt::LeftButton, Qt::NoModifier, QPoint(0, 200));
    EXPECT_FLOAT_EQ(g_ViewMatrix[12], 0.0f);
    EXPECT_EQ(g_pViewSettings->bMouseDrag, 1);
    QTest::mouseMove(m_pView, QPoint(800, 200));
    EXPECT_FLOAT_EQ(g_ViewMatrix[12], 1.0f);
    QTest::mouseRelease(m_pView, Qt::LeftButton, Qt::NoModifier, QPoint(800, 200));
    EXPECT_EQ(g_pViewSettings->bMouseDrag, 0);

    NKInitNavigation(g_ViewMatrix, &g_InputState);
    QTest::mousePress(m_pView, Qt::LeftButton, Qt::NoModifier, QPoint(5, 200));
    QTest::mouseMove(m_pView, QPoint(-5, 200));
    EXPECT_FLOAT_EQ(g_ViewMatrix[12], -0.0125f);
    QTest::mouseRelease(m_pView, Qt::LeftButton, Qt::NoModifier, QPoint(-5, 200));

    NKInitNavigation(g_ViewMatrix, &g_InputState);
    QTest::mousePress(m_pView, Qt::MiddleButton, Qt::NoModifier, QPoint(10, 400));
    QTest::mouseMove(m_pView, QPoint(10, 0));
    EXPECT_FLOAT_EQ(g_ViewMatrix[14], 1.0f);
    QTest::mouseRelease(m_pView, Qt::MiddleButton, Qt::NoModifier, QPoint(10, 0));
    QTest::mouseMove(m_pView, QPoint(10, 300));
    EXPECT_FLOAT_EQ(g_ViewMatrix[14], 1.0f);

    QWheelEvent wheel(QPointF(10, 10), m_pView->mapToGlobal(QPointF(10, 10)), QPoint(),
                      QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(m_pView, &wheel);
    EXPECT_NEAR(g_ViewMatrix[14], 1.18f, 1e-5f);

    // A view without pixels measures no motion.
    NKInitNavigation(g_ViewMatrix, &g_InputState);
    const NKViewSize saved = NKViewWindowSize;
    NKViewWindowSize.iWidth = 0;
    NKStudyMouse(1, 0, 200);
    NKStudyMouseMove(800, 200);
    NKStudyMouse(0, 0, 0);
    NKViewWindowSize = saved;
    EXPECT_FLOAT_EQ(g_ViewMatrix[12], 0.0f);
}

TEST_F(MainWindowTest, F11CoversTheScreenAndBringsTheWindowBack)
{
    LoadBeam();
    const QRect before = NKGetMainWindow()->geometry();
    QTest::keyClick(NKGetMainWindow(), Qt::Key_Escape);
    EXPECT_TRUE(sg_Lines.empty());
    QTest::keyClick(NKGetMainWindow(), Qt::Key_F11);
    EXPECT_EQ(sg_Lines, (std::vector<std::string>{"nomenu", "nostatusbar", "notoolbar"}));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    NK_WAIT_EQ(NKGetMainWindow()->geometry(), screen);
    sg_Lines.clear();
    QTest::keyClick(NKGetMainWindow(), Qt::Key_F11);
    EXPECT_EQ(sg_Lines, (std::vector<std::string>{"menu", "statusbar", "toolbar"}));
    NK_WAIT_EQ(NKGetMainWindow()->geometry(), before);
}

TEST_F(MainWindowTest, TheViewsKeysAndTimer)
{
    LoadBeam();
    QTest::mouseDClick(m_pView, Qt::RightButton, Qt::NoModifier, QPoint(50, 50));
    EXPECT_NE(std::find(sg_Lines.begin(), sg_Lines.end(), "walk"), sg_Lines.end());
    EXPECT_FALSE(NKIsStudyMotion());  // the release ended the drag of the first click
    NKSetNavigationMode(NK_NAVIGATION_STUDY);

    // Ctrl over the view pauses a running animation at the timer's tick.
    ASSERT_TRUE(NKSetFrameCount(3, true));
    ASSERT_TRUE(NKRunAnimation(1, 3));
    ASSERT_EQ(g_pModel->animationType, 1);
    QCursor::setPos(m_pView->mapToGlobal(QPoint(100, 100)));
    EXPECT_TRUE(NKTestWaitFor([&] { return NKIsCursorOverView(); }, "NKIsCursorOverView()"));
    QTest::keyPress(m_pView, Qt::Key_Control);
    NKViewTimerTick(NK_VIEW_TIMER_ID);
    EXPECT_EQ(g_pModel->animationType, 0);
    QTest::keyRelease(m_pView, Qt::Key_Control);
    NKViewTimerTick(NK_VIEW_TIMER_ID);
    EXPECT_EQ(g_pModel->animationType, 1);
    ExecuteCommand("noanim");

    // 'C' in the view resumes a paused command file.
    const std::string dir = NKTestMakeTempDir("main_window_keys");
    const std::string file = dir + "/paused.qlc";
    ASSERT_TRUE(NKTestWriteText(file, "pwd\npausefile\nversion\n"));
    sg_Lines.clear();
    ExecuteCommand(("source \"" + file + "\"").c_str());
    ASSERT_TRUE(g_CommandRunner.bCommandFilePaused);
    sg_Lines.clear();
    QTest::keyClick(m_pView, Qt::Key_C);
    EXPECT_FALSE(g_CommandRunner.bCommandFilePaused);
    EXPECT_NE(std::find(sg_Lines.begin(), sg_Lines.end(), "version"), sg_Lines.end());
    NKTestRemoveDir(dir);
}

TEST_F(MainWindowTest, UnsafeNamesRunNothingAndPaintsWaitForProgress)
{
    MessageCapture capture;
    DropFiles({"/tmp/a\"b.nkf"});
    EXPECT_TRUE(sg_Lines.empty());
    EXPECT_TRUE(capture.HasLine("File name contains a double quote or a line break: /tmp/a\"b.nkf"))
        << capture.Text();

    LoadBeam();
    NKRedrawView();
    EXPECT_EQ(g_bViewInvalidated, 0);  // painted
    ASSERT_TRUE(NKBeginProgress(10, "Reading", true, false));
    NKRedrawView();
    EXPECT_EQ(g_bViewInvalidated, 1);  // the paint waits for the operation
    NKEndProgress("Done", true, false);
}

TEST_F(MainWindowTest, AboutDisablesTheMainWindowUntilOk)
{
    bool bChecked = false;
    QTimer::singleShot(100, [&bChecked]() {
        QDialog *pAbout = NKGetAboutBox();
        ASSERT_NE(pAbout, nullptr);
        EXPECT_EQ(pAbout->windowTitle().toStdString(),
                  "About Quolin Dulm for " + NKGetPlatformName());
        EXPECT_NE(pAbout->findChild<QLabel *>("version"), nullptr);
        EXPECT_EQ(pAbout->findChild<QLabel *>("version")->text().toStdString(), "Version 6.4-0");
        EXPECT_FALSE(NKGetMainWindow()->isEnabled());
        pAbout->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        bChecked = true;
    });
    NKMainWindowCommand(NK_MENU_ABOUT);
    EXPECT_TRUE(bChecked);
    EXPECT_TRUE(NKGetMainWindow()->isEnabled());
}

// The window is made at the stored placement, pulled back onto the screen.
class MainWindowPlacementTest : public ShellWindowTest {
protected:
    MainWindowPlacementTest() { m_bMakeWindow = false; }
    void TearDown() override
    {
        if (g_bFullScreenActive != 0) SetFullScreen(false);
        ShellWindowTest::TearDown();
        g_WindowPlacement = NKWindowPlacement();
        g_iPixelFormatRequest = NK_PIXELFORMAT_AUTO;
        g_bStatusbarShown = g_bToolbarShown = g_bMenuBarShown = 1;
    }
    // Runs the start-up file's lines (one a line) as the command-file
    // runner does, which lets the events that came meanwhile be handled
    // after each (it watches for Esc); false at the first that fails.
    static bool RunLines(const std::string &lines)
    {
        for (size_t start = 0; start <= lines.size();) {
            const size_t end = std::min(lines.find('\n', start), lines.size());
            if (ExecuteCommand(lines.substr(start, end - start).c_str()) != 0) return false;
            QCoreApplication::processEvents();
            start = end + 1;
        }
        return true;
    }
    static std::string RectText(const QRect &r)
    {
        return std::to_string(r.width()) + "x" + std::to_string(r.height()) + " at " +
               std::to_string(r.x()) + ", " + std::to_string(r.y());
    }
    // The window shows the normal rectangle expected with a view of that
    // size (in full screen: covers the screen), and the placement read
    // back (bRead) is that rectangle, not maximised.
    static void ExpectShownAndReadBack(const QWidget *pMain, const QRect &expected,
                                       const QSize &view, bool bRead)
    {
        if (bRead) {
            const NKWindowPlacement p = NKGetPlacementToStore();
            EXPECT_EQ(RectText(QRect(p.iX, p.iY, p.iWidth, p.iHeight)), RectText(expected));
            EXPECT_EQ(p.bMaximized, 0);
        }
        if (g_bFullScreenActive != 0) {
            NK_WAIT_EQ(RectText(pMain->frameGeometry()),
                       RectText(QGuiApplication::primaryScreen()->geometry()));
            return;
        }
        NK_WAIT_EQ(RectText(pMain->frameGeometry()), RectText(expected));
        const auto shown = [] {
            QSize size;
            NKGetViewClientSize(&size.rwidth(), &size.rheight());
            return std::make_pair(size.width(), size.height());
        };
        NK_WAIT_EQ(shown(), std::make_pair(view.width(), view.height()));
    }
};

// Without a window manager the window is its frame: its top, with the
// menu bar, comes onto the work area, and an icon's size of it stays on the
// screen at the other sides (a negative x may stand for a screen to the left).
TEST_F(MainWindowPlacementTest, AStoredPositionOffTheScreenIsPulledBack)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const int iTop = QGuiApplication::primaryScreen()->availableGeometry().top();
    const int iWidth = NKWindowPlacement().iWidth;
    const int iRight = screen.width() - 32, iBottom = screen.height() - 32;
    struct Case {
        int iX, iY, iPulledX, iPulledY;
    };
    const Case cases[] = {{5000, 0, iRight, 0},          {300, -50, 300, iTop},
                          {300, -2000, 300, iTop},       {2000, 100, iRight, 100},
                          {-900, 100, 32 - iWidth, 100}, {-100, 100, -100, 100},
                          {2000, 1500, iRight, iBottom}};
    for (const Case &c : cases) {
        SCOPED_TRACE("stored at " + std::to_string(c.iX) + ", " + std::to_string(c.iY));
        g_WindowPlacement.iX = c.iX, g_WindowPlacement.iY = c.iY;
        ASSERT_TRUE(CreateMainWindow());
        const QWidget *pMain = NKGetMainWindow();
        NK_WAIT_EQ(std::make_pair(pMain->x(), pMain->y()), std::make_pair(c.iPulledX, c.iPulledY));
        NKDestroyMainWindow();
        NKTestFlushDeletes();
    }
}

// Without a window manager the window is its frame: a stored width or
// height larger than the work area is cut to it, the window at the work
// area's edge that way, so that all of it lies there; a size that fits is
// kept, and so is the place of a window of that size. A "winposition" run
// as the start-up file runs it, at once after the window is made (the
// view's record still as the program starts with it), moves the window
// there and keeps the view's size as the layout gives it, or sets the
// size given, a place off the screen brought onto it as a stored place
// is; and that is stored, and read back before the exit. So after a
// session that closed maximised (the window becomes a normal one), and in
// full screen, where the line gives the place and size the window goes
// back to (and a session that ends in full screen stores those). Each
// line's row runs twice: waiting for the window, and with File > Exit
// right after the lines.
TEST_F(MainWindowPlacementTest, AStoredSizeLargerThanTheWorkAreaIsCutToIt)
{
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    struct Case {
        int iWidth, iHeight;
        QRect expected;
        const char *pszLine;  // the start-up file's lines, one a line
        QSize view;           // the view's size it gives; empty: kept
        uint8_t bMaximized = 0;
        // Maximised again after the lines (stored so); the view's own
        // resize event comes after the lines with the view's size before.
        uint8_t bMaximizedAfter = 0;
        bool bLateResize = false;
    };
    const Case cases[] = {
        {2000, 1400, work, nullptr, QSize()},
        {2000, 600, QRect(work.x(), 80, work.width(), 600), nullptr, QSize()},
        {810, 1400, QRect(100, work.y(), 810, work.height()), nullptr, QSize()},
        {810, 600, QRect(100, 80, 810, 600), nullptr, QSize()},
        {work.width() + 1, 600, QRect(work.x(), 80, work.width(), 600), nullptr, QSize()},
        {work.width(), work.height(), QRect(100, 80, work.width(), work.height()), nullptr,
         QSize()},
        {810, 600, QRect(120, 90, 810, 600), "winposition 120 90", QSize()},
        {810, 600, QRect(120, 90, 640, 0), "winposition 120 90 640 480", QSize(640, 480)},
        {810, 600, QRect(screen.x() + screen.width() - 32, 300, 810, 600), "winposition 2000 300",
         QSize()},
        {810, 600, QRect(120, 90, 810, 600), "winposition 120 90", QSize(), 1},
        {810, 600, QRect(120, 90, 640, 0), "winposition 120 90 640 480", QSize(640, 480), 1},
        {810, 600, QRect(200, 150, 810, 600), "fullscreen\nwinposition 200 150\nnofullscreen",
         QSize()},
        {810, 600, QRect(200, 150, 600, 0), "fullscreen\nwinposition 200 150 600 400\nnofullscreen",
         QSize(600, 400)},
        {810, 600, QRect(100, 80, 810, 600), "fullscreen", QSize()},
        {810, 600, QRect(210, 160, 810, 600), "fullscreen\nwinposition 210 160", QSize()},
        {810, 600, QRect(100, 80, 810, 600), "fullscreen\nnofullscreen", QSize(), 1, 1},
        {810, 600, QRect(100, 80, 810, 600), "fullscreen", QSize(), 1, 1},
        {810, 600, QRect(2000, 300, 810, 600), "winposition 2000 300", QSize(), 1},
        {810, 600, QRect(120, 90, 640, 0), "winposition 120 90 640 480", QSize(640, 480), 0, 0,
         true},
    };
    NKRegisterSystemCommands();
    for (const Case &c : cases) {
        for (const bool bExitAtOnce : {false, true}) {
            if (bExitAtOnce && c.pszLine == nullptr) continue;
            SCOPED_TRACE("stored " + std::to_string(c.iWidth) + "x" + std::to_string(c.iHeight) +
                         (c.bMaximized != 0 ? " maximised" : "") +
                         (c.pszLine != nullptr ? std::string(", then ") + c.pszLine : "") +
                         (bExitAtOnce ? ", File > Exit at once" : ""));
            g_WindowPlacement = {100, 80, c.iWidth, c.iHeight, c.bMaximized};
            NKViewWindowSize = NKViewSize{810, 600};
            ASSERT_TRUE(CreateMainWindow());
            const QWidget *pMain = NKGetMainWindow();
            QSize view;
            ASSERT_TRUE(NKGetViewClientSize(&view.rwidth(), &view.rheight()));
            const QSize viewBefore = view;
            QRect expected = c.expected;
            if (expected.x() > screen.x() + screen.width() - 32)  // pulled onto the screen
                expected.moveLeft(screen.x() + screen.width() - 32);
            MessageCapture capture;
            if (c.pszLine != nullptr) {
                ASSERT_TRUE(RunLines(c.pszLine));
                if (!c.view.isEmpty()) {  // the bars keep their height
                    expected.setHeight(c.iHeight + c.view.height() - view.height());
                    view = c.view;
                }
            }
            // A "winposition" with numbers prints the place as it is stored.
            if (c.pszLine != nullptr &&
                std::string(c.pszLine).find("winposition ") != std::string::npos) {
                EXPECT_TRUE(
                    capture.Contains("Setting window position to: " + std::to_string(expected.x()) +
                                     " " + std::to_string(expected.y()) + "."))
                    << capture.Text();
            }
            if (c.bLateResize) {
                QResizeEvent late(viewBefore, view);
                QCoreApplication::sendEvent(NKGetViewWindow(), &late);
                EXPECT_EQ(std::make_pair(NKViewWindowSize.iWidth, NKViewWindowSize.iHeight),
                          std::make_pair(view.width(), view.height()));
            }
            if (!bExitAtOnce && c.bMaximizedAfter != 0) {
                // Maximised again, or in full screen over the maximised
                // window: the normal rectangle read back, maximised.
                if (g_bFullScreenActive != 0) {
                    NK_WAIT_EQ(RectText(pMain->frameGeometry()),
                               RectText(QGuiApplication::primaryScreen()->geometry()));
                } else {
                    NK_WAIT_EQ(pMain->isMaximized(), true);
                }
                const NKWindowPlacement p = NKGetPlacementToStore();
                EXPECT_EQ(RectText(QRect(p.iX, p.iY, p.iWidth, p.iHeight)), RectText(expected));
                EXPECT_EQ(p.bMaximized, 1);
                NKDestroyMainWindow();
            } else if (!bExitAtOnce) {
                ExpectShownAndReadBack(pMain, expected, view, c.pszLine != nullptr);
                NKDestroyMainWindow();
            } else if (g_bFullScreenActive != 0) {  // no menu: closed as the user closes it
                NKGetMainWindow()->close();
                ASSERT_EQ(NKGetMainWindow(), nullptr);
            } else {
                NKMainWindowCommand(NK_MENU_EXIT);
                ASSERT_EQ(NKGetMainWindow(), nullptr);
            }
            NKTestFlushDeletes();
            g_bStatusbarShown = g_bToolbarShown = g_bMenuBarShown = 1;  // as a new start has them
            if (c.pszLine != nullptr) {
                const NKWindowPlacement &p = g_WindowPlacement;
                EXPECT_EQ(RectText(QRect(p.iX, p.iY, p.iWidth, p.iHeight)), RectText(expected));
                EXPECT_EQ(p.bMaximized, c.bMaximizedAfter);
            }
        }
    }
}

// Without a window manager a stored size, or a view's size typed in a
// "winposition" run as the start-up file runs it (also in full screen,
// for the window back from it), that gives the window less than its
// minimum (the bars' and the view's) shows the window at its minimum, and
// that is what is read back and stored. Each line's row runs twice:
// waiting for the window, and with File > Exit right after the lines.
TEST_F(MainWindowPlacementTest, ASizeBelowTheWindowsMinimumIsStoredAsShown)
{
    struct Case {
        int iWidth, iHeight;
        const char *pszLine;  // the start-up file's lines, one a line
    };
    const Case cases[] = {{20, 10, nullptr},
                          {810, 600, "winposition 100 80 20 10"},
                          {810, 600, "fullscreen\nwinposition 100 80 20 10\nnofullscreen"}};
    NKRegisterSystemCommands();
    for (const Case &c : cases) {
        for (const bool bExitAtOnce : {false, true}) {
            if (bExitAtOnce && c.pszLine == nullptr) continue;
            SCOPED_TRACE("stored " + std::to_string(c.iWidth) + "x" + std::to_string(c.iHeight) +
                         (c.pszLine != nullptr ? std::string(", then ") + c.pszLine : "") +
                         (bExitAtOnce ? ", File > Exit at once" : ""));
            g_WindowPlacement = {100, 80, c.iWidth, c.iHeight, 0};
            NKViewWindowSize = NKViewSize{810, 600};
            ASSERT_TRUE(CreateMainWindow());
            const QWidget *pMain = NKGetMainWindow();
            if (c.pszLine != nullptr) {
                ASSERT_TRUE(RunLines(c.pszLine));
            }
            // Without a manager the window takes its size as it is placed.
            const QRect shown = pMain->geometry();
            EXPECT_EQ(shown.width(), pMain->minimumWidth());
            if (!bExitAtOnce) {
                const NKWindowPlacement p = NKGetPlacementToStore();
                EXPECT_EQ(RectText(QRect(p.iX, p.iY, p.iWidth, p.iHeight)), RectText(shown));
                NKDestroyMainWindow();
            } else {
                NKMainWindowCommand(NK_MENU_EXIT);
                ASSERT_EQ(NKGetMainWindow(), nullptr);
            }
            NKTestFlushDeletes();
            g_bStatusbarShown = g_bToolbarShown = g_bMenuBarShown = 1;  // as a new start has them
            const NKWindowPlacement &p = g_WindowPlacement;
            EXPECT_EQ(RectText(QRect(p.iX, p.iY, p.iWidth, p.iHeight)), RectText(shown));
            EXPECT_EQ(p.bMaximized, 0);
        }
    }
}

// Each line's answer comes at its line, before the next line runs: in a
// command file run at once after the window is made (as the start-up file
// runs) and in one run once the window shows. Without a window manager
// the place printed is the one asked for, pulled onto the screen.
TEST_F(MainWindowPlacementTest, EachLinesAnswerComesBeforeTheNextLineRuns)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const std::string right = std::to_string(screen.x() + screen.width() - 32);
    const std::vector<std::string> expected = {
        "W " + right + " 300", "V", "W " + right + " 300", "V", "W 120 90", "V"};
    NKRegisterSystemCommands();
    for (const bool bAtStart : {true, false}) {
        SCOPED_TRACE(bAtStart ? "at once after the window is made" : "once the window shows");
        ASSERT_TRUE(CreateMainWindow());
        if (!bAtStart) {
            ASSERT_TRUE(QTest::qWaitForWindowExposed(NKGetMainWindow(), NKTestWaitLimitMs()));
        }
        EXPECT_EQ(NKTestCommandFileAnswers("winposition 2000 300\nversion\nwinposition 1900 "
                                           "300\nversion\nwinposition 120 90\nversion\n"),
                  expected);
        NKDestroyMainWindow();
        NKTestFlushDeletes();
    }
}

// "winposition x y w h" moves the window keeping its size, then sizes the
// view keeping the window's place: a place left of the screen is pulled in
// by the size the window had as it moved (an icon's size of it on the
// screen), and the larger window keeps that place.
TEST_F(MainWindowPlacementTest, WinpositionMovesTheWindowThenSizesTheView)
{
    NKRegisterSystemCommands();
    g_WindowPlacement = {100, 80, 810, 600, 0};
    ASSERT_TRUE(CreateMainWindow());
    QWidget *pMain = NKGetMainWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(pMain, NKTestWaitLimitMs()));
    QSize view;
    ASSERT_TRUE(NKGetViewClientSize(&view.rwidth(), &view.rheight()));
    const QSize bars = pMain->size() - view;
    const QRect expected(32 - pMain->width(), 300, 1000 + bars.width(), 500 + bars.height());
    MessageCapture capture;
    ASSERT_EQ(ExecuteCommand("winposition -900 300 1000 500"), 0);
    EXPECT_TRUE(capture.Contains("Setting window position to: " + std::to_string(expected.x()) +
                                 " 300. OpenGL window size: 1000 500"))
        << capture.Text();
    ExpectShownAndReadBack(pMain, expected, QSize(1000, 500), true);
}

TEST_F(MainWindowPlacementTest, NoContextMeansNoWindow)
{
    g_iPixelFormatRequest = 100000;
    EXPECT_FALSE(CreateMainWindow());
    EXPECT_EQ(NKGetMainWindow(), nullptr);
    EXPECT_EQ(NKGetLastMessageBoxText(), "Unable to initialize OpenGL window, aborting!");
    EXPECT_EQ(NKGetLastMessageBoxTitle(), "Critical Quolin Dulm Error");
}

}  // namespace
