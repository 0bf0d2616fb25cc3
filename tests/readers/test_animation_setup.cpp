// tests/readers/test_animation_setup.cpp -- frames from the steps of an NKF
// file: which steps become frames and what each holds, reuse of the frame
// array, refused requests, Cancel, and the work at the end (fringe range,
// contours, drawing each frame).
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_load_hooks.h"
#include "core/nk_model_hooks.h"
#include "readers/nk_animation_setup.h"
#include "tests/readers/nkf_steps_fixture.h"

namespace {

using AnimationSetup = StepsFileTest;

std::vector<int> FrameSteps(void)
{
    std::vector<int> steps;
    for (int i = 0; i < g_pModel->iNumFrames; i++) steps.push_back(g_pModel->pFrames[i].iStepIndex);
    return steps;
}

TEST_F(AnimationSetup, EverySecondStepSharesTheOneGeometry)
{
    OpenSteps();
    ASSERT_TRUE(SetupAnimationFromInterface(0, 4, 2, nullptr, 0));
    ASSERT_EQ(FrameSteps(), (std::vector<int>{0, 2, 4}));
    const char *apszNames[] = {"a", "c", "Step : 5"};
    const float afTimes[] = {0.5f, 1.5f, -1.0f};
    for (int i = 0; i < 3; i++) {
        const NKFrame &frame = g_pModel->pFrames[i];
        EXPECT_EQ(frame.szDescription, apszNames[i]);
        EXPECT_EQ(frame.fTime, afTimes[i]);
        EXPECT_EQ(frame.pGeometry, g_pModel->pFrames[0].pGeometry);
        ASSERT_NE(frame.pSeparateVectors[1], nullptr);
        EXPECT_EQ(frame.pSeparateVectors[1]->szName, "Wind");
    }
    EXPECT_EQ(g_pModel->pFrames[0].pGeometry->iNumRef, 3);
    EXPECT_EQ(g_pModel->iCurrentFrame, 2);
    EXPECT_EQ(m_UI.GetStatusText(), "Completed setting up animation from NKF File interface");
}

TEST_F(AnimationSetup, CancelAtTheSecondFrameLeavesOneFrame)
{
    OpenSteps();
    m_UI.iCancelAt = 1;
    m_UI.texts.clear();
    EXPECT_FALSE(SetupAnimationFromInterface(0, 4, 2, nullptr, 0));
    EXPECT_EQ(g_pModel->iNumFrames, 1);
    EXPECT_EQ(m_UI.GetStatusText(), "Animation setup canceled.");
    EXPECT_EQ(m_UI.texts.front(), "Setting up animation from NKF File interface...");
    EXPECT_NE(std::find(m_UI.texts.begin(), m_UI.texts.end(),
                        "Setting up animation from NKF File interface, step 1 (1 of 3)"),
              m_UI.texts.end());
}

TEST_F(AnimationSetup, RangesStepBySkipAndAnEqualFrameArrayIsReused)
{
    struct Row {
        int iFrom, iTo, iSkip;
        std::vector<int> steps;
    } rows[] = {
        {0, 9, 3, {0, 3, 6, 9}}, {0, 10, 3, {0, 3, 6, 9}}, {1, 3, 1, {1, 2, 3}}, {4, 4, 1, {4}}};
    OpenSteps();
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << row.iFrom << ".." << row.iTo << " by " << row.iSkip);
        EXPECT_TRUE(SetupAnimationFromInterface(row.iFrom, row.iTo, row.iSkip, nullptr, 0));
        EXPECT_EQ(FrameSteps(), row.steps);
    }
    // Steps past the file's five keep the description they were copied with.
    EXPECT_TRUE(SetupAnimationFromInterface(0, 9, 3, nullptr, 0));
    EXPECT_EQ(g_pModel->pFrames[2].szDescription, "Step : 5");
    EXPECT_EQ(g_pModel->pFrames[3].szDescription, "Step : 5");
    NKFrame *pFrames = g_pModel->pFrames;
    EXPECT_TRUE(SetupAnimationFromInterface(0, 9, 3, nullptr, 0));
    EXPECT_EQ(g_pModel->pFrames, pFrames);
}

TEST_F(AnimationSetup, RefusedRequestsLeaveTheFramesAlone)
{
    struct Row {
        const char *pszWhy;
        int iFrom, iTo, iSkip;
        bool bList;
        std::vector<int> list;
    } rows[] = {{"a listed step equals the step count", 0, 0, 1, true, {0, 5}},
                {"a negative listed step", 0, 0, 1, true, {-1}},
                {"an empty list", 0, 4, 1, true, {}},
                {"a backward range", 3, 2, 2, false, {}},
                {"no skip", 0, 4, 0, false, {}}};
    OpenSteps();
    ASSERT_TRUE(SetupAnimationFromInterface(0, 1, 1, nullptr, 0));
    NKFrame *pFrames = g_pModel->pFrames;
    int iNoStep = 0;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.pszWhy);
        const int *piList = row.list.empty() ? &iNoStep : row.list.data();
        EXPECT_FALSE(SetupAnimationFromInterface(row.iFrom, row.iTo, row.iSkip,
                                                 row.bList ? piList : nullptr,
                                                 static_cast<int>(row.list.size())));
        EXPECT_EQ(g_pModel->pFrames, pFrames);
        EXPECT_EQ(g_pModel->iNumFrames, 2);
    }
    NKCloseInterface();
    EXPECT_FALSE(SetupAnimationFromInterface(0, 1, 1, nullptr, 0));  // no source
    EXPECT_EQ(g_pModel->pFrames, pFrames);
}

TEST_F(AnimationSetup, FramesHoldTheCurrentAndTheSecondaryScalar)
{
    // As the open command leaves it: frame 0 holds the first step's geometry and
    // scalar 0 is current.
    OpenSteps();
    NKGeometry *pGeo = NKGetInterfaceGeometry(0);
    ASSERT_TRUE(ComputeGeometryData(pGeo, 0, 0, 0, 0));
    NKReleaseScalarResult(NKGetInterfaceScalar(0, 0, pGeo, true));
    g_pModel->iSecondaryScalar = 0;
    // Twice, so that the second run copies frames that hold both results.
    for (int iTo : {1, 2}) {
        ASSERT_TRUE(SetupAnimationFromInterface(0, iTo, 1, nullptr, 0));
        for (int i = 0; i <= iTo; i++) {
            const NKFrame &frame = g_pModel->pFrames[i];
            ASSERT_NE(frame.pScalar, nullptr);
            ASSERT_NE(frame.pExtraScalar[1], nullptr);
            EXPECT_NE(frame.pExtraScalar[1], frame.pScalar);
            EXPECT_EQ(frame.pExtraScalar[1]->iNumRef, 1);
        }
    }
    EXPECT_EQ(NKGetCurrentScalarIndex(), 0);
}

std::vector<std::string> sg_Commands;
std::vector<int> sg_DrawnFrames;
int sg_iContourUpdates = 0;

TEST_F(AnimationSetup, TheEndSetsTheFringeRangeOrContoursAndFramesAreDrawnUnlessQuadStereo)
{
    struct Row {
        uint8_t bAuto, bContours, bDraw, bQuadStereo;
        std::vector<std::string> commands;
        int iContourUpdates;
        std::vector<int> drawn;
    } rows[] = {{1, 1, 0, 0, {"fringerange 1 0"}, 0, {}},
                {0, 1, 0, 0, {}, 1, {}},
                {0, 0, 1, 0, {}, 0, {0, 1}},
                {0, 0, 1, 1, {}, 0, {}}};
    NKModelHooks modelHooks;
    modelHooks.pfnExecuteCommand = [](const char *pszLine) {
        sg_Commands.push_back(pszLine);
        return 0;
    };
    NKModelHooks savedModelHooks = NKSetModelHooks(modelHooks);
    NKLoadHooks loadHooks;
    loadHooks.pfnUpdateContours = [] { return ++sg_iContourUpdates > 0; };
    loadHooks.pfnDrawScene = [](int iFrame, int, int) {
        sg_DrawnFrames.push_back(iFrame);
        return true;
    };
    NKLoadHooks savedLoadHooks = NKSetLoadHooks(loadHooks);
    NKGraphicsSettings settings;
    g_pGraphicsSettings = &settings;
    OpenSteps();
    for (const Row &row : rows) {
        sg_Commands.clear();
        sg_DrawnFrames.clear();
        sg_iContourUpdates = 0;
        g_bAutoFringeRange = row.bAuto;
        g_bContoursShown = row.bContours;
        g_AnimationSettings.bDrawAnimationSetup = row.bDraw;
        settings.bQuadBufferStereo = row.bQuadStereo;
        EXPECT_TRUE(SetupAnimationFromInterface(0, 1, 1, nullptr, 0));
        EXPECT_EQ(sg_Commands, row.commands);
        EXPECT_EQ(sg_iContourUpdates, row.iContourUpdates);
        EXPECT_EQ(sg_DrawnFrames, row.drawn);
    }
    g_pGraphicsSettings = nullptr;
    NKSetModelHooks(savedModelHooks);
    NKSetLoadHooks(savedLoadHooks);
}

}  // namespace
