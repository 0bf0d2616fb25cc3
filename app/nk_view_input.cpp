// app/nk_view_input.cpp -- the 3-D view's input (see nk_view_input.h).
#include "app/nk_view_input.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <QWheelEvent>
#include <QWindow>

#include "app/nk_animation_timer.h"
#include "app/nk_gl_menu.h"
#include "app/nk_main_window.h"
#include "app/nk_part_menu.h"
#include "app/nk_pick_feedback.h"
#include "app/nk_study_mouse.h"
#include "app/nk_toolbar.h"
#include "app/nk_view_window.h"
#include "app/nk_window_utils.h"
#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_frames.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_progress.h"
#include "core/nk_render_state.h"
#include "core/nk_shell_hooks.h"
#include "core/nk_view_state.h"
#include "platform/nk_window_timer.h"
#include "render/nk_camera.h"
#include "render/nk_navigation.h"
#include "render/nk_scene_view.h"
#include "render/nk_view_settings.h"
#include "tools/nk_manipulator.h"
#include "tools/nk_pick_feedback.h"
#include "tools/nk_picking.h"

uint8_t g_bRotationDisabled = 0;
uint8_t g_bPartTooltips = 0;

namespace {

constexpr uint32_t kNavigationKeys = NK_KEY_A | NK_KEY_Z | NK_KEY_X | NK_KEY_C | NK_KEY_UP |
                                     NK_KEY_DOWN | NK_KEY_LEFT | NK_KEY_RIGHT;
// Window timer 2 runs while a button holds the mouse in the view; nothing
// acts on its ticks.
constexpr int kMouseDragTimer = 2;
constexpr int kMouseDragPeriodMs = 100;

// NK_KEY_ bits of the navigation keys, Ctrl and Shift held, from the key
// events the windows received.
uint32_t sg_uHeldKeys = 0;

uint32_t ModifierBits(Qt::KeyboardModifiers mods)
{
    return ((mods & Qt::ControlModifier) ? NK_KEY_CTRL : 0u) |
           ((mods & Qt::ShiftModifier) ? NK_KEY_SHIFT : 0u);
}

uint32_t ModifierKeyBit(int iQtKey)
{
    if (iQtKey == Qt::Key_Control) return NK_KEY_CTRL;
    if (iQtKey == Qt::Key_F3) return NK_KEY_F3;
    return iQtKey == Qt::Key_Shift ? NK_KEY_SHIFT : 0u;
}

// Position (device pixels) and buttons of a mouse event; its Ctrl and Shift
// add to the key bits, which are not cleared first.
void SampleMouse(QWindow *pView, QMouseEvent *pEvent)
{
    const qreal dRatio = pView != nullptr ? pView->devicePixelRatio() : 1.0;
    const QPointF pos = pEvent->position() * dRatio;
    g_InputState.iX = int(pos.x());
    g_InputState.iY = int(pos.y());
    uint32_t uButtons = NKButtonCode(unsigned(pEvent->buttons()));
    if (uButtons == 3 && g_bRotationDisabled != 0) uButtons = 0;
    g_InputState.uButtons = uButtons;
    g_InputState.uKeys |= ModifierBits(pEvent->modifiers());
}

bool ShiftOrCtrl(void) { return (g_InputState.uKeys & (NK_KEY_CTRL | NK_KEY_SHIFT)) != 0; }

bool StudyMode(void) { return NKGetNavigationMode() == NK_NAVIGATION_STUDY; }

bool HasModel(void) { return g_pModel != nullptr && NKModelHasGeometry(); }

void StartWalk(void)
{
    NKStartWalkMotion(&g_InputState, NKViewWindowSize.iWidth, NKViewWindowSize.iHeight);
}

void NoDragTick(int) {}

// A press captures the mouse for the view until the last button is up.
void SetMouseCapture(bool bOn)
{
    if (g_pViewSettings != nullptr) g_pViewSettings->bMouseDrag = bOn ? 1 : 0;
    if (bOn) {
        NKStartWindowTimer(kMouseDragTimer, kMouseDragPeriodMs, NoDragTick);
    } else {
        NKStopWindowTimer(kMouseDragTimer);
    }
}

// ---- The in-view menu, operated while F2 is held --------------------------------

bool sg_bF2Held = false;
int sg_iMenuAnchorX = 0;
int sg_iMenuAnchorY = 0;

// The shown menu, after a Results Menu has followed the model.
NKGLMenu *ShownMenu(void)
{
    NKResultsMenuFollowModel();
    return g_pGLMenu != nullptr && g_pGLMenu->shown ? g_pGLMenu : nullptr;
}

int PickMenu(NKGLMenu *pMenu, bool bOpen)
{
    double adModelView[16];
    NKGLMenuModelView(pMenu, adModelView);
    return NKGLMenuPickAt(pMenu, adModelView, g_adSavedProjection, g_aiSavedViewport,
                          g_InputState.iX, g_InputState.iY, bOpen);
}

// A press with F2 held: an item under the mouse is pressed and its action
// run; elsewhere the press starts dragging the menu (left button in the
// view plane, right button in depth). True when the menu took the press.
bool PressMenu(Qt::MouseButton button)
{
    NKGLMenu *pMenu = sg_bF2Held ? ShownMenu() : nullptr;
    if (pMenu == nullptr) return false;
    const int iId = PickMenu(pMenu, true);
    if (iId >= 0) {
        if (NKGLMenuExecuteItem(pMenu, iId) && g_pGLMenu != nullptr)
            NKGLMenuUpdateResultsMenu(g_pGLMenu);
    } else {
        pMenu->movingInPlane = button == Qt::LeftButton ? 1 : 0;
        pMenu->movingInDepth = button == Qt::RightButton ? 1 : 0;
        sg_iMenuAnchorX = g_InputState.iX;
        sg_iMenuAnchorY = g_InputState.iY;
    }
    NKInvalidateView();
    return true;
}

float Clamp(float f, float fMin, float fMax) { return f < fMin ? fMin : (f > fMax ? fMax : f); }

// A move with F2 held: a drag moves the menu by the mouse movement times
// the offset's range over the view size; otherwise the item under the
// mouse is highlighted. True when the menu took the move.
bool MoveMenu(void)
{
    NKGLMenu *pMenu = sg_bF2Held ? ShownMenu() : nullptr;
    if (pMenu == nullptr) return false;
    const float fWidth = float(NKViewWindowSize.iWidth > 0 ? NKViewWindowSize.iWidth : 1);
    const float fHeight = float(NKViewWindowSize.iHeight > 0 ? NKViewWindowSize.iHeight : 1);
    const float dx = float(g_InputState.iX - sg_iMenuAnchorX);
    const float dy = float(g_InputState.iY - sg_iMenuAnchorY);
    sg_iMenuAnchorX = g_InputState.iX;
    sg_iMenuAnchorY = g_InputState.iY;
    if (pMenu->movingInPlane) {
        pMenu->offsetX = Clamp(pMenu->offsetX + dx * (pMenu->xMax - pMenu->xMin) / fWidth,
                               pMenu->xMin, pMenu->xMax);
        pMenu->offsetY = Clamp(pMenu->offsetY - dy * (pMenu->yMax - pMenu->yMin) / fHeight,
                               pMenu->yMin, pMenu->yMax);
    } else if (pMenu->movingInDepth) {
        pMenu->offsetZ = Clamp(pMenu->offsetZ + dy * (pMenu->zMax - pMenu->zMin) / fHeight,
                               pMenu->zMin, pMenu->zMax);
    } else {
        PickMenu(pMenu, false);
    }
    NKInvalidateView();
    return true;
}

void EndMenuDrag(void)
{
    if (g_pGLMenu != nullptr) g_pGLMenu->movingInPlane = g_pGLMenu->movingInDepth = 0;
}

// The part menu takes the mouse and the keys until it closes, so the
// view's release and key-up events never come: the press's capture ends
// and the held keys are forgotten before it opens.
void OpenPartMenu(QWindow *pView)
{
    SetMouseCapture(false);
    sg_uHeldKeys = 0;
    UpdateInteractionCursor(&g_InputState);
    ShowPartContextMenu(pView, g_InputState.iX, g_InputState.iY, NKGetCurrentGeometry());
}

// Shift or Ctrl with the left button picks (Ctrl toggles the picked part's
// highlight, Shift selects only it; parts are not picked while the model is
// not shown) and acts on the pick; the dialogs showing picks are refreshed
// and the view redrawn.
void PickAtMouse(bool bCtrl)
{
    NKSetPickTogglesHighlight(bCtrl);
    const bool bPartsOff = g_pViewSettings != nullptr && !g_pViewSettings->bShowModel;
    NKPickInfo pick;
    NKPickAtMouse(-1, NKPickInputOfSavedView(g_InputState.iX, g_InputState.iY), &pick, bPartsOff);
    NKHandlePickResult(&pick);
    ReportPickHit(&pick);
    NKRefreshPartAttributesDialog();
    RefreshInfoPropertySheet(5, false);
    NKRedrawView();
}

// Hover picks run only while a part of the current geometry is a hot spot:
// only hot spots are drawn by hover, and a pick over a large model costs
// tens of milliseconds. Entering or leaving a hot spot redraws.
void UpdateHoveredPart(void)
{
    if (g_pViewSettings == nullptr || !g_pViewSettings->bHotSpotHighlight ||
        !NKCurrentGeometryHasHotSpots())
        return;
    const int iOld = g_pViewSettings->iHoveredPart;
    const int iNew = PickPartAtPixel(g_InputState.iX, g_InputState.iY);
    if (iNew == iOld) return;
    g_pViewSettings->iHoveredPart = iNew;
    const NKGeometry *pGeo = NKGetFrameGeometry(NKGetCurrentFrame());
    auto isHotSpot = [pGeo](int i) {
        return pGeo != nullptr && i >= 0 && i < pGeo->iNumParts &&
               pGeo->pParts[i].hotSpot.bHasHotSpot != 0;
    };
    if (isHotSpot(iOld) || isHotSpot(iNew)) NKInvalidateView();
}

// The part tool tip of the tick: shown while the pointer rests over the
// view (where it was at the last tick) and no button is held; an empty text
// hides it. The second mouse move after it was shown takes it down and
// clears the status line its pick wrote.
QPoint sg_LastTickPos(-1, -1);
bool sg_bToolTipShown = false;
int sg_iMovesSinceToolTip = 0;

void PopPartToolTipOnMove(void)
{
    if (!sg_bToolTipShown || ++sg_iMovesSinceToolTip < 2) return;
    QToolTip::hideText();
    NKSetStatusText("");
    sg_bToolTipShown = false;
}

void UpdatePartToolTip(void)
{
    QWindow *pView = NKGetViewWindow();
    const QPoint global = QCursor::pos();
    const bool bResting = global == sg_LastTickPos;
    sg_LastTickPos = global;
    if (g_bPartTooltips == 0 || pView == nullptr || !bResting || g_InputState.uButtons != 0) return;
    const QPointF local = QPointF(pView->mapFromGlobal(global)) * pView->devicePixelRatio();
    NKString text;
    GetPartToolTip(&text, int(local.x()), int(local.y()));
    if (text.IsEmpty()) {
        QToolTip::hideText();
        return;
    }
    if (QToolTip::text() != QString::fromUtf8(text.GetText()) || !QToolTip::isVisible())
        QToolTip::showText(global, QString::fromUtf8(text.GetText()));
    sg_bToolTipShown = true;
    sg_iMovesSinceToolTip = 0;
}

// ---- The 3-D handles, dragged while F3 is held --------------------------------

bool F3Held(void) { return (sg_uHeldKeys & NK_KEY_F3) != 0; }

// The fixed overlay space's modelview (group 2) and the drawn view's
// projection as floats.
const float kOverlayModelView[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -2, 1};
void SavedProjection(float *pfOut)
{
    for (int i = 0; i < 16; i++) pfOut[i] = float(g_adSavedProjection[i]);
}

// A press starts the current handle's drag: of the overlay space, then of
// the scene (under the drawn view's modelview).
void BeginManipulatorDrag(void)
{
    if (g_pManipulatorList == nullptr) return;
    float afProjection[16];
    SavedProjection(afProjection);
    g_pManipulatorList->BeginDrag(&g_InputState, kOverlayModelView, afProjection, g_aiSavedViewport,
                                  2);
    g_pManipulatorList->BeginDrag(&g_InputState, g_afSavedModelView, afProjection,
                                  g_aiSavedViewport, 1);
}

// True when a move dragged a handle (the overlay space's first).
bool DragManipulators(void)
{
    if (g_pManipulatorList == nullptr) return false;
    float afProjection[16];
    SavedProjection(afProjection);
    return g_pManipulatorList->Drag(&g_InputState, kOverlayModelView, afProjection,
                                    g_aiSavedViewport, 2, true) ||
           g_pManipulatorList->Drag(&g_InputState, g_afSavedModelView, afProjection,
                                    g_aiSavedViewport, 1, true);
}

}  // namespace

uint32_t NKNavigationKeyBit(int iQtKey)
{
    static const struct {
        int iQtKey;
        uint32_t uBit;
    } kKeys[] = {{Qt::Key_Up, NK_KEY_UP},     {Qt::Key_Down, NK_KEY_DOWN},
                 {Qt::Key_Left, NK_KEY_LEFT}, {Qt::Key_Right, NK_KEY_RIGHT},
                 {Qt::Key_A, NK_KEY_A},       {Qt::Key_Z, NK_KEY_Z},
                 {Qt::Key_X, NK_KEY_X},       {Qt::Key_C, NK_KEY_C}};
    for (const auto &key : kKeys)
        if (key.iQtKey == iQtKey) return key.uBit;
    return 0;
}

uint32_t NKButtonCode(unsigned uQtButtons)
{
    const bool bLeft = (uQtButtons & Qt::LeftButton) != 0;
    const bool bRight = (uQtButtons & Qt::RightButton) != 0;
    if ((bLeft && bRight) || (uQtButtons & Qt::MiddleButton) != 0) return 2;
    if (bLeft) return 1;
    return bRight ? 3 : 0;
}

void NKRecordKeyEvent(QKeyEvent *pEvent, bool bPress)
{
    if (pEvent->isAutoRepeat()) return;
    if (pEvent->key() == Qt::Key_F2) sg_bF2Held = bPress;
    const uint32_t uBit = NKNavigationKeyBit(pEvent->key()) | ModifierKeyBit(pEvent->key());
    if (bPress) {
        sg_uHeldKeys |= uBit;
    } else {
        sg_uHeldKeys &= ~uBit;
    }
}

void NKSampleHeldKeys(bool bNavigationKeys)
{
    g_InputState.uKeys = sg_uHeldKeys & (NK_KEY_CTRL | NK_KEY_SHIFT | NK_KEY_F3);
    if (bNavigationKeys && QGuiApplication::focusWindow() != nullptr)
        g_InputState.uKeys |= sg_uHeldKeys & kNavigationKeys;
}

namespace {

// A key event of the view: it has the keyboard, whichever window the
// window system reports as focused.
void SampleKeysOfEvent(void) { g_InputState.uKeys = sg_uHeldKeys; }

}  // namespace

// Without Shift or Ctrl a press starts walk motion (with its timer in walk
// mode) and, in study mode, the study motion; Shift and Ctrl presses pick
// (left) or open the part menu (right).
void NKViewMousePress(QWindow *pView, QMouseEvent *pEvent)
{
    if (pView != nullptr) pView->requestActivate();
    SampleMouse(pView, pEvent);
    UpdateInteractionCursor(&g_InputState);
    SetMouseCapture(true);
    if (!HasModel()) return;
    if (!ShiftOrCtrl() && PressMenu(pEvent->button())) return;
    if (!ShiftOrCtrl()) {
        StartWalk();
        if (StudyMode()) NKStudyMouse(g_InputState.uButtons, g_InputState.iX, g_InputState.iY);
        if (F3Held()) BeginManipulatorDrag();
        return;
    }
    if (pEvent->button() == Qt::LeftButton) {
        PickAtMouse((pEvent->modifiers() & Qt::ControlModifier) != 0);
    } else if (pEvent->button() == Qt::RightButton) {
        OpenPartMenu(pView);
    }
    if (F3Held()) BeginManipulatorDrag();
}

// In study mode a move steps the study motion and, with a button held and
// neither Shift nor Ctrl, draws at once.
void NKViewMouseMove(QWindow *pView, QMouseEvent *pEvent)
{
    SampleMouse(pView, pEvent);
    if (g_bPartTooltips != 0) PopPartToolTipOnMove();
    if (!HasModel()) return;
    // A moved handle is drawn at once and the move does nothing else.
    if (F3Held() && DragManipulators()) {
        NKRedrawView();
        return;
    }
    if (MoveMenu()) return;
    UpdateHoveredPart();
    // Moving the camera would leave the culled polygons of the old view.
    if (g_InputState.uButtons != 0 && g_bHiddenCullingOn != 0) ExecuteCommand("nohp");
    if (!StudyMode()) return;
    NKStudyMouseMove(g_InputState.iX, g_InputState.iY);
    if (g_InputState.uButtons != 0 && !ShiftOrCtrl()) NKRedrawView();
}

// Releasing the last button frees the mouse and ends walk motion; the study
// motion goes on with the buttons still held.
void NKViewMouseRelease(QWindow *pView, QMouseEvent *pEvent)
{
    SampleMouse(pView, pEvent);
    UpdateInteractionCursor(&g_InputState);
    if (g_InputState.uButtons == 0) {
        SetMouseCapture(false);
        NKStopWalkMotion();
    }
    if (!HasModel()) return;
    if (g_pManipulatorList != nullptr) g_pManipulatorList->EndDrag();
    EndMenuDrag();
    // The last button up ends a study motion even when the mode changed
    // while it was held (a right double click switches to walk).
    if (StudyMode() || g_InputState.uButtons == 0)
        NKStudyMouse(g_InputState.uButtons, g_InputState.iX, g_InputState.iY);
    NKInvalidateView();
}

// A right double click with a model switches study and walk navigation.
void NKViewMouseDoubleClick(QWindow *pView, QMouseEvent *pEvent)
{
    SampleMouse(pView, pEvent);
    if (pEvent->button() != Qt::RightButton || !HasModel()) return;
    ExecuteCommand(StudyMode() ? "walk" : "study");
    NKUpdateToolbarButtons();
}

// A notch (120) moves the camera by 0.18 along the view axis at factor 1.
void NKViewWheel(QWheelEvent *pEvent)
{
    const float afMove[3] = {
        0.0f, 0.0f, float(pEvent->angleDelta().y()) * g_InputState.fMotionFactor * 0.0015f};
    NKApplyRotation(nullptr, afMove, g_ViewMatrix);
    NKInvalidateView();
}

// A held navigation key walks; while a command file waits, 'C' resumes it.
void NKViewKeyPress(QKeyEvent *pEvent)
{
    NKRecordKeyEvent(pEvent, true);
    SampleKeysOfEvent();
    if (NKIsCursorOverView()) UpdateInteractionCursor(&g_InputState);
    if (pEvent->key() == Qt::Key_C && !pEvent->isAutoRepeat() &&
        g_CommandRunner.bCommandFilePaused) {
        ExecuteCommand("resumefile");
    } else if ((g_InputState.uKeys & kNavigationKeys) != 0 && !pEvent->isAutoRepeat()) {
        StartWalk();
    }
    NKHandleWindowKey(pEvent->key());
}

void NKViewKeyRelease(QKeyEvent *pEvent)
{
    NKRecordKeyEvent(pEvent, false);
    if (pEvent->isAutoRepeat()) return;
    SampleKeysOfEvent();
    if (NKIsCursorOverView()) UpdateInteractionCursor(&g_InputState);
    if (NKNavigationKeyBit(pEvent->key()) == 0 || (g_InputState.uKeys & kNavigationKeys) != 0)
        return;
    NKStopWalkMotion();
    NKInvalidateView();
}

// Keys released elsewhere never reach the view: losing the focus forgets
// them and ends walk motion. F2 stays held while another window of the
// program has the keyboard (a click-to-focus window manager gives it back
// to the main window after each press in the view): that window records
// its release.
void NKViewFocusOut(void)
{
    sg_uHeldKeys = 0;
    if (QGuiApplication::focusWindow() == nullptr) sg_bF2Held = false;
    g_InputState.uKeys = 0;
    NKStopWalkMotion();
}

void NKViewKeyboardLost(void) { sg_bF2Held = false; }

bool NKIsCursorOverView(void)
{
    QWindow *pView = NKGetViewWindow();
    if (pView == nullptr || !pView->isExposed()) return false;
    const QPoint local = pView->mapFromGlobal(QCursor::pos());
    return QRect(QPoint(0, 0), pView->size()).contains(local);
}

// Timer 4: while the cursor is over the view, the cursor follows the keys,
// the part tool tip shows, and Ctrl or Shift held pauses a running
// animation, releasing both resumes it (not while the wait cursor shows).
void NKViewTimerTick(int)
{
    if (!NKIsCursorOverView()) {
        sg_LastTickPos = QPoint(-1, -1);
        return;
    }
    NKSampleHeldKeys(true);
    const bool bFree = UpdateInteractionCursor(&g_InputState);
    if (!HasModel()) return;
    UpdatePartToolTip();
    if (ShiftOrCtrl()) {
        NKSuspendAnimation(true);
    } else if (bFree) {
        NKSuspendAnimation(false);
    }
}
