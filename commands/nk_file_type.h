// commands/nk_file_type.h -- the type of a primary file, decided from its
// name and contents, for the type-detecting open (nk_open_commands.h).
//
// Binary files are told apart by magic words (NKF, reservoir result sets),
// by the size their header words promise (older native geometry files) and
// by the LS-DYNA readers' own test; text files by their first line ("*NKF-"),
// by a first word that is a command (command files) and by the shape of
// their leading numbers (older native result and geometry files). Plug-in
// readers are asked first. Nothing here prints a message.
#pragma once

#include "core/nk_string.h"

// Types of a primary file.
enum NKFileType {
    NK_FILETYPE_DETECT = 1,
    NK_FILETYPE_UNKNOWN = 2,
    NK_FILETYPE_NATIVE_RESULTS = 3,
    NK_FILETYPE_NATIVE_GEOMETRY = 4,
    NK_FILETYPE_NKF = 5,
    NK_FILETYPE_COMMANDS = 6,
    NK_FILETYPE_LSDYNA_PLOT = 7,
    NK_FILETYPE_LSDYNA_HISTORY = 8,
    NK_FILETYPE_RESERVOIR = 9
    // 101 .. 116: a registered reader plug-in, by its interface id.
};

// The type of the file (never NK_FILETYPE_DETECT); NK_FILETYPE_UNKNOWN when
// it cannot be read or is not recognised.
int DetectFileType(const NKString &fileName);

// True when the file's five leading int32 words (byte-swapped with bSwap)
// are all at least 1 and the file's size is what an older native binary
// geometry file with those counts takes.
bool NKIsBinaryGeometryFile(const char *pszFileName, bool bSwap);

// Reads the leading integers of a text file: fills piValues with -1, looks
// over the first lines up to one that holds a real number or a letter other
// than e/E, or until iCount words were seen, then reads that many integers
// (at most iCount) from the start of the file. The number read; -1 when the
// file cannot be opened.
int NKReadIntegersFromFile(const char *pszFileName, int *piValues, int iCount);
