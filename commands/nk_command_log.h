// commands/nk_command_log.h -- the command log and the poll file.
//
// The command log records what the user does as a replayable command file:
// every top-level command line (written by ExecuteCommand, nk_command.h),
// every change of the view as a `setview` line and every pick as a comment
// line. `log` starts it, `nolog` stops it. Every writer goes through
// NKCommandLogWrite, which writes only while logging is on, no command file
// runs, no poll file is active and the stream is open, and flushes after
// each write; the log is written in place, line by line.
//
// The poll file is a second facility: `pollfile` names a file to which
// another program appends command lines; at every tick of window timer 1
// (platform/nk_window_timer.h), NKCheckPollFile runs the complete lines
// appended since the last check as top-level commands. `poll_delay` sets
// the interval, `nopollfile` ends polling.
//
// `stdout messages` and `stdout nomessages` switch the console message sink
// (NKSetConsoleMessages, core/nk_message.h).
//
// The commands belong to the file-command handler
// (NKCommandHandleFiles, nk_command_files.h), which hands them on to
// NKCommandHandleLog.
#pragma once

#include <cstdint>
#include <cstdio>

#include "commands/nk_command_runner.h"
#include "core/nk_string.h"

struct CommandTableEntry;

// ---- Command log -----------------------------------------------------------

// The log's switch, file name, stream and first-open mark are fields of
// g_CommandRunner (nk_command_runner.h); the mark, while set, lets `log`
// open its file, and is cleared when an open fails.

// True when a writer may write to the log now.
bool NKCanWriteCommandLog(void);
// Writes the text as it stands and flushes, when a writer may write now.
// A failed write reports an error and switches logging off. True when the
// text was written.
bool NKCommandLogWrite(const char *pszText);
// Closes the log stream (the `exit` command while logging is on, and the
// end of the program); logging goes off.
void NKCommandLogClose(void);

// ---- Poll file -------------------------------------------------------------

// The poll file's timer is window timer 1 of the main window.
constexpr int NK_POLL_FILE_TIMER = 1;
// The poll file record (NKPollFile, nk_command_runner.h) is the field
// PollFile of g_CommandRunner.

// True while a poll file feeds commands (no log is written meanwhile).
bool NKIsPollFileActive(void);

// Runs, as top-level commands, the complete lines appended to the poll file
// since the last check; a file that shrank is read again from its start.
// Nothing while polling is off or a command or command file runs (the next
// tick takes the lines). Returns the number of lines run.
int NKCheckPollFile(void);

// The handler of log, nolog, pollfile, nopollfile and poll_delay; 3 for
// every other command.
int NKCommandHandleLog(CommandTableEntry *pEntry, const char *pszArguments);
