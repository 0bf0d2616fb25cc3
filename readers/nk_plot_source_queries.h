// readers/nk_plot_source_queries.h -- the queries every plot source with a
// namespace of its own answers (LSDynaTimeHistorySource,
// LSDynaAsciiPlotSource, FormingLimitPlot): closing and its categories,
// components and series. Each source's header includes this file inside
// its namespace, so the contract is declared once; it has no include guard
// for that reason and declares no type (the names are plain C strings).
//
// Names are arrays of 257-character entries from NKAllocBlockArray; the
// caller frees them with NKFreeBlockArray and the count. Null when empty.

// Frees what the source holds; always true.
bool Close(void);
int GetCategoryCount(void);
char **GetCategoryNames(void);
int GetComponentCount(int iCategory);
char **GetComponentNames(int iCategory);
int GetSeriesCount(int iCategory, int iComponent);
char **GetSeriesNames(int iCategory, int iComponent);
