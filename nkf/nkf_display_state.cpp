// nkf/nkf_display_state.cpp -- the display state of an NKF file (see
// nkf_display_state.h).
#include "nkf/nkf_display_state.h"

// Placeholder: the display state of an NKF file (textures, part attributes,
// items, settings, transformations, viewpoints, animation settings) is
// applied once its import is built; until then nothing is applied (false).
bool NKFLoadTextures(void) { return false; }
bool NKFApplyPartAttributes(int, NKGeometry *) { return false; }
bool NKFApplyItems(void) { return false; }
bool NKFApplySettings(bool *pbAnimate)
{
    *pbAnimate = false;
    return false;
}
bool NKFApplyTransformations(void) { return false; }
bool NKFApplyQuolinTransformations(void) { return false; }
bool NKFApplyViewpoints(void) { return false; }
bool NKFApplyAnimationSettings(void) { return false; }
