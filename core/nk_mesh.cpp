// core/nk_mesh.cpp -- the indexed face set record and the mesh clean-up
// operations of the part builders. See nk_mesh.h.
//
// Every operation here is linear in the mesh size: node merging radix-sorts
// the points once and compares neighbours only, internal-face hiding
// radix-sorts the faces by a key of their sorted node lists and compares
// faces with equal keys only, and local node numbering uses a per-node
// scratch array instead of searches. Results picked
// through node maps and the geometry polygon map are in nk_mesh_results.cpp.
#include "core/nk_mesh.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
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

namespace {

// One node in the merge's sort: the order-preserving images of its x, y and
// z, and its index.
struct PointRecord {
    uint32_t auKey[3];
    uint32_t uNode;
};

// The point a record's images stand for (-0 comes back as +0).
void RecordPoint(const PointRecord &r, float afPoint[3])
{
    for (int k = 0; k < 3; k++) {
        uint32_t u = r.auKey[k];
        u = (u & 0x80000000u) != 0 ? (u & 0x7fffffffu) : ~u;
        std::memcpy(&afPoint[k], &u, sizeof u);
    }
}

bool RecordLess(const PointRecord &a, const PointRecord &b)
{
    for (int k = 0; k < 3; k++) {
        if (a.auKey[k] != b.auKey[k]) return a.auKey[k] < b.auKey[k];
    }
    return false;
}

// Sorts n records by x, then y, then z images, stably; pSpare holds n
// records of room. Returns where the sorted records lie (pData or pSpare).
// Few records take an insertion sort, a few thousand a merge sort, more a
// radix sort on digits of 11 bits, the last key's lowest digit first: 2048
// write streams stay in the caches for a part of a few megabytes, and a
// digit shared by every record costs no pass.
PointRecord *SortRecordRange(PointRecord *pData, PointRecord *pSpare, int64_t n)
{
    if (n <= 32) {
        for (int64_t i = 1; i < n; i++) {
            PointRecord r = pData[i];
            int64_t j = i;
            for (; j > 0 && RecordLess(r, pData[j - 1]); j--) pData[j] = pData[j - 1];
            pData[j] = r;
        }
        return pData;
    }
    if (n <= 2048) {  // fewer than the digits' counters
        std::stable_sort(pData, pData + n, RecordLess);
        return pData;
    }
    // Three digits of 11, 11 and 10 bits per key.
    const int kPasses = 9, kRadix = 2048;
    static const int aiShift[3] = {0, 11, 22};
    std::vector<uint32_t> counts((size_t)kPasses * kRadix, 0);
    for (int64_t i = 0; i < n; i++) {
        const PointRecord &r = pData[i];
        for (int k = 0; k < 3; k++)
            for (int b = 0; b < 3; b++)
                counts[(size_t)(k * 3 + b) * kRadix + ((r.auKey[k] >> aiShift[b]) & 0x7ffu)]++;
    }
    PointRecord *pFrom = pData, *pTo = pSpare;
    for (int k = 2; k >= 0; k--) {
        for (int b = 0; b < 3; b++) {
            uint32_t *puCount = counts.data() + (size_t)(k * 3 + b) * kRadix;
            int iShift = aiShift[b];
            if (puCount[(pFrom[0].auKey[k] >> iShift) & 0x7ffu] == (uint64_t)n) continue;
            uint32_t uSum = 0;
            for (int d = 0; d < kRadix; d++) {
                uint32_t c = puCount[d];
                puCount[d] = uSum;
                uSum += c;
            }
            for (int64_t i = 0; i < n; i++)
                pTo[puCount[(pFrom[i].auKey[k] >> iShift) & 0x7ffu]++] = pFrom[i];
            std::swap(pFrom, pTo);
        }
    }
    return pFrom;
}

// Brings the records into ascending order of their points by x, then y, then
// z, exactly (no tolerance), equal points in index order. The records carry
// their own keys, so no pass gathers from the coordinates. A first stable
// pass splits them by the highest eight bits in which their x images differ;
// each such bucket is then sorted on its own, in the caches, so that a large
// model costs about as much per node as a small one. pRecords holds the
// sorted order on return.
void SortPointRecords(PointRecord *pRecords, PointRecord *pScratch, int64_t n)
{
    if (n < 2) return;
    uint32_t uDiff = 0;
    for (int64_t i = 1; i < n; i++) uDiff |= pRecords[i].auKey[0] ^ pRecords[0].auKey[0];
    if (uDiff == 0 || n <= 4096) {
        PointRecord *pSorted = SortRecordRange(pRecords, pScratch, n);
        if (pSorted != pRecords) std::memcpy(pRecords, pSorted, sizeof(PointRecord) * (size_t)n);
        return;
    }
    int iTop = 31;
    while ((uDiff >> iTop) == 0) iTop--;
    int iShift = iTop >= 7 ? iTop - 7 : 0;
    int64_t aiStart[257] = {};
    for (int64_t i = 0; i < n; i++) aiStart[((pRecords[i].auKey[0] >> iShift) & 0xffu) + 1]++;
    for (int d = 0; d < 256; d++) aiStart[d + 1] += aiStart[d];
    int64_t aiNext[256];
    std::memcpy(aiNext, aiStart, sizeof aiNext);
    for (int64_t i = 0; i < n; i++)
        pScratch[aiNext[(pRecords[i].auKey[0] >> iShift) & 0xffu]++] = pRecords[i];
    for (int d = 0; d < 256; d++) {
        int64_t iFirst = aiStart[d], iCount = aiStart[d + 1] - aiStart[d];
        if (iCount == 0) continue;
        PointRecord *pSorted = SortRecordRange(pScratch + iFirst, pRecords + iFirst, iCount);
        if (pSorted != pRecords + iFirst)
            std::memcpy(pRecords + iFirst, pSorted, sizeof(PointRecord) * (size_t)iCount);
    }
}

}  // namespace

bool NKMergeCoincidentNodes(int *piConnects, int iLength, float (*pfCoords)[3], int iNumNodes)
{
    if (piConnects == nullptr || pfCoords == nullptr || iLength < 0 || iNumNodes < 0)
        return NKDiagnostic("Null or negative input", "NKMergeCoincidentNodes");
    if (iNumNodes == 0 || iLength == 0) return true;
    auto *pRecords = (PointRecord *)NKAlloc(sizeof(PointRecord) * (size_t)iNumNodes);
    auto *pScratch = (PointRecord *)NKAlloc(sizeof(PointRecord) * (size_t)iNumNodes);
    if (pRecords == nullptr || pScratch == nullptr) {
        NKFree(pRecords);
        NKFree(pScratch);
        return NKDiagnostic("Error allocating scratch arrays", "NKMergeCoincidentNodes");
    }
    for (int i = 0; i < iNumNodes; i++) {
        for (int k = 0; k < 3; k++) pRecords[i].auKey[k] = NKOrderedFloatBits(pfCoords[i][k]);
        pRecords[i].uNode = (uint32_t)i;
    }
    SortPointRecords(pRecords, pScratch, iNumNodes);
    // The scratch goes before the node map comes: -1 keeps a node.
    NKFree(pScratch);
    int *piTarget = (int *)NKAlloc(sizeof(int) * (size_t)iNumNodes);
    if (piTarget == nullptr) {
        NKFree(pRecords);
        return NKDiagnostic("Error allocating scratch arrays", "NKMergeCoincidentNodes");
    }
    for (int i = 0; i < iNumNodes; i++) piTarget[i] = -1;
    // Only neighbours in the sorted order are compared; a run of equal points
    // thereby maps to its first node.
    float afPrev[3], afCur[3];
    RecordPoint(pRecords[0], afPrev);
    int iRunFirst = (int)pRecords[0].uNode;
    for (int i = 1; i < iNumNodes; i++) {
        RecordPoint(pRecords[i], afCur);
        int b = (int)pRecords[i].uNode;
        if (NKVec3EqualAbs(afPrev, afCur))
            piTarget[b] = iRunFirst;
        else
            iRunFirst = b;
        std::memcpy(afPrev, afCur, sizeof afCur);
    }
    NKFree(pRecords);
    for (int k = 0; k < iLength; k++) {
        int n = piConnects[k];
        if (n >= 0 && n < iNumNodes && piTarget[n] >= 0) piConnects[k] = piTarget[n];
    }
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

// Makes the arrays HideInternalFaces needs when they are missing; the sorted
// copy and the visibility bytes only when asked.
bool MakeFaceFlagArrays(NKIndexedFaceSet *pIFS, bool bSortedCopy)
{
    size_t nPoly = (size_t)pIFS->iNumPolygons;
    if (bSortedCopy && pIFS->piSortedConnects == nullptr && pIFS->iConnectLength > 0) {
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
    // Without the sorted copy (a record about to go) a missing visibility
    // array reads as all zeros.
    if (bSortedCopy && pIFS->pbVisibility == nullptr) {
        pIFS->pbVisibility = (unsigned char *)NKCalloc(nPoly, 1);
        if (pIFS->pbVisibility == nullptr) return false;
    }
    return true;
}

// Orders two list entries without a branch the data could mispredict.
inline void OrderPair(int *pi, int a, int b)
{
    int lo = std::min(pi[a], pi[b]), hi = std::max(pi[a], pi[b]);
    pi[a] = lo;
    pi[b] = hi;
}

// Ascending in place; the lists are short (faces have two to eight nodes),
// so triangles and quadrilaterals (nearly every face) go through a fixed
// network of exchanges and the rest by insertion up to 32 nodes.
void SortNodeList(int *pi, int n)
{
    if (n == 3) {
        OrderPair(pi, 0, 1);
        OrderPair(pi, 1, 2);
        OrderPair(pi, 0, 1);
        return;
    }
    if (n == 4) {
        OrderPair(pi, 0, 1);
        OrderPair(pi, 2, 3);
        OrderPair(pi, 0, 2);
        OrderPair(pi, 1, 3);
        OrderPair(pi, 1, 2);
        return;
    }
    if (n > 32) {
        std::sort(pi, pi + n);
        return;
    }
    for (int i = 1; i < n; i++) {
        int v = pi[i], j = i;
        for (; j > 0 && pi[j - 1] > v; j--) pi[j] = pi[j - 1];
        pi[j] = v;
    }
}

// A 32-bit hash of a sorted node list and its length; equal lists give equal
// hashes, and the mixing spreads different lists over the whole range.
uint32_t FaceHash(const int *piSorted, int n)
{
    uint32_t h = 0x9e3779b9u ^ (uint32_t)n;
    for (int i = 0; i < n; i++) {
        h ^= (uint32_t)piSorted[i];
        h *= 0x85ebca6bu;
        h ^= h >> 15;
    }
    h ^= h >> 16;
    h *= 0xc2b2ae35u;
    return h ^ (h >> 13);
}

bool Removable(const NKIndexedFaceSet *pIFS, int p)
{
    return pIFS->pbWholeElement[p] == 0 &&
           (pIFS->pbVisibility == nullptr || pIFS->pbVisibility[p] == 0);
}

// Only removable faces of two or more nodes can go.
bool IsCandidate(const NKIndexedFaceSet *pIFS, int p)
{
    return pIFS->piPolygonNumNodes[p] >= 2 && Removable(pIFS, p);
}

// The sorted node lists of the candidate faces: the record's sorted copy,
// or, without one, a sorted copy of the polygon's list in one of two
// buffers (so that two lists can be held at once).
struct SortedLists {
    const NKIndexedFaceSet *pIFS;
    int aiShort[2][32];
    std::vector<int> buffer[2];  // for longer lists
    const int *Of(int p, int iBuffer)
    {
        int n = pIFS->piPolygonNumNodes[p];
        if (pIFS->piSortedConnects != nullptr)
            return pIFS->piSortedConnects + pIFS->piPolygonStart[p];
        int *pi = aiShort[iBuffer];
        if (n > 32) {
            buffer[iBuffer].resize((size_t)n);
            pi = buffer[iBuffer].data();
        }
        const int *piList = pIFS->piConnects + pIFS->piPolygonStart[p];
        std::copy(piList, piList + n, pi);
        SortNodeList(pi, n);
        return pi;
    }
    int Smallest(int p) const
    {
        const int *piList = (pIFS->piSortedConnects ? pIFS->piSortedConnects : pIFS->piConnects) +
                            pIFS->piPolygonStart[p];
        if (pIFS->piSortedConnects != nullptr) return piList[0];
        return *std::min_element(piList, piList + pIFS->piPolygonNumNodes[p]);
    }
    uint32_t Hash(int p) { return FaceHash(Of(p, 0), pIFS->piPolygonNumNodes[p]); }
};

// Arrays reused from group to group.
struct GroupScratch {
    std::vector<const int *> sorted;  // each face's sorted list
    std::vector<int> nodes;           // the lists sorted here
    std::vector<int> group, leaders, members;
};

// A small group (the usual bucket: the few faces around one node) compares
// its faces pair by pair, their sorted lists on the stack; false, leaving
// the faces as they were, when a face has more nodes than room here.
const int kSmallGroup = 16, kSmallFace = 8;

bool HideSmallGroup(NKIndexedFaceSet *pIFS, const int *piPolys, int iCount)
{
    int aaiNodes[kSmallGroup][kSmallFace], aiCount[kSmallGroup];
    const int *piAll = pIFS->piSortedConnects ? pIFS->piSortedConnects : pIFS->piConnects;
    for (int i = 0; i < iCount; i++) {
        int p = piPolys[i], n = pIFS->piPolygonNumNodes[p];
        if (n > kSmallFace) return false;
        aiCount[i] = n;
        std::copy(piAll + pIFS->piPolygonStart[p], piAll + pIFS->piPolygonStart[p] + n,
                  aaiNodes[i]);
        if (pIFS->piSortedConnects == nullptr) SortNodeList(aaiNodes[i], n);
    }
    bool abGone[kSmallGroup] = {};
    for (int i = 0; i < iCount; i++)
        for (int j = i + 1; j < iCount; j++) {
            bool bSame = aiCount[i] == aiCount[j];
            for (int k = 0; bSame && k < aiCount[i]; k++) bSame = aaiNodes[i][k] == aaiNodes[j][k];
            if (bSame) abGone[i] = abGone[j] = true;
        }
    for (int i = 0; i < iCount; i++)
        if (abGone[i]) pIFS->pbKeep[piPolys[i]] = 0;
    return true;
}

// Hides every group of two or more equal faces among iCount candidates.
// Ordered by their node lists, equal faces lie next to each other and each
// neighbouring pair goes, so a group goes whole. Each face is compared with
// the first face of each group found so far; the groups here are few (the
// large buckets are split by hash first). Without the record's sorted copy
// the lists are sorted once each into the scratch array.
void HideGroupDuplicates(NKIndexedFaceSet *pIFS, SortedLists &lists, const int *piPolys, int iCount,
                         GroupScratch &scratch)
{
    if (iCount <= kSmallGroup && HideSmallGroup(pIFS, piPolys, iCount)) return;
    std::vector<const int *> &sorted = scratch.sorted;
    sorted.resize((size_t)iCount);
    if (pIFS->piSortedConnects != nullptr) {
        for (int i = 0; i < iCount; i++) sorted[(size_t)i] = lists.Of(piPolys[i], 0);
    } else {
        size_t iTotal = 0;
        for (int i = 0; i < iCount; i++) iTotal += (size_t)pIFS->piPolygonNumNodes[piPolys[i]];
        scratch.nodes.resize(iTotal);
        size_t iAt = 0;
        for (int i = 0; i < iCount; i++) {
            int p = piPolys[i], n = pIFS->piPolygonNumNodes[p];
            const int *piList = pIFS->piConnects + pIFS->piPolygonStart[p];
            std::copy(piList, piList + n, scratch.nodes.begin() + (std::ptrdiff_t)iAt);
            SortNodeList(scratch.nodes.data() + iAt, n);
            iAt += (size_t)n;
        }
        iAt = 0;
        for (int i = 0; i < iCount; i++) {
            sorted[(size_t)i] = scratch.nodes.data() + iAt;
            iAt += (size_t)pIFS->piPolygonNumNodes[piPolys[i]];
        }
    }
    auto equal = [&](int i, int j) {
        int n = pIFS->piPolygonNumNodes[piPolys[i]];
        return n == pIFS->piPolygonNumNodes[piPolys[j]] &&
               std::equal(sorted[(size_t)i], sorted[(size_t)i] + n, sorted[(size_t)j]);
    };
    std::vector<int> &group = scratch.group, &leaders = scratch.leaders;
    group.assign((size_t)iCount, -1);
    leaders.clear();
    for (int i = 0; i < iCount; i++) {
        for (size_t g = 0; g < leaders.size() && group[(size_t)i] < 0; g++)
            if (equal(i, leaders[g])) group[(size_t)i] = (int)g;
        if (group[(size_t)i] < 0) {
            group[(size_t)i] = (int)leaders.size();
            leaders.push_back(i);
        }
    }
    std::vector<int> &members = scratch.members;
    members.assign(leaders.size(), 0);
    for (int i = 0; i < iCount; i++) members[(size_t)group[(size_t)i]]++;
    for (int i = 0; i < iCount; i++)
        if (members[(size_t)group[(size_t)i]] > 1) pIFS->pbKeep[piPolys[i]] = 0;
}

// The faces of one bucket of the counting sort. A large bucket (many faces
// around one node) is first ordered by the hashes of the faces' lists with a
// radix sort, so that only faces of equal hash are compared.
void HideBucketDuplicates(NKIndexedFaceSet *pIFS, SortedLists &lists, int *piPolys, int iCount,
                          GroupScratch &scratch)
{
    if (iCount <= kSmallGroup) {
        HideGroupDuplicates(pIFS, lists, piPolys, iCount, scratch);
        return;
    }
    std::vector<uint64_t> words((size_t)iCount), spare((size_t)iCount);
    for (int i = 0; i < iCount; i++)
        words[(size_t)i] = (uint64_t)lists.Hash(piPolys[i]) << 32 | (uint32_t)piPolys[i];
    NKRadixSortKeyedWords(words.data(), spare.data(), iCount);
    for (int i = 0; i < iCount; i++) piPolys[i] = (int)(uint32_t)words[(size_t)i];
    for (int i = 0; i < iCount;) {
        int j = i + 1;
        while (j < iCount && (words[(size_t)j] >> 32) == (words[(size_t)i] >> 32)) j++;
        if (j - i > 1) HideGroupDuplicates(pIFS, lists, piPolys + i, j - i, scratch);
        i = j;
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

// Which bucket of the counting sort a face goes to: its smallest node above
// the smallest of all faces, or, when the nodes span more than a few times
// the face count, its hash modulo the face count. Equal lists always share a
// bucket. By smallest node, faces that share nodes come from nearby elements,
// so the comparisons read the connectivity almost in order.
struct FaceBuckets {
    bool bByNode = true;
    int64_t iMinNode = 0;
    uint32_t uCount = 1;
    uint32_t Of(SortedLists &lists, int p) const
    {
        return bByNode ? (uint32_t)((int64_t)lists.Smallest(p) - iMinNode) : lists.Hash(p) % uCount;
    }
};

// The counting sort of the buckets in steps, each linear in the faces,
// with the writes of each step in the caches. The buckets are taken in
// ranges of 4096 (more when there would be too many ranges to number in
// two bytes), and each face's range is worked out once into an array of two
// bytes a face (kNoRange for a face that cannot go), so that the later
// passes read that rather than the face's flags and nodes. A pass counts the
// faces of each range; the ranges are then taken in a few groups of about a
// quarter of the faces each, a pass placing the faces of one group in their
// ranges (in polygon order); each range is then ordered by bucket on its
// own, in arrays of its size, and its buckets are compared. The order array
// holds a group's faces, so that it stays small beside the record at the
// peak of a model's loading, and the passes stay a fixed few whatever the
// model's size.
const uint16_t kNoRange = UINT16_MAX;

struct FaceRanges {
    FaceBuckets buckets;
    uint16_t *puRange = nullptr;  // one a polygon
    int iBits = 12;               // buckets a range: 2^iBits
    int iCandidates = 0;
    size_t Count() const { return ((size_t)(buckets.uCount - 1) >> iBits) + 1; }
    ~FaceRanges() { NKFree(puRange); }
};

// The buckets (by smallest node while the node range stays within a few
// times the candidate count, the usual case; by hash otherwise) and each
// face's range; false when memory runs out.
bool MakeFaceRanges(NKIndexedFaceSet *pIFS, SortedLists &lists, FaceRanges *pRanges)
{
    const int iNumPoly = pIFS->iNumPolygons;
    int64_t iMinNode = INT64_MAX, iMaxNode = INT64_MIN;
    int iCandidates = 0;
    for (int p = 0; p < iNumPoly; p++) {
        if (!IsCandidate(pIFS, p)) continue;
        iCandidates++;
        int64_t iSmallest = lists.Smallest(p);
        iMinNode = std::min(iMinNode, iSmallest);
        iMaxNode = std::max(iMaxNode, iSmallest);
    }
    FaceBuckets &buckets = pRanges->buckets;
    buckets.iMinNode = iMinNode;
    if (iMinNode <= iMaxNode && iMaxNode - iMinNode < 4 * (int64_t)iCandidates + 1024 &&
        iMaxNode - iMinNode < (int64_t)UINT32_MAX) {
        buckets.uCount = (uint32_t)(iMaxNode - iMinNode + 1);
    } else {
        buckets.bByNode = false;
        buckets.uCount = (uint32_t)std::max(iCandidates, 1);
    }
    pRanges->iCandidates = iCandidates;
    while (pRanges->Count() >= kNoRange) pRanges->iBits++;
    uint16_t *puRange = (uint16_t *)NKAlloc(sizeof(uint16_t) * (size_t)iNumPoly);
    if (puRange == nullptr) return false;
    pRanges->puRange = puRange;
    for (int p = 0; p < iNumPoly; p++)
        puRange[p] =
            IsCandidate(pIFS, p) ? (uint16_t)(buckets.Of(lists, p) >> pRanges->iBits) : kNoRange;
    return true;
}

// Orders the iCount faces of one range by bucket into local and hides the
// duplicates of each bucket; counts has room for the range's buckets plus
// one.
void HideRange(NKIndexedFaceSet *pIFS, SortedLists &lists, const FaceRanges &ranges,
               const int *piFaces, int iCount, std::vector<int> &counts,
               std::vector<uint32_t> &keys, std::vector<int> &local, GroupScratch &scratch)
{
    const uint32_t uMask = (1u << ranges.iBits) - 1;
    std::fill(counts.begin(), counts.end(), 0);
    keys.resize((size_t)iCount);
    local.resize((size_t)iCount);
    for (int i = 0; i < iCount; i++) {
        keys[(size_t)i] = ranges.buckets.Of(lists, piFaces[i]) & uMask;
        counts[keys[(size_t)i] + 1]++;
    }
    for (size_t b = 1; b < counts.size(); b++) counts[b] += counts[b - 1];
    for (int i = 0; i < iCount; i++) local[(size_t)counts[keys[(size_t)i]]++] = piFaces[i];
    // counts[b] is now the end of bucket b, where bucket b + 1 begins.
    int iBegin = 0;
    for (size_t b = 0; b + 1 < counts.size(); b++) {
        int iEnd = counts[b];
        if (iEnd - iBegin > 1)
            HideBucketDuplicates(pIFS, lists, local.data() + iBegin, iEnd - iBegin, scratch);
        iBegin = iEnd;
    }
}

// The faces are ordered a group of ranges at a time, so that the order array
// holds a sixteenth of the candidates: each group costs one more pass over
// the two bytes a face of the ranges, which is cheaper than the memory an
// order of every face would add to the peak of a model's load.
const int kGroups = 16;

// The sort and the comparisons over every candidate; false when memory runs
// out.
bool HideByRanges(NKIndexedFaceSet *pIFS, SortedLists &lists, const FaceRanges &ranges)
{
    const uint16_t *puRange = ranges.puRange;
    const int iNumPoly = pIFS->iNumPolygons;
    const size_t nRanges = ranges.Count();
    std::vector<int> start(nRanges + 1, 0);
    for (int p = 0; p < iNumPoly; p++)
        if (puRange[p] != kNoRange) start[(size_t)puRange[p] + 1]++;
    for (size_t r = 1; r <= nRanges; r++) start[r] += start[r - 1];
    // Groups of whole ranges, each closed once it holds a share of the faces.
    const int iShare = ranges.iCandidates / kGroups + 1;
    std::vector<size_t> groupEnd;
    for (size_t r = 1; r <= nRanges; r++)
        if (r == nRanges || start[r] - start[groupEnd.empty() ? 0 : groupEnd.back()] >= iShare)
            groupEnd.push_back(r);
    int iLargest = 1;
    for (size_t g = 0, r0 = 0; g < groupEnd.size(); r0 = groupEnd[g++])
        iLargest = std::max(iLargest, start[groupEnd[g]] - start[r0]);
    int *piOrder = (int *)NKAlloc(sizeof(int) * (size_t)iLargest);
    if (piOrder == nullptr) return false;
    std::vector<int> next(nRanges);
    std::vector<int> counts(
        (size_t)std::min<uint64_t>(ranges.buckets.uCount, 1ull << ranges.iBits) + 1);
    std::vector<int> local;
    std::vector<uint32_t> keys;
    GroupScratch scratch;
    for (size_t g = 0, r0 = 0; g < groupEnd.size(); r0 = groupEnd[g++]) {
        size_t r1 = groupEnd[g];
        for (size_t r = r0; r < r1; r++) next[r] = start[r] - start[r0];
        for (int p = 0; p < iNumPoly; p++) {
            size_t r = puRange[p];
            if (r >= r0 && r < r1) piOrder[next[r]++] = p;
        }
        for (size_t r = r0; r < r1; r++) {
            int iCount = start[r + 1] - start[r];
            if (iCount > 1)
                HideRange(pIFS, lists, ranges, piOrder + (start[r] - start[r0]), iCount, counts,
                          keys, local, scratch);
        }
    }
    NKFree(piOrder);
    return true;
}

// The hiding itself, with or without the record's sorted copy.
bool HideFaces(NKIndexedFaceSet *pIFS, bool bSortedCopy)
{
    if (pIFS == nullptr) return NKDiagnostic("Null face set", "HideInternalFaces");
    if (pIFS->iNumPolygons < 1) return true;
    if (!HasPolygonArrays(pIFS)) return NKDiagnostic("Missing polygon arrays", "HideInternalFaces");
    for (int p = 0; p < pIFS->iNumPolygons; p++)
        if (!PolygonInRange(pIFS, p))
            return NKDiagnostic("Polygon outside the connectivity", "HideInternalFaces");
    if (!MakeFaceFlagArrays(pIFS, bSortedCopy))
        return NKDiagnostic("Error allocating memory", "HideInternalFaces");
    int iNumPoly = pIFS->iNumPolygons;
    if (pIFS->piSortedConnects != nullptr)
        for (int p = 0; p < iNumPoly; p++)
            if (pIFS->pbWholeElement[p] == 0)
                SortNodeList(pIFS->piSortedConnects + pIFS->piPolygonStart[p],
                             pIFS->piPolygonNumNodes[p]);
    SortedLists lists{pIFS, {}, {}};
    FaceRanges ranges;
    if (!MakeFaceRanges(pIFS, lists, &ranges) ||
        (ranges.iCandidates > 1 && !HideByRanges(pIFS, lists, ranges)))
        return NKDiagnostic("Error allocating memory", "HideInternalFaces");
    CountKeptPolygons(pIFS);
    return true;
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

bool HideInternalFaces(NKIndexedFaceSet *pIFS) { return HideFaces(pIFS, true); }

bool NKHideInternalFacesUnsorted(NKIndexedFaceSet *pIFS)
{
    if (pIFS != nullptr && pIFS->piSortedConnects != nullptr) {
        NKFree(pIFS->piSortedConnects);
        pIFS->piSortedConnects = nullptr;
    }
    return HideFaces(pIFS, false);
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
    // The compacted arrays replace the old ones, which are freed.
    NKFree(std::exchange(pIFS->pfCoords, pfCoords));
    NKFree(std::exchange(pIFS->piNodeSourceIndex, piSource));
    NKFree(std::exchange(pIFS->piNodeIDs, piIDs));
    NKFree(std::exchange(pIFS->piConnects, piLocal));
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
    if (piIDs == nullptr || piConnects == nullptr || iNumIds < 1 || iLength < 1) return false;
    // Ascending IDs without gaps (1 to n, as most files number their nodes)
    // are their index plus the first ID.
    const bool bRun = piOrder == nullptr && (int64_t)piIDs[iNumIds - 1] - piIDs[0] == iNumIds - 1;
    for (int k = 0; k < iLength; k++) {
        int iPos;
        if (bRun) {
            int64_t iAt = (int64_t)piConnects[k] - piIDs[0];
            iPos = iAt >= 0 && iAt < iNumIds ? (int)iAt : -1;
        } else if (piOrder == nullptr) {
            iPos = NKBinarySearchInt(piIDs, piConnects[k], 0, iNumIds - 1, nullptr);
        } else {
            iPos = NKBinarySearchIntIndexed(piIDs, piOrder, piConnects[k], 0, iNumIds - 1, nullptr);
        }
        if (iPos < 0) {
            std::string text =
                "Refers to node with user defined ID = " + std::to_string(piConnects[k]) +
                ". No such ID exists.";
            NKPrintError(text.c_str());
            return false;
        }
        piConnects[k] = piOrder != nullptr ? piOrder[iPos] : iPos;
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
