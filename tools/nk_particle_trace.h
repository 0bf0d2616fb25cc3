// tools/nk_particle_trace.h -- the particle-trace results a frame keeps.
#pragma once

struct NKFrame;

// Placeholder: an empty record until the particle traces are built.
struct ParticleTraceResult {
};

// Placeholder: frees one frame's particle-trace results and empties its five
// slots; nothing to free yet.
void NKFreeFrameTraces(NKFrame *pFrame);
