// platform/nk_font_raster.h -- one-bit glyph bitmaps of a font face, for the
// bitmap text of the OpenGL views.
//
// The text drawing (render/nk_text.cpp) asks here for characters 0-255 of a
// face at a pixel size and style, and compiles one glBitmap display list per
// character from the answer. Codes 128-255 are read as Windows-1252. Bitmaps
// run bottom-up, most significant bit first, each row padded to a multiple
// of 4 bytes (GL's default unpack alignment), with no limit on their width.
// A character without pixels (the blank) is one unlit pixel, so every
// character has bits and its advance survives in a display list.
// "arial" in any case is Liberation Sans (metric-compatible with Arial);
// DejaVu Sans stands in for a face the system lacks. The implementation is
// Qt's (nk_font_raster.cpp); it needs the GUI application object, which
// needs a display.
#pragma once

#include <cstdint>

// Style bits of NKRasteriseFont.
enum {
    NK_RASTER_BOLD = 1,       // weight 700
    NK_RASTER_ITALIC = 2,     //
    NK_RASTER_UNDERLINE = 4,  //
    NK_RASTER_TURNED = 8      // glyphs turned 90 degrees counter-clockwise
};

// One character. The bitmap's lower-left pixel lies at the pen position
// minus (fOriginX, fOriginY), as glBitmap places it; the pen then moves by
// (fAdvanceX, fAdvanceY).
struct NKRasterGlyph {
    int32_t iWidth = 0;     // pixels
    int32_t iHeight = 0;    // rows
    int32_t iRowBytes = 0;  // bytes per row, a multiple of 4
    float fOriginX = 0.0f;
    float fOriginY = 0.0f;
    float fAdvanceX = 0.0f;
    float fAdvanceY = 0.0f;
    uint8_t *pBits = nullptr;  // iRowBytes x iHeight, bottom row first; owned
};

// The 256 characters of one face, size and style.
struct NKRasterFont {
    int32_t iPixelSize = 0;  // the requested character height in pixels
    int32_t iDescent = 0;    // pixels below the baseline
    NKRasterGlyph aGlyphs[256];
};

// Rasterises codes 0-255 of pszFace at iPixelSize (above 0) in the style
// bits. Null when the size is not positive, no GUI application can be made
// (no display) or memory runs out. Free the answer with NKFreeRasterFont.
NKRasterFont *NKRasteriseFont(const char *pszFace, int iPixelSize, int iStyle);
// Frees the font and its bitmaps; null does nothing.
void NKFreeRasterFont(NKRasterFont *pFont);

// The screen's logical dots per inch in y; 96 without a screen.
double NKGetLogicalDpiY(void);
