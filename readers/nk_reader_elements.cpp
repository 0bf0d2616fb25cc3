// readers/nk_reader_elements.cpp -- the reader element table, the faces of
// each type and the conversion of reader elements into polygons and part
// element records (see nk_reader_elements.h).
#include "readers/nk_reader_elements.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "readers/nk_fem_reader.h"

namespace {

struct ReaderElementType {
    int iNodes;
    int iFaces;
    int iFaceNodes;
    const char *pszName;
    int iModelType;
    const char *pszFaces;  // faces separated by '|', node positions by blanks
};

const ReaderElementType sg_aTypes[NK_NUM_READER_ELEMENT_TYPES] = {
    {2, 1, 2, "Beam", 0, "0 1"},
    {3, 2, 4, "Beam_3", 1, "0 1|1 2"},
    {3, 1, 3, "Triangle", 2, "0 1 2"},
    {6, 1, 6, "Triangle_6", 3, "0 3 1 4 2 5"},
    {4, 1, 4, "Quad", 4, "0 1 2 3"},
    {8, 1, 8, "Quad_8", 5, "0 4 1 5 2 6 3 7"},
    {4, 4, 12, "Tetrahedron", 6, "0 1 3|1 2 3|2 0 3|0 2 1"},
    {10, 4, 24, "Tetrahedron_10", 7, "0 4 1 8 3 7|1 5 2 9 3 8|2 6 0 7 3 9|0 6 2 5 1 4"},
    {8, 6, 24, "Hexahedron", 8, "0 1 5 4|1 2 6 5|2 3 7 6|3 0 4 7|4 5 6 7|0 3 2 1"},
    {20, 6, 48, "Hexahedron_20", 9,
     "0 8 1 17 5 12 4 16|1 9 2 18 6 13 5 17|2 10 3 19 7 14 6 18|3 11 0 16 4 15 7 19|"
     "4 12 5 13 6 14 7 15|0 11 3 10 2 9 1 8"},
    {6, 5, 18, "Pentahedron", 10, "0 1 4 3|1 2 5 4|2 0 3 5|3 4 5|0 2 1"},
    {15, 5, 36, "Pentahedron_15", 11,
     "0 6 1 13 4 9 3 12|1 7 2 14 5 10 4 13|2 8 0 12 3 11 5 14|3 9 4 10 5 11|0 8 2 7 1 6"},
    {1, 1, 1, "Point", 17, "0"},
    {0, 0, 0, "Unknown", 18, ""},
};

constexpr int NK_MODEL_UNKNOWN_TYPE = 18;

// The faces of a type as lists of node positions, parsed once.
const std::vector<std::vector<int>> &Faces(int iType)
{
    static std::vector<std::vector<int>> s_aFaces[NK_NUM_READER_ELEMENT_TYPES];
    static bool s_bParsed = false;
    if (!s_bParsed) {
        for (int t = 0; t < NK_NUM_READER_ELEMENT_TYPES; t++) {
            std::vector<int> face;
            for (const char *p = sg_aTypes[t].pszFaces; *p != '\0'; p++) {
                if (*p == '|') {
                    s_aFaces[t].push_back(face);
                    face.clear();
                } else if (*p >= '0' && *p <= '9') {
                    int v = 0;
                    while (p[0] >= '0' && p[0] <= '9') v = v * 10 + (*p++ - '0');
                    face.push_back(v);
                    p--;
                }
            }
            if (!face.empty()) s_aFaces[t].push_back(face);
        }
        s_bParsed = true;
    }
    return s_aFaces[iType];
}

}  // namespace

bool NKIsReaderElementType(int iType) { return iType >= 0 && iType < NK_NUM_READER_ELEMENT_TYPES; }

int NKReaderElementNodeCount(int iType)
{
    return NKIsReaderElementType(iType) ? sg_aTypes[iType].iNodes : -1;
}

int NKReaderElementFaceCount(int iType)
{
    return NKIsReaderElementType(iType) ? sg_aTypes[iType].iFaces : -1;
}

int NKReaderElementFaceNodeCount(int iType)
{
    return NKIsReaderElementType(iType) ? sg_aTypes[iType].iFaceNodes : -1;
}

NKString NKReaderElementName(int iType)
{
    return NKString(NKIsReaderElementType(iType) ? sg_aTypes[iType].pszName : "");
}

int NKReaderToModelElementType(int iType)
{
    return NKIsReaderElementType(iType) ? sg_aTypes[iType].iModelType : NK_MODEL_UNKNOWN_TYPE;
}

int NKGetBlockElementType(const FEElementBlock &block, int iElement)
{
    return block.types.empty() ? block.iType : block.types[(size_t)iElement];
}

int NKGetBlockElementNodeCount(const FEElementBlock &block, int iElement)
{
    return NKReaderElementNodeCount(NKGetBlockElementType(block, iElement));
}

bool NKSizeReaderMesh(NKReaderMesh *pMesh, int iNumPolygons, int iNumConnects)
{
    NKIndexedFaceSet &f = pMesh->faces;
    NKInitPolygonMesh(&f);
    size_t nPoly = (size_t)std::max(iNumPolygons, 1);
    f.piPolygonStart = (int *)NKAlloc(nPoly * sizeof(int));
    f.piPolygonNumNodes = (int *)NKAlloc(nPoly * sizeof(int));
    f.piPolygonElement = (int *)NKAlloc(nPoly * sizeof(int));
    f.pbWholeElement = (unsigned char *)NKAlloc(nPoly);
    f.piConnects = (int *)NKAlloc((size_t)std::max(iNumConnects, 1) * sizeof(int));
    if (f.piPolygonStart == nullptr || f.piPolygonNumNodes == nullptr ||
        f.piPolygonElement == nullptr || f.pbWholeElement == nullptr || f.piConnects == nullptr) {
        NKFreeReaderMesh(pMesh);
        return false;
    }
    pMesh->iMaxPolygons = iNumPolygons;
    pMesh->iMaxConnects = iNumConnects;
    return true;
}

void NKFreeReaderMesh(NKReaderMesh *pMesh)
{
    NKFreePolygonMesh(&pMesh->faces);
    pMesh->iMaxPolygons = 0;
    pMesh->iMaxConnects = 0;
}

bool NKConvertElementToPolygons(int iType, const int *piNodes, int iElement, NKReaderMesh *pMesh)
{
    if (iType < 0 || iType >= NK_NUM_READER_ELEMENT_TYPES - 1) return false;
    NKIndexedFaceSet &f = pMesh->faces;
    if (f.iNumPolygons + sg_aTypes[iType].iFaces > pMesh->iMaxPolygons ||
        f.iConnectLength + sg_aTypes[iType].iFaceNodes > pMesh->iMaxConnects)
        return false;
    unsigned char bVisible = iType <= 5 ? 1 : 0;
    for (const std::vector<int> &face : Faces(iType)) {
        int p = f.iNumPolygons++;
        f.piPolygonStart[p] = f.iConnectLength;
        f.piPolygonNumNodes[p] = (int)face.size();
        f.piPolygonElement[p] = iElement;
        f.pbWholeElement[p] = bVisible;
        for (int k : face) f.piConnects[f.iConnectLength++] = piNodes[k];
    }
    return true;
}

bool NKBuildPolygonMeshFromElements(const FEElementBlock &block, const int *piConnects,
                                    const int *piElements, int iCount, NKReaderMesh *pMesh)
{
    long long nPoly = 0, nConnects = 0;
    for (int i = 0; i < iCount; i++) {
        int iType = NKGetBlockElementType(block, piElements[i]);
        nPoly += std::max(NKReaderElementFaceCount(iType), 0);
        nConnects += std::max(NKReaderElementFaceNodeCount(iType), 0);
    }
    if (nConnects > 0x7fffffff || !NKSizeReaderMesh(pMesh, (int)nPoly, (int)nConnects))
        return false;
    for (int i = 0; i < iCount; i++) {
        int e = piElements[i];
        NKConvertElementToPolygons(NKGetBlockElementType(block, e),
                                   piConnects + block.starts[(size_t)e], i, pMesh);
    }
    return true;
}

namespace {

// The position of a block node in the part's node list, -1 when absent.
int FindPartNode(int iNode, const int *piPartNodes, int n, const std::vector<int> &order)
{
    auto less = [&](int a, int value) { return piPartNodes[a] < value; };
    if (order.empty()) {
        const int *p = std::lower_bound(piPartNodes, piPartNodes + n, iNode);
        return p != piPartNodes + n && *p == iNode ? (int)(p - piPartNodes) : -1;
    }
    auto it = std::lower_bound(order.begin(), order.end(), iNode, less);
    return it != order.end() && piPartNodes[*it] == iNode ? *it : -1;
}

}  // namespace

bool NKBuildPartElements(const FEElementBlock &block, const int *piConnects, const int *piElements,
                         int iCount, const int *piPartNodes, int iNumPartNodes,
                         NKElement **ppElements, int *piNumElements, int **ppiElementConnects,
                         int *piNumElementConnects)
{
    *ppElements = nullptr;
    *ppiElementConnects = nullptr;
    *piNumElements = 0;
    *piNumElementConnects = 0;
    std::vector<int> order;
    if (!std::is_sorted(piPartNodes, piPartNodes + iNumPartNodes)) {
        order.resize((size_t)iNumPartNodes);
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return piPartNodes[a] < piPartNodes[b]; });
    }
    NKElement *pElements = (NKElement *)NKAlloc((size_t)std::max(iCount, 1) * sizeof(NKElement));
    if (pElements == nullptr) return false;
    int n = 0, iStart = 0;
    for (int i = 0; i < iCount; i++) {
        int e = piElements[i];
        int iType = NKGetBlockElementType(block, e);
        if (NKReaderToModelElementType(iType) == NK_MODEL_UNKNOWN_TYPE) continue;
        pElements[n].iType = NKReaderToModelElementType(iType);
        pElements[n].iID = block.ids.empty() ? e + 1 : block.ids[(size_t)e];
        pElements[n].iGlobalIndex = e;
        pElements[n].iNodeStart = iStart;
        iStart += NKReaderElementNodeCount(iType);
        n++;
    }
    int *piElemConnects = (int *)NKAlloc((size_t)std::max(iStart, 1) * sizeof(int));
    if (piElemConnects == nullptr) {
        NKFree(pElements);
        return false;
    }
    for (int k = 0; k < n; k++) {
        int e = pElements[k].iGlobalIndex;
        int iNodes = NKGetBlockElementNodeCount(block, e);
        const int *piNodes = piConnects + block.starts[(size_t)e];
        for (int j = 0; j < iNodes; j++)
            piElemConnects[pElements[k].iNodeStart + j] =
                FindPartNode(piNodes[j], piPartNodes, iNumPartNodes, order);
    }
    *ppElements = pElements;
    *piNumElements = n;
    *ppiElementConnects = piElemConnects;
    *piNumElementConnects = iStart;
    return true;
}
