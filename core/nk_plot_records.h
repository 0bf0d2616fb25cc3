// core/nk_plot_records.h -- the curve and plot records that the plot sources
// of readers/ fill and the 2-D plot of plot/ shows.
//
// The records live here, below both, because the LS-DYNA time-history and
// ASCII sources (readers/) make curves and set a plot's titles while the plot
// itself belongs to plot/. Only what those sources fill is here so far: the
// curve's key, names, points and marks, and the plot's kind, axis quantities,
// titles and shown flags. Placeholder: the plot data model completes both
// records (ranges, styles, axes, fonts) and the plot's own functions.
#pragma once

#include <cstdint>

// One point of a curve; a coordinate of 2.99e38 or more is undefined.
struct NKPlotPoint {
    float x;
    float y;
};

// One curve of a plot. Made by NKCreatePlotCurve(s), freed by NKFreePlotCurve(s).
struct PlotCurve {
    int32_t iId = 0;     // first half of the key
    int32_t iSubId = 0;  // second half of the key
    char szName[201] = {0};
    char szLabel[21] = {0};
    int32_t iNumPoints = 0;
    NKPlotPoint *pPoints = nullptr;  // owned, iNumPoints entries
    int32_t iKind = 0;               // the producer's curve kind
    int32_t iXQuantity = 0;          // the plot's x quantity when made (1 step, 2 time)
    int32_t iYQuantity = 0;
};

// The plot record, as far as the plot sources set it.
struct PlotRecord {
    char szTitle[201] = {0};
    uint8_t bTitleShown = 0;
    int32_t iPlotKind = 0;
    int32_t iXAxisQuantity = 0;  // 1 step, 2 time, 0 other
    int32_t iYQuantity = 0;
    char szXTitle[201] = {0};
    char szYTitle[201] = {0};
    uint8_t bXTitleShown = 0;
    uint8_t bYTitleShown = 0;
    char szLegendTitle[201] = {0};
    uint8_t bLegendShown = 0;
};

// A new curve with key (iId, iSubId), at most 200 characters of pszName (null
// for none) and iNumPoints points (0, 0); null when an allocation fails.
PlotCurve *NKCreatePlotCurve(int iId, int iSubId, const char *pszName, int iNumPoints);
// n curves with key (0, 0), no name and iNumPoints points each into
// ppCurves[0..n-1]; when one fails, those made are freed, the slots nulled,
// and the answer is false.
bool NKCreatePlotCurves(int iNumPoints, PlotCurve **ppCurves, int n);
// Frees the points and the curve; null is accepted.
void NKFreePlotCurve(PlotCurve *pCurve);
// Frees n curves and nulls their slots.
void NKFreePlotCurves(PlotCurve **ppCurves, int n);
// Copies at most iRoom - 1 characters of pszText (null: "") into pszField.
void NKSetPlotText(char *pszField, int iRoom, const char *pszText);
