// render/nk_lod.h -- the level-of-detail manager, as far as the model core
// asks it for a part's current level.
#pragma once

#include <cstdint>

struct NKGeometry;

// Placeholder: holds nothing until level of detail is built.
class LodManager {
public:
    // Placeholder: level of detail is off, so every part is at level code 0.
    // The part's current level-of-detail code (level x 4).
    uint8_t GetPartLevel(const NKGeometry *pGeo, int iPart) const;
};

// Placeholder: the program's manager; null until start-up makes one.
extern LodManager *g_pLodManager;
