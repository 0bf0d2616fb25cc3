// export/nk_plot_output.h -- printing the scene or the plot on the default
// printer and writing it as a PostScript file, laid out on the page set-up
// (export/nk_page_setup.h). The print commands of the shell call these
// with the 3-D view's size, the plot commands (`plt print`, `plt tops`)
// with target 2 and the plot's, through the output NKRegisterPlotOutput
// installs (`plt tobmp` writes through NKWritePlotBitmapFile,
// export/nk_bmp_files.h).
#pragma once

struct NKPageSetup;

// Prints the scene (target 2: the plot; -1: the set-up's default target)
// for a picture of iWidth : iHeight (0 counts as 1). A null set-up is the
// global one, filled from the default printer on first use. 1 when
// printed, 0 otherwise; the status line tells which.
int NKPrintScene(NKPageSetup *pSetup, int iWidth, int iHeight, int iTarget);
// Renders the scene or the plot and writes it as EPS placed on the page;
// a null file name makes a temporary one. True when written; otherwise the
// target is left as it was.
bool NKGeneratePostScript(NKPageSetup *pSetup, int iWidth, int iHeight, int iTarget,
                          const char *pszFileName);

// Gives the plot commands their bitmap, printer and PostScript output
// (NKSetPlotOutput, plot/nk_plot_commands.h). Run once at start-up.
void NKRegisterPlotOutput(void);
