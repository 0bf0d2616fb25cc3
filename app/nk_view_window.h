// app/nk_view_window.h -- the 3-D view: a window with its own OpenGL
// context, embedded in the main window.
//
// Making the view chooses its pixel format and makes its context
// (app/nk_render_context.h) from g_iPixelFormatRequest and
// g_iDepthBitsRequest, then sets the projection and detects the renderer.
// A paint clears the view-invalidated flag and draws the scene
// (NKDrawScene, core/nk_load_hooks.h) over the background colour; a resize
// keeps NKViewWindowSize, the viewport and the projection up to date.
// Mouse, wheel, key and focus events go to the camera through
// app/nk_view_input.h.
// NKInvalidateView asks for a paint through the event loop, NKRedrawView
// paints at once: NKFillViewWindowHooks puts them behind their core slots.
#pragma once

class QWidget;
class QWindow;
struct NKDeviceContext;
struct NKModelHooks;
struct NKRenderContext;
struct NKShellHooks;

// Makes the view window (not yet shown or embedded) with its context, which
// is left current. Null, with nothing made, when no context can be made.
QWindow *NKCreateViewWindow(void);
// The view takes each size the layout gives pContainer, the widget that
// embeds it, as the layout gives it, without waiting for the display to
// answer with the view window's own resize event: NKViewWindowSize, the
// viewport and the projection are those of the view as laid out.
void NKFollowViewContainer(QWidget *pContainer);
// Lays out the window that embeds the view at once, where a bar around it
// came or went: Qt would lay it out once the event loop gets to it, and a
// command file run before the loop (or the next line of any file) would
// see the view's size from before.
void NKLayOutViewNow(void);
// The view of the main window (app/nk_main_window.h) while it exists, else
// null.
QWindow *NKGetViewWindow(void);
// The view's device context and OpenGL context while they exist, else null.
NKDeviceContext *NKGetViewDC(void);
NKRenderContext *NKGetViewRenderContext(void);
// Makes the view's context current; false without one.
bool NKMakeViewCurrent(void);

void NKFillViewWindowHooks(NKShellHooks *pShellHooks, NKModelHooks *pModelHooks);
