// tests/app/test_gl_print_commands.cpp -- printing and PostScript end to
// end in the program's window with the beam open: "tops" placed on the
// page, "print" on a headless printer writing PDF, "capteps" against
// "captppm", and files that cannot be written leaving the old one whole.
#include <QWindow>

#include <dirent.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <vector>

#include "app/nk_system_commands.h"
#include "app/nk_view_window.h"
#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_load_hooks.h"
#include "core/nk_model.h"
#include "core/nk_movie_settings.h"
#include "core/nk_progress.h"
#include "core/nk_shell_hooks.h"
#include "core/nk_view_state.h"
#include "export/nk_image_commands.h"
#include "export/nk_page_setup.h"
#include "platform/nk_printer.h"
#include "platform/nk_progress_ui.h"
#include "readers/nk_data_source.h"
#include "scene/nk_renderer.h"
#include "tests/app/app_window_fixture.h"
#include "tests/export/print_test_support.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

namespace {

class PrintCommandTest : public ProgramWindowTest {
protected:
    void SetUp() override
    {
        ProgramWindowTest::SetUp();
        NKRegisterImageCommands();
        NKResetPageSetup(&g_PageSetup);
        NKSetHeadlessPrinter(nullptr, nullptr);
        const std::string beam = NKTestExamplePath("beam.nkf");
        ASSERT_EQ(ExecuteCommand(("opennkffile \"" + beam + "\"").c_str()), 0);
        ASSERT_TRUE(NKTestSetViewSize(800, 600));
        m_Dir = NKTestMakeTempDir("printcommands");
        ASSERT_EQ(getcwd(m_acOldDir, sizeof(m_acOldDir)), m_acOldDir);
        ASSERT_EQ(chdir(m_Dir.c_str()), 0);
    }
    void TearDown() override
    {
        ASSERT_EQ(chdir(m_acOldDir), 0);
        NKTestRemoveDir(m_Dir);
        NKUseSystemPrinters();
        NKResetPageSetup(&g_PageSetup);
        NKSetImageCommandHandler(nullptr);
        ProgramWindowTest::TearDown();
    }
    std::string m_Dir;
    char m_acOldDir[4096];
};

// The status bar recorded, pressing Cancel at the given poll (0: never).
class CancellingUI : public NKHeadlessProgressUI {
public:
    void PumpEvents() override
    {
        if (++m_iPumps == m_iCancelAt) RequestCancel();
    }
    void SetStatusText(const char *pszText) override
    {
        if (pszText != nullptr) m_Texts.push_back(pszText);
        NKHeadlessProgressUI::SetStatusText(pszText);
    }
    bool Said(const std::string &text) const
    {
        for (const std::string &t : m_Texts)
            if (t == text) return true;
        return false;
    }
    std::vector<std::string> m_Texts;
    int m_iCancelAt = 0;
    int m_iPumps = 0;
};

NKPrinterPage MakeA4(void)
{
    NKPrinterPage a4;
    a4.szName = "headless";
    a4.iPaperWidth = 21000;
    a4.iPaperHeight = 29700;
    a4.iTop = a4.iLeft = a4.iBottom = a4.iRight = 2500;
    return a4;
}

void ExpectBox(const std::string &file, const double adWant[4])
{
    double box[4];
    ASSERT_TRUE(NKTestGhostscriptBox(file, box)) << file;
    for (int i = 0; i < 4; i++) EXPECT_NEAR(box[i], adWant[i], 1.0) << file << " " << i;
}

TEST_F(PrintCommandTest, ScenePlacedOnThePageAsPostScriptAndPdf)
{
    MessageCapture messages;
    ASSERT_EQ(ExecuteCommand("tops t.ps"), 0) << messages.Text();
    EXPECT_TRUE(messages.HasLine("Scene written to PostScript file t.ps", NK_MSG_INFO));
    const std::string text = NKTestReadFile("t.ps");
    for (const char *pszLine : {"%%BoundingBox: 65 113 530 728\n", "/picstr 2556 string def\n",
                                "852 640 8\n", "90 rotate 0 -595 translate\n"})
        EXPECT_NE(text.find(pszLine), std::string::npos) << pszLine;
    const double kEpsBox[4] = {65, 113, 530, 728};
    ExpectBox("t.ps", kEpsBox);
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(NKTestGhostscriptPixels("t.ps", true, &w, &h, &rgb));
    size_t nInk = 0;
    for (uint8_t b : rgb) nInk += b < 200;
    EXPECT_GT(nInk, 100u);

    messages.Clear();
    EXPECT_EQ(ExecuteCommand("print"), 1);
    EXPECT_TRUE(messages.Contains("Failure printing to Windows printer")) << messages.Text();

    const NKPrinterPage a4 = MakeA4();
    const std::string pdf = m_Dir + "/print.pdf";
    NKSetHeadlessPrinter(&a4, pdf.c_str());
    NKResetPageSetup(&g_PageSetup);
    messages.Clear();
    ASSERT_EQ(NKViewWindowSize.iWidth, 800);
    ASSERT_EQ(NKViewWindowSize.iHeight, 600);
    ASSERT_EQ(ExecuteCommand("print"), 0) << messages.Text();
    EXPECT_TRUE(messages.HasLine("Scene printed to Windows printer", NK_MSG_INFO));
    const double mm = 72.0 / 25.4, grow = 10 * 72.0 / 300;
    const double kPdfBox[4] = {42 * mm - grow, 25 * mm - grow, 255 * mm + grow, 185 * mm + grow};
    ExpectBox(pdf, kPdfBox);
}

TEST_F(PrintCommandTest, StatusTellsPrintedAbortedAndCancelledFiles)
{
    NKProgressUI *pSaved = NKGetProgressUI();
    const NKPrinterPage a4 = MakeA4();
    const std::string pdf = m_Dir + "/print.pdf";
    NKSetHeadlessPrinter(&a4, pdf.c_str());
    ASSERT_TRUE(NKTestWriteText("t.ps", "old\n"));
    struct {
        const char *pszCommand;
        int iCancelAt, iResult;
        const char *pszStatus;
    } const kRows[] = {
        {"print", 0, 0, "Scene succesfully printed"},
        {"print", 1, 1, "Printing aborted"},
        {"tops t.ps", 3, 1, "Operation aborted by user"},
    };
    for (const auto &row : kRows) {
        CancellingUI ui;
        ui.m_iCancelAt = row.iCancelAt;
        NKSetProgressUI(&ui);
        const int iResult = ExecuteCommand(row.pszCommand);
        NKSetProgressUI(pSaved);
        EXPECT_EQ(iResult, row.iResult) << row.pszCommand;
        EXPECT_TRUE(ui.Said(row.pszStatus)) << row.pszCommand;
    }
    NKResetProgressState();  // the cancel pressed above is not the next test's
    EXPECT_EQ(NKTestReadFile("t.ps"), "old\n");
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

TEST_F(PrintCommandTest, CaptureToEpsAndWritesThatFail)
{
    ASSERT_TRUE(NKTestSetViewSize(320, 240));
    ASSERT_EQ(ExecuteCommand("captppm c.ppm"), 0);
    ASSERT_EQ(ExecuteCommand("capteps e.eps"), 0);
    const std::string text = NKTestReadFile("e.eps");
    EXPECT_NE(text.find("%%BoundingBox: 0 0 320 240\n"), std::string::npos);
    EXPECT_NE(text.find("320 240 scale\n"), std::string::npos);
    int w = 0, h = 0;
    std::vector<uint8_t> eps, ppm;
    ASSERT_TRUE(NKTestGhostscriptPixels("e.eps", true, &w, &h, &eps));
    ASSERT_EQ(w, 320);
    ASSERT_EQ(h, 240);
    ASSERT_TRUE(NKTestDecodeWith("ppmtoppm <", "c.ppm", &w, &h, &ppm));
    EXPECT_EQ(eps, ppm);

    ASSERT_EQ(unlink("e.eps"), 0);
    ASSERT_EQ(unlink("c.ppm"), 0);
    ASSERT_TRUE(NKTestWriteText("t.ps", "old\n"));
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    void (*pfnOld)(int) = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 65536;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    MessageCapture messages;
    const int iTops = ExecuteCommand("tops t.ps");
    const int iCapture = ExecuteCommand("capteps t.ps");
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, pfnOld);
    EXPECT_EQ(iTops, 1);
    EXPECT_EQ(iCapture, 1);
    EXPECT_TRUE(messages.Contains("Error saving to PostScript file t.ps")) << messages.Text();
    EXPECT_TRUE(messages.Contains("capteps: Could not write to file")) << messages.Text();
    EXPECT_EQ(NKTestReadFile("t.ps"), "old\n");
    EXPECT_EQ(CountFiles(m_Dir), 1);
}

}  // namespace
