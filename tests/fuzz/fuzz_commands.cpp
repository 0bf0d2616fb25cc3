// tests/fuzz/fuzz_commands.cpp -- command lines against the example beam,
// one line per input line (at most 64), the model opened afresh for every
// input.
#include "tests/fuzz/fuzz_support.h"

NK_FUZZ_TARGET(commands)
{
    NKFuzzInDir inDir;
    if (!NKFuzzProgramWithExample()) return 0;
    NKFuzzRunLines(pData, nSize, 64);
    return 0;
}
