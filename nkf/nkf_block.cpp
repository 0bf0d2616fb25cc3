// nkf/nkf_block.cpp -- the NKFBlock base: life and reference count, data
// positions, the binary framing checks, block error reporting, the parsed
// check and keyword line every load and write starts with, the row readers
// of both file forms with the checks of their ASCII numbers,
// NKFStoreBlockColor, NKFSkipBinaryFraming and NKFFindStepIndex.
// The block list is in nkf_block_list.cpp; the reading primitives are the
// reader's (nkf_reader.h).
#include "nkf/nkf_block.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

#include "core/nk_file_report.h"
#include "core/nk_memory.h"
#include "core/nk_numeric.h"
#include "core/nk_text_utils.h"
#include "nkf/nkf_reader.h"
#include "nkf/nkf_stream.h"

NKFBlock::NKFBlock(NKFReader *pReader, int iBlockID)
    : m_iBlockID(iBlockID), m_bHeaderParsed(false), m_bDataLoaded(false), m_iBlockType(NKF_UNKNOWN),
      m_pReader(pReader), m_iDataPosition(0), m_iRefCount(0), m_iDataLine(0), m_iDataSize(-1)
{}

NKFBlock::~NKFBlock() {}

bool NKFBlock::ResolveReferences() { return true; }

int NKFBlock::Release()
{
    m_iRefCount--;
    if (m_iRefCount < 1) {
        delete this;
        return 0;
    }
    return m_iRefCount;
}

NKString NKFBlock::GetKeyword() const { return NKString(NKFBlockKeyword(m_iBlockType)); }

bool NKFBlock::GetPosition()
{
    if (m_pReader == nullptr) return false;
    m_iDataLine = m_pReader->GetLineNumber();
    return m_pReader->GetPosition(&m_iDataPosition);
}

bool NKFBlock::SeekPosition()
{
    if (m_pReader == nullptr || !m_pReader->SetPosition(m_iDataPosition)) return false;
    // Line numbers of errors met while loading then name the right line.
    m_pReader->SetLineNumber(m_iDataLine);
    return true;
}

bool NKFBlock::SkipHeaderDirectives()
{
    if (m_pReader == nullptr) return false;
    if (m_pReader->IsAscii()) {
        for (;;) {
            const NKString &line = m_pReader->NextLine();
            if (line.IsEmpty()) return false;
            if (line.GetAt(0) != '%') break;
        }
        m_pReader->PushBackLine();
        return true;
    }
    int32_t iHeaderSize = 0;
    if (!m_pReader->ReadInts(&iHeaderSize, 1) || iHeaderSize < NKF_HEADER_SIZES_BYTES) return false;
    return m_pReader->Skip((int64_t)iHeaderSize - 4);
}

bool NKFBlock::CheckHeaderSize(int iSize, int iKnownSize)
{
    if (iSize >= iKnownSize && iSize < NKF_HEADER_SIZE_LIMIT) return true;
    ReportLineError(NKString(""), NKString("Illegal header size found."));
    return false;
}

bool NKFBlock::CheckEndOfBlock(int iDataSize)
{
    if (m_pReader == nullptr || m_pReader->IsAscii()) return false;
    int32_t iMarker = 0;
    bool bOk = iDataSize >= 0 && m_pReader->Skip(iDataSize) && m_pReader->ReadInts(&iMarker, 1) &&
               iMarker == NKF_END_OF_BLOCK;
    if (!bOk) ReportMissingEnd();
    return bOk;
}

void NKFBlock::ReportMissingEnd()
{
    ReportLineError(NKString(""), NKString("End of block marker not found at expected position."));
}

bool NKFBlock::SkipHeaderRest(int iHeaderSize, int iKnownSize)
{
    if (m_pReader->Skip((int64_t)iHeaderSize - iKnownSize)) return true;
    ReportMissingEnd();
    return false;
}

bool NKFBlock::ReportReadFailure() { return ReportFailure("Error reading block data"); }

bool NKFBlock::ReadHeaderWords(int iKnownSize, int32_t *piWords, int iCount, int32_t *piDataSize)
{
    int32_t iHeaderSize = 0;
    if (!ReadHeaderSizes(iKnownSize, &iHeaderSize, piDataSize)) return false;
    if (!m_pReader->ReadInts(piWords, iCount)) {
        ReportMissingEnd();
        return false;
    }
    return SkipHeaderRest(iHeaderSize, iKnownSize);
}

bool NKFBlock::ReadHeaderSizes(int iKnownSize, int32_t *piHeaderSize, int32_t *piDataSize)
{
    int32_t aiSizes[2] = {0, 0};
    m_pReader->ReadInts(aiSizes, 2);  // a short read leaves zeros
    *piHeaderSize = aiSizes[0];
    *piDataSize = aiSizes[1];
    if (!CheckHeaderSize(aiSizes[0], iKnownSize)) return false;
    m_iDataSize = aiSizes[1];
    return true;
}

bool NKFBlock::CheckDataBytes(int64_t iBytes)
{
    if (m_pReader == nullptr || m_pReader->IsAscii()) return true;
    if (iBytes >= 0 && m_iDataSize >= 0 && iBytes <= m_iDataSize) return true;
    ReportError(NKString(""), NKString("Item count does not fit the data size of the block."));
    return false;
}

bool NKFBlock::CheckItemBytes(int64_t iCount, int64_t iItemBytes)
{
    return CheckDataBytes(iCount < 0 ? -1 : iCount * iItemBytes);
}

const NKString *NKFBlock::NextBlockLine()
{
    const NKString &line = m_pReader->NextLine();
    if (line.IsEmpty()) return nullptr;
    if (line.GetAt(0) == '*') {
        m_pReader->PushBackLine();
        return nullptr;
    }
    return &line;
}

void NKFBlock::SkipAsciiContent()
{
    while (NextBlockLine() != nullptr) {
    }
}

void *NKFBlock::AllocRowData(size_t iCount, size_t iSize) const
{
    if (m_pReader != nullptr && m_pReader->IsBinary()) {
        if (iCount == 0 || iSize == 0 || iCount > SIZE_MAX / iSize) return nullptr;
        return NKAllocToFill(iCount * iSize);
    }
    return NKCalloc(iCount, iSize);
}

bool NKFBlock::CheckParsed(const char *pszMessage)
{
    if (m_bHeaderParsed) return true;
    ReportError(NKString(""), NKString(pszMessage));
    return false;
}

bool NKFBlock::FinishLoad(bool bOk)
{
    if (bOk)
        m_bDataLoaded = true;
    else
        FreeData();
    return bOk;
}

bool NKFBlock::ParseByForm(const std::function<bool()> &fnAscii,
                           const std::function<bool()> &fnBinary)
{
    if (!GetPosition()) return false;
    bool bOk = m_pReader->IsAscii() ? fnAscii() : fnBinary();
    if (bOk) m_bHeaderParsed = true;
    return bOk;
}

bool NKFBlock::LoadAfterSeek(const std::function<bool()> &fnRead, const char *pszNotParsed)
{
    if (m_bDataLoaded) return true;
    if (!CheckParsed(pszNotParsed)) return false;
    return FinishLoad(SeekPosition() && fnRead());
}

bool NKFBlock::ReportFailure(const NKString &message)
{
    ReportError(NKString(""), message);
    return false;
}

void NKFBlock::WriteKeywordLine()
{
    m_pReader->WriteText(
        NKString::FromFormat("%s %d\n", GetKeyword().GetText(), m_iBlockID).GetText());
}

bool NKFBlock::BeginRowWrite(bool bHasRows, bool bWithIDs, const char *pszNoData)
{
    if (!CheckParsed()) return false;
    if (!bHasRows) {
        ReportError(NKString(""), NKString(pszNoData));
        return false;
    }
    WriteKeywordLine();
    if (bWithIDs) m_pReader->WriteText("%WITH_ID\n");
    return true;
}

NKString NKFBlock::GetBlockTitle() const
{
    return NKString::FromFormat("Block type : %s. ID = %d", NKFBlockKeyword(m_iBlockType),
                                m_iBlockID);
}

// A block loads long after its file was opened, perhaps with other files
// open by then, so its keyword and ID alone do not say which file holds the
// bad data: after the parse the report names the file on a line of its own.
NKString NKFBlock::WithFileName(const NKString &text) const
{
    if (m_pReader->IsParsing()) return text;
    // A text with the line information ends in a blank line already.
    const char *pszBreak = text.GetAt(text.GetLength() - 1) == '\n' ? "" : "\n";
    return text + pszBreak + "NKF file : " + m_pReader->GetFileName();
}

void NKFBlock::ReportError(const NKString &title, const NKString &message)
{
    if (m_pReader == nullptr) return;
    m_pReader->ReportError(title.IsEmpty() ? GetBlockTitle() : title, WithFileName(message));
    if (!m_pReader->IsParsing()) NKNoteFileNamed();
}

void NKFBlock::ReportLineError(const NKString &title, const NKString &message)
{
    if (m_pReader == nullptr) return;
    NKString blockTitle =
        title.IsEmpty() ? NKString("Block type : ") + NKFBlockKeyword(m_iBlockType) : title;
    m_pReader->ReportError(blockTitle, WithFileName(m_pReader->WithLineInfo(message)));
    if (!m_pReader->IsParsing()) NKNoteFileNamed();
}

NKString NKFBlock::ReadQuoted(const NKString &line)
{
    int iFirst = line.FindChar('"', 0, true);
    if (iFirst < 0) return NKString("");
    int iSecond = line.FindChar('"', iFirst + 1, true);
    if (iSecond < 0) return NKString("");
    return line.Substring(iFirst + 1, iSecond - iFirst - 1);
}

int NKFBlock::ReadReference(const NKString &line)
{
    int iHash = line.FindChar('#', 0, true);
    if (iHash < 0) return 0;
    return NKFWordToInt(line.GetText() + iHash + 1);
}

// ---------------------------------------------------------------------------
// Row readers

bool NKFBlock::CheckRowArgs(int iPerRow, int iRows)
{
    if (!CheckParsed()) return false;
    if (iPerRow <= 0 || iRows <= 0) {
        ReportError(NKString(""), NKString("No nodes in block. Cannot read block"));
        return false;
    }
    return true;
}

// Reads iRows binary rows of iWords 4-byte words each (the ID, when there
// is one, counted in) in bulk slices and hands each row, in the machine's
// byte order, to fnRow.
template <class F>
static bool ReadRowsInSlices(NKFReader *pReader, int iWords, int iRows, F fnRow)
{
    const int iSliceRows = 8192;
    int iBufferRows = iRows < iSliceRows ? iRows : iSliceRows;
    int32_t *piBuffer = (int32_t *)NKAlloc((size_t)iBufferRows * iWords * sizeof(int32_t));
    if (piBuffer == nullptr) return false;
    bool bOk = true;
    for (int iRow = 0; bOk && iRow < iRows; iRow += iBufferRows) {
        int iNow = iRows - iRow < iBufferRows ? iRows - iRow : iBufferRows;
        bOk = pReader->ReadInts(piBuffer, (int64_t)iNow * iWords);
        for (int k = 0; bOk && k < iNow; k++) fnRow(piBuffer + (int64_t)k * iWords, iRow + k);
    }
    NKFree(piBuffer);
    return bOk;
}

// Words per piece of a binary read that is converted as it goes: 256 KB,
// about what the second-level cache holds.
const int64_t kPieceWords = (int64_t)1 << 16;

bool NKFBlock::ReadIntsInPieces(int32_t *piWords, int64_t iCount,
                                const std::function<void(int64_t, int64_t)> &fnPiece)
{
    if (piWords == nullptr || m_pReader == nullptr || m_pReader->IsAscii()) return false;
    for (int64_t i = 0; i < iCount; i += kPieceWords) {
        int64_t n = std::min(kPieceWords, iCount - i);
        if (!m_pReader->ReadInts(piWords + i, n)) return false;
        fnPiece(i, n);
    }
    return true;
}

bool NKFBlock::ReadIdTriples(float *pfValues, int32_t *piIDs, int iRows)
{
    if (!CheckRowArgs(3, iRows) || pfValues == nullptr || piIDs == nullptr || m_pReader->IsAscii())
        return false;
    const int64_t iPieceRows = kPieceWords / 4;
    std::vector<float> afPiece((size_t)(iPieceRows * 4));
    for (int64_t iFirst = 0; iFirst < iRows; iFirst += iPieceRows) {
        int64_t iEnd = std::min<int64_t>(iRows, iFirst + iPieceRows);
        if (!m_pReader->ReadFloats(afPiece.data(), (iEnd - iFirst) * 4)) return false;
        // Copies of a fixed size, which the compiler turns into moves.
        const float *pfRow = afPiece.data();
        for (int64_t r = iFirst; r < iEnd; r++, pfRow += 4) {
            std::memcpy(&piIDs[r], pfRow, sizeof(int32_t));
            std::memcpy(pfValues + r * 3, pfRow + 1, 3 * sizeof(float));
        }
    }
    return true;
}

static float WordAsFloat(int32_t iWord)
{
    float f;
    memcpy(&f, &iWord, sizeof f);
    return f;
}

// The next data line of an ASCII block: '%' lines among the data are passed
// over, as the first pass does when it counts rows; a '*' line (pushed
// back) or the end of the file means the rows ran out.
bool NKFBlock::NextDataLine(const NKString **ppLine)
{
    while (const NKString *pLine = NextBlockLine()) {
        if (pLine->GetAt(0) != '%') {
            *ppLine = pLine;
            return true;
        }
    }
    return false;
}

// Fills up to iCount values of one ASCII row word by word: a missing word
// gives 0.
static void IntsFromWords(const char **ppCursor, int32_t *piValues, int iCount)
{
    const char *pStart, *pEnd;
    for (int i = 0; i < iCount; i++) {
        piValues[i] = NKFNextWord(ppCursor, &pStart, &pEnd) ? NKFWordToInt(pStart) : 0;
    }
}

static void FloatsFromWords(const char **ppCursor, float *pfValues, int iCount)
{
    const char *pStart, *pEnd;
    for (int i = 0; i < iCount; i++) {
        double d = NKFNextWord(ppCursor, &pStart, &pEnd) ? NKFWordToDouble(pStart) : 0.0;
        pfValues[i] = NKFDoubleToFloat(d);
    }
}

// Reads numbers in order until one is missing (the rest keep their value).
static bool ScanInts(const char **ppCursor, int32_t *piValues, int iCount)
{
    for (int i = 0; i < iCount; i++) {
        if (!NKFScanInt(ppCursor, &piValues[i])) return false;
    }
    return true;
}

static bool ScanFloats(const char **ppCursor, float *pfValues, int iCount)
{
    for (int i = 0; i < iCount; i++) {
        if (!NKFScanFloat(ppCursor, &pfValues[i])) return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Checked ASCII numbers (NKF_NUMBERS_STRICT and NKF_NUMBERS_RESULTS)

void NKFBlock::ReportBadNumber(bool bMissing)
{
    ReportLineError(NKString(""), NKString(bMissing ? "Missing number in data."
                                                    : "Illegal number found in data."));
}

bool NKFBlock::ScanCheckedInt(const char **ppCursor, int32_t *piValue)
{
    NKFWordScan eScan = NKFScanIntWord(ppCursor, piValue);
    if (eScan == NKF_WORD_NUMBER) return true;
    ReportBadNumber(eScan == NKF_WORD_MISSING);
    return false;
}

void NKFBlock::WarnNotNumbers(const float *pfValues, int64_t n)
{
    int64_t iCount = 0;
    int64_t iFirst = NKFirstNaNOrMinusInf(pfValues, n, &iCount);
    if (iFirst < 0 || m_pReader == nullptr) return;
    NKString text = NKString::FromFormat(
        "NaN or -inf result values: %lld, the first is value %lld; they count as undefined values.",
        (long long)iCount, (long long)iFirst + 1);
    m_pReader->ReportWarning(GetBlockTitle(), WithFileName(text));
}

bool NKFBlock::ScanCheckedFloat(const char **ppCursor, float *pfValue, bool bNonFinite)
{
    const char *pszWord = *ppCursor;
    NKFWordScan eScan = NKFScanFloatWord(ppCursor, pfValue);
    if (eScan == NKF_WORD_NUMBER) return true;
    if (bNonFinite && eScan == NKF_WORD_ILLEGAL && NKNonFiniteFloatWord(pszWord, pfValue))
        return true;
    ReportBadNumber(eScan == NKF_WORD_MISSING);
    return false;
}

// A value of a row under eCheck. A result value that is bad or missing
// becomes undefined, so that it drops out of every range and scale instead
// of showing as 0; the first of a read is reported with its line, the
// others go by silently. A word naming a non-finite number is read as that
// number: plus infinity is undefined anyway, and the result block warns of
// NaN and minus infinity once for the whole read.
bool NKFBlock::ScanRowValue(const char **ppCursor, float *pfValue, NKFNumberCheck eCheck,
                            bool *pbWarned)
{
    if (eCheck != NKF_NUMBERS_RESULTS)
        return ScanCheckedFloat(ppCursor, pfValue, eCheck == NKF_NUMBERS_COORDINATES);
    const char *pszWord = *ppCursor;
    NKFWordScan eScan = NKFScanFloatWord(ppCursor, pfValue);
    if (eScan == NKF_WORD_NUMBER) return true;
    if (eScan == NKF_WORD_ILLEGAL && NKNonFiniteFloatWord(pszWord, pfValue)) return true;
    *pfValue = NK_UNDEFINED_VALUE;
    if (!*pbWarned) {
        *pbWarned = true;
        NKString text = m_pReader->WithLineInfo(
            NKString("Illegal or missing numbers in data set to undefined."));
        m_pReader->ReportWarning(GetBlockTitle(), WithFileName(text));
    }
    return true;
}

// One checked ASCII row: the ID when piID is given, iFixed numbers that
// must be good (a position), then iValues values under eCheck. False after
// the line error.
bool NKFBlock::ScanCheckedRow(const char *pszLine, int32_t *piID, float *pfFixed, int iFixed,
                              float *pfValues, int iValues, NKFNumberCheck eCheck, bool *pbWarned)
{
    const char *p = pszLine;
    if (piID != nullptr && !ScanCheckedInt(&p, piID)) return false;
    for (int k = 0; k < iFixed; k++) {
        if (!ScanCheckedFloat(&p, &pfFixed[k], eCheck == NKF_NUMBERS_COORDINATES)) return false;
    }
    for (int k = 0; k < iValues; k++) {
        if (!ScanRowValue(&p, &pfValues[k], eCheck, pbWarned)) return false;
    }
    return true;
}

// The one body of ReadIntRows and ReadFloatRows. Integers have no
// undefined value, so a checked integer row needs every number good; short
// rows (up to 8 integers or 3 reals) take the quick scan.
template <typename T>
bool NKFBlock::ReadRows(T *pValues, int iPerRow, int iRows, int32_t *piIDs, NKFNumberCheck eCheck)
{
    constexpr bool kFloat = std::is_same<T, float>::value;
    static_assert(kFloat || std::is_same<T, int32_t>::value, "rows hold int32_t or float");
    if (!CheckRowArgs(iPerRow, iRows) || pValues == nullptr) return false;
    if (!m_pReader->IsAscii()) {
        if (piIDs == nullptr) {
            if constexpr (kFloat)
                return m_pReader->ReadFloats(pValues, (int64_t)iPerRow * iRows);
            else
                return m_pReader->ReadInts(pValues, (int64_t)iPerRow * iRows);
        }
        return ReadRowsInSlices(m_pReader, iPerRow + 1, iRows, [&](const int32_t *piRow, int r) {
            piIDs[r] = piRow[0];
            memcpy(pValues + (int64_t)r * iPerRow, piRow + 1, (size_t)iPerRow * 4);
        });
    }
    bool bWarned = false;
    for (int r = 0; r < iRows; r++) {
        const NKString *pLine = nullptr;
        if (!NextDataLine(&pLine)) return false;
        const char *p = pLine->GetText();
        T *pRow = pValues + (int64_t)r * iPerRow;
        if (eCheck != NKF_NUMBERS_AS_READ) {
            int32_t *piID = piIDs != nullptr ? &piIDs[r] : nullptr;
            if constexpr (kFloat) {
                if (!ScanCheckedRow(p, piID, nullptr, 0, pRow, iPerRow, eCheck, &bWarned))
                    return false;
            } else {
                if (piID != nullptr && !ScanCheckedInt(&p, piID)) return false;
                for (int k = 0; k < iPerRow; k++) {
                    if (!ScanCheckedInt(&p, &pRow[k])) return false;
                }
            }
        } else if (iPerRow <= (kFloat ? 3 : 8)) {
            if (piIDs == nullptr || NKFScanInt(&p, &piIDs[r])) {
                if constexpr (kFloat)
                    ScanFloats(&p, pRow, iPerRow);
                else
                    ScanInts(&p, pRow, iPerRow);
            }
        } else {
            if (piIDs != nullptr) IntsFromWords(&p, &piIDs[r], 1);
            if constexpr (kFloat)
                FloatsFromWords(&p, pRow, iPerRow);
            else
                IntsFromWords(&p, pRow, iPerRow);
        }
    }
    return true;
}

bool NKFBlock::ReadIntRows(int32_t *piValues, int iPerRow, int iRows, int32_t *piIDs,
                           NKFNumberCheck eCheck)
{
    return ReadRows(piValues, iPerRow, iRows, piIDs, eCheck);
}

bool NKFBlock::ReadFloatRows(float *pfValues, int iPerRow, int iRows, int32_t *piIDs,
                             NKFNumberCheck eCheck)
{
    return ReadRows(pfValues, iPerRow, iRows, piIDs, eCheck);
}

bool NKFBlock::ReadVec3Pairs(int32_t *piIDs, float *pfFirst, float *pfSecond, int iRows,
                             NKFNumberCheck eCheck)
{
    if (!CheckRowArgs(3, iRows) || pfFirst == nullptr) return false;
    int iFloats = pfSecond != nullptr ? 6 : 3;
    if (!m_pReader->IsAscii()) {
        if (piIDs == nullptr && pfSecond == nullptr)
            return m_pReader->ReadFloats(pfFirst, (int64_t)3 * iRows);
        int iID = piIDs != nullptr ? 1 : 0;
        return ReadRowsInSlices(m_pReader, iID + iFloats, iRows, [&](const int32_t *piRow, int r) {
            if (piIDs != nullptr) piIDs[r] = piRow[0];
            for (int k = 0; k < 3; k++) pfFirst[(int64_t)r * 3 + k] = WordAsFloat(piRow[iID + k]);
            if (pfSecond != nullptr) {
                for (int k = 0; k < 3; k++)
                    pfSecond[(int64_t)r * 3 + k] = WordAsFloat(piRow[iID + 3 + k]);
            }
        });
    }
    return ReadAsciiVec3Rows(piIDs, pfFirst, pfSecond, pfSecond != nullptr ? 3 : 0, iRows, eCheck);
}

bool NKFBlock::ReadVec3AndFloat(int32_t *piIDs, float *pfVec3, float *pfValues, int iRows,
                                NKFNumberCheck eCheck)
{
    if (!CheckRowArgs(4, iRows) || pfVec3 == nullptr || pfValues == nullptr) return false;
    if (!m_pReader->IsAscii()) {
        int iID = piIDs != nullptr ? 1 : 0;
        return ReadRowsInSlices(m_pReader, iID + 4, iRows, [&](const int32_t *piRow, int r) {
            if (piIDs != nullptr) piIDs[r] = piRow[0];
            for (int k = 0; k < 3; k++) pfVec3[(int64_t)r * 3 + k] = WordAsFloat(piRow[iID + k]);
            pfValues[r] = WordAsFloat(piRow[iID + 3]);
        });
    }
    return ReadAsciiVec3Rows(piIDs, pfVec3, pfValues, 1, iRows, eCheck);
}

bool NKFBlock::ReadAsciiVec3Rows(int32_t *piIDs, float *pfVec3, float *pfRest, int iRest, int iRows,
                                 NKFNumberCheck eCheck)
{
    bool bWarned = false;
    for (int r = 0; r < iRows; r++) {
        const NKString *pLine = nullptr;
        if (!NextDataLine(&pLine)) return false;
        const char *p = pLine->GetText();
        float *pfRowRest = iRest > 0 ? pfRest + (int64_t)r * iRest : nullptr;
        if (eCheck != NKF_NUMBERS_AS_READ) {
            int32_t *piID = piIDs != nullptr ? &piIDs[r] : nullptr;
            if (!ScanCheckedRow(p, piID, pfVec3 + (int64_t)r * 3, 3, pfRowRest, iRest, eCheck,
                                &bWarned))
                return false;
            continue;
        }
        if (piIDs != nullptr && !NKFScanInt(&p, &piIDs[r])) continue;
        if (!ScanFloats(&p, pfVec3 + (int64_t)r * 3, 3)) continue;
        if (iRest > 0) ScanFloats(&p, pfRowRest, iRest);
    }
    return true;
}

// Scales to unit length and stores component x 127, truncated toward zero.
// A zero (or not finite) vector becomes (0, 0, 1).
static void PackUnitNormal(const float pfIn[3], signed char *pcOut)
{
    double x = pfIn[0], y = pfIn[1], z = pfIn[2];
    double dLength = std::sqrt(x * x + y * y + z * z);
    if (!(dLength > 0.0) || !std::isfinite(dLength)) {
        x = 0.0;
        y = 0.0;
        z = 1.0;
        dLength = 1.0;
    }
    pcOut[0] = (signed char)(int)(x / dLength * 127.0);
    pcOut[1] = (signed char)(int)(y / dLength * 127.0);
    pcOut[2] = (signed char)(int)(z / dLength * 127.0);
}

bool NKFBlock::ReadPackedNormals(signed char *pcNormals, int iRows, int32_t *piIDs,
                                 NKFNumberCheck eCheck)
{
    if (!CheckRowArgs(3, iRows) || pcNormals == nullptr) return false;
    if (!m_pReader->IsAscii()) {
        int iID = piIDs != nullptr ? 1 : 0;
        return ReadRowsInSlices(m_pReader, iID + 3, iRows, [&](const int32_t *piRow, int r) {
            if (piIDs != nullptr) piIDs[r] = piRow[0];
            float afNormal[3] = {WordAsFloat(piRow[iID]), WordAsFloat(piRow[iID + 1]),
                                 WordAsFloat(piRow[iID + 2])};
            PackUnitNormal(afNormal, pcNormals + (int64_t)r * 3);
        });
    }
    for (int r = 0; r < iRows; r++) {
        const NKString *pLine = nullptr;
        if (!NextDataLine(&pLine)) return false;
        const char *p = pLine->GetText();
        float afNormal[3] = {0.0f, 0.0f, 0.0f};
        int32_t *piID = piIDs != nullptr ? &piIDs[r] : nullptr;
        if (eCheck != NKF_NUMBERS_AS_READ) {  // a normal holds no result value
            if (!ScanCheckedRow(p, piID, afNormal, 3, nullptr, 0, eCheck, nullptr)) return false;
        } else if (piID == nullptr || NKFScanInt(&p, piID)) {
            ScanFloats(&p, afNormal, 3);
        }
        PackUnitNormal(afNormal, pcNormals + (int64_t)r * 3);
    }
    return true;
}

// Stores one word of an ASCII id list: an integer, or a range "a-b" (a '-'
// after the first character) that stands for a, a+1, ..., b. False when a
// value would pass the count.
static bool StoreIdWord(const char *pStart, const char *pEnd, int32_t *piValues, int iCount,
                        int *piStored)
{
    const char *pDash = nullptr;
    for (const char *p = pStart + 1; p < pEnd; p++) {
        if (*p == '-') {
            pDash = p;
            break;
        }
    }
    int64_t iFirst = NKFWordToInt(pStart);
    int64_t iLast = pDash != nullptr ? NKFWordToInt(pDash + 1) : iFirst;
    for (int64_t v = iFirst; v <= iLast; v++) {
        if (*piStored >= iCount) return false;
        piValues[(*piStored)++] = (int32_t)v;
    }
    return true;
}

bool NKFBlock::ReadCommaSeparatedData(int32_t *piValues, int iCount)
{
    if (piValues == nullptr || iCount <= 0 || m_pReader == nullptr) {
        ReportError(NKString(""),
                    NKString("ReadCommaSeparatedData: Internal error. Illegal parameters."));
        return false;
    }
    if (!m_pReader->IsAscii()) return m_pReader->ReadInts(piValues, iCount);
    int iStored = 0;
    for (;;) {
        const NKString &line = m_pReader->NextLine();
        if (line.IsEmpty()) break;
        if (line.GetAt(0) == '*' || line.GetAt(0) == '%') {
            m_pReader->PushBackLine();
            break;
        }
        const char *p = line.GetText();
        const char *pStart, *pEnd;
        while (NKFNextWord(&p, &pStart, &pEnd)) {
            if (!StoreIdWord(pStart, pEnd, piValues, iCount, &iStored)) {
                ReportLineError(
                    NKString(""),
                    NKString("ReadCommaSeparatedData: Internal error. To many values found."));
                return false;
            }
        }
    }
    return true;
}

// ---------------------------------------------------------------------------
// Shared by the block classes

bool NKFStoreBlockColor(NKFBlock *pBlock, const float afColor[3], float **ppfColor)
{
    if (afColor[0] < 0.0f) return true;
    *ppfColor = (float *)NKAlloc(3 * sizeof(float));
    if (*ppfColor == nullptr) {
        pBlock->ReportError(NKString(""), NKString("Error Allocation memory"));
        return false;
    }
    memcpy(*ppfColor, afColor, 3 * sizeof(float));
    return true;
}

bool NKFSkipBinaryFraming(NKFBlock *pBlock)
{
    NKFReader *pReader = pBlock->GetReader();
    int32_t aiSizes[2] = {0, 0};
    pReader->ReadInts(aiSizes, 2);  // a short read leaves zeros
    if (!pBlock->CheckHeaderSize(aiSizes[0], NKF_HEADER_SIZES_BYTES)) return false;
    if (aiSizes[1] < 0 || aiSizes[1] > pReader->BytesLeft()) {
        pBlock->ReportError(NKString(""),
                            NKString("Item count does not fit the data size of the block."));
        return false;
    }
    if (!pReader->Skip((int64_t)aiSizes[0] - NKF_HEADER_SIZES_BYTES)) {
        pBlock->ReportLineError(NKString(""),
                                NKString("End of block marker not found at expected position."));
        return false;
    }
    return pBlock->CheckEndOfBlock(aiSizes[1]);
}

// ---------------------------------------------------------------------------

int NKFFindStepIndex(int iStep, const int32_t *piStepNumbers, int iCount)
{
    if (piStepNumbers == nullptr || iCount < 1 || iStep < 0) return -1;
    int64_t s = (int64_t)iStep + 1;
    bool bSorted = true;
    for (int i = 0; i + 1 < iCount; i++) {
        if (piStepNumbers[i] > piStepNumbers[i + 1]) {
            bSorted = false;
            break;
        }
    }
    if (!bSorted) {
        for (int i = 0; i < iCount; i++) {
            if (piStepNumbers[i] == s) return i;
        }
        return -1;
    }
    if (s < piStepNumbers[0]) return -1;
    // The last entry whose number is <= s.
    int lo = 0, hi = iCount - 1;
    while (lo < hi) {
        int mid = lo + (hi - lo + 1) / 2;
        if (piStepNumbers[mid] <= s)
            lo = mid;
        else
            hi = mid - 1;
    }
    return lo;
}
