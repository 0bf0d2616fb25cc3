// core/nk_plot_records.h -- the 2-D plot data model: the curve and plot
// records, the current plot and the plot globals, and the functions on them
// (curve list, automatic curve styles, ranges and interpolation, axis flags,
// column export).
//
// The records live here, below both producers and drawing, because the plot
// sources of readers/ and the plot settings of nkf/ fill them while plot/
// draws them. Nothing here draws: the GL context is one opaque platform
// handle, fonts are opaque NKBitmapFont pointers, and the axis update,
// layout and drawing are plot/nk_plot_draw.h. A plot owns its curves from
// the append on; a removed curve belongs to the caller. A plot's fonts and
// lists must be released (NKPlotDetachContext) before NKFreePlot.
#pragma once

#include <cstdint>
#include <vector>

#include "core/nk_ortho_view.h"
#include "core/nk_string.h"

struct NKBitmapFont;

constexpr int NK_PLOT_MAX_CURVES = 100;
constexpr int NK_PLOT_MAX_TICKS = 100;
constexpr int NK_PLOT_NUM_FONTS = 5;
constexpr int NK_PLOT_NUM_COLORS = 14;
// A coordinate at or above this marks an undefined point.
constexpr float NK_PLOT_UNDEFINED = 2.99e38f;
// Line or marker colour not chosen yet.
constexpr uint8_t NK_PLOT_UNSET_COLOR = 254;

// The plot's fonts, in this order.
enum {
    NK_PLOT_FONT_TICKS = 0,
    NK_PLOT_FONT_XTITLE,
    NK_PLOT_FONT_YTITLE,
    NK_PLOT_FONT_TITLE,
    NK_PLOT_FONT_LEGEND
};

// The 18 axis flags, in block order.
enum {
    NK_AXIS_X_MIN_AUTO = 0,
    NK_AXIS_X_MAX_AUTO,
    NK_AXIS_X_UNIT_AUTO,
    NK_AXIS_Y_CROSS_AUTO,
    NK_AXIS_X_ZERO,
    NK_AXIS_Y_MIN_AUTO,
    NK_AXIS_Y_MAX_AUTO,
    NK_AXIS_Y_UNIT_AUTO,
    NK_AXIS_X_CROSS_AUTO,
    NK_AXIS_Y_ZERO,
    NK_AXIS_X_CROSS_AT_MIN,
    NK_AXIS_X_ZERO_BASED,
    NK_AXIS_X_FORCE_MINMAX,
    NK_AXIS_X_EXACT,
    NK_AXIS_Y_CROSS_AT_MIN,
    NK_AXIS_Y_ZERO_BASED,
    NK_AXIS_Y_FORCE_MINMAX,
    NK_AXIS_Y_EXACT,
    NK_AXIS_NUM_FLAGS
};
// Mask selectors of NKSetPlotAxisFlags: bit i selects flag i; the reset
// selector restores the defaults before the selected flags are set.
constexpr uint32_t NK_AXIS_FLAG_BIT(int iFlag) { return 1u << iFlag; }
constexpr uint32_t NK_AXIS_FLAGS_RESET = 1u << 31;

// Shown value = scale x value + offset.
struct NKAxisTransform {
    float fScale = 1.0f;
    float fOffset = 0.0f;
    float Apply(float v) const { return v * fScale + fOffset; }
    float ApplyScale(float d) const { return d * fScale; }
    float Invert(float v) const { return (v - fOffset) / fScale; }
    float InvertScale(float d) const { return d / fScale; }
};

// One point of a curve; a coordinate of 2.99e38 or more is undefined.
struct NKPlotPoint {
    float x;
    float y;
};

// One curve of a plot. Made by NKCreatePlotCurve(s), freed by NKFreePlotCurve(s).
struct PlotCurve {
    int32_t iId = 0;         // first half of the key
    int32_t iSubId = 0;      // second half of the key
    NKString szName;         // legend text, uncut
    char szLabel[21] = {0};  // short legend text, cut to 20 characters
    int32_t iNumPoints = 0;
    NKPlotPoint *pPoints = nullptr;                                // owned, iNumPoints entries
    float fXMin = 0.0f, fXMax = 0.0f, fYMin = 0.0f, fYMax = 0.0f;  // NKPlotCurveComputeRange
    int32_t iXMinIndex = -1, iXMaxIndex = -1, iYMinIndex = -1, iYMaxIndex = -1;
    int32_t iKind = 0;       // the producer's curve kind
    int32_t iXQuantity = 0;  // the plot's x quantity when made (1 step, 2 time)
    int32_t iYQuantity = 0;  // x and y quantity both -1: markers only
    int32_t iLineWidth = 1;
    int32_t iLineStyle = -1;  // 0-6, -1 not chosen
    uint8_t ucLineColor[3] = {NK_PLOT_UNSET_COLOR, NK_PLOT_UNSET_COLOR, NK_PLOT_UNSET_COLOR};
    int32_t iMarkerType = 0;  // 0 none, 1-10 shapes, 100-801 letters
    int32_t iMarkerSize = 7;
    uint8_t ucMarkerColor[3] = {NK_PLOT_UNSET_COLOR, NK_PLOT_UNSET_COLOR, NK_PLOT_UNSET_COLOR};
    uint8_t bVisible = 1;
};

// Where the layout put the legend.
struct NKPlotLegendPlace {
    int32_t iX = 0, iY = 0, iWidth = 0, iHeight = 0;
    float fScale = 0.0f;
};

// The plot. Made by NKCreatePlot with these defaults, freed by NKFreePlot.
struct PlotRecord {
    int32_t iNumCurves = 0;
    PlotCurve **ppCurves = nullptr;  // owned
    NKString szTitle;
    uint8_t bTitleShown = 0;
    float fDataXMin = 0.0f, fDataXMax = 0.0f, fDataYMin = 0.0f, fDataYMax = 0.0f;
    int32_t iPlotKind = 0;
    int32_t iXAxisQuantity = 0;  // 1 step, 2 time, 0 other
    int32_t iYQuantity = 0;
    uint8_t bKeepYTitle = 0;
    NKOrthoView DataView{};       // data area in plot coordinates
    NKOrthoView DataPixelView{};  // data area in pixels, relative to it
    NKOrthoView ViewportView{};   // the whole viewport in pixels
    float fXMin = 0.0f, fXMax = 0.0f, fYMin = 0.0f, fYMax = 0.0f;  // shown ranges
    NKAxisTransform XTransform, YTransform;
    NKString szXTitle, szYTitle;
    NKString szXTickLabels[NK_PLOT_MAX_TICKS], szYTickLabels[NK_PLOT_MAX_TICKS];
    NKString szXMinLabel, szXMaxLabel, szYMinLabel, szYMaxLabel;
    float fXAxisCrossing = 0.0f;  // y at which the x axis is drawn
    float fYAxisCrossing = 0.0f;  // x at which the y axis is drawn
    float fXUnit = 0.0f, fYUnit = 0.0f;
    float fFirstXTick = 0.0f, fFirstYTick = 0.0f;
    int32_t iNumXTicks = 0, iNumYTicks = 0;
    int32_t iTickLength = 5;
    int32_t iAxisLineWidth = 1;
    uint8_t ucAxisColor[3] = {255, 255, 255};
    uint8_t ucLabelColor[3] = {255, 255, 255};
    int32_t iGridLineStyle = 2;
    int32_t iGridLineWidth = 1;
    uint8_t ucGridColor[3] = {192, 192, 192};
    uint8_t bXTickLabelsShown = 1, bYTickLabelsShown = 1;
    uint8_t bXTickMarksShown = 1, bYTickMarksShown = 1;
    uint8_t bXGrid = 1, bYGrid = 1;
    uint8_t bXTitleShown = 0, bYTitleShown = 0;
    uint8_t ucAxisFlags[NK_AXIS_NUM_FLAGS] = {0};
    NKBitmapFont *pFonts[NK_PLOT_NUM_FONTS] = {nullptr};
    uint8_t ucBackground[4] = {0, 0, 200, 170};
    uint8_t ucTitleColor[3] = {255, 255, 255};
    float fMarkerLinePos = 0.0f;
    float fYMarkerLinePos = 0.0f;
    uint8_t ucMarkerLineColor[3] = {255, 0, 0};
    uint8_t bXMarkerLine = 0, bYMarkerLine = 0;
    uint8_t bMarkerLineShown = 0;
    int32_t iMarkersPerCurve = 3;
    uint8_t bLineMarkers = 1;
    uint8_t bStipple = 0;
    NKString szLegendTitle;
    uint8_t bLegendShowsLabels = 0;
    NKPlotLegendPlace Legend;
    uint8_t ucLegendBackground[3] = {100, 100, 255};
    uint8_t ucLegendTextColor[3] = {255, 255, 255};
    uint8_t bLegendShown = 0;
    uint8_t bBackgroundLegend = 0, bBackgroundLegendLines = 0;
    uint8_t bSmoothCurves = 1;
    void *hGLContext = nullptr;  // the platform context handle (also the DC)
    uint32_t uStippleListBase = 0;
    // Layout results (plot/): tick labels fit, tick labels, axis titles,
    // title and legend placed.
    uint8_t bTickLabelsFit = 0, bTickLabelsPlaced = 0, bAxisTitlesPlaced = 0;
    uint8_t bTitlePlaced = 0, bLegendPlaced = 0;
    // Title, axis, label and legend text colours as drawn.
    uint8_t ucContrast[4][3] = {{0}};
    uint8_t bFollowSteps = 0;
    // The placement over the 3-D view (NKPlacePlot): the remembered edge or
    // centre code of each direction (0 none) and the fractions of the view.
    int32_t iPlaceXCode = -5, iPlaceYCode = -7;
    float fPlaceFractions[4] = {0.0f, 0.0f, 0.5f, 0.5f};
};

// ---- Plot globals ------------------------------------------------------------
extern PlotRecord *g_pCurrentPlot;  // null while there is no plot
extern uint8_t g_bPlotShown;        // the plot is drawn (0)
extern uint8_t g_bPlotInOwnWindow;  // drawn in its own window, not over the view (0)
extern int32_t g_iPlotLastId;       // running key counters (0)
extern int32_t g_iPlotLastSubId;
extern int32_t g_iPlotIterator;  // NKPlotGetFirstCurve / NKPlotGetNextCurve
extern const uint8_t g_ucPlotPalette[NK_PLOT_NUM_COLORS][3];

// ---- Curves ------------------------------------------------------------------
// A new curve with key (iId, iSubId), the name (null for none) and
// iNumPoints points (0, 0); null when an allocation fails.
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
// Same n: nothing; 0 frees the points; else reallocates keeping the old
// points (new ones (0, 0)). False for a null curve, n < 0 or a failed
// allocation, the curve then unchanged.
bool NKSetPlotCurvePointCount(PlotCurve *pCurve, int n);
// The extremes over the defined points and their indices. False, with range
// 0 and indices -1, when the curve has no defined point.
bool NKPlotCurveComputeRange(PlotCurve *pCurve);
// y at x, interpolated between the defined points around it; the end
// point's y beyond either end; 3.4028235e38 without points.
float NKPlotCurveValueAt(const PlotCurve *pCurve, float x);

// ---- Plots -------------------------------------------------------------------
// A new plot with the defaults and the axis flags reset; null on failure.
PlotRecord *NKCreatePlot(void);
// Frees every curve, the texts and the record; null accepted.
void NKFreePlot(PlotRecord *pPlot);
// Creates a curve with the key chosen for (iId, iSubId) (-1: from the
// running counters) and appends it; null (the curve freed) on failure.
PlotCurve *NKPlotCreateCurve(PlotRecord *pPlot, int iId, int iSubId, const char *pszName,
                             int iNumPoints);
// As NKPlotCreateCurve, but null without change when (iId, iSubId) exists.
PlotCurve *NKPlotAddCurve(PlotRecord *pPlot, int iId, int iSubId, const char *pszName,
                          int iNumPoints);
// Appends; false for null arguments, a full plot or a failed growth.
bool NKPlotAppendCurve(PlotRecord *pPlot, PlotCurve *pCurve);
// Takes the first curve with the key out (order kept) without freeing it.
PlotCurve *NKPlotRemoveCurve(PlotRecord *pPlot, int iId, int iSubId);
bool NKPlotDeleteCurve(PlotRecord *pPlot, int iId, int iSubId);
void NKPlotDeleteAllCurves(PlotRecord *pPlot);
PlotCurve *NKPlotFindCurve(const PlotRecord *pPlot, int iId, int iSubId);
int NKPlotFindCurveIndex(const PlotRecord *pPlot, int iId, int iSubId);
// Iteration in list order through the one global position.
PlotCurve *NKPlotGetFirstCurve(const PlotRecord *pPlot);
PlotCurve *NKPlotGetNextCurve(const PlotRecord *pPlot);
int NKPlotGetCurveCount(const PlotRecord *pPlot);
// With bCountAll the number of visible curves, else 1 when one exists.
int NKPlotCountVisibleCurves(const PlotRecord *pPlot, bool bCountAll);
// The union of the visible curves' ranges into the data range; false
// (unchanged) when no visible curve has a defined point.
bool NKPlotComputeDataRange(PlotRecord *pPlot);
// Least-used styles, the first on ties.
void NKPlotPickCurveColor(uint8_t ucRGB[3], const PlotRecord *pPlot);
int NKPlotPickLineStyle(const PlotRecord *pPlot);
int NKPlotPickMarkerType(const PlotRecord *pPlot, const uint8_t *pucRGB);
int NKPlotPickLetterMarker(const PlotRecord *pPlot, const uint8_t *pucRGB);
// A new curve of the plot takes the least-used colour, line style and
// marker (the marker least used with that colour), line and marker alike.
void NKPlotStyleNewCurve(const PlotRecord *pPlot, PlotCurve *pCurve);
// The letter text of a marker 100-801 ("A".."Z", "AA".."ZZ") into a buffer
// of 3; "" for other types.
void NKPlotLetterMarkerText(int iMarkerType, char szText[3]);
// With pucSource, copies its 18 flags; else sets the flags uMask selects to
// bValue, after a reset when uMask holds NK_AXIS_FLAGS_RESET.
void NKSetPlotAxisFlags(PlotRecord *pPlot, const uint8_t *pucSource, uint32_t uMask,
                        uint8_t bValue);
void NKGetPlotAxisFlags(const PlotRecord *pPlot, uint8_t pucOut[NK_AXIS_NUM_FLAGS]);
void NKSetPlotShowMinMax(uint8_t bOn);
uint8_t NKGetPlotShowMinMax(void);
void NKSetPlotSkip(int n);  // ignored below 1
int NKGetPlotSkip(void);
// Writes the listed curves as columns (x of the first, then each y) to
// pszFile, in one go. False, with no file left, for a bad index, unequal
// point counts, an x range before every point or a failed write.
bool NKExportPlotCurves(const PlotRecord *pPlot, const int *piCurves, int n, const char *pszFile,
                        const char *pszHeader, bool bTabs, bool bXRangeOnly);

// The name array a plot source hands out: one 257-character entry per text
// (cut at 256) from NKAllocBlockArray, which the caller frees with
// NKFreeBlockArray and the count. Null for no texts or no memory.
char **NKMakePlotNameArray(const std::vector<NKString> &names);
