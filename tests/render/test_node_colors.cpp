// tests/render/test_node_colors.cpp -- the spectrum mapping, the fringe
// range of field 0 and of the frames, nodal averaging, node-value arrays
// kept across recomputations and the value filter, through the slots of
// core that the drawing code fills.
#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

#include "core/nk_element_types.h"
#include "core/nk_load_hooks.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_numeric.h"
#include "core/nk_render_state.h"
#include "core/nk_view_state.h"
#include "render/nk_fringe_texture.h"
#include "render/nk_node_colors.h"
#include "render/nk_view_settings.h"
#include "tests/render/render_fixture.h"

namespace {

class NodeColors : public NKRenderModelTest {
protected:
    void TearDown() override
    {
        g_bAutoFringeRange = 0;
        g_ValueFilterSettings = NKValueFilterSettings();
        NKRenderModelTest::TearDown();
    }
};

// A result of one part entry holding the values (node or element entry).
NKScalarResult *MakeResult(const std::vector<float> &values, bool bElements)
{
    NKScalarResult *pRes = NKCreateScalarResult();
    pRes->iNumParts = 1;
    auto *pEntry = static_cast<NKScalarPartEntry *>(NKCalloc(1, sizeof(NKScalarPartEntry)));
    pEntry->iCount = static_cast<int>(values.size());
    pEntry->pNodeValues = static_cast<float *>(NKAlloc(values.size() * sizeof(float)));
    std::memcpy(pEntry->pNodeValues, values.data(), values.size() * sizeof(float));
    (bElements ? pRes->pElementResults : pRes->pNodeResults) = pEntry;
    return pRes;
}

// A vector result of one part entry holding the nodes' vectors (x, y, z
// each).
NKVectorResult *MakeVectors(const std::vector<float> &xyz)
{
    NKVectorResult *pVec = NKCreateVectorResult();
    pVec->iNumParts = 1;
    pVec->pResults = static_cast<NKVectorPartEntry *>(NKCalloc(1, sizeof(NKVectorPartEntry)));
    pVec->pResults[0].iNumNodes = static_cast<int>(xyz.size() / 3);
    pVec->pResults[0].pNodeValues = static_cast<float *>(NKAlloc(xyz.size() * sizeof(float)));
    std::memcpy(pVec->pResults[0].pNodeValues, xyz.data(), xyz.size() * sizeof(float));
    return pVec;
}

}  // namespace

TEST_F(NodeColors, ValuesMapOntoTheSpectrumAndTheirCoordinates)
{
    struct Case {
        float v;
        uint8_t r, g, b;
        float fCoord;
    } cases[] = {{0, 0, 0, 255, 0.001f},       {25, 0, 255, 255, 0.25f},
                 {37.5f, 0, 255, 127, 0.375f}, {50, 0, 255, 0, 0.5f},
                 {100, 255, 0, 0, 0.999f},     {100.5f, 255, 0, 0, 0.999f},
                 {-0.5f, 0, 0, 255, 0.001f},   {NK_UNDEFINED, 150, 150, 150, 0.001f}};
    NKFringeBelowColor[1] = 7;  // tells the below colour from C0
    NKFringeAboveColor[1] = 9;  // and the above colour from C4
    for (const Case &c : cases) {
        uint8_t au[3];
        float f = 0;
        NKMapScalarsToColors(0, 100, 1, &c.v, au, &f);
        const bool bAbove = c.v > 100 && !NKIsUndefined(c.v);
        const uint8_t g = c.v < 0 ? 7 : bAbove ? 9 : c.g;
        EXPECT_TRUE(au[0] == c.r && au[1] == g && au[2] == c.b) << c.v;
        EXPECT_FLOAT_EQ(f, c.fCoord) << c.v;
    }
    NKResetFringeColors();
    const float afSeven[2] = {7, NK_UNDEFINED};
    uint8_t au[6];
    float af[2];
    NKMapScalarsToColors(7, 7, 2, afSeven, au, af);
    EXPECT_TRUE(au[0] == 0 && au[1] == 0 && au[2] == 255 && au[3] == 150);
    EXPECT_FLOAT_EQ(af[0], 0.001f);
}

TEST_F(NodeColors, FieldZeroWidensAnEmptyRangeAndTheAutomaticRangeFollowsTheData)
{
    MakeModel(1, 1);
    struct Case {
        float from, toOut;
    } cases[] = {{5, 5.05f}, {0, 1}, {-5, -4.95f}};
    for (const Case &c : cases) {
        NKScalarResult *pRes = MakeResult({1, 2}, false);
        g_pModel->fFringeRangeFrom = g_pModel->fFringeRangeTo = c.from;
        ASSERT_TRUE(NKComputeScalarNodeValues(nullptr, pRes));
        EXPECT_FLOAT_EQ(g_pModel->fFringeRangeTo, c.toOut) << c.from;
        NKReleaseScalarResult(pRes);
    }
    g_bAutoFringeRange = 1;
    NKScalarResult *pRes = MakeResult({7, 7, 7}, false);
    ASSERT_TRUE(NKComputeScalarNodeValues(nullptr, pRes));
    const uint8_t *c = pRes->pNodeResults[0].pColors;
    float *pfTex = pRes->pNodeResults[0].pTexCoords;
    EXPECT_TRUE(c[0] == 0 && c[1] == 0 && c[2] == 255);
    EXPECT_FLOAT_EQ(pfTex[2], 0.001f);
    // A second computation keeps the arrays.
    ASSERT_TRUE(NKComputeScalarNodeValues(nullptr, pRes));
    EXPECT_EQ(pRes->pNodeResults[0].pColors, c);
    EXPECT_EQ(pRes->pNodeResults[0].pTexCoords, pfTex);
    EXPECT_FALSE(NKComputeScalarNodeValues(nullptr, nullptr));
    NKReleaseScalarResult(pRes);
}

TEST_F(NodeColors, FringeRangeBelowItsStartTakesTheFramesData)
{
    MakeModel(2, 2);
    const std::vector<float> aValues[2] = {{1, 3}, {2, 8}};
    for (int f = 0; f < 2; f++) {
        NKScalarResult *pRes = MakeResult(aValues[f], false);
        ASSERT_TRUE(NKComputeScalarFieldColors(pRes, 0));
        g_pModel->pFrames[f].pScalar = pRes;
        pRes->iNumRef++;
    }
    NKSetFringeRange(10, 0, true, 0);
    EXPECT_FLOAT_EQ(g_pModel->fFringeRangeFrom, 1);
    EXPECT_FLOAT_EQ(g_pModel->fFringeRangeTo, 8);
    const uint8_t *c = g_pModel->pFrames[1].pScalar->pNodeResults[0].pColors;
    EXPECT_TRUE(c[3] == 255 && c[4] == 0 && c[5] == 0);  // 8 is the top
    NKSetFringeRange(3, 3, false, 1);
    EXPECT_FLOAT_EQ(g_pModel->valueRanges[1].to, 4);
}

TEST_F(NodeColors, ElementValuesAverageToNodesUndefinedWins)
{
    // Two quads sharing nodes 1 and 4 (of six): values 2 and 4.
    NKGeometry *pGeo = MakeModel(1, 1);
    NKPart &part = pGeo->pParts[0];
    part.iNumNodes = 6;
    part.iNumElements = 2;
    part.pElements = static_cast<NKElement *>(NKAlloc(2 * sizeof(NKElement)));
    part.pElements[0] = {NK_ELEM_SHELL, 1, 0, 0};
    part.pElements[1] = {NK_ELEM_SHELL, 2, 1, 4};
    const int aiConn[8] = {0, 1, 4, 3, 1, 2, 5, 4};
    part.iNumElementConnects = 8;
    part.pElementConnects = static_cast<int *>(NKAlloc(sizeof(aiConn)));
    std::memcpy(part.pElementConnects, aiConn, sizeof(aiConn));
    ASSERT_EQ(NKFElementNodeCount(NK_ELEM_SHELL), 4);
    NKScalarResult *pRes = MakeResult({2, 4}, true);
    ASSERT_TRUE(NKComputeNodalAverage(pGeo, pRes, -1));
    const float *v = pRes->pNodeResults[0].pNodeValues;
    EXPECT_FLOAT_EQ(v[0], 2);
    EXPECT_FLOAT_EQ(v[1], 3);
    EXPECT_FLOAT_EQ(v[2], 4);
    pRes->pElementResults[0].pNodeValues[1] = NK_UNDEFINED;
    ASSERT_TRUE(NKComputeNodalAverage(pGeo, pRes, 0));
    EXPECT_TRUE(NKIsUndefined(v[1]));
    EXPECT_FLOAT_EQ(v[0], 2);
    NKScalarResult *pNodesOnly = MakeResult({1}, false);
    EXPECT_FALSE(NKComputeNodalAverage(pGeo, pNodesOnly, -1));
    NKReleaseScalarResult(pNodesOnly);
    NKReleaseScalarResult(pRes);
}

TEST_F(NodeColors, FilterPassesValuesInsideItsRange)
{
    MakeModel(1, 1);
    NKFrame *pFrame = &g_pModel->pFrames[0];
    EXPECT_TRUE(NKIsPolygonFilteredOut(pFrame, 0, 0));  // no result
    g_ValueFilterSettings = {1, 0.0f, 10.0f};
    struct Case {
        float afValues[4];
        bool bHidden;
    } cases[] = {
        {{0, 10, 5, 5}, false}, {{0, 10, 10.5f, 5}, true}, {{0, NK_UNDEFINED, 5, 5}, true}};
    for (const Case &c : cases) {
        NKScalarResult *pRes = MakeResult(std::vector<float>(c.afValues, c.afValues + 4), false);
        pFrame->pScalar = pRes;
        pRes->iNumRef++;
        EXPECT_EQ(NKIsPolygonFilteredOut(pFrame, 0, 0), c.bHidden) << c.afValues[2];
        EXPECT_TRUE(NKIsPolygonFilteredOut(pFrame, 1, 0));
        NKReleaseScalarResult(pRes);
        pFrame->pScalar = nullptr;
    }
    const int aiIndex[2] = {0, 2};
    const float afValues[3] = {1, 50, 11};
    EXPECT_TRUE(NKAnyValueOutsideFilter(aiIndex, 2, afValues));
    EXPECT_FALSE(NKAnyValueOutsideFilter(aiIndex, 1, afValues));
    EXPECT_FALSE(NKAnyValueOutsideFilter(aiIndex, 0, afValues));
}

TEST_F(NodeColors, FringeTextureTablesAndBands)
{
    uint8_t au[48];
    ASSERT_TRUE(NKReverseFringeTextureColors(au));
    EXPECT_TRUE(au[0] == 255 && au[1] == 0 && au[2] == 0 && au[47] == 255);
    EXPECT_FALSE(NKResetFringeTextureColors(nullptr));
    ASSERT_NE(g_pFringeTextureColors, nullptr);
    EXPECT_EQ(g_pFringeTextureColors->iCount, 16);
    struct Case {
        float v, from, to;
        int iBand;
    } cases[] = {{100, 0, 100, 15}, {6.25f, 0, 100, 1}, {-3, 0, 100, 0}, {5, 5, 5, 0}};
    for (const Case &c : cases)
        EXPECT_EQ(NKFringeTextureBandColor(c.v, c.from, c.to),
                  g_pFringeTextureColors->auColors + 3 * c.iBand)
            << c.v;
}

// NaN and both infinities in a result are undefined values: the undefined
// colour at the lowest coordinate, no part in the range or the fringe range,
// an element of them makes its nodes undefined, and a vector with any
// component that is none (or undefined, as a vector file shorter than its
// model leaves one) has no length. A range end that is infinite maps the
// values without a band index from NaN.
TEST_F(NodeColors, ValuesThatAreNoNumberAreUndefinedInColoursRangesAndLengths)
{
    NKGeometry *pGeo = MakeModel(1, 1);
    g_bAutoFringeRange = 1;
    for (float fBad : {NAN, -INFINITY, INFINITY}) {
        SCOPED_TRACE(fBad);
        uint8_t au[3];
        float fCoord = 0;
        NKMapScalarsToColors(0, 100, 1, &fBad, au, &fCoord);
        EXPECT_TRUE(au[0] == 150 && au[1] == 150 && au[2] == 150);
        EXPECT_FLOAT_EQ(fCoord, 0.001f);

        NKScalarResult *pRes = MakeResult({fBad, 1, 5}, false);
        ASSERT_TRUE(NKComputeScalarNodeValues(pGeo, pRes));
        const NKScalarPartEntry &e = pRes->pNodeResults[0];
        EXPECT_EQ(e.pNodeValues[0], NK_UNDEFINED_VALUE);
        EXPECT_TRUE(e.pColors[0] == 150 && e.pColors[1] == 150 && e.pColors[2] == 150);
        EXPECT_FLOAT_EQ(pRes->nodeMinMax.min, 1);
        EXPECT_EQ(pRes->nodeMinMax.iMinNode, 1);
        EXPECT_FLOAT_EQ(pRes->nodeMinMax.max, 5);
        EXPECT_FLOAT_EQ(g_pModel->fFringeRangeFrom, 1);
        EXPECT_FLOAT_EQ(g_pModel->fFringeRangeTo, 5);
        NKReleaseScalarResult(pRes);

        // Two quads over nodes 0-5 sharing nodes 1 and 4; the first is bad.
        NKPart &part = pGeo->pParts[0];
        const int aiConn[8] = {0, 1, 4, 3, 1, 2, 5, 4};
        NKFree(part.pElements);
        NKFree(part.pElementConnects);
        part.iNumNodes = 6;
        part.iNumElements = 2;
        part.pElements = static_cast<NKElement *>(NKAlloc(2 * sizeof(NKElement)));
        part.pElements[0] = {NK_ELEM_SHELL, 1, 0, 0};
        part.pElements[1] = {NK_ELEM_SHELL, 2, 1, 4};
        part.iNumElementConnects = 8;
        part.pElementConnects = static_cast<int *>(NKAlloc(sizeof(aiConn)));
        std::memcpy(part.pElementConnects, aiConn, sizeof(aiConn));
        NKScalarResult *pElements = MakeResult({fBad, 4}, true);
        ASSERT_TRUE(NKComputeNodalAverage(pGeo, pElements, -1));
        const float *v = pElements->pNodeResults[0].pNodeValues;
        EXPECT_TRUE(NKIsUndefined(v[0]) && NKIsUndefined(v[1]));
        EXPECT_FLOAT_EQ(v[2], 4);
        NKReleaseScalarResult(pElements);

        NKVectorResult *pVec =
            MakeVectors({3, 4, 0, fBad, 0, 0, 0, fBad, 2, 1, NK_UNDEFINED, NK_UNDEFINED});
        ASSERT_TRUE(NKComputeVectorLengthRange(pVec));
        EXPECT_FLOAT_EQ(pVec->lengthMinMax.min, 5);
        EXPECT_FLOAT_EQ(pVec->lengthMinMax.max, 5);
        EXPECT_EQ(pVec->lengthMinMax.iMaxNode, 0);
        for (int k = 3; k < 9; k++)
            EXPECT_EQ(pVec->pResults[0].pNodeValues[k], NK_UNDEFINED_VALUE) << k;
        EXPECT_FLOAT_EQ(pVec->pResults[0].pNodeValues[9], 1);
        NKReleaseVectorResult(pVec);
    }
    const float afValues[2] = {50, -7};
    uint8_t au[6];
    float afCoords[2];
    NKMapScalarsToColors(-INFINITY, 100, 2, afValues, au, afCoords);
    for (float f : afCoords) EXPECT_TRUE(f >= 0.001f && f <= 0.999f) << f;
    NKMapScalarsToColors(0, INFINITY, 2, afValues, au, afCoords);
    for (float f : afCoords) EXPECT_TRUE(f >= 0.001f && f <= 0.999f) << f;
}

// The same values met raw by the drawing code, with nothing before it to
// make them undefined: the colouring range (nodes, elements and the
// automatic fringe range) spans the finite values only and the raw values
// take the undefined colour; a vector whose z alone is none has no length.
TEST_F(NodeColors, RawValuesThatAreNoNumberStayOutOfRangesAndLengths)
{
    MakeModel(1, 1);
    g_bAutoFringeRange = 1;
    const uint8_t *pGrey = NKUndefinedValueColor;
    NKScalarResult *pRes = MakeResult({NAN, 1, INFINITY, 5, -INFINITY}, false);
    NKScalarResult *pElements = MakeResult({-INFINITY, 2, NAN, 7, INFINITY}, true);
    pRes->pElementResults = pElements->pElementResults;
    pElements->pElementResults = nullptr;
    NKReleaseScalarResult(pElements);
    ASSERT_TRUE(NKComputeScalarFieldColors(pRes, 0));
    EXPECT_EQ(pRes->nodeMinMax.min, 1);
    EXPECT_EQ(pRes->nodeMinMax.iMinNode, 1);
    EXPECT_EQ(pRes->nodeMinMax.max, 5);
    EXPECT_EQ(pRes->nodeMinMax.iMaxNode, 3);
    EXPECT_EQ(pRes->elementMinMax.min, 2);
    EXPECT_EQ(pRes->elementMinMax.max, 7);
    EXPECT_EQ(g_pModel->fFringeRangeFrom, 2);  // the element range, when there is one
    EXPECT_EQ(g_pModel->fFringeRangeTo, 7);
    for (int i : {0, 2, 4}) {
        EXPECT_EQ(std::memcmp(pRes->pNodeResults[0].pColors + 3 * i, pGrey, 3), 0) << i;
        EXPECT_EQ(std::memcmp(pRes->pElementResults[0].pColors + 3 * (4 - i), pGrey, 3), 0) << i;
    }
    NKReleaseScalarResult(pRes);

    for (float fBad : {NAN, INFINITY, -INFINITY}) {
        SCOPED_TRACE(fBad);
        NKVectorResult *pVec = MakeVectors({0, 0, 2, 3, 4, 0, 1, 1, fBad});
        ASSERT_TRUE(NKComputeVectorLengths(pVec));
        EXPECT_EQ(pVec->lengthMinMax.min, 2);
        EXPECT_EQ(pVec->lengthMinMax.iMinNode, 0);
        EXPECT_EQ(pVec->lengthMinMax.max, 5);
        EXPECT_EQ(pVec->lengthMinMax.iMaxNode, 1);
        NKReleaseVectorResult(pVec);
    }
}
