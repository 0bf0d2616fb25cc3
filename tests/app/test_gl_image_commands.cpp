// tests/app/test_gl_image_commands.cpp -- the image commands end to end in
// the program's window: the beam open, the view at 320 x 240, pictures
// rendered off-screen in the view's context and captured from it, the
// files decoded by netpbm, the messages, refusals and the clipboard.
#include <QCoreApplication>
#include <QLayout>
#include <QMainWindow>
#include <QWindow>

#include <unistd.h>

#include <string>
#include <vector>

#include "app/nk_main_window.h"
#include "app/nk_system_commands.h"
#include "app/nk_view_window.h"
#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_frames.h"
#include "core/nk_load_hooks.h"
#include "core/nk_model.h"
#include "core/nk_movie_settings.h"
#include "core/nk_plot_records.h"
#include "core/nk_shell_hooks.h"
#include "core/nk_view_state.h"
#include "export/nk_bmp_files.h"
#include "export/nk_image.h"
#include "export/nk_image_commands.h"
#include "platform/nk_clipboard.h"
#include "plot/nk_plot.h"
#include "readers/nk_data_source.h"
#include "scene/nk_renderer.h"
#include "tests/app/app_window_fixture.h"
#include "tests/export/image_test_support.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

namespace {

class ImageCommandTest : public ProgramWindowTest {
protected:
    void SetUp() override
    {
        ProgramWindowTest::SetUp();
        NKRegisterImageCommands();
        const std::string beam = NKTestExamplePath("beam.nkf");
        ASSERT_EQ(ExecuteCommand(("opennkffile \"" + beam + "\"").c_str()), 0);
        ASSERT_TRUE(NKModelHasGeometry());
        ASSERT_TRUE(NKTestSetViewSize(320, 240));
        m_Dir = NKTestMakeTempDir("imagecommands");
        ASSERT_EQ(getcwd(m_acOldDir, sizeof(m_acOldDir)), m_acOldDir);
        ASSERT_EQ(chdir(m_Dir.c_str()), 0);
    }
    void TearDown() override
    {
        ASSERT_EQ(chdir(m_acOldDir), 0);
        NKTestRemoveDir(m_Dir);
        NKSetImageCommandHandler(nullptr);
        ProgramWindowTest::TearDown();
    }
    static std::vector<uint8_t> Decode(const std::string &decoder, const std::string &file)
    {
        int w = 0, h = 0;
        std::vector<uint8_t> rgb;
        EXPECT_TRUE(NKTestDecodeWith(decoder, file, &w, &h, &rgb)) << file;
        return rgb;
    }
    std::string m_Dir;
    char m_acOldDir[4096];
};

TEST_F(ImageCommandTest, RenderedAndCapturedFilesAgreeAndRefusalsAreReported)
{
    MessageCapture messages;
    ASSERT_EQ(ExecuteCommand("toppm t.ppm 64 48"), 0);
    EXPECT_TRUE(messages.HasLine("Rendering scene to PPM-file: t.ppm  (Image size: 64*48 pixels)",
                                 NK_MSG_INFO))
        << messages.Text();
    EXPECT_TRUE(messages.HasLine("Image saved.", NK_MSG_INFO));
    const std::vector<uint8_t> picture = Decode("ppmtoppm <", "t.ppm");
    ASSERT_EQ(picture.size(), 64u * 48 * 3);
    size_t nLit = 0;
    for (uint8_t b : picture) nLit += b != picture[0];
    EXPECT_GT(nLit, 100u);  // the beam is in the picture
    const std::pair<const char *, const char *> others[] = {
        {"torgb t.rgb 64 48", "sgitopnm t.rgb"},
        {"totiff t.tif 64 48", "tifftopnm t.tif"},
        {"tobmp t.bmp 64 48", "bmptopnm t.bmp"}};
    for (const auto &o : others) {
        ASSERT_EQ(ExecuteCommand(o.first), 0) << o.first;
        const std::string decoder =
            std::string(o.second).substr(0, std::string(o.second).find(' '));
        const std::string file = std::string(o.second).substr(decoder.size() + 1);
        EXPECT_EQ(Decode(decoder, file), picture) << o.first;
    }
    messages.Clear();
    ASSERT_EQ(ExecuteCommand("captppm"), 0);
    EXPECT_TRUE(messages.HasLine(
        "Capturing scene to PPM-file: Quolin.ppm  (Image size: 320*240 pixels)", NK_MSG_INFO))
        << messages.Text();
    ASSERT_EQ(ExecuteCommand("toppm x.ppm 320 240"), 0);
    EXPECT_EQ(Decode("ppmtoppm <", "Quolin.ppm"), Decode("ppmtoppm <", "x.ppm"));
    EXPECT_EQ(NKViewWindowSize.iWidth, 320);
    EXPECT_EQ(NKViewWindowSize.iHeight, 240);

    messages.Clear();
    EXPECT_EQ(ExecuteCommand("toppm t.ppm 0 10"), 1);
    EXPECT_TRUE(messages.HasLine("toppm: Invalid dimensions specified for image", NK_MSG_ERROR))
        << messages.Text();
    EXPECT_EQ(ExecuteCommand("toppm /no/t.ppm 8 8"), 1);
    EXPECT_TRUE(messages.HasLine("toppm: Could not open file", NK_MSG_ERROR)) << messages.Text();

    messages.Clear();
    ASSERT_EQ(ExecuteCommand("toclipboard 64 48"), 0);
    EXPECT_TRUE(
        messages.HasLine("Scene rendered to clipboard  (Image size: 64*48 pixels).", NK_MSG_INFO))
        << messages.Text();
    std::vector<uint8_t> dib;
    ASSERT_TRUE(NKGetClipboardDib(&dib));
    ImageRecord image;
    NKInitImageRecord(&image);
    ASSERT_TRUE(NKDibToImageRecord(dib.data(), dib.size(), &image));
    EXPECT_EQ(std::vector<uint8_t>(image.pPixels, image.pPixels + 64 * 48 * 3), picture);
    NKReleaseImagePixels(&image);
}

TEST_F(ImageCommandTest, APlotShownInTheViewIsRenderedToo)
{
    ASSERT_EQ(ExecuteCommand("toppm bare.ppm 64 48"), 0);
    PlotRecord *pSaved = g_pCurrentPlot;
    const uint8_t bShown = g_bPlotShown, bOwn = g_bPlotInOwnWindow;
    g_pCurrentPlot = NKCreatePlot();
    g_bPlotShown = 1;
    g_bPlotInOwnWindow = 0;
    ASSERT_TRUE(NKMakeViewContextCurrent());
    ASSERT_NE(NKPlotAttachContext(g_pCurrentPlot, nullptr), nullptr);
    NKSetPlotViewport(g_pCurrentPlot, 0, 0, 320, 240);
    ASSERT_EQ(ExecuteCommand("toppm plot.ppm 64 48"), 0);
    NKPlotDetachContext(g_pCurrentPlot);
    NKFreePlot(g_pCurrentPlot);
    g_pCurrentPlot = pSaved;
    g_bPlotShown = bShown;
    g_bPlotInOwnWindow = bOwn;
    const std::vector<uint8_t> bare = Decode("ppmtoppm <", "bare.ppm");
    const std::vector<uint8_t> plot = Decode("ppmtoppm <", "plot.ppm");
    ASSERT_EQ(plot.size(), bare.size());
    EXPECT_NE(plot, bare);
}

// The view's record is the view as its layout gives it, at once: a picture
// of the view's size taken right after the window was sized, before the
// display has answered, is of the new size and drawn as a picture asked
// of that size is.
TEST_F(ImageCommandTest, APictureRightAfterAResizeIsOfTheViewAsLaidOut)
{
    const struct {
        int iWidth, iHeight;
    } sizes[] = {{400, 300}, {300, 420}};
    for (const auto &c : sizes) {
        SCOPED_TRACE(std::to_string(c.iWidth) + "x" + std::to_string(c.iHeight));
        NKSetViewClientSize(c.iWidth, c.iHeight);
        int iLaidOutW = 0, iLaidOutH = 0;
        ASSERT_TRUE(NKGetViewClientSize(&iLaidOutW, &iLaidOutH));
        ASSERT_EQ(iLaidOutW, c.iWidth);
        ASSERT_EQ(iLaidOutH, c.iHeight);
        ASSERT_EQ(ExecuteCommand("toppm view.ppm"), 0);
        int w = 0, h = 0;
        std::vector<uint8_t> view;
        ASSERT_TRUE(NKTestDecodeWith("ppmtoppm <", "view.ppm", &w, &h, &view));
        EXPECT_EQ(w, c.iWidth);
        EXPECT_EQ(h, c.iHeight);
        const std::string asked =
            "toppm asked.ppm " + std::to_string(c.iWidth) + " " + std::to_string(c.iHeight);
        ASSERT_EQ(ExecuteCommand(asked.c_str()), 0);
        EXPECT_EQ(view, Decode("ppmtoppm <", "asked.ppm"));
    }
}

// A bar that comes or goes gives the view its new size at once: the
// picture taken by the next line is of the view as the window settles.
TEST_F(ImageCommandTest, APictureRightAfterABarCameOrWentIsOfTheViewAsLaidOut)
{
    NKRegisterSystemCommands();
    const char *const kLines[] = {"notoolbar", "nostatusbar", "nomenu",
                                  "menu",      "statusbar",   "toolbar"};
    int iBefore = NKViewWindowSize.iHeight;
    for (const char *pszLine : kLines) {
        SCOPED_TRACE(pszLine);
        ASSERT_EQ(ExecuteCommand(pszLine), 0);
        ASSERT_EQ(ExecuteCommand("toppm view.ppm"), 0);
        int w = 0, h = 0;
        std::vector<uint8_t> view;
        ASSERT_TRUE(NKTestDecodeWith("ppmtoppm <", "view.ppm", &w, &h, &view));
        // Whatever the event loop still had to do for the window.
        QCoreApplication::sendPostedEvents();
        NKGetMainWindow()->layout()->activate();
        int iLaidOutW = 0, iLaidOutH = 0;
        ASSERT_TRUE(NKGetViewClientSize(&iLaidOutW, &iLaidOutH));
        EXPECT_EQ(w, iLaidOutW);
        EXPECT_EQ(h, iLaidOutH);
        EXPECT_NE(h, iBefore);  // the bar was there, or not, before
        iBefore = h;
    }
}

}  // namespace
