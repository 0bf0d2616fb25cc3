// tests/core/test_mesh.cpp -- the indexed face set record and the mesh
// utilities: node merging, orientation, internal faces, unused nodes, local
// numbering, element faces, user ID maps, results from global arrays and the
// geometry polygon map.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/nk_memory.h"
#include "core/nk_mesh.h"
#include "core/nk_numeric.h"
#include "tests/core/mesh_fixtures.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nk_test_records.h"

using namespace fixtures;

namespace {

// Owns a face set built from a list of polygons over iNodes nodes.
struct FaceSet {
    NKIndexedFaceSet ifs;
    FaceSet(int iNodes, const std::vector<std::vector<int>> &polys,
            const std::vector<float> &coords = {})
    {
        NKInitPolygonMesh(&ifs);
        ifs.iNumNodes = iNodes;
        ifs.pfCoords =
            AllocCopy(coords.empty() ? std::vector<float>(3 * (size_t)iNodes, 0.0f) : coords);
        ifs.iNumPolygons = (int)polys.size();
        ifs.piPolygonStart = (int *)NKAlloc(sizeof(int) * polys.size());
        ifs.piPolygonNumNodes = (int *)NKAlloc(sizeof(int) * polys.size());
        std::vector<int> conn;
        for (size_t p = 0; p < polys.size(); p++) {
            ifs.piPolygonStart[p] = (int)conn.size();
            ifs.piPolygonNumNodes[p] = (int)polys[p].size();
            conn.insert(conn.end(), polys[p].begin(), polys[p].end());
        }
        ifs.iConnectLength = (int)conn.size();
        ifs.piConnects = AllocCopy(conn);
    }
    ~FaceSet() { NKFreePolygonMesh(&ifs); }
    std::vector<int> Polygon(int p) const
    {
        return NKTestValues(ifs.piConnects + ifs.piPolygonStart[p], ifs.piPolygonNumNodes[p]);
    }
    int Kept() const
    {
        int n = 0;
        for (int p = 0; p < ifs.iNumPolygons; p++) n += ifs.pbKeep[p];
        return n;
    }
};

// The faces of the hexahedra of a grid, six quadrilaterals each.
std::vector<std::vector<int>> HexahedronFaces(int nx, int ny, int nz)
{
    std::vector<std::vector<int>> faces;
    for (const auto &hexa : GridHexahedra(nx, ny, nz)) {
        int aiFaces[24];
        NKGetHexaFaces(aiFaces, hexa.data(), false);
        for (int f = 0; f < 6; f++)
            faces.push_back(std::vector<int>(aiFaces + 4 * f, aiFaces + 4 * f + 4));
    }
    return faces;
}

}  // namespace

TEST(PolygonMeshRecord, InitClearsAndFreeReleasesEveryArray)
{
    NKIndexedFaceSet ifs;
    NKInitPolygonMesh(&ifs);
    EXPECT_EQ(ifs.iNumNodes, 0);
    EXPECT_EQ(ifs.piConnects, nullptr);
    EXPECT_EQ(ifs.bFromElements, 1);
    EXPECT_EQ(ifs.bNodesNotCompacted, 1);
    ifs.pbEdgeType = static_cast<unsigned char *>(NKAlloc(16));
    ifs.pbVisibility = (unsigned char *)NKAlloc(4);
    ifs.piSortedConnects = (int *)NKAlloc(16);
    ifs.iNumPolygons = 4;
    ifs.bFromElements = 0;
    NKFreePolygonMesh(&ifs);  // the sanitizer sees any leak
    EXPECT_EQ(ifs.pbEdgeType, nullptr);
    EXPECT_EQ(ifs.iNumPolygons, 0);
    EXPECT_EQ(ifs.bFromElements, 1);
    NKInitPolygonMesh(nullptr);
    NKFreePolygonMesh(nullptr);
}

TEST(MergeCoincidentNodes, NodesWithinTheToleranceMerge)
{
    float coords[4][3] = {{0, 0, 0}, {0.000005f, 0, 0}, {1, 0, 0}, {1.00002f, 0, 0}};
    std::vector<int> conn = {1, 0, 3, 2, 1, 3};
    ASSERT_TRUE(NKMergeCoincidentNodes(conn.data(), (int)conn.size(), coords, 4));
    EXPECT_EQ(conn, (std::vector<int>{0, 0, 3, 2, 0, 3}));
    EXPECT_EQ(coords[1][0], 0.000005f);  // coordinates stay
}

TEST(MergeCoincidentNodes, ARunMapsToItsFirstNodeAndBadEntriesStay)
{
    // Three copies of one point in scrambled order, and entries out of range.
    float coords[5][3] = {{2, 2, 2}, {5, 5, 5}, {2, 2, 2}, {5, 5, 5.000001f}, {2, 2, 2}};
    std::vector<int> conn = {0, 1, 2, 3, 4, -1, 5};
    ASSERT_TRUE(NKMergeCoincidentNodes(conn.data(), (int)conn.size(), coords, 5));
    EXPECT_EQ(conn[0], conn[2]);
    EXPECT_EQ(conn[0], conn[4]);
    EXPECT_EQ(conn[1], conn[3]);
    EXPECT_NE(conn[0], conn[1]);
    EXPECT_EQ(conn[5], -1);
    EXPECT_EQ(conn[6], 5);
    EXPECT_FALSE(NKMergeCoincidentNodes(nullptr, 1, coords, 5));
}

TEST(HideInternalFaces, TwoHexahedraKeepTenOfTwelveQuadrilaterals)
{
    FaceSet f(12, HexahedronFaces(2, 1, 1));
    ASSERT_TRUE(HideInternalFaces(&f.ifs));
    EXPECT_EQ(f.Kept(), 10);
    EXPECT_EQ(f.ifs.iNumKeptPolygons, 10);
    EXPECT_EQ(f.ifs.iNumKeptConnects, 40);
    // The shared face is face 4 (+x) of the first and face 5 (-x) of the second.
    EXPECT_EQ(f.ifs.pbKeep[4], 0);
    EXPECT_EQ(f.ifs.pbKeep[6 + 5], 0);
    // The connectivity itself keeps its order; the sorted copy ascends.
    EXPECT_EQ(NKTestValues(f.ifs.piSortedConnects, 4), (std::vector<int>{0, 1, 3, 4}));
}

TEST(HideInternalFaces, WholeElementsAndHiddenPolygonsAreNeverRemoved)
{
    std::vector<std::vector<int>> polys = HexahedronFaces(1, 1, 1);
    polys.push_back({1, 3, 7, 5});  // a shell on the +x face of the hexahedron
    FaceSet f(8, polys);
    f.ifs.pbWholeElement = (unsigned char *)NKCalloc(7, 1);
    f.ifs.pbWholeElement[6] = 1;
    ASSERT_TRUE(HideInternalFaces(&f.ifs));
    EXPECT_EQ(f.Kept(), 7);

    // A shell on the shared face of two hexahedra: the two volume faces still
    // go, the shell stays.
    std::vector<std::vector<int>> sandwich = HexahedronFaces(2, 1, 1);
    sandwich.insert(sandwich.begin() + 5, {1, 4, 7, 10});
    FaceSet s(12, sandwich);
    s.ifs.pbWholeElement = (unsigned char *)NKCalloc(13, 1);
    s.ifs.pbWholeElement[5] = 1;
    ASSERT_TRUE(HideInternalFaces(&s.ifs));
    EXPECT_EQ(s.Kept(), 11);
    EXPECT_EQ(s.ifs.pbKeep[5], 1);

    FaceSet h(12, HexahedronFaces(2, 1, 1));
    h.ifs.pbVisibility = (unsigned char *)NKCalloc(12, 1);
    h.ifs.pbVisibility[4] = 1;
    ASSERT_TRUE(HideInternalFaces(&h.ifs));
    EXPECT_EQ(h.Kept(), 12);
}

TEST(HideInternalFaces, IdenticalFacesAreRemovedPairwise)
{
    // Three copies of one triangle, a reversed copy of another, and a
    // quadrilateral sharing the first three nodes of the triangle.
    FaceSet f(6, {{0, 1, 2}, {2, 0, 1}, {1, 2, 0}, {3, 4, 5}, {0, 1, 2, 3}, {5, 4, 3}});
    ASSERT_TRUE(HideInternalFaces(&f.ifs));
    EXPECT_EQ(std::vector<unsigned char>(f.ifs.pbKeep, f.ifs.pbKeep + 6),
              (std::vector<unsigned char>{0, 0, 0, 0, 1, 0}));
    EXPECT_TRUE(NKIFSFacesEqual(&f.ifs, 3, 5));
    EXPECT_FALSE(NKIFSFacesEqual(&f.ifs, 0, 4));
    FaceSet empty(0, {});
    EXPECT_TRUE(HideInternalFaces(&empty.ifs));
}

TEST(OrientPolygons, PolygonsAgainstTheDirectionAreReversed)
{
    FaceSet f(4, {{0, 1, 2}, {0, 2, 1}, {0, 1, 2, 3}}, {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0});
    const float up[3] = {0, 0, 1};
    ASSERT_TRUE(NKOrientPolygons(&f.ifs, up));
    EXPECT_EQ(f.Polygon(0), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(f.Polygon(1), (std::vector<int>{1, 2, 0}));
    const float down[3] = {0, 0, -1};
    ASSERT_TRUE(NKOrientPolygons(&f.ifs, down));
    EXPECT_EQ(f.Polygon(2), (std::vector<int>{3, 2, 1, 0}));
}

TEST(RemoveUnusedNodes, UsedNodesAreKeptInAscendingOrder)
{
    std::vector<float> coords;
    for (int n = 0; n < 6; n++) coords.insert(coords.end(), {(float)n, 0, 0});
    FaceSet f(6, {{5, 0, 2}}, coords);
    f.ifs.piNodeIDs = AllocCopy(std::vector<int>{10, 11, 12, 13, 14, 15});
    ASSERT_TRUE(NKRemoveUnusedNodesFromIFS(&f.ifs));
    EXPECT_EQ(f.ifs.iNumNodes, 3);
    EXPECT_EQ(f.Polygon(0), (std::vector<int>{2, 0, 1}));
    EXPECT_EQ(NKTestValues(f.ifs.piNodeSourceIndex, 3), (std::vector<int>{0, 2, 5}));
    EXPECT_EQ(NKTestValues(f.ifs.piNodeIDs, 3), (std::vector<int>{10, 12, 15}));
    EXPECT_EQ(f.ifs.pfCoords[3 * 2], 5.0f);
    // Source indices compose over a second pass.
    f.ifs.piConnects[0] = 2;
    f.ifs.piConnects[1] = 2;
    f.ifs.piConnects[2] = 1;
    ASSERT_TRUE(NKRemoveUnusedNodesFromIFS(&f.ifs));
    EXPECT_EQ(NKTestValues(f.ifs.piNodeSourceIndex, 2), (std::vector<int>{2, 5}));
}

TEST(RemoveUnusedNodes, NodesZeroTwoFiveOfSixBecomeZeroOneTwo)
{
    FaceSet f(6, {{0, 2, 5}});
    ASSERT_TRUE(NKRemoveUnusedNodesFromIFS(&f.ifs));
    EXPECT_EQ(f.ifs.iNumNodes, 3);
    EXPECT_EQ(NKTestValues(f.ifs.piConnects, 3), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(NKTestValues(f.ifs.piNodeSourceIndex, 3), (std::vector<int>{0, 2, 5}));
    EXPECT_EQ(f.ifs.piNodeIDs, nullptr);
}

TEST(RemoveUnusedNodes, AllUsedChangesNothingAndBadInputFails)
{
    FaceSet f(3, {{0, 1, 2}});
    ASSERT_TRUE(NKRemoveUnusedNodesFromIFS(&f.ifs));
    EXPECT_EQ(f.ifs.piNodeSourceIndex, nullptr);
    FaceSet bad(3, {{0, 1, 7}});
    EXPECT_FALSE(NKRemoveUnusedNodesFromIFS(&bad.ifs));
    EXPECT_EQ(bad.ifs.iNumNodes, 3);
    EXPECT_FALSE(NKRemoveUnusedNodesFromIFS(nullptr));
}

TEST(LocalNodeArrays, RangeOfPolygonsRenumberedToTheNodesTheyUse)
{
    const int conn[] = {9, 4, 7, 4, 2, 9};
    const int starts[] = {0, 3}, counts[] = {3, 3};
    int used[10], local[6], iUsed = 0, iLocal = 0;
    ASSERT_TRUE(NKComputeLocalNodeArrays(1, 1, 10, conn, 6, starts, counts, 2, used, &iUsed, local,
                                         &iLocal));
    EXPECT_EQ(NKTestValues(used, iUsed), (std::vector<int>{2, 4, 9}));
    EXPECT_EQ(NKTestValues(local, iLocal), (std::vector<int>{1, 0, 2}));
    // A node past the node count, and a polygon past the polygon count.
    EXPECT_FALSE(NKComputeLocalNodeArrays(0, 1, 8, conn, 6, starts, counts, 2, used, &iUsed, local,
                                          &iLocal));
    EXPECT_FALSE(NKComputeLocalNodeArrays(1, 2, 10, conn, 6, starts, counts, 2, used, &iUsed, local,
                                          &iLocal));
}

TEST(LocalConnectivity, FreshTagsNeedNoClearing)
{
    std::vector<int> scratch(10, -1);
    const int first[] = {7, 3, 7, 5};
    int *piNodes = nullptr, *piLocal = nullptr, n = 0;
    ASSERT_TRUE(NKMakeLocalConnectivity(first, 4, scratch.data(), 1, &piNodes, &piLocal, &n));
    EXPECT_EQ(NKTestValues(piNodes, n), (std::vector<int>{7, 3, 5}));
    EXPECT_EQ(NKTestValues(piLocal, 4), (std::vector<int>{0, 1, 0, 2}));
    NKFree(piNodes);
    NKFree(piLocal);
    const int second[] = {5, 3, 9};
    ASSERT_TRUE(NKMakeLocalConnectivity(second, 3, scratch.data(), 2, &piNodes, &piLocal, &n));
    EXPECT_EQ(NKTestValues(piNodes, n), (std::vector<int>{5, 3, 9}));
    EXPECT_EQ(NKTestValues(piLocal, 3), (std::vector<int>{0, 1, 2}));
    NKFree(piNodes);
    NKFree(piLocal);
    EXPECT_FALSE(NKMakeLocalConnectivity(second, -1, scratch.data(), 3, &piNodes, &piLocal, &n));
    const int negative[] = {1, -1};
    EXPECT_FALSE(NKMakeLocalConnectivity(negative, 2, scratch.data(), 4, &piNodes, &piLocal, &n));
    EXPECT_EQ(NKAllocZeroedInts(0), nullptr);
    int *piZero = NKAllocZeroedInts(3);
    EXPECT_EQ(NKTestValues(piZero, 3), (std::vector<int>{0, 0, 0}));
    NKFree(piZero);
}

TEST(ElementFaceLists, FixedNodeOrdersAndOneBasedNumbers)
{
    const int hexa[8] = {11, 12, 13, 14, 15, 16, 17, 18};
    int faces[24];
    NKGetHexaFaces(faces, hexa, true);
    EXPECT_EQ(NKTestValues(faces, 8), (std::vector<int>{13, 12, 11, 10, 14, 15, 16, 17}));
    EXPECT_EQ(NKTestValues(faces + 20, 4), (std::vector<int>{10, 14, 17, 13}));
    const int tetra[4] = {0, 1, 2, 3};
    int tri[12];
    NKGetTetraFaces(tri, tetra, false);
    EXPECT_EQ(NKTestValues(tri, 12), (std::vector<int>{2, 1, 0, 0, 1, 3, 1, 2, 3, 0, 3, 2}));
    const int shell[4] = {1, 2, 3, 4}, beam[2] = {5, 9};
    int quad[4], edge[2];
    NKGetShellFace(quad, shell);
    NKGetBeamEdge(edge, beam);
    EXPECT_EQ(NKTestValues(quad, 4), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(NKTestValues(edge, 2), (std::vector<int>{4, 8}));
}

TEST(FillPolygonRun, RunGetsStartsCountsValueAndBytes)
{
    FaceSet f(8, {{0}, {0}, {0}, {0}});
    f.ifs.piPolygonElement = (int *)NKAlloc(4 * sizeof(int));
    f.ifs.pbKeep = (unsigned char *)NKCalloc(4, 1);
    f.ifs.pbWholeElement = (unsigned char *)NKCalloc(4, 1);
    ASSERT_TRUE(NKFillPolygonRun(&f.ifs, 1, 3, 4, 10, 7, 1, 0, 1));
    EXPECT_EQ(NKTestValues(f.ifs.piPolygonStart + 1, 3), (std::vector<int>{10, 14, 18}));
    EXPECT_EQ(f.ifs.piPolygonNumNodes[3], 4);
    EXPECT_EQ(f.ifs.piPolygonElement[2], 7);
    EXPECT_EQ(f.ifs.pbKeep[3], 1);
    EXPECT_EQ(f.ifs.pbKeep[0], 0);
    EXPECT_FALSE(NKFillPolygonRun(&f.ifs, 2, 3, 4, 0, 0, 0, 0, 0));
}

TEST(NodeIdMap, IDsBecomeIndicesAndUnknownIDsAreReported)
{
    const int ids[3] = {10, 20, 30};
    int order[3];
    ASSERT_TRUE(NKSortNodeIdOrder(ids, order, 3));
    std::vector<int> conn = {20, 30};
    ASSERT_TRUE(NKMapNodeIdsToIndices(ids, order, 3, conn.data(), 2));
    EXPECT_EQ(conn, (std::vector<int>{1, 2}));
    MessageCapture capture;
    std::vector<int> unknown = {10, 40};
    EXPECT_FALSE(NKMapNodeIdsToIndices(ids, order, 3, unknown.data(), 2));
    EXPECT_TRUE(capture.HasLine("Refers to node with user defined ID = 40. No such ID exists.",
                                NK_MSG_ERROR));
    EXPECT_FALSE(NKMapNodeIdsToIndices(ids, order, 0, unknown.data(), 2));
}

TEST(NodeIdMap, UnsortedIDsGetASortedOrder)
{
    const int ids[4] = {40, 10, 30, 20};
    int order[4];
    ASSERT_TRUE(NKSortNodeIdOrder(ids, order, 4));
    EXPECT_EQ(NKTestValues(order, 4), (std::vector<int>{1, 3, 2, 0}));
    std::vector<int> conn = {30, 40, 10};
    ASSERT_TRUE(NKMapNodeIdsToIndices(ids, order, 4, conn.data(), 3));
    EXPECT_EQ(conn, (std::vector<int>{2, 0, 1}));
    EXPECT_FALSE(NKSortNodeIdOrder(ids, order, 0));
}

// IDs that strictly ascend come without an order array: a run without gaps
// maps by subtraction, other ascending IDs by a search. Each case maps the
// same references with the array made as for unsorted IDs, and the two must
// agree, unknown IDs (below, inside a gap, above) failing both ways.
TEST(NodeIdMap, AscendingIDsMapWithoutAnOrderArray)
{
    struct Case {
        const char *name;
        std::vector<int> ids;
        std::vector<int> refs;
        std::vector<int> expected;  // empty: the map fails
    };
    const Case cases[] = {
        {"run from 1", {1, 2, 3, 4}, {4, 1, 3}, {3, 0, 2}},
        {"run from -2", {-2, -1, 0, 1}, {0, -2}, {2, 0}},
        {"gaps", {3, 8, 9, 40}, {40, 3, 9}, {3, 0, 2}},
        {"below a run", {5, 6, 7}, {4}, {}},
        {"above a run", {5, 6, 7}, {8}, {}},
        {"in a gap", {3, 8, 9, 40}, {10}, {}},
        {"one node", {7}, {7, 7}, {0, 0}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const int n = (int)c.ids.size();
        std::vector<int> order((size_t)n);
        ASSERT_TRUE(NKSortNodeIdOrder(c.ids.data(), order.data(), n));
        for (const int *piOrder : {(const int *)nullptr, (const int *)order.data()}) {
            std::vector<int> refs = c.refs;
            MessageCapture capture;
            bool bOk =
                NKMapNodeIdsToIndices(c.ids.data(), piOrder, n, refs.data(), (int)refs.size());
            EXPECT_EQ(bOk, !c.expected.empty());
            if (bOk)
                EXPECT_EQ(refs, c.expected);
            else
                EXPECT_TRUE(capture.Contains("No such ID exists."));
        }
    }
}

TEST(ResultsFromArrays, ValuesArePickedThroughTheNodeMap)
{
    GeometryHolder g(3);
    SetNodes(g.Part(0), GridNodes(2, 0, 0));
    SetNodeMap(g.Part(0), {2, 0, 5});
    SetElements(g.Part(0), {0, 0}, {{0, 1}, {1, 2}});
    g.Part(0).pElements[1].iGlobalIndex = 1;
    g.Part(0).pElements[0].iGlobalIndex = 7;
    SetNodes(g.Part(1), GridNodes(1, 0, 0));
    SetNodeMap(g.Part(1), {8, 9});            // beyond the values: all undefined
    SetNodes(g.Part(2), GridNodes(1, 0, 0));  // no node map
    const float values[4] = {1.5f, 2.5f, 3.5f, 4.5f}, elems[2] = {-1.0f, -2.0f};
    NKScalarResult *pResult = NKCreateScalarResultFromArrays(values, 4, elems, 2, g.pGeo);
    ASSERT_NE(pResult, nullptr);
    EXPECT_EQ(pResult->iNumParts, 3);
    const NKScalarPartEntry &e0 = pResult->pNodeResults[0];
    ASSERT_EQ(e0.iCount, 3);
    EXPECT_EQ(e0.pNodeValues[0], 3.5f);
    EXPECT_EQ(e0.pNodeValues[1], 1.5f);
    EXPECT_TRUE(NKIsUndefined(e0.pNodeValues[2]));
    EXPECT_EQ(pResult->pNodeResults[1].iCount, 0);
    EXPECT_EQ(pResult->pNodeResults[1].pNodeValues, nullptr);
    EXPECT_EQ(pResult->pNodeResults[2].iCount, 0);
    ASSERT_NE(pResult->pElementResults, nullptr);
    EXPECT_EQ(pResult->pElementResults[0].iCount, 2);
    EXPECT_TRUE(NKIsUndefined(pResult->pElementResults[0].pNodeValues[0]));
    EXPECT_EQ(pResult->pElementResults[0].pNodeValues[1], -2.0f);
    NKReleaseScalarResult(pResult);
    EXPECT_EQ(NKCreateScalarResultFromArrays(nullptr, 4, nullptr, 0, g.pGeo), nullptr);

    const float vectors[3][3] = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
    NKVectorResult *pVec = NKCreateVectorResultFromArray(vectors, 3, g.pGeo);
    ASSERT_NE(pVec, nullptr);
    EXPECT_EQ(pVec->pResults[0].iNumNodes, 3);
    EXPECT_EQ(pVec->pResults[0].pNodeValues[0], 7.0f);
    EXPECT_TRUE(NKIsUndefined(pVec->pResults[0].pNodeValues[8]));
    EXPECT_EQ(pVec->pResults[1].pNodeValues, nullptr);
    EXPECT_EQ(pVec->pResults[2].pNodeValues, nullptr);
    NKReleaseVectorResult(pVec);
}

TEST(GeometryPolygonMap, PairsInPartOrderAndCountsChecked)
{
    GeometryHolder g(2);
    SetPolygons(g.Part(0), {{0}, {0}});
    SetPolygons(g.Part(1), {{0}});
    g.pGeo->iTotalNumPolygons = 3;
    ASSERT_TRUE(NKBuildGeometryPolygonMap(g.pGeo));
    EXPECT_EQ(g.pGeo->pPolygonMap[2].iPart, 1);
    EXPECT_EQ(g.pGeo->pPolygonMap[1].iPolygon, 1);
    g.pGeo->iTotalNumPolygons = 2;  // stale total: refused, nothing written
    EXPECT_FALSE(NKBuildGeometryPolygonMap(g.pGeo));
    EXPECT_EQ(g.pGeo->pPolygonMap, nullptr);
    GeometryHolder none(-1);
    EXPECT_TRUE(NKBuildGeometryPolygonMap(none.pGeo));
}
