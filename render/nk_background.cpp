// render/nk_background.cpp -- the background record and its reset (see
// nk_background.h).
#include "render/nk_background.h"

namespace {
NKBackgroundSettings sg_Background;
}  // namespace

NKBackgroundSettings *g_pBackgroundSettings = &sg_Background;

bool NKResetBackgroundSettings(NKBackgroundSettings *pSettings, int iMode)
{
    if (pSettings == nullptr) return false;
    if (iMode != NK_BACKGROUND_RESET_KEEP) *pSettings = NKBackgroundSettings();
    return true;
}
