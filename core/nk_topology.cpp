// core/nk_topology.cpp -- element edges and faces as part node indices, face
// keys, face normals, the neighbour search and point location. See
// nk_topology.h; the local tables are in nk_element_types.cpp.
//
// The neighbour search is linear in the number of faces: every face is hashed
// once into a table with as many buckets as faces (the global bucket lists,
// chained through one pool), and only faces in one bucket are compared.
#include "core/nk_topology.h"

#include <cstdint>
#include <cstdlib>

#include "core/nk_diagnostic.h"
#include "core/nk_element_types.h"
#include "core/nk_frames.h"
#include "core/nk_math.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_ray.h"
#include "core/nk_sort.h"

namespace {

const NKElement *GetElement(const NKPart *pPart, int iElement)
{
    if (pPart == nullptr || pPart->pElements == nullptr || pPart->iNumElements < 1) return nullptr;
    if (iElement < 0 || iElement >= pPart->iNumElements) return nullptr;
    return &pPart->pElements[iElement];
}

// The part node index of local node iLocal of an element; -1 for a -1 local
// number, a connectivity too short for it or a node outside the part.
int ElementNode(const NKPart *pPart, const NKElement *pElem, int iLocal)
{
    if (iLocal < 0 || pPart->pElementConnects == nullptr) return -1;
    long long k = (long long)pElem->iNodeStart + iLocal;
    if (k < 0 || k >= pPart->iNumElementConnects) return -1;
    int n = pPart->pElementConnects[k];
    return (n >= 0 && n < pPart->iNumNodes) ? n : -1;
}

int NodeKey(const NKPart *pPart, int n)
{
    if (n < 0) return -1;
    return pPart->pNodeMap != nullptr ? pPart->pNodeMap[n] : n;
}

const NKPart *FramePart(const NKFrame *pFrame, int iPart) { return NKGetFramePart(pFrame, iPart); }

// Maps n face nodes to keys and sorts them.
void FaceKeys(const NKPart *pPart, int *piNodes, int n)
{
    for (int i = 0; i < n; i++) piNodes[i] = NodeKey(pPart, piNodes[i]);
    NKBubbleSortInts(piNodes, n);
}

bool IsSolid(int iType) { return NKElementFaceCount(iType) >= 4; }

}  // namespace

void NKPartElementEdgeNodes(const NKPart *pPart, int iElement, int iEdge, int *pA, int *pB)
{
    const NKElement *pElem = GetElement(pPart, iElement);
    if (pA == nullptr || pB == nullptr || pElem == nullptr) return;
    int a, b;
    NKElementEdgeNodes(pElem->iType, iEdge, &a, &b);
    *pA = ElementNode(pPart, pElem, a);
    *pB = ElementNode(pPart, pElem, b);
}

// The part's node indices of an element face's N local nodes as pfnLocal
// lists them for the element's type; all -1 without that element.
template <int N>
static void FaceNodesOfPart(const NKPart *pPart, int iElement, int iFace, int piOut[N],
                            void (*pfnLocal)(int, int, int *))
{
    if (piOut == nullptr) return;
    for (int i = 0; i < N; i++) piOut[i] = -1;
    const NKElement *pElem = GetElement(pPart, iElement);
    if (pElem == nullptr) return;
    int aiLocal[N];
    pfnLocal(pElem->iType, iFace, aiLocal);
    for (int i = 0; i < N; i++) piOut[i] = ElementNode(pPart, pElem, aiLocal[i]);
}

void NKPartElementFaceCorners(const NKPart *pPart, int iElement, int iFace, int piOut[4])
{
    FaceNodesOfPart<4>(pPart, iElement, iFace, piOut, NKElementFaceCorners);
}

void NKPartElementFaceNodes(const NKPart *pPart, int iElement, int iFace, int piOut[8])
{
    FaceNodesOfPart<8>(pPart, iElement, iFace, piOut, NKElementFaceNodes);
}

void NKPartElementFaceCornerKeys(const NKPart *pPart, int iElement, int iFace, int piOut[4])
{
    NKPartElementFaceCorners(pPart, iElement, iFace, piOut);
    const NKElement *pElem = GetElement(pPart, iElement);
    if (piOut == nullptr || pElem == nullptr) return;
    FaceKeys(pPart, piOut, NKElementFaceCornerCount(pElem->iType, iFace));
}

void NKPartElementFaceNodeKeys(const NKPart *pPart, int iElement, int iFace, int piOut[8])
{
    NKPartElementFaceNodes(pPart, iElement, iFace, piOut);
    const NKElement *pElem = GetElement(pPart, iElement);
    if (piOut == nullptr || pElem == nullptr) return;
    FaceKeys(pPart, piOut, NKElementFaceNodeCount(pElem->iType, iFace));
}

void NKComputeElementFaceNormals(const NKFrame *pFrame, int iPart, int iElement, float *pfNormals)
{
    const NKPart *pPart = FramePart(pFrame, iPart);
    const NKElement *pElem = GetElement(pPart, iElement);
    if (pfNormals == nullptr || pElem == nullptr) return;
    for (int f = 0; f < NKElementFaceCount(pElem->iType); f++) {
        int aiCorners[4];
        NKPartElementFaceCorners(pPart, iElement, f, aiCorners);
        int n = NKElementFaceCornerCount(pElem->iType, f);
        bool bUsable = pPart->pNodeCoords != nullptr;
        for (int i = 0; i < n; i++) bUsable = bUsable && aiCorners[i] >= 0;
        float *pfOut = pfNormals + 3 * f;
        if (bUsable) {
            NKComputePolygonNormal(aiCorners, n, pPart->pNodeCoords, pfOut);
        } else {
            // A face with a missing node has no normal; (0, 0, 1) is the
            // degenerate-polygon answer of the normal computation.
            pfOut[0] = 0.0f;
            pfOut[1] = 0.0f;
            pfOut[2] = 1.0f;
        }
    }
}

void NKInitFaceNeighbours(int piPairs[6][2])
{
    if (piPairs == nullptr) return;
    for (int i = 0; i < 6; i++) piPairs[i][0] = piPairs[i][1] = -1;
}

void NKComputeElementListFaceNormals(const NKFrame *pFrame, NKElementNeighbourRecord *pRecords,
                                     int iCount)
{
    if (pRecords == nullptr) return;
    for (int i = 0; i < iCount; i++)
        NKComputeElementFaceNormals(pFrame, pRecords[i].iPart, pRecords[i].iElement,
                                    &pRecords[i].fFaceNormals[0][0]);
}

bool NKBuildMissingNodeMaps(NKGeometry *pGeo)
{
    if (pGeo == nullptr || pGeo->pParts == nullptr) return true;
    int iNext = 0;  // one past the largest global index in use
    bool bAnyMissing = false;
    for (int p = 0; p < pGeo->iNumParts; p++) {
        const NKPart &part = pGeo->pParts[p];
        if (part.pNodeMap == nullptr) {
            bAnyMissing = bAnyMissing || part.iNumNodes > 0;
            continue;
        }
        for (int n = 0; n < part.iNumNodes; n++)
            if (part.pNodeMap[n] >= iNext) iNext = part.pNodeMap[n] + 1;
    }
    if (!bAnyMissing) return true;
    if (pGeo->iGlobalNumNodes > iNext) iNext = pGeo->iGlobalNumNodes;
    for (int p = 0; p < pGeo->iNumParts; p++) {
        NKPart &part = pGeo->pParts[p];
        if (part.pNodeMap != nullptr || part.iNumNodes < 1) continue;
        part.pNodeMap = (int *)NKAlloc(sizeof(int) * (size_t)part.iNumNodes);
        if (part.pNodeMap == nullptr)
            return NKDiagnostic("Error allocating node map", "NKBuildMissingNodeMaps");
        for (int n = 0; n < part.iNumNodes; n++) part.pNodeMap[n] = iNext++;
    }
    pGeo->iGlobalNumNodes = iNext;
    return true;
}

int NKHashNodeList(const int *piKeys, int n, int iTableSize)
{
    static const int64_t aiWeight[4] = {13, 769, 97, 5};
    if (piKeys == nullptr || iTableSize < 1) return 0;
    int64_t iSum = 0;
    for (int i = 0; i < n; i++) iSum += (int64_t)piKeys[i] * aiWeight[i % 4];
    if (iSum < 0) iSum = -iSum;
    return (int)(iSum % iTableSize);
}

namespace {

bool FacesMatch(const NKElementFaceRecord &a, const NKElementFaceRecord &b, int iCorners)
{
    for (int i = 0; i < iCorners; i++)
        if (a.iCornerKeys[i] != b.iCornerKeys[i]) return false;
    return true;
}

int RecordType(const NKFrame *pFrame, const NKElementNeighbourRecord &rec)
{
    const NKElement *pElem = GetElement(FramePart(pFrame, rec.iPart), rec.iElement);
    return pElem != nullptr ? pElem->iType : -1;
}

// Pairs face record a with b when both belong to solids and match.
void TryPair(const NKFrame *pFrame, NKElementNeighbourRecord *pRecords, int iRecordCount,
             const NKElementFaceRecord &a, const NKElementFaceRecord &b)
{
    if (a.iRecord < 0 || a.iRecord >= iRecordCount || b.iRecord < 0 || b.iRecord >= iRecordCount)
        return;
    int iTypeA = RecordType(pFrame, pRecords[a.iRecord]);
    int iTypeB = RecordType(pFrame, pRecords[b.iRecord]);
    if (!IsSolid(iTypeA) || !IsSolid(iTypeB)) return;
    int iCorners = NKElementFaceCornerCount(iTypeA, a.iFace);
    if (iCorners != NKElementFaceCornerCount(iTypeB, b.iFace) || !FacesMatch(a, b, iCorners))
        return;
    pRecords[a.iRecord].iNeighbours[a.iFace][0] = b.iRecord;
    pRecords[a.iRecord].iNeighbours[a.iFace][1] = b.iFace;
    pRecords[b.iRecord].iNeighbours[b.iFace][0] = a.iRecord;
    pRecords[b.iRecord].iNeighbours[b.iFace][1] = a.iFace;
}

}  // namespace

void NKPairElementFaces(const NKFrame *pFrame, NKElementNeighbourRecord *pRecords, int iRecordCount,
                        const NKElementFaceRecord *pFaces, int iFaceCount,
                        NKBucketEntry *const *ppHeads, int iBucketCount)
{
    if (pRecords == nullptr || pFaces == nullptr || ppHeads == nullptr) return;
    for (int k = 0; k < iBucketCount; k++) {
        for (const NKBucketEntry *pA = ppHeads[k]; pA != nullptr; pA = pA->pNext) {
            if (pA->iValue < 0 || pA->iValue >= iFaceCount) continue;
            for (const NKBucketEntry *pB = pA->pNext; pB != nullptr; pB = pB->pNext) {
                if (pB->iValue < 0 || pB->iValue >= iFaceCount) continue;
                TryPair(pFrame, pRecords, iRecordCount, pFaces[pA->iValue], pFaces[pB->iValue]);
            }
        }
    }
}

namespace {

// Fills one record per element in part and element order; returns the total
// face count.
long long FillElementRecords(const NKFrame *pFrame, NKElementNeighbourRecord *pRecords)
{
    const NKGeometry *pGeo = pFrame->pGeometry;
    long long iFaces = 0;
    int r = 0;
    for (int p = 0; p < pGeo->iNumParts; p++) {
        const NKPart &part = pGeo->pParts[p];
        if (part.pElements == nullptr) continue;
        for (int e = 0; e < part.iNumElements; e++, r++) {
            pRecords[r].iPart = p;
            pRecords[r].iElement = e;
            NKComputeElementFaceNormals(pFrame, p, e, &pRecords[r].fFaceNormals[0][0]);
            NKInitFaceNeighbours(pRecords[r].iNeighbours);
            iFaces += NKElementFaceCount(part.pElements[e].iType);
        }
    }
    return iFaces;
}

// Fills a face record per face and hashes it into the bucket lists. A face
// with a missing corner node is left out of the search.
void HashElementFaces(const NKFrame *pFrame, const NKElementNeighbourRecord *pRecords, int iCount,
                      NKElementFaceRecord *pFaces, int iNumFaces)
{
    int iFace = 0;
    for (int r = 0; r < iCount; r++) {
        const NKPart *pPart = FramePart(pFrame, pRecords[r].iPart);
        int iType = pPart->pElements[pRecords[r].iElement].iType;
        for (int f = 0; f < NKElementFaceCount(iType); f++, iFace++) {
            NKElementFaceRecord &face = pFaces[iFace];
            face.iRecord = r;
            face.iFace = f;
            NKPartElementFaceCornerKeys(pPart, pRecords[r].iElement, f, face.iCornerKeys);
            int n = NKElementFaceCornerCount(iType, f);
            if (face.iCornerKeys[0] < 0) continue;  // sorted: a -1 key comes first
            NKBucketListAdd(NKHashNodeList(face.iCornerKeys, n, iNumFaces), iFace);
        }
    }
}

int CountFrameElements(const NKGeometry *pGeo)
{
    long long iCount = 0;
    for (int p = 0; p < pGeo->iNumParts; p++)
        if (pGeo->pParts[p].pElements != nullptr && pGeo->pParts[p].iNumElements > 0)
            iCount += pGeo->pParts[p].iNumElements;
    return iCount > 0x7fffffff ? -1 : (int)iCount;
}

}  // namespace

NKElementNeighbourRecord *NKBuildElementNeighbours(NKFrame *pFrame, int *piCount)
{
    static const char *pszFn = "NKBuildElementNeighbours";
    if (piCount != nullptr) *piCount = 0;
    if (pFrame == nullptr || piCount == nullptr || pFrame->pGeometry == nullptr ||
        pFrame->pGeometry->pParts == nullptr) {
        NKDiagnostic("Null frame, count or geometry", pszFn);
        return nullptr;
    }
    if (!NKBuildMissingNodeMaps(pFrame->pGeometry)) return nullptr;
    int iCount = CountFrameElements(pFrame->pGeometry);
    NKElementNeighbourRecord *pRecords = nullptr;
    if (iCount > 0)
        pRecords = (NKElementNeighbourRecord *)NKAlloc(sizeof(*pRecords) * (size_t)iCount);
    if (pRecords == nullptr) {
        NKDiagnostic("No elements or error allocating element records", pszFn);
        return nullptr;
    }
    long long iFaces = FillElementRecords(pFrame, pRecords);
    if (iFaces > 0) {
        if (iFaces > 0x7fffffff) iFaces = -1;
        NKElementFaceRecord *pFaces =
            iFaces > 0 ? (NKElementFaceRecord *)NKAlloc(sizeof(*pFaces) * (size_t)iFaces) : nullptr;
        if (pFaces == nullptr || !NKBucketListInit((int)iFaces, (int)iFaces)) {
            NKFree(pFaces);
            NKFree(pRecords);
            NKDiagnostic("Error allocating face records", pszFn);
            return nullptr;
        }
        HashElementFaces(pFrame, pRecords, iCount, pFaces, (int)iFaces);
        NKPairElementFaces(pFrame, pRecords, iCount, pFaces, (int)iFaces,
                           NKGetBucketList()->ppHeads, (int)iFaces);
        NKBucketListFree();
        NKFree(pFaces);
    }
    *piCount = iCount;
    return pRecords;
}

namespace {

// True when the corners of the element lie all below or all above p on some
// axis, so that the element cannot hold p.
bool OutsideCornerBox(const NKPart *pPart, const NKElement *pElem, const float p[3])
{
    int iCorners = NKElementCornerCount(pElem->iType);
    for (int k = 0; k < 3; k++) {
        int iBelow = 0, iAbove = 0;
        for (int c = 0; c < iCorners; c++) {
            int n = ElementNode(pPart, pElem, c);
            if (n < 0) return true;
            float x = pPart->pNodeCoords[3 * n + k];
            if (x < p[k]) iBelow++;
            if (x > p[k]) iAbove++;
        }
        if (iBelow == iCorners || iAbove == iCorners) return true;
    }
    return false;
}

// True when p lies behind or on every face plane of the record's element;
// *piFace then receives the last face on which it lies, or -1.
bool InsideFacePlanes(const NKPart *pPart, const NKElementNeighbourRecord &rec, const float p[3],
                      int *piFace)
{
    int iType = pPart->pElements[rec.iElement].iType;
    int iOnFace = -1;
    for (int f = 0; f < NKElementFaceCount(iType); f++) {
        int aiCorners[4];
        NKPartElementFaceCorners(pPart, rec.iElement, f, aiCorners);
        if (aiCorners[0] < 0) return false;
        const float *n = rec.fFaceNormals[f];
        const float *c = pPart->pNodeCoords + 3 * aiCorners[0];
        double d = NKVec3Dot(n, p) - NKVec3Dot(n, c);
        if (d > 0.0) return false;
        if (d == 0.0) iOnFace = f;
    }
    *piFace = iOnFace;
    return true;
}

}  // namespace

int NKFindElementContainingPoint(const NKFrame *pFrame, const NKElementNeighbourRecord *pRecords,
                                 int iCount, const float p[3], int *piFace)
{
    if (piFace != nullptr) *piFace = -1;
    if (pFrame == nullptr || pRecords == nullptr || p == nullptr || piFace == nullptr) return -1;
    if (pFrame->pGeometry == nullptr || pFrame->pGeometry->pParts == nullptr || iCount < 1)
        return -1;
    for (int r = 0; r < iCount; r++) {
        const NKPart *pPart = FramePart(pFrame, pRecords[r].iPart);
        const NKElement *pElem = GetElement(pPart, pRecords[r].iElement);
        // Only a closed solid can hold a point; lines and shells have no inside.
        if (pElem == nullptr || pPart->pNodeCoords == nullptr || !IsSolid(pElem->iType)) continue;
        if (OutsideCornerBox(pPart, pElem, p)) continue;
        int iFace = -1;
        if (InsideFacePlanes(pPart, pRecords[r], p, &iFace)) {
            *piFace = iFace;
            return r;
        }
    }
    return -1;
}
