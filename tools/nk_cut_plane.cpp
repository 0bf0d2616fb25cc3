// tools/nk_cut_plane.cpp -- the set of cutting planes (see nk_cut_plane.h).
#include "tools/nk_cut_plane.h"

CutPlaneSet *g_pCutPlaneSet = nullptr;

// Placeholder: no plane points exist yet.
bool CutPlaneSet::ConvertPoints(CutPlaneSet *, bool)
{
    return true;
}
