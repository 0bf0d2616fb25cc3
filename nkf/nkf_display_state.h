// nkf/nkf_display_state.h -- the display state an NKF file carries beside
// its model: textures, part attributes, items (cut planes, node plots and
// the like), settings, transformations, viewpoints and animation settings.
//
// The open command applies each step after an NKF file is loaded and
// reports the ones that applied. Each answers true when the file held that
// state and it was applied.
#pragma once

struct NKGeometry;

bool NKFLoadTextures(void);
bool NKFApplyPartAttributes(int iStep, NKGeometry *pGeo);
bool NKFApplyItems(void);
// *pbAnimate tells whether the settings ask for the animation to start.
bool NKFApplySettings(bool *pbAnimate);
bool NKFApplyTransformations(void);
bool NKFApplyQuolinTransformations(void);
bool NKFApplyViewpoints(void);
bool NKFApplyAnimationSettings(void);
