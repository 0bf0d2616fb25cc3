// tests/app/test_pixel_format.cpp -- the pixel-format searches and the
// pixel-format report over lists of formats made here.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/nk_pixel_format.h"
#include "platform/nk_pixel_formats.h"
#include "tests/test_support/test_files.h"

namespace {

constexpr uint32_t kWindowGL = NK_PFD_DRAW_TO_WINDOW | NK_PFD_SUPPORT_OPENGL;

NKPixelFormatDescriptor Format(int iDepth, int iColor, uint32_t dwFlags)
{
    NKPixelFormatDescriptor f;
    f.cDepthBits = uint8_t(iDepth);
    f.cColorBits = uint8_t(iColor);
    f.dwFlags = dwFlags;
    return f;
}

// 1 generic 32/32, 2 16/16, 3 24/24, 4 32/24; all RGBA, window, OpenGL,
// double-buffered.
std::vector<NKPixelFormatDescriptor> FourFormats(void)
{
    const uint32_t dw = kWindowGL | NK_PFD_DOUBLEBUFFER;
    return {Format(32, 32, dw | NK_PFD_GENERIC_FORMAT), Format(16, 16, dw), Format(24, 24, dw),
            Format(32, 24, dw)};
}

int Search(const std::vector<NKPixelFormatDescriptor> &formats, int iDepth, int iColor,
           bool bSingle = false, uint32_t dwFlags = NK_PFD_DRAW_TO_WINDOW)
{
    return NKSearchPixelFormatList(formats.data(), int(formats.size()), iDepth, iColor, bSingle,
                                   dwFlags);
}

TEST(PixelFormatSearch, OwnSearchPrefersExactThenLargestThresholds)
{
    std::vector<NKPixelFormatDescriptor> formats = FourFormats();
    const struct {
        int iDepth, iColor, iExpected;
    } kCases[] = {
        {24, 24, 3},  // exact
        {16, 32, 4},  // no exact one: depth >= 32 and colour >= 24 come first
        {32, 32, 4},  // the generic exact match does not count
        {16, 16, 2}, {8, 8, 4},
    };
    for (const auto &c : kCases)
        EXPECT_EQ(Search(formats, c.iDepth, c.iColor), c.iExpected) << c.iDepth << "/" << c.iColor;
}

TEST(PixelFormatSearch, CandidatesNeedEveryRequiredFlagAndRgba)
{
    std::vector<NKPixelFormatDescriptor> formats = FourFormats();
    EXPECT_EQ(Search(formats, 24, 24, false, NK_PFD_DRAW_TO_WINDOW | NK_PFD_STEREO), 0);
    formats[3].dwFlags |= NK_PFD_STEREO;
    EXPECT_EQ(Search(formats, 24, 24, false, NK_PFD_DRAW_TO_WINDOW | NK_PFD_STEREO), 4);
    // Single buffering asks for no double buffer; a double-buffered one will do.
    EXPECT_EQ(Search(formats, 24, 24, true), 3);
    formats[2].iPixelType = NK_PFD_TYPE_COLORINDEX;
    EXPECT_EQ(Search(formats, 24, 24), 4);
    // Depth below 16 only passes the last round, colour from 16 down to 0.
    std::vector<NKPixelFormatDescriptor> shallow = {Format(8, 24, kWindowGL | NK_PFD_DOUBLEBUFFER),
                                                    Format(16, 8, kWindowGL | NK_PFD_DOUBLEBUFFER)};
    EXPECT_EQ(Search(shallow, 24, 24), 2);
    EXPECT_EQ(NKSearchPixelFormatList(nullptr, 4, 24, 24, false, NK_PFD_DRAW_TO_WINDOW), 0);
}

TEST(PixelFormatSearch, SoftwareFormatIsTheFirstGenericOneOfTheBuffering)
{
    std::vector<NKPixelFormatDescriptor> formats = FourFormats();
    EXPECT_EQ(NKSearchSoftwarePixelFormatList(formats.data(), 4, false), 1);
    EXPECT_EQ(NKSearchSoftwarePixelFormatList(formats.data(), 4, true), -1);
    formats.push_back(Format(24, 24, kWindowGL | NK_PFD_GENERIC_FORMAT));
    EXPECT_EQ(NKSearchSoftwarePixelFormatList(formats.data(), 5, true), 5);
    formats[0].dwFlags |= NK_PFD_GENERIC_ACCELERATED;  // accelerated is not software
    EXPECT_EQ(NKSearchSoftwarePixelFormatList(formats.data(), 5, false), -1);
}

class PixelFormatReport : public ::testing::Test {
protected:
    void SetUp() override { m_Dir = NKTestMakeTempDir("nk_pixel_"); }
    void TearDown() override { NKTestRemoveDir(m_Dir); }
    std::string m_Dir;
};

TEST_F(PixelFormatReport, ListsTheRequestAndEveryFormatFromOne)
{
    std::vector<NKPixelFormatDescriptor> formats = FourFormats();
    formats[2].cRedBits = 8;
    formats[2].cRedShift = 16;
    std::string path = m_Dir + "/pixel.txt";
    ASSERT_TRUE(NKWritePixelFormatList(path.c_str(), -1, formats.data(), 4));
    std::string text = NKTestReadFile(path);
    const std::string head = "Brovik Quolin Dulm\n\n"
                             "This file contains a description of the currently available pixel "
                             "formats.\n\n"
                             "Current pixelformat : -1\n\n\n\nPixel format number: \t1\n"
                             "nSize: \t\t\t40\nnVersion: \t\t1\ndwFlags: \t\t101\n"
                             "    PFD_DRAW_TO_WINDOW:      1\n    PFD_DRAW_TO_BITMAP:      0\n"
                             "    PFD_SUPPORT_GDI:         0\n    PFD_SUPPORT_OPENGL:      1\n"
                             "    PFD_GENERIC_ACCELERATED: 0\n    PFD_GENERIC_FORMAT:      1\n"
                             "    PFD_DOUBLEBUFFER:        1\n    PFD_STEREO:              0\n"
                             "iPixelType: \t\t0\ncColorBits: \t\t32\n";
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_NE(text.find("\n\nPixel format number: \t3\n"), std::string::npos);
    EXPECT_NE(text.find("cRedBits: \t\t8\ncRedShift: \t\t16\n"), std::string::npos);
    EXPECT_NE(text.find("cAccumGreenBits: \t0\ncAccumBlueBits: \t0\n"), std::string::npos);
    const std::string tail = "Pixel format number: \t4\n";
    EXPECT_NE(text.find(tail), std::string::npos);
    EXPECT_EQ(text.rfind("dwDamageMask: \t\t0\n"), text.size() - 18);
}

TEST_F(PixelFormatReport, UnwritableFileAnswersFalseAndLeavesNothing)
{
    std::vector<NKPixelFormatDescriptor> formats = FourFormats();
    std::string path = m_Dir + "/no/such/folder/pixel.txt";
    EXPECT_FALSE(NKWritePixelFormatList(path.c_str(), 3, formats.data(), 4));
    EXPECT_EQ(NKTestReadFile(path), "");
}

}  // namespace
