// tests/render/test_gl_primitives.cpp -- the drawing primitives read back
// through GL feedback: with identity matrices and a 2 x 2 viewport a
// feedback vertex is the point + 1 (depth (z + 1) / 2). Rulers, labelled
// arrows and boundary-condition texts are checked in the label overlay and
// the text queue they fill.
#include <GL/gl.h>

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/nk_model.h"
#include "core/nk_oriented_box.h"
#include "core/nk_render_state.h"
#include "core/nk_view_state.h"
#include "platform/nk_gl_context.h"
#include "readers/nk_boundary_conditions.h"
#include "render/nk_camera.h"
#include "render/nk_label_overlay.h"
#include "render/nk_primitives.h"
#include "render/nk_text_list.h"

namespace {

struct Vertex {
    float x, y, z;
};
// One feedback primitive: GL_POINT_TOKEN, GL_LINE_TOKEN or GL_POLYGON_TOKEN.
struct Primitive {
    int iToken;
    std::vector<Vertex> vertices;
};

template <typename Draw>
std::vector<Primitive> Feedback(Draw draw)
{
    std::vector<GLfloat> buffer(1 << 16);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint n = glRenderMode(GL_RENDER);
    std::vector<Primitive> out;
    for (GLint i = 0; i < n;) {
        const int iToken = static_cast<int>(buffer[i++]);
        int iCount = 1;
        if (iToken == GL_POLYGON_TOKEN) iCount = static_cast<int>(buffer[i++]);
        if (iToken == GL_LINE_TOKEN || iToken == GL_LINE_RESET_TOKEN) iCount = 2;
        if (iToken == GL_PASS_THROUGH_TOKEN || iToken == GL_BITMAP_TOKEN ||
            iToken == GL_DRAW_PIXEL_TOKEN || iToken == GL_COPY_PIXEL_TOKEN) {
            i += 3 * (iToken != GL_PASS_THROUGH_TOKEN) + (iToken == GL_PASS_THROUGH_TOKEN);
            continue;
        }
        Primitive p{iToken == GL_LINE_RESET_TOKEN ? GL_LINE_TOKEN : iToken, {}};
        for (int k = 0; k < iCount; k++, i += 3)
            p.vertices.push_back(
                {buffer[i] - 1.0f, buffer[i + 1] - 1.0f, buffer[i + 2] * 2 - 1.0f});
        out.push_back(p);
    }
    return out;
}

// Polygons counted as the triangles they would split into.
int TriangleCount(const std::vector<Primitive> &prims)
{
    int n = 0;
    for (const Primitive &p : prims)
        if (p.iToken == GL_POLYGON_TOKEN) n += static_cast<int>(p.vertices.size()) - 2;
    return n;
}

class PrimitivesGL : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_pContext = NKCreateOffscreenGLContext(64, 64);
        ASSERT_NE(m_pContext, nullptr);
        glViewport(0, 0, 2, 2);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        g_pModel = NKCreateModel();
        g_pModel->fGeoScale = 1.0f;
        g_pLabelOverlay = CreateLabelOverlay();
    }
    void TearDown() override
    {
        DestroyLabelOverlay(g_pLabelOverlay);
        g_pLabelOverlay = nullptr;
        NKDestroyModel(g_pModel);
        g_pModel = nullptr;
        g_BoundaryConditions.clear();
        NKStrokeFontSwitch = 0;
        g_bBoundaryText = 0;
        NKFreeTextList();
        NKDestroyGLContext(m_pContext);
    }
    NKGLContext *m_pContext = nullptr;
};

TEST_F(PrimitivesGL, ArrowHeadIsTwoCrossedTriangles)
{
    const float tail[3] = {0, 0, 0}, tip[3] = {1, 0, 0};
    const auto prims = Feedback([&] { NKDrawArrowHead(tail, tip, 1.0f); });
    const Vertex expected[2][3] = {{{1, 0, 0}, {0.8f, 0.05f, 0}, {0.8f, -0.05f, 0}},
                                   {{1, 0, 0}, {0.8f, 0, 0.05f}, {0.8f, 0, -0.05f}}};
    ASSERT_EQ(prims.size(), 2u);
    for (int t = 0; t < 2; t++) {
        ASSERT_EQ(prims[t].vertices.size(), 3u);
        for (int k = 0; k < 3; k++) {
            EXPECT_NEAR(prims[t].vertices[k].x, expected[t][k].x, 1e-5) << t << k;
            EXPECT_NEAR(prims[t].vertices[k].y, expected[t][k].y, 1e-5) << t << k;
            EXPECT_NEAR(prims[t].vertices[k].z, expected[t][k].z, 1e-5) << t << k;
        }
    }
    const float near[3] = {5e-6f, 0, 0};
    EXPECT_TRUE(Feedback([&] { NKDrawArrowHead(tail, near, 1.0f); }).empty());
}

TEST_F(PrimitivesGL, SphereGlyphsCylindersAndPoints)
{
    struct Case {
        int iResolution;
        int iTriangles;  // -1: more than the three squares
    } const cases[] = {{5, 6}, {6, -1}};
    for (const Case &c : cases) {
        const auto prims = Feedback([&] { NKDrawSphereGlyph(0.5f, c.iResolution, true); });
        if (c.iTriangles >= 0)
            EXPECT_EQ(TriangleCount(prims), c.iTriangles);
        else
            EXPECT_GT(TriangleCount(prims), 6);
    }
    const float p0[3] = {0, 0, 0}, p1[3] = {0, 0, -1};
    const auto wall = Feedback([&] {
        NKDrawCylinderBetweenPoints(p0, p1, 0.5f, false, -1, 1.0f, nullptr, nullptr, 0, 0);
    });
    EXPECT_EQ(TriangleCount(wall), 20);  // 10 facets of two triangles
    for (const Primitive &p : wall)
        for (const Vertex &v : p.vertices) EXPECT_LE(v.z, 1e-5f);  // turned onto -z

    EXPECT_EQ(NKSphereResolutionForSize(0.0009f, 1.0f), 0);
    EXPECT_EQ(NKSphereResolutionForSize(0.005f, 0.5f), 6);
    EXPECT_EQ(NKSphereResolutionForSize(0.7f, 1.0f), 30);
    float eye[3];
    ASSERT_TRUE(NKGetEyePoint(eye));
    const float origin[3] = {0, 0, 0};
    const float r = 0.0009f * std::sqrt(eye[0] * eye[0] + eye[1] * eye[1] + eye[2] * eye[2]) *
                    g_fFieldOfViewFactor;
    const auto points =
        Feedback([&] { NKDrawSpherePoints(origin, 1, r, true, -1, 1.0f, nullptr); });
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].iToken, GL_POINT_TOKEN);
}

TEST_F(PrimitivesGL, BoxesQuadListsAndGridPoints)
{
    const float box[6] = {-0.5f, -0.5f, -0.5f, 0.5f, 0.5f, 0.5f};
    EXPECT_EQ(TriangleCount(Feedback([&] { NKDrawBox(box, true, 1.0f); })), 12);
    EXPECT_EQ(Feedback([&] { NKDrawBox(box, false, 1.0f); }).size(), 12u);  // 12 edges
    NKOrientedBox obox;
    obox.SetFromBox(box);
    EXPECT_EQ(Feedback([&] { NKDrawGridPoints(&obox, 2, 3, 4); }).size(), 24u);
    EXPECT_TRUE(Feedback([&] { NKDrawGridPoints(&obox, 2, 0, 4); }).empty());
    const float coords[] = {0, 0, 0, 0.5f, 0, 0, 0.5f, 0.5f, 0, 0, 0.5f, 0};
    const int quads[] = {0, 1, 2, 3, 3, 2, 1, 0};
    const auto q =
        Feedback([&] { NKDrawQuadList(coords, quads, 2, nullptr, 4, nullptr, nullptr, 1); });
    EXPECT_EQ(TriangleCount(q), 4);
}

TEST_F(PrimitivesGL, RulerLabelsNiceStepsOfModelLength)
{
    const float start[3] = {0, 0, 0}, end[3] = {7, 0, 0};
    ASSERT_TRUE(NKDrawRuler(start, end, 3, 0.0f));
    ASSERT_EQ(g_pLabelOverlay->iCount, 2);
    const char *apszValues[2] = {"0", "5"};
    for (int i = 0; i < 2; i++) {
        const LabelItem &item = g_pLabelOverlay->pItems[i];
        EXPECT_STREQ(item.Text.GetText(), apszValues[i]);
        EXPECT_EQ(item.iMarkerSize, 3);
        EXPECT_EQ(item.bFramed, 0);
    }
    EXPECT_FLOAT_EQ(g_pLabelOverlay->pItems[1].fAnchor[0], 5.0f);
    EXPECT_EQ(g_pLabelOverlay->iOwnerId, NK_LABEL_OWNER_RULER);
    EXPECT_FALSE(NKDrawRuler(start, start, 3, 0.0f));
    EXPECT_FALSE(NKDrawRuler(start, end, 0, 0.0f));
    EXPECT_EQ(g_pLabelOverlay->iCount, 2);
}

TEST_F(PrimitivesGL, LabelledArrowLabelsItsTip)
{
    const float point[3] = {0, 0, 0}, dir[3] = {0, 1, 0}, colour[3] = {1, 0, 0};
    const auto prims = Feedback([&] {
        NKDrawLabelledArrow(point, dir, 0.5f, true, 1.0f, false, true, false, "F", colour);
    });
    EXPECT_EQ(prims.size(), 3u);  // the shaft and two head triangles
    ASSERT_EQ(g_pLabelOverlay->iCount, 1);
    const LabelItem &item = g_pLabelOverlay->pItems[0];
    EXPECT_STREQ(item.Text.GetText(), "F");
    EXPECT_FLOAT_EQ(item.fAnchor[1], 0.5f);
    EXPECT_EQ(item.bMarker, 0);
    EXPECT_EQ(g_pLabelOverlay->iOwnerId, NK_LABEL_OWNER_ARROW);
}

TEST_F(PrimitivesGL, BoundaryTextsFollowKindAndLoadCase)
{
    ASSERT_TRUE(NKInitStrokeFont());
    NKStrokeFontSwitch = 1;
    g_bBoundaryText = 1;
    g_bShowBoundaryConditions[0] = 1;
    NKBoundaryCondition bc;
    bc.iKind = 1;
    const int aiFlags[6] = {1, 0, 1, 0, 0, 1};
    for (int k = 0; k < 6; k++) bc.iFlags[k] = aiFlags[k];
    g_BoundaryConditions.push_back(bc);
    NKDrawBoundaryConditions();
    ASSERT_NE(g_pTextListHead, nullptr);
    ASSERT_NE(g_pTextListHead->pNext, nullptr);
    EXPECT_STREQ(g_pTextListHead->pNext->Text.GetText(), "136");
    EXPECT_EQ(g_pTextListHead->pNext->pNext, nullptr);

    NKFreeTextList();
    g_BoundaryConditions[0].iLoadCase = 2;  // case 1 is current
    const auto prims = Feedback([] { NKDrawBoundaryConditions(); });
    EXPECT_TRUE(prims.empty());
    EXPECT_EQ(g_pTextListHead, nullptr);

    // A force of 3 along x: its arrow and the magnitude at the tail.
    g_bShowBoundaryConditions[1] = 1;
    NKBoundaryCondition force;
    force.iKind = 2;
    force.fValues[0] = 3.0f;
    g_BoundaryConditions.push_back(force);
    EXPECT_FALSE(Feedback([] { NKDrawBoundaryConditions(); }).empty());
    ASSERT_NE(g_pTextListHead, nullptr);
    ASSERT_NE(g_pTextListHead->pNext, nullptr);
    EXPECT_STREQ(g_pTextListHead->pNext->Text.GetText(), "3");
}

}  // namespace
