// render/nk_part_palette.cpp -- the part palette's start-up contents and the
// current palette, which starts as a copy of them.
#include "render/nk_part_palette.h"

const uint8_t NKStartupPartPalette[16][3] = {
    {76, 0, 10},   {25, 63, 84},  {15, 50, 27}, {82, 80, 0},  {60, 33, 13}, {76, 0, 22},
    {12, 10, 37},  {20, 62, 37},  {100, 92, 40}, {65, 50, 30}, {78, 16, 24}, {65, 82, 84},
    {15, 60, 40},  {80, 84, 10},  {85, 64, 38}, {66, 32, 52}};

uint8_t NKPartPalette[16][3] = {
    {76, 0, 10},   {25, 63, 84},  {15, 50, 27}, {82, 80, 0},  {60, 33, 13}, {76, 0, 22},
    {12, 10, 37},  {20, 62, 37},  {100, 92, 40}, {65, 50, 30}, {78, 16, 24}, {65, 82, 84},
    {15, 60, 40},  {80, 84, 10},  {85, 64, 38}, {66, 32, 52}};
