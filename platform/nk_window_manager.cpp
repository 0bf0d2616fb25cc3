// platform/nk_window_manager.cpp -- the window manager's conventions read
// from the X display (see nk_window_manager.h).
#include "platform/nk_window_manager.h"

#include <QGuiApplication>

// X11 defines macros (None, Bool, Status) that Qt's headers also use, so
// its headers come after them.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// A window named by a property may be gone (a manager that ended leaves
// its name on the root window): the error of asking about it is dropped
// instead of ending the program.
int IgnoreError(Display *, XErrorEvent *) { return 0; }

class QuietErrors {
public:
    explicit QuietErrors(Display *pDisplay) : m_pDisplay(pDisplay)
    {
        XSync(m_pDisplay, False);
        m_pfnPrevious = XSetErrorHandler(IgnoreError);
    }
    ~QuietErrors()
    {
        XSync(m_pDisplay, False);
        XSetErrorHandler(m_pfnPrevious);
    }
    QuietErrors(const QuietErrors &) = delete;
    QuietErrors &operator=(const QuietErrors &) = delete;

private:
    Display *m_pDisplay;
    int (*m_pfnPrevious)(Display *, XErrorEvent *) = nullptr;
};

// The 32-bit items of the window's property of that type; empty when the
// property is missing or of another type. (Xlib hands 32-bit items over
// as longs.)
std::vector<unsigned long> Property(Display *pDisplay, Window window, const char *pszName,
                                    Atom type)
{
    std::vector<unsigned long> items;
    const Atom name = XInternAtom(pDisplay, pszName, True);
    if (name == None) return items;
    Atom actualType = None;
    int iFormat = 0;
    unsigned long uCount = 0, uAfter = 0;
    unsigned char *pData = nullptr;
    QuietErrors quiet(pDisplay);
    if (XGetWindowProperty(pDisplay, window, name, 0, 4096, False, type, &actualType, &iFormat,
                           &uCount, &uAfter, &pData) == Success &&
        pData != nullptr && actualType == type && iFormat == 32) {
        const auto *pItems = reinterpret_cast<const unsigned long *>(pData);
        items.assign(pItems, pItems + uCount);
    }
    if (pData != nullptr) XFree(pData);
    return items;
}

// The check window of a running manager, else None.
Window CheckWindow(Display *pDisplay)
{
    const std::vector<unsigned long> named =
        Property(pDisplay, DefaultRootWindow(pDisplay), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    if (named.size() != 1) return None;
    const std::vector<unsigned long> self =
        Property(pDisplay, named[0], "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    return self.size() == 1 && self[0] == named[0] ? Window(named[0]) : None;
}

}  // namespace

struct _XDisplay *NKX11Display(void)
{
    auto *pApp = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    if (pApp == nullptr) return nullptr;
    auto *pX11 = pApp->nativeInterface<QNativeInterface::QX11Application>();
    return pX11 != nullptr ? pX11->display() : nullptr;
}

bool NKWindowManagerRunning(void)
{
    Display *pDisplay = NKX11Display();
    return pDisplay != nullptr && CheckWindow(pDisplay) != None;
}

bool NKWindowManagerSupports(const char *pszState)
{
    Display *pDisplay = NKX11Display();
    if (pDisplay == nullptr || pszState == nullptr || CheckWindow(pDisplay) == None) return false;
    const Atom state = XInternAtom(pDisplay, pszState, True);
    if (state == None) return false;
    for (unsigned long item :
         Property(pDisplay, DefaultRootWindow(pDisplay), "_NET_SUPPORTED", XA_ATOM))
        if (item == state) return true;
    return false;
}

namespace {

// The top-level window's own rectangle in root coordinates, and whether it
// is shown (mapped, and its manager's frame around it too).
bool GetWindowClient(unsigned long uWindow, NKScreenRect *pClient, bool *pbShown)
{
    Display *pDisplay = NKX11Display();
    if (pDisplay == nullptr || uWindow == 0) return false;
    XWindowAttributes attributes;
    int iX = 0, iY = 0;
    Window child = None;
    QuietErrors quiet(pDisplay);
    if (XGetWindowAttributes(pDisplay, uWindow, &attributes) == 0) return false;
    if (!XTranslateCoordinates(pDisplay, uWindow, DefaultRootWindow(pDisplay), 0, 0, &iX, &iY,
                               &child))
        return false;
    pClient->iX = iX, pClient->iY = iY;
    pClient->iWidth = attributes.width, pClient->iHeight = attributes.height;
    *pbShown = attributes.map_state == IsViewable;
    return true;
}

}  // namespace

namespace {

// Holds the X server for the readings of one window made meanwhile, so that
// they show it at one moment: a manager that moves and sizes the window
// between a reading of its size and one of its place would otherwise show
// a window that never was (a normal size at the maximised place).
class ServerGrab {
public:
    explicit ServerGrab(Display *pDisplay) : m_pDisplay(pDisplay)
    {
        if (m_pDisplay != nullptr) XGrabServer(m_pDisplay);
    }
    ~ServerGrab()
    {
        if (m_pDisplay == nullptr) return;
        XUngrabServer(m_pDisplay);
        XFlush(m_pDisplay);
    }
    ServerGrab(const ServerGrab &) = delete;
    ServerGrab &operator=(const ServerGrab &) = delete;

private:
    Display *m_pDisplay;
};

}  // namespace

bool NKGetWindowFrame(unsigned long uWindow, NKScreenRect *pFrame, NKScreenRect *pClient,
                      bool *pbShown, NKWindowHold *pHold)
{
    const ServerGrab grab(NKX11Display());
    NKScreenRect client;
    bool bShown = false;
    if (!GetWindowClient(uWindow, &client, &bShown)) return false;
    if (pClient != nullptr) *pClient = client;
    if (pbShown != nullptr) *pbShown = bShown;
    if (pHold != nullptr) *pHold = NKGetWindowHold(uWindow);
    // Left, right, top, bottom.
    std::vector<unsigned long> extents =
        Property(NKX11Display(), uWindow, "_NET_FRAME_EXTENTS", XA_CARDINAL);
    if (extents.size() != 4) extents.assign(4, 0);
    pFrame->iX = client.iX - int(extents[0]);
    pFrame->iY = client.iY - int(extents[2]);
    pFrame->iWidth = client.iWidth + int(extents[0] + extents[1]);
    pFrame->iHeight = client.iHeight + int(extents[2] + extents[3]);
    return true;
}

// The request's corner is the reference point of the window's gravity
// (ICCCM): with north-west gravity (the default) the frame's corner, which
// the manager keeps whatever frame it draws by then; with static gravity
// (Qt's) the client's, by the extents the frame has now.
void NKAskWindowRect(unsigned long uWindow, int iFrameX, int iFrameY, int iWidth, int iHeight,
                     const NKScreenRect *pFrame, const NKScreenRect *pClient)
{
    Display *pDisplay = NKX11Display();
    NKScreenRect frame, shown;
    if (pDisplay == nullptr) return;
    if (pFrame != nullptr && pClient != nullptr) {
        frame = *pFrame, shown = *pClient;
    } else if (!NKGetWindowFrame(uWindow, &frame, &shown)) {
        return;
    }
    XSizeHints hints = {};
    long lSupplied = 0;
    const bool bStatic = XGetWMNormalHints(pDisplay, uWindow, &hints, &lSupplied) != 0 &&
                         (hints.flags & PWinGravity) != 0 && hints.win_gravity == StaticGravity;
    XWindowChanges changes = {};
    changes.x = iFrameX + (bStatic ? shown.iX - frame.iX : 0);
    changes.y = iFrameY + (bStatic ? shown.iY - frame.iY : 0);
    changes.width = iWidth, changes.height = iHeight;
    XConfigureWindow(pDisplay, uWindow, CWX | CWY | CWWidth | CWHeight, &changes);
    XFlush(pDisplay);
}

std::vector<std::string> NKGetWindowStates(unsigned long uWindow)
{
    std::vector<std::string> names;
    Display *pDisplay = NKX11Display();
    if (pDisplay == nullptr || uWindow == 0) return names;
    for (unsigned long state : Property(pDisplay, uWindow, "_NET_WM_STATE", XA_ATOM)) {
        char *pszName = XGetAtomName(pDisplay, state);
        if (pszName == nullptr) continue;
        names.push_back(pszName);
        XFree(pszName);
    }
    return names;
}

NKWindowHold NKGetWindowHold(unsigned long uWindow)
{
    NKWindowHold hold = NK_HELD_NORMAL;
    for (const std::string &state : NKGetWindowStates(uWindow)) {
        if (state == "_NET_WM_STATE_MAXIMIZED_VERT" || state == "_NET_WM_STATE_MAXIMIZED_HORZ" ||
            state == "_NET_WM_STATE_FULLSCREEN")
            return NK_HELD_RESIZED;
        if (state == "_NET_WM_STATE_HIDDEN") hold = NK_HELD_HIDDEN;
    }
    return hold;
}
