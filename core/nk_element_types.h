// core/nk_element_types.h -- the element type table and the local topology of
// every element kind: corners, edges, faces and face nodes in local node numbers.
//
// Every element of the model carries a type code 0-18 that indexes
// NKElementTypeTable. The NKF parser and writer, the readers, the mesh
// utilities and the neighbour search all read the same rows. The functions here
// work on type codes only; mapping local numbers through a part's element
// connectivity, face normals and the neighbour search live in nk_topology.h.
// The selected shell surface (inner, middle, outer) used by readers and plots
// for shell results is kept here as well.
#pragma once

enum {
    NK_ELEMENT_TYPE_COUNT = 19,
    NK_ELEMENT_MAX_FACES = 6,         // faces of a hexahedron
    NK_ELEMENT_MAX_FACE_CORNERS = 4,  // corners of a quadrilateral face
    NK_ELEMENT_MAX_FACE_NODES = 8     // nodes of a quadratic quadrilateral face
};

// Type codes, equal to the row index in NKElementTypeTable.
enum {
    NK_ELEM_BEAM = 0,
    NK_ELEM_BEAM_3 = 1,
    NK_ELEM_TRIANGLE = 2,
    NK_ELEM_TRIANGLE_6 = 3,
    NK_ELEM_QUAD = 4,
    NK_ELEM_QUAD_8 = 5,
    NK_ELEM_TETRAHEDRON = 6,
    NK_ELEM_TETRAHEDRON_10 = 7,
    NK_ELEM_HEXAHEDRON = 8,
    NK_ELEM_HEXAHEDRON_20 = 9,
    NK_ELEM_PENTAHEDRON = 10,
    NK_ELEM_PENTAHEDRON_15 = 11,
    NK_ELEM_BRICK = 12,
    NK_ELEM_THICKSHELL = 13,
    NK_ELEM_SHELL = 14,
    NK_ELEM_RIGID_SHELL = 15,
    NK_ELEM_DYNA_BEAM = 16,
    NK_ELEM_POINT = 17,
    NK_ELEM_UNKNOWN = 18
};

// One row of the element type table.
struct NKElementTypeInfo {
    int iType;            // type code, equal to the row index
    char szKeyword[256];  // NKF keyword ("%HEXAHEDRONS"), empty when the kind has none
    char szName[256];     // display name ("Hexahedron")
    int iNumNodes;        // nodes of one element
    int iNumFaces;        // surface polygons the element contributes
    int iNumFaceNodes;    // polygon-node references of those polygons
};

extern const NKElementTypeInfo NKElementTypeTable[NK_ELEMENT_TYPE_COUNT];

// Row lookups over the table, matched on the type code. The counts are 0 and
// the name "Unknown" for a code that is not in the table.
const NKElementTypeInfo *NKFElementTypeInfo(int iType);
int NKFElementNodeCount(int iType);
int NKFElementFaceCount(int iType);
int NKFElementFaceNodeCount(int iType);
const char *NKFElementName(int iType);

// Selected shell surface: 0 inner, 1 middle (the start value), 2 outer.
int NKGetShellSurface(void);
// Selects s when 0 <= s <= 2; other values keep the selection.
void NKSetShellSurface(int s);
// "Inner surface", "Middle surface", "Outer surface"; "Unknown surface" otherwise.
const char *NKSurfaceName(int s);

// Topology counts by type group; 0 for a type without that topology (points,
// the unknown kind and codes outside the table).
int NKElementCornerCount(int iType);
int NKElementEdgeCount(int iType);
int NKElementFaceCount(int iType);
int NKElementFaceCornerCount(int iType, int iFace);
int NKElementFaceNodeCount(int iType, int iFace);

// Local end nodes of edge iEdge; (0, 0) for an edge outside the type's list.
// Nothing is written through a null pointer.
void NKElementEdgeNodes(int iType, int iEdge, int *pA, int *pB);

// Local corner numbers of a face, ordered so that the right-hand normal points
// out of a solid. The four entries are set to -1 first; a bad type or face
// leaves them -1.
void NKElementFaceCorners(int iType, int iFace, int piCorners[4]);
// All local nodes of a face in ring order (corners and mid-side nodes for the
// quadratic kinds). The eight entries are set to -1 first.
void NKElementFaceNodes(int iType, int iFace, int piNodes[8]);
