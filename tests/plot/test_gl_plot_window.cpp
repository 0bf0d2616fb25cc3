// tests/plot/test_gl_plot_window.cpp -- the plot's own window under a real
// display: opened by `plt separate` and by a plot made while the flag is on,
// its size, paint read back in its context, resize, repaint on a title
// change, the placement commands refused, its close event, and the plot's
// return into the view on `plt noseparate`.
#include <GL/gl.h>

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_model_hooks.h"
#include "core/nk_plot_records.h"
#include "core/nk_view_state.h"
#include "platform/nk_gl_context.h"
#include "platform/nk_gl_window.h"
#include "plot/nk_node_plot.h"
#include "plot/nk_plot.h"
#include "plot/nk_plot_commands.h"
#include "plot/nk_plot_source.h"
#include "plot/nk_plot_window.h"
#include "readers/nk_data_source.h"
#include "tests/plot/plot_command_fixture.h"
#include "tests/render/render_fixture.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"
#include "tests/test_support/test_wait.h"

namespace {

const char *const kPlotFile =
    "*NKF-1.00\n*2DPLOTSERIES 1\n%NAME \"Forces\"\n%XAXIS_NAME \"Time\"\n%YAXIS_NAME \"Force\"\n"
    "%SERIES\n%SERIES_NAME \"A\"\n0 0\n4 10\n8 20\n";

// Pixel (x, y) of what the window shows, read in its own context.
bool FrontPixel(int x, int y, unsigned char aucRGBA[4])
{
    void *hPrevious = NKGetCurrentGLContextHandle();
    if (!NKMakeGLContextHandleCurrent(NKGetGLWindowContextHandle(g_hPlotWnd))) return false;
    glReadBuffer(GL_FRONT);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, aucRGBA);
    NKMakeGLContextHandleCurrent(hPrevious);
    return true;
}

// Waits for the window to be shown, paints it and reads pixel (x, y).
bool ShownPixel(int x, int y, unsigned char aucRGBA[4])
{
    return NKTestWaitFor([] { return NKIsGLWindowExposed(g_hPlotWnd); },
                         "the plot window's exposure") &&
           NKRepaintPlotWindow() && FrontPixel(x, y, aucRGBA);
}

class PlotWindowGL : public PlotCommandFixture<NKRenderModelTest> {
protected:
    void SetUp() override
    {
        NKRenderModelTest::SetUp();
        m_pView = NKCreateOffscreenGLContext(800, 600);
        if (m_pView == nullptr) GTEST_SKIP() << "no display";
        SetUpPlotCommands("quolin_plot_window_");
        NKTestWriteText((m_Dir + "/f.nkf").c_str(), kPlotFile);
    }
    void TearDown() override
    {
        if (m_pView != nullptr) {
            TearDownPlotCommands();
            NKDestroyGLContext(m_pView);
        }
        NKRenderModelTest::TearDown();
    }
    void PlotForces()
    {
        ASSERT_EQ(Run("open \"" + NKTestExamplePath("beam.nkf") + "\""), 0);
        ASSERT_EQ(Run("opennkfplot \"" + m_Dir + "/f.nkf\""), 0);
        ASSERT_EQ(Run("th plot 1 1 A"), 0);
        ASSERT_NE(g_pCurrentPlot, nullptr);
    }
    NKGLContext *m_pView = nullptr;
};

TEST_F(PlotWindowGL, SeparateShowsThePlotInItsOwnWindowAndRefusesPlacement)
{
    PlotForces();
    int x = 0, y = 0, w = 0, h = 0;
    NKGetPlotViewport(g_pCurrentPlot, &x, &y, &w, &h);
    // Single buffering: what a paint drew stays in the front buffer to read.
    g_pGraphicsSettings->bSingleBuffer = 1;
    MessageCapture capture;
    EXPECT_EQ(Run("plt separate"), 0);
    EXPECT_TRUE(capture.HasLine("Enable plot in separate window."));
    ASSERT_NE(g_hPlotWnd, nullptr);
    EXPECT_STREQ(NKGetGLWindowTitle(g_hPlotWnd), "Plot Window");
    int ww = 0, wh = 0;
    NKGetGLWindowSize(g_hPlotWnd, false, &ww, &wh);
    EXPECT_EQ(ww, w);
    EXPECT_EQ(wh, h);
    EXPECT_EQ(g_pCurrentPlot->hGLContext, NKGetGLWindowContextHandle(g_hPlotWnd));
    unsigned char rgba[4] = {};
    ASSERT_TRUE(ShownPixel(1, 1, rgba));
    EXPECT_EQ(rgba[0], 0);
    EXPECT_EQ(rgba[1], 0);
    EXPECT_EQ(rgba[2], 200);

    NKResizeGLWindow(g_hPlotWnd, 300, 200);
    // The display answers a resize when it is ready, later on a busy machine.
    EXPECT_TRUE(NKTestWaitFor(
        [&] {
            NKGetPlotViewport(g_pCurrentPlot, &x, &y, &w, &h);
            return w == 300 && h == 200;
        },
        "the plot's resize"));
    EXPECT_EQ(std::vector<int>({x, y, w, h}), std::vector<int>({0, 0, 300, 200}));
    ASSERT_TRUE(ShownPixel(299, 199, rgba));
    EXPECT_EQ(rgba[2], 200);

    // Plot changes paint the window at once, without the event loop.
    EXPECT_EQ(Run("plt title Hello"), 0);
    EXPECT_STREQ(g_pCurrentPlot->szTitle.GetText(), "Hello");
    EXPECT_EQ(Run("plt bgcolor 0 200 0"), 0);
    ASSERT_TRUE(FrontPixel(1, 1, rgba));
    EXPECT_EQ(std::vector<int>({rgba[0], rgba[1], rgba[2]}), std::vector<int>({0, 200, 0}));

    capture.Clear();
    EXPECT_EQ(Run("plt size 0.5 0.5"), 0);
    EXPECT_TRUE(capture.HasLine("plt size command only works when the plot window is inside the "
                                "3D window.",
                                NK_MSG_ERROR));
    capture.Clear();
    EXPECT_EQ(Run("plt pos l b"), 1);
    EXPECT_TRUE(capture.Contains("plt pos: Error executing sub command"));
}

TEST_F(PlotWindowGL, CloseEventKillsThePlotAndNoSeparateBringsItBack)
{
    PlotForces();
    ASSERT_EQ(Run("plt separate"), 0);
    ASSERT_NE(g_hPlotWnd, nullptr);
    MessageCapture capture;
    NKSendGLWindowClose(g_hPlotWnd);
    EXPECT_TRUE(NKTestWaitFor([] { return g_pCurrentPlot == nullptr; }, "the plot's close"));
    EXPECT_TRUE(capture.HasLine("Disabled plot."));
    EXPECT_EQ(g_pCurrentPlot, nullptr);
    EXPECT_EQ(g_hPlotWnd, nullptr);

    // The flag stays on: no plot, no window; the next plot opens it.
    EXPECT_EQ(Run("plt separate"), 0);
    EXPECT_EQ(g_hPlotWnd, nullptr);
    EXPECT_EQ(Run("np 1,1011"), 0);
    ASSERT_NE(g_pCurrentPlot, nullptr);
    ASSERT_NE(g_hPlotWnd, nullptr);
    int iOuterW = 0, iOuterH = 0;
    NKGetGLWindowSize(g_hPlotWnd, true, &iOuterW, &iOuterH);

    capture.Clear();
    EXPECT_EQ(Run("plt noseparate"), 0);
    EXPECT_TRUE(capture.HasLine("Disable plot in separate window."));
    EXPECT_EQ(g_hPlotWnd, nullptr);
    EXPECT_EQ(g_pCurrentPlot->hGLContext, NKGetCurrentGLContextHandle());
    int x = 0, y = 0, w = 0, h = 0;
    NKGetPlotViewport(g_pCurrentPlot, &x, &y, &w, &h);
    EXPECT_EQ(w, iOuterW);
    EXPECT_EQ(h, iOuterH);
}

}  // namespace
