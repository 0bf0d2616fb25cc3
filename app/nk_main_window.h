// app/nk_main_window.h -- the main window: the tool bar at the top, the
// status bar at the bottom and the 3-D view (app/nk_view_window.h) between
// them; full-screen display and the functions that place and size it.
//
// The window starts with the start-up menu (app/nk_menus.h) at the stored
// placement, pulled back so that an icon's size of it stays on the screen
// and its frame's top, with the title bar, lies in the work area. Its
// commands (menu items, tool-bar buttons) go through NKMainWindowCommand;
// closing it ends the event loop.
#pragma once

#include <cstdint>

#include "app/nk_settings.h"

class QDropEvent;
class QMainWindow;

// The stored placement: the settings file fills it before the window's
// life, the window starts from it (pulled onto the screen, which it then
// holds) and writes it when it is destroyed (NKGetPlacementToStore), and
// "winposition" without a window changes its place. While the window
// lives, the window's own normal placement is the record.
extern NKWindowPlacement g_WindowPlacement;
// Whether the window is in full-screen display.
extern uint8_t g_bFullScreenActive;

// Makes, places and shows the main window with its view, its context and
// the bars whose flags are on. True when it exists afterwards; false, with
// nothing made, when the view gets no OpenGL context ("Unable to initialize
// OpenGL window, aborting!" shown).
bool CreateMainWindow(void);
// Destroys the main window with its bars and view, storing its placement;
// the event loop then ends. Nothing without a window.
void NKDestroyMainWindow(void);
// The main window; null before it is made and after it is destroyed.
QMainWindow *NKGetMainWindow(void);

// A command of a menu item or tool-bar button: the tool bar's handler, then
// the menus'; a result 0 refreshes the check marks. Returns that result.
// The first error line printed meanwhile goes to the status line too, else
// the first warning (NKStatusErrorScope).
int NKMainWindowCommand(int iId);

// A drag over the main window or the 3-D view: accepted while it carries a
// local file, as a copy: the file is only read, so a source offering to
// move it is told the copy (or link) action, never the move, and keeps its
// file. A drop there opens the first file with the type-detecting open
// (its first error or warning goes to the status line) and tells the drag
// source it was taken; a drop without a local file, or one that offers
// neither a copy nor a link, is refused.
void NKAcceptFileDrag(QDropEvent *pEvent);
void NKDropFiles(QDropEvent *pEvent);

// The window keys of the main and view windows: F11 toggles full screen,
// Esc leaves it.
void NKHandleWindowKey(int iQtKey);
// F11's toggle and the full-screen commands: on runs "nomenu",
// "nostatusbar" and "notoolbar" and covers the screen; off, only while on,
// runs "menu", "statusbar" and "toolbar" and puts the window back.
void SetFullScreen(bool bOn);
// The main window's normal placement (its normal rectangle and whether it
// is maximised) is a record of its own: these functions and readings of
// the normal window change it, maximised and full screen are states over
// it, and what is stored comes from it.
//
// Resizes the main window, keeping its place, so that the view's client
// area becomes iWidth x iHeight, as a normal window (cut to the work area
// with the frame, as a stored size is at start).
void NKSetViewClientSize(int iWidth, int iHeight);
// Moves the main window's frame to (iX, iY), keeping the normal size, as a
// normal window, pulled onto the screen as a stored place is at start.
void NKMoveMainWindow(int iX, int iY);
// "winposition": piGiven's iGiven numbers (x, y, view width and height)
// replace the normal place and view size (those not given are read first),
// through NKMoveMainWindow then NKSetViewClientSize (in full screen, what
// the window goes back to). pfnPlaced gets the placement as stored and
// its view size before this returns: where a manager may keep the place
// elsewhere by its own rule, once it has answered (a manager silent for
// 30 s leaves it to its answer or the window's end). Without a window the
// stored place changes.
struct NKWindowPosition {
    NKWindowPlacement placement;
    int iViewWidth = 0, iViewHeight = 0;
};
void NKSetMainWindowPosition(const int *piGiven, int iGiven,
                             void (*pfnPlaced)(const NKWindowPosition &));
// The view's client area as the window's layout has it now (the view's
// own record, NKViewWindowSize, follows as soon as the layout sizes the
// view's container); false without a main window.
bool NKGetViewClientSize(int *piWidth, int *piHeight);
// The placement for the settings file: the window's normal rectangle as
// last shown or asked for, whatever state the window is in, and whether it
// is maximised (as it was before full screen while that is on).
NKWindowPlacement NKGetPlacementToStore(void);
