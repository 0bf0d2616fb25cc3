// tests/fuzz/fuzz_nkf.cpp -- NKF files, ASCII and binary: the parse with
// every block loaded and built, then the file opened as the data source
// with the geometry and results of its first steps.
#include "core/nk_data_source_kind.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/test_support/nkf_test_parse.h"

NK_FUZZ_TARGET(nkf)
{
    NKFuzzQuiet();
    std::string path = NKFuzzWrite("input.nkf", pData, nSize);
    NKFExerciseEveryBlock(path, true);
    NKFExerciseEveryBlock(path, false);
    NKFuzzReadDataSource(NK_INTERFACE_NKF, path);
    return 0;
}
