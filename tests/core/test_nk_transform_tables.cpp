// tests/core/test_nk_transform_tables.cpp -- the transformation and viewpoint
// tables applied to frames, the frozen node, and the fit of all frames'
// matrices to the model box.
#include <gtest/gtest.h>

#include "core/nk_bbox.h"
#include "core/nk_frames.h"
#include "core/nk_math.h"
#include "core/nk_model.h"
#include "core/nk_transform_tables.h"
#include "tests/core/nk_geometry_test_helpers.h"
#include "tests/core/nk_model_test_helpers.h"

namespace {

// A translation by (x, 0, 0).
void Translation(float *m, float x)
{
    NKMatrixIdentity(m);
    m[12] = x;
}

bool IsIdentity(const float *m)
{
    float identity[16];
    NKMatrixIdentity(identity);
    return NKMat4Equal(m, identity, true);
}

class TransformTables : public NKModelTest {
protected:
    void SetUp() override
    {
        NKModelTest::SetUp();
        m_Table.Clear();
    }
    // A 3-step table for 2 parts: matrix (step, part) moves x by 10 step +
    // part + 1.
    void FillTable()
    {
        ASSERT_TRUE(m_Table.Allocate(3, 2));
        float m[16];
        for (int s = 0; s < 3; s++) {
            for (int p = 0; p < 2; p++) {
                Translation(m, static_cast<float>(10 * s + p + 1));
                m_Table.SetMatrix(s, p, m);
            }
        }
    }
    NKTransformationTable m_Table;
    NKViewPointTable m_ViewPoints;
};

// ---- Transformation table ----------------------------------------------------------

TEST_F(TransformTables, StepPastTheTableUsesTheLastAndExtraPartsGetIdentity)
{
    MakeFrames(1, 3);
    FillTable();
    NKFrame *f = &g_pModel->pFrames[0];
    ASSERT_TRUE(m_Table.ApplyToFrame(f, 5));
    EXPECT_FLOAT_EQ(f->pTransformation[12], 21.0f);
    EXPECT_FLOAT_EQ(f->pTransformation[16 + 12], 22.0f);
    EXPECT_TRUE(IsIdentity(&f->pTransformation[32]));
    ASSERT_TRUE(m_Table.ApplyToFrame(f, 1));
    EXPECT_FLOAT_EQ(f->pTransformation[12], 11.0f);
    ASSERT_TRUE(m_Table.ApplyToFrame(f, -1));  // identity everywhere
    EXPECT_TRUE(IsIdentity(f->pTransformation));
}

TEST_F(TransformTables, AllocateAndSetMatrixGuards)
{
    EXPECT_FALSE(m_Table.Allocate(0, 2));
    EXPECT_FALSE(m_Table.Allocate(2, 0));
    float m[16];
    Translation(m, 5);
    m_Table.SetMatrix(0, 0, m);  // no array: ignored
    FillTable();
    m_Table.SetMatrix(3, 0, m);
    m_Table.SetMatrix(0, -1, m);
    EXPECT_EQ(m_Table.GetMatrix(3, 0), nullptr);
    EXPECT_FLOAT_EQ(m_Table.GetMatrix(2, 1)[12], 22.0f);
    m_Table.m_iFrozenNode = 2;
    m_Table.Clear();
    EXPECT_EQ(m_Table.m_pMatrices, nullptr);
    EXPECT_EQ(m_Table.m_iNumSteps, 0);
    EXPECT_EQ(m_Table.m_iFrozenNode, -1);
    EXPECT_FALSE(m_Table.ApplyToFrame(nullptr, 0));
}

TEST_F(TransformTables, FrozenNodeShiftsEveryPart)
{
    NKGeometry *pGeo = MakeFrames(1, 2);
    NKFrame *f = &g_pModel->pFrames[0];
    // Without matrices and without a frozen node the frame stays as it was.
    f->pTransformation[12] = 7.0f;
    ASSERT_TRUE(m_Table.ApplyToFrame(f, 0));
    EXPECT_FLOAT_EQ(f->pTransformation[12], 7.0f);
    f->pVector = NKTestMakeDisplacedResult(pGeo, 0.5f, 0, -1);
    f->pVector->iNumRef = 1;
    m_Table.m_iFrozenNode = 3;
    m_Table.m_iFrozenPart = 1;
    ASSERT_TRUE(m_Table.ApplyToFrame(f, 0));
    for (int p = 0; p < 2; p++) {
        EXPECT_FLOAT_EQ(f->pTransformation[16 * p + 12], -0.5f);
        EXPECT_FLOAT_EQ(f->pTransformation[16 * p + 13], 0.0f);
        EXPECT_FLOAT_EQ(f->pTransformation[16 * p + 14], 1.0f);
    }
    // A node outside the part adds nothing.
    m_Table.m_iFrozenNode = 4;
    ASSERT_TRUE(m_Table.ApplyToFrame(f, 0));
    EXPECT_TRUE(IsIdentity(&f->pTransformation[16]));
}

// ---- Viewpoint table ------------------------------------------------------------------

TEST_F(TransformTables, ViewpointsByStepWithinTheTable)
{
    MakeFrames(1, 1);
    NKFrame *f = &g_pModel->pFrames[0];
    ASSERT_TRUE(m_ViewPoints.ApplyToFrame(f, 0));  // empty table: nothing
    EXPECT_EQ(f->pViewPoint, nullptr);
    EXPECT_FALSE(m_ViewPoints.Allocate(0));
    ASSERT_TRUE(m_ViewPoints.Allocate(2));
    float eye0[3] = {0, 0, 5}, eye1[3] = {0, 0, 9}, vrp[3] = {0, 0, 0}, vup[3] = {0, 1, 0};
    m_ViewPoints.Set(0, eye0, vrp, vup);
    m_ViewPoints.Set(1, eye1, vrp, vup);
    m_ViewPoints.Set(2, eye0, vrp, vup);           // outside: ignored
    m_ViewPoints.Set(-1, eye0, vrp, vup);          // outside: ignored
    ASSERT_TRUE(m_ViewPoints.ApplyToFrame(f, 7));  // past the table: the last
    ASSERT_NE(f->pViewPoint, nullptr);
    EXPECT_EQ(f->pViewPoint->iNumRef, 1);
    EXPECT_FLOAT_EQ(f->pViewPoint->eye[2], 9.0f);
    EXPECT_FLOAT_EQ(f->pViewPoint->vup[1], 1.0f);
    EXPECT_EQ(f->iStepIndex, 7);  // the step shown, not the entry used
    NKViewPoint *pBefore = f->pViewPoint;
    ASSERT_TRUE(m_ViewPoints.ApplyToFrame(f, -1));  // left alone
    EXPECT_EQ(f->pViewPoint, pBefore);
    ASSERT_TRUE(m_ViewPoints.ApplyToFrame(f, 0));
    EXPECT_FLOAT_EQ(f->pViewPoint->eye[2], 5.0f);
    m_ViewPoints.Init();
    EXPECT_EQ(m_ViewPoints.m_iCount, 0);
    EXPECT_EQ(m_ViewPoints.m_pEye, nullptr);
}

// ---- Fit to the model box -----------------------------------------------------------------

TEST_F(TransformTables, FitLeavesMatricesWhenFrameZeroFitsTheModelBox)
{
    g_pModel->fGeoScale = 1.0f;
    NKGeometry *pGeo = NKCreateGeometry(1);
    NKTestMakeCube(&pGeo->pParts[0], 0.0f, 2.0f);
    ASSERT_TRUE(NKSetFrameCount(2, false));
    for (int i = 0; i < 2; i++) NKTestShareGeometry(&g_pModel->pFrames[i], pGeo);
    ASSERT_TRUE(NKAllocFrameTransformations(&g_pModel->pFrames[1]));
    ASSERT_TRUE(NKComputeFrameBoundingBoxes(-1, true, true));
    for (int k = 0; k < 6; k++) g_pModel->fBoundingBox[k] = pGeo->fBoundingBox[k];
    ASSERT_TRUE(NKFitTransformationsToModelBox());
    EXPECT_TRUE(IsIdentity(g_pModel->pFrames[1].pTransformation));
}

TEST_F(TransformTables, FitScalesAboutFrameZeroAndMovesToTheModelBox)
{
    g_pModel->fGeoScale = 1.0f;
    NKGeometry *pGeo = NKCreateGeometry(1);
    NKTestMakeCube(&pGeo->pParts[0], 0.0f, 2.0f);
    ASSERT_TRUE(NKSetFrameCount(1, false));
    NKTestShareGeometry(&g_pModel->pFrames[0], pGeo);
    ASSERT_TRUE(NKAllocFrameTransformations(&g_pModel->pFrames[0]));
    ASSERT_TRUE(NKComputeFrameBoundingBoxes(-1, true, true));
    const float afModelBox[6] = {10, 10, 10, 14, 14, 14};
    for (int k = 0; k < 6; k++) g_pModel->fBoundingBox[k] = afModelBox[k];
    ASSERT_TRUE(NKFitTransformationsToModelBox());
    const float *m = g_pModel->pFrames[0].pTransformation;
    float corner[3] = {0, 0, 0};
    NKTransformPoint(m, corner);
    EXPECT_NEAR(corner[0], 10.0f, 1e-5f);
    EXPECT_NEAR(corner[2], 10.0f, 1e-5f);
    const float *pfBox = NKGetGeoBoundingBox(&g_pModel->pFrames[0], NK_BOX_DISPLACED_ONLY);
    ASSERT_NE(pfBox, nullptr);
    EXPECT_NEAR(pfBox[0], 10.0f, 1e-4f);
    EXPECT_NEAR(pfBox[5], 14.0f, 1e-4f);
}

TEST(TransformTablesWithoutModel, FitAnswersFalse)
{
    ASSERT_EQ(g_pModel, nullptr);
    EXPECT_FALSE(NKFitTransformationsToModelBox());
}

}  // namespace
