// nkf/nkf_reader.cpp -- NKFReader: the significant lines of the ASCII form,
// the binary reads, positions, the text output, the reporters and the
// block lookup that the block classes are lent (see nkf_reader.h), and the
// words of a line: NKFCountLineWords, NKFLineFirstWord, NKFReadBlockColor.
//
// The parse that opens the file and fills the block list is NKFParser's
// (nkf_parser.cpp); bulk reads and byte order are NKFStream's
// (nkf_stream.cpp); messages go to the message output (core/nk_message.h).
#include "nkf/nkf_reader.h"

#include <cstring>

#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "nkf/nkf_block_list.h"
#include "nkf/nkf_format.h"

NKFReader::NKFReader(const NKString &fileName)
    : m_FileName(fileName), m_bBinary(false), m_pBlocks(new NKFBlockList()), m_iLineNumber(0),
      m_bDeferReferences(true), m_bParsing(false), m_pOutputFile(nullptr), m_iParsedBytes(0),
      m_iLineCapacity(0), m_bLinePushedBack(false)
{}

NKFReader::~NKFReader()
{
    m_Stream.Close();
    m_pBlocks->ReleaseAll();
    delete m_pBlocks;
}

// ---------------------------------------------------------------------------
// Block access

int NKFReader::GetNumBlocks(int iType) const { return m_pBlocks->GetCount(iType); }

NKFBlock *NKFReader::GetBlock(int iType, int i) const { return m_pBlocks->GetBlock(iType, i); }

NKFBlock *NKFReader::FindBlock(int iType, int iID) const
{
    return m_pBlocks->FindBlock(iType, iID);
}

NKFBlock *NKFReader::GetBlockByIndex(int n) const { return m_pBlocks->GetBlockByIndex(n); }

// ---------------------------------------------------------------------------
// Reading primitives

// A line is significant unless it is blank (blanks, tabs, CR and LF only;
// a stray CR may stand anywhere in it) or starts with '#', '!' or ';'. The
// text ends at its length or at a NUL byte, whichever comes first.
static bool IsSignificantLine(const char *pszLine, int64_t iLength)
{
    char c = iLength > 0 ? pszLine[0] : 0;
    if (c == '#' || c == '!' || c == ';') return false;
    for (int64_t i = 0; i < iLength && pszLine[i] != 0; i++) {
        char d = pszLine[i];
        if (d != ' ' && d != '\t' && d != '\r' && d != '\n') return true;
    }
    return false;
}

// Copies the line into the current line's buffer, which grows but is kept
// from line to line: a large ASCII file has millions of lines, and a fresh
// allocation for each of them costs more than reading it.
void NKFReader::StoreCurrentLine(const char *pszLine, int64_t iLength)
{
    if (iLength >= INT32_MAX - 1) iLength = INT32_MAX - 2;
    int iNeeded = (int)iLength + 1;
    if (m_CurrentLine.IsNull() || iNeeded > m_iLineCapacity) {
        int iCapacity = iNeeded < 256 ? 256 : iNeeded;
        if (!m_CurrentLine.SetBufferSize(iCapacity)) {
            m_CurrentLine.Assign(pszLine, (int)iLength);
            m_iLineCapacity = 0;
            return;
        }
        m_iLineCapacity = iCapacity;
    }
    char *pszBuffer = m_CurrentLine.GetBuffer();
    memcpy(pszBuffer, pszLine, (size_t)iLength);
    pszBuffer[iLength] = 0;
}

const NKString &NKFReader::NextLine()
{
    if (m_bLinePushedBack) {
        m_bLinePushedBack = false;
        return m_CurrentLine;
    }
    if (!m_Stream.IsOpen()) StoreCurrentLine("", 0);
    while (m_Stream.IsOpen()) {
        const char *pszLine = nullptr;
        int64_t iLength = 0;
        if (!m_Stream.ReadLine(&pszLine, &iLength)) {
            StoreCurrentLine("", 0);
            break;
        }
        m_iLineNumber++;
        if (!IsSignificantLine(pszLine, iLength)) continue;
        StoreCurrentLine(pszLine, iLength);
        break;
    }
    return m_CurrentLine;
}

NKString NKFReader::ReadLine() { return NKString(NextLine()); }

int32_t NKFReader::ReadInt()
{
    int32_t iValue = 0;
    m_Stream.ReadInts(&iValue, 1);
    return iValue;
}

float NKFReader::ReadFloat()
{
    float fValue = 0.0f;
    m_Stream.ReadFloats(&fValue, 1);
    return fValue;
}

bool NKFReader::ReadVec3(float pfVec[3])
{
    if (pfVec == nullptr) return false;
    return m_Stream.ReadFloats(pfVec, 3);
}

bool NKFReader::ReadInts(int32_t *piValues, int64_t iCount)
{
    return m_Stream.ReadInts(piValues, iCount);
}

bool NKFReader::ReadFloats(float *pfValues, int64_t iCount)
{
    return m_Stream.ReadFloats(pfValues, iCount);
}

bool NKFReader::ReadChars80(char pcBuffer[80])
{
    if (pcBuffer == nullptr) return false;
    bool bOk = m_Stream.ReadRaw(pcBuffer, NKF_TEXT_FIELD_BYTES);
    m_Stream.SetBytesRead(m_Stream.GetBytesRead() + NKF_TEXT_FIELD_BYTES);
    return bOk;
}

NKString NKFReader::ReadString80()
{
    char acBuffer[NKF_TEXT_FIELD_BYTES + 1];
    if (!ReadChars80(acBuffer)) return NKString("");
    acBuffer[NKF_TEXT_FIELD_BYTES] = 0;
    return NKString(acBuffer);
}

bool NKFReader::ReadBytes(void *pBuffer, int64_t iCount)
{
    if (pBuffer == nullptr) return false;
    return m_Stream.ReadRaw(pBuffer, iCount);
}

bool NKFReader::Skip(int64_t iCount) { return m_Stream.Skip(iCount); }

bool NKFReader::GetPosition(int64_t *piPosition) const
{
    if (piPosition == nullptr || !m_Stream.IsOpen()) return false;
    *piPosition = m_Stream.GetPosition();
    return true;
}

bool NKFReader::SetPosition(int64_t iPosition)
{
    if (!m_bBinary) m_bLinePushedBack = false;
    return m_Stream.SetPosition(iPosition);
}

bool NKFReader::ClaimParsedBytes(int64_t iBytes)
{
    // Enough for the rows of some ten million nodes and elements; what a
    // larger file holds beyond it is read again by the loads.
    const int64_t kBudget = (int64_t)2 << 30;
    if (iBytes < 0 || iBytes > kBudget - m_iParsedBytes) return false;
    m_iParsedBytes += iBytes;
    return true;
}

void NKFReader::WriteText(const char *pszText)
{
    if (m_pOutputFile != nullptr && pszText != nullptr) fputs(pszText, m_pOutputFile);
}

// ---------------------------------------------------------------------------
// Reporters

static NKString ComposeReport(const NKString &title, const char *pszDefault,
                              const NKString &message)
{
    return (title.IsEmpty() ? NKString(pszDefault) : title) + " : " + message;
}

void NKFReader::ReportError(const NKString &title, const NKString &message)
{
    NKPrintError(ComposeReport(title, "ERROR", message).GetText());
}

void NKFReader::ReportWarning(const NKString &title, const NKString &message)
{
    NKPrintWarning(ComposeReport(title, "WARNING", message).GetText());
}

void NKFReader::ReportInfo(const NKString &title, const NKString &message)
{
    NKPrintInfo(ComposeReport(title, "INFO", message).GetText());
}

NKString NKFReader::WithLineInfo(const NKString &message) const
{
    NKString text = message + " \n\n";
    if (!m_bBinary) {
        text += NKString::FromFormat("Error in line : %d\n\nLine : ", m_iLineNumber);
        text += m_CurrentLine;
        text += "\n\n";
    }
    return text;
}

void NKFReader::ReportLineError(const NKString &title, const NKString &message)
{
    ReportError(title, WithLineInfo(message));
}

// ---------------------------------------------------------------------------
// Line words

int NKFCountLineWords(const char *pszLine)
{
    if (pszLine == nullptr) return 0;
    const char *p = pszLine, *pStart, *pEnd;
    int n = 0;
    while (NKFNextWord(&p, &pStart, &pEnd)) n++;
    return n;
}

NKString NKFLineFirstWord(const char *pszLine)
{
    if (pszLine == nullptr) return NKString("");
    const char *p = pszLine, *pStart, *pEnd;
    if (!NKFNextWord(&p, &pStart, &pEnd)) return NKString("");
    NKString word;
    word.Assign(pStart, (int)(pEnd - pStart));
    return word;
}

bool NKFReadBlockColor(const NKString &line, float **ppfColor)
{
    if (*ppfColor == nullptr) *ppfColor = (float *)NKCalloc(3, sizeof(float));
    if (*ppfColor == nullptr) return false;
    const char *p = line.GetText(), *pStart, *pEnd;
    NKFNextWord(&p, &pStart, &pEnd);  // the directive
    for (int k = 0; k < 3; k++) {
        bool bWord = NKFNextWord(&p, &pStart, &pEnd);
        (*ppfColor)[k] = bWord ? NKFDoubleToFloat(NKFWordToDouble(pStart)) : 0.0f;
    }
    return true;
}
