// core/nk_shell_hooks.h -- the services of the application shell (and of
// the 2-D plots) as the lower folders call them.
//
// The shell (app/) owns the view window, its OpenGL context, the timer, the
// dialogs and the settings file; the plots (plot/) own the plot data
// source. The load sequence (commands/) and the drawing code, tools and
// export sit below them and call the functions here: closing and refreshing
// the information dialogs, the model-state reset, closing the plot source, repainting the 3-D view
// and its viewport, showing the back buffer, the animation timer, the animation runs and the status
// bar's frame rate (the projection maths and the graphics settings' OpenGL state are the drawing
// code's: render/nk_projection.h, render/nk_render_options.h). Each goes to a slot of NKShellHooks
// that its owner fills at start-up (the shell with NKInstallShellHooks). An empty slot does what is
// written beside it, which is what happens while the owner is not built or not started: the data
// these functions keep in core (the view size, the invalidation flags) is
// still kept, and nothing is drawn. NKInvalidateView has its slot in
// core/nk_model_hooks.h.
#pragma once

#include <cstdint>

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
    // app/: refreshes the information property sheet. With bActivate the
    // sheet is shown (made when needed) and the page iPage selects (1 Model,
    // 2 Results, 3 NKF file, 4 Part, 5 Element or Polygon by the pick, 6
    // Polygon, 7 Element) is brought up; the current page is filled again
    // either way. Empty: nothing.
    void (*pfnRefreshInfoPropertySheet)(int iPage, bool bActivate) = nullptr;
    // app/: resets the view and interaction state for a new model, keeping
    // the display settings when bKeepSettings. Empty: nothing.
    void (*pfnResetModelState)(bool bKeepSettings) = nullptr;
    // plot/: closes the current 2-D plot data source. Empty: nothing (no
    // plot source is open).
    void (*pfnPlotInterfaceClose)(void) = nullptr;
    // app/: paints the view at once (the paint sees g_bSynchronousPaint
    // set). Empty: NKInvalidateView, a paint through the event loop.
    void (*pfnRedrawView)(void) = nullptr;
    // app/: the viewport, the projection and the 2-D plot over the view for
    // the size NKResizeView has stored. Empty: nothing, no GL call.
    void (*pfnResizeView)(int iWidth, int iHeight) = nullptr;
    // app/: shows the back buffer of the current context. Empty: nothing.
    void (*pfnSwapBuffers)(void) = nullptr;
    // app/: makes the 3-D view's context current for off-screen drawing.
    // Empty: false (no view; the caller makes a context of its own).
    bool (*pfnMakeViewCurrent)(void) = nullptr;
    // Timer reasons 2 animation, 3 continuous spin, 4 animated particle
    // traces, 5 walk motion; NKStopTimer(1) clears every reason.
    void (*pfnStartTimer)(int iReason) = nullptr;
    void (*pfnStopTimer)(int iReason) = nullptr;
    bool (*pfnRunAnimation)(int iFrom, int iTo) = nullptr;  // Empty: false
    // app/: shows the measured frame rate, the drawing time of the frame
    // and the frame interval in the status bar, with the two culling
    // switches as its indicator; true when the main window shows its status
    // bar. Empty: nothing, false.
    bool (*pfnShowFrameRate)(float fFramesPerSecond, uint32_t uFrameMs, uint32_t uIntervalMs,
                             int iCullingOn, int iCullingAnalysis) = nullptr;
    // app/: draws the in-view menu when one is shown, under its own
    // model-view matrix (restored afterwards). Empty: nothing.
    void (*pfnDrawGLMenu)(void) = nullptr;
};

// Installs the slots and returns those installed before.
NKShellHooks NKSetShellHooks(const NKShellHooks &hooks);
const NKShellHooks &NKGetShellHooks(void);

// The calls; each goes to its slot or does what is written above.
void NKCloseInfoDialogs(void);
bool NKIsPartAttributesDialogOpen(void);
void ShowPartAttributesDialog(int iMode);
void RefreshInfoPropertySheet(int iPage, bool bActivate);
void ResetModelState(bool bKeepSettings);
void NKPlotInterfaceClose(void);

// The shell's view, GL state, timer and animation services.
// Sets g_bViewInvalidated and g_bSynchronousPaint, paints the view at once,
// then clears g_bSynchronousPaint.
void NKRedrawView(void);
// Stores the view size in NKViewWindowSize, then sets the viewport and the
// projection with g_fNearClip and g_fFarClip.
void NKResizeView(int iWidth, int iHeight);
// Shows what was drawn in the current context's back buffer.
void NKSwapBuffers(void);
// Makes the 3-D view's OpenGL context current; false when there is no view.
bool NKMakeViewContextCurrent(void);
void NKStartTimer(int iReason);
void NKStopTimer(int iReason);
// The animation run command's worker: frame ranges and directions of
// g_pModel; false for a refused pair.
bool NKRunAnimation(int iFrom, int iTo);
// The frame rate read-out of the status bar; false when it is not shown.
bool NKShowStatusFrameRate(float fFramesPerSecond, uint32_t uFrameMs, uint32_t uIntervalMs,
                           int iCullingOn, int iCullingAnalysis);
// The in-view menu, drawn by the scene's overlay step.
void NKDrawShellGLMenu(void);
