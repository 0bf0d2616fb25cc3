// tests/app/test_gl_window_open.cpp -- the window's road to a model and its
// results: File > Open, a recent file and a dropped file open every kind of
// file the viewer reads; a file that fails leaves the model with its source;
// the site's "fileopen.qlc" builds the Results Menu, which follows the next
// model; a user's own file replaces the site's; why a load failed shows on
// the status line, whole on hover; Step and every place that plays go past
// refused states. Needs an X display.
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QImage>
#include <QMimeData>
#include <QScreen>
#include <QTimer>
#include <QToolTip>
#include <QUrl>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/nk_command_line.h"
#include "app/nk_gl_menu.h"
#include "app/nk_menu_state.h"
#include "app/nk_menus.h"
#include "app/nk_statusbar.h"
#include "app/nk_toolbar.h"
#include "commands/nk_recent_files.h"
#include "core/nk_frames.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_program_directory.h"
#include "readers/nk_data_source.h"
#include "render/nk_animation_commands.h"
#include "render/nk_fringe_commands.h"
#include "render/nk_view_settings.h"
#include "tests/app/app_window_fixture.h"
#include "tests/app/gl_menu_test_point.h"
#include "tests/test_support/lsdyna_test_writer.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"
#include "tests/test_support/test_wait.h"

namespace {

class WindowOpenTest : public ProgramWindowTest {
public:  // the roads are taken by member pointer in the tests' tables
    void SetUp() override
    {
        ProgramWindowTest::SetUp();
        // Playing and the site's file need the animation and fringe commands.
        for (int i = 0; i < NK_NUM_HANDLER_SLOTS; i++) m_apSaved[i] = NKGetCommandHandler(i);
        NKRegisterAnimationCommands();
        NKRegisterFringeCommands();
        m_Dir = NKTestMakeTempDir("quolin_window_open_");
        m_OldCwd = std::filesystem::current_path();
        const char *pszHome = std::getenv("HOME");
        m_OldHome = pszHome != nullptr ? pszHome : "";
        std::filesystem::create_directories(m_Dir + "/home/.config/Brovik");
        std::filesystem::create_directories(m_Dir + "/prog");
        setenv("HOME", (m_Dir + "/home").c_str(), 1);
        NKSetProgramDirectory((m_Dir + "/prog").c_str());
        m_Beam = NKTestExamplePath("beam.nkf");
        m_Plate = NKTestExamplePath("plate.nkf");
    }
    void TearDown() override
    {
        std::filesystem::current_path(m_OldCwd);
        NKDestroyGLMenu();
        for (int i = 0; i < NK_NUM_RECENT_FILES; i++) NKSetRecentFile(i, "");
        setenv("HOME", m_OldHome.c_str(), 1);
        NKSetProgramDirectory(nullptr);
        NKTestRemoveDir(m_Dir);
        for (int i = 0; i < NK_NUM_HANDLER_SLOTS; i++) NKSetCommandHandler(i, m_apSaved[i]);
        ProgramWindowTest::TearDown();
    }
    // The site's start-up file, as the build puts it beside the program.
    void InstallSiteFile(void)
    {
        std::filesystem::copy_file(NKTestSourceRoot() + "/app/site/fileopen.qlc",
                                   m_Dir + "/prog/fileopen.qlc");
    }
    void WriteUserFile(const std::string &text)
    {
        ASSERT_TRUE(NKTestWriteText(m_Dir + "/home/.config/Brovik/fileopen.qlc", text));
    }
    void OpenThroughTheDialog(const std::string &file) { NKTestOpenThroughTheDialog(file); }
    void OpenRecent(const std::string &file)
    {
        NKSetRecentFile(0, file.c_str());
        InitMenuPopup();  // the File menu lists the recent files as it opens
        NKMainWindowCommand(NK_MENU_RECENT_FIRST);
    }
    void Drop(const std::string &file) { NKTestDropFiles({file}); }
    // Shows the Results Menu and clicks the item in the view, F2 held.
    void ClickResultsMenuItem(int iId)
    {
        ASSERT_EQ(ExecuteCommand("usermenu results"), 0);
        ASSERT_TRUE(NKTestSetViewSize(640, 480));
        NKRedrawView();
        m_pView->requestActivate();
        ASSERT_TRUE(NKTestWaitFor([this] { return QGuiApplication::focusWindow() == m_pView; },
                                  "the keyboard focus on the view"));
        QTest::keyPress(m_pView, Qt::Key_F2);
        QTest::mouseClick(m_pView, Qt::LeftButton, Qt::NoModifier, NKTestMenuItemPoint(iId));
        QTest::keyRelease(m_pView, Qt::Key_F2);
    }
    // The three roads from the window, by name.
    struct Road {
        const char *pszName;
        std::function<void(WindowOpenTest *, const std::string &)> open;
    };
    static std::vector<Road> Roads(void)
    {
        return {{"File > Open", &WindowOpenTest::OpenThroughTheDialog},
                {"recent file", &WindowOpenTest::OpenRecent},
                {"dropped file", &WindowOpenTest::Drop}};
    }
    static std::string SourceFile(void)
    {
        NKString name;
        NKGetInterfaceFileName(&name);
        return name.GetText();
    }
    // The texts of the items of a branch of the Results Menu.
    static std::vector<std::string> BranchTexts(int iParent)
    {
        std::vector<std::string> texts;
        NKGLMenuItem *pParent =
            g_pGLMenu != nullptr ? NKGLMenuFindItem(g_pGLMenu->root, iParent) : nullptr;
        for (NKGLMenuItem *p = pParent != nullptr ? pParent->branch : nullptr; p != nullptr;
             p = p->next)
            texts.push_back(p->text);
        return texts;
    }
    // The scalar names of the open source, then "None", as the menu lists them.
    static std::vector<std::string> SourceScalars(void)
    {
        std::vector<std::string> names;
        for (int i = 0; i < NKGetInterfaceNumScalars(); i++)
            names.push_back(NKGetInterfaceScalarNames()->Get(i));
        names.push_back("None");
        return names;
    }
    std::string m_Dir, m_OldHome, m_Beam, m_Plate;
    NKCommandHandler m_apSaved[NK_NUM_HANDLER_SLOTS];
    std::filesystem::path m_OldCwd;
};

}  // namespace

// A real LS-DYNA database opens by each road; between them the plate is
// opened, so that each road has a model to replace.
TEST_F(WindowOpenTest, EveryRoadOpensARealD3plot)
{
    NK_SKIP_WITHOUT_SHARED_TESTDATA();
    const std::string d3plot =
        std::filesystem::weakly_canonical(NKTestSharedDataDir() + "/lsdyna/qd-cae/d3plot").string();
    for (const Road &road : Roads()) {
        SCOPED_TRACE(road.pszName);
        ASSERT_EQ(ExecuteCommand(("open \"" + m_Plate + "\"").c_str()), 0);
        MessageCapture capture;
        road.open(this, d3plot);
        EXPECT_EQ(NKGetInterfaceType(), NK_INTERFACE_LSDYNA) << capture.Text();
        EXPECT_EQ(SourceFile(), d3plot);
        EXPECT_TRUE(NKModelHasGeometry());
        EXPECT_EQ(NKGetRecentFile(0).GetText(), d3plot);
    }
}

// A recent command file runs; one whose first line warns and whose second
// fails shows the failing line's own error on the status line, not the
// warning before it.
TEST_F(WindowOpenTest, ARecentCommandFileRunsAndShowsWhyALineFailed)
{
    const std::string script = m_Dir + "/plate.qlc";
    ASSERT_TRUE(NKTestWriteText(script, "open \"" + m_Plate + "\"\n"));
    OpenRecent(script);
    EXPECT_EQ(SourceFile(), m_Plate);
    EXPECT_EQ(NKGetRecentFile(0).GetText(), script);

    ASSERT_TRUE(NKTestWriteText(script, "doublebuffer\nnosuchcommand 1\n"));
    MessageCapture capture;
    OpenRecent(script);
    EXPECT_TRUE(
        capture.HasLine("doublebuffer: Command is obsolete and not longer in use!", NK_MSG_WARNING))
        << capture.Text();
    EXPECT_TRUE(capture.HasLine("Line: 2", NK_MSG_ERROR)) << capture.Text();
    EXPECT_EQ(NKGetStatusbarText(0), "Unrecognized command: nosuchcommand");
}

// After the plate, a recent file that was removed and a text file chosen in
// the dialog fail: the plate stays drawn with its source, and Play runs.
TEST_F(WindowOpenTest, FailedOpensLeaveThePlateWithItsSource)
{
    ASSERT_EQ(ExecuteCommand(("open \"" + m_Plate + "\"").c_str()), 0);
    const NKGeometry *pPlate = g_pModel->pFrames[0].pGeometry;
    const std::string removed = m_Dir + "/removed.nkf", notes = m_Dir + "/notes.txt";
    ASSERT_TRUE(NKTestWriteText(notes, "These are notes, not a model.\n"));
    const struct {
        std::string file;
        std::function<void(WindowOpenTest *, const std::string &)> open;
        std::string error;
    } cases[] = {
        {removed, &WindowOpenTest::OpenRecent, "Unable to open file for reading: " + removed},
        {notes, &WindowOpenTest::OpenThroughTheDialog, "Unable to auto-detect primary file type."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        MessageCapture capture;
        c.open(this, c.file);
        EXPECT_FALSE(capture.Contains("Closing NKF file.")) << capture.Text();
        EXPECT_EQ(NKGetStatusbarText(0), c.error);
        ASSERT_EQ(g_pModel->iNumFrames, 1);
        EXPECT_EQ(g_pModel->pFrames[0].pGeometry, pPlate);
        EXPECT_EQ(SourceFile(), m_Plate);
    }
    ASSERT_GT(NKGetInterfaceNumSteps(), 1);
    EXPECT_EQ(NKMainWindowCommand(NK_MENU_PLAY), 0);
    EXPECT_EQ(g_pModel->iNumFrames, NKGetInterfaceNumSteps());
    EXPECT_NE(g_pModel->animationType, 0);
}

// An LS-DYNA database of five states whose third and fifth are refused (a
// node coordinate that is not finite) opened from the window: Step forward
// from state 2 goes on to state 4 and Step backward back to state 2, the
// status line naming the refused state; Play plays states 1, 2 and 4,
// saying that it passed over states 3 and 5, and Step then steps over those
// frames. With every state refused Play and Step say so and change nothing.
TEST_F(WindowOpenTest, StepAndPlayGoPastRefusedStates)
{
    const std::string db = m_Dir + "/d3plot";
    ASSERT_TRUE(LSDynaSaveFamilyWithBadStates(db, 5, {3, 5}));
    OpenRecent(db);
    ASSERT_EQ(NKGetInterfaceNumSteps(), 5);
    ASSERT_EQ(ExecuteCommand("readstate 2 1 1"), 0);
    const std::string refusal =
        "LS-DYNA file " + db + ": state 3 is refused, the coordinates of node 3 are not finite.";
    const struct {
        int iId;
        int iStep;
        const char *pszSaid;
    } steps[] = {{NK_MENU_STEPFORWARD, 3, "State 3 is refused: stepped on to state 4."},
                 {NK_MENU_STEPBACKWARD, 1, "State 3 is refused: stepped on to state 2."}};
    for (const auto &step : steps) {
        SCOPED_TRACE(step.pszSaid);
        MessageCapture capture;
        NKSetStatusbarText("Done.", 0);
        EXPECT_EQ(NKMainWindowCommand(step.iId), 0);
        ASSERT_EQ(g_pModel->iNumFrames, 1);
        EXPECT_EQ(g_pModel->pFrames[0].iStepIndex, step.iStep);
        EXPECT_EQ(NKGetCurrentStep(), step.iStep);
        EXPECT_EQ(NKGetStatusbarText(0), refusal);
        EXPECT_TRUE(capture.Contains(step.pszSaid)) << capture.Text();
    }
    MessageCapture capture;
    EXPECT_EQ(NKMainWindowCommand(NK_MENU_PLAY), 0);
    EXPECT_TRUE(capture.Contains(refusal)) << capture.Text();
    EXPECT_TRUE(capture.Contains("Play passes over refused states 3, 5.")) << capture.Text();
    std::vector<int> played;
    for (int i = 0; i < g_pModel->iNumFrames; i++)
        played.push_back(g_pModel->pFrames[i].iStepIndex);
    EXPECT_EQ(played, (std::vector<int>{0, 1, 3}));
    EXPECT_NE(g_pModel->animationType, 0);
    EXPECT_EQ(NKGetStatusbarText(0), refusal);
    // Held in memory, Step goes from frame to frame: state 2, then state 4.
    ASSERT_EQ(ExecuteCommand("anim_run 2 2"), 0);
    EXPECT_EQ(NKMainWindowCommand(NK_MENU_STEPFORWARD), 0);
    EXPECT_EQ(g_pModel->pFrames[g_pModel->iCurrentFrame].iStepIndex, 3);

    // Every state refused: Play says so once on the status line, and
    // nothing plays; Step stays where it is.
    ASSERT_TRUE(LSDynaSaveFamilyWithBadStates(db, 3, {1, 2, 3}));
    OpenRecent(db);
    ASSERT_EQ(NKGetInterfaceNumSteps(), 3);
    const NKGeometry *pOpened = g_pModel->pFrames[0].pGeometry;
    EXPECT_EQ(NKMainWindowCommand(NK_MENU_PLAY), 0);
    EXPECT_EQ(NKGetStatusbarText(0), "No state of the data source reads: nothing plays.");
    EXPECT_EQ(g_pModel->iNumFrames, 1);
    EXPECT_EQ(g_pModel->animationType, 0);
    EXPECT_EQ(NKMainWindowCommand(NK_MENU_STEPFORWARD), 0);
    EXPECT_EQ(NKGetStatusbarText(0), "No state after state 1 reads: state 1 stays.");
    EXPECT_EQ(g_pModel->pFrames[0].pGeometry, pOpened);
}

// Step forward at the last state, which read when it was shown and is
// refused since (the file cut inside it): the refusal is said once and on
// the status line, with no word of states after it, and the state shown
// stays, frame and all.
TEST_F(WindowOpenTest, StepForwardAtTheLastStateRefusedAfterItWasReadKeepsIt)
{
    const std::string db = m_Dir + "/d3plot";
    ASSERT_TRUE(LSDynaSaveFamilyWithBadStates(db, 3, {}));
    OpenRecent(db);
    ASSERT_EQ(NKGetInterfaceNumSteps(), 3);
    ASSERT_EQ(ExecuteCommand("readstate 3 1 1"), 0);
    ASSERT_EQ(g_pModel->iNumFrames, 1);
    const NKGeometry *pShown = g_pModel->pFrames[0].pGeometry;
    ASSERT_EQ(g_pModel->pFrames[0].iStepIndex, 2);
    std::filesystem::resize_file(db, std::filesystem::file_size(db) - 8);
    const std::string refusal =
        "LS-DYNA file " + db +
        ": state 3 is refused, the file changed on disk after it was opened.";
    MessageCapture capture;
    NKSetStatusbarText("Done.", 0);
    EXPECT_EQ(NKMainWindowCommand(NK_MENU_STEPFORWARD), 0);
    EXPECT_EQ(std::count_if(capture.Lines().begin(), capture.Lines().end(),
                            [](const CapturedLine &l) {
                                return l.text.find("is refused") != std::string::npos;
                            }),
              1)
        << capture.Text();
    EXPECT_TRUE(capture.Contains(refusal)) << capture.Text();
    EXPECT_FALSE(capture.Contains("No state after")) << capture.Text();
    EXPECT_EQ(NKGetStatusbarText(0), refusal);
    ASSERT_EQ(g_pModel->iNumFrames, 1);
    EXPECT_EQ(g_pModel->pFrames[0].pGeometry, pShown);
    EXPECT_EQ(g_pModel->pFrames[0].iStepIndex, 2);
    EXPECT_EQ(NKGetCurrentStep(), 2);
}

// Every place that plays passes refused states the same way: the tool
// bar's Play and Play backward, the Animation menu's Play and the view's
// Results Menu's Launch Animation, over families whose last state reads,
// whose last state is refused, with refused states in a row, and with
// every state refused. The first refusal is printed once and no other,
// the warning names each state passed over once, and the states that read
// play to the last of them; with none that reads nothing changes.
TEST_F(WindowOpenTest, EveryPlacePlaysTheStatesThatRead)
{
    const struct {
        const char *pszName;
        std::function<void()> play;
        int iType;  // the animation's direction: 1 forward, 2 backward
    } places[] = {
        {"tool bar Play", [] { NKGetToolbarAction(40325)->trigger(); }, 1},
        {"tool bar Play backward", [] { NKGetToolbarAction(40320)->trigger(); }, 2},
        {"Animation menu Play",
         [] {
             InitMenuPopup();
             NKGetMenuAction(NK_MENU_PLAY)->trigger();
         },
         1},
        {"Results Menu Launch Animation", [this] { ClickResultsMenuItem(702); }, 1},
    };
    const struct {
        int iStates;
        std::vector<int> bad;     // 1-based
        std::vector<int> played;  // 0-based steps; empty: nothing plays
        const char *pszWarning;
    } families[] = {
        {5, {3}, {0, 1, 3, 4}, "Play passes over refused state 3."},
        {5, {3, 5}, {0, 1, 3}, "Play passes over refused states 3, 5."},
        {6, {2, 3, 6}, {0, 3, 4}, "Play passes over refused states 2-3, 6."},
        {3, {1, 2, 3}, {}, "No state of the data source reads: nothing plays."},
    };
    const std::string db = m_Dir + "/d3plot";
    for (const auto &family : families) {
        for (const auto &place : places) {
            SCOPED_TRACE(std::string(place.pszName) + ", " + family.pszWarning);
            ASSERT_TRUE(LSDynaSaveFamilyWithBadStates(db, family.iStates, family.bad));
            OpenRecent(db);
            ASSERT_EQ(NKGetInterfaceNumSteps(), family.iStates);
            const NKGeometry *pOpened = g_pModel->pFrames[0].pGeometry;
            const std::string refusal = NKString::FromFormat("LS-DYNA file %s: state %d is "
                                                             "refused, the coordinates of node 3 "
                                                             "are not finite.",
                                                             db.c_str(), family.bad[0])
                                            .GetText();
            MessageCapture capture;
            place.play();
            const auto said = [&capture](const std::string &fragment) {
                return std::count_if(capture.Lines().begin(), capture.Lines().end(),
                                     [&](const CapturedLine &l) {
                                         return l.text.find(fragment) != std::string::npos;
                                     });
            };
            EXPECT_EQ(said("is refused"), 1) << capture.Text();
            EXPECT_EQ(said(refusal), 1) << capture.Text();
            EXPECT_EQ(said(family.pszWarning), 1) << capture.Text();
            std::vector<int> played;
            for (int i = 0; i < g_pModel->iNumFrames && !family.played.empty(); i++)
                played.push_back(g_pModel->pFrames[i].iStepIndex);
            EXPECT_EQ(played, family.played);
            if (family.played.empty()) {
                EXPECT_EQ(NKGetStatusbarText(0), family.pszWarning);
                EXPECT_EQ(g_pModel->iNumFrames, 1);
                EXPECT_EQ(g_pModel->pFrames[0].pGeometry, pOpened);
                EXPECT_EQ(g_pModel->animationType, 0);
                continue;
            }
            EXPECT_EQ(NKGetStatusbarText(0), refusal);
            EXPECT_EQ(g_pModel->animationType, place.iType);
            EXPECT_EQ(g_pModel->iAnimationFromFrame, 0);
            EXPECT_EQ(g_pModel->iAnimationToFrame, g_pModel->iNumFrames - 1);
            ASSERT_EQ(ExecuteCommand("noanim"), 0);
        }
    }
}

// With the site's file beside the program, File > Open of the beam lists
// the beam's results, the plate opened next lists the plate's, and a
// scalar clicked becomes the fringes shown. A user's own file runs instead,
// an empty one too.
TEST_F(WindowOpenTest, TheSiteFileBuildsTheResultsMenuAndTheUsersFileReplacesIt)
{
    InstallSiteFile();
    OpenThroughTheDialog(m_Beam);
    ASSERT_NE(g_pGLMenu, nullptr);
    EXPECT_TRUE(g_pGLMenu->bResultsMenu && g_pGLMenu->shown);
    const std::vector<std::string> beam = SourceScalars();
    EXPECT_EQ(BranchTexts(1000), beam);

    OpenRecent(m_Plate);
    ASSERT_NE(g_pGLMenu, nullptr);
    const std::vector<std::string> plate = SourceScalars();
    EXPECT_NE(plate, beam);
    EXPECT_EQ(BranchTexts(1000), plate);
    const int iLast = NKGetInterfaceNumScalars() - 1;
    ASSERT_GE(iLast, 0);
    EXPECT_FALSE(NKAllPartsFringes());  // the parts' own colours until a result is chosen
    EXPECT_TRUE(NKGLMenuExecuteItem(g_pGLMenu, 1001 + iLast));
    EXPECT_EQ(NKGetCurrentScalarIndex(), iLast);
    ASSERT_NE(g_pModel->pFrames[0].pScalar, nullptr);
    EXPECT_TRUE(NKAllPartsFringes());

    WriteUserFile("usermenu test\n");
    Drop(m_Beam);
    ASSERT_NE(g_pGLMenu, nullptr);
    EXPECT_STREQ(g_pGLMenu->title, "Test Menu");
    NKDestroyGLMenu();
    WriteUserFile("");
    Drop(m_Plate);
    EXPECT_EQ(g_pGLMenu, nullptr);
}

// File > Open of a real database with the site's file: the parts show in
// their own colours with the legend switched on; the scalar chosen in the
// Results Menu shows as fringes at once. A command file that opens no
// model runs the site's file without an error.
TEST_F(WindowOpenTest, TheFirstViewAfterAnOpenShowsPartColoursThenTheChosenResult)
{
    NK_SKIP_WITHOUT_SHARED_TESTDATA();
    InstallSiteFile();
    OpenThroughTheDialog(NKTestSharedDataDir() +
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
TEST_F(WindowOpenTest, AWindowOpenShowsItsFirstWarningOnTheStatusLine)
{
    NK_SKIP_WITHOUT_SHARED_TESTDATA();
    const std::string from =
        NKTestSharedDataDir() + "/lsdyna/ansys-example-data/d3plot_projectile/";
    for (const char *pszName : {"d3plot", "d3plot02", "d3plot03"})
        std::filesystem::copy_file(from + pszName, m_Dir + "/" + pszName);
    const std::string d3plot = m_Dir + "/d3plot";
    NKSetStatusbarText(" ", 0);
    OpenThroughTheDialog(d3plot);
    ASSERT_TRUE(NKModelHasGeometry());
    const std::string warning =
        "States end there: LS-DYNA family file " + m_Dir + "/d3plot01 is missing";
    EXPECT_EQ(NKGetStatusbarText(0).rfind(warning, 0), 0u) << NKGetStatusbarText(0);

    NKSetStatusbarText(" ", 0);
    ASSERT_EQ(ExecuteCommand(("open \"" + d3plot + "\"").c_str()), 0);
    EXPECT_EQ(NKGetStatusbarText(0).find("is missing"), std::string::npos);
}

// A Results Menu built for one model: shown, it is built again for the next
// one where the user moved it, and until then its items run nothing;
// hidden, or without a model, it goes.
TEST_F(WindowOpenTest, AResultsMenuFollowsTheModel)
{
    ASSERT_EQ(ExecuteCommand(("opennkffile \"" + m_Beam + "\"").c_str()), 0);
    ASSERT_EQ(ExecuteCommand("usermenu res"), 0);
    g_pGLMenu->offsetX = 0.25f;
    ASSERT_EQ(ExecuteCommand(("opennkffile \"" + m_Plate + "\"").c_str()), 0);
    EXPECT_FALSE(NKGLMenuExecuteItem(g_pGLMenu, 1001));  // the beam's first scalar
    NKResultsMenuFollowModel();
    ASSERT_NE(g_pGLMenu, nullptr);
    EXPECT_EQ(BranchTexts(1000), SourceScalars());
    EXPECT_EQ(g_pGLMenu->offsetX, 0.25f);
    EXPECT_TRUE(NKGLMenuExecuteItem(g_pGLMenu, 1001));
    NKGLMenu *pKept = g_pGLMenu;
    NKResultsMenuFollowModel();  // the same model: the same menu
    EXPECT_EQ(g_pGLMenu, pKept);

    ASSERT_EQ(ExecuteCommand("usermenu hide"), 0);
    ASSERT_EQ(ExecuteCommand(("opennkffile \"" + m_Beam + "\"").c_str()), 0);
    NKResultsMenuFollowModel();
    EXPECT_EQ(g_pGLMenu, nullptr);

    ASSERT_EQ(ExecuteCommand("usermenu res"), 0);
    ASSERT_EQ(ExecuteCommand("closefiles"), 0);
    NKResultsMenuFollowModel();
    EXPECT_EQ(g_pGLMenu, nullptr);
}

// A file named on the command line or opened with File > Open that is
// missing or empty says why on the status line: an empty one is named as
// empty, though the terminal has the detection's lines first; of a command
// file that opens two empty files, the first.
TEST_F(WindowOpenTest, AFileThatFailsToOpenSaysWhyOnTheStatusLine)
{
    const std::string empty = m_Dir + "/empty.nkf", missing = m_Dir + "/missing.nkf";
    const std::string two = m_Dir + "/two.qlc", second = m_Dir + "/second.nkf";
    ASSERT_TRUE(NKTestWriteText(empty, "") && NKTestWriteText(second, ""));
    ASSERT_TRUE(NKTestWriteText(two, "open \"" + empty + "\"\nopen \"" + second + "\"\n"));
    const Road commandLine = {"command line", [](WindowOpenTest *, const std::string &f) {
                                  ParseCommandLine(f.c_str());
                              }};
    const Road dialog = Roads()[0];
    const std::string emptyLine = "File \"" + empty + "\": it is empty.";
    const struct {
        const Road &road;
        std::string file, error;
    } cases[] = {{commandLine, missing, "Unable to open file for reading: " + missing},
                 {commandLine, empty, emptyLine},
                 {dialog, empty, emptyLine},
                 {commandLine, two, emptyLine}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.road.pszName) + ": " + c.file);
        NKSetStatusbarText(" ", 0);
        MessageCapture capture;
        c.road.open(this, c.file);
        EXPECT_EQ(NKGetStatusbarText(0), c.error);
        EXPECT_FALSE(NKModelHasGeometry());
        if (c.file == empty) {
            EXPECT_TRUE(capture.HasLine("Unable to auto-detect primary file type.", NK_MSG_ERROR))
                << capture.Text();
        }
    }
}

// A status text longer than its part is cut with an ellipsis, and shows
// whole in a tool tip over the part; a short one shows as it is.
TEST_F(WindowOpenTest, TheStatusLineShowsALongErrorWholeOnHover)
{
    int aiRect[4];
    ASSERT_TRUE(NKGetStatusbarPartRect(0, aiRect));
    const std::string whole = "Unable to open file for reading: " + std::string(400, 'x') + ".nkf";
    NKSetStatusbarText(whole.c_str(), 0);
    const std::string shown = NKGetStatusbarShownText(0);
    EXPECT_LT(shown.size(), whole.size());
    EXPECT_EQ(shown.substr(0, 10), whole.substr(0, 10));
    QWidget *pBar = NKGetStatusbarWindow();
    const QPoint inside((aiRect[0] + aiRect[2]) / 2, (aiRect[1] + aiRect[3]) / 2);
    QHelpEvent help(QEvent::ToolTip, inside, pBar->mapToGlobal(inside));
    QCoreApplication::sendEvent(pBar, &help);
    EXPECT_EQ(QToolTip::text().toStdString(), whole);
    QToolTip::hideText();

    NKSetStatusbarText("Done.", 0);
    EXPECT_EQ(NKGetStatusbarShownText(0), "Done.");
}

// "readstate" on a model whose source holds no states, or that has no
// source, answers 1 and says why.
TEST_F(WindowOpenTest, ReadStateWithoutStatesSaysWhy)
{
    ASSERT_EQ(ExecuteCommand(("nkf open \"" + m_Plate + "\"").c_str()), 0);
    ASSERT_TRUE(NKModelHasGeometry());
    ASSERT_EQ(NKGetInterfaceType(), NK_INTERFACE_NONE);
    MessageCapture capture;
    EXPECT_EQ(ExecuteCommand("readstate 1 1"), 1);
    EXPECT_TRUE(capture.HasLine("readstate: No data source is open: there is no state to read",
                                NK_MSG_ERROR))
        << capture.Text();
}

namespace {

// The 3-D view as the display shows it.
QImage ViewOnScreen(QWindow *pView)
{
    return QGuiApplication::primaryScreen()->grabWindow(pView->winId()).toImage();
}

// The pixels of the middle of the view (where the model lies) within 8 of
// the colour in each channel.
int MiddlePixelsNear(const QImage &image, QRgb colour)
{
    int n = 0;
    for (int y = image.height() / 4; y < image.height() * 3 / 4; y++)
        for (int x = image.width() / 4; x < image.width() * 3 / 4; x++) {
            const QRgb p = image.pixel(x, y);
            n += std::abs(qRed(p) - qRed(colour)) <= 8 &&
                         std::abs(qGreen(p) - qGreen(colour)) <= 8 &&
                         std::abs(qBlue(p) - qBlue(colour)) <= 8
                     ? 1
                     : 0;
        }
    return n;
}

// The colour most pixels of the middle of the view have, black aside.
QRgb CommonestMiddleColour(const QImage &image)
{
    std::map<QRgb, int> counts;
    for (int y = image.height() / 4; y < image.height() * 3 / 4; y++)
        for (int x = image.width() / 4; x < image.width() * 3 / 4; x++)
            if ((image.pixel(x, y) & 0xffffffu) != 0) counts[image.pixel(x, y)]++;
    QRgb best = 0;
    int iBest = 0;
    for (const auto &c : counts)
        if (c.second > iBest) best = c.first, iBest = c.second;
    return best;
}

}  // namespace

// "None" chosen in the Results Menu after a result leaves no values to
// colour by: the model shows in its parts' own colours again, pixel for
// pixel as after the open, and not all in the legend's lowest colour.
TEST_F(WindowOpenTest, NoneAfterAChosenResultShowsThePartsOwnColours)
{
    InstallSiteFile();
    OpenThroughTheDialog(m_Beam);
    ASSERT_NE(g_pGLMenu, nullptr);
    ASSERT_EQ(ExecuteCommand("usermenu hide"), 0);  // the middle of the view is the model's
    ASSERT_TRUE(NKTestSetViewSize(640, 480));
    QImage own;
    ASSERT_TRUE(NKTestWaitFor(
        [&] {
            NKRedrawView();
            own = ViewOnScreen(m_pView);
            return MiddlePixelsNear(own, CommonestMiddleColour(own)) > 100;
        },
        "the parts' colours in the middle of the view"));
    const QRgb part = CommonestMiddleColour(own);
    const int iPartPixels = MiddlePixelsNear(own, part);
    EXPECT_TRUE(NKGLMenuExecuteItem(g_pGLMenu, 1001));
    ASSERT_TRUE(NKAllPartsFringes());
    EXPECT_TRUE(NKGLMenuExecuteItem(g_pGLMenu, 1500));
    EXPECT_EQ(NKGetCurrentScalarIndex(), -1);
    QImage none;
    EXPECT_TRUE(NKTestWaitFor(
        [&] {
            NKRedrawView();
            none = ViewOnScreen(m_pView);
            return MiddlePixelsNear(none, part) == iPartPixels;
        },
        "the parts' colours after None"))
        << MiddlePixelsNear(none, part) << " pixels of the parts' colour, " << iPartPixels
        << " after the open; the commonest is #" << std::hex << CommonestMiddleColour(none);
}

// A result chosen with the mouse in the Results Menu whose values hold a
// NaN reads with a warning, which shows on the status line as well as on
// the terminal.
TEST_F(WindowOpenTest, AResultsMenuChoiceShowsItsWarningOnTheStatusLine)
{
    // The beam with node 83 of its first scalar's first step not a number.
    std::string text = NKTestReadFile(m_Beam);
    size_t at = text.find("*RESULTS 1\n");
    ASSERT_NE(at, std::string::npos);
    // Past the block's line, its two directives and the first 82 values.
    for (int iLine = 0; iLine < 1 + 2 + 82; iLine++) at = text.find('\n', at) + 1;
    text.replace(at, text.find('\n', at) - at, "nan");
    const std::string damaged = m_Dir + "/nan.nkf";
    ASSERT_TRUE(NKTestWriteText(damaged, text));
    InstallSiteFile();
    OpenThroughTheDialog(damaged);
    ASSERT_NE(g_pGLMenu, nullptr);
    ASSERT_TRUE(NKTestSetViewSize(640, 480));
    NKRedrawView();
    NKSetStatusbarText(" ", 0);

    m_pView->requestActivate();
    ASSERT_TRUE(NKTestWaitFor([this] { return QGuiApplication::focusWindow() == m_pView; },
                              "the keyboard focus on the view"));
    QTest::keyPress(m_pView, Qt::Key_F2);
    QTest::mouseClick(m_pView, Qt::LeftButton, Qt::NoModifier, NKTestMenuItemPoint(1000));
    MessageCapture capture;
    QTest::mouseClick(m_pView, Qt::LeftButton, Qt::NoModifier, NKTestMenuItemPoint(1001));
    QTest::keyRelease(m_pView, Qt::Key_F2);
    ASSERT_EQ(NKGetCurrentScalarIndex(), 0);
    const std::string status = NKGetStatusbarText(0);
    EXPECT_NE(status.find("NaN or -inf result values: 1, the first is value 83"), std::string::npos)
        << status;
    EXPECT_TRUE(capture.HasLine(status, NK_MSG_WARNING)) << capture.Text();
}
