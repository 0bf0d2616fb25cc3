// render/nk_lod.cpp -- the level-of-detail manager (see nk_lod.h).
#include "render/nk_lod.h"

LodManager *g_pLodManager = nullptr;

// Placeholder: level of detail is off.
uint8_t LodManager::GetPartLevel(const NKGeometry *, int) const
{
    return 0;
}
