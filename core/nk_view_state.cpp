// core/nk_view_state.cpp -- the view size, field of view and highlight
// globals.
#include "core/nk_view_state.h"

NKViewSize NKViewWindowSize = {810, 600};
NKAnimationSettings g_AnimationSettings;
float g_fFieldOfViewFactor = NK_DEFAULT_FOV_FACTOR;
NKPartHighlight NKPartHighlightSettings;

namespace {
bool sg_bPolygonInfoInPick = false;
}

bool NKGetPolygonInfoInPick(void) { return sg_bPolygonInfoInPick; }
void NKSetPolygonInfoInPick(bool bOn) { sg_bPolygonInfoInPick = bOn; }

uint8_t g_bAutoFringeRange = 0;
uint8_t g_bContoursShown = 0;
uint8_t g_bFringesShown = 0;
float g_fAdditionalVectorScale = 1.0f;
