// tests/nkf/test_nkf_geometry_block.cpp -- the *QUOLINGEOMETRY block through
// the parser in the ASCII form and the binary form in both byte orders: the
// step lookup, the part order and record count of NKReadGeometryParts with
// its progress and messages, the older binary layout and header sizes, the
// reference messages, the count checks, the queries, and damaged files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/nk_memory.h"
#include "core/nk_mesh.h"
#include "nkf/nkf_elements.h"
#include "nkf/nkf_geometry_block.h"
#include "nkf/nkf_nodes.h"
#include "platform/nk_progress_ui.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nkf_geometry_writer.h"
#include "tests/test_support/nkf_mesh_writer.h"
#include "tests/test_support/nkf_step_test_support.h"
#include "tests/test_support/nkf_test_parse.h"
#include "tests/test_support/test_files.h"

namespace {

std::string S(int i) { return std::to_string(i); }

// Blocks below 10 use node block 1, below 20 node block 2, the others the
// missing node block 3.
int NodesOf(int32_t iID) { return iID < 10 ? 1 : iID < 20 ? 2 : 3; }

// Node blocks 1 and 2 (a square each), face sets of one triangle (named
// "F<id>" in ASCII), element blocks of one quad (described "E<id>"), and
// geometry block 1 of the steps, as ASCII lines or binary words; a binary
// file's geometry block starts at *piStart.
std::vector<std::string> MeshLines(const std::vector<TestGeometryStep> &steps,
                                   const std::vector<int32_t> &faceSets,
                                   const std::vector<int32_t> &elements)
{
    std::vector<std::string> lines = {"*NKF-1.00"};
    for (int n : {1, 2})
        lines.insert(lines.end(), {"*NODES " + S(n), "0 0 0", "1 0 0", "1 1 0", "0 1 0"});
    for (int32_t id : faceSets)
        lines.insert(lines.end(), {"*INDEXEDFACESET " + S(id), "%NODES #" + S(NodesOf(id)),
                                   "%NAME \"F" + S(id) + "\"", "1 2 -3"});
    for (int32_t id : elements)
        lines.insert(lines.end(), {"*ELEMENTS " + S(id), "%NODES #" + S(NodesOf(id)),
                                   "%DESCRIPTION \"E" + S(id) + "\"", "%QUADS", "1 2 3 4"});
    for (const std::string &line : GeometryLines(1, "model", steps)) lines.push_back(line);
    return lines;
}

NKFTestWriter MeshWords(bool bBig, const std::vector<TestGeometryStep> &steps,
                        const std::vector<int32_t> &faceSets, const std::vector<int32_t> &elements,
                        size_t *piStart = nullptr)
{
    const float afSquare[] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    NKFTestWriter w(bBig);
    AppendFileHeader(w);
    for (int n : {1, 2}) AppendNodesBlock(w, n, nullptr, afSquare, 4);
    for (int32_t id : faceSets) AppendFaceSetBlock(w, id, NodesOf(id), {{0, {1, 2, 3}}}, false);
    for (int32_t id : elements)
        AppendElementsBlock(w, id, NodesOf(id), {{5, {}, {1, 2, 3, 4}, 1}}, false);
    if (piStart != nullptr) *piStart = w.Size();
    AppendGeometryBlock(w, 1, "model", steps);
    return w;
}

// Form 0 is ASCII, 1 and 2 binary little- and big-endian.
std::unique_ptr<NKFParser> Parse(int iForm, const std::vector<TestGeometryStep> &steps,
                                 const std::vector<int32_t> &faceSets,
                                 const std::vector<int32_t> &elements)
{
    std::unique_ptr<NKFParser> pParser;
    if (iForm == 0)
        EXPECT_TRUE(NKFParseLines("geo.nkf", MeshLines(steps, faceSets, elements), &pParser));
    else
        EXPECT_TRUE(
            NKFParseBytes("geo.nkf", MeshWords(iForm == 2, steps, faceSets, elements), &pParser));
    return pParser;
}

NKFQuolinGeometryBlock *Loaded(const std::unique_ptr<NKFParser> &pParser)
{
    auto *pGeometry = NKFFindBlock<NKFQuolinGeometryBlock>(pParser, NKF_QUOLINGEOMETRY, 1);
    EXPECT_TRUE(pGeometry != nullptr && pGeometry->LoadData());
    return pGeometry;
}

// The records of a step: "F" or "E" by the from-elements flag and the
// polygon count per part, "-" per empty record; "null" for no array.
std::string PartsText(NKFQuolinGeometryBlock *pGeometry, int iStep)
{
    int n = -1;
    NKIndexedFaceSet *pParts = pGeometry->NKReadGeometryParts(&n, iStep);
    if (pParts == nullptr) return "null" + S(n);
    std::string text;
    for (int i = 0; i < n; i++) {
        bool bEmpty = pParts[i].iNumPolygons == 0;
        text += bEmpty ? " -" : (pParts[i].bFromElements ? " E" : " F") + S(pParts[i].iNumPolygons);
        NKFreePolygonMesh(&pParts[i]);
    }
    NKFree(pParts);
    return text;
}

// Per entry: its heading, and the face-set, element and part attributes IDs
// of the model step its number names.
std::string Dump(NKFQuolinGeometryBlock *pGeometry)
{
    std::string text;
    for (int i = 0; i < pGeometry->GetNumSteps(); i++) {
        int iStep = pGeometry->GetStepNumber(i) - 1;
        text +=
            NKFStepHeading(pGeometry, i) + " pa" + S(pGeometry->GetPartAttributesBlockId(iStep));
        for (int p = 0; p < pGeometry->GetNumParts(iStep); p++) {
            int iFaceSet = pGeometry->GetPartFaceSetBlockId(iStep, p);
            text += iFaceSet >= 0 ? " F" + S(iFaceSet)
                                  : " E" + S(pGeometry->GetPartElementBlockId(iStep, p));
        }
    }
    return text;
}

// Records every status text on top of the headless status bar.
class StatusRecorder : public NKHeadlessProgressUI {
public:
    void SetStatusText(const char *pszText) override { texts.push_back(pszText ? pszText : ""); }
    std::vector<std::string> texts;
};

}  // namespace

TEST(NKFGeometryBlock, EntriesOneAndFiveCoverStepsZeroToThreeAndFourOn)
{
    for (int iForm : {0, 1, 2}) {
        MessageCapture capture;
        auto pParser = Parse(iForm, {{1, "first", 0.0f, {}, {1}}, {5, "second", 2.5f, {}, {2, 3}}},
                             {}, {1, 2, 3});
        NKFQuolinGeometryBlock *pGeometry = Loaded(pParser);
        std::string counts;
        for (int s = 0; s < 7; s++) counts += S(pGeometry->GetNumParts(s));
        EXPECT_EQ("1111222", counts) << iForm;
        EXPECT_FALSE(pGeometry->StepsDiffer(0, 3));
        EXPECT_TRUE(pGeometry->StepsDiffer(3, 4));
        EXPECT_EQ(" E1 -", PartsText(pGeometry, 0)) << capture.Text();
        EXPECT_EQ(" E1 E1", PartsText(pGeometry, 4));
        EXPECT_EQ("\n1 'first' 0 pa-1 E1\n5 'second' 2.5 pa-1 E2 E3", Dump(pGeometry));
        EXPECT_EQ(3, pGeometry->GetNumItems());
    }
}

TEST(NKFGeometryBlock, NumbersThatDoNotAscendMatchOnlyExactly)
{
    MessageCapture capture;
    auto pParser = Parse(0, {{5, "", 0.0f, {}, {1}}, {1, "", 0.0f, {}, {2, 3}}}, {}, {1, 2, 3});
    NKFQuolinGeometryBlock *pGeometry = Loaded(pParser);
    EXPECT_EQ(2, pGeometry->GetNumParts(0));
    EXPECT_EQ(1, pGeometry->GetNumParts(4));
    EXPECT_EQ(0, pGeometry->GetNumParts(1));
    EXPECT_EQ(-1, pGeometry->GetPartElementBlockId(1, 0));
    EXPECT_EQ("null0", PartsText(pGeometry, 1));
}

TEST(NKFGeometryBlock, FaceSetsComeFirstAndEveryStepGetsTheLargestRecordCount)
{
    std::vector<TestGeometryStep> steps = {{1, "", 0.0f, {1, 2}, {3, 4, 5}},
                                           {2, "", 0.0f, {}, {1, 2, 3, 4, 5, 6, 7}},
                                           {3, "", 0.0f, {7}, {3}}};
    for (int iForm : {0, 1, 2}) {
        MessageCapture capture;
        auto pParser = Parse(iForm, steps, {1, 2, 7}, {1, 2, 3, 4, 5, 6, 7});
        NKFQuolinGeometryBlock *pGeometry = Loaded(pParser);
        EXPECT_EQ(" F1 F1 E1 E1 E1 - -", PartsText(pGeometry, 0)) << capture.Text();
        EXPECT_EQ(" F1 E1 - - - - -", PartsText(pGeometry, 2));
        EXPECT_EQ(
            "\n1 '' 0 pa-1 F1 F2 E3 E4 E5\n2 '' 0 pa-1 E1 E2 E3 E4 E5 E6 E7\n3 '' 0 pa-1 F7 E3",
            Dump(pGeometry));
        int iEntry = -1;
        EXPECT_EQ(7, pGeometry->GetMaxPartCount(&iEntry));
        EXPECT_EQ(1, iEntry);
        if (iForm != 0) continue;
        EXPECT_STREQ("F7", pGeometry->GetPartName(0, 2)->GetText());
        EXPECT_STREQ("E3", pGeometry->GetPartName(1, 2)->GetText());   // no name: the description
        EXPECT_STREQ("E7", pGeometry->GetPartName(6, -1)->GetText());  // the entry with most parts
        EXPECT_EQ(nullptr, pGeometry->GetPartName(2, 2));
    }
}

TEST(NKFGeometryBlock, AsciiRangesSplitListsAndUnknownDirectives)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("geo_lines.nkf",
                             {"*QUOLINGEOMETRY 1", "%ELEMENTS", "3-6", "%STEPNAME \"a\"", "8, 6-5",
                              "%BOGUS", "1", "%INDEXEDFACESET", "2"},
                             &pParser));
    EXPECT_TRUE(capture.HasLine("WARNING : Unknown Identifier found in Indexed Face Set block.",
                                NK_MSG_WARNING));
    EXPECT_EQ("\n1 'a' 0 pa-1 F2 E3 E4 E5 E6 E8 E1", Dump(Loaded(pParser)));
}

TEST(NKFGeometryBlock, OlderBinaryLayoutAndEveryHeaderSizeRead)
{
    std::vector<TestGeometryStep> steps = {{1, "old", 0.0f, {}, {3, 4}, -1, NKF_TEST_OLDER_LAYOUT},
                                           {2, "new", 1.0f, {7}, {5}, 12, -1},
                                           {4, "", 2.0f, {}, {6}, 13, NKF_TEST_OLDER_LAYOUT}};
    struct {
        int32_t iHeaderSize;
        bool bA, bB;
    } const aHeaders[] = {
        {92, false, false}, {96, true, false}, {100, true, true}, {108, false, true}};
    for (bool bBig : {false, true}) {
        for (const auto &h : aHeaders) {
            MessageCapture capture;
            NKFTestWriter w(bBig);
            AppendFileHeader(w);
            AppendGeometryBlock(w, 1, "  model  ", steps, h.iHeaderSize, h.bA, h.bB);
            std::unique_ptr<NKFParser> pParser;
            ASSERT_TRUE(NKFParseBytes("geo_old.nkf", w, &pParser)) << capture.Text();
            NKFQuolinGeometryBlock *pGeometry = Loaded(pParser);
            EXPECT_EQ("\n1 'old' 0 pa-1 E3 E4\n2 'new' 1 pa12 F7 E5\n4 '' 2 pa-1 E6",
                      Dump(pGeometry))
                << h.iHeaderSize << capture.Text();
            EXPECT_STREQ("model", pGeometry->GetName().GetText());
        }
    }
}

TEST(NKFGeometryBlock, ReferencesAreCheckedWithTheirMessages)
{
    MessageCapture capture;
    NKFParser unparsed(NKString("none.nkf"));
    NKFQuolinGeometryBlock block(&unparsed, 3);
    EXPECT_FALSE(block.ResolveReferences());
    EXPECT_TRUE(
        capture.Contains("Block type : *QUOLINGEOMETRY. ID = 3 : Geometry block not parsed."));
    const struct {
        std::vector<std::string> lines;
        bool bBeforeLoad;
        const char *pszMessage;
    } aCases[] = {
        {{"%DESCRIPTION #4"},
         false,
         "Description block (*DESCRIPTION) with ID = 4 not found in file."},
        {{"%STEP 5", "%ELEMENTS", "9", "%INDEXEDFACESET", "7"},
         true,
         "Indexed face set (*INDEXEDFACESET) with ID = 7 not found in file. Referenced in step 5"},
        {{"%STEP 2", "%ELEMENTS", "9"},
         true,
         "Element block (*ELEMENTS) with ID = 9 not found in file. Referenced in step 2"}};
    for (const auto &c : aCases) {
        capture.Clear();
        std::vector<std::string> lines = {"*QUOLINGEOMETRY 1"};
        lines.insert(lines.end(), c.lines.begin(), c.lines.end());
        std::unique_ptr<NKFParser> pParser;
        ASSERT_TRUE(NKFParseBody("geo_refs.nkf", lines, &pParser));
        auto *pGeometry = NKFFindBlock<NKFQuolinGeometryBlock>(pParser, NKF_QUOLINGEOMETRY, 1);
        EXPECT_EQ(c.bBeforeLoad, pGeometry->ResolveReferences());
        ASSERT_TRUE(pGeometry->LoadData());
        EXPECT_FALSE(pGeometry->ResolveReferences());
        EXPECT_TRUE(capture.HasLine(
            "Block type : *QUOLINGEOMETRY. ID = 1 : " + std::string(c.pszMessage), NK_MSG_ERROR))
            << capture.Text();
    }
}

TEST(NKFGeometryBlock, BuildingShowsProgressSharesNodeBlocksAndStopsAtAFailedPart)
{
    MessageCapture capture;
    StatusRecorder recorder;
    NKSetProgressUI(&recorder);
    auto pParser = Parse(0,
                         {{1, "", 0.0f, {1, 2}, {}},
                          {2, "", 0.0f, {}, {3, 13}},
                          {3, "", 0.0f, {}, {3, 9}},
                          {4, "", 0.0f, {}, {20}}},
                         {1, 2}, {3, 13, 20});
    NKFQuolinGeometryBlock *pGeometry = Loaded(pParser);
    auto *pNodes1 = NKFFindBlock<NKFNodeBlock>(pParser, NKF_NODES, 1);
    auto *pNodes2 = NKFFindBlock<NKFNodeBlock>(pParser, NKF_NODES, 2);
    recorder.texts.clear();
    EXPECT_EQ(" F1 F1", PartsText(pGeometry, 0));
    EXPECT_EQ((std::vector<std::string>{"Reading Parts...", "Reading Parts (0%)",
                                        "Reading Parts (50%)", "Done."}),
              recorder.texts);
    EXPECT_TRUE(pNodes1->IsDataLoaded());  // shared by both face sets
    EXPECT_EQ(" E1 E1", PartsText(pGeometry, 1));
    EXPECT_FALSE(pNodes1->IsDataLoaded() || pNodes2->IsDataLoaded());  // one per part
    EXPECT_EQ("null0", PartsText(pGeometry, 2));
    EXPECT_TRUE(capture.HasLine("Block type : *QUOLINGEOMETRY. ID = 1 : ELEMENTS Block ID: 9 "
                                "referenced in QUOLINGEOMETRY block ID: 1 not found.",
                                NK_MSG_ERROR));
    EXPECT_EQ("Error occurred.", recorder.texts.back());
    EXPECT_EQ("null0", PartsText(pGeometry, 3));  // node block 3 is missing
    EXPECT_TRUE(capture.Contains("ID = 1 : Error creating indexed face set from element block."));
    NKSetProgressUI(nullptr);
}

TEST(NKFGeometryBlock, CountsAreCheckedBeforeAnythingIsSized)
{
    std::vector<TestGeometryStep> steps = {{1, "", 0.0f, {}, {1}}, {2, "", 0.0f, {2}, {}}};
    const struct {
        size_t iOffset;  // in the block: 96 step count, 196 and 200 the first step's counts
        int32_t iValue;
        bool bParses;
        const char *pszMessage;
    } aCases[] = {{96, 10001, false, "Too many steps in Geometry block"},
                  {96, -1, false, "Item count does not fit the data size of the block."},
                  {96, 3, false, "Item count does not fit the data size of the block."},
                  {196, 1000000, true, "Item count does not fit the data size of the block."},
                  {200, -5, true, "Item count does not fit the data size of the block."}};
    for (const auto &c : aCases) {
        MessageCapture capture;
        NKFTestWriter w;
        AppendFileHeader(w);
        AppendGeometryBlock(w, 1, "", steps);
        w.PatchInt(16 + c.iOffset, c.iValue);
        std::unique_ptr<NKFParser> pParser;
        ASSERT_EQ(c.bParses, NKFParseBytes("geo_counts.nkf", w, &pParser)) << c.iOffset;
        if (c.bParses) {
            auto *pGeometry = NKFFindBlock<NKFQuolinGeometryBlock>(pParser, NKF_QUOLINGEOMETRY, 1);
            EXPECT_EQ("null0", PartsText(pGeometry, 0));  // the load fails
        }
        EXPECT_TRUE(capture.Contains(c.pszMessage)) << capture.Text();
    }
    const struct {
        std::vector<std::string> lines;
        const char *pszMessage;
    } aAscii[] = {{{"%STEP 1", "1-20000000"}, "Too many IDs in step."},
                  {{"1-12000000", "%STEP 2", "1-12000000", "%STEP 3", "1-12000000"},
                   "Too many IDs in block."},
                  {{}, "Too many steps in Geometry block"}};
    for (const auto &c : aAscii) {
        MessageCapture capture;
        std::vector<std::string> lines = {"*QUOLINGEOMETRY 1"};
        lines.insert(lines.end(), c.lines.begin(), c.lines.end());
        for (int s = 1; c.lines.empty() && s <= 10001; s++)
            lines.insert(lines.end(), {"%STEP", "1"});
        EXPECT_FALSE(NKFParseBody("geo_counts_ascii.nkf", lines));
        EXPECT_TRUE(capture.Contains(c.pszMessage)) << capture.Text();
    }
}

TEST(NKFGeometryBlock, WriteFreeAndPartQueries)
{
    MessageCapture capture;
    NKFParser unparsed(NKString("none.nkf"));
    EXPECT_EQ(0, NKFQuolinGeometryBlock(&unparsed, 1).GetNumItems());
    auto pParser = Parse(0, {{5, "", 0.0f, {1}, {2}}}, {1}, {2});
    NKFQuolinGeometryBlock *pGeometry = Loaded(pParser);
    EXPECT_FALSE(pGeometry->WriteBlock());
    EXPECT_TRUE(capture.Contains(": NKFQuolinGeometryBlock::WriteBlock, not implemented yet"));
    EXPECT_EQ(1, pGeometry->GetPartNodeBlockId(4, 1));
    NKFElementList list;
    EXPECT_TRUE(pGeometry->CreatePartElements(&list, 4, 0, nullptr, 0));  // a face set
    EXPECT_EQ(0, list.iNumElements);
    const int32_t aiNodes[] = {0, 1, 2, 3};
    EXPECT_TRUE(pGeometry->CreatePartElements(&list, 4, 1, aiNodes, 4));
    EXPECT_EQ(1, list.iNumElements);
    NKFFreeElementList(&list);
    EXPECT_FALSE(NKFFindBlock<Elements>(pParser, NKF_ELEMENTS, 2)->IsDataLoaded());
    EXPECT_FALSE(pGeometry->CreatePartElements(&list, 4, 2, aiNodes, 4));
    pGeometry->FreeData();
    EXPECT_EQ(0, pGeometry->GetNumParts(4));  // not loaded
    EXPECT_EQ(2, pGeometry->GetNumItems());   // the counts stay
    EXPECT_TRUE(pGeometry->HasStep(5));       // loads again
    EXPECT_FALSE(pGeometry->HasStep(1));
}

TEST(NKFGeometryBlock, DamagedFilesNeverCrash)
{
    MessageCapture capture;
    std::vector<TestGeometryStep> steps = {{1, "a", 0.0f, {1}, {3, 13}},
                                           {3, "b", 1.0f, {}, {3, 4}, -1, NKF_TEST_OLDER_LAYOUT}};
    std::string path = NKFTestPath("geo_damaged.nkf");
    std::string text = NKFJoinLines(MeshLines(steps, {1}, {3, 13}));
    for (size_t iSize = 0; iSize <= text.size(); iSize++) {
        ASSERT_TRUE(NKTestWriteText(path, text.substr(0, iSize)));
        NKFExerciseEveryBlock(path, iSize % 2 == 0);
        capture.Clear();
    }
    for (bool bBig : {false, true}) {
        size_t iStart = 0;
        NKFTestWriter w = MeshWords(bBig, steps, {1}, {3, 13}, &iStart);
        for (size_t iSize = iStart; iSize <= w.Size(); iSize++) {
            ASSERT_TRUE(NKTestWriteBytes(path, w.Data().data(), iSize));
            NKFExerciseEveryBlock(path, iSize % 2 == 0);
            capture.Clear();
        }
        for (size_t iOffset = iStart; !bBig && iOffset + 4 <= w.Size(); iOffset += 4) {
            for (int32_t iValue : {-1, 0, 1, 7, 0x40000000}) {
                NKFTestWriter damaged = w;
                damaged.PatchInt(iOffset, iValue);
                ASSERT_TRUE(NKTestWriteBytes(path, damaged.Data()));
                NKFExerciseEveryBlock(path);
                capture.Clear();
            }
        }
    }
}
