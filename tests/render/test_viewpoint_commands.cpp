// tests/render/test_viewpoint_commands.cpp -- the viewpoint handler through
// the interpreter: lookat, setview and the clipping commands on the example
// beam, and the ride family on a model of two parts (sources, riding on and
// off, the ride file written and read back).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_math.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_render_state.h"
#include "readers/nk_data_source.h"
#include "readers/nk_fem_interface.h"
#include "render/nk_camera.h"
#include "render/nk_ride.h"
#include "render/nk_viewpoint_commands.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

namespace {

class ViewpointCommands : public NKModelTest {
protected:
    void SetUp() override
    {
        NKModelTest::SetUp();
        m_SavedHooks = NKSetModelHooks(NKModelHooks());
        NKInstallDataSources();
        NKRegisterFileCommands();
        NKRegisterViewpointCommands();
        NKInitNavigation(g_ViewMatrix, &g_InputState);
        NKResetRideSpec(&g_RideSpec);
        m_Dir = NKTestMakeTempDir("quolin_viewpoint_");
        m_OldDir = std::filesystem::current_path();
        std::filesystem::current_path(m_Dir);
    }
    void TearDown() override
    {
        std::filesystem::current_path(m_OldDir);
        NKCloseInterface();
        NKSetCommandHandler(NK_HANDLER_VIEWPOINT, nullptr);
        NKTestRemoveDir(m_Dir.string());
        NKSetModelHooks(m_SavedHooks);
        NKResetRideSpec(&g_RideSpec);
        NKInitNavigation(g_ViewMatrix, &g_InputState);
        g_fNearClip = NK_DEFAULT_NEAR_CLIP;
        g_fFarClip = NK_DEFAULT_FAR_CLIP;
        NKModelTest::TearDown();
    }
    int Run(const std::string &line) { return ExecuteCommand(line.c_str()); }
    // Two parts; part 1 (index 0) has eight nodes with IDs 101 to 108.
    void MakeTwoParts()
    {
        NKGeometry *pGeo = MakeFrames(1, 2);
        NKPart *pPart = &pGeo->pParts[0];
        NKFree(pPart->pNodeCoords);
        pPart->iNumNodes = 8;
        pPart->pNodeCoords = static_cast<float *>(NKCalloc(24, sizeof(float)));
        pPart->pNodeIDs = static_cast<int *>(NKAlloc(8 * sizeof(int)));
        for (int i = 0; i < 8; i++) pPart->pNodeIDs[i] = 101 + i;
        // Part 2's two triangles.
        NKPart *pSecond = &pGeo->pParts[1];
        pSecond->pPolygonStart = static_cast<int *>(NKAlloc(2 * sizeof(int)));
        pSecond->pPolygonNumNodes = static_cast<int *>(NKAlloc(2 * sizeof(int)));
        for (int i = 0; i < 2; i++)
            pSecond->pPolygonStart[i] = 3 * i, pSecond->pPolygonNumNodes[i] = 3;
    }
    std::filesystem::path m_Dir, m_OldDir;
    NKModelHooks m_SavedHooks;
};

TEST_F(ViewpointCommands, LookAtAndSetViewOnTheBeam)
{
    ASSERT_EQ(Run("open \"" + NKTestExamplePath("beam.nkf") + "\""), 0);
    const float afTurned[16] = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0.1f, 0, 0, 1};
    NKMat4Copy(g_ViewMatrix, afTurned);
    NKMatrixIdentity(g_ViewMatrix);
    MessageCapture capture;
    EXPECT_EQ(Run("lookat"), 0);
    EXPECT_TRUE(capture.Contains("No parameters specified, setting to default for this model:\n"
                                 "  5,0.5,20.5  5,0.5,0.5  0,1,0"))
        << capture.Text();
    for (int i = 0; i < 16; i++) EXPECT_NEAR(g_ViewMatrix[i], i % 5 == 0 ? 1.0f : 0.0f, 1e-6);

    EXPECT_EQ(Run("setview 0 0 0.6 0.8 0.5 -0.25 1"), 0);
    EXPECT_TRUE(capture.Contains("Setting view to: 0 0 0.6 0.8 0.5 -0.25 1"));
    NKString text;
    EXPECT_STREQ(NKMakeSetviewCommand(&text, g_ViewMatrix)->GetText(),
                 "setview  0 0 0.6 0.8 0.5 -0.25 1");
    EXPECT_EQ(Run("setview"), 0);
    EXPECT_STREQ(NKMakeSetviewCommand(&text, g_ViewMatrix)->GetText(), "setview  0 0 0 1 0 0 0");
}

TEST_F(ViewpointCommands, ErrorsLeaveTheViewAsItWas)
{
    ASSERT_EQ(Run("open \"" + NKTestExamplePath("beam.nkf") + "\""), 0);
    ASSERT_EQ(Run("setview 0 0 0.6 0.8 0.5 -0.25 1"), 0);
    float afBefore[16];
    NKMat4Copy(afBefore, g_ViewMatrix);
    struct {
        const char *pszLine;
        const char *pszMessage;
    } cases[] = {
        {"lookat 0 0 0 0 0 0",
         "lookat: Eye position and point on the line of sight must be different"},
        {"lookat 0 0 1 0 0 0 0 0 1", "lookat: Forward direction and up vector are parallel"},
        {"clipfront 0", "clipfront: Illegal clip value 0.000000 (legal values > 0; def. 0.010000)"},
        {"clipback -1", "clipback: Illegal clip value -1.000000 (legal values > 0; def. 8.000000)"},
        // Words that are no finite number: the parser's message, nothing set.
        {"setview 1e308 1e308 1e308 1e308 1e308 1e308 1e308",
         "Error in paramter number 1 : [<qx qy qz qw> [<tx ty tz>]]\n"
         "Parameter out of range. Value: 1e308."},
        {"setview nan nan nan nan", "Numerical parameter expected. \"nan\" is not a number."},
        {"setview 0 0 0 1 inf", "Error in paramter number 5 : "},
        {"setview a b c d", "Numerical parameter expected. \"a\" is not a number."},
        {"lookat 0 0 1 0 0 nan", "Numerical parameter expected. \"nan\" is not a number."},
        {"clipfront inf", "Numerical parameter expected. \"inf\" is not a number."},
        {"clipback 1e39", "Parameter out of range. Value: 1e39."},
    };
    for (const auto &c : cases) {
        MessageCapture capture;
        EXPECT_EQ(Run(c.pszLine), 1) << c.pszLine;
        EXPECT_TRUE(capture.Contains(c.pszMessage)) << capture.Text();
        EXPECT_TRUE(NKMat4Equal(afBefore, g_ViewMatrix, true)) << c.pszLine;
    }
    EXPECT_EQ(g_fNearClip, NK_DEFAULT_NEAR_CLIP);
    EXPECT_EQ(g_fFarClip, NK_DEFAULT_FAR_CLIP);
    MessageCapture capture;
    EXPECT_EQ(Run("clipfront 0.5"), 0);
    EXPECT_EQ(g_fNearClip, 0.5f);
    EXPECT_EQ(Run("clipfront"), 0);
    EXPECT_TRUE(capture.Contains("Front clipping plane set to: 0.01 (default: 0.01)"));
    EXPECT_EQ(g_fNearClip, NK_DEFAULT_NEAR_CLIP);
}

TEST_F(ViewpointCommands, RideOnAndOffRestoresTheView)
{
    MakeTwoParts();
    MessageCapture capture;
    for (const char *psz : {"ride reset", "ride eyepart 1", "ride vrp 0 0 0"})
        ASSERT_EQ(Run(psz), 0) << psz;
    EXPECT_EQ(Run("ride on"), 1);
    EXPECT_TRUE(capture.Contains("ride on: Current ride specification is not valid"));
    ASSERT_EQ(Run("ride vup 0 0 1"), 0);
    const float afTurned[16] = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0.1f, 0.2f, 0.3f, 1};
    NKMat4Copy(g_ViewMatrix, afTurned);
    ASSERT_EQ(Run("ride on"), 0);
    EXPECT_TRUE(g_RideSpec.bRiding && g_RideSpec.bInUse);
    ASSERT_EQ(Run("setview 0 1 0 0 0 0 0"), 0);
    ASSERT_EQ(Run("ride off"), 0);
    EXPECT_TRUE(NKMat4Equal(afTurned, g_ViewMatrix, true));
    capture.Clear();
    EXPECT_EQ(Run("ride off"), 0);
    EXPECT_TRUE(capture.HasLine("Ride mode already disabled ")) << capture.Text();

    struct {
        const char *pszLine;
        const char *pszMessage;
    } errors[] = {
        {"ride eyepart 0", "ride eyepart: Illegal part number 0  (legal range 1 -> 2)"},
        {"ride vup 0 0", "ride vup: You need to specify three vector components <x y z>"},
        {"ride vup 0 nan 1", "ride vup: You need to specify three vector components <x y z>"},
        {"ride vrp 0 0 1e39", "ride vrp: You need to specify three vector components <x y z>"},
        {"ride vrpline 1,101", "ride vrpline: You need to specify two nodes for line"},
        {"ride eyenodes 3,1", "ride eyenodes: Illegal part number 3  (legal range 1 -> 2)"},
        {"ride eyenodes 1,1", "Illegal node specification.\nRemember to use part,node"},
        {"ride eyepolygon 1,3", "Illegal polygon specification. Remember to use part,polygon"},
        {"ride eyenodes 1", "Illegal node specification."},
        {"ride eye", "ride eye: No parameters specified"},
    };
    for (const auto &e : errors) {
        capture.Clear();
        EXPECT_EQ(Run(e.pszLine), 1) << e.pszLine;
        EXPECT_TRUE(capture.Contains(e.pszMessage)) << capture.Text();
    }
    // Four items: the first three count; a bad one after good ones keeps them.
    EXPECT_EQ(Run("ride eyenodes 1,101 1,102 1,103 1,104"), 0);
    EXPECT_EQ(g_RideSpec.iNumEyeNodes, 3);
    EXPECT_EQ(Run("ride vrpnodes 1,102 1,1"), 0);
    EXPECT_EQ(g_RideSpec.iNumVrpNodes, 1);
    EXPECT_EQ(g_RideSpec.aVrpNodes[0].iItem, 1);
}

TEST_F(ViewpointCommands, RideFileWrittenAndReadBack)
{
    MakeTwoParts();
    for (const char *psz : {"ride reset", "ride eyepart 1", "ride vrp 0 0 0", "ride vup 0 0 1"})
        ASSERT_EQ(Run(psz), 0) << psz;
    MessageCapture capture;
    ASSERT_EQ(Run("ride save r.rid"), 0);
    EXPECT_TRUE(capture.HasLine("Saving current ride specification to file: r.rid"));
    EXPECT_EQ(NKTestReadFile("r.rid"),
              "# Quolin Dulm generated model riding specification\n"
              "# -------------------------------------------\n\n"
              "ride eyepart 1\nride vrp 0 0 0\nride vup 0 0 1\nride noflip\n"
              "ride eyeoffset 0 0 0\n");
    ASSERT_EQ(Run("noride"), 0);
    capture.Clear();
    ASSERT_EQ(Run("ride load r.rid"), 0);
    EXPECT_TRUE(capture.Contains("Ride specification read from command file: r.rid\n"
                                 "  eye: centroid of part 1\n  vrp: fixed at [0, 0, 0]\n"
                                 "  vup: given by vector [0, 0, 1]\n"
                                 "  eye offset vector: [0, 0, 0]"))
        << capture.Text();

    ASSERT_EQ(Run("ride reset"), 0);
    ASSERT_EQ(Run("ride eyenodes 1,105"), 0);
    capture.Clear();
    ASSERT_EQ(Run("ride save"), 0);
    EXPECT_TRUE(capture.Contains("Saving incomplete ride specification to file: Quolin.rid"));
    EXPECT_NE(NKTestReadFile("Quolin.rid").find("ride eyenodes 1,105 "), std::string::npos);
    ASSERT_EQ(Run("ride reset"), 0);
    ASSERT_EQ(Run("ride load"), 0);
    capture.Clear();
    ASSERT_EQ(Run("ride"), 0);
    EXPECT_TRUE(capture.Contains("Current ride specification:\n  eye: node 1,105"))
        << capture.Text();
    // Ride files written under the header that speaks of a definition are
    // read like any other.
    ASSERT_TRUE(NKTestWriteText("old.rid", "# Quolin Dulm generated model riding definition\n"
                                           "# -------------------------------------------\n\n"
                                           "ride eyepart 2\nride vrp 1 2 3\nride vup 0 0 1\n"));
    ASSERT_EQ(Run("ride reset"), 0);
    capture.Clear();
    ASSERT_EQ(Run("ride load old.rid"), 0);
    EXPECT_TRUE(capture.Contains("Ride specification read from command file: old.rid\n"
                                 "  eye: centroid of part 2\n  vrp: fixed at [1, 2, 3]"))
        << capture.Text();
    // A folder that does not exist cannot take the file.
    capture.Clear();
    EXPECT_EQ(Run("ride save nowhere/r.rid"), 1);
    EXPECT_TRUE(capture.Contains("Error writing file: nowhere/r.rid"));
}

// Each ride command that reports its result says so in the ride texts it prints.
TEST_F(ViewpointCommands, RideCommandsReportTheRide)
{
    MakeTwoParts();
    const struct {
        const char *pszLine;
        const char *pszText;
    } rows[] = {
        {"ride eyepart 1", "New ride specification:\n  eye: centroid of part 1"},
        {"ride boat 2,1 0 0 10", "Boat ride specification:\n  eye: centroid of polygon 2,1"},
        {"ride show", "Show ride specification preview"},
        {"ride hide", "Hide ride specification preview"},
    };
    for (const auto &row : rows) {
        MessageCapture capture;
        ASSERT_EQ(Run(row.pszLine), 0) << row.pszLine;
        EXPECT_TRUE(capture.Contains(row.pszText)) << row.pszLine << ": " << capture.Text();
    }
}

TEST_F(ViewpointCommands, RideEvaluationFollowsTheModel)
{
    MakeTwoParts();
    ASSERT_EQ(Run("ride boat 2,1 0 0 10"), 0);
    EXPECT_EQ(g_RideSpec.iVupSource, NK_RIDE_FIXED);
    EXPECT_EQ(g_RideSpec.fVup[2], 1.0f);
    // Polygon 1 of part 2: nodes (0,0,0), (1,0,0), (1,1,0), moved by the
    // frame's part matrix (x + 0 for frame tag 0).
    ASSERT_TRUE(NKComputeRideViewPoint(-1, &g_RideSpec));
    EXPECT_NEAR(g_RideSpec.ViewPoint.eye[0], 2.0f / 3.0f, 1e-6);
    EXPECT_NEAR(g_RideSpec.ViewPoint.eye[1], 1.0f / 3.0f, 1e-6);
    EXPECT_EQ(Run("ride vuppolygon 2,1"), 0);
    ASSERT_TRUE(NKComputeRideViewPoint(-1, &g_RideSpec));
    EXPECT_NEAR(std::fabs(g_RideSpec.ViewPoint.vup[2]), 1.0f, 1e-6);
    // A part index that a later model no longer has fails the evaluation.
    g_RideSpec.iEyeSource = NK_RIDE_PART;
    g_RideSpec.iEyePart = 7;
    EXPECT_FALSE(NKComputeRideViewPoint(-1, &g_RideSpec));
}

}  // namespace
