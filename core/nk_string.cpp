// core/nk_string.cpp -- NKString (see nk_string.h).
//
// Buffers come from malloc and are freed with free; every assignment makes a
// fresh buffer of exactly the text's length + 1 and frees the old one after
// the copy, so a string may be assigned from a pointer into its own text.
// Numbers are printed and parsed through the "C" locale so that a user's
// LC_NUMERIC never changes a decimal point. Used by everything; depends on
// nothing but the C and C++ runtimes.
#include "core/nk_string.h"

#include <locale.h>
#include <stdlib.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

const char sg_szEmpty[1] = {0};

bool IsAsciiSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool IsAsciiControl(char c)
{
    unsigned char u = (unsigned char)c;
    return u < 32 || u == 127;
}
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsLineSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Allocates iSize zeroed bytes; null when memory is exhausted.
char *NewBuffer(size_t iSize) { return (char *)calloc(iSize, 1); }

// The "C" locale, made once; (locale_t)0 when it cannot be made.
locale_t CLocale()
{
    static locale_t s_Locale = newlocale(LC_ALL_MASK, "C", (locale_t)0);
    return s_Locale;
}

// Switches this thread to the "C" locale while it lives, so that printf-
// style formatting writes '.' as the decimal point whatever LC_NUMERIC is.
class CLocaleScope {
public:
    CLocaleScope()
    {
        if (CLocale() != (locale_t)0) m_Previous = uselocale(CLocale());
    }
    ~CLocaleScope()
    {
        if (m_Previous != (locale_t)0) uselocale(m_Previous);
    }
    CLocaleScope(const CLocaleScope &) = delete;
    CLocaleScope &operator=(const CLocaleScope &) = delete;

private:
    locale_t m_Previous = (locale_t)0;
};

// Formats into a fresh heap buffer of exactly the needed size; null when
// the format is null or invalid.
char *FormatToBuffer(const char *pszFormat, va_list args)
{
    if (pszFormat == nullptr) return nullptr;
    CLocaleScope scope;
    va_list measure;
    va_copy(measure, args);
    int iLength = vsnprintf(nullptr, 0, pszFormat, measure);
    va_end(measure);
    if (iLength < 0) return nullptr;
    char *pszBuffer = NewBuffer((size_t)iLength + 1);
    if (pszBuffer != nullptr) vsnprintf(pszBuffer, (size_t)iLength + 1, pszFormat, args);
    return pszBuffer;
}

NKString FormatFloat(float fValue) { return NKString::FromFormat("%g", (double)fValue); }

}  // namespace

// ---------------------------------------------------------------------------
// Construction and assignment

NKString::NKString() : m_pszText(nullptr), m_iScanPos(0) {}

NKString::NKString(const char *pszText) : m_pszText(nullptr), m_iScanPos(0) { Assign(pszText, -1); }

NKString::NKString(const NKString &other) : m_pszText(nullptr), m_iScanPos(0)
{
    Assign(other.m_pszText, -1);
}

NKString::NKString(NKString &&other) noexcept : m_pszText(other.m_pszText), m_iScanPos(0)
{
    other.m_pszText = nullptr;
}

NKString::NKString(const float *pfVec3) : m_pszText(nullptr), m_iScanPos(0)
{
    if (pfVec3 != nullptr)
        Format("[%G, %G, %G]", (double)pfVec3[0], (double)pfVec3[1], (double)pfVec3[2]);
}

NKString::~NKString() { free(m_pszText); }

void NKString::TakeBuffer(char *pszBuffer)
{
    free(m_pszText);
    m_pszText = pszBuffer;
}

void NKString::Assign(const char *pszText, int iLength)
{
    if (pszText == nullptr) {
        TakeBuffer(nullptr);
        return;
    }
    size_t iCount = iLength < 0 ? strlen(pszText) : (size_t)iLength;
    char *pszBuffer = NewBuffer(iCount + 1);
    // strncpy stops at a terminator in pszText and zero-fills the rest.
    if (pszBuffer != nullptr) strncpy(pszBuffer, pszText, iCount);
    TakeBuffer(pszBuffer);
}

NKString &NKString::operator=(const char *pszText)
{
    Assign(pszText, -1);
    return *this;
}

NKString &NKString::operator=(const NKString &other)
{
    if (this != &other) Assign(other.m_pszText, -1);
    return *this;
}

NKString &NKString::operator=(NKString &&other) noexcept
{
    if (this != &other) {
        TakeBuffer(other.m_pszText);
        other.m_pszText = nullptr;
    }
    return *this;
}

bool NKString::SetBufferSize(int iSize)
{
    if (iSize < 1) return false;
    char *pszBuffer = NewBuffer((size_t)iSize);
    if (pszBuffer == nullptr) return false;
    if (m_pszText != nullptr) strncpy(pszBuffer, m_pszText, (size_t)iSize - 1);
    TakeBuffer(pszBuffer);
    return true;
}

void NKString::ShrinkBuffer() { Assign(m_pszText, -1); }

// ---------------------------------------------------------------------------
// Access

const char *NKString::GetText() const { return m_pszText ? m_pszText : sg_szEmpty; }

int NKString::GetLength() const { return m_pszText ? (int)strlen(m_pszText) : 0; }

bool NKString::IsEmpty() const { return m_pszText == nullptr || m_pszText[0] == '\0'; }

bool NKString::IsBlank() const
{
    for (const char *p = GetText(); *p; p++)
        if (!IsLineSpace(*p)) return false;
    return true;
}

char NKString::GetAt(int i) const
{
    // Looks no further than i: the readers test the first character of
    // millions of lines.
    if (i < 0 || m_pszText == nullptr) return 0;
    for (int k = 0; k < i; k++)
        if (m_pszText[k] == '\0') return 0;
    return m_pszText[i];
}

void NKString::SetAt(int i, char c)
{
    if (i >= 0 && i < GetLength()) m_pszText[i] = c;
}

// ---------------------------------------------------------------------------
// Comparison

bool NKString::operator==(const NKString &other) const { return *this == other.m_pszText; }

bool NKString::operator==(const char *pszOther) const
{
    if (m_pszText == nullptr || pszOther == nullptr)
        return m_pszText == nullptr && pszOther == nullptr;
    return strcmp(m_pszText, pszOther) == 0;
}

// ---------------------------------------------------------------------------
// Concatenation

NKString NKString::operator+(const char *pszOther) const
{
    if (m_pszText == nullptr) return NKString(pszOther);
    if (pszOther == nullptr) return *this;
    size_t iOwn = strlen(m_pszText);
    size_t iOther = strlen(pszOther);
    NKString result;
    result.m_pszText = NewBuffer(iOwn + iOther + 1);
    if (result.m_pszText != nullptr) {
        memcpy(result.m_pszText, m_pszText, iOwn);
        memcpy(result.m_pszText + iOwn, pszOther, iOther);
    }
    return result;
}

NKString NKString::operator+(const NKString &other) const { return *this + other.m_pszText; }
NKString NKString::operator+(int iValue) const { return *this + FromInt(iValue); }
NKString NKString::operator+(float fValue) const { return *this + FormatFloat(fValue); }
NKString NKString::operator+(double dValue) const { return *this + FormatFloat((float)dValue); }

NKString NKString::operator+(char c) const
{
    char szChar[2] = {c, 0};
    // Appending the terminator itself appends nothing, as "%c" of 0 would.
    return *this + szChar;
}

NKString &NKString::operator+=(const NKString &other) { return *this = *this + other; }
NKString &NKString::operator+=(const char *pszOther) { return *this = *this + pszOther; }
NKString &NKString::operator+=(int iValue) { return *this = *this + iValue; }
NKString &NKString::operator+=(float fValue) { return *this = *this + fValue; }
NKString &NKString::operator+=(double dValue) { return *this = *this + dValue; }
NKString &NKString::operator+=(char c) { return *this = *this + c; }

NKString operator+(const char *pszLeft, const NKString &right) { return NKString(pszLeft) + right; }

NKString NKString::FromInt(int iValue)
{
    char szBuffer[16];
    snprintf(szBuffer, sizeof szBuffer, "%d", iValue);
    return NKString(szBuffer);
}

NKString NKString::FromUnsigned(unsigned uValue)
{
    char szBuffer[16];
    snprintf(szBuffer, sizeof szBuffer, "%u", uValue);
    return NKString(szBuffer);
}

NKString NKString::FromFloat(float fValue) { return FormatFloat(fValue); }

NKString &NKString::FormatV(const char *pszFormat, va_list args)
{
    char *pszBuffer = FormatToBuffer(pszFormat, args);
    if (pszBuffer == nullptr) pszBuffer = NewBuffer(1);
    TakeBuffer(pszBuffer);
    return *this;
}

NKString &NKString::Format(const char *pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
    return *this;
}

NKString NKString::FromFormat(const char *pszFormat, ...)
{
    NKString result;
    va_list args;
    va_start(args, pszFormat);
    result.FormatV(pszFormat, args);
    va_end(args);
    return result;
}

// ---------------------------------------------------------------------------
// Case and cleaning

void NKString::MakeLower()
{
    if (m_pszText == nullptr) return;
    for (char *p = m_pszText; *p; p++)
        if (*p >= 'A' && *p <= 'Z') *p = (char)(*p - 'A' + 'a');
}

void NKString::MakeUpper()
{
    if (m_pszText == nullptr) return;
    for (char *p = m_pszText; *p; p++)
        if (*p >= 'a' && *p <= 'z') *p = (char)(*p - 'a' + 'A');
}

void NKString::TrimLeft(bool bAlsoControl)
{
    if (m_pszText == nullptr) return;
    const char *p = m_pszText;
    while (*p && (IsAsciiSpace(*p) || (bAlsoControl && IsAsciiControl(*p)))) p++;
    if (p != m_pszText) memmove(m_pszText, p, strlen(p) + 1);
}

void NKString::TrimRight(bool bAlsoControl)
{
    if (m_pszText == nullptr) return;
    size_t i = strlen(m_pszText);
    while (i > 0 &&
           (IsAsciiSpace(m_pszText[i - 1]) || (bAlsoControl && IsAsciiControl(m_pszText[i - 1]))))
        i--;
    m_pszText[i] = '\0';
}

void NKString::Trim(bool bAlsoControl)
{
    TrimLeft(bAlsoControl);
    TrimRight(bAlsoControl);
}

void NKString::Simplify()
{
    Trim(false);
    if (m_pszText == nullptr) return;
    char *pszBuffer = NewBuffer(strlen(m_pszText) + 1);
    if (pszBuffer == nullptr) return;
    char *pOut = pszBuffer;
    for (const char *p = m_pszText; *p; p++) {
        char c = *p == '\t' ? ' ' : *p;
        if (c == ' ' && pOut != pszBuffer && pOut[-1] == ' ') continue;
        *pOut++ = c;
    }
    TakeBuffer(pszBuffer);
    ShrinkBuffer();
}

void NKString::RemoveChar(char c)
{
    if (m_pszText == nullptr || c == 0) return;
    char *pOut = m_pszText;
    for (const char *p = m_pszText; *p; p++)
        if (*p != c) *pOut++ = *p;
    *pOut = '\0';
    ShrinkBuffer();
}

// ---------------------------------------------------------------------------
// Searching and cutting

int NKString::FindChar(char c, int iStart, bool bForward) const
{
    int iLength = GetLength();
    if (iStart == -1) iStart = iLength - 1;
    if (iStart < 0 || iStart >= iLength) return -1;
    if (bForward) {
        for (int i = iStart; i < iLength; i++)
            if (m_pszText[i] == c) return i;
    } else {
        for (int i = iStart; i >= 0; i--)
            if (m_pszText[i] == c) return i;
    }
    return -1;
}

int NKString::Find(const NKString &sub, int iStart, bool bForward) const
{
    return Find(sub.m_pszText, iStart, bForward);
}

int NKString::Find(const char *pszSub, int iStart, bool bForward) const
{
    int iLength = GetLength();
    int iSubLength = pszSub ? (int)strlen(pszSub) : 0;
    if (iLength == 0 || iSubLength == 0) return -1;
    if (iStart == -1) iStart = iLength - iSubLength;
    if (iStart < 0 || iStart >= iLength || iStart + iSubLength > iLength) return -1;
    int iStep = bForward ? 1 : -1;
    for (int i = iStart; i >= 0 && i + iSubLength <= iLength; i += iStep)
        if (memcmp(m_pszText + i, pszSub, (size_t)iSubLength) == 0) return i;
    return -1;
}

int NKString::ReplaceAll(const char *pszFrom, const char *pszTo, int iMaxCount)
{
    if (m_pszText == nullptr || pszFrom == nullptr || pszFrom[0] == '\0') return 0;
    if (pszTo == nullptr) pszTo = "";
    size_t iFromLength = strlen(pszFrom);
    size_t iToLength = strlen(pszTo);
    // First pass counts the hits so that the result is built in one buffer.
    int iCount = 0;
    for (const char *p = strstr(m_pszText, pszFrom);
         p != nullptr && (iMaxCount <= 0 || iCount < iMaxCount);
         p = strstr(p + iFromLength, pszFrom))
        iCount++;
    if (iCount == 0) return 0;
    size_t iLength = strlen(m_pszText) + (size_t)iCount * iToLength - (size_t)iCount * iFromLength;
    char *pszBuffer = NewBuffer(iLength + 1);
    if (pszBuffer == nullptr) return 0;
    char *pOut = pszBuffer;
    const char *p = m_pszText;
    // The search goes on after each replaced occurrence in the old text, so
    // inserted text is never searched again.
    for (int i = 0; i < iCount; i++) {
        const char *pHit = strstr(p, pszFrom);
        memcpy(pOut, p, (size_t)(pHit - p));
        pOut += pHit - p;
        memcpy(pOut, pszTo, iToLength);
        pOut += iToLength;
        p = pHit + iFromLength;
    }
    strcpy(pOut, p);
    TakeBuffer(pszBuffer);
    return iCount;
}

NKString NKString::Substring(int iStart, int iCount) const
{
    int iLength = GetLength();
    NKString result("");
    if (iStart < 0 || iStart >= iLength) return result;
    if (iCount < 0 || iCount > iLength - iStart) iCount = iLength - iStart;
    result.Assign(m_pszText + iStart, iCount);
    return result;
}

NKString NKString::Left(int n) const { return Substring(0, n); }

NKString NKString::Right(int n) const
{
    // No characters for a count of 0 or less; the test also keeps the
    // start computation below from overflowing for a very negative count.
    if (n <= 0) return NKString("");
    int iStart = GetLength() - n;
    return Substring(iStart > 0 ? iStart : 0, n);
}

NKString NKString::Mid(int iFirst, int iLast) const
{
    int iLength = GetLength();
    if (iLast < 0) iLast = iLength - 1;
    if (iFirst < 0 || iFirst > iLast || iLast >= iLength) return NKString("");
    return Substring(iFirst, iLast - iFirst + 1);
}

// Index of the last '/' or '\\' of a path, -1 when there is none.
static int LastSeparator(const NKString &path)
{
    int iSlash = path.FindChar('/', -1, false);
    int iBackslash = path.FindChar('\\', -1, false);
    return iSlash > iBackslash ? iSlash : iBackslash;
}

NKString NKString::GetDirectory() const
{
    int i = LastSeparator(*this);
    if (i == -1) return NKString("");
    if (i == 0) return Left(1);
    // "\\server": a network name has no directory part of its own.
    if (i == 1 && m_pszText[0] == '\\') return *this;
    return Left(i);
}

NKString NKString::GetFileName() const
{
    int i = LastSeparator(*this);
    if (i == -1) return *this;
    if (i == 0) return Substring(1);
    if (i == 1 && m_pszText[0] == '\\') return NKString("");
    return Substring(i + 1);
}

// ---------------------------------------------------------------------------
// Numbers

int NKString::ToInt() const
{
    const char *p = GetText();
    while (IsAsciiSpace(*p)) p++;
    bool bNegative = *p == '-';
    if (*p == '-' || *p == '+') p++;
    // Accumulate past the int range without overflow, then saturate.
    int64_t iValue = 0;
    for (; IsAsciiDigit(*p); p++) {
        iValue = iValue * 10 + (*p - '0');
        if (iValue > (int64_t)INT_MAX + 1) iValue = (int64_t)INT_MAX + 1;
    }
    if (bNegative) iValue = -iValue;
    if (iValue > INT_MAX) iValue = INT_MAX;
    return (int)iValue;
}

double NKString::ToFloat() const
{
    if (IsEmpty()) return 0.0;
    if (CLocale() != (locale_t)0) return strtod_l(m_pszText, nullptr, CLocale());
    return strtod(m_pszText, nullptr);
}

bool NKString::IsNumber() const
{
    if (IsEmpty()) return false;
    for (const char *p = m_pszText; *p; p++)
        if (IsAsciiLetter(*p) && *p != 'e' && *p != 'E') return false;
    return true;
}

int NKString::FindNumberStart() const
{
    const char *pszText = GetText();
    for (int i = 0; pszText[i]; i++) {
        if (!IsAsciiDigit(pszText[i])) continue;
        if (i > 0 && (pszText[i - 1] == '+' || pszText[i - 1] == '-')) return i - 1;
        return i;
    }
    return -1;
}

bool NKString::IncrementTrailingNumber(int iDelta)
{
    int iLength = GetLength();
    int iRunStart = iLength;
    int iZeros = 0;
    while (iRunStart > 0 && IsAsciiDigit(m_pszText[iRunStart - 1])) {
        iRunStart--;
        iZeros = m_pszText[iRunStart] == '0' ? iZeros + 1 : 0;
    }
    if (iRunStart == iLength || iRunStart == 0) return false;
    // The run's value is read from its significant digits; more than 18 of
    // them would not fit a 64-bit sum, so such a run is left alone.
    int iSignificant = iLength - iRunStart - iZeros;
    if (iSignificant > 18) return false;
    int64_t iValue = 0;
    for (int i = iRunStart + iZeros; i < iLength; i++) iValue = iValue * 10 + (m_pszText[i] - '0');
    iValue += iDelta;
    NKString result;
    result.Assign(m_pszText, iRunStart + iZeros);
    result += FromFormat("%lld", (long long)iValue);
    Assign(result.m_pszText, -1);
    return true;
}

int NKString::CountIntegerWords() const
{
    NKString scan(*this);
    int iCount = 0;
    for (NKString word = scan.GetFirstWord(); !word.IsEmpty(); word = scan.GetNextWord())
        if (word.IsNumber() && word.FindChar('.') < 0) iCount++;
    return iCount;
}

int NKString::CountRealWords() const
{
    NKString scan(*this);
    int iCount = 0;
    for (NKString word = scan.GetFirstWord(); !word.IsEmpty(); word = scan.GetNextWord())
        if (word.IsNumber() && word.FindChar('.') >= 0) iCount++;
    return iCount;
}

int NKString::CountWords() const
{
    const char *pszText = GetText();
    int iCount = 0;
    for (int i = 0; pszText[i]; i++) {
        if (IsLineSpace(pszText[i])) continue;
        char cBefore = i > 0 ? pszText[i - 1] : ' ';
        if (cBefore == ' ' || cBefore == '\t' || cBefore == ',') iCount++;
    }
    return iCount;
}

int NKString::CountLines() const
{
    int iLength = GetLength();
    if (iLength == 0) return 0;
    int iCount = 1;
    for (int i = 0; i < iLength; i++)
        if (m_pszText[i] == '\n') iCount++;
    if (m_pszText[iLength - 1] == '\n') iCount--;
    return iCount;
}

// ---------------------------------------------------------------------------
// Scanners

NKString NKString::GetFirstWord()
{
    m_iScanPos = 0;
    return GetNextWord();
}

NKString NKString::GetNextWord()
{
    int iLength = GetLength();
    while (m_iScanPos < iLength && (m_pszText[m_iScanPos] == ' ' || m_pszText[m_iScanPos] == '\t'))
        m_iScanPos++;
    if (m_iScanPos >= iLength) return NKString("");
    // The first character belongs to the word whatever it is, a comma too.
    int iEnd = m_iScanPos + 1;
    while (iEnd < iLength && m_pszText[iEnd] != ' ' && m_pszText[iEnd] != '\t' &&
           m_pszText[iEnd] != ',')
        iEnd++;
    NKString word;
    word.Assign(m_pszText + m_iScanPos, iEnd - m_iScanPos);
    m_iScanPos = iEnd + 1;
    // Lines read from files keep their line end; at most CR LF is cut.
    for (int i = 0; i < 2; i++) {
        int iLast = word.GetLength() - 1;
        if (iLast >= 0 && (word.m_pszText[iLast] == '\n' || word.m_pszText[iLast] == '\r'))
            word.m_pszText[iLast] = '\0';
    }
    word.ShrinkBuffer();
    return word;
}

NKString NKString::GetWord(int n)
{
    NKString word = GetFirstWord();
    for (int i = 0; i < n && !word.IsEmpty(); i++) word = GetNextWord();
    return word;
}

// Applies the quoting rule of delimiter 1 at the scan position and returns
// where the token that starts there ends (the text's length when no
// delimiter follows).
int NKString::NextTokenEnd(char *pcDelim)
{
    if (*pcDelim == NK_TOKEN_BLANK_QUOTED) {
        if (GetAt(m_iScanPos) == '"') {
            m_iScanPos++;
            *pcDelim = '"';
        } else {
            *pcDelim = ' ';
        }
    }
    int iEnd = FindChar(*pcDelim, m_iScanPos, true);
    return iEnd < 0 ? GetLength() : iEnd;
}

NKString NKString::GetFirstToken(char cDelim)
{
    m_iScanPos = 0;
    int iEnd = NextTokenEnd(&cDelim);
    if (iEnd == 0) {
        m_iScanPos = 1;
        return NKString("");
    }
    if (iEnd > m_iScanPos) {
        NKString token;
        token.Assign(m_pszText + m_iScanPos, iEnd - m_iScanPos);
        m_iScanPos = iEnd + 1;
        return token;
    }
    // An empty quoted token at the very start.
    return NKString();
}

NKString NKString::GetNextToken(char cDelim)
{
    int iEnd = NextTokenEnd(&cDelim);
    if (iEnd < m_iScanPos || m_iScanPos < 0 || m_iScanPos >= GetLength()) return NKString();
    NKString token;
    token.Assign(m_pszText + m_iScanPos, iEnd - m_iScanPos);
    m_iScanPos = iEnd + 1;
    return token;
}

NKString NKString::GetRest() const
{
    if (m_iScanPos < 0 || m_iScanPos >= GetLength()) return NKString("");
    return NKString(m_pszText + m_iScanPos);
}

void NKString::SkipScanChar(char c)
{
    int iLength = GetLength();
    if (c == '\0' || m_iScanPos < 0) return;
    while (m_iScanPos < iLength && m_pszText[m_iScanPos] == c) m_iScanPos++;
}
