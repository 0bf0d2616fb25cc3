// app/nk_render_context.cpp -- device contexts and OpenGL contexts on Qt
// (see nk_render_context.h).
#include "app/nk_render_context.h"

#include <QOpenGLContext>
#include <QPointer>
#include <QSurfaceFormat>
#include <QVariant>
#include <QWindow>

#include <cerrno>
#include <memory>
#include <vector>

#include "app/nk_pixel_format.h"
#include "app/nk_splash.h"
#include "core/nk_shell_hooks.h"
#include "core/nk_string.h"
#include "platform/nk_message_box.h"
#include "platform/nk_pixel_formats.h"

struct NKDeviceContext {
    QPointer<QWindow> pWindow;
};

struct NKRenderContext {
    std::unique_ptr<QOpenGLContext> pContext;
};

namespace {

// The format number belongs to the window, as on the platform the shell
// was written for: every device context of a window sees it.
const char *const kFormatProperty = "nkPixelFormat";

NKRenderContext *Fail(const char *pszText)
{
    NKDestroySplashWindow();
    NKMessageBox(pszText, "Error", NK_MB_ICON_ERROR);
    return nullptr;
}

QSurfaceFormat SurfaceFormatOf(const NKPixelFormatDescriptor &f)
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setRedBufferSize(f.cRedBits);
    format.setGreenBufferSize(f.cGreenBits);
    format.setBlueBufferSize(f.cBlueBits);
    format.setAlphaBufferSize(f.cAlphaBits);
    format.setDepthBufferSize(f.cDepthBits);
    format.setStencilBufferSize(f.cStencilBits);
    bool bDouble = (f.dwFlags & NK_PFD_DOUBLEBUFFER) != 0;
    format.setSwapBehavior(bDouble ? QSurfaceFormat::DoubleBuffer : QSurfaceFormat::SingleBuffer);
    format.setStereo((f.dwFlags & NK_PFD_STEREO) != 0);
    return format;
}

// The display knows which configuration a context got only while it is
// current; the previous context is made current again afterwards.
int FormatOfContext(QOpenGLContext *pContext, QWindow *pWindow)
{
    QOpenGLContext *pPrevious = QOpenGLContext::currentContext();
    QSurface *pPreviousSurface = pPrevious != nullptr ? pPrevious->surface() : nullptr;
    int iFormat = 0;
    if (pContext->makeCurrent(pWindow)) iFormat = NKGetCurrentContextPixelFormat();
    if (pPrevious != nullptr && pPreviousSurface != nullptr)
        pPrevious->makeCurrent(pPreviousSurface);
    else
        pContext->doneCurrent();
    return iFormat;
}

void SwapBuffers(void)
{
    QOpenGLContext *pContext = QOpenGLContext::currentContext();
    if (pContext == nullptr || pContext->surface() == nullptr) return;
    auto *pWindow = dynamic_cast<QWindow *>(pContext->surface());
    // Only a window on the screen has buffers to swap.
    if (pWindow != nullptr && pWindow->isExposed()) pContext->swapBuffers(pWindow);
}

}  // namespace

NKDeviceContext *NKGetWindowDC(QWindow *pWindow)
{
    if (pWindow == nullptr) return nullptr;
    auto *pDC = new NKDeviceContext;
    pDC->pWindow = pWindow;
    return pDC;
}

void NKReleaseDC(NKDeviceContext *pDC) { delete pDC; }

int NKGetDCPixelFormat(const NKDeviceContext *pDC)
{
    if (pDC == nullptr || pDC->pWindow == nullptr) return 0;
    return pDC->pWindow->property(kFormatProperty).toInt();
}

bool NKDescribePixelFormat(NKDeviceContext *, int iFormat, NKPixelFormatDescriptor *pFormat)
{
    std::vector<NKPixelFormatDescriptor> formats;
    NKGetDisplayPixelFormats(&formats);
    if (iFormat < 1 || iFormat > int(formats.size()) || pFormat == nullptr) return false;
    *pFormat = formats[size_t(iFormat - 1)];
    return true;
}

bool NKSetPixelFormat(NKDeviceContext *pDC, int iFormat)
{
    NKPixelFormatDescriptor format;
    if (pDC == nullptr || pDC->pWindow == nullptr || !NKDescribePixelFormat(pDC, iFormat, &format))
        return false;
    pDC->pWindow->setSurfaceType(QSurface::OpenGLSurface);
    pDC->pWindow->setFormat(SurfaceFormatOf(format));
    pDC->pWindow->setProperty(kFormatProperty, iFormat);
    return true;
}

NKRenderContext *NKCreateRenderContext(int iDepthBits, int iColorBits, bool bSingleBuffer,
                                       uint32_t dwFlags, NKDeviceContext *pDC, int iRequest,
                                       int *piChosen)
{
    int iFormat = iRequest;
    if (iFormat == NK_PIXELFORMAT_AUTO) {
        iFormat = NKFindPixelFormat(iDepthBits, iColorBits, bSingleBuffer, dwFlags, pDC, false);
        if (iFormat == 0) return Fail("ChoosePixelFormat failed");
    }
    if (!NKSetPixelFormat(pDC, iFormat)) return Fail("SetPixelFormat failed");
    NKPixelFormatDescriptor described;
    if ((dwFlags & NK_RC_STEREO) != 0 && (!NKDescribePixelFormat(pDC, iFormat, &described) ||
                                          (described.dwFlags & NK_PFD_STEREO) == 0))
        return Fail("Failed to get a pixelformat supporting stereo mode");
    if (piChosen != nullptr) *piChosen = iFormat;

    QWindow *pWindow = pDC->pWindow;
    auto pContext = std::make_unique<NKRenderContext>();
    pContext->pContext = std::make_unique<QOpenGLContext>();
    pContext->pContext->setFormat(pWindow->requestedFormat());
    if (!pContext->pContext->create()) {
        NKString text = NKString::FromFormat(
            "OpenGL window context creation failed. (Error code : %u)", unsigned(errno));
        return Fail(text.GetText());
    }
    if (pWindow->handle() == nullptr) pWindow->create();
    // Remembered for NKMakeGLContextHandleCurrent: Qt forgets the surface
    // once the context is released.
    pContext->pContext->setProperty("nkSurface",
                                    QVariant::fromValue<void *>(static_cast<QSurface *>(pWindow)));
    int iUsed = FormatOfContext(pContext->pContext.get(), pWindow);
    if (iUsed > 0 && piChosen != nullptr) *piChosen = iUsed;
    return pContext.release();
}

void NKDeleteRenderContext(NKRenderContext *pContext) { delete pContext; }

bool NKMakeCurrent(NKDeviceContext *pDC, NKRenderContext *pContext, bool)
{
    if (pContext == nullptr) {
        QOpenGLContext *pCurrent = QOpenGLContext::currentContext();
        if (pCurrent != nullptr) pCurrent->doneCurrent();
        return true;
    }
    if (pDC == nullptr || pDC->pWindow == nullptr) return false;
    return pContext->pContext->makeCurrent(pDC->pWindow);
}

void NKFillRenderContextHooks(NKShellHooks *pHooks) { pHooks->pfnSwapBuffers = SwapBuffers; }
