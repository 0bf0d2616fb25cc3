// platform/nk_display_check.cpp -- the display check before the Qt
// application (see nk_display_check.h).
#include "platform/nk_display_check.h"

#include <X11/Xlib.h>

#include <cstdlib>
#include <cstring>

namespace {

// The value of option pszOption ("-platform", "-display") of the command
// line, as Qt reads it; null when it is not given.
const char *OptionValue(int argc, char **argv, const char *pszOption)
{
    for (int i = 1; i + 1 < argc; i++)
        if (std::strcmp(argv[i], pszOption) == 0) return argv[i + 1];
    return nullptr;
}

// Whether Qt will start on the X11 platform alone: the platform named (its
// options after ':' aside) is "xcb" with no other to fall back on, or none is
// named and the session is no Wayland session.
bool UsesX11Only(int argc, char **argv)
{
    const char *pszPlatform = OptionValue(argc, argv, "-platform");
    if (pszPlatform == nullptr) pszPlatform = std::getenv("QT_QPA_PLATFORM");
    if (pszPlatform == nullptr || *pszPlatform == '\0') {
        const char *pszSession = std::getenv("XDG_SESSION_TYPE");
        return pszSession == nullptr || std::strcmp(pszSession, "wayland") != 0;
    }
    std::string name(pszPlatform);
    if (name.find(';') != std::string::npos) return false;
    return name.substr(0, name.find(':')) == "xcb";
}

}  // namespace

bool NKCanOpenDisplay(int argc, char **argv, std::string *pMessage)
{
    if (!UsesX11Only(argc, argv)) return true;
    const char *pszName = OptionValue(argc, argv, "-display");
    if (pszName == nullptr) pszName = std::getenv("DISPLAY");
    if (pszName == nullptr || *pszName == '\0') {
        *pMessage = "cannot open display: DISPLAY is not set";
        return false;
    }
    Display *pDisplay = XOpenDisplay(pszName);
    if (pDisplay == nullptr) {
        *pMessage = std::string("cannot open display \"") + pszName + "\"";
        return false;
    }
    XCloseDisplay(pDisplay);
    return true;
}
