// core/nk_frame_results.h -- per-part access to a frame's results, result
// copies and the clean-up of frame-owned cut surfaces.
#pragma once

struct CutSurface;

// Placeholder: frees a cut surface's per-part records and edge arrays before
// the frame deletes it; a cut surface holds nothing yet.
void NKFreeCutSurfaceHeader(CutSurface *pHeader);
