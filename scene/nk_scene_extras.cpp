// scene/nk_scene_extras.cpp -- the scene's neighbours (see
// nk_scene_extras.h).
#include "scene/nk_scene_extras.h"

#include "core/nk_shell_hooks.h"
#include "render/nk_overlays.h"
#include "tools/nk_line_sets.h"
#include "tools/nk_particle_trace.h"
#include "tools/nk_primitives_3d.h"
#include "tools/nk_user_drawing.h"
#include "tools/nk_user_labels.h"

void NKDrawSceneOverlays(NKFrame *) { NKFLDRedrawOnSelection(); }
void NKDrawCopyOverlays(NKFrame *pFrame)
{
    NKDrawPartPrimitives(pFrame);
    NKDrawGlobalPrimitives();
    NKDrawLineSets();
    NKDrawUserPrimitives(pFrame);
    NKDrawUserPoints();
    NKDrawUserLabels();
    NKDrawUserTexturePolygons(nullptr);
}
void NKQueueFrameLabel(NKFrame *) {}
void NKDrawToolSurfaces(NKFrame *pFrame) { NKDrawParticleTraces(pFrame, g_pParticleTraceSet); }

void NKCalculateAnimationSpeedup(unsigned int, NKGeometry *) {}
