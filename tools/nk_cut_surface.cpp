// tools/nk_cut_surface.cpp -- the cut surfaces a frame keeps per cutting plane.
#include "tools/nk_cut_surface.h"

#include "tools/nk_particle_trace.h"

#include "core/nk_memory.h"
#include "core/nk_model_hooks.h"
#include "render/nk_overlays.h"
#include "tools/nk_cut_plane.h"
#include "tools/nk_iso_surface.h"
#include "tools/nk_picking.h"
#include "tools/nk_primitives_3d.h"
#include "tools/nk_surface_storage.h"

VectorGrid::~VectorGrid() { NKFreeEdgeArrays(this, false); }

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

void NKFreeCutSurfaceHeader(CutSurface *pHeader)
{
    if (pHeader == nullptr) return;
    delete[] pHeader->pParts;
    pHeader->pParts = nullptr;
    pHeader->iNumParts = 0;
    NKFreeEdgeArrays(&pHeader->vectorGrid, true);
}

void NKReleaseCutSurfaceObject(CutSurface *pCut)
{
    if (pCut == nullptr) return;
    NKFreeCutSurfaceHeader(pCut);
    delete pCut;
}

namespace {

// Without the plane set there are no points to convert.
bool ConvertCutPlanePoints(bool bToModel)
{
    return g_pCutPlaneSet == nullptr || g_pCutPlaneSet->ConvertPoints(bToModel);
}

// The iso-surface tool's answer to the legend's marker.
bool IsoSurfaceOn(float *pfValue)
{
    if (g_pIsoSurfaceState == nullptr || !g_pIsoSurfaceState->bEnabled) return false;
    *pfValue = g_pIsoSurfaceState->fLevel;
    return true;
}

}  // namespace

// The tools' slots of the model core and of the drawing code, the
// primitives' among them.
void NKInstallToolHooks(void)
{
    NKModelHooks hooks = NKGetModelHooks();
    hooks.pfnReleaseCutSurface = NKReleaseCutSurfaceObject;
    hooks.pfnFreeCutSurfaces = NKFreeCutSurfaceSlots;
    hooks.pfnFreeIsoSurfaces = NKFreeIsoSurfaceRecords;
    hooks.pfnFreeFrameIsoSurfaces = NKFreeFrameIsoSurfaceRecords;
    hooks.pfnConvertCutPlanePoints = ConvertCutPlanePoints;
    NKSetModelHooks(hooks);
    NKSetIsoSurfaceQuery(IsoSurfaceOn);
    NKInstallParticleTraceHooks();
    NKInstallPrimitiveHooks();
    NKInstallPickingHooks();
    NKInstallManipulatorHooks();
}
