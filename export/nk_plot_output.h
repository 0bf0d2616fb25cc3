// export/nk_plot_output.h -- the plot's printer and PostScript output as
// the plot commands (`plt print`, `plt tops`) call it, target 2 being the
// plot. Page set-ups are the printing code's. (`plt tobmp` writes through
// NKWritePlotBitmapFile, export/nk_bmp_files.h.)
#pragma once

struct NKPageSetup;

// Placeholder: printing comes with the printer output; answers 0, nothing printed.
int NKPrintScene(const NKPageSetup *pSetup, int iWidth, int iHeight, int iTarget);
// Placeholder: the EPS writer comes with the PostScript output; answers false.
bool NKGeneratePostScript(const NKPageSetup *pSetup, int iWidth, int iHeight, int iTarget,
                          const char *pszFileName);
