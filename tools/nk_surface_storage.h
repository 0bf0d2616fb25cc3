// tools/nk_surface_storage.h -- the cut surfaces and iso-surfaces that frames
// keep until something invalidates them: freeing them by plane and frame, and
// the search for the boundary edges of a cut surface (the outline drawn for
// the active plane and written by the boundary export).
//
// The model core and the commands free surfaces through the core names
// NKFreeCutSurfaces, NKFreeIsoSurfaces and NKFreeFrameIsoSurfaces
// (core/nk_model_hooks.h); NKInstallToolHooks puts the functions below into
// those slots at start-up. Frames are addressed by index into g_pModel's
// frame array, a negative index meaning every frame.
#pragma once

#include <cstdint>

struct NKFrame;
struct CutSurface;

// Frees the CutSurface of each plane in range (negative: every slot) in each
// frame in range (negative: every frame) and empties the slots; the frames'
// cut-surface counts stay. Always true. The slot behind NKFreeCutSurfaces.
bool NKFreeCutSurfaceSlots(int iPlane, int iFrame);
// Frees every iso-surface record of the frame (negative: of every frame) and
// sets its count to 0. Always true. The slot behind NKFreeIsoSurfaces.
bool NKFreeIsoSurfaceRecords(int iFrame);
// The same for one frame record; null is ignored. The slot behind
// NKFreeFrameIsoSurfaces.
void NKFreeFrameIsoSurfaceRecords(NKFrame *pFrame);
// Frees the cut surfaces (slots emptied, count 0) and the iso-surfaces of
// each of the iCount frames, as frames are released.
void NKFreeFramesDerivedSurfaces(NKFrame *pFrames, int iCount);

// Finds the boundary edges of each part record that has nodes and polygons
// and no edge-type array yet: the connectivity is copied, coincident nodes
// merged in the copy (neighbouring polygons never share node indices) and
// NKFindEdgesInCutplane run on it. The edges-found flag is then set, also when
// a part failed, so the search is not repeated for that surface.
void NKUpdateCutSurfaceEdges(CutSurface *pCut);

// One byte per connectivity position for the polygon edge that starts there
// (to the next corner, the last corner wrapping to the first): 1 when no other
// polygon edge joins the same two nodes, 0 when it pairs with one. Polygons
// lie one after the other in the connectivity with the given node counts.
// Equal edges pair in the order the hash buckets hold them (newest first), so
// of three equal edges the one at the lowest position stays a boundary. A new
// array (NKAlloc; the caller frees it), or null for a length below 1, counts
// that do not fill the connectivity exactly, or when memory runs out (traced
// with "Error initiating hashing.", "Error allocating memory for edges." or
// "Error allocating memory for pcEdgeType.").
uint8_t *NKFindEdgesInCutplane(const int *piConnects, const int *piPolygonNumNodes,
                               int iNumPolygons, int iConnectLength);
