// tests/nkf/test_nkf_step_lists.cpp -- the *QUOLINSCALAR, *QUOLINVECTOR and
// *QUOLINVISIBILITY blocks through the parser: step counting with merged
// "%STEP" lines, ID lists and ranges, directives, the step limit, both
// forms in both byte orders, the count checks, the step lookups, references
// and the scalar mapping query.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/nk_memory.h"
#include "nkf/nkf_elements.h"
#include "nkf/nkf_results.h"
#include "nkf/nkf_step_lists.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nkf_step_test_support.h"
#include "tests/test_support/nkf_test_parse.h"

namespace {

// Everything a step list holds once loaded, as one comparable text.
std::string Dump(NKFStepListBlock *pBlock)
{
    if (!pBlock->LoadData()) return "load failed";
    std::string text = pBlock->GetName().GetText() + std::string("|") +
                       pBlock->GetDescription().GetText() + "|" +
                       std::to_string(pBlock->GetDescriptionBlockID());
    return text + NKFStepListText(pBlock);
}

const std::vector<TestIDStep> kSteps = {
    {1, "first", 0.5f, {10, 11}},
    {3, "second", 1.25f, {12}},
    {4, "", 2.0f, {}},
};

}  // namespace

// ---------------------------------------------------------------------------
// Step counting and ID lists

TEST(NKFScalarBlock, DataLinesThenStepTwoGiveStepsOneAndTwo)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(
        NKFParseBody("scalar_steps.nkf", {"*QUOLINSCALAR 1", "1 2", "%STEP 2", "3"}, &pParser));
    auto *pScalar = NKFFindBlock<NKFQuolinScalarBlock>(pParser, NKF_QUOLINSCALAR, 1);
    ASSERT_NE(nullptr, pScalar);
    EXPECT_EQ(2, pScalar->GetNumItems());
    EXPECT_EQ("||0\n1 '' 0: 1 2\n2 '' 0: 3", Dump(pScalar));
}

TEST(NKFScalarBlock, StepOneAsFirstLineMakesNoEmptyStep)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody(
        "scalar_step1.nkf", {"*QUOLINSCALAR 1", "%NAME \"stress\"", "%STEP 1", "4", "%STEP 2", "5"},
        &pParser));
    auto *pScalar = NKFFindBlock<NKFQuolinScalarBlock>(pParser, NKF_QUOLINSCALAR, 1);
    EXPECT_EQ(2, pScalar->GetNumItems());
    EXPECT_EQ("stress||0\n1 '' 0: 4\n2 '' 0: 5", Dump(pScalar));
}

TEST(NKFScalarBlock, ConsecutiveStepLinesMergeKeepingTheLastNumber)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("scalar_merge.nkf",
                             {"*QUOLINSCALAR 1", "%STEP 1", "4", "%STEP 2", "%STEPNAME \"lost\"",
                              "%STEP 3", "%STEPTIME 0.5", "5", "%STEP 9"},
                             &pParser));
    auto *pScalar = NKFFindBlock<NKFQuolinScalarBlock>(pParser, NKF_QUOLINSCALAR, 1);
    EXPECT_EQ("||0\n1 '' 0: 4\n3 'lost' 0.5: 5\n9 '' 0:", Dump(pScalar));
}

TEST(NKFScalarBlock, RangeAndCommaListFiveIDs)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("scalar_range.nkf", {"*QUOLINSCALAR 1", "3-6, 9"}, &pParser));
    auto *pScalar = NKFFindBlock<NKFQuolinScalarBlock>(pParser, NKF_QUOLINSCALAR, 1);
    ASSERT_TRUE(pScalar->LoadData());
    EXPECT_EQ(5, pScalar->GetNumResults(0));
    std::vector<int> ids;
    for (int k = 0; k < 5; k++) ids.push_back(pScalar->GetResultID(0, k));
    EXPECT_EQ((std::vector<int>{3, 4, 5, 6, 9}), ids);
}

TEST(NKFScalarBlock, IDsOverSeveralLinesAndDirectivesBetweenThemStayInOneStep)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("scalar_lines.nkf",
                             {"*QUOLINSCALAR 1", "1, 2", "%STEPNAME \"a\"", "3", "5-3", "7-8"},
                             &pParser));
    EXPECT_EQ("||0\n1 'a' 0: 1 2 3 7 8",
              Dump(NKFFindBlock<NKFQuolinScalarBlock>(pParser, NKF_QUOLINSCALAR, 1)));
}

TEST(NKFScalarBlock, TenThousandStepsLoadAndOneMoreFails)
{
    for (int iSteps : {10000, 10001}) {
        MessageCapture capture;
        std::vector<std::string> lines = {"*QUOLINSCALAR 1"};
        for (int s = 1; s <= iSteps; s++) {
            lines.push_back("%STEP " + std::to_string(s));
            lines.push_back("1");
        }
        std::unique_ptr<NKFParser> pParser;
        bool bOk = NKFParseBody("scalar_many.nkf", lines, &pParser);
        if (iSteps == 10000) {
            ASSERT_TRUE(bOk);
            auto *pScalar = NKFFindBlock<NKFQuolinScalarBlock>(pParser, NKF_QUOLINSCALAR, 1);
            ASSERT_TRUE(pScalar->LoadData());
            EXPECT_EQ(10000, pScalar->GetNumSteps());
            EXPECT_EQ(10000, pScalar->GetStepNumber(9999));
        } else {
            EXPECT_FALSE(bOk);
            EXPECT_TRUE(
                capture.Contains("Block type : *QUOLINSCALAR : Too many steps in Geometry block"));
            EXPECT_TRUE(capture.Contains("Line : %STEP 10001"));
        }
    }
}

TEST(NKFScalarBlock, UnknownDirectiveStopsTheParse)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    EXPECT_FALSE(
        NKFParseBody("scalar_bad.nkf", {"*QUOLINSCALAR 1", "%DEFAULTVISIBLE", "1"}, &pParser));
    EXPECT_TRUE(capture.Contains("Illegal directive found."));
}

TEST(NKFScalarBlock, AbsurdRangeIsRefusedBeforeAllocating)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    EXPECT_FALSE(NKFParseBody("scalar_huge.nkf", {"*QUOLINSCALAR 1", "1-2000000000"}, &pParser));
    EXPECT_TRUE(capture.Contains("Too many IDs in step."));
}

TEST(NKFScalarBlock, ManyLargeStepsAreRefusedBeforeAllocating)
{
    // Each step stays within its own limit, but 300 of them would ask for
    // gigabytes: the block's total is limited too.
    MessageCapture capture;
    std::vector<std::string> lines = {"*QUOLINSCALAR 1"};
    for (int s = 1; s <= 300; s++) {
        lines.push_back("%STEP " + std::to_string(s));
        lines.push_back("1-16000000");
    }
    std::unique_ptr<NKFParser> pParser;
    EXPECT_FALSE(NKFParseBody("scalar_many_huge.nkf", lines, &pParser));
    EXPECT_TRUE(capture.Contains("Too many IDs in block."));
    EXPECT_FALSE(capture.Contains("Too many IDs in step."));
}

// ---------------------------------------------------------------------------
// Directives

TEST(NKFScalarBlock, NameDescriptionScaleAndOffsetDirectives)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("scalar_dirs.nkf",
                             {"*QUOLINSCALAR 1", "%NAME \"von Mises\"", "%DESCRIPTION \"peak\"",
                              "%SCALE_FACTOR 2.5", "%OFFSET -1", "1", "*QUOLINSCALAR 2",
                              "%DESCRIPTION #4", "2"},
                             &pParser));
    auto *pFirst = NKFFindBlock<NKFQuolinScalarBlock>(pParser, NKF_QUOLINSCALAR, 1);
    EXPECT_EQ(NKString("von Mises"), pFirst->GetName());
    EXPECT_EQ(NKString("peak"), pFirst->GetDescription());
    EXPECT_FLOAT_EQ(2.5f, pFirst->GetScaleFactor());
    EXPECT_FLOAT_EQ(-1.0f, pFirst->GetOffset());
    auto *pSecond = NKFFindBlock<NKFQuolinScalarBlock>(pParser, NKF_QUOLINSCALAR, 2);
    EXPECT_EQ(4, pSecond->GetDescriptionBlockID());
    EXPECT_FLOAT_EQ(1.0f, pSecond->GetScaleFactor());
    EXPECT_FLOAT_EQ(0.0f, pSecond->GetOffset());
}

TEST(NKFVectorBlock, ComponentDirectivesClearEachOther)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(
        NKFParseBody("vector_dirs.nkf",
                     {"*QUOLINVECTOR 1", "%OFFSET 1 2 3", "%XVALUES", "%ZVALUES", "%DEFORMATION",
                      "1", "*QUOLINVECTOR 2", "%DEFORMATION", "%VECTOR_VALUES", "%YVALUES", "2"},
                     &pParser));
    auto *pFirst = NKFFindBlock<NKFQuolinVectorBlock>(pParser, NKF_QUOLINVECTOR, 1);
    EXPECT_EQ((std::vector<float>{1, 2, 3}),
              std::vector<float>(pFirst->GetOffset(), pFirst->GetOffset() + 3));
    EXPECT_FALSE(pFirst->IsXOnly());
    EXPECT_TRUE(pFirst->IsZOnly());
    EXPECT_TRUE(pFirst->IsDeformation());
    auto *pSecond = NKFFindBlock<NKFQuolinVectorBlock>(pParser, NKF_QUOLINVECTOR, 2);
    EXPECT_TRUE(pSecond->IsYOnly());
    EXPECT_FALSE(pSecond->IsDeformation());
}

TEST(NKFVisibilityBlock, DefaultVisibilityDirectives)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody(
        "visibility_dirs.nkf",
        {"*QUOLINVISIBILITY 1", "1", "*QUOLINVISIBILITY 2", "%DEFAULTINVISIBLE", "2"}, &pParser));
    EXPECT_TRUE(NKFFindBlock<NKFQuolinVisibilityBlock>(pParser, NKF_QUOLINVISIBILITY, 1)
                    ->IsDefaultVisible());
    EXPECT_FALSE(NKFFindBlock<NKFQuolinVisibilityBlock>(pParser, NKF_QUOLINVISIBILITY, 2)
                     ->IsDefaultVisible());
}

// ---------------------------------------------------------------------------
// Both forms, both byte orders

TEST(NKFStepListForms, AsciiAndBinaryInBothByteOrdersHoldTheSameContent)
{
    MessageCapture capture;
    const char *const kExpected = "loads||0\n1 'first' 0.5: 10 11\n3 'second' 1.25: 12\n4 '' 2:";
    std::vector<std::string> lines;
    for (const char *pszKeyword : {"*QUOLINSCALAR 1", "*QUOLINVECTOR 1", "*QUOLINVISIBILITY 1"}) {
        lines.push_back(pszKeyword);
        lines.push_back("%NAME \"loads\"");
        if (std::string(pszKeyword) == "*QUOLINVISIBILITY 1") lines.push_back("%DEFAULTINVISIBLE");
        for (const std::string &line : StepLines(kSteps)) lines.push_back(line);
    }
    std::unique_ptr<NKFParser> pAscii;
    ASSERT_TRUE(NKFParseBody("lists.nkf", lines, &pAscii));
    std::vector<std::unique_ptr<NKFParser>> parsers;
    parsers.push_back(std::move(pAscii));
    for (bool bBig : {false, true}) {
        NKFTestWriter w(bBig);
        AppendFileHeader(w);
        AppendResultListBlock(w, 1010, 1, "loads", kSteps, false);
        AppendResultListBlock(w, 1011, 1, "  loads  ", kSteps, true);
        AppendVisibilityBlock(w, 1, "loads", false, kSteps);
        std::unique_ptr<NKFParser> pBinary;
        ASSERT_TRUE(NKFParseBytes(bBig ? "lists_be.nkf" : "lists_le.nkf", w, &pBinary));
        parsers.push_back(std::move(pBinary));
    }
    for (auto &pParser : parsers) {
        for (int iType : {NKF_QUOLINSCALAR, NKF_QUOLINVECTOR, NKF_QUOLINVISIBILITY})
            EXPECT_EQ(kExpected, Dump(NKFFindBlock<NKFStepListBlock>(pParser, iType, 1)))
                << iType << capture.Text();
        EXPECT_FALSE(NKFFindBlock<NKFQuolinVisibilityBlock>(pParser, NKF_QUOLINVISIBILITY, 1)
                         ->IsDefaultVisible());
    }
    EXPECT_TRUE(
        NKFFindBlock<NKFQuolinVectorBlock>(parsers[1], NKF_QUOLINVECTOR, 1)->HasExtension());
    EXPECT_FALSE(
        NKFFindBlock<NKFQuolinScalarBlock>(parsers[1], NKF_QUOLINSCALAR, 1)->HasExtension());
}

TEST(NKFStepListForms, BinaryStepCountZeroLoadsWithNoSteps)
{
    MessageCapture capture;
    NKFTestWriter w;
    AppendFileHeader(w);
    AppendResultListBlock(w, 1010, 1, "empty", {}, false);
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBytes("scalar_zero.nkf", w, &pParser));
    auto *pScalar = NKFFindBlock<NKFQuolinScalarBlock>(pParser, NKF_QUOLINSCALAR, 1);
    ASSERT_TRUE(pScalar->LoadData());
    EXPECT_EQ(0, pScalar->GetNumItems());
    EXPECT_EQ(-1, pScalar->GetNumResults(0));
    EXPECT_EQ(-1, pScalar->GetResultID(0, 0));
    EXPECT_FALSE(pScalar->HasResultMapping(NKF_MAP_PER_NODE, -1));
}

TEST(NKFStepListForms, StepCountBeyondTheDataSizeFailsTheParse)
{
    MessageCapture capture;
    NKFTestWriter w;
    AppendFileHeader(w);
    size_t iHeader = w.Size();
    AppendResultListBlock(w, 1010, 1, "big", kSteps, false);
    w.PatchInt(iHeader + 4 * 4 + 80, 1000000000);  // step count word
    std::unique_ptr<NKFParser> pParser;
    EXPECT_FALSE(NKFParseBytes("scalar_bigcount.nkf", w, &pParser));
    EXPECT_TRUE(capture.Contains("Item count does not fit the data size of the block."));
}

TEST(NKFStepListForms, IDCountBeyondTheDataSizeFailsTheLoad)
{
    MessageCapture capture;
    NKFTestWriter w;
    AppendFileHeader(w);
    size_t iHeader = w.Size();
    AppendVisibilityBlock(w, 1, "v", true, kSteps);
    w.PatchInt(iHeader + 4 * 4 + 88 + 88, 500000000);  // ID count of the first step
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBytes("vis_bigids.nkf", w, &pParser));
    auto *pVisibility = NKFFindBlock<NKFQuolinVisibilityBlock>(pParser, NKF_QUOLINVISIBILITY, 1);
    EXPECT_FALSE(pVisibility->LoadData());
    EXPECT_FALSE(pVisibility->IsDataLoaded());
    EXPECT_TRUE(capture.Contains("Item count does not fit the data size of the block."));
    EXPECT_EQ(-1, pVisibility->GetNumResults(0));
}

TEST(NKFStepListForms, HeaderBelowItsMinimumIsRefused)
{
    MessageCapture capture;
    NKFTestWriter w;
    AppendFileHeader(w);
    size_t iHeader = w.Size();
    AppendVisibilityBlock(w, 1, "v", true, kSteps);
    w.PatchInt(iHeader + 8, 92);  // header size below the visibility's 96
    std::unique_ptr<NKFParser> pParser;
    EXPECT_FALSE(NKFParseBytes("vis_small.nkf", w, &pParser));
    EXPECT_TRUE(capture.Contains("Illegal header size found."));
}

// ---------------------------------------------------------------------------
// Lookups, references, writing

TEST(NKFScalarBlock, StepLookupFollowsTheStepNumbers)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("scalar_lookup.nkf",
                             {"*QUOLINSCALAR 1", "%STEP 3", "1 2", "%STEP 5", "3"}, &pParser));
    auto *pScalar = NKFFindBlock<NKFQuolinScalarBlock>(pParser, NKF_QUOLINSCALAR, 1);
    EXPECT_EQ(-1, pScalar->GetNumResults(0));  // not loaded yet
    ASSERT_TRUE(pScalar->LoadData());
    EXPECT_EQ(-1, pScalar->GetNumResults(1));  // the second model step: before the third
    EXPECT_EQ(2, pScalar->GetNumResults(2));
    EXPECT_EQ(2, pScalar->GetNumResults(3));
    EXPECT_EQ(1, pScalar->GetNumResults(4));
    EXPECT_EQ(1, pScalar->GetNumResults(100));  // past the last: the last entry
    EXPECT_EQ(3, pScalar->GetResultID(100, 0));
    EXPECT_EQ(-1, pScalar->GetResultID(2, 2));
    EXPECT_EQ(-1, pScalar->GetResultID(2, -1));
    EXPECT_EQ(-1, pScalar->GetNumResults(-1));
}

TEST(NKFScalarBlock, FreeDataKeepsTheCountsAndReloads)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(
        NKFParseBody("scalar_free.nkf", {"*QUOLINSCALAR 1", "1 2", "*RESULTS 1", "1"}, &pParser));
    auto *pScalar = NKFFindBlock<NKFQuolinScalarBlock>(pParser, NKF_QUOLINSCALAR, 1);
    ASSERT_TRUE(pScalar->LoadData());
    pScalar->FreeData();
    EXPECT_FALSE(pScalar->IsDataLoaded());
    EXPECT_EQ(2, pScalar->GetStepIDCount(0));
    EXPECT_EQ(-1, pScalar->GetNumResults(0));
    ASSERT_TRUE(pScalar->LoadData());
    EXPECT_EQ(2, pScalar->GetResultID(0, 1));
}

TEST(NKFScalarBlock, ResolveReferencesNamesTheMissingResultsBlockAndItsStep)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("scalar_refs.nkf",
                             {"*QUOLINSCALAR 1", "1", "%STEP 2", "1, 7", "*RESULTS 1", "0.5"},
                             &pParser));
    auto *pScalar = NKFFindBlock<NKFQuolinScalarBlock>(pParser, NKF_QUOLINSCALAR, 1);
    EXPECT_TRUE(pScalar->ResolveReferences());  // not loaded: nothing to check
    ASSERT_TRUE(pScalar->LoadData());
    EXPECT_FALSE(pScalar->ResolveReferences());
    EXPECT_TRUE(
        capture.HasLine("Block type : *QUOLINSCALAR. ID = 1 : Results block (*RESULTS) with ID = 7 "
                        "not found in file. Referenced in step 2",
                        NK_MSG_ERROR))
        << capture.Text();
}

TEST(NKFStepListForms, WriteBlockIsNotImplementedForEachClass)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody(
        "lists_write.nkf",
        {"*QUOLINSCALAR 1", "1", "*QUOLINVECTOR 1", "1", "*QUOLINVISIBILITY 1", "1"}, &pParser));
    const char *apszClass[3] = {"NKFQuolinScalarBlock", "NKFQuolinVectorBlock",
                                "NKFQuolinVisibilityBlock"};
    for (int i = 0; i < 3; i++) {
        NKFBlock *pBlock = pParser->FindBlock(NKF_QUOLINSCALAR + i, 1);
        EXPECT_FALSE(pBlock->WriteBlock());
        EXPECT_TRUE(
            capture.Contains(std::string(apszClass[i]) + "::WriteBlock, not implemented yet"));
    }
}

TEST(NKFScalarBlock, HasResultMappingLooksAtTheListedResultsBlocks)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("scalar_mapping.nkf",
                             {"*QUOLINSCALAR 1", "%STEP 1", "1", "%STEP 2", "2, 9", "*RESULTS 1",
                              "%PER_NODE #1", "0.5", "*RESULTS 2", "%PER_ELEMENT #1", "1.5"},
                             &pParser));
    auto *pScalar = NKFFindBlock<NKFQuolinScalarBlock>(pParser, NKF_QUOLINSCALAR, 1);
    EXPECT_TRUE(pScalar->HasResultMapping(NKF_MAP_PER_ELEMENT, -1));
    EXPECT_FALSE(pScalar->HasResultMapping(NKF_MAP_PER_ELEMENT, 0));
    EXPECT_TRUE(pScalar->HasResultMapping(NKF_MAP_PER_ELEMENT, 1));
    EXPECT_TRUE(pScalar->HasResultMapping(NKF_MAP_PER_NODE, 0));
    EXPECT_FALSE(pScalar->HasResultMapping(NKF_MAP_PER_FACE, -1));
}

// ---------------------------------------------------------------------------
// Element visibility

namespace {

// Eight nodes, and three quadrilaterals with the IDs 5, 7 and 9.
const std::vector<std::string> kMesh = {
    "*NODES 1", "0 0 0",     "1 0 0",     "1 1 0",       "0 1 0",     "2 0 0",
    "2 1 0",    "3 0 0",     "3 1 0",     "*ELEMENTS 1", "%NODES #1", "%WITH_ID",
    "%QUADS",   "5 1 2 3 4", "7 2 5 6 3", "9 5 7 8 6",
};

std::vector<uint8_t> Visibility(const std::unique_ptr<NKFParser> &pParser, int iID)
{
    auto *pBlock = NKFFindBlock<NKFQuolinVisibilityBlock>(pParser, NKF_QUOLINVISIBILITY, iID);
    auto *pElements = NKFFindBlock<Elements>(pParser, NKF_ELEMENTS, 1);
    int iCount = -1;
    uint8_t *pcBytes = nullptr;
    if (!pBlock->ComputeElementVisibility(pElements, &iCount, &pcBytes)) return {};
    std::vector<uint8_t> bytes(pcBytes, pcBytes + iCount);
    NKFree(pcBytes);
    return bytes;
}

}  // namespace

TEST(NKFVisibilityBlock, FirstValueAnElementGetsStands)
{
    MessageCapture capture;
    std::vector<std::string> lines = kMesh;
    lines.insert(lines.end(), {"*RESULTS 1", "%PER_ELEMENT #1", "%WITH_ID", "7 1", "*RESULTS 2",
                               "%PER_ELEMENT #1", "%WITH_ID", "9 1", "7 0", "*QUOLINVISIBILITY 1",
                               "%STEP 1", "1", "%STEP 2", "2"});
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("vis_first.nkf", lines, &pParser));
    EXPECT_EQ((std::vector<uint8_t>{0, 1, 1}), Visibility(pParser, 1));
}

TEST(NKFVisibilityBlock, DefaultInvisibleFillsAndUnrelatedResultsAreSkipped)
{
    MessageCapture capture;
    std::vector<std::string> lines = kMesh;
    lines.insert(lines.end(),
                 {"*RESULTS 3", "%PER_ELEMENT #1", "0", "0.9", "*RESULTS 4", "%PER_NODE #1", "0",
                  "0", "0", "*RESULTS 5", "%PER_ELEMENT #2", "0", "0", "0", "*QUOLINVISIBILITY 2",
                  "%DEFAULTINVISIBLE", "4, 5, 99", "3"});
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("vis_fill.nkf", lines, &pParser));
    // Results 3 has no IDs: it applies by position to the first two elements.
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 1}), Visibility(pParser, 2));
}

TEST(NKFVisibilityBlock, ComputeWithoutOutputsFails)
{
    MessageCapture capture;
    std::vector<std::string> lines = kMesh;
    lines.insert(lines.end(), {"*QUOLINVISIBILITY 1", "1"});
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("vis_args.nkf", lines, &pParser));
    auto *pBlock = NKFFindBlock<NKFQuolinVisibilityBlock>(pParser, NKF_QUOLINVISIBILITY, 1);
    int iCount = 0;
    uint8_t *pcBytes = nullptr;
    EXPECT_FALSE(pBlock->ComputeElementVisibility(nullptr, &iCount, &pcBytes));
    EXPECT_FALSE(pBlock->ComputeElementVisibility(NKFFindBlock<Elements>(pParser, NKF_ELEMENTS, 1),
                                                  nullptr, &pcBytes));
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 0}), Visibility(pParser, 1));  // result 1 does not exist
}

namespace {

// Every bounded count of a step list at its top is read, and one more is
// refused with its own message: the step number, the IDs of one step and
// the IDs of the whole block.
TEST(NKFScalarBlock, CountsAtTheirTopParseAndOneMoreFails)
{
    const std::string kTop = std::to_string(1 << 24), kOver = std::to_string((1 << 24) + 1);
    const struct {
        std::vector<std::string> lines;
        const char *pszError;  // null: the block parses
    } cases[] = {
        {{"%STEP 1000000", "1"}, nullptr},
        {{"%STEP 1000001", "1"}, "Step number 1000001 out of range (1 to 1000000)."},
        {{"%STEP 1", "1-" + kTop}, nullptr},
        {{"%STEP 1", "1-" + kOver}, "Too many IDs in step."},
        {{"%STEP 1", "1-" + kTop, "%STEP 2", "1-" + kTop}, nullptr},
        {{"%STEP 1", "1-" + kTop, "%STEP 2", "1-" + kTop, "%STEP 3", "1"},
         "Too many IDs in block."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.lines[0] + " " + c.lines[1] + " (" + std::to_string(c.lines.size()) + ")");
        MessageCapture capture;
        std::vector<std::string> lines = {"*QUOLINSCALAR 1"};
        lines.insert(lines.end(), c.lines.begin(), c.lines.end());
        std::unique_ptr<NKFParser> pParser;
        const bool bOk = NKFParseBody("scalar_top.nkf", lines, &pParser);
        EXPECT_EQ(bOk, c.pszError == nullptr) << capture.Text();
        if (c.pszError != nullptr) {
            EXPECT_TRUE(capture.Contains(c.pszError)) << capture.Text();
        } else {
            EXPECT_FALSE(capture.Contains("Error")) << capture.Text();
        }
    }
    // The top step number is the step the block holds once loaded.
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(
        NKFParseBody("scalar_top.nkf", {"*QUOLINSCALAR 1", "%STEP 1000000", "1"}, &pParser));
    auto *pScalar = NKFFindBlock<NKFQuolinScalarBlock>(pParser, NKF_QUOLINSCALAR, 1);
    ASSERT_TRUE(pScalar->LoadData());
    EXPECT_EQ(pScalar->GetStepNumber(0), 1000000);
}

}  // namespace
