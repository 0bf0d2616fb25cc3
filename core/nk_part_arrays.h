// core/nk_part_arrays.h -- a part's polygon layout and the operations that
// grow, append, merge and group part arrays.
//
// Readers deliver a part's polygons as one raw connectivity list (1-based node
// numbers, the last node of each polygon negated); NKComputePolygonStartAndIndex
// turns it into the per-polygon node counts and starts and the 0-based list the
// rest of the system uses. The grow/append functions let readers build parts
// piecewise, NKMergeGeometries joins two geometries into a new one, and
// NKGroupParts replaces several parts of a geometry by one. The records are
// those of nk_model.h; element topology comes from nk_topology.h.
#pragma once

#include <vector>

struct NKGeometry;
struct NKPart;
struct NKScalarPartEntry;
struct NKVectorPartEntry;

// Decodes every part's raw connectivity in place and allocates its
// nodes-per-polygon and polygon-start arrays. Fails (internal trace) without
// changing any part when the geometry has no parts, when a part's markers
// would give more polygons than its polygon count or fewer, when entries
// follow the last end marker, when an entry's absolute value lies outside
// 1..node count, or when an allocation fails.
bool NKComputePolygonStartAndIndex(NKGeometry *pGeo);

// The connectivity of polygon k of a part: its first node index and node
// count. False when the part has no polygon layout or the polygon runs past
// its connectivity.
bool NKGetPartPolygon(const NKPart &part, int k, const int **ppiNodes, int *piCount);

// Gives the part its polygon layout: counts and copies of the 0-based
// connectivity, the polygon starts, node counts and polygon-to-element map
// (all four the same length but connects). False when a copy cannot be
// allocated; nothing to copy is no failure.
bool NKSetPartPolygons(NKPart *pPart, const std::vector<int> &connects,
                       const std::vector<int> &starts, const std::vector<int> &counts,
                       const std::vector<int> &elements);

// Makes room for n more nodes: coordinates and packed node normals, and when
// present the node map, node types and node IDs. The counts stay; false when
// an allocation fails.
bool NKGrowPartNodes(NKPart *pPart, int n);
// Appends src's nodes first..last (swapped when reversed) after dst's nodes;
// dst's arrays must have been grown first. A source without node IDs gives
// each node its own ID in src (index + 1). False for a range outside src or
// missing arrays.
bool NKAppendPartNodes(NKPart *pDst, const NKPart *pSrc, int iFirst, int iLast);

// The same for a scalar part entry (values, and colours and texture
// coordinates when present).
bool NKGrowScalarPartEntry(NKScalarPartEntry *pEntry, int n);
bool NKAppendScalarPartEntry(NKScalarPartEntry *pDst, const NKScalarPartEntry *pSrc, int iFirst,
                             int iLast);
// The same for a vector part entry (node values, and packed node normals when
// present in both).
bool NKGrowVectorPartEntry(NKVectorPartEntry *pEntry, int n);
bool NKAppendVectorPartEntry(NKVectorPartEntry *pDst, const NKVectorPartEntry *pSrc, int iFirst,
                             int iLast);

// Makes room for n more element records and m more element connectivity
// entries; the counts stay.
bool NKGrowPartElements(NKPart *pPart, int n, int m);
// Appends element iIndex of src to dst: its nodes at the end of dst's element
// connectivity and a record {type, ID, global index, start}. dst's arrays
// must have been grown first. False without a destination element array or
// for an element outside src.
bool NKAppendPartElement(NKPart *pDst, const NKPart *pSrc, int iIndex);

// Builds the part's polygon-to-element map: each polygon gets the element
// that has a face (or, for line and point elements, a polygon) with the same
// nodes, -1 when none. False for a part without elements or on allocation
// failure.
bool NKBuildPolygonElementMap(NKPart *pPart);

// A new geometry holding a's parts followed by b's, in model coordinates
// (a's converted from display coordinates); null on failure, a and b
// untouched.
NKGeometry *NKMergeGeometries(NKGeometry *pA, NKGeometry *pB);

// Replaces the listed parts by one group part appended after the others. The
// group part keeps the first listed part's attributes and joins every
// member's nodes, IDs, polygons, elements and polygon-to-element map. False,
// the geometry unchanged, for a bad list or when memory runs out.
bool NKGroupParts(NKGeometry *pGeo, const int *piParts, int iCount);

// Node ID = node map entry + 1 for every part. "Cannot create node IDs, no
// node map present" for a part without a node map.
bool NKCreateNodeIDs(NKGeometry *pGeo);
