// tests/nkf/test_nkf_elements.cpp -- the *ELEMENTS block: every element type
// turned into polygons by the face table (ASCII keywords and binary codes,
// both byte orders, references resolved at once and deferred), the section
// rules, node references as IDs or indices, the header fields and their
// messages, the reference check, the element list and element IDs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/nk_element_types.h"
#include "core/nk_mesh.h"
#include "nkf/nkf_elements.h"
#include "nkf/nkf_nodes.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nk_test_records.h"
#include "tests/test_support/nkf_mesh_writer.h"
#include "tests/test_support/nkf_test_parse.h"

namespace {

typedef std::vector<std::vector<int>> Polygons;

// One polygon of a record: its node-block indices, whole-element flag and
// element index.
struct Polygon {
    std::vector<int> nodes;
    int bWhole;
    int iElement;
    bool operator==(const Polygon &o) const
    {
        return nodes == o.nodes && bWhole == o.bWhole && iElement == o.iElement;
    }
};

std::ostream &operator<<(std::ostream &os, const Polygon &p)
{
    os << "{";
    for (int n : p.nodes) os << n << " ";
    return os << (p.bWhole ? "W" : "-") << " e" << p.iElement << "}";
}

std::vector<Polygon> RecordPolygons(const NKIndexedFaceSet &r)
{
    std::vector<Polygon> polygons;
    for (int p = 0; p < r.iNumPolygons; p++) {
        Polygon poly{{}, r.pbWholeElement[p], r.piPolygonElement[p]};
        for (int k = 0; k < r.piPolygonNumNodes[p]; k++)
            poly.nodes.push_back(r.piNodeSourceIndex[r.piConnects[r.piPolygonStart[p] + k]]);
        polygons.push_back(poly);
    }
    return polygons;
}

// The face table, written out independently of the reader: per type code its
// keyword, node count, whether its polygons are the whole element, and the
// polygons in local node numbers.
struct TypeRow {
    const char *pszKeyword;
    int iNodes;
    bool bWhole;
    Polygons faces;
};

const Polygons g_Hexa = {{0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6},
                         {3, 0, 4, 7}, {4, 5, 6, 7}, {0, 3, 2, 1}};

const TypeRow g_aTypes[19] = {
    {"%BEAMS", 2, true, {{0, 1}}},
    {"%BEAMS_3", 3, true, {{0, 1}, {1, 2}}},
    {"%TRIANGLES", 3, true, {{0, 1, 2}}},
    {"%TRIANGLES_6", 6, true, {{0, 3, 1, 4, 2, 5}}},
    {"%QUADS", 4, true, {{0, 1, 2, 3}}},
    {"%QUADS_8", 8, true, {{0, 4, 1, 5, 2, 6, 3, 7}}},
    {"%TETRAHEDRONS", 4, false, {{0, 1, 3}, {1, 2, 3}, {2, 0, 3}, {0, 2, 1}}},
    {"%TETRAHEDRONS_10",
     10,
     false,
     {{0, 4, 1, 8, 3, 7}, {1, 5, 2, 9, 3, 8}, {2, 6, 0, 7, 3, 9}, {0, 6, 2, 5, 1, 4}}},
    {"%HEXAHEDRONS", 8, false, g_Hexa},
    {"%HEXAHEDRONS_20",
     20,
     false,
     {{0, 8, 1, 17, 5, 12, 4, 16},
      {1, 9, 2, 18, 6, 13, 5, 17},
      {2, 10, 3, 19, 7, 14, 6, 18},
      {3, 11, 0, 16, 4, 15, 7, 19},
      {4, 12, 5, 13, 6, 14, 7, 15},
      {0, 11, 3, 10, 2, 9, 1, 8}}},
    {"%PENTAHEDRONS", 6, false, {{0, 1, 4, 3}, {1, 2, 5, 4}, {2, 0, 3, 5}, {3, 4, 5}, {0, 2, 1}}},
    {"%PENTAHEDRONS_15",
     15,
     false,
     {{0, 6, 1, 13, 4, 9, 3, 12},
      {1, 7, 2, 14, 5, 10, 4, 13},
      {2, 8, 0, 12, 3, 11, 5, 14},
      {3, 9, 4, 10, 5, 11},
      {0, 8, 2, 7, 1, 6}}},
    {"", 8, false, g_Hexa},         // brick
    {"", 8, false, g_Hexa},         // thick shell
    {"", 4, true, {{0, 1, 2, 3}}},  // shell
    {"", 4, true, {{0, 1, 2, 3}}},  // rigid shell
    {"", 2, true, {{0, 1}}},        // second beam kind
    {"%POINTS", 1, true, {{0}}},
    {"%UNKNOWN", 0, false, {}},
};

const int g_aiKeywordTypes[14] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 17, 18};

// A model of sections with two elements each. Element e of a section of n
// nodes refers to its own run of nodes in reverse order, so that every
// polygon shows which local node each of its corners came from.
struct Model {
    std::vector<int> types;
    int iNumNodes = 0;
    std::vector<std::vector<int>> refs;  // per section, 1-based references
    std::vector<std::vector<int>> ids;   // per section, element IDs
};

Model MakeModel(const std::vector<int> &types)
{
    Model m;
    m.types = types;
    int iElement = 0;
    for (int t : types) {
        std::vector<int> refs, ids;
        int n = g_aTypes[t].iNodes;
        for (int e = 0; e < 2; e++, iElement++) {
            for (int k = 0; k < n; k++) refs.push_back(m.iNumNodes + n - k);
            m.iNumNodes += n;
            ids.push_back(1000 + iElement);
        }
        m.refs.push_back(refs);
        m.ids.push_back(ids);
    }
    return m;
}

// The polygons the face table gives for the model, in section and element order.
std::vector<Polygon> ExpectedPolygons(const Model &m)
{
    std::vector<Polygon> polygons;
    int iElement = 0;
    for (size_t s = 0; s < m.types.size(); s++) {
        const TypeRow &row = g_aTypes[m.types[s]];
        for (int e = 0; e < 2; e++, iElement++) {
            for (const std::vector<int> &face : row.faces) {
                Polygon p{{}, row.bWhole ? 1 : 0, iElement};
                for (int k : face) p.nodes.push_back(m.refs[s][(size_t)(e * row.iNodes + k)] - 1);
                polygons.push_back(p);
            }
        }
    }
    return polygons;
}

std::vector<std::string> AsciiNodeLines(int iNumNodes)
{
    std::vector<std::string> lines = {"*NODES 1"};
    for (int i = 0; i < iNumNodes; i++) lines.push_back(std::to_string(i) + " 0 0");
    return lines;
}

std::vector<std::string> AsciiModel(const Model &m, bool bWithIDs)
{
    std::vector<std::string> lines = {"*NKF-1.00"};
    std::vector<std::string> nodes = AsciiNodeLines(m.iNumNodes);
    lines.insert(lines.end(), nodes.begin(), nodes.end());
    lines.insert(lines.end(), {"*ELEMENTS 1", "%NODES #1"});
    if (bWithIDs) lines.push_back("%WITH_ID");
    for (size_t s = 0; s < m.types.size(); s++) {
        const TypeRow &row = g_aTypes[m.types[s]];
        lines.push_back(row.pszKeyword);
        for (int e = 0; e < 2; e++) {
            std::string line = bWithIDs ? std::to_string(m.ids[s][(size_t)e]) : "";
            for (int k = 0; k < row.iNodes; k++) {
                if (!line.empty()) line += " ";
                line += std::to_string(m.refs[s][(size_t)(e * row.iNodes + k)]);
            }
            lines.push_back(line.empty() ? "0" : line);  // a line of an unknown element
        }
    }
    return lines;
}

NKFTestWriter BinaryModel(const Model &m, bool bBigEndian, bool bWithIDs, bool bExtended,
                          int32_t iHeaderSize)
{
    NKFTestWriter w(bBigEndian);
    AppendFileHeader(w);
    std::vector<float> coords;
    for (int i = 0; i < m.iNumNodes; i++) coords.insert(coords.end(), {(float)i, 0, 0});
    AppendNodesBlock(w, 1, nullptr, coords.data(), m.iNumNodes);
    std::vector<NKFTestSection> sections;
    for (size_t s = 0; s < m.types.size(); s++)
        sections.push_back({m.types[s] + 1, m.ids[s], m.refs[s], 2});
    AppendElementsBlock(w, 1, 1, sections, bWithIDs, bExtended, 255, iHeaderSize, 24);
    return w;
}

Elements *ElementBlock(const std::unique_ptr<NKFParser> &pParser, int iID)
{
    return dynamic_cast<Elements *>(pParser->FindBlock(NKF_ELEMENTS, iID));
}

// Builds the part of element block 1 and compares it with the face table.
void ExpectModelPolygons(const std::unique_ptr<NKFParser> &pParser, const Model &m, bool bWithIDs)
{
    Elements *pBlock = ElementBlock(pParser, 1);
    ASSERT_NE(nullptr, pBlock);
    EXPECT_EQ((int)m.types.size(), pBlock->GetNumSections());
    EXPECT_EQ(2 * (int)m.types.size(), pBlock->GetNumItems());
    NKTestFaceSet fs;
    ASSERT_TRUE(pBlock->NKCreatePartFromElements(&fs.r, false));
    EXPECT_EQ(ExpectedPolygons(m), RecordPolygons(fs.r));
    EXPECT_EQ(1, fs.r.bFromElements);
    EXPECT_EQ(0, fs.r.bNodesNotCompacted);
    if (bWithIDs) {
        EXPECT_EQ(m.ids.back()[1], pBlock->GetElementId(2 * (int)m.types.size() - 1));
        EXPECT_EQ(m.ids[0][0], pBlock->GetElementId(0));
    } else {
        EXPECT_EQ(-1, pBlock->GetElementId(0));
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// The face table

TEST(NKFElements, FaceTableAgreesWithTheElementTypeTable)
{
    for (int t = 0; t < 19; t++) {
        int iNodes = 0;
        for (const std::vector<int> &face : g_aTypes[t].faces) iNodes += (int)face.size();
        EXPECT_EQ(NKFElementFaceCount(t), (int)g_aTypes[t].faces.size()) << t;
        EXPECT_EQ(NKFElementFaceNodeCount(t), iNodes) << t;
        EXPECT_EQ(NKFElementNodeCount(t), g_aTypes[t].iNodes) << t;
        EXPECT_STREQ(NKElementTypeTable[t].szKeyword, g_aTypes[t].pszKeyword) << t;
    }
}

TEST(NKFElements, AllKeywordTypesGiveTheFaceTablePolygonsInAscii)
{
    MessageCapture capture;
    Model m = MakeModel(std::vector<int>(g_aiKeywordTypes, g_aiKeywordTypes + 14));
    for (bool bDefer : {true, false}) {
        for (bool bWithIDs : {true, false}) {
            if (!bDefer && !bWithIDs) continue;  // an unknown element's line then holds no word
            bool bOk = false;
            std::unique_ptr<NKFParser> pParser;
            bOk = NKFParseLines("all_types.nkf", AsciiModel(m, bWithIDs), &pParser, bDefer);
            ASSERT_TRUE(bOk) << capture.Text();
            ExpectModelPolygons(pParser, m, bWithIDs);
        }
    }
    EXPECT_FALSE(capture.Contains("Error")) << capture.Text();
}

TEST(NKFElements, AllNineteenTypesGiveTheFaceTablePolygonsInBinary)
{
    MessageCapture capture;
    std::vector<int> types;
    for (int t = 0; t < 19; t++) types.push_back(t);
    Model m = MakeModel(types);
    for (bool bBig : {false, true}) {
        for (bool bWithIDs : {false, true}) {
            for (bool bExtended : {false, true}) {
                for (bool bDefer : {true, false}) {
                    bool bOk = false;
                    NKFTestWriter w = BinaryModel(m, bBig, bWithIDs, bExtended, 124);
                    std::unique_ptr<NKFParser> pParser;
                    bOk = NKFParseBytes("all_types.bin.nkf", w, &pParser, bDefer);
                    ASSERT_TRUE(bOk) << capture.Text();
                    EXPECT_EQ(bExtended, ElementBlock(pParser, 1)->HasExtendedSectionHeaders());
                    ExpectModelPolygons(pParser, m, bWithIDs);
                }
            }
        }
    }
}

TEST(NKFElements, ShortBinaryHeaderReadsWithDefaults)
{
    MessageCapture capture;
    Model m = MakeModel({8, 4});
    bool bOk = false;
    std::unique_ptr<NKFParser> pParser;
    bOk = NKFParseBytes("short_header.bin.nkf", BinaryModel(m, true, true, false, 112), &pParser);
    ASSERT_TRUE(bOk) << capture.Text();
    Elements *pBlock = ElementBlock(pParser, 1);
    EXPECT_FALSE(pBlock->HasExtendedSectionHeaders());
    EXPECT_EQ(-1, pBlock->GetNodeReferenceMode());
    EXPECT_STREQ("elements", pBlock->GetDescription().GetText());
    EXPECT_EQ(nullptr, pBlock->GetBlockColor());
    ExpectModelPolygons(pParser, m, true);
}

// ---------------------------------------------------------------------------
// Sections

TEST(NKFElements, LinesWithoutKeywordsAreHexahedraAndQuadsAreWhole)
{
    MessageCapture capture;
    std::vector<std::string> lines = {"*NKF-1.00"};
    std::vector<std::string> nodes = AsciiNodeLines(8);
    lines.insert(lines.end(), nodes.begin(), nodes.end());
    lines.insert(lines.end(), {"*ELEMENTS 1", "%NODES #1", "1 2 3 4 5 6 7 8", "*ELEMENTS 2",
                               "%NODES #1", "%QUADS", "1 2 3 4"});
    for (bool bDefer : {true, false}) {
        bool bOk = false;
        std::unique_ptr<NKFParser> pParser;
        bOk = NKFParseLines("hexa.nkf", lines, &pParser, bDefer);
        ASSERT_TRUE(bOk) << capture.Text();
        NKTestFaceSet hexa, quad;
        ASSERT_TRUE(ElementBlock(pParser, 1)->NKCreatePartFromElements(&hexa.r, false));
        EXPECT_EQ((std::vector<Polygon>{{{0, 1, 5, 4}, 0, 0},
                                        {{1, 2, 6, 5}, 0, 0},
                                        {{2, 3, 7, 6}, 0, 0},
                                        {{3, 0, 4, 7}, 0, 0},
                                        {{4, 5, 6, 7}, 0, 0},
                                        {{0, 3, 2, 1}, 0, 0}}),
                  RecordPolygons(hexa.r));
        EXPECT_EQ(8, hexa.r.iNumNodes);
        EXPECT_EQ(NK_ELEM_HEXAHEDRON, ElementBlock(pParser, 1)->GetSectionType(0));
        ASSERT_TRUE(ElementBlock(pParser, 2)->NKCreatePartFromElements(&quad.r, false));
        EXPECT_EQ((std::vector<Polygon>{{{0, 1, 2, 3}, 1, 0}}), RecordPolygons(quad.r));
        EXPECT_EQ(4, quad.r.iNumNodes);
    }
}

TEST(NKFElements, LinesBeforeTheFirstKeywordFormAHexahedronSection)
{
    MessageCapture capture;
    std::vector<std::string> lines = {"*NKF-1.00"};
    std::vector<std::string> nodes = AsciiNodeLines(8);
    lines.insert(lines.end(), nodes.begin(), nodes.end());
    lines.insert(lines.end(), {"*ELEMENTS 1", "%NODES #1", "1 2 3 4 5 6 7 8", "%QUADS", "5 6 7 8",
                               "%TRIANGLES", "1 2 3"});
    for (bool bDefer : {true, false}) {
        bool bOk = false;
        std::unique_ptr<NKFParser> pParser;
        bOk = NKFParseLines("hexa_first.nkf", lines, &pParser, bDefer);
        ASSERT_TRUE(bOk) << capture.Text();
        Elements *pBlock = ElementBlock(pParser, 1);
        ASSERT_EQ(3, pBlock->GetNumSections());
        EXPECT_EQ((std::vector<int>{8, 4, 2}),
                  (std::vector<int>{pBlock->GetSectionType(0), pBlock->GetSectionType(1),
                                    pBlock->GetSectionType(2)}));
        NKTestFaceSet fs;
        ASSERT_TRUE(pBlock->NKCreatePartFromElements(&fs.r, false)) << capture.Text();
        std::vector<Polygon> polygons = RecordPolygons(fs.r);
        ASSERT_EQ(8u, polygons.size());
        EXPECT_EQ((Polygon{{4, 5, 6, 7}, 1, 1}), polygons[6]);
        EXPECT_EQ((Polygon{{0, 1, 2}, 1, 2}), polygons[7]);
    }
}

TEST(NKFElements, EmptySectionsAreSkippedByBothPasses)
{
    MessageCapture capture;
    std::vector<std::string> lines = {"*NKF-1.00"};
    std::vector<std::string> nodes = AsciiNodeLines(4);
    lines.insert(lines.end(), nodes.begin(), nodes.end());
    lines.insert(lines.end(), {"*ELEMENTS 1", "%NODES #1", "%TRIANGLES", "%QUADS", "1 2 3 4",
                               "%BEAMS", "%UNKNOWN_WORD", "%POINTS", "3", "4", "%TRIANGLES"});
    for (bool bDefer : {true, false}) {
        bool bOk = false;
        std::unique_ptr<NKFParser> pParser;
        bOk = NKFParseLines("empty_sections.nkf", lines, &pParser, bDefer);
        ASSERT_TRUE(bOk) << capture.Text();
        EXPECT_TRUE(capture.HasLine("INFO : Unknown Identifier found in block: %UNKNOWN_WORD. "
                                    "BlockType: *ELEMENTS, ID: 1"));
        Elements *pBlock = ElementBlock(pParser, 1);
        ASSERT_EQ(2, pBlock->GetNumSections());
        EXPECT_EQ(NK_ELEM_QUAD, pBlock->GetSectionType(0));
        EXPECT_EQ(NK_ELEM_POINT, pBlock->GetSectionType(1));
        EXPECT_EQ(2, pBlock->GetSectionCount(1));
        NKTestFaceSet fs;
        ASSERT_TRUE(pBlock->NKCreatePartFromElements(&fs.r, false)) << capture.Text();
        EXPECT_EQ((std::vector<Polygon>{{{0, 1, 2, 3}, 1, 0}, {{2}, 1, 1}, {{3}, 1, 2}}),
                  RecordPolygons(fs.r));
    }
}

TEST(NKFElements, TooManySectionsFail)
{
    MessageCapture capture;
    std::vector<std::string> lines = {"*NKF-1.00", "*NODES 1",    "0 0 0",
                                      "1 0 0",     "*ELEMENTS 1", "%NODES #1"};
    for (int s = 0; s <= NKF_MAX_ELEMENT_SECTIONS; s++) {
        lines.push_back(s % 2 == 0 ? "%POINTS" : "%BEAMS");
        lines.push_back(s % 2 == 0 ? "1" : "1 2");
    }
    bool bOk = true;
    bOk = NKFParseLines("many_sections.nkf", lines);
    EXPECT_FALSE(bOk);
    EXPECT_TRUE(capture.Contains("To many element types in one node block."));
    lines.resize(lines.size() - 2);  // exactly the limit
    std::unique_ptr<NKFParser> pParser;
    bOk = NKFParseLines("many_sections.nkf", lines, &pParser);
    ASSERT_TRUE(bOk);
    EXPECT_EQ(NKF_MAX_ELEMENT_SECTIONS, ElementBlock(pParser, 1)->GetNumSections());
}

// ---------------------------------------------------------------------------
// Node references

TEST(NKFElements, UnknownNodeIdIsReportedThenTheConversionFails)
{
    MessageCapture capture;
    const char *const pszExpected =
        "Refers to node with user defined ID = 40. No such ID exists.\n"
        "Block type : *ELEMENTS. ID = 1 : Error processing User defined "
        "node IDs.";
    for (bool bDefer : {true, false}) {
        capture.Clear();
        bool bOk = false;
        std::unique_ptr<NKFParser> pParser;
        bOk =
            NKFParseLines("unknown_id.nkf",
                          {"*NKF-1.00", "*NODES 1", "%WITH_ID", "10 0 0 0", "20 1 0 0", "30 0 1 0",
                           "*ELEMENTS 1", "%NODES #1", "%TRIANGLES", "10 20 30", "20 30 40"},
                          &pParser, bDefer);
        ASSERT_TRUE(bOk) << capture.Text();
        NKTestFaceSet fs;
        EXPECT_FALSE(ElementBlock(pParser, 1)->NKCreatePartFromElements(&fs.r, false));
        EXPECT_TRUE(capture.Contains(pszExpected)) << capture.Text();
        EXPECT_EQ(nullptr, fs.r.piConnects);
    }
    const int32_t aiIDs[] = {10, 20, 30};
    const float afCoords[] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    for (bool bBig : {false, true}) {
        capture.Clear();
        NKFTestWriter w(bBig);
        AppendFileHeader(w);
        AppendNodesBlock(w, 1, aiIDs, afCoords, 3);
        AppendElementsBlock(w, 1, 1, {{3, {}, {10, 20, 30, 20, 30, 40}, 2}}, false);
        bool bOk = false;
        std::unique_ptr<NKFParser> pParser;
        bOk = NKFParseBytes("unknown_id.bin.nkf", w, &pParser, false);
        ASSERT_TRUE(bOk) << capture.Text();
        NKTestFaceSet fs;
        EXPECT_FALSE(ElementBlock(pParser, 1)->NKCreatePartFromElements(&fs.r, false));
        EXPECT_TRUE(capture.Contains(pszExpected)) << capture.Text();
    }
}

TEST(NKFElements, NodeIdsAreMappedOncePerLoad)
{
    MessageCapture capture;
    bool bOk = false;
    std::unique_ptr<NKFParser> pParser;
    bOk = NKFParseLines("ids_once.nkf",
                        {"*NKF-1.00", "*NODES 1", "%WITH_ID", "30 0 0 0", "10 1 0 0", "20 0 1 0",
                         "*ELEMENTS 1", "%NODES #1", "%BEAMS", "20 30", "10 20"},
                        &pParser);
    ASSERT_TRUE(bOk);
    Elements *pBlock = ElementBlock(pParser, 1);
    NKTestFaceSet first, second, third;
    ASSERT_TRUE(pBlock->NKCreatePartFromElements(&first.r, false));
    EXPECT_TRUE(pBlock->AreNodeIDsMapped());
    EXPECT_EQ((std::vector<Polygon>{{{2, 0}, 1, 0}, {{1, 2}, 1, 1}}), RecordPolygons(first.r));
    EXPECT_EQ((std::vector<int>{30, 10, 20}),
              std::vector<int>(first.r.piNodeIDs, first.r.piNodeIDs + 3));
    ASSERT_TRUE(pBlock->NKCreatePartFromElements(&second.r, false));
    EXPECT_EQ(RecordPolygons(first.r), RecordPolygons(second.r));
    pBlock->FreeData();
    EXPECT_FALSE(pBlock->AreNodeIDsMapped());
    ASSERT_TRUE(pBlock->NKCreatePartFromElements(&third.r, true));
    EXPECT_EQ(RecordPolygons(first.r), RecordPolygons(third.r));
    EXPECT_FALSE(pParser->FindBlock(NKF_NODES, 1)->IsDataLoaded());
}

TEST(NKFElements, ReferenceModesChooseIdsOrIndices)
{
    MessageCapture capture;
    bool bOk = false;
    std::unique_ptr<NKFParser> pParser;
    bOk = NKFParseLines("modes.nkf",
                        {"*NKF-1.00", "*NODES 1",          "%WITH_ID", "30 0 0 0", "10 1 0 0",
                         "20 0 1 0",  "*NODES 2",          "0 0 0",    "1 0 0",    "*ELEMENTS 1",
                         "%NODES #1", "%MAP_NODE_INDICES", "%BEAMS",   "1 3",      "*ELEMENTS 2",
                         "%NODES #2", "%MAP_NODE_IDS",     "%BEAMS",   "2 1",      "*ELEMENTS 3",
                         "%NODES #1", "%MAP_NODE_IDS",     "%BEAMS",   "10 20"},
                        &pParser);
    ASSERT_TRUE(bOk) << capture.Text();
    NKTestFaceSet a, b, c;
    ASSERT_TRUE(ElementBlock(pParser, 1)->NKCreatePartFromElements(&a.r, false));
    EXPECT_EQ((std::vector<Polygon>{{{0, 2}, 1, 0}}), RecordPolygons(a.r));
    // IDs asked for over a node block without IDs: taken as indices.
    ASSERT_TRUE(ElementBlock(pParser, 2)->NKCreatePartFromElements(&b.r, false)) << capture.Text();
    EXPECT_EQ((std::vector<Polygon>{{{1, 0}, 1, 0}}), RecordPolygons(b.r));
    ASSERT_TRUE(ElementBlock(pParser, 3)->NKCreatePartFromElements(&c.r, false));
    EXPECT_EQ((std::vector<Polygon>{{{1, 2}, 1, 0}}), RecordPolygons(c.r));
}

TEST(NKFElements, IndexReferencesOutsideTheNodeBlockFailTheLoad)
{
    MessageCapture capture;
    // "1 2 9": past the count; "-2": before the first node. (A missing
    // fourth node is a line error of its own: test_nkf_bad_numbers.cpp.)
    for (const char *pszLine : {"1 2 9 3", "1 -2 3 4"}) {
        capture.Clear();
        bool bOk = false;
        std::unique_ptr<NKFParser> pParser;
        bOk = NKFParseLines("range.nkf",
                            {"*NKF-1.00", "*NODES 1", "0 0 0", "1 0 0", "1 1 0", "0 1 0",
                             "*ELEMENTS 1", "%NODES #1", "%QUADS", pszLine},
                            &pParser);
        ASSERT_TRUE(bOk);
        Elements *pBlock = ElementBlock(pParser, 1);
        EXPECT_FALSE(pBlock->LoadData()) << pszLine;
        EXPECT_TRUE(capture.Contains("Block type : *ELEMENTS. ID = 1 : Refers to node"))
            << capture.Text();
        EXPECT_FALSE(pBlock->IsDataLoaded());
        EXPECT_EQ(nullptr, pBlock->GetSectionConnectivity(0));
        NKTestFaceSet fs;
        EXPECT_FALSE(pBlock->NKCreatePartFromElements(&fs.r, false));
    }
}

TEST(NKFElements, UnorderedAndDuplicateNodeIdsAreFoundThroughTheSortedOrder)
{
    MessageCapture capture;
    bool bOk = false;
    std::unique_ptr<NKFParser> pParser;
    bOk = NKFParseLines("dup_ids.nkf",
                        {"*NKF-1.00", "*NODES 1", "%WITH_ID", "30 0 0 0", "10 1 0 0", "30 2 0 0",
                         "20 3 0 0", "*ELEMENTS 1", "%NODES #1", "%BEAMS", "30 20", "10 30"},
                        &pParser, false);
    ASSERT_TRUE(bOk) << capture.Text();
    NKTestFaceSet fs;
    ASSERT_TRUE(ElementBlock(pParser, 1)->NKCreatePartFromElements(&fs.r, false)) << capture.Text();
    ASSERT_EQ(2, fs.r.iNumPolygons);
    // Every reference lands on a node that carries the ID asked for; ID 30
    // names one of its two nodes (index 0 or 2).
    std::vector<int> ids;
    for (int k = 0; k < fs.r.iConnectLength; k++) ids.push_back(fs.r.piNodeIDs[fs.r.piConnects[k]]);
    EXPECT_EQ((std::vector<int>{30, 20, 10, 30}), ids);
    std::vector<Polygon> polygons = RecordPolygons(fs.r);
    EXPECT_EQ(3, polygons[0].nodes[1]);
    EXPECT_EQ(1, polygons[1].nodes[0]);
    EXPECT_TRUE(polygons[0].nodes[0] == 0 || polygons[0].nodes[0] == 2);
    EXPECT_EQ(polygons[0].nodes[0], polygons[1].nodes[1]);
}

TEST(NKFElements, ElementsOverAnEmptyNodeBlockFindNoNodes)
{
    MessageCapture capture;
    bool bOk = false;
    std::unique_ptr<NKFParser> pParser;
    bOk = NKFParseLines("empty_nodes.nkf",
                        {"*NKF-1.00", "*NODES 1", "*NODES 2", "%WITH_ID", "*ELEMENTS 1",
                         "%NODES #1", "%POINTS", "1", "*ELEMENTS 2", "%NODES #2", "%POINTS", "5"},
                        &pParser);
    ASSERT_TRUE(bOk) << capture.Text();
    NKTestFaceSet byIndex, byID;
    EXPECT_FALSE(ElementBlock(pParser, 1)->NKCreatePartFromElements(&byIndex.r, false));
    EXPECT_TRUE(capture.Contains("Refers to node 1, but node block #1 holds 0 nodes."))
        << capture.Text();
    EXPECT_EQ(nullptr, byIndex.r.piConnects);
    capture.Clear();
    EXPECT_FALSE(ElementBlock(pParser, 2)->NKCreatePartFromElements(&byID.r, false));
    EXPECT_TRUE(capture.Contains("Error processing User defined node IDs.")) << capture.Text();
    EXPECT_EQ(nullptr, byID.r.piConnects);
}

TEST(NKFElements, WrongNodeCountsFailOnlyWhenResolvingAtOnce)
{
    MessageCapture capture;
    const std::vector<std::string> lines = {"*NKF-1.00", "*NODES 1",   "0 0 0",
                                            "1 0 0",     "1 1 0",      "*ELEMENTS 1",
                                            "%NODES #1", "%TRIANGLES", "1 2 3 1"};
    bool bOk = false;
    std::unique_ptr<NKFParser> pParser;
    bOk = NKFParseLines("node_count.nkf", lines, &pParser);
    EXPECT_TRUE(bOk);
    EXPECT_TRUE(ElementBlock(pParser, 1)->LoadData());  // the extra word is ignored
    bOk = NKFParseLines("node_count.nkf", lines, nullptr, false);
    EXPECT_FALSE(bOk);
    EXPECT_TRUE(capture.Contains("Block type : *ELEMENTS : Wrong number of nodes for elements"));
}

TEST(NKFElements, MissingNodeBlocksAreReported)
{
    MessageCapture capture;
    bool bOk = false;
    std::unique_ptr<NKFParser> pParser;
    bOk = NKFParseLines("no_nodes.nkf",
                        {"*NKF-1.00", "*ELEMENTS 1", "%NODES #7", "%POINTS", "1", "*ELEMENTS 2",
                         "%NAME \"empty\"", "%QUADS"},
                        &pParser);
    ASSERT_TRUE(bOk);
    EXPECT_FALSE(ElementBlock(pParser, 1)->LoadData());
    EXPECT_TRUE(
        capture.Contains("Element block #1 refers to node block #7. The node block is not found."));
    NKTestFaceSet fs;
    EXPECT_FALSE(ElementBlock(pParser, 1)->NKCreatePartFromElements(&fs.r, false));
    // A block without sections leaves the record as it was.
    fs.r.iNumPolygons = 99;
    EXPECT_TRUE(ElementBlock(pParser, 2)->NKCreatePartFromElements(&fs.r, false));
    EXPECT_EQ(99, fs.r.iNumPolygons);
    fs.r.iNumPolygons = 0;
    EXPECT_EQ(0, ElementBlock(pParser, 2)->GetNumItems());
    EXPECT_FALSE(ElementBlock(pParser, 1)->NKCreatePartFromElements(nullptr, false));
}

// ---------------------------------------------------------------------------
// Header

TEST(NKFElements, HeaderDirectivesFillTheFields)
{
    MessageCapture capture;
    bool bOk = false;
    std::unique_ptr<NKFParser> pParser;
    bOk = NKFParseLines("el_header.nkf",
                        {"*NKF-1.00",
                         "*NODES 1",
                         "0 0 0",
                         "*COLORS 3",
                         "255 0 0",
                         "*ELEMENTS 1",
                         "%NAME \"Frame\"",
                         "%DESCRIPTION \"steel\"",
                         "%NODES #1",
                         "%COLORS 1 0.5 0",
                         "%COLORS_PER_ELEMENT",
                         "%EXPLICIT_COLOR_BINDING",
                         "%MATERIAL #3",
                         "%POINTS",
                         "1",
                         "1",
                         "%COLOR_BINDINGS",
                         "4 5",
                         "%POINTS",
                         "1",
                         "*ELEMENTS 2",
                         "%DESCRIPTION #8",
                         "%NODES #1",
                         "%COLORS #3",
                         "%POINTS",
                         "1"},
                        &pParser);
    ASSERT_TRUE(bOk) << capture.Text();
    Elements *pBlock = ElementBlock(pParser, 1);
    EXPECT_STREQ("Frame", pBlock->GetName().GetText());
    EXPECT_STREQ("steel", pBlock->GetDescription().GetText());
    EXPECT_EQ(3, pBlock->GetColorBlockID());
    ASSERT_NE(nullptr, pBlock->GetBlockColor());
    EXPECT_FLOAT_EQ(0.5f, pBlock->GetBlockColor()[1]);
    EXPECT_FALSE(pBlock->HasColorsPerBlock());
    EXPECT_FALSE(pBlock->HasImplicitColorBinding());
    EXPECT_EQ(2, pBlock->GetNumColorBindings());
    ASSERT_EQ(2, pBlock->GetNumSections());
    EXPECT_EQ(2, pBlock->GetSectionCount(0));
    ASSERT_TRUE(pBlock->LoadData());
    EXPECT_EQ((std::vector<int>{4, 5}),
              std::vector<int>(pBlock->GetColorBindings(), pBlock->GetColorBindings() + 2));
    EXPECT_EQ(8, ElementBlock(pParser, 2)->GetDescriptionBlockID());
    EXPECT_FALSE(pBlock->WriteBlock());
    EXPECT_TRUE(capture.Contains("Elements::WriteBlock, not implemented yet"));
}

TEST(NKFElements, HeaderAndBodyErrors)
{
    MessageCapture capture;
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"%NODES 1", "%POINTS", "1"}, "No node block ID specified in %NODES. Missing #"},
        {{"%NODES #1", "%MATERIAL 2", "%POINTS", "1"},
         "No material block ID specified in %MATERIAL. Missing #"},
        {{"%NODES #1", "%WITH_ID"}, "No data in element block"},
        {{"%NODES #1", "%POINTS", "1", "%COLOR_BINDINGS", "1 2"},
         "Illegal number of color bindings. Must be one value when using %COLORS_PER_BLOCK "
         "(default)"},
    };
    for (const auto &c : cases) {
        for (bool bAtEnd : {false, true}) {
            std::vector<std::string> lines = {"*NKF-1.00", "*NODES 1", "0 0 0", "*ELEMENTS 1"};
            lines.insert(lines.end(), c.first.begin(), c.first.end());
            if (!bAtEnd) lines.push_back("*NODES 2");
            capture.Clear();
            bool bOk = true;
            bOk = NKFParseLines("el_errors.nkf", lines);
            EXPECT_FALSE(bOk) << c.second;
            EXPECT_TRUE(capture.Contains(c.second)) << capture.Text();
        }
    }
}

TEST(NKFElements, ResolveReferencesChecksInOrder)
{
    MessageCapture capture;
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"%POINTS", "1"}, "No node block is specified in *ELEMENTS block."},
        {{"%NODES #5", "%DESCRIPTION #2", "%POINTS", "1"},
         "Node block (*NODES) with id = 5 not found in file"},
        {{"%NODES #1", "%DESCRIPTION #2", "%COLORS #3", "%POINTS", "1"},
         "Description block (*DESCRIPTION) with id = 2 not found in file"},
        {{"%NODES #1", "%COLORS #3", "%POINTS", "1"},
         "Color block (*COLORS) with id = 3 not found in file"},
        {{"%NODES #1", "%COLORS_PER_ELEMENT", "%POINTS", "1"},
         "When using %COLORS_PER_ELEMENT, a color block (%COLORS #BlockID) must be specified."},
        {{"%NODES #1", "%EXPLICIT_COLOR_BINDING", "%POINTS", "1"},
         "When using %EXPLICIT_COLOR_BINDING, a color bindings section (%COLOR_BINDINGS) must "
         "exist in "
         "the block"},
    };
    for (const auto &c : cases) {
        std::vector<std::string> lines = {"*NKF-1.00", "*NODES 1", "0 0 0", "*ELEMENTS 4"};
        lines.insert(lines.end(), c.first.begin(), c.first.end());
        capture.Clear();
        bool bOk = false;
        bOk = NKFParseLines("resolve.nkf", lines);
        EXPECT_TRUE(bOk) << c.second;  // deferred: not checked
        bOk = NKFParseLines("resolve.nkf", lines, nullptr, false);
        EXPECT_FALSE(bOk) << c.second;
        EXPECT_TRUE(capture.Contains("Block type : *ELEMENTS. ID = 4 : " + c.second))
            << capture.Text();
    }
    // A material block satisfies a colour reference made through %MATERIAL.
    bool bOk = false;
    bOk = NKFParseLines("resolve_material.nkf",
                        {"*NKF-1.00", "*NODES 1", "0 0 0", "*MATERIALS 3", "%ALPHA 1",
                         "*ELEMENTS 4", "%NODES #1", "%MATERIAL #3", "%POINTS", "1"},
                        nullptr, false);
    EXPECT_TRUE(bOk) << capture.Text();
    std::unique_ptr<NKFParser> pParser;
    NKFParseLines("resolve_unparsed.nkf", {"*NKF-1.00", "*NODES 1", "0 0 0"}, &pParser);
    Elements unparsed(pParser.get(), 6);
    EXPECT_FALSE(unparsed.ResolveReferences());
    EXPECT_TRUE(capture.Contains("Block type : *ELEMENTS. ID = 6 : Element Block not parsed"));
}

// ---------------------------------------------------------------------------
// Binary checks

TEST(NKFElements, BinaryCountsAndSectionHeadersAreChecked)
{
    MessageCapture capture;
    const float afCoords[] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    struct Case {
        std::vector<NKFTestSection> sections;
        bool bExtended;
        int32_t iSectionHeaderSize;
        const char *pszMessage;
    };
    const std::vector<Case> cases = {
        {{{0, {}, {}, 0}}, false, 20, "Illegal element type found: 0"},
        {{{20, {}, {}, 0}}, false, 20, "Illegal element type found: 20"},
        {{{5, {}, {1, 2, 3, 4}, 1000000}},
         false,
         20,
         "Item count does not fit the data size of the block."},
        {{{5, {}, {1, 2, 3, 4}, -1}},
         false,
         20,
         "Item count does not fit the data size of the block."},
        {{{19, {}, {}, NKF_MAX_EMPTY_ELEMENTS + 1}},
         false,
         20,
         "Item count does not fit the data size of the block."},
        {{{5, {}, {1, 2, 3, 4}, 1}}, true, 16, "Illegal section header size found: 16"},
        {{{5, {}, {1, 2, 3, 4}, 1}}, true, 1028, "Illegal section header size found: 1028"},
    };
    for (const Case &c : cases) {
        for (bool bBig : {false, true}) {
            capture.Clear();
            NKFTestWriter w(bBig);
            AppendFileHeader(w);
            AppendNodesBlock(w, 1, nullptr, afCoords, 4);
            AppendElementsBlock(w, 1, 1, c.sections, false, c.bExtended, 255, 124,
                                c.iSectionHeaderSize);
            bool bOk = true;
            bOk = NKFParseBytes("el_checks.bin.nkf", w);
            EXPECT_FALSE(bOk) << c.pszMessage;
            EXPECT_TRUE(capture.Contains(c.pszMessage)) << capture.Text();
        }
    }
    // A section count beyond the data.
    NKFTestWriter w;
    AppendFileHeader(w);
    AppendElementsBlock(w, 1, 1, {}, false);
    w.PatchInt(16 + 4 + 4 + 4 + 4 + 4 + 80 + 12 + 4, 3);  // the section count word
    bool bOk = true;
    bOk = NKFParseBytes("el_sections.bin.nkf", w);
    EXPECT_FALSE(bOk);
    EXPECT_TRUE(capture.Contains("Item count does not fit the data size of the block."));
    // A data size past the end of the file, with a section count to match.
    capture.Clear();
    w.PatchInt(16 + 12, 0x7FFFFFF0);  // the data size word
    w.PatchInt(16 + 4 + 4 + 4 + 4 + 4 + 80 + 12 + 4, 0x0FFFFFFE);
    bOk = NKFParseBytes("el_data_size.bin.nkf", w);
    EXPECT_FALSE(bOk);
    EXPECT_TRUE(
        capture.Contains("Block type : *ELEMENTS : End of block marker not found at expected "
                         "position."));
}

// ---------------------------------------------------------------------------
// Element list

TEST(NKFElements, ElementListMapsNodesToThePart)
{
    MessageCapture capture;
    for (bool bWithIDs : {true, false}) {
        std::vector<std::string> lines = {"*NKF-1.00",   "*NODES 1", "%WITH_ID", "50 0 0 0",
                                          "60 1 0 0",    "70 1 1 0", "80 0 1 0", "90 2 2 2",
                                          "*ELEMENTS 1", "%NODES #1"};
        if (bWithIDs) lines.push_back("%WITH_ID");
        const std::vector<std::string> body = {"%BEAMS", "50 60", "60 70", "%QUADS", "50 60 70 80"};
        for (const std::string &line : body) {
            lines.push_back(bWithIDs && line[0] != '%'
                                ? "7" + std::to_string(lines.size()) + " " + line
                                : line);
        }
        bool bOk = false;
        std::unique_ptr<NKFParser> pParser;
        bOk = NKFParseLines("element_list.nkf", lines, &pParser);
        ASSERT_TRUE(bOk) << capture.Text();
        Elements *pBlock = ElementBlock(pParser, 1);
        // The part holds node-block nodes 1, 2 and 4 only.
        const int32_t aiSource[] = {1, 2, 4};
        NKFElementList list;
        ASSERT_TRUE(pBlock->NKCreateElementList(&list, aiSource, 3));
        ASSERT_EQ(3, list.iNumElements);
        ASSERT_EQ(8, list.iNumConnects);
        EXPECT_EQ(NK_ELEM_BEAM, list.pElements[1].iType);
        EXPECT_EQ(NK_ELEM_QUAD, list.pElements[2].iType);
        EXPECT_EQ(bWithIDs ? pBlock->GetElementId(2) : 3, list.pElements[2].iID);
        EXPECT_EQ(bWithIDs ? pBlock->GetSectionIDs(0)[0] : 1, list.pElements[0].iID);
        EXPECT_EQ((std::vector<int>{0, 2, 4}),
                  (std::vector<int>{list.pElements[0].iNodeStart, list.pElements[1].iNodeStart,
                                    list.pElements[2].iNodeStart}));
        EXPECT_EQ((std::vector<int>{-1, 0, 0, 1, -1, 0, 1, -1}),
                  std::vector<int>(list.piConnects, list.piConnects + 8));
        NKFFreeElementList(&list);
        EXPECT_EQ(nullptr, list.pElements);
        // The list is made the same after the block was freed.
        pBlock->FreeData();
        ASSERT_TRUE(pBlock->NKCreateElementList(&list, aiSource, 3));
        EXPECT_EQ((std::vector<int>{-1, 0, 0, 1}),
                  std::vector<int>(list.piConnects, list.piConnects + 4));
        NKFFreeElementList(&list);
    }
}

TEST(NKFElements, ElementIdsByRunningIndex)
{
    MessageCapture capture;
    bool bOk = false;
    std::unique_ptr<NKFParser> pParser;
    bOk = NKFParseLines("element_ids.nkf",
                        {"*NKF-1.00", "*NODES 1", "0 0 0", "1 0 0", "*ELEMENTS 1", "%NODES #1",
                         "%WITH_ID", "%POINTS", "11 1", "12 2", "%BEAMS", "13 1 2"},
                        &pParser, false);
    ASSERT_TRUE(bOk) << capture.Text();
    Elements *pBlock = ElementBlock(pParser, 1);
    EXPECT_EQ(11, pBlock->GetElementId(0));
    EXPECT_EQ(13, pBlock->GetElementId(2));
    EXPECT_EQ(-1, pBlock->GetElementId(3));
    EXPECT_EQ(-1, pBlock->GetElementId(-1));
}

TEST(NKFElements, LargeBinaryBlocksReadAcrossTheirPieces)
{
    // The binary loads read a block straight into its arrays, piece by piece
    // (64 Ki words), converting each piece as it comes: 30,000 nodes with
    // IDs (two pieces of rows of four words), 20,000 quadrilaterals (80,000
    // references, two pieces), the same with element IDs, and one bad
    // reference in the second piece, reported with its node number.
    MessageCapture capture;
    const int iNodes = 30000, iQuads = 20000;
    std::vector<int32_t> ids((size_t)iNodes);
    std::vector<float> coords(3 * (size_t)iNodes);
    for (int n = 0; n < iNodes; n++) {
        ids[(size_t)n] = 5 * n + 1;
        for (int k = 0; k < 3; k++) coords[3 * (size_t)n + k] = 0.5f * (float)n + (float)k;
    }
    NKFTestSection quads{NK_ELEM_QUAD + 1, {}, {}, iQuads};
    for (int e = 0; e < iQuads; e++) {
        quads.ids.push_back(100 + e);
        for (int c = 0; c < 4; c++) quads.refs.push_back((e + c) % iNodes + 1);  // 1-based
    }
    struct Case {
        bool bElementIDs;
        int iBadAt;     // a reference index set past the nodes, or -1
        int iBadValue;  // the 1-based node it names there
    } cases[] = {{false, -1, 0},
                 {true, -1, 0},
                 {false, 70000, iNodes + 7},
                 {true, 70000, iNodes + 7},
                 {false, 70000, iNodes + 1}};
    for (const Case &c : cases)
        for (bool bBig : {false, true}) {
            SCOPED_TRACE(testing::Message() << "IDs " << c.bElementIDs << ", bad at " << c.iBadAt
                                            << ", big-endian " << bBig);
            capture.Clear();
            NKFTestSection section = quads;
            if (c.iBadAt >= 0) section.refs[(size_t)c.iBadAt] = c.iBadValue;
            if (!c.bElementIDs) section.ids.clear();
            NKFTestWriter w(bBig);
            AppendFileHeader(w);
            AppendNodesBlock(w, 1, ids.data(), coords.data(), iNodes);
            AppendElementsBlock(w, 1, 1, {section}, c.bElementIDs, false, 0);
            std::unique_ptr<NKFParser> pParser;
            ASSERT_TRUE(NKFParseBytes("pieces.bin.nkf", w, &pParser)) << capture.Text();
            NKFNodeBlock *pNodes = NKFFindBlock<NKFNodeBlock>(pParser, NKF_NODES, 1);
            ASSERT_TRUE(pNodes->LoadData());
            EXPECT_EQ(coords, NKTestValues(pNodes->GetCoords(), 3 * iNodes));
            EXPECT_EQ(ids, NKTestValues(pNodes->GetIDs(), iNodes));
            Elements *pBlock = ElementBlock(pParser, 1);
            if (c.iBadAt >= 0) {
                EXPECT_FALSE(pBlock->LoadData());
                EXPECT_TRUE(capture.Contains("Refers to node " + std::to_string(c.iBadValue) +
                                             ", but node block #1 holds 30000 nodes."))
                    << capture.Text();
                continue;
            }
            ASSERT_TRUE(pBlock->LoadData()) << capture.Text();
            std::vector<int> expected(section.refs.begin(), section.refs.end());
            for (int &r : expected) r--;  // 0-based once loaded
            EXPECT_EQ(expected, NKTestValues(pBlock->GetSectionConnectivity(0), 4 * iQuads));
            if (c.bElementIDs) {
                EXPECT_EQ(section.ids, NKTestValues(pBlock->GetSectionIDs(0), iQuads));
            }
        }
}
