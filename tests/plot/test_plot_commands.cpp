// tests/plot/test_plot_commands.cpp -- the plot command handler through
// ExecuteCommand, view 800 x 600: an NKF plot file plotted with `th plot`
// and exported, the plot-source dispatcher's answers, the `plt` settings,
// the time-history database and the LS-DYNA ASCII files as sources, node
// plots with `np`, `plotsize` and `trace`, and damaged plot files.
#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cstdlib>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_frames.h"
#include "core/nk_load_hooks.h"
#include "core/nk_model_hooks.h"
#include "core/nk_plot_records.h"
#include "core/nk_view_state.h"
#include "plot/nk_node_plot.h"
#include "plot/nk_plot.h"
#include "plot/nk_plot_commands.h"
#include "plot/nk_plot_source.h"
#include "plot/nk_plot_window.h"
#include "readers/nk_data_source.h"
#include "tests/plot/plot_command_fixture.h"
#include "tests/render/render_fixture.h"
#include "tests/test_support/lsdyna_th_brick.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

namespace {

const char *const kPlotFile =
    "*NKF-1.00\n*2DPLOTSERIES 1\n%NAME \"Forces\"\n%XAXIS_NAME \"Time\"\n%YAXIS_NAME \"Force\"\n"
    "%SERIES\n%SERIES_NAME \"A\"\n0 0\n4 10\n8 20\n%SERIES\n%SERIES_NAME \"B\"\n0 5\n4 5\n8 5\n";

std::string AsciiDataDir(void)
{
    return NKTestSourceRoot() + "/../shared/testdata/lsdyna/pladebuk/ascii";
}

std::string ReadFile(const std::string &path)
{
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class PlotCommands : public PlotCommandFixture<NKRenderModelTest> {
protected:
    void SetUp() override
    {
        NKRenderModelTest::SetUp();
        SetUpPlotCommands("quolin_plot_commands_");
        m_Saved = std::filesystem::current_path();
        NKTestWriteText((m_Dir + "/f.nkf").c_str(), kPlotFile);
    }
    void TearDown() override
    {
        std::filesystem::current_path(m_Saved);
        TearDownPlotCommands();
        NKSetLoadHooks(NKLoadHooks());
        NKRenderModelTest::TearDown();
    }
    std::string Path(const char *pszName) const { return m_Dir + "/" + pszName; }
    // Opens the example beam and the plot file and plots both series.
    void PlotForces()
    {
        ASSERT_EQ(Run("open \"" + NKTestExamplePath("beam.nkf") + "\""), 0);
        ASSERT_EQ(Run("opennkfplot \"" + Path("f.nkf") + "\""), 0);
        ASSERT_EQ(Run("th plot 1 1 A B"), 0);
        ASSERT_NE(g_pCurrentPlot, nullptr);
    }
    std::filesystem::path m_Saved;
};

void ExpectAxis(float fMin, float fMax, float fUnit, float fWantMin, float fWantMax,
                float fWantUnit)
{
    EXPECT_FLOAT_EQ(fMin, fWantMin);
    EXPECT_FLOAT_EQ(fMax, fWantMax);
    EXPECT_FLOAT_EQ(fUnit, fWantUnit);
}

TEST_F(PlotCommands, NkfPlotFileIsPlottedScaledAndExportedFromACommandFile)
{
    std::string cmd = "open \"" + NKTestExamplePath("beam.nkf") + "\"\nopennkfplot \"" +
                      Path("f.nkf") + "\"\nth plot 1 1 A B\nexport plot \"" + Path("p.txt") +
                      "\"\nplt scalex 2 6\nexport plot \"" + Path("q.txt") + "\"\n";
    NKTestWriteText(Path("run.qlc").c_str(), cmd.c_str());
    MessageCapture capture;
    EXPECT_EQ(Run("source \"" + Path("run.qlc") + "\""), 0);
    for (const CapturedLine &l : capture.Lines()) EXPECT_NE(l.iLevel, NK_MSG_ERROR) << l.text;
    PlotRecord *p = g_pCurrentPlot;
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p->szTitle.GetText(), "NKF Plot (f.nkf)");
    EXPECT_STREQ(p->szXTitle.GetText(), "Time");
    EXPECT_STREQ(p->szYTitle.GetText(), "Force");
    EXPECT_STREQ(p->szLegendTitle.GetText(), "Forces");
    EXPECT_EQ(p->iPlotKind, 8);
    ASSERT_EQ(p->iNumCurves, 2);
    const PlotCurve *a = p->ppCurves[0], *b = p->ppCurves[1];
    EXPECT_STREQ(a->szName.GetText(), "A");
    EXPECT_EQ(std::vector<int>(a->ucLineColor, a->ucLineColor + 3), std::vector<int>({255, 0, 0}));
    EXPECT_EQ(a->iLineStyle, 0);
    EXPECT_EQ(a->iMarkerType, 100);
    EXPECT_STREQ(b->szName.GetText(), "B");
    EXPECT_EQ(std::vector<int>(b->ucLineColor, b->ucLineColor + 3), std::vector<int>({0, 255, 0}));
    EXPECT_EQ(b->iLineStyle, 1);
    EXPECT_EQ(b->iMarkerType, 101);
    ExpectAxis(p->fXMin, p->fXMax, p->fXUnit, 2, 6, 0.5f);
    ExpectAxis(p->fYMin, p->fYMax, p->fYUnit, 5, 15, 1);
    EXPECT_EQ(ReadFile(Path("p.txt")), "           0            0            5\n"
                                       "           4           10            5\n"
                                       "           8           20            5\n");
    EXPECT_EQ(ReadFile(Path("q.txt")), "           2            5            5\n"
                                       "           4           10            5\n"
                                       "           6           15            5\n");
}

TEST_F(PlotCommands, NkfPlotFileStepByStepAndTheDispatchersInfo)
{
    MessageCapture capture;
    PlotForces();
    EXPECT_TRUE(capture.HasLine("NKF formatted plot file " + Path("f.nkf") + " opened."));
    PlotRecord *p = g_pCurrentPlot;
    ExpectAxis(p->fXMin, p->fXMax, p->fXUnit, 0, 8, 1);
    ExpectAxis(p->fYMin, p->fYMax, p->fYUnit, 0, 20, 2);
    EXPECT_EQ(Run("plt scalex 2 6"), 0);
    EXPECT_TRUE(capture.HasLine("Set x-axis scaling for plot. min: 2, max: 6, unit: 0.5"));
    capture.Clear();
    EXPECT_TRUE(NKPlotInterfaceInfo(-1, -1));
    // The sink gets the text a line at a time, the heading's blank line first.
    ASSERT_FALSE(capture.Lines().empty());
    EXPECT_EQ(capture.Lines()[0].text, "");
    EXPECT_EQ(capture.Text(), "* Plot Interface INFO :\n  1 categories\n  1: f.nkf");
    capture.Clear();
    EXPECT_TRUE(NKPlotInterfaceInfo(0, 0));
    EXPECT_EQ(capture.Text(), "* Plot Interface INFO :\n  2 series\n  A\n  B");
    capture.Clear();
    EXPECT_EQ(Run("th query"), 1);
    EXPECT_TRUE(capture.HasLine("th query: No interface opened.", NK_MSG_ERROR));
    // Closing the NKF source answers false and still leaves no source.
    EXPECT_FALSE(NKPlotSourceClose());
    EXPECT_EQ(NKGetCurrentPlotSource(), NK_PLOT_SOURCE_NONE);
    EXPECT_FALSE(NKPlotInterfaceInfo(-1, -1));
}

TEST_F(PlotCommands, RefusalsWithoutSourceOrPlot)
{
    struct Row {
        const char *pszLine;
        int iResult;
        std::vector<std::string> messages;
    };
    const Row rows[] = {
        {"th query",
         1,
         {"th query: No interface opened.", "th query: Error executing sub command"}},
        {"th", 1, {"th: Error executing sub command"}},
        {"th nosuch", 1, {"th: Could not find sub command"}},
        {"th plot 1", 1, {"th plot: Error executing sub command"}},
        {"plt title x", 1, {"plt title: Error executing sub command, no plot exists"}},
        {"export plot a.txt", 1, {"export plot: No plot to export to file."}},
        {"trace x",
         1,
         {"trace: Illegal node reference.", "Remember to use part,node for specifying nodes"}},
    };
    ASSERT_EQ(Run("open \"" + NKTestExamplePath("beam.nkf") + "\""), 0);
    std::filesystem::current_path(m_Dir);
    for (const Row &r : rows) {
        MessageCapture capture;
        EXPECT_EQ(Run(r.pszLine), r.iResult) << r.pszLine;
        for (const std::string &m : r.messages)
            EXPECT_TRUE(capture.HasLine(m, NK_MSG_ERROR)) << r.pszLine << ": " << capture.Text();
    }
    EXPECT_FALSE(std::filesystem::exists(Path("a.txt")));
    // No source: every query answers nothing.
    EXPECT_EQ(NKPlotSourceGetCategoryCount(), 0);
    EXPECT_EQ(NKPlotSourceGetCategoryNames(), nullptr);
    EXPECT_FALSE(NKPlotInterfaceInfo(-1, -1));
    // Source 4 has no reader: init fails and it stays current, answering nothing.
    EXPECT_FALSE(NKPlotInterfaceInit(4, "x.ths"));
    EXPECT_TRUE(NKPlotSourceIsCurrent(4));
    EXPECT_EQ(NKPlotSourceGetSeriesCount(0, 0), 0);
}

TEST_F(PlotCommands, PltSettingsAndTheirMessages)
{
    PlotForces();
    std::filesystem::current_path(m_Dir);
    struct Row {
        const char *pszLine;
        const char *pszMessage;
    };
    const Row rows[] = {
        {"plt showminm", "Display of min/max values on axes turned on."},
        {"plt transp 2", "Set plot background transparency to 0.7"},
        {"plt grid z", "Display grid lines for for x-axis and y-axis"},
        {"plt nogrid x", "Display grid lines for for y-axis"},
        {"plt pos lower top", "Set plot position."},
        {"plt xtransform -1", "Can't rescale with negative factor."},
        {"plt xtransform 0", "Can't rescale with factor 0."},
        {"plt ytransform 2 1", "Y-axis transformation set to 2*Y + 1."},
        {"plt title  New title^ignored", "Plot title is \"New title\""},
        {"plt bgcolor 1 2", "Set plot background color to 1 2 0"},
        {"plt skip 0", "Plot skip is now 1."},
        {"plt xcross 3", "Set x-axis crossing value to 3"},
        {"plt tobmp x.bmp", nullptr},
    };
    for (const Row &r : rows) {
        MessageCapture capture;
        EXPECT_EQ(Run(r.pszLine), 0) << r.pszLine;
        if (r.pszMessage != nullptr) {
            EXPECT_TRUE(capture.HasLine(r.pszMessage)) << r.pszLine << ": " << capture.Text();
        }
    }
    EXPECT_TRUE(std::filesystem::exists(m_Dir + "/x.bmp"));  // rendered off-screen
    PlotRecord *p = g_pCurrentPlot;
    EXPECT_EQ(NKGetPlotShowMinMax(), 1);
    EXPECT_EQ(p->ucBackground[3], 178);
    EXPECT_EQ(p->bXGrid, 0);
    EXPECT_EQ(p->bYGrid, 1);
    int x = 0, y = 0, w = 0, h = 0;
    NKGetPlotViewport(p, &x, &y, &w, &h);
    EXPECT_EQ(std::vector<int>({x, y, w, h}), std::vector<int>({0, 300, 400, 300}));
    EXPECT_FLOAT_EQ(p->XTransform.fScale, 1.0f);
    EXPECT_FLOAT_EQ(p->YTransform.fOffset, 1.0f);
    EXPECT_STREQ(p->szTitle.GetText(), "New title");
    // "show" is not taken for showminmax; kill leaves no plot.
    EXPECT_EQ(Run("plt show"), 0);
    EXPECT_EQ(Run("noplt"), 0);
    EXPECT_EQ(g_pCurrentPlot, nullptr);
}

TEST_F(PlotCommands, TimeHistoryDatabaseOpensWithItsBrickAndPlots)
{
    LSDynaTestWriter w;
    LSDynaWriteBrickHistory(&w, {0.0, 1.0});
    ASSERT_TRUE(w.Save(Path("d3thdt")));
    MessageCapture capture;
    EXPECT_EQ(Run("th open " + Path("d3thdt")), 0);
    EXPECT_TRUE(capture.HasLine("LSDyna Time History Database Opened. File : " + Path("d3thdt")));
    NKGeometry *pGeo = NKGetFrameGeometry(NKGetCurrentFrame());
    ASSERT_NE(pGeo, nullptr);
    EXPECT_EQ(pGeo->iTotalNumNodes, 8);
    EXPECT_EQ(Run("th query"), 0);
    EXPECT_TRUE(capture.Contains("* Plot Interface INFO :"));
    EXPECT_EQ(Run("th plot 1 1 1"), 0);
    EXPECT_EQ(Run("export plot \"" + Path("th.txt") + "\""), 0);
    EXPECT_EQ(ReadFile(Path("th.txt")), "           0            0\n           1           90\n");
    EXPECT_EQ(Run("th close"), 0);
    EXPECT_EQ(g_pCurrentPlot, nullptr);
    EXPECT_TRUE(NKPlotSourceIsCurrent(NK_PLOT_SOURCE_NONE));
}

TEST_F(PlotCommands, AsciiOutputFilesAsPlotSource)
{
    std::filesystem::current_path(AsciiDataDir());
    ASSERT_TRUE(NKPlotInterfaceInit(NK_PLOT_SOURCE_ASCII, ""));
    MessageCapture capture;
    EXPECT_TRUE(NKPlotInterfaceInfo(-1, -1));
    EXPECT_TRUE(capture.Contains("  7 categories\n"));
    EXPECT_TRUE(capture.Contains("  6: Global statistics (GLSTAT)\n"));
    EXPECT_EQ(Run("th plot 6 1 0"), 0);
    ASSERT_NE(g_pCurrentPlot, nullptr);
    EXPECT_EQ(g_pCurrentPlot->iNumCurves, 1);
    EXPECT_STREQ(g_pCurrentPlot->szTitle.GetText(), "Global Statistics");
    EXPECT_STREQ(g_pCurrentPlot->szYTitle.GetText(), "Kinetic energy");
}

TEST_F(PlotCommands, NodePlotsPlotsizeAndTraces)
{
    ASSERT_EQ(Run("nkf open \"" + NKTestExamplePath("beam.nkf") + "\""), 0);
    ASSERT_EQ(Run("nkf scalar"), 0);
    EXPECT_EQ(Run("np 1,1011 1 , 1011"), 0);
    EXPECT_EQ(Run("np step"), 0);
    PlotRecord *p = g_pCurrentPlot;
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(p->iNumCurves, 1);
    const PlotCurve *c = p->ppCurves[0];
    EXPECT_STREQ(c->szName.GetText(), "1, 1011");
    ASSERT_EQ(c->iNumPoints, 3);
    const float afWant[3][2] = {{1, 0.33427f}, {2, 0.668539f}, {3, 1.00281f}};
    for (int i = 0; i < 3; i++) {
        EXPECT_FLOAT_EQ(c->pPoints[i].x, afWant[i][0]);
        EXPECT_NEAR(c->pPoints[i].y, afWant[i][1], 1e-5);
    }
    EXPECT_EQ(g_iNumNodePlots, 1);
    {
        MessageCapture capture;
        EXPECT_EQ(Run("np add 0,1"), 1);
        for (const char *m : {"Illegal node specified", "np add: Error executing sub command",
                              "np add: Remember to use part,node for specifying nodes."})
            EXPECT_TRUE(capture.HasLine(m, NK_MSG_ERROR)) << m << ": " << capture.Text();
    }
    struct SizeRow {
        const char *pszLine, *pszMessage;
        int iWidth, iHeight;
    };
    const SizeRow sizes[] = {
        {"plotsize 5", "Plotsize clamped to 3.0 (Legal values 0.1 -> 3.0)", 800, 600},
        {"plotsize 0.15", "Plotsize set to 0.15 (Default 1.0)", 80, 60}};
    for (const SizeRow &r : sizes) {
        MessageCapture capture;
        EXPECT_EQ(Run(r.pszLine), 0);
        EXPECT_TRUE(capture.HasLine(r.pszMessage)) << capture.Text();
        int x = 0, y = 0, w = 0, h = 0;
        NKGetPlotViewport(g_pCurrentPlot, &x, &y, &w, &h);
        EXPECT_EQ(w, r.iWidth) << r.pszLine;
        EXPECT_EQ(h, r.iHeight) << r.pszLine;
    }
    EXPECT_EQ(Run("np del all"), 0);
    EXPECT_EQ(g_pCurrentPlot->iNumCurves, 0);
    EXPECT_EQ(g_iNumNodePlots, 0);
    // Traces: the table keeps growing over commands and is emptied by notrace.
    for (int i = 0; i < 40; i++) EXPECT_EQ(Run("trace 1,1011 1 , 1011"), 0);
    EXPECT_EQ(g_iNumTraceNodes, 80);
    EXPECT_EQ(Run("notrace"), 0);
    EXPECT_EQ(g_iNumTraceNodes, 0);
}

TEST_F(PlotCommands, NkfPlotSourcePicksEachNamedSeriesOnce)
{
    struct Row {
        const char *pszFile;
        std::vector<std::string> names;
        int iComponents;
        std::vector<int> pointCounts;  // of the curves made
    };
    const char *const kUneven =
        "*NKF-1.00\n*2DPLOTSERIES 1\n%SERIES_NAME \"A\"\n0 0\n1 1\n%SERIES\n"
        "%SERIES_NAME \"B\"\n0 5\n1 5\n2 5\n";
    NKTestWriteText(Path("uneven.nkf"), kUneven);
    // Two series of one name: one name asked for may not give two curves
    // into its one slot.
    NKTestWriteText(Path("twice.nkf"), "*NKF-1.00\n*2DPLOTSERIES 1\n%SERIES_NAME \"A\"\n0 0\n"
                                       "%SERIES\n%SERIES_NAME \"A\"\n1 1\n");
    NKTestWriteText(Path("empty.nkf"), "*NKF-1.00\n*QUOLINCOMMANDS 1\nredraw\n");
    const Row rows[] = {{"f.nkf", {"A", "A"}, 1, {3}},
                        {"f.nkf", {"B", "C", "A"}, 1, {3, 3}},
                        {"uneven.nkf", {"B", "A"}, 1, {2, 3}},
                        {"twice.nkf", {"A"}, 1, {1}},
                        {"empty.nkf", {"A"}, 0, {}}};
    for (const Row &r : rows) {
        SCOPED_TRACE(r.pszFile);
        MessageCapture capture;
        ASSERT_TRUE(NKPlotInterfaceInit(NK_PLOT_SOURCE_NKF, Path(r.pszFile).c_str()));
        EXPECT_EQ(NKPlotSourceGetCategoryCount(), 1);
        EXPECT_EQ(NKPlotSourceGetComponentCount(0), r.iComponents);
        std::vector<char *> names;
        for (const std::string &n : r.names) names.push_back(const_cast<char *>(n.c_str()));
        std::vector<PlotCurve *> curves(names.size(), nullptr);
        int n = NKPlotSourceReadCurves(0, 0, names.data(), (int)names.size(), curves.data());
        ASSERT_EQ(n, (int)r.pointCounts.size());
        for (int i = 0; i < n; i++) EXPECT_EQ(curves[i]->iNumPoints, r.pointCounts[i]);
        NKFreePlotCurves(curves.data(), n);
        if (r.iComponents == 0) {
            EXPECT_TRUE(capture.HasLine("No Plot data (*2DPLOTSERIES block) found in NKF file: " +
                                        Path(r.pszFile)));
        }
    }
}

TEST_F(PlotCommands, DirectNodeAddsReportTheIllegalPart)
{
    ASSERT_EQ(Run("nkf open \"" + NKTestExamplePath("beam.nkf") + "\""), 0);
    ASSERT_TRUE(NKInitNodePlot());
    int iParts = NKGetFrameGeometry(NKGetCurrentFrame())->iNumParts;
    MessageCapture capture;
    NKItemNode node{};
    node.iPart = -1;
    EXPECT_FALSE(NKAddNodesToNodePlot(&node, 1));
    EXPECT_TRUE(capture.HasLine("Illegal part specified : 0 Legal : 1 -> " + std::to_string(iParts),
                                NK_MSG_ERROR));
    node.iPart = 0;
    node.iNode = 1 << 30;
    EXPECT_FALSE(NKAddNodesToNodePlot(&node, 1));
    EXPECT_TRUE(capture.HasLine("Illegal node specified : 1073741824", NK_MSG_ERROR));
    EXPECT_EQ(g_pCurrentPlot->iNumCurves, 0);
}

TEST_F(PlotCommands, DamagedPlotFilesNeverCrashAndKeepThePlot)
{
    PlotForces();
    std::string whole(kPlotFile);
    int iFailed = 0;
    for (size_t n = 0; n < whole.size(); n++) {
        NKTestWriteText(Path("cut.nkf").c_str(), whole.substr(0, n).c_str());
        MessageCapture capture;
        int iOpen = Run("opennkfplot \"" + Path("cut.nkf") + "\"");
        Run("th plot 1 1 A B");
        if (iOpen != 0) {
            iFailed++;
            EXPECT_TRUE(capture.HasLine("Error parsing NKF file. File not found or error in file.",
                                        NK_MSG_ERROR))
                << n;
        }
        ASSERT_NE(g_pCurrentPlot, nullptr) << n;
    }
    EXPECT_GT(iFailed, 0);
}

// Without a display the window cannot be made: the plot stays in the view.
TEST_F(PlotCommands, PlotWindowThatCannotBeMadeLeavesThePlotInTheView)
{
    if (QCoreApplication::instance() != nullptr) GTEST_SKIP() << "a GUI application exists";
    PlotForces();
    void *hContext = g_pCurrentPlot->hGLContext;
    const char *pszDisplay = std::getenv("DISPLAY");
    std::string display = pszDisplay != nullptr ? pszDisplay : "";
    unsetenv("DISPLAY");
    MessageCapture capture;
    EXPECT_EQ(Run("plt separate"), 0);
    if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
    EXPECT_TRUE(capture.HasLine("Enable plot in separate window."));
    EXPECT_TRUE(capture.HasLine("Unable to create plot window.", NK_MSG_ERROR));
    EXPECT_EQ(g_bPlotInOwnWindow, 0);
    EXPECT_EQ(g_hPlotWnd, nullptr);
    ASSERT_NE(g_pCurrentPlot, nullptr);
    EXPECT_EQ(g_pCurrentPlot->hGLContext, hContext);
}

}  // namespace
