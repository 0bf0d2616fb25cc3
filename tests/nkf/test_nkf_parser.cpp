// tests/nkf/test_nkf_parser.cpp -- NKFParser over whole files: headers and
// versions, the block sequence in both forms and byte orders, unknown and
// illegal blocks, repeated headers, duplicates, line handling, progress and
// the reporters.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/nk_progress.h"
#include "nkf/nkf_parser.h"
#include "nkf/nkf_results.h"
#include "platform/nk_progress_ui.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nkf_test_parse.h"
#include "tests/test_support/nkf_test_writer.h"
#include "tests/test_support/test_files.h"

namespace {

// (type, ID) of every block in GetBlockByIndex order.
std::vector<std::pair<int, int>> BlockList(const NKFParser &parser)
{
    std::vector<std::pair<int, int>> blocks;
    for (int n = 0; parser.GetBlockByIndex(n) != nullptr; n++)
        blocks.push_back(
            {parser.GetBlockByIndex(n)->GetType(), parser.GetBlockByIndex(n)->GetBlockID()});
    return blocks;
}

const int32_t kIDs[] = {5, 3, 9};
const float kScalars[] = {0.5f, 1.5f, 2.5f};
const float kVectors[] = {1, 2, 3, 4, 5, 6};

// Two results blocks, a texture, a user block and a text, framed in the
// given byte order.
NKFTestWriter SampleFile(bool bBigEndian)
{
    NKFTestWriter w(bBigEndian);
    AppendFileHeader(w);
    AppendResultsBlock(w, 2, 3, 1, 0, nullptr, kVectors, 2, 3);
    AppendResultsBlock(w, 1, 1, 1, 0, kIDs, kScalars, 3, 1);
    AppendTextureBlock(w, 1, "wood", 1, 2, 6);
    AppendUserBlock(w, 3, 5);
    AppendInternalStringBlock(w, 1001, "model size 12");
    return w;
}

}  // namespace

// ---------------------------------------------------------------------------
// Binary form

TEST(NKFParserBinary, BigEndianTwinGivesTheSameBlocksAndValues)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pLittle, pBig;
    ASSERT_TRUE(NKFParseBytes("sample_le.nkf", SampleFile(false), &pLittle));
    ASSERT_TRUE(NKFParseBytes("sample_be.nkf", SampleFile(true), &pBig));
    EXPECT_FALSE(pLittle->GetSwapBytes());
    EXPECT_TRUE(pBig->GetSwapBytes());
    EXPECT_EQ(BlockList(*pLittle), BlockList(*pBig));
    EXPECT_EQ((std::vector<std::pair<int, int>>{{NKF_RESULTS, 1},
                                                {NKF_RESULTS, 2},
                                                {NKF_TEXTURES, 1},
                                                {NKF_USER, 3},
                                                {NKF_INTERNALSTRING, 1001}}),
              BlockList(*pBig));
    for (NKFParser *p : {pLittle.get(), pBig.get()}) {
        auto *pVectors = (NKFResultBlock *)p->FindBlock(NKF_RESULTS, 2);
        ASSERT_TRUE(pVectors->LoadData());
        EXPECT_EQ(std::vector<float>(kVectors, kVectors + 6),
                  std::vector<float>(pVectors->GetVectorValues(), pVectors->GetVectorValues() + 6));
        auto *pScalars = (NKFResultBlock *)p->FindBlock(NKF_RESULTS, 1);
        ASSERT_TRUE(pScalars->LoadData());
        EXPECT_EQ(9, pScalars->GetIDs()[2]);
        EXPECT_FLOAT_EQ(2.5f, pScalars->GetScalarValues()[2]);
    }
}

TEST(NKFParserBinary, FileEndingRightAfterABlockIsComplete)
{
    MessageCapture capture;
    NKFTestWriter w;
    AppendFileHeader(w);
    AppendUserBlock(w, 1, 4);
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBytes("ends_after_block.nkf", w, &pParser));
    EXPECT_EQ(1, pParser->GetNumBlocks(NKF_USER));
    EXPECT_TRUE(pParser->IsParsed());
}

TEST(NKFParserBinary, CodeWordZeroEndsTheSequence)
{
    MessageCapture capture;
    NKFTestWriter w;
    AppendFileHeader(w);
    AppendUserBlock(w, 1, 4);
    w.Int(0);     // block code 0: end of the block sequence
    w.Int(1501);  // never read
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBytes("ends_with_zero.nkf", w, &pParser));
    EXPECT_EQ(1, (int)BlockList(*pParser).size());
}

TEST(NKFParserBinary, HeaderWithoutBlocksFails)
{
    MessageCapture capture;
    NKFTestWriter w;
    AppendFileHeader(w);
    EXPECT_FALSE(NKFParseBytes("no_blocks.nkf", w));
    EXPECT_TRUE(capture.HasLine("ERROR : No blocks found in file.", NK_MSG_ERROR));
}

TEST(NKFParserBinary, VersionTwoIsRejected)
{
    MessageCapture capture;
    NKFTestWriter w;
    AppendFileHeader(w, 2);
    AppendUserBlock(w, 1, 0);
    EXPECT_FALSE(NKFParseBytes("version2.nkf", w));
    EXPECT_TRUE(capture.Contains("Wrong version of NKF-File."));
    EXPECT_TRUE(capture.Contains("has an error in the header."));
    EXPECT_TRUE(capture.HasLine("Error : File has an error in the header"));
}

TEST(NKFParserBinary, WrongMagicWordsAreRejected)
{
    MessageCapture capture;
    NKFTestWriter w;
    w.Int(231272);   // magic word 1
    w.Int(-160870);  // magic word 2, one off
    w.Int(251271);   // magic word 3
    w.Int(1);        // version
    EXPECT_FALSE(NKFParseBytes("bad_magic.nkf", w));
    EXPECT_TRUE(
        capture.Contains("This file is not a propery formatted NKF binary file. Wrong magic "
                         "numbers found."));
}

TEST(NKFParserBinary, UnknownCodeIsSkippedWithAnInformation)
{
    MessageCapture capture;
    NKFTestWriter w;
    AppendFileHeader(w);
    AppendFramedBlock(w, 1030, 7, 12, 16);  // a sound block of a later writer
    AppendUserBlock(w, 1, 0);
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBytes("unknown_code.nkf", w, &pParser));
    EXPECT_TRUE(capture.HasLine(
        "INFO : An unknown block was found in the file. Block Type: 1030, ID: 7.", NK_MSG_INFO));
    EXPECT_EQ((std::vector<std::pair<int, int>>{{NKF_USER, 1}}), BlockList(*pParser));
}

TEST(NKFParserBinary, UnknownBlockWithoutMarkerFails)
{
    MessageCapture capture;
    NKFTestWriter w;
    AppendFileHeader(w);
    w.Int(1030);  // unknown block code
    w.Int(7);     // block ID
    w.Int(8);     // header size
    w.Int(0);     // data size
    w.Int(5);     // where the end-of-block marker belongs
    EXPECT_FALSE(NKFParseBytes("unknown_no_marker.nkf", w));
    EXPECT_TRUE(
        capture.Contains("Error parsing binary NKF file : Missing End Of Block marker after "
                         "reading unknown block.\nType: 1030, ID: 7. End marker found: 5"));
}

TEST(NKFParserBinary, IllegalCodeStopsTheParse)
{
    for (int iCode : {1501, 1000}) {
        MessageCapture capture;
        NKFTestWriter w;
        AppendFileHeader(w);
        AppendUserBlock(w, 1, 0);
        AppendFramedBlock(w, iCode, 2, 0);
        EXPECT_FALSE(NKFParseBytes("illegal_code.nkf", w));
        std::string expected =
            "Error parsing binary NKF file : Illegal block type found: " + std::to_string(iCode) +
            ". Legal range: 1001 - 1500 ";
        EXPECT_TRUE(capture.Contains(expected)) << capture.Text();
        EXPECT_EQ("Error.", NKGetHeadlessProgressUI()->GetStatusText());
    }
}

TEST(NKFParserBinary, RepeatedHeaderAndSpareMarkersArePassedOver)
{
    MessageCapture capture;
    NKFTestWriter w;
    AppendFileHeader(w);
    AppendUserBlock(w, 1, 3);  // leaves its marker to the parser
    AppendFileHeader(w);       // a second file joined on
    AppendInternalStringBlock(w, 2, "second file");
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBytes("joined.nkf", w, &pParser));
    EXPECT_EQ((std::vector<std::pair<int, int>>{{NKF_USER, 1}, {NKF_INTERNALSTRING, 2}}),
              BlockList(*pParser));
}

TEST(NKFParserBinary, LargerHeaderRecordIsReadAndItsSurplusSkipped)
{
    MessageCapture capture;
    NKFTestWriter w;
    AppendFileHeader(w);
    AppendTextureBlock(w, 4, "grid", 2, 1, 6, 104);  // 8 bytes more than known
    AppendUserBlock(w, 1, 0);
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBytes("big_header.nkf", w, &pParser));
    NKFBlock *pTexture = pParser->FindBlock(NKF_TEXTURES, 4);
    ASSERT_NE(nullptr, pTexture);
    ASSERT_TRUE(pTexture->LoadData());
    EXPECT_EQ(2, pTexture->GetNumItems());
}

TEST(NKFParserBinary, HeaderSizeBelowKnownOrAt1025IsIllegal)
{
    for (int32_t iSize : {12, 1025}) {
        MessageCapture capture;
        NKFTestWriter w;
        AppendFileHeader(w);
        AppendResultsBlock(w, 1, 1, 1, 0, nullptr, kScalars, 3, 1);
        w.PatchInt(16 + 8, iSize);  // the header size word of the block
        EXPECT_FALSE(NKFParseBytes("bad_header_size.nkf", w));
        EXPECT_TRUE(capture.Contains("Block type : *RESULTS : Illegal header size found."));
        EXPECT_TRUE(capture.Contains("Error : Error parsing block"));
    }
}

TEST(NKFParserBinary, FileEndingInsideABlockFailsInThatBlock)
{
    MessageCapture capture;
    NKFTestWriter w;
    AppendFileHeader(w);
    AppendResultsBlock(w, 1, 1, 1, 0, nullptr, kScalars, 3, 1);
    std::vector<uint8_t> data = w.Data();
    data.resize(data.size() - 6);
    std::string path = NKFTestPath("cut_block.nkf");
    NKTestWriteBytes(path, data);
    NKFParser parser(NKString(path.c_str()));
    EXPECT_FALSE(parser.Parse());
    EXPECT_TRUE(capture.Contains("End of block marker not found at expected position."));
    EXPECT_TRUE(capture.Contains("Error parsing block"));
    EXPECT_EQ("Error.", NKGetHeadlessProgressUI()->GetStatusText());
}

TEST(NKFParserBinary, LineErrorsOfBinaryFilesCarryNoLine)
{
    MessageCapture capture;
    NKFTestWriter w;
    AppendFileHeader(w);
    AppendFramedBlock(w, 1501, 2, 0);
    EXPECT_FALSE(NKFParseBytes("no_line_info.nkf", w));
    EXPECT_FALSE(capture.Contains("Error in line"));
}

// ---------------------------------------------------------------------------
// ASCII form

TEST(NKFParserAscii, CommentsAndBlankLinesReadTheSameAsWithout)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pPlain, pCommented;
    ASSERT_TRUE(NKFParseLines(
        "plain.nkf", {"*NKF-1.00", "*RESULTS 1", "1.0", "2.0", "*RESULTS 2", "3.0"}, &pPlain));
    ASSERT_TRUE(NKFParseLines("commented.nkf",
                              {"# a comment", "", "*NKF-1.00", "! another", "*RESULTS 1", "1.0",
                               "; third kind", "   \t", "2.0", "*RESULTS 2", "3.0", "# trailing"},
                              &pCommented));
    EXPECT_EQ(BlockList(*pPlain), BlockList(*pCommented));
    EXPECT_EQ(2, pCommented->FindBlock(NKF_RESULTS, 1)->GetNumItems());
    EXPECT_EQ(1, pCommented->FindBlock(NKF_RESULTS, 2)->GetNumItems());
    // A line of blanks with a stray carriage return inside is blank too.
    std::unique_ptr<NKFParser> pStrayCr;
    ASSERT_TRUE(NKFParseLines("stray_cr.nkf", {"*NKF-1.00", "*RESULTS 1", "1.0", " \r \t", "2.0"},
                              &pStrayCr));
    EXPECT_EQ(2, pStrayCr->FindBlock(NKF_RESULTS, 1)->GetNumItems());
}

TEST(NKFParserAscii, HashOutsideTheFirstColumnIsNoComment)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseLines("hash.nkf", {"*NKF-1.00", "*RESULTS 1", "1.0", " # 2.0"}, &pParser));
    EXPECT_EQ(2, pParser->FindBlock(NKF_RESULTS, 1)->GetNumItems());
}

TEST(NKFParserAscii, BlockLineWithoutIdGivesIdZero)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseLines("no_id.nkf", {"*NKF-1.00", "*NODES", "0 0 0"}, &pParser));
    EXPECT_EQ((std::vector<std::pair<int, int>>{{NKF_NODES, 0}}), BlockList(*pParser));
}

TEST(NKFParserAscii, VersionsUpToOneAreAccepted)
{
    MessageCapture capture;
    EXPECT_TRUE(NKFParseLines("v05.nkf", {"*NKF-0.5", "*USER 1"}));
    EXPECT_TRUE(NKFParseLines("v100.nkf", {"*NKF-1.00", "*USER 1"}));
    EXPECT_FALSE(capture.Contains("Wrong version"));
    EXPECT_FALSE(NKFParseLines("v101.nkf", {"*NKF-1.01", "*USER 1"}));
    EXPECT_TRUE(capture.HasLine("ERROR : Wrong version of NKF-File.", NK_MSG_ERROR));
}

TEST(NKFParserAscii, HeaderMustStartWithNkf)
{
    MessageCapture capture;
    EXPECT_FALSE(NKFParseLines("bad_header.nkf", {"*NKG-1.00", "*USER 1"}));
    EXPECT_TRUE(capture.HasLine("ERROR : Error in header"));
    std::string path = NKFTestPath("bad_header.nkf");
    EXPECT_TRUE(capture.Contains("ERROR : NKF File : \"" + path + "\"has an error in the header."));
}

TEST(NKFParserAscii, HeaderWithoutBlocksFails)
{
    MessageCapture capture;
    EXPECT_FALSE(NKFParseLines("ascii_no_blocks.nkf", {"*NKF-1.00", "# nothing"}));
    EXPECT_TRUE(capture.HasLine("ERROR : No blocks found in file."));
}

TEST(NKFParserAscii, UnknownKeywordIsReportedAndItsLinesSkipped)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseLines("unknown_kw.nkf",
                              {"*NKF-1.00", "# comment", "*SOUNDS 4", "1 2 3", "*RESULTS 1", "1"},
                              &pParser));
    EXPECT_TRUE(capture.HasLine(
        "INFO : An unknown block was found in the file. Line: 3, BlockType: *SOUNDS 4.",
        NK_MSG_INFO));
    EXPECT_EQ((std::vector<std::pair<int, int>>{{NKF_RESULTS, 1}}), BlockList(*pParser));
}

TEST(NKFParserAscii, UnknownKeywordItselfIsPassedSilently)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseLines("unknown_row.nkf", {"*NKF-1.00", "*UNKNOWN 3", "*USER 1"}, &pParser));
    EXPECT_FALSE(capture.Contains("An unknown block"));
    EXPECT_EQ(1, (int)BlockList(*pParser).size());
    EXPECT_FALSE(NKFParseLines("unknown_row2.nkf", {"*NKF-1.00", "*UNKNOWN 3", "1 2 3"}));
    EXPECT_TRUE(capture.Contains("Block Not Found"));
}

TEST(NKFParserAscii, DataWhereABlockLineBelongsIsAnErrorNamingThePhysicalLine)
{
    MessageCapture capture;
    EXPECT_FALSE(NKFParseLines("not_a_block.nkf", {"*NKF-1.00", "# c1", "", "# c3", "1 2 3"}));
    EXPECT_TRUE(capture.Contains("ERROR : Block Not Found \n\nError in line : 5\n\nLine : 1 2 3"))
        << capture.Text();
}

TEST(NKFParserAscii, RepeatedHeaderIsPassedOver)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseLines("joined_ascii.nkf",
                              {"*NKF-1.00", "*RESULTS 1", "1", "*NKF-1.00", "*RESULTS 2", "2"},
                              &pParser));
    EXPECT_EQ(2, pParser->GetNumBlocks(NKF_RESULTS));
    EXPECT_TRUE(NKFParseLines("joined_end.nkf", {"*NKF-1.00", "*USER 1", "*NKF-1.00"}));
    EXPECT_FALSE(NKFParseLines("joined_bad.nkf", {"*NKF-1.00", "*USER 1", "*NKF-1.00", "1 2"}));
    EXPECT_TRUE(capture.Contains("Illegal block header found : 1 2"));
}

TEST(NKFParserAscii, LongLinesAreReadWhole)
{
    MessageCapture capture;
    std::string longLine(300, 'x');
    std::string veryLong(100000, 'y');
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseLines(
        "long.nkf", {"*NKF-1.00", "*INTERNALSTRING 1", longLine, veryLong, "*USER 1"}, &pParser));
    NKFBlock *pText = pParser->FindBlock(NKF_INTERNALSTRING, 1);
    ASSERT_TRUE(pText->LoadData());
    EXPECT_EQ(300 + 1 + 100000 + 1, pText->GetNumItems());
}

TEST(NKFParserAscii, CrLfLineEndsAreNotPartOfTheLine)
{
    MessageCapture capture;
    std::string path = NKFTestPath("crlf.nkf");
    NKTestWriteText(path, "*NKF-1.00\r\n*RESULTS 7\r\n%WITH_ID\r\n4 1.5\r\n");
    NKFParser parser(NKString(path.c_str()));
    ASSERT_TRUE(parser.Parse());
    auto *pResults = (NKFResultBlock *)parser.FindBlock(NKF_RESULTS, 7);
    ASSERT_TRUE(pResults != nullptr && pResults->LoadData());
    EXPECT_EQ(4, pResults->GetIDs()[0]);
}

TEST(NKFParserAscii, PushedBackLineComesAgainWithoutCountingALine)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseLines("pushback.nkf", {"*NKF-1.00", "# c", "*USER 1", "a", "b"}, &pParser));
    ASSERT_TRUE(pParser->SetPosition(0));
    pParser->SetLineNumber(0);
    EXPECT_TRUE(pParser->ReadLine() == "*NKF-1.00");
    EXPECT_TRUE(pParser->ReadLine() == "*USER 1");
    EXPECT_EQ(3, pParser->GetLineNumber());
    pParser->PushBackLine();
    EXPECT_TRUE(pParser->ReadLine() == "*USER 1");
    EXPECT_EQ(3, pParser->GetLineNumber());
    EXPECT_TRUE(pParser->ReadLine() == "a");
}

// ---------------------------------------------------------------------------
// Both forms

TEST(NKFParser, BlocksComeInTypeThenIdOrder)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseLines("order.nkf",
                              {"*NKF-1.00", "*NODES 2", "*NODES 1", "*ELEMENTS 1", "%POINTS", "1"},
                              &pParser));
    EXPECT_EQ((std::vector<std::pair<int, int>>{{NKF_NODES, 1}, {NKF_NODES, 2}, {NKF_ELEMENTS, 1}}),
              BlockList(*pParser));
    EXPECT_EQ(2, pParser->GetNumBlocks(NKF_NODES));
    EXPECT_EQ(0, pParser->GetNumBlocks(28));
    EXPECT_EQ(nullptr, pParser->GetBlock(NKF_NODES, 2));
}

TEST(NKFParser, DuplicateResultsBlockReplacesTheEarlierOne)
{
    MessageCapture capture;
    NKFTestWriter w;
    AppendFileHeader(w);
    AppendResultsBlock(w, 1, 1, 1, 0, nullptr, kScalars, 3, 1);
    AppendResultsBlock(w, 1, 3, 1, 0, nullptr, kVectors, 2, 3);
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBytes("duplicate.nkf", w, &pParser));
    EXPECT_TRUE(capture.HasLine("INFO : Duplicate block replaced: Blocktype: *RESULTS, ID: 1",
                                NK_MSG_INFO));
    ASSERT_EQ(1, pParser->GetNumBlocks(NKF_RESULTS));
    EXPECT_EQ(2, pParser->GetBlock(NKF_RESULTS, 0)->GetNumItems());  // the later block

    capture.Clear();
    ASSERT_TRUE(NKFParseLines("duplicate.nkf", {"*NKF-1.00", "*NODES 1", "*NODES 1"}, &pParser));
    EXPECT_TRUE(capture.HasLine("INFO : Duplicate block replaced: Blocktype: *NODES, ID: 1"));
    EXPECT_EQ(1, pParser->GetNumBlocks(NKF_NODES));
}

TEST(NKFParser, TwoGeometryBlocksParseWithAnError)
{
    MessageCapture capture;
    EXPECT_TRUE(
        NKFParseLines("two_geo.nkf", {"*NKF-1.00", "*QUOLINGEOMETRY 1", "*QUOLINGEOMETRY 2"}));
    EXPECT_TRUE(
        capture.HasLine("ERROR : More than one *QUOLINGEOMETRY block specified.", NK_MSG_ERROR));
}

TEST(NKFParser, ProgressEndsWithDone)
{
    MessageCapture capture;
    NKGetHeadlessProgressUI()->Reset();
    ASSERT_TRUE(NKFParseLines("progress.nkf", {"*NKF-1.00", "*USER 1", "*USER 2"}));
    EXPECT_EQ("Done.", NKGetHeadlessProgressUI()->GetStatusText());
    EXPECT_FALSE(NKGetHeadlessProgressUI()->IsProgressBarShown());
}

namespace {

// A status bar that remembers every status text, with the number of
// message lines that had arrived when it was shown.
class StatusRecorder : public NKHeadlessProgressUI {
public:
    explicit StatusRecorder(const MessageCapture &capture) : m_Capture(capture)
    {
        NKResetProgressState();
        NKSetProgressUI(this);
    }
    ~StatusRecorder() override { NKSetProgressUI(nullptr); }
    void SetStatusText(const char *pszText) override
    {
        NKHeadlessProgressUI::SetStatusText(pszText);
        texts.push_back({pszText != nullptr ? pszText : "", m_Capture.Lines().size()});
    }
    // Index of the first line holding the fragment, or the line count.
    size_t LineOf(const std::string &fragment) const
    {
        const std::vector<CapturedLine> &lines = m_Capture.Lines();
        for (size_t i = 0; i < lines.size(); i++)
            if (lines[i].text.find(fragment) != std::string::npos) return i;
        return lines.size();
    }
    std::vector<std::pair<std::string, size_t>> texts;

private:
    const MessageCapture &m_Capture;
};

}  // namespace

TEST(NKFParser, ProgressCountsUpInStepsOfTenPercent)
{
    MessageCapture capture;
    StatusRecorder recorder(capture);
    std::vector<std::string> lines = {"*NKF-1.00"};
    for (int i = 1; i <= 40; i++) {
        lines.push_back("*RESULTS " + std::to_string(i));
        lines.push_back("1.5");
    }
    ASSERT_TRUE(NKFParseLines("progress_steps.nkf", lines));
    ASSERT_GE(recorder.texts.size(), 8u);
    EXPECT_EQ("Parsing NKF file...", recorder.texts.front().first);
    EXPECT_EQ("Done.", recorder.texts.back().first);
    int iLast = -1;
    for (size_t i = 1; i + 1 < recorder.texts.size(); i++) {
        int iPercent = -1;
        ASSERT_EQ(1, sscanf(recorder.texts[i].first.c_str(), "Parsing NKF file (%d%%)", &iPercent))
            << recorder.texts[i].first;
        EXPECT_EQ(0, iPercent % 10);
        EXPECT_GT(iPercent, iLast);  // shown only when the tens change
        iLast = iPercent;
    }
    EXPECT_FALSE(recorder.IsProgressBarShown());
}

TEST(NKFParser, FailedParseEndsTheProgressWithErrorBeforeItsReport)
{
    {
        MessageCapture capture;
        StatusRecorder recorder(capture);
        EXPECT_FALSE(NKFParseLines("progress_bad_block.nkf",
                                   {"*NKF-1.00", "*USER 1", "*RESULTS 2", "%DIMENSION 2", "1 2"}));
        ASSERT_FALSE(recorder.texts.empty());
        EXPECT_EQ("Error.", recorder.texts.back().first);
        // The block's own error, then "Error.", then the parser's report.
        EXPECT_LT(recorder.LineOf("Wrong number of dimensions"), recorder.texts.back().second);
        EXPECT_EQ(recorder.LineOf("Error : Error parsing block"), recorder.texts.back().second);
        EXPECT_FALSE(recorder.IsProgressBarShown());
    }
    {
        MessageCapture capture;
        StatusRecorder recorder(capture);
        // The next block line is bad: the failure is in the loop's ReadBlock.
        EXPECT_FALSE(
            NKFParseLines("progress_bad_line.nkf", {"*NKF-1.00", "*USER 1", "*NKF-1.00", "1 2"}));
        ASSERT_FALSE(recorder.texts.empty());
        EXPECT_EQ("Error.", recorder.texts.back().first);
        EXPECT_LT(recorder.LineOf("Illegal block header found"), recorder.texts.back().second);
    }
    {
        // No block at all: the failure comes before any progress is shown.
        MessageCapture capture;
        StatusRecorder recorder(capture);
        EXPECT_FALSE(NKFParseLines("progress_no_blocks.nkf", {"*NKF-1.00"}));
        EXPECT_TRUE(recorder.texts.empty());
        EXPECT_TRUE(capture.HasLine("ERROR : No blocks found in file."));
    }
}

TEST(NKFParser, MissingOrUnnamedFileFails)
{
    MessageCapture capture;
    NKFParser noName(NKString(""));
    EXPECT_FALSE(noName.Parse());
    EXPECT_TRUE(capture.HasLine("ERROR : NKF Parser: No file specified."));
    std::string path = NKFTestPath("does_not_exist.nkf");
    NKFParser missing(NKString(path.c_str()));
    EXPECT_FALSE(missing.Parse());
    EXPECT_TRUE(capture.HasLine("ERROR : Error opening NKF file : " + path));
}

TEST(NKFParser, ReferencesAreResolvedWhenNotDeferred)
{
    MessageCapture capture;
    std::string path = NKFTestPath("refs.nkf");
    NKTestWriteText(path, NKFJoinLines({"*NKF-1.00", "*RESULTS 1", "%PER_NODE #5", "1.0"}));
    NKFParser deferred(NKString(path.c_str()));
    EXPECT_TRUE(deferred.Parse());
    EXPECT_FALSE(deferred.ResolveAllReferences());
    NKFParser strict(NKString(path.c_str()));
    strict.SetDeferReferences(false);
    EXPECT_FALSE(strict.Parse());
    EXPECT_TRUE(capture.HasLine(
        "Block type : *RESULTS. ID = 1 : Node block (*NODES) with id = 5not found in file"));
}

TEST(NKFParser, WriteTextGoesToTheOutputFileOnlyWhenSet)
{
    NKFParser parser(NKString("unused.nkf"));
    parser.WriteText("nothing happens");
    std::string path = NKFTestPath("write_text.txt");
    FILE *pFile = fopen(path.c_str(), "w");
    parser.SetOutputFile(pFile);
    parser.WriteText("abc");
    fclose(pFile);
    FILE *pIn = fopen(path.c_str(), "r");
    char ac[8] = {0};
    size_t n = fread(ac, 1, 7, pIn);
    fclose(pIn);
    EXPECT_EQ(3u, n);
    EXPECT_STREQ("abc", ac);
}
