// core/nk_movie_settings.h -- the settings of image sequences and movies.
//
// One global record, made at start-up (384 x 288), holds what image
// sequences, animated GIF files and MPEG movies are made with: the step
// range, the picture size, repetitions, the MPEG, GIF and AVI parameters and
// the output file. The animexport commands change it and list it through
// NKFormatMovieSettings; the frame array resets the step range to all steps
// whenever it is rebuilt (NKSetFrameCount in core/nk_frames.cpp).
#pragma once

#include <cstdint>

#include "core/nk_string.h"

// Movie kinds.
enum { NK_MOVIE_AVI = 4, NK_MOVIE_GIF = 5, NK_MOVIE_MPEG = 6 };

// Listing flags of NKFormatMovieSettings.
enum : uint32_t {
    NK_MOVIE_LIST_FILE = 1u,
    NK_MOVIE_LIST_STEPS = 2u,
    NK_MOVIE_LIST_SIZE = 4u,
    NK_MOVIE_LIST_REPEAT = 8u,
    NK_MOVIE_LIST_AVI_RATE = 0x100u,
    NK_MOVIE_LIST_AVI_DEPTH = 0x200u,
    NK_MOVIE_LIST_GIF_RATE = 0x10000u,
    NK_MOVIE_LIST_GIF_LOOPS = 0x20000u,
    NK_MOVIE_LIST_GIF_TRANSP = 0x40000u,
    NK_MOVIE_LIST_MPEG_RATE = 0x1000000u,
    NK_MOVIE_LIST_MPEG_PATTERN = 0x2000000u,
    NK_MOVIE_LIST_ALL = 0x307030Fu
};

struct NKMovieSettings {
    NKMovieSettings() : NKMovieSettings(384, 288) {}
    // The defaults with an asked picture size of iWidth x iHeight.
    NKMovieSettings(int iWidth, int iHeight);

    int iValid = 1;  // the listing is empty when 0
    int iType = NK_MOVIE_MPEG;
    int iReserved = 0;
    int iFromStep = 0;   // first step, 0-based
    int iToStep = 0;     // last step
    int iSkip = 1;       // step stride
    uint8_t bCycle = 0;  // forward and back
    int iWidth = 384;    // asked picture size
    int iHeight = 288;
    int iEncodedWidth = 384;  // frame size: the asked size rounded up to 16
    int iEncodedHeight = 288;
    uint8_t bCaptureScreen = 0;
    uint8_t bMaintainAspect = 0;
    uint8_t bKeepImages = 0;
    uint8_t bReserved = 0;
    int iRepeatEvery = 1;  // pictures per step
    int iRepeatFirst = 0;  // extra pictures of the first step
    int iRepeatLast = 0;   // extra pictures of the last step
    int iGopFrames = 6;
    int iPFrameDistance = 3;
    int iMpegBitRate = 3152000;
    int iAviColorDepth = 8;
    int iAviFrameRate = 15;
    uint8_t bLoopForever = 0;
    int iLoopCount = 0;
    float fGifFrameRate = 25.0f;
    uint8_t bTransparency = 0;
    int iTransparencyMode = 0;                     // 0 automatic, 1 white, 2 black
    NKString szFileName = NKString("Quolin.mpg");  // any length
};

// The program's movie settings; null until start-up has made them.
extern NKMovieSettings *g_pMovieSettings;

// With bReset, sets the range to all iNumSteps steps (0 .. iNumSteps - 1,
// skip 1). Then clamps from and to into 0 .. iNumSteps - 1 (0 .. 0 when there
// are no steps) and the skip into 1 .. |to - from| + 1. True when there is
// more than one step; false also for null settings, which are left alone.
bool NKMovieSettingsClampSteps(NKMovieSettings *pSettings, int iNumSteps, bool bReset);

// With maintain aspect, derives the height from the width (bByWidth) or the
// width from the height at the view's ratio (1 when a view size is 0),
// rounded; clamps both to 16..2048 and sets the encoded size to them rounded
// up to multiples of 16. Null is ignored.
void NKMovieSettingsFixSize(NKMovieSettings *pSettings, int iViewWidth, int iViewHeight,
                            bool bByWidth);
// Clamps the P-frame distance to 1..3 and raises the GOP frame count to a
// positive multiple of it; answers the GOP frame count (0 for null).
int NKMovieSettingsFixGop(NKMovieSettings *pSettings);
// Fits the file name's extension to the movie kind: AVI keeps ".avi", gets
// ".avi" without an extension and "avi" for any other; GIF turns ".avi" and
// ".mpg" into "gif"; MPEG turns ".avi" and ".gif" into "mpg". Cut to 255.
void NKMovieSettingsFixExtension(NKMovieSettings *pSettings);
// The listing of the parts selected by uFlags (NK_MOVIE_LIST_*), one line
// each; empty for null settings or when iValid is 0.
NKString NKFormatMovieSettings(const NKMovieSettings *pSettings, uint32_t uFlags);
