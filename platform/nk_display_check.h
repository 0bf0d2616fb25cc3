// platform/nk_display_check.h -- whether the windowing platform can open its
// display, asked before the Qt application is made: Qt's own failure there
// ends the program with an abort.
#pragma once

#include <string>

// For the X11 platform (xcb: chosen by "-platform", else by QT_QPA_PLATFORM,
// else Qt's default outside a Wayland session) the display of "-display",
// else of DISPLAY, is opened and closed again. False, with the message for
// standard error in *pMessage, when it cannot be opened: "cannot open
// display" and its name, or that DISPLAY is not set. Any other platform
// passes: the check is Qt's there.
bool NKCanOpenDisplay(int argc, char **argv, std::string *pMessage);
