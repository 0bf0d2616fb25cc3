// tests/nkf/test_nkf_nodes.cpp -- the *NODES, *NORMALS, *COLORS, *MATERIALS
// and *DESCRIPTION blocks: parse and load in the ASCII form (nodes also in
// binary, both byte orders), the word-count checks that apply only when
// references are resolved at once, their messages, and the ASCII writers.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "nkf/nkf_nodes.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nk_test_records.h"
#include "tests/test_support/nkf_mesh_writer.h"
#include "tests/test_support/nkf_test_parse.h"
#include "tests/test_support/test_files.h"

namespace {

// Runs the block's writer into a temporary stream and returns the text.
std::string Written(const std::unique_ptr<NKFParser> &pParser, NKFBlock *pBlock, bool *pbOk)
{
    FILE *pFile = tmpfile();
    pParser->SetOutputFile(pFile);
    *pbOk = pBlock->WriteBlock();
    pParser->SetOutputFile(nullptr);
    return NKTestReadBack(pFile);
}

}  // namespace

// ---------------------------------------------------------------------------
// *NODES

TEST(NKFNodeBlock, AsciiNodesWithIdsLoadWithTheirSortedOrder)
{
    MessageCapture capture;
    for (bool bDefer : {true, false}) {
        bool bOk = false;
        std::unique_ptr<NKFParser> pParser;
        bOk = NKFParseLines("nodes_ids.nkf",
                            {"*NKF-1.00", "*NODES 1", "%WITH_ID", "30 1 2 3", "10 4 5 6",
                             "20 7.5 8 9", "*NODES 2", "1 1 1"},
                            &pParser, bDefer);
        ASSERT_TRUE(bOk) << capture.Text();
        NKFNodeBlock *pNodes = NKFFindBlock<NKFNodeBlock>(pParser, NKF_NODES, 1);
        EXPECT_EQ(3, pNodes->GetNumItems());
        EXPECT_TRUE(pNodes->HasIDs());
        ASSERT_TRUE(pNodes->LoadData());
        EXPECT_EQ((std::vector<float>{1, 2, 3, 4, 5, 6, 7.5f, 8, 9}),
                  NKTestValues(pNodes->GetCoords(), 9));
        EXPECT_EQ((std::vector<int>{30, 10, 20}), NKTestValues(pNodes->GetIDs(), 3));
        EXPECT_EQ((std::vector<int>{1, 2, 0}), NKTestValues(pNodes->GetSortedOrder(), 3));
        NKFNodeBlock *pPlain = NKFFindBlock<NKFNodeBlock>(pParser, NKF_NODES, 2);
        ASSERT_TRUE(pPlain->LoadData());
        EXPECT_EQ(nullptr, pPlain->GetIDs());
        EXPECT_EQ(nullptr, pPlain->GetSortedOrder());
        pNodes->FreeData();
        EXPECT_FALSE(pNodes->IsDataLoaded());
        EXPECT_EQ(nullptr, pNodes->GetCoords());
        ASSERT_TRUE(pNodes->LoadData());  // the file is read again
        EXPECT_EQ(10, pNodes->GetIDs()[1]);
    }
}

TEST(NKFNodeBlock, BinaryNodesReadTheSameInBothByteOrders)
{
    MessageCapture capture;
    const int32_t aiIDs[] = {7, 3};
    const float afCoords[] = {1, 2, 3, -4, 5.5f, 6};
    for (bool bBig : {false, true}) {
        NKFTestWriter w(bBig);
        AppendFileHeader(w);
        AppendNodesBlock(w, 1, aiIDs, afCoords, 2);
        AppendNodesBlock(w, 2, nullptr, afCoords, 2, 24);  // 8 surplus header bytes
        bool bOk = false;
        std::unique_ptr<NKFParser> pParser;
        bOk = NKFParseBytes("nodes.bin.nkf", w, &pParser);
        ASSERT_TRUE(bOk) << capture.Text();
        NKFNodeBlock *pWithIDs = NKFFindBlock<NKFNodeBlock>(pParser, NKF_NODES, 1);
        ASSERT_TRUE(pWithIDs->LoadData());
        EXPECT_EQ((std::vector<float>(afCoords, afCoords + 6)),
                  NKTestValues(pWithIDs->GetCoords(), 6));
        EXPECT_EQ((std::vector<int>{7, 3}), NKTestValues(pWithIDs->GetIDs(), 2));
        EXPECT_EQ((std::vector<int>{1, 0}), NKTestValues(pWithIDs->GetSortedOrder(), 2));
        NKFNodeBlock *pPlain = NKFFindBlock<NKFNodeBlock>(pParser, NKF_NODES, 2);
        ASSERT_TRUE(pPlain->LoadData());
        EXPECT_FALSE(pPlain->HasIDs());
        EXPECT_EQ((std::vector<float>(afCoords, afCoords + 6)),
                  NKTestValues(pPlain->GetCoords(), 6));
    }
}

TEST(NKFNodeBlock, EmptyNodeBlocksParseAndLoadAsEmpty)
{
    MessageCapture capture;
    bool bOk = false;
    std::unique_ptr<NKFParser> pParser;
    bOk = NKFParseLines("empty_nodes.nkf", {"*NKF-1.00", "*NODES 1", "*NODES 2", "%NO_ID"},
                        &pParser, false);
    ASSERT_TRUE(bOk) << capture.Text();
    for (int iID : {1, 2}) {
        NKFNodeBlock *pNodes = NKFFindBlock<NKFNodeBlock>(pParser, NKF_NODES, iID);
        EXPECT_EQ(0, pNodes->GetNumItems());
        EXPECT_TRUE(pNodes->LoadData());
        EXPECT_EQ(nullptr, pNodes->GetCoords());
    }
    NKFTestWriter w;
    AppendFileHeader(w);
    AppendNodesBlock(w, 1, nullptr, nullptr, 0);
    std::unique_ptr<NKFParser> pBinary;
    bOk = NKFParseBytes("empty_nodes.bin.nkf", w, &pBinary);
    ASSERT_TRUE(bOk);
    EXPECT_TRUE(NKFFindBlock<NKFNodeBlock>(pBinary, NKF_NODES, 1)->LoadData());
}

TEST(NKFNodeBlock, UnknownDirectiveFailsTheParse)
{
    MessageCapture capture;
    bool bOk = true;
    bOk = NKFParseLines("nodes_unknown.nkf", {"*NKF-1.00", "*NODES 4", "%WITH_IDS", "1 0 0 0"});
    EXPECT_FALSE(bOk);
    EXPECT_TRUE(capture.Contains("Block type : *NODES : Unknown Identifier found in block."));
}

TEST(NKFNodeBlock, WordCountsAreCheckedOnlyWhenReferencesAreResolvedAtOnce)
{
    MessageCapture capture;
    const std::vector<std::string> noID = {"*NKF-1.00", "*NODES 1", "1 2 3", "4 5"};
    const std::vector<std::string> withID = {"*NKF-1.00", "*NODES 1", "%WITH_ID", "1 2 3 4",
                                             "2 5 6"};
    bool bOk = false;
    bOk = NKFParseLines("nodes_words.nkf", noID);
    EXPECT_TRUE(bOk);
    bOk = NKFParseLines("nodes_words_id.nkf", withID);
    EXPECT_TRUE(bOk);
    bOk = NKFParseLines("nodes_words.nkf", noID, nullptr, false);
    EXPECT_FALSE(bOk);
    EXPECT_TRUE(capture.Contains("Error in node values. \nEach line must contain 3 values when "
                                 "using %NO_ID (default)"));
    bOk = NKFParseLines("nodes_words_id.nkf", withID, nullptr, false);
    EXPECT_FALSE(bOk);
    EXPECT_TRUE(capture.Contains("Error in node values. \nEach line must contain 4 values when "
                                 "using %WITH_ID"));
}

TEST(NKFNodeBlock, BinaryCountBeyondTheDataFailsBeforeAllocating)
{
    MessageCapture capture;
    for (int32_t iCount : {1000000000, -1}) {
        NKFTestWriter w;
        AppendFileHeader(w);
        w.Int(1001);    // block code: *NODES
        w.Int(1);       // block ID
        w.Int(16);      // header size
        w.Int(12);      // data size: one node
        w.Int(0);       // with-IDs flag
        w.Int(iCount);  // node count
        w.Float(1);     // x
        w.Float(2);     // y
        w.Float(3);     // z
        w.Int(-999);    // end-of-block marker
        bool bOk = true;
        bOk = NKFParseBytes("nodes_count.bin.nkf", w);
        EXPECT_FALSE(bOk);
        EXPECT_TRUE(capture.Contains("Block type : *NODES. ID = 1 : Item count does not fit the "
                                     "data size of the block."));
    }
}

TEST(NKFNodeBlock, WriteBlockWritesTheLoadedNodes)
{
    MessageCapture capture;
    bool bOk = false;
    std::unique_ptr<NKFParser> pParser;
    bOk = NKFParseLines("nodes_write.nkf",
                        {"*NKF-1.00", "*NODES 3", "%WITH_ID", "5 1.5 -2 0", "6 0.25 1e+06 3"},
                        &pParser);
    ASSERT_TRUE(bOk);
    NKFNodeBlock *pNodes = NKFFindBlock<NKFNodeBlock>(pParser, NKF_NODES, 3);
    std::string text = Written(pParser, pNodes, &bOk);
    EXPECT_FALSE(bOk);
    EXPECT_TRUE(capture.Contains("Block type : *NODES. ID = 3 : No nodes in block"));
    ASSERT_TRUE(pNodes->LoadData());
    text = Written(pParser, pNodes, &bOk);
    EXPECT_TRUE(bOk);
    EXPECT_EQ("*NODES 3\n%WITH_ID\n5 1.5 -2 0\n6 0.25 1e+06 3\n", text);

    NKFNodeBlock unparsed(pParser.get(), 9);
    EXPECT_FALSE(unparsed.WriteBlock());
    EXPECT_TRUE(capture.Contains("Block type : *NODES. ID = 9 : Block not parsed"));
}

// ---------------------------------------------------------------------------
// *NORMALS

TEST(NKFNormalBlock, NormalsArePackedAndWrittenAsBytes)
{
    MessageCapture capture;
    bool bOk = false;
    std::unique_ptr<NKFParser> pParser;
    bOk =
        NKFParseLines("normals.nkf", {"*NKF-1.00", "*NORMALS 2", "%WITH_ID", "7 0 0 2", "8 -3 0 0"},
                      &pParser, false);
    ASSERT_TRUE(bOk) << capture.Text();
    NKFNormalBlock *pNormals = NKFFindBlock<NKFNormalBlock>(pParser, NKF_NORMALS, 2);
    EXPECT_EQ(2, pNormals->GetNumItems());
    std::string text = Written(pParser, pNormals, &bOk);
    EXPECT_FALSE(bOk);
    EXPECT_TRUE(capture.Contains("Block type : *NORMALS. ID = 2 : No normals in block"));
    ASSERT_TRUE(pNormals->LoadData());
    const signed char *pc = pNormals->GetNormals();
    EXPECT_EQ((std::vector<int>{0, 0, 127, -127, 0, 0}), std::vector<int>(pc, pc + 6));
    EXPECT_EQ((std::vector<int>{7, 8}), NKTestValues(pNormals->GetIDs(), 2));
    text = Written(pParser, pNormals, &bOk);
    EXPECT_TRUE(bOk);
    EXPECT_EQ("*NORMALS 2\n%WITH_ID\n7 0 0 127\n8 -127 0 0\n", text);
}

TEST(NKFNormalBlock, WordCountAndDirectiveErrors)
{
    MessageCapture capture;
    bool bOk = true;
    bOk = NKFParseLines("normals_words.nkf", {"*NKF-1.00", "*NORMALS 1", "0 0"}, nullptr, false);
    EXPECT_FALSE(bOk);
    EXPECT_TRUE(capture.Contains("Error in normal values. \nEach line must contain 3 values when "
                                 "using %NO_ID (default)"));
    bOk = NKFParseLines("normals_dir.nkf", {"*NKF-1.00", "*NORMALS 1", "%BYTE_COLORS"});
    EXPECT_FALSE(bOk);
    EXPECT_TRUE(capture.Contains("Block type : *NORMALS : Unknown Identifier found in block."));
}

// ---------------------------------------------------------------------------
// *COLORS

TEST(NKFColorBlock, ByteColorsAreScaledAndFloatColorsClamped)
{
    MessageCapture capture;
    for (bool bDefer : {true, false}) {
        bool bOk = false;
        std::unique_ptr<NKFParser> pParser;
        bOk = NKFParseLines("colors.nkf",
                            {"*NKF-1.00", "*COLORS 1", "255 128 0", "*COLORS 2", "%WITH_ID",
                             "%FLOAT_COLORS", "4 1.5 -0.5 0.25"},
                            &pParser, bDefer);
        ASSERT_TRUE(bOk) << capture.Text();
        NKFColorBlock *pBytes = NKFFindBlock<NKFColorBlock>(pParser, NKF_COLORS, 1);
        ASSERT_TRUE(pBytes->LoadData());
        EXPECT_TRUE(pBytes->HasByteColors());
        EXPECT_FLOAT_EQ(1.0f, pBytes->GetColors()[0]);
        EXPECT_NEAR(0.50196f, pBytes->GetColors()[1], 1e-5);
        EXPECT_FLOAT_EQ(0.0f, pBytes->GetColors()[2]);
        NKFColorBlock *pFloats = NKFFindBlock<NKFColorBlock>(pParser, NKF_COLORS, 2);
        ASSERT_TRUE(pFloats->LoadData());
        EXPECT_EQ((std::vector<float>{1.0f, 0.0f, 0.25f}), NKTestValues(pFloats->GetColors(), 3));
        EXPECT_EQ(4, pFloats->GetIDs()[0]);
    }
}

// The written block says %FLOAT_COLORS, so it reads back unchanged.
TEST(NKFColorBlock, WrittenColorsReadBackUnchanged)
{
    MessageCapture capture;
    bool bOk = false;
    std::unique_ptr<NKFParser> pParser;
    bOk = NKFParseLines("colors_write.nkf", {"*NKF-1.00", "*COLORS 5", "255 51 0"}, &pParser);
    ASSERT_TRUE(bOk);
    NKFColorBlock *pColors = NKFFindBlock<NKFColorBlock>(pParser, NKF_COLORS, 5);
    ASSERT_TRUE(pColors->LoadData());
    std::string text = Written(pParser, pColors, &bOk);
    ASSERT_TRUE(bOk);
    EXPECT_EQ("*COLORS 5\n%FLOAT_COLORS\n1 0.2 0\n", text);
    std::unique_ptr<NKFParser> pAgain;
    bOk = NKFParseLines("colors_again.nkf", {"*NKF-1.00", text}, &pAgain);
    ASSERT_TRUE(bOk);
    NKFColorBlock *pRead = NKFFindBlock<NKFColorBlock>(pAgain, NKF_COLORS, 5);
    ASSERT_TRUE(pRead->LoadData());
    for (int k = 0; k < 3; k++) EXPECT_NEAR(pColors->GetColors()[k], pRead->GetColors()[k], 1e-6);
}

TEST(NKFColorBlock, ColorRowsUseTheNormalTexts)
{
    MessageCapture capture;
    bool bOk = true;
    bOk = NKFParseLines("colors_words.nkf", {"*NKF-1.00", "*COLORS 1", "%WITH_ID", "1 255 0"},
                        nullptr, false);
    EXPECT_FALSE(bOk);
    EXPECT_TRUE(capture.Contains("Error in normal values. \nEach line must contain 4 values when "
                                 "using %WITH_ID"));
}

// ---------------------------------------------------------------------------
// *MATERIALS

TEST(NKFMaterialBlock, DirectivesFillTheMaterialAndWriteBack)
{
    MessageCapture capture;
    bool bOk = false;
    std::unique_ptr<NKFParser> pParser;
    bOk = NKFParseLines("material.nkf",
                        {"*NKF-1.00", "*MATERIALS 1", "*MATERIALS 2", "%AMBIENT 0.1 0.2 0.3",
                         "%DIFFUSE 1,0,0", "%SPECULAR 1 1 1", "%EMISSIVE 0 0 0.5", "%SHININESS 40",
                         "%ALPHA 0.5"},
                        &pParser);
    ASSERT_TRUE(bOk) << capture.Text();
    NKFMaterialBlock *pDefault = NKFFindBlock<NKFMaterialBlock>(pParser, NKF_MATERIALS, 1);
    EXPECT_EQ((std::vector<float>{0.2f, 0.2f, 0.2f}), NKTestValues(pDefault->GetAmbient(), 3));
    EXPECT_EQ((std::vector<float>{0.8f, 0.8f, 0.8f}), NKTestValues(pDefault->GetDiffuse(), 3));
    EXPECT_FLOAT_EQ(1.0f, pDefault->GetAlpha());
    NKFMaterialBlock *pMaterial = NKFFindBlock<NKFMaterialBlock>(pParser, NKF_MATERIALS, 2);
    EXPECT_EQ(1, pMaterial->GetNumItems());
    EXPECT_TRUE(pMaterial->LoadData());
    EXPECT_EQ((std::vector<float>{0.1f, 0.2f, 0.3f}), NKTestValues(pMaterial->GetAmbient(), 3));
    EXPECT_EQ((std::vector<float>{1, 0, 0}), NKTestValues(pMaterial->GetDiffuse(), 3));
    EXPECT_EQ((std::vector<float>{0, 0, 0.5f}), NKTestValues(pMaterial->GetEmissive(), 3));
    EXPECT_FLOAT_EQ(40.0f, pMaterial->GetShininess());
    EXPECT_FLOAT_EQ(0.5f, pMaterial->GetAlpha());
    std::string text = Written(pParser, pMaterial, &bOk);
    EXPECT_TRUE(bOk);
    EXPECT_EQ("*MATERIALS 2\n%AMBIENT 0.1 0.2 0.3\n%DIFFUSE 1 0 0\n%SPECULAR 1 1 1\n"
              "%EMISSIVE 0 0 0.5\n%SHININESS 40\n%ALPHA 0.5\n",
              text);
}

TEST(NKFMaterialBlock, WrongValueCountsFailWithTheirSection)
{
    MessageCapture capture;
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"%ALPHA", "Not 3 parameters to %ALPHA section"},
        {"%SHININESS 1 2", "Not 3 parameters to %SHININESS section"},
        {"%AMBIENT 1 2", "Not 3 parameters to %AMBIENT section"},
        {"%DIFFUSE 1 2 3 4", "Not 3 parameters to %DIFFUSE section"},
        {"%SPECULAR", "Not 3 parameters to %SPECULAR section"},
        {"%EMISSIVE 0", "Not 3 parameters to %EMISSIVE section"},
        {"%GLOSS 1", "Unknown Identifier found in block."},
        {"0.5 0.5 0.5", "Unknown Identifier found in block."},
    };
    for (const auto &c : cases) {
        capture.Clear();
        for (bool bDefer : {true, false}) {
            bool bOk = true;
            bOk = NKFParseLines("material_bad.nkf", {"*NKF-1.00", "*MATERIALS 1", c.first}, nullptr,
                                bDefer);
            EXPECT_FALSE(bOk) << c.first;
            EXPECT_TRUE(capture.Contains("Block type : *MATERIALS : " + c.second)) << c.first;
        }
    }
}

// ---------------------------------------------------------------------------
// *DESCRIPTION

TEST(NKFDescriptionBlock, TextBetweenBeginAndEndIsKeptAndWritten)
{
    MessageCapture capture;
    bool bOk = false;
    std::unique_ptr<NKFParser> pParser;
    bOk = NKFParseLines("description.nkf",
                        {"*NKF-1.00", "*DESCRIPTION 3", "%BEGIN", "A beam model", "  of steel",
                         "%END", "*NODES 1", "0 0 0"},
                        &pParser, false);
    ASSERT_TRUE(bOk) << capture.Text();
    NKFDescriptionBlock *pText = NKFFindBlock<NKFDescriptionBlock>(pParser, NKF_DESCRIPTION, 3);
    EXPECT_STREQ("A beam model\n  of steel\n", pText->GetText().GetText());
    EXPECT_EQ(2, pText->GetNumItems());
    EXPECT_TRUE(pText->LoadData());
    std::string text = Written(pParser, pText, &bOk);
    EXPECT_TRUE(bOk);
    EXPECT_EQ("*DESCRIPTION 3\n%BEGIN\nA beam model\n  of steel\n%END\n", text);
    EXPECT_EQ(1, pParser->GetNumBlocks(NKF_NODES));
}

TEST(NKFDescriptionBlock, MissingBeginOrEndFails)
{
    MessageCapture capture;
    for (bool bDefer : {true, false}) {
        capture.Clear();
        bool bOk = true;
        bOk = NKFParseLines("desc_no_end.nkf",
                            {"*NKF-1.00", "*DESCRIPTION 1", "%BEGIN", "text", "*NODES 1"}, nullptr,
                            bDefer);
        EXPECT_FALSE(bOk);
        EXPECT_TRUE(capture.Contains("Block type : *DESCRIPTION : No end of description block "
                                     "found. Missing %END"));
        capture.Clear();
        bOk = NKFParseLines("desc_eof.nkf", {"*NKF-1.00", "*DESCRIPTION 1", "%BEGIN", "text"},
                            nullptr, bDefer);
        EXPECT_FALSE(bOk);
        EXPECT_TRUE(capture.Contains("No end of description block found. Missing %END"));
        bOk = NKFParseLines("desc_no_begin.nkf", {"*NKF-1.00", "*DESCRIPTION 1", "text", "%END"},
                            nullptr, bDefer);
        EXPECT_FALSE(bOk);
        EXPECT_TRUE(capture.Contains("%BEGIN not found in *DESCRIPTION block"));
    }
}

// ---------------------------------------------------------------------------
// ASCII-only blocks in a binary file

TEST(NKFSmallBlocks, AsciiOnlyBlocksInABinaryFileAreSkippedByTheirFraming)
{
    MessageCapture capture;
    for (bool bBig : {false, true}) {
        NKFTestWriter w(bBig);
        AppendFileHeader(w);
        for (int32_t iCode = 1002; iCode <= 1005; iCode++) AppendFramedBlock(w, iCode, 1, 12, 16);
        bool bOk = false;
        std::unique_ptr<NKFParser> pParser;
        bOk = NKFParseBytes("ascii_only.bin.nkf", w, &pParser, false);
        ASSERT_TRUE(bOk) << capture.Text();
        for (int iType = NKF_NORMALS; iType <= NKF_DESCRIPTION; iType++) {
            NKFBlock *pBlock = pParser->FindBlock(iType, 1);
            ASSERT_NE(nullptr, pBlock);
            EXPECT_TRUE(pBlock->LoadData());
        }
        EXPECT_EQ(0, pParser->FindBlock(NKF_NORMALS, 1)->GetNumItems());
        EXPECT_EQ(0, pParser->FindBlock(NKF_COLORS, 1)->GetNumItems());
    }
}
