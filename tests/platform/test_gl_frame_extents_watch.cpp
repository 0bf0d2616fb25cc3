// tests/platform/test_gl_frame_extents_watch.cpp -- the watch of a window's
// frame extents (platform/nk_window_manager.h): the test writes the
// properties a window manager would write on two windows of its own and
// counts the calls.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QWindow>

#include <memory>

#include <gtest/gtest.h>

#include "platform/nk_gl_context.h"
#include "platform/nk_window_manager.h"
#include "tests/test_support/test_wait.h"

// Last: its macros (None, Bool, Status) clash with names of the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

void Count(void *pUser) { ++*static_cast<int *>(pUser); }

// Runs the event loop for a while: a call that was due has come by then
// (a short wait only makes a check that none came easier to pass).
void RunEventsFor(int iMs)
{
    const QDeadlineTimer deadline(iMs);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, int(deadline.remainingTime()));
}

// Writes a property of four 32-bit numbers on the window, as a manager
// writes the frame's extents.
void WriteProperty(const QWindow &window, const char *pszName)
{
    Display *pDisplay = NKX11Display();
    const long alValues[4] = {1, 1, 20, 5};
    XChangeProperty(pDisplay, window.winId(), XInternAtom(pDisplay, pszName, False), XA_CARDINAL,
                    32, PropModeReplace, reinterpret_cast<const unsigned char *>(alValues), 4);
    XFlush(pDisplay);
}

class FrameExtentsWatch : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!NKEnsureGuiApplication() || NKX11Display() == nullptr)
            GTEST_SKIP() << "no X display to write window properties on";
        m_pWatched = std::make_unique<QWindow>();
        m_pOther = std::make_unique<QWindow>();
        m_pWatched->create();
        m_pOther->create();
    }
    // Made once the application is there.
    std::unique_ptr<QWindow> m_pWatched, m_pOther;
    int m_iCalls = 0;
};

}  // namespace

// Only a change of the watched window's frame extents calls, once the
// event loop runs; other properties of the window and the extents of
// another window do not. Events come in order, so once the extents' call
// came, the changes written before it were seen.
TEST_F(FrameExtentsWatch, CallsForTheWatchedWindowsExtentsOnly)
{
    NKFrameExtentsWatch *pWatch = NKWatchFrameExtents(m_pWatched->winId(), Count, &m_iCalls);
    ASSERT_NE(pWatch, nullptr);
    WriteProperty(*m_pWatched, "_QUOLIN_TEST_OTHER");
    WriteProperty(*m_pOther, "_NET_FRAME_EXTENTS");
    WriteProperty(*m_pWatched, "_NET_FRAME_EXTENTS");
    EXPECT_TRUE(NKTestWaitFor([this] { return m_iCalls > 0; }, "the watch's call"));
    RunEventsFor(50);
    EXPECT_EQ(m_iCalls, 1);
    WriteProperty(*m_pWatched, "_NET_FRAME_EXTENTS");
    EXPECT_TRUE(NKTestWaitFor([this] { return m_iCalls == 2; }, "the second call"));
    NKEndFrameExtentsWatch(pWatch);
}

// An ended watch calls no more, also for a change written while it ran
// that the event loop had not yet seen; a watch without a window or a
// function is none.
TEST_F(FrameExtentsWatch, AnEndedWatchCallsNoMore)
{
    NKFrameExtentsWatch *pWatch = NKWatchFrameExtents(m_pWatched->winId(), Count, &m_iCalls);
    ASSERT_NE(pWatch, nullptr);
    WriteProperty(*m_pWatched, "_NET_FRAME_EXTENTS");
    NKEndFrameExtentsWatch(pWatch);
    WriteProperty(*m_pWatched, "_NET_FRAME_EXTENTS");
    RunEventsFor(100);
    EXPECT_EQ(m_iCalls, 0);
    EXPECT_EQ(NKWatchFrameExtents(m_pWatched->winId(), nullptr, nullptr), nullptr);
    EXPECT_EQ(NKWatchFrameExtents(0, Count, &m_iCalls), nullptr);
}
