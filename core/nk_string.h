// core/nk_string.h -- NKString, the system's own string value.
//
// Every command handler, reader, writer and dialog passes texts as NKString:
// command arguments are split with its word and token scanners, messages are
// composed with Format/FromFormat, file names are taken apart with
// GetDirectory/GetFileName. It is a small value class with deep-copy
// semantics over a heap character array that may be absent, plus a scan
// position that only the scanners move.
//
// A null text and the empty text are two different states: both are empty
// for IsEmpty, GetLength and GetText, but equality tells them apart. The
// token scanner ends with a null string, the word scanner with the empty
// text, and callers rely on that difference.
//
// Characters are single bytes; character classes are plain ASCII. Numbers
// are read and written in the "C" locale whatever the user's locale is.
// Formatted texts have no length limit.
#pragma once

#include <cstdarg>

#if defined(__GNUC__) || defined(__clang__)
#define NK_PRINTF_LIKE(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define NK_PRINTF_LIKE(fmt, args)
#endif

class NKString {
public:
    // Construction and assignment. A new string always starts with scan
    // position 0; assignments leave the scan position as it was.
    NKString();
    NKString(const char *pszText);  // null gives a null text
    NKString(const NKString &other);
    NKString(NKString &&other) noexcept;
    explicit NKString(const float *pfVec3);  // "[%G, %G, %G]"; null gives null
    ~NKString();

    // Copies iLength characters (-1: up to the terminator) into a fresh
    // buffer of iLength + 1 bytes; a terminator in pszText ends the copy
    // early and the rest is zero-filled. pszText may point into this
    // string's own text. A null pszText makes the text null.
    void Assign(const char *pszText, int iLength = -1);
    NKString &operator=(const char *pszText);
    NKString &operator=(const NKString &other);
    NKString &operator=(NKString &&other) noexcept;
    // Replaces the text by a buffer of exactly iSize bytes holding the old
    // text cut to iSize - 1 characters; the caller may then write into
    // GetBuffer() directly. False (nothing changed) when iSize < 1.
    bool SetBufferSize(int iSize);
    // The writable buffer after SetBufferSize (null when the text is null).
    char *GetBuffer() { return m_pszText; }
    // Fits the buffer to the text again after writes through GetBuffer().
    void ShrinkBuffer();

    // Access.
    const char *GetText() const;  // never null: "" for a null text
    const char *GetRawText() const { return m_pszText; }
    int GetLength() const;
    bool IsNull() const { return m_pszText == nullptr; }
    bool IsEmpty() const;
    bool IsBlank() const;     // empty, or only blanks, tabs, LF and CR
    char GetAt(int i) const;  // 0 outside the text
    char operator[](int i) const { return GetAt(i); }
    void SetAt(int i, char c);  // nothing outside the text
    void Truncate(int n) { SetAt(n, 0); }

    // Comparison, byte by byte. A null text equals only a null text, so
    // comparing with a null pointer tests for a null string and comparing
    // with "" tests for the empty text.
    bool operator==(const NKString &other) const;
    bool operator!=(const NKString &other) const { return !(*this == other); }
    bool operator==(const char *pszOther) const;
    bool operator!=(const char *pszOther) const { return !(*this == pszOther); }

    // Concatenation. When either side is null the result is a copy of the
    // other side.
    NKString operator+(const NKString &other) const;
    NKString operator+(const char *pszOther) const;
    NKString operator+(int iValue) const;     // "%d"
    NKString operator+(float fValue) const;   // "%g"
    NKString operator+(double dValue) const;  // "%g" of the value as float
    NKString operator+(char c) const;         // "%c"
    NKString &operator+=(const NKString &other);
    NKString &operator+=(const char *pszOther);
    NKString &operator+=(int iValue);
    NKString &operator+=(float fValue);
    NKString &operator+=(double dValue);
    NKString &operator+=(char c);
    static NKString FromInt(int iValue);            // "%d"
    static NKString FromUnsigned(unsigned uValue);  // "%u"
    static NKString FromFloat(float fValue);        // "%g"
    // printf-style formatting (in the "C" locale) into this string; a null
    // format gives the empty text. Returns the string.
    NKString &Format(const char *pszFormat, ...) NK_PRINTF_LIKE(2, 3);
    NKString &FormatV(const char *pszFormat, va_list args);
    static NKString FromFormat(const char *pszFormat, ...) NK_PRINTF_LIKE(1, 2);

    // Case and cleaning, in place.
    void MakeLower();
    void MakeUpper();
    void TrimLeft(bool bAlsoControl = false);
    void TrimRight(bool bAlsoControl = false);
    void Trim(bool bAlsoControl = false);
    // Trims, turns tabs into blanks and collapses runs of blanks into one.
    void Simplify();
    void RemoveChar(char c);

    // Searching and cutting. Start -1 means the last possible position.
    int FindChar(char c, int iStart = 0, bool bForward = true) const;
    int Find(const NKString &sub, int iStart = 0, bool bForward = true) const;
    int Find(const char *pszSub, int iStart = 0, bool bForward = true) const;
    // Replaces occurrences of pszFrom left to right; inserted text is never
    // searched again. iMaxCount 0 means all. Returns the number replaced.
    int ReplaceAll(const char *pszFrom, const char *pszTo, int iMaxCount = 0);
    NKString Substring(int iStart, int iCount = -1) const;
    NKString Left(int n) const;
    NKString Right(int n) const;
    NKString Mid(int iFirst, int iLast = -1) const;  // iLast inclusive
    // Path parts; both '/' and '\\' separate directories.
    NKString GetDirectory() const;
    NKString GetFileName() const;

    // Numbers.
    int ToInt() const;       // leading blanks, sign, digits; 0 when none
    double ToFloat() const;  // text-to-double; 0 when empty
    bool IsNumber() const;   // no letter other than 'e' and 'E'
    int FindNumberStart() const;
    // "frame009" + 1 gives "frame0010": the count of leading zeros of the
    // trailing digit run is kept, not its width. False (unchanged) for an
    // empty text, no trailing digit, or a text of digits only.
    bool IncrementTrailingNumber(int iDelta = 1);
    int CountIntegerWords() const;
    int CountRealWords() const;
    int CountWords() const;
    int CountLines() const;

    // Scanners; they move the scan position.
    NKString GetFirstWord();
    NKString GetNextWord();  // the empty text at the end
    NKString GetWord(int n);
    // Delimiter NK_TOKEN_BLANK_QUOTED (1) means blank-separated with
    // double-quoted tokens.
    NKString GetFirstToken(char cDelim);
    NKString GetNextToken(char cDelim);  // a null string at the end
    NKString GetRest() const;            // text from the scan position; does not move it
    // Moves the scan position past the run of c that starts at it (nothing
    // for the terminator or at the end), in one pass over the run.
    void SkipScanChar(char c);

private:
    void TakeBuffer(char *pszBuffer);
    int NextTokenEnd(char *pcDelim);

    char *m_pszText;  // owned, NUL-terminated; may be null
    int m_iScanPos;   // cursor of the word and token scanners
};

// Token delimiter meaning "blank, with double-quote quoting".
constexpr char NK_TOKEN_BLANK_QUOTED = 1;

NKString operator+(const char *pszLeft, const NKString &right);
