// tests/core/test_nk_normals.cpp -- packed normals: smoothing within the
// crease angle, visibility, deformed normals of vector results, turning
// normals outward and averaging them across parts by node ID.
#include <climits>

#include <gtest/gtest.h>

#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_model.h"
#include "core/nk_normals.h"
#include "core/nk_numeric.h"
#include "tests/core/nk_geometry_test_helpers.h"
#include "tests/core/nk_model_test_helpers.h"

namespace {

void ExpectPacked(const int8_t *p, int x, int y, int z)
{
    EXPECT_EQ(p[0], x);
    EXPECT_EQ(p[1], y);
    EXPECT_EQ(p[2], z);
}

class GeometryNormals : public ::testing::Test {
protected:
    void TearDown() override { NKReleaseGeometry(m_pGeo); }
    NKGeometry *m_pGeo = NKCreateGeometry(1);
    NKPart *Part() { return &m_pGeo->pParts[0]; }
};

TEST_F(GeometryNormals, FlatPlateGivesEveryNodeThePlateNormal)
{
    NKTestMakePlate(Part(), 3, 2, 1.0f);
    ASSERT_TRUE(NKComputeGeometryNormals(m_pGeo, nullptr, 0));
    for (int n = 0; n < Part()->iNumNodes; n++)
        ExpectPacked(&Part()->pNodeNormals[3 * n], 0, 0, 127);
    for (int k = 0; k < Part()->iNumPolygons; k++)
        ExpectPacked(&Part()->pPolygonNormals[3 * k], 0, 0, 127);
}

TEST_F(GeometryNormals, CubeCornersAreUndefinedWithTheDefaultCreaseAngle)
{
    NKTestMakeCube(Part(), 0.0f, 1.0f);
    ASSERT_TRUE(NKComputeGeometryNormals(m_pGeo, nullptr, 0));
    for (int n = 0; n < 8; n++) {
        EXPECT_TRUE(NKIsUndefinedNormal(&Part()->pNodeNormals[3 * n]));
        ExpectPacked(&Part()->pNodeNormals[3 * n], 127, 127, 127);
    }
    ExpectPacked(&Part()->pPolygonNormals[0], 0, 0, -128);  // the bottom face
    // A crease angle above 90 degrees smooths the corners instead.
    NKGraphicsSettings settings;
    settings.fSmoothNormalAngle = 1.6f;
    g_pGraphicsSettings = &settings;
    ASSERT_TRUE(NKComputeGeometryNormals(m_pGeo, nullptr, 0));
    g_pGraphicsSettings = nullptr;
    float n[3];
    NKUnpackNormal(n, reinterpret_cast<const signed char *>(&Part()->pNodeNormals[0]));
    EXPECT_NEAR(n[0], -0.577f, 0.01f);
    EXPECT_NEAR(n[2], -0.577f, 0.01f);
}

TEST(GeometryNormalsWithFrames, HiddenPolygonsKeepTheirNormalButBendNoNode)
{
    NKGeometry *pGeo = NKCreateGeometry(1);
    NKPart *pPart = &pGeo->pParts[0];
    // Two triangles sharing the edge 1-2: one flat, one standing up.
    NKTestBuildPart(pPart, {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0.2f}, {{0, 1, 2}, {1, 3, 2}});
    NKFrame frame;
    NKTestShareGeometry(&frame, pGeo);
    frame.ppVisibility = static_cast<uint8_t **>(NKCalloc(1, sizeof(uint8_t *)));
    frame.ppVisibility[0] = static_cast<uint8_t *>(NKCalloc(2, 1));
    frame.ppVisibility[0][1] = 5;
    ASSERT_TRUE(NKComputeGeometryNormals(pGeo, &frame, 0));
    ExpectPacked(&pPart->pNodeNormals[3 * 1], 0, 0, 127);  // only the flat one counted
    EXPECT_NE(pPart->pPolygonNormals[3 * 1], 0);           // but the other has its own
    ExpectPacked(&pPart->pNodeNormals[3 * 3], 0, 0, 0);    // reached by no counted polygon
    frame.ppVisibility[0][1] = 0;
    ASSERT_TRUE(NKComputeGeometryNormals(pGeo, &frame, 0));
    EXPECT_NE(pPart->pNodeNormals[3 * 1], 0);
    NKReleaseFrame(&frame);
}

TEST(PackNormals, UndefinedAndNullArrays)
{
    float normals[6] = {NK_UNDEFINED_VALUE, 0, 0, -1, 0, 0.5f};
    int8_t packed[6];
    ASSERT_TRUE(NKPackNormals(packed, normals, 2));
    ExpectPacked(packed, 127, 127, 127);
    ExpectPacked(packed + 3, -128, 0, 64);
    EXPECT_FALSE(NKPackNormals(nullptr, normals, 2));
    EXPECT_TRUE(NKPackNormals(packed, normals, 0));
}

// ---- Deformed normals ------------------------------------------------------------

TEST(VectorResultNormals, DeformedShapeGetsItsOwnNormals)
{
    NKGeometry *pGeo = NKCreateGeometry(2);
    NKTestMakePlate(&pGeo->pParts[0], 1, 1, 0.0f);
    NKTestMakePlate(&pGeo->pParts[1], 1, 1, 0.0f);
    NKVectorResult *pVector = NKTestMakeDisplacedResult(pGeo, 0, 0, 0);
    // Part 0 is tilted about the y axis: z grows with x.
    for (int n = 0; n < 4; n++)
        pVector->pResults[0].pNodeValues[3 * n + 2] = pVector->pResults[0].pNodeValues[3 * n];
    NKFree(pVector->pResults[1].pNodeValues);  // part 1 has no positions
    pVector->pResults[1].pNodeValues = nullptr;
    ASSERT_TRUE(NKComputeVectorResultNormals(pGeo, pVector));
    const NKVectorPartEntry &entry = pVector->pResults[0];
    ASSERT_NE(entry.pNodeNormals, nullptr);
    ASSERT_NE(entry.pPolygonNormals, nullptr);
    float n[3];
    NKUnpackNormal(n, reinterpret_cast<const signed char *>(entry.pNodeNormals));
    EXPECT_NEAR(n[0], -0.707f, 0.01f);
    EXPECT_NEAR(n[2], 0.707f, 0.01f);
    EXPECT_EQ(pVector->pResults[1].pNodeNormals, nullptr);
    EXPECT_EQ(pGeo->pParts[0].pNodeNormals, nullptr);  // the part's own stay untouched
    EXPECT_FALSE(NKComputeVectorResultNormals(nullptr, pVector));
    NKReleaseVectorResult(pVector);
    NKReleaseGeometry(pGeo);
}

class AllFrameNormals : public NKModelTest {};

TEST_F(AllFrameNormals, EachSharedRecordOnce)
{
    NKGeometry *pGeo = NKCreateGeometry(1);
    NKTestMakePlate(&pGeo->pParts[0], 1, 1, 0.0f);
    ASSERT_TRUE(NKSetFrameCount(2, false));
    NKVectorResult *pVector = NKTestMakeDisplacedResult(pGeo, 0, 0, 1);
    for (int i = 0; i < 2; i++) {
        NKTestShareGeometry(&g_pModel->pFrames[i], pGeo);
        g_pModel->pFrames[i].pVector = pVector;
        pVector->iNumRef++;
    }
    ASSERT_TRUE(NKComputeNormalsAllFrames());
    ExpectPacked(pGeo->pParts[0].pNodeNormals, 0, 0, 127);
    ExpectPacked(pVector->pResults[0].pNodeNormals, 0, 0, 127);
    NKReleaseGeometry(g_pModel->pFrames[1].pGeometry);
    g_pModel->pFrames[1].pGeometry = nullptr;
    EXPECT_FALSE(NKComputeNormalsAllFrames());
}

// ---- Outward normals ---------------------------------------------------------------

TEST(OutwardNormals, InwardNormalsFlipAndUndefinedOnesStay)
{
    NKPart part;
    NKTestBuildPart(&part, {0, 0, 1, 0, 0, -1, 1, 0, 0, 0, 1, 0}, {});
    part.pNodeNormals = static_cast<int8_t *>(NKAlloc(12));
    const int8_t normals[12] = {0, 0, -128, 0, 0, -128, 127, 127, 127, -64, -64, 0};
    std::memcpy(part.pNodeNormals, normals, 12);
    NKOrientPartNormalsOutward(&part);                   // centroid (0, 0, 0)
    ExpectPacked(&part.pNodeNormals[0], 0, 0, 127);      // inward (0, 0, -1) flipped
    ExpectPacked(&part.pNodeNormals[3], 0, 0, -128);     // already outward
    ExpectPacked(&part.pNodeNormals[6], 127, 127, 127);  // undefined stays
    ExpectPacked(&part.pNodeNormals[9], 64, 64, 0);
    NKFreePart(&part);
    NKOrientPartNormalsOutward(nullptr);
}

// ---- Smoothing across parts --------------------------------------------------------

class SmoothAcrossParts : public ::testing::Test {
protected:
    // Three parts of two nodes each with the given IDs and packed normals.
    void Make(const std::vector<std::vector<int>> &ids,
              const std::vector<std::vector<int8_t>> &normals)
    {
        m_pGeo = NKCreateGeometry(static_cast<int>(ids.size()));
        for (size_t p = 0; p < ids.size(); p++) {
            NKPart *pPart = &m_pGeo->pParts[p];
            NKTestBuildPart(pPart, {0, 0, 0, 1, 0, 0}, {{0, 1}});
            if (!ids[p].empty()) NKTestSetNodeIDs(pPart, ids[p]);
            pPart->pNodeNormals = static_cast<int8_t *>(NKAlloc(6));
            std::memcpy(pPart->pNodeNormals, normals[p].data(), 6);
        }
    }
    void TearDown() override { NKReleaseGeometry(m_pGeo); }
    const int8_t *Normal(int p, int n) const { return &m_pGeo->pParts[p].pNodeNormals[3 * n]; }
    NKGeometry *m_pGeo = nullptr;
};

TEST_F(SmoothAcrossParts, SharedIdsAverageTheirDefinedNormals)
{
    Make({{INT_MIN, 2000000000}, {2000000000, 5}, {5, INT_MIN}},
         {{0, 0, 127, 100, 0, 27}, {0, 100, 27, 127, 0, 0}, {127, 127, 127, 0, 0, -128}});
    ASSERT_TRUE(NKSmoothNormalsAcrossParts(m_pGeo, -1, -1));
    ExpectPacked(Normal(0, 1), 50, 50, 27);  // very large ID
    ExpectPacked(Normal(1, 0), 50, 50, 27);
    ExpectPacked(Normal(1, 1), 127, 0, 0);  // the undefined partner is left out
    ExpectPacked(Normal(2, 0), 127, 0, 0);
    ExpectPacked(Normal(0, 0), 0, 0, 0);  // negative ID: (127 - 128) / 2
    ExpectPacked(Normal(2, 1), 0, 0, 0);
}

TEST_F(SmoothAcrossParts, AllUndefinedMembersKeepTheirNormals)
{
    Make({{1, 2}, {1, 3}}, {{127, 127, 127, 1, 2, 3}, {127, 127, 127, 4, 5, 6}});
    ASSERT_TRUE(NKSmoothNormalsAcrossParts(m_pGeo, 0, 1));
    ExpectPacked(Normal(0, 0), 127, 127, 127);
    ExpectPacked(Normal(1, 0), 127, 127, 127);
    ExpectPacked(Normal(0, 1), 1, 2, 3);
}

TEST_F(SmoothAcrossParts, RangeAndPartsWithoutIds)
{
    Make({{1, 2}, {1, 3}, {}}, {{0, 0, 100, 0, 0, 0}, {0, 0, 50, 0, 0, 0}, {9, 9, 9, 9, 9, 9}});
    ASSERT_TRUE(NKSmoothNormalsAcrossParts(m_pGeo, 1, 2));  // part 0 is outside
    ExpectPacked(Normal(1, 0), 0, 0, 50);
    ASSERT_TRUE(NKSmoothNormalsAcrossParts(m_pGeo, 0, 99));
    ExpectPacked(Normal(0, 0), 0, 0, 75);
    ExpectPacked(Normal(2, 0), 9, 9, 9);
}

TEST_F(SmoothAcrossParts, NoIdsAnywhereIsRefused)
{
    Make({{}, {}}, {{0, 0, 1, 0, 0, 1}, {0, 0, 1, 0, 0, 1}});
    EXPECT_FALSE(NKSmoothNormalsAcrossParts(m_pGeo, -1, -1));
    EXPECT_FALSE(NKSmoothNormalsAcrossParts(nullptr, -1, -1));
}

TEST(NodeOccurrenceList, HoldsAtMostFourPairs)
{
    NKNodeOccurrenceList list;
    EXPECT_EQ(list.Count(), 0);
    for (int i = 0; i < 6; i++) list.Add(i, 10 + i);
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.aiPairs[3][1], 13);
    list.Reset();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.aiPairs[0][0], -1);
}

}  // namespace
