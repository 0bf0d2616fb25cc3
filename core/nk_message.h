// core/nk_message.h -- the one message output of the system.
//
// Every user-facing sentence (command confirmations, warnings, reader and
// writer errors) is handed to NKPrintMessage at one of three levels. The text
// is split into lines at LF and each line goes to the current sink. The
// default sink writes to standard error ("Warning: " and "Error: " prefixes
// for those levels) and can be switched off with NKSetConsoleMessages (the
// `stdout nomessages` command); tests install a sink of their own.
// A nesting counter switches all output off around batches of internal
// commands; a collection state brackets top-level commands.
#pragma once

enum { NK_MSG_INFO = 1, NK_MSG_WARNING = 2, NK_MSG_ERROR = 3 };
// A mark that a line's level may carry: the line says best what went wrong
// (NKPrintLeadError).
enum { NK_MSG_LEAD = 0x100 };
// A level as a sink receives it, without its marks; and whether it carries
// the lead mark.
inline int NKMessageLevel(int iMarkedLevel) { return iMarkedLevel & 0xff; }
inline bool NKIsLeadLine(int iMarkedLevel) { return (iMarkedLevel & NK_MSG_LEAD) != 0; }

// Receives one line (without its LF) and its level, marks included.
typedef void (*NKMessageSink)(const char *pszLine, int iLevel, void *pUser);

struct NKFamilyWarning;

void NKPrintMessage(const char *pszText, int iLevel);
// Prints the text as NKPrintMessage does, from a damaged family's warning
// (core/nk_family_warning.h): while a sink receives one of its lines,
// NKPrintedFamilyWarning gives that warning; for any other line, one
// printed from the sink meanwhile too, it gives null.
void NKPrintMessageFrom(const char *pszText, int iLevel, const NKFamilyWarning *pWarning);
const NKFamilyWarning *NKPrintedFamilyWarning(void);
void NKPrintInfo(const char *pszText);
void NKPrintWarning(const char *pszText);
void NKPrintError(const char *pszText);
// Prints the text at the error level; the code is not shown.
void NKPrintErrorCode(const char *pszText, int iCode);
// Prints the text at the error level, marked NK_MSG_LEAD, as the line that
// says best what went wrong, which need not be the failure's first (an
// empty file refused by the type detection is named after the detection's
// lines): a display with room for one line (the window's status line)
// shows it instead of the first. The mark travels with the line, so that
// a line not printed (output off) leads nothing, and a sink sees only the
// lead lines printed while it listens.
void NKPrintLeadError(const char *pszText);
// Prints pszReaderText when given, else the text of the data-source
// interface error code (-8 .. -1, anything else "General error.").
void NKPrintInterfaceError(int iCode, const char *pszReaderText);
const char *NKInterfaceErrorText(int iCode);

// false: one more request to switch output off; true: one less. The
// program's own code switches output off through NKMessagesOff, which
// cannot forget to give its request back; the toggles serve tests and
// benchmarks.
void NKToggleMessageOutput(bool bOn);
bool NKIsMessageOutputOn(void);
int NKGetMessageOffCount(void);
// The same for information lines alone (a command file keeps its lines'
// information quiet while their warnings and errors are shown).
void NKToggleInformationOutput(bool bOn);
int NKGetInformationOffCount(void);

// One request to switch output off (every line, or information lines
// alone), held while the guard lives: however its scope is left (an early
// return, a failure deep inside), the request goes back with it. Made with
// bQuiet false it holds none (a scope quiet only on a condition). Release
// gives the request back before the scope ends and Hold takes it again (a
// command file's run, quiet except in debug mode); each does nothing where
// there is nothing to do.
class NKMessagesOff {
public:
    enum Lines { ALL_LINES, INFORMATION_LINES };
    explicit NKMessagesOff(bool bQuiet = true, Lines eLines = ALL_LINES);
    ~NKMessagesOff() { Release(); }
    NKMessagesOff(const NKMessagesOff &) = delete;
    NKMessagesOff &operator=(const NKMessagesOff &) = delete;
    void Hold(void);
    void Release(void);
    bool IsHeld(void) const { return m_bHeld; }

private:
    Lines m_eLines;
    bool m_bHeld = false;
};

// Prints the text as NKPrintMessage does while no request holds output off,
// whatever requests there are (the command-file runner's own reports are
// shown while it keeps its lines quiet); the requests stay as they were.
void NKPrintMessageShown(const char *pszText, int iLevel);

void NKBeginMessageCollection(void);
void NKEndMessageCollection(void);
void NKDiscardCollectedMessages(void);
bool NKIsMessageCollectionOpen(void);
bool NKAreMessagesPending(void);
const char *NKGetCollectedMessages(void);

// Installs a sink (NULL restores the console sink) and returns the previous
// one with its user pointer through the optional out-parameters.
void NKSetMessageSink(NKMessageSink pfnSink, void *pUser, NKMessageSink *ppfnPrevious = nullptr,
                      void **ppPreviousUser = nullptr);
// Switches the console sink's printing on or off (`stdout messages`).
void NKSetConsoleMessages(bool bOn);
bool NKGetConsoleMessages(void);

// Brings the state back to its start-up values (tests only).
void NKResetMessageOutput(void);
