// tests/fuzz/fuzz_command_file.cpp -- command files against the example
// beam: the bytes written as a file and run with "source", as a ride file
// or a saved command file is read back.
#include "tests/fuzz/fuzz_support.h"

NK_FUZZ_TARGET(command_file)
{
    NKFuzzInDir inDir;
    if (!NKFuzzProgramWithExample()) return 0;
    NKFuzzWrite("input.qlc", pData, nSize);
    NKFuzzRunLine("source input.qlc");
    return 0;
}
