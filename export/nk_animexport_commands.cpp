// export/nk_animexport_commands.cpp -- animexport and its sub-commands:
// each changes NKMovieSettings, then prints its heading and the part of the
// settings listing it touched; a refused value leaves the settings whole.
#include <cctype>
#include <cstring>

#include "commands/nk_argument_scan.h"
#include "commands/nk_command.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_open_commands.h"
#include "core/nk_message.h"
#include "core/nk_movie_settings.h"
#include "core/nk_view_state.h"
#include "export/nk_movie_commands.h"

namespace {

const char kIllegal[] = "Parameter missing or illegal parameter specification";

// Prints the heading and the listing of uFlags, one information line each.
int PrintSettings(const char *pszHeading, uint32_t uFlags)
{
    NKString text = NKString(pszHeading) + NKFormatMovieSettings(g_pMovieSettings, uFlags);
    std::string all(text.GetText());
    size_t iStart = 0;
    while (iStart < all.size()) {
        size_t iEnd = all.find('\n', iStart);
        if (iEnd == std::string::npos) iEnd = all.size();
        NKPrintInfo(all.substr(iStart, iEnd - iStart).c_str());
        iStart = iEnd + 1;
    }
    return 0;
}

int Refuse(CommandTableEntry *pEntry)
{
    NKCommandError(pEntry, kIllegal);
    return 1;
}

bool IsInteger(const NKString &word)
{
    const char *p = word.GetText();
    if (*p == '-' || *p == '+') p++;
    if (*p == 0) return false;
    for (; *p; p++)
        if (!std::isdigit(static_cast<unsigned char>(*p))) return false;
    return true;
}

// "animexport size [aspect | noaspect] [x y]".
int SetSize(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    NKMovieSettings &s = *g_pMovieSettings;
    NKString rest = pScan->Rest();
    NKArgumentScan peek(rest.GetText());
    NKString word = peek.NextToken();
    uint8_t bAspect = s.bMaintainAspect;
    if (word == "aspect" || word == "noaspect") {
        bAspect = word == "aspect";
        pScan->NextToken();
    }
    const int iViewW = NKViewWindowSize.iWidth, iViewH = NKViewWindowSize.iHeight;
    int w = s.iWidth, h = s.iHeight;
    const int iCode =
        NKParseSizeArguments(pScan, iViewW, iViewH, &w, &h, bAspect != 0, s.iWidth, s.iHeight);
    if (iCode == 3) {
        NKCommandError(pEntry, "Invalid dimensions specified for image");
        return 1;
    }
    s.bMaintainAspect = bAspect;
    s.iWidth = w;
    s.iHeight = h;
    NKMovieSettingsFixSize(&s, iViewW, iViewH, iCode != 1);
    return PrintSettings("Setting animation export image size\n", NK_MOVIE_LIST_SIZE);
}

// "animexport repeat every first last": each count only when given.
int SetRepeat(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    int *apCounts[3] = {&g_pMovieSettings->iRepeatEvery, &g_pMovieSettings->iRepeatFirst,
                        &g_pMovieSettings->iRepeatLast};
    int aiValues[3] = {*apCounts[0], *apCounts[1], *apCounts[2]};
    for (int i = 0; i < 3; i++) {
        NKString word = pScan->NextToken();
        if (word.IsNull()) break;
        if (!IsInteger(word) || word.ToInt() < (i == 0 ? 1 : 0)) return Refuse(pEntry);
        aiValues[i] = word.ToInt();
    }
    for (int i = 0; i < 3; i++) *apCounts[i] = aiValues[i];
    return PrintSettings("Setting animation export frame repetition\n", NK_MOVIE_LIST_REPEAT);
}

int SetMpegPattern(NKArgumentScan *pScan)
{
    NKString gop = pScan->NextToken(), distance = pScan->NextToken();
    if (!gop.IsNull()) g_pMovieSettings->iGopFrames = gop.ToInt();
    if (!distance.IsNull()) g_pMovieSettings->iPFrameDistance = distance.ToInt();
    NKMovieSettingsFixGop(g_pMovieSettings);
    return PrintSettings("Setting MPEG generation pattern\n", NK_MOVIE_LIST_MPEG_PATTERN);
}

int SetGifLoops(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    NKString word = pScan->NextToken();
    if (word.IsNull()) return Refuse(pEntry);
    if (std::strncmp(word.GetText(), "for", 3) == 0) {
        g_pMovieSettings->bLoopForever = 1;
    } else if (IsInteger(word) && word.ToInt() >= 0) {
        g_pMovieSettings->iLoopCount = word.ToInt();
        g_pMovieSettings->bLoopForever = 0;
    } else {
        return Refuse(pEntry);
    }
    return PrintSettings("Setting animated GIF loop count\n", NK_MOVIE_LIST_GIF_LOOPS);
}

// giftransp (on, off) and giftranspmode (auto, white, black); another word
// leaves the setting.
int SetGifTransparency(bool bMode, NKArgumentScan *pScan)
{
    NKString word = pScan->NextToken();
    NKMovieSettings &s = *g_pMovieSettings;
    if (!bMode && word == "on") s.bTransparency = 1;
    if (!bMode && word == "off") s.bTransparency = 0;
    if (bMode && word == "auto") s.iTransparencyMode = 0;
    if (bMode && word == "white") s.iTransparencyMode = 1;
    if (bMode && word == "black") s.iTransparencyMode = 2;
    return PrintSettings("Setting animated GIF transparency\n", NK_MOVIE_LIST_GIF_TRANSP);
}

// The sub-commands with one number: bit rate, GIF rate, AVI rate and depth.
int SetNumber(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    NKString word = pScan->NextToken();
    NKMovieSettings &s = *g_pMovieSettings;
    switch (pEntry->id) {
    case NK_CID_ANIMEXPORT_MPEGBITRATE:
        if (!word.IsNull()) s.iMpegBitRate = word.ToInt();
        return PrintSettings("Setting MPEG target bit rate\n", NK_MOVIE_LIST_MPEG_RATE);
    case NK_CID_ANIMEXPORT_GIFRATE: {
        const double dRate = word.ToFloat();
        if (word.IsNull() || !(dRate > 0.0 && dRate <= 100.0)) return Refuse(pEntry);
        s.fGifFrameRate = static_cast<float>(dRate);
        return PrintSettings("Setting animated GIF frame rate\n", NK_MOVIE_LIST_GIF_RATE);
    }
    case NK_CID_ANIMEXPORT_AVIRATE:
        if (word.IsNull() || word.ToInt() == 0) return Refuse(pEntry);
        s.iAviFrameRate = word.ToInt();
        return PrintSettings("Setting AVI frame rate\n", NK_MOVIE_LIST_AVI_RATE);
    default: {
        const int iDepth = word.ToInt();
        if (iDepth != 8 && iDepth != 16 && iDepth != 24) return Refuse(pEntry);
        s.iAviColorDepth = iDepth;
        return PrintSettings("Setting AVI color depth\n", NK_MOVIE_LIST_AVI_DEPTH);
    }
    }
}

}  // namespace

int NKCommandHandleAnimExport(CommandTableEntry *pEntry, const char *pszArguments)
{
    NKArgumentScan scan(pszArguments);
    scan.NextToken();  // "PARAMS"
    if (g_pMovieSettings == nullptr) return 3;
    switch (pEntry->id) {
    case NK_CID_ANIMEXPORT:
        return PrintSettings("Animation export settings\n", NK_MOVIE_LIST_ALL);
    case NK_CID_ANIMEXPORT_SIZE:
        return SetSize(pEntry, &scan);
    case NK_CID_ANIMEXPORT_REPEAT:
        return SetRepeat(pEntry, &scan);
    case NK_CID_ANIMEXPORT_MPEGPATTERN:
        return SetMpegPattern(&scan);
    case NK_CID_ANIMEXPORT_GIFLOOPS:
        return SetGifLoops(pEntry, &scan);
    case NK_CID_ANIMEXPORT_GIFTRANSP:
    case NK_CID_ANIMEXPORT_GIFTRANSPMODE:
        return SetGifTransparency(pEntry->id == NK_CID_ANIMEXPORT_GIFTRANSPMODE, &scan);
    case NK_CID_ANIMEXPORT_MPEGBITRATE:
    case NK_CID_ANIMEXPORT_GIFRATE:
    case NK_CID_ANIMEXPORT_AVIRATE:
    case NK_CID_ANIMEXPORT_AVICOLORDEPTH:
        return SetNumber(pEntry, &scan);
    case NK_CID_ANIMEXPORT_CAPTURE:
    case NK_CID_ANIMEXPORT_NOCAPTURE:
        g_pMovieSettings->bCaptureScreen = pEntry->id == NK_CID_ANIMEXPORT_CAPTURE;
        return PrintSettings("Setting animation image capturing\n", NK_MOVIE_LIST_SIZE);
    default:
        return 3;
    }
}
