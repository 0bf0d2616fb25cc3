// tools/nk_iso_surface.h -- the iso-surface records a frame keeps per part.
#pragma once

struct NKFrame;

// Placeholder: an empty record until the iso-surfaces are built.
struct IsoSurfacePart {
};

// Placeholder: frees the iso-surface records of frame iFrame (negative: all
// frames) so that they are computed again; nothing to free yet.
bool NKFreeIsoSurfaces(int iFrame);
// Placeholder: frees one frame's iso-surface records and empties its slot;
// nothing to free yet.
void NKFreeFrameIsoSurfaces(NKFrame *pFrame);
