// tests/plot/test_plot_axes.cpp -- the axis update without a display: data
// ranges to units, ticks and "%.5G" labels, the exact-range, include-zero,
// transform and fixed-unit cases, the sign-aware 0.1 % test, the layout of
// an unbound plot, and the placement over the view.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "plot/nk_plot.h"

namespace {

struct PlotHolder {
    PlotRecord *p = NKCreatePlot();
    ~PlotHolder() { NKFreePlot(p); }
};

// A plot whose one curve spans x 0..1 and y lo..hi, with axes updated.
void UpdateY(PlotRecord *p, float fLo, float fHi)
{
    PlotCurve *c = NKPlotCreateCurve(p, 1, 1, "c", 2);
    c->pPoints[0] = {0, fLo};
    c->pPoints[1] = {1, fHi};
    ASSERT_TRUE(NKPlotComputeDataRange(p));
    NKPlotUpdateAxes(p);
}

TEST(PlotAxes, AutomaticRangesGetNiceUnitsAndTicks)
{
    const struct {
        float fLo, fHi, fUnit, fMin, fMax;
        int iTicks;
        const char *pszFirst, *pszLast;
    } kCases[] = {
        {0, 7.3f, 1, 0, 8, 9, "0", "8"},
        {-0.37f, 2.6f, 0.5f, -0.5f, 3, 8, "-0.5", "3"},
        {1234, 98765, 10000, 0, 100000, 11, "0", "1E+05"},
        {-250, -40, 50, -250, 0, 6, "-250", "0"},
        {-1, 10000, 2000, -2000, 10000, 7, "-2000", "10000"},
        {5, 5, 0.1f, 4.5f, 5.5f, 11, "4.5", "5.5"},  // c - 0.1|c| .. c + 0.1|c|
        {0, 0, 0.1f, 0, 1, 11, "0", "1"},
    };
    for (const auto &k : kCases) {
        PlotHolder h;
        UpdateY(h.p, k.fLo, k.fHi);
        SCOPED_TRACE(k.fHi);
        EXPECT_FLOAT_EQ(h.p->fYUnit, k.fUnit);
        EXPECT_NEAR(h.p->fYMin, k.fMin, 1e-4f * (1 + std::fabs(k.fMin)));
        EXPECT_NEAR(h.p->fYMax, k.fMax, 1e-4f * (1 + std::fabs(k.fMax)));
        ASSERT_EQ(h.p->iNumYTicks, k.iTicks);
        EXPECT_STREQ(h.p->szYTickLabels[0].GetText(), k.pszFirst);
        EXPECT_STREQ(h.p->szYTickLabels[k.iTicks - 1].GetText(), k.pszLast);
    }
}

TEST(PlotAxes, HalfUnitLabelsRunThroughZero)
{
    PlotHolder h;
    UpdateY(h.p, -0.37f, 2.6f);
    const char *kLabels[] = {"-0.5", "0", "0.5", "1", "1.5", "2", "2.5", "3"};
    for (int i = 0; i < 8; i++) EXPECT_STREQ(h.p->szYTickLabels[i].GetText(), kLabels[i]);
}

TEST(PlotAxes, ExactZeroTransformAndFixedUnit)
{
    PlotHolder exact, zero, scaled, fixed;
    NKSetPlotAxisFlags(exact.p, nullptr, NK_AXIS_FLAG_BIT(NK_AXIS_Y_EXACT), 1);
    UpdateY(exact.p, 0, 7.3f);
    EXPECT_FLOAT_EQ(exact.p->fYMax, 7.3f);
    EXPECT_EQ(exact.p->iNumYTicks, 8);
    EXPECT_STREQ(exact.p->szYTickLabels[7].GetText(), "7");

    NKSetPlotAxisFlags(zero.p, nullptr, NK_AXIS_FLAG_BIT(NK_AXIS_Y_ZERO), 1);
    UpdateY(zero.p, 5, 15);
    EXPECT_FLOAT_EQ(zero.p->fYMin, 0);
    EXPECT_FLOAT_EQ(zero.p->fYMax, 16);
    EXPECT_FLOAT_EQ(zero.p->fYUnit, 2);

    scaled.p->XTransform.fScale = 2;
    PlotCurve *c = NKPlotCreateCurve(scaled.p, 1, 1, "c", 2);
    c->pPoints[0] = {0, 0};
    c->pPoints[1] = {7.3f, 1};
    NKPlotComputeDataRange(scaled.p);
    NKPlotUpdateAxes(scaled.p);
    EXPECT_FLOAT_EQ(scaled.p->fXUnit, 1);
    ASSERT_EQ(scaled.p->iNumXTicks, 9);
    for (int i = 0; i < 9; i++)
        EXPECT_STREQ(scaled.p->szXTickLabels[i].GetText(), std::to_string(2 * i).c_str());

    NKSetPlotAxisFlags(fixed.p, nullptr,
                       NK_AXIS_FLAG_BIT(NK_AXIS_Y_MIN_AUTO) | NK_AXIS_FLAG_BIT(NK_AXIS_Y_MAX_AUTO) |
                           NK_AXIS_FLAG_BIT(NK_AXIS_Y_UNIT_AUTO),
                       0);
    fixed.p->fYMin = 0;
    fixed.p->fYMax = 1000;
    fixed.p->fYUnit = 1;
    UpdateY(fixed.p, 3, 4);
    EXPECT_FLOAT_EQ(fixed.p->fYUnit, 16);
    EXPECT_EQ(fixed.p->iNumYTicks, 63);
}

TEST(PlotAxes, GreaterBeyondIsSignAware)
{
    const struct {
        float a, b;
        bool bBeyond;
    } kCases[] = {{0, 0, false},       {-1, 5, false},   {0, -1, true},       {1.002f, 1, true},
                  {1.0005f, 1, false}, {-40, -50, true}, {-50.1f, -50, false}};
    for (const auto &k : kCases)
        EXPECT_EQ(NKFloatGreaterBeyond(k.a, k.b), k.bBeyond) << k.a << " " << k.b;
}

TEST(PlotAxes, UnboundPlotLaysOutWithEmptyTexts)
{
    PlotHolder h;
    UpdateY(h.p, 0, 8);
    NKSetPlotViewport(h.p, 10, 20, 400, 300);
    EXPECT_TRUE(h.p->bTickLabelsPlaced);
    EXPECT_EQ(h.p->DataView.iX, 25);
    EXPECT_EQ(h.p->DataView.iY, 35);
    EXPECT_EQ(h.p->DataView.iWidth, 370);
    EXPECT_EQ(h.p->DataView.iHeight, 270);
    NKSetPlotViewport(h.p, -1, -1, 40, 200);
    EXPECT_FALSE(h.p->bTickLabelsPlaced);
    EXPECT_EQ(NKPlotAttachContext(h.p, nullptr), nullptr);  // no context current
}

TEST(PlotAxes, PlacementRemembersEdgesAndFractions)
{
    PlotHolder h;
    const struct {
        int x, y, w, h, iViewW, iViewH;
        int ex, ey, ew, eh;
    } kSteps[] = {
        {-5, -7, 400, 300, 800, 600, 400, 300, 400, 300},
        {-2, -2, -2, -2, 1000, 500, 500, 250, 500, 250},
        {-3, -6, -1, -1, 1000, 500, 0, 0, 500, 250},
        {-4, 10, 200, 100, 1000, 500, 400, 10, 200, 100},
        {2000, 2000, -1, -1, 1000, 500, 800, 400, 200, 100},
    };
    for (const auto &s : kSteps) {
        NKPlacePlot(h.p, s.x, s.y, s.w, s.h, s.iViewW, s.iViewH);
        int x, y, w, hh;
        NKGetPlotViewport(h.p, &x, &y, &w, &hh);
        EXPECT_EQ(x, s.ex);
        EXPECT_EQ(y, s.ey);
        EXPECT_EQ(w, s.ew);
        EXPECT_EQ(hh, s.eh);
    }
}

}  // namespace
