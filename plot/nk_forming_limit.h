// plot/nk_forming_limit.h -- the forming limit diagram as plot source 2, as
// the plot-source dispatcher (nk_plot_source.h) calls it: initialisation,
// its one category and component, the series "Limit" and "Strains
// scatter", curves, defaults, titles and close.
#pragma once

struct PlotCurve;
struct PlotRecord;

// Placeholder: the diagram itself comes with the forming limit diagram; until
// then every answer is the neutral one (false, 0 or null).
namespace FormingLimitPlot {
bool Init(const char *pszFileName);
bool Close(void);
char **GetCategoryNames(void);
int GetComponentCount(int iCategory);
char **GetComponentNames(int iCategory);
int GetSeriesCount(int iCategory, int iComponent);
char **GetSeriesNames(int iCategory, int iComponent);
int ReadCurves(int iCategory, int iComponent, char **ppszNames, int iCount, PlotCurve **ppCurves);
bool SetDefaults(PlotRecord *pPlot);
bool SetTitles(PlotRecord *pPlot, int iCategory, int iComponent);
}  // namespace FormingLimitPlot
