// tests/nkf/test_nkf_texture.cpp -- the *TEXTURES, *USER and
// *INTERNALSTRING blocks in both forms.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "nkf/nkf_parser.h"
#include "nkf/nkf_texture.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nkf_test_parse.h"
#include "tests/test_support/nkf_test_writer.h"

namespace {}  // namespace

TEST(NKFTexture, PixelsLoadAsRawBytesInBothByteOrders)
{
    MessageCapture capture;
    for (bool bBig : {false, true}) {
        NKFTestWriter w(bBig);
        AppendFileHeader(w);
        AppendTextureBlock(w, 2, "checker", 2, 2, 12);
        bool bOk = false;
        std::unique_ptr<NKFParser> pParser;
        bOk = NKFParseBytes("texture.nkf", w, &pParser);
        ASSERT_TRUE(bOk);
        auto *pTexture = (NKFTextureBlock *)pParser->FindBlock(NKF_TEXTURES, 2);
        ASSERT_NE(nullptr, pTexture);
        EXPECT_TRUE(pTexture->GetName() == "checker");
        EXPECT_EQ(4, pTexture->GetNumItems());
        ASSERT_TRUE(pTexture->LoadData());
        ASSERT_NE(nullptr, pTexture->GetPixels());
        EXPECT_EQ(0, pTexture->GetPixels()[0]);
        EXPECT_EQ(11, pTexture->GetPixels()[11]);
        pTexture->FreeData();
        EXPECT_EQ(nullptr, pTexture->GetPixels());
        EXPECT_FALSE(pTexture->IsDataLoaded());
    }
}

TEST(NKFTexture, ZeroWidthLoadsWithoutPixels)
{
    MessageCapture capture;
    NKFTestWriter w;
    AppendFileHeader(w);
    AppendTextureBlock(w, 1, "empty", 0, 5, 0);
    bool bOk = false;
    std::unique_ptr<NKFParser> pParser;
    bOk = NKFParseBytes("texture_empty.nkf", w, &pParser);
    ASSERT_TRUE(bOk);
    NKFBlock *pTexture = pParser->FindBlock(NKF_TEXTURES, 1);
    EXPECT_TRUE(pTexture->LoadData());
    EXPECT_EQ(0, pTexture->GetNumItems());
    EXPECT_EQ(nullptr, ((NKFTextureBlock *)pTexture)->GetPixels());
}

TEST(NKFTexture, DataEndingEarlyFailsWithoutKeepingPixels)
{
    for (int32_t iWidth : {3, 100000, -1}) {
        MessageCapture capture;
        NKFTestWriter w;
        AppendFileHeader(w);
        AppendTextureBlock(w, 1, "short", iWidth, iWidth < 0 ? -1 : 100000, 9);
        bool bOk = false;
        std::unique_ptr<NKFParser> pParser;
        bOk = NKFParseBytes("texture_short.nkf", w, &pParser);
        ASSERT_TRUE(bOk);  // the framing is sound; the size is not
        auto *pTexture = (NKFTextureBlock *)pParser->FindBlock(NKF_TEXTURES, 1);
        EXPECT_FALSE(pTexture->LoadData());
        EXPECT_TRUE(capture.HasLine("Block type : *TEXTURES. ID = 1 : Error reading texture values",
                                    NK_MSG_ERROR));
        EXPECT_EQ(nullptr, pTexture->GetPixels());
        EXPECT_FALSE(pTexture->IsDataLoaded());
    }
}

TEST(NKFTexture, HugeWidthAndHeightAreRefusedWithoutOverflow)
{
    // INT32_MAX x INT32_MAX pixels of 3 bytes pass 64 bits.
    MessageCapture capture;
    NKFTestWriter w;
    AppendFileHeader(w);
    AppendTextureBlock(w, 1, "huge", INT32_MAX, INT32_MAX, 9);
    bool bOk = false;
    std::unique_ptr<NKFParser> pParser;
    bOk = NKFParseBytes("texture_huge.nkf", w, &pParser);
    ASSERT_TRUE(bOk);
    auto *pTexture = (NKFTextureBlock *)pParser->FindBlock(NKF_TEXTURES, 1);
    EXPECT_EQ(INT_MAX, pTexture->GetNumItems());
    EXPECT_FALSE(pTexture->LoadData());
    EXPECT_TRUE(capture.HasLine("Block type : *TEXTURES. ID = 1 : Error reading texture values",
                                NK_MSG_ERROR));
    EXPECT_EQ(nullptr, pTexture->GetPixels());
}

TEST(NKFTexture, AsciiTextureBlockIsNotSupported)
{
    MessageCapture capture;
    bool bOk = true;
    bOk = NKFParseLines("texture_ascii.nkf", {"*NKF-1.00", "*TEXTURES 1"});
    EXPECT_FALSE(bOk);
    EXPECT_TRUE(capture.Contains("ASCII version of Textures Block is not implemented yet."));
}

TEST(NKFTexture, SmallHeaderIsIllegal)
{
    MessageCapture capture;
    NKFTestWriter w;
    AppendFileHeader(w);
    AppendTextureBlock(w, 1, "t", 1, 1, 3);
    w.PatchInt(16 + 8, 92);  // header size below the 96 known bytes
    bool bOk = true;
    bOk = NKFParseBytes("texture_small_header.nkf", w);
    EXPECT_FALSE(bOk);
    EXPECT_TRUE(capture.Contains("Illegal header size found."));
}

TEST(NKFUser, AnyContentParsesAndLoadsInBothForms)
{
    MessageCapture capture;
    bool bOk = false;
    std::unique_ptr<NKFParser> pAscii;
    bOk = NKFParseLines(
        "user.nkf", {"*NKF-1.00", "*USER 4", "anything at all", "%even this", "1 2 3", "*USER 5"},
        &pAscii);
    ASSERT_TRUE(bOk);
    NKFBlock *pUser = pAscii->FindBlock(NKF_USER, 4);
    EXPECT_TRUE(pUser->LoadData());
    EXPECT_EQ(0, pUser->GetNumItems());
    EXPECT_EQ(2, pAscii->GetNumBlocks(NKF_USER));

    NKFTestWriter w(true);
    AppendFileHeader(w);
    AppendUserBlock(w, 4, 17);
    AppendUserBlock(w, 5, 0);
    std::unique_ptr<NKFParser> pBinary;
    bOk = NKFParseBytes("user.bin.nkf", w, &pBinary);
    ASSERT_TRUE(bOk);
    EXPECT_TRUE(pBinary->FindBlock(NKF_USER, 4)->LoadData());
    EXPECT_EQ(2, pBinary->GetNumBlocks(NKF_USER));
}

TEST(NKFInternalString, AsciiTextSkipsLeadingDirectives)
{
    MessageCapture capture;
    bool bOk = false;
    std::unique_ptr<NKFParser> pParser;
    bOk =
        NKFParseLines("string.nkf",
                      {"*NKF-1.00", "*INTERNALSTRING 1001", "%VERSION", "%MODEL", "Quolin Dulm 6.4",
                       "%kept: not leading", "# comment", "last line", "*USER 1"},
                      &pParser);
    ASSERT_TRUE(bOk);
    auto *pText = (NKFInternalStringBlock *)pParser->FindBlock(NKF_INTERNALSTRING, 1001);
    ASSERT_TRUE(pText->LoadData());
    EXPECT_STREQ("Quolin Dulm 6.4\n%kept: not leading\nlast line\n", pText->GetText().GetText());
    EXPECT_EQ((int)strlen(pText->GetText().GetText()), pText->GetNumItems());
}

TEST(NKFInternalString, BinaryTextFollowsAnyHeaderSize)
{
    MessageCapture capture;
    for (int32_t iHeaderSize : {8, 12}) {
        NKFTestWriter w;
        AppendFileHeader(w);
        AppendInternalStringBlock(w, 3, "size 1234 nodes", iHeaderSize);
        AppendUserBlock(w, 1, 0);
        bool bOk = false;
        std::unique_ptr<NKFParser> pParser;
        bOk = NKFParseBytes("string.bin.nkf", w, &pParser);
        ASSERT_TRUE(bOk);
        auto *pText = (NKFInternalStringBlock *)pParser->FindBlock(NKF_INTERNALSTRING, 3);
        ASSERT_TRUE(pText->LoadData());
        EXPECT_STREQ("size 1234 nodes", pText->GetText().GetText());
        EXPECT_EQ(15, pText->GetTextLength());
        pText->FreeData();  // the text stays
        EXPECT_STREQ("size 1234 nodes", pText->GetText().GetText());
    }
}

TEST(NKFInternalString, TextLongerThanTheFileFails)
{
    MessageCapture capture;
    NKFTestWriter w;
    AppendFileHeader(w);
    AppendInternalStringBlock(w, 3, "abc");
    w.PatchInt(16 + 12, 1 << 30);  // the text length word
    bool bOk = true;
    bOk = NKFParseBytes("string_long.nkf", w);
    EXPECT_FALSE(bOk);
}

TEST(NKFSmallBlocks, WriteBlockSucceedsAndWritesNothing)
{
    MessageCapture capture;
    NKFTestWriter w;
    AppendFileHeader(w);
    AppendTextureBlock(w, 1, "t", 1, 1, 3);
    AppendUserBlock(w, 1, 2);
    AppendInternalStringBlock(w, 1, "x");
    bool bOk = false;
    std::unique_ptr<NKFParser> pParser;
    bOk = NKFParseBytes("write_nothing.nkf", w, &pParser);
    ASSERT_TRUE(bOk);
    std::string path = NKFTestPath("write_nothing.txt");
    FILE *pOut = fopen(path.c_str(), "w");
    pParser->SetOutputFile(pOut);
    for (int iType : {NKF_TEXTURES, NKF_USER, NKF_INTERNALSTRING}) {
        NKFBlock *pBlock = pParser->FindBlock(iType, 1);
        ASSERT_NE(nullptr, pBlock);
        EXPECT_TRUE(pBlock->ResolveReferences());
        EXPECT_TRUE(pBlock->WriteBlock());
    }
    long iSize = ftell(pOut);
    fclose(pOut);
    EXPECT_EQ(0, iSize);
}
