// platform/nk_window_manager.h -- what the X display's window manager does
// with the program's windows, asked of the display of the Qt application.
//
// A window manager that follows the desktop conventions (EWMH) names a
// check window on the root window, lists the states it understands and
// writes on each window it manages the extents of the frame it put around
// it. The main window asks whether full screen is one of those states (a
// window moved to cover the screen while the manager keeps its frame shows
// neither all of it nor the frame); the window tests read frames and states
// as the X server has them. Without an X display every answer is "none".
// No Qt or X11 types appear here.
#pragma once

#include <string>
#include <vector>

// The display of the Qt application when it runs on X11, else null: an
// Xlib Display, for the few calls Qt has no word for.
struct _XDisplay;
struct _XDisplay *NKX11Display(void);

// Whether a window manager following those conventions manages the
// display: the root window names a check window that names itself.
bool NKWindowManagerRunning(void);
// Whether that manager lists the state (an atom name such as
// "_NET_WM_STATE_FULLSCREEN") among those it supports; false without one.
bool NKWindowManagerSupports(const char *pszState);

// How a manager's states hold a window: normal (none of the others),
// resized (maximised either way, or full screen) or only hidden
// (minimised, its size kept).
enum NKWindowHold { NK_HELD_NORMAL, NK_HELD_RESIZED, NK_HELD_HIDDEN };

// The frame of the top-level window uWindow (its X window id) on the
// screen: its own rectangle in root coordinates widened by the frame
// extents its manager wrote (none without a manager). Given pointers take
// what the same reading, made with the X server held, found: the client
// area, whether the window is shown (mapped in a mapped frame: a manager
// places a frame before it shows it) and how its states hold it
// (NKGetWindowHold). False when the window cannot be asked about.
struct NKScreenRect {
    int iX = 0, iY = 0, iWidth = 0, iHeight = 0;
};
bool NKGetWindowFrame(unsigned long uWindow, NKScreenRect *pFrame, NKScreenRect *pClient = nullptr,
                      bool *pbShown = nullptr, NKWindowHold *pHold = nullptr);
// Asks the X server, and so the manager, for the window's frame corner at
// iFrameX, iFrameY around a client of iWidth x iHeight, on Qt's own
// connection after every request Qt made. (Qt turns a client's place into
// the frame's by the frame it knows, which may be another state's, and
// asks nothing where its record, which may be stale, holds the rectangle.)
// pFrame and pClient, when given, are a reading of the window just made;
// else it is read. Nothing is asked of a window that cannot be read.
void NKAskWindowRect(unsigned long uWindow, int iFrameX, int iFrameY, int iWidth, int iHeight,
                     const NKScreenRect *pFrame = nullptr, const NKScreenRect *pClient = nullptr);
// The names of the states the window's manager gave it (empty without one).
std::vector<std::string> NKGetWindowStates(unsigned long uWindow);
// How those states hold the window (see NKWindowHold).
NKWindowHold NKGetWindowHold(unsigned long uWindow);
