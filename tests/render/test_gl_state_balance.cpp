// tests/render/test_gl_state_balance.cpp -- every drawing entry leaves the
// GL state stacks as it found them: the model-view, projection and texture
// matrix stack depths, the matrix mode, and the attribute and client
// attribute stack depths. One row per entry, run on the example beam with
// its first state read and the features on that make the entry draw; each
// row also checks that the entry drew into the frame buffer, so that a row
// cannot pass by returning early. Off-screen, 320 x 240.
#include <GL/gl.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_model_hooks.h"
#include "core/nk_part_arrays.h"
#include "core/nk_render_state.h"
#include "core/nk_view_state.h"
#include "platform/nk_gl_context.h"
#include "readers/nk_data_source.h"
#include "render/nk_background.h"
#include "render/nk_camera.h"
#include "render/nk_culling.h"
#include "render/nk_element_drawing.h"
#include "render/nk_legend.h"
#include "render/nk_node_numbers.h"
#include "render/nk_overlays.h"
#include "render/nk_part_drawing.h"
#include "render/nk_part_overlays.h"
#include "render/nk_pick_display.h"
#include "render/nk_primitives.h"
#include "render/nk_scene_view.h"
#include "render/nk_text.h"
#include "render/nk_viewpoint_commands.h"
#include "scene/nk_scene.h"
#include "scene/nk_scene_frame.h"
#include "tests/render/example_view_fixture.h"
#include "tests/test_support/test_files.h"
#include "tools/nk_manipulator.h"

namespace {

constexpr int kWidth = 320, kHeight = 240;

// The state a drawing entry must leave as it found it.
struct StackState {
    GLint aiDepth[5] = {0, 0, 0, 0, 0};  // model-view, projection, texture, attrib, client
    GLint iMatrixMode = 0;
    bool operator==(const StackState &o) const
    {
        for (int i = 0; i < 5; i++)
            if (aiDepth[i] != o.aiDepth[i]) return false;
        return iMatrixMode == o.iMatrixMode;
    }
};

StackState ReadStacks(void)
{
    static const GLenum s_aeDepth[5] = {GL_MODELVIEW_STACK_DEPTH, GL_PROJECTION_STACK_DEPTH,
                                        GL_TEXTURE_STACK_DEPTH, GL_ATTRIB_STACK_DEPTH,
                                        GL_CLIENT_ATTRIB_STACK_DEPTH};
    StackState s;
    for (int i = 0; i < 5; i++) glGetIntegerv(s_aeDepth[i], &s.aiDepth[i]);
    glGetIntegerv(GL_MATRIX_MODE, &s.iMatrixMode);
    return s;
}

std::string Describe(const StackState &s)
{
    return "modelview " + std::to_string(s.aiDepth[0]) + ", projection " +
           std::to_string(s.aiDepth[1]) + ", texture " + std::to_string(s.aiDepth[2]) +
           ", attrib " + std::to_string(s.aiDepth[3]) + ", client attrib " +
           std::to_string(s.aiDepth[4]) + ", matrix mode " + std::to_string(s.iMatrixMode);
}

// The colour buffer, RGBA bytes.
std::vector<unsigned char> ReadColours(void)
{
    std::vector<unsigned char> pixels(size_t(kWidth) * kHeight * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// The example beam, state 1 read (scalar and vector), in the start view,
// with the GL matrices of that view loaded.
class StateBalanceGL : public NKExampleViewTest {
protected:
    void SetUp() override
    {
        NKRenderModelTest::SetUp();
        SetUpExampleView(kWidth, kHeight);
        ASSERT_EQ(ExecuteCommand(("open \"" + NKTestExamplePath("beam.nkf") + "\"").c_str()), 0);
        ASSERT_EQ(ExecuteCommand("readstate 1 1 1"), 0);
        ASSERT_EQ(ExecuteCommand("setview"), 0);
        NKBuildBitmapFontLists();
    }
    void TearDown() override
    {
        g_MirrorSettings.Reset();
        NKDeleteBitmapFontLists();
        NKExampleViewTest::TearDown();
    }
    // The view's matrices as the scene leaves them after a full draw.
    void LoadViewMatrices()
    {
        ASSERT_TRUE(NKRenderScene(0, 1, 0));
        glMatrixMode(GL_MODELVIEW);
    }
    NKFrame *Frame() { return &g_pModel->pFrames[0]; }
    NKPart &Part0() { return Frame()->pGeometry->pParts[0]; }
    // The polygon of part 0 that faces the line of sight (z) most squarely,
    // so that drawing it covers pixels.
    int FacingPolygon()
    {
        int iBest = -1;
        float fBest = -1.0f;
        for (int k = 0; k < Part0().iNumPolygons; k++) {
            const int *piNodes = nullptr;
            int n = 0;
            if (!NKGetValidPolygon(Part0(), k, &piNodes, &n) || n < 3) continue;
            const float *a = Part0().pNodeCoords + 3 * piNodes[0];
            const float *b = Part0().pNodeCoords + 3 * piNodes[1];
            const float *c = Part0().pNodeCoords + 3 * piNodes[2];
            const float fZ =
                std::fabs((b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]));
            if (fZ > fBest) {
                fBest = fZ;
                iBest = k;
            }
        }
        return iBest;
    }
};

struct EntryRow {
    const char *pszName;
    std::function<void(NKFrame *, NKPart *)> draw;
};

// A fresh handle of kind M, drawn where it starts.
template <class M>
void DrawHandle(NKFrame *, NKPart *)
{
    M handle("handle");
    handle.Draw();
}

TEST_F(StateBalanceGL, EveryDrawingEntryLeavesTheStacksAsItFoundThem)
{
    LoadViewMatrices();
    NKPickInfo pick;
    pick.iFrame = 0;
    pick.iPart = 0;
    pick.iPolygon = FacingPolygon();
    ASSERT_GE(pick.iPolygon, 0);
    pick.iElement = 0;
    pick.iNode = 0;
    NKPickInfo *apPicks[1] = {&pick};
    const int aiIndices[1] = {0};
    const NKNodeNumberRange range;
    const NKNodeMarker marker = {0, 0, {255, 255, 255}, 0};
    NKBackgroundSettings gradient;
    gradient.iMode = 1;
    for (auto &c : gradient.ucColors) c[0] = c[1] = c[2] = 200;
    const int aiParts[1] = {0};
    NKVectorSettings vectors;
    vectors.uColor[0] = 200;
    g_pModel->valueRanges[2].from = 1.0f;
    const EntryRow rows[] = {
        {"NKRenderHidePolys",
         [](NKFrame *f, NKPart *) {
             NKInitHidePolys(&g_HiddenPartCuller);
             NKRenderHidePolys(f);
             NKFreeHidePolysBuffer(&g_HiddenPartCuller);
         }},
        {"NKDrawNodeNumbers", [&](NKFrame *f, NKPart *p) { NKDrawNodeNumbers(f, p, 0, &range); }},
        {"NKDrawPartVectors",
         [&](NKFrame *f, NKPart *p) {
             // The beam bends along the line of sight: turned, its vectors show.
             glRotatef(60.0f, 1.0f, 0.0f, 0.0f);
             NKDrawPartVectors(0, p, f, &vectors);
         }},
        {"NKDrawPartNormals",
         [](NKFrame *f, NKPart *p) { NKDrawPartNormals(0, p, f, &g_VectorSettings); }},
        {"NKDrawPartEdges", [](NKFrame *f, NKPart *p) { NKDrawPartEdges(0, p, f, false, false); }},
        {"NKDrawUndeformedShape", [](NKFrame *f, NKPart *p) { NKDrawUndeformedShape(p, f); }},
        {"NKDrawSelectedPolygon",
         [&](NKFrame *f, NKPart *) { NKDrawSelectedPolygon(pick.iPolygon, 0, f); }},
        {"NKDrawNodeMarkers", [&](NKFrame *f, NKPart *) { NKDrawNodeMarkers(f, &marker, 1); }},
        {"NKDrawPickedElements",
         [&](NKFrame *, NKPart *) { NKDrawPickedElements(0, 0, apPicks, aiIndices, 1, true); }},
        {"NKDrawPickedPolygons",
         [&](NKFrame *, NKPart *) { NKDrawPickedPolygons(0, 0, apPicks, aiIndices, 1); }},
        {"NKDrawPickedNodes",
         [&](NKFrame *, NKPart *) { NKDrawPickedNodes(0, 0, apPicks, aiIndices, 1); }},
        {"NKDrawModelPass",
         [&](NKFrame *f, NKPart *p) {
             p->material.alpha = 128;
             p->bTransparent = 1;
             NKDrawModelPass(aiParts, 1, f, true, nullptr);
             p->material.alpha = 255;
             p->bTransparent = 0;
         }},
        {"NKDrawBackground", [&](NKFrame *, NKPart *) { NKDrawBackground(&gradient, nullptr); }},
        {"NKDrawBoundingBox", [](NKFrame *f, NKPart *) { NKDrawBoundingBox(f, false); }},
        {"NKDrawAxisTriad", [](NKFrame *, NKPart *) { NKDrawAxisTriad(); }},
        {"NKDrawColorLegend", [](NKFrame *f, NKPart *) { NKDrawColorLegend(f); }},
        {"NKRenderScene mirrored",
         [](NKFrame *, NKPart *) {
             g_MirrorSettings.SetDrawingEnabled(true);
             g_MirrorSettings.iRepeats = 1;
             NKRenderScene(0, 1, 0);
             g_MirrorSettings.Reset();
         }},
        {"NKDrawPart", [](NKFrame *f, NKPart *) { NKDrawPart(0, f, nullptr, 1, false); }},
        {"NKDrawPartSimple", [](NKFrame *f, NKPart *) { NKDrawPartSimple(0, f, nullptr); }},
        {"NKDrawElementShape", [](NKFrame *f, NKPart *p) { NKDrawElementShape(f, p, 0, 0, true); }},
        {"NKDrawPickedPartBox", [](NKFrame *, NKPart *) { NKDrawPickedPartBox(0, 0); }},
        {"NKDrawPickedPoints",
         [&](NKFrame *, NKPart *) { NKDrawPickedPoints(0, 0, apPicks, aiIndices, 1); }},
        {"NKDrawOriginAxes", [](NKFrame *, NKPart *) { NKDrawOriginAxes(); }},
        {"NKDrawTitleBlock", [](NKFrame *f, NKPart *) { NKDrawTitleBlock(f, false); }},
        {"NKDrawScreenOverlays", [](NKFrame *f, NKPart *) { NKDrawScreenOverlays(f, 0); }},
        {"NKDrawStereoAlignmentPattern",
         [](NKFrame *, NKPart *) { NKDrawStereoAlignmentPattern(); }},
        {"NKDrawArrowHead",
         [](NKFrame *, NKPart *) {
             const float afTail[3] = {-0.4f, 0, 0}, afTip[3] = {0.4f, 0, 0};
             NKDrawArrowHead(afTail, afTip, 1.0f);
         }},
        {"NKDrawBox",
         [](NKFrame *, NKPart *) {
             const float afBox[6] = {-0.3f, -0.1f, -0.1f, 0.3f, 0.1f, 0.1f};
             NKDrawBox(afBox, true, 1.0f);
         }},
        {"NKDrawSphereGlyph", [](NKFrame *, NKPart *) { NKDrawSphereGlyph(0.2f, 10, true); }},
        {"NKDrawPlaneSymbol",
         [](NKFrame *, NKPart *) {
             const float afCenter[3] = {0, 0, 0}, afNormal[3] = {0, 0, 1}, afDir[3] = {1, 0, 0};
             const float afColor[4] = {1, 1, 0, 1};
             NKDrawPlaneSymbol(afCenter, afNormal, afDir, 0.5f, 0.5f, true, 1.0f, afColor, true);
         }},
        {"NKDrawCylinderBetweenPoints",
         [](NKFrame *, NKPart *) {
             const float afP0[3] = {-0.3f, 0, 0}, afP1[3] = {0.3f, 0, 0};
             NKDrawCylinderBetweenPoints(afP0, afP1, 0.1f, true, 12, 1.0f, nullptr, nullptr,
                                         NK_CAP_DISK, NK_CAP_SPHERE);
         }},
        {"NKDrawTextAt",
         [](NKFrame *, NKPart *) {
             NKBitmapFont *pFont = NKCreateBitmapFont("Helvetica", 24, 0);
             glColor3f(1, 1, 1);
             NKDrawTextAt(-0.5f, 0.0f, pFont, "Quolin");
             NKDeleteBitmapFont(pFont);
         }},
        {"PlaneManipulator::Draw", DrawHandle<PlaneManipulator>},
        {"SliderManipulator::Draw", DrawHandle<SliderManipulator>},
        {"GridBoxManipulator::Draw", DrawHandle<GridBoxManipulator>},
        {"BoxManipulator::Draw", DrawHandle<BoxManipulator>},
        {"RulerManipulator::Draw", DrawHandle<RulerManipulator>},
    };
    for (const EntryRow &row : rows) {
        SCOPED_TRACE(row.pszName);
        LoadViewMatrices();
        glDisable(GL_CULL_FACE);  // the picked polygon may face away
        // A clear colour no entry draws in, so that black and white lines show.
        glClearColor(0.25f, 0.5f, 0.75f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        const std::vector<unsigned char> cleared = ReadColours();
        const StackState before = ReadStacks();
        row.draw(Frame(), &Part0());
        const StackState after = ReadStacks();
        EXPECT_TRUE(before == after)
            << "before: " << Describe(before) << "\nafter:  " << Describe(after);
        EXPECT_NE(ReadColours(), cleared) << "nothing drawn";
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
}

// Building a bitmap font compiles its character lists under a saved pixel
// store; the client attribute stack and the pixel store come back.
TEST_F(StateBalanceGL, FontListsLeaveThePixelStoreAsItWas)
{
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 7);
    const StackState before = ReadStacks();
    NKBitmapFont *pFont = NKCreateBitmapFont("Helvetica", 12, 0);
    ASSERT_NE(pFont, nullptr);
    const StackState after = ReadStacks();
    EXPECT_TRUE(before == after) << "before: " << Describe(before)
                                 << "\nafter:  " << Describe(after);
    GLint iAlignment = 0, iRowLength = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &iAlignment);
    glGetIntegerv(GL_UNPACK_ROW_LENGTH, &iRowLength);
    EXPECT_EQ(iAlignment, 1);
    EXPECT_EQ(iRowLength, 7);
    NKDeleteBitmapFont(pFont);
}

}  // namespace
