// platform/nk_font_raster.cpp -- glyph bitmaps drawn by Qt (see
// nk_font_raster.h). Each character is painted alone, antialiasing off,
// into a grey image, cut to its lit pixels, thresholded to one bit and
// packed bottom-up.
#include "platform/nk_font_raster.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTransform>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/nk_gl_context.h"

namespace {

// Unicode of Windows-1252 codes 0x80-0x9F; 0 where the code page has none.
const char16_t kCp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                  0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char16_t CodeToUnicode(int c)
{
    if (c >= 0x80 && c < 0xA0) return kCp1252High[c - 0x80];
    return static_cast<char16_t>(c);
}

// The family to ask Qt for: Arial is Liberation Sans here, and DejaVu Sans
// stands in for a face that is not installed.
QString FamilyFor(const char *pszFace)
{
    QString face = QString::fromLatin1(pszFace != nullptr ? pszFace : "");
    if (face.compare(QLatin1String("arial"), Qt::CaseInsensitive) == 0)
        face = QStringLiteral("Liberation Sans");
    if (face.isEmpty() || !QFontDatabase::hasFamily(face)) face = QStringLiteral("DejaVu Sans");
    return face;
}

QFont MakeFont(const char *pszFace, int iPixelSize, int iStyle)
{
    QFont font(FamilyFor(pszFace));
    font.setPixelSize(iPixelSize);
    font.setWeight((iStyle & NK_RASTER_BOLD) ? QFont::Bold : QFont::Normal);
    font.setItalic((iStyle & NK_RASTER_ITALIC) != 0);
    font.setUnderline((iStyle & NK_RASTER_UNDERLINE) != 0);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setKerning(false);
    return font;
}

// Packs the lit pixels of img (top row first) into g's bottom-up bitmap.
bool PackBits(const QImage &img, NKRasterGlyph *g)
{
    g->iWidth = img.width();
    g->iHeight = img.height();
    g->iRowBytes = ((g->iWidth + 31) / 32) * 4;
    const size_t uBytes = static_cast<size_t>(g->iRowBytes) * static_cast<size_t>(g->iHeight);
    if (uBytes == 0) return true;
    g->pBits = static_cast<uint8_t *>(std::calloc(uBytes, 1));
    if (g->pBits == nullptr) return false;
    for (int y = 0; y < g->iHeight; y++) {
        const uchar *pRow = img.constScanLine(g->iHeight - 1 - y);
        uint8_t *pOut = g->pBits + static_cast<size_t>(y) * g->iRowBytes;
        for (int x = 0; x < g->iWidth; x++)
            if (pRow[x] >= 128) pOut[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
    }
    return true;
}

// A glyph without pixels (the blank, control codes) is one unlit pixel: a
// bitmap of no size and no data is taken by some GL implementations as an
// empty display list, which loses the glyph's advance (and Mesa raises
// GL_OUT_OF_MEMORY compiling it).
bool PackBlank(NKRasterGlyph *g)
{
    g->iWidth = 1;
    g->iHeight = 1;
    g->iRowBytes = 4;
    g->fOriginX = 0.0f;
    g->fOriginY = 0.0f;
    g->pBits = static_cast<uint8_t *>(std::calloc(4, 1));
    return g->pBits != nullptr;
}

// The lit columns and rows of a painted glyph; an empty rectangle when
// nothing is lit.
QRect InkBox(const QImage &img)
{
    int x0 = img.width(), x1 = -1, y0 = img.height(), y1 = -1;
    for (int y = 0; y < img.height(); y++) {
        const uchar *pRow = img.constScanLine(y);
        for (int x = 0; x < img.width(); x++)
            if (pRow[x] >= 128) {
                x0 = std::min(x0, x), x1 = std::max(x1, x);
                y0 = std::min(y0, y), y1 = std::max(y1, y);
            }
    }
    return x1 < 0 ? QRect() : QRect(QPoint(x0, y0), QPoint(x1, y1));
}

// Paints one character upright and fills g. The glyph's box and its
// advance both come from the pixels painted: at small sizes the one-bit
// glyphs are narrower or wider than the font's advance says (an "M" of 6
// lit columns in 9, a "0" that fills its 6), so the advance is the lit
// columns with their side bearings kept between 0 (1 on the right) and a
// size-dependent most. Two neighbours then never touch and never stand
// as far apart as a blank.
bool RasteriseGlyph(const QFont &font, const QFontMetrics &fm, int c, bool bTurned,
                    NKRasterGlyph *g)
{
    const char16_t u = CodeToUnicode(c);
    const QChar ch(u);
    const int iAdvance = (u == 0 || c < 32) ? 0 : fm.horizontalAdvance(ch);
    // A canvas that holds the glyph with its overhangs, the pen at (px, 2px).
    const int px = font.pixelSize();
    QImage img(iAdvance + 3 * px, 3 * px, QImage::Format_Grayscale8);
    img.fill(0);
    if (iAdvance > 0) {
        QPainter painter(&img);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QPoint(px, 2 * px), QString(ch));
    }
    const QRect ink = InkBox(img);
    if (ink.isEmpty()) {
        g->fAdvanceX = bTurned ? 0.0f : static_cast<float>(iAdvance);
        g->fAdvanceY = bTurned ? static_cast<float>(iAdvance) : 0.0f;
        return PackBlank(g);
    }
    const int iMostBearing = std::max(1, px / 8);
    const int iLeft = std::min(ink.left() - px, iMostBearing);
    const int iRight = std::clamp(iAdvance - (ink.right() - px) - 1, 1, iMostBearing);
    const int iFitted = iLeft + ink.width() + iRight;
    img = img.copy(ink);
    float fOriginX = static_cast<float>(-iLeft);
    // Canvas row 2px - 1 is the first above the baseline, GL's row 0 of the
    // pen.
    float fOriginY = static_cast<float>(ink.bottom() + 1 - 2 * px);
    if (bTurned) {
        // A counter-clockwise turn takes (x, y) to (-y, x): the box's
        // height becomes its width and the origins follow.
        img = img.transformed(QTransform().rotate(-90));
        const float fOldX = fOriginX;
        fOriginX = static_cast<float>(ink.height()) - fOriginY - 1.0f;
        fOriginY = fOldX;
        g->fAdvanceY = static_cast<float>(iFitted);
    } else {
        g->fAdvanceX = static_cast<float>(iFitted);
    }
    g->fOriginX = fOriginX;
    g->fOriginY = fOriginY;
    return PackBits(img, g);
}

}  // namespace

NKRasterFont *NKRasteriseFont(const char *pszFace, int iPixelSize, int iStyle)
{
    if (iPixelSize <= 0 || !NKEnsureGuiApplication()) return nullptr;
    NKRasterFont *pFont = new (std::nothrow) NKRasterFont();
    if (pFont == nullptr) return nullptr;
    const QFont font = MakeFont(pszFace, iPixelSize, iStyle);
    const QFontMetrics fm(font);
    pFont->iPixelSize = iPixelSize;
    pFont->iDescent = fm.descent();
    const bool bTurned = (iStyle & NK_RASTER_TURNED) != 0;
    for (int c = 0; c < 256; c++) {
        if (!RasteriseGlyph(font, fm, c, bTurned, &pFont->aGlyphs[c])) {
            NKFreeRasterFont(pFont);
            return nullptr;
        }
    }
    return pFont;
}

void NKFreeRasterFont(NKRasterFont *pFont)
{
    if (pFont == nullptr) return;
    for (NKRasterGlyph &g : pFont->aGlyphs) std::free(g.pBits);
    delete pFont;
}

double NKGetLogicalDpiY(void)
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()) == nullptr) return 96.0;
    const QScreen *pScreen = QGuiApplication::primaryScreen();
    return pScreen != nullptr ? pScreen->logicalDotsPerInchY() : 96.0;
}
