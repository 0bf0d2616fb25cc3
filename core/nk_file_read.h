// core/nk_file_read.h -- opening and reading input files whole, for every
// reader that sizes a file before it reads it.
//
// A folder, a device or a FIFO opens for reading like a file, but its size
// is no size: ftell answers LONG_MAX on a folder, /dev/zero never ends, and
// a FIFO blocks its reader until a writer comes. So every reader of a file
// the user names opens it here, where anything but a regular file is
// refused without waiting, and the reason comes back in a few words for
// the line that names the file. Paths may use '\' or '/'. Nothing here
// reports by itself except NKPrintFileProblem, which composes that line.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// Opens a regular file for binary reading. Null when the path names no
// file, a folder or another kind of entry, or cannot be opened; pWhy
// (optional) then receives why, for instance "it is a folder" or "no read
// permission".
FILE *NKOpenRegularFile(const char *pszPath, std::string *pWhy = nullptr);

// The same as a descriptor for pread, left non-blocking (which a regular
// file ignores): for readers that take a few words at known places, where
// a stream's set-up and buffer cost more than the reads. -1 when refused.
int NKOpenRegularDescriptor(const char *pszPath, std::string *pWhy = nullptr);

// The whole of a regular file, as many bytes as its size when it was
// opened. False when NKOpenRegularFile refuses it or a read fails (pWhy as
// there); pBytes then holds nothing.
bool NKReadWholeFile(const char *pszPath, std::string *pBytes, std::string *pWhy = nullptr);

// At most iMax bytes from the start of a regular file; false as
// NKOpenRegularFile.
bool NKReadFileHead(const char *pszPath, size_t iMax, std::string *pBytes,
                    std::string *pWhy = nullptr);

// Why the path cannot be read as a regular file ("it is a folder", "no read
// permission", "no such file" ...); empty when it can be opened.
std::string NKFileProblem(const char *pszPath);

// As NKFileProblem, and "it is empty" for a file that holds no byte: for
// the readers to which an empty file is no file of their kind.
std::string NKInputFileProblem(const char *pszPath);

// Why a file cannot be written at the path ("it is a folder", "its folder
// does not exist", "no write permission" ...); empty when nothing in the
// way can be seen (a full disk, for one, shows only as the write fails).
std::string NKWriteProblem(const char *pszPath);

// The line that follows an error to name its file: File "PATH": WHY. (or
// File "PATH". without a reason).
std::string NKFileProblemLine(const char *pszPath, const std::string &why);

// Prints NKFileProblemLine at the error level, with NKFileProblem as the
// reason when pszWhy is null (and none when the file itself is readable);
// the line of an empty file as the failure's lead (core/nk_message.h).
void NKPrintFileProblem(const char *pszPath, const char *pszWhy = nullptr);
