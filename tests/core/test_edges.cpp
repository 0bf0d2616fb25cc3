// tests/core/test_edges.cpp -- edge kinds of polygon edge slots: boundaries,
// smooth and feature edges, shared edges carried once, levels of detail,
// the hash and the adjacent-polygon search.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "core/nk_edges.h"
#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "tests/core/nk_polygon_fixtures.h"

namespace {

std::vector<int> Kinds(const NKPart &part)
{
    return std::vector<int>(part.pEdgeKinds, part.pEdgeKinds + part.iNumEdgeSlots);
}

// Kinds of the two slots of the shared edge {1, 2} in two triangles
// (0, 1, 2) and (2, 1, 3): slot 1 of the first and slot 0 of the second.
struct SharedEdgeSlots {
    int iFirst;
    int iSecond;
};
const SharedEdgeSlots kShared = {1, 3};

NKGeometry *TwoTriangles(float fZ3)
{
    return NKTestMakeOnePartGeometry({0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, fZ3},
                                     {{0, 1, 2}, {2, 1, 3}});
}

TEST(Edges, SingleQuadrilateralHasFourBoundaryEdges)
{
    NKGeometry *pGeo =
        NKTestMakeOnePartGeometry({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}, {{0, 1, 2, 3}});
    ASSERT_TRUE(NKFindEdges(pGeo, nullptr));
    EXPECT_EQ(Kinds(pGeo->pParts[0]), (std::vector<int>{2, 2, 2, 2}));
    NKReleaseGeometry(pGeo);
}

TEST(Edges, CoplanarTrianglesShareOneSmoothEdge)
{
    NKGeometry *pGeo = TwoTriangles(0.0f);
    ASSERT_TRUE(NKFindEdges(pGeo, nullptr));
    std::vector<int> k = Kinds(pGeo->pParts[0]);
    ASSERT_EQ(k.size(), 6u);
    EXPECT_EQ(k[kShared.iFirst] + k[kShared.iSecond], 1);  // one 1, one 0
    EXPECT_TRUE(k[kShared.iFirst] == 0 || k[kShared.iSecond] == 0);
    for (int s : {0, 2, 4, 5}) EXPECT_EQ(k[s], 2) << "outer slot " << s;
    NKReleaseGeometry(pGeo);
}

TEST(Edges, FoldedTrianglesGiveOneFeatureEdge)
{
    // Node 3 lifted straight up over the shared edge: the second triangle
    // stands at 90 degrees to the first.
    NKGeometry *pGeo = NKTestMakeOnePartGeometry({0, 0, 0, 1, 0, 0, 0, 1, 0, 0.5f, 0.5f, 1},
                                                 {{0, 1, 2}, {2, 1, 3}});
    ASSERT_TRUE(NKFindEdges(pGeo, nullptr));
    std::vector<int> k = Kinds(pGeo->pParts[0]);
    EXPECT_EQ(k[kShared.iFirst] + k[kShared.iSecond], 2);
    EXPECT_TRUE(k[kShared.iFirst] == 0 || k[kShared.iSecond] == 0);
    NKReleaseGeometry(pGeo);
}

TEST(Edges, EdgeAngleComesFromTheGraphicsSettings)
{
    NKGraphicsSettings settings;
    settings.fOutlineCreaseAngle = 2.0f;  // wider than the 90-degree fold
    g_pGraphicsSettings = &settings;
    NKGeometry *pGeo = NKTestMakeOnePartGeometry({0, 0, 0, 1, 0, 0, 0, 1, 0, 0.5f, 0.5f, 1},
                                                 {{0, 1, 2}, {2, 1, 3}});
    ASSERT_TRUE(NKFindEdges(pGeo, nullptr));
    std::vector<int> k = Kinds(pGeo->pParts[0]);
    EXPECT_EQ(k[kShared.iFirst] + k[kShared.iSecond], 1);
    g_pGraphicsSettings = nullptr;
    NKReleaseGeometry(pGeo);
}

TEST(Edges, ThreePolygonsOnOneEdgeCarryItOnce)
{
    NKGeometry *pGeo = NKTestMakeOnePartGeometry({0, 0, 0, 1, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 1},
                                                 {{0, 1, 2}, {1, 0, 3}, {0, 1, 4}});
    ASSERT_TRUE(NKFindEdges(pGeo, nullptr));
    std::vector<int> k = Kinds(pGeo->pParts[0]);
    // Slot 0 of each triangle is the edge {0, 1}.
    int iCarrying = (k[0] != 0) + (k[3] != 0) + (k[6] != 0);
    EXPECT_EQ(iCarrying, 1);
    NKReleaseGeometry(pGeo);
}

TEST(Edges, LevelsOfDetailAreSeparateAndErodedPolygonsGetNoKinds)
{
    // Three coplanar triangles in a strip; the middle one is at level 1,
    // the last one eroded.
    NKGeometry *pGeo = NKTestMakeOnePartGeometry({0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0, 2, 1, 0},
                                                 {{0, 1, 2}, {2, 1, 3}, {1, 4, 3}});
    NKFrame frame;
    uint8_t auVisibility[3] = {0, 4, 1};
    uint8_t *ppVisibility[1] = {auVisibility};
    frame.ppVisibility = ppVisibility;
    ASSERT_TRUE(NKFindEdges(pGeo, &frame));
    frame.ppVisibility = nullptr;
    std::vector<int> k = Kinds(pGeo->pParts[0]);
    // Level 0 and level 1 triangles do not see each other: all six are 2.
    for (int s = 0; s < 6; s++) EXPECT_EQ(k[s], 2) << "slot " << s;
    for (int s = 6; s < 9; s++) EXPECT_EQ(k[s], 0) << "eroded slot " << s;
    NKReleaseGeometry(pGeo);
}

TEST(Edges, NullGeometryFailsAndEmptyGeometrySucceeds)
{
    EXPECT_FALSE(NKFindEdges(nullptr, nullptr));
    NKGeometry *pGeo = NKCreateGeometry(2);
    EXPECT_TRUE(NKFindEdges(pGeo, nullptr));
    EXPECT_EQ(pGeo->pParts[0].pEdgeKinds, nullptr);
    NKReleaseGeometry(pGeo);
}

TEST(Edges, RecomputingReplacesTheOldKinds)
{
    NKGeometry *pGeo = TwoTriangles(0.0f);
    ASSERT_TRUE(NKFindEdges(pGeo, nullptr));
    ASSERT_TRUE(NKFindEdges(pGeo, nullptr));  // the first array is freed (ASan)
    EXPECT_EQ(pGeo->pParts[0].iNumEdgeSlots, 6);
    NKReleaseGeometry(pGeo);
}

TEST(EdgeHash, NeverNegativeAndEqualPairsShareABucket)
{
    EXPECT_EQ(NKEdgeHash(1, 2, 100), (729 + 26) % 100);
    EXPECT_EQ(NKEdgeHash(-1, 0, 10), 9);
    for (int a : {INT_MAX, INT_MIN + 1, 3000000, -5}) {
        int h = NKEdgeHash(a, INT_MAX, 97);
        EXPECT_GE(h, 0);
        EXPECT_LT(h, 97);
        EXPECT_EQ(h, NKEdgeHash(a, INT_MAX, 97));
    }
    EXPECT_EQ(NKEdgeHash(5, 6, 0), 0);
}

TEST(EdgeCompare, SortsByFirstThenSecondNode)
{
    NKEdgeRecord e[3] = {{0, 1, 5, 0}, {0, 1, 4, 0}, {0, 2, 0, 0}};
    EXPECT_TRUE(NKCompareEdges(0, 1, e));
    EXPECT_FALSE(NKCompareEdges(1, 0, e));
    EXPECT_TRUE(NKCompareEdges(2, 0, e));
    EXPECT_FALSE(NKCompareEdges(0, 0, e));
}

class EdgesAllFrames : public ::testing::Test {
protected:
    void SetUp() override { g_pModel = NKCreateModel(); }
    void TearDown() override
    {
        NKDestroyModel(g_pModel);
        g_pModel = nullptr;
    }
};

TEST_F(EdgesAllFrames, EachSharedGeometryGetsKinds)
{
    ASSERT_TRUE(NKSetFrameCount(3, false));
    NKGeometry *pA = TwoTriangles(0.0f);
    NKGeometry *pB = TwoTriangles(1.0f);
    NKGeometry *apGeo[3] = {pA, pA, pB};
    for (int f = 0; f < 3; f++) {
        g_pModel->pFrames[f].pGeometry = apGeo[f];
        apGeo[f]->iNumRef++;
    }
    EXPECT_TRUE(NKFindEdgesAllFrames());
    EXPECT_NE(pA->pParts[0].pEdgeKinds, nullptr);
    EXPECT_NE(pB->pParts[0].pEdgeKinds, nullptr);
}

TEST(AdjacentPolygon, SearchesOutwardBothWays)
{
    // A strip of four triangles; triangle 1 and 2 share {1, 3}.
    NKGeometry *pGeo =
        NKTestMakeOnePartGeometry({0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0, 2, 0, 0, 2, 1, 0},
                                  {{0, 1, 2}, {2, 1, 3}, {1, 4, 3}, {4, 5, 3}});
    const NKPart &part = pGeo->pParts[0];
    EXPECT_EQ(NKFindAdjacentPolygon(&part, 0, 1, 2), 1);   // first polygon: upward
    EXPECT_EQ(NKFindAdjacentPolygon(&part, 1, 1, 2), 2);   // {1, 3}
    EXPECT_EQ(NKFindAdjacentPolygon(&part, 1, 0, 1), 0);   // {2, 1}: below
    EXPECT_EQ(NKFindAdjacentPolygon(&part, 3, 0, 2), 2);   // {4, 3}: last polygon
    EXPECT_EQ(NKFindAdjacentPolygon(&part, 0, 0, 1), -1);  // boundary
    EXPECT_EQ(NKFindAdjacentPolygon(&part, 0, 0, 3), -1);  // bad corner
    EXPECT_EQ(NKFindAdjacentPolygon(&part, 4, 0, 1), -1);  // bad polygon
    EXPECT_EQ(NKFindAdjacentPolygon(nullptr, 0, 0, 1), -1);
    NKReleaseGeometry(pGeo);
}

// The search runs to both ends of the part: polygon 0 borders only the last
// of three or of four polygons, across its edge {1, 2}, and the last
// borders only polygon 0.
TEST(AdjacentPolygon, ReachesTheFirstAndTheLastPolygon)
{
    std::vector<float> coords;
    for (int i = 0; i < 10; i++) coords.insert(coords.end(), {(float)i, (float)(i % 3), 0.0f});
    for (int iPolygons : {3, 4}) {
        SCOPED_TRACE(iPolygons);
        std::vector<std::vector<int>> polygons = {{0, 1, 2}, {3, 4, 5}, {6, 7, 8}};
        polygons.resize((size_t)iPolygons - 1);
        polygons.push_back({2, 1, 9});
        NKGeometry *pGeo = NKTestMakeOnePartGeometry(coords, polygons);
        const NKPart &part = pGeo->pParts[0];
        EXPECT_EQ(NKFindAdjacentPolygon(&part, 0, 1, 2), iPolygons - 1);
        EXPECT_EQ(NKFindAdjacentPolygon(&part, iPolygons - 1, 0, 1), 0);
        EXPECT_EQ(NKFindAdjacentPolygon(&part, 1, 0, 1), -1);
        NKReleaseGeometry(pGeo);
    }
}

}  // namespace
