// tools/nk_particle_trace.cpp -- the particle-trace results a frame keeps.
#include "tools/nk_particle_trace.h"

// Placeholder: no particle-trace result is made yet.
void NKFreeFrameTraces(NKFrame *)
{
}
