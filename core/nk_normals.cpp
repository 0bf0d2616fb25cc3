// core/nk_normals.cpp -- packed polygon and node normals (see nk_normals.h).
//
// One routine computes the normals of a polygon layout over a coordinate
// array; the geometry uses it with the parts' own coordinates and visibility
// bytes, the vector results with their displaced positions. Polygon normals
// come from NKComputePolygonNormal (nk_ray.h); a polygon whose node indices
// leave the coordinate array gets (0, 0, 1) and bends no node normal. The
// smoothing angle is read from the graphics settings.
#include "core/nk_normals.h"

#include <unordered_map>

#include "core/nk_diagnostic.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_math.h"
#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_numeric.h"
#include "core/nk_part_arrays.h"
#include "core/nk_ray.h"
#include "core/nk_references.h"

namespace {

bool NodesInRange(const int *piNodes, int n, int iNumCoords)
{
    for (int j = 0; j < n; j++) {
        if (piNodes[j] < 0 || piNodes[j] >= iNumCoords) return false;
    }
    return true;
}

// Gathers one polygon normal into a node's accumulator: the first normal is
// taken as it is; a later one is added while it lies within the smoothing
// angle of the sum, and otherwise makes the node undefined for good.
void Accumulate(float *a, const float *n, double dCrease)
{
    if (NKIsUndefined(a[0])) return;
    if (NKVec3IsZero(a)) {
        NKVec3Copy(a, n);
    } else if (NKVec3Angle(n, a, false) < dCrease) {
        NKVec3AddTo(a, n);
    } else {
        a[0] = NK_UNDEFINED_VALUE;
    }
}

// The packed normals of a polygon layout over pfCoords (iNumCoords nodes).
// With pVisibility, a polygon whose byte differs from uFlag bends no node.
// pNodeOut holds iNumCoords normals, pPolygonOut one per polygon.
bool ComputePackedNormals(const NKPart &part, const float *pfCoords, int iNumCoords,
                          const uint8_t *pVisibility, uint8_t uFlag, int8_t *pNodeOut,
                          int8_t *pPolygonOut)
{
    float *pfSum =
        static_cast<float *>(NKCalloc(static_cast<size_t>(iNumCoords) * 3, sizeof(float)));
    if (pfSum == nullptr) return false;
    double dCrease = NKGetSmoothNormalAngle();
    for (int k = 0; k < part.iNumPolygons; k++) {
        const int *piNodes = nullptr;
        int iCount = 0;
        float afNormal[3] = {0.0f, 0.0f, 1.0f};
        bool bUsable = NKGetPartPolygon(part, k, &piNodes, &iCount) &&
                       NodesInRange(piNodes, iCount, iNumCoords);
        if (bUsable) NKComputePolygonNormal(piNodes, iCount, pfCoords, afNormal);
        NKPackNormal(afNormal, &pPolygonOut[3 * k]);
        if (!bUsable || (pVisibility != nullptr && pVisibility[k] != uFlag)) continue;
        for (int j = 0; j < iCount; j++) Accumulate(&pfSum[3 * piNodes[j]], afNormal, dCrease);
    }
    for (int i = 0; i < iNumCoords; i++) {
        float *a = &pfSum[3 * i];
        // A node no polygon reached keeps a zero normal.
        if (!NKIsUndefined(a[0]) && !NKVec3IsZero(a)) NKVec3Normalize(a);
    }
    NKPackNormals(pNodeOut, pfSum, iNumCoords);
    NKFree(pfSum);
    return true;
}

// *ppArray made (zero-filled, n packed normals) when missing; false when that
// fails.
bool EnsureNormalArray(int8_t **ppArray, int n)
{
    if (*ppArray != nullptr || n < 1) return true;
    *ppArray = static_cast<int8_t *>(NKCalloc(static_cast<size_t>(n), 3));
    return *ppArray != nullptr;
}

bool FailAllocation(void)
{
    NKPrintError("Error allocating memory.");
    return false;
}

}  // namespace

bool NKPackNormals(int8_t *pPacked, const float *pfNormals, int n)
{
    if (pPacked == nullptr || pfNormals == nullptr) return false;
    for (int i = 0; i < n; i++) {
        if (NKIsUndefined(pfNormals[3 * i])) {
            pPacked[3 * i] = pPacked[3 * i + 1] = pPacked[3 * i + 2] = NK_UNDEFINED_NORMAL_BYTE;
        } else {
            NKPackNormal(&pfNormals[3 * i], reinterpret_cast<signed char *>(&pPacked[3 * i]));
        }
    }
    return true;
}

bool NKIsUndefinedNormal(const int8_t *pPacked)
{
    return pPacked != nullptr && pPacked[0] == NK_UNDEFINED_NORMAL_BYTE &&
           pPacked[1] == NK_UNDEFINED_NORMAL_BYTE && pPacked[2] == NK_UNDEFINED_NORMAL_BYTE;
}

bool NKComputeGeometryNormals(NKGeometry *pGeo, NKFrame *pFrame, uint8_t uFlagValue)
{
    if (pGeo == nullptr) return NKDiagnostic("Null geometry", "NKComputeGeometryNormals");
    for (int i = 0; i < pGeo->iNumParts && pGeo->pParts != nullptr; i++) {
        NKPart *pPart = &pGeo->pParts[i];
        if (pPart->iNumPolygons < 1 || pPart->pNodeCoords == nullptr || pPart->iNumNodes < 1)
            continue;
        if (!EnsureNormalArray(&pPart->pNodeNormals, pPart->iNumNodes) ||
            !EnsureNormalArray(&pPart->pPolygonNormals, pPart->iNumPolygons))
            return FailAllocation();
        const uint8_t *pVisibility = NKGetPartVisibility(pFrame, i);
        if (!ComputePackedNormals(*pPart, pPart->pNodeCoords, pPart->iNumNodes, pVisibility,
                                  uFlagValue, pPart->pNodeNormals, pPart->pPolygonNormals))
            return FailAllocation();
    }
    return true;
}

namespace {

// The entry's normal arrays sized for its node count and the part's polygon
// count; arrays of another size are made anew.
bool PrepareEntryNormals(NKVectorPartEntry *pEntry, const NKPart &part)
{
    if (pEntry->iNumPolygons != part.iNumPolygons) {
        NKFree(pEntry->pPolygonNormals);
        pEntry->pPolygonNormals = nullptr;
        NKFree(pEntry->pPolygonValues);  // per-polygon values of another layout
        pEntry->pPolygonValues = nullptr;
        pEntry->iNumPolygons = part.iNumPolygons;
    }
    return EnsureNormalArray(&pEntry->pNodeNormals, pEntry->iNumNodes) &&
           EnsureNormalArray(&pEntry->pPolygonNormals, pEntry->iNumPolygons);
}

}  // namespace

// An entry with fewer positions than its part has nodes is passed over: its
// polygons would index past the positions.
bool NKComputeVectorResultNormals(NKGeometry *pGeo, NKVectorResult *pVector)
{
    if (pGeo == nullptr || pVector == nullptr)
        return NKDiagnostic("Null argument", "NKComputeVectorResultNormals");
    int n = pGeo->iNumParts < pVector->iNumParts ? pGeo->iNumParts : pVector->iNumParts;
    for (int i = 0; i < n && pGeo->pParts != nullptr && pVector->pResults != nullptr; i++) {
        const NKPart &part = pGeo->pParts[i];
        NKVectorPartEntry *pEntry = &pVector->pResults[i];
        if (pEntry->pNodeValues == nullptr || pEntry->iNumNodes < part.iNumNodes ||
            part.iNumPolygons < 1)
            continue;
        if (!PrepareEntryNormals(pEntry, part)) return FailAllocation();
        if (!ComputePackedNormals(part, pEntry->pNodeValues, pEntry->iNumNodes, nullptr, 0,
                                  pEntry->pNodeNormals, pEntry->pPolygonNormals))
            return FailAllocation();
    }
    return true;
}

// The direction test needs only the sign of the dot product, which
// normalising does not change. Negating -128 would overflow a signed byte;
// it becomes 127, the nearest flipped value.
void NKOrientPartNormalsOutward(NKPart *pPart)
{
    if (pPart == nullptr || pPart->pNodeCoords == nullptr || pPart->pNodeNormals == nullptr) return;
    for (int i = 0; i < pPart->iNumNodes; i++) {
        int8_t *pPacked = &pPart->pNodeNormals[3 * i];
        if (NKIsUndefinedNormal(pPacked)) continue;
        float afOutward[3], afNormal[3];
        NKVec3Difference(&pPart->pNodeCoords[3 * i], pPart->fCentroid, afOutward);
        NKUnpackNormal(afNormal, reinterpret_cast<const signed char *>(pPacked));
        if (NKVec3Dot(afOutward, afNormal) >= 0.0) continue;
        for (int k = 0; k < 3; k++)
            pPacked[k] = pPacked[k] == -128 ? 127 : static_cast<int8_t>(-pPacked[k]);
    }
}

// ---- Smoothing across parts --------------------------------------------------------

void NKNodeOccurrenceList::Reset()
{
    for (auto &pair : aiPairs) pair[0] = pair[1] = -1;
}

void NKNodeOccurrenceList::Add(int iPart, int iNode)
{
    for (auto &pair : aiPairs) {
        if (pair[0] != -1) continue;
        pair[0] = iPart;
        pair[1] = iNode;
        return;
    }
}

int NKNodeOccurrenceList::Count() const
{
    int n = 0;
    for (const auto &pair : aiPairs) {
        if (pair[0] != -1) n++;
    }
    return n;
}

namespace {

// Gives every node of the list the mean of their defined normals; nothing
// when none of them is defined.
void AverageListNormals(NKGeometry *pGeo, const NKNodeOccurrenceList &list)
{
    int n = list.Count();
    int aiSum[3] = {0, 0, 0}, iSummed = 0;
    for (int e = 0; e < n; e++) {
        const int8_t *pNormal =
            &pGeo->pParts[list.aiPairs[e][0]].pNodeNormals[3 * list.aiPairs[e][1]];
        if (NKIsUndefinedNormal(pNormal)) continue;
        for (int k = 0; k < 3; k++) aiSum[k] += pNormal[k];
        iSummed++;
    }
    if (iSummed == 0) return;
    for (int e = 0; e < n; e++) {
        int8_t *pNormal = &pGeo->pParts[list.aiPairs[e][0]].pNodeNormals[3 * list.aiPairs[e][1]];
        for (int k = 0; k < 3; k++) pNormal[k] = static_cast<int8_t>(aiSum[k] / iSummed);
    }
}

}  // namespace

// The lists are kept in a map by node ID, so IDs of any size or sign cost
// only the nodes that carry them.
bool NKSmoothNormalsAcrossParts(NKGeometry *pGeo, int iFirst, int iLast)
{
    if (pGeo == nullptr || pGeo->pParts == nullptr || pGeo->iNumParts < 1) return false;
    int iMinID = 0, iMaxID = 0;
    if (!NKGetNodeIdRange(pGeo, &iMinID, &iMaxID)) return false;
    if (iFirst < 0) iFirst = 0;
    if (iLast < 0 || iLast >= pGeo->iNumParts) iLast = pGeo->iNumParts - 1;
    std::unordered_map<int, NKNodeOccurrenceList> lists;
    for (int p = iFirst; p <= iLast; p++) {
        const NKPart &part = pGeo->pParts[p];
        if (part.pNodeIDs == nullptr || part.pNodeNormals == nullptr) continue;
        for (int i = 0; i < part.iNumNodes; i++) lists[part.pNodeIDs[i]].Add(p, i);
    }
    for (const auto &entry : lists) {
        if (entry.second.Count() >= 2) AverageListNormals(pGeo, entry.second);
    }
    return true;
}

bool NKComputeNormalsAllFrames(void)
{
    if (g_pModel == nullptr || g_pModel->pFrames == nullptr)
        return NKDiagnostic("No frames", "NKComputeNormalsAllFrames");
    NKResetGeometryMarks();
    NKResetVectorMarks();
    for (int i = 0; i < g_pModel->iNumFrames; i++) {
        NKFrame *pFrame = &g_pModel->pFrames[i];
        NKGeometry *pGeo = pFrame->pGeometry;
        if (pGeo == nullptr)
            return NKDiagnostic("Frame without geometry", "NKComputeNormalsAllFrames");
        if (pGeo->iProcessed == -1) {
            pGeo->iProcessed = i;
            if (!NKComputeGeometryNormals(pGeo, pFrame, 0)) return false;
        }
        NKVectorResult *pVector = pFrame->pVector;
        if (pVector != nullptr && !pVector->bProcessed) {
            pVector->bProcessed = 1;
            if (!NKComputeVectorResultNormals(pGeo, pVector)) return false;
        }
    }
    return true;
}
