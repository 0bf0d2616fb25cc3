// bench/open_close_soak.cpp -- the memory a model leaves behind after it is
// closed. The built program (quolin, beside this benchmark) runs a command
// file of CYCLES "open" / "closefiles" pairs of one model in one process,
// and again with 100 pairs; the difference of the two runs' peak resident
// sizes over the difference of their cycles is what each cycle keeps. The
// models: the example beam (NKF) and the d3plot of
// ../shared/testdata/lsdyna/lasso-python/d3plot_beamip (skipped, saying so,
// when that folder is absent). Each run has a fresh home whose
// "fileopen.qlc" is empty, so that an open only opens. Aim: at most 1 KB a
// cycle for both. Needs an X display (run under xvfb-run).
// Usage: bench_open_close_soak [CYCLES]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/test_support/test_files.h"

namespace {

const int kBaseCycles = 100;

// The peak resident size in KB of the program running iCycles open/close
// pairs of the model in a fresh home under dir; -1 when the run fails.
long PeakKilobytes(const std::string &program, const std::string &dir, const std::string &model,
                   int iCycles)
{
    const std::string home = dir + "/home", config = home + "/.config";
    mkdir(home.c_str(), 0700);
    mkdir(config.c_str(), 0700);
    mkdir((config + "/Brovik").c_str(), 0700);
    std::string commands;
    for (int i = 0; i < iCycles; i++) commands += "open \"" + model + "\"\nclosefiles\n";
    commands += "exit\n";
    const std::string file = dir + "/soak.qlc", out = dir + "/out.txt";
    if (!NKTestWriteText(config + "/Brovik/fileopen.qlc", "") || !NKTestWriteText(file, commands))
        return -1;
    pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        setenv("HOME", home.c_str(), 1);
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        setenv("XDG_DATA_HOME", (home + "/.local").c_str(), 1);
        int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd >= 0) {
            dup2(fd, 1);
            dup2(fd, 2);
        }
        execl(program.c_str(), program.c_str(), file.c_str(), (char *)nullptr);
        _exit(127);
    }
    int iStatus = 0;
    struct rusage usage = {};
    if (wait4(pid, &iStatus, 0, &usage) != pid || !WIFEXITED(iStatus) || WEXITSTATUS(iStatus) != 0)
        return -1;
    // A failed open would leave nothing to measure.
    if (NKTestReadFile(out).find("Error") != std::string::npos) return -1;
    return usage.ru_maxrss;
}

// Prints the growth per cycle of one model; false when a run fails.
bool Soak(const char *pszName, const std::string &program, const std::string &dir,
          const std::string &model, int iCycles)
{
    long iBase = PeakKilobytes(program, dir, model, kBaseCycles);
    long iMany = PeakKilobytes(program, dir, model, kBaseCycles + iCycles);
    if (iBase < 0 || iMany < 0) {
        std::fprintf(stderr, "Running %s on %s failed (see %s/out.txt)\n", program.c_str(),
                     model.c_str(), dir.c_str());
        return false;
    }
    double dPerCycle = (double)(iMany - iBase) / iCycles;
    std::printf("%-6s %5d cycles: peak %ld KB after %d, %ld KB after %d: %.2f KB a cycle (aim "
                "<= 1)\n",
                pszName, iCycles, iBase, kBaseCycles, iMany, kBaseCycles + iCycles, dPerCycle);
    return true;
}

}  // namespace

int main(int argc, char **argv)
{
    const int iCycles = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    const std::string program = NKTestProgramBeside(argv[0]);
    std::string dir = NKTestMakeTempDir("quolin_bench_soak_");
    if (dir.empty()) return 1;
    bool bOk = Soak("NKF", program, dir, NKTestExamplePath("beam.nkf"), iCycles);
    const std::string family = NKTestSharedDataDir() + "/lsdyna/lasso-python/d3plot_beamip";
    struct stat info;
    if (stat(family.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        std::printf("d3plot: %s is absent, skipped\n", family.c_str());
    else
        bOk = Soak("d3plot", program, dir, family + "/d3plot", iCycles) && bOk;
    if (bOk) NKTestRemoveDir(dir);
    return bOk ? 0 : 1;
}
