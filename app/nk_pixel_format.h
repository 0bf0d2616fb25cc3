// app/nk_pixel_format.h -- the choice of the 3-D view's pixel format and
// the pixel-format report "pixel.txt".
//
// The formats are the display's (platform/nk_pixel_formats.h), numbered
// from 1. The shell's own search prefers a hardware format with the asked
// depth and colour bits and falls back to the display's choice; "-software"
// asks for a generic one, and "-pixelformat" or the pixel-format dialog
// name a number. The searches also work on a list given to them, so that
// tests can check the rules on formats of their own. Device contexts and
// OpenGL contexts are in app/nk_render_context.h.
#pragma once

#include <cstdint>

struct NKDeviceContext;
struct NKPixelFormatDescriptor;

// Pixel-format request values besides a 1-based format number.
enum { NK_PIXELFORMAT_AUTO = -1, NK_PIXELFORMAT_SOFTWARE = -10, NK_PIXELFORMAT_ASK = -20 };

// The pixel-format request (-1 at start, a number from "-pixelformat"); once
// the view's context exists it holds the format in use.
extern int g_iPixelFormatRequest;
// The depth bits asked for ("-depth"; 32 at start). Colour bits are 24.
extern int g_iDepthBitsRequest;
constexpr int NK_COLOR_BITS_REQUEST = 24;
// The stencil bits of the view's context, -1 until it exists.
extern int g_iStencilBits;

// The shell's own search over a list: RGBA formats with draw-to-window,
// OpenGL, double buffering (unless bSingleBuffer) and stereo (when dwFlags
// asks) that are not generic; first the exact depth and colour bits, then
// the largest depth and colour thresholds from 32 down to 16 that a
// format meets, then any depth of 16 with the most colour bits. The
// 1-based number, 0 when no format fits.
int NKSearchPixelFormatList(const NKPixelFormatDescriptor *pFormats, int iCount, int iDepthBits,
                            int iColorBits, bool bSingleBuffer, uint32_t dwFlags);
// The first generic, not generic-accelerated RGBA format of the list that
// draws to a window or supports OpenGL and is double-buffered exactly when
// bSingleBuffer is false; its number, or -1.
int NKSearchSoftwarePixelFormatList(const NKPixelFormatDescriptor *pFormats, int iCount,
                                    bool bSingleBuffer);

// The display's formats as an NKAlloc'ed array the caller frees with
// NKFree; null (count 0) when there are none.
NKPixelFormatDescriptor *NKGetPixelFormats(NKDeviceContext *pDC, int *piCount);
// The own search over the display's formats, unless bPlatformOnly or a
// bitmap is asked for; then, or when it finds nothing, the display's
// choice. 0 when neither finds one (and always for dwFlags 0).
int NKFindPixelFormat(int iDepthBits, int iColorBits, bool bSingleBuffer, uint32_t dwFlags,
                      NKDeviceContext *pDC, bool bPlatformOnly);
// The depth and colour bits take no part; -1 when the display has no
// software format.
int NKChooseSoftwarePixelFormat(int iDepthBits, int iColorBits, bool bSingleBuffer,
                                NKDeviceContext *pDC);
// Logical palettes have no counterpart on the displays this runs on:
// always null.
void *NKCreatePaletteForDC(NKDeviceContext *pDC);

// Writes the report of the request and every format to pszPath, through a
// temporary file that replaces it only when everything was written. False
// when the file cannot be written.
bool NKWritePixelFormatList(const char *pszPath, int iRequest,
                            const NKPixelFormatDescriptor *pFormats, int iCount);
// The report of g_iPixelFormatRequest and the display's formats as
// "pixel.txt" in the current directory; false when it cannot be written.
bool NKWritePixelFormatReport(NKDeviceContext *pDC);
