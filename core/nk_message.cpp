// core/nk_message.cpp -- message output state, line splitting and sinks.
// See nk_message.h. Everything runs on the user-interface thread; the state
// is a plain static record, constructed before main and never locked.
#include "core/nk_message.h"

#include <cstdio>

#include "core/nk_diagnostic.h"
#include "core/nk_string.h"

namespace {

struct NKMessageOutput {
    NKString collected;     // text of the current collection (null at start)
    bool bCollect = false;  // a collection is open
    bool bPending = false;  // collected messages wait
    int iOffCount = 0;      // nesting count of "switch off" requests
    int iInfoOffCount = 0;  // the same for information lines alone
    bool bOutputOn = true;  // lines are passed on
};

NKMessageOutput sg_Output;
bool sg_bConsoleOn = true;

void ConsoleSink(const char *pszLine, int iMarkedLevel, void *)
{
    if (!sg_bConsoleOn) return;
    const int iLevel = NKMessageLevel(iMarkedLevel);
    const char *pszPrefix = "";
    if (iLevel == NK_MSG_WARNING)
        pszPrefix = "Warning: ";
    else if (iLevel == NK_MSG_ERROR)
        pszPrefix = "Error: ";
    std::fprintf(stderr, "%s%s\n", pszPrefix, pszLine);
}

NKMessageSink sg_pfnSink = ConsoleSink;
void *sg_pSinkUser = nullptr;
// The family warning of the line the sink receives now.
const NKFamilyWarning *sg_pPrintedWarning = nullptr;

}  // namespace

void NKPrintMessage(const char *pszText, int iLevel)
{
    NKPrintMessageFrom(pszText, iLevel, nullptr);
}

void NKPrintMessageFrom(const char *pszText, int iLevel, const NKFamilyWarning *pWarning)
{
    if (!sg_Output.bOutputOn) return;
    if (NKMessageLevel(iLevel) == NK_MSG_INFO && sg_Output.iInfoOffCount > 0) return;
    NKString text(pszText);
    if (text.IsEmpty()) return;

    // Lines are the LF-separated tokens of the text: consecutive LFs give
    // empty lines, and a final LF gives no extra empty line.
    for (NKString line = text.GetFirstToken('\n'); !line.IsNull(); line = text.GetNextToken('\n')) {
        const NKFamilyWarning *pOuter = sg_pPrintedWarning;
        sg_pPrintedWarning = pWarning;
        sg_pfnSink(line.GetText(), iLevel, sg_pSinkUser);
        sg_pPrintedWarning = pOuter;
    }
}

const NKFamilyWarning *NKPrintedFamilyWarning(void) { return sg_pPrintedWarning; }

void NKPrintInfo(const char *pszText) { NKPrintMessage(pszText, NK_MSG_INFO); }
void NKPrintWarning(const char *pszText) { NKPrintMessage(pszText, NK_MSG_WARNING); }
void NKPrintError(const char *pszText) { NKPrintMessage(pszText, NK_MSG_ERROR); }

void NKPrintErrorCode(const char *pszText, int /*iCode*/) { NKPrintMessage(pszText, NK_MSG_ERROR); }

void NKPrintLeadError(const char *pszText) { NKPrintMessage(pszText, NK_MSG_ERROR | NK_MSG_LEAD); }

const char *NKInterfaceErrorText(int iCode)
{
    switch (iCode) {
    case -8:
        return "Interface not initialized.";
    case -6:
        return "Memory allocation error.";
    case -5:
        return "Error writing to file.";
    case -4:
        return "Error reading file.";
    case -3:
        return "Error closing file.";
    case -2:
        return "Error opening file.";
    case -1:
        return "File error.";
    default:
        return "General error.";
    }
}

void NKPrintInterfaceError(int iCode, const char *pszReaderText)
{
    if (pszReaderText != nullptr)
        NKPrintErrorCode(pszReaderText, 0);
    else
        NKPrintMessage(NKInterfaceErrorText(iCode), NK_MSG_ERROR);
}

void NKToggleMessageOutput(bool bOn)
{
    if (bOn) {
        sg_Output.iOffCount--;
        if (sg_Output.iOffCount < 0)
            NKDiagnostic("Error in call cound iOffCount", "NKToggleMessageOutput");
    } else {
        sg_Output.iOffCount++;
    }
    sg_Output.bOutputOn = sg_Output.iOffCount <= 0;
}

void NKToggleInformationOutput(bool bOn)
{
    sg_Output.iInfoOffCount += bOn ? -1 : 1;
    if (sg_Output.iInfoOffCount < 0) {
        NKDiagnostic("Error in call cound iInfoOffCount", "NKToggleInformationOutput");
        sg_Output.iInfoOffCount = 0;
    }
}

int NKGetInformationOffCount(void) { return sg_Output.iInfoOffCount; }

NKMessagesOff::NKMessagesOff(bool bQuiet, Lines eLines) : m_eLines(eLines)
{
    if (bQuiet) Hold();
}

void NKMessagesOff::Hold(void)
{
    if (m_bHeld) return;
    if (m_eLines == INFORMATION_LINES)
        NKToggleInformationOutput(false);
    else
        NKToggleMessageOutput(false);
    m_bHeld = true;
}

void NKMessagesOff::Release(void)
{
    if (!m_bHeld) return;
    m_bHeld = false;
    if (m_eLines == INFORMATION_LINES)
        NKToggleInformationOutput(true);
    else
        NKToggleMessageOutput(true);
}

void NKPrintMessageShown(const char *pszText, int iLevel)
{
    const int iOff = sg_Output.iOffCount, iInfoOff = sg_Output.iInfoOffCount;
    sg_Output.iOffCount = sg_Output.iInfoOffCount = 0;
    sg_Output.bOutputOn = true;
    NKPrintMessage(pszText, iLevel);
    sg_Output.iOffCount = iOff;
    sg_Output.iInfoOffCount = iInfoOff;
    sg_Output.bOutputOn = iOff <= 0;
}

bool NKIsMessageOutputOn(void) { return sg_Output.bOutputOn; }
int NKGetMessageOffCount(void) { return sg_Output.iOffCount; }

void NKBeginMessageCollection(void)
{
    sg_Output.bCollect = true;
    sg_Output.bPending = false;
    sg_Output.collected = "";
}

void NKEndMessageCollection(void)
{
    sg_Output.bCollect = false;
    if (sg_Output.bPending) {
        sg_Output.collected = "";
        sg_Output.bPending = false;
    }
}

void NKDiscardCollectedMessages(void) { NKEndMessageCollection(); }
bool NKIsMessageCollectionOpen(void) { return sg_Output.bCollect; }
bool NKAreMessagesPending(void) { return sg_Output.bPending; }
const char *NKGetCollectedMessages(void) { return sg_Output.collected.GetText(); }

void NKSetMessageSink(NKMessageSink pfnSink, void *pUser, NKMessageSink *ppfnPrevious,
                      void **ppPreviousUser)
{
    if (ppfnPrevious) *ppfnPrevious = sg_pfnSink;
    if (ppPreviousUser) *ppPreviousUser = sg_pSinkUser;
    sg_pfnSink = pfnSink ? pfnSink : ConsoleSink;
    sg_pSinkUser = pfnSink ? pUser : nullptr;
}

void NKSetConsoleMessages(bool bOn) { sg_bConsoleOn = bOn; }
bool NKGetConsoleMessages(void) { return sg_bConsoleOn; }

void NKResetMessageOutput(void) { sg_Output = NKMessageOutput(); }
