// tests/nkf/test_nkf_block_readers.cpp -- the row readers of the block
// base in both file forms and byte orders: int and float rows, vector
// pairs, packed normals and comma-separated ID lists with ranges.
#include <gtest/gtest.h>

#include <string>

#include "nkf/nkf_parser.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nkf_test_writer.h"
#include "tests/test_support/test_files.h"

namespace {

// A block placed at the data of the first *USER block of a parsed file (a
// block that takes any content), through which the tests call the base's
// readers; it reports as a *NODES block.
class RowBlock : public NKFBlock {
public:
    RowBlock(NKFParser *pParser, const NKFBlock *pAt) : NKFBlock(pParser, pAt->GetBlockID())
    {
        m_iBlockType = NKF_NODES;
        m_iDataPosition = pAt->GetDataPosition();
        m_bHeaderParsed = true;
    }
    bool ParseBlock() override { return true; }
    bool LoadData() override { return true; }
    bool WriteBlock() override { return true; }
    int GetNumItems() override { return 0; }
    void FreeData() override {}
    bool Begin() { return SeekPosition() && SkipHeaderDirectives(); }
    void SetParsed(bool b) { m_bHeaderParsed = b; }
};

// Parses a file and puts a RowBlock at its first *USER block.
struct RowFile {
    explicit RowFile(const std::string &path) : parser(NKString(path.c_str()))
    {
        bParsed = parser.Parse();
        if (bParsed) pBlock.reset(new RowBlock(&parser, parser.GetBlock(NKF_USER, 0)));
    }
    NKFParser parser;
    bool bParsed = false;
    std::unique_ptr<RowBlock> pBlock;
};

std::string AsciiNodes(const char *pszName, const std::vector<std::string> &dataLines)
{
    std::vector<std::string> lines = {"*NKF-1.00", "*USER 1", "%WITH_ID"};
    lines.insert(lines.end(), dataLines.begin(), dataLines.end());
    lines.push_back("*USER 2");
    return NKFWriteTestFile(pszName, lines);
}

// A binary *USER block whose data are the given words (IDs and values are
// written by the caller's lambda), framed by an 8-byte header record.
template <class F>
std::string BinaryNodes(const char *pszName, bool bBigEndian, int iDataWords, F fnData)
{
    NKFTestWriter w(bBigEndian);
    AppendFileHeader(w);
    w.Int(1021);            // block code: *USER
    w.Int(1);               // block ID
    w.Int(8);               // header size: the two size words
    w.Int(iDataWords * 4);  // data size
    fnData(w);              // the rows
    w.Int(-999);            // end-of-block marker
    return NKFWriteTestFile(pszName, w);
}

}  // namespace

TEST(NKFBlockReaders, AsciiIntRowsReadInOrderLeaveMissingValuesUnchanged)
{
    MessageCapture capture;
    RowFile file(AsciiNodes("int_rows.nkf", {"5 10 20", "6 11", "7,12,22"}));
    ASSERT_TRUE(file.bParsed);
    ASSERT_TRUE(file.pBlock->Begin());
    int32_t aiValues[6] = {-1, -1, -1, -1, -1, -1}, aiIDs[3] = {0, 0, 0};
    ASSERT_TRUE(file.pBlock->ReadIntRows(aiValues, 2, 3, aiIDs));
    EXPECT_EQ((std::vector<int32_t>{5, 6, 7}), std::vector<int32_t>(aiIDs, aiIDs + 3));
    EXPECT_EQ((std::vector<int32_t>{10, 20, 11, -1, 12, 22}),
              std::vector<int32_t>(aiValues, aiValues + 6));
}

TEST(NKFBlockReaders, AsciiWideRowsAreReadWordByWordWithZeroForMissingWords)
{
    MessageCapture capture;
    RowFile file(AsciiNodes("wide_rows.nkf", {"1 1 2 3 4 5 6 7 8 9", "2 1 2"}));
    ASSERT_TRUE(file.pBlock && file.pBlock->Begin());
    int32_t aiValues[18], aiIDs[2];
    for (int32_t &v : aiValues) v = -1;
    ASSERT_TRUE(file.pBlock->ReadIntRows(aiValues, 9, 2, aiIDs));
    EXPECT_EQ(9, aiValues[8]);
    EXPECT_EQ(2, aiIDs[1]);
    EXPECT_EQ(2, aiValues[10]);
    EXPECT_EQ(0, aiValues[11]);  // missing word
    EXPECT_EQ(0, aiValues[17]);
}

TEST(NKFBlockReaders, AsciiRowsRunningIntoTheNextBlockFail)
{
    MessageCapture capture;
    RowFile file(AsciiNodes("short_rows.nkf", {"1 1.0", "2 2.0"}));
    ASSERT_TRUE(file.pBlock && file.pBlock->Begin());
    float afValues[3];
    int32_t aiIDs[3];
    EXPECT_FALSE(file.pBlock->ReadFloatRows(afValues, 1, 3, aiIDs));
    // The next block's line is given back, not swallowed.
    EXPECT_TRUE(file.parser.ReadLine() == "*USER 2");
}

TEST(NKFBlockReaders, ReadersRefuseBeforeParsingAndWithoutRows)
{
    MessageCapture capture;
    RowFile file(AsciiNodes("refuse.nkf", {"1 1.0"}));
    ASSERT_TRUE(file.pBlock && file.pBlock->Begin());
    float afValues[3];
    EXPECT_FALSE(file.pBlock->ReadFloatRows(afValues, 1, 0, nullptr));
    EXPECT_TRUE(
        capture.Contains("Block type : *NODES. ID = 1 : No nodes in block. Cannot read block"));
    file.pBlock->SetParsed(false);
    EXPECT_FALSE(file.pBlock->ReadFloatRows(afValues, 1, 1, nullptr));
    EXPECT_TRUE(capture.Contains("Block type : *NODES. ID = 1 : Block not parsed"));
}

TEST(NKFBlockReaders, PackedNormalsAreUnitLengthTimes127InBothForms)
{
    MessageCapture capture;
    RowFile ascii(AsciiNodes("normals.nkf", {"7 0 0 2", "8 0 0 0", "9 -3 0 0"}));
    ASSERT_TRUE(ascii.pBlock && ascii.pBlock->Begin());
    signed char acAscii[9];
    int32_t aiIDs[3];
    ASSERT_TRUE(ascii.pBlock->ReadPackedNormals(acAscii, 3, aiIDs));
    EXPECT_EQ((std::vector<int>{0, 0, 127, 0, 0, 127, -127, 0, 0}),
              std::vector<int>(acAscii, acAscii + 9));
    EXPECT_EQ(9, aiIDs[2]);

    for (bool bBig : {false, true}) {
        RowFile binary(BinaryNodes("normals.bin.nkf", bBig, 8, [](NKFTestWriter &w) {
            w.Int(7);     // ID of normal 1
            w.Float(0);   // x
            w.Float(0);   // y
            w.Float(2);   // z
            w.Int(9);     // ID of normal 2
            w.Float(-3);  // x
            w.Float(0);   // y
            w.Float(0);   // z
        }));
        ASSERT_TRUE(binary.pBlock && binary.pBlock->Begin());
        signed char acBinary[6];
        ASSERT_TRUE(binary.pBlock->ReadPackedNormals(acBinary, 2, aiIDs));
        EXPECT_EQ((std::vector<int>{0, 0, 127, -127, 0, 0}),
                  std::vector<int>(acBinary, acBinary + 6));
        EXPECT_EQ(9, aiIDs[1]);
    }
}

TEST(NKFBlockReaders, BinaryRowsWithIdsReadTheSameInBothByteOrders)
{
    MessageCapture capture;
    for (bool bBig : {false, true}) {
        RowFile file(BinaryNodes("vec_pairs.nkf", bBig, 14, [](NKFTestWriter &w) {
            w.Int(11);      // ID of row 1
            w.Float(1.5f);  // first vector x
            w.Float(2.5f);  // first vector y
            w.Float(3.5f);  // first vector z
            w.Float(-1);    // second vector x
            w.Float(-2);    // second vector y
            w.Float(-3);    // second vector z
            w.Int(12);      // ID of row 2
            w.Float(4);     // first vector x
            w.Float(5);     // first vector y
            w.Float(6);     // first vector z
            w.Float(7);     // second vector x
            w.Float(8);     // second vector y
            w.Float(9);     // second vector z
        }));
        ASSERT_TRUE(file.pBlock && file.pBlock->Begin());
        float afFirst[6], afSecond[6];
        int32_t aiIDs[2];
        ASSERT_TRUE(file.pBlock->ReadVec3Pairs(aiIDs, afFirst, afSecond, 2));
        EXPECT_EQ(11, aiIDs[0]);
        EXPECT_EQ(12, aiIDs[1]);
        EXPECT_FLOAT_EQ(3.5f, afFirst[2]);
        EXPECT_FLOAT_EQ(-3.0f, afSecond[2]);
        EXPECT_FLOAT_EQ(9.0f, afSecond[5]);
        // The first seven words read again as one row of an ID, a vector
        // and a value, then the next row.
        ASSERT_TRUE(file.pBlock->Begin());
        float afVec[6], afValue[2];
        ASSERT_TRUE(file.pBlock->ReadVec3AndFloat(aiIDs, afVec, afValue, 2));
        EXPECT_EQ(11, aiIDs[0]);
        EXPECT_FLOAT_EQ(3.5f, afVec[2]);
        EXPECT_FLOAT_EQ(-1.0f, afValue[0]);
        EXPECT_FLOAT_EQ(-3.0f, afVec[3]);  // row 2 is words 5..9
        EXPECT_FLOAT_EQ(5.0f, afValue[1]);
        // And as int rows of six values after an ID.
        ASSERT_TRUE(file.pBlock->Begin());
        int32_t aiRows[12];
        ASSERT_TRUE(file.pBlock->ReadIntRows(aiRows, 6, 2, aiIDs));
        EXPECT_EQ(12, aiIDs[1]);
    }
}

TEST(NKFBlockReaders, BinaryRowsPastTheEndOfTheFileFail)
{
    MessageCapture capture;
    RowFile file(BinaryNodes("past_end.nkf", false, 2, [](NKFTestWriter &w) {
        w.Float(1);  // value 1
        w.Float(2);  // value 2
    }));
    ASSERT_TRUE(file.pBlock && file.pBlock->Begin());
    float afValues[1000];
    EXPECT_FALSE(file.pBlock->ReadFloatRows(afValues, 1, 1000, nullptr));
}

TEST(NKFBlockReaders, CommaSeparatedListsExpandRanges)
{
    MessageCapture capture;
    std::string path = NKFTestPath("ids.nkf");
    NKTestWriteText(path, NKFJoinLines({"*NKF-1.00", "*USER 1", "1, 3-5 8", "5-3", "%NEXT",
                                        "*USER 2", "1-4", "*USER 3", "1-4"}));
    NKFParser parser(NKString(path.c_str()));
    ASSERT_TRUE(parser.Parse());
    RowBlock first(&parser, parser.FindBlock(NKF_USER, 1));
    ASSERT_TRUE(first.SeekPosition());
    int32_t aiValues[8] = {0};
    ASSERT_TRUE(first.ReadCommaSeparatedData(aiValues, 8));
    EXPECT_EQ((std::vector<int32_t>{1, 3, 4, 5, 8, 0}),
              std::vector<int32_t>(aiValues, aiValues + 6));
    EXPECT_TRUE(parser.ReadLine() == "%NEXT");  // stopped at the '%' line

    RowBlock second(&parser, parser.FindBlock(NKF_USER, 2));
    ASSERT_TRUE(second.SeekPosition());
    ASSERT_TRUE(second.ReadCommaSeparatedData(aiValues, 4));
    EXPECT_EQ((std::vector<int32_t>{1, 2, 3, 4}), std::vector<int32_t>(aiValues, aiValues + 4));

    RowBlock third(&parser, parser.FindBlock(NKF_USER, 3));
    ASSERT_TRUE(third.SeekPosition());
    EXPECT_FALSE(third.ReadCommaSeparatedData(aiValues, 3));
    EXPECT_TRUE(capture.Contains("ReadCommaSeparatedData: Internal error. To many values found."));
    EXPECT_FALSE(third.ReadCommaSeparatedData(nullptr, 3));
    EXPECT_TRUE(capture.Contains("ReadCommaSeparatedData: Internal error. Illegal parameters."));
}

TEST(NKFBlockReaders, HugeRangeFailsAtTheCountWithoutWalkingIt)
{
    MessageCapture capture;
    std::string path = NKFTestPath("huge_range.nkf");
    NKTestWriteText(path, NKFJoinLines({"*NKF-1.00", "*USER 1", "1-2000000000"}));
    NKFParser parser(NKString(path.c_str()));
    ASSERT_TRUE(parser.Parse());
    RowBlock block(&parser, parser.FindBlock(NKF_USER, 1));
    ASSERT_TRUE(block.SeekPosition());
    int32_t aiValues[4];
    EXPECT_FALSE(block.ReadCommaSeparatedData(aiValues, 4));
}

TEST(NKFBlockReaders, BinaryCommaSeparatedDataIsPlainWords)
{
    MessageCapture capture;
    RowFile file(BinaryNodes("ids.bin.nkf", true, 3, [](NKFTestWriter &w) {
        w.Int(4);    // ID 1
        w.Int(40);   // ID 2
        w.Int(400);  // ID 3
    }));
    ASSERT_TRUE(file.pBlock && file.pBlock->Begin());
    int32_t aiValues[3];
    ASSERT_TRUE(file.pBlock->ReadCommaSeparatedData(aiValues, 3));
    EXPECT_EQ(400, aiValues[2]);
}
