// tests/test_support/nkf_test_writer.h -- builds small NKF files for the NKF
// tests and the NKF parse benchmark, word by word, in either byte order
// (binary) or line by line (ASCII).
//
// NKFTestWriter appends 32-bit words, raw bytes and 80-byte text fields to
// a byte buffer in the chosen byte order, and remembers which byte ranges
// are header words (file header, block framing, header records) so that a
// robustness test can damage exactly those. The free Append* functions
// write whole blocks, one commented word at a time, so that every test can
// build the same content in both byte orders. Files go to a per-process
// temporary folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class NKFTestWriter {
public:
    explicit NKFTestWriter(bool bBigEndian = false) : m_bBigEndian(bBigEndian) {}

    void Int(int32_t iValue);                      // one int32 word
    void Float(float fValue);                      // one float32 word
    void Bytes(const void *pData, size_t iCount);  // raw bytes, as given
    void Text80(const char *pszText);              // 80 bytes, NUL-padded
    // Everything appended between these two is a header byte range.
    void BeginHeader() { m_iHeaderStart = m_Data.size(); }
    void EndHeader() { m_HeaderRanges.push_back({m_iHeaderStart, m_Data.size()}); }
    // Overwrites the word at a byte offset (in the writer's byte order).
    void PatchInt(size_t iOffset, int32_t iValue);

    size_t Size() const { return m_Data.size(); }
    const std::vector<uint8_t> &Data() const { return m_Data; }
    const std::vector<std::pair<size_t, size_t>> &HeaderRanges() const { return m_HeaderRanges; }
    bool IsBigEndian() const { return m_bBigEndian; }

private:
    bool m_bBigEndian;
    std::vector<uint8_t> m_Data;
    size_t m_iHeaderStart = 0;
    std::vector<std::pair<size_t, size_t>> m_HeaderRanges;
};

// The 16-byte binary file header (magic words and version).
void AppendFileHeader(NKFTestWriter &w, int32_t iVersion = 1);
// A *RESULTS block: iCount items of iValuesPerItem floats, with IDs when
// piIDs is given; the header's dimension word is iDimension.
void AppendResultsBlock(NKFTestWriter &w, int32_t iID, int32_t iDimension, int32_t iRefID,
                        int32_t iMapping, const int32_t *piIDs, const float *pfValues,
                        int32_t iCount, int iValuesPerItem);
// A *TEXTURES block; iDataBytes of pixel data follow (0, 1, 2, ... mod 256),
// whatever width and height say.
void AppendTextureBlock(NKFTestWriter &w, int32_t iID, const char *pszName, int32_t iWidth,
                        int32_t iHeight, int32_t iDataBytes, int32_t iHeaderSize = 96);
// A *USER block with iDataBytes bytes of content.
void AppendUserBlock(NKFTestWriter &w, int32_t iID, int32_t iDataBytes);
// An *INTERNALSTRING block holding the text, with a header of iHeaderSize.
void AppendInternalStringBlock(NKFTestWriter &w, int32_t iID, const char *pszText,
                               int32_t iHeaderSize = 8);
// A block of any code framed by header size / data size with no fields of
// its own (for unknown codes and for types read by framing only).
void AppendFramedBlock(NKFTestWriter &w, int32_t iCode, int32_t iID, int32_t iDataBytes,
                       int32_t iHeaderSize = 8);

// A path in the process's folder of test files (in NKTestTempRoot()),
// which is removed when the process ends.
std::string NKFTestPath(const char *pszName);
// Writes the lines (joined as by NKFJoinLines) or the writer's bytes to
// NKFTestPath(pszName) and returns that path. A file that cannot be written
// is not reported here; opening it shows.
std::string NKFWriteTestFile(const char *pszName, const std::vector<std::string> &lines);
std::string NKFWriteTestFile(const char *pszName, const NKFTestWriter &w);
// Joins the lines with LF, each line ending in one.
std::string NKFJoinLines(const std::vector<std::string> &lines);
