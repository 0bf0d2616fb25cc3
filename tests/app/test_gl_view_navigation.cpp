// tests/app/test_gl_view_navigation.cpp -- mouse and keyboard navigation in
// the program's own 3-D view: a right-button trackball drag in study mode
// turns the beam end-on, a held 'A' in walk mode moves the camera forward
// in steps paced by the clock (no more than one per timer period) that
// stop on release. Needs an X display.
#include <GL/gl.h>

#include <QElapsedTimer>
#include <QTest>
#include <QWindow>

#include <cmath>
#include <string>
#include <vector>

#include "app/nk_animation_timer.h"
#include "app/nk_system_commands.h"
#include "app/nk_view_window.h"
#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_load_hooks.h"
#include "core/nk_model.h"
#include "core/nk_movie_settings.h"
#include "core/nk_view_state.h"
#include "readers/nk_data_source.h"
#include "render/nk_camera.h"
#include "render/nk_navigation.h"
#include "render/nk_viewpoint_commands.h"
#include "scene/nk_renderer.h"
#include "tests/app/app_window_fixture.h"
#include "tests/test_support/test_files.h"
#include "tests/test_support/test_wait.h"

namespace {

std::string BeamPath(void) { return NKTestExamplePath("beam.nkf"); }

// The program's start-up around the shell's window, the beam open in an
// 800 x 600 view.
class ViewNavigationTest : public ProgramWindowTest {
protected:
    void SetUp() override
    {
        ProgramWindowTest::SetUp();
        NKRegisterViewpointCommands();
        ASSERT_TRUE(NKTestSetViewSize(800, 600));
        ASSERT_EQ(ExecuteCommand(("open \"" + BeamPath() + "\"").c_str()), 0);
    }

    // Model pixels (not the background colour of the corner) on the centre
    // row of the view, drawn now. The software renderer keeps the back
    // buffer's picture after the swap; the front buffer of a child window
    // reads back empty under Xvfb.
    int CentreRowModelPixels()
    {
        NKRedrawView();
        EXPECT_TRUE(NKMakeViewCurrent());
        glReadBuffer(GL_BACK);
        std::vector<unsigned char> row(800 * 4), corner(4);
        glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, corner.data());
        glReadPixels(0, 300, 800, 1, GL_RGBA, GL_UNSIGNED_BYTE, row.data());
        int n = 0;
        for (int x = 0; x < 800; x++)
            for (int c = 0; c < 3; c++)
                if (row[size_t(x * 4 + c)] != corner[size_t(c)]) {
                    n++;
                    break;
                }
        return n;
    }
};

TEST_F(ViewNavigationTest, RightDragAcrossHalfTheViewTurnsTheBeamEndOn)
{
    ASSERT_EQ(ExecuteCommand("setview"), 0);
    const int iSideOn = CentreRowModelPixels();
    ASSERT_GT(iSideOn, 100);
    QTest::mousePress(m_pView, Qt::RightButton, Qt::NoModifier, QPoint(400, 300));
    QTest::mouseMove(m_pView, QPoint(800, 300));
    QTest::mouseRelease(m_pView, Qt::RightButton, Qt::NoModifier, QPoint(800, 300));
    EXPECT_NEAR(g_ViewMatrix[0], 0.03875f, 1e-4f);
    EXPECT_NEAR(std::acos(g_ViewMatrix[0]), 1.532f, 1e-3f);
    EXPECT_NEAR(g_ViewMatrix[5], 1.0f, 1e-5f);  // about the vertical
    EXPECT_FALSE(NKIsNavigationActive(0));      // the drag has ended
    const int iEndOn = CentreRowModelPixels();
    EXPECT_LE(iEndOn * 3, iSideOn * 2) << iSideOn << " -> " << iEndOn;
}

// Each hold walks from its own press: one step at the timer's first tick
// and one per 20 ms timer period after, also for a second hold (no steps
// counted from the first hold's end).
TEST_F(ViewNavigationTest, HeldAWalksForwardInStepsUntilReleased)
{
    ASSERT_EQ(ExecuteCommand("setview"), 0);
    ASSERT_EQ(ExecuteCommand("walk"), 0);
    const int iBefore = CentreRowModelPixels();
    m_pView->requestActivate();
    float fWalked = 0.0f;
    for (int iHold = 1; iHold <= 2; iHold++) {
        SCOPED_TRACE("hold " + std::to_string(iHold));
        QElapsedTimer held;
        held.start();
        QTest::keyPress(m_pView, Qt::Key_A);
        EXPECT_TRUE(NKIsTimerActive());
        // The first step comes at the timer's first tick, which a busy
        // machine may hold back past any fixed wait.
        EXPECT_TRUE(NKTestWaitFor([&] { return g_ViewMatrix[14] != fWalked; }, "the first step"));
        QTest::qWait(300);
        QTest::keyRelease(m_pView, Qt::Key_A);
        const qint64 iHeldMs = held.elapsed();
        EXPECT_FALSE(NKIsTimerActive());
        // Whole steps of 0.02, summed in floats: the count is the nearest
        // whole number.
        const float fSteps = (g_ViewMatrix[14] - fWalked) / 0.02f;
        const float fWholeSteps = std::round(fSteps);
        EXPECT_NEAR(fSteps * 0.02f, fWholeSteps * 0.02f, 1e-5f);
        EXPECT_GE(fWholeSteps, 1.0f);
        EXPECT_LE(fWholeSteps, float(iHeldMs / 20 + 1)) << iHeldMs << " ms";
        fWalked = g_ViewMatrix[14];
        // A pause between the holds longer than ten timer periods, the
        // most a walk catches up at once.
        QTest::qWait(300);
    }
    for (int i : {0, 1, 2, 12, 13}) EXPECT_FLOAT_EQ(g_ViewMatrix[i], i == 0 ? 1.0f : 0.0f) << i;
    EXPECT_GT(CentreRowModelPixels(), iBefore);
}

}  // namespace
