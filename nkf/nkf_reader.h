// nkf/nkf_reader.h -- NKFReader, all that an NKF block sees of its file.
//
// The reader owns the open file of one NKF file (NKFStream, nkf_stream.h)
// and its block list (NKFBlockList, nkf_block_list.h), and lends the block
// classes what they read and report through: the significant lines of the
// ASCII form with their numbers and a one-line push-back, the words of the
// binary form in the file's byte order, positions to come back to for a
// later load, the text output of the writers, the reporters, and the
// lookup of the blocks a block refers to; the free functions at the end
// take the words of an ASCII line apart. NKFParser derives from it and
// adds the parse that sets the form, the byte order and the blocks; block
// classes know only this reader, never the parse or the factory.
//
// What it guarantees: no read passes the end of the file; binary reads
// never report (a failed read sets the end flag, which stays set, and a
// single value read then yields 0), so the block decides what to say; a
// line reads as "" only at the end of the file or with no file open; every
// report is composed once here and handed to the message output. One
// reader per opened file; not copyable. No Qt, no GL.
#pragma once

#include <cstdint>
#include <cstdio>

#include "core/nk_string.h"
#include "nkf/nkf_stream.h"

class NKFBlock;
class NKFBlockList;

class NKFReader {
public:
    explicit NKFReader(const NKString &fileName);
    virtual ~NKFReader();
    NKFReader(const NKFReader &) = delete;
    NKFReader &operator=(const NKFReader &) = delete;

    NKString GetFileName() const { return m_FileName; }
    bool IsBinary() const { return m_bBinary; }
    bool IsAscii() const { return !m_bBinary; }
    bool GetSwapBytes() const { return m_Stream.GetSwapBytes(); }
    // True from construction: Parse does not resolve references, and the
    // blocks skip their strict word-count checks.
    bool GetDeferReferences() const { return m_bDeferReferences; }
    void SetDeferReferences(bool bDefer) { m_bDeferReferences = bDefer; }

    // Block access; a type outside 0..27 or an index out of range gives
    // null (0 blocks).
    int GetNumBlocks(int iType) const;
    NKFBlock *GetBlock(int iType, int i) const;
    NKFBlock *FindBlock(int iType, int iID) const;
    NKFBlock *GetBlockByIndex(int n) const;

    // The next significant line (blank and comment lines are passed over
    // but counted); "" at the end of the file.
    NKString ReadLine();
    // The same, as a reference to the current line (valid until the next
    // read): the row readers use it to avoid a copy per line.
    const NKString &NextLine();
    const NKString &GetCurrentLine() const { return m_CurrentLine; }
    void PushBackLine() { m_bLinePushedBack = true; }
    bool IsLinePushedBack() const { return m_bLinePushedBack; }
    int GetLineNumber() const { return m_iLineNumber; }
    void SetLineNumber(int iLine) { m_iLineNumber = iLine; }

    int32_t ReadInt();
    float ReadFloat();
    bool ReadVec3(float pfVec[3]);
    // Bulk forms: one read and one swap for the whole array.
    bool ReadInts(int32_t *piValues, int64_t iCount);
    bool ReadFloats(float *pfValues, int64_t iCount);
    // 80 raw bytes, no terminator added.
    bool ReadChars80(char pcBuffer[80]);
    // 80 bytes as text, at most 80 characters; "" on failure.
    NKString ReadString80();
    // Raw bytes, neither swapped nor counted; false for a null buffer.
    bool ReadBytes(void *pBuffer, int64_t iCount);
    bool Skip(int64_t iCount);
    bool GetPosition(int64_t *piPosition) const;
    bool SetPosition(int64_t iPosition);
    int64_t BytesLeft() const { return m_Stream.BytesLeft(); }
    bool IsEndReached() const { return m_Stream.IsEndReached(); }
    int32_t GetBytesRead() const { return m_Stream.GetBytesRead(); }
    void SetBytesRead(int32_t iBytes) { m_Stream.SetBytesRead(iBytes); }

    // The stream WriteText writes to (not owned; null: nothing is written).
    void SetOutputFile(FILE *pFile) { m_pOutputFile = pFile; }
    FILE *GetOutputFile() const { return m_pOutputFile; }
    void WriteText(const char *pszText);

    // Reporters: title, " : ", message; an empty title becomes "ERROR",
    // "WARNING" or "INFO".
    void ReportError(const NKString &title, const NKString &message);
    void ReportWarning(const NKString &title, const NKString &message);
    void ReportInfo(const NKString &title, const NKString &message);
    // ReportError with the message, " \n\n" and, in the ASCII form, the
    // line number and the current line.
    void ReportLineError(const NKString &title, const NKString &message);
    // The text ReportLineError reports under its title.
    NKString WithLineInfo(const NKString &message) const;
    // True while NKFParser::Parse runs (the first pass); the blocks name the
    // file in what they report after it (NKFBlock::ReportError).
    bool IsParsing() const { return m_bParsing; }
    // Counts iBytes against the memory the first pass may fill with
    // converted ASCII rows (nkf_parsed_rows.h); false once it is spent.
    bool ClaimParsedBytes(int64_t iBytes);

protected:
    // Set up by the parse: the file is opened, its form and byte order
    // found and its blocks filed here.
    NKString m_FileName;
    NKFStream m_Stream;
    bool m_bBinary;
    NKFBlockList *m_pBlocks;  // owned; released with the reader
    int32_t m_iLineNumber;
    bool m_bDeferReferences;
    bool m_bParsing;

private:
    void StoreCurrentLine(const char *pszLine, int64_t iLength);

    FILE *m_pOutputFile;
    int64_t m_iParsedBytes;  // claimed by ClaimParsedBytes
    NKString m_CurrentLine;
    int m_iLineCapacity;  // bytes of m_CurrentLine's buffer, reused line after line
    bool m_bLinePushedBack;
};

// Number of words of an NKF line (blank, tab or comma separated).
int NKFCountLineWords(const char *pszLine);
// The first word of an NKF line ("" when it has none).
NKString NKFLineFirstWord(const char *pszLine);
// Reads the three numbers after the first word of a "%COLORS r g b" line into
// *ppfColor, allocating it when null (a missing number gives 0). False when
// the allocation fails.
bool NKFReadBlockColor(const NKString &line, float **ppfColor);
