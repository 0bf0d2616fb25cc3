// tests/tools/test_gl_manipulator.cpp -- the handles drawn into an off-screen
// context of 400 x 300 pixels with the eye at display (0, 0, 2), nothing
// else drawn: the point handle's colours, the list's groups and disabled
// handles, a grid box's points and edges in feedback mode, and the GL state
// every drawing leaves.
#include <GL/gl.h>

#include <gtest/gtest.h>

#include <vector>

#include "core/nk_view_state.h"
#include "platform/nk_gl_context.h"
#include "render/nk_camera.h"
#include "tools/nk_manipulator.h"

namespace {

class ManipulatorGL : public ::testing::Test {
protected:
    void SetUp() override
    {
        NKInitNavigation(g_ViewMatrix, &g_InputState);
        m_pSavedList = g_pManipulatorList;
        g_pManipulatorList = new ManipulatorList();
        m_pContext = NKCreateOffscreenGLContext(400, 300);
        ASSERT_NE(m_pContext, nullptr);
        glViewport(0, 0, 400, 300);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        const double n = 0.01, h = NK_DEFAULT_FOV_FACTOR * n;
        glFrustum(-h * 4.0 / 3.0, h * 4.0 / 3.0, -h, h, n, 8.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(0.0f, 0.0f, -2.0f);
        glEnable(GL_DEPTH_TEST);
        glLineWidth(3.0f);
        m_Probe.SetEnabled(true);
        g_pManipulatorList->Add(&m_Probe);
    }
    void TearDown() override
    {
        if (m_pContext != nullptr) NKDestroyGLContext(m_pContext);
        delete g_pManipulatorList;
        g_pManipulatorList = m_pSavedList;
    }
    // Clears to black, draws the list's group with lighting on or off and
    // answers the centre pixel; the state is checked to be as before.
    std::vector<int> DrawCentre(int iGroup, bool bLit)
    {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        if (bLit) {
            glEnable(GL_LIGHTING);
        } else {
            glDisable(GL_LIGHTING);
        }
        GLint aiBefore[2], aiAfter[2];
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &aiBefore[0]);
        glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &aiBefore[1]);
        g_pManipulatorList->DrawAll(iGroup);
        glFinish();
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &aiAfter[0]);
        glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &aiAfter[1]);
        EXPECT_EQ(aiAfter[0], aiBefore[0]);
        EXPECT_EQ(aiAfter[1], aiBefore[1]);
        EXPECT_EQ(glIsEnabled(GL_LIGHTING) != 0, bLit);
        unsigned char rgba[4] = {};
        glReadPixels(200, 150, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return {rgba[0], rgba[1], rgba[2]};
    }

    NKGLContext *m_pContext = nullptr;
    ManipulatorList *m_pSavedList = nullptr;
    Manipulator m_Probe{"Probe"};
};

TEST_F(ManipulatorGL, ProbeIsRedWhiteWhenHighlightedAndHiddenWhenDisabled)
{
    for (bool bLit : {true, false}) {
        m_Probe.SetHighlighted(false);
        std::vector<int> c = DrawCentre(1, bLit);
        EXPECT_GT(c[0], 0);
        EXPECT_EQ(c[1], 0);
        EXPECT_EQ(c[2], 0);
        m_Probe.SetHighlighted(true);
        c = DrawCentre(-1, bLit);
        EXPECT_GT(c[0], 0);
        EXPECT_EQ(c[1], c[0]);
        EXPECT_EQ(c[2], c[0]);
    }
    EXPECT_EQ(DrawCentre(2, true), (std::vector<int>{0, 0, 0}));  // group 1 only
    m_Probe.SetGroup(2);
    EXPECT_GT(DrawCentre(2, true)[0], 0);
    m_Probe.SetEnabled(false);
    EXPECT_EQ(DrawCentre(-1, true), (std::vector<int>{0, 0, 0}));
}

TEST_F(ManipulatorGL, GridBoxDrawsItsPointsAndTwelveEdges)
{
    GridBoxManipulator grid("Particle Trace");
    grid.SetCounts(2, 1, 1);
    for (bool bHighlighted : {false, true}) {
        grid.SetHighlighted(bHighlighted);
        std::vector<GLfloat> buffer(4096);
        glFeedbackBuffer(GLsizei(buffer.size()), GL_3D, buffer.data());
        glRenderMode(GL_FEEDBACK);
        grid.Draw();
        const GLint iCount = glRenderMode(GL_RENDER);
        int iPoints = 0, iLines = 0;
        for (GLint i = 0; i < iCount;) {
            const GLint iToken = GLint(buffer[i]);
            if (iToken == GL_POINT_TOKEN) {
                iPoints++;
                i += 4;
            } else if (iToken == GL_LINE_TOKEN || iToken == GL_LINE_RESET_TOKEN) {
                iLines++;
                i += 7;
            } else {
                ADD_FAILURE() << "token " << iToken;
                break;
            }
        }
        EXPECT_EQ(iPoints, 2);
        EXPECT_EQ(iLines, 12);
        EXPECT_FALSE(glIsEnabled(GL_LINE_STIPPLE));
        GLfloat fWidth = 0.0f;
        glGetFloatv(GL_LINE_WIDTH, &fWidth);
        EXPECT_EQ(fWidth, 3.0f);
    }
}

}  // namespace
