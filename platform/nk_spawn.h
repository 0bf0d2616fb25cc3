// platform/nk_spawn.h -- starting outside programs with posix_spawn.
//
// Two kinds of child process: a shell command whose standard output and
// error come back through a pipe (NKSpawnShellCaptured), and a program that
// is launched and left alone (NKSpawnDetached). Both run in a process group
// of their own, so that stopping one ends everything it started, and a
// Ctrl-C in our terminal does not reach them. The polling, Cancel handling
// and message output around a captured process live in core/nk_process.cpp;
// this file only knows about file descriptors, signals and pids. No Qt.
#pragma once

#include <cstddef>

// One running captured process. iPid is also the id of its process group.
struct NKSpawnedProcess {
    int iPid = -1;              // -1 when nothing runs
    int iOutputFd = -1;         // our non-blocking read end of the output pipe
    bool bEnded = false;        // the process has ended (not yet reaped)
    bool bOutputEnded = false;  // every writer of the output pipe has closed it
};

// Runs "/bin/sh -c <command>" in pszDirectory (null: the current one) with
// standard output and error on one pipe and standard input on another pipe
// whose write end is closed at once (the child reads end-of-file). Returns
// 0, or the errno value when a pipe or the process could not be made (a
// directory that does not exist gives ENOENT); nothing is left open then.
int NKSpawnShellCaptured(const char *pszCommand, const char *pszDirectory,
                         NKSpawnedProcess *pProcess);

// Launches argv[0] (searched on PATH) with the arguments argv[1..] (argv
// ends with a null pointer) in pszDirectory (null: the current one), with
// standard input from /dev/null and no other descriptor of ours. It is not
// waited for; a background thread reaps it when it ends. Returns 0 or the
// errno value of the failure (an unknown program gives ENOENT).
int NKSpawnDetached(char *const *argv, const char *pszDirectory);

// Reads what waits on the output pipe without blocking. Returns the number
// of bytes read, 0 when nothing is waiting now, -1 when the output has ended
// (every writer closed the pipe) or there is no pipe.
long NKSpawnReadOutput(NKSpawnedProcess *pProcess, char *pBuffer, size_t iSize);

// Waits at most iMilliseconds for output to arrive, or, once the pipe has
// ended, for the process to end, so that a polling loop neither spins nor
// falls behind.
void NKSpawnWaitOutput(NKSpawnedProcess *pProcess, int iMilliseconds);

// True once the process has ended. The process stays a zombie until
// NKSpawnClose, which keeps its pid (and so its group id) from being reused.
bool NKSpawnHasEnded(NKSpawnedProcess *pProcess);

// Ends the whole process group: SIGTERM first, then SIGKILL for whatever is
// left after a short grace time. Does not reap.
void NKSpawnStopGroup(NKSpawnedProcess *pProcess);

// Reaps the process (waiting for it when it still runs), closes the pipe and
// clears the record. Returns the exit status (128 + signal number when a
// signal ended it), or -1 when there was no process.
int NKSpawnClose(NKSpawnedProcess *pProcess);
