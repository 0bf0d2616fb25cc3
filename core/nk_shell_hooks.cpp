// core/nk_shell_hooks.cpp -- the shell's and the plots' slots of the load
// road and what an empty slot does (see nk_shell_hooks.h).
#include "core/nk_shell_hooks.h"

#include "core/nk_model_hooks.h"

namespace {
NKShellHooks sg_Hooks;
}

NKShellHooks NKSetShellHooks(const NKShellHooks &hooks)
{
    NKShellHooks previous = sg_Hooks;
    sg_Hooks = hooks;
    return previous;
}

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

void RefreshInfoPropertySheet(void)
{
    if (sg_Hooks.pfnRefreshInfoPropertySheet != nullptr) sg_Hooks.pfnRefreshInfoPropertySheet();
}

void ResetModelState(bool bKeepSettings)
{
    if (sg_Hooks.pfnResetModelState != nullptr) sg_Hooks.pfnResetModelState(bKeepSettings);
}

void NKStoreRecentFiles(const NKString *pEntries, int iCount)
{
    if (sg_Hooks.pfnStoreRecentFiles != nullptr) sg_Hooks.pfnStoreRecentFiles(pEntries, iCount);
}

void NKRedrawView(void)
{
    if (sg_Hooks.pfnRedrawView != nullptr) {
        sg_Hooks.pfnRedrawView();
    } else {
        NKInvalidateView();
    }
}

void NKPlotInterfaceClose(void)
{
    if (sg_Hooks.pfnPlotInterfaceClose != nullptr) sg_Hooks.pfnPlotInterfaceClose();
}
