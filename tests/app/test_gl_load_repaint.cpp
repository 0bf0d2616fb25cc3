// tests/app/test_gl_load_repaint.cpp -- a model opened in the program's
// window is on the screen at once: the end of every load sets the
// projection and asks for a paint, a paint put off by a progress operation
// comes at its end, a resize is followed by two frames; LS-DYNA plot
// databases opened while the view is being resized (as at start-up) and
// from a command file that turns the legend on, read back from the display
// (those need ../shared/testdata/lsdyna). Needs an X display.
#include <GL/gl.h>

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QWindow>

#include <filesystem>
#include <fstream>
#include <string>

#include "commands/nk_load_sequence.h"
#include "core/nk_progress.h"
#include "core/nk_render_state.h"
#include "core/nk_view_state.h"
#include "render/nk_fringe_commands.h"
#include "render/nk_projection.h"
#include "render/nk_viewpoint_commands.h"
#include "tests/app/app_window_fixture.h"
#include "tests/test_support/test_files.h"
#include "tests/test_support/test_wait.h"

namespace {

constexpr int kWidth = 800, kHeight = 400;

// A full path: a command file runs in its own folder.
std::string SharedLsDyna() { return NKTestSharedDataDir() + "/lsdyna/"; }

bool Lit(QRgb rgb) { return qRed(rgb) + qGreen(rgb) + qBlue(rgb) > 60; }

// The program's window with the drawing replaced by a counter, so that what
// asks for paints is seen and no draw changes the projection.
class LoadRepaintTest : public ProgramWindowTest {
protected:
    void SetUp() override
    {
        ProgramWindowTest::SetUp();
        NKSetViewClientSize(kWidth, kHeight);
        ASSERT_TRUE(NKTestWaitFor([&] { return NKViewWindowSize.iWidth == kWidth; },
                                  "NKViewWindowSize.iWidth == kWidth"));
        ASSERT_TRUE(NKTestWaitFor([&] { return NKViewWindowSize.iHeight == kHeight; },
                                  "NKViewWindowSize.iHeight == kHeight"));
        m_SavedDraw = NKGetLoadHooks();
        NKLoadHooks hooks = m_SavedDraw;
        hooks.pfnDrawScene = [](int, int, int) {
            sg_iDraws++;
            return true;
        };
        NKSetLoadHooks(hooks);
        QCoreApplication::processEvents();
        sg_iDraws = 0;
    }
    void TearDown() override
    {
        NKSetLoadHooks(m_SavedDraw);
        bKeepSettings = 0;
        ProgramWindowTest::TearDown();
    }
    static int sg_iDraws;
    NKLoadHooks m_SavedDraw;
};
int LoadRepaintTest::sg_iDraws = 0;

TEST_F(LoadRepaintTest, TheEndOfALoadSetsTheProjectionAndAsksForAPaint)
{
    // Kept settings run no "autofocus", which would ask for a paint itself.
    bKeepSettings = 1;
    ASSERT_TRUE(NKMakeViewContextCurrent());
    NKSetProjection(kWidth, kHeight, 0.5, 100.0);  // another model's distances
    g_fNearClip = 0.01f;
    g_fFarClip = 8.0f;
    ASSERT_EQ(ExecuteCommand(("open \"" + NKTestExamplePath("beam.nkf") + "\"").c_str()),
              NK_CMD_DONE);
    ASSERT_TRUE(NKMakeViewContextCurrent());
    GLfloat af[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, af);
    EXPECT_NEAR(af[10], -8.01 / 7.99, 1e-5);  // -(f + n) / (f - n)
    EXPECT_NEAR(af[14], -0.16 / 7.99, 1e-5);  // -2 f n / (f - n)
    EXPECT_TRUE(NKTestWaitFor([&] { return sg_iDraws >= 1; }, "sg_iDraws >= 1"));
}

TEST_F(LoadRepaintTest, APaintPutOffByAProgressOperationComesAtItsEnd)
{
    ASSERT_TRUE(NKBeginProgress(10, "Reading", true, false));
    NKInvalidateView();
    QTest::qWait(100);
    EXPECT_EQ(sg_iDraws, 0);
    NKEndProgress("Done", true, false);
    ASSERT_TRUE(NKTestWaitFor([&] { return sg_iDraws == 1; }, "sg_iDraws == 1"));
}

TEST_F(LoadRepaintTest, AResizeIsFollowedByTwoFrames)
{
    // The resize arrives while an operation runs, as during a load: its
    // paints wait for the operation's end.
    ASSERT_TRUE(NKBeginProgress(10, "Reading", true, false));
    NKSetViewClientSize(kWidth / 2, kHeight / 2);
    ASSERT_TRUE(NKTestWaitFor([&] { return NKViewWindowSize.iWidth == kWidth / 2; },
                              "NKViewWindowSize.iWidth == kWidth / 2"));
    EXPECT_EQ(sg_iDraws, 0);
    NKEndProgress("Done", true, false);
    // The first frame after the resize asks for a second one.
    ASSERT_TRUE(NKTestWaitFor([&] { return sg_iDraws == 2; }, "sg_iDraws == 2"));
    QTest::qWait(100);
    sg_iDraws = 0;
    NKRedrawView();
    ASSERT_TRUE(NKTestWaitFor([&] { return sg_iDraws >= 1; }, "the frame of the redraw"));
    QTest::qWait(100);
    EXPECT_EQ(sg_iDraws, 1);  // no resize since the last frame: one frame
}

class SharedLoadRepaintTest : public ProgramWindowTest {
protected:
    void SetUp() override
    {
        if (!std::filesystem::is_directory(SharedLsDyna()))
            GTEST_SKIP() << "../shared/testdata/lsdyna is absent";
        ProgramWindowTest::SetUp();
        m_pfnViewpoint = NKSetCommandHandler(NK_HANDLER_VIEWPOINT, NKCommandHandleViewpoint);
        m_pfnFringes = NKSetCommandHandler(NK_HANDLER_FRINGES, NKCommandHandleFringes);
        m_Dir = NKTestMakeTempDir("quolin_load_repaint_");
    }
    void TearDown() override
    {
        if (m_Dir.empty()) return;  // skipped
        NKTestRemoveDir(m_Dir);
        NKSetCommandHandler(NK_HANDLER_VIEWPOINT, m_pfnViewpoint);
        NKSetCommandHandler(NK_HANDLER_FRINGES, m_pfnFringes);
        ProgramWindowTest::TearDown();
    }
    // The view as the display shows it.
    QImage Screen() const
    {
        return QGuiApplication::primaryScreen()->grabWindow(m_pView->winId()).toImage();
    }
    // Lit pixels in the middle of the view, where the model is centred.
    int MiddlePixels() const
    {
        QImage image = Screen();
        int n = 0;
        for (int y = image.height() * 2 / 5; y < image.height() * 3 / 5; y++)
            for (int x = image.width() * 2 / 5; x < image.width() * 3 / 5; x++)
                n += Lit(image.pixel(x, y)) ? 1 : 0;
        return n;
    }
    int AllPixels() const
    {
        QImage image = Screen();
        int n = 0;
        for (int y = 0; y < image.height(); y++)
            for (int x = 0; x < image.width(); x++) n += Lit(image.pixel(x, y)) ? 1 : 0;
        return n;
    }
    // The legend's bar runs from red at its top to blue at its bottom near
    // the view's left side: a quarter down it is redder than blue, three
    // quarters down bluer than red.
    bool WholeLegendShown() const
    {
        QImage image = Screen();
        auto Bar = [&image](int y) {
            for (int x = 2; x < 80 && x < image.width(); x++) {
                QRgb rgb = image.pixel(x, y);
                if (qRed(rgb) != qGreen(rgb) || qGreen(rgb) != qBlue(rgb)) return rgb;
            }
            return QRgb(0);
        };
        QRgb top = Bar(image.height() / 4), bottom = Bar(image.height() * 3 / 4);
        return qRed(top) > qBlue(top) && qBlue(bottom) > qRed(bottom);
    }
    // The main window is resized to the test's view size and the file opened
    // at once, so the resize reaches the view while the file loads, as when
    // the program opens the file named on its command line.
    void Open(const std::string &file)
    {
        NKSetViewClientSize(kWidth, kHeight);
        ASSERT_EQ(ExecuteCommand(("open \"" + file + "\"").c_str()), NK_CMD_DONE);
        ASSERT_TRUE(NKTestWaitFor([&] { return NKViewWindowSize.iWidth == kWidth; },
                                  "NKViewWindowSize.iWidth == kWidth"));
        ASSERT_TRUE(NKTestWaitFor([&] { return NKViewWindowSize.iHeight == kHeight; },
                                  "NKViewWindowSize.iHeight == kHeight"));
    }
    std::string CommandFile(const std::string &model)
    {
        std::string path = m_Dir + "/legend.qlc";
        std::ofstream(path) << "open \"" << model << "\"\nlegend\n";
        return path;
    }
    std::string m_Dir;
    NKCommandHandler m_pfnViewpoint = nullptr, m_pfnFringes = nullptr;
};

TEST_F(SharedLoadRepaintTest, APlotDatabaseIsDrawnAsSoonAsItIsOpened)
{
    Open(SharedLsDyna() + "ansys-example-data/d3plot_projectile/d3plot");
    EXPECT_TRUE(NKTestWaitFor([&] { return MiddlePixels() > 0; }, "MiddlePixels() > 0"));

    // The qd-cae specimen lies in the x-z plane: the reset view sees it edge
    // on, so the title block and info box show, and a quarter turn about x
    // shows the model.
    Open(SharedLsDyna() + "qd-cae/d3plot");
    EXPECT_TRUE(NKTestWaitFor([&] { return AllPixels() > 0; }, "AllPixels() > 0"));
    ASSERT_EQ(ExecuteCommand("setview 0.7071068 0 0 0.7071068 0 0 0"), NK_CMD_DONE);
    EXPECT_TRUE(NKTestWaitFor([&] { return MiddlePixels() > 0; }, "MiddlePixels() > 0"));
}

TEST_F(SharedLoadRepaintTest, ACommandFileShowsTheModelAndTheWholeLegend)
{
    Open(CommandFile(SharedLsDyna() + "ansys-example-data/d3plot_projectile/d3plot"));
    EXPECT_TRUE(NKTestWaitFor([&] { return MiddlePixels() > 0 && WholeLegendShown(); },
                              "MiddlePixels() > 0 && WholeLegendShown()"));
}

}  // namespace
