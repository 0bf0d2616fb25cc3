// tests/readers/test_animation_setup.cpp -- frames from the steps of the
// made-up source of fake_source.h: which steps become frames, what each
// frame holds, reuse of the frame array, refusals, Cancel, and the work at
// the end (fringe range, contours, drawing).
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_load_hooks.h"
#include "core/nk_model_hooks.h"
#include "core/nk_progress.h"
#include "core/nk_view_state.h"
#include "platform/nk_progress_ui.h"
#include "readers/nk_animation_setup.h"
#include "tests/readers/fake_source.h"

namespace {

// A status bar that keeps every status text and presses Cancel when the bar
// reaches iCancelAt.
class RecordingProgressUI : public NKHeadlessProgressUI {
public:
    void SetStatusText(const char *pszText) override
    {
        texts.push_back(pszText);
        NKHeadlessProgressUI::SetStatusText(pszText);
    }
    void SetProgressPosition(int iPosition) override
    {
        if (iPosition == iCancelAt) RequestCancel();
        NKHeadlessProgressUI::SetProgressPosition(iPosition);
    }
    std::vector<std::string> texts;
    int iCancelAt = -1;
};

class AnimationSetup : public FakeSourceTest {
protected:
    void SetUp() override
    {
        FakeSourceTest::SetUp();
        NKResetProgressState();
        NKSetProgressUI(&m_UI);
        ASSERT_EQ(OpenInterface(NK_INTERFACE_NATIVE, "fake"), 1);
    }
    void TearDown() override
    {
        NKSetProgressUI(nullptr);
        NKResetProgressState();
        g_bAutoFringeRange = g_bContoursShown = g_bDrawAnimationSetup = 0;
        g_pGraphicsSettings = nullptr;
        FakeSourceTest::TearDown();
    }
    RecordingProgressUI m_UI;
};

std::vector<int> FrameSteps(void)
{
    std::vector<int> steps;
    for (int i = 0; i < g_pModel->iNumFrames; i++) steps.push_back(g_pModel->pFrames[i].iStepIndex);
    return steps;
}

TEST_F(AnimationSetup, ARangeGivesOneFramePerSkippedStep)
{
    struct Row {
        int iFrom, iTo, iSkip;
        std::vector<int> steps;
    } rows[] = {{0, 9, 3, {0, 3, 6, 9}}, {0, 10, 3, {0, 3, 6, 9}}, {2, 2, 1, {2}},
                {1, 8, 2, {1, 3, 5, 7}}};
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << row.iFrom << ".." << row.iTo << " by " << row.iSkip);
        EXPECT_TRUE(SetupAnimationFromInterface(row.iFrom, row.iTo, row.iSkip, nullptr, 0));
        EXPECT_EQ(FrameSteps(), row.steps);
        NKFrame *pLast = NKGetFrame(g_pModel->iNumFrames - 1);
        EXPECT_EQ(pLast->szDescription, NKString::FromFormat("step %d", row.steps.back()));
        EXPECT_EQ(pLast->fTime, 0.25f * row.steps.back());
        EXPECT_EQ(g_pModel->iCurrentFrame, g_pModel->iNumFrames - 1);
        EXPECT_EQ(m_UI.GetStatusText(), "Completed setting up animation from Fake interface");
    }
}

TEST_F(AnimationSetup, RefusedRequestsLeaveTheFramesAlone)
{
    struct Row {
        const char *pszWhy;
        int iFrom, iTo, iSkip;
        bool bList;
        std::vector<int> list;
    } rows[] = {{"list reaches the step count", 0, 0, 1, true, {0, 10}},
                {"negative listed step", 0, 0, 1, true, {-1}},
                {"empty list", 0, 9, 1, true, {}},
                {"range runs backwards", 5, 4, 2, false, {}},
                {"no skip", 0, 4, 0, false, {}}};
    ASSERT_TRUE(NKSetFrameCount(2, false));
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

TEST_F(AnimationSetup, FramesShareEachGeometryUntilTheNextAndTakeItsAttributes)
{
    // Frame 0 shows a geometry drawn as lines before the set-up.
    ASSERT_TRUE(NKSetFrameCount(1, false));
    NKGeometry *pShown = NKCreateGeometry(1);
    pShown->pParts[0].iDrawStyle = NK_DRAW_LINES;
    ASSERT_TRUE(ComputeGeometryData(pShown, 0, 0, -1, 0));
    g_Fake.geometrySteps = {0, 3};
    const int aiSteps[] = {0, 1, 2, 3, 4};
    EXPECT_TRUE(SetupAnimationFromInterface(0, 0, 1, aiSteps, 5));

    NKGeometry *pFirst = g_pModel->pFrames[0].pGeometry;
    NKGeometry *pSecond = g_pModel->pFrames[3].pGeometry;
    EXPECT_EQ(pFirst->iStepNumber, 0);
    EXPECT_EQ(pSecond->iStepNumber, 3);
    EXPECT_EQ(g_pModel->pFrames[2].pGeometry, pFirst);
    EXPECT_EQ(g_pModel->pFrames[4].pGeometry, pSecond);
    EXPECT_EQ(pFirst->iNumRef, 3);
    EXPECT_EQ(pSecond->iNumRef, 2);
    EXPECT_EQ(pSecond->pParts[0].iDrawStyle, NK_DRAW_LINES);
    EXPECT_EQ(g_Fake.visibilitySteps, (std::vector<int>{1, 2, 4}));
}

TEST_F(AnimationSetup, AnEqualFrameArrayIsReused)
{
    ASSERT_TRUE(SetupAnimationFromInterface(0, 4, 2, nullptr, 0));
    NKFrame *pFrames = g_pModel->pFrames;
    ASSERT_TRUE(SetupAnimationFromInterface(0, 4, 2, nullptr, 0));
    EXPECT_EQ(g_pModel->pFrames, pFrames);
    ASSERT_TRUE(SetupAnimationFromInterface(0, 6, 2, nullptr, 0));
    EXPECT_NE(g_pModel->pFrames, pFrames);
    EXPECT_EQ(FrameSteps(), (std::vector<int>{0, 2, 4, 6}));
}

TEST_F(AnimationSetup, CancelAtTheSecondFrameLeavesOneFrame)
{
    m_UI.iCancelAt = 1;
    EXPECT_FALSE(SetupAnimationFromInterface(0, 4, 2, nullptr, 0));
    EXPECT_EQ(g_pModel->iNumFrames, 1);
    EXPECT_EQ(m_UI.GetStatusText(), "Animation setup canceled.");
    EXPECT_EQ(m_UI.texts.front(), "Setting up animation from Fake interface...");
    EXPECT_EQ(m_UI.texts[1], "Setting up animation from Fake interface, step 1 (1 of 3)");
}

TEST_F(AnimationSetup, FramesTakeCurrentSecondaryAndTransformationResults)
{
    g_Fake.iNumTransformations = 2;
    ASSERT_EQ(OpenInterface(NK_INTERFACE_NATIVE, "fake"), 1);  // counted on open
    g_pModel->iSecondaryScalar = 4;
    g_pModel->iSecondaryVector = 1;
    NKReleaseScalarResult(NKGetInterfaceScalar(3, 0, nullptr, true));
    // Twice, so that the second run copies frames that hold every result.
    for (int iTo : {2, 3}) {
        ASSERT_TRUE(SetupAnimationFromInterface(0, iTo, 1, nullptr, 0));
        for (int i = 0; i <= iTo; i++) {
            const NKFrame &frame = g_pModel->pFrames[i];
            EXPECT_EQ(frame.pScalar->iNumStepsInFile, 3);  // the index read
            EXPECT_EQ(frame.pScalar->iStepNumber, i);
            EXPECT_EQ(frame.pVector, nullptr);  // no current vector
            EXPECT_EQ(frame.pExtraScalar[1]->iNumStepsInFile, 4);
            EXPECT_EQ(frame.pExtraScalar[1]->iNumRef, 1);
            EXPECT_EQ(frame.pExtraVector[1]->iStepNumber, i);
            EXPECT_EQ(frame.pSeparateVectors[1]->szName, "field 1");
        }
    }
    EXPECT_EQ(NKGetCurrentScalarIndex(), 3);
    EXPECT_EQ(NKGetCurrentTransformationIndex(), 1);
    EXPECT_EQ(NKGetCurrentStep(), 3);
}

std::vector<std::string> sg_Commands;
std::vector<int> sg_DrawnFrames;
int sg_iContourUpdates = 0;

TEST_F(AnimationSetup, TheEndRunsFringeRangeOrContoursAndFramesAreDrawnUnlessQuadStereo)
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
    NKModelHooks modelHooks = NKGetModelHooks();
    modelHooks.pfnExecuteCommand = [](const char *pszLine) {
        sg_Commands.push_back(pszLine);
        return 0;
    };
    NKModelHooks savedModelHooks = NKSetModelHooks(modelHooks);
    NKLoadHooks loadHooks = NKGetLoadHooks();
    loadHooks.pfnUpdateContours = [] { return ++sg_iContourUpdates > 0; };
    loadHooks.pfnDrawScene = [](int iFrame, int iFlag1, int iFlag2) {
        sg_DrawnFrames.push_back(iFrame);
        return iFlag1 == 1 && iFlag2 == 1;
    };
    NKLoadHooks savedLoadHooks = NKSetLoadHooks(loadHooks);
    NKGraphicsSettings settings;
    g_pGraphicsSettings = &settings;
    for (const Row &row : rows) {
        sg_Commands.clear();
        sg_DrawnFrames.clear();
        sg_iContourUpdates = 0;
        g_bAutoFringeRange = row.bAuto;
        g_bContoursShown = row.bContours;
        g_bDrawAnimationSetup = row.bDraw;
        settings.bQuadBufferStereo = row.bQuadStereo;
        EXPECT_TRUE(SetupAnimationFromInterface(0, 1, 1, nullptr, 0));
        EXPECT_EQ(sg_Commands, row.commands);
        EXPECT_EQ(sg_iContourUpdates, row.iContourUpdates);
        EXPECT_EQ(sg_DrawnFrames, row.drawn);
    }
    NKSetModelHooks(savedModelHooks);
    NKSetLoadHooks(savedLoadHooks);
}

}  // namespace
