// tests/render/test_transform_commands.cpp -- the part transform, rotation
// point and mirror commands through the interpreter on the example beam
// (model box 0..10 x 0..1 x 0..1, one frame): the messages, the per-part
// matrices, where they put model points, and the mirror pass matrices.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_bbox.h"
#include "core/nk_math.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_render_state.h"
#include "readers/nk_data_source.h"
#include "render/nk_camera.h"
#include "render/nk_transform_commands.h"
#include "tests/render/render_fixture.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

namespace {

class TransformCommands : public NKRenderModelTest {
protected:
    void SetUp() override
    {
        NKRenderModelTest::SetUp();
        m_SavedHooks = NKSetModelHooks(NKModelHooks());
        NKInstallDataSources();
        NKRegisterFileCommands();
        NKRegisterTransformCommands();
        ASSERT_EQ(Run("open \"" + NKTestExamplePath("beam.nkf") + "\""), 0);
        ASSERT_EQ(g_pModel->iNumFrames, 1);
        ASSERT_NEAR(g_pModel->fGeoScale, 0.1f, 1e-6);
        m_Capture.Clear();
    }
    void TearDown() override
    {
        NKSetCommandHandler(NK_HANDLER_TRANSFORM, nullptr);
        NKSetRotationPoint(nullptr);
        g_MirrorSettings.Reset();
        NKCloseInterface();
        NKFreeModelFrames(g_pModel);
        NKSetModelHooks(m_SavedHooks);
        NKRenderModelTest::TearDown();
    }
    int Run(const std::string &line) { return ExecuteCommand(line.c_str()); }
    const float *Matrix() const { return g_pModel->pFrames[0].pTransformation; }
    // Model point p through matrix m (display coordinates, homogeneous),
    // back in model coordinates.
    static void Through(const float *m, const float *pIn, float *pOut)
    {
        float p[3] = {pIn[0], pIn[1], pIn[2]};
        ModelToDisplay(p);
        const float w = m[3] * p[0] + m[7] * p[1] + m[11] * p[2] + m[15];
        NKTransformPoint(m, p);
        for (int k = 0; k < 3; k++) pOut[k] = p[k] / w;
        DisplayToModel(pOut);
    }
    static void ExpectPoint(const float *m, const float *pIn, const float *pExpected)
    {
        float out[3];
        Through(m, pIn, out);
        for (int k = 0; k < 3; k++) EXPECT_NEAR(out[k], pExpected[k], 1e-4) << k;
    }

    NKModelHooks m_SavedHooks;
    MessageCapture m_Capture;
};

const float kFar[3] = {10.0f, 1.0f, 1.0f};

TEST_F(TransformCommands, TranslateSetsAndRelativeTranslateAdds)
{
    ASSERT_EQ(Run("translate 1 1 10 0 0"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Translation (10, 0, 0) of part 1 to part 1", NK_MSG_INFO));
    ASSERT_NE(Matrix(), nullptr);
    for (int pass = 0; pass < 2; pass++) {
        EXPECT_NEAR(Matrix()[12], 1.0f, 1e-6);
        EXPECT_NEAR(Matrix()[13], 0.0f, 1e-6);
        EXPECT_NEAR(Matrix()[14], 0.0f, 1e-6);
        ASSERT_EQ(Run("translate 1 1 10 0 0"), 0);
    }
    ASSERT_EQ(Run("rtranslate 1 1 10 0 0"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Relative translation (10, 0, 0) of part 1 to part 1"));
    ASSERT_EQ(Run("rtranslate 1 1 10 0 0"), 0);
    EXPECT_NEAR(Matrix()[12], 3.0f, 1e-6);
    // The displaced box follows the parts.
    const float *pBox = NKGetGeoBoundingBox(&g_pModel->pFrames[0], NK_BOX_DISPLACED_ONLY);
    ASSERT_NE(pBox, nullptr);
    EXPECT_NEAR(pBox[0], 30.0f, 1e-4);
    EXPECT_NEAR(pBox[3], 40.0f, 1e-4);
}

TEST_F(TransformCommands, ScaleRelativeScaleAndRefusedFactors)
{
    ASSERT_EQ(Run("scale 1 1 2"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Scaling of part 1 to part 1 by 2", NK_MSG_INFO));
    EXPECT_NEAR(Matrix()[15], 0.5f, 1e-6);
    ASSERT_EQ(Run("rscale 1 1 2"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Relative scaling of part 1 to part 1 by 2", NK_MSG_INFO));
    EXPECT_NEAR(Matrix()[15], 0.25f, 1e-6);
    for (const char *psz : {"scale 1 1 0", "rscale 1 1 0", "scale 1 1 nan", "rscale 1 1 inf"}) {
        m_Capture.Clear();
        EXPECT_EQ(Run(psz), 1) << psz;
        EXPECT_TRUE(m_Capture.Contains("Illegal scaling factor")) << psz;
        EXPECT_NEAR(Matrix()[15], 0.25f, 1e-6) << psz;
    }
}

TEST_F(TransformCommands, BadPartRangeFailsAndChangesNothing)
{
    EXPECT_EQ(Run("translate 3 4"), 1);
    EXPECT_TRUE(m_Capture.Contains("translate: Illegal part range 3 4  (legal range 1 -> 1)"))
        << m_Capture.Text();
    EXPECT_EQ(Matrix(), nullptr);
    ASSERT_EQ(Run("translate 1 1 10 0 0"), 0);
    for (const char *psz : {"translate 1 1 nan", "rtranslate 1 1 0 inf", "rotatex 1 1 nan",
                            "rotationpoint 1 nan 2"}) {
        m_Capture.Clear();
        EXPECT_EQ(Run(psz), 1) << psz;
        EXPECT_TRUE(m_Capture.Contains("Illegal number specified")) << psz;
        EXPECT_NEAR(Matrix()[12], 1.0f, 1e-6) << psz;
        EXPECT_NEAR(Matrix()[5], 1.0f, 1e-6) << psz;
    }
}

TEST_F(TransformCommands, IdentityOnFreshModelMakesNoMatrices)
{
    ASSERT_EQ(Run("identity"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Using identity matrix", NK_MSG_INFO));
    EXPECT_EQ(Matrix(), nullptr);
    ASSERT_EQ(Run("translate 1 1 10 0 0"), 0);
    ASSERT_EQ(Run("identity 1 1"), 0);
    float id[16];
    NKMatrixIdentity(id);
    for (int i = 0; i < 16; i++) EXPECT_EQ(Matrix()[i], id[i]) << i;
}

TEST_F(TransformCommands, RotationsAreRightHandedAboutTheModelOrigin)
{
    ASSERT_EQ(Run("rotatex 1 1 90"), 0);
    EXPECT_TRUE(m_Capture.HasLine("x-rotation of part 1 to part 1 by 90", NK_MSG_INFO));
    EXPECT_NEAR(Matrix()[6], 1.0f, 1e-6);
    EXPECT_NEAR(Matrix()[9], -1.0f, 1e-6);
    EXPECT_NEAR(Matrix()[12], 0.0f, 1e-6);
    EXPECT_NEAR(Matrix()[13], -0.1f, 1e-6);
    EXPECT_NEAR(Matrix()[14], 0.0f, 1e-6);
    const float afX[3] = {10.0f, -1.0f, 1.0f};
    ExpectPoint(Matrix(), kFar, afX);
    const float *pBox = NKGetGeoBoundingBox(&g_pModel->pFrames[0], NK_BOX_DISPLACED_ONLY);
    ASSERT_NE(pBox, nullptr);
    EXPECT_NEAR(pBox[1], -1.0f, 1e-4);
    EXPECT_NEAR(pBox[4], 0.0f, 1e-4);

    const struct {
        const char *pszCommand, *pszMessage;
        float afAt[3];
    } rows[] = {{"rotatey 1 1 90", "y-rotation of part 1 to part 1 by 90", {1, 1, -10}},
                {"rotatez 1 1 90", "z-rotation of part 1 to part 1 by 90", {-1, 10, 1}}};
    for (const auto &r : rows) {
        ASSERT_EQ(Run("identity"), 0);
        ASSERT_EQ(Run(r.pszCommand), 0);
        EXPECT_TRUE(m_Capture.HasLine(r.pszMessage, NK_MSG_INFO));
        ExpectPoint(Matrix(), kFar, r.afAt);
    }
    // A translated part turns about the same axis.
    ASSERT_EQ(Run("identity"), 0);
    ASSERT_EQ(Run("translate 1 1 0 0 10"), 0);
    ASSERT_EQ(Run("rotatex 1 1 90"), 0);
    const float afMoved[3] = {10.0f, -11.0f, 1.0f};
    ExpectPoint(Matrix(), kFar, afMoved);
}

TEST_F(TransformCommands, RotationPointForms)
{
    ASSERT_EQ(Run("rotationpoint 1 2 3"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Setting rotation point to  (1, 2, 3)", NK_MSG_INFO));
    float p[3];
    EXPECT_TRUE(NKGetRotationPoint(p));
    EXPECT_NEAR(p[0], -0.4f, 1e-6);
    EXPECT_NEAR(p[1], 0.15f, 1e-6);
    EXPECT_NEAR(p[2], 0.25f, 1e-6);
    ASSERT_EQ(Run("rotationpoint"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Current rotation point is (1, 2, 3)", NK_MSG_INFO));
    ASSERT_EQ(Run("rotationpoint part 1"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Setting rotation point to part 1's centroid (5, 0.5, 0.5)",
                                  NK_MSG_INFO));
    ASSERT_EQ(Run("rotationpoint node 1,1099"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Setting rotation point to node 1,1099 (10, 1, 1)", NK_MSG_INFO));
    m_Capture.Clear();
    for (const char *psz :
         {"rotationpoint node 1,5", "rotationpoint node 7", "rotationpoint node"}) {
        EXPECT_EQ(Run(psz), 1) << psz;
        EXPECT_TRUE(
            m_Capture.Contains("rotationpoint: Illegal node specification.\nRemember to use "
                               "part,node for specifying nodes"))
            << m_Capture.Text();
    }
    ASSERT_EQ(Run("rotationpoint SHOW"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Enable display of rotation point", NK_MSG_INFO));
    EXPECT_TRUE(NKGetRotationPoint(p));
    EXPECT_NEAR(p[0], 0.5f, 1e-6);
    m_Capture.Clear();
    ASSERT_EQ(Run("rotationpoint reset"), 0);
    EXPECT_FALSE(m_Capture.Contains("otation point")) << m_Capture.Text();
    EXPECT_FALSE(NKGetRotationPoint(p));
}

TEST_F(TransformCommands, AxisMirrorSetsPlaneOneAndOneReflectedPass)
{
    ASSERT_EQ(Run("xmirror 2"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Mirror plane set to 1x + 0y +0z + -2 = 0.", NK_MSG_INFO));
    float m[16];
    ASSERT_TRUE(g_MirrorSettings.GetPassMatrix(0, m));
    EXPECT_NEAR(m[0], -1.0f, 1e-6);
    EXPECT_NEAR(m[5], 1.0f, 1e-6);
    EXPECT_NEAR(m[10], 1.0f, 1e-6);
    EXPECT_NEAR(m[12], -0.6f, 1e-6);
    EXPECT_TRUE(g_MirrorSettings.IsMirroredPass(0));
    m_Capture.Clear();
    ASSERT_EQ(Run("mirror info"), 0);
    const std::string text = m_Capture.Text();
    EXPECT_NE(text.find(" - Mirror drawing: ON\n - Reflection symmetry: ON\n - Plane 1 : 1x + 0y + "
                        "0z + -2 = 0\n - Plane 1 preview: OFF\n - Plane 1 orientation: <0 1 0>\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find(" - Total repetitions: 0. Number of repetition to draw: 1."),
              std::string::npos)
        << text;
    for (const char *psz : {"ymirror", "zmirror -1"}) ASSERT_EQ(Run(psz), 0);
    const float afZ[4] = {0, 0, 1, 1};
    float pl[4];
    g_MirrorSettings.GetPlane(pl, 1);
    for (int k = 0; k < 4; k++) EXPECT_EQ(pl[k], afZ[k]);
}

TEST_F(TransformCommands, RotationPassesAndPlaneCommands)
{
    ASSERT_EQ(Run("mirror noreflect"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Mirror by rotation enabled.", NK_MSG_INFO));
    ASSERT_EQ(Run("mirror repeats 3"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Set number of mirror passes to draw to 3", NK_MSG_INFO));
    ASSERT_EQ(Run("mirror on"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Mirror enabled.", NK_MSG_INFO));
    float m0[16], m1[16], m2[16], out0[3], out2[3];
    ASSERT_TRUE(g_MirrorSettings.GetPassMatrix(0, m0));
    ASSERT_TRUE(g_MirrorSettings.GetPassMatrix(1, m1));
    ASSERT_TRUE(g_MirrorSettings.GetPassMatrix(2, m2));
    EXPECT_FALSE(g_MirrorSettings.IsMirroredPass(0));
    const float afHalf[3] = {-10.0f, 1.0f, -1.0f};
    ExpectPoint(m1, kFar, afHalf);
    Through(m0, kFar, out0);
    Through(m2, kFar, out2);
    if (out0[0] > 0.0f) std::swap(out0, out2);
    const float afA[3] = {-1, 1, 10}, afB[3] = {1, 1, -10};
    for (int k = 0; k < 3; k++) {
        EXPECT_NEAR(out0[k], afA[k], 1e-4);
        EXPECT_NEAR(out2[k], afB[k], 1e-4);
    }

    ASSERT_EQ(Run("mirror plane 2 0 1 0 -0.5"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Symmetry plane 2 set to 0x + 1y +0z + -0.5 = 0.", NK_MSG_INFO));
    float o[3];
    g_MirrorSettings.GetOrientation(o, 2);
    EXPECT_EQ(o[0], 1.0f);
    EXPECT_EQ(o[1], 0.0f);
    EXPECT_EQ(o[2], 0.0f);

    // Parallel planes in rotation mode form no pass.
    ASSERT_EQ(Run("mirror plane 1 1 0 0 0"), 0);
    ASSERT_EQ(Run("mirror plane 2 1 0 0 -1"), 0);
    EXPECT_FALSE(g_MirrorSettings.GetPassMatrix(0, m0));
    ASSERT_EQ(Run("mirror reflect"), 0);
    EXPECT_TRUE(g_MirrorSettings.GetPassMatrix(0, m0));
    EXPECT_FALSE(g_MirrorSettings.GetPassMatrix(1, m1));
}

TEST_F(TransformCommands, MirrorRefusalsAndSwitches)
{
    const float afBefore[4] = {1, 0, 0, 0};
    const struct {
        const char *pszLine;
        int iResult;
        const char *pszText;
    } rows[] = {{"mirror plane 1 0 0 0 5", 1, "mirror plane: Illegal plane normal"},
                {"mirror bogus", 1, "mirror: Illegal parameter specified"},
                {"mirror plane 1 1 0", 1, "Error in paramter number"},
                {"nomirror", 0, "Mirror disabled."},
                {"mirror showplane 1", 0, "Preview of plane 1 turned ON."},
                {"mirror hideplane 7", 0, "Preview of plane 7 turned OFF."},
                {"mirror setrotangle 90 0 1 0 0 0 0", 0, "Set rotation angle to 90"}};
    for (const auto &r : rows) {
        m_Capture.Clear();
        EXPECT_EQ(Run(r.pszLine), r.iResult) << r.pszLine;
        EXPECT_TRUE(m_Capture.Contains(r.pszText)) << r.pszLine << ": " << m_Capture.Text();
        if (r.iResult == 1) {
            float pl[4];
            g_MirrorSettings.GetPlane(pl, 1);
            for (int k = 0; k < 4; k++) EXPECT_EQ(pl[k], afBefore[k]) << r.pszLine;
        }
    }
    EXPECT_EQ(g_MirrorSettings.bEnabled, 0);
    EXPECT_TRUE(g_MirrorSettings.GetPreview(1));
    EXPECT_FALSE(g_MirrorSettings.GetPreview(2));
    // Plane 2 is plane 1's normal (1, 0, 0) turned a quarter about y.
    float pl[4];
    g_MirrorSettings.GetPlane(pl, 2);
    EXPECT_NEAR(std::fabs(pl[2]), 1.0f, 1e-6);
    EXPECT_NEAR(pl[0], 0.0f, 1e-6);
}

}  // namespace

namespace {

TEST_F(TransformCommands, RescaleTransformsFitsAndMovesTheRotationPoint)
{
    ASSERT_EQ(Run("rotationpoint model"), 0);
    EXPECT_TRUE(
        m_Capture.HasLine("Setting rotation point to model's centroid (5, 0.5, 0.5)", NK_MSG_INFO));
    ASSERT_EQ(Run("translate 1 1 10 0 0"), 0);
    m_Capture.Clear();
    ASSERT_EQ(Run("rescaletransforms"), 0);
    EXPECT_TRUE(m_Capture.HasLine(
        "Model transformations recalculated to fit the default view volume.", NK_MSG_INFO));
    EXPECT_TRUE(m_Capture.Contains("Setting rotation point to model's centroid"))
        << m_Capture.Text();
}

}  // namespace
