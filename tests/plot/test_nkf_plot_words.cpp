// tests/plot/test_nkf_plot_words.cpp -- the current plot's extra settings
// record word by word: export and import share one table, so a row that is
// wrong in it survives every round trip. Here every axis-flag byte and
// style byte holds a value of its own, and each word is checked against
// the byte the record's layout puts there, written out below; a record
// written by hand imports into the same bytes, and a placement of 0, 0
// into the view's corner.
#include <gtest/gtest.h>

#include <string>

#include "core/nk_plot_records.h"
#include "nkf/nkf_display_hooks.h"
#include "nkf/nkf_state_records.h"
#include "plot/nk_nkf_plot_state.h"
#include "plot/nk_plot.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/plot/plot_command_fixture.h"

namespace {

// Record word and the axis-flag byte it holds. Flags 3, 8, 13 and 17 are
// in no word.
const int kFlagWords[][2] = {{67, 10}, {68, 11}, {69, 12}, {70, 4}, {71, 14}, {72, 15}, {73, 16},
                             {74, 9},  {91, 0},  {92, 1},  {93, 2}, {97, 5},  {98, 6},  {99, 7}};
const int kUnexportedFlags[] = {3, 8, 13, 17};

// Words 75-80: x grid, y grid, legend, stipple, background legend, x
// marker line.
uint8_t *StyleByte(PlotRecord *p, int k)
{
    uint8_t *apb[6] = {
        &p->bXGrid,      &p->bYGrid, &p->bLegendShown, &p->bStipple, &p->bBackgroundLegend,
        &p->bXMarkerLine};
    return apb[k];
}

// Each flag and style byte a value no other byte holds.
uint8_t FlagValue(int iFlag) { return static_cast<uint8_t>(20 + iFlag); }
uint8_t StyleValue(int k) { return static_cast<uint8_t>(60 + k); }

class NKFPlotWords : public PlotCommandFixture<NKModelTest> {
protected:
    void SetUp() override
    {
        NKModelTest::SetUp();
        SetUpPlotCommands("quolin_nkf_plot_words_");
        NKInstallNKFPlotState(true);
        g_pCurrentPlot = NKCreatePlot();
        ASSERT_NE(g_pCurrentPlot, nullptr);
    }
    void TearDown() override
    {
        NKInstallNKFPlotState(false);
        TearDownPlotCommands();
        NKModelTest::TearDown();
    }
    static bool Fill(NKFExtraSettings *pRec)
    {
        NKFInitExtraSettings(pRec);
        for (int h = 0; h < NKFGetNumDisplayStateHooks(); h++) {
            const NKFDisplayStateHooks &hooks = NKFGetDisplayStateHooks(h);
            if (hooks.pfnFillExtra != nullptr && hooks.pfnFillExtra(pRec)) return true;
        }
        return false;
    }
    static void Apply(const NKFExtraSettings &rec)
    {
        for (int h = 0; h < NKFGetNumDisplayStateHooks(); h++) {
            const NKFDisplayStateHooks &hooks = NKFGetDisplayStateHooks(h);
            if (hooks.pfnApplyExtra != nullptr) hooks.pfnApplyExtra(rec);
        }
    }
    static void Viewport(int aiOut[4])
    {
        NKGetPlotViewport(g_pCurrentPlot, &aiOut[0], &aiOut[1], &aiOut[2], &aiOut[3]);
    }
};

TEST_F(NKFPlotWords, EveryFlagAndStyleByteIsExportedIntoItsOwnWord)
{
    PlotRecord *p = g_pCurrentPlot;
    for (int i = 0; i < NK_AXIS_NUM_FLAGS; i++) p->ucAxisFlags[i] = FlagValue(i);
    for (int k = 0; k < 6; k++) *StyleByte(p, k) = StyleValue(k);
    p->ucBackground[0] = 255, p->ucBackground[1] = 0, p->ucBackground[2] = 51;
    p->ucBackground[3] = 77;
    p->bTitleShown = 1;
    p->iXAxisQuantity = 2;
    g_bPlotShown = 1;
    NKSetPlotViewport(p, 80, 150, 400, 300);
    NKFExtraSettings rec;
    ASSERT_TRUE(Fill(&rec));
    for (const auto &f : kFlagWords)
        EXPECT_EQ(rec.I(f[0]), FlagValue(f[1])) << "word " << f[0] << ", flag " << f[1];
    for (int k = 0; k < 6; k++) EXPECT_EQ(rec.I(75 + k), StyleValue(k)) << "word " << 75 + k;
    for (int iFlag : kUnexportedFlags)
        for (int n = 61; n < NKF_EXTRA_SETTINGS_WORDS; n++)
            EXPECT_NE(rec.I(n), FlagValue(iFlag)) << "flag " << iFlag << " in word " << n;
    EXPECT_EQ(rec.I(61), 1);
    EXPECT_EQ(rec.I(62), 0);
    // The placement over the 800 x 600 view.
    const float afPlace[4] = {0.1f, 0.25f, 0.5f, 0.5f};
    for (int k = 0; k < 4; k++) EXPECT_FLOAT_EQ(rec.F(81 + k), afPlace[k]) << "word " << 81 + k;
    EXPECT_FLOAT_EQ(rec.F(85), 1.0f);
    EXPECT_FLOAT_EQ(rec.F(86), 0.0f);
    EXPECT_FLOAT_EQ(rec.F(87), 0.2f);
    EXPECT_EQ(rec.I(88), 77);
    EXPECT_EQ(rec.I(89), 1);
    EXPECT_EQ(rec.I(90), 1);
}

TEST_F(NKFPlotWords, ARecordWrittenByHandImportsIntoTheSameBytes)
{
    PlotRecord *p = g_pCurrentPlot;
    uint8_t aucBefore[NK_AXIS_NUM_FLAGS];
    NKGetPlotAxisFlags(p, aucBefore);
    NKFExtraSettings rec;
    NKFInitExtraSettings(&rec);
    for (const auto &f : kFlagWords) rec.SetI(f[0], FlagValue(f[1]));
    for (int k = 0; k < 6; k++) rec.SetI(75 + k, StyleValue(k));
    // The plot's corner: a placement of 0, 0 is a place, not "unset".
    const float afPlace[4] = {0.0f, 0.0f, 0.5f, 0.5f};
    for (int k = 0; k < 4; k++) rec.SetF(81 + k, afPlace[k]);
    NKSetPlotViewport(p, 200, 100, 100, 100);
    Apply(rec);
    p = g_pCurrentPlot;
    ASSERT_NE(p, nullptr);
    uint8_t aucAfter[NK_AXIS_NUM_FLAGS];
    NKGetPlotAxisFlags(p, aucAfter);
    for (const auto &f : kFlagWords) EXPECT_EQ(aucAfter[f[1]], FlagValue(f[1])) << "flag " << f[1];
    for (int iFlag : kUnexportedFlags) EXPECT_EQ(aucAfter[iFlag], aucBefore[iFlag]) << iFlag;
    for (int k = 0; k < 6; k++) EXPECT_EQ(*StyleByte(p, k), StyleValue(k)) << "word " << 75 + k;
    int aiPlace[4];
    Viewport(aiPlace);
    EXPECT_EQ(aiPlace[0], 0);
    EXPECT_EQ(aiPlace[1], 0);
    EXPECT_EQ(aiPlace[2], 400);
    EXPECT_EQ(aiPlace[3], 300);
}

}  // namespace
