// tests/fuzz/fuzz_support.h -- what the fuzz targets share: the target
// macro, a private folder for the files they write, the input cut into the
// files of a set, and the drives that take a written file through the same
// entries the program reads it with (the data-source dispatcher, the
// plot-source dispatcher, the command interpreter).
//
// NK_FUZZ_TARGET(name) opens the body of a target. Built for libFuzzer
// (QUOLIN_FUZZ_LIBFUZZER) it is LLVMFuzzerTestOneInput; in the regression
// replay of the test build it registers the body under its name, and
// fuzz_replay NAME FILE... runs the saved inputs through it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

typedef int (*NKFuzzBody)(const uint8_t *pData, size_t nSize);

// Registers a target's body for the replay program (true), and finds it
// by name (null when there is none).
bool NKFuzzRegister(const char *pszName, NKFuzzBody pfnBody);
NKFuzzBody NKFuzzFind(const char *pszName);

#ifdef QUOLIN_FUZZ_LIBFUZZER
#define NK_FUZZ_TARGET(name)                                                                       \
    static int NKFuzzBody_##name(const uint8_t *pData, size_t nSize);                              \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t *pData, size_t nSize)                      \
    {                                                                                              \
        return NKFuzzBody_##name(pData, nSize);                                                    \
    }                                                                                              \
    static int NKFuzzBody_##name(const uint8_t *pData, size_t nSize)
#else
#define NK_FUZZ_TARGET(name)                                                                       \
    static int NKFuzzBody_##name(const uint8_t *pData, size_t nSize);                              \
    static const bool s_bRegistered_##name = NKFuzzRegister(#name, &NKFuzzBody_##name);            \
    static int NKFuzzBody_##name(const uint8_t *pData, size_t nSize)
#endif

// Messages go nowhere (unless QUOLIN_FUZZ_VERBOSE is set to other than 0):
// the floods of reports a damaged file causes would slow the run down.
// Called by every helper below.
void NKFuzzQuiet(void);

// The process's own temporary folder (made on first use, removed at exit),
// and a file of that name in it holding the bytes; the file's full path.
const std::string &NKFuzzDir(void);
std::string NKFuzzWrite(const char *pszName, const uint8_t *pData, size_t nSize);
std::string NKFuzzWrite(const char *pszName, const std::string &bytes);
// While it lives, the private folder is the current folder (the program
// reads some files from there, and commands write there); the folder of
// before comes back after the input (libFuzzer writes its corpus there).
class NKFuzzInDir {
public:
    NKFuzzInDir();
    ~NKFuzzInDir();
    NKFuzzInDir(const NKFuzzInDir &) = delete;
    NKFuzzInDir &operator=(const NKFuzzInDir &) = delete;

private:
    std::string m_Previous;
};
// Removes every file of the folder (a set of files from one input must not
// meet the files of the next).
void NKFuzzClearDir(void);

// The input cut at every NK_FUZZ_SEPARATOR into at most nParts parts (the
// last one keeps the rest, separators included); missing parts are empty.
// The targets that read a set of files take one part per file.
#define NK_FUZZ_SEPARATOR "\n#--quolin-fuzz-file--#\n"
std::vector<std::string> NKFuzzSplit(const uint8_t *pData, size_t nSize, size_t nParts);

// Opens the file as data source iKind, reads the geometry of the first two
// steps and every scalar, vector and transformation of them (at most 16 of
// each) with the element visibility, and closes it again.
void NKFuzzReadDataSource(int iKind, const std::string &path);

// Opens the file as plot source iSource and reads every curve of every
// component of every category (at most 8 categories of 8 components), with
// the defaults and titles of a plot and the geometry when the source has
// one, then closes it.
void NKFuzzReadPlotSource(int iSource, const std::string &path);

// The whole program without a window: records, command handlers, data
// sources and the slots between the folders, made once; HOME becomes the
// private folder. Then a small twin of the example beam (two hexahedra,
// the example's blocks and steps) is opened again so that every input meets
// the same model. False when the example cannot be opened. Call it and run
// the lines inside an NKFuzzInDir.
bool NKFuzzProgramWithExample(void);
// Runs one command line through the interpreter. Command words that start
// processes, wait, print, open sockets or end the program, and every line
// that names a path outside the current folder ('/', '\\', '~', "..", or
// a '$'), are answered "done" without running: the run writes only into its
// own folder and never reaches a printer or another program. The guard
// sits first in the handler chain, so lines of command files, macros and
// requests pass it too.
int NKFuzzRunLine(const std::string &line);
// Every line of the bytes (LF or CR LF) through NKFuzzRunLine; at most
// iMaxLines lines.
void NKFuzzRunLines(const uint8_t *pData, size_t nSize, int iMaxLines);
