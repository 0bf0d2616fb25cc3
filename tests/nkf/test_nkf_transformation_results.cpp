// tests/nkf/test_nkf_transformation_results.cpp -- the *TRANSFORMATIONRESULT
// block and the *QUOLINTRANSFORMATION step list through the parser: block
// IDs and the matrix, warnings and strict checks, the extra-word header,
// both forms in both byte orders, step lookups and references.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nkf/nkf_transformation_results.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nkf_step_test_support.h"
#include "tests/test_support/nkf_test_parse.h"

namespace {

std::string Dump(NKFTransformationResultBlock *pBlock)
{
    if (!pBlock->LoadData()) return "load failed";
    std::string text = "ifs " + std::to_string(pBlock->GetFaceSetBlockID()) + " elements " +
                       std::to_string(pBlock->GetElementBlockID()) + ":";
    for (int i = 0; i < 16; i++) text += " " + NumberText(pBlock->GetMatrix()[i]);
    return text;
}

std::string Dump(NKFQuolinTransformationBlock *pBlock)
{
    if (!pBlock->LoadData()) return "load failed";
    return pBlock->GetName().GetText() + std::string("|") + pBlock->GetDescription().GetText() +
           NKFStepListText(pBlock);
}

NKFTransformationResultBlock *Result(const std::unique_ptr<NKFParser> &pParser, int iID = 1)
{
    return (NKFTransformationResultBlock *)pParser->FindBlock(NKF_TRANSFORMATIONRESULT, iID);
}

NKFQuolinTransformationBlock *List(const std::unique_ptr<NKFParser> &pParser, int iID = 1)
{
    return (NKFQuolinTransformationBlock *)pParser->FindBlock(NKF_QUOLINTRANSFORMATION, iID);
}

const float kRows[12] = {0, 1, 0, -1, 0, 0, 0, 0, 1, 5, 6, 7};
const std::vector<std::string> kRowLines = {"0 1 0", "-1 0 0", "0 0 1", "5 6 7"};
const char *const kMatrixText = ": 0 1 0 0 -1 0 0 0 0 0 1 0 5 6 7 1";

}  // namespace

// ---------------------------------------------------------------------------
// Transformation-result block

TEST(NKFTransformationResultBlock, OnlyTheElementBlockIDKeepsTheFaceSetNone)
{
    MessageCapture capture;
    std::vector<std::string> lines = {"*TRANSFORMATIONRESULT 1", "%ELEMENT_BLOCK_ID #4"};
    lines.insert(lines.end(), kRowLines.begin(), kRowLines.end());
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("trr_elem.nkf", lines, &pParser));
    EXPECT_EQ(std::string("ifs -1 elements 4") + kMatrixText, Dump(Result(pParser)));
}

TEST(NKFTransformationResultBlock, UnknownDirectiveIsWarnedAboutAndParsingGoesOn)
{
    MessageCapture capture;
    std::vector<std::string> lines = {"*TRANSFORMATIONRESULT 1", "%IFS_BLOCK_ID #2", "%SCALE 3"};
    lines.insert(lines.end(), kRowLines.begin(), kRowLines.end());
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("trr_warn.nkf", lines, &pParser));
    EXPECT_TRUE(capture.HasLine("Block type : *TRANSFORMATIONRESULT : Unknown Identifier found in "
                                "transformation result block.",
                                NK_MSG_WARNING))
        << capture.Text();
    EXPECT_EQ(std::string("ifs 2 elements -1") + kMatrixText, Dump(Result(pParser)));
}

TEST(NKFTransformationResultBlock, StrictCheckingWantsThreeValuesPerLine)
{
    MessageCapture capture;
    std::vector<std::string> lines = {
        "*NKF-1.00", "*TRANSFORMATIONRESULT 1", "1 0 0", "0 1", "0 0 1", "0 0 0"};
    EXPECT_FALSE(NKFParseLines("trr_strict.nkf", lines, nullptr, false));
    EXPECT_TRUE(capture.Contains("Error in matrix. \nEach line must contain 3 values."));
    std::unique_ptr<NKFParser> pLoose;
    EXPECT_TRUE(NKFParseBody("trr_loose.nkf", {lines.begin() + 1, lines.end()}, &pLoose));
}

TEST(NKFTransformationResultBlock, MissingRowsFailTheLoad)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(
        NKFParseBody("trr_short.nkf", {"*TRANSFORMATIONRESULT 1", "1 0 0", "0 1 0"}, &pParser));
    EXPECT_FALSE(Result(pParser)->LoadData());
    EXPECT_FALSE(Result(pParser)->IsDataLoaded());
}

TEST(NKFTransformationResultBlock, ItemCountIsOneAndFreeDataKeepsTheMatrix)
{
    MessageCapture capture;
    std::vector<std::string> lines = {"*TRANSFORMATIONRESULT 1"};
    lines.insert(lines.end(), kRowLines.begin(), kRowLines.end());
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("trr_items.nkf", lines, &pParser));
    NKFTransformationResultBlock *pBlock = Result(pParser);
    EXPECT_EQ(1, pBlock->GetNumItems());
    ASSERT_TRUE(pBlock->LoadData());
    pBlock->FreeData();
    EXPECT_FALSE(pBlock->IsDataLoaded());
    EXPECT_EQ(1, pBlock->GetNumItems());
    EXPECT_EQ(5.0f, pBlock->GetMatrix()[12]);
    EXPECT_TRUE(pBlock->ResolveReferences());
    EXPECT_FALSE(pBlock->WriteBlock());
    EXPECT_TRUE(capture.Contains("NKFTransformationResultBlock::WriteBlock, not implemented yet"));
}

TEST(NKFTransformationResultForms, AsciiAndBinaryInBothByteOrdersHoldTheSameContent)
{
    MessageCapture capture;
    std::vector<std::string> lines = {"*TRANSFORMATIONRESULT 3", "%IFS_BLOCK_ID #2",
                                      "%ELEMENT_BLOCK_ID #9"};
    lines.insert(lines.end(), kRowLines.begin(), kRowLines.end());
    const std::string expected = std::string("ifs 2 elements 9") + kMatrixText;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("trr_forms.nkf", lines, &pParser));
    EXPECT_EQ(expected, Dump(Result(pParser, 3)));
    for (bool bBig : {false, true}) {
        NKFTestWriter w(bBig);
        AppendFileHeader(w);
        AppendTransformationResultBlock(w, 3, 2, 9, kRows);
        ASSERT_TRUE(NKFParseBytes("trr_forms.bin", w, &pParser));
        EXPECT_EQ(expected, Dump(Result(pParser, 3))) << bBig;
    }
}

TEST(NKFTransformationResultForms, DataTooSmallForTheMatrixIsRefused)
{
    MessageCapture capture;
    NKFTestWriter w;
    AppendFileHeader(w);
    w.Int(1026);  // block code: *TRANSFORMATIONRESULT
    w.Int(1);     // block ID
    w.Int(16);    // header size
    w.Int(8);     // data size: two floats only
    w.Int(-1);    // face-set block ID
    w.Int(2);     // element block ID
    w.Float(1);   // a row value
    w.Float(0);   // a row value
    w.Int(-999);  // end-of-block marker
    std::unique_ptr<NKFParser> pParser;
    EXPECT_FALSE(NKFParseBytes("trr_small.nkf", w, &pParser));
    EXPECT_TRUE(capture.Contains("Item count does not fit the data size of the block."));
}

// ---------------------------------------------------------------------------
// Step list

TEST(NKFQuolinTransformationBlock, StepsIDsAndDescription)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(
        NKFParseBody("qtr_steps.nkf",
                     {"*QUOLINTRANSFORMATION 1", "%NAME \"rigid\"", "%DESCRIPTION \"#1 moves\"",
                      "1", "%STEP 3", "%STEPTIME 2", "1-2,", "5"},
                     &pParser));
    EXPECT_EQ("rigid|#1 moves\n1 '' 0: 1\n3 '' 2: 1 2 5", Dump(List(pParser)));
    EXPECT_EQ(0, List(pParser)->GetDescriptionBlockID());
}

TEST(NKFQuolinTransformationBlock, UnknownDirectiveFailsThePass)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    EXPECT_FALSE(
        NKFParseBody("qtr_dir.nkf", {"*QUOLINTRANSFORMATION 1", "%IFS_BLOCK_ID #1"}, &pParser));
    EXPECT_TRUE(capture.Contains("Unknown directive found."));
}

TEST(NKFQuolinTransformationBlock, TooManyStepsNameTheTransformationBlock)
{
    MessageCapture capture;
    std::vector<std::string> lines = {"*QUOLINTRANSFORMATION 1", "1"};
    for (int s = 2; s <= 10001; s++) lines.push_back("%STEP " + std::to_string(s));
    std::unique_ptr<NKFParser> pParser;
    EXPECT_FALSE(NKFParseBody("qtr_many.nkf", lines, &pParser));
    EXPECT_TRUE(capture.Contains("Too many steps in Transformation block"));
}

TEST(NKFQuolinTransformationBlock, LookupsByModelStep)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody(
        "qtr_lookup.nkf", {"*QUOLINTRANSFORMATION 1", "%STEP 2", "4", "%STEP 4", "5 6"}, &pParser));
    NKFQuolinTransformationBlock *pList = List(pParser);
    ASSERT_TRUE(pList->LoadData());
    EXPECT_EQ(-1, pList->GetResultID(0, 0));  // the first model step is before the second
    EXPECT_EQ(4, pList->GetResultID(1, 0));
    EXPECT_EQ(4, pList->GetResultID(2, 0));
    EXPECT_EQ(6, pList->GetResultID(3, 1));
    EXPECT_EQ(2, pList->GetNumResults(99));
}

TEST(NKFQuolinTransformationForms, HeaderOfHundredBytesCarriesTheExtraWord)
{
    MessageCapture capture;
    const std::vector<TestIDStep> steps = {{1, "s1", 0.0f, {1, 2}}, {2, "s2", 1.0f, {3}}};
    std::vector<std::string> lines = {"*QUOLINTRANSFORMATION 1", "%NAME \"rigid\""};
    for (const std::string &line : StepLines(steps)) lines.push_back(line);
    const char *const kExpected = "rigid|\n1 's1' 0: 1 2\n2 's2' 1: 3";
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("qtr_forms.nkf", lines, &pParser));
    EXPECT_EQ(kExpected, Dump(List(pParser)));
    for (bool bBig : {false, true}) {
        for (bool bExtra : {false, true}) {
            NKFTestWriter w(bBig);
            AppendFileHeader(w);
            AppendQuolinTransformationBlock(w, 1, "rigid", steps, bExtra);
            AppendQuolinTransformationBlock(w, 2, "none", {}, bExtra);
            ASSERT_TRUE(NKFParseBytes("qtr_forms.bin", w, &pParser));
            EXPECT_EQ(bExtra, List(pParser)->HasExtraWord());
            EXPECT_EQ(kExpected, Dump(List(pParser))) << bBig << bExtra;
            ASSERT_TRUE(List(pParser, 2)->LoadData());
            EXPECT_EQ(-1, List(pParser, 2)->GetNumResults(0));
        }
    }
}

TEST(NKFQuolinTransformationBlock, ReferencesNameTheMissingResultAndStep)
{
    MessageCapture capture;
    std::vector<std::string> lines = {"*QUOLINTRANSFORMATION 1", "%STEP 2", "1, 3",
                                      "*TRANSFORMATIONRESULT 1"};
    lines.insert(lines.end(), kRowLines.begin(), kRowLines.end());
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("qtr_refs.nkf", lines, &pParser));
    ASSERT_TRUE(List(pParser)->LoadData());
    EXPECT_FALSE(List(pParser)->ResolveReferences());
    EXPECT_TRUE(capture.Contains(
        "Transformation result block (*TRANSFORMATIONRESULT) with ID = 3 not found in "
        "file. Referenced in step 2"));
    EXPECT_FALSE(List(pParser)->WriteBlock());
    EXPECT_TRUE(capture.Contains("NKFQuolinTransformationBlock::WriteBlock, not implemented yet"));
}
