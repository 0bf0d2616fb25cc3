// tests/fuzz/fuzz_line_files.cpp -- line files through the readers in the
// program's order (binary, HYDRO, frame, stiffener, raw) into a list that
// is cleared after each input.
#include "tests/fuzz/fuzz_support.h"
#include "tools/nk_line_sets.h"

NK_FUZZ_TARGET(line_files)
{
    NKFuzzQuiet();
    if (g_pLineSetList == nullptr) NKCreateLineSetList();
    std::string path = NKFuzzWrite("input.lin", pData, nSize);
    int iNodes = 0;
    NKReadLineFile(g_pLineSetList, path.c_str(), &iNodes);
    NKResetLineSetList(false);
    return 0;
}
