// tests/commands/test_geometry_data.cpp -- ComputeGeometryData through the
// load slot: the beam example's display transform, a further geometry
// inside or beyond the model box, the frames of a range, merging, the part
// arrays of a frame that changes geometry, and refused calls.
#include <gtest/gtest.h>

#include <cmath>

#include "core/nk_frames.h"
#include "core/nk_memory.h"
#include "tests/commands/load_sequence_fixture.h"
#include "tests/core/nk_geometry_test_helpers.h"

namespace {

using Floats = std::vector<float>;

// One part per range: the cube [lo, hi]^3, or, for hi below lo, one node
// and no polygons.
NKGeometry *MakeCubes(const std::vector<std::pair<float, float>> &ranges)
{
    NKGeometry *pGeo = NKCreateGeometry(static_cast<int>(ranges.size()));
    for (size_t i = 0; i < ranges.size(); i++) {
        if (ranges[i].second < ranges[i].first) {
            NKTestBuildPart(&pGeo->pParts[i], {0, 0, 0}, {});
        } else {
            NKTestMakeCube(&pGeo->pParts[i], ranges[i].first, ranges[i].second);
        }
    }
    return pGeo;
}

// The display coordinates of the first cube's far corner.
Floats FarCorner(const NKGeometry *pGeo)
{
    return Floats(&pGeo->pParts[0].pNodeCoords[18], &pGeo->pParts[0].pNodeCoords[21]);
}

using GeometryData = LoadSequenceTest;

TEST_F(GeometryData, BeamIsCentredAndScaledToItsLongestSide)
{
    g_SelectionList.ppPicks = static_cast<NKPickInfo **>(NKCalloc(1, sizeof(NKPickInfo *)));
    g_SelectionList.iCount = g_SelectionList.iCapacity = 1;
    ASSERT_EQ(OpenBeam(), 0);
    EXPECT_FLOAT_EQ(g_pModel->fGeoScale, 0.1f);
    EXPECT_EQ((Floats{g_pModel->fCenterX, g_pModel->fCenterY, g_pModel->fCenterZ}),
              (Floats{5.0f, 0.5f, 0.5f}));
    EXPECT_EQ(Floats(g_pModel->fBoundingBox, g_pModel->fBoundingBox + 6),
              (Floats{0, 0, 0, 10, 1, 1}));
    const NKFrame &frame = g_pModel->pFrames[0];
    const NKPart &beam = frame.pGeometry->pParts[0];
    int iFarCorners = 0;  // node (10, 1, 1) at (0.5, 0.05, 0.05)
    for (int n = 0; n < beam.iNumNodes; n++) {
        const float *p = &beam.pNodeCoords[3 * n];
        iFarCorners +=
            std::fabs(p[0] - 0.5f) + std::fabs(p[1] - 0.05f) + std::fabs(p[2] - 0.05f) < 1e-6f;
    }
    EXPECT_EQ(iFarCorners, 1);
    ASSERT_NE(frame.ppVisibility, nullptr);
    EXPECT_EQ(std::vector<uint8_t>(frame.ppVisibility[0], frame.ppVisibility[0] + 88),
              std::vector<uint8_t>(88, 0));
    EXPECT_NE(beam.pPolygonNormals, nullptr);
    EXPECT_NE(beam.pEdgeKinds, nullptr);
    EXPECT_NE(beam.pNodeType, nullptr);
    EXPECT_EQ(g_pModel->iNumGeoSteps, 1);
    EXPECT_TRUE(g_pListUpdateInfo->bMaterials);
    EXPECT_EQ(g_SelectionList.iCount, 0);
}

// A first cube [0, 1]^3 in frame 0 gets scale 1 and centre 0.5; a second
// geometry in frame 1 keeps that transform when it lies inside the box,
// else the grown box gives every frame a new scale and centre.
TEST_F(GeometryData, FurtherGeometryKeepsOrChangesTheTransformOfEveryFrame)
{
    struct Case {
        float fLo, fHi, fScale, fCentre;
        Floats first, second;  // far corners in display coordinates
    };
    for (const Case &c :
         {Case{0.25f, 0.75f, 1.0f, 0.5f, {0.5f, 0.5f, 0.5f}, {0.25f, 0.25f, 0.25f}},
          Case{0.0f, 2.0f, 0.5f, 1.0f, {0.0f, 0.0f, 0.0f}, {0.5f, 0.5f, 0.5f}},
          Case{-1.0f, 0.5f, 0.5f, 0.0f, {0.5f, 0.5f, 0.5f}, {0.25f, 0.25f, 0.25f}}}) {
        SCOPED_TRACE(c.fHi);
        ASSERT_TRUE(ResetStateBeforeLoad(nullptr));
        NKGeometry *pFirst = MakeCubes({{0.0f, 1.0f}});
        ASSERT_TRUE(ComputeGeometryData(pFirst, 0, 0, -1, 0));
        NKGeometry *pSecond = MakeCubes({{c.fLo, c.fHi}});
        ASSERT_TRUE(ComputeGeometryData(pSecond, 1, 1, -1, 0));
        EXPECT_FLOAT_EQ(g_pModel->fGeoScale, c.fScale);
        EXPECT_FLOAT_EQ(g_pModel->fCenterY, c.fCentre);
        EXPECT_EQ(FarCorner(pFirst), c.first);
        EXPECT_EQ(FarCorner(pSecond), c.second);
        EXPECT_NE(pSecond->pParts[0].pPolygonNormals, nullptr);
    }
}

TEST_F(GeometryData, EveryFrameOfTheRangeHoldsTheGeometryWithVisibilityBytesOfItsOwn)
{
    NKGeometry *pGeo = MakeCubes({{0.0f, 1.0f}, {1.0f, 0.0f}, {0.0f, 2.0f}});
    ASSERT_TRUE(ComputeGeometryData(pGeo, 1, 3, -1, 0));
    ASSERT_EQ(g_pModel->iNumFrames, 4);
    EXPECT_EQ(g_pModel->pFrames[0].pGeometry, nullptr);
    EXPECT_EQ(pGeo->iNumRef, 3);
    for (int f = 1; f <= 3; f++) {
        uint8_t **ppVisibility = g_pModel->pFrames[f].ppVisibility;
        ASSERT_NE(ppVisibility, nullptr);
        EXPECT_EQ(ppVisibility[1], nullptr) << "a part without polygons has no bytes";
        for (int i : {0, 2}) {
            ASSERT_NE(ppVisibility[i], nullptr);
            EXPECT_EQ(std::vector<uint8_t>(ppVisibility[i], ppVisibility[i] + 6),
                      std::vector<uint8_t>(6, 0));
            EXPECT_TRUE(f == 1 || ppVisibility[i] != g_pModel->pFrames[1].ppVisibility[i]);
        }
    }
}

TEST_F(GeometryData, OnlyAMergeKeepsTheFramesResults)
{
    for (int bMerge : {0, 1}) {
        ASSERT_TRUE(ResetStateBeforeLoad(nullptr));
        ASSERT_TRUE(ComputeGeometryData(MakeCubes({{0.0f, 1.0f}}), 0, 0, -1, 0));
        NKScalarResult *pScalar = NKCreateScalarResult();
        ASSERT_TRUE(NKApplyScalarToFrames(pScalar, 0, 0));
        ASSERT_TRUE(ComputeGeometryData(MakeCubes({{0.0f, 1.0f}, {0.0f, 1.0f}}), 0, 0, -1, bMerge));
        EXPECT_EQ(g_pModel->pFrames[0].pScalar, bMerge ? pScalar : nullptr) << bMerge;
    }
}

// Matrices and contour lists follow the part count of the geometry a frame
// takes, since the frame's release walks them by it (AddressSanitizer
// watches that).
TEST_F(GeometryData, FrameArraysFollowThePartCountOfTheNewGeometry)
{
    ASSERT_TRUE(ComputeGeometryData(MakeCubes({{0.0f, 1.0f}, {0.0f, 1.0f}}), 0, 0, -1, 0));
    NKFrame *pFrame = &g_pModel->pFrames[0];
    ASSERT_TRUE(NKAllocFrameTransformations(pFrame));
    pFrame->pTransformation[12] = 7.0f;
    pFrame->pContours = static_cast<NKContourList *>(NKCalloc(2, sizeof(NKContourList)));
    pFrame->pContours[1].iNumLines = 1;
    pFrame->pContours[1].pLines = static_cast<NKContourLine *>(NKCalloc(1, sizeof(NKContourLine)));
    for (int iParts : {3, 1, 0}) {
        std::vector<std::pair<float, float>> ranges(iParts, {0.0f, 1.0f});
        ASSERT_TRUE(ComputeGeometryData(MakeCubes(ranges), 0, 0, -1, 1)) << iParts;
        if (iParts == 0) {
            EXPECT_EQ(pFrame->pTransformation, nullptr);
            EXPECT_EQ(pFrame->pContours, nullptr);
            continue;
        }
        EXPECT_EQ(pFrame->pTransformation[12], 7.0f) << iParts;
        EXPECT_EQ(pFrame->pTransformation[16 * iParts - 1], 1.0f) << iParts;
        // The second part's line stays while that part does.
        EXPECT_EQ(pFrame->pContours[1 % iParts].iNumLines, iParts == 3 ? 1 : 0) << iParts;
        EXPECT_EQ(pFrame->pContours[iParts - 1].iNumLines, 0) << iParts;
    }
}

// A refused geometry that no frame took is released by the load sequence
// (the leak checker sees the rest); the model stays as it was.
TEST_F(GeometryData, RefusedCallsLeaveTheModelAndReleaseTheGeometry)
{
    EXPECT_FALSE(ComputeGeometryData(nullptr, 0, 0, -1, 0));
    EXPECT_FALSE(ComputeGeometryData(MakeCubes({{0.0f, 1.0f}}), -1, 0, -1, 0));
    EXPECT_FALSE(ComputeGeometryData(MakeCubes({{0.0f, 1.0f}}), 2, 1, -1, 0));
    EXPECT_EQ(g_pModel->iNumFrames, 0);
}

}  // namespace
