// platform/nk_display_check.cpp -- the display check before the Qt
// application (see nk_display_check.h). The command line and the environment
// are read as Qt 6 reads them (QGuiApplication's platform choice, then the
// xcb platform's own options), so that the check opens the display Qt will
// open; the open runs on a thread of its own, so that a server that never
// answers ends the wait at the limit.
#include "platform/nk_display_check.h"

#include <X11/Xlib.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <strings.h>
#include <thread>
#include <vector>

namespace {

// How long the server may take to answer the connection.
constexpr int kAnswerSeconds = 5;

// The check's connection, open until the platform has its own.
Display *sg_pHeld = nullptr;

// The platforms Qt tries, in order ("xcb", "wayland;xcb"), and the display
// the xcb platform is given on the command line (null: none).
struct PlatformChoice {
    std::string platforms;
    const char *pszDisplay = nullptr;
};

// Qt reads "--name" as "-name".
std::string OptionName(const char *pszArgument)
{
    return pszArgument[0] == '-' && pszArgument[1] == '-' ? pszArgument + 1 : pszArgument;
}

template <size_t N>
bool IsOneOf(const std::string &name, const char *const (&apszNames)[N])
{
    for (const char *pszName : apszNames)
        if (name == pszName) return true;
    return false;
}

// Qt's default: X11, with Wayland tried first in a Wayland session.
std::string DefaultPlatforms(void)
{
    const char *pszSession = std::getenv("XDG_SESSION_TYPE");
    bool bWayland = std::getenv("WAYLAND_DISPLAY") != nullptr ||
                    (pszSession != nullptr && std::strcmp(pszSession, "wayland") == 0);
    return bWayland ? "wayland;xcb" : "xcb";
}

// The application's options that take a value are passed over ("-geometry",
// "-title" and "-icon" only while the platform so far is xcb), "-platform"
// names the platforms; of the arguments left, the xcb platform takes
// "-display", "-name" and "-visual" with the word after them, when there is
// one.
PlatformChoice ReadPlatformChoice(int argc, char **argv)
{
    static const char *const kWithValue[] = {"-platformpluginpath", "-platformtheme",
                                             "-qwindowgeometry", "-qwindowtitle", "-qwindowicon"};
    static const char *const kXcbWithValue[] = {"-geometry", "-title", "-icon"};
    PlatformChoice choice;
    choice.platforms = DefaultPlatforms();
    const char *pszEnvironment = std::getenv("QT_QPA_PLATFORM");
    if (pszEnvironment != nullptr && *pszEnvironment != '\0') choice.platforms = pszEnvironment;
    std::vector<const char *> left;
    for (int i = 1; i < argc; i++) {
        if (argv[i] == nullptr) continue;
        if (argv[i][0] != '-') {
            left.push_back(argv[i]);
            continue;
        }
        const std::string name = OptionName(argv[i]);
        const bool bXcbSoFar = choice.platforms.compare(0, 3, "xcb") == 0;
        if (name == "-platform") {
            if (++i < argc) choice.platforms = argv[i];
        } else if (IsOneOf(name, kWithValue) || (bXcbSoFar && IsOneOf(name, kXcbWithValue))) {
            ++i;
        } else {
            left.push_back(argv[i]);
        }
    }
    for (size_t i = 0; i + 1 < left.size(); i++) {
        const std::string name = OptionName(left[i]);
        if (name == "-display")
            choice.pszDisplay = left[++i];
        else if (name == "-name" || name == "-visual")
            ++i;
    }
    return choice;
}

// Whether every platform of the list (options after ':' aside) is xcb,
// which Qt matches without regard to case.
bool UsesX11Only(const std::string &platforms)
{
    bool bAny = false;
    size_t iStart = 0;
    while (iStart <= platforms.size()) {
        size_t iEnd = platforms.find(';', iStart);
        if (iEnd == std::string::npos) iEnd = platforms.size();
        std::string entry = platforms.substr(iStart, iEnd - iStart);
        if (!entry.empty()) {
            if (strcasecmp(entry.substr(0, entry.find(':')).c_str(), "xcb") != 0) return false;
            bAny = true;
        }
        iStart = iEnd + 1;
    }
    return bAny;
}

// The open in progress, shared by the waiting thread and the opening one,
// which closes a display that answers after the wait gave up.
struct OpenAttempt {
    std::mutex mutex;
    std::condition_variable answered;
    bool bAnswered = false;
    bool bAbandoned = false;
    Display *pDisplay = nullptr;
};

// XOpenDisplay(name), waited for kAnswerSeconds at most; *pbAnswered false
// when the wait gave up (the opening thread then goes on alone).
Display *OpenWithinLimit(const std::string &name, bool *pbAnswered)
{
    auto pAttempt = std::make_shared<OpenAttempt>();
    std::thread([pAttempt, name] {
        Display *pDisplay = XOpenDisplay(name.c_str());
        std::lock_guard<std::mutex> lock(pAttempt->mutex);
        if (pAttempt->bAbandoned) {
            if (pDisplay != nullptr) XCloseDisplay(pDisplay);
            return;
        }
        pAttempt->pDisplay = pDisplay;
        pAttempt->bAnswered = true;
        pAttempt->answered.notify_one();
    }).detach();
    std::unique_lock<std::mutex> lock(pAttempt->mutex);
    *pbAnswered = pAttempt->answered.wait_for(lock, std::chrono::seconds(kAnswerSeconds),
                                              [&pAttempt] { return pAttempt->bAnswered; });
    pAttempt->bAbandoned = !*pbAnswered;
    return pAttempt->pDisplay;
}

}  // namespace

bool NKCanOpenDisplay(int argc, char **argv, std::string *pMessage)
{
    const PlatformChoice choice = ReadPlatformChoice(argc, argv);
    if (!UsesX11Only(choice.platforms)) return true;
    // An empty "-display" is no name: Xlib then reads DISPLAY, as Qt does.
    const char *pszName = choice.pszDisplay;
    if (pszName == nullptr || *pszName == '\0') pszName = std::getenv("DISPLAY");
    if (pszName == nullptr || *pszName == '\0') {
        *pMessage = "cannot open display: DISPLAY is not set";
        return false;
    }
    bool bAnswered = false;
    Display *pDisplay = OpenWithinLimit(pszName, &bAnswered);
    if (!bAnswered) {
        *pMessage = std::string("display \"") + pszName + "\" does not answer (waited " +
                    std::to_string(kAnswerSeconds) + " s)";
        return false;
    }
    if (pDisplay == nullptr) {
        *pMessage = std::string("cannot open display \"") + pszName + "\"";
        return false;
    }
    NKEndDisplayCheck();
    sg_pHeld = pDisplay;
    if (pszName == choice.pszDisplay) setenv("DISPLAY", pszName, 1);
    return true;
}

void NKEndDisplayCheck(void)
{
    if (sg_pHeld != nullptr) XCloseDisplay(sg_pHeld);
    sg_pHeld = nullptr;
}
