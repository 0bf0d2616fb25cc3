// app/nk_statusbar_progress.cpp -- the status bar's progress interface and
// its event pump (see nk_statusbar_progress.h).
#include "app/nk_statusbar_progress.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEvent>
#include <QMainWindow>
#include <QMouseEvent>
#include <QProgressBar>
#include <QWidget>
#include <QWindow>

#include "app/nk_main_window.h"
#include "app/nk_statusbar.h"
#include "platform/nk_progress_ui.h"

namespace {

bool IsInputEvent(QEvent::Type eType)
{
    switch (eType) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

// Mouse input for the Cancel button, sent to the button itself or, as the
// window system delivers it, to the main window's window at the button's
// place. A release also reaches a button that is held down.
bool IsForCancelButton(QObject *pTarget, QEvent *pEvent)
{
    auto *pCancel = qobject_cast<QAbstractButton *>(NKGetStatusbarCancelButton());
    QWidget *pMain = NKGetMainWindow();
    if (pCancel == nullptr || !pCancel->isVisible()) return false;
    if (pEvent->type() != QEvent::MouseButtonPress &&
        pEvent->type() != QEvent::MouseButtonRelease && pEvent->type() != QEvent::MouseMove)
        return false;
    if (pTarget == pCancel) return true;
    if (pEvent->type() == QEvent::MouseButtonRelease && pCancel->isDown()) return true;
    if (pMain == nullptr || pTarget != pMain->windowHandle()) return false;
    QPoint position = static_cast<QMouseEvent *>(pEvent)->position().toPoint();
    return pMain->childAt(position) == pCancel;
}

class PumpFilter : public QObject {
public:
    explicit PumpFilter(NKProgressUI *pUI) : m_pUI(pUI) {}

protected:
    bool eventFilter(QObject *pTarget, QEvent *pEvent) override
    {
        if (pEvent->type() == QEvent::Close && pTarget == NKGetMainWindow()) {
            m_pUI->RequestQuit(0);
            pEvent->ignore();
            return true;
        }
        return IsInputEvent(pEvent->type()) && !IsForCancelButton(pTarget, pEvent);
    }

private:
    NKProgressUI *m_pUI;
};

QProgressBar *ProgressBar(void)
{
    return qobject_cast<QProgressBar *>(NKGetStatusbarProgressBar());
}

class StatusbarProgressUI : public NKProgressUI {
public:
    bool HasStatusbar() const override { return NKGetStatusbarWindow() != nullptr; }
    bool SetStatusbarMode(unsigned int uFlags) override { return NKSetStatusbarMode(uFlags); }
    bool IsProgressBarShown() const override { return ProgressBar() != nullptr; }
    bool IsCancelButtonShown() const override { return NKGetStatusbarCancelButton() != nullptr; }
    void SetStatusText(const char *pszText) override { NKSetStatusbarText(pszText, 0); }
    // A range of 0 would make the bar an endless busy animation; it stays
    // an empty bar instead.
    void SetProgressRange(int iRange) override
    {
        if (QProgressBar *pBar = ProgressBar()) {
            pBar->setRange(0, iRange > 0 ? iRange : 1);
            pBar->setValue(0);
        }
    }
    void SetProgressPosition(int iPosition) override
    {
        if (QProgressBar *pBar = ProgressBar()) pBar->setValue(iPosition);
    }
    void PumpEvents() override
    {
        if (QCoreApplication::instance() == nullptr) return;
        PumpFilter filter(this);
        QCoreApplication::instance()->installEventFilter(&filter);
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::instance()->removeEventFilter(&filter);
    }
};

StatusbarProgressUI sg_UI;

}  // namespace

void NKInstallStatusbarProgressUI(bool bInstall) { NKSetProgressUI(bInstall ? &sg_UI : nullptr); }
