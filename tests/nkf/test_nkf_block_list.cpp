// tests/nkf/test_nkf_block_list.cpp -- the block database (sorted lists,
// replacement, probes and searches, reference counts), NKFFindStepIndex,
// and the base's header-size check and error layout.
#include <gtest/gtest.h>

#include "nkf/nkf_block.h"
#include "nkf/nkf_block_list.h"
#include "nkf/nkf_parser.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nkf_test_writer.h"
#include "tests/test_support/test_files.h"

namespace {

// A block of a chosen type that counts how many of its kind were deleted.
class CountedBlock : public NKFBlock {
public:
    CountedBlock(int iType, int iID) : NKFBlock(nullptr, iID) { m_iBlockType = iType; }
    ~CountedBlock() override { s_iDeleted++; }
    bool ParseBlock() override { return true; }
    bool LoadData() override { return true; }
    bool WriteBlock() override { return true; }
    int GetNumItems() override { return 0; }
    void FreeData() override {}
    static int s_iDeleted;
};
int CountedBlock::s_iDeleted = 0;

std::vector<int> IDsOf(const NKFBlockList &list, int iType)
{
    std::vector<int> ids;
    for (int i = 0; i < list.GetCount(iType); i++)
        ids.push_back(list.GetBlock(iType, i)->GetBlockID());
    return ids;
}

class NKFBlockListTest : public ::testing::Test {
protected:
    void SetUp() override { CountedBlock::s_iDeleted = 0; }
    void TearDown() override { list.ReleaseAll(); }
    bool Add(int iType, int iID, bool *pbReplaced = nullptr)
    {
        bool bReplaced = false;
        bool bOk = list.Add(new CountedBlock(iType, iID), &bReplaced);
        if (pbReplaced != nullptr) *pbReplaced = bReplaced;
        return bOk;
    }
    NKFBlockList list;
};

}  // namespace

TEST_F(NKFBlockListTest, BlocksAddedOutOfOrderAreKeptInIdOrder)
{
    ASSERT_TRUE(Add(NKF_NODES, 3));
    ASSERT_TRUE(Add(NKF_NODES, 1));
    ASSERT_TRUE(Add(NKF_NODES, 2));
    EXPECT_EQ((std::vector<int>{1, 2, 3}), IDsOf(list, NKF_NODES));
    EXPECT_EQ(1, list.GetBlock(NKF_NODES, 0)->GetRefCount());
}

TEST_F(NKFBlockListTest, SameIdReplacesAndReleasesTheEarlierBlock)
{
    Add(NKF_NODES, 3);
    Add(NKF_NODES, 1);
    Add(NKF_NODES, 2);
    NKFBlock *pFirst = list.FindBlock(NKF_NODES, 1);
    bool bReplaced = false;
    NKFBlock *pLater = new CountedBlock(NKF_NODES, 1);
    ASSERT_TRUE(list.Add(pLater, &bReplaced));
    EXPECT_TRUE(bReplaced);
    EXPECT_EQ(1, CountedBlock::s_iDeleted);  // the earlier block 1 is gone
    EXPECT_EQ(3, list.GetCount(NKF_NODES));
    EXPECT_EQ(pLater, list.FindBlock(NKF_NODES, 1));
    EXPECT_NE(pFirst, pLater);
    EXPECT_EQ((std::vector<int>{1, 2, 3}), IDsOf(list, NKF_NODES));
}

TEST_F(NKFBlockListTest, ReplacingTheLastOfOneTwoThreeKeepsOneEntryPerId)
{
    Add(NKF_RESULTS, 1);
    Add(NKF_RESULTS, 2);
    Add(NKF_RESULTS, 3);
    bool bReplaced = false;
    Add(NKF_RESULTS, 3, &bReplaced);
    EXPECT_TRUE(bReplaced);
    Add(NKF_RESULTS, 1, &bReplaced);
    EXPECT_TRUE(bReplaced);
    EXPECT_EQ((std::vector<int>{1, 2, 3}), IDsOf(list, NKF_RESULTS));
}

TEST_F(NKFBlockListTest, SameNegativeIdReplacesTheEarlierBlock)
{
    // A file may number blocks below 0; FindIndex never finds those, so the
    // replacement must not rely on it.
    Add(NKF_NODES, -7);
    Add(NKF_NODES, -3);
    Add(NKF_NODES, 2);
    bool bReplaced = false;
    ASSERT_TRUE(Add(NKF_NODES, -3, &bReplaced));
    EXPECT_TRUE(bReplaced);
    ASSERT_TRUE(Add(NKF_NODES, -7, &bReplaced));
    EXPECT_TRUE(bReplaced);
    EXPECT_EQ(2, CountedBlock::s_iDeleted);
    EXPECT_EQ((std::vector<int>{-7, -3, 2}), IDsOf(list, NKF_NODES));
}

TEST(NKFBlockListParse, DuplicateNegativeBlockIdsInAFileReplaceTheFirst)
{
    MessageCapture capture;
    std::string path = NKFTestPath("negative_ids.nkf");
    ASSERT_TRUE(NKTestWriteText(
        path, NKFJoinLines({"*NKF-1.00", "*NODES -2", "0 0 0", "*NODES -2", "1 1 1", "2 2 2"})));
    NKFParser parser(NKString(path.c_str()));
    ASSERT_TRUE(parser.Parse()) << capture.Text();
    ASSERT_EQ(1, parser.GetNumBlocks(NKF_NODES));
    NKFBlock *pNodes = parser.GetBlock(NKF_NODES, 0);
    EXPECT_EQ(-2, pNodes->GetBlockID());
    ASSERT_TRUE(pNodes->LoadData()) << capture.Text();
    EXPECT_EQ(2, pNodes->GetNumItems());
}

TEST_F(NKFBlockListTest, NullBlockIsRefused)
{
    bool bReplaced = true;
    EXPECT_FALSE(list.Add(nullptr, &bReplaced));
    EXPECT_FALSE(bReplaced);
}

TEST_F(NKFBlockListTest, FindIndexUsesProbesAndBinarySearch)
{
    EXPECT_EQ(-1, list.FindIndex(NKF_NODES, 0));              // empty list
    for (int id : {0, 1, 2, 3}) Add(NKF_NODES, id);           // numbered 0..n-1
    for (int id : {1, 2, 3, 4}) Add(NKF_ELEMENTS, id);        // numbered 1..n
    for (int id : {5, 10, 20, 40, 80}) Add(NKF_RESULTS, id);  // sparse
    EXPECT_EQ(2, list.FindIndex(NKF_NODES, 2));
    EXPECT_EQ(3, list.FindIndex(NKF_ELEMENTS, 4));
    EXPECT_EQ(0, list.FindIndex(NKF_ELEMENTS, 1));
    EXPECT_EQ(3, list.FindIndex(NKF_RESULTS, 40));
    EXPECT_EQ(0, list.FindIndex(NKF_RESULTS, 5));
    EXPECT_EQ(4, list.FindIndex(NKF_RESULTS, 80));
    EXPECT_EQ(-1, list.FindIndex(NKF_RESULTS, 3));
    EXPECT_EQ(-1, list.FindIndex(NKF_RESULTS, 11));
    EXPECT_EQ(-1, list.FindIndex(NKF_NODES, -1));
    EXPECT_EQ(-1, list.FindIndex(99, 1));
    EXPECT_EQ(nullptr, list.FindBlock(NKF_RESULTS, 11));
}

TEST_F(NKFBlockListTest, InsertPositionGivesTheSlotOrMinusOneWhenPresent)
{
    EXPECT_EQ(0, list.InsertPosition(NKF_NODES, 7));
    for (int id : {10, 20, 30}) Add(NKF_NODES, id);
    EXPECT_EQ(0, list.InsertPosition(NKF_NODES, 5));
    EXPECT_EQ(1, list.InsertPosition(NKF_NODES, 15));
    EXPECT_EQ(2, list.InsertPosition(NKF_NODES, 25));
    EXPECT_EQ(3, list.InsertPosition(NKF_NODES, 31));
    EXPECT_EQ(-1, list.InsertPosition(NKF_NODES, 10));
    EXPECT_EQ(-1, list.InsertPosition(NKF_NODES, 30));
}

TEST_F(NKFBlockListTest, GetBlockByIndexCountsTypesInOrderThenIds)
{
    Add(NKF_ELEMENTS, 1);
    EXPECT_EQ(NKF_ELEMENTS, list.GetBlockByIndex(0)->GetType());
    Add(NKF_NODES, 2);
    Add(NKF_NODES, 1);
    NKFBlock *p0 = list.GetBlockByIndex(0), *p1 = list.GetBlockByIndex(1),
             *p2 = list.GetBlockByIndex(2);
    EXPECT_TRUE(p0->GetType() == NKF_NODES && p0->GetBlockID() == 1);
    EXPECT_TRUE(p1->GetType() == NKF_NODES && p1->GetBlockID() == 2);
    EXPECT_TRUE(p2->GetType() == NKF_ELEMENTS && p2->GetBlockID() == 1);
    EXPECT_EQ(nullptr, list.GetBlockByIndex(3));
    EXPECT_EQ(nullptr, list.GetBlockByIndex(-1));
    EXPECT_EQ(nullptr, list.GetBlock(NKF_NODES, 2));
    EXPECT_EQ(nullptr, list.GetBlock(28, 0));
}

TEST_F(NKFBlockListTest, ReleaseAllDeletesEveryBlockAndEmptiesTheLists)
{
    Add(NKF_NODES, 1);
    Add(NKF_RESULTS, 1);
    Add(NKF_TEXTURES, 4);
    list.ReleaseAll();
    EXPECT_EQ(3, CountedBlock::s_iDeleted);
    EXPECT_EQ(0, list.GetCount(NKF_NODES));
    EXPECT_EQ(nullptr, list.GetBlockByIndex(0));
}

TEST(NKFBlock, ReleaseDeletesOnlyWhenTheLastReferenceGoes)
{
    CountedBlock::s_iDeleted = 0;
    NKFBlock *pBlock = new CountedBlock(NKF_NODES, 1);
    pBlock->AddRef();
    pBlock->AddRef();
    EXPECT_EQ(1, pBlock->Release());
    EXPECT_EQ(0, CountedBlock::s_iDeleted);
    EXPECT_EQ(0, pBlock->Release());
    EXPECT_EQ(1, CountedBlock::s_iDeleted);
}

TEST(NKFBlock, KeywordAndTypeFollowTheDerivedClass)
{
    CountedBlock block(NKF_NODES, 1);
    EXPECT_EQ(NKF_NODES, block.GetType());
    EXPECT_TRUE(block.GetKeyword() == "*NODES");
    EXPECT_FALSE(block.IsHeaderParsed());
    EXPECT_FALSE(block.IsDataLoaded());
}

TEST(NKFBlock, QuotedTextAndReferencesAreTakenFromALine)
{
    EXPECT_TRUE(NKFBlock::ReadQuoted(NKString("%NAME \"Part one\" x")) == "Part one");
    EXPECT_TRUE(NKFBlock::ReadQuoted(NKString("%NAME \"open")) == "");
    EXPECT_TRUE(NKFBlock::ReadQuoted(NKString("%NAME")) == "");
    EXPECT_EQ(12, NKFBlock::ReadReference(NKString("%NODES #12")));
    EXPECT_EQ(0, NKFBlock::ReadReference(NKString("%NODES 12")));
}

TEST(NKFBlock, HeaderSizeMustCoverTheKnownHeaderAndStayBelow1025)
{
    MessageCapture capture;
    NKFParser parser(NKString("unused.nkf"));
    class SizeBlock : public CountedBlock {
    public:
        explicit SizeBlock(NKFParser *p) : CountedBlock(NKF_NODES, 1) { m_pReader = p; }
    } block(&parser);
    EXPECT_TRUE(block.CheckHeaderSize(1024, 16));
    EXPECT_TRUE(block.CheckHeaderSize(16, 16));
    EXPECT_TRUE(capture.Lines().empty());
    EXPECT_FALSE(block.CheckHeaderSize(1025, 16));
    EXPECT_FALSE(block.CheckHeaderSize(12, 16));
    EXPECT_TRUE(capture.Contains("Block type : *NODES : Illegal header size found."));
}

TEST(NKFBlock, BlockErrorsCarryTypeAndId)
{
    MessageCapture capture;
    NKFParser parser(NKString("unused.nkf"));
    class ReportBlock : public CountedBlock {
    public:
        explicit ReportBlock(NKFParser *p) : CountedBlock(NKF_NODES, 1) { m_pReader = p; }
    } block(&parser);
    block.ReportError(NKString(""), NKString("No nodes in block"));
    EXPECT_TRUE(capture.HasLine("Block type : *NODES. ID = 1 : No nodes in block", NK_MSG_ERROR));
    block.ReportError(NKString("Own title"), NKString("text"));
    EXPECT_TRUE(capture.HasLine("Own title : text", NK_MSG_ERROR));
}

TEST(NKFFindStepIndex, SortedStepNumbersGiveTheEntryInForce)
{
    const int32_t aiSteps[] = {1, 5, 10};
    EXPECT_EQ(0, NKFFindStepIndex(0, aiSteps, 3));
    EXPECT_EQ(0, NKFFindStepIndex(3, aiSteps, 3));
    EXPECT_EQ(1, NKFFindStepIndex(4, aiSteps, 3));
    EXPECT_EQ(2, NKFFindStepIndex(9, aiSteps, 3));
    EXPECT_EQ(2, NKFFindStepIndex(100, aiSteps, 3));
    const int32_t aiLate[] = {5, 10};
    EXPECT_EQ(-1, NKFFindStepIndex(0, aiLate, 2));
    EXPECT_EQ(0, NKFFindStepIndex(4, aiLate, 2));
}

TEST(NKFFindStepIndex, UnsortedStepNumbersNeedAnExactMatch)
{
    const int32_t aiSteps[] = {5, 1};
    EXPECT_EQ(1, NKFFindStepIndex(0, aiSteps, 2));
    EXPECT_EQ(-1, NKFFindStepIndex(1, aiSteps, 2));
    EXPECT_EQ(0, NKFFindStepIndex(4, aiSteps, 2));
}

TEST(NKFFindStepIndex, MissingListOrNegativeStepGivesMinusOne)
{
    const int32_t aiSteps[] = {1};
    EXPECT_EQ(-1, NKFFindStepIndex(0, nullptr, 1));
    EXPECT_EQ(-1, NKFFindStepIndex(0, aiSteps, 0));
    EXPECT_EQ(-1, NKFFindStepIndex(-1, aiSteps, 1));
}
