// core/nk_movie_settings.h -- the settings of image sequences and movies.
//
// One global record, made at start-up, holds the step range that image
// sequences and movies are made from. The frame array resets that range to
// all steps whenever it is rebuilt (NKSetFrameCount in core/nk_frames.cpp).
#pragma once

struct NKMovieSettings {
    int iFromStep = 0;  // first step, 0-based
    int iToStep = 0;    // last step
    int iSkip = 1;      // step stride
};

// The program's movie settings; null until start-up has made them.
extern NKMovieSettings *g_pMovieSettings;

// With bReset, sets the range to all iNumSteps steps (0 .. iNumSteps - 1,
// skip 1). Then clamps from and to into 0 .. iNumSteps - 1 (0 .. 0 when there
// are no steps) and the skip into 1 .. |to - from| + 1. True when there is
// more than one step; false also for null settings, which are left alone.
bool NKMovieSettingsClampSteps(NKMovieSettings *pSettings, int iNumSteps, bool bReset);
