// tests/core/test_nk_graphics_settings.cpp -- the rendering options record:
// its defaults and the three reset modes.
#include <gtest/gtest.h>

#include "core/nk_graphics_settings.h"

namespace {

TEST(GraphicsSettings, DefaultsOfANewRecord)
{
    NKGraphicsSettings *pSettings = NKCreateRenderOptions(nullptr);
    ASSERT_NE(pSettings, nullptr);
    EXPECT_FLOAT_EQ(pSettings->fSmoothNormalAngle, 1.0471976f);
    EXPECT_FLOAT_EQ(pSettings->fOutlineCreaseAngle, 0.5235988f);
    EXPECT_EQ(pSettings->bTextureFringes, 0);
    EXPECT_EQ(pSettings->bZBuffer, 1);
    EXPECT_EQ(pSettings->bCull, 1);
    EXPECT_EQ(pSettings->bPerspective, 1);
    EXPECT_EQ(pSettings->iLineWidth, 1);
    EXPECT_EQ(pSettings->iFogMode, 0x2601);  // GL_LINEAR
    EXPECT_EQ(pSettings->iStartupSetting1, 18);
    EXPECT_EQ(pSettings->iStartupSetting2, -1);
    EXPECT_FLOAT_EQ(pSettings->fStartupFactors[3], 1.0f);
    EXPECT_EQ(pSettings->bChanged, 1);
    NKDestroyRenderOptions(pSettings);
}

TEST(GraphicsSettings, ModelResetKeepsStartupFields)
{
    NKGraphicsSettings settings;
    settings.bStereo = 1;
    settings.iStartupSetting1 = 3;
    settings.bTextureFringes = 1;
    settings.fSmoothNormalAngle = 0.1f;
    settings.bChanged = 0;
    g_bDefaultPolygonOffset = 1;
    ASSERT_TRUE(NKInitRenderOptions(&settings, NK_RENDER_RESET_MODEL));
    EXPECT_EQ(settings.bStereo, 1);
    EXPECT_EQ(settings.iStartupSetting1, 3);
    EXPECT_EQ(settings.bTextureFringes, 0);
    EXPECT_FLOAT_EQ(settings.fSmoothNormalAngle, 1.0471976f);
    EXPECT_EQ(settings.bPolygonOffset, 1);
    EXPECT_EQ(settings.bChanged, 1);
    ASSERT_TRUE(NKInitRenderOptions(&settings, NK_RENDER_RESET_STARTUP));
    EXPECT_EQ(settings.bStereo, 0);
    EXPECT_EQ(settings.iStartupSetting1, 18);
    g_bDefaultPolygonOffset = 0;
    settings.bFog = 1;
    settings.bChanged = 0;
    ASSERT_TRUE(NKInitRenderOptions(&settings, NK_RENDER_RESET_CHANGED));
    EXPECT_EQ(settings.bFog, 1);
    EXPECT_EQ(settings.bChanged, 1);
    EXPECT_FALSE(NKInitRenderOptions(nullptr, 0));
}

TEST(GraphicsSettings, ReadersFallBackWithoutARecord)
{
    ASSERT_EQ(g_pGraphicsSettings, nullptr);
    EXPECT_FLOAT_EQ(NKGetSmoothNormalAngle(), 1.0471976f);
    EXPECT_FALSE(NKTextureFringesOn());
    NKGraphicsSettings settings;
    settings.bTextureFringes = 1;
    settings.fSmoothNormalAngle = 0.5f;
    g_pGraphicsSettings = &settings;
    EXPECT_TRUE(NKTextureFringesOn());
    EXPECT_FLOAT_EQ(NKGetSmoothNormalAngle(), 0.5f);
    g_pGraphicsSettings = nullptr;
}

}  // namespace
