// tests/commands/test_load_sequence.cpp -- the reset before a load, the
// refresh after it, keepsettings, the recent-file list, the start-up command
// files and the close-all reset, through the load slots and the interpreter.
#include <gtest/gtest.h>

#include "core/nk_memory.h"
#include "core/nk_transform_tables.h"
#include "readers/nk_native_result_files.h"
#include "tests/commands/load_sequence_fixture.h"

namespace {

using Lines = std::vector<std::string>;

// The lines that stop playback and remove the tools need a loaded model;
// only the model-state reset runs with message output on.
TEST_F(LoadSequenceTest, ResetRunsTheLinesTheOldStateNeedsAndEmptiesTheModel)
{
    static char s_Object;
    const Lines kModel = {"text3d delete all", "noisosurface", "nocutplane"};
    struct Case {
        bool bPlaying, bPlot, bGeometry;
        Lines before, after;  // the lines around those every reset asks for
    };
    const std::vector<Case> cases = {
        {false, false, false, {}, {}},
        {false, true, false, {}, {"plt kill", "release primitives"}},
        {false, false, true, {}, kModel},
        {true, false, true, {"nosound", "noanim"}, kModel},
    };
    for (const Case &c : cases) {
        if (c.bGeometry) {
            ASSERT_EQ(OpenBeam(), 0);
        }
        NKCreateSoundSourceTable()->bSoundEnabled = g_pModel->animationType = c.bPlaying;
        g_pCurrentPlot = c.bPlot ? reinterpret_cast<PlotRecord *>(&s_Object) : nullptr;
        g_pGlobalPrimitives = c.bPlot ? reinterpret_cast<Primitive3DList *>(&s_Object) : nullptr;
        g_pModel->iModePositiveSteps = 4;
        g_pModel->fAxisScale[1] = 3.0f;
        bFreqResultsScalar = bFreqResultsVector = 1;
        g_ContourSettings.pLevels = static_cast<float *>(NKAlloc(2 * sizeof(float)));
        ASSERT_TRUE(g_TransformationTable.Allocate(2, 1));
        LoadEvents().clear();

        EXPECT_TRUE(ResetStateBeforeLoad("next.nkf"));
        Lines quiet;
        for (const LoadEvent &e : LoadEvents())
            if (!e.bOutputOn) quiet.push_back(e.text);
        Lines expected = c.before;
        for (const char *pszLine :
             {"free cut surfaces", "free iso-surfaces", "close info dialogs", "close plot source"})
            expected.push_back(pszLine);
        expected.insert(expected.end(), c.after.begin(), c.after.end());
        EXPECT_EQ(quiet, expected);
        EXPECT_EQ(Events().back(), "reset state");
        EXPECT_EQ(g_pModel->iNumFrames, 0);
        EXPECT_EQ(g_pModel->fBoundingBox[3], NK_EMPTY_MAX);
        EXPECT_EQ(g_pModel->fAxisScale[1], 1.0f);
        EXPECT_EQ(g_pModel->iModePositiveSteps, -1);
        EXPECT_EQ(bFreqResultsScalar + bFreqResultsVector, 0);
        EXPECT_EQ(g_pGlobalPrimitives, nullptr);
        EXPECT_EQ(g_ContourSettings.pLevels, nullptr);
        EXPECT_EQ(g_TransformationTable.m_iNumSteps, 0);
    }
}

TEST_F(LoadSequenceTest, KeepSettingsDecidesWhetherTheDisplaySettingsSurviveALoad)
{
    for (uint8_t bKeep : {0, 1}) {
        SCOPED_TRACE(bKeep ? "keepsettings" : "nokeepsettings");
        bKeepSettings = bKeep;
        g_fNearClip = 0.5f;
        g_fFarClip = 3.0f;
        g_szStepText = "Load";
        g_pModel->valueRanges[2].from = 4.0f;
        g_SeparateVectorSettings[1].fArrowSize = 3.0f;
        g_MirrorSettings.bEnabled = 1;
        LoadEvents().clear();
        ASSERT_EQ(OpenBeam(), 0);
        EXPECT_EQ(g_fNearClip, bKeep ? 0.5f : 0.01f);
        EXPECT_EQ(g_fFarClip, bKeep ? 3.0f : 8.0f);
        EXPECT_STREQ(g_szStepText.GetText(), bKeep ? "Load" : "");
        EXPECT_EQ(g_pModel->valueRanges[2].from, bKeep ? 4.0f : 1.0f);
        EXPECT_EQ(g_SeparateVectorSettings[1].fArrowSize, bKeep ? 3.0f : 1.0f);
        EXPECT_EQ(g_MirrorSettings.bEnabled, bKeep);
        EXPECT_EQ(Events("autofocus").size(), bKeep ? 0u : 1u);
        EXPECT_EQ(Events("reset state"), Lines{bKeep ? "reset state keep" : "reset state"});
    }
}

TEST_F(LoadSequenceTest, RecentFilesKeepFourFullPathsMostRecentFirst)
{
    const std::vector<std::pair<const char *, std::string>> steps = {
        {"a", "a"},        {"b", "ba"},   {"c", "cba"},
        {"d", "dcba"},     {"e", "edcb"}, {"./c", "cedb"},  // moves up, nothing drops
        {"b", "bced"},                                      // the last one moves up
        {nullptr, "bced"}, {"", "bced"},
    };
    for (const auto &[pszAdd, expected] : steps) {
        AddRecentFile(pszAdd);
        for (int i = 0; i < NK_NUM_RECENT_FILES; i++) {
            std::string name =
                i < static_cast<int>(expected.size()) ? Path(std::string(1, expected[i])) : "";
            EXPECT_EQ(NKGetRecentFile(i).GetText(), name) << (pszAdd ? pszAdd : "null") << i;
        }
    }
}

// While a command file runs, the file that reopens the model is the
// outermost command file.
TEST_F(LoadSequenceTest, RecentFileIsTheOutermostCommandFileWhileOneRuns)
{
    struct Case {
        bool bRunning;
        const char *pszLoaded;
        std::string expected;
    };
    for (const Case &c :
         {Case{false, "model.nkf", Path("model.nkf")}, Case{false, nullptr, ""},
          Case{true, "model.nkf", Path("outer.qlc")}, Case{true, nullptr, Path("outer.qlc")}}) {
        ClearRecentFiles();
        g_CommandRunner.bRunningCommandFile = c.bRunning;
        g_CommandRunner.szCurrentCommandFilePath = "outer.qlc";
        RefreshAfterLoad(c.pszLoaded);
        EXPECT_EQ(NKGetRecentFile(0).GetText(), c.expected);
    }
    g_CommandRunner.bRunningCommandFile = false;
    ClearRecentFiles();
    NKTestWriteText(Path("load.qlc"), "nkf open \"" + ExamplePath("beam.nkf") + "\"\n");
    ASSERT_EQ(ExecuteCommand("source load.qlc"), 0);
    EXPECT_EQ(NKGetRecentFile(0).GetText(), Path("load.qlc"));
}

TEST_F(LoadSequenceTest, StartupFileRunsFromTheUserConfigurationElseFromTheProgramDirectory)
{
    const std::string program = Path("prog/quolin.qlc");
    const std::string home = Path("home/.config/Brovik/quolin.qlc");
    struct Case {
        bool bInProgram, bInHome;
        Lines ran;
    };
    for (const Case &c : {Case{false, false, {}}, Case{true, false, {"program"}},
                          Case{false, true, {"home"}}, Case{true, true, {"home"}}}) {
        std::filesystem::remove(program);
        std::filesystem::remove(home);
        if (c.bInProgram) NKTestWriteText(program, "xctest program\n");
        if (c.bInHome) NKTestWriteText(home, "xctest home\n");
        LoadEvents().clear();
        m_Capture.Clear();
        EXPECT_TRUE(RunStartupCommandFile());
        EXPECT_EQ(Events(), c.ran);
        EXPECT_EQ(m_Capture.HasLine("Running global startup command file...", NK_MSG_INFO),
                  !c.ran.empty());
    }
    // A user's empty file replaces the site's: nothing runs, no failure.
    NKTestWriteText(program, "xctest program\n");
    NKTestWriteText(home, "");
    LoadEvents().clear();
    EXPECT_TRUE(RunStartupCommandFile());
    EXPECT_EQ(Events(), Lines{});
    // A file that is there but cannot be run is the one failure.
    std::filesystem::remove(home);
    std::filesystem::remove(program);
    std::filesystem::create_directories(program);
    EXPECT_FALSE(RunStartupCommandFile());
}

TEST_F(LoadSequenceTest, FileOpenCommandFileDoesNotRunItselfAgain)
{
    NKTestWriteText(Path("home/.config/Brovik/fileopen.qlc"), "xctest first\nxdtest\n");
    for (int iRun = 1; iRun <= 2; iRun++) {
        LoadEvents().clear();
        m_Capture.Clear();
        EXPECT_TRUE(RunFileOpenCommandFile());
        EXPECT_EQ(Events(), (Lines{"first", "nested"}));
        int iShown = 0;
        for (const CapturedLine &line : m_Capture.Lines())
            iShown += line.text == "Running \"file open\" command file...";
        EXPECT_EQ(iShown, 1) << "run " << iRun;
        EXPECT_FALSE(m_Capture.Contains("nested too deeply"));
    }
}

TEST_F(LoadSequenceTest, ResetSceneRunsItsLinesQuietlyAndLeavesNoModel)
{
    ASSERT_EQ(OpenBeam(), 0);
    LoadEvents().clear();
    ResetScene();
    EXPECT_EQ(Events(), (Lines{"noanim", "nofog", "autofocus", "cleartextures all", "noisosurface",
                               "nocutplane", "text3d delete all", "plt kill", "clipfront 0.01",
                               "clipback 8", "redraw view"}));
    for (const LoadEvent &e : LoadEvents()) EXPECT_FALSE(e.bOutputOn) << e.text;
    EXPECT_EQ(g_pModel->iNumFrames, 0);
    EXPECT_EQ(g_pModel->fGeoScale, NK_GEO_SCALE_UNSET);
    EXPECT_EQ(NKFGetParser(), nullptr);
}

}  // namespace
