// tools/nk_pick_feedback.h -- what the user sees of picking: the selection
// list drawn over the model each frame with its read-out labels, the
// cursor code for the state of the mouse and keys, the status-bar texts of
// a hit, and the part under a pixel with its tool-tip text.
//
// The window code (app/) shows the cursor, the status bar and the tool tip;
// everything it shows is decided here, without Qt. The drawing pieces are
// render/nk_pick_display.h; the feedback lives here because the
// cutting-plane read-out reads the cut surfaces.
#pragma once

#include <cstdint>

#include "core/nk_string.h"

struct NKFrame;
struct NKInputState;
struct NKPickInfo;
struct NKSelectionList;

// Interaction cursor codes (1 the arrow and 2 the wait cursor are
// core/nk_model_hooks.h's NK_CURSOR_NORMAL and NK_CURSOR_WAIT).
enum {
    NK_CURSOR_STUDY_PAN = 3,
    NK_CURSOR_STUDY_ROTATE = 4,
    NK_CURSOR_STUDY_ZOOM = 5,
    NK_CURSOR_WALK = 6,
    NK_CURSOR_WALK_LOOK = 7,
    NK_CURSOR_WALK_ROLL = 8,
    NK_CURSOR_PICK_SELECT = 9,
    NK_CURSOR_PICK_TOGGLE = 10,
    NK_CURSOR_PICK_BOTH = 11
};

// Draws the list's entries of the frame (only the entries of the frame's
// geometry) in the selection colour, with the node and point read-out
// labels when the list asks for node information and, in distance mode,
// the distance of the pair. GL state as it was afterwards. False when the
// frame does not exist or has no entry.
bool NKDrawNodeInfo(int iFrame, NKSelectionList *pList);

// The read-out of a point on polygon iPolygon of piece iPiece of cutting
// plane iPlane's cut surface in the frame: "Pos: %g %g %g" in model
// coordinates, then "\nScalar: %g" (or UNDEFINED) when the piece carries
// values and "\nVector: %g %g %g" in model units when it carries vectors,
// both interpolated over that polygon's nodes. False (text empty) when the
// surface, piece or polygon does not exist.
bool NKFormatPointInfo(NKString *pText, NKFrame *pFrame, int iPlane, int iPiece, int iPolygon,
                       const float *pfPoint);

// The cursor code for the input state, or iCurrent when it is to stay: the
// wait cursor stays; no model: the arrow; exactly Ctrl, Shift or both: the
// pick cursors; other keys: unchanged; else by navigation mode and button.
int NKChooseInteractionCursor(int iCurrent, bool bModel, bool bStudy, uint32_t uKeys,
                              uint32_t uButtons);

// The status texts of a pick: "No hits" and an empty second line for a
// miss (false); for a hit the part, element or polygon, nearest node and
// polygon text line, and "Intersect point: (%g, %g, %g)" in model
// coordinates (true).
bool NKFormatPickHit(const NKPickInfo *pPick, NKString *pLine1, NKString *pLine2);
// The tool-tip text of part iPart of the current frame's geometry: the
// hot-spot text ("Hotspot for part %d" when empty) for a hot spot, else the
// name ("Part %d" when empty); empty for no part.
NKString NKFormatPartToolTip(int iPart);
// The part under the view pixel (x, y; y counted downwards) in the current
// frame, with the drawn view's saved matrices; the pick goes to pPick when
// given. -1 without a model, frames or part.
int NKPickPartAtPixel(int x, int y, NKPickInfo *pPick = nullptr);
// Whether any part of the current frame's geometry is a hot spot.
bool NKCurrentGeometryHasHotSpots(void);
