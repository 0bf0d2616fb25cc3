// commands/nk_batch_reports.h -- the `testdir` and `testopenperf` reports:
// every file of a directory that matches a mask is opened in turn through
// the command language (open, readstate, closefiles) and a text report is
// written line by line. NKRegisterBatchReports puts the two commands into
// the slots of commands/nk_command_files.h.
#pragma once

#include <cstdint>
#include <cstdio>

#include "core/nk_string.h"

// One report run: the directory, the mask and the output file name, the
// open output file and whether the view is redrawn after each step.
struct NKBatchReport {
    NKString directory;
    NKString mask = NKString("*.*");
    NKString output;
    FILE *pOutput = nullptr;
    uint8_t bRedraw = 0;
};

// Both read every state of each matching file (`testdir`) or time its
// loading (`testopenperf`); false when the output file cannot be opened
// ("Illegal output file specified"). The current directory is the same
// afterwards on every path.
bool NKCommandTestDir(const char *pszDirectory, const char *pszMask, const char *pszOutput);
bool NKCommandTestOpenPerf(const char *pszDirectory, const char *pszMask, const char *pszOutput);

// The report of one file of each command; false when it could not be opened
// or a state could not be read.
bool BatchReportCommand(NKBatchReport *pReport, const char *pszFileName);
bool LoadTimeReportCommand(NKBatchReport *pReport, const char *pszFileName);

// "1 hour, 2 minutes, 3 seconds, 4 ms": the non-zero parts, singular for 1;
// the empty text for 0.
NKString FormatDuration(int64_t iMilliseconds);

// The text and a line break go to the output file, which is flushed so that
// a report cut short by a crash keeps every line written.
void WriteReportLine(NKBatchReport *pReport, const char *pszText);

// Fills the `testdir` and `testopenperf` slots.
void NKRegisterBatchReports(void);
