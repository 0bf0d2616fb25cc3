// tests/core/test_interpolation.cpp -- frames inserted between states: frame
// count, times, interpolated values and their minima and maxima, undefined
// values, refusals with their messages, and Cancel leaving the model as it
// was.
#include <gtest/gtest.h>

#include <vector>

#include "core/nk_frames.h"
#include "core/nk_interpolation.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_movie_settings.h"
#include "core/nk_progress.h"
#include "platform/nk_progress_ui.h"
#include "tests/core/nk_polygon_fixtures.h"
#include "tests/test_support/message_capture.h"

namespace {

// A status bar whose Cancel button is pressed at the n-th event pump.
class CancellingUI : public NKHeadlessProgressUI {
public:
    explicit CancellingUI(int iPressAt) : m_iPressAt(iPressAt) {}
    void PumpEvents() override
    {
        NKHeadlessProgressUI::PumpEvents();
        if (++m_iPumps == m_iPressAt) RequestCancel();
    }

private:
    int m_iPressAt;
    int m_iPumps = 0;
};

// A scalar result of one part with the given node values.
NKScalarResult *MakeScalar(const std::vector<float> &values)
{
    NKScalarResult *r = NKCreateScalarResult();
    r->iNumParts = 1;
    r->pNodeResults = static_cast<NKScalarPartEntry *>(NKCalloc(1, sizeof(NKScalarPartEntry)));
    NKScalarPartEntry &e = r->pNodeResults[0];
    e.iCount = (int)values.size();
    e.pNodeValues = static_cast<float *>(NKAlloc(values.size() * sizeof(float)));
    std::copy(values.begin(), values.end(), e.pNodeValues);
    return r;
}

// A vector result of one part: node positions = coordinates + (d, 0, 0).
NKVectorResult *MakeVector(const NKPart &part, float d)
{
    NKVectorResult *r = NKCreateVectorResult();
    r->iNumParts = 1;
    r->pResults = static_cast<NKVectorPartEntry *>(NKCalloc(1, sizeof(NKVectorPartEntry)));
    NKVectorPartEntry &e = r->pResults[0];
    e.iNumNodes = part.iNumNodes;
    e.pNodeValues = static_cast<float *>(NKAlloc(3 * (size_t)part.iNumNodes * sizeof(float)));
    for (int i = 0; i < 3 * part.iNumNodes; i++)
        e.pNodeValues[i] = part.pNodeCoords[i] + (i % 3 == 0 ? d : 0.0f);
    return r;
}

class InterpolationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_pModel = NKCreateModel();
        g_pModel->fGeoScale = 1.0f;
        g_pMovieSettings = &m_MovieSettings;
        NKSetProgressUI(nullptr);
        NKGetHeadlessProgressUI()->Reset();
        NKResetProgressState();
    }
    void TearDown() override
    {
        NKDestroyModel(g_pModel);
        g_pModel = nullptr;
        g_pMovieSettings = nullptr;
        NKSetProgressUI(nullptr);
        NKResetProgressState();
    }
    // n states over one triangle geometry: time 10 x s, scalar values
    // {s, 2s, 3s} and displacement s in x.
    NKGeometry *MakeStates(int n)
    {
        NKGeometry *pGeo = NKTestMakeOnePartGeometry({0, 0, 0, 1, 0, 0, 0, 1, 0}, {{0, 1, 2}});
        EXPECT_TRUE(NKSetFrameCount(n, false));
        for (int s = 0; s < n; s++) {
            NKFrame &f = g_pModel->pFrames[s];
            f.pGeometry = pGeo;
            pGeo->iNumRef++;
            f.fTime = 10.0f * s;
            f.iStepIndex = s;
            f.pScalar = MakeScalar({(float)s, 2.0f * s, 3.0f * s});
            f.pScalar->iNumRef++;
            f.pVector = MakeVector(pGeo->pParts[0], (float)s);
            f.pVector->iNumRef++;
        }
        return pGeo;
    }
    NKMovieSettings m_MovieSettings;
};

TEST_F(InterpolationTest, ThreeStatesWithOneInsertedGiveFiveFrames)
{
    MakeStates(3);
    ASSERT_TRUE(NKInterpolateStates(1));
    ASSERT_EQ(g_pModel->iNumFrames, 5);
    const NKFrame *f = g_pModel->pFrames;
    EXPECT_FLOAT_EQ(f[1].fTime, (f[0].fTime + f[2].fTime) / 2);
    EXPECT_FLOAT_EQ(f[1].fTime, 5.0f);
    EXPECT_FLOAT_EQ(f[3].fTime, 15.0f);
    std::vector<int> flags, steps;
    for (int i = 0; i < 5; i++) {
        flags.push_back(f[i].bInterpolated);
        steps.push_back(f[i].iStepIndex);
    }
    EXPECT_EQ(flags, (std::vector<int>{0, 1, 0, 1, 0}));
    EXPECT_EQ(steps, (std::vector<int>{0, -1, 1, -1, 2}));
    EXPECT_EQ(g_pModel->iAnimationFromFrame, 0);
    EXPECT_EQ(g_pModel->iAnimationToFrame, 4);
    EXPECT_EQ(NKGetHeadlessProgressUI()->GetStatusText(), "Done.");
}

TEST_F(InterpolationTest, InsertedFramesOwnInterpolatedResults)
{
    MakeStates(2);
    ASSERT_TRUE(NKInterpolateStates(3));  // t = 0.25, 0.5, 0.75
    ASSERT_EQ(g_pModel->iNumFrames, 5);
    const NKFrame *f = g_pModel->pFrames;
    EXPECT_NE(f[2].pScalar, f[0].pScalar);
    EXPECT_EQ(f[2].pScalar->iNumRef, 1);
    EXPECT_EQ(f[0].pScalar->iNumRef, 1);  // only the state frame holds it now
    EXPECT_FLOAT_EQ(f[2].pScalar->pNodeResults[0].pNodeValues[2], 1.5f);
    EXPECT_FLOAT_EQ(f[1].pVector->pResults[0].pNodeValues[3], 1.25f);  // node 1 x
    EXPECT_FLOAT_EQ(f[2].pScalar->nodeMinMax.min, 0.5f);
    EXPECT_EQ(f[2].pScalar->nodeMinMax.iMinNode, 0);
    EXPECT_FLOAT_EQ(f[2].pScalar->nodeMinMax.max, 1.5f);
    EXPECT_FLOAT_EQ(f[3].pVector->lengthMinMax.min, 0.75f);
    EXPECT_FLOAT_EQ(f[3].pVector->lengthMinMax.max, 0.75f);
}

TEST_F(InterpolationTest, UndefinedValuesStayUndefinedAndOutOfMinMax)
{
    MakeStates(2);
    g_pModel->pFrames[1].pScalar->pNodeResults[0].pNodeValues[2] = NK_UNDEFINED_VALUE;
    g_pModel->pFrames[1].pVector->pResults[0].pNodeValues[8] = NK_UNDEFINED_VALUE;  // node 2 z
    g_pModel->pFrames[1].fTime = NK_UNDEFINED_VALUE;
    ASSERT_TRUE(NKInterpolateStates(1));
    const NKScalarResult *r = g_pModel->pFrames[1].pScalar;
    EXPECT_TRUE(NKIsUndefined(r->pNodeResults[0].pNodeValues[2]));
    EXPECT_TRUE(NKIsUndefined(g_pModel->pFrames[1].fTime));
    EXPECT_FLOAT_EQ(r->nodeMinMax.max, 1.0f);  // node 1: 0 + (2 - 0) / 2
    EXPECT_EQ(r->nodeMinMax.iMaxNode, 1);
    EXPECT_FLOAT_EQ(g_pModel->pFrames[1].pVector->lengthMinMax.max, 0.5f);  // nodes 0 and 1
    EXPECT_TRUE(NKIsUndefined(NKInterpolateValue(1.0f, NK_UNDEFINED_VALUE, 0.0f)));
    EXPECT_FLOAT_EQ(NKInterpolateValue(1.0f, 3.0f, 0.5f), 2.0f);
}

TEST_F(InterpolationTest, RefusalsPrintTheirMessages)
{
    MessageCapture capture;
    MakeStates(1);
    EXPECT_FALSE(NKInterpolateStates(0));
    EXPECT_FALSE(NKInterpolateStates(1));
    EXPECT_TRUE(capture.HasLine("You need at least two states to do interstate interpolation.",
                                NK_MSG_ERROR));
    EXPECT_EQ(g_pModel->iNumFrames, 1);
}

TEST_F(InterpolationTest, TwoGeometriesAreAnAdaptiveModel)
{
    MessageCapture capture;
    MakeStates(2);
    NKFrame &f = g_pModel->pFrames[1];
    NKReleaseGeometry(f.pGeometry);
    f.pGeometry = NKTestMakeOnePartGeometry({0, 0, 0, 1, 0, 0, 0, 1, 0}, {{0, 1, 2}});
    f.pGeometry->iNumRef++;
    EXPECT_FALSE(NKInterpolateStates(1));
    EXPECT_TRUE(capture.HasLine("Interstate interpolation not supported on adaptive models.",
                                NK_MSG_ERROR));
    EXPECT_EQ(g_pModel->iNumFrames, 2);
}

TEST_F(InterpolationTest, FramesWithoutResultsOrGeometryAreRefused)
{
    MessageCapture capture;
    MakeStates(2);
    NKFrame &f1 = g_pModel->pFrames[1];
    NKReleaseGeometry(f1.pGeometry);
    f1.pGeometry = nullptr;
    EXPECT_FALSE(NKInterpolateStates(1));
    EXPECT_TRUE(capture.HasLine("All frames need to have a Geometry.", NK_MSG_ERROR));
    NKFrame &f0 = g_pModel->pFrames[0];
    NKReleaseScalarResult(f0.pScalar);
    NKReleaseVectorResult(f0.pVector);
    f0.pScalar = nullptr;
    f0.pVector = nullptr;
    EXPECT_FALSE(NKInterpolateStates(1));
    EXPECT_TRUE(capture.HasLine(
        "You need to have scalar or vector results for interstate interpolation.", NK_MSG_ERROR));
}

TEST_F(InterpolationTest, CancelLeavesFramesAndCountsAsTheyWere)
{
    NKGeometry *pGeo = MakeStates(3);
    NKFrame *pOldFrames = g_pModel->pFrames;
    std::vector<NKScalarResult *> scalars;
    for (int i = 0; i < 3; i++) scalars.push_back(g_pModel->pFrames[i].pScalar);
    CancellingUI ui(2);  // pressed while the second new frame is done
    NKSetProgressUI(&ui);
    EXPECT_FALSE(NKInterpolateStates(1));
    EXPECT_EQ(ui.GetStatusText(), "Aborted.");
    EXPECT_EQ(g_pModel->pFrames, pOldFrames);
    EXPECT_EQ(g_pModel->iNumFrames, 3);
    EXPECT_EQ(pGeo->iNumRef, 3);
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(g_pModel->pFrames[i].pScalar, scalars[i]);
        EXPECT_EQ(scalars[i]->iNumRef, 1);
        EXPECT_EQ(g_pModel->pFrames[i].pVector->iNumRef, 1);
    }
}

TEST_F(InterpolationTest, SecondCallInterpolatesAllFramesAgain)
{
    MakeStates(2);
    ASSERT_TRUE(NKInterpolateStates(1));
    ASSERT_TRUE(NKInterpolateStates(1));
    EXPECT_EQ(g_pModel->iNumFrames, 5);
    EXPECT_FLOAT_EQ(g_pModel->pFrames[1].fTime, 2.5f);
    EXPECT_EQ(g_pModel->pFrames[0].pGeometry->iNumRef, 5);
}

}  // namespace
