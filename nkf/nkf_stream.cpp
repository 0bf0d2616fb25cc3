// nkf/nkf_stream.cpp -- bulk binary reads with byte swapping, whole-line
// ASCII reads, and locale-free number scanning for the NKF reader, both the
// lenient scan and the whole-word check of the row reads (interface and
// rules in nkf_stream.h).
#include "nkf/nkf_stream.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sys/types.h>

#include "core/nk_file.h"

// The line buffer's first size; it grows for a longer line.
static const size_t kLineBufferBytes = 1 << 20;

NKFStream::NKFStream()
    : m_pFile(nullptr), m_iFileSize(0), m_bSwapBytes(false), m_bEndReached(false), m_iBytesRead(0),
      m_bLineBuffer(false), m_pLine(nullptr), m_iLineCapacity(0), m_iLineStart(0), m_iLineEnd(0),
      m_iLineFilePos(0), m_iLineNul(-1), m_cLineNulByte(0)
{}

NKFStream::~NKFStream()
{
    Close();
    free(m_pLine);
}

bool NKFStream::Open(const char *pszPath)
{
    Close();
    if (pszPath == nullptr || pszPath[0] == 0) return false;
    m_pFile = fopen(pszPath, "rb");
    if (m_pFile == nullptr) return false;
    m_iFileSize = 0;
    if (fseeko(m_pFile, 0, SEEK_END) == 0) m_iFileSize = ftello(m_pFile);
    if (m_iFileSize < 0) m_iFileSize = 0;
    rewind(m_pFile);
    return true;
}

void NKFStream::Close()
{
    if (m_pFile != nullptr) fclose(m_pFile);
    m_pFile = nullptr;
    m_iFileSize = 0;
    m_bLineBuffer = false;
    m_iLineNul = -1;
}

FILE *NKFStream::GetFile() const
{
    EndLineBuffer();
    return m_pFile;
}

void NKFStream::RestoreLineEnd() const
{
    if (m_iLineNul >= 0) m_pLine[m_iLineNul] = m_cLineNulByte;
    m_iLineNul = -1;
}

void NKFStream::EndLineBuffer() const
{
    RestoreLineEnd();
    if (!m_bLineBuffer) return;
    m_bLineBuffer = false;
    if (m_pFile != nullptr)
        fseeko(m_pFile, (off_t)(m_iLineFilePos + (int64_t)m_iLineStart), SEEK_SET);
}

int64_t NKFStream::GetPosition() const
{
    if (m_pFile == nullptr) return 0;
    if (m_bLineBuffer) return m_iLineFilePos + (int64_t)m_iLineStart;
    off_t iPos = ftello(m_pFile);
    return iPos < 0 ? 0 : (int64_t)iPos;
}

bool NKFStream::SetPosition(int64_t iPosition)
{
    if (m_pFile == nullptr || iPosition < 0) return false;
    RestoreLineEnd();
    // A block's data read again after its parse usually lies in the buffer.
    if (m_bLineBuffer && iPosition >= m_iLineFilePos &&
        iPosition <= m_iLineFilePos + (int64_t)m_iLineEnd) {
        m_iLineStart = (size_t)(iPosition - m_iLineFilePos);
        m_bEndReached = false;
        return true;
    }
    m_bLineBuffer = false;
    if (fseeko(m_pFile, (off_t)iPosition, SEEK_SET) != 0) return false;
    // Blocks load their data long after the parse ran into the end of the
    // file: a successful seek starts a fresh read, so the flag is cleared.
    m_bEndReached = false;
    return true;
}

int64_t NKFStream::BytesLeft() const
{
    if (m_pFile == nullptr) return 0;
    int64_t iLeft = m_iFileSize - GetPosition();
    return iLeft < 0 ? 0 : iLeft;
}

bool NKFStream::ReadRaw(void *pBuffer, int64_t iCount)
{
    if (iCount == 0) return true;
    if (m_pFile == nullptr || pBuffer == nullptr || iCount < 0) {
        m_bEndReached = true;
        return false;
    }
    // A count beyond the file can never be satisfied: fail before touching
    // the stream or the destination, so that a bad size costs nothing.
    if (iCount > BytesLeft()) {
        m_bEndReached = true;
        return false;
    }
    EndLineBuffer();
    if (fread(pBuffer, 1, (size_t)iCount, m_pFile) != (size_t)iCount) {
        m_bEndReached = true;
        memset(pBuffer, 0, (size_t)iCount);
        return false;
    }
    return true;
}

// Reads iCount 4-byte words and puts them in the machine's order.
bool NKFStream::ReadWords(void *pValues, int64_t iCount)
{
    if (iCount == 0) return true;
    if (pValues == nullptr || iCount < 0 || iCount > INT64_MAX / 4) {
        m_bEndReached = true;
        return false;
    }
    if (!ReadRaw(pValues, iCount * 4)) return false;
    if (m_bSwapBytes) SwapBytes(pValues, 4, iCount);
    m_iBytesRead += (int32_t)(iCount * 4);
    return true;
}

bool NKFStream::ReadInts(int32_t *piValues, int64_t iCount) { return ReadWords(piValues, iCount); }

bool NKFStream::ReadFloats(float *pfValues, int64_t iCount) { return ReadWords(pfValues, iCount); }

bool NKFStream::Skip(int64_t iCount)
{
    if (iCount < 1) return true;
    if (m_pFile == nullptr || iCount > BytesLeft()) {
        m_bEndReached = true;
        return false;
    }
    EndLineBuffer();
    return fseeko(m_pFile, (off_t)iCount, SEEK_CUR) == 0;
}

bool NKFStream::RefillLineBuffer()
{
    size_t iKept = m_iLineEnd - m_iLineStart;
    if (m_pLine == nullptr || iKept == m_iLineCapacity) {
        // Empty (first use) or full of one unfinished line: grow. One byte
        // more than the capacity is kept for the NUL after a last line.
        size_t iCapacity = m_iLineCapacity == 0 ? kLineBufferBytes : 2 * m_iLineCapacity;
        char *pLine = (char *)realloc(m_pLine, iCapacity + 1);
        if (pLine == nullptr) return false;
        m_pLine = pLine;
        m_iLineCapacity = iCapacity;
    }
    if (m_iLineStart > 0) {
        memmove(m_pLine, m_pLine + m_iLineStart, iKept);
        m_iLineFilePos += (int64_t)m_iLineStart;
        m_iLineStart = 0;
        m_iLineEnd = iKept;
    }
    size_t iRead = fread(m_pLine + m_iLineEnd, 1, m_iLineCapacity - m_iLineEnd, m_pFile);
    m_iLineEnd += iRead;
    return iRead > 0;
}

bool NKFStream::ReadLine(const char **ppszLine, int64_t *piLength)
{
    *ppszLine = "";
    *piLength = 0;
    if (m_pFile == nullptr) return false;
    RestoreLineEnd();
    if (!m_bLineBuffer) {
        off_t iPos = ftello(m_pFile);
        m_iLineFilePos = iPos < 0 ? 0 : (int64_t)iPos;
        m_iLineStart = m_iLineEnd = 0;
        m_bLineBuffer = true;
    }
    size_t iSearched = 0;  // bytes after the line's start known to hold no LF
    size_t iStop = 0;
    for (;;) {
        size_t iFrom = m_iLineStart + iSearched;
        const char *pEnd = m_pLine == nullptr
                               ? nullptr
                               : (const char *)memchr(m_pLine + iFrom, '\n', m_iLineEnd - iFrom);
        if (pEnd != nullptr) {
            iStop = (size_t)(pEnd - m_pLine);
            break;
        }
        iSearched = m_iLineEnd - m_iLineStart;
        if (!RefillLineBuffer()) {
            if (m_iLineStart == m_iLineEnd) return false;  // nothing left
            iStop = m_iLineEnd;                            // a last line without LF
            break;
        }
    }
    const char *pszLine = m_pLine + m_iLineStart;
    size_t iLength = iStop - m_iLineStart;
    m_iLineStart = iStop < m_iLineEnd ? iStop + 1 : iStop;
    // Neither CR nor LF belongs to a line's text.
    while (iLength > 0 && pszLine[iLength - 1] == '\r') iLength--;
    m_iLineNul = (int64_t)(pszLine - m_pLine) + (int64_t)iLength;
    m_cLineNulByte = m_pLine[m_iLineNul];
    m_pLine[m_iLineNul] = 0;
    *ppszLine = pszLine;
    *piLength = (int64_t)iLength;
    return true;
}

// Per byte: 1 for a separator, 2 for the NUL that ends a line's text.
struct NKFCharClasses {
    unsigned char a[256] = {};
    constexpr NKFCharClasses()
    {
        a[(unsigned char)' '] = a[(unsigned char)'\t'] = a[(unsigned char)','] = 1;
        a[(unsigned char)'\r'] = a[(unsigned char)'\n'] = 1;
        a[0] = 2;
    }
};
static constexpr NKFCharClasses kCharClasses;

static inline unsigned ClassOf(char c) { return kCharClasses.a[(unsigned char)c]; }

bool NKFIsSeparator(char c) { return ClassOf(c) == 1; }

static const char *SkipSeparators(const char *p)
{
    while (ClassOf(*p) == 1) p++;
    return p;
}

// End of the word that starts at p: numbers never run past it, and
// looking no further keeps a scan of a long line linear.
static const char *WordEnd(const char *p)
{
    while (ClassOf(*p) == 0) p++;
    return p;
}

// Parses an integer at p (an optional '+' is accepted as in C). Returns the
// end of the number, or null when none starts at p or it does not fit.
static const char *ParseInt(const char *p, int32_t *piValue)
{
    const char *pStart = p;
    if (*pStart == '+' && pStart[1] != '-') pStart++;
    const char *pEnd = WordEnd(pStart);
    int32_t iValue = 0;
    std::from_chars_result r = std::from_chars(pStart, pEnd, iValue);
    if (r.ec != std::errc()) return nullptr;
    *piValue = iValue;
    return r.ptr;
}

static const char *ParseDouble(const char *p, double *pdValue)
{
    const char *pStart = p;
    if (*pStart == '+' && pStart[1] != '-') pStart++;
    const char *pEnd = WordEnd(pStart);
    double dValue = 0.0;
    std::from_chars_result r = std::from_chars(pStart, pEnd, dValue);
    if (r.ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: keep the C conversion's
        // answer (infinity or 0 with the sign).
        dValue = strtod(pStart, nullptr);  // LC_NUMERIC stays "C"
    } else if (r.ec != std::errc()) {
        return nullptr;
    }
    *pdValue = dValue;
    return r.ptr;
}

float NKFDoubleToFloat(double dValue)
{
    if (dValue > FLT_MAX) return INFINITY;
    if (dValue < -FLT_MAX) return -INFINITY;
    return (float)dValue;
}

bool NKFScanInt(const char **ppCursor, int32_t *piValue)
{
    const char *p = SkipSeparators(*ppCursor);
    const char *pEnd = ParseInt(p, piValue);
    if (pEnd == nullptr) return false;
    *ppCursor = pEnd;
    return true;
}

bool NKFScanFloat(const char **ppCursor, float *pfValue)
{
    const char *p = SkipSeparators(*ppCursor);
    double dValue = 0.0;
    const char *pEnd = ParseDouble(p, &dValue);
    if (pEnd == nullptr) return false;
    *pfValue = NKFDoubleToFloat(dValue);
    *ppCursor = pEnd;
    return true;
}

// ---------------------------------------------------------------------------
// Whole-word scanning

// The word at the cursor: [*ppStart, *ppEnd) with a leading '+' passed over
// as C allows it. False when no word is left. The cursor moves past it.
static bool TakeWord(const char **ppCursor, const char **ppStart, const char **ppEnd)
{
    const char *p = SkipSeparators(*ppCursor);
    const char *pEnd = WordEnd(p);
    *ppCursor = pEnd;
    if (p == pEnd) return false;
    if (*p == '+' && p[1] != '-') p++;
    *ppStart = p;
    *ppEnd = pEnd;
    return true;
}

// A double as the float a C conversion gives, when that is finite. Up to
// half a float step above the largest float the conversion still rounds to
// it (a written undefined value, 3.4028235e38, lies there); from the
// halfway point on it rounds to infinity.
static bool NarrowToFiniteFloat(double dValue, float *pfValue)
{
    const double dRoundsToInfinity = 0x1.ffffffp127;  // FLT_MAX + half a step
    if (!(dValue > -dRoundsToInfinity && dValue < dRoundsToInfinity)) return false;  // NaN too
    if (dValue > FLT_MAX)
        *pfValue = FLT_MAX;
    else if (dValue < -FLT_MAX)
        *pfValue = -FLT_MAX;
    else
        *pfValue = (float)dValue;
    return true;
}

NKFWordScan NKFScanIntWord(const char **ppCursor, int32_t *piValue)
{
    // The common word, a sign and up to nine digits, is converted as it is
    // walked; anything else goes the general way below.
    const char *p = SkipSeparators(*ppCursor);
    const char *q = p + (*p == '-');
    int32_t iQuick = 0;
    int iDigits = 0;
    for (; iDigits < 9 && *q >= '0' && *q <= '9'; q++, iDigits++) iQuick = 10 * iQuick + (*q - '0');
    if (iDigits > 0 && ClassOf(*q) != 0) {
        *piValue = *p == '-' ? -iQuick : iQuick;
        *ppCursor = q;
        return NKF_WORD_NUMBER;
    }
    const char *pStart = nullptr, *pEnd = nullptr;
    if (!TakeWord(ppCursor, &pStart, &pEnd)) return NKF_WORD_MISSING;
    int32_t iValue = 0;
    std::from_chars_result r = std::from_chars(pStart, pEnd, iValue);
    if (r.ec != std::errc() || r.ptr != pEnd) return NKF_WORD_ILLEGAL;
    *piValue = iValue;
    return NKF_WORD_NUMBER;
}

NKFWordScan NKFScanFloatWord(const char **ppCursor, float *pfValue)
{
    const char *pStart = nullptr, *pEnd = nullptr;
    if (!TakeWord(ppCursor, &pStart, &pEnd)) return NKF_WORD_MISSING;
    // Straight to float; only a word beyond the float range (or below its
    // smallest step) is converted again through double, which tells the
    // written undefined value and underflow from a real overflow.
    float fDirect = 0.0f;
    std::from_chars_result rf = std::from_chars(pStart, pEnd, fDirect);
    if (rf.ec == std::errc() && rf.ptr == pEnd) {
        if (!std::isfinite(fDirect)) return NKF_WORD_ILLEGAL;
        *pfValue = fDirect;
        return NKF_WORD_NUMBER;
    }
    if (rf.ec == std::errc::invalid_argument || rf.ptr != pEnd) return NKF_WORD_ILLEGAL;
    double dValue = 0.0;
    std::from_chars_result r = std::from_chars(pStart, pEnd, dValue);
    if (r.ec == std::errc::invalid_argument || r.ptr != pEnd) return NKF_WORD_ILLEGAL;
    // Beyond the double range either way: the C conversion tells a value
    // too small (0, which is fine) from one too large (infinity, which is
    // not). The word is a whole number here, so it stops at its end too.
    if (r.ec == std::errc::result_out_of_range) dValue = strtod(pStart, nullptr);
    float fValue = 0.0f;
    if (!NarrowToFiniteFloat(dValue, &fValue)) return NKF_WORD_ILLEGAL;
    *pfValue = fValue;
    return NKF_WORD_NUMBER;
}

// ---------------------------------------------------------------------------
// Words

int32_t NKFWordToInt(const char *pszWord)
{
    if (pszWord == nullptr) return 0;
    const char *p = pszWord;
    while (*p == ' ' || *p == '\t') p++;
    int32_t iValue = 0;
    if (ParseInt(p, &iValue) == nullptr) return 0;
    return iValue;
}

double NKFWordToDouble(const char *pszWord)
{
    if (pszWord == nullptr) return 0.0;
    const char *p = pszWord;
    while (*p == ' ' || *p == '\t') p++;
    double dValue = 0.0;
    if (ParseDouble(p, &dValue) == nullptr) return 0.0;
    return dValue;
}

bool NKFNextWord(const char **ppCursor, const char **ppStart, const char **ppEnd)
{
    const char *p = SkipSeparators(*ppCursor);
    if (*p == 0) {
        *ppCursor = p;
        return false;
    }
    *ppStart = p;
    while (*p != 0 && !NKFIsSeparator(*p)) p++;
    *ppEnd = p;
    *ppCursor = p;
    return true;
}
