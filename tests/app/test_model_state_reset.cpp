// tests/app/test_model_state_reset.cpp -- the shell's model-state reset as
// the load sequence calls it: the rotation point and the ride go, the view
// matrix stays.
#include <gtest/gtest.h>

#include "app/nk_shell_services.h"
#include "core/nk_shell_hooks.h"
#include "render/nk_camera.h"
#include "render/nk_ride.h"

TEST(ModelStateReset, ClearsRotationPointAndRideKeepsTheView)
{
    const NKShellHooks saved = NKGetShellHooks();
    NKInstallShellHooks();
    const float afPoint[3] = {1, 2, 3};
    NKSetRotationPoint(afPoint);
    g_RideSpec.bInUse = g_RideSpec.bRiding = g_RideSpec.bPreview = 1;
    g_RideSpec.iEyeSource = NK_RIDE_PART;
    g_ViewMatrix[12] = 0.5f;
    ResetModelState(false);
    EXPECT_FALSE(NKGetRotationPoint(nullptr));
    EXPECT_EQ(g_RideSpec.bInUse + g_RideSpec.bRiding + g_RideSpec.bPreview, 0);
    EXPECT_EQ(g_RideSpec.iEyeSource, NK_RIDE_NONE);
    EXPECT_EQ(g_ViewMatrix[12], 0.5f);
    NKInitNavigation(g_ViewMatrix, &g_InputState);
    NKSetShellHooks(saved);
}
