// tests/platform/test_gl_context.cpp -- proves that the machine can draw with
// OpenGL 1.1 immediate mode in a compatibility context and read the pixels
// back, and that freeglut's stroke font can be drawn without ending the
// process, also where freeglut cannot start. Needs an X display (run
// under xvfb-run).
#include <GL/freeglut.h>
#include <GL/gl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/nk_gl_context.h"
#include "tests/test_support/test_files.h"

// X11 defines macros (None, Bool, Status) that other headers use.
#include <X11/Xlib.h>

namespace {

class GLContextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_pContext = NKCreateOffscreenGLContext(64, 64);
        ASSERT_NE(m_pContext, nullptr) << "no OpenGL context (is there an X display?)";
    }
    void TearDown() override { NKDestroyGLContext(m_pContext); }
    NKGLContext *m_pContext = nullptr;
};

TEST_F(GLContextTest, VersionIsAtLeastOnePointOne)
{
    const char *pszVersion = reinterpret_cast<const char *>(glGetString(GL_VERSION));
    ASSERT_NE(pszVersion, nullptr);
    int iMajor = 0, iMinor = 0;
    ASSERT_EQ(std::sscanf(pszVersion, "%d.%d", &iMajor, &iMinor), 2) << pszVersion;
    EXPECT_TRUE(iMajor > 1 || (iMajor == 1 && iMinor >= 1)) << pszVersion;
}

TEST_F(GLContextTest, ImmediateModeTriangleIsReadBack)
{
    glViewport(0, 0, 64, 64);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3ub(200, 40, 10);
    glBegin(GL_TRIANGLES);
    glVertex2f(-0.8f, -0.8f);
    glVertex2f(0.8f, -0.8f);
    glVertex2f(0.0f, 0.8f);
    glEnd();
    glFinish();

    unsigned char rgba[4] = {0, 0, 0, 0};
    glReadPixels(32, 24, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);  // the centroid
    EXPECT_EQ(rgba[0], 200);
    EXPECT_EQ(rgba[1], 40);
    EXPECT_EQ(rgba[2], 10);
    unsigned char corner[4] = {1, 1, 1, 1};
    glReadPixels(1, 62, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, corner);
    EXPECT_EQ(corner[0], 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GLContextTest, StrokeCharacterDrawsAndProcessGoesOn)
{
    ASSERT_TRUE(NKInitStrokeFont());
    EXPECT_TRUE(NKInitStrokeFont());  // a second call does nothing
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glScalef(0.015f, 0.015f, 1.0f);
    glTranslatef(-50.0f, -50.0f, 0.0f);
    glColor3ub(255, 255, 255);
    glLineWidth(3.0f);
    glutStrokeCharacter(GLUT_STROKE_ROMAN, 'H');
    glFinish();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    std::vector<unsigned char> pixels(64 * 64 * 4);
    glReadPixels(0, 0, 64, 64, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int iLit = 0;
    for (size_t i = 0; i < pixels.size(); i += 4)
        if (pixels[i] > 128) iLit++;
    EXPECT_GT(iLit, 10) << "the stroke character left no lit pixels";
}

int KeepXError(Display *, XErrorEvent *) { return 0; }

// freeglut that cannot start on its display (here a display nobody
// serves, in a process of its own without the Qt application) leaves the
// stroke font out with freeglut's reason, answers the same again without
// trying, puts back the Xlib error handler that was in force, and the
// process goes on.
TEST(StrokeFontDeathTest, AStartThatCannotCompleteLeavesTheProcessRunning)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string display = NKTestUnservedDisplay();
    EXPECT_EXIT(
        {
            setenv("DISPLAY", display.c_str(), 1);
            XSetErrorHandler(KeepXError);
            if (NKStrokeFontFailure() != nullptr) std::_Exit(2);
            if (NKInitStrokeFont()) std::_Exit(3);
            const char *pszWhy = NKStrokeFontFailure();
            if (pszWhy == nullptr) std::_Exit(4);
            if (NKInitStrokeFont() || NKStrokeFontFailure() != pszWhy) std::_Exit(5);
            if (XSetErrorHandler(nullptr) != KeepXError) std::_Exit(6);
            std::fprintf(stderr, "went on: %s\n", pszWhy);
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "went on: failed to open display '" + display + "'");
}

}  // namespace
