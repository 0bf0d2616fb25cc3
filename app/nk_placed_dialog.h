// app/nk_placed_dialog.h -- a dialog that remembers where the user put it:
// after its first placement every move and resize is kept in a rectangle
// that outlives the dialog, so that the next one opens there again.
#pragma once

#include <QDialog>
#include <QRect>

// Where the user last put a dialog, kept after it closes: the frame's
// top-left corner and the client area's size (as NKPlaceTopLevel takes
// them).
struct NKDialogRect {
    QRect rect;
    bool bKnown = false;
};

class NKPlacedDialog : public QDialog {
public:
    NKPlacedDialog(QWidget *pParent, Qt::WindowFlags flags, NKDialogRect *pRemembered);
    // Shows the dialog where the user last put one, else at iAnchor (an
    // anchor of NKPlaceWindow); from then on moves and sizes are the user's.
    void PlaceAndShow(int iAnchor);

protected:
    void moveEvent(QMoveEvent *pEvent) override;
    void resizeEvent(QResizeEvent *pEvent) override;
    // The view is drawn again: it may show what the dialog marked.
    void closeEvent(QCloseEvent *pEvent) override;

private:
    void RememberRect(void);

    NKDialogRect *m_pRemembered;
    bool m_bPlaced = false;
};
