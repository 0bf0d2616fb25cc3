// tests/core/test_plot_model.cpp -- the plot data model: the curve list and
// its limit, key choice, least-used styles, letter markers, curve ranges
// with undefined points, the value at x, axis flags, and the column export
// written to temporary files.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "core/nk_plot_records.h"

namespace {

constexpr float U = 3.0e38f;  // an undefined coordinate

struct PlotHolder {
    PlotRecord *p = NKCreatePlot();
    ~PlotHolder() { NKFreePlot(p); }
};

PlotCurve *AddPoints(PlotRecord *p, std::initializer_list<NKPlotPoint> pts)
{
    PlotCurve *c = NKPlotCreateCurve(p, -1, -1, "c", (int)pts.size());
    int i = 0;
    for (const NKPlotPoint &q : pts) c->pPoints[i++] = q;
    return c;
}

std::string ReadAll(const std::string &path)
{
    std::ifstream f(path);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

std::string TempPath(const char *pszName)
{
    return std::string(::testing::TempDir()) + pszName + std::to_string(getpid());
}

TEST(PlotModel, HundredCurvesRefuseTheNextAndCreateFreesIt)
{
    PlotHolder h;
    for (int i = 0; i < 100; i++) ASSERT_NE(NKPlotCreateCurve(h.p, i, 0, nullptr, 2), nullptr);
    PlotCurve *pExtra = NKCreatePlotCurve(500, 0, "x", 3);
    EXPECT_FALSE(NKPlotAppendCurve(h.p, pExtra));
    NKFreePlotCurve(pExtra);
    EXPECT_EQ(NKPlotCreateCurve(h.p, 500, 0, "x", 3), nullptr);  // freed inside: ASan checks
    EXPECT_EQ(NKPlotGetCurveCount(h.p), 100);
    EXPECT_FALSE(NKPlotAppendCurve(nullptr, nullptr));
}

TEST(PlotModel, LeastUsedStylesFollowTheTwoCurvesInUse)
{
    PlotHolder h;
    for (int i = 0; i < 2; i++) {
        PlotCurve *c = NKPlotCreateCurve(h.p, i, 0, nullptr, 0);
        c->ucLineColor[0] = 255, c->ucLineColor[1] = 0, c->ucLineColor[2] = 0;
        c->iLineStyle = 0;
        c->iMarkerType = 1;
    }
    uint8_t rgb[3];
    NKPlotPickCurveColor(rgb, h.p);
    EXPECT_EQ(rgb[0], 0);
    EXPECT_EQ(rgb[1], 255);
    EXPECT_EQ(rgb[2], 0);
    EXPECT_EQ(NKPlotPickLineStyle(h.p), 1);
    EXPECT_EQ(NKPlotPickMarkerType(h.p, rgb), 2);
    EXPECT_EQ(NKPlotPickLetterMarker(h.p, nullptr), 100);
}

TEST(PlotModel, RunningCountersGiveFreeKeysAndLettersReadAsLabels)
{
    PlotHolder h;
    PlotCurve *a = NKPlotCreateCurve(h.p, -1, -1, nullptr, 0);
    PlotCurve *b = NKPlotCreateCurve(h.p, -1, -1, nullptr, 0);
    ASSERT_TRUE(a != nullptr && b != nullptr);
    EXPECT_FALSE(a->iId == b->iId && a->iSubId == b->iSubId);
    PlotCurve *c = NKPlotCreateCurve(h.p, 7, -1, nullptr, 0);
    EXPECT_EQ(NKPlotAddCurve(h.p, 7, c->iSubId, nullptr, 0), nullptr);  // key taken
    EXPECT_EQ(NKPlotFindCurve(h.p, 7, c->iSubId), c);

    const struct {
        int iType;
        const char *pszText;
    } kLetters[] = {{100, "A"}, {125, "Z"}, {126, "AA"}, {801, "ZZ"}, {99, ""}, {802, ""}};
    for (const auto &k : kLetters) {
        char sz[3];
        NKPlotLetterMarkerText(k.iType, sz);
        EXPECT_STREQ(sz, k.pszText) << k.iType;
    }
}

TEST(PlotModel, RemoveKeepsOrderAndIterationWalksTheList)
{
    PlotHolder h;
    for (int i = 0; i < 4; i++) NKPlotCreateCurve(h.p, i, 9, nullptr, 0);
    PlotCurve *pTaken = NKPlotRemoveCurve(h.p, 1, 9);
    ASSERT_NE(pTaken, nullptr);
    NKFreePlotCurve(pTaken);
    EXPECT_FALSE(NKPlotDeleteCurve(h.p, 1, 9));
    int aOrder[3], n = 0;
    for (PlotCurve *c = NKPlotGetFirstCurve(h.p); c != nullptr; c = NKPlotGetNextCurve(h.p))
        aOrder[n++] = c->iId;
    ASSERT_EQ(n, 3);
    EXPECT_EQ(aOrder[0], 0);
    EXPECT_EQ(aOrder[1], 2);
    EXPECT_EQ(aOrder[2], 3);
    h.p->ppCurves[0]->bVisible = 0;
    EXPECT_EQ(NKPlotCountVisibleCurves(h.p, true), 2);
    EXPECT_EQ(NKPlotCountVisibleCurves(h.p, false), 1);
    NKPlotDeleteAllCurves(h.p);
    EXPECT_EQ(NKPlotGetFirstCurve(h.p), nullptr);
}

// The range starts at the first defined point (an undefined first point
// once gave ranges up to 3.4e38); a curve with none stays out.
TEST(PlotModel, RangesSkipUndefinedPoints)
{
    PlotHolder h;
    PlotCurve *c = AddPoints(h.p, {{U, 5}, {1, 2}, {3, 4}});
    PlotCurve *pNone = AddPoints(h.p, {{U, U}, {1, U}});
    ASSERT_TRUE(NKPlotCurveComputeRange(c));
    EXPECT_FLOAT_EQ(c->fXMin, 1);
    EXPECT_FLOAT_EQ(c->fXMax, 3);
    EXPECT_FLOAT_EQ(c->fYMin, 2);
    EXPECT_FLOAT_EQ(c->fYMax, 4);
    EXPECT_EQ(c->iXMinIndex, 1);
    EXPECT_EQ(c->iYMaxIndex, 2);
    EXPECT_FALSE(NKPlotCurveComputeRange(pNone));
    EXPECT_EQ(pNone->iXMinIndex, -1);
    ASSERT_TRUE(NKPlotComputeDataRange(h.p));
    EXPECT_FLOAT_EQ(h.p->fDataXMax, 3);
    EXPECT_FLOAT_EQ(h.p->fDataYMax, 4);
}

TEST(PlotModel, ValueAtInterpolatesAndHoldsTheEnds)
{
    PlotHolder h;
    PlotCurve *c = AddPoints(h.p, {{0, 0}, {2, 4}, {2, 6}, {4, 10}});
    const struct {
        float x, y;
    } kCases[] = {{1, 2}, {2, 4}, {3, 8}, {9, 10}, {-1, 0}};
    for (const auto &k : kCases) EXPECT_FLOAT_EQ(NKPlotCurveValueAt(c, k.x), k.y) << k.x;
    PlotCurve *pEmpty = NKPlotCreateCurve(h.p, 50, 0, nullptr, 0);
    EXPECT_EQ(NKPlotCurveValueAt(pEmpty, 1), 3.4028235e38f);
    ASSERT_TRUE(NKSetPlotCurvePointCount(c, 2));
    EXPECT_FLOAT_EQ(c->pPoints[1].y, 4);
    EXPECT_FALSE(NKSetPlotCurvePointCount(c, -1));
    EXPECT_EQ(c->iNumPoints, 2);
}

TEST(PlotModel, AxisFlagsResetSetAndCopy)
{
    PlotHolder h;
    uint8_t f[NK_AXIS_NUM_FLAGS];
    NKGetPlotAxisFlags(h.p, f);
    EXPECT_EQ(f[NK_AXIS_X_MIN_AUTO] + f[NK_AXIS_Y_CROSS_AUTO] + f[NK_AXIS_X_CROSS_AUTO], 3);
    EXPECT_EQ(f[NK_AXIS_X_ZERO] + f[NK_AXIS_Y_EXACT], 0);
    NKSetPlotAxisFlags(h.p, nullptr, NK_AXIS_FLAG_BIT(NK_AXIS_X_EXACT), 1);
    EXPECT_EQ(h.p->ucAxisFlags[NK_AXIS_X_EXACT], 1);
    EXPECT_EQ(h.p->ucAxisFlags[NK_AXIS_Y_EXACT], 0);
    NKSetPlotAxisFlags(h.p, nullptr, NK_AXIS_FLAGS_RESET | NK_AXIS_FLAG_BIT(NK_AXIS_X_MIN_AUTO), 0);
    EXPECT_EQ(h.p->ucAxisFlags[NK_AXIS_X_EXACT], 0);
    EXPECT_EQ(h.p->ucAxisFlags[NK_AXIS_X_MIN_AUTO], 0);
    NKSetPlotAxisFlags(h.p, f, 0, 0);
    EXPECT_EQ(h.p->ucAxisFlags[NK_AXIS_X_MIN_AUTO], 1);
    NKSetPlotSkip(0);
    EXPECT_EQ(NKGetPlotSkip(), 1);
}

class PlotExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        PlotCurve *c = AddPoints(h.p, {{1, 10}, {2, 20}, {3, 30}, {5, 50}});
        (void)c;
        h.p->fXMin = 2;
        h.p->fXMax = 4;
        m_Path = TempPath("plot_export");
    }
    void TearDown() override { std::remove(m_Path.c_str()); }
    PlotHolder h;
    std::string m_Path;
};

TEST_F(PlotExport, RowsOverTheXRangeWithAnInterpolatedEnd)
{
    int aCurves[] = {0};
    ASSERT_TRUE(NKExportPlotCurves(h.p, aCurves, 1, m_Path.c_str(), nullptr, false, true));
    EXPECT_EQ(ReadAll(m_Path), "           2           20\n"
                               "           3           30\n"
                               "           4           40\n");
    ASSERT_TRUE(NKExportPlotCurves(h.p, aCurves, 1, m_Path.c_str(), "a\n\nb", true, false));
    EXPECT_EQ(ReadAll(m_Path), "a\nb\n"
                               "           1\t          10\n"
                               "           2\t          20\n"
                               "           3\t          30\n"
                               "           5\t          50\n");
    h.p->fXMin = 6;  // no point reaches x min: no file
    std::remove(m_Path.c_str());
    EXPECT_FALSE(NKExportPlotCurves(h.p, aCurves, 1, m_Path.c_str(), nullptr, false, true));
    EXPECT_FALSE(std::ifstream(m_Path).good());
}

TEST_F(PlotExport, BadCurvesOrPathLeaveNoFile)
{
    AddPoints(h.p, {{1, 1}, {2, 2}, {3, 3}});
    int aMixed[] = {0, 1}, aBad[] = {7};
    EXPECT_FALSE(NKExportPlotCurves(h.p, aMixed, 2, m_Path.c_str(), nullptr, false, false));
    EXPECT_FALSE(NKExportPlotCurves(h.p, aBad, 1, m_Path.c_str(), nullptr, false, false));
    EXPECT_FALSE(std::ifstream(m_Path).good());
    std::string dir = TempPath("plot_ro_dir");
    ASSERT_EQ(mkdir(dir.c_str(), 0500), 0);
    std::string inside = dir + "/out.txt";
    int aOne[] = {0};
    bool bRoot = geteuid() == 0;
    if (!bRoot) {
        EXPECT_FALSE(NKExportPlotCurves(h.p, aOne, 1, inside.c_str(), nullptr, false, false));
    }
    EXPECT_FALSE(NKExportPlotCurves(h.p, aOne, 1, "/nonexistent-dir/x.txt", nullptr, false, false));
    if (!bRoot) {
        EXPECT_FALSE(std::ifstream(inside).good());
    }
    std::remove(inside.c_str());
    rmdir(dir.c_str());
}

}  // namespace
