// tools/nk_surface_draw.h -- the scene passes that draw what the cutting
// planes and the iso-surface keep per frame, in immediate mode: the cut
// surfaces with their vectors and the outline of the active plane, and the
// iso-surfaces. The scene calls them for the frame being drawn after the
// per-frame update (scene/nk_scene_extras.cpp), the cut surfaces between the
// clip-plane calls of CutPlaneSet::ApplyClipPlanes. Both restore the global
// line width and point size and the culling they found.
#pragma once

struct NKFrame;
struct NKDisplayListSet;
struct NKVectorSettings;
class CutPlaneSet;

// Nothing without a geometry with parts or for a disabled set.
void NKDrawCutSurfaces(NKFrame *pFrame, CutPlaneSet *pSet, const NKDisplayListSet *pLists,
                       const NKVectorSettings *pVectors);
// Nothing without a geometry with parts.
void NKDrawIsoSurfaces(NKFrame *pFrame, const NKDisplayListSet *pLists);
