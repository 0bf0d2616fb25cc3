// tests/app/test_gl_picking.cpp -- Shift and Ctrl with the left button in the
// program's own 3-D view: the beam's part is selected, toggled and
// deselected, the command log gains one comment line per part hit, and
// nothing is picked while the model is not shown; the hit on the status
// bar, the interaction cursors, the part tool tip, hover over hot spots and
// the window title. Needs an X display.
#include <QCoreApplication>
#include <QCursor>
#include <QProcess>
#include <QTest>
#include <QToolTip>
#include <QWindow>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/nk_main_window.h"
#include "app/nk_pick_feedback.h"
#include "app/nk_statusbar.h"
#include "app/nk_system_commands.h"
#include "app/nk_view_input.h"
#include "app/nk_view_window.h"
#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "commands/nk_command_log.h"
#include "commands/nk_dde_server.h"
#include "core/nk_model.h"
#include "core/nk_shell_hooks.h"
#include "core/nk_view_state.h"
#include "platform/nk_window_timer.h"
#include "render/nk_camera.h"
#include "render/nk_navigation.h"
#include "render/nk_view_settings.h"
#include "render/nk_viewpoint_commands.h"
#include "tests/app/app_window_fixture.h"
#include "tests/test_support/test_files.h"
#include "tests/test_support/test_wait.h"

namespace {

class ViewPickingTest : public ProgramWindowTest {
protected:
    void SetUp() override
    {
        ProgramWindowTest::SetUp();
        NKRegisterViewpointCommands();
        ASSERT_TRUE(NKTestSetViewSize(800, 600));
        ASSERT_EQ(ExecuteCommand(("open \"" + NKTestExamplePath("beam.nkf") + "\"").c_str()), 0);
        ASSERT_EQ(ExecuteCommand("setview"), 0);
        NKRedrawView();  // the pick reads the matrices of the drawn view
        m_Dir = NKTestMakeTempDir("quolin_picking_");
        m_Log = m_Dir + "/t.log";
        ASSERT_EQ(ExecuteCommand(("log \"" + m_Log + "\"").c_str()), 0);
    }
    void TearDown() override
    {
        ExecuteCommand("nolog");
        NKTestRemoveDir(m_Dir);
        ProgramWindowTest::TearDown();
    }
    void Click(Qt::KeyboardModifier mod, int x, int y)
    {
        QTest::mouseClick(m_pView, Qt::LeftButton, mod, QPoint(x, y));
    }
    bool PartSelected() { return g_pModel->pFrames[0].pGeometry->pParts[0].bSelected != 0; }
    // The log's pick comment lines.
    std::vector<std::string> PickLines()
    {
        std::vector<std::string> lines;
        std::string text = NKTestReadFile(m_Log), line;
        for (char c : text) {
            if (c != '\n') {
                line += c;
                continue;
            }
            if (line.rfind("#Selected", 0) == 0) lines.push_back(line);
            line.clear();
        }
        return lines;
    }
    std::string m_Dir, m_Log;
};

TEST_F(ViewPickingTest, ShiftAndCtrlClicksSelectToggleAndLog)
{
    Click(Qt::ShiftModifier, 391, 304);
    EXPECT_TRUE(PartSelected());
    std::vector<std::string> lines = PickLines();
    ASSERT_EQ(lines.size(), 1u);
    const std::string head = "#Selected part 1, element 25. Nearest node: 1083  Intersect point: (";
    ASSERT_EQ(lines[0].substr(0, head.size()), head) << lines[0];
    float x = 0, y = 0, z = 0;
    ASSERT_EQ(std::sscanf(lines[0].c_str() + head.size(), "%f, %f, %f)", &x, &y, &z), 3);
    EXPECT_NEAR(x, 4.8f, 0.01f);
    EXPECT_NEAR(y, 0.4f, 0.01f);
    EXPECT_NEAR(z, 1.0f, 0.01f);

    Click(Qt::ControlModifier, 391, 304);
    EXPECT_FALSE(PartSelected());
    Click(Qt::ControlModifier, 391, 304);
    EXPECT_TRUE(PartSelected());
    EXPECT_EQ(PickLines().size(), 3u);

    Click(Qt::ShiftModifier, 400, 50);
    EXPECT_FALSE(PartSelected());
    EXPECT_EQ(PickLines().size(), 3u);  // a miss writes nothing
}

TEST_F(ViewPickingTest, NothingIsPickedWhileTheModelIsNotShown)
{
    ASSERT_EQ(ExecuteCommand("nomodel"), 0);
    NKRedrawView();
    Click(Qt::ShiftModifier, 391, 304);
    EXPECT_FALSE(PartSelected());
    EXPECT_TRUE(PickLines().empty());
    ASSERT_EQ(ExecuteCommand("model"), 0);
}

TEST_F(ViewPickingTest, EachPickIsAdvisedToADdeClient)
{
    const std::string runtime = NKTestMakeTempDir("quolin_rt_");
    ASSERT_EQ(chmod(runtime.c_str(), 0700), 0);
    const char *pszOld = std::getenv("XDG_RUNTIME_DIR");
    const std::string old = pszOld != nullptr ? pszOld : "";
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    ASSERT_EQ(ExecuteCommand("dde"), 0);
    ASSERT_TRUE(NKTestWriteText(m_Dir + "/in", "ADVISE data pick_part_num\n"));
    QProcess client;
    client.setStandardInputFile(QString::fromStdString(m_Dir + "/in"));
    client.start(QUOLIN_REQUEST_CLIENT, {QString::fromStdString(runtime + "/Quolin"), "-n", "3"});
    ASSERT_TRUE(client.waitForStarted(NKTestWaitLimitMs()));
    // The client prints the server's ACK of its advise at once.
    ASSERT_TRUE(NKTestWaitFor([&] { return client.peek(4) == "ACK\n"; }, "the advise's ACK"));
    Click(Qt::ShiftModifier, 391, 304);
    Click(Qt::ShiftModifier, 400, 50);
    ASSERT_TRUE(
        NKTestWaitFor([&] { return client.state() == QProcess::NotRunning; }, "the client's end"));
    EXPECT_EQ(client.readAllStandardOutput().toStdString(),
              "ACK\nADV pick_part_num <1><1>\nADV pick_part_num \n");
    ExecuteCommand("nodde");
    NKDDEStorePick(nullptr);
    if (old.empty())
        unsetenv("XDG_RUNTIME_DIR");
    else
        setenv("XDG_RUNTIME_DIR", old.c_str(), 1);
    NKTestRemoveDir(runtime);
}

TEST_F(ViewPickingTest, ClickPicksAreReportedOnTheStatusBar)
{
    EXPECT_EQ(NKGetMainWindow()->windowTitle().toStdString(), "Brovik Quolin Dulm");
    Click(Qt::ShiftModifier, 391, 304);
    EXPECT_EQ(NKGetStatusbarPickText(0), "Hitting part 1, element 25. Nearest node: 1083");
    float x = 0, y = 0, z = 0;
    ASSERT_EQ(
        std::sscanf(NKGetStatusbarPickText(1).c_str(), "Intersect point: (%f, %f, %f)", &x, &y, &z),
        3)
        << NKGetStatusbarPickText(1);
    EXPECT_NEAR(x, 4.8f, 0.01f);
    EXPECT_NEAR(y, 0.4f, 0.01f);
    EXPECT_NEAR(z, 1.0f, 0.01f);
    Click(Qt::ShiftModifier, 400, 50);
    EXPECT_EQ(NKGetStatusbarText(0), "No hits");
}

TEST_F(ViewPickingTest, CursorFollowsModeButtonsAndKeys)
{
    const uint32_t C = NK_KEY_CTRL, S = NK_KEY_SHIFT;
    const struct {
        int iMode;
        uint32_t uKeys, uButtons;
        int iCode;
    } cases[] = {{NK_NAVIGATION_STUDY, 0, 1, 3},     {NK_NAVIGATION_STUDY, 0, 2, 5},
                 {NK_NAVIGATION_STUDY, 0, 3, 4},     {NK_NAVIGATION_STUDY, NK_KEY_UP, 0, 4},
                 {NK_NAVIGATION_WALK, 0, 1, 6},      {NK_NAVIGATION_WALK, 0, 2, 8},
                 {NK_NAVIGATION_WALK, 0, 3, 7},      {NK_NAVIGATION_WALK, 0, 0, 1},
                 {NK_NAVIGATION_STUDY, C, 1, 10},    {NK_NAVIGATION_STUDY, S, 0, 9},
                 {NK_NAVIGATION_WALK, C | S, 0, 11}, {NK_NAVIGATION_WALK, NK_KEY_A, 2, 11}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.iMode) + " " + std::to_string(c.uKeys) + " " +
                     std::to_string(c.uButtons));
        NKSetNavigationMode(c.iMode);
        NKInputState state;
        state.uKeys = c.uKeys;
        state.uButtons = c.uButtons;
        EXPECT_TRUE(UpdateInteractionCursor(&state));
        EXPECT_EQ(GetInteractionCursor(false), c.iCode);
        EXPECT_EQ(GetInteractionCursor(true), c.iCode);
    }
    NKSetNavigationMode(NK_NAVIGATION_STUDY);
    // The wait cursor stays until its owner puts the previous code back.
    NKInputState drag;
    drag.uButtons = 1;
    const int iBefore = SetInteractionCursor(NK_CURSOR_WAIT);
    EXPECT_FALSE(UpdateInteractionCursor(&drag));
    EXPECT_EQ(GetInteractionCursor(false), NK_CURSOR_WAIT);
    EXPECT_EQ(GetInteractionCursor(true), NK_CURSOR_WAIT);
    SetInteractionCursor(iBefore);
    EXPECT_EQ(GetInteractionCursor(true), iBefore);
    // Without a model the arrow.
    NKModel *pModel = g_pModel;
    g_pModel = nullptr;
    EXPECT_TRUE(UpdateInteractionCursor(&drag));
    g_pModel = pModel;
    EXPECT_EQ(GetInteractionCursor(true), NK_CURSOR_NORMAL);

    // Shift held over the view: the select cursor at the next tick.
    QCursor::setPos(m_pView->mapToGlobal(QPoint(100, 100)));
    EXPECT_TRUE(NKTestWaitFor([&] { return NKIsCursorOverView(); }, "NKIsCursorOverView()"));
    QTest::keyPress(m_pView, Qt::Key_Shift);
    NKViewTimerTick(NK_VIEW_TIMER_ID);
    EXPECT_EQ(GetInteractionCursor(false), 9);
    QTest::keyRelease(m_pView, Qt::Key_Shift);
    NKViewTimerTick(NK_VIEW_TIMER_ID);
    EXPECT_EQ(GetInteractionCursor(false), NK_CURSOR_NORMAL);
}

TEST_F(ViewPickingTest, ToolTipNamesThePartUnderTheRestingPointer)
{
    // The test's own ticks alone: the view's timer would find the real
    // pointer still resting over the part after the test's moves (which
    // move no real pointer) and show the tool tip again.
    NKStopWindowTimer(NK_VIEW_TIMER_ID);
    ASSERT_EQ(ExecuteCommand("tooltip on"), 0);
    QCursor::setPos(m_pView->mapToGlobal(QPoint(391, 304)));
    EXPECT_TRUE(NKTestWaitFor([&] { return NKIsCursorOverView(); }, "NKIsCursorOverView()"));
    NKViewTimerTick(NK_VIEW_TIMER_ID);
    NKViewTimerTick(NK_VIEW_TIMER_ID);
    NK_WAIT_EQ(QToolTip::text().toStdString(), std::string("Beam"));
    // The tool tip's pick is reported as well.
    EXPECT_EQ(NKGetStatusbarPickText(0), "Hitting part 1, element 25. Nearest node: 1083");
    // The second move takes it down.
    QTest::mouseMove(m_pView, QPoint(300, 300));
    EXPECT_TRUE(QToolTip::isVisible());
    QTest::mouseMove(m_pView, QPoint(310, 300));
    EXPECT_TRUE(NKTestWaitFor([&] { return !QToolTip::isVisible(); }, "!QToolTip::isVisible()"));
    NKString text;
    EXPECT_TRUE(GetPartToolTip(&text, 400, 50));
    EXPECT_STREQ(text.GetText(), "");
    EXPECT_EQ(NKGetStatusbarText(0), "No hits");
    ASSERT_EQ(ExecuteCommand("tooltip off"), 0);
    QToolTip::hideText();
}

TEST_F(ViewPickingTest, HoverFollowsThePartOnlyWithHotSpots)
{
    auto move = [this](int x, int y) {
        QTest::mouseMove(m_pView, QPoint(x, y));
        QCoreApplication::processEvents();
    };
    move(10, 10);
    move(391, 304);
    EXPECT_EQ(g_pViewSettings->iHoveredPart, -1);
    ASSERT_EQ(ExecuteCommand("hotspot 1 \"t\" f"), 0);
    move(10, 10);
    move(391, 304);
    EXPECT_EQ(g_pViewSettings->iHoveredPart, 0);
    move(400, 50);
    EXPECT_EQ(g_pViewSettings->iHoveredPart, -1);
    EXPECT_EQ(PickPartAtPixel(391, 304), 0);
}

}  // namespace
