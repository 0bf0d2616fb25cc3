// nkf/nkf_stream.h -- the byte and line reading under the NKF reader.
//
// NKFStream owns the open file of one reader. Binary values are read in
// bulk (one fread per array) and byte-swapped in bulk when the file's order
// differs from the machine's; every read that fails sets the end flag, and
// a count beyond the end of the file is refused before anything is read, so
// a truncated file can never be read past. ASCII lines are
// read whole, whatever their length, with the trailing CR and LF removed,
// out of a large buffer that holds many lines (one read call per buffer, no
// copy per line); every other use of the file first brings it back to the
// position the lines reached.
// The free NKFScan* functions (core's scanners, core/nk_text_utils.h) parse
// numbers out of ASCII lines without the locale, either as far as a number
// reaches or checking that each word is one finite number. The reader
// (nkf_reader.cpp) lends all this to the block classes; nothing here knows
// about blocks or reports messages.
#pragma once

#include <cstdint>
#include <cstdio>

#include "core/nk_text_utils.h"

class NKFStream {
public:
    NKFStream();
    ~NKFStream();
    NKFStream(const NKFStream &) = delete;
    NKFStream &operator=(const NKFStream &) = delete;

    // Opens the file for binary reading and notes its size; closes a file
    // that was open before. False when it cannot be opened.
    bool Open(const char *pszPath);
    void Close();
    bool IsOpen() const { return m_pFile != nullptr; }
    // The open file (for the form and byte-order probes), positioned where
    // the reads reached; or null.
    FILE *GetFile() const;

    void SetSwapBytes(bool bSwap) { m_bSwapBytes = bSwap; }
    bool GetSwapBytes() const { return m_bSwapBytes; }
    // Set by every failed binary read; never cleared.
    bool IsEndReached() const { return m_bEndReached; }
    // Bytes consumed by the typed binary readers since the last reset.
    int32_t GetBytesRead() const { return m_iBytesRead; }
    void SetBytesRead(int32_t iBytes) { m_iBytesRead = iBytes; }

    int64_t GetFileSize() const { return m_iFileSize; }
    int64_t GetPosition() const;
    bool SetPosition(int64_t iPosition);
    // Bytes from the current position to the end of the file (0 when closed).
    int64_t BytesLeft() const;

    // Reads iCount int32 / float32 values in one go, swapping them when the
    // file's byte order differs. A count beyond the end of the file sets
    // the end flag and fails without reading or touching the destination;
    // a read error zeroes the destination.
    bool ReadInts(int32_t *piValues, int64_t iCount);
    bool ReadFloats(float *pfValues, int64_t iCount);
    // Reads iCount raw bytes (no swapping, not counted as typed bytes).
    bool ReadRaw(void *pBuffer, int64_t iCount);
    // Moves iCount bytes forward; iCount < 1 does nothing and succeeds. A
    // move past the end of the file fails and sets the end flag.
    bool Skip(int64_t iCount);

    // Reads the next physical line, whole, without its CR/LF: iLength bytes
    // and a NUL at *ppszLine, in the line buffer itself (the byte after the
    // line is lent for the NUL and given back at the next read or move).
    // False at the end of the file (then the line is empty).
    bool ReadLine(const char **ppszLine, int64_t *piLength);

private:
    bool ReadWords(void *pValues, int64_t iCount);
    // Drops the line buffer and puts the file where the lines reached.
    void EndLineBuffer() const;
    // Keeps the unread bytes and reads more behind them; false at the end of
    // the file or on a read error.
    bool RefillLineBuffer();
    // The size of the line buffer's first allocation: what is left of the
    // file, between 4 KB and 1 MB.
    size_t FirstLineCapacity() const;
    // Puts back the byte the last line's NUL covers.
    void RestoreLineEnd() const;

    FILE *m_pFile;
    int64_t m_iFileSize;
    bool m_bSwapBytes;
    bool m_bEndReached;
    int32_t m_iBytesRead;
    // The line buffer: bytes [m_iLineStart, m_iLineEnd) of m_pLine are read
    // but not yet taken; m_pLine[0] lies at m_iLineFilePos in the file. While
    // m_bLineBuffer is set the file itself stands at its end.
    mutable bool m_bLineBuffer;
    char *m_pLine;
    size_t m_iLineCapacity;
    size_t m_iLineStart, m_iLineEnd;
    int64_t m_iLineFilePos;
    mutable int64_t m_iLineNul;  // position in m_pLine of the lent byte; -1 none
    char m_cLineNulByte;         // the byte it held
};

// The number scanners are core's (core/nk_text_utils.h); the NKF code
// reads with them under these names.
using NKFWordScan = NKWordScan;
constexpr NKWordScan NKF_WORD_NUMBER = NK_WORD_NUMBER;
constexpr NKWordScan NKF_WORD_ILLEGAL = NK_WORD_ILLEGAL;
constexpr NKWordScan NKF_WORD_MISSING = NK_WORD_MISSING;
inline bool NKFScanInt(const char **ppCursor, int32_t *piValue)
{
    return NKScanInt(ppCursor, piValue);
}
inline bool NKFScanFloat(const char **ppCursor, float *pfValue)
{
    return NKScanFloat(ppCursor, pfValue);
}
inline float NKFDoubleToFloat(double dValue) { return NKDoubleToFloat(dValue); }
inline int32_t NKFWordToInt(const char *pszWord) { return NKWordToInt(pszWord); }
inline double NKFWordToDouble(const char *pszWord) { return NKWordToDouble(pszWord); }
inline NKWordScan NKFScanIntWord(const char **ppCursor, int32_t *piValue)
{
    return NKScanIntWord(ppCursor, piValue);
}
inline NKWordScan NKFScanFloatWord(const char **ppCursor, float *pfValue)
{
    return NKScanFloatWord(ppCursor, pfValue);
}
inline bool NKFIsSeparator(char c) { return NKIsWordSeparator(c); }
inline bool NKFNextWord(const char **ppCursor, const char **ppStart, const char **ppEnd)
{
    return NKNextWord(ppCursor, ppStart, ppEnd);
}
