// commands/nk_command_files.h -- command files and their runner, and the
// command handler of the file commands.
//
// A command file is a text file of command lines. `source`, `repeatfile`,
// `pausefile` and `resumefile` run such files through one runner,
// NKCommandRunFile, which hands every line to ExecuteCommand (nk_command.h),
// can repeat a file, pause it after a line and resume it later at the next
// line. Files may run other files up to 32 deep; pausing is possible only in
// the outermost file. Between lines the runner asks the key filter
// (platform/nk_key_filter.h) for Esc, which aborts the whole stack of
// running files, and Space, which pauses, and lets the interface repaint at
// most every 50 ms. The same runner serves the start-up files, macros
// (nk_macros.h) and attribute files read back with `source`.
//
// NKCommandHandleFiles is the first handler of the interpreter's chain. It
// serves the four commands above, the closing, settings-keeping, test and
// geometry- and view-writing commands, hands the log and poll-file commands
// to nk_command_log.cpp, and is where the other file commands (reading,
// opening and writing files) join the chain.
#pragma once

#include "commands/nk_command_runner.h"
#include "core/nk_string.h"

struct CommandTableEntry;
class NKArgumentScan;

// What the runner keeps of the files is in g_CommandRunner
// (nk_command_runner.h): whether a file runs (the interpreter, the log
// writers, `source` and `pausefile` read it) or waits paused, the outermost
// file started with `source` (set only while no file runs) with its full
// path, taken before it runs from its own directory, and the names given to
// `testcommands`: the command file ("" when none was given) and its log
// (default "Quolin.log").

// Files may run other files this deep; one more is refused with
// "Command files nested too deeply".
constexpr int NK_MAX_COMMAND_FILE_DEPTH = 32;

// Where a paused file stands: NKPausedCommandFile (nk_command_runner.h).

// The one pause record of the runner.
const NKPausedCommandFile &NKGetPausedCommandFile(void);

// Runs a command file iRepeatCount times. With bResume the name and count
// are ignored and the paused file goes on after its last line run.
// Returns 0 when done (also when the file paused or the count is negative)
// and 1 when it failed, was aborted, or a count of 0 was given.
int NKCommandRunFile(const char *pszFileName, int iRepeatCount, bool bResume);

// The number of command files running inside one another now.
int NKGetCommandFileDepth(void);

// The handler of the file commands (first slot of the chain). Returns the
// command result codes: 0 done, 1 failed, 3 not a file command, 4 pause.
int NKCommandHandleFiles(CommandTableEntry *pEntry, const char *pszArguments);

// Puts NKCommandHandleFiles into its slot of the chain.
void NKRegisterFileCommands(void);

// The set-view command line of the current view, which `saveview` writes.
// The view matrix lives above this folder, which fills the slot at start-up;
// while it is empty the line is that of the identity view,
// "setview  0 0 0 1 0 0 0". Each setter returns the function it replaces.
using NKViewLineMaker = void (*)(NKString *pLine);
NKViewLineMaker NKSetViewLineMaker(NKViewLineMaker pfnMaker);

// The batch reports of `testdir` and `testopenperf`: (directory, mask,
// output file) -> true when the report was written. Empty slots answer
// false and write nothing.
using NKBatchReportFunction = bool (*)(const char *pszDirectory, const char *pszMask,
                                       const char *pszOutput);
NKBatchReportFunction NKSetTestDirFunction(NKBatchReportFunction pfnReport);
NKBatchReportFunction NKSetTestOpenPerfFunction(NKBatchReportFunction pfnReport);

// The parts of NKCommandHandleFiles by topic, each answering 3 for ids that
// are not its own: the open, geometry, nkf, volume and view commands
// (nk_open_command_rows.cpp), the readstate family and readbc, then the
// result commands (nk_result_command_rows.cpp). pszArguments and the scans
// are the handler's "PARAMS " text.
int NKCommandHandleOpenRows(CommandTableEntry *pEntry, const char *pszArguments);
int NKCommandHandleStateRows(CommandTableEntry *pEntry, NKArgumentScan *pScan);
int NKCommandHandleResultRows(CommandTableEntry *pEntry, NKArgumentScan *pScan);
// `export` and its NKF sub-commands (nk_export_commands.cpp).
int NKCommandHandleExportRows(CommandTableEntry *pEntry, const char *pszArguments);
