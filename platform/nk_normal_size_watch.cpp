// platform/nk_normal_size_watch.cpp -- the normal size of a top-level
// window from its events in the X server's order (see
// nk_normal_size_watch.h).
#include "platform/nk_normal_size_watch.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QObject>
#include <QSize>
#include <QSocketNotifier>
#include <QTimer>

#include <xcb/xcb.h>
#include <xcb/xproto.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <vector>

#include "platform/nk_window_manager.h"

// X11 defines macros (None, Bool, Status) that Qt's headers also use, so
// its headers come after them.
#include <X11/Xlib.h>

namespace {

xcb_atom_t Intern(xcb_connection_t *pConnection, const char *pszName)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(pConnection, 0, uint16_t(strlen(pszName)), pszName);
    xcb_intern_atom_reply_t *pReply = xcb_intern_atom_reply(pConnection, cookie, nullptr);
    const xcb_atom_t atom = pReply != nullptr ? pReply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(pReply);
    return atom;
}

// Qt's own connection to the X server, where Qt runs on X11.
xcb_connection_t *QtConnection(void)
{
    auto *pX11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                    : nullptr;
    return pX11 != nullptr ? pX11->connection() : nullptr;
}

}  // namespace

class NKNormalSizeWatch {
public:
    NKNormalSizeWatch(xcb_connection_t *pConnection, unsigned long uWindow,
                      void (*pfnChanged)(void *), void *pUser, const QSize &made);
    ~NKNormalSizeWatch();
    NKNormalSizeWatch(const NKNormalSizeWatch &) = delete;
    NKNormalSizeWatch &operator=(const NKNormalSizeWatch &) = delete;

    void CatchUp(void);
    bool NormalSize(QSize *pSize) const;
    bool Settled(QSize *pSize) const;
    void MarkAsked(NKAskedChange change);
    bool Answered(bool bPlace) const;
    bool Hold(NKWindowHold *pHold) const
    {
        *pHold = NKWindowHold(m_iHold == kUnknown ? NK_HELD_NORMAL : m_iHold);
        return m_iHold != kUnknown;
    }

private:
    // A reading of the state: the writes of the state seen before it and
    // what it found.
    struct Reading {
        int iStateWrites;
        NKWindowHold hold;
    };
    static constexpr int kUnknown = -1;

    void HandleEvents(bool bRead);
    void Handle(const xcb_generic_event_t *pEvent);
    void StateWritten(void);
    void MarkSeen(void);
    void AskExtents(xcb_connection_t *pQt);
    void AskedSeen(void);
    void Mapped(void);
    void Sized(int iWidth, int iHeight);
    void Settle(void);
    NKWindowHold ReadHold(void);
    void ReadState(void);
    bool RoundTrip(void);
    void Tell(void);

    xcb_connection_t *m_pConnection;
    unsigned long m_uWindow;
    xcb_atom_t m_StateAtom, m_MarkAtom, m_AskedAtom, m_MaxVertAtom, m_MaxHorzAtom, m_FullScreenAtom,
        m_HiddenAtom, m_ExtentsAtom, m_AskExtentsAtom;
    xcb_window_t m_Root = XCB_WINDOW_NONE;  // the root window of the window's screen
    void (*m_pfnChanged)(void *);
    void *m_pUser;
    int m_iStateWrites = 0;
    std::deque<Reading> m_Readings;  // those whose mark has not come yet
    int m_iHold = kUnknown;          // the stretch's state, an NKWindowHold once known
    bool m_bSettled = false;         // in a normal stretch: the size is settled
    QSize m_Size;                    // the client's size by the events seen
    QSize m_Resized;                 // its last size in a maximised or full-screen stretch
    QSize m_Normal;                  // the last settled normal size
    bool m_bReadDue = false, m_bTellDue = false;
    // The state asked for: the marks written and seen, the state, the
    // writes of the state seen at its mark, and whether the manager
    // answered since.
    int m_iStateAsked = 0, m_iStateAskedSeen = 0;
    bool m_bStateAnswered = true;
    NKWindowHold m_HoldAsked = NK_HELD_NORMAL;
    int m_iStateWritesAtAsk = 0;
    // Whether the window has been mapped (shown) since the watch began, and
    // whether a state was asked before that.
    bool m_bMapped = false, m_bAskedUnmapped = false;
    // The placement asked and the manager's answer, seen on Qt's connection
    // so that Qt has handled what the manager sent before it: the write of
    // frame extents asked right after for a new window of the watch's own
    // (a window each ask: a manager that quit answers none it had), or,
    // with a manager that takes no such asks, a synthetic notice of the
    // place numbered past a request made right after (uAfter). (Where asks
    // are taken, such a notice may be a late one for an earlier request.)
    struct PlaceAnswer : QAbstractNativeEventFilter {
        NKNormalSizeWatch *pWatch = nullptr;
        uint32_t uAfter = 0;
        bool bAnswered = true;
        // The windows whose extents were asked and not yet written, the
        // last one that of the last placement asked (with bByAsk).
        std::vector<xcb_window_t> askers;
        bool bByAsk = false;
        bool nativeEventFilter(const QByteArray &, void *pMessage, qintptr *) override;
    } m_PlaceAnswer;
    std::unique_ptr<QSocketNotifier> m_pNotifier;
    QObject m_Calls;  // calls still waiting go with the watch
};

NKNormalSizeWatch::NKNormalSizeWatch(xcb_connection_t *pConnection, unsigned long uWindow,
                                     void (*pfnChanged)(void *), void *pUser, const QSize &made)
    : m_pConnection(pConnection), m_uWindow(uWindow),
      m_StateAtom(Intern(pConnection, "_NET_WM_STATE")),
      m_MarkAtom(Intern(pConnection, "_QUOLIN_STATE_READ")),
      m_AskedAtom(Intern(pConnection, "_QUOLIN_CHANGE_ASKED")),
      m_MaxVertAtom(Intern(pConnection, "_NET_WM_STATE_MAXIMIZED_VERT")),
      m_MaxHorzAtom(Intern(pConnection, "_NET_WM_STATE_MAXIMIZED_HORZ")),
      m_FullScreenAtom(Intern(pConnection, "_NET_WM_STATE_FULLSCREEN")),
      m_HiddenAtom(Intern(pConnection, "_NET_WM_STATE_HIDDEN")),
      m_ExtentsAtom(Intern(pConnection, "_NET_FRAME_EXTENTS")),
      m_AskExtentsAtom(Intern(pConnection, "_NET_REQUEST_FRAME_EXTENTS")), m_pfnChanged(pfnChanged),
      m_pUser(pUser)
{
    // The events come from here on; what the window is like now is read
    // after, so that no change falls between.
    const uint32_t uMask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(pConnection, xcb_window_t(uWindow), XCB_CW_EVENT_MASK, &uMask);
    xcb_get_geometry_reply_t *pGeometry = xcb_get_geometry_reply(
        pConnection, xcb_get_geometry(pConnection, xcb_window_t(uWindow)), nullptr);
    if (pGeometry != nullptr) {
        m_Size = QSize(pGeometry->width, pGeometry->height);
        m_Root = pGeometry->root;
    }
    free(pGeometry);
    // Whether the window shows yet (a manager may not have taken it on).
    xcb_get_window_attributes_reply_t *pAttributes = xcb_get_window_attributes_reply(
        pConnection, xcb_get_window_attributes(pConnection, xcb_window_t(uWindow)), nullptr);
    m_bMapped = pAttributes != nullptr && pAttributes->map_state == XCB_MAP_STATE_VIEWABLE;
    free(pAttributes);
    // The normal size of a window shown normal is its own; one asked to
    // start maximised has the size it was made with.
    if (ReadHold() == NK_HELD_NORMAL)
        m_Normal = m_Size;
    else if (!made.isEmpty())
        m_Normal = made;
    m_pNotifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(pConnection),
                                                    QSocketNotifier::Read);
    QObject::connect(m_pNotifier.get(), &QSocketNotifier::activated, &m_Calls,
                     [this] { HandleEvents(false); });
    m_PlaceAnswer.pWatch = this;
    QCoreApplication::instance()->installNativeEventFilter(&m_PlaceAnswer);
    ReadState();
    HandleEvents(false);
}

NKNormalSizeWatch::~NKNormalSizeWatch()
{
    QCoreApplication::instance()->removeNativeEventFilter(&m_PlaceAnswer);
    if (xcb_connection_t *pQt = QtConnection()) {
        for (xcb_window_t asker : m_PlaceAnswer.askers) xcb_destroy_window(pQt, asker);
        xcb_flush(pQt);
    }
    m_pNotifier.reset();
    xcb_disconnect(m_pConnection);
}

// Every event the connection holds, in the server's order; bRead: the
// readings they call for are made at once instead of from the event loop.
void NKNormalSizeWatch::HandleEvents(bool bRead)
{
    for (;;) {
        while (xcb_generic_event_t *pEvent = xcb_poll_for_event(m_pConnection)) {
            Handle(pEvent);
            free(pEvent);
        }
        if (!bRead || !m_bReadDue) return;
        ReadState();
        if (!RoundTrip()) return;
    }
}

void NKNormalSizeWatch::Handle(const xcb_generic_event_t *pEvent)
{
    const int iKind = pEvent->response_type & 0x7f;
    const bool bSynthetic = (pEvent->response_type & 0x80) != 0;
    if (iKind == XCB_PROPERTY_NOTIFY) {
        const auto *pNotify = reinterpret_cast<const xcb_property_notify_event_t *>(pEvent);
        if (pNotify->window != m_uWindow) return;
        if (pNotify->atom == m_StateAtom) StateWritten();
        if (pNotify->atom == m_MarkAtom) MarkSeen();
        if (pNotify->atom == m_AskedAtom) AskedSeen();
        if (pNotify->atom == m_ExtentsAtom) Tell();  // the frame moves around the client
    } else if (iKind == XCB_MAP_NOTIFY) {
        const auto *pNotify = reinterpret_cast<const xcb_map_notify_event_t *>(pEvent);
        if (pNotify->window == m_uWindow) Mapped();
    } else if (iKind == XCB_CONFIGURE_NOTIFY && !bSynthetic) {
        const auto *pNotify = reinterpret_cast<const xcb_configure_notify_event_t *>(pEvent);
        if (pNotify->window == m_uWindow && pNotify->event == m_uWindow)
            Sized(pNotify->width, pNotify->height);
    }
}

// A new stretch, unknown until a reading of it is marked. One that ended
// unknown with another size than the normal one may have been maximised:
// its size does not settle a later one either.
void NKNormalSizeWatch::StateWritten(void)
{
    if (m_iHold == kUnknown && m_Size != m_Normal) m_Resized = m_Size;
    m_iStateWrites++;
    m_iHold = kUnknown;
    m_bSettled = false;
    if (!m_bReadDue) {
        m_bReadDue = true;
        QTimer::singleShot(0, &m_Calls, [this] {
            if (!m_bReadDue) return;  // a catch-up made it
            ReadState();
            HandleEvents(false);  // those the reading's round trip took in
        });
    }
}

// The reading stands for the stretch it was made in when no write of the
// state came between that stretch's start and its mark.
void NKNormalSizeWatch::MarkSeen(void)
{
    if (m_Readings.empty()) return;
    const Reading reading = m_Readings.front();
    m_Readings.pop_front();
    if (reading.iStateWrites != m_iStateWrites || m_iHold != kUnknown) return;
    m_iHold = reading.hold;
    if (m_iHold == NK_HELD_RESIZED) m_Resized = m_Size;
    if (m_iStateAskedSeen == m_iStateAsked && !m_bStateAnswered && !m_bAskedUnmapped &&
        m_iStateWrites > m_iStateWritesAtAsk && reading.hold == m_HoldAsked) {
        m_bStateAnswered = true;
        Tell();
    }
    if (m_iHold == NK_HELD_NORMAL) Settle();
}

// The mark of a state asked: from here on the manager's answer counts.
void NKNormalSizeWatch::AskedSeen(void)
{
    if (m_iStateAskedSeen == m_iStateAsked) return;
    m_iStateAskedSeen++;
    m_iStateWritesAtAsk = m_iStateWrites;
    m_bAskedUnmapped = !m_bMapped;
}

// A manager writes the state it finds on a window it takes on before it
// maps it, and carries out requests that came meanwhile after: a state
// asked before the map is not answered by a write before it.
void NKNormalSizeWatch::Mapped(void)
{
    m_bMapped = true;
    if (!m_bAskedUnmapped) return;
    m_bAskedUnmapped = false;
    if (m_iStateAskedSeen == m_iStateAsked && !m_bStateAnswered)
        m_iStateWritesAtAsk = m_iStateWrites;
}

// A state's mark goes before its request (the round trip has the server
// note it first); a placement's right after, on Qt's connection.
void NKNormalSizeWatch::MarkAsked(NKAskedChange change)
{
    if (change == NK_ASKED_PLACE) {
        xcb_connection_t *pQt = QtConnection();
        if (pQt == nullptr) return;
        m_PlaceAnswer.bAnswered = false;
        m_PlaceAnswer.bByAsk =
            m_Root != XCB_WINDOW_NONE && NKWindowManagerSupports("_NET_REQUEST_FRAME_EXTENTS");
        if (m_PlaceAnswer.bByAsk) {
            AskExtents(pQt);
            return;
        }
        const xcb_get_input_focus_cookie_t cookie = xcb_get_input_focus(pQt);
        xcb_discard_reply(pQt, cookie.sequence);
        m_PlaceAnswer.uAfter = cookie.sequence;
        return;
    }
    m_iStateAsked++;
    m_bStateAnswered = false;
    m_HoldAsked = change == NK_ASKED_NORMAL ? NK_HELD_NORMAL : NK_HELD_RESIZED;
    xcb_change_property(m_pConnection, XCB_PROP_MODE_APPEND, xcb_window_t(m_uWindow), m_AskedAtom,
                        XCB_ATOM_CARDINAL, 32, 0, nullptr);
    if (RoundTrip()) HandleEvents(false);
}

// Asks the manager for the frame extents of a new window never shown, as
// the desktop conventions ask them before a window shows.
void NKNormalSizeWatch::AskExtents(xcb_connection_t *pQt)
{
    const xcb_window_t asker = xcb_generate_id(pQt);
    const uint32_t uMask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(pQt, XCB_COPY_FROM_PARENT, asker, m_Root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                      &uMask);
    xcb_client_message_event_t ask = {};
    ask.response_type = XCB_CLIENT_MESSAGE;
    ask.format = 32;
    ask.window = asker;
    ask.type = m_AskExtentsAtom;
    xcb_send_event(pQt, 0, m_Root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&ask));
    xcb_flush(pQt);
    m_PlaceAnswer.askers.push_back(asker);
}

// The write of the extents asked last answers the placement; the windows
// of that ask and of those before it go (the manager answers in order).
// Otherwise a synthetic notice numbered past the placement does.
bool NKNormalSizeWatch::PlaceAnswer::nativeEventFilter(const QByteArray &, void *pMessage,
                                                       qintptr *)
{
    const auto *pEvent = static_cast<const xcb_generic_event_t *>(pMessage);
    if ((pEvent->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
        const auto *pNotify = reinterpret_cast<const xcb_property_notify_event_t *>(pEvent);
        const auto asker = std::find(askers.begin(), askers.end(), pNotify->window);
        if (asker == askers.end() || pNotify->atom != pWatch->m_ExtentsAtom) return false;
        const bool bLast = asker + 1 == askers.end();
        if (xcb_connection_t *pQt = QtConnection()) {
            for (auto gone = askers.begin(); gone <= asker; ++gone) xcb_destroy_window(pQt, *gone);
        }
        askers.erase(askers.begin(), asker + 1);
        if (bLast && bByAsk && !bAnswered) {
            bAnswered = true;
            pWatch->Tell();
        }
        return false;
    }
    if (bAnswered || bByAsk || pEvent->response_type != (XCB_CONFIGURE_NOTIFY | 0x80)) return false;
    const auto *pNotify = reinterpret_cast<const xcb_configure_notify_event_t *>(pEvent);
    if (pNotify->window != pWatch->m_uWindow || int32_t(pEvent->full_sequence - uAfter) <= 0)
        return false;
    bAnswered = true;
    pWatch->Tell();
    return false;
}

bool NKNormalSizeWatch::Answered(bool bPlace) const
{
    if (bPlace) return m_PlaceAnswer.bAnswered;
    return m_iStateAskedSeen == m_iStateAsked && m_bStateAnswered;
}

void NKNormalSizeWatch::Sized(int iWidth, int iHeight)
{
    m_Size = QSize(iWidth, iHeight);
    if (m_iHold == NK_HELD_RESIZED) m_Resized = m_Size;
    if (m_iHold == NK_HELD_NORMAL) Settle();
}

void NKNormalSizeWatch::Settle(void)
{
    bool bChanged = false;
    if (!m_bSettled && m_Size != m_Resized) m_bSettled = bChanged = true;
    if (m_bSettled && m_Normal != m_Size) {
        m_Normal = m_Size;
        bChanged = true;
    }
    if (bChanged) Tell();
}

// How the window's state holds it now (NKGetWindowHold's rule), read on
// the watch's connection.
NKWindowHold NKNormalSizeWatch::ReadHold(void)
{
    NKWindowHold hold = NK_HELD_NORMAL;
    xcb_get_property_reply_t *pReply =
        xcb_get_property_reply(m_pConnection,
                               xcb_get_property(m_pConnection, 0, xcb_window_t(m_uWindow),
                                                m_StateAtom, XCB_ATOM_ATOM, 0, 1024),
                               nullptr);
    if (pReply != nullptr && pReply->format == 32 && pReply->type == XCB_ATOM_ATOM) {
        const auto *pAtoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(pReply));
        const int iCount = xcb_get_property_value_length(pReply) / 4;
        for (int i = 0; i < iCount && hold != NK_HELD_RESIZED; i++) {
            if (pAtoms[i] == m_MaxVertAtom || pAtoms[i] == m_MaxHorzAtom ||
                pAtoms[i] == m_FullScreenAtom)
                hold = NK_HELD_RESIZED;
            else if (pAtoms[i] == m_HiddenAtom)
                hold = NK_HELD_HIDDEN;
        }
    }
    free(pReply);
    return hold;
}

// The state now, then the mark: an empty append to a property of the
// window's own, which the server notes as an event after every event of
// the window made before it.
void NKNormalSizeWatch::ReadState(void)
{
    m_bReadDue = false;
    m_Readings.push_back({m_iStateWrites, ReadHold()});
    xcb_change_property(m_pConnection, XCB_PROP_MODE_APPEND, xcb_window_t(m_uWindow), m_MarkAtom,
                        XCB_ATOM_CARDINAL, 32, 0, nullptr);
    xcb_flush(m_pConnection);
}

// Once the server has answered, every event it made before is in the
// connection's queue.
bool NKNormalSizeWatch::RoundTrip(void)
{
    xcb_get_input_focus_reply_t *pReply =
        xcb_get_input_focus_reply(m_pConnection, xcb_get_input_focus(m_pConnection), nullptr);
    const bool bAnswered = pReply != nullptr;
    free(pReply);
    return bAnswered;
}

void NKNormalSizeWatch::CatchUp(void)
{
    if (RoundTrip()) HandleEvents(true);
}

void NKNormalSizeWatch::Tell(void)
{
    if (m_bTellDue) return;
    m_bTellDue = true;
    QTimer::singleShot(0, &m_Calls, [this] {
        m_bTellDue = false;
        m_pfnChanged(m_pUser);
    });
}

bool NKNormalSizeWatch::NormalSize(QSize *pSize) const
{
    *pSize = m_Normal;
    return m_Normal.isValid();
}

bool NKNormalSizeWatch::Settled(QSize *pSize) const
{
    *pSize = m_Size;
    return m_iHold == NK_HELD_NORMAL && m_bSettled;
}

NKNormalSizeWatch *NKWatchNormalSize(unsigned long uWindow, void (*pfnChanged)(void *), void *pUser,
                                     int iWidth, int iHeight)
{
    Display *pDisplay = NKX11Display();
    if (pDisplay == nullptr || uWindow == 0 || pfnChanged == nullptr) return nullptr;
    xcb_connection_t *pConnection = xcb_connect(DisplayString(pDisplay), nullptr);
    if (xcb_connection_has_error(pConnection) != 0) {
        xcb_disconnect(pConnection);
        return nullptr;
    }
    return new NKNormalSizeWatch(pConnection, uWindow, pfnChanged, pUser, QSize(iWidth, iHeight));
}

namespace {

bool GiveSize(bool bKnown, const QSize &size, int *piWidth, int *piHeight)
{
    *piWidth = size.width();
    *piHeight = size.height();
    return bKnown;
}

}  // namespace

void NKCatchUpNormalSizeWatch(NKNormalSizeWatch *pWatch)
{
    if (pWatch != nullptr) pWatch->CatchUp();
}

bool NKWatchedNormalSize(const NKNormalSizeWatch *pWatch, int *piWidth, int *piHeight)
{
    QSize size;
    return pWatch != nullptr && GiveSize(pWatch->NormalSize(&size), size, piWidth, piHeight);
}

bool NKWatchedSizeSettled(const NKNormalSizeWatch *pWatch, int *piWidth, int *piHeight)
{
    QSize size;
    return pWatch != nullptr && GiveSize(pWatch->Settled(&size), size, piWidth, piHeight);
}

bool NKWatchedHold(const NKNormalSizeWatch *pWatch, NKWindowHold *pHold)
{
    return pWatch != nullptr && pWatch->Hold(pHold);
}

void NKMarkAsked(NKNormalSizeWatch *pWatch, NKAskedChange change)
{
    if (pWatch != nullptr) pWatch->MarkAsked(change);
}

bool NKAskedAnswered(const NKNormalSizeWatch *pWatch, bool bPlace)
{
    return pWatch == nullptr || pWatch->Answered(bPlace);
}

void NKEndNormalSizeWatch(NKNormalSizeWatch *pWatch) { delete pWatch; }
