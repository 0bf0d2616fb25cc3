// render/nk_projection.h -- the 3-D view's projection, the eye-space view
// volume and frustum planes for culling, user clip planes, the eye-distance
// scale of screen-sized markers and the projection of a point to window
// pixels.
//
// The viewport follows the view's size through NKResizeView
// (core/nk_shell_hooks.h), which the shell fills. The view size and the
// field-of-view factor (core/nk_view_state.h) and the clipping distances
// (core/nk_render_state.h) are core data; perspective or orthographic is
// the graphics settings' choice. GL calls work on the current context.
#pragma once

class NKOrientedBox;
struct NKFrame;

// Sets the projection and the model-view start matrix for a view of
// iWidth x iHeight pixels and the two clipping distances.
void NKSetProjection(int iWidth, int iHeight, double dNear, double dFar);
// Fits the clipping distances to the frame's box under the model-view
// matrix and sets the projection with them; the box's eye-space depth range
// goes to pfZMin and pfZMax. False without a box.
bool NKSetNearFarFromModel(NKFrame *pFrame, const float *pfModelView, int iWidth, int iHeight,
                           float *pfNear, float *pfFar, float *pfZMin, float *pfZMax);
// The eye-space box around the view frustum, as six floats and/or as an
// oriented box (either may be null).
bool NKGetViewVolumeBox(int iWidth, int iHeight, float fNear, float fFar, float *pfBox,
                        NKOrientedBox *pBox);
// The left, right, top and bottom planes of the eye-space frustum, then the
// near and far planes when bNearFar; three-point planes (core/nk_math.h).
bool NKGetViewFrustumPlanes(int iWidth, int iHeight, float fNear, float fFar, float (*pfPlanes)[4],
                            bool bNearFar, bool bReverse);
// fSize times the distance from the eye to pfPoint.
float NKScaleByEyeDistance(float fSize, const float *pfPoint, const float *pfMatrix);
// User clip plane iPlane: disabled for a null plane, else set (negated when
// bFlip) and enabled.
bool NKSetClipPlane(int iPlane, const float *pfPlane, bool bFlip);
bool NKSetClipPlaneFromPointNormal(int iPlane, const float *pfPoint, const float *pfNormal,
                                   bool bFlip);

// The model-view matrix mode, then the projection for the view size and
// the clipping distances; run once the view's context exists.
void NKInitViewProjection(void);

// gluProject of the point; the window position + 0.5, truncated toward
// zero, goes to piX and piY, the window depth to pdDepth when given. False
// when the projection fails or for null arguments.
bool NKProjectToWindow(const float *pfPoint, const double *pdModelView, const double *pdProjection,
                       const int *piViewport, int *piX, int *piY, double *pdDepth);
