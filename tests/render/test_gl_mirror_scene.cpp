// tests/render/test_gl_mirror_scene.cpp -- mirror copies in the drawn scene:
// the example beam in an off-screen context of 800 x 600 under the default
// view, drawn plain and with a reflected copy, pixels read back along the
// middle row, and the front face and GL stack depths after every draw.
#include <GL/gl.h>

#include <cstdlib>
#include <string>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_load_hooks.h"
#include "core/nk_model_hooks.h"
#include "core/nk_view_state.h"
#include "platform/nk_gl_context.h"
#include "readers/nk_data_source.h"
#include "render/nk_lights.h"
#include "render/nk_transform_commands.h"
#include "render/nk_view_settings.h"
#include "render/nk_viewpoint_commands.h"
#include "tests/render/render_fixture.h"
#include "tests/test_support/test_files.h"

namespace {

class MirrorSceneGL : public NKRenderModelTest {
protected:
    void SetUp() override
    {
        NKRenderModelTest::SetUp();
        m_SavedHooks = NKSetModelHooks(NKModelHooks());
        NKInstallDataSources();
        NKRegisterFileCommands();
        NKRegisterTransformCommands();
        NKRegisterViewpointCommands();
        m_pContext = NKCreateOffscreenGLContext(800, 600);
        ASSERT_NE(m_pContext, nullptr);
        glViewport(0, 0, 800, 600);
        NKViewWindowSize = {800, 600};
        g_pGraphicsSettings->bSingleBuffer = 1;
        g_pGraphicsSettings->bCull = 0;
        for (int k = 0; k < 3; k++) g_pBackgroundSettings->ucColors[0][k] = k == 2 ? 80 : 0;
        ASSERT_EQ(ExecuteCommand(("open \"" + NKTestExamplePath("beam.nkf") + "\"").c_str()), 0);
        ASSERT_EQ(ExecuteCommand("setview"), 0);
    }
    void TearDown() override
    {
        NKSetCommandHandler(NK_HANDLER_TRANSFORM, nullptr);
        NKSetCommandHandler(NK_HANDLER_VIEWPOINT, nullptr);
        g_MirrorSettings.Reset();
        NKDeleteAllDisplayLists();
        NKCloseInterface();
        NKFreeModelFrames(g_pModel);
        if (m_pContext != nullptr) NKDestroyGLContext(m_pContext);
        for (int k = 0; k < 3; k++) g_pBackgroundSettings->ucColors[0][k] = 0;
        NKSetModelHooks(m_SavedHooks);
        NKRenderModelTest::TearDown();
    }
    // Draws; the front face and the stack depths are as before.
    void Draw()
    {
        GLint iModelView = 0, iAttrib = 0, iAfterModelView = 0, iAfterAttrib = 0, iFront = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &iModelView);
        glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &iAttrib);
        EXPECT_TRUE(NKDrawScene(-1, 1, 1));
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &iAfterModelView);
        glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &iAfterAttrib);
        glGetIntegerv(GL_FRONT_FACE, &iFront);
        EXPECT_EQ(iAfterModelView, iModelView);
        EXPECT_EQ(iAfterAttrib, iAttrib);
        EXPECT_EQ(iFront, GL_CCW);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    static bool Background(int x, int y)
    {
        unsigned char a[4] = {0, 0, 0, 0};
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, a);
        return a[0] == 0 && a[1] == 0 && std::abs(a[2] - 80) <= 1;
    }
    NKModelHooks m_SavedHooks;
    NKGLContext *m_pContext = nullptr;
};

TEST_F(MirrorSceneGL, ReflectedCopyAppearsLeftOfTheBeam)
{
    Draw();
    for (int x = 0; x <= 188; x++) ASSERT_TRUE(Background(x, 300)) << x;
    ASSERT_EQ(ExecuteCommand("xmirror 2"), 0);
    Draw();
    for (int x = 50; x <= 180; x++) EXPECT_FALSE(Background(x, 300)) << x;
    // Parallel planes in rotation mode form no pass: only the beam is drawn.
    ASSERT_EQ(ExecuteCommand("mirror noreflect"), 0);
    ASSERT_EQ(ExecuteCommand("mirror plane 2 1 0 0 -1"), 0);
    ASSERT_EQ(ExecuteCommand("mirror repeats 3"), 0);
    Draw();
    for (int x = 0; x <= 188; x++) ASSERT_TRUE(Background(x, 300)) << x;
    // A shown plane preview draws with the copies and keeps the stacks.
    ASSERT_EQ(ExecuteCommand("mirror showplane 1"), 0);
    Draw();
}

}  // namespace
