// platform/nk_display_check.cpp -- the display check before the Qt
// application (see nk_display_check.h). The command line and the environment
// are read as Qt 6 reads them (QGuiApplication's platform choice, then the
// xcb platform's own options), so that the check opens the display Qt will
// open; the open runs on a thread of its own, so that the wait for a server
// that is slow to answer can say so, and can end.
#include "platform/nk_display_check.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <strings.h>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace {

// How long the server may take to answer the connection: far longer than
// a busy machine, a loaded CI runner or a slow forwarded link takes, so
// that only a server that will never answer reaches it. QUOLIN_DISPLAY_WAIT
// (whole seconds) sets another.
constexpr int kAnswerSeconds = 120;
// How long the wait goes on before it says that it is waiting.
constexpr int kNoticeSeconds = 3;
// How many times a connection that a running server closed unanswered is
// made again, and the pause before the first of them (doubled each time).
constexpr int kResetRetries = 5;
constexpr int kFirstRetryMilliseconds = 10;

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

// The wait's limit in seconds: QUOLIN_DISPLAY_WAIT when it is a whole
// number from 1 to a day, else kAnswerSeconds.
int AnswerSeconds(void)
{
    const char *pszValue = std::getenv("QUOLIN_DISPLAY_WAIT");
    if (pszValue == nullptr || *pszValue == '\0') return kAnswerSeconds;
    char *pszEnd = nullptr;
    long iSeconds = std::strtol(pszValue, &pszEnd, 10);
    if (*pszEnd != '\0' || iSeconds < 1 || iSeconds > 86400) return kAnswerSeconds;
    return static_cast<int>(iSeconds);
}

// Whether the display is one of this machine's (":N", "unix:N", with or
// without ".SCREEN") whose server's socket is there. An X server keeps that
// socket through the reset it makes when its last client leaves, and
// removes it when it ends; a display that was never started has none.
bool LocalServerSocketExists(const std::string &name)
{
    size_t iColon = name.rfind(':');
    if (iColon == std::string::npos) return false;
    const std::string host = name.substr(0, iColon);
    if (!host.empty() && host != "unix" && host != "unix/") return false;
    std::string number = name.substr(iColon + 1);
    number = number.substr(0, number.find('.'));
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) return false;
    struct stat info;
    const std::string path = "/tmp/.X11-unix/X" + number;
    return stat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

// XOpenDisplay(name), made again while the server is there but closed the
// connection unanswered. That is what a server does to a connection that
// arrives while it resets (between its last client leaving and its
// listening again): it accepts it and then closes every client it has. The
// connection made after that one was closed reaches the server after the
// reset and is answered however long the reset took, so the outcome never
// hangs on the machine's speed; the few attempts are for other programs
// leaving the server at the same moment. A display with no server socket
// fails at once, and one whose socket is left by a server that ended fails
// after the short pauses alone.
Display *OpenThroughReset(const std::string &name)
{
    Display *pDisplay = XOpenDisplay(name.c_str());
    int iPause = kFirstRetryMilliseconds;
    for (int i = 0; i < kResetRetries && pDisplay == nullptr && LocalServerSocketExists(name);
         i++) {
        std::this_thread::sleep_for(std::chrono::milliseconds(iPause));
        iPause *= 2;
        pDisplay = XOpenDisplay(name.c_str());
    }
    return pDisplay;
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

// OpenThroughReset(name), waited for iLimitSeconds at most; onWaiting is
// called once when the wait has lasted kNoticeSeconds and goes on.
// *pbAnswered false when the wait gave up (the opening thread then goes on
// alone).
Display *OpenWaiting(const std::string &name, int iLimitSeconds,
                     const std::function<void(void)> &onWaiting, bool *pbAnswered)
{
    auto pAttempt = std::make_shared<OpenAttempt>();
    std::thread([pAttempt, name] {
        Display *pDisplay = OpenThroughReset(name);
        std::lock_guard<std::mutex> lock(pAttempt->mutex);
        if (pAttempt->bAbandoned) {
            if (pDisplay != nullptr) XCloseDisplay(pDisplay);
            return;
        }
        pAttempt->pDisplay = pDisplay;
        pAttempt->bAnswered = true;
        pAttempt->answered.notify_one();
    }).detach();
    const auto begun = std::chrono::steady_clock::now();
    const auto isAnswered = [&pAttempt] { return pAttempt->bAnswered; };
    std::unique_lock<std::mutex> lock(pAttempt->mutex);
    const int iNoticeSeconds = std::min(kNoticeSeconds, iLimitSeconds);
    if (!pAttempt->answered.wait_until(lock, begun + std::chrono::seconds(iNoticeSeconds),
                                       isAnswered) &&
        iNoticeSeconds < iLimitSeconds) {
        lock.unlock();
        onWaiting();
        lock.lock();
    }
    *pbAnswered = pAttempt->answered.wait_until(lock, begun + std::chrono::seconds(iLimitSeconds),
                                                isAnswered);
    pAttempt->bAbandoned = !*pbAnswered;
    return pAttempt->pDisplay;
}

}  // namespace

bool NKCanOpenDisplay(int argc, char **argv, std::string *pMessage,
                      const std::function<void(const std::string &)> &onWaiting)
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
    const std::string quoted = std::string("display \"") + pszName + "\"";
    const int iLimitSeconds = AnswerSeconds();
    bool bAnswered = false;
    Display *pDisplay = OpenWaiting(
        pszName, iLimitSeconds,
        [&] {
            if (onWaiting) onWaiting("still waiting for " + quoted + " to answer");
        },
        &bAnswered);
    if (!bAnswered) {
        *pMessage = quoted + " does not answer (waited " + std::to_string(iLimitSeconds) + " s)";
        return false;
    }
    if (pDisplay == nullptr) {
        *pMessage = "cannot open " + quoted;
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
