// bench/lsdyna_states.cpp -- times reading every state of the shared
// LS-DYNA projectile family (R14, double precision, 5664 solids, 16 states
// in 16 files) with NKLSDynaReadState: the rate is the states' bytes over
// the time, one core, the files in the page cache (a first untimed pass
// warms it). Each figure is the best of a few runs. The aim: >= 500 MB/s.
// Usage: bench_lsdyna_states [RUNS] [FAMILY BASE FILE]
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "readers/nk_lsdyna.h"
#include "tests/test_support/test_files.h"

namespace {

std::string DefaultFamily(void)
{
    return NKTestSharedDataDir() + "/lsdyna/ansys-example-data/d3plot_projectile/d3plot";
}

// Seconds to read every state once; -1 when one cannot be read.
double ReadAllStates(void)
{
    auto t0 = std::chrono::steady_clock::now();
    for (int s = 0; s < NKLSDynaGetNumStates(); s++)
        if (!NKLSDynaReadState(s)) return -1.0;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main(int argc, char **argv)
{
    int iRuns = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::string family = argc > 2 ? argv[2] : DefaultFamily();
    // A clone without the shared test data has no default family to time.
    if (argc <= 2 && access(family.c_str(), R_OK) != 0) {
        std::printf("skipped: test data folder ../shared/testdata is absent (%s)\n",
                    family.c_str());
        return 0;
    }
    if (!NKLSDynaOpen(family.c_str()) || NKLSDynaGetNumStates() < 1) {
        std::fprintf(stderr, "cannot open %s\n", family.c_str());
        return 1;
    }
    const LSDynaControlData &g = *NKLSDynaGetControlData();
    double fBytes = 0.0;
    for (const LSDynaStateInfo &s : g.states) fBytes += (double)s.iSize * g.iWordSize;
    ReadAllStates();  // page cache
    double fBest = 1e30;
    for (int r = 0; r < iRuns; r++) {
        double t = ReadAllStates();
        if (t < 0) {
            std::fprintf(stderr, "state read failed\n");
            return 1;
        }
        fBest = std::min(fBest, t);
    }
    std::printf("%d states, %.1f MB of state words: best %.4f s, %.0f MB/s (aim >= 500)\n",
                NKLSDynaGetNumStates(), fBytes / 1e6, fBest, fBytes / 1e6 / fBest);
    NKLSDynaClose();
    return 0;
}
