// tests/render/test_gl_vector_commands.cpp -- the vector and displacement
// commands through the interpreter: arrow ends in GL feedback (an
// off-screen 810 x 600 view under glOrtho(-1, 1, -1, 1, -1, 1), identity
// modelview and display transform, so x maps to (x + 1) x 405), the
// messages and refusals, transformation scaling, and on the example beam
// (display box -0.5..0.5 along x) automatic scaling, node traces, the
// frozen node and the filter box; last the drawing of trace curves.
#include <GL/gl.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_export_items.h"
#include "core/nk_frames.h"
#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_oriented_box.h"
#include "core/nk_render_state.h"
#include "core/nk_transform_tables.h"
#include "platform/nk_gl_context.h"
#include "readers/nk_animation_setup.h"
#include "readers/nk_data_source.h"
#include "render/nk_fringe_texture.h"
#include "render/nk_node_traces.h"
#include "render/nk_part_drawing.h"
#include "render/nk_part_overlays.h"
#include "render/nk_result_scaling.h"
#include "render/nk_vector_commands.h"
#include "render/nk_view_settings.h"
#include "tests/render/render_fixture.h"
#include "tests/test_support/gl_feedback.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

namespace {

constexpr int kWidth = 810, kHeight = 600;

using Point = NKFeedbackVertex;
using Primitive = NKFeedbackPrimitive;

std::vector<Primitive> Feedback(const std::function<void()> &draw)
{
    return NKCaptureFeedback(draw);
}

}  // namespace

class VectorCommandsGL : public NKRenderModelTest {
protected:
    void SetUp() override
    {
        NKRenderModelTest::SetUp();
        m_pContext = NKOpenOrthoTestContext(kWidth, kHeight);
        ASSERT_NE(m_pContext, nullptr);
        m_SavedHooks = NKGetModelHooks();
        NKInstallDataSources();
        NKRegisterFileCommands();
        NKRegisterVectorCommands();
        g_pModel->fGeoScale = 1.0f;
        for (float &f : g_afMeshOffset) f = 0.0f;
    }
    void TearDown() override
    {
        NKSetCommandHandler(NK_HANDLER_VECTORS, nullptr);
        NKFree(g_pTraceNodes);
        g_pTraceNodes = nullptr;
        g_iNumTraceNodes = 0;
        NKFreeNodeTraces();
        g_TransformationTable.Clear();
        NKSetTransformationScale(1.0f);
        g_bVectorBoxFilter = 0;
        g_pVectorFilterBox = nullptr;
        g_VectorSettings = NKVectorSettings();
        for (NKVectorSettings &s : g_SeparateVectorSettings) s = NKVectorSettings();
        NKCloseInterface();
        NKFreeModelFrames(g_pModel);
        NKSetModelHooks(m_SavedHooks);
        if (m_pContext != nullptr) NKDestroyGLContext(m_pContext);
        NKRenderModelTest::TearDown();
    }
    static int Run(const std::string &line) { return ExecuteCommand(line.c_str()); }
    // Five nodes (-0.5, y, 0), y = -0.4 .. 0.4, with vectors (0.1, 0, 0) to
    // (0.5, 0, 0) in one frame.
    void MakeLine(void)
    {
        NKGeometry *pGeo = NKCreateGeometry(1);
        NKPart &part = pGeo->pParts[0];
        part.iNumNodes = 5;
        part.pNodeCoords = static_cast<float *>(NKAlloc(15 * sizeof(float)));
        part.pNodeType = static_cast<uint8_t *>(NKAlloc(5));
        std::memset(part.pNodeType, 1, 5);
        part.bVisible = 1;
        NKVectorResult *pRes = NKCreateVectorResult();
        pRes->iNumParts = 1;
        pRes->pResults = static_cast<NKVectorPartEntry *>(NKCalloc(1, sizeof(NKVectorPartEntry)));
        pRes->pResults[0].iNumNodes = 5;
        pRes->pResults[0].pNodeValues = static_cast<float *>(NKAlloc(15 * sizeof(float)));
        pRes->fMaxDisplayLength = 0.5f;
        for (int i = 0; i < 5; i++) {
            const float y = -0.4f + 0.2f * i;
            const float afNode[3] = {-0.5f, y, 0.0f}, afTip[3] = {-0.5f + 0.1f * (i + 1), y, 0.0f};
            std::memcpy(part.pNodeCoords + 3 * i, afNode, sizeof(afNode));
            std::memcpy(pRes->pResults[0].pNodeValues + 3 * i, afTip, sizeof(afTip));
        }
        const float afBox[6] = {-0.5f, -0.4f, 0.0f, -0.5f, 0.4f, 0.0f};
        std::memcpy(pGeo->fBoundingBox, afBox, sizeof(afBox));
        g_pModel->pFrames = NKAllocFrameArray(1);
        g_pModel->iNumFrames = 1;
        g_pModel->pFrames[0].pGeometry = pGeo;
        pGeo->iNumRef++;
        g_pModel->pFrames[0].pVector = pRes;
        pRes->iNumRef++;
    }
    // The window x of each arrow's tip, in node order.
    std::vector<float> Tips(void)
    {
        NKFrame *pFrame = &g_pModel->pFrames[0];
        NKPart *pPart = &pFrame->pGeometry->pParts[0];
        std::vector<float> out;
        for (const Primitive &p : Feedback([&] { NKDrawPartExtras(0, pPart, pFrame); }))
            if (p.iToken == GL_LINE_TOKEN) {
                EXPECT_NEAR(p.v[0].x, 202.5f, 0.01f) << "tail";
                out.push_back(p.v[1].x);
            }
        return out;
    }
    static void ExpectTips(const std::vector<float> &tips, const std::vector<float> &expected,
                           const char *pszWhen)
    {
        ASSERT_EQ(tips.size(), expected.size()) << pszWhen;
        for (size_t i = 0; i < tips.size(); i++)
            EXPECT_NEAR(tips[i], expected[i], 0.01f) << pszWhen;
    }
    bool Said(const std::string &line, int iLevel = NK_MSG_INFO) const
    {
        return m_Capture.HasLine(line, iLevel);
    }

    NKGLContext *m_pContext = nullptr;
    NKModelHooks m_SavedHooks;
    MessageCapture m_Capture;
};

TEST_F(VectorCommandsGL, ScalingClampingAndFilteringMoveTheArrowEnds)
{
    MakeLine();
    g_pModel->valueRanges[2].from = g_pModel->valueRanges[2].to = 1.0f;
    ASSERT_EQ(Run("noarrows"), 0);
    ASSERT_EQ(Run("vectors"), 0);
    EXPECT_TRUE(Said("Turn on drawing of vectors for part 1 to part 1"));
    const std::vector<float> data = {243.0f, 283.5f, 324.0f, 364.5f, 405.0f};
    ExpectTips(Tips(), data, "data values");

    ASSERT_EQ(Run("scaledisplacements 2"), 0);
    EXPECT_TRUE(Said("Scale displacement by 2 from part 1 to part 1"));
    const std::vector<float> doubled = {283.5f, 364.5f, 445.5f, 526.5f, 607.5f};
    ExpectTips(Tips(), doubled, "doubled");
    m_Capture.Clear();
    ASSERT_EQ(Run("scaledisplacements 2"), 0);
    EXPECT_TRUE(Said("A scaling factor of 2 has already been set, nothing to do."));
    ExpectTips(Tips(), doubled, "the same factor again");

    ASSERT_EQ(Run("vectors clamp 0 0.5"), 0);
    EXPECT_TRUE(Said("Setting vector clamping to <0> - <0.5>."));
    ExpectTips(Tips(), {283.5f, 364.5f, 405.0f, 405.0f, 405.0f}, "clamped");
    ASSERT_EQ(Run("vectors noclamp"), 0);
    ASSERT_EQ(Run("vectors filter 0.25 0.45"), 0);
    ExpectTips(Tips(), {445.5f, 526.5f}, "filtered to the data lengths 0.3 and 0.4");
    ASSERT_EQ(Run("vectors nofilter"), 0);

    ASSERT_EQ(Run("scaledisplacements 1"), 0);
    ExpectTips(Tips(), data, "back to the data values");

    // Extent 0.8 x 0.5 / largest vector 0.5.
    m_Capture.Clear();
    ASSERT_EQ(Run("ascalevectors 0.5"), 0);
    EXPECT_TRUE(Said("Vector auto scale factor set to 0.5 of max model extent."));
    EXPECT_TRUE(Said("Scale displacement by 0.8 from part 1 to part 1")) << m_Capture.Text();
    EXPECT_TRUE(g_VectorSettings.bAutoScale);

    // The box keeps the tails at y -0.2, 0 and 0.2 only while it filters.
    NKOrientedBox box;
    const float afMin[3] = {-0.6f, -0.25f, -0.1f}, afMax[3] = {-0.4f, 0.25f, 0.1f};
    box.SetFromMinMax(afMin, afMax);
    g_pVectorFilterBox = &box;
    ASSERT_EQ(Run("scaledisplacements 1"), 0);
    ASSERT_EQ(Run("vectors boxfilter"), 0);
    EXPECT_TRUE(Said("Vector filtering using box enabled."));
    ExpectTips(Tips(), {283.5f, 324.0f, 364.5f}, "inside the box");
    ASSERT_EQ(Run("vectors noboxfilter"), 0);
    EXPECT_TRUE(Said("Vector filtering using box disabled."));
    ExpectTips(Tips(), data, "box filtering off");
    ASSERT_EQ(Run("novectors"), 0);
    EXPECT_TRUE(Tips().empty());
}

TEST_F(VectorCommandsGL, SettingsMessagesAndRefusals)
{
    MakeLine();
    struct Case {
        const char *pszLine;
        int iResult;
        const char *pszMessage;
        int iLevel;
    } cases[] = {
        {"scaledisplacements 0", 1,
         "scaledisplacements: Scaling displacements with factor 0 is not legal.", NK_MSG_ERROR},
        {"scaledisplacements 2 1 1 3", 1, "scaledisplacements: Illegal field specified",
         NK_MSG_ERROR},
        {"ascalevectors 0", 1,
         "ascalevectors: Illegal auto scale factor for vectors (must be larger than 0.0)",
         NK_MSG_ERROR},
        {"arrowsize 11", 1, "arrowsize: Illegal vector arrow size 11.000000 (legal range 0 -> 10",
         NK_MSG_ERROR},
        {"arrowsize 0", 0, "Vector arrow size set to 0 (default 1.0)", NK_MSG_INFO},
        {"vectors show", 0, "Showing vector field 1 to 3.", NK_MSG_INFO},
        {"vectors hide 2", 0, "Hiding vector field 2 to 2.", NK_MSG_INFO},
        {"vectors show 4", 1, "vectors show: Illegal field specified", NK_MSG_ERROR},
        {"arrows 5", 1, "arrows: Illegal field specified", NK_MSG_ERROR},
        {"vectors clamp 0 1 2 3", 0, "Setting vector clamping for field 2 to 3.", NK_MSG_INFO},
        {"vectors nofilter 1", 0, "Disable vector filtering for field 1 to 1.", NK_MSG_INFO},
        {"vectors linewidth 3", 0, "Vector line width set to 3 pixels", NK_MSG_INFO},
        {"vectors linewidth 0", 0, "Vector line width set to use global line width", NK_MSG_INFO},
        {"vectors allpoints", 0, "Show vectors in all nodes", NK_MSG_INFO},
        {"undefcolor 10 20 30", 0, "Set undeformed mesh color to red=10 green=20 blue=30",
         NK_MSG_INFO},
        {"yvec", 0, "Turn on 1D vector file (y-component)", NK_MSG_INFO},
        {"undeform", 0, "Display undeformed shape", NK_MSG_INFO},
        {"stringvector flow of the outer wall", 0, "Vector description: flow of the outer wall",
         NK_MSG_INFO},
        {"noascalevectors 2", 0, "Vector auto scaling turned off.", NK_MSG_INFO},
    };
    for (const Case &c : cases) {
        m_Capture.Clear();
        EXPECT_EQ(Run(c.pszLine), c.iResult) << c.pszLine;
        EXPECT_TRUE(Said(c.pszMessage, c.iLevel)) << c.pszLine << "\n" << m_Capture.Text();
    }
    // The refusals changed nothing; the accepted lines set their records.
    EXPECT_EQ(g_pModel->valueRanges[2].from, 1.0f);
    EXPECT_EQ(g_VectorSettings.fArrowSize, 0.0f);
    for (int s = 0; s < 3; s++) EXPECT_EQ(g_SeparateVectorSettings[s].bShown, s != 1) << s;
    EXPECT_TRUE(g_SeparateVectorSettings[1].bClamp && g_SeparateVectorSettings[2].bClamp);
    EXPECT_FALSE(g_VectorSettings.bClamp);
    EXPECT_EQ(g_VectorSettings.iLineWidth, 0);
    EXPECT_EQ(g_VectorSettings.bSurfaceNodesOnly, 0);
    EXPECT_EQ(g_uUndeformedColor[1], 20);
    EXPECT_EQ(
        g_uOneComponentVector[0] + 2 * g_uOneComponentVector[1] + 4 * g_uOneComponentVector[2], 2);
    EXPECT_TRUE(g_pViewSettings->bShowUndeformed);
    EXPECT_STREQ(g_pModel->pFrames[0].pVector->szDescription.GetText(), "flow of the outer wall");
    // A line width outside 0..5 is the parameter range error.
    EXPECT_EQ(Run("vectors linewidth 6"), 1);
    EXPECT_EQ(g_VectorSettings.iLineWidth, 0);
    ASSERT_EQ(Run("noyvec"), 0);
    EXPECT_EQ(g_uOneComponentVector[1], 0);
    g_uUndeformedColor[0] = g_uUndeformedColor[1] = g_uUndeformedColor[2] = 255;
}

TEST_F(VectorCommandsGL, ScaleTransformationsTurnsAndStretchesThePartMatrix)
{
    MakeLine();
    NKFrame *pFrame = &g_pModel->pFrames[0];
    ASSERT_TRUE(NKAllocFrameTransformations(pFrame));
    float *m = pFrame->pTransformation;
    const double a = 60.0 * M_PI / 180.0;
    m[0] = static_cast<float>(std::cos(a));
    m[1] = static_cast<float>(std::sin(a));
    m[4] = -m[1];
    m[5] = m[0];
    m[12] = 1.0f;
    auto angle = [&] { return std::atan2(m[1], m[0]) * 180.0 / M_PI; };
    ASSERT_EQ(Run("scaletransformations 2"), 0);
    EXPECT_TRUE(Said("\"Scaling\" of transformations from part 1 to part 1 with factor 2"));
    EXPECT_NEAR(angle(), 73.898, 1e-3);
    EXPECT_NEAR(m[12], 2.0f, 1e-6);
    EXPECT_NEAR(m[13], 0.0f, 1e-6);
    EXPECT_NEAR(m[10], 1.0f, 1e-6);
    ASSERT_EQ(Run("scaletransformations 1"), 0);
    EXPECT_NEAR(angle(), 60.0, 1e-3);
    EXPECT_NEAR(m[12], 1.0f, 1e-6);
}

class BeamVectorCommandsGL : public VectorCommandsGL {
protected:
    void SetUp() override
    {
        VectorCommandsGL::SetUp();
        ASSERT_EQ(Run("open \"" + NKTestExamplePath("beam.nkf") + "\""), 0);
        ASSERT_NEAR(g_pModel->fGeoScale, 0.1f, 1e-6);
        m_Capture.Clear();
    }
    // Part 0's node 10 (ID 1011, model (10, 0, 0)): its displacement in
    // frame f, display units.
    float TipMove(int f) const
    {
        const NKFrame &frame = g_pModel->pFrames[f];
        const float *p = frame.pGeometry->pParts[0].pNodeCoords + 30;
        const float *q = frame.pVector->pResults[0].pNodeValues + 30;
        return std::sqrt((q[0] - p[0]) * (q[0] - p[0]) + (q[1] - p[1]) * (q[1] - p[1]) +
                         (q[2] - p[2]) * (q[2] - p[2]));
    }
    void ExpectTrace(int iTrace, const std::vector<std::vector<float>> &expected,
                     const char *pszWhen)
    {
        ASSERT_EQ(NKGetNodeTraceFrameCount(), static_cast<int>(expected.size())) << pszWhen;
        const float *p = NKGetNodeTracePositions(iTrace);
        ASSERT_NE(p, nullptr) << pszWhen;
        for (size_t f = 0; f < expected.size(); f++)
            for (int k = 0; k < 3; k++)
                EXPECT_NEAR(p[3 * f + k], expected[f][k], 1e-5) << pszWhen << " frame " << f;
    }
};

TEST_F(BeamVectorCommandsGL, AutoScaleMovesTheLargestDisplacementToHalfTheExtent)
{
    ASSERT_EQ(Run("readstate 3 1 1"), 0);
    ASSERT_EQ(Run("ascalevectors 0.5"), 0);
    EXPECT_TRUE(Said("Vector auto scale factor set to 0.5 of max model extent."));
    EXPECT_TRUE(m_Capture.Contains("Scale displacement by 4.98")) << m_Capture.Text();
    EXPECT_TRUE(m_Capture.Contains(" from part 1 to part 1"));
    EXPECT_NEAR(TipMove(0), 0.5f, 1e-5);
}

TEST_F(BeamVectorCommandsGL, TracesFollowTheDisplacedNodeAndTheFrozenNodeStays)
{
    ASSERT_EQ(Run("readstate 1 1 1"), 0);
    ASSERT_TRUE(SetupAnimationFromInterface(0, 2, 1, nullptr, 0));
    ASSERT_EQ(g_pModel->iNumFrames, 3);
    ASSERT_EQ(Run("displacements"), 0);
    EXPECT_TRUE(g_pModel->pFrames[0].pGeometry->bDisplacementsChanged);
    g_pTraceNodes = static_cast<NKItemNode *>(NKCalloc(3, sizeof(NKItemNode)));
    g_pTraceNodes[0] = {10, 0, {0, 0, 0}};
    g_pTraceNodes[1] = {500, 0, {0, 0, 0}};
    g_pTraceNodes[2] = {10, 7, {0, 0, 0}};
    g_iNumTraceNodes = 3;
    ASSERT_TRUE(NKComputeNodeTraces());
    const std::vector<std::vector<float>> moving = {
        {0.4975f, -0.05f, -0.0833333f}, {0.495f, -0.05f, -0.116667f}, {0.4925f, -0.05f, -0.15f}};
    ExpectTrace(0, moving, "displaced");
    const std::vector<std::vector<float>> missing(3, {1e12f, 1e12f, 1e12f});
    ExpectTrace(1, missing, "node outside the part");
    ExpectTrace(2, missing, "part outside the geometry");

    ASSERT_EQ(Run("freezenode 1,1011"), 0);
    EXPECT_TRUE(Said("Freezing node with index 10 in part 0"));
    ExpectTrace(0, std::vector<std::vector<float>>(3, {0.5f, -0.05f, -0.05f}), "frozen");
    ASSERT_EQ(Run("nofreezenode"), 0);
    EXPECT_TRUE(Said("Freeze node disabled."));
    ExpectTrace(0, moving, "thawed");
    for (int f = 0; f < 3; f++) EXPECT_EQ(g_pModel->pFrames[f].pTransformation, nullptr) << f;

    EXPECT_EQ(Run("freezenode 1"), 1);
    EXPECT_TRUE(m_Capture.Contains(
        "freezenode: Illegal node specification.\nRemember to use part,node for specifying nodes"))
        << m_Capture.Text();
    EXPECT_EQ(g_TransformationTable.m_iFrozenNode, -1);
}

TEST_F(BeamVectorCommandsGL, BoxFilterKeepsTheArrowsInsideTheBox)
{
    ASSERT_EQ(Run("readstate 1 1 1"), 0);
    ASSERT_EQ(Run("noarrows"), 0);
    ASSERT_EQ(Run("vectors"), 0);
    NKOrientedBox box;  // the default placement: display -0.1..0.1, model x 4..6
    const float afMin[3] = {-0.1f, -0.1f, -0.1f}, afMax[3] = {0.1f, 0.1f, 0.1f};
    box.SetFromMinMax(afMin, afMax);
    g_pVectorFilterBox = &box;
    auto tails = [&] {
        NKFrame *pFrame = &g_pModel->pFrames[0];
        std::vector<float> out;
        for (int p = 0; p < pFrame->pGeometry->iNumParts; p++) {
            NKPart *pPart = &pFrame->pGeometry->pParts[p];
            for (const Primitive &prim :
                 Feedback([&] { NKDrawPartVectors(p, pPart, pFrame, &g_VectorSettings); }))
                if (prim.iToken == GL_LINE_TOKEN) out.push_back(prim.v[0].x);
        }
        return out;
    };
    const size_t iAll = tails().size();
    ASSERT_GT(iAll, 0u);
    ASSERT_EQ(Run("vectors boxfilter"), 0);
    const std::vector<float> inside = tails();
    ASSERT_FALSE(inside.empty());
    EXPECT_LT(inside.size(), iAll);
    // Model x 4..6 is window x 364.5..445.5.
    for (float x : inside) {
        EXPECT_GE(x, 364.5f - 0.01f);
        EXPECT_LE(x, 445.5f + 0.01f);
    }
    ASSERT_EQ(Run("vectors noboxfilter"), 0);
    EXPECT_EQ(tails().size(), iAll);
}

TEST_F(VectorCommandsGL, TraceCurvesAreStripsOverTheDefinedPositions)
{
    const float afFirst[9] = {-0.5f, 0.0f, 0.0f, 0.0f, 0.5f, 0.0f, 0.5f, 0.0f, 0.0f};
    const float afSecond[9] = {-0.5f, -0.5f, 0.0f, 1e12f, 0.0f, 0.0f, 0.5f, -0.5f, 0.0f};
    const float *apCurves[2] = {afFirst, afSecond};
    auto lines = [&](const std::vector<Primitive> &prims, int iToken) {
        int n = 0;
        for (const Primitive &p : prims) n += p.iToken == iToken;
        return n;
    };
    const auto prims = Feedback([&] { NKDrawTraceCurveSet(apCurves, 2, 3); });
    // A strip of 3 points is two segments, one of 2 points one.
    ASSERT_EQ(lines(prims, GL_LINE_TOKEN), 3);
    EXPECT_EQ(lines(prims, GL_POINT_TOKEN), 0);
    const uint8_t *c = g_pFringeTextureColors->auColors;
    EXPECT_EQ(prims[0].v[0].r, c[0]);
    EXPECT_EQ(prims[0].v[0].b, c[2]);
    EXPECT_EQ(prims[2].v[0].r, c[3]);
    EXPECT_EQ(prims[2].v[0].b, c[5]);
    EXPECT_NEAR(prims[2].v[1].x, 607.5f, 0.01f);
    g_pGraphicsSettings->iPointSize = 3;
    const auto withPoints = Feedback([&] { NKDrawTraceCurveSet(apCurves, 2, 3); });
    EXPECT_EQ(lines(withPoints, GL_POINT_TOKEN), 5);
}
