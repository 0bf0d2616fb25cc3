// core/nk_element_types.cpp -- the element type table, the per-group topology
// tables and the shell surface selection. See nk_element_types.h.
//
// The topology tables are kept per group (line, triangle, quadrilateral,
// tetrahedron, hexahedron, pentahedron); the type code picks the group and,
// for the quadratic kinds, the face-node table with the mid-side nodes.
#include "core/nk_element_types.h"

const NKElementTypeInfo NKElementTypeTable[NK_ELEMENT_TYPE_COUNT] = {
    {0, "%BEAMS", "Beam", 2, 1, 2},
    {1, "%BEAMS_3", "Beam", 3, 2, 4},
    {2, "%TRIANGLES", "Triangle", 3, 1, 3},
    {3, "%TRIANGLES_6", "Triangle", 6, 1, 6},
    {4, "%QUADS", "Quad", 4, 1, 4},
    {5, "%QUADS_8", "Quad", 8, 1, 8},
    {6, "%TETRAHEDRONS", "Tetrahedron", 4, 4, 12},
    {7, "%TETRAHEDRONS_10", "Tetrahedron", 10, 4, 24},
    {8, "%HEXAHEDRONS", "Hexahedron", 8, 6, 24},
    {9, "%HEXAHEDRONS_20", "Hexahedron", 20, 6, 48},
    {10, "%PENTAHEDRONS", "Pentahedron", 6, 5, 18},
    {11, "%PENTAHEDRONS_15", "Pentahedron", 15, 5, 36},
    {12, "", "Brick", 8, 6, 24},
    {13, "", "Thickshell", 8, 6, 24},
    {14, "", "Shell", 4, 1, 4},
    {15, "", "Rigid Shell", 4, 1, 4},
    {16, "", "Beam", 2, 1, 2},
    {17, "%POINTS", "Point", 1, 1, 1},
    {18, "%UNKNOWN", "Unknown", 0, 0, 0},
};

namespace {

enum NKTopologyGroup {
    GROUP_NONE,
    GROUP_LINE,
    GROUP_TRIANGLE,
    GROUP_QUAD,
    GROUP_TETRA,
    GROUP_HEXA,
    GROUP_PENTA
};

NKTopologyGroup GroupOf(int iType)
{
    switch (iType) {
    case 0:
    case 1:
    case 16:
        return GROUP_LINE;
    case 2:
    case 3:
        return GROUP_TRIANGLE;
    case 4:
    case 5:
    case 14:
    case 15:
        return GROUP_QUAD;
    case 6:
    case 7:
        return GROUP_TETRA;
    case 8:
    case 9:
    case 12:
    case 13:
        return GROUP_HEXA;
    case 10:
    case 11:
        return GROUP_PENTA;
    default:
        return GROUP_NONE;
    }
}

// Per group: corners, edges, faces (indexed by NKTopologyGroup).
const int sg_aiCornerCount[] = {0, 2, 3, 4, 4, 8, 6};
const int sg_aiEdgeCount[] = {0, 1, 3, 4, 6, 12, 9};
const int sg_aiFaceCount[] = {0, 0, 1, 1, 4, 6, 5};

const int sg_aiLineEdges[1][2] = {{0, 1}};
const int sg_aiTriangleEdges[3][2] = {{0, 1}, {1, 2}, {2, 0}};
const int sg_aiQuadEdges[4][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}};
const int sg_aiTetraEdges[6][2] = {{0, 3}, {0, 1}, {1, 3}, {1, 2}, {0, 2}, {2, 3}};
const int sg_aiHexaEdges[12][2] = {{1, 5}, {0, 1}, {0, 4}, {0, 3}, {1, 2}, {2, 6},
                                   {5, 6}, {4, 5}, {4, 7}, {3, 7}, {6, 7}, {2, 3}};
const int sg_aiPentaEdges[9][2] = {{1, 4}, {0, 1}, {0, 3}, {0, 2}, {1, 2},
                                   {2, 5}, {4, 5}, {3, 4}, {3, 5}};

// Face corners; -1 pads the triangular faces.
const int sg_aiTriangleFaces[1][4] = {{0, 1, 2, -1}};
const int sg_aiQuadFaces[1][4] = {{0, 1, 2, 3}};
const int sg_aiTetraFaces[4][4] = {{2, 1, 0, -1}, {0, 1, 3, -1}, {1, 2, 3, -1}, {3, 2, 0, -1}};
const int sg_aiHexaFaces[6][4] = {{3, 2, 1, 0}, {4, 5, 6, 7}, {0, 1, 5, 4},
                                  {1, 2, 6, 5}, {2, 3, 7, 6}, {4, 7, 3, 0}};
const int sg_aiPentaFaces[5][4] = {
    {2, 1, 0, -1}, {3, 4, 5, -1}, {0, 1, 4, 3}, {1, 2, 5, 4}, {3, 5, 2, 0}};

// Face nodes of the quadratic kinds in ring order; -1 pads the shorter faces.
const int sg_aiTriangle6Faces[1][8] = {{0, 3, 1, 4, 2, 5, -1, -1}};
const int sg_aiQuad8Faces[1][8] = {{0, 4, 1, 5, 2, 6, 3, 7}};
const int sg_aiTetra10Faces[4][8] = {{2, 5, 1, 4, 0, 6, -1, -1},
                                     {0, 4, 1, 8, 3, 7, -1, -1},
                                     {1, 5, 2, 9, 3, 8, -1, -1},
                                     {3, 9, 2, 6, 0, 7, -1, -1}};
const int sg_aiHexa20Faces[6][8] = {{11, 3, 10, 2, 9, 1, 8, 0},   {4, 12, 5, 13, 6, 14, 7, 15},
                                    {0, 8, 1, 17, 5, 12, 4, 16},  {1, 9, 2, 18, 6, 13, 5, 17},
                                    {2, 10, 3, 19, 7, 14, 6, 18}, {4, 15, 7, 19, 3, 11, 0, 16}};
const int sg_aiPenta15Faces[5][8] = {{8, 2, 7, 1, 6, 0, -1, -1},
                                     {3, 9, 4, 10, 5, 11, -1, -1},
                                     {0, 6, 1, 13, 4, 9, 3, 12},
                                     {1, 7, 2, 14, 5, 10, 4, 13},
                                     {3, 11, 5, 14, 2, 8, 0, 12}};

const int (*EdgeTable(NKTopologyGroup g))[2]
{
    switch (g) {
    case GROUP_LINE:
        return sg_aiLineEdges;
    case GROUP_TRIANGLE:
        return sg_aiTriangleEdges;
    case GROUP_QUAD:
        return sg_aiQuadEdges;
    case GROUP_TETRA:
        return sg_aiTetraEdges;
    case GROUP_HEXA:
        return sg_aiHexaEdges;
    case GROUP_PENTA:
        return sg_aiPentaEdges;
    default:
        return nullptr;
    }
}

const int (*CornerTable(NKTopologyGroup g))[4]
{
    switch (g) {
    case GROUP_TRIANGLE:
        return sg_aiTriangleFaces;
    case GROUP_QUAD:
        return sg_aiQuadFaces;
    case GROUP_TETRA:
        return sg_aiTetraFaces;
    case GROUP_HEXA:
        return sg_aiHexaFaces;
    case GROUP_PENTA:
        return sg_aiPentaFaces;
    default:
        return nullptr;
    }
}

// The face-node table of a quadratic kind; null for the linear kinds, whose
// face nodes are their corners.
const int (*QuadraticFaceTable(int iType))[8]
{
    switch (iType) {
    case 3:
        return sg_aiTriangle6Faces;
    case 5:
        return sg_aiQuad8Faces;
    case 7:
        return sg_aiTetra10Faces;
    case 9:
        return sg_aiHexa20Faces;
    case 11:
        return sg_aiPenta15Faces;
    default:
        return nullptr;
    }
}

bool IsQuadratic(int iType) { return QuadraticFaceTable(iType) != nullptr; }

bool FaceInRange(int iType, int iFace)
{
    return iType >= 2 && iType <= 15 && iFace >= 0 && iFace < NKElementFaceCount(iType);
}

int sg_iShellSurface = 1;

}  // namespace

const NKElementTypeInfo *NKFElementTypeInfo(int iType)
{
    for (const NKElementTypeInfo &row : NKElementTypeTable)
        if (row.iType == iType) return &row;
    return nullptr;
}

int NKFElementNodeCount(int iType)
{
    const NKElementTypeInfo *pRow = NKFElementTypeInfo(iType);
    return pRow ? pRow->iNumNodes : 0;
}

int NKFElementFaceCount(int iType)
{
    const NKElementTypeInfo *pRow = NKFElementTypeInfo(iType);
    return pRow ? pRow->iNumFaces : 0;
}

int NKFElementFaceNodeCount(int iType)
{
    const NKElementTypeInfo *pRow = NKFElementTypeInfo(iType);
    return pRow ? pRow->iNumFaceNodes : 0;
}

const char *NKFElementName(int iType)
{
    const NKElementTypeInfo *pRow = NKFElementTypeInfo(iType);
    return pRow ? pRow->szName : "Unknown";
}

int NKGetShellSurface(void) { return sg_iShellSurface; }

void NKSetShellSurface(int s)
{
    if (s >= 0 && s <= 2) sg_iShellSurface = s;
}

const char *NKSurfaceName(int s)
{
    switch (s) {
    case 0:
        return "Inner surface";
    case 1:
        return "Middle surface";
    case 2:
        return "Outer surface";
    default:
        return "Unknown surface";
    }
}

int NKElementCornerCount(int iType) { return sg_aiCornerCount[GroupOf(iType)]; }

int NKElementEdgeCount(int iType) { return sg_aiEdgeCount[GroupOf(iType)]; }

int NKElementFaceCount(int iType)
{
    if (iType < 2 || iType > 15) return 0;
    return sg_aiFaceCount[GroupOf(iType)];
}

int NKElementFaceCornerCount(int iType, int iFace)
{
    if (!FaceInRange(iType, iFace)) return 0;
    switch (GroupOf(iType)) {
    case GROUP_TRIANGLE:
    case GROUP_TETRA:
        return 3;
    case GROUP_QUAD:
    case GROUP_HEXA:
        return 4;
    case GROUP_PENTA:
        return iFace < 2 ? 3 : 4;
    default:
        return 0;
    }
}

int NKElementFaceNodeCount(int iType, int iFace)
{
    int iCorners = NKElementFaceCornerCount(iType, iFace);
    return IsQuadratic(iType) ? 2 * iCorners : iCorners;
}

void NKElementEdgeNodes(int iType, int iEdge, int *pA, int *pB)
{
    int a = 0, b = 0;
    const int(*pEdges)[2] = EdgeTable(GroupOf(iType));
    if (pEdges != nullptr && iEdge >= 0 && iEdge < NKElementEdgeCount(iType)) {
        a = pEdges[iEdge][0];
        b = pEdges[iEdge][1];
    }
    if (pA != nullptr) *pA = a;
    if (pB != nullptr) *pB = b;
}

void NKElementFaceCorners(int iType, int iFace, int piCorners[4])
{
    if (piCorners == nullptr) return;
    for (int i = 0; i < 4; i++) piCorners[i] = -1;
    if (!FaceInRange(iType, iFace)) return;
    const int(*pFaces)[4] = CornerTable(GroupOf(iType));
    for (int i = 0; i < 4; i++) piCorners[i] = pFaces[iFace][i];
}

void NKElementFaceNodes(int iType, int iFace, int piNodes[8])
{
    if (piNodes == nullptr) return;
    for (int i = 0; i < 8; i++) piNodes[i] = -1;
    if (!FaceInRange(iType, iFace)) return;
    const int(*pQuadratic)[8] = QuadraticFaceTable(iType);
    if (pQuadratic != nullptr) {
        for (int i = 0; i < 8; i++) piNodes[i] = pQuadratic[iFace][i];
        return;
    }
    NKElementFaceCorners(iType, iFace, piNodes);
}
