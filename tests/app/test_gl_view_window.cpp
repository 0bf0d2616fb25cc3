// tests/app/test_gl_view_window.cpp -- the 3-D view of the program's main
// window: its pixel format and context, the renderer detection, resizing,
// repainting at once or through the event loop, the failures of context
// creation and the pixel-format report of the display. Needs an X display.
#include <GL/gl.h>

#include <QTest>
#include <QWindow>

#include <unistd.h>

#include <string>
#include <vector>

#include "app/nk_pixel_format.h"
#include "app/nk_render_context.h"
#include "app/nk_splash.h"
#include "app/nk_view_window.h"
#include "core/nk_load_hooks.h"
#include "core/nk_memory.h"
#include "core/nk_view_state.h"
#include "platform/nk_pixel_formats.h"
#include "render/nk_render_options.h"
#include "scene/nk_scene.h"
#include "tests/app/app_window_fixture.h"
#include "tests/test_support/test_files.h"
#include "tests/test_support/test_wait.h"

namespace {

class ViewWindowTest : public ShellWindowTest {
protected:
    void SetUp() override
    {
        g_iPixelFormatRequest = NK_PIXELFORMAT_AUTO;
        ShellWindowTest::SetUp();
    }
};

TEST_F(ViewWindowTest, ViewGetsADoubleBufferedWindowFormatAndKnowsItsRenderer)
{
    ASSERT_NE(NKGetViewWindow(), nullptr);
    EXPECT_EQ(g_iRendererQuirk, 8);  // llvmpipe has no quirk
    EXPECT_EQ(g_bDefaultPolygonOffset, 1);
    EXPECT_EQ(g_pGraphicsSettings->bPolygonOffset, 1);
    EXPECT_EQ(g_fDepthEpsilon, 0.0f);
    EXPECT_EQ(g_fMeshDepthFactor, 0.0f);
    EXPECT_GT(g_iGLVersion, 10);
    EXPECT_GE(g_iStencilBits, 0);
    ASSERT_GT(g_iPixelFormatRequest, 0);  // the format of the context
    EXPECT_EQ(NKGetDCPixelFormat(NKGetViewDC()) > 0, true);
    NKPixelFormatDescriptor format;
    ASSERT_TRUE(NKDescribePixelFormat(NKGetViewDC(), g_iPixelFormatRequest, &format));
    EXPECT_NE(format.dwFlags & NK_PFD_DOUBLEBUFFER, 0u);
    EXPECT_NE(format.dwFlags & NK_PFD_DRAW_TO_WINDOW, 0u);
}

TEST_F(ViewWindowTest, ResizedViewKeepsSizeViewportAndProjection)
{
    QWidget *pMain = NKGetMainWindow();
    QWindow *pView = NKGetViewWindow();
    int iExtraHeight = pMain->height() - pView->height();
    pMain->resize(800, 400 + iExtraHeight);
    // The layout gives the view its size at once, and the view's record
    // follows it; the view window's resize event comes from the display.
    ASSERT_TRUE(NKTestWaitFor(
        [] { return NKViewWindowSize.iWidth == 800 && NKViewWindowSize.iHeight == 400; },
        "the view's resize event"));
    EXPECT_EQ(pView->size(), QSize(800, 400));
    ASSERT_TRUE(NKMakeViewCurrent());
    GLint aiViewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, aiViewport);
    EXPECT_EQ(std::vector<GLint>(aiViewport, aiViewport + 4), (std::vector<GLint>{0, 0, 800, 400}));
    GLfloat afProjection[16] = {}, afModelView[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, afProjection);
    glGetFloatv(GL_MODELVIEW_MATRIX, afModelView);
    EXPECT_NEAR(afProjection[0], 1.37374f, 1e-5f);
    EXPECT_NEAR(afProjection[5], 2.74748f, 1e-5f);
    EXPECT_FLOAT_EQ(afModelView[14], -2.0f);

    g_pGraphicsSettings->bPerspective = 0;
    NKResizeView(800, 400);
    glGetFloatv(GL_PROJECTION_MATRIX, afProjection);
    EXPECT_FLOAT_EQ(afProjection[0], 1.0f);  // x from -1 to 1
    EXPECT_FLOAT_EQ(afProjection[5], 2.0f);  // y from -0.5 to 0.5
    EXPECT_FLOAT_EQ(afProjection[12], 0.0f);
    EXPECT_FLOAT_EQ(afProjection[13], 0.0f);
    NKResizeView(400, 800);  // tall: x from -0.5 to 0.5, y from -1 to 1
    glGetFloatv(GL_PROJECTION_MATRIX, afProjection);
    EXPECT_FLOAT_EQ(afProjection[0], 2.0f);
    EXPECT_FLOAT_EQ(afProjection[5], 1.0f);
}

std::vector<int> sg_aiDrawFlags;

TEST_F(ViewWindowTest, RedrawPaintsAtOnceAndInvalidationPaintsLater)
{
    NKLoadHooks saved = NKGetLoadHooks();
    NKLoadHooks hooks = saved;
    hooks.pfnDrawScene = [](int, int iFlag1, int) {
        sg_aiDrawFlags.push_back(iFlag1);
        return true;
    };
    NKSetLoadHooks(hooks);
    QCoreApplication::processEvents();
    sg_aiDrawFlags.clear();
    NKRedrawView();
    EXPECT_EQ(sg_aiDrawFlags, std::vector<int>{1});  // drawn at once, uninterruptible
    EXPECT_EQ(g_bViewInvalidated, 0);
    NKInvalidateView();
    EXPECT_EQ(g_bViewInvalidated, 1);
    EXPECT_EQ(sg_aiDrawFlags.size(), 1u);
    NK_WAIT_EQ(sg_aiDrawFlags.size(), size_t(2));
    EXPECT_EQ(sg_aiDrawFlags[1], 0);
    EXPECT_EQ(g_bViewInvalidated, 0);
    NKSetLoadHooks(saved);
}

class ContextFailureTest : public ViewWindowTest {
protected:
    void SetUp() override
    {
        m_bMakeWindow = false;
        ViewWindowTest::SetUp();
    }
};

TEST_F(ContextFailureTest, EachFailureShowsItsBoxAfterTheSplashIsGone)
{
    const struct {
        int iRequest;
        uint32_t dwFlags;
        const char *pszText;
    } kCases[] = {
        {100000, NK_RC_DRAW_TO_WINDOW, "SetPixelFormat failed"},
        {NK_PIXELFORMAT_AUTO, NK_RC_DRAW_TO_WINDOW | NK_RC_STEREO,
         "Failed to get a pixelformat supporting stereo mode"},
    };
    for (const auto &c : kCases) {
        QWindow window;
        NKDeviceContext *pDC = NKGetWindowDC(&window);
        ASSERT_NE(ShowSplashWindow(), nullptr);
        int iChosen = 77;
        EXPECT_EQ(NKCreateRenderContext(32, 24, false, c.dwFlags, pDC, c.iRequest, &iChosen),
                  nullptr);
        EXPECT_EQ(NKGetLastMessageBoxText(), c.pszText);
        EXPECT_EQ(NKGetLastMessageBoxTitle(), "Error");
        EXPECT_EQ(NKGetSplashWindow(), nullptr);
        EXPECT_EQ(iChosen, 77);
        NKReleaseDC(pDC);
    }
    // The view asks the same and then has no context: no main window.
    g_iPixelFormatRequest = 100000;
    const int iBoxes = NKGetMessageBoxCount();
    EXPECT_FALSE(CreateMainWindow());
    EXPECT_EQ(NKGetMainWindow(), nullptr);
    EXPECT_EQ(NKGetViewWindow(), nullptr);
    EXPECT_EQ(NKGetMessageBoxCount(), iBoxes + 2);  // the format's failure, then the window's
    EXPECT_EQ(NKGetLastMessageBoxText(), "Unable to initialize OpenGL window, aborting!");
}

TEST_F(ContextFailureTest, DisplayFormatsAreSearchedAndReported)
{
    int iCount = 0;
    NKPixelFormatDescriptor *pFormats = NKGetPixelFormats(nullptr, &iCount);
    ASSERT_NE(pFormats, nullptr);
    ASSERT_GT(iCount, 0);
    NKPixelFormatDescriptor format;
    int iHardware = NKFindPixelFormat(24, 24, false, NK_RC_DRAW_TO_WINDOW, nullptr, false);
    ASSERT_TRUE(NKDescribePixelFormat(nullptr, iHardware, &format));
    EXPECT_EQ(format.dwFlags & (NK_PFD_GENERIC_FORMAT | NK_PFD_STEREO), 0u);
    EXPECT_EQ(format.cColorBits, 24);
    // No stereo format here: the display's own choice answers, without stereo.
    int iStereo =
        NKFindPixelFormat(24, 24, false, NK_RC_DRAW_TO_WINDOW | NK_RC_STEREO, nullptr, false);
    ASSERT_TRUE(NKDescribePixelFormat(nullptr, iStereo, &format));
    EXPECT_EQ(format.dwFlags & NK_PFD_STEREO, 0u);
    EXPECT_NE(format.dwFlags & NK_PFD_DOUBLEBUFFER, 0u);
    int iSoftware = NKChooseSoftwarePixelFormat(0, 0, false, nullptr);
    ASSERT_TRUE(NKDescribePixelFormat(nullptr, iSoftware, &format));
    EXPECT_NE(format.dwFlags & NK_PFD_GENERIC_FORMAT, 0u);
    EXPECT_EQ(NKCreatePaletteForDC(nullptr), nullptr);

    std::string dir = NKTestMakeTempDir("nk_pixel_gl_");
    char szCwd[4096];
    ASSERT_NE(getcwd(szCwd, sizeof(szCwd)), nullptr);
    ASSERT_EQ(chdir(dir.c_str()), 0);
    bool bWritten = NKWritePixelFormatReport(nullptr);
    ASSERT_EQ(chdir(szCwd), 0);
    ASSERT_TRUE(bWritten);
    std::string text = NKTestReadFile(dir + "/pixel.txt");
    EXPECT_NE(text.find("Current pixelformat : -1\n\n"), std::string::npos);
    size_t iNumbers = 0;
    for (size_t i = text.find("Pixel format number:"); i != std::string::npos;
         i = text.find("Pixel format number:", i + 1))
        iNumbers++;
    EXPECT_EQ(iNumbers, size_t(iCount));
    NKFree(pFormats);
    NKTestRemoveDir(dir);
}

}  // namespace
