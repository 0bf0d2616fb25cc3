// core/nk_mesh.h -- mesh utilities shared by the readers and the NKF part
// building: the indexed face set record, coincident-node merging, polygon
// orientation, internal-face hiding, removal of unused nodes, local node
// numbering, element face lists, user node ID maps, results picked out of
// global arrays through the parts' node maps, and the geometry's polygon map.
//
// The NKF part builders fill an NKIndexedFaceSet per part, clean it with the
// functions here and turn it into an NKPart. Node indices are 0-based
// throughout. Memory comes from the NKAlloc family; arrays returned to the
// caller are freed with NKFree.
#pragma once

struct NKGeometry;
struct NKScalarResult;
struct NKVectorResult;

// One part's polygons over a compacted node list. Every pointer is owned and
// freed by NKFreePolygonMesh.
struct NKIndexedFaceSet {
    int iNumNodes;           // nodes used by the part
    float *pfCoords;         // 3 per node
    int *piNodeIDs;          // user ID per node, or null
    int *piNodeSourceIndex;  // per node, its index in the node block; ascending
    int iNumPolygons;
    int *piPolygonStart;            // per polygon, first position in the connectivity
    int *piPolygonNumNodes;         // per polygon, its node count
    int *piPolygonElement;          // per polygon, running index of its element
    unsigned char *pbKeep;          // 1 drawn, 0 internal face removed by HideInternalFaces
    unsigned char *pbWholeElement;  // 1 a whole line, shell or point element; 0 a volume face
    unsigned char *pbVisibility;    // 0 visible, 1 hidden (from the global visibility block)
    unsigned char *pbEdgeType;      // per connectivity position, the edge to the next corner:
                                    // 1 boundary, 0 shared (cut surfaces); null until found
    int iConnectLength;
    int *piConnects;                   // part-local node indices
    int *piSortedConnects;             // the connectivity with each polygon's nodes ascending
    int iNumKeptPolygons;              // polygons whose keep flag is 1
    int iNumKeptConnects;              // node references of those polygons
    int iReserved;                     // 0
    unsigned char bFromElements;       // 1 from an *ELEMENTS block, 0 from *INDEXEDFACESET
    unsigned char bNodesNotCompacted;  // 1 until a part builder has compacted the nodes
};

// Clears every count and pointer and sets both trailing flags to 1. Null is ignored.
void NKInitPolygonMesh(NKIndexedFaceSet *pIFS);
// Frees every owned array and initialises the record again. Null is ignored.
void NKFreePolygonMesh(NKIndexedFaceSet *pIFS);

// Replaces, in the connectivity, every node that coincides (within 1e-5 per
// component) with another by the first of its run in x, y, z order. The
// coordinates are not changed; the duplicates stay as unused nodes. Entries
// outside 0..numNodes-1 are left alone. False for null input or when the
// scratch arrays cannot be allocated.
bool NKMergeCoincidentNodes(int *piConnects, int iLength, float (*pfCoords)[3], int iNumNodes);

// Reverses every polygon whose unit normal points against dir (dot < 0).
bool NKOrientPolygons(NKIndexedFaceSet *pIFS, const float dir[3]);

// Sets the keep flag of every pair of identical volume faces to 0 and counts
// the kept polygons and node references. Whole elements and polygons whose
// visibility byte is set are never removed. Makes the sorted connectivity,
// keep, whole-element and visibility arrays when missing; false when that
// allocation fails.
bool HideInternalFaces(NKIndexedFaceSet *pIFS);
// The same keep flags and counts without the sorted connectivity (any is
// freed; the faces' node lists are sorted as they are compared) and without
// making a missing visibility array (read as all zeros), for callers that
// drop the record once the kept polygons are copied: the copy would double
// the connectivity's memory at the peak of a model's loading.
bool NKHideInternalFacesUnsorted(NKIndexedFaceSet *pIFS);

// True when polygons a and b have the same node count and the same sorted node
// lists (two empty polygons are equal).
bool NKIFSFacesEqual(const NKIndexedFaceSet *pIFS, int a, int b);

// Drops the nodes that no polygon uses, keeping the used ones in ascending
// order with their coordinates, IDs and source indices, and renumbers the
// connectivity.
bool NKRemoveUnusedNodesFromIFS(NKIndexedFaceSet *pIFS);

// For polygons first..last (their references taken consecutively from the
// start of polygon first): piUsed receives the distinct nodes in ascending
// order (room for numNodes entries), piLocal the references renumbered to
// positions in piUsed (room for the references; piLocal may be piConnects
// itself, renumbered in place). False for bad arguments, a
// polygon or node reference out of range, or a failed scratch allocation.
bool NKComputeLocalNodeArrays(int iFirst, int iLast, int iNumNodes, const int *piConnects,
                              int iLength, const int *piStarts, const int *piCounts,
                              int iNumPolygons, int *piUsed, int *piNumUsed, int *piLocal,
                              int *piNumLocal);

// ppiNodes receives the distinct nodes in order of first use, ppiLocal the
// connectivity renumbered to positions in it (both new arrays for NKFree).
// piScratch holds one int per global node; it is left marked with ~iTag, so a
// later call with a fresh tag needs no clearing (the scratch must hold no
// entry equal to ~iTag when the call starts). Entries must be indices into
// the scratch. False for null input, a negative length or entry, or a failed
// allocation.
bool NKMakeLocalConnectivity(const int *piConnects, int iLength, int *piScratch, int iTag,
                             int **ppiNodes, int **ppiLocal, int *piNumNodes);

// n ints set to 0, from NKAlloc; null for n < 1 or on failure.
int *NKAllocZeroedInts(int n);

// The six quadrilaterals of a hexahedron, four nodes each; 1-based node
// numbers become 0-based when bOneBased is set.
void NKGetHexaFaces(int piFaces[24], const int piHexa[8], bool bOneBased);
// The four triangles of a tetrahedron.
void NKGetTetraFaces(int piFaces[12], const int piTetra[4], bool bOneBased);
// A shell's four 1-based nodes as 0-based ones.
void NKGetShellFace(int piQuad[4], const int piShell[4]);
// A beam's two 1-based nodes as 0-based ones.
void NKGetBeamEdge(int piEdge[2], const int piBeam[2]);

// Polygons first..first+count-1 get start firstOffset + k x nodesPerPolygon,
// node count nodesPerPolygon, element value iValue and the bytes a, b, c in
// the keep, whole-element and visibility arrays (each array only when present).
// False, writing nothing, when the run does not lie within the polygon count.
bool NKFillPolygonRun(NKIndexedFaceSet *pIFS, int iFirst, int iCount, int iNodesPerPolygon,
                      int iFirstOffset, int iValue, unsigned char a, unsigned char b,
                      unsigned char c);

// A new scalar result with one node entry per part picked through the node
// map, and, when element values are given, one element entry per part with
// elements picked through the elements' global indices. Values out of range
// are undefined; an entry with no defined value is emptied. Null for null
// input or a failed allocation.
NKScalarResult *NKCreateScalarResultFromArrays(const float *pfNodeValues, int iNumNodes,
                                               const float *pfElemValues, int iNumElems,
                                               NKGeometry *pGeo);
// The same for vectors, three values per node.
NKVectorResult *NKCreateVectorResultFromArray(const float (*pfVectors)[3], int iNumNodes,
                                              NKGeometry *pGeo);

// Replaces each user node ID in the connectivity by the index of the node that
// has it (piOrder sorts piIDs ascending; null when piIDs strictly ascend as
// they stand). An unknown ID is reported with
// "Refers to node with user defined ID = %d. No such ID exists." and gives
// false; entries before it are already replaced.
bool NKMapNodeIdsToIndices(const int *piIDs, const int *piOrder, int iNumIds, int *piConnects,
                           int iLength);
// piOrder = 0..n-1, sorted so that piIDs[piOrder[i]] ascends when the IDs are
// not ascending already. False for null input or n < 1.
bool NKSortNodeIdOrder(const int *piIDs, int *piOrder, int n);

// Rebuilds the geometry's {part, polygon} map over all polygons in part order.
bool NKBuildGeometryPolygonMap(NKGeometry *pGeo);
