// app/nk_projection.h -- the 3-D view's projection and viewport, the
// eye-space view volume and frustum planes for culling, user clip planes,
// the eye-distance scale of screen-sized markers and the projection of a
// point to window pixels.
//
// The functions lower folders call (NKSetProjection, NKResizeView,
// NKSetNearFarFromModel, NKGetViewVolumeBox, NKGetViewFrustumPlanes,
// NKScaleByEyeDistance, NKSetClipPlane, NKSetClipPlaneFromPointNormal) are
// declared in core/nk_shell_hooks.h and run the code here once
// NKFillProjectionHooks has filled their slots. The view size and the
// field-of-view factor (core/nk_view_state.h) and the clipping distances
// (core/nk_render_state.h) are core data; perspective or orthographic is
// the graphics settings' choice. GL calls work on the current context.
#pragma once

struct NKShellHooks;

// The model-view matrix mode, then the projection for the view size and
// the clipping distances; run once the view's context exists.
void NKInitViewProjection(void);

// gluProject of the point; the window position + 0.5, truncated toward
// zero, goes to piX and piY, the window depth to pdDepth when given. False
// when the projection fails or for null arguments.
bool NKProjectToWindow(const float *pfPoint, const double *pdModelView, const double *pdProjection,
                       const int *piViewport, int *piX, int *piY, double *pdDepth);

void NKFillProjectionHooks(NKShellHooks *pHooks);
