// tests/render/test_gl_text3d.cpp -- the solid glyph font, 3-D strings and
// their placement, and node numbers in an off-screen context: the glyphs'
// triangles counted in GL feedback, matrices read back, pixels of a drawn
// frame looked at around the nodes.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "core/nk_load_hooks.h"
#include "core/nk_view_state.h"
#include "platform/nk_gl_context.h"
#include "render/nk_lights.h"
#include "render/nk_node_numbers.h"
#include "render/nk_text.h"
#include "render/nk_text3d.h"
#include "render/nk_view_settings.h"
#include "tests/render/render_fixture.h"
#include "tools/nk_info_commands.h"

namespace {

struct Glyph {
    const float *pTriangles = nullptr;
    int iCount = 0;
    float fAdvance = 0.0f;
    int iFront = 0;  // triangles with every z >= 0.1
};

Glyph GlyphOf(int c)
{
    Glyph g;
    EXPECT_TRUE(GetStrokeGlyph(c, &g.pTriangles, &g.iCount, &g.fAdvance)) << c;
    for (int i = 0; i < g.iCount; i++) {
        const float *t = g.pTriangles + 9 * i;
        g.iFront += t[2] >= 0.1f && t[5] >= 0.1f && t[8] >= 0.1f;
    }
    return g;
}

// The polygons GL feeds back while the text is drawn, and the x the
// modelview was moved by.
struct Fed {
    int iPolygons = 0;
    float fMovedX = 0.0f;
};

Fed DrawFed(const char *pszText, bool bFlat, float fMaxWidth)
{
    static std::vector<GLfloat> s_Buffer(1 << 21);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1.0, 10.0, -2.0, 2.0, -10.0, 10.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_CULL_FACE);
    glFeedbackBuffer(static_cast<GLsizei>(s_Buffer.size()), GL_3D, s_Buffer.data());
    glRenderMode(GL_FEEDBACK);
    NKDrawText3DString(pszText, bFlat, fMaxWidth);
    const GLint n = glRenderMode(GL_RENDER);
    Fed fed;
    for (GLint i = 0; i < n;) {
        const int iToken = static_cast<int>(s_Buffer[i]);
        if (iToken == GL_POLYGON_TOKEN) {
            fed.iPolygons++;
            i += 2 + 3 * static_cast<int>(s_Buffer[i + 1]);
        } else {
            ADD_FAILURE() << "unexpected token " << iToken;
            break;
        }
    }
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    fed.fMovedX = m[12];
    return fed;
}

class Text3DGL : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_pContext = NKCreateOffscreenGLContext(64, 64);
        ASSERT_NE(m_pContext, nullptr);
    }
    void TearDown() override { NKDestroyGLContext(m_pContext); }
    NKGLContext *m_pContext = nullptr;
};

}  // namespace

TEST_F(Text3DGL, EveryPrintableCharacterHasASolidGlyphInsideItsBox)
{
    for (int c = '!'; c <= '~'; c++) {
        const Glyph g = GlyphOf(c);
        ASSERT_GT(g.iCount, 0) << char(c);
        EXPECT_GT(g.fAdvance, 0.0f) << char(c);
        EXPECT_GT(g.iFront, 0) << char(c);
        EXPECT_LT(g.iFront, g.iCount) << char(c);  // back face and walls too
        for (int i = 0; i < 3 * g.iCount; i++) {
            const float *v = g.pTriangles + 3 * i;
            ASSERT_TRUE(v[0] >= -1e-5f && v[0] <= g.fAdvance + 1e-5f) << char(c) << " x " << v[0];
            ASSERT_TRUE(v[1] >= -0.3f && v[1] <= 1.0f) << char(c) << " y " << v[1];
            ASSERT_TRUE(v[2] >= -0.5f && v[2] <= 0.5f) << char(c) << " z " << v[2];
        }
    }
    for (int c : {int(' '), 0x7F, 0xE9, 0, '~' + 1, '!' - 1})
        EXPECT_FALSE(GetStrokeGlyph(c, nullptr, nullptr, nullptr)) << c;
}

TEST_F(Text3DGL, StringsDrawTheirGlyphsAndAdvanceByTheirWidths)
{
    const Glyph a = GlyphOf('a'), b = GlyphOf('b'), c = GlyphOf('c'), d = GlyphOf('d');
    const float fFour = a.fAdvance + b.fAdvance + c.fAdvance + d.fAdvance;
    Fed fed = DrawFed("ab cd", false, -1.0f);
    EXPECT_EQ(fed.iPolygons, a.iCount + b.iCount + c.iCount + d.iCount);
    EXPECT_NEAR(fed.fMovedX, fFour + 4 * 0.05f + 0.4f, 1e-4f);
    fed = DrawFed("ab cd", true, -1.0f);
    EXPECT_EQ(fed.iPolygons, a.iFront + b.iFront + c.iFront + d.iFront);
    fed = DrawFed("a\x01"
                  "b",
                  false, -1.0f);
    EXPECT_EQ(fed.iPolygons, a.iCount + b.iCount);
    EXPECT_NEAR(fed.fMovedX, a.fAdvance + b.fAdvance + 0.1f, 1e-4f);
    fed = DrawFed("ab", false, a.fAdvance + 0.05f);
    EXPECT_EQ(fed.iPolygons, a.iCount);
    const std::string tilde(3000, '~');  // no length limit
    fed = DrawFed(tilde.c_str(), true, -1.0f);
    EXPECT_NEAR(fed.fMovedX, 3000 * (GlyphOf('~').fAdvance + 0.05f), 0.5f);
}

TEST_F(Text3DGL, PlacementsTurnPlusXAlongTheirDirection)
{
    const float aVectors[4][3] = {{1, 0, 0}, {0, -1, 0}, {0, 0, 1}, {1, 1, 1}};
    for (const auto &v : aVectors) {
        Text3DItem item;
        std::copy(v, v + 3, item.fVector);
        item.fSize = 10.0f;    // x and y scaled by 1
        item.fDepth = 100.0f;  // z scaled by 1
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        NKApplyText3DTransform(item);
        GLfloat m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        const float fLength = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        for (int k = 0; k < 3; k++)
            EXPECT_NEAR(m[k], v[k] / fLength, 1e-5f) << v[0] << v[1] << v[2];
    }
    // Between points: x along p2 - p1, y the world +y made square to it,
    // or +z along y; the caller's matrix is left as it was.
    const float p1[3] = {1, 1, 1}, aEnds[2][3] = {{3, 1, 1}, {1, -3, 1}};
    const float aExpected[2][9] = {{1, 0, 0, 0, 1, 0, 0, 0, 1}, {0, -1, 0, 0, 0, 1, -1, 0, 0}};
    for (int i = 0; i < 2; i++) {
        glLoadIdentity();
        float m[16];
        NKDrawText3DBetweenPoints(m, p1, aEnds[i], "x", true, 2.0f, -1.0f);
        for (int k = 0; k < 3; k++) {
            EXPECT_NEAR(m[k], aExpected[i][k], 1e-6f);
            EXPECT_NEAR(m[4 + k], aExpected[i][3 + k], 1e-6f);
            EXPECT_NEAR(m[8 + k], aExpected[i][6 + k], 1e-6f);
            EXPECT_FLOAT_EQ(m[12 + k], p1[k]);
        }
        GLfloat now[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, now);
        EXPECT_FLOAT_EQ(now[12], 0.0f);
    }
}

// A one-quad part with node IDs 11 to 14 in a 200 x 200 view: the numbers
// light text-colour pixels beside the four nodes' window points only.
class NodeNumbersGL : public NKRenderModelTest {
protected:
    void SetUp() override
    {
        NKRenderModelTest::SetUp();
        m_pContext = NKCreateOffscreenGLContext(200, 200);
        ASSERT_NE(m_pContext, nullptr);
        glViewport(0, 0, 200, 200);
        NKViewWindowSize = {200, 200};
        g_pGraphicsSettings->bSingleBuffer = 1;
        g_pGraphicsSettings->bCull = 0;
        NKBuildBitmapFontLists();
        NKRegisterInfoCommands();
        NKGeometry *pGeo = MakeModel(1, 1, 0.5f);
        NKPart &part = pGeo->pParts[0];
        part.pNodeIDs = static_cast<int *>(NKAlloc(4 * sizeof(int)));
        for (int i = 0; i < 4; i++) part.pNodeIDs[i] = 11 + i;
        g_NodeNumberRange = NKNodeNumberRange();
        g_pViewSettings->bShowInfo = 0;
    }
    void TearDown() override
    {
        NKSetCommandHandler(NK_HANDLER_INFO, nullptr);
        NKDeleteAllDisplayLists();
        NKDeleteBitmapFontLists();
        if (m_pContext != nullptr) NKDestroyGLContext(m_pContext);
        NKRenderModelTest::TearDown();
    }
    // White pixels inside and outside the boxes beside the nodes.
    void CountText(int *piNear, int *piAway)
    {
        ASSERT_TRUE(NKDrawScene(-1, 1, 1));
        std::vector<unsigned char> a(200 * 200 * 4);
        glReadPixels(0, 0, 200, 200, GL_RGBA, GL_UNSIGNED_BYTE, a.data());
        const int aiX[4] = {50, 150, 150, 50}, aiY[4] = {50, 50, 150, 150};
        for (int k = 0; k < 4; k++) piNear[k] = 0;
        *piAway = 0;
        for (int y = 0; y < 200; y++)
            for (int x = 0; x < 200; x++) {
                const unsigned char *p = &a[(y * 200 + x) * 4];
                if (p[0] < 250 || p[1] < 250 || p[2] < 250) continue;
                bool bNear = false;
                for (int k = 0; k < 4; k++)
                    if (x >= aiX[k] - 2 && x < aiX[k] + 30 && y >= aiY[k] - 6 && y < aiY[k] + 20) {
                        piNear[k]++;
                        bNear = true;
                    }
                *piAway += !bNear;
            }
    }
    NKGLContext *m_pContext = nullptr;
};

TEST_F(NodeNumbersGL, NumbersBesideEachNodeAndNoneWhenOff)
{
    int aiNear[4], iAway = 0;
    ASSERT_EQ(ExecuteCommand("numbers"), 0);
    CountText(aiNear, &iAway);
    for (int k = 0; k < 4; k++) EXPECT_GT(aiNear[k], 3) << "node " << k;
    EXPECT_EQ(iAway, 0);
    // One node alone: node ID 13 of part 1.
    ASSERT_EQ(ExecuteCommand("numbers 1,13"), 0);
    CountText(aiNear, &iAway);
    EXPECT_EQ(aiNear[0] + aiNear[1] + aiNear[3], 0);
    EXPECT_GT(aiNear[2], 3);
    ASSERT_EQ(ExecuteCommand("nonumbers"), 0);
    CountText(aiNear, &iAway);
    EXPECT_EQ(aiNear[0] + aiNear[1] + aiNear[2] + aiNear[3] + iAway, 0);
}
