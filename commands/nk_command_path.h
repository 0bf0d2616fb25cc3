// commands/nk_command_path.h -- a file name put into a command line.
//
// Every place that turns a path into a command line (the program's command
// line, File > Open, the recent files, dropped files, the batch reports,
// the commands that run others on a file) builds it here: the name goes in
// double quotes, so that blanks stay inside it. A double quote ends the
// quoted argument and a line break ends the line, so a name holding either
// would reach the command as another name: such a name is refused with an
// error that names it, and no line is built.
#pragma once

#include "core/nk_string.h"

// True when the path holds no double quote and no line break.
bool NKPathFitsCommandLine(const char *pszPath);

// pszCommand, a blank and the path in double quotes: `open "a b.nkf"`.
// False, with the error "File name contains a double quote or a line
// break: PATH", when the path does not fit; *pLine is then empty.
bool NKPathCommandLine(const char *pszCommand, const char *pszPath, NKString *pLine);
