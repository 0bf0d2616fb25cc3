// tests/render/test_view_state.cpp -- the animation clock, the view
// settings resets, the list-update flags and the display commands, all
// without a GL context.
#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "core/nk_load_hooks.h"
#include "core/nk_view_state.h"
#include "render/nk_background.h"
#include "render/nk_lights.h"
#include "render/nk_view_settings.h"
#include "tests/render/render_fixture.h"
#include "tests/test_support/message_capture.h"

namespace {

// Frames drawn at clock readings 0, 34, 68 ... (one every 34 ms).
std::vector<int> FramesAtSteps(int iCount, uint32_t uStepMs, uint32_t uFirstMs = 0)
{
    std::vector<int> frames;
    for (int i = 0; i < iCount; i++) {
        NKSetTestClock(true, uFirstMs + static_cast<uint32_t>(i) * uStepMs);
        frames.push_back(NKUpdateCurrentFrame(g_pModel, &g_AnimationSettings));
    }
    return frames;
}

}  // namespace

using AnimationClock = NKRenderModelTest;

TEST_F(AnimationClock, ForwardWrapsAndCycleBounces)
{
    MakeModel(5, 5);
    g_pModel->animationType = 1;
    EXPECT_EQ(FramesAtSteps(7, 34), (std::vector<int>{0, 1, 2, 3, 4, 0, 1}));
    g_pModel->iCurrentFrame = 0;
    g_pModel->bAnimationCycle = 1;
    g_AnimationSettings = NKAnimationSettings();
    EXPECT_EQ(FramesAtSteps(10, 34), (std::vector<int>{0, 1, 2, 3, 4, 3, 2, 1, 0, 1}));
}

TEST_F(AnimationClock, StartDelayHoldsFrameZeroAndStoppedModelStays)
{
    MakeModel(5, 5);
    g_pModel->animationType = 1;
    g_AnimationSettings.iStartDelay = 2000;
    NKSetTestClock(true, 1972);
    EXPECT_EQ(NKUpdateCurrentFrame(g_pModel, &g_AnimationSettings), 0);
    NKSetTestClock(true, 2006);
    EXPECT_EQ(NKUpdateCurrentFrame(g_pModel, &g_AnimationSettings), 1);
    g_pModel->animationType = 0;
    EXPECT_EQ(FramesAtSteps(3, 100, 3000), (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(g_AnimationSettings.fFrameRate, 10.0f);
}

TEST_F(AnimationClock, OutOfRangeFramesAreRepairedWithTraces)
{
    MakeModel(3, 3);
    g_pModel->iCurrentFrame = 7;
    g_pModel->iPreviousFrame = -2;
    EXPECT_EQ(NKUpdateCurrentFrame(g_pModel, &g_AnimationSettings), 0);
    EXPECT_EQ(g_pModel->iPreviousFrame, 0);
    EXPECT_EQ(g_pModel->iCurrentFrame, 0);
    EXPECT_STREQ(NKGetLastDiagnosticFunction(), "NKUpdateCurrentFrame");
}

using ViewSettings = NKRenderModelTest;

TEST_F(ViewSettings, ResetModesKeepStartupFieldsAndCoreCopies)
{
    NKViewSettings *v = g_pViewSettings;
    ASSERT_EQ(ExecuteCommand("moveasbox"), NK_CMD_DONE);
    ASSERT_EQ(ExecuteCommand("nomodel"), NK_CMD_DONE);
    v->bShowInfo = 0;
    v->bShowLegend = 1;
    v->bValueFilter = 1;
    g_ValueFilterSettings.bValueFilter = 1;
    EXPECT_EQ(v->bShowModel, 0);
    EXPECT_EQ(v->bShowBox, 1);
    EXPECT_TRUE(NKResetViewSettings(v, NK_VIEW_RESET_KEEP));
    EXPECT_EQ(v->bShowModel, 0);
    EXPECT_TRUE(NKResetViewSettings(v, NK_VIEW_RESET_NEW_MODEL));
    EXPECT_EQ(v->iMoveMode, 1);
    EXPECT_EQ(v->bShowInfo, 0);
    EXPECT_EQ(v->bShowModel, 1);
    EXPECT_EQ(v->bShowBox, 0);
    EXPECT_EQ(v->bShowLegend, 0);
    EXPECT_EQ(g_ValueFilterSettings.bValueFilter, 0);
    EXPECT_EQ(g_ValueFilterSettings.fFilterMin, -1e12f);
    EXPECT_TRUE(NKResetViewSettings(v, NK_VIEW_RESET_STARTUP));
    EXPECT_EQ(v->iMoveMode, 0);
    EXPECT_EQ(v->bShowInfo, 1);
    EXPECT_FALSE(NKResetViewSettings(nullptr, NK_VIEW_RESET_NEW_MODEL));
}

TEST(ListUpdates, MaterialRangesOnlyGrowAndNullIsTraced)
{
    struct Case {
        int a0, a1, b0, b1, first, last;
    };
    const Case cases[] = {{3, 5, 1, 2, 1, 5}, {3, 5, -1, -1, -1, -1}, {-1, -1, 3, 5, -1, -1}};
    for (const Case &c : cases) {
        NKListUpdateInfo info;
        NKFlagMaterialsForUpdate(&info, c.a0, c.a1);
        NKFlagMaterialsForUpdate(&info, c.b0, c.b1);
        EXPECT_EQ(info.iMaterialFirst, c.first);
        EXPECT_EQ(info.iMaterialLast, c.last);
        EXPECT_TRUE(NKNeedListUpdate(&info));
        NKClearListUpdateInfo(&info);
        EXPECT_FALSE(NKNeedListUpdate(&info));
    }
    NKResetDiagnostics();
    EXPECT_FALSE(NKNeedListUpdate(nullptr));
    NKSetupDefaultLights(nullptr);
    EXPECT_STREQ(NKGetLastDiagnostic(), "NULL pointer passed");
    EXPECT_STREQ(NKGetLastDiagnosticFunction(), "NKSetupDefaultLights");
}

using ViewCommands = NKRenderModelTest;

TEST_F(ViewCommands, DisplaySwitchPrintsOnceAndFovNeedsAPositiveNumber)
{
    MakeModel(1, 1);
    MessageCapture capture;
    EXPECT_EQ(ExecuteCommand("nodisplay"), NK_CMD_DONE);
    EXPECT_EQ(ExecuteCommand("nodisplay"), NK_CMD_DONE);
    int iCount = 0;
    for (const CapturedLine &l : capture.Lines())
        if (l.text == "Updating of graphics scene disabled") iCount++;
    EXPECT_EQ(iCount, 1);
    EXPECT_FALSE(NKDrawScene(-1, 1, 1));
    capture.Clear();
    EXPECT_EQ(ExecuteCommand("fov 0"), NK_CMD_FAILED);
    EXPECT_TRUE(capture.Contains("fov: Field of view must be a number > 0."));
    EXPECT_EQ(ExecuteCommand("fov 20"), NK_CMD_DONE);
    const float fTwenty = g_fFieldOfViewFactor;
    for (const char *psz : {"fov inf", "fov nan", "fov 1e39", "fov wide"}) {
        EXPECT_EQ(ExecuteCommand(psz), NK_CMD_FAILED) << psz;
        EXPECT_EQ(g_fFieldOfViewFactor, fTwenty) << psz;
    }
    EXPECT_EQ(ExecuteCommand("fov default"), NK_CMD_DONE);
    EXPECT_NEAR(fTwenty, g_fFieldOfViewFactor, 1e-6f);
}

TEST_F(ViewCommands, LightStatusAndPropertyErrors)
{
    MakeModel(1, 1);
    MessageCapture capture;
    g_pLights[2].bOn = 1;
    EXPECT_EQ(ExecuteCommand("light 1 0"), NK_CMD_DONE);
    std::vector<std::string> want = {"Light source status:", "  - Light 1: ON"};
    for (int i = 2; i <= 6; i++) want.push_back("  - Light " + std::to_string(i) + ": OFF");
    std::vector<std::string> got;
    for (const CapturedLine &l : capture.Lines())
        if (l.text.find("Light") != std::string::npos) got.push_back(l.text);
    // Light 3 was on and is not named: it keeps its state.
    want[3] = "  - Light 3: ON";
    EXPECT_EQ(got, want);
    EXPECT_EQ(g_pListUpdateInfo->bLightSwitches, 1);
    capture.Clear();
    EXPECT_EQ(ExecuteCommand("lightproperties 7"), NK_CMD_FAILED);
    EXPECT_TRUE(capture.Contains(
        "lightproperties: Illegal or missing light number specification (legal number 1 -> 6)"));
    EXPECT_EQ(ExecuteCommand("lightproperties 2 shiny"), NK_CMD_FAILED);
    NKClearListUpdateInfo(g_pListUpdateInfo);
    EXPECT_EQ(ExecuteCommand("lightproperties 2 cutoff 30"), NK_CMD_DONE);
    EXPECT_EQ(g_pLights[1].fSpotCutoff, 30.0f);
    EXPECT_EQ(ExecuteCommand("lightproperties 2 diffuse 0.5"), NK_CMD_DONE);
    EXPECT_EQ(g_pLights[1].diffuse[0], 0.5f);
    EXPECT_EQ(g_pLights[1].diffuse[1], 1.0f);  // left out: kept
    EXPECT_EQ(g_pListUpdateInfo->bLights, 1);
}

TEST_F(ViewCommands, AxisFogAndBoxFollowTheirRules)
{
    MakeModel(1, 1);
    MessageCapture capture;
    struct Case {
        const char *pszLine;
        int iFlags;
        const char *pszMessage;
    };
    const Case cases[] = {{"axis", 15, "Enabled drawing of axis (origo and fixed)"},
                          {"noaxis", 0, "Disabled drawing of axis (origo and fixed)"},
                          {"axis fixed", 2, "Enabled drawing of axis (fixed)"},
                          {"axis origo", 3, "Enabled drawing of axis (origo)"},
                          {"noaxis f", 1, "Disabled drawing of axis (fixed)"}};
    for (const Case &c : cases) {
        capture.Clear();
        EXPECT_EQ(ExecuteCommand(c.pszLine), NK_CMD_DONE) << c.pszLine;
        EXPECT_EQ(g_pViewSettings->iAxisFlags, c.iFlags) << c.pszLine;
        EXPECT_TRUE(capture.HasLine(c.pszMessage)) << c.pszLine;
    }
    g_pGraphicsSettings->iFogMode = GL_EXP;
    EXPECT_EQ(ExecuteCommand("fog 2"), NK_CMD_DONE);
    EXPECT_EQ(g_pGraphicsSettings->fFogStart, 2.0f);
    EXPECT_EQ(g_pGraphicsSettings->fFogEnd, 8.0f);
    EXPECT_EQ(g_pGraphicsSettings->iFogMode, GL_EXP);
    // Planes that are no finite numbers: refused, mode and planes kept.
    for (const char *psz : {"fog linear nan", "fog exp2 1 inf", "fog 1e39", "fog view nan"}) {
        capture.Clear();
        EXPECT_EQ(ExecuteCommand(psz), NK_CMD_FAILED) << psz;
        EXPECT_EQ(g_pGraphicsSettings->iFogMode, GL_EXP) << psz;
        EXPECT_EQ(g_pGraphicsSettings->fFogStart, 2.0f) << psz;
        EXPECT_EQ(g_pGraphicsSettings->fFogEnd, 8.0f) << psz;
    }
    EXPECT_EQ(ExecuteCommand("fog bogus"), NK_CMD_FAILED);
    EXPECT_EQ(ExecuteCommand("fog view"), NK_CMD_FAILED);
    EXPECT_EQ(ExecuteCommand("nomodel"), NK_CMD_DONE);
    EXPECT_EQ(ExecuteCommand("nobox"), NK_CMD_DONE);
    EXPECT_EQ(g_pViewSettings->bShowModel + g_pViewSettings->bShowBox, 0);
}

TEST(BackgroundSettings, ResetBlackensAllButInKeepMode)
{
    struct Case {
        int iMode;
        bool bCleared;
    };
    const Case cases[] = {{NK_BACKGROUND_RESET_STARTUP, true},
                          {NK_BACKGROUND_RESET_NEW_MODEL, true},
                          {NK_BACKGROUND_RESET_KEEP, false}};
    for (const Case &c : cases) {
        NKBackgroundSettings b;
        b.iMode = 3;
        b.ucColors[0][0] = 10;
        b.ucColors[9][2] = 200;
        EXPECT_TRUE(NKResetBackgroundSettings(&b, c.iMode));
        EXPECT_EQ(b.iMode, c.bCleared ? 0 : 3) << c.iMode;
        EXPECT_EQ(b.ucColors[0][0], c.bCleared ? 0 : 10) << c.iMode;
        EXPECT_EQ(b.ucColors[9][2], c.bCleared ? 0 : 200) << c.iMode;
    }
    EXPECT_FALSE(NKResetBackgroundSettings(nullptr, NK_BACKGROUND_RESET_STARTUP));
}

using RendererRecords = NKRenderModelTest;

TEST_F(RendererRecords, ListUpdateRecordIsMadeFlaggedAndHandedBack)
{
    NKListUpdateInfo *pOwn = g_pListUpdateInfo;
    EXPECT_TRUE(pOwn->bLights && pOwn->bLightingModels && pOwn->bMaterials);
    EXPECT_TRUE(pOwn->bPartTextures && pOwn->bTextureImages && pOwn->bLightSwitches);
    EXPECT_EQ(pOwn->iMaterialFirst, -1);
    NKShutdownRenderer();
    NKListUpdateInfo *pCore = g_pListUpdateInfo;
    ASSERT_NE(pCore, nullptr);
    EXPECT_NE(pCore, pOwn);
    *pCore = NKListUpdateInfo();  // as an earlier test's commands may have left it
    NKFlagMaterialsForUpdate(g_pListUpdateInfo, 2, 3);  // the commands still flag
    EXPECT_EQ(pCore->iMaterialLast, 3);
    *pCore = NKListUpdateInfo();
    ASSERT_TRUE(NKInstallRenderer());
    EXPECT_NE(g_pListUpdateInfo, pCore);
}
