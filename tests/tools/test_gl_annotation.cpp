// tests/tools/test_gl_annotation.cpp -- what the annotations put on screen:
// the label items of the user labels on the unit hexahedron (the overlay
// reads the model-view matrix, so a context is needed), and the overlay
// pass of lines, cylinders, primitives and user drawing leaving GL as it
// found it.
#include <GL/gl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/nk_bbox.h"
#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "platform/nk_gl_context.h"
#include "render/nk_label_overlay.h"
#include "scene/nk_scene_extras.h"
#include "tests/tools/annotation_fixture.h"
#include "tools/nk_line_sets.h"
#include "tools/nk_user_labels.h"

namespace {

class AnnotationGL : public AnnotationTest {
protected:
    void SetUp() override
    {
        AnnotationTest::SetUp();
        m_pContext = NKCreateOffscreenGLContext(200, 200);
        ASSERT_NE(m_pContext, nullptr);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        g_pLabelOverlay = CreateLabelOverlay();
        OpenHex();
    }
    void TearDown() override
    {
        DestroyLabelOverlay(g_pLabelOverlay);
        g_pLabelOverlay = nullptr;
        if (m_pContext != nullptr) NKDestroyGLContext(m_pContext);
        AnnotationTest::TearDown();
    }
    // The texts of the items the labels give for the current frame, and
    // their anchors in model coordinates (the model-view is the identity).
    std::vector<std::string> Items(std::vector<std::vector<float>> *pAnchors = nullptr)
    {
        ClearLabelOverlay(g_pLabelOverlay);
        g_pUserPrimitives->DrawAll(NKGetCurrentFrame(), g_pViewSettings, g_pLabelOverlay);
        std::vector<std::string> texts;
        for (int i = 0; i < g_pLabelOverlay->iCount; i++) {
            const LabelItem &it = g_pLabelOverlay->pItems[i];
            texts.push_back(it.Text.GetText());
            float p[3] = {it.fAnchor[0], it.fAnchor[1], it.fAnchor[2]};
            DisplayToModel(p);
            if (pAnchors != nullptr) pAnchors->push_back({p[0], p[1], p[2]});
        }
        return texts;
    }
    NKGLContext *m_pContext = nullptr;
};

TEST_F(AnnotationGL, NodeLabelShowsValueCoordinatesAndIdentity)
{
    ASSERT_EQ(Run("label add"), 0);
    ASSERT_EQ(Run("label node 1,7"), 0);
    EXPECT_EQ(Items(), std::vector<std::string>{"Scl: 1"});
    ASSERT_EQ(Run("labeltype coord"), 0);
    EXPECT_EQ(Items(), std::vector<std::string>{"[1, 1, 1]"});
    ASSERT_EQ(Run("labeltype info"), 0);
    EXPECT_EQ(Items(), std::vector<std::string>{"1,7"});  // no node IDs in the file
    ASSERT_EQ(Run("labeltype text"), 0);
    EXPECT_EQ(Items(), std::vector<std::string>{"<none>"});
    ASSERT_EQ(Run("label 2dpos 0.5 0.5"), 0);  // a 2-D label shows its own text
    ASSERT_EQ(Run("labeltype scalar"), 0);
    ASSERT_EQ(Run("label text a\\nb"), 0);
    EXPECT_EQ(Items(), std::vector<std::string>{"a\nb"});
}

TEST_F(AnnotationGL, ElementLabelShowsOneItemPerFaceAtItsCentre)
{
    ASSERT_EQ(Run("label add"), 0);
    ASSERT_EQ(Run("label element 1"), 0);
    ASSERT_EQ(Run("labeltype info"), 0);
    std::vector<std::vector<float>> anchors;
    std::vector<std::string> texts = Items(&anchors);
    EXPECT_EQ(texts, std::vector<std::string>(6, "elemID: 1"));
    std::vector<std::vector<float>> want = {{0.5f, 0.5f, 0}, {0.5f, 0.5f, 1}, {0.5f, 0, 0.5f},
                                            {0.5f, 1, 0.5f}, {0, 0.5f, 0.5f}, {1, 0.5f, 0.5f}};
    for (const auto &w : want) {
        bool bFound = std::any_of(anchors.begin(), anchors.end(), [&](const std::vector<float> &a) {
            return std::abs(a[0] - w[0]) < 1e-5f && std::abs(a[1] - w[1]) < 1e-5f &&
                   std::abs(a[2] - w[2]) < 1e-5f;
        });
        EXPECT_TRUE(bFound) << w[0] << " " << w[1] << " " << w[2];
    }
    ASSERT_EQ(Run("labeltype scalar"), 0);  // node values only: per node
    EXPECT_EQ(Items().size(), 24u);
}

TEST_F(AnnotationGL, OverlayPassLeavesTheStacksAsItFoundThem)
{
    g_pGraphicsSettings = NKCreateRenderOptions(nullptr);
    NKTestWriteText("raw.txt", "0 0 0\n1 0 0\n1 1 0\n1 1 1\n");
    for (const char *pszLine :
         {"readlines raw.txt", "draw_line 0 0 0 1 1 1 255 0 0", "primitive sphere 0 0 0 1 9 9 9",
          "partprimitive cylinder 1 0 0 0 1 1 1 0.1 9 9 9", "draw_point 0 0 0", "label add",
          "label node 1,1", "drawline pickable"})
        ASSERT_EQ(Run(pszLine), 0) << pszLine;
    const float o[3] = {0.5f, 0, 5}, d[3] = {0, 0, -1};
    float t;
    g_pLineSetList->Pick(o, d, &t);
    g_pLineSetList->m_bShowPicked = 1;
    for (bool bCylinders : {false, true}) {
        g_pLineSetList->m_bCylinders = bCylinders ? 1 : 0;
        GLint iModel0, iAttrib0, iModel1, iAttrib1;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &iModel0);
        glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &iAttrib0);
        NKDrawCopyOverlays(NKGetCurrentFrame());
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &iModel1);
        glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &iAttrib1);
        EXPECT_EQ(iModel0, iModel1);
        EXPECT_EQ(iAttrib0, iAttrib1);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
    EXPECT_GT(g_pLabelOverlay->iCount, 0);
    NKDestroyRenderOptions(g_pGraphicsSettings);
    g_pGraphicsSettings = nullptr;
}

}  // namespace
