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
// keeps it (a manager changing the window's state may carry out a
// placement, then put back the place it saved).
constexpr int kFitFrameTries = 5;
// How long a "winposition" line waits for the manager's answer.
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

QRect RectOf(const NKWindowPlacement &p) { return QRect(p.iX, p.iY, p.iWidth, p.iHeight); }
QRect RectOf(const NKScreenRect &r) { return QRect(r.iX, r.iY, r.iWidth, r.iHeight); }
NKWindowPlacement PlacementOf(const QRect &r, bool bMaximized)
{
    NKWindowPlacement p;
    p.iX = r.x(), p.iY = r.y(), p.iWidth = r.width(), p.iHeight = r.height();
    p.bMaximized = bMaximized ? 1 : 0;
    return p;
}

// A placement pulled onto the screen: cut to the work area's size (at its
// edge that way), an icon's size of it on the screen at the right, bottom
// and left (a negative x may stand for a screen to the left), and the
// frame's top, with its title bar, in the work area.
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

// A size the window can take, as Qt bounds it: within its maximum and its
// minimum as its layout has them once a waiting layout change is done.
void BoundToTheWindow(QMainWindow *pMain, NKWindowPlacement *pPlacement)
{
    if (QLayout *pLayout = pMain->layout()) pLayout->activate();
    const QSize size = QSize(pPlacement->iWidth, pPlacement->iHeight)
                           .boundedTo(pMain->maximumSize())
                           .expandedTo(pMain->minimumSize());
    pPlacement->iWidth = size.width(), pPlacement->iHeight = size.height();
}

// What the bars around the view add to its size, with a waiting layout
// change (a bar shown or sized anew) carried out first.
QSize BarsSize(QMainWindow *pMain, const QWidget *pView)
{
    if (QLayout *pLayout = pMain->layout()) pLayout->activate();
    return pMain->size() - pView->size();
}

// Where a frame growing the client by `grow` goes: on an axis where the
// client and the growth do not fit in the work area, the client shrinks by
// the growth and the frame goes to the work area's edge; the other axis
// keeps its place and size. Empty where both fit.
QRect FrameTarget(const QRect &from, const QSize &grow)
{
    const QRect work = WorkArea();
    const bool bCutX = from.width() + grow.width() > work.width();
    const bool bCutY = from.height() + grow.height() > work.height();
    if (!bCutX && !bCutY) return QRect();
    return QRect(bCutX ? work.left() : from.x(), bCutY ? work.top() : from.y(),
                 bCutX ? work.width() - grow.width() : from.width(),
                 bCutY ? work.height() - grow.height() : from.height());
}

// A manager refuses a frame further off the screen than its own rule
// allows and keeps it further in: on an axis where the frame asked for
// lies partly off, a frame shown between that place and the screen's edge
// stays where shown.
int KeptOnTheScreen(int iAsked, int iShown, int iSize, int iLow, int iHigh)
{
    if (iAsked + iSize > iHigh && iShown < iAsked && iShown + iSize >= iHigh) return iShown;
    if (iAsked < iLow && iShown > iAsked && iShown <= iLow) return iShown;
    return iAsked;
}

bool PartlyOffTheScreen(const QRect &r)
{
    const QRect screen = ScreenGeometry();
    return r.x() < screen.left() || r.x() + r.width() > screen.right() + 1 ||
           r.y() + r.height() > screen.bottom() + 1;
}

// Qt asks the manager for a state only where it differs from Qt's record,
// which a change handled late can leave stale: F11 right after Esc would
// be dropped. So the record is first set to the other state, and the
// manager carries out both in order.
void ClearStaleFullScreen(QMainWindow *pMain, bool bOn)
{
    const Qt::WindowStates state = pMain->windowState();
    if (state.testFlag(Qt::WindowFullScreen) == bOn)
        pMain->setWindowState(state ^ Qt::WindowFullScreen);
}

// The window as the X server shows it at one moment: each entry into the
// placement reads it once (NormalPlacement::Read).
struct Reading {
    bool bRead = false;  // the window could be read
    bool bShown = false;
    NKWindowHold hold = NK_HELD_NORMAL;
    NKScreenRect frame, client;

    // Whether the manager has framed the window.
    bool Framed(void) const
    {
        return bRead && (frame.iWidth != client.iWidth || frame.iHeight != client.iHeight);
    }
    QSize Extents(void) const
    {
        return QSize(frame.iWidth - client.iWidth, frame.iHeight - client.iHeight);
    }
    QPoint Corner(void) const { return QPoint(frame.iX, frame.iY); }
    QPoint ClientOffset(void) const { return QPoint(client.iX - frame.iX, client.iY - frame.iY); }
    QSize Size(void) const { return QSize(client.iWidth, client.iHeight); }
};

// Normal by Qt's state and by the state its manager gave it.
bool IsNormal(const QMainWindow *pMain, const Reading &r)
{
    const Qt::WindowStates away = Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized;
    return (pMain->windowState() & away) == 0 && r.hold == NK_HELD_NORMAL;
}

// The main window's normal placement, and its only writer: the normal
// window's rectangle (frame corner, the client's without a manager, and
// client size), whether it is maximised, and what full screen goes back
// to. The stored placement starts it (Show), "winposition" changes it
// (MoveTo, Position), readings of a normal window follow the manager
// (ReadNormalWindow), and the frame fit places a frame its manager put
// around the window (FitFrame).
//
// Under a manager, each request is marked on the size watch (NKMarkAsked)
// so that its answer is known: a reading before the answer shows the
// window as it was.
class NormalPlacement {
public:
    void Show(QMainWindow *pMain, NKWindowPlacement stored, void (*pfnEvents)(void *));
    void EndWatch(void);
    // A move, resize or state change: the frame fit (bFit), then a reading.
    void WindowEvent(QMainWindow *pMain, bool bFit);
    NKWindowPlacement Now(QMainWindow *pMain);
    NKWindowPlacement ToStore(QMainWindow *pMain);
    void MoveTo(QMainWindow *pMain, int iX, int iY);
    // Set while "winposition" moves the window and then sizes its view.
    bool m_bPositioning = false;
    void SizeView(QMainWindow *pMain, QWidget *pView, int iWidth, int iHeight);
    void Position(QMainWindow *pMain, QWidget *pView, int iX, int iY, int iWidth, int iHeight);
    QSize Bars(QMainWindow *pMain, QWidget *pView) const;
    void EnterFullScreen(QMainWindow *pMain, QWidget *pView);
    void LeaveFullScreen(QMainWindow *pMain, bool bManaged);
    bool KeptByItsOwnRule(void) const;
    bool Answered(QMainWindow *pMain);

private:
    Reading Read(const QMainWindow *pMain);
    void FollowShownPlace(QMainWindow *pMain, const Reading &r);
    bool ProgramPlacementPending(void) const { return m_bFitPlace && m_iFitFrameTries > 0; }
    bool AskedPlacementPending(const QMainWindow *pMain, const Reading &r);
    void TakeWatchedNormalSize(void);
    bool SettledNormalSize(const QSize &client) const;
    void ReadNormalWindow(const QMainWindow *pMain, const Reading &r);
    void ReadMaximized(const QMainWindow *pMain);
    QRect KeptOnTheScreen(const QRect &target, const Reading &r) const;
    void EndFrameFit(void);
    void StartFrameFit(const QRect &from, bool bPlace);
    bool FitFrame(QMainWindow *pMain, const Reading &r);
    void AskPlacement(QMainWindow *pMain, const Reading &r, const QRect &client,
                      const QPoint &frameCorner);
    void AskState(QMainWindow *pMain, Qt::WindowStates state);
    void LeaveMaximized(QMainWindow *pMain, const Reading &r);
    void PlaceNormalWindow(QMainWindow *pMain, const Reading &r, const QRect &normal, bool bFit);
    bool ApplyNormalRect(QMainWindow *pMain);

    QRect m_rect;
    // Whether a manager ran at the last reading (Read).
    bool m_bManaged = false;
    // Maximised as the program last made it (where no manager tells
    // otherwise); the state and bars' size from before full screen.
    bool m_bMaximized = false;
    bool m_bFullScreenFromMaximized = false;
    QSize m_fullScreenBars;
    QRect m_fullScreenFrom;
    // The frame fit, under a manager until its frame fits in the work
    // area: the rectangle to fit, the placements left to try, and whether
    // its corner is the frame's place even where the size fits (a place the
    // program asked before the manager framed the window).
    QRect m_fitFrom;
    int m_iFitFrameTries = 0;
    bool m_bFitPlace = false;
    // A window started maximised partly off the screen is restored at a
    // place the manager chose by the maximised frame: no answer until the
    // fit has asked once.
    bool m_bPlaceUnasked = false;
    // The frame's extents when the fit last asked for a place: a place the
    // manager kept by another frame's size is asked again.
    QSize m_fitAskedExtents;
    // The client rectangle last asked of the manager, until answered, and
    // whether Qt is taking a rectangle the program asks for.
    QRect m_asked;
    bool m_bAsking = false;
    NKNormalSizeWatch *m_pSizeWatch = nullptr;
};

Reading NormalPlacement::Read(const QMainWindow *pMain)
{
    Reading r;
    m_bManaged = NKWindowManagerRunning();
    const WId window = pMain->internalWinId();
    r.bRead = window != 0 && NKGetWindowFrame(window, &r.frame, &r.client, &r.bShown, &r.hold);
    return r;
}

// A placement asked and not yet answered (Qt holds it, the X server shows
// another) counts over the reading: a move carried out brings no event.
bool NormalPlacement::AskedPlacementPending(const QMainWindow *pMain, const Reading &r)
{
    if (m_asked.isNull() || !m_bManaged) return false;
    if (m_asked != RectOf(r.client) && m_asked == pMain->geometry() &&
        !NKAskedAnswered(m_pSizeWatch, true))
        return true;
    m_asked = QRect();
    return false;
}

// The size the manager last gave the window as a normal one, by the
// watch's events however late they are seen; not while the program's own
// placement waits.
void NormalPlacement::TakeWatchedNormalSize(void)
{
    int iWidth = 0, iHeight = 0;
    if (ProgramPlacementPending() || !m_asked.isNull()) return;
    if (NKWatchedNormalSize(m_pSizeWatch, &iWidth, &iHeight))
        m_rect.setSize(QSize(iWidth, iHeight));
}

// Under a manager, whether the events show the window normal with a
// settled size that the client has: while a manager changes the state the
// window may be normal by its state with another state's size.
bool NormalPlacement::SettledNormalSize(const QSize &client) const
{
    int iWidth = 0, iHeight = 0;
    return m_pSizeWatch == nullptr || !m_bManaged ||
           (NKWatchedSizeSettled(m_pSizeWatch, &iWidth, &iHeight) &&
            client == QSize(iWidth, iHeight));
}

// A normal, shown window's frame corner and client size are the normal
// rectangle, read from the X server (Qt learns new extents only with the
// next move). Without a manager only the program places the window.
void NormalPlacement::ReadNormalWindow(const QMainWindow *pMain, const Reading &r)
{
    if (!m_bManaged || g_bFullScreenActive != 0) return;
    TakeWatchedNormalSize();
    if (ProgramPlacementPending() || !IsNormal(pMain, r)) return;
    QRect normal(pMain->pos(), pMain->size());
    if (r.bRead) {
        if (!r.bShown || AskedPlacementPending(pMain, r)) return;
        normal = QRect(r.Corner(), r.Size());
    }
    if (SettledNormalSize(normal.size())) m_rect = normal;
}

// Maximised as the manager holds it once it has answered the state last
// asked (the watch's events, else Qt's record, which can lag).
void NormalPlacement::ReadMaximized(const QMainWindow *pMain)
{
    if (!m_bManaged || !NKAskedAnswered(m_pSizeWatch, false)) return;
    NKWindowHold hold = NK_HELD_NORMAL;
    if (NKWatchedHold(m_pSizeWatch, &hold) && hold != NK_HELD_HIDDEN)
        m_bMaximized = hold == NK_HELD_RESIZED && !pMain->isFullScreen();
    else
        m_bMaximized = pMain->isMaximized();
}

// The place the manager keeps the frame at by its own rule (the frame's
// own size counts); none before the fit has asked once.
QRect NormalPlacement::KeptOnTheScreen(const QRect &target, const Reading &r) const
{
    if (m_bPlaceUnasked) return target;
    const QRect screen = ScreenGeometry();
    const QSize frame = target.size() + r.Extents();
    QRect kept = target;
    kept.moveTopLeft(QPoint(
        ::KeptOnTheScreen(target.x(), r.frame.iX, frame.width(), screen.left(), screen.right() + 1),
        ::KeptOnTheScreen(target.y(), r.frame.iY, frame.height(), screen.top(),
                          screen.bottom() + 1)));
    return kept;
}

void NormalPlacement::EndFrameFit(void)
{
    m_iFitFrameTries = 0;
    m_bFitPlace = false;
    m_bPlaceUnasked = false;
    m_fitAskedExtents = QSize();
}

void NormalPlacement::StartFrameFit(const QRect &from, bool bPlace)
{
    m_fitFrom = from;
    m_iFitFrameTries = m_bManaged ? kFitFrameTries : 0;
    m_bFitPlace = bPlace && m_iFitFrameTries > 0;
    m_bPlaceUnasked = false;
    m_fitAskedExtents = QSize();
    m_rect = from;
}

// Asks the manager for the client rectangle with the frame's corner at
// frameCorner, straight to the X server (Qt would place it by the frame
// it knows), and marks the request so that its answer is known.
void NormalPlacement::AskPlacement(QMainWindow *pMain, const Reading &r, const QRect &client,
                                   const QPoint &frameCorner)
{
    m_asked = QRect();
    if (pMain->geometry() == client &&
        (!r.bRead || (RectOf(r.client) == client && r.Corner() == frameCorner)))
        return;
    m_bAsking = true;  // Qt sends the move and resize events meanwhile
    pMain->setGeometry(client);
    m_bAsking = false;
    if (r.bRead && m_bManaged)
        NKAskWindowRect(pMain->internalWinId(), frameCorner.x(), frameCorner.y(), client.width(),
                        client.height(), &r.frame, &r.client);
    NKMarkAsked(m_pSizeWatch, NK_ASKED_PLACE);
    m_asked = pMain->geometry();
}

void NormalPlacement::AskState(QMainWindow *pMain, Qt::WindowStates state)
{
    if (state == pMain->windowState()) return;
    const Qt::WindowStates away = Qt::WindowMaximized | Qt::WindowFullScreen;
    NKMarkAsked(m_pSizeWatch, (state & away) != 0 ? NK_ASKED_MAXIMIZED : NK_ASKED_NORMAL);
    pMain->setWindowState(state);
}

// Fits a framed, normal window's frame where it goes, by the extents read
// with it (Qt's may be old, or another state's), and asks again at later
// events until it lies there, a few times at most. It ends only once the
// manager has answered and the size is settled: a restoring manager can
// show the maximised frame at the target's corner first. True where it
// asked for a placement.
bool NormalPlacement::FitFrame(QMainWindow *pMain, const Reading &r)
{
    if (m_iFitFrameTries <= 0 || !r.Framed() || !IsNormal(pMain, r)) return false;
    QRect target = FrameTarget(m_fitFrom, r.Extents());
    if (target.isEmpty() && m_bFitPlace) target = m_fitFrom;
    if (m_bFitPlace) {
        // Where the manager keeps the frame by its own rule, by this
        // frame's extents and with the size asked, that is the answer: a
        // frame still of another state's size has not answered yet.
        const QRect kept = KeptOnTheScreen(target, r);
        const bool bSameFrame =
            (!m_fitAskedExtents.isValid() || m_fitAskedExtents == r.Extents()) &&
            r.Size() == target.size();
        if (kept.topLeft() == r.Corner() && bSameFrame) target = kept;
    }
    if (target.isEmpty() || (r.Corner() == target.topLeft() && r.Size() == target.size())) {
        if (SettledNormalSize(r.Size()) && !AskedPlacementPending(pMain, r)) EndFrameFit();
        return false;
    }
    // A manager that restored the window before it took the program's
    // size may leave it with the maximised size, which never settles: ask
    // again once the last placement is answered.
    const bool bUnsettled =
        m_bFitPlace && r.Size() != target.size() && !SettledNormalSize(r.Size());
    if ((bUnsettled && m_iFitFrameTries <= 1) || AskedPlacementPending(pMain, r)) return false;
    if (--m_iFitFrameTries == 0) m_bFitPlace = false;
    m_bPlaceUnasked = false;
    m_fitAskedExtents = r.Extents();
    AskPlacement(pMain, r, target.translated(r.ClientOffset()), target.topLeft());
    return true;
}

// A window not normal (by Qt's record or by the manager's state) is asked
// to become normal; a record that misses the manager's maximised state is
// set to it first, as Qt asks only for a change of its record.
void NormalPlacement::LeaveMaximized(QMainWindow *pMain, const Reading &r)
{
    const Qt::WindowStates state = pMain->windowState();
    if (!state.testFlag(Qt::WindowMaximized)) {
        if (r.hold != NK_HELD_RESIZED) return;
        pMain->setWindowState(state | Qt::WindowMaximized);
    }
    AskState(pMain, pMain->windowState() & ~Qt::WindowMaximized);
}

// Places the normal window at the rectangle (cut to the work area with the
// frame). A framed, normal window (not bFit) is placed at once by the
// extents read with it; any other is placed for now and, under a manager,
// by the frame fit once framed and normal. The rectangle is set again after
// a placement Qt takes at once: its events read the window as it was.
void NormalPlacement::PlaceNormalWindow(QMainWindow *pMain, const Reading &r, const QRect &normal,
                                        bool bFit)
{
    if (!bFit && r.Framed()) {
        EndFrameFit();
        QRect target = FrameTarget(normal, r.Extents());
        if (target.isEmpty()) target = normal;
        m_rect = target;
        AskPlacement(pMain, r, target.translated(r.ClientOffset()), target.topLeft());
        return;
    }
    StartFrameFit(normal, true);
    if (m_bManaged && IsNormal(pMain, r) && r.Framed()) {
        FitFrame(pMain, r);
        return;
    }
    const QRect before = pMain->geometry();
    NKPlaceTopLevel(pMain, normal.x(), normal.y(), normal.width(), normal.height());
    m_rect = normal;
    m_asked = pMain->geometry() != before ? pMain->geometry() : QRect();
    if (!m_asked.isNull()) NKMarkAsked(m_pSizeWatch, NK_ASKED_PLACE);
}

// Shows the window normal on the normal rectangle: one not normal, not
// framed, or still being made normal by its manager (its size unsettled)
// is made normal and placed by the frame fit (returns true); a framed,
// normal one is placed at once.
bool NormalPlacement::ApplyNormalRect(QMainWindow *pMain)
{
    const Reading r = Read(pMain);
    const QRect normal = m_rect;
    const bool bFit = !IsNormal(pMain, r) || ProgramPlacementPending() || !r.Framed() ||
                      !SettledNormalSize(r.Size());
    m_bMaximized = false;
    if (bFit) {
        StartFrameFit(normal, true);
        LeaveMaximized(pMain, r);
    }
    PlaceNormalWindow(pMain, r, normal, bFit);
    return bFit;
}

// The stored placement, bounded and pulled onto the screen. A window
// started maximised partly off the screen has its frame placed there by
// the fit once first restored, as a normal start's frame is.
void NormalPlacement::Show(QMainWindow *pMain, NKWindowPlacement stored, void (*pfnEvents)(void *))
{
    BoundToTheWindow(pMain, &stored);
    PullOntoScreen(&stored);
    const QRect r = RectOf(stored);
    m_asked = QRect();
    m_bManaged = NKWindowManagerRunning();
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

// The events Qt sends while it takes a rectangle the program asks for are
// skipped: the X server still shows the window as it was, and a frame fit
// run from them would ask again ahead of the request being made.
void NormalPlacement::WindowEvent(QMainWindow *pMain, bool bFit)
{
    if (m_bAsking) return;
    Reading r = Read(pMain);
    if (bFit && FitFrame(pMain, r)) r = Read(pMain);
    ReadNormalWindow(pMain, r);
    FollowShownPlace(pMain, r);
}

// Where the manager refused a place and kept the window, Qt's window has
// the place shown but the widget keeps the one asked: once the manager has
// answered, the widget takes the place shown. (Qt drops the notice of a
// place whose middle lies off every screen: that place is asked as it is.)
void NormalPlacement::FollowShownPlace(QMainWindow *pMain, const Reading &r)
{
    if (!m_bManaged || g_bFullScreenActive != 0 || ProgramPlacementPending() || !m_asked.isNull() ||
        !NKAskedAnswered(m_pSizeWatch, true) || !IsNormal(pMain, r) || !r.bRead || !r.bShown)
        return;
    const QRect shown = RectOf(r.client);
    if (shown == pMain->geometry()) return;
    const QWindow *pWindow = pMain->windowHandle();
    if (pWindow != nullptr && pWindow->geometry() == shown) {
        pMain->setGeometry(shown);
    } else if (QGuiApplication::screenAt(shown.center()) == nullptr) {
        AskPlacement(pMain, r, shown, r.Corner());
    }
}

// Whether the manager may keep the normal rectangle elsewhere than asked:
// part of it lies off the screen.
bool NormalPlacement::KeptByItsOwnRule(void) const
{
    return m_bManaged && g_bFullScreenActive == 0 && PartlyOffTheScreen(m_rect);
}

// Whether the manager has answered every placement and state asked of it,
// by a reading now. Without a manager nothing waits; a request being made
// is not answered.
bool NormalPlacement::Answered(QMainWindow *pMain)
{
    if (m_bAsking) return false;
    Now(pMain);
    return !m_bManaged ||
           (!ProgramPlacementPending() && m_asked.isNull() && NKAskedAnswered(m_pSizeWatch, true) &&
            NKAskedAnswered(m_pSizeWatch, false));
}

// The normal rectangle and maximised state now, once the watch has taken
// every event the X server made so far (a move carried out brings no
// event); in full screen, what the window goes back to.
NKWindowPlacement NormalPlacement::Now(QMainWindow *pMain)
{
    if (pMain != nullptr && g_bFullScreenActive == 0) {
        NKCatchUpNormalSizeWatch(m_pSizeWatch);
        const Reading r = Read(pMain);
        ReadNormalWindow(pMain, r);
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

// The frame's corner to (iX, iY), pulled onto the screen; in full screen
// the place the window goes back to. Within "winposition" the window was
// just read, and the view's size that follows places it.
void NormalPlacement::MoveTo(QMainWindow *pMain, int iX, int iY)
{
    NKWindowPlacement p = m_bPositioning ? PlacementOf(m_rect, m_bMaximized) : Now(pMain);
    p.iX = iX, p.iY = iY;
    PullOntoScreen(&p);
    m_rect = RectOf(p);
    if (g_bFullScreenActive == 0 && !m_bPositioning) ApplyNormalRect(pMain);
}

// The normal rectangle at (iX, iY) for a view of iWidth x iHeight with the
// bars around it; in full screen, the one the window goes back to. Bars
// laid out anew for the new width are made up for in a second pass.
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
        PlaceNormalWindow(pMain, Read(pMain), m_rect, bFit);
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

void NormalPlacement::EnterFullScreen(QMainWindow *pMain, QWidget *pView)
{
    Now(pMain);
    m_bFullScreenFromMaximized = m_bMaximized;
    m_fullScreenFrom = m_rect;
    m_fullScreenBars = BarsSize(pMain, pView);
}

// Out of full screen onto the normal rectangle, maximised again where it
// was. A manager puts the frame back where it was; a rectangle changed
// meanwhile is placed by the frame fit.
void NormalPlacement::LeaveFullScreen(QMainWindow *pMain, bool bManaged)
{
    NKWindowPlacement p = PlacementOf(m_rect, false);
    BoundToTheWindow(pMain, &p);
    const QRect r = RectOf(p);
    if (bManaged) {
        m_bManaged = true;  // a manager that carries out full screen runs
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
    // Qt may learn a new state after the change's other events, and the
    // frame fit and the normal rectangle wait for it.
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

// Handles the window's events (user input stays queued) until the lines
// waiting for the manager's answer are given, so that each comes before
// the next command; a manager silent for kAnswerWaitMs leaves them due.
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

// A manager following the desktop conventions carries out full screen
// itself and puts the frame back after; the program does not place the
// window meanwhile (a move would end the state). Without one the window
// covers the screen by its geometry. The normal rectangle stays the record.
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
