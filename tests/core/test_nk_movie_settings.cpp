// tests/core/test_nk_movie_settings.cpp -- the movie step range: reset to
// all steps and clamped into the steps that exist.
#include <gtest/gtest.h>

#include "core/nk_movie_settings.h"

namespace {

TEST(MovieStepRange, ResetTakesAllSteps)
{
    NKMovieSettings settings;
    settings.iFromStep = 4;
    settings.iToStep = 9;
    settings.iSkip = 3;
    EXPECT_TRUE(NKMovieSettingsClampSteps(&settings, 6, true));
    EXPECT_EQ(settings.iFromStep, 0);
    EXPECT_EQ(settings.iToStep, 5);
    EXPECT_EQ(settings.iSkip, 1);
}

TEST(MovieStepRange, ClampKeepsRangeInsideTheSteps)
{
    NKMovieSettings settings;
    settings.iFromStep = -2;
    settings.iToStep = 20;
    settings.iSkip = 50;
    EXPECT_TRUE(NKMovieSettingsClampSteps(&settings, 8, false));
    EXPECT_EQ(settings.iFromStep, 0);
    EXPECT_EQ(settings.iToStep, 7);
    EXPECT_EQ(settings.iSkip, 8);
    settings.iFromStep = 6;
    settings.iToStep = 2;
    settings.iSkip = 0;
    NKMovieSettingsClampSteps(&settings, 8, false);
    EXPECT_EQ(settings.iSkip, 1);
    settings.iSkip = 9;
    NKMovieSettingsClampSteps(&settings, 8, false);
    EXPECT_EQ(settings.iSkip, 5);  // |2 - 6| + 1
}

TEST(MovieStepRange, OneStepOrNoneIsNotAMovie)
{
    NKMovieSettings settings;
    EXPECT_FALSE(NKMovieSettingsClampSteps(&settings, 1, true));
    EXPECT_EQ(settings.iToStep, 0);
    EXPECT_FALSE(NKMovieSettingsClampSteps(&settings, 0, true));
    EXPECT_EQ(settings.iFromStep, 0);
    EXPECT_EQ(settings.iToStep, 0);
    EXPECT_FALSE(NKMovieSettingsClampSteps(nullptr, 5, true));
}

}  // namespace
