// tools/nk_cut_surface.h -- the cut surfaces a frame keeps per cutting plane.
//
// A frame owns up to ten CutSurface objects (NKFrame::pCutSurfaces), made with
// new. Releasing the frame cleans each with NKFreeCutSurfaceHeader
// (core/nk_frame_results.h) and then deletes it.
#pragma once

// Placeholder: an empty record until the cutting planes are built.
struct CutSurface {
};

// Placeholder: frees the cut surfaces of plane iPlane in frame iFrame (a
// negative index means all) and empties their slots; nothing to free yet.
bool NKFreeCutSurfaces(int iPlane, int iFrame);
