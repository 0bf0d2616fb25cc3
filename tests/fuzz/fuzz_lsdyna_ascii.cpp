// tests/fuzz/fuzz_lsdyna_ascii.cpp -- the LS-DYNA ASCII output files as
// plot source 1. The first byte picks the file kind (its name), the rest
// is the file, read from the current folder as the program reads it.
#include "plot/nk_plot_source.h"
#include "tests/fuzz/fuzz_support.h"

NK_FUZZ_TARGET(lsdyna_ascii)
{
    static const char *const apszNames[] = {"abstat", "matsum", "rcforc", "trhist",
                                            "nodout", "glstat", "deforc"};
    if (nSize < 1) return 0;
    NKFuzzClearDir();
    NKFuzzInDir inDir;
    NKFuzzWrite(apszNames[pData[0] % 7], pData + 1, nSize - 1);
    NKFuzzReadPlotSource(NK_PLOT_SOURCE_ASCII, NKFuzzDir() + "/" + apszNames[pData[0] % 7]);
    return 0;
}
