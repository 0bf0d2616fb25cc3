// app/nk_view_input.cpp -- the 3-D view's input (see nk_view_input.h).
#include "app/nk_view_input.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWindow>

#include "app/nk_study_mouse.h"
#include "commands/nk_command.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_shell_hooks.h"
#include "core/nk_view_state.h"
#include "render/nk_camera.h"
#include "render/nk_navigation.h"
#include "render/nk_view_settings.h"

uint8_t g_bRotationDisabled = 0;
uint8_t g_bPartTooltips = 0;

namespace {

constexpr uint32_t kNavigationKeys = NK_KEY_A | NK_KEY_Z | NK_KEY_X | NK_KEY_C | NK_KEY_UP |
                                     NK_KEY_DOWN | NK_KEY_LEFT | NK_KEY_RIGHT;

uint32_t sg_uHeldKeys = 0;  // NK_KEY_ bits of the navigation keys held

uint32_t ModifierBits(Qt::KeyboardModifiers mods)
{
    return ((mods & Qt::ControlModifier) ? NK_KEY_CTRL : 0u) |
           ((mods & Qt::ShiftModifier) ? NK_KEY_SHIFT : 0u);
}

void SetKeys(Qt::KeyboardModifiers mods) { g_InputState.uKeys = ModifierBits(mods) | sg_uHeldKeys; }

// Position (device pixels), buttons and modifiers of a mouse event.
void SampleMouse(QWindow *pView, QMouseEvent *pEvent)
{
    const qreal dRatio = pView != nullptr ? pView->devicePixelRatio() : 1.0;
    const QPointF pos = pEvent->position() * dRatio;
    g_InputState.iX = int(pos.x());
    g_InputState.iY = int(pos.y());
    g_InputState.uButtons = NKButtonCode(unsigned(pEvent->buttons()));
    SetKeys(pEvent->modifiers());
}

bool ShiftOrCtrl(void) { return (g_InputState.uKeys & (NK_KEY_CTRL | NK_KEY_SHIFT)) != 0; }

bool StudyMode(void) { return NKGetNavigationMode() == NK_NAVIGATION_STUDY; }

void SetMouseDrag(bool bOn)
{
    if (g_pViewSettings != nullptr) g_pViewSettings->bMouseDrag = bOn ? 1 : 0;
}

void StartWalk(void)
{
    NKStartWalkMotion(&g_InputState, NKViewWindowSize.iWidth, NKViewWindowSize.iHeight);
}

}  // namespace

uint32_t NKNavigationKeyBit(int iQtKey)
{
    switch (iQtKey) {
    case Qt::Key_Up:
        return NK_KEY_UP;
    case Qt::Key_Down:
        return NK_KEY_DOWN;
    case Qt::Key_Left:
        return NK_KEY_LEFT;
    case Qt::Key_Right:
        return NK_KEY_RIGHT;
    case Qt::Key_A:
        return NK_KEY_A;
    case Qt::Key_Z:
        return NK_KEY_Z;
    case Qt::Key_X:
        return NK_KEY_X;
    case Qt::Key_C:
        return NK_KEY_C;
    default:
        return 0;
    }
}

uint32_t NKButtonCode(unsigned uQtButtons)
{
    const bool bLeft = (uQtButtons & Qt::LeftButton) != 0;
    const bool bRight = (uQtButtons & Qt::RightButton) != 0;
    if ((bLeft && bRight) || (uQtButtons & Qt::MiddleButton) != 0) return 2;
    if (bLeft) return 1;
    return bRight ? 3 : 0;
}

// Without Shift or Ctrl a press starts walk motion (with its timer in walk
// mode) and, in study mode, the study motion; Shift and Ctrl presses are
// the pick's and the context menu's.
void NKViewMousePress(QWindow *pView, QMouseEvent *pEvent)
{
    SampleMouse(pView, pEvent);
    if (g_pModel == nullptr || ShiftOrCtrl()) return;
    StartWalk();
    if (!StudyMode()) return;
    SetMouseDrag(true);
    NKStudyMouse(g_InputState.uButtons, g_InputState.iX, g_InputState.iY);
}

// In study mode a move steps the study motion and, with a button held and
// neither Shift nor Ctrl, draws at once.
void NKViewMouseMove(QWindow *pView, QMouseEvent *pEvent)
{
    SampleMouse(pView, pEvent);
    if (g_pModel == nullptr || !StudyMode()) return;
    NKStudyMouseMove(g_InputState.iX, g_InputState.iY);
    if (g_InputState.uButtons != 0 && !ShiftOrCtrl()) NKRedrawView();
}

// Releasing the last button ends walk motion and the drag; the study
// motion goes on with the buttons still held.
void NKViewMouseRelease(QWindow *pView, QMouseEvent *pEvent)
{
    SampleMouse(pView, pEvent);
    if (g_InputState.uButtons == 0) {
        NKStopWalkMotion();
        SetMouseDrag(false);
    }
    if (g_pModel == nullptr) return;
    if (StudyMode()) NKStudyMouse(g_InputState.uButtons, g_InputState.iX, g_InputState.iY);
    NKInvalidateView();
}

// A right double click with a model switches study and walk navigation.
void NKViewMouseDoubleClick(QWindow *pView, QMouseEvent *pEvent)
{
    SampleMouse(pView, pEvent);
    if (pEvent->button() != Qt::RightButton || g_pModel == nullptr) return;
    ExecuteCommand(StudyMode() ? "walk" : "study");
}

// A notch (120) moves the camera by 0.18 along the view axis at factor 1.
void NKViewWheel(QWheelEvent *pEvent)
{
    const float afMove[3] = {
        0.0f, 0.0f, float(pEvent->angleDelta().y()) * g_InputState.fMotionFactor * 0.0015f};
    NKApplyRotation(nullptr, afMove, g_ViewMatrix);
    NKInvalidateView();
}

void NKViewKeyPress(QKeyEvent *pEvent)
{
    const uint32_t uBit = NKNavigationKeyBit(pEvent->key());
    sg_uHeldKeys |= uBit;
    SetKeys(pEvent->modifiers());
    if (uBit != 0 && !pEvent->isAutoRepeat()) StartWalk();
}

void NKViewKeyRelease(QKeyEvent *pEvent)
{
    if (pEvent->isAutoRepeat()) return;
    sg_uHeldKeys &= ~NKNavigationKeyBit(pEvent->key());
    SetKeys(pEvent->modifiers());
    if (NKNavigationKeyBit(pEvent->key()) == 0 || (sg_uHeldKeys & kNavigationKeys) != 0) return;
    NKStopWalkMotion();
    NKInvalidateView();
}

// Keys released elsewhere never reach the view: losing the focus forgets
// them and ends walk motion.
void NKViewFocusOut(void)
{
    sg_uHeldKeys = 0;
    g_InputState.uKeys = 0;
    NKStopWalkMotion();
}
