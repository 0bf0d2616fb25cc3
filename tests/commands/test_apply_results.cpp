// tests/commands/test_apply_results.cpp -- results put into frames through
// the load pipeline with the full apply operations: reference counts,
// fitting, display conversion, ranges and the display settings they set.
#include <cmath>

#include "core/nk_normals.h"
#include "tests/commands/result_model_fixture.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/test_support/nk_test_records.h"

namespace {

class ApplyResults : public ResultModelTest {
protected:
    template <typename F>
    static void SetSlot(F NKLoadHooks::*pSlot, F pfn)
    {
        NKLoadHooks hooks = NKGetLoadHooks();
        hooks.*pSlot = pfn;
        NKSetLoadHooks(hooks);
    }
};

TEST_F(ApplyResults, NullScalarEmptiesTheRangeAndResetsAnAutomaticFringeRange)
{
    struct {
        uint8_t bAuto, bValueFilter;
        float fFringeTo, fFilterTo;
    } cases[] = {{1, 0, 0, 0}, {1, 1, 0, 5}, {0, 0, 7, 5}};
    for (const auto &c : cases) {
        MakeCubeModel(2);
        ASSERT_TRUE(NKApplyScalarToFrames(MakeScalar({1, 2}), 0, 1));
        g_bAutoFringeRange = c.bAuto;
        g_ValueFilterSettings = {c.bValueFilter, -5.0f, 5.0f};
        g_pModel->fFringeRangeTo = 7.0f;
        EXPECT_TRUE(NKApplyScalarToFrames(nullptr, 0, 0));
        EXPECT_EQ(g_pModel->pFrames[0].pScalar, nullptr);
        EXPECT_EQ(g_pModel->pFrames[1].pScalar->iNumRef, 1);
        EXPECT_EQ(g_pModel->fFringeRangeTo, c.fFringeTo);
        EXPECT_EQ(g_ValueFilterSettings.fFilterMax, c.fFilterTo);
    }
}

TEST_F(ApplyResults, ScalarValuesAreFittedToThePartNodesBeforeColouring)
{
    const float U = NK_UNDEFINED_VALUE;
    static int s_iCountAtColouring;
    // The drawing code colours the values and takes the fringe range.
    SetSlot(
        &NKLoadHooks::pfnComputeScalarNodeValues, +[](NKGeometry *, NKScalarResult *r) {
            s_iCountAtColouring = r->pNodeResults[0].iCount;
            g_pModel->fFringeRangeTo = 9.0f;
            return true;
        });
    g_bAutoFringeRange = 1;
    struct {
        std::vector<float> given, held;
    } cases[] = {{{1, 2, 3}, {1, 2, 3, U, U, U, U, U}},
                 {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {1, 2, 3, 4, 5, 6, 7, 8}}};
    for (const auto &c : cases) {
        MakeCubeModel(3);
        DropGeometry(1);
        NKScalarResult *pResult = MakeScalar(c.given);
        ASSERT_TRUE(NKApplyScalarToFrames(pResult, 0, 2));
        EXPECT_EQ(pResult->iNumRef, 2);  // the frame without geometry takes none
        EXPECT_EQ(g_pModel->pFrames[1].pScalar, nullptr);
        EXPECT_EQ(g_pModel->iNumScalarSteps, 1);
        EXPECT_EQ(s_iCountAtColouring, 8);
        EXPECT_EQ(NKTestValues(pResult->pNodeResults[0].pNodeValues, 8), c.held);
        EXPECT_EQ(g_ValueFilterSettings.fFilterMax, 9.0f);
    }
}

TEST_F(ApplyResults, RefusedScalarIsReleased)
{
    struct {
        int iFirst, iLast;
        bool bFirstBare, bColoursFail, bOldKept;
    } cases[] = {{1, 0, false, false, true},
                 {0, 2, false, false, true},
                 {-1, 0, false, false, true},
                 {0, 1, true, false, false},
                 {0, 1, false, true, true}};
    for (const auto &c : cases) {
        MakeCubeModel(2);
        ASSERT_TRUE(NKApplyScalarToFrames(MakeScalar({1}), 1, 1));
        if (c.bFirstBare) DropGeometry(0);
        SetSlot(&NKLoadHooks::pfnComputeScalarNodeValues,
                c.bColoursFail ? +[](NKGeometry *, NKScalarResult *) { return false; } : nullptr);
        m_Messages.Clear();
        NKScalarResult *pResult = MakeScalar({2});
        EXPECT_FALSE(NKApplyScalarToFrames(pResult, c.iFirst, c.iLast));
        EXPECT_FREED(pResult);
        EXPECT_EQ(g_pModel->pFrames[1].pScalar != nullptr, c.bOldKept);
        EXPECT_EQ(m_Messages.HasLine("Error computing scalar information.", NK_MSG_ERROR),
                  c.bColoursFail);
    }
}

TEST_F(ApplyResults, DisplacementsMoveNodesByTheScaleInModelUnits)
{
    const float U = NK_UNDEFINED_VALUE;
    MakeCubeModel(1);
    g_pModel->valueRanges[2].from = 2.0f;  // displacement scale of the main field
    // Node 0 at model (0,0,0) moves by 2 x (0.5, 0, 0); node 1's value is
    // undefined; node 7 at (0,2,2) moves by 2 x (0, 0, -1); values 8, 9 have
    // no node.
    std::vector<float> values(30, 0.0f);
    values[0] = 0.5f;
    values[3] = U;
    values[23] = -1.0f;
    NKVectorResult *pResult = MakeVector(values);
    ASSERT_TRUE(NKApplyVectorToFrames(pResult, 0, 0));
    const NKVectorPartEntry &entry = pResult->pResults[0];
    const float *pfNode = g_pModel->pFrames[0].pGeometry->pParts[0].pNodeCoords;
    ASSERT_EQ(entry.iNumNodes, 8);
    ExpectPoint(&entry.pNodeValues[0], 0.0f, -0.5f, -0.5f);
    ExpectPoint(&entry.pNodeValues[3], pfNode[3], pfNode[4], pfNode[5]);
    ExpectPoint(&entry.pNodeValues[21], -0.5f, 0.5f, -0.5f);
    EXPECT_EQ(entry.iNumPolygons, 6);
    // The cube's faces meet at more than the crease angle: no averaged normal.
    EXPECT_TRUE(NKIsUndefinedNormal(&entry.pNodeNormals[3 * 5]));
    EXPECT_EQ(g_pModel->iNumVectorSteps, 1);
}

TEST_F(ApplyResults, VectorRangesFollowTheResultUnlessFixed)
{
    SetSlot(
        &NKLoadHooks::pfnComputeVectorLengthRange, +[](NKVectorResult *r) {
            r->lengthMinMax.Update(1.0f, 0, 3, -1);
            r->lengthMinMax.Update(4.0f, 0, 5, -1);
            r->fMaxDisplayLength = 2.0f;
            return true;
        });
    for (uint8_t bFixed : {0, 1}) {
        MakeCubeModel(2);
        g_pModel->vectorMinMax.Reset();
        g_pModel->valueRanges[2].from = 3.0f;
        g_VectorSettings.fClampMin = g_VectorSettings.fFilterMin = 7.0f;
        g_VectorSettings.fClampMax = g_VectorSettings.fFilterMax = 8.0f;
        g_VectorSettings.bClamp = g_VectorSettings.bFilter = bFixed;
        ASSERT_TRUE(NKApplyVectorToFrames(MakeVector({0, 0, 0}), 1, 1));
        EXPECT_EQ(g_pModel->vectorMinMax.iMinFrame, 1);
        EXPECT_EQ(g_pModel->fMaxVectorValue, 2.0f);
        const NKVectorSettings &s = g_VectorSettings;
        EXPECT_EQ(std::vector<float>({s.fFilterMin, s.fFilterMax, s.fClampMin, s.fClampMax}),
                  bFixed ? std::vector<float>({7, 8, 7, 8}) : std::vector<float>({1, 4, 0, 6}));
    }
    SetSlot(
        &NKLoadHooks::pfnComputeVectorLengthRange, +[](NKVectorResult *) { return false; });
    EXPECT_FALSE(NKApplyVectorToFrames(MakeVector({0, 0, 0}), 0, 0));
    EXPECT_TRUE(m_Messages.HasLine("Error computing vector information.", NK_MSG_ERROR));
}

TEST_F(ApplyResults, SeparateFieldGoesToDisplayUnitsAndItsSlotRange)
{
    auto make = [] {
        NKSeparateVectorField *pField = NKCreateSeparateVectorField();
        pField->iNumParts = 1;
        pField->pParts =
            static_cast<NKSeparateVectorPart *>(NKCalloc(1, sizeof(NKSeparateVectorPart)));
        pField->pParts[0].iCount = 2;
        pField->pParts[0].pItems =
            static_cast<NKSeparateVector *>(NKAlloc(2 * sizeof(NKSeparateVector)));
        pField->pParts[0].pItems[0] = {5, {2, 2, 2}, {3, 4, 0}};
        pField->pParts[0].pItems[1] = {7, {0, 0, 0}, {0, 0, 1}};
        return pField;
    };
    MakeCubeModel(2);
    NKSeparateVectorField *pField = make();
    ASSERT_TRUE(NKApplySeparateVectorField(pField, 0, 1, 1));
    EXPECT_EQ(pField->iNumRef, 2);
    ExpectPoint(pField->pParts[0].pItems[0].fPosition, 0.5f, 0.5f, 0.5f);
    ExpectPoint(pField->pParts[0].pItems[0].fVector, 1.5f, 2.0f, 0.0f);
    const NKValueRange &range = g_pModel->valueRanges[5];
    EXPECT_EQ(range.minMax.iMinNode, 7);
    EXPECT_EQ(range.minMax.max, 5.0f);
    EXPECT_FLOAT_EQ(range.fMaxLength, 2.5f);
    const NKVectorSettings &s = g_SeparateVectorSettings[1];
    EXPECT_EQ(std::vector<float>({s.fFilterMin, s.fFilterMax, s.fClampMin, s.fClampMax}),
              std::vector<float>({1, 5, 0, 2.5f}));
    EXPECT_TRUE(NKApplySeparateVectorField(nullptr, 0, 0, 1));
    EXPECT_EQ(pField->iNumRef, 1);
    // A bad slot or range, or no frame with a geometry: nobody keeps it.
    DropGeometry(0);
    for (int iSlot : {3, -1, 0}) {
        NKSeparateVectorField *pRefused = make();
        EXPECT_FALSE(NKApplySeparateVectorField(pRefused, 0, 0, iSlot));
        EXPECT_FREED(pRefused);
    }
}

// Values that are no finite number become undefined in the result itself,
// before any slot sees them: each such node or element value, and a vector
// as a whole when any one component is none, its z alone included. The
// answer counts the values (vectors) changed.
TEST_F(ApplyResults, NonFiniteValuesAreUndefinedInTheResultItself)
{
    const float U = NK_UNDEFINED_VALUE;
    for (float fBad : {NAN, INFINITY, -INFINITY}) {
        SCOPED_TRACE(fBad);
        NKScalarResult *pScalar = MakeScalar({1, fBad, 3});
        pScalar->pElementResults =
            static_cast<NKScalarPartEntry *>(NKCalloc(1, sizeof(NKScalarPartEntry)));
        pScalar->pElementResults[0].iCount = 3;
        pScalar->pElementResults[0].pNodeValues = fixtures::AllocCopy<float>({fBad, 2, fBad});
        EXPECT_EQ(NKUndefineNonFiniteValues(pScalar), 3);
        EXPECT_EQ(NKTestValues(pScalar->pNodeResults[0].pNodeValues, 3),
                  (std::vector<float>{1, U, 3}));
        EXPECT_EQ(NKTestValues(pScalar->pElementResults[0].pNodeValues, 3),
                  (std::vector<float>{U, 2, U}));
        NKReleaseScalarResult(pScalar);

        NKVectorResult *pVector = MakeVector({1, 2, fBad, 3, 4, 0, fBad, 5, 6});
        EXPECT_EQ(NKUndefineNonFiniteValues(pVector), 2);
        EXPECT_EQ(NKTestValues(pVector->pResults[0].pNodeValues, 9),
                  (std::vector<float>{U, U, U, 3, 4, 0, U, U, U}));
        NKReleaseVectorResult(pVector);
    }
}

}  // namespace
