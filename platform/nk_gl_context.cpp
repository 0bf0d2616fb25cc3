// platform/nk_gl_context.cpp -- off-screen OpenGL contexts on Qt 6 and the
// once-only freeglut initialisation (see nk_gl_context.h).
#include "platform/nk_gl_context.h"

#include <GL/freeglut.h>

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QSurfaceFormat>
#include <QVariant>

#include <clocale>
#include <cstdlib>
#include <memory>

struct NKGLContext {
    std::unique_ptr<QOffscreenSurface> surface;
    std::unique_ptr<QOpenGLContext> context;
    std::unique_ptr<QOpenGLFramebufferObject> fbo;
};

static bool HasDisplay(void)
{
    const char *pszDisplay = std::getenv("DISPLAY");
    return pszDisplay != nullptr && pszDisplay[0] != '\0';
}

bool NKEnsureGuiApplication(void)
{
    if (QCoreApplication::instance() != nullptr) return true;
    if (!HasDisplay()) return false;
    static int argc = 1;
    static char arg0[] = "quolin";
    static char *argv[] = {arg0, nullptr};
    new QGuiApplication(argc, argv);  // lives until the process ends
    std::setlocale(LC_NUMERIC, "C");  // Qt switches to the user's locale
    return true;
}

NKGLContext *NKCreateOffscreenGLContext(int iWidth, int iHeight)
{
    if (iWidth <= 0 || iHeight <= 0 || !NKEnsureGuiApplication()) return nullptr;
    auto pContext = std::make_unique<NKGLContext>();

    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(8);

    pContext->surface = std::make_unique<QOffscreenSurface>();
    pContext->surface->setFormat(format);
    pContext->surface->create();
    pContext->context = std::make_unique<QOpenGLContext>();
    pContext->context->setFormat(format);
    if (!pContext->context->create()) return nullptr;
    if (!pContext->context->makeCurrent(pContext->surface.get())) return nullptr;
    // Remembered for NKMakeGLContextHandleCurrent: Qt forgets the surface
    // once the context is released.
    pContext->context->setProperty(
        "nkSurface", QVariant::fromValue<void *>(static_cast<QSurface *>(pContext->surface.get())));

    pContext->fbo = std::make_unique<QOpenGLFramebufferObject>(
        iWidth, iHeight, QOpenGLFramebufferObject::CombinedDepthStencil);
    if (!pContext->fbo->isValid() || !pContext->fbo->bind()) return nullptr;
    return pContext.release();
}

bool NKMakeGLContextCurrent(NKGLContext *pContext)
{
    if (pContext == nullptr) return false;
    if (!pContext->context->makeCurrent(pContext->surface.get())) return false;
    return pContext->fbo->bind();
}

void NKDestroyGLContext(NKGLContext *pContext)
{
    if (pContext == nullptr) return;
    pContext->context->makeCurrent(pContext->surface.get());
    pContext->fbo.reset();
    pContext->context->doneCurrent();
    delete pContext;
}

void *NKGetCurrentGLContextHandle(void) { return QOpenGLContext::currentContext(); }

bool NKMakeGLContextHandleCurrent(void *hContext)
{
    QOpenGLContext *pContext = static_cast<QOpenGLContext *>(hContext);
    QOpenGLContext *pCurrent = QOpenGLContext::currentContext();
    if (pContext == pCurrent) return true;
    if (pContext == nullptr) {
        pCurrent->doneCurrent();
        return true;
    }
    QSurface *pSurface = pContext->surface();
    if (pSurface == nullptr)
        pSurface = static_cast<QSurface *>(pContext->property("nkSurface").value<void *>());
    return pSurface != nullptr && pContext->makeCurrent(pSurface);
}

void *NKGetGLProcAddress(const char *pszName)
{
    QOpenGLContext *pCurrent = QOpenGLContext::currentContext();
    if (pCurrent == nullptr || pszName == nullptr) return nullptr;
    return reinterpret_cast<void *>(pCurrent->getProcAddress(pszName));
}

bool NKInitStrokeFont(void)
{
    static bool bDone = false;
    if (bDone) return true;
    if (!HasDisplay()) return false;
    int argc = 1;
    char arg0[] = "quolin";
    char *argv[] = {arg0, nullptr};
    glutInit(&argc, argv);
    // Leaving the main loop must return to us rather than end the process.
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_CONTINUE_EXECUTION);
    bDone = true;
    return true;
}
