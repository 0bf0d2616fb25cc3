// platform/nk_display_check.cpp -- the display check before the Qt
// application (see nk_display_check.h). The command line and the environment
// are read as Qt 6 reads them (QGuiApplication's platform choice, then the
// xcb platform's own options), so that the check opens the display Qt will
// open. The wait for a server that is slow to answer is the platform
// start's watch (nk_platform_start.h), which also covers Qt's own connect.
#include "platform/nk_display_check.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <strings.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// How long the server may take to answer the connection: far longer than
// a busy machine, a loaded CI runner or a slow forwarded link takes, so
// that only a server that will never answer reaches it. QUOLIN_DISPLAY_WAIT
// (whole seconds) sets another.
constexpr int kAnswerSeconds = 120;
constexpr long kLongestAnswerSeconds = 86400;
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
// one. The words left are moved down over those taken in a copy of argv
// with its end (argv[argc]), as Qt moves them in argv itself, so that
// whatever follows the last word left is one of the caller's: a read past
// it takes a word given on the command line, never memory of the check's.
PlatformChoice ReadPlatformChoice(int argc, char **argv)
{
    static const char *const kWithValue[] = {"-platformpluginpath", "-platformtheme",
                                             "-qwindowgeometry", "-qwindowtitle", "-qwindowicon"};
    static const char *const kXcbWithValue[] = {"-geometry", "-title", "-icon"};
    PlatformChoice choice;
    choice.platforms = DefaultPlatforms();
    const char *pszEnvironment = std::getenv("QT_QPA_PLATFORM");
    if (pszEnvironment != nullptr && *pszEnvironment != '\0') choice.platforms = pszEnvironment;
    std::vector<const char *> left(argv, argv + argc + 1);
    size_t iLeft = 1;
    for (int i = 1; i < argc; i++) {
        if (argv[i] == nullptr) continue;
        const std::string name = argv[i][0] == '-' ? OptionName(argv[i]) : "";
        const bool bXcbSoFar = choice.platforms.compare(0, 3, "xcb") == 0;
        if (name == "-platform") {
            if (++i < argc) choice.platforms = argv[i];
        } else if (IsOneOf(name, kWithValue) || (bXcbSoFar && IsOneOf(name, kXcbWithValue))) {
            ++i;
        } else {
            left[iLeft++] = argv[i];
        }
    }
    for (size_t i = 1; i + 1 < iLeft; i++) {
        const std::string name = OptionName(left[i]);
        if (name == "-display")
            choice.pszDisplay = left[++i];
        else if (name == "-name" || name == "-visual")
            ++i;
    }
    return choice;
}

// The platforms of the list in order, each without its options (after
// ':'); empty entries go.
std::vector<std::string> PlatformNames(const std::string &platforms)
{
    std::vector<std::string> names;
    size_t iStart = 0;
    while (iStart <= platforms.size()) {
        size_t iEnd = platforms.find(';', iStart);
        if (iEnd == std::string::npos) iEnd = platforms.size();
        const std::string entry = platforms.substr(iStart, iEnd - iStart);
        if (!entry.empty()) names.push_back(entry.substr(0, entry.find(':')));
        iStart = iEnd + 1;
    }
    return names;
}

// The X display the xcb platform opens: "-display" where it names one (an
// empty name is none: Xlib then reads DISPLAY, as Qt does), else DISPLAY;
// null when neither does.
const char *X11DisplayName(const PlatformChoice &choice)
{
    const char *pszName = choice.pszDisplay;
    if (pszName == nullptr || *pszName == '\0') pszName = std::getenv("DISPLAY");
    return pszName != nullptr && *pszName != '\0' ? pszName : nullptr;
}

bool IsSocket(const std::string &path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

// The Wayland display the wayland platforms connect to, where its socket
// is there (WAYLAND_DISPLAY, a path or a name in XDG_RUNTIME_DIR, else
// "wayland-0"); empty where it is not, as the platform then fails at once.
std::string WaylandDisplayName(void)
{
    const char *pszName = std::getenv("WAYLAND_DISPLAY");
    const std::string name = pszName != nullptr && *pszName != '\0' ? pszName : "wayland-0";
    const char *pszRuntime = std::getenv("XDG_RUNTIME_DIR");
    if (name[0] != '/' && pszRuntime == nullptr) return "";
    return IsSocket(name[0] == '/' ? name : std::string(pszRuntime) + "/" + name) ? name : "";
}

// Whether the xcb platform is the one Qt starts or none: every platform of
// the list is xcb but Wayland ones before it whose display has no socket,
// which fail at once (Qt matches the names without regard to case).
bool EndsOnX11(const std::string &platforms)
{
    bool bX11 = false;
    for (const std::string &name : PlatformNames(platforms)) {
        if (strcasecmp(name.c_str(), "xcb") == 0)
            bX11 = true;
        else if (bX11 || strncasecmp(name.c_str(), "wayland", 7) != 0 ||
                 !WaylandDisplayName().empty())
            return false;
    }
    return bX11;
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
    return IsSocket("/tmp/.X11-unix/X" + number);
}

// The text's lines without the blanks around them, the empty ones left
// out, joined by "; ".
std::string OneLine(const std::string &text)
{
    std::string line;
    size_t iStart = 0;
    while (iStart < text.size()) {
        size_t iEnd = text.find_first_of("\r\n", iStart);
        if (iEnd == std::string::npos) iEnd = text.size();
        const std::string part = text.substr(iStart, iEnd - iStart);
        const size_t iFirst = part.find_first_not_of(" \t");
        if (iFirst != std::string::npos) {
            if (!line.empty()) line += "; ";
            line += part.substr(iFirst, part.find_last_not_of(" \t") + 1 - iFirst);
        }
        iStart = iEnd + 1;
    }
    return line;
}

std::string ReadFromStart(int iFile)
{
    std::string text;
    char acBuffer[4096];
    ssize_t iRead;
    lseek(iFile, 0, SEEK_SET);
    while ((iRead = read(iFile, acBuffer, sizeof acBuffer)) > 0)
        text.append(acBuffer, static_cast<size_t>(iRead));
    return text;
}

// XOpenDisplay(name), with what is written to standard error meanwhile
// caught: the X library's connection code writes a server's refusal (the
// reason the server sent: "Authorization required, ...") there itself, and
// nothing else tells a refusal from a connection closed unanswered. Where
// the display does not open, *pRefusal gets what was written, on one line
// (empty: nothing was, the connection failed or was closed unanswered);
// where it opens, what was written goes on to standard error.
Display *OpenCatchingRefusal(const std::string &name, std::string *pRefusal)
{
    pRefusal->clear();
    const int iCatch = memfd_create("quolin-display-check", MFD_CLOEXEC);
    const int iError = iCatch >= 0 ? fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0) : -1;
    if (iError < 0) {
        if (iCatch >= 0) close(iCatch);
        return XOpenDisplay(name.c_str());
    }
    std::fflush(stderr);
    dup2(iCatch, STDERR_FILENO);
    Display *pDisplay = XOpenDisplay(name.c_str());
    dup2(iError, STDERR_FILENO);
    close(iError);
    const std::string written = ReadFromStart(iCatch);
    close(iCatch);
    if (pDisplay == nullptr)
        *pRefusal = OneLine(written);
    else
        std::fwrite(written.data(), 1, written.size(), stderr);
    return pDisplay;
}

// XOpenDisplay(name), made again while the server is there but closed the
// connection unanswered. That is what a server does to a connection that
// arrives while it resets (between its last client leaving and its
// listening again): it accepts it and then closes every client it has. The
// connection made after that one was closed reaches the server after the
// reset and is answered however long the reset took, so the outcome never
// hangs on the machine's speed; the few attempts are for other programs
// leaving the server at the same moment. A refusal (*pRefusal: the
// server's reason) is the server's answer and is not asked again; a
// display with no server socket fails at once, and one whose socket is
// left by a server that ended fails after the short pauses alone.
Display *OpenThroughReset(const std::string &name, std::string *pRefusal)
{
    Display *pDisplay = OpenCatchingRefusal(name, pRefusal);
    int iPause = kFirstRetryMilliseconds;
    for (int i = 0; i < kResetRetries && pDisplay == nullptr && pRefusal->empty() &&
                    LocalServerSocketExists(name);
         i++) {
        std::this_thread::sleep_for(std::chrono::milliseconds(iPause));
        iPause *= 2;
        pDisplay = OpenCatchingRefusal(name, pRefusal);
    }
    return pDisplay;
}

}  // namespace

int NKDisplayWaitSeconds(const char *pszValue, std::string *pProblem)
{
    pProblem->clear();
    if (pszValue == nullptr || *pszValue == '\0') return kAnswerSeconds;
    const size_t iLength = std::strlen(pszValue);
    long iSeconds = 0;
    if (iLength <= 6 && std::strspn(pszValue, "0123456789") == iLength)
        iSeconds = std::strtol(pszValue, nullptr, 10);
    if (iSeconds >= 1 && iSeconds <= kLongestAnswerSeconds) return static_cast<int>(iSeconds);
    *pProblem = std::string("QUOLIN_DISPLAY_WAIT \"") + pszValue +
                "\" is not a whole number of seconds from 1 to " +
                std::to_string(kLongestAnswerSeconds) + ": the wait is " +
                std::to_string(kAnswerSeconds) + " s";
    return kAnswerSeconds;
}

std::string NKDisplayWaitSubject(int argc, char **argv)
{
    const PlatformChoice choice = ReadPlatformChoice(argc, argv);
    std::vector<std::string> displays;
    for (const std::string &platform : PlatformNames(choice.platforms)) {
        std::string name;
        if (strcasecmp(platform.c_str(), "xcb") == 0) {
            const char *pszName = X11DisplayName(choice);
            if (pszName != nullptr) name = pszName;
        } else if (strncasecmp(platform.c_str(), "wayland", 7) == 0) {
            name = WaylandDisplayName();
        }
        if (!name.empty() && std::find(displays.begin(), displays.end(), name) == displays.end())
            displays.push_back(name);
    }
    if (displays.empty()) return "the window platform \"" + choice.platforms + "\"";
    std::string subject = "display";
    for (size_t i = 0; i < displays.size(); i++)
        subject += (i == 0 ? " \"" : " or \"") + displays[i] + "\"";
    return subject;
}

bool NKCanOpenDisplay(int argc, char **argv, std::string *pMessage)
{
    const PlatformChoice choice = ReadPlatformChoice(argc, argv);
    if (!EndsOnX11(choice.platforms)) return true;
    const char *pszName = X11DisplayName(choice);
    // Where Wayland was asked for too, the platform's own line says that
    // neither has a display.
    if (pszName == nullptr && strncasecmp(choice.platforms.c_str(), "xcb", 3) != 0) return true;
    if (pszName == nullptr) {
        *pMessage = "cannot open display: DISPLAY is not set";
        return false;
    }
    std::string refusal;
    Display *pDisplay = OpenThroughReset(pszName, &refusal);
    if (pDisplay == nullptr) {
        *pMessage = std::string("cannot open display \"") + pszName + "\"";
        if (!refusal.empty()) *pMessage += ": " + refusal;
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
