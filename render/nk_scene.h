// render/nk_scene.h -- drawing one complete frame of the 3-D view
// (NKRenderScene, behind core's NKDrawScene), its animation clock and the
// view set-up pieces it uses: the view matrix with the orthographic zoom,
// the mesh offset and the split or quad-buffered stereo projection.
//
// Every redraw goes through NKDrawScene (core/nk_load_hooks.h), whose slot
// NKInstallRenderer fills with NKRenderScene. Parts are drawn by
// nk_part_drawing.cpp; lights and materials come from nk_lights.cpp as
// display lists. A draw leaves the modelview and attribute stacks as it
// found them, also when it is refused or abandoned for pending input.
#pragma once

#include <cstdint>

#include "core/nk_view_state.h"  // NKAnimationSettings

struct NKModel;
struct NKGraphicsSettings;

// The mesh factor (meshfactor; the renderer detection sets it to its depth
// epsilon): the depth step that puts mesh lines in front of filled polygons
// when the polygon offset is off.
extern float g_fMeshDepthFactor;
// The mesh offset of the current draw (NKComputeMeshOffset).
extern float g_afMeshOffset[3];
// Set by the window code when a redraw is wanted; cleared by every
// completed or refused draw.
extern uint8_t g_bRedrawRequested;
// The third argument of the last draw (1 drawing into the window).
extern int g_iScreenDrawing;
// The view saved after it was set up: modelview (float and double),
// projection and viewport; picking, labels and overlays read them.
extern float g_afSavedModelView[16];
extern double g_adSavedModelView[16];
extern double g_adSavedProjection[16];
extern int g_aiSavedViewport[4];

// Draws frame iFrame (-1: the current frame, advanced by the clock). With
// bUninterruptible 0 the draw is abandoned when input is pending. iScreen 1
// draws into the window. True when a frame was drawn or there is no model;
// false when refused or abandoned.
bool NKRenderScene(int iFrame, int bUninterruptible, int iScreen);

// The frame to draw: measures the frame rate and steps the animation when
// its time has come (see the file of the same name).
int NKUpdateCurrentFrame(NKModel *pModel, NKAnimationSettings *pSettings);
// Undoes an abandoned draw: pops the view matrix (and the mirror copy's for
// iCopy >= 1), restores the draw buffer, takes back this draw's animation
// step and its frame-rate reading, frees the text list.
void NKEndFrame(int iCopy, NKModel *pModel, NKAnimationSettings *pSettings);
// Pushes the modelview once and applies the view matrix; in orthographic
// projection the camera distance becomes a scale.
void NKApplyViewMatrix(const float *pfViewMatrix);
// The mesh offset from the saved modelview (see the function's comment).
void NKComputeMeshOffset(float fMeshFactor, float *pfOffset, const float *pfModelView);
// The projection (and for split stereo the viewport) of eye 0 or 1.
void NKSetStereoProjection(int iEye, const NKGraphicsSettings *pSettings);
// Saves the current modelview, projection and viewport.
void NKSaveViewMatrices(void);
