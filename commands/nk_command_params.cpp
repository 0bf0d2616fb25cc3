// commands/nk_command_params.cpp -- the typed parameter getters of
// CommandParams (see nk_command_params.h). Words come from NKString's word
// scanner (blanks, tabs and a comma separate them); numbers are read by
// NKString::ToInt / ToFloat, which ignore the user's locale.
#include "commands/nk_command_params.h"

#include <cfloat>
#include <cmath>

#include "commands/nk_command_table.h"
#include "core/nk_message.h"
#include "core/nk_numeric.h"

namespace {

const char *const kPrefixWord = "PARAMS";

bool IsMissing(const NKString &word) { return word.IsBlank(); }

// True when the text, after blanks and a sign, starts with a digit or with a
// point and a digit: the conversion then reads a number from it. A word such
// as "-", "." or "e" has no letter but no number either; it would read as 0.
bool StartsWithNumber(const char *p)
{
    while (*p == ' ' || *p == '\t') p++;
    if (*p == '+' || *p == '-') p++;
    if (*p == '.') p++;
    return *p >= '0' && *p <= '9';
}

// A word the getters take as a number.
bool IsNumberWord(const NKString &word)
{
    return word.IsNumber() && StartsWithNumber(word.GetText());
}

// True when the value read from a word fits a float. A word such as "1e39"
// reads as a double beyond the float range, whose narrowing is undefined (in
// practice an infinity that would reach the handler when no range is given).
// A NaN fails the comparison as well.
bool FitsFloat(double dValue) { return std::fabs(dValue) <= FLT_MAX; }

NKString FloatOverflowText(const char *pszValue)
{
    return NKString::FromFormat("Parameter out of range. Value: %s. Legal range: %g - %g", pszValue,
                                (double)-FLT_MAX, (double)FLT_MAX);
}

}  // namespace

bool NKWordToFloat(const char *pszWord, float *pfValue)
{
    if (pszWord == nullptr || pfValue == nullptr) return false;
    const NKString word(pszWord);
    if (!IsNumberWord(word)) return false;
    const double dValue = word.ToFloat();
    if (!FitsFloat(dValue)) return false;
    *pfValue = (float)dValue;
    return true;
}

CommandParams::CommandParams(const char *pszText)
{
    SetText(pszText);
    Reset();
}

CommandParams::CommandParams(const NKString &text)
{
    SetText(text.GetText());
    Reset();
}

CommandParams::~CommandParams() = default;

// A text that does not begin with "PARAMS" gets the word put in front, so
// that a restart is always "go to 0 and take one word": the scanner has no
// other way back to the start.
void CommandParams::SetText(const char *pszText)
{
    NKString text(pszText != nullptr ? pszText : "");
    m_bAddedPrefix = text.GetFirstWord() != kPrefixWord;
    if (m_bAddedPrefix)
        m_params = NKString(kPrefixWord) + " " + text;
    else
        m_params = text;
}

void CommandParams::Reset()
{
    m_iParamIndex = 0;
    m_bPrintErrors = true;
    m_errorText = "";
    m_pCommand = nullptr;
}

void CommandParams::Restart()
{
    m_params.GetFirstWord();  // the "PARAMS" word
    m_iParamIndex = 0;
}

bool CommandParams::HasParameters()
{
    m_params.GetFirstWord();
    if (m_bAddedPrefix) {
        // The caller's own text began with something other than "PARAMS":
        // it has parameters unless it was empty.
        bool bEmpty = m_params.GetRest().GetLength() == 0;
        m_params.GetNextWord();
        return !bEmpty;
    }
    return !m_params.GetRest().IsBlank();
}

void CommandParams::NKReportParameterError(const char *pszDetail)
{
    const char *pszSynopsis = m_pCommand != nullptr ? m_pCommand->synopsis : "";
    m_errorText = "";
    m_errorText.Format("Error in paramter number %d : ", m_iParamIndex);
    m_errorText += pszSynopsis;
    m_errorText += "\n";
    m_errorText += pszDetail;
}

bool CommandParams::Fail(const char *pszDetail)
{
    NKReportParameterError(pszDetail);
    if (m_bPrintErrors) NKPrintError(m_errorText.GetText());
    return false;
}

// Reads iCount words; true when none of them is missing.
bool CommandParams::ReadWords(NKString pWords[], int iCount)
{
    bool bAll = true;
    for (int i = 0; i < iCount; i++) {
        pWords[i] = m_params.GetNextWord();
        if (IsMissing(pWords[i])) bAll = false;
    }
    return bAll;
}

// Reads the next word as a number: 1 with the word, 0 when it is missing
// (the caller knows whether that is an error), -1 after reporting a word that
// is not a number.
int CommandParams::ReadNumberWord(NKString *pWord)
{
    if (!ReadWords(pWord, 1)) return 0;
    if (IsNumberWord(*pWord)) return 1;
    NKString detail = NKString::FromFormat("Numerical parameter expected. \"%s\" is not a number.",
                                           pWord->GetText());
    Fail(detail.GetText());
    return -1;
}

// Reads three words as numbers, as ReadNumberWord does one; pszKind names
// what they form ("vector", "color") in the report.
int CommandParams::ReadNumberTriple(NKString pWords[3], const char *pszKind)
{
    if (!ReadWords(pWords, 3)) return 0;
    if (IsNumberWord(pWords[0]) && IsNumberWord(pWords[1]) && IsNumberWord(pWords[2])) return 1;
    NKString detail = NKString::FromFormat(
        "Numerical %s parameter expected. \"<%s %s %s>\" is not a numerical %s.", pszKind,
        pWords[0].GetText(), pWords[1].GetText(), pWords[2].GetText(), pszKind);
    Fail(detail.GetText());
    return -1;
}

bool CommandParams::NKGetParameterInt(int *piValue, bool bRequired, int iMin, int iMax)
{
    m_iParamIndex++;
    NKString word;
    int iFound = ReadNumberWord(&word);
    if (iFound == 0) return bRequired ? Fail("Required paramter missing.") : true;
    if (iFound < 0) return false;
    int iValue = word.ToInt();
    if (iMin != NK_PARAM_NO_RANGE && (iValue < iMin || iValue > iMax)) {
        NKString detail = NKString::FromFormat(
            "Parameter out of range. Value: %d. Legal range: %d - %d", iValue, iMin, iMax);
        return Fail(detail.GetText());
    }
    *piValue = iValue;
    return true;
}

bool CommandParams::NKGetParameterFloat(float *pfValue, bool bRequired, float fMin, float fMax)
{
    m_iParamIndex++;
    NKString word;
    int iFound = ReadNumberWord(&word);
    if (iFound == 0) return bRequired ? Fail("Required paramter missing.") : true;
    if (iFound < 0) return false;
    double dValue = word.ToFloat();
    if (!FitsFloat(dValue)) return Fail(FloatOverflowText(word.GetText()).GetText());
    float fValue = (float)dValue;
    if (!NKIsUndefined(fMin) && (fValue < fMin || fValue > fMax)) {
        NKString detail =
            NKString::FromFormat("Parameter out of range. Value: %g. Legal range: %g - %g",
                                 (double)fValue, (double)fMin, (double)fMax);
        return Fail(detail.GetText());
    }
    *pfValue = fValue;
    return true;
}

bool CommandParams::NKGetParameterString(NKString *pValue, bool bRequired, int iMode)
{
    m_iParamIndex++;
    NKString value;
    if (iMode == NK_PARAM_STRING_TOKEN) {
        // The token scanner gives an empty token for a blank after a closing
        // quote or for a second blank in a row. Such blanks only separate
        // parameters and are passed over, so that the parameter after a
        // quoted one is still found; an empty quoted text stays a token.
        // They are passed in one step: a token per blank, each with a copy
        // of the rest, made long runs of blanks take quadratic time.
        m_params.SkipScanChar(' ');
        value = m_params.GetNextToken(NK_TOKEN_BLANK_QUOTED);
    } else if (iMode == NK_PARAM_STRING_WORD) {
        value = m_params.GetNextWord();
    } else if (iMode == NK_PARAM_STRING_REST) {
        value = m_params.GetRest();
    }
    if (IsMissing(value)) return bRequired ? Fail("Required paramter missing.") : true;
    *pValue = value;
    return true;
}

bool CommandParams::NKGetParameterVector(float pfValue[3], bool bRequired, float fMin, float fMax)
{
    m_iParamIndex++;
    NKString words[3];
    int iFound = ReadNumberTriple(words, "vector");
    if (iFound == 0) return bRequired ? Fail("Required paramter missing.") : true;
    if (iFound < 0) return false;
    float pfRead[3];
    bool bInRange = true;
    for (int i = 0; i < 3; i++) {
        double dValue = words[i].ToFloat();
        if (!FitsFloat(dValue)) return Fail(FloatOverflowText(words[i].GetText()).GetText());
        pfRead[i] = (float)dValue;
        if (pfRead[i] < fMin || pfRead[i] > fMax) bInRange = false;
    }
    if (!NKIsUndefined(fMin) && !bInRange) {
        NKString detail = NKString::FromFormat(
            "Parameter out of range. Value: <%g %g %g>. Legal range: %g - %g", (double)pfRead[0],
            (double)pfRead[1], (double)pfRead[2], (double)fMin, (double)fMax);
        return Fail(detail.GetText());
    }
    for (int i = 0; i < 3; i++) pfValue[i] = pfRead[i];
    return true;
}

bool CommandParams::NKGetParameterColor(unsigned char pucRgb[3], bool bRequired)
{
    m_iParamIndex++;
    NKString words[3];
    int iFound = ReadNumberTriple(words, "color");
    if (iFound == 0) return bRequired ? Fail("Required paramter missing.") : true;
    if (iFound < 0) return false;
    int piRead[3];
    bool bInRange = true;
    for (int i = 0; i < 3; i++) {
        piRead[i] = words[i].ToInt();
        if (piRead[i] < 0 || piRead[i] > 255) bInRange = false;
    }
    if (!bInRange) {
        NKString detail =
            NKString::FromFormat("Parameter out of range. Value: <%d %d %d>. Legal range: 0 - 255",
                                 piRead[0], piRead[1], piRead[2]);
        return Fail(detail.GetText());
    }
    for (int i = 0; i < 3; i++) pucRgb[i] = (unsigned char)piRead[i];
    return true;
}

bool CommandParams::NKGetFirstParameterInt(int *piValue, bool bRequired, int iMin, int iMax)
{
    Restart();
    return NKGetParameterInt(piValue, bRequired, iMin, iMax);
}

bool CommandParams::NKGetFirstParameterFloat(float *pfValue, bool bRequired, float fMin, float fMax)
{
    Restart();
    return NKGetParameterFloat(pfValue, bRequired, fMin, fMax);
}

bool CommandParams::NKGetFirstParameterString(NKString *pValue, bool bRequired, int iMode)
{
    Restart();
    return NKGetParameterString(pValue, bRequired, iMode);
}

bool CommandParams::NKGetFirstParameterVector(float pfValue[3], bool bRequired, float fMin,
                                              float fMax)
{
    Restart();
    return NKGetParameterVector(pfValue, bRequired, fMin, fMax);
}

bool CommandParams::NKGetFirstParameterColor(unsigned char pucRgb[3], bool bRequired)
{
    Restart();
    return NKGetParameterColor(pucRgb, bRequired);
}
