// tests/tools/test_manipulator.cpp -- the 3-D handles without a display: the
// point handle's drag in an 800 x 600 view with the eye at display (0, 0, 2),
// the list's pick, click and removal rules, the default placement on the
// example beam, the heading-only rotation, and the box, plane, slider, ruler
// and grid-box kinds hit by rays along -z from (x, y, 5).
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_math.h"
#include "core/nk_oriented_box.h"
#include "core/nk_view_state.h"
#include "readers/nk_data_source.h"
#include "readers/nk_fem_interface.h"
#include "render/nk_camera.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/test_support/test_files.h"
#include "tools/nk_manipulator.h"

namespace {

// The view of every test here: the identity moved by (0, 0, -2), the
// perspective of the 3-D view (near 0.01, far 8), 800 x 600 pixels.
const float kModelView[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -2, 1};
const int kViewport[4] = {0, 0, 800, 600};

class ManipulatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        NKInitNavigation(g_ViewMatrix, &g_InputState);  // eye at display (0, 0, 2)
        m_SavedSize = NKViewWindowSize;
        NKViewWindowSize = {800, 600};
        m_pSavedList = g_pManipulatorList;
        g_pManipulatorList = new ManipulatorList();
        const double n = 0.01, f = 8.0, h = NK_DEFAULT_FOV_FACTOR * n, w = h * 800.0 / 600.0;
        const float afProjection[16] = {float(n / w),
                                        0,
                                        0,
                                        0,
                                        0,
                                        float(n / h),
                                        0,
                                        0,
                                        0,
                                        0,
                                        float(-(f + n) / (f - n)),
                                        -1,
                                        0,
                                        0,
                                        float(-2 * f * n / (f - n)),
                                        0};
        NKMat4Copy(m_afProjection, afProjection);
    }
    void TearDown() override
    {
        delete g_pManipulatorList;
        g_pManipulatorList = m_pSavedList;
        NKViewWindowSize = m_SavedSize;
        g_fFieldOfViewFactor = NK_DEFAULT_FOV_FACTOR;
    }
    static NKInputState Mouse(int x, int y, uint32_t uButton)
    {
        NKInputState s;
        s.iX = x;
        s.iY = y;
        s.uButtons = uButton;
        return s;
    }
    // A press at (x0, y0) and moves through the given points, all with one
    // button; the last Drag's answer.
    bool DragAlong(Manipulator *p, uint32_t uButton, int x0, int y0,
                   const std::vector<std::pair<int, int>> &moves,
                   const float *pfModelView = nullptr)
    {
        const float *mv = pfModelView != nullptr ? pfModelView : kModelView;
        NKInputState s = Mouse(x0, y0, uButton);
        if (!p->BeginDrag(&s, mv, m_afProjection, kViewport)) return false;
        bool bMoved = false;
        for (const auto &m : moves) {
            s = Mouse(m.first, m.second, uButton);
            bMoved = p->Drag(&s, mv, m_afProjection, kViewport, true);
        }
        p->EndDrag();
        return bMoved;
    }
    // The ray along -z through display (x, y).
    static void Ray(float x, float y, float *o, float *d)
    {
        NKVec3Set(o, x, y, 5.0f);
        NKVec3Set(d, 0.0f, 0.0f, -1.0f);
    }

    float m_afProjection[16] = {};
    ManipulatorList *m_pSavedList = nullptr;
    NKViewSize m_SavedSize{};
};

void ExpectPoint(const float *p, float x, float y, float z, float fTolerance = 1e-5f)
{
    EXPECT_NEAR(p[0], x, fTolerance);
    EXPECT_NEAR(p[1], y, fTolerance);
    EXPECT_NEAR(p[2], z, fTolerance);
}

// A handle that counts what the list asks of it.
class CountingHandle : public Manipulator {
public:
    using Manipulator::Manipulator;
    bool Click(const float *, const float *) override
    {
        m_iClicks++;
        return true;
    }
    void Draw() override { m_iDraws++; }
    int m_iClicks = 0;
    int m_iDraws = 0;
};

// ---- The point handle ---------------------------------------------------------------

TEST_F(ManipulatorTest, PointHandleFollowsTheCursorAtItsDepth)
{
    const float kSingular[16] = {};
    struct Row {
        uint32_t uButton;
        int x1, y1;
        const float *pfModelView;
        bool bMoved;
        float x, y, z;
    } rows[] = {
        {1, 800, 300, nullptr, true, 0.970587f, 0.0f, 0.0f},  // half the width at depth 2
        {2, 400, 150, nullptr, true, 0.0f, 0.0f, 0.363970f},  // up a quarter: towards the eye
        {3, 800, 300, nullptr, false, 0.0f, 0.0f, 0.0f},      // a point does not turn
        {1, 800, 300, kSingular, false, 0.0f, 0.0f, 0.0f},
    };
    for (const Row &r : rows) {
        Manipulator probe("Probe");
        EXPECT_EQ(DragAlong(&probe, r.uButton, 400, 300, {{r.x1, r.y1}}, r.pfModelView), r.bMoved)
            << r.uButton;
        ExpectPoint(probe.GetPosition(), r.x, r.y, r.z);
        EXPECT_EQ(probe.IsChanged(), true);  // a new handle starts changed
    }
    // No drag before a press recorded the viewport.
    Manipulator idle("Idle");
    NKInputState s = Mouse(500, 300, 1);
    EXPECT_FALSE(idle.Drag(&s, kModelView, m_afProjection, kViewport, true));
    EXPECT_STREQ(Manipulator().GetName().GetText(), "UNKNOWN");
}

TEST_F(ManipulatorTest, DragFollowsTheFieldOfViewAndOnlyTheOffsetCounts)
{
    g_fFieldOfViewFactor = float(std::tan(30.0 * M_PI / 180.0));  // as "fov 30" sets it
    Manipulator probe("Probe");
    ASSERT_TRUE(DragAlong(&probe, 1, 400, 300, {{500, 300}}));
    EXPECT_NEAR(probe.GetPosition()[0], 0.384900f, 1e-5f);
    g_fFieldOfViewFactor = NK_DEFAULT_FOV_FACTOR;

    Manipulator once("Once"), steps("Steps");
    ASSERT_TRUE(DragAlong(&once, 2, 400, 300, {{400, 150}}));
    std::vector<std::pair<int, int>> moves;
    for (int i = 1; i <= 10; i++) moves.push_back({400, 300 - 15 * i});
    ASSERT_TRUE(DragAlong(&steps, 2, 400, 300, moves));
    ExpectPoint(steps.GetPosition(), 0.0f, 0.0f, once.GetPosition()[2], 1e-6f);
}

// ---- The list ------------------------------------------------------------------------

TEST_F(ManipulatorTest, ListAddsOnceAndHoldsAtMost99)
{
    ManipulatorList &list = *g_pManipulatorList;
    std::vector<std::unique_ptr<Manipulator>> handles;
    for (int i = 0; i < 99; i++) {
        handles.emplace_back(new Manipulator());
        ASSERT_TRUE(list.Add(handles.back().get()));
        if (i == 0) {
            EXPECT_FALSE(list.Add(handles.back().get()));
        }
    }
    EXPECT_EQ(list.GetCount(), 99);
    Manipulator extra;
    EXPECT_FALSE(list.Add(&extra));
    EXPECT_EQ(list.Get(99), nullptr);
    // A deleted handle leaves the list: it never holds a freed one.
    handles[5].reset();
    EXPECT_EQ(list.GetCount(), 98);
    EXPECT_TRUE(list.Add(&extra));
}

TEST_F(ManipulatorTest, NearerHitBecomesCurrentAndClicksReachIt)
{
    ManipulatorList &list = *g_pManipulatorList;
    const float afFar[3] = {0, 0, 0.1f}, afNear[3] = {0, 0, 0.5f};
    CountingHandle far("Far", afFar), nearer("Near", afNear), hidden("Hidden", afNear);
    for (CountingHandle *p : {&far, &nearer, &hidden}) list.Add(p);
    far.SetEnabled(true);
    nearer.SetEnabled(true);
    float o[3], d[3], fNearest = 0.0f;
    Ray(0, 0, o, d);
    list.ResetPick();
    ASSERT_TRUE(list.Pick(o, d, &fNearest, 1));
    EXPECT_EQ(list.Get(-1), &nearer);
    EXPECT_TRUE(nearer.IsHighlighted());
    EXPECT_FALSE(far.IsHighlighted());
    EXPECT_FALSE(hidden.IsHighlighted());
    // Radius 0.01 x 1.5 from the eye, grown by 0.005 x 4.5 along the ray.
    EXPECT_NEAR(fNearest, 4.5f - 0.015f - 0.0225f, 1e-5f);
    EXPECT_EQ(list.GetNearestDistance(), fNearest);

    list.DrawAll(-1);
    EXPECT_EQ(nearer.m_iDraws, 1);
    EXPECT_EQ(hidden.m_iDraws, 0);
    // A handle disabled after its pick still takes the click, but no drag.
    nearer.SetEnabled(false);
    EXPECT_TRUE(list.Click(o, d, 1));
    EXPECT_EQ(nearer.m_iClicks, 1);
    NKInputState s = Mouse(400, 300, 1);
    EXPECT_FALSE(list.BeginDrag(&s, kModelView, m_afProjection, kViewport, 1));
    nearer.SetEnabled(true);
    EXPECT_FALSE(list.BeginDrag(&s, kModelView, m_afProjection, kViewport, 2));
    EXPECT_FALSE(list.Click(o, d, 2));
    EXPECT_TRUE(list.BeginDrag(&s, kModelView, m_afProjection, kViewport, -1));

    // Removing an entry listed before the current one keeps the current.
    EXPECT_TRUE(list.Remove(&far));
    EXPECT_EQ(list.Get(-1), &nearer);
    EXPECT_TRUE(list.Add(&far));
    EXPECT_TRUE(list.Remove(&nearer));
    EXPECT_EQ(list.Get(-1), nullptr);
    EXPECT_FALSE(list.Remove(&nearer));
    EXPECT_FALSE(list.SetCurrent(&nearer, 1.0f));
    EXPECT_TRUE(list.SetCurrent(&far, 2.0f));
    EXPECT_EQ(list.Get(-1), &far);
}

// ---- Placement and rotation helpers ------------------------------------------------------

class BeamManipulatorTest : public NKModelTest {
protected:
    void SetUp() override
    {
        NKModelTest::SetUp();
        NKInstallDataSources();
        NKRegisterFileCommands();
        ASSERT_EQ(ExecuteCommand(("open \"" + NKTestExamplePath("beam.nkf") + "\"").c_str()), 0);
    }
    void TearDown() override
    {
        NKCloseInterface();
        NKModelTest::TearDown();
    }
};

TEST_F(BeamManipulatorTest, DefaultBoxInModelUnits)
{
    float afBox[6];
    NKGetDefaultManipulatorBox(afBox, true);
    const float kExpected[6] = {3.0f, -1.5f, -1.5f, 7.0f, 2.5f, 2.5f};
    for (int k = 0; k < 6; k++) EXPECT_NEAR(afBox[k], kExpected[k], 1e-5f) << k;
    NKGetDefaultManipulatorBox(afBox, false);
    EXPECT_FLOAT_EQ(afBox[0], -0.2f);
    EXPECT_FLOAT_EQ(afBox[5], 0.2f);
}

TEST(ManipulatorHelpers, ConstrainRotationToZKeepsTheHeading)
{
    for (bool bKeep : {true, false}) {
        float m[16];
        const double a = 30.0 * M_PI / 180.0, b = 40.0 * M_PI / 180.0;
        // Rz(30) Rx(40), column order, translation (1, 2, 3).
        const float ca = float(std::cos(a)), sa = float(std::sin(a));
        const float cb = float(std::cos(b)), sb = float(std::sin(b));
        const float afRotation[16] = {ca,      sa,       0,  0, -sa * cb, ca * cb, sb, 0,
                                      sa * sb, -ca * sb, cb, 0, 1,        2,       3,  1};
        NKMat4Copy(m, afRotation);
        NKConstrainRotationToZ(m, bKeep);
        ExpectPoint(m, 0.866025f, 0.5f, 0.0f);
        ExpectPoint(m + 8, 0.0f, 0.0f, 1.0f);
        ExpectPoint(m + 12, bKeep ? 1.0f : 0.0f, bKeep ? 2.0f : 0.0f, bKeep ? 3.0f : 0.0f);
    }
    // The x axis turned onto z: no heading at all.
    float m[16] = {0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 0, 1};
    NKConstrainRotationToZ(m, false);
    for (int i = 0; i < 16; i++) EXPECT_EQ(m[i], (i % 5 == 0) ? 1.0f : 0.0f) << i;
}

// ---- Kinds --------------------------------------------------------------------------------

void ExpectOrthonormal(const NKOrientedBox &box)
{
    for (int i = 0; i < 3; i++) {
        EXPECT_NEAR(NKVec3Length(box.GetAxis(i)), 1.0, 1e-5) << i;
        for (int j = i + 1; j < 3; j++)
            EXPECT_NEAR(NKVec3Dot(box.GetAxis(i), box.GetAxis(j)), 0.0, 1e-5) << i << j;
    }
}

TEST_F(ManipulatorTest, BoxCornersResizeAndLocksHold)
{
    float o[3], d[3], t = 0.0f, afBounds[6];
    struct Row {
        int x1;
        int iCorner;
        float fMinX, fMaxX;
    } rows[] = {{500, 5, -0.1f, 0.330515f}, {100, 4, -0.591544f, -0.1f}};
    for (const Row &r : rows) {
        BoxManipulator box("Box", true, true);
        Ray(0, 0, o, d);
        ASSERT_TRUE(box.HitTest(o, d, &t));
        EXPECT_EQ(box.GetGrabbedCorner(), -1);  // mid-face: the box moves
        Ray(0.09f, 0.09f, o, d);
        ASSERT_TRUE(box.HitTest(o, d, &t));
        ASSERT_EQ(box.GetGrabbedCorner(), 5);
        ASSERT_TRUE(DragAlong(&box, 1, 400, 300, {{r.x1, 300}}));  // corner at depth 1.9
        EXPECT_EQ(box.GetGrabbedCorner(), r.iCorner);
        box.GetBounds(afBounds, false);
        ExpectPoint(afBounds, r.fMinX, -0.1f, -0.1f);
        ExpectPoint(afBounds + 3, r.fMaxX, 0.1f, 0.1f);
        ExpectPoint(box.GetPosition(), (r.fMinX + r.fMaxX) / 2, 0.0f, 0.0f);
    }
    BoxManipulator locked("Filter Box");
    locked.SetPositionLocks(false, false, true);
    EXPECT_TRUE(DragAlong(&locked, 2, 400, 300, {{400, 150}}));
    ExpectPoint(locked.GetPosition(), 0.0f, 0.0f, 0.0f);
    ExpectPoint(locked.GetOrientedBox()->GetCenter(), 0.0f, 0.0f, 0.0f);
}

TEST_F(ManipulatorTest, BoxTurnsAboutItsCentre)
{
    for (bool bHeading : {false, true}) {
        BoxManipulator box("Box", true, false);
        box.SetHeadingOnly(bHeading);
        const float c[3] = {0.0f, 0.0f, 0.0f};
        box.SetPosition(c);
        ASSERT_TRUE(DragAlong(&box, 3, 420, 290, {{470, 320}, {500, 340}}));
        const NKOrientedBox *p = box.GetOrientedBox();
        ExpectPoint(p->GetCenter(), 0.0f, 0.0f, 0.0f);
        ExpectOrthonormal(*p);
        if (bHeading) {
            ExpectPoint(p->GetAxis(2), 0.0f, 0.0f, 1.0f);
        } else {
            EXPECT_LT(p->GetAxis(0)[0], 0.99f);  // it did turn
        }
    }
    BoxManipulator fixed("3D Legend", false, false);
    EXPECT_FALSE(DragAlong(&fixed, 3, 420, 290, {{470, 320}}));
}

TEST_F(ManipulatorTest, PlaneAxesStayOrthonormalAndFlat)
{
    PlaneManipulator plane("Cutting Plane");
    const float z[3] = {0, 0, 1}, y[3] = {0, 1, 0}, mx[3] = {-1, 0, 0}, x[3] = {1, 0, 0};
    plane.SetNormal(z);
    plane.SetInPlaneAxis(y);
    const NKOrientedBox *p = plane.GetOrientedBox();
    ExpectPoint(p->GetAxis(0), 0, 0, 1);
    ExpectPoint(p->GetAxis(1), 0, 1, 0);
    ExpectPoint(p->GetAxis(2), 1, 0, 0);
    // The in-plane axis along the normal falls back to (1, 0, 0)'s part.
    plane.SetInPlaneAxis(z);
    ExpectPoint(plane.GetInPlaneAxis(), 1, 0, 0);
    ExpectOrthonormal(*p);

    PlaneManipulator turned("Turned");
    turned.SetNormal(x);
    turned.SetNormal(mx);
    ExpectPoint(turned.GetNormal(), -1, 0, 0);
    ExpectOrthonormal(*turned.GetOrientedBox());

    // A corner dragged in depth never gives the plane thickness.
    float o[3], d[3], t;
    Ray(0.19f, 0.19f, o, d);
    ASSERT_TRUE(plane.HitTest(o, d, &t));
    ASSERT_GE(plane.GetGrabbedCorner(), 0);
    ASSERT_TRUE(DragAlong(&plane, 2, 400, 300, {{400, 250}}));
    EXPECT_EQ(p->GetHalfExtents()[0], 0.0f);
    float fWidth = 0, fHeight = 0;
    plane.SetSize(0.5f, 0.25f);
    plane.GetSize(&fWidth, &fHeight);
    EXPECT_EQ(fWidth, 0.5f);
    EXPECT_EQ(fHeight, 0.25f);
}

TEST_F(ManipulatorTest, SliderClicksSetAndStepTheValue)
{
    struct Row {
        float fStart, y, fValue;
        bool bChanged;
    } rows[] = {
        {20, 0.0f, 50, true},     {20, 0.15f, 75, true}, {50, 0.33f, 51, true},
        {100, 0.33f, 100, false}, {0, -0.33f, 0, false}, {50, -0.33f, 49, true},
    };
    for (const Row &r : rows) {
        SliderManipulator slider("Iso Surface Slider");
        slider.SetValue(r.fStart);
        slider.ClearChanged();
        float o[3], d[3];
        Ray(0, r.y, o, d);
        EXPECT_TRUE(slider.Click(o, d)) << r.y;
        EXPECT_FLOAT_EQ(slider.GetValue(), r.fValue) << r.fStart << " " << r.y;
        EXPECT_EQ(slider.IsChanged(), r.bChanged) << r.fStart << " " << r.y;
    }
    SliderManipulator slider("Iso Surface Slider");
    float o[3], d[3], t;
    Ray(0.5f, 0, o, d);
    EXPECT_FALSE(slider.HitTest(o, d, &t));
    slider.SetRange(0, 10);
    EXPECT_FLOAT_EQ(slider.GetStep(), 0.1f);
    EXPECT_FLOAT_EQ(slider.GetValue(), 10.0f);
}

TEST_F(ManipulatorTest, RulerMovesWholeOnItsLineAndStretchesByAnEnd)
{
    float o[3], d[3], t, p1[3], p2[3];
    RulerManipulator whole;
    Ray(0, 0, o, d);
    ASSERT_TRUE(whole.HitTest(o, d, &t));
    ASSERT_TRUE(DragAlong(&whole, 1, 400, 300, {{500, 300}}));
    whole.GetEndPoints(p1, p2);
    ExpectPoint(p1, -0.1f + 0.242647f, 0, 0);
    ExpectPoint(p2, 0.1f + 0.242647f, 0, 0);

    RulerManipulator stretched;
    Ray(0.1f, 0, o, d);
    ASSERT_TRUE(stretched.HitTest(o, d, &t));
    ASSERT_TRUE(DragAlong(&stretched, 1, 400, 300, {{500, 300}}));
    stretched.GetEndPoints(p1, p2);
    ExpectPoint(p1, -0.1f, 0, 0);
    ExpectPoint(p2, 0.342647f, 0, 0);
    ExpectPoint(stretched.GetPosition(), (0.342647f - 0.1f) / 2, 0, 0);
    stretched.SetScale(2.0f);
    EXPECT_NEAR(stretched.GetLength(false, true), 0.885294f, 1e-5f);
    EXPECT_NEAR(stretched.GetLength(false, false), 0.442647f, 1e-5f);

    const float afMid[3] = {1, 1, 1};
    EXPECT_FALSE(stretched.SetEndPoints(nullptr, nullptr));
    ASSERT_TRUE(stretched.SetEndPoints(afMid, nullptr));
    ExpectPoint(stretched.GetPosition(), 1, 1, 1);
    std::string unit(300, 'm');  // no length limit
    stretched.SetUnit(unit.c_str());
    EXPECT_EQ(std::string(stretched.GetUnit().GetText()), unit);
}

TEST_F(ManipulatorTest, GridBoxCountsAndPointMode)
{
    GridBoxManipulator grid("Particle Trace");
    grid.SetCounts(0, 5, -1);
    int nx = 0, ny = 0, nz = 0;
    EXPECT_EQ(grid.GetCounts(&nx, &ny, &nz), 5);
    EXPECT_EQ(nx, 1);
    EXPECT_EQ(ny, 5);
    EXPECT_EQ(nz, 1);
    float o[3], d[3], t;
    Ray(0.09f, 0.09f, o, d);
    EXPECT_TRUE(grid.HitTest(o, d, &t));
    grid.SetBoxMode(false);
    EXPECT_FALSE(grid.HitTest(o, d, &t));  // a point at the centre now
    Ray(0, 0, o, d);
    EXPECT_TRUE(grid.HitTest(o, d, &t));
}

TEST_F(ManipulatorTest, LegendBoxIsListedInTheOverlaySpaceWhileShown)
{
    g_pLegendBox = new BoxManipulator("3D Legend", false, false);
    NKShowLegendManipulator(true);
    float afBox[6];
    g_pLegendBox->GetBounds(afBox, false);
    ExpectPoint(afBox, -1.0f, -0.3f, -0.05f);
    ExpectPoint(afBox + 3, -0.9f, 0.3f, 0.05f);
    EXPECT_TRUE(g_pLegendBox->IsEnabled());
    EXPECT_EQ(g_pLegendBox->GetGroup(), 2);
    EXPECT_EQ(g_pManipulatorList->IndexOf(g_pLegendBox), 0);
    NKShowLegendManipulator(false);
    EXPECT_FALSE(g_pLegendBox->IsEnabled());
    EXPECT_EQ(g_pManipulatorList->GetCount(), 0);
    delete g_pLegendBox;
    g_pLegendBox = nullptr;
}

}  // namespace
