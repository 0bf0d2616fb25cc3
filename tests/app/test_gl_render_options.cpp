// tests/app/test_gl_render_options.cpp -- the graphics settings in an
// OpenGL context: the state NKApplyRenderOptions sets, the fog colour from
// the background, line smoothing, polygon offset, the stipple lists, clip
// planes and the clipping distances fitted to a frame's box. An off-screen
// context of the shell's tests; needs an X display.
#include <GL/gl.h>

#include <vector>

#include "core/nk_model.h"
#include "platform/nk_gl_context.h"
#include "render/nk_background.h"
#include "render/nk_projection.h"
#include "render/nk_render_options.h"
#include "tests/app/app_window_fixture.h"

namespace {

class RenderOptionsTest : public ShellWindowTest {
protected:
    void SetUp() override
    {
        m_bMakeWindow = false;
        ShellWindowTest::SetUp();
        m_pContext = NKCreateOffscreenGLContext(64, 64);
        ASSERT_NE(m_pContext, nullptr);
        g_iGLVersion = NKGetRendererVersion();
    }
    void TearDown() override
    {
        NKDestroyGLContext(m_pContext);
        *g_pBackgroundSettings = NKBackgroundSettings();
        ShellWindowTest::TearDown();
    }
    static std::vector<float> Floats(GLenum eName, int n)
    {
        std::vector<float> values(size_t(n), -1.0f);
        glGetFloatv(eName, values.data());
        return values;
    }
    NKGLContext *m_pContext = nullptr;
};

TEST_F(RenderOptionsTest, SettingsBecomeTheGLStateAndStayMarkedChanged)
{
    NKGraphicsSettings *p = g_pGraphicsSettings;
    p->bZBuffer = 1, p->bDither = 0, p->bPointSmooth = 1, p->bBackface = 1;
    p->iLineWidth = 3, p->iPointSize = 4;
    p->bFog = 1, p->iFogMode = GL_EXP, p->fFogStart = 1.5f, p->fFogEnd = 7.0f;
    p->bChanged = 0;
    const uint8_t aOrange[3] = {255, 128, 0};
    for (int i = 0; i < 3; i++) g_pBackgroundSettings->ucColors[0][i] = aOrange[i];
    NKApplyRenderOptions(p, g_pBackgroundSettings);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_DITHER));
    EXPECT_TRUE(glIsEnabled(GL_POINT_SMOOTH));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    EXPECT_EQ(Floats(GL_LINE_WIDTH, 1)[0], 3.0f);
    EXPECT_EQ(Floats(GL_POINT_SIZE, 1)[0], 4.0f);
    EXPECT_EQ(Floats(GL_FOG_MODE, 1)[0], float(GL_EXP));
    EXPECT_EQ(Floats(GL_FOG_START, 1)[0], 1.5f);
    EXPECT_EQ(Floats(GL_FOG_END, 1)[0], 7.0f);
    std::vector<float> fog = Floats(GL_FOG_COLOR, 4);
    EXPECT_FLOAT_EQ(fog[0], 1.0f);
    EXPECT_NEAR(fog[1], 0.50196f, 1e-5f);
    EXPECT_FLOAT_EQ(fog[2], 0.0f);
    EXPECT_FLOAT_EQ(fog[3], 1.0f);
    EXPECT_EQ(p->bChanged, 1);  // applied before every frame

    p->bFog = 0, p->bBackface = 0, p->bZBuffer = 0;
    NKApplyRenderOptions(p, nullptr);
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(RenderOptionsTest, LineSmoothingPolygonOffsetAndStippleLists)
{
    NKSetLineSmooth(true);
    EXPECT_TRUE(glIsEnabled(GL_LINE_SMOOTH));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    GLint iSource = 0, iDest = 0;
    glGetIntegerv(GL_BLEND_SRC, &iSource);
    glGetIntegerv(GL_BLEND_DST, &iDest);
    EXPECT_EQ(iSource, GL_SRC_ALPHA);
    EXPECT_EQ(iDest, GL_ONE_MINUS_SRC_ALPHA);
    NKSetLineSmooth(false);
    EXPECT_FALSE(glIsEnabled(GL_LINE_SMOOTH));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    EXPECT_TRUE(NKEnablePolygonOffset(true));
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
    EXPECT_EQ(Floats(GL_POLYGON_OFFSET_FACTOR, 1)[0], 1.0f);
    EXPECT_TRUE(NKEnablePolygonOffset(false));
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_FILL));

    NKCreateStippleLists();
    ASSERT_NE(g_uStippleListBase, 0u);
    const struct {
        GLuint uOffset;
        bool bOn;
        GLint iPattern;
    } kLists[] = {{1, true, 0xF0F0}, {2, true, 0x8888}, {0, false, 0x8888}};
    for (const auto &list : kLists) {
        glCallList(g_uStippleListBase + list.uOffset);
        GLint iPattern = 0;
        glGetIntegerv(GL_LINE_STIPPLE_PATTERN, &iPattern);
        EXPECT_EQ(glIsEnabled(GL_LINE_STIPPLE) == GL_TRUE, list.bOn) << list.uOffset;
        EXPECT_EQ(iPattern, list.iPattern) << list.uOffset;
    }
    GLuint uOldBase = g_uStippleListBase;
    NKCreateStippleLists();  // made again: the old lists are gone
    EXPECT_TRUE(glIsList(g_uStippleListBase));
    if (uOldBase != g_uStippleListBase) {
        EXPECT_FALSE(glIsList(uOldBase));
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(RenderOptionsTest, ClipPlanesAreSetFlippedOrSwitchedOff)
{
    const float afPlane[4] = {1.0f, 0.0f, 0.0f, -0.5f};
    ASSERT_TRUE(NKSetClipPlane(2, afPlane, true));
    double adEquation[4] = {};
    glGetClipPlane(GL_CLIP_PLANE2, adEquation);
    EXPECT_EQ(std::vector<double>(adEquation, adEquation + 4),
              (std::vector<double>{-1.0, 0.0, 0.0, 0.5}));
    EXPECT_TRUE(glIsEnabled(GL_CLIP_PLANE2));
    EXPECT_TRUE(NKSetClipPlane(2, nullptr, false));
    EXPECT_FALSE(glIsEnabled(GL_CLIP_PLANE2));
    EXPECT_FALSE(NKSetClipPlane(-1, afPlane, false));
    EXPECT_FALSE(NKSetClipPlane(1000, afPlane, false));

    const float afPoint[3] = {0.0f, 2.0f, 0.0f}, afNormal[3] = {0.0f, 4.0f, 0.0f};
    ASSERT_TRUE(NKSetClipPlaneFromPointNormal(0, afPoint, afNormal, false));
    glGetClipPlane(GL_CLIP_PLANE0, adEquation);
    EXPECT_EQ(std::vector<double>(adEquation, adEquation + 4),
              (std::vector<double>{0.0, 1.0, 0.0, -2.0}));
    EXPECT_TRUE(NKSetClipPlaneFromPointNormal(0, nullptr, afNormal, false));
    EXPECT_FALSE(glIsEnabled(GL_CLIP_PLANE0));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// A unit box at the origin, moved along z by the model-view matrix.
TEST_F(RenderOptionsTest, ClippingDistancesFitTheFrameBox)
{
    NKFrame frame;
    frame.pGeometry = NKCreateGeometry(1);
    const float afBox[6] = {0, 0, 0, 1, 1, 1};
    for (int i = 0; i < 6; i++) frame.pGeometry->fBoundingBox[i] = afBox[i];
    const struct {
        float fShift;
        float fNear, fFar, fZMin, fZMax;
    } kCases[] = {
        {5.0f, 0.005f, 1.1100495f, 5.0f, 6.0f},     // behind the eye: n 0.005, f 1
        {-5.0f, 3.89f, 5.1101f, -5.0f, -4.0f},      // n 4, f 5
        {-1.05f, 0.005f, 1.1601f, -1.05f, -0.05f},  // n 0.05: near clamped
    };
    for (const auto &c : kCases) {
        float afModelView[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, c.fShift, 1};
        glMatrixMode(GL_TEXTURE);
        float fNear = 0, fFar = 0, fZMin = 0, fZMax = 0;
        ASSERT_TRUE(
            NKSetNearFarFromModel(&frame, afModelView, 200, 100, &fNear, &fFar, &fZMin, &fZMax));
        EXPECT_NEAR(fNear, c.fNear, 1e-4f) << c.fShift;
        EXPECT_NEAR(fFar, c.fFar, 1e-4f) << c.fShift;
        EXPECT_NEAR(fZMin, c.fZMin, 1e-6f);
        EXPECT_NEAR(fZMax, c.fZMax, 1e-6f);
        GLint iMode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &iMode);
        EXPECT_EQ(iMode, GL_TEXTURE);  // the matrix mode is kept
        std::vector<float> projection = Floats(GL_PROJECTION_MATRIX, 16);
        EXPECT_NEAR(projection[14], -2.0 * fFar * fNear / (fFar - fNear), 1e-4);
    }
    glMatrixMode(GL_MODELVIEW);
    NKFrame empty;  // no geometry, no box
    const float afIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    float fNear = 0;
    EXPECT_FALSE(
        NKSetNearFarFromModel(&empty, afIdentity, 1, 1, &fNear, nullptr, nullptr, nullptr));
    NKReleaseGeometry(frame.pGeometry);
    frame.pGeometry = nullptr;
}

}  // namespace
