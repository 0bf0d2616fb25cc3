// core/nk_shell_hooks.h -- the slots through which the load road sets off
// work of the application shell and the 2-D plots: the information dialogs,
// the model-state reset, the stored recent-file list, an immediate repaint
// and closing the plot data source.
//
// The load sequence lives in commands/, below the shell (app/) and the plots
// (plot/), so it calls their work through these slots, the pattern of
// core/nk_model_hooks.h. Every slot starts empty; an empty slot does what is
// written beside it, which is also what the program does while the owner is
// not built or not started. The owners fill their slots at start-up with
// NKSetShellHooks.
#pragma once

class NKString;

struct NKShellHooks {
    // app/: closes the part attributes dialog and the information property
    // sheet. Empty: nothing (no dialog is open).
    void (*pfnCloseInfoDialogs)(void) = nullptr;
    // app/: whether the part attributes dialog is open. Empty: false.
    bool (*pfnIsPartAttributesDialogOpen)(void) = nullptr;
    // app/: shows the part attributes dialog again in mode 0 or 1 (its
    // contents follow the model). Empty: nothing.
    void (*pfnShowPartAttributesDialog)(int iMode) = nullptr;
    // app/: refreshes the information property sheet. Empty: nothing.
    void (*pfnRefreshInfoPropertySheet)(void) = nullptr;
    // app/: resets the view and interaction state for a new model, keeping
    // the display settings when bKeepSettings. Empty: nothing.
    void (*pfnResetModelState)(bool bKeepSettings) = nullptr;
    // app/: keeps the recent-file list (iCount entries, most recent first,
    // empty entries unused) in the settings file and the File menu. Empty:
    // the list lives only in memory.
    void (*pfnStoreRecentFiles)(const NKString *pEntries, int iCount) = nullptr;
    // app/: repaints the 3-D view at once. Empty: NKInvalidateView.
    void (*pfnRedrawView)(void) = nullptr;
    // plot/: closes the current 2-D plot data source. Empty: nothing (no
    // plot source is open).
    void (*pfnPlotInterfaceClose)(void) = nullptr;
};

// Installs the slots and returns those installed before.
NKShellHooks NKSetShellHooks(const NKShellHooks &hooks);
const NKShellHooks &NKGetShellHooks(void);

// The calls; each goes to its slot or does what is written above.
void NKCloseInfoDialogs(void);
bool NKIsPartAttributesDialogOpen(void);
void ShowPartAttributesDialog(int iMode);
void RefreshInfoPropertySheet(void);
void ResetModelState(bool bKeepSettings);
void NKStoreRecentFiles(const NKString *pEntries, int iCount);
void NKRedrawView(void);
void NKPlotInterfaceClose(void);
