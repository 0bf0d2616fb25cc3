// tests/app/test_idle_pacing.cpp -- the pacing of animation frames in the
// idle step: the interval for the application active or in the background,
// and the due test on the wrapping millisecond clock.
#include <gtest/gtest.h>

#include "app/nk_idle.h"
#include "scene/nk_scene.h"

TEST(IdlePacing, IntervalFollowsActivationFramesPerSecondAndRate)
{
    const struct {
        uint8_t bActive;
        int iFps;
        float fRate;
        uint32_t uInterval;
    } cases[] = {
        {1, 0, 25.0f, 33},        {1, 25, 25.0f, 33},        {1, 150, 0.0f, 33},
        {0, 0, 25.0f, 10000000u}, {0, -3, 25.0f, 10000000u}, {0, 25, 25.0f, 160},
        {0, 25, 0.0f, 200},       {0, 150, 25.0f, 33},       {0, 100, 25.0f, 33},
        {0, 30, 7.0f, 476},  // 100000 / 210, truncated
    };
    for (const auto &c : cases) {
        NKAnimationSettings settings;
        settings.bApplicationActive = c.bActive;
        settings.iInactivePercentage = c.iFps;
        settings.fFrameRateDeactivated = c.fRate;
        EXPECT_EQ(NKComputeFrameInterval(&settings), c.uInterval)
            << int(c.bActive) << " " << c.iFps << " " << c.fRate;
    }
}

TEST(IdlePacing, AFrameIsDueOnlyAfterMoreThanTheIntervalAcrossTheWrap)
{
    EXPECT_FALSE(NKIsFrameDue(1160, 1000, 160));
    EXPECT_TRUE(NKIsFrameDue(1161, 1000, 160));
    EXPECT_TRUE(NKIsFrameDue(0x00000030u, 0xFFFFFFF0u, 33));
    EXPECT_FALSE(NKIsFrameDue(0x00000011u, 0xFFFFFFF0u, 33));
    EXPECT_FALSE(NKIsFrameDue(5, 5, 0));
}
