// app/nk_pick_feedback.cpp -- cursors, hit report, tool tip and title of
// the 3-D view (see nk_pick_feedback.h).
#include "app/nk_pick_feedback.h"

#include <QCursor>
#include <QGuiApplication>
#include <QWindow>

#include "app/nk_statusbar.h"
#include "app/nk_view_window.h"
#include "core/nk_frames.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_progress.h"
#include "platform/nk_platform.h"
#include "render/nk_camera.h"
#include "render/nk_navigation.h"
#include "tools/nk_pick_feedback.h"
#include "tools/nk_picking.h"

namespace {

// The shapes of codes 3 to 11, each distinct so that the shown shape
// tells the code back.
struct CursorShape {
    int iCode;
    Qt::CursorShape shape;
};
constexpr CursorShape kShapes[] = {
    {NK_CURSOR_STUDY_PAN, Qt::ClosedHandCursor}, {NK_CURSOR_STUDY_ROTATE, Qt::SizeAllCursor},
    {NK_CURSOR_STUDY_ZOOM, Qt::SizeVerCursor},   {NK_CURSOR_WALK, Qt::UpArrowCursor},
    {NK_CURSOR_WALK_LOOK, Qt::SizeFDiagCursor},  {NK_CURSOR_WALK_ROLL, Qt::SizeHorCursor},
    {NK_CURSOR_PICK_SELECT, Qt::CrossCursor},    {NK_CURSOR_PICK_TOGGLE, Qt::PointingHandCursor},
    {NK_CURSOR_PICK_BOTH, Qt::WhatsThisCursor}};

// Whether this file set the application's override wait cursor.
bool sg_bWaitShown = false;

bool HasModel(void) { return g_pModel != nullptr && NKModelHasGeometry(); }

}  // namespace

void NKShowInteractionCursor(int iCode)
{
    if (iCode == NK_CURSOR_WAIT) {
        if (!sg_bWaitShown && QGuiApplication::instance() != nullptr) {
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
            sg_bWaitShown = true;
        }
        return;
    }
    if (sg_bWaitShown) {
        QGuiApplication::restoreOverrideCursor();
        sg_bWaitShown = false;
    }
    Qt::CursorShape shape = Qt::ArrowCursor;
    for (const CursorShape &s : kShapes)
        if (s.iCode == iCode) shape = s.shape;
    QWindow *pView = NKGetViewWindow();
    if (pView != nullptr) pView->setCursor(QCursor(shape));
}

bool UpdateInteractionCursor(const NKInputState *pState)
{
    const int iCurrent = NKGetRememberedCursor();
    if (iCurrent == NK_CURSOR_WAIT) return false;
    const uint32_t uKeys = pState != nullptr ? pState->uKeys : 0u;
    const uint32_t uButtons = pState != nullptr ? pState->uButtons : 0u;
    const int iCode = NKChooseInteractionCursor(
        iCurrent, HasModel(), NKGetNavigationMode() == NK_NAVIGATION_STUDY, uKeys, uButtons);
    if (iCode != iCurrent) SetInteractionCursor(iCode);
    return true;
}

int GetInteractionCursor(bool bShown)
{
    if (!bShown) return NKGetRememberedCursor();
    const QCursor *pOverride = QGuiApplication::overrideCursor();
    if (pOverride != nullptr && pOverride->shape() == Qt::WaitCursor) return NK_CURSOR_WAIT;
    QWindow *pView = NKGetViewWindow();
    if (pView == nullptr) return NK_CURSOR_NORMAL;
    const Qt::CursorShape shape = pView->cursor().shape();
    for (const CursorShape &s : kShapes)
        if (s.shape == shape) return s.iCode;
    return NK_CURSOR_NORMAL;
}

bool ReportPickHit(const NKPickInfo *pPick)
{
    NKString line1, line2;
    if (!NKFormatPickHit(pPick, &line1, &line2)) {
        NKSetStatusText(line1.GetText());
        return true;
    }
    NKSetStatusbarPickText(line1.GetText(), line2.GetText());
    return true;
}

bool GetPartToolTip(NKString *pText, int x, int y)
{
    if (pText == nullptr) return false;
    *pText = NKString();
    if (g_pModel == nullptr || g_pModel->iNumFrames < 1) return true;
    NKPickInfo pick;
    *pText = NKFormatPartToolTip(NKPickPartAtPixel(x, y, &pick));
    ReportPickHit(&pick);
    return true;
}

int PickPartAtPixel(int x, int y) { return NKPickPartAtPixel(x, y); }

bool BuildWindowTitle(NKString *pTitle)
{
    if (pTitle == nullptr) return false;
    *pTitle = NKString::FromFormat("Brovik %s", NK_PRODUCT_NAME);
    return true;
}
