// nkf/nkf_parser.cpp -- NKFParser: opening an NKF file, reading its header
// and its block sequence in either form and byte order, the duplicate
// check and the reference pass.
//
// Called by the NKF import, the 2-D plot reader, the geometry-file command
// and the reservoir reader, each with a parser of its own. Block objects
// come from the factory (nkf_block_factory.cpp); the reading primitives,
// reporters and block lookup from the base NKFReader (nkf_reader.cpp); the
// framing constants from nkf_format.h. Progress goes through
// core/nk_progress.h (no Qt there).
#include "nkf/nkf_parser.h"

#include <cstring>

#include "core/nk_file.h"
#include "core/nk_file_report.h"
#include "core/nk_progress.h"
#include "core/nk_sort.h"
#include "core/nk_text_utils.h"
#include "nkf/nkf_block_factory.h"
#include "nkf/nkf_results.h"

NKFParser::NKFParser(const NKString &fileName)
    : NKFReader(fileName), m_bParsed(false), m_fVersion(0.0f), m_bLastLineCut(false),
      m_bLastLineUnended(false), m_bLastLineOpenQuote(false)
{}

// ---------------------------------------------------------------------------
// Top level

// The first pass is marked on the reader: what blocks report during it
// stands in the parse's context, while their later reports name the file.
bool NKFParser::Parse()
{
    bool bWasParsing = m_bParsing;  // ResolveAllReferences may parse again
    m_bParsing = true;
    bool bOk = ParseFile();
    m_bParsing = bWasParsing;
    return bOk;
}

bool NKFParser::ParseFile()
{
    if (m_FileName.IsEmpty()) {
        ReportError(NKString(""), NKString("NKF Parser: No file specified."));
        return false;
    }
    m_iLineNumber = 0;
    if (!m_Stream.Open(m_FileName.GetText())) {
        ReportError(NKString(""), NKString("Error opening NKF file : ") + m_FileName);
        NKNoteFileNamed();
        return false;
    }
    if (!ReadHeader()) {
        ReportError(NKString(""),
                    NKString("NKF File : \"") + m_FileName + "\"has an error in the header.");
        ReportError(NKString("Error"), NKString("File has an error in the header"));
        return false;
    }
    m_bParsed = ReadBlocks();
    if (!m_bParsed) return false;
    if (!CheckDuplicates()) m_bParsed = false;
    // Only a parsed file is resolved: ResolveAllReferences parses a file that
    // is not parsed, which would start this parse over and over.
    if (m_bParsed && !m_bDeferReferences) m_bParsed = ResolveAllReferences();
    return m_bParsed;
}

bool NKFParser::ResolveAllReferences()
{
    if (!m_bParsed && !Parse()) return false;
    for (int n = 0;; n++) {
        NKFBlock *pBlock = m_pBlocks->GetBlockByIndex(n);
        if (pBlock == nullptr) return true;
        if (!pBlock->ResolveReferences()) return false;
    }
}

bool NKFParser::ReadHeader()
{
    if (!m_Stream.IsOpen()) {
        ReportError(NKString(""), NKString("File not open"));
        return false;
    }
    m_bBinary = IsBinaryFile(m_Stream.GetFile());
    if (m_bBinary) {
        m_Stream.SetSwapBytes(NeedsByteSwap(m_Stream.GetFile(), NKF_MAGIC_WORD1, NKF_MAGIC_WORD1));
        int32_t aiHeader[4] = {0, 0, 0, 0};
        m_Stream.ReadInts(aiHeader, 4);
        if (aiHeader[0] != NKF_MAGIC_WORD1 || aiHeader[1] != NKF_MAGIC_WORD2 ||
            aiHeader[2] != NKF_MAGIC_WORD3) {
            ReportError(NKString(""), NKString("This file is not a propery formatted NKF binary "
                                               "file. Wrong magic numbers found."));
            return false;
        }
        m_fVersion = (float)aiHeader[3];
    } else if (!ReadAsciiHeader()) {
        return false;
    }
    if (m_fVersion > NKF_MAX_VERSION) {
        ReportError(NKString(""), NKString("Wrong version of NKF-File."));
        return false;
    }
    return true;
}

// "*NKF-<version>": the text before the first '-' must be "*NKF"; the
// text after it, up to the next '-' or the end, is the version.
bool NKFParser::ReadAsciiHeader()
{
    NKString line = ReadLine();
    NKString first = line.GetFirstToken('-');
    if (first != "*NKF") {
        ReportError(NKString(""), NKString("Error in header"));
        return false;
    }
    NKString version = line.GetNextToken('-');
    m_fVersion = NKFDoubleToFloat(NKFWordToDouble(version.GetText()));
    return true;
}

// ---------------------------------------------------------------------------
// Block sequence

bool NKFParser::ReadBlock(int *piType, int *piID, bool *pbAtEnd)
{
    *piType = NKF_UNKNOWN;
    *piID = -1;
    *pbAtEnd = false;
    if (m_bBinary) return ReadBinaryBlock(piType, piID, pbAtEnd);
    return ReadAsciiBlock(piType, piID, pbAtEnd);
}

// The block sequence of a binary file ends where a block code cannot be
// read. It ends cleanly only at the end of the file: bytes left that do not
// make a whole word are the start of a block the file was cut inside.
bool NKFParser::EndBinaryBlocks(bool *pbAtEnd)
{
    if (m_Stream.BytesLeft() > 0) {
        ReportCutFile();
        return false;
    }
    *pbAtEnd = true;
    return true;
}

bool NKFParser::ReadBinaryBlock(int *piType, int *piID, bool *pbAtEnd)
{
    while (*piType == NKF_UNKNOWN) {
        int32_t iCode = ReadInt();
        if (iCode == NKF_END_OF_BLOCK) iCode = ReadInt();
        if (m_Stream.IsEndReached()) return EndBinaryBlocks(pbAtEnd);
        if (iCode == 0) {
            *pbAtEnd = true;
            return true;
        }
        if (iCode == NKF_MAGIC_WORD1) {
            // A repeated file header (two files joined): pass over its
            // remaining words. A file that ends right after it is complete,
            // one that ends inside it is cut.
            int32_t aiRest[3];
            if (!m_Stream.ReadInts(aiRest, 3)) {
                ReportCutFile();
                return false;
            }
            iCode = ReadInt();
            if (m_Stream.IsEndReached()) return EndBinaryBlocks(pbAtEnd);
            if (iCode == 0) {
                *pbAtEnd = true;
                return true;
            }
        }
        int iType = NKFBlockTypeFromCode(iCode);
        if (iType == NKF_ILLEGAL_BLOCK_TYPE) {
            ReportLineError(
                NKString("Error parsing binary NKF file"),
                NKString::FromFormat("Illegal block type found: %d. Legal range: %d - %d", iCode,
                                     NKF_FIRST_BLOCK_CODE, NKF_LAST_LEGAL_BLOCK_CODE));
            return false;
        }
        if (iType == NKF_UNKNOWN) {
            if (!SkipUnknownBinaryBlock(iCode)) return false;
            continue;
        }
        *piType = iType;
        *piID = ReadInt();
        if (m_Stream.IsEndReached()) {  // the file ends inside the block's ID
            ReportCutBlock(NKString("Block type : ") + NKFBlockKeyword(iType));
            return false;
        }
    }
    return true;
}

// Skips a block of a legal but unknown code by its header and data sizes
// and requires the end-of-block marker after it.
bool NKFParser::SkipUnknownBinaryBlock(int iCode)
{
    int32_t aiWords[3] = {0, 0, 0};  // ID, header size, data size
    m_Stream.ReadInts(aiWords, 3);
    int64_t iSkip = (int64_t)aiWords[2] + aiWords[1] - NKF_HEADER_SIZES_BYTES;
    // Negative sizes can never frame a block; a skip past the end of the
    // file leaves no marker to find.
    bool bSkipped = aiWords[1] >= NKF_HEADER_SIZES_BYTES && aiWords[2] >= 0 && Skip(iSkip);
    int32_t iWord = bSkipped ? ReadInt() : 0;
    if (bSkipped && !m_Stream.IsEndReached() && iWord == NKF_END_OF_BLOCK) {
        ReportInfo(
            NKString(""),
            NKString::FromFormat("An unknown block was found in the file. Block Type: %d, ID: %d.",
                                 iCode, aiWords[0]));
        return true;
    }
    ReportLineError(NKString("Error parsing binary NKF file"),
                    NKString::FromFormat("Missing End Of Block marker after reading unknown "
                                         "block.\nType: %d, ID: %d. End marker found: %d",
                                         iCode, aiWords[0], iWord));
    return false;
}

bool NKFParser::ReadAsciiBlock(int *piType, int *piID, bool *pbAtEnd)
{
    while (*piType == NKF_UNKNOWN) {
        NKString line = ReadLine();
        if (line.IsEmpty()) {
            *pbAtEnd = true;
            return true;
        }
        if (line.GetAt(0) != '*') {
            ReportLineError(NKString(""), NKString("Block Not Found"));
            return false;
        }
        if (strncmp(line.GetText(), NKF_ASCII_HEADER_PREFIX, 5) == 0) {
            // A repeated header (two files joined); one at the very end
            // leaves a complete file, as in the binary form.
            line = ReadLine();
            if (line.IsEmpty()) {
                *pbAtEnd = true;
                return true;
            }
        }
        if (ParseBlockLine(line, piType, piID)) {
            if (*piType != NKF_UNKNOWN) return true;
            continue;  // "*UNKNOWN" itself: the next line starts a block
        }
        if (line.GetAt(0) != '*') {
            ReportLineError(NKString("Illegal block header found"), line);
            return false;
        }
        ReportInfo(
            NKString(""),
            NKString::FromFormat("An unknown block was found in the file. Line: %d, BlockType: %s.",
                                 m_iLineNumber, line.GetText()));
        for (;;) {
            const NKString &next = NextLine();
            if (next.IsEmpty()) break;
            if (next.GetAt(0) == '*') {
                PushBackLine();
                break;
            }
        }
    }
    return true;
}

bool NKFParser::ParseBlockLine(const NKString &line, int *piType, int *piID)
{
    const char *p = line.GetText();
    const char *pStart, *pEnd;
    if (!NKFNextWord(&p, &pStart, &pEnd)) return false;
    NKString keyword;
    keyword.Assign(pStart, (int)(pEnd - pStart));
    for (const NKFBlockKeywordEntry &entry : NKFBlockKeywordTable) {
        if (keyword == entry.szKeyword) {
            *piType = entry.iType;
            *piID = NKFNextWord(&p, &pStart, &pEnd) ? NKFWordToInt(pStart) : 0;
            return true;
        }
    }
    return false;
}

bool NKFParser::ReadBlocks()
{
    int iType = NKF_UNKNOWN, iID = -1;
    bool bAtEnd = false;
    if (!ReadBlock(&iType, &iID, &bAtEnd)) return false;
    if (bAtEnd) {
        ReportError(NKString(""), NKString("No blocks found in file.\nNKF file : ") + m_FileName);
        NKNoteFileNamed();
        return false;
    }
    m_bLastLineCut = !m_bBinary && AsciiLastLineCut();
    m_bLastLineUnended = false;
    NKBeginProgressBar(100, "Parsing NKF file...");
    if (!ReadBlockLoop(iType, iID, bAtEnd)) return false;  // the loop ended the bar
    if (m_bLastLineCut) {
        // The cut line was read outside the blocks (an unknown block, a
        // repeated header): the file is cut all the same.
        NKEndProgressBar("Error.");
        ReportCutFile();
        return false;
    }
    NKEndProgressBar("Done.");
    if (m_bLastLineUnended)
        ReportWarning(NKString(""), NKString("The last line of the file has no line end; it is "
                                             "read as it stands.\nNKF file : ") +
                                        m_FileName);
    return true;
}

// ASCII: true when the file's last line holds text (not blank, not a
// comment) but no line end. Such a line may be where the file was cut (a
// value "0.0135534" cut to "0" still reads as a number), or the end of a
// file some editor saved without a final line end: BlockEndsInsideFile
// tells the two apart as far as the block can. The stream position is
// kept.
bool NKFParser::AsciiLastLineCut()
{
    int64_t iPosition = m_Stream.GetPosition();
    int64_t iTo = m_Stream.GetFileSize();
    bool bText = false, bFoundStart = false;
    char cFirst = 0;
    char acChunk[4096];
    m_bLastLineOpenQuote = false;
    while (!bFoundStart && iTo > 0) {
        int64_t iFrom = iTo > (int64_t)sizeof acChunk ? iTo - (int64_t)sizeof acChunk : 0;
        if (!m_Stream.SetPosition(iFrom) || !m_Stream.ReadRaw(acChunk, iTo - iFrom)) break;
        for (int64_t k = iTo - iFrom - 1; k >= 0; k--) {
            char c = acChunk[k];
            if (c == '\n') {
                bFoundStart = true;
                break;
            }
            if (c != ' ' && c != '\t' && c != '\r') bText = true;
            if (c == '"') m_bLastLineOpenQuote = !m_bLastLineOpenQuote;
            cFirst = c;
        }
        iTo = iFrom;
    }
    bool bCut = bText && cFirst != '#' && cFirst != '!' && cFirst != ';';
    m_bLastLineOpenQuote = m_bLastLineOpenQuote || (bCut && LastRowShort());
    m_Stream.SetPosition(iPosition);
    return bCut;
}

// Words of a line, as blanks and tabs separate them.
static int CountWords(const std::string &line)
{
    int n = 0;
    bool bIn = false;
    for (char c : line) {
        bool bBlank = c == ' ' || c == '\t' || c == '\r';
        if (!bBlank && !bIn) n++;
        bIn = !bBlank;
    }
    return n;
}

static bool IsValueRow(const std::string &line)
{
    size_t i = line.find_first_not_of(" \t\r");
    return i != std::string::npos && std::strchr("%*#!;", line[i]) == nullptr;
}

// The rows of a block share their shape: a last value row with fewer words
// than the value row before it was cut inside. Only the file's last 64 KiB
// are looked at; rows longer than that are not compared.
bool NKFParser::LastRowShort()
{
    const int64_t iWindow = 65536;
    int64_t iSize = m_Stream.GetFileSize();
    int64_t iFrom = iSize > iWindow ? iSize - iWindow : 0;
    std::string tail((size_t)(iSize - iFrom), '\0');
    if (tail.empty() || !m_Stream.SetPosition(iFrom) ||
        !m_Stream.ReadRaw(&tail[0], (int64_t)tail.size()))
        return false;
    size_t iLast = tail.rfind('\n');
    if (iLast == std::string::npos || iLast == 0) return false;
    size_t iPrevious = tail.rfind('\n', iLast - 1);
    if (iPrevious == std::string::npos && iFrom > 0) return false;
    size_t iStart = iPrevious == std::string::npos ? 0 : iPrevious + 1;
    std::string previous = tail.substr(iStart, iLast - iStart), last = tail.substr(iLast + 1);
    return IsValueRow(previous) && IsValueRow(last) && CountWords(last) < CountWords(previous);
}

// True when the file ends inside the block just parsed. Binary: its
// framing (header size and data size, read again from iStart, where the
// block's header record begins, then the end-of-block marker) passes the
// end of the file, or the file ends inside those two words. Only a block
// that failed or reached the end of the file is looked at again. ASCII: the
// block read the last line without a line end, did not give it back for the
// next block, and failed, holds nothing but its block line, or cannot load
// its rows (a row cut short). A block whose rows all load is taken as whole
// (a warning follows the parse); the first pass alone does not count rows.
bool NKFParser::BlockEndsInsideFile(NKFBlock *pBlock, int64_t iStart, bool bParsed)
{
    if (!m_bBinary) {
        if (!m_bLastLineCut || m_Stream.BytesLeft() != 0 || IsLinePushedBack()) return false;
        // A quoted text left open ("%NAME "Be") or a row shorter than the
        // one before it was cut inside.
        if (!bParsed || iStart >= m_Stream.GetFileSize() || m_bLastLineOpenQuote) return true;
        int64_t iEnd = m_Stream.GetPosition();
        bool bRowsWhole = pBlock->LoadData() && !ResultsShortOfTheirItems(pBlock);
        pBlock->FreeData();
        m_Stream.SetPosition(iEnd);
        if (!bRowsWhole) return true;
        m_bLastLineCut = false;
        m_bLastLineUnended = true;
        return false;
    }
    if (bParsed && !m_Stream.IsEndReached() && m_Stream.BytesLeft() > 0) return false;
    int64_t iEnd = m_Stream.GetPosition(), iSize = m_Stream.GetFileSize();
    int32_t aiSizes[2] = {0, 0};
    bool bSizes =
        iStart + 8 <= iSize && m_Stream.SetPosition(iStart) && m_Stream.ReadInts(aiSizes, 2);
    m_Stream.SetPosition(iEnd);
    if (!bSizes) return true;
    // Negative sizes are bad values of their own, not a cut.
    return aiSizes[0] >= 0 && aiSizes[1] >= 0 &&
           iStart + (int64_t)aiSizes[0] + aiSizes[1] + 4 > iSize;
}

// A loaded *RESULTS block without IDs that holds fewer rows than its node or
// element block holds items: its rows go to those items in order, so the
// block's count is theirs, and a block that ends before it is cut short.
bool NKFParser::ResultsShortOfTheirItems(NKFBlock *pBlock)
{
    NKFResultBlock *pResults = dynamic_cast<NKFResultBlock *>(pBlock);
    if (pResults == nullptr || pResults->HasIDs()) return false;
    const int aiMapped[2][2] = {{NKF_MAP_PER_NODE, NKF_NODES}, {NKF_MAP_PER_ELEMENT, NKF_ELEMENTS}};
    for (const int *pMap : aiMapped) {
        NKFBlock *pItems = FindBlock(pMap[1], pResults->GetReferencedBlockID(pMap[0]));
        if (pItems != nullptr && pResults->GetNumItems() < pItems->GetNumItems()) return true;
    }
    return false;
}

// The error of a block the file ends inside, under the block's title. It
// names the file although the parse is still running: a cut file is the
// file's fault, not the block's, and the reader must know which copy to
// fetch again.
void NKFParser::ReportCutBlock(const NKString &title)
{
    NKString text = m_bBinary ? NKString("The file ends inside this block: the file is cut short.")
                              : NKString("The file ends inside this block: its last line has no "
                                         "line end, the file is cut short.");
    ReportError(title, text + "\nNKF file : " + m_FileName);
    NKNoteFileNamed();
}

// A file cut outside any block the parser made: inside a block code, a
// repeated file header or an unknown block.
void NKFParser::ReportCutFile()
{
    NKString text = m_bBinary ? NKString("The file ends inside a block: the file is cut short.")
                              : NKString("The file ends inside a block: its last line has no "
                                         "line end, the file is cut short.");
    ReportError(NKString(""), text + "\nNKF file : " + m_FileName);
    NKNoteFileNamed();
}

// Ends the progress bar of a failed block loop; the failure is reported
// after it, so the status line already says "Error." when the report comes.
static bool EndFailedProgress()
{
    NKEndProgressBar("Error.");
    return false;
}

// The block loop of ReadBlocks. A failure ends the progress bar with
// "Error." before it is reported; on success the caller ends it.
bool NKFParser::ReadBlockLoop(int iType, int iID, bool bAtEnd)
{
    double dFileSize = (double)NKGetFileSize(m_FileName.GetText());
    NKProgressPercent percent(0, 100, 10);
    while (!bAtEnd) {
        int64_t iPosition = m_Stream.GetPosition();
        int iPercent = dFileSize > 0.0 ? (int)((double)iPosition / dFileSize * 100.0) : 100;
        NKSetProgress(iPercent, nullptr);
        if (percent.Update((float)iPercent)) NKSetStatusText(percent.Format("Parsing NKF file"));
        NKFBlock *pBlock = CreateBlock(iType, iID);
        if (pBlock == nullptr) {
            EndFailedProgress();
            ReportError(NKString(""), NKString("Error creating block object"));
            return false;
        }
        pBlock->AddRef();  // held here until the list holds it
        bool bReplaced = false;
        int64_t iStart = m_Stream.GetPosition();
        bool bParsed = pBlock->ParseBlock();
        bool bCut = BlockEndsInsideFile(pBlock, iStart, bParsed);
        if (!bParsed || bCut) {
            pBlock->Release();
            EndFailedProgress();
            if (bCut) {
                m_bLastLineCut = false;  // reported here
                ReportCutBlock(
                    NKString::FromFormat("Block type : %s. ID = %d", NKFBlockKeyword(iType), iID));
            }
            if (!bParsed) ReportLineError(NKString("Error"), NKString("Error parsing block"));
            return false;
        }
        if (!m_pBlocks->Add(pBlock, &bReplaced)) {
            pBlock->Release();
            EndFailedProgress();
            ReportLineError(NKString("Error"), NKString("Error add block to block database"));
            return false;
        }
        pBlock->Release();
        if (bReplaced) {
            ReportInfo(NKString(""),
                       NKString::FromFormat("Duplicate block replaced: Blocktype: %s, ID: %d",
                                            NKFBlockKeyword(iType), iID));
        }
        if (!ReadBlock(&iType, &iID, &bAtEnd)) return EndFailedProgress();
    }
    return true;
}

bool NKFParser::CheckDuplicates()
{
    for (int iType = 0; iType < NKF_NUM_BLOCK_TYPES; iType++) {
        int n = m_pBlocks->GetCount(iType);
        if (n < 2 || n >= 50) continue;
        int32_t aiIDs[50];
        for (int i = 0; i < n; i++) aiIDs[i] = m_pBlocks->GetBlock(iType, i)->GetBlockID();
        NKSortInts(aiIDs, n);
        for (int i = 0; i + 1 < n; i++) {
            if (aiIDs[i] == aiIDs[i + 1]) {
                ReportError(NKString(""),
                            NKString::FromFormat("Duplicate block IDs found in %s blocks. ID: %d",
                                                 NKFBlockKeyword(iType), aiIDs[i]));
                return false;
            }
        }
    }
    if (m_pBlocks->GetCount(NKF_QUOLINGEOMETRY) > 1)
        ReportError(NKString(""), NKString("More than one *QUOLINGEOMETRY block specified."));
    return true;
}

NKFBlock *NKFParser::CreateBlock(int iType, int iID)
{
    if (iType < 0 || iType >= NKF_NUM_KNOWN_BLOCK_TYPES) {
        ReportError(NKString(""), NKString("Illegal NKF block type specified."));
        return nullptr;
    }
    return NKFCreateBlockObject(this, iType, iID);
}
