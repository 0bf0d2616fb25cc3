// readers/nk_lsdyna_th.h -- the LS-DYNA binary time-history database as plot
// source 0: a family of files with one header (control words, five range
// lists of selected entities, a geometry section) followed by states that
// hold only the selected nodes and elements.
//
// The source offers eight categories (entity kinds), 51 components
// (quantities) per category and one series per selected entity; a curve is
// one entity's value of one component over the states. Categories and
// components are addressed by their rank among those with data. It shares
// the family scan, format detection, word stream, user numbering and
// geometry conversion of the plot database (nk_lsdyna_format.h,
// nk_lsdyna.h) but keeps its own control record, so both can be open at
// once. The plot-source dispatcher of plot/ calls these functions.
//
// Header layout (0-based words):
//   0-9     title
//   10-63   control words as in the plot database, and 59 the number of
//           element-block ranges in all, 60-63 NSTHB, NSTBB, NSTSB, NSTTB
//           range counts, 25 the NDSB range count
//   64(+EXTRA when word 57 > 0): the range lists, first/last pairs, in this
//           order: NDSB (word 25 pairs), NSTHB (60), NSTBB (61), NSTSB (62),
//           NSTTB (63)
//   then    geometry: NUMNP x NDIM coordinates, NEL8 x 9, NELT x 9,
//           NEL2 x 6, NEL4 x 5 words, NARBS words of user numbering
// State layout (word 0 the time): NGLBV globals; with NDSB ranges a leading
// word and per NDSB node its displacement (IU), temperature (IT), velocity
// (IV) and acceleration (IA) words; with element-block ranges a leading word
// and 56 words per selected solid (node numbers, coordinates, velocities);
// NV3D words per selected solid; likewise 56 per thick shell and 28 per
// shell; NV3DT per thick shell; with beams a leading word and NV1D words per
// beam; NV2D words per shell.
#pragma once

struct NKGeometry;
struct PlotCurve;
struct PlotRecord;

// Category numbers.
enum {
    NK_TH_BRICKS = 0,
    NK_TH_SHELLS = 1,
    NK_TH_THICK_SHELLS = 2,
    NK_TH_BEAMS = 3,
    NK_TH_NODES = 4,
    NK_TH_MATERIALS = 5,
    NK_TH_GLOBALS = 6,
    NK_TH_INTERFACE_FORCES = 7,
    NK_TH_NUM_CATEGORIES = 8,
    NK_TH_NUM_COMPONENTS = 51
};

namespace LSDynaTimeHistorySource {

// Opens the database of pszFileName (closing any open one). False, with the
// source closed, when it cannot be used.
bool Open(const char *pszFileName);
// Close frees everything the open made.
#include "readers/nk_plot_source_queries.h"
bool IsOpen(void);
// True when the open database holds no state series, only its geometry.
bool IsGeometryOnly(void);
int GetStateCount(void);

// True when the loaded model is not this database's (another kind of data
// source, or other element and node counts), so the plot must load the
// database's own geometry.
bool NeedsGeometry(void);

// Reads one curve per listed user ID found in the category's items (in the
// order given); returns how many it made into ppCurves (0 on failure). A
// state whose words or time the family no longer holds as the open listed
// them (changed on disk since) refuses the read: an error naming the
// member, no curve, and ReadRefused true until the next read.
int ReadCurves(int iCategory, int iComponent, const int *piIds, int iCount, PlotCurve **ppCurves);
// The same with the IDs as decimal texts.
int ReadCurvesByName(int iCategory, int iComponent, char **ppszNames, int iCount,
                     PlotCurve **ppCurves);
// One curve for the ID in pszName, or for ID -1 (Globals) when null.
PlotCurve *ReadCurve(int iCategory, int iComponent, const char *pszName);
// True when the last curve read was refused because the family changed on
// disk after the open.
bool ReadRefused(void);

// A new geometry of the database's nodes and elements; null on failure.
NKGeometry *ReadGeometry(int iUnused);

// The plot's defaults for this source; true.
bool SetDefaults(PlotRecord *pPlot);
// The plot's titles for a category and component; false when the category
// has no data.
bool SetTitles(PlotRecord *pPlot, int iCategory, int iComponent);

}  // namespace LSDynaTimeHistorySource
