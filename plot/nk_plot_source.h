// plot/nk_plot_source.h -- the plot-source dispatcher: one current plot
// source and the fixed contract every source answers, plus the one plot
// builder over that contract.
//
// Sources: 0 the LS-DYNA time-history database (readers/nk_lsdyna_th.h), 1
// the LS-DYNA ASCII output files (readers/nk_lsdyna_ascii.h), 2 the forming
// limit diagram (nk_forming_limit.h), 3 NKF plot files (nk_nkf_plot.h), 6
// none. Any other number (4 is asked for by `openths`) has no source: every
// query then answers 0, false or null. Init and Close are reached by the
// lower folders through the core slots NKPlotInterfaceInit
// (core/nk_load_hooks.h) and NKPlotInterfaceClose (core/nk_shell_hooks.h),
// which NKInstallPlotHooks fills. Name arrays hold 257-character entries
// from NKAllocBlockArray; the caller frees them with NKFreeBlockArray.
#pragma once

struct NKGeometry;
struct PlotCurve;
struct PlotRecord;

enum {
    NK_PLOT_SOURCE_TH = 0,
    NK_PLOT_SOURCE_ASCII = 1,
    NK_PLOT_SOURCE_FLD = 2,
    NK_PLOT_SOURCE_NKF = 3,
    NK_PLOT_SOURCE_NONE = 6
};
// Size of one entry of a name array (256 characters and the terminator).
constexpr int NK_PLOT_NAME_SIZE = 257;

// Makes iSource current (whatever the result), then lets it open or scan
// the file; true when it could.
bool NKPlotSourceInit(int iSource, const char *pszFileName);
// Closes the current source; the current source becomes 6 in every case.
bool NKPlotSourceClose(void);
// While set, the core close slot (the reset before a new model) leaves the
// current source open; NKPlotSourceClose still closes it.
void NKPlotSourceKeepOpen(bool bKeep);
int NKGetCurrentPlotSource(void);
bool NKPlotSourceIsCurrent(int iSource);
bool NKPlotSourceNeedsGeometry(int iSource);
int NKPlotSourceGetStateCount(void);
int NKPlotSourceGetCategoryCount(void);
char **NKPlotSourceGetCategoryNames(void);
int NKPlotSourceGetComponentCount(int iCategory);
char **NKPlotSourceGetComponentNames(int iCategory);
int NKPlotSourceGetSeriesCount(int iCategory, int iComponent);
char **NKPlotSourceGetSeriesNames(int iCategory, int iComponent);
// Answers only while source 0 is current; null otherwise.
NKGeometry *NKPlotSourceReadGeometry(int iValue);
PlotCurve *NKPlotSourceReadCurve(int iCategory, int iComponent, int iUnused);
int NKPlotSourceReadCurves(int iCategory, int iComponent, char **ppszNames, int iCount,
                           PlotCurve **ppCurves);
bool NKPlotSourceSetDefaults(PlotRecord *pPlot);
bool NKPlotSourceSetTitles(PlotRecord *pPlot, int iCategory, int iComponent);
// Prints the categories (both -1), a category's components (component -1)
// or a component's series; false when no source is current.
bool NKPlotInterfaceInfo(int iCategory, int iComponent);
// Replaces the plot's curves by those of the named series (or the single
// curve of a component without series), styles them, then sets defaults,
// titles, data range and axes. True; false, the plot left as it was, when
// the source refused the read (its files changed on disk since the open).
bool NKPlotSourceBuildPlot(int iCategory, int iComponent, char **ppszNames, int iCount,
                           PlotRecord *pPlot);
// Fills the plot slots of core (plot source init and close, plot exists).
void NKInstallPlotHooks(void);
