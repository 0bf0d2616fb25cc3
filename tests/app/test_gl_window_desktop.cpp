// tests/app/test_gl_window_desktop.cpp -- the program's window as a user
// on a desktop meets it: the Results Menu worked with F2 while a window
// manager moves the keyboard between the view and the main window, files
// dropped on the 3-D view, the first view after File > Open with the site's
// "fileopen.qlc", the warnings of an open on the status line, pictures
// written without the in-view menu, and the frames drawn while an animation
// is set up. Needs an X display.
#include <GL/glu.h>

#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>
#include <QWindow>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/nk_gl_menu.h"
#include "app/nk_menu_state.h"
#include "app/nk_statusbar.h"
#include "core/nk_frames.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_program_directory.h"
#include "core/nk_render_state.h"
#include "export/nk_image_commands.h"
#include "render/nk_animation_commands.h"
#include "render/nk_fringe_commands.h"
#include "render/nk_part_display_commands.h"
#include "render/nk_scene_view.h"
#include "render/nk_view_settings.h"
#include "tests/app/app_window_fixture.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

namespace {

std::vector<int> sg_DrawnFrames;
bool (*sg_pfnDrawScene)(int, int, int) = nullptr;

// Records the frame of each draw and draws it.
bool RecordingDraw(int iFrame, int iFlag1, int iFlag2)
{
    sg_DrawnFrames.push_back(iFrame);
    return sg_pfnDrawScene == nullptr || sg_pfnDrawScene(iFrame, iFlag1, iFlag2);
}

// The program's window in a home and program folder of its own (the site's
// "fileopen.qlc" beside the program when a test installs it), working in a
// temporary folder, with the animation and fringe commands.
class DesktopWindowTest : public ProgramWindowTest {
protected:
    void SetUp() override
    {
        ProgramWindowTest::SetUp();
        for (int i = 0; i < NK_NUM_HANDLER_SLOTS; i++) m_apSaved[i] = NKGetCommandHandler(i);
        NKRegisterAnimationCommands();
        NKRegisterFringeCommands();
        NKRegisterPartDisplayCommands();
        NKRegisterImageCommands();
        m_Dir = NKTestMakeTempDir("quolin_desktop_");
        ASSERT_FALSE(m_Dir.empty());
        m_OldCwd = std::filesystem::current_path();
        const char *pszHome = std::getenv("HOME");
        m_OldHome = pszHome != nullptr ? pszHome : "";
        std::filesystem::create_directories(m_Dir + "/home/.config/Brovik");
        std::filesystem::create_directories(m_Dir + "/prog");
        setenv("HOME", (m_Dir + "/home").c_str(), 1);
        NKSetProgramDirectory((m_Dir + "/prog").c_str());
        std::filesystem::current_path(m_Dir);
        m_Beam = NKTestExamplePath("beam.nkf");
    }
    void TearDown() override
    {
        std::filesystem::current_path(m_OldCwd);
        NKDestroyGLMenu();
        setenv("HOME", m_OldHome.c_str(), 1);
        NKSetProgramDirectory(nullptr);
        NKTestRemoveDir(m_Dir);
        for (int i = 0; i < NK_NUM_HANDLER_SLOTS; i++) NKSetCommandHandler(i, m_apSaved[i]);
        ProgramWindowTest::TearDown();
    }
    void InstallSiteFile(void)
    {
        std::filesystem::copy_file(NKTestSourceRoot() + "/app/site/fileopen.qlc",
                                   m_Dir + "/prog/fileopen.qlc");
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
    // Where an item of the shown menu is in the view, as the last frame
    // drew it.
    static QPoint ItemPoint(int iId)
    {
        const NKGLMenuItem *pItem = NKGLMenuFindItem(g_pGLMenu->root, iId);
        double adModelView[16];
        NKGLMenuModelView(g_pGLMenu, adModelView);
        double wx = 0, wy = 0, wz = 0;
        gluProject(pItem->level * 0.25 + 0.1, -pItem->slot * 0.058 - 0.029, pItem->level * 0.01,
                   adModelView, g_adSavedProjection, g_aiSavedViewport, &wx, &wy, &wz);
        return QPoint(int(wx), int(g_aiSavedViewport[3] - wy));
    }
    // Activates the window and waits until it has the keyboard; false when
    // it has not within ten seconds.
    static bool GiveKeyboardTo(QWindow *pWindow)
    {
        pWindow->requestActivate();
        return QTest::qWaitFor([pWindow] { return QGuiApplication::focusWindow() == pWindow; },
                               10000);
    }
    std::string m_Dir, m_OldHome, m_Beam;
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
    QTest::mouseClick(m_pView, Qt::LeftButton, Qt::NoModifier, ItemPoint(100));
    ASSERT_EQ(NKGLMenuFindItem(g_pGLMenu->root, 100)->open, 1);
    ASSERT_TRUE(GiveKeyboardTo(pMain));  // the view's focus-out, the main window's focus-in
    QTest::mouseClick(m_pView, Qt::LeftButton, Qt::NoModifier, ItemPoint(103));
    EXPECT_TRUE(NKAllPartsAsLines());
    ASSERT_TRUE(GiveKeyboardTo(m_pView));
    ASSERT_TRUE(GiveKeyboardTo(pMain));
    QTest::mouseClick(m_pView, Qt::LeftButton, Qt::NoModifier, ItemPoint(102));
    EXPECT_TRUE(NKAllPartsAsSurface());

    QTest::keyRelease(NKGetMainWindow(), Qt::Key_F2);
    QTest::mouseClick(m_pView, Qt::LeftButton, Qt::NoModifier, ItemPoint(104));
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

// File > Open of a real database with the site's file: the parts show in
// their own colours with the legend switched on; the scalar chosen in the
// Results Menu shows as fringes at once. A command file that opens no
// model runs the site's file without an error.
TEST_F(DesktopWindowTest, TheFirstViewAfterAnOpenShowsPartColoursThenTheChosenResult)
{
    NK_SKIP_WITHOUT_SHARED_TESTDATA();
    InstallSiteFile();
    NKTestOpenThroughTheDialog(NKTestSharedDataDir() +
                               "/lsdyna/ansys-example-data/d3plot_projectile/d3plot");
    ASSERT_TRUE(NKModelHasGeometry());
    ASSERT_NE(g_pGLMenu, nullptr);
    const NKGeometry *pGeo = NKGetCurrentGeometry();
    ASSERT_GT(pGeo->iNumParts, 0);
    for (int i = 0; i < pGeo->iNumParts; i++) EXPECT_EQ(pGeo->pParts[i].bFringes, 0) << i;
    EXPECT_EQ(g_pViewSettings->bShowLegend, 1);
    int iVonMises = -1;
    for (int i = 0; i < NKGetInterfaceNumScalars(); i++)
        if (std::string(NKGetInterfaceScalarNames()->Get(i)) == "Von Mises Effective Stress")
            iVonMises = i;
    ASSERT_GE(iVonMises, 0);
    EXPECT_TRUE(NKGLMenuExecuteItem(g_pGLMenu, 1001 + iVonMises));
    EXPECT_EQ(NKGetCurrentScalarIndex(), iVonMises);
    EXPECT_NE(g_pModel->pFrames[0].pScalar, nullptr);
    EXPECT_TRUE(NKAllPartsFringes());
    EXPECT_EQ(g_pViewSettings->bShowLegend, 1);
    // A second scalar keeps the fringes as the user left them.
    ASSERT_EQ(ExecuteCommand("nofringes 1 1"), 0);
    EXPECT_TRUE(NKGLMenuExecuteItem(g_pGLMenu, 1001));
    EXPECT_EQ(NKGetCurrentGeometry()->pParts[0].bFringes, 0);

    ASSERT_EQ(ExecuteCommand("closefiles"), 0);
    ASSERT_TRUE(NKTestWriteText(m_Dir + "/settings.qlc", "legendticks 5\n"));
    MessageCapture capture;
    EXPECT_EQ(ExecuteCommand(("open \"" + m_Dir + "/settings.qlc\"").c_str()), 0);
    EXPECT_TRUE(capture.Contains("Running \"file open\" command file...")) << capture.Text();
    for (const CapturedLine &line : capture.Lines())
        EXPECT_NE(line.iLevel, NK_MSG_ERROR) << line.text;
}

// File > Open of a d3plot family whose first numbered member is missing opens the
// states before the gap and says so on the status line; the same open
// typed as a command leaves the status line to the load.
TEST_F(DesktopWindowTest, AWindowOpenShowsItsFirstWarningOnTheStatusLine)
{
    NK_SKIP_WITHOUT_SHARED_TESTDATA();
    const std::string from =
        NKTestSharedDataDir() + "/lsdyna/ansys-example-data/d3plot_projectile/";
    for (const char *pszName : {"d3plot", "d3plot02", "d3plot03"})
        std::filesystem::copy_file(from + pszName, m_Dir + "/" + pszName);
    const std::string d3plot = m_Dir + "/d3plot";
    NKSetStatusbarText(" ", 0);
    NKTestOpenThroughTheDialog(d3plot);
    ASSERT_TRUE(NKModelHasGeometry());
    const std::string warning = "LS-DYNA family file " + m_Dir + "/d3plot01 is missing";
    EXPECT_EQ(NKGetStatusbarText(0).rfind(warning, 0), 0u) << NKGetStatusbarText(0);

    NKSetStatusbarText(" ", 0);
    ASSERT_EQ(ExecuteCommand(("open \"" + d3plot + "\"").c_str()), 0);
    EXPECT_EQ(NKGetStatusbarText(0).find("is missing"), std::string::npos);
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
