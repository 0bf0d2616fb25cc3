// tools/nk_cut_surface.h -- the cut surfaces a frame keeps per cutting plane.
//
// A frame owns up to ten CutSurface objects (NKFrame::pCutSurfaces), made with
// new. The model core holds them as opaque pointers; releasing the frame hands
// each to the release slot of core/nk_model_hooks.h, which NKInstallToolHooks
// fills with NKReleaseCutSurfaceObject: NKFreeCutSurfaceHeader, then delete.
#pragma once

#include <cstdint>

#include "tools/nk_surface_records.h"

// The vectors sampled on a regular i x j grid of a cutting plane: six arrays
// of i x j samples, each from NKAlloc. The destructor frees them.
struct VectorGrid {
    int iCountI = 0;
    int iCountJ = 0;
    float *pfPositions = nullptr;  // three per sample, display coordinates
    float *pfVectors = nullptr;    // three per sample
    float *pfValues = nullptr;     // one per sample
    uint8_t *pColors = nullptr;    // three per sample
    float *pfTexCoords = nullptr;  // one per sample, 1-D texture coordinate
    uint8_t *pFound = nullptr;     // one per sample: the sample lies in an element

    VectorGrid() = default;
    ~VectorGrid();
    VectorGrid(const VectorGrid &) = delete;
    VectorGrid &operator=(const VectorGrid &) = delete;
};

// The cut surface of one cutting plane in one frame.
struct CutSurface {
    int iNumParts = 0;
    CutSurfacePart *pParts = nullptr;  // owned (new[]), one per part
    VectorGrid vectorGrid;
    uint8_t bEdgesFound = 0;  // the boundary edges of every part are known
    uint8_t bHasNodes = 0;    // some part record has a node
};

// Frees the six arrays of the grid (null pointers are skipped) and, with
// bZero, sets every field back to zero. Null does nothing.
void NKFreeEdgeArrays(VectorGrid *pGrid, bool bZero);

// Deletes the cut surface's per-part records and frees its vector grid's
// arrays, before the frame deletes the cut surface itself. Null is ignored.
void NKFreeCutSurfaceHeader(CutSurface *pHeader);
// NKFreeCutSurfaceHeader, then deletes the cut surface. Null is ignored.
void NKReleaseCutSurfaceObject(CutSurface *pCut);

// Fills the model core's slots (core/nk_model_hooks.h) with the tools' work
// that exists (releasing and freeing cut and iso-surfaces, converting the
// cutting planes' points) and the drawing code's question whether the
// iso-surface tool is on (render/nk_overlays.h); called once at start-up.
// The others keep their neutral answers.
void NKInstallToolHooks(void);
