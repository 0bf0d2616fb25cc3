// core/nk_frame_results.cpp -- per-part access to a frame's results, result
// copies and the clean-up of frame-owned cut surfaces.
#include "core/nk_frame_results.h"

// Placeholder: a cut surface holds nothing yet.
void NKFreeCutSurfaceHeader(CutSurface *)
{
}
