// tests/core/test_nk_movie_settings.cpp -- the movie settings: the step
// range, the size, GOP and file-name fixes and the listing.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

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

TEST(MovieSize, AspectClampAndEncodedSize)
{
    struct Case {
        int iWidth, iHeight, iViewWidth, iViewHeight;
        bool bAspect, bByWidth;
        int iOutWidth, iOutHeight, iEncWidth, iEncHeight;
    } cases[] = {
        {3000, 100, 640, 480, false, true, 2048, 100, 2048, 112},
        {100, 8, 640, 480, false, true, 100, 16, 112, 16},
        {320, 1, 640, 480, true, true, 320, 240, 320, 240},
        {1, 100, 400, 200, true, false, 200, 100, 208, 112},
        {50, 1, 0, 480, true, true, 50, 50, 64, 64},
    };
    for (const Case &c : cases) {
        NKMovieSettings s;
        s.iWidth = c.iWidth;
        s.iHeight = c.iHeight;
        s.bMaintainAspect = c.bAspect;
        NKMovieSettingsFixSize(&s, c.iViewWidth, c.iViewHeight, c.bByWidth);
        EXPECT_EQ(s.iWidth, c.iOutWidth) << c.iWidth;
        EXPECT_EQ(s.iHeight, c.iOutHeight) << c.iWidth;
        EXPECT_EQ(s.iEncodedWidth, c.iEncWidth) << c.iWidth;
        EXPECT_EQ(s.iEncodedHeight, c.iEncHeight) << c.iWidth;
    }
    NKMovieSettings made(100, 50);
    EXPECT_EQ(made.iEncodedWidth, 112);
    EXPECT_EQ(made.iEncodedHeight, 64);
}

TEST(MovieGop, DistanceClampedAndGopRoundedUp)
{
    const int cases[][4] = {{7, 3, 9, 3}, {6, 5, 6, 3}, {0, 0, 1, 1}, {5, 2, 6, 2}};
    for (const auto &c : cases) {
        NKMovieSettings s;
        s.iGopFrames = c[0];
        s.iPFrameDistance = c[1];
        EXPECT_EQ(NKMovieSettingsFixGop(&s), c[2]);
        EXPECT_EQ(s.iGopFrames, c[2]);
        EXPECT_EQ(s.iPFrameDistance, c[3]);
    }
}

TEST(MovieExtension, FitsTheMovieKind)
{
    struct Case {
        int iType;
        const char *pszIn, *pszOut;
    } cases[] = {
        {NK_MOVIE_MPEG, "run.gif", "run.mpg"}, {NK_MOVIE_MPEG, "run", "run"},
        {NK_MOVIE_MPEG, "run.avi", "run.mpg"}, {NK_MOVIE_MPEG, "run.ppm", "run.ppm"},
        {NK_MOVIE_AVI, "run", "run.avi"},      {NK_MOVIE_AVI, "run.mpg", "run.avi"},
        {NK_MOVIE_AVI, "run.avi", "run.avi"},  {NK_MOVIE_GIF, "run.mpg", "run.gif"},
        {NK_MOVIE_GIF, "a.b/run", "a.b/run"},  {NK_MOVIE_GIF, "run.txt", "run.txt"},
    };
    for (const Case &c : cases) {
        NKMovieSettings s;
        s.iType = c.iType;
        s.szFileName = c.pszIn;
        NKMovieSettingsFixExtension(&s);
        EXPECT_STREQ(s.szFileName.GetText(), c.pszOut) << c.pszIn;
    }
}

// A long path keeps every byte, and its extension is still fitted.
TEST(MovieExtension, LongPathsStayWhole)
{
    const std::string stem = "/tmp/" + std::string(300, 'm');
    struct Case {
        int iType;
        const char *pszSuffix, *pszOut;
    } cases[] = {{NK_MOVIE_AVI, "", ".avi"},
                 {NK_MOVIE_GIF, ".mpg", ".gif"},
                 {NK_MOVIE_MPEG, ".mpg", ".mpg"}};
    for (const Case &c : cases) {
        NKMovieSettings s;
        s.iType = c.iType;
        s.szFileName = (stem + c.pszSuffix).c_str();
        NKMovieSettingsFixExtension(&s);
        EXPECT_EQ(std::string(s.szFileName.GetText()), stem + c.pszOut) << c.pszSuffix;
    }
}

TEST(MovieListing, EveryLineInOrder)
{
    NKMovieSettings s;
    EXPECT_STREQ(NKFormatMovieSettings(&s, NK_MOVIE_LIST_ALL).GetText(),
                 "  file name: Quolin.mpg\n"
                 "  from step 1 to 1, skip by 1\n"
                 "  size: 384x288 pixels\n"
                 "  repetition: every frame 1, first frame 0, last frame 0\n"
                 "  MPEG target bit rate: 3152000 bits/s\n"
                 "  MPEG pattern: 6 frames in GOP, P frame distance 3\n"
                 "  GIF frame rate: 25 frames/s\n"
                 "  GIF looping: 0 (no looping)\n"
                 "  GIF transparency: off\n"
                 "  AVI frame rate: 15 frames/s\n"
                 "  AVI color depth: 8bpp\n");
    s.bCycle = 1;
    s.bMaintainAspect = 1;
    s.bLoopForever = 1;
    s.bTransparency = 1;
    s.iTransparencyMode = 2;
    EXPECT_STREQ(NKFormatMovieSettings(&s, NK_MOVIE_LIST_STEPS | NK_MOVIE_LIST_SIZE |
                                               NK_MOVIE_LIST_GIF_LOOPS | NK_MOVIE_LIST_GIF_TRANSP)
                     .GetText(),
                 "  from step 1 to 1, skip by 1 (cycle)\n"
                 "  size: 384x288 pixels (maintain aspect)\n"
                 "  GIF looping: forever\n"
                 "  GIF transparency: on (use black as transparent color)\n");
    s.bCaptureScreen = 1;
    s.bLoopForever = 0;
    s.iLoopCount = 3;
    EXPECT_STREQ(NKFormatMovieSettings(&s, NK_MOVIE_LIST_SIZE | NK_MOVIE_LIST_GIF_LOOPS).GetText(),
                 "  size: 384x288 pixels (capture screen)\n  GIF looping: 3\n");
    s.iValid = 0;
    EXPECT_STREQ(NKFormatMovieSettings(&s, NK_MOVIE_LIST_ALL).GetText(), "");
    EXPECT_STREQ(NKFormatMovieSettings(nullptr, NK_MOVIE_LIST_ALL).GetText(), "");
}

}  // namespace
