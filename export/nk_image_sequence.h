// export/nk_image_sequence.h -- one numbered image file per shown animation
// step: the walk over the steps (backwards, cycling, repeated pictures),
// the progress with Cancel, and NKSaveSceneImage for every picture. The
// make* sequence commands and the animated GIF writer are built on it.
#pragma once

#include <cstdint>

// Writes the pictures of steps iFrom .. iTo (0-based, either direction) by
// iSkip, with bCycle there and back. Each step gets iEvery pictures, the
// first step iFirst more, the last step of the walk iLast more. File names
// are pszPattern (one %d-style conversion) with iFirstNumber + picture
// count - 1. A step's first picture, and every one with bRenderEvery, is
// saved by NKSaveSceneImage: with NK_IMAGE_CAPTURE in uFlags at the movie
// settings' asked size onto piFrameSize (width, height), else off-screen at
// piFrameSize; other pictures copy the step's first file. iWidth, iHeight
// are the view's size (the capture size without movie settings). A status
// code of export/nk_image.h: 1, -2 on Cancel, -3 for iEvery below 1 or a
// bad skip, or the failing picture's code.
int NKWriteImageSequence(int iFrom, int iTo, int iSkip, bool bCycle, int iEvery, int iFirst,
                         int iLast, bool bRenderEvery, int iWidth, int iHeight, uint32_t uFlags,
                         const char *pszPattern, const int *piFrameSize, int iFirstNumber);
