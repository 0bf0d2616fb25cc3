// plot/nk_plot_window.h -- the plot's own top-level window ("Plot Window"):
// made while plot in its own window is on and a current plot exists,
// closed when the flag goes off or the plot is deleted. The window has its
// own GL context (platform/nk_gl_window.h); the plot is bound to it while
// the window exists and to the 3-D view's context otherwise.
#pragma once

struct NKGLWindow;

// The plot window; null when it does not exist.
extern NKGLWindow *g_hPlotWnd;

// With the own-window flag on, a current plot and no window: makes the
// window titled "Plot Window" at the plot's viewport size and binds the
// plot to its context. When it cannot be made: the error "Unable to create
// plot window.", the flag goes off and the plot stays in the view. Answers
// whether the window exists afterwards.
bool NKOpenPlotWindow(void);
// Destroys the window. With bRebind the plot (when one exists) is bound to
// the context it had before and gets the window's outer size as viewport.
void NKClosePlotWindow(bool bRebind);
// Paints the window at once; false when there is none.
bool NKRepaintPlotWindow(void);
// After an animation step or a paint of the view: repaints the window when
// a plot following the steps is shown in it.
void NKRepaintAnimatedPlotWindow(void);
