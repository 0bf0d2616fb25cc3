// app/nk_command_line.h -- the program's command line, read three times at
// start-up: the version request, a pre-read of the options needed before
// the windows exist, and the full parse after the start-up command file,
// which opens the named file. The full parse gets what the Qt application
// left of the arguments: Qt's options and its platform's ("-display NAME",
// "-platform NAME", "-style NAME", ...) are theirs, never this usage's.
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
// "-fullscreen", "-pixelformat [n]" (no number: -20, ask), "-software"
// (-10, and LIBGL_ALWAYS_SOFTWARE=1 in the environment, so it runs before
// the application is made) and "-depth [bits]" (16 stays 16, else 32).
// Nothing else is looked at.
void PreParseCommandLine(const char *pszLine);
// A file named first on the line (quoted when it holds blanks, or the whole
// line when that names an existing file) is made absolute, its folder made
// current, and opened with "open" after the options are read (a name
// holding a double quote or a line break is refused with an error naming
// it: no command line can carry it); each word that is no option asks for
// the usage box once.
void ParseCommandLine(const char *pszLine);
// The usage box, only while the main window exists.
void ShowCommandLineUsage(void);
// How many times the usage box was asked for since start-up, shown or not
// (for the tests).
int NKGetCommandLineUsageRequests(void);
