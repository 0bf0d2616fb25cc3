// tests/core/test_nk_references.cpp -- node, element and polygon references
// in text, ID look-ups, element node coordinates and the part flag setters
// over shared geometries.
#include <gtest/gtest.h>

#include "core/nk_bbox.h"
#include "core/nk_frames.h"
#include "core/nk_model.h"
#include "core/nk_references.h"
#include "core/nk_string.h"
#include "tests/core/nk_geometry_test_helpers.h"
#include "tests/core/nk_model_test_helpers.h"

namespace {

// Part 0: 6 nodes without IDs, 5 polygons; part 1: 10 nodes with IDs 101 to
// 110, 3 polygons and two elements (IDs 7 and 9).
NKGeometry *MakeReferenceGeometry()
{
    NKGeometry *pGeo = NKCreateGeometry(2);
    std::vector<float> six(18, 0.0f), ten(30, 0.0f);
    for (int i = 0; i < 10; i++) ten[3 * i] = static_cast<float>(i);
    NKTestBuildPart(&pGeo->pParts[0], six, {{0}, {1}, {2}, {3}, {4}});
    NKTestBuildPart(&pGeo->pParts[1], ten, {{0, 1, 2}, {2, 3, 4}, {4, 5, 6}});
    NKTestSetNodeIDs(&pGeo->pParts[1], {101, 102, 103, 104, 105, 106, 107, 108, 109, 110});
    NKPart &part = pGeo->pParts[1];
    part.iNumElements = 2;
    part.pElements = static_cast<NKElement *>(NKAlloc(2 * sizeof(NKElement)));
    part.pElements[0] = {1, 7, 0, 0};
    part.pElements[1] = {1, 9, 1, 2};
    part.iNumElementConnects = 4;
    part.pElementConnects = static_cast<int *>(NKAlloc(4 * sizeof(int)));
    const int aiConnects[4] = {0, 1, 8, 9};
    std::memcpy(part.pElementConnects, aiConnects, sizeof(aiConnects));
    return pGeo;
}

class References : public ::testing::Test {
protected:
    void SetUp() override { m_pGeo = MakeReferenceGeometry(); }
    void TearDown() override { NKReleaseGeometry(m_pGeo); }

    bool Node(const char *pszText, int *piPart, int *piNode)
    {
        NKPartItemRef ref = {-9, -9};
        bool bOk = NKParseNodeSpec(m_pGeo, NKString(pszText), &ref);
        *piPart = ref.iPart;
        *piNode = ref.iIndex;
        return bOk;
    }

    NKGeometry *m_pGeo = nullptr;
};

// ---- Parsing -----------------------------------------------------------------------------

TEST_F(References, NodeSpecsWithAndWithoutPart)
{
    int p = 0, n = 0;
    ASSERT_TRUE(Node("5", &p, &n));  // a bare ID in a part without IDs: index + 1
    EXPECT_EQ(p, 0);
    EXPECT_EQ(n, 4);
    ASSERT_TRUE(Node("2,105", &p, &n));
    EXPECT_EQ(p, 1);
    EXPECT_EQ(n, 4);
    EXPECT_FALSE(Node("0,3", &p, &n));
    ASSERT_TRUE(Node(" 2 , 110 ", &p, &n));
    EXPECT_EQ(p, 1);
    EXPECT_EQ(n, 9);
    ASSERT_TRUE(Node("1,6", &p, &n));
    EXPECT_EQ(n, 5);
    EXPECT_FALSE(Node("1,7", &p, &n));  // past the part's nodes
    EXPECT_FALSE(Node("2,5", &p, &n));  // part 2 has IDs, 5 is not one
    ASSERT_TRUE(Node("103", &p, &n));   // a bare ID found in the second part
    EXPECT_EQ(p, 1);
    EXPECT_EQ(n, 2);
    EXPECT_FALSE(Node("3,1", &p, &n));
    EXPECT_FALSE(Node("1,x", &p, &n));
    EXPECT_FALSE(Node("5x", &p, &n));
    EXPECT_FALSE(Node("", &p, &n));
}

TEST_F(References, ElementSpecs)
{
    NKPartItemRef ref = {0, 0};
    ASSERT_TRUE(NKParseElementSpec(m_pGeo, NKString("9"), &ref));
    EXPECT_EQ(ref.iPart, 1);
    EXPECT_EQ(ref.iIndex, 1);
    ASSERT_TRUE(NKParseElementSpec(m_pGeo, NKString("2, 7"), &ref));
    EXPECT_EQ(ref.iIndex, 0);
    EXPECT_FALSE(NKParseElementSpec(m_pGeo, NKString("1,7"), &ref));
    EXPECT_FALSE(NKParseElementSpec(m_pGeo, NKString("0,7"), &ref));
    EXPECT_FALSE(NKParseElementSpec(m_pGeo, NKString("8"), &ref));
}

TEST_F(References, PolygonSpecs)
{
    NKPartItemRef ref = {0, 0};
    EXPECT_FALSE(NKParsePolygonSpec(m_pGeo, NKString("2,4"), &ref, false));  // 3 polygons
    EXPECT_EQ(ref.iPart, -1);
    EXPECT_EQ(ref.iIndex, -1);
    ASSERT_TRUE(NKParsePolygonSpec(m_pGeo, NKString("2,3"), &ref, false));
    EXPECT_EQ(ref.iPart, 1);
    EXPECT_EQ(ref.iIndex, 2);
    EXPECT_FALSE(NKParsePolygonSpec(m_pGeo, NKString("4"), &ref, false));
    ASSERT_TRUE(NKParsePolygonSpec(m_pGeo, NKString("4"), &ref, true));
    EXPECT_EQ(ref.iPart, 0);
    EXPECT_EQ(ref.iIndex, 3);
    EXPECT_FALSE(NKParsePolygonSpec(m_pGeo, NKString("6"), &ref, true));
    EXPECT_FALSE(NKParsePolygonSpec(m_pGeo, NKString("0"), &ref, true));
    EXPECT_FALSE(NKParsePolygonSpec(m_pGeo, NKString("0,1"), &ref, true));
}

// ---- IDs ---------------------------------------------------------------------------

TEST_F(References, IdsAndTheirRange)
{
    EXPECT_EQ(NKGetNodeID(0, 4, m_pGeo), 5);
    EXPECT_EQ(NKGetNodeID(1, 4, m_pGeo), 105);
    EXPECT_EQ(NKGetNodeID(2, 0, m_pGeo), 0);
    EXPECT_EQ(NKGetNodeID(0, 0, nullptr), 0);
    EXPECT_EQ(NKGetElementID(1, 1, m_pGeo), 9);
    EXPECT_EQ(NKGetElementID(1, 2, m_pGeo), -1);
    EXPECT_EQ(NKGetElementID(0, 0, m_pGeo), -1);
    int iMin = 0, iMax = 0;
    ASSERT_TRUE(NKGetNodeIdRange(m_pGeo, &iMin, &iMax));
    EXPECT_EQ(iMin, 101);
    EXPECT_EQ(iMax, 110);
    NKGeometry *pTwo = NKCreateGeometry(1);
    NKTestBuildPart(&pTwo->pParts[0], {0, 0, 0, 1, 1, 1}, {{0, 1}});
    EXPECT_FALSE(NKGetNodeIdRange(pTwo, &iMin, &iMax));
    NKTestSetNodeIDs(&pTwo->pParts[0], {7, 3});
    ASSERT_TRUE(NKGetNodeIdRange(pTwo, &iMin, &iMax));
    EXPECT_EQ(iMin, 3);
    EXPECT_EQ(iMax, 7);
    NKReleaseGeometry(pTwo);
}

TEST_F(References, FindByIdRangeRules)
{
    NKPartItemRef ref = {-1, 6};
    ASSERT_TRUE(NKFindNodeByID(&ref, m_pGeo));
    EXPECT_EQ(ref.iPart, 0);
    EXPECT_EQ(ref.iIndex, 5);
    ref = {0, 1};
    EXPECT_FALSE(NKFindNodeByID(&ref, m_pGeo));
    ref = {-2, 1};
    EXPECT_FALSE(NKFindNodeByID(&ref, m_pGeo));
    ref = {3, 1};
    EXPECT_FALSE(NKFindNodeByID(&ref, m_pGeo));
    ref = {-1, 9};
    ASSERT_TRUE(NKFindElementByID(&ref, m_pGeo));
    EXPECT_EQ(ref.iPart, 1);
    EXPECT_FALSE(NKFindNodeByID(nullptr, m_pGeo));
}

class FramedReferences : public NKModelTest {};

TEST_F(FramedReferences, ElementNodeCoordinatesInModelUnits)
{
    NKGeometry *pGeo = MakeReferenceGeometry();
    ASSERT_TRUE(NKSetFrameCount(1, false));
    NKTestShareGeometry(&g_pModel->pFrames[0], pGeo);
    g_pModel->fGeoScale = 2.0f;
    NKFrame *f = &g_pModel->pFrames[0];
    float afPoints[6];
    NKPartItemRef ref = {1, 1};
    ASSERT_TRUE(NKGetElementNodeCoords(f, &ref, afPoints, 2));
    EXPECT_FLOAT_EQ(afPoints[0], 4.0f);  // node 8 at x 8 in display form
    EXPECT_FLOAT_EQ(afPoints[3], 4.5f);
    EXPECT_FALSE(NKGetElementNodeCoords(f, &ref, afPoints, 3));  // past the connectivity
    ref = {1, 2};
    EXPECT_FALSE(NKGetElementNodeCoords(f, &ref, afPoints, 1));
    ref = {0, 0};
    EXPECT_FALSE(NKGetElementNodeCoords(f, &ref, afPoints, 1));  // no elements
    EXPECT_FALSE(NKGetElementNodeCoords(nullptr, &ref, afPoints, 1));
}

// ---- Part flag setters -------------------------------------------------------------------

class PartFlags : public NKModelTest {
protected:
    // Frames 0 and 1 share a 3-part geometry, frame 2 holds a 1-part one.
    void SetUp() override
    {
        NKModelTest::SetUp();
        m_pBig = NKTestMakeGeometry(3);
        m_pSmall = NKTestMakeGeometry(1);
        ASSERT_TRUE(NKSetFrameCount(3, false));
        NKTestShareGeometry(&g_pModel->pFrames[0], m_pBig);
        NKTestShareGeometry(&g_pModel->pFrames[1], m_pBig);
        NKTestShareGeometry(&g_pModel->pFrames[2], m_pSmall);
    }
    NKGeometry *m_pBig = nullptr;
    NKGeometry *m_pSmall = nullptr;
};

TEST_F(PartFlags, SelectionResolvesTheRangeAndClampsPerGeometry)
{
    NKSelectParts(-5, -1, 1);
    for (int i = 0; i < 3; i++) EXPECT_EQ(m_pBig->pParts[i].bSelected, 1);
    EXPECT_EQ(m_pSmall->pParts[0].bSelected, 1);
    NKSelectParts(1, 2, 0);  // the small geometry has no parts 1 and 2
    EXPECT_EQ(m_pBig->pParts[0].bSelected, 1);
    EXPECT_EQ(m_pBig->pParts[2].bSelected, 0);
    EXPECT_EQ(m_pSmall->pParts[0].bSelected, 1);
    EXPECT_EQ(NKIsPartSelected(0), 1);
    EXPECT_EQ(NKIsPartSelected(1), 0);
    EXPECT_EQ(NKIsPartSelected(3), 0);
    g_pModel->iCurrentFrame = 2;
    EXPECT_EQ(NKIsPartSelected(1), 0);
    NKSelectParts(0, 99, 0);
    EXPECT_EQ(m_pBig->pParts[2].bSelected, 0);
    EXPECT_EQ(m_pSmall->pParts[0].bSelected, 0);
}

TEST_F(PartFlags, CullingNormalsAndTextures)
{
    m_pBig->pParts[1].bCulled = 1;
    m_pSmall->pParts[0].bCulled = 1;
    EXPECT_TRUE(NKClearPartsCulled(2));
    EXPECT_EQ(m_pSmall->pParts[0].bCulled, 0);
    EXPECT_EQ(m_pBig->pParts[1].bCulled, 1);
    EXPECT_TRUE(NKClearPartsCulled(-1));
    EXPECT_EQ(m_pBig->pParts[1].bCulled, 0);

    NKSetPartsShowNormals(1, 1, 1);
    EXPECT_EQ(m_pBig->pParts[1].bShowNormals, 1);
    EXPECT_EQ(m_pBig->pParts[0].bShowNormals, 0);

    ImageRecord *pA = reinterpret_cast<ImageRecord *>(0x1000);
    ImageRecord *pB = reinterpret_cast<ImageRecord *>(0x2000);
    EXPECT_TRUE(NKSetPartsTextureFlags(0, 1, true, true, pA));
    EXPECT_EQ(m_pBig->pParts[0].pTexture, pA);
    EXPECT_EQ(m_pBig->pParts[0].uTextureMode[0], 0);
    EXPECT_EQ(m_pBig->pParts[0].uTextureMode[1], 1);
    EXPECT_TRUE(NKSetPartsTextureFlags(0, 0, true, false, pB));  // keeps its texture
    EXPECT_EQ(m_pBig->pParts[0].pTexture, pA);
    EXPECT_EQ(m_pBig->pParts[0].uTextureMode[0], 1);
    EXPECT_TRUE(NKSetPartsTexture(2, 2, pB));
    EXPECT_TRUE(NKRemoveTextureFromParts(pA));
    EXPECT_EQ(m_pBig->pParts[0].pTexture, nullptr);
    EXPECT_EQ(m_pBig->pParts[0].uTextureMode[0], 0);
    EXPECT_EQ(m_pBig->pParts[2].pTexture, pB);
    EXPECT_TRUE(NKClearPartsTexture(-1, -1));
    EXPECT_EQ(m_pBig->pParts[2].pTexture, nullptr);
    EXPECT_TRUE(NKSetPartsTexture(0, 0, pB));
    EXPECT_TRUE(NKRemoveTextureFromParts(nullptr));
    EXPECT_EQ(m_pSmall->pParts[0].pTexture, nullptr);
}

}  // namespace
