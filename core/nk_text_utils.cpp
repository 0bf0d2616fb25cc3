// core/nk_text_utils.cpp -- number parsing and scanning, bounded joining,
// control characters, ID lists and the progress percentage (see
// nk_text_utils.h).
#include "core/nk_text_utils.h"

#include <locale.h>
#include <stdlib.h>

#include <cerrno>
#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/nk_memory.h"
#include "core/nk_message.h"

namespace {

// The "C" locale, made once, so that a user's decimal comma never changes
// how numbers are read; (locale_t)0 when it cannot be made.
locale_t CLocale()
{
    static locale_t s_Locale = newlocale(LC_ALL_MASK, "C", (locale_t)0);
    return s_Locale;
}

// One word of an ID list as the first and last ID it stands for.
void ParseIdWord(NKString word, int *piFirst, int *piLast)
{
    int iDash = word.FindChar('-', 0, true);
    if (iDash < 0) {
        *piFirst = *piLast = word.ToInt();
        return;
    }
    // "-3" is the range from 0: the empty text before the dash reads as 0.
    *piFirst = word.Left(iDash).ToInt();
    *piLast = word.Substring(iDash + 1).ToInt();
}

// Calls fnVisit(first, last) for each non-blank word of the list, in order.
// The word scanner keeps a comma that starts a word ("4,,2" gives "4" and
// ",2"); such commas are dropped so that a doubled comma adds no ID 0.
template <typename Visit>
void ForEachIdWord(NKString &text, Visit fnVisit)
{
    int iWords = text.CountWords();
    NKString word = text.GetFirstWord();
    for (int i = 0; i < iWords; i++, word = text.GetNextWord()) {
        int iSkip = 0;
        while (word.GetAt(iSkip) == ',') iSkip++;
        if (iSkip > 0) word = word.Substring(iSkip);
        if (word.IsBlank()) continue;
        int iFirst, iLast;
        ParseIdWord(word, &iFirst, &iLast);
        if (!fnVisit(iFirst, iLast)) return;
    }
}

}  // namespace

bool NKParseFloat(const char *pszText, float *pfOut)
{
    if (pszText == nullptr || pfOut == nullptr || CLocale() == (locale_t)0) return false;
    char *pszEnd = nullptr;
    errno = 0;
    float fValue = strtof_l(pszText, &pszEnd, CLocale());
    if (pszEnd == pszText) return false;
    // An overflow has no float to give; an underflow gives 0 or a tiny value.
    if (errno == ERANGE && std::isinf(fValue)) return false;
    *pfOut = fValue;
    return true;
}

bool NKParseInt(const char *pszText, int *piOut)
{
    if (pszText == nullptr || piOut == nullptr) return false;
    char *pszEnd = nullptr;
    errno = 0;
    long lValue = std::strtol(pszText, &pszEnd, 10);
    if (pszEnd == pszText) return false;
    if (errno == ERANGE || lValue < INT_MIN || lValue > INT_MAX) return false;
    *piOut = static_cast<int>(lValue);
    return true;
}

char *NKStrCatBounded(char *pszDest, const char *pszFirst, const char *pszSecond, int iSize,
                      bool bReplace)
{
    if (pszDest == nullptr || iSize < 1) return pszDest;
    size_t iLimit = static_cast<size_t>(iSize) - 1;
    size_t iLength = 0;
    if (bReplace && pszFirst != nullptr) {
        // memmove: the first text may be the destination itself.
        iLength = strnlen(pszFirst, iLimit);
        std::memmove(pszDest, pszFirst, iLength);
    } else {
        iLength = strnlen(pszDest, iLimit);
        if (pszFirst != nullptr) {
            size_t n = strnlen(pszFirst, iLimit - iLength);
            std::memmove(pszDest + iLength, pszFirst, n);
            iLength += n;
        }
    }
    if (pszSecond != nullptr) {
        size_t n = strnlen(pszSecond, iLimit - iLength);
        std::memmove(pszDest + iLength, pszSecond, n);
        iLength += n;
    }
    pszDest[iLength] = '\0';
    pszDest[iLimit] = '\0';
    return pszDest;
}

void NKReplaceControlChars(char *pszText)
{
    if (pszText == nullptr) return;
    for (unsigned char *p = reinterpret_cast<unsigned char *>(pszText); *p != 0; p++)
        if (*p < 32 || *p >= 127) *p = ' ';
}

int NKParseIdList(NKString text, int **ppiOut)
{
    if (ppiOut == nullptr) return 0;
    *ppiOut = nullptr;
    // First pass: the count, so that a huge range is refused before any
    // memory is taken, and the array gets its exact size at once.
    int64_t iTotal = 0;
    bool bTooMany = false;
    ForEachIdWord(text, [&](int iFirst, int iLast) {
        int64_t iCount = iLast >= iFirst ? static_cast<int64_t>(iLast) - iFirst + 1 : 0;
        iTotal += iCount;
        if (iCount > NK_MAX_ID_LIST_COUNT) {
            NKPrintError(
                NKString::FromFormat("ID list too long: the range %d-%d makes more than %d IDs.",
                                     iFirst, iLast, NK_MAX_ID_LIST_COUNT)
                    .GetText());
            bTooMany = true;
        } else if (iTotal > NK_MAX_ID_LIST_COUNT) {
            // Each range fits, but together they pass the limit.
            NKPrintError(NKString::FromFormat("ID list too long: it makes more than %d IDs.",
                                              NK_MAX_ID_LIST_COUNT)
                             .GetText());
            bTooMany = true;
        }
        if (bTooMany) return false;
        return true;
    });
    if (bTooMany || iTotal == 0) return 0;
    int *piIds = static_cast<int *>(NKAlloc(static_cast<size_t>(iTotal) * sizeof(int)));
    if (piIds == nullptr) return 0;
    int64_t iNext = 0;
    ForEachIdWord(text, [&](int iFirst, int iLast) {
        for (int64_t id = iFirst; id <= iLast; id++) piIds[iNext++] = static_cast<int>(id);
        return true;
    });
    *ppiOut = piIds;
    return static_cast<int>(iTotal);
}

// ---- Progress percentage -------------------------------------------------

NKProgressPercent::NKProgressPercent(int iFrom, int iTo, int iStep)
    : m_fFrom(static_cast<float>(iFrom)), m_fTo(static_cast<float>(iTo)),
      m_iStep(iStep == INT_MIN ? 100 : std::abs(iStep)), m_iLastPercent(-1)
{
    if (m_iStep < 1) m_iStep = 1;
    if (m_iStep > 100) m_iStep = 100;
}

bool NKProgressPercent::Update(float fValue)
{
    double dSpan = static_cast<double>(m_fTo) - m_fFrom;
    double dPercent = dSpan <= 0.0 ? 100.0 : (fValue - m_fFrom) / dSpan * 100.0;
    // Anything beyond these bounds rounds to a value the clamp below turns
    // into 0 or 100 anyway; the bounds keep the integer conversion defined
    // (a NaN value counts as 0).
    if (!(dPercent >= -200.0)) dPercent = dPercent > 0.0 ? 300.0 : 0.0;
    if (dPercent > 300.0) dPercent = 300.0;
    int iPercent = static_cast<int>(dPercent / m_iStep + 0.5) * m_iStep;
    if (iPercent < 0) iPercent = 0;
    if (iPercent > 100) iPercent = 100;
    bool bChanged = iPercent != m_iLastPercent;
    m_iLastPercent = iPercent;
    return bChanged;
}

int NKProgressPercent::GetPercent() const
{
    if (m_iLastPercent < 0) return 0;
    return m_iLastPercent > 100 ? 100 : m_iLastPercent;
}

const char *NKProgressPercent::Format(const char *pszLabel)
{
    NKString text =
        NKString::FromFormat("%s (%d%%)", pszLabel != nullptr ? pszLabel : "", GetPercent());
    m_szText = text.GetText();
    return m_szText.c_str();
}

// ---------------------------------------------------------------------------
// Number scanning of text lines

// Per byte: 1 for a separator, 2 for the NUL that ends a line's text. One
// table look-up a byte keeps the scan of large ASCII files fast.
struct NKCharClasses {
    unsigned char a[256] = {};
    constexpr NKCharClasses()
    {
        a[(unsigned char)' '] = a[(unsigned char)'\t'] = a[(unsigned char)','] = 1;
        a[(unsigned char)'\r'] = a[(unsigned char)'\n'] = 1;
        a[0] = 2;
    }
};
static constexpr NKCharClasses kCharClasses;

static inline unsigned ClassOf(char c) { return kCharClasses.a[(unsigned char)c]; }

bool NKIsWordSeparator(char c) { return ClassOf(c) == 1; }

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

float NKDoubleToFloat(double dValue)
{
    if (dValue > FLT_MAX) return INFINITY;
    if (dValue < -FLT_MAX) return -INFINITY;
    return (float)dValue;
}

bool NKScanInt(const char **ppCursor, int32_t *piValue)
{
    const char *p = SkipSeparators(*ppCursor);
    const char *pEnd = ParseInt(p, piValue);
    if (pEnd == nullptr) return false;
    *ppCursor = pEnd;
    return true;
}

bool NKScanFloat(const char **ppCursor, float *pfValue)
{
    const char *p = SkipSeparators(*ppCursor);
    double dValue = 0.0;
    const char *pEnd = ParseDouble(p, &dValue);
    if (pEnd == nullptr) return false;
    *pfValue = NKDoubleToFloat(dValue);
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

NKWordScan NKScanIntWord(const char **ppCursor, int32_t *piValue)
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
        return NK_WORD_NUMBER;
    }
    const char *pStart = nullptr, *pEnd = nullptr;
    if (!TakeWord(ppCursor, &pStart, &pEnd)) return NK_WORD_MISSING;
    int32_t iValue = 0;
    std::from_chars_result r = std::from_chars(pStart, pEnd, iValue);
    if (r.ec != std::errc() || r.ptr != pEnd) return NK_WORD_ILLEGAL;
    *piValue = iValue;
    return NK_WORD_NUMBER;
}

// Powers of ten that a double holds exactly.
static const double kExactPowersOfTen[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                             1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The common float word, a plain decimal of up to 15 or so digits with an
// optional exponent, converted as it is walked. Its digits make an exact
// double and the power of ten is exact, so the one multiplication or
// division rounds once; the double then rounds to the float that the exact
// value rounds to unless it landed right on the midpoint between two
// floats, which is left to the general conversion, as is every word outside
// the plain form or the normal float range. True with the value and the
// word's end.
static bool QuickFloatWord(const char *p, float *pfValue, const char **ppEnd)
{
    const uint64_t kMaxExact = (uint64_t)1 << 53;
    bool bNegative = *p == '-';
    if (bNegative) p++;
    uint64_t uMantissa = 0;
    int iExponent = 0;
    bool bDigits = false;
    for (; *p >= '0' && *p <= '9'; p++, bDigits = true) {
        uMantissa = 10 * uMantissa + (uint64_t)(*p - '0');
        if (uMantissa >= kMaxExact) return false;
    }
    if (*p == '.') {
        for (p++; *p >= '0' && *p <= '9'; p++, bDigits = true, iExponent--) {
            uMantissa = 10 * uMantissa + (uint64_t)(*p - '0');
            if (uMantissa >= kMaxExact) return false;
        }
    }
    if (!bDigits) return false;
    if (*p == 'e' || *p == 'E') {
        p++;
        bool bNegativeExponent = *p == '-';
        if (*p == '-' || *p == '+') p++;
        if (!(*p >= '0' && *p <= '9')) return false;
        int iWritten = 0;
        for (; *p >= '0' && *p <= '9' && iWritten < 1000; p++)
            iWritten = 10 * iWritten + (*p - '0');
        iExponent += bNegativeExponent ? -iWritten : iWritten;
    }
    if (ClassOf(*p) == 0 || iExponent < -22 || iExponent > 22) return false;
    double dValue = (double)uMantissa;
    dValue = iExponent < 0 ? dValue / kExactPowersOfTen[-iExponent]
                           : dValue * kExactPowersOfTen[iExponent];
    if (uMantissa != 0) {
        if (dValue < (double)FLT_MIN || dValue > (double)FLT_MAX) return false;
        uint64_t uBits;
        std::memcpy(&uBits, &dValue, sizeof uBits);
        if ((uBits & 0x1fffffffu) == 0x10000000u) return false;
    }
    float fValue = (float)dValue;
    *pfValue = bNegative ? -fValue : fValue;
    *ppEnd = p;
    return true;
}

NKWordScan NKScanFloatWord(const char **ppCursor, float *pfValue)
{
    const char *pQuickEnd = nullptr;
    if (QuickFloatWord(SkipSeparators(*ppCursor), pfValue, &pQuickEnd)) {
        *ppCursor = pQuickEnd;
        return NK_WORD_NUMBER;
    }
    const char *pStart = nullptr, *pEnd = nullptr;
    if (!TakeWord(ppCursor, &pStart, &pEnd)) return NK_WORD_MISSING;
    // Straight to float; only a word beyond the float range (or below its
    // smallest step) is converted again through double, which tells the
    // written undefined value and underflow from a real overflow.
    float fDirect = 0.0f;
    std::from_chars_result rf = std::from_chars(pStart, pEnd, fDirect);
    if (rf.ec == std::errc() && rf.ptr == pEnd) {
        if (!std::isfinite(fDirect)) return NK_WORD_ILLEGAL;
        *pfValue = fDirect;
        return NK_WORD_NUMBER;
    }
    if (rf.ec == std::errc::invalid_argument || rf.ptr != pEnd) return NK_WORD_ILLEGAL;
    double dValue = 0.0;
    std::from_chars_result r = std::from_chars(pStart, pEnd, dValue);
    if (r.ec == std::errc::invalid_argument || r.ptr != pEnd) return NK_WORD_ILLEGAL;
    // Beyond the double range either way: the C conversion tells a value
    // too small (0, which is fine) from one too large (infinity, which is
    // not). The word is a whole number here, so it stops at its end too.
    if (r.ec == std::errc::result_out_of_range) dValue = strtod(pStart, nullptr);
    float fValue = 0.0f;
    if (!NarrowToFiniteFloat(dValue, &fValue)) return NK_WORD_ILLEGAL;
    *pfValue = fValue;
    return NK_WORD_NUMBER;
}

bool NKNonFiniteFloatWord(const char *pszCursor, float *pfValue)
{
    const char *pStart = nullptr, *pEnd = nullptr;
    if (!NKNextWord(&pszCursor, &pStart, &pEnd)) return false;
    const char *pNumber = *pStart == '+' ? pStart + 1 : pStart;  // from_chars takes no '+'
    double dValue = 0.0;
    std::from_chars_result r = std::from_chars(pNumber, pEnd, dValue);
    if (r.ec == std::errc::invalid_argument || r.ptr != pEnd) return false;
    // Beyond the double range: the C conversion tells too large (infinity)
    // from too small (0, a finite number).
    if (r.ec == std::errc::result_out_of_range) dValue = strtod(pNumber, nullptr);
    if (std::isnan(dValue)) {
        *pfValue = NAN;
        return true;
    }
    // Below half a step past the largest float, a value rounds to a float.
    if (std::fabs(dValue) < 0x1.ffffffp127) return false;
    *pfValue = dValue > 0.0 ? INFINITY : -INFINITY;
    return true;
}

// ---------------------------------------------------------------------------
// Words

// The number a word starts with after blanks and tabs, by pfnParse; 0
// for a null word or one that does not start with a number.
template <typename T>
static T WordToNumber(const char *pszWord, const char *(*pfnParse)(const char *, T *))
{
    if (pszWord == nullptr) return T(0);
    const char *p = pszWord;
    while (*p == ' ' || *p == '\t') p++;
    T value = T(0);
    if (pfnParse(p, &value) == nullptr) return T(0);
    return value;
}

int32_t NKWordToInt(const char *pszWord) { return WordToNumber<int32_t>(pszWord, ParseInt); }

double NKWordToDouble(const char *pszWord) { return WordToNumber<double>(pszWord, ParseDouble); }

bool NKNextWord(const char **ppCursor, const char **ppStart, const char **ppEnd)
{
    const char *p = SkipSeparators(*ppCursor);
    if (*p == 0) {
        *ppCursor = p;
        return false;
    }
    *ppStart = p;
    while (*p != 0 && !NKIsWordSeparator(*p)) p++;
    *ppEnd = p;
    *ppCursor = p;
    return true;
}
