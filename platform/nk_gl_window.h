// platform/nk_gl_window.h -- a top-level window with an OpenGL context of its
// own, behind a header without Qt types.
//
// The plot's own window (plot/nk_plot_window.h) is made here: a window with a
// compatibility-profile context (24-bit colour, double-buffered unless
// single buffering is asked for) whose paint, resize and close events call
// back into the caller. Every call that makes the window's context current
// restores the context current before it.
#pragma once

struct NKGLWindow;

// The events of a window; each may be null. pUser is passed back.
struct NKGLWindowCallbacks {
    void (*pfnPaint)(void *pUser) = nullptr;  // context current, clear and draw
    void (*pfnResize)(void *pUser, int iWidth, int iHeight) = nullptr;  // client size
    void (*pfnClose)(void *pUser) = nullptr;  // the user asked to close it
    void *pUser = nullptr;
};

// Makes and shows a window titled pszTitle with a client area of width x
// height and its context. Null when the window or its context cannot be
// made (no display, no GL); nothing is left behind then.
NKGLWindow *NKCreateGLWindow(const char *pszTitle, int iWidth, int iHeight, bool bSingleBuffer,
                             const NKGLWindowCallbacks &callbacks);
// Closes the window and deletes its context; null is ignored. No callback
// runs from it.
void NKDestroyGLWindow(NKGLWindow *pWindow);

// The context handle (as NKGetCurrentGLContextHandle answers it) of the window.
void *NKGetGLWindowContextHandle(const NKGLWindow *pWindow);
// Paints at once: makes the context current, runs the paint callback, then
// finishes (single buffering) or swaps, and restores the context current
// before. False when the context cannot be made current.
bool NKPaintGLWindow(NKGLWindow *pWindow);
// Asks for a paint from the event loop.
void NKInvalidateGLWindow(NKGLWindow *pWindow);
// Client size in pixels, outer size (with the frame) when bOuter.
void NKGetGLWindowSize(const NKGLWindow *pWindow, bool bOuter, int *piWidth, int *piHeight);
// Resizes the client area (the resize callback follows from the event loop).
void NKResizeGLWindow(NKGLWindow *pWindow, int iWidth, int iHeight);
// The window's title; empty for null.
const char *NKGetGLWindowTitle(const NKGLWindow *pWindow);
// Delivers the close event as the window manager would.
void NKSendGLWindowClose(NKGLWindow *pWindow);
// Whether the window is shown on screen (a swap shows what was drawn).
bool NKIsGLWindowExposed(const NKGLWindow *pWindow);
