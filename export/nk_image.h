// export/nk_image.h -- the in-memory picture every image file, print and
// texture passes through (ImageRecord, core/nk_image_record.h), the status
// codes of all image operations, and the scene's way into a still-image
// file: capture from the frame buffer or rendering off-screen
// (export/nk_offscreen.h), then one of the writers of
// export/nk_image_files.h, export/nk_gif_writer.h or the BMP files of
// export/nk_bmp_files.h.
#pragma once

#include <cstdint>

#include "core/nk_image_record.h"
#include "core/nk_string.h"

struct NKBackgroundSettings;

// Status codes of the image operations; NKImageErrorText gives the texts.
enum {
    NK_IMAGE_OK = 1,
    NK_IMAGE_ERROR = -1,
    NK_IMAGE_ABORTED = -2,
    NK_IMAGE_BAD_PARAMETER = -3,
    NK_IMAGE_WRITE_ERROR = -4,
    NK_IMAGE_OPEN_ERROR = -5,
    NK_IMAGE_READ_ERROR = -6,
    NK_IMAGE_BAD_BITS = -7,
    NK_IMAGE_NOT_BMP = -8,
    NK_IMAGE_NOT_SGI = -9,
    NK_IMAGE_RLE_BUFFER = -11,
    NK_IMAGE_NO_MEMORY = -12,
    NK_IMAGE_NO_OFFSCREEN = -13
};

// Format flags, one bit each, and the capture bit.
enum : uint32_t {
    NK_IMAGE_PPM = 1u,
    NK_IMAGE_RGB = 2u,
    NK_IMAGE_TIFF = 4u,
    NK_IMAGE_BMP = 8u,
    NK_IMAGE_GIF = 16u,
    NK_IMAGE_EPS = 32u,
    NK_IMAGE_CAPTURE = 0x1000000u
};

// Name "none", width and height -1, no pixels.
void NKInitImageRecord(ImageRecord *pImage);
// Frees the pixels, then initialises the record again.
void NKReleaseImagePixels(ImageRecord *pImage);
// Frees the pixels and the heap record (made with new); null is accepted.
void NKFreeImageRecord(ImageRecord *pImage);

// The text of a status code; "Unknown error" for any code not in the table.
NKString NKImageErrorText(int iCode);
// The name of the format bit set in uFlags; of several, the last in the
// order PPM, RGB, TIFF, BMP, EPS, GIF; "XXX" for none. bLower gives the
// file extension ("ppm", "rgb", "tif", "bmp", "gif", "eps").
NKString NKImageFormatNames(uint32_t uFlags, bool bLower);
// "Capturing scene " or "Rendering scene ", "selection " when bSelection,
// "to <format>-file: <file>  (Image size: <w>*<h> pixels)".
NKString NKImageSaveMessage(bool bCapturing, bool bSelection, uint32_t uFlags,
                            const char *pszFileName, int iWidth, int iHeight);

// Saves frame iFrame (-1 the current one) as an image file of the format in
// uFlags: from the frame buffer with NK_IMAGE_CAPTURE (view size iWidth x
// iHeight), else rendered off-screen at that size. piOrigin and piSize (x,
// y pairs, rows from the bottom) select a part, piTarget asks for a picture
// of exactly that size (capture only). A status code.
int NKSaveSceneImage(int iFrame, int iWidth, int iHeight, uint32_t uFlags, const char *pszFileName,
                     const int *piOrigin, const int *piSize, const int *piTarget);
// Draws the frame into an off-screen target of the view's size (purpose 1)
// and reads it with ReadFrameBuffer; -1 when the frame cannot be drawn.
int NKCaptureScene(int iFrame, int iWidth, int iHeight, ImageRecord *pImage, const int *piOrigin,
                   const int *piSize, const int *piTarget);
// Fills the image from the current frame buffer of iWidth x iHeight
// (selection, target size and padding as the capture rules say): the
// front or back buffer of a window, colour attachment 0 of a framebuffer
// object. 1, -3 (bad size or rectangle) or -12.
int ReadFrameBuffer(int iWidth, int iHeight, ImageRecord *pImage, const int *piOrigin,
                    const int *piSize, const int *piTarget, bool bFront);

// With bRestore false: saves the background's mode and first colour and
// sets mode 0 with pColor (when given). With bRestore true: puts them back.
// Set and restore come in pairs and do not nest.
void NKSetExportBackground(const uint8_t *pColor, NKBackgroundSettings *pBackground, bool bRestore);
