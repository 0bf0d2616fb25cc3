// tests/core/mesh_fixtures.h -- small meshes built inside the tests: parts
// with nodes, elements and polygons, geometries of such parts, and a frame
// that shows a geometry. Arrays come from NKAlloc so that the model's own
// release functions free them.
#pragma once

#include <cstring>
#include <vector>

#include "core/nk_memory.h"
#include "core/nk_model.h"

namespace fixtures {

template <typename T>
T *AllocCopy(const std::vector<T> &v)
{
    if (v.empty()) return nullptr;
    T *p = (T *)NKAlloc(sizeof(T) * v.size());
    std::memcpy(p, v.data(), sizeof(T) * v.size());
    return p;
}

inline void SetNodes(NKPart &part, const std::vector<float> &coords)
{
    NKFree(part.pNodeCoords);
    part.iNumNodes = (int)coords.size() / 3;
    part.pNodeCoords = AllocCopy(coords);
}

inline void SetNodeMap(NKPart &part, const std::vector<int> &map)
{
    NKFree(part.pNodeMap);
    part.pNodeMap = AllocCopy(map);
}

inline void SetNodeIDs(NKPart &part, const std::vector<int> &ids)
{
    NKFree(part.pNodeIDs);
    part.pNodeIDs = AllocCopy(ids);
}

// Elements of one or more types; each element's node list follows the one
// before it in the element connectivity. IDs are 100 + index, global indices
// 1000 + index.
inline void SetElements(NKPart &part, const std::vector<int> &types,
                        const std::vector<std::vector<int>> &nodes)
{
    std::vector<NKElement> elems;
    std::vector<int> conn;
    for (size_t e = 0; e < nodes.size(); e++) {
        elems.push_back({types[e], 100 + (int)e, 1000 + (int)e, (int)conn.size()});
        conn.insert(conn.end(), nodes[e].begin(), nodes[e].end());
    }
    NKFree(part.pElements);
    NKFree(part.pElementConnects);
    part.iNumElements = (int)elems.size();
    part.pElements = AllocCopy(elems);
    part.iNumElementConnects = (int)conn.size();
    part.pElementConnects = AllocCopy(conn);
}

inline void SetPolygons(NKPart &part, const std::vector<std::vector<int>> &polys)
{
    std::vector<int> conn, counts, starts;
    for (const auto &poly : polys) {
        starts.push_back((int)conn.size());
        counts.push_back((int)poly.size());
        conn.insert(conn.end(), poly.begin(), poly.end());
    }
    NKFree(part.pConnects);
    NKFree(part.pPolygonNumNodes);
    NKFree(part.pPolygonStart);
    part.iNumPolygons = (int)polys.size();
    part.iNumConnects = (int)conn.size();
    part.pConnects = AllocCopy(conn);
    part.pPolygonNumNodes = AllocCopy(counts);
    part.pPolygonStart = AllocCopy(starts);
}

// Node coordinates of an nx x ny x nz grid of unit cells (x fastest),
// starting at x0 along x.
inline std::vector<float> GridNodes(int nx, int ny, int nz, float x0 = 0.0f)
{
    std::vector<float> c;
    for (int k = 0; k <= nz; k++)
        for (int j = 0; j <= ny; j++)
            for (int i = 0; i <= nx; i++) {
                c.push_back(x0 + (float)i);
                c.push_back((float)j);
                c.push_back((float)k);
            }
    return c;
}

// The hexahedra of that grid, corners in the element table's order.
inline std::vector<std::vector<int>> GridHexahedra(int nx, int ny, int nz)
{
    auto id = [&](int i, int j, int k) { return i + (nx + 1) * (j + (ny + 1) * k); };
    std::vector<std::vector<int>> hexa;
    for (int k = 0; k < nz; k++)
        for (int j = 0; j < ny; j++)
            for (int i = 0; i < nx; i++)
                hexa.push_back({id(i, j, k), id(i + 1, j, k), id(i + 1, j + 1, k), id(i, j + 1, k),
                                id(i, j, k + 1), id(i + 1, j, k + 1), id(i + 1, j + 1, k + 1),
                                id(i, j + 1, k + 1)});
    return hexa;
}

// A frame on the stack that shows a geometry without holding a reference.
struct FrameOf {
    NKFrame frame;
    explicit FrameOf(NKGeometry *pGeo) { frame.pGeometry = pGeo; }
    ~FrameOf() { frame.pGeometry = nullptr; }
};

// Owns a geometry for one test.
struct GeometryHolder {
    NKGeometry *pGeo;
    explicit GeometryHolder(int n) : pGeo(NKCreateGeometry(n)) {}
    ~GeometryHolder() { NKReleaseGeometry(pGeo); }
    NKPart &Part(int i) { return pGeo->pParts[i]; }
};

}  // namespace fixtures
