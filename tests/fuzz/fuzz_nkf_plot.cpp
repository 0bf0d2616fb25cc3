// tests/fuzz/fuzz_nkf_plot.cpp -- NKF plot files as plot source 3: every
// plot-series block's curves, defaults and titles.
#include "plot/nk_plot_source.h"
#include "tests/fuzz/fuzz_support.h"

NK_FUZZ_TARGET(nkf_plot)
{
    NKFuzzClearDir();
    std::string path = NKFuzzWrite("input.nkf", pData, nSize);
    NKFuzzReadPlotSource(NK_PLOT_SOURCE_NKF, path);
    return 0;
}
