// tests/test_support/nkf_mesh_writer.h -- binary *NODES, *INDEXEDFACESET
// and *ELEMENTS blocks for the NKF mesh block tests and the NKF parse
// benchmark, written word by word with the NKFTestWriter of
// nkf_test_writer.h (either byte order). Header words are marked as header
// ranges so that robustness tests can damage them.
#pragma once

#include <climits>
#include <cstdint>
#include <vector>

#include "tests/test_support/nkf_test_writer.h"

// A *NODES block of iCount nodes (x y z each), with IDs when piIDs is given.
// A header size above 16 appends zero words to the header record.
void AppendNodesBlock(NKFTestWriter &w, int32_t iID, const int32_t *piIDs, const float *pfCoords,
                      int32_t iCount, int32_t iHeaderSize = 16);

// One polygon of a binary face set: [ID] and its 1-based references; the
// writer negates the last one.
struct NKFTestPolygon {
    int32_t iID;
    std::vector<int32_t> refs;
};

// The count words a block writer takes from its content.
const int32_t NKF_TEST_COUNT_FROM_DATA = INT32_MIN;

// An *INDEXEDFACESET block named pszName, with the block colour pfColor
// (none when null). The header's polygon and connectivity counts are
// taken from the polygons unless given. iMode is the node reference
// mode word (255 = decided by the node block); iHeaderSize 116 leaves out
// both optional words, 120 the mode.
void AppendFaceSetBlock(NKFTestWriter &w, int32_t iID, int32_t iNodeBlockID,
                        const std::vector<NKFTestPolygon> &polygons, bool bWithIDs,
                        int32_t iMode = 255, int32_t iHeaderSize = 124,
                        int32_t iPolygonCount = NKF_TEST_COUNT_FROM_DATA,
                        int32_t iConnectCount = NKF_TEST_COUNT_FROM_DATA,
                        const char *pszName = "face set", const float *pfColor = nullptr);

// One section of a binary element block: element code (type + 1), element
// IDs (used with IDs), node-count references per element, and the count word
// (which may announce more or fewer elements than the data hold).
struct NKFTestSection {
    int32_t iCode;
    std::vector<int32_t> ids;
    std::vector<int32_t> refs;
    int32_t iCount;
};

// An *ELEMENTS block named pszName; iHeaderSize 112 leaves out the three optional words.
// With extended section headers every section header is 20 bytes, or
// iSectionHeaderSize when larger.
void AppendElementsBlock(NKFTestWriter &w, int32_t iID, int32_t iNodeBlockID,
                         const std::vector<NKFTestSection> &sections, bool bWithIDs,
                         bool bExtended = false, int32_t iMode = 255, int32_t iHeaderSize = 124,
                         int32_t iSectionHeaderSize = 20, const char *pszName = "elements");
