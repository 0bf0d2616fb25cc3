// tests/tools/surface_fixtures.h -- blocks of hexahedra with scalar fields in
// frames of the global model, for the polygoniser, surface storage and
// iso-surface tests; and measures of the meshes they make (area, distinct
// points, boundary marks).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "core/nk_element_types.h"
#include "core/nk_frames.h"
#include "core/nk_mesh.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "tests/core/mesh_fixtures.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tools/nk_cut_surface.h"
#include "tools/nk_surface_storage.h"

namespace surface {

using Field = std::function<float(float, float, float)>;

// One part of n x n x n hexahedra over the cube [0, n x fCell]^3.
inline NKGeometry *MakeBlock(int n, float fCell)
{
    NKGeometry *pGeo = NKCreateGeometry(1);
    std::vector<float> c = fixtures::GridNodes(n, n, n);
    for (float &v : c) v *= fCell;
    fixtures::SetNodes(pGeo->pParts[0], c);
    auto hexa = fixtures::GridHexahedra(n, n, n);
    fixtures::SetElements(pGeo->pParts[0], std::vector<int>(hexa.size(), NK_ELEM_HEXAHEDRON), hexa);
    return pGeo;
}

// A scalar result with the field's value at each node of each part.
inline NKScalarResult *MakeScalar(const NKGeometry *pGeo, const Field &field)
{
    NKScalarResult *r = NKCreateScalarResult();
    r->iNumParts = pGeo->iNumParts;
    r->pNodeResults = static_cast<NKScalarPartEntry *>(
        NKCalloc((size_t)pGeo->iNumParts, sizeof(NKScalarPartEntry)));
    for (int i = 0; i < pGeo->iNumParts; i++) {
        const NKPart &p = pGeo->pParts[i];
        NKScalarPartEntry &e = r->pNodeResults[i];
        e.iCount = p.iNumNodes;
        e.pNodeValues = static_cast<float *>(NKAlloc(sizeof(float) * (size_t)p.iNumNodes));
        for (int k = 0; k < p.iNumNodes; k++)
            e.pNodeValues[k] =
                field(p.pNodeCoords[3 * k], p.pNodeCoords[3 * k + 1], p.pNodeCoords[3 * k + 2]);
    }
    return r;
}

// A model of the tools' slots and iFrames frames that share the geometry and
// (when given) the scalar result; the model owns both.
class SurfaceTest : public NKModelTest {
protected:
    void SetUp() override
    {
        NKModelTest::SetUp();
        m_SavedHooks = NKSetModelHooks(NKModelHooks());
        NKInstallToolHooks();
    }
    void TearDown() override
    {
        NKModelTest::TearDown();
        NKSetModelHooks(m_SavedHooks);
    }
    NKFrame *Frames(int iFrames, NKGeometry *pGeo, NKScalarResult *pScalar)
    {
        NKSetFrameCount(0, false);  // a fresh frame array each time
        EXPECT_TRUE(NKSetFrameCount(iFrames, false));
        for (int f = 0; f < iFrames; f++) {
            g_pModel->pFrames[f].pGeometry = pGeo;
            pGeo->iNumRef++;
            g_pModel->pFrames[f].pScalar = pScalar;
            if (pScalar != nullptr) pScalar->iNumRef++;
        }
        return g_pModel->pFrames;
    }
    NKModelHooks m_SavedHooks;
};

inline const float *Node(const NKIndexedFaceSet &m, int iNode) { return m.pfCoords + 3 * iNode; }

// Summed polygon areas (fan triangles) and the summed area vector.
inline double MeshArea(const NKIndexedFaceSet &m, double *pVector = nullptr)
{
    double total = 0.0, v[3] = {0, 0, 0};
    for (int p = 0; p < m.iNumPolygons; p++) {
        const int *pi = m.piConnects + m.piPolygonStart[p];
        for (int k = 1; k + 1 < m.piPolygonNumNodes[p]; k++) {
            const float *a = Node(m, pi[0]), *b = Node(m, pi[k]), *c = Node(m, pi[k + 1]);
            double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
            double w[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
            double x[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2],
                           u[0] * w[1] - u[1] * w[0]};
            total += 0.5 * std::sqrt(x[0] * x[0] + x[1] * x[1] + x[2] * x[2]);
            for (int j = 0; j < 3; j++) v[j] += 0.5 * x[j];
        }
    }
    if (pVector != nullptr) std::memcpy(pVector, v, sizeof(v));
    return total;
}

// The number of polygons with n nodes.
inline int CountPolygons(const NKIndexedFaceSet &m, int n)
{
    int c = 0;
    for (int p = 0; p < m.iNumPolygons; p++) c += m.piPolygonNumNodes[p] == n;
    return c;
}

// Distinct points after merging, and the boundary marks of the merged mesh.
struct Merged {
    int iDistinct = 0;
    std::vector<uint8_t> marks;
};
inline Merged MergeAndMark(const NKIndexedFaceSet &m)
{
    Merged r;
    std::vector<int> conn(m.piConnects, m.piConnects + m.iConnectLength);
    NKMergeCoincidentNodes(conn.data(), m.iConnectLength, (float(*)[3])m.pfCoords, m.iNumNodes);
    std::vector<int> sorted = conn;
    std::sort(sorted.begin(), sorted.end());
    r.iDistinct = (int)(std::unique(sorted.begin(), sorted.end()) - sorted.begin());
    uint8_t *pb =
        NKFindEdgesInCutplane(conn.data(), m.piPolygonNumNodes, m.iNumPolygons, m.iConnectLength);
    if (pb != nullptr) r.marks.assign(pb, pb + m.iConnectLength);
    NKFree(pb);
    return r;
}

inline int CountValue(const std::vector<uint8_t> &v, uint8_t x)
{
    return (int)std::count(v.begin(), v.end(), x);
}

}  // namespace surface
