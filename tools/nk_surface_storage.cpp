// tools/nk_surface_storage.cpp -- freeing the frames' cut and iso-surfaces,
// and the boundary edges of a cut surface (see nk_surface_storage.h).
#include "tools/nk_surface_storage.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/nk_diagnostic.h"
#include "core/nk_memory.h"
#include "core/nk_mesh.h"
#include "core/nk_model.h"
#include "core/nk_sort.h"
#include "tools/nk_cut_surface.h"

namespace {

// Calls fn on frame iFrame, or on every frame for a negative index; an index
// past the frames does nothing.
template <typename Fn>
void ForFrames(int iFrame, Fn fn)
{
    if (g_pModel == nullptr || g_pModel->pFrames == nullptr) return;
    int iFirst = iFrame < 0 ? 0 : iFrame;
    int iLast = iFrame < 0 ? g_pModel->iNumFrames - 1 : iFrame;
    for (int f = iFirst; f <= iLast && f < g_pModel->iNumFrames; f++) fn(&g_pModel->pFrames[f]);
}

void FreeCutSlots(NKFrame *pFrame, int iPlane)
{
    int iFirst = iPlane < 0 ? 0 : iPlane;
    int iLast = iPlane < 0 ? NK_MAX_CUT_SURFACES - 1 : iPlane;
    for (int k = iFirst; k <= iLast && k < NK_MAX_CUT_SURFACES; k++) {
        NKReleaseCutSurfaceObject(pFrame->pCutSurfaces[k]);
        pFrame->pCutSurfaces[k] = nullptr;
    }
}

}  // namespace

bool NKFreeCutSurfaceSlots(int iPlane, int iFrame)
{
    ForFrames(iFrame, [iPlane](NKFrame *pFrame) { FreeCutSlots(pFrame, iPlane); });
    return true;
}

bool NKFreeIsoSurfaceRecords(int iFrame)
{
    ForFrames(iFrame, NKFreeFrameIsoSurfaceRecords);
    return true;
}

void NKFreeFrameIsoSurfaceRecords(NKFrame *pFrame)
{
    if (pFrame == nullptr) return;
    delete[] pFrame->pIsoSurfaces;
    pFrame->pIsoSurfaces = nullptr;
    pFrame->iNumIsoSurfaces = 0;
}

void NKFreeFramesDerivedSurfaces(NKFrame *pFrames, int iCount)
{
    if (pFrames == nullptr) return;
    for (int f = 0; f < iCount; f++) {
        FreeCutSlots(&pFrames[f], -1);
        pFrames[f].iNumCutSurfaces = 0;
        NKFreeFrameIsoSurfaceRecords(&pFrames[f]);
    }
}

// ---------------------------------------------------------------------------
// Boundary edges

namespace {

struct EdgeRecord {
    int iPolygon;
    int iSmall;
    int iLarge;
};

bool SameEdge(const EdgeRecord &a, const EdgeRecord &b)
{
    return a.iSmall == b.iSmall && a.iLarge == b.iLarge;
}

// The bucket of an edge. Unsigned 64-bit arithmetic: the products of node
// indices past a few million would overflow 32 bits and land before bucket 0.
int EdgeHash(int iSmall, int iLarge, int iBuckets)
{
    uint64_t h = (uint64_t)(uint32_t)iSmall * 729u + (uint64_t)(uint32_t)iLarge * 13u;
    return (int)(h % (uint64_t)iBuckets);
}

// Marks the edges of one bucket. Its positions come newest first; a stable
// sort by node pair keeps that order among equal edges, so the walk pairs the
// newest two and leaves the oldest of three a boundary edge.
void ResolveBucket(std::vector<int> &positions, const EdgeRecord *pEdges, uint8_t *pbType)
{
    if (positions.size() == 1) {
        pbType[positions[0]] = 1;
        return;
    }
    std::stable_sort(positions.begin(), positions.end(), [pEdges](int a, int b) {
        const EdgeRecord &x = pEdges[a], &y = pEdges[b];
        return x.iSmall != y.iSmall ? x.iSmall < y.iSmall : x.iLarge < y.iLarge;
    });
    size_t i = 0;
    while (i < positions.size()) {
        if (i + 1 < positions.size() && SameEdge(pEdges[positions[i]], pEdges[positions[i + 1]])) {
            i += 2;  // a pair: both stay 0
        } else {
            pbType[positions[i]] = 1;
            i++;
        }
    }
}

// Stores each polygon edge at its position and enters it into its bucket.
// False when the counts do not fill the connectivity exactly.
bool EnterEdges(const int *piConnects, const int *piCounts, int iNumPolygons, int iLength,
                EdgeRecord *pEdges)
{
    int iPos = 0;
    for (int p = 0; p < iNumPolygons; p++) {
        int n = piCounts[p];
        if (n < 0 || n > iLength - iPos) return false;
        for (int k = 0; k < n; k++) {
            int a = piConnects[iPos + k], b = piConnects[iPos + (k + 1) % n];
            EdgeRecord &e = pEdges[iPos + k];
            e.iPolygon = p;
            e.iSmall = std::min(a, b);
            e.iLarge = std::max(a, b);
            NKBucketListAdd(EdgeHash(e.iSmall, e.iLarge, iLength), iPos + k);
        }
        iPos += n;
    }
    return iPos == iLength;
}

}  // namespace

uint8_t *NKFindEdgesInCutplane(const int *piConnects, const int *piPolygonNumNodes,
                               int iNumPolygons, int iConnectLength)
{
    if (iConnectLength < 1 || piConnects == nullptr || piPolygonNumNodes == nullptr) return nullptr;
    const char *pszWhere = "NKFindEdgesInCutplane()";
    if (!NKBucketListInit(iConnectLength, iConnectLength)) {
        NKDiagnostic("Error initiating hashing.", pszWhere);
        return nullptr;
    }
    EdgeRecord *pEdges =
        static_cast<EdgeRecord *>(NKAlloc(sizeof(EdgeRecord) * (size_t)iConnectLength));
    uint8_t *pbType =
        pEdges != nullptr ? static_cast<uint8_t *>(NKCalloc(iConnectLength, 1)) : nullptr;
    if (pEdges == nullptr) NKDiagnostic("Error allocating memory for edges.", pszWhere);
    if (pEdges != nullptr && pbType == nullptr)
        NKDiagnostic("Error allocating memory for pcEdgeType.", pszWhere);
    bool bOk = pbType != nullptr &&
               EnterEdges(piConnects, piPolygonNumNodes, iNumPolygons, iConnectLength, pEdges);
    std::vector<int> positions;
    for (int h = 0; bOk && h < iConnectLength; h++) {
        positions.clear();
        for (const NKBucketEntry *p = NKBucketListHead(h); p != nullptr; p = p->pNext)
            positions.push_back(p->iValue);
        if (!positions.empty()) ResolveBucket(positions, pEdges, pbType);
    }
    NKFree(pEdges);
    NKBucketListFree();
    if (!bOk) {
        NKFree(pbType);
        return nullptr;
    }
    return pbType;
}

void NKUpdateCutSurfaceEdges(CutSurface *pCut)
{
    if (pCut == nullptr) return;
    for (int i = 0; i < pCut->iNumParts && pCut->pParts != nullptr; i++) {
        NKIndexedFaceSet *m = &pCut->pParts[i].mesh;
        if (m->iNumNodes < 1 || m->iNumPolygons < 1 || m->pbEdgeType != nullptr ||
            m->piConnects == nullptr || m->iConnectLength < 1)
            continue;
        int *piCopy = static_cast<int *>(NKAlloc(sizeof(int) * (size_t)m->iConnectLength));
        if (piCopy == nullptr) continue;
        std::memcpy(piCopy, m->piConnects, sizeof(int) * (size_t)m->iConnectLength);
        if (NKMergeCoincidentNodes(piCopy, m->iConnectLength,
                                   reinterpret_cast<float(*)[3]>(m->pfCoords), m->iNumNodes))
            m->pbEdgeType = NKFindEdgesInCutplane(piCopy, m->piPolygonNumNodes, m->iNumPolygons,
                                                  m->iConnectLength);
        NKFree(piCopy);
    }
    pCut->bEdgesFound = 1;
}
