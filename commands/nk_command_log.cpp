// commands/nk_command_log.cpp -- the commands log, nolog, pollfile,
// nopollfile and poll_delay, the log writer and the poll-file check (see
// nk_command_log.h).
#include "commands/nk_command_log.h"

#include <sys/stat.h>

#include <climits>
#include <string>
#include <vector>

#include "commands/nk_argument_scan.h"
#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_command_params.h"
#include "commands/nk_command_table.h"
#include "core/nk_file_read.h"
#include "core/nk_message.h"
#include "platform/nk_window_timer.h"

// ---- Command log -----------------------------------------------------------

bool NKCanWriteCommandLog(void)
{
    return g_CommandRunner.bLogCommands && !g_CommandRunner.bRunningCommandFile &&
           !NKIsPollFileActive() && g_CommandRunner.pLogFile != nullptr;
}

bool NKCommandLogWrite(const char *pszText)
{
    if (!NKCanWriteCommandLog() || pszText == nullptr) return false;
    bool bOk = std::fputs(pszText, g_CommandRunner.pLogFile) >= 0;
    bOk = std::fflush(g_CommandRunner.pLogFile) == 0 && bOk;
    if (!bOk) {
        // One report, not one per command: logging stops here.
        g_CommandRunner.bLogCommands = false;
        NKPrintError(NKString::FromFormat("Error writing to log-file: %s. Logging stopped.",
                                          g_CommandRunner.szLogFileName.GetText())
                         .GetText());
    }
    return bOk;
}

void NKCommandLogClose(void)
{
    if (g_CommandRunner.pLogFile != nullptr) std::fclose(g_CommandRunner.pLogFile);
    g_CommandRunner.pLogFile = nullptr;
    g_CommandRunner.bLogCommands = false;
}

namespace {

int CommandLog(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    NKString name = pScan->NextArgument();
    g_CommandRunner.szLogFileName =
        name.IsEmpty() ? NKString::FromFormat("%s.log", "Quolin") : name;
    g_CommandRunner.bLogCommands = true;
    if (!g_CommandRunner.bLogNotYetOpened && g_CommandRunner.pLogFile != nullptr) {
        NKPrintInfo(NKString::FromFormat("Appending commands to log-file: %s",
                                         g_CommandRunner.szLogFileName.GetText())
                        .GetText());
        return 0;
    }
    // A new stream replaces the one before it; an earlier failed open does
    // not stop this one from opening.
    if (g_CommandRunner.pLogFile != nullptr) std::fclose(g_CommandRunner.pLogFile);
    g_CommandRunner.pLogFile = std::fopen(g_CommandRunner.szLogFileName.GetText(), "w");
    if (g_CommandRunner.pLogFile == nullptr) {
        g_CommandRunner.bLogCommands = false;
        g_CommandRunner.bLogNotYetOpened = false;
        NKCommandError(pEntry, NKString::FromFormat("Unable to open file for writing: %s",
                                                    g_CommandRunner.szLogFileName.GetText())
                                   .GetText());
        return 1;
    }
    g_CommandRunner.bLogNotYetOpened = true;
    NKPrintInfo(NKString::FromFormat("Writing commands to log-file: %s",
                                     g_CommandRunner.szLogFileName.GetText())
                    .GetText());
    return 0;
}

int CommandNoLog()
{
    g_CommandRunner.bLogCommands = false;
    NKPrintInfo(NKString::FromFormat("Stop writing commands to log-file: %s",
                                     g_CommandRunner.szLogFileName.GetText())
                    .GetText());
    return 0;
}

}  // namespace

// ---- Poll file -------------------------------------------------------------

void NKPollFile::Reset()
{
    szFileName = "";
    bActive = false;
    fDelay = NK_POLL_DEFAULT_DELAY;
    pFile = nullptr;
    iReadOffset = 0;
}

void NKPollFile::Close()
{
    if (pFile != nullptr) std::fclose(pFile);
    float fKeep = fDelay;
    Reset();
    fDelay = fKeep;
}

bool NKIsPollFileActive(void) { return g_CommandRunner.PollFile.bActive; }

namespace {

int DelayToPeriod(float fDelay)
{
    double dMs = (double)fDelay * 1000.0;
    if (!(dMs >= 0.0)) return 0;
    return dMs >= (double)INT_MAX ? INT_MAX : (int)dMs;
}

void PollTimerTick(int) { NKCheckPollFile(); }

void StartPollTimer()
{
    NKStartWindowTimer(NK_POLL_FILE_TIMER, DelayToPeriod(g_CommandRunner.PollFile.fDelay),
                       PollTimerTick);
}

// The offset behind the last complete line of the file as it stands.
int64_t EndOfCompleteLines(const char *pszFileName)
{
    FILE *pFile = NKOpenRegularFile(pszFileName);
    if (pFile == nullptr) return 0;
    int64_t iEnd = 0, iPos = 0;
    int c;
    while ((c = std::fgetc(pFile)) != EOF) {
        iPos++;
        if (c == '\n') iEnd = iPos;
    }
    std::fclose(pFile);
    return iEnd;
}

// Reads the complete lines after the read offset and moves it behind them.
// A line still being written (no line end yet) waits for the next check.
void ReadNewLines(std::vector<std::string> *pLines)
{
    NKPollFile &poll = g_CommandRunner.PollFile;
    poll.pFile = NKOpenRegularFile(poll.szFileName.GetText());
    if (poll.pFile == nullptr) return;  // not there (yet)
    struct stat info;
    if (fstat(fileno(poll.pFile), &info) == 0 && (int64_t)info.st_size < poll.iReadOffset)
        poll.iReadOffset = 0;  // the file was emptied or replaced
    if (fseeko(poll.pFile, (off_t)poll.iReadOffset, SEEK_SET) == 0) {
        std::string line;
        int c;
        while ((c = std::fgetc(poll.pFile)) != EOF) {
            if (c != '\n') {
                line.push_back((char)c);
                continue;
            }
            poll.iReadOffset += (int64_t)line.size() + 1;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            pLines->push_back(line);
            line.clear();
        }
    }
    std::fclose(poll.pFile);
    poll.pFile = nullptr;
}

}  // namespace

int NKCheckPollFile(void)
{
    if (!g_CommandRunner.PollFile.bActive || g_CommandRunner.bPollChecking) return 0;
    if (g_CommandRunner.iCommandLevel > 0 || g_CommandRunner.bRunningCommandFile) return 0;
    g_CommandRunner.bPollChecking = true;
    std::vector<std::string> lines;
    ReadNewLines(&lines);
    int iRun = 0;
    for (const std::string &line : lines) {
        if (!g_CommandRunner.PollFile.bActive) break;  // a polled `nopollfile`
        ExecuteCommand(line.c_str());
        iRun++;
    }
    g_CommandRunner.bPollChecking = false;
    return iRun;
}

namespace {

int CommandPollFile(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    if (g_CommandRunner.PollFile.bActive) {
        NKPrintError(NKString::FromFormat("Already polling on file %s\nYou must stop polling from "
                                          "this file before attaching to new file.",
                                          g_CommandRunner.PollFile.szFileName.GetText())
                         .GetText());
        return 1;
    }
    g_CommandRunner.PollFile.Close();  // the delay of an earlier poll_delay stays
    NKString name = pScan->NextArgument();
    if (name.IsEmpty()) {
        NKCommandError(pEntry, "Cannot open file for reading. No filename specified");
        return 1;
    }
    // A file not there yet is waited for; a folder, a FIFO or a device is
    // no file of lines and would block or never end.
    struct stat info;
    if (::stat(name.GetText(), &info) == 0 && !S_ISREG(info.st_mode)) {
        NKPrintError(
            NKString::FromFormat("Unable to open file for reading: %s", name.GetText()).GetText());
        NKPrintFileProblem(name.GetText());
        return 1;
    }
    g_CommandRunner.PollFile.szFileName = name;
    g_CommandRunner.PollFile.bActive = true;
    // Only lines written from now on are commands for us.
    g_CommandRunner.PollFile.iReadOffset = EndOfCompleteLines(name.GetText());
    NKPrintInfo(
        NKString::FromFormat("Polling for commands from file %s", name.GetText()).GetText());
    StartPollTimer();
    return 0;
}

int CommandNoPollFile()
{
    if (g_CommandRunner.PollFile.bActive)
        NKPrintInfo(NKString::FromFormat("Stop polling for commands from file %s",
                                         g_CommandRunner.PollFile.szFileName.GetText())
                        .GetText());
    NKStopWindowTimer(NK_POLL_FILE_TIMER);
    g_CommandRunner.PollFile.Close();
    return 0;
}

// A word that is no finite number is refused and the delay kept.
int CommandPollDelay(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    NKString word = pScan->NextToken();
    float fDelay = NK_POLL_DEFAULT_DELAY;
    if (!word.IsNull() && !NKWordToFloat(word.GetText(), &fDelay)) {
        NKCommandError(pEntry, "Illegal parameter specified");
        return 1;
    }
    if (!(fDelay >= 0.0f)) fDelay = 0.0f;  // negative
    g_CommandRunner.PollFile.fDelay = fDelay;
    NKPrintInfo(NKString::FromFormat("Setting delay for checking pollfile to %g seconds "
                                     "(default: %g)",
                                     (double)fDelay, (double)NK_POLL_DEFAULT_DELAY)
                    .GetText());
    if (g_CommandRunner.PollFile.bActive) StartPollTimer();  // the new delay takes effect now
    return 0;
}

// "stdout messages" and "stdout nomessages" switch the console's message
// sink on and off; a sink a test or the shell installed is left alone. The
// pick reports of the other "stdout" rows have no behaviour of their own:
// their words are passed on, and the command reference marks them
// (cmake/nk_command_table_gen.cpp reads these lines):
// no action in this program: stdout pickcoords
// no action in this program: stdout nopickcoords
// no action in this program: stdout pickinfo
// no action in this program: stdout nopickinfo
int CommandStdout(NKArgumentScan *pScan)
{
    const NKString word = pScan->NextToken();
    if (word == "messages" || word == "nomessages") {
        NKSetConsoleMessages(word == "messages");
        return 0;
    }
    return 3;
}

}  // namespace

int NKCommandHandleLog(CommandTableEntry *pEntry, const char *pszArguments)
{
    NKArgumentScan scan(pszArguments);
    scan.NextToken();  // "PARAMS"
    switch (pEntry->id) {
    case NK_CID_LOG:
        return CommandLog(pEntry, &scan);
    case NK_CID_NOLOG:
        return CommandNoLog();
    case NK_CID_POLLFILE:
        return CommandPollFile(pEntry, &scan);
    case NK_CID_NOPOLLFILE:
        return CommandNoPollFile();
    case NK_CID_POLL_DELAY:
        return CommandPollDelay(pEntry, &scan);
    case NK_CID_STDOUT_MESSAGES:
        return CommandStdout(&scan);
    default:
        return 3;
    }
}
