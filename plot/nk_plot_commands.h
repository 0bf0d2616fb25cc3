// plot/nk_plot_commands.h -- the plot command handler NKCommandHandlePlot
// (slot NK_HANDLER_PLOT) and its sub-command parsers: `th`
// (NKCommandParseThCmd), `plt` (PlotCommand) and `np` (NodePlotCommand,
// nk_node_plot.h), with `trace`, `plot`, `plotsize`, `rplot` and the other
// short forms, and the `export plot` row of the file commands, which lives
// here because the command language cannot reach the plots.
#pragma once

#include <string>
#include <vector>

#include "commands/nk_command.h"

// The parsers' answers: 1 done, 0 failed, -1 no sub-command, -2 unknown
// sub-command, -3 bad arguments; `th plot` answers -5 (failed, no further
// message) when the source refused the read and reported it.
int NKCommandParseThCmd(const char *pszArguments);
bool PlotCommand(const char *pszArguments);
int NKCommandHandlePlot(CommandTableEntry *pEntry, const char *pszArguments);
// Fills the handler slot and the plot slots of core.
void NKRegisterPlotCommands(void);
// The plot scale factor, set to 2.0 for every new model (the commands that
// would read it, plotdouble and plotsingle, are not in this version).
extern float g_fPlotScale;
// The plot's picture output for `plt tobmp`, `plt print` and `plt tops`:
// rendering off-screen is export's work (export/nk_plot_output.h), which
// fills these at start-up with NKRegisterPlotOutput. Each gets the plot's
// size; an empty slot answers failure.
struct NKPlotOutput {
    // 1 when the bitmap file was written.
    int (*pfnWriteBitmap)(int iWidth, int iHeight, const char *pszFileName) = nullptr;
    // 1 when printed on the default printer.
    int (*pfnPrint)(int iWidth, int iHeight) = nullptr;
    // True when the PostScript file was written.
    bool (*pfnWritePostScript)(int iWidth, int iHeight, const char *pszFileName) = nullptr;
};
// Installs the output and returns the one installed before.
NKPlotOutput NKSetPlotOutput(const NKPlotOutput &output);
// Asks for a redraw of the 3-D view unless the plot has its own window.
void NKInvalidateViewForPlot(void);

// The blank-separated words of a text; with bReduceCommas the blanks before
// and after each comma go first, so "1 , 2" is the one word "1,2".
std::vector<std::string> NKSplitPlotWords(const char *pszText, bool bReduceCommas);
// True when the word's first iLength characters equal the keyword's (a
// keyword shorter than iLength then asks for the word exactly).
bool NKPlotKeywordMatches(const std::string &word, const char *pszKeyword, int iLength);
