// app/nk_shell_services.cpp -- the shell's slots (see nk_shell_services.h).
#include "app/nk_shell_services.h"

#include <GL/gl.h>

#include <QLocale>

#include "app/nk_animation_timer.h"
#include "app/nk_app_records.h"
#include "app/nk_gl_menu.h"
#include "app/nk_info_sheet.h"
#include "app/nk_main_window.h"
#include "app/nk_menus.h"
#include "app/nk_render_context.h"
#include "app/nk_view_window.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_load_hooks.h"
#include "core/nk_model_hooks.h"
#include "core/nk_render_state.h"
#include "core/nk_shell_hooks.h"
#include "core/nk_tool_state.h"
#include "plot/nk_plot.h"
#include "render/nk_overlays.h"
#include "render/nk_projection.h"
#include "render/nk_render_options.h"

namespace {

// NKResizeView has stored the size; the plot over the view keeps its
// place relative to the new size.
void ResizeView(int iWidth, int iHeight)
{
    glViewport(0, 0, iWidth, iHeight);
    NKDropBackgroundImageList();
    NKSetProjection(iWidth, iHeight, g_fNearClip, g_fFarClip);
    if (g_pCurrentPlot != nullptr && g_bPlotInOwnWindow == 0)
        NKPlacePlot(g_pCurrentPlot, -2, -2, -2, -2, iWidth, iHeight);
}

// A model loaded by a command file, a request or the poll file changes the
// menus and tool bar as one chosen from them does.
void RefreshMenusForModel(void)
{
    if (NKGetMainWindow() != nullptr) UpdateMenuChecks();
}

}  // namespace

void NKInstallShellHooks(void)
{
    NKShellHooks shellHooks = NKGetShellHooks();
    NKModelHooks modelHooks = NKGetModelHooks();
    NKFillAnimationHooks(&shellHooks);
    shellHooks.pfnResizeView = ResizeView;
    shellHooks.pfnDrawGLMenu = NKDrawShownGLMenu;
    NKFillRenderContextHooks(&shellHooks);
    NKFillViewWindowHooks(&shellHooks, &modelHooks);
    shellHooks.pfnResetModelState = NKResetModelStateRecords;
    NKFillInfoDialogHooks(&shellHooks);
    NKSetShellHooks(shellHooks);
    NKSetModelHooks(modelHooks);
    NKLoadHooks loadHooks = NKGetLoadHooks();
    loadHooks.pfnRefreshMenusForModel = RefreshMenusForModel;
    NKSetLoadHooks(loadHooks);
}

bool NKApplyLanguageDefaults(void)
{
    if (QLocale::system().language() == QLocale::Japanese)
        g_RendererWorkarounds.bRotatedPlotText = 0;
    return true;
}
