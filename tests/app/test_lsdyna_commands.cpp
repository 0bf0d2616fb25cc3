// End-to-end tests of the LS-DYNA plot database through the interpreter:
// opendynastatedb on the shell fixture (states in one or two files) with
// the result listing, a cut header or geometry that keeps the model, open on every
// shared family, swapdynatitle and the shellaxes command.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/nk_system_commands.h"
#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "commands/nk_command_table.h"
#include "commands/nk_open_commands.h"
#include "commands/nk_shell_axes_command.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_render_state.h"
#include "platform/nk_progress_ui.h"
#include "readers/nk_data_source.h"
#include "readers/nk_lsdyna_format.h"
#include "readers/nk_shell_axes.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/test_support/lsdyna_test_writer.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

namespace {

std::string SharedDir() { return NKTestSharedDataDir() + "/lsdyna/"; }

// Stands in for the plot handler, which hands shellaxes to its function.
int PlotSlot(CommandTableEntry *pEntry, const char *pszArguments)
{
    if (pEntry->id != NK_CID_SHELLAXES) return NK_CMD_NOT_MINE;
    return NKShellAxesCommand(pEntry, pszArguments);
}

class LSDynaCommands : public NKModelTest {
protected:
    void SetUp() override
    {
        NKModelTest::SetUp();
        m_SavedHooks = NKSetModelHooks(NKModelHooks());
        NKInstallDataSources();
        NKRegisterFileCommands();
        NKRegisterSystemCommands();
        NKSetCommandHandler(NK_HANDLER_PLOT, PlotSlot);
        m_Dir = NKTestMakeTempDir("quolin_lsdyna_commands_");
    }
    void TearDown() override
    {
        NKCloseInterface();
        g_ShellAxes.DisableAll();
        NKLSDynaSetTitleByteSwap(false);
        NKSetCommandHandler(NK_HANDLER_PLOT, nullptr);
        NKSetCommandHandler(NK_HANDLER_SYSTEM, nullptr);
        NKTestRemoveDir(m_Dir);
        NKSetModelHooks(m_SavedHooks);
        NKModelTest::TearDown();
    }
    int Run(const std::string &line) { return ExecuteCommand(line.c_str()); }
    std::string Path(const char *pszName) { return m_Dir + "/" + pszName; }
    // The fixture with states 0 and 0.001 in d3plot (or the end marker
    // there and all four in d3plot01), and two files that are no members.
    void WriteFixture(bool bEndMarker)
    {
        ASSERT_GT(LSDynaWriteFamilyFixture(m_Dir, bEndMarker), 0);
    }

    NKModelHooks m_SavedHooks;
    std::string m_Dir;
    MessageCapture m_Capture;
};

TEST_F(LSDynaCommands, StateDatabaseOpensAndListsItsResults)
{
    for (bool bEndMarker : {false, true}) {
        WriteFixture(bEndMarker);
        m_Capture.Clear();
        std::string db = Path("d3plot");
        ASSERT_EQ(Run("opendynastatedb " + db), 0) << m_Capture.Text();
        EXPECT_TRUE(m_Capture.HasLine("LS-DYNA state database " + db + " loaded."))
            << m_Capture.Text();
        std::string info = Path("info.txt");
        ASSERT_TRUE(ExportResultInfo(info.c_str()));
        std::string text = NKTestReadFile(info);
        for (const char *pszLine :
             {"*INTERFACE_TYPE: LS-DYNA", "*STATES: 4", "1: Time: 0.00000e+00",
              "4: Time: 3.00000e-03", "*SCALARS: 7", "1: X Coordinate", "7: Z Displacement",
              "*VECTORS: 1", "1: Displacement"})
            EXPECT_NE(text.find(pszLine), std::string::npos) << pszLine << "\n" << text;
    }
}

// A database cut inside its header, and one cut inside its geometry, fail
// to open; the model opened before stays, with its own database open and
// still read.
TEST_F(LSDynaCommands, CutHeaderFailsAndKeepsTheModel)
{
    WriteFixture(false);
    ASSERT_EQ(Run("opendynastatedb " + Path("d3plot")), 0);
    NKGeometry *pGeo = g_pModel->pFrames[0].pGeometry;
    std::filesystem::create_directory(Path("cut"));
    LSDynaTestWriter whole;
    LSDynaWriteShellGeometry(&whole);
    for (size_t iWords : {size_t(40), whole.bytes.size() / 4 - 8}) {
        SCOPED_TRACE(iWords);
        LSDynaTestWriter cut;
        LSDynaWriteShellGeometry(&cut);
        cut.bytes.resize(iWords * 4);
        ASSERT_TRUE(cut.Save(Path("cut/d3plot")));
        m_Capture.Clear();
        EXPECT_EQ(Run("opendynastatedb " + Path("cut/d3plot")), 1);
        // The open's progress ends with its text on the status line, which
        // the database opened again leaves alone.
        EXPECT_EQ(NKGetHeadlessProgressUI()->GetStatusText(), "Error opening state database.");
        EXPECT_EQ(g_pModel->iNumFrames, 1);
        EXPECT_EQ(g_pModel->pFrames[0].pGeometry, pGeo);
        NKString source;
        NKGetInterfaceFileName(&source);
        EXPECT_EQ(std::string(source.GetText()), Path("d3plot"));
        EXPECT_EQ(Run("readstate 2"), 0) << m_Capture.Text();
        pGeo = g_pModel->pFrames[0].pGeometry;
    }
}

TEST_F(LSDynaCommands, EverySharedFamilyOpens)
{
    NK_SKIP_WITHOUT_SHARED_TESTDATA();
    for (const char *pszPath :
         {"qd-cae/d3plot", "lasso-python/d3plot_beamip/d3plot",
          "lasso-python/d3plot_node_temperature/d3plot", "lasso-python/d3plot_solid_int/d3plot",
          "lasso-python/order_d3plot/d3plot", "ansys-example-data/d3plot/d3plot",
          "ansys-example-data/d3plot_beam/d3plot", "ansys-example-data/d3plot_projectile/d3plot",
          "ansys-example-data/bird_strike_incomplete/d3plot", "pladebuk/d3plot_incomplete"}) {
        m_Capture.Clear();
        EXPECT_EQ(Run("open \"" + SharedDir() + pszPath + "\""), 0) << pszPath << "\n"
                                                                    << m_Capture.Text();
        EXPECT_FALSE(m_Capture.Contains("Can't decide if little-endian")) << pszPath;
        EXPECT_GE(g_pModel->iNumFrames, 1) << pszPath;
    }
}

TEST_F(LSDynaCommands, TitleSwapAndShellAxesSwitches)
{
    WriteFixture(false);
    ASSERT_EQ(Run("opendynastatedb " + Path("d3plot")), 0);  // shellaxes needs a model
    struct Case {
        const char *line;
        int iResult;
        const char *message;
    } cases[] = {
        {"swapdynatitle", 0, "Byte swapping of LS-DYNA title string is disabled."},
        {"swapdynatitle  ON ", 0, "Enabling byte swapping of LS-DYNA title string."},
        {"swapdynatitle", 0, "Byte swapping of LS-DYNA title string is enabled."},
        {"swapdynatitle yes", 0, "Disabling byte swapping of LS-DYNA title string."},
        {"shellaxes", 0, "Drawing of shell strain axes is  disabled."},
        {"shellaxes coordsys on", 0, "Drawing of shell local coordinate system axes  enabled."},
        {"shellaxes strains on", 0, "Drawing of shell strain axes  enabled."},
        {"shellaxes coordsys off", 0, "Drawing of shell local coordinate system axes  disabled."},
        {"shellaxes strains yes", 0, "Drawing of shell strain axes  disabled."},
        {"shellaxes x", 1, "shellaxes: Could not find sub command"},
    };
    for (const Case &c : cases) {
        m_Capture.Clear();
        EXPECT_EQ(Run(c.line), c.iResult) << c.line;
        EXPECT_TRUE(m_Capture.Contains(c.message)) << c.line << "\n" << m_Capture.Text();
        if (std::string(c.line) == "shellaxes coordsys off") {
            // The strain axes are still on: element picking stays.
            EXPECT_TRUE(g_SelectionList.bEnabled);
            EXPECT_EQ(g_SelectionList.iMode, 2);
            EXPECT_EQ(NKSelectionFeedbackMode, 0);
        }
    }
    EXPECT_FALSE(NKLSDynaGetTitleByteSwap());
    EXPECT_FALSE(g_SelectionList.bEnabled);
    EXPECT_EQ(NKSelectionFeedbackMode, 1);
}

}  // namespace
