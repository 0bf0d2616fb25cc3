// tests/test_support/test_files.h -- the files the tests make for
// themselves: fresh temporary folders, whole files written from bytes or
// text, and whole files or temporary streams read back as one string.
//
// Used by the fixtures of tests/core and tests/commands that work in a
// folder of their own, by the NKF tests (which write their files into the
// per-process folder of NKFTestPath(), nkf_test_writer.h) and by the NKF
// parse benchmark. Failures are return values: the caller decides whether
// a failure is an assertion.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// The temporary folder: $TMPDIR, else /tmp. A test run gives every test a
// TMPDIR inside its own home (tests/scripts/own_home.sh), so what a test
// leaves there goes with that home.
std::string NKTestTempRoot(void);
// Makes a fresh, empty folder <NKTestTempRoot()>/<pszPrefix>XXXXXX and
// returns its path, or "" when it cannot be made.
std::string NKTestMakeTempDir(const char *pszPrefix);
// Removes the folder and everything below it; false when something could
// not be removed. A folder that is already gone is no failure.
bool NKTestRemoveDir(const std::string &dir);

// Creates or truncates the file and writes the bytes (or the text, as it
// is); false when the file cannot be opened, written or closed.
bool NKTestWriteBytes(const std::string &path, const void *pData, size_t iCount);
bool NKTestWriteBytes(const std::string &path, const std::vector<uint8_t> &data);
bool NKTestWriteText(const std::string &path, const std::string &text);

// An X display name that no server of this machine serves: ":900", else
// the first number after it without a socket in /tmp/.X11-unix.
std::string NKTestUnservedDisplay(void);

// The path of a file in the examples/ folder of the source tree.
std::string NKTestExamplePath(const char *pszName);
// The built program beside the running one (pszSelf is its argv[0]): the
// benchmarks that run quolin are built into the same folder.
std::string NKTestProgramBeside(const char *pszSelf);
// The root of the source tree, absolute; tests that change folder still
// find the examples and ../shared/testdata from it.
std::string NKTestSourceRoot(void);

// The folder of real outside test data beside the source tree
// ("<root>/../shared/testdata"), and whether it is there: a clone without
// it skips the tests that read it.
std::string NKTestSharedDataDir(void);
bool NKTestSharedDataPresent(void);

// Skips the running test, naming the folder, when the shared test data is
// absent (used at the top of a test body or a fixture's SetUp).
#define NK_SKIP_WITHOUT_SHARED_TESTDATA()                                                          \
    do {                                                                                           \
        if (!NKTestSharedDataPresent())                                                            \
            GTEST_SKIP() << "test data folder ../shared/testdata is absent: "                      \
                         << NKTestSharedDataDir();                                                 \
    } while (0)

// The whole file, byte for byte; "" when it cannot be opened.
std::string NKTestReadFile(const std::string &path);
// Everything written to the stream so far, read from its start; closes the
// stream (made with tmpfile() by the tests that hand it to a writer).
std::string NKTestReadBack(FILE *pFile);
