// render/nk_scene_extras.cpp -- the scene's neighbours (see
// nk_scene_extras.h).
#include "render/nk_scene_extras.h"

#include "core/nk_shell_hooks.h"
#include "render/nk_overlays.h"
#include "tools/nk_line_sets.h"
#include "tools/nk_particle_trace.h"
#include "tools/nk_primitives_3d.h"
#include "tools/nk_user_labels.h"

namespace {
int sg_iForcedCulledPart = -1;
}  // namespace

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

uint8_t g_uTextColor[3] = {255, 255, 255};
const uint8_t *NKGetTextColor(void) { return g_uTextColor; }

bool NKIsPartCulled(int iPart) { return iPart >= 0 && iPart == sg_iForcedCulledPart; }
void NKForcePartCulled(int iPart) { sg_iForcedCulledPart = iPart; }

void NKCalculateAnimationSpeedup(unsigned int, NKGeometry *) {}
