// bench/reservoir_set.cpp -- times the IES Output3D reader on a set of
// 50 x 50 x 50 hexahedra in 5 geological units (written by
// NKOutput3DWriteGrid in a temporary folder, so in the page cache): the
// geometry of one event (NKOutput3DGetGeometry) in elements per second, and
// one scalar event (NKOutput3DGetScalar) in MB/s of its records, each the
// best of a few runs on one core. The aims: geometry >= 250,000 elements/s,
// a scalar event >= 300 MB/s.
// Usage: bench_reservoir_set [RUNS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/nk_message.h"
#include "core/nk_model.h"
#include "readers/nk_output3d.h"
#include "tests/test_support/output3d_test_writer.h"
#include "tests/test_support/test_files.h"

namespace {

const int kCells = 50;  // hexahedra along each axis
const int kUnits = 5;
const int kEvents = 2;

double Seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Best geometry and scalar times over the runs; false when a read fails.
bool TimeReads(const std::string &file, int iRuns, double *pdGeo, double *pdScalar)
{
    *pdGeo = *pdScalar = 1e30;
    for (int r = 0; r < iRuns; r++) {
        if (!NKOutput3DOpen(file.c_str())) return false;
        auto start = std::chrono::steady_clock::now();
        NKGeometry *pGeo = NKOutput3DGetGeometry(r % kEvents);
        *pdGeo = std::min(*pdGeo, Seconds(start));
        if (pGeo == nullptr) return false;
        start = std::chrono::steady_clock::now();
        NKScalarResult *pScalar = NKOutput3DGetScalar(0, r % kEvents, pGeo);
        *pdScalar = std::min(*pdScalar, Seconds(start));
        bool bOk = pScalar != nullptr;
        NKReleaseScalarResult(pScalar);
        NKReleaseGeometry(pGeo);
        NKOutput3DClose();
        if (!bOk) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char **argv)
{
    int iRuns = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    g_pModel = NKCreateModel();
    NKToggleMessageOutput(false);
    std::string dir = NKTestMakeTempDir("quolin_bench_reservoir_");
    if (dir.empty() || !NKOutput3DWriteGrid(dir, "grid", kCells, kCells, kCells, kUnits, kEvents)) {
        fprintf(stderr, "Cannot write the set\n");
        return 1;
    }
    double dGeo = 0, dScalar = 0;
    bool bOk = TimeReads(dir + "/grid.e00", iRuns, &dGeo, &dScalar);
    NKTestRemoveDir(dir);
    if (!bOk) {
        fprintf(stderr, "Reading the set failed\n");
        return 1;
    }
    const double dElements = (double)kCells * kCells * kCells;
    const double dScalarMB = dElements * 32.0 / 1e6;
    printf("%d x %d x %d hexahedra, %d units\n", kCells, kCells, kCells, kUnits);
    printf("  NKOutput3DGetGeometry  %8.4f s  %10.0f elements/s\n", dGeo, dElements / dGeo);
    printf("  NKOutput3DGetScalar    %8.4f s  %10.0f MB/s\n", dScalar, dScalarMB / dScalar);
    NKDestroyModel(g_pModel);
    return 0;
}
