// app/nk_command_line.h -- the program's command line, read three times at
// start-up: the version request, a pre-read of the options needed before
// the windows exist, and the full parse after the start-up command file,
// which opens the named file.
#pragma once

#include <cstdint>
#include <string>

// Whether full-screen display was asked for ("-fullscreen"); off at start.
extern uint8_t g_bFullScreenRequest;

// argv[1..] joined by blanks; an argument holding a blank is quoted.
std::string NKJoinCommandLine(int argc, char **argv);
// True when one argument is exactly "-version": the version line is then
// printed on standard output.
bool CheckVersionOption(int argc, char **argv);
// "-fullscreen", "-pixelformat [n]", "-software" and "-depth bits".
void PreParseCommandLine(const char *pszLine);
// The file to open and the options; see the .cpp.
void ParseCommandLine(const char *pszLine);
// The usage box, only while the main window exists.
void ShowCommandLineUsage(void);
// How many times the usage box was asked for since start-up, shown or not
// (for the tests).
int NKGetCommandLineUsageRequests(void);
