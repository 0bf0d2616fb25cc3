// commands/nk_command_params.h -- CommandParams, the parameter parser of the
// command handlers.
//
// The interpreter hands every handler its arguments as "PARAMS " followed by
// the words the user typed (nk_command.h). A handler builds a CommandParams
// over that text on its stack, tells it which command it parses
// (SetCommand, so that errors quote the command's synopsis) and reads the
// parameters one by one with the typed getters. Each getter tells a missing
// required parameter from a malformed or out-of-range one, composes the
// error text with the parameter's number and the synopsis, prints it unless
// printing is switched off, and returns false; the handler then stops the
// command. Handlers that need other forms scan the text themselves.
#pragma once

#include "core/nk_string.h"

struct CommandTableEntry;

// String getter modes.
enum {
    NK_PARAM_STRING_TOKEN = 0,  // next blank-separated token; "a b" in double quotes is one
    NK_PARAM_STRING_WORD = 1,   // next word (blank, tab or comma ends it)
    NK_PARAM_STRING_REST = 2    // the whole rest of the text
};

// A word as a float value for handlers that scan their text themselves: true
// with the value when the word is a number to the getters below (no letter
// other than 'e' or 'E', and a leading number, such as "2", "-.5" or "1e3")
// and the value is finite and within the float range; false otherwise, the
// output untouched. "nan", "inf", "1e39", "-" and "." all give false.
bool NKWordToFloat(const char *pszWord, float *pfValue);

// An integer minimum of this value switches the range check off; a float
// minimum that is the undefined value does the same.
constexpr int NK_PARAM_NO_RANGE = 0x7FFFFFFF;

class CommandParams {
public:
    explicit CommandParams(const char *pszText);
    explicit CommandParams(const NKString &text);
    virtual ~CommandParams();
    CommandParams(const CommandParams &) = delete;
    CommandParams &operator=(const CommandParams &) = delete;

    // Parameter number 0, printing on, no error text, no command.
    void Reset();
    // Handlers switch printing off to probe the form of a parameter quietly.
    void SetPrintErrors(bool bPrint) { m_bPrintErrors = bPrint; }
    void SetCommand(const CommandTableEntry *pCommand) { m_pCommand = pCommand; }

    // False for an empty text; after a leading "PARAMS" word, true only when
    // something other than blanks follows; any other first word: true.
    // Leaves the cursor behind the first word.
    bool HasParameters();

    // Each "first" getter starts over at the first parameter and numbers
    // from 1 again; each "next" getter reads the parameter after the cursor.
    // True: a value was stored, or the parameter is absent and not required
    // (the output is then untouched). False: an error was reported.
    bool NKGetFirstParameterInt(int *piValue, bool bRequired, int iMin, int iMax);
    bool NKGetParameterInt(int *piValue, bool bRequired, int iMin, int iMax);
    bool NKGetFirstParameterFloat(float *pfValue, bool bRequired, float fMin, float fMax);
    bool NKGetParameterFloat(float *pfValue, bool bRequired, float fMin, float fMax);
    bool NKGetFirstParameterString(NKString *pValue, bool bRequired, int iMode);
    bool NKGetParameterString(NKString *pValue, bool bRequired, int iMode);
    // Three words counted as one parameter.
    bool NKGetFirstParameterVector(float pfValue[3], bool bRequired, float fMin, float fMax);
    bool NKGetParameterVector(float pfValue[3], bool bRequired, float fMin, float fMax);
    // Three integer words in 0..255 counted as one parameter.
    bool NKGetFirstParameterColor(unsigned char pucRgb[3], bool bRequired);
    bool NKGetParameterColor(unsigned char pucRgb[3], bool bRequired);

    // Composes the error text "Error in paramter number N : <synopsis>\n" +
    // the detail. Printing is left to the calling getter.
    void NKReportParameterError(const char *pszDetail);

    // The last error text ("" after a reset) and the parameter number.
    const NKString &GetErrorText() const { return m_errorText; }
    int GetParamIndex() const { return m_iParamIndex; }

private:
    void SetText(const char *pszText);
    void Restart();
    bool Fail(const char *pszDetail);
    bool ReadWords(NKString pWords[], int iCount);
    int ReadNumberWord(NKString *pWord);
    int ReadNumberTriple(NKString pWords[3], const char *pszKind);

    NKString m_params;  // the argument text; its scan position is the cursor
    int m_iParamIndex;  // number of the parameter read last
    bool m_bPrintErrors;
    NKString m_errorText;
    const CommandTableEntry *m_pCommand;  // borrowed from the command table
    // Set when the text did not begin with "PARAMS" and the word was put in
    // front of it here, so that every scan starts behind the same word.
    bool m_bAddedPrefix;
};
