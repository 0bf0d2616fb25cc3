// Tests of the general commands through the interpreter, without a window:
// one script of command lines with their results and messages (bars,
// navigation, picking, feedback, switches, the request server, shell and
// directory commands), the test grid read back, hot spots on shared
// geometries, and the layout of the system report.
#include <gtest/gtest.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/nk_gl_menu.h"
#include "app/nk_main_window.h"
#include "app/nk_pick_commands.h"
#include "app/nk_statusbar.h"
#include "app/nk_system_commands.h"
#include "app/nk_system_reports.h"
#include "app/nk_view_input.h"
#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "commands/nk_dde_server.h"
#include "core/nk_element_types.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_program_directory.h"
#include "core/nk_render_state.h"
#include "core/nk_view_state.h"
#include "readers/nk_data_source.h"
#include "render/nk_camera.h"
#include "render/nk_navigation.h"
#include "render/nk_view_settings.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

namespace {

std::string Machine()
{
    struct utsname name;
    return uname(&name) == 0 ? name.machine : "";
}

std::string CurrentDirectory()
{
    char buffer[4096];
    return getcwd(buffer, sizeof(buffer)) != nullptr ? buffer : "";
}

// The interpreter with the file and general commands, a model of one frame
// with one part, the view and graphics records, and every setting these
// commands change put back to its start value.
class SystemCommands : public NKModelTest {
protected:
    void SetUp() override
    {
        NKModelTest::SetUp();
        m_SavedHooks = NKSetModelHooks(NKModelHooks());
        NKInstallDataSources();
        NKRegisterFileCommands();
        NKRegisterSystemCommands();
        g_pViewSettings = NKCreateViewSettings(nullptr);
        g_pGraphicsSettings = &m_Graphics;
        m_Dir = NKTestMakeTempDir("quolin_system_commands_");
        m_StartDir = CurrentDirectory();
        ASSERT_EQ(chdir(m_Dir.c_str()), 0);
        // The request server's folder is missing, so "dde" fails the same
        // way whether or not an earlier test of the process made the event
        // loop it serves on.
        const char *pszRuntime = std::getenv("XDG_RUNTIME_DIR");
        m_bHadRuntime = pszRuntime != nullptr;
        m_SavedRuntime = m_bHadRuntime ? pszRuntime : "";
        setenv("XDG_RUNTIME_DIR", (m_Dir + "/missing").c_str(), 1);
        ResetSettings();
    }
    void TearDown() override
    {
        if (m_bHadRuntime)
            setenv("XDG_RUNTIME_DIR", m_SavedRuntime.c_str(), 1);
        else
            unsetenv("XDG_RUNTIME_DIR");
        ResetSettings();
        EXPECT_EQ(chdir(m_StartDir.c_str()), 0);
        NKCloseInterface();
        NKTestRemoveDir(m_Dir);
        NKFree(g_pViewSettings);
        g_pViewSettings = nullptr;
        g_pGraphicsSettings = nullptr;
        NKSetCommandHandler(NK_HANDLER_SYSTEM, nullptr);
        NKSetModelHooks(m_SavedHooks);
        NKModelTest::TearDown();
    }
    static void ResetSettings()
    {
        g_bPickInfoInSheet = g_bPickInfoInStatusbar = 0;
        g_iSavedSelectionFeedback = -1;
        NKSelectionFeedbackMode = 1;
        g_SelectionList.Clear();
        g_SelectionList = NKSelectionList();
        g_bRotationDisabled = 0;
        g_bPartTooltips = 0;
        NKSetNavigationMode(NK_NAVIGATION_STUDY);
        NKPartHighlightSettings = NKPartHighlight();
        g_InputState.fSensitivity = 1.0f;
        NKVertexArraySwitch = NKStrokeFontSwitch = 0;
        bDdeEnabled = 0;
        g_bExitRequested = 0;
        g_bStatusbarShown = 1;
        g_CommandRunner.bDebugCommands = false;
        NKSetShellSurface(1);
    }
    int Run(const std::string &line) { return ExecuteCommand(line.c_str()); }

    NKModelHooks m_SavedHooks;
    NKGraphicsSettings m_Graphics;
    std::string m_Dir, m_StartDir, m_SavedRuntime;
    bool m_bHadRuntime = false;
    MessageCapture m_Capture;
};

// One command line, its result and the lines it must show, in order (the
// level 0 matches any level; errors are checked at NK_MSG_ERROR).
struct ScriptStep {
    std::string line;
    int iResult;
    std::vector<std::string> expected;
    int iLevel;
};

// Expects the lines of the step among the captured ones, in their order.
void ExpectLinesInOrder(const MessageCapture &capture, const ScriptStep &step)
{
    size_t iNext = 0;
    for (const CapturedLine &l : capture.Lines()) {
        if (iNext < step.expected.size() && l.text == step.expected[iNext] &&
            (step.iLevel == 0 || l.iLevel == step.iLevel))
            iNext++;
    }
    EXPECT_EQ(iNext, step.expected.size())
        << step.line << ": missing \"" << (iNext < step.expected.size() ? step.expected[iNext] : "")
        << "\" in:\n"
        << capture.Text();
}

TEST_F(SystemCommands, ScriptOfCommandsGivesTheirMessagesAndResults)
{
    MakeFrames(1, 1);
    const std::string version = "Quolin Dulm version 6.4-00 for Linux (" + Machine() + ")";
    const std::string home = std::string("  home path: ") + NKGetProgramDirectory().GetText();
    const int E = NK_MSG_ERROR;
    const std::vector<ScriptStep> script = {
        {"pickinfo statusbar", 0, {"Show continous picking info in status bar."}, 0},
        {"pickinfo info",
         0,
         {"Show continous picking info in both status bar and info window."},
         0},
        {"nopickinfo st", 0, {"Show continous picking info in info window."}, 0},
        {"pickinfo zz", 0, {"Show continous picking info in info window."}, 0},
        {"nopickinfo", 0, {"Show no continous picking info."}, 0},
        {"navigate rotate off", 0, {"Rotation disabled."}, 0},
        {"walk", 0, {"Cannot enable walk navigation while rotation is disabled."}, 0},
        {"navigate",
         0,
         {"Navigation mode status:", "\tCurrent navigation mode is STUDY.",
          "\tRotation is disabled."},
         0},
        {"navigate rotate on", 0, {"Rotation enabled."}, 0},
        {"walk", 0, {"Enable walk navigation mode."}, 0},
        {"navigate", 0, {"\tCurrent navigation mode is WALK.", "\tRotation is enabled."}, 0},
        {"navigate sideways", 1, {"Sub command not found."}, E},
        {"study", 0, {"Enable study navigation mode"}, 0},
        {"version", 0, {version, home}, 0},
        {"selection_feedback 7", 0, {"Selection feedback set to 1."}, 0},
        {"selection_feedback 3", 0, {"Selection feedback set to 3."}, 0},
        {"pickmode nodes", 0, {"Picking mode set to nodes."}, 0},
        {"pickmode distance", 0, {"Picking mode set to distance."}, 0},
        {"pickmode elements", 0, {"Picking mode set to elements."}, 0},
        {"selection_feedback", 0, {"Selection feedback set to 1."}, 0},
        {"selectcolor 300 -5", 0, {"Set selected polygon color to red=255 green=0 blue=255.'"}, 0},
        {"shell bogus", 0, {"Shell middle surface"}, 0},
        {"shell inner", 0, {"Shell inner surface"}, 0},
        {"shell outer", 0, {"Shell outer surface"}, 0},
        {"sensitivity -2",
         1,
         {"sensitivity: Illegal mouse sensitivity factor -2.000000 (legal values > 0; def. 1.0)"},
         E},
        {"sensitivity 2.5", 0, {"Mouse sensitivity factor set to: 2.5 (default 1.0)."}, 0},
        {"sensitivity inf",
         1,
         {"sensitivity: Illegal mouse sensitivity factor inf (legal values > 0; def. 1.0)"},
         E},
        {"sensitivity", 0, {"Mouse sensitivity factor set to: 2.5 (default 1.0)."}, 0},
        {"tooltip", 0, {"Enable display of part description as tooltip."}, 0},
        {"tooltip off", 0, {"Disable display of part description as tooltip."}, 0},
        {"vertexarray", 0, {"Using Vertex array for drawing of polygons"}, 0},
        {"strokefonts", 0, {"Using stroke fonts to draw text"}, 0},
        {"nopolygonoffset", 0, {"Disable use of polygon offset."}, 0},
        {"polygoninfo", 0, {"Display of polygon info as part of pick info enabled."}, 0},
        {"dde", 1, {"dde: Error initializing DDE"}, E},
        {"dde debug", 0, {"Enable DDE debug mode."}, 0},
        {"nodde", 0, {"Disable DDE."}, 0},
        {"hotspot showall", 0, {"Showing all hot spots."}, 0},
        {"hotspot nohightlight", 0, {"Turn off highlighting of all hotspots."}, 0},
        {"hotspot off", 0, {"Disable use of hotspots."}, 0},
        {"hotspot 0 \"t\" f", 1, {"hotspot: Illegal part number 0"}, E},
        {"hotspot pump \"t\" f", 1, {"hotspot: Illegal part number pump"}, E},
        {"nostatusbar", 0, {"Disabled status bar"}, 0},
        {"nostatusbar", 1, {"Status bar already disabled"}, 0},
        {"statusbar", 0, {"Enabled statusbar"}, 0},
        {"menu", 0, {"Showing menu bar."}, 0},
        {"cd /no/such", 1, {"cd: Error setting working directory"}, E},
        {"cd " + m_Dir, 0, {"Working directory set to: " + m_Dir}, 0},
        {"pwd", 0, {"Current directory: " + m_Dir}, 0},
        {"; echo hi", 0, {"Shell command: echo hi", "hi"}, 0},
        {"; printf 'one\\ntwo\\n'", 0, {"one", "two"}, 0},
        {"grid3d 2 2 2 1 1 no/such/dir/g.nkf",
         1,
         {"Error creating binary NKF file: no/such/dir/g.nkf", "Error creating NKF export file",
          "grid3d: Error creating 3dgrid nkf file."},
         E},
        {"grid3d 2 x", 1, {}, 0},
        {"usermenu xyz", 1, {"usermenu: Error executing sub command"}, E},
        {"dump /no/such/dir/q.dbg",
         1,
         {"dump: Could not create dump file : /no/such/dir/q.dbg "},
         E},
        {"exit", 0, {"Exiting application"}, 0},
    };
    for (const ScriptStep &step : script) {
        m_Capture.Clear();
        EXPECT_EQ(Run(step.line), step.iResult) << step.line << "\n" << m_Capture.Text();
        ExpectLinesInOrder(m_Capture, step);
    }
    // What the script left in the settings.
    EXPECT_EQ(g_bPickInfoInSheet, 0);
    EXPECT_EQ(g_bPickInfoInStatusbar, 0);
    EXPECT_EQ(g_InputState.fSensitivity, 2.5f);
    EXPECT_EQ(NKVertexArraySwitch, 1);
    EXPECT_EQ(NKStrokeFontSwitch, 1);
    EXPECT_EQ(m_Graphics.bPolygonOffset, 0);
    EXPECT_EQ(g_pViewSettings->bHotSpotShowAll, 1);
    EXPECT_EQ(g_pViewSettings->bHotSpotsEnabled, 0);
    EXPECT_EQ(bDdeEnabled, 0);
    EXPECT_EQ(g_bStatusbarShown, 1);
    EXPECT_FALSE(g_pModel->pFrames[0].pGeometry->pParts[0].hotSpot.bHasHotSpot);
    EXPECT_EQ(g_bExitRequested, 1);  // no main window: start-up ends the program
}

// The site's file-open command file builds the Results Menu, and a command
// file that opens no model runs it too: without a model the menu is made
// (empty of results) and the line answers 0, without an error.
TEST_F(SystemCommands, ResultsMenuWithoutAModelIsMadeWithoutAnError)
{
    ASSERT_EQ(g_pModel->iNumFrames, 0);
    m_Capture.Clear();
    EXPECT_EQ(Run("usermenu res"), 0) << m_Capture.Text();
    EXPECT_FALSE(m_Capture.Contains("Error")) << m_Capture.Text();
    ASSERT_NE(g_pGLMenu, nullptr);
    EXPECT_EQ(g_pGLMenu->bResultsMenu, 1);
    EXPECT_EQ(g_pGLMenu->shown, 1);
    EXPECT_EQ(g_pGLMenu->builtFor, "");
    NKDestroyGLMenu();
}

TEST_F(SystemCommands, NodePickingSavesFeedbackOnceAndElementsRestoreIt)
{
    NKSelectionFeedbackMode = 2;
    ASSERT_EQ(Run("pickmode nodes"), 0);
    EXPECT_EQ(NKSelectionFeedbackMode, 0);
    EXPECT_EQ(g_SelectionList.iMode, 4);
    EXPECT_TRUE(g_SelectionList.bEnabled);
    EXPECT_FALSE(g_SelectionList.bKeepPrevious);
    EXPECT_TRUE(g_SelectionList.bShowNodeInfo);
    ASSERT_EQ(Run("pickmode cutplane"), 0);  // the 0 in force now is not saved over the 2
    EXPECT_EQ(g_SelectionList.iMode, 7);
    ASSERT_EQ(Run("pickmode distance"), 0);
    EXPECT_TRUE(g_SelectionList.bKeepPrevious);
    NKPickInfo pick;
    pick.iFrame = 0;
    pick.iPart = 0;
    ASSERT_TRUE(g_SelectionList.Add(pick));
    ASSERT_EQ(Run("pickmode elements"), 0);
    EXPECT_EQ(g_SelectionList.iCount, 0);  // back to elements empties the list
    EXPECT_EQ(NKSelectionFeedbackMode, 2);
    EXPECT_FALSE(g_SelectionList.bEnabled);
    EXPECT_EQ(g_iSavedSelectionFeedback, -1);
    m_Capture.Clear();
    ASSERT_EQ(Run("pickmode"), 0);  // no word: an empty line, nothing changed
    EXPECT_TRUE(m_Capture.HasLine("", NK_MSG_INFO)) << m_Capture.Text();
    EXPECT_EQ(NKSelectionFeedbackMode, 2);
}

TEST_F(SystemCommands, WindowPositionReportsAloneAndStoresGivenValues)
{
    g_WindowPlacement.iX = 3;
    g_WindowPlacement.iY = 4;
    const int w = NKViewWindowSize.iWidth, h = NKViewWindowSize.iHeight;
    ASSERT_EQ(Run("winposition"), 0);
    EXPECT_TRUE(m_Capture.HasLine(
        NKString::FromFormat("Current main window position: 3 4. OpenGL window size: %d %d", w, h)
            .GetText()))
        << m_Capture.Text();
    EXPECT_EQ(g_WindowPlacement.iX, 3);
    ASSERT_EQ(Run("winposition 10 20"), 0);
    EXPECT_TRUE(m_Capture.HasLine(
        NKString::FromFormat("Setting window position to: 10 20. OpenGL window size: %d %d", w, h)
            .GetText()))
        << m_Capture.Text();
    EXPECT_EQ(g_WindowPlacement.iX, 10);
    EXPECT_EQ(g_WindowPlacement.iY, 20);
    g_WindowPlacement = NKWindowPlacement();
}

TEST_F(SystemCommands, Grid2DFixesBadSizesWritesTheGridAndReadsIt)
{
    ASSERT_EQ(Run("grid2d 0 2000"), 0) << m_Capture.Text();
    EXPECT_TRUE(m_Capture.HasLine("Generating 2dgrid (5x5) on file: 2dgrid.geo"))
        << m_Capture.Text();
    const std::string bytes = NKTestReadFile(m_Dir + "/2dgrid.geo");
    ASSERT_EQ(bytes.size(), 860u);  // 7 words, 36 nodes x 3 floats, 25 x 4 node numbers
    const int32_t aiHeader[7] = {1, 1, 36, 25, 100, 1, 25};
    for (int i = 0; i < 7; i++) {
        int32_t iWord = 0;
        std::memcpy(&iWord, bytes.data() + 4 * i, 4);
        EXPECT_EQ(iWord, aiHeader[i]) << "word " << i;
    }
    float fLastX = 0.0f;  // node 6 is (5 x dx, 0, 0) with dx back at 1.0
    std::memcpy(&fLastX, bytes.data() + 28 + 5 * 12, 4);
    EXPECT_EQ(fLastX, 5.0f);
    EXPECT_TRUE(NKModelHasGeometry());  // readgeo ran on the file
    EXPECT_EQ(Run("grid2d 2 2 0 0 \"no/such/dir/g.geo\""), 1);
}

// The NKF test grid: 2 x 2 x 2 hexahedra, a per-element scalar of the z
// layer and a per-node vector, opened as the primary file. A quoted name
// may hold a blank.
TEST_F(SystemCommands, Grid3DWritesTheGridAndOpensIt)
{
    ASSERT_EQ(Run("grid3d 2 2 2 1 1 \"g h.nkf\""), 0) << m_Capture.Text();
    EXPECT_TRUE(m_Capture.Contains("g h.nkf")) << m_Capture.Text();
    ASSERT_EQ(g_pModel->iNumFrames, 1);
    const NKPart *pPart = &g_pModel->pFrames[0].pGeometry->pParts[0];
    ASSERT_EQ(pPart->iNumNodes, 27);
    EXPECT_EQ(pPart->iNumPolygons, 24);
    for (int n = 0; n < 27; n++) EXPECT_EQ(pPart->pNodeIDs[n], n);
    m_Capture.Clear();
    ASSERT_EQ(Run("readstate 1 1 1"), 0) << m_Capture.Text();
    for (const CapturedLine &line : m_Capture.Lines())
        EXPECT_NE(line.iLevel, NK_MSG_ERROR) << line.text;
    const NKFrame &frame = g_pModel->pFrames[0];
    ASSERT_NE(frame.pScalar, nullptr);
    ASSERT_NE(frame.pScalar->pElementResults, nullptr);
    const NKScalarPartEntry &values = frame.pScalar->pElementResults[0];
    ASSERT_EQ(values.iCount, 8);
    const float afLayers[8] = {0, 0, 0, 0, 1, 1, 1, 1};
    for (int e = 0; e < 8; e++) EXPECT_EQ(values.pNodeValues[e], afLayers[e]) << e;
    EXPECT_STREQ(frame.pScalar->szDescription.GetText(), "Scalar 1");
    ASSERT_NE(frame.pVector, nullptr);
    EXPECT_STREQ(frame.pVector->szDescription.GetText(), "Vector 1");
}

TEST_F(SystemCommands, HotSpotGoesToThatPartOfEveryGeometryLargeEnough)
{
    NKGeometry *pLarge = NKTestMakeGeometry(3);
    NKGeometry *pSmall = NKTestMakeGeometry(2);
    ASSERT_TRUE(NKSetFrameCount(3, false));
    NKTestFillFrame(&g_pModel->pFrames[0], pLarge, 0);
    NKTestFillFrame(&g_pModel->pFrames[1], pSmall, 1);
    NKTestFillFrame(&g_pModel->pFrames[2], pLarge, 2);
    ASSERT_EQ(Run("hotspot 3 \"Pump housing\" [ docs/pump [a].txt ]"), 0) << m_Capture.Text();
    EXPECT_TRUE(m_Capture.HasLine("Enable hotspot for part 3"));
    const NKHotSpot &spot = pLarge->pParts[2].hotSpot;
    EXPECT_EQ(spot.bHasHotSpot, 1);
    EXPECT_STREQ(spot.szText.GetText(), "Pump housing");
    EXPECT_STREQ(spot.szFile.GetText(), "docs/pump a.txt");
    EXPECT_EQ(spot.bBracketedFile, 1);
    EXPECT_EQ(pLarge->pParts[1].hotSpot.bHasHotSpot, 0);
    for (int i = 0; i < 2; i++) EXPECT_EQ(pSmall->pParts[i].hotSpot.bHasHotSpot, 0);
    EXPECT_EQ(g_pViewSettings->bHotSpotsEnabled, 1);

    ASSERT_EQ(Run("hotspot 2 \"Valve\"   notes.txt  "), 0);
    for (NKGeometry *pGeo : {pLarge, pSmall}) {
        EXPECT_STREQ(pGeo->pParts[1].hotSpot.szText.GetText(), "Valve");
        EXPECT_STREQ(pGeo->pParts[1].hotSpot.szFile.GetText(), "notes.txt");
        EXPECT_EQ(pGeo->pParts[1].hotSpot.bBracketedFile, 0);
    }
    m_Capture.Clear();
    EXPECT_EQ(Run("hotspot"), 0);  // nothing to do
    EXPECT_TRUE(m_Capture.Lines().empty() || !m_Capture.Contains("hotspot for"));
}

TEST_F(SystemCommands, NullEntryIsNotThisHandlers)
{
    EXPECT_EQ(NKCommandHandleSystem(nullptr, "PARAMS"), NK_CMD_NOT_MINE);
}

TEST(SystemReport, KeepsTheLineLayoutAndRoundsMegabytesUp)
{
    NKSystemFacts facts;
    facts.szMachine = "x86_64";
    facts.szProcessorModel = "Test CPU @ 2.00GHz";
    facts.iNumProcessors = 8;
    facts.uTotalMemory = 1048577;      // one byte over a megabyte
    facts.uAvailableMemory = 1048576;  // exactly one
    facts.szKernelRelease = "6.1.0-13-amd64";
    facts.szDescription = "Debian GNU/Linux 12 (bookworm)";
    facts.szLanguage = "de_DE.UTF-8";
    EXPECT_STREQ(NKComposeSystemReport(facts).GetText(),
                 "System information:\n"
                 "  Hardware:\n"
                 "    Processor architecture: Intel\n"
                 "    Processor type: Test CPU @ 2.00GHz\n"
                 "    Number of processors: 8\n"
                 "    Total physical memory: 1024KB (2MB)\n"
                 "    Available physical memory: 1024KB (1MB)\n"
                 "\n"
                 "  Operating system:\n"
                 "    Platform: Linux\n"
                 "    Version: 6.1 (build 0)\n"
                 "    Version description: Debian GNU/Linux 12 (bookworm)\n"
                 "    System directory: /usr/lib\n"
                 "    Language: German.");
    facts.szMachine = "aarch64";
    facts.uTotalMemory = 64ull << 30;  // past what 32 bits of kilobytes hold in bytes
    const std::string text = NKComposeSystemReport(facts).GetText();
    EXPECT_NE(text.find("architecture: Unknown\n"), std::string::npos);
    EXPECT_NE(text.find("Total physical memory: 67108864KB (65536MB)"), std::string::npos);
}

TEST(SystemReport, LanguageFromTheLocaleName)
{
    const struct {
        const char *pszLocale, *pszName;
    } cases[] = {{"en_GB.UTF-8", "English"}, {"ja_JP", "Japanese"}, {"nb_NO.UTF-8", "Norwegian"},
                 {"fr", "French"},           {"sv_SE", "Swedish"},  {"da_DK", "Danish"},
                 {"es_ES.UTF-8", "Spanish"}, {"C", "Unknown"},      {"", "Unknown"},
                 {"en", "English"},          {"end", "Unknown"},    {nullptr, "Unknown"}};
    for (const auto &c : cases)
        EXPECT_STREQ(NKLanguageName(c.pszLocale), c.pszName)
            << (c.pszLocale ? c.pszLocale : "null");
}

}  // namespace
