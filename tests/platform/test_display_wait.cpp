// tests/platform/test_display_wait.cpp -- how long a start waits for its
// display and what it names while it waits (platform/nk_display_check.h),
// and the watch over the platform's start (platform/nk_platform_start.h):
// the limit QUOLIN_DISPLAY_WAIT sets, the default and the line naming a
// value that is not one; the displays of each platform list; a watch that
// says once that the work still runs, ends it at its limit, and lets work
// that ended go at once.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/nk_display_check.h"
#include "platform/nk_platform_start.h"
#include "tests/test_support/test_files.h"
#include "tests/test_support/test_wait.h"

namespace {

// A line for the X library to write to standard error on its way into
// XOpenDisplay (null: none), as it writes what a server sent.
const char *sg_pszXlibLine = nullptr;

}  // namespace

// The X library's XOpenDisplay, after the line of sg_pszXlibLine: this
// program's own definition comes before the library's.
extern "C" Display *XOpenDisplay(_Xconst char *pszName)
{
    using Open = Display *(*)(_Xconst char *);
    static const Open pfnOpen = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "XOpenDisplay"));
    if (sg_pszXlibLine != nullptr) {
        const ssize_t iWritten = write(STDERR_FILENO, sg_pszXlibLine, std::strlen(sg_pszXlibLine));
        (void)iWritten;
    }
    return pfnOpen != nullptr ? pfnOpen(pszName) : nullptr;
}

namespace {

// The environment variables given (null: unset) for one scope; what was
// there before comes back after.
class EnvironmentSetting {
public:
    explicit EnvironmentSetting(const std::map<std::string, const char *> &values)
    {
        for (const auto &value : values) {
            const char *pszOld = std::getenv(value.first.c_str());
            m_Old.push_back({value.first, pszOld != nullptr, pszOld != nullptr ? pszOld : ""});
            if (value.second != nullptr)
                setenv(value.first.c_str(), value.second, 1);
            else
                unsetenv(value.first.c_str());
        }
    }
    ~EnvironmentSetting()
    {
        for (const Old &old : m_Old) {
            if (old.bHad)
                setenv(old.name.c_str(), old.value.c_str(), 1);
            else
                unsetenv(old.name.c_str());
        }
    }
    EnvironmentSetting(const EnvironmentSetting &) = delete;
    EnvironmentSetting &operator=(const EnvironmentSetting &) = delete;

private:
    struct Old {
        std::string name;
        bool bHad;
        std::string value;
    };
    std::vector<Old> m_Old;
};

// A listening socket at path for one scope: a Wayland display that is there.
class ListeningSocket {
public:
    explicit ListeningSocket(const std::string &path) : m_Path(path)
    {
        m_iSocket = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        EXPECT_EQ(bind(m_iSocket, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
        EXPECT_EQ(listen(m_iSocket, 1), 0);
    }
    ~ListeningSocket()
    {
        close(m_iSocket);
        unlink(m_Path.c_str());
    }
    ListeningSocket(const ListeningSocket &) = delete;
    ListeningSocket &operator=(const ListeningSocket &) = delete;

private:
    std::string m_Path;
    int m_iSocket;
};

// A fresh folder in the test's temporary folder for one scope, removed with
// what it holds after it; "" where it cannot be made.
class TempFolder {
public:
    explicit TempFolder(const char *pszPrefix) : m_Path(NKTestMakeTempDir(pszPrefix)) {}
    ~TempFolder()
    {
        if (!m_Path.empty()) {
            EXPECT_TRUE(NKTestRemoveDir(m_Path)) << m_Path;
        }
    }
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;
    const std::string &Path(void) const { return m_Path; }

private:
    std::string m_Path;
};

// What a watch called, in order: "notice", "limit".
struct WatchCalls {
    std::mutex mutex;
    std::vector<std::string> calls;
    void Add(const char *pszCall)
    {
        std::lock_guard<std::mutex> lock(mutex);
        calls.push_back(pszCall);
    }
    std::vector<std::string> Taken(void)
    {
        std::lock_guard<std::mutex> lock(mutex);
        return calls;
    }
};

long MillisecondsSince(std::chrono::steady_clock::time_point begun)
{
    const auto elapsed = std::chrono::steady_clock::now() - begun;
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

}  // namespace

// A whole number of seconds from 1 to a day is the limit; unset or empty it
// is 120 s, and anything else is named in a line and gives 120 s too.
TEST(DisplayWait, TheLimitIsWholeSecondsElseTheDefaultNamed)
{
    const struct {
        const char *pszValue;
        int iSeconds;
        bool bNamed;
    } kCases[] = {{nullptr, 120, false},   {"", 120, false},
                  {"4", 4, false},         {"1", 1, false},
                  {"30", 30, false},       {"007", 7, false},
                  {"86400", 86400, false}, {"0", 120, true},
                  {"abc", 120, true},      {"5s", 120, true},
                  {"-3", 120, true},       {"+5", 120, true},
                  {" 5", 120, true},       {"4.5", 120, true},
                  {"86401", 120, true},    {"99999999999999999999", 120, true}};
    for (const auto &c : kCases) {
        const std::string shown = c.pszValue != nullptr ? c.pszValue : "(unset)";
        std::string problem = "left from before";
        EXPECT_EQ(NKDisplayWaitSeconds(c.pszValue, &problem), c.iSeconds) << shown;
        if (c.bNamed)
            EXPECT_EQ(problem, std::string("QUOLIN_DISPLAY_WAIT \"") + c.pszValue +
                                   "\" is not a whole number of seconds from 1 to 86400: the "
                                   "wait is 120 s");
        else
            EXPECT_EQ(problem, "") << shown;
    }
}

// The lines name the displays of the platforms Qt tries, in order, each
// once: the X display of "-display" (not one given as the last word, with
// nothing after it) or DISPLAY; a Wayland display only where its socket is
// there; else the platform list. The slot after the last word (argv[argc])
// holds a display name here, so that a read past the words names it in
// every build, not only where a sanitizer stops the read.
TEST(DisplayWait, TheSubjectNamesTheDisplaysOfThePlatformsTried)
{
    const TempFolder runtime("quolin-display-wait-");
    ASSERT_FALSE(runtime.Path().empty());
    ListeningSocket wayland(runtime.Path() + "/wayland-7");
    const struct {
        const char *pszPlatform, *pszSession, *pszWayland, *pszDisplay;
        std::vector<const char *> arguments;
        const char *pszSubject;
    } kCases[] = {
        {"xcb", nullptr, nullptr, ":5", {"beam.nkf"}, "display \":5\""},
        {"XCB", nullptr, nullptr, ":5.0", {}, "display \":5.0\""},
        {nullptr, nullptr, nullptr, ":5", {}, "display \":5\""},
        {"wayland;xcb", nullptr, nullptr, ":5", {}, "display \":5\""},
        {"wayland;xcb", nullptr, "wayland-7", ":5", {}, "display \"wayland-7\" or \":5\""},
        {"wayland;xcb", nullptr, "wayland-8", ":5", {}, "display \":5\""},
        {nullptr, "wayland", nullptr, ":5", {}, "display \":5\""},
        {nullptr, nullptr, "wayland-7", ":5", {}, "display \"wayland-7\" or \":5\""},
        {"xcb;xcb:opt", nullptr, nullptr, ":5", {}, "display \":5\""},
        {"xcb", nullptr, nullptr, ":5", {"-display", ":6", "beam.nkf"}, "display \":6\""},
        {"offscreen",
         nullptr,
         nullptr,
         ":5",
         {"--platform", "xcb", "--display", ":6"},
         "display \":6\""},
        {"xcb", nullptr, nullptr, ":5", {"beam.nkf", "-display"}, "display \":5\""},
        {"xcb", nullptr, nullptr, ":5", {"a", "b", "c", "-display"}, "display \":5\""},
        {"xcb", nullptr, nullptr, ":5", {"-platform", "xcb", ":7", "-display"}, "display \":5\""},
        {"xcb", nullptr, nullptr, ":5", {"-title", "t", ":7", "-display"}, "display \":5\""},
        {"xcb", nullptr, nullptr, ":5", {"-display", ""}, "display \":5\""},
        {"xcb", nullptr, nullptr, nullptr, {}, "the window platform \"xcb\""},
        {"eglfs", nullptr, nullptr, ":5", {}, "the window platform \"eglfs\""},
        {"xcb", nullptr, nullptr, ":5", {"-platform", "nosuch"}, "the window platform \"nosuch\""},
    };
    for (const auto &c : kCases) {
        EnvironmentSetting environment({{"QT_QPA_PLATFORM", c.pszPlatform},
                                        {"XDG_SESSION_TYPE", c.pszSession},
                                        {"WAYLAND_DISPLAY", c.pszWayland},
                                        {"XDG_RUNTIME_DIR", runtime.Path().c_str()},
                                        {"DISPLAY", c.pszDisplay}});
        // argv: a copy of each word, then where the program has its null
        // a display that no row names.
        std::vector<std::string> words = {"quolin"};
        for (const char *pszWord : c.arguments) words.push_back(pszWord);
        words.push_back(":9");
        std::vector<char *> argv;
        for (std::string &word : words) argv.push_back(&word[0]);
        EXPECT_EQ(NKDisplayWaitSubject(static_cast<int>(words.size()) - 1, argv.data()),
                  c.pszSubject)
            << (c.pszPlatform != nullptr ? c.pszPlatform : "(no platform)") << " with "
            << c.arguments.size() << " arguments";
    }
}

// A display that opens after the X library wrote a line on its way (which
// the check catches, as it catches a refusal's reason) still shows the
// line on standard error, once.
TEST(DisplayWait, ALineTheXLibraryWroteOnItsWayToADisplayThatOpensIsShown)
{
    const char *pszDisplay = std::getenv("DISPLAY");
    if (pszDisplay == nullptr || *pszDisplay == '\0') GTEST_SKIP() << "no X display";
    const EnvironmentSetting environment(
        std::map<std::string, const char *>{{"QT_QPA_PLATFORM", "xcb"}});
    const TempFolder folder("quolin-display-check-");
    ASSERT_FALSE(folder.Path().empty());
    const std::string shown = folder.Path() + "/stderr.txt";
    const int iShown = open(shown.c_str(), O_CREAT | O_WRONLY | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_GE(iShown, 0);
    std::fflush(stderr);
    const int iError = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    ASSERT_GE(iError, 0);
    dup2(iShown, STDERR_FILENO);
    sg_pszXlibLine = "Xlib:  a line on the way\n";
    std::string words[] = {"quolin", ""};
    char *argv[] = {&words[0][0], nullptr};
    std::string message;
    const bool bOpened = NKCanOpenDisplay(1, argv, &message);
    sg_pszXlibLine = nullptr;
    std::fflush(stderr);
    dup2(iError, STDERR_FILENO);
    close(iError);
    close(iShown);
    NKEndDisplayCheck();
    EXPECT_TRUE(bOpened) << message;
    EXPECT_EQ(NKTestReadFile(shown), "Xlib:  a line on the way\n");
}

// Work that lasts: the notice once, then the limit; where the notice's time
// is not below the limit, the limit alone. Neither depends on how soon the
// watch's thread runs.
TEST(StartWatch, WorkThatLastsIsNoticedOnceThenEnded)
{
    const struct {
        int iNoticeMs, iLimitMs;
        std::vector<std::string> calls;
    } kCases[] = {{10, 50, {"notice", "limit"}}, {50, 50, {"limit"}}, {100, 20, {"limit"}}};
    for (const auto &c : kCases) {
        WatchCalls calls;
        NKStartWatch watch(
            c.iNoticeMs, c.iLimitMs, [&] { calls.Add("notice"); }, [&] { calls.Add("limit"); });
        EXPECT_TRUE(NKTestWaitFor([&] { return calls.Taken().size() == c.calls.size(); },
                                  "the watch's calls"));
        watch.End();
        EXPECT_EQ(calls.Taken(), c.calls) << c.iNoticeMs << " ms, " << c.iLimitMs << " ms";
    }
}

// Work that ends before the notice lets the watch go at once, not at the
// notice's time, and nothing is called; work that ends after the notice
// is not ended at the limit.
TEST(StartWatch, WorkThatEndsLetsTheWatchGoAtOnce)
{
    const int iLongMs = NKTestWaitLimitMs();
    {
        WatchCalls calls;
        const auto begun = std::chrono::steady_clock::now();
        {
            NKStartWatch watch(
                iLongMs, 2 * iLongMs, [&] { calls.Add("notice"); }, [&] { calls.Add("limit"); });
        }
        EXPECT_LT(MillisecondsSince(begun), iLongMs);
        EXPECT_TRUE(calls.Taken().empty());
    }
    {
        WatchCalls calls;
        NKStartWatch watch(
            10, 2 * iLongMs, [&] { calls.Add("notice"); }, [&] { calls.Add("limit"); });
        EXPECT_TRUE(NKTestWaitFor([&] { return !calls.Taken().empty(); }, "the notice"));
        const auto begun = std::chrono::steady_clock::now();
        watch.End();
        EXPECT_LT(MillisecondsSince(begun), iLongMs);
        EXPECT_EQ(calls.Taken(), std::vector<std::string>{"notice"});
    }
}

// The notice and the limit come at their times counted from the watch's
// making, the notice first: never earlier, and in a run that the machine
// let go on time, each before the time a count from a later moment would
// give (a limit counted from the notice comes at 2.5 s, not at 1.5 s). A
// busy machine may make any run late, so runs are made until one is on
// time, within the one limit: only a watch that is never on time fails.
// A run is late only where the watch's thread waited a whole second for a
// processor.
TEST(StartWatch, TheNoticeAndTheLimitComeAtTheirTimesFromTheStart)
{
    constexpr long kNoticeMs = 1000, kLimitMs = 1500;
    const auto onTime = [&] {
        std::mutex mutex;
        long iNoticeMs = -1, iLimitMs = -1;
        const auto begun = std::chrono::steady_clock::now();
        NKStartWatch watch(
            kNoticeMs, kLimitMs,
            [&] {
                std::lock_guard<std::mutex> lock(mutex);
                iNoticeMs = MillisecondsSince(begun);
            },
            [&] {
                std::lock_guard<std::mutex> lock(mutex);
                iLimitMs = MillisecondsSince(begun);
            });
        EXPECT_TRUE(NKTestWaitFor(
            [&] {
                std::lock_guard<std::mutex> lock(mutex);
                return iLimitMs >= 0;
            },
            "the watch's limit"));
        watch.End();
        EXPECT_GE(iNoticeMs, kNoticeMs);
        EXPECT_GE(iLimitMs, kLimitMs);
        EXPECT_LE(iNoticeMs, iLimitMs);
        return iNoticeMs < kLimitMs && iLimitMs < kLimitMs + kNoticeMs;
    };
    EXPECT_TRUE(NKTestWaitFor(onTime, "a run with the notice and the limit on time"));
}

// A start that the watch ends at its limit says so on standard error and
// ends with status 1, and what the program had written to standard output
// sent to a file (held in the stream's buffer) is in the file.
TEST(StartWatchDeathTest, AStartEndedAtTheLimitKeepsItsOutput)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The child runs this test again up to the statement: it takes the
    // file its parent made, and makes none of its own.
    static const char kOutput[] = "QUOLIN_TEST_START_WATCH_OUTPUT";
    std::unique_ptr<TempFolder> pFolder;
    std::string output;
    if (const char *pszGiven = std::getenv(kOutput)) {
        output = pszGiven;
    } else {
        pFolder = std::make_unique<TempFolder>("quolin-start-watch-");
        ASSERT_FALSE(pFolder->Path().empty());
        output = pFolder->Path() + "/out.txt";
    }
    const EnvironmentSetting given(std::map<std::string, const char *>{{kOutput, output.c_str()}});
    EXPECT_EXIT(
        {
            if (std::freopen(output.c_str(), "w", stdout) == nullptr) std::_Exit(2);
            std::printf("written before the start\n");
            NKBeginPlatformStart("still waiting", "the limit came", 1, [](const std::string &) {});
            for (;;) pause();
        },
        ::testing::ExitedWithCode(1), "the limit came");
    EXPECT_EQ(NKTestReadFile(output), "written before the start\n");
}
