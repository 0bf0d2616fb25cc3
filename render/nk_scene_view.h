// render/nk_scene_view.h -- the view set-up of a frame of the 3-D view and
// its animation clock: the frame to draw, the view matrix with the
// orthographic zoom, the mesh offset, the split or quad-buffered stereo
// projection and the view saved after set-up, which picking, labels and
// overlays read. The frame passes themselves are the scene's
// (scene/nk_scene.h).
#pragma once

#include "core/nk_view_state.h"  // NKAnimationSettings

struct NKModel;
struct NKGraphicsSettings;

// The mesh factor (meshfactor; the renderer detection sets it to its depth
// epsilon): the depth step that puts mesh lines in front of filled polygons
// when the polygon offset is off.
extern float g_fMeshDepthFactor;
// The mesh offset of the current draw (NKComputeMeshOffset).
extern float g_afMeshOffset[3];

// The view saved after it was set up: modelview (float and double),
// projection and viewport; picking, labels and overlays read them.
extern float g_afSavedModelView[16];
extern double g_adSavedModelView[16];
extern double g_adSavedProjection[16];
extern int g_aiSavedViewport[4];

// The frame to draw: measures the frame rate and steps the animation when
// its time has come (see the file of the same name).
int NKUpdateCurrentFrame(NKModel *pModel, NKAnimationSettings *pSettings);

// Applies the view matrix to the model-view matrix (the caller pushes and
// pops it); in orthographic projection the camera distance becomes a scale.
void NKApplyViewMatrix(const float *pfViewMatrix);
// The mesh offset from the saved modelview (see the function's comment).
void NKComputeMeshOffset(float fMeshFactor, float *pfOffset, const float *pfModelView);
// The projection (and for split stereo the viewport) of eye 0 or 1.
void NKSetStereoProjection(int iEye, const NKGraphicsSettings *pSettings);
// Saves the current modelview, projection and viewport.
void NKSaveViewMatrices(void);
