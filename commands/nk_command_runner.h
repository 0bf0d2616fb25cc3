// commands/nk_command_runner.h -- the command runner's state in one record.
//
// Everything the interpreter, the command-file runner and the command log
// keep between two lines lives in g_CommandRunner, as the model lives in
// g_pModel; the rest of the program reads its fields through it
// (g_CommandRunner.iCommandLevel, g_CommandRunner.PollFile ...). Each group
// of fields belongs to the code named in its heading.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>

#include "core/nk_string.h"

constexpr float NK_POLL_DEFAULT_DELAY = 1.0f;

struct NKPollFile {
    NKString szFileName;                   // the poll file ("" when none)
    bool bActive = false;                  // polling is on
    float fDelay = NK_POLL_DEFAULT_DELAY;  // seconds between two checks
    FILE *pFile = nullptr;                 // open only while a check reads the file
    int64_t iReadOffset = 0;               // bytes of the file already taken

    // Everything to its default, the delay included.
    void Reset();
    // Closes the stream and resets the record, keeping the delay.
    void Close();
};

// Where a paused file stands.
struct NKPausedCommandFile {
    NKString fileName;    // the file as the runner opened it
    int lineReached = 0;  // lines run in the repetition that paused
    int repeatCount = 0;  // the repeat count of the run
    int repetition = 0;   // the repetition (from 0) that paused
    NKString directory;   // the current directory at the pause

    void Reset();
};

struct NKCommandRunner {
    // ---- Interpreter (nk_command.h) ----
    // Nesting level: 0 while no command runs, 1 inside a top-level command,
    // 2 inside a line that a top-level command runs, and so on.
    int iCommandLevel = 0;
    // While set every line is echoed whatever its level.
    bool bDebugCommands = false;

    // ---- Command files (nk_command_files.h) ----
    bool bRunningCommandFile = false;   // a command file runs
    bool bCommandFilePaused = false;    // a paused file waits to be resumed
    NKString szCurrentCommandFile;      // the outermost file started with `source`
    NKString szCurrentCommandFilePath;  // the same file's full path
    NKString szTestCommandFile;         // `testcommands`: the command file
    NKString szTestLogFile;             // `testcommands`: its log
    NKPausedCommandFile Paused;         // where the paused file stands
    int iFileDepth = 0;                 // file runs active inside one another
    bool bAbortAllFiles = false;        // Esc seen: every running file stops
    // The interface was last repainted between two lines of a file then.
    std::chrono::steady_clock::time_point LastRepaint;

    // ---- Command log and poll file (nk_command_log.h) ----
    bool bLogCommands = false;     // logging is on
    NKString szLogFileName;        // the log file's name, set by every `log`
    FILE *pLogFile = nullptr;      // the log stream; null until a `log` opened one
    bool bLogNotYetOpened = true;  // while set, `log` opens its file
    NKPollFile PollFile;           // the poll file feeding commands
    bool bPollChecking = false;    // a check runs (a polled line may pump events)
};

// The one runner record of the program.
extern NKCommandRunner g_CommandRunner;
