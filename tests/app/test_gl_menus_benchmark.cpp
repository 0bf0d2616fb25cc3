// Tests of the in-view menu (`usermenu`, the Results Menu, picking), the
// drawing benchmark and the batch reports, on the program's window with
// beam.nkf. A recording handler first in the chain logs every command line
// before the file commands see it.
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/nk_benchmark.h"
#include "app/nk_gl_menu.h"
#include "commands/nk_batch_reports.h"
#include "core/nk_frames.h"
#include "core/nk_message.h"
#include "core/nk_render_state.h"
#include "render/nk_fringe_commands.h"
#include "render/nk_scene_view.h"
#include "render/nk_text_list.h"
#include "tests/app/app_window_fixture.h"
#include "tests/app/gl_menu_test_point.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/test_support/gl_feedback.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

namespace {

std::vector<std::string> &Logged()
{
    static std::vector<std::string> s_Lines;
    return s_Lines;
}

// Logs "<command> <arguments>" and hands the line on to the file commands.
int RecordingHandler(CommandTableEntry *pEntry, const char *pszArguments)
{
    std::string line = pEntry->name;
    std::string args = std::string(pszArguments).substr(6);  // behind "PARAMS"
    while (!args.empty() && args.back() == ' ') args.pop_back();
    Logged().push_back(line + args);
    return NKCommandHandleFiles(pEntry, pszArguments);
}

std::vector<std::string> ReadLines(const std::string &path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string ReadAll(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class MenusBenchmarkTest : public ProgramWindowTest {
protected:
    void SetUp() override
    {
        ProgramWindowTest::SetUp();
        NKSetCommandHandler(NK_HANDLER_FILES, RecordingHandler);
        m_Dir = NKTestMakeTempDir("quolin_menus_");
        ASSERT_FALSE(m_Dir.empty());
        m_OldDir = std::filesystem::current_path();
        std::filesystem::current_path(m_Dir);
        Logged().clear();
    }
    void TearDown() override
    {
        NKDestroyGLMenu();
        std::filesystem::current_path(m_OldDir);
        std::filesystem::remove_all(m_Dir);
        ProgramWindowTest::TearDown();
    }
    void OpenBeam()
    {
        const std::string line = "open \"" + NKTestExamplePath("beam.nkf") + "\"";
        ASSERT_EQ(ExecuteCommand(line.c_str()), NK_CMD_DONE);
        Logged().clear();
    }
    int Slot(int iId)
    {
        const NKGLMenuItem *pItem = NKGLMenuFindItem(g_pGLMenu->root, iId);
        return pItem != nullptr ? pItem->slot : -99;
    }
    std::string m_Dir;
    std::filesystem::path m_OldDir;
    MessageCapture m_Capture;
};

TEST(FormatDuration, PartsInOrderWithSingularForms)
{
    const struct {
        int64_t iMs;
        const char *pszText;
    } cases[] = {{3723004, "1 hour, 2 minutes, 3 seconds, 4 ms"},
                 {1000, "1 second"},
                 {0, ""},
                 {90061001, "1 day, 1 hour, 1 minute, 1 second, 1 ms"},
                 {3000000000LL, "34 days, 17 hours, 20 minutes"}};
    for (const auto &c : cases) EXPECT_STREQ(FormatDuration(c.iMs).GetText(), c.pszText) << c.iMs;
}

TEST(BenchmarkScores, ScoresAreWeightedAgainstTheReference)
{
    NKBenchmark record = NKMakeBenchmarkRecord();
    record.entries[0].iValue = NKGetReferenceBenchmark().entries[0].iValue;
    EXPECT_NEAR(record.GetScore(0), 10.0, 1e-12);
    EXPECT_NEAR(record.GetTotalScore(), 1.304, 5e-4);
    EXPECT_NEAR(NKGetReferenceBenchmark().GetTotalScore(), 10.0, 1e-9);
    EXPECT_EQ(NKGetReferenceBenchmark().GetSum(), 10227591);
    EXPECT_EQ(MeasureRate(0, 100), 0);  // no time elapsed: no rate
}

TEST_F(MenusBenchmarkTest, BenchmarkRunsTheModesAndAppendsItsRows)
{
    EXPECT_EQ(ExecuteCommand("benchmark 1"), 1);
    EXPECT_TRUE(m_Capture.HasLine("benchmark: No model is loaded")) << m_Capture.Text();
    EXPECT_FALSE(std::filesystem::exists("benchmark.txt"));
    OpenBeam();
    ASSERT_EQ(ExecuteCommand("benchmark 1"), 0);
    const std::vector<std::string> modes = {
        "noanim",        "nomesh",         "surface",     "notexturefringes", "fringeshade",
        "nofringes",     "nolegend",       "smooth",      "nosmooth",         "lines",
        "points",        "surface",        "mesh",        "nomesh",           "fringes",
        "fringeshade",   "legend",         "lines",       "points",           "surface",
        "nofringeshade", "texturefringes", "fringeshade", "nofringeshade",    "nofringes",
        "nolegend",      "surface"};
    std::vector<std::string> logged(Logged().begin() + 1, Logged().end());  // behind "benchmark"
    EXPECT_EQ(logged, modes);
    const std::string text = ReadAll("benchmark.txt");
    const std::string head =
        "Benchmark file generated from Quolin\n\n"
        "Machine;Graphics board;Polygons;Smooth Polygons;Lines;Points;Polygons w/mesh;Fringes "
        "polygons;Fringes lines;Fringes points;Fr. polys no light;Textured Fringes;Textured "
        "Fringes no light;Total Score\n"
        "Pentium III 500 MHz;Evans & Sutherland AccelGALAXY;280345;248444;1946670;3563341;"
        "149372;172718;1192645;1867029;313652;209090;284285;10.0\n"
        "Pentium III 500 MHz;Evans & Sutherland AccelGALAXY;10.0;10.0;10.0;10.0;10.0;10.0;10.0;"
        "10.0;10.0;10.0;10.0;10.0\n\n";
    ASSERT_EQ(text.substr(0, head.size()), head);
    std::vector<std::string> lines = ReadLines("benchmark.txt");
    ASSERT_EQ(lines.size(), 9u);
    const std::string machine = "Linux (";
    EXPECT_EQ(lines[6].rfind(machine, 0), 0u) << lines[6];
    EXPECT_EQ(lines[7].rfind(machine, 0), 0u) << lines[7];
    EXPECT_EQ(lines[6].substr(0, lines[6].find(';', lines[6].find(';') + 1)),
              lines[7].substr(0, lines[7].find(';', lines[7].find(';') + 1)));
    EXPECT_EQ(lines[8], "");
    ASSERT_EQ(ExecuteCommand("benchmark 0"), 0);  // a count below 1 counts as 1
    lines = ReadLines("benchmark.txt");
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[9].rfind(machine, 0), 0u);
    EXPECT_EQ(lines[11], "");
    EXPECT_EQ(ReadAll("benchmark.txt").substr(0, text.size()), text);
    // Run while a caller keeps output off, it gives back only the request it
    // took: output is on again once the caller gives back its own.
    NKToggleMessageOutput(false);
    ASSERT_EQ(ExecuteCommand("benchmark 1"), 0);
    NKToggleMessageOutput(true);
    EXPECT_EQ(NKGetMessageOffCount(), 0);
    EXPECT_TRUE(NKIsMessageOutputOn());
    // A file that cannot be replaced is reported and nothing is left behind.
    std::filesystem::remove("benchmark.txt");
    std::filesystem::create_directory("benchmark.txt");
    m_Capture.Clear();
    EXPECT_EQ(ExecuteCommand("benchmark"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Error opening output file")) << m_Capture.Text();
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(MenusBenchmarkTest, BatchReportsWalkTheFolderThroughCommandLines)
{
    std::filesystem::create_directory("data");
    std::filesystem::copy_file(NKTestExamplePath("beam.nkf"), "data/beam.nkf");
    {
        std::ofstream("data/QuolinTest.log") << "old\n";
    }
    const std::filesystem::path before = std::filesystem::current_path();
    ASSERT_TRUE(std::filesystem::exists("data/beam.nkf"));
    std::filesystem::current_path("data");
    ASSERT_TRUE(NKCommandTestDir(".", "*.*", "QuolinTest.log"));
    std::vector<std::string> expected = {"Processing file: beam.nkf",
                                         "  File: beam.nkf openend successfully"};
    const std::vector<std::string> lines = ReadLines("QuolinTest.log");
    for (const char *pszState : {"1 1 1", "1 2 2", "2 1 1", "2 2 2", "3 1 1", "3 2 2"}) {
        expected.push_back(std::string("  Command: readstate ") + pszState);
        for (const char *pszRange : {"    Scalar node min/max: ", "    Scalar element min/max: ",
                                     "    Vector min/max: "}) {
            const size_t i = expected.size();
            ASSERT_LT(i, lines.size());
            EXPECT_EQ(lines[i].rfind(pszRange, 0), 0u) << lines[i];
            expected.push_back(lines[i]);
        }
    }
    expected.push_back("File complete: beam.nkf");
    expected.push_back("");
    EXPECT_EQ(lines, expected);
    EXPECT_NE(std::find(Logged().begin(), Logged().end(), "closefiles"), Logged().end());

    ASSERT_TRUE(NKCommandTestOpenPerf(".", "*.nkf", "../perf.log"));
    const std::vector<std::string> perf = ReadLines("../perf.log");
    ASSERT_EQ(perf.size(), 5u);
    EXPECT_EQ(perf[0], "File: beam.nkf");
    EXPECT_EQ(perf[1], "  Size:          11955");
    EXPECT_EQ(perf[2], "  Nodes:         99");
    EXPECT_EQ(perf[3], "  Elements:      40");
    EXPECT_EQ(perf[4].rfind("  Time to load:  ", 0), 0u);
    std::filesystem::current_path(before);

    m_Capture.Clear();
    EXPECT_FALSE(NKCommandTestDir("data", "*.*", "no/such/dir/out.log"));
    EXPECT_TRUE(m_Capture.HasLine("Illegal output file specified")) << m_Capture.Text();
    EXPECT_EQ(std::filesystem::current_path(), before);
    // A folder that is not there: an empty report, the directory kept.
    EXPECT_TRUE(NKCommandTestDir("no_such_folder", "*.*", "empty.log"));
    EXPECT_EQ(std::filesystem::current_path(), before);
    EXPECT_EQ(ReadAll("empty.log"), "");
}

TEST_F(MenusBenchmarkTest, UserMenuBuildsMovesAndDeletesItems)
{
    OpenBeam();
    m_Capture.Clear();
    EXPECT_EQ(ExecuteCommand("usermenu xyz"), 1);
    EXPECT_TRUE(m_Capture.HasLine("usermenu: Error executing sub command")) << m_Capture.Text();
    m_Capture.Clear();
    EXPECT_EQ(ExecuteCommand("usermenu resetview"), 1);
    EXPECT_TRUE(m_Capture.HasLine("usermenu: Error executing sub command"));
    EXPECT_EQ(ExecuteCommand("usermenu show"), 0);  // no menu: nothing to show
    for (const char *pszLine :
         {"usermenu new 1", "usermenu add 10", "usermenu add 11 10", "usermenu add 12 11",
          "usermenu branch 20 11", "usermenu add 15 10"})
        ASSERT_EQ(ExecuteCommand(pszLine), 0) << pszLine;
    EXPECT_STREQ(g_pGLMenu->title, "Menu 1");
    EXPECT_EQ(ExecuteCommand("usermenu new -2"), 1);  // refused: the menu stays
    EXPECT_STREQ(g_pGLMenu->title, "Menu 1");
    EXPECT_EQ(Slot(11), 2);
    EXPECT_EQ(Slot(12), 3);
    EXPECT_EQ(Slot(20), 2);
    EXPECT_EQ(NKGLMenuFindItem(g_pGLMenu->root, 20)->level, 1);
    ASSERT_EQ(ExecuteCommand("usermenu del 15"), 0);
    EXPECT_EQ(Slot(11), 1);
    EXPECT_EQ(Slot(12), 2);
    EXPECT_EQ(Slot(20), 1);
    EXPECT_EQ(ExecuteCommand("usermenu del 10"), 1);  // the root stays
    EXPECT_EQ(ExecuteCommand("usermenu add 30 99"), 1);
    EXPECT_EQ(ExecuteCommand("usermenu add"), 1);
    // -1 stands for the last added item: 15 is gone, so nothing is added.
    EXPECT_EQ(ExecuteCommand("usermenu add 16 -1"), 1);
    ASSERT_EQ(ExecuteCommand("usermenu add 17 12"), 0);
    ASSERT_EQ(ExecuteCommand("usermenu add 16 -1 Last one ^ ignored"), 0);
    EXPECT_STREQ(NKGLMenuFindItem(g_pGLMenu->root, 16)->text, "Last one");
    EXPECT_STREQ(NKGLMenuFindItem(g_pGLMenu->root, 17)->text, "Button 17");
    EXPECT_EQ(Slot(16), 4);
    g_pGLMenu->offsetX = 0.3f;
    EXPECT_EQ(ExecuteCommand("usermenu reset"), 0);
    EXPECT_EQ(g_pGLMenu->offsetX, 0.0f);
    EXPECT_EQ(g_pGLMenu->offsetZ, -0.8f);
    ASSERT_EQ(ExecuteCommand("usermenu test"), 0);
    EXPECT_STREQ(g_pGLMenu->title, "Test Menu");
    EXPECT_EQ(g_pGLMenu->shown, 1);
    EXPECT_EQ(Slot(4), 6);
    EXPECT_EQ(Slot(103), 3);
    EXPECT_EQ(ExecuteCommand("usermenu hide"), 0);
    EXPECT_EQ(g_pGLMenu->shown, 0);
    EXPECT_EQ(ExecuteCommand("usermenu kill"), 0);
    EXPECT_EQ(g_pGLMenu, nullptr);
}

TEST_F(MenusBenchmarkTest, ResultsMenuRunsCommandLinesAndShowsTheState)
{
    OpenBeam();
    ASSERT_EQ(ExecuteCommand("usermenu results"), 0);
    ASSERT_NE(g_pGLMenu, nullptr);
    EXPECT_STREQ(g_pGLMenu->title, "Results Menu");
    EXPECT_EQ(NKGLMenuFindItem(g_pGLMenu->root, 300), nullptr);  // one level: no LOD
    EXPECT_EQ(NKGLMenuFindItem(g_pGLMenu->root, 122), nullptr);
    EXPECT_TRUE(NKGLMenuIsItemEnabled(g_pGLMenu, 702));
    Logged().clear();
    EXPECT_TRUE(NKGLMenuExecuteItem(g_pGLMenu, 1002));
    EXPECT_TRUE(NKGLMenuExecuteItem(g_pGLMenu, 702));
    EXPECT_FALSE(NKGLMenuExecuteItem(g_pGLMenu, 100));   // a branch
    EXPECT_FALSE(NKGLMenuExecuteItem(g_pGLMenu, 3));     // disabled
    EXPECT_FALSE(NKGLMenuExecuteItem(g_pGLMenu, 9999));  // unknown
    ASSERT_GE(Logged().size(), 2u);
    EXPECT_EQ(Logged()[0], "readstate current 2 0");
    EXPECT_EQ(Logged().back(), "animresults 1 3 1");
    char szLine[64];
    NKGLMenuItemCommand(g_pGLMenu, 103, szLine, sizeof szLine);
    EXPECT_STREQ(szLine, "lines");

    // The step text of the current frame.
    NKDestroyModel(g_pModel);
    g_pModel = NKCreateModel();
    NKGeometry *pGeo = NKTestMakeGeometry(1);
    ASSERT_TRUE(NKSetFrameCount(10, false));
    for (int i = 0; i < 10; i++) NKTestFillFrame(&g_pModel->pFrames[i], pGeo, i);
    g_pModel->pFrames[1].szDescription = NKString(" t=0.5 ");
    g_pModel->iCurrentFrame = 1;
    const NKString savedPrefix = g_szStepText;
    g_szStepText = NKString("Time ");
    NKGLMenuUpdateStepText(g_pGLMenu, -1);
    EXPECT_STREQ(NKGLMenuFindItem(g_pGLMenu->root, 3)->text, "Time: t=0.5 (2 of 10)");
    g_szStepText = savedPrefix;
}

// Every fixed item of the Results Menu on beam.nkf: its label, and the line
// it runs with its check mark off and on (the same line for a plain item;
// none for an item that runs nothing). Running the item issues that line.
TEST_F(MenusBenchmarkTest, ResultsMenuItemsRunTheLineOfTheirState)
{
    struct Row {
        int iId;
        const char *pszLabel;
        const char *pszOff;
        const char *pszOn;
    };
    const Row rows[] = {
        {101, "Display Model", "model", "nomodel"},
        {102, "Show As Surface", "surface", "surface"},
        {103, "Show As Lines", "lines", "lines"},
        {104, "Show As Points", "points", "points"},
        {105, "Show As Outline", "outline", "outline"},
        {106, "Smooth Shading", "smooth", "nosmooth"},
        {107, "Mesh Lines", "mesh", "nomesh"},
        {108, "Outline Mesh", "outlinemesh", "nooutlinemesh"},
        {120, "Move As Normal", "moveasnormal", "moveasnormal"},
        {121, "Move As Outline", "moveasoutline", "moveasoutline"},
        {201, "Head Light", "", ""},
        {202, "Menu Hides Model", "", ""},
        {203, "Y-axis Rotate Only", "", ""},
        {204, "Display Ruler", "ruler", "noruler"},
        {501, "Color Fringes", "fringes 0 0", "nofringes 0 0"},
        {502, "Textured Fringes", "texturefringes", "notexturefringes"},
        {503, "Legend", "legend", "nolegend"},
        {504, "Cutting Plane", "cutplane", "nocutplane"},
        {506, "Isosurface", "isosurface", "noisosurface"},
        {551, "Align X", "cutplanealign x", "cutplanealign x"},
        {552, "Align Y", "cutplanealign y", "cutplanealign y"},
        {553, "Align Z", "cutplanealign z", "cutplanealign z"},
        {554, "Lock Rotation", "cutplanelockrot", "nocutplanelockrot"},
        {555, "Vectors", "cutplanevectors", "nocutplanevectors"},
        {556, "Surface", "cutplanesurface", "nocutplanesurface"},
        {601, "Displacements", "displacements", "nodisplacements"},
        {602, "Vector Arrows", "vectors", "novectors"},
        {603, "Arrow Heads", "arrows", "noarrows"},
        {604, "Filter Box", "vectors boxfilter", "vectors noboxfilter"},
        {605, "Add Particle Trace", "particletrace", "particletrace"},
        {606, "Delete Particle Traces", "noparticletrace", "noparticletrace"},
        {700, "Read Next State", "readstate next", "readstate next"},
        {701, "Read Previous State", "readstate previous", "readstate previous"},
        // The item runs Play, whose first line is the item's.
        {702, "Launch Animation", "animresults 1 3 1", "animresults 1 3 1"},
    };
    OpenBeam();
    ASSERT_EQ(ExecuteCommand("usermenu results"), 0);
    auto line = [](int iId) {
        char szLine[64];
        NKGLMenuItemCommand(g_pGLMenu, iId, szLine, sizeof szLine);
        return std::string(szLine);
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.iId);
        const NKGLMenuItem *pItem = NKGLMenuFindItem(g_pGLMenu->root, row.iId);
        ASSERT_NE(pItem, nullptr);
        EXPECT_STREQ(pItem->text, row.pszLabel);
        const std::string shown = line(row.iId);
        EXPECT_EQ(shown, pItem->checked != 0 ? row.pszOn : row.pszOff);
        Logged().clear();
        EXPECT_EQ(NKGLMenuExecuteItem(g_pGLMenu, row.iId), !shown.empty());
        EXPECT_EQ(Logged().empty() ? "" : Logged()[0], shown);
        NKGLMenuUpdateResultsMenu(g_pGLMenu);
    }
}

TEST_F(MenusBenchmarkTest, PickingFindsTheDrawnButton)
{
    OpenBeam();
    ASSERT_EQ(ExecuteCommand("usermenu test"), 0);
    double adModelView[16];
    NKGLMenuModelView(g_pGLMenu, adModelView);
    double adProjection[16];
    const double n = 0.5, f = 10.0, t = 0.36397 * n, r = t * 4.0 / 3.0;
    const double adFrustum[16] = {
        n / r, 0, 0, 0, 0, n / t, 0, 0, 0, 0, -(f + n) / (f - n), -1, 0, 0, -2 * f * n / (f - n),
        0};
    for (int i = 0; i < 16; i++) adProjection[i] = adFrustum[i];
    const int aiViewport[4] = {0, 0, 400, 300};
    // Window point of a spot on a button's quad as drawn.
    auto windowPoint = [&](const NKGLMenuItem *pItem, double dxFraction, int *piX, int *piY) {
        const double x = pItem->level * 0.25 + 0.5 * dxFraction;
        const double y = -pItem->slot * 0.058 - 0.029, z = pItem->level * 0.01;
        double wx, wy, wz;
        ASSERT_TRUE(gluProject(x, y, z, adModelView, adProjection, aiViewport, &wx, &wy, &wz));
        *piX = int(wx);
        *piY = int(300 - wy);
    };
    int x = 0, y = 0;
    windowPoint(NKGLMenuFindItem(g_pGLMenu->root, 2), 0.5, &x, &y);
    EXPECT_EQ(NKGLMenuPickAt(g_pGLMenu, adModelView, adProjection, aiViewport, x, y, true), 2);
    EXPECT_EQ(NKGLMenuFindItem(g_pGLMenu->root, 2)->pressed, 1);
    // Open branch 100: hovering now looks at its level only.
    windowPoint(NKGLMenuFindItem(g_pGLMenu->root, 100), 0.2, &x, &y);
    EXPECT_EQ(NKGLMenuPickAt(g_pGLMenu, adModelView, adProjection, aiViewport, x, y, true), 100);
    EXPECT_EQ(NKGLMenuFindItem(g_pGLMenu->root, 100)->open, 1);
    EXPECT_EQ(NKGLMenuFindItem(g_pGLMenu->root, 2)->pressed, 0);
    windowPoint(NKGLMenuFindItem(g_pGLMenu->root, 2), 0.2, &x, &y);
    EXPECT_EQ(NKGLMenuPickAt(g_pGLMenu, adModelView, adProjection, aiViewport, x, y, false), -1);
    windowPoint(NKGLMenuFindItem(g_pGLMenu->root, 102), 0.8, &x, &y);
    EXPECT_EQ(NKGLMenuPickAt(g_pGLMenu, adModelView, adProjection, aiViewport, x, y, false), 102);
    EXPECT_EQ(NKGLMenuFindItem(g_pGLMenu->root, 100)->open, 1);  // the ancestor stays open
    // A click that misses closes everything.
    EXPECT_EQ(NKGLMenuPickAt(g_pGLMenu, adModelView, adProjection, aiViewport, 399, 299, true), -1);
    EXPECT_EQ(NKGLMenuFindItem(g_pGLMenu->root, 100)->open, 0);
    EXPECT_EQ(NKGLMenuFindItem(g_pGLMenu->root, 102)->pressed, 0);
}

// The Results Menu's own labels (all but the state lines and the result
// names, which come from the model) are drawn whole inside their buttons:
// with the button's width limit the text sends every stroke it sends
// without one, and the strokes stay inside the button's face, left of the
// branch arrow. A result name longer than the button is cut at the limit.
TEST_F(MenusBenchmarkTest, ResultsMenuLabelsFitTheirButtons)
{
    OpenBeam();
    ASSERT_EQ(ExecuteCommand("usermenu results"), 0);
    ASSERT_TRUE(NKMakeViewCurrent());
    const NKGLMenu &m = *g_pGLMenu;
    const float h = 0.5f * (m.itemHeight - 2.0f * m.insetY);
    const float fLimit = (m.itemWidth - 2.0f * m.insetX - 1.2f * h - m.textOffsetX) / m.textScaleX;
    // One button, its lower-left corner at the origin, on 2000 pixels a unit.
    const float fPixels = 2000.0f;
    glViewport(0, 0, int(m.itemWidth * fPixels), int(m.itemHeight * fPixels));
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, m.itemWidth, 0, m.itemHeight, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(m.insetX + m.textOffsetX, m.insetY + m.textOffsetY, 0.0f);
    glScalef(m.textScaleX, m.textScaleY, 1.0f);
    auto strokes = [&](const char *pszText, float fWidth) {
        return NKCaptureFeedback([&] { NKDrawStrokeText(pszText, fWidth); });
    };
    std::vector<const NKGLMenuItem *> items;
    std::vector<const NKGLMenuItem *> pending{g_pGLMenu->root};
    while (!pending.empty()) {
        const NKGLMenuItem *p = pending.back();
        pending.pop_back();
        if (p == nullptr) continue;
        items.push_back(p);
        pending.push_back(p->next);
        pending.push_back(p->branch);
    }
    int iChecked = 0;
    for (const NKGLMenuItem *p : items) {
        const int id = p->id;
        if (id <= 3 || (id > 1000 && id < 1500) || (id > 1900 && id < 2500 && id != 2000)) continue;
        const auto cut = strokes(p->text, fLimit), whole = strokes(p->text, 1e9f);
        ASSERT_FALSE(whole.empty()) << p->text;
        EXPECT_EQ(cut.size(), whole.size()) << p->text;
        for (const NKFeedbackPrimitive &prim : cut)
            for (const NKFeedbackVertex &v : prim.v) {
                EXPECT_LE(v.x, (m.itemWidth - m.insetX - 1.2f * h) * fPixels) << p->text;
                EXPECT_GE(v.y, m.insetY * fPixels) << p->text;
                EXPECT_LE(v.y, (m.itemHeight - m.insetY) * fPixels) << p->text;
            }
        iChecked++;
    }
    EXPECT_GE(iChecked, 30);
    const char *pszLong = "Von Mises Effective Stress of the Upper Shell Surface";
    EXPECT_LT(strokes(pszLong, fLimit).size(), strokes(pszLong, 1e9f).size());
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

// The shown menu is drawn in front of the model in its face colour.
TEST_F(MenusBenchmarkTest, TheShownMenuIsDrawnInTheView)
{
    EXPECT_FALSE(NKDrawGLMenu(nullptr));
    NKGLMenu *pEmpty = NKCreateGLMenu(3, "Empty");
    EXPECT_FALSE(NKDrawGLMenu(pEmpty));
    NKDeleteGLMenu(pEmpty);
    EXPECT_EQ(NKCreateGLMenu(-1, "Bad"), nullptr);
    OpenBeam();
    ASSERT_TRUE(NKTestSetViewSize(800, 600));
    ASSERT_EQ(ExecuteCommand("usermenu test"), 0);
    NKRedrawView();  // draws through the overlay step
    // The menu is drawn in front of the model: the first button's face is
    // there, at a depth no model pixel reaches.
    ASSERT_TRUE(NKMakeViewCurrent());
    glReadBuffer(GL_BACK);
    double adModelView[16], wx = 0, wy = 0, wz = 0;
    NKGLMenuModelView(g_pGLMenu, adModelView);
    gluProject(0.1, -0.029, 0.0, adModelView, g_adSavedProjection, g_aiSavedViewport, &wx, &wy,
               &wz);
    unsigned char auPixel[4] = {0, 0, 0, 0};
    float fDepth = 1.0f;
    glReadPixels(int(wx), int(wy), 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, auPixel);
    glReadPixels(int(wx), int(wy), 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &fDepth);
    EXPECT_GT(auPixel[0], 100) << int(auPixel[0]) << " " << int(auPixel[1]) << " "
                               << int(auPixel[2]);
    EXPECT_GE(auPixel[2], auPixel[0]);
    EXPECT_LE(fDepth, 0.0101f);
    // Item 3 of a menu other than the Results Menu keeps its own text.
    EXPECT_STREQ(NKGLMenuFindItem(g_pGLMenu->root, 3)->text, "Button (3)");
    ASSERT_EQ(ExecuteCommand("usermenu hide"), 0);
    NKRedrawView();
}

// Commands run outside the menu (typed, or read from a command file) show
// in the Results Menu the next time the view is drawn: its labels name the
// current results and its check marks follow the display.
TEST_F(MenusBenchmarkTest, ResultsMenuShowsTheStateCommandsSet)
{
    NKRegisterFringeCommands();
    OpenBeam();
    ASSERT_TRUE(NKTestSetViewSize(800, 600));
    ASSERT_EQ(ExecuteCommand("usermenu results"), 0);
    ASSERT_EQ(ExecuteCommand("nofringes"), 0);
    ASSERT_EQ(ExecuteCommand("readstate current 0 0"), 0);
    NKRedrawView();
    auto text = [](int iId) { return std::string(NKGLMenuFindItem(g_pGLMenu->root, iId)->text); };
    auto checked = [](int iId) { return NKGLMenuFindItem(g_pGLMenu->root, iId)->checked != 0; };
    EXPECT_EQ(text(1), "Scalar: <none>");
    EXPECT_TRUE(checked(1500));
    EXPECT_FALSE(checked(501));
    ASSERT_EQ(ExecuteCommand("readstate current 2 0"), 0);
    ASSERT_EQ(ExecuteCommand("fringes"), 0);
    NKRedrawView();
    EXPECT_EQ(text(1), "Scalar: " + text(1002));
    EXPECT_EQ(text(2), "Vector: <none>");
    EXPECT_TRUE(checked(1002));
    EXPECT_FALSE(checked(1500));
    EXPECT_TRUE(checked(501));
    ASSERT_EQ(ExecuteCommand("usermenu hide"), 0);
}

// With F2 held the mouse operates the shown menu: a click on a branch opens
// it, a click on an item runs its command line, and a press elsewhere drags
// the menu within its limits.
TEST_F(MenusBenchmarkTest, F2HeldOperatesTheMenuWithTheMouse)
{
    OpenBeam();
    ASSERT_TRUE(NKTestSetViewSize(800, 600));
    ASSERT_EQ(ExecuteCommand("usermenu results"), 0);
    NKRedrawView();
    auto itemPoint = NKTestMenuItemPoint;
    QTest::keyPress(m_pView, Qt::Key_F2);
    QTest::mouseClick(m_pView, Qt::LeftButton, Qt::NoModifier, itemPoint(100));
    EXPECT_EQ(NKGLMenuFindItem(g_pGLMenu->root, 100)->open, 1);
    Logged().clear();
    QTest::mouseClick(m_pView, Qt::LeftButton, Qt::NoModifier, itemPoint(103));
    ASSERT_FALSE(Logged().empty());
    EXPECT_EQ(Logged()[0], "lines");
    QTest::mousePress(m_pView, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    QTest::mouseMove(m_pView, QPoint(790, 20));
    QTest::mouseRelease(m_pView, Qt::LeftButton, Qt::NoModifier, QPoint(790, 20));
    EXPECT_FLOAT_EQ(g_pGLMenu->offsetX, 0.5f);  // clamped to the limit
    EXPECT_EQ(g_pGLMenu->movingInPlane, 0);
    QTest::keyRelease(m_pView, Qt::Key_F2);
}

}  // namespace
