// platform/nk_normal_size_watch.cpp -- the normal size of a top-level
// window from its events in the X server's order (see
// nk_normal_size_watch.h).
#include "platform/nk_normal_size_watch.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>
#include <QObject>
#include <QSize>
#include <QTimer>

#include <xcb/xproto.h>

#include <deque>

#include "platform/nk_window_manager.h"

// X11 defines macros (None, Bool, Status) that Qt's headers also use, so
// its headers come after them.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

class NKNormalSizeWatch : public QAbstractNativeEventFilter {
public:
    NKNormalSizeWatch(Display *pDisplay, unsigned long uWindow, void (*pfnChanged)(void *),
                      void *pUser);
    ~NKNormalSizeWatch() override;
    NKNormalSizeWatch(const NKNormalSizeWatch &) = delete;
    NKNormalSizeWatch &operator=(const NKNormalSizeWatch &) = delete;

    bool nativeEventFilter(const QByteArray &type, void *pMessage, qintptr *) override;
    bool NormalSize(QSize *pSize) const;
    bool Settled(QSize *pSize) const;

private:
    // A reading of the state: the writes of the state seen before it and
    // what it found.
    struct Reading {
        int iStateWrites;
        NKWindowHold hold;
    };
    static constexpr int kUnknown = -1;

    void StateWritten(void);
    void MarkSeen(void);
    void Sized(int iWidth, int iHeight);
    void Settle(void);
    void ReadState(void);
    void Tell(void);
    static void ExtentsChanged(void *pWatch) { static_cast<NKNormalSizeWatch *>(pWatch)->Tell(); }

    Display *m_pDisplay;
    unsigned long m_uWindow, m_uStateAtom, m_uMarkAtom;
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
    NKFrameExtentsWatch *m_pExtents = nullptr;
    QObject m_Calls;  // calls still waiting go with the watch
};

NKNormalSizeWatch::NKNormalSizeWatch(Display *pDisplay, unsigned long uWindow,
                                     void (*pfnChanged)(void *), void *pUser)
    : m_pDisplay(pDisplay), m_uWindow(uWindow),
      m_uStateAtom(XInternAtom(pDisplay, "_NET_WM_STATE", False)),
      m_uMarkAtom(XInternAtom(pDisplay, "_QUOLIN_STATE_READ", False)), m_pfnChanged(pfnChanged),
      m_pUser(pUser)
{
    NKScreenRect frame, client;
    if (NKGetWindowFrame(uWindow, &frame, &client)) m_Size = QSize(client.iWidth, client.iHeight);
    // The program itself gave a window shown normal its size.
    if (NKGetWindowHold(uWindow) == NK_HELD_NORMAL) m_Normal = m_Size;
    QCoreApplication::instance()->installNativeEventFilter(this);
    m_pExtents = NKWatchFrameExtents(uWindow, ExtentsChanged, this);
    ReadState();
}

NKNormalSizeWatch::~NKNormalSizeWatch()
{
    NKEndFrameExtentsWatch(m_pExtents);
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

// The events come here in the server's order, before Qt handles them; the
// X requests they lead to wait for the event loop, so that none is made
// from inside Qt's reading.
bool NKNormalSizeWatch::nativeEventFilter(const QByteArray &type, void *pMessage, qintptr *)
{
    if (type != "xcb_generic_event_t") return false;
    const auto *pEvent = static_cast<const xcb_generic_event_t *>(pMessage);
    const int iKind = pEvent->response_type & 0x7f;
    const bool bSynthetic = (pEvent->response_type & 0x80) != 0;
    if (iKind == XCB_PROPERTY_NOTIFY) {
        const auto *pNotify = static_cast<const xcb_property_notify_event_t *>(pMessage);
        if (pNotify->window != m_uWindow) return false;
        if (pNotify->atom == m_uStateAtom) StateWritten();
        if (pNotify->atom == m_uMarkAtom) MarkSeen();
    } else if (iKind == XCB_CONFIGURE_NOTIFY && !bSynthetic) {
        const auto *pNotify = static_cast<const xcb_configure_notify_event_t *>(pMessage);
        if (pNotify->window == m_uWindow && pNotify->event == m_uWindow)
            Sized(pNotify->width, pNotify->height);
    }
    return false;
}

// A new stretch, its state unknown until a reading of it is marked. One
// that ended unknown with another size than the normal one may have been
// maximised (the program saw it too late to tell): its size is not taken
// as settled either.
void NKNormalSizeWatch::StateWritten(void)
{
    if (m_iHold == kUnknown && m_Size != m_Normal) m_Resized = m_Size;
    m_iStateWrites++;
    m_iHold = kUnknown;
    m_bSettled = false;
    if (!m_bReadDue) {
        m_bReadDue = true;
        QTimer::singleShot(0, &m_Calls, [this] { ReadState(); });
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
    if (m_iHold == NK_HELD_NORMAL) Settle();
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

// The state now, then the mark: an empty append to a property of the
// window's own, which the server notes as an event after every event of
// the window made before it.
void NKNormalSizeWatch::ReadState(void)
{
    m_bReadDue = false;
    m_Readings.push_back({m_iStateWrites, NKGetWindowHold(m_uWindow)});
    XChangeProperty(m_pDisplay, m_uWindow, m_uMarkAtom, XA_CARDINAL, 32, PropModeAppend, nullptr,
                    0);
    XFlush(m_pDisplay);
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

NKNormalSizeWatch *NKWatchNormalSize(unsigned long uWindow, void (*pfnChanged)(void *), void *pUser)
{
    Display *pDisplay = NKX11Display();
    if (pDisplay == nullptr || uWindow == 0 || pfnChanged == nullptr) return nullptr;
    return new NKNormalSizeWatch(pDisplay, uWindow, pfnChanged, pUser);
}

namespace {

bool GiveSize(bool bKnown, const QSize &size, int *piWidth, int *piHeight)
{
    *piWidth = size.width();
    *piHeight = size.height();
    return bKnown;
}

}  // namespace

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

void NKEndNormalSizeWatch(NKNormalSizeWatch *pWatch) { delete pWatch; }
