// tests/app/test_cut_plane_commands.cpp -- the cutting-plane, iso-surface and
// element-highlight commands end to end: a unit hexahedron opened from an NKF
// file, then cut, exported, listed, aligned and highlighted through the
// interpreter, with the messages the user sees and the files written.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/nk_system_commands.h"
#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_bbox.h"
#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "readers/nk_data_source.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nkf_unit_hex.h"
#include "tests/test_support/test_files.h"
#include "tools/nk_cut_plane.h"
#include "tools/nk_cut_plane_commands.h"
#include "tools/nk_cut_surface.h"
#include "tools/nk_iso_surface.h"

namespace {

// The commands installed, the surface tools made, working in a fresh folder.
class CutPlaneCommands : public NKModelTest {
protected:
    void SetUp() override
    {
        NKModelTest::SetUp();
        m_SavedHooks = NKSetModelHooks(NKModelHooks());
        NKInstallCommandHooks();
        NKInstallToolHooks();
        NKInstallDataSources();
        NKRegisterFileCommands();
        NKRegisterSystemCommands();
        NKRegisterCutPlaneCommands();
        ASSERT_TRUE(NKCreateSurfaceTools());
        m_Dir = NKTestMakeTempDir("quolin_cut_commands_");
        m_Saved = std::filesystem::current_path();
        std::filesystem::current_path(m_Dir);
        NKTestWriteText("hex.nkf", NKTestUnitHex());
        NKTestWriteText("bare.nkf", NKTestBareHex());
    }
    void TearDown() override
    {
        std::filesystem::current_path(m_Saved);
        NKCloseInterface();
        NKSetCommandHandler(NK_HANDLER_SYSTEM, nullptr);
        NKSetCommandHandler(NK_HANDLER_CUT_PLANES, nullptr);
        NKModelTest::TearDown();
        NKDestroySurfaceTools();
        NKTestRemoveDir(m_Dir.string());
        NKSetModelHooks(m_SavedHooks);
    }
    int Run(const std::string &line) { return ExecuteCommand(line.c_str()); }
    // Runs the line and expects its result and, when given, one exact line.
    void Expect(const std::string &line, int iResult, const std::string &message = "")
    {
        m_Capture.Clear();
        EXPECT_EQ(Run(line), iResult) << line << "\n" << m_Capture.Text();
        if (!message.empty()) {
            EXPECT_TRUE(m_Capture.Contains(message)) << line << "\n" << m_Capture.Text();
        }
    }
    // Opens the file and, for a file with results, makes its scalar current
    // (the open itself selects none while the NKF display state is not
    // applied).
    void Open(const char *pszName, bool bScalar = true)
    {
        ASSERT_EQ(Run(std::string("open ") + pszName), 0);
        if (bScalar) {
            ASSERT_EQ(Run("readstate 1 1 0"), 0);
        }
    }

    NKModelHooks m_SavedHooks;
    std::filesystem::path m_Dir, m_Saved;
    MessageCapture m_Capture;
};

const char *const kBoundary = "1 0 0.5\n0 0 0.5\n0 1 0.5\n1 1 0.5\n";

TEST_F(CutPlaneCommands, CommandFileCutsAndExportsTheBoundary)
{
    NKTestWriteText("run.qlc", "open hex.nkf\nreadstate 1 1 0\ncutplane 0.5 0.5 0.5 0 0 1\n"
                               "cutplaneexport b.txt\ncutplaneexport b.nkf 1 nkf\n");
    EXPECT_EQ(Run("source run.qlc"), 0);
    EXPECT_EQ(NKTestReadFile("b.txt"), kBoundary);
    EXPECT_EQ(NKTestReadFile("b.nkf"), std::string("*NKF-1.00\n\n*NODES 1\n") + kBoundary +
                                           "*ELEMENTS 1\n%NODES #1\n%POINTS\n1\n2\n3\n4\n"
                                           "*QUOLINGEOMETRY 1\n%NAME \"Cutplane boundary\"\n"
                                           "%ELEMENTS\n1\n");
}

TEST_F(CutPlaneCommands, TypedCutExportsAddsAndLists)
{
    Open("hex.nkf");
    Expect("cutplane 0.5 0.5 0.5 0 0 1", 0, "Cutting plane 1 computed.");
    Expect("cutplaneexport b.txt", 0, "Boundary of cutting plane 1 exported to: b.txt");
    EXPECT_EQ(NKTestReadFile("b.txt"), kBoundary);
    Expect("cutplaneexport nodir/b.txt", 1,
           "Error exporting boundary of cutting plane 1 to: nodir/b.txt");
    EXPECT_FALSE(std::filesystem::exists("nodir/b.txt"));

    Expect("addcutplane", 0, "Cutting plane 2 successfully added and set active.");
    Expect("cutplaneinfo list", 0,
           "Current cutting planes:\n  1: 0.5,0.5,0.5  0,0,1\n  2: 0.5,0.5,0.5  0,0,1  (active)");
    Expect("cutplaneexport c.txt 3", 1,
           "Error in paramter number 2 : <export file name> [<Plane number>] [txt | nkf]\n"
           "Parameter out of range. Value: 3. Legal range: 1 - 2");
    EXPECT_FALSE(std::filesystem::exists("c.txt"));
    // The new plane's surface is computed for the export, without a drawing.
    Expect("cutplaneexport d.txt 2", 0);
    EXPECT_EQ(NKTestReadFile("d.txt"), kBoundary);
}

TEST_F(CutPlaneCommands, PlaneCommandsOnAFreshModel)
{
    Open("hex.nkf");
    Expect("deletecutplane", 1, "deletecutplane: Failed to delete cutting plane 1");
    Expect("cutplane 0.25 0.5 0.75 0 0 0", 0);
    Expect("cutplaneinfo 1", 0,
           "Info on cutting plane 1\n  point:  0.25, 0.5, 0.75\n  normal: 0, 0, 1");
    for (int i = 0; i < 9; i++) Expect("addcutplane", 0);
    Expect("addcutplane", 1, "addcutplane: Failed to add cutting plane");
    Expect("cutplanealign", 0, "Cutting plane aligned to x axis");
    Expect("cutplane 1 x", 1,
           "Error in paramter number 2 : <xp yp zp>  <xn yn zn>\n"
           "Numerical parameter expected. \"x\" is not a number.");
    float p[3];
    g_pCutPlaneSet->GetPlanePoint(-1, p);
    EXPECT_FLOAT_EQ(p[0], 0.25f);
    Expect("deletecutplane all", 0, "All cutting planes deleted");
    EXPECT_EQ(g_pCutPlaneSet->GetNumPlanes(), 1);
}

TEST_F(CutPlaneCommands, VectorGridSamplesTheCut)
{
    Open("hex.nkf");
    Expect("cutplane 0.5 0.5 0.5 0 0 1", 0);
    Expect("cutplanevectors 5", 0, "Display of vectors on cutting plane enabled.");
    NKFrame *pFrame = NKGetCurrentFrame();
    ASSERT_TRUE(NKComputeCutSurfaces(pFrame, g_pCutPlaneSet));
    const VectorGrid &g = pFrame->pCutSurfaces[0]->vectorGrid;
    ASSERT_EQ(g.iCountI, 5);
    ASSERT_EQ(g.iCountJ, 5);
    for (int r = 0; r < 5; r++)
        for (int c = 0; c < 5; c++) {
            int s = r * 5 + c;
            float q[3] = {g.pfPositions[3 * s], g.pfPositions[3 * s + 1], g.pfPositions[3 * s + 2]};
            DisplayToModel(q);
            EXPECT_NEAR(q[0], 1.0f - r / 4.0f, 1e-5f) << c << "," << r;
            EXPECT_NEAR(q[1], c / 4.0f, 1e-5f) << c << "," << r;
            EXPECT_NEAR(q[2], 0.5f, 1e-5f);
            // The crossing-number rule counts a point on the polygon's far
            // edges (c = 4 or r = 4 here) as inside, one on its near edges not.
            bool bInner = r > 0 && r < 4 && c > 0 && c < 4;
            if (bInner || c == 0 || r == 0) {
                EXPECT_EQ(g.pFound[s] != 0, bInner) << c << "," << r;
            }
            if (bInner) {
                EXPECT_NEAR(g.pfValues[s], 0.5f, 1e-5f);
            }
        }
}

TEST_F(CutPlaneCommands, IsoSurfaceAndHighlight)
{
    Open("hex.nkf");
    Expect("isosurface nan", 1, "isosurface: Illegal parameter specified");
    Expect("isosurface 1e39", 1, "isosurface: Illegal parameter specified");
    EXPECT_EQ(g_pIsoSurfaceState->bEnabled, 0);
    Expect("isosurface 0.25", 0, "Isosurface computed with value 0.25");
    NKFrame *pFrame = NKGetCurrentFrame();
    ASSERT_EQ(pFrame->iNumIsoSurfaces, 1);
    const NKIndexedFaceSet &m = pFrame->pIsoSurfaces[0].mesh;
    ASSERT_EQ(m.iNumPolygons, 1);
    EXPECT_EQ(m.piPolygonNumNodes[0], 4);
    for (int n = 0; n < m.iNumNodes; n++) {
        float q[3] = {m.pfCoords[3 * n], m.pfCoords[3 * n + 1], m.pfCoords[3 * n + 2]};
        DisplayToModel(q);
        EXPECT_NEAR(q[2], 0.25f, 1e-5f);
    }
    Expect("noisosurface", 0, "Isosurface disabled.");
    EXPECT_EQ(pFrame->pIsoSurfaces, nullptr);

    Expect("highlightelement 1", 0, "Highlighting element 1 in part 1.");
    EXPECT_EQ(pFrame->bHighlightElement, 1);
    Expect("highlightelement 1 99", 1);
    for (const CapturedLine &line : m_Capture.Lines())  // the echo at most
        EXPECT_TRUE(line.iLevel == NK_MSG_INFO && line.text.rfind("Highlight", 0) != 0)
            << line.text;
    Expect("highlightelement OFF", 0, "Element highlight turned off.");
    EXPECT_EQ(pFrame->bHighlightElement, 0);
}

TEST_F(CutPlaneCommands, NoScalarResultRefusesOrDisables)
{
    Open("bare.nkf", false);
    Expect("isosurface", 1, "isosurface: Cannot calculate isosurface; no scalar data available");
    Expect("cutplane", 1, "cutplane: Cannot calculate cut plane; no scalar data available");
    g_pIsoSurfaceState->bEnabled = 1;
    Expect("isosurface", 0, "isosurface: No scalar results available, disabling isosurface");
    EXPECT_EQ(g_pIsoSurfaceState->bEnabled, 0);
}

TEST_F(CutPlaneCommands, RedrawsOnlyWhatChanges)
{
    Open("hex.nkf");
    g_bViewInvalidated = 0;
    Expect("nocutplanevectors", 0, "Display of vectors on cutting plane disabled.");
    EXPECT_EQ(g_bViewInvalidated, 0);
    Expect("cutplanehighlight", 0, "Highlighting of active cutting plane enabled.");
    EXPECT_EQ(g_bViewInvalidated, 1);
    g_bViewInvalidated = 0;
    Expect("cutplanesurface", 0);  // already on
    EXPECT_EQ(g_bViewInvalidated, 0);
    Expect("nocutplanesurface all", 0);
    EXPECT_EQ(g_bViewInvalidated, 1);
    Expect("cutplanelockrot", 0, "Locking of cutplane rotation enabled.");
    EXPECT_FALSE(g_pCutPlaneSet->Handle().IsRotationEnabled());
}

}  // namespace
