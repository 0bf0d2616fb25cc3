// app/nk_view_input.h -- the 3-D view's mouse and keyboard input turned
// into camera calls: g_InputState (render/nk_camera.h) is filled from the
// Qt events, a button press starts walk motion and, in study navigation,
// the study mouse motion (app/nk_study_mouse.h); a held navigation key
// starts walk motion, releasing the last button or key or the view losing
// the focus stops it; the wheel zooms; a right double click switches
// between study and walk.
//
// Held keys (navigation keys, Ctrl, Shift) are kept from the key events
// (press sets, release clears, repeats ignored), never asked of the
// keyboard; a mouse event's Ctrl and Shift add to them. While a button
// holds the mouse in the view, the view settings' bMouseDrag tells the
// camera that a drag is in progress and window timer 2 runs. A right
// button counts as none while rotation is disabled.
#pragma once

#include <cstdint>

class QFocusEvent;
class QKeyEvent;
class QMouseEvent;
class QWheelEvent;
class QWindow;

// The right button counts as no button (the navigate command's switch).
extern uint8_t g_bRotationDisabled;
// The view shows the name of the part under the cursor as a tooltip.
extern uint8_t g_bPartTooltips;

// Event handlers of the view window; the window passes itself for the
// device pixel ratio.
void NKViewMousePress(QWindow *pView, QMouseEvent *pEvent);
void NKViewMouseMove(QWindow *pView, QMouseEvent *pEvent);
void NKViewMouseRelease(QWindow *pView, QMouseEvent *pEvent);
void NKViewMouseDoubleClick(QWindow *pView, QMouseEvent *pEvent);
void NKViewWheel(QWheelEvent *pEvent);
void NKViewKeyPress(QKeyEvent *pEvent);
void NKViewKeyRelease(QKeyEvent *pEvent);
void NKViewFocusOut(void);
// The program has lost the keyboard: F2 counts as released.
void NKViewKeyboardLost(void);

// Keeps the held navigation keys, Ctrl and Shift from a key event of the
// main or view window (repeats ignored).
void NKRecordKeyEvent(QKeyEvent *pEvent, bool bPress);
// g_InputState's key bits from the held keys: Ctrl and Shift, and with
// bNavigationKeys the navigation keys while a window of the program has the
// focus.
void NKSampleHeldKeys(bool bNavigationKeys);
// Whether the mouse cursor is over the shown view.
bool NKIsCursorOverView(void);
// The view's timer 4 (every 200 ms): see the .cpp.
void NKViewTimerTick(int iTimerId);
constexpr int NK_VIEW_TIMER_ID = 4;
constexpr int NK_VIEW_TIMER_PERIOD_MS = 200;

// The NK_KEY_ bit of a Qt key (Qt::Key value), 0 for keys that do not
// navigate.
uint32_t NKNavigationKeyBit(int iQtKey);
// The NKInputState button code of Qt's held buttons: left and right
// together or middle 2, left 1, right 3, none 0.
uint32_t NKButtonCode(unsigned uQtButtons);
