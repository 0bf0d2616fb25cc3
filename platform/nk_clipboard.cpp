// platform/nk_clipboard.cpp -- the clipboard's picture over QClipboard, or
// over a store of our own while no GUI application exists.
#include "platform/nk_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>

#include <cstring>

namespace {

std::vector<uint8_t> sg_Store;  // the picture while there is no GUI application

uint32_t Get32(const uint8_t *p) { return p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24; }
void Put32(uint8_t *p, uint32_t v)
{
    for (int i = 0; i < 4; i++) p[i] = (uint8_t)(v >> (8 * i));
}
size_t Stride(int64_t w) { return (size_t)((w * 3 + 3) / 4 * 4); }

bool HasGui(void)
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr;
}

}  // namespace

bool NKSetClipboardDib(const uint8_t *pDib, size_t nBytes)
{
    if (pDib == nullptr || nBytes < 40 || Get32(pDib) != 40) return false;
    const int64_t w = (int32_t)Get32(pDib + 4), h = (int32_t)Get32(pDib + 8);
    if (w < 1 || h < 1 || (pDib[14] | pDib[15] << 8) != 24 || Get32(pDib + 16) != 0 ||
        Get32(pDib + 32) != 0 || 40 + Stride(w) * (size_t)h > nBytes)
        return false;
    if (!HasGui()) {
        sg_Store.assign(pDib, pDib + 40 + Stride(w) * (size_t)h);
        return true;
    }
    QImage image((int)w, (int)h, QImage::Format_RGB888);
    for (int64_t y = 0; y < h; y++) {
        const uint8_t *s = pDib + 40 + (size_t)(h - 1 - y) * Stride(w);
        uint8_t *d = image.scanLine((int)y);
        for (int64_t x = 0; x < w; x++) {
            d[3 * x] = s[3 * x + 2];
            d[3 * x + 1] = s[3 * x + 1];
            d[3 * x + 2] = s[3 * x];
        }
    }
    QClipboard *pClipboard = QGuiApplication::clipboard();
    pClipboard->clear();
    pClipboard->setImage(image);
    return true;
}

bool NKGetClipboardDib(std::vector<uint8_t> *pDib)
{
    if (!HasGui()) {
        *pDib = sg_Store;
        return !sg_Store.empty();
    }
    QImage image = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB888);
    if (image.isNull()) return false;
    const int w = image.width(), h = image.height();
    pDib->assign(40 + Stride(w) * (size_t)h, 0);
    uint8_t *p = pDib->data();
    Put32(p, 40);
    Put32(p + 4, (uint32_t)w);
    Put32(p + 8, (uint32_t)h);
    p[12] = 1;
    p[14] = 24;
    Put32(p + 20, (uint32_t)(Stride(w) * (size_t)h));
    for (int y = 0; y < h; y++) {
        const uint8_t *s = image.constScanLine(h - 1 - y);
        uint8_t *d = p + 40 + (size_t)y * Stride(w);
        for (int x = 0; x < w; x++) {
            d[3 * x] = s[3 * x + 2];
            d[3 * x + 1] = s[3 * x + 1];
            d[3 * x + 2] = s[3 * x];
        }
    }
    return true;
}
