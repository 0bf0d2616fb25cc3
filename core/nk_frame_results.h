// core/nk_frame_results.h -- per-part access to a frame's results, result
// copies and the clean-up of frame-owned cut surfaces.
#pragma once

struct CutSurface;
struct NKFrame;

// Placeholder: frees a cut surface's per-part records and edge arrays before
// the frame deletes it; a cut surface holds nothing yet.
void NKFreeCutSurfaceHeader(CutSurface *pHeader);

// Placeholder: gives dst a deep copy of src's vector result (one entry per
// part of src's geometry, names, counts and minimum/maximum copied) with a
// reference count of 1, releasing dst's old one. False, dst unchanged, for
// null frames, a missing source result or an allocation failure.
bool NKCopyVectorResult(NKFrame *pDst, const NKFrame *pSrc);
// Placeholder: the same for the scalar result (node entries, and element
// entries when src has them).
bool NKCopyFrameScalarResult(NKFrame *pDst, const NKFrame *pSrc);
