// tests/render/test_gl_legend.cpp -- the colour legend, title block and
// axis triad, the backgrounds and the screen overlays, drawn off-screen at
// 800 x 600 and read back; texts are read from the overlay text queue and
// the label overlay. Ends with the example beam drawn with its legend.
#include <GL/gl.h>

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_image_record.h"
#include "core/nk_load_hooks.h"
#include "core/nk_model_hooks.h"
#include "core/nk_view_state.h"
#include "platform/nk_font_raster.h"
#include "platform/nk_gl_context.h"
#include "readers/nk_data_source.h"
#include "readers/nk_fem_interface.h"
#include "render/nk_camera.h"
#include "render/nk_fringe_commands.h"
#include "render/nk_label_overlay.h"
#include "render/nk_legend.h"
#include "render/nk_node_colors.h"
#include "render/nk_overlays.h"
#include "render/nk_text.h"
#include "render/nk_text_list.h"
#include "render/nk_view_settings.h"
#include "render/nk_viewpoint_commands.h"
#include "tests/render/render_fixture.h"
#include "tests/test_support/test_files.h"

namespace {

constexpr int kWidth = 800, kHeight = 600;

struct Queued {
    std::string text;
    float x, y;
    int iSize;
};

std::vector<Queued> QueuedTexts(void)
{
    std::vector<Queued> v;
    for (NKTextItem *p = g_pTextListHead != nullptr ? g_pTextListHead->pNext : nullptr;
         p != nullptr; p = p->pNext)
        v.push_back({p->Text.GetText(), p->fX, p->fY, p->iSize});
    return v;
}

std::vector<std::string> Texts(void)
{
    std::vector<std::string> v;
    for (const Queued &q : QueuedTexts()) v.push_back(q.text);
    return v;
}

void ExpectPixel(int x, int y, int r, int g, int b, int iTolerance)
{
    unsigned char p[4];
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    EXPECT_NEAR(p[0], r, iTolerance) << "pixel " << x << ", " << y;
    EXPECT_NEAR(p[1], g, iTolerance) << "pixel " << x << ", " << y;
    EXPECT_NEAR(p[2], b, iTolerance) << "pixel " << x << ", " << y;
}

}  // namespace

class LegendGL : public NKRenderModelTest {
protected:
    void SetUp() override
    {
        NKRenderModelTest::SetUp();
        m_pContext = NKCreateOffscreenGLContext(kWidth, kHeight);
        ASSERT_NE(m_pContext, nullptr);
        m_SavedSize = NKViewWindowSize;
        NKViewWindowSize = {kWidth, kHeight};
        glViewport(0, 0, kWidth, kHeight);
        g_pLabelOverlay = CreateLabelOverlay();
        ASSERT_TRUE(NKCreateTextList());
        NKInitNavigation(g_ViewMatrix, &g_InputState);
        MakeModel(1, 1);
        g_pModel->fFringeRangeFrom = 0.0f;
        g_pModel->fFringeRangeTo = 100.0f;
        Clear();
    }
    void TearDown() override
    {
        NKFreeTextList();
        DestroyLabelOverlay(g_pLabelOverlay);
        g_pLabelOverlay = nullptr;
        NKDropBackgroundImageList();
        NKViewWindowSize = m_SavedSize;
        g_RendererWorkarounds.bBackgroundTextureMapping = 1;
        NKInitNavigation(g_ViewMatrix, &g_InputState);
        NKDestroyGLContext(m_pContext);
        NKRenderModelTest::TearDown();
    }
    void Clear()
    {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    NKFrame *Frame() { return &g_pModel->pFrames[0]; }
    NKGLContext *m_pContext = nullptr;
    NKViewSize m_SavedSize{};
};

TEST_F(LegendGL, TickLabelsFollowTheStepRule)
{
    struct Row {
        float from, to;
        std::vector<std::string> labels;
    };
    const Row rows[] = {
        {0,
         1,
         {"0 ", "0.1 ", "0.2 ", "0.3 ", "0.4 ", "0.5 ", "0.6 ", "0.7 ", "0.8 ", "0.9 ", "0 ",
          "1 "}},
        {-50,
         50,
         {"0 ", "10 ", "20 ", "30 ", "40 ", "-40 ", "-30 ", "-20 ", "-10 ", "-50 ", "50 "}},
        {3, 7, {"3.5 ", "4 ", "4.5 ", "5 ", "5.5 ", "6 ", "6.5 ", "3 ", "7 "}},
        // An empty range has no step: only the end labels.
        {5, 5, {"5 ", "5 "}},
    };
    for (const Row &r : rows) {
        ASSERT_TRUE(NKCreateTextList());
        g_pModel->fFringeRangeFrom = r.from;
        g_pModel->fFringeRangeTo = r.to;
        NKDrawLegendTicks(Frame());
        EXPECT_EQ(Texts(), r.labels) << r.from << " to " << r.to;
    }
    // The end labels sit 4 pixels below the ends of the bar.
    const std::vector<Queued> q = QueuedTexts();
    EXPECT_FLOAT_EQ(q[0].x, -0.85f);
    EXPECT_NEAR(q[0].y, -0.8f - 4.0f / 300.0f, 1e-6);
    EXPECT_EQ(q[0].iSize, 12);

    struct Format {
        float v;
        const char *pszText;
    };
    const Format formats[] = {{0.0f, "0 "},
                              {0.00005f, "5e-05 "},
                              {-12.5f, "-12.5 "},
                              {12.5f, "12.5 "},
                              {250000.0f, "2.5e+05 "}};
    for (const Format &f : formats) {
        char sz[80];
        NKFormatLegendValue(f.v, sz, "");
        EXPECT_STREQ(sz, f.pszText);
    }
}

TEST_F(LegendGL, LegendBarShowsTheFringeColours)
{
    g_pViewSettings->bShowLegend = 1;
    g_pGraphicsSettings->bFringeShade = 0;
    NKDrawColorLegend(Frame());
    ExpectPixel(30, 300, 0, 255, 0, 3);
    // The colour a quad valued 40 gets from the same mapping.
    const float fValue = 40.0f;
    uint8_t auQuad[3];
    float fTex = 0.0f;
    NKMapScalarsToSpectrum(0.0f, 100.0f, 1, &fValue, auQuad, &fTex);
    ExpectPixel(30, 252, auQuad[0], auQuad[1], auQuad[2], 2);
    ExpectPixel(30, 252, 0, 255, 102, 2);

    Clear();
    g_pGraphicsSettings->bTextureFringes = 1;
    NKDrawColorLegend(Frame());
    ExpectPixel(30, 525, 255, 0, 0, 0);
    ExpectPixel(30, 75, 0, 0, 255, 0);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_1D));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
}

TEST_F(LegendGL, TriadTurnsAndDarkensAxesPointingAway)
{
    NKRegisterViewpointCommands();
    g_pViewSettings->iAxisFlags = 2;
    g_pViewSettings->bShowLegend = 1;
    g_pViewSettings->bShowStep = 0;
    g_pGraphicsSettings->bPerspective = 0;
    NKDrawScreenOverlays(Frame(), 1);
    ExpectPixel(145, 40, 255, 76, 76, 2);

    ASSERT_EQ(ExecuteCommand("setview 0.92388 0 -0.38268 0 0 0 0"), 0);
    Clear();
    NKDrawScreenOverlays(Frame(), 1);
    ExpectPixel(138, 40, 153, 26, 26, 2);
    ExpectPixel(110, 40, 51, 51, 178, 2);
    NKSetCommandHandler(NK_HANDLER_VIEWPOINT, nullptr);
}

TEST_F(LegendGL, TitleBlockQueuesTheScalarLines)
{
    NKScalarResult *pRes = NKCreateScalarResult();
    pRes->szDescription = NKString("Stress");
    pRes->nodeMinMax.min = 0.0f;
    pRes->nodeMinMax.max = 100.0f;
    Frame()->pScalar = pRes;
    pRes->iNumRef++;
    NKDrawTitleBlock(Frame(), false);
    const std::vector<Queued> q = QueuedTexts();
    ASSERT_EQ(q.size(), 2u);
    EXPECT_EQ(q[0].text, "Stress");
    EXPECT_EQ(q[1].text, "SMN = 0.000e+00  SMX = 1.000e+02");
    EXPECT_NEAR(q[0].y - q[1].y, 15.0f / 300.0f, 1e-6);

    // The layout: y from pixel 2 to 82, first line at 67, 15 apart.
    float r[4], x = 0, y = 0, step = 0;
    NKMeasureLegendText(r, Frame(), &x, &y, &step);
    auto Y = [](int p) { return (p - 300) / 300.0f; };
    EXPECT_FLOAT_EQ(r[1], Y(2));
    EXPECT_FLOAT_EQ(r[3], Y(82));
    EXPECT_FLOAT_EQ(y, Y(67));
    EXPECT_FLOAT_EQ(step, 15.0f / 300.0f);
    NKRasterFont *pFont = NKCreateGdiFont(nullptr, "arial", 80, 0, 0);
    ASSERT_NE(pFont, nullptr);
    int iWidest = 0;
    for (const char *c = "XSMN =0.000e+00  SMX =0.000e+00X"; *c != '\0'; c++)
        iWidest +=
            static_cast<int>(std::lround(pFont->aGlyphs[static_cast<unsigned char>(*c)].fAdvanceX));
    NKFreeRasterFont(pFont);
    EXPECT_GT(iWidest, 100);
    EXPECT_NEAR((r[2] - r[0]) * 400.0f, iWidest + 10, 1e-3);

    // Without descriptions: 2 to 54, the first line at 39, no description
    // line and no vector line.
    pRes->szDescription = NKString("");
    ASSERT_TRUE(NKCreateTextList());
    NKMeasureLegendText(r, Frame(), &x, &y, &step);
    EXPECT_FLOAT_EQ(r[3], Y(54));
    EXPECT_FLOAT_EQ(y, Y(39));
    NKDrawTitleBlock(Frame(), true);
    EXPECT_EQ(Texts(), std::vector<std::string>{"SMN = 0.000e+00  SMX = 1.000e+02"});
}

TEST_F(LegendGL, PixelToViewAndBackgrounds)
{
    float p[3];
    const int pixels[3][2] = {{0, -1}, {kWidth, 1}, {-5, -1}};
    for (const auto &row : pixels) {
        NKPixelToView(row[0], 0, 0.5f, p);
        EXPECT_FLOAT_EQ(p[0], static_cast<float>(row[1])) << row[0];
        EXPECT_FLOAT_EQ(p[2], 0.5f);
    }

    NKBackgroundSettings bg;
    bg.iMode = 1;
    const uint8_t top[3] = {50, 70, 150};
    for (int k = 0; k < 3; k++) bg.ucColors[1][k] = top[k];
    NKDrawBackground(&bg, nullptr);
    ExpectPixel(400, 0, 0, 0, 0, 1);
    ExpectPixel(400, kHeight - 1, 50, 70, 150, 1);

    // A 200 x 200 white image in an 800 x 400 view, drawn as pixels.
    Clear();
    glViewport(0, 0, kWidth, 400);
    g_RendererWorkarounds.bBackgroundTextureMapping = 0;
    std::vector<uint8_t> white(200 * 200 * 3, 255);
    ImageRecord image;
    image.iWidth = image.iHeight = 200;
    image.pPixels = white.data();
    g_BackgroundImage.pImage = &image;
    bg.iMode = 5;
    for (int iPass = 0; iPass < 2; iPass++) {  // compiled, then replayed
        Clear();
        NKDrawBackground(&bg, nullptr);
        std::vector<uint8_t> a(kWidth * 400 * 4);
        glReadPixels(0, 0, kWidth, 400, GL_RGBA, GL_UNSIGNED_BYTE, a.data());
        for (int y = 0; y < 400; y += 57) {
            int iFirst = -1, iLast = -1;
            for (int x = 0; x < kWidth; x++)
                if (a[(y * kWidth + x) * 4] == 255) iLast = x, iFirst = iFirst < 0 ? x : iFirst;
            EXPECT_EQ(iFirst, 200) << "row " << y;
            EXPECT_EQ(iLast, 599) << "row " << y;
        }
    }
    g_BackgroundImage.pImage = nullptr;
    glViewport(0, 0, kWidth, kHeight);

    NKClearStereoBuffers(g_pGraphicsSettings);
    ExpectPixel(10, 10, 128, 128, 128, 1);
    EXPECT_EQ(g_pTextListHead, nullptr);  // drawn and freed
}

TEST_F(LegendGL, MouseTextAndBoxRulers)
{
    NKInputState input;
    input.uButtons = 1;
    input.iX = 10;
    input.iY = 20;
    NKQueueMouseInfo(&input);
    input.uButtons = 0;
    input.iX = -3;
    NKQueueMouseInfo(&input);
    const std::vector<Queued> q = QueuedTexts();
    ASSERT_EQ(q.size(), 2u);
    EXPECT_EQ(q[0].text, "[Button=L,  X pos=10, Y pos=20]");
    EXPECT_FLOAT_EQ(q[0].x, -0.99f);
    EXPECT_FLOAT_EQ(q[0].y, 0.95f);
    EXPECT_EQ(q[0].iSize, 12);
    EXPECT_EQ(q[1].text, "[Button=none,  X pos=??, Y pos=??]");

    NKGeometry *pGeo = Frame()->pGeometry;
    const float afBox[6] = {0, 0, 0, 7, 7, 7};
    for (int k = 0; k < 6; k++) pGeo->fBoundingBox[k] = afBox[k];
    g_pModel->fGeoScale = 1.0f / 7.0f;
    ASSERT_TRUE(NKDrawBoundingBox(Frame(), false));
    ASSERT_EQ(g_pLabelOverlay->iCount, 84);
    for (int i = 0; i < 84; i++)
        EXPECT_EQ(std::string(g_pLabelOverlay->pItems[i].Text.GetText()), std::to_string(i % 7))
            << i;
    EXPECT_FALSE(NKDrawBoundingBox(nullptr, false));
}

TEST_F(LegendGL, BeamWithFringesShowsTheLegend)
{
    const NKModelHooks saved = NKSetModelHooks(NKModelHooks());
    NKInstallDataSources();
    NKRegisterFileCommands();
    NKRegisterFringeCommands();
    ASSERT_EQ(ExecuteCommand(("open \"" + NKTestExamplePath("beam.nkf") + "\"").c_str()), 0);
    ASSERT_EQ(ExecuteCommand("nkf scalar"), 0);
    ASSERT_EQ(ExecuteCommand("fringes"), 0);
    NKViewWindowSize = {kWidth, kHeight};
    glViewport(0, 0, kWidth, kHeight);
    ASSERT_TRUE(NKDrawScene(-1, 1, 1));
    unsigned char p[4];
    glReadPixels(30, 300, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    EXPECT_GT(std::abs(p[0] - 0) + std::abs(p[1] - 255) + std::abs(p[2] - 0), 9);
    ASSERT_EQ(ExecuteCommand("legend"), 0);
    ASSERT_TRUE(NKDrawScene(-1, 1, 1));
    ExpectPixel(30, 300, 0, 255, 0, 3);
    NKCloseInterface();
    NKSetCommandHandler(NK_HANDLER_FRINGES, nullptr);
    NKSetModelHooks(saved);
}
