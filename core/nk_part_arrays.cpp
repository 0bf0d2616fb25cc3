// core/nk_part_arrays.cpp -- polygon layout, growing and appending part
// arrays, the polygon-to-element map and node IDs from node maps. See
// nk_part_arrays.h; merging geometries and grouping parts are in
// nk_part_merge.cpp.
#include "core/nk_part_arrays.h"

#include <cstdint>
#include <cstring>

#include "core/nk_diagnostic.h"
#include "core/nk_element_types.h"
#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_numeric.h"
#include "core/nk_sort.h"
#include "core/nk_topology.h"

// ---------------------------------------------------------------------------
// Polygon layout

namespace {

// Checks one part's raw list without changing it: every entry's absolute
// value in 1..node count, exactly iNumPolygons end markers, nothing after the
// last one.
bool CheckRawConnectivity(const NKPart &part)
{
    if (part.iNumConnects < 0 || part.iNumPolygons < 0) return false;
    if (part.iNumConnects > 0 && part.pConnects == nullptr) return false;
    int p = 0, c = 0;
    for (int k = 0; k < part.iNumConnects; k++) {
        long long v = part.pConnects[k];
        long long a = v < 0 ? -v : v;
        if (a < 1 || a > part.iNumNodes) return false;
        c++;
        if (v < 0) {
            if (p >= part.iNumPolygons) return false;
            p++;
            c = 0;
        }
    }
    return c == 0 && p == part.iNumPolygons;
}

// Decodes a checked raw list into counts, starts and 0-based indices.
bool DecodeRawConnectivity(NKPart &part)
{
    size_t nPoly = (size_t)part.iNumPolygons;
    int *piCounts = nPoly ? (int *)NKAlloc(sizeof(int) * nPoly) : nullptr;
    int *piStarts = nPoly ? (int *)NKAlloc(sizeof(int) * nPoly) : nullptr;
    if (nPoly && (piCounts == nullptr || piStarts == nullptr)) {
        NKFree(piCounts);
        NKFree(piStarts);
        return false;
    }
    int p = 0, c = 0;
    for (int k = 0; k < part.iNumConnects; k++) {
        c++;
        if (part.pConnects[k] < 0) {
            piCounts[p] = c;
            piStarts[p] = k - c + 1;
            part.pConnects[k] = -part.pConnects[k];
            p++;
            c = 0;
        }
        part.pConnects[k]--;
    }
    NKFree(part.pPolygonNumNodes);
    NKFree(part.pPolygonStart);
    part.pPolygonNumNodes = piCounts;
    part.pPolygonStart = piStarts;
    return true;
}

}  // namespace

bool NKComputePolygonStartAndIndex(NKGeometry *pGeo)
{
    static const char *pszFn = "NKComputePolygonStartAndIndex";
    if (pGeo == nullptr || pGeo->pParts == nullptr || pGeo->iNumParts < 1)
        return NKDiagnostic("Geometry without parts", pszFn);
    for (int i = 0; i < pGeo->iNumParts; i++)
        if (!CheckRawConnectivity(pGeo->pParts[i]))
            return NKDiagnostic("Inconsistent polygon count or node number", pszFn);
    for (int i = 0; i < pGeo->iNumParts; i++)
        if (!DecodeRawConnectivity(pGeo->pParts[i]))
            return NKDiagnostic("Error allocating polygon arrays", pszFn);
    return true;
}

// ---------------------------------------------------------------------------
// Growing and appending

namespace {

// Reallocates *pp to iCount elements of iSize bytes; *pp is kept on failure.
template <typename T>
bool GrowArray(T **pp, long long iCount)
{
    if (iCount < 0) return false;
    if (iCount == 0) return true;
    void *pNew = NKRealloc(*pp, sizeof(T) * (size_t)iCount);
    if (pNew == nullptr) return false;
    *pp = (T *)pNew;
    return true;
}

bool OrderRange(int *piFirst, int *piLast, int iCount)
{
    if (*piFirst > *piLast) NKSwapInt(piFirst, piLast);
    return *piFirst >= 0 && *piLast < iCount;
}

}  // namespace

bool NKSetPartPolygons(NKPart *pPart, const std::vector<int> &connects,
                       const std::vector<int> &starts, const std::vector<int> &counts,
                       const std::vector<int> &elements)
{
    pPart->iNumPolygons = (int)starts.size();
    pPart->iNumConnects = (int)connects.size();
    pPart->pConnects = NKAllocCopy(connects);
    pPart->pPolygonStart = NKAllocCopy(starts);
    pPart->pPolygonNumNodes = NKAllocCopy(counts);
    pPart->pPolygonElements = NKAllocCopy(elements);
    return starts.empty() ||
           (pPart->pConnects != nullptr && pPart->pPolygonStart != nullptr &&
            pPart->pPolygonNumNodes != nullptr && pPart->pPolygonElements != nullptr);
}

bool NKGrowPartNodes(NKPart *pPart, int n)
{
    if (pPart == nullptr || n < 0)
        return NKDiagnostic("Null part or negative count", "NKGrowPartNodes");
    long long iNew = (long long)pPart->iNumNodes + n;
    bool bOk =
        GrowArray(&pPart->pNodeCoords, 3 * iNew) && GrowArray(&pPart->pNodeNormals, 3 * iNew);
    if (bOk && pPart->pNodeMap) bOk = GrowArray(&pPart->pNodeMap, iNew);
    if (bOk && pPart->pNodeType) bOk = GrowArray(&pPart->pNodeType, iNew);
    if (bOk && pPart->pNodeIDs) bOk = GrowArray(&pPart->pNodeIDs, iNew);
    return bOk ? true : NKDiagnostic("Error allocating node arrays", "NKGrowPartNodes");
}

bool NKAppendPartNodes(NKPart *pDst, const NKPart *pSrc, int iFirst, int iLast)
{
    if (pDst == nullptr || pSrc == nullptr || pSrc->pNodeCoords == nullptr ||
        pDst->pNodeCoords == nullptr || pDst->pNodeNormals == nullptr)
        return NKDiagnostic("Missing part or node arrays", "NKAppendPartNodes");
    if (!OrderRange(&iFirst, &iLast, pSrc->iNumNodes))
        return NKDiagnostic("Node range outside the source part", "NKAppendPartNodes");
    int d = pDst->iNumNodes;
    for (int s = iFirst; s <= iLast; s++, d++) {
        std::memcpy(pDst->pNodeCoords + 3 * d, pSrc->pNodeCoords + 3 * s, 3 * sizeof(float));
        // A source without normals gives the undefined packed normal.
        for (int k = 0; k < 3; k++)
            pDst->pNodeNormals[3 * d + k] =
                pSrc->pNodeNormals ? pSrc->pNodeNormals[3 * s + k] : 127;
        if (pDst->pNodeMap) pDst->pNodeMap[d] = pSrc->pNodeMap ? pSrc->pNodeMap[s] : 0;
        if (pDst->pNodeType) pDst->pNodeType[d] = pSrc->pNodeType ? pSrc->pNodeType[s] : 0;
        // A part without IDs gives node s the ID s + 1; the node keeps it.
        if (pDst->pNodeIDs) pDst->pNodeIDs[d] = pSrc->pNodeIDs ? pSrc->pNodeIDs[s] : s + 1;
    }
    pDst->iNumNodes = d;
    return true;
}

bool NKGrowScalarPartEntry(NKScalarPartEntry *pEntry, int n)
{
    if (pEntry == nullptr || n < 0) return false;
    long long iNew = (long long)pEntry->iCount + n;
    bool bOk = GrowArray(&pEntry->pNodeValues, iNew);
    if (bOk && pEntry->pColors) bOk = GrowArray(&pEntry->pColors, 3 * iNew);
    if (bOk && pEntry->pTexCoords) bOk = GrowArray(&pEntry->pTexCoords, iNew);
    return bOk ? true : NKDiagnostic("Error allocating scalar arrays", "NKGrowScalarPartEntry");
}

bool NKAppendScalarPartEntry(NKScalarPartEntry *pDst, const NKScalarPartEntry *pSrc, int iFirst,
                             int iLast)
{
    if (pDst == nullptr || pSrc == nullptr || pDst->pNodeValues == nullptr ||
        pSrc->pNodeValues == nullptr || !OrderRange(&iFirst, &iLast, pSrc->iCount))
        return NKDiagnostic("Missing arrays or bad range", "NKAppendScalarPartEntry");
    int d = pDst->iCount;
    for (int s = iFirst; s <= iLast; s++, d++) {
        pDst->pNodeValues[d] = pSrc->pNodeValues[s];
        if (pDst->pTexCoords) pDst->pTexCoords[d] = pSrc->pTexCoords ? pSrc->pTexCoords[s] : 0.0f;
        for (int k = 0; pDst->pColors && k < 3; k++)
            pDst->pColors[3 * d + k] = pSrc->pColors ? pSrc->pColors[3 * s + k] : 0;
    }
    pDst->iCount = d;
    return true;
}

bool NKGrowVectorPartEntry(NKVectorPartEntry *pEntry, int n)
{
    if (pEntry == nullptr || n < 0) return false;
    long long iNew = (long long)pEntry->iNumNodes + n;
    bool bOk = GrowArray(&pEntry->pNodeValues, 3 * iNew);
    if (bOk && pEntry->pNodeNormals) bOk = GrowArray(&pEntry->pNodeNormals, 3 * iNew);
    return bOk ? true : NKDiagnostic("Error allocating vector arrays", "NKGrowVectorPartEntry");
}

bool NKAppendVectorPartEntry(NKVectorPartEntry *pDst, const NKVectorPartEntry *pSrc, int iFirst,
                             int iLast)
{
    if (pDst == nullptr || pSrc == nullptr || pDst->pNodeValues == nullptr ||
        pSrc->pNodeValues == nullptr || !OrderRange(&iFirst, &iLast, pSrc->iNumNodes))
        return NKDiagnostic("Missing arrays or bad range", "NKAppendVectorPartEntry");
    bool bNormals = pDst->pNodeNormals != nullptr && pSrc->pNodeNormals != nullptr;
    int d = pDst->iNumNodes;
    for (int s = iFirst; s <= iLast; s++, d++) {
        std::memcpy(pDst->pNodeValues + 3 * d, pSrc->pNodeValues + 3 * s, 3 * sizeof(float));
        if (bNormals) std::memcpy(pDst->pNodeNormals + 3 * d, pSrc->pNodeNormals + 3 * s, 3);
    }
    pDst->iNumNodes = d;
    return true;
}

bool NKGrowPartElements(NKPart *pPart, int n, int m)
{
    if (pPart == nullptr || n < 0 || m < 0) return false;
    bool bOk = GrowArray(&pPart->pElements, (long long)pPart->iNumElements + n) &&
               GrowArray(&pPart->pElementConnects, (long long)pPart->iNumElementConnects + m);
    return bOk ? true : NKDiagnostic("Error allocating element arrays", "NKGrowPartElements");
}

bool NKAppendPartElement(NKPart *pDst, const NKPart *pSrc, int iIndex)
{
    if (pDst == nullptr || pDst->pElements == nullptr)
        return NKDiagnostic("No destination element array", "NKAppendPartElement");
    if (pSrc == nullptr || pSrc->pElements == nullptr || iIndex < 0 || iIndex >= pSrc->iNumElements)
        return NKDiagnostic("Element outside the source part", "NKAppendPartElement");
    const NKElement &elem = pSrc->pElements[iIndex];
    int n = NKFElementNodeCount(elem.iType);
    if (n > 0 &&
        (pDst->pElementConnects == nullptr || pSrc->pElementConnects == nullptr ||
         elem.iNodeStart < 0 || (long long)elem.iNodeStart + n > pSrc->iNumElementConnects))
        return NKDiagnostic("Element connectivity missing or too short", "NKAppendPartElement");
    if (n > 0)
        std::memcpy(pDst->pElementConnects + pDst->iNumElementConnects,
                    pSrc->pElementConnects + elem.iNodeStart, sizeof(int) * (size_t)n);
    NKElement &rec = pDst->pElements[pDst->iNumElements++];
    rec = elem;
    rec.iNodeStart = pDst->iNumElementConnects;
    pDst->iNumElementConnects += n;
    return true;
}

// ---------------------------------------------------------------------------
// Polygon-to-element map

namespace {

// Line and point elements have no faces; their polygons are the element
// itself (a 3-node beam gives two lines), so they are matched by these lists.
int LinePolygonCount(int iType)
{
    switch (iType) {
    case NK_ELEM_BEAM:
    case NK_ELEM_DYNA_BEAM:
    case NK_ELEM_POINT:
        return 1;
    case NK_ELEM_BEAM_3:
        return 2;
    default:
        return 0;
    }
}

// Node keys of polygon j of an element: a face of a surface or solid, or a
// line or point polygon; returns their count (0 when the polygon is missing).
int ElementPolygonKeys(const NKPart *pPart, int e, int j, int piKeys[8])
{
    int iType = pPart->pElements[e].iType;
    if (NKElementFaceCount(iType) > 0) {
        NKPartElementFaceNodeKeys(pPart, e, j, piKeys);
        return NKElementFaceNodeCount(iType, j);
    }
    int n = iType == NK_ELEM_POINT ? 1 : 2;
    int iStart = pPart->pElements[e].iNodeStart + j;
    if (j >= LinePolygonCount(iType) || iStart < 0 ||
        (long long)iStart + n > pPart->iNumElementConnects || pPart->pElementConnects == nullptr)
        return 0;
    for (int i = 0; i < n; i++) {
        int iNode = pPart->pElementConnects[iStart + i];
        bool bValid = iNode >= 0 && iNode < pPart->iNumNodes;
        piKeys[i] = !bValid ? -1 : (pPart->pNodeMap ? pPart->pNodeMap[iNode] : iNode);
    }
    NKBubbleSortInts(piKeys, n);
    return n;
}

int ElementPolygonCount(int iType)
{
    int iFaces = NKElementFaceCount(iType);
    return iFaces > 0 ? iFaces : LinePolygonCount(iType);
}

void HashElementPolygons(const NKPart *pPart)
{
    for (int e = 0; e < pPart->iNumElements; e++) {
        for (int j = 0; j < ElementPolygonCount(pPart->pElements[e].iType); j++) {
            int aiKeys[8];
            int n = ElementPolygonKeys(pPart, e, j, aiKeys);
            if (n > 0) NKBucketListAdd(NKHashNodeList(aiKeys, n, pPart->iNumElements), e);
        }
    }
}

// The element with a polygon equal to the sorted keys, or -1.
int FindPolygonElement(const NKPart *pPart, const int *piKeys, int n)
{
    int iBucket = NKHashNodeList(piKeys, n, pPart->iNumElements);
    for (const NKBucketEntry *pEntry = NKBucketListHead(iBucket); pEntry; pEntry = pEntry->pNext) {
        int e = pEntry->iValue;
        for (int j = 0; j < ElementPolygonCount(pPart->pElements[e].iType); j++) {
            int aiKeys[8];
            if (ElementPolygonKeys(pPart, e, j, aiKeys) != n) continue;
            if (std::memcmp(aiKeys, piKeys, sizeof(int) * (size_t)n) == 0) return e;
        }
    }
    return -1;
}

// Sorted node keys of polygon p; 0 when the polygon cannot be a face.
int PolygonKeys(const NKPart *pPart, int p, int piKeys[8])
{
    int n = pPart->pPolygonNumNodes[p], iStart = pPart->pPolygonStart[p];
    if (n < 1 || n > 8 || iStart < 0 || (long long)iStart + n > pPart->iNumConnects) return 0;
    for (int i = 0; i < n; i++) {
        int iNode = pPart->pConnects[iStart + i];
        if (iNode < 0 || iNode >= pPart->iNumNodes) return 0;
        piKeys[i] = pPart->pNodeMap ? pPart->pNodeMap[iNode] : iNode;
    }
    NKBubbleSortInts(piKeys, n);
    return n;
}

}  // namespace

bool NKBuildPolygonElementMap(NKPart *pPart)
{
    static const char *pszFn = "NKBuildPolygonElementMap";
    if (pPart == nullptr || pPart->pElements == nullptr || pPart->iNumElements < 1)
        return NKDiagnostic("Part without elements", pszFn);
    if (pPart->iNumPolygons > 0 &&
        (pPart->pConnects == nullptr || pPart->pPolygonNumNodes == nullptr ||
         pPart->pPolygonStart == nullptr))
        return NKDiagnostic("Part without polygon arrays", pszFn);
    if ((long long)pPart->iNumElements * 6 > 0x7fffffff ||
        !NKBucketListInit(pPart->iNumElements * 6, pPart->iNumElements))
        return NKDiagnostic("Error allocating bucket lists", pszFn);
    HashElementPolygons(pPart);
    int *piMap = nullptr;
    if (pPart->iNumPolygons > 0) {
        piMap = (int *)NKAlloc(sizeof(int) * (size_t)pPart->iNumPolygons);
        if (piMap == nullptr) {
            NKBucketListFree();
            return NKDiagnostic("Error allocating polygon-to-element map", pszFn);
        }
    }
    for (int p = 0; p < pPart->iNumPolygons; p++) {
        int aiKeys[8];
        int n = PolygonKeys(pPart, p, aiKeys);
        piMap[p] = n > 0 ? FindPolygonElement(pPart, aiKeys, n) : -1;
    }
    NKBucketListFree();
    NKFree(pPart->pPolygonElements);
    pPart->pPolygonElements = piMap;
    return true;
}

// ---------------------------------------------------------------------------
// Node IDs

bool NKCreateNodeIDs(NKGeometry *pGeo)
{
    if (pGeo == nullptr || pGeo->pParts == nullptr)
        return NKDiagnostic("Null geometry or part array", "NKCreateNodeIDs");
    for (int i = 0; i < pGeo->iNumParts; i++) {
        NKPart &part = pGeo->pParts[i];
        if (part.pNodeMap == nullptr) {
            NKPrintError("Cannot create node IDs, no node map present");
            return false;
        }
        if (part.iNumNodes < 1) continue;
        if (part.pNodeIDs == nullptr) {
            part.pNodeIDs = (int *)NKAlloc(sizeof(int) * (size_t)part.iNumNodes);
            if (part.pNodeIDs == nullptr) {
                NKPrintError("Error allocatin memory for node IDs");
                return false;
            }
        }
        for (int n = 0; n < part.iNumNodes; n++) part.pNodeIDs[n] = part.pNodeMap[n] + 1;
    }
    return true;
}

bool NKGetPartPolygon(const NKPart &part, int k, const int **ppiNodes, int *piCount)
{
    if (part.pConnects == nullptr || part.pPolygonStart == nullptr ||
        part.pPolygonNumNodes == nullptr)
        return false;
    int iStart = part.pPolygonStart[k], iCount = part.pPolygonNumNodes[k];
    if (iStart < 0 || iCount < 0 || iStart > part.iNumConnects - iCount) return false;
    *ppiNodes = part.pConnects + iStart;
    *piCount = iCount;
    return true;
}
