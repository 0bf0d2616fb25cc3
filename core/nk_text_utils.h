// core/nk_text_utils.h -- small text helpers: number parsing and the
// locale-free scanners of text rows, bounded string
// joining, control-character cleaning, ID lists with ranges, and the
// percentage counter behind progress texts ("Reading (40%)").
//
// Used by command handlers, readers and long operations; numbers are read
// in the "C" locale whatever the user's locale is. Included by
// core/nk_process.h, which gathers the process, timer and text utilities.
#pragma once

#include <cstdint>
#include <string>

#include "core/nk_string.h"

// Read one value at the start of the text (leading white space skipped, as
// scanf's "%f" / "%d" do); true when a value was read. A value outside the
// type's range is refused (false), as is a null text or output.
bool NKParseFloat(const char *pszText, float *pfOut);
bool NKParseInt(const char *pszText, int *piOut);

// Joins texts into pszDest of iSize bytes. With bReplace, pszDest becomes
// pszFirst (when given; otherwise it keeps its text) followed by pszSecond;
// without, pszFirst and pszSecond are appended to it. Never more than
// iSize - 1 characters; pszDest[iSize - 1] is always 0. Returns pszDest
// (null for a null pszDest; unchanged for iSize < 1).
char *NKStrCatBounded(char *pszDest, const char *pszFirst, const char *pszSecond, int iSize,
                      bool bReplace);

// Replaces every byte below 32, the byte 127 and every byte above 127 by a
// blank, in place.
void NKReplaceControlChars(char *pszText);

// The largest number of IDs one list may give.
const int NK_MAX_ID_LIST_COUNT = 10000000;

// The IDs of a list such as "3 7-9, 12": words separated by blanks, tabs or
// commas; a word "a-b" is every ID from a to b (none when a > b), a word
// "-b" the range from 0. IDs keep their order, duplicates included. Returns
// their count and a new array in *ppiOut that the caller frees with
// NKFree; 0 and a null array when there are none. A range or a whole list of
// more than NK_MAX_ID_LIST_COUNT IDs is refused with an error message.
int NKParseIdList(NKString text, int **ppiOut);

// A percentage counter for progress texts: Update says when the rounded
// percentage changes so that the text is rebuilt only then.
class NKProgressPercent {
public:
    // iStep is taken as a positive percentage step of 1..100.
    NKProgressPercent(int iFrom, int iTo, int iStep);
    // The percentage of (fValue - from) over (to - from), 100 when the span
    // is empty, rounded to a multiple of the step and clamped to 0..100.
    // True when it differs from the previous one.
    bool Update(float fValue);
    // The last percentage, 0..100 (0 before the first update).
    int GetPercent() const;
    // "<label> (<percent>%)"; the text stays valid until the next Format.
    const char *Format(const char *pszLabel);

private:
    std::string m_szText;  // the formatted progress text
    float m_fFrom;
    float m_fTo;
    int m_iStep;         // 1..100 percent
    int m_iLastPercent;  // -1 before the first update
};

// Number scanning of text lines, locale-free (std::from_chars): the NKF
// reader and the older native files read their ASCII rows with these.
// Separators are blanks, tabs, commas, CR and LF.
// Each scanner skips separators, parses one number at *ppCursor and moves
// the cursor past it; on failure the cursor and *pValue stay unchanged.
// Integers follow the C text-to-integer rules (optional sign, digits; a
// value that does not fit an int32 fails); reals are read as doubles and
// narrowed to float with overflow going to +-infinity.
bool NKScanInt(const char **ppCursor, int32_t *piValue);
bool NKScanFloat(const char **ppCursor, float *pfValue);
// A double narrowed to float; beyond the float range it becomes +-infinity.
float NKDoubleToFloat(double dValue);
// Text-to-number of one word (leading blanks skipped, trailing text
// ignored): 0 when no number starts there.
int32_t NKWordToInt(const char *pszWord);
double NKWordToDouble(const char *pszWord);
// Whole-word scanning, for the row reads that check their numbers. The
// next word must be one number and nothing more: an integer that fits an
// int32, or a real whose value is finite as a float ("1e400", "nan", "inf",
// "1e39" and "1.5x" are not; a number that rounds to the largest float is).
// NK_WORD_NUMBER sets *pValue; NK_WORD_ILLEGAL passes the word over and
// leaves *pValue; NK_WORD_MISSING means no word is left on the line.
enum NKWordScan { NK_WORD_NUMBER, NK_WORD_ILLEGAL, NK_WORD_MISSING };
NKWordScan NKScanIntWord(const char **ppCursor, int32_t *piValue);
NKWordScan NKScanFloatWord(const char **ppCursor, float *pfValue);
// For a word that NKScanFloatWord calls illegal: true, with *pfValue, when
// the next word from pszCursor names a number beyond the finite floats: a
// NaN ("nan"), or an infinity with its sign ("inf", "-inf", "1e39"). False
// for any other word; the cursor is not moved either way.
bool NKNonFiniteFloatWord(const char *pszCursor, float *pfValue);
// True for a word separator (blank, tab, comma, CR, LF).
bool NKIsWordSeparator(char c);
// Moves the cursor past the next word; false when none is left. The word
// is [*ppStart, *ppEnd).
bool NKNextWord(const char **ppCursor, const char **ppStart, const char **ppEnd);
