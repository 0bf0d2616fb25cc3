// render/nk_contour_lines.h -- the contour lines of the scalar result: the
// level values and colours, the line segments of each frame and part, and
// the update operations the commands and loaders call when the scalar
// result, the fringe range or the contour settings change.
//
// The segments are computed ahead of drawing and kept in the frames
// (NKFrame::pContours, one NKContourList per part of the frame's geometry),
// so that drawing and animation only replay them. The settings record
// (g_ContourSettings), its reset and the contour commands live elsewhere
// (core/nk_render_state.h, render/nk_fringe_commands.cpp); drawing the lists
// is the scene's. The lower tiers reach NKUpdateContourLevelsAndLines
// through the load slot NKUpdateContours (core/nk_load_hooks.h), which
// NKInstallContourHooks fills.
#pragma once

struct NKContourSettings;
struct NKFrame;

// Takes the model's fringe range when the range is automatic, then gives
// each of the iNumLevels levels its value (the first on fMin, the last on
// fMax, evenly between), the current contour line width and the fringe
// colour of its value between fMin and fMax. Nothing happens to the levels
// while the record has none or its arrays are missing; null does nothing.
void NKComputeContourLevels(NKContourSettings *pSettings);

// Takes the automatic range (the level values stay as they are) and, while
// contours are shown, rebuilds the lists of frame 0 (fewer than two frames)
// or of every frame in order. True.
bool NKUpdateContourLines(void);

// NKComputeContourLevels on g_ContourSettings, NKUpdateContourLines, then
// "np update" when a 2-D plot exists, so that the node plot follows. True.
bool NKUpdateContourLevelsAndLines(void);

// After new displacements: NKUpdateContourLines. True.
bool NKRefreshContourLines(void);

// Frees frame iFrame's lists and makes one empty list per part of its
// geometry, then fills the list of every part with node values. False for
// a missing frame, a failed allocation or a part that failed; a geometry
// without parts keeps no list and answers true.
bool NKComputeFrameContours(int iFrame);

// Builds the list of part iPart (clamped to the geometry's parts) of
// pFrame from the frame's node values, coordinates (displaced when the part
// shows displacements) and visibility bytes; the frame's list array is made
// when missing. A part without node values, or with fewer values than
// nodes, gets an empty list. False for a missing frame or geometry, or when
// the records cannot grow (the records made so far are kept).
bool NKComputePartContours(int iPart, NKFrame *pFrame);

// Fills (or, with false, empties) the load slot that recomputes the
// contours after new results.
void NKInstallContourHooks(bool bInstall);
