// tests/platform/test_gl_normal_size_watch.cpp -- each rule of the watch of
// a window's normal size (platform/nk_normal_size_watch.h) on its own, with
// a window of the test's and no window manager: the test plays the manager,
// writing the window's state, resizing it for real and sending synthetic
// notices of its size, and checks after each step what the watch tells.
// Its program holds the display's lock, so no real manager comes and goes
// meanwhile.
#include <QCoreApplication>
#include <QWindow>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/nk_gl_context.h"
#include "platform/nk_normal_size_watch.h"
#include "platform/nk_window_manager.h"
#include "tests/test_support/test_wait.h"
#include "tests/test_support/x11_events_so_far.h"

// Last: its macros (None, Bool, Status) clash with names of the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

void Count(void *pUser) { ++*static_cast<int *>(pUser); }

enum State { kNormal, kMaximised, kFullScreen, kMinimised };

class NormalSizeWatch : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!NKEnsureGuiApplication() || NKX11Display() == nullptr)
            GTEST_SKIP() << "no X display to play a window manager on";
        if (NKWindowManagerRunning()) GTEST_SKIP() << "a window manager runs on the display";
        m_pDisplay = NKX11Display();
        m_pWindow = std::make_unique<QWindow>();
        m_pWindow->create();
        m_Window = m_pWindow->winId();
        XResizeWindow(m_pDisplay, m_Window, 400, 300);
        XSync(m_pDisplay, False);
        m_pWatch = NKWatchNormalSize(m_Window, Count, &m_iCalls);
        ASSERT_NE(m_pWatch, nullptr);
        NKCatchUpNormalSizeWatch(m_pWatch);
    }
    void TearDown() override { NKEndNormalSizeWatch(m_pWatch); }

    Atom Intern(const char *pszName) { return XInternAtom(m_pDisplay, pszName, False); }
    // The state as a manager writes it; seen by the watch once it catches up.
    void WriteState(State state)
    {
        std::vector<long> atoms;
        if (state == kMaximised)
            atoms = {long(Intern("_NET_WM_STATE_MAXIMIZED_VERT")),
                     long(Intern("_NET_WM_STATE_MAXIMIZED_HORZ"))};
        if (state == kFullScreen) atoms = {long(Intern("_NET_WM_STATE_FULLSCREEN"))};
        if (state == kMinimised) atoms = {long(Intern("_NET_WM_STATE_HIDDEN"))};
        XChangeProperty(m_pDisplay, m_Window, Intern("_NET_WM_STATE"), XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char *>(atoms.data()), int(atoms.size()));
        XSync(m_pDisplay, False);  // carried out before the watch catches up
    }
    void Resize(int iWidth, int iHeight)
    {
        XResizeWindow(m_pDisplay, m_Window, unsigned(iWidth), unsigned(iHeight));
        XSync(m_pDisplay, False);  // carried out before the watch catches up
    }
    // A notice of a size the window does not have, as a manager sends one.
    void SendSynthetic(int iWidth, int iHeight)
    {
        XEvent event = {};
        event.xconfigure = {ConfigureNotify, 0,       True, m_pDisplay, m_Window, m_Window, 10, 10,
                            iWidth,          iHeight, 0,    None,       False};
        XSendEvent(m_pDisplay, m_Window, False, StructureNotifyMask, &event);
        XSync(m_pDisplay, False);  // carried out before the watch catches up
    }
    // The mark the watch writes after a reading of the state: while the
    // property holds items of another format, its own marks fail and no
    // event comes; the test then writes one itself.
    void BlockMarks(void)
    {
        const unsigned char szText[] = "blocked";
        XChangeProperty(m_pDisplay, m_Window, Intern("_QUOLIN_STATE_READ"), XA_STRING, 8,
                        PropModeReplace, szText, 7);
        XSync(m_pDisplay, False);
    }
    // The server notes the deletion of the blocking items as a change of
    // the mark's property: the test's mark. The watch's marks go through
    // again after it.
    void WriteMark(void)
    {
        XDeleteProperty(m_pDisplay, m_Window, Intern("_QUOLIN_STATE_READ"));
        XSync(m_pDisplay, False);  // carried out before the watch catches up
    }
    std::string Told(void)
    {
        int iWidth = 0, iHeight = 0, iSettledWidth = 0, iSettledHeight = 0;
        std::string text = "normal ";
        text += NKWatchedNormalSize(m_pWatch, &iWidth, &iHeight)
                    ? std::to_string(iWidth) + "x" + std::to_string(iHeight)
                    : "none";
        const bool bSettled = NKWatchedSizeSettled(m_pWatch, &iSettledWidth, &iSettledHeight);
        return text + (bSettled ? ", settled" : ", not settled");
    }

    Display *m_pDisplay = nullptr;
    std::unique_ptr<QWindow> m_pWindow;
    Window m_Window = 0;
    NKNormalSizeWatch *m_pWatch = nullptr;
    int m_iCalls = 0;
};

enum Step {
    kState,         // the state written, seen in its stretch
    kStateUnseen,   // written; the next step comes before the watch sees it
    kResize,        // the client resized for real
    kResizeUnseen,  // likewise, before the watch sees it
    kSynthetic,     // a synthetic notice of a size
    kStaleRead,     // the state read, and another written before the mark
    kNewWatch,      // a new watch of the window, the state written before its first mark
};

}  // namespace

// One window through the steps of a manager, and what the watch tells
// after each: the size is taken from real resizes only; a normal stretch
// settles only once the client leaves the size it had maximised or full
// screen (also one whose state the watch saw too late to know, which may
// have been maximised); a reading counts only when its mark comes before
// the next write of the state; a minimised window keeps the normal size;
// a window shown normal has its size as the normal one from the watch's
// start, so that a write of the state before the watch knew the state
// does not take that size for a maximised one.
TEST_F(NormalSizeWatch, EachRuleOnItsOwn)
{
    struct Row {
        const char *pszWhat;
        Step step;
        State state;
        int iWidth, iHeight;
        const char *pszTold;
    };
    const Row rows[] = {
        {"shown normal at 400x300", kState, kNormal, 0, 0, "normal 400x300, settled"},
        {"resized while normal", kResize, kNormal, 500, 350, "normal 500x350, settled"},
        {"a synthetic notice is no size", kSynthetic, kNormal, 620, 410, "normal 500x350, settled"},
        {"maximised", kState, kMaximised, 0, 0, "normal 500x350, not settled"},
        {"given the maximised size", kResize, kNormal, 1200, 900, "normal 500x350, not settled"},
        {"normal with the maximised size", kState, kNormal, 0, 0, "normal 500x350, not settled"},
        {"sized back", kResize, kNormal, 510, 360, "normal 510x360, settled"},
        {"maximised, seen late", kStateUnseen, kMaximised, 0, 0, "normal 510x360, settled"},
        {"given another size, seen late", kResizeUnseen, kNormal, 1100, 850,
         "normal 510x360, settled"},
        {"normal with the size of a stretch never known", kState, kNormal, 0, 0,
         "normal 510x360, not settled"},
        {"sized back again", kResize, kNormal, 520, 370, "normal 520x370, settled"},
        {"maximised read, normal written before the mark", kStaleRead, kMaximised, 0, 0,
         "normal 520x370, settled"},
        {"resized in that normal stretch", kResize, kNormal, 530, 380, "normal 530x380, settled"},
        {"full screen", kState, kFullScreen, 0, 0, "normal 530x380, not settled"},
        {"given the screen", kResize, kNormal, 1280, 1024, "normal 530x380, not settled"},
        {"minimised", kState, kMinimised, 0, 0, "normal 530x380, not settled"},
        {"normal again, still the screen's size", kState, kNormal, 0, 0,
         "normal 530x380, not settled"},
        {"at last", kResize, kNormal, 540, 390, "normal 540x390, settled"},
        {"a new watch, the state written before its first mark", kNewWatch, kNormal, 0, 0,
         "normal 540x390, settled"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.pszWhat);
        switch (row.step) {
        case kState:
        case kStateUnseen:
            WriteState(row.state);
            break;
        case kResize:
        case kResizeUnseen:
            Resize(row.iWidth, row.iHeight);
            break;
        case kSynthetic:
            SendSynthetic(row.iWidth, row.iHeight);
            break;
        case kStaleRead:
            BlockMarks();
            WriteState(row.state);
            NKCatchUpNormalSizeWatch(m_pWatch);  // the reading, its mark refused
            WriteState(kNormal);
            WriteMark();
            break;
        case kNewWatch:
            // The watch's first reading and the one the state's write calls
            // for have their marks refused; the test's two marks stand for
            // them, the second after that write.
            NKEndNormalSizeWatch(m_pWatch);
            BlockMarks();
            m_pWatch = NKWatchNormalSize(m_Window, Count, &m_iCalls);
            WriteState(row.state);
            NKCatchUpNormalSizeWatch(m_pWatch);
            WriteMark();
            BlockMarks();
            WriteMark();
            break;
        }
        if (row.step == kStateUnseen || row.step == kResizeUnseen) continue;
        NKCatchUpNormalSizeWatch(m_pWatch);
        EXPECT_EQ(Told(), row.pszTold);
    }
}

// New frame extents written around a client that keeps its place and size
// (no move or resize comes) are told: the frame's corner moved.
TEST_F(NormalSizeWatch, NewFrameExtentsAreTold)
{
    for (int iTurn = 0; iTurn < 3; iTurn++) QCoreApplication::processEvents();  // calls due
    const int iBefore = m_iCalls;
    const long alExtents[4] = {2, 2, 24, 4};
    XChangeProperty(m_pDisplay, m_Window, Intern("_NET_FRAME_EXTENTS"), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char *>(alExtents), 4);
    XFlush(m_pDisplay);
    EXPECT_TRUE(NKTestWaitFor([&] { return m_iCalls > iBefore; }, "the watch's call"));
}

namespace {

// A window manager the test plays on a connection of its own: the root
// window names its check window, which lists the conventions it follows,
// and it hears the frame extents the program asks of windows not yet
// shown (the asks come in the order they were sent). Gone with the
// object, so that the next test finds no manager.
class PlayedManager {
public:
    explicit PlayedManager(bool bTakesAsks)
        : m_pDisplay(XOpenDisplay(DisplayString(NKX11Display())))
    {
        if (m_pDisplay == nullptr) return;
        const Window root = DefaultRootWindow(m_pDisplay);
        m_Check = XCreateSimpleWindow(m_pDisplay, root, 0, 0, 1, 1, 0, 0, 0);
        const Atom check = Intern("_NET_SUPPORTING_WM_CHECK");
        for (Window window : {root, m_Check})
            XChangeProperty(m_pDisplay, window, check, XA_WINDOW, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char *>(&m_Check), 1);
        const long lAsk = long(Intern("_NET_REQUEST_FRAME_EXTENTS"));
        XChangeProperty(m_pDisplay, root, Intern("_NET_SUPPORTED"), XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char *>(&lAsk), bTakesAsks ? 1 : 0);
        XSelectInput(m_pDisplay, root, SubstructureNotifyMask);
        XSync(m_pDisplay, False);
    }
    ~PlayedManager()
    {
        if (m_pDisplay == nullptr) return;
        const Window root = DefaultRootWindow(m_pDisplay);
        XDeleteProperty(m_pDisplay, root, Intern("_NET_SUPPORTING_WM_CHECK"));
        XDeleteProperty(m_pDisplay, root, Intern("_NET_SUPPORTED"));
        XDestroyWindow(m_pDisplay, m_Check);
        XCloseDisplay(m_pDisplay);
    }
    PlayedManager(const PlayedManager &) = delete;
    PlayedManager &operator=(const PlayedManager &) = delete;
    bool Running(void) const { return m_pDisplay != nullptr && NKWindowManagerRunning(); }
    // Waits for the program's iCount-th ask of frame extents.
    bool AskHeard(size_t uCount)
    {
        return NKTestWaitFor(
            [this, uCount] {
                while (XPending(m_pDisplay) > 0) {
                    XEvent event;
                    XNextEvent(m_pDisplay, &event);
                    if (event.type == ClientMessage &&
                        event.xclient.message_type == Intern("_NET_REQUEST_FRAME_EXTENTS"))
                        m_Asks.push_back(event.xclient.window);
                }
                return m_Asks.size() >= uCount;
            },
            "the program's ask of frame extents");
    }
    // Answers the ask heard iAsk-th, writing the extents asked.
    void Answer(size_t uAsk)
    {
        const long alExtents[4] = {1, 1, 20, 1};
        XChangeProperty(m_pDisplay, m_Asks[uAsk], Intern("_NET_FRAME_EXTENTS"), XA_CARDINAL, 32,
                        PropModeReplace, reinterpret_cast<const unsigned char *>(alExtents), 4);
        XSync(m_pDisplay, False);
    }
    size_t Asks(void) const { return m_Asks.size(); }

private:
    Atom Intern(const char *pszName) { return XInternAtom(m_pDisplay, pszName, False); }
    Display *m_pDisplay;
    Window m_Check = 0;
    std::vector<Window> m_Asks;
};

enum PlaceStep {
    kAsk,          // a placement asked, and marked
    kLateNotice,   // a synthetic notice of the window's place from the manager
    kAnswerFirst,  // the manager writes the extents of the first ask not answered
    kAnswerLast,   // ... and of the last ask
};

}  // namespace

// The manager's answer to a placement the program asked for. A manager
// that takes frame extents asked of a window not yet shown has answered
// once it wrote those asked right after the placement: a synthetic notice
// of the window's place that comes after the request may be a late one of
// an earlier request, and the extents asked after an earlier placement
// answer nothing of a later one. A manager without that convention
// answers by a synthetic notice that comes after the request.
TEST_F(NormalSizeWatch, APlacementIsAnsweredOnceTheManagerHasHandledIt)
{
    struct Row {
        const char *pszWhat;
        bool bTakesAsks;
        std::vector<PlaceStep> steps;
        bool bAnswered;
    };
    const Row rows[] = {
        {"asked, nothing handled yet", true, {kAsk}, false},
        {"a late notice of an earlier request after the placement",
         true,
         {kAsk, kLateNotice},
         false},
        {"the extents asked written", true, {kAsk, kLateNotice, kAnswerLast}, true},
        {"asked twice, the first ask's extents written", true, {kAsk, kAsk, kAnswerFirst}, false},
        {"asked twice, the last ask's extents written", true, {kAsk, kAsk, kAnswerLast}, true},
        {"no asked extents among the conventions: a notice after the request",
         false,
         {kAsk, kLateNotice},
         true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.pszWhat);
        PlayedManager manager(row.bTakesAsks);
        ASSERT_TRUE(manager.Running());
        size_t uAsks = 0, uAnswered = 0;
        for (PlaceStep step : row.steps) {
            switch (step) {
            case kAsk:
                NKMarkAsked(m_pWatch, NK_ASKED_PLACE);
                uAsks++;
                break;
            case kLateNotice:
                SendSynthetic(400, 300);
                break;
            case kAnswerFirst:
            case kAnswerLast:
                ASSERT_TRUE(manager.AskHeard(uAsks));
                if (step == kAnswerFirst) manager.Answer(uAnswered++);
                if (step == kAnswerLast) manager.Answer(uAsks - 1);
                break;
            }
        }
        ASSERT_TRUE(NKTestQtHandledEventsSoFar(m_Window));
        EXPECT_EQ(NKAskedAnswered(m_pWatch, true), row.bAnswered);
        // What is left of the row's asks goes with the watch.
        NKEndNormalSizeWatch(m_pWatch);
        m_pWatch = NKWatchNormalSize(m_Window, Count, &m_iCalls);
        ASSERT_NE(m_pWatch, nullptr);
    }
}

// A state asked of a window not yet shown: a manager takes the window on
// before it maps it and writes the state it finds then, before it carries
// out what was asked meanwhile, so that write answers nothing, whatever it
// holds; a write of the state asked after the map does. Each row asks of a
// new window, never mapped; the watch sees the take-on write before the
// map, or only once the window is mapped.
TEST_F(NormalSizeWatch, AStateAskedBeforeTheMapIsAnsweredOnlyAfterIt)
{
    struct Row {
        const char *pszWhat;
        NKAskedChange asked;
        State taken, answer;  // written before the map, and after it
    };
    const Row rows[] = {
        {"maximised asked, taken on maximised", NK_ASKED_MAXIMIZED, kMaximised, kMaximised},
        {"maximised asked, taken on full screen", NK_ASKED_MAXIMIZED, kFullScreen, kMaximised},
        {"normal asked, taken on normal", NK_ASKED_NORMAL, kNormal, kNormal},
    };
    for (const bool bSeenBeforeTheMap : {false, true})
        for (const Row &row : rows) {
            SCOPED_TRACE(row.pszWhat);
            SCOPED_TRACE(bSeenBeforeTheMap ? "seen before the map" : "seen after the map");
            NKEndNormalSizeWatch(m_pWatch);
            m_pWindow = std::make_unique<QWindow>();
            m_pWindow->create();
            m_Window = m_pWindow->winId();
            m_pWatch = NKWatchNormalSize(m_Window, Count, &m_iCalls);
            ASSERT_NE(m_pWatch, nullptr);
            NKCatchUpNormalSizeWatch(m_pWatch);
            NKMarkAsked(m_pWatch, row.asked);
            WriteState(row.taken);
            if (bSeenBeforeTheMap) NKCatchUpNormalSizeWatch(m_pWatch);
            XMapWindow(m_pDisplay, m_Window);
            XSync(m_pDisplay, False);  // mapped before the watch catches up
            NKCatchUpNormalSizeWatch(m_pWatch);
            EXPECT_FALSE(NKAskedAnswered(m_pWatch, false));
            WriteState(row.answer);
            NKCatchUpNormalSizeWatch(m_pWatch);
            EXPECT_TRUE(NKAskedAnswered(m_pWatch, false));
        }
}
