// tests/core/test_nk_frame_results.cpp -- what a frame holds per part:
// coordinates and normals by displacement, colours and entries, visibility
// bytes, deep result copies, resizing when parts are added, result scale
// factors and frame times from titles.
#include <cstring>
#include <initializer_list>

#include <gtest/gtest.h>

#include "core/nk_diagnostic.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_math.h"
#include "core/nk_model.h"
#include "core/nk_numeric.h"
#include "tests/core/nk_geometry_test_helpers.h"
#include "tests/core/nk_model_test_helpers.h"

namespace {

// A scalar result of n parts whose node entry p holds iCount values p + 1 and
// (with bElements) whose element entry p holds 2 values.
NKScalarResult *MakeScalar(int n, int iCount, bool bElements)
{
    NKScalarResult *pScalar = NKCreateScalarResult();
    pScalar->iNumParts = n;
    pScalar->pNodeResults =
        static_cast<NKScalarPartEntry *>(NKCalloc(n, sizeof(NKScalarPartEntry)));
    if (bElements)
        pScalar->pElementResults =
            static_cast<NKScalarPartEntry *>(NKCalloc(n, sizeof(NKScalarPartEntry)));
    for (int p = 0; p < n; p++) {
        NKScalarPartEntry &entry = pScalar->pNodeResults[p];
        entry.iCount = iCount;
        entry.pNodeValues = static_cast<float *>(NKAlloc(sizeof(float) * iCount));
        entry.pColors = static_cast<uint8_t *>(NKCalloc(iCount, 3));
        entry.pTexCoords = static_cast<float *>(NKCalloc(iCount, sizeof(float)));
        for (int i = 0; i < iCount; i++) entry.pNodeValues[i] = static_cast<float>(p + 1);
        if (!bElements) continue;
        pScalar->pElementResults[p].iCount = 2;
        pScalar->pElementResults[p].pNodeValues = static_cast<float *>(NKCalloc(2, sizeof(float)));
    }
    return pScalar;
}

template <typename T>
void Share(T **ppSlot, T *pRecord)
{
    *ppSlot = pRecord;
    pRecord->iNumRef++;
}

class FrameResults : public NKModelTest {};

// ---- Per-part access -------------------------------------------------------------

TEST_F(FrameResults, CoordinatesAndNormalsFollowTheDisplacementFlag)
{
    NKGeometry *pGeo = MakeFrames(2, 2);
    NKFrame *f = &g_pModel->pFrames[1];
    NKPart *p = &pGeo->pParts[1];
    p->bDisplacements = 1;
    EXPECT_EQ(GetPartNodeCoords(1, p, f), p->pNodeCoords);  // no vector result
    Share(&f->pVector, NKTestMakeDisplacedResult(pGeo, 0, 0, 1));
    EXPECT_EQ(GetPartNodeCoords(1, nullptr, f), f->pVector->pResults[1].pNodeValues);
    g_pModel->iCurrentFrame = 1;
    EXPECT_EQ(GetPartNodeCoords(1, nullptr, nullptr), f->pVector->pResults[1].pNodeValues);
    EXPECT_EQ(GetPartNodeCoords(2, nullptr, f), nullptr);
    p->bDisplacements = 0;
    EXPECT_EQ(GetPartNodeCoords(1, p, f), p->pNodeCoords);

    f->pVector->pResults[1].pNodeNormals = static_cast<int8_t *>(NKCalloc(4, 3));
    p->pNodeNormals = static_cast<int8_t *>(NKCalloc(4, 3));
    EXPECT_EQ(NKGetPartNodeNormals(1, p, f), p->pNodeNormals);
    p->bDisplacements = 1;
    EXPECT_EQ(NKGetPartNodeNormals(1, p, f), f->pVector->pResults[1].pNodeNormals);
    EXPECT_EQ(NKGetPartPolygonNormals(1, p, f), nullptr);  // the entry has none

    float *pfDisplacements = NKComputePartDisplacements(1, p, f, 0);
    ASSERT_NE(pfDisplacements, nullptr);
    for (int n = 0; n < 4; n++) EXPECT_FLOAT_EQ(pfDisplacements[3 * n + 2], 1.0f);
    NKFree(pfDisplacements);
    EXPECT_EQ(NKComputePartDisplacements(1, p, f, 1), nullptr);  // no further result
    EXPECT_EQ(NKComputePartDisplacements(1, p, &g_pModel->pFrames[0], 0), nullptr);
}

TEST_F(FrameResults, ColoursEntriesAndTextureCoordinates)
{
    NKGeometry *pGeo = MakeFrames(1, 2);
    NKFrame *f = &g_pModel->pFrames[0];
    NKPart *p = &pGeo->pParts[0];
    Share(&f->pScalar, MakeScalar(2, 4, true));
    EXPECT_EQ(NKGetPartNodeColors(0, p, f), nullptr);  // fringes off
    p->bFringes = 1;
    EXPECT_EQ(NKGetPartNodeColors(0, p, f), f->pScalar->pNodeResults[0].pColors);
    EXPECT_EQ(NKGetPartElementColors(0, p, f), nullptr);  // the part has no elements
    p->iNumElements = 2;
    EXPECT_EQ(NKGetPartElementColors(0, p, f), f->pScalar->pElementResults[0].pColors);
    EXPECT_EQ(NKGetPartNodeTexCoords(0, p, f), nullptr);  // texture fringes off
    NKGraphicsSettings settings;
    settings.bTextureFringes = 1;
    g_pGraphicsSettings = &settings;
    EXPECT_EQ(NKGetPartNodeTexCoords(0, p, f), f->pScalar->pNodeResults[0].pTexCoords);
    g_pGraphicsSettings = nullptr;
    EXPECT_EQ(NKGetPartScalarEntry(1, f), &f->pScalar->pNodeResults[1]);
    EXPECT_EQ(NKGetPartScalarEntry(2, f), nullptr);
    EXPECT_EQ(NKGetPartElementScalarEntry(-1, f), nullptr);
    EXPECT_EQ(NKGetPartVectorEntry(0, f), nullptr);
    EXPECT_EQ(NKGetTotalNumElements(pGeo), 2);
    EXPECT_EQ(NKGetTotalNumElements(nullptr), 0);
}

// ---- Visibility bytes ---------------------------------------------------------------

TEST_F(FrameResults, VisibilityBitsOfOnePartOrAll)
{
    MakeFrames(1, 3);
    NKFrame *f = &g_pModel->pFrames[0];
    NKSetVisibilityBits(f, 2, 1, 1);
    EXPECT_EQ(NKGetPartVisibility(f, 2)[0], 1);
    EXPECT_EQ(NKGetPartVisibility(f, 2)[1], 1);
    EXPECT_EQ(NKGetPartVisibility(f, 1)[0], 0);
    NKSetVisibilityBits(f, -1, 0xFC, 8);  // level code 2 everywhere
    EXPECT_EQ(NKGetPartVisibility(f, 0)[1], 8);
    EXPECT_EQ(NKGetPartVisibility(f, 2)[1], 9);
    NKReverseErosionFlags(f);
    EXPECT_EQ(NKGetPartVisibility(f, 0)[0], 9);
    EXPECT_EQ(NKGetPartVisibility(f, 2)[0], 8);
    NKReverseErosionFlags(f);
    EXPECT_EQ(NKGetPartVisibility(f, 0)[0], 8);
    EXPECT_EQ(NKGetPartVisibility(f, 2)[0], 9);
    EXPECT_EQ(NKGetPartVisibility(f, 3), nullptr);
    EXPECT_EQ(NKGetPartVisibility(nullptr, 0), nullptr);
    NKSetVisibilityBits(nullptr, -1, 1, 1);  // nothing happens
}

// ---- Copies ---------------------------------------------------------------------------

TEST_F(FrameResults, VectorCopyIsPrivateAndReleasesTheSharedOne)
{
    NKGeometry *pGeo = MakeFrames(2, 2);
    NKVectorResult *pShared = NKTestMakeDisplacedResult(pGeo, 1, 0, 0);
    pShared->szDescription = "Displacement";
    pShared->iStepNumber = 7;
    pShared->lengthMinMax.Update(3.0f, 1, 2, 0);
    Share(&g_pModel->pFrames[0].pVector, pShared);
    Share(&g_pModel->pFrames[1].pVector, pShared);
    ASSERT_TRUE(NKCopyVectorResult(&g_pModel->pFrames[1], &g_pModel->pFrames[0]));
    NKVectorResult *pCopy = g_pModel->pFrames[1].pVector;
    ASSERT_NE(pCopy, pShared);
    EXPECT_EQ(pShared->iNumRef, 1);
    EXPECT_EQ(pCopy->iNumRef, 1);
    EXPECT_EQ(pCopy->iNumParts, 2);
    EXPECT_EQ(pCopy->iStepNumber, 7);
    EXPECT_EQ(pCopy->szDescription, "Displacement");
    EXPECT_FLOAT_EQ(pCopy->lengthMinMax.max, 3.0f);
    ASSERT_NE(pCopy->pResults[1].pNodeValues, pShared->pResults[1].pNodeValues);
    EXPECT_EQ(std::memcmp(pCopy->pResults[1].pNodeValues, pShared->pResults[1].pNodeValues,
                          12 * sizeof(float)),
              0);
    EXPECT_FALSE(NKCopyVectorResult(&g_pModel->pFrames[1], nullptr));
    g_pModel->pFrames[0].pVector = nullptr;
    NKReleaseVectorResult(pShared);
    EXPECT_FALSE(NKCopyVectorResult(&g_pModel->pFrames[1], &g_pModel->pFrames[0]));
    EXPECT_EQ(g_pModel->pFrames[1].pVector, pCopy);  // unchanged
}

TEST_F(FrameResults, ScalarCopyTakesNodeAndElementEntries)
{
    MakeFrames(2, 2);
    NKScalarResult *pShared = MakeScalar(2, 4, true);
    pShared->szFileName = "t.res";
    Share(&g_pModel->pFrames[0].pScalar, pShared);
    ASSERT_TRUE(NKCopyFrameScalarResult(&g_pModel->pFrames[1], &g_pModel->pFrames[0]));
    NKScalarResult *pCopy = g_pModel->pFrames[1].pScalar;
    ASSERT_NE(pCopy, nullptr);
    EXPECT_EQ(pCopy->iNumRef, 1);
    EXPECT_EQ(pShared->iNumRef, 1);
    EXPECT_EQ(pCopy->szFileName, "t.res");
    EXPECT_EQ(pCopy->pNodeResults[1].iCount, 4);
    EXPECT_FLOAT_EQ(pCopy->pNodeResults[1].pNodeValues[3], 2.0f);
    ASSERT_NE(pCopy->pElementResults, nullptr);
    EXPECT_EQ(pCopy->pElementResults[0].iCount, 2);
    EXPECT_EQ(pCopy->pElementResults[0].pColors, nullptr);  // the source had none
}

TEST_F(FrameResults, EntryCopiesRefuseNullArguments)
{
    NKResetDiagnostics();
    NKVectorPartEntry entry;
    EXPECT_FALSE(NKCopy3DResults(&entry, nullptr));
    EXPECT_STREQ(NKGetLastDiagnostic(), "pToResult or pFromResult is NULL");
    NKScalarPartEntry scalar;
    EXPECT_FALSE(NKCopyScalarPartEntry(nullptr, &scalar));
}

// ---- Resizing when parts are appended ---------------------------------------------

class PartResize : public NKModelTest {
protected:
    // Two frames sharing a 2-part geometry, a scalar result with node and
    // element entries and a vector result; frame 0 also has matrices and
    // contour lists. Then a third part of 4 nodes, 2 polygons and 3 elements
    // is appended to the geometry.
    NKGeometry *MakeAndGrow()
    {
        NKGeometry *pGeo = MakeFrames(2, 2);
        NKScalarResult *pScalar = MakeScalar(2, 4, true);
        NKVectorResult *pVector = NKTestMakeDisplacedResult(pGeo, 0, 0, 1);
        for (int f = 0; f < 2; f++) {
            Share(&g_pModel->pFrames[f].pScalar, pScalar);
            Share(&g_pModel->pFrames[f].pVector, pVector);
        }
        NKFree(g_pModel->pFrames[1].pTransformation);
        g_pModel->pFrames[1].pTransformation = nullptr;
        EXPECT_TRUE(NKResizePartArray(&pGeo->pParts, 2, 3));
        pGeo->iNumParts = 3;
        NKTestBuildPart(&pGeo->pParts[2], {0, 0, 5, 1, 0, 5, 1, 1, 5, 0, 1, 5},
                        {{0, 1, 2}, {0, 2, 3}});
        pGeo->pParts[2].iNumElements = 3;
        pGeo->pParts[2].pNodeNormals = static_cast<int8_t *>(NKCalloc(4, 3));
        pGeo->pParts[2].pNodeNormals[2] = 127;
        return pGeo;
    }
};

TEST_F(PartResize, SharedResultsGrowOnceAndNewEntriesFitTheirPart)
{
    NKGeometry *pGeo = MakeAndGrow();
    ASSERT_TRUE(NKResizeFramePartArrays(&g_pModel->pFrames[0], 2));
    ASSERT_TRUE(NKResizeFramePartArrays(&g_pModel->pFrames[1], 2));
    const NKScalarResult *pScalar = g_pModel->pFrames[0].pScalar;
    EXPECT_EQ(pScalar->iNumParts, 3);
    EXPECT_EQ(pScalar->pNodeResults[2].iCount, 4);
    EXPECT_FLOAT_EQ(pScalar->pNodeResults[2].pNodeValues[3], 0.0f);
    ASSERT_NE(pScalar->pNodeResults[2].pColors, nullptr);
    // Element entries are sized by the part's elements.
    EXPECT_EQ(pScalar->pElementResults[2].iCount, 3);
    EXPECT_FLOAT_EQ(pScalar->pNodeResults[1].pNodeValues[0], 2.0f);  // kept
    const NKVectorResult *pVector = g_pModel->pFrames[1].pVector;
    EXPECT_EQ(pVector->iNumParts, 3);
    EXPECT_EQ(pVector->pResults[2].iNumNodes, 4);
    EXPECT_EQ(pVector->pResults[2].iNumPolygons, 2);
    EXPECT_FLOAT_EQ(pVector->pResults[2].pNodeValues[2], 5.0f);  // no displacement
    EXPECT_EQ(pVector->pResults[2].pNodeNormals[2], 127);
    EXPECT_EQ(pVector->pResults[2].pPolygonNormals, nullptr);
    const NKFrame &f0 = g_pModel->pFrames[0];
    float identity[16];
    NKMatrixIdentity(identity);
    EXPECT_TRUE(NKMat4Equal(&f0.pTransformation[32], identity, true));
    EXPECT_FLOAT_EQ(f0.pTransformation[12], 0.0f);  // the old matrices stay
    EXPECT_EQ(f0.pContours[2].iNumLines, 0);
    EXPECT_EQ(f0.pContours[1].iNumLines, 1);
    // Visibility pointers and part boxes follow, so releasing the frames by
    // the new part count stays inside them.
    EXPECT_EQ(NKGetPartVisibility(&f0, 2), nullptr);
    EXPECT_NE(NKGetPartVisibility(&f0, 1), nullptr);
    EXPECT_FLOAT_EQ(f0.pPartBoundingBoxes[12], NK_EMPTY_MIN);
    (void)pGeo;
}

TEST_F(PartResize, ResizersRefuseMissingArrays)
{
    float *pMatrices = nullptr;
    EXPECT_FALSE(NKResizeFrameMatrices(&pMatrices, 3, 1));
    NKContourList *pLists = nullptr;
    EXPECT_FALSE(NKResizeContourLists(&pLists, 3, 1));
    NKScalarResult *pEmpty = NKCreateScalarResult();
    EXPECT_FALSE(NKResizeScalarResultParts(pEmpty, nullptr, 3, 1));
    NKReleaseScalarResult(pEmpty);
    NKVectorResult *pNoEntries = NKCreateVectorResult();
    EXPECT_FALSE(NKResizeVectorResultParts(pNoEntries, nullptr, 3, 1));
    NKReleaseVectorResult(pNoEntries);
    EXPECT_FALSE(NKResizeFramePartArrays(nullptr, 0));
}

// ---- Model-wide -------------------------------------------------------------------------

TEST_F(FrameResults, ResultScaleFactorsAndRangeResets)
{
    EXPECT_FLOAT_EQ(NKGetResultScaleFactor(2), 1.0f);
    g_pModel->valueRanges[2].from = 3.5f;
    g_pModel->valueRanges[3].from = 0.25f;
    EXPECT_FLOAT_EQ(NKGetResultScaleFactor(0), 3.5f);
    EXPECT_FLOAT_EQ(NKGetResultScaleFactor(1), 0.25f);
    EXPECT_FLOAT_EQ(NKGetResultScaleFactor(-1), 1.0f);
    g_pModel->vectorMinMax.Update(2.0f, 0, 0, 0);
    g_pModel->fMaxVectorValue = 2.0f;
    g_pModel->valueRanges[5].fMaxLength = 4.0f;
    g_pModel->valueRanges[5].minMax.Update(1.0f, 0, 0, 0);
    g_pModel->scalarMinMax.Update(1.0f, 0, 0, 0);
    NKResetVectorMinMax();
    NKResetScalarMinMax();
    EXPECT_FLOAT_EQ(g_pModel->vectorMinMax.max, NK_EMPTY_MAX);
    EXPECT_FLOAT_EQ(g_pModel->fMaxVectorValue, 0.0f);
    EXPECT_FLOAT_EQ(g_pModel->valueRanges[5].fMaxLength, 0.0f);
    EXPECT_FLOAT_EQ(g_pModel->valueRanges[5].minMax.min, NK_EMPTY_MIN);
    EXPECT_FLOAT_EQ(g_pModel->scalarMinMax.min, NK_EMPTY_MIN);
}

class FrameTimes : public NKModelTest {
protected:
    bool SetTitles(std::initializer_list<const char *> titles)
    {
        EXPECT_TRUE(NKSetFrameCount(static_cast<int>(titles.size()), false));
        int i = 0;
        for (const char *pszTitle : titles) g_pModel->pFrames[i++].szDescription = pszTitle;
        return NKSetFrameTimesFromDescriptions();
    }
    float Time(int i) const { return g_pModel->pFrames[i].fTime; }
};

TEST_F(FrameTimes, TimesFromTitlesWithEqualNeighbours)
{
    ASSERT_TRUE(SetTitles({"Time = 0.5", "Time = 1.0", "Time = 1.0"}));
    EXPECT_FLOAT_EQ(Time(0), 0.5f);
    EXPECT_FLOAT_EQ(Time(1), 1.0f);
    EXPECT_FLOAT_EQ(Time(2), 1.0f);
}

TEST_F(FrameTimes, DecreasingTimesMakeEveryTimeUndefined)
{
    EXPECT_FALSE(SetTitles({"t 2", "t 1"}));
    EXPECT_EQ(Time(0), NK_UNDEFINED_VALUE);
    EXPECT_EQ(Time(1), NK_UNDEFINED_VALUE);
}

TEST_F(FrameTimes, SignsPointsExponentsAndTrailingNumbers)
{
    ASSERT_TRUE(SetTitles({"-.5", "step 3", "freq 2e1x", "a.25e2"}));
    EXPECT_FLOAT_EQ(Time(0), -0.5f);
    EXPECT_FLOAT_EQ(Time(1), 3.0f);
    EXPECT_FLOAT_EQ(Time(2), 20.0f);
    EXPECT_FLOAT_EQ(Time(3), 25.0f);
    EXPECT_FALSE(SetTitles({"-.5", "step 3", "freq -2e1x"}));  // -20 decreases
    ASSERT_TRUE(SetTitles({"", "x", "1.5e1"}));
    EXPECT_FLOAT_EQ(Time(0), 0.0f);
    EXPECT_FLOAT_EQ(Time(1), 0.0f);
    EXPECT_FLOAT_EQ(Time(2), 15.0f);
    // Only decimal numbers count: no hexadecimal, and an 'e' without digits
    // after it is not an exponent.
    ASSERT_TRUE(SetTitles({"mode 0x10", "step 2e", "step 3E+1s"}));
    EXPECT_FLOAT_EQ(Time(0), 0.0f);
    EXPECT_FLOAT_EQ(Time(1), 2.0f);
    EXPECT_FLOAT_EQ(Time(2), 30.0f);
}

TEST(FrameTimesWithoutModel, AnswerFalse)
{
    ASSERT_EQ(g_pModel, nullptr);
    EXPECT_FALSE(NKSetFrameTimesFromDescriptions());
}

}  // namespace
