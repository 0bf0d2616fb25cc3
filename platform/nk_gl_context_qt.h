// platform/nk_gl_context_qt.h -- the context handle of a Qt context, for
// the platform and shell code that makes its own QOpenGLContext (the plot
// window, the 3-D view) and hands its handle to code without Qt types.
#pragma once

class QOpenGLContext;

// The handle of pContext as NKGetCurrentGLContextHandle (nk_gl_context.h)
// answers it while the context is current; null for null. The context
// need not be current.
void *NKGetGLContextHandleOf(QOpenGLContext *pContext);
