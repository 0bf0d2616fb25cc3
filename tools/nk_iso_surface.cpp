// tools/nk_iso_surface.cpp -- the iso-surface records a frame keeps per part.
#include "tools/nk_iso_surface.h"

// Placeholder: no iso-surface record is made yet.
bool NKFreeIsoSurfaces(int)
{
    return true;
}

// Placeholder: no iso-surface record is made yet.
void NKFreeFrameIsoSurfaces(NKFrame *)
{
}
