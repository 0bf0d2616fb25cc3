// plot/nk_forming_limit.h -- the forming limit diagram as plot source 2, as
// the plot-source dispatcher (nk_plot_source.h) calls it: initialisation,
// its one category and component, the series "Limit" and "Strains
// scatter", curves, defaults, titles and close.
#pragma once

#include <vector>

struct NKSelectionList;
struct PlotCurve;
struct PlotRecord;

// Init clears everything and answers false unless an LS-DYNA database with
// local shell strains is open; names and curves follow the plot-source
// contract (nk_plot_source.h).
namespace FormingLimitPlot {
bool Init(const char *pszFileName);
// One category (the limit file); its one component needs a limit curve.
#include "readers/nk_plot_source_queries.h"
int ReadCurves(int iCategory, int iComponent, char **ppszNames, int iCount, PlotCurve **ppCurves);
bool SetDefaults(PlotRecord *pPlot);
bool SetTitles(PlotRecord *pPlot, int iCategory, int iComponent);
// Asks the shown series again and rebuilds the current plot from them;
// false without a current plot or without shown series.
bool UpdatePlot(void);
// The positions in the strain scatter of the selected shells (element
// selection mode 2) whose strains are defined.
void SelectedShells(std::vector<int> *pOut);
// Whether the selected shells of the list differ from those last stored by
// SelectedShells.
bool SelectionChanged(const NKSelectionList &list);
// Fills the core slot of the update after a state is read.
void InstallHooks(void);
}  // namespace FormingLimitPlot

// While the forming limit diagram is drawn in its own window, redraws it
// when the shells selected in the view changed; true then. The scene asks
// before each frame's overlays.
bool NKFLDRedrawOnSelection(void);
