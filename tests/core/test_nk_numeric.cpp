// tests/core/test_nk_numeric.cpp -- undefined values, ranges, clamps, nice
// rounding, packed normals and inverse-distance interpolation of
// core/nk_numeric.h.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <iterator>
#include <vector>

#include "core/nk_numeric.h"
#include "core/nk_string.h"
#include "tests/test_support/nk_string_print.h"

// NKIsUndefined is the threshold alone; a value counts (NKIsDefinedValue)
// only when it is finite and below the threshold.
TEST(UndefinedValue, ThresholdAndNaN)
{
    const struct {
        float v;
        bool bUndefined, bDefined;
    } kCases[] = {
        {3.4028235e38f, true, false}, {NK_UNDEFINED_VALUE, true, false},
        {2.99e38f, false, true},      {-3.4028235e38f, false, true},
        {0.0f, false, true},          {-1.5f, false, true},
        {NAN, false, false},          {INFINITY, true, false},
        {-INFINITY, false, false},
    };
    for (const auto &c : kCases) {
        EXPECT_EQ(NKIsUndefined(c.v), c.bUndefined) << c.v;
        EXPECT_EQ(NKIsDefinedValue(c.v), c.bDefined) << c.v;
    }
    EXPECT_EQ(NK_UNDEFINED, 3.4028235e38f);
}

TEST(UndefinedValue, FormatFloat)
{
    EXPECT_STREQ(NKFormatFloat(NK_UNDEFINED_VALUE, "%f").GetText(), "NO_VALUE");
    EXPECT_STREQ(NKFormatFloat(1.5f, nullptr).GetText(), "1.5");
    EXPECT_STREQ(NKFormatFloat(0.25f, "%.3f").GetText(), "0.250");
    EXPECT_STREQ(NKFormatFloat(-2.0e-7f, "%g").GetText(), "-2e-07");
}

TEST(Ranges, MapRange)
{
    EXPECT_FLOAT_EQ(NKMapRange(5, 0, 10, 100, 200), 150.0f);
    EXPECT_FLOAT_EQ(NKMapRange(0, 0, 10, 200, 100), 200.0f);
    EXPECT_EQ(NKMapRange(4, 3, 3, 0, 1), NK_UNDEFINED_VALUE);
}

TEST(Ranges, InRangeRejectsNaN)
{
    EXPECT_TRUE(NKFloatInRange(1, 1, 2));
    EXPECT_TRUE(NKFloatInRange(2, 1, 2));
    EXPECT_FALSE(NKFloatInRange(2.5f, 1, 2));
    EXPECT_FALSE(NKFloatInRange(NAN, -1e30f, 1e30f));
    EXPECT_FALSE(NKDoubleInRange(NAN, -1e300, 1e300));
    EXPECT_TRUE(NKDoubleInRange(0.0, 0.0, 0.0));
}

TEST(Clamps, IntAndFloat)
{
    int v = 5;
    EXPECT_TRUE(NKClampInt(&v, 0, 3));
    EXPECT_EQ(v, 3);
    v = 2;
    EXPECT_FALSE(NKClampInt(&v, 0, 3));
    EXPECT_EQ(v, 2);
    v = -4;
    EXPECT_TRUE(NKClampInt(&v, 0, 3));
    EXPECT_EQ(v, 0);
    float f = NAN;
    EXPECT_TRUE(NKClampFloat(&f, 1, 2));
    EXPECT_EQ(f, 1.0f);
    f = 7;
    EXPECT_TRUE(NKClampFloat(&f, 1, 2));
    EXPECT_EQ(f, 2.0f);
    f = 1.5f;
    EXPECT_FALSE(NKClampFloat(&f, 1, 2));
}

TEST(SmallHelpers, SwapsTruthsPairsAndDecrement)
{
    int a = 1, b = 2;
    EXPECT_EQ(NKSwapInt(&a, &b), &a);
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 1);
    float fa = 1, fb = 2;
    NKSwapFloat(&fa, &fb);
    EXPECT_EQ(fa, 2.0f);
    EXPECT_TRUE(NKSameTruth(0, 0));
    EXPECT_TRUE(NKSameTruth(-3, 8));
    EXPECT_FALSE(NKSameTruth(0, 8));
    NKIntPair pair = {4, 5};
    NKClearPair(&pair);
    EXPECT_EQ(pair.iFirst, 0);
    EXPECT_EQ(pair.iSecond, 0);
    int ai[3] = {1, 2, 10};
    EXPECT_TRUE(NKDecrementInts(ai, 3));
    EXPECT_EQ(ai[2], 9);
    EXPECT_FALSE(NKDecrementInts(nullptr, 3));
    EXPECT_FALSE(NKDecrementInts(ai, -1));
}

TEST(SmallHelpers, ScaleByMaxComponent)
{
    const float in[3] = {2, 4, -8};
    float out[3];
    NKScaleByMaxComponent(out, in);
    EXPECT_FLOAT_EQ(out[0], 0.5f);
    EXPECT_FLOAT_EQ(out[1], 1.0f);
    EXPECT_FLOAT_EQ(out[2], -2.0f);
    const float neg[3] = {-1, -2, 0};
    NKScaleByMaxComponent(out, neg);
    EXPECT_EQ(out[0], -1.0f);
    EXPECT_EQ(out[1], -2.0f);
}

TEST(RoundUpNice, StepsOfOneTwoFive)
{
    EXPECT_FLOAT_EQ(NKRoundUpNice(0.37f), 0.5f);
    EXPECT_FLOAT_EQ(NKRoundUpNice(1.0f), 1.0f);
    EXPECT_FLOAT_EQ(NKRoundUpNice(1.2f), 2.0f);
    EXPECT_FLOAT_EQ(NKRoundUpNice(7.0f), 10.0f);
    EXPECT_FLOAT_EQ(NKRoundUpNice(120.0f), 200.0f);
    EXPECT_EQ(NKRoundUpNice(-3.0f), 0.0f);
    EXPECT_EQ(NKRoundUpNice(0.0f), 0.0f);
    EXPECT_FLOAT_EQ(NKRoundUpNice(4.5e-6f), 5e-6f);
}

TEST(RoundUpNice, ExactNiceFloatsStay)
{
    // 0.2f lies just above the double 0.2; it must not jump to 0.5.
    EXPECT_EQ(NKRoundUpNice(0.2f), 0.2f);
    EXPECT_EQ(NKRoundUpNice(0.5f), 0.5f);
    EXPECT_EQ(NKRoundUpNice(1000.0f), 1000.0f);
}

TEST(PackedNormals, PackAndUnpack)
{
    const float n[3] = {1, -1, 0};
    signed char b[3];
    NKPackNormal(n, b);
    EXPECT_EQ(b[0], 127);
    EXPECT_EQ(b[1], -128);
    EXPECT_EQ(b[2], 0);
    float back[3];
    NKUnpackNormal(back, b);
    EXPECT_NEAR(back[0], 1.0f, 1e-6);
    EXPECT_EQ(back[1], -1.0f);
    EXPECT_EQ(back[2], 0.0f);
}

TEST(PackedNormals, RoundsHalfAwayFromZeroAndSaturates)
{
    const float n[3] = {0.5f, -0.5f, 2.0f};
    signed char b[3];
    NKPackNormal(n, b);
    EXPECT_EQ(b[0], 64);   // 63.5 + 0.5
    EXPECT_EQ(b[1], -64);  // -64 - 0.5 truncated
    EXPECT_EQ(b[2], 127);  // out of range saturates instead of wrapping
}

TEST(Interpolation, PointOnNodeTakesItsValueExactly)
{
    const float coords[3][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    const int nodes[3] = {0, 1, 2};
    const float values[3] = {10, 20, 30};
    const float vectors[3][3] = {{1, 0, 0}, {0, 2, 0}, {0, 0, 3}};
    float fValue = -1, v[3];
    NKInterpolateAtPoint(coords, nodes, 3, values, vectors, 1, coords[1], &fValue, v);
    EXPECT_EQ(fValue, 20.0f);
    EXPECT_EQ(v[1], 2.0f);
    NKInterpolateAtPoint(coords, nodes, 3, values, nullptr, 1, coords[2], &fValue, nullptr);
    EXPECT_EQ(fValue, 30.0f);
}

TEST(Interpolation, EqualDistancesGiveTheMean)
{
    const float coords[2][3] = {{0, 0, 0}, {2, 0, 0}};
    const int nodes[2] = {0, 1};
    const float values[2] = {10, 20};
    const float vectors[2][3] = {{0, 0, 0}, {4, 2, 0}};
    const float p[3] = {1, 5, 0};
    float fValue, v[3];
    NKInterpolateAtPoint(coords, nodes, 2, values, vectors, 1, p, &fValue, v);
    EXPECT_FLOAT_EQ(fValue, 15.0f);
    EXPECT_FLOAT_EQ(v[0], 2.0f);
    NKInterpolateAtPoint(coords, nodes, 2, values, vectors, 2, p, &fValue, v);
    EXPECT_FLOAT_EQ(fValue, 15.0f);
}

TEST(Interpolation, ModesWeighDifferently)
{
    const float coords[2][3] = {{0, 0, 0}, {3, 0, 0}};
    const int nodes[2] = {0, 1};
    const float values[2] = {0, 1};
    const float p[3] = {1, 0, 0};  // distances 1 and 2
    float f1, f2;
    NKInterpolateAtPoint(coords, nodes, 2, values, nullptr, 1, p, &f1, nullptr);
    NKInterpolateAtPoint(coords, nodes, 2, values, nullptr, 0, p, &f2, nullptr);
    EXPECT_FLOAT_EQ(f1, 0.2f);          // (1/4) / (1 + 1/4)
    EXPECT_FLOAT_EQ(f2, 1.0f / 17.0f);  // (1/16) / (1 + 1/16)
}

TEST(Interpolation, EmptyListAndNullArguments)
{
    const float coords[1][3] = {{0, 0, 0}};
    const int nodes[1] = {0};
    const float values[1] = {5};
    const float p[3] = {1, 1, 1};
    float fValue = 9, v[3] = {9, 9, 9};
    NKInterpolateAtPoint(coords, nodes, 0, values, nullptr, 1, p, &fValue, v);
    EXPECT_EQ(fValue, 0.0f);
    EXPECT_EQ(v[0], 0.0f);
    fValue = 9;
    NKInterpolateAtPoint(coords, nullptr, 1, values, nullptr, 1, p, &fValue, nullptr);
    EXPECT_EQ(fValue, 9.0f);  // nothing happens
}

TEST(Interpolation, UsesAtMostSixteenNodes)
{
    float coords[20][3];
    int nodes[20];
    float values[20];
    for (int i = 0; i < 20; i++) {
        coords[i][0] = static_cast<float>(i + 1);
        coords[i][1] = coords[i][2] = 0;
        nodes[i] = i;
        values[i] = i < 16 ? 1.0f : 1000.0f;
    }
    const float p[3] = {0, 0, 0};
    float fValue;
    NKInterpolateAtPoint(coords, nodes, 20, values, nullptr, 1, p, &fValue, nullptr);
    EXPECT_FLOAT_EQ(fValue, 1.0f);
}

TEST(UndefinedValue, FirstNaNOrMinusInfinityAndTheirCount)
{
    struct Case {
        std::vector<float> values;
        int64_t iFirst, iCount;
    } cases[] = {{{}, -1, 0},
                 {{1, INFINITY, NK_UNDEFINED_VALUE, -FLT_MAX}, -1, 0},
                 {{1, -INFINITY, 2, NAN}, 1, 2},
                 {{NAN}, 0, 1}};
    for (const Case &c : cases) {
        int64_t iCount = -5;
        const int64_t n = (int64_t)c.values.size();
        EXPECT_EQ(NKFirstNaNOrMinusInf(c.values.data(), n, &iCount), c.iFirst);
        EXPECT_EQ(iCount, c.iCount);
        EXPECT_EQ(NKFirstNaNOrMinusInf(c.values.data(), n), c.iFirst);
    }
    EXPECT_EQ(NKFirstNaNOrMinusInf(nullptr, 3), -1);
    // Across the blocks the scan tests at once: plus infinity in a block
    // of its own and at the end of another, which also holds NaNs.
    std::vector<float> values(1000, 2.0f);
    values[10] = INFINITY;
    values[300] = -NAN;
    values[511] = INFINITY;
    values[600] = -INFINITY;
    values[999] = NAN;
    int64_t iCount = 0;
    EXPECT_EQ(NKFirstNaNOrMinusInf(values.data(), 1000, &iCount), 300);
    EXPECT_EQ(iCount, 3);
    EXPECT_EQ(NKFirstNaNOrMinusInf(values.data() + 301, 699), 299);
    EXPECT_EQ(NKFirstNaNOrMinusInf(values.data(), 300, &iCount), -1);
    EXPECT_EQ(iCount, 0);
}

// Every kind of non-finite value is found at every place of a block and
// across the edges of the blocks the scan tests at once; the largest finite
// values and the undefined value pass.
TEST(UndefinedValue, FirstNotFiniteAtEveryPlace)
{
    const float kBad[] = {NAN, -NAN, INFINITY, -INFINITY};
    const float kFine[] = {FLT_MAX, -FLT_MAX, NK_UNDEFINED_VALUE, FLT_MIN, 0.0f, -0.0f, 1e-45f};
    std::vector<float> values(1100, 1.0f);
    std::copy(std::begin(kFine), std::end(kFine), values.begin() + 250);
    const int64_t n = (int64_t)values.size();
    EXPECT_EQ(NKFirstNotFinite(values.data(), n), -1);
    EXPECT_EQ(NKFirstNotFinite(nullptr, 3), -1);
    EXPECT_EQ(NKFirstNotFinite(values.data(), 0), -1);
    for (float fBad : kBad)
        for (int64_t iAt : {0, 1, 255, 256, 257, 511, 512, 1023, 1099}) {
            std::vector<float> v = values;
            v[(size_t)iAt] = fBad;
            if (iAt + 300 < n) v[(size_t)iAt + 300] = fBad;  // a later one, in another block
            EXPECT_EQ(NKFirstNotFinite(v.data(), n), iAt) << fBad << " at " << iAt;
            // A count that stops before it does not see it.
            EXPECT_EQ(NKFirstNotFinite(v.data(), iAt), -1) << fBad << " at " << iAt;
        }
}
