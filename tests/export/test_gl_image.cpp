// tests/export/test_gl_image.cpp -- capture and off-screen rendering in a
// context without a view: a picture drawn with glDrawPixels by a stand-in
// scene is read back by ReadFrameBuffer and by the off-screen bitmap,
// written in every format, cropped, padded and selected as the capture
// rules say; the plot's bitmap and the clipboard.
#include <GL/gl.h>

#include <cstring>

#include <gtest/gtest.h>

#include "core/nk_load_hooks.h"
#include "core/nk_plot_records.h"
#include "export/nk_bmp_files.h"
#include "export/nk_image.h"
#include "export/nk_image_files.h"
#include "export/nk_offscreen.h"
#include "platform/nk_clipboard.h"
#include "platform/nk_gl_context.h"
#include "plot/nk_plot.h"
#include "tests/export/image_test_support.h"
#include "tests/test_support/test_files.h"

namespace {

const ImageRecord *sg_pScenePicture = nullptr;

// The stand-in scene: the picture at the bottom left of the viewport.
bool DrawPicture(int, int, int)
{
    GLint aiViewport[4];
    glGetIntegerv(GL_VIEWPORT, aiViewport);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_DITHER);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, aiViewport[2], 0, aiViewport[3], -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRasterPos2i(0, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glDrawPixels(sg_pScenePicture->iWidth, sg_pScenePicture->iHeight, GL_RGB, GL_UNSIGNED_BYTE,
                 sg_pScenePicture->pPixels);
    glFinish();
    return true;
}

class ImageGL : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(NKEnsureGuiApplication());
        m_pContext = NKCreateOffscreenGLContext(640, 480);
        ASSERT_NE(m_pContext, nullptr);
        m_Saved = NKGetLoadHooks();
        NKLoadHooks hooks = m_Saved;
        hooks.pfnDrawScene = DrawPicture;
        NKSetLoadHooks(hooks);
        m_Dir = NKTestMakeTempDir("glimages");
    }
    void TearDown() override
    {
        NKSetLoadHooks(m_Saved);
        NKDestroyGLContext(m_pContext);
        NKTestRemoveDir(m_Dir);
        sg_pScenePicture = nullptr;
    }
    // Draws the picture into the test's own context at 640 x 480.
    void DrawHere(const ImageRecord *pPicture)
    {
        sg_pScenePicture = pPicture;
        glViewport(0, 0, 640, 480);
        DrawPicture(-1, 1, 1);
    }
    std::string Path(const char *pszName) const { return m_Dir + "/" + pszName; }
    NKGLContext *m_pContext = nullptr;
    NKLoadHooks m_Saved;
    std::string m_Dir;
};

TEST_F(ImageGL, FrameBufferAndBitmapReadEveryByteAndEveryFormatDecodesToIt)
{
    TestImage picture(67, 45);
    NKTestFillEveryByte(&picture);
    DrawHere(&picture);
    ImageRecord read;
    NKInitImageRecord(&read);
    const int aiOrigin[2] = {0, 0}, aiSize[2] = {67, 45};
    ASSERT_EQ(ReadFrameBuffer(640, 480, &read, aiOrigin, aiSize, nullptr, false), 1);
    EXPECT_EQ(std::vector<uint8_t>(read.pPixels, read.pPixels + 67 * 45 * 3), picture.Bytes());
    NKReleaseImagePixels(&read);
    ASSERT_EQ(NKRenderSceneToImage(-1, 67, 45, &read, nullptr, 3, nullptr, nullptr), 1);
    EXPECT_EQ(std::vector<uint8_t>(read.pPixels, read.pPixels + 67 * 45 * 3), picture.Bytes());
    NKReleaseImagePixels(&read);
    struct Case {
        uint32_t uFlags;
        const char *pszName, *pszDecoder;
    } cases[] = {{NK_IMAGE_PPM, "r.ppm", "ppmtoppm <"},
                 {NK_IMAGE_RGB, "r.rgb", "sgitopnm"},
                 {NK_IMAGE_TIFF, "r.tif", "tifftopnm"},
                 {NK_IMAGE_BMP, "r.bmp", "bmptopnm"},
                 {NK_IMAGE_PPM | NK_IMAGE_CAPTURE, "c.ppm", "ppmtoppm <"},
                 {NK_IMAGE_TIFF | NK_IMAGE_CAPTURE, "c.tif", "tifftopnm"}};
    for (const Case &c : cases) {
        ASSERT_EQ(NKSaveSceneImage(-1, 67, 45, c.uFlags, Path(c.pszName).c_str(), nullptr, nullptr,
                                   nullptr),
                  1)
            << c.pszName;
        int w, h;
        std::vector<uint8_t> rgb;
        ASSERT_TRUE(NKTestDecodeWith(c.pszDecoder, Path(c.pszName), &w, &h, &rgb)) << c.pszName;
        EXPECT_EQ(rgb, picture.Bytes()) << c.pszName;
    }
    // The test's context is current again, its picture untouched.
    ASSERT_EQ(ReadFrameBuffer(640, 480, &read, aiOrigin, aiSize, nullptr, false), 1);
    EXPECT_EQ(std::vector<uint8_t>(read.pPixels, read.pPixels + 67 * 45 * 3), picture.Bytes());
    NKReleaseImagePixels(&read);
}

// A picture whose pixels name their column and row.
void FillPositions(ImageRecord *p)
{
    for (int y = 0; y < p->iHeight; y++)
        for (int x = 0; x < p->iWidth; x++) {
            uint8_t *q = p->pPixels + ((size_t)y * p->iWidth + x) * 3;
            q[0] = (uint8_t)x, q[1] = (uint8_t)y, q[2] = (uint8_t)((x >> 8) | (y >> 8) << 4);
        }
}

TEST_F(ImageGL, CaptureRulesCropPadClipAndRefuse)
{
    TestImage picture(640, 480);
    FillPositions(&picture);
    DrawHere(&picture);
    struct Case {
        int iWidth, iHeight;
        int aiOrigin[2], aiSize[2], aiTarget[2];
        bool bSelection, bTarget;
        int iStatus, iPictureW, iPictureH;
        int iProbeX, iProbeY, iSourceX, iSourceY;  // a pixel of the picture and its source
    } cases[] = {
        {640, 480, {0, 0}, {0, 0}, {320, 200}, false, true, 1, 320, 200, 0, 0, 160, 140},
        {100, 100, {0, 0}, {0, 0}, {120, 90}, false, true, 1, 120, 90, 10, 0, 0, 5},
        {640, 480, {600, 470}, {100, 100}, {0, 0}, true, false, 1, 40, 10, 0, 0, 600, 470},
        {640, 480, {640, 0}, {10, 10}, {0, 0}, true, false, -3, 0, 0, 0, 0, 0, 0},
        {640, 480, {0, 0}, {0, 5}, {0, 0}, true, false, -3, 0, 0, 0, 0, 0, 0},
        {0, 480, {0, 0}, {0, 0}, {0, 0}, false, false, -3, 0, 0, 0, 0, 0, 0},
    };
    for (const Case &c : cases) {
        ImageRecord image;
        NKInitImageRecord(&image);
        ASSERT_EQ(ReadFrameBuffer(c.iWidth, c.iHeight, &image, c.bSelection ? c.aiOrigin : nullptr,
                                  c.bSelection ? c.aiSize : nullptr,
                                  c.bTarget ? c.aiTarget : nullptr, false),
                  c.iStatus);
        if (c.iStatus != 1) {
            EXPECT_EQ(image.pPixels, nullptr);
            continue;
        }
        EXPECT_EQ(image.iWidth, c.iPictureW);
        EXPECT_EQ(image.iHeight, c.iPictureH);
        const uint8_t *q = image.pPixels + ((size_t)c.iProbeY * image.iWidth + c.iProbeX) * 3;
        EXPECT_EQ(q[0], (uint8_t)c.iSourceX);
        EXPECT_EQ(q[1], (uint8_t)c.iSourceY);
        if (c.iPictureW == 120) {  // 10 black columns each side
            EXPECT_EQ(image.pPixels[9 * 3], 0);
            EXPECT_EQ(image.pPixels[(119) * 3 + 1], 0);
            EXPECT_EQ(image.pPixels[109 * 3], 99);
            EXPECT_EQ(image.pPixels[110 * 3], 0);
        }
        NKReleaseImagePixels(&image);
    }
}

TEST_F(ImageGL, SavesRefuseBmpCaptureAndSelectTheTopRow)
{
    TestImage picture(67, 45);
    FillPositions(&picture);
    sg_pScenePicture = &picture;
    const int aiOutside[2] = {70, 0}, aiTop[2] = {0, 44}, aiRow[2] = {67, 1};
    EXPECT_EQ(NKSaveSceneImage(-1, 67, 45, NK_IMAGE_BMP | NK_IMAGE_CAPTURE, Path("a.bmp").c_str(),
                               nullptr, nullptr, nullptr),
              -1);
    EXPECT_EQ(NKSaveSceneImage(-1, 67, 45, NK_IMAGE_PPM, Path("o.ppm").c_str(), aiOutside, aiRow,
                               nullptr),
              -3);
    EXPECT_EQ(NKTestReadFile(Path("o.ppm")), "");
    ASSERT_EQ(NKSaveSceneImage(-1, 67, 45, NK_IMAGE_PPM | NK_IMAGE_RGB, Path("both").c_str(),
                               nullptr, nullptr, nullptr),
              1);
    EXPECT_EQ(NKTestReadFile(Path("both")).substr(0, 2), "\x01\xDA");
    // The top row of a BMP selection (rows counted from the bottom).
    ASSERT_EQ(
        NKSaveSceneImage(-1, 67, 45, NK_IMAGE_BMP, Path("top.bmp").c_str(), aiTop, aiRow, nullptr),
        1);
    int w, h;
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(NKTestDecodeWith("bmptopnm", Path("top.bmp"), &w, &h, &rgb));
    EXPECT_EQ(h, 1);
    EXPECT_EQ(std::vector<uint8_t>(rgb.begin(), rgb.end()),
              std::vector<uint8_t>(picture.pPixels + 44 * 67 * 3, picture.pPixels + 45 * 67 * 3));
    // A size no framebuffer object can have.
    ImageRecord image;
    NKInitImageRecord(&image);
    EXPECT_EQ(NKRenderSceneToImage(-1, 100000, 10, &image, nullptr, 3, nullptr, nullptr), -13);
    EXPECT_EQ(NKRenderSceneToImage(-1, 0, 10, &image, nullptr, 3, nullptr, nullptr), -3);
}

TEST_F(ImageGL, PlotBitmapsAndTheClipboard)
{
    ImageRecord image;
    NKInitImageRecord(&image);
    PlotRecord *pSaved = g_pCurrentPlot;
    g_pCurrentPlot = nullptr;
    EXPECT_EQ(NKRenderPlotToImage(64, 48, &image, nullptr), -1);
    g_pCurrentPlot = NKCreatePlot();
    g_pCurrentPlot->ucBackground[0] = 0, g_pCurrentPlot->ucBackground[1] = 0;
    g_pCurrentPlot->ucBackground[2] = 200, g_pCurrentPlot->ucBackground[3] = 255;
    ASSERT_EQ(NKWritePlotBitmapFile(64, 48, Path("plot.bmp").c_str()), 1);
    EXPECT_EQ(NKTestReadFile(Path("plot.bmp")).size(), 9270u);
    ASSERT_EQ(NKRenderPlotToImage(64, 48, &image, nullptr), 1);
    EXPECT_EQ(image.pPixels[(24 * 64 + 32) * 3 + 2], 200);  // the plot's blue background
    NKReleaseImagePixels(&image);
    NKFreePlot(g_pCurrentPlot);
    g_pCurrentPlot = pSaved;

    TestImage picture(64, 48);
    NKTestFillEveryByte(&picture);
    sg_pScenePicture = &picture;
    ASSERT_TRUE(NKCopySceneToClipboard(64, 48, nullptr, nullptr));
    std::vector<uint8_t> dib;
    ASSERT_TRUE(NKGetClipboardDib(&dib));
    ASSERT_TRUE(NKDibToImageRecord(dib.data(), dib.size(), &image));
    EXPECT_EQ(std::vector<uint8_t>(image.pPixels, image.pPixels + 64 * 48 * 3), picture.Bytes());
    NKReleaseImagePixels(&image);
    const int aiOutside[2] = {64, 0}, aiSize[2] = {4, 4};
    EXPECT_FALSE(NKCopySceneToClipboard(64, 48, aiOutside, aiSize));
    std::vector<uint8_t> after;
    ASSERT_TRUE(NKGetClipboardDib(&after));
    EXPECT_EQ(after, dib);
}

}  // namespace
