// bench/lsdyna_glstat.cpp -- times reading the "Total energy" curve of a
// generated GLSTAT file of 50,000 states through the LS-DYNA ASCII plot
// source, one core, the file in the page cache (the scan reads it first).
// The rate is the file's bytes over the time. The aim: >= 200 MB/s.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/nk_memory.h"
#include "core/nk_plot_records.h"
#include "readers/nk_lsdyna_ascii.h"

namespace {

const int kStates = 50000;
char g_szDir[] = "/tmp/glstatbenchXXXXXX";

// One line as the solver prints it: the label padded with dots to 32
// characters and the number in characters 34 to 45.
void PutLine(FILE *f, const char *pszLabel, double v)
{
    std::string label = std::string(" ") + pszLabel;
    label.resize(32, '.');
    std::fprintf(f, "%s  %12.5E\n", label.c_str(), v);
}

// Writes GLSTAT into a fresh folder and makes it the working directory;
// returns the file's size in bytes, 0 on failure.
long WriteGlstat(void)
{
    if (mkdtemp(g_szDir) == nullptr || chdir(g_szDir) != 0) return 0;
    FILE *f = std::fopen("GLSTAT", "w");
    if (f == nullptr) return 0;
    std::fprintf(f, " generated run\n ls-dyna smp d R14\n\n");
    const char *apszLabels[] = {"kinetic energy",
                                "internal energy",
                                "spring and damper energy",
                                "hourglass energy",
                                "system damping energy",
                                "sliding interface energy",
                                "external work",
                                "eroded kinetic energy",
                                "total energy",
                                "total energy / initial energy",
                                "global x velocity",
                                "global y velocity",
                                "global z velocity"};
    for (int s = 0; s < kStates; s++) {
        std::fprintf(f, "\n dt of cycle %7d is controlled by shell      1234\n\n", s + 1);
        PutLine(f, "time", s * 1e-4);
        PutLine(f, "time step", 1e-4);
        for (const char *pszLabel : apszLabels) PutLine(f, pszLabel, 1.0 + s * 1e-3);
        std::fprintf(f, " time per zone cycle.(nanosec)..  %12d\n", 123);
    }
    long iSize = std::ftell(f);
    return std::fclose(f) == 0 ? iSize : 0;
}

void GlstatTotalEnergy(benchmark::State &state)
{
    static long s_iBytes = WriteGlstat();
    if (s_iBytes <= 0 || !LSDynaAsciiPlotSource::Init(nullptr)) {
        state.SkipWithError("cannot write or scan GLSTAT");
        return;
    }
    char **ppNames = LSDynaAsciiPlotSource::GetComponentNames(NK_ASCII_GLSTAT);
    int n = LSDynaAsciiPlotSource::GetComponentCount(NK_ASCII_GLSTAT), iTotal = -1;
    for (int k = 0; k < n; k++)
        if (std::string(ppNames[k]) == "Total energy") iTotal = k;
    NKFreeBlockArray((void **)ppNames, n);
    for (auto _ : state) {
        PlotCurve *p = LSDynaAsciiPlotSource::ReadCurve(NK_ASCII_GLSTAT, iTotal, "1234");
        if (p == nullptr || p->iNumPoints != kStates) state.SkipWithError("read failed");
        NKFreePlotCurve(p);
    }
    state.SetBytesProcessed((int64_t)state.iterations() * s_iBytes);
}

}  // namespace

BENCHMARK(GlstatTotalEnergy)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // The generated file and its folder go again.
    std::remove((std::string(g_szDir) + "/GLSTAT").c_str());
    rmdir(g_szDir);
    return 0;
}
