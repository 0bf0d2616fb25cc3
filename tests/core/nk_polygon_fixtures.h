// tests/core/nk_polygon_fixtures.h -- parts with a full polygon layout
// (0-based connectivity, node counts, starts and packed polygon normals) for
// the edge, part-list, writer and interpolation tests.
#pragma once

#include <cstring>
#include <vector>

#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_numeric.h"
#include "core/nk_ray.h"

// Fills pPart with the nodes (x, y, z each) and the polygons (0-based node
// lists), computing packed unit normals per polygon.
inline void NKTestFillPart(NKPart *pPart, const std::vector<float> &coords,
                           const std::vector<std::vector<int>> &polygons)
{
    int iNodes = (int)coords.size() / 3;
    int iPolys = (int)polygons.size();
    std::vector<int> connects, counts, starts;
    for (const auto &poly : polygons) {
        starts.push_back((int)connects.size());
        counts.push_back((int)poly.size());
        connects.insert(connects.end(), poly.begin(), poly.end());
    }
    pPart->iNumNodes = iNodes;
    pPart->iNumPolygons = iPolys;
    pPart->iNumConnects = (int)connects.size();
    pPart->pNodeCoords = static_cast<float *>(NKAlloc(coords.size() * sizeof(float)));
    std::memcpy(pPart->pNodeCoords, coords.data(), coords.size() * sizeof(float));
    pPart->pConnects = static_cast<int *>(NKAlloc(connects.size() * sizeof(int)));
    std::memcpy(pPart->pConnects, connects.data(), connects.size() * sizeof(int));
    pPart->pPolygonNumNodes = static_cast<int *>(NKAlloc(counts.size() * sizeof(int)));
    std::memcpy(pPart->pPolygonNumNodes, counts.data(), counts.size() * sizeof(int));
    pPart->pPolygonStart = static_cast<int *>(NKAlloc(starts.size() * sizeof(int)));
    std::memcpy(pPart->pPolygonStart, starts.data(), starts.size() * sizeof(int));
    pPart->pPolygonNormals = static_cast<int8_t *>(NKAlloc(3 * (size_t)iPolys));
    for (int p = 0; p < iPolys; p++) {
        float n[3];
        NKComputePolygonNormal(pPart->pConnects + starts[p], counts[p], pPart->pNodeCoords, n);
        NKPackNormal(n, reinterpret_cast<signed char *>(pPart->pPolygonNormals + 3 * p));
    }
}

// A geometry of one part; the totals set from it.
inline NKGeometry *NKTestMakeOnePartGeometry(const std::vector<float> &coords,
                                             const std::vector<std::vector<int>> &polygons)
{
    NKGeometry *pGeo = NKCreateGeometry(1);
    NKTestFillPart(&pGeo->pParts[0], coords, polygons);
    pGeo->iTotalNumNodes = pGeo->pParts[0].iNumNodes;
    pGeo->iTotalNumPolygons = pGeo->pParts[0].iNumPolygons;
    pGeo->iTotalNumConnects = pGeo->pParts[0].iNumConnects;
    return pGeo;
}
