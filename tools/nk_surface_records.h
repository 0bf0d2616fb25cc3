// tools/nk_surface_records.h -- the per-part surface records that the surface
// polygoniser (nk_surface_polygoniser.h) fills: CutSurfacePart, the cut of one
// part by one cutting plane, and IsoSurfacePart, one part's iso-surface.
//
// A frame owns them: the cut-surface records through its CutSurface objects
// (nk_cut_surface.h), the iso-surface records as one array per frame
// (NKFrame::pIsoSurfaces). Both arrays are made with new[] and deleted with
// delete[]; each record frees its mesh and per-node arrays (NKAlloc) in its
// destructor. Polygons share no node: every polygon has its own copies of its
// corner points, which is why the boundary search merges nodes first.
#pragma once

#include <cstdint>

#include "core/nk_mesh.h"

// The cut of one part by one cutting plane in one frame.
struct CutSurfacePart {
    uint8_t bHasSurface = 0;                     // the part's surface has at least one node
    float fPlanePoint[3] = {0.0f, 0.0f, 0.0f};   // display coordinates
    float fPlaneNormal[3] = {0.0f, 0.0f, 1.0f};  // copied from the plane
    float fMax[3] = {-1e12f, -1e12f, -1e12f};    // box of the surface nodes
    float fMin[3] = {1e12f, 1e12f, 1e12f};
    NKIndexedFaceSet mesh;         // pbEdgeType: the boundary marks
    float *pfValues = nullptr;     // one per node, the interpolated scalar
    float *pfVectors = nullptr;    // three per node, only when the frame has vectors
    uint8_t *pColors = nullptr;    // three per node, fringe colours
    float *pfTexCoords = nullptr;  // one per node, 1-D texture coordinate

    CutSurfacePart();
    ~CutSurfacePart();
    CutSurfacePart(const CutSurfacePart &) = delete;
    CutSurfacePart &operator=(const CutSurfacePart &) = delete;
};

// One part's iso-surface in one frame.
struct IsoSurfacePart {
    uint8_t bHasSurface = 0;
    float fLevel = 0.0f;
    uint8_t uColor[3] = {0, 0, 0};  // the whole surface's colour without a second scalar
    float fMax[3] = {-1e12f, -1e12f, -1e12f};
    float fMin[3] = {1e12f, 1e12f, 1e12f};
    NKIndexedFaceSet mesh;
    float *pfColorValues = nullptr;     // one per node, only with a second scalar
    uint8_t *pColors = nullptr;         // three per node, only with a second scalar
    float *pfTexCoords = nullptr;       // one per node, only with a second scalar
    int8_t *pPolygonNormals = nullptr;  // three packed bytes per polygon

    IsoSurfacePart();
    ~IsoSurfacePart();
    IsoSurfacePart(const IsoSurfacePart &) = delete;
    IsoSurfacePart &operator=(const IsoSurfacePart &) = delete;
};
