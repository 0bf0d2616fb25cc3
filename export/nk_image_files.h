// export/nk_image_files.h -- ImageRecords (export/nk_image.h) as SGI RGB
// (run-length encoded), PPM (P6) and baseline TIFF RGB files, and the SGI
// RGB reader that texture loading uses. Every writer goes through
// NKOutputFile: the target is replaced only when the whole file was
// written (else -4 and the target as it was).
#pragma once

#include <cstdint>

#include "core/nk_image_record.h"

// 1, -1 (null image or name), -5, -4, -11 (a compressed row longer than
// 2 x width + 10), -12.
int WriteSgiRgbFile(const ImageRecord *pImage, const char *pszFileName);
// 1, -1, -5, -4.
int WritePpmFile(const ImageRecord *pImage, const char *pszFileName);
// 1, -1, -5, -4, -12. Rows per strip max(1, 8192 / (3 x width)).
int WriteTiffFile(const ImageRecord *pImage, const char *pszFileName);

// Encodes n values read at stride iStride into SGI runs ending with a zero
// byte; the length written, or -1 when it would pass nOutSize.
int64_t CompressSgiRow(const uint8_t *pIn, int64_t n, int iStride, uint8_t *pOut, int64_t nOutSize);
// Reads an SGI RGB file (run-length or verbatim; 1, 3 or 4 channels of one
// byte) into the image: 1, -5, -6 (short file or a table, offset or run
// that passes the file or the row), -7 (other channel counts or two bytes a
// channel), -9 (magic other than 474), -12. The image is kept on failure.
int NKReadSgiRgbFile(const char *pszFileName, ImageRecord *pImage);
// The same reader under the name the texture loading calls.
int NKReadSgiImage(const char *pszFileName, ImageRecord *pImage);
