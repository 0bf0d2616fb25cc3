// tests/nkf/test_nkf_geometry_block.cpp -- the *QUOLINGEOMETRY block through
// the parser, in the ASCII form and the binary form in both byte orders: the
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
#include "tests/nkf/nkf_damage_check.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nkf_geometry_writer.h"
#include "tests/test_support/nkf_mesh_writer.h"
#include "tests/test_support/nkf_step_test_support.h"
#include "tests/test_support/nkf_test_parse.h"
#include "tests/test_support/test_files.h"

namespace {

using Steps = std::vector<TestGeometryStep>;

std::string S(int i) { return std::to_string(i); }

// Every file holds node blocks 1 and 2 (a square each), these face sets
// (one triangle each, named "F<id>" in ASCII) and element blocks (one quad
// each, described "E<id>"); blocks below 10 use node block 1, below 20 node
// block 2, the others the missing node block 3.
const std::vector<int32_t> kFaceSets = {1, 2, 7}, kElements = {1, 2, 3, 4, 5, 6, 7, 13, 20};
int NodesOf(int32_t iID) { return iID < 10 ? 1 : iID < 20 ? 2 : 3; }

// The mesh and geometry block 1, as ASCII lines or as binary words whose
// geometry block starts at *piStart.
std::vector<std::string> MeshLines(const Steps &steps)
{
    std::vector<std::string> lines = {"*NKF-1.00"};
    for (int n : {1, 2})
        lines.insert(lines.end(), {"*NODES " + S(n), "0 0 0", "1 0 0", "1 1 0", "0 1 0"});
    for (int32_t id : kFaceSets)
        lines.insert(lines.end(), {"*INDEXEDFACESET " + S(id), "%NODES #" + S(NodesOf(id)),
                                   "%NAME \"F" + S(id) + "\"", "1 2 -3"});
    for (int32_t id : kElements)
        lines.insert(lines.end(), {"*ELEMENTS " + S(id), "%NODES #" + S(NodesOf(id)),
                                   "%DESCRIPTION \"E" + S(id) + "\"", "%QUADS", "1 2 3 4"});
    for (const std::string &line : GeometryLines(1, "model", steps)) lines.push_back(line);
    return lines;
}

NKFTestWriter MeshWords(bool bBig, const Steps &steps, size_t *piStart = nullptr)
{
    const float afSquare[] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    NKFTestWriter w(bBig);
    AppendFileHeader(w);
    for (int n : {1, 2}) AppendNodesBlock(w, n, nullptr, afSquare, 4);
    for (int32_t id : kFaceSets) AppendFaceSetBlock(w, id, NodesOf(id), {{0, {1, 2, 3}}}, false);
    for (int32_t id : kElements)
        AppendElementsBlock(w, id, NodesOf(id), {{5, {}, {1, 2, 3, 4}, 1}}, false);
    if (piStart != nullptr) *piStart = w.Size();
    AppendGeometryBlock(w, 1, "model", steps);
    return w;
}

// Form 0 is ASCII, 1 and 2 binary little- and big-endian.
std::unique_ptr<NKFParser> Parse(int iForm, const Steps &steps)
{
    std::unique_ptr<NKFParser> pParser;
    bool bOk = iForm == 0 ? NKFParseLines("geo.nkf", MeshLines(steps), &pParser)
                          : NKFParseBytes("geo.nkf", MeshWords(iForm == 2, steps), &pParser);
    EXPECT_TRUE(bOk);
    return pParser;
}

NKFQuolinGeometryBlock *Geometry(const std::unique_ptr<NKFParser> &pParser)
{
    return NKFFindBlock<NKFQuolinGeometryBlock>(pParser, NKF_QUOLINGEOMETRY, 1);
}

// The records of a step: "F" or "E" by the from-elements flag and the
// polygon count per part, "-" per empty record; "null" and the count when
// no array comes back.
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

// Per entry: its heading, part attributes and part block IDs, asked for the
// model step its number names.
std::string Dump(NKFQuolinGeometryBlock *pGeometry)
{
    std::string text = pGeometry->LoadData() ? "" : "load failed";
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
    void SetStatusText(const char *pszText) override { texts.push_back(pszText); }
    std::vector<std::string> texts;
};

}  // namespace

TEST(NKFGeometryBlock, StepEntriesGivePartsInOrderAndTheLargestRecordCount)
{
    const struct {
        Steps steps;
        const char *pszDump;
        std::vector<std::pair<int, const char *>> parts;  // model step, records
    } aCases[] = {
        // Entries 1 and 5: model step indices 0-3 use the first, 4 and on the second.
        {{{1, "first", 0.0f, {}, {1}}, {5, "second", 2.5f, {}, {2, 3}}},
         "\n1 'first' 0 pa-1 E1\n5 'second' 2.5 pa-1 E2 E3",
         {{0, " E1 -"}, {3, " E1 -"}, {4, " E1 E1"}, {9, " E1 E1"}}},
        // Numbers that do not ascend match only exactly.
        {{{5, "", 0.0f, {}, {1}}, {1, "", 0.0f, {}, {2, 3}}},
         "\n5 '' 0 pa-1 E1\n1 '' 0 pa-1 E2 E3",
         {{0, " E1 E1"}, {1, "null0"}, {4, " E1 -"}}},
        // Face sets first; every step gets the seven records of the largest.
        {{{1, "", 0.0f, {1, 2}, {3, 4, 5}},
          {2, "", 0.0f, {}, {1, 2, 3, 4, 5, 6, 7}},
          {3, "", 0.0f, {7}, {3}}},
         "\n1 '' 0 pa-1 F1 F2 E3 E4 E5\n2 '' 0 pa-1 E1 E2 E3 E4 E5 E6 E7\n3 '' 0 pa-1 F7 E3",
         {{0, " F1 F1 E1 E1 E1 - -"}, {2, " F1 E1 - - - - -"}}}};
    for (const auto &c : aCases) {
        for (int iForm : {0, 1, 2}) {
            MessageCapture capture;
            auto pParser = Parse(iForm, c.steps);
            EXPECT_EQ(c.pszDump, Dump(Geometry(pParser))) << iForm;
            for (const auto &part : c.parts)
                EXPECT_EQ(part.second, PartsText(Geometry(pParser), part.first)) << capture.Text();
        }
    }
    // ASCII ranges, and a list split by other lines, which goes on warning.
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("geo_lines.nkf",
                             {"*QUOLINGEOMETRY 1", "%ELEMENTS", "3-6", "%STEPNAME \"a\"", "8, 6-5",
                              "%BOGUS", "1", "%INDEXEDFACESET", "2"},
                             &pParser));
    EXPECT_TRUE(capture.HasLine("WARNING : Unknown Identifier found in Indexed Face Set block.",
                                NK_MSG_WARNING));
    EXPECT_EQ("\n1 'a' 0 pa-1 F2 E3 E4 E5 E6 E8 E1", Dump(Geometry(pParser)));
}

TEST(NKFGeometryBlock, OlderBinaryLayoutAndEveryHeaderSizeRead)
{
    Steps steps = {{1, "old", 0.0f, {}, {3, 4}, -1, NKF_TEST_OLDER_LAYOUT},
                   {2, "new", 1.0f, {7}, {5}, 12, -1},
                   {4, "", 2.0f, {}, {6}, 13, NKF_TEST_OLDER_LAYOUT}};
    for (bool bBig : {false, true}) {
        for (int32_t iHeaderSize : {92, 96, 100, 108}) {
            bool bA = iHeaderSize == 96 || iHeaderSize == 100, bB = iHeaderSize >= 100;
            MessageCapture capture;
            NKFTestWriter w(bBig);
            AppendFileHeader(w);
            AppendGeometryBlock(w, 1, "  model  ", steps, iHeaderSize, bA, bB);
            std::unique_ptr<NKFParser> pParser;
            ASSERT_TRUE(NKFParseBytes("geo_old.nkf", w, &pParser)) << capture.Text();
            EXPECT_EQ("\n1 'old' 0 pa-1 E3 E4\n2 'new' 1 pa12 F7 E5\n4 '' 2 pa-1 E6",
                      Dump(Geometry(pParser)))
                << iHeaderSize;
            EXPECT_STREQ("model", Geometry(pParser)->GetName().GetText());
        }
    }
}

TEST(NKFGeometryBlock, ReferencesAreCheckedWithTheirMessages)
{
    MessageCapture capture;
    NKFParser unparsed(NKString("none.nkf"));
    EXPECT_FALSE(NKFQuolinGeometryBlock(&unparsed, 3).ResolveReferences());
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
        EXPECT_EQ(c.bBeforeLoad, Geometry(pParser)->ResolveReferences());
        ASSERT_TRUE(Geometry(pParser)->LoadData());
        EXPECT_FALSE(Geometry(pParser)->ResolveReferences());
        EXPECT_TRUE(capture.HasLine(
            "Block type : *QUOLINGEOMETRY. ID = 1 : " + std::string(c.pszMessage), NK_MSG_ERROR));
    }
}

TEST(NKFGeometryBlock, BuildingShowsProgressSharesNodeBlocksAndStopsAtAFailedPart)
{
    MessageCapture capture;
    StatusRecorder recorder;
    NKSetProgressUI(&recorder);
    auto pParser = Parse(0, {{1, "", 0.0f, {1, 2}, {}},
                             {2, "", 0.0f, {}, {3, 13}},
                             {3, "", 0.0f, {}, {3, 9}},
                             {4, "", 0.0f, {}, {20}}});
    auto *pNodes1 = NKFFindBlock<NKFNodeBlock>(pParser, NKF_NODES, 1);
    auto *pNodes2 = NKFFindBlock<NKFNodeBlock>(pParser, NKF_NODES, 2);
    recorder.texts.clear();
    EXPECT_EQ(" F1 F1", PartsText(Geometry(pParser), 0));
    EXPECT_EQ((std::vector<std::string>{"Reading Parts...", "Reading Parts (0%)",
                                        "Reading Parts (50%)", "Done."}),
              recorder.texts);
    EXPECT_TRUE(pNodes1->IsDataLoaded());  // shared by both face sets
    EXPECT_EQ(" E1 E1", PartsText(Geometry(pParser), 1));
    EXPECT_FALSE(pNodes1->IsDataLoaded() || pNodes2->IsDataLoaded());  // freed after each part
    EXPECT_EQ("null0", PartsText(Geometry(pParser), 2));
    EXPECT_TRUE(capture.HasLine("Block type : *QUOLINGEOMETRY. ID = 1 : ELEMENTS Block ID: 9 "
                                "referenced in QUOLINGEOMETRY block ID: 1 not found.",
                                NK_MSG_ERROR));
    EXPECT_EQ("Error occurred.", recorder.texts.back());
    EXPECT_EQ("null0", PartsText(Geometry(pParser), 3));  // its node block 3 is missing
    EXPECT_TRUE(capture.Contains("ID = 1 : Error creating indexed face set from element block."));
    NKSetProgressUI(nullptr);
}

TEST(NKFGeometryBlock, ElementPartsFreeTheirNodeBlockAfterItsLastPart)
{
    // Parts 1 and 3 use node block 1, part 2 node block 2: the first part
    // leaves node block 1 loaded for the third, which takes its arrays over.
    const float afSquare[] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    for (int iForm = 0; iForm < 3; iForm++) {
        SCOPED_TRACE(iForm);
        auto pParser = Parse(iForm, {{1, "", 0.0f, {}, {1, 13, 2}}});
        int n = -1;
        NKIndexedFaceSet *pParts = Geometry(pParser)->NKReadGeometryParts(&n, 0);
        ASSERT_NE(pParts, nullptr);
        ASSERT_EQ(3, n);
        for (int i = 0; i < n; i++) {
            const NKIndexedFaceSet &part = pParts[i];
            ASSERT_EQ(4, part.iNumNodes) << i;
            ASSERT_EQ(1, part.iNumPolygons) << i;
            EXPECT_EQ(std::vector<float>(afSquare, afSquare + 12),
                      std::vector<float>(part.pfCoords, part.pfCoords + 12))
                << i;
            EXPECT_EQ((std::vector<int>{0, 1, 2, 3}),
                      std::vector<int>(part.piNodeSourceIndex, part.piNodeSourceIndex + 4))
                << i;
            EXPECT_EQ((std::vector<int>{0, 1, 2, 3}),
                      std::vector<int>(part.piConnects, part.piConnects + 4))
                << i;
            NKFreePolygonMesh(&pParts[i]);
        }
        NKFree(pParts);
        for (int iNodes : {1, 2})
            EXPECT_FALSE(NKFFindBlock<NKFNodeBlock>(pParser, NKF_NODES, iNodes)->IsDataLoaded());
    }
}

TEST(NKFGeometryBlock, CountsAreCheckedBeforeAnythingIsSized)
{
    const char *pszFit = "Item count does not fit the data size of the block.";
    const struct {
        size_t iOffset;  // in the block: 96 step count, 196 and 200 the first step's counts
        int32_t iValue;
        bool bParses;
        const char *pszMessage;
    } aCases[] = {{96, 10001, false, "Too many steps in Geometry block"},
                  {96, -1, false, pszFit},
                  {96, 3, false, pszFit},
                  {196, 1000000, true, pszFit},
                  {200, -5, true, pszFit}};
    for (const auto &c : aCases) {
        MessageCapture capture;
        NKFTestWriter w;
        AppendFileHeader(w);
        AppendGeometryBlock(w, 1, "", {{1, "", 0.0f, {}, {1}}, {2, "", 0.0f, {2}, {}}});
        w.PatchInt(16 + c.iOffset, c.iValue);
        std::unique_ptr<NKFParser> pParser;
        ASSERT_EQ(c.bParses, NKFParseBytes("geo_counts.nkf", w, &pParser)) << c.iOffset;
        if (c.bParses) {
            EXPECT_EQ("null0", PartsText(Geometry(pParser), 0));  // the load fails
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

TEST(NKFGeometryBlock, QueriesWriteAndFree)
{
    MessageCapture capture;
    NKFParser unparsed(NKString("none.nkf"));
    EXPECT_EQ(0, NKFQuolinGeometryBlock(&unparsed, 1).GetNumItems());
    auto pParser = Parse(0, {{5, "", 0.0f, {1}, {2}}, {7, "", 0.0f, {}, {2}}});
    NKFQuolinGeometryBlock *pGeometry = Geometry(pParser);
    EXPECT_EQ(3, pGeometry->GetNumItems());
    EXPECT_EQ(0, pGeometry->GetNumParts(4));  // not loaded yet
    EXPECT_TRUE(pGeometry->HasStep(5));       // loads
    EXPECT_FALSE(pGeometry->HasStep(6));
    EXPECT_TRUE(pGeometry->StepsDiffer(5, 6) && !pGeometry->StepsDiffer(4, 5));
    EXPECT_EQ(1, pGeometry->GetPartNodeBlockId(4, 1));
    EXPECT_STREQ("F1", pGeometry->GetPartName(0, -1)->GetText());  // the entry with most parts
    EXPECT_STREQ("E2", pGeometry->GetPartName(0, 6)->GetText());   // no name: the description
    EXPECT_EQ(nullptr, pGeometry->GetPartName(1, 6));
    NKFElementList list;
    const int32_t aiNodes[] = {0, 1, 2, 3};
    EXPECT_TRUE(pGeometry->CreatePartElements(&list, 4, 0, aiNodes, 4));  // a face set
    EXPECT_EQ(0, list.iNumElements);
    EXPECT_TRUE(pGeometry->CreatePartElements(&list, 4, 1, aiNodes, 4));
    EXPECT_EQ(1, list.iNumElements);
    NKFFreeElementList(&list);
    EXPECT_FALSE(NKFFindBlock<Elements>(pParser, NKF_ELEMENTS, 2)->IsDataLoaded());
    EXPECT_FALSE(pGeometry->CreatePartElements(&list, 4, 2, aiNodes, 4));
    EXPECT_FALSE(pGeometry->WriteBlock());
    EXPECT_TRUE(capture.Contains(": NKFQuolinGeometryBlock::WriteBlock, not implemented yet"));
    pGeometry->FreeData();
    EXPECT_EQ(-1, pGeometry->GetPartFaceSetBlockId(4, 0));
    EXPECT_EQ(3, pGeometry->GetNumItems());  // the counts stay
    std::unique_ptr<NKFParser> pEmpty;
    ASSERT_TRUE(NKFParseBody("geo_empty.nkf", {"*QUOLINGEOMETRY 1"}, &pEmpty));
    EXPECT_EQ("", PartsText(Geometry(pEmpty), 0));  // an array without records
}

TEST(NKFGeometryBlock, DamagedFilesNeverCrash)
{
    MessageCapture capture;
    Steps steps = {{1, "a", 0.0f, {1}, {3, 13}},
                   {3, "b", 1.0f, {}, {3, 4}, -1, NKF_TEST_OLDER_LAYOUT}};
    std::string path = NKFTestPath("geo_damaged.nkf");
    // bInvalid: the damage is known to make the file invalid.
    auto exercise = [&](const void *pData, size_t iSize, bool bInvalid, const std::string &where) {
        ASSERT_TRUE(NKTestWriteBytes(path, pData, iSize));
        NKFExpectDamageReported(path, &capture, bInvalid, where, iSize % 2 == 0);
    };
    std::string text = NKFJoinLines(MeshLines(steps));
    for (size_t iSize = 0; iSize <= text.size(); iSize++)
        exercise(text.data(), iSize, iSize < 10, "text cut at " + std::to_string(iSize));
    for (bool bBig : {false, true}) {
        size_t iStart = 0;  // cuts and damage within the geometry block, the last
        NKFTestWriter w = MeshWords(bBig, steps, &iStart);
        for (size_t iSize = iStart; iSize <= w.Size(); iSize++)
            exercise(w.Data().data(), iSize, iSize > iStart && iSize < w.Size(),
                     "cut at " + std::to_string(iSize));
        for (size_t iOffset = iStart; iOffset + 4 <= w.Size(); iOffset += 4) {
            for (int32_t iValue : {-1, 0, 1, 7, 0x40000000}) {
                NKFTestWriter damaged = w;
                damaged.PatchInt(iOffset, iValue);
                exercise(damaged.Data().data(), damaged.Size(), false,
                         "word at " + std::to_string(iOffset) + " = " + std::to_string(iValue));
            }
        }
    }
}
