// tests/app/test_gl_window_desktop.cpp -- the program's window as a user
// on a desktop meets it: the Results Menu worked with F2 while a window
// manager moves the keyboard between the view and the main window, files
// dropped on the 3-D view, pictures written without the in-view menu, and
// the frames drawn while an animation is set up. Needs an X display.
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>
#include <QWindow>

#include <filesystem>
#include <string>
#include <vector>

#include "app/nk_gl_menu.h"
#include "core/nk_frames.h"
#include "core/nk_model.h"
#include "core/nk_render_state.h"
#include "export/nk_image_commands.h"
#include "render/nk_animation_commands.h"
#include "render/nk_part_display_commands.h"
#include "render/nk_scene_view.h"
#include "tests/app/app_window_fixture.h"
#include "tests/app/gl_menu_test_point.h"
#include "tests/test_support/test_files.h"
#include "tests/test_support/test_wait.h"

namespace {

std::vector<int> sg_DrawnFrames;
bool (*sg_pfnDrawScene)(int, int, int) = nullptr;

// Records the frame of each draw and draws it.
bool RecordingDraw(int iFrame, int iFlag1, int iFlag2)
{
    sg_DrawnFrames.push_back(iFrame);
    return sg_pfnDrawScene == nullptr || sg_pfnDrawScene(iFrame, iFlag1, iFlag2);
}

// The program's window working in a temporary folder, with the animation,
// part display and image commands.
class DesktopWindowTest : public ProgramWindowTest {
protected:
    void SetUp() override
    {
        ProgramWindowTest::SetUp();
        for (int i = 0; i < NK_NUM_HANDLER_SLOTS; i++) m_apSaved[i] = NKGetCommandHandler(i);
        NKRegisterAnimationCommands();
        NKRegisterPartDisplayCommands();
        NKRegisterImageCommands();
        m_Dir = NKTestMakeTempDir("quolin_desktop_");
        ASSERT_FALSE(m_Dir.empty());
        m_OldCwd = std::filesystem::current_path();
        std::filesystem::current_path(m_Dir);
        m_Beam = NKTestExamplePath("beam.nkf");
    }
    void TearDown() override
    {
        std::filesystem::current_path(m_OldCwd);
        NKDestroyGLMenu();
        NKTestRemoveDir(m_Dir);
        for (int i = 0; i < NK_NUM_HANDLER_SLOTS; i++) NKSetCommandHandler(i, m_apSaved[i]);
        ProgramWindowTest::TearDown();
    }
    void OpenBeamWithTheResultsMenu(void)
    {
        ASSERT_EQ(ExecuteCommand(("open \"" + m_Beam + "\"").c_str()), 0);
        ASSERT_EQ(ExecuteCommand("usermenu res"), 0);
        ASSERT_TRUE(NKTestSetViewSize(640, 480));
        NKRedrawView();
    }
    static std::string SourceFile(void)
    {
        NKString name;
        NKGetInterfaceFileName(&name);
        return name.GetText();
    }
    // Activates the window and waits until it has the keyboard; false when
    // it has not within the tests' limit.
    static bool GiveKeyboardTo(QWindow *pWindow)
    {
        pWindow->requestActivate();
        return NKTestWaitFor([pWindow] { return QGuiApplication::focusWindow() == pWindow; },
                             "the keyboard focus");
    }
    std::string m_Dir, m_Beam;
    NKCommandHandler m_apSaved[NK_NUM_HANDLER_SLOTS];
    std::filesystem::path m_OldCwd;
};

}  // namespace

// A click-to-focus window manager gives the keyboard back to the main
// window after each press in the view: the view loses the focus between
// two clicks with F2 held, and the second click still runs its item. F2
// released where the keyboard went lets the next click navigate.
TEST_F(DesktopWindowTest, F2ClicksRunTheirItemsWhileTheFocusMoves)
{
    OpenBeamWithTheResultsMenu();
    QWindow *pMain = NKGetMainWindow()->windowHandle();
    ASSERT_TRUE(GiveKeyboardTo(m_pView));
    QTest::keyPress(m_pView, Qt::Key_F2);
    QTest::mouseClick(m_pView, Qt::LeftButton, Qt::NoModifier, NKTestMenuItemPoint(100));
    ASSERT_EQ(NKGLMenuFindItem(g_pGLMenu->root, 100)->open, 1);
    ASSERT_TRUE(GiveKeyboardTo(pMain));  // the view's focus-out, the main window's focus-in
    QTest::mouseClick(m_pView, Qt::LeftButton, Qt::NoModifier, NKTestMenuItemPoint(103));
    EXPECT_TRUE(NKAllPartsAsLines());
    ASSERT_TRUE(GiveKeyboardTo(m_pView));
    ASSERT_TRUE(GiveKeyboardTo(pMain));
    QTest::mouseClick(m_pView, Qt::LeftButton, Qt::NoModifier, NKTestMenuItemPoint(102));
    EXPECT_TRUE(NKAllPartsAsSurface());

    QTest::keyRelease(NKGetMainWindow(), Qt::Key_F2);
    QTest::mouseClick(m_pView, Qt::LeftButton, Qt::NoModifier, NKTestMenuItemPoint(104));
    EXPECT_FALSE(NKAllPartsAsPoints());
}

// A file dropped on the view or on the rest of the main window opens; a
// drag that carries no local file is refused to its source, and the model
// stays.
TEST_F(DesktopWindowTest, AFileDroppedOnTheViewOpensAndOtherDropsAreRefused)
{
    QObject *apTargets[] = {m_pView, NKGetMainWindow()};
    const std::string plate = NKTestExamplePath("plate.nkf");
    for (QObject *pTarget : apTargets) {
        SCOPED_TRACE(pTarget == m_pView ? "view" : "main window");
        ASSERT_EQ(ExecuteCommand(("open \"" + plate + "\"").c_str()), 0);
        const struct {
            QUrl url;
            bool bTaken;
            std::string source;
        } drops[] = {{QUrl("https://example.com/beam.nkf"), false, plate},
                     {QUrl::fromLocalFile(QString::fromStdString(m_Beam)), true, m_Beam}};
        for (const auto &d : drops) {
            SCOPED_TRACE(d.url.toString().toStdString());
            QMimeData data;
            data.setUrls({d.url});
            QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                                  Qt::NoModifier);
            QCoreApplication::sendEvent(pTarget, &enter);
            EXPECT_EQ(enter.isAccepted(), d.bTaken);
            QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(pTarget, &drop);
            EXPECT_EQ(drop.isAccepted(), d.bTaken);
            EXPECT_EQ(SourceFile(), d.source);
        }
    }
}

// The viewer only reads a dropped file: a drag source that proposes a move
// (a file manager with Shift held) is told of a copy, or of a link
// when it offers no copy, so that it keeps its file. A drag that offers
// neither is refused, and the model stays.
TEST_F(DesktopWindowTest, ADropIsTakenAsACopyNeverAsAMove)
{
    QObject *apTargets[] = {m_pView, NKGetMainWindow()};
    const std::string plate = NKTestExamplePath("plate.nkf");
    for (QObject *pTarget : apTargets) {
        SCOPED_TRACE(pTarget == m_pView ? "view" : "main window");
        const struct {
            Qt::DropActions offered;
            Qt::DropAction answer;  // IgnoreAction: refused
        } drops[] = {{Qt::CopyAction | Qt::MoveAction, Qt::CopyAction},
                     {Qt::MoveAction | Qt::LinkAction, Qt::LinkAction},
                     {Qt::MoveAction, Qt::IgnoreAction}};
        for (const auto &d : drops) {
            SCOPED_TRACE(int(d.offered));
            ASSERT_EQ(ExecuteCommand(("open \"" + plate + "\"").c_str()), 0);
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(QString::fromStdString(m_Beam))});
            // Shift held, as a file manager is told to move the file.
            QDragEnterEvent enter(QPoint(10, 10), d.offered, &data, Qt::LeftButton,
                                  Qt::ShiftModifier);
            ASSERT_EQ(enter.proposedAction(), Qt::MoveAction);
            QCoreApplication::sendEvent(pTarget, &enter);
            EXPECT_EQ(enter.isAccepted() ? enter.dropAction() : Qt::IgnoreAction, d.answer);
            QDropEvent drop(QPointF(10, 10), d.offered, &data, Qt::LeftButton, Qt::ShiftModifier);
            ASSERT_EQ(drop.proposedAction(), Qt::MoveAction);
            QCoreApplication::sendEvent(pTarget, &drop);
            EXPECT_EQ(drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction, d.answer);
            EXPECT_EQ(SourceFile(), d.answer != Qt::IgnoreAction ? m_Beam : plate);
        }
    }
}

// Pictures written by commands leave the in-view menu out: with the
// Results Menu shown each is the same file as without it, though the
// window shows the menu.
TEST_F(DesktopWindowTest, PicturesLeaveTheInViewMenuOut)
{
    OpenBeamWithTheResultsMenu();
    const struct {
        const char *pszCommand, *pszSize, *pszExtension;
    } pictures[] = {
        {"tobmp", " 200 150", ".bmp"}, {"toppm", " 200 150", ".ppm"}, {"captppm", "", ".ppm"}};
    for (const auto &p : pictures) {
        SCOPED_TRACE(p.pszCommand);
        std::string files[2];
        for (int iShown = 0; iShown < 2; iShown++) {
            ASSERT_EQ(ExecuteCommand(iShown ? "usermenu show" : "usermenu hide"), 0);
            const std::string file = m_Dir + "/" + std::to_string(iShown) + p.pszExtension;
            const std::string line = std::string(p.pszCommand) + " \"" + file + "\"" + p.pszSize;
            ASSERT_EQ(ExecuteCommand(line.c_str()), 0);
            files[iShown] = NKTestReadFile(file);
        }
        ASSERT_FALSE(files[0].empty());
        EXPECT_TRUE(files[0] == files[1]);
    }
}

// Each step of an animation set-up is drawn as it is made, unless
// "nodrawanimationsetup" asked for none.
TEST_F(DesktopWindowTest, AnAnimationSetUpDrawsEachFrameByDefault)
{
    ASSERT_EQ(ExecuteCommand(("open \"" + m_Beam + "\"").c_str()), 0);
    g_AnimationSettings = NKAnimationSettings();  // as a session starts
    NKLoadHooks hooks = NKGetLoadHooks();
    sg_pfnDrawScene = hooks.pfnDrawScene;
    hooks.pfnDrawScene = RecordingDraw;
    const NKLoadHooks saved = NKSetLoadHooks(hooks);
    const struct {
        const char *pszSetting;  // null: the session's default
        std::vector<int> drawn;
    } cases[] = {
        {nullptr, {0, 1, 2}}, {"nodrawanimationsetup", {}}, {"drawanimationsetup", {0, 1, 2}}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.pszSetting != nullptr ? c.pszSetting : "default");
        if (c.pszSetting != nullptr) {
            ASSERT_EQ(ExecuteCommand(c.pszSetting), 0);
        }
        sg_DrawnFrames.clear();
        EXPECT_EQ(ExecuteCommand("animresults 1 3 1"), 0);
        ExecuteCommand("noanim");
        EXPECT_EQ(sg_DrawnFrames, c.drawn);
    }
    NKSetLoadHooks(saved);
}
