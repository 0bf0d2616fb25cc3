// app/nk_view_window.cpp -- the 3-D view window and its OpenGL context
// (see nk_view_window.h).
#include "app/nk_view_window.h"

#include <GL/gl.h>

#include <QCoreApplication>
#include <QDropEvent>
#include <QEvent>
#include <QExposeEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMouseEvent>
#include <QPlatformSurfaceEvent>
#include <QPointer>
#include <QResizeEvent>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>

#include "app/nk_app_records.h"
#include "app/nk_main_window.h"
#include "app/nk_pick_feedback.h"
#include "app/nk_pixel_format.h"
#include "app/nk_pixel_format_dialog.h"
#include "app/nk_render_context.h"
#include "app/nk_shell_services.h"
#include "app/nk_splash.h"
#include "app/nk_statusbar.h"
#include "app/nk_view_input.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_load_hooks.h"
#include "core/nk_model_hooks.h"
#include "core/nk_progress.h"
#include "core/nk_render_state.h"
#include "core/nk_shell_hooks.h"
#include "core/nk_view_state.h"
#include "platform/nk_window_timer.h"
#include "plot/nk_plot_window.h"
#include "render/nk_background.h"
#include "render/nk_culling.h"
#include "render/nk_gl_resources.h"
#include "render/nk_projection.h"
#include "render/nk_render_options.h"
#include "render/nk_text.h"

namespace {

class ViewWindow : public QWindow {
public:
    ~ViewWindow() override;
    void Paint();
    void ReleaseGLObjects();
    void FollowSize(const QSize &size);

protected:
    void exposeEvent(QExposeEvent *) override
    {
        if (isExposed()) Paint();
    }
    void resizeEvent(QResizeEvent *) override;
    // A press, a double click or a key may run command lines (an item of
    // an in-view menu or of the part menu, study and walk, full screen, a
    // paused command file resumed): what they report shows on the status
    // line too.
    void mousePressEvent(QMouseEvent *pEvent) override
    {
        NKStatusErrorScope errors;
        NKViewMousePress(this, pEvent);
    }
    void mouseMoveEvent(QMouseEvent *pEvent) override { NKViewMouseMove(this, pEvent); }
    void mouseReleaseEvent(QMouseEvent *pEvent) override { NKViewMouseRelease(this, pEvent); }
    void mouseDoubleClickEvent(QMouseEvent *pEvent) override
    {
        NKStatusErrorScope errors;
        NKViewMouseDoubleClick(this, pEvent);
    }
    void wheelEvent(QWheelEvent *pEvent) override { NKViewWheel(pEvent); }
    void keyPressEvent(QKeyEvent *pEvent) override
    {
        NKStatusErrorScope errors;
        NKViewKeyPress(pEvent);
    }
    void keyReleaseEvent(QKeyEvent *pEvent) override { NKViewKeyRelease(pEvent); }
    void focusOutEvent(QFocusEvent *) override { NKViewFocusOut(); }
    bool event(QEvent *pEvent) override
    {
        // The view is a native window of its own: files dropped on it are
        // opened as those dropped on the rest of the main window.
        if (pEvent->type() == QEvent::DragEnter || pEvent->type() == QEvent::DragMove) {
            NKAcceptFileDrag(static_cast<QDropEvent *>(pEvent));
            return true;
        }
        if (pEvent->type() == QEvent::Drop) {
            NKDropFiles(static_cast<QDropEvent *>(pEvent));
            return true;
        }
        if (pEvent->type() == QEvent::PlatformSurface &&
            static_cast<QPlatformSurfaceEvent *>(pEvent)->surfaceEventType() ==
                QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed)
            ReleaseGLObjects();
        if (pEvent->type() != QEvent::UpdateRequest) return QWindow::event(pEvent);
        Paint();
        return true;
    }

private:
    bool m_bResized = false;   // no frame presented since the last resize
    bool m_bFollowed = false;  // NKViewWindowSize was given a size of this view
};

ViewWindow *sg_pView = nullptr;
QPointer<QWidget> sg_pContainer;  // the main window's widget that embeds the view
NKDeviceContext *sg_pDC = nullptr;
NKRenderContext *sg_pContext = nullptr;

bool SingleBuffered(void)
{
    return g_pGraphicsSettings != nullptr && g_pGraphicsSettings->bSingleBuffer != 0;
}

// The GL objects that live in the view's context go while the context can
// still be made current on the window: the native window goes before the
// QWindow (the main window's destruction destroys its native children
// first), so this runs when its surface is about to go (which happens only
// with the window itself) and again, finding nothing left, in the
// destructor.
void ViewWindow::ReleaseGLObjects()
{
    if (sg_pView != this || sg_pContext == nullptr) return;
    if (NKMakeCurrent(sg_pDC, sg_pContext, false)) NKReleaseViewGLObjects();
    NKMakeCurrent(sg_pDC, nullptr, false);
}

// The context is released and deleted while the window still exists.
ViewWindow::~ViewWindow()
{
    if (sg_pView != this) return;
    NKStopWindowTimer(NK_VIEW_TIMER_ID);
    ReleaseGLObjects();
    NKDeleteRenderContext(sg_pContext);
    NKReleaseDC(sg_pDC);
    sg_pView = nullptr;
    sg_pDC = nullptr;
    sg_pContext = nullptr;
}

// The scene clears, draws and presents the frame itself. An invalidation
// asked for while drawing, or a resize before it, asks for another paint. While a progress
// operation runs, its cancel check processes events with frames half
// built: the paint waits for the operation's end.
void ViewWindow::Paint()
{
    if (NKGetProgressState().bRunning) {
        g_bViewInvalidated = 1;
        return;
    }
    if (!isExposed() || !NKMakeViewCurrent()) return;
    g_bViewInvalidated = 0;
    NKDrawScene(-1, g_bSynchronousPaint, 1);
    // A driver may take a window's new size only once a frame is presented
    // (Mesa's software renderer does): the first frame after a resize can
    // still be drawn into buffers of the old size, so a second one follows.
    const bool bFirstAfterResize = m_bResized;
    m_bResized = false;
    if (g_bViewInvalidated != 0 || bFirstAfterResize)
        requestUpdate();
    else
        NKRepaintAnimatedPlotWindow();
}

// The display's answer to a size the layout gave the view's container
// may come after the layout has given it another (or several at once, the
// last of them only later on a busy machine): the container's size is the
// view's.
void ViewWindow::resizeEvent(QResizeEvent *)
{
    FollowSize(sg_pContainer != nullptr ? sg_pContainer->size() : size());
}

// The view takes a new size: the layout gave it to the container, or the
// display answered with it (the window's own resize event, later, and
// later still on a busy machine). The first of them sets the view's
// record, the viewport and the projection: what runs before the display
// answers (a command file at start, before the event loop; a picture taken
// after "winposition") sees the view as laid out. The second finds the
// size taken, and asks for no second frame of its own.
void ViewWindow::FollowSize(const QSize &size)
{
    const qreal dRatio = devicePixelRatio();
    const int iWidth = int(size.width() * dRatio), iHeight = int(size.height() * dRatio);
    if (m_bFollowed && NKViewWindowSize.iWidth == iWidth && NKViewWindowSize.iHeight == iHeight)
        return;
    m_bResized = true;
    if (!NKMakeViewCurrent()) return;
    m_bFollowed = true;
    NKResizeView(iWidth, iHeight);
}

// Qt's layout sizes the view's container at once; the container passes the
// size on to the view window, whose own resize event waits for the display.
class ContainerWatch : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *pObject, QEvent *pEvent) override
    {
        if (pEvent->type() == QEvent::Resize && sg_pView != nullptr)
            sg_pView->FollowSize(static_cast<QResizeEvent *>(pEvent)->size());
        return QObject::eventFilter(pObject, pEvent);
    }
};

// The splash would cover the dialog; the user's choice, or -1 ("choose
// automatically") after Cancel.
int AskPixelFormat(NKDeviceContext *pDC)
{
    NKDestroySplashWindow();
    return NKAskPixelFormat(pDC);
}

// -10 asks for a software format (none found: choose automatically), -20
// asks the user.
int ResolveRequest(NKDeviceContext *pDC)
{
    if (g_iPixelFormatRequest == NK_PIXELFORMAT_ASK) return AskPixelFormat(pDC);
    if (g_iPixelFormatRequest != NK_PIXELFORMAT_SOFTWARE) return g_iPixelFormatRequest;
    return NKChooseSoftwarePixelFormat(g_iDepthBitsRequest, NK_COLOR_BITS_REQUEST, SingleBuffered(),
                                       pDC);
}

// The GL start-up state of a new view context: the projection, the font
// lists, then what the renderer can do.
void InitViewContext(void)
{
    NKMakeCurrent(sg_pDC, sg_pContext, true);
    NKCreatePaletteForDC(sg_pDC);
    GLint iStencil = 0;
    glGetIntegerv(GL_STENCIL_BITS, &iStencil);
    g_iStencilBits = iStencil;
    NKInitViewProjection();
    NKBuildBitmapFontLists();
    NKDetectRenderer();
    NKApplyLanguageDefaults();
    // The identity colours of the visibility culling follow the context's
    // colour bits.
    NKInitHidePolys(&g_HiddenPartCuller);
}

void InvalidateViewWindow(void)
{
    if (sg_pView != nullptr) sg_pView->requestUpdate();
}

void RedrawViewWindow(void)
{
    if (sg_pView != nullptr) sg_pView->Paint();
}

}  // namespace

QWindow *NKCreateViewWindow(void)
{
    if (sg_pView != nullptr) return sg_pView;
    auto *pView = new ViewWindow;
    NKDeviceContext *pDC = NKGetWindowDC(pView);
    bool bStereo = g_pGraphicsSettings != nullptr && g_pGraphicsSettings->bQuadBufferStereo != 0;
    uint32_t dwFlags = NK_RC_DRAW_TO_WINDOW | (bStereo ? NK_RC_STEREO : 0u);
    int iRequest = ResolveRequest(pDC);
    int iChosen = iRequest;
    NKRenderContext *pContext =
        NKCreateRenderContext(g_iDepthBitsRequest, NK_COLOR_BITS_REQUEST, SingleBuffered(), dwFlags,
                              pDC, iRequest, &iChosen);
    if (pContext == nullptr) {
        NKReleaseDC(pDC);
        delete pView;
        return nullptr;
    }
    g_iPixelFormatRequest = iChosen;
    pView->setObjectName("NKViewWindow");
    sg_pView = pView;
    sg_pDC = pDC;
    sg_pContext = pContext;
    InitViewContext();
    NKStartWindowTimer(NK_VIEW_TIMER_ID, NK_VIEW_TIMER_PERIOD_MS, NKViewTimerTick);
    return pView;
}

void NKFollowViewContainer(QWidget *pContainer)
{
    sg_pContainer = pContainer;
    pContainer->installEventFilter(new ContainerWatch(pContainer));
}

void NKLayOutViewNow(void)
{
    if (sg_pContainer == nullptr) return;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    if (QLayout *pLayout = sg_pContainer->window()->layout()) pLayout->activate();
}

QWindow *NKGetViewWindow(void) { return sg_pView; }

NKDeviceContext *NKGetViewDC(void) { return sg_pDC; }

NKRenderContext *NKGetViewRenderContext(void) { return sg_pContext; }

bool NKMakeViewCurrent(void)
{
    return sg_pContext != nullptr && NKMakeCurrent(sg_pDC, sg_pContext, true);
}

void NKFillViewWindowHooks(NKShellHooks *pShellHooks, NKModelHooks *pModelHooks)
{
    pShellHooks->pfnRedrawView = RedrawViewWindow;
    pShellHooks->pfnMakeViewCurrent = NKMakeViewCurrent;
    pModelHooks->pfnInvalidateView = InvalidateViewWindow;
    pModelHooks->pfnShowInteractionCursor = NKShowInteractionCursor;
}
