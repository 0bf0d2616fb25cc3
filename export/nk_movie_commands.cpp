// export/nk_movie_commands.cpp -- the image-sequence and movie commands:
// their step arguments and checks, the messages around
// NKWriteImageSequence, MakeMpegMovie and NKWriteAnimatedGif.
#include "export/nk_movie_commands.h"

#include <cstring>

#include "commands/nk_argument_scan.h"
#include "commands/nk_command.h"
#include "commands/nk_command_messages.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_movie_settings.h"
#include "core/nk_view_state.h"
#include "export/nk_animated_gif.h"
#include "export/nk_image.h"
#include "export/nk_image_sequence.h"
#include "export/nk_mpeg_movie.h"

namespace {

const char kProductName[] = "Quolin";

struct SequenceRow {
    int iCommandID;
    uint32_t uFlags;
};

const SequenceRow kSequenceRows[] = {
    {NK_CID_MAKERGB, NK_IMAGE_CAPTURE | NK_IMAGE_RGB},
    {NK_CID_MAKETIFF, NK_IMAGE_CAPTURE | NK_IMAGE_TIFF},
    {NK_CID_MAKEPPM, NK_IMAGE_CAPTURE | NK_IMAGE_PPM},
    {NK_CID_MAKEGIF, NK_IMAGE_CAPTURE | NK_IMAGE_GIF},
    {NK_CID_MAKEBMP, NK_IMAGE_BMP},
};

// The internal encoder call of makempeg and makeavi. The system has no
// internal MPEG or AVI encoder, so it answers 0 and both commands end with
// result 1 after listing their settings; MPEG movies are made by the
// outside encoder (makeoldmpeg).
int NKReturnZero(void) { return 0; }

int FrameCount(void) { return g_pModel != nullptr ? g_pModel->iNumFrames : 0; }

// From, to (1-based; a missing word or 0 takes the animation range) and
// stride (default 1) from the scan.
void ReadStepWords(NKArgumentScan *pScan, int *piFrom, int *piTo, int *piStride)
{
    NKString from = pScan->NextToken(), to = pScan->NextToken(), stride = pScan->NextToken();
    *piFrom = from.ToInt();
    *piTo = to.ToInt();
    *piStride = stride.IsNull() ? 1 : stride.ToInt();
    if (*piFrom == 0) *piFrom = g_pModel->iAnimationFromFrame + 1;
    if (*piTo == 0) *piTo = g_pModel->iAnimationToFrame + 1;
}

// The step-number and stride checks; false (reported) when one fails.
bool CheckSteps(CommandTableEntry *pEntry, int iFrom, int iTo, int iStride)
{
    const int n = FrameCount();
    const char *pszWhich = nullptr;
    if (iFrom < 1 || iFrom > n)
        pszWhich = "from";
    else if (iTo < 1 || iTo > n)
        pszWhich = "to";
    if (pszWhich != nullptr) {
        NKCommandError(
            pEntry,
            NKString::FromFormat("Illegal %s step number  (legal 1 -> %d)", pszWhich, n).GetText());
        return false;
    }
    if (iStride < 1) {
        NKCommandError(pEntry, "Illegal stride specified");
        return false;
    }
    return true;
}

int MakeSequence(CommandTableEntry *pEntry, NKArgumentScan *pScan, uint32_t uFlags)
{
    if (FrameCount() <= 1) {
        NKCommandError(pEntry, "Can't create images; no animation loaded");
        return 1;
    }
    const NKString pattern =
        NKString::FromFormat("qln%%04d.%s", NKImageFormatNames(uFlags, true).GetText());
    int iFrom = 0, iTo = 0, iStride = 1;
    ReadStepWords(pScan, &iFrom, &iTo, &iStride);
    if (!CheckSteps(pEntry, iFrom, iTo, iStride)) return 1;
    NKPrintInfo(
        NKString::FromFormat("Creating %s image sequence from step %d to step %d, skip by %d.",
                             NKImageFormatNames(uFlags, false).GetText(), iFrom, iTo, iStride)
            .GetText());
    const int w = NKViewWindowSize.iWidth, h = NKViewWindowSize.iHeight;
    const int aiFrame[2] = {w, h};
    const int iStatus = NKWriteImageSequence(iFrom - 1, iTo - 1, iStride, false, 1, 0, 0, true, w,
                                             h, uFlags, pattern.GetText(), aiFrame, 0);
    if (iStatus != NK_IMAGE_OK) {
        NKCommandError(pEntry, NKImageErrorText(iStatus).GetText());
        return 1;
    }
    NKPrintInfo("Done creating image files.");
    return 0;
}

int MakeOldMpeg(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    if (FrameCount() <= 1) {
        NKCommandError(pEntry, "Can't create animation export file; no animation loaded");
        return 1;
    }
    NKString file = pScan->NextArgument();
    if (file.IsNull() || file.IsEmpty()) file = NKString(kProductName) + ".mpg";
    int iFrom = 0, iTo = 0, iStride = 1;
    ReadStepWords(pScan, &iFrom, &iTo, &iStride);
    NKString q = pScan->NextToken();
    int iQ = q.IsNull() ? 11 : q.ToInt();
    if (iQ < 1 || iQ > 31) iQ = 11;
    if (iFrom > iTo) {
        NKCommandError(pEntry, "Illegal step range specified");
        return 1;
    }
    if (!CheckSteps(pEntry, iFrom, iTo, iStride)) return 1;
    NKPrintInfo((NKString("Creating MPEG stream\n  filename: ") + file + "\n  from step " + iFrom +
                 " to step " + iTo + ", skip by " + iStride + " (q scale " + iQ + ")")
                    .GetText());
    return MakeMpegMovie(iFrom - 1, iTo - 1, iStride, file.GetText(), iQ, true) ? 0 : 1;
}

// The words of makempeg, makeanimgif and makeavi into the movie settings.
void StoreMovieWords(CommandTableEntry *pEntry, NKArgumentScan *pScan, int iType)
{
    NKMovieSettings &s = *g_pMovieSettings;
    NKString file = pScan->NextArgument();
    if (!file.IsNull() && !file.IsEmpty()) s.szFileName = file;
    NKString from = pScan->NextToken(), to = pScan->NextToken(), stride = pScan->NextToken();
    if (!from.IsNull()) s.iFromStep = from.ToInt() - 1;
    if (!to.IsNull()) s.iToStep = to.ToInt() - 1;
    if (!stride.IsNull()) s.iSkip = stride.ToInt();
    if (pEntry->id == NK_CID_MAKEMPEG) {
        s.bCycle = 0;
        NKString cycle = pScan->NextToken();
        if (std::strncmp(cycle.GetText(), "cycle", 5) == 0) s.bCycle = 1;
    }
    s.iType = iType;
    NKMovieSettingsFixExtension(&s);
    NKMovieSettingsClampSteps(&s, FrameCount(), false);
}

int MakeMovie(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    if (FrameCount() <= 1 || g_pMovieSettings == nullptr) {
        NKCommandError(pEntry, "Can't create animation export file; no animation loaded");
        return 1;
    }
    if (pEntry->id == NK_CID_MAKEAVI && g_pMovieSettings->bCaptureScreen) {
        NKCommandError(pEntry, "Capturing of AVI sequences is not supported");
        return 1;
    }
    const int iType = pEntry->id == NK_CID_MAKEANIMGIF ? NK_MOVIE_GIF
                      : pEntry->id == NK_CID_MAKEAVI   ? NK_MOVIE_AVI
                                                       : NK_MOVIE_MPEG;
    StoreMovieWords(pEntry, pScan, iType);
    const char *pszHeading = iType == NK_MOVIE_GIF   ? "Generating animated GIF file\n"
                             : iType == NK_MOVIE_AVI ? "Generating AVI file\n"
                                                     : "Generating MPEG sequence\n";
    NKPrintInfo((NKString(pszHeading) + NKFormatMovieSettings(g_pMovieSettings, NK_MOVIE_LIST_ALL))
                    .GetText());
    if (iType != NK_MOVIE_GIF) return NKReturnZero() == 0 ? 1 : 0;
    const int iStatus = NKWriteAnimatedGif(g_pMovieSettings);
    if (iStatus == 1) {
        NKPrintInfo("Animated GIF file generated OK.");
        return 0;
    }
    if (iStatus == -1) {
        NKPrintInfo("Generation of animated GIF aborted by user.");
        return 0;
    }
    return 1;
}

}  // namespace

int NKCommandHandleMovieFiles(CommandTableEntry *pEntry, const char *pszArguments)
{
    NKArgumentScan scan(pszArguments);
    scan.NextToken();  // "PARAMS"
    for (const SequenceRow &row : kSequenceRows)
        if (row.iCommandID == pEntry->id) return MakeSequence(pEntry, &scan, row.uFlags);
    switch (pEntry->id) {
    case NK_CID_MAKEOLDMPEG:
        return MakeOldMpeg(pEntry, &scan);
    case NK_CID_MAKEMPEG:
    case NK_CID_MAKEANIMGIF:
    case NK_CID_MAKEAVI:
        return MakeMovie(pEntry, &scan);
    default:
        return NKCommandHandleAnimExport(pEntry, pszArguments);
    }
}
