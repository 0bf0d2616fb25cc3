// core/nk_view_state.cpp -- the view size, clipping and highlight globals.
#include "core/nk_view_state.h"

NKViewSize NKViewWindowSize = {810, 600};
float g_fNearClip = NK_DEFAULT_NEAR_CLIP;
float g_fFarClip = NK_DEFAULT_FAR_CLIP;
float g_fFieldOfViewFactor = NK_DEFAULT_FOV_FACTOR;
NKPartHighlight NKPartHighlightSettings = {{255, 0, 0}};

namespace {
bool sg_bPolygonInfoInPick = false;
}

bool NKGetPolygonInfoInPick(void) { return sg_bPolygonInfoInPick; }
void NKSetPolygonInfoInPick(bool bOn) { sg_bPolygonInfoInPick = bOn; }

uint8_t g_bAutoFringeRange = 0;
uint8_t g_bContoursShown = 0;
uint8_t g_bDrawAnimationSetup = 0;
