// app/nk_shell_commands.cpp -- the general commands that reach the
// operating system (see nk_system_topics.h): listing, showing and setting
// the working directory, running a shell command with its output shown,
// launching a program, and the model status dump. Processes run through
// core/nk_process.h (by "/bin/sh -c"); their output lines reach the message
// output as information lines while they run.
#include "app/nk_system_topics.h"
#include "commands/nk_argument_scan.h"
#include "commands/nk_command.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_command_table.h"
#include "core/nk_file.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_process.h"
#include "core/nk_status_dump.h"

namespace {

// "ls [arguments]" and "dir [arguments]": "ls -l" with the trimmed rest of
// the line. A shell that cannot start fails without a message.
int CommandList(NKArgumentScan *pScan)
{
    NKString rest = pScan->Rest();
    rest.Trim();
    NKString command("ls -l");
    if (!rest.IsEmpty()) command = command + " " + rest;
    return NKRunShellCommand(command.GetText()) ? 0 : 1;
}

int CommandPwd(CommandTableEntry *pEntry)
{
    NKString directory;
    if (!NKGetCurrentDirectory(&directory)) {
        NKCommandError(pEntry, "Error getting current working directory");
        return 1;
    }
    NKPrintInfo(NKString::FromFormat("Current directory: %s", directory.GetText()).GetText());
    return 0;
}

// The trimmed rest of the line, announced with pszAnnounce ("%s": the line),
// run by pfnRun; pszError when that fails.
int RunRestOfLine(CommandTableEntry *pEntry, NKArgumentScan *pScan, const char *pszAnnounce,
                  bool (*pfnRun)(const char *), const char *pszError)
{
    NKString line = pScan->Rest();
    line.Trim();
    NKPrintInfo(NKString::FromFormat(pszAnnounce, line.GetText()).GetText());
    if (pfnRun(line.GetText())) return 0;
    NKCommandError(pEntry, pszError);
    return 1;
}

// "; command": the rest of the line through the shell.
int CommandShellLine(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    return RunRestOfLine(pEntry, pScan, "Shell command: %s", NKRunShellCommand,
                         "Error executing shell command");
}

// "cd directory": the directory shown is the one read back after the change.
int CommandCd(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    NKString path = pScan->Rest();
    path.Trim();
    NKString current;
    if (!NKChangeDirectory(path, &current)) {
        NKCommandError(pEntry, "Error setting working directory");
        return 1;
    }
    NKPrintInfo(NKString::FromFormat("Working directory set to: %s", current.GetText()).GetText());
    return 0;
}

// "launch command line": started without waiting for it.
int CommandLaunch(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    return RunRestOfLine(
        pEntry, pScan, "Launching: %s",
        [](const char *pszLine) { return NKStartProcess(pszLine, nullptr); },
        "Error executing external program");
}

// "dump [file]": the model status dump, "quolin.dbg" by default. A dump that
// cannot be written is a failed command.
int CommandDump(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    NKString name = pScan->NextArgument();
    if (name.IsEmpty()) name = "quolin.dbg";
    if (NKDumpFrameInformation(name.GetText(), g_pModel)) return 0;
    NKCommandError(
        pEntry, NKString::FromFormat("Could not create dump file : %s ", name.GetText()).GetText());
    return 1;
}

}  // namespace

int NKHandleShellCommands(CommandTableEntry *pEntry, const char *pszArguments)
{
    NKArgumentScan scan(pszArguments);
    scan.NextToken();  // "PARAMS"
    switch (pEntry->id) {
    case NK_CID_DIR:  // also "ls"
        return CommandList(&scan);
    case NK_CID_PWD:
        return CommandPwd(pEntry);
    case NK_CID_SEMICOLON:
        return CommandShellLine(pEntry, &scan);
    case NK_CID_CD:
        return CommandCd(pEntry, &scan);
    case NK_CID_LAUNCH:
        return CommandLaunch(pEntry, &scan);
    case NK_CID_DUMP:
        return CommandDump(pEntry, &scan);
    default:
        return NK_CMD_NOT_MINE;
    }
}
