// tests/platform/test_gl_window_manager_support.cpp -- whether a window
// manager lists a state among those it supports, asked of a display where
// the test itself plays the manager: it names a check window on the root
// window and lists the states, as a manager following the desktop
// conventions does, and puts back what the root window held; and the
// corner a placement asks of the manager, by the window's gravity. Needs an
// X display; its program holds the display's lock, so no real manager
// comes and goes meanwhile.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/nk_gl_context.h"
#include "platform/nk_window_manager.h"

// X11 defines macros (None, Bool, Status) that GoogleTest's headers also
// use, so its headers come last.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// One property of the root window as it was, put back by Restore.
struct SavedProperty {
    Atom name = 0, type = 0;
    int iFormat = 0;
    std::vector<unsigned long> items;
    bool bPresent = false;
};

class WindowManagerSupport : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(NKEnsureGuiApplication()) << "no X display";
        m_pDisplay = NKX11Display();
        ASSERT_NE(m_pDisplay, nullptr);
        if (NKWindowManagerRunning()) GTEST_SKIP() << "a window manager runs on the display";
        m_Root = DefaultRootWindow(m_pDisplay);
        m_Check = Intern("_NET_SUPPORTING_WM_CHECK");
        m_Supported = Intern("_NET_SUPPORTED");
        m_Saved = {Save(m_Check), Save(m_Supported)};
        m_Self = MakeWindow();
        m_Other = MakeWindow();
    }
    void TearDown() override
    {
        if (m_pDisplay == nullptr || m_Root == 0) return;
        for (const SavedProperty &p : m_Saved) Restore(p);
        if (m_Self != 0) XDestroyWindow(m_pDisplay, m_Self);
        if (m_Other != 0) XDestroyWindow(m_pDisplay, m_Other);
        XSync(m_pDisplay, False);
    }
    Atom Intern(const char *pszName) { return XInternAtom(m_pDisplay, pszName, False); }
    Window MakeWindow() { return XCreateSimpleWindow(m_pDisplay, m_Root, 0, 0, 1, 1, 0, 0, 0); }
    SavedProperty Save(Atom name)
    {
        SavedProperty p;
        p.name = name;
        unsigned long uCount = 0, uAfter = 0;
        unsigned char *pData = nullptr;
        if (XGetWindowProperty(m_pDisplay, m_Root, name, 0, 4096, False, AnyPropertyType, &p.type,
                               &p.iFormat, &uCount, &uAfter, &pData) == Success &&
            p.type != None && p.iFormat == 32) {
            const auto *pItems = reinterpret_cast<const unsigned long *>(pData);
            p.items.assign(pItems, pItems + uCount);
            p.bPresent = true;
        }
        if (pData != nullptr) XFree(pData);
        return p;
    }
    void Restore(const SavedProperty &p)
    {
        if (p.bPresent)
            Set(m_Root, p.name, p.type, p.items);
        else
            XDeleteProperty(m_pDisplay, m_Root, p.name);
    }
    // Sets a 32-bit property; an empty list removes it.
    void Set(Window window, Atom name, Atom type, const std::vector<unsigned long> &items)
    {
        if (items.empty()) {
            XDeleteProperty(m_pDisplay, window, name);
        } else {
            XChangeProperty(m_pDisplay, window, name, type, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char *>(items.data()),
                            int(items.size()));
        }
        XSync(m_pDisplay, False);
    }
    Display *m_pDisplay = nullptr;
    Window m_Root = 0, m_Self = 0, m_Other = 0;
    Atom m_Check = 0, m_Supported = 0;
    std::vector<SavedProperty> m_Saved;
};

}  // namespace

// A state counts as supported only when the root window names a check
// window that names itself and the root's list holds the state.
TEST_F(WindowManagerSupport, AStateIsSupportedOnlyWhenAManagerListsIt)
{
    const Atom fullscreen = Intern("_NET_WM_STATE_FULLSCREEN");
    const Atom above = Intern("_NET_WM_STATE_ABOVE");
    Intern("_NET_WM_STATE_BELOW");  // known to the display, listed by none
    Window gone = MakeWindow();
    XDestroyWindow(m_pDisplay, gone);
    const struct {
        const char *pszWhat;
        std::vector<unsigned long> rootCheck, selfCheck, supported;
        bool bRunning, bFullscreen, bBelow;
    } kCases[] = {
        {"a manager listing full screen",
         {m_Self},
         {m_Self},
         {above, fullscreen},
         true,
         true,
         false},
        {"a manager not listing it", {m_Self}, {m_Self}, {above}, true, false, false},
        {"no check window named", {}, {}, {fullscreen}, false, false, false},
        {"a check window naming another", {m_Self}, {m_Other}, {fullscreen}, false, false, false},
        {"a check window that is gone", {gone}, {}, {fullscreen}, false, false, false},
    };
    for (const auto &c : kCases) {
        SCOPED_TRACE(c.pszWhat);
        Set(m_Root, m_Check, XA_WINDOW, c.rootCheck);
        Set(m_Self, m_Check, XA_WINDOW, c.selfCheck);
        Set(m_Root, m_Supported, XA_ATOM, c.supported);
        EXPECT_EQ(NKWindowManagerRunning(), c.bRunning);
        EXPECT_EQ(NKWindowManagerSupports("_NET_WM_STATE_FULLSCREEN"), c.bFullscreen);
        EXPECT_EQ(NKWindowManagerSupports("_NET_WM_STATE_BELOW"), c.bBelow);
        EXPECT_FALSE(NKWindowManagerSupports("_QUOLIN_NO_SUCH_STATE"));
        EXPECT_FALSE(NKWindowManagerSupports(nullptr));
    }
}

// A placement asks for the frame's corner as the window's gravity reads
// the request: with north-west gravity the corner itself, whatever frame
// the window has when it is asked (a manager restoring a maximised window
// may still show the maximised frame, without its border); with static
// gravity the client's corner, inside the frame it has. No manager runs,
// so the X server carries the request out as it is.
TEST_F(WindowManagerSupport, APlacementAsksTheFrameCornerByTheWindowsGravity)
{
    const struct {
        const char *pszWhat;
        int iGravity;
        std::vector<unsigned long> extents;  // left, right, top, bottom
        int iX, iY;                          // the window's own corner asked
    } kCases[] = {
        {"north-west, framed", NorthWestGravity, {1, 1, 20, 5}, -730, 300},
        {"north-west, a frame without a border", NorthWestGravity, {0, 0, 20, 0}, -730, 300},
        {"north-west, no frame yet", NorthWestGravity, {}, -730, 300},
        {"static, framed", StaticGravity, {1, 1, 20, 5}, -729, 320},
    };
    for (const auto &c : kCases) {
        SCOPED_TRACE(c.pszWhat);
        XSizeHints hints = {};
        hints.flags = PWinGravity;
        hints.win_gravity = c.iGravity;
        XSetWMNormalHints(m_pDisplay, m_Self, &hints);
        Set(m_Self, Intern("_NET_FRAME_EXTENTS"), XA_CARDINAL, c.extents);
        NKAskWindowRect(m_Self, -730, 300, 810, 600);
        XSync(m_pDisplay, False);
        Window root = 0;
        int iX = 0, iY = 0;
        unsigned uWidth = 0, uHeight = 0, uBorder = 0, uDepth = 0;
        ASSERT_NE(
            XGetGeometry(m_pDisplay, m_Self, &root, &iX, &iY, &uWidth, &uHeight, &uBorder, &uDepth),
            0);
        EXPECT_EQ(iX, c.iX);
        EXPECT_EQ(iY, c.iY);
        EXPECT_EQ(uWidth, 810u);
        EXPECT_EQ(uHeight, 600u);
    }
}
