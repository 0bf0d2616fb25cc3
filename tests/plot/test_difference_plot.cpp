// tests/plot/test_difference_plot.cpp -- the `dp` command through
// ExecuteCommand on a four-node LS-DYNA shell database whose node 2 lies at
// (1 + s, 0, 0) and node 4 at (0, 0, 1 + s) in state s: component words, curves by node, from the
// selection and deleted, the failure forms, a non-LS-DYNA model and a shared
// database run from a command file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/nk_system_commands.h"
#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "commands/nk_open_commands.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_plot_records.h"
#include "core/nk_render_state.h"
#include "core/nk_view_state.h"
#include "plot/nk_difference_plot.h"
#include "plot/nk_node_plot.h"
#include "plot/nk_plot_commands.h"
#include "readers/nk_data_source.h"
#include "readers/nk_lsdyna.h"
#include "tests/plot/plot_command_fixture.h"
#include "tests/render/render_fixture.h"
#include "tests/test_support/lsdyna_test_writer.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

namespace {

std::string SharedDir() { return NKTestSharedDataDir() + "/lsdyna/"; }

class DifferencePlot : public PlotCommandFixture<NKRenderModelTest> {
protected:
    void SetUp() override
    {
        NKRenderModelTest::SetUp();
        SetUpPlotCommands("quolin_difference_plot_");
        g_iDifferenceComponent = 1;
        g_bDifferenceComponentChanged = 1;
    }
    void TearDown() override
    {
        g_SelectionList.Clear();
        g_SelectionList.SetEnabled(false);
        TearDownPlotCommands();
        NKRenderModelTest::TearDown();
    }
    // The database of four states 0.001 s apart, opened.
    void OpenDatabase()
    {
        LSDynaTestWriter w;
        LSDynaWriteShellGeometry(&w);
        for (int s = 0; s < 4; s++) {
            w.Float(0.001 * s);
            w.Floats({0, 0, 0, 1.0 + s, 0, 0, 1, 1, 0, 0, 0, 1.0 + s});
        }
        ASSERT_TRUE(w.Save(m_Dir + "/d3plot"));
        ASSERT_EQ(ExecuteCommand(("opendynastatedb " + m_Dir + "/d3plot").c_str()), 0)
            << m_Capture.Text();
        ASSERT_EQ(NKLSDynaGetNumStates(), 4);
    }
    const PlotCurve *Curve(const char *pszName)
    {
        const PlotRecord *p = g_pCurrentPlot;
        for (int i = 0; p != nullptr && i < p->iNumCurves; i++)
            if (p->ppCurves[i]->szName == pszName) return p->ppCurves[i];
        return nullptr;
    }
    void ExpectValues(const char *pszName, const std::vector<float> &y)
    {
        const PlotCurve *c = Curve(pszName);
        ASSERT_NE(c, nullptr) << pszName;
        ASSERT_EQ(c->iNumPoints, (int)y.size());
        for (size_t s = 0; s < y.size(); s++) {
            EXPECT_NEAR(c->pPoints[s].x, 0.001f * s, 1e-7f) << pszName << " " << s;
            EXPECT_NEAR(c->pPoints[s].y, y[s], 1e-5f) << pszName << " " << s;
        }
    }
    void PickNode(int iNode)
    {
        NKPickInfo pick;
        pick.iFrame = 0;
        pick.iPart = 0;
        pick.iNode = iNode;
        ASSERT_TRUE(g_SelectionList.Add(pick));
    }
    // Runs a line that must fail with the message and the command error.
    void ExpectFailure(const char *pszLine, const char *pszMessage)
    {
        m_Capture.Clear();
        EXPECT_EQ(ExecuteCommand(pszLine), 1) << pszLine;
        if (pszMessage != nullptr) {
            EXPECT_TRUE(m_Capture.Contains(pszMessage)) << m_Capture.Text();
        }
        EXPECT_TRUE(m_Capture.Contains("dp: Error executing sub command")) << m_Capture.Text();
    }

    MessageCapture m_Capture;
};

TEST_F(DifferencePlot, CurvesOfNodePairs)
{
    OpenDatabase();
    ASSERT_EQ(ExecuteCommand("dp x 1,1 1,2"), 0) << m_Capture.Text();
    const PlotRecord *p = g_pCurrentPlot;
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->szTitle, "Node distances");
    EXPECT_EQ(p->iPlotKind, 6);
    EXPECT_EQ(p->szXTitle, "Time");
    EXPECT_EQ(p->szLegendTitle, "Nodes");
    EXPECT_EQ(p->szYTitle, "X-difference");
    EXPECT_EQ(p->iNumCurves, 1);
    ExpectValues("1-2", {-1, -2, -3, -4});
    // The smaller database number comes first whatever the order typed.
    ASSERT_EQ(ExecuteCommand("dp x 1 , 2 1,1"), 0);
    EXPECT_EQ(g_pCurrentPlot->iNumCurves, 1);
    ExpectValues("2-1", {-1, -2, -3, -4});
    ASSERT_EQ(ExecuteCommand("dp n 1,2 1,2"), 0);
    EXPECT_EQ(g_pCurrentPlot->szYTitle, "Abs node distance");
    ExpectValues("2-2", {0, 0, 0, 0});
    ASSERT_EQ(ExecuteCommand("dp add 1,1 1,2"), 0);
    ExpectValues("1-2", {1, 2, 3, 4});
    EXPECT_EQ(g_pCurrentPlot->iNumCurves, 2);
    ASSERT_EQ(ExecuteCommand("dp add 1,1 1,4"), 0);  // apart in z alone
    ExpectValues("1-4", {1, 2, 3, 4});
    // The same pair again makes no curve.
    ExpectFailure("dp add 1,1 1,2", nullptr);
    m_Capture.Clear();
    ASSERT_EQ(ExecuteCommand("dp del 1 2"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Deleted curve from plot."));
    EXPECT_EQ(Curve("1-2"), nullptr);
    for (int i = 0; i < 2; i++) {
        m_Capture.Clear();
        ASSERT_EQ(ExecuteCommand("dp del all"), 0);
        EXPECT_TRUE(m_Capture.HasLine("Deleted all curves from plot."));
        EXPECT_EQ(g_pCurrentPlot->iNumCurves, 0);
    }
}

TEST_F(DifferencePlot, ComponentsAndTheSelection)
{
    OpenDatabase();
    ASSERT_EQ(ExecuteCommand("dp x 1,1 1,2"), 0);
    const std::vector<std::pair<const char *, const char *>> words = {
        {"dp x", "X coordinate is current for difference plot."},
        {"dp Z", "Z coordinate is current for difference plot."},
        {"dp N", "Abs difference is current for difference plot."},
        {"dp y", "Y coordinate is current for difference plot."}};
    for (const auto &row : words) {
        m_Capture.Clear();
        ASSERT_EQ(ExecuteCommand(row.first), 0);
        EXPECT_TRUE(m_Capture.HasLine(row.second)) << row.first;
    }
    EXPECT_EQ(g_iDifferenceComponent, 3);
    g_SelectionList.SetEnabled(true);
    PickNode(0);
    ExpectFailure("dp sel", "2 nodes must be selected to plot difference from selected nodes.");
    PickNode(2);
    ASSERT_EQ(ExecuteCommand("dp sel"), 0) << m_Capture.Text();
    // The component changed: a new plot of the y differences alone, without
    // the x curve of the plot before.
    EXPECT_EQ(g_pCurrentPlot->szYTitle, "Y-difference");
    EXPECT_EQ(g_pCurrentPlot->iNumCurves, 1);
    EXPECT_EQ(Curve("1-2"), nullptr);
    ExpectValues("1-3", {-1, -1, -1, -1});
    ExpectFailure("dp q", "Unknown component parameter for difference plot.");
    ExpectFailure("dp add 1,1", nullptr);
    ExpectFailure("dp x 1,1 1,99", nullptr);
    m_Capture.Clear();
    EXPECT_EQ(ExecuteCommand("dp del 1"), 1);
    EXPECT_EQ(ExecuteCommand("dp"), 0);
    EXPECT_EQ(g_pCurrentPlot->iPlotKind, 6);
}

TEST_F(DifferencePlot, OnlyForTheStateDatabase)
{
    ASSERT_EQ(ExecuteCommand(("open \"" + NKTestExamplePath("beam.nkf") + "\"").c_str()), 0);
    for (const char *pszLine : {"dp", "dp x", "dp x 1,1 1,2", "dp add 1,1 1,2", "dp sel",
                                "dp del all", "dp del 1 2", "dp q"})
        ExpectFailure(pszLine,
                      "Difference plot currently only available for LS-DYNA state databases.");
}

TEST_F(DifferencePlot, SharedDatabaseFromACommandFile)
{
    NK_SKIP_WITHOUT_SHARED_TESTDATA();
    std::string db = SharedDir() + "ansys-example-data/d3plot_projectile/d3plot";
    ASSERT_EQ(ExecuteCommand(("open \"" + db + "\"").c_str()), 0) << m_Capture.Text();
    const NKPart *pPart = &g_pModel->pFrames[0].pGeometry->pParts[0];
    int iId = pPart->pNodeIDs != nullptr ? pPart->pNodeIDs[0] : 1;
    NKCloseInterface();
    std::string file = m_Dir + "/dp.qlc";
    NKTestWriteText(file.c_str(), ("open \"" + db + "\"\ndp n 1," + std::to_string(iId) + " 1," +
                                   std::to_string(iId) + "\n")
                                      .c_str());
    ASSERT_EQ(ExecuteCommand(("source \"" + file + "\"").c_str()), 0) << m_Capture.Text();
    const PlotRecord *p = g_pCurrentPlot;
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(p->iNumCurves, 1);
    const PlotCurve *c = p->ppCurves[0];
    ASSERT_EQ(c->iNumPoints, NKLSDynaGetNumStates());
    for (int s = 0; s < c->iNumPoints; s++) {
        EXPECT_FLOAT_EQ(c->pPoints[s].x, NKLSDynaGetStateTime(s));
        EXPECT_EQ(c->pPoints[s].y, 0.0f);
    }
}

}  // namespace
