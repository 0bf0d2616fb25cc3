// core/nk_edges.cpp -- the edge kinds of polygon edge slots. See nk_edges.h.
#include "core/nk_edges.h"

#include <cstdlib>
#include <vector>

#include "core/nk_data_source_kind.h"
#include "core/nk_diagnostic.h"
#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_math.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_progress.h"
#include "core/nk_sort.h"
#include "core/nk_text_utils.h"

namespace {

// Packed polygon normals are read back with one factor for both signs.
const float kNormalUnpackFactor = 0.007874016f;
const float kDefaultEdgeAngle = 0.5235988f;

float EdgeAngle(void)
{
    return g_pGraphicsSettings ? g_pGraphicsSettings->fOutlineCreaseAngle : kDefaultEdgeAngle;
}

// The angle between the packed normals of two polygons; 0 when the part has
// no polygon normals, so that such edges count as smooth.
double PolygonAngle(const NKPart *pPart, int p, int q)
{
    if (pPart->pPolygonNormals == nullptr) return 0.0;
    float a[3], b[3];
    for (int i = 0; i < 3; i++) {
        a[i] = pPart->pPolygonNormals[3 * p + i] * kNormalUnpackFactor;
        b[i] = pPart->pPolygonNormals[3 * q + i] * kNormalUnpackFactor;
    }
    return NKVec3Angle(a, b, false);
}

bool SamePair(const NKEdgeRecord &a, const NKEdgeRecord &b)
{
    return a.iFirst == b.iFirst && a.iSecond == b.iSecond;
}

// Orders the slots by node pair, the smallest selected first each time.
void SelectionSortSlots(std::vector<int> &slots, const NKEdgeRecord *pEdges)
{
    for (size_t i = 0; i + 1 < slots.size(); i++) {
        size_t m = i;
        for (size_t j = i + 1; j < slots.size(); j++)
            if (NKCompareEdges(slots[m], slots[j], pEdges)) m = j;
        std::swap(slots[i], slots[m]);
    }
}

// Kinds of a bucket with more than two slots: each run of equal node pairs
// is classified once, by the smallest angle between consecutive polygons.
void ClassifyLargeBucket(std::vector<int> &slots, const NKEdgeRecord *pEdges, const NKPart *pPart,
                         uint8_t *puKinds)
{
    SelectionSortSlots(slots, pEdges);
    size_t i = 0;
    while (i < slots.size()) {
        size_t j = i + 1;
        double fMinAngle = 1e30;
        while (j < slots.size() && SamePair(pEdges[slots[i]], pEdges[slots[j]])) {
            double f =
                PolygonAngle(pPart, pEdges[slots[j - 1]].iPolygon, pEdges[slots[j]].iPolygon);
            if (f < fMinAngle) fMinAngle = f;
            j++;
        }
        if (j - i == 1)
            puKinds[slots[i]] = NK_EDGE_FEATURE;
        else
            puKinds[slots[i]] = fMinAngle < EdgeAngle() ? NK_EDGE_SMOOTH : NK_EDGE_FEATURE;
        i = j;
    }
}

// Which polygons a pass handles: every one without visibility bytes,
// otherwise those whose byte is the pass's level code.
bool PolygonInPass(const uint8_t *puVisibility, int p, int iLevel)
{
    return puVisibility == nullptr || puVisibility[p] == iLevel * 4;
}

// The highest level of detail used by a part's visibility bytes.
int HighestLevel(const uint8_t *puVisibility, int iNumPolygons)
{
    int iMax = 0;
    if (puVisibility == nullptr) return 0;
    for (int p = 0; p < iNumPolygons; p++)
        if (puVisibility[p] > iMax) iMax = puVisibility[p];
    return iMax >> 2;
}

// A part's layout must cover its polygons within its slot count.
bool PartLayoutValid(const NKPart *pPart)
{
    if (pPart->pConnects == nullptr || pPart->pPolygonNumNodes == nullptr) return false;
    long long iTotal = 0;
    for (int p = 0; p < pPart->iNumPolygons; p++) {
        int k = pPart->pPolygonNumNodes[p];
        if (k < 0) return false;
        iTotal += k;
    }
    return iTotal <= pPart->iNumConnects;
}

// Hashes the edges of the pass's polygons and classifies every bucket.
void RunLevelPass(const NKPart *pPart, const uint8_t *puVisibility, int iLevel,
                  NKEdgeRecord *pEdges, uint8_t *puKinds)
{
    int iSlots = pPart->iNumConnects;
    bool bGlobalNodes =
        NKGetInterfaceType() == NK_INTERFACE_RESERVOIR && pPart->pNodeIDs && pPart->pNodeMap;
    NKBucketListClear();
    int s = 0;
    for (int p = 0; p < pPart->iNumPolygons; p++) {
        int k = pPart->pPolygonNumNodes[p];
        const int *piRing = pPart->pConnects + s;
        if (PolygonInPass(puVisibility, p, iLevel)) {
            for (int c = 0; c < k; c++) {
                int a = piRing[c], b = piRing[(c + 1) % k];
                if (bGlobalNodes && a >= 0 && b >= 0 && a < pPart->iNumNodes &&
                    b < pPart->iNumNodes) {
                    a = pPart->pNodeMap[a];
                    b = pPart->pNodeMap[b];
                }
                if (a > b) std::swap(a, b);
                pEdges[s + c] = NKEdgeRecord{p, a, b, 0};
                NKBucketListAdd(NKEdgeHash(a, b, iSlots), s + c);
            }
        }
        s += k;
    }
    for (int key = 0; key < iSlots; key++) {
        const NKBucketEntry *pHead = NKBucketListHead(key);
        if (pHead != nullptr) NKClassifyEdgesInBucket(pEdges, pHead, pPart, puKinds);
    }
}

}  // namespace

int NKEdgeHash(int a, int b, int iSize)
{
    if (iSize < 1) return 0;
    long long h = (long long)a * 729 + (long long)b * 13;
    if (h < 0) h = -h;
    return (int)(h % iSize);
}

bool NKCompareEdges(int a, int b, const NKEdgeRecord *pEdges)
{
    const NKEdgeRecord &ea = pEdges[a];
    const NKEdgeRecord &eb = pEdges[b];
    if (ea.iFirst != eb.iFirst) return ea.iFirst > eb.iFirst;
    return ea.iSecond > eb.iSecond;
}

void NKClassifyEdgesInBucket(const NKEdgeRecord *pEdges, const NKBucketEntry *pBucket,
                             const NKPart *pPart, uint8_t *puKinds)
{
    if (pEdges == nullptr || pBucket == nullptr || pPart == nullptr || puKinds == nullptr) return;
    std::vector<int> slots;
    for (const NKBucketEntry *p = pBucket; p != nullptr; p = p->pNext) slots.push_back(p->iValue);
    if (slots.size() == 1) {
        puKinds[slots[0]] = NK_EDGE_FEATURE;
    } else if (slots.size() == 2) {
        const NKEdgeRecord &a = pEdges[slots[0]];
        const NKEdgeRecord &b = pEdges[slots[1]];
        if (SamePair(a, b)) {
            bool bSmooth = PolygonAngle(pPart, a.iPolygon, b.iPolygon) < EdgeAngle();
            puKinds[slots[0]] = bSmooth ? NK_EDGE_SMOOTH : NK_EDGE_FEATURE;
        } else {
            puKinds[slots[0]] = NK_EDGE_FEATURE;
            puKinds[slots[1]] = NK_EDGE_FEATURE;
        }
    } else {
        ClassifyLargeBucket(slots, pEdges, pPart, puKinds);
    }
}

bool NKFindEdgesOnePart(int iPart, NKGeometry *pGeo, NKFrame *pFrame, NKEdgeRecord *pEdges)
{
    if (pGeo == nullptr || pEdges == nullptr || iPart < 0 || iPart >= pGeo->iNumParts)
        return NKDiagnostic("Bad arguments", "NKFindEdgesOnePart");
    NKPart *pPart = &pGeo->pParts[iPart];
    int iSlots = pPart->iNumConnects;
    if (iSlots < 1) return true;
    if (!PartLayoutValid(pPart))
        return NKDiagnostic("Polygon layout missing", "NKFindEdgesOnePart");
    auto *puKinds = static_cast<uint8_t *>(NKCalloc((size_t)iSlots, 1));
    if (puKinds == nullptr)
        return NKDiagnostic("Error allocating edge kinds", "NKFindEdgesOnePart");
    const uint8_t *puVisibility = nullptr;
    if (pFrame != nullptr && pFrame->ppVisibility != nullptr)
        puVisibility = pFrame->ppVisibility[iPart];
    int iLevels = HighestLevel(puVisibility, pPart->iNumPolygons);
    for (int l = 0; l <= iLevels; l++) RunLevelPass(pPart, puVisibility, l, pEdges, puKinds);
    NKFree(pPart->pEdgeKinds);
    pPart->pEdgeKinds = puKinds;
    pPart->iNumEdgeSlots = iSlots;
    return true;
}

bool NKFindEdges(NKGeometry *pGeo, NKFrame *pFrame)
{
    if (pGeo == nullptr) return NKDiagnostic("Null geometry", "NKFindEdges");
    int n = 0;
    for (int i = 0; i < pGeo->iNumParts; i++)
        if (pGeo->pParts[i].iNumConnects > n) n = pGeo->pParts[i].iNumConnects;
    if (n < 1) return true;
    auto *pEdges = static_cast<NKEdgeRecord *>(NKAlloc((size_t)n * sizeof(NKEdgeRecord)));
    if (pEdges == nullptr || !NKBucketListInit(n, n)) {
        NKFree(pEdges);
        return NKDiagnostic("Error allocating edge records", "NKFindEdges");
    }
    NKProgressPercent progress(0, pGeo->iNumParts, 10);
    bool bOk = true;
    for (int i = 0; i < pGeo->iNumParts && bOk; i++) {
        if (progress.Update((float)i)) NKSetStatusText(progress.Format("Computing edges"));
        bOk = NKFindEdgesOnePart(i, pGeo, pFrame, pEdges);
    }
    NKFree(pEdges);
    NKBucketListFree();
    return bOk;
}

bool NKFindEdgesAllFrames(void)
{
    NKResetGeometryMarks();
    if (g_pModel == nullptr || g_pModel->pFrames == nullptr) return true;
    for (int f = 0; f < g_pModel->iNumFrames; f++) {
        NKFrame *pFrame = &g_pModel->pFrames[f];
        NKGeometry *pGeo = pFrame->pGeometry;
        if (pGeo == nullptr || pGeo->iProcessed != -1) continue;
        pGeo->iProcessed = f;
        NKFindEdges(pGeo, pFrame);
    }
    return true;
}

int NKFindAdjacentPolygon(const NKPart *pPart, int iPolygon, int iCornerA, int iCornerB)
{
    if (pPart == nullptr || pPart->pConnects == nullptr || pPart->pPolygonNumNodes == nullptr ||
        pPart->pPolygonStart == nullptr || iPolygon < 0 || iPolygon >= pPart->iNumPolygons)
        return -1;
    int k = pPart->pPolygonNumNodes[iPolygon];
    if (iCornerA < 0 || iCornerA >= k || iCornerB < 0 || iCornerB >= k) return -1;
    const int *piRing = pPart->pConnects + pPart->pPolygonStart[iPolygon];
    int a = piRing[iCornerA], b = piRing[iCornerB];
    int n = pPart->iNumPolygons;
    for (int d = 1; iPolygon - d >= 0 || iPolygon + d < n; d++) {
        int q = iPolygon - d;
        for (int side = 0; side < 2; side++, q = iPolygon + d) {
            if (q < 0 || q >= n) continue;
            const int *piOther = pPart->pConnects + pPart->pPolygonStart[q];
            if (NKFindEdgeInRing(a, b, piOther, pPart->pPolygonNumNodes[q]) >= 0) return q;
        }
    }
    return -1;
}
