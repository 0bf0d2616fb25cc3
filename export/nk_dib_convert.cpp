// export/nk_dib_convert.cpp -- packed device-independent bitmaps into RGB
// images (NKDibToImageRecord) and the expansion of palette and run-length
// bitmaps to 24 bits (NKConvertDib). Every header field, table and run is
// checked against the block before it is used.
#include <cstring>
#include <vector>

#include "core/nk_memory.h"
#include "export/nk_bmp_files.h"

namespace {

uint32_t Get32(const uint8_t *p) { return p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24; }
void Put32(uint8_t *p, uint32_t v)
{
    for (int i = 0; i < 4; i++) p[i] = (uint8_t)(v >> (8 * i));
}

// A block's header, checked: sizes, bit count, colour table and where the
// rows start.
struct Dib {
    uint32_t uHeader = 0, uCompression = 0;
    int64_t iWidth = 0, iHeight = 0, iEntries = 0, iPixels = 0;
    int iBits = 0;
};

bool ParseDib(const uint8_t *p, size_t n, Dib *d)
{
    if (p == nullptr || n < 40) return false;
    d->uHeader = Get32(p);
    if ((d->uHeader != 40 && d->uHeader != 108) || n < d->uHeader) return false;
    d->iWidth = (int32_t)Get32(p + 4);
    d->iHeight = (int32_t)Get32(p + 8);
    d->iBits = p[14] | p[15] << 8;
    d->uCompression = Get32(p + 16);
    const uint32_t uColors = Get32(p + 32);
    if (d->iWidth < 1 || d->iHeight < 1 || d->iWidth > 65535 || d->iHeight > 65535 || uColors > 256)
        return false;
    if (d->iBits != 1 && d->iBits != 4 && d->iBits != 8 && d->iBits != 16 && d->iBits != 24 &&
        d->iBits != 32)
        return false;
    d->iEntries = uColors;
    if (uColors == 0 && d->iBits <= 8) d->iEntries = (int64_t)1 << d->iBits;
    if (uColors == 0 && d->uHeader == 40 && d->uCompression == 3) d->iEntries = 3;
    d->iPixels = d->uHeader + 4 * d->iEntries;
    return d->iPixels <= (int64_t)n;
}

int64_t RowBytes(int64_t iBits, int64_t iWidth) { return (iBits * iWidth + 31) / 32 * 4; }

// Expands RLE8 (bRle4 false) or RLE4 runs into one index a pixel, rows
// bottom-up; false for a run that passes the data or the picture.
bool DecodeRle(const uint8_t *p, int64_t n, bool bRle4, int64_t w, int64_t h, uint8_t *pIdx)
{
    int64_t x = 0, y = 0, i = 0;
    auto put = [&](uint8_t v) {
        if (x >= w || y >= h) return false;
        pIdx[y * w + x++] = v;
        return true;
    };
    while (i + 1 < n) {
        const int c = p[i], v = p[i + 1];
        i += 2;
        if (c > 0) {
            for (int k = 0; k < c; k++)
                if (!put(bRle4 ? (uint8_t)(k % 2 == 0 ? v >> 4 : v & 15) : (uint8_t)v))
                    return false;
        } else if (v == 0) {
            x = 0;
            y++;
        } else if (v == 1) {
            return true;
        } else if (v == 2) {
            if (i + 1 >= n) return false;
            x += p[i];
            y += p[i + 1];
            i += 2;
        } else {
            const int64_t nData = bRle4 ? (v + 1) / 2 : v;
            if (i + nData > n) return false;
            for (int k = 0; k < v; k++) {
                const uint8_t b = bRle4 ? p[i + k / 2] : p[i + k];
                if (!put(bRle4 ? (uint8_t)(k % 2 == 0 ? b >> 4 : b & 15) : b)) return false;
            }
            i += (nData + 1) / 2 * 2;
        }
    }
    return true;  // data ended without the end mark: the rest stays index 0
}

// The palette indices of an uncompressed 1-, 4- or 8-bit block.
bool ReadIndices(const uint8_t *p, size_t n, const Dib &d, uint8_t *pIdx)
{
    const int64_t iRow = RowBytes(d.iBits, d.iWidth);
    if (d.iPixels + iRow * d.iHeight > (int64_t)n) return false;
    for (int64_t y = 0; y < d.iHeight; y++) {
        const uint8_t *r = p + d.iPixels + y * iRow;
        for (int64_t x = 0; x < d.iWidth; x++) {
            const int64_t bit = x * d.iBits;
            const int shift = 8 - d.iBits - (int)(bit % 8);
            pIdx[y * d.iWidth + x] = (uint8_t)((r[bit / 8] >> shift) & ((1 << d.iBits) - 1));
        }
    }
    return true;
}

}  // namespace

uint8_t *NKConvertDib(const uint8_t *pDib, size_t nBytes, int iWidth, int iHeight, int iBitCount,
                      bool bStretch, const uint8_t *pPalette, size_t *pnBytes)
{
    Dib d;
    if (!ParseDib(pDib, nBytes, &d) || iBitCount != 24 || bStretch || iWidth != d.iWidth ||
        iHeight != d.iHeight || d.iBits > 8)
        return nullptr;
    const bool bRle = d.uCompression == 1 || d.uCompression == 2;
    if (!(d.uCompression == 0 || (d.uCompression == 1 && d.iBits == 8) ||
          (d.uCompression == 2 && d.iBits == 4)))
        return nullptr;
    std::vector<uint8_t> idx((size_t)(d.iWidth * d.iHeight), 0);
    const bool bOk = bRle ? DecodeRle(pDib + d.iPixels, (int64_t)nBytes - d.iPixels,
                                      d.uCompression == 2, d.iWidth, d.iHeight, idx.data())
                          : ReadIndices(pDib, nBytes, d, idx.data());
    if (!bOk) return nullptr;
    uint8_t aucTable[256 * 4] = {0};
    if (pPalette != nullptr)
        std::memcpy(aucTable, pPalette, sizeof(aucTable));
    else
        std::memcpy(aucTable, pDib + d.uHeader, (size_t)(4 * d.iEntries));
    const int64_t iStride = RowBytes(24, d.iWidth);
    const size_t nOut = 40 + sizeof(aucTable) + (size_t)(iStride * d.iHeight);
    uint8_t *pOut = static_cast<uint8_t *>(NKCalloc(1, nOut));
    if (pOut == nullptr) return nullptr;
    Put32(pOut, 40);
    Put32(pOut + 4, (uint32_t)iWidth);
    Put32(pOut + 8, (uint32_t)iHeight);
    pOut[12] = 1;
    pOut[14] = 24;
    Put32(pOut + 20, (uint32_t)(iStride * d.iHeight));
    Put32(pOut + 32, 256);
    std::memcpy(pOut + 40, aucTable, sizeof(aucTable));
    uint8_t *pRows = pOut + 40 + sizeof(aucTable);
    for (int64_t y = 0; y < d.iHeight; y++)
        for (int64_t x = 0; x < d.iWidth; x++)
            std::memcpy(pRows + y * iStride + 3 * x, aucTable + 4 * idx[(size_t)(y * d.iWidth + x)],
                        3);
    if (pnBytes != nullptr) *pnBytes = nOut;
    return pOut;
}

namespace {

// The channel masks of a 16- or 32-bit block, and the shifts that bring
// each to its low bits.
void Masks(const uint8_t *pDib, const Dib &d, uint32_t *puMask)
{
    const bool bFields = d.uCompression == 3;
    const uint8_t *pFields = pDib + 40;  // after a 40-byte header, or inside a 108-byte one
    if (d.iBits == 16) {
        const bool b565 = bFields && Get32(pFields + 4) != 0x3E0;
        puMask[0] = b565 ? 0xF800 : 0x7C00;
        puMask[1] = b565 ? 0x7E0 : 0x3E0;
        puMask[2] = 0x1F;
    } else {
        const bool bSwap = bFields && d.iBits == 32 && (Get32(pFields) & 0xFF) != 0;
        puMask[0] = bSwap ? 0xFF : 0xFF0000;
        puMask[1] = 0xFF00;
        puMask[2] = bSwap ? 0xFF0000 : 0xFF;
    }
}

uint8_t Channel(uint32_t uPixel, uint32_t uMask)
{
    int iShift = 0;
    while (((uMask >> iShift) & 1) == 0) iShift++;
    uint32_t v = (uPixel & uMask) >> iShift;
    const uint32_t uMax = uMask >> iShift;
    if (uMax == 31) return (uint8_t)(v * 8 + v / 4);
    if (uMax == 63) return (uint8_t)(v * 4 + v / 16);
    return (uint8_t)v;
}

}  // namespace

bool NKDibToImageRecord(const uint8_t *pDib, size_t nBytes, ImageRecord *pImage)
{
    Dib d;
    if (pImage == nullptr || !ParseDib(pDib, nBytes, &d)) return false;
    if (!((d.uCompression == 0 || d.uCompression == 3) && d.iBits >= 16)) {
        size_t nConverted = 0;
        uint8_t *pConverted = NKConvertDib(pDib, nBytes, (int)d.iWidth, (int)d.iHeight, 24, false,
                                           nullptr, &nConverted);
        if (pConverted == nullptr) return false;
        bool bDone = NKDibToImageRecord(pConverted, nConverted, pImage);
        NKFree(pConverted);
        return bDone;
    }
    if (d.uCompression == 3 && d.uHeader == 40 && d.iEntries < 3) return false;
    const int64_t iRow = RowBytes(d.iBits, d.iWidth);
    if (d.iPixels + iRow * d.iHeight > (int64_t)nBytes) return false;
    uint32_t auMask[3];
    Masks(pDib, d, auMask);
    uint8_t *pPixels = static_cast<uint8_t *>(NKAlloc((size_t)(d.iWidth * d.iHeight * 3)));
    if (pPixels == nullptr) return false;
    const int iPixelBytes = d.iBits / 8;
    for (int64_t y = 0; y < d.iHeight; y++) {
        const uint8_t *r = pDib + d.iPixels + y * iRow;
        uint8_t *o = pPixels + y * d.iWidth * 3;
        for (int64_t x = 0; x < d.iWidth; x++, r += iPixelBytes, o += 3) {
            uint32_t u = r[0] | r[1] << 8;
            if (iPixelBytes >= 3) u |= (uint32_t)r[2] << 16;
            if (iPixelBytes == 4) u |= (uint32_t)r[3] << 24;
            for (int c = 0; c < 3; c++) o[c] = Channel(u, auMask[c]);
        }
    }
    NKFree(pImage->pPixels);
    pImage->pPixels = pPixels;
    pImage->iWidth = (int32_t)d.iWidth;
    pImage->iHeight = (int32_t)d.iHeight;
    return true;
}
