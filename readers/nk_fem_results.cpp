// readers/nk_fem_results.cpp -- NKFEMInterface's results and visibility:
// the reader's 1-D and 3-D value blocks placed on the parts' nodes or
// elements through the reader's mappings, and the reader's hidden elements
// of a step turned into the frame's polygon visibility.
//
// Value counts are checked against their arrays and mapping counts against
// their keys before any is read; a block that does not fit fails the
// operation. Keys that name no node or element are passed over.
#include <algorithm>
#include <cmath>
#include <numeric>

#include "core/nk_element_types.h"
#include "core/nk_frame_results.h"
#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_numeric.h"
#include "readers/nk_fem_interface.h"

namespace {

// A mapping block's keys searchable by binary search: through an index
// sorted by key when the keys do not ascend.
struct KeyIndex {
    const FEMappingBlock *pMap = nullptr;
    std::vector<int> order;

    // The position of the key in the mapping, -1 when absent.
    int Find(int iKey) const
    {
        const int *k = pMap->keys.data();
        if (order.empty()) {
            const int *p = std::lower_bound(k, k + pMap->iCount, iKey);
            return p != k + pMap->iCount && *p == iKey ? (int)(p - k) : -1;
        }
        auto it = std::lower_bound(order.begin(), order.end(), iKey,
                                   [&](int a, int v) { return k[a] < v; });
        return it != order.end() && k[*it] == iKey ? *it : -1;
    }
};

// Checks the value blocks (count against the array, iComponents floats per
// value) and the mappings (one per value block, count against the keys),
// and indexes the mappings. False for data that does not fit.
bool PrepareBlocks(const std::vector<FEValueBlock> &values, const std::vector<FEMappingBlock> &maps,
                   int iComponents, std::vector<KeyIndex> *pIndex)
{
    for (const FEValueBlock &b : values)
        if (b.iNumValues < 0 || (long long)b.values.size() < (long long)b.iNumValues * iComponents)
            return false;
    if (maps.empty()) return true;
    if (maps.size() < values.size()) return false;
    pIndex->resize(values.size());
    for (size_t i = 0; i < values.size(); i++) {
        const FEMappingBlock &m = maps[i];
        if (m.iCount < 0 || (long long)m.keys.size() < m.iCount) return false;
        KeyIndex &index = (*pIndex)[i];
        index.pMap = &m;
        if (!std::is_sorted(m.keys.begin(), m.keys.begin() + m.iCount)) {
            index.order.resize((size_t)m.iCount);
            std::iota(index.order.begin(), index.order.end(), 0);
            std::stable_sort(index.order.begin(), index.order.end(),
                             [&](int a, int b) { return m.keys[(size_t)a] < m.keys[(size_t)b]; });
        }
    }
    return true;
}

float *UndefinedFloats(int n)
{
    float *p = (float *)NKAlloc((size_t)std::max(n, 1) * sizeof(float));
    if (p != nullptr) std::fill(p, p + std::max(n, 1), NK_UNDEFINED_VALUE);
    return p;
}

// A scalar result with undefined node values per part (and element values
// per part for element results); null when out of memory.
NKScalarResult *NewScalar(const NKGeometry *pGeo, bool bElements)
{
    NKScalarResult *pResult = NKCreateScalarResult();
    if (pResult == nullptr) return nullptr;
    int n = pGeo->iNumParts;
    pResult->iNumParts = n;
    pResult->pNodeResults =
        (NKScalarPartEntry *)NKCalloc((size_t)std::max(n, 1), sizeof(NKScalarPartEntry));
    if (bElements)
        pResult->pElementResults =
            (NKScalarPartEntry *)NKCalloc((size_t)std::max(n, 1), sizeof(NKScalarPartEntry));
    bool bOk =
        pResult->pNodeResults != nullptr && (!bElements || pResult->pElementResults != nullptr);
    for (int i = 0; bOk && i < n; i++) {
        NKScalarPartEntry &node = pResult->pNodeResults[i];
        NKInitScalarPartEntry(&node);
        node.iCount = pGeo->pParts[i].iNumNodes;
        node.pNodeValues = UndefinedFloats(node.iCount);
        bOk = node.pNodeValues != nullptr;
        if (bOk && bElements) {
            NKScalarPartEntry &elem = pResult->pElementResults[i];
            NKInitScalarPartEntry(&elem);
            elem.iCount = pGeo->pParts[i].iNumElements;
            elem.pNodeValues = UndefinedFloats(elem.iCount);
            bOk = elem.pNodeValues != nullptr;
        }
    }
    if (!bOk) {
        NKReleaseScalarResult(pResult);
        return nullptr;
    }
    return pResult;
}

NKVectorResult *NewVector(const NKGeometry *pGeo)
{
    NKVectorResult *pResult = NKCreateVectorResult();
    if (pResult == nullptr) return nullptr;
    int n = pGeo->iNumParts;
    pResult->iNumParts = n;
    pResult->pResults =
        (NKVectorPartEntry *)NKCalloc((size_t)std::max(n, 1), sizeof(NKVectorPartEntry));
    bool bOk = pResult->pResults != nullptr;
    for (int i = 0; bOk && i < n; i++) {
        NKVectorPartEntry &entry = pResult->pResults[i];
        NKInitVectorPartEntry(&entry);
        entry.iNumNodes = pGeo->pParts[i].iNumNodes;
        entry.pNodeValues = UndefinedFloats(3 * entry.iNumNodes);
        bOk = entry.pNodeValues != nullptr;
    }
    if (!bOk) {
        NKReleaseVectorResult(pResult);
        return nullptr;
    }
    return pResult;
}

}  // namespace

void NKFEMInterface::WarnNotNumbers(const std::vector<FEValueBlock> &values,
                                    const FEResultInfo &info, int iStep) const
{
    int64_t iCount = 0, iFirst = -1, iBefore = 0;
    for (const FEValueBlock &block : values) {
        int64_t iBlockCount = 0;
        int64_t iAt =
            NKFirstNaNOrMinusInf(block.values.data(), (int64_t)block.values.size(), &iBlockCount);
        if (iFirst < 0 && iAt >= 0) iFirst = iBefore + iAt;
        iCount += iBlockCount;
        iBefore += (int64_t)block.values.size();
    }
    if (iFirst < 0) return;
    NKPrintWarning(NKString::FromFormat("The %s result of file %s, step %d: NaN or -inf values: "
                                        "%lld, the first is value %lld; they count as undefined "
                                        "values.",
                                        info.szName.GetText(), m_FileName.GetText(), iStep + 1,
                                        (long long)iCount, (long long)iFirst + 1)
                       .GetText());
}

NKScalarResult *NKFEMInterface::GetScalar(int iResult, int iStep, NKGeometry *pGeo)
{
    if (!IsValid() || pGeo == nullptr) return nullptr;
    std::vector<FEValueBlock> values;
    std::vector<FEMappingBlock> maps;
    const FEResultInfo *pInfo = Get1DResultAndMapping(iResult, iStep, &values, &maps);
    if (pInfo == nullptr) {
        NKPrintInterfaceError(0, "Couldn't get result info for scalar result.");
        return nullptr;
    }
    if (pInfo->iMapping != NK_RESULT_MAP_NODE && pInfo->iMapping != NK_RESULT_MAP_ELEMENT) {
        NKPrintInterfaceError(0, "Unsupported result mapping type.");
        return nullptr;
    }
    bool bElements = pInfo->iMapping == NK_RESULT_MAP_ELEMENT;
    NKScalarResult *pResult = NewScalar(pGeo, bElements);
    if (pResult == nullptr) {
        NKPrintInterfaceError(-6, nullptr);
        return nullptr;
    }
    bool bApplied = bElements ? ApplyElementResults(pGeo, values, maps, pResult)
                              : ApplyNodeResults(pGeo, values, maps, pResult, nullptr);
    if (!bApplied) {
        NKPrintInterfaceError(0, bElements ? "Error applying element results."
                                           : "Error applying nodal results.");
        NKReleaseScalarResult(pResult);
        return nullptr;
    }
    pResult->iStepNumber = iStep;
    pResult->szDescription = pInfo->szName.Left(255);
    WarnNotNumbers(values, *pInfo, iStep);
    return pResult;
}

NKVectorResult *NKFEMInterface::GetVector(int iResult, int iStep, NKGeometry *pGeo)
{
    if (!IsValid() || pGeo == nullptr) return nullptr;
    std::vector<FEValueBlock> values;
    std::vector<FEMappingBlock> maps;
    const FEResultInfo *pInfo = Get3DResultAndMapping(iResult, iStep, &values, &maps);
    if (pInfo == nullptr) {
        NKPrintInterfaceError(0, "Couldn't get result info for vector result.");
        return nullptr;
    }
    if (pInfo->iMapping != NK_RESULT_MAP_NODE) {
        NKPrintInterfaceError(0, "Only nodal result mapping supported for vector results.");
        return nullptr;
    }
    NKVectorResult *pResult = NewVector(pGeo);
    if (pResult == nullptr) {
        NKPrintInterfaceError(-6, nullptr);
        return nullptr;
    }
    if (!ApplyNodeResults(pGeo, values, maps, nullptr, pResult)) {
        NKPrintInterfaceError(0, "Error applying nodal results.");
        NKReleaseVectorResult(pResult);
        return nullptr;
    }
    pResult->iStepNumber = iStep;
    pResult->szDescription = pInfo->szName.Left(255);
    WarnNotNumbers(values, *pInfo, iStep);
    return pResult;
}

bool NKFEMInterface::ApplyNodeResults(NKGeometry *pGeo, const std::vector<FEValueBlock> &values,
                                      const std::vector<FEMappingBlock> &maps,
                                      NKScalarResult *pScalar, NKVectorResult *pVector)
{
    if ((pScalar == nullptr) == (pVector == nullptr)) return false;
    int iComponents = pScalar != nullptr ? 1 : 3;
    std::vector<KeyIndex> index;
    if (!PrepareBlocks(values, maps, iComponents, &index)) return false;
    for (int i = 0; i < pGeo->iNumParts; i++) {
        const NKPart &part = pGeo->pParts[i];
        float *pfOut = pScalar != nullptr ? pScalar->pNodeResults[i].pNodeValues
                                          : pVector->pResults[i].pNodeValues;
        for (size_t b = 0; b < values.size(); b++) {
            if (values[b].iBlock != part.iNodesBlockID) continue;
            for (int j = 0; j < part.iNumNodes; j++) {
                int p;
                if (index.empty()) {
                    p = part.pNodeMap != nullptr ? part.pNodeMap[j] : j;
                } else {
                    bool bById = Cap(NK_CAP_NODES_BY_ID) && part.pNodeIDs != nullptr;
                    p = index[b].Find(bById ? part.pNodeIDs[j] : j);
                }
                if (p < 0 || p >= values[b].iNumValues) continue;
                std::copy_n(&values[b].values[(size_t)p * iComponents], iComponents,
                            pfOut + (size_t)j * iComponents);
            }
        }
    }
    return true;
}

bool NKFEMInterface::ApplyElementResults(NKGeometry *pGeo, const std::vector<FEValueBlock> &values,
                                         const std::vector<FEMappingBlock> &maps,
                                         NKScalarResult *pScalar)
{
    std::vector<KeyIndex> index;
    if (pScalar == nullptr || pScalar->pElementResults == nullptr ||
        !PrepareBlocks(values, maps, 1, &index))
        return false;
    for (int i = 0; i < pGeo->iNumParts; i++) {
        const NKPart &part = pGeo->pParts[i];
        float *pfNodes = pScalar->pNodeResults[i].pNodeValues;
        float *pfElems = pScalar->pElementResults[i].pNodeValues;
        std::vector<double> sums((size_t)part.iNumNodes, 0.0);
        std::vector<int> counts((size_t)part.iNumNodes, 0);
        for (size_t b = 0; b < values.size(); b++) {
            if (values[b].iBlock != part.iElementsBlockID) continue;
            int n = index.empty() ? std::min(part.iNumElements, values[b].iNumValues)
                                  : part.iNumElements;
            for (int j = 0; j < n; j++) {
                const NKElement &e = part.pElements[j];
                int p = index.empty()
                            ? e.iGlobalIndex
                            : index[b].Find(Cap(NK_CAP_ELEMENTS_BY_ID) ? e.iID : e.iGlobalIndex);
                if (p < 0 || p >= values[b].iNumValues) continue;
                float v = values[b].values[(size_t)p];
                pfElems[j] = v;
                // NaN and minus infinity are undefined values too.
                if (!(v <= NK_UNDEFINED_THRESHOLD) || v == -INFINITY) continue;
                int iEnd = j + 1 < part.iNumElements ? part.pElements[j + 1].iNodeStart
                                                     : part.iNumElementConnects;
                for (int k = e.iNodeStart; k < iEnd; k++) {
                    int iNode = part.pElementConnects[k];
                    if (iNode < 0 || iNode >= part.iNumNodes) continue;
                    sums[(size_t)iNode] += v;
                    counts[(size_t)iNode]++;
                }
            }
        }
        for (int j = 0; j < part.iNumNodes; j++)
            pfNodes[j] =
                counts[(size_t)j] > 0 ? (float)(sums[(size_t)j] / counts[(size_t)j]) : 0.0f;
    }
    return true;
}

namespace {

// Makes the frame's per-part visibility arrays when it has none; false when
// out of memory.
bool EnsureVisibility(NKFrame *pFrame)
{
    if (pFrame->ppVisibility != nullptr) return true;
    const NKGeometry *pGeo = pFrame->pGeometry;
    int n = pGeo->iNumParts;
    uint8_t **pp = (uint8_t **)NKCalloc((size_t)std::max(n, 1), sizeof(uint8_t *));
    if (pp == nullptr) return false;
    for (int i = 0; i < n; i++)
        pp[i] = (uint8_t *)NKCalloc((size_t)std::max(pGeo->pParts[i].iNumPolygons, 1), 1);
    pFrame->ppVisibility = pp;
    return true;
}

}  // namespace

void NKFEMInterface::UpdateVisibility(int iStep, NKFrame *pFrame)
{
    if (!IsValid() || pFrame == nullptr || pFrame->pGeometry == nullptr) return;
    int iStepId = GetStepId(iStep);
    std::vector<std::vector<int>> states;
    if (iStepId == -1 || m_pReader->GetStepPartStates(iStepId, &states) < 1 || states.empty())
        return;
    bool bById = Cap(NK_CAP_ELEMENTS_BY_ID);
    for (std::vector<int> &keys : states) std::sort(keys.begin(), keys.end());
    if (!EnsureVisibility(pFrame)) return;
    const NKGeometry *pGeo = pFrame->pGeometry;
    for (int i = 0; i < pGeo->iNumParts; i++) {
        const NKPart &part = pGeo->pParts[i];
        uint8_t *pBytes = pFrame->ppVisibility[i];
        if (part.iNumElements == 0 || pBytes == nullptr) continue;
        // Only the eroded bit changes: the level-of-detail bits above it stay.
        for (int j = 0; j < part.iNumPolygons; j++) pBytes[j] &= uint8_t(~NK_VISIBILITY_ERODED);
        int iBlock = part.iElementsBlockID;
        if (iBlock < 0 || iBlock >= (int)states.size()) continue;
        const std::vector<int> &keys = states[(size_t)iBlock];
        // A polygon hides when the element behind it is hidden, so a
        // deleted solid takes all its faces along.
        for (int j = 0; j < part.iNumPolygons; j++) {
            int e = part.pPolygonElements != nullptr ? part.pPolygonElements[j] : -1;
            if (e < 0 || e >= part.iNumElements) continue;
            int iKey = bById ? part.pElements[e].iID : part.pElements[e].iGlobalIndex;
            if (std::binary_search(keys.begin(), keys.end(), iKey))
                pBytes[j] |= NK_VISIBILITY_ERODED;
        }
    }
}
