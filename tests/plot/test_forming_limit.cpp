// tests/plot/test_forming_limit.cpp -- the forming limit diagram on the
// four-state LS-DYNA shell database: the limit curve, the strain scatter and
// a strain path built into a plot, the rebuild after readstate, the
// selected shells, a missing limit file, an NKF model and the limit file cut
// at every byte.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "core/nk_element_types.h"
#include "core/nk_load_hooks.h"
#include "core/nk_render_state.h"
#include "plot/nk_forming_limit.h"
#include "plot/nk_plot.h"
#include "readers/nk_lsdyna.h"
#include "readers/nk_lsdyna_format.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/plot/plot_command_fixture.h"
#include "tests/plot/strain_database.h"
#include "tests/test_support/message_capture.h"

namespace {

const char kLimitFile[] = "FLD curve\n7\n-0.4 0.6 0 0.3 0.4 0.5 9\n";

class FormingLimit : public PlotCommandFixture<NKModelTest> {
protected:
    void SetUp() override
    {
        NKModelTest::SetUp();
        SetUpPlotCommands("quolin_forming_limit_");
    }
    void TearDown() override
    {
        g_SelectionList.Clear();
        g_SelectionList.SetEnabled(false);
        g_SelectionList.SetMode(5);
        TearDownPlotCommands();
        NKModelTest::TearDown();
    }
    void OpenDatabase()
    {
        WriteStrainDatabase(m_Dir + "/d3plot");
        ASSERT_EQ(Run("opendynastatedb " + m_Dir + "/d3plot"), 0);
    }
    void WriteLimit(const std::string &text)
    {
        std::ofstream(m_Dir + "/lim.fld", std::ios::binary) << text;
    }
    // Builds the plot of the names into the current plot.
    void Build(const std::vector<std::string> &names)
    {
        std::vector<std::vector<char>> store;
        std::vector<char *> ppNames;
        for (const std::string &s : names) store.emplace_back(s.begin(), s.end() + 0);
        for (auto &v : store) {
            v.push_back(0);
            ppNames.push_back(v.data());
        }
        NKPlotSourceBuildPlot(0, 0, ppNames.data(), (int)ppNames.size(), g_pCurrentPlot);
    }
    static std::string Db() { return NKLSDynaGetControlData()->title; }
};

void ExpectPoints(const PlotCurve *c, const std::vector<std::pair<float, float>> &points)
{
    ASSERT_EQ(c->iNumPoints, (int)points.size()) << c->szName.GetText();
    for (size_t i = 0; i < points.size(); i++) {
        EXPECT_NEAR(c->pPoints[i].x, points[i].first, 1e-6) << c->szName.GetText() << i;
        EXPECT_NEAR(c->pPoints[i].y, points[i].second, 1e-6) << c->szName.GetText() << i;
    }
}

void ExpectColors(const PlotCurve *c, uint8_t r, uint8_t g, uint8_t b)
{
    const uint8_t uc[3] = {r, g, b};
    for (int k = 0; k < 3; k++) {
        EXPECT_EQ(c->ucLineColor[k], uc[k]) << c->szName.GetText();
        EXPECT_EQ(c->ucMarkerColor[k], uc[k]) << c->szName.GetText();
    }
}

TEST_F(FormingLimit, LimitScatterAndPathFollowTheState)
{
    OpenDatabase();
    WriteLimit(kLimitFile);
    {
        MessageCapture capture;
        ASSERT_TRUE(NKPlotInterfaceInit(NK_PLOT_SOURCE_FLD, "lim.fld"));
        ASSERT_TRUE(NKPlotInterfaceInfo(-1, -1));
        EXPECT_TRUE(capture.Contains("  1: Forming Limit Diagram (lim.fld)")) << capture.Text();
    }
    ASSERT_TRUE(NKCreateCurrentPlot(false));
    Build({"Limit", "Strains scatter", "1,1"});
    PlotRecord *p = g_pCurrentPlot;
    ASSERT_EQ(p->iNumCurves, 3);
    const PlotCurve *pLimit = p->ppCurves[0], *pScatter = p->ppCurves[1], *pPath = p->ppCurves[2];
    EXPECT_STREQ(pLimit->szName.GetText(), "Limit");
    ExpectPoints(pLimit, {{-0.4f, 0.6f}, {0.0f, 0.3f}, {0.4f, 0.5f}});
    EXPECT_EQ(pLimit->iKind, 4);
    EXPECT_EQ(pLimit->iMarkerType, 8);
    EXPECT_EQ(pLimit->iMarkerSize, 5);
    ExpectColors(pLimit, 255, 0, 0);
    EXPECT_STREQ(pScatter->szName.GetText(), "Strains scatter");
    ExpectPoints(pScatter, {{-0.01f, 0.02f}});
    EXPECT_EQ(pScatter->iXQuantity, -1);
    EXPECT_EQ(pScatter->iYQuantity, -1);
    EXPECT_EQ(pScatter->iMarkerType, 9);
    EXPECT_EQ(pScatter->iMarkerSize, 4);
    ExpectColors(pScatter, 0, 255, 0);
    EXPECT_STREQ(pPath->szName.GetText(), "1,1");
    ExpectPoints(pPath, {{-0.01f, 0.02f}, {-0.02f, 0.04f}, {-0.03f, 0.06f}, {-0.04f, 0.08f}});
    ExpectColors(pPath, 255, 255, 0);
    EXPECT_EQ(p->szTitle, ("FLD, Time: 0 (" + Db() + ")").c_str());
    EXPECT_STREQ(p->szXTitle.GetText(), "Middle surface local min strain");
    EXPECT_STREQ(p->szYTitle.GetText(), "Middle surface local max strain");
    EXPECT_STREQ(p->szLegendTitle.GetText(), "Legend");

    // The selected shell is marked on the scatter while element picking is on.
    // A mode change empties the list, so the element mode comes first.
    g_SelectionList.SetMode(2);
    NKPickInfo pick;
    pick.iFrame = 0;
    pick.iPart = 0;
    pick.iElement = 0;
    ASSERT_TRUE(g_SelectionList.Add(pick));
    const NKPlotPoint *pPoints = nullptr;
    EXPECT_EQ(NKPlotFLDHighlightPoints(pScatter, &pPoints), 0);
    g_SelectionList.SetEnabled(true);
    EXPECT_TRUE(FormingLimitPlot::SelectionChanged(g_SelectionList));
    ASSERT_EQ(NKPlotFLDHighlightPoints(pScatter, &pPoints), 1);
    EXPECT_NEAR(pPoints[0].y, 0.02f, 1e-6);
    EXPECT_EQ(NKPlotFLDHighlightPoints(pLimit, &pPoints), 0);
    EXPECT_FALSE(FormingLimitPlot::SelectionChanged(g_SelectionList));

    ASSERT_EQ(Run("readstate 2"), 0);
    ASSERT_EQ(g_pCurrentPlot->iNumCurves, 3);
    ExpectPoints(g_pCurrentPlot->ppCurves[1], {{-0.02f, 0.04f}});
    EXPECT_EQ(g_pCurrentPlot->szTitle, ("FLD, Time: 0.001 (" + Db() + ")").c_str());

    ASSERT_EQ(Run("th plot 1 1 Limit"), 0);
    ASSERT_EQ(g_pCurrentPlot->iNumCurves, 1);
    EXPECT_EQ(g_pCurrentPlot->szTitle, ("FLD, (" + Db() + ")").c_str());
}

TEST_F(FormingLimit, SurfaceChangeRecomputesAndRepeatedPathsStay)
{
    OpenDatabase();
    WriteLimit(kLimitFile);
    ASSERT_TRUE(NKPlotInterfaceInit(NK_PLOT_SOURCE_FLD, "lim.fld"));
    ASSERT_TRUE(NKCreateCurrentPlot(false));
    const struct {
        int iSurface;
        std::vector<std::string> names;
        int iCurves;
        const char *pszXTitle;
    } cases[] = {
        {1, {"1,1", "1,1"}, 2, "Middle surface local min strain"},
        {2, {"Strains scatter", "1,1"}, 2, "Outer surface local min strain"},
        {0, {"1,1", "9,9", "junk"}, 1, "Inner surface local min strain"},
        {1, {"Limit"}, 1, "Unknown surface local min strain"},
    };
    for (const auto &c : cases) {
        NKSetShellSurface(c.iSurface);
        Build(c.names);
        EXPECT_EQ(g_pCurrentPlot->iNumCurves, c.iCurves) << c.pszXTitle;
        EXPECT_STREQ(g_pCurrentPlot->szXTitle.GetText(), c.pszXTitle);
        for (int i = 0; i < g_pCurrentPlot->iNumCurves; i++)
            EXPECT_NEAR(g_pCurrentPlot->ppCurves[i]->pPoints[0].x,
                        i == 0 && c.names[0] == "Limit" ? -0.4f : -0.01f, 1e-6);
    }
    NKSetShellSurface(1);
}

TEST_F(FormingLimit, NoLimitFileOrNoDatabaseMakesNothing)
{
    OpenDatabase();
    {
        MessageCapture capture;
        EXPECT_FALSE(NKPlotInterfaceInit(NK_PLOT_SOURCE_FLD, "missing.fld"));
        EXPECT_TRUE(capture.Contains("Error opening FLD file.")) << capture.Text();
    }
    Run("th plot 1 1 Limit");
    EXPECT_TRUE(g_pCurrentPlot == nullptr || g_pCurrentPlot->iNumCurves == 0);
    NKPlotSourceClose();
    ASSERT_EQ(Run("open \"" + NKTestExamplePath("beam.nkf") + "\""), 0);
    WriteLimit(kLimitFile);
    EXPECT_FALSE(NKPlotInterfaceInit(NK_PLOT_SOURCE_FLD, (m_Dir + "/lim.fld").c_str()));
}

TEST_F(FormingLimit, LimitFileCutAtEveryByte)
{
    OpenDatabase();
    std::string text = kLimitFile;
    for (size_t n = 0; n <= text.size(); n++) {
        WriteLimit(text.substr(0, n));
        MessageCapture capture;
        bool bOpen = NKPlotInterfaceInit(NK_PLOT_SOURCE_FLD, "lim.fld");
        int iComponents = NKPlotSourceGetComponentCount(0);
        EXPECT_EQ(iComponents, bOpen ? 1 : 0) << n;
        if (bOpen) {
            ASSERT_TRUE(NKCreateCurrentPlot(false));
            Build({"Limit", "Strains scatter"});
            EXPECT_EQ(g_pCurrentPlot->iNumCurves, 2) << n;
            EXPECT_LE(g_pCurrentPlot->ppCurves[0]->iNumPoints, 3) << n;
        }
        NKPlotSourceClose();
    }
}

}  // namespace
