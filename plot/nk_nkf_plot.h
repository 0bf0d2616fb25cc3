// plot/nk_nkf_plot.h -- NKF plot files as plot source 3: an NKF file whose
// "*2DPLOTSERIES" blocks (nkf/nkf_commands_plots.h) are read with a parser
// of this source's own, apart from the model import. The file is the one
// category (named by the file-name part of its path), its plot-series
// blocks the components (in block-ID order), their series the curves. The
// dispatcher (nk_plot_source.h) calls these functions.
#pragma once

struct PlotCurve;
struct PlotRecord;

// Replaces any earlier plot file by pszFileName and parses it. False, with
// the error reported, when the file cannot be parsed; a file without plot
// blocks opens (with an error saying so) as a source with no components.
bool NKNKFPlotInit(const char *pszFileName);
// Frees the parser; nothing else to close.
void NKNKFPlotFree(void);
char **NKNKFPlotGetCategoryNames(void);
int NKNKFPlotGetComponentCount(void);
char **NKNKFPlotGetComponentNames(void);
// 0 / null for a missing block.
int NKNKFPlotGetSeriesCount(int iComponent);
char **NKNKFPlotGetSeriesNames(int iComponent);
// One curve per series of the block whose name is among ppszNames (block
// order, each once); the number made, 0 on failure.
int NKNKFPlotReadCurves(int iComponent, char **ppszNames, int iCount, PlotCurve **ppCurves);
bool NKNKFPlotSetDefaults(PlotRecord *pPlot);
// Titles from the block; false when it is missing.
bool NKNKFPlotSetTitles(PlotRecord *pPlot, int iComponent);
