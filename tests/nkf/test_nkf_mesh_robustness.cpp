// tests/nkf/test_nkf_mesh_robustness.cpp -- damaged mesh blocks never crash,
// hang or read out of bounds: a small binary file of node, face-set and
// element blocks cut at every byte and with every header word replaced by
// hostile values, and the ASCII twin cut at every byte. Each damaged file is
// parsed, and every parsed block loaded and turned into parts and element
// lists (run under AddressSanitizer and UBSan).
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "core/nk_mesh.h"
#include "nkf/nkf_elements.h"
#include "nkf/nkf_faceset.h"
#include "tests/nkf/nkf_damage_check.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nkf_mesh_writer.h"
#include "tests/test_support/nkf_test_parse.h"
#include "tests/test_support/test_files.h"

namespace {

// The file of mesh blocks; *pBlockEnds, when given, receives the size after
// the file header and after each block (where a cut leaves a whole file).
NKFTestWriter MeshFile(bool bBigEndian, std::vector<size_t> *pBlockEnds = nullptr)
{
    const int32_t aiIDs[] = {5, 1, 9, 3};
    const float afCoords[] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    NKFTestWriter w(bBigEndian);
    std::vector<size_t> ends;
    AppendFileHeader(w);
    ends.push_back(w.Size());
    AppendNodesBlock(w, 1, aiIDs, afCoords, 4);
    ends.push_back(w.Size());
    AppendNodesBlock(w, 2, nullptr, afCoords, 4);
    ends.push_back(w.Size());
    AppendFaceSetBlock(w, 1, 1, {{7, {5, 1, 9}}, {8, {9, 3, 5}}}, true);
    ends.push_back(w.Size());
    AppendFaceSetBlock(w, 2, 2, {{0, {1, 2, 3, 4}}}, false, 0, 116);
    ends.push_back(w.Size());
    AppendElementsBlock(w, 1, 1, {{5, {}, {5, 1, 9, 3}, 1}, {3, {}, {1, 9, 3}, 1}, {19, {}, {}, 2}},
                        false);
    ends.push_back(w.Size());
    AppendElementsBlock(w, 2, 2, {{1, {11, 12}, {1, 2, 3, 4}, 2}, {18, {13}, {4}, 1}}, true, true,
                        0);
    if (pBlockEnds != nullptr) *pBlockEnds = ends;
    return w;
}

const std::vector<std::string> g_AsciiLines = {
    "*NKF-1.00", "*NODES 1", "%WITH_ID",          "5 0 0 0",   "1 1 0 0",
    "9 1 1 0",   "3 0 1 0",  "*INDEXEDFACESET 1", "%NODES #1", "%WITH_ID",
    "7 5 1 -9",  "8 9 3 -5", "*ELEMENTS 1",       "%NODES #1", "1 5 9 3 1 5 9 3",
    "%QUADS",    "5 1 9 3",  "%TRIANGLES",        "1 9 3",     "%COLOR_BINDINGS",
    "1"};

}  // namespace

TEST(NKFMeshRobustness, TheUndamagedFilesBuildEveryPart)
{
    MessageCapture capture;
    for (bool bBig : {false, true}) {
        std::string path = NKFTestPath("mesh_whole.nkf");
        ASSERT_TRUE(NKTestWriteBytes(path, MeshFile(bBig).Data()));
        NKFParser parser(NKString(path.c_str()));
        parser.SetDeferReferences(false);
        ASSERT_TRUE(parser.Parse()) << capture.Text();
        for (int iID : {1, 2}) {
            NKIndexedFaceSet a, b;
            ASSERT_TRUE(dynamic_cast<Elements *>(parser.FindBlock(NKF_ELEMENTS, iID))
                            ->NKCreatePartFromElements(&a, false))
                << capture.Text();
            ASSERT_TRUE(
                dynamic_cast<NKFIndexedFaceSetBlock *>(parser.FindBlock(NKF_INDEXEDFACESET, iID))
                    ->NKCreatePartFromFaceSet(&b, false))
                << capture.Text();
            EXPECT_GT(a.iNumPolygons, 0);
            EXPECT_GT(b.iNumPolygons, 0);
            NKFreePolygonMesh(&a);
            NKFreePolygonMesh(&b);
        }
    }
    std::string path = NKFTestPath("mesh_whole_ascii.nkf");
    NKTestWriteText(path, NKFJoinLines(g_AsciiLines));
    NKFParser parser(NKString(path.c_str()));
    ASSERT_TRUE(parser.Parse()) << capture.Text();
    NKIndexedFaceSet fs;
    ASSERT_TRUE(dynamic_cast<Elements *>(parser.FindBlock(NKF_ELEMENTS, 1))
                    ->NKCreatePartFromElements(&fs, false));
    EXPECT_EQ(6 + 1 + 1, fs.iNumPolygons);
    NKFreePolygonMesh(&fs);
}

TEST(NKFMeshRobustness, BinaryTruncatedAtEveryByteNeverCrashes)
{
    MessageCapture capture;
    for (bool bBig : {false, true}) {
        std::vector<size_t> ends;
        NKFTestWriter w = MeshFile(bBig, &ends);
        std::string path = NKFTestPath("mesh_truncated.nkf");
        for (size_t iSize = 0; iSize < w.Size(); iSize++) {
            ASSERT_TRUE(NKTestWriteBytes(path, w.Data().data(), iSize));
            const bool bCutInBlock = std::find(ends.begin(), ends.end(), iSize) == ends.end();
            NKFExpectDamageReported(path, &capture, bCutInBlock, "cut at " + std::to_string(iSize),
                                    iSize % 2 == 0);
        }
    }
}

TEST(NKFMeshRobustness, BinaryHeaderWordsReplacedNeverCrash)
{
    MessageCapture capture;
    const int32_t aiHostile[] = {0, -1, 1, 3, 19, 20, 1023, 1025, 0x40000000, INT32_MIN, INT32_MAX};
    for (bool bBig : {false, true}) {
        NKFTestWriter w = MeshFile(bBig);
        std::string path = NKFTestPath("mesh_damaged.nkf");
        for (const auto &range : w.HeaderRanges()) {
            for (size_t iOffset = range.first; iOffset + 4 <= range.second; iOffset += 4) {
                for (int32_t iValue : aiHostile) {
                    NKFTestWriter damaged = w;
                    damaged.PatchInt(iOffset, iValue);
                    ASSERT_TRUE(NKTestWriteBytes(path, damaged.Data()));
                    NKFExpectDamageReported(path, &capture, false,
                                            "word at " + std::to_string(iOffset) + " = " +
                                                std::to_string(iValue),
                                            iValue % 2 == 0);
                }
            }
        }
    }
}

TEST(NKFMeshRobustness, DataWordsReplacedNeverCrash)
{
    MessageCapture capture;
    const int32_t aiHostile[] = {0, -1, 4, 5, INT32_MIN, INT32_MAX};
    NKFTestWriter w = MeshFile(false);
    std::string path = NKFTestPath("mesh_data.nkf");
    for (size_t iOffset = 16; iOffset + 4 <= w.Size(); iOffset += 4) {
        for (int32_t iValue : aiHostile) {
            NKFTestWriter damaged = w;
            damaged.PatchInt(iOffset, iValue);
            ASSERT_TRUE(NKTestWriteBytes(path, damaged.Data()));
            NKFExpectDamageReported(path, &capture, false,
                                    "word at " + std::to_string(iOffset) + " = " +
                                        std::to_string(iValue));
        }
    }
}

TEST(NKFMeshRobustness, AsciiTruncatedAtEveryByteNeverCrashes)
{
    MessageCapture capture;
    std::string text = NKFJoinLines(g_AsciiLines);
    std::string path = NKFTestPath("mesh_truncated_ascii.nkf");
    for (size_t iSize = 0; iSize < text.size(); iSize++) {
        ASSERT_TRUE(NKTestWriteText(path, text.substr(0, iSize)));
        // Inside the first line the file is no NKF file at all.
        NKFExpectDamageReported(path, &capture, iSize < 10, "cut at " + std::to_string(iSize),
                                iSize % 2 == 0);
    }
}
