// bench/native_files.cpp -- times the readers of the older native file set on
// large files: a binary geometry file of a 1000 x 1000 grid of
// quadrilaterals (1,002,001 nodes, 4,000,000 connects; written by
// NKWriteGridGeometryFile) and a binary scalar file of 10 steps of one value
// per node of it, both in a temporary folder, the scalar file in each byte
// order. NKReadGeometryFile is timed on the whole file, NKReadScalarFile on
// each step; the rates are the bytes read over the time in MB/s (one core,
// the files in the page cache), each the best of a few runs. The aims:
// geometry >= 200 MB/s, one scalar step >= 500 MB/s.
// Usage: bench_native_files [RUNS]
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/nk_geometry_writers.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "readers/nk_native_geometry.h"
#include "readers/nk_native_result_files.h"
#include "tests/test_support/test_files.h"

namespace {

const int kCells = 1000;  // quadrilaterals along each side of the grid
const int kNodes = (kCells + 1) * (kCells + 1);
const int kSteps = 10;

double Seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void AppendWord(std::vector<uint8_t> *pBytes, uint32_t u, bool bBigEndian)
{
    for (int k = 0; k < 4; k++)
        pBytes->push_back(static_cast<uint8_t>(u >> (bBigEndian ? 24 - 8 * k : 8 * k)));
}

// The scalar file: format 1, kSteps steps, kNodes values, value n of step s
// being s + n / kNodes.
bool WriteScalarFile(const std::string &path, bool bBigEndian)
{
    std::vector<uint8_t> bytes;
    bytes.reserve(12 + 4 * static_cast<size_t>(kSteps) * kNodes);
    for (uint32_t w : {1u, static_cast<uint32_t>(kSteps), static_cast<uint32_t>(kNodes)})
        AppendWord(&bytes, w, bBigEndian);
    for (int s = 0; s < kSteps; s++)
        for (int n = 0; n < kNodes; n++) {
            float f = static_cast<float>(s) + static_cast<float>(n) / kNodes;
            uint32_t u = 0;
            std::memcpy(&u, &f, 4);
            AppendWord(&bytes, u, bBigEndian);
        }
    return NKTestWriteBytes(path, bytes);
}

// Best time of reading the geometry; false when a read fails.
bool TimeGeometry(const std::string &path, int runs, double *pdBest)
{
    for (int r = 0; r < runs; r++) {
        auto t = std::chrono::steady_clock::now();
        NKGeometry *pGeo = NKReadGeometryFile(path.c_str());
        double d = Seconds(t);
        bool bOk = pGeo != nullptr && pGeo->iTotalNumNodes == kNodes &&
                   pGeo->iTotalNumPolygons == kCells * kCells;
        NKReleaseGeometry(pGeo);
        if (!bOk) return false;
        *pdBest = std::min(*pdBest, d);
    }
    return true;
}

// Best time of reading one step, over every step and run; false when a read
// fails or gives the wrong values.
bool TimeScalarSteps(const std::string &path, NKGeometry *pGeo, int runs, double *pdBest,
                     double *pdWorst)
{
    for (int s = 0; s < kSteps; s++) {
        double dStep = 1e30;
        for (int r = 0; r < runs; r++) {
            auto t = std::chrono::steady_clock::now();
            NKScalarResult *pResult = NKReadScalarFile(path.c_str(), s, pGeo);
            double d = Seconds(t);
            bool bOk = pResult != nullptr && pResult->pNodeResults[0].iCount == kNodes &&
                       pResult->pNodeResults[0].pNodeValues[0] == static_cast<float>(s);
            NKReleaseScalarResult(pResult);
            if (!bOk) return false;
            dStep = std::min(dStep, d);
        }
        *pdBest = std::min(*pdBest, dStep);
        *pdWorst = std::max(*pdWorst, dStep);
    }
    return true;
}

int Run(const std::string &dir, int runs)
{
    std::string geoPath = dir + "/grid.geo";
    if (!NKWriteGridGeometryFile(kCells, kCells, 0.001f, 0.001f, geoPath.c_str())) {
        fprintf(stderr, "Cannot write %s\n", geoPath.c_str());
        return 1;
    }
    double dGeoMB = static_cast<double>(NKTestReadFile(geoPath).size()) / 1e6;
    double dGeo = 1e30;
    if (!TimeGeometry(geoPath, runs, &dGeo)) {
        fprintf(stderr, "Reading %s failed\n", geoPath.c_str());
        return 1;
    }
    printf("%s: %.1f MB, %d nodes, %d quadrilaterals\n", geoPath.c_str(), dGeoMB, kNodes,
           kCells * kCells);
    printf("  NKReadGeometryFile      %8.4f s  %8.0f MB/s\n", dGeo, dGeoMB / dGeo);

    NKGeometry *pGeo = NKReadGeometryFile(geoPath.c_str());
    int iResult = pGeo != nullptr ? 0 : 1;
    const double dStepMB = 4.0 * kNodes / 1e6;
    for (int order = 0; order < 2 && iResult == 0; order++) {
        std::string path = dir + (order == 0 ? "/scalar_le.res" : "/scalar_be.res");
        double dBest = 1e30, dWorst = 0.0;
        if (!WriteScalarFile(path, order == 1) ||
            !TimeScalarSteps(path, pGeo, runs, &dBest, &dWorst)) {
            fprintf(stderr, "Writing or reading %s failed\n", path.c_str());
            iResult = 1;
            break;
        }
        printf("%s: %d steps of %.1f MB, %s\n", path.c_str(), kSteps, dStepMB,
               order == 0 ? "little-endian" : "big-endian");
        printf("  NKReadScalarFile, step  %8.4f s  %8.0f MB/s (best step)\n", dBest,
               dStepMB / dBest);
        printf("                          %8.4f s  %8.0f MB/s (slowest step)\n", dWorst,
               dStepMB / dWorst);
    }
    NKReleaseGeometry(pGeo);
    return iResult;
}

}  // namespace

int main(int argc, char **argv)
{
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    std::string dir = NKTestMakeTempDir("quolin_bench_native_files_");
    if (dir.empty()) {
        fprintf(stderr, "Cannot make a temporary folder\n");
        return 1;
    }
    // The readers report what they read; the figures are what matter.
    NKToggleMessageOutput(false);
    int iResult = Run(dir, runs);
    NKTestRemoveDir(dir);
    return iResult;
}
