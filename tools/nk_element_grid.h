// tools/nk_element_grid.h -- the seed grid of the particle traces: a uniform
// grid over the corner boxes of a geometry's solid element records, so that a
// seed is located by testing the few records of its cell instead of all.
//
// The grid is one NKAlloc block kept in NKGeometry::pElementGrid beside the
// element records (freed with the geometry by NKFree) and rebuilt whenever
// the records or their normals are. A cell lists its records in ascending
// order and every record whose box holds a point is in that point's cell, so
// the answer is the one core's scan gives: the first record holding the point.
#pragma once

struct NKFrame;
struct NKElementNeighbourRecord;

// A new grid over the frame's geometry's element records (display
// coordinates); null when there are no solid records or memory runs out.
void *NKBuildElementGrid(const NKFrame *pFrame, const NKElementNeighbourRecord *pRecords,
                         int iCount);
// The box of the grid (six floats, min then max); false for a null grid.
bool NKGetElementGridBox(const void *pGrid, float *pfBox);
// As NKFindElementContainingPoint over all records, through the grid.
int NKGridFindElementContainingPoint(const void *pGrid, const NKFrame *pFrame,
                                     const NKElementNeighbourRecord *pRecords, const float p[3],
                                     int *piFace);
