// platform/nk_key_filter.cpp -- Esc and Space for the command-file runner
// (see nk_key_filter.h), on a Qt event filter installed on the application
// object while a watch is open. All on the user-interface thread.
#include "platform/nk_key_filter.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QObject>

namespace {

bool sg_bPressed[NK_FILTER_KEY_COUNT] = {false, false};
int sg_iWatchDepth = 0;

bool IsHeldBackInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

class KeyWatcher : public QObject {
public:
    bool eventFilter(QObject *pWatched, QEvent *pEvent) override
    {
        if (pEvent->type() == QEvent::KeyPress) {
            const QKeyEvent *pKey = static_cast<const QKeyEvent *>(pEvent);
            if (pKey->key() == Qt::Key_Escape) sg_bPressed[NK_FILTER_KEY_ESCAPE] = true;
            if (pKey->key() == Qt::Key_Space) sg_bPressed[NK_FILTER_KEY_SPACE] = true;
        }
        if (IsHeldBackInput(pEvent->type())) return true;
        return QObject::eventFilter(pWatched, pEvent);
    }
};

KeyWatcher *sg_pWatcher = nullptr;

}  // namespace

void NKKeyFilterBegin(void)
{
    if (sg_iWatchDepth++ > 0) return;
    sg_bPressed[NK_FILTER_KEY_ESCAPE] = false;
    sg_bPressed[NK_FILTER_KEY_SPACE] = false;
    QCoreApplication *pApp = QCoreApplication::instance();
    if (pApp == nullptr) return;
    if (sg_pWatcher == nullptr) sg_pWatcher = new KeyWatcher;
    pApp->installEventFilter(sg_pWatcher);
}

void NKKeyFilterEnd(void)
{
    if (sg_iWatchDepth == 0) return;
    if (--sg_iWatchDepth > 0) return;
    QCoreApplication *pApp = QCoreApplication::instance();
    if (pApp != nullptr && sg_pWatcher != nullptr) pApp->removeEventFilter(sg_pWatcher);
}

bool NKKeyFilterIsWatching(void) { return sg_iWatchDepth > 0; }

bool NKKeyFilterWasPressed(int iKey)
{
    if (iKey < 0 || iKey >= NK_FILTER_KEY_COUNT) return false;
    bool bPressed = sg_bPressed[iKey];
    sg_bPressed[iKey] = false;
    return bPressed;
}

void NKKeyFilterProcessEvents(void)
{
    if (QCoreApplication::instance() == nullptr) return;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void NKKeyFilterSimulatePress(int iKey)
{
    if (iKey >= 0 && iKey < NK_FILTER_KEY_COUNT) sg_bPressed[iKey] = true;
}
