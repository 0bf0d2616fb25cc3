// plot/nk_plot_window.cpp -- the plot's own window (see nk_plot_window.h):
// the paint, resize and close handling of the window and the moves of the
// plot between the window's context and the 3-D view's.
#include "plot/nk_plot_window.h"

#include <GL/gl.h>

#include "commands/nk_command.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_message.h"
#include "core/nk_plot_records.h"
#include "platform/nk_gl_context.h"
#include "platform/nk_gl_window.h"
#include "plot/nk_plot.h"

NKGLWindow *g_hPlotWnd = nullptr;

namespace {

// The context the plot was bound to before the window took it.
void *sg_hReturnContext = nullptr;

// Clears the window and draws the shown plot over the current frame.
void PaintPlotWindow(void *)
{
    int w = 0, h = 0;
    NKGetGLWindowSize(g_hPlotWnd, false, &w, &h);
    glViewport(0, 0, w, h);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (g_pCurrentPlot != nullptr && g_bPlotShown) NKDrawPlot(g_pCurrentPlot, true, -1);
}

void ResizePlotWindow(void *, int iWidth, int iHeight)
{
    if (g_pCurrentPlot != nullptr) NKSetPlotViewport(g_pCurrentPlot, 0, 0, iWidth, iHeight);
}

void ClosePlotWindowByUser(void *) { ExecuteCommand("plt kill"); }

// The new context's start-up state: no depth test, no lighting, identity
// projection and model-view.
void InitPlotContext(void)
{
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

}  // namespace

bool NKOpenPlotWindow(void)
{
    if (g_hPlotWnd != nullptr) return true;
    if (!g_bPlotInOwnWindow || g_pCurrentPlot == nullptr) return false;
    int x = 0, y = 0, w = 0, h = 0;
    NKGetPlotViewport(g_pCurrentPlot, &x, &y, &w, &h);
    NKGLWindowCallbacks callbacks;
    callbacks.pfnPaint = PaintPlotWindow;
    callbacks.pfnResize = ResizePlotWindow;
    callbacks.pfnClose = ClosePlotWindowByUser;
    bool bSingle = g_pGraphicsSettings != nullptr && g_pGraphicsSettings->bSingleBuffer != 0;
    NKGLWindow *pWindow = NKCreateGLWindow("Plot Window", w, h, bSingle, callbacks);
    if (pWindow == nullptr) {
        NKPrintError("Unable to create plot window.");
        g_bPlotInOwnWindow = 0;
        return false;
    }
    g_hPlotWnd = pWindow;
    void *hWindowContext = NKGetGLWindowContextHandle(pWindow);
    void *hPrevious = NKGetCurrentGLContextHandle();
    if (NKMakeGLContextHandleCurrent(hWindowContext)) InitPlotContext();
    NKMakeGLContextHandleCurrent(hPrevious);
    sg_hReturnContext = NKPlotDetachContext(g_pCurrentPlot);
    NKPlotAttachContext(g_pCurrentPlot, hWindowContext);
    NKSetPlotViewport(g_pCurrentPlot, 0, 0, w, h);
    return true;
}

void NKClosePlotWindow(bool bRebind)
{
    if (g_hPlotWnd == nullptr) return;
    int iOuterW = 0, iOuterH = 0;
    NKGetGLWindowSize(g_hPlotWnd, true, &iOuterW, &iOuterH);
    if (g_pCurrentPlot != nullptr) NKPlotDetachContext(g_pCurrentPlot);
    NKGLWindow *pWindow = g_hPlotWnd;
    g_hPlotWnd = nullptr;
    NKDestroyGLWindow(pWindow);
    if (bRebind && g_pCurrentPlot != nullptr) {
        NKPlotAttachContext(g_pCurrentPlot, sg_hReturnContext);
        NKSetPlotViewport(g_pCurrentPlot, -1, -1, iOuterW, iOuterH);
    }
    sg_hReturnContext = nullptr;
}

bool NKRepaintPlotWindow(void) { return NKPaintGLWindow(g_hPlotWnd); }

void NKRepaintAnimatedPlotWindow(void)
{
    if (g_pCurrentPlot == nullptr || g_hPlotWnd == nullptr) return;
    if (g_pCurrentPlot->bFollowSteps && g_bPlotInOwnWindow && g_bPlotShown) NKRepaintPlotWindow();
}
