// scene/nk_scene.h -- drawing one complete frame of the 3-D view
// (NKRenderScene, behind core's NKDrawScene): the model with the tools'
// surfaces, the plot over the view and the overlays. The animation clock
// and the view set-up pieces it uses are the drawing code's
// (render/nk_scene_view.h).
//
// Every redraw goes through NKDrawScene (core/nk_load_hooks.h), whose slot
// NKInstallRenderer fills with NKRenderScene. Parts are drawn by
// nk_part_drawing.cpp; lights and materials come from nk_lights.cpp as
// display lists. A draw leaves the modelview and attribute stacks as it
// found them, also when it is refused or abandoned for pending input.
#pragma once

#include <cstdint>

#include "core/nk_view_state.h"  // NKAnimationSettings
#include "render/nk_scene_view.h"

struct NKModel;
struct NKGraphicsSettings;

// Set by the window code when a redraw is wanted; cleared by every
// completed or refused draw.
extern uint8_t g_bRedrawRequested;
// The third argument of the last draw (1 drawing into the window).
extern int g_iScreenDrawing;
// Set while the scene is drawn off-screen for a picture (image files,
// movies, printing, the clipboard): the in-view menu, a tool of the window,
// is left out of it.
extern uint8_t g_bDrawingOffscreen;

// Draws frame iFrame (-1: the current frame, advanced by the clock). With
// bUninterruptible 0 the draw is abandoned when input is pending. iScreen 1
// draws into the window. True when a frame was drawn or there is no model;
// false when refused or abandoned.
bool NKRenderScene(int iFrame, int bUninterruptible, int iScreen);

// Undoes an abandoned draw once its eye pass has popped the view matrix:
// restores the draw buffer (and the front face for a mirror copy, iCopy >=
// 1), takes back this draw's animation step and its frame-rate reading,
// frees the text list.
void NKEndFrame(int iCopy, NKModel *pModel, NKAnimationSettings *pSettings);
