// tests/render/test_camera.cpp -- the camera and the navigation steps: the
// trackball's depth and increment, rotation about a point, spin ended by a
// wheel notch, look-at, the eye-point cache following the matrix, walk
// steps by button and the keyboard steps.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/nk_math.h"
#include "core/nk_shell_hooks.h"
#include "render/nk_camera.h"
#include "render/nk_navigation.h"

namespace {

class CameraTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        NKInitNavigation(m, &m_Input);
        NKSetRotationPoint(nullptr);
        NKApplyRotation(nullptr, nullptr, m);
    }
    void TearDown() override
    {
        NKSetRotationPoint(nullptr);
        NKInitNavigation(g_ViewMatrix, &g_InputState);
    }
    void Transform(float x, float y, float z, float *p)
    {
        NKVec3Set(p, x, y, z);
        NKTransformPoint(m, p);
    }
    float m[16];
    NKInputState m_Input;
};

TEST_F(CameraTest, TrackballDepthOnSphereAndHyperbola)
{
    struct {
        float x, y, fDepth;
    } cases[] = {{0, 0, 0.8f}, {1, 0, 0.32f}, {0, -1, 0.32f}, {0.5f, 0, std::sqrt(0.64f - 0.25f)}};
    for (const auto &c : cases)
        EXPECT_NEAR(NKTrackballDepth(0.8f, c.x, c.y), c.fDepth, 1e-6) << c.x << "," << c.y;
    // Exactly on the 0.8 x 0.7071 circle the hyperbola is taken.
    const float e = 0.8f * 0.70710677f;
    EXPECT_NEAR(NKTrackballDepth(0.8f, e, 0), e * e / e, 1e-6);
}

TEST_F(CameraTest, TrackballDragTurnsFrontTowardsTheMouse)
{
    float q[4];
    NKTrackball(q, 0.3f, 0.2f, 0.3f, 0.2f, m, &m_Input);
    EXPECT_EQ(q[3], 1.0f);
    EXPECT_EQ(q[0] + q[1] + q[2], 0.0f);
    NKTrackball(q, 0, 0, 0.1f, 0, m, &m_Input);
    NKApplyRotation(q, nullptr, m);
    float p[3];
    Transform(0, 0, 1, p);
    EXPECT_NEAR(p[0], 0.125f, 1e-5);
    EXPECT_NEAR(p[1], 0.0f, 1e-5);
    EXPECT_NEAR(p[2], 0.99216f, 1e-5);
    // Beyond the window the points are clamped: at most 2 asin(1) per step.
    NKTrackball(q, -5, 0, 5, 0, m, &m_Input);
    float afAxis[3], fAngle;
    NKQuatToAxisAngle(q, afAxis, &fAngle);
    EXPECT_LE(fAngle, 3.1416f);
}

TEST_F(CameraTest, RotationPointStaysInPlace)
{
    const float afPoint[3] = {0.5f, 0, 0};
    NKSetRotationPoint(afPoint);
    float q[4], p[3], afOut[3];
    NKTrackball(q, 0, 0, 0.1f, 0.05f, m, &m_Input, afPoint);
    NKApplyRotation(q, nullptr, m);
    Transform(0.5f, 0, 0, p);
    for (int k = 0; k < 3; k++) EXPECT_NEAR(p[k], afPoint[k], 1e-6);
    EXPECT_TRUE(NKGetRotationPoint(afOut));
    NKSetRotationPoint(nullptr);
    EXPECT_FALSE(NKGetRotationPoint(afOut));
    EXPECT_EQ(afOut[0], 0.0f);
}

TEST_F(CameraTest, SpinRepeatsUntilAWheelNotch)
{
    float q[4], before[16];
    NKTrackball(q, 0, 0, 0.1f, 0, m, &m_Input);
    NKApplyRotation(q, nullptr, m);
    NKMat4Copy(before, m);
    NKSpinStep(m);
    EXPECT_FALSE(NKMat4Equal(before, m, true));
    const float afWheel[3] = {0, 0, 120 * 0.0015f};
    NKApplyRotation(nullptr, afWheel, m);
    EXPECT_NEAR(m[14], before[14] + 0.18f, 1e-6);
    NKMat4Copy(before, m);
    NKSpinStep(m);
    EXPECT_TRUE(NKMat4Equal(before, m, true));
}

TEST_F(CameraTest, LookAtAndEyePointCache)
{
    const float afEye[3] = {1, 2, 3}, afVrp[3] = {1, 2, 0}, afUp[3] = {0, 1, 0};
    NKLookAtMatrix(afEye, afVrp, afUp, g_ViewMatrix);
    float p[3];
    ASSERT_TRUE(NKGetEyePoint(p));
    for (int k = 0; k < 3; k++) EXPECT_NEAR(p[k], afEye[k], 1e-5);
    // The cache follows the matrix without being told.
    NKMatrixIdentity(g_ViewMatrix);
    ASSERT_TRUE(NKGetEyePoint(p));
    EXPECT_NEAR(p[2], 2.0f, 1e-6);
    float afSingular[16] = {};
    NKMat4Copy(g_ViewMatrix, afSingular);
    p[0] = 42;
    EXPECT_FALSE(NKGetEyePoint(p));
    EXPECT_EQ(p[0], 42.0f);
}

// 800 x 600, identity: walk steps by button from a start at (200, 300).
TEST_F(CameraTest, WalkStepsByButton)
{
    struct {
        uint32_t uButtons;
        int x, y;
        int iElement;
        float fValue;
    } cases[] = {{1, 200, 150, 14, 0.0125f}, {1, 200, 300, 14, 0.0f}, {3, 200, 300, 0, 1.0f}};
    for (const auto &c : cases) {
        NKMatrixIdentity(m);
        m_Input.uButtons = c.uButtons;
        m_Input.iX = 200, m_Input.iY = 300;
        NKWalkNavigate(m, &m_Input, true, 800, 600);
        m_Input.iX = c.x, m_Input.iY = c.y;
        ASSERT_TRUE(NKWalkNavigate(m, &m_Input, false, 0, 0));
        EXPECT_NEAR(m[c.iElement], c.fValue, 1e-6) << c.x << "," << c.y;
        if (c.x == 200) {
            for (int i = 0; i < 16; i++)
                if (i != c.iElement) {
                    EXPECT_EQ(m[i], i % 5 == 0 ? 1.0f : 0.0f) << i;
                }
        }
    }
    // Halfway to the farther edge: a quarter of the full step (0.05).
    NKMatrixIdentity(m);
    m_Input.uButtons = 1;
    m_Input.iX = 200, m_Input.iY = 300;
    NKWalkNavigate(m, &m_Input, true, 800, 600);
    m_Input.iY = 150;
    NKWalkNavigate(m, &m_Input, false, -1, -1);
    EXPECT_NEAR(m[14], 0.25f * 0.05f, 1e-7);
    EXPECT_FALSE(NKWalkNavigate(nullptr, &m_Input, false, 0, 0));
}

TEST_F(CameraTest, KeyboardSteps)
{
    struct {
        uint32_t uKeys;
        int iElement;
        float fValue;
    } cases[] = {
        {NK_KEY_CTRL | NK_KEY_LEFT, 12, 0.02f},
        {NK_KEY_CTRL | NK_KEY_SHIFT | NK_KEY_LEFT, 12, 0.08f},
        {NK_KEY_LEFT, 12, 0.0399973f},
        {NK_KEY_A, 14, 0.02f},
        {NK_KEY_A | NK_KEY_Z, 14, -0.02f},
    };
    for (const auto &c : cases) {
        NKMatrixIdentity(g_ViewMatrix);
        m_Input.uKeys = c.uKeys;
        NKKeyboardNavigate(g_ViewMatrix, &m_Input);
        EXPECT_NEAR(g_ViewMatrix[c.iElement], c.fValue, 1e-6) << std::hex << c.uKeys;
        if (c.uKeys & NK_KEY_CTRL) {
            EXPECT_EQ(g_ViewMatrix[0], 1.0f);  // no turn
        }
        float p[3];
        ASSERT_TRUE(NKGetEyePoint(p));
        if (c.uKeys == NK_KEY_LEFT) {
            EXPECT_NEAR(p[0], 0, 1e-6);
            EXPECT_NEAR(p[2], 2, 1e-6);
        }
    }
}

// Walk motion and the walk timer: only walk mode starts timer reason 5.
std::vector<int> &TimerEvents()
{
    static std::vector<int> s_Events;
    return s_Events;
}

TEST_F(CameraTest, WalkMotionStartsTheTimerInWalkModeOnly)
{
    NKShellHooks hooks;
    hooks.pfnStartTimer = [](int i) { TimerEvents().push_back(i); };
    hooks.pfnStopTimer = [](int i) { TimerEvents().push_back(-i); };
    const NKShellHooks saved = NKSetShellHooks(hooks);
    TimerEvents().clear();
    NKStartWalkMotion(&m_Input, 800, 600);
    EXPECT_TRUE(NKIsNavigationActive(0));
    EXPECT_TRUE(NKIsNavigationActive(1));
    EXPECT_FALSE(NKIsNavigationActive(2));
    NKStopWalkMotion();
    NKSetNavigationMode(NK_NAVIGATION_WALK);
    NKStartWalkMotion(&m_Input, 800, 600);
    EXPECT_TRUE(NKIsNavigationActive(2));
    NKSetNavigationMode(NK_NAVIGATION_WALK);
    EXPECT_FALSE(NKIsNavigationActive(0));
    NKStopWalkMotion();
    EXPECT_EQ(TimerEvents(), (std::vector<int>{-5, 5, -5}));
    NKSetShellHooks(saved);
}

}  // namespace
