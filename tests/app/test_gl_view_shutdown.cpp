// tests/app/test_gl_view_shutdown.cpp -- the GL objects of the 3-D view at its
// end: NKReleaseViewGLObjects deletes what lives in the view's context while
// it is current, and closing the main window releases the plot's fonts and
// lists, the label font and the shared lists before the context goes; the
// dead context's handle then reaches nothing. Needs an X display.
#include <GL/gl.h>

#include "app/nk_app_records.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_plot_records.h"
#include "platform/nk_gl_context.h"
#include "plot/nk_node_plot.h"
#include "plot/nk_plot.h"
#include "render/nk_label_overlay.h"
#include "render/nk_render_options.h"
#include "render/nk_text.h"
#include "tests/app/app_window_fixture.h"

namespace {

class ViewShutdownTest : public ProgramWindowTest {
protected:
    void SetUp() override
    {
        ProgramWindowTest::SetUp();
        m_pSavedOverlay = g_pLabelOverlay;
        g_pLabelOverlay = CreateLabelOverlay();
        ASSERT_NE(g_pLabelOverlay, nullptr);
    }
    void TearDown() override
    {
        NKDeleteCurrentPlot();
        DestroyLabelOverlay(g_pLabelOverlay);
        g_pLabelOverlay = m_pSavedOverlay;
        ProgramWindowTest::TearDown();
    }
    // With the view current: the stipple lists, a plot bound to the view
    // and the label font; the lists of every object the view owns.
    static std::vector<GLuint> MakeViewObjects(void)
    {
        NKCreateStippleLists();
        if (g_pCurrentPlot == nullptr)
            NKCreateCurrentPlot(false);
        else
            NKPlotAttachContext(g_pCurrentPlot, nullptr);
        g_pLabelOverlay->pFont = NKCreateBitmapFont("Arial", 8, 0);
        if (g_pCurrentPlot == nullptr || g_pLabelOverlay->pFont == nullptr) return {};
        return {g_uSmallFontListBase,
                g_uLargeFontListBase,
                g_uStippleListBase,
                g_pCurrentPlot->uStippleListBase,
                g_pCurrentPlot->pFonts[0]->uListBase,
                g_pLabelOverlay->pFont->uListBase};
    }
    LabelOverlay *m_pSavedOverlay = nullptr;
};

TEST_F(ViewShutdownTest, ViewObjectsGoBeforeTheirContextAndItsHandleDies)
{
    ASSERT_TRUE(NKMakeViewCurrent());
    void *hView = NKGetCurrentGLContextHandle();
    ASSERT_NE(hView, nullptr);
    const std::vector<GLuint> lists = MakeViewObjects();
    ASSERT_EQ(lists.size(), 6u);
    EXPECT_EQ(g_pCurrentPlot->hGLContext, hView);
    for (GLuint u : lists) EXPECT_TRUE(glIsList(u)) << u;

    NKReleaseViewGLObjects();
    for (GLuint u : lists) EXPECT_FALSE(glIsList(u)) << u;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(g_uSmallFontListBase + g_uLargeFontListBase + g_uStippleListBase, 0u);
    EXPECT_EQ(g_pCurrentPlot->hGLContext, nullptr);
    EXPECT_EQ(g_pCurrentPlot->pFonts[0], nullptr);
    EXPECT_EQ(g_pLabelOverlay->pFont, nullptr);

    // Made again, then the window closes: the view releases them as it goes.
    NKBuildBitmapFontLists();
    ASSERT_EQ(MakeViewObjects().size(), 6u);
    NKDestroyMainWindow();
    NKTestFlushDeletes();
    EXPECT_EQ(NKGetViewWindow(), nullptr);
    EXPECT_EQ(g_pCurrentPlot->hGLContext, nullptr);
    EXPECT_EQ(g_pLabelOverlay->pFont, nullptr);
    EXPECT_EQ(g_uSmallFontListBase + g_uLargeFontListBase + g_uStippleListBase, 0u);
    EXPECT_FALSE(NKIsGLContextHandleLive(hView));
    // The dead context's handle is refused, never followed.
    EXPECT_FALSE(NKMakeGLContextHandleCurrent(hView));
    EXPECT_EQ(NKPlotAttachContext(g_pCurrentPlot, hView), nullptr);
    EXPECT_TRUE(NKDeleteCurrentPlot());
}

// A plot still bound to the view when its context is destroyed elsewhere
// (the view's own release skipped) is detached without touching it.
TEST_F(ViewShutdownTest, PlotBoundToADestroyedContextDetachesSafely)
{
    NKGLContext *pContext = NKCreateOffscreenGLContext(16, 16);
    ASSERT_NE(pContext, nullptr);
    ASSERT_TRUE(NKCreateCurrentPlot(false));
    void *hContext = g_pCurrentPlot->hGLContext;
    ASSERT_NE(hContext, nullptr);
    NKDestroyGLContext(pContext);
    EXPECT_EQ(NKPlotDetachContext(g_pCurrentPlot), hContext);
    EXPECT_EQ(g_pCurrentPlot->pFonts[0], nullptr);
    EXPECT_EQ(g_pCurrentPlot->uStippleListBase, 0u);
    EXPECT_TRUE(NKDeleteCurrentPlot());
}

}  // namespace
