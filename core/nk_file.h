// core/nk_file.h -- small services around files: binary or text, byte order
// and byte swapping, taking paths apart, the argument scan of command lines,
// access tests, deleting and listing files by wildcard, the current
// directory, absolute paths and the shortened form of a path for display.
//
// Readers call the byte-order functions on an open FILE; command handlers
// and the shell call the path and directory functions. Paths may use '\'
// or '/' as separators (both separate directories); they are handed to the
// system with '/'. Wildcards are matched with fnmatch(3); "*.*" means every
// file. No path length limits. None of these functions reports to the
// user: they answer false, empty or 0.
#pragma once

#include <cstdint>
#include <cstdio>

#include "core/nk_string.h"

// ---- Binary files and byte order ----------------------------------------

// Rewinds, reads up to 1024 bytes and rewinds again. True when a byte read is
// 0x00-0x06 (bytes of 0x80 and above are letters of a text's encoding,
// UTF-8 or Latin-1). False when nothing could be read.
bool IsBinaryFile(FILE *pFile);

// Rewinds, reads the first 32-bit word and rewinds. True when the word with
// its bytes reversed lies in [iLow, iHigh] (also when the word fits as read:
// a word that fits both ways counts as swapped). When neither form fits, or
// the file is shorter than a word, the error "Error in file. Can't decide if
// little-endian." goes to the message output and the answer is false.
bool NeedsByteSwap(FILE *pFile, int iLow, int iHigh);

// Reverses the byte order of each of iCount consecutive items of iSize bytes
// in place. Nothing for iSize 1, below 1 or above 32, or iCount below 1.
void SwapBytes(void *pData, int iSize, int64_t iCount);

// ---- Paths ---------------------------------------------------------------

// Splits at the last '\' or '/': pszDir receives everything up to and with
// that separator, pszName everything after it; without a separator pszDir is
// empty and pszName the whole path. Each given output is first made empty,
// then a part is written only when its length is below iSize (so a name is
// not written when the separator is the last character). Nothing at all for
// a null or empty path.
void NKSplitPath(const char *pszPath, char *pszDir, char *pszName, int iSize);

// pszDir = the path cut after its last separator (kept), pszName (optional)
// = the part after it; without a separator pszDir is empty and pszName the
// whole path. The buffers must hold the path. Returns the name's length + 1,
// or 0 for a null path or directory buffer.
int NKGetFileDirectory(const char *pszPath, char *pszDir, char *pszName);

// The absolute, normalised form of a path ('.' and '..' resolved against the
// current directory, no symbolic link followed; the file need not exist).
// False for a null or empty path (pOut untouched), or when the current
// directory cannot be read (pOut empty).
bool NKGetFullPath(const char *pszPath, NKString *pOut);

// Splits a line in place like strtok(3): pszLine starts a scan, null goes
// on with it. Command handlers take their blank-separated tokens with
// NKTokenize(nullptr, " ") so that NKGetNextArgument and NKGetTokenRest can
// see where the scan stands. One scan at a time (user-interface thread).
char *NKTokenize(char *pszLine, const char *pszDelimiters);
// The remainder of the line after the tokens taken so far, blanks included;
// "" when the scan has ended. The scan does not move.
char *NKGetTokenRest(void);

// The next argument of the scan started with NKTokenize, after the token
// pszPreviousToken: when the rest of the line holds no double quote, the next
// blank-separated token; otherwise the next piece up to a double quote,
// skipping one blank-only piece when the rest starts with a blank, so that a
// double-quoted text is one argument. Null for a null previous token or when
// the line is used up.
char *NKGetNextArgument(const char *pszPreviousToken);

// The text without double quotes, trimmed, in one pair of double quotes.
NKString NKQuoteString(NKString text);

// The file name's extension from its last '.', the dot included; empty when
// the name has none or the path is null (a dot in a directory is no
// extension).
NKString NKGetFileExtension(const char *pszPath);

// Replaces what follows the file name's last '.' by the extension (given
// without the dot). False, path unchanged, when the file name has no '.'.
bool NKReplaceFileExtension(NKString &path, const NKString &extension);

// The display form of a path for menus and titles, at most 40 characters
// where it can be: the bare name when the path lies in the current
// directory, the whole path when it is short, else the first two components,
// the marker "/.../", as many of the last directories as fit, and the name
// (the name alone when the path has no directory beyond the first two).
// The result uses '/' as its separator.
NKString NKAbbreviatePath(const NKString &path, const NKString &currentDirectory);

// ---- Files and directories -----------------------------------------------

// The size in bytes from the file's status; 0 when it does not exist.
int64_t NKGetFileSize(const char *pszPath);

// Access modes of NKTestFileAccess.
enum { NK_ACCESS_READ = 0, NK_ACCESS_WRITE = 1, NK_ACCESS_READ_WRITE = 2, NK_ACCESS_EXISTS = 3 };
// Access test for one of the modes above; any other mode is false.
bool NKTestFileAccess(const char *pszPath, int iMode);

// For an existing file: true when it allows what is asked (nothing asked:
// true). For a file that does not exist: false unless writing is asked; then
// true when its directory (or "." when the path has none) lets a file be
// created (and read, when reading is asked).
bool NKCheckFileAccess(const char *pszPath, bool bRead, bool bWrite);

// Deletes every file (not directory) that matches the wildcard pattern in
// the pattern's directory. Returns the number deleted.
int NKDeleteFiles(const char *pszPattern);

// Makes the path the current directory; pCurrent (optional) receives the
// current directory afterwards, whether the change worked or not.
bool NKChangeDirectory(NKString path, NKString *pCurrent);
// The current directory, without length limit.
bool NKGetCurrentDirectory(NKString *pOut);
// Makes the directory of a file path current (the path cut after its last
// separator); false, and nothing changes, when the path has no separator.
bool NKChangeToFileDirectory(const char *pszFilePath);

// The directory part of the path (NKString::GetDirectory), without double
// quotes, trimmed and made absolute, with no trailing separator (except the
// root itself); the current directory when the path has no directory part.
// Empty for a null path.
NKString NKGetAbsolutePath(const char *pszPath);

// A listing of the entries of one directory whose names match a wildcard
// pattern ("dir/*.nkf"; no directory: the current one). Names come without
// their directory, sorted by byte value; "." and ".." are left out.
class NKFileFinder {
public:
    NKFileFinder() = default;
    ~NKFileFinder() { Close(); }
    NKFileFinder(const NKFileFinder &) = delete;
    NKFileFinder &operator=(const NKFileFinder &) = delete;

    // Starts a listing (closing any earlier one) and returns the first name.
    // When nothing matches: the empty text, and the line "\nError: %d\n"
    // with the system error code (2 when the directory holds no match) on
    // the standard output.
    NKString FindFirst(const char *pszPattern);
    // The next name of the listing; the empty text when there is no more.
    NKString FindNext();
    // Ends the listing if one is open. True.
    bool Close();
    bool IsOpen() const { return m_hFind != nullptr; }

private:
    struct Listing;
    Listing *m_hFind = nullptr;  // the open listing; null when closed
};
