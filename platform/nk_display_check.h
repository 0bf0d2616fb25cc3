// platform/nk_display_check.h -- whether the windowing platform can open its
// display, asked before the Qt application is made: Qt's own connection
// neither waits for a slow server nor says which display failed. The
// check's connection stays open until the platform has made its own
// (NKEndDisplayCheck): an X server that resets when its last client leaves
// would otherwise reset between the two and refuse the platform's
// connection.
#pragma once

#include <functional>
#include <string>

// The display is opened where Qt would start on the X11 platform alone, read
// as Qt reads it: the platform named by "-platform" (or "--platform"), else
// by QT_QPA_PLATFORM, else Qt's default (X11, with Wayland before it where
// WAYLAND_DISPLAY is set or XDG_SESSION_TYPE is "wayland"); the display named
// by "-display" (or "--display") among the options Qt leaves to its
// platform, else by DISPLAY. The open waits for the server's answer as long
// as a server that answers at all takes, busy or slow as the machine or the
// link may be: after a few seconds onWaiting gets the line that says the
// start is still waiting for that display, and after 120 s
// (QUOLIN_DISPLAY_WAIT: other whole seconds) the wait ends. A connection
// that a running server on this machine closes unanswered, as it does while
// it resets when its last client has left, is made again. False, with the
// message for standard error in *pMessage, when the display cannot be
// opened: "cannot open display" and its name, that DISPLAY is not set, or
// that the display does not answer. A list of platforms holding another
// than X11, or another platform, passes: the check is Qt's there. A display
// that opens, named by the option, becomes DISPLAY too: the stroke font's
// library and the programs started from this one read DISPLAY alone, and
// must reach the display Qt reaches.
bool NKCanOpenDisplay(int argc, char **argv, std::string *pMessage,
                      const std::function<void(const std::string &)> &onWaiting);
// Closes the check's connection; called once the platform has connected.
void NKEndDisplayCheck(void);
