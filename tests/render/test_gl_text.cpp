// tests/render/test_gl_text.cpp -- fonts, measuring and fitting, the
// overlay text queue, anchored text and the label overlay, drawn into an
// off-screen context on black: lit pixels are counted in and around a
// text's box, and the GL stacks must be as they were after each draw.
#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QSurfaceFormat>

#include "core/nk_render_state.h"
#include "platform/nk_font_raster.h"
#include "platform/nk_gl_context.h"
#include "render/nk_label_overlay.h"
#include "render/nk_text.h"
#include "render/nk_text_list.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

namespace {

constexpr int kWidth = 320, kHeight = 240;

struct Rect {
    int x0, y0, x1, y1;  // half-open
};

std::vector<unsigned char> ReadFrame(void)
{
    std::vector<unsigned char> a(kWidth * kHeight * 4);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, a.data());
    return a;
}

bool Lit(const std::vector<unsigned char> &a, int x, int y)
{
    const unsigned char *p = &a[(y * kWidth + x) * 4];
    return p[0] != 0 || p[1] != 0 || p[2] != 0;
}

int CountLit(const std::vector<unsigned char> &a, const Rect &r)
{
    int n = 0;
    for (int y = r.y0 < 0 ? 0 : r.y0; y < r.y1 && y < kHeight; y++)
        for (int x = r.x0 < 0 ? 0 : r.x0; x < r.x1 && x < kWidth; x++) n += Lit(a, x, y);
    return n;
}

int CountLitRows(const std::vector<unsigned char> &a)
{
    int n = 0;
    for (int y = 0; y < kHeight; y++) n += CountLit(a, {0, y, kWidth, y + 1}) > 0;
    return n;
}

int StackSum(void)
{
    GLint m = 0, p = 0, a = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &m);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &p);
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &a);
    return m * 10000 + p * 100 + a;
}

class TextGL : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_pContext = NKCreateOffscreenGLContext(kWidth, kHeight);
        ASSERT_NE(m_pContext, nullptr);
        NKBuildBitmapFontLists();
        ASSERT_NE(g_uSmallFontListBase, 0u);
        ASSERT_NE(g_uLargeFontListBase, 0u);
        PixelView();
        Clear();
    }
    void TearDown() override
    {
        NKStrokeFontSwitch = 0;
        g_bRotateText = 1;
        NKFreeTextList();
        NKDestroyGLContext(m_pContext);
    }
    // x and y in pixels of the whole target.
    static void PixelView(void)
    {
        glViewport(0, 0, kWidth, kHeight);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, kWidth, 0, kHeight, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        glColor3f(1, 1, 1);
    }
    static void Clear(void)
    {
        glClearColor(0, 0, 0, 1);
        glClearDepth(1.0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    // Rows lit by "H" queued at iSize at the middle of the window.
    static int QueuedRows(int iSize)
    {
        Clear();
        EXPECT_TRUE(NKAddText(iSize, 0.0f, 0.0f, 255, 255, 255, "H"));
        const int iStacks = StackSum();
        NKDrawTextList();
        EXPECT_EQ(StackSum(), iStacks);
        return CountLitRows(ReadFrame());
    }
    NKGLContext *m_pContext = nullptr;
};

TEST_F(TextGL, HAtTwentyLightsOnlyItsBox)
{
    NKBitmapFont *pFont = NKCreateBitmapFont("arial", 8, 0);
    ASSERT_NE(pFont, nullptr);
    NKDrawTextAt(20.0f, 20.0f, pFont, "H");
    const int w = NKGetTextWidth("H", pFont->iCharWidth), h = pFont->iLineHeight;
    const auto a = ReadFrame();
    const int iInside = CountLit(a, {20, 20, 20 + w, 20 + h});
    EXPECT_GT(iInside, 5);
    EXPECT_EQ(CountLit(a, {19, 19, 21 + w, 21 + h}), CountLit(a, {0, 0, kWidth, kHeight}));
    GLint iBase = -1;
    glGetIntegerv(GL_LIST_BASE, &iBase);
    EXPECT_EQ(static_cast<GLuint>(iBase), g_uSmallFontListBase);  // left as it was
    NKDeleteBitmapFont(pFont);
}

TEST_F(TextGL, MeasuringAndFittingEdgeCases)
{
    NKBitmapFont *pFont = NKCreateBitmapFont("arial", 8, 0);
    ASSERT_NE(pFont, nullptr);
    EXPECT_GT(pFont->iLineHeight, 0);
    struct Case {
        const char *pszText;
        const NKBitmapFont *pFont;
        int iAlong, iAcross;
    } const cases[] = {
        {nullptr, pFont, 0, 0},
        {"H", nullptr, 0, 0},
        {"", pFont, 0, pFont->iLineHeight},
        {"HH", pFont, 2 * pFont->iCharWidth[int{'H'}], pFont->iLineHeight},
    };
    for (const Case &c : cases) {
        int iAlong = -1, iAcross = -1;
        NKMeasureText(c.pszText, c.pFont, &iAlong, &iAcross);
        EXPECT_EQ(iAlong, c.iAlong);
        EXPECT_EQ(iAcross, c.iAcross);
    }
    EXPECT_EQ(NKGetTextHeight(nullptr, pFont), 0);
    const int wH = pFont->iCharWidth[int{'H'}], wBlank = pFont->iCharWidth[int{' '}];
    char szBuffer[8] = "xxxxxxx";
    EXPECT_EQ(NKFitTextToWidth("HHH", pFont, wH - 1, nullptr, 0, false), 0);
    EXPECT_EQ(NKFitTextToWidth("HHH", pFont, 1000, szBuffer, 1, false), 3);
    EXPECT_EQ(szBuffer[0], '\0');
    EXPECT_EQ(szBuffer[1], 'x');
    EXPECT_EQ(NKFitTextToWidth("HHH", nullptr, 1000, nullptr, 0, false), -1);
    EXPECT_EQ(NKFitTextToWidth("H HH", pFont, 2 * wH + wBlank, szBuffer, 8, false), 3);
    EXPECT_STREQ(szBuffer, "H H");
    EXPECT_EQ(NKFitTextToWidth("H HH", pFont, 2 * wH + wBlank, szBuffer, 8, true), 2);
    EXPECT_EQ(NKFitTextToWidth("H HH", pFont, 1000, szBuffer, 8, true), 4);
    NKDeleteBitmapFont(pFont);
}

TEST_F(TextGL, VerticalFontInAColumnMeasuresLineHeightsAlong)
{
    g_bRotateText = 0;
    NKBitmapFont *pFont = NKCreateBitmapFont("arial", 10, NK_FONT_VERTICAL);
    ASSERT_NE(pFont, nullptr);
    EXPECT_EQ(pFont->bGlyphOutlines, 1);
    int iAlong = 0, iAcross = 0;
    NKMeasureText("iWiii", pFont, &iAlong, &iAcross);
    EXPECT_EQ(iAlong, 5 * pFont->iLineHeight);
    EXPECT_EQ(iAcross, pFont->iCharWidth[int{'W'}]);
    // A column going down: the first character stands on the raster
    // position, the second below it.
    NKDrawTextAt(100.0f, 150.0f, pFont, "WW");
    const auto a = ReadFrame();
    EXPECT_GT(CountLit(a, {90, 150, 130, 150 + pFont->iLineHeight + 3}), 0);
    EXPECT_GT(CountLit(a, {90, 100, 130, 150}), 0);
    EXPECT_EQ(CountLit(a, {0, 150 + pFont->iLineHeight + 3, kWidth, kHeight}), 0);
    EXPECT_EQ(CountLit(a, {0, 0, 90, kHeight}) + CountLit(a, {130, 0, kWidth, kHeight}), 0);
    NKDeleteBitmapFont(pFont);
}

TEST_F(TextGL, AlignedTextSitsAroundThePoint)
{
    NKBitmapFont *pFont = NKCreateBitmapFont("arial", 8, 0);
    ASSERT_NE(pFont, nullptr);
    NKOrthoView view{0, 0, kWidth, kHeight, 0.0f, kWidth, 0.0f, kHeight, 0.0f, 0.0f};
    NKUpdateOrthoPixelSize(&view);
    const int w = NKGetTextWidth("HHHH", pFont->iCharWidth), h = pFont->iLineHeight;
    struct Case {
        int iH, iV;
        Rect box;  // where the text's box must lie
    } const cases[] = {
        {0, 2, {160, 120, 160 + w, 120 + h}},
        {2, 0, {160 - w, 120 - h, 160, 120}},
        {1, 1, {160 - w / 2 - 1, 120 - h / 2 - 1, 160 + w / 2 + 1, 120 + h / 2 + 1}},
    };
    for (const Case &c : cases) {
        Clear();
        NKDrawTextAligned(160.0f, 120.0f, pFont, &view, c.iH, c.iV, "HHHH");
        const auto a = ReadFrame();
        const int iAll = CountLit(a, {0, 0, kWidth, kHeight});
        EXPECT_GT(iAll, 0);
        EXPECT_EQ(CountLit(a, {c.box.x0 - 1, c.box.y0 - 1, c.box.x1 + 1, c.box.y1 + 1}), iAll)
            << c.iH << " " << c.iV;
    }
    Clear();
    NKDrawTextAligned(160.0f, 120.0f, nullptr, &view, 0, 0, "HHHH");
    EXPECT_EQ(CountLit(ReadFrame(), {0, 0, kWidth, kHeight}), 0);
    NKDeleteBitmapFont(pFont);
}

TEST_F(TextGL, OrthoViewsConvertThroughPixels)
{
    NKOrthoView from{0, 0, 100, 100, 0.0f, 10.0f, 0.0f, 10.0f, 0.0f, 0.0f};
    NKOrthoView to{50, 50, 100, 100, -1.0f, 1.0f, -1.0f, 1.0f, 0.0f, 0.0f};
    NKUpdateOrthoPixelSize(&from);
    NKUpdateOrthoPixelSize(&to);
    EXPECT_FLOAT_EQ(from.fXUnitsPerPixel, 0.1f);
    EXPECT_FLOAT_EQ(NKOrthoViewConvertX(5.0f, &from, &to), -1.0f);
    float x = 10.0f, y = 0.0f;
    NKOrthoViewConvertPoint(&x, &y, &from, &to);
    EXPECT_FLOAT_EQ(x, 0.0f);
    EXPECT_FLOAT_EQ(y, -2.0f);
    NKOrthoView empty{0, 0, 0, 0, 0.0f, 1.0f, 0.0f, 1.0f, 9.0f, 9.0f};
    NKUpdateOrthoPixelSize(&empty);
    EXPECT_EQ(empty.fXUnitsPerPixel, 0.0f);
    EXPECT_EQ(empty.fYUnitsPerPixel, 0.0f);
    // A view without pixels maps everything to its first pixel, never to
    // infinity.
    EXPECT_FLOAT_EQ(NKOrthoViewConvertX(0.7f, &empty, &to), -2.0f);
}

TEST_F(TextGL, LargeSizeLightsMoreRowsAndDrawnListIsFreed)
{
    const int iRows12 = QueuedRows(12);
    const int iRows13 = QueuedRows(13);
    EXPECT_GT(iRows12, 0);
    EXPECT_GT(iRows13, iRows12);
    GLint iBase = 0;
    glGetIntegerv(GL_LIST_BASE, &iBase);
    EXPECT_EQ(static_cast<GLuint>(iBase), g_uSmallFontListBase);
    EXPECT_EQ(g_pTextListHead, nullptr);
    EXPECT_EQ(g_pTextListTail, nullptr);
    EXPECT_TRUE(NKAddText(12, 0.0f, 0.0f, 1, 2, 3, nullptr));
    ASSERT_NE(g_pTextListHead, nullptr);
    ASSERT_NE(g_pTextListHead->pNext, nullptr);
    EXPECT_STREQ(g_pTextListHead->pNext->Text.GetText(), "");
    // A new frame's list starts empty; the old items are freed, not lost.
    ASSERT_TRUE(NKCreateTextList());
    EXPECT_EQ(g_pTextListHead->pNext, nullptr);
    EXPECT_EQ(g_pTextListTail, g_pTextListHead);
}

// Lit columns from the leftmost to the rightmost; 0 when nothing is lit.
int LitWidth(const std::vector<unsigned char> &a)
{
    int x0 = kWidth, x1 = -1;
    for (int x = 0; x < kWidth; x++) {
        if (CountLit(a, {x, 0, x + 1, kHeight}) == 0) continue;
        if (x < x0) x0 = x;
        x1 = x;
    }
    return x1 < 0 ? 0 : x1 - x0 + 1;
}

// A blank has no pixels, yet it moves the pen by its advance: in both
// overlay fonts "A B" is wider than "AB" by exactly that advance, and so
// are the texts of a font object and of a vertical font with turned glyphs.
TEST_F(TextGL, BlanksKeepTheirAdvance)
{
    struct Case {
        int iSize;    // queued text size: 12 small font, 13 large
        int iTenths;  // the font behind it
        uint32_t uStyle;
    } const cases[] = {{12, 80, 0}, {13, 130, NK_FONT_BOLD}};
    for (const Case &c : cases) {
        NKRasterFont *pRaster = NKCreateGdiFont(nullptr, "arial", c.iTenths, 0, c.uStyle);
        ASSERT_NE(pRaster, nullptr);
        const float fBlank = pRaster->aGlyphs[int{' '}].fAdvanceX;
        NKFreeRasterFont(pRaster);
        EXPECT_GT(fBlank, 1.0f);
        int aiWidth[2] = {0, 0};
        const char *apszText[2] = {"AB", "A B"};
        for (int i = 0; i < 2; i++) {
            Clear();
            ASSERT_TRUE(NKAddText(c.iSize, 0.0f, 0.0f, 255, 255, 255, apszText[i]));
            NKDrawTextList();
            aiWidth[i] = LitWidth(ReadFrame());
        }
        EXPECT_GT(aiWidth[0], 0);
        EXPECT_EQ(aiWidth[1] - aiWidth[0], static_cast<int>(fBlank)) << c.iSize;
    }
    NKBitmapFont *pFont = NKCreateBitmapFont("arial", 10, 0);
    ASSERT_NE(pFont, nullptr);
    int aiWidth[2] = {0, 0};
    const char *apszText[2] = {"AB", "A  B"};
    for (int i = 0; i < 2; i++) {
        Clear();
        NKDrawTextAt(20.0f, 20.0f, pFont, apszText[i]);
        aiWidth[i] = LitWidth(ReadFrame());
    }
    EXPECT_EQ(aiWidth[1] - aiWidth[0], 2 * pFont->iCharWidth[int{' '}]);
    NKDeleteBitmapFont(pFont);
    // Turned glyphs run upwards: the blank moves the pen up.
    pFont = NKCreateBitmapFont("arial", 10, NK_FONT_VERTICAL);
    ASSERT_NE(pFont, nullptr);
    GLfloat afPos[2][4];
    for (int i = 0; i < 2; i++) {
        NKDrawTextAt(100.0f, 20.0f, pFont, apszText[i]);
        glGetFloatv(GL_CURRENT_RASTER_POSITION, afPos[i]);
    }
    EXPECT_FLOAT_EQ(afPos[1][1] - afPos[0][1], 2.0f * pFont->iCharWidth[int{' '}]);
    NKDeleteBitmapFont(pFont);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Lit columns [x0, x1] of the frame; x1 < x0 when nothing is lit.
std::pair<int, int> LitColumns(const std::vector<unsigned char> &a)
{
    int x0 = kWidth, x1 = -1;
    for (int x = 0; x < kWidth; x++)
        if (CountLit(a, {x, 0, x + 1, kHeight}) > 0) {
            if (x < x0) x0 = x;
            x1 = x;
        }
    return {x0, x1};
}

// A legend line drawn with each font's lists: every glyph is drawn alone
// where the pen stands after the characters before it, and its lit columns
// are its box. Neighbours never touch (a free column at least), and no gap
// is as wide as a blank more than the blanks between them: "SMN" is not
// read as "SM N", nor "e+01" as one blot.
TEST_F(TextGL, GlyphBoxesOfALegendLineNeitherOverlapNorDriftApart)
{
    const char *pszText = "SMN = -5.700e+01";
    const int n = static_cast<int>(std::strlen(pszText));
    NKBitmapFont *pFont = NKCreateBitmapFont("arial", 8, 0);
    ASSERT_NE(pFont, nullptr);
    const struct {
        const char *pszFont;
        uint32_t uBase;
    } fonts[] = {{"small overlay font", g_uSmallFontListBase},
                 {"large overlay font", g_uLargeFontListBase},
                 {"8-point font object", pFont->uListBase}};
    for (const auto &f : fonts) {
        glListBase(f.uBase);
        std::vector<float> pen(n + 1);
        for (int i = 0; i <= n; i++) {
            glRasterPos2i(10, 100);
            if (i > 0) glCallLists(i, GL_UNSIGNED_BYTE, pszText);
            GLfloat afPos[4];
            glGetFloatv(GL_CURRENT_RASTER_POSITION, afPos);
            pen[i] = afPos[0];
        }
        float fBlank = 0.0f;
        std::vector<std::pair<int, int>> boxes(n, {0, -1});
        for (int i = 0; i < n; i++) {
            if (pszText[i] == ' ') {
                fBlank = pen[i + 1] - pen[i];
                continue;
            }
            Clear();
            glRasterPos2f(pen[i], 100.0f);
            glCallLists(1, GL_UNSIGNED_BYTE, pszText + i);
            boxes[i] = LitColumns(ReadFrame());
            EXPECT_LE(boxes[i].first, boxes[i].second) << f.pszFont << ": '" << pszText[i] << "'";
        }
        ASSERT_GT(fBlank, 1.0f) << f.pszFont;
        int iPrev = 0, iBlanks = 0;
        for (int i = 1; i < n; i++) {
            if (pszText[i] == ' ') {
                iBlanks++;
                continue;
            }
            const int iGap = boxes[i].first - boxes[iPrev].second - 1;
            const std::string pair = std::string(f.pszFont) + ": '" + pszText[iPrev] + "' '" +
                                     pszText[i] + "' gap " + std::to_string(iGap);
            EXPECT_GE(iGap, 1) << pair;
            EXPECT_LT(iGap, (iBlanks + 1) * fBlank) << pair;
            iPrev = i;
            iBlanks = 0;
        }
    }
    glListBase(g_uSmallFontListBase);
    NKDeleteBitmapFont(pFont);
}

// Making fonts leaves no error behind in the context's error flag.
TEST_F(TextGL, MakingFontsLeavesNoGLError)
{
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    NKBuildBitmapFontLists();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    const uint32_t auStyles[] = {0, NK_FONT_BOLD | NK_FONT_UNDERLINE, NK_FONT_VERTICAL};
    for (uint8_t bRotate : {uint8_t{1}, uint8_t{0}}) {
        g_bRotateText = bRotate;
        for (uint32_t uStyle : auStyles) {
            NKBitmapFont *pFont = NKCreateBitmapFont("arial", 10, uStyle);
            ASSERT_NE(pFont, nullptr);
            NKDrawTextAt(20.0f, 20.0f, pFont, "a b\tc");
            NKDeleteBitmapFont(pFont);
            EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << uStyle;
        }
    }
}

TEST_F(TextGL, EmptyQueuedTextCallsNoList)
{
    // The raster position moves only when a character list is called.
    GLfloat afPos[2][4];
    const char *apszText[2] = {"", "H"};
    for (int i = 0; i < 2; i++) {
        NKAddText(12, 0.0f, 0.0f, 255, 255, 255, apszText[i]);
        NKDrawTextList();
        glGetFloatv(GL_CURRENT_RASTER_POSITION, afPos[i]);
    }
    EXPECT_FLOAT_EQ(afPos[0][0], kWidth / 2.0f);
    EXPECT_GT(afPos[1][0], afPos[0][0]);
}

TEST_F(TextGL, StrokeFontsLightAsciiAndSkipHighBytes)
{
    ASSERT_TRUE(NKInitStrokeFont());
    NKStrokeFontSwitch = 1;
    const char szHigh[2] = {static_cast<char>(0xE9), 0};
    struct Case {
        const char *pszText;
        bool bLit;
    } const cases[] = {{"H", true}, {szHigh, false}};
    for (const Case &c : cases) {
        Clear();
        NKAddText(12, 0.0f, 0.0f, 255, 255, 255, c.pszText);
        const int iStacks = StackSum();
        NKDrawTextList();
        EXPECT_EQ(StackSum(), iStacks);
        EXPECT_EQ(CountLit(ReadFrame(), {0, 0, kWidth, kHeight}) > 0, c.bLit) << c.pszText;
    }
}

// Where freeglut cannot start (here on a display nobody serves, in a
// process of its own without the Qt application), stroke text is left out
// and its first attempt says why, once, as a warning; the process goes on.
TEST(StrokeTextDeathTest, AFontThatCannotStartIsSaidOnceAndLeftOut)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string display = NKTestUnservedDisplay();
    EXPECT_EXIT(
        {
            setenv("DISPLAY", display.c_str(), 1);
            MessageCapture capture;
            NKDrawStrokeText("Launch Animation", 10.0f);
            NKDrawStrokeText("Step: 1", 10.0f);
            if (capture.Lines().size() != 1 || capture.Lines()[0].iLevel != NK_MSG_WARNING)
                std::_Exit(2);
            std::fprintf(stderr, "said once: %s\n", capture.Lines()[0].text.c_str());
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0),
        "said once: Stroke text cannot be drawn: failed to open display '" + display + "'");
}

TEST_F(TextGL, AnchoredTextWithStrokeFontsIsProjectedAndQueued)
{
    NKStrokeFontSwitch = 1;
    glViewport(0, 0, 800, 600);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    NKDrawText3D(18, -0.5f, -0.5f, 0.0f, 10, 20, 30, "n1");
    ASSERT_NE(g_pTextListHead, nullptr);
    const NKTextItem *p = g_pTextListHead->pNext;
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->pNext, nullptr);
    EXPECT_EQ(p->iSize, 12);
    EXPECT_NEAR(p->fX, -0.5f, 1e-5);
    EXPECT_NEAR(p->fY, -0.5f, 1e-5);
    EXPECT_EQ(p->uRed + p->uGreen + p->uBlue, 60);
    EXPECT_STREQ(p->Text.GetText(), "n1");
}

// Labels in a 100 x 100 perspective view (40 degrees) in the lower-left
// corner of the target, eye at the origin looking down -z.
class LabelGL : public TextGL {
protected:
    void SetUp() override
    {
        TextGL::SetUp();
        m_pOverlay = CreateLabelOverlay();
        ASSERT_NE(m_pOverlay, nullptr);
        glViewport(0, 0, 100, 100);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(40.0, 1.0, 0.1, 10.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glEnable(GL_DEPTH_TEST);
    }
    void TearDown() override
    {
        DestroyLabelOverlay(m_pOverlay);
        TextGL::TearDown();
    }
    // The eye point at depth -2 that projects to window x.
    static float EyeXFor(float fWindowX)
    {
        return static_cast<float>((fWindowX / 50.0 - 1.0) * 2.0 * std::tan(20.0 * M_PI / 180.0));
    }
    LabelOverlay *m_pOverlay = nullptr;
};

TEST_F(LabelGL, EdgeAnchorsAndOccludedLabels)
{
    LabelItem item("Lbl");
    // The marker sphere's radius is a pixel and a half at this size.
    item.SetMarkerSize(20);
    item.SetPoint(EyeXFor(0.5f), 0.0f, -2.0f);
    ASSERT_TRUE(AddLabel(m_pOverlay, item, -1));
    const int iStacks = StackSum();
    EXPECT_TRUE(DrawLabelOverlay(m_pOverlay));
    EXPECT_EQ(StackSum(), iStacks);
    EXPECT_EQ(m_pOverlay->pItems[0].bVisible, 0);
    EXPECT_EQ(CountLit(ReadFrame(), {0, 0, kWidth, kHeight}), 0);

    ClearLabelOverlay(m_pOverlay);
    item.SetPoint(EyeXFor(98.0f), 0.0f, -2.0f);
    AddLabel(m_pOverlay, item, -1);
    EXPECT_TRUE(DrawLabelOverlay(m_pOverlay));
    EXPECT_EQ(m_pOverlay->pItems[0].bVisible, 1);
    const auto a = ReadFrame();
    EXPECT_GT(CountLit(a, {96, 48, 100, 52}), 0);      // the marker
    EXPECT_GT(CountLit(a, {100, 40, kWidth, 80}), 0);  // box and text right of it

    // A filled quad at depth -1 hides an anchor at -3.
    Clear();
    glColor3f(0.2f, 0.2f, 0.2f);
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, -1.0f);
    glRectf(-2.0f, -2.0f, 2.0f, 2.0f);
    glPopMatrix();
    std::vector<float> before(100 * 100), after(100 * 100);
    glReadPixels(0, 0, 100, 100, GL_DEPTH_COMPONENT, GL_FLOAT, before.data());
    const auto colourBefore = ReadFrame();
    ClearLabelOverlay(m_pOverlay);
    item.SetPoint(0.0f, 0.0f, -3.0f);
    AddLabel(m_pOverlay, item, -1);
    EXPECT_TRUE(DrawLabelOverlay(m_pOverlay));
    EXPECT_EQ(m_pOverlay->pItems[0].bVisible, 0);
    glReadPixels(0, 0, 100, 100, GL_DEPTH_COMPONENT, GL_FLOAT, after.data());
    EXPECT_TRUE(before == after);
    EXPECT_TRUE(colourBefore == ReadFrame());
}

TEST_F(LabelGL, FramedEmptyLabelIsABoxInTheFillColour)
{
    LabelItem item("");
    item.bScreenFixed = 1;
    item.SetPoint(0.0f, 0.0f, 0.0f);  // the middle: pixel (50, 50)
    item.SetMarker(false);
    item.SetColor(2, 1.0f, 0.0f, 0.0f, 1.0f);  // a red outline, to be seen on black
    AddLabel(m_pOverlay, item, -1);
    ASSERT_TRUE(DrawLabelOverlay(m_pOverlay));
    const int h = m_pOverlay->pFont->iLineHeight + 10;
    const auto a = ReadFrame();
    EXPECT_EQ(CountLit(a, {50, 50, 60, 50 + h}), 10 * h);
    EXPECT_EQ(CountLit(a, {0, 0, kWidth, kHeight}), 10 * h);
    const unsigned char *p = &a[(55 * kWidth + 55) * 4];
    EXPECT_EQ(p[0], 255);
    EXPECT_EQ(p[1], 255);
    EXPECT_NEAR(p[2], 204, 1);
}

TEST_F(LabelGL, OwnersShareOrRecaptureTheMatrix)
{
    struct Case {
        int iOwner;
        float fSecondX, fSecondY;
    } const cases[] = {{7, 1.0f, 0.0f}, {NK_LABEL_OWNER_ALWAYS_CAPTURE, 0.0f, 2.0f}};
    for (const Case &c : cases) {
        ClearLabelOverlay(m_pOverlay);
        glLoadIdentity();
        glTranslatef(1.0f, 0.0f, 0.0f);
        AddTextLabel(m_pOverlay, "a", 0.0f, 0.0f, 0.0f, c.iOwner);
        glLoadIdentity();
        glTranslatef(0.0f, 2.0f, 0.0f);
        AddTextLabel(m_pOverlay, "b", 0.0f, 0.0f, 0.0f, c.iOwner);
        ASSERT_EQ(m_pOverlay->iCount, 2);
        EXPECT_FLOAT_EQ(m_pOverlay->pItems[0].fAnchor[0], 1.0f);
        EXPECT_FLOAT_EQ(m_pOverlay->pItems[1].fAnchor[0], c.fSecondX);
        EXPECT_FLOAT_EQ(m_pOverlay->pItems[1].fAnchor[1], c.fSecondY);
    }
    glLoadIdentity();
    AddTextLabel(m_pOverlay, "kept", 3.0f, 4.0f, 5.0f, -1);  // anchor as given
    EXPECT_FLOAT_EQ(m_pOverlay->pItems[2].fAnchor[0], 3.0f);
    glTranslatef(1.0f, 0.0f, 0.0f);
    LabelItem fixed("fixed");
    fixed.bScreenFixed = 1;
    fixed.SetPoint(0.5f, 0.5f, 0.0f);
    AddLabel(m_pOverlay, fixed, 3);  // a window position is not transformed
    EXPECT_FLOAT_EQ(m_pOverlay->pItems[3].fAnchor[0], 0.5f);
    ClearLabelOverlay(m_pOverlay);
    EXPECT_EQ(m_pOverlay->iCount, 0);
    EXPECT_EQ(m_pOverlay->pItems, nullptr);
    EXPECT_EQ(m_pOverlay->iOwnerId, -1);
}

TEST_F(LabelGL, GrowthKeepsEveryItemAndHighlightRecolours)
{
    SetLabelHighlight(m_pOverlay, true);
    for (int i = 0; i < 100; i++) ASSERT_TRUE(AddTextLabel(m_pOverlay, "x", i, 0, 0, -1));
    EXPECT_EQ(m_pOverlay->iCount, 100);
    EXPECT_FLOAT_EQ(m_pOverlay->pItems[99].fAnchor[0], 99.0f);
    float afFill[4], afText[4];
    m_pOverlay->pItems[0].GetColor(1, afFill);
    m_pOverlay->pItems[0].GetColor(7, afText);  // any other slot answers slot 0
    EXPECT_EQ(afFill[2], 1.0f);
    EXPECT_EQ(afText[0] + afText[1] + afText[2], 0.0f);
}

// Two contexts made one after the other at the same address (the second
// placed where the first was destroyed): each has its own handle, the
// first's handle is dead once it goes, and the label font is built anew
// for the second, its lists present there.
TEST(GLContextHandles, AContextAtAFreedOnesAddressGetsItsOwnHandleAndFonts)
{
    NKGLContext *pHost = NKCreateOffscreenGLContext(8, 8);  // makes the GUI application
    ASSERT_NE(pHost, nullptr);
    const void *hHost = NKGetCurrentGLContextHandle();
    NKMakeGLContextHandleCurrent(nullptr);
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setDepthBufferSize(24);
    QOffscreenSurface surface;
    surface.setFormat(format);
    surface.create();
    LabelOverlay *pOverlay = CreateLabelOverlay();
    ASSERT_NE(pOverlay, nullptr);
    alignas(QOpenGLContext) unsigned char auPlace[sizeof(QOpenGLContext)];
    void *ahContexts[2] = {nullptr, nullptr};
    for (int i = 0; i < 2; i++) {
        auto *pContext = new (auPlace) QOpenGLContext;
        pContext->setFormat(format);
        ASSERT_TRUE(pContext->create());
        ASSERT_TRUE(pContext->makeCurrent(&surface));
        ahContexts[i] = NKGetCurrentGLContextHandle();
        EXPECT_EQ(NKGetCurrentGLContextHandle(), ahContexts[i]);  // asked again: the same
        EXPECT_TRUE(NKIsGLContextHandleLive(ahContexts[i]));
        AddTextLabel(pOverlay, "a b", 0.0f, 0.0f, 0.0f, -1);
        EXPECT_TRUE(DrawLabelOverlay(pOverlay));
        ASSERT_NE(pOverlay->pFont, nullptr);
        EXPECT_EQ(pOverlay->pFont->hContext, ahContexts[i]);
        EXPECT_TRUE(glIsList(pOverlay->pFont->uListBase)) << i;
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        pContext->doneCurrent();
        pContext->~QOpenGLContext();
    }
    EXPECT_NE(ahContexts[0], ahContexts[1]);
    EXPECT_NE(ahContexts[0], hHost);
    for (void *h : ahContexts) {
        EXPECT_FALSE(NKIsGLContextHandleLive(h));
        EXPECT_FALSE(NKMakeGLContextHandleCurrent(h));  // gone: nothing to make current
        EXPECT_EQ(NKGetCurrentGLContextHandle(), nullptr);
    }
    EXPECT_FALSE(NKIsGLContextHandleLive(nullptr));
    DestroyLabelOverlay(pOverlay);  // its context is gone: only the record goes
    NKDestroyGLContext(pHost);
}

}  // namespace
