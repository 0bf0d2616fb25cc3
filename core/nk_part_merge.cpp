// core/nk_part_merge.cpp -- merging two geometries into a new one and grouping
// several parts of a geometry into one part. Declared in nk_part_arrays.h.
//
// Both operations build everything new first and change the geometry only
// when every allocation has succeeded, so a failure leaves the inputs as they
// were. The group part joins every member's arrays with offsets; the frames'
// per-part arrays are adjusted by the caller (the groupparts command).
#include "core/nk_part_arrays.h"

#include <cstring>
#include <string>
#include <utility>

#include "core/nk_bbox.h"
#include "core/nk_diagnostic.h"
#include "core/nk_edges.h"
#include "core/nk_memory.h"
#include "core/nk_mesh.h"
#include "core/nk_message.h"
#include "core/nk_model.h"

namespace {

// Allocates n elements of T into *pp (null for n = 0); false on failure.
template <typename T>
bool AllocArray(T **pp, long long n)
{
    *pp = nullptr;
    if (n <= 0) return n == 0;
    *pp = (T *)NKAlloc(sizeof(T) * (size_t)n);
    return *pp != nullptr;
}

template <typename T>
bool CopyArray(T **pp, const T *pSrc, long long n)
{
    if (pSrc == nullptr || n <= 0) {
        *pp = nullptr;
        return true;
    }
    if (!AllocArray(pp, n)) return false;
    std::memcpy(*pp, pSrc, sizeof(T) * (size_t)n);
    return true;
}

// The display attributes a merged part takes from its source part.
void CopyMergeAttributes(NKPart &dst, const NKPart &src)
{
    dst.szName = src.szName;
    dst.pTexture = src.pTexture;
    dst.iTexturePlane = src.iTexturePlane;
    dst.envmode = src.envmode;
    dst.bTextureTile = src.bTextureTile;
    dst.bTextureFlag = src.bTextureFlag;
    dst.material = src.material;
    dst.uTextureMode[0] = src.uTextureMode[0];
    dst.uTextureMode[1] = src.uTextureMode[1];
    dst.bVisible = src.bVisible;
    dst.iDrawStyle = src.iDrawStyle;
    dst.bFringes = src.bFringes;
    dst.bDisplacements = src.bDisplacements;
    dst.bSmooth = src.bSmooth;
    dst.bMesh = src.bMesh;
    dst.bVectors = src.bVectors;
    dst.bTransparent = src.bTransparent;
    dst.bShowNormals = src.bShowNormals;
    dst.bHighlighted = src.bHighlighted;
    dst.bSelected = src.bSelected;
    dst.bCulled = src.bCulled;
    dst.uLodLevel = src.uLodLevel;
    dst.bPointsAsSpheres = src.bPointsAsSpheres;
    dst.bLinesAsCylinders = src.bLinesAsCylinders;
    dst.bOutlineMesh = src.bOutlineMesh;
    dst.bOutlineMeshDefaultColor = src.bOutlineMeshDefaultColor;
    std::memcpy(dst.uOutlineMeshColor, src.uOutlineMeshColor, 3);
    dst.bOutlineFlag = src.bOutlineFlag;
    dst.bLockAttributes = src.bLockAttributes;
    dst.hotSpot = src.hotSpot;
    std::memcpy(dst.fCentroid, src.fCentroid, sizeof(dst.fCentroid));
}

bool CopyElements(NKPart &dst, const NKPart &src)
{
    if (src.pElements == nullptr || src.iNumElements < 1) return true;
    dst.iNumElements = src.iNumElements;
    dst.iNumElementConnects = src.iNumElementConnects;
    return CopyArray(&dst.pElements, src.pElements, src.iNumElements) &&
           CopyArray(&dst.pElementConnects, src.pElementConnects, src.iNumElementConnects) &&
           CopyArray(&dst.pPolygonElements, src.pPolygonElements, src.iNumPolygons);
}

// Writes src's polygons as a raw list: 1-based, last node of each negated.
bool WriteRawConnectivity(NKPart &dst, const NKPart &src)
{
    if (src.iNumPolygons > 0 && (src.pConnects == nullptr || src.pPolygonNumNodes == nullptr ||
                                 src.pPolygonStart == nullptr))
        return false;
    if (!AllocArray(&dst.pConnects, src.iNumConnects)) return false;
    long long k = 0;
    for (int p = 0; p < src.iNumPolygons; p++) {
        int n = src.pPolygonNumNodes[p], iStart = src.pPolygonStart[p];
        if (n < 0 || iStart < 0 || (long long)iStart + n > src.iNumConnects ||
            k + n > src.iNumConnects)
            return false;
        for (int i = 0; i < n; i++, k++) dst.pConnects[k] = src.pConnects[iStart + i] + 1;
        if (n > 0) dst.pConnects[k - 1] = -dst.pConnects[k - 1];
    }
    return k == src.iNumConnects;
}

// Counts, coordinates, node map, IDs and raw connectivity of a merged part.
bool CopyMergeMesh(NKPart &dst, const NKPart &src, bool bToModel, int iMapOffset, int iPolyOffset)
{
    dst.iNumNodes = src.iNumNodes;
    dst.iNumPolygons = src.iNumPolygons;
    dst.iNumConnects = src.iNumConnects;
    dst.iFirstPolygon = src.iFirstPolygon + iPolyOffset;
    if (!CopyArray(&dst.pNodeCoords, src.pNodeCoords, 3LL * src.iNumNodes) ||
        !CopyArray(&dst.pNodeMap, src.pNodeMap, src.iNumNodes) ||
        !CopyArray(&dst.pNodeIDs, src.pNodeIDs, src.iNumNodes) || !WriteRawConnectivity(dst, src))
        return false;
    if (bToModel && dst.pNodeCoords != nullptr)
        for (int n = 0; n < dst.iNumNodes; n++) DisplayToModel(dst.pNodeCoords + 3 * n);
    if (dst.pNodeMap != nullptr)
        for (int n = 0; n < dst.iNumNodes; n++) dst.pNodeMap[n] += iMapOffset;
    return true;
}

}  // namespace

NKGeometry *NKMergeGeometries(NKGeometry *pA, NKGeometry *pB)
{
    static const char *pszFn = "NKMergeGeometries";
    if (pA == nullptr || pB == nullptr || (pA->iNumParts > 0 && pA->pParts == nullptr) ||
        (pB->iNumParts > 0 && pB->pParts == nullptr)) {
        NKDiagnostic("Null geometry or part array", pszFn);
        return nullptr;
    }
    NKGeometry *pGeo = NKCreateGeometry(pA->iNumParts + pB->iNumParts);
    if (pGeo == nullptr) {
        NKDiagnostic("Error allocating geometry", pszFn);
        return nullptr;
    }
    pGeo->iTotalNumNodes = pA->iTotalNumNodes + pB->iTotalNumNodes;
    pGeo->iTotalNumPolygons = pA->iTotalNumPolygons + pB->iTotalNumPolygons;
    pGeo->iTotalNumConnects = pA->iTotalNumConnects + pB->iTotalNumConnects;
    pGeo->iGlobalNumNodes = pA->iGlobalNumNodes + pB->iGlobalNumNodes;
    bool bOk = true;
    for (int i = 0; bOk && i < pA->iNumParts; i++) {
        NKPart &dst = pGeo->pParts[i];
        const NKPart &src = pA->pParts[i];
        CopyMergeAttributes(dst, src);
        bOk = CopyElements(dst, src) && CopyMergeMesh(dst, src, true, 0, 0);
    }
    for (int j = 0; bOk && j < pB->iNumParts; j++)
        bOk = CopyMergeMesh(pGeo->pParts[pA->iNumParts + j], pB->pParts[j], false,
                            pA->iGlobalNumNodes, pA->iTotalNumPolygons);
    if (!bOk || !NKComputePolygonStartAndIndex(pGeo)) {
        NKReleaseGeometry(pGeo);
        NKDiagnostic("Error copying parts", pszFn);
        return nullptr;
    }
    pGeo->szFileName = "N/A";
    return pGeo;
}

// ---------------------------------------------------------------------------
// Grouping

namespace {

// Sums over the members and what the group part needs to hold.
struct GroupSizes {
    long long iNodes = 0, iPolygons = 0, iConnects = 0, iElements = 0, iElementConnects = 0;
    bool bNodeMap = false;  // some member has a node map
    bool bNodeType = false, bNodeNormals = false, bPolygonNormals = false, bElements = false;
    bool bEdgeKinds = false;
};

GroupSizes SumMembers(const NKGeometry *pGeo, const int *piParts, int iCount)
{
    GroupSizes s;
    for (int m = 0; m < iCount; m++) {
        const NKPart &part = pGeo->pParts[piParts[m]];
        s.iNodes += part.iNumNodes;
        s.iPolygons += part.iNumPolygons;
        s.iConnects += part.iNumConnects;
        if (part.pElements != nullptr) {
            s.iElements += part.iNumElements;
            s.iElementConnects += part.iNumElementConnects;
            s.bElements = s.bElements || part.iNumElements > 0;
        }
        s.bNodeMap = s.bNodeMap || part.pNodeMap != nullptr;
        s.bNodeType = s.bNodeType || part.pNodeType != nullptr;
        s.bNodeNormals = s.bNodeNormals || part.pNodeNormals != nullptr;
        s.bPolygonNormals = s.bPolygonNormals || part.pPolygonNormals != nullptr;
        s.bEdgeKinds = s.bEdgeKinds || part.pEdgeKinds != nullptr;
    }
    return s;
}

bool FitsInt(const GroupSizes &s)
{
    const long long iMax = 0x7fffffff / 3;
    return s.iNodes <= iMax && s.iPolygons <= iMax && s.iConnects <= iMax && s.iElements <= iMax &&
           s.iElementConnects <= iMax;
}

// The group part as a copy of the first member's record without any of the
// member's owned arrays or objects.
void StartGroupRecord(NKPart &group, const NKPart &first)
{
    group = first;
    group.pEdgeKinds = nullptr;
    group.pNodeType = nullptr;
    group.pNodeCoords = nullptr;
    group.pConnects = nullptr;
    group.pNodeNormals = nullptr;
    group.pPolygonNormals = nullptr;
    group.pPolygonNumNodes = nullptr;
    group.pPolygonStart = nullptr;
    group.pNodeMap = nullptr;
    group.pNodeIDs = nullptr;
    group.pElements = nullptr;
    group.pElementConnects = nullptr;
    group.pPolygonElements = nullptr;
    group.contours.iNumLines = 0;
    group.contours.pLines = nullptr;
    group.pTriangleStrips = nullptr;
    group.pPrimitives = nullptr;
    group.pStringList = nullptr;
    group.iNumElements = 0;
    group.iNumElementConnects = 0;
}

bool AllocGroupArrays(NKPart &g, const GroupSizes &s)
{
    bool bOk = AllocArray(&g.pNodeCoords, 3 * s.iNodes) && AllocArray(&g.pConnects, s.iConnects) &&
               AllocArray(&g.pPolygonNumNodes, s.iPolygons) &&
               AllocArray(&g.pPolygonStart, s.iPolygons) && AllocArray(&g.pNodeIDs, s.iNodes);
    if (bOk && s.bNodeMap) bOk = AllocArray(&g.pNodeMap, s.iNodes);
    if (bOk && s.bNodeType) bOk = AllocArray(&g.pNodeType, s.iNodes);
    if (bOk && s.bNodeNormals) bOk = AllocArray(&g.pNodeNormals, 3 * s.iNodes);
    if (bOk && s.bPolygonNormals) bOk = AllocArray(&g.pPolygonNormals, 3 * s.iPolygons);
    if (bOk && s.bElements)
        bOk = AllocArray(&g.pElements, s.iElements) &&
              AllocArray(&g.pElementConnects, s.iElementConnects) &&
              AllocArray(&g.pPolygonElements, s.iPolygons);
    return bOk;
}

// Running positions in the group part's arrays.
struct GroupOffsets {
    int iNodes = 0, iPolygons = 0, iConnects = 0, iElements = 0, iElementConnects = 0;
    int iFreshGlobal = 0;  // next unused global node index
};

// One past the largest global node index any part's node map uses.
int NextFreeGlobalNode(const NKGeometry *pGeo)
{
    int iNext = pGeo->iGlobalNumNodes;
    for (int p = 0; p < pGeo->iNumParts; p++) {
        const NKPart &part = pGeo->pParts[p];
        for (int n = 0; part.pNodeMap && n < part.iNumNodes; n++)
            if (part.pNodeMap[n] >= iNext) iNext = part.pNodeMap[n] + 1;
    }
    return iNext;
}

// A member without a node map gets fresh global indices in the joined map,
// so that none of its nodes is taken for another part's node.
void AppendMemberNodes(NKPart &g, const NKPart &m, GroupOffsets &o)
{
    for (int n = 0; n < m.iNumNodes; n++) {
        int d = o.iNodes + n;
        std::memcpy(g.pNodeCoords + 3 * d, m.pNodeCoords + 3 * n, 3 * sizeof(float));
        g.pNodeIDs[d] = m.pNodeIDs ? m.pNodeIDs[n] : n + 1;
        if (g.pNodeMap) g.pNodeMap[d] = m.pNodeMap ? m.pNodeMap[n] : o.iFreshGlobal++;
        if (g.pNodeType) g.pNodeType[d] = m.pNodeType ? m.pNodeType[n] : 0;
        for (int k = 0; g.pNodeNormals && k < 3; k++)
            g.pNodeNormals[3 * d + k] = m.pNodeNormals ? m.pNodeNormals[3 * n + k] : 0;
    }
}

void AppendMemberPolygons(NKPart &g, const NKPart &m, const GroupOffsets &o)
{
    for (int k = 0; k < m.iNumConnects; k++)
        g.pConnects[o.iConnects + k] = m.pConnects[k] + o.iNodes;
    for (int p = 0; p < m.iNumPolygons; p++) {
        int d = o.iPolygons + p;
        g.pPolygonNumNodes[d] = m.pPolygonNumNodes[p];
        g.pPolygonStart[d] = m.pPolygonStart[p] + o.iConnects;
        for (int k = 0; g.pPolygonNormals && k < 3; k++)
            g.pPolygonNormals[3 * d + k] = m.pPolygonNormals ? m.pPolygonNormals[3 * p + k] : 0;
        if (g.pPolygonElements == nullptr) continue;
        int e = m.pPolygonElements && m.pElements ? m.pPolygonElements[p] : -1;
        g.pPolygonElements[d] = e >= 0 ? e + o.iElements : -1;
    }
}

void AppendMemberElements(NKPart &g, const NKPart &m, const GroupOffsets &o)
{
    if (g.pElements == nullptr || m.pElements == nullptr) return;
    for (int e = 0; e < m.iNumElements; e++) {
        NKElement &rec = g.pElements[o.iElements + e];
        rec = m.pElements[e];
        rec.iNodeStart += o.iElementConnects;
    }
    for (int k = 0; k < m.iNumElementConnects; k++) {
        int n = m.pElementConnects[k];
        g.pElementConnects[o.iElementConnects + k] = n >= 0 ? n + o.iNodes : -1;
    }
}

// Box, centroid and uniform polygon size of the joined part.
void FinishGroupShape(NKPart &g, const NKGeometry *pGeo, const int *piParts, int iCount)
{
    float afCentroid[3] = {0, 0, 0};
    for (int m = 0; m < iCount; m++) {
        const NKPart &part = pGeo->pParts[piParts[m]];
        for (int k = 0; k < 3; k++) {
            if (part.fBoundingBox[k] < g.fBoundingBox[k]) g.fBoundingBox[k] = part.fBoundingBox[k];
            if (part.fBoundingBox[k + 3] > g.fBoundingBox[k + 3])
                g.fBoundingBox[k + 3] = part.fBoundingBox[k + 3];
            if (g.iNumNodes > 0) afCentroid[k] += part.fCentroid[k] * part.iNumNodes / g.iNumNodes;
        }
    }
    std::memcpy(g.fCentroid, afCentroid, sizeof(afCentroid));
    g.iUniformPolygonSize = g.iNumPolygons > 0 ? g.pPolygonNumNodes[0] : 0;
    for (int p = 1; p < g.iNumPolygons && g.iUniformPolygonSize > 0; p++)
        if (g.pPolygonNumNodes[p] != g.iUniformPolygonSize) g.iUniformPolygonSize = -1;
    g.iNumEdgeSlots = g.iNumConnects;
}

bool MemberArraysPresent(const NKPart &m)
{
    return (m.iNumNodes == 0 || m.pNodeCoords != nullptr) &&
           (m.iNumConnects == 0 || m.pConnects != nullptr) &&
           (m.iNumPolygons == 0 || (m.pPolygonNumNodes != nullptr && m.pPolygonStart != nullptr)) &&
           (m.iNumElementConnects == 0 || m.pElements == nullptr || m.pElementConnects != nullptr);
}

// Fills the group part; *piGlobalNodes receives the global node count that
// covers its node map.
bool BuildGroupPart(NKPart &g, const NKGeometry *pGeo, const int *piParts, int iCount,
                    int *piGlobalNodes)
{
    GroupSizes s = SumMembers(pGeo, piParts, iCount);
    if (!FitsInt(s)) return false;
    for (int m = 0; m < iCount; m++)
        if (!MemberArraysPresent(pGeo->pParts[piParts[m]])) return false;
    StartGroupRecord(g, pGeo->pParts[piParts[0]]);
    if (!AllocGroupArrays(g, s)) return false;
    GroupOffsets o;
    o.iFreshGlobal = NextFreeGlobalNode(pGeo);
    for (int m = 0; m < iCount; m++) {
        const NKPart &part = pGeo->pParts[piParts[m]];
        AppendMemberNodes(g, part, o);
        AppendMemberPolygons(g, part, o);
        AppendMemberElements(g, part, o);
        o.iNodes += part.iNumNodes;
        o.iPolygons += part.iNumPolygons;
        o.iConnects += part.iNumConnects;
        if (part.pElements != nullptr) {
            o.iElements += part.iNumElements;
            o.iElementConnects += part.iNumElementConnects;
        }
    }
    g.iNumNodes = o.iNodes;
    g.iNumPolygons = o.iPolygons;
    g.iNumConnects = o.iConnects;
    g.iNumElements = g.pElements ? o.iElements : 0;
    g.iNumElementConnects = g.pElements ? o.iElementConnects : 0;
    std::memcpy(g.fBoundingBox, pGeo->pParts[piParts[0]].fBoundingBox, sizeof(g.fBoundingBox));
    FinishGroupShape(g, pGeo, piParts, iCount);
    *piGlobalNodes = o.iFreshGlobal;
    return true;
}

bool ValidGroupList(const NKGeometry *pGeo, const int *piParts, int iCount)
{
    for (int m = 0; m < iCount; m++) {
        if (piParts[m] < 0 || piParts[m] >= pGeo->iNumParts) return false;
        for (int k = 0; k < m; k++)
            if (piParts[k] == piParts[m]) return false;
    }
    return true;
}

bool IsListed(const int *piParts, int iCount, int i)
{
    for (int m = 0; m < iCount; m++)
        if (piParts[m] == i) return true;
    return false;
}

// Moves the new part array into the geometry; the members' records, with
// everything they own except what the group part took over, are freed.
void CommitGroup(NKGeometry *pGeo, NKPart *pNew, int iNewCount, const int *piParts, int iCount)
{
    NKPart &first = pGeo->pParts[piParts[0]];
    NKPart &group = pNew[iNewCount - 1];
    group.pPrimitives = first.pPrimitives;
    group.pStringList = first.pStringList;
    first.pPrimitives = nullptr;
    first.pStringList = nullptr;
    int k = 0;
    for (int i = 0; i < pGeo->iNumParts; i++)
        if (!IsListed(piParts, iCount, i)) std::swap(pNew[k++], pGeo->pParts[i]);
    NKFreePartArray(pGeo->pParts, pGeo->iNumParts);
    pGeo->pParts = pNew;
    pGeo->iNumParts = iNewCount;
    int iFirst = 0;
    for (int i = 0; i < iNewCount; i++) {
        pNew[i].iFirstPolygon = iFirst;
        iFirst += pNew[i].iNumPolygons;
    }
    pGeo->partLists.bValid = 0;
    NKInitPickInfo(&pGeo->pickInfo);
}

}  // namespace

bool NKGroupParts(NKGeometry *pGeo, const int *piParts, int iCount)
{
    static const char *pszFn = "NKGroupParts";
    if (pGeo == nullptr || pGeo->pParts == nullptr || piParts == nullptr || iCount < 1)
        return NKDiagnostic("Null geometry or empty part list", pszFn);
    for (int m = 0; m < iCount; m++) NKPrintInfo(std::to_string(piParts[m]).c_str());
    if (!ValidGroupList(pGeo, piParts, iCount))
        return NKDiagnostic("Part index outside the geometry or listed twice", pszFn);
    bool bEdgeKinds = SumMembers(pGeo, piParts, iCount).bEdgeKinds;
    int iNewCount = pGeo->iNumParts - iCount + 1;
    NKPart *pNew = NKAllocPartArray(iNewCount);
    if (pNew == nullptr) return NKDiagnostic("Error allocating part array", pszFn);
    int iGlobalNodes = 0;
    if (!BuildGroupPart(pNew[iNewCount - 1], pGeo, piParts, iCount, &iGlobalNodes)) {
        NKFreePartArray(pNew, iNewCount);
        return NKDiagnostic("Error building the group part", pszFn);
    }
    CommitGroup(pGeo, pNew, iNewCount, piParts, iCount);
    if (pNew[iNewCount - 1].pNodeMap != nullptr) pGeo->iGlobalNumNodes = iGlobalNodes;
    if (pGeo->pPolygonMap != nullptr) NKBuildGeometryPolygonMap(pGeo);
    // Edge kinds were dropped with the members; computed again when they existed.
    if (bEdgeKinds) NKFindEdges(pGeo, nullptr);
    return true;
}
