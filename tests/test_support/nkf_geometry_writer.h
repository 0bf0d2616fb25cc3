// tests/test_support/nkf_geometry_writer.h -- *QUOLINGEOMETRY blocks for the
// NKF tests: one content record per step entry, written as ASCII lines or,
// through NKFTestWriter (nkf_test_writer.h), as a binary block in either
// byte order, newer or older step layout, so that one expectation covers
// every form.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/test_support/nkf_test_writer.h"

// The marker word that makes the binary writer use the older step layout
// (element IDs right after the element count, nothing else).
const int32_t NKF_TEST_OLDER_LAYOUT = 1;

struct TestGeometryStep {
    int32_t iNumber;
    std::string name;
    float fTime;
    std::vector<int32_t> faceSets;
    std::vector<int32_t> elements;
    int32_t iPartAttributes = -1;  // binary only
    int32_t iMarker = 0;           // binary: 0, -1 or NKF_TEST_OLDER_LAYOUT
};

// The block as ASCII lines: keyword line, "%NAME", then per entry "%STEP",
// "%STEPNAME", "%STEPTIME" and each non-empty list after its directive. (A
// first entry without IDs merges with the next one in this form.)
std::vector<std::string> GeometryLines(int32_t iID, const char *pszName,
                                       const std::vector<TestGeometryStep> &steps);
// The block in the binary form. The header holds the flag words as far as
// iHeaderSize reaches (92: none, 96: flag A), then zero words; bExtraA and
// bExtraB set the flags and add their words to every newer-layout record.
void AppendGeometryBlock(NKFTestWriter &w, int32_t iID, const char *pszName,
                         const std::vector<TestGeometryStep> &steps, int32_t iHeaderSize = 100,
                         bool bExtraA = false, bool bExtraB = false);
