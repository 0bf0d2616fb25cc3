// platform/nk_normal_size_watch.h -- the size a top-level window has while
// its window manager holds it normal, told apart from the sizes the
// manager gives it on the way to and from another state.
//
// A manager changes a window's state in steps (the state, the size, new
// frame extents, a notice of the place), and between them the window can
// be normal by its state with another state's size; the program may see
// them late. So the watch follows the window's events in the X server's
// order on a connection of its own (Qt drops notices that another
// follows). Each write of the state begins a stretch, known once a reading
// of the state is followed by a mark the watch writes with no write of the
// state between. In a stretch known normal the size settles once it
// differs from the last maximised or full-screen size (at once where there
// was none); the normal size is the last settled one, from real notices
// only. A stretch never known gives no size.
//
// No Qt or X11 types appear here; without an X display there is no watch.
#pragma once

#include "platform/nk_window_manager.h"

class NKNormalSizeWatch;

// Starts the watch of the top-level window uWindow (its X window id);
// pfnChanged(pUser) is called from the event loop when what the watch
// tells may have changed: a stretch became known normal or settled, the
// normal size changed, or the manager wrote new frame extents (the frame's
// corner moves around a client that keeps its place). Null without an X
// display, a window or a function. iWidth x iHeight, when given, is the
// size the program made the window with: the normal size of a window that
// is not shown normal when the watch starts (one asked to start maximised,
// which the manager may have maximised already).
NKNormalSizeWatch *NKWatchNormalSize(unsigned long uWindow, void (*pfnChanged)(void *), void *pUser,
                                     int iWidth = 0, int iHeight = 0);
// Handles every event of the window the X server made until now, with the
// readings of the state they call for and their marks: what the watch
// tells afterwards stands for all of them.
void NKCatchUpNormalSizeWatch(NKNormalSizeWatch *pWatch);
// The last settled normal size; false while there is none.
bool NKWatchedNormalSize(const NKNormalSizeWatch *pWatch, int *piWidth, int *piHeight);
// Whether the events seen so far show the window normal with a settled
// size, and that size: a reading of the window agreeing with it is a
// normal window's.
bool NKWatchedSizeSettled(const NKNormalSizeWatch *pWatch, int *piWidth, int *piHeight);
// How the manager holds the window by the events handled so far: false
// while the last stretch's state is not known.
bool NKWatchedHold(const NKNormalSizeWatch *pWatch, NKWindowHold *pHold);
// What the program asks the manager for: a placement of the window, or
// that it be held normal or maximised.
enum NKAskedChange { NK_ASKED_PLACE, NK_ASKED_NORMAL, NK_ASKED_MAXIMIZED };
// Notes that the program asks for that change, so that the manager's
// answer is known: a placement right after its request, a state right
// before. A placement is answered once the manager has handled it (carried
// out or refused): where it takes frame extents asked of a window, by
// their write on a window of the watch's own asked right after (it handles
// requests in order); else by a notice of the place after the request. A
// state is answered by a stretch holding it, begun after the mark (and,
// for a window not yet mapped, after the map). A later ask replaces one.
void NKMarkAsked(NKNormalSizeWatch *pWatch, NKAskedChange change);
// Whether the manager has answered the last placement asked (bPlace) or
// the last state asked, by the events handled so far (a placement's answer
// once Qt has handled it). True where nothing was asked, and without a
// watch.
bool NKAskedAnswered(const NKNormalSizeWatch *pWatch, bool bPlace);
void NKEndNormalSizeWatch(NKNormalSizeWatch *pWatch);
