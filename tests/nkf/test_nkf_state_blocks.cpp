// tests/nkf/test_nkf_state_blocks.cpp -- the *PARTATTRIBUTES, *SETTINGS and
// *ITEMS blocks: record sizes, defaults, counts, the ASCII refusal, both
// byte orders, and damaged files that must fail cleanly.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nkf/nkf_parser.h"
#include "nkf/nkf_state_blocks.h"
#include "tests/nkf/nkf_state_block_writer.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nkf_test_parse.h"

namespace {

struct MainCase {
    int iSize;
    bool bLoads;
};

// A settings block whose main record has the size, followed by a scalar
// record holding 7 and 8, so a wrong skip shows in the next record.
NKFTestWriter SettingsFile(bool bBig, int iMainSize, int iScalarSize = 28)
{
    NKFTestWriter w(bBig);
    AppendFileHeader(w);
    NKFTestSettings s;
    s.iMainSize = iMainSize;
    s.main.SetF(237, 0.25f);
    s.main.SetI(300, 4);
    s.main.SetI(46, 12);
    NKFScalarSettings scalar;
    NKFInitScalarSettings(&scalar);
    scalar.SetF(1, 7.0f);
    scalar.SetF(2, 8.0f);
    s.scalars.push_back(scalar);
    s.iScalarSize = iScalarSize;
    AppendSettingsBlock(w, 1, s);
    return w;
}

}  // namespace

TEST(NKFStateBlocks, MainRecordSizesInBothByteOrders)
{
    const MainCase cases[] = {{948, true}, {947, false}, {1228, true}, {1300, true}};
    for (bool bBig : {false, true}) {
        for (const MainCase &c : cases) {
            SCOPED_TRACE(std::to_string(c.iSize) + (bBig ? " big" : " little"));
            MessageCapture capture;
            std::unique_ptr<NKFParser> pParser;
            ASSERT_TRUE(NKFParseBytes("settings.nkf", SettingsFile(bBig, c.iSize), &pParser));
            auto *pBlock = NKFFindBlock<NKFSettingsBlock>(pParser, NKF_SETTINGS, 1);
            ASSERT_NE(pBlock, nullptr);
            EXPECT_EQ(pBlock->GetNumItems(), 2);
            EXPECT_EQ(pBlock->LoadData(), c.bLoads);
            if (!c.bLoads) {
                EXPECT_TRUE(capture.Contains(
                    "Block type : *SETTINGS. ID = 1 : Wrong size of Quolin Settings struct."))
                    << capture.Text();
                EXPECT_EQ(pBlock->GetMainSettings(), nullptr);
                continue;
            }
            const NKFMainSettings *pMain = pBlock->GetMainSettings();
            ASSERT_NE(pMain, nullptr);
            EXPECT_EQ(pMain->I(46), 12);
            bool bShort = c.iSize < 952;
            EXPECT_EQ(pMain->F(237), bShort ? 3.4028235e38f : 0.25f);
            EXPECT_EQ(pMain->I(300), bShort ? -1 : 4);
            EXPECT_EQ(pMain->I(233), -999);
            ASSERT_NE(pBlock->GetScalarSettings(0), nullptr);
            EXPECT_EQ(pBlock->GetScalarSettings(0)->F(1), 7.0f);
            EXPECT_EQ(pBlock->GetScalarSettings(0)->F(2), 8.0f);
            EXPECT_EQ(pBlock->GetScalarSettings(1), nullptr);
        }
    }
}

TEST(NKFStateBlocks, ScalarExtraAndPartRecordSizes)
{
    for (bool bBig : {false, true}) {
        MessageCapture capture;
        std::unique_ptr<NKFParser> pParser;
        // Scalar 23: refused; 24: read for its size, word 6 keeps its default.
        ASSERT_TRUE(NKFParseBytes("scalar23.nkf", SettingsFile(bBig, 948, 23), &pParser));
        auto *pBlock = NKFFindBlock<NKFSettingsBlock>(pParser, NKF_SETTINGS, 1);
        EXPECT_FALSE(pBlock->LoadData());
        EXPECT_TRUE(capture.Contains("Wrong size of Scalar Settings struct."));
        ASSERT_TRUE(NKFParseBytes("scalar24.nkf", SettingsFile(bBig, 948, 24), &pParser));
        pBlock = NKFFindBlock<NKFSettingsBlock>(pParser, NKF_SETTINGS, 1);
        ASSERT_TRUE(pBlock->LoadData());
        EXPECT_EQ(pBlock->GetScalarSettings(0)->F(2), 8.0f);
        EXPECT_EQ(pBlock->GetScalarSettings(0)->F(6), 3.4028235e38f);

        // An extra record under 428 bytes: skipped, defaults, true.
        NKFTestWriter w(bBig);
        AppendFileHeader(w);
        NKFTestSettings s;
        s.bExtra = true;
        s.iExtraSize = 400;
        s.extra.SetI(63, 5);
        AppendSettingsBlock(w, 1, s);
        ASSERT_TRUE(NKFParseBytes("extra400.nkf", w, &pParser));
        pBlock = NKFFindBlock<NKFSettingsBlock>(pParser, NKF_SETTINGS, 1);
        ASSERT_TRUE(pBlock->LoadData());
        EXPECT_EQ(pBlock->GetMainSettings(), nullptr);
        ASSERT_NE(pBlock->GetExtraSettings(), nullptr);
        EXPECT_EQ(pBlock->GetExtraSettings()->I(63), -1);

        // Part attributes: 220 loads, 216 is refused.
        NKFPartAttributes part;
        NKFInitPartAttributes(&part);
        part.SetI(1, 3);
        for (int iSize : {220, 216}) {
            NKFTestWriter wp(bBig);
            AppendFileHeader(wp);
            AppendPartAttributesBlock(wp, 0, {part, part}, iSize);
            ASSERT_TRUE(NKFParseBytes("parts.nkf", wp, &pParser));
            auto *pParts = NKFFindBlock<NKFPartAttributesBlock>(pParser, NKF_PARTATTRIBUTES, 0);
            ASSERT_NE(pParts, nullptr);
            EXPECT_EQ(pParts->GetNumItems(), 2);
            EXPECT_EQ(pParts->LoadData(), iSize == 220);
            if (iSize == 220) {
                EXPECT_EQ(pParts->GetPartAttributes(1)->I(1), 3);
                EXPECT_EQ(pParts->GetPartAttributes(2), nullptr);
            } else {
                EXPECT_TRUE(capture.Contains("Wrong size of Part Attributes struct"));
                EXPECT_EQ(pParts->GetPartAttributes(0), nullptr);
            }
        }
    }
}

TEST(NKFStateBlocks, ItemsCountsAndRecords)
{
    for (bool bBig : {false, true}) {
        NKFTestWriter w(bBig);
        AppendFileHeader(w);
        NKFTestItems items;
        NKFCutPlaneItem plane;
        NKFInitCutPlaneItem(&plane);
        plane.SetF(1, 5.0f);
        items.planes = {plane, plane};
        NKFParticleTraceItem particles;
        NKFInitParticleTraceItem(&particles);
        items.particles = {particles, particles, particles};
        AppendItemsBlock(w, 1, items);
        std::unique_ptr<NKFParser> pParser;
        ASSERT_TRUE(NKFParseBytes("items.nkf", w, &pParser));
        auto *pItems = NKFFindBlock<NKFItemsBlock>(pParser, NKF_ITEMS, 1);
        ASSERT_NE(pItems, nullptr);
        EXPECT_EQ(pItems->GetNumItems(), 2);
        EXPECT_EQ(pItems->GetCutPlane(0), nullptr);  // not loaded yet
        ASSERT_TRUE(pItems->LoadData());
        EXPECT_EQ(pItems->GetCutPlane(1)->F(1), 5.0f);
        EXPECT_EQ(pItems->GetCutPlane(1)->I(7), -1);
        EXPECT_NE(pItems->GetParticleTraces(2), nullptr);
        EXPECT_EQ(pItems->GetParticleTraces(3), nullptr);
        EXPECT_EQ(pItems->GetIsoSurface(0), nullptr);
    }
}

TEST(NKFStateBlocks, AsciiFormIsRefused)
{
    struct Case {
        const char *pszKeyword;
        const char *pszMessage;
    } cases[] = {
        {"*SETTINGS 1", "ASCII version of Quolin Settings Block is not implemented yet."},
        {"*ITEMS 1", "ASCII version of Items Block is not implemented yet."},
        {"*PARTATTRIBUTES 1", "ASCII version of Part Attributes Block is not implemented yet."}};
    for (const Case &c : cases) {
        MessageCapture capture;
        EXPECT_FALSE(NKFParseBody("ascii_state.nkf", {c.pszKeyword}));
        EXPECT_TRUE(capture.Contains(c.pszMessage)) << capture.Text();
    }
}

// Every cut and every damaged header word must fail or load cleanly under
// the sanitizers; counts that pass the data are refused before allocating.
TEST(NKFStateBlocks, DamagedFilesFailCleanly)
{
    NKFTestWriter w;
    AppendFileHeader(w);
    NKFTestSettings s;
    s.iMainSize = 1228;
    NKFScalarSettings scalar;
    NKFInitScalarSettings(&scalar);
    s.scalars = {scalar};
    NKFVectorSettings vector;
    NKFInitVectorSettings(&vector);
    s.vectors = {vector, vector};
    s.bExtra = true;
    AppendSettingsBlock(w, 1, s);
    NKFTestItems items;
    NKFCutPlaneItem plane;
    NKFInitCutPlaneItem(&plane);
    NKFNodeItem node;
    NKFInitNodeItem(&node);
    items.planes = {plane};
    items.traces = {node, node};
    AppendItemsBlock(w, 1, items);
    NKFPartAttributes part;
    NKFInitPartAttributes(&part);
    AppendPartAttributesBlock(w, 0, {part});
    MessageCapture capture;
    const std::vector<uint8_t> &bytes = w.Data();
    for (size_t n = 16; n < bytes.size(); n++) {
        NKFTestWriter cut;
        cut.Bytes(bytes.data(), n);
        NKFExerciseEveryBlock(NKFWriteTestFile("state_cut.nkf", cut));
    }
    const int32_t aiValues[] = {-1, 0, 0x7fffffff, 100000};
    for (const auto &range : w.HeaderRanges()) {
        for (size_t at = range.first + 8; at + 4 <= range.second; at += 4) {
            for (int32_t iValue : aiValues) {
                NKFTestWriter bad = w;
                bad.PatchInt(at, iValue);
                NKFExerciseEveryBlock(NKFWriteTestFile("state_bad.nkf", bad));
            }
        }
    }
}

// An extra settings record of exactly its own size, 428 bytes, is read word
// by word in either byte order, and so is a larger one, its surplus passed
// over; one byte short it is passed over whole with its defaults.
TEST(NKFStateBlocks, ExtraRecordOfItsOwnSizeIsRead)
{
    for (bool bBig : {false, true})
        for (int iSize : {428, 440, 427}) {
            SCOPED_TRACE(std::to_string(iSize) + (bBig ? " big-endian" : ""));
            MessageCapture capture;
            NKFTestWriter w(bBig);
            AppendFileHeader(w);
            NKFTestSettings s;
            s.bExtra = true;
            s.iExtraSize = iSize;
            s.extra.SetI(61, 1);
            s.extra.SetI(63, 5);
            s.extra.SetI(67, 30);
            s.extra.SetF(84, 0.75f);
            s.extra.SetI(99, 27);
            s.extra.SetF(106, -2.5f);
            AppendSettingsBlock(w, 1, s);
            std::unique_ptr<NKFParser> pParser;
            ASSERT_TRUE(NKFParseBytes("extra.nkf", w, &pParser)) << capture.Text();
            auto *pBlock = NKFFindBlock<NKFSettingsBlock>(pParser, NKF_SETTINGS, 1);
            ASSERT_TRUE(pBlock->LoadData()) << capture.Text();
            const NKFExtraSettings *pExtra = pBlock->GetExtraSettings();
            ASSERT_NE(pExtra, nullptr);
            const bool bRead = iSize >= 428;
            EXPECT_EQ(pExtra->I(61), bRead ? 1 : -1);
            EXPECT_EQ(pExtra->I(63), bRead ? 5 : -1);
            EXPECT_EQ(pExtra->I(67), bRead ? 30 : -1);
            EXPECT_EQ(pExtra->F(84), bRead ? 0.75f : -1.0f);
            EXPECT_EQ(pExtra->I(99), bRead ? 27 : -1);
            EXPECT_EQ(pExtra->F(106), bRead ? -2.5f : 0.0f);
        }
}
