// tests/plot/test_element_history.cpp -- the element history plot through
// the "ep" command on a four-state LS-DYNA shell database with strains: the
// plot made, an element added twice, the refusals, and every form refused on
// an NKF model.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_model_hooks.h"
#include "core/nk_plot_records.h"
#include "core/nk_view_state.h"
#include "plot/nk_node_plot.h"
#include "plot/nk_plot_commands.h"
#include "plot/nk_plot_source.h"
#include "readers/nk_data_source.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/plot/plot_command_fixture.h"
#include "tests/plot/strain_database.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

namespace {

class ElementHistory : public PlotCommandFixture<NKModelTest> {
protected:
    void SetUp() override
    {
        NKModelTest::SetUp();
        SetUpPlotCommands("quolin_element_history_");
    }
    void TearDown() override
    {
        TearDownPlotCommands();
        NKModelTest::TearDown();
    }
    void OpenDatabase()
    {
        WriteStrainDatabase(m_Dir + "/d3plot");
        ASSERT_EQ(Run("opendynastatedb " + m_Dir + "/d3plot"), 0);
    }
};

TEST_F(ElementHistory, EpPlotsTheStrainOverTheStatesAndAddsNothingTwice)
{
    OpenDatabase();
    EXPECT_EQ(Run("ep 7 1,1"), 0);
    for (int iPass = 0; iPass < 2; iPass++) {
        PlotRecord *p = g_pCurrentPlot;
        ASSERT_NE(p, nullptr);
        EXPECT_STREQ(p->szTitle.GetText(), "Element histories");
        EXPECT_EQ(p->iPlotKind, 5);
        EXPECT_STREQ(p->szXTitle.GetText(), "Time");
        EXPECT_STREQ(p->szYTitle.GetText(), "Local Maximum Principal Strain");
        EXPECT_STREQ(p->szLegendTitle.GetText(), "Element");
        EXPECT_EQ(g_bPlotShown, 1);
        ASSERT_EQ(p->iNumCurves, 1);
        const PlotCurve *c = p->ppCurves[0];
        EXPECT_STREQ(c->szName.GetText(), "1,1");
        EXPECT_EQ(c->iKind, 5);
        EXPECT_EQ(c->iXQuantity, 2);
        ASSERT_EQ(c->iNumPoints, 4);
        for (int s = 0; s < 4; s++) {
            EXPECT_NEAR(c->pPoints[s].x, 0.001 * s, 1e-7) << s;
            EXPECT_NEAR(c->pPoints[s].y, 0.02 * (s + 1), 1e-6) << s;
        }
        uint8_t flags[NK_AXIS_NUM_FLAGS];
        NKGetPlotAxisFlags(p, flags);
        EXPECT_EQ(flags[NK_AXIS_X_ZERO], 0);
        EXPECT_EQ(flags[NK_AXIS_X_ZERO_BASED], 0);
        EXPECT_EQ(flags[NK_AXIS_X_FORCE_MINMAX], 0);
        EXPECT_EQ(flags[NK_AXIS_X_EXACT], 1);
        EXPECT_EQ(Run("ep add 7 1,1"), 0);  // the second pass sees it unchanged
    }
}

TEST_F(ElementHistory, RefusalsAndTheEmptyPlot)
{
    OpenDatabase();
    ASSERT_EQ(Run("ep 7 1,1"), 0);
    struct Case {
        const char *pszLine;
        const char *pszError;  // null: succeeds
        bool bPlotBefore;
    } cases[] = {
        {"ep x 1,1", "ep: Could not find sub command", true},
        {"ep add x", "ep add: Could not find sub command", true},
        {"ep 7 9,9", "ep: Error executing sub command", true},
        {"ep add 7 1,1", "ep add: Error executing sub command", false},
        {"ep del 1,1", nullptr, true},
    };
    for (const Case &c : cases) {
        if (!c.bPlotBefore) {
            ASSERT_EQ(Run("noplt"), 0);
        } else if (g_pCurrentPlot == nullptr) {
            ASSERT_EQ(Run("ep 7 1,1"), 0);
        }
        MessageCapture capture;
        EXPECT_EQ(Run(c.pszLine), c.pszError == nullptr ? 0 : 1) << c.pszLine;
        if (c.pszError != nullptr) {
            EXPECT_TRUE(capture.Contains(c.pszError)) << c.pszLine << "\n" << capture.Text();
        }
    }
    ASSERT_EQ(Run("noplt"), 0);
    EXPECT_EQ(Run("ep"), 0);
    ASSERT_NE(g_pCurrentPlot, nullptr);
    EXPECT_STREQ(g_pCurrentPlot->szTitle.GetText(), "Element histories");
    EXPECT_EQ(g_pCurrentPlot->iNumCurves, 0);
    EXPECT_EQ(g_bPlotShown, 1);
}

TEST_F(ElementHistory, EveryFormFailsOnAnNkfModel)
{
    ASSERT_EQ(Run("open \"" + NKTestExamplePath("beam.nkf") + "\""), 0);
    for (const char *pszLine : {"ep", "ep 1 1,1", "ep add 1 1,1", "ep x", "ep del"}) {
        MessageCapture capture;
        EXPECT_EQ(Run(pszLine), 1) << pszLine;
        EXPECT_TRUE(capture.Contains("Error executing sub command")) << pszLine;
    }
}

}  // namespace
