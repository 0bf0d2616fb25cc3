// commands/nk_command.cpp -- the command interpreter and the handler chain
// (see nk_command.h). Lookup rules live in nk_command_table.cpp, the texts of
// per-command warnings in nk_command_messages.cpp; the status line, the model
// questions, the command log and the command-file state are read through
// their own headers.
#include "commands/nk_command.h"

#include <cstdio>
#include <cstring>

#include "commands/nk_command_files.h"
#include "commands/nk_command_log.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_load_sequence.h"
#include "core/nk_diagnostic.h"
#include "core/nk_frames.h"
#include "core/nk_message.h"
#include "core/nk_model_hooks.h"
#include "core/nk_progress.h"
#include "core/nk_references.h"

namespace {

NKCommandHandler sg_Handlers[NK_NUM_HANDLER_SLOTS] = {};

const char *const sg_HandlerNames[NK_NUM_HANDLER_SLOTS] = {
    "NKCommandHandleFiles",      "NKCommandHandlePartDisplay", "NKCommandHandleRenderFix",
    "NKCommandHandleLineStyle",  "NKCommandHandleComplex",     "NKCommandHandleFringes",
    "NKCommandHandleVectors",    "NKCommandHandleCutPlanes",   "NKCommandHandleBoundary",
    "NKCommandHandleBackground", "NKCommandHandleView",        "NKCommandHandleMaterial",
    "NKCommandHandleTransform",  "NKCommandHandleAnimation",   "NKCommandHandleAnnotation",
    "NKCommandHandleViewpoint",  "NKCommandHandleInfo",        "NKCommandHandleTexture",
    "NKCommandHandlePlot",       "NKCommandHandleSystem"};

bool IsSlot(int iSlot) { return iSlot >= 0 && iSlot < NK_NUM_HANDLER_SLOTS; }

bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == ','; }

// One word as the word scanner reads it: its first character whatever it
// is, then up to the next blank, tab or comma.
const char *SkipWord(const char *p)
{
    if (*p != '\0') p++;
    while (*p != '\0' && !IsSeparator(*p)) p++;
    return p;
}

// Any run of blanks, tabs and commas, so that arguments written after
// another separator than one blank ("vectors,1,5") are not lost.
const char *SkipSeparators(const char *p)
{
    while (IsSeparator(*p)) p++;
    return p;
}

// The argument text: "PARAMS " and the line behind the command word (and
// behind the second word of a two-word match that does not keep it).
NKString BuildArguments(const NKString &line, bool bDropSecondWord)
{
    const char *p = SkipSeparators(SkipWord(line.GetText()));
    if (bDropSecondWord) p = SkipSeparators(SkipWord(p));
    return NKString("PARAMS ") + p;
}

// The first command line of a top-level request is written to the log when
// logging is on, no command file runs and no poll file feeds commands.
void LogTopLevelLine(const char *pszLine)
{
    if (!NKCanWriteCommandLog()) return;
    NKCommandLogWrite((NKString(pszLine) + "\n\n").GetText());
}

bool ShouldEcho(int iLevel)
{
    return iLevel == 1 || (iLevel == 2 && g_CommandRunner.bRunningCommandFile) ||
           g_CommandRunner.bDebugCommands;
}

// "\n>" with one further '>' per level above 1, a blank and the line.
void EchoLine(const NKString &line, int iLevel)
{
    NKString echo("\n>");
    for (int i = 1; i < iLevel; i++) echo += '>';
    echo += " ";
    echo += line;
    NKPrintInfo(echo.GetText());
}

// Looks up word 1 + word 2, then word 1 alone when that found nothing. A
// two-word ambiguity stands. *pbTwoWords tells whether two words matched.
int LookUpCommand(NKCommandTable *pTable, const NKString &word1, const NKString &word2,
                  bool *pbTwoWords)
{
    int iFound = -1;
    *pbTwoWords = false;
    if (!word2.IsEmpty()) {
        NKString both = word1 + " " + word2;
        iFound = pTable->Find(both.GetText(), nullptr, nullptr, true, false, false, false);
        *pbTwoWords = iFound >= 0;
    }
    if (word2.IsEmpty() || iFound == -1)
        iFound = pTable->Find(word1.GetText(), nullptr, nullptr, true, false, false, false);
    return iFound;
}

// The warning for an entry that is not available; null when the entry may
// run (its only other flag is the full-name flag).
const char *UnavailableText(uint32_t uFlags)
{
    if (uFlags & NK_CMDF_OBSOLETE) return "Command is obsolete and not longer in use!";
    if (uFlags & NK_CMDF_CAVE_ONLY)
        return "Command not available in this version (CAVE version only)!";
    if (uFlags & NK_CMDF_VR_ONLY) return "Command not available in this version (VR version only)!";
    if (uFlags & NK_CMDF_NOT_WINDOWS) return "Command not available in WINDOWS version!";
    return nullptr;
}

int RunHandlerChain(CommandTableEntry *pEntry, const char *pszArguments)
{
    for (NKCommandHandler pfnHandler : sg_Handlers) {
        if (pfnHandler == nullptr) continue;
        int iResult = pfnHandler(pEntry, pszArguments);
        if (iResult != NK_CMD_NOT_MINE) return iResult;
    }
    return NK_CMD_NOT_MINE;
}

// Fills the template's "%d" conversions with the first and then the last
// part number ("%%" gives '%'). Any other conversion, or more than two, is
// refused: the template is a format, and a stray "%s" must not read memory.
bool FormatPartRun(const char *pszTemplate, int iFirst, int iLast, NKString *pText)
{
    const int aiValues[2] = {iFirst, iLast};
    int iUsed = 0;
    for (const char *p = pszTemplate; *p != '\0'; p++) {
        if (*p != '%') {
            *pText += *p;
        } else if (p[1] == '%') {
            *pText += '%';
            p++;
        } else if (p[1] == 'd' && iUsed < 2) {
            *pText += aiValues[iUsed++];
            p++;
        } else {
            return NKDiagnostic("Unsupported conversion in part range template",
                                "ExecuteOnAllParts");
        }
    }
    return true;
}

// Runs the command once per run of parts whose selected state is bSelected.
bool RunOverPartRuns(const NKString &commandText, bool bSelected)
{
    int iNumParts = NKGetNumParts();
    int iPart = 0;
    while (iPart < iNumParts) {
        if ((NKIsPartSelected(iPart) != 0) != bSelected) {
            iPart++;
            continue;
        }
        int iFirst = iPart;
        while (iPart + 1 < iNumParts && (NKIsPartSelected(iPart + 1) != 0) == bSelected) iPart++;
        NKString line;
        if (!FormatPartRun(commandText.GetText(), iFirst + 1, iPart + 1, &line)) return false;
        if (ExecuteUICommand(line) != NK_CMD_DONE) return false;
        iPart++;
    }
    return true;
}

}  // namespace

NKCommandHandler NKSetCommandHandler(int iSlot, NKCommandHandler pfnHandler)
{
    if (!IsSlot(iSlot)) return nullptr;
    NKCommandHandler pfnPrevious = sg_Handlers[iSlot];
    sg_Handlers[iSlot] = pfnHandler;
    return pfnPrevious;
}

NKCommandHandler NKGetCommandHandler(int iSlot)
{
    return IsSlot(iSlot) ? sg_Handlers[iSlot] : nullptr;
}

namespace {
NKCommandHandler sg_pfnImageHandler = nullptr;
}

NKCommandHandler NKSetImageCommandHandler(NKCommandHandler pfnHandler)
{
    NKCommandHandler pfnPrevious = sg_pfnImageHandler;
    sg_pfnImageHandler = pfnHandler;
    return pfnPrevious;
}

NKCommandHandler NKGetImageCommandHandler(void) { return sg_pfnImageHandler; }

const char *NKGetCommandHandlerName(int iSlot)
{
    return IsSlot(iSlot) ? sg_HandlerNames[iSlot] : "";
}

int ExecuteCommand(const char *pszLine)
{
    if (pszLine == nullptr) {
        NKDiagnostic("NULL pointer passed", "ExecuteCommand");
        return NK_CMD_FAILED;
    }
    if (g_CommandRunner.iCommandLevel == 0) {
        LogTopLevelLine(pszLine);
        // A top-level "source" leaves the collection to each line of the file.
        if (std::strstr(pszLine, "source") == nullptr) NKBeginMessageCollection();
    }
    if (g_CommandRunner.bRunningCommandFile && g_CommandRunner.iCommandLevel == 1)
        NKBeginMessageCollection();

    g_CommandRunner.iCommandLevel++;
    int iResult = DispatchCommand(pszLine, g_CommandRunner.iCommandLevel);
    g_CommandRunner.iCommandLevel--;

    if (g_CommandRunner.bRunningCommandFile && g_CommandRunner.iCommandLevel == 1)
        NKEndMessageCollection();
    if (g_CommandRunner.iCommandLevel == 0) {
        NKEndMessageCollection();
        if (iResult == NK_CMD_DONE) NKSetStatusText("Done.");
    }
    return iResult;
}

void NKInstallCommandHooks(void)
{
    NKModelHooks hooks = NKGetModelHooks();
    hooks.pfnExecuteCommand = ExecuteCommand;
    NKSetModelHooks(hooks);
    NKInstallLoadSequence();
}

int ExecuteUICommand(const NKString &line) { return ExecuteCommand(line.GetText()); }

int DispatchCommand(const char *pszLine, int iLevel)
{
    if (pszLine == nullptr) {
        NKDiagnostic("NULL pointer passed", "DispatchCommand");
        return NK_CMD_FAILED;
    }
    NKCommandTable table(false);
    NKString line(pszLine);
    line.Trim(false);
    if (line.IsEmpty() || line[0] == '#' || line[0] == '!') return NK_CMD_DONE;

    NKString word1 = line.GetFirstWord();
    NKString word2 = line.GetNextWord();
    bool bTwoWords = false;
    int iFound = LookUpCommand(&table, word1, word2, &bTwoWords);

    if (ShouldEcho(iLevel)) EchoLine(line, iLevel);
    if (iFound == -1) {
        NKPrintError((NKString("Unrecognized command: ") + word1).GetText());
        return NK_CMD_NOT_MINE;
    }
    if (iFound < 0) {
        NKPrintError((NKString("Ambiguous command: ") + word1).GetText());
        return NK_CMD_NOT_MINE;
    }

    CommandTableEntry *pEntry = table.GetEntry();
    if (!table.IsAvailable()) {
        const char *pszWarning = UnavailableText(pEntry->flags);
        if (pszWarning != nullptr) {
            NKCommandWarning(pEntry, pszWarning);
            return NK_CMD_DONE;
        }
    }
    if (pEntry->needgeom && !NKModelHasGeometry()) {
        NKPrintError(
            (NKString("No geometry loaded. Could not execute command: ") + word1).GetText());
        return NK_CMD_NO_MODEL;
    }

    NKString arguments = BuildArguments(line, bTwoWords && pEntry->keepsub == 0);
    return RunHandlerChain(pEntry, arguments.GetText());
}

int ExecuteOnAllParts(const NKString &command, const NKString &argumentTemplate, bool bSelected)
{
    NKMessagesOff quiet;
    NKString commandText = command + " " + argumentTemplate;
    bool bOk = RunOverPartRuns(commandText, bSelected);
    quiet.Release();

    const char *pszWhich = bSelected ? "selected" : "unselected";
    if (bOk) {
        NKPrintInfo(
            NKString::FromFormat("\nExecuted %s on all %s parts", command.GetText(), pszWhich)
                .GetText());
        return NK_CMD_DONE;
    }
    NKPrintError(
        NKString::FromFormat("\nFailed executing %s on all %s parts", command.GetText(), pszWhich)
            .GetText());
    return NK_CMD_FAILED;
}
