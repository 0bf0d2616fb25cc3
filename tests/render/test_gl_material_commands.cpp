// tests/render/test_gl_material_commands.cpp -- the material, culling and
// background commands seen in the pixels of an off-screen scene of 810 x 600
// with one square part facing the eye (or facing away) in its middle.
#include <GL/gl.h>

#include <cstdlib>
#include <cstring>

#include "commands/nk_command.h"
#include "core/nk_load_hooks.h"
#include "core/nk_render_state.h"
#include "platform/nk_gl_context.h"
#include "render/nk_lights.h"
#include "render/nk_material_commands.h"
#include "render/nk_render_mode_commands.h"
#include "render/nk_view_settings.h"
#include "tests/render/render_fixture.h"
#include "tests/test_support/gl_pixel_probe.h"
#include "tests/test_support/message_capture.h"

namespace {

class MaterialGL : public NKRenderModelTest {
protected:
    void SetUp() override
    {
        NKRenderModelTest::SetUp();
        m_pContext = NKCreateOffscreenGLContext(810, 600);
        ASSERT_NE(m_pContext, nullptr);
        glViewport(0, 0, 810, 600);
        NKViewWindowSize = {810, 600};
        g_pGraphicsSettings->bSingleBuffer = 1;
        NKRegisterMaterialCommands();
        NKRegisterRenderModeCommands();
        *g_pListUpdateInfo = NKListUpdateInfo();
    }
    void TearDown() override
    {
        for (int s : {NK_HANDLER_MATERIAL, NK_HANDLER_RENDER_FIX, NK_HANDLER_BACKGROUND})
            NKSetCommandHandler(s, nullptr);
        NKDeleteAllDisplayLists();
        if (m_pContext != nullptr) NKDestroyGLContext(m_pContext);
        NKResetBackgroundSettings(g_pBackgroundSettings, NK_BACKGROUND_RESET_STARTUP);
        *g_pListUpdateInfo = NKListUpdateInfo();
        NKRenderModelTest::TearDown();
    }
    // The part red by emission alone: no ambient, diffuse or specular light.
    void MakeRedPart(bool bFacingAway)
    {
        NKGeometry *pGeo = MakeModel(1, 1);
        if (bFacingAway) std::swap(pGeo->pParts[0].pConnects[1], pGeo->pParts[0].pConnects[3]);
        for (const char *psz : {"color 1 1 0 0 0", "specular 1 1 0 0 0", "emission 1 1 1 0 0"})
            ASSERT_EQ(ExecuteCommand(psz), 0) << psz;
    }
    Pixel Centre(void)
    {
        EXPECT_TRUE(NKDrawScene(-1, 1, 1));
        return ReadPixel(405, 300);
    }
    NKGLContext *m_pContext = nullptr;
};

TEST_F(MaterialGL, EmissionAloneAndHalfTransparency)
{
    MakeRedPart(false);
    EXPECT_TRUE(Is(Centre(), 255, 0, 0));
    EXPECT_TRUE(Is(ReadPixel(2, 2), 0, 0, 0));
    EXPECT_EQ(ExecuteCommand("alpha 1 1 0.5"), 0);
    EXPECT_EQ(ExecuteCommand("transparent 1 1"), 0);
    EXPECT_TRUE(Is(Centre(), 127, 0, 0, 1));
}

TEST_F(MaterialGL, BackFacesAreShownUntilBackfaceCullingIsOn)
{
    MakeRedPart(true);
    EXPECT_EQ(ExecuteCommand("nobackface"), 0);
    EXPECT_TRUE(Is(Centre(), 255, 0, 0));
    EXPECT_EQ(ExecuteCommand("backface"), 0);
    EXPECT_TRUE(Is(Centre(), 0, 0, 0));
    EXPECT_EQ(ExecuteCommand("nobackface"), 0);
    EXPECT_TRUE(Is(Centre(), 255, 0, 0));
}

TEST_F(MaterialGL, BackgroundColourClearsTheView)
{
    MakeRedPart(false);
    EXPECT_EQ(ExecuteCommand("background 10 20 30"), 0);
    EXPECT_TRUE(Is(Centre(), 255, 0, 0));
    EXPECT_TRUE(Is(ReadPixel(2, 2), 10, 20, 30));
    EXPECT_TRUE(Is(ReadPixel(807, 597), 10, 20, 30));
}

}  // namespace

namespace {

// Mesa offers the ARB occlusion query in place of the HP extension.
TEST_F(MaterialGL, OcclusionCullingFollowsTheOcclusionExtension)
{
    const char *pszExtensions = reinterpret_cast<const char *>(glGetString(GL_EXTENSIONS));
    ASSERT_NE(pszExtensions, nullptr);
    const bool bSupported = std::strstr(pszExtensions, "GL_HP_occlusion") != nullptr ||
                            std::strstr(pszExtensions, "GL_ARB_occlusion_query") != nullptr;
    MessageCapture capture;
    EXPECT_EQ(ExecuteCommand("occlusioncull"), bSupported ? 0 : 1);
    EXPECT_EQ(g_pViewSettings->bOcclusionCull, bSupported ? 1 : 0);
    EXPECT_TRUE(bSupported ? capture.HasLine("Enable occlusion culling.", NK_MSG_INFO)
                           : capture.HasLine("occlusioncull: Cannot enable occlusion culling. "
                                             "Occlusion culling extension not found.",
                                             NK_MSG_ERROR))
        << capture.Text();
    EXPECT_EQ(ExecuteCommand("noocclusioncull"), 0);
    EXPECT_EQ(g_pViewSettings->bOcclusionCull, 0);
}

}  // namespace
