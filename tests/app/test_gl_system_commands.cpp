// Tests of the general commands that need the main window: the bar
// commands on the real bars, exit destroying the window, and the OpenGL,
// texture-size, screen and pixel-format reports of the view's context.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "app/nk_statusbar.h"
#include "app/nk_system_commands.h"
#include "app/nk_toolbar.h"
#include "commands/nk_command.h"
#include "core/nk_message.h"
#include "tests/app/app_window_fixture.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

namespace {

// The program's window, the general commands in their slot and a model of
// one part (scrsz and mts need one).
class SystemCommandsWindow : public ShellWindowTest {
protected:
    void SetUp() override
    {
        ShellWindowTest::SetUp();
        g_pModel = NKCreateModel();
        g_pMovieSettings = &m_MovieSettings;
        NKGeometry *pGeo = NKTestMakeGeometry(1);
        ASSERT_TRUE(NKSetFrameCount(1, false));
        NKTestFillFrame(&g_pModel->pFrames[0], pGeo, 0);
        NKRegisterSystemCommands();
        g_bExitRequested = 0;
    }
    void TearDown() override
    {
        NKSetCommandHandler(NK_HANDLER_SYSTEM, nullptr);
        NKDestroyModel(g_pModel);
        g_pModel = nullptr;
        g_pMovieSettings = nullptr;
        g_bToolbarShown = 1;
        g_bStatusbarShown = 1;
        ShellWindowTest::TearDown();
    }
    int Run(const char *pszLine) { return ExecuteCommand(pszLine); }

    NKMovieSettings m_MovieSettings;
    MessageCapture m_Capture;
};

TEST_F(SystemCommandsWindow, ToolbarCommandsAnswerTheBarsState)
{
    EXPECT_EQ(Run("notoolbar"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Disabled toolbar window")) << m_Capture.Text();
    EXPECT_EQ(Run("notoolbar"), 1);
    EXPECT_TRUE(m_Capture.HasLine("Toolbar window already disabled")) << m_Capture.Text();
    EXPECT_EQ(Run("toolbar"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Enabled toolbar window"));
    EXPECT_EQ(Run("toolbar"), 1);
    EXPECT_TRUE(m_Capture.HasLine("Toolbar already enabled"));
}

// The bar itself comes and goes.
TEST_F(SystemCommandsWindow, ToolbarCommandsMakeAndRemoveTheBar)
{
    ASSERT_NE(NKGetToolbarWindow(), nullptr);
    EXPECT_EQ(Run("notoolbar"), 0);
    EXPECT_EQ(NKGetToolbarWindow(), nullptr);
    EXPECT_EQ(Run("toolbar"), 0);
    EXPECT_NE(NKGetToolbarWindow(), nullptr);
}

TEST_F(SystemCommandsWindow, StatusbarCommandsMakeAndRemoveTheBar)
{
    ASSERT_NE(NKGetStatusbarWindow(), nullptr);
    EXPECT_EQ(Run("statusbar"), 1);
    EXPECT_TRUE(m_Capture.HasLine("Statusbar already enabled"));
    EXPECT_EQ(Run("nostatusbar"), 0);
    EXPECT_EQ(NKGetStatusbarWindow(), nullptr);
    EXPECT_EQ(Run("statusbar"), 0);
    EXPECT_NE(NKGetStatusbarWindow(), nullptr);
    EXPECT_TRUE(m_Capture.HasLine("Enabled statusbar"));
}

TEST_F(SystemCommandsWindow, ReportsOfTheViewsContextAndTheDisplay)
{
    EXPECT_EQ(Run("openglinfo"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Information from OpenGL renderer:"));
    EXPECT_TRUE(m_Capture.HasLine("Detected information:"));
    EXPECT_FALSE(m_Capture.HasLine("- Renderer: ")) << "the view's context gives a name";
    EXPECT_TRUE(m_Capture.Contains("\n * GL_")) << m_Capture.Text();
    m_Capture.Clear();
    EXPECT_EQ(Run("mts"), 0);
    ASSERT_EQ(m_Capture.Lines().size() > 0, true);
    EXPECT_FALSE(m_Capture.HasLine("Maximum Texture Size: 0 pixels")) << m_Capture.Text();
    EXPECT_TRUE(m_Capture.Contains("Maximum Texture Size: "));
    EXPECT_EQ(Run("scrsz"), 0);
    EXPECT_TRUE(m_Capture.Contains("Horizontal resolution: ")) << m_Capture.Text();

    const std::string dir = NKTestMakeTempDir("quolin_pixel_report_");
    char szStart[4096];
    ASSERT_NE(getcwd(szStart, sizeof(szStart)), nullptr);
    ASSERT_EQ(chdir(dir.c_str()), 0);
    EXPECT_EQ(Run("showpixelformats"), 0);  // without "file" nothing is written
    EXPECT_TRUE(NKTestReadFile(dir + "/pixel.txt").empty());
    EXPECT_EQ(Run("showpixelformats file"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Pixel format info output in file: pixel.txt"));
    EXPECT_FALSE(NKTestReadFile(dir + "/pixel.txt").empty());
    EXPECT_EQ(chdir(szStart), 0);
    NKTestRemoveDir(dir);
}

TEST_F(SystemCommandsWindow, ExitDestroysTheMainWindow)
{
    EXPECT_EQ(Run("quit"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Exiting application"));
    EXPECT_EQ(NKGetMainWindow(), nullptr);
    EXPECT_EQ(g_bExitRequested, 0);  // the closed window ends the loop by itself
}

}  // namespace
