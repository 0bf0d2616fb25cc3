// platform/nk_display_check.h -- whether the windowing platform can open its
// display, asked before the Qt application is made: Qt's own connection
// neither says which display failed nor why. The check's connection stays
// open until the platform has made its own (NKEndDisplayCheck): an X server
// that resets when its last client leaves would otherwise reset between the
// two and refuse the platform's connection. How long a start waits for its
// display is the platform start's watch (nk_platform_start.h), for every
// platform Qt may choose; this file gives it its limit and what it names.
#pragma once

#include <string>

// The wait's limit in seconds, from pszValue (QUOLIN_DISPLAY_WAIT's value;
// null: unset): a whole number from 1 to a day (86400). Unset or empty it
// is 120 s, far longer than a busy machine or a slow forwarded link takes
// to answer, so that only a display that will never answer reaches it;
// any other value also gives 120, with the line that names it in
// *pProblem (empty otherwise).
int NKDisplayWaitSeconds(const char *pszValue, std::string *pProblem);

// What a start waits for, named for the lines that say so: the displays of
// the platforms Qt tries, read as Qt reads them (below), in order, each
// once: 'display ":0"', 'display "wayland-0" or ":0"'. An X display is the
// one "-display" names, else DISPLAY; a Wayland display counts only where
// its socket is there, since the platform fails at once without it. Where
// no platform of the list has a display: 'the window platform "NAME"'.
std::string NKDisplayWaitSubject(int argc, char **argv);

// The display is opened where Qt starts on the X11 platform or on none, read
// as Qt reads it: the platform named by "-platform" (or "--platform"), else
// by QT_QPA_PLATFORM, else Qt's default (X11, with Wayland before it where
// WAYLAND_DISPLAY is set or XDG_SESSION_TYPE is "wayland"), holding xcb
// alone or after Wayland platforms whose display has no socket (they fail
// at once, so X11 is where the start goes, or fails); the display named
// by "-display" (or "--display") among the options Qt leaves to its
// platform, else by DISPLAY. The open takes as long as the server takes to
// answer (the watch ends a wait that is too long). A connection that a
// running server on this machine closes unanswered, as it does while it
// resets when its last client has left, is made again; a refusal is the
// server's answer and is not. False, with the message for standard error in
// *pMessage, when the display cannot be opened: that DISPLAY is not set, or
// "cannot open display" and its name, followed by the server's reason where
// it refused ("Authorization required, ..."), which nothing else prints
// (where Wayland was asked for too and no X display is named, the platform's
// own line says that neither display is there). Any other list passes: the
// check is Qt's there. A display that opens, named by the option,
// becomes DISPLAY too: the stroke font's library and the programs started
// from this one read DISPLAY alone, and must reach the display Qt reaches.
bool NKCanOpenDisplay(int argc, char **argv, std::string *pMessage);
// Closes the check's connection; called once the platform has connected.
void NKEndDisplayCheck(void);
