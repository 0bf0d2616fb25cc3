// core/nk_movie_settings.cpp -- the settings of image sequences and movies.
#include "core/nk_movie_settings.h"

#include <cstdlib>

#include "core/nk_numeric.h"

NKMovieSettings *g_pMovieSettings = nullptr;

bool NKMovieSettingsClampSteps(NKMovieSettings *pSettings, int iNumSteps, bool bReset)
{
    if (pSettings == nullptr) return false;
    // Without steps the last index would be -1; the range stays at step 0
    // instead so that from <= to always holds.
    int iLast = iNumSteps > 0 ? iNumSteps - 1 : 0;
    if (bReset) {
        pSettings->iFromStep = 0;
        pSettings->iToStep = iLast;
        pSettings->iSkip = 1;
    }
    NKClampInt(&pSettings->iFromStep, 0, iLast);
    NKClampInt(&pSettings->iToStep, 0, iLast);
    NKClampInt(&pSettings->iSkip, 1, std::abs(pSettings->iToStep - pSettings->iFromStep) + 1);
    return iNumSteps > 1;
}
