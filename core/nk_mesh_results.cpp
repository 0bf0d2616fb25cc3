// core/nk_mesh_results.cpp -- scalar and vector results picked out of global
// value arrays through the parts' node maps and element records, and the
// geometry's polygon map. Declared in nk_mesh.h.
//
// Readers that deliver one value per global node (or element) build the
// per-part result entries here; a value whose global index is out of range is
// the undefined value, and a part whose values are all undefined gets an
// empty entry so that it is drawn without fringes.
#include "core/nk_mesh.h"

#include <cstring>

#include "core/nk_diagnostic.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_numeric.h"

namespace {

// Fills a scalar entry of iCount values from pfValues[index(i)]; the entry is
// emptied when no value is defined. False on allocation failure.
template <typename IndexOf>
bool FillScalarEntry(NKScalarPartEntry &entry, int iCount, const float *pfValues, int iNumValues,
                     IndexOf indexOf)
{
    if (iCount < 1) return true;
    entry.pNodeValues = (float *)NKAlloc(sizeof(float) * (size_t)iCount);
    if (entry.pNodeValues == nullptr) return false;
    entry.iCount = iCount;
    bool bAnyDefined = false;
    for (int i = 0; i < iCount; i++) {
        int g = indexOf(i);
        bool bIn = g >= 0 && g < iNumValues;
        entry.pNodeValues[i] = bIn ? pfValues[g] : NK_UNDEFINED_VALUE;
        bAnyDefined = bAnyDefined || !NKIsUndefined(entry.pNodeValues[i]);
    }
    if (!bAnyDefined) {
        NKFree(entry.pNodeValues);
        entry.pNodeValues = nullptr;
        entry.iCount = 0;
    }
    return true;
}

NKScalarPartEntry *AllocScalarEntries(int n)
{
    if (n < 1) return nullptr;
    auto *pEntries = (NKScalarPartEntry *)NKAlloc(sizeof(NKScalarPartEntry) * (size_t)n);
    for (int i = 0; pEntries && i < n; i++) NKInitScalarPartEntry(&pEntries[i]);
    return pEntries;
}

bool FillNodeEntries(NKScalarResult *pResult, const float *pfValues, int iNumValues,
                     const NKGeometry *pGeo)
{
    for (int p = 0; p < pGeo->iNumParts; p++) {
        const NKPart &part = pGeo->pParts[p];
        const int *piMap = part.pNodeMap;
        auto indexOf = [piMap](int i) { return piMap ? piMap[i] : -1; };
        if (piMap == nullptr) continue;
        if (!FillScalarEntry(pResult->pNodeResults[p], part.iNumNodes, pfValues, iNumValues,
                             indexOf))
            return false;
    }
    return true;
}

bool FillElementEntries(NKScalarResult *pResult, const float *pfValues, int iNumValues,
                        const NKGeometry *pGeo)
{
    for (int p = 0; p < pGeo->iNumParts; p++) {
        const NKPart &part = pGeo->pParts[p];
        if (part.pElements == nullptr) continue;
        const NKElement *pElems = part.pElements;
        auto indexOf = [pElems](int k) { return pElems[k].iGlobalIndex; };
        if (!FillScalarEntry(pResult->pElementResults[p], part.iNumElements, pfValues, iNumValues,
                             indexOf))
            return false;
    }
    return true;
}

}  // namespace

NKScalarResult *NKCreateScalarResultFromArrays(const float *pfNodeValues, int iNumNodes,
                                               const float *pfElemValues, int iNumElems,
                                               NKGeometry *pGeo)
{
    static const char *pszFn = "NKCreateScalarResultFromArrays";
    if (pfNodeValues == nullptr || pGeo == nullptr || (pGeo->iNumParts > 0 && !pGeo->pParts)) {
        NKDiagnostic("Null values or geometry", pszFn);
        return nullptr;
    }
    NKScalarResult *pResult = NKCreateScalarResult();
    if (pResult == nullptr) return nullptr;
    pResult->iNumParts = pGeo->iNumParts;
    bool bOk = true;
    if (pGeo->iNumParts > 0) {
        pResult->pNodeResults = AllocScalarEntries(pGeo->iNumParts);
        bOk = pResult->pNodeResults != nullptr &&
              FillNodeEntries(pResult, pfNodeValues, iNumNodes, pGeo);
        if (bOk && pfElemValues != nullptr && iNumElems > 0) {
            pResult->pElementResults = AllocScalarEntries(pGeo->iNumParts);
            bOk = pResult->pElementResults != nullptr &&
                  FillElementEntries(pResult, pfElemValues, iNumElems, pGeo);
        }
    }
    if (!bOk) {
        NKReleaseScalarResult(pResult);
        NKDiagnostic("Error allocating result entries", pszFn);
        return nullptr;
    }
    return pResult;
}

namespace {

// Fills one part's vector entry; left empty without a node map or without a
// defined vector.
bool FillVectorEntry(NKVectorPartEntry &entry, const NKPart &part, const float (*pfVectors)[3],
                     int iNumValues)
{
    if (part.pNodeMap == nullptr || part.iNumNodes < 1) return true;
    float *pfOut = (float *)NKAlloc(sizeof(float) * 3 * (size_t)part.iNumNodes);
    if (pfOut == nullptr) return false;
    bool bAnyDefined = false;
    for (int i = 0; i < part.iNumNodes; i++) {
        int g = part.pNodeMap[i];
        bool bIn = g >= 0 && g < iNumValues;
        for (int k = 0; k < 3; k++) {
            pfOut[3 * i + k] = bIn ? pfVectors[g][k] : NK_UNDEFINED_VALUE;
            bAnyDefined = bAnyDefined || !NKIsUndefined(pfOut[3 * i + k]);
        }
    }
    if (!bAnyDefined) {
        NKFree(pfOut);
        return true;
    }
    entry.pNodeValues = pfOut;
    entry.iNumNodes = part.iNumNodes;
    return true;
}

}  // namespace

NKVectorResult *NKCreateVectorResultFromArray(const float (*pfVectors)[3], int iNumNodes,
                                              NKGeometry *pGeo)
{
    static const char *pszFn = "NKCreateVectorResultFromArray";
    if (pfVectors == nullptr || pGeo == nullptr || (pGeo->iNumParts > 0 && !pGeo->pParts)) {
        NKDiagnostic("Null vectors or geometry", pszFn);
        return nullptr;
    }
    NKVectorResult *pResult = NKCreateVectorResult();
    if (pResult == nullptr) return nullptr;
    pResult->iNumParts = pGeo->iNumParts;
    bool bOk = true;
    if (pGeo->iNumParts > 0) {
        pResult->pResults =
            (NKVectorPartEntry *)NKAlloc(sizeof(NKVectorPartEntry) * (size_t)pGeo->iNumParts);
        bOk = pResult->pResults != nullptr;
        for (int p = 0; bOk && p < pGeo->iNumParts; p++)
            NKInitVectorPartEntry(&pResult->pResults[p]);
        for (int p = 0; bOk && p < pGeo->iNumParts; p++)
            bOk = FillVectorEntry(pResult->pResults[p], pGeo->pParts[p], pfVectors, iNumNodes);
    }
    if (!bOk) {
        NKReleaseVectorResult(pResult);
        NKDiagnostic("Error allocating result entries", pszFn);
        return nullptr;
    }
    return pResult;
}

bool NKBuildGeometryPolygonMap(NKGeometry *pGeo)
{
    static const char *pszFn = "NKBuildGeometryPolygonMap";
    if (pGeo == nullptr) return NKDiagnostic("Null geometry", pszFn);
    NKFree(pGeo->pPolygonMap);
    pGeo->pPolygonMap = nullptr;
    long long iPairs = 0;
    for (int p = 0; pGeo->pParts && p < pGeo->iNumParts; p++)
        iPairs += pGeo->pParts[p].iNumPolygons;
    // The count is checked before anything is written, so a stale total can
    // never make the map overrun.
    if (iPairs != pGeo->iTotalNumPolygons) return NKDiagnostic("Polygon count mismatch", pszFn);
    if (iPairs == 0) return true;
    NKPolygonRef *pMap = (NKPolygonRef *)NKAlloc(sizeof(NKPolygonRef) * (size_t)iPairs);
    if (pMap == nullptr) return NKDiagnostic("Error allocating polygon map", pszFn);
    int k = 0;
    for (int p = 0; p < pGeo->iNumParts; p++)
        for (int i = 0; i < pGeo->pParts[p].iNumPolygons; i++, k++) pMap[k] = {p, i};
    pGeo->pPolygonMap = pMap;
    return true;
}
