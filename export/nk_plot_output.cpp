// export/nk_plot_output.cpp -- the neutral answers of the plot's printer
// and PostScript output until those writers land (see
// nk_plot_output.h).
#include "export/nk_plot_output.h"

int NKPrintScene(const NKPageSetup *, int, int, int) { return 0; }

bool NKGeneratePostScript(const NKPageSetup *, int, int, int, const char *) { return false; }
