// platform/nk_gl_context.h -- OpenGL contexts without Qt types.
//
// The 3-D view makes its own context inside app/; this header serves code
// that needs a context with no window: off-screen rendering and tests. The
// context is a compatibility profile (OpenGL 1.1 immediate mode works) drawing
// into a framebuffer object of the given size, so glReadPixels reads what was
// drawn. A GUI application object must exist (NKEnsureGuiApplication).
#pragma once

struct NKGLContext;

// Makes the Qt GUI application object when none exists yet (it needs an X
// display, e.g. under xvfb-run). Answers false when no display is available.
bool NKEnsureGuiApplication(void);

// Makes a context with an off-screen colour+depth target of width x height
// and makes it current. NULL when no context can be made.
NKGLContext *NKCreateOffscreenGLContext(int iWidth, int iHeight);
bool NKMakeGLContextCurrent(NKGLContext *pContext);
void NKDestroyGLContext(NKGLContext *pContext);

// An opaque handle of the context current on this thread (the 3-D view's
// or an off-screen one); null when none is current. Display lists belong
// to the context that was current when they were made. A handle is a
// serial number, not an address: no two contexts of the process ever share
// one, even when a context is made where a destroyed one lay.
void *NKGetCurrentGLContextHandle(void);
// Whether the handle's context still exists; false for null and for a
// context that was destroyed.
bool NKIsGLContextHandleLive(void *hContext);

// Looks up an OpenGL extension entry point by name; NULL when unknown or when
// no context is current.
void *NKGetGLProcAddress(const char *pszName);

// Starts freeglut once per process so that its stroke fonts can be drawn,
// on the X display of the Qt application (else the one DISPLAY names).
// Answers false when no display is available (asked again later), and
// from then on when freeglut could not start there; nothing freeglut or
// the display does in the start ends the process.
bool NKInitStrokeFont(void);
// Why the stroke fonts cannot be drawn, in freeglut's words, once its
// start failed; null before and when it started.
const char *NKStrokeFontFailure(void);

// Makes the context of a handle from NKGetCurrentGLContextHandle current
// again (on the surface it was last current on); null releases the current
// context. False, with the current context kept, when it cannot be made
// current, also when the handle's context was destroyed.
bool NKMakeGLContextHandleCurrent(void *hContext);
