// tests/core/test_part_arrays.cpp -- polygon layout from raw connectivity,
// growing and appending part arrays, the polygon-to-element map, merging
// geometries, grouping parts and node IDs from node maps.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "core/nk_diagnostic.h"
#include "core/nk_element_types.h"
#include "core/nk_mesh.h"
#include "core/nk_part_arrays.h"
#include "tests/core/mesh_fixtures.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nk_test_records.h"

using namespace fixtures;

namespace {

// A one-part geometry with n nodes and a raw connectivity list.
void SetRaw(NKPart &part, int iNodes, int iPolygons, const std::vector<int> &raw)
{
    SetNodes(part, std::vector<float>(3 * (size_t)iNodes, 0.0f));
    NKFree(part.pConnects);
    part.pConnects = AllocCopy(raw);
    part.iNumConnects = (int)raw.size();
    part.iNumPolygons = iPolygons;
}

}  // namespace

TEST(PolygonLayout, RawListGivesCountsStartsAndZeroBasedNodes)
{
    GeometryHolder g(1);
    SetRaw(g.Part(0), 6, 2, {1, 2, -3, 3, 4, 5, -6});
    ASSERT_TRUE(NKComputePolygonStartAndIndex(g.pGeo));
    EXPECT_EQ(NKTestValues(g.Part(0).pPolygonNumNodes, 2), (std::vector<int>{3, 4}));
    EXPECT_EQ(NKTestValues(g.Part(0).pPolygonStart, 2), (std::vector<int>{0, 3}));
    EXPECT_EQ(NKTestValues(g.Part(0).pConnects, 7), (std::vector<int>{0, 1, 2, 2, 3, 4, 5}));
}

TEST(PolygonLayout, BadRawListsFailWithoutWritingAnything)
{
    struct Case {
        const char *pszWhat;
        int iPolygons;
        std::vector<int> raw;
    } cases[] = {
        {"too few end markers", 3, {1, 2, -3, 3, 4, 5, -6}},
        {"too many end markers", 1, {1, 2, -3, 3, 4, 5, -6}},
        {"entries after the last marker", 2, {1, 2, -3, 3, 4, -5, 6}},
        {"node number 0", 2, {1, 0, -3, 3, 4, 5, -6}},
        {"node number past the nodes", 2, {1, 2, -3, 3, 4, 5, -7}},
        {"most negative entry", 2, {1, 2, -3, 3, 4, 5, INT_MIN}},
        {"polygons but no entries", 1, {}},
    };
    for (const Case &c : cases) {
        GeometryHolder g(2);
        SetRaw(g.Part(0), 3, 1, {1, 2, -3});  // a good part before the bad one
        SetRaw(g.Part(1), 6, c.iPolygons, c.raw);
        NKResetDiagnostics();
        EXPECT_FALSE(NKComputePolygonStartAndIndex(g.pGeo)) << c.pszWhat;
        EXPECT_STREQ(NKGetLastDiagnosticFunction(), "NKComputePolygonStartAndIndex");
        EXPECT_EQ(NKTestValues(g.Part(1).pConnects, (int)c.raw.size()), c.raw) << c.pszWhat;
        EXPECT_EQ(g.Part(0).pPolygonStart, nullptr) << c.pszWhat;
        EXPECT_EQ(NKTestValues(g.Part(0).pConnects, 3), (std::vector<int>{1, 2, -3}));
    }
    GeometryHolder empty(0);
    EXPECT_FALSE(NKComputePolygonStartAndIndex(empty.pGeo));
    EXPECT_FALSE(NKComputePolygonStartAndIndex(nullptr));
}

TEST(PartNodes, AppendTakesAReversedRangeAndKeepsNodeIDs)
{
    GeometryHolder g(2);
    NKPart &src = g.Part(0), &dst = g.Part(1);
    SetNodes(src, GridNodes(5, 0, 0));  // nodes at x = 0..5
    SetNodeMap(src, {10, 11, 12, 13, 14, 15});
    SetNodes(dst, {9, 9, 9});
    SetNodeMap(dst, {7});
    SetNodeIDs(dst, {77});
    ASSERT_TRUE(NKGrowPartNodes(&dst, 4));
    EXPECT_EQ(dst.iNumNodes, 1);
    ASSERT_TRUE(NKAppendPartNodes(&dst, &src, 5, 2));
    ASSERT_EQ(dst.iNumNodes, 5);
    for (int i = 0; i < 4; i++) EXPECT_EQ(dst.pNodeCoords[3 * (i + 1)], 2.0f + i);
    EXPECT_EQ(NKTestValues(dst.pNodeMap, 5), (std::vector<int>{7, 12, 13, 14, 15}));
    // The source has no IDs: each node keeps its own (index in src + 1).
    EXPECT_EQ(NKTestValues(dst.pNodeIDs, 5), (std::vector<int>{77, 3, 4, 5, 6}));
    EXPECT_FALSE(NKAppendPartNodes(&dst, &src, 0, 6));
    EXPECT_FALSE(NKAppendPartNodes(&dst, &src, -1, 2));
}

TEST(PartElements, GrowAndAppendCopyRecordsAndNodes)
{
    GeometryHolder g(2);
    NKPart &src = g.Part(0), &dst = g.Part(1);
    SetElements(src, {2, 4}, {{0, 1, 2}, {3, 4, 5, 6}});
    EXPECT_FALSE(NKAppendPartElement(&dst, &src, 0));  // no destination array yet
    ASSERT_TRUE(NKGrowPartElements(&dst, 2, 7));
    ASSERT_TRUE(NKAppendPartElement(&dst, &src, 1));
    ASSERT_TRUE(NKAppendPartElement(&dst, &src, 0));
    EXPECT_EQ(dst.iNumElements, 2);
    EXPECT_EQ(dst.iNumElementConnects, 7);
    EXPECT_EQ(dst.pElements[0].iType, 4);
    EXPECT_EQ(dst.pElements[0].iID, 101);
    EXPECT_EQ(dst.pElements[0].iGlobalIndex, 1001);
    EXPECT_EQ(dst.pElements[1].iNodeStart, 4);
    EXPECT_EQ(NKTestValues(dst.pElementConnects, 7), (std::vector<int>{3, 4, 5, 6, 0, 1, 2}));
    EXPECT_FALSE(NKAppendPartElement(&dst, &src, 2));
}

TEST(ResultEntries, GrowAndAppendScalarAndVectorValues)
{
    NKScalarPartEntry a, b;
    b.iCount = 3;
    b.pNodeValues = AllocCopy(std::vector<float>{1, 2, 3});
    ASSERT_TRUE(NKGrowScalarPartEntry(&a, 2));
    ASSERT_TRUE(NKAppendScalarPartEntry(&a, &b, 2, 1));
    EXPECT_EQ(a.iCount, 2);
    EXPECT_EQ(a.pNodeValues[0], 2.0f);
    EXPECT_EQ(a.pNodeValues[1], 3.0f);
    EXPECT_FALSE(NKAppendScalarPartEntry(&a, &b, 0, 3));
    NKFreeScalarPartEntry(&a);
    NKFreeScalarPartEntry(&b);

    NKVectorPartEntry u, v;
    NKInitVectorPartEntry(&u);
    NKInitVectorPartEntry(&v);
    v.iNumNodes = 2;
    v.pNodeValues = AllocCopy(std::vector<float>{1, 2, 3, 4, 5, 6});
    ASSERT_TRUE(NKGrowVectorPartEntry(&u, 1));
    ASSERT_TRUE(NKAppendVectorPartEntry(&u, &v, 1, 1));
    EXPECT_EQ(u.iNumNodes, 1);
    EXPECT_EQ(u.pNodeValues[2], 6.0f);
    NKFreeVectorPartEntry(&u);
    NKFreeVectorPartEntry(&v);
}

TEST(PolygonElementMap, QuadrilateralOfAPentahedronMapsToItsElement)
{
    GeometryHolder g(1);
    NKPart &part = g.Part(0);
    SetNodes(part, std::vector<float>(3 * 9, 0.0f));
    // Element 0 a pentahedron, element 1 a beam, element 2 a point.
    SetElements(part, {10, 0, 17}, {{0, 1, 2, 3, 4, 5}, {6, 7}, {8}});
    SetPolygons(part, {{4, 1, 0, 3}, {2, 1, 0}, {7, 6}, {8}, {0, 1, 4}});
    ASSERT_TRUE(NKBuildPolygonElementMap(&part));
    EXPECT_EQ(NKTestValues(part.pPolygonElements, 5), (std::vector<int>{0, 0, 1, 2, -1}));
    GeometryHolder none(1);
    EXPECT_FALSE(NKBuildPolygonElementMap(&none.Part(0)));
}

TEST(PolygonElementMap, QuadraticFacesMatchAllTheirNodes)
{
    GeometryHolder g(1);
    NKPart &part = g.Part(0);
    SetNodes(part, std::vector<float>(3 * 20, 0.0f));
    std::vector<int> hexa20;
    for (int i = 0; i < 20; i++) hexa20.push_back(i);
    SetElements(part, {9}, {hexa20});
    SetNodeMap(part, std::vector<int>(hexa20.rbegin(), hexa20.rend()));
    SetPolygons(part, {{4, 12, 5, 13, 6, 14, 7, 15}, {4, 5, 6, 7}});
    ASSERT_TRUE(NKBuildPolygonElementMap(&part));
    EXPECT_EQ(NKTestValues(part.pPolygonElements, 2), (std::vector<int>{0, -1}));
}

TEST(NodeIDs, CreatedFromTheNodeMap)
{
    GeometryHolder g(1);
    SetNodes(g.Part(0), GridNodes(2, 0, 0));
    SetNodeMap(g.Part(0), {4, 9, 0});
    ASSERT_TRUE(NKCreateNodeIDs(g.pGeo));
    EXPECT_EQ(NKTestValues(g.Part(0).pNodeIDs, 3), (std::vector<int>{5, 10, 1}));
    GeometryHolder bare(1);
    SetNodes(bare.Part(0), GridNodes(1, 0, 0));
    MessageCapture capture;
    EXPECT_FALSE(NKCreateNodeIDs(bare.pGeo));
    EXPECT_TRUE(capture.HasLine("Cannot create node IDs, no node map present", NK_MSG_ERROR));
    EXPECT_FALSE(NKCreateNodeIDs(nullptr));
}

namespace {

// A part with a row of n unit quadrilateral shells starting at x0; each
// polygon is its own element, the node map continues at iMapBase.
void MakeShellRow(NKPart &part, int n, float x0, int iMapBase, const char *pszName)
{
    SetNodes(part, GridNodes(n, 1, 0, x0));
    std::vector<std::vector<int>> quads;
    std::vector<int> types, map;
    for (int i = 0; i < n; i++) {
        quads.push_back({i, i + 1, n + 2 + i, n + 1 + i});
        types.push_back(14);
    }
    for (int i = 0; i < part.iNumNodes; i++) map.push_back(iMapBase + i);
    SetElements(part, types, quads);
    SetPolygons(part, quads);
    SetNodeMap(part, map);
    std::vector<int> elems;
    for (int i = 0; i < n; i++) elems.push_back(i);
    part.pPolygonElements = AllocCopy(elems);
    part.szName = pszName;
}

}  // namespace

TEST(MergeGeometries, BPartsFollowAWithRaisedIndices)
{
    GeometryHolder a(1), b(1);
    MakeShellRow(a.Part(0), 2, 0.0f, 0, "first");
    a.Part(0).iDrawStyle = NK_DRAW_LINES;
    a.pGeo->iGlobalNumNodes = 6;
    a.pGeo->iTotalNumNodes = 6;
    a.pGeo->iTotalNumPolygons = 2;
    MakeShellRow(b.Part(0), 1, 5.0f, 0, "second");
    b.pGeo->iGlobalNumNodes = 4;
    b.pGeo->iTotalNumPolygons = 1;
    NKGeometry *pGeo = NKMergeGeometries(a.pGeo, b.pGeo);
    ASSERT_NE(pGeo, nullptr);
    ASSERT_EQ(pGeo->iNumParts, 2);
    EXPECT_STREQ(pGeo->szFileName.GetText(), "N/A");
    EXPECT_EQ(pGeo->iGlobalNumNodes, 10);
    EXPECT_EQ(pGeo->iTotalNumPolygons, 3);
    const NKPart &p0 = pGeo->pParts[0], &p1 = pGeo->pParts[1];
    EXPECT_STREQ(p0.szName.GetText(), "first");
    EXPECT_EQ(p0.iDrawStyle, NK_DRAW_LINES);
    EXPECT_EQ(p0.iNumElements, 2);
    EXPECT_EQ(NKTestValues(p0.pConnects, 8), NKTestValues(a.Part(0).pConnects, 8));
    EXPECT_EQ(NKTestValues(p0.pPolygonStart, 2), (std::vector<int>{0, 4}));
    // b's part keeps the initial attributes, gets no elements, and its node
    // map and first polygon index are raised past a's.
    EXPECT_TRUE(p1.szName.IsEmpty());
    EXPECT_EQ(p1.pElements, nullptr);
    EXPECT_EQ(NKTestValues(p1.pNodeMap, 4), (std::vector<int>{6, 7, 8, 9}));
    EXPECT_EQ(p1.iFirstPolygon, 2);
    EXPECT_EQ(NKTestValues(p1.pConnects, 4), (std::vector<int>{0, 1, 3, 2}));
    EXPECT_EQ(p1.pNodeCoords[0], 5.0f);
    NKReleaseGeometry(pGeo);
    // The inputs are untouched.
    EXPECT_EQ(NKTestValues(b.Part(0).pNodeMap, 4), (std::vector<int>{0, 1, 2, 3}));
}

TEST(MergeGeometries, FailsCleanlyOnABrokenPart)
{
    GeometryHolder a(1), b(1);
    MakeShellRow(a.Part(0), 1, 0.0f, 0, "a");
    MakeShellRow(b.Part(0), 1, 0.0f, 0, "b");
    b.Part(0).pPolygonNumNodes[0] = 40;  // runs past the connectivity
    EXPECT_EQ(NKMergeGeometries(a.pGeo, b.pGeo), nullptr);
    EXPECT_EQ(NKMergeGeometries(a.pGeo, nullptr), nullptr);
}

TEST(GroupParts, GroupPartJoinsEveryMember)
{
    GeometryHolder g(4);
    MakeShellRow(g.Part(0), 1, 0.0f, 0, "p0");
    MakeShellRow(g.Part(1), 2, 2.0f, 4, "p1");
    MakeShellRow(g.Part(2), 1, 6.0f, 10, "p2");
    MakeShellRow(g.Part(3), 3, 8.0f, 14, "p3");
    SetNodeIDs(g.Part(1), {21, 22, 23, 24, 25, 26});
    g.Part(3).pNodeIDs = nullptr;  // IDs are index + 1
    int iFirst = 0;
    for (int p = 0; p < 4; p++) {
        g.Part(p).iFirstPolygon = iFirst;
        iFirst += g.Part(p).iNumPolygons;
    }
    g.pGeo->pickInfo.iPart = 3;
    g.pGeo->partLists.bValid = 1;
    MessageCapture capture;
    const int aiParts[2] = {1, 3};
    ASSERT_TRUE(NKGroupParts(g.pGeo, aiParts, 2));
    EXPECT_TRUE(capture.HasLine("1", NK_MSG_INFO));
    EXPECT_TRUE(capture.HasLine("3", NK_MSG_INFO));
    ASSERT_EQ(g.pGeo->iNumParts, 3);
    EXPECT_STREQ(g.Part(0).szName.GetText(), "p0");
    EXPECT_STREQ(g.Part(1).szName.GetText(), "p2");
    NKPart &grp = g.Part(2);
    EXPECT_STREQ(grp.szName.GetText(), "p1");
    EXPECT_EQ(grp.iNumNodes, 6 + 8);
    EXPECT_EQ(grp.iNumPolygons, 5);
    EXPECT_EQ(grp.iNumElements, 5);
    EXPECT_EQ(grp.iUniformPolygonSize, 4);
    // Node 6 of the group is node 0 of old part 3: its own ID and map entry.
    EXPECT_EQ(grp.pNodeIDs[0], 21);
    EXPECT_EQ(grp.pNodeIDs[6], 1);
    EXPECT_EQ(grp.pNodeIDs[13], 8);
    EXPECT_EQ(grp.pNodeMap[6], 14);
    // Polygon 2 came from part 3 polygon 0: raised connectivity, start and
    // element; the element's nodes are raised the same way.
    EXPECT_EQ(NKTestValues(grp.pConnects + grp.pPolygonStart[2], 4),
              (std::vector<int>{6, 7, 11, 10}));
    EXPECT_EQ(grp.pPolygonStart[2], 8);
    EXPECT_EQ(grp.pPolygonElements[2], 2);
    EXPECT_EQ(grp.pElements[grp.pPolygonElements[2]].iID, 100);  // part 3's element 0
    EXPECT_EQ(grp.pPolygonElements[4], 4);
    EXPECT_EQ(grp.pElements[2].iNodeStart, 8);
    EXPECT_EQ(NKTestValues(grp.pElementConnects + grp.pElements[2].iNodeStart, 4),
              (std::vector<int>{6, 7, 11, 10}));
    EXPECT_EQ(g.Part(1).iFirstPolygon, 1);
    EXPECT_EQ(grp.iFirstPolygon, 2);
    EXPECT_EQ(g.pGeo->pickInfo.iPart, -1);
    EXPECT_EQ(g.pGeo->partLists.bValid, 0);
}

TEST(GroupParts, BadListsLeaveTheGeometryAlone)
{
    GeometryHolder g(2);
    MakeShellRow(g.Part(0), 1, 0.0f, 0, "p0");
    MakeShellRow(g.Part(1), 1, 2.0f, 4, "p1");
    MessageCapture capture;
    const int aiTwice[2] = {1, 1}, aiOut[2] = {0, 2};
    EXPECT_FALSE(NKGroupParts(g.pGeo, aiTwice, 2));
    EXPECT_FALSE(NKGroupParts(g.pGeo, aiOut, 2));
    EXPECT_FALSE(NKGroupParts(g.pGeo, aiOut, 0));
    EXPECT_FALSE(NKGroupParts(nullptr, aiOut, 1));
    EXPECT_EQ(g.pGeo->iNumParts, 2);
    EXPECT_STREQ(g.Part(1).szName.GetText(), "p1");
}

TEST(GroupParts, AllPartsIntoOneRebuildsThePolygonMap)
{
    GeometryHolder g(2);
    MakeShellRow(g.Part(0), 2, 0.0f, 0, "p0");
    MakeShellRow(g.Part(1), 1, 3.0f, 6, "p1");
    g.pGeo->iTotalNumPolygons = 3;
    ASSERT_TRUE(NKBuildGeometryPolygonMap(g.pGeo));
    MessageCapture capture;
    const int aiParts[2] = {1, 0};  // list order decides the join order
    ASSERT_TRUE(NKGroupParts(g.pGeo, aiParts, 2));
    ASSERT_EQ(g.pGeo->iNumParts, 1);
    EXPECT_STREQ(g.Part(0).szName.GetText(), "p1");
    EXPECT_EQ(g.Part(0).pNodeMap[0], 6);
    EXPECT_EQ(g.Part(0).pNodeMap[4], 0);
    ASSERT_NE(g.pGeo->pPolygonMap, nullptr);
    EXPECT_EQ(g.pGeo->pPolygonMap[2].iPart, 0);
    EXPECT_EQ(g.pGeo->pPolygonMap[2].iPolygon, 2);
}

TEST(GroupParts, MembersWithoutNodeMapsGetFreshGlobalIndices)
{
    GeometryHolder g(3);
    MakeShellRow(g.Part(0), 1, 0.0f, 0, "p0");
    MakeShellRow(g.Part(1), 1, 2.0f, 4, "p1");
    MakeShellRow(g.Part(2), 1, 4.0f, 8, "p2");
    NKFree(g.Part(2).pNodeMap);
    g.Part(2).pNodeMap = nullptr;
    g.pGeo->iGlobalNumNodes = 8;
    MessageCapture capture;
    const int aiParts[2] = {1, 2};
    ASSERT_TRUE(NKGroupParts(g.pGeo, aiParts, 2));
    EXPECT_EQ(NKTestValues(g.Part(1).pNodeMap, 8), (std::vector<int>{4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(g.pGeo->iGlobalNumNodes, 12);
    EXPECT_EQ(g.Part(0).pNodeMap[3], 3);  // the other part keeps its map
}
