// export/nk_plot_output.h -- the plot's image, printer and PostScript
// output as the plot commands (`plt tobmp`, `plt print`, `plt tops`) call
// it: a BMP file of the plot rendered off-screen, and the printer and EPS
// output whose target 2 is the plot. Page set-ups are the printing code's.
#pragma once

struct NKPageSetup;

// Placeholder: the BMP writer comes with off-screen rendering; answers 0
// (not the success status 1) and writes nothing.
int NKWritePlotBitmapFile(int iWidth, int iHeight, const char *pszFileName);
// Placeholder: printing comes with the printer output; answers 0, nothing printed.
int NKPrintScene(const NKPageSetup *pSetup, int iWidth, int iHeight, int iTarget);
// Placeholder: the EPS writer comes with the PostScript output; answers false.
bool NKGeneratePostScript(const NKPageSetup *pSetup, int iWidth, int iHeight, int iTarget,
                          const char *pszFileName);
