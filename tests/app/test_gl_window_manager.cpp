// tests/app/test_gl_window_manager.cpp -- the program's windows under a
// real window manager, where users run it: openbox, started by the fixture
// on the test's X display for each test and stopped after it (a manager
// that already runs there is used as it is). Without openbox the tests
// skip, saying so. The frames are read from the X server: the windows'
// own rectangles widened by the frame extents the manager wrote.
#include <QAbstractNativeEventFilter>
#include <QDeadlineTimer>
#include <QDialog>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMoveEvent>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QWindow>

#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <xcb/xcb.h>
#include <xcb/xcbext.h>
#include <xcb/xproto.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/nk_info_sheet.h"
#include "app/nk_placed_dialog.h"
#include "app/nk_view_window.h"
#include "app/nk_window_utils.h"
#include "platform/nk_window_manager.h"
#include "tests/app/app_window_fixture.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"
#include "tests/test_support/test_wait.h"
#include "tests/test_support/x11_events_so_far.h"

// Last: its macros (None, Bool, Status) clash with names of the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

std::string Text(const NKScreenRect &r)
{
    return std::to_string(r.iWidth) + "x" + std::to_string(r.iHeight) + " at (" +
           std::to_string(r.iX) + ", " + std::to_string(r.iY) + ")";
}

bool Same(const NKScreenRect &a, const NKScreenRect &b)
{
    return a.iX == b.iX && a.iY == b.iY && a.iWidth == b.iWidth && a.iHeight == b.iHeight;
}

// Whether the placement stored as the window went is the rectangle, in the
// state given.
testing::AssertionResult StoredAs(const NKScreenRect &rect, bool bMaximized)
{
    const NKWindowPlacement &p = g_WindowPlacement;
    const NKScreenRect stored = {p.iX, p.iY, p.iWidth, p.iHeight};
    if (Same(stored, rect) && p.bMaximized == (bMaximized ? 1 : 0))
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "stored " << Text(stored) << (p.bMaximized != 0 ? " maximised" : "") << ", expected "
           << Text(rect) << (bMaximized ? " maximised" : "");
}

// The frame of a top-level widget as the X server has it.
NKScreenRect FrameOf(const QWidget *pWindow)
{
    NKScreenRect frame;
    if (pWindow != nullptr) NKGetWindowFrame(pWindow->winId(), &frame);
    return frame;
}

NKScreenRect ScreenRect(void)
{
    const QRect r = QGuiApplication::primaryScreen()->geometry();
    NKScreenRect screen;
    screen.iX = r.x(), screen.iY = r.y(), screen.iWidth = r.width(), screen.iHeight = r.height();
    return screen;
}

bool Inside(const NKScreenRect &r, const NKScreenRect &screen)
{
    return r.iX >= screen.iX && r.iY >= screen.iY && r.iX + r.iWidth <= screen.iX + screen.iWidth &&
           r.iY + r.iHeight <= screen.iY + screen.iHeight;
}

bool FullScreenState(const QWidget *pWindow)
{
    const std::vector<std::string> states = NKGetWindowStates(pWindow->winId());
    return std::find(states.begin(), states.end(), "_NET_WM_STATE_FULLSCREEN") != states.end();
}

// Whether the manager has framed the shown window (its frame is larger
// than its client area) and Qt knows the frame as the X server has it.
bool Framed(const QWidget *pWindow)
{
    const NKScreenRect frame = FrameOf(pWindow);
    return pWindow->isVisible() && frame.iHeight > pWindow->height() &&
           pWindow->frameGeometry().height() == frame.iHeight &&
           pWindow->pos() == QPoint(frame.iX, frame.iY);
}

bool WaitFramed(const QWidget *pWindow)
{
    return NKTestWaitFor([pWindow] { return Framed(pWindow); }, "the window's frame");
}

bool MaximizedState(const QWidget *pWindow)
{
    const std::vector<std::string> states = NKGetWindowStates(pWindow->winId());
    return std::count(states.begin(), states.end(), "_NET_WM_STATE_MAXIMIZED_VERT") == 1 &&
           std::count(states.begin(), states.end(), "_NET_WM_STATE_MAXIMIZED_HORZ") == 1;
}

// The manager has maximised the window, its frame covers the work area,
// and Qt knows the state. (Qt learns the frame's new extents only with the
// window's next move, so its own idea of the frame is not asked.)
bool WaitMaximized(const QWidget *pWindow)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const NKScreenRect work = {area.x(), area.y(), area.width(), area.height()};
    return NKTestWaitFor(
        [pWindow, work] {
            return MaximizedState(pWindow) && pWindow->isMaximized() &&
                   Same(FrameOf(pWindow), work);
        },
        "the maximised window's frame");
}

// Whether Qt holds the client's rectangle the X server has.
bool QtHasTheClient(const QWidget *pWindow)
{
    NKScreenRect frame, client;
    return NKGetWindowFrame(pWindow->winId(), &frame, &client) &&
           pWindow->geometry() == QRect(client.iX, client.iY, client.iWidth, client.iHeight);
}

// Whether the manager shows the window in a frame, as the X server has it
// (whatever the program has seen of it).
bool ShownInAFrame(const QWidget *pWindow)
{
    NKScreenRect frame, client;
    bool bShown = false;
    return NKGetWindowFrame(pWindow->winId(), &frame, &client, &bShown) && bShown &&
           frame.iHeight > client.iHeight;
}

// Asks the window's manager, as its title bar and its key bindings do: a
// message about the window sent to the root window, its five numbers as
// given.
void SendToManager(const QWidget *pWindow, const char *pszMessage, const std::vector<long> &data)
{
    Display *pDisplay = NKX11Display();
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = pWindow->winId();
    event.xclient.message_type = XInternAtom(pDisplay, pszMessage, False);
    event.xclient.format = 32;
    for (size_t i = 0; i < data.size() && i < 5; i++) event.xclient.data.l[i] = data[i];
    XSendEvent(pDisplay, DefaultRootWindow(pDisplay), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(pDisplay);
}

// A message of three numbers and source 2 (a user's action).
void AskManager(const QWidget *pWindow, const char *pszMessage, long lFirst, long lSecond,
                long lThird)
{
    SendToManager(pWindow, pszMessage, {lFirst, lSecond, lThird, 2});
}

// A user's drag of the frame's corner and title: the frame's corner to
// iX, iY (north-west gravity), the client to iWidth x iHeight, and every
// one of the four given (bits 8 to 11), by a user (source 2, bits 12, 13).
void MoveResizeByManager(const QWidget *pWindow, int iX, int iY, int iWidth, int iHeight)
{
    SendToManager(pWindow, "_NET_MOVERESIZE_WINDOW",
                  {NorthWestGravity | 0xf00 | 2 << 12, iX, iY, iWidth, iHeight});
}

// A double click on the title bar: the manager maximises the window (1
// adds the states), or a maximised one restores it (0 removes them).
void SetMaximizedByManager(const QWidget *pWindow, long lAdd)
{
    Display *pDisplay = NKX11Display();
    AskManager(pWindow, "_NET_WM_STATE", lAdd,
               long(XInternAtom(pDisplay, "_NET_WM_STATE_MAXIMIZED_VERT", False)),
               long(XInternAtom(pDisplay, "_NET_WM_STATE_MAXIMIZED_HORZ", False)));
}

void MaximizeByManager(const QWidget *pWindow) { SetMaximizedByManager(pWindow, 1); }

void RestoreByManager(const QWidget *pWindow) { SetMaximizedByManager(pWindow, 0); }

// Alt+F4: the manager asks the window to close, and the program ends.
bool CloseByManager(const QWidget *pWindow)
{
    AskManager(pWindow, "_NET_CLOSE_WINDOW", CurrentTime, 2, 0);
    const bool bClosed = NKTestWaitFor([] { return NKGetMainWindow() == nullptr; },
                                       "the window closed by its manager");
    NKTestFlushDeletes();
    return bClosed;
}

// Runs the start-up file's lines (one a line), each as the file runs it;
// false at the first that fails.
bool RunLines(const char *pszLines)
{
    std::string lines = pszLines;
    for (size_t start = 0; start <= lines.size();) {
        const size_t end = std::min(lines.find('\n', start), lines.size());
        if (ExecuteCommand(lines.substr(start, end - start).c_str()) != 0) return false;
        start = end + 1;
    }
    return true;
}

// The root window's properties now.
std::set<Atom> RootProperties(void)
{
    Display *pDisplay = NKX11Display();
    int iCount = 0;
    Atom *pAtoms = XListProperties(pDisplay, DefaultRootWindow(pDisplay), &iCount);
    std::set<Atom> atoms(pAtoms, pAtoms + (pAtoms != nullptr ? iCount : 0));
    if (pAtoms != nullptr) XFree(pAtoms);
    return atoms;
}

// Deletes the root window's properties but those kept. A manager leaves
// its own behind when it ends, the name of its check window among them: a
// program started later then takes the display for one with a manager of
// the desktop conventions that answers nothing. Each test starts from the
// display as it was.
void DeleteRootPropertiesBut(const std::set<Atom> &kept)
{
    Display *pDisplay = NKX11Display();
    for (Atom atom : RootProperties())
        if (kept.count(atom) == 0) XDeleteProperty(pDisplay, DefaultRootWindow(pDisplay), atom);
    XSync(pDisplay, False);
}

// Whether openbox frames a window mapped now. It names its check window
// before its event loop runs, and events that come meanwhile can wait in
// its own queue until another event wakes it: a window mapped then stays
// unframed and unexposed while nothing else happens on the display. So a
// probe window is mapped and, until openbox has framed it, an empty
// property is written on the root window as such an event, again at each
// look; once openbox has framed the probe its loop runs, and it frames
// each window as it is mapped.
bool WaitWithoutHandlingEvents(const std::function<bool()> &condition, const char *pszWhat);

// bHandleEvents false: the program handles no events meanwhile.
// The whole text of a small file; empty where it cannot be read.
std::string FileText(const std::string &path)
{
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Waits for the condition while openbox (process iPid) starts, handling
// events: gives up only once openbox has gone the tests' limit without
// running or waiting for a processor, or has ended. On a busy machine a
// starting manager may stay queued for longer than the limit.
bool WaitForStartingOpenbox(const std::function<bool()> &condition, const char *pszWhat,
                            qint64 iPid)
{
    const NKTestWaitGuard guard(pszWhat);
    const std::string task = "/proc/" + std::to_string(iPid) + "/task/" + std::to_string(iPid);
    NKTestBlockedReckoning reckoning;
    while (!condition()) {
        const std::string stat = FileText(task + "/stat");
        if (stat.empty()) return NKTestWaitGaveUp(pszWhat);
        const NKTestThreadLook look =
            NKTestThreadLookOf(FileText(task + "/schedstat").c_str(), stat.c_str());
        if (reckoning.Look(std::chrono::steady_clock::now(), look) >
            std::chrono::milliseconds(NKTestWaitLimitMs()))
            return NKTestWaitGaveUp(pszWhat);
        QTest::qWait(5);
    }
    return true;
}

// iStartingPid, where given, is openbox starting: the wait gives up as
// WaitForStartingOpenbox does.
bool WaitUntilOpenboxFramesWindows(bool bHandleEvents = true, qint64 iStartingPid = 0)
{
    Display *pDisplay = NKX11Display();
    const Window root = DefaultRootWindow(pDisplay);
    const int iSize = 16;
    const Window probe = XCreateSimpleWindow(pDisplay, root, 0, 0, iSize, iSize, 0, 0, 0);
    XMapWindow(pDisplay, probe);
    const Atom wake = XInternAtom(pDisplay, "_QUOLIN_TEST_WAKE", False);
    const auto framed = [pDisplay, root, probe, wake] {
        XChangeProperty(pDisplay, root, wake, XA_CARDINAL, 32, PropModeAppend, nullptr, 0);
        XFlush(pDisplay);
        NKScreenRect frame;
        return NKGetWindowFrame(probe, &frame) && frame.iHeight > iSize;
    };
    const char *pszWhat = "openbox to frame a new window";
    const bool bFramed = iStartingPid != 0 ? WaitForStartingOpenbox(framed, pszWhat, iStartingPid)
                         : bHandleEvents   ? NKTestWaitFor(framed, pszWhat)
                                           : WaitWithoutHandlingEvents(framed, pszWhat);
    XDeleteProperty(pDisplay, root, wake);
    XDestroyWindow(pDisplay, probe);
    XSync(pDisplay, False);
    return bFramed;
}

// Waits as NKTestWaitFor does, but handles no events meanwhile: the
// program learns nothing new of the display until the wait is over.
bool WaitWithoutHandlingEvents(const std::function<bool()> &condition, const char *pszWhat)
{
    const NKTestWaitGuard guard(pszWhat);
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > NKTestWaitLimitMs()) return NKTestWaitGaveUp(pszWhat);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// Whether the process has stopped: its state in /proc is T, or t when a
// tracer (strace, a debugger) holds it too.
bool Stopped(qint64 iPid)
{
    std::ifstream stat("/proc/" + std::to_string(iPid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const size_t after = line.rfind(')');  // the name in brackets may hold spaces
    return after != std::string::npos &&
           (line.compare(after, 3, ") T") == 0 || line.compare(after, 3, ") t") == 0);
}

// A connection of the test's own to the X server, whose round trips give
// up at a limit instead of waiting for an answer that may never come.
class OwnConnection {
public:
    OwnConnection() : m_pConnection(xcb_connect(DisplayString(NKX11Display()), nullptr)) {}
    ~OwnConnection() { xcb_disconnect(m_pConnection); }
    OwnConnection(const OwnConnection &) = delete;
    OwnConnection &operator=(const OwnConnection &) = delete;
    bool Usable(void) const { return xcb_connection_has_error(m_pConnection) == 0; }
    void GrabServer(void) { xcb_grab_server(m_pConnection); }
    void UngrabServer(void) { xcb_ungrab_server(m_pConnection); }
    // Whether the server answered a request within iMs, and so carried out
    // every request of this connection made before it.
    bool RoundTrip(int iMs)
    {
        const xcb_get_input_focus_cookie_t cookie = xcb_get_input_focus(m_pConnection);
        xcb_flush(m_pConnection);
        QElapsedTimer timer;
        timer.start();
        while (Usable()) {
            void *pReply = nullptr;
            xcb_generic_error_t *pError = nullptr;
            if (xcb_poll_for_reply(m_pConnection, cookie.sequence, &pReply, &pError) != 0) {
                free(pReply);
                free(pError);
                return true;
            }
            if (timer.elapsed() > iMs) break;
            pollfd fd = {xcb_get_file_descriptor(m_pConnection), POLLIN, 0};
            poll(&fd, 1, 5);
        }
        xcb_discard_reply(m_pConnection, cookie.sequence);
        return false;
    }

private:
    xcb_connection_t *m_pConnection;
};

// The process the fixture started and may hold: ended with the program
// when a wait is stuck, so that it keeps no grab of the display for the
// tests after it.
std::atomic<qint64> sg_iChildPid{0};

void EndChild(void)
{
    if (sg_iChildPid > 0) kill(pid_t(sg_iChildPid.load()), SIGKILL);
}

// Whether the stopped process stopped in its event loop's wait: in a poll
// of several descriptors (openbox's main loop polls its X connection and
// its own wake-up descriptor), not in the poll of its X connection alone
// that waits for the answer to a request, nor anywhere else (where it may
// have sent a request whose answer it is about to wait for).
bool StoppedInItsEventLoop(qint64 iPid)
{
    std::ifstream file("/proc/" + std::to_string(iPid) + "/syscall");
    long lCall = -1;
    std::string fds, count;
    file >> lCall >> fds >> count;
    bool bPoll = false;
#ifdef SYS_poll
    bPoll = lCall == SYS_poll;
#endif
    bPoll = bPoll || lCall == SYS_ppoll;
    return file && bPoll && std::stoul(count, nullptr, 16) >= 2;
}

// Holds a process (stops it) until the object goes or Release(): what
// asks it meanwhile waits, as with a manager that a busy machine keeps
// from running. Openbox holds the X server grabbed while it takes a window
// on or lets one go; stopped then, it would keep every other client's
// requests waiting for ever. So the hold grabs the server itself first,
// from a connection of its own (the grab is granted once no other client
// holds one), stops the process, and lets the server go. A grab the
// process asked for while the hold had the server would be granted only
// then, to the stopped process: openbox asks for a grab and waits for the
// answer, so a process that stopped anywhere but in its event loop's wait
// goes on until it lets go, and is held again.
class HeldProcess {
public:
    explicit HeldProcess(qint64 iPid) : m_iPid(iPid)
    {
        OwnConnection own;
        const QDeadlineTimer deadline(NKTestWaitLimitMs());
        while (!m_bHeld && own.Usable() && !deadline.hasExpired()) {
            own.GrabServer();
            if (!own.RoundTrip(int(deadline.remainingTime()))) break;
            kill(pid_t(iPid), SIGSTOP);
            const bool bStopped =
                WaitWithoutHandlingEvents([iPid] { return Stopped(iPid); }, "openbox to stop");
            const bool bIdle = bStopped && StoppedInItsEventLoop(iPid);
            own.UngrabServer();
            m_bHeld = bIdle && own.RoundTrip(int(deadline.remainingTime()));
            if (m_bHeld) break;
            kill(pid_t(iPid), SIGCONT);
            own.RoundTrip(int(deadline.remainingTime()));
            std::this_thread::sleep_for(std::chrono::milliseconds(1));  // lets it run on
        }
        if (!m_bHeld) {
            std::fprintf(stderr, "openbox could not be held between two of its grabs\n");
            Release();
        }
    }
    ~HeldProcess() { Release(); }
    HeldProcess(const HeldProcess &) = delete;
    HeldProcess &operator=(const HeldProcess &) = delete;
    bool Held(void) const { return m_bHeld; }
    void Release(void)
    {
        if (m_iPid > 0) kill(pid_t(m_iPid), SIGCONT);
        m_iPid = 0;
    }

private:
    qint64 m_iPid;
    bool m_bHeld = false;
};

// Writes a property of 32-bit items on the window, as its manager writes
// the window's state (atoms) and its frame's extents (cardinals).
void WriteProperty(const QWidget *pWindow, const char *pszName, Atom type,
                   const std::vector<long> &values)
{
    Display *pDisplay = NKX11Display();
    XChangeProperty(pDisplay, pWindow->winId(), XInternAtom(pDisplay, pszName, False), type, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char *>(values.data()),
                    int(values.size()));
    XFlush(pDisplay);
}

// The first iSteps steps of openbox's restore of a maximised window, in
// its order: the normal state, the normal frame's extents, a synthetic
// notice of the normal place and size. The client keeps the maximised size
// until the last step, a real resize that only openbox can make.
void WriteRestoreSteps(const QWidget *pWindow, int iSteps, const NKScreenRect &normal)
{
    if (iSteps >= 1) WriteProperty(pWindow, "_NET_WM_STATE", XA_ATOM, {});
    if (iSteps >= 2) WriteProperty(pWindow, "_NET_FRAME_EXTENTS", XA_CARDINAL, {1, 1, 20, 1});
    if (iSteps < 3) return;
    XEvent event = {};
    event.xconfigure = {ConfigureNotify,
                        0,
                        True,
                        NKX11Display(),
                        pWindow->winId(),
                        pWindow->winId(),
                        normal.iX + 1,
                        normal.iY + 20,
                        normal.iWidth,
                        normal.iHeight,
                        0,
                        None,
                        False};
    XSendEvent(NKX11Display(), pWindow->winId(), False, StructureNotifyMask, &event);
    XFlush(NKX11Display());
}

// Lets the program handle the window's events made until now: a property
// written on the window comes after them, and the calls they left for the
// event loop run in its next turns.
bool HandleEventsSoFar(const QWidget *pWindow)
{
    const bool bSeen = NKTestQtHandledEventsSoFar(pWindow->winId());
    for (int iTurn = 0; iTurn < 3; iTurn++) QCoreApplication::processEvents();
    return bSeen;
}

// Whether Qt has read the full-screen state from the display for a
// window since this object was made: the state changes Qt takes from the
// display come to the window as spontaneous events (those the program
// makes itself do not).
class StatesRead : public QObject {
public:
    explicit StatesRead(QWindow *pWindow) : m_pWindow(pWindow)
    {
        pWindow->installEventFilter(this);
    }
    bool FullScreen(void) const { return m_bFullScreen; }

protected:
    bool eventFilter(QObject *pObject, QEvent *pEvent) override
    {
        if (pObject == m_pWindow && pEvent->type() == QEvent::WindowStateChange &&
            pEvent->spontaneous() && m_pWindow->windowStates().testFlag(Qt::WindowFullScreen))
            m_bFullScreen = true;
        return false;
    }

private:
    QWindow *m_pWindow;
    bool m_bFullScreen = false;
};

// The program's window under openbox. A test that skips makes nothing, so
// its tear-down has nothing to take down.
class WindowManagerTest : public ProgramWindowTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(NKTestEnsureWidgetApplication());
        if (!NKWindowManagerRunning()) StartOpenbox();
        if (IsSkipped() || HasFatalFailure()) return;
        // A first run: the stored placement is the default one.
        m_bMade = true;
        m_Placement = g_WindowPlacement;
        g_WindowPlacement = NKWindowPlacement();
        ProgramWindowTest::SetUp();
        ASSERT_TRUE(WaitFramed(NKGetMainWindow())) << Text(FrameOf(NKGetMainWindow()));
    }
    void TearDown() override
    {
        if (m_bMade) {
            CloseInfoPropertySheet();
            ProgramWindowTest::TearDown();
            g_WindowPlacement = m_Placement;
        }
        StopOpenbox();
    }
    // Openbox in a home of its own, so that it reads no user's settings
    // and writes its session files there.
    void StartOpenbox(void)
    {
        const QString openbox = QStandardPaths::findExecutable("openbox");
        if (openbox.isEmpty())
            GTEST_SKIP() << "openbox is not installed (scripts/install-deps installs it): "
                            "no window manager to run under";
        m_Home = NKTestMakeTempDir("quolin_openbox_");
        m_RootProperties = RootProperties();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", QString::fromStdString(m_Home));
        environment.remove("XDG_CONFIG_HOME");
        environment.remove("XDG_CACHE_HOME");
        m_pOpenbox = new QProcess;
        m_pOpenbox->setProcessEnvironment(environment);
        m_pOpenbox->setProcessChannelMode(QProcess::MergedChannels);
        m_pOpenbox->start(openbox, {"--sm-disable"});
        ASSERT_TRUE(m_pOpenbox->waitForStarted(NKTestWaitLimitMs()))
            << m_pOpenbox->errorString().toStdString();
        static const bool bEndsWithStuckWait = (NKTestAtStuckWait(EndChild), true);
        (void)bEndsWithStuckWait;
        sg_iChildPid = m_pOpenbox->processId();
        ASSERT_TRUE(WaitForStartingOpenbox(NKWindowManagerRunning, "the window manager",
                                           m_pOpenbox->processId()))
            << "openbox did not start: " << m_pOpenbox->readAll().toStdString();
        ASSERT_TRUE(WaitUntilOpenboxFramesWindows(true, m_pOpenbox->processId()))
            << m_pOpenbox->readAll().toStdString();
    }
    // The manager goes after the windows, and the next test finds the
    // display as it was without one: the root window's properties it set
    // go before it ends (the name of its check window first, so that no
    // program finds that window gone) and once more after, for those it
    // wrote as it ended.
    void StopOpenbox(void)
    {
        if (m_pOpenbox == nullptr) return;
        DeleteRootPropertiesBut(m_RootProperties);
        sg_iChildPid = 0;
        m_pOpenbox->terminate();
        if (!m_pOpenbox->waitForFinished(NKTestWaitLimitMs())) m_pOpenbox->kill();
        m_pOpenbox->waitForFinished(NKTestWaitLimitMs());
        DeleteRootPropertiesBut(m_RootProperties);
        EXPECT_FALSE(NKWindowManagerRunning());
        delete m_pOpenbox;
        m_pOpenbox = nullptr;
        NKTestRemoveDir(m_Home);
    }
    // Holds openbox when bHeld (the hold goes with *ppHeld), then writes the
    // first iSteps steps of its restore on the maximised window
    // (WriteRestoreSteps) and lets the program handle them.
    bool HoldAndWriteRestoreSteps(QWidget *pMain, bool bHeld, int iSteps,
                                  const NKScreenRect &normal, std::unique_ptr<HeldProcess> *ppHeld)
    {
        if (bHeld) *ppHeld = std::make_unique<HeldProcess>(m_pOpenbox->processId());
        if (*ppHeld != nullptr && !(*ppHeld)->Held()) return false;
        WriteRestoreSteps(pMain, iSteps, normal);
        return HandleEventsSoFar(pMain);
    }
    // Whether a row that holds openbox can run: a manager the test did not
    // start cannot be held. A row that cannot says so and is left out.
    bool CanHold(const std::string &row) const
    {
        if (m_pOpenbox != nullptr) return true;
        std::printf("[  SKIPPED ] row \"%s\": a window manager the test did not start runs, "
                    "which cannot be held\n",
                    row.c_str());
        return false;
    }
    QProcess *m_pOpenbox = nullptr;
    std::string m_Home;
    std::set<Atom> m_RootProperties;  // those before the manager started
    bool m_bMade = false;
    NKWindowPlacement m_Placement;
};

// The program's window on a display where the test plays the window
// manager: the root window names a check window of the test's that names
// itself, so the program takes a manager to run, and the test writes the
// window's state and sizes it as a manager would. Skips where a real
// manager runs. The window starts normal, 700x500 at 100, 80.
class PlayedManagerTest : public ProgramWindowTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(NKTestEnsureWidgetApplication());
        if (NKWindowManagerRunning()) GTEST_SKIP() << "a window manager runs on the display";
        Display *pDisplay = NKX11Display();
        m_RootProperties = RootProperties();
        m_Check = XCreateSimpleWindow(pDisplay, DefaultRootWindow(pDisplay), 0, 0, 1, 1, 0, 0, 0);
        const Atom check = XInternAtom(pDisplay, "_NET_SUPPORTING_WM_CHECK", False);
        for (Window window : {DefaultRootWindow(pDisplay), m_Check})
            XChangeProperty(pDisplay, window, check, XA_WINDOW, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char *>(&m_Check), 1);
        XSync(pDisplay, False);
        ASSERT_TRUE(NKWindowManagerRunning());
        m_Placement = g_WindowPlacement;
        g_WindowPlacement = {100, 80, 700, 500, 0};
        ProgramWindowTest::SetUp();
    }
    void TearDown() override
    {
        if (m_Check == 0) return;
        ProgramWindowTest::TearDown();
        g_WindowPlacement = m_Placement;
        DeleteRootPropertiesBut(m_RootProperties);
        XDestroyWindow(NKX11Display(), m_Check);
        XSync(NKX11Display(), False);
    }
    // Once the window shows and stores its normal rectangle, does what a
    // manager does (pfnAct) and makes the program read the window, as Qt's
    // move event does before the program has seen the manager's steps: the
    // stored rectangle stays the normal one.
    static void ExpectAReadingAfter(const std::function<void(Display *, QWidget *)> &pfnAct)
    {
        QWidget *pMain = NKGetMainWindow();
        const NKScreenRect normal = {100, 80, 700, 500};
        const auto stored = [] {
            const NKWindowPlacement p = NKGetPlacementToStore();  // the events seen so far
            return NKScreenRect{p.iX, p.iY, p.iWidth, p.iHeight};
        };
        ASSERT_TRUE(
            NKTestWaitFor([&] { return Same(FrameOf(pMain), normal) && Same(stored(), normal); },
                          "the normal rectangle stored"))
            << Text(stored());
        pfnAct(NKX11Display(), pMain);
        XSync(NKX11Display(), False);
        QMoveEvent move(QPoint(0, 0), pMain->pos());
        QCoreApplication::sendEvent(pMain, &move);
        EXPECT_TRUE(Same(stored(), normal)) << Text(stored());
    }
    Window m_Check = 0;
    std::set<Atom> m_RootProperties;
    NKWindowPlacement m_Placement;
};

}  // namespace

// The first run's window, the Info window beside it, and the window made
// again at the placement the first one stored after a move: every frame,
// title bar included, lies on the screen, and the moved one comes back
// where it was, however soon it closed after the move: moved by the
// program and closed once seen there; moved by the program while openbox
// is held, with the window read (new frame extents told) before openbox
// carried the move out, which brings no move event after; moved by the
// program and closed before openbox (held) carried the move out: the
// place asked for counts; moved by the program and then by the user (a
// drag) before openbox (held) carried the program's move out: the user's
// place counts; moved and sized by the manager (a user's drag) and closed
// before the program handled any event of it. And "winposition" run as the
// start-up file runs it, at once after the window is made and before
// openbox has framed it, with openbox running or held until the line has
// run: the frame goes where it says (a place off the screen brought onto
// it as a stored place is), the view keeps its size or takes the size
// given, and that is stored. After a session that closed maximised (the
// window starts maximised), the window becomes a normal one there, its
// client of the stored normal size or the view of the size given, whether
// openbox maximised the window before the line ran or was held until after;
// so does a window that openbox maximised by a rule of its own. In full
// screen the line gives the place and size the window goes back to. The
// placement read back before the exit is the one shown, and File > Exit
// right after the lines stores the place and size they asked for.
TEST_F(WindowManagerTest, FramesLieOnTheScreenAtStartAndAfterARestart)
{
    const NKScreenRect screen = ScreenRect();
    QWidget *pMain = NKGetMainWindow();
    const NKScreenRect main = FrameOf(pMain);
    EXPECT_TRUE(Inside(main, screen)) << Text(main);
    EXPECT_EQ(main.iX, g_WindowPlacement.iX);
    EXPECT_EQ(main.iY, g_WindowPlacement.iY);

    QDialog *pInfo = CreateInfoPropertySheet(pMain);
    ASSERT_TRUE(WaitFramed(pInfo)) << Text(FrameOf(pInfo));
    const NKScreenRect info = FrameOf(pInfo);
    EXPECT_TRUE(Inside(info, screen)) << Text(info);
    // Right of the main window's frame, the tops of both frames aligned.
    EXPECT_EQ(info.iX, main.iX + main.iWidth) << Text(info) << " beside " << Text(main);
    EXPECT_EQ(info.iY, main.iY) << Text(info) << " beside " << Text(main);
    CloseInfoPropertySheet();

    enum Move {
        kProgram,
        kProgramReadBefore,
        kProgramClosedBefore,
        kUserAfterProgram,
        kManager,
        kStartupFile,
        kStartupFileUnseen,
        kStartupFileExitAtOnce,
        kStartupFileHeld,
        kStartupFileHeldRead,
        kStartupFileExitBeforeFit
    };
    // The session before a start-up file's row: the last row's, one that
    // closed maximised (stored 100, 80, 810x600), or a normal one (stored
    // so) that the manager maximises by a rule of its own before the line.
    enum Session { kLast, kMaximised, kManagerMaximises };
    const int iOffX = screen.iX + screen.iWidth - 32;  // 2000 brought onto the screen
    const struct {
        const char *pszName;
        Move move;
        int iX, iY, iShrink;          // the frame's new corner; the client less that each way
        const char *pszLine;          // the start-up file's line
        int iViewWidth, iViewHeight;  // the view's size it gives; 0: kept
        Session session;
    } cases[] = {
        {"moved by the program", kProgram, 120, 90, 0, nullptr, 0, 0, kLast},
        {"read before the manager moved it", kProgramReadBefore, 200, 150, 0, nullptr, 0, 0, kLast},
        {"closed before the manager moved it", kProgramClosedBefore, 160, 110, 0, nullptr, 0, 0,
         kLast},
        {"moved by the user before the manager moved it", kUserAfterProgram, 140, 70, 30, nullptr,
         0, 0, kLast},
        {"moved and sized by the manager, closed at once", kManager, 130, 95, 40, nullptr, 0, 0,
         kLast},
        {"winposition x y in the start-up file", kStartupFile, 120, 90, 0, "winposition 120 90", 0,
         0, kLast},
        {"winposition x y w h in the start-up file", kStartupFile, 120, 90, 0,
         "winposition 120 90 640 480", 640, 480, kLast},
        {"winposition x y w h, the manager held past the line", kStartupFileHeld, 150, 100, 0,
         "winposition 150 100 700 420", 700, 420, kLast},
        {"winposition off the screen in the start-up file", kStartupFile, iOffX, 300, 0,
         "winposition 2000 300", 0, 0, kLast},
        {"winposition x y after a maximised session", kStartupFile, 120, 90, 0,
         "winposition 120 90", 0, 0, kMaximised},
        {"winposition x y w h after a maximised session", kStartupFile, 120, 90, 0,
         "winposition 120 90 640 480", 640, 480, kMaximised},
        {"winposition x y after a maximised session, the maximise not seen", kStartupFileUnseen,
         120, 90, 0, "winposition 120 90", 0, 0, kMaximised},
        {"winposition x y w h after a maximised session, the maximise not seen", kStartupFileUnseen,
         120, 90, 0, "winposition 120 90 640 480", 640, 480, kMaximised},
        {"winposition x y after a maximised session, the manager held past the line",
         kStartupFileHeld, 120, 90, 0, "winposition 120 90", 0, 0, kMaximised},
        {"winposition x y w h after a maximised session, the manager held past the line",
         kStartupFileHeld, 120, 90, 0, "winposition 120 90 640 480", 640, 480, kMaximised},
        {"winposition x y w h, File > Exit before the frame was placed", kStartupFileExitBeforeFit,
         170, 120, 0, "winposition 170 120 660 400", 660, 400, kLast},
        {"winposition x y w h after a maximised session, File > Exit before the frame was placed",
         kStartupFileExitBeforeFit, 120, 90, 0, "winposition 120 90 640 480", 640, 480, kMaximised},
        {"winposition off the screen after a maximised session", kStartupFile, iOffX, 300, 0,
         "winposition 2000 300", 0, 0, kMaximised},
        {"winposition off the screen, File > Exit before the frame was placed",
         kStartupFileExitBeforeFit, iOffX, 300, 0, "winposition 2000 300", 0, 0, kLast},
        {"winposition x y in full screen", kStartupFile, 200, 150, 0,
         "fullscreen\nwinposition 200 150\nnofullscreen", 0, 0, kLast},
        {"winposition x y w h in full screen", kStartupFile, 200, 150, 0,
         "fullscreen\nwinposition 200 150 600 400\nnofullscreen", 600, 400, kLast},
        {"winposition x y in full screen, File > Exit before the frame was placed",
         kStartupFileExitBeforeFit, 210, 160, 0, "fullscreen\nwinposition 210 160\nnofullscreen", 0,
         0, kLast},
        {"winposition x y in full screen, File > Exit in full screen", kStartupFileExitBeforeFit,
         220, 170, 0, "fullscreen\nwinposition 220 170", 0, 0, kLast},
        {"winposition x y after the manager maximised the window by its own rule", kStartupFile,
         120, 90, 0, "winposition 120 90", 0, 0, kManagerMaximises},
        {"winposition x y after the manager maximised the window, File > Exit at once",
         kStartupFileExitBeforeFit, 130, 100, 0, "winposition 130 100", 0, 0, kManagerMaximises},
        {"winposition x y after a maximised session, File > Exit right after the line",
         kStartupFileExitAtOnce, 120, 90, 0, "winposition 120 90", 0, 0, kMaximised},
        {"winposition off the screen after a maximised session, File > Exit right after the line",
         kStartupFileExitAtOnce, iOffX, 300, 0, "winposition 2000 300", 0, 0, kMaximised},
        {"winposition x y after a maximised session, the window read while the manager was held",
         kStartupFileHeldRead, 120, 90, 0, "winposition 120 90", 0, 0, kMaximised},
        {"winposition off the screen, the window read while the manager was held",
         kStartupFileHeldRead, iOffX, 300, 0, "winposition 2000 300", 0, 0, kLast}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.pszName);
        const bool bHold = c.move == kProgramReadBefore || c.move == kProgramClosedBefore ||
                           c.move == kUserAfterProgram ||
                           (c.move >= kStartupFileHeld && c.session != kManagerMaximises);
        if (bHold && !CanHold(c.pszName)) continue;
        NKScreenRect frame, client;
        ASSERT_TRUE(NKGetWindowFrame(pMain->winId(), &frame, &client));
        int iViewWidth = 0, iViewHeight = 0;
        ASSERT_TRUE(NKGetViewClientSize(&iViewWidth, &iViewHeight));
        // What the frame and the bars add to the client and the view.
        const int iGrowX = frame.iWidth - client.iWidth, iGrowY = frame.iHeight - client.iHeight;
        const int iBarsX = client.iWidth - iViewWidth, iBarsY = client.iHeight - iViewHeight;
        if (c.session != kLast) client.iWidth = 810, client.iHeight = 600;
        if (c.iViewWidth > 0) client.iWidth = c.iViewWidth + iBarsX;
        if (c.iViewHeight > 0) client.iHeight = c.iViewHeight + iBarsY;
        iViewWidth = client.iWidth - iBarsX, iViewHeight = client.iHeight - iBarsY;
        frame.iWidth = client.iWidth + iGrowX, frame.iHeight = client.iHeight + iGrowY;
        NKScreenRect moved = {c.iX, c.iY, frame.iWidth - c.iShrink, frame.iHeight - c.iShrink};
        // Openbox pulls a frame asked for off the screen further onto it by
        // its own rule (a tenth of the window on it): there it is where
        // openbox keeps it, left of the stored-place rule's corner, wholly
        // on the screen or past its right edge.
        const bool bOff = c.iX == iOffX;
        // (The bound stays the place asked for while openbox may show the
        // frame on its way there; after the exit, the place stored.)
        int iBoundX = moved.iX;
        const auto there = [&pMain, &moved, &iBoundX, bOff, screen] {
            const NKScreenRect shown = FrameOf(pMain);
            if (!bOff) return Same(shown, moved);
            const bool bThere = shown.iY == moved.iY && shown.iWidth == moved.iWidth &&
                                shown.iHeight == moved.iHeight && shown.iX <= iBoundX &&
                                shown.iX + shown.iWidth >= screen.iX + screen.iWidth;
            if (bThere) moved.iX = shown.iX;
            return bThere;
        };
        if (c.move == kManager) {
            MoveResizeByManager(pMain, c.iX, c.iY, client.iWidth - c.iShrink,
                                client.iHeight - c.iShrink);
            ASSERT_TRUE(WaitWithoutHandlingEvents(there, "the frame at its new place"))
                << Text(FrameOf(pMain));
        } else if (c.move >= kStartupFile) {
            NKDestroyMainWindow();
            NKTestFlushDeletes();
            // The view's record as the program starts with it: no view has
            // had a size yet.
            NKViewWindowSize = NKViewSize{810, 600};
            if (c.session != kLast)
                g_WindowPlacement = {100, 80, 810, 600, uint8_t(c.session == kMaximised ? 1 : 0)};
            std::unique_ptr<HeldProcess> pHeld;
            if (bHold) pHeld = std::make_unique<HeldProcess>(m_pOpenbox->processId());
            ASSERT_TRUE(pHeld == nullptr || pHeld->Held());
            ASSERT_TRUE(CreateMainWindow());
            pMain = NKGetMainWindow();
            // Not held, openbox maximises the window before the line runs,
            // and the program has seen it do so, or has handled no event
            // since the window was made.
            if (c.session == kManagerMaximises) {
                ASSERT_TRUE(WaitFramed(pMain)) << Text(FrameOf(pMain));
                MaximizeByManager(pMain);
                ASSERT_TRUE(WaitMaximized(pMain)) << Text(FrameOf(pMain));
            } else if (c.session == kMaximised && c.move == kStartupFile) {
                ASSERT_TRUE(WaitMaximized(pMain)) << Text(FrameOf(pMain));
                ASSERT_TRUE(NKTestWaitFor([pMain] { return QtHasTheClient(pMain); },
                                          "the maximised client's size, as Qt knows it"));
            } else if (c.move == kStartupFileUnseen) {
                ASSERT_TRUE(WaitWithoutHandlingEvents(
                    [pMain, &c] {
                        return ShownInAFrame(pMain) &&
                               (c.session != kMaximised || MaximizedState(pMain));
                    },
                    "openbox to frame the window"))
                    << Text(FrameOf(pMain));
            }
            MessageCapture capture;
            ASSERT_TRUE(RunLines(c.pszLine));
            // The program reads the window and runs the frame fit while
            // the manager has still to carry out what the line asked.
            if (c.move == kStartupFileHeldRead) {
                ASSERT_TRUE(HandleEventsSoFar(pMain));
            }
            pHeld.reset();
            // The line prints the place as stored: the place asked for, and
            // a place off the screen once openbox has answered, where it
            // shows the frame (or as stored when the window goes first).
            const auto printedAt = [&capture](int iX, int iY) {
                return capture.Contains("Setting window position to: " + std::to_string(iX) + " " +
                                        std::to_string(iY) + ".");
            };
            if (c.move == kStartupFileExitAtOnce) {
                NKMainWindowCommand(NK_MENU_EXIT);
                ASSERT_EQ(NKGetMainWindow(), nullptr);
                NKTestFlushDeletes();
                g_bStatusbarShown = g_bToolbarShown = g_bMenuBarShown = 1;  // as a new start
                // What is stored is the place asked for, normal: the manager
                // shows the window there however late it carries it out
                // (openbox keeps a place off the screen where the restart
                // shows it).
                const NKWindowPlacement &p = g_WindowPlacement;
                EXPECT_EQ(p.bMaximized, 0);
                EXPECT_TRUE(
                    Same({p.iX, p.iY, p.iWidth, p.iHeight},
                         {bOff ? p.iX : moved.iX, moved.iY, client.iWidth, client.iHeight}) &&
                    p.iX <= moved.iX)
                    << Text({p.iX, p.iY, p.iWidth, p.iHeight});
                EXPECT_TRUE(printedAt(p.iX, p.iY) || printedAt(moved.iX, moved.iY))
                    << capture.Text();
                moved.iX = p.iX;
            } else if (c.move == kStartupFileExitBeforeFit) {
                // Openbox shows the window normal where the program put it
                // for now (or in full screen, where the lines leave it
                // there), the program has handled no event since: the
                // place and size asked for are stored.
                const bool bFull = g_bFullScreenActive != 0;
                ASSERT_TRUE(WaitWithoutHandlingEvents(
                    [pMain, bFull] {
                        return bFull ? FullScreenState(pMain)
                                     : ShownInAFrame(pMain) && !MaximizedState(pMain);
                    },
                    "openbox to show the window normal"))
                    << Text(FrameOf(pMain));
                if (bFull) {  // no menu: closed as the user closes it
                    pMain->close();
                } else {
                    NKMainWindowCommand(NK_MENU_EXIT);
                }
                ASSERT_EQ(NKGetMainWindow(), nullptr);
                g_bStatusbarShown = g_bToolbarShown = g_bMenuBarShown = 1;  // as a new start
                // A place off the screen was printed once openbox had
                // answered, before the line returned: where it keeps it.
                if (bOff) {
                    const NKWindowPlacement &p = g_WindowPlacement;
                    EXPECT_TRUE(printedAt(p.iX, p.iY) && p.iX <= moved.iX) << capture.Text();
                    moved.iX = p.iX;
                }
            } else {
                EXPECT_TRUE(NKTestWaitFor(
                    [&] {
                        int iWidth = 0, iHeight = 0;
                        const NKWindowPlacement read = NKGetPlacementToStore();
                        return there() && Framed(pMain) && !MaximizedState(pMain) &&
                               !pMain->isMaximized() && NKGetViewClientSize(&iWidth, &iHeight) &&
                               iWidth == iViewWidth && iHeight == iViewHeight &&
                               Same({read.iX, read.iY, read.iWidth, read.iHeight},
                                    {moved.iX, moved.iY, client.iWidth, client.iHeight}) &&
                               read.bMaximized == 0;
                    },
                    "the normal frame where the line puts it, the view's size, read back"))
                    << Text(FrameOf(pMain)) << ", expected " << Text(moved)
                    << (MaximizedState(pMain) ? ", maximised" : "");
                if (bOff) {
                    EXPECT_TRUE(NKTestWaitFor([&] { return printedAt(moved.iX, moved.iY); },
                                              "the place shown printed"))
                        << capture.Text() << ", shown at " << moved.iX;
                } else if (std::string(c.pszLine).find("winposition ") != std::string::npos) {
                    EXPECT_TRUE(printedAt(c.iX, c.iY) || printedAt(moved.iX, moved.iY))
                        << capture.Text();
                }
            }
        } else {
            std::unique_ptr<HeldProcess> pHeld;
            if (bHold) pHeld = std::make_unique<HeldProcess>(m_pOpenbox->processId());
            ASSERT_TRUE(pHeld == nullptr || pHeld->Held());
            NKMoveMainWindow(c.move == kUserAfterProgram ? c.iX + 150 : c.iX,
                             c.move == kUserAfterProgram ? c.iY + 100 : c.iY);
            if (c.move == kProgramClosedBefore) NKDestroyMainWindow();
            if (c.move == kProgramReadBefore) {
                WriteProperty(
                    pMain, "_NET_FRAME_EXTENTS", XA_CARDINAL,
                    {client.iX - frame.iX, frame.iX + frame.iWidth - client.iX - client.iWidth,
                     client.iY - frame.iY, frame.iY + frame.iHeight - client.iY - client.iHeight});
                ASSERT_TRUE(HandleEventsSoFar(pMain));
            }
            if (c.move == kUserAfterProgram)
                MoveResizeByManager(pMain, c.iX, c.iY, client.iWidth - c.iShrink,
                                    client.iHeight - c.iShrink);
            pHeld.reset();
            EXPECT_TRUE(c.move == kProgramClosedBefore ||
                        NKTestWaitFor([&] { return there() && Framed(pMain); },
                                      "the frame at its new place"))
                << Text(FrameOf(pMain));
        }
        NKDestroyMainWindow();
        NKTestFlushDeletes();
        EXPECT_TRUE(StoredAs(
            {moved.iX, moved.iY, client.iWidth - c.iShrink, client.iHeight - c.iShrink}, false));
        iBoundX = g_WindowPlacement.iX;

        ASSERT_TRUE(CreateMainWindow());
        pMain = NKGetMainWindow();
        ASSERT_TRUE(WaitFramed(pMain)) << Text(FrameOf(pMain));
        // A place stored off the screen's edge starts where openbox keeps it.
        if (c.iX == iOffX) {
            EXPECT_TRUE(NKTestWaitFor(there, "the frame where openbox keeps it"))
                << Text(FrameOf(pMain)) << ", moved " << Text(moved);
        } else {
            EXPECT_TRUE(Same(FrameOf(pMain), moved))
                << Text(FrameOf(pMain)) << ", moved " << Text(moved);
        }
    }
}

// Each "winposition" line's answer comes at its line, before the next line
// runs, also where openbox keeps a place off the screen elsewhere than
// asked: the line prints the place it keeps. In a command file run at once
// after the window is made, before openbox has framed it (as the start-up
// file runs), and in one run once the window is framed.
TEST_F(WindowManagerTest, EachWinpositionAnswersBeforeTheNextLineRuns)
{
    const NKScreenRect screen = ScreenRect();
    const int iOffX = screen.iX + screen.iWidth - 32;  // 2000 brought onto the screen
    for (const bool bAtStart : {true, false}) {
        SCOPED_TRACE(bAtStart ? "at once after the window is made" : "once it is framed");
        if (bAtStart) {
            NKDestroyMainWindow();
            NKTestFlushDeletes();
            ASSERT_TRUE(CreateMainWindow());
        }
        QWidget *pMain = NKGetMainWindow();
        const std::vector<std::string> answers = NKTestCommandFileAnswers(
            "winposition 2000 300\nversion\nwinposition 1900 300\nversion\nwinposition 120 "
            "90\nversion\n");
        std::string text;
        for (const std::string &answer : answers) text += answer + "; ";
        const std::vector<std::string> expected = {"W", "V", "W", "V", "W 120 90", "V"};
        ASSERT_EQ(answers.size(), expected.size()) << text;
        const int iFrameWidth = FrameOf(pMain).iWidth;
        for (size_t i = 0; i < expected.size(); i++) {
            if (expected[i] != "W") {
                EXPECT_EQ(answers[i], expected[i]) << text;
                continue;
            }
            // Where openbox keeps the frame: further in than the place
            // asked, a tenth of it on the screen.
            int iX = 0, iY = 0;
            ASSERT_EQ(std::sscanf(answers[i].c_str(), "W %d %d", &iX, &iY), 2) << text;
            EXPECT_EQ(iY, 300) << text;
            EXPECT_LT(iX, iOffX) << text;
            EXPECT_GE(iX + iFrameWidth, screen.iX + screen.iWidth) << text;
        }
        EXPECT_TRUE(NKTestWaitFor(
            [pMain] {
                const NKScreenRect frame = FrameOf(pMain);
                return frame.iX == 120 && frame.iY == 90;
            },
            "the frame where the last line put it"))
            << Text(FrameOf(pMain));
    }
}

// F11 puts the window in the manager's full-screen state: no frame, the
// whole screen covered. Esc (and F11 again) put the frame back where it
// was, each time.
TEST_F(WindowManagerTest, F11CoversTheScreenWithoutAFrameAndEscPutsTheFrameBack)
{
    QWidget *pMain = NKGetMainWindow();
    const NKScreenRect screen = ScreenRect();
    const NKScreenRect before = FrameOf(pMain);
    for (Qt::Key leave : {Qt::Key_Escape, Qt::Key_F11, Qt::Key_Escape}) {
        SCOPED_TRACE(leave == Qt::Key_Escape ? "Esc" : "F11");
        QTest::keyClick(pMain, Qt::Key_F11);
        EXPECT_TRUE(NKTestWaitFor(
            [pMain, screen] { return FullScreenState(pMain) && Same(FrameOf(pMain), screen); },
            "the full-screen state"))
            << Text(FrameOf(pMain));
        QTest::keyClick(pMain, leave);
        EXPECT_TRUE(NKTestWaitFor(
            [pMain, before] {
                const NKWindowPlacement stored = NKGetPlacementToStore();
                return !FullScreenState(pMain) && Same(FrameOf(pMain), before) &&
                       stored.iX == before.iX && stored.iY == before.iY;
            },
            "the frame back in its place"))
            << Text(FrameOf(pMain)) << ", before " << Text(before);
    }
}

// F11 or Esc pressed before the manager has carried out the key pressed
// before it, as on a busy machine. Qt takes its record of the window's
// state from the manager's state property when the property changes (and
// only when what it reads differs from what it read last), reading it as
// it is then: the change the manager made for the first key, handled after
// the second, gives Qt the state the manager is about to leave. The third
// key is carried out all the same. Openbox is held while the second and
// third keys come, which makes that late reading certain; once it runs
// again and has framed a new window, it has taken them all. Each case has
// a new window, which Qt has read in no state but the normal one.
TEST_F(WindowManagerTest, AKeyPressedBeforeTheManagerTookTheLastIsCarriedOut)
{
    if (m_pOpenbox == nullptr) GTEST_SKIP() << "a window manager the test did not start runs";
    const NKScreenRect screen = ScreenRect();
    struct Case {
        const char *pszName;
        Qt::Key first, second;  // the third is the first again
        bool bFull;             // what the first and third keys ask for
    };
    const Case cases[] = {{"F11, Esc, F11", Qt::Key_F11, Qt::Key_Escape, true},
                          {"Esc, F11, Esc", Qt::Key_Escape, Qt::Key_F11, false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.pszName);
        NKDestroyMainWindow();
        NKTestFlushDeletes();
        ASSERT_TRUE(CreateMainWindow());
        QWidget *pMain = NKGetMainWindow();
        ASSERT_TRUE(WaitFramed(pMain)) << Text(FrameOf(pMain));
        const NKScreenRect before = FrameOf(pMain);
        const auto carriedOut = [pMain, screen, before](bool bFull) {
            return FullScreenState(pMain) == bFull && pMain->isFullScreen() == bFull &&
                   (g_bFullScreenActive != 0) == bFull &&
                   Same(FrameOf(pMain), bFull ? screen : before);
        };
        if (!c.bFull) {  // Esc needs the full-screen state, read by Qt
            const StatesRead read(pMain->windowHandle());
            QTest::keyClick(pMain, Qt::Key_F11);
            ASSERT_TRUE(NKTestWaitFor([&] { return carriedOut(true) && read.FullScreen(); },
                                      "the full-screen state, read by Qt"));
        }
        QTest::keyClick(pMain, c.first);
        ASSERT_TRUE(WaitWithoutHandlingEvents(
            [pMain, &c] { return FullScreenState(pMain) == c.bFull; }, "the manager's state"));
        HeldProcess held(m_pOpenbox->processId());
        ASSERT_TRUE(held.Held());
        QTest::keyClick(pMain, c.second);
        ASSERT_TRUE(NKTestWaitFor([pMain, &c] { return pMain->isFullScreen() == c.bFull; },
                                  "Qt's late reading of the manager's state"));
        QTest::keyClick(pMain, c.first);
        held.Release();
        ASSERT_TRUE(WaitUntilOpenboxFramesWindows());
        EXPECT_TRUE(NKTestWaitFor([&] { return carriedOut(c.bFull); }, "the third key's state"))
            << Text(FrameOf(pMain)) << ", before " << Text(before);
    }
}

// Sessions that end maximised store the normal window's place and size
// as they were, whether the window started maximised or the manager
// maximised it (a double click on the title), and whether the manager
// closed it (Alt+F4) or File > Exit did: three such sessions in a row
// store the same corner and size,
// and a normal start puts the frame there. (A maximised window's frame
// lies otherwise around its client area than a normal one's.) Restored
// by the manager, the window is back there and stores that place.
TEST_F(WindowManagerTest, MaximisedSessionsKeepTheNormalPlace)
{
    struct Case {
        const char *pszName;
        int iX, iY;
        bool bStartMaximized, bCloseByManager;
        const char *pszLines = nullptr;  // run maximised, before the close
    };
    const Case cases[] = {
        {"started maximised, closed by the manager", 60, 100, true, true},
        {"started maximised near the top, closed by the manager", 30, 5, true, true},
        {"maximised by the manager, File > Exit", 200, 200, false, false},
        {"maximised by the manager, closed by it", 150, 40, false, true},
        {"started maximised, full screen and back, File > Exit", 70, 110, true, false,
         "fullscreen\nnofullscreen"},
        {"maximised by the manager, closed in full screen", 80, 120, false, false, "fullscreen"},
    };
    NKDestroyMainWindow();
    NKTestFlushDeletes();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.pszName);
        g_WindowPlacement.iX = c.iX, g_WindowPlacement.iY = c.iY;
        g_WindowPlacement.bMaximized = c.bStartMaximized ? 1 : 0;
        for (int iSession = 1; iSession <= 3; iSession++) {
            SCOPED_TRACE("session " + std::to_string(iSession));
            ASSERT_TRUE(CreateMainWindow());
            QWidget *pMain = NKGetMainWindow();
            if (!pMain->isMaximized()) {
                ASSERT_TRUE(WaitFramed(pMain)) << Text(FrameOf(pMain));
                MaximizeByManager(pMain);
            }
            ASSERT_TRUE(WaitMaximized(pMain)) << Text(FrameOf(pMain));
            if (c.pszLines != nullptr) {
                // Back from full screen maximised again; closed in full
                // screen as the user closes it there (no menu).
                ASSERT_TRUE(RunLines(c.pszLines));
                if (g_bFullScreenActive != 0) {
                    ASSERT_TRUE(NKTestWaitFor([pMain] { return FullScreenState(pMain); },
                                              "the full-screen state"));
                    pMain->close();
                    ASSERT_EQ(NKGetMainWindow(), nullptr);
                    NKTestFlushDeletes();
                    g_bStatusbarShown = g_bToolbarShown = g_bMenuBarShown = 1;  // as a new start
                } else {
                    ASSERT_TRUE(WaitMaximized(pMain)) << Text(FrameOf(pMain));
                }
            }
            if (c.bCloseByManager) {
                ASSERT_TRUE(CloseByManager(pMain));
            } else if (NKGetMainWindow() != nullptr) {
                NKMainWindowCommand(NK_MENU_EXIT);
                ASSERT_EQ(NKGetMainWindow(), nullptr);
                NKTestFlushDeletes();
            }
            EXPECT_TRUE(StoredAs({c.iX, c.iY, 810, 600}, true));
        }
        g_WindowPlacement.bMaximized = 0;
        ASSERT_TRUE(CreateMainWindow());
        QWidget *pMain = NKGetMainWindow();
        ASSERT_TRUE(WaitFramed(pMain)) << Text(FrameOf(pMain));
        const NKScreenRect frame = FrameOf(pMain);
        EXPECT_EQ(frame.iX, c.iX) << Text(frame);
        EXPECT_EQ(frame.iY, c.iY) << Text(frame);
        // Maximised and restored by the manager: the frame comes back there,
        // and a session that ends so stores it, normal.
        MaximizeByManager(pMain);
        ASSERT_TRUE(WaitMaximized(pMain)) << Text(FrameOf(pMain));
        RestoreByManager(pMain);
        EXPECT_TRUE(NKTestWaitFor(
            [pMain, frame] {
                return !MaximizedState(pMain) && !pMain->isMaximized() &&
                       Same(FrameOf(pMain), frame);
            },
            "the frame restored"))
            << Text(FrameOf(pMain)) << ", before " << Text(frame);
        NKDestroyMainWindow();
        NKTestFlushDeletes();
        EXPECT_EQ(g_WindowPlacement.iX, c.iX);
        EXPECT_EQ(g_WindowPlacement.iY, c.iY);
        EXPECT_EQ(g_WindowPlacement.bMaximized, 0);
    }
}

// A placed dialog (placed at its anchor the first time) beside a main
// window whose frame fills the work area's bottom-right corner, and beside
// a maximised one, is pulled in by its whole frame: all of it lies in the
// work area, against its right edge (and its bottom, placed below). Beside
// a window that a "winposition" line put off the screen at the left, where
// openbox keeps its frame further onto the screen, and then again, where
// openbox refuses the place and nothing moves, the dialog lies against the
// frame shown, its top with the frame's: the line printed that place.
TEST_F(WindowManagerTest, APlacedDialogKeepsItsWholeFrameInTheWorkArea)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const NKScreenRect work = {area.x(), area.y(), area.width(), area.height()};
    struct Case {
        const char *pszName;
        bool bMaximized;
        int iAnchor;
        int iLines;  // times "winposition -2000 300" runs first
    };
    const Case cases[] = {
        {"right of a window in the corner", false, NK_PLACE_RIGHT_TOP, 0},
        {"at the corner of a window in the corner", false, NK_PLACE_BOTTOM_RIGHT, 0},
        {"right of a maximised window", true, NK_PLACE_RIGHT_TOP, 0},
        {"at the corner of a maximised window", true, NK_PLACE_BOTTOM_RIGHT, 0},
        {"right of a window put off the screen", false, NK_PLACE_RIGHT_TOP, 1},
        {"right of a window refused a place further off the screen", false, NK_PLACE_RIGHT_TOP, 2},
    };
    QWidget *pMain = NKGetMainWindow();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.pszName);
        if (c.iLines > 0) {
            if (pMain->isMaximized()) {
                RestoreByManager(pMain);
                ASSERT_TRUE(NKTestWaitFor(
                    [pMain] { return !MaximizedState(pMain) && !pMain->isMaximized(); },
                    "the window restored"))
                    << Text(FrameOf(pMain));
            }
            for (int iLine = 0; iLine < c.iLines; iLine++) {
                MessageCapture capture;
                ASSERT_EQ(ExecuteCommand("winposition -2000 300"), 0);
                // The frame where openbox keeps it, stored so.
                const auto kept = [pMain] {
                    const NKScreenRect shown = FrameOf(pMain);
                    const NKWindowPlacement stored = NKGetPlacementToStore();
                    return ShownInAFrame(pMain) && shown.iX + shown.iWidth > 0 && shown.iX < 0 &&
                           stored.iX == shown.iX && stored.iY == shown.iY && stored.bMaximized == 0;
                };
                ASSERT_TRUE(NKTestWaitFor(kept, "the frame kept on the screen"))
                    << Text(FrameOf(pMain));
                const NKScreenRect shown = FrameOf(pMain);
                const std::string line = "Setting window position to: " + std::to_string(shown.iX) +
                                         " " + std::to_string(shown.iY) + ".";
                EXPECT_TRUE(NKTestWaitFor([&] { return capture.Contains(line); },
                                          "the place shown printed"))
                    << capture.Text() << ", shown at " << Text(shown);
            }
        } else if (c.bMaximized) {
            if (!pMain->isMaximized()) MaximizeByManager(pMain);
            ASSERT_TRUE(WaitMaximized(pMain)) << Text(FrameOf(pMain));
        } else {
            const NKScreenRect main = FrameOf(pMain);
            const NKScreenRect corner = {work.iX + work.iWidth - main.iWidth,
                                         work.iY + work.iHeight - main.iHeight, main.iWidth,
                                         main.iHeight};
            NKMoveMainWindow(corner.iX, corner.iY);
            ASSERT_TRUE(NKTestWaitFor(
                [pMain, corner] { return Same(FrameOf(pMain), corner) && Framed(pMain); },
                "the frame in the corner"))
                << Text(FrameOf(pMain));
        }
        NKDialogRect remembered;
        NKPlacedDialog dialog(pMain, Qt::Tool, &remembered);
        dialog.resize(300, 400);
        dialog.PlaceAndShow(c.iAnchor);
        EXPECT_TRUE(NKTestWaitFor(
            [&dialog, work] { return Framed(&dialog) && Inside(FrameOf(&dialog), work); },
            "the dialog's frame in the work area"))
            << Text(FrameOf(&dialog)) << " in " << Text(work);
        const NKScreenRect frame = FrameOf(&dialog);
        if (c.iLines > 0) {
            const NKScreenRect main = FrameOf(pMain);
            EXPECT_EQ(frame.iX, main.iX + main.iWidth) << Text(frame) << " beside " << Text(main);
            EXPECT_EQ(frame.iY, main.iY) << Text(frame) << " beside " << Text(main);
            continue;
        }
        EXPECT_EQ(frame.iX + frame.iWidth, work.iX + work.iWidth) << Text(frame);
        if (c.iAnchor == NK_PLACE_BOTTOM_RIGHT) {
            EXPECT_EQ(frame.iY + frame.iHeight, work.iY + work.iHeight) << Text(frame);
        }
    }
}

// Sessions that start maximised, are restored and maximised again by the
// manager and end by File > Exit store the normal rectangle they started
// with. Openbox restores in steps: the normal state, the normal frame's
// extents, a synthetic notice of the normal place and size, and only then
// a real resize; in between the window is normal with the maximised size.
// A held case holds openbox and writes the first steps itself, as if
// openbox had stopped there, and the program handles them; openbox then
// restores and maximises while the program handles no events, so that the
// program sees the rest late.
TEST_F(WindowManagerTest, ARestoredAndMaximisedSessionStoresTheNormalSize)
{
    if (m_pOpenbox == nullptr) GTEST_SKIP() << "a window manager the test did not start runs";
    const NKScreenRect normal = {200, 150, 700, 500};
    const struct {
        const char *pszName;
        bool bHeld;
        int iSteps;
    } cases[] = {{"carried out in time", false, 0},
                 {"held, all of it seen late", true, 0},
                 {"held after the normal state", true, 1},
                 {"held after the normal frame's extents", true, 2},
                 {"held after the synthetic notice", true, 3}};
    NKDestroyMainWindow();
    NKTestFlushDeletes();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.pszName);
        g_WindowPlacement = {normal.iX, normal.iY, normal.iWidth, normal.iHeight, 1};
        ASSERT_TRUE(CreateMainWindow());
        QWidget *pMain = NKGetMainWindow();
        ASSERT_TRUE(WaitMaximized(pMain)) << Text(FrameOf(pMain));
        {
            std::unique_ptr<HeldProcess> pHeld;
            ASSERT_TRUE(HoldAndWriteRestoreSteps(pMain, c.bHeld, c.iSteps, normal, &pHeld));
            RestoreByManager(pMain);
            MaximizeByManager(pMain);
        }
        ASSERT_TRUE(WaitUntilOpenboxFramesWindows(!c.bHeld));
        ASSERT_TRUE(WaitMaximized(pMain)) << Text(FrameOf(pMain));
        NKMainWindowCommand(NK_MENU_EXIT);
        NKTestFlushDeletes();
        EXPECT_TRUE(StoredAs(normal, true));
    }
}

// New frame extents written around a client that keeps its place (openbox
// held, so that it writes nothing of its own) move the stored corner with
// the frame. Then a maximise asked of a held openbox, and a move of the
// window asked after it: openbox maximises the window before it sees the
// move, and the stored rectangle stays the last normal one, at the place
// the program asked for.
TEST_F(WindowManagerTest, TheStoredRectangleFollowsTheNormalFrameOnly)
{
    if (m_pOpenbox == nullptr) GTEST_SKIP() << "a window manager the test did not start runs";
    QWidget *pMain = NKGetMainWindow();
    NKScreenRect frame, client;
    ASSERT_TRUE(NKGetWindowFrame(pMain->winId(), &frame, &client));
    const auto stored = [] {
        const NKWindowPlacement p = NKGetPlacementToStore();
        return NKScreenRect{p.iX, p.iY, p.iWidth, p.iHeight};
    };
    HeldProcess held(m_pOpenbox->processId());
    ASSERT_TRUE(held.Held());
    WriteProperty(pMain, "_NET_FRAME_EXTENTS", XA_CARDINAL, {5, 5, 40, 5});
    const NKScreenRect extended = {client.iX - 5, client.iY - 40, client.iWidth, client.iHeight};
    EXPECT_TRUE(NKTestWaitFor([&] { return Same(stored(), extended); }, "the new frame's corner"))
        << Text(stored());
    MaximizeByManager(pMain);
    NKMoveMainWindow(frame.iX + 50, frame.iY + 40);
    held.Release();
    ASSERT_TRUE(WaitMaximized(pMain)) << Text(FrameOf(pMain));
    EXPECT_TRUE(Same(stored(), {frame.iX + 50, frame.iY + 40, client.iWidth, client.iHeight}))
        << Text(stored());
}

// A stored place above, left of or right of the screen starts the window
// with its frame's top, title bar and all, on the screen and part of the
// window beside it.
TEST_F(WindowManagerTest, AStoredPlaceOffTheScreenStartsWithTheTitleBarOnIt)
{
    const NKScreenRect screen = ScreenRect();
    const int aiPlaces[][2] = {{300, -50}, {300, -2000}, {2000, 100}, {-900, 100}};
    NKDestroyMainWindow();
    NKTestFlushDeletes();
    for (const auto &place : aiPlaces) {
        SCOPED_TRACE("stored at " + std::to_string(place[0]) + ", " + std::to_string(place[1]));
        g_WindowPlacement = {place[0], place[1]};
        ASSERT_TRUE(CreateMainWindow());
        ASSERT_TRUE(WaitFramed(NKGetMainWindow())) << Text(FrameOf(NKGetMainWindow()));
        const NKScreenRect frame = FrameOf(NKGetMainWindow());
        EXPECT_TRUE(frame.iY >= screen.iY && frame.iY <= screen.iY + screen.iHeight - 32 &&
                    frame.iX + frame.iWidth >= screen.iX + 32 &&
                    frame.iX <= screen.iX + screen.iWidth - 32)
            << Text(frame);
        NKDestroyMainWindow();
        NKTestFlushDeletes();
    }
}

// A stored size larger than the work area (a larger monitor's), or one
// that fits there only without the frame, starts the window with its whole
// frame, title bar buttons and status bar included, in the work area: cut
// by the frame's growth where the two do not fit together, the frame at
// the work area's edge that way, and at its stored place with its stored
// size the other way. A size that fits starts as it was stored, where it
// was, also one that with its frame fills the work area exactly, stored
// off its edge. The rows of the work area's size are given as its size
// plus some, or as its size less the frame's growth plus some. A held row
// makes the window while openbox is held and tells the program a frame of
// the test's own, other than openbox's, three times before openbox runs
// again: the frame is fitted by the frame openbox gives it.
TEST_F(WindowManagerTest, AStoredSizeLargerThanTheWorkAreaStartsWithTheWholeFrameOnIt)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const NKScreenRect work = {area.x(), area.y(), area.width(), area.height()};
    NKScreenRect first, firstClient;  // the frame openbox gives
    ASSERT_TRUE(NKGetWindowFrame(NKGetMainWindow()->winId(), &first, &firstClient));
    enum Size { kPixels, kOfWork, kOfWorkLessFrame };
    const struct {
        int iWidth, iHeight;
        Size size;  // what the sizes are added to
        int iX, iY;
        bool bHeld;
    } cases[] = {{2000, 1400, kPixels, 100, 80, false},  {2000, 500, kPixels, 100, 80, false},
                 {700, 1400, kPixels, 100, 80, false},   {810, 600, kPixels, 100, 80, false},
                 {0, 0, kOfWork, 0, 0, false},           {-1, -1, kOfWork, 0, 0, false},
                 {-100, -10, kOfWork, 50, 0, false},     {5000, 300, kPixels, 100, 80, false},
                 {0, 0, kOfWorkLessFrame, 50, 0, false}, {0, 0, kOfWorkLessFrame, 0, 40, false},
                 {-470, 0, kOfWork, 100, 80, true}};
    NKDestroyMainWindow();
    NKTestFlushDeletes();
    for (const auto &c : cases) {
        const int iLessX = c.size == kOfWorkLessFrame ? first.iWidth - firstClient.iWidth : 0;
        const int iLessY = c.size == kOfWorkLessFrame ? first.iHeight - firstClient.iHeight : 0;
        const int iWidth = c.iWidth + (c.size != kPixels ? work.iWidth - iLessX : 0);
        const int iHeight = c.iHeight + (c.size != kPixels ? work.iHeight - iLessY : 0);
        SCOPED_TRACE("stored " + Text({c.iX, c.iY, iWidth, iHeight}) + (c.bHeld ? ", held" : ""));
        if (c.bHeld && !CanHold("stored " + Text({c.iX, c.iY, iWidth, iHeight}))) continue;
        std::unique_ptr<HeldProcess> pHeld;
        if (c.bHeld) pHeld = std::make_unique<HeldProcess>(m_pOpenbox->processId());
        ASSERT_TRUE(pHeld == nullptr || pHeld->Held());
        g_WindowPlacement = {c.iX, c.iY, iWidth, iHeight, 0};
        ASSERT_TRUE(CreateMainWindow());
        QWidget *pMain = NKGetMainWindow();
        for (int iTold = 0; pHeld != nullptr && iTold < 3; iTold++) {
            WriteProperty(pMain, "_NET_FRAME_EXTENTS", XA_CARDINAL, {5, 5, 40, 5});
            ASSERT_TRUE(HandleEventsSoFar(pMain));
        }
        pHeld.reset();
        ASSERT_TRUE(WaitFramed(pMain)) << Text(FrameOf(pMain));
        NKScreenRect frame, client;
        ASSERT_TRUE(NKGetWindowFrame(pMain->winId(), &frame, &client));
        const int iGrowX = frame.iWidth - client.iWidth, iGrowY = frame.iHeight - client.iHeight;
        // Where the frame goes: cut to the work area the way it did not fit
        // with its frame, at the stored place with the stored size the other.
        const bool bCutX = iWidth + iGrowX > work.iWidth, bCutY = iHeight + iGrowY > work.iHeight;
        const NKScreenRect expected = {bCutX ? work.iX : c.iX, bCutY ? work.iY : c.iY,
                                       bCutX ? work.iWidth : iWidth + iGrowX,
                                       bCutY ? work.iHeight : iHeight + iGrowY};
        EXPECT_TRUE(NKTestWaitFor(
            [pMain, expected] { return Framed(pMain) && Same(FrameOf(pMain), expected); },
            "the frame where it goes"))
            << Text(FrameOf(pMain)) << ", expected " << Text(expected);
        NKDestroyMainWindow();
        NKTestFlushDeletes();
    }
}

// A window that starts maximised with a stored size larger than the work
// area comes back whole when the user first restores it: the manager gives
// it the cut size, and the frame around it is fitted in then. In the held
// row the program sees the restore's first step alone (the normal state,
// written while openbox is held) with the maximised frame still around the
// window, whose corner and size are those the fit would give it for that
// frame's growth: the fit waits for the restored size all the same. One
// stored partly left of the screen comes back where a normal start with
// the same stored placement shows its frame (openbox pulls the frame onto
// the screen by its own rule, by the frame's size: the maximised frame's
// has no border), and reads back and stores what a normal start stores;
// so do those stored partly right of and below the screen, where openbox
// keeps the frame further onto it than the place asked for and answers
// the fit's request with no move (Qt, which drops the notice of a window
// mostly off its screens, keeps the place asked). One stored partly right
// of and below the screen comes back so also where the program sees the
// normal state first (held) and asks for the place while openbox still
// holds the maximised frame: openbox keeps that request on the screen by
// the maximised frame's size (without the border), and the place it shows
// once the normal frame is around the window is asked again.
TEST_F(WindowManagerTest, AMaximisedStartWithAStoredSizeTooLargeRestoresWhole)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const NKScreenRect work = {area.x(), area.y(), area.width(), area.height()};
    const struct {
        const char *pszName;
        bool bHeld;
        NKScreenRect stored;
        bool bAsANormalStart;  // the frame and what is stored as a normal start's
    } cases[] = {{"restored by the manager", false, {100, 80, 2000, 1400}, false},
                 {"the normal state seen first", true, {100, 80, 2000, 1400}, false},
                 {"stored partly left of the screen", false, {-900, 300, 810, 600}, true},
                 {"stored partly right of the screen", false, {2000, 300, 810, 600}, true},
                 {"stored right of and below the screen", false, {2000, 1500, 810, 600}, true},
                 {"stored below the screen", false, {300, 1500, 810, 600}, true},
                 {"right and below, normal state seen first", true, {2000, 1500, 810, 600}, true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.pszName);
        if (c.bHeld && !CanHold(c.pszName)) continue;
        NKDestroyMainWindow();
        NKTestFlushDeletes();
        const NKScreenRect &r = c.stored;
        NKScreenRect normal = {}, normalStored = {};
        if (c.bAsANormalStart) {
            g_WindowPlacement = {r.iX, r.iY, r.iWidth, r.iHeight, 0};
            ASSERT_TRUE(CreateMainWindow());
            ASSERT_TRUE(WaitFramed(NKGetMainWindow())) << Text(FrameOf(NKGetMainWindow()));
            // Where openbox keeps the frame, once the program has seen it
            // there (closed before, it stores the place it asked for):
            // further onto the screen than the place the program pulls the
            // stored one to, where openbox may show the frame first.
            const NKScreenRect screen = ScreenRect();
            const int iPulledX = std::max(std::min(r.iX, screen.iWidth - 32), 32 - r.iWidth);
            const int iPulledY = std::max(std::min(r.iY, screen.iHeight - 32), work.iY);
            ASSERT_TRUE(NKTestWaitFor(
                [&normal, iPulledX, iPulledY] {
                    normal = FrameOf(NKGetMainWindow());
                    const NKWindowPlacement read = NKGetPlacementToStore();
                    return read.iX == normal.iX && read.iY == normal.iY &&
                           (normal.iX != iPulledX || normal.iY != iPulledY);
                },
                "the normal start's frame read back"))
                << Text(FrameOf(NKGetMainWindow()));
            NKDestroyMainWindow();
            NKTestFlushDeletes();
            const NKWindowPlacement &p = g_WindowPlacement;
            normalStored = {p.iX, p.iY, p.iWidth, p.iHeight};
        }
        g_WindowPlacement = {r.iX, r.iY, r.iWidth, r.iHeight, 1};
        ASSERT_TRUE(CreateMainWindow());
        QWidget *pMain = NKGetMainWindow();
        ASSERT_TRUE(WaitMaximized(pMain)) << Text(FrameOf(pMain));
        {
            std::unique_ptr<HeldProcess> pHeld;
            ASSERT_TRUE(HoldAndWriteRestoreSteps(pMain, c.bHeld, c.bHeld ? 1 : 0, work, &pHeld));
            RestoreByManager(pMain);
        }
        // A normal start's frame, and its stored rectangle read back.
        const auto asANormalStart = [pMain, normal, normalStored] {
            const NKWindowPlacement read = NKGetPlacementToStore();
            return Same(FrameOf(pMain), normal) &&
                   Same({read.iX, read.iY, read.iWidth, read.iHeight}, normalStored);
        };
        EXPECT_TRUE(NKTestWaitFor(
            [pMain, work, &c, &asANormalStart] {
                return !MaximizedState(pMain) &&
                       (c.bAsANormalStart ? ShownInAFrame(pMain) && asANormalStart()
                                          : Framed(pMain) && Inside(FrameOf(pMain), work));
            },
            "the restored window's whole frame in the work area, or as a normal start's"))
            << Text(FrameOf(pMain)) << " in " << Text(work) << ", a normal start's " << Text(normal)
            << ", stored " << Text(normalStored) << ", read back " << [] {
                   const NKWindowPlacement p = NKGetPlacementToStore();
                   return Text({p.iX, p.iY, p.iWidth, p.iHeight});
               }();
        if (!c.bAsANormalStart) continue;
        NKDestroyMainWindow();
        NKTestFlushDeletes();
        EXPECT_TRUE(StoredAs(normalStored, false)) << "(a normal start's)";
    }
}

// Lines run after openbox maximised the window (a double click on its
// title) while Qt has still to read the maximised state, as on a busy
// machine: the program takes the state from the manager. A window closed
// in full screen entered then stores Maximized with the normal rectangle
// it had; "winposition x y" makes it a normal window at that place with
// the normal size it had. Each row starts a normal window.
TEST_F(WindowManagerTest, LinesAfterAMaximiseQtHasNotReadFollowTheManager)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const NKScreenRect work = {area.x(), area.y(), area.width(), area.height()};
    enum End { kClosedInFullScreen, kNormalThere };
    const struct {
        const char *pszName;
        const char *pszLines;
        End end;
    } cases[] = {{"full screen, closed there", "fullscreen", kClosedInFullScreen},
                 {"winposition 120 90, File > Exit", "winposition 120 90", kNormalThere}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.pszName);
        NKDestroyMainWindow();
        NKTestFlushDeletes();
        g_WindowPlacement = {100, 80, 810, 600, 0};
        ASSERT_TRUE(CreateMainWindow());
        QWidget *pMain = NKGetMainWindow();
        ASSERT_TRUE(WaitFramed(pMain)) << Text(FrameOf(pMain));
        NKScreenRect frame, client;
        ASSERT_TRUE(NKGetWindowFrame(pMain->winId(), &frame, &client));
        MaximizeByManager(pMain);
        ASSERT_TRUE(WaitWithoutHandlingEvents(
            [pMain, work] { return MaximizedState(pMain) && Same(FrameOf(pMain), work); },
            "openbox to maximise the window"))
            << Text(FrameOf(pMain));
        ASSERT_FALSE(pMain->isMaximized());  // Qt has handled no event since
        ASSERT_TRUE(RunLines(c.pszLines));
        NKScreenRect normal = {frame.iX, frame.iY, client.iWidth, client.iHeight};
        bool bMaximized = true;
        if (c.end == kClosedInFullScreen) {
            EXPECT_EQ(NKGetPlacementToStore().bMaximized, 1);
            ASSERT_TRUE(
                NKTestWaitFor([pMain] { return FullScreenState(pMain); }, "the full-screen state"));
            pMain->close();  // no menu in full screen: closed as the user closes it
            ASSERT_EQ(NKGetMainWindow(), nullptr);
            g_bStatusbarShown = g_bToolbarShown = g_bMenuBarShown = 1;  // as a new start
        } else {
            normal.iX = 120, normal.iY = 90, bMaximized = false;
            const NKScreenRect there = {120, 90, frame.iWidth, frame.iHeight};
            EXPECT_TRUE(NKTestWaitFor(
                [pMain, there] {
                    return !MaximizedState(pMain) && !pMain->isMaximized() && Framed(pMain) &&
                           Same(FrameOf(pMain), there);
                },
                "the normal frame where the line puts it"))
                << Text(FrameOf(pMain)) << ", expected " << Text(there)
                << (MaximizedState(pMain) ? ", maximised" : "");
            NKMainWindowCommand(NK_MENU_EXIT);
            ASSERT_EQ(NKGetMainWindow(), nullptr);
        }
        NKTestFlushDeletes();
        EXPECT_TRUE(StoredAs(normal, bMaximized));
    }
}

// The user sizes the window by its frame later (openbox carries out the
// drag, so the X window takes the new size for real) after a line that
// sized the view or took a bar away: the view's record, the view's size a
// "winposition x y" line then prints (the bars as they are now) and the
// rectangle File > Exit stores are those of the new size, also where only
// the width changed. Each row starts a normal window with every bar shown.
TEST_F(WindowManagerTest, AWindowTheUserSizesLaterGivesTheViewItsNewSize)
{
    const struct {
        const char *pszName;
        const char *pszLines;
        int iWider, iTaller;  // what the user adds to the client's size
    } cases[] = {{"after winposition x y w h", "winposition 120 90 640 480", 90, 60},
                 {"after nostatusbar", "nostatusbar", 70, 50},
                 {"after notoolbar, wider only", "notoolbar", 80, 0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.pszName);
        NKDestroyMainWindow();
        NKTestFlushDeletes();
        g_bStatusbarShown = g_bToolbarShown = g_bMenuBarShown = 1;
        g_WindowPlacement = {100, 80, 810, 600, 0};
        ASSERT_TRUE(CreateMainWindow());
        QWidget *pMain = NKGetMainWindow();
        ASSERT_TRUE(WaitFramed(pMain)) << Text(FrameOf(pMain));
        ASSERT_TRUE(RunLines(c.pszLines));
        // The window where the lines left it, as shown, stored and known to Qt.
        NKScreenRect frame, client;
        ASSERT_TRUE(NKTestWaitFor(
            [&] {
                const NKWindowPlacement p = NKGetPlacementToStore();
                return NKGetWindowFrame(pMain->winId(), &frame, &client) && Framed(pMain) &&
                       QtHasTheClient(pMain) &&
                       Same({p.iX, p.iY, p.iWidth, p.iHeight},
                            {frame.iX, frame.iY, client.iWidth, client.iHeight});
            },
            "the window where the lines put it"))
            << Text(FrameOf(pMain));
        QSize view;
        ASSERT_TRUE(NKGetViewClientSize(&view.rwidth(), &view.rheight()));
        const QSize bars = QSize(client.iWidth, client.iHeight) - view;
        const NKScreenRect sized = {frame.iX + 30, frame.iY + 20, client.iWidth + c.iWider,
                                    client.iHeight + c.iTaller};
        const QSize expected = QSize(sized.iWidth, sized.iHeight) - bars;
        MoveResizeByManager(pMain, sized.iX, sized.iY, sized.iWidth, sized.iHeight);
        ASSERT_TRUE(NKTestWaitFor(
            [&] {
                QSize laidOut;
                return NKGetWindowFrame(pMain->winId(), &frame, &client) && frame.iX == sized.iX &&
                       frame.iY == sized.iY && client.iWidth == sized.iWidth &&
                       client.iHeight == sized.iHeight && QtHasTheClient(pMain) &&
                       NKGetViewClientSize(&laidOut.rwidth(), &laidOut.rheight()) &&
                       laidOut == expected && NKGetViewWindow()->size() == expected;
            },
            "the window and its view at the size the user gave"))
            << Text(FrameOf(pMain)) << ", client " << Text(client);
        EXPECT_EQ(std::make_pair(NKViewWindowSize.iWidth, NKViewWindowSize.iHeight),
                  std::make_pair(expected.width(), expected.height()));
        MessageCapture capture;
        const std::string place = std::to_string(sized.iX) + " " + std::to_string(sized.iY);
        ASSERT_EQ(ExecuteCommand(("winposition " + place).c_str()), 0);
        EXPECT_TRUE(capture.Contains("Setting window position to: " + place +
                                     ". OpenGL window size: " + std::to_string(expected.width()) +
                                     " " + std::to_string(expected.height())))
            << capture.Text();
        NKMainWindowCommand(NK_MENU_EXIT);
        ASSERT_EQ(NKGetMainWindow(), nullptr);
        NKTestFlushDeletes();
        EXPECT_TRUE(StoredAs(sized, false)) << "(sized by the frame)";
    }
    g_bStatusbarShown = g_bToolbarShown = g_bMenuBarShown = 1;  // as a new start
}

// The program may read the window after its manager has gone on while the
// events it has seen still show the window normal with its settled size:
// here the manager has maximised it, given it the maximised size in the
// corner and written the normal state again before sizing it back, and
// Qt's move event comes before the program has seen those steps. That
// reading, of another size than the settled one, leaves the stored
// rectangle as it was.
TEST_F(PlayedManagerTest, AReadingOfAnotherSizeThanTheSettledOneIsNotStored)
{
    ExpectAReadingAfter([](Display *pDisplay, QWidget *pMain) {
        WriteProperty(pMain, "_NET_WM_STATE", XA_ATOM,
                      {long(XInternAtom(pDisplay, "_NET_WM_STATE_MAXIMIZED_VERT", False)),
                       long(XInternAtom(pDisplay, "_NET_WM_STATE_MAXIMIZED_HORZ", False))});
        XMoveResizeWindow(pDisplay, pMain->winId(), 0, 0, 1200, 900);
        WriteProperty(pMain, "_NET_WM_STATE", XA_ATOM, {});
    });
}

// A window its manager is taking on again (unmapped, put in a frame that is
// placed afterwards) and read before the manager shows it at its place: the
// reading, at another place, leaves the stored rectangle as it was.
TEST_F(PlayedManagerTest, AReadingOfAWindowNotShownIsNotStored)
{
    ExpectAReadingAfter([](Display *pDisplay, QWidget *pMain) {
        XUnmapWindow(pDisplay, pMain->winId());
        XMoveWindow(pDisplay, pMain->winId(), 0, 0);
    });
    Display *pDisplay = NKX11Display();
    XMoveWindow(pDisplay, NKGetMainWindow()->winId(), 100, 80);
    XMapWindow(pDisplay, NKGetMainWindow()->winId());
    XSync(pDisplay, False);
}
