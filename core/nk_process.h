// core/nk_process.h -- running outside programs: a shell command with its
// output shown, a captured process that Cancel can stop, and a program
// launched without waiting. Also gathers the stopwatch, date and text
// utilities (nk_stopwatch.h, nk_text_utils.h) that go with them.
//
// Captured processes run through "/bin/sh -c" in a process group of their
// own (platform/nk_spawn.h). The calling user-interface thread polls them
// every 100 ms: each line they write goes to the message output as an
// information line, and the Cancel button of the progress operations
// (core/nk_progress.h) ends the whole group.
#pragma once

#include "core/nk_stopwatch.h"
#include "core/nk_text_utils.h"

// Results of NKRunProcessCaptured.
enum {
    NK_PROCESS_FINISHED = 1,     // the process ran to its end
    NK_PROCESS_CANCELLED = -1,   // stopped on Cancel (or a quit request)
    NK_PROCESS_NOT_STARTED = -3  // the pipes or the process could not be made
};

// Runs the command line through the shell in the current directory, with
// the status bar's Cancel mode open ("Running shell command") and the
// output shown. True when the shell started (whatever the command's exit
// status, and also when Cancel stopped it); false when it could not start.
bool NKRunShellCommand(const char *pszCommand);

// Runs "/bin/sh -c <command line>" in pszDirectory (null: the current one)
// and shows each line of its standard output and error as an information
// line while it runs. When bCancellable, NKCheckCancel is polled every
// 100 ms and Cancel ends the process and everything it started. Answers one
// of the results above; piExitStatus (optional) receives the shell's exit
// status (128 + signal number for a signal, -1 when it did not start).
int NKRunProcessCaptured(const char *pszCommandLine, const char *pszDirectory, bool bCancellable,
                         int *piExitStatus = nullptr);

// Starts a program without waiting for it: the command line is the program
// (searched on PATH) and its arguments, separated by blanks, with double
// quotes around an argument that holds blanks. pszDirectory (null: the
// current one) becomes its working directory. True when it started.
bool NKStartProcess(const char *pszCommandLine, const char *pszDirectory);
