// platform/nk_normal_size_watch.h -- the size a top-level window has while
// its window manager holds it normal, told apart from the sizes the
// manager gives it on the way to and from another state.
//
// A manager carries out a change of state in several steps, each seen by
// the program as an event: it writes the state, moves and sizes the client
// and its frame, writes new frame extents and sends a synthetic notice of
// the new place. Between the steps the window can be normal by its state
// with another state's size: openbox restoring a maximised window writes
// the normal state first and sizes the client last. And the program may
// see those events late, when the manager has long left the normal state
// again, so a reading of the window from the X server tells nothing of the
// moment an event stands for.
//
// So the watch follows the window's events in the order the X server made
// them, on a connection of its own to the server: Qt drops a notice of the
// window's new place and size when another one for it already waits (a
// maximised size the manager gave at start would never be seen), and the
// watch must see every one. Each write of the state begins a stretch. A stretch's state is
// known when a reading of the state is followed by a mark the watch writes
// on the window with no write of the state between the stretch's start and
// the mark. In a stretch known normal, the client's size is settled once
// it differs from the size the window last had in a known maximised or
// full-screen stretch, or at the end of a stretch whose state was never
// known when that was not the normal size (the manager sized the client
// back); at once when there was neither. The normal size (at first the
// size of a window shown normal) is the last settled one, taken from the
// real notices of the client's size (a synthetic one counts for nothing):
// a later real resize in the stretch corrects it, however late the
// program sees it. A stretch whose state was never known (all of it seen
// late) gives no size.
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
// before. The manager has answered a placement, carried out or refused
// where its own rule keeps the window elsewhere, once it has handled it:
// a manager that takes frame extents asked of a window not yet shown is
// asked for those of a window of the watch's own after the placement,
// and their write answers it, the manager handling what it is sent in
// order (a synthetic notice of the window's place may be a late one for
// an earlier request, which the X server numbers past the placement once
// it has passed the placement on to the manager); with another manager,
// a synthetic notice of the place that Qt's connection receives after the
// request (Qt drops it where the place is the one it knows, and the
// program then learns of no answer). A state is answered by writing it: a
// mark on the window, which the server notes before the request made
// next, and a stretch after it known to hold the state asked (for a
// window not yet mapped, after the map: the state a manager writes as it
// takes the window on answers nothing asked before).
// A placement or a state asked later replaces the one before.
void NKMarkAsked(NKNormalSizeWatch *pWatch, NKAskedChange change);
// Whether the manager has answered the last placement asked (bPlace) or
// the last state asked, by the events handled so far (a placement's answer
// once Qt has handled it). True where nothing was asked, and without a
// watch.
bool NKAskedAnswered(const NKNormalSizeWatch *pWatch, bool bPlace);
void NKEndNormalSizeWatch(NKNormalSizeWatch *pWatch);
