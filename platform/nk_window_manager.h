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

// The frame of the top-level window uWindow (its X window id) on the
// screen: the window's own rectangle in root coordinates widened by the
// frame extents its manager wrote (none without a manager), and, when
// pClient is given, that own rectangle (its client area) from the same
// reading, made at one moment (the X server held meanwhile), and, when
// pbShown is given, whether the window is shown then: mapped, within a
// frame that is mapped too. (A manager taking a window on puts it in its
// frame, places the frame and only then shows both: a reading made before
// shows the frame where it was made, not where it goes.) False when the
// window cannot be asked about.
struct NKScreenRect {
    int iX = 0, iY = 0, iWidth = 0, iHeight = 0;
};
bool NKGetWindowFrame(unsigned long uWindow, NKScreenRect *pFrame, NKScreenRect *pClient = nullptr,
                      bool *pbShown = nullptr);
// Asks the X server, and so the window's manager, to put the top-level
// window uWindow's frame corner at iFrameX, iFrameY (root coordinates)
// around a client of iWidth x iHeight, on the Qt application's own
// connection, after every request Qt made before. Qt turns a client's
// place into the frame's by the frame it knows, which may be another
// state's while the manager changes the window's state, and asks nothing
// where its own record holds the rectangle already, which can be stale
// (Qt drops the manager's notices of a window whose middle lies off its
// screens). Nothing is asked of a window that cannot be read.
void NKAskWindowRect(unsigned long uWindow, int iFrameX, int iFrameY, int iWidth, int iHeight);
// The names of the states the window's manager gave it (empty without one).
std::vector<std::string> NKGetWindowStates(unsigned long uWindow);
// How those states hold the window: normal (none of the others), resized
// (maximised either way, or full screen) or only hidden (minimised, its
// size kept).
enum NKWindowHold { NK_HELD_NORMAL, NK_HELD_RESIZED, NK_HELD_HIDDEN };
NKWindowHold NKGetWindowHold(unsigned long uWindow);

// Calls pfnChanged(pUser) from the event loop, once Qt has seen the event,
// each time the manager writes new frame extents on the top-level window
// uWindow. A frame that changes around a client that keeps its place (a
// first frame, another state) is told only so; Qt learns the new extents
// only with the window's next move. The watch ends when it is deleted by
// NKEndFrameExtentsWatch; null without an X display.
class NKFrameExtentsWatch;
NKFrameExtentsWatch *NKWatchFrameExtents(unsigned long uWindow, void (*pfnChanged)(void *),
                                         void *pUser);
void NKEndFrameExtentsWatch(NKFrameExtentsWatch *pWatch);
