// tools/nk_cut_surface.cpp -- the cut surfaces a frame keeps per cutting plane.
#include "tools/nk_cut_surface.h"

#include "core/nk_memory.h"

VectorGrid::~VectorGrid()
{
    NKFreeEdgeArrays(this, false);
}

// Each pointer is cleared after it is freed, so the destructor that runs
// after a free without bZero frees nothing twice.
void NKFreeEdgeArrays(VectorGrid *pGrid, bool bZero)
{
    if (pGrid == nullptr) return;
    NKFree(pGrid->pfPositions);
    NKFree(pGrid->pfVectors);
    NKFree(pGrid->pfValues);
    NKFree(pGrid->pColors);
    NKFree(pGrid->pfTexCoords);
    NKFree(pGrid->pFound);
    pGrid->pfPositions = nullptr;
    pGrid->pfVectors = nullptr;
    pGrid->pfValues = nullptr;
    pGrid->pColors = nullptr;
    pGrid->pfTexCoords = nullptr;
    pGrid->pFound = nullptr;
    if (bZero) {
        pGrid->iCountI = 0;
        pGrid->iCountJ = 0;
    }
}

// Placeholder: no cut surface is made yet, so every slot is already empty.
bool NKFreeCutSurfaces(int, int)
{
    return true;
}
