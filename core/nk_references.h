// core/nk_references.h -- node, element and polygon references and the part
// flag setters.
//
// Users name nodes, elements and polygons in commands and dialogs as text: a
// 1-based part number and a node, element or polygon number joined by a
// comma ("2,105", blanks around the comma allowed), or an ID alone. This file
// parses such texts into references {part index, item index} (both 0-based),
// finds nodes and elements by their user IDs and returns IDs and element
// node coordinates. The node ID of node i is its entry in the part's node-ID
// array, or i + 1 when the part has none; the element ID is the element
// record's iID.
//
// The part flag setters change selection, culling, show-normals and texture
// settings of a range of parts in every frame's geometry, each shared
// geometry once. A range is resolved once against frame 0's geometry (first
// below 0 becomes 0; last below 0 or beyond its last part becomes its last
// part) and then clamped to each geometry's own part count.
#pragma once

#include <cstdint>

class NKString;
struct NKFrame;
struct NKGeometry;
struct ImageRecord;

// A reference to a node, element or polygon: part index and item index,
// both 0-based. As the input of the ID searches, iPart is a 1-based part
// number (-1: all parts) and iIndex the ID.
struct NKPartItemRef {
    int iPart;
    int iIndex;
};

// ---- IDs ---------------------------------------------------------------------------

// The ID of node iNode of part iPart: its node-ID entry, or iNode + 1. 0 for
// a null geometry, a part outside it, or a node outside a part with IDs.
int NKGetNodeID(int iPart, int iNode, const NKGeometry *pGeo);
// The ID of an element; -1 for a null geometry or part array, an index out of
// range or a part without elements.
int NKGetElementID(int iPart, int iElement, const NKGeometry *pGeo);
// The smallest and largest node ID over the parts with node-ID arrays; false
// (min 2147483647, max -1) when no part has IDs.
bool NKGetNodeIdRange(const NKGeometry *pGeo, int *piMin, int *piMax);
// pRef in: {part number 1..iNumParts or -1, node ID}; out: {part index, node
// index} of the first node with that ID (in a part without IDs, ID k is node
// k - 1). False when nothing matches or the part number is 0 or out of range.
bool NKFindNodeByID(NKPartItemRef *pRef, const NKGeometry *pGeo);
// The same for element IDs.
bool NKFindElementByID(NKPartItemRef *pRef, const NKGeometry *pGeo);
// The model coordinates of the element's first n nodes (displaced when the
// frame shows its part displaced) into pfPoints (3 floats each). False for a
// null frame or output, a missing part or coordinates, or an element or node
// out of range.
bool NKGetElementNodeCoords(NKFrame *pFrame, const NKPartItemRef *pRef, float *pfPoints, int n);

// ---- Parsing references ---------------------------------------------------------------

// "p,k" or "k". With a part whose part has no node IDs, k is the 1-based node
// number; otherwise k is a node ID searched in part p or, without a part, in
// all parts in order (in a part without IDs, ID k is node k - 1).
bool NKParseNodeSpec(const NKGeometry *pGeo, const NKString &text, NKPartItemRef *pOut);
// "p,id" or "id": an element ID in part p or in all parts.
bool NKParseElementSpec(const NKGeometry *pGeo, const NKString &text, NKPartItemRef *pOut);
// "p,q" with q a 1-based polygon number of part p; with bAllowBare also "q"
// alone: polygon q - 1 of the first part that has that many polygons. pOut
// starts as {-1, -1}.
bool NKParsePolygonSpec(const NKGeometry *pGeo, const NKString &text, NKPartItemRef *pOut,
                        bool bAllowBare);

// ---- Part flag setters -------------------------------------------------------------------

// The selected flag of parts first..last (see the file comment for ranges).
void NKSelectParts(int iFirst, int iLast, uint8_t uValue);
// The selected flag of the part in the current frame's geometry; 0 for a bad
// index or without a current frame.
uint8_t NKIsPartSelected(int iPart);
// Clears the culled flag of every part of frame iFrame's geometry (every
// frame's for -1). True.
bool NKClearPartsCulled(int iFrame);
// The show-normals flag of the range (the normals / nonormals commands).
void NKSetPartsShowNormals(int iFirst, int iLast, uint8_t uOn);
// Stores the texture reference in the range. True.
bool NKSetPartsTexture(int iFirst, int iLast, ImageRecord *pTexture);
// Clears the texture reference and both texture-mode bytes of the range.
bool NKClearPartsTexture(int iFirst, int iLast);
// Clears texture reference and texture modes of every part that uses
// pTexture (of every part for null). True.
bool NKRemoveTextureFromParts(ImageRecord *pTexture);
// Texture-mode bytes of the range: first = on and not mode, second = on and
// mode; a part without a texture takes pTexture when on and pTexture given.
bool NKSetPartsTextureFlags(int iFirst, int iLast, bool bOn, bool bMode, ImageRecord *pTexture);
