// render/nk_text.h -- bitmap text in the OpenGL views: the two shared font
// list ranges of the 3-D view, NKBitmapFont objects for the labels and the
// 2-D plots, measuring and fitting text, drawing it at a raster position or
// aligned in an NKOrthoView, and the 2-D drawing area's conversions.
//
// Every font is 256 display lists, list base + c drawing character c as one
// glBitmap, called with the bytes of a text. The glyphs come from
// platform/nk_font_raster.h. Lists belong to the GL context current when
// they were made; a font remembers that context and deletes its lists only
// while it is current. The overlay text queue (nk_text_list.h) and the
// label overlay (nk_label_overlay.h) draw with what is here.
#pragma once

#include <cstdint>

#include "core/nk_ortho_view.h"

struct NKRasterFont;

// Style bits of a font request.
constexpr uint32_t NK_FONT_VERTICAL = 1u << 24;  // vertical text (2-D plots)
constexpr uint32_t NK_FONT_BOLD = 1u << 28;
constexpr uint32_t NK_FONT_ITALIC = 1u << 29;
constexpr uint32_t NK_FONT_UNDERLINE = 1u << 30;

// One font's lists and metrics; a heap record zero-filled at creation.
struct NKBitmapFont {
    void *hContext;           // handle of the context current at creation; owns the lists
    uint32_t uListBase;       // first of 256 lists
    int32_t iLineHeight;      // pixel size less the descent
    int32_t iCharWidth[256];  // advance of each character alone, pixels
    uint8_t bGlyphOutlines;   // 1: built for vertical text
};

// The shared ranges of the 3-D view (0 while not built): the small font
// (the 8-point stock font) and the large one ("arial", 13 point, bold).
extern uint32_t g_uSmallFontListBase;
extern uint32_t g_uLargeFontListBase;
// Vertical text is drawn with glyphs turned by 90 degrees (1, at start-up)
// or as a column of upright characters (0); fix rotatetext / norotatetext.
extern uint8_t g_bRotateText;

// (Re)builds the two shared ranges in the current context: deletes the old
// ranges when they belong to it, makes the large and the small font and
// leaves the list base on the small one. With no context, or when a font
// cannot be made, the range stays 0 (texts then call no lists).
void NKBuildBitmapFontLists(void);
// Deletes the two shared ranges when their context is current, and forgets
// them either way (a destroyed context took them with it).
void NKDeleteBitmapFontLists(void);
// The shared range for a text size: above 12 the large font, else the small.
uint32_t NKFontListBaseForSize(int iSize);

// The glyphs of face at a size in tenths of a point (the screen's logical
// DPI, 96 without a screen) or, when that is 0, at iPixelHeight pixels, in
// the style bits (bold, italic, underline; vertical with turned glyphs when
// the rotated-text switch is on). hContext is the current context; glyphs
// do not depend on it. Null when no font can be made.
NKRasterFont *NKCreateGdiFont(void *hContext, const char *pszFace, int iTenthsOfPoint,
                              int iPixelHeight, uint32_t uStyle);
// A new font of face at iPointSize points in the style bits, its lists in
// the current context; null (nothing left behind) on any failure.
NKBitmapFont *NKCreateBitmapFont(const char *pszFace, int iPointSize, uint32_t uStyle);
// Deletes the lists when their context is current, then frees the record.
void NKDeleteBitmapFont(NKBitmapFont *pFont);

// Extents of text along and across it in pixels: the widths' sum and the
// line height; a vertical font in a column (rotated-text switch off) gives
// characters x line height and the widest character. Both 0 for a null
// text or font.
void NKMeasureText(const char *pszText, const NKBitmapFont *pFont, int *piAlong, int *piAcross);
// Sum of the characters' widths; 0 for a null text, null widths or "".
int NKGetTextWidth(const char *pszText, const int32_t *piWidths);
// The font's line height; 0 for a null text or font.
int NKGetTextHeight(const char *pszText, const NKBitmapFont *pFont);
// How many leading characters fit in iWidth pixels; with bBreakAtBlank and
// a blank among them, a text that does not fit breaks after its last blank.
// A buffer of size 1 or more gets at most size - 1 of them and a zero. -1
// for a null text or font.
int NKFitTextToWidth(const char *pszText, const NKBitmapFont *pFont, int iWidth, char *pszBuffer,
                     int iBufferSize, bool bBreakAtBlank);

// Raster position (x, y), then one list per byte, from the font's lists or,
// without a font, from the current list base. The list base is left as it
// was found.
void NKDrawTextAt(float x, float y, const NKBitmapFont *pFont, const char *pszText);
// Text placed relative to (x, y) in pView's units: iHorizontal 0 left, 1
// centre, 2 right; iVertical 0 top, 1 centre, 2 baseline. Nothing for a
// null font or view.
void NKDrawTextAligned(float x, float y, const NKBitmapFont *pFont, const NKOrthoView *pView,
                       int iHorizontal, int iVertical, const char *pszText);

// GL viewport to the view's rectangle, identity, and a 2-D orthographic
// projection over its coordinate range (on the current matrix).
void NKSetOrthoView(const NKOrthoView *pView);
// Units per pixel on both axes; 0 on an axis whose pixel size is 0.
void NKUpdateOrthoPixelSize(NKOrthoView *pView);
// A coordinate of pFrom to the same pixel's coordinate in pTo.
float NKOrthoViewConvertX(float x, const NKOrthoView *pFrom, const NKOrthoView *pTo);
float NKOrthoViewConvertY(float y, const NKOrthoView *pFrom, const NKOrthoView *pTo);
void NKOrthoViewConvertPoint(float *px, float *py, const NKOrthoView *pFrom,
                             const NKOrthoView *pTo);

// The global text colour (three bytes, white at start-up), set by textcolor.
extern uint8_t g_uTextColor[3];
const uint8_t *NKGetTextColor(void);
