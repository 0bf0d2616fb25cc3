// tests/core/test_nk_bbox.cpp -- bounding boxes and display coordinates: the
// geometry's own scale and centre, conversions both ways, computed boxes and
// their modes, and the change of the display transform over shared records.
#include <cmath>

#include <gtest/gtest.h>

#include "core/nk_bbox.h"
#include "core/nk_diagnostic.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_math.h"
#include "core/nk_model.h"
#include "tests/core/nk_geometry_test_helpers.h"
#include "tests/core/nk_model_test_helpers.h"

namespace {

void ExpectVec3(const float *v, float x, float y, float z)
{
    EXPECT_NEAR(v[0], x, 1e-5f);
    EXPECT_NEAR(v[1], y, 1e-5f);
    EXPECT_NEAR(v[2], z, 1e-5f);
}

void ExpectBox(const float *b, float x0, float y0, float z0, float x1, float y1, float z1)
{
    ASSERT_NE(b, nullptr);
    ExpectVec3(b, x0, y0, z0);
    ExpectVec3(b + 3, x1, y1, z1);
}

class BoxTest : public NKModelTest {
protected:
    // n frames sharing one geometry of one part built by fill.
    template <typename Fill>
    NKGeometry *MakeModel(int n, Fill fill)
    {
        NKGeometry *pGeo = NKCreateGeometry(1);
        fill(&pGeo->pParts[0]);
        EXPECT_TRUE(NKSetFrameCount(n, false));
        for (int i = 0; i < n; i++) NKTestShareGeometry(&g_pModel->pFrames[i], pGeo);
        return pGeo;
    }

    void SetTransform(float fGeoScale, float cx, float cy, float cz)
    {
        g_pModel->fGeoScale = fGeoScale;
        g_pModel->fCenterX = cx;
        g_pModel->fCenterY = cy;
        g_pModel->fCenterZ = cz;
    }
};

// ---- Geometry extents and conversions ------------------------------------------

TEST_F(BoxTest, UnitCubeGetsScaleTwoAndMapsOntoPlusMinusOne)
{
    NKGeometry *pGeo = MakeModel(1, [](NKPart *p) { NKTestMakeCube(p, 10.0f, 11.0f); });
    ASSERT_TRUE(NKComputeGeometryExtents(pGeo));
    EXPECT_FLOAT_EQ(pGeo->fGeoScale, 2.0f);
    ExpectVec3(pGeo->fCenter, 10.5f, 10.5f, 10.5f);
    ExpectBox(pGeo->fBoundingBox, 10, 10, 10, 11, 11, 11);
    SetTransform(pGeo->fGeoScale, pGeo->fCenter[0], pGeo->fCenter[1], pGeo->fCenter[2]);
    float lo[3] = {10, 10, 10}, hi[3] = {11, 11, 11};
    ModelToDisplay(lo);
    ModelToDisplay(hi);
    ExpectVec3(lo, -1, -1, -1);
    ExpectVec3(hi, 1, 1, 1);
    DisplayToModel(lo);
    DisplayToModel(hi);
    ExpectVec3(lo, 10, 10, 10);
    ExpectVec3(hi, 11, 11, 11);
}

TEST_F(BoxTest, GeometryWithoutExtentGetsScaleTwo)
{
    NKGeometry *pOne = NKCreateGeometry(1);
    NKTestBuildPart(&pOne->pParts[0], {3, 4, 5}, {{0}});
    ASSERT_TRUE(NKComputeGeometryExtents(pOne));
    EXPECT_FLOAT_EQ(pOne->fGeoScale, 2.0f);
    ExpectVec3(pOne->fCenter, 3, 4, 5);
    NKReleaseGeometry(pOne);

    NKGeometry *pEmpty = NKCreateGeometry(1);  // a part without polygons
    NKTestBuildPart(&pEmpty->pParts[0], {1, 1, 1}, {});
    ASSERT_TRUE(NKComputeGeometryExtents(pEmpty));
    EXPECT_FLOAT_EQ(pEmpty->fGeoScale, 2.0f);
    EXPECT_EQ(pEmpty->iTotalNumNodes, 0);
    ExpectBox(pEmpty->fBoundingBox, 1e12f, 1e12f, 1e12f, -1e12f, -1e12f, -1e12f);
    NKReleaseGeometry(pEmpty);
    EXPECT_FALSE(NKComputeGeometryExtents(nullptr));
}

TEST_F(BoxTest, ExtentsCountPolygonsCentroidAndUniformSize)
{
    NKGeometry *pGeo = NKCreateGeometry(2);
    // Node 3 is used by no polygon but still counts for the centroid.
    NKTestBuildPart(&pGeo->pParts[0], {0, 0, 0, 2, 0, 0, 2, 2, 0, 8, 8, 8}, {{0, 1, 2}, {0, 2, 1}});
    NKTestBuildPart(&pGeo->pParts[1], {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0},
                    {{0, 1, 2, 3}, {0, 1, 2}});
    ASSERT_TRUE(NKComputeGeometryExtents(pGeo));
    const NKPart &a = pGeo->pParts[0], &b = pGeo->pParts[1];
    EXPECT_EQ(a.iUniformPolygonSize, 3);
    EXPECT_EQ(b.iUniformPolygonSize, -1);
    EXPECT_EQ(a.iNumEdgeSlots, 6);
    EXPECT_EQ(b.iNumEdgeSlots, 7);
    ExpectBox(a.fBoundingBox, 0, 0, 0, 2, 2, 0);
    ExpectVec3(a.fCentroid, 3, 2.5f, 2);
    EXPECT_EQ(pGeo->iTotalNumNodes, 8);
    EXPECT_EQ(pGeo->iTotalNumPolygons, 4);
    EXPECT_EQ(pGeo->iTotalNumConnects, 13);
    EXPECT_FLOAT_EQ(pGeo->fGeoScale, 1.0f);
    NKReleaseGeometry(pGeo);
}

TEST_F(BoxTest, ConversionsUseAxisScalesAndVectorsIgnoreTheCentre)
{
    SetTransform(0.5f, 1, 2, 3);
    g_pModel->fAxisScale[1] = 2.0f;
    float p[3] = {3, 4, 5}, v[3] = {3, 4, 5};
    ModelToDisplay(p);
    ModelToDisplayVector(v);
    ExpectVec3(p, 1, 2, 1);
    ExpectVec3(v, 1.5f, 4, 2.5f);
    DisplayToModel(p);
    DisplayToModelVector(v);
    ExpectVec3(p, 3, 4, 5);
    ExpectVec3(v, 3, 4, 5);
    float origin[3];
    ExpectVec3(GetModelOriginInDisplay(origin), -0.5f, -2, -1.5f);
    float box[6] = {1, 2, 3, 3, 4, 5};
    ModelToDisplayBox(box);
    ExpectBox(box, 0, 0, 0, 1, 2, 1);
    DisplayToModelBox(box);
    ExpectBox(box, 1, 2, 3, 3, 4, 5);
}

TEST_F(BoxTest, EmptyBoxAndMaxExtent)
{
    float box[6];
    NKSetMaxValues(box);
    ExpectBox(box, 1e12f, 1e12f, 1e12f, -1e12f, -1e12f, -1e12f);
    float b[6] = {0, 0, 0, 1, 5, 2}, deep[6] = {0, 0, 0, 1, 2, 7};
    EXPECT_FLOAT_EQ(NKGetMaxExtent(b), 5.0f);
    EXPECT_FLOAT_EQ(NKGetMaxExtent(deep), 7.0f);
    // Empty in any one axis is empty; without extent is not.
    const struct {
        float afBox[6];
        bool bEmpty;
    } kBoxes[] = {{{1e12f, 1e12f, 1e12f, -1e12f, -1e12f, -1e12f}, true},
                  {{0, 0, 1e12f, 1, 5, -1e12f}, true},
                  {{0, 0, 3, 1, 5, 2}, true},
                  {{0, 1e12f, 0, 1, -1e12f, 2}, true},
                  {{2, 0, 0, 1, 5, 2}, true},
                  {{0, 0, NAN, 1, 5, 2}, true},
                  {{0, 0, 0, 1, 5, 2}, false},
                  {{4, 0, 0, 4, 5, 2}, false},
                  {{3, 3, 3, 3, 3, 3}, false}};
    for (const auto &c : kBoxes)
        EXPECT_EQ(NKIsEmptyBox(c.afBox), c.bEmpty)
            << c.afBox[0] << " " << c.afBox[1] << " " << c.afBox[2] << " " << c.afBox[3] << " "
            << c.afBox[4] << " " << c.afBox[5];
    EXPECT_TRUE(NKIsEmptyBox(nullptr));
    NKResetDiagnostics();
    EXPECT_FLOAT_EQ(NKGetMaxExtent(nullptr), 0.0f);
    NKSetMaxValues(nullptr);
    EXPECT_EQ(NKGetDiagnosticCount(), 2);
}

TEST_F(BoxTest, PolylineCentroidAndLongestSegment)
{
    float one[3] = {1, 2, 3}, c[3], fLongest = -1;
    ASSERT_TRUE(NKPolylineCentroidAndLength(one, 1, c, &fLongest, 0));
    ExpectVec3(c, 1, 2, 3);
    EXPECT_FLOAT_EQ(fLongest, 0.0f);
    float pts[9] = {0, 0, 0, 2, 0, 0, 2, 4, 0};
    SetTransform(2.0f, 0, 0, 0);
    ASSERT_TRUE(NKPolylineCentroidAndLength(pts, 3, c, &fLongest, NK_POLYLINE_TO_MODEL));
    EXPECT_FLOAT_EQ(fLongest, 2.0f);  // the segment of length 4 in model units
    ExpectVec3(c, 2.0f / 3.0f, 2.0f / 3.0f, 0);
    EXPECT_FALSE(NKPolylineCentroidAndLength(pts, 0, c, nullptr, 0));
    EXPECT_FALSE(NKPolylineCentroidAndLength(nullptr, 2, c, nullptr, 0));
}

TEST_F(BoxTest, BoxScaleFactor)
{
    SetTransform(2.0f, 0, 0, 0);
    float box[6] = {0, 0, 0, 1, 3, 2};
    EXPECT_FLOAT_EQ(NKComputeBoxScaleFactor(box, 2.0f, 0.0f), 1.0f);
    EXPECT_FLOAT_EQ(NKComputeBoxScaleFactor(box, 2.0f, NAN), 1.0f);
    EXPECT_FLOAT_EQ(NKComputeBoxScaleFactor(box, 0.0f, 1.0f), 1.0f);
    EXPECT_FLOAT_EQ(NKComputeBoxScaleFactor(box, 2.0f, 0.5f), 6.0f * 0.5f / 2.0f);
}

// ---- Computed boxes and their modes -----------------------------------------------

TEST_F(BoxTest, PartBoxRefusesBadFlagsAndSkipsErodedPolygons)
{
    SetTransform(1.0f, 0, 0, 0);
    NKGeometry *pGeo = MakeModel(1, [](NKPart *p) {
        NKTestBuildPart(p, {0, 0, 0, 1, 0, 0, 1, 1, 0, 5, 5, 5}, {{0, 1, 2}, {1, 2, 3}});
    });
    NKPart *pPart = &pGeo->pParts[0];
    NKFrame *pFrame = &g_pModel->pFrames[0];
    float box[6];
    EXPECT_FALSE(NKComputePartBoundingBox(pPart, 0, nullptr, box, true, true));
    EXPECT_FALSE(NKComputePartBoundingBox(pPart, 0, nullptr, nullptr, false, false));
    ASSERT_TRUE(NKComputePartBoundingBox(pPart, 0, nullptr, box, true, false));
    ExpectBox(pPart->fBoundingBox, 0, 0, 0, 5, 5, 5);
    pFrame->ppVisibility = static_cast<uint8_t **>(NKCalloc(1, sizeof(uint8_t *)));
    pFrame->ppVisibility[0] = static_cast<uint8_t *>(NKCalloc(2, 1));
    pFrame->ppVisibility[0][1] = NK_VISIBILITY_ERODED;
    ASSERT_TRUE(NKComputePartBoundingBox(pPart, 0, pFrame, box, false, false));
    ExpectBox(box, 0, 0, 0, 1, 1, 0);
}

TEST_F(BoxTest, DisplacedBoxesAndTheGetterModes)
{
    SetTransform(1.0f, 0, 0, 0);
    NKGeometry *pGeo = MakeModel(2, [](NKPart *p) { NKTestMakeCube(p, 0.0f, 1.0f); });
    ASSERT_TRUE(NKComputeFrameBoundingBoxes(-1, true, false));
    NKFrame *f0 = &g_pModel->pFrames[0], *f1 = &g_pModel->pFrames[1];
    // Without vector result and matrices mode 3 gives nothing, mode 1 the
    // geometry box.
    EXPECT_EQ(NKGetGeoBoundingBox(f0, NK_BOX_DISPLACED_ONLY), nullptr);
    EXPECT_EQ(NKGetGeoBoundingBox(f0, NK_BOX_DISPLACED_OR_UNDEFORMED), pGeo->fBoundingBox);
    EXPECT_EQ(NKGetPartBoundingBox(f0, 0, NK_BOX_DISPLACED_ONLY), nullptr);
    f1->pVector = NKTestMakeDisplacedResult(pGeo, 0, 0, 2);
    f1->pVector->iNumRef = 1;
    pGeo->pParts[0].bDisplacements = 1;
    ASSERT_TRUE(NKComputeFrameBoundingBoxes(1, false, true));
    ASSERT_NE(f1->pPartBoundingBoxes, nullptr);  // made on demand
    ExpectBox(NKGetGeoBoundingBox(f1, NK_BOX_DISPLACED_ONLY), 0, 0, 2, 1, 1, 3);
    ExpectBox(NKGetPartBoundingBox(f1, 0, NK_BOX_DISPLACED_OR_UNDEFORMED), 0, 0, 2, 1, 1, 3);
    ExpectBox(NKGetPartBoundingBox(f1, 0, 0), 0, 0, 0, 1, 1, 1);
    ExpectBox(NKGetFrameGeoBoundingBox(1, 2), 0, 0, 0, 1, 1, 1);
    float model[6];
    ASSERT_TRUE(NKGetModelBoundingBox(model, NK_BOX_DISPLACED_OR_UNDEFORMED));
    ExpectBox(model, 0, 0, 0, 1, 1, 3);
    EXPECT_EQ(NKGetGeoBoundingBox(nullptr, 0), nullptr);
    EXPECT_EQ(NKGetPartBoundingBox(f1, 1, 0), nullptr);
    EXPECT_FALSE(NKGetModelBoundingBox(nullptr, 0));
}

TEST_F(BoxTest, FrameBoxesNeedAGeometryInEveryFrame)
{
    MakeModel(1, [](NKPart *p) { NKTestMakeCube(p, 0.0f, 1.0f); });
    ASSERT_TRUE(NKSetFrameCount(2, false));
    NKReleaseGeometry(g_pModel->pFrames[1].pGeometry);
    g_pModel->pFrames[1].pGeometry = nullptr;
    EXPECT_FALSE(NKComputeFrameBoundingBoxes(-1, true, false));
    EXPECT_TRUE(NKComputeFrameBoundingBoxes(0, true, false));
    EXPECT_FALSE(NKComputeFrameBoundingBoxes(5, true, false));
}

TEST_F(BoxTest, PartMatricesCarryTheBoxes)
{
    SetTransform(1.0f, 0, 0, 0);
    MakeModel(1, [](NKPart *p) { NKTestMakeCube(p, 0.0f, 1.0f); });
    NKFrame *pFrame = &g_pModel->pFrames[0];
    ASSERT_TRUE(NKAllocFrameTransformations(pFrame));
    NKMat4TranslateWorld(pFrame->pTransformation, 5, 0, 0);
    ASSERT_TRUE(NKComputeFrameBoundingBoxes(0, true, true));
    ExpectBox(NKGetGeoBoundingBox(pFrame, NK_BOX_DISPLACED_ONLY), 5, 0, 0, 6, 1, 1);
    float box[6];
    ASSERT_TRUE(NKGetTransformedPartBoundingBox(pFrame, 0, box, 0));
    ExpectBox(box, 5, 0, 0, 6, 1, 1);
    float zmin = 0, zmax = 0, m[16];
    NKMatrixIdentity(m);
    NKMat4TranslateWorld(m, 0, 0, -10);
    ASSERT_TRUE(NKGetBoxDepthRange(pFrame, m, &zmin, &zmax));
    EXPECT_FLOAT_EQ(zmin, -10.0f);
    EXPECT_FLOAT_EQ(zmax, -9.0f);
    EXPECT_FALSE(NKGetBoxDepthRange(nullptr, m, &zmin, &zmax));
}

// ---- Changing the display transform --------------------------------------------

class DisplayTransform : public BoxTest {
protected:
    NKSeparateVectorField *MakeField()
    {
        NKSeparateVectorField *pField = NKCreateSeparateVectorField();
        pField->iNumParts = 1;
        pField->pParts =
            static_cast<NKSeparateVectorPart *>(NKCalloc(1, sizeof(NKSeparateVectorPart)));
        pField->pParts[0].iCount = 1;
        pField->pParts[0].pItems =
            static_cast<NKSeparateVector *>(NKCalloc(1, sizeof(NKSeparateVector)));
        NKSeparateVector &item = pField->pParts[0].pItems[0];
        NKVec3Set(item.fPosition, 1, 2, 3);
        NKVec3Set(item.fVector, 1, 0, 0);
        return pField;
    }
};

TEST_F(DisplayTransform, SharedRecordsAreConvertedExactlyOnce)
{
    SetTransform(2.0f, 0, 0, 0);
    NKGeometry *pGeo = MakeModel(3, [](NKPart *p) { NKTestMakePlate(p, 1, 1, 0.0f); });
    NKVectorResult *pVector = NKTestMakeDisplacedResult(pGeo, 0, 0, 1);
    NKSeparateVectorField *pField = MakeField();
    for (int i = 0; i < 3; i++) {
        g_pModel->pFrames[i].pVector = pVector;
        pVector->iNumRef++;
        g_pModel->pFrames[i].pSeparateVectors[1] = pField;
        pField->iNumRef++;
    }
    float fNewScale = 4.0f;
    ASSERT_TRUE(NKChangeDisplayTransform(nullptr, &fNewScale, nullptr, nullptr));
    EXPECT_FLOAT_EQ(g_pModel->fGeoScale, 4.0f);
    // Display coordinates double with the scale, once.
    const NKSeparateVector &item = pField->pParts[0].pItems[0];
    ExpectVec3(item.fPosition, 2, 4, 6);
    ExpectVec3(item.fVector, 2, 0, 0);
    ExpectVec3(&pGeo->pParts[0].pNodeCoords[3 * 2], 0, 2, 0);
    ExpectVec3(&pVector->pResults[0].pNodeValues[3 * 2], 0, 2, 2);
    // Normals were recomputed for the geometry and the displaced shape.
    ASSERT_NE(pGeo->pParts[0].pNodeNormals, nullptr);
    EXPECT_EQ(pGeo->pParts[0].pNodeNormals[2], 127);
    ASSERT_NE(pVector->pResults[0].pNodeNormals, nullptr);
}

TEST_F(DisplayTransform, SkippedGeometryOnlyEntersDisplayForm)
{
    SetTransform(1.0f, 0, 0, 0);
    NKGeometry *pGeo = MakeModel(1, [](NKPart *p) { NKTestBuildPart(p, {10, 0, 0}, {{0}}); });
    float afCentre[3] = {10, 0, 0}, fScale = 0.5f, afAxes[3] = {1, 1, 2};
    ASSERT_TRUE(NKChangeDisplayTransform(afAxes, &fScale, afCentre, pGeo));
    ExpectVec3(pGeo->pParts[0].pNodeCoords, 0, 0, 0);
    EXPECT_FLOAT_EQ(g_pModel->fCenterX, 10.0f);
    EXPECT_FLOAT_EQ(g_pModel->fAxisScale[2], 2.0f);
    float p[3] = {12, 0, 1};
    ModelToDisplay(p);
    ExpectVec3(p, 1, 0, 1);
}

}  // namespace
