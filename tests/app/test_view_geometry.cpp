// tests/app/test_view_geometry.cpp -- the view's geometry that needs no
// OpenGL context: projecting a point to window pixels, the eye-space view
// volume and its frustum planes, and sizes scaled by the eye distance.
#include <gtest/gtest.h>

#include "app/nk_shell_services.h"
#include "core/nk_math.h"
#include "core/nk_model_hooks.h"
#include "core/nk_oriented_box.h"
#include "core/nk_shell_hooks.h"
#include "core/nk_view_state.h"
#include "render/nk_camera.h"
#include "render/nk_projection.h"

namespace {

const double kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

class ViewGeometry : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_SavedShell = NKGetShellHooks();
        m_SavedModel = NKGetModelHooks();
        NKInstallShellHooks();
    }
    void TearDown() override
    {
        NKSetShellHooks(m_SavedShell);
        NKSetModelHooks(m_SavedModel);
    }
    NKShellHooks m_SavedShell;
    NKModelHooks m_SavedModel;
};

TEST_F(ViewGeometry, ProjectedPixelsAreTruncatedTowardZero)
{
    const int aiViewport[4] = {0, 0, 200, 100};
    const struct {
        float afPoint[3];
        int iX, iY;
    } kCases[] = {
        {{-1.01f, 0.0f, 0.0f}, 0, 50},  // -1.0 + 0.5 truncates to 0, not -1
        {{0.0f, 0.0f, 0.0f}, 100, 50},
        {{0.994f, 0.98f, 0.0f}, 199, 99},
        {{-1.2f, -1.2f, 0.0f}, -19, -9},
    };
    for (const auto &c : kCases) {
        int x = 77, y = 77;
        double dDepth = -1.0;
        ASSERT_TRUE(
            NKProjectToWindow(c.afPoint, kIdentity, kIdentity, aiViewport, &x, &y, &dDepth));
        EXPECT_EQ(x, c.iX) << c.afPoint[0];
        EXPECT_EQ(y, c.iY) << c.afPoint[1];
        EXPECT_DOUBLE_EQ(dDepth, 0.5);
    }
    const double kSingular[16] = {};
    int x = 0, y = 0;
    const float afPoint[3] = {0.0f, 0.0f, 0.0f};
    EXPECT_FALSE(NKProjectToWindow(afPoint, kIdentity, kSingular, aiViewport, &x, &y, nullptr));
    EXPECT_FALSE(NKProjectToWindow(nullptr, kIdentity, kIdentity, aiViewport, &x, &y, nullptr));
}

TEST_F(ViewGeometry, ViewVolumeBoxEnclosesTheFrustum)
{
    float afBox[6] = {};
    NKOrientedBox box;
    ASSERT_TRUE(NKGetViewVolumeBox(800, 400, 0.5f, 4.0f, afBox, &box));
    const float h = 4.0f * g_fFieldOfViewFactor, w = 2.0f * h;
    const float afExpected[6] = {-w, -h, -4.0f, w, h, -0.5f};
    for (int i = 0; i < 6; i++) EXPECT_FLOAT_EQ(afBox[i], afExpected[i]) << i;
    float afFromBox[6];
    box.GetBox(afFromBox, false);
    for (int i = 0; i < 6; i++) EXPECT_FLOAT_EQ(afFromBox[i], afExpected[i]) << i;
    ASSERT_TRUE(NKGetViewVolumeBox(100, 0, 0.5f, 4.0f, afBox, nullptr));  // height 0: square
    EXPECT_FLOAT_EQ(afBox[0], -h);
}

// Three-point planes a x + b y + c z = d, all turned the same way: an inner
// point lies on the same side of all six, a point beyond a face on the other
// side of that face.
TEST_F(ViewGeometry, FrustumPlanesPutTheInsideOnOneSide)
{
    float afPlanes[6][4] = {};
    ASSERT_TRUE(NKGetViewFrustumPlanes(800, 400, 1.0f, 5.0f, afPlanes, true, false));
    auto Side = [&](int iPlane, const float *p) {
        const float *q = afPlanes[iPlane];
        return q[0] * p[0] + q[1] * p[1] + q[2] * p[2] - q[3];
    };
    const float afInside[3] = {0.1f, -0.1f, -3.0f};
    const float afOutside[6][3] = {{-5, 0, -3}, {5, 0, -3},    {0, 5, -3},
                                   {0, -5, -3}, {0, 0, -0.5f}, {0, 0, -6}};
    const bool bInsidePositive = Side(0, afInside) > 0.0f;
    for (int i = 0; i < 6; i++) {
        EXPECT_EQ(Side(i, afInside) > 0.0f, bInsidePositive) << "plane " << i;
        EXPECT_NE(Side(i, afOutside[i]) > 0.0f, bInsidePositive) << "plane " << i;
    }
    float afReversed[6][4] = {};
    ASSERT_TRUE(NKGetViewFrustumPlanes(800, 400, 1.0f, 5.0f, afReversed, false, true));
    for (int k = 0; k < 4; k++) EXPECT_FLOAT_EQ(afReversed[0][k], -afPlanes[0][k]);
    EXPECT_FALSE(NKGetViewFrustumPlanes(800, 400, 1.0f, 5.0f, nullptr, true, false));
}

TEST_F(ViewGeometry, SizeScalesWithTheEyeDistanceOfTheModelView)
{
    float afModelView[16];
    NKMatrixIdentity(afModelView);
    afModelView[14] = -2.0f;  // the eye stands at z = 2
    const float afPoint[3] = {0.0f, 3.0f, -2.0f};
    EXPECT_FLOAT_EQ(NKScaleByEyeDistance(0.5f, afPoint, afModelView), 2.5f);
    EXPECT_FLOAT_EQ(NKScaleByEyeDistance(0.5f, nullptr, afModelView), 0.5f);
    const float afSingular[16] = {};
    EXPECT_FLOAT_EQ(NKScaleByEyeDistance(0.5f, afPoint, afSingular), 0.5f);
    // Without a matrix the camera's eye point is asked: (0, 0, 2) for the
    // identity view, 5 from the point.
    NKMatrixIdentity(g_ViewMatrix);
    EXPECT_FLOAT_EQ(NKScaleByEyeDistance(0.5f, afPoint, nullptr), 2.5f);
}

}  // namespace
