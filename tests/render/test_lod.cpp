// tests/render/test_lod.cpp -- the level tables and the level-of-detail
// manager without drawing: counts and ranges from state bytes, the model
// size from internal string 1001, both threshold sets, the level choice, the
// frame-rate steering, the part levels set by command and the dump file.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_render_state.h"
#include "core/nk_view_state.h"
#include "nkf/nkf_import.h"
#include "render/nk_lod.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nkf_example_models.h"
#include "tests/test_support/nkf_test_writer.h"

namespace {

// One frame whose geometry has a part per byte list, each polygon's state
// byte taken from the list (the parts have no coordinates).
class LodTables : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_pModel = NKCreateModel();
        g_pModel->fGeoScale = 0.1f;
        m_SavedSize = NKViewWindowSize;
        NKViewWindowSize = {810, 600};
        g_fNearClip = 0.01f;
    }
    void TearDown() override
    {
        m_Manager.Release();
        NKFCloseInterface();
        NKDestroyModel(g_pModel);
        g_pModel = nullptr;
        NKViewWindowSize = m_SavedSize;
        g_fNearClip = NK_DEFAULT_NEAR_CLIP;
    }
    NKFrame *MakeFrame(const std::vector<std::vector<uint8_t>> &parts)
    {
        const int n = static_cast<int>(parts.size());
        NKGeometry *pGeo = NKCreateGeometry(n);
        g_pModel->pFrames = NKAllocFrameArray(1);
        g_pModel->iNumFrames = 1;
        NKFrame *pFrame = &g_pModel->pFrames[0];
        pFrame->pGeometry = pGeo;
        pGeo->iNumRef++;
        pFrame->ppVisibility = static_cast<uint8_t **>(NKCalloc(n, sizeof(uint8_t *)));
        for (int p = 0; p < n; p++) {
            const int k = static_cast<int>(parts[p].size());
            pGeo->pParts[p].iNumPolygons = k;
            pGeo->pParts[p].bVisible = 1;
            pFrame->ppVisibility[p] = static_cast<uint8_t *>(NKAlloc(k));
            for (int i = 0; i < k; i++) pFrame->ppVisibility[p][i] = parts[p][i];
        }
        return pFrame;
    }
    LodManager m_Manager;
    NKViewSize m_SavedSize{};
};

}  // namespace

TEST_F(LodTables, StateBytesGiveCountsFirstIndicesAndRanges)
{
    // Bit 0 (eroded) and bit 1 (hidden) do not change a polygon's level.
    ASSERT_TRUE(m_Manager.Setup(MakeFrame({{0, 0, 1, 2, 4, 4 | 1, 8}, {0}})));
    const LodLevelTable &t = m_Manager.m_Tables.pTables[0];
    ASSERT_EQ(t.iNumRecords, 3);
    const int aiCounts[3] = {4, 2, 1}, aiFirst[3] = {0, 4, 6};
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(t.pRecords[i].iLevel, i);
        EXPECT_EQ(t.pRecords[i].iNumPolygons, aiCounts[i]);
        EXPECT_EQ(t.pRecords[i].iFirstPolygon, aiFirst[i]);
    }
    int iLast = -1;
    EXPECT_EQ(m_Manager.GetLevelRange(0, 4, &iLast), 4);
    EXPECT_EQ(iLast, 5);
    EXPECT_EQ(m_Manager.GetLevelRange(1, 8, &iLast), 0);  // part 2 has no level 2
    EXPECT_EQ(iLast, 0);
    EXPECT_EQ(m_Manager.m_iNumLevels, 3);
    EXPECT_EQ(m_Manager.GetMinLevel(), 0);
    EXPECT_EQ(m_Manager.GetMaxLevel(), 2);
    EXPECT_EQ(m_Manager.m_bEnabled, 1);
    // One level: the manager stays off and every part is drawn at level 0.
    m_Manager.Release();
    NKDestroyModel(g_pModel);
    g_pModel = NKCreateModel();
    ASSERT_TRUE(m_Manager.Setup(MakeFrame({{0, 0}, {0}})));
    EXPECT_EQ(m_Manager.m_bEnabled, 0);
    EXPECT_EQ(m_Manager.GetPartLevel(g_pModel->pFrames[0].pGeometry, 0), 0);
}

TEST_F(LodTables, ModelSizeComesFromInternalString1001TimesTheGeometryScale)
{
    const struct {
        const char *pszText;
        float fSize;
    } cases[] = {{"0.5", 0.05f}, {"-1", 0.0f}, {nullptr, 0.0f}};
    MessageCapture capture;
    int i = 0;
    for (const auto &c : cases) {
        std::vector<std::string> lines = NKFTestQuadLines(nullptr);
        if (c.pszText != nullptr) lines.insert(lines.end(), {"*INTERNALSTRING 1001", c.pszText});
        const std::string path =
            NKFWriteTestFile(("lod_size" + std::to_string(i++) + ".nkf").c_str(), lines);
        ASSERT_TRUE(NKFIInitInterface(path.c_str()));
        EXPECT_NEAR(NKGetLodModelSize(), c.fSize, 1e-7f) << (c.pszText ? c.pszText : "none");
        NKFCloseInterface();
        std::remove(path.c_str());
    }
}

TEST_F(LodTables, ThresholdsRanksAndDistancesChooseTheCoarserLevel)
{
    ASSERT_TRUE(m_Manager.Setup(MakeFrame({{0, 4, 8}, {0, 4, 8, 12}, {0}})));
    // Without model size or pixel threshold every distance gives level 0.
    for (int i = 0; i < 3; i++) EXPECT_EQ(m_Manager.m_pfDistanceThresholds[i], 0.0f);
    m_Manager.m_fModelSize = 0.1f;
    m_Manager.SetPixelThreshold(10.0f);
    const float afExpected[3] = {67.94f, 271.75f, 611.44f};
    for (int i = 0; i < 3; i++)
        EXPECT_NEAR(m_Manager.m_pfDistanceThresholds[i], afExpected[i], 0.01f) << i;
    m_Manager.SetAutomatic(true);
    NKGeometry *pGeo = g_pModel->pFrames[0].pGeometry;
    struct Case {
        int iRank;
        float fDistance;
        uint8_t uLevel;
    } cases[] = {
        {4, 1.0f, 0},    // 5th nearest, close: level 0
        {14, 1.0f, 4},   // 15th nearest: rank level 1
        {4, 300.0f, 8},  // distance level 2 beats rank level 0
        {60, 1.0f, 8},   // past every rank threshold: the last level
        {4, 1e12f, 8},   // not drawn: far away
    };
    for (const Case &c : cases) {
        m_Manager.m_piRanks[0] = c.iRank;
        m_Manager.m_pfDistances[0] = c.fDistance;
        EXPECT_EQ(m_Manager.GetPartLevel(pGeo, 0), c.uLevel) << c.iRank << " " << c.fDistance;
    }
    // Part 3 has one level only.
    m_Manager.m_piRanks[2] = 60;
    EXPECT_EQ(m_Manager.GetPartLevel(pGeo, 2), 0);
    // Fixed modes and moving.
    m_Manager.SetMoving(true);
    EXPECT_EQ(m_Manager.GetPartLevel(pGeo, 1), 12);
    m_Manager.SetMoving(false);
    m_Manager.m_bFixed = m_Manager.m_bFixedInEffect = 1;
    m_Manager.SetFixedMode(NK_LOD_FIXED_FINEST);
    EXPECT_EQ(m_Manager.GetPartLevel(pGeo, 1), 0);
    m_Manager.SetMoving(false);
    EXPECT_EQ(m_Manager.m_bFixedInEffect, 1);
}

TEST_F(LodTables, PartLevelsAreCappedAndTheFrameRateSteersTheRanks)
{
    MakeFrame({{0, 4, 8, 12}, {0, 4}, {0}, {0}, {0}, {0}, {0}, {0}, {0}, {0}});
    ASSERT_TRUE(m_Manager.Setup(&g_pModel->pFrames[0]));
    NKGeometry *pGeo = g_pModel->pFrames[0].pGeometry;
    EXPECT_TRUE(m_Manager.SetPartLevels(pGeo, 5, -1, -1, false));
    EXPECT_EQ(pGeo->pParts[0].uLodLevel, 12);
    EXPECT_EQ(pGeo->pParts[1].uLodLevel, 4);
    EXPECT_EQ(m_Manager.GetPartLevel(pGeo, 0), 12);  // manual: the part's own level
    pGeo->pParts[1].bSelected = 1;
    EXPECT_TRUE(m_Manager.SetPartLevels(pGeo, 0, -1, -1, true));
    EXPECT_EQ(pGeo->pParts[0].uLodLevel, 12);
    EXPECT_EQ(pGeo->pParts[1].uLodLevel, 0);
    EXPECT_FALSE(m_Manager.SetPartLevels(nullptr, 1, -1, -1, false));

    m_Manager.SetAutomatic(true);
    m_Manager.m_bTargetFrameRate = 1;
    m_Manager.Update(&g_pModel->pFrames[0], 4.5f);  // within 15 % of 5
    EXPECT_EQ(m_Manager.m_afRankThresholds[0], 10.0f);
    m_Manager.Update(&g_pModel->pFrames[0], 2.0f);
    EXPECT_FLOAT_EQ(m_Manager.m_afRankThresholds[0], 7.5f);
    EXPECT_FLOAT_EQ(m_Manager.m_afRankThresholds[1], 15.0f);
    EXPECT_FLOAT_EQ(m_Manager.m_afRankThresholds[2], 30.0f);
    m_Manager.SetTargetFrameRate(false);
    EXPECT_EQ(m_Manager.m_afRankThresholds[0], 10.0f);
}

TEST_F(LodTables, DumpListsEveryPartsLevelCounts)
{
    ASSERT_TRUE(m_Manager.Setup(MakeFrame({{0, 0, 0, 0, 4}, std::vector<uint8_t>(16, 0)})));
    const std::string path = NKFTestPath("lodinfo_test.txt");
    ASSERT_TRUE(m_Manager.Dump(path.c_str()));
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(),
              "\n\nLOD Info\n\nPart:    1,  # levels    2:      4      1  \nPart:    2,  # "
              "levels    1:     16  ");
    std::remove(path.c_str());
    EXPECT_FALSE(m_Manager.Dump("/nonexistent-folder/lodinfo.txt"));
}
