// tests/core/nk_geometry_test_helpers.h -- parts with a full polygon layout
// (coordinates, connectivity, starts and node counts) for the box, normal,
// reference and frame result tests, and small helpers to put them into
// frames.
#pragma once

#include <cstring>
#include <vector>

#include "core/nk_memory.h"
#include "core/nk_model.h"

// Fills an initialised part with nodes (x, y, z each) and polygons (0-based
// node indices).
inline void NKTestBuildPart(NKPart *pPart, const std::vector<float> &coords,
                            const std::vector<std::vector<int>> &polygons)
{
    int iNumNodes = static_cast<int>(coords.size() / 3);
    int iNumPolygons = static_cast<int>(polygons.size());
    int iNumConnects = 0;
    for (const auto &polygon : polygons) iNumConnects += static_cast<int>(polygon.size());
    pPart->iNumNodes = iNumNodes;
    pPart->iNumPolygons = iNumPolygons;
    pPart->iNumConnects = iNumConnects;
    pPart->pNodeCoords = static_cast<float *>(NKAlloc(coords.size() * sizeof(float)));
    std::memcpy(pPart->pNodeCoords, coords.data(), coords.size() * sizeof(float));
    if (iNumPolygons > 0) {
        pPart->pConnects =
            static_cast<int *>(NKAlloc(sizeof(int) * (iNumConnects > 0 ? iNumConnects : 1)));
        pPart->pPolygonStart = static_cast<int *>(NKAlloc(sizeof(int) * iNumPolygons));
        pPart->pPolygonNumNodes = static_cast<int *>(NKAlloc(sizeof(int) * iNumPolygons));
        int k = 0;
        for (int p = 0; p < iNumPolygons; p++) {
            pPart->pPolygonStart[p] = k;
            pPart->pPolygonNumNodes[p] = static_cast<int>(polygons[p].size());
            for (int node : polygons[p]) pPart->pConnects[k++] = node;
        }
    }
}

// Gives the part the node IDs listed (one per node).
inline void NKTestSetNodeIDs(NKPart *pPart, const std::vector<int> &ids)
{
    pPart->pNodeIDs = static_cast<int *>(NKAlloc(ids.size() * sizeof(int)));
    std::memcpy(pPart->pNodeIDs, ids.data(), ids.size() * sizeof(int));
}

// A flat plate in z = fZ: an nx x ny grid of quads over [0, nx] x [0, ny].
inline void NKTestMakePlate(NKPart *pPart, int nx, int ny, float fZ)
{
    std::vector<float> coords;
    for (int j = 0; j <= ny; j++) {
        for (int i = 0; i <= nx; i++) {
            coords.push_back(static_cast<float>(i));
            coords.push_back(static_cast<float>(j));
            coords.push_back(fZ);
        }
    }
    std::vector<std::vector<int>> quads;
    for (int j = 0; j < ny; j++) {
        for (int i = 0; i < nx; i++) {
            int a = j * (nx + 1) + i;
            quads.push_back({a, a + 1, a + nx + 2, a + nx + 1});
        }
    }
    NKTestBuildPart(pPart, coords, quads);
}

// The axis-aligned box [lo, hi]^3 as 8 nodes and 6 outward-facing quads.
inline void NKTestMakeCube(NKPart *pPart, float lo, float hi)
{
    std::vector<float> coords = {lo, lo, lo, hi, lo, lo, hi, hi, lo, lo, hi, lo,
                                 lo, lo, hi, hi, lo, hi, hi, hi, hi, lo, hi, hi};
    std::vector<std::vector<int>> faces = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4},
                                           {2, 3, 7, 6}, {1, 2, 6, 5}, {0, 4, 7, 3}};
    NKTestBuildPart(pPart, coords, faces);
}

// Stores pGeo in the frame as one more holder.
inline void NKTestShareGeometry(NKFrame *pFrame, NKGeometry *pGeo)
{
    pFrame->pGeometry = pGeo;
    pGeo->iNumRef++;
}

// A vector result with one entry per part of pGeo, each holding the part's
// coordinates moved by (dx, dy, dz).
inline NKVectorResult *NKTestMakeDisplacedResult(const NKGeometry *pGeo, float dx, float dy,
                                                 float dz)
{
    NKVectorResult *pVector = NKCreateVectorResult();
    pVector->iNumParts = pGeo->iNumParts;
    pVector->pResults =
        static_cast<NKVectorPartEntry *>(NKCalloc(pGeo->iNumParts, sizeof(NKVectorPartEntry)));
    for (int i = 0; i < pGeo->iNumParts; i++) {
        const NKPart &part = pGeo->pParts[i];
        NKVectorPartEntry &entry = pVector->pResults[i];
        entry.iNumNodes = part.iNumNodes;
        entry.iNumPolygons = part.iNumPolygons;
        entry.pNodeValues = static_cast<float *>(NKAlloc(sizeof(float) * 3 * part.iNumNodes));
        for (int n = 0; n < part.iNumNodes; n++) {
            entry.pNodeValues[3 * n] = part.pNodeCoords[3 * n] + dx;
            entry.pNodeValues[3 * n + 1] = part.pNodeCoords[3 * n + 1] + dy;
            entry.pNodeValues[3 * n + 2] = part.pNodeCoords[3 * n + 2] + dz;
        }
    }
    return pVector;
}
