// core/nk_process.cpp -- shell commands, captured processes and launched
// programs (see nk_process.h). The spawning itself, pipes and process groups
// are in platform/nk_spawn.cpp; this file owns the polling loop, the Cancel
// handling through the progress operations and the output lines.
#include "core/nk_process.h"

#include <string>
#include <vector>

#include "core/nk_message.h"
#include "core/nk_progress.h"
#include "platform/nk_spawn.h"

namespace {

// How often a running captured process is looked at.
const int kPollIntervalMs = 100;
// Read size for the output pipe.
const size_t kReadChunk = 4096;

// Turns the output stream into lines for the message output: a line is
// passed on when its LF arrives, a CR before the LF is dropped, and what is
// left at the end is passed on as a last line.
class OutputLines {
public:
    void Add(const char *pData, long iCount)
    {
        for (long i = 0; i < iCount; i++) {
            if (pData[i] == '\n') {
                Emit();
            } else {
                m_Pending += pData[i];
            }
        }
    }
    void Flush()
    {
        if (!m_Pending.empty()) Emit();
    }

private:
    void Emit()
    {
        if (!m_Pending.empty() && m_Pending.back() == '\r') m_Pending.pop_back();
        NKPrintInfo(m_Pending.c_str());
        m_Pending.clear();
    }
    std::string m_Pending;
};

// Reads everything that is waiting on the pipe now, without blocking.
void DrainOutput(NKSpawnedProcess *pProcess, OutputLines *pLines)
{
    char buffer[kReadChunk];
    long n;
    while ((n = NKSpawnReadOutput(pProcess, buffer, sizeof(buffer))) > 0) pLines->Add(buffer, n);
}

// Splits a command line into arguments at blanks and tabs; a double-quoted
// piece may hold blanks and loses its quotes.
std::vector<std::string> SplitCommandLine(const char *pszLine)
{
    std::vector<std::string> args;
    std::string current;
    bool bInArg = false, bQuoted = false;
    for (const char *p = pszLine; *p != '\0'; p++) {
        if (*p == '"') {
            bQuoted = !bQuoted;
            bInArg = true;
        } else if ((*p == ' ' || *p == '\t') && !bQuoted) {
            if (bInArg) args.push_back(current);
            current.clear();
            bInArg = false;
        } else {
            current += *p;
            bInArg = true;
        }
    }
    if (bInArg) args.push_back(current);
    return args;
}

}  // namespace

bool NKRunShellCommand(const char *pszCommand)
{
    NKBeginCancelMode("Running shell command");
    const int iResult = NKRunProcessCaptured(pszCommand, nullptr, true);
    NKEndCancelMode("");
    return iResult != NK_PROCESS_NOT_STARTED;
}

int NKRunProcessCaptured(const char *pszCommandLine, const char *pszDirectory, bool bCancellable,
                         int *piExitStatus)
{
    if (piExitStatus != nullptr) *piExitStatus = -1;
    if (pszCommandLine == nullptr) return NK_PROCESS_NOT_STARTED;
    NKSpawnedProcess process;
    if (NKSpawnShellCaptured(pszCommandLine, pszDirectory, &process) != 0)
        return NK_PROCESS_NOT_STARTED;
    OutputLines lines;
    int iResult = NK_PROCESS_FINISHED;
    while (!NKSpawnHasEnded(&process)) {
        if (bCancellable && NKCheckCancel()) {
            NKSpawnStopGroup(&process);
            iResult = NK_PROCESS_CANCELLED;
            break;
        }
        DrainOutput(&process, &lines);
        NKSpawnWaitOutput(&process, kPollIntervalMs);
    }
    // What the process wrote just before it ended. Only what is waiting now:
    // a background child it left may hold the pipe open for much longer.
    DrainOutput(&process, &lines);
    lines.Flush();
    const int iStatus = NKSpawnClose(&process);
    if (piExitStatus != nullptr) *piExitStatus = iStatus;
    return iResult;
}

bool NKStartProcess(const char *pszCommandLine, const char *pszDirectory)
{
    if (pszCommandLine == nullptr) return false;
    std::vector<std::string> args = SplitCommandLine(pszCommandLine);
    if (args.empty()) return false;
    std::vector<char *> argv;
    for (std::string &arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    return NKSpawnDetached(argv.data(), pszDirectory) == 0;
}
