// commands/nk_command_log.h -- state of the command log and the poll file
// that the interpreter reads. The log and nolog commands open and switch the
// log; every writer of the log writes only while logging is on, no command
// file runs, the poll file is inactive and the stream is open.
#pragma once

#include <cstdio>

extern bool bLogCommands;  // logging is on
extern FILE *pLogFile;     // the log stream; null until a log was opened

// Placeholder: true while a poll file feeds commands; answers false until the
// poll file is built.
bool NKIsPollFileActive(void);
