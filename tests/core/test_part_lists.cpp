// tests/core/test_part_lists.cpp -- part lists for the drawing passes, the
// depth order of transparent parts and polygons (over explicit matrices),
// part filters, selection counts and background colours.
#include <gtest/gtest.h>

#include <vector>

#include "core/nk_frames.h"
#include "core/nk_model.h"
#include "core/nk_part_lists.h"
#include "core/nk_view_state.h"
#include "tests/core/nk_polygon_fixtures.h"

namespace {

const double kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

class PartListsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_pModel = NKCreateModel();
        g_pModel->fGeoScale = 1.0f;
        m_SavedViewSize = NKViewWindowSize;
        NKViewWindowSize = {100, 100};
    }
    void TearDown() override
    {
        NKReleaseFrame(&m_Frame);
        NKDestroyModel(g_pModel);
        g_pModel = nullptr;
        NKViewWindowSize = m_SavedViewSize;
    }
    NKViewSize m_SavedViewSize = {0, 0};
    // A frame holding a geometry of n parts.
    NKGeometry *MakeParts(int n)
    {
        NKGeometry *pGeo = NKCreateGeometry(n);
        m_Frame.pGeometry = pGeo;
        pGeo->iNumRef++;
        return pGeo;
    }
    NKFrame m_Frame;
};

TEST_F(PartListsTest, ListsFollowStyleAndTransparency)
{
    NKGeometry *pGeo = MakeParts(5);
    pGeo->pParts[0].iDrawStyle = NK_DRAW_SURFACE;
    pGeo->pParts[1].iDrawStyle = NK_DRAW_LINES;  // transparent lines: opaque list
    pGeo->pParts[1].bTransparent = 1;
    pGeo->pParts[2].bTransparent = 1;  // transparent surface
    pGeo->pParts[3].iDrawStyle = NK_DRAW_HIDDEN_LINES;
    pGeo->pParts[3].bTransparent = 1;
    pGeo->pParts[4].iDrawStyle = NK_DRAW_HIDDEN_LINES;
    NKPartListCache *pCache = NKGetGeometryPartLists(&m_Frame);
    ASSERT_NE(pCache, nullptr);
    EXPECT_EQ(
        std::vector<int>(pCache->pOpaqueParts, pCache->pOpaqueParts + pCache->iNumOpaqueParts),
        (std::vector<int>{0, 1}));
    EXPECT_EQ(std::vector<int>(pCache->pTransparentParts,
                               pCache->pTransparentParts + pCache->iNumTransparentParts),
              (std::vector<int>{2}));
    EXPECT_EQ(std::vector<int>(pCache->pHiddenLineParts,
                               pCache->pHiddenLineParts + pCache->iNumHiddenLineParts),
              (std::vector<int>{3, 4}));
    EXPECT_TRUE(pCache->bValid);
}

TEST_F(PartListsTest, InvalidatedListsAreRebuiltOnRequest)
{
    NKGeometry *pGeo = MakeParts(2);
    ASSERT_NE(NKGetGeometryPartLists(&m_Frame), nullptr);
    pGeo->pParts[1].bTransparent = 1;
    EXPECT_EQ(NKGetGeometryPartLists(&m_Frame)->iNumTransparentParts, 0);  // cached
    NKInvalidatePartLists(&m_Frame);
    EXPECT_FALSE(pGeo->partLists.bValid);
    EXPECT_EQ(NKGetGeometryPartLists(&m_Frame)->iNumTransparentParts, 1);
    EXPECT_EQ(NKGetGeometryPartLists(nullptr), nullptr);
    EXPECT_FALSE(NKBuildGeometryPartLists(nullptr));
}

TEST_F(PartListsTest, InvalidateWithoutFrameReachesEveryFrame)
{
    ASSERT_TRUE(NKSetFrameCount(2, false));
    NKGeometry *apGeo[2] = {NKCreateGeometry(1), NKCreateGeometry(1)};
    for (int f = 0; f < 2; f++) {
        g_pModel->pFrames[f].pGeometry = apGeo[f];
        apGeo[f]->iNumRef++;
        ASSERT_TRUE(NKBuildGeometryPartLists(apGeo[f]));
    }
    NKInvalidatePartLists(nullptr);
    EXPECT_FALSE(apGeo[0]->partLists.bValid);
    EXPECT_FALSE(apGeo[1]->partLists.bValid);
}

TEST_F(PartListsTest, TransparentPartsSortByDistanceCulledLast)
{
    NKGeometry *pGeo = MakeParts(3);
    const float afCentres[3] = {5, 1, 3};
    for (int i = 0; i < 3; i++) {
        float *b = pGeo->pParts[i].fBoundingBox;
        b[0] = b[3] = afCentres[i];
    }
    int aiParts[3] = {0, 1, 2}, aiOrder[3];
    const float afEye[3] = {0, 0, 0};
    ASSERT_TRUE(NKComputeTransparentPartsDrawOrder(afEye, &m_Frame, aiParts, 3, false, aiOrder));
    EXPECT_EQ(std::vector<int>(aiOrder, aiOrder + 3), (std::vector<int>{1, 2, 0}));
    pGeo->pParts[1].bCulled = 1;
    ASSERT_TRUE(NKComputeTransparentPartsDrawOrder(afEye, &m_Frame, aiParts, 3, true, aiOrder));
    EXPECT_EQ(std::vector<int>(aiOrder, aiOrder + 3), (std::vector<int>{2, 0, 1}));
    EXPECT_FALSE(NKComputeTransparentPartsDrawOrder(afEye, &m_Frame, aiParts, 0, true, aiOrder));
}

TEST_F(PartListsTest, PartMatricesMoveTheBoxCentre)
{
    NKGeometry *pGeo = MakeParts(2);
    pGeo->pParts[1].fBoundingBox[0] = pGeo->pParts[1].fBoundingBox[3] = 1.0f;
    ASSERT_TRUE(NKAllocFrameTransformations(&m_Frame));
    m_Frame.pTransformation[12] = 10.0f;  // part 0 moved far away in x
    int aiParts[2] = {0, 1}, aiOrder[2];
    const float afEye[3] = {0, 0, 0};
    ASSERT_TRUE(NKComputeTransparentPartsDrawOrder(afEye, &m_Frame, aiParts, 2, false, aiOrder));
    EXPECT_EQ(aiOrder[0], 1);
    EXPECT_EQ(aiOrder[1], 0);
}

TEST(UnProject, IdentityMatricesMapTheViewportOntoTheCube)
{
    const int aiViewport[4] = {0, 0, 100, 100};
    double out[3];
    ASSERT_TRUE(NKUnProject(50, 50, 0.0, kIdentity, kIdentity, aiViewport, out));
    EXPECT_DOUBLE_EQ(out[0], 0.0);
    EXPECT_DOUBLE_EQ(out[1], 0.0);
    EXPECT_DOUBLE_EQ(out[2], -1.0);
    ASSERT_TRUE(NKUnProject(100, 0, 1.0, kIdentity, kIdentity, aiViewport, out));
    EXPECT_DOUBLE_EQ(out[0], 1.0);
    EXPECT_DOUBLE_EQ(out[1], -1.0);
    EXPECT_DOUBLE_EQ(out[2], 1.0);
}

TEST(UnProject, UndoesATranslationAndRefusesASingularMatrix)
{
    double adModel[16];
    std::copy(kIdentity, kIdentity + 16, adModel);
    adModel[14] = -2.0;  // the camera two units back
    const int aiViewport[4] = {0, 0, 10, 10};
    double out[3];
    ASSERT_TRUE(NKUnProject(5, 5, 0.5, adModel, kIdentity, aiViewport, out));
    EXPECT_NEAR(out[2], 2.0, 1e-12);
    const double adZero[16] = {};
    EXPECT_FALSE(NKUnProject(5, 5, 0.5, adZero, kIdentity, aiViewport, out));
}

class PolyOrderTest : public PartListsTest {
protected:
    // One part of triangles whose centroids lie at the given z (x = y = 0),
    // seen from the eye at z = -1 (identity matrices).
    void MakeTriangles(const std::vector<float> &z)
    {
        std::vector<float> coords;
        std::vector<std::vector<int>> polys;
        for (size_t i = 0; i < z.size(); i++) {
            for (float c : {-1.0f, -1.0f, z[i], 2.0f, -1.0f, z[i], -1.0f, 2.0f, z[i]})
                coords.push_back(c);
            int b = 3 * (int)i;
            polys.push_back({b, b + 1, b + 2});
        }
        NKGeometry *pGeo = MakeParts(1);
        NKTestFillPart(&pGeo->pParts[0], coords, polys);
        pGeo->pParts[0].bVisible = 1;
    }
    bool Order(const std::vector<int> &keys, std::vector<int> *pOrder)
    {
        std::vector<int> keyPairs;
        for (int k : keys) {
            keyPairs.push_back(k);
            keyPairs.push_back(0);
        }
        pOrder->assign(keys.size(), -1);
        int iPart = 0;
        const int aiViewport[4] = {0, 0, 100, 100};
        return NKComputeTransparentPolysDrawOrderWithMatrices(&m_Frame, &iPart, 1, (int)keys.size(),
                                                              keyPairs.data(), kIdentity, kIdentity,
                                                              aiViewport, pOrder->data());
    }
};

TEST_F(PolyOrderTest, PolygonsSortByCentroidDistance)
{
    MakeTriangles({3.0f, 0.5f, 1.0f});
    std::vector<int> order;
    ASSERT_TRUE(Order({0, 0, 0}, &order));
    EXPECT_EQ(order, (std::vector<int>{1, 2, 0}));
}

TEST_F(PolyOrderTest, EqualDistancesFollowTheKeys)
{
    MakeTriangles({1.0f, 1.0f, 0.0f, 1.0f});
    std::vector<int> order;
    ASSERT_TRUE(Order({9, 4, 0, 6}, &order));
    EXPECT_EQ(order, (std::vector<int>{2, 1, 3, 0}));
}

TEST_F(PolyOrderTest, NoSwapCrossesALargerGap)
{
    // Squared distances 1, 1 + 2e-5 differ by more than 1e-5: the keys
    // must not reorder them.
    MakeTriangles({0.0f, 0.00001f});
    std::vector<int> order;
    ASSERT_TRUE(Order({5, 1}, &order));
    EXPECT_EQ(order, (std::vector<int>{0, 1}));
}

TEST_F(PolyOrderTest, RefusesWithoutViewOrWithAWrongCount)
{
    MakeTriangles({1.0f, 2.0f});
    std::vector<int> order;
    EXPECT_FALSE(Order({0, 0, 0}, &order));  // three keys for two polygons
    NKViewWindowSize = {0, 0};
    EXPECT_FALSE(Order({0, 0}, &order));
}

TEST_F(PolyOrderTest, HiddenPartsAreLeftOut)
{
    MakeTriangles({1.0f, 2.0f});
    m_Frame.pGeometry->pParts[0].bVisible = 0;
    std::vector<int> order;
    EXPECT_FALSE(Order({0, 0}, &order));
}

TEST(PartFilter, MaskBitsCompareTheirProperties)
{
    NKPart lines, surface;
    lines.bVisible = surface.bVisible = 1;
    lines.iDrawStyle = NK_DRAW_LINES;
    surface.iDrawStyle = NK_DRAW_SURFACE;
    EXPECT_TRUE(NKPartMatchesFilter(&lines, 3, 1));
    EXPECT_FALSE(NKPartMatchesFilter(&surface, 3, 1));
    EXPECT_TRUE(NKPartMatchesFilter(&surface, 0, 0));
    EXPECT_TRUE(NKPartMatchesFilter(&lines, NK_FILTER_LINES, NK_FILTER_LINES));
    EXPECT_FALSE(NKPartMatchesFilter(&lines, NK_FILTER_VISIBLE, 0));
}

TEST(SelectedParts, CountWithFirstAndLast)
{
    NKGeometry *pGeo = NKCreateGeometry(5);
    int iFirst = 7, iLast = 7;
    EXPECT_EQ(NKCountSelectedParts(pGeo, &iFirst, &iLast), 0);
    EXPECT_EQ(iFirst, -1);
    EXPECT_EQ(iLast, -1);
    pGeo->pParts[1].bSelected = pGeo->pParts[3].bSelected = 1;
    EXPECT_EQ(NKCountSelectedParts(pGeo, &iFirst, &iLast), 2);
    EXPECT_EQ(iFirst, 1);
    EXPECT_EQ(iLast, 3);
    EXPECT_EQ(NKCountSelectedParts(nullptr, nullptr, nullptr), 0);
    NKReleaseGeometry(pGeo);
}

TEST(BackgroundColors, WhiteOnWhiteTurnsBlackAndHighlightMovesAway)
{
    const uint8_t white[3] = {255, 255, 255}, black[3] = {0, 0, 0};
    uint8_t a[3] = {255, 255, 255}, b[3] = {128, 128, 128};
    NKPartHighlightSettings = {{255, 255, 255}};
    NKAdjustColorsToBackground(white, a, b);
    EXPECT_EQ(a[0] + a[1] + a[2], 0);
    EXPECT_EQ(b[0], 128);
    EXPECT_EQ(NKPartHighlightSettings.uSelectionColor[0], 0);
    uint8_t c[3] = {0, 0, 0};
    NKPartHighlightSettings = {{255, 0, 0}};
    NKAdjustColorsToBackground(black, c, b);
    EXPECT_EQ(c[2], 255);
    EXPECT_EQ(NKPartHighlightSettings.uSelectionColor[0], 255);  // differs: kept
    const uint8_t red[3] = {255, 0, 0};
    NKAdjustColorsToBackground(red, nullptr, nullptr);
    EXPECT_EQ(NKPartHighlightSettings.uSelectionColor[0], 0);
    EXPECT_EQ(NKPartHighlightSettings.uSelectionColor[1], 255);
    EXPECT_EQ(NKPartHighlightSettings.uSelectionColor[2], 255);
    uint8_t inv[3];
    NKInvertColor(red, inv);
    EXPECT_EQ(inv[0], 0);
    EXPECT_EQ(inv[1], 255);
}

}  // namespace
