// tests/core/test_model_hooks.cpp -- the slots through which the model core
// reaches higher folders: the neutral answers while a slot is empty (what the
// core does on its own), and that a filled slot gets the call and its answer.
#include <gtest/gtest.h>

#include "core/nk_graphics_settings.h"
#include "core/nk_model_hooks.h"

namespace {

class ModelHooks : public ::testing::Test {
protected:
    void SetUp() override { m_Saved = NKSetModelHooks(NKModelHooks()); }
    void TearDown() override { NKSetModelHooks(m_Saved); }
    NKModelHooks m_Saved;
};

TEST_F(ModelHooks, EmptySlotsGiveTheNeutralAnswers)
{
    float afBox[6] = {};
    EXPECT_TRUE(NKFreeCutSurfaces(-1, -1));
    EXPECT_TRUE(NKFreeIsoSurfaces(-1));
    EXPECT_TRUE(NKConvertCutPlanePoints(true));
    EXPECT_TRUE(NKComputeNodeTraces());
    EXPECT_FALSE(NKGetPrimitivesBox(nullptr, afBox));
    EXPECT_FALSE(NKIsPolygonFilteredOut(nullptr, 0, 0));
    EXPECT_EQ(NKGetPartLevel(nullptr, 0), 0);
    EXPECT_EQ(NKRunCommandLine("rotationpoint model"), 3);
    // Release calls with nothing to release them are harmless.
    NKReleaseCutSurface(nullptr);
    NKReleasePrimitives(nullptr);
    NKFreeFrameIsoSurfaces(nullptr);
    NKFreeFrameTraces(nullptr);

    float afValues[2] = {1.0f, 2.0f};
    uint8_t aColors[6] = {9, 9, 9, 9, 9, 9};
    float afTex[2] = {5.0f, 5.0f};
    NKMapScalarsToColors(0.0f, 2.0f, 2, afValues, aColors, afTex);
    for (uint8_t c : aColors) EXPECT_EQ(c, 0);
    EXPECT_FLOAT_EQ(afTex[1], 0.0f);
}

TEST_F(ModelHooks, CursorIsRememberedAndInvalidationSetsTheFlag)
{
    int iBefore = SetInteractionCursor(NK_CURSOR_WAIT);
    EXPECT_EQ(SetInteractionCursor(iBefore), NK_CURSOR_WAIT);
    g_bViewInvalidated = 0;
    NKInvalidateView();
    EXPECT_EQ(g_bViewInvalidated, 1);
    g_bViewInvalidated = 0;
}

int sg_iCalls = 0;
const char *sg_pszLine = nullptr;

TEST_F(ModelHooks, FilledSlotsGetTheCallAndGiveTheirAnswer)
{
    NKModelHooks hooks;
    hooks.pfnExecuteCommand = [](const char *pszLine) {
        sg_pszLine = pszLine;
        return 0;
    };
    hooks.pfnGetPartLevel = [](const NKGeometry *, int iPart) { return uint8_t(4 * iPart); };
    hooks.pfnComputeNodeTraces = [] { return false; };
    hooks.pfnInvalidateView = [] { sg_iCalls++; };
    hooks.pfnShowInteractionCursor = [](int) { sg_iCalls++; };
    hooks.pfnGetPrimitivesBox = [](const Primitive3DList *pList, float *pfBox) {
        pfBox[0] = pList == nullptr ? -1.0f : 1.0f;
        return true;
    };
    NKSetModelHooks(hooks);
    sg_iCalls = 0;

    EXPECT_EQ(NKRunCommandLine("rotationpoint model"), 0);
    EXPECT_STREQ(sg_pszLine, "rotationpoint model");
    EXPECT_EQ(NKGetPartLevel(nullptr, 2), 8);
    EXPECT_FALSE(NKComputeNodeTraces());
    float afBox[6] = {};
    EXPECT_TRUE(NKGetPrimitivesBox(nullptr, afBox));
    EXPECT_FLOAT_EQ(afBox[0], -1.0f);  // null asks for the list of no part
    EXPECT_FALSE(NKGetPrimitivesBox(nullptr, nullptr));
    NKInvalidateView();
    SetInteractionCursor(NK_CURSOR_NORMAL);
    EXPECT_EQ(sg_iCalls, 2);
    EXPECT_EQ(g_bViewInvalidated, 1);
    g_bViewInvalidated = 0;
}

}  // namespace
