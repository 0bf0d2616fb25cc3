// tests/fuzz/fuzz_lsdyna_plot.cpp -- LS-DYNA plot databases: the bytes as
// the family's first file alone, then again with a second member made of
// the input's second half, each opened as the data source.
#include "core/nk_data_source_kind.h"
#include "tests/fuzz/fuzz_support.h"

NK_FUZZ_TARGET(lsdyna_plot)
{
    NKFuzzClearDir();
    std::string path = NKFuzzWrite("d3plot", pData, nSize);
    NKFuzzReadDataSource(NK_INTERFACE_LSDYNA, path);
    NKFuzzWrite("d3plot01", pData + nSize / 2, nSize - nSize / 2);
    NKFuzzReadDataSource(NK_INTERFACE_LSDYNA, path);
    return 0;
}
