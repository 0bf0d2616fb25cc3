// app/nk_pick_feedback.h -- the 3-D view's feedback to the mouse: the
// interaction cursor shown on the view, the hit report on the status bar,
// the part tool tip, the part under the cursor for hover highlighting, and
// the main window's title.
//
// What to show is decided in tools/nk_pick_feedback.h; this file shows it
// with Qt. Cursor codes 3 to 11 are distinct Qt cursor shapes on the view;
// code 2 is Qt's override wait cursor over the whole program; 1 the arrow.
#pragma once

#include "core/nk_string.h"

struct NKInputState;
struct NKPickInfo;

// Sets the cursor for the input state (navigation mode, buttons, Ctrl and
// Shift); false, changing nothing, while the wait cursor shows.
bool UpdateInteractionCursor(const NKInputState *pState);
// bShown clear: the code last set; set: the code whose cursor is shown
// (the override cursor first, then the view's), 1 when none matches.
int GetInteractionCursor(bool bShown);
// The core slot's work: shows the cursor of the code (any other: the arrow).
void NKShowInteractionCursor(int iCode);
// "No hits" on the status line for a miss, else the hit's two lines on the
// status bar's pick display. True.
bool ReportPickHit(const NKPickInfo *pPick);
// The tool-tip text of the part under the view pixel (x, y), empty for
// none; the pick is reported on the status bar as well.
bool GetPartToolTip(NKString *pText, int x, int y);
// The part under the view pixel in the current frame; -1 for none.
int PickPartAtPixel(int x, int y);
// "Brovik " and the product name.
bool BuildWindowTitle(NKString *pTitle);
