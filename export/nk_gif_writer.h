// export/nk_gif_writer.h -- ImageRecords as single-image GIF87a files with
// one fixed 256-colour palette (8 red, 8 green, 4 blue levels), reduced by
// a gamma of 2/3 and a 4 x 4 ordered dither and compressed with the GIF
// form of LZW. Every frame of an animated GIF uses the same palette.
#pragma once

#include <cstdint>

#include "core/nk_image_record.h"

class NKOutputFile;

// The palette entry i: (i mod 8) x 255 / 7, ((i / 8) mod 8) x 255 / 7,
// (i / 64) x 255 / 3.
void NKGifPaletteColor(int i, uint8_t *pRGB);
// The gamma table of fGamma (kept until another gamma is asked).
const uint8_t *NKGifGammaTable(float fGamma);
// The palette index of a gamma-corrected pixel (r, g, b) in column x, row
// y counted from the top.
int NKGifDitherIndex(int x, int y, uint8_t r, uint8_t g, uint8_t b);

// The pixel source of the encoder: the index of (x, y), rows in order.
typedef int (*NKGifPixelSource)(void *pContext, int x, int y);
// Writes the whole file (signature to trailer) of iWidth x iHeight with the
// colour tables of 2^iBitsPerPixel entries. Interlace is not offered.
void GifEncode(NKOutputFile *pOut, int iWidth, int iHeight, int iBackground, int iBitsPerPixel,
               const uint8_t *pRed, const uint8_t *pGreen, const uint8_t *pBlue,
               NKGifPixelSource pfnPixel, void *pContext);

// 1; -1 (null image or name); -5; -12; -4 (a failed write, the target kept).
int WriteGifFile(const ImageRecord *pImage, const char *pszFileName);
