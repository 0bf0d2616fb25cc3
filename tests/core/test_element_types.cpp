// tests/core/test_element_types.cpp -- the element type table, the local
// topology tables and the shell surface selection.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/nk_element_types.h"

namespace {

std::vector<int> Corners(int iType, int iFace)
{
    int ai[4];
    NKElementFaceCorners(iType, iFace, ai);
    return std::vector<int>(ai, ai + 4);
}

std::vector<int> FaceNodes(int iType, int iFace)
{
    int ai[8];
    NKElementFaceNodes(iType, iFace, ai);
    return std::vector<int>(ai, ai + 8);
}

}  // namespace

TEST(ElementTypeTable, RowsMatchTheirCodesAndTotals)
{
    for (int i = 0; i < NK_ELEMENT_TYPE_COUNT; i++) {
        EXPECT_EQ(NKElementTypeTable[i].iType, i);
        // The face-node total is the sum of the face node counts of the
        // topology for every kind with faces.
        int iType = NKElementTypeTable[i].iType;
        int iFaces = NKElementFaceCount(iType);
        if (iFaces > 0) {
            int iSum = 0;
            for (int f = 0; f < iFaces; f++) iSum += NKElementFaceNodeCount(iType, f);
            EXPECT_EQ(iSum, NKElementTypeTable[i].iNumFaceNodes) << "type " << i;
            EXPECT_EQ(iFaces, NKElementTypeTable[i].iNumFaces) << "type " << i;
        }
    }
    EXPECT_STREQ(NKElementTypeTable[9].szKeyword, "%HEXAHEDRONS_20");
    EXPECT_EQ(NKElementTypeTable[9].iNumFaceNodes, 48);
    EXPECT_STREQ(NKElementTypeTable[12].szKeyword, "");
    EXPECT_STREQ(NKElementTypeTable[15].szName, "Rigid Shell");
    EXPECT_EQ(NKElementTypeTable[1].iNumFaces, 2);
    EXPECT_EQ(NKElementTypeTable[18].iNumNodes, 0);
}

TEST(ElementTypeTable, LookupsAnswerZeroAndUnknownOutsideTheTable)
{
    EXPECT_EQ(NKFElementNodeCount(11), 15);
    EXPECT_EQ(NKFElementFaceCount(7), 4);
    EXPECT_EQ(NKFElementFaceNodeCount(10), 18);
    EXPECT_STREQ(NKFElementName(13), "Thickshell");
    EXPECT_EQ(NKFElementTypeInfo(19), nullptr);
    EXPECT_EQ(NKFElementNodeCount(-1), 0);
    EXPECT_EQ(NKFElementFaceCount(99), 0);
    EXPECT_STREQ(NKFElementName(42), "Unknown");
}

TEST(ShellSurface, StartsAtMiddleAndIgnoresBadValues)
{
    EXPECT_EQ(NKGetShellSurface(), 1);
    NKSetShellSurface(2);
    NKSetShellSurface(3);
    EXPECT_EQ(NKGetShellSurface(), 2);
    NKSetShellSurface(-1);
    EXPECT_EQ(NKGetShellSurface(), 2);
    NKSetShellSurface(1);
    EXPECT_STREQ(NKSurfaceName(0), "Inner surface");
    EXPECT_STREQ(NKSurfaceName(2), "Outer surface");
    EXPECT_STREQ(NKSurfaceName(-1), "Unknown surface");
}

TEST(ElementTopology, CountsFollowTheGroups)
{
    EXPECT_EQ(NKElementCornerCount(16), 2);
    EXPECT_EQ(NKElementCornerCount(9), 8);
    EXPECT_EQ(NKElementCornerCount(17), 0);
    EXPECT_EQ(NKElementEdgeCount(10), 9);
    EXPECT_EQ(NKElementEdgeCount(13), 12);
    EXPECT_EQ(NKElementFaceCount(0), 0);
    EXPECT_EQ(NKElementFaceCount(15), 1);
    EXPECT_EQ(NKElementFaceCount(16), 0);
    EXPECT_EQ(NKElementFaceCornerCount(10, 1), 3);
    EXPECT_EQ(NKElementFaceCornerCount(10, 2), 4);
    EXPECT_EQ(NKElementFaceNodeCount(11, 0), 6);
    EXPECT_EQ(NKElementFaceNodeCount(11, 4), 8);
    EXPECT_EQ(NKElementFaceNodeCount(3, 0), 6);
    EXPECT_EQ(NKElementFaceNodeCount(8, 6), 0);
    EXPECT_EQ(NKElementFaceNodeCount(18, 0), 0);
}

TEST(ElementTopology, EdgesOutsideTheListGiveZeroZero)
{
    int a = -5, b = -5;
    NKElementEdgeNodes(8, 11, &a, &b);
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 3);
    NKElementEdgeNodes(6, 0, &a, &b);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 3);
    NKElementEdgeNodes(8, 12, &a, &b);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 0);
    a = b = 7;
    NKElementEdgeNodes(17, 0, &a, &b);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 0);
    NKElementEdgeNodes(8, 0, nullptr, &b);  // a null output is skipped
    EXPECT_EQ(b, 5);
}

TEST(ElementTopology, FaceCornersAreMinusOneFilled)
{
    EXPECT_EQ(Corners(6, 0), (std::vector<int>{2, 1, 0, -1}));
    EXPECT_EQ(Corners(8, 5), (std::vector<int>{4, 7, 3, 0}));
    EXPECT_EQ(Corners(11, 4), (std::vector<int>{3, 5, 2, 0}));
    EXPECT_EQ(Corners(8, 6), (std::vector<int>{-1, -1, -1, -1}));
    EXPECT_EQ(Corners(0, 0), (std::vector<int>{-1, -1, -1, -1}));
    EXPECT_EQ(Corners(16, 0), (std::vector<int>{-1, -1, -1, -1}));
}

TEST(ElementTopology, FaceNodesOfQuadraticKindsRunRoundTheRing)
{
    EXPECT_EQ(FaceNodes(9, 0), (std::vector<int>{11, 3, 10, 2, 9, 1, 8, 0}));
    EXPECT_EQ(FaceNodes(7, 3), (std::vector<int>{3, 9, 2, 6, 0, 7, -1, -1}));
    EXPECT_EQ(FaceNodes(11, 2), (std::vector<int>{0, 6, 1, 13, 4, 9, 3, 12}));
    EXPECT_EQ(FaceNodes(5, 0), (std::vector<int>{0, 4, 1, 5, 2, 6, 3, 7}));
    // Linear kinds give their corners.
    EXPECT_EQ(FaceNodes(12, 1), (std::vector<int>{4, 5, 6, 7, -1, -1, -1, -1}));
    EXPECT_EQ(FaceNodes(9, -1), (std::vector<int>(8, -1)));
}

// Every solid's face corners, read as a right-hand ring over the unit
// reference element, give normals that point away from its centre.
TEST(ElementTopology, SolidFaceNormalsPointOutward)
{
    const float hexa[8][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                              {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
    const float tetra[4][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    const float penta[6][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {0, 1, 1}};
    struct Case {
        int iType;
        const float (*p)[3];
        int n;
    } cases[] = {{8, hexa, 8}, {6, tetra, 4}, {10, penta, 6}};
    for (const Case &c : cases) {
        float centre[3] = {0, 0, 0};
        for (int i = 0; i < c.n; i++)
            for (int k = 0; k < 3; k++) centre[k] += c.p[i][k] / c.n;
        for (int f = 0; f < NKElementFaceCount(c.iType); f++) {
            int ai[4];
            NKElementFaceCorners(c.iType, f, ai);
            const float *a = c.p[ai[0]], *b = c.p[ai[1]], *d = c.p[ai[2]];
            float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
            float v[3] = {d[0] - a[0], d[1] - a[1], d[2] - a[2]};
            float n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                          u[0] * v[1] - u[1] * v[0]};
            float out[3] = {a[0] - centre[0], a[1] - centre[1], a[2] - centre[2]};
            EXPECT_GT(n[0] * out[0] + n[1] * out[1] + n[2] * out[2], 0.0f)
                << "type " << c.iType << " face " << f;
        }
    }
}

// The corners of a quadratic face appear in its node ring in the same cyclic
// order as the linear face lists them.
TEST(ElementTopology, QuadraticRingsHoldTheLinearCornersInOrder)
{
    for (int iType : {3, 5, 7, 9, 11}) {
        for (int f = 0; f < NKElementFaceCount(iType); f++) {
            std::vector<int> ring = FaceNodes(iType, f), corners = Corners(iType, f);
            int iNumCorners = NKElementFaceCornerCount(iType, f);
            std::vector<int> seen;
            for (int i = 0; i < NKElementFaceNodeCount(iType, f); i++)
                for (int c = 0; c < iNumCorners; c++)
                    if (ring[i] == corners[c]) seen.push_back(c);
            ASSERT_EQ((int)seen.size(), iNumCorners) << "type " << iType << " face " << f;
            for (int i = 1; i < iNumCorners; i++)
                EXPECT_EQ(seen[i], (seen[0] + i) % iNumCorners) << "type " << iType;
        }
    }
}
