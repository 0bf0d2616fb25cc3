// nkf/nkf_parser.h -- NKFParser, the parse of one NKF file.
//
// Parse opens the file, checks the header, walks the block sequence in
// either form and byte order, creates one block object per block through
// the factory (nkf_block_factory.cpp), lets each block read its header
// (first pass) and files the blocks by type and ID in the block list.
// Block data is read later by each block's LoadData, so the file stays
// open for the parser's whole life. The reading primitives, reporters and
// block lookup that the block classes use are the parser's base, NKFReader
// (nkf_reader.h); the blocks see only that base, and this header is for
// those who open a file. One parser per opened file; not copyable.
#pragma once

#include "core/nk_string.h"
#include "nkf/nkf_block.h"
#include "nkf/nkf_block_list.h"
#include "nkf/nkf_reader.h"

class NKFParser : public NKFReader {
public:
    explicit NKFParser(const NKString &fileName);

    // The whole first pass: header, blocks, duplicate check (and the
    // references when they are not deferred). The file stays open.
    bool Parse();
    // Parses first when needed, then asks every block in GetBlockByIndex
    // order; false at the first block that answers false.
    bool ResolveAllReferences();
    bool IsParsed() const { return m_bParsed; }
    float GetVersion() const { return m_fVersion; }
    NKFBlockList *GetBlockList() { return m_pBlocks; }

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
    bool ParseFile();
    bool ReadBinaryBlock(int *piType, int *piID, bool *pbAtEnd);
    bool ReadAsciiBlock(int *piType, int *piID, bool *pbAtEnd);
    bool SkipUnknownBinaryBlock(int iCode);
    bool ReadAsciiHeader();
    bool ReadBlockLoop(int iType, int iID, bool bAtEnd);
    // A file cut short: where it shows and how it is reported.
    bool EndBinaryBlocks(bool *pbAtEnd);
    bool AsciiLastLineCut();
    bool LastRowShort();
    bool BlockEndsInsideFile(NKFBlock *pBlock, int64_t iStart, bool bParsed);
    bool ResultsShortOfTheirItems(NKFBlock *pBlock);
    void ReportCutBlock(const NKString &title);
    void ReportCutFile();

    bool m_bParsed;
    float m_fVersion;
    bool m_bLastLineCut;        // ASCII: the file's last line has no line end
    bool m_bLastLineUnended;    // ASCII: a block read that line whole
    bool m_bLastLineOpenQuote;  // ASCII: that line leaves a double quote open or is a short row
};
