// app/nk_view_input.h -- the 3-D view's mouse and keyboard input turned
// into camera calls: g_InputState (render/nk_camera.h) is filled from the
// Qt events, a button press starts walk motion and, in study navigation,
// the study mouse motion (app/nk_study_mouse.h); a held navigation key
// starts walk motion, releasing the last button or key or the view losing
// the focus stops it; the wheel zooms; a right double click switches
// between study and walk.
//
// Held navigation keys are kept from the key events (press sets, release
// clears, repeats ignored); Ctrl and Shift come from each event's
// modifiers. While a button is held in the view, the view settings'
// bMouseDrag tells the camera that a drag is in progress.
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

// The NK_KEY_ bit of a Qt key (Qt::Key value), 0 for keys that do not
// navigate.
uint32_t NKNavigationKeyBit(int iQtKey);
// The NKInputState button code of Qt's held buttons: left and right
// together or middle 2, left 1, right 3, none 0.
uint32_t NKButtonCode(unsigned uQtButtons);
