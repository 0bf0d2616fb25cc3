// tests/core/test_sound_sources.cpp -- the sound source table: adding up to
// the limit, removing, ids, getters outside the table, node positions from a
// frame and the highlight record.
#include <gtest/gtest.h>

#include "core/nk_sound_sources.h"
#include "tests/core/nk_model_test_helpers.h"

namespace {

TEST(SoundSources, AddRemoveAndIdsKeepTheTableInOrder)
{
    SoundSourceTable table;
    EXPECT_EQ(table.Add(5, "five", "5.wav"), 0);
    EXPECT_EQ(table.Add(9, "nine", "9.wav"), 1);
    EXPECT_EQ(table.Add(5, "again", "x.wav"), -1);  // id in use: unchanged
    EXPECT_EQ(table.iCount, 2);
    EXPECT_EQ(table.iNextId, 10);
    table.iNextId = 1;
    EXPECT_EQ(table.NextFreeId(), 10);
    EXPECT_EQ(table.Add(12, "twelve", ""), 2);
    EXPECT_TRUE(table.Remove(5));
    EXPECT_FALSE(table.Remove(5));
    ASSERT_EQ(table.iCount, 2);
    EXPECT_EQ(table.GetId(0), 9);
    EXPECT_EQ(table.GetId(1), 12);
    EXPECT_EQ(table.aSources[2].iId, -1);
    EXPECT_STREQ(table.GetDescription(0).GetText(), "nine");
    EXPECT_STREQ(table.GetFileName(0).GetText(), "9.wav");
    EXPECT_EQ(table.FindId(12), 1);
    EXPECT_EQ(table.FindId(5), -1);
    // Outside the table: the neutral answers.
    for (int iIndex : {-1, 2, 100}) {
        float afPosition[3] = {7, 7, 7};
        table.GetPosition(iIndex, afPosition);
        EXPECT_EQ(table.GetId(iIndex), -1);
        EXPECT_STREQ(table.GetDescription(iIndex).GetText(), "");
        EXPECT_STREQ(table.GetFileName(iIndex).GetText(), "");
        EXPECT_EQ(afPosition[0] + afPosition[1] + afPosition[2], 0.0f);
        EXPECT_EQ(table.GetValue(iIndex), 0.0f);
        EXPECT_FALSE(table.SetNode(iIndex, 0, 0));
        EXPECT_EQ(table.GetNode(iIndex), nullptr);
    }
    table.Clear();
    for (int i = 0; i < NK_MAX_SOUND_SOURCES; i++) ASSERT_EQ(table.Add(i + 1, "", ""), i);
    EXPECT_EQ(table.Add(1000, "", ""), -1);
    EXPECT_EQ(table.iCount, NK_MAX_SOUND_SOURCES);
}

class SoundSourcePositions : public NKModelTest {};

TEST_F(SoundSourcePositions, SourcesFollowTheirNodesInModelCoordinates)
{
    MakeFrames(2, 2);
    g_pModel->fGeoScale = 2.0f;
    SoundSourceTable table;
    ASSERT_EQ(table.Add(1, "a", ""), 0);
    ASSERT_EQ(table.Add(2, "b", ""), 1);
    ASSERT_EQ(table.Add(3, "c", ""), 2);
    ASSERT_EQ(table.Add(4, "unanchored", ""), 3);
    ASSERT_TRUE(table.SetNode(0, 1, 2));  // part 2, node (1, 1, 0)
    ASSERT_TRUE(table.SetNode(1, 0, 4));  // past the part's 4 nodes
    ASSERT_TRUE(table.SetNode(2, 2, 0));  // no third part
    for (int i = 1; i < 3; i++) table.aSources[i].afPosition[0] = 9.0f;
    table.UpdatePositions(&g_pModel->pFrames[1]);
    const float afExpected[4][3] = {{0.5f, 0.5f, 0}, {9, 0, 0}, {9, 0, 0}, {0, 0, 0}};
    for (int i = 0; i < 4; i++) {
        float afPosition[3];
        table.GetPosition(i, afPosition);
        for (int k = 0; k < 3; k++) EXPECT_FLOAT_EQ(afPosition[k], afExpected[i][k]) << i;
    }
    const int *piNode = table.GetNode(0);
    ASSERT_NE(piNode, nullptr);
    EXPECT_EQ(piNode[0], 1);
    EXPECT_EQ(piNode[1], 2);
    const SoundHighlightRecord *pRecord = table.ExportPositions();
    ASSERT_NE(pRecord, nullptr);
    ASSERT_EQ(pRecord->iCount, 4);
    EXPECT_EQ(pRecord->aEntries[0].iPart, 1);
    EXPECT_EQ(pRecord->aEntries[0].iNode, 2);
    EXPECT_EQ(pRecord->aEntries[3].auColor[2], 255);
    table.bHighlightNodes = 0;
    EXPECT_EQ(table.ExportPositions(), nullptr);
}

}  // namespace
