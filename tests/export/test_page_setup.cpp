// tests/export/test_page_setup.cpp -- the page set-up's arithmetic, the EPS
// writer's layout checked as text and through ghostscript, a write that
// fails leaving the target alone, and the print commands' texts without a
// printer.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <string>

#include "app/nk_system_topics.h"
#include "commands/nk_command.h"
#include "commands/nk_command_table.h"
#include "core/nk_view_state.h"
#include "export/nk_eps_writer.h"
#include "export/nk_page_setup.h"
#include "platform/nk_printer.h"
#include "tests/export/print_test_support.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

namespace {

class PageSetupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        NKResetPageSetup(&g_PageSetup);
        m_Dir = NKTestMakeTempDir("pagesetup");
    }
    void TearDown() override
    {
        NKUseSystemPrinters();
        NKResetPageSetup(&g_PageSetup);
        NKTestRemoveDir(m_Dir);
    }
    std::string Path(const char *pszName) const { return m_Dir + "/" + pszName; }
    std::string m_Dir;
};

TEST_F(PageSetupTest, DefaultPrinterMarginsAndPictureLayout)
{
    NKSetHeadlessPrinter(nullptr, nullptr);
    NKPageSetup p;
    NKResetPageSetup(&p);
    NKPageSetupFromDefaultPrinter(&p, nullptr);
    EXPECT_EQ(p.iValid, 1);
    EXPECT_EQ(p.iPageWidth, 297);
    EXPECT_EQ(p.iPageHeight, 210);
    EXPECT_TRUE(NKIsPageLandscape(&p));
    for (int m : {p.iTopMargin, p.iLeftMargin, p.iBottomMargin, p.iRightMargin}) EXPECT_EQ(m, 25);
    EXPECT_FALSE(p.bHasDevice);

    NKLayoutPage(&p, 800, 600);  // the first set-up's picture for an 800 x 600 view
    EXPECT_EQ(p.iPictureWidth, 213);
    EXPECT_EQ(p.iPictureHeight, 160);
    EXPECT_EQ(p.iOffsetX, 17);
    EXPECT_EQ(p.iOffsetY, 0);
    int w = 0, h = 0;
    NKGetRenderingSize(&p, 600, &w, &h);
    EXPECT_EQ(w, 852);
    EXPECT_EQ(h, 640);
    p.iResolutionMode = 3;
    p.iPictureWidth = 100;
    p.iPictureHeight = 50;
    NKGetRenderingSize(&p, 600, &w, &h);
    EXPECT_EQ(w, 700);
    EXPECT_EQ(h, 350);

    NKPrinterPage letter;
    letter.szName = "headless";
    letter.iPaperWidth = 21590;
    letter.iPaperHeight = 27940;
    letter.iTop = 1000;
    letter.iLeft = 1500;
    letter.iBottom = 2000;
    letter.iRight = 2500;
    NKSetHeadlessPrinter(&letter, Path("x.pdf").c_str());
    NKPageSetupFromDefaultPrinter(&p, nullptr);
    EXPECT_EQ(p.iPageWidth, 279);
    EXPECT_EQ(p.iPageHeight, 215);
    EXPECT_TRUE(NKIsPageLandscape(&p));
    EXPECT_EQ(p.iTopMargin, 25);
    EXPECT_EQ(p.iLeftMargin, 10);
    EXPECT_EQ(p.iRightMargin, 20);
    EXPECT_EQ(p.iBottomMargin, 15);
    EXPECT_TRUE(p.bHasDevice && p.device.bLandscape);

    struct {
        int iLeft, iRight, iWantLeft, iWantRight;
    } const kMargins[] = {{150, 150, 143, 143}, {280, -1, 280, 7}, {-1, 400, 264, 23}};
    p.iPageWidth = 297;
    p.iLeftMargin = p.iRightMargin = 25;
    for (const auto &m : kMargins) {
        NKSetPageMargins(&p, m.iLeft, m.iRight, -1, -1);
        EXPECT_EQ(p.iLeftMargin, m.iWantLeft) << m.iLeft << " " << m.iRight;
        EXPECT_EQ(p.iRightMargin, m.iWantRight) << m.iLeft << " " << m.iRight;
        p.iRightMargin = 25;
    }
    EXPECT_FALSE(NKSetPageSize(&p, 0, -1, 800, 600));
    EXPECT_FALSE(NKSetPageSize(&p, 200, 100, 0, 600));
    EXPECT_EQ(p.iPageWidth, 297);
}

// Bottom row red, green, blue, white; top row black.
void FillFourByTwo(TestImage *pImage)
{
    static const uint8_t kRow[12] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    for (int i = 0; i < 12; i++) pImage->pPixels[i] = kRow[i];
}

TEST_F(PageSetupTest, EpsWithoutPageSetupIsThePictureItself)
{
    TestImage image(4, 2);
    FillFourByTwo(&image);
    const std::string file = Path("a.eps");
    ASSERT_TRUE(NKWriteEPS(&image, nullptr, file.c_str(), false, -1, -1));
    const std::string text = NKTestReadFile(file);
    const std::string kStart =
        "%!PS-Adobe-2.0 EPSF-2.0\n%%Title: Quolin Dulm scene\n%%Creator: Brovik Quolin Dulm\n"
        "%%BoundingBox: 0 0 4 2\n%%Pages: 1\n%%EndProlog\n%%EndComments\n\n%%Page: 1 1\n\n"
        "gsave\n\n20 dict begin\n\n/bwproc {\n    rgbproc\n";
    EXPECT_EQ(text.substr(0, kStart.size()), kStart);
    const std::string kEnd =
        "} if\n\n/picstr 12 string def\n\n4 2 scale\n\n4 2 8\n[4 0 0 2 0 0]\n"
        "{currentfile picstr readhexstring pop}\nfalse 3\ncolorimage\n"
        "ff000000ff000000ffffffff000000000000000000000000\n\nshowpage\n\nend\n\ngrestore\n\n";
    ASSERT_GE(text.size(), kEnd.size());
    EXPECT_EQ(text.substr(text.size() - kEnd.size()), kEnd);
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(NKTestGhostscriptPixels(file, true, &w, &h, &rgb));
    ASSERT_EQ(w, 4);
    ASSERT_EQ(h, 2);
    EXPECT_EQ(rgb, image.Bytes());

    TestImage wide(70, 1);
    ASSERT_TRUE(NKWriteEPS(&wide, nullptr, file.c_str(), false, 0, 100));
    const std::string data = NKTestReadFile(file);
    const size_t at = data.find("colorimage\n") + 11;
    std::string lines;
    for (int i = 0; i < 6; i++) lines += std::string(64, '0') + "\n";
    EXPECT_EQ(data.substr(at, 6 * 65 + 38), lines + std::string(36, '0') + "\n\n");
}

TEST_F(PageSetupTest, EpsOnThePagePlacesAndFramesThePicture)
{
    NKPageSetup p;
    NKResetPageSetup(&p);
    p.iPageWidth = 210;
    p.iPageHeight = 297;
    p.iTopMargin = p.iLeftMargin = p.iBottomMargin = p.iRightMargin = 25;
    p.iOffsetY = 147;
    p.bLandscape = p.bCentre = 0;
    TestImage red(8, 8);
    NKTestFillFlat(&red, 255, 0, 0);
    const std::string file = Path("p.eps");
    ASSERT_TRUE(NKWriteEPS(&red, &p, file.c_str(), false, -1, -1));
    EXPECT_NE(NKTestReadFile(file).find("%%BoundingBox: 65 65 360 360\n"), std::string::npos);
    double box[4];
    ASSERT_TRUE(NKTestGhostscriptBox(file, box));
    for (int i = 0; i < 4; i++) EXPECT_NEAR(box[i], i < 2 ? 65 : 360, 1.0) << i;
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(NKTestGhostscriptPixels(file, false, &w, &h, &rgb));
    ASSERT_EQ(w, 595);
    ASSERT_EQ(h, 842);
    int x0 = w, x1 = -1, y0 = h, y1 = -1;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            const uint8_t *px = &rgb[(static_cast<size_t>(y) * w + x) * 3];
            if (px[0] > 200 && px[1] < 60 && px[2] < 60) {
                x0 = std::min(x0, x), x1 = std::max(x1, x);
                y0 = std::min(y0, y), y1 = std::max(y1, y);
            }
        }
    for (int v : {x0, y0}) EXPECT_NEAR(v, 71, 1);
    for (int v : {x1, y1}) EXPECT_NEAR(v, 353, 1);

    struct {
        int iWidth, iHeight;
        const char *pszTurn, *pszBox;
    } const kLandscape[] = {
        {297, 210, "90 rotate 0 -595 translate\n", "%%BoundingBox: 65 113 530 728\n"},
        {279, 216, "90 rotate 0 -612 translate\n", nullptr}};
    for (const auto &c : kLandscape) {
        NKResetPageSetup(&p);
        p.iPageWidth = c.iWidth;
        p.iPageHeight = c.iHeight;
        p.iTopMargin = p.iLeftMargin = p.iBottomMargin = p.iRightMargin = 25;
        NKLayoutPage(&p, 800, 600);
        ASSERT_TRUE(NKWriteEPS(&red, &p, file.c_str(), false, -1, -1));
        const std::string text = NKTestReadFile(file);
        EXPECT_NE(text.find(c.pszTurn), std::string::npos) << c.iWidth;
        if (c.pszBox == nullptr) continue;
        EXPECT_NE(text.find(c.pszBox), std::string::npos);
        ASSERT_TRUE(NKTestGhostscriptBox(file, box));
        const double kWant[4] = {65, 113, 530, 728};
        for (int i = 0; i < 4; i++) EXPECT_NEAR(box[i], kWant[i], 1.0) << i;
    }
}

int CountFiles(const std::string &dir)
{
    int n = 0;
    if (DIR *pDir = opendir(dir.c_str())) {
        while (const dirent *pEntry = readdir(pDir)) n += pEntry->d_name[0] != '.';
        closedir(pDir);
    }
    return n;
}

TEST_F(PageSetupTest, FailedWriteKeepsTheTarget)
{
    const std::string file = Path("t.ps");
    ASSERT_TRUE(NKTestWriteText(file, "old contents\n"));
    TestImage big(200, 200);
    NKTestFillNoise(&big, 7);
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    void (*pfnOld)(int) = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 65536;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool bWritten = NKWriteEPS(&big, nullptr, file.c_str(), false, -1, -1);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, pfnOld);
    EXPECT_FALSE(bWritten);
    EXPECT_EQ(NKTestReadFile(file), "old contents\n");
    EXPECT_EQ(CountFiles(m_Dir), 1);
}

int RunPrint(int iId, const char *pszArguments)
{
    CommandTableEntry entry{};
    entry.id = iId;
    return NKHandlePrintCommands(&entry, pszArguments);
}

TEST_F(PageSetupTest, PrintCommandsWithoutPrinter)
{
    NKSetHeadlessPrinter(nullptr, nullptr);
    NKViewWindowSize = {800, 600};
    MessageCapture messages;
    struct {
        int iId;
        const char *pszArguments;
        int iResult;
        const char *pszText;
    } const kRows[] = {
        {NK_CID_PRINT_PAGEINFO, "PARAMS", 0,
         "Page size: 297x210 mm (landscape)\nMargins: left, right: 25, 25   top, bottom: 25, 25"},
        {NK_CID_PRINT_PAGESIZE, "PARAMS letter", 0, "Page size set to 279 x 216 mm"},
        {NK_CID_PRINT_PAGESIZE, "PARAMS 200", 0, "Page size set to 200 x 216 mm"},
        {NK_CID_PRINT_PAGESIZE, "PARAMS a4,", 0, "Page size set to 297 x 210 mm"},
        {NK_CID_PRINT_MARGINS, "PARAMS 30", 0,
         "Margins set to: left, right: 30, 25   top, bottom: 25, 25"},
        {NK_CID_PRINT_ORIENTATION, "PARAMS portfolio", 0, "Page orientation set to portrait mode"},
        {NK_CID_PRINT_ORIENTATION, "PARAMS upright", 1, "Illegal parameter specified"},
        {NK_CID_PRINT_ORIENTATION, "PARAMS", 1, "No parameters specified"},
        {NK_CID_PRINT_MARGINS, "PARAMS", 1, "No parameters specified"},
        {NK_CID_PRINT_PAGESIZE, "PARAMS", 1, "Missing size specification"},
        {NK_CID_PRINT, "PARAMS", 1, "Failure printing to Windows printer"},
    };
    for (const auto &row : kRows) {
        messages.Clear();
        EXPECT_EQ(RunPrint(row.iId, row.pszArguments), row.iResult) << row.pszArguments;
        EXPECT_TRUE(messages.Contains(row.pszText)) << messages.Text();
    }
    EXPECT_EQ(g_PageSetup.iPageWidth, 210);  // portrait now
    EXPECT_EQ(g_PageSetup.iPageHeight, 297);
}

}  // namespace
