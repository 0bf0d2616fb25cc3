// export/nk_bmp_files.h -- Windows BMP files and packed device-independent
// bitmaps: the BMP files of the scene, of a selection of it and of the 2-D
// plot, rendered off-screen (export/nk_offscreen.h); the BMP reader and the
// conversion of any packed bitmap into an ImageRecord that texture loading
// uses.
//
// A packed bitmap is one heap block (NKAlloc): a 40-byte BITMAPINFOHEADER
// (little-endian words), the colour table its bit count and colour count
// need, then the pixel rows, bottom row first, each padded to 4 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/nk_image_record.h"

struct NKOffscreenBitmap;

// A new 24-bit bitmap holding the rectangle of pBitmap whose top-left pixel
// is column x, row yTop counted from the top, the size clipped to the
// bitmap; null for an origin outside, a size below 1 or no memory.
NKOffscreenBitmap *NKCopyBitmapRect(const NKOffscreenBitmap *pBitmap, int x, int yTop, int w,
                                    int h);
// The bitmap as a packed bitmap of iBitCount (0 or 24) bits, compression
// uCompression (0 only); *pnBytes gets the block's size. Null for another
// request or without memory.
uint8_t *NKBitmapToPackedDIB(const NKOffscreenBitmap *pBitmap, uint32_t uCompression, int iBitCount,
                             size_t *pnBytes);

// BMP files rendered off-screen: the scene (purpose 3), a selection of it
// (origin in top-down rows; the size clipped) and the plot. Status codes of
// export/nk_image.h; -4 for a failed write, the target kept.
int NKWriteSceneBitmapFile(int iFrame, int iWidth, int iHeight, const char *pszFileName);
int NKWriteSceneSelectionBitmapFile(int iFrame, int iWidth, int iHeight, const char *pszFileName,
                                    const int *piOrigin, const int *piSize);
int NKWritePlotBitmapFile(int iWidth, int iHeight, const char *pszFileName);
// Writes a bitmap as a BMP file (header, 40-byte info header, rows).
int NKWriteBitmapFile(const NKOffscreenBitmap *pBitmap, const char *pszFileName);

// Reads a BMP file into a packed bitmap (*ppBlock, *pnBytes). 1; -1 for a
// null output; -5 the file cannot be opened; -6 a short read or a count,
// offset or size that passes the file; -7 not 24 bits when bRequire24Bits;
// -8 not a BMP file (signature, reserved words, stored size, header size,
// planes, or a header field out of range); -12. Nothing is kept on failure.
int NKLoadBitmapFile(const char *pszFileName, uint8_t **ppBlock, size_t *pnBytes,
                     bool bRequire24Bits);
// Hands the BMP, SGI RGB and packed-bitmap readers to the texture image
// loading (render/nk_texture_images.h); called at start-up.
void NKInstallTextureFileReaders(void);
// The picture of a packed bitmap of nBytes as RGB rows bottom-up: any bit
// count, RLE4 and RLE8 too. False for null, malformed or truncated input.
bool NKDibToImageRecord(const uint8_t *pDib, size_t nBytes, ImageRecord *pImage);
// A new packed bitmap of 24 bits at the source's size (header, 256 colour
// entries, rows) expanded from a 1-, 4- or 8-bit or RLE4/RLE8 one; null for
// any other request (size, bit count, stretch), malformed input or no
// memory. pPalette, when given, replaces the source's colours (256 entries
// of blue, green, red, 0).
uint8_t *NKConvertDib(const uint8_t *pDib, size_t nBytes, int iWidth, int iHeight, int iBitCount,
                      bool bStretch, const uint8_t *pPalette, size_t *pnBytes);
