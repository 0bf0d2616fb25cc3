// app/nk_placed_dialog.cpp -- the dialog that remembers where the user put it.
#include "app/nk_placed_dialog.h"

#include "app/nk_window_utils.h"
#include "core/nk_model_hooks.h"

NKPlacedDialog::NKPlacedDialog(QWidget *pParent, Qt::WindowFlags flags, NKDialogRect *pRemembered)
    : QDialog(pParent, flags), m_pRemembered(pRemembered)
{}

void NKPlacedDialog::PlaceAndShow(int iAnchor)
{
    if (m_pRemembered->bKnown) {
        const QRect &r = m_pRemembered->rect;
        NKPlaceTopLevel(this, r.x(), r.y(), r.width(), r.height());
    } else {
        NKPlaceWindow(this, iAnchor, nullptr, 0, 0);
    }
    show();
    m_bPlaced = true;
}

void NKPlacedDialog::RememberRect(void)
{
    if (!m_bPlaced || !isVisible()) return;
    m_pRemembered->rect = QRect(pos(), size());  // a window's position is its frame's
    m_pRemembered->bKnown = true;
}

void NKPlacedDialog::moveEvent(QMoveEvent *pEvent)
{
    QDialog::moveEvent(pEvent);
    RememberRect();
}

void NKPlacedDialog::resizeEvent(QResizeEvent *pEvent)
{
    QDialog::resizeEvent(pEvent);
    RememberRect();
}

void NKPlacedDialog::closeEvent(QCloseEvent *pEvent)
{
    QDialog::closeEvent(pEvent);
    NKInvalidateView();
}
