// tests/core/test_nk_frames.cpp -- the frame array of the global model:
// frame access, resizing with its copies and reference counts, the deep frame
// copy, the whole-geometry tests and the pass marks.
#include <climits>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "core/nk_frames.h"
#include "core/nk_memory.h"
#include "core/nk_movie_settings.h"
#include "core/nk_numeric.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/test_support/message_capture.h"

// Failed allocations must come back as null here, as they do without the
// sanitizer, so that the out-of-memory paths can be tested.
extern "C" const char *__asan_default_options() { return "allocator_may_return_null=1"; }

namespace {

// ---- Frame access -----------------------------------------------------------

class FrameAccess : public NKModelTest {};

TEST_F(FrameAccess, IndicesOutsideTheArrayGiveNull)
{
    MakeFrames(3, 1);
    EXPECT_EQ(NKGetFrame(-2), nullptr);
    EXPECT_EQ(NKGetFrame(3), nullptr);
    EXPECT_EQ(NKGetFrame(2), &g_pModel->pFrames[2]);
    g_pModel->iCurrentFrame = 1;
    EXPECT_EQ(NKGetFrame(-1), &g_pModel->pFrames[1]);
    g_pModel->iCurrentFrame = 5;
    EXPECT_EQ(NKGetFrame(-1), nullptr);
    EXPECT_EQ(NKGetCurrentGeometry(), nullptr);
    EXPECT_EQ(NKGetNumParts(), 0);
}

TEST(FrameAccessWithoutModel, EverythingIsNullOrZero)
{
    ASSERT_EQ(g_pModel, nullptr);
    EXPECT_EQ(NKGetFrame(0), nullptr);
    EXPECT_FALSE(NKModelHasGeometry());
    EXPECT_EQ(NKGetNumAnimationFrames(), 0);
    EXPECT_EQ(NKGetMaxTotalNumPolygons(), 0);
    EXPECT_FALSE(NKAllPartsMesh());
    EXPECT_FALSE(NKSetFrameCount(2, false));
}

TEST_F(FrameAccess, PartsAndTotalsOfTheCurrentGeometry)
{
    NKGeometry *pGeo = MakeFrames(2, 3);
    EXPECT_TRUE(NKModelHasGeometry());
    EXPECT_EQ(NKGetCurrentGeometry(), pGeo);
    EXPECT_EQ(NKGetCurrentParts(), pGeo->pParts);
    EXPECT_EQ(NKGetPartByIndex(1, 2), &pGeo->pParts[2]);
    EXPECT_EQ(NKGetPartByIndex(1, 3), nullptr);
    EXPECT_EQ(NKGetFramePart(nullptr, 0), nullptr);
    EXPECT_EQ(NKGetNumParts(), 3);
    EXPECT_EQ(NKGetTotalNumNodes(), 12);
    EXPECT_EQ(NKGetCurrentNumPolygons(), 6);
    EXPECT_EQ(NKGetTotalNumConnects(), 18);
    EXPECT_EQ(NKGetMaxTotalNumPolygons(), 6);
}

TEST_F(FrameAccess, ModelWithoutGeometryInFrameZeroIsNotLoaded)
{
    ASSERT_TRUE(NKSetFrameCount(2, false));
    EXPECT_FALSE(NKModelHasGeometry());
    EXPECT_EQ(NKCountFramesWithScalars(true), 0);
}

TEST_F(FrameAccess, ResultsAndTheirNames)
{
    MakeFrames(3, 1);
    NKScalarResult *pScalar = NKCreateScalarResult();
    pScalar->szFileName = "temp.res";
    pScalar->iNumParts = 1;
    pScalar->pNodeResults =
        static_cast<NKScalarPartEntry *>(NKCalloc(1, sizeof(NKScalarPartEntry)));
    pScalar->pNodeResults[0].iCount = 4;
    pScalar->pNodeResults[0].pNodeValues = static_cast<float *>(NKCalloc(4, sizeof(float)));
    pScalar->pNodeResults[0].pNodeValues[3] = 2.5f;
    for (int i = 1; i < 3; i++) {
        g_pModel->pFrames[i].pScalar = pScalar;
        pScalar->iNumRef++;
    }
    g_pModel->pFrames[2].pExtraScalar[1] = NKCreateScalarResult();
    g_pModel->pFrames[2].pExtraScalar[1]->iNumRef = 1;
    EXPECT_STREQ(NKGetScalarResultName(1, false), "");
    EXPECT_STREQ(NKGetScalarResultName(1, true), "temp.res");
    pScalar->szDescription = "Temperature";
    EXPECT_STREQ(NKGetScalarResultName(2, true), "Temperature");
    EXPECT_STREQ(NKGetVectorResultName(1, true), "");
    EXPECT_STREQ(NKGetScalarResultName(7, true), "");
    EXPECT_EQ(NKGetFrameScalarByKind(2, 0), pScalar);
    EXPECT_EQ(NKGetFrameScalarByKind(2, 1), g_pModel->pFrames[2].pExtraScalar[1]);
    EXPECT_EQ(NKGetFrameScalarByKind(2, 2), nullptr);
    EXPECT_FLOAT_EQ(NKGetScalarNodeValue(1, 0, 3), 2.5f);
    EXPECT_EQ(NKGetScalarNodeValue(1, 0, 4), NK_UNDEFINED_VALUE);
    EXPECT_EQ(NKGetScalarNodeValue(0, 0, 0), NK_UNDEFINED_VALUE);
    EXPECT_EQ(NKCountFramesWithScalars(true), 2);
    EXPECT_EQ(NKCountFramesWithScalars(false), 1);
    EXPECT_EQ(NKCountFramesWithVectors(true), 0);
    g_pModel->iCurrentFrame = 2;
    EXPECT_EQ(NKGetCurrentScalarResult(), pScalar);
    EXPECT_EQ(NKGetCurrentVectorResult(), nullptr);
}

TEST_F(FrameAccess, NumberOfAnimationFrames)
{
    g_pModel->iAnimationFromFrame = 5;
    g_pModel->iAnimationToFrame = 2;
    g_pModel->iAnimationSkipBy = 1;
    EXPECT_EQ(NKGetNumAnimationFrames(), 2);
    g_pModel->iAnimationFromFrame = 0;
    g_pModel->iAnimationToFrame = 9;
    g_pModel->iAnimationSkipBy = 3;
    EXPECT_EQ(NKGetNumAnimationFrames(), 3);
    g_pModel->iAnimationSkipBy = 0;  // counts as 1
    EXPECT_EQ(NKGetNumAnimationFrames(), 10);
}

TEST_F(FrameAccess, StepOfAFrameIsItsSourceStepOrItsIndex)
{
    MakeFrames(3, 1);
    g_pModel->pFrames[0].iStepIndex = 7;
    g_pModel->pFrames[1].iStepIndex = -1;  // interpolated: no step of its own
    g_pModel->pFrames[2].iStepIndex = 0;
    g_pModel->iCurrentFrame = 0;
    const struct {
        int iFrame, iStep;
    } cases[] = {{0, 7}, {1, 1}, {2, 0}, {-1, -1}, {3, 3}};
    for (const auto &c : cases) EXPECT_EQ(NKGetFrameStep(c.iFrame), c.iStep) << c.iFrame;
}

// ---- Whole-geometry tests ------------------------------------------------------

class AllParts : public NKModelTest {};

TEST_F(AllParts, TrueOnlyWhenEveryPartHasTheProperty)
{
    NKGeometry *pGeo = MakeFrames(1, 2);
    EXPECT_TRUE(NKAllPartsAsSurface());
    EXPECT_FALSE(NKAllPartsMesh());
    pGeo->pParts[0].bMesh = 1;
    EXPECT_FALSE(NKAllPartsMesh());
    pGeo->pParts[1].bMesh = 1;
    EXPECT_TRUE(NKAllPartsMesh());
    for (int i = 0; i < 2; i++) {
        pGeo->pParts[i].iDrawStyle = NK_DRAW_HIDDEN_LINES;
        pGeo->pParts[i].bOutlineMesh = 1;
        pGeo->pParts[i].bFringes = 1;
        pGeo->pParts[i].bVectors = 1;
        pGeo->pParts[i].bSmooth = 1;
        pGeo->pParts[i].bDisplacements = 1;
    }
    EXPECT_TRUE(NKAllPartsAsHiddenLines());
    EXPECT_FALSE(NKAllPartsAsSurface());
    EXPECT_FALSE(NKAllPartsAsLines());
    EXPECT_FALSE(NKAllPartsAsPoints());
    EXPECT_FALSE(NKAllPartsAsOutline());
    EXPECT_TRUE(NKAllPartsOutlineMesh());
    EXPECT_TRUE(NKAllPartsFringes());
    EXPECT_TRUE(NKAllPartsVectors());
    EXPECT_TRUE(NKAllPartsSmooth());
    EXPECT_TRUE(NKAllPartsDisplacements(nullptr));
}

TEST_F(AllParts, GeometryWithoutPartsIsTrueNoFrameArrayIsFalse)
{
    EXPECT_FALSE(NKAllPartsMesh());
    ASSERT_TRUE(NKSetFrameCount(1, false));
    NKGeometry *pEmpty = NKCreateGeometry(0);
    g_pModel->pFrames[0].pGeometry = pEmpty;
    pEmpty->iNumRef = 1;
    EXPECT_TRUE(NKAllPartsMesh());
    EXPECT_TRUE(NKAllPartsAsLines());
}

// Frames 0 and 1 share a geometry, frame 2 has its own: each is visited once,
// in frame order, and left marked.
TEST_F(AllParts, EveryDistinctGeometryIsVisitedOnce)
{
    std::vector<NKGeometry *> seen;
    auto collect = [&seen](NKGeometry *pGeo) { seen.push_back(pGeo); };
    NKForEachGeometry(collect);
    EXPECT_TRUE(seen.empty());
    NKGeometry *pShared = MakeFrames(3, 2);
    NKGeometry *pOwn = NKTestMakeGeometry(2);
    pShared->iNumRef--;
    pOwn->iNumRef++;
    g_pModel->pFrames[2].pGeometry = pOwn;
    pShared->iProcessed = pOwn->iProcessed = 7;  // stale marks are reset first
    NKForEachGeometry(collect);
    EXPECT_EQ(seen, (std::vector<NKGeometry *>{pShared, pOwn}));
    EXPECT_EQ(pShared->iProcessed, 1);
    EXPECT_EQ(pOwn->iProcessed, 1);
}

TEST_F(AllParts, DisplacementsAtAGivenFrame)
{
    NKGeometry *pFirst = MakeFrames(2, 1);
    NKGeometry *pOther = NKTestMakeGeometry(1);
    NKFrame *pFrame = &g_pModel->pFrames[1];
    NKReleaseGeometry(pFrame->pGeometry);
    pFrame->pGeometry = pOther;
    pOther->iNumRef = 1;
    pOther->pParts[0].bDisplacements = 1;
    EXPECT_TRUE(NKAllPartsDisplacements(pFrame));
    EXPECT_FALSE(NKAllPartsDisplacements(nullptr));
    EXPECT_EQ(pFirst->iNumRef, 1);
}

// ---- Resizing the frame array -----------------------------------------------------

class FrameCount : public NKModelTest {};

TEST_F(FrameCount, NegativeCountFailsAndEqualCountChangesNothing)
{
    MakeFrames(3, 1);
    NKFrame *pFrames = g_pModel->pFrames;
    EXPECT_FALSE(NKSetFrameCount(-1, false));
    EXPECT_TRUE(NKSetFrameCount(3, false));
    EXPECT_EQ(g_pModel->pFrames, pFrames);
    EXPECT_EQ(g_pModel->iNumFrames, 3);
}

TEST_F(FrameCount, GrowingCopiesTheLastFrame)
{
    NKGeometry *pGeo = MakeFrames(3, 2);
    ASSERT_EQ(pGeo->iNumRef, 3);
    ASSERT_TRUE(NKSetFrameCount(5, false));
    ASSERT_EQ(g_pModel->iNumFrames, 5);
    EXPECT_EQ(pGeo->iNumRef, 5);
    const NKFrame &last = g_pModel->pFrames[2];
    for (int i = 3; i < 5; i++) {
        const NKFrame &frame = g_pModel->pFrames[i];
        EXPECT_EQ(frame.pGeometry, pGeo);
        EXPECT_STREQ(frame.szDescription.GetText(), "Step 2");
        EXPECT_FLOAT_EQ(frame.fTime, 2.0f);
        // Their own copies, with the same contents.
        ASSERT_NE(frame.pTransformation, nullptr);
        EXPECT_NE(frame.pTransformation, last.pTransformation);
        EXPECT_EQ(std::memcmp(frame.pTransformation, last.pTransformation, 32 * sizeof(float)), 0);
        EXPECT_NE(frame.pContours, last.pContours);
        EXPECT_NE(frame.pContours[1].pLines, last.pContours[1].pLines);
        EXPECT_EQ(frame.pContours[1].pLines[0].iLevel, 2);
        EXPECT_NE(frame.ppVisibility[0], last.ppVisibility[0]);
        EXPECT_EQ(frame.ppVisibility[1][1], 2);
        EXPECT_NE(frame.pPartBoundingBoxes, last.pPartBoundingBoxes);
        EXPECT_FLOAT_EQ(frame.pPartBoundingBoxes[6], 2.0f);
    }
    EXPECT_STREQ(g_pModel->pFrames[1].szDescription.GetText(), "Step 1");
}

TEST_F(FrameCount, ShrinkingClampsCurrentFrameAndAnimationRange)
{
    NKGeometry *pGeo = MakeFrames(4, 1);
    g_pModel->iCurrentFrame = 3;
    g_pModel->iAnimationFromFrame = 1;
    g_pModel->iAnimationToFrame = 3;
    ASSERT_TRUE(NKSetFrameCount(1, false));
    EXPECT_EQ(g_pModel->iNumFrames, 1);
    EXPECT_EQ(g_pModel->iCurrentFrame, 0);
    EXPECT_EQ(g_pModel->iAnimationFromFrame, 0);
    EXPECT_EQ(g_pModel->iAnimationToFrame, 0);
    EXPECT_EQ(pGeo->iNumRef, 1);
    EXPECT_STREQ(g_pModel->pFrames[0].szDescription.GetText(), "Step 0");
}

TEST_F(FrameCount, ZeroFreesTheFramesAndKeepsTheIndices)
{
    NKGeometry *pGeo = MakeFrames(3, 2);
    g_pModel->iCurrentFrame = 2;
    g_pModel->iAnimationToFrame = 2;
    ASSERT_TRUE(NKSetFrameCount(0, false));
    EXPECT_EQ(g_pModel->pFrames, nullptr);
    EXPECT_EQ(g_pModel->iNumFrames, 0);
    EXPECT_EQ(g_pModel->iCurrentFrame, 2);
    EXPECT_EQ(g_pModel->iAnimationToFrame, 2);
    EXPECT_FREED(pGeo);
}

TEST_F(FrameCount, DuplicateLastReplacesEveryFrame)
{
    NKGeometry *pShared = MakeFrames(3, 1);
    NKGeometry *pLastGeo = NKTestMakeGeometry(1);
    NKFrame *pLast = &g_pModel->pFrames[2];
    NKReleaseFrame(pLast);
    NKTestFillFrame(pLast, pLastGeo, 9);
    ASSERT_EQ(pShared->iNumRef, 2);
    ASSERT_TRUE(NKSetFrameCount(3, true));
    // pLastGeo: +3 copies, -1 old holder; pShared lost both its holders.
    EXPECT_EQ(pLastGeo->iNumRef, 3);
    EXPECT_FREED(pShared);
    for (int i = 0; i < 3; i++) EXPECT_EQ(g_pModel->pFrames[i].iStepIndex, 9);
}

TEST_F(FrameCount, NewArrayResetsTheMovieStepRange)
{
    m_MovieSettings.iFromStep = 3;
    m_MovieSettings.iToStep = 8;
    m_MovieSettings.iSkip = 4;
    ASSERT_TRUE(NKSetFrameCount(6, false));
    EXPECT_EQ(m_MovieSettings.iFromStep, 0);
    EXPECT_EQ(m_MovieSettings.iToStep, 5);
    EXPECT_EQ(m_MovieSettings.iSkip, 1);
}

TEST_F(FrameCount, FailedAllocationLeavesTheModelAsItWas)
{
    NKGeometry *pGeo = MakeFrames(2, 1);
    NKFrame *pFrames = g_pModel->pFrames;
    MessageCapture capture;
    EXPECT_FALSE(NKSetFrameCount(INT_MAX, false));
    EXPECT_TRUE(capture.HasLine("Error allocating memory for frames.", NK_MSG_ERROR));
    EXPECT_EQ(g_pModel->pFrames, pFrames);
    EXPECT_EQ(g_pModel->iNumFrames, 2);
    EXPECT_EQ(pGeo->iNumRef, 2);
}

TEST_F(FrameCount, SeparateVectorFieldsAndExtraResultsFollowGrowth)
{
    NKGeometry *pGeo = MakeFrames(1, 1);
    NKFrame *pFirst = &g_pModel->pFrames[0];
    NKSeparateVectorField *pField = NKCreateSeparateVectorField();
    pFirst->pSeparateVectors[0] = pField;
    pFirst->pSeparateVectors[2] = pField;
    pField->iNumRef = 2;  // one per slot that holds it
    NKVectorResult *pExtra = NKCreateVectorResult();
    pFirst->pExtraVector[1] = pExtra;
    pExtra->iNumRef = 1;
    ASSERT_TRUE(NKSetFrameCount(4, false));
    int iHolders = 0;
    for (int i = 0; i < 4; i++) {
        const NKFrame &frame = g_pModel->pFrames[i];
        EXPECT_EQ(frame.pSeparateVectors[0], pField);
        EXPECT_EQ(frame.pExtraVector[1], pExtra);
        for (NKSeparateVectorField *pSlot : frame.pSeparateVectors) iHolders += pSlot == pField;
    }
    EXPECT_EQ(pField->iNumRef, iHolders);
    EXPECT_EQ(iHolders, 8);
    EXPECT_EQ(pExtra->iNumRef, 4);
    EXPECT_EQ(pGeo->iNumRef, 4);
    ASSERT_TRUE(NKSetFrameCount(1, false));
    EXPECT_EQ(pField->iNumRef, 2);
    EXPECT_EQ(pExtra->iNumRef, 1);
}

TEST_F(FrameCount, GrowShrinkAndEmptyRunRepeatedlyWithoutLeaks)
{
    NKGeometry *pGeo = MakeFrames(2, 3);
    NKViewPoint *pView = NKCreateViewPoint();
    g_pModel->pFrames[1].pViewPoint = pView;
    pView->iNumRef = 1;
    for (int iRound = 0; iRound < 3; iRound++) {
        ASSERT_TRUE(NKSetFrameCount(7, false));
        ASSERT_TRUE(NKSetFrameCount(3, true));
        ASSERT_TRUE(NKSetFrameCount(5, false));
        EXPECT_EQ(pGeo->iNumRef, 5);
        EXPECT_EQ(pView->iNumRef, 5);
        ASSERT_TRUE(NKSetFrameCount(2, false));
    }
    ASSERT_TRUE(NKSetFrameCount(0, false));
    EXPECT_FREED(pGeo);
    EXPECT_FREED(pView);
}

// ---- Copying frames ----------------------------------------------------------------

class CopyFrames : public NKModelTest {};

TEST_F(CopyFrames, CopyAndReleaseKeepCountsBalanced)
{
    NKGeometry *pGeo = NKTestMakeGeometry(2);
    NKFrame src[2];
    NKTestFillFrame(&src[0], pGeo, 4);
    NKTestFillFrame(&src[1], pGeo, 5);
    src[1].bInterpolated = 1;
    NKFrame dst[2];
    ASSERT_TRUE(NKCopyFrames(dst, src, 2));
    EXPECT_EQ(pGeo->iNumRef, 4);
    EXPECT_EQ(dst[1].iStepIndex, 5);
    EXPECT_EQ(dst[1].bInterpolated, 1);
    EXPECT_FLOAT_EQ(dst[0].pTransformation[12], 4.0f);
    EXPECT_FLOAT_EQ(dst[0].pTransformation[16], 1.0f);  // part 1's identity
    for (NKFrame &frame : src) NKReleaseFrame(&frame);
    EXPECT_EQ(pGeo->iNumRef, 2);
    for (NKFrame &frame : dst) NKReleaseFrame(&frame);
    EXPECT_FREED(pGeo);
}

TEST_F(CopyFrames, MissingArraysStayMissing)
{
    NKGeometry *pGeo = NKTestMakeGeometry(2);
    NKFrame src;
    src.pGeometry = pGeo;
    pGeo->iNumRef = 1;
    src.pContours = static_cast<NKContourList *>(NKCalloc(2, sizeof(NKContourList)));
    src.ppVisibility = static_cast<uint8_t **>(NKCalloc(2, sizeof(uint8_t *)));
    src.ppVisibility[1] = static_cast<uint8_t *>(NKCalloc(2, 1));
    NKFrame dst;
    ASSERT_TRUE(NKCopyFrames(&dst, &src, 1));
    EXPECT_EQ(dst.pTransformation, nullptr);
    EXPECT_EQ(dst.pPartBoundingBoxes, nullptr);
    ASSERT_NE(dst.pContours, nullptr);
    EXPECT_EQ(dst.pContours[0].iNumLines, 0);
    EXPECT_EQ(dst.pContours[0].pLines, nullptr);
    ASSERT_NE(dst.ppVisibility, nullptr);
    EXPECT_EQ(dst.ppVisibility[0], nullptr);
    EXPECT_NE(dst.ppVisibility[1], nullptr);
    NKReleaseFrame(&src);
    NKReleaseFrame(&dst);
    EXPECT_FREED(pGeo);
}

TEST_F(CopyFrames, FrameWithoutGeometryCopiesItsPlainFields)
{
    NKFrame src;
    src.szDescription = "no geometry";
    src.fTime = 0.25f;
    src.fDisplacedBox[4] = 3.0f;
    NKFrame dst;
    ASSERT_TRUE(NKCopyFrames(&dst, &src, 1));
    EXPECT_STREQ(dst.szDescription.GetText(), "no geometry");
    EXPECT_FLOAT_EQ(dst.fTime, 0.25f);
    EXPECT_FLOAT_EQ(dst.fDisplacedBox[4], 3.0f);
    EXPECT_EQ(dst.ppVisibility, nullptr);
}

TEST_F(CopyFrames, NullArgumentsFailAndEmptyCopySucceeds)
{
    NKFrame frame;
    EXPECT_FALSE(NKCopyFrames(nullptr, &frame, 1));
    EXPECT_FALSE(NKCopyFrames(&frame, nullptr, 1));
    EXPECT_TRUE(NKCopyFrames(&frame, &frame, 0));
}

TEST_F(CopyFrames, TransformationsAreIdentityPerPart)
{
    NKGeometry *pGeo = NKTestMakeGeometry(2);
    NKFrame frame;
    EXPECT_FALSE(NKAllocFrameTransformations(&frame));
    EXPECT_FALSE(NKAllocFrameTransformations(nullptr));
    frame.pGeometry = pGeo;
    pGeo->iNumRef = 1;
    ASSERT_TRUE(NKAllocFrameTransformations(&frame));
    for (int p = 0; p < 2; p++) {
        for (int k = 0; k < 16; k++)
            EXPECT_FLOAT_EQ(frame.pTransformation[p * 16 + k], k % 5 == 0 ? 1.0f : 0.0f);
    }
    NKReleaseFrame(&frame);
}

// ---- Pass marks ----------------------------------------------------------------------

class PassMarks : public NKModelTest {};

TEST_F(PassMarks, ResetMarksOfEverySharedRecord)
{
    NKGeometry *pGeo = MakeFrames(2, 1);
    pGeo->iProcessed = 4;
    NKScalarResult *pScalar = NKCreateScalarResult();
    NKVectorResult *pVector = NKCreateVectorResult();
    g_pModel->pFrames[1].pScalar = pScalar;
    g_pModel->pFrames[1].pVector = pVector;
    pScalar->iNumRef = pVector->iNumRef = 1;
    pScalar->bProcessed = pVector->bProcessed = 1;
    NKResetGeometryMarks();
    NKResetScalarMarks();
    NKResetVectorMarks();
    EXPECT_EQ(pGeo->iProcessed, -1);
    EXPECT_EQ(pScalar->bProcessed, 0);
    EXPECT_EQ(pVector->bProcessed, 0);
}

TEST_F(PassMarks, SharedPolygonMapIsFreedOnce)
{
    NKGeometry *pGeo = MakeFrames(3, 1);
    pGeo->pPolygonMap = static_cast<NKPolygonRef *>(NKCalloc(2, sizeof(NKPolygonRef)));
    NKFreeGeometryPolygonMaps();
    EXPECT_EQ(pGeo->pPolygonMap, nullptr);
}

}  // namespace
