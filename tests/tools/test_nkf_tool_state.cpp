// tests/tools/test_nkf_tool_state.cpp -- the NKF display state as the
// drawing code and the tools fill and apply it: the main settings record of
// the export (viewpoint, mesh factor, fringe table, clipping planes,
// animation, user text) and the fringe table put back by the import.
#include <gtest/gtest.h>

#include <string>

#include "core/nk_export_items.h"
#include "core/nk_model.h"
#include "core/nk_view_state.h"
#include "nkf/nkf_display_hooks.h"
#include "nkf/nkf_export.h"
#include "render/nk_fringe_texture.h"
#include "render/nk_nkf_display_state.h"
#include "render/nk_render_options.h"
#include "render/nk_scene_view.h"
#include "render/nk_text_list.h"
#include "render/nk_view_settings.h"
#include "scene/nk_renderer.h"
#include "tools/nk_cut_plane.h"
#include "tools/nk_nkf_tool_state.h"

namespace {

class NKFToolState : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_pModel = NKCreateModel();
        ASSERT_TRUE(NKInstallRenderer());
        ASSERT_TRUE(NKCreateSurfaceTools());
        NKInstallNKFDisplayState(true);
        NKInstallNKFToolState(true);
        m_SavedAnimation = g_AnimationSettings;
    }
    void TearDown() override
    {
        g_AnimationSettings = m_SavedAnimation;
        NKInstallNKFToolState(false);
        NKInstallNKFDisplayState(false);
        NKDestroySurfaceTools();
        NKShutdownRenderer();
        NKDestroyModel(g_pModel);
        g_pModel = nullptr;
        g_fMeshDepthFactor = 0.0005f;
        g_fDepthEpsilon = 0.0005f;
    }
    // The main record the export would write with these switches.
    NKFMainSettings Fill(bool bViewpoint = true)
    {
        NKFExportSettings settings;
        settings.bViewpoint = bViewpoint;
        NKFMainSettings rec;
        NKFFillMainSettings(&rec, settings);
        return rec;
    }
    // Planes 0..n-1, enabled, clipping where the mask has a bit.
    void MakePlanes(int n, unsigned uClipMask)
    {
        g_pCutPlaneSet->DeletePlane(0, true);
        for (int i = 1; i < n; i++) ASSERT_TRUE(g_pCutPlaneSet->AddPlane(false));
        for (int i = 0; i < n; i++)
            g_pCutPlaneSet->SetFlag(NK_CUTPLANE_CLIP, (uClipMask >> i) & 1u, i, false);
        g_pCutPlaneSet->Enable(true);
    }

    NKAnimationSettings m_SavedAnimation;
};

}  // namespace

TEST_F(NKFToolState, ExportWordsOfTheDisplayState)
{
    const float fUnset = 3.4028235e38f;
    NKFMainSettings rec = Fill(false);
    for (int w = 98; w <= 106; w++) EXPECT_EQ(rec.F(w), fUnset) << w;
    EXPECT_NE(Fill(true).F(98), fUnset);

    g_fDepthEpsilon = 0.0005f;
    g_fMeshDepthFactor = 0.0005f;
    EXPECT_EQ(Fill().F(237), fUnset);
    g_fMeshDepthFactor = 0.001f;
    EXPECT_EQ(Fill().F(237), 0.001f);

    g_pFringeTextureColors->auColors[0] = 255;
    g_pFringeTextureColors->auColors[1] = 0;
    g_pFringeTextureColors->auColors[2] = 0;
    rec = Fill();
    EXPECT_EQ(rec.F(252), 255.0f);
    EXPECT_EQ(rec.F(253), 0.0f);
    EXPECT_EQ(rec.F(254), 0.0f);

    g_AnimationSettings.iFrameInterval = 40;
    g_AnimationSettings.iStartDelay = 1500;
    rec = Fill();
    EXPECT_EQ(rec.I(197), 25);
    EXPECT_EQ(rec.I(200), 25);  // maxfps 25 gives the 40 ms back
    EXPECT_EQ(rec.F(198), 1.5f);
    g_AnimationSettings.iFrameInterval = 0;
    EXPECT_EQ(Fill().I(197), -1);
    EXPECT_EQ(Fill().I(200), -1);

    g_pViewSettings->bShowUserText = 0;
    g_UserText.Text = "kept hidden";
    rec = Fill();
    NKFMainSettings defaults;
    NKFInitMainSettings(&defaults);
    for (int w = 110; w <= 131; w++) EXPECT_EQ(rec.I(w), defaults.I(w)) << w;
    g_pViewSettings->bShowUserText = 1;
    EXPECT_EQ(std::string(Fill().Text(110).GetText()), "kept hidden");
}

TEST_F(NKFToolState, ClippingPlanesInPlaneOrderAtMostSix)
{
    struct Case {
        int iPlanes;
        unsigned uClip;
        int aiWords[6];
    } cases[] = {
        {5, (1u << 1) | (1u << 4), {1, 4, -1, -1, -1, -1}},
        {10, 0x7fu, {0, 1, 2, 3, 4, 5}},
        {3, 0u, {-1, -1, -1, -1, -1, -1}},
    };
    for (const Case &c : cases) {
        MakePlanes(c.iPlanes, c.uClip);
        NKFMainSettings rec = Fill();
        for (int k = 0; k < 6; k++)
            EXPECT_EQ(rec.I(300 + k), c.aiWords[k]) << c.iPlanes << " " << k;
        EXPECT_EQ(rec.I(306), 0);
    }
    // A disabled set gives no clipping words and no plane records.
    g_pCutPlaneSet->Enable(false);
    EXPECT_EQ(Fill().I(300), -1);
    EXPECT_EQ(Fill().I(306), -1);
    EXPECT_EQ(NKCountCutPlaneItems(), 0);
}

TEST_F(NKFToolState, FringeTableComesBackWithoutDrawing)
{
    NKFMainSettings rec;
    NKFInitMainSettings(&rec);
    rec.SetF(252, 255.0f);
    rec.SetF(253, 0.0f);
    rec.SetF(254, 0.0f);
    g_pFringeTextureColors->auColors[0] = 7;
    g_pFringeTextureColors->auColors[3] = 9;
    NKFringeTextureDirty = 0;
    NKFApplyMainSettingsGroup(rec, NKF_MAIN_FRINGE_TABLE);
    EXPECT_EQ(g_pFringeTextureColors->auColors[0], 255);
    EXPECT_EQ(g_pFringeTextureColors->auColors[1], 0);
    EXPECT_EQ(g_pFringeTextureColors->auColors[2], 0);
    EXPECT_EQ(g_pFringeTextureColors->auColors[3], 9);  // unset entries stay
    EXPECT_EQ(NKFringeTextureDirty, 1);
}
