// tests/test_support/x11_events_so_far.h -- lets Qt handle the events of a
// window of the X display made until now, in the tests that play or hold
// a window manager.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>

#include <xcb/xcb.h>
#include <xcb/xproto.h>

#include <cstdlib>
#include <cstring>

#include "tests/test_support/test_wait.h"

// Writes a property on the window uWindow on Qt's own connection, which
// the X server notes after every event of the window it made before, and
// waits until Qt's connection has passed its notice on: Qt has handled
// each of those events then. False where the notice never came (or Qt runs
// on no X display).
inline bool NKTestQtHandledEventsSoFar(unsigned long uWindow)
{
    auto *pX11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                    : nullptr;
    xcb_connection_t *pQt = pX11 != nullptr ? pX11->connection() : nullptr;
    if (pQt == nullptr) return false;
    static const char szName[] = "_QUOLIN_TEST_MARK";
    xcb_intern_atom_reply_t *pAtom = xcb_intern_atom_reply(
        pQt, xcb_intern_atom(pQt, 0, uint16_t(strlen(szName)), szName), nullptr);
    if (pAtom == nullptr) return false;
    struct Mark : QAbstractNativeEventFilter {
        unsigned long uWindow = 0, uAtom = 0;
        bool bSeen = false;
        bool nativeEventFilter(const QByteArray &, void *pMessage, qintptr *) override
        {
            const auto *pEvent = static_cast<const xcb_property_notify_event_t *>(pMessage);
            bSeen = bSeen || ((pEvent->response_type & 0x7f) == XCB_PROPERTY_NOTIFY &&
                              pEvent->window == uWindow && pEvent->atom == uAtom);
            return false;
        }
    } mark;
    mark.uWindow = uWindow;
    mark.uAtom = pAtom->atom;
    free(pAtom);
    QCoreApplication::instance()->installNativeEventFilter(&mark);
    xcb_change_property(pQt, XCB_PROP_MODE_REPLACE, xcb_window_t(uWindow), xcb_atom_t(mark.uAtom),
                        XCB_ATOM_CARDINAL, 32, 0, nullptr);
    xcb_flush(pQt);
    const bool bSeen = NKTestWaitFor([&mark] { return mark.bSeen; }, "the window's events");
    QCoreApplication::instance()->removeNativeEventFilter(&mark);
    return bSeen;
}
