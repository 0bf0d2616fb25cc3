// tests/plot/test_gl_plot.cpp -- the plot drawn into an off-screen context
// and read back: the layout against measured labels, curve, axis and
// background pixels, a marker square, the too-small and no-data cases, the
// plot skip seen through GL feedback, the GL state and stacks around a draw
// over the view, and the release of the plot's lists on detach.
#include <GL/gl.h>

#include <cmath>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "platform/nk_gl_context.h"
#include "plot/nk_plot.h"
#include "render/nk_text.h"

namespace {

constexpr int kW = 400, kH = 300;

struct Pixels {
    std::vector<unsigned char> a = std::vector<unsigned char>(kW * kH * 4);
    Pixels() { glReadPixels(0, 0, kW, kH, GL_RGBA, GL_UNSIGNED_BYTE, a.data()); }
    bool Is(int x, int y, int r, int g, int b) const
    {
        if (x < 0 || y < 0 || x >= kW || y >= kH) return false;
        const unsigned char *p = &a[(y * kW + x) * 4];
        return p[0] == r && p[1] == g && p[2] == b;
    }
    // Within one pixel of (x, y).
    bool Near(int x, int y, int r, int g, int b) const
    {
        for (int dy = -1; dy <= 1; dy++)
            for (int dx = -1; dx <= 1; dx++)
                if (Is(x + dx, y + dy, r, g, b)) return true;
        return false;
    }
    int Count(int r, int g, int b) const
    {
        int n = 0;
        for (int y = 0; y < kH; y++)
            for (int x = 0; x < kW; x++) n += Is(x, y, r, g, b);
        return n;
    }
};

int StackSum(void)
{
    GLint m = 0, p = 0, a = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &m);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &p);
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &a);
    return m * 10000 + p * 100 + a;
}

class PlotGL : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_pContext = NKCreateOffscreenGLContext(kW, kH);
        ASSERT_NE(m_pContext, nullptr);
        m_pPlot = NKCreatePlot();
        uint8_t bg[4] = {0, 0, 200, 255};
        for (int i = 0; i < 4; i++) m_pPlot->ucBackground[i] = bg[i];
        m_pPlot->bSmoothCurves = 0;
        m_pCurve = NKPlotCreateCurve(m_pPlot, 1, 1, "red", 3);
        m_pCurve->pPoints[0] = {0, 0};
        m_pCurve->pPoints[1] = {4, 2};
        m_pCurve->pPoints[2] = {8, 8};
        m_pCurve->ucLineColor[0] = 255, m_pCurve->ucLineColor[1] = 0, m_pCurve->ucLineColor[2] = 0;
        ASSERT_NE(NKPlotAttachContext(m_pPlot, nullptr), nullptr);
        NKSetPlotViewport(m_pPlot, 0, 0, kW, kH);
        Update();
    }
    void TearDown() override
    {
        NKPlotDetachContext(m_pPlot);
        NKFreePlot(m_pPlot);
        NKDestroyGLContext(m_pContext);
    }
    void Update()
    {
        NKPlotComputeDataRange(m_pPlot);
        NKPlotUpdateAxes(m_pPlot);
    }
    void Draw()
    {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        NKDrawPlot(m_pPlot, false, -1);
        glFinish();
    }
    int Px(float x) const { return (int)std::lround(PlotX(x)); }
    int Py(float y) const { return (int)std::lround(PlotY(y)); }
    float PlotX(float x) const
    {
        const NKOrthoView &d = m_pPlot->DataView;
        return (float)d.iX + (x - d.fXMin) * (float)d.iWidth / (d.fXMax - d.fXMin);
    }
    float PlotY(float y) const
    {
        const NKOrthoView &d = m_pPlot->DataView;
        return (float)d.iY + (y - d.fYMin) * (float)d.iHeight / (d.fYMax - d.fYMin);
    }
    NKGLContext *m_pContext = nullptr;
    PlotRecord *m_pPlot = nullptr;
    PlotCurve *m_pCurve = nullptr;
};

TEST_F(PlotGL, LayoutCurveAxisAndMarkerPixels)
{
    EXPECT_FLOAT_EQ(m_pPlot->fXMax, 8);
    EXPECT_FLOAT_EQ(m_pPlot->fYMax, 8);
    EXPECT_FLOAT_EQ(m_pPlot->fXUnit, 1);
    EXPECT_FLOAT_EQ(m_pPlot->fYUnit, 1);
    int iWidest = 0, iTallest = 0;
    for (int i = 0; i < m_pPlot->iNumYTicks; i++) {
        int a = 0, c = 0;
        NKMeasureText(m_pPlot->szYTickLabels[i].GetText(), m_pPlot->pFonts[NK_PLOT_FONT_TICKS], &a,
                      &c);
        iWidest = a > iWidest ? a : iWidest;
    }
    for (int i = 0; i < m_pPlot->iNumXTicks; i++) {
        int a = 0, c = 0;
        NKMeasureText(m_pPlot->szXTickLabels[i].GetText(), m_pPlot->pFonts[NK_PLOT_FONT_TICKS], &a,
                      &c);
        iTallest = c > iTallest ? c : iTallest;
    }
    ASSERT_GT(iWidest, 0);
    const NKOrthoView &d = m_pPlot->DataView;
    EXPECT_EQ(d.iX, 15 + iWidest);
    EXPECT_EQ(d.iY, 15 + iTallest);
    EXPECT_EQ(d.iX + d.iWidth, kW - 15);
    EXPECT_EQ(d.iY + d.iHeight, kH - 15);

    Draw();
    Pixels px;
    EXPECT_TRUE(px.Near(Px(4), Py(2), 255, 0, 0));
    EXPECT_TRUE(px.Near(Px(6), Py(5), 255, 0, 0));
    EXPECT_TRUE(px.Is(Px(2.5f), Py(6.5f), 0, 0, 200));
    EXPECT_TRUE(px.Near(Px(6), Py(0), 255, 255, 255));
    EXPECT_FALSE(px.Near(Px(4) + 3, Py(2) - 3, 255, 0, 0));

    m_pCurve->iMarkerType = 1;
    m_pCurve->iMarkerSize = 7;
    Draw();
    Pixels marked;
    for (int k : {-3, 3}) {
        EXPECT_TRUE(marked.Near(Px(4) + k, Py(2) - k, 255, 0, 0)) << k;
        EXPECT_TRUE(marked.Near(Px(4) + k, Py(2) + k, 255, 0, 0)) << k;
    }
    EXPECT_FALSE(marked.Is(Px(4) + 6, Py(2) - 6, 255, 0, 0));
}

TEST_F(PlotGL, SmallViewportAndHiddenCurves)
{
    NKSetPlotViewport(m_pPlot, 0, 0, 40, 200);
    Draw();
    Pixels small;
    EXPECT_EQ(small.Count(0, 0, 200), 40 * 200);
    EXPECT_EQ(small.Count(0, 0, 0), kW * kH - 40 * 200);

    NKSetPlotViewport(m_pPlot, 0, 0, kW, kH);
    m_pCurve->bVisible = 0;
    Draw();
    Pixels none;
    EXPECT_GT(none.Count(255, 255, 255), 20);
    EXPECT_EQ(none.Count(192, 192, 192), 0);
    EXPECT_EQ(none.Count(255, 0, 0), 0);
}

TEST_F(PlotGL, TitlesAndLegendTakeTheirMargins)
{
    m_pPlot->szTitle = "Plot title";
    m_pPlot->szXTitle = "Time";
    m_pPlot->szYTitle = "Stress";
    m_pPlot->szLegendTitle = "Curves";
    m_pPlot->bTitleShown = m_pPlot->bXTitleShown = m_pPlot->bYTitleShown = 1;
    m_pPlot->bLegendShown = 1;
    int iLeft = m_pPlot->DataView.iX, iBottom = m_pPlot->DataView.iY;
    NKPlotComputeLayout(m_pPlot);
    const NKOrthoView &d = m_pPlot->DataView;
    EXPECT_TRUE(m_pPlot->bAxisTitlesPlaced && m_pPlot->bTitlePlaced && m_pPlot->bLegendPlaced);
    EXPECT_GT(d.iX, iLeft);
    EXPECT_GT(d.iY, iBottom);
    EXPECT_LT(d.iY + d.iHeight, kH - 15);
    EXPECT_EQ(d.iX + d.iWidth, kW - m_pPlot->Legend.iWidth - 15);
    Draw();
    Pixels px;
    EXPECT_GT(px.Count(100, 100, 255), 100);  // the legend box
    EXPECT_TRUE(px.Near(Px(4), Py(2), 255, 0, 0));
    int iTitleLit = 0;  // the title, above the data area
    for (int y = d.iY + d.iHeight + 1; y < kH; y++)
        for (int x = d.iX; x < d.iX + 80; x++) iTitleLit += px.Is(x, y, 255, 255, 255);
    EXPECT_GT(iTitleLit, 10);
}

// The red vertices that GL feedback reports for the curve, as point indices.
TEST_F(PlotGL, SkipDrawsEveryNthAndTheLastPoint)
{
    ASSERT_TRUE(NKSetPlotCurvePointCount(m_pCurve, 25));
    for (int i = 0; i < 25; i++) m_pCurve->pPoints[i] = {(float)i, (float)(i % 7)};
    Update();
    NKSetPlotSkip(10);
    std::vector<GLfloat> buf(1 << 16);
    glFeedbackBuffer((GLsizei)buf.size(), GL_3D_COLOR, buf.data());
    glRenderMode(GL_FEEDBACK);
    NKDrawPlot(m_pPlot, false, -1);
    GLint n = glRenderMode(GL_RENDER);
    NKSetPlotSkip(1);
    ASSERT_GT(n, 0);
    std::set<int> seen;
    for (GLint i = 0; i < n;) {
        GLfloat tok = buf[(size_t)i];
        if (tok == GL_LINE_TOKEN || tok == GL_LINE_RESET_TOKEN) {
            for (int v = 0; v < 2; v++) {
                const GLfloat *q = &buf[(size_t)i + 1 + (size_t)v * 7];
                if (q[3] > 0.99f && q[4] < 0.01f && q[5] < 0.01f) {
                    const NKOrthoView &d = m_pPlot->DataView;
                    float x =
                        d.fXMin + (q[0] - (float)d.iX) * (d.fXMax - d.fXMin) / (float)d.iWidth;
                    seen.insert((int)std::lround(x));
                }
            }
            i += 1 + 14;
        } else if (tok == GL_POLYGON_TOKEN) {
            i += 2 + (int)buf[(size_t)i + 1] * 7;
        } else if (tok == GL_POINT_TOKEN || tok == GL_BITMAP_TOKEN || tok == GL_DRAW_PIXEL_TOKEN ||
                   tok == GL_COPY_PIXEL_TOKEN) {
            i += 1 + 7;
        } else {
            i += 2;  // pass-through token and its value
        }
    }
    EXPECT_EQ(seen, (std::set<int>{0, 10, 20, 24}));
}

TEST_F(PlotGL, DrawOverTheViewRestoresState)
{
    while (glGetError() != GL_NO_ERROR) {
    }
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    int iStacks = StackSum();
    NKDrawPlot(m_pPlot, false, -1);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_EQ(StackSum(), iStacks);
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
}

TEST_F(PlotGL, DetachRestoresTheCallersContextAndFreesLists)
{
    void *hPlot = NKGetCurrentGLContextHandle();
    GLuint uLists = m_pPlot->uStippleListBase;
    ASSERT_NE(uLists, 0u);
    EXPECT_TRUE(glIsList(uLists));
    NKGLContext *pOther = NKCreateOffscreenGLContext(16, 16);
    ASSERT_NE(pOther, nullptr);
    void *hOther = NKGetCurrentGLContextHandle();
    ASSERT_NE(hOther, hPlot);
    EXPECT_EQ(NKPlotDetachContext(m_pPlot), hPlot);
    EXPECT_EQ(NKGetCurrentGLContextHandle(), hOther);
    EXPECT_EQ(m_pPlot->pFonts[0], nullptr);
    EXPECT_EQ(NKPlotDetachContext(m_pPlot), nullptr);
    NKDestroyGLContext(pOther);
    ASSERT_TRUE(NKMakeGLContextCurrent(m_pContext));
    for (GLuint i = 0; i < 3; i++) EXPECT_FALSE(glIsList(uLists + i));
    EXPECT_EQ(m_pPlot->hGLContext, nullptr);
}

}  // namespace
