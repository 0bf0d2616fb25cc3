// tests/fuzz/fuzz_native.cpp -- the older native file set as data source 3:
// the input holds the results file, the geometry file, a scalar file and a
// vector file, cut apart at NK_FUZZ_SEPARATOR and written as "set.res",
// "geo", "s1" and "v1" (the names the seeds' results files give).
#include "core/nk_data_source_kind.h"
#include "tests/fuzz/fuzz_support.h"

NK_FUZZ_TARGET(native)
{
    NKFuzzClearDir();
    std::vector<std::string> parts = NKFuzzSplit(pData, nSize, 4);
    std::string path = NKFuzzWrite("set.res", parts[0]);
    NKFuzzWrite("geo", parts[1]);
    NKFuzzWrite("s1", parts[2]);
    NKFuzzWrite("v1", parts[3]);
    NKFuzzReadDataSource(NK_INTERFACE_NATIVE, path);
    return 0;
}
