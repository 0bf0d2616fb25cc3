// tests/render/test_gl_overlays.cpp -- the frame label and the lines and
// marks drawn over parts, in an off-screen context of 810 x 600 under
// glOrtho(-1, 1, -1, 1, -1, 1) with identity modelview and display
// transform: GL feedback in window coordinates ((x + 1) x 405,
// (y + 1) x 300), pixels read back, the text queue and the label overlay,
// and the GL state every draw must leave as it found it.
#include <GL/gl.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/nk_data_source_kind.h"
#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_numeric.h"
#include "core/nk_render_state.h"
#include "core/nk_sound_sources.h"
#include "core/nk_view_state.h"
#include "platform/nk_gl_context.h"
#include "render/nk_fringe_commands.h"
#include "render/nk_label_overlay.h"
#include "render/nk_lights.h"
#include "render/nk_part_drawing.h"
#include "render/nk_part_overlays.h"
#include "render/nk_primitives.h"
#include "render/nk_scene_view.h"
#include "render/nk_text.h"
#include "render/nk_text_list.h"
#include "render/nk_view_settings.h"
#include "scene/nk_scene_extras.h"
#include "tests/render/render_fixture.h"
#include "tests/test_support/gl_feedback.h"

namespace {

constexpr int kWidth = 810, kHeight = 600;

using Vertex = NKFeedbackVertex;
using Primitive = NKFeedbackPrimitive;

std::vector<Primitive> Feedback(const std::function<void()> &draw)
{
    return NKCaptureFeedback(draw);
}

std::vector<Primitive> OfKind(const std::vector<Primitive> &all, int iToken)
{
    std::vector<Primitive> out;
    for (const Primitive &p : all)
        if (p.iToken == iToken) out.push_back(p);
    return out;
}

void ExpectAt(const Vertex &v, float x, float y, const char *pszWhat)
{
    EXPECT_NEAR(v.x, x, 0.01) << pszWhat;
    EXPECT_NEAR(v.y, y, 0.01) << pszWhat;
}

void ExpectColour(const Vertex &v, int r, int g, int b, const char *pszWhat)
{
    EXPECT_EQ(v.r, r) << pszWhat;
    EXPECT_EQ(v.g, g) << pszWhat;
    EXPECT_EQ(v.b, b) << pszWhat;
}

// Polygons counted as the triangles they make.
int TriangleCount(const std::vector<Primitive> &prims)
{
    int n = 0;
    for (const Primitive &p : prims)
        if (p.iToken == GL_POLYGON_TOKEN) n += static_cast<int>(p.v.size()) - 2;
    return n;
}

// Window coordinates of a point of the unit view.
float Wx(float x) { return (x + 1.0f) * 405.0f; }
float Wy(float y) { return (y + 1.0f) * 300.0f; }

// Every queued text.
struct Queued {
    std::string text;
    int iSize;
    float x, y;
    int r, g, b;
};
std::vector<Queued> QueuedTexts(void)
{
    std::vector<Queued> out;
    for (NKTextItem *p = g_pTextListHead != nullptr ? g_pTextListHead->pNext : nullptr;
         p != nullptr; p = p->pNext)
        out.push_back({p->Text.GetText(), p->iSize, p->fX, p->fY, p->uRed, p->uGreen, p->uBlue});
    return out;
}

}  // namespace

class OverlaysGL : public NKRenderModelTest {
protected:
    void SetUp() override
    {
        NKRenderModelTest::SetUp();
        m_pContext = NKOpenOrthoTestContext(kWidth, kHeight);
        ASSERT_NE(m_pContext, nullptr);
        glEnable(GL_LIGHTING);
        glDepthFunc(GL_LESS);
        glEnable(GL_DEPTH_TEST);
        glLineWidth(1.0f);
        glPointSize(1.0f);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        g_pModel->fGeoScale = 1.0f;
        for (float &f : g_afMeshOffset) f = 0.0f;
        g_pLabelOverlay = CreateLabelOverlay();
        NKFreeTextList();
    }
    void TearDown() override
    {
        NKFreeTextList();
        DestroyLabelOverlay(g_pLabelOverlay);
        g_pLabelOverlay = nullptr;
        NKResetContourSettings(&g_ContourSettings);
        g_VectorSettings = NKVectorSettings();
        for (NKVectorSettings &s : g_SeparateVectorSettings) s = NKVectorSettings();
        g_ValueFilterSettings = NKValueFilterSettings();
        g_RendererWorkarounds = NKRendererWorkarounds();
        NKPartHighlightSettings = NKPartHighlight();
        NKSetInterfaceType(NK_INTERFACE_NONE);
        NKStrokeFontSwitch = 0;
        g_szStepText = NKString();
        if (m_pContext != nullptr) NKDestroyGLContext(m_pContext);
        NKRenderModelTest::TearDown();
    }
    // The draw's primitives; the stacks, lighting, depth function, line
    // width, point size and stipple as they were before it.
    std::vector<Primitive> Draw(const std::function<void()> &draw)
    {
        GLint aiBefore[3], aiAfter[3];
        GLfloat afBefore[2], afAfter[2];
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &aiBefore[0]);
        glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &aiBefore[1]);
        glGetIntegerv(GL_DEPTH_FUNC, &aiBefore[2]);
        glGetFloatv(GL_LINE_WIDTH, &afBefore[0]);
        glGetFloatv(GL_POINT_SIZE, &afBefore[1]);
        const bool bLighting = glIsEnabled(GL_LIGHTING);
        std::vector<Primitive> prims = Feedback(draw);
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &aiAfter[0]);
        glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &aiAfter[1]);
        glGetIntegerv(GL_DEPTH_FUNC, &aiAfter[2]);
        glGetFloatv(GL_LINE_WIDTH, &afAfter[0]);
        glGetFloatv(GL_POINT_SIZE, &afAfter[1]);
        for (int k = 0; k < 3; k++) EXPECT_EQ(aiBefore[k], aiAfter[k]) << k;
        EXPECT_EQ(afBefore[0], afAfter[0]);
        EXPECT_EQ(afBefore[1], afAfter[1]);
        EXPECT_EQ(bLighting, static_cast<bool>(glIsEnabled(GL_LIGHTING)));
        EXPECT_FALSE(glIsEnabled(GL_LINE_STIPPLE));
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        return prims;
    }
    NKFrame *Frame(void) { return &g_pModel->pFrames[0]; }
    NKPart *Part(void) { return &g_pModel->pFrames[0].pGeometry->pParts[0]; }
    // Frame 0's vector result with one part entry of the given end points.
    NKVectorPartEntry *SetVectors(const std::vector<float> &values, const char *pszDescription)
    {
        NKVectorResult *pRes = NKCreateVectorResult();
        pRes->szDescription = pszDescription;
        pRes->iNumParts = 1;
        pRes->pResults = static_cast<NKVectorPartEntry *>(NKCalloc(1, sizeof(NKVectorPartEntry)));
        pRes->pResults[0].iNumNodes = static_cast<int>(values.size() / 3);
        pRes->pResults[0].pNodeValues =
            static_cast<float *>(NKAlloc(values.size() * sizeof(float)));
        std::memcpy(pRes->pResults[0].pNodeValues, values.data(), values.size() * sizeof(float));
        if (Frame()->pVector != nullptr) NKReleaseVectorResult(Frame()->pVector);
        Frame()->pVector = pRes;
        pRes->iNumRef++;
        return &pRes->pResults[0];
    }
    NKGLContext *m_pContext = nullptr;
};

TEST_F(OverlaysGL, FrameLabelShowsTheStepCounterAndTheInterpolationNote)
{
    MakeModel(3, 3);
    for (int i = 0; i < 3; i++)
        g_pModel->pFrames[i].szDescription = NKString::FromFormat("Load %d", i + 1).GetText();
    g_pViewSettings->bShowStep = 1;
    g_uTextColor[0] = g_uTextColor[1] = g_uTextColor[2] = 255;
    struct Case {
        const char *pszPrefix;
        bool bLarge, bShowStep, bOneFrame;
        const char *pszDescription;  // of the frame drawn; null keeps "Load 2"
        const char *pszExpected;     // null: nothing queued
        int iSize;
    } cases[] = {
        {"", false, true, false, nullptr, "Load 2 (2 of 3)", 18},
        {"Run", false, true, false, nullptr, "Run: Load 2 (2 of 3)", 18},
        {"", true, true, false, nullptr, "Load 2 (2 of 3)", 50},
        {"", false, true, true, "x", "x", 18},
        {"", false, true, true, "", nullptr, 0},
        {"", false, false, false, nullptr, nullptr, 0},
    };
    for (const Case &c : cases) {
        NKFreeTextList();
        g_szStepText = c.pszPrefix;
        g_pViewSettings->bLargeText = c.bLarge;
        g_pViewSettings->bShowStep = c.bShowStep;
        g_pModel->iNumFrames = c.bOneFrame ? 1 : 3;
        NKFrame *pFrame = &g_pModel->pFrames[c.bOneFrame ? 0 : 1];
        const NKString saved = pFrame->szDescription;
        if (c.pszDescription != nullptr) pFrame->szDescription = c.pszDescription;
        NKQueueFrameLabel(pFrame, 1);
        pFrame->szDescription = saved;
        const std::vector<Queued> q = QueuedTexts();
        if (c.pszExpected == nullptr) {
            EXPECT_TRUE(q.empty()) << c.pszPrefix << c.bShowStep;
            continue;
        }
        ASSERT_EQ(q.size(), 1u) << c.pszExpected;
        EXPECT_EQ(q[0].text, c.pszExpected);
        EXPECT_EQ(q[0].iSize, c.iSize);
        EXPECT_FLOAT_EQ(q[0].x, -0.95f);
        EXPECT_FLOAT_EQ(q[0].y, -0.95f);
        EXPECT_TRUE(q[0].r == 255 && q[0].g == 255 && q[0].b == 255);
    }
    g_pModel->iNumFrames = 3;
    g_szStepText = "";
    g_pViewSettings->bLargeText = 0;
    g_pViewSettings->bShowStep = 1;
    g_pModel->pFrames[1].bInterpolated = 1;
    struct Note {
        int iScreen, iAnimation;
        bool bShown;
    } notes[] = {{1, 0, true}, {0, 0, false}, {1, 1, false}};
    for (const Note &n : notes) {
        NKFreeTextList();
        g_pModel->animationType = n.iAnimation;
        NKQueueFrameLabel(&g_pModel->pFrames[1], n.iScreen);
        const std::vector<Queued> q = QueuedTexts();
        ASSERT_EQ(q.size(), n.bShown ? 2u : 1u) << n.iScreen << n.iAnimation;
        if (!n.bShown) continue;
        EXPECT_EQ(q[1].text, "Interpolated frame");
        EXPECT_EQ(q[1].iSize, 18);
        EXPECT_FLOAT_EQ(q[1].x, -0.2f);
        EXPECT_FLOAT_EQ(q[1].y, 0.9f);
    }
    g_pModel->animationType = 0;
}

TEST_F(OverlaysGL, MeshAndOutlineLinesFollowTheEdgeFlags)
{
    MakeModel(1, 1);
    NKPart *p = Part();
    p->pEdgeKinds = static_cast<uint8_t *>(NKAlloc(4));
    const uint8_t auFlags[4] = {1, 2, 0, 2};
    std::memcpy(p->pEdgeKinds, auFlags, 4);
    p->iNumEdgeSlots = 4;
    p->material.diffuse[0] = 0.2f;
    p->material.diffuse[1] = 0.4f;
    p->material.diffuse[2] = 0.6f;
    p->uOutlineMeshColor[0] = 9;
    p->uOutlineMeshColor[1] = 8;
    p->uOutlineMeshColor[2] = 7;
    const uint8_t auMesh[3] = {g_uMeshColor[0], g_uMeshColor[1], g_uMeshColor[2]};
    g_uMeshColor[0] = 10;
    g_uMeshColor[1] = 20;
    g_uMeshColor[2] = 30;
    // Corners of the square (half size 0.5) in window coordinates.
    const float ax[4] = {Wx(-0.5f), Wx(0.5f), Wx(0.5f), Wx(-0.5f)};
    const float ay[4] = {Wy(-0.5f), Wy(-0.5f), Wy(0.5f), Wy(0.5f)};
    struct Case {
        bool bOutline, bDefault, bLineClipFix;
        std::vector<int> edges;
        int r, g, b;
    } cases[] = {
        {false, false, false, {0, 1, 3}, 10, 20, 30},
        {false, false, true, {0, 1, 3}, 10, 20, 30},
        {true, true, false, {1, 3}, 51, 102, 153},
        {true, false, false, {1, 3}, 9, 8, 7},
    };
    for (const Case &c : cases) {
        p->bOutlineMeshDefaultColor = c.bDefault;
        g_RendererWorkarounds.bLineClipFix = c.bLineClipFix;
        const auto lines =
            OfKind(Draw([&] { NKDrawPartEdges(0, p, Frame(), c.bOutline, false); }), GL_LINE_TOKEN);
        ASSERT_EQ(lines.size(), c.edges.size()) << c.bOutline;
        for (size_t i = 0; i < lines.size(); i++) {
            const int e = c.edges[i];
            ExpectAt(lines[i].v[0], ax[e], ay[e], "edge start");
            ExpectAt(lines[i].v[1], ax[(e + 1) % 4], ay[(e + 1) % 4], "edge end");
            ExpectColour(lines[i].v[0], c.r, c.g, c.b, "edge colour");
        }
    }
    g_RendererWorkarounds.bLineClipFix = 0;
    // A two-node polygon has no mesh lines.
    p->pPolygonNumNodes[0] = 2;
    EXPECT_TRUE(Draw([&] { NKDrawPartEdges(0, p, Frame(), false, false); }).empty());
    p->pPolygonNumNodes[0] = 4;
    // A polygon the value filter hides, fringes on, has none either; with
    // its value inside the range it keeps them.
    NKScalarResult *pRes = NKCreateScalarResult();
    pRes->iNumParts = 1;
    pRes->pNodeResults = static_cast<NKScalarPartEntry *>(NKCalloc(1, sizeof(NKScalarPartEntry)));
    pRes->pNodeResults[0].iCount = 4;
    pRes->pNodeResults[0].pNodeValues = static_cast<float *>(NKAlloc(4 * sizeof(float)));
    for (int i = 0; i < 4; i++) pRes->pNodeResults[0].pNodeValues[i] = 50.0f;
    Frame()->pScalar = pRes;
    pRes->iNumRef++;
    p->bFringes = 1;
    g_ValueFilterSettings = {1, 0.0f, 10.0f};
    EXPECT_TRUE(Draw([&] { NKDrawPartEdges(0, p, Frame(), false, false); }).empty());
    g_ValueFilterSettings = {1, 0.0f, 100.0f};
    EXPECT_EQ(Draw([&] { NKDrawPartEdges(0, p, Frame(), false, false); }).size(), 3u);
    std::memcpy(g_uMeshColor, auMesh, 3);
}

TEST_F(OverlaysGL, HighlightedPartGetsItsOutlineInTheOutlineColour)
{
    MakeModel(1, 1);
    NKPart *p = Part();
    p->pEdgeKinds = static_cast<uint8_t *>(NKAlloc(4));
    const uint8_t auFlags[4] = {1, 2, 0, 2};
    std::memcpy(p->pEdgeKinds, auFlags, 4);
    p->iNumEdgeSlots = 4;
    p->bHighlighted = 1;
    NKPartHighlightSettings.bDrawBox = 0;
    NKPartHighlightSettings.bDrawOutline = 1;
    const uint8_t auGreen[3] = {0, 255, 0};
    std::memcpy(NKPartHighlightSettings.uOutlineColor, auGreen, 3);
    const auto lines =
        OfKind(Draw([&] { NKDrawPart(0, Frame(), &g_DisplayLists, 1, false); }), GL_LINE_TOKEN);
    ASSERT_EQ(lines.size(), 2u);
    for (const Primitive &l : lines) ExpectColour(l.v[0], 0, 255, 0, "outline");
    ExpectAt(lines[0].v[0], Wx(0.5f), Wy(-0.5f), "edge 1");
    ExpectAt(lines[1].v[0], Wx(-0.5f), Wy(0.5f), "edge 3");
    NKPartHighlightSettings.bDrawOutline = 0;
    EXPECT_TRUE(
        OfKind(Draw([&] { NKDrawPart(0, Frame(), &g_DisplayLists, 1, false); }), GL_LINE_TOKEN)
            .empty());
}

TEST_F(OverlaysGL, UndeformedShapeIsAStippledLoopAtTheOwnCoordinates)
{
    MakeModel(1, 1);
    NKPart *p = Part();
    SetVectors({-0.5f, 0.0f, 0.0f, 0.5f, 0.0f, 0.0f, 0.5f, 1.0f, 0.0f, -0.5f, 1.0f, 0.0f}, "d");
    p->bDisplacements = 1;
    g_uUndeformedColor[0] = 255;
    g_uUndeformedColor[1] = 255;
    g_uUndeformedColor[2] = 0;
    const auto lines = OfKind(Draw([&] { NKDrawUndeformedShape(p, Frame()); }), GL_LINE_TOKEN);
    ASSERT_EQ(lines.size(), 4u);
    ExpectAt(lines[0].v[0], Wx(-0.5f), Wy(-0.5f), "undisplaced corner");
    ExpectAt(lines[2].v[0], Wx(0.5f), Wy(0.5f), "undisplaced corner");
    ExpectColour(lines[0].v[0], 255, 255, 0, "undeformed colour");
    // A 400-pixel edge along the centre of pixel row 100: the pattern
    // 0x8888 lights one pixel in four.
    const float y = 100.5f / 300.0f - 1.0f, x0 = 202.5f / 405.0f - 1.0f;
    const float x1 = 602.5f / 405.0f - 1.0f;
    const float afCoords[12] = {x0, y, 0, x1, y, 0, x1, y + 1.0f, 0, x0, y + 1.0f, 0};
    std::memcpy(p->pNodeCoords, afCoords, sizeof(afCoords));
    glDisable(GL_DEPTH_TEST);
    glClear(GL_COLOR_BUFFER_BIT);
    NKDrawUndeformedShape(p, Frame());
    EXPECT_FALSE(glIsEnabled(GL_LINE_STIPPLE));
    std::vector<unsigned char> row(kWidth * 4);
    glReadPixels(0, 100, kWidth, 1, GL_RGBA, GL_UNSIGNED_BYTE, row.data());
    int iLit = 0;
    for (int x = 0; x < kWidth; x++) iLit += row[4 * x] > 128 && row[4 * x + 1] > 128;
    EXPECT_NEAR(iLit, 100, 2);
    g_uUndeformedColor[2] = 255;
}

TEST_F(OverlaysGL, ContourLinesCarryValueLabelsOnEveryHundredthSegment)
{
    MakeModel(1, 1);
    NKContourSettings &cs = g_ContourSettings;
    cs.iNumLevels = 1;
    cs.pLevels = static_cast<float *>(NKAlloc(sizeof(float)));
    cs.pLevels[0] = 2.5f;
    NKFrame *pFrame = Frame();
    pFrame->pContours = static_cast<NKContourList *>(NKCalloc(1, sizeof(NKContourList)));
    NKContourList &list = pFrame->pContours[0];
    list.iNumLines = 250;
    list.pLines = static_cast<NKContourLine *>(NKCalloc(250, sizeof(NKContourLine)));
    for (int i = 0; i < 250; i++) {
        NKContourLine &l = list.pLines[i];
        l.fStart[0] = -0.9f + i * 0.006f;
        l.fEnd[0] = l.fStart[0] + 0.004f;
        l.fStart[1] = l.fEnd[1] = 0.1f;
        l.fLineWidth = 3.0f;
    }
    const uint8_t auSaved[3] = {g_uContourLineColor[0], g_uContourLineColor[1],
                                g_uContourLineColor[2]};
    g_uContourLineColor[0] = 255;
    g_uContourLineColor[1] = 128;
    g_uContourLineColor[2] = 0;
    for (const bool bLabels : {true, false}) {
        ClearLabelOverlay(g_pLabelOverlay);
        cs.bValueLabels = bLabels;
        const auto lines = OfKind(Draw([&] { NKDrawContourLines(0, pFrame); }), GL_LINE_TOKEN);
        ASSERT_EQ(lines.size(), 250u);
        for (const Primitive &l : lines) ExpectColour(l.v[0], 255, 128, 0, "contour colour");
        ExpectAt(lines[7].v[0], Wx(list.pLines[7].fStart[0]), Wy(0.1f), "segment start");
        ASSERT_EQ(g_pLabelOverlay->iCount, bLabels ? 3 : 0);
        for (int k = 0; k < g_pLabelOverlay->iCount; k++) {
            const LabelItem &item = g_pLabelOverlay->pItems[k];
            EXPECT_STREQ(item.Text.GetText(), "2.5");
            EXPECT_NEAR(item.fAnchor[0], list.pLines[100 * k].fStart[0], 1e-6) << k;
            EXPECT_NEAR(item.fAnchor[1], 0.1f, 1e-6) << k;
        }
    }
    std::memcpy(g_uContourLineColor, auSaved, 3);
}

TEST_F(OverlaysGL, PartVectorsAreClampedFilteredAndSkipped)
{
    MakeModel(1, 1);
    NKPart *p = Part();
    // Node 0 at (-0.5, 0, 0); the others stay where the square puts them.
    p->pNodeCoords[0] = -0.5f;
    p->pNodeCoords[1] = 0.0f;
    const float fU = NK_UNDEFINED;
    NKVectorPartEntry *pEntry = SetVectors({-0.1f, 0, 0, fU, 0, 0, fU, 0, 0, fU, 0, 0}, "v");
    NKVectorSettings s;
    s.bArrows = 0;
    s.uColor[0] = 200;
    s.uColor[1] = 100;
    s.uColor[2] = 50;
    g_pModel->valueRanges[2].from = 1.0f;
    auto draw = [&] { return Draw([&] { NKDrawPartVectors(0, p, Frame(), &s); }); };
    auto prims = draw();
    ASSERT_EQ(prims.size(), 1u);
    ASSERT_EQ(prims[0].iToken, GL_LINE_TOKEN);
    ExpectAt(prims[0].v[0], 202.5f, 300.0f, "tail");
    ExpectAt(prims[0].v[1], 364.5f, 300.0f, "tip");
    ExpectColour(prims[0].v[0], 200, 100, 50, "vector colour");
    // Arrows on: the arrow head's triangles over the same segment.
    s.bArrows = 1;
    s.fArrowSize = 1.0f;
    prims = draw();
    const float afTail[3] = {-0.5f, 0, 0}, afTip[3] = {-0.1f, 0, 0};
    const auto head = Feedback([&] { NKDrawArrowHead(afTail, afTip, 1.0f); });
    ASSERT_EQ(prims.size(), 1u + head.size());
    ASSERT_EQ(head.size(), 2u);
    for (size_t k = 0; k < head.size(); k++) {
        ASSERT_EQ(prims[1 + k].iToken, GL_POLYGON_TOKEN);
        for (size_t j = 0; j < head[k].v.size(); j++)
            ExpectAt(prims[1 + k].v[j], head[k].v[j].x, head[k].v[j].y, "arrow head");
    }
    s.bArrows = 0;
    // Nothing for a vector too short, an undefined value or an unused node.
    struct Skip {
        float fEndX;
        uint8_t uUsed;
        const char *pszWhy;
    } skips[] = {{-0.49998f, 1, "short"}, {fU, 1, "undefined"}, {-0.1f, 0, "unused"}};
    for (const Skip &k : skips) {
        pEntry->pNodeValues[0] = k.fEndX;
        p->pNodeType[0] = k.uUsed;
        EXPECT_TRUE(draw().empty()) << k.pszWhy;
    }
    pEntry->pNodeValues[0] = -0.1f;
    p->pNodeType[0] = 1;
    // Clamped to 0.2 long.
    s.bClamp = 1;
    s.fClampMin = 0.0f;
    s.fClampMax = 0.2f;
    prims = draw();
    ASSERT_EQ(prims.size(), 1u);
    ExpectAt(prims[0].v[1], 283.5f, 300.0f, "clamped tip");
    s.bClamp = 0;
    // The relative length filter 0.5..1 leaves out a length of 0.4.
    s.bFilter = 1;
    s.fFilterMin = 0.5f;
    s.fFilterMax = 1.0f;
    EXPECT_TRUE(draw().empty());
    s.fFilterMin = 0.3f;
    EXPECT_EQ(draw().size(), 1u);
    s.bFilter = 0;
    // A reservoir source colours oil flow green.
    NKSetInterfaceType(NK_INTERFACE_RESERVOIR);
    Frame()->pVector->szDescription = "OilFlow";
    prims = draw();
    ASSERT_EQ(prims.size(), 1u);
    ExpectColour(prims[0].v[0], 0, 255, 0, "oil");
}

TEST_F(OverlaysGL, SeparateVectorFieldsScaleTheirItems)
{
    MakeModel(1, 1);
    NKSeparateVectorField *pField = NKCreateSeparateVectorField();
    pField->iNumParts = 1;
    pField->szName = "GasField";
    pField->pParts = static_cast<NKSeparateVectorPart *>(NKCalloc(1, sizeof(NKSeparateVectorPart)));
    pField->pParts[0].iCount = 2;
    pField->pParts[0].pItems =
        static_cast<NKSeparateVector *>(NKAlloc(2 * sizeof(NKSeparateVector)));
    pField->pParts[0].pItems[0] = {-1, {-0.5f, 0, 0}, {0.2f, 0, 0}};
    pField->pParts[0].pItems[1] = {-1, {0.5f, 0, 0}, {NK_UNDEFINED, 0, 0}};
    Frame()->pSeparateVectors[1] = pField;
    pField->iNumRef++;
    g_pModel->valueRanges[5].fLengthScale = 2.0f;
    NKVectorSettings settings[3];
    for (NKVectorSettings &s : settings) s.bArrows = 0;
    settings[1].uColor[1] = 0;
    auto prims = Draw([&] { NKDrawSeparateVectorFields(0, Part(), Frame(), settings); });
    ASSERT_EQ(prims.size(), 1u);
    ExpectAt(prims[0].v[0], 202.5f, 300.0f, "tail");
    ExpectAt(prims[0].v[1], 364.5f, 300.0f, "tip");
    ExpectColour(prims[0].v[0], 255, 0, 255, "the slot's colour");
    NKSetInterfaceType(NK_INTERFACE_RESERVOIR);
    prims = Draw([&] { NKDrawSeparateVectorFields(0, Part(), Frame(), settings); });
    ASSERT_EQ(prims.size(), 1u);
    ExpectColour(prims[0].v[0], 255, 0, 0, "gas");
}

TEST_F(OverlaysGL, SelectedPolygonAndNodeMarkers)
{
    MakeModel(1, 1);
    NKPart *p = Part();
    p->pNodeIDs = static_cast<int *>(NKAlloc(4 * sizeof(int)));
    for (int i = 0; i < 4; i++) p->pNodeIDs[i] = 1011 + i;
    // An index equal to the count: the trace message only.
    NKResetDiagnostics();
    EXPECT_TRUE(Draw([&] { NKDrawSelectedPolygon(1, 0, Frame()); }).empty());
    EXPECT_STREQ(NKGetLastDiagnostic(), "Could not find the selected polygon to draw.");
    EXPECT_STREQ(NKGetLastDiagnosticFunction(), "NKDrawSelectedPolygon");
    EXPECT_EQ(g_pLabelOverlay->iCount, 0);
    // The polygon in the selection colour, a label at each node.
    const uint8_t auBlue[3] = {0, 0, 255};
    std::memcpy(NKPartHighlightSettings.uSelectionColor, auBlue, 3);
    const auto prims = Draw([&] { NKDrawSelectedPolygon(0, 0, Frame()); });
    // The renderer hands the quad back as two triangles.
    ASSERT_EQ(OfKind(prims, GL_POLYGON_TOKEN).size(), prims.size());
    ASSERT_EQ(TriangleCount(prims), 2);
    for (const Primitive &t : prims) ExpectColour(t.v[0], 0, 0, 255, "selection colour");
    ASSERT_EQ(g_pLabelOverlay->iCount, 4);
    EXPECT_STREQ(g_pLabelOverlay->pItems[2].Text.GetText(), "1013");
    // The scene draws it from the pick record in feedback modes 1 and 2.
    ClearLabelOverlay(g_pLabelOverlay);
    Frame()->pGeometry->pickInfo.iPart = 0;
    Frame()->pGeometry->pickInfo.iPolygon = 0;
    for (int iMode : {0, 1, 2, 3}) {
        NKSelectionFeedbackMode = iMode;
        const bool bShown = iMode == 1 || iMode == 2;
        EXPECT_EQ(TriangleCount(Draw([&] { NKDrawSceneOverlays(Frame()); })), bShown ? 2 : 0)
            << iMode;
    }
    NKSelectionFeedbackMode = 1;
    // A marker: a red 5 x 5 square at the node and the text " <---1011".
    NKStrokeFontSwitch = 1;
    const NKNodeMarker markers[2] = {{0, 0, {255, 0, 0}, 0}, {7, 0, {0, 255, 0}, 0}};
    glDisable(GL_DEPTH_TEST);
    glClear(GL_COLOR_BUFFER_BIT);
    GLint iAttrib = 0, iAttribAfter = 0;
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &iAttrib);
    NKDrawNodeMarkers(Frame(), markers, 2);
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &iAttribAfter);
    EXPECT_EQ(iAttrib, iAttribAfter);
    GLfloat fPointSize = 0.0f;
    glGetFloatv(GL_POINT_SIZE, &fPointSize);
    EXPECT_EQ(fPointSize, 1.0f);
    std::vector<unsigned char> px(kWidth * kHeight * 4);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
    int iRed = 0, iOther = 0, xMin = kWidth, xMax = -1, yMin = kHeight, yMax = -1;
    for (int y = 0; y < kHeight; y++)
        for (int x = 0; x < kWidth; x++) {
            const unsigned char *c = &px[4 * (y * kWidth + x)];
            if (c[0] == 255 && c[1] == 0 && c[2] == 0) {
                iRed++;
                xMin = std::min(xMin, x), xMax = std::max(xMax, x);
                yMin = std::min(yMin, y), yMax = std::max(yMax, y);
            } else if (c[0] || c[1] || c[2]) {
                iOther++;
            }
        }
    EXPECT_EQ(iRed, 25);
    EXPECT_EQ(iOther, 0);
    EXPECT_EQ(xMax - xMin, 4);
    EXPECT_EQ(yMax - yMin, 4);
    EXPECT_NEAR((xMin + xMax) / 2.0, Wx(-0.5f), 1.0);
    EXPECT_NEAR((yMin + yMax) / 2.0, Wy(-0.5f), 1.0);
    const std::vector<Queued> q = QueuedTexts();
    ASSERT_EQ(q.size(), 1u);
    EXPECT_EQ(q[0].text, " <---1011");
    EXPECT_TRUE(q[0].r == 255 && q[0].g == 0 && q[0].b == 0);
}

TEST_F(OverlaysGL, NormalsFromTheCentroidOrAtEveryNode)
{
    MakeModel(1, 1);
    NKPart *p = Part();
    p->pPolygonNormals = static_cast<int8_t *>(NKCalloc(3, 1));
    p->pPolygonNormals[2] = 127;
    p->pNodeNormals = static_cast<int8_t *>(NKCalloc(12, 1));
    for (int i = 0; i < 4; i++) p->pNodeNormals[3 * i] = 127;
    p->pNodeNormals[3 * 2 + 1] = 127;  // node 2 takes the polygon's normal
    NKVectorSettings s;
    s.uColor[0] = 0;
    s.uColor[2] = 0;
    // Flat: one line from the centroid 0.05 along +z and a point there
    // (glOrtho's depth runs against z: window depth 0.5 - z / 2).
    auto prims = Draw([&] { NKDrawPartNormals(0, p, Frame(), &s); });
    auto lines = OfKind(prims, GL_LINE_TOKEN);
    auto points = OfKind(prims, GL_POINT_TOKEN);
    ASSERT_EQ(lines.size(), 1u);
    ASSERT_EQ(points.size(), 1u);
    ExpectAt(lines[0].v[0], Wx(0), Wy(0), "centroid");
    ExpectAt(lines[0].v[1], Wx(0), Wy(0), "along z");
    ExpectColour(lines[0].v[0], 0, 255, 0, "vector colour");
    // Smooth: four lines, the marked node's along the polygon normal.
    p->bSmooth = 1;
    prims = Draw([&] { NKDrawPartNormals(0, p, Frame(), &s); });
    lines = OfKind(prims, GL_LINE_TOKEN);
    EXPECT_EQ(OfKind(prims, GL_POINT_TOKEN).size(), 4u);
    ASSERT_EQ(lines.size(), 4u);
    for (int i = 0; i < 4; i++) {
        const float x = p->pNodeCoords[3 * i], y = p->pNodeCoords[3 * i + 1];
        ExpectAt(lines[i].v[0], Wx(x), Wy(y), "node");
        ExpectAt(lines[i].v[1], Wx(i == 2 ? x : x + 0.05f), Wy(y), "normal end");
    }
}

TEST_F(OverlaysGL, PartExtrasDrawMeshAndVectorsAndOnlyVectorsWithTheModelHidden)
{
    MakeModel(1, 1);
    NKPart *p = Part();
    p->bMesh = 1;
    p->bVectors = 1;
    p->pNodeCoords[0] = -0.5f;
    p->pNodeCoords[1] = 0.0f;
    const float fU = NK_UNDEFINED;
    SetVectors({-0.1f, 0, 0, fU, 0, 0, fU, 0, 0, fU, 0, 0}, "v");
    g_VectorSettings.bArrows = 0;
    struct Case {
        uint8_t bShowModel;
        int iDrawStyle;
        size_t iLines;  // mesh edges and the vector
    } cases[] = {{1, NK_DRAW_SURFACE, 5}, {0, NK_DRAW_SURFACE, 1}, {1, NK_DRAW_OUTLINE, 1}};
    for (const Case &c : cases) {
        g_pViewSettings->bShowModel = c.bShowModel;
        p->iDrawStyle = c.iDrawStyle;
        const auto lines = OfKind(Draw([&] { NKDrawPartExtras(0, p, Frame()); }), GL_LINE_TOKEN);
        ASSERT_EQ(lines.size(), c.iLines) << int(c.bShowModel) << c.iDrawStyle;
        ExpectAt(lines.back().v[1], 364.5f, 300.0f, "the vector comes last");
    }
    g_pViewSettings->bShowModel = 1;
}

TEST_F(OverlaysGL, SoundSourcesAreMarkedAtTheirNodes)
{
    MakeModel(1, 1);
    NKSelectionFeedbackMode = 0;
    NKStrokeFontSwitch = 1;
    EXPECT_TRUE(Draw([&] { NKDrawSceneOverlays(Frame()); }).empty());
    SoundSourceTable *pTable = NKCreateSoundSourceTable();
    ASSERT_NE(pTable, nullptr);
    ASSERT_EQ(pTable->Add(5, "a source", "a.wav"), 0);
    ASSERT_TRUE(pTable->SetNode(0, 0, 2));
    const auto points = OfKind(Draw([&] { NKDrawSceneOverlays(Frame()); }), GL_POINT_TOKEN);
    ASSERT_EQ(points.size(), 1u);
    ExpectAt(points[0].v[0], Wx(0.5f), Wy(0.5f), "node 2");
    const std::vector<Queued> q = QueuedTexts();
    ASSERT_EQ(q.size(), 1u);
    EXPECT_EQ(q[0].text, " <---1, 3");  // a part without node IDs: part number, index + 1
    NKFreeSoundSourceTable();
    NKSelectionFeedbackMode = 1;
}
