// tests/scripts/write_brick_history.cpp -- writes the one-brick LS-DYNA
// time-history database of the tests (tests/test_support/lsdyna_th_brick.h)
// with states at times 0, 0.5, 1 ... (three, or the number given after the
// file name) to the file named on its command line, for the scripts that
// run the program on one.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tests/test_support/lsdyna_th_brick.h"

int main(int argc, char **argv)
{
    const int iStates = argc == 3 ? std::atoi(argv[2]) : 3;
    if (argc < 2 || argc > 3 || iStates < 1) {
        std::fprintf(stderr, "usage: write_brick_history FILE [STATES]\n");
        return 2;
    }
    std::vector<double> times;
    for (int k = 0; k < iStates; k++) times.push_back(0.5 * k);
    LSDynaTestWriter writer;
    LSDynaWriteBrickHistory(&writer, times);
    if (!writer.Save(argv[1])) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
