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

NKFStream::NKFStream()
    : m_pFile(nullptr), m_iFileSize(0), m_bSwapBytes(false), m_bEndReached(false), m_iBytesRead(0),
      m_pLine(nullptr), m_iLineCapacity(0)
{}

NKFStream::~NKFStream()
{
    Close();
    free(m_pLine);  // allocated by getline(3)
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
}

int64_t NKFStream::GetPosition() const
{
    if (m_pFile == nullptr) return 0;
    off_t iPos = ftello(m_pFile);
    return iPos < 0 ? 0 : (int64_t)iPos;
}

bool NKFStream::SetPosition(int64_t iPosition)
{
    if (m_pFile == nullptr || iPosition < 0) return false;
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
    return fseeko(m_pFile, (off_t)iCount, SEEK_CUR) == 0;
}

bool NKFStream::ReadLine(const char **ppszLine, int64_t *piLength)
{
    *ppszLine = "";
    *piLength = 0;
    if (m_pFile == nullptr) return false;
    ssize_t iRead = getline(&m_pLine, &m_iLineCapacity, m_pFile);
    if (iRead < 0) return false;
    // Neither CR nor LF belongs to a line's text.
    while (iRead > 0 && (m_pLine[iRead - 1] == '\n' || m_pLine[iRead - 1] == '\r'))
        m_pLine[--iRead] = 0;
    *ppszLine = m_pLine;
    *piLength = iRead;
    return true;
}

bool NKFIsSeparator(char c) { return c == ' ' || c == '\t' || c == ',' || c == '\r' || c == '\n'; }

static const char *SkipSeparators(const char *p)
{
    while (*p != 0 && NKFIsSeparator(*p)) p++;
    return p;
}

// End of the word that starts at p: numbers never run past it, and
// looking no further keeps a scan of a long line linear.
static const char *WordEnd(const char *p)
{
    while (*p != 0 && !NKFIsSeparator(*p)) p++;
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
