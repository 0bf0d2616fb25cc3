// tests/test_support/quad_plate.h -- a flat plate of quadrilaterals as one
// part with a node scalar made from the node coordinates, shared by the
// contour-line tests and benchmark.
//
// The plate of nx x ny quads over [x0, x1] x [y0, y1] at z 0 has
// (nx + 1)(ny + 1) nodes numbered x fastest; quad (i, j) has the nodes
// (i, j), (i + 1, j), (i + 1, j + 1), (i, j + 1) in this order.
#pragma once

struct NKPart;
struct NKScalarResult;

// Gives an empty part the plate's nodes and polygons (NKAlloc arrays the
// part owns). False when memory runs out or a count is below 1.
bool NKTestBuildQuadPlate(NKPart *pPart, int nx, int ny, float x0, float y0, float x1, float y1);

// A new scalar result (reference count 0) whose part iPart of iNumParts has
// the node values pfnValue(x, y) of pPart's node coordinates; the other
// parts have no values. Null when memory runs out.
NKScalarResult *NKTestPlateScalar(const NKPart *pPart, int iPart, int iNumParts,
                                  float (*pfnValue)(float x, float y));
