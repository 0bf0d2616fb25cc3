// bench/line_files.cpp -- times NKReadLineFile on two files written into a
// temporary folder: a raw ASCII file of 1,000,000 points ("x y z" a line)
// and a binary line file of 1,000,000 segments in one group. Each run reads
// the file (in the page cache after the first run) into an empty list, on
// one core; the rate is the file's size over the time. The aims: raw >= 40
// MB/s, binary >= 200 MB/s. No model is loaded, so points are stored as read.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "core/nk_message.h"
#include "tools/nk_line_sets.h"

namespace {

const int kCount = 1000000;

std::string TempPath(const char *pszName)
{
    return (std::filesystem::temp_directory_path() / pszName).string();
}

void PutWord(FILE *f, uint32_t u)
{
    unsigned char b[4] = {uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)};
    std::fwrite(b, 1, 4, f);
}

std::string WriteRaw(void)
{
    std::string path = TempPath("quolin_bench_lines_raw.txt");
    FILE *f = std::fopen(path.c_str(), "wb");
    for (int i = 0; f != nullptr && i < kCount; i++)
        std::fprintf(f, "%.6f %.6f %.6f\n", i * 0.001, (i % 977) * 0.5, (i % 13) * 0.25);
    if (f != nullptr) std::fclose(f);
    return path;
}

std::string WriteBinary(void)
{
    std::string path = TempPath("quolin_bench_lines_bin.dat");
    FILE *f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return path;
    PutWord(f, uint32_t(-160871));  // magic
    PutWord(f, 1);                  // groups
    PutWord(f, kCount);             // segments
    PutWord(f, 255);
    PutWord(f, 0);
    PutWord(f, 0);
    for (int i = 0; i < kCount; i++)
        for (int k = 0; k < 6; k++) {
            float v = float(i + k);
            uint32_t u;
            std::memcpy(&u, &v, 4);
            PutWord(f, u);
        }
    std::fclose(f);
    return path;
}

void ReadFile(benchmark::State &state, const std::string &path)
{
    NKToggleMessageOutput(false);
    int64_t iBytes = int64_t(std::filesystem::file_size(path));
    for (auto _ : state) {
        LineSetList list;
        int iNodes = 0;
        benchmark::DoNotOptimize(NKReadLineFile(&list, path.c_str(), &iNodes));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * iBytes);
    NKToggleMessageOutput(true);
}

void BM_ReadRawLineFile(benchmark::State &state)
{
    static const std::string s_path = WriteRaw();
    ReadFile(state, s_path);
}

void BM_ReadBinaryLineFile(benchmark::State &state)
{
    static const std::string s_path = WriteBinary();
    ReadFile(state, s_path);
}

}  // namespace

BENCHMARK(BM_ReadRawLineFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadBinaryLineFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
