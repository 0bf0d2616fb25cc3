// plot/nk_forming_limit.cpp -- the neutral answers of plot source 2 until
// the forming limit diagram is built (see nk_forming_limit.h).
#include "plot/nk_forming_limit.h"

namespace FormingLimitPlot {
bool Init(const char *) { return false; }
bool Close(void) { return false; }
char **GetCategoryNames(void) { return nullptr; }
int GetComponentCount(int) { return 0; }
char **GetComponentNames(int) { return nullptr; }
int GetSeriesCount(int, int) { return 0; }
char **GetSeriesNames(int, int) { return nullptr; }
int ReadCurves(int, int, char **, int, PlotCurve **) { return 0; }
bool SetDefaults(PlotRecord *) { return false; }
bool SetTitles(PlotRecord *, int, int) { return false; }
}  // namespace FormingLimitPlot
