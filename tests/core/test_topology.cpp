// tests/core/test_topology.cpp -- element faces and edges over a part's
// connectivity, face keys, the neighbour search and point location.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "core/nk_diagnostic.h"
#include "core/nk_element_types.h"
#include "core/nk_memory.h"
#include "core/nk_sort.h"
#include "core/nk_topology.h"
#include "tests/core/mesh_fixtures.h"

using namespace fixtures;

namespace {

// Two unit hexahedra side by side along x (nodes of a 2 x 1 x 1 grid).
void MakeTwoHexahedra(NKPart &part)
{
    SetNodes(part, GridNodes(2, 1, 1));
    SetElements(part, {8, 8}, GridHexahedra(2, 1, 1));
}

std::vector<int> Four(const int *p) { return std::vector<int>(p, p + 4); }

}  // namespace

TEST(PartElementTopology, FaceNodesMapThroughTheConnectivity)
{
    GeometryHolder g(1);
    MakeTwoHexahedra(g.Part(0));
    int ai[4];
    // Element 1 has corners 1 2 5 4 7 8 11 10; its face 0 is corners 3 2 1 0.
    NKPartElementFaceCorners(&g.Part(0), 1, 0, ai);
    EXPECT_EQ(Four(ai), (std::vector<int>{4, 5, 2, 1}));
    int a = -9, b = -9;
    NKPartElementEdgeNodes(&g.Part(0), 1, 0, &a, &b);  // local (1,5)
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 8);
    NKPartElementFaceCorners(&g.Part(0), 2, 0, ai);  // no element 2
    EXPECT_EQ(Four(ai), (std::vector<int>{-1, -1, -1, -1}));
    a = b = -9;
    NKPartElementEdgeNodes(&g.Part(0), -1, 0, &a, &b);
    EXPECT_EQ(a, -9);  // nothing written
    NKPartElementEdgeNodes(nullptr, 0, 0, &a, &b);
    EXPECT_EQ(b, -9);
}

TEST(PartElementTopology, KeysAreNodeMapEntriesSortedAscending)
{
    GeometryHolder g(1);
    MakeTwoHexahedra(g.Part(0));
    std::vector<int> map;
    for (int n = 0; n < 12; n++) map.push_back(500 - n);
    SetNodeMap(g.Part(0), map);
    int ai[4];
    NKPartElementFaceCornerKeys(&g.Part(0), 1, 0, ai);  // nodes 4 5 2 1
    EXPECT_EQ(Four(ai), (std::vector<int>{495, 496, 498, 499}));
    int aiAll[8];
    NKPartElementFaceNodeKeys(&g.Part(0), 0, 1, aiAll);  // nodes 6 7 10 9
    EXPECT_EQ(std::vector<int>(aiAll, aiAll + 8),
              (std::vector<int>{490, 491, 493, 494, -1, -1, -1, -1}));
}

TEST(PartElementTopology, ShortConnectivityGivesMinusOneNotAnOverrun)
{
    GeometryHolder g(1);
    NKPart &part = g.Part(0);
    SetNodes(part, GridNodes(1, 1, 1));
    SetElements(part, {8}, {{0, 1, 2, 3, 4}});  // five of eight nodes
    int ai[4];
    NKPartElementFaceCorners(&part, 0, 1, ai);  // local 4 5 6 7
    EXPECT_EQ(Four(ai), (std::vector<int>{4, -1, -1, -1}));
}

TEST(PartElementTopology, FaceNormalsPointOutOfTheElement)
{
    GeometryHolder g(1);
    MakeTwoHexahedra(g.Part(0));
    FrameOf f(g.pGeo);
    float afNormals[18];
    NKComputeElementFaceNormals(&f.frame, 0, 0, afNormals);
    const float expected[6][3] = {{0, 0, -1}, {0, 0, 1}, {0, -1, 0},
                                  {1, 0, 0},  {0, 1, 0}, {-1, 0, 0}};
    for (int i = 0; i < 6; i++)
        for (int k = 0; k < 3; k++) EXPECT_NEAR(afNormals[3 * i + k], expected[i][k], 1e-6);
    float afUntouched[3] = {7, 7, 7};
    NKComputeElementFaceNormals(&f.frame, 1, 0, afUntouched);  // no part 1
    EXPECT_EQ(afUntouched[0], 7.0f);
}

TEST(NodeListHash, LargeNodeNumbersNeverGiveANegativeBucket)
{
    const int aiKeys[4] = {INT_MAX, INT_MAX - 1, INT_MAX - 2, INT_MAX - 3};
    int h = NKHashNodeList(aiKeys, 4, 1000003);
    EXPECT_GE(h, 0);
    EXPECT_LT(h, 1000003);
    // The weighted sum in 64 bits, taken modulo the table size.
    long long s =
        13LL * INT_MAX + 769LL * (INT_MAX - 1) + 97LL * (INT_MAX - 2) + 5LL * (INT_MAX - 3);
    EXPECT_EQ(h, (int)(s % 1000003));
    const int aiNeg[2] = {-1, -2};
    EXPECT_EQ(NKHashNodeList(aiNeg, 2, 100), (13 + 2 * 769) % 100);
    EXPECT_EQ(NKHashNodeList(aiKeys, 4, 0), 0);
}

TEST(NeighbourSearch, TwoHexahedraAreNeighboursAcrossTheSharedFace)
{
    GeometryHolder g(1);
    MakeTwoHexahedra(g.Part(0));
    FrameOf f(g.pGeo);
    int iCount = 0;
    NKElementNeighbourRecord *pRec = NKBuildElementNeighbours(&f.frame, &iCount);
    ASSERT_NE(pRec, nullptr);
    ASSERT_EQ(iCount, 2);
    // Face 3 (+x) of element 0 is face 5 (-x) of element 1.
    EXPECT_EQ(pRec[0].iNeighbours[3][0], 1);
    EXPECT_EQ(pRec[0].iNeighbours[3][1], 5);
    EXPECT_EQ(pRec[1].iNeighbours[5][0], 0);
    EXPECT_EQ(pRec[1].iNeighbours[5][1], 3);
    for (int i = 0; i < 6; i++) {
        EXPECT_EQ(pRec[0].iNeighbours[i][0], i == 3 ? 1 : -1);
        EXPECT_EQ(pRec[1].iNeighbours[i][0], i == 5 ? 0 : -1);
    }
    EXPECT_NEAR(pRec[1].fFaceNormals[3][0], 1.0f, 1e-6);
    // The part had no node map: the search gave it one.
    EXPECT_NE(g.Part(0).pNodeMap, nullptr);
    NKFree(pRec);
}

TEST(NeighbourSearch, FacesMatchAcrossPartsThroughTheNodeMaps)
{
    GeometryHolder g(2);
    SetNodes(g.Part(0), GridNodes(1, 1, 1));
    SetElements(g.Part(0), {8}, GridHexahedra(1, 1, 1));
    SetNodeMap(g.Part(0), {0, 1, 3, 4, 6, 7, 9, 10});
    SetNodes(g.Part(1), GridNodes(1, 1, 1, 1.0f));
    SetElements(g.Part(1), {8}, GridHexahedra(1, 1, 1));
    SetNodeMap(g.Part(1), {1, 2, 4, 5, 7, 8, 10, 11});
    FrameOf f(g.pGeo);
    int iCount = 0;
    NKElementNeighbourRecord *pRec = NKBuildElementNeighbours(&f.frame, &iCount);
    ASSERT_EQ(iCount, 2);
    EXPECT_EQ(pRec[1].iPart, 1);
    EXPECT_EQ(pRec[1].iElement, 0);
    EXPECT_EQ(pRec[0].iNeighbours[3][0], 1);
    EXPECT_EQ(pRec[1].iNeighbours[5][0], 0);
    NKFree(pRec);
}

TEST(NeighbourSearch, PartsWithoutNodeMapsAreNotJoinedByAccident)
{
    // Two separate cubes whose part-local numbers coincide: without maps a
    // shared running index keeps them apart.
    GeometryHolder g(2);
    for (int p = 0; p < 2; p++) {
        SetNodes(g.Part(p), GridNodes(1, 1, 1, 5.0f * p));
        SetElements(g.Part(p), {8}, GridHexahedra(1, 1, 1));
    }
    FrameOf f(g.pGeo);
    int iCount = 0;
    NKElementNeighbourRecord *pRec = NKBuildElementNeighbours(&f.frame, &iCount);
    ASSERT_EQ(iCount, 2);
    for (int r = 0; r < 2; r++)
        for (int i = 0; i < 6; i++) EXPECT_EQ(pRec[r].iNeighbours[i][0], -1);
    EXPECT_EQ(g.Part(1).pNodeMap[0], 8);
    EXPECT_EQ(g.pGeo->iGlobalNumNodes, 16);
    NKFree(pRec);
}

TEST(NeighbourSearch, ShellsAndMismatchedFacesNeverPair)
{
    GeometryHolder g(1);
    NKPart &part = g.Part(0);
    // A hexahedron, a shell on its +x face, a second shell on the same nodes,
    // and a tetrahedron whose face 3-2-0 has three of the -x face's corners.
    SetNodes(part, GridNodes(1, 1, 1));
    SetElements(part, {8, 14, 14, 6},
                {{0, 1, 3, 2, 4, 5, 7, 6}, {1, 3, 7, 5}, {1, 3, 7, 5}, {0, 6, 4, 2}});
    FrameOf f(g.pGeo);
    int iCount = 0;
    NKElementNeighbourRecord *pRec = NKBuildElementNeighbours(&f.frame, &iCount);
    ASSERT_EQ(iCount, 4);
    for (int r = 0; r < 4; r++)
        for (int i = 0; i < NKElementFaceCount(part.pElements[r].iType); i++)
            EXPECT_EQ(pRec[r].iNeighbours[i][0], -1) << "record " << r << " face " << i;
    NKFree(pRec);
}

TEST(NeighbourSearch, FailsCleanlyWithoutElements)
{
    GeometryHolder g(1);
    SetNodes(g.Part(0), GridNodes(1, 1, 1));
    FrameOf f(g.pGeo);
    int iCount = 5;
    EXPECT_EQ(NKBuildElementNeighbours(&f.frame, &iCount), nullptr);
    EXPECT_EQ(iCount, 0);
    EXPECT_EQ(NKBuildElementNeighbours(nullptr, &iCount), nullptr);
}

TEST(NeighbourSearch, BeamsOnlyGiveRecordsWithoutNeighbours)
{
    GeometryHolder g(1);
    SetNodes(g.Part(0), {0, 0, 0, 1, 0, 0, 2, 0, 0});
    SetElements(g.Part(0), {0, 0}, {{0, 1}, {1, 2}});
    FrameOf f(g.pGeo);
    int iCount = 0;
    NKElementNeighbourRecord *pRec = NKBuildElementNeighbours(&f.frame, &iCount);
    ASSERT_NE(pRec, nullptr);
    EXPECT_EQ(iCount, 2);
    EXPECT_EQ(pRec[1].iNeighbours[0][0], -1);
    NKFree(pRec);
}

TEST(PointLocation, FindsTheElementAndTheFaceAPointLiesOn)
{
    GeometryHolder g(1);
    MakeTwoHexahedra(g.Part(0));
    FrameOf f(g.pGeo);
    int iCount = 0;
    NKElementNeighbourRecord *pRec = NKBuildElementNeighbours(&f.frame, &iCount);
    int iFace = 99;
    const float pInside[3] = {1.5f, 0.5f, 0.5f};
    EXPECT_EQ(NKFindElementContainingPoint(&f.frame, pRec, iCount, pInside, &iFace), 1);
    EXPECT_EQ(iFace, -1);
    // On the shared face: the first element in record order, with its face 3.
    const float pShared[3] = {1.0f, 0.5f, 0.5f};
    EXPECT_EQ(NKFindElementContainingPoint(&f.frame, pRec, iCount, pShared, &iFace), 0);
    EXPECT_EQ(iFace, 3);
    const float pOutside[3] = {3.0f, 0.5f, 0.5f};
    EXPECT_EQ(NKFindElementContainingPoint(&f.frame, pRec, iCount, pOutside, &iFace), -1);
    EXPECT_EQ(iFace, -1);
    EXPECT_EQ(NKFindElementContainingPoint(&f.frame, pRec, 0, pInside, &iFace), -1);
    EXPECT_EQ(NKFindElementContainingPoint(nullptr, pRec, iCount, pInside, &iFace), -1);
    NKFree(pRec);
}

TEST(PointLocation, OnlySolidsHoldPoints)
{
    GeometryHolder g(1);
    // A diagonal beam whose corner box holds the point, and a tetrahedron.
    SetNodes(g.Part(0), {0, 0, 0, 2, 2, 2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1});
    SetElements(g.Part(0), {0, 6}, {{0, 1}, {2, 3, 4, 5}});
    FrameOf f(g.pGeo);
    int iCount = 0;
    NKElementNeighbourRecord *pRec = NKBuildElementNeighbours(&f.frame, &iCount);
    int iFace = 0;
    const float p[3] = {0.2f, 0.2f, 0.1f};
    EXPECT_EQ(NKFindElementContainingPoint(&f.frame, pRec, iCount, p, &iFace), 1);
    const float q[3] = {1.5f, 0.2f, 0.1f};
    EXPECT_EQ(NKFindElementContainingPoint(&f.frame, pRec, iCount, q, &iFace), -1);
    NKFree(pRec);
}

TEST(FacePairing, SameKeysWithDifferentCornerCountsDoNotPair)
{
    // A tetrahedron and a hexahedron whose faces share the keys 0 2 4, put
    // into one bucket by hand.
    GeometryHolder g(1);
    SetNodes(g.Part(0), GridNodes(1, 1, 1));
    SetElements(g.Part(0), {6, 8}, {{0, 2, 4, 6}, {0, 1, 3, 2, 4, 5, 7, 6}});
    FrameOf f(g.pGeo);
    NKElementNeighbourRecord recs[2];
    for (int r = 0; r < 2; r++) {
        recs[r].iPart = 0;
        recs[r].iElement = r;
        NKInitFaceNeighbours(recs[r].iNeighbours);
    }
    const NKElementFaceRecord faces[3] = {
        {0, 0, {0, 2, 4, -1}}, {1, 5, {0, 2, 4, 6}}, {1, 1, {0, 2, 4, 6}}};
    ASSERT_TRUE(NKBucketListInit(3, 1));
    for (int i = 0; i < 3; i++) NKBucketListAdd(0, i);
    NKPairElementFaces(&f.frame, recs, 2, faces, 3, NKGetBucketList()->ppHeads, 1);
    NKBucketListFree();
    EXPECT_EQ(recs[0].iNeighbours[0][0], -1);
    // Faces 5 and 1 of the hexahedron carry equal keys here: they pair with
    // each other, both ways.
    EXPECT_EQ(recs[1].iNeighbours[5][0], 1);
    EXPECT_EQ(recs[1].iNeighbours[5][1], 1);
    EXPECT_EQ(recs[1].iNeighbours[1][1], 5);
}
