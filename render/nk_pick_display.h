// render/nk_pick_display.h -- drawing what the selection list holds: the
// picked parts' boxes, elements, polygons, nodes and hit points in the
// selection colour, the node read-out text and the distance of a picked
// pair of nodes, and an element's faces or edges.
//
// The whole feedback of a frame (NKDrawNodeInfo) lives in tools/ because
// the cutting-plane read-out reads the cut surfaces; the pieces below are
// what it draws. Every entry index is checked against its part: an entry
// outside its part is skipped. Each draw here expects the caller to have
// set the colour and the lighting; the matrices are the caller's, each
// entry's part matrix is pushed by NKDrawNodeInfo.
#pragma once

#include "core/nk_string.h"

struct NKFrame;
struct NKPart;
struct NKPickInfo;

// Where the highlighted elements and polygons are moved so that they lie in
// front of the surface (display units); reset with each new model.
struct NKPickMarker {
    float fOffset[3] = {0.0f, 0.0f, 0.0f};
};
extern NKPickMarker g_PickMarker;
void NKResetPickMarker(void);

// The element's faces as polygons with one face normal each (bFilled), or
// its edges as lines, in the part's drawn coordinates. False for an element
// index outside the part, an element whose nodes lie outside it, or missing
// coordinates.
bool NKDrawElementShape(NKFrame *pFrame, NKPart *pPart, int iPart, int iElement, bool bFilled);

// The part's box of the frame (displaced when the frame has one) in display
// coordinates, as a wire box of line width 1.
void NKDrawPickedPartBox(int iFrame, int iPart);
// The entries' elements (piIndices[0..iCount-1] into ppEntries), inside the
// pick offset.
void NKDrawPickedElements(int iFrame, int iPart, NKPickInfo *const *ppEntries, const int *piIndices,
                          int iCount, bool bFilled);
// The entries' polygons filled with their packed normals, inside the pick
// offset.
void NKDrawPickedPolygons(int iFrame, int iPart, NKPickInfo *const *ppEntries, const int *piIndices,
                          int iCount);
// A sphere of constant screen size (factor 0.005) at each entry's node.
void NKDrawPickedNodes(int iFrame, int iPart, NKPickInfo *const *ppEntries, const int *piIndices,
                       int iCount);
// The same at each entry's hit point, for the entries of this frame only.
void NKDrawPickedPoints(int iFrame, int iPart, NKPickInfo *const *ppEntries, const int *piIndices,
                        int iCount);

// The node read-out: "Node ID: %d\n" (only with node IDs), "Pos: %g %g %g"
// (drawn coordinates through the part's matrix, in model coordinates), then
// "\nScalar: %g" (or UNDEFINED) and "\nVector: %g %g %g" when the frame's
// results cover the node. The vector is the result entry minus the
// undeformed node, in model units, however the part is drawn. False (text
// empty) for a part or node that does not exist.
bool NKFormatNodeInfo(NKString *pText, NKFrame *pFrame, int iPart, int iNode);
// A node's drawn display coordinates in its part's own frame. False when
// the part or node (or its drawn coordinates) does not exist.
bool NKGetDrawnNodePosition(NKFrame *pFrame, int iPart, int iNode, float *pfOut);
// The same carried by the part's matrix of the frame.
bool NKGetPickedNodePosition(NKFrame *pFrame, int iPart, int iNode, float *pfOut);
// For exactly two node entries: "Dist: %g (dx: %g, dy: %g, dz: %g)" in model
// units (the components' absolute values) and the midpoint of the two
// nodes' display coordinates in the frame. False otherwise.
bool NKFormatPickDistance(NKString *pText, float *pfMidpoint, NKFrame *pFrame,
                          NKPickInfo *const *ppEntries, int iCount);
// For exactly two entries: an unlit line in the text colour between the two
// nodes and the distance label (owned by the first entry's part). False
// otherwise, and for entries outside their parts.
bool NKDrawPickDistance(int iFrame, NKPickInfo *const *ppEntries, int iCount);
