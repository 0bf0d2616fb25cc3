// tests/nkf/test_nkf_results.cpp -- the *RESULTS block in both forms:
// directives and their messages, dimensions, IDs and the sorted index,
// strict row checks, references, loading and freeing, writing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nkf/nkf_parser.h"
#include "nkf/nkf_results.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nk_test_records.h"
#include "tests/test_support/nkf_test_parse.h"
#include "tests/test_support/nkf_test_writer.h"

namespace {

NKFResultBlock *Results(const std::unique_ptr<NKFParser> &pParser, int iID)
{
    return (NKFResultBlock *)pParser->FindBlock(NKF_RESULTS, iID);
}

}  // namespace

TEST(NKFResults, IdsOutOfOrderBuildTheSortedIndex)
{
    MessageCapture capture;
    bool bOk = false;
    std::unique_ptr<NKFParser> pParser;
    bOk = NKFParseLines("sorted_index.nkf",
                        {"*NKF-1.00", "*RESULTS 1", "%WITH_ID", "5 0.5", "3 0.3", "9 0.9",
                         "*RESULTS 2", "%WITH_ID", "1 1", "2 2", "2 2", "7 7"},
                        &pParser);
    ASSERT_TRUE(bOk);
    NKFResultBlock *pFirst = Results(pParser, 1);
    ASSERT_TRUE(pFirst->LoadData());
    EXPECT_EQ((std::vector<int32_t>{1, 0, 2}), NKTestValues(pFirst->GetSortedIndex(), 3));
    EXPECT_EQ(2, pFirst->FindItem(9));
    EXPECT_EQ(1, pFirst->FindItem(3));
    EXPECT_EQ(-1, pFirst->FindItem(4));
    EXPECT_FLOAT_EQ(0.3f, pFirst->GetScalarValues()[1]);
    NKFResultBlock *pSecond = Results(pParser, 2);
    ASSERT_TRUE(pSecond->LoadData());
    EXPECT_EQ(nullptr, pSecond->GetSortedIndex());
    EXPECT_EQ(3, pSecond->FindItem(7));
}

TEST(NKFResults, AsciiDimensionMustBeOneOrThree)
{
    MessageCapture capture;
    bool bOk = true;
    bOk = NKFParseLines("dim2.nkf", {"*NKF-1.00", "*RESULTS 1", "%DIMENSION 2", "1 2"});
    EXPECT_FALSE(bOk);
    EXPECT_TRUE(capture.Contains("Wrong number of dimensions. Only 1 and 3 accepted"));
}

TEST(NKFResults, AsciiVectorsReadThreeValuesPerItem)
{
    MessageCapture capture;
    bool bOk = false;
    std::unique_ptr<NKFParser> pParser;
    bOk = NKFParseLines(
        "vectors.nkf",
        {"*NKF-1.00", "*RESULTS 4", "%DIMENSION 3", "%PER_ELEMENT #2", "1 2 3", "4 5 6"}, &pParser);
    ASSERT_TRUE(bOk);
    NKFResultBlock *pBlock = Results(pParser, 4);
    EXPECT_EQ(2, pBlock->GetNumItems());
    EXPECT_EQ(2, pBlock->GetReferencedBlockID(NKF_MAP_PER_ELEMENT));
    EXPECT_EQ(-1, pBlock->GetReferencedBlockID(NKF_MAP_PER_NODE));
    ASSERT_TRUE(pBlock->LoadData());
    EXPECT_EQ(nullptr, pBlock->GetScalarValues());
    EXPECT_FLOAT_EQ(6.0f, pBlock->GetVectorValues()[5]);
}

TEST(NKFResults, BinaryDimensionOtherThanOneMeansThreeValues)
{
    MessageCapture capture;
    const float afValues[] = {1, 2, 3, 4, 5, 6};
    NKFTestWriter w(true);
    AppendFileHeader(w);
    AppendResultsBlock(w, 1, 2, 1, 0, nullptr, afValues, 2, 3);  // dimension word 2
    bool bOk = false;
    std::unique_ptr<NKFParser> pParser;
    bOk = NKFParseBytes("bin_dim2.nkf", w, &pParser);
    ASSERT_TRUE(bOk);
    NKFResultBlock *pBlock = Results(pParser, 1);
    EXPECT_EQ(3, pBlock->GetDimension());
    ASSERT_TRUE(pBlock->LoadData());
    EXPECT_FLOAT_EQ(4.0f, pBlock->GetVectorValues()[3]);
}

TEST(NKFResults, MappingDirectivesNeedABlockReference)
{
    struct Case {
        const char *pszLine;
        const char *pszMessage;
    } cases[] = {
        {"%PER_NODE", "No node block ID specified in %PER_NODE. Missing #ID."},
        {"%PER_ELEMENT", "No node block ID specified in %PER_ELEMENT. Missing #ID."},
        {"%PER_FACE 3", "No node block ID specified in %PER_FACE. Missing #ID."},
        {"%PER_POLYGON_NODE", "No node block ID specified in %PER_POLYGON_NODE. Missing #ID."},
        {"%PER_POLYGON_NODE #1", "Resultsmapping %PER_POLYGON_NODE is not implemented."},
        {"%PER_ELEMENT_NODE #1", "Resultsmapping %PER_ELEMENT_NODE is not implemented."},
        {"%PER_ELEMENT_NODE", "No node block ID specified in %PER_ELEMENT_NODE. Missing #ID."},
        {"%COLORS", "Unknown Identifier found in block."},
    };
    for (const Case &c : cases) {
        MessageCapture capture;
        bool bOk = true;
        bOk = NKFParseLines("mapping.nkf", {"*NKF-1.00", "*RESULTS 1", c.pszLine, "1"});
        EXPECT_FALSE(bOk) << c.pszLine;
        EXPECT_TRUE(capture.Contains(c.pszMessage)) << c.pszLine << "\n" << capture.Text();
    }
}

TEST(NKFResults, StrictCheckingCountsTheWordsOfEachRow)
{
    MessageCapture capture;
    bool bOk = false;
    std::vector<std::string> lines = {"*NKF-1.00", "*RESULTS 1", "1 2 3"};
    bOk = NKFParseLines("strict.nkf", lines);
    EXPECT_TRUE(bOk);  // the default defers references and checks nothing
    bOk = NKFParseLines("strict.nkf", lines, nullptr, false);
    EXPECT_FALSE(bOk);
    EXPECT_TRUE(
        capture.Contains("Error in results values. \nEach line must contain #dim values when "
                         "using %NO_ID (default)"));
    capture.Clear();
    bOk =
        NKFParseLines("strict_id.nkf",
                      {"*NKF-1.00", "*NODES 1", "*RESULTS 1", "%WITH_ID", "%PER_NODE #1", "1 2 3"},
                      nullptr, false);
    EXPECT_FALSE(bOk);
    EXPECT_TRUE(capture.Contains("Each line must contain #dim + 1 values when using %WITH_ID"));
    bOk = NKFParseLines("strict_ok.nkf",
                        {"*NKF-1.00", "*NODES 1", "*RESULTS 1", "%WITH_ID", "%PER_NODE #1", "1 2"},
                        nullptr, false);
    EXPECT_TRUE(bOk);
}

// With strict checking every data row holds exactly its block's number of
// values: one fewer and one more are both refused with the block's text.
TEST(NKFResults, StrictRowsHoldExactlyTheirValues)
{
    const struct {
        std::vector<std::string> head;  // the block line and its directives
        std::string fewer, exact, more, message;
    } cases[] = {
        {{"*NODES 1"}, "1 2", "1 2 3", "1 2 3 4", "Each line must contain 3 values"},
        {{"*NODES 1", "%WITH_ID"},
         "1 2 3",
         "1 2 3 4",
         "1 2 3 4 5",
         "Each line must contain 4 values"},
        {{"*RESULTS 1"}, "", "1", "1 2", "Each line must contain #dim values"},
        {{"*RESULTS 1", "%DIMENSION 3"},
         "1 2",
         "1 2 3",
         "1 2 3 4",
         "Each line must contain #dim values"},
        {{"*NODES 1", "*RESULTS 2", "%WITH_ID", "%PER_NODE #1"},
         "1",
         "1 2",
         "1 2 3",
         "Each line must contain #dim + 1 values"},
        {{"*TRANSFORMATIONRESULT 1", "1 0 0", "0 1 0", "0 0 1"},
         "0 0",
         "0 0 0",
         "0 0 0 0",
         "Each line must contain 3 values."},
    };
    for (const auto &c : cases) {
        for (const std::string *pRow : {&c.fewer, &c.exact, &c.more}) {
            if (pRow->empty()) continue;
            std::vector<std::string> lines = {"*NKF-1.00"};
            lines.insert(lines.end(), c.head.begin(), c.head.end());
            lines.push_back(*pRow);
            MessageCapture capture;
            const bool bOk = NKFParseLines("rows.nkf", lines, nullptr, false);
            // The exact row passes the row check (a block may still fail
            // for what it refers to); the others fail with it.
            const bool bRowRefused = capture.Contains(c.message);
            EXPECT_EQ(bRowRefused, pRow != &c.exact) << c.head[0] << " / " << *pRow << "\n"
                                                     << capture.Text();
            if (bRowRefused) {
                EXPECT_FALSE(bOk);
            }
        }
    }
}

TEST(NKFResults, ReferencesAreCheckedByMapping)
{
    MessageCapture capture;
    bool bOk = false;
    std::unique_ptr<NKFParser> pParser;
    bOk = NKFParseLines("resolve.nkf",
                        {"*NKF-1.00", "*NODES 1", "*RESULTS 1", "%PER_NODE #1", "1", "*RESULTS 2",
                         "%PER_FACE #77", "1", "*RESULTS 3", "%PER_ELEMENT #4", "1"},
                        &pParser);
    ASSERT_TRUE(bOk);
    EXPECT_TRUE(Results(pParser, 1)->ResolveReferences());
    EXPECT_TRUE(Results(pParser, 2)->ResolveReferences());  // faces are not checked
    EXPECT_FALSE(Results(pParser, 3)->ResolveReferences());
    EXPECT_TRUE(
        capture.HasLine("Block type : *RESULTS. ID = 3 : Element block (*ELEMENTS) with id = "
                        "4not found in file"));
}

TEST(NKFResults, EmptyBlockLoadsAsEmptyAndFreeDataAllowsReloading)
{
    MessageCapture capture;
    bool bOk = false;
    std::unique_ptr<NKFParser> pParser;
    bOk = NKFParseLines("reload.nkf",
                        {"*NKF-1.00", "*RESULTS 1", "%WITH_ID", "*RESULTS 2", "%WITH_ID", "4 1.5"},
                        &pParser);
    ASSERT_TRUE(bOk);
    EXPECT_TRUE(Results(pParser, 1)->LoadData());
    EXPECT_EQ(0, Results(pParser, 1)->GetNumItems());
    NKFResultBlock *pBlock = Results(pParser, 2);
    ASSERT_TRUE(pBlock->LoadData());
    pBlock->FreeData();
    EXPECT_FALSE(pBlock->IsDataLoaded());
    EXPECT_EQ(nullptr, pBlock->GetIDs());
    ASSERT_TRUE(pBlock->LoadData());
    EXPECT_EQ(4, pBlock->GetIDs()[0]);
    EXPECT_FLOAT_EQ(1.5f, pBlock->GetScalarValues()[0]);
}

TEST(NKFResults, InflatedBinaryCountFailsBeforeAllocating)
{
    MessageCapture capture;
    const float afValues[] = {1, 2};
    NKFTestWriter w;
    AppendFileHeader(w);
    AppendResultsBlock(w, 1, 1, 1, 0, nullptr, afValues, 2, 1);
    w.PatchInt(16 + 32, 1 << 30);  // the item count word
    bool bOk = true;
    bOk = NKFParseBytes("inflated.nkf", w);
    EXPECT_FALSE(bOk);
    EXPECT_TRUE(
        capture.Contains("Block type : *RESULTS. ID = 1 : Item count does not fit the data size "
                         "of the block."));
    w.PatchInt(16 + 32, -5);
    bOk = NKFParseBytes("negative.nkf", w);
    EXPECT_FALSE(bOk);
}

TEST(NKFResults, WrittenBlockReadsBackTheSame)
{
    MessageCapture capture;
    const int32_t aiIDs[] = {8, 2};
    const float afValues[] = {1.25f, 2, 3, -4, 5, 6.5f};
    NKFTestWriter w;
    AppendFileHeader(w);
    AppendResultsBlock(w, 6, 3, 9, 1, aiIDs, afValues, 2, 3);
    bool bOk = false;
    std::unique_ptr<NKFParser> pParser;
    bOk = NKFParseBytes("to_write.nkf", w, &pParser);
    ASSERT_TRUE(bOk);
    NKFResultBlock *pBlock = Results(pParser, 6);
    std::string textPath = NKFTestPath("written.nkf");
    FILE *pOut = fopen(textPath.c_str(), "w");
    fputs("*NKF-1.00\n", pOut);
    pParser->SetOutputFile(pOut);
    EXPECT_FALSE(pBlock->WriteBlock());  // nothing loaded yet
    EXPECT_TRUE(capture.Contains("No results in block"));
    ASSERT_TRUE(pBlock->LoadData());
    EXPECT_TRUE(pBlock->WriteBlock());
    fclose(pOut);

    NKFParser reread(NKString(textPath.c_str()));
    ASSERT_TRUE(reread.Parse());
    auto *pCopy = (NKFResultBlock *)reread.FindBlock(NKF_RESULTS, 6);
    ASSERT_NE(nullptr, pCopy);
    ASSERT_TRUE(pCopy->LoadData());
    EXPECT_EQ(3, pCopy->GetDimension());
    EXPECT_EQ(9, pCopy->GetReferencedBlockID(NKF_MAP_PER_ELEMENT));
    EXPECT_EQ((std::vector<int32_t>{8, 2}), NKTestValues(pCopy->GetIDs(), 2));
    EXPECT_EQ(std::vector<float>(afValues, afValues + 6),
              std::vector<float>(pCopy->GetVectorValues(), pCopy->GetVectorValues() + 6));
}
