// tests/app/test_app_records.cpp -- the program's records: start-up makes
// them and shut-down frees them (run under AddressSanitizer, which reports
// any record left behind), and the reset before a model load, reached as the
// load sequence reaches it, through the core slot ResetModelState.
#include <gtest/gtest.h>

#include <cstring>

#include "app/nk_app_records.h"
#include "app/nk_shell_services.h"
#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "commands/nk_macros.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_movie_settings.h"
#include "core/nk_render_state.h"
#include "core/nk_shell_hooks.h"
#include "core/nk_sound_sources.h"
#include "core/nk_view_state.h"
#include "platform/nk_gl_context.h"
#include "readers/nk_data_source.h"
#include "readers/nk_native_result_files.h"
#include "render/nk_camera.h"
#include "render/nk_fringe_commands.h"
#include "render/nk_fringe_texture.h"
#include "render/nk_lights.h"
#include "render/nk_node_colors.h"
#include "render/nk_part_overlays.h"
#include "render/nk_render_options.h"
#include "render/nk_ride.h"
#include "render/nk_view_settings.h"
#include "scene/nk_scene.h"
#include "tools/nk_cut_plane.h"
#include "tools/nk_cut_surface.h"
#include "tools/nk_iso_surface.h"
#include "tools/nk_manipulator.h"
#include "tools/nk_sound_playback.h"

namespace {

// Every global pointer start-up fills, by name.
struct GlobalRecord {
    const char *pszName;
    const void *(*pfnGet)(void);
};
const GlobalRecord kGlobals[] = {
    {"g_pModel", [] { return (const void *)g_pModel; }},
    {"g_pViewSettings", [] { return (const void *)g_pViewSettings; }},
    {"g_pGraphicsSettings", [] { return (const void *)g_pGraphicsSettings; }},
    {"g_pMovieSettings", [] { return (const void *)g_pMovieSettings; }},
    {"g_pLights", [] { return (const void *)g_pLights; }},
    {"g_pLightModels", [] { return (const void *)g_pLightModels; }},
    {"g_pFringeTextureColors", [] { return (const void *)g_pFringeTextureColors; }},
    {"g_pCutPlaneSet", [] { return (const void *)g_pCutPlaneSet; }},
    {"g_pIsoSurfaceState", [] { return (const void *)g_pIsoSurfaceState; }},
    {"results interface", [] { return (const void *)NKGetResultsInterface(); }},
    {"g_pSoundSourceTable", [] { return (const void *)g_pSoundSourceTable; }},
    {"g_pManipulatorList", [] { return (const void *)g_pManipulatorList; }},
    {"g_pRuler", [] { return (const void *)g_pRuler; }},
    {"g_pLegendBox", [] { return (const void *)g_pLegendBox; }},
    {"filter box", [] { return (const void *)NKGetVectorFilterBox(); }},
    {"g_pVectorFilterBox", [] { return (const void *)g_pVectorFilterBox; }},
};

void ExpectEveryGlobal(bool bMade)
{
    for (const GlobalRecord &record : kGlobals)
        EXPECT_EQ(record.pfnGet() != nullptr, bMade) << record.pszName;
}

TEST(AppRecords, ExitClearsEveryPointerAndASecondRunStartsFresh)
{
    for (int iRun = 0; iRun < 2; iRun++) {
        ASSERT_TRUE(InitApplication()) << iRun;
        ASSERT_TRUE(InitRuntimeDefaults());
        ExpectEveryGlobal(true);
        EXPECT_EQ(g_AnimationSettings.iStartDelay, 0);
        EXPECT_EQ(g_MacroList.GetNumMacros(), 0);
        EXPECT_EQ(g_fNearClip, 0.01f);
        EXPECT_EQ(g_fFarClip, 8.0f);
        g_AnimationSettings.iStartDelay = 500;
        g_MacroList.Add(1, "m", "m.qlc");
        g_fFarClip = 3.0f;
        g_pSoundManager = new SoundManager(nullptr);
        ExitApplication();
        ExpectEveryGlobal(false);
        EXPECT_EQ(g_pSoundManager, nullptr);
        EXPECT_EQ(NKSelectionFeedbackMode, 1);
    }
}

TEST(AppRecords, StartUpListsTheToolsHandlesAndKeepsItsOwnOutside)
{
    ASSERT_TRUE(InitApplication());
    ASSERT_EQ(g_pManipulatorList->GetCount(), 4);
    const char *const kListed[4] = {"Cutting Plane", "Iso Surface Slider", "Particle Trace",
                                    "LOD Selector"};
    for (int i = 0; i < 4; i++)
        EXPECT_STREQ(g_pManipulatorList->Get(i)->GetName().GetText(), kListed[i]);
    const Manipulator *apOwn[3] = {g_pRuler, g_pLegendBox, NKGetVectorFilterBox()};
    const char *const kOwn[3] = {"3D Ruler", "3D Legend", "Filter Box"};
    for (int i = 0; i < 3; i++) {
        EXPECT_STREQ(apOwn[i]->GetName().GetText(), kOwn[i]);
        EXPECT_EQ(g_pManipulatorList->IndexOf(apOwn[i]), -1);
        EXPECT_FALSE(apOwn[i]->IsEnabled());
    }
    EXPECT_TRUE(g_pRuler->IsShown());
    EXPECT_FALSE(NKAreManipulatorsEnabled());
    EXPECT_EQ(g_pVectorFilterBox, NKGetVectorFilterBox()->GetOrientedBoxPointer());
    // The legend commands list the legend box only while the handles are
    // offered.
    NKInstallToolHooks();
    NKRegisterFringeCommands();
    EXPECT_EQ(ExecuteCommand("legend"), 0);
    EXPECT_EQ(g_pManipulatorList->IndexOf(g_pLegendBox), -1);
    NKSetManipulatorsEnabled(true);
    EXPECT_EQ(ExecuteCommand("legend"), 0);
    EXPECT_EQ(g_pManipulatorList->IndexOf(g_pLegendBox), 4);
    EXPECT_TRUE(g_pLegendBox->IsEnabled());
    EXPECT_EQ(ExecuteCommand("nolegend"), 0);
    EXPECT_EQ(g_pManipulatorList->GetCount(), 4);
    NKSetManipulatorsEnabled(false);
    NKSetCommandHandler(NK_HANDLER_FRINGES, nullptr);
    ExitApplication();
}

// ---- The reset before a load ---------------------------------------------------

const uint8_t kLegend[5][3] = {{0, 0, 255}, {0, 255, 255}, {0, 255, 0}, {255, 255, 0}, {255, 0, 0}};

class ModelStateReset : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_SavedHooks = NKGetShellHooks();
        NKInstallShellHooks();
        // A reset that builds the stipple lists leaves their base set.
        g_uStippleListBase = 0;
        ASSERT_TRUE(InitApplication());
        ASSERT_TRUE(InitRuntimeDefaults());
    }
    void TearDown() override
    {
        ExitApplication();
        std::memset(g_uContourLineColor, 255, sizeof g_uContourLineColor);
        g_iContourLineWidth = 1;
        NKInitNavigation(g_ViewMatrix, &g_InputState);
        NKSetShellHooks(m_SavedHooks);
        g_uStippleListBase = 0;
    }
    // Everything a kept reset must leave and a full one must put back.
    static void ChangeDisplayState(void)
    {
        std::memset(NKFringeColors, 7, sizeof NKFringeColors);
        std::memset(NKUndefinedValueColor, 7, sizeof NKUndefinedValueColor);
        g_AnimationSettings.iStartDelay = 300;
        g_AnimationSettings.iStopDelay = 400;
        g_bFringesShown = 1;
        g_SeparateVectorSettings[2].bShown = 1;
        g_ContourSettings.bAutoRange = 0;
        std::memset(g_uContourLineColor, 7, sizeof g_uContourLineColor);
        g_iContourLineWidth = 3;
        g_bAutoFringeRange = 0;
        g_fMeshDepthFactor = 0.25f;
        std::memset(g_uMeshColor, 7, sizeof g_uMeshColor);
        const float afPoint[3] = {1, 2, 3};
        NKSetRotationPoint(afPoint);
    }
    // What every reset clears: a selection with one pick, ride, reader
    // flags and a changed fringe texture table.
    static void ChangeLoadState(void)
    {
        g_SelectionList.SetEnabled(true);
        g_SelectionList.ppPicks = (NKPickInfo **)NKCalloc(1, sizeof(NKPickInfo *));
        g_SelectionList.ppPicks[0] = (NKPickInfo *)NKCalloc(1, sizeof(NKPickInfo));
        g_SelectionList.iCapacity = g_SelectionList.iCount = 1;
        g_RideSpec.bInUse = 1;
        bFreqResultsScalar = bFreqResultsVector = 1;
        g_pFringeTextureColors->auColors[0] = 99;
        g_pSoundManager = new SoundManager(nullptr);
        NKSelectionFeedbackMode = 3;
    }
    static void ExpectLoadStateCleared(void)
    {
        EXPECT_EQ(g_SelectionList.bEnabled, 0);
        EXPECT_EQ(g_SelectionList.iCount, 0);
        EXPECT_EQ(g_SelectionList.ppPicks, nullptr);
        EXPECT_EQ(g_RideSpec.bInUse, 0);
        EXPECT_EQ(bFreqResultsScalar + bFreqResultsVector, 0);
        EXPECT_NE(g_pFringeTextureColors->auColors[0], 99);
        EXPECT_EQ(g_pSoundManager, nullptr);
        EXPECT_EQ(NKSelectionFeedbackMode, 1);
    }
    NKShellHooks m_SavedHooks;
};

TEST_F(ModelStateReset, KeepLeavesColoursDelaysAndStipplesAndStillClearsTheSelection)
{
    ChangeDisplayState();
    ChangeLoadState();
    ResetModelState(true);
    for (int i = 0; i < 5; i++) EXPECT_EQ(NKFringeColors[i][0], 7) << i;
    EXPECT_EQ(NKUndefinedValueColor[2], 7);
    EXPECT_EQ(g_uMeshColor[0], 7);
    EXPECT_EQ(g_uContourLineColor[1], 7);
    EXPECT_EQ(g_iContourLineWidth, 3);
    EXPECT_EQ(g_AnimationSettings.iStartDelay, 300);
    EXPECT_EQ(g_AnimationSettings.iStopDelay, 400);
    EXPECT_EQ(g_bFringesShown, 1);
    EXPECT_EQ(g_fMeshDepthFactor, 0.25f);
    EXPECT_TRUE(NKGetRotationPoint(nullptr));
    EXPECT_EQ(g_uStippleListBase, 0u);
    ExpectLoadStateCleared();
}

TEST_F(ModelStateReset, WithoutKeepEverySettingTakesItsDefault)
{
    ChangeDisplayState();
    ChangeLoadState();
    g_ViewMatrix[12] = 0.5f;
    ResetModelState(false);
    for (int i = 0; i < 5; i++)
        for (int k = 0; k < 3; k++) EXPECT_EQ(NKFringeColors[i][k], kLegend[i][k]) << i << k;
    EXPECT_EQ(NKUndefinedValueColor[0] + NKUndefinedValueColor[1], 0);
    EXPECT_EQ(NKUndefinedValueColor[2], 255);
    EXPECT_EQ(g_uMeshColor[0] + g_uMeshColor[1] + g_uMeshColor[2], 0);
    EXPECT_EQ(g_AnimationSettings.iStartDelay + g_AnimationSettings.iStopDelay, 0);
    EXPECT_EQ(g_bFringesShown + g_SeparateVectorSettings[2].bShown, 0);
    EXPECT_EQ(g_ContourSettings.bAutoRange + g_bAutoFringeRange, 2);
    for (int k = 0; k < 3; k++) EXPECT_EQ(g_uContourLineColor[k], 255) << k;
    EXPECT_EQ(g_iContourLineWidth, 1);
    EXPECT_EQ(g_fMeshDepthFactor, g_fDepthEpsilon);
    EXPECT_FALSE(NKGetRotationPoint(nullptr));
    EXPECT_EQ(g_ViewMatrix[12], 0.5f);  // the view stays
    ExpectLoadStateCleared();
}

TEST_F(ModelStateReset, WithAContextOnlyAFullResetRebuildsTheStippleLists)
{
    if (!NKEnsureGuiApplication()) GTEST_SKIP() << "no display";
    NKGLContext *pContext = NKCreateOffscreenGLContext(16, 16);
    ASSERT_NE(pContext, nullptr);
    ResetModelState(true);
    EXPECT_EQ(g_uStippleListBase, 0u);
    NKFringeTextureDirty = 1;
    ResetModelState(false);
    EXPECT_NE(g_uStippleListBase, 0u);
    EXPECT_EQ(NKFringeTextureDirty, 0);  // uploaded at once
    NKDestroyGLContext(pContext);
}

TEST_F(ModelStateReset, ALoadFromACommandFileLeavesTheRunnerRunning)
{
    g_CommandRunner.bRunningCommandFile = true;
    ResetModelState(false);
    EXPECT_TRUE(g_CommandRunner.bRunningCommandFile);
    g_CommandRunner.bRunningCommandFile = false;
}

}  // namespace
