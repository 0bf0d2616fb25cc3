// tests/nkf/test_nkf_robustness.cpp -- damaged files never crash, hang or
// read out of bounds: a small binary file cut at every byte position, and
// every byte of its headers replaced, each parsed and then every parsed
// block loaded (run under AddressSanitizer and UBSan). ASCII files cut at
// every byte as well.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "nkf/nkf_parser.h"
#include "tests/nkf/nkf_damage_check.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nkf_mesh_writer.h"
#include "tests/test_support/nkf_test_parse.h"
#include "tests/test_support/nkf_test_writer.h"
#include "tests/test_support/test_files.h"

namespace {

// Every kind of block this reader knows, plus one read by framing only and
// one unknown code, in a file of a few hundred bytes. *pBlockEnds, when
// given, receives the size after the file header and after each block.
NKFTestWriter SmallFile(bool bBigEndian, std::vector<size_t> *pBlockEnds = nullptr)
{
    const int32_t aiIDs[] = {9, 4, 6};
    const float afScalars[] = {0.25f, -1.0f, 3.0f};
    const float afVectors[] = {1, 2, 3, 4, 5, 6};
    NKFTestWriter w(bBigEndian);
    std::vector<size_t> ends;
    AppendFileHeader(w);
    ends.push_back(w.Size());
    AppendResultsBlock(w, 1, 1, 1, 0, aiIDs, afScalars, 3, 1);
    ends.push_back(w.Size());
    AppendResultsBlock(w, 2, 3, 2, 1, nullptr, afVectors, 2, 3);
    ends.push_back(w.Size());
    AppendTextureBlock(w, 1, "t", 2, 1, 6);
    ends.push_back(w.Size());
    AppendUserBlock(w, 1, 3);
    ends.push_back(w.Size());
    AppendInternalStringBlock(w, 1001, "nodes 12", 12);
    ends.push_back(w.Size());
    AppendFramedBlock(w, 1030, 5, 4);  // unknown code, skipped
    ends.push_back(w.Size());
    const float afCoords[] = {0, 0, 0, 1, 0, 0};
    AppendNodesBlock(w, 1, nullptr, afCoords, 2);
    if (pBlockEnds != nullptr) *pBlockEnds = ends;
    return w;
}

}  // namespace

TEST(NKFRobustness, SmallFileParsesWholeInBothByteOrders)
{
    MessageCapture capture;
    for (bool bBig : {false, true}) {
        NKFTestWriter w = SmallFile(bBig);
        std::string path = NKFTestPath("small.nkf");
        ASSERT_TRUE(NKTestWriteBytes(path, w.Data()));
        NKFParser parser(NKString(path.c_str()));
        ASSERT_TRUE(parser.Parse()) << capture.Text();
        int n = 0;
        for (; parser.GetBlockByIndex(n) != nullptr; n++)
            EXPECT_TRUE(parser.GetBlockByIndex(n)->LoadData());
        EXPECT_EQ(6, n);  // the unknown block is not kept
    }
}

TEST(NKFRobustness, TruncatedAtEveryByteNeverCrashes)
{
    MessageCapture capture;  // keeps the flood of reports off the console
    for (bool bBig : {false, true}) {
        std::vector<size_t> ends;
        NKFTestWriter w = SmallFile(bBig, &ends);
        std::string path = NKFTestPath("truncated.nkf");
        for (size_t iSize = 0; iSize < w.Size(); iSize++) {
            ASSERT_TRUE(NKTestWriteBytes(path, w.Data().data(), iSize));
            const bool bCutInBlock = std::find(ends.begin(), ends.end(), iSize) == ends.end();
            NKFExpectDamageReported(path, &capture, bCutInBlock, "cut at " + std::to_string(iSize));
        }
    }
}

TEST(NKFRobustness, DamagedHeaderBytesNeverCrash)
{
    MessageCapture capture;
    const uint8_t acReplacements[] = {0x00, 0x01, 0x7F, 0x80, 0xFF};
    for (bool bBig : {false, true}) {
        NKFTestWriter w = SmallFile(bBig);
        std::string path = NKFTestPath("damaged.nkf");
        std::vector<uint8_t> data = w.Data();
        for (const auto &range : w.HeaderRanges()) {
            for (size_t i = range.first; i < range.second; i++) {
                uint8_t cKept = data[i];
                data[i] = (uint8_t)~cKept;  // every bit flipped
                ASSERT_TRUE(NKTestWriteBytes(path, data.data(), data.size()));
                NKFExpectDamageReported(path, &capture, false,
                                        "byte " + std::to_string(i) + " flipped");
                for (uint8_t c : acReplacements) {
                    data[i] = c;
                    ASSERT_TRUE(NKTestWriteBytes(path, data.data(), data.size()));
                    NKFExpectDamageReported(path, &capture, false,
                                            "byte " + std::to_string(i) + " = " +
                                                std::to_string(c));
                }
                data[i] = cKept;
            }
        }
    }
}

TEST(NKFRobustness, TruncatedAsciiFileNeverCrashes)
{
    MessageCapture capture;
    std::string text =
        NKFJoinLines({"*NKF-1.00", "*RESULTS 1", "%WITH_ID", "%DIMENSION 3", "%PER_NODE #1",
                      "1 1 2 3", "2 4 5 6", "*NODES 1", "0 0 0", "*INTERNALSTRING 2", "%X", "text",
                      "*USER 3", "u", "*RESULTS 2", "1.5"});
    std::string path = NKFTestPath("truncated_ascii.nkf");
    for (size_t iSize = 0; iSize <= text.size(); iSize++) {
        ASSERT_TRUE(NKTestWriteBytes(path, text.data(), iSize));
        // Inside the first line the file is no NKF file at all.
        NKFExpectDamageReported(path, &capture, iSize < 10, "cut at " + std::to_string(iSize));
    }
}
