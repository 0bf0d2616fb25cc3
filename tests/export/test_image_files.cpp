// tests/export/test_image_files.cpp -- the still-image writers and readers
// without a display: round trips through the netpbm decoders, the exact
// layouts of GIF, TIFF and SGI files, the BMP and SGI readers over good,
// cut and damaged files, and writes that fail half way.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <functional>

#include <gtest/gtest.h>

#include "export/nk_bmp_files.h"
#include "export/nk_gif_writer.h"
#include "export/nk_image.h"
#include "export/nk_image_files.h"
#include "export/nk_offscreen.h"
#include "render/nk_background.h"
#include "tests/export/image_test_support.h"
#include "tests/test_support/test_files.h"

namespace {

class ImageFiles : public ::testing::Test {
protected:
    void SetUp() override { m_Dir = NKTestMakeTempDir("images"); }
    void TearDown() override { NKTestRemoveDir(m_Dir); }
    std::string Path(const char *pszName) const { return m_Dir + "/" + pszName; }
    std::string m_Dir;
};

NKOffscreenBitmap *BitmapOf(const ImageRecord *p)
{
    NKOffscreenBitmap *b = NKCreateBitmap(p->iWidth, p->iHeight);
    for (int y = 0; y < p->iHeight; y++)
        for (int x = 0; x < p->iWidth; x++)
            for (int c = 0; c < 3; c++)
                b->pBits[(size_t)y * b->iStride + 3 * x + c] =
                    p->pPixels[((size_t)y * p->iWidth + x) * 3 + 2 - c];
    return b;
}

int WriteBmp(const ImageRecord *p, const char *pszFile)
{
    NKOffscreenBitmap *b = BitmapOf(p);
    int iStatus = NKWriteBitmapFile(b, pszFile);
    NKDeleteBitmap(b);
    return iStatus;
}

struct Writer {
    const char *pszName, *pszDecoder;
    std::function<int(const ImageRecord *, const char *)> write;
};

const Writer kWriters[] = {{"t.ppm", "ppmtoppm <", WritePpmFile},
                           {"t.rgb", "sgitopnm", WriteSgiRgbFile},
                           {"t.tif", "tifftopnm", WriteTiffFile},
                           {"t.bmp", "bmptopnm", WriteBmp}};

TEST_F(ImageFiles, EveryWriterDecodesToExactlyItsPixels)
{
    TestImage image(67, 45);
    NKTestFillEveryByte(&image);
    for (const Writer &w : kWriters) {
        ASSERT_EQ(w.write(&image, Path(w.pszName).c_str()), 1) << w.pszName;
        int iw = 0, ih = 0;
        std::vector<uint8_t> rgb;
        ASSERT_TRUE(NKTestDecodeWith(w.pszDecoder, Path(w.pszName), &iw, &ih, &rgb)) << w.pszName;
        EXPECT_EQ(iw, 67);
        EXPECT_EQ(ih, 45);
        EXPECT_EQ(rgb, image.Bytes()) << w.pszName;
    }
}

// What a naive pixel-by-pixel gamma and dither picks: the palette colour.
void NaiveGifColor(int x, int yTop, const uint8_t *pRGB, uint8_t *pOut)
{
    static const int T[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    const int aiLevels[3] = {8, 8, 4};
    for (int c = 0; c < 3; c++) {
        const int g = (int)(std::pow(pRGB[c] / 255.0, (double)0.6666667f) * 255.0 + 0.5);
        const int n = aiLevels[c];
        int s = g * (16 * n - 15) / 255;
        if (s == 16 * n - 15) s--;
        const int iLevel = s / 16 + (s % 16 > T[x % 4][yTop % 4] ? 1 : 0);
        pOut[c] = (uint8_t)(iLevel * 255 / (n - 1));
    }
}

void ExpectGifDecodes(const ImageRecord &image, const std::string &file)
{
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(NKTestDecodeWith("giftopnm", file, &w, &h, &rgb));
    ASSERT_EQ(w, image.iWidth);
    ASSERT_EQ(h, image.iHeight);
    size_t nWrong = 0;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            const size_t i = ((size_t)y * w + x) * 3;
            uint8_t expected[3];
            NaiveGifColor(x, h - 1 - y, image.pPixels + i, expected);
            if (std::memcmp(expected, &rgb[i], 3) != 0) nWrong++;
        }
    EXPECT_EQ(nWrong, 0u) << file;
}

// The LZW codes of a GIF written here: the number of clear codes met
// before the end code, -1 when the data ends first.
int CountClearCodes(const std::string &data)
{
    size_t pos = 13 + 768 + 10 + 1;
    std::vector<uint8_t> codes;
    while (pos < data.size() && data[pos] != 0) {
        const size_t n = (uint8_t)data[pos];
        codes.insert(codes.end(), data.begin() + pos + 1, data.begin() + pos + 1 + n);
        pos += n + 1;
    }
    int iWidth = 9, iCount = 0, iClears = 0;
    size_t bit = 0;
    while (bit + iWidth <= codes.size() * 8) {
        int c = 0;
        for (int k = 0; k < iWidth; k++, bit++) c |= ((codes[bit / 8] >> (bit % 8)) & 1) << k;
        if (c == 257) return iClears;
        if (c == 256) {
            iClears++;
            if (iClears > 1) iWidth = 9, iCount = 0;
            continue;
        }
        iCount++;
        if (257 + iCount > (1 << iWidth) - 1 && iWidth < 12) iWidth++;
    }
    return -1;
}

TEST_F(ImageFiles, GifFilesHaveTheirExactSizesAndDecodeToTheDitheredPalette)
{
    TestImage every(67, 45), black(1, 1), flat(1920, 1080), noise(1920, 1080), pure(64, 48);
    NKTestFillEveryByte(&every);
    NKTestFillFlat(&flat, 255, 0, 255);
    NKTestFillNoise(&noise, 7);
    NKTestFillNoise(&pure, 3);
    for (size_t i = 0; i < (size_t)64 * 48 * 3; i++)
        pure.pPixels[i] = pure.pPixels[i] < 128 ? 0 : 255;
    struct Case {
        const ImageRecord *pImage;
        const char *pszName;
        long nSize;
    } cases[] = {{&every, "every.gif", -1},
                 {&black, "black.gif", 799},
                 {&flat, "flat.gif", 3510},
                 {&noise, "noise.gif", -1},
                 {&pure, "pure.gif", -1}};
    for (const Case &c : cases) {
        ASSERT_EQ(WriteGifFile(c.pImage, Path(c.pszName).c_str()), 1) << c.pszName;
        const std::string data = NKTestReadFile(Path(c.pszName));
        if (c.nSize >= 0) {
            EXPECT_EQ((long)data.size(), c.nSize) << c.pszName;
        }
        EXPECT_EQ(data.substr(0, 6), "GIF87a");
        EXPECT_EQ((uint8_t)data[10], 0xE7);
        ExpectGifDecodes(*c.pImage, Path(c.pszName));
    }
    const std::string tail = NKTestReadFile(Path("black.gif")).substr(791);
    EXPECT_EQ(tail, std::string("\x08\x04\x00\x01\x04\x04\x00\x3B", 8));
    EXPECT_GT(CountClearCodes(NKTestReadFile(Path("noise.gif"))), 1);
    EXPECT_EQ(CountClearCodes(NKTestReadFile(Path("black.gif"))), 1);
    // Channels of only 0 and 255 come back exactly.
    int w, h;
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(NKTestDecodeWith("giftopnm", Path("pure.gif"), &w, &h, &rgb));
    EXPECT_EQ(rgb, pure.Bytes());
}

std::string RunTool(const std::string &command)
{
    std::string out;
    FILE *p = popen(command.c_str(), "r");
    char buffer[4096];
    size_t n;
    while (p != nullptr && (n = fread(buffer, 1, sizeof(buffer), p)) > 0) out.append(buffer, n);
    if (p != nullptr) pclose(p);
    return out;
}

TEST_F(ImageFiles, TiffStripsAndDirectoryLieWhereTheLayoutSays)
{
    TestImage square(100, 100), wide(3000, 10);
    NKTestFillNoise(&square, 1);
    NKTestFillNoise(&wide, 2);
    ASSERT_EQ(WriteTiffFile(&square, Path("s.tif").c_str()), 1);
    ASSERT_EQ(WriteTiffFile(&wide, Path("w.tif").c_str()), 1);
    EXPECT_EQ(NKTestReadFile(Path("s.tif")).size(), 30212u);
    const std::string dump = RunTool("tiffdump '" + Path("s.tif") + "'");
    EXPECT_NE(dump.find("Directory 0: offset 30008"), std::string::npos) << dump;
    EXPECT_NE(dump.find("RowsPerStrip (278) LONG (4) 1<27>"), std::string::npos) << dump;
    EXPECT_NE(dump.find("StripOffsets (273) LONG (4) 4<8 8108 16208 24308>"), std::string::npos);
    EXPECT_NE(dump.find("StripByteCounts (279) LONG (4) 4<8100 8100 8100 5700>"),
              std::string::npos);
    const std::string wideDump = RunTool("tiffdump '" + Path("w.tif") + "'");
    EXPECT_NE(wideDump.find("RowsPerStrip (278) LONG (4) 1<1>"), std::string::npos) << wideDump;
    int w, h;
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(NKTestDecodeWith("tifftopnm", Path("w.tif"), &w, &h, &rgb));
    EXPECT_EQ(rgb, wide.Bytes());
    // One strip: offset and length in the entries, the tables still behind.
    TestImage one(4, 3);
    ASSERT_EQ(WriteTiffFile(&one, Path("o.tif").c_str()), 1);
    const std::string oneDump = RunTool("tiffdump '" + Path("o.tif") + "'");
    EXPECT_NE(oneDump.find("StripOffsets (273) LONG (4) 1<8>"), std::string::npos) << oneDump;
    EXPECT_EQ(NKTestReadFile(Path("o.tif")).size(), 8u + 36 + 150 + 6 + 4 + 4 + 16);
}

TEST_F(ImageFiles, SgiFilesHaveTheirHeaderAndReadBackFromEveryWriter)
{
    TestImage image(64, 48);
    NKTestFillEveryByte(&image);
    for (int i = 0; i < 64 * 10 * 3; i++) image.pPixels[i] = 9;  // runs too
    ASSERT_EQ(WriteSgiRgbFile(&image, Path("t.rgb").c_str()), 1);
    const std::string data = NKTestReadFile(Path("t.rgb"));
    EXPECT_EQ(data.substr(0, 12),
              std::string("\x01\xDA\x01\x01\x00\x03\x00\x40\x00\x30\x00\x03", 12));
    EXPECT_EQ(data.substr(24, 39), std::string("Imagedump from Quolin Dulm, Brovik ASA") + '\0');
    EXPECT_EQ(data.substr(512, 4), std::string("\x00\x00\x06\x80", 4));  // 1664
    ASSERT_EQ(WritePpmFile(&image, Path("t.ppm").c_str()), 1);
    ASSERT_EQ(system(("pnmtosgi '" + Path("t.ppm") + "' > '" + Path("p.rgb") + "' 2>/dev/null; " +
                      "pnmtosgi -verbatim '" + Path("t.ppm") + "' > '" + Path("v.rgb") +
                      "' 2>/dev/null; ppmtopgm '" + Path("t.ppm") + "' | pnmtosgi > '" +
                      Path("g.rgb") + "' 2>/dev/null")
                         .c_str()),
              0);
    for (const char *pszName : {"t.rgb", "p.rgb", "v.rgb"}) {
        ImageRecord back;
        ASSERT_EQ(NKReadSgiRgbFile(Path(pszName).c_str(), &back), 1) << pszName;
        EXPECT_EQ(std::vector<uint8_t>(back.pPixels, back.pPixels + 64 * 48 * 3), image.Bytes())
            << pszName;
        NKFree(back.pPixels);
    }
    ImageRecord grey;
    ASSERT_EQ(NKReadSgiImage(Path("g.rgb").c_str(), &grey), 1);
    EXPECT_EQ(grey.pPixels[0], grey.pPixels[1]);
    EXPECT_EQ(grey.pPixels[1], grey.pPixels[2]);
    NKFree(grey.pPixels);
    // A magic other than 474, two bytes a channel.
    std::string bad = data;
    bad[0] = 2;
    NKTestWriteBytes(Path("bad.rgb"), bad.data(), bad.size());
    ImageRecord none;
    EXPECT_EQ(NKReadSgiRgbFile(Path("bad.rgb").c_str(), &none), -9);
    bad = data;
    bad[3] = 2;
    NKTestWriteBytes(Path("bad.rgb"), bad.data(), bad.size());
    EXPECT_EQ(NKReadSgiRgbFile(Path("bad.rgb").c_str(), &none), -7);
    EXPECT_EQ(NKReadSgiRgbFile(Path("missing.rgb").c_str(), &none), -5);
    EXPECT_EQ(none.pPixels, nullptr);
}

TEST(SgiRows, RunsAndLiteralsComeInPiecesOf126)
{
    struct Case {
        std::vector<uint8_t> row;
        std::vector<uint8_t> expected;
    };
    std::vector<uint8_t> flat(300, 7), mixed(130);
    for (int i = 0; i < 130; i++) mixed[(size_t)i] = (uint8_t)(i % 2);
    std::vector<uint8_t> mixedOut = {0x80 | 126};
    mixedOut.insert(mixedOut.end(), mixed.begin(), mixed.begin() + 126);
    // The last four: two of them go literal up to the end, then one by one.
    mixedOut.insert(mixedOut.end(), {0x82, 0, 1, 1, 0, 1, 1, 0});
    const Case cases[] = {{flat, {126, 7, 126, 7, 48, 7, 0}}, {mixed, mixedOut}, {{5}, {1, 5, 0}}};
    for (const Case &c : cases) {
        std::vector<uint8_t> out(2 * c.row.size() + 10);
        const int64_t n =
            CompressSgiRow(c.row.data(), (int64_t)c.row.size(), 1, out.data(), (int64_t)out.size());
        out.resize((size_t)(n < 0 ? 0 : n));
        EXPECT_EQ(out, c.expected);
    }
}

// A BMP file around a packed bitmap of the given header fields, table and
// pixel bytes.
std::string MakeBmp(int w, int h, int iBits, int iCompression, const std::vector<uint8_t> &table,
                    const std::vector<uint8_t> &pixels)
{
    std::string s(54, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; i++) s[at + i] = (char)(v >> (8 * i));
    };
    s[0] = 'B', s[1] = 'M';
    put32(2, (uint32_t)(54 + table.size() + pixels.size()));
    put32(10, (uint32_t)(54 + table.size()));
    put32(14, 40), put32(18, (uint32_t)w), put32(22, (uint32_t)h);
    s[26] = 1, s[28] = (char)iBits;
    put32(30, (uint32_t)iCompression), put32(34, (uint32_t)pixels.size());
    put32(46, (uint32_t)(table.size() / 4));
    s.append(table.begin(), table.end());
    s.append(pixels.begin(), pixels.end());
    return s;
}

int LoadImage(const std::string &path, ImageRecord *pImage, bool bRequire24 = false)
{
    uint8_t *pDib = nullptr;
    size_t n = 0;
    int iStatus = NKLoadBitmapFile(path.c_str(), &pDib, &n, bRequire24);
    if (iStatus == 1 && !NKDibToImageRecord(pDib, n, pImage)) iStatus = 0;
    NKFree(pDib);
    return iStatus;
}

TEST_F(ImageFiles, BmpFilesOfEveryKindReadBackToTheirPixels)
{
    // 16 colours, so that ppmtobmp can write 4 and 8 bits too.
    TestImage image(13, 7);
    for (int i = 0; i < 13 * 7; i++)
        for (int c = 0; c < 3; c++) image.pPixels[3 * i + c] = (uint8_t)(((i * (c + 1)) % 4) * 85);
    ASSERT_EQ(WritePpmFile(&image, Path("t.ppm").c_str()), 1);
    for (int iBits : {4, 8, 24}) {
        const std::string file = Path("p.bmp");
        ASSERT_EQ(system(("ppmtobmp -bpp " + std::to_string(iBits) + " '" + Path("t.ppm") +
                          "' > '" + file + "' 2>/dev/null")
                             .c_str()),
                  0);
        ImageRecord back;
        ASSERT_EQ(LoadImage(file, &back), 1) << iBits;
        EXPECT_EQ(std::vector<uint8_t>(back.pPixels, back.pPixels + 13 * 7 * 3), image.Bytes())
            << iBits;
        NKFree(back.pPixels);
        back.pPixels = nullptr;
        EXPECT_EQ(LoadImage(file, &back, true), iBits == 24 ? 1 : -7);
        NKFree(back.pPixels);
        back.pPixels = nullptr;
    }
    // Palette of three colours: index 5 red, 1 to 3 grey levels, 7 blue.
    std::vector<uint8_t> table(8 * 4, 0);
    table[5 * 4 + 2] = 255, table[7 * 4] = 255;
    for (int k = 1; k <= 3; k++)
        table[k * 4] = table[k * 4 + 1] = table[k * 4 + 2] = (uint8_t)(k * 60);
    struct RleCase {
        int iBits, iCompression, w;
        std::vector<uint8_t> runs;
        std::vector<int> indices;  // bottom row first
    } cases[] = {
        {8, 1, 6, {3, 5, 0, 3, 1, 2, 3, 0, 0, 0, 6, 7, 0, 1}, {5, 5, 5, 1, 2, 3, 7, 7, 7, 7, 7, 7}},
        {4, 2, 5, {5, 0x15, 0, 0, 0, 5, 0x37, 0x23, 0x50, 0, 0, 1}, {1, 5, 1, 5, 1, 3, 7, 2, 3, 5}},
    };
    for (const RleCase &c : cases) {
        const std::vector<uint8_t> shortTable(table.begin(),
                                              table.begin() + (c.iBits == 4 ? 32 : 32));
        const std::string bmp = MakeBmp(c.w, 2, c.iBits, c.iCompression, shortTable, c.runs);
        NKTestWriteBytes(Path("r.bmp"), bmp.data(), bmp.size());
        ImageRecord back;
        ASSERT_EQ(LoadImage(Path("r.bmp"), &back), 1) << c.iBits;
        for (size_t i = 0; i < c.indices.size(); i++)
            for (int k = 0; k < 3; k++)
                EXPECT_EQ(back.pPixels[3 * i + k], table[(size_t)c.indices[i] * 4 + 2 - k])
                    << c.iBits << " pixel " << i;
        NKFree(back.pPixels);
    }
    // 32 bits a pixel, plain (blue, green, red, a fourth byte) and with bit
    // fields that put red in the low byte: 3 x 2 pixels of their own bytes,
    // each channel from its own byte of its own pixel.
    for (bool bFields : {false, true}) {
        SCOPED_TRACE(bFields ? "32-bit bit fields" : "32-bit");
        std::vector<uint8_t> pixels, expected;
        for (int i = 0; i < 6; i++) {
            const uint8_t r = (uint8_t)(200 + i), g = (uint8_t)(100 + i), b = (uint8_t)(10 + i);
            const std::vector<uint8_t> stored =
                bFields ? std::vector<uint8_t>{r, g, b, 0xEE} : std::vector<uint8_t>{b, g, r, 0xEE};
            pixels.insert(pixels.end(), stored.begin(), stored.end());
            expected.insert(expected.end(), {r, g, b});
        }
        const std::vector<uint8_t> fields = {0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0};
        const std::string bmp =
            MakeBmp(3, 2, 32, bFields ? 3 : 0, bFields ? fields : std::vector<uint8_t>{}, pixels);
        NKTestWriteBytes(Path("t32.bmp"), bmp.data(), bmp.size());
        ImageRecord back;
        ASSERT_EQ(LoadImage(Path("t32.bmp"), &back), 1);
        EXPECT_EQ(std::vector<uint8_t>(back.pPixels, back.pPixels + 18), expected);
        NKFree(back.pPixels);
    }
    // 5-6-5 white, a stored size that differs, a 3 x 2 file of 78 bytes.
    std::vector<uint8_t> masks = {0, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
    std::string bmp = MakeBmp(1, 1, 16, 3, masks, {0xFF, 0xFF, 0, 0});
    NKTestWriteBytes(Path("w.bmp"), bmp.data(), bmp.size());
    ImageRecord white;
    ASSERT_EQ(LoadImage(Path("w.bmp"), &white), 1);
    EXPECT_EQ(std::vector<uint8_t>(white.pPixels, white.pPixels + 3), std::vector<uint8_t>(3, 255));
    NKFree(white.pPixels);
    bmp += '\0';
    NKTestWriteBytes(Path("w.bmp"), bmp.data(), bmp.size());
    EXPECT_EQ(LoadImage(Path("w.bmp"), &white), -8);
    TestImage small(3, 2);
    ASSERT_EQ(WriteBmp(&small, Path("s.bmp").c_str()), 1);
    EXPECT_EQ(NKTestReadFile(Path("s.bmp")).size(), 78u);
    EXPECT_EQ(LoadImage(Path("none.bmp"), &white), -5);
    EXPECT_EQ(NKLoadBitmapFile(Path("s.bmp").c_str(), nullptr, nullptr, false), -1);
}

// The little-endian word of a file's bytes at byte offset i.
uint32_t LittleWord(const std::string &bytes, size_t i, int iBytes = 4)
{
    uint32_t w = 0;
    for (int k = iBytes - 1; k >= 0; k--) w = (w << 8) | (uint8_t)bytes[i + (size_t)k];
    return w;
}

// The header of a written 24-bit BMP read field by field, as another
// program reads it: the file size it states is the file's size (our own
// reader checks that field too), rows padded to four bytes; the file reads
// back to its pixels. The last file is past 16 MB: no size field loses its
// fourth byte.
TEST_F(ImageFiles, BmpHeaderStatesTheFileSizeAndLayout)
{
    const struct {
        int w, h;
        uint32_t iFileSize;
    } cases[] = {{1, 1, 58}, {3, 2, 78},   {4, 3, 90},
                 {5, 1, 70}, {13, 7, 334}, {2400, 2400, 17280054}};
    for (const auto &c : cases) {
        TestImage image(c.w, c.h);
        NKTestFillEveryByte(&image);
        ASSERT_EQ(WriteBmp(&image, Path("h.bmp").c_str()), 1);
        const std::string bytes = NKTestReadFile(Path("h.bmp"));
        ASSERT_GE(bytes.size(), 54u);
        const uint32_t iRow = ((uint32_t)c.w * 3 + 3) / 4 * 4;
        EXPECT_EQ(bytes.substr(0, 2), "BM");
        EXPECT_EQ(bytes.size(), c.iFileSize) << c.w << "x" << c.h;
        EXPECT_EQ(LittleWord(bytes, 2), bytes.size()) << c.w << "x" << c.h;  // bfSize
        EXPECT_EQ(LittleWord(bytes, 10), 54u);                               // bfOffBits
        EXPECT_EQ(LittleWord(bytes, 14), 40u);                               // biSize
        EXPECT_EQ(LittleWord(bytes, 18), (uint32_t)c.w);
        EXPECT_EQ(LittleWord(bytes, 22), (uint32_t)c.h);
        EXPECT_EQ(LittleWord(bytes, 26, 2), 1u);   // planes
        EXPECT_EQ(LittleWord(bytes, 28, 2), 24u);  // bits per pixel
        EXPECT_EQ(LittleWord(bytes, 30), 0u);      // no compression
        const uint32_t iImage = LittleWord(bytes, 34);
        EXPECT_TRUE(iImage == 0 || iImage == iRow * (uint32_t)c.h) << iImage;
        EXPECT_EQ(54 + iRow * (uint32_t)c.h, bytes.size());
        ImageRecord back;
        ASSERT_EQ(LoadImage(Path("h.bmp"), &back), 1) << c.w << "x" << c.h;
        EXPECT_TRUE(std::vector<uint8_t>(back.pPixels, back.pPixels + (size_t)c.w * c.h * 3) ==
                    image.Bytes())
            << c.w << "x" << c.h;
        NKFree(back.pPixels);
    }
}

TEST_F(ImageFiles, ReadersOfCutOrDamagedFilesAnswerAStatus)
{
    TestImage image(9, 5);
    NKTestFillNoise(&image, 4);
    for (int i = 0; i < 9 * 2 * 3; i++) image.pPixels[i] = 200;
    ASSERT_EQ(WriteSgiRgbFile(&image, Path("t.rgb").c_str()), 1);
    ASSERT_EQ(WriteBmp(&image, Path("t.bmp").c_str()), 1);
    std::vector<uint8_t> table(16 * 4, 9);
    const std::string rle = MakeBmp(6, 2, 8, 1, table, {3, 5, 0, 3, 1, 2, 3, 0, 0, 0, 6, 7, 0, 1});
    NKTestWriteBytes(Path("r.bmp"), rle.data(), rle.size());
    const std::function<int(const std::string &)> readers[] = {[](const std::string &p) {
                                                                   ImageRecord r;
                                                                   int s = NKReadSgiRgbFile(
                                                                       p.c_str(), &r);
                                                                   NKFree(r.pPixels);
                                                                   return s;
                                                               },
                                                               [](const std::string &p) {
                                                                   ImageRecord r;
                                                                   int s = LoadImage(p, &r);
                                                                   NKFree(r.pPixels);
                                                                   return s;
                                                               }};
    const std::pair<const char *, int> files[] = {{"t.rgb", 0}, {"t.bmp", 1}, {"r.bmp", 1}};
    for (const auto &f : files) {
        const std::string data = NKTestReadFile(Path(f.first));
        const std::string cut = Path("cut");
        for (size_t n = 0; n < data.size(); n++) {
            NKTestWriteBytes(cut, data.data(), n);
            EXPECT_LT(readers[f.second](cut), 1) << f.first << " cut at " << n;
        }
        for (size_t at = 0; at + 1 < data.size() && at < 700; at += 2) {
            std::string damaged = data;
            damaged[at] = (char)~damaged[at];
            damaged[at + 1] = (char)~damaged[at + 1];
            NKTestWriteBytes(cut, damaged.data(), damaged.size());
            readers[f.second](cut);  // any status; the sanitizers watch the reads
        }
    }
}

TEST_F(ImageFiles, AWriteThatFailsHalfWayKeepsTheTarget)
{
    TestImage noise(256, 256);
    NKTestFillNoise(&noise, 5);
    const std::string target = Path("old");
    NKTestWriteText(target, "the old file");
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        int iFailures = 0;
        const std::function<int(const ImageRecord *, const char *)> writers[] = {
            WritePpmFile, WriteSgiRgbFile, WriteTiffFile, WriteGifFile, WriteBmp};
        for (const auto &write : writers)
            if (write(&noise, target.c_str()) != -4 || NKTestReadFile(target) != "the old file")
                iFailures++;
        _exit(iFailures);
    }
    int iStatus = 0;
    ASSERT_EQ(waitpid(pid, &iStatus, 0), pid);
    ASSERT_TRUE(WIFEXITED(iStatus));
    EXPECT_EQ(WEXITSTATUS(iStatus), 0);
    EXPECT_EQ(NKTestReadFile(target), "the old file");
}

TEST(ImageTexts, StatusTextsFormatNamesAndTheSaveMessage)
{
    const std::pair<int, const char *> texts[] = {
        {1, "No errors"},
        {-7, "Unsupporten number of bits per pixel"},
        {-11, "RLE buffer too smalle"},
        {-10, "Unknown error"},
        {0, "Unknown error"},
        {-13, "Unable to create offscreen pixmap for rendering (use capturing instead)"}};
    for (const auto &t : texts) EXPECT_STREQ(NKImageErrorText(t.first).GetText(), t.second);
    EXPECT_STREQ(NKImageFormatNames(NK_IMAGE_PPM | NK_IMAGE_RGB, false).GetText(), "RGB");
    EXPECT_STREQ(NKImageFormatNames(NK_IMAGE_GIF | NK_IMAGE_EPS, true).GetText(), "gif");
    EXPECT_STREQ(NKImageFormatNames(NK_IMAGE_TIFF, true).GetText(), "tif");
    EXPECT_STREQ(NKImageFormatNames(0, true).GetText(), "XXX");
    EXPECT_STREQ(NKImageSaveMessage(true, true, NK_IMAGE_TIFF, "a.tif", 3, 4).GetText(),
                 "Capturing scene selection to TIFF-file: a.tif  (Image size: 3*4 pixels)");
    ImageRecord *pHeap = new ImageRecord;
    NKInitImageRecord(pHeap);
    EXPECT_STREQ(pHeap->szName.GetText(), "none");
    EXPECT_EQ(pHeap->iWidth, -1);
    NKFreeImageRecord(pHeap);
    NKFreeImageRecord(nullptr);
}

TEST(ExportBackground, SetGivesOnePlainColourAndRestorePutsTheOldBack)
{
    NKBackgroundSettings background;
    background.iMode = 3;
    background.ucColors[0][0] = 10, background.ucColors[1][2] = 77;
    const uint8_t white[3] = {255, 255, 255};
    NKSetExportBackground(white, &background, false);
    EXPECT_EQ(background.iMode, 0);
    EXPECT_EQ(background.ucColors[0][0], 255);
    EXPECT_EQ(background.ucColors[1][2], 77);
    NKSetExportBackground(nullptr, &background, true);
    EXPECT_EQ(background.iMode, 3);
    EXPECT_EQ(background.ucColors[0][0], 10);
    EXPECT_EQ(background.ucColors[0][1], 0);
    NKSetExportBackground(nullptr, &background, false);  // no colour: the mode alone
    EXPECT_EQ(background.iMode, 0);
    EXPECT_EQ(background.ucColors[0][0], 10);
    NKSetExportBackground(nullptr, &background, true);
    EXPECT_EQ(background.iMode, 3);
}

}  // namespace
