// core/nk_shell_hooks.cpp -- the slots of the shell and the plots and what
// an empty slot does (see nk_shell_hooks.h).
#include "core/nk_shell_hooks.h"

#include <utility>

#include "core/nk_graphics_settings.h"
#include "core/nk_model_hooks.h"
#include "core/nk_view_state.h"

namespace {
NKShellHooks sg_Hooks;
}  // namespace

NKShellHooks NKSetShellHooks(const NKShellHooks &hooks) { return std::exchange(sg_Hooks, hooks); }

const NKShellHooks &NKGetShellHooks(void) { return sg_Hooks; }

void NKCloseInfoDialogs(void)
{
    if (sg_Hooks.pfnCloseInfoDialogs != nullptr) sg_Hooks.pfnCloseInfoDialogs();
}

bool NKIsPartAttributesDialogOpen(void)
{
    return sg_Hooks.pfnIsPartAttributesDialogOpen != nullptr &&
           sg_Hooks.pfnIsPartAttributesDialogOpen();
}

void ShowPartAttributesDialog(int iMode)
{
    if (sg_Hooks.pfnShowPartAttributesDialog != nullptr)
        sg_Hooks.pfnShowPartAttributesDialog(iMode);
}

void RefreshInfoPropertySheet(int iPage, bool bActivate)
{
    if (sg_Hooks.pfnRefreshInfoPropertySheet != nullptr)
        sg_Hooks.pfnRefreshInfoPropertySheet(iPage, bActivate);
}

void ResetModelState(bool bKeepSettings)
{
    if (sg_Hooks.pfnResetModelState != nullptr) sg_Hooks.pfnResetModelState(bKeepSettings);
}

void NKPlotInterfaceClose(void)
{
    if (sg_Hooks.pfnPlotInterfaceClose != nullptr) sg_Hooks.pfnPlotInterfaceClose();
}

void NKRedrawView(void)
{
    g_bViewInvalidated = 1;
    g_bSynchronousPaint = 1;
    if (sg_Hooks.pfnRedrawView != nullptr)
        sg_Hooks.pfnRedrawView();
    else
        NKInvalidateView();
    g_bSynchronousPaint = 0;
}

void NKResizeView(int iWidth, int iHeight)
{
    NKViewWindowSize.iWidth = iWidth;
    NKViewWindowSize.iHeight = iHeight;
    if (sg_Hooks.pfnResizeView != nullptr) sg_Hooks.pfnResizeView(iWidth, iHeight);
}

bool NKMakeViewContextCurrent(void)
{
    return sg_Hooks.pfnMakeViewCurrent != nullptr && sg_Hooks.pfnMakeViewCurrent();
}

void NKSwapBuffers(void)
{
    if (sg_Hooks.pfnSwapBuffers != nullptr) sg_Hooks.pfnSwapBuffers();
}

void NKStartTimer(int iReason)
{
    if (sg_Hooks.pfnStartTimer != nullptr) sg_Hooks.pfnStartTimer(iReason);
}

void NKStopTimer(int iReason)
{
    if (sg_Hooks.pfnStopTimer != nullptr) sg_Hooks.pfnStopTimer(iReason);
}

bool NKRunAnimation(int iFrom, int iTo)
{
    return sg_Hooks.pfnRunAnimation != nullptr && sg_Hooks.pfnRunAnimation(iFrom, iTo);
}

bool NKShowStatusFrameRate(float fFramesPerSecond, uint32_t uFrameMs, uint32_t uIntervalMs,
                           int iCullingOn, int iCullingAnalysis)
{
    return sg_Hooks.pfnShowFrameRate != nullptr &&
           sg_Hooks.pfnShowFrameRate(fFramesPerSecond, uFrameMs, uIntervalMs, iCullingOn,
                                     iCullingAnalysis);
}

void NKDrawShellGLMenu(void)
{
    if (sg_Hooks.pfnDrawGLMenu != nullptr) sg_Hooks.pfnDrawGLMenu();
}
