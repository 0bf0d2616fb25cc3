// core/nk_mesh.cpp -- the indexed face set record and the mesh clean-up
// operations of the part builders. See nk_mesh.h.
//
// Every operation here is linear or n log n in the mesh size: node merging
// sorts the points once and compares neighbours only, internal-face hiding
// hashes faces into as many buckets as there are polygons, and local node
// numbering uses a per-node scratch array instead of searches. Results picked
// through node maps and the geometry polygon map are in nk_mesh_results.cpp.
#include "core/nk_mesh.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/nk_diagnostic.h"
#include "core/nk_math.h"
#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_ray.h"
#include "core/nk_sort.h"

// ---------------------------------------------------------------------------
// The record

void NKInitPolygonMesh(NKIndexedFaceSet *pIFS)
{
    if (pIFS == nullptr) return;
    std::memset(pIFS, 0, sizeof(*pIFS));
    pIFS->bFromElements = 1;
    pIFS->bNodesNotCompacted = 1;
}

void NKFreePolygonMesh(NKIndexedFaceSet *pIFS)
{
    if (pIFS == nullptr) return;
    NKFree(pIFS->pfCoords);
    NKFree(pIFS->piNodeIDs);
    NKFree(pIFS->piNodeSourceIndex);
    NKFree(pIFS->piPolygonStart);
    NKFree(pIFS->piPolygonNumNodes);
    NKFree(pIFS->piPolygonElement);
    NKFree(pIFS->pbKeep);
    NKFree(pIFS->pbWholeElement);
    NKFree(pIFS->pbVisibility);
    NKFree(pIFS->pbEdgeType);
    NKFree(pIFS->piConnects);
    NKFree(pIFS->piSortedConnects);
    NKInitPolygonMesh(pIFS);
}

namespace {

// True when polygon p's references lie inside the connectivity.
bool PolygonInRange(const NKIndexedFaceSet *pIFS, int p)
{
    int iStart = pIFS->piPolygonStart[p], iCount = pIFS->piPolygonNumNodes[p];
    return iStart >= 0 && iCount >= 0 && (long long)iStart + iCount <= pIFS->iConnectLength;
}

bool HasPolygonArrays(const NKIndexedFaceSet *pIFS)
{
    return pIFS->piConnects != nullptr && pIFS->piPolygonStart != nullptr &&
           pIFS->piPolygonNumNodes != nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------
// Coincident nodes

bool NKMergeCoincidentNodes(int *piConnects, int iLength, float (*pfCoords)[3], int iNumNodes)
{
    if (piConnects == nullptr || pfCoords == nullptr || iLength < 0 || iNumNodes < 0)
        return NKDiagnostic("Null or negative input", "NKMergeCoincidentNodes");
    if (iNumNodes == 0 || iLength == 0) return true;
    int *piOrder = (int *)NKAlloc(sizeof(int) * (size_t)iNumNodes);
    int *piTarget = (int *)NKAlloc(sizeof(int) * (size_t)iNumNodes);
    if (piOrder == nullptr || piTarget == nullptr) {
        NKFree(piOrder);
        NKFree(piTarget);
        return NKDiagnostic("Error allocating scratch arrays", "NKMergeCoincidentNodes");
    }
    for (int i = 0; i < iNumNodes; i++) {
        piOrder[i] = i;
        piTarget[i] = -1;
    }
    static const int aiKeyOrder[3] = {0, 1, 2};
    NKSortPointsIndexed(&pfCoords[0][0], piOrder, iNumNodes, aiKeyOrder, true);
    // Only neighbours in the sorted order are compared; a run of equal points
    // thereby maps to its first node.
    for (int i = 1; i < iNumNodes; i++) {
        int a = piOrder[i - 1], b = piOrder[i];
        if (NKVec3EqualAbs(pfCoords[a], pfCoords[b]))
            piTarget[b] = piTarget[a] >= 0 ? piTarget[a] : a;
    }
    for (int k = 0; k < iLength; k++) {
        int n = piConnects[k];
        if (n >= 0 && n < iNumNodes && piTarget[n] >= 0) piConnects[k] = piTarget[n];
    }
    NKFree(piOrder);
    NKFree(piTarget);
    return true;
}

// ---------------------------------------------------------------------------
// Orientation

bool NKOrientPolygons(NKIndexedFaceSet *pIFS, const float dir[3])
{
    if (pIFS == nullptr || dir == nullptr) return NKDiagnostic("Null input", "NKOrientPolygons");
    if (pIFS->iNumPolygons < 1) return true;
    if (!HasPolygonArrays(pIFS) || pIFS->pfCoords == nullptr)
        return NKDiagnostic("Missing polygon arrays", "NKOrientPolygons");
    for (int p = 0; p < pIFS->iNumPolygons; p++) {
        if (!PolygonInRange(pIFS, p))
            return NKDiagnostic("Polygon outside the connectivity", "NKOrientPolygons");
        int *piNodes = pIFS->piConnects + pIFS->piPolygonStart[p];
        int n = pIFS->piPolygonNumNodes[p];
        float afNormal[3];
        NKComputePolygonNormal(piNodes, n, pIFS->pfCoords, afNormal);
        if (NKVec3Dot(afNormal, dir) < 0.0) std::reverse(piNodes, piNodes + n);
    }
    return true;
}

// ---------------------------------------------------------------------------
// Internal faces

namespace {

// Makes the arrays HideInternalFaces needs when they are missing.
bool MakeFaceFlagArrays(NKIndexedFaceSet *pIFS)
{
    size_t nPoly = (size_t)pIFS->iNumPolygons;
    if (pIFS->piSortedConnects == nullptr && pIFS->iConnectLength > 0) {
        pIFS->piSortedConnects = (int *)NKAlloc(sizeof(int) * (size_t)pIFS->iConnectLength);
        if (pIFS->piSortedConnects == nullptr) return false;
        std::memcpy(pIFS->piSortedConnects, pIFS->piConnects,
                    sizeof(int) * (size_t)pIFS->iConnectLength);
    }
    if (pIFS->pbKeep == nullptr) {
        pIFS->pbKeep = (unsigned char *)NKAlloc(nPoly);
        if (pIFS->pbKeep == nullptr) return false;
        std::memset(pIFS->pbKeep, 1, nPoly);
    }
    if (pIFS->pbWholeElement == nullptr) {
        pIFS->pbWholeElement = (unsigned char *)NKCalloc(nPoly, 1);
        if (pIFS->pbWholeElement == nullptr) return false;
    }
    if (pIFS->pbVisibility == nullptr) {
        pIFS->pbVisibility = (unsigned char *)NKCalloc(nPoly, 1);
        if (pIFS->pbVisibility == nullptr) return false;
    }
    return true;
}

// The face key: the sorted node indices weighted 769, 97, 13, 3 in turn (up
// to eight nodes), summed as an unsigned 32-bit value.
unsigned int FaceHash(const int *piSorted, int n)
{
    static const unsigned int auWeight[8] = {769, 97, 13, 3, 769, 97, 13, 3};
    unsigned int uSum = 0;
    for (int i = 0; i < n && i < 8; i++) uSum += (unsigned int)piSorted[i] * auWeight[i];
    return uSum;
}

bool Removable(const NKIndexedFaceSet *pIFS, int p)
{
    return pIFS->pbWholeElement[p] == 0 && pIFS->pbVisibility[p] == 0;
}

// Orders polygons by their sorted node lists: lexicographic over the shorter
// length, the shorter list first when that prefix is equal. Equal lists put
// the removable faces first, then go by polygon index. The tie-breaks make
// the order total, so that identical removable faces always end next to each
// other, even when a shell on the same nodes shares their bucket.
struct SortedFaceLess {
    const NKIndexedFaceSet *pIFS;
    bool operator()(int a, int b) const
    {
        int na = pIFS->piPolygonNumNodes[a], nb = pIFS->piPolygonNumNodes[b];
        const int *pa = pIFS->piSortedConnects + pIFS->piPolygonStart[a];
        const int *pb = pIFS->piSortedConnects + pIFS->piPolygonStart[b];
        for (int i = 0; i < na && i < nb; i++)
            if (pa[i] != pb[i]) return pa[i] < pb[i];
        if (na != nb) return na < nb;
        bool ra = Removable(pIFS, a), rb = Removable(pIFS, b);
        if (ra != rb) return ra;
        return a < b;
    }
};

// Hides the identical neighbours among the polygons of one bucket.
void HideBucketDuplicates(NKIndexedFaceSet *pIFS, std::vector<int> &bucket)
{
    if (bucket.size() > 2) std::sort(bucket.begin(), bucket.end(), SortedFaceLess{pIFS});
    for (size_t i = 1; i < bucket.size(); i++) {
        int a = bucket[i - 1], b = bucket[i];
        if (Removable(pIFS, a) && Removable(pIFS, b) && NKIFSFacesEqual(pIFS, a, b)) {
            pIFS->pbKeep[a] = 0;
            pIFS->pbKeep[b] = 0;
        }
    }
}

void CountKeptPolygons(NKIndexedFaceSet *pIFS)
{
    pIFS->iNumKeptPolygons = 0;
    pIFS->iNumKeptConnects = 0;
    for (int p = 0; p < pIFS->iNumPolygons; p++) {
        if (pIFS->pbKeep[p] == 0) continue;
        pIFS->iNumKeptPolygons++;
        pIFS->iNumKeptConnects += pIFS->piPolygonNumNodes[p];
    }
}

}  // namespace

bool NKIFSFacesEqual(const NKIndexedFaceSet *pIFS, int a, int b)
{
    if (pIFS == nullptr || pIFS->piPolygonNumNodes == nullptr || pIFS->piPolygonStart == nullptr)
        return false;
    if (a < 0 || b < 0 || a >= pIFS->iNumPolygons || b >= pIFS->iNumPolygons) return false;
    int n = pIFS->piPolygonNumNodes[a];
    if (n != pIFS->piPolygonNumNodes[b]) return false;
    if (n <= 0) return true;
    const int *piList = pIFS->piSortedConnects ? pIFS->piSortedConnects : pIFS->piConnects;
    if (piList == nullptr || !PolygonInRange(pIFS, a) || !PolygonInRange(pIFS, b)) return false;
    const int *pa = piList + pIFS->piPolygonStart[a], *pb = piList + pIFS->piPolygonStart[b];
    if (pIFS->piSortedConnects != nullptr) return std::equal(pa, pa + n, pb);
    // Without the sorted copy the node lists are sorted here.
    std::vector<int> va(pa, pa + n), vb(pb, pb + n);
    std::sort(va.begin(), va.end());
    std::sort(vb.begin(), vb.end());
    return va == vb;
}

bool HideInternalFaces(NKIndexedFaceSet *pIFS)
{
    if (pIFS == nullptr) return NKDiagnostic("Null face set", "HideInternalFaces");
    if (pIFS->iNumPolygons < 1) return true;
    if (!HasPolygonArrays(pIFS)) return NKDiagnostic("Missing polygon arrays", "HideInternalFaces");
    for (int p = 0; p < pIFS->iNumPolygons; p++)
        if (!PolygonInRange(pIFS, p))
            return NKDiagnostic("Polygon outside the connectivity", "HideInternalFaces");
    if (!MakeFaceFlagArrays(pIFS))
        return NKDiagnostic("Error allocating memory", "HideInternalFaces");

    int iNumPoly = pIFS->iNumPolygons;
    for (int p = 0; p < iNumPoly; p++)
        if (pIFS->pbWholeElement[p] == 0)
            NKBubbleSortInts(pIFS->piSortedConnects + pIFS->piPolygonStart[p],
                             pIFS->piPolygonNumNodes[p]);
    if (!NKBucketListInit(iNumPoly, iNumPoly))
        return NKDiagnostic("Error allocating bucket lists", "HideInternalFaces");
    for (int p = 0; p < iNumPoly; p++) {
        int n = pIFS->piPolygonNumNodes[p];
        if (n < 2) continue;
        unsigned int uHash = FaceHash(pIFS->piSortedConnects + pIFS->piPolygonStart[p], n);
        NKBucketListAdd((int)(uHash % (unsigned int)iNumPoly), p);
    }
    std::vector<int> bucket;
    for (int k = 0; k < iNumPoly; k++) {
        const NKBucketEntry *pEntry = NKBucketListHead(k);
        if (pEntry == nullptr || pEntry->pNext == nullptr) continue;
        bucket.clear();
        for (; pEntry != nullptr; pEntry = pEntry->pNext) bucket.push_back(pEntry->iValue);
        HideBucketDuplicates(pIFS, bucket);
    }
    NKBucketListFree();
    CountKeptPolygons(pIFS);
    return true;
}

// ---------------------------------------------------------------------------
// Local node numbering

bool NKComputeLocalNodeArrays(int iFirst, int iLast, int iNumNodes, const int *piConnects,
                              int iLength, const int *piStarts, const int *piCounts,
                              int iNumPolygons, int *piUsed, int *piNumUsed, int *piLocal,
                              int *piNumLocal)
{
    if (piConnects == nullptr || piStarts == nullptr || piCounts == nullptr || piUsed == nullptr ||
        piNumUsed == nullptr || piLocal == nullptr || piNumLocal == nullptr)
        return false;
    if (iFirst < 0 || iLast < iFirst || iLast >= iNumPolygons || iNumNodes < 0) return false;
    long long iBegin = piStarts[iFirst], iCount = 0;
    for (int p = iFirst; p <= iLast; p++) {
        if (piCounts[p] < 0) return false;
        iCount += piCounts[p];
    }
    if (iBegin < 0 || iBegin + iCount > iLength) return false;
    const int *piRefs = piConnects + iBegin;
    std::vector<int> position((size_t)iNumNodes, -1);
    for (long long k = 0; k < iCount; k++) {
        if (piRefs[k] < 0 || piRefs[k] >= iNumNodes) return false;
        position[(size_t)piRefs[k]] = 0;
    }
    // Positions in ascending node order, so the used list comes out sorted.
    int iNumUsed = 0;
    for (int n = 0; n < iNumNodes; n++) {
        if (position[(size_t)n] < 0) continue;
        position[(size_t)n] = iNumUsed;
        piUsed[iNumUsed++] = n;
    }
    for (long long k = 0; k < iCount; k++) piLocal[k] = position[(size_t)piRefs[k]];
    *piNumUsed = iNumUsed;
    *piNumLocal = (int)iCount;
    return true;
}

bool NKMakeLocalConnectivity(const int *piConnects, int iLength, int *piScratch, int iTag,
                             int **ppiNodes, int **ppiLocal, int *piNumNodes)
{
    if (piConnects == nullptr || piScratch == nullptr || ppiNodes == nullptr ||
        ppiLocal == nullptr || piNumNodes == nullptr || iLength < 0)
        return false;
    *ppiNodes = nullptr;
    *ppiLocal = nullptr;
    *piNumNodes = 0;
    if (iLength == 0) return true;
    int *piNodes = (int *)NKAlloc(sizeof(int) * (size_t)iLength);
    int *piLocal = (int *)NKAlloc(sizeof(int) * (size_t)iLength);
    if (piNodes == nullptr || piLocal == nullptr) {
        NKFree(piNodes);
        NKFree(piLocal);
        return false;
    }
    const int iMark = ~iTag;
    int iCount = 0;
    for (int k = 0; k < iLength; k++) {
        int n = piConnects[k];
        if (n < 0) {
            NKFree(piNodes);
            NKFree(piLocal);
            return false;
        }
        if (piScratch[n] == iMark) continue;
        piScratch[n] = iMark;
        piNodes[iCount++] = n;
    }
    // The scratch holds each node's position while the references are
    // renumbered, then gets the mark back for the next call.
    for (int i = 0; i < iCount; i++) piScratch[piNodes[i]] = i;
    for (int k = 0; k < iLength; k++) piLocal[k] = piScratch[piConnects[k]];
    for (int i = 0; i < iCount; i++) piScratch[piNodes[i]] = iMark;
    *ppiNodes = piNodes;
    *ppiLocal = piLocal;
    *piNumNodes = iCount;
    return true;
}

int *NKAllocZeroedInts(int n)
{
    if (n < 1) return nullptr;
    int *pi = (int *)NKAlloc(sizeof(int) * (size_t)n);
    if (pi != nullptr) std::memset(pi, 0, sizeof(int) * (size_t)n);
    return pi;
}

// ---------------------------------------------------------------------------
// Unused nodes

namespace {

// Replaces the node arrays by those of the used nodes (piUsed ascending).
bool CompactNodes(NKIndexedFaceSet *pIFS, const int *piUsed, int iNumUsed, int *piLocal)
{
    float *pfCoords = (float *)NKAlloc(sizeof(float) * 3 * (size_t)iNumUsed);
    int *piSource = (int *)NKAlloc(sizeof(int) * (size_t)iNumUsed);
    int *piIDs = pIFS->piNodeIDs ? (int *)NKAlloc(sizeof(int) * (size_t)iNumUsed) : nullptr;
    if (pfCoords == nullptr || piSource == nullptr || (pIFS->piNodeIDs && piIDs == nullptr)) {
        NKFree(pfCoords);
        NKFree(piSource);
        NKFree(piIDs);
        return false;
    }
    for (int i = 0; i < iNumUsed; i++) {
        int n = piUsed[i];
        for (int k = 0; k < 3; k++)
            pfCoords[3 * i + k] = pIFS->pfCoords ? pIFS->pfCoords[3 * n + k] : 0.0f;
        piSource[i] = pIFS->piNodeSourceIndex ? pIFS->piNodeSourceIndex[n] : n;
        if (piIDs != nullptr) piIDs[i] = pIFS->piNodeIDs[n];
    }
    NKFree(pIFS->pfCoords);
    NKFree(pIFS->piNodeSourceIndex);
    NKFree(pIFS->piNodeIDs);
    NKFree(pIFS->piConnects);
    pIFS->pfCoords = pfCoords;
    pIFS->piNodeSourceIndex = piSource;
    pIFS->piNodeIDs = piIDs;
    pIFS->piConnects = piLocal;
    pIFS->iNumNodes = iNumUsed;
    return true;
}

}  // namespace

bool NKRemoveUnusedNodesFromIFS(NKIndexedFaceSet *pIFS)
{
    static const char *pszFn = "NKRemoveUnusedNodesFromIFS";
    if (pIFS == nullptr) return NKDiagnostic("Null face set", pszFn);
    if (pIFS->iNumPolygons < 1) return true;
    if (!HasPolygonArrays(pIFS)) return false;
    int *piUsed = NKAllocZeroedInts(pIFS->iNumNodes);
    int *piLocal = NKAllocZeroedInts(pIFS->iConnectLength);
    if (piUsed == nullptr || piLocal == nullptr) {
        NKFree(piUsed);
        NKFree(piLocal);
        return NKDiagnostic("Error allocating temporary memory", pszFn);
    }
    int iNumUsed = 0, iNumLocal = 0;
    bool bOk = NKComputeLocalNodeArrays(0, pIFS->iNumPolygons - 1, pIFS->iNumNodes,
                                        pIFS->piConnects, pIFS->iConnectLength,
                                        pIFS->piPolygonStart, pIFS->piPolygonNumNodes,
                                        pIFS->iNumPolygons, piUsed, &iNumUsed, piLocal, &iNumLocal);
    if (!bOk)
        NKDiagnostic("Error computing local arrays", pszFn);
    else if (iNumLocal != pIFS->iConnectLength) {
        bOk = NKDiagnostic("Inconsistent return value from local computation", pszFn);
    } else if (iNumUsed == pIFS->iNumNodes) {
        // Every node is used: nothing changes.
    } else if (!CompactNodes(pIFS, piUsed, iNumUsed, piLocal)) {
        bOk = NKDiagnostic("Error allocating new nodes and connects", pszFn);
    } else {
        piLocal = nullptr;  // now the record's connectivity
    }
    NKFree(piUsed);
    NKFree(piLocal);
    return bOk;
}

// ---------------------------------------------------------------------------
// Element faces

void NKGetHexaFaces(int piFaces[24], const int piHexa[8], bool bOneBased)
{
    static const int aiPos[24] = {3, 2, 1, 0, 4, 5, 6, 7, 7, 6, 2, 3,
                                  0, 1, 5, 4, 2, 6, 5, 1, 0, 4, 7, 3};
    if (piFaces == nullptr || piHexa == nullptr) return;
    for (int i = 0; i < 24; i++) piFaces[i] = piHexa[aiPos[i]] - (bOneBased ? 1 : 0);
}

void NKGetTetraFaces(int piFaces[12], const int piTetra[4], bool bOneBased)
{
    static const int aiPos[12] = {2, 1, 0, 0, 1, 3, 1, 2, 3, 0, 3, 2};
    if (piFaces == nullptr || piTetra == nullptr) return;
    for (int i = 0; i < 12; i++) piFaces[i] = piTetra[aiPos[i]] - (bOneBased ? 1 : 0);
}

void NKGetShellFace(int piQuad[4], const int piShell[4])
{
    if (piQuad == nullptr || piShell == nullptr) return;
    for (int i = 0; i < 4; i++) piQuad[i] = piShell[i] - 1;
}

void NKGetBeamEdge(int piEdge[2], const int piBeam[2])
{
    if (piEdge == nullptr || piBeam == nullptr) return;
    piEdge[0] = piBeam[0] - 1;
    piEdge[1] = piBeam[1] - 1;
}

bool NKFillPolygonRun(NKIndexedFaceSet *pIFS, int iFirst, int iCount, int iNodesPerPolygon,
                      int iFirstOffset, int iValue, unsigned char a, unsigned char b,
                      unsigned char c)
{
    if (pIFS == nullptr || iFirst < 0 || iCount < 0 ||
        (long long)iFirst + iCount > pIFS->iNumPolygons)
        return NKDiagnostic("Polygon run outside the face set", "NKFillPolygonRun");
    for (int k = 0; k < iCount; k++) {
        int p = iFirst + k;
        if (pIFS->piPolygonStart) pIFS->piPolygonStart[p] = iFirstOffset + k * iNodesPerPolygon;
        if (pIFS->piPolygonNumNodes) pIFS->piPolygonNumNodes[p] = iNodesPerPolygon;
        if (pIFS->piPolygonElement) pIFS->piPolygonElement[p] = iValue;
        if (pIFS->pbKeep) pIFS->pbKeep[p] = a;
        if (pIFS->pbWholeElement) pIFS->pbWholeElement[p] = b;
        if (pIFS->pbVisibility) pIFS->pbVisibility[p] = c;
    }
    return true;
}

// ---------------------------------------------------------------------------
// User node IDs

bool NKMapNodeIdsToIndices(const int *piIDs, const int *piOrder, int iNumIds, int *piConnects,
                           int iLength)
{
    if (piIDs == nullptr || piOrder == nullptr || piConnects == nullptr || iNumIds < 1 ||
        iLength < 1)
        return false;
    for (int k = 0; k < iLength; k++) {
        int iPos = NKBinarySearchIntIndexed(piIDs, piOrder, piConnects[k], 0, iNumIds - 1, nullptr);
        if (iPos < 0) {
            std::string text =
                "Refers to node with user defined ID = " + std::to_string(piConnects[k]) +
                ". No such ID exists.";
            NKPrintError(text.c_str());
            return false;
        }
        piConnects[k] = piOrder[iPos];
    }
    return true;
}

bool NKSortNodeIdOrder(const int *piIDs, int *piOrder, int n)
{
    if (piIDs == nullptr || piOrder == nullptr || n < 1) return false;
    if (NKIsSortedInts(piIDs, n, nullptr)) {
        NKInitIndexArray(piOrder, n);
        return true;
    }
    NKSortIntsIndexed(piIDs, piOrder, n);
    return true;
}
