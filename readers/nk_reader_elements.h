// readers/nk_reader_elements.h -- the element types of reader plug-ins (14
// kinds), their mapping to the model's element types, and the conversion of
// reader elements into the polygons the viewer draws and into a part's
// element records.
//
// NKFEMInterface (nk_fem_interface.h) feeds every element of a part through
// here and then hides the internal solid faces (core/nk_mesh.h). The
// functions trust the element lists they are given: the adapter checks the
// reader's blocks before it calls them.
#pragma once

#include "core/nk_mesh.h"
#include "core/nk_string.h"

struct FEElementBlock;
struct NKElement;

enum { NK_NUM_READER_ELEMENT_TYPES = 14 };

bool NKIsReaderElementType(int iType);
// The table's columns; -1 for an invalid type.
int NKReaderElementNodeCount(int iType);
int NKReaderElementFaceCount(int iType);
int NKReaderElementFaceNodeCount(int iType);
// "Hexahedron" and the like; "" for an invalid type.
NKString NKReaderElementName(int iType);
// 0-11 map to themselves, 12 (point) to 17, everything else to 18 (unknown).
int NKReaderToModelElementType(int iType);

// An element's type: the block's per-element type when it has them, else
// the block's one type. The element must lie in the block.
int NKGetBlockElementType(const FEElementBlock &block, int iElement);
int NKGetBlockElementNodeCount(const FEElementBlock &block, int iElement);

// A polygon mesh under construction with room for a fixed number of
// polygons and node references; the face set's polygon count and
// connectivity length are the fill positions, and its whole-element flags
// are the polygons' visible flags.
struct NKReaderMesh {
    NKIndexedFaceSet faces;
    int iMaxPolygons = 0;
    int iMaxConnects = 0;
};

// Makes room for that many polygons and references in an empty mesh. False
// when an array cannot be allocated (the mesh is then freed).
bool NKSizeReaderMesh(NKReaderMesh *pMesh, int iNumPolygons, int iNumConnects);
void NKFreeReaderMesh(NKReaderMesh *pMesh);

// Adds the faces of one element (piNodes: its node list) to the mesh, each
// face one polygon of element iElement; visible flag 1 for types 0-5, 0 for
// solid faces and points. False, adding nothing, for a type outside 0..12
// or a mesh without room.
bool NKConvertElementToPolygons(int iType, const int *piNodes, int iElement, NKReaderMesh *pMesh);

// Sizes the mesh for the listed elements of the block (their face counts and
// face-node totals), then converts each with its position in the list as
// the element index. piConnects is the block's connectivity (possibly
// renumbered). False when an array cannot be allocated.
bool NKBuildPolygonMeshFromElements(const FEElementBlock &block, const int *piConnects,
                                    const int *piElements, int iCount, NKReaderMesh *pMesh);

// The part element records of the listed elements (unknown ones skipped):
// model type, id (the block's id, else block index + 1), block index and the
// start of its nodes in the part's element connectivity, whose entries are
// positions in the part's node list piPartNodes (-1 when not in it). New
// NKAlloc arrays through the out-parameters; false (nothing allocated) when
// out of memory.
bool NKBuildPartElements(const FEElementBlock &block, const int *piConnects, const int *piElements,
                         int iCount, const int *piPartNodes, int iNumPartNodes,
                         NKElement **ppElements, int *piNumElements, int **ppiElementConnects,
                         int *piNumElementConnects);
