// render/nk_background.cpp -- the background record (see nk_background.h).
#include "render/nk_background.h"

namespace {
NKBackgroundSettings sg_Background;
}  // namespace

NKBackgroundSettings *g_pBackgroundSettings = &sg_Background;
