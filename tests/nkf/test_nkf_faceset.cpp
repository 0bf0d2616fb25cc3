// tests/nkf/test_nkf_faceset.cpp -- the *INDEXEDFACESET block: header
// directives and their messages, polygon and binding counts, the binary form
// in both byte orders, node references as IDs or indices (checked against
// the node block), node compaction, and the record NKCreatePartFromFaceSet
// fills.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/nk_mesh.h"
#include "nkf/nkf_faceset.h"
#include "nkf/nkf_nodes.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nk_test_records.h"
#include "tests/test_support/nkf_mesh_writer.h"
#include "tests/test_support/nkf_test_parse.h"

namespace {

typedef std::vector<std::vector<int>> Polygons;

// The polygons of a record as node-block indices (through the source index).
Polygons BlockPolygons(const NKIndexedFaceSet &r)
{
    Polygons polygons;
    for (int p = 0; p < r.iNumPolygons; p++) {
        std::vector<int> nodes;
        for (int k = 0; k < r.piPolygonNumNodes[p]; k++)
            nodes.push_back(r.piNodeSourceIndex[r.piConnects[r.piPolygonStart[p] + k]]);
        polygons.push_back(nodes);
    }
    return polygons;
}

NKFIndexedFaceSetBlock *FaceSetBlock(const std::unique_ptr<NKFParser> &pParser, int iID)
{
    return dynamic_cast<NKFIndexedFaceSetBlock *>(pParser->FindBlock(NKF_INDEXEDFACESET, iID));
}

// An ASCII file: a node block 1 of four nodes (with IDs 10, 20, 30, 40
// when asked), then the face-set lines.
std::vector<std::string> AsciiFile(bool bNodeIDs, const std::vector<std::string> &faceSet)
{
    std::vector<std::string> lines = {"*NKF-1.00", "*NODES 1"};
    if (bNodeIDs) {
        lines.insert(lines.end(), {"%WITH_ID", "10 0 0 0", "20 1 0 0", "30 1 1 0", "40 0 1 0"});
    } else {
        lines.insert(lines.end(), {"0 0 0", "1 0 0", "1 1 0", "0 1 0"});
    }
    lines.insert(lines.end(), faceSet.begin(), faceSet.end());
    return lines;
}

const float g_afSquare[] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
const int32_t g_aiNodeIDs[] = {10, 20, 30, 40};

}  // namespace

// ---------------------------------------------------------------------------
// Polygons and references

TEST(NKFIndexedFaceSet, OneLineOverNodesWithoutIdsIsOnePolygon)
{
    MessageCapture capture;
    for (bool bDefer : {true, false}) {
        bool bOk = false;
        std::unique_ptr<NKFParser> pParser;
        bOk = NKFParseLines("fs_square.nkf",
                            AsciiFile(false, {"*INDEXEDFACESET 1", "%NODES #1", "1 2 3 -4"}),
                            &pParser, bDefer);
        ASSERT_TRUE(bOk) << capture.Text();
        NKFIndexedFaceSetBlock *pBlock = FaceSetBlock(pParser, 1);
        EXPECT_EQ(1, pBlock->GetNumItems());
        EXPECT_EQ(4, pBlock->GetConnectivityCount());
        NKTestFaceSet fs;
        ASSERT_TRUE(pBlock->NKCreatePartFromFaceSet(&fs.r, false)) << capture.Text();
        ASSERT_EQ(1, fs.r.iNumPolygons);
        EXPECT_EQ(4, fs.r.piPolygonNumNodes[0]);
        EXPECT_EQ(0, fs.r.piPolygonStart[0]);
        EXPECT_EQ((std::vector<int>{0, 1, 2, 3}),
                  std::vector<int>(fs.r.piConnects, fs.r.piConnects + 4));
        EXPECT_EQ(4, fs.r.iNumNodes);
        EXPECT_EQ(nullptr, fs.r.piNodeIDs);
        EXPECT_EQ(0, fs.r.bFromElements);
        EXPECT_EQ(0, fs.r.bNodesNotCompacted);
        EXPECT_FLOAT_EQ(1.0f, fs.r.pfCoords[7]);  // node 2, y
    }
    for (bool bBig : {false, true}) {
        NKFTestWriter w(bBig);
        AppendFileHeader(w);
        AppendNodesBlock(w, 1, nullptr, g_afSquare, 4);
        AppendFaceSetBlock(w, 1, 1, {{0, {1, 2, 3, 4}}}, false);
        bool bOk = false;
        std::unique_ptr<NKFParser> pParser;
        bOk = NKFParseBytes("fs_square.bin.nkf", w, &pParser);
        ASSERT_TRUE(bOk) << capture.Text();
        NKTestFaceSet fs;
        ASSERT_TRUE(FaceSetBlock(pParser, 1)->NKCreatePartFromFaceSet(&fs.r, false));
        EXPECT_EQ((Polygons{{0, 1, 2, 3}}), BlockPolygons(fs.r));
    }
}

TEST(NKFIndexedFaceSet, NodeIdsAreMappedAndOnlyUsedNodesKept)
{
    MessageCapture capture;
    bool bOk = false;
    std::unique_ptr<NKFParser> pParser;
    bOk = NKFParseLines("fs_ids.nkf",
                        AsciiFile(true, {"*INDEXEDFACESET 2", "%NODES #1", "%WITH_ID",
                                         "7 40 20 -30", "8 20,40,-20"}),
                        &pParser, false);
    ASSERT_TRUE(bOk) << capture.Text();
    NKFIndexedFaceSetBlock *pBlock = FaceSetBlock(pParser, 2);
    NKTestFaceSet fs;
    ASSERT_TRUE(pBlock->NKCreatePartFromFaceSet(&fs.r, false)) << capture.Text();
    EXPECT_EQ((Polygons{{3, 1, 2}, {1, 3, 1}}), BlockPolygons(fs.r));
    ASSERT_EQ(3, fs.r.iNumNodes);  // node 0 (ID 10) is not used
    EXPECT_EQ((std::vector<int>{1, 2, 3}),
              std::vector<int>(fs.r.piNodeSourceIndex, fs.r.piNodeSourceIndex + 3));
    EXPECT_EQ((std::vector<int>{20, 30, 40}), std::vector<int>(fs.r.piNodeIDs, fs.r.piNodeIDs + 3));
    EXPECT_EQ((std::vector<int>{2, 0, 1, 0, 2, 0}),
              std::vector<int>(fs.r.piConnects, fs.r.piConnects + 6));
    EXPECT_EQ((std::vector<int>{7, 8}),
              std::vector<int>(pBlock->GetPolygonIDs(), pBlock->GetPolygonIDs() + 2));
    EXPECT_FLOAT_EQ(1.0f, fs.r.pfCoords[6 + 1]);  // the third kept node (ID 40) at y = 1

    // A second conversion of the same load gives the same record.
    NKTestFaceSet again;
    ASSERT_TRUE(pBlock->NKCreatePartFromFaceSet(&again.r, false));
    EXPECT_EQ(BlockPolygons(fs.r), BlockPolygons(again.r));
    // So does a fresh load after FreeData.
    pBlock->FreeData();
    NKTestFaceSet reloaded;
    ASSERT_TRUE(pBlock->NKCreatePartFromFaceSet(&reloaded.r, false));
    EXPECT_EQ(BlockPolygons(fs.r), BlockPolygons(reloaded.r));
}

TEST(NKFIndexedFaceSet, UnknownNodeIdFailsTheConversion)
{
    MessageCapture capture;
    bool bOk = false;
    std::unique_ptr<NKFParser> pParser;
    bOk = NKFParseLines("fs_unknown_id.nkf",
                        AsciiFile(true, {"*INDEXEDFACESET 1", "%NODES #1", "10 20 -50"}), &pParser);
    ASSERT_TRUE(bOk);
    NKTestFaceSet fs;
    EXPECT_FALSE(FaceSetBlock(pParser, 1)->NKCreatePartFromFaceSet(&fs.r, false));
    EXPECT_TRUE(capture.Contains("Refers to node with user defined ID = 50. No such ID exists.\n"
                                 "Block type : *INDEXEDFACESET. ID = 1 : Error processing User "
                                 "defined node IDs."));
    EXPECT_EQ(0, fs.r.iNumPolygons);
    EXPECT_EQ(nullptr, fs.r.piConnects);
}

TEST(NKFIndexedFaceSet, ReferenceModesChooseIdsOrIndices)
{
    MessageCapture capture;
    bool bOk = false;
    // Indices over a node block with IDs.
    std::unique_ptr<NKFParser> pIndices;
    bOk = NKFParseLines(
        "fs_indices.nkf",
        AsciiFile(true, {"*INDEXEDFACESET 1", "%NODES #1", "%MAP_NODE_INDICES", "1 2 -4"}),
        &pIndices);
    ASSERT_TRUE(bOk);
    NKTestFaceSet a;
    ASSERT_TRUE(FaceSetBlock(pIndices, 1)->NKCreatePartFromFaceSet(&a.r, false));
    EXPECT_EQ((Polygons{{0, 1, 3}}), BlockPolygons(a.r));
    // IDs asked for over a node block without IDs: taken as indices.
    std::unique_ptr<NKFParser> pIDs;
    bOk = NKFParseLines(
        "fs_mode_ids.nkf",
        AsciiFile(false, {"*INDEXEDFACESET 1", "%NODES #1", "%MAP_NODE_IDS", "2 3 -4"}), &pIDs);
    ASSERT_TRUE(bOk);
    NKTestFaceSet b;
    ASSERT_TRUE(FaceSetBlock(pIDs, 1)->NKCreatePartFromFaceSet(&b.r, false));
    EXPECT_EQ((Polygons{{1, 2, 3}}), BlockPolygons(b.r));
    EXPECT_EQ(1, FaceSetBlock(pIDs, 1)->GetNodeReferenceMode());
}

TEST(NKFIndexedFaceSet, ReferencesOutsideTheNodeBlockFailTheBlock)
{
    MessageCapture capture;
    for (const char *pszLine : {"1 2 -5", "0 1 -2", "1 -2 -3"}) {
        capture.Clear();
        bool bOk = false;
        std::unique_ptr<NKFParser> pParser;
        bOk =
            NKFParseLines("fs_range.nkf",
                          AsciiFile(false, {"*INDEXEDFACESET 1", "%NODES #1", pszLine}), &pParser);
        ASSERT_TRUE(bOk);
        NKFIndexedFaceSetBlock *pBlock = FaceSetBlock(pParser, 1);
        NKTestFaceSet fs;
        EXPECT_FALSE(pBlock->NKCreatePartFromFaceSet(&fs.r, false)) << pszLine;
        EXPECT_TRUE(capture.Contains("Block type : *INDEXEDFACESET. ID = 1 : Refers to node"))
            << pszLine;
        EXPECT_FALSE(pBlock->IsDataLoaded());  // a later load starts from the file
    }
}

TEST(NKFIndexedFaceSet, LastReferenceMustBeNegative)
{
    MessageCapture capture;
    bool bOk = false;
    std::unique_ptr<NKFParser> pParser;
    bOk = NKFParseLines("fs_positive.nkf",
                        AsciiFile(false, {"*INDEXEDFACESET 1", "%NODES #1", "1 2 -3", "2 3 4"}),
                        &pParser, false);
    ASSERT_TRUE(bOk);
    NKFIndexedFaceSetBlock *pBlock = FaceSetBlock(pParser, 1);
    EXPECT_FALSE(pBlock->LoadData());
    EXPECT_TRUE(capture.Contains("The last node reference of a polygon must be negative."));
    EXPECT_EQ(nullptr, pBlock->GetConnectivity());
}

TEST(NKFIndexedFaceSet, MissingNodeBlockAndFreeingTheNodeData)
{
    MessageCapture capture;
    bool bOk = false;
    std::unique_ptr<NKFParser> pParser;
    bOk = NKFParseLines("fs_nodes.nkf",
                        AsciiFile(false, {"*INDEXEDFACESET 1", "%NODES #9", "1 2 -3",
                                          "*INDEXEDFACESET 2", "%NODES #1", "1 2 -3"}),
                        &pParser);
    ASSERT_TRUE(bOk);
    NKTestFaceSet fs;
    EXPECT_FALSE(FaceSetBlock(pParser, 1)->NKCreatePartFromFaceSet(&fs.r, false));
    EXPECT_TRUE(capture.Contains(
        "Cannot find NODE block with ID = 9 (used in element block with ID = 1)."));
    NKFBlock *pNodes = pParser->FindBlock(NKF_NODES, 1);
    NKTestFaceSet freed, kept;
    ASSERT_TRUE(FaceSetBlock(pParser, 2)->NKCreatePartFromFaceSet(&freed.r, true));
    EXPECT_FALSE(pNodes->IsDataLoaded());
    EXPECT_EQ(3, freed.r.iNumNodes);
    ASSERT_TRUE(FaceSetBlock(pParser, 2)->NKCreatePartFromFaceSet(&kept.r, false));
    EXPECT_TRUE(pNodes->IsDataLoaded());
    EXPECT_FALSE(FaceSetBlock(pParser, 2)->WriteBlock());
    EXPECT_TRUE(capture.Contains("NKFIndexedFaceSetBlock::WriteBlock, not implemented yet"));
    EXPECT_FALSE(FaceSetBlock(pParser, 2)->NKCreatePartFromFaceSet(nullptr, false));
}

// ---------------------------------------------------------------------------
// ASCII header and bindings

TEST(NKFIndexedFaceSet, HeaderDirectivesFillTheFields)
{
    MessageCapture capture;
    bool bOk = false;
    std::unique_ptr<NKFParser> pParser;
    bOk = NKFParseLines(
        "fs_header.nkf",
        AsciiFile(false,
                  {"*INDEXEDFACESET 3", "%NAME \"Lid\" more", "%DESCRIPTION \"top plate\"",
                   "%NODES #1", "%NORMALS #4", "%COLORS 0.5 0.25 1", "%MATERIAL #6",
                   "%COLORS_PER_FACE", "%NORMALS_PER_FACE", "%SHADING", "1 2 -3",
                   "*INDEXEDFACESET 4", "%DESCRIPTION #2", "%NODES #1", "%COLORS #5", "1 2 -3"}),
        &pParser);
    ASSERT_TRUE(bOk) << capture.Text();
    EXPECT_TRUE(capture.HasLine("WARNING : Unknown Identifier found in Indexed Face Set block."));
    NKFIndexedFaceSetBlock *pBlock = FaceSetBlock(pParser, 3);
    EXPECT_STREQ("Lid", pBlock->GetName().GetText());
    EXPECT_STREQ("top plate", pBlock->GetDescription().GetText());
    EXPECT_EQ(4, pBlock->GetNormalBlockID());
    EXPECT_EQ(6, pBlock->GetColorBlockID());  // %MATERIAL names the colour block
    ASSERT_NE(nullptr, pBlock->GetBlockColor());
    EXPECT_FLOAT_EQ(0.25f, pBlock->GetBlockColor()[1]);
    EXPECT_FALSE(pBlock->HasColorsPerBlock());
    EXPECT_FALSE(pBlock->HasNormalsPerNode());
    EXPECT_EQ(-1, pBlock->GetNodeReferenceMode());
    NKFIndexedFaceSetBlock *pOther = FaceSetBlock(pParser, 4);
    EXPECT_EQ(2, pOther->GetDescriptionBlockID());
    EXPECT_EQ(5, pOther->GetColorBlockID());
    EXPECT_EQ(nullptr, pOther->GetBlockColor());
}

TEST(NKFIndexedFaceSet, HeaderErrorsStopTheParse)
{
    MessageCapture capture;
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"%NODES 1", "1 2 -3"}, "No node block ID specified in %NODES. Missing #ID."},
        {{"%NODES #1", "%NORMALS 2", "1 2 -3"},
         "No node block ID specified in %NORMALS. Missing #ID."},
        {{"%NODES #1", "%MATERIAL", "1 2 -3"},
         "No material block ID specified in %MATERIAL. Missing #ID."},
        {{"%NODES #1"}, "No data in indexed face set block."},
        {{"%NAME \"x\"", "1 2 -3"},
         "No valid node block is referenced in the header of *INDEXEDFACESET."},
        {{"%NODES #1", "%COLOR_BINDINGS", "1"},
         "%COLOR_BINDINGS are not allowed when using %IMPLICIT_COLOR_BINDING (default)."},
        {{"%NODES #1", "%NORMAL_BINDINGS", "1"},
         "%NORMAL_BINDINGS are not allowed when using %IMPLICIT_NORMAL_BINDING (default)."},
        {{"%NODES #1", "%CONNECTIVITIES", "1 2 -3", "%CONNECTIVITIES", "1 2 -3"},
         "Only one %CONNECTIVITIES directive allowed within one block."},
    };
    for (const auto &c : cases) {
        std::vector<std::string> block = {"*INDEXEDFACESET 1"};
        block.insert(block.end(), c.first.begin(), c.first.end());
        block.push_back("*NODES 2");
        capture.Clear();
        bool bOk = true;
        bOk = NKFParseLines("fs_header_error.nkf", AsciiFile(false, block));
        EXPECT_FALSE(bOk) << c.second;
        EXPECT_TRUE(capture.Contains(c.second)) << c.second << "\n" << capture.Text();
    }
}

TEST(NKFIndexedFaceSet, ExplicitBindingsAreCountedAndLoaded)
{
    MessageCapture capture;
    for (bool bDefer : {true, false}) {
        bool bOk = false;
        std::unique_ptr<NKFParser> pParser;
        bOk = NKFParseLines(
            "fs_bindings.nkf",
            AsciiFile(false, {"*INDEXEDFACESET 1", "%NODES #1", "%COLORS #2", "%NORMALS #3",
                              "%EXPLICIT_COLOR_BINDING", "%EXPLICIT_NORMAL_BINDING",
                              "%COLORS_PER_FACE", "%CONNECTIVITIES", "1 2 -3", "3 4 -1",
                              "%COLOR_BINDINGS", "5 6", "%NORMAL_BINDINGS", "1 1 1", "2 2 2"}),
            &pParser, bDefer);
        ASSERT_TRUE(bOk) << capture.Text();
        NKFIndexedFaceSetBlock *pBlock = FaceSetBlock(pParser, 1);
        EXPECT_EQ(2, pBlock->GetNumColorBindings());
        EXPECT_EQ(6, pBlock->GetNumNormalBindings());
        ASSERT_TRUE(pBlock->LoadData());
        EXPECT_EQ((std::vector<int>{5, 6}),
                  std::vector<int>(pBlock->GetColorBindings(), pBlock->GetColorBindings() + 2));
        EXPECT_EQ(2, pBlock->GetNormalBindings()[5]);
        EXPECT_EQ((std::vector<int>{0, 3}),
                  std::vector<int>(pBlock->GetPolygonStarts(), pBlock->GetPolygonStarts() + 2));
    }
}

TEST(NKFIndexedFaceSet, BindingCountChecksRunInOrder)
{
    MessageCapture capture;
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"%EXPLICIT_COLOR_BINDING", "%EXPLICIT_NORMAL_BINDING"},
         "Explicit color binding is specified, but no color block is referenced (%COLORS #ID)."},
        {{"%EXPLICIT_NORMAL_BINDING"},
         "Explicit normal binding is specified, but no normal block is referenced (%NORMALS #ID)."},
        {{"%COLORS #2", "%EXPLICIT_COLOR_BINDING", "%COLORS_PER_FACE", "%COLOR_BINDINGS", "1"},
         "Number of color bindings does not match number of polygons"},
        {{"%COLORS #2", "%EXPLICIT_COLOR_BINDING", "%COLOR_BINDINGS", "1 2"},
         "Not 1 color binding given when using %COLORS_PER_BLOCK (default)."},
        {{"%NORMALS #2", "%EXPLICIT_NORMAL_BINDING", "%NORMALS_PER_FACE", "%NORMAL_BINDINGS", "1"},
         "Number of normal bindings does not match number of polygons."},
        {{"%NORMALS #2", "%EXPLICIT_NORMAL_BINDING", "%NORMAL_BINDINGS", "1 2 3"},
         "Number of normal bindings does not match number of connectivities."},
    };
    for (const auto &c : cases) {
        std::vector<std::string> block = {"*INDEXEDFACESET 1", "%NODES #1"};
        block.insert(block.end(), c.first.begin(), c.first.end());
        block.insert(block.end(), {"%CONNECTIVITIES", "1 2 -3", "2 3 -4"});
        capture.Clear();
        bool bOk = true;
        bOk = NKFParseLines("fs_bind_error.nkf", AsciiFile(false, block));
        EXPECT_FALSE(bOk) << c.second;
        EXPECT_TRUE(capture.Contains("Block type : *INDEXEDFACESET. ID = 1 : " + c.second))
            << capture.Text();
    }
}

// ---------------------------------------------------------------------------
// Binary form

TEST(NKFIndexedFaceSet, BinaryIdsAndOptionalHeaderWords)
{
    MessageCapture capture;
    for (bool bBig : {false, true}) {
        NKFTestWriter w(bBig);
        AppendFileHeader(w);
        AppendNodesBlock(w, 1, g_aiNodeIDs, g_afSquare, 4);
        AppendFaceSetBlock(w, 1, 1, {{5, {40, 30, 20}}, {6, {10, 20, 30, 40}}}, true);  // mode 255
        AppendFaceSetBlock(w, 2, 1, {{0, {4, 3, 2}}}, false, 0);                        // indices
        AppendFaceSetBlock(w, 3, 1, {{0, {40, 10, 20}}}, false, 255, 116);  // no options
        bool bOk = false;
        std::unique_ptr<NKFParser> pParser;
        bOk = NKFParseBytes("fs_ids.bin.nkf", w, &pParser, false);
        ASSERT_TRUE(bOk) << capture.Text();
        NKFIndexedFaceSetBlock *pFirst = FaceSetBlock(pParser, 1);
        EXPECT_STREQ("face set", pFirst->GetDescription().GetText());
        EXPECT_EQ(nullptr, pFirst->GetBlockColor());
        NKTestFaceSet a, b, c;
        ASSERT_TRUE(pFirst->NKCreatePartFromFaceSet(&a.r, false));
        EXPECT_EQ((Polygons{{3, 2, 1}, {0, 1, 2, 3}}), BlockPolygons(a.r));
        EXPECT_EQ(6, pFirst->GetPolygonIDs()[1]);
        // A binary face set carries no bindings.
        EXPECT_EQ(0, pFirst->GetNumColorBindings());
        EXPECT_EQ(0, pFirst->GetNumNormalBindings());
        EXPECT_EQ(nullptr, pFirst->GetColorBindings());
        EXPECT_EQ(nullptr, pFirst->GetNormalBindings());
        ASSERT_TRUE(FaceSetBlock(pParser, 2)->NKCreatePartFromFaceSet(&b.r, false));
        EXPECT_EQ((Polygons{{3, 2, 1}}), BlockPolygons(b.r));
        EXPECT_EQ(-1, FaceSetBlock(pParser, 3)->GetNodeReferenceMode());
        ASSERT_TRUE(FaceSetBlock(pParser, 3)->NKCreatePartFromFaceSet(&c.r, false));
        EXPECT_EQ((Polygons{{3, 0, 1}}), BlockPolygons(c.r));
    }
}

TEST(NKFIndexedFaceSet, BinaryPolygonsMustFitTheHeaderCounts)
{
    MessageCapture capture;
    struct Case {
        int32_t iPolygons, iConnects;
        bool bParses;
    };
    // The data hold the polygons 1 2 -3 and 3 4 -1 (six references).
    for (const Case &c : {Case{3, 6, true}, Case{1, 6, true}, Case{2, 5, true}, Case{2, 7, false},
                          Case{-1, 6, false}, Case{7, 6, false}, Case{0x40000000, 6, false}}) {
        capture.Clear();
        NKFTestWriter w;
        AppendFileHeader(w);
        AppendNodesBlock(w, 1, nullptr, g_afSquare, 4);
        AppendFaceSetBlock(w, 1, 1, {{0, {1, 2, 3}}, {0, {3, 4, 1}}}, false, 255, 124, c.iPolygons,
                           c.iConnects);
        bool bOk = !c.bParses;
        std::unique_ptr<NKFParser> pParser;
        bOk = NKFParseBytes("fs_counts.bin.nkf", w, &pParser);
        ASSERT_EQ(c.bParses, bOk) << c.iPolygons << " " << c.iConnects;
        if (!c.bParses) {
            EXPECT_TRUE(capture.Contains("Item count does not fit the data size of the block."));
            continue;
        }
        EXPECT_FALSE(FaceSetBlock(pParser, 1)->LoadData());
        EXPECT_TRUE(
            capture.Contains("Polygon data does not fit the polygon and connectivity counts "
                             "of the block header."));
    }
}
