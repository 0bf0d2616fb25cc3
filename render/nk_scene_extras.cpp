// render/nk_scene_extras.cpp -- the scene's neighbours (see
// nk_scene_extras.h).
#include "render/nk_scene_extras.h"

#include "tools/nk_particle_trace.h"

namespace {
int sg_iForcedCulledPart = -1;
}  // namespace

void NKDrawSceneOverlays(NKFrame *) {}
void NKDrawCopyOverlays(NKFrame *) {}
void NKQueueFrameLabel(NKFrame *) {}
void NKDrawToolSurfaces(NKFrame *pFrame) { NKDrawParticleTraces(pFrame, g_pParticleTraceSet); }

const uint8_t *NKGetTextColor(void)
{
    static const uint8_t s_auWhite[3] = {255, 255, 255};
    return s_auWhite;
}

bool NKIsPartCulled(int iPart) { return iPart >= 0 && iPart == sg_iForcedCulledPart; }
void NKForcePartCulled(int iPart) { sg_iForcedCulledPart = iPart; }

void NKCalculateAnimationSpeedup(unsigned int, NKGeometry *) {}
