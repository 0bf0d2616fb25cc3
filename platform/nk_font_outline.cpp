// platform/nk_font_outline.cpp -- character outlines from Qt (see
// nk_font_outline.h). The face is loaded at a large pixel size, so that
// Qt's flattening of the curves is fine enough, and scaled down to em units.
#include "platform/nk_font_outline.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainterPath>
#include <QPolygonF>
#include <QRawFont>

#include <cmath>

#include "platform/nk_gl_context.h"

namespace {

// Pixels per em at which the outlines are taken.
constexpr double kPixelSize = 128.0;

QString OutlineFamily(const char *pszFace)
{
    QString face = QString::fromLatin1(pszFace != nullptr ? pszFace : "");
    if (face.compare(QLatin1String("arial"), Qt::CaseInsensitive) == 0)
        face = QStringLiteral("Liberation Sans");
    if (face.isEmpty() || !QFontDatabase::hasFamily(face)) face = QStringLiteral("DejaVu Sans");
    return face;
}

// One flattened sub-path as an em-unit loop: y turned up, consecutive
// repeats and the closing repeat of the first point dropped.
std::vector<float> ToContour(const QPolygonF &poly)
{
    std::vector<float> contour;
    for (const QPointF &p : poly) {
        const float x = static_cast<float>(p.x() / kPixelSize);
        const float y = static_cast<float>(-p.y() / kPixelSize);
        const size_t n = contour.size();
        if (n >= 2 && std::fabs(contour[n - 2] - x) < 1e-6f &&
            std::fabs(contour[n - 1] - y) < 1e-6f)
            continue;
        contour.push_back(x);
        contour.push_back(y);
    }
    while (contour.size() >= 4 && std::fabs(contour[0] - contour[contour.size() - 2]) < 1e-6f &&
           std::fabs(contour[1] - contour[contour.size() - 1]) < 1e-6f)
        contour.resize(contour.size() - 2);
    return contour;
}

}  // namespace

bool NKGetGlyphOutline(const char *pszFace, int c, NKGlyphOutline *pOut)
{
    if (pOut == nullptr) return false;
    pOut->contours.clear();
    pOut->fAdvance = 0.0f;
    if (c <= 0 || c > 255 || !NKEnsureGuiApplication()) return false;
    QFont font(OutlineFamily(pszFace));
    font.setPixelSize(static_cast<int>(kPixelSize));
    font.setKerning(false);
    const QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid()) return false;
    const QList<quint32> indexes =
        raw.glyphIndexesForString(QString(QChar(static_cast<char16_t>(c))));
    if (indexes.size() != 1 || indexes[0] == 0) return false;
    const QList<QPointF> advances = raw.advancesForGlyphIndexes(indexes);
    if (!advances.isEmpty()) pOut->fAdvance = static_cast<float>(advances[0].x() / kPixelSize);
    const QPainterPath path = raw.pathForGlyph(indexes[0]);
    for (const QPolygonF &poly : path.toSubpathPolygons()) {
        std::vector<float> contour = ToContour(poly);
        if (contour.size() >= 6) pOut->contours.push_back(std::move(contour));
    }
    return !pOut->contours.empty();
}
