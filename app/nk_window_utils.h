// app/nk_window_utils.h -- small window services of the shell: placing a
// window beside another inside the work area, disabling the main window
// while modal windows are up, the tooltip control of the 3-D view, the
// program's bitmaps, palettes and the refresh of the part attributes dialog.
#pragma once

#include <string>

class QWidget;
class QWindow;
struct NKBitmap;
struct NKToolTip;

// Anchors of NKPlaceWindow: where the window goes relative to the
// reference rectangle (left L, top T, right R, bottom B).
enum {
    NK_PLACE_BELOW_LEFT = 0,    // (L, B)
    NK_PLACE_BELOW_CENTRE = 1,  // centred under it
    NK_PLACE_BELOW_RIGHT = 2,   // right edges aligned, under it
    NK_PLACE_RIGHT_TOP = 3,     // (R, T)
    NK_PLACE_RIGHT_CENTRE = 4,  // right of it, centred vertically
    NK_PLACE_RIGHT_BOTTOM = 5,  // right of it, bottom edges aligned
    NK_PLACE_BOTTOM_RIGHT = 6,  // (R, B)
    NK_PLACE_CENTRE = 7         // centred on it
};

// The top-left corner for a window of iWidth x iHeight at anchor iAnchor
// of the reference rectangle piReference (L, T, R, B, right and bottom
// exclusive), pulled inside the work area piWorkArea (L, T, R, B) at its
// right and bottom and then to coordinates of 0 or more. Other anchors
// give (0, 0) before the pull.
void NKComputeWindowPlacement(int iAnchor, const int *piReference, const int *piWorkArea,
                              int iWidth, int iHeight, int *piX, int *piY);
// Moves and sizes the top-level window so: a null reference means the main
// window, a height or width of 0 keeps the window's own. The reference's
// rectangle and the window's are their frames (as NKPlaceTopLevel places
// it); the work area is the primary screen's available area. False for a
// null window.
bool NKPlaceWindow(QWidget *pWindow, int iAnchor, QWidget *pReference, int iHeight, int iWidth);

// Places a top-level window by its frame, as a window manager draws it: the
// frame's top-left corner at (iX, iY), the client area iWidth x iHeight.
// Without a window manager the frame is the client area.
void NKPlaceTopLevel(QWidget *pWindow, int iX, int iY, int iWidth, int iHeight);

// Modal windows nest: a disable counts up and an enable down. The main
// window is enabled exactly while the count is 0 or less, and a running
// animation is suspended while it is above 0 and resumed when an enable
// brings it back to 0. A count below 0 is traced.
void NKEnableAllTopWindows(bool bEnable);

// The tooltip of a window: one tool over the whole window whose text is
// asked from pfnText (with pUser and the position) when the tip is due, a
// short while after the last mouse move relayed to it. An empty text shows
// nothing. Null for a null owner, a null callback or without a widget
// application.
typedef std::string (*NKToolTipTextFn)(void *pUser, int iX, int iY);
NKToolTip *NKCreateToolTip(QWindow *pOwner, NKToolTipTextFn pfnText, void *pUser);
// A mouse move over the owner at (iX, iY), window pixels.
void NKRelayToolTipEvent(NKToolTip *pToolTip, int iX, int iY);
// Hides the tip and forgets a tip that was due.
void NKPopToolTip(NKToolTip *pToolTip);
void NKDestroyToolTip(NKToolTip *pToolTip);

// The program's bitmaps by resource id (NK_SPLASH_BITMAP_ID the splash);
// null for an id the program has no bitmap for. The load flags of the
// platform the shell was written for have nothing to select here.
NKBitmap *NKLoadBitmap(int iResourceId, unsigned int uFlags);
void NKFreeBitmap(NKBitmap *pBitmap);
// False for a null bitmap.
bool NKGetBitmapSize(const NKBitmap *pBitmap, int *piWidth, int *piHeight);
// Draws the bitmap stretched over the widget; only from its paint event.
void NKDrawBitmapResource(QWidget *pWindow, int iResourceId);
// Logical palettes for 8-bit displays have no counterpart on the displays
// this runs on: both answer null.
void *NKCreatePaletteFromColorTable(const void *pColorTable, int iCount);
void *NKCreateDefaultPalette(void);

// When the part attributes dialog (app/nk_part_attributes.h) is open and a
// geometry is loaded, its list selects exactly the selected parts and the
// dialog takes that as a change of its list; true.
bool NKRefreshPartAttributesDialog(void);

// Whether a user can see and answer a window that waits (a menu, a modal
// dialog): a widget application on a real display, CI not set.
bool NKCanWaitForUser(void);
