// readers/nk_native_file_utils.h -- what the readers of the older native file
// set share: the binary-file test, the byte
// order of a binary file and a reader of its 32-bit words.
//
// The geometry, result and topology readers (nk_native_geometry.h,
// nk_native_result_files.h) read each file whole and check every count
// against the bytes they hold before anything is allocated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/nk_file_read.h"  // NKReadWholeFile, NKReadFileHead: regular files only

// The binary-file test: a byte 0x00-0x06 among the first 1024 (bytes of
// 0x80 and above are letters of a text's encoding).
bool NKIsBinaryText(const std::string &bytes);
// Whether the words need swapping: the first word read as it stands lies in
// 1..65535 (no), or swapped does (yes). False when neither does.
bool NKDecideByteOrder(const std::string &bytes, bool *pbSwap);
// Whether iCount more numbers could still follow the cursor in the text:
// each takes one character and all but the last a separator after it.
bool NKNumbersFit(const std::string &text, const char *pCursor, int64_t iCount);
// The lines of a text file's contents, each without its "\n" or "\r\n";
// a last line without an end of line counts, an empty text has none.
std::vector<std::string> NKSplitTextLines(const std::string &text);

// Reads 32-bit words from the start of a byte string, swapping each when
// asked. Reads past the end fail and leave the output as it was.
class NKWordReader {
public:
    NKWordReader(const std::string &bytes, bool bSwap) : m_Bytes(bytes), m_bSwap(bSwap) {}
    bool Next(int *piValue);
    bool NextFloat(float *pfValue);
    // n words into the array; false (nothing read) when fewer are left.
    bool Ints(int *piValues, size_t n);
    bool Floats(float *pfValues, size_t n);
    // Skips n words; false (nothing skipped) when fewer are left.
    bool Skip(int64_t n);
    int64_t WordsLeft() const { return static_cast<int64_t>(m_Bytes.size() - m_iPos) / 4; }
    int Count() const { return static_cast<int>(m_iPos / 4); }  // words read so far

private:
    bool Copy(void *pOut, size_t n);
    const std::string &m_Bytes;
    bool m_bSwap;
    size_t m_iPos = 0;
};
