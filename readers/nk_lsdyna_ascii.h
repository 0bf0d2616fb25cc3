// readers/nk_lsdyna_ascii.h -- the LS-DYNA ASCII output files as plot
// source 1: "ABSTAT", "MATSUM", "RCFORC", "TRHIST", "NODOUT", "GLSTAT" and
// "DEFORC" in the current directory (each also found under its name in
// lower case).
//
// Each file kind is one category; the quantities found in the file are its
// components, the entities (airbags, materials, interfaces, particles,
// nodes, springs) its series, named by their numbers. A curve is one
// entity's value of one quantity over time. Init scans every kind; a read
// parses the file again (nk_lsdyna_ascii_kinds.cpp). The plot-source
// dispatcher of plot/ calls these functions.
#pragma once

struct PlotCurve;
struct PlotRecord;

// Category numbers: the file kinds.
enum {
    NK_ASCII_ABSTAT = 0,
    NK_ASCII_MATSUM = 1,
    NK_ASCII_RCFORC = 2,
    NK_ASCII_TRHIST = 3,
    NK_ASCII_NODOUT = 4,
    NK_ASCII_GLSTAT = 5,
    NK_ASCII_DEFORC = 6,
    NK_ASCII_NUM_KINDS = 7
};

namespace LSDynaAsciiPlotSource {

// Scans all seven kinds (pszFileName is not used); always true.
bool Init(const char *pszFileName);
// Close frees the scan results and name arrays.
#include "readers/nk_plot_source_queries.h"

// One curve per series name (a null name counts as entity -1), named by it;
// returns the number made into ppCurves, 0 on failure with the error "Error
// reading plot data from LSDYNA ASCII file.".
int ReadCurves(int iCategory, int iComponent, char **ppszNames, int iCount, PlotCurve **ppCurves);
// The same for one series name; the curve or null.
PlotCurve *ReadCurve(int iCategory, int iComponent, const char *pszName);

// The plot's defaults for this source; true.
bool SetDefaults(PlotRecord *pPlot);
// The titles for a category and component; false for a category outside 0-6.
bool SetTitles(PlotRecord *pPlot, int iCategory, int iComponent);

}  // namespace LSDynaAsciiPlotSource
