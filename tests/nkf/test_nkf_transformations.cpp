// tests/nkf/test_nkf_transformations.cpp -- the *TRANSFORMATIONS and
// *VIEWPOINTS blocks through the parser: value counting and its messages,
// the element and face-set lists, step counting, both forms in both byte
// orders, count checks, references, the viewpoint query, the entry
// array's growth and the clearing of entries.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nkf/nkf_transformations.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nkf_step_test_support.h"
#include "tests/test_support/nkf_test_parse.h"

namespace {

std::string DumpEntries(const NKFTransformationEntryArray *pArray)
{
    std::string text;
    for (int i = 0; i < pArray->GetSize(); i++) {
        const NKFTransformationEntry *pEntry = pArray->GetAt(i);
        text += " [" + std::to_string(pEntry->iBlockID) + ":";
        for (float f : pEntry->afMatrix) text += " " + NumberText(f);
        text += "]";
    }
    return text;
}

std::string Dump(NKFTransformationBlock *pBlock)
{
    if (!pBlock->LoadData()) return "load failed";
    std::string text =
        pBlock->GetName().GetText() + std::string(pBlock->HasIDs() ? "|ids" : "|no ids");
    for (int s = 0; s < pBlock->GetNumSteps(); s++) {
        text += NKFStepHeading(pBlock, s) + " E" + DumpEntries(pBlock->GetElementMatrices(s)) +
                " F" + DumpEntries(pBlock->GetFaceSetMatrices(s));
    }
    return text;
}

std::string Dump(NKFViewpointBlock *pBlock)
{
    std::string text = pBlock->GetName().GetText();
    for (int s = 0; s < pBlock->GetNumSteps(); s++) {
        float afEye[3], afVrp[3], afUp[3];
        if (!pBlock->GetViewpoint(s, afEye, afVrp, afUp)) return "no viewpoint";
        text += NKFStepHeading(pBlock, s) + ":";
        for (const float *pf : {afEye, afVrp, afUp})
            for (int k = 0; k < 3; k++) text += " " + NumberText(pf[k]);
    }
    return text;
}

// Four rows of three: the identity rotation moved by (t, 2t, 3t).
TestMatrix Matrix(int32_t iID, float t)
{
    return {iID, {1, 0, 0, 0, 1, 0, 0, 0, 1, t, 2 * t, 3 * t}};
}

std::vector<std::string> MatrixRows(float t)
{
    return {"1 0 0", "0 1 0", "0 0 1",
            NumberText(t) + " " + NumberText(2 * t) + " " + NumberText(3 * t)};
}

NKFTransformationBlock *Transformations(const std::unique_ptr<NKFParser> &pParser, int iID = 1)
{
    return (NKFTransformationBlock *)pParser->FindBlock(NKF_TRANSFORMATIONS, iID);
}

std::vector<std::string> Lines(std::initializer_list<std::vector<std::string>> groups)
{
    std::vector<std::string> lines;
    for (const auto &group : groups) lines.insert(lines.end(), group.begin(), group.end());
    return lines;
}

}  // namespace

// ---------------------------------------------------------------------------
// Value counting

TEST(NKFTransformationBlock, EighteenValuesInTheLastStepFail)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    auto lines = Lines({{"*TRANSFORMATIONS 1", "%STEP 1"}, MatrixRows(1), {"1 2 3", "4 5 6"}});
    EXPECT_FALSE(NKFParseBody("tr_18.nkf", lines, &pParser));
    EXPECT_TRUE(
        capture.Contains("Block type : *TRANSFORMATIONS : 12 or 13 values must be specified for "
                         "each step."));
}

TEST(NKFTransformationBlock, EighteenValuesBeforeAStepLineFail)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    auto lines = Lines({{"*TRANSFORMATIONS 1", "%STEP 1"},
                        MatrixRows(1),
                        {"1 2 3", "4 5 6", "%STEP 2"},
                        MatrixRows(2)});
    EXPECT_FALSE(NKFParseBody("tr_18_step.nkf", lines, &pParser));
    EXPECT_TRUE(capture.Contains("12 or 13 values must be specified for matrix in each step."));
    EXPECT_TRUE(capture.Contains("Line : %STEP 2"));
}

TEST(NKFTransformationBlock, WithIDsTheFirstValueLineMustBeTheID)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    auto lines = Lines({{"*TRANSFORMATIONS 1", "%WITH_ID", "%STEP 1"}, MatrixRows(1)});
    EXPECT_FALSE(NKFParseBody("tr_noid.nkf", lines, &pParser));
    EXPECT_TRUE(capture.Contains("The block ID must be specifed on a separate line."));
}

TEST(NKFTransformationBlock, ValueLinesHoldThreeNumbers)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    EXPECT_FALSE(NKFParseBody("tr_two.nkf", {"*TRANSFORMATIONS 1", "1 0"}, &pParser));
    EXPECT_TRUE(capture.Contains("3 values must be specified on each line."));
}

TEST(NKFTransformationBlock, IllegalDirectiveFails)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    EXPECT_FALSE(NKFParseBody("tr_dir.nkf", {"*TRANSFORMATIONS 1", "%PER_NODE"}, &pParser));
    EXPECT_TRUE(capture.Contains("Illegal directive found."));
}

TEST(NKFTransformationBlock, TwoMatricesInAStepAreAccepted)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pPlain, pWithIDs;
    ASSERT_TRUE(NKFParseBody(
        "tr_24.nkf", Lines({{"*TRANSFORMATIONS 1"}, MatrixRows(1), MatrixRows(2)}), &pPlain));
    ASSERT_TRUE(NKFParseBody(
        "tr_26.nkf",
        Lines({{"*TRANSFORMATIONS 1", "%WITH_ID", "5"}, MatrixRows(1), {"6"}, MatrixRows(2)}),
        &pWithIDs));
    EXPECT_EQ("|no ids\n1 '' 0 E [-1: 1 0 0 0 0 1 0 0 0 0 1 0 1 2 3 1] [-1: 1 0 0 0 0 1 0 0 0 0 1 "
              "0 2 4 6 1] F",
              Dump(Transformations(pPlain)));
    EXPECT_EQ("|ids\n1 '' 0 E [5: 1 0 0 0 0 1 0 0 0 0 1 0 1 2 3 1] [6: 1 0 0 0 0 1 0 0 0 0 1 0 2 4 "
              "6 1] F",
              Dump(Transformations(pWithIDs)));
}

// ---------------------------------------------------------------------------
// Lists and steps

TEST(NKFTransformationBlock, FaceSetChoiceHoldsAcrossStepsUntilElements)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    auto lines = Lines({{"*TRANSFORMATIONS 1", "%INDEXEDFACESET", "%STEP 1"},
                        MatrixRows(1),
                        {"%STEP 2"},
                        MatrixRows(2),
                        {"%ELEMENTS"},
                        MatrixRows(3)});
    ASSERT_TRUE(NKFParseBody("tr_lists.nkf", lines, &pParser));
    NKFTransformationBlock *pBlock = Transformations(pParser);
    ASSERT_TRUE(pBlock->LoadData());
    ASSERT_EQ(2, pBlock->GetNumSteps());
    EXPECT_EQ(0, pBlock->GetElementMatrices(0)->GetSize());
    EXPECT_EQ(1, pBlock->GetFaceSetMatrices(0)->GetSize());
    EXPECT_EQ(1, pBlock->GetFaceSetMatrices(1)->GetSize());
    ASSERT_EQ(1, pBlock->GetElementMatrices(1)->GetSize());
    EXPECT_FLOAT_EQ(9.0f, pBlock->GetElementMatrices(1)->GetAt(0)->afMatrix[14]);
}

TEST(NKFTransformationBlock, ValuesBeforeTheFirstStepLineFormAStepOfTheirOwn)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    auto lines = Lines(
        {{"*TRANSFORMATIONS 1"}, MatrixRows(1), {"%STEP 4", "%STEPNAME \"late\""}, MatrixRows(2)});
    ASSERT_TRUE(NKFParseBody("tr_leading.nkf", lines, &pParser));
    NKFTransformationBlock *pBlock = Transformations(pParser);
    ASSERT_TRUE(pBlock->LoadData());
    ASSERT_EQ(2, pBlock->GetNumItems());
    EXPECT_EQ(1, pBlock->GetStepNumber(0));
    EXPECT_EQ(4, pBlock->GetStepNumber(1));
    EXPECT_EQ(NKString("late"), pBlock->GetStepName(1));
    EXPECT_EQ(1, pBlock->GetElementMatrices(0)->GetSize());
    EXPECT_EQ(1, pBlock->GetElementMatrices(1)->GetSize());
}

TEST(NKFTransformationBlock, StepLinesBeforeTheFirstValueOpenEmptySteps)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    auto lines =
        Lines({{"*TRANSFORMATIONS 1", "%STEP 2", "%STEPTIME 7", "%STEP 3", "%STEPNAME \"m\""},
               MatrixRows(1)});
    ASSERT_TRUE(NKFParseBody("tr_empty.nkf", lines, &pParser));
    EXPECT_EQ("|no ids\n2 '' 7 E F\n3 'm' 0 E [-1: 1 0 0 0 0 1 0 0 0 0 1 0 1 2 3 1] F",
              Dump(Transformations(pParser)));
}

TEST(NKFTransformationBlock, BlockWithoutValuesHasOneEmptyStep)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("tr_none.nkf", {"*TRANSFORMATIONS 1", "%NAME \"none\""}, &pParser));
    EXPECT_EQ("none|no ids\n1 '' 0 E F", Dump(Transformations(pParser)));
}

// ---------------------------------------------------------------------------
// Both forms, both byte orders

TEST(NKFTransformationForms, AsciiAndBinaryInBothByteOrdersHoldTheSameContent)
{
    const std::vector<TestTransformationStep> steps = {
        {1, "start", 0.0f, {Matrix(3, 1), Matrix(4, 2)}, {Matrix(8, 3)}},
        {2, "end", 1.5f, {}, {Matrix(8, -1)}},
    };
    for (bool bWithID : {false, true}) {
        MessageCapture capture;
        std::vector<std::string> lines = {"*TRANSFORMATIONS 1"};
        for (const auto &line : TransformationLines("moves", bWithID, steps)) lines.push_back(line);
        std::unique_ptr<NKFParser> pAscii;
        ASSERT_TRUE(NKFParseBody("tr_forms.nkf", lines, &pAscii));
        std::string expected = Dump(Transformations(pAscii));
        EXPECT_NE(std::string::npos, expected.find("2 'end' 1.5 E F ["));
        for (bool bBig : {false, true}) {
            NKFTestWriter w(bBig);
            AppendFileHeader(w);
            AppendTransformationsBlock(w, 1, "moves", bWithID, steps);
            std::unique_ptr<NKFParser> pBinary;
            ASSERT_TRUE(NKFParseBytes("tr_forms.bin", w, &pBinary));
            std::string binary = Dump(Transformations(pBinary));
            // Without IDs an ASCII entry has ID -1, a binary one 0.
            if (!bWithID) {
                for (size_t p; (p = binary.find("[0:")) != std::string::npos;)
                    binary.replace(p, 3, "[-1:");
            }
            EXPECT_EQ(expected, binary) << bBig;
        }
    }
}

TEST(NKFTransformationForms, BinaryStepCountZeroLoadsWithNoSteps)
{
    MessageCapture capture;
    NKFTestWriter w;
    AppendFileHeader(w);
    AppendTransformationsBlock(w, 1, "none", false, {});
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBytes("tr_zero.nkf", w, &pParser));
    NKFTransformationBlock *pBlock = Transformations(pParser);
    ASSERT_TRUE(pBlock->LoadData());
    EXPECT_EQ(0, pBlock->GetNumItems());
    EXPECT_EQ(nullptr, pBlock->GetElementMatrices(0));
}

TEST(NKFTransformationForms, CountsBeyondTheDataSizeAreRefused)
{
    MessageCapture capture;
    const std::vector<TestTransformationStep> steps = {{1, "", 0.0f, {Matrix(1, 1)}, {}}};
    NKFTestWriter w;
    AppendFileHeader(w);
    size_t iBlock = w.Size();
    AppendTransformationsBlock(w, 1, "", false, steps);
    NKFTestWriter wSteps = w;
    wSteps.PatchInt(iBlock + 16 + 80 + 4, 1000000);  // step count
    std::unique_ptr<NKFParser> pParser;
    EXPECT_FALSE(NKFParseBytes("tr_bigsteps.nkf", wSteps, &pParser));
    EXPECT_TRUE(capture.Contains("Item count does not fit the data size of the block."));
    capture.Clear();
    w.PatchInt(iBlock + 16 + 80 + 8 + 88, 2000000000);  // element-matrix count of the first step
    ASSERT_TRUE(NKFParseBytes("tr_bigentries.nkf", w, &pParser));
    EXPECT_FALSE(Transformations(pParser)->LoadData());
    EXPECT_TRUE(capture.Contains("Item count does not fit the data size of the block."));
}

// ---------------------------------------------------------------------------
// References and writing

TEST(NKFTransformationBlock, ResolveReferencesChecksFaceSetsThenElements)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    auto lines = Lines({{"*TRANSFORMATIONS 1", "%WITH_ID", "2"},
                        MatrixRows(1),
                        {"%INDEXEDFACESET", "6"},
                        MatrixRows(1),
                        {"*TRANSFORMATIONS 2"},
                        MatrixRows(1)});
    ASSERT_TRUE(NKFParseBody("tr_refs.nkf", lines, &pParser));
    NKFTransformationBlock *pBlock = Transformations(pParser);
    EXPECT_TRUE(pBlock->ResolveReferences());  // not loaded yet
    ASSERT_TRUE(pBlock->LoadData());
    EXPECT_FALSE(pBlock->ResolveReferences());
    EXPECT_TRUE(capture.HasLine("Block type : *TRANSFORMATIONS. ID = 1 : Indexed face set block "
                                "(*INDEXEDFACESET) with ID = 6 not found in file."))
        << capture.Text();
    NKFTransformationBlock *pPlain = Transformations(pParser, 2);
    ASSERT_TRUE(pPlain->LoadData());
    EXPECT_TRUE(pPlain->ResolveReferences());  // no IDs: nothing to check
}

TEST(NKFTransformationBlock, WriteBlockOfBothClassesFails)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    auto lines = Lines(
        {{"*TRANSFORMATIONS 1"}, MatrixRows(1), {"*VIEWPOINTS 1", "0 0 1", "0 0 0", "0 1 0"}});
    ASSERT_TRUE(NKFParseBody("tr_write.nkf", lines, &pParser));
    EXPECT_FALSE(pParser->FindBlock(NKF_TRANSFORMATIONS, 1)->WriteBlock());
    EXPECT_FALSE(pParser->FindBlock(NKF_VIEWPOINTS, 1)->WriteBlock());
    EXPECT_TRUE(capture.Contains("NKFTransformationBlock::WriteBlock, not implemented yet"));
    EXPECT_TRUE(capture.Contains("NKFViewpointBlock::WriteBlock, not implemented yet"));
}

TEST(NKFTransformationEntryArray, GrowsByTheRuleAndZeroFills)
{
    NKFTransformationEntryArray array;
    ASSERT_TRUE(array.SetSize(3));
    EXPECT_EQ(3, array.GetCapacity());  // no data yet: exactly n
    array.GetAt(2)->iBlockID = 9;
    ASSERT_TRUE(array.SetSize(4));
    EXPECT_EQ(7, array.GetCapacity());  // capacity + 4 (an eighth of 3 clamped to 4)
    EXPECT_EQ(9, array.GetAt(2)->iBlockID);
    EXPECT_EQ(0, array.GetAt(3)->iBlockID);
    EXPECT_EQ(0.0f, array.GetAt(3)->afMatrix[15]);
    array.SetGrowBy(100);
    ASSERT_TRUE(array.SetSize(8));
    EXPECT_EQ(107, array.GetCapacity());
    ASSERT_TRUE(array.SetSize(0));
    EXPECT_EQ(0, array.GetCapacity());
    EXPECT_EQ(nullptr, array.GetAt(0));
}

TEST(NKFClearTransformationRecords, ClearsExactlyTheGivenRecords)
{
    NKFTransformationEntry aRecords[3];
    for (NKFTransformationEntry &r : aRecords) {
        r.iBlockID = 7;
        for (float &f : r.afMatrix) f = 2.5f;
    }
    NKFClearTransformationRecords(aRecords, 2);
    for (int i = 0; i < 2; i++) {
        EXPECT_EQ(0, aRecords[i].iBlockID);
        for (float f : aRecords[i].afMatrix) EXPECT_EQ(0.0f, f);
    }
    EXPECT_EQ(7, aRecords[2].iBlockID);  // the third is not part of the call
    EXPECT_EQ(2.5f, aRecords[2].afMatrix[15]);
    NKFClearTransformationRecords(aRecords + 2, 0);
    NKFClearTransformationRecords(nullptr, 3);
    EXPECT_EQ(7, aRecords[2].iBlockID);
}

// ---------------------------------------------------------------------------
// Viewpoints

TEST(NKFViewpointBlock, LastStepWithTwoVectorsFails)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    EXPECT_FALSE(NKFParseBody(
        "vp_short.nkf",
        {"*VIEWPOINTS 1", "%STEP 1", "0 0 5", "0 0 0", "0 1 0", "%STEP 2", "0 0 6", "0 0 0"},
        &pParser));
    EXPECT_TRUE(capture.Contains(
        "Block type : *VIEWPOINTS : 9 values (3 vectors) must be specified for each "
        "step."));
}

TEST(NKFViewpointBlock, ShortStepBeforeAStepLineFails)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    EXPECT_FALSE(NKFParseBody(
        "vp_short2.nkf", {"*VIEWPOINTS 1", "0 0 5", "0 0 0", "%STEP 2", "0 0 6", "0 0 0", "0 1 0"},
        &pParser));
    EXPECT_TRUE(capture.Contains("9 values (3 vectors) must be specified for each step."));
    EXPECT_TRUE(capture.Contains("Line : %STEP 2"));
}

TEST(NKFViewpointBlock, ValueLinesHoldThreeNumbersAndDirectivesAreKnown)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    EXPECT_FALSE(NKFParseBody("vp_line.nkf", {"*VIEWPOINTS 1", "0 0 5 1"}, &pParser));
    EXPECT_TRUE(capture.Contains("3 values must be specified on each line."));
    EXPECT_FALSE(NKFParseBody("vp_dir.nkf", {"*VIEWPOINTS 1", "%NAME \"x\""}, &pParser));
    EXPECT_TRUE(capture.Contains("Illegal directive found."));
}

TEST(NKFViewpointBlock, GetViewpointOutsideTheStepsCopiesNothing)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("vp_one.nkf", {"*VIEWPOINTS 1", "0 0 5", "0 0 0", "0 1 0"}, &pParser));
    auto *pBlock = (NKFViewpointBlock *)pParser->FindBlock(NKF_VIEWPOINTS, 1);
    float afEye[3] = {7, 7, 7}, afVrp[3] = {7, 7, 7}, afUp[3] = {7, 7, 7};
    EXPECT_FALSE(pBlock->GetViewpoint(-1, afEye, afVrp, afUp));
    EXPECT_FALSE(pBlock->GetViewpoint(1, afEye, afVrp, afUp));
    EXPECT_EQ(7.0f, afEye[0]);
    EXPECT_EQ(7.0f, afUp[2]);
    ASSERT_TRUE(pBlock->GetViewpoint(0, afEye, afVrp, afUp));
    EXPECT_EQ(5.0f, afEye[2]);
    EXPECT_EQ(1.0f, afUp[1]);
}

TEST(NKFViewpointForms, AsciiAndBinaryInBothByteOrdersHoldTheSameContent)
{
    MessageCapture capture;
    const std::vector<TestViewpointStep> steps = {
        {1, "front", 0.0f, {0, 0, 5, 0, 0, 0, 0, 1, 0}},
        {5, "side", 2.5f, {5, 0, 0, 0, 0.5f, 0, 0, 0, 1}},
    };
    std::vector<std::string> lines = {"*VIEWPOINTS 1"};
    for (const auto &s : steps) {
        lines.push_back("%STEP " + std::to_string(s.iNumber));
        lines.push_back("%STEPNAME \"" + s.name + "\"");
        lines.push_back("%STEPTIME " + NumberText(s.fTime));
        for (int r = 0; r < 3; r++) {
            lines.push_back(NumberText(s.afValues[r * 3]) + " " +
                            NumberText(s.afValues[r * 3 + 1]) + " " +
                            NumberText(s.afValues[r * 3 + 2]));
        }
    }
    const char *const kExpected =
        "\n1 'front' 0: 0 0 5 0 0 0 0 1 0\n5 'side' 2.5: 5 0 0 0 0.5 0 0 0 1";
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("vp_forms.nkf", lines, &pParser));
    EXPECT_EQ(kExpected, Dump((NKFViewpointBlock *)pParser->FindBlock(NKF_VIEWPOINTS, 1)));
    for (bool bBig : {false, true}) {
        NKFTestWriter w(bBig);
        AppendFileHeader(w);
        AppendViewpointsBlock(w, 1, "", steps);
        ASSERT_TRUE(NKFParseBytes("vp_forms.bin", w, &pParser));
        EXPECT_EQ(kExpected, Dump((NKFViewpointBlock *)pParser->FindBlock(NKF_VIEWPOINTS, 1)))
            << bBig;
    }
}

TEST(NKFViewpointForms, BinaryCountsAreCheckedAndZeroStepsLoad)
{
    MessageCapture capture;
    NKFTestWriter w;
    AppendFileHeader(w);
    AppendViewpointsBlock(w, 1, "cams", {});
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBytes("vp_zero.nkf", w, &pParser));
    auto *pBlock = (NKFViewpointBlock *)pParser->FindBlock(NKF_VIEWPOINTS, 1);
    ASSERT_TRUE(pBlock->LoadData());
    EXPECT_EQ(0, pBlock->GetNumItems());
    EXPECT_EQ(NKString("cams"), pBlock->GetName());
    NKFTestWriter wBig;
    AppendFileHeader(wBig);
    size_t iBlock = wBig.Size();
    AppendViewpointsBlock(wBig, 1, "cams", {{1, "", 0.0f, {0, 0, 1, 0, 0, 0, 0, 1, 0}}});
    wBig.PatchInt(iBlock + 16 + 80, 2);  // step count one too many
    EXPECT_FALSE(NKFParseBytes("vp_big.nkf", wBig, &pParser));
    EXPECT_TRUE(capture.Contains("Item count does not fit the data size of the block."));
}
