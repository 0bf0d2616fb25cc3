// tools/nk_element_grid.cpp -- the particle traces' seed grid (see
// nk_element_grid.h). Block layout: ElementGridHeader, then iNumCells + 1
// cell starts (int64), then the record indices of all cells (int32).
#include "tools/nk_element_grid.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/nk_element_types.h"
#include "core/nk_frames.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_topology.h"

namespace {

struct ElementGridHeader {
    int iCells[3];
    float fOrigin[3];
    float fCellSize[3];
    float fBox[6];
    int64_t iNumCells;
    int64_t iNumEntries;
};

int64_t *CellStarts(void *pGrid)
{
    return reinterpret_cast<int64_t *>(static_cast<char *>(pGrid) + sizeof(ElementGridHeader));
}

// The corner box of a solid record's element; false for other records.
bool RecordBox(const NKFrame *pFrame, const NKElementNeighbourRecord &rec, float *pfBox)
{
    const NKPart *pPart = NKGetFramePart(pFrame, rec.iPart);
    if (pPart == nullptr || pPart->pNodeCoords == nullptr || pPart->pElements == nullptr ||
        rec.iElement < 0 || rec.iElement >= pPart->iNumElements)
        return false;
    const NKElement &e = pPart->pElements[rec.iElement];
    const int n = NKElementCornerCount(e.iType);
    if (NKElementFaceCount(e.iType) < 4) return false;
    for (int k = 0; k < 3; k++) {
        pfBox[k] = 1e30f;
        pfBox[k + 3] = -1e30f;
    }
    for (int c = 0; c < n; c++) {
        long long j = (long long)e.iNodeStart + c;
        if (j < 0 || j >= pPart->iNumElementConnects) return false;
        int iNode = pPart->pElementConnects[j];
        if (iNode < 0 || iNode >= pPart->iNumNodes) return false;
        for (int k = 0; k < 3; k++) {
            float x = pPart->pNodeCoords[3 * iNode + k];
            if (x < pfBox[k]) pfBox[k] = x;
            if (x > pfBox[k + 3]) pfBox[k + 3] = x;
        }
    }
    return true;
}

// The cell index range [lo, hi] of a coordinate interval on one axis.
void CellRange(const ElementGridHeader &h, int k, float fMin, float fMax, int *piLo, int *piHi)
{
    auto cell = [&](float x) {
        double d = std::floor(((double)x - h.fOrigin[k]) / h.fCellSize[k]);
        if (d < 0) d = 0;
        if (d > h.iCells[k] - 1) d = h.iCells[k] - 1;
        return (int)d;
    };
    *piLo = cell(fMin);
    *piHi = cell(fMax);
}

int64_t CellIndex(const ElementGridHeader &h, int i, int j, int k)
{
    return ((int64_t)k * h.iCells[1] + j) * h.iCells[0] + i;
}

// About one cell per solid record, shaped like the box.
void SizeCells(ElementGridHeader *h, int64_t iSolids)
{
    float afExtent[3];
    double dVolume = 1.0;
    int iAxes = 0;
    for (int k = 0; k < 3; k++) {
        afExtent[k] = h->fBox[k + 3] - h->fBox[k];
        if (afExtent[k] > 0.0f) {
            dVolume *= afExtent[k];
            iAxes++;
        }
    }
    double dCell = iAxes > 0 ? std::pow(dVolume / (double)iSolids, 1.0 / iAxes) : 1.0;
    for (int k = 0; k < 3; k++) {
        int n = afExtent[k] > 0.0f && dCell > 0.0 ? (int)std::ceil(afExtent[k] / dCell) : 1;
        if (n < 1) n = 1;
        if (n > 1024) n = 1024;
        h->iCells[k] = n;
        h->fOrigin[k] = h->fBox[k];
        h->fCellSize[k] = afExtent[k] > 0.0f ? afExtent[k] / (float)n : 1.0f;
    }
    h->iNumCells = (int64_t)h->iCells[0] * h->iCells[1] * h->iCells[2];
}

// Calls fn(record, cell) for every cell that a solid record's box touches,
// records in order.
template <typename Fn>
void ForEachRecordCell(const ElementGridHeader &h, const std::vector<float> &boxes,
                       const std::vector<uint8_t> &solid, Fn fn)
{
    for (size_t r = 0; r < solid.size(); r++) {
        if (!solid[r]) continue;
        const float *b = &boxes[r * 6];
        int lo[3], hi[3];
        for (int k = 0; k < 3; k++) CellRange(h, k, b[k], b[k + 3], &lo[k], &hi[k]);
        for (int z = lo[2]; z <= hi[2]; z++)
            for (int y = lo[1]; y <= hi[1]; y++)
                for (int x = lo[0]; x <= hi[0]; x++) fn((int)r, CellIndex(h, x, y, z));
    }
}

}  // namespace

void *NKBuildElementGrid(const NKFrame *pFrame, const NKElementNeighbourRecord *pRecords,
                         int iCount)
{
    if (pFrame == nullptr || pRecords == nullptr || iCount < 1) return nullptr;
    std::vector<float> boxes((size_t)iCount * 6);
    std::vector<uint8_t> solid((size_t)iCount, 0);
    ElementGridHeader h{};
    for (int k = 0; k < 3; k++) {
        h.fBox[k] = 1e30f;
        h.fBox[k + 3] = -1e30f;
    }
    int64_t iSolids = 0;
    for (int r = 0; r < iCount; r++) {
        float *b = &boxes[(size_t)r * 6];
        if (!RecordBox(pFrame, pRecords[r], b)) continue;
        solid[(size_t)r] = 1;
        iSolids++;
        for (int k = 0; k < 3; k++) {
            if (b[k] < h.fBox[k]) h.fBox[k] = b[k];
            if (b[k + 3] > h.fBox[k + 3]) h.fBox[k + 3] = b[k + 3];
        }
    }
    if (iSolids == 0) return nullptr;
    SizeCells(&h, iSolids);
    // Count the entries of each cell, then fill them in record order, so
    // that every cell lists its records ascending.
    std::vector<int64_t> counts((size_t)h.iNumCells + 1, 0);
    ForEachRecordCell(h, boxes, solid, [&](int, int64_t c) { counts[(size_t)c + 1]++; });
    for (int64_t c = 0; c < h.iNumCells; c++) counts[(size_t)c + 1] += counts[(size_t)c];
    h.iNumEntries = counts[(size_t)h.iNumCells];
    size_t iBytes = sizeof(ElementGridHeader) + sizeof(int64_t) * (size_t)(h.iNumCells + 1) +
                    sizeof(int32_t) * (size_t)h.iNumEntries;
    void *pGrid = NKAlloc(iBytes);
    if (pGrid == nullptr) return nullptr;
    std::memcpy(pGrid, &h, sizeof(h));
    int64_t *pStarts = CellStarts(pGrid);
    std::memcpy(pStarts, counts.data(), sizeof(int64_t) * (size_t)(h.iNumCells + 1));
    int32_t *pEntries = reinterpret_cast<int32_t *>(pStarts + h.iNumCells + 1);
    ForEachRecordCell(h, boxes, solid,
                      [&](int r, int64_t c) { pEntries[counts[(size_t)c]++] = r; });
    return pGrid;
}

bool NKGetElementGridBox(const void *pGrid, float *pfBox)
{
    if (pGrid == nullptr || pfBox == nullptr) return false;
    std::memcpy(pfBox, static_cast<const ElementGridHeader *>(pGrid)->fBox, 6 * sizeof(float));
    return true;
}

int NKGridFindElementContainingPoint(const void *pGrid, const NKFrame *pFrame,
                                     const NKElementNeighbourRecord *pRecords, const float p[3],
                                     int *piFace)
{
    if (piFace != nullptr) *piFace = -1;
    if (pGrid == nullptr || p == nullptr || piFace == nullptr) return -1;
    const ElementGridHeader &h = *static_cast<const ElementGridHeader *>(pGrid);
    for (int k = 0; k < 3; k++)
        if (!(p[k] >= h.fBox[k] && p[k] <= h.fBox[k + 3])) return -1;
    int c[3], unused;
    for (int k = 0; k < 3; k++) CellRange(h, k, p[k], p[k], &c[k], &unused);
    const int64_t iCell = CellIndex(h, c[0], c[1], c[2]);
    const int64_t *pStarts = CellStarts(const_cast<void *>(pGrid));
    const int32_t *pEntries = reinterpret_cast<const int32_t *>(pStarts + h.iNumCells + 1);
    for (int64_t e = pStarts[iCell]; e < pStarts[iCell + 1]; e++) {
        const int r = pEntries[e];
        if (NKFindElementContainingPoint(pFrame, &pRecords[r], 1, p, piFace) == 0) return r;
    }
    return -1;
}
