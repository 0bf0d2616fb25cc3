// render/nk_gl_resources.cpp -- the context resources (see
// nk_gl_resources.h).
#include "render/nk_gl_resources.h"

void NKFlagAllListsForUpdate(void) {}

void NKLoadFringeTexture(void) {}

void NKFlagAllTexturesForUpdate(void) {}

void NKBuildBitmapFontLists(void) {}
