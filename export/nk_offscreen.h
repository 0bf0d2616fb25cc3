// export/nk_offscreen.h -- rendering the scene or the 2-D plot a second
// time, at any size, into a 24-bit bitmap in memory, and turning such a
// bitmap into an ImageRecord.
//
// The drawing goes into a framebuffer object (RGBA8, depth 24) made in the
// 3-D view's context, which the shell gives through a core slot
// (NKMakeViewContextCurrent); without a view, into one made in an
// off-screen context of its own, whose display lists, textures and fonts
// are built for the drawing and rebuilt for the old context afterwards.
// The bitmap keeps the device-independent layout: blue, green, red bytes,
// rows bottom-up, each row padded to a multiple of 4 bytes.
#pragma once

#include <cstdint>

#include "core/nk_image_record.h"

struct NKOffscreenBitmap {
    int32_t iWidth = 0;
    int32_t iHeight = 0;
    int32_t iBitCount = 24;
    int32_t iStride = 0;       // bytes a row: 3 x width rounded up to 4
    uint8_t *pBits = nullptr;  // owned (NKAlloc): stride x height bytes
};

// A zero-filled 24-bit bitmap; null without memory or for a size below 1.
NKOffscreenBitmap *NKCreateBitmap(int iWidth, int iHeight);
// Null is accepted.
void NKDeleteBitmap(NKOffscreenBitmap *pBitmap);
// 3 x width rounded up to a multiple of 4, 64-bit.
int64_t NKBitmapStride(int iWidth);

// Off-screen drawing around a draw call: the target is bound and sized,
// single buffering set, quad-buffered stereo off and the view size set to
// iWidth x iHeight (NKResizeView); NKEndOffscreen reads the pixels into the
// bitmap (when given) and restores everything. Begin answers 1, -13 when no
// target of that size can be made, -12.
struct NKOffscreenState;
int NKBeginOffscreen(int iWidth, int iHeight, NKOffscreenState **ppState);
void NKEndOffscreen(NKOffscreenState *pState, NKOffscreenBitmap *pBitmap);

// Renders frame iFrame (-1 current) at iWidth x iHeight; iBitsPerPixel must
// be 24; pBackground replaces the background for the drawing; iPurpose goes
// to NKDrawScene (3 image files, 4 clipboard, 0 printer). Null on failure,
// with the status in *piStatus when given (-3, -13, -12, -1).
NKOffscreenBitmap *NKRenderSceneToBitmap(int iFrame, int iWidth, int iHeight, int iBitsPerPixel,
                                         const uint8_t *pBackground, int iPurpose,
                                         int *piStatus = nullptr);
// The current 2-D plot alone, filling the bitmap; null without a plot.
NKOffscreenBitmap *NKRenderPlotToBitmap(int iWidth, int iHeight, int iBitsPerPixel,
                                        const uint8_t *pBackground, int *piStatus = nullptr);
// Render and convert with NKBitmapToImageRecord: -3 for a size below 1,
// -1 (or -13) when no bitmap could be made, else the conversion's code.
int NKRenderSceneToImage(int iFrame, int iWidth, int iHeight, ImageRecord *pImage,
                         const uint8_t *pBackground, int iPurpose, const int *piOrigin,
                         const int *piSize);
int NKRenderPlotToImage(int iWidth, int iHeight, ImageRecord *pImage, const uint8_t *pBackground);
// Copies the whole bitmap or the selection (origin rows from the bottom,
// the size clipped to the bitmap) into the image as RGB: 1, -1 (no bitmap
// or a size that disagrees with it), -3 (selection outside), -12.
int NKBitmapToImageRecord(int iWidth, int iHeight, const NKOffscreenBitmap *pBitmap,
                          ImageRecord *pImage, const int *piOrigin, const int *piSize);

// Renders the scene (purpose 4) and puts it, or the selection (origin in
// the bitmap's top-down rows), on the clipboard as a 24-bit packed
// device-independent bitmap. False (clipboard unchanged) on failure.
bool NKCopySceneToClipboard(int iWidth, int iHeight, const int *piOrigin, const int *piSize);
