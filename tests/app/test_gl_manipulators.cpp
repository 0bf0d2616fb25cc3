// tests/app/test_gl_manipulators.cpp -- the 3-D handles in the program's own
// view: with F3 held a Shift+left press picks a handle and the mouse drags
// it (a point handle, then the cutting plane's handle, whose plane and cut
// surface follow), without F3 the same clicks leave it in place, and the
// camera never moves meanwhile. Needs an X display.
#include <QTest>
#include <QWindow>

#include <cstring>
#include <string>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_bbox.h"
#include "core/nk_model.h"
#include "core/nk_shell_hooks.h"
#include "render/nk_camera.h"
#include "render/nk_viewpoint_commands.h"
#include "tests/app/app_window_fixture.h"
#include "tests/test_support/test_files.h"
#include "tools/nk_cut_plane.h"
#include "tools/nk_cut_plane_commands.h"
#include "tools/nk_cut_surface.h"
#include "tools/nk_manipulator.h"

namespace {

class ViewManipulatorTest : public ProgramWindowTest {
protected:
    void SetUp() override
    {
        ProgramWindowTest::SetUp();
        NKInstallToolHooks();
        ASSERT_TRUE(NKCreateSurfaceTools());
        NKRegisterViewpointCommands();
        NKRegisterCutPlaneCommands();
        g_pManipulatorList = new ManipulatorList();
        ASSERT_TRUE(NKTestSetViewSize(800, 600));
        ASSERT_EQ(ExecuteCommand(("open \"" + NKTestExamplePath("beam.nkf") + "\"").c_str()), 0);
        ASSERT_EQ(ExecuteCommand("setview"), 0);
    }
    void TearDown() override
    {
        NKSetManipulatorsEnabled(false);
        QTest::keyRelease(m_pView, Qt::Key_F3);
        delete g_pManipulatorList;
        g_pManipulatorList = nullptr;
        NKSetCommandHandler(NK_HANDLER_CUT_PLANES, nullptr);
        ProgramWindowTest::TearDown();
        NKDestroySurfaceTools();
    }
    // A press at (x0, y0), one move to (x1, y1) and the release, with F3
    // held throughout when bF3.
    void Drag(bool bF3, Qt::MouseButton button, Qt::KeyboardModifiers mods, int x0, int y0, int x1,
              int y1)
    {
        if (bF3) QTest::keyPress(m_pView, Qt::Key_F3);
        QTest::mousePress(m_pView, button, mods, QPoint(x0, y0));
        QTest::mouseMove(m_pView, QPoint(x1, y1));
        QTest::mouseRelease(m_pView, button, mods, QPoint(x1, y1));
        if (bF3) QTest::keyRelease(m_pView, Qt::Key_F3);
    }
    bool ViewUnchanged() { return std::memcmp(m_afView, g_ViewMatrix, sizeof m_afView) == 0; }
    void KeepView() { std::memcpy(m_afView, g_ViewMatrix, sizeof m_afView); }
    float m_afView[16] = {};
};

TEST_F(ViewManipulatorTest, F3DragsThePickedPointHandleAndNothingElse)
{
    const float afStart[3] = {0.0f, 0.15f, 0.0f};
    for (bool bF3 : {true, false}) {
        Manipulator probe("Probe", afStart);
        probe.SetEnabled(true);
        g_pManipulatorList->Add(&probe);
        NKRedrawView();  // the pick reads the drawn view's matrices
        KeepView();
        Drag(bF3, Qt::LeftButton, Qt::ShiftModifier, 400, 238, 400, 138);
        // 100 pixels at depth 2 are 0.242647 display units.
        EXPECT_NEAR(probe.GetPosition()[1], bF3 ? 0.392647f : 0.15f, 1e-5f) << bF3;
        EXPECT_NEAR(probe.GetPosition()[0], 0.0f, 1e-5f);
        EXPECT_FALSE(probe.IsDragging());
        EXPECT_TRUE(ViewUnchanged()) << bF3;
    }
}

TEST_F(ViewManipulatorTest, DraggingTheCuttingPlaneHandleMovesThePlane)
{
    ASSERT_EQ(ExecuteCommand("readstate 1 1 1"), 0);  // the cut needs a scalar result
    NKSetManipulatorsEnabled(true);
    ASSERT_TRUE(g_pManipulatorList->Add(&g_pCutPlaneSet->Handle()));
    struct Row {
        Qt::MouseButton button;
        int x1, y1;
        float x, y, z;
    } rows[] = {{Qt::MiddleButton, 400, 257, 5.0f, 0.5f, 0.742647f},
                {Qt::LeftButton, 500, 267, 7.42647f, 0.5f, 0.5f}};
    for (const Row &r : rows) {
        ASSERT_EQ(ExecuteCommand("cutplane 5 0.5 0.5 0 0 1"), 0);
        ASSERT_TRUE(g_pCutPlaneSet->Handle().IsEnabled());
        NKRedrawView();
        KeepView();
        // The pick off the beam (display y 0.079) makes the handle current.
        QTest::keyPress(m_pView, Qt::Key_F3);
        QTest::mouseClick(m_pView, Qt::LeftButton, Qt::ShiftModifier, QPoint(400, 267));
        QTest::keyRelease(m_pView, Qt::Key_F3);
        ASSERT_EQ(g_pManipulatorList->Get(-1), &g_pCutPlaneSet->Handle());
        Drag(true, r.button, Qt::ShiftModifier, 400, 267, r.x1, r.y1);
        float p[3], n[3];
        g_pCutPlaneSet->GetPlanePoint(-1, p);
        g_pCutPlaneSet->GetPlaneNormal(-1, n);
        EXPECT_NEAR(p[0], r.x, 1e-4f);
        EXPECT_NEAR(p[1], r.y, 1e-4f);
        EXPECT_NEAR(p[2], r.z, 1e-4f);
        EXPECT_NEAR(n[2], 1.0f, 1e-6f);
        EXPECT_TRUE(ViewUnchanged());
        // The frame drawn after the move cut the beam where the plane now is.
        const CutSurface *pCut = g_pModel->pFrames[0].pCutSurfaces[0];
        ASSERT_NE(pCut, nullptr);
        ASSERT_GT(pCut->iNumParts, 0);
        float afMin[3], afMax[3];
        std::memcpy(afMin, pCut->pParts[0].fMin, sizeof afMin);
        std::memcpy(afMax, pCut->pParts[0].fMax, sizeof afMax);
        DisplayToModel(afMin);
        DisplayToModel(afMax);
        EXPECT_NEAR(afMin[2], r.z, 1e-4f);
        EXPECT_NEAR(afMax[2], r.z, 1e-4f);
    }
}

}  // namespace
