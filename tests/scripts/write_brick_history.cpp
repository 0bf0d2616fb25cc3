// tests/scripts/write_brick_history.cpp -- writes the one-brick LS-DYNA
// time-history database of the tests (tests/test_support/lsdyna_th_brick.h)
// with states at times 0, 0.5 and 1 to the file named on its command line,
// for the scripts that run the program on one.
#include <cstdio>

#include "tests/test_support/lsdyna_th_brick.h"

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: write_brick_history FILE\n");
        return 2;
    }
    LSDynaTestWriter writer;
    LSDynaWriteBrickHistory(&writer, {0.0, 0.5, 1.0});
    if (!writer.Save(argv[1])) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
