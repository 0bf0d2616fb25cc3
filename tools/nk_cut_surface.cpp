// tools/nk_cut_surface.cpp -- the cut surfaces a frame keeps per cutting plane.
#include "tools/nk_cut_surface.h"

// Placeholder: no cut surface is made yet, so every slot is already empty.
bool NKFreeCutSurfaces(int, int)
{
    return true;
}
