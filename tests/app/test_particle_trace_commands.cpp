// tests/app/test_particle_trace_commands.cpp -- the particle-trace commands
// through the interpreter: option and style confirmations, the animation
// timer, the trace list, the refusals, and a trace through the example beam
// run from a command file.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/nk_system_commands.h"
#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_bbox.h"
#include "core/nk_data_source_kind.h"
#include "core/nk_frames.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_render_state.h"
#include "core/nk_shell_hooks.h"
#include "readers/nk_data_source.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nkf_unit_hex.h"
#include "tests/test_support/test_files.h"
#include "tools/nk_cut_plane.h"
#include "tools/nk_cut_plane_commands.h"
#include "tools/nk_cut_surface.h"
#include "tools/nk_particle_trace.h"

namespace {

// Timer starts (+reason) and stops (-reason), in order.
std::vector<int> g_Timers;

class ParticleTraceCommands : public NKModelTest {
protected:
    void SetUp() override
    {
        NKModelTest::SetUp();
        m_SavedHooks = NKSetModelHooks(NKModelHooks());
        NKShellHooks shell = NKGetShellHooks();
        m_SavedShell = shell;
        shell.pfnStartTimer = [](int i) { g_Timers.push_back(i); };
        shell.pfnStopTimer = [](int i) { g_Timers.push_back(-i); };
        NKSetShellHooks(shell);
        g_Timers.clear();
        NKInstallCommandHooks();
        NKInstallToolHooks();
        NKInstallDataSources();
        NKRegisterFileCommands();
        NKRegisterSystemCommands();
        NKRegisterCutPlaneCommands();
        ASSERT_TRUE(NKCreateSurfaceTools());
        ASSERT_TRUE(NKCreateParticleTraceSet());
        m_Dir = NKTestMakeTempDir("quolin_trace_commands_");
        m_Saved = std::filesystem::current_path();
        std::filesystem::current_path(m_Dir);
        NKTestWriteText("bare.nkf", NKTestBareHex());
    }
    void TearDown() override
    {
        std::filesystem::current_path(m_Saved);
        NKCloseInterface();
        NKSetCommandHandler(NK_HANDLER_SYSTEM, nullptr);
        NKSetCommandHandler(NK_HANDLER_CUT_PLANES, nullptr);
        NKModelTest::TearDown();
        NKDestroyParticleTraceSet();
        NKDestroySurfaceTools();
        NKTestRemoveDir(m_Dir.string());
        NKSetShellHooks(m_SavedShell);
        NKSetModelHooks(m_SavedHooks);
    }
    // Runs the line and expects its result and, when given, one exact line.
    void Expect(const std::string &line, int iResult, const std::string &message = "")
    {
        m_Capture.Clear();
        EXPECT_EQ(ExecuteCommand(line.c_str()), iResult) << line << "\n" << m_Capture.Text();
        if (!message.empty()) {
            EXPECT_TRUE(m_Capture.Contains(message)) << line << "\n" << m_Capture.Text();
        }
    }

    NKModelHooks m_SavedHooks;
    NKShellHooks m_SavedShell;
    std::filesystem::path m_Dir, m_Saved;
    MessageCapture m_Capture;
};

TEST_F(ParticleTraceCommands, OptionsAndStylesConfirmWhatIsStored)
{
    const struct {
        const char *pszLine;
        const char *pszMessage;
    } kRows[] = {
        {"particletraceoptions 2 3 5 0",
         "Particle trace options set to:\n  direction (-1, 0, 1): 0\n  interpolation normal (1, "
         "2): 2\n  results inside elements (0, 1): 1\n  maximum number of steps: 5000"},
        {"particletraceoptions -1 1 0 7 9",
         "Particle trace options set to:\n  direction (-1, 0, 1): -1\n  interpolation normal (1, "
         "2): 1\n  results inside elements (0, 1): 0\n  maximum number of steps: 7"},
        {"particletracemethod 1 -1 0",
         "Particle trace method set to:\n  order of method (0, 1): 1\n  error tolerance: 1e-05\n"
         "  steps per element: 20"},
        {"particletracemethod 0 0.5 7.9 3",
         "Particle trace method set to:\n  order of method (0, 1): 0\n  error tolerance: 0.5\n"
         "  steps per element: 7"},
        {"particletracestopfract 0.25", "fraction-of-largest-vector stop criterion set to 0.25"},
        {"particlelinetail 4 2 1",
         "Particle trace tail line enabled with:\n  timesteps in tail: 4\n  linewidth: 2\n  "
         "single color (0, 1): 1"},
        {"particlepointtail 0 6",
         "Particle trace tail points enabled with:\n  timesteps in tail: 5\n  pointsize: 6\n  "
         "single color (0, 1): 0"},
        {"particlepoint 8 1",
         "Particle trace display of single point enabled with:\n  pointsize: 8\n  single color "
         "(0, 1): 1"},
        {"noparticlepoint", "Particle trace display of single point disabled."},
        {"noparticlelinetail", "Particle trace tail line disabled."},
        {"noparticlepointtail", "Particle trace tail points disabled."},
        {"particleincremental", "Display of incremental particle trace line turned on."},
        {"noparticlestatic", "Display of static particle trace line turned off."},
        {"noparticlestartpoint", "Display of particle trace startpoint(s) turned off."},
        {"particlelinewidth 3", "Particle trace line width set to 3 pixels"},
        {"particlelinewidth -2", "Particle trace line width set to use global line width"},
        {"particlenumpoints -3 0 2", "Setting number of starting points to 3, 0, 2"},
    };
    for (const auto &row : kRows) Expect(row.pszLine, 0, row.pszMessage);
    // A tolerance or step count that is no finite number (or no int) is
    // refused and the method kept.
    for (const char *psz : {"particletracemethod 1 inf", "particletracemethod 1 0.1 nan",
                            "particletracemethod 1 1 1e30", "particletracemethod 1 1 -1e30"})
        Expect(psz, 1, "Illegal parameter specified");
    const TraceComputeOptions &c = g_pParticleTraceSet->GetComputeOptions();
    EXPECT_EQ(c.iMethod, 0);
    EXPECT_FLOAT_EQ(c.fTolerance, 0.5f);
    EXPECT_EQ(c.iStepsPerElement, 7);
    EXPECT_FLOAT_EQ(c.fStopFraction, 0.25f);
    const TraceDisplayOptions &d = g_pParticleTraceSet->GetDisplayOptions();
    EXPECT_EQ(d.bLineTail + d.bPointTail + d.bMovingPoint + d.bStaticLine + d.bStartPoints, 0);
    EXPECT_EQ(d.bIncrementalLine, 1);
    EXPECT_EQ(d.iStaticLineWidth, 0);
    Expect("particletracestopfract 2", 1);
    EXPECT_FLOAT_EQ(g_pParticleTraceSet->GetComputeOptions().fStopFraction, 0.25f);
}

TEST_F(ParticleTraceCommands, AnimationRunsOnTimerFour)
{
    Expect("particleanimate 50", 0, "Animation of particle traces turned on, 50 timesteps.");
    EXPECT_TRUE(g_pParticleTraceSet->IsAnimating());
    Expect("particleanimate", 0, "Animation of particle traces turned on, 50 timesteps.");
    Expect("noparticleanimate", 0, "Animation of particle traces turned off.");
    EXPECT_EQ(g_Timers, (std::vector<int>{4, 4, -4}));
    EXPECT_FALSE(g_pParticleTraceSet->IsAnimating());
}

TEST_F(ParticleTraceCommands, TraceListAddsSelectsAndDeletes)
{
    ASSERT_EQ(ExecuteCommand("open bare.nkf"), 0);  // these commands need a geometry
    Expect("addparticletrace", 0, "Particle trace 2 successfully added and set active.");
    Expect("addparticletrace", 0, "Particle trace 3 successfully added and set active.");
    Expect("selectparticletrace 1", 0, "Particle trace 1 set active.");
    Expect("selectparticletrace 4", 1);
    Expect("deleteparticletrace 2", 0, "Particle trace 2 deleted.");
    EXPECT_EQ(g_pParticleTraceSet->GetNumTraces(), 2);
    for (int i = 0; i < 3; i++) Expect("addparticletrace", 0);
    Expect("addparticletrace", 1, "addparticletrace: Failed to add particle trace");
    // "all" counts only as a whole word.
    Expect("deleteparticletrace overall", 1);
    Expect("deleteparticletrace all", 0, "All particle traces deleted");
    EXPECT_EQ(g_pParticleTraceSet->GetNumTraces(), 1);
}

TEST_F(ParticleTraceCommands, RefusalsNameTheMissingData)
{
    ASSERT_EQ(ExecuteCommand("open bare.nkf"), 0);
    Expect("particletrace", 1,
           "particletrace: Could not turn on display of particle trace, no trace computed");
    Expect("particletrace 0 0 0", 1,
           "particletrace: Cannot calculate particle traces; no vector data available");
    EXPECT_FALSE(g_pParticleTraceSet->IsEnabled());
    Expect("noparticletrace", 0, "Display of particle trace turned off");
}

TEST_F(ParticleTraceCommands, ReservoirSourceNeedsAShownFlowPhase)
{
    ASSERT_EQ(ExecuteCommand("open bare.nkf"), 0);
    NKSetInterfaceType(NK_INTERFACE_RESERVOIR);
    NKSetInterfaceNumTransformations(1);
    for (NKVectorSettings &v : g_SeparateVectorSettings) v.bShown = 0;
    Expect("particletrace 0 0 0", 1, "No vector result visible, please select one field.");
    // With water shown the phase's vectors are read for the current step; a
    // source that has none leaves the frame without vectors.
    g_SeparateVectorSettings[0].bShown = 1;
    Expect("particletrace 0 0 0", 1,
           "particletrace: Cannot calculate particle traces; no vector data available");
    g_SeparateVectorSettings[0].bShown = 0;
    NKSetInterfaceNumTransformations(0);
    NKSetInterfaceType(NK_INTERFACE_NONE);
}

TEST_F(ParticleTraceCommands, BeamTraceRunsFromTopToBottomFace)
{
    NKTestWriteText("run.qlc", "open \"" + NKTestExamplePath("beam.nkf") +
                                   "\"\nreadstate 3 1 1\nparticletrace 5.1 0.4 0.9\n");
    Expect("source run.qlc", 0);
    NKFrame *pFrame = NKGetCurrentFrame();
    ASSERT_NE(pFrame, nullptr);
    ASSERT_GE(pFrame->iNumParticleTraces, 1);
    const ParticleTraceResult *r = pFrame->pParticleTraces[0];
    ASSERT_NE(r, nullptr);
    const TraceLine &line = r->pLines[0];
    ASSERT_NE(line.pFirst, nullptr);
    EXPECT_TRUE(g_pParticleTraceSet->IsEnabled() && g_pParticleTraceSet->IsShown());
    float afLow[3], afHigh[3];
    std::memcpy(afLow, line.pBackward->fEnd, sizeof(afLow));
    std::memcpy(afHigh, line.pForward->fEnd, sizeof(afHigh));
    DisplayToModel(afLow);
    DisplayToModel(afHigh);
    if (afLow[2] < afHigh[2]) std::swap(afLow, afHigh);
    EXPECT_NEAR(afLow[2], 1.0f, 1e-4f);
    EXPECT_NEAR(afHigh[2], 0.0f, 1e-4f);
    for (const TracePoint *p = line.pBackward; p != nullptr; p = p->pNext) {
        float q[3] = {p->fEnd[0], p->fEnd[1], p->fEnd[2]};
        DisplayToModel(q);
        EXPECT_NEAR(q[1], 0.4f, 1e-4f);
    }
    Expect("particletrace", 0, "Display of particletrace turned on.");
}

}  // namespace
