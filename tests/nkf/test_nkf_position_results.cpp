// tests/nkf/test_nkf_position_results.cpp -- the *POSITIONRESULTS block and
// the *QUOLINPOSITIONSCALAR / *QUOLINPOSITIONVECTOR step lists through the
// parser: directives and their failures, strict line checks, both forms in
// both byte orders, count checks, step lookups and references.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nkf/nkf_position_results.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nkf_step_test_support.h"
#include "tests/test_support/nkf_test_parse.h"

namespace {

std::string Dump(NKFPositionResultBlock *pBlock)
{
    if (!pBlock->LoadData()) return "load failed";
    std::string text = "dim " + std::to_string(pBlock->GetDimension()) + " map " +
                       std::to_string(pBlock->GetMapping()) + " to " +
                       std::to_string(pBlock->GetMapToElementsFlag()) + "#" +
                       std::to_string(pBlock->GetTargetBlockID()) +
                       (pBlock->HasGlobalPositions() ? " gp" : " lp") +
                       (pBlock->HasGlobalResults() ? " gr" : " lr");
    for (int i = 0; i < pBlock->GetNumItems(); i++) {
        text += "\n";
        if (pBlock->GetIDs() != nullptr) text += std::to_string(pBlock->GetIDs()[i]) + ":";
        for (int k = 0; k < 3; k++) text += " " + NumberText(pBlock->GetPositions()[i * 3 + k]);
        text += " |";
        if (pBlock->GetDimension() == 1)
            text += " " + NumberText(pBlock->GetScalarValues()[i]);
        else
            for (int k = 0; k < 3; k++)
                text += " " + NumberText(pBlock->GetVectorValues()[i * 3 + k]);
    }
    return text;
}

std::string Dump(NKFStepListBlock *pBlock)
{
    if (!pBlock->LoadData()) return "load failed";
    return pBlock->GetName().GetText() + NKFStepListText(pBlock);
}

NKFPositionResultBlock *Positions(const std::unique_ptr<NKFParser> &pParser, int iID = 1)
{
    return (NKFPositionResultBlock *)pParser->FindBlock(NKF_POSITIONRESULTS, iID);
}

NKFQuolinPositionVectorBlock *VectorList(const std::unique_ptr<NKFParser> &pParser, int iID = 1)
{
    return (NKFQuolinPositionVectorBlock *)pParser->FindBlock(NKF_QUOLINPOSITIONVECTOR, iID);
}

}  // namespace

// ---------------------------------------------------------------------------
// Position-result block

TEST(NKFPositionResultBlock, DimensionTwoFails)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    EXPECT_FALSE(NKFParseBody("pos_dim2.nkf", {"*POSITIONRESULTS 1", "%DIMENSION 2", "0 0 0 1 1"},
                              &pParser));
    EXPECT_TRUE(capture.Contains("Wrong number of dimensions. Only 1 and 3 accepted"));
}

TEST(NKFPositionResultBlock, MapToElementsNeedsTheHashSign)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    EXPECT_FALSE(
        NKFParseBody("pos_nohash.nkf", {"*POSITIONRESULTS 1", "%MAPTO_ELEMENTS 3"}, &pParser));
    EXPECT_TRUE(capture.Contains("Block type : *POSITIONRESULTS : No element block ID specified in "
                                 "%MAPTO_ELEMENTS. Missing #ID."));
    ASSERT_TRUE(
        NKFParseBody("pos_hash.nkf", {"*POSITIONRESULTS 1", "%MAPTO_ELEMENTS #3"}, &pParser));
    EXPECT_EQ(3, Positions(pParser)->GetTargetBlockID());
    EXPECT_TRUE(Positions(pParser)->IsMappedToElements());
}

TEST(NKFPositionResultBlock, LineLengthsAreCheckedOnlyWithStrictChecking)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody(
        "pos_loose.nkf", {"*POSITIONRESULTS 1", "%MAP_ID", "1 2", "1 2 3 4 5 6 7 8"}, &pParser));
    EXPECT_EQ(2, Positions(pParser)->GetNumItems());
    EXPECT_TRUE(NKFParseBody("pos_strict_ok.nkf", {"*POSITIONRESULTS 1", "%MAP_ID", "4 0 0 0 1.5"},
                             &pParser, false));
    EXPECT_FALSE(NKFParseBody("pos_strict_id.nkf", {"*POSITIONRESULTS 1", "%MAP_ID", "4 0 0 0"},
                              &pParser, false));
    EXPECT_TRUE(
        capture.Contains("Error in results values. \nEach line must contain #dim + 4 values when "
                         "using %WITH_ID"));
    EXPECT_FALSE(NKFParseBody("pos_strict_noid.nkf",
                              {"*POSITIONRESULTS 1", "%DIMENSION 3", "0 0 0 1 1"}, &pParser,
                              false));
    EXPECT_TRUE(
        capture.Contains("Each line must contain #dim + 3 values when using %NO_ID (default)"));
}

TEST(NKFPositionResultBlock, BlockWithoutValuesLoadsEmpty)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("pos_empty.nkf",
                             {"*POSITIONRESULTS 1", "%DIMENSION 3", "%UNKNOWN_WORD"}, &pParser));
    ASSERT_TRUE(Positions(pParser)->LoadData());
    EXPECT_EQ(0, Positions(pParser)->GetNumItems());
    EXPECT_EQ(nullptr, Positions(pParser)->GetPositions());
}

TEST(NKFPositionResultBlock, DirectivesSetFlagsAndMapping)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("pos_flags.nkf",
                             {"*POSITIONRESULTS 1", "%MAP_INDEX", "%LOCAL_POSITIONS",
                              "%LOCAL_RESULTS", "*POSITIONRESULTS 2", "%MAP_ID", "%MAP_NONE",
                              "%LOCAL_RESULTS", "%GLOBAL_RESULTS"},
                             &pParser));
    EXPECT_EQ(NKF_POSITION_MAP_INDEX, Positions(pParser)->GetMapping());
    EXPECT_FALSE(Positions(pParser)->HasGlobalPositions());
    EXPECT_FALSE(Positions(pParser)->HasGlobalResults());
    EXPECT_EQ(NKF_POSITION_MAP_NONE, Positions(pParser, 2)->GetMapping());
    EXPECT_TRUE(Positions(pParser, 2)->HasGlobalResults());
    EXPECT_EQ(-1, Positions(pParser, 2)->GetTargetBlockID());
}

TEST(NKFPositionResultForms, AsciiAndBinaryInBothByteOrdersHoldTheSameContent)
{
    MessageCapture capture;
    const std::vector<std::vector<float>> scalarRows = {{0, 0, 0, 1.5f}, {1, 2, 3, -2}};
    const std::vector<std::vector<float>> vectorRows = {{0, 1, 0, 1, 0, 0}, {2, 2, 2, 0, 0, 0.25f}};
    std::vector<std::string> lines = {
        "*POSITIONRESULTS 1", "0 0 0 1.5",          "1 2 3 -2", "*POSITIONRESULTS 2",
        "%DIMENSION 3",       "%MAPTO_ELEMENTS #4", "%MAP_ID",  "%LOCAL_POSITIONS",
        "11 0 1 0 1 0 0",     "12 2 2 2 0 0 0.25"};
    const char *const kScalars = "dim 1 map 0 to -1#-1 gp gr\n 0 0 0 | 1.5\n 1 2 3 | -2";
    const char *const kVectors =
        "dim 3 map 1 to 1#4 lp gr\n11: 0 1 0 | 1 0 0\n12: 2 2 2 | 0 0 0.25";
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("pos_forms.nkf", lines, &pParser));
    EXPECT_EQ(kScalars, Dump(Positions(pParser)));
    EXPECT_EQ(kVectors, Dump(Positions(pParser, 2)));
    for (bool bBig : {false, true}) {
        NKFTestWriter w(bBig);
        AppendFileHeader(w);
        AppendPositionResultsBlock(w, 1, 1, -1, -1, 0, 1, 1, 2, scalarRows, {});
        AppendPositionResultsBlock(w, 2, 3, 1, 4, 1, 0, 1, 2, vectorRows, {11, 12});
        ASSERT_TRUE(NKFParseBytes("pos_forms.bin", w, &pParser));
        EXPECT_EQ(kScalars, Dump(Positions(pParser))) << bBig;
        EXPECT_EQ(kVectors, Dump(Positions(pParser, 2))) << bBig;
    }
}

TEST(NKFPositionResultForms, ValueCountBeyondTheDataSizeIsRefused)
{
    MessageCapture capture;
    NKFTestWriter w;
    AppendFileHeader(w);
    AppendPositionResultsBlock(w, 1, 1, -1, -1, 0, 1, 1, 3, {{0, 0, 0, 1}, {1, 1, 1, 2}}, {});
    std::unique_ptr<NKFParser> pParser;
    EXPECT_FALSE(NKFParseBytes("pos_bigcount.nkf", w, &pParser));
    EXPECT_TRUE(capture.Contains("Item count does not fit the data size of the block."));
}

TEST(NKFPositionResultBlock, ReferencesAndWriting)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody(
        "pos_refs.nkf",
        {"*POSITIONRESULTS 1", "0 0 0 1", "*POSITIONRESULTS 2", "%MAPTO_ELEMENTS #8", "0 0 0 1"},
        &pParser));
    EXPECT_TRUE(Positions(pParser)->ResolveReferences());
    EXPECT_FALSE(Positions(pParser, 2)->ResolveReferences());
    EXPECT_TRUE(capture.Contains("Element block (*ELEMENTS) with id = 8not found in file"));
    capture.Clear();
    EXPECT_FALSE(Positions(pParser)->WriteBlock());
    EXPECT_TRUE(capture.Lines().empty());
}

// ---------------------------------------------------------------------------
// Step lists

TEST(NKFPositionStepList, IDsOverTwoLinesAndRanges)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody(
        "poslist_ids.nkf",
        {"*QUOLINPOSITIONVECTOR 1", "%NAME \"flow\"", "1, 2", "3", "%STEP 2", "1-4"}, &pParser));
    EXPECT_EQ("flow\n1 '' 0: 1 2 3\n2 '' 0: 1 2 3 4", Dump(VectorList(pParser)));
}

TEST(NKFPositionStepList, StepLinesBeforeTheFirstValueOpenEmptySteps)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody(
        "poslist_empty.nkf",
        {"*QUOLINPOSITIONSCALAR 1", "%STEP 1", "%STEPNAME \"none\"", "%STEP 2", "5"}, &pParser));
    EXPECT_EQ("\n1 'none' 0:\n2 '' 0: 5",
              Dump((NKFStepListBlock *)pParser->FindBlock(NKF_QUOLINPOSITIONSCALAR, 1)));
}

TEST(NKFPositionStepList, LookupsAnswerMinusOneOutsideTheSteps)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("poslist_lookup.nkf", {"*QUOLINPOSITIONVECTOR 1", "%STEP 3", "7, 8"},
                             &pParser));
    NKFQuolinPositionVectorBlock *pList = VectorList(pParser);
    ASSERT_TRUE(pList->LoadData());
    EXPECT_EQ(-1, pList->GetNumResults(1));  // the second model step is before the third
    EXPECT_EQ(2, pList->GetNumResults(2));
    EXPECT_EQ(2, pList->GetNumResults(50));  // past the last: the last entry
    EXPECT_EQ(8, pList->GetResultID(2, 1));
    EXPECT_EQ(-1, pList->GetResultID(2, 2));  // k equal to the count
    EXPECT_EQ(-1, pList->GetResultID(1, 0));
}

TEST(NKFPositionStepList, UnknownDirectiveWarnsAndFails)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    EXPECT_FALSE(NKFParseBody("poslist_dir.nkf", {"*QUOLINPOSITIONSCALAR 1", "%DIMENSION 3", "1"},
                              &pParser));
    EXPECT_TRUE(capture.Contains("Block type : *QUOLINPOSITIONSCALAR : Unknown directive found."));
    bool bWarning = false;
    for (const CapturedLine &line : capture.Lines())
        if (line.text.find("Unknown directive found.") != std::string::npos)
            bWarning = line.iLevel == NK_MSG_WARNING;
    EXPECT_TRUE(bWarning);
}

TEST(NKFPositionStepList, TooManyStepsFail)
{
    MessageCapture capture;
    std::vector<std::string> lines = {"*QUOLINPOSITIONVECTOR 1"};
    for (int s = 1; s <= 10001; s++) lines.push_back("%STEP " + std::to_string(s));
    std::unique_ptr<NKFParser> pParser;
    EXPECT_FALSE(NKFParseBody("poslist_many.nkf", lines, &pParser));
    EXPECT_TRUE(capture.Contains("Too many steps in Geometry block"));
}

TEST(NKFPositionStepForms, AsciiAndBinaryInBothByteOrdersHoldTheSameContent)
{
    MessageCapture capture;
    const std::vector<TestIDStep> steps = {
        {1, "a", 0.0f, {1, 2}}, {2, "b", 0.5f, {}}, {6, "c", 3.0f, {4}}};
    std::vector<std::string> lines;
    for (const char *pszKeyword : {"*QUOLINPOSITIONSCALAR 2", "*QUOLINPOSITIONVECTOR 2"}) {
        lines.push_back(pszKeyword);
        lines.push_back("%NAME \"field\"");
        for (const std::string &line : StepLines(steps)) lines.push_back(line);
    }
    const char *const kExpected = "field\n1 'a' 0: 1 2\n2 'b' 0.5:\n6 'c' 3: 4";
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("poslist_forms.nkf", lines, &pParser));
    for (int iType : {NKF_QUOLINPOSITIONSCALAR, NKF_QUOLINPOSITIONVECTOR})
        EXPECT_EQ(kExpected, Dump((NKFStepListBlock *)pParser->FindBlock(iType, 2)));
    for (bool bBig : {false, true}) {
        NKFTestWriter w(bBig);
        AppendFileHeader(w);
        AppendPositionListBlock(w, 1024, 2, "field", steps);
        AppendPositionListBlock(w, 1025, 2, "field", steps);
        AppendPositionListBlock(w, 1025, 3, "none", {});
        ASSERT_TRUE(NKFParseBytes("poslist_forms.bin", w, &pParser));
        for (int iType : {NKF_QUOLINPOSITIONSCALAR, NKF_QUOLINPOSITIONVECTOR})
            EXPECT_EQ(kExpected, Dump((NKFStepListBlock *)pParser->FindBlock(iType, 2))) << bBig;
        ASSERT_TRUE(VectorList(pParser, 3)->LoadData());  // step count 0
        EXPECT_EQ(-1, VectorList(pParser, 3)->GetNumResults(0));
        EXPECT_EQ(-1, VectorList(pParser, 3)->GetResultID(0, 0));
    }
}

TEST(NKFPositionStepList, ReferencesNameTheMissingBlockAndStep)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody(
        "poslist_refs.nkf",
        {"*QUOLINPOSITIONVECTOR 1", "%STEP 4", "1, 5", "*POSITIONRESULTS 1", "0 0 0 1"}, &pParser));
    NKFQuolinPositionVectorBlock *pList = VectorList(pParser);
    EXPECT_TRUE(pList->ResolveReferences());
    ASSERT_TRUE(pList->LoadData());
    EXPECT_FALSE(pList->ResolveReferences());
    EXPECT_TRUE(
        capture.Contains("Position results block (*POSITIONRESULTS) with ID = 5 not found in file. "
                         "Referenced in step 4"));
    EXPECT_FALSE(pList->WriteBlock());
    EXPECT_TRUE(capture.Contains("NKFQuolinPositionVectorBlock::WriteBlock, not implemented yet"));
}
