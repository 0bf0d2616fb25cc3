// core/nk_program_directory.h -- the directory that holds the program file,
// where the start-up command files are looked for first.
//
// Start-up fills it from the running program (/proc/self/exe); the first
// question fills it the same way when start-up has not. Tests point it at a
// folder of their own.
#pragma once

#include "core/nk_string.h"

// The program's directory with a trailing '/', so that a file name can be
// appended directly; empty when the running program cannot be found.
const NKString &NKGetProgramDirectory(void);
// Sets the directory; a trailing '/' is added when missing. Null or "" asks
// the running program again.
void NKSetProgramDirectory(const char *pszDirectory);
