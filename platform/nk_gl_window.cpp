// platform/nk_gl_window.cpp -- the top-level GL window on Qt 6 (see
// nk_gl_window.h): a QWindow with its own QOpenGLContext whose events call
// the caller's callbacks.
#include "platform/nk_gl_window.h"

#include <GL/gl.h>

#include <QCloseEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QOpenGLContext>
#include <QResizeEvent>
#include <QSurfaceFormat>
#include <QVariant>
#include <QWindow>

#include <memory>
#include <string>

#include "platform/nk_gl_context.h"
#include "platform/nk_gl_context_qt.h"

struct NKGLWindow : public QWindow {
    NKGLWindowCallbacks callbacks;
    std::unique_ptr<QOpenGLContext> context;
    std::string title;
    bool bSingleBuffer = false;
    bool bInCallback = false;  // a callback runs: destruction waits for the event loop

protected:
    bool event(QEvent *pEvent) override;
    void exposeEvent(QExposeEvent *) override;
    void resizeEvent(QResizeEvent *pEvent) override;
};

// The close request is the caller's: the window stays until it is destroyed.
bool NKGLWindow::event(QEvent *pEvent)
{
    if (pEvent->type() == QEvent::Close) {
        pEvent->ignore();
        if (callbacks.pfnClose != nullptr) {
            bInCallback = true;
            callbacks.pfnClose(callbacks.pUser);
            bInCallback = false;
        }
        return true;
    }
    if (pEvent->type() == QEvent::UpdateRequest) {
        NKPaintGLWindow(this);
        return true;
    }
    return QWindow::event(pEvent);
}

void NKGLWindow::exposeEvent(QExposeEvent *)
{
    if (isExposed()) NKPaintGLWindow(this);
}

void NKGLWindow::resizeEvent(QResizeEvent *pEvent)
{
    if (callbacks.pfnResize == nullptr) return;
    const qreal dRatio = devicePixelRatio();
    callbacks.pfnResize(callbacks.pUser, int(pEvent->size().width() * dRatio),
                        int(pEvent->size().height() * dRatio));
}

namespace {

QSurfaceFormat WindowFormat(bool bSingleBuffer)
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setSwapBehavior(bSingleBuffer ? QSurfaceFormat::SingleBuffer
                                         : QSurfaceFormat::DoubleBuffer);
    return format;
}

}  // namespace

NKGLWindow *NKCreateGLWindow(const char *pszTitle, int iWidth, int iHeight, bool bSingleBuffer,
                             const NKGLWindowCallbacks &callbacks)
{
    if (!NKEnsureGuiApplication()) return nullptr;
    auto pWindow = std::make_unique<NKGLWindow>();
    pWindow->title = pszTitle != nullptr ? pszTitle : "";
    pWindow->bSingleBuffer = bSingleBuffer;
    pWindow->setSurfaceType(QSurface::OpenGLSurface);
    pWindow->setFormat(WindowFormat(bSingleBuffer));
    pWindow->setTitle(QString::fromUtf8(pWindow->title.c_str()));
    pWindow->resize(iWidth > 0 ? iWidth : 1, iHeight > 0 ? iHeight : 1);
    pWindow->create();
    pWindow->context = std::make_unique<QOpenGLContext>();
    pWindow->context->setFormat(pWindow->requestedFormat());
    if (!pWindow->context->create()) return nullptr;
    // Remembered for NKMakeGLContextHandleCurrent: Qt forgets the surface
    // once the context is released.
    pWindow->context->setProperty(
        "nkSurface", QVariant::fromValue<void *>(static_cast<QSurface *>(pWindow.get())));
    void *hPrevious = NKGetCurrentGLContextHandle();
    bool bCurrent = pWindow->context->makeCurrent(pWindow.get());
    NKMakeGLContextHandleCurrent(hPrevious);
    if (!bCurrent) return nullptr;
    pWindow->callbacks = callbacks;
    pWindow->show();
    return pWindow.release();
}

void NKDestroyGLWindow(NKGLWindow *pWindow)
{
    if (pWindow == nullptr) return;
    pWindow->callbacks = NKGLWindowCallbacks();
    void *hPrevious = NKGetCurrentGLContextHandle();
    if (hPrevious == NKGetGLContextHandleOf(pWindow->context.get())) {
        pWindow->context->doneCurrent();
        hPrevious = nullptr;
    }
    pWindow->context.reset();
    NKMakeGLContextHandleCurrent(hPrevious);
    pWindow->hide();
    if (pWindow->bInCallback)
        pWindow->deleteLater();
    else
        delete pWindow;
}

void *NKGetGLWindowContextHandle(const NKGLWindow *pWindow)
{
    return pWindow != nullptr ? NKGetGLContextHandleOf(pWindow->context.get()) : nullptr;
}

bool NKPaintGLWindow(NKGLWindow *pWindow)
{
    if (pWindow == nullptr || pWindow->context == nullptr) return false;
    void *hPrevious = NKGetCurrentGLContextHandle();
    if (!pWindow->context->makeCurrent(pWindow)) return false;
    if (pWindow->callbacks.pfnPaint != nullptr)
        pWindow->callbacks.pfnPaint(pWindow->callbacks.pUser);
    if (pWindow->bSingleBuffer)
        glFinish();
    else if (pWindow->isExposed())
        pWindow->context->swapBuffers(pWindow);
    if (hPrevious != NKGetGLContextHandleOf(pWindow->context.get()))
        NKMakeGLContextHandleCurrent(hPrevious);
    return true;
}

void NKInvalidateGLWindow(NKGLWindow *pWindow)
{
    if (pWindow != nullptr) pWindow->requestUpdate();
}

void NKGetGLWindowSize(const NKGLWindow *pWindow, bool bOuter, int *piWidth, int *piHeight)
{
    int w = 0, h = 0;
    if (pWindow != nullptr) {
        const qreal dRatio = pWindow->devicePixelRatio();
        QSize size = bOuter ? pWindow->frameGeometry().size() : pWindow->size();
        w = int(size.width() * dRatio);
        h = int(size.height() * dRatio);
    }
    if (piWidth != nullptr) *piWidth = w;
    if (piHeight != nullptr) *piHeight = h;
}

void NKResizeGLWindow(NKGLWindow *pWindow, int iWidth, int iHeight)
{
    if (pWindow != nullptr) pWindow->resize(iWidth, iHeight);
}

const char *NKGetGLWindowTitle(const NKGLWindow *pWindow)
{
    return pWindow != nullptr ? pWindow->title.c_str() : "";
}

void NKSendGLWindowClose(NKGLWindow *pWindow)
{
    if (pWindow == nullptr) return;
    QCloseEvent event;
    QCoreApplication::sendEvent(pWindow, &event);
}

bool NKIsGLWindowExposed(const NKGLWindow *pWindow)
{
    return pWindow != nullptr && pWindow->isExposed();
}
