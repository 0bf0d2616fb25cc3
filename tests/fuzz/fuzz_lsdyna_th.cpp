// tests/fuzz/fuzz_lsdyna_th.cpp -- the LS-DYNA time-history database as
// plot source 0: its categories, components, series, curves and geometry.
#include "plot/nk_plot_source.h"
#include "tests/fuzz/fuzz_support.h"

NK_FUZZ_TARGET(lsdyna_th)
{
    NKFuzzClearDir();
    std::string path = NKFuzzWrite("d3thdt", pData, nSize);
    NKFuzzReadPlotSource(NK_PLOT_SOURCE_TH, path);
    return 0;
}
