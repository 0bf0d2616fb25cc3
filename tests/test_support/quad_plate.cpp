// tests/test_support/quad_plate.cpp -- the quad plate and its node scalar
// (see quad_plate.h).
#include "tests/test_support/quad_plate.h"

#include <algorithm>
#include <cstring>

#include "core/nk_memory.h"
#include "core/nk_model.h"

bool NKTestBuildQuadPlate(NKPart *pPart, int nx, int ny, float x0, float y0, float x1, float y1)
{
    if (pPart == nullptr || nx < 1 || ny < 1) return false;
    const int iNumNodes = (nx + 1) * (ny + 1), iNumQuads = nx * ny;
    pPart->iNumNodes = iNumNodes;
    pPart->iNumPolygons = iNumQuads;
    pPart->iNumConnects = 4 * iNumQuads;
    pPart->pNodeCoords = static_cast<float *>(NKAlloc(3 * sizeof(float) * iNumNodes));
    pPart->pConnects = static_cast<int *>(NKAlloc(4 * sizeof(int) * iNumQuads));
    pPart->pPolygonStart = static_cast<int *>(NKAlloc(sizeof(int) * iNumQuads));
    pPart->pPolygonNumNodes = static_cast<int *>(NKAlloc(sizeof(int) * iNumQuads));
    pPart->pNodeType = static_cast<uint8_t *>(NKAlloc(iNumNodes));
    if (pPart->pNodeCoords == nullptr || pPart->pConnects == nullptr ||
        pPart->pPolygonStart == nullptr || pPart->pPolygonNumNodes == nullptr ||
        pPart->pNodeType == nullptr)
        return false;
    std::memset(pPart->pNodeType, 1, iNumNodes);
    for (int j = 0; j <= ny; j++)
        for (int i = 0; i <= nx; i++) {
            float *p = pPart->pNodeCoords + 3 * (j * (nx + 1) + i);
            p[0] = x0 + (x1 - x0) * static_cast<float>(i) / static_cast<float>(nx);
            p[1] = y0 + (y1 - y0) * static_cast<float>(j) / static_cast<float>(ny);
            p[2] = 0.0f;
        }
    for (int j = 0; j < ny; j++)
        for (int i = 0; i < nx; i++) {
            const int q = j * nx + i, n = j * (nx + 1) + i;
            int *c = pPart->pConnects + 4 * q;
            c[0] = n;
            c[1] = n + 1;
            c[2] = n + nx + 2;
            c[3] = n + nx + 1;
            pPart->pPolygonStart[q] = 4 * q;
            pPart->pPolygonNumNodes[q] = 4;
        }
    pPart->bVisible = 1;
    return true;
}

NKScalarResult *NKTestPlateScalar(const NKPart *pPart, int iPart, int iNumParts,
                                  float (*pfnValue)(float x, float y))
{
    if (pPart == nullptr || iPart < 0 || iPart >= iNumParts) return nullptr;
    NKScalarResult *r = NKCreateScalarResult();
    if (r == nullptr) return nullptr;
    r->iNumParts = iNumParts;
    r->pNodeResults =
        static_cast<NKScalarPartEntry *>(NKCalloc(iNumParts, sizeof(NKScalarPartEntry)));
    const int n = pPart->iNumNodes;
    float *pValues = n > 0 ? static_cast<float *>(NKAlloc(sizeof(float) * n)) : nullptr;
    if (r->pNodeResults == nullptr || pValues == nullptr) {
        NKFree(pValues);
        NKReleaseScalarResult(r);
        return nullptr;
    }
    for (int k = 0; k < n; k++) {
        const float *p = pPart->pNodeCoords + 3 * k;
        pValues[k] = pfnValue(p[0], p[1]);
        r->nodeMinMax.min = std::min(r->nodeMinMax.min, pValues[k]);
        r->nodeMinMax.max = std::max(r->nodeMinMax.max, pValues[k]);
    }
    r->pNodeResults[iPart].iCount = n;
    r->pNodeResults[iPart].pNodeValues = pValues;
    return r;
}
