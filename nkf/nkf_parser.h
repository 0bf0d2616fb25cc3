// nkf/nkf_parser.h -- NKFParser, the reader of one NKF file.
//
// Parse opens the file, checks the header, walks the block sequence in
// either form and byte order, creates one block object per block through
// the factory (nkf_block_factory.cpp), lets each block read its header
// (first pass) and files the blocks by type and ID in an NKFBlockList.
// Block data is read later by each block's LoadData, so the parser keeps
// the file open for its whole life. The parser lends the block classes
// its reading primitives (built on NKFStream, nkf_stream.h) and its error
// reporters, which compose one text and hand it to the message output.
// Binary reads never fail loudly: a failed read sets the end flag and
// yields 0. One parser per opened file; not copyable.
#pragma once

#include <cstdint>
#include <cstdio>

#include "core/nk_string.h"
#include "nkf/nkf_block.h"
#include "nkf/nkf_block_list.h"
#include "nkf/nkf_stream.h"

class NKFParser {
public:
    explicit NKFParser(const NKString &fileName);
    ~NKFParser();
    NKFParser(const NKFParser &) = delete;
    NKFParser &operator=(const NKFParser &) = delete;

    // The whole first pass: header, blocks, duplicate check (and the
    // references when they are not deferred). The file stays open.
    bool Parse();
    // Parses first when needed, then asks every block in GetBlockByIndex
    // order; false at the first block that answers false.
    bool ResolveAllReferences();
    NKString GetFileName() const { return m_FileName; }
    bool IsParsed() const { return m_bParsed; }
    float GetVersion() const { return m_fVersion; }
    bool IsBinary() const { return m_bBinary; }
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
    NKFBlockList *GetBlockList() { return m_pBlocks; }

    // Reading primitives for the block classes.
    bool IsAscii() const { return !m_bBinary; }
    // The next significant line (blank and comment lines are passed over
    // but counted); "" at the end of the file.
    NKString ReadLine();
    // The same, as a reference to the current line (valid until the next
    // read): the row readers use it to avoid a copy per line.
    const NKString &NextLine();
    const NKString &GetCurrentLine() const { return m_CurrentLine; }
    void PushBackLine() { m_bLinePushedBack = true; }
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

    // Parts of Parse, public for the import and for tests.
    bool ReadHeader();
    bool ReadBlock(int *piType, int *piID, bool *pbAtEnd);
    bool ReadBlocks();
    bool CheckDuplicates();
    // Makes the block object of a type (0..26) through the factory.
    NKFBlock *CreateBlock(int iType, int iID);
    // Looks the first word of a block line up among the 28 keywords; true
    // when found, with the type and the ID (second word, 0 when missing).
    bool ParseBlockLine(const NKString &line, int *piType, int *piID);

private:
    bool ReadBinaryBlock(int *piType, int *piID, bool *pbAtEnd);
    bool ReadAsciiBlock(int *piType, int *piID, bool *pbAtEnd);
    bool SkipUnknownBinaryBlock(int iCode);
    bool ReadAsciiHeader();
    bool ReadBlockLoop(int iType, int iID, bool bAtEnd);

    NKString m_FileName;
    NKFStream m_Stream;
    FILE *m_pOutputFile;
    bool m_bBinary;
    NKFBlockList *m_pBlocks;
    NKString m_CurrentLine;
    int32_t m_iLineNumber;
    bool m_bLinePushedBack;
    bool m_bParsed;
    float m_fVersion;
    bool m_bDeferReferences;
};
