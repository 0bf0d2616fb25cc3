// tools/nk_surface_polygoniser.h -- turns the elements of a part into
// polygons wherever a surface passes through them: a cutting plane (a point
// and a normal) or an iso-surface (a level of the frame's scalar result).
//
// Work goes element by element, with no shared vertices: each element the
// surface crosses gives one polygon whose corners lie on its cut edges, in the
// order of EdgeCaseTable (nk_edge_case_table.h) for the mask of cut edges.
// NKClassifyElementNodes finds the cut elements, NKGenerateSurface appends
// their polygons to a record of nk_surface_records.h, and the two per-part
// drivers add colours, orientation and normals. The frames' storage of the
// records is nk_surface_storage.h; drawing them belongs to render/.
#pragma once

#include "tools/nk_surface_records.h"

struct NKPart;
struct NKFrame;

// The two kinds of surface.
enum { NK_SURFACE_PLANE = 0, NK_SURFACE_ISO = 1 };

// An element the surface crosses, with the side of each corner (-1 on or
// below the surface, +1 above), in corner order.
struct CutElement {
    int iElement;
    int aiSide[8];
};

// The cut elements of the part, in element order: a new array (NKAlloc; the
// caller frees it) and its length in *piCount. A corner's value is
// dot(coordinates, normal) for a plane (mode 0, against dot(normal, point) of
// pPlane), its scalar value for an iso-surface (mode 1, against pIso's
// level). A corner exactly on the surface counts as below it. Elements
// without corners, elements whose nodes lie outside the part's element
// connectivity or node list, and (for an iso-surface) elements with an
// undefined corner value, are never cut. Null with count 0 for another
// mode, a missing plane or iso record, a part without elements or nodes, a
// missing array, or when memory runs out.
CutElement *NKClassifyElementNodes(const NKPart *pPart, const float *pfCoords,
                                   const float *pfValues, const CutSurfacePart *pPlane,
                                   const IsoSurfacePart *pIso, int iMode, int *piCount);

// Appends one polygon per cut element (with at least two cut edges) and its
// nodes to the mesh of the mode's record, with the per-node data: for a plane
// the interpolated value always and the vector when pfVectors is given; for
// an iso-surface the interpolated second scalar when pfSecond differs from
// pfValues (the caller passes pfValues itself when there is no second
// scalar). Every array is trimmed to its final size at the end. False for a
// missing part, coordinate or value array, a missing record of the mode
// (mode 1 also needs pfSecond), or when memory runs out; the mesh then keeps
// the whole polygons made so far.
bool NKGenerateSurface(const NKPart *pPart, const float *pfCoords, const float *pfValues,
                       const float *pfSecond, const float *pfVectors, CutSurfacePart *pCut,
                       IsoSurfacePart *pIso, int iMode, const CutElement *pCuts, int iNumCuts);

// The crossing of edge A-B with the plane (point pfPlanePoint, normal
// pfNormal): t = (n.P - n.A) / n.(B - A), the denominator 1e-12 when it is
// exactly 0, held as a float; point A + t (B - A), value and vector (1 - t) A
// + t B, the value undefined when either end's is. The value and vector are
// written only when their outputs (and, for the vector, both end vectors)
// are given.
void NKInterpolatePlaneEdge(const float *pfPlanePoint, const float *pfNormal, const float *pfA,
                            const float *pfB, float fValueA, float fValueB, const float *pfVectorA,
                            const float *pfVectorB, float *pfPoint, float *pfValue,
                            float *pfVector);
// The crossing of edge A-B with the level: t = (L - value A) / (value B -
// value A), the denominator 1e-12 when exactly 0; the colour value and vector
// as for the plane.
void NKInterpolateIsoEdge(float fLevel, const float *pfA, const float *pfB, float fValueA,
                          float fValueB, float fColorA, float fColorB, const float *pfVectorA,
                          const float *pfVectorB, float *pfPoint, float *pfColor, float *pfVector);

// The cut of part iPart of the frame by the plane set in pRecord: polygons
// with their values (and vectors from the frame's further vector result, else
// its vector result), fringe colours over the model's fringe range, every
// polygon turned to face along the plane normal, and coordinates within 1e-7
// of 0 set to 0. Needs the frame's geometry and scalar result with values for
// each node of the part. A part that the plane misses succeeds, empty.
bool NKComputePartCutSurface(NKFrame *pFrame, int iPart, CutSurfacePart *pRecord);

// The iso-surface of part iPart of the frame at the level of its record
// (pFrame->pIsoSurfaces[iPart]): polygons, colours (one for the whole surface
// from the level over the fringe range; or per node from the frame's further
// scalar result over the model's second value range) and packed polygon
// normals. Needs the record, the geometry and the scalar result.
bool NKComputePartIsoSurface(NKFrame *pFrame, int iPart);
