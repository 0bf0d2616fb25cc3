// tests/tools/test_surface_polygoniser.cpp -- the polygoniser: EdgeCaseTable,
// single elements cut by planes and levels, and blocks of hexahedra whose cut
// and iso-surfaces have known counts, areas and boundaries.
#include <gtest/gtest.h>

#include "core/nk_load_hooks.h"
#include "core/nk_normals.h"
#include "core/nk_numeric.h"
#include "render/nk_node_colors.h"
#include "tests/tools/surface_fixtures.h"
#include "tools/nk_edge_case_table.h"
#include "tools/nk_surface_polygoniser.h"

namespace {

using surface::SurfaceTest;

TEST(EdgeCaseTable, EveryRowListsItsSetBitsOnceThenMinusOne)
{
    for (int m = 0; m < NK_EDGE_CASE_ROWS; m++) {
        const int *row = NKGetEdgeCaseRow(m);
        int n = __builtin_popcount(m), seen = 0;
        for (int k = 0; k < n; k++) {
            ASSERT_TRUE(row[k] >= 0 && row[k] < 12 && ((m >> row[k]) & 1)) << m;
            seen |= 1 << row[k];
        }
        EXPECT_EQ(seen, m);
        for (int k = n; k < 12; k++) EXPECT_EQ(row[k], -1) << m;
    }
    EXPECT_EQ(NKGetEdgeCaseRow(4096), nullptr);
}

TEST(EdgeCaseTable, ListedRowsKeepTheirJoinOrder)
{
    EXPECT_EQ(NKGetNumListedEdgeCaseRows(), 150);
    struct Row {
        int iMask;
        std::vector<int> edges;
    };
    const Row rows[] = {
        {0x00f, {0, 1, 2, 3}},          {0x025, {0, 2, 5}},
        {0x036, {1, 2, 5, 4}},          {0x0cf, {0, 1, 7, 2, 3, 6}},
        {0x0f7, {0, 1, 2, 7, 6, 5, 4}}, {0x1a1, {0, 5, 8, 7}},
        {0x225, {0, 2, 9, 5}},          {0x536, {1, 4, 5, 10, 8, 2}},
        {0xb91, {0, 4, 11, 9, 8, 7}},   {0xc91, {4, 0, 7, 10, 11}},
        {0xe68, {3, 9, 10, 6, 5, 11}},  {0x5e4, {2, 5, 6, 7, 8, 10}},
    };
    for (const Row &r : rows) {
        const int *row = NKGetEdgeCaseRow(r.iMask);
        EXPECT_EQ(std::vector<int>(row, row + r.edges.size()), r.edges) << std::hex << r.iMask;
    }
    // An unreachable row lists its edges ascending.
    const int *row = NKGetEdgeCaseRow(0x841);
    EXPECT_EQ(std::vector<int>(row, row + 4), (std::vector<int>{0, 6, 11, -1}));
}

// One element of a part with the given corners and values, polygonised.
struct OneElement {
    fixtures::GeometryHolder geo{1};
    std::vector<float> values;
    std::vector<float> second;  // the iso-surface's colour result; empty: none
    CutSurfacePart cut;
    IsoSurfacePart iso;
    bool bOk = false;

    OneElement(int iType, const std::vector<float> &coords, const std::vector<float> &v) : values(v)
    {
        fixtures::SetNodes(geo.Part(0), coords);
        std::vector<int> nodes;
        for (size_t i = 0; i < v.size(); i++) nodes.push_back((int)i);
        fixtures::SetElements(geo.Part(0), {iType}, {nodes});
    }
    const NKIndexedFaceSet &Run(int iMode)
    {
        int n = 0;
        const NKPart *p = &geo.Part(0);
        CutElement *pCuts =
            NKClassifyElementNodes(p, p->pNodeCoords, values.data(), &cut, &iso, iMode, &n);
        const float *pfSecond = second.empty() ? values.data() : second.data();
        bOk = NKGenerateSurface(p, p->pNodeCoords, values.data(), pfSecond, nullptr, &cut, &iso,
                                iMode, pCuts, n);
        NKFree(pCuts);
        return iMode == NK_SURFACE_PLANE ? cut.mesh : iso.mesh;
    }
    // The midpoint of edge e of the element (the crossing at level 0.5 of 0/1 ends).
    std::vector<float> EdgeMid(int iType, int e)
    {
        int a, b;
        NKElementEdgeNodes(iType, e, &a, &b);
        const float *c = geo.Part(0).pNodeCoords;
        return {(c[3 * a] + c[3 * b]) / 2, (c[3 * a + 1] + c[3 * b + 1]) / 2,
                (c[3 * a + 2] + c[3 * b + 2]) / 2};
    }
};

const std::vector<float> kUnitHexa = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0,
                                      0, 0, 1, 1, 0, 1, 1, 1, 1, 0, 1, 1};
const std::vector<float> kUnitQuad = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};

// Cuts off the edges' midpoints tell the edge's two ends apart: at z the
// crossing lies a fraction z along each edge from its lower end.
TEST(Polygoniser, TetrahedronCutBelowOneCornerGivesTheRowsTriangle)
{
    for (float z : {0.25f, 0.5f, 0.75f}) {
        OneElement el(NK_ELEM_TETRAHEDRON, {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1}, {10, 20, 30, 40});
        el.cut.fPlanePoint[2] = z;
        const NKIndexedFaceSet &m = el.Run(NK_SURFACE_PLANE);
        ASSERT_TRUE(el.bOk);
        ASSERT_EQ(m.iNumPolygons, 1);
        ASSERT_EQ(m.piPolygonNumNodes[0], 3);  // row 0x025: edges 0, 2, 5
        const float expect[3][3] = {{0, 0, z}, {1 - z, 0, z}, {0, 1 - z, z}};
        // The corner values 10, 20, 30 below, 40 at the apex, a fraction z along.
        const float values[3] = {10 + 30 * z, 20 + 20 * z, 30 + 10 * z};
        for (int k = 0; k < 3; k++) {
            for (int j = 0; j < 3; j++)
                EXPECT_NEAR(surface::Node(m, k)[j], expect[k][j], 1e-6) << z << " " << k;
            EXPECT_NEAR(el.cut.pfValues[k], values[k], 1e-4) << z << " " << k;
        }
    }
}

// Level 0.5 over 0/1 corner values: each polygon's nodes are the midpoints of
// the row's edges, in row order.
TEST(Polygoniser, LevelCutsFollowTheRowOrder)
{
    struct Case {
        int iType;
        std::vector<float> coords, values;
        std::vector<int> edges;
    };
    const Case cases[] = {
        {NK_ELEM_HEXAHEDRON, kUnitHexa, {1, 0, 0, 0, 0, 1, 0, 0}, {0, 1, 7, 2, 3, 6}},
        {NK_ELEM_QUAD, kUnitQuad, {1, 0, 1, 0}, {0, 1, 2, 3}},
        {NK_ELEM_SHELL, kUnitQuad, {0, 0, 1, 1}, {1, 3}},
        {NK_ELEM_PENTAHEDRON,
         {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 1, 0, 1, 0, 1, 1},
         {0, 0, 0, 0, 1, 1},
         {0, 5, 8, 7}},
        {NK_ELEM_TRIANGLE, {0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 1}, {0, 2}},
    };
    for (const Case &c : cases) {
        OneElement el(c.iType, c.coords, c.values);
        el.iso.fLevel = 0.5f;
        const NKIndexedFaceSet &m = el.Run(NK_SURFACE_ISO);
        ASSERT_TRUE(el.bOk);
        ASSERT_EQ(m.iNumPolygons, 1) << c.iType;
        ASSERT_EQ(m.piPolygonNumNodes[0], (int)c.edges.size()) << c.iType;
        for (size_t k = 0; k < c.edges.size(); k++) {
            std::vector<float> mid = el.EdgeMid(c.iType, c.edges[k]);
            for (int j = 0; j < 3; j++)
                EXPECT_FLOAT_EQ(surface::Node(m, (int)k)[j], mid[j]) << c.iType << " " << k;
        }
    }
}

// An iso-surface coloured by a second result: each crossing takes that
// result from its edge's two corners, weighted towards the corner it lies
// nearer to. Over corner values 0 and 4, level 1 lies a quarter of the way
// from the corner of value 0, level 3 a quarter from the corner of value 4.
TEST(Polygoniser, LevelColoursWeighTheNearerCornerMost)
{
    const struct {
        float fLevel;
        std::vector<float> values, colours;
        float fAlong;  // how far each crossing lies from corner 0
        float fColour;
    } cases[] = {
        {1, {0, 4, 4}, {10, 20, 20}, 0.25f, 12.5f},
        {3, {0, 4, 4}, {10, 20, 20}, 0.75f, 17.5f},
        {1, {4, 0, 0}, {20, 10, 10}, 0.75f, 12.5f},
        {3, {4, 0, 0}, {20, 10, 10}, 0.25f, 17.5f},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.fLevel);
        OneElement el(NK_ELEM_TRIANGLE, {0, 0, 0, 1, 0, 0, 0, 1, 0}, c.values);
        el.second = c.colours;
        el.iso.fLevel = c.fLevel;
        const NKIndexedFaceSet &m = el.Run(NK_SURFACE_ISO);
        ASSERT_TRUE(el.bOk);
        ASSERT_EQ(m.iNumPolygons, 1);
        ASSERT_EQ(m.iNumNodes, 2);
        ASSERT_NE(el.iso.pfColorValues, nullptr);
        // The crossings lie on edges 0-1 and 0-2 (along x and along y).
        for (int k = 0; k < 2; k++) {
            EXPECT_NEAR(surface::Node(m, k)[0] + surface::Node(m, k)[1], c.fAlong, 1e-6) << k;
            EXPECT_FLOAT_EQ(el.iso.pfColorValues[k], c.fColour) << k;
        }
    }
}

TEST(Polygoniser, CornerOnThePlaneCountsBelowIt)
{
    OneElement el(NK_ELEM_HEXAHEDRON, kUnitHexa, std::vector<float>(8, 0));
    const float p[3] = {1, 1, 1}, n[3] = {1, 1, 1};
    std::memcpy(el.cut.fPlanePoint, p, sizeof(p));
    std::memcpy(el.cut.fPlaneNormal, n, sizeof(n));
    const NKIndexedFaceSet &m = el.Run(NK_SURFACE_PLANE);
    EXPECT_TRUE(el.bOk);
    EXPECT_EQ(m.iNumPolygons, 0);
    // An edge whose ends have equal values takes the tiny denominator.
    float out[3], value;
    NKInterpolateIsoEdge(1.0f, p, n, 2.0f, 2.0f, 0, 0, nullptr, nullptr, out, &value, nullptr);
    EXPECT_TRUE(std::isfinite(out[0]));
}

// An undefined corner value (the undefined value, NaN or an infinity) keeps
// the iso-surface out of its element, and a plane cut across an edge to it
// gets an undefined value there; the other crossings interpolate.
TEST(Polygoniser, UndefinedCornerValuesHaveNoLevelAndCutUndefined)
{
    const std::vector<float> kTetra = {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1};
    OneElement good(NK_ELEM_TETRAHEDRON, kTetra, {10, 20.5f, 30, 40});
    good.iso.fLevel = 20;
    EXPECT_EQ(good.Run(NK_SURFACE_ISO).iNumPolygons, 1);
    for (float fBad : {NK_UNDEFINED, NAN, -INFINITY, INFINITY}) {
        SCOPED_TRACE(fBad);
        OneElement iso(NK_ELEM_TETRAHEDRON, kTetra, {10, fBad, 30, 40});
        iso.iso.fLevel = 20;
        EXPECT_EQ(iso.Run(NK_SURFACE_ISO).iNumPolygons, 0);
        EXPECT_TRUE(iso.bOk);
        OneElement cut(NK_ELEM_TETRAHEDRON, kTetra, {10, fBad, 30, 40});
        cut.cut.fPlanePoint[2] = 0.5f;
        ASSERT_EQ(cut.Run(NK_SURFACE_PLANE).iNumPolygons, 1);
        // The crossings of edges 0-3, 1-3 and 2-3, halfway up.
        EXPECT_FLOAT_EQ(cut.cut.pfValues[0], 25);
        EXPECT_EQ(cut.cut.pfValues[1], NK_UNDEFINED_VALUE);
        EXPECT_FLOAT_EQ(cut.cut.pfValues[2], 35);
    }
}

TEST(Polygoniser, BadModesAndRecordsFail)
{
    OneElement el(NK_ELEM_QUAD, kUnitQuad, {1, 0, 1, 0});
    int n = 7;
    const NKPart *p = &el.geo.Part(0);
    EXPECT_EQ(NKClassifyElementNodes(p, p->pNodeCoords, el.values.data(), nullptr, &el.iso, 0, &n),
              nullptr);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(NKClassifyElementNodes(p, p->pNodeCoords, el.values.data(), &el.cut, &el.iso, 2, &n),
              nullptr);
    EXPECT_FALSE(NKGenerateSurface(p, p->pNodeCoords, el.values.data(), nullptr, nullptr, nullptr,
                                   &el.iso, 1, nullptr, 0));
    // An element whose node lies outside the part is never cut.
    el.geo.Part(0).pElementConnects[3] = 99;
    CutElement *pCuts =
        NKClassifyElementNodes(p, p->pNodeCoords, el.values.data(), nullptr, &el.iso, 1, &n);
    EXPECT_EQ(n, 0);
    NKFree(pCuts);
}

class PlaneCuts : public SurfaceTest {
protected:
    // Cuts part 0 of frame 0 of an n-block of cell size fCell into pRecord.
    void Cut(int n, float fCell, const float point[3], const float normal[3],
             CutSurfacePart *pRecord)
    {
        NKGeometry *pGeo = surface::MakeBlock(n, fCell);
        auto field = [](float x, float, float) { return x; };
        NKFrame *f = Frames(1, pGeo, surface::MakeScalar(pGeo, field));
        std::memcpy(pRecord->fPlanePoint, point, 3 * sizeof(float));
        std::memcpy(pRecord->fPlaneNormal, normal, 3 * sizeof(float));
        ASSERT_TRUE(NKComputePartCutSurface(f, 0, pRecord));
    }
    CutSurfacePart m_Record;
};

TEST_F(PlaneCuts, CentralPlaneOfAUnitHexahedronIsOneHexagon)
{
    const float p[3] = {0.5f, 0.5f, 0.5f}, n[3] = {1, 1, 1};
    Cut(1, 1.0f, p, n, &m_Record);
    const NKIndexedFaceSet &m = m_Record.mesh;
    ASSERT_EQ(m.iNumPolygons, 1);
    ASSERT_EQ(m.piPolygonNumNodes[0], 6);
    const float expect[6][3] = {{1, 0, 0.5f}, {1, 0.5f, 0}, {0.5f, 1, 0},
                                {0, 1, 0.5f}, {0, 0.5f, 1}, {0.5f, 0, 1}};
    for (int k = 0; k < 6; k++)
        for (int j = 0; j < 3; j++)
            EXPECT_NEAR(surface::Node(m, m.piConnects[k])[j], expect[k][j], 1e-6);
}

TEST_F(PlaneCuts, HorizontalPlanesThroughABlock)
{
    for (float z : {0.375f, 0.5f}) {
        const float p[3] = {0, 0, z}, n[3] = {0, 0, 1};
        CutSurface cut;
        cut.iNumParts = 1;
        cut.pParts = new CutSurfacePart[1];
        Cut(4, 0.25f, p, n, &cut.pParts[0]);
        const NKIndexedFaceSet &m = cut.pParts[0].mesh;
        EXPECT_EQ(m.iNumPolygons, 16) << z;  // at a node layer: the layer above only
        EXPECT_EQ(surface::CountPolygons(m, 4), 16);
        EXPECT_EQ(m.iNumNodes, 64);
        double v[3];
        EXPECT_DOUBLE_EQ(surface::MeshArea(m, v), 1.0);
        EXPECT_DOUBLE_EQ(v[2], 1.0);  // every polygon faces +z
        for (int k = 0; k < m.iNumNodes; k++) EXPECT_EQ(surface::Node(m, k)[2], z);
        NKUpdateCutSurfaceEdges(&cut);
        EXPECT_EQ(cut.bEdgesFound, 1);
        ASSERT_NE(m.pbEdgeType, nullptr);
        std::vector<uint8_t> marks(m.pbEdgeType, m.pbEdgeType + m.iConnectLength);
        EXPECT_EQ(surface::CountValue(marks, 1), 16);
        EXPECT_EQ(surface::CountValue(marks, 0), 48);
        NKFreeCutSurfaceHeader(&cut);
    }
}

TEST_F(PlaneCuts, DiagonalPlaneThroughTheCentreOfAThreeBlock)
{
    const float p[3] = {0.5f, 0.5f, 0.5f}, n[3] = {1, 1, 1};
    Cut(3, 1.0f / 3.0f, p, n, &m_Record);
    const NKIndexedFaceSet &m = m_Record.mesh;
    EXPECT_EQ(m.iNumPolygons, 19);
    EXPECT_EQ(surface::CountPolygons(m, 3), 12);
    EXPECT_EQ(surface::CountPolygons(m, 6), 7);
    EXPECT_EQ(m.iNumNodes, 78);
    EXPECT_NEAR(surface::MeshArea(m), 3.0 * std::sqrt(3.0) / 4.0, 1e-5);
    surface::Merged merged = surface::MergeAndMark(m);
    EXPECT_EQ(merged.iDistinct, 30);
    EXPECT_EQ(surface::CountValue(merged.marks, 1), 18);
    EXPECT_EQ(surface::CountValue(merged.marks, 0), 60);
}

class LevelSurfaces : public SurfaceTest {
protected:
    IsoSurfacePart &Iso(int n, float fCell, const surface::Field &field, float fLevel)
    {
        NKGeometry *pGeo = surface::MakeBlock(n, fCell);
        NKFrame *f = Frames(1, pGeo, surface::MakeScalar(pGeo, field));
        f->pIsoSurfaces = new IsoSurfacePart[1];
        f->iNumIsoSurfaces = 1;
        f->pIsoSurfaces[0].fLevel = fLevel;
        EXPECT_TRUE(NKComputePartIsoSurface(f, 0));
        return f->pIsoSurfaces[0];
    }
};

TEST_F(LevelSurfaces, LinearFieldGivesTheDiagonalPlane)
{
    IsoSurfacePart &r = Iso(
        3, 1.0f / 3.0f, [](float x, float y, float z) { return x + y + z; }, 1.5f);
    const NKIndexedFaceSet &m = r.mesh;
    EXPECT_EQ(m.iNumPolygons, 19);
    EXPECT_EQ(surface::CountPolygons(m, 3), 12);
    EXPECT_EQ(m.iNumNodes, 78);
    for (int k = 0; k < m.iNumNodes; k++) {
        const float *c = surface::Node(m, k);
        EXPECT_NEAR(c[0] + c[1] + c[2], 1.5, 1e-6);
    }
    ASSERT_NE(r.pPolygonNormals, nullptr);
    for (int p = 0; p < m.iNumPolygons; p++) {
        float nrm[3];
        NKUnpackNormal(nrm, r.pPolygonNormals + 3 * p);
        for (int j = 0; j < 3; j++) EXPECT_NEAR(std::fabs(nrm[j]), 1.0 / std::sqrt(3.0), 0.01);
    }
    EXPECT_EQ(r.pColors, nullptr);  // one colour for the whole surface
}

TEST_F(LevelSurfaces, SphereFieldGivesAClosedSurface)
{
    auto field = [](float x, float y, float z) {
        return (x - 2) * (x - 2) + (y - 2) * (y - 2) + (z - 2) * (z - 2);
    };
    IsoSurfacePart &r = Iso(4, 1.0f, field, 1.5f);
    const NKIndexedFaceSet &m = r.mesh;
    EXPECT_EQ(m.iNumPolygons, 32);
    EXPECT_EQ(surface::CountPolygons(m, 6), 8);
    EXPECT_EQ(surface::CountPolygons(m, 3), 24);
    EXPECT_EQ(m.iNumNodes, 120);
    float fMaxX = -1e12f;
    for (int k = 0; k < m.iNumNodes; k++) fMaxX = std::max(fMaxX, surface::Node(m, k)[0]);
    EXPECT_FLOAT_EQ(fMaxX, 3.0f + 1.0f / 6.0f);
    EXPECT_FLOAT_EQ(r.fMax[0], 3.0f + 1.0f / 6.0f);
    EXPECT_FLOAT_EQ(r.fMin[2], 1.0f - 1.0f / 6.0f);
    surface::Merged merged = surface::MergeAndMark(m);
    EXPECT_EQ(merged.iDistinct, 30);
    EXPECT_EQ(surface::CountValue(merged.marks, 0), 120);
}

}  // namespace

namespace {

// The cut of a frame's part a quarter of the way up a tetrahedron: each cut
// point carries the value a quarter along its edge, and the fringe colour
// and texture coordinate of that value over the model's fringe range, so a
// cut drawn with textures shows the same bands as one drawn with colours.
class CutColours : public SurfaceTest {};

TEST_F(CutColours, CutPointsOffTheMidpointCarryTheirValuesColoursAndTextureCoordinates)
{
    const NKLoadHooks savedLoad = NKGetLoadHooks();
    NKInstallNodeColorHooks(true);
    NKResetFringeColors();
    NKGeometry *pGeo = NKCreateGeometry(1);
    fixtures::SetNodes(pGeo->pParts[0], {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1});
    fixtures::SetElements(pGeo->pParts[0], {NK_ELEM_TETRAHEDRON}, {{0, 1, 2, 3}});
    const float afCorner[4] = {10, 20, 30, 40};
    NKScalarResult *pScalar = surface::MakeScalar(pGeo, [&](float x, float y, float z) {
        return x > 0.5f   ? afCorner[1]
               : y > 0.5f ? afCorner[2]
               : z > 0.5f ? afCorner[3]
                          : afCorner[0];
    });
    NKFrame *pFrame = Frames(1, pGeo, pScalar);
    g_pModel->fFringeRangeFrom = 10.0f;
    g_pModel->fFringeRangeTo = 40.0f;
    CutSurfacePart cut;
    cut.fPlanePoint[2] = 0.25f;
    ASSERT_TRUE(NKComputePartCutSurface(pFrame, 0, &cut));
    ASSERT_EQ(cut.mesh.iNumNodes, 3);
    ASSERT_NE(cut.pColors, nullptr);
    ASSERT_NE(cut.pfTexCoords, nullptr);
    // Each point by where it lies: on the edge from corner 0, 1 or 2 up to
    // the apex; its value, texture coordinate over [10, 40] and the colour
    // of that band edge (cyan, green and yellow at a quarter, half and three
    // quarters of the range).
    const struct {
        float x, y, fValue, fTex;
        uint8_t auColor[3];
    } expected[] = {
        {0.0f, 0.0f, 17.5f, 0.25f, {0, 255, 255}},
        {0.75f, 0.0f, 25.0f, 0.5f, {0, 255, 0}},
        {0.0f, 0.75f, 32.5f, 0.75f, {255, 255, 0}},
    };
    int iFound = 0;
    for (int n = 0; n < 3; n++) {
        const float *p = surface::Node(cut.mesh, n);
        EXPECT_NEAR(p[2], 0.25f, 1e-6f);
        for (const auto &e : expected) {
            if (std::fabs(p[0] - e.x) > 1e-5f || std::fabs(p[1] - e.y) > 1e-5f) continue;
            iFound++;
            SCOPED_TRACE(e.fValue);
            EXPECT_NEAR(cut.pfValues[n], e.fValue, 1e-4f);
            EXPECT_NEAR(cut.pfTexCoords[n], e.fTex, 1e-5f);
            for (int k = 0; k < 3; k++) EXPECT_NEAR(cut.pColors[3 * n + k], e.auColor[k], 1) << k;
        }
    }
    EXPECT_EQ(iFound, 3);
    NKInstallNodeColorHooks(false);
    NKSetLoadHooks(savedLoad);
}

}  // namespace
