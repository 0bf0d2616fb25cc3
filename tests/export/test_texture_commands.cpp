// tests/export/test_texture_commands.cpp -- the texture commands through the
// interpreter: reading BMP images into the texture list, mapping them onto
// parts, the parts' texture options, listing, clearing (with the background
// and textured polygons that show an image) and the list update flags.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "core/nk_export_items.h"
#include "core/nk_image_record.h"
#include "core/nk_render_state.h"
#include "export/nk_bmp_files.h"
#include "platform/nk_clipboard.h"
#include "render/nk_background.h"
#include "render/nk_overlays.h"
#include "render/nk_texture_images.h"
#include "tests/export/export_fixture.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"
#include "tools/nk_texture_commands.h"
#include "tools/nk_user_drawing.h"

namespace {

// A 24-bit BMP of w x h pixels, rows bottom-up, given as RGB triples.
std::vector<uint8_t> MakeBmp(int w, int h, const std::vector<uint8_t> &rgb)
{
    const int iRow = (w * 3 + 3) & ~3;
    const uint32_t uSize = 54 + iRow * h;
    std::vector<uint8_t> b(uSize, 0);
    auto put32 = [&b](int at, uint32_t v) {
        for (int i = 0; i < 4; i++) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, uSize);
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    b[26] = 1;
    b[28] = 24;
    put32(34, iRow * h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            for (int c = 0; c < 3; c++) b[54 + y * iRow + x * 3 + c] = rgb[(y * w + x) * 3 + 2 - c];
    return b;
}

// Bottom row red, green; top row blue, white.
std::vector<uint8_t> QuadBmp()
{
    return MakeBmp(2, 2, {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255});
}

class TextureCommands : public ExportModelTest {
protected:
    void SetUp() override
    {
        ExportModelTest::SetUp();
        NKRegisterTextureCommands();
        NKInstallTextureFileReaders();
        *g_pListUpdateInfo = NKListUpdateInfo();
        ASSERT_TRUE(NKTestWriteBytes(Path("q.bmp"), QuadBmp()));
        MakeParts(7);
    }
    void TearDown() override
    {
        NKSetCommandHandler(NK_HANDLER_TEXTURE, nullptr);
        NKClearUserTexturePolygons();
        g_BackgroundImage = NKBackgroundImage();
        NKSetBackgroundImage(nullptr, 2, 0.0f, 0.0f);
        NKClearTextureImageList(&TextureImageList);
        *g_pListUpdateInfo = NKListUpdateInfo();
        ExportModelTest::TearDown();
    }
    NKPart &Part(int i) { return g_pModel->pFrames[0].pGeometry->pParts[i - 1]; }
    static const ImageRecord *ImageOf(const NKPart &part) { return part.pTexture; }
    static ImageRecord *Image(int i)
    {
        return static_cast<ImageRecord *>(TextureImageList.GetAt(i));
    }
    int Run(const std::string &line) { return ExecuteCommand(line.c_str()); }
    // Reads q.bmp under each of the names.
    void Load(std::initializer_list<const char *> names)
    {
        for (const char *n : names) ASSERT_EQ(Run("readtexture " + Path("q.bmp") + " " + n), 0);
    }
};

TEST_F(TextureCommands, ReadTextureLoadsEnablesAndLists)
{
    MessageCapture capture;
    EXPECT_EQ(Run("listtextures"), 0);
    EXPECT_TRUE(capture.Contains("No texture images currently loaded"));
    EXPECT_EQ(Run("readtexture " + Path("q.bmp") + " 1 1 q"), 0);
    EXPECT_TRUE(capture.Contains("Texture q loaded and enabled for part 1 to part 1"));
    ASSERT_EQ(TextureImageList.GetSize(), 1);
    const ImageRecord *p = Image(0);
    ASSERT_EQ(p->iWidth, 2);
    ASSERT_EQ(p->iHeight, 2);
    const uint8_t expected[12] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    EXPECT_EQ(std::memcmp(p->pPixels, expected, 12), 0);
    EXPECT_EQ(ImageOf(Part(1)), p);
    EXPECT_EQ(Part(1).uTextureMode[0], 1);
    EXPECT_EQ(Part(1).uTextureMode[1], 0);
    EXPECT_EQ(ImageOf(Part(2)), nullptr);
    EXPECT_TRUE(g_pListUpdateInfo->bTextureImages);
    EXPECT_TRUE(g_pListUpdateInfo->bPartTextures);
    capture.Clear();
    EXPECT_EQ(Run("listtextures"), 0);
    EXPECT_TRUE(capture.Contains("Currently loaded texture images:\n q (2x2)"));
    EXPECT_EQ(Run("listtextures 1 1"), 0);
    EXPECT_TRUE(capture.Contains("Texture info for parts 1 to 1:\npart 1: q (texture mapping)"));
    EXPECT_EQ(Run("listtextures 2 3"), 0);
    EXPECT_TRUE(capture.Contains("Texture info for parts 2 to 3:\n none"));
    EXPECT_EQ(Run("listtextures q"), 0);
    EXPECT_TRUE(capture.Contains("Parts using texture: 1"));
    EXPECT_EQ(Run("listtextures nothere"), 1);
    EXPECT_TRUE(capture.Contains("Invalid part range or texture name specified"));
    // Without a range or name: the file name names it.
    capture.Clear();
    EXPECT_EQ(Run("readtexture " + Path("q.bmp")), 0);
    EXPECT_TRUE(capture.Contains("Texture q.bmp succesfully loaded"));
    // The same name again replaces the pixels in place.
    EXPECT_EQ(Run("readtexture " + Path("q.bmp") + " q"), 0);
    EXPECT_EQ(TextureImageList.GetSize(), 2);
    EXPECT_EQ(Image(0), p);
    EXPECT_EQ(ImageOf(Part(1)), p);
}

TEST_F(TextureCommands, ReadTextureRefusals)
{
    MessageCapture capture;
    EXPECT_EQ(Run("readtexture"), 1);
    EXPECT_TRUE(
        capture.Contains("readtexture: Cannot open file for reading. No filename specified"));
    Load({"q"});
    EXPECT_EQ(Run("readtexture " + Path("none.bmp")), 1);
    EXPECT_TRUE(capture.Contains("Unable to open file for reading"));
    EXPECT_TRUE(capture.HasLine("File \"" + Path("none.bmp") + "\": no such file.", NK_MSG_ERROR));
    ASSERT_TRUE(NKTestWriteText(Path("junk.bmp"), "neither a bitmap nor an SGI image at all"));
    EXPECT_EQ(Run("readtexture " + Path("junk.bmp")), 1);
    EXPECT_TRUE(capture.Contains("Image file format not recognized (tried both BMP and SGI RGB)"));
    EXPECT_TRUE(capture.HasLine("File \"" + Path("junk.bmp") + "\".", NK_MSG_ERROR));
    EXPECT_EQ(TextureImageList.GetSize(), 1);
}

TEST_F(TextureCommands, ClipboardImage)
{
    NKSetClipboardDib(nullptr, 0);
    MessageCapture capture;
    const std::vector<uint8_t> bmp = QuadBmp();
    if (!NKSetClipboardDib(bmp.data() + 14, bmp.size() - 14)) GTEST_SKIP() << "no clipboard";
    EXPECT_EQ(Run("readtexture clipboard 1 1 clip"), 0);
    EXPECT_TRUE(capture.Contains("Texture clip loaded and enabled for part 1 to part 1"));
    ASSERT_EQ(TextureImageList.GetSize(), 1);
    EXPECT_EQ(Image(0)->iWidth, 2);
    EXPECT_EQ(Image(0)->pPixels[3 * 3 + 1], 255);  // top right white
    EXPECT_EQ(Run("readtexture clipboard"), 0);
    EXPECT_EQ(std::string(Image(1)->szName.GetText()).rfind("ClipImage", 0), 0u);
}

// A file cut at any length adds nothing or the whole image.
TEST_F(TextureCommands, CutBitmapAddsNothingOrTheWholeImage)
{
    const std::vector<uint8_t> whole = QuadBmp();
    for (size_t n = 0; n <= whole.size(); n++) {
        SCOPED_TRACE(n);
        std::vector<uint8_t> cut(whole.begin(), whole.begin() + n);
        ASSERT_TRUE(NKTestWriteBytes(Path("cut.bmp"), cut));
        MessageCapture capture;
        int iResult = Run("readtexture " + Path("cut.bmp") + " c");
        if (iResult == 0) {
            ASSERT_EQ(TextureImageList.GetSize(), 1);
            EXPECT_EQ(Image(0)->iWidth, 2);
            EXPECT_EQ(Image(0)->iHeight, 2);
            EXPECT_NE(Image(0)->pPixels, nullptr);
            NKClearTextureImageList(&TextureImageList);
        } else {
            EXPECT_EQ(iResult, 1);
            EXPECT_EQ(TextureImageList.GetSize(), 0);
        }
    }
}

TEST_F(TextureCommands, TextureAndEnvironmentMapping)
{
    MessageCapture capture;
    EXPECT_EQ(Run("texture 1 1"), 1);
    EXPECT_TRUE(capture.Contains("texture: No texture images loaded"));
    Load({"a", "b"});
    Part(2).pTexture = Image(1);
    EXPECT_EQ(Run("texture 1 3"), 0);
    EXPECT_TRUE(capture.Contains(
        "Enable texture mapping for part 1 to part 3 (a used as default texture)"));
    EXPECT_EQ(ImageOf(Part(1)), Image(0));
    EXPECT_EQ(ImageOf(Part(2)), Image(1));
    EXPECT_EQ(ImageOf(Part(3)), Image(0));
    for (int i = 1; i <= 3; i++) EXPECT_EQ(Part(i).uTextureMode[0], 1);
    EXPECT_EQ(Run("texture 1 1 c"), 1);
    EXPECT_TRUE(capture.Contains("texture: Invalid texture name specified"));

    EXPECT_EQ(Run("environment 1 1 b"), 0);
    EXPECT_TRUE(capture.Contains("Enable environment mapping for part 1 to part 1 with texture b"));
    EXPECT_EQ(ImageOf(Part(1)), Image(1));
    EXPECT_EQ(Part(1).uTextureMode[0], 0);
    EXPECT_EQ(Part(1).uTextureMode[1], 1);
    capture.Clear();
    EXPECT_EQ(Run("listtextures 1 2"), 0);
    EXPECT_TRUE(capture.Contains("part 1: b (environment mapping)\npart 2: b (texture mapping)"));
    EXPECT_EQ(Run("hideenvironment 1 1"), 0);
    EXPECT_TRUE(capture.Contains("Hide environment mapping for part 1 to part 1"));
    EXPECT_EQ(Part(1).uTextureMode[1], 0);
    EXPECT_EQ(ImageOf(Part(1)), Image(1));
    EXPECT_EQ(Run("listtextures 1 1"), 0);
    EXPECT_TRUE(capture.Contains("part 1: b (disabled)"));
    EXPECT_EQ(Run("hidetexture 2 2"), 0);
    EXPECT_TRUE(capture.Contains("Hide texture mapping for part 2 to part 2"));
    EXPECT_EQ(Run("notexture 1 3"), 0);
    EXPECT_TRUE(capture.Contains("Disable texture mapping for part 1 to part 3"));
    for (int i = 1; i <= 3; i++) EXPECT_EQ(ImageOf(Part(i)), nullptr);
    EXPECT_EQ(Run("texture 9 9"), 1);  // a range past the parts
}

TEST_F(TextureCommands, NoTextureWithoutImagesOnlyInforms)
{
    MessageCapture capture;
    EXPECT_EQ(Run("notexture 1 1"), 0);
    EXPECT_TRUE(capture.Contains("No textures are loaded."));
    EXPECT_EQ(Run("hidetexture 1 1"), 1);
    EXPECT_TRUE(capture.Contains("hidetexture: No texture images loaded"));
}

TEST_F(TextureCommands, PartTextureOptions)
{
    struct Row {
        const char *pszLine;
        const char *pszMessage;  // null: silent
        int NKPart::*pInt;
        uint8_t NKPart::*pByte;
        int iValue;
    } rows[] = {
        {"textureplane xy 1 1", nullptr, &NKPart::iTexturePlane, nullptr, 0},
        {"textureplane yx 1 1", nullptr, &NKPart::iTexturePlane, nullptr, 0},
        {"textureplane xz 1 1", nullptr, &NKPart::iTexturePlane, nullptr, 1},
        {"textureplane zx 1 1", nullptr, &NKPart::iTexturePlane, nullptr, 1},
        {"textureplane zy 1 1", nullptr, &NKPart::iTexturePlane, nullptr, 2},
        {"textureplane yz 1 1", nullptr, &NKPart::iTexturePlane, nullptr, 2},
        {"textureplane nearest 1 1", nullptr, &NKPart::iTexturePlane, nullptr, 4},
        {"textureplane bogus 1 1", nullptr, &NKPart::iTexturePlane, nullptr, 3},
        {"textureclamp 1 1", "Disable texture repeating for part 1 to part 1.", nullptr,
         &NKPart::bTextureTile, 0},
        {"texturetile 1 1", "Enable texture repeating for part 1 to part 1.", nullptr,
         &NKPart::bTextureTile, 1},
        {"texturenearest 1 1", nullptr, nullptr, &NKPart::bTextureFlag, 1},
        {"texturelinear 1 1", nullptr, nullptr, &NKPart::bTextureFlag, 0},
        {"envmode 1 1 modulate", "Setting environment modulate mode", nullptr, &NKPart::envmode, 0},
        {"envmode 1 1 decal", "Setting environment decal mode", nullptr, &NKPart::envmode, 1},
        {"envmode 1 1 0", "Setting environment modulate mode", nullptr, &NKPart::envmode, 0},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.pszLine);
        *g_pListUpdateInfo = NKListUpdateInfo();
        MessageCapture capture;
        EXPECT_EQ(Run(r.pszLine), 0);
        if (r.pszMessage != nullptr) {
            EXPECT_TRUE(capture.Contains(r.pszMessage));
        }
        if (r.pInt != nullptr) {
            EXPECT_EQ(Part(1).*r.pInt, r.iValue);
        }
        if (r.pByte != nullptr) {
            EXPECT_EQ(Part(1).*r.pByte, r.iValue);
        }
        EXPECT_TRUE(g_pListUpdateInfo->bPartTextures);
        EXPECT_EQ(g_pListUpdateInfo->iTextureFirst, 0);
        EXPECT_EQ(g_pListUpdateInfo->iTextureLast, 0);
    }
}

TEST_F(TextureCommands, UpdateFlagsGrowAndStayAll)
{
    struct Row {
        std::vector<std::pair<int, int>> flags;
        int iFirst, iLast;
    } rows[] = {
        {{{4, 6}, {1, 2}}, 1, 6},
        {{{4, 6}, {-1, -1}}, -1, -1},
        {{{-1, -1}, {2, 3}}, -1, -1},
        {{{2, 3}, {2, 3}}, 2, 3},
    };
    for (const Row &r : rows) {
        NKListUpdateInfo parts, images;
        for (auto [a, b] : r.flags) {
            EXPECT_TRUE(NKFlagTexturesForUpdate(&parts, a, b));
            EXPECT_TRUE(NKFlagTextureImagesForUpdate(&images, a, b));
        }
        EXPECT_EQ(parts.iTextureFirst, r.iFirst);
        EXPECT_EQ(parts.iTextureLast, r.iLast);
        EXPECT_EQ(images.iImageFirst, r.iFirst);
        EXPECT_EQ(images.iImageLast, r.iLast);
    }
    EXPECT_FALSE(NKFlagTexturesForUpdate(nullptr, 0, 0));
}

TEST_F(TextureCommands, ClearingAnImageReleasesEveryUser)
{
    Load({"q", "r", "s"});
    ASSERT_EQ(Run("texture 1 1 q"), 0);
    ASSERT_EQ(Run("texture 2 2 r"), 0);
    ASSERT_EQ(Run("texture 3 3 s"), 0);
    ImageRecord *pQ = Image(0);
    ImageRecord *pR = Image(1);
    const float afCorners[12] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    ASSERT_TRUE(NKAddUserTexturePolygon(pQ, afCorners));
    ASSERT_TRUE(NKAddUserTexturePolygon(pR, afCorners));
    g_BackgroundImage.pImage = pQ;
    ASSERT_NE(g_pBackgroundSettings, nullptr);
    g_pBackgroundSettings->iMode = 5;
    NKSetBackgroundImage(pQ, 1, 2.0f, 2.0f);

    MessageCapture capture;
    EXPECT_EQ(Run("cleartextures"), 1);
    EXPECT_TRUE(capture.Contains("cleartextures: No texture name specified"));
    EXPECT_EQ(Run("cleartextures nothere"), 1);
    EXPECT_EQ(Run("cleartextures q"), 0);
    EXPECT_TRUE(capture.Contains("Cleared textureq from memory"));
    ASSERT_EQ(TextureImageList.GetSize(), 2);
    EXPECT_EQ(Image(0), pR);
    EXPECT_EQ(NKFindTextureImage(&TextureImageList, "s"), 1);
    EXPECT_EQ(ImageOf(Part(1)), nullptr);
    EXPECT_EQ(Part(1).uTextureMode[0], 0);
    EXPECT_EQ(ImageOf(Part(2)), pR);
    EXPECT_EQ(NKCountUserTexturePolygons(), 1);
    EXPECT_EQ(g_BackgroundImage.pImage, nullptr);
    EXPECT_EQ(g_pBackgroundSettings->iMode, 0);
    EXPECT_EQ(g_LogoState.pImage, nullptr);
    EXPECT_TRUE(g_pListUpdateInfo->bTextureImages);
    EXPECT_EQ(g_pListUpdateInfo->iImageFirst, -1);

    EXPECT_EQ(Run("cleartextures all"), 0);
    EXPECT_TRUE(capture.Contains("Cleared all textures from memory"));
    EXPECT_EQ(TextureImageList.GetSize(), 0);
    EXPECT_EQ(NKCountUserTexturePolygons(), 0);
    for (int i = 1; i <= 7; i++) EXPECT_EQ(ImageOf(Part(i)), nullptr);
}

TEST_F(TextureCommands, ListFunctionsRemoveAndClear)
{
    EXPECT_FALSE(NKClearTextureImages(&TextureImageList, nullptr));
    Load({"a", "b", "c"});
    ImageRecord other;
    other.szName = "zz";
    EXPECT_FALSE(NKRemoveTextureImage(&TextureImageList, &other));
    EXPECT_TRUE(NKRemoveTextureImage(&TextureImageList, Image(0)));
    EXPECT_EQ(NKFindTextureImage(&TextureImageList, "b"), 0);
    EXPECT_EQ(NKFindTextureImage(&TextureImageList, "c"), 1);
    EXPECT_TRUE(NKClearTextureImages(&TextureImageList, nullptr));
    EXPECT_EQ(TextureImageList.GetSize(), 0);
}

}  // namespace
