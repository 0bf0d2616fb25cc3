// app/nk_benchmark.h -- the drawing benchmark behind `benchmark`: the loaded
// model is drawn in eleven render modes, each mode's rate (items drawn per
// second) is scored against a built-in reference machine (10 = as fast),
// and the rows go to "benchmark.txt" in the current directory.
#pragma once

#include <cstdint>

#include "core/nk_string.h"

class NKOutputFile;

enum { NK_BENCHMARK_MODES = 11 };

struct NKBenchmarkEntry {
    NKString name;
    int32_t iValue = 0;
};

class NKBenchmark {
public:
    NKBenchmarkEntry entries[NK_BENCHMARK_MODES];
    NKString machine;
    NKString board;
    NKString model;

    // This rate x 10 / the reference machine's rate of the mode.
    double GetScore(int iMode) const;
    // The scores weighted by the weights, divided by the weights' sum (23).
    double GetTotalScore() const;
    // The eleven values added up.
    int64_t GetSum() const;
};

// The reference machine ("Pentium III 500 MHz") and the weights.
const NKBenchmark &NKGetReferenceBenchmark(void);
const NKBenchmark &NKGetBenchmarkWeights(void);
// A record with the eleven mode names and no values.
NKBenchmark NKMakeBenchmarkRecord(void);

// The settings of one run: the file name and the four flags (write the
// file, unused, write the rates row, write the scores row).
struct NKBenchmarkSettings {
    NKString fileName = NKString("benchmark.txt");
    uint8_t bWriteFile = 1;
    uint8_t bUnused = 1;
    uint8_t bWriteRates = 1;
    uint8_t bWriteScores = 1;
};

// Draws n frames (frame i mod the frame count) and answers items per
// second: n x items / elapsed seconds, clamped to 0..2^31-1, 0 when no time
// elapsed.
int32_t MeasureRate(int n, int iItemsPerFrame);
// Runs the eleven modes on this machine's record; the total score.
float RunBenchmark(NKBenchmark *pMachine, int n);
// Makes this machine's record, runs the benchmark and adds its rows to the
// file (a new file gets the header and the reference rows first); the
// total score, or -1.0 when the file cannot be written.
float WriteBenchmarkFile(const NKBenchmarkSettings &settings, int n);
// "machine;board;" then the eleven rates ("%d;") or scores ("%.1f;"), the
// total score ("%.1f") and a line break.
void WriteBenchmarkRow(const NKBenchmark &record, NKOutputFile *pFile, bool bRates);

// The `benchmark` command's work: false, with nothing run or written, when
// no model is loaded. A count below 1 counts as 1.
bool NKRunBenchmark(int iFrames);
