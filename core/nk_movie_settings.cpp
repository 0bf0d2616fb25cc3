// core/nk_movie_settings.cpp -- the settings of image sequences and movies:
// defaults, the size, step, GOP and file-name fixes and the listing.
#include "core/nk_movie_settings.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "core/nk_numeric.h"

NKMovieSettings *g_pMovieSettings = nullptr;

namespace {

int RoundUp16(int iValue) { return (iValue + 15) / 16 * 16; }

}  // namespace

NKMovieSettings::NKMovieSettings(int iWidthIn, int iHeightIn)
    : iWidth(iWidthIn), iHeight(iHeightIn), iEncodedWidth(RoundUp16(iWidthIn)),
      iEncodedHeight(RoundUp16(iHeightIn))
{}

bool NKMovieSettingsClampSteps(NKMovieSettings *pSettings, int iNumSteps, bool bReset)
{
    if (pSettings == nullptr) return false;
    // Without steps the last index would be -1; the range stays at the first step
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

void NKMovieSettingsFixSize(NKMovieSettings *pSettings, int iViewWidth, int iViewHeight,
                            bool bByWidth)
{
    if (pSettings == nullptr) return;
    if (pSettings->bMaintainAspect) {
        const double dRatio = (iViewWidth == 0 || iViewHeight == 0)
                                  ? 1.0
                                  : static_cast<double>(iViewWidth) / iViewHeight;
        if (bByWidth)
            pSettings->iHeight = static_cast<int>(std::lround(pSettings->iWidth / dRatio));
        else
            pSettings->iWidth = static_cast<int>(std::lround(pSettings->iHeight * dRatio));
    }
    NKClampInt(&pSettings->iWidth, 16, 2048);
    NKClampInt(&pSettings->iHeight, 16, 2048);
    pSettings->iEncodedWidth = RoundUp16(pSettings->iWidth);
    pSettings->iEncodedHeight = RoundUp16(pSettings->iHeight);
}

int NKMovieSettingsFixGop(NKMovieSettings *pSettings)
{
    if (pSettings == nullptr) return 0;
    NKClampInt(&pSettings->iPFrameDistance, 1, 3);
    if (pSettings->iGopFrames < 1) pSettings->iGopFrames = 1;
    const int p = pSettings->iPFrameDistance;
    pSettings->iGopFrames = (pSettings->iGopFrames + p - 1) / p * p;
    return pSettings->iGopFrames;
}

void NKMovieSettingsFixExtension(NKMovieSettings *pSettings)
{
    if (pSettings == nullptr) return;
    NKString &name = pSettings->szFileName;
    int iDot = name.FindChar('.', name.GetLength() - 1, false);
    const char *pszDot = iDot >= 0 ? name.GetText() + iDot : nullptr;
    if (pszDot != nullptr && std::strpbrk(pszDot, "/\\") != nullptr) pszDot = nullptr;
    const char *pszNew = nullptr;
    if (pSettings->iType == NK_MOVIE_AVI) {
        if (pszDot == nullptr) {
            name += ".avi";
        } else if (strcasecmp(pszDot, ".avi") != 0) {
            pszNew = "avi";
        }
    } else if (pszDot != nullptr) {
        const bool bAvi = strcasecmp(pszDot, ".avi") == 0;
        if (pSettings->iType == NK_MOVIE_GIF && (bAvi || strcasecmp(pszDot, ".mpg") == 0))
            pszNew = "gif";
        if (pSettings->iType == NK_MOVIE_MPEG && (bAvi || strcasecmp(pszDot, ".gif") == 0))
            pszNew = "mpg";
    }
    if (pszNew != nullptr) name = name.Left(iDot + 1) + pszNew;
}

namespace {

// The GIF lines: frame rate, looping and transparency.
void FormatGif(const NKMovieSettings &s, uint32_t uFlags, NKString *pText)
{
    if (uFlags & NK_MOVIE_LIST_GIF_RATE)
        *pText += NKString::FromFormat("  GIF frame rate: %g frames/s\n", s.fGifFrameRate);
    if (uFlags & NK_MOVIE_LIST_GIF_LOOPS) {
        *pText += "  GIF looping: ";
        if (s.bLoopForever)
            *pText += "forever";
        else
            *pText += NKString::FromFormat("%d%s", s.iLoopCount,
                                           s.iLoopCount == 0 ? " (no looping)" : "");
        *pText += "\n";
    }
    if (uFlags & NK_MOVIE_LIST_GIF_TRANSP) {
        *pText += "  GIF transparency: ";
        if (s.bTransparency) {
            *pText += "on ";
            *pText += s.iTransparencyMode == 1   ? "(use white as transparent color)"
                      : s.iTransparencyMode == 2 ? "(use black as transparent color)"
                                                 : "(auto)";
        } else {
            *pText += "off";
        }
        *pText += "\n";
    }
}

}  // namespace

NKString NKFormatMovieSettings(const NKMovieSettings *pSettings, uint32_t uFlags)
{
    NKString text("");
    if (pSettings == nullptr || pSettings->iValid == 0) return text;
    const NKMovieSettings &s = *pSettings;
    if (uFlags & NK_MOVIE_LIST_FILE)
        text += NKString::FromFormat("  file name: %s\n", s.szFileName.GetText());
    if (uFlags & NK_MOVIE_LIST_STEPS)
        text += NKString::FromFormat("  from step %d to %d, skip by %d%s\n", s.iFromStep + 1,
                                     s.iToStep + 1, s.iSkip, s.bCycle ? " (cycle)" : "");
    if (uFlags & NK_MOVIE_LIST_SIZE)
        text += NKString::FromFormat("  size: %dx%d pixels%s\n", s.iEncodedWidth, s.iEncodedHeight,
                                     s.bCaptureScreen    ? " (capture screen)"
                                     : s.bMaintainAspect ? " (maintain aspect)"
                                                         : "");
    if (uFlags & NK_MOVIE_LIST_REPEAT)
        text +=
            NKString::FromFormat("  repetition: every frame %d, first frame %d, last frame %d\n",
                                 s.iRepeatEvery, s.iRepeatFirst, s.iRepeatLast);
    if (uFlags & NK_MOVIE_LIST_MPEG_RATE)
        text += NKString::FromFormat("  MPEG target bit rate: %d bits/s\n", s.iMpegBitRate);
    if (uFlags & NK_MOVIE_LIST_MPEG_PATTERN)
        text += NKString::FromFormat("  MPEG pattern: %d frames in GOP, P frame distance %d\n",
                                     s.iGopFrames, s.iPFrameDistance);
    FormatGif(s, uFlags, &text);
    if (uFlags & NK_MOVIE_LIST_AVI_RATE)
        text += NKString::FromFormat("  AVI frame rate: %d frames/s\n", s.iAviFrameRate);
    if (uFlags & NK_MOVIE_LIST_AVI_DEPTH)
        text += NKString::FromFormat("  AVI color depth: %dbpp\n", s.iAviColorDepth);
    return text;
}
