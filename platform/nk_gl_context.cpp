// platform/nk_gl_context.cpp -- off-screen OpenGL contexts on Qt 6, the
// context handles (see nk_gl_context.h; freeglut's start for the stroke
// fonts is in nk_stroke_font.cpp).
#include "platform/nk_gl_context.h"
#include "platform/nk_gl_context_qt.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QSurfaceFormat>
#include <QVariant>

#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <unordered_map>

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

namespace {

// The live contexts by handle. A handle is a serial number given to a
// context the first time its handle is asked for; it is never given again,
// so a context made later at a freed one's address gets a handle of its
// own, and a handle whose context is gone finds nothing here. The map lives
// until the process ends: contexts may go after static destructors ran.
std::unordered_map<uintptr_t, QOpenGLContext *> &LiveContexts(void)
{
    static auto *s_pLive = new std::unordered_map<uintptr_t, QOpenGLContext *>();
    return *s_pLive;
}

uintptr_t sg_uLastHandle = 0;

const char *const kHandleProperty = "nkHandle";

QOpenGLContext *ContextOfHandle(void *hContext)
{
    const auto &live = LiveContexts();
    const auto it = live.find(reinterpret_cast<uintptr_t>(hContext));
    return it != live.end() ? it->second : nullptr;
}

}  // namespace

void *NKGetGLContextHandleOf(QOpenGLContext *pContext)
{
    if (pContext == nullptr) return nullptr;
    auto &live = LiveContexts();
    const uintptr_t uKnown = pContext->property(kHandleProperty).value<quintptr>();
    const auto it = live.find(uKnown);
    if (uKnown != 0 && it != live.end() && it->second == pContext)
        return reinterpret_cast<void *>(uKnown);
    // First asked for, or asked again after the context was destroyed and
    // made anew: a new handle.
    const uintptr_t uHandle = ++sg_uLastHandle;
    live[uHandle] = pContext;
    pContext->setProperty(kHandleProperty, QVariant::fromValue<quintptr>(uHandle));
    // A context's GL objects die with it: the handle is forgotten when the
    // context is destroyed (and at the latest when the object goes).
    const auto forget = [uHandle]() { LiveContexts().erase(uHandle); };
    QObject::connect(pContext, &QOpenGLContext::aboutToBeDestroyed, forget);
    QObject::connect(pContext, &QObject::destroyed, forget);
    return reinterpret_cast<void *>(uHandle);
}

void *NKGetCurrentGLContextHandle(void)
{
    return NKGetGLContextHandleOf(QOpenGLContext::currentContext());
}

bool NKIsGLContextHandleLive(void *hContext) { return ContextOfHandle(hContext) != nullptr; }

bool NKMakeGLContextHandleCurrent(void *hContext)
{
    QOpenGLContext *pCurrent = QOpenGLContext::currentContext();
    if (hContext == nullptr) {
        if (pCurrent != nullptr) pCurrent->doneCurrent();
        return true;
    }
    QOpenGLContext *pContext = ContextOfHandle(hContext);
    if (pContext == nullptr) return false;  // destroyed: its objects are gone
    if (pContext == pCurrent) return true;
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
