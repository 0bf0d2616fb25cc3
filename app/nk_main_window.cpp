// app/nk_main_window.cpp -- the main window (see nk_main_window.h).
//
// A QMainWindow whose central widget holds the 3-D view's QWindow; the
// tool bar (app/nk_toolbar.h) and status bar (app/nk_statusbar.h) are its
// own bars, so Qt's layout places the view between them. Files dropped on
// it are opened, F11 and Esc switch full-screen display, and the
// application's activation feeds the animation pacing.
#include "app/nk_main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDeadlineTimer>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QMoveEvent>
#include <QPointer>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <algorithm>
#include <string>

#include "app/nk_menu_state.h"
#include "app/nk_menus.h"
#include "app/nk_pick_feedback.h"
#include "app/nk_statusbar.h"
#include "app/nk_still_layout.h"
#include "app/nk_toolbar.h"
#include "app/nk_view_input.h"
#include "app/nk_view_window.h"
#include "app/nk_window_utils.h"
#include "commands/nk_command.h"
#include "commands/nk_command_path.h"
#include "core/nk_message.h"
#include "core/nk_shell_hooks.h"
#include "core/nk_string.h"
#include "core/nk_view_state.h"
#include "platform/nk_message_box.h"
#include "platform/nk_normal_size_watch.h"
#include "platform/nk_platform.h"
#include "platform/nk_window_manager.h"
#include "render/nk_render_options.h"
#include "scene/nk_scene.h"

NKWindowPlacement g_WindowPlacement;
uint8_t g_bFullScreenActive = 0;

namespace {

// A window position stays far enough inside the screen for an icon of
// this size to show.
constexpr int kIconSize = 32;
// The frame fit's placements before the window is left as its manager
// keeps it: a manager that carries out a change of state may answer a
// placement asked meanwhile and then put back the place it saved.
constexpr int kFitFrameTries = 5;
// How long a "winposition" line waits for the manager's answer to a place
// it may keep elsewhere (WaitForPlacedDue).
constexpr int kAnswerWaitMs = 30000;

QRect ScreenGeometry(void)
{
    QScreen *pScreen = QGuiApplication::primaryScreen();
    return pScreen != nullptr ? pScreen->geometry() : QRect(0, 0, 1280, 1024);
}

QRect WorkArea(void)
{
    QScreen *pScreen = QGuiApplication::primaryScreen();
    return pScreen != nullptr ? pScreen->availableGeometry() : ScreenGeometry();
}

// The stored placement pulled onto the screen: a width or height larger
// than the work area's (a larger monitor's) is cut to it, the window at
// the work area's edge that way; at least an icon's size of the window
// lies on the screen at the right, the bottom and the left (a negative x
// may stand for a screen to the left), and the frame's top, with its title
// bar, lies in the work area, where the user can grab it. Under a manager
// the frame is fitted in too, once it is known (NormalPlacement::FitFrame).
void PullOntoScreen(NKWindowPlacement *pPlacement)
{
    const QRect screen = ScreenGeometry();
    const QRect work = WorkArea();
    NKWindowPlacement &p = *pPlacement;
    if (p.iWidth > work.width()) p.iWidth = work.width(), p.iX = work.left();
    if (p.iHeight > work.height()) p.iHeight = work.height(), p.iY = work.top();
    p.iX = std::max(std::min(p.iX, screen.width() - kIconSize), kIconSize - p.iWidth);
    p.iY = std::max(std::min(p.iY, screen.height() - kIconSize), work.top());
}

// A size the window can take: bounded by its maximum and its minimum (the
// bars' and the view's, as its layout has them once a layout change still
// waiting is carried out), as Qt bounds the size asked of a window.
void BoundToTheWindow(QMainWindow *pMain, NKWindowPlacement *pPlacement)
{
    if (QLayout *pLayout = pMain->layout()) pLayout->activate();
    const QSize size = QSize(pPlacement->iWidth, pPlacement->iHeight)
                           .boundedTo(pMain->maximumSize())
                           .expandedTo(pMain->minimumSize());
    pPlacement->iWidth = size.width(), pPlacement->iHeight = size.height();
}

// What the bars around the view add to its size, as the window's layout
// has them now: a layout change still waiting (a bar shown or sized anew)
// is carried out first.
QSize BarsSize(QMainWindow *pMain, const QWidget *pView)
{
    if (QLayout *pLayout = pMain->layout()) pLayout->activate();
    return pMain->size() - pView->size();
}

// Where the frame a manager put around the window goes: the frame's corner
// and the client's size. On an axis where the started size and the
// frame's growth (left and right, or title bar and bottom) together do not
// fit in the work area, the window is made smaller by the growth and its
// frame put at the work area's edge, so that all of it, title bar buttons
// and status bar included, lies there; on the other axis the window keeps
// its size and its place. Empty when both fit: the window stays as shown.
QRect FrameTarget(const QRect &from, int iGrowX, int iGrowY)
{
    const QRect work = WorkArea();
    const bool bCutX = from.width() + iGrowX > work.width();
    const bool bCutY = from.height() + iGrowY > work.height();
    if (!bCutX && !bCutY) return QRect();
    return QRect(bCutX ? work.left() : from.x(), bCutY ? work.top() : from.y(),
                 bCutX ? work.width() - iGrowX : from.width(),
                 bCutY ? work.height() - iGrowY : from.height());
}

// Whether the manager has framed the window: the frame read from the X
// server, with the client area of the same reading, is larger than it.
bool ReadFrame(const QMainWindow *pMain, NKScreenRect *pFrame, NKScreenRect *pClient)
{
    return NKGetWindowFrame(pMain->internalWinId(), pFrame, pClient) &&
           (pFrame->iWidth != pClient->iWidth || pFrame->iHeight != pClient->iHeight);
}

// A frame the manager keeps further onto the screen than the place asked
// for, where that place has part of the frame off the screen, stays where
// the manager keeps it (its own rule pulls a window further in than the
// stored place's rule): the manager refuses a place further off, answering
// with a notice of the place it keeps, which Qt drops (NKMarkAsked).
int KeptOnTheScreen(int iAsked, int iShown, int iSize, int iLow, int iHigh)
{
    if (iAsked + iSize > iHigh && iShown < iAsked && iShown + iSize >= iHigh) return iShown;
    if (iAsked < iLow && iShown > iAsked && iShown <= iLow) return iShown;
    return iAsked;
}

// Whether part of the window at the rectangle lies off the screen, where
// a manager may keep its frame further onto the screen by a rule of its
// own.
bool PartlyOffTheScreen(const QRect &r)
{
    const QRect screen = ScreenGeometry();
    return r.x() < screen.left() || r.x() + r.width() > screen.right() + 1 ||
           r.y() + r.height() > screen.bottom() + 1;
}

// Whether the window is normal now, by Qt's state and by the state its
// manager gave it, read with its rectangle.
bool IsNormal(const QMainWindow *pMain)
{
    const Qt::WindowStates away = Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized;
    if ((pMain->windowState() & away) != 0) return false;
    return NKGetWindowHold(pMain->internalWinId()) == NK_HELD_NORMAL;
}

// Qt asks the manager for a state only when it differs from Qt's own
// record of the window's state, and Qt takes that record from the
// manager's state property at each change of it, reading the property as
// it is then: a change handled late (on a busy machine) can give the
// record a state the manager is about to leave at the program's last
// request. A request the record already shows would be dropped, and F11
// pressed quickly after Esc (or Esc after F11) lost; so the record is set
// to the other state first, which asks the manager for that one too. It
// carries out both in order and ends in the state asked for. Without a
// manager nothing else writes the record, so it is never stale.
void ClearStaleFullScreen(QMainWindow *pMain, bool bOn)
{
    const Qt::WindowStates state = pMain->windowState();
    if (state.testFlag(Qt::WindowFullScreen) == bOn)
        pMain->setWindowState(state ^ Qt::WindowFullScreen);
}

// The main window's normal placement, and the only writer of it: the
// normal window's rectangle (its frame's corner, the client's without a
// manager, and its client area's size), whether the window is maximised,
// what full screen goes back to, and under a manager the frame's place
// still pending and the placement last asked of the manager. The stored
// placement starts it (Show); "winposition" moves and sizes it (Position,
// MoveTo, SizeView); full screen and maximised are states over it that
// the window leaves for it (EnterFullScreen, LeaveFullScreen); readings of
// a normal window follow its manager (ReadNormalWindow); the frame fit
// places the frame where it goes (FitFrame); and what is stored is its
// rectangle as last shown or asked for, Maximized as shown (ToStore).
//
// Each wait here is for the manager's answer to a request of the program,
// known by the size watch's events (NKMarkAsked with each request): a
// reading made before the answer shows the window as it was, and one made
// after it shows where the manager keeps the window, also where it kept
// it elsewhere than asked, which brings the program no event.
class NormalPlacement {
public:
    // The conversions between the stored placement, the X server's
    // rectangles and Qt's.
    static QRect RectOf(const NKWindowPlacement &p)
    {
        return QRect(p.iX, p.iY, p.iWidth, p.iHeight);
    }
    static QRect RectOf(const NKScreenRect &r) { return QRect(r.iX, r.iY, r.iWidth, r.iHeight); }
    static NKWindowPlacement PlacementOf(const QRect &r, bool bMaximized)
    {
        NKWindowPlacement p;
        p.iX = r.x(), p.iY = r.y(), p.iWidth = r.width(), p.iHeight = r.height();
        p.bMaximized = bMaximized ? 1 : 0;
        return p;
    }

    void Show(QMainWindow *pMain, NKWindowPlacement stored, void (*pfnEvents)(void *));
    void EndWatch(void);
    // A move, resize or state change of the window: the frame fit (bFit),
    // then a reading of the normal window.
    void WindowEvent(QMainWindow *pMain, bool bFit);
    NKWindowPlacement Now(QMainWindow *pMain);
    NKWindowPlacement ToStore(QMainWindow *pMain);
    void MoveTo(QMainWindow *pMain, int iX, int iY);
    // Set while "winposition" moves the window and then sizes its view.
    bool m_bPositioning = false;
    void SizeView(QMainWindow *pMain, QWidget *pView, int iWidth, int iHeight);
    void Position(QMainWindow *pMain, QWidget *pView, int iX, int iY, int iWidth, int iHeight);
    QSize ViewSize(QMainWindow *pMain, QWidget *pView);
    QSize Bars(QMainWindow *pMain, QWidget *pView) const;
    void EnterFullScreen(QMainWindow *pMain, QWidget *pView);
    void LeaveFullScreen(QMainWindow *pMain, bool bManaged);
    bool KeptByItsOwnRule(void) const;
    bool Answered(QMainWindow *pMain);

private:
    void FollowShownPlace(QMainWindow *pMain);
    bool ProgramPlacementPending(void) const { return m_bFitPlace && m_iFitFrameTries > 0; }
    bool AskedPlacementPending(const QMainWindow *pMain, const NKScreenRect &client);
    void TakeWatchedNormalSize(void);
    bool SettledNormalSize(const QSize &client) const;
    void ReadNormalWindow(const QMainWindow *pMain);
    void ReadMaximized(const QMainWindow *pMain);
    QRect KeptOnTheScreen(const QRect &target, const NKScreenRect &frame,
                          const NKScreenRect &client) const;
    void EndFrameFit(void);
    void StartFrameFit(const QRect &from, bool bPlace);
    void FitFrame(QMainWindow *pMain);
    void AskPlacement(QMainWindow *pMain, const QRect &client, const QPoint &frameCorner);
    void AskState(QMainWindow *pMain, Qt::WindowStates state);
    void LeaveMaximized(QMainWindow *pMain);
    void PlaceNormalWindow(QMainWindow *pMain, const QRect &normal, bool bFit);
    bool ApplyNormalRect(QMainWindow *pMain);

    QRect m_rect;
    // Whether the window is maximised as the program last made it (where
    // no manager tells otherwise), and the state and the bars' size around
    // the view from before full screen, for leaving it.
    bool m_bMaximized = false;
    bool m_bFullScreenFromMaximized = false;
    QSize m_fullScreenBars;
    QRect m_fullScreenFrom;
    // Under a manager, until its frame around the window is known to fit in
    // the work area: the rectangle the window started with (pulled onto the
    // screen) and the placements left to try. A place the program asked for
    // before the manager framed the window (m_bFitPlace) is the frame's
    // corner even where the size fits.
    QRect m_fitFrom;
    int m_iFitFrameTries = 0;
    bool m_bFitPlace = false;
    // Whether the frame's place has still to be asked for since the window
    // was framed (with m_bFitPlace): a window started maximised with part
    // of its frame off the screen is restored by its manager at the started
    // place pulled onto the screen by the maximised frame's size, a border
    // short of where the manager's own rule keeps a normal frame. Until the
    // fit has asked once, that place is not kept as the manager's answer.
    bool m_bPlaceUnasked = false;
    // The frame's extents (its growth over the client) read when the fit
    // last asked for the frame's place: a manager keeps a frame partly off
    // the screen by its own rule by the size of the frame it has when it
    // carries the request out, and a place it kept by another frame's
    // extents (the maximised frame's, without the border, while it
    // restores the window) is not where it keeps this frame.
    QSize m_fitAskedExtents;
    // The client's rectangle the program last asked the manager for, until
    // a reading shows it carried out, the manager answered, or Qt learnt of
    // another one.
    QRect m_asked;
    NKNormalSizeWatch *m_pSizeWatch = nullptr;
};

// Whether the manager has still to answer the placement the program last
// asked for: Qt holds the asked client rectangle, the X server another,
// and the watch has seen no answer. The window then shows the place
// before it, and the asked place counts: a move carried out brings no move
// event, so a reading of the place before would stay. A reading that
// shows the asked rectangle, the manager's answer (carried out or kept
// elsewhere), or a rectangle Qt learnt of since, ends the wait.
bool NormalPlacement::AskedPlacementPending(const QMainWindow *pMain, const NKScreenRect &client)
{
    if (m_asked.isNull() || !NKWindowManagerRunning()) return false;
    if (m_asked != RectOf(client) && m_asked == pMain->geometry() &&
        !NKAskedAnswered(m_pSizeWatch, true))
        return true;
    m_asked = QRect();
    return false;
}

// The size a window manager last gave the window as a normal one, told
// apart from the sizes it gives on the way to and from another state by
// the events' order (platform/nk_normal_size_watch.h); nothing without a
// manager, where only the program sizes the window. A size the program
// asked for and the manager has still to carry out counts over it: the
// watch may have settled on the size from before.
void NormalPlacement::TakeWatchedNormalSize(void)
{
    int iWidth = 0, iHeight = 0;
    if (ProgramPlacementPending() || !m_asked.isNull()) return;
    if (NKWatchedNormalSize(m_pSizeWatch, &iWidth, &iHeight) && NKWindowManagerRunning())
        m_rect.setSize(QSize(iWidth, iHeight));
}

// Under a manager, whether the window's events show it normal with a
// settled size, and a reading of its client area of that size: until the
// manager has carried out a change of state, the window may be normal by
// its state with another state's frame and size.
bool NormalPlacement::SettledNormalSize(const QSize &client) const
{
    int iWidth = 0, iHeight = 0;
    return m_pSizeWatch == nullptr || !NKWindowManagerRunning() ||
           (NKWatchedSizeSettled(m_pSizeWatch, &iWidth, &iHeight) &&
            client == QSize(iWidth, iHeight));
}

// While the window is normal, its frame's corner and its client area's
// size are its normal rectangle; a maximised, full-screen or minimised
// window keeps the last one. (Qt's normal geometry cannot stand in: it
// holds the frame's corner for a window maximised before it showed, the
// client's for one the manager maximised, and the frame of a maximised
// window lies otherwise around its client area than a normal one's.) The
// rectangle is read from the X server, where there is one: Qt knows new
// frame extents only from the window's next move, and a manager writes
// them after it moved the window to its new state, so the rectangle is
// read again when they come. Under a manager, a reading counts only while
// the window's events show it normal with a settled size, which the
// reading's client area has (SettledNormalSize), and only of a window
// shown: one its manager is still taking on lies in a frame that has not
// been placed yet. The size the events settle on is taken however late
// they are seen (TakeWatchedNormalSize).
void NormalPlacement::ReadNormalWindow(const QMainWindow *pMain)
{
    // Without a manager only the program places the window, and full
    // screen is a state over the normal rectangle.
    if (pMain == nullptr || !NKWindowManagerRunning() || g_bFullScreenActive != 0) return;
    TakeWatchedNormalSize();
    // The place the program asked for before the manager framed the window
    // counts until the frame is fitted there (or the fit gives up).
    if (ProgramPlacementPending()) return;
    if (!IsNormal(pMain)) return;
    QRect normal(pMain->pos(), pMain->size());  // pos() is the frame's corner
    NKScreenRect frame, client;
    bool bShown = false;
    const WId window = pMain->internalWinId();
    if (window != 0 && NKGetWindowFrame(window, &frame, &client, &bShown)) {
        if (!bShown || AskedPlacementPending(pMain, client)) return;
        normal = QRect(frame.iX, frame.iY, client.iWidth, client.iHeight);
    }
    if (!SettledNormalSize(normal.size())) return;
    // A manager that leaves the normal state changes the state first: a
    // rectangle read while it stayed normal is the normal one.
    if (IsNormal(pMain)) m_rect = normal;
}

// Under a manager, whether the window is maximised as the manager holds
// it, once it has answered the state the program last asked for (until
// then the state asked counts, however late the manager carries it out):
// by the watch's events where they tell (Qt reads the manager's state as
// it is when it handles a change of it, and a change handled late can give
// Qt a state the manager has already left), else by Qt's. Without a
// manager only the program maximises the window (Qt may read back a state
// it wrote before the window showed).
void NormalPlacement::ReadMaximized(const QMainWindow *pMain)
{
    if (!NKWindowManagerRunning() || !NKAskedAnswered(m_pSizeWatch, false)) return;
    NKWindowHold hold = NK_HELD_NORMAL;
    if (NKWatchedHold(m_pSizeWatch, &hold) && hold != NK_HELD_HIDDEN)
        m_bMaximized = hold == NK_HELD_RESIZED && !pMain->isFullScreen();
    else
        m_bMaximized = pMain->isMaximized();
}

// A place the manager chose itself, before the program asked for one
// (m_bPlaceUnasked), is no answer: the target stays.
QRect NormalPlacement::KeptOnTheScreen(const QRect &target, const NKScreenRect &frame,
                                       const NKScreenRect &client) const
{
    if (m_bPlaceUnasked) return target;
    const QRect screen = ScreenGeometry();
    const int iWidth = target.width() + frame.iWidth - client.iWidth;
    const int iHeight = target.height() + frame.iHeight - client.iHeight;
    QRect kept = target;
    kept.moveTopLeft(QPoint(
        ::KeptOnTheScreen(target.x(), frame.iX, iWidth, screen.left(), screen.right() + 1),
        ::KeptOnTheScreen(target.y(), frame.iY, iHeight, screen.top(), screen.bottom() + 1)));
    return kept;
}

void NormalPlacement::EndFrameFit(void)
{
    m_iFitFrameTries = 0;
    m_bFitPlace = false;
    m_bPlaceUnasked = false;
    m_fitAskedExtents = QSize();
}

// Under a manager, the frame fit places the frame at the rectangle's
// corner (bPlace), or fits a frame that does not fit, once the manager has
// framed the window and holds it normal; the rectangle is the normal one
// meanwhile.
void NormalPlacement::StartFrameFit(const QRect &from, bool bPlace)
{
    m_fitFrom = from;
    m_iFitFrameTries = NKWindowManagerRunning() ? kFitFrameTries : 0;
    m_bFitPlace = bPlace && m_iFitFrameTries > 0;
    m_bPlaceUnasked = false;
    m_fitAskedExtents = QSize();
    m_rect = from;
}

// Asks the manager for the client's rectangle with the frame's corner at
// frameCorner, the watch's mark right after, so that its answer is known
// (AskedPlacementPending). Qt's record of the window takes the rectangle,
// and the request goes to the X server straight with the frame's corner:
// Qt turns the client's place into the frame's by the frame it knows,
// which can be the maximised frame's (no border) while the manager
// restores the window, and asks nothing where its record holds the
// rectangle already, which may be stale where the manager showed another.
// A rectangle and corner that Qt and the X server hold already are not
// asked: nothing waits.
void NormalPlacement::AskPlacement(QMainWindow *pMain, const QRect &client,
                                   const QPoint &frameCorner)
{
    m_asked = QRect();
    NKScreenRect frame, shown;
    const WId window = pMain->internalWinId();
    const bool bRead = window != 0 && NKGetWindowFrame(window, &frame, &shown);
    if (pMain->geometry() == client &&
        (!bRead || (RectOf(shown) == client && QPoint(frame.iX, frame.iY) == frameCorner)))
        return;
    pMain->setGeometry(client);
    if (bRead && NKWindowManagerRunning())
        NKAskWindowRect(window, frameCorner.x(), frameCorner.y(), client.width(), client.height());
    NKMarkAsked(m_pSizeWatch, NK_ASKED_PLACE);
    m_asked = pMain->geometry();
}

// Asks for a state of the window (Qt asks the manager where it differs
// from Qt's record), the watch's mark first (ReadMaximized).
void NormalPlacement::AskState(QMainWindow *pMain, Qt::WindowStates state)
{
    if (state == pMain->windowState()) return;
    const Qt::WindowStates away = Qt::WindowMaximized | Qt::WindowFullScreen;
    NKMarkAsked(m_pSizeWatch, (state & away) != 0 ? NK_ASKED_MAXIMIZED : NK_ASKED_NORMAL);
    pMain->setWindowState(state);
}

// Fits the frame in once the manager has framed the window (its frame,
// read from the X server, is larger than the client area) and the window
// is normal: a window that started maximised is fitted once the user
// first makes it normal, where the manager gives it the started size with
// its frame. Where the frame goes, and where the client goes in it, come
// from the frame extents read with the frame each time: not from those Qt
// knows (it learns new ones only with the window's next move, and may know
// none yet), where the frame would lie off by the extents, above the place
// it started at; nor from those of an earlier placing, where a manager
// that framed the window anew would leave the frame cut by another frame's
// growth. The window is placed again at its next moves until the frame
// lies where it goes, while the manager has not yet answered the last
// placement asked nothing is placed, and after a few placements the window
// is left as the manager keeps it. The fit ends with the frame where it
// goes only once the manager has answered the last placement asked (one
// still waiting may move the frame off again) and the window's events
// show it normal with a settled size: a reading made while the manager
// restores a maximised window can show the maximised frame, whose corner
// and size may be those the fit asks for, before the manager gives the
// window its normal size. For the same reason a place the program asked
// for (m_bFitPlace) is placed only from a reading whose client has the
// size the fit gives or the settled normal size: the extents read with the
// maximised size are the maximised frame's, and a client placed by them
// lies off by their difference.
void NormalPlacement::FitFrame(QMainWindow *pMain)
{
    NKScreenRect frame, client;
    if (m_iFitFrameTries <= 0 || pMain == nullptr || !ReadFrame(pMain, &frame, &client) ||
        !IsNormal(pMain))
        return;
    QRect target =
        FrameTarget(m_fitFrom, frame.iWidth - client.iWidth, frame.iHeight - client.iHeight);
    if (target.isEmpty() && m_bFitPlace) target = m_fitFrom;
    const QSize size(client.iWidth, client.iHeight);
    const QSize extents(frame.iWidth - client.iWidth, frame.iHeight - client.iHeight);
    if (m_bFitPlace) {
        // The place the manager keeps, where it shows the frame there: a
        // frame shown elsewhere on the other axis is on its way (a manager
        // restoring a maximised window sizes the client first, in the
        // maximised frame's corner), and the place asked for stays. So it
        // does where the frame's extents changed since the fit asked for
        // the place: the manager kept it by another frame's size, and is
        // asked again.
        const QRect kept = KeptOnTheScreen(target, frame, client);
        const bool bSameFrame = !m_fitAskedExtents.isValid() || m_fitAskedExtents == extents;
        if (kept.topLeft() == QPoint(frame.iX, frame.iY) && bSameFrame) target = kept;
    }
    if (target.isEmpty() ||
        (QPoint(frame.iX, frame.iY) == target.topLeft() && size == target.size())) {
        if (SettledNormalSize(size) && !AskedPlacementPending(pMain, client)) EndFrameFit();
        return;
    }
    const QRect wanted = target.translated(client.iX - frame.iX, client.iY - frame.iY);
    if (m_bFitPlace && size != target.size() && !SettledNormalSize(size)) {
        // A manager that restored the window before it took the program's
        // size may leave it normal with the maximised size, which the watch
        // never settles on: the rectangle is asked for again once the
        // manager has answered the last placement (a try of the fit each),
        // and the fit goes on once the size is settled. The frame's corner
        // is asked as it is (not the client's, by extents that may be the
        // maximised frame's), and the extents read now are kept: a place
        // the manager keeps by them is asked again.
        if (m_iFitFrameTries > 1 && !AskedPlacementPending(pMain, client)) {
            m_iFitFrameTries--;
            m_bPlaceUnasked = false;
            m_fitAskedExtents = extents;
            AskPlacement(pMain, wanted, target.topLeft());
        }
        return;
    }
    if (AskedPlacementPending(pMain, client)) return;
    if (--m_iFitFrameTries == 0) m_bFitPlace = false;
    m_bPlaceUnasked = false;
    m_fitAskedExtents = extents;
    AskPlacement(pMain, wanted, target.topLeft());
}

// A window that is not normal (maximised, by Qt's record or by its
// manager's state) is asked to become normal. Qt asks the manager only
// when the state differs from its record, so a record that does not show
// the manager's maximised state is set to it first (ClearStaleFullScreen).
// Qt sends the window its state change at once, and the frame fit and
// the normal rectangle look at the window then: the fit's placement is
// set before this is called (StartFrameFit).
void NormalPlacement::LeaveMaximized(QMainWindow *pMain)
{
    const Qt::WindowStates state = pMain->windowState();
    if (!state.testFlag(Qt::WindowMaximized)) {
        if (NKGetWindowHold(pMain->internalWinId()) != NK_HELD_RESIZED) return;
        pMain->setWindowState(state | Qt::WindowMaximized);
    }
    AskState(pMain, pMain->windowState() & ~Qt::WindowMaximized);
}

// Places the normal window's frame at the rectangle's corner with its
// client of the rectangle's size (cut to the work area with the frame, as
// at start). A window that its manager had framed and held normal (not
// bFit) is placed at once by the frame extents read with its frame; any
// other is placed for now, and under a manager the frame fit places its
// frame once it is framed and normal with its size settled: extents read
// while the manager carries out a change of state may be another state's.
// The placement for now moves the client by the frame Qt knows, which may
// be the maximised frame's while the manager restores the window: a window
// already framed and normal is placed by the fit alone, by the extents it
// reads, so that no placement for now is carried out after the fit's own.
// Qt sends the window its move and resize events while it is placed,
// which run the frame fit and read the normal rectangle: the fit's
// placement is set before, so that it places the window where it goes,
// and the normal rectangle is set before and after, so that a reading
// from before the placement is not kept.
void NormalPlacement::PlaceNormalWindow(QMainWindow *pMain, const QRect &normal, bool bFit)
{
    NKScreenRect frame, client;
    if (!bFit && ReadFrame(pMain, &frame, &client)) {
        EndFrameFit();
        QRect target =
            FrameTarget(normal, frame.iWidth - client.iWidth, frame.iHeight - client.iHeight);
        if (target.isEmpty()) target = normal;
        m_rect = target;
        AskPlacement(pMain, target.translated(client.iX - frame.iX, client.iY - frame.iY),
                     target.topLeft());
        m_rect = target;
        return;
    }
    StartFrameFit(normal, true);
    if (NKWindowManagerRunning() && IsNormal(pMain) && ReadFrame(pMain, &frame, &client)) {
        FitFrame(pMain);
        m_rect = normal;
        return;
    }
    const QRect before = pMain->geometry();
    NKPlaceTopLevel(pMain, normal.x(), normal.y(), normal.width(), normal.height());
    m_rect = normal;
    m_asked = pMain->geometry() != before ? pMain->geometry() : QRect();
    if (!m_asked.isNull()) NKMarkAsked(m_pSizeWatch, NK_ASKED_PLACE);
}

// Shows the window normal on the normal rectangle: a window that is not
// normal, or not yet framed by its manager, is made normal and placed by
// the frame fit (bFit, returned); a framed normal one is placed at once.
// A window the manager is still making normal (its size not settled, or a
// place the program asked for still pending) goes to the fit too: a
// manager restoring a maximised window may show it normal by its state
// with the maximised frame's extents, without the normal frame's border,
// and a client placed by them lies off by the border once the manager
// puts the border back.
bool NormalPlacement::ApplyNormalRect(QMainWindow *pMain)
{
    const QRect normal = m_rect;
    NKScreenRect frame, client;
    const bool bFit = !IsNormal(pMain) || ProgramPlacementPending() ||
                      !ReadFrame(pMain, &frame, &client) ||
                      !SettledNormalSize(QSize(client.iWidth, client.iHeight));
    m_bMaximized = false;
    if (bFit) {
        StartFrameFit(normal, true);
        LeaveMaximized(pMain);
    }
    PlaceNormalWindow(pMain, normal, bFit);
    return bFit;
}

// The window starts at the stored placement, its size bounded as the
// window bounds it and pulled onto the screen, which the stored placement
// then holds. Under a manager, a window that starts maximised partly off
// the screen has its frame placed there by the frame fit once the user
// first restores it (m_bPlaceUnasked), so that it comes where a normal
// start's frame comes.
void NormalPlacement::Show(QMainWindow *pMain, NKWindowPlacement stored, void (*pfnEvents)(void *))
{
    BoundToTheWindow(pMain, &stored);
    PullOntoScreen(&stored);
    const QRect r = RectOf(stored);
    m_asked = QRect();
    StartFrameFit(r, stored.bMaximized != 0 && PartlyOffTheScreen(r));
    m_bPlaceUnasked = m_bFitPlace;
    NKPlaceTopLevel(pMain, r.x(), r.y(), r.width(), r.height());
    m_rect = r;
    m_bMaximized = stored.bMaximized != 0;
    g_WindowPlacement = PlacementOf(m_rect, m_bMaximized);
    if (m_bMaximized) {
        pMain->showMaximized();
    } else {
        pMain->show();
    }
    m_pSizeWatch = NKWatchNormalSize(pMain->winId(), pfnEvents, nullptr, r.width(), r.height());
}

void NormalPlacement::EndWatch(void)
{
    NKEndNormalSizeWatch(m_pSizeWatch);
    m_pSizeWatch = nullptr;
}

void NormalPlacement::WindowEvent(QMainWindow *pMain, bool bFit)
{
    if (bFit) FitFrame(pMain);
    ReadNormalWindow(pMain);
    FollowShownPlace(pMain);
}

// Where the manager refused a place asked further off the screen (its own
// rule keeps the frame where it is), nothing moves, and its notice of the
// place kept reaches Qt's window but not the widget, which keeps the place
// it asked for, and with it a frame where none is shown: a dialog placed
// beside the window would be placed beside that one. Once the manager has
// answered, the widget is given the place shown, which its window has
// already (Qt then asks nothing). Qt drops the notice of a place whose
// middle lies off every screen where its window does not know the screen
// yet: there the place shown is asked of the manager as it is, which moves
// nothing.
void NormalPlacement::FollowShownPlace(QMainWindow *pMain)
{
    NKScreenRect frame, client;
    bool bShown = false;
    if (!NKWindowManagerRunning() || g_bFullScreenActive != 0 || ProgramPlacementPending() ||
        !m_asked.isNull() || !NKAskedAnswered(m_pSizeWatch, true) || !IsNormal(pMain) ||
        !NKGetWindowFrame(pMain->internalWinId(), &frame, &client, &bShown) || !bShown)
        return;
    const QRect shown = RectOf(client);
    if (shown == pMain->geometry()) return;
    const QWindow *pWindow = pMain->windowHandle();
    if (pWindow != nullptr && pWindow->geometry() == shown) {
        pMain->setGeometry(shown);
    } else if (QGuiApplication::screenAt(shown.center()) == nullptr) {
        AskPlacement(pMain, shown, QPoint(frame.iX, frame.iY));
    }
}

// Whether a manager may keep the normal rectangle elsewhere than asked by
// a rule of its own: part of it lies off the screen.
bool NormalPlacement::KeptByItsOwnRule(void) const
{
    return NKWindowManagerRunning() && g_bFullScreenActive == 0 && PartlyOffTheScreen(m_rect);
}

// Whether the manager has answered every placement and state the program
// asked of it, by a reading of the window now: the frame fit done, no
// placement waiting. Without a manager nothing waits.
bool NormalPlacement::Answered(QMainWindow *pMain)
{
    Now(pMain);
    return !NKWindowManagerRunning() ||
           (!ProgramPlacementPending() && m_asked.isNull() && NKAskedAnswered(m_pSizeWatch, true) &&
            NKAskedAnswered(m_pSizeWatch, false));
}

// The window's normal rectangle and maximised state now: the position is
// the normal frame's top-left corner (the client's without a window
// manager), the size the client's, as NKPlaceTopLevel takes them. The
// watch first handles every event the X server made until now, and the
// window is read once more: the place and size last shown count, however
// soon after a move the window closes (a move the program asked for brings
// no move event once carried out), and so does a place or a state the
// program asked for that the manager has still to answer. In full screen,
// the rectangle the window goes back to.
NKWindowPlacement NormalPlacement::Now(QMainWindow *pMain)
{
    if (pMain != nullptr && g_bFullScreenActive == 0) {
        NKCatchUpNormalSizeWatch(m_pSizeWatch);
        ReadNormalWindow(pMain);
        ReadMaximized(pMain);
    }
    return PlacementOf(m_rect, m_bMaximized);
}

// Maximized as before full screen while that is on.
NKWindowPlacement NormalPlacement::ToStore(QMainWindow *pMain)
{
    NKWindowPlacement p = Now(pMain);
    if (g_bFullScreenActive != 0) p.bMaximized = m_bFullScreenFromMaximized ? 1 : 0;
    return p;
}

// The frame's corner goes to (iX, iY), pulled onto the screen as a stored
// place is; in full screen it is the place the window goes back to.
// Within "winposition" (m_bPositioning) the window was read just before,
// and the view's size that follows places the whole rectangle at once.
void NormalPlacement::MoveTo(QMainWindow *pMain, int iX, int iY)
{
    NKWindowPlacement p = m_bPositioning ? PlacementOf(m_rect, m_bMaximized) : Now(pMain);
    p.iX = iX, p.iY = iY;
    PullOntoScreen(&p);
    m_rect = RectOf(p);
    if (g_bFullScreenActive == 0 && !m_bPositioning) ApplyNormalRect(pMain);
}

// The normal rectangle at the placement's corner, sized for a view of
// iWidth x iHeight with the bars' size around it (cut to the work area as
// a stored one is); in full screen it is the one the window goes back to,
// with the bars it had. The bars may lay themselves out anew for the new
// width, so the height is set once more from the view's height after the
// first pass.
void NormalPlacement::Position(QMainWindow *pMain, QWidget *pView, int iX, int iY, int iWidth,
                               int iHeight)
{
    const bool bFullScreen = g_bFullScreenActive != 0;
    const QSize bars = Bars(pMain, pView);
    NKWindowPlacement p = PlacementOf(m_rect, m_bMaximized);
    p.iX = iX, p.iY = iY;
    p.iWidth = iWidth + bars.width(), p.iHeight = iHeight + bars.height();
    if (!bFullScreen) BoundToTheWindow(pMain, &p);
    PullOntoScreen(&p);
    m_rect = RectOf(p);
    if (bFullScreen) return;
    const bool bFit = ApplyNormalRect(pMain);
    if (pMain->size() == m_rect.size() && BarsSize(pMain, pView) != bars) {
        p.iWidth += iWidth - pView->width(), p.iHeight += iHeight - pView->height();
        BoundToTheWindow(pMain, &p);
        PullOntoScreen(&p);
        m_rect = RectOf(p);
        PlaceNormalWindow(pMain, m_rect, bFit);
    }
}

// The view's size keeping the window's place.
void NormalPlacement::SizeView(QMainWindow *pMain, QWidget *pView, int iWidth, int iHeight)
{
    const NKWindowPlacement p = m_bPositioning ? PlacementOf(m_rect, m_bMaximized) : Now(pMain);
    Position(pMain, pView, p.iX, p.iY, iWidth, iHeight);
}

// The bars around the view (those from before full screen while it is on).
QSize NormalPlacement::Bars(QMainWindow *pMain, QWidget *pView) const
{
    return g_bFullScreenActive != 0 ? m_fullScreenBars : BarsSize(pMain, pView);
}

// The view's size in the normal rectangle: its client less the bars.
QSize NormalPlacement::ViewSize(QMainWindow *pMain, QWidget *pView)
{
    const QSize bars = Bars(pMain, pView);
    Now(pMain);
    return m_rect.size() - bars;
}

// Into full screen: the normal rectangle and the maximised state the
// window goes back to, and the bars' size around the view from before.
void NormalPlacement::EnterFullScreen(QMainWindow *pMain, QWidget *pView)
{
    Now(pMain);
    m_bFullScreenFromMaximized = m_bMaximized;
    m_fullScreenFrom = m_rect;
    m_fullScreenBars = BarsSize(pMain, pView);
}

// Out of full screen, onto the normal rectangle (its size bounded as the
// window with its bars back bounds it), maximised again where it was
// before. A manager puts the frame back where it was; a normal rectangle
// changed meanwhile is placed by the frame fit once the manager holds the
// window normal and framed again.
void NormalPlacement::LeaveFullScreen(QMainWindow *pMain, bool bManaged)
{
    NKWindowPlacement p = PlacementOf(m_rect, false);
    BoundToTheWindow(pMain, &p);
    const QRect r = RectOf(p);
    if (bManaged) {
        ClearStaleFullScreen(pMain, false);
        if (r != m_fullScreenFrom) StartFrameFit(r, true);
        NKMarkAsked(m_pSizeWatch, NK_ASKED_NORMAL);
        pMain->showNormal();
    } else {
        pMain->showNormal();
        NKPlaceTopLevel(pMain, r.x(), r.y(), r.width(), r.height());
    }
    m_rect = r;
    m_bMaximized = m_bFullScreenFromMaximized;
    if (!m_bMaximized) return;
    NKMarkAsked(m_pSizeWatch, NK_ASKED_MAXIMIZED);
    pMain->showMaximized();
}

// A move, resize or state change of the main window (not of one destroyed
// and still going).
void OnWindowEvent(QMainWindow *pMain, bool bFit);

class MainWindow : public QMainWindow {
protected:
    void closeEvent(QCloseEvent *pEvent) override
    {
        pEvent->ignore();
        NKDestroyMainWindow();
    }
    void keyPressEvent(QKeyEvent *pEvent) override
    {
        NKStatusErrorScope errors;  // full screen runs command lines
        NKRecordKeyEvent(pEvent, true);
        NKHandleWindowKey(pEvent->key());
        QMainWindow::keyPressEvent(pEvent);
    }
    void keyReleaseEvent(QKeyEvent *pEvent) override
    {
        NKRecordKeyEvent(pEvent, false);
        QMainWindow::keyReleaseEvent(pEvent);
    }
    // One renderer family loses its viewport when the window moves.
    void moveEvent(QMoveEvent *pEvent) override
    {
        if (NKGetRendererQuirk() == 7)
            NKResizeView(NKViewWindowSize.iWidth, NKViewWindowSize.iHeight);
        QMainWindow::moveEvent(pEvent);
        OnWindowEvent(this, true);
    }
    void resizeEvent(QResizeEvent *pEvent) override
    {
        QMainWindow::resizeEvent(pEvent);
        OnWindowEvent(this, false);
    }
    // Qt may learn the window's new state from its manager after the
    // window's other events of the change (the size watch's notices come on
    // a connection of their own), and both the frame fit and the normal
    // rectangle wait for Qt's state too: without a look now, a window
    // restored by its manager could keep a frame that does not fit, or the
    // normal rectangle a reading from before.
    void changeEvent(QEvent *pEvent) override
    {
        QMainWindow::changeEvent(pEvent);
        if (pEvent->type() != QEvent::WindowStateChange) return;
        OnWindowEvent(this, true);
    }
    void dragEnterEvent(QDragEnterEvent *pEvent) override { NKAcceptFileDrag(pEvent); }
    void dragMoveEvent(QDragMoveEvent *pEvent) override { NKAcceptFileDrag(pEvent); }
    void dropEvent(QDropEvent *pEvent) override { NKDropFiles(pEvent); }
};

struct MainState {
    QPointer<MainWindow> pMain;
    QWidget *pViewContainer = nullptr;
    NormalPlacement normal;
    QMetaObject::Connection activation;
    // "winposition" lines whose placement is given once the manager has
    // answered (NKSetMainWindowPosition), and where to.
    int iPlacedDue = 0;
    void (*pfnPlaced)(const NKWindowPosition &) = nullptr;
};
MainState sg_State;

// The placement as stored now and the view's size in it.
NKWindowPosition PositionNow(QMainWindow *pMain, QWidget *pView)
{
    NKWindowPosition position;
    position.placement = sg_State.normal.ToStore(pMain);
    const QSize view = QSize(position.placement.iWidth, position.placement.iHeight) -
                       sg_State.normal.Bars(pMain, pView);
    position.iViewWidth = view.width(), position.iViewHeight = view.height();
    return position;
}

// Gives the placement to the lines waiting for it: at once, only once the
// manager has answered (bOnceAnswered), or when the window goes (as it is
// stored then).
void GivePlacedDue(QMainWindow *pMain, bool bOnceAnswered)
{
    MainState &state = sg_State;
    if (state.iPlacedDue == 0 || (bOnceAnswered && !state.normal.Answered(pMain))) return;
    const NKWindowPosition position = PositionNow(pMain, state.pViewContainer);
    const int iDue = state.iPlacedDue;
    state.iPlacedDue = 0;
    for (int i = 0; i < iDue; i++) state.pfnPlaced(position);
}

void OnWindowEvent(QMainWindow *pMain, bool bFit)
{
    if (pMain == nullptr || pMain != sg_State.pMain.data()) return;
    sg_State.normal.WindowEvent(pMain, bFit);
    GivePlacedDue(pMain, true);
}

void OnWindowEvents(void *) { OnWindowEvent(sg_State.pMain, true); }

// The window's events are handled (user input stays queued) until the
// lines waiting for the manager's answer are given, so that a line's
// answer comes before the next command runs. A manager that does not
// answer within kAnswerWaitMs (one stopped) leaves the line due: it is
// given once the manager answers, or when the window goes.
void WaitForPlacedDue(void)
{
    if (sg_State.iPlacedDue == 0) return;
    const QDeadlineTimer deadline(kAnswerWaitMs);
    QTimer wake;  // the loop looks at the deadline at least this often
    wake.start(100);
    while (sg_State.iPlacedDue > 0 && sg_State.pMain != nullptr && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents);
}

// The local file a drag carries first; empty when its first item is none.
QByteArray DraggedFile(const QDropEvent *pEvent)
{
    const QMimeData *pData = pEvent->mimeData();
    if (pData == nullptr || !pData->hasUrls()) return QByteArray();
    const QList<QUrl> urls = pData->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile()) return QByteArray();
    return urls.first().toLocalFile().toUtf8();
}

// A drag of a local file is taken as a copy, or else as a link, whatever
// the source proposes (a file manager proposes a move while Shift is
// held): the file is only read, and a source told of a move may delete
// it. False, with the drag refused, without a local file or without
// either action.
bool TakeAsCopy(QDropEvent *pEvent)
{
    const Qt::DropActions offered = pEvent->possibleActions();
    const Qt::DropAction action = offered.testFlag(Qt::CopyAction)   ? Qt::CopyAction
                                  : offered.testFlag(Qt::LinkAction) ? Qt::LinkAction
                                                                     : Qt::IgnoreAction;
    if (action == Qt::IgnoreAction || DraggedFile(pEvent).isEmpty()) {
        pEvent->setDropAction(Qt::IgnoreAction);
        pEvent->ignore();
        return false;
    }
    pEvent->setDropAction(action);
    pEvent->accept();
    return true;
}

// Only the first dropped file is opened, with the type-detecting open.
void OpenDroppedFile(QDropEvent *pEvent)
{
    NKStatusErrorScope errors;
    if (!TakeAsCopy(pEvent)) return;
    const QByteArray name = DraggedFile(pEvent);
    NKString line;
    if (!NKPathCommandLine("open", name.constData(), &line)) return;
    ExecuteUICommand(line);
    if (sg_State.pMain != nullptr) {
        sg_State.pMain->raise();
        sg_State.pMain->activateWindow();
    }
    UpdateMenuChecks();
}

// Leaving the application lets the animation pace by its measured rate,
// and takes the keyboard, with the F2 that the in-view menu reads.
void OnApplicationState(Qt::ApplicationState state)
{
    const bool bActive = state == Qt::ApplicationActive;
    if (!bActive) {
        g_AnimationSettings.fFrameRateDeactivated = g_AnimationSettings.fFrameRate;
        NKViewKeyboardLost();
    }
    g_AnimationSettings.bApplicationActive = bActive ? 1 : 0;
}

// The view inside its container; null when it gets no context.
bool AttachView(MainWindow *pMain)
{
    QWindow *pView = NKCreateViewWindow();
    if (pView == nullptr) return false;
    QWidget *pContainer = QWidget::createWindowContainer(pView, pMain);
    pContainer->setMinimumSize(1, 1);
    pContainer->setFocusPolicy(Qt::StrongFocus);
    NKFollowViewContainer(pContainer);
    NKLayOutWithoutAnimation(pContainer);
    pMain->setCentralWidget(pContainer);
    sg_State.pViewContainer = pContainer;
    return true;
}

}  // namespace

bool CreateMainWindow(void)
{
    if (sg_State.pMain != nullptr) return true;
    auto *pMain = new MainWindow;
    sg_State.pMain = pMain;
    NKString title;
    BuildWindowTitle(&title);
    pMain->setWindowTitle(QString::fromUtf8(title.GetText()));
    if (!AttachView(pMain)) {
        sg_State.pMain = nullptr;
        delete pMain;
        NKMessageBox("Unable to initialize OpenGL window, aborting!",
                     NKString::FromFormat("Critical %s Error", NK_PRODUCT_NAME).GetText(),
                     NK_MB_ICON_ERROR);
        return false;
    }
    NKResetMenus();
    if (g_bMenuBarShown != 0) NKShowMenuBar(true);
    if (g_bStatusbarShown != 0) NKCreateStatusbar();
    if (g_bToolbarShown != 0) NKCreateToolbar();
    pMain->setAcceptDrops(true);
    g_bFullScreenActive = 0;
    sg_State.activation =
        QObject::connect(qApp, &QGuiApplication::applicationStateChanged, OnApplicationState);
    sg_State.normal.Show(pMain, g_WindowPlacement, OnWindowEvents);
    return true;
}

// The bars go with the window, but whether a new window shows them stays
// the user's choice of before.
void NKDestroyMainWindow(void)
{
    MainWindow *pMain = sg_State.pMain;
    if (pMain == nullptr) return;
    GivePlacedDue(pMain, false);
    g_WindowPlacement = sg_State.normal.ToStore(pMain);
    const uint8_t bToolbar = g_bToolbarShown, bStatusbar = g_bStatusbarShown;
    NKDestroyToolbar();
    NKDestroyStatusbar();
    g_bToolbarShown = bToolbar;
    g_bStatusbarShown = bStatusbar;
    QObject::disconnect(sg_State.activation);
    sg_State.normal.EndWatch();
    sg_State.pMain = nullptr;
    sg_State.pViewContainer = nullptr;
    g_bFullScreenActive = 0;
    pMain->hide();
    // The window may be destroyed from inside one of its own events (Exit,
    // a command run from its menu); it goes once that event is done, with
    // the view and its context.
    pMain->deleteLater();
    QCoreApplication::quit();
}

QMainWindow *NKGetMainWindow(void) { return sg_State.pMain; }

void NKAcceptFileDrag(QDropEvent *pEvent) { TakeAsCopy(pEvent); }

void NKDropFiles(QDropEvent *pEvent) { OpenDroppedFile(pEvent); }

int NKMainWindowCommand(int iId)
{
    NKStatusErrorScope errors;
    int iResult = 1;
    if (!MenuCommandHandler(iId, &iResult)) iResult = CommandHandler(iId);
    if (iResult == 0) UpdateMenuChecks();
    return iResult;
}

void NKHandleWindowKey(int iQtKey)
{
    if (iQtKey == Qt::Key_F11) {
        SetFullScreen(g_bFullScreenActive == 0);
    } else if (iQtKey == Qt::Key_Escape && g_bFullScreenActive != 0) {
        SetFullScreen(false);
    }
}

// Full screen is a state of the window that a window manager following
// the desktop conventions carries out itself: it removes the frame and
// covers the screen, and when the state goes it puts the frame back where
// it was. The window is not placed by the program meanwhile: a move would
// end the state, and until the manager has put the frame back, Qt knows
// the window without one and would place the client where the frame
// belongs; a normal rectangle changed meanwhile ("winposition") is placed
// by the frame fit once the manager holds the window normal again.
// Without such a manager the window covers the screen by its own geometry
// and goes back to the normal rectangle. The normal rectangle stays the
// record throughout (full screen is a state over it), with the bars'
// size around the view from before, which the view's size given in full
// screen is taken with.
void SetFullScreen(bool bOn)
{
    MainWindow *pMain = sg_State.pMain;
    const bool bManaged = NKWindowManagerSupports("_NET_WM_STATE_FULLSCREEN");
    if (bOn) {
        if (pMain != nullptr && g_bFullScreenActive == 0)
            sg_State.normal.EnterFullScreen(pMain, sg_State.pViewContainer);
        ExecuteCommand("nomenu");
        ExecuteCommand("nostatusbar");
        ExecuteCommand("notoolbar");
        if (pMain == nullptr) return;
        if (g_bFullScreenActive == 0 && bManaged) ClearStaleFullScreen(pMain, true);
        g_bFullScreenActive = 1;
        pMain->showFullScreen();
        if (!bManaged) pMain->setGeometry(ScreenGeometry());
        return;
    }
    if (g_bFullScreenActive != 0) {
        ExecuteCommand("menu");
        ExecuteCommand("statusbar");
        ExecuteCommand("toolbar");
        g_bFullScreenActive = 0;
        if (pMain != nullptr) sg_State.normal.LeaveFullScreen(pMain, bManaged);
    }
    g_bFullScreenActive = 0;
}

void NKSetViewClientSize(int iWidth, int iHeight)
{
    MainWindow *pMain = sg_State.pMain;
    QWidget *pView = sg_State.pViewContainer;
    if (pMain != nullptr && pView != nullptr)
        sg_State.normal.SizeView(pMain, pView, iWidth, iHeight);
}

void NKMoveMainWindow(int iX, int iY)
{
    MainWindow *pMain = sg_State.pMain;
    if (pMain != nullptr) sg_State.normal.MoveTo(pMain, iX, iY);
}

void NKSetMainWindowPosition(const int *piGiven, int iGiven,
                             void (*pfnPlaced)(const NKWindowPosition &))
{
    MainWindow *pMain = sg_State.pMain;
    QWidget *pView = sg_State.pViewContainer;
    NKWindowPosition position;
    iGiven = std::max(0, std::min(iGiven, 4));
    if (pMain == nullptr || pView == nullptr) {
        // The stored place, and the view's size as the program starts it.
        int aiValues[4] = {g_WindowPlacement.iX, g_WindowPlacement.iY, NKViewWindowSize.iWidth,
                           NKViewWindowSize.iHeight};
        std::copy(piGiven, piGiven + iGiven, aiValues);
        g_WindowPlacement.iX = aiValues[0], g_WindowPlacement.iY = aiValues[1];
        position.placement = g_WindowPlacement;
        position.iViewWidth = aiValues[2], position.iViewHeight = aiValues[3];
        pfnPlaced(position);
        return;
    }
    // The values not given are the window's as read now; the window is
    // moved, then sized, and read once more for the line.
    NormalPlacement &normal = sg_State.normal;
    const NKWindowPlacement now = normal.Now(pMain);
    const QSize view = QSize(now.iWidth, now.iHeight) - normal.Bars(pMain, pView);
    int aiValues[4] = {now.iX, now.iY, view.width(), view.height()};
    std::copy(piGiven, piGiven + iGiven, aiValues);
    normal.m_bPositioning = true;
    NKMoveMainWindow(aiValues[0], aiValues[1]);
    NKSetViewClientSize(aiValues[2], aiValues[3]);
    normal.m_bPositioning = false;
    sg_State.pfnPlaced = pfnPlaced;
    sg_State.iPlacedDue++;
    GivePlacedDue(pMain, normal.KeptByItsOwnRule());
    WaitForPlacedDue();
}

bool NKGetNormalViewSize(int *piWidth, int *piHeight)
{
    MainWindow *pMain = sg_State.pMain;
    QWidget *pView = sg_State.pViewContainer;
    if (pMain == nullptr || pView == nullptr) return false;
    const QSize view = sg_State.normal.ViewSize(pMain, pView);
    *piWidth = view.width();
    *piHeight = view.height();
    return true;
}

bool NKGetViewClientSize(int *piWidth, int *piHeight)
{
    const QWidget *pView = sg_State.pViewContainer;
    if (sg_State.pMain == nullptr || pView == nullptr) return false;
    *piWidth = pView->width();
    *piHeight = pView->height();
    return true;
}

NKWindowPlacement NKGetPlacementToStore(void)
{
    if (sg_State.pMain == nullptr) return g_WindowPlacement;
    return sg_State.normal.ToStore(sg_State.pMain);
}
