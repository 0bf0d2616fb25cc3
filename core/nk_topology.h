// core/nk_topology.h -- element topology over a part's element connectivity:
// edge and face nodes of an element as part node indices, face keys through
// the node map, face normals, the neighbour search between solid elements and
// the location of the element that holds a point.
//
// The local tables (which local nodes form which edge or face) are in
// nk_element_types.h; this file maps them through NKPart::pElements and
// pElementConnects. The particle traces build the neighbour records once per
// geometry with NKBuildElementNeighbours and walk from element to element;
// the records belong to the caller, who frees them with NKFree.
#pragma once

struct NKPart;
struct NKFrame;
struct NKGeometry;
struct NKBucketEntry;

// One element of the neighbour search.
struct NKElementNeighbourRecord {
    int iPart;                 // part index in the geometry
    int iElement;              // element index in the part
    float fFaceNormals[6][3];  // unit normal per face; entries past the face count unwritten
    int iNeighbours[6][2];     // per face {element record index, face index}, -1 for none
};

// One face of one element, used while the neighbours are searched.
struct NKElementFaceRecord {
    int iRecord;         // element record index
    int iFace;           // face index in the element
    int iCornerKeys[4];  // global corner node indices, ascending, -1 filled
};

// Local end nodes of an edge read through the element's connectivity. Nothing
// is written when an output is null, the part has no elements or the element
// index is out of range.
void NKPartElementEdgeNodes(const NKPart *pPart, int iElement, int iEdge, int *pA, int *pB);
// Part node indices of a face's corners / of all its nodes; -1 filled first,
// and -1 where the local entry is -1 or the connectivity is too short.
void NKPartElementFaceCorners(const NKPart *pPart, int iElement, int iFace, int piOut[4]);
void NKPartElementFaceNodes(const NKPart *pPart, int iElement, int iFace, int piOut[8]);
// The same nodes mapped through the part's node map (the part node index
// itself when the part has none), with the first corner-count (face-node-count)
// entries sorted ascending; equal keys recognise the same face in two elements.
void NKPartElementFaceCornerKeys(const NKPart *pPart, int iElement, int iFace, int piOut[4]);
void NKPartElementFaceNodeKeys(const NKPart *pPart, int iElement, int iFace, int piOut[8]);

// The unit normal of every face of an element over the part's node
// coordinates in the frame, three floats per face in face order. Nothing is
// written for a bad part or element index.
void NKComputeElementFaceNormals(const NKFrame *pFrame, int iPart, int iElement, float *pfNormals);
// Sets all six neighbour pairs to (-1, -1).
void NKInitFaceNeighbours(int piPairs[6][2]);
// NKComputeElementFaceNormals into every record.
void NKComputeElementListFaceNormals(const NKFrame *pFrame, NKElementNeighbourRecord *pRecords,
                                     int iCount);

// Gives every part of the geometry that has no node map one: a running index
// that continues after the largest global index already in use, so that faces
// are matched across parts without false pairs. False when an allocation fails.
bool NKBuildMissingNodeMaps(NKGeometry *pGeo);

// The element records of every element of every part of the frame's geometry,
// with face normals and the neighbour across each face of the solid elements.
// The caller frees the array with NKFree. Null and count 0 on failure.
NKElementNeighbourRecord *NKBuildElementNeighbours(NKFrame *pFrame, int *piCount);

// The index of the first solid element record whose element holds p, or -1.
// *piFace is the last face of that element on which p lies, or -1.
int NKFindElementContainingPoint(const NKFrame *pFrame, const NKElementNeighbourRecord *pRecords,
                                 int iCount, const float p[3], int *piFace);

// The bucket of a key list: sum of key[i] x (13, 769, 97, 5)[i mod 4] in
// 64-bit arithmetic, made non-negative, modulo iTableSize (0 for a table size
// below 1).
int NKHashNodeList(const int *piKeys, int n, int iTableSize);

// Links matching faces of solid elements as neighbours: for every bucket, each
// face record against the ones after it in the bucket's list. ppHeads holds
// the bucket lists' first entries, whose values are face record indices.
void NKPairElementFaces(const NKFrame *pFrame, NKElementNeighbourRecord *pRecords, int iRecordCount,
                        const NKElementFaceRecord *pFaces, int iFaceCount,
                        NKBucketEntry *const *ppHeads, int iBucketCount);
