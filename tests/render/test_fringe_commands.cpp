// tests/render/test_fringe_commands.cpp -- the fringe and legend handler
// through the interpreter: the legend settings and colours without a model,
// then the fringe range and contours on the example beam.
#include <gtest/gtest.h>

#include <string>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_model_hooks.h"
#include "core/nk_render_state.h"
#include "core/nk_view_state.h"
#include "readers/nk_data_source.h"
#include "readers/nk_fem_interface.h"
#include "readers/nk_native_result_files.h"
#include "render/nk_fringe_commands.h"
#include "render/nk_fringe_texture.h"
#include "render/nk_legend.h"
#include "render/nk_node_colors.h"
#include "render/nk_view_settings.h"
#include "tests/render/render_fixture.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

namespace {

class FringeCommands : public NKRenderModelTest {
protected:
    void SetUp() override
    {
        NKRenderModelTest::SetUp();
        m_SavedHooks = NKSetModelHooks(NKModelHooks());
        NKInstallDataSources();
        NKRegisterFileCommands();
        NKRegisterFringeCommands();
    }
    void TearDown() override
    {
        NKCloseInterface();
        NKSetCommandHandler(NK_HANDLER_FRINGES, nullptr);
        NKResetFringeColors();
        NKLegendMaxTicks = 10;
        NKLegendDescription = NKString("");
        g_ValueFilterSettings = NKValueFilterSettings();
        g_bFringeDisplacements = 0;
        NKResetContourSettings(&g_ContourSettings);
        g_iContourLineWidth = 1;
        g_bContoursShown = 0;
        NKSetModelHooks(m_SavedHooks);
        NKRenderModelTest::TearDown();
    }
    int Run(const std::string &line) { return ExecuteCommand(line.c_str()); }
    NKModelHooks m_SavedHooks;
};

TEST_F(FringeCommands, SwitchesSetTheirBytesAndSayWhat)
{
    struct Row {
        const char *pszLine;
        const uint8_t *pByte;
        uint8_t uValue;
        const char *pszMessage;
    };
    const Row rows[] = {
        {"legend", &g_pViewSettings->bShowLegend, 1, "Draw fringe legend"},
        {"nolegend", &g_pViewSettings->bShowLegend, 0, "No fringe legend"},
        {"nolegendlabels", &g_pViewSettings->bShowLegendLabels, 0, "No legend labels"},
        {"tf", &g_pGraphicsSettings->bTextureFringes, 1, "Turn on textured fringes"},
        {"notf", &g_pGraphicsSettings->bTextureFringes, 0, "Turn off textured fringes"},
        {"nofringeshade", &g_pGraphicsSettings->bFringeShade, 0, "Disable shading of fringes"},
        {"flat_fringes", &g_pGraphicsSettings->bSmoothFringes, 0, "Flat fringes turned on"},
        {"fringedisplacements", &g_bFringeDisplacements, 1,
         "Enable drawing of absolute displacements as fringes"},
        {"nodeaverage", &g_pViewSettings->bNodeAverage, 1,
         "Node averaging of element values enabled."},
    };
    for (const Row &r : rows) {
        MessageCapture capture;
        EXPECT_EQ(Run(r.pszLine), 0) << r.pszLine;
        EXPECT_EQ(*r.pByte, r.uValue) << r.pszLine;
        EXPECT_TRUE(capture.HasLine(r.pszMessage)) << r.pszLine << ": " << capture.Text();
    }
}

TEST_F(FringeCommands, LegendSettingsKeepTheirRules)
{
    MessageCapture capture;
    EXPECT_EQ(Run("legendticks 1"), 0);
    EXPECT_EQ(NKLegendMaxTicks, 2);
    EXPECT_TRUE(capture.HasLine("Maximum number of legend tics set to 2."));
    EXPECT_EQ(Run("legenddescription  Von Mises   stress [MPa]"), 0);
    EXPECT_STREQ(NKLegendDescription.GetText(), "Von Mises   stress [MPa]");
    EXPECT_TRUE(capture.HasLine("Legend description set to : Von Mises   stress [MPa]."));
    EXPECT_EQ(Run("legendabovecolor 1 2"), 0);
    EXPECT_TRUE(capture.HasLine("Values lager than max fringe range set to color (1, 2, 0)."));
    EXPECT_EQ(Run("legendundefinedcolor 10 20 300"), 1);
    EXPECT_EQ(Run("legendundefinedcolor 10 20 30"), 0);
    EXPECT_EQ(NKUndefinedValueColor[2], 30);
    EXPECT_TRUE(capture.HasLine("Color for undefined scalar values set to: (10, 20, 30)."));
}

TEST_F(FringeCommands, FringeColorsDefaultsAndReversal)
{
    EXPECT_EQ(Run("fringecolors 255 0 0"), 0);
    EXPECT_EQ(NKFringeColors[0][0], 255);
    for (int i = 1; i < 5; i++)
        for (int k = 0; k < 3; k++) EXPECT_EQ(NKFringeColors[i][k], 0);
    EXPECT_EQ(Run("legendcolors 1"), 0);
    EXPECT_EQ(NKFringeColors[0][0], 255);  // red first
    EXPECT_EQ(NKFringeColors[4][2], 255);  // blue last
    EXPECT_EQ(g_pFringeTextureColors->auColors[2], 0);
    EXPECT_EQ(Run("legendcolors 0"), 0);
    NKFringeTextureColors *pDefault = NKCreateFringeTextureColors();
    const uint8_t auBlue[3] = {0, 0, 255}, auRed[3] = {255, 0, 0};
    for (int k = 0; k < 3; k++) {
        EXPECT_EQ(NKFringeColors[0][k], auBlue[k]);
        EXPECT_EQ(NKFringeColors[4][k], auRed[k]);
    }
    for (int i = 0; i < 48; i++)
        EXPECT_EQ(g_pFringeTextureColors->auColors[i], pDefault->auColors[i]);
    NKFree(pDefault);
}

TEST_F(FringeCommands, FilterSettingsAndSubCommands)
{
    MessageCapture capture;
    EXPECT_EQ(Run("fringes filter 10"), 0);
    EXPECT_TRUE(capture.HasLine("Setting visible range from 10 to 1e+12."));
    EXPECT_EQ(g_ValueFilterSettings.bValueFilter, 1);
    EXPECT_EQ(g_pViewSettings->bValueFilter, 1);
    EXPECT_EQ(Run("fringes outline"), 0);
    EXPECT_EQ(g_pViewSettings->iFilterDrawStyle, 3);
    EXPECT_TRUE(capture.HasLine("Setting outline as drawstyle for out of range polygons."));
    EXPECT_EQ(Run("fringes nofilter"), 0);
    EXPECT_EQ(g_ValueFilterSettings.bValueFilter, 0);
}

TEST_F(FringeCommands, RangeAndContoursOnTheBeam)
{
    ASSERT_EQ(Run("open \"" + NKTestExamplePath("beam.nkf") + "\""), 0);
    ASSERT_EQ(Run("nkf scalar"), 0);
    MessageCapture capture;
    EXPECT_EQ(Run("fringerange 0 100 3"), 1);
    EXPECT_TRUE(capture.HasLine("fringerange: Specified scalar field out of range", 3))
        << capture.Text();
    ASSERT_NE(NKGetCurrentScalarResult(), nullptr);
    EXPECT_EQ(Run("fringerange 0 100"), 0);
    EXPECT_TRUE(capture.HasLine("Using fringe range from 0.000000e+00 to 1.000000e+02"))
        << capture.Text();
    EXPECT_FLOAT_EQ(g_pModel->fFringeRangeTo, 100.0f);
    // Ranges that are no finite numbers are refused and change nothing.
    const float fContourMin = g_ContourSettings.fMin;
    for (const char *psz : {"fringerange 0 inf", "fringerange nan", "fringerange low high",
                            "contourrange 0 1e39", "contourrange nan 1", "fringes filter inf"}) {
        capture.Clear();
        EXPECT_EQ(Run(psz), 1) << psz;
        EXPECT_TRUE(capture.Contains("Illegal parameter specified")) << psz;
        EXPECT_FLOAT_EQ(g_pModel->fFringeRangeTo, 100.0f) << psz;
        EXPECT_EQ(g_ContourSettings.fMin, fContourMin) << psz;
        EXPECT_EQ(g_ValueFilterSettings.bValueFilter, 0) << psz;
    }
    EXPECT_EQ(Run("contours 1"), 1);
    EXPECT_TRUE(capture.HasLine(
        "contours: Illegal number of contour levels 1  (legal numbers 2 -> 200)", 3));
    EXPECT_EQ(g_bContoursShown, 0);
    EXPECT_EQ(Run("contours 5"), 0);
    EXPECT_EQ(g_ContourSettings.iNumLevels, 5);
    EXPECT_EQ(g_bContoursShown, 1);
    EXPECT_EQ(Run("stringscalar  Stress  in x"), 0);
    EXPECT_STREQ(NKGetCurrentScalarResult()->szDescription.GetText(), "Stress  in x");
    EXPECT_EQ(Run("nofringes 1 1"), 0);
    EXPECT_EQ(NKGetCurrentGeometry()->pParts[0].bFringes, 0);
    EXPECT_TRUE(capture.HasLine("Turning fringes off for part 1 to part 1"));
    EXPECT_EQ(Run("fringes 9 9"), 1);
    EXPECT_EQ(Run("contours annotation"), 0);
    EXPECT_EQ(g_ContourSettings.bValueLabels, 1);
    EXPECT_EQ(Run("clinewidth 0"), 0);
    EXPECT_EQ(g_iContourLineWidth, 1);
    EXPECT_EQ(Run("contcolor 1 2 3"), 0);
    EXPECT_TRUE(capture.HasLine("Set contour color to red=1 green=2 blue=3"));
    EXPECT_EQ(Run("contcolor fringes"), 0);
    EXPECT_EQ(g_ContourSettings.bFringeColors, 1);
}

}  // namespace
