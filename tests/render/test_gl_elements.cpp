// tests/render/test_gl_elements.cpp -- the element drawers, vertex arrays,
// the depth pass and the transparent pass drawn straight into an
// off-screen context of 320 x 320 under an orthographic unit view (x and y
// from -1 to 1 fill the window): pixels read back, and the GL state and
// stack depths each drawer must leave.
#include <GL/gl.h>

#include <cstring>
#include <vector>

#include "core/nk_element_types.h"
#include "core/nk_frame_results.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_load_hooks.h"
#include "core/nk_view_state.h"
#include "platform/nk_gl_context.h"
#include "render/nk_element_drawing.h"
#include "render/nk_fringe_texture.h"
#include "render/nk_lights.h"
#include "render/nk_node_colors.h"
#include "render/nk_view_settings.h"
#include "tests/render/render_fixture.h"

namespace {

constexpr int kSize = 320;

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb &o) const { return r == o.r && g == o.g && b == o.b; }
};
std::ostream &operator<<(std::ostream &os, const Rgb &c)
{
    return os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}
Rgb At(int x, int y)
{
    unsigned char a[4] = {0, 0, 0, 0};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, a);
    return {a[0], a[1], a[2]};
}
bool Near(const Rgb &a, const Rgb &b, int t)
{
    return std::abs(a.r - b.r) <= t && std::abs(a.g - b.g) <= t && std::abs(a.b - b.b) <= t;
}

// An n x n grid of quads over [-1, 1]^2 at z, one shell element per quad,
// node and polygon normals facing +z.
void MakeGrid(NKPart *p, int n, float fZ = 0.0f)
{
    const int iNodes = (n + 1) * (n + 1), iQuads = n * n;
    p->iNumNodes = iNodes;
    p->iNumPolygons = p->iNumElements = iQuads;
    p->iNumConnects = p->iNumElementConnects = 4 * iQuads;
    p->iUniformPolygonSize = 4;
    p->pNodeCoords = static_cast<float *>(NKAlloc(3 * iNodes * sizeof(float)));
    p->pNodeNormals = static_cast<int8_t *>(NKCalloc(3 * iNodes, 1));
    p->pNodeType = static_cast<uint8_t *>(NKAlloc(iNodes));
    std::memset(p->pNodeType, 1, iNodes);
    for (int j = 0, i = 0; j <= n; j++)
        for (int k = 0; k <= n; k++, i++) {
            p->pNodeCoords[3 * i] = -1.0f + 2.0f * k / n;
            p->pNodeCoords[3 * i + 1] = -1.0f + 2.0f * j / n;
            p->pNodeCoords[3 * i + 2] = fZ;
            p->pNodeNormals[3 * i + 2] = 127;
        }
    p->pConnects = static_cast<int *>(NKAlloc(4 * iQuads * sizeof(int)));
    p->pElementConnects = static_cast<int *>(NKAlloc(4 * iQuads * sizeof(int)));
    p->pPolygonStart = static_cast<int *>(NKAlloc(iQuads * sizeof(int)));
    p->pPolygonNumNodes = static_cast<int *>(NKAlloc(iQuads * sizeof(int)));
    p->pPolygonElements = static_cast<int *>(NKAlloc(iQuads * sizeof(int)));
    p->pPolygonNormals = static_cast<int8_t *>(NKCalloc(3 * iQuads, 1));
    p->pElements = static_cast<NKElement *>(NKAlloc(iQuads * sizeof(NKElement)));
    for (int q = 0; q < iQuads; q++) {
        const int a = q / n * (n + 1) + q % n;
        const int c[4] = {a, a + 1, a + n + 2, a + n + 1};
        std::memcpy(p->pConnects + 4 * q, c, sizeof(c));
        std::memcpy(p->pElementConnects + 4 * q, c, sizeof(c));
        p->pPolygonStart[q] = 4 * q;
        p->pPolygonNumNodes[q] = 4;
        p->pPolygonElements[q] = q;
        p->pPolygonNormals[3 * q + 2] = 127;
        p->pElements[q] = {NK_ELEM_SHELL, q + 1, q, 4 * q};
    }
    p->bVisible = 1;
    for (int k = 0; k < 3; k++) {
        p->material.ambient[k] = p->material.diffuse[k] = k == 0 ? 1.0f : 0.0f;
        p->material.specular[k] = p->material.emission[k] = 0.0f;
    }
    p->material.alpha = 255;
}

// Node (or element) values for part 0 of frame 0, coloured over 0..100.
NKScalarResult *SetValues(const std::vector<float> &v, bool bElements)
{
    NKScalarResult *pRes = NKCreateScalarResult();
    pRes->iNumParts = 1;
    NKScalarPartEntry **pp = bElements ? &pRes->pElementResults : &pRes->pNodeResults;
    *pp = static_cast<NKScalarPartEntry *>(NKCalloc(1, sizeof(NKScalarPartEntry)));
    (*pp)->iCount = static_cast<int>(v.size());
    (*pp)->pNodeValues = static_cast<float *>(NKAlloc(v.size() * sizeof(float)));
    std::memcpy((*pp)->pNodeValues, v.data(), v.size() * sizeof(float));
    NKFrame &f = g_pModel->pFrames[0];
    if (f.pScalar != nullptr) NKReleaseScalarResult(f.pScalar);
    f.pScalar = pRes;
    pRes->iNumRef++;
    return pRes;
}

}  // namespace

class ElementsGL : public NKRenderModelTest {
protected:
    void SetUp() override
    {
        NKRenderModelTest::SetUp();
        m_pContext = NKOpenOrthoTestContext(kSize, kSize);
        ASSERT_NE(m_pContext, nullptr);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        g_pGraphicsSettings->bFringeShade = 0;
        g_pModel->fFringeRangeFrom = 0.0f;
        g_pModel->fFringeRangeTo = 100.0f;
        NKFringeTextureDirty = 1;
    }
    void TearDown() override
    {
        NKVertexArraySwitch = 0;
        g_RendererWorkarounds = NKRendererWorkarounds();
        g_ValueFilterSettings = NKValueFilterSettings();
        NKDeleteAllDisplayLists();
        if (m_pContext != nullptr) NKDestroyGLContext(m_pContext);
        NKRenderModelTest::TearDown();
    }
    NKPart *Grid(int n)
    {
        NKGeometry *pGeo = MakeModel(1, 1);
        NKFreePart(&pGeo->pParts[0]);
        NKInitPart(&pGeo->pParts[0]);
        MakeGrid(&pGeo->pParts[0], n);
        return &pGeo->pParts[0];
    }
    // Clears to black and draws part 0 with the drawer its flags choose;
    // checks the state and stacks the drawer leaves.
    void DrawPart(int iStyle)
    {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        GLint aiBefore[2], aiAfter[2];
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &aiBefore[0]);
        glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &aiBefore[1]);
        NKFrame *pFrame = &g_pModel->pFrames[0];
        if (pFrame->pGeometry->pParts[0].bFringes && NKHasPartNodeValues(pFrame, 0))
            NKDrawPartColored(0, pFrame, iStyle, &g_DisplayLists);
        else
            NKDrawPartTextured(0, pFrame, iStyle, &g_DisplayLists);
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &aiAfter[0]);
        glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &aiAfter[1]);
        EXPECT_TRUE(aiBefore[0] == aiAfter[0] && aiBefore[1] == aiAfter[1]);
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
        EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_1D));
        EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY) || glIsEnabled(GL_COLOR_ARRAY) ||
                     glIsEnabled(GL_NORMAL_ARRAY) || glIsEnabled(GL_TEXTURE_COORD_ARRAY));
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    NKGLContext *m_pContext = nullptr;
};

TEST_F(ElementsGL, NodeColoursAndTheBandedFringeTexture)
{
    NKPart *p = Grid(1);
    p->bFringes = 1;
    NKScalarResult *pRes = SetValues({40, 40, 40, 40}, false);
    ASSERT_TRUE(NKComputeScalarFieldColors(pRes, 0));
    DrawPart(NK_DRAW_SURFACE);
    EXPECT_EQ(At(160, 160), (Rgb{0, 255, 102}));
    g_pGraphicsSettings->bTextureFringes = 1;
    DrawPart(NK_DRAW_SURFACE);
    EXPECT_EQ(At(160, 160), (Rgb{0, 255, 130}));
    // 0 at x = -1 to 100 at x = 1: band k in the middle of its sixteenth.
    pRes = SetValues({0, 100, 0, 100}, false);
    ASSERT_TRUE(NKComputeScalarFieldColors(pRes, 0));
    DrawPart(NK_DRAW_SURFACE);
    const uint8_t *t = g_pFringeTextureColors->auColors;
    for (int k = 0; k < 16; k++)
        EXPECT_EQ(At(k * 20 + 10, 160), (Rgb{t[3 * k], t[3 * k + 1], t[3 * k + 2]})) << k;
    NKReverseFringeTextureColors(g_pFringeTextureColors->auColors);
    NKLoadFringeTexture(g_pFringeTextureColors);
    DrawPart(NK_DRAW_SURFACE);
    EXPECT_EQ(At(10, 160), (Rgb{255, 0, 0}));
}

// Fringes drawn lit under the start-up lights: a face turned to the viewer
// takes its colour from light 0's diffuse 0.6 alone (the ambient material
// is black while fringes are lit), so the top value's red is 153, not the
// legend's 255. Nodes without values take the undefined-value colour, the
// blue that every load sets, lit the same way.
TEST_F(ElementsGL, LitFringesFacingTheViewerShowSixTenthsOfTheirColour)
{
    NKLight *pLights = NKCreateLights();
    NKLightModel *pModels = NKCreateLightModels();
    ASSERT_TRUE(pLights != nullptr && pModels != nullptr);
    NKSetupDefaultLights(pLights);
    NKSetLight(GL_LIGHT0, &pLights[0], false);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, pModels[0].ambient);
    g_pGraphicsSettings->bFringeShade = 1;
    const uint8_t auSavedUndefined[3] = {NKUndefinedValueColor[0], NKUndefinedValueColor[1],
                                         NKUndefinedValueColor[2]};
    const uint8_t auLoadUndefined[3] = {0, 0, 255};
    std::memcpy(NKUndefinedValueColor, auLoadUndefined, 3);
    const struct {
        float fValue;
        Rgb colour;
    } cases[] = {{100.0f, {153, 0, 0}}, {NK_UNDEFINED, {0, 0, 153}}};
    NKPart *p = Grid(1);
    p->bFringes = 1;
    for (const auto &c : cases) {
        NKScalarResult *pRes = SetValues({c.fValue, c.fValue, c.fValue, c.fValue}, false);
        ASSERT_TRUE(NKComputeScalarFieldColors(pRes, 0));
        DrawPart(NK_DRAW_SURFACE);
        EXPECT_TRUE(Near(At(160, 160), c.colour, 2)) << At(160, 160) << " for " << c.fValue;
    }
    std::memcpy(NKUndefinedValueColor, auSavedUndefined, 3);
    NKFree(pLights);
    NKFree(pModels);
}

TEST_F(ElementsGL, ElementValuesTakeTheBandOfTheirValue)
{
    NKPart *p = Grid(2);
    p->bFringes = 1;
    g_pGraphicsSettings->bTextureFringes = 1;
    g_pViewSettings->bNodeAverage = 0;
    // Quads 0..3 (bottom left, bottom right, top left, top right).
    NKScalarResult *pRes = SetValues({100, 6.25f, -3, NK_UNDEFINED}, true);
    pRes->pNodeResults = static_cast<NKScalarPartEntry *>(NKCalloc(1, sizeof(NKScalarPartEntry)));
    ASSERT_TRUE(NKComputeNodalAverage(g_pModel->pFrames[0].pGeometry, pRes, -1));
    ASSERT_TRUE(NKComputeScalarFieldColors(pRes, 0));
    DrawPart(NK_DRAW_SURFACE);
    EXPECT_EQ(At(80, 80), (Rgb{255, 0, 0}));
    EXPECT_EQ(At(240, 80), (Rgb{0, 125, 255}));
    EXPECT_EQ(At(80, 240), (Rgb{0, 0, 255}));
    EXPECT_EQ(At(240, 240), (Rgb{150, 150, 150}));
    g_pModel->fFringeRangeFrom = g_pModel->fFringeRangeTo = 5.0f;
    DrawPart(NK_DRAW_SURFACE);
    EXPECT_EQ(At(80, 80), (Rgb{0, 0, 255}));
}

TEST_F(ElementsGL, EdgeFlagsChooseTheLinesOfEachStyle)
{
    NKPart *p = Grid(1);
    for (int k = 0; k < 12; k++) p->pNodeCoords[k] *= 0.5f;  // edges inside the window
    p->iNumEdgeSlots = 4;
    p->pEdgeKinds = static_cast<uint8_t *>(NKAlloc(4));
    const uint8_t auFlags[4] = {1, 2, 0, 2};
    std::memcpy(p->pEdgeKinds, auFlags, 4);
    // Middles of edges 0 (bottom), 1 (right), 2 (top), 3 (left).
    const int aiX[4] = {160, 240, 160, 80}, aiY[4] = {80, 160, 240, 160};
    struct Case {
        int iStyle;
        bool abLit[4];
    } cases[] = {{NK_DRAW_LINES, {true, true, false, true}},
                 {NK_DRAW_OUTLINE, {false, true, false, true}}};
    for (const Case &c : cases) {
        DrawPart(c.iStyle);
        for (int e = 0; e < 4; e++) {
            const bool bLit = !(At(aiX[e], aiY[e]) == Rgb{0, 0, 0}) ||
                              !(At(aiX[e] - (e % 2), aiY[e] - (1 - e % 2)) == Rgb{0, 0, 0});
            EXPECT_EQ(bLit, c.abLit[e]) << "style " << c.iStyle << " edge " << e;
        }
    }
    // Fringes on without scalars: the undefined colour.
    p->bFringes = 1;
    DrawPart(NK_DRAW_LINES);
    const Rgb a = At(160, 80), b = At(160, 79);
    EXPECT_TRUE(a == (Rgb{150, 150, 150}) || b == (Rgb{150, 150, 150})) << a << b;
}

TEST_F(ElementsGL, CylinderLinesAreAsWideAsTheirSize)
{
    NKPart *p = Grid(1);
    for (int k = 0; k < 12; k++) p->pNodeCoords[k] *= 0.5f;  // bottom edge at y = -0.5
    struct Case {
        uint8_t bCylinders;
        bool bLitBeside;  // 10 pixels above the bottom edge's middle
    } const cases[] = {{0, false}, {1, true}};
    for (const Case &c : cases) {
        p->bLinesAsCylinders = c.bCylinders;
        p->fCylinderSize = 0.2f;  // radius 0.1: 16 pixels
        DrawPart(NK_DRAW_LINES);
        EXPECT_NE(At(160, 80) == (Rgb{0, 0, 0}) && At(160, 79) == (Rgb{0, 0, 0}), true);
        EXPECT_EQ(!(At(160, 90) == Rgb{0, 0, 0}), c.bLitBeside) << int(c.bCylinders);
        EXPECT_TRUE(At(160, 160) == (Rgb{0, 0, 0}));
    }
}

TEST_F(ElementsGL, MarkedNodeNormalsAndFixSwitchesKeepPixels)
{
    NKPart *p = Grid(1);
    p->bSmooth = 1;
    NKFlagMaterialsForUpdate(g_pListUpdateInfo, -1, -1);
    NKPerformListUpdates(g_pListUpdateInfo, &g_DisplayLists, 0);
    DrawPart(NK_DRAW_SURFACE);
    const Rgb plain = At(160, 160);
    EXPECT_FALSE(plain == (Rgb{0, 0, 0}));
    for (int i = 0; i < 4; i++) {
        p->pNodeNormals[3 * i] = p->pNodeNormals[3 * i + 1] = 127;
        p->pNodeNormals[3 * i + 2] = 0;
    }
    DrawPart(NK_DRAW_SURFACE);
    EXPECT_EQ(At(160, 160), plain);
    // Quads as polygons and as triangles change no pixel of a one-colour part.
    std::vector<unsigned char> reference(kSize * kSize * 4), image(kSize * kSize * 4);
    glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, reference.data());
    for (int iFix = 0; iFix < 2; iFix++) {
        g_RendererWorkarounds = NKRendererWorkarounds();
        (iFix == 0 ? g_RendererWorkarounds.bQuadsAsPolygons
                   : g_RendererWorkarounds.bTrianglesOnly) = 1;
        DrawPart(NK_DRAW_SURFACE);
        glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, image.data());
        EXPECT_TRUE(image == reference) << "fix " << iFix;
    }
}

TEST_F(ElementsGL, SixNodeFacesOfElementsSkipTheirMidsides)
{
    NKPart *p = Grid(1);
    // A triangle face of corners (-0.5,-0.5), (0.5,-0.5), (0,0.5) whose
    // midsides bulge outwards.
    const float afCoords[18] = {-0.5f, -0.5f, 0, 0, -0.9f, 0, 0.5f,  -0.5f, 0,
                                0.6f,  0.3f,  0, 0, 0.5f,  0, -0.6f, 0.3f,  0};
    p->iNumNodes = 6;
    p->pNodeCoords = static_cast<float *>(NKRealloc(p->pNodeCoords, sizeof(afCoords)));
    std::memcpy(p->pNodeCoords, afCoords, sizeof(afCoords));
    p->pNodeNormals = static_cast<int8_t *>(NKRealloc(p->pNodeNormals, 18));
    for (int i = 0; i < 6; i++) p->pNodeNormals[3 * i + 2] = 127;
    p->pConnects = static_cast<int *>(NKRealloc(p->pConnects, 6 * sizeof(int)));
    for (int i = 0; i < 6; i++) p->pConnects[i] = i;
    p->iNumConnects = 6;
    p->pPolygonNumNodes[0] = 6;
    p->iUniformPolygonSize = 6;
    DrawPart(NK_DRAW_SURFACE);
    EXPECT_FALSE(At(160, 140) == (Rgb{0, 0, 0}));
    EXPECT_EQ(At(160, 16), (Rgb{0, 0, 0}));  // bulge below the bottom edge
    g_iHighOrderMode = NK_HIGH_ORDER_RAW;
    DrawPart(NK_DRAW_SURFACE);
    EXPECT_FALSE(At(160, 16) == (Rgb{0, 0, 0}));
    g_iHighOrderMode = NK_HIGH_ORDER_SKIP;
}

TEST_F(ElementsGL, VertexArraysDrawWhatImmediateDrawingDraws)
{
    NKPart *p = Grid(2);
    p->bFringes = 1;
    // Values vary along x only: Mesa splits a quad along one diagonal in
    // immediate drawing and along the other in indexed drawing, and only
    // colours that are planar over each quad come out the same either way.
    NKScalarResult *pRes = SetValues({0, 40, 80, 0, 40, 80, 0, 40, 80}, false);
    ASSERT_TRUE(NKComputeScalarFieldColors(pRes, 0));
    NKFrame *pFrame = &g_pModel->pFrames[0];
    pFrame->ppVisibility = static_cast<uint8_t **>(NKCalloc(1, sizeof(uint8_t *)));
    pFrame->ppVisibility[0] = static_cast<uint8_t *>(NKCalloc(4, 1));
    std::vector<unsigned char> images[2];
    struct Case {
        uint8_t bSmooth;
        int iHidden;   // by visibility byte 2
        bool bFilter;  // filter 0..45 hides quads 1 and 3 (values 40..80)
        int iMixed;    // polygon 0 made a triangle
    } cases[] = {{1, -1, false, 0}, {1, 0, false, 0},  {0, 1, false, 0}, {1, -1, true, 0},
                 {0, -1, true, 0},  {1, -1, false, 1}, {0, 2, false, 1}};
    for (const Case &c : cases) {
        p->bSmooth = c.bSmooth;
        std::memset(pFrame->ppVisibility[0], 0, 4);
        if (c.iHidden >= 0) pFrame->ppVisibility[0][c.iHidden] = 2;
        g_ValueFilterSettings = {static_cast<uint8_t>(c.bFilter), 0.0f, 45.0f};
        p->iUniformPolygonSize = c.iMixed ? -1 : 4;
        p->pPolygonNumNodes[0] = c.iMixed ? 3 : 4;
        for (int v = 0; v < 2; v++) {
            NKVertexArraySwitch = static_cast<uint8_t>(v);
            DrawPart(NK_DRAW_SURFACE);
            images[v].resize(kSize * kSize * 4);
            glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, images[v].data());
            if (c.iHidden >= 0) {
                EXPECT_EQ(At(80 + 160 * (c.iHidden % 2), 80 + 160 * (c.iHidden / 2)),
                          (Rgb{0, 0, 0}));
            }
            if (c.bFilter) {
                EXPECT_EQ(At(240, 240), (Rgb{0, 0, 0}));
            }
        }
        int iDiffer = 0, iFirst = -1;
        for (size_t i = 0; i < images[0].size(); i++)
            if (images[0][i] != images[1][i]) iDiffer++, iFirst = iFirst < 0 ? int(i) : iFirst;
        EXPECT_EQ(iDiffer, 0) << int(c.bSmooth) << " " << c.iHidden << " " << c.bFilter << " "
                              << c.iMixed << " first " << iFirst / 4 % kSize << ","
                              << iFirst / 4 / kSize;
    }
}

namespace {

// Two one-quad parts of emission only with alpha 128: part 0 red at
// z = 0.5, part 1 blue at z = -0.5.
void MakeTransparentPair(NKModel *pModel)
{
    NKGeometry *pGeo = NKCreateGeometry(2);
    for (int i = 0; i < 2; i++) {
        NKPart *p = &pGeo->pParts[i];
        MakeGrid(p, 1, i == 0 ? 0.5f : -0.5f);
        NKMaterial &m = p->material;
        for (int k = 0; k < 3; k++) {
            m.ambient[k] = m.diffuse[k] = m.specular[k] = 0.0f;
            m.emission[k] = (i == 0 ? k == 0 : k == 2) ? 1.0f : 0.0f;
        }
        m.alpha = 128;
        p->bTransparent = 1;
    }
    pModel->pFrames = NKAllocFrameArray(1);
    pModel->iNumFrames = 1;
    pModel->pFrames[0].pGeometry = pGeo;
    pGeo->iNumRef++;
}

}  // namespace

TEST_F(ElementsGL, TransparentPassBlendsFarToNearAndFastInPartOrder)
{
    MakeTransparentPair(g_pModel);
    NKViewWindowSize = {kSize, kSize};
    NKFlagMaterialsForUpdate(g_pListUpdateInfo, -1, -1);
    NKPerformListUpdates(g_pListUpdateInfo, &g_DisplayLists, 0);
    const int aiParts[2] = {0, 1};
    struct Case {
        uint8_t bFast;
        Rgb expected;
    } cases[] = {{0, {128, 0, 64}}, {1, {128, 0, 0}}};
    for (const Case &c : cases) {
        g_pViewSettings->bTransparentFast = c.bFast;
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glPushAttrib(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDepthMask(GL_FALSE);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_BLEND);
        EXPECT_TRUE(NKDrawModelPass(aiParts, 2, &g_pModel->pFrames[0], !c.bFast, &g_DisplayLists));
        glPopAttrib();
        EXPECT_TRUE(Near(At(160, 160), c.expected, 2)) << At(160, 160);
    }
    EXPECT_FALSE(NKDrawModelPass(nullptr, 2, &g_pModel->pFrames[0], true, &g_DisplayLists));
    // The depth pass fills depth only.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    NKDrawHiddenLineDepthPass(aiParts, 1, &g_pModel->pFrames[0]);
    float fDepth = 1.0f;
    glReadPixels(160, 160, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &fDepth);
    EXPECT_EQ(At(160, 160), (Rgb{0, 0, 0}));
    EXPECT_LT(fDepth, 1.0f);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    glDisable(GL_DEPTH_TEST);
}
