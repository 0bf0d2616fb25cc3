// tests/fuzz/replay_main.cpp -- the regression replay of the fuzz targets
// in the test build: fuzz_replay TARGET PATH... runs every file named, and
// every file of every folder named, through the target's body once, after
// the empty input. A folder that does not exist holds no inputs yet. Exit
// status 0 when all ran (a fault stops the run through the sanitizers); 2
// for an unknown target or a file that cannot be read.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_support.h"

namespace {

bool RunFile(NKFuzzBody pfnBody, const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    std::printf("replay %s (%zu bytes)\n", path.string().c_str(), bytes.size());
    std::fflush(stdout);
    pfnBody(bytes.data(), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: fuzz_replay TARGET [FILE|FOLDER]...\n");
        return 2;
    }
    NKFuzzBody pfnBody = NKFuzzFind(argv[1]);
    if (pfnBody == nullptr) {
        std::fprintf(stderr, "fuzz_replay: no target %s\n", argv[1]);
        return 2;
    }
    static const uint8_t s_aEmpty[1] = {0};
    pfnBody(s_aEmpty, 0);
    int iRun = 1;
    for (int i = 2; i < argc; i++) {
        std::filesystem::path path(argv[i]);
        std::vector<std::filesystem::path> files;
        if (!std::filesystem::exists(path)) {
            std::printf("no inputs at %s\n", path.string().c_str());
            continue;
        }
        if (std::filesystem::is_directory(path)) {
            for (const auto &entry : std::filesystem::directory_iterator(path))
                if (entry.is_regular_file()) files.push_back(entry.path());
            std::sort(files.begin(), files.end());
        } else {
            files.push_back(path);
        }
        for (const auto &file : files) {
            if (!RunFile(pfnBody, file)) {
                std::fprintf(stderr, "fuzz_replay: cannot read %s\n", file.string().c_str());
                return 2;
            }
            iRun++;
        }
    }
    std::printf("%d inputs replayed through %s\n", iRun, argv[1]);
    return 0;
}
