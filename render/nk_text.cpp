// render/nk_text.cpp -- fonts as display lists, measuring, fitting and
// drawing bitmap text, and the 2-D drawing area (see nk_text.h).
#include "render/nk_text.h"

#include <GL/gl.h>

#include <cmath>
#include <cstring>

#include "core/nk_memory.h"
#include "platform/nk_font_raster.h"
#include "platform/nk_gl_context.h"
#include "render/nk_gl_scope.h"

uint32_t g_uSmallFontListBase = 0;
uint32_t g_uLargeFontListBase = 0;
uint8_t g_bRotateText = 1;

namespace {

void *sg_hSharedContext = nullptr;  // the context of the shared ranges

// glBitmap copies its bitmap when the list is compiled, under the client
// pixel-store state of that moment: rows 4-byte aligned, nothing skipped.
// The caller saves the pixel store in a client attribute scope.
void SetListCompilePixelStore(void)
{
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
}

void CompileBitmap(uint32_t uList, int w, int h, float ox, float oy, float ax, float ay,
                   const uint8_t *pBits)
{
    glNewList(uList, GL_COMPILE);
    glBitmap(w, h, ox, oy, ax, ay, pBits);
    glEndList();
}

// The upright characters 0-255 as lists from uBase on.
void CompileUpright(const NKRasterFont *pRaster, uint32_t uBase)
{
    const NKClientAttribScope pixelStore(GL_CLIENT_PIXEL_STORE_BIT);
    SetListCompilePixelStore();
    for (int c = 0; c < 256; c++) {
        const NKRasterGlyph &g = pRaster->aGlyphs[c];
        CompileBitmap(uBase + c, g.iWidth, g.iHeight, g.fOriginX, g.fOriginY, g.fAdvanceX,
                      g.fAdvanceY, g.pBits);
    }
}

// Vertical text: codes below 30 stay empty. Turned glyphs run upwards to
// the right of the raster position; upright ones stand in a column going
// down, each centred 8 pixels right of it, 3 pixels apart.
void CompileVertical(const NKRasterFont *pRaster, const NKBitmapFont *pFont, bool bTurned)
{
    const NKClientAttribScope pixelStore(GL_CLIENT_PIXEL_STORE_BIT);
    SetListCompilePixelStore();
    for (int c = 0; c < 256; c++) {
        const NKRasterGlyph &g = pRaster->aGlyphs[c];
        const uint32_t uList = pFont->uListBase + c;
        if (c < 30) {
            glNewList(uList, GL_COMPILE);
            glEndList();
        } else if (c == 32) {
            // One unlit pixel: a bitmap without size or data may lose its move.
            static const uint8_t s_auUnlit[4] = {0, 0, 0, 0};
            const float fWidth = static_cast<float>(pFont->iCharWidth[32]);
            CompileBitmap(uList, 1, 1, 0.0f, 0.0f, 0.0f, bTurned ? fWidth : -fWidth - 3.0f,
                          s_auUnlit);
        } else if (bTurned) {
            CompileBitmap(uList, g.iWidth, g.iHeight, g.fOriginX - pFont->iLineHeight, g.fOriginY,
                          g.fAdvanceX, std::fabs(g.fAdvanceY), g.pBits);
        } else {
            CompileBitmap(uList, g.iWidth, g.iHeight, g.iWidth * 0.5f - 8.0f, 0.0f, 0.0f,
                          -static_cast<float>(g.iHeight) - 3.0f, g.pBits);
        }
    }
}

int PixelHeight(int iTenthsOfPoint, int iPixelHeight)
{
    if (iTenthsOfPoint == 0) return iPixelHeight;
    const double dDpi = NKGetLogicalDpiY();
    return static_cast<int>(std::fabs(dDpi * iTenthsOfPoint * (1.0 / 72.0)) * 0.1 + 0.5);
}

// Fills one shared range; 0 (no range) when the font cannot be made.
uint32_t BuildSharedRange(const char *pszFace, int iTenths, uint32_t uStyle)
{
    NKRasterFont *pRaster = NKCreateGdiFont(sg_hSharedContext, pszFace, iTenths, 0, uStyle);
    if (pRaster == nullptr) return 0;
    const uint32_t uBase = glGenLists(256);
    if (uBase != 0) CompileUpright(pRaster, uBase);
    NKFreeRasterFont(pRaster);
    return uBase;
}

}  // namespace

void NKDeleteBitmapFontLists(void)
{
    if (sg_hSharedContext != nullptr && sg_hSharedContext == NKGetCurrentGLContextHandle()) {
        if (g_uSmallFontListBase != 0) glDeleteLists(g_uSmallFontListBase, 256);
        if (g_uLargeFontListBase != 0) glDeleteLists(g_uLargeFontListBase, 256);
    }
    g_uSmallFontListBase = g_uLargeFontListBase = 0;
    sg_hSharedContext = nullptr;
}

void NKBuildBitmapFontLists(void)
{
    NKDeleteBitmapFontLists();
    void *hContext = NKGetCurrentGLContextHandle();
    sg_hSharedContext = hContext;
    if (hContext == nullptr) return;
    g_uLargeFontListBase = BuildSharedRange("arial", 130, NK_FONT_BOLD);
    // The ANSI variable-width stock font is 8-point Arial.
    g_uSmallFontListBase = BuildSharedRange("arial", 80, 0);
    glListBase(g_uSmallFontListBase);
}

uint32_t NKFontListBaseForSize(int iSize)
{
    return iSize > 12 ? g_uLargeFontListBase : g_uSmallFontListBase;
}

NKRasterFont *NKCreateGdiFont(void *, const char *pszFace, int iTenthsOfPoint, int iPixelHeight,
                              uint32_t uStyle)
{
    int iStyle = 0;
    if (uStyle & NK_FONT_BOLD) iStyle |= NK_RASTER_BOLD;
    if (uStyle & NK_FONT_ITALIC) iStyle |= NK_RASTER_ITALIC;
    if (uStyle & NK_FONT_UNDERLINE) iStyle |= NK_RASTER_UNDERLINE;
    if ((uStyle & NK_FONT_VERTICAL) && g_bRotateText) iStyle |= NK_RASTER_TURNED;
    return NKRasteriseFont(pszFace, PixelHeight(iTenthsOfPoint, iPixelHeight), iStyle);
}

NKBitmapFont *NKCreateBitmapFont(const char *pszFace, int iPointSize, uint32_t uStyle)
{
    NKBitmapFont *pFont = static_cast<NKBitmapFont *>(NKCalloc(1, sizeof(NKBitmapFont)));
    if (pFont == nullptr) return nullptr;
    pFont->hContext = NKGetCurrentGLContextHandle();
    NKRasterFont *pRaster = pFont->hContext != nullptr ? NKCreateGdiFont(pFont->hContext, pszFace,
                                                                         iPointSize * 10, 0, uStyle)
                                                       : nullptr;
    pFont->uListBase = pRaster != nullptr ? glGenLists(256) : 0;
    if (pFont->uListBase == 0) {
        NKFreeRasterFont(pRaster);
        NKFree(pFont);
        return nullptr;
    }
    pFont->iLineHeight = pRaster->iPixelSize - pRaster->iDescent;
    for (int c = 0; c < 256; c++) {
        const NKRasterGlyph &g = pRaster->aGlyphs[c];
        pFont->iCharWidth[c] =
            static_cast<int32_t>(std::fabs(g.fAdvanceX) + std::fabs(g.fAdvanceY));
    }
    if (uStyle & NK_FONT_VERTICAL) {
        CompileVertical(pRaster, pFont, g_bRotateText != 0);
        pFont->bGlyphOutlines = 1;
    } else {
        CompileUpright(pRaster, pFont->uListBase);
    }
    NKFreeRasterFont(pRaster);
    return pFont;
}

void NKDeleteBitmapFont(NKBitmapFont *pFont)
{
    if (pFont == nullptr) return;
    if (pFont->hContext != nullptr && pFont->hContext == NKGetCurrentGLContextHandle())
        glDeleteLists(pFont->uListBase, 256);
    NKFree(pFont);
}

void NKMeasureText(const char *pszText, const NKBitmapFont *pFont, int *piAlong, int *piAcross)
{
    int iAlong = 0, iAcross = 0;
    if (pszText != nullptr && pFont != nullptr) {
        if (pFont->bGlyphOutlines && !g_bRotateText) {
            const size_t n = std::strlen(pszText);
            iAlong = static_cast<int>(n) * pFont->iLineHeight;
            for (size_t i = 0; i < n; i++) {
                const int w = pFont->iCharWidth[static_cast<uint8_t>(pszText[i])];
                if (w > iAcross) iAcross = w;
            }
        } else {
            iAlong = NKGetTextWidth(pszText, pFont->iCharWidth);
            iAcross = pFont->iLineHeight;
        }
    }
    if (piAlong != nullptr) *piAlong = iAlong;
    if (piAcross != nullptr) *piAcross = iAcross;
}

int NKGetTextWidth(const char *pszText, const int32_t *piWidths)
{
    if (pszText == nullptr || piWidths == nullptr) return 0;
    int iWidth = 0;
    for (const char *p = pszText; *p != '\0'; p++) iWidth += piWidths[static_cast<uint8_t>(*p)];
    return iWidth;
}

int NKGetTextHeight(const char *pszText, const NKBitmapFont *pFont)
{
    return (pszText == nullptr || pFont == nullptr) ? 0 : pFont->iLineHeight;
}

int NKFitTextToWidth(const char *pszText, const NKBitmapFont *pFont, int iWidth, char *pszBuffer,
                     int iBufferSize, bool bBreakAtBlank)
{
    if (pszText == nullptr || pFont == nullptr) return -1;
    int iCount = 0, iLastBlank = -1, iSum = 0;
    bool bOverflow = false;
    for (; pszText[iCount] != '\0'; iCount++) {
        iSum += pFont->iCharWidth[static_cast<uint8_t>(pszText[iCount])];
        if (iSum > iWidth) {
            bOverflow = true;
            break;
        }
        if (pszText[iCount] == ' ') iLastBlank = iCount;
    }
    // Breaking a text that fits whole would only cut its tail off.
    if (bBreakAtBlank && bOverflow && iLastBlank >= 0) iCount = iLastBlank + 1;
    if (pszBuffer != nullptr && iBufferSize >= 1) {
        const int n = iCount < iBufferSize - 1 ? iCount : iBufferSize - 1;
        std::memcpy(pszBuffer, pszText, static_cast<size_t>(n));
        pszBuffer[n] = '\0';
    }
    return iCount;
}

void NKDrawTextAt(float x, float y, const NKBitmapFont *pFont, const char *pszText)
{
    if (pszText == nullptr) return;
    glPushAttrib(GL_LIST_BIT);
    glRasterPos2f(x, y);
    if (pFont != nullptr) glListBase(pFont->uListBase);
    const size_t n = std::strlen(pszText);
    if (n > 0) glCallLists(static_cast<GLsizei>(n), GL_UNSIGNED_BYTE, pszText);
    glPopAttrib();
}

// Vertical fonts are centred on the requested point: turned text runs up
// from the raster position, a column runs down from it.
static void AlignVertical(const NKBitmapFont *pFont, const NKOrthoView *pView, int iH, int iV,
                          const char *pszText, float *px, float *py)
{
    int iAlong = 0, iAcross = 0;
    NKMeasureText(pszText, pFont, &iAlong, &iAcross);
    const bool bTurned = g_bRotateText != 0;
    const float fAcross = iH == 2 ? static_cast<float>(pFont->iLineHeight) : iAcross;
    const float fShift = bTurned ? 0.0f : -8.0f;  // a column stands 8 pixels right
    if (iH == 1) *px -= (fAcross * 0.5f - fShift) * pView->fXUnitsPerPixel;
    if (iH == 2) *px -= (fAcross - fShift) * pView->fXUnitsPerPixel;
    const float fAlong = static_cast<float>(iAlong) * pView->fYUnitsPerPixel;
    if (bTurned) {
        if (iV == 0) *py -= fAlong;
        if (iV == 1) *py -= fAlong * 0.5f;
    } else if (iV == 1) {
        *py += fAlong * 0.5f;
    }
}

void NKDrawTextAligned(float x, float y, const NKBitmapFont *pFont, const NKOrthoView *pView,
                       int iHorizontal, int iVertical, const char *pszText)
{
    if (pFont == nullptr || pView == nullptr || pszText == nullptr) return;
    if (pFont->bGlyphOutlines) {
        AlignVertical(pFont, pView, iHorizontal, iVertical, pszText, &x, &y);
    } else {
        if (iHorizontal == 1 || iHorizontal == 2) {
            const float fWidth = static_cast<float>(NKGetTextWidth(pszText, pFont->iCharWidth));
            x -= (iHorizontal == 1 ? fWidth * 0.5f : fWidth) * pView->fXUnitsPerPixel;
        }
        const float fHeight = static_cast<float>(pFont->iLineHeight);
        if (iVertical == 0) y -= fHeight * pView->fYUnitsPerPixel;
        if (iVertical == 1) y -= fHeight * 0.5f * pView->fYUnitsPerPixel;
    }
    NKDrawTextAt(x, y, pFont, pszText);
}

void NKSetOrthoView(const NKOrthoView *pView)
{
    if (pView == nullptr) return;
    glViewport(pView->iX, pView->iY, pView->iWidth, pView->iHeight);
    glLoadIdentity();
    glOrtho(pView->fXMin, pView->fXMax, pView->fYMin, pView->fYMax, -1.0, 1.0);
}

void NKUpdateOrthoPixelSize(NKOrthoView *pView)
{
    if (pView == nullptr) return;
    pView->fXUnitsPerPixel = pView->iWidth != 0
                                 ? (pView->fXMax - pView->fXMin) / static_cast<float>(pView->iWidth)
                                 : 0.0f;
    pView->fYUnitsPerPixel =
        pView->iHeight != 0 ? (pView->fYMax - pView->fYMin) / static_cast<float>(pView->iHeight)
                            : 0.0f;
}

// Through the pixel: a view whose units per pixel are 0 maps every
// coordinate to its viewport's first pixel rather than dividing by 0.
static float ConvertAxis(float v, float fFromMin, float fFromUnits, int iFromOrigin, float fToMin,
                         float fToUnits, int iToOrigin)
{
    const float fPixel = (fFromUnits != 0.0f ? (v - fFromMin) / fFromUnits : 0.0f) + iFromOrigin;
    return (fPixel - static_cast<float>(iToOrigin)) * fToUnits + fToMin;
}

float NKOrthoViewConvertX(float x, const NKOrthoView *pFrom, const NKOrthoView *pTo)
{
    if (pFrom == nullptr || pTo == nullptr) return x;
    return ConvertAxis(x, pFrom->fXMin, pFrom->fXUnitsPerPixel, pFrom->iX, pTo->fXMin,
                       pTo->fXUnitsPerPixel, pTo->iX);
}

float NKOrthoViewConvertY(float y, const NKOrthoView *pFrom, const NKOrthoView *pTo)
{
    if (pFrom == nullptr || pTo == nullptr) return y;
    return ConvertAxis(y, pFrom->fYMin, pFrom->fYUnitsPerPixel, pFrom->iY, pTo->fYMin,
                       pTo->fYUnitsPerPixel, pTo->iY);
}

void NKOrthoViewConvertPoint(float *px, float *py, const NKOrthoView *pFrom, const NKOrthoView *pTo)
{
    if (px != nullptr) *px = NKOrthoViewConvertX(*px, pFrom, pTo);
    if (py != nullptr) *py = NKOrthoViewConvertY(*py, pFrom, pTo);
}

uint8_t g_uTextColor[3] = {255, 255, 255};
const uint8_t *NKGetTextColor(void) { return g_uTextColor; }
