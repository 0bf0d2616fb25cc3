// core/nk_image_record.h -- an RGB image held in memory: the background and
// logo images of the 3-D view, texture images and what the NKF export
// writes. Plain shared data; the code that reads, draws or writes images
// lives with its subsystem.
#pragma once

#include <cstdint>

#include "core/nk_string.h"

struct ImageRecord {
    NKString szName;
    int32_t iWidth = 0;
    int32_t iHeight = 0;
    uint8_t *pPixels = nullptr;  // owned (NKAlloc): width x height RGB bytes, bottom row first
};
