// app/nk_view_window.cpp -- see nk_view_window.h.
#include "app/nk_view_window.h"

#include <GL/gl.h>

#include <QExposeEvent>
#include <QResizeEvent>
#include <QSurfaceFormat>

NKViewWindow::NKViewWindow()
{
    setSurfaceType(QSurface::OpenGLSurface);
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(8);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    setFormat(format);
}

NKViewWindow::~NKViewWindow() = default;

void NKViewWindow::Render()
{
    if (!isExposed()) return;
    if (!m_pContext) {
        m_pContext = std::make_unique<QOpenGLContext>(this);
        m_pContext->setFormat(requestedFormat());
        if (!m_pContext->create()) {
            m_pContext.reset();
            return;
        }
    }
    if (!m_pContext->makeCurrent(this)) return;
    const qreal ratio = devicePixelRatio();
    glViewport(0, 0, GLsizei(width() * ratio), GLsizei(height() * ratio));
    glClearColor(0.1f, 0.1f, 0.18f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    m_pContext->swapBuffers(this);
}

void NKViewWindow::exposeEvent(QExposeEvent *) { Render(); }

void NKViewWindow::resizeEvent(QResizeEvent *) { Render(); }
