// core/nk_model_query.cpp -- see nk_model_query.h.
#include "core/nk_model_query.h"

#include "core/nk_frames.h"

// Placeholder: moves to the part flag setters when they land.
bool NKIsPartSelected(int iPart)
{
    const NKGeometry *pGeo = NKGetCurrentGeometry();
    if (pGeo == nullptr || pGeo->pParts == nullptr || iPart < 0 || iPart >= pGeo->iNumParts)
        return false;
    return pGeo->pParts[iPart].bSelected != 0;
}
