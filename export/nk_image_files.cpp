// export/nk_image_files.cpp -- the SGI RGB, PPM and TIFF writers and the
// SGI RGB reader.
#include "export/nk_image_files.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/nk_file_read.h"
#include "core/nk_memory.h"
#include "core/nk_output_file.h"
#include "export/nk_image.h"

namespace {

const char kProgramTitle[] = "Quolin Dulm";

bool ValidImage(const ImageRecord *pImage, const char *pszFileName)
{
    return pImage != nullptr && pszFileName != nullptr && pImage->pPixels != nullptr &&
           pImage->iWidth >= 1 && pImage->iHeight >= 1;
}

void PutBE32(uint8_t *p, uint32_t v)
{
    p[0] = (uint8_t)(v >> 24), p[1] = (uint8_t)(v >> 16), p[2] = (uint8_t)(v >> 8),
    p[3] = (uint8_t)v;
}
void PutBE16(uint8_t *p, uint16_t v) { p[0] = (uint8_t)(v >> 8), p[1] = (uint8_t)v; }
uint32_t GetBE32(const uint8_t *p)
{
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}
uint16_t GetBE16(const uint8_t *p) { return (uint16_t)(p[0] << 8 | p[1]); }

}  // namespace

int64_t CompressSgiRow(const uint8_t *pIn, int64_t n, int iStride, uint8_t *pOut, int64_t nOutSize)
{
    int64_t i = 0, o = 0;
    auto at = [&](int64_t k) { return pIn[k * iStride]; };
    while (i < n) {
        // A literal run up to the first three equal neighbours.
        const int64_t iStart = i;
        i += 2;
        while (i < n && (at(i - 2) != at(i - 1) || at(i - 1) != at(i))) i++;
        i -= 2;
        for (int64_t iCount = i - iStart, k = iStart; iCount > 0;) {
            const int64_t iTodo = iCount < 126 ? iCount : 126;
            if (o + 1 + iTodo > nOutSize) return -1;
            pOut[o++] = (uint8_t)(0x80 | iTodo);
            for (int64_t j = 0; j < iTodo; j++) pOut[o++] = at(k++);
            iCount -= iTodo;
        }
        if (i >= n) break;
        // The repeated value.
        const int64_t iRun = i;
        const uint8_t c = at(i++);
        while (i < n && at(i) == c) i++;
        for (int64_t iCount = i - iRun; iCount > 0;) {
            const int64_t iTodo = iCount < 126 ? iCount : 126;
            if (o + 2 > nOutSize) return -1;
            pOut[o++] = (uint8_t)iTodo;
            pOut[o++] = c;
            iCount -= iTodo;
        }
    }
    if (o + 1 > nOutSize) return -1;
    pOut[o++] = 0;
    return o;
}

int WriteSgiRgbFile(const ImageRecord *pImage, const char *pszFileName)
{
    if (!ValidImage(pImage, pszFileName)) return NK_IMAGE_ERROR;
    const int64_t w = pImage->iWidth, h = pImage->iHeight;
    if (w > 65535 || h > 65535) return NK_IMAGE_BAD_PARAMETER;
    std::vector<uint8_t> header(512, 0), tables;
    std::vector<uint8_t> data;
    try {
        tables.assign((size_t)(24 * h), 0);
        data.reserve((size_t)(w * h * 3 / 2 + 16));
    } catch (...) {
        return NK_IMAGE_NO_MEMORY;
    }
    uint8_t *p = header.data();
    PutBE16(p, 474);
    p[2] = 1, p[3] = 1;
    PutBE16(p + 4, 3), PutBE16(p + 6, (uint16_t)w), PutBE16(p + 8, (uint16_t)h), PutBE16(p + 10, 3);
    PutBE32(p + 16, 255);
    snprintf(reinterpret_cast<char *>(p + 24), 80, "Imagedump from %s, Brovik ASA", kProgramTitle);
    std::vector<uint8_t> row((size_t)(2 * w + 10));
    int64_t iOffset = 512 + 24 * h;
    for (int64_t y = 0; y < h; y++)
        for (int c = 0; c < 3; c++) {
            int64_t n = CompressSgiRow(pImage->pPixels + y * w * 3 + c, w, 3, row.data(),
                                       (int64_t)row.size());
            if (n < 0) return NK_IMAGE_RLE_BUFFER;
            PutBE32(&tables[(size_t)(4 * (c * h + y))], (uint32_t)iOffset);
            PutBE32(&tables[(size_t)(12 * h + 4 * (c * h + y))], (uint32_t)n);
            data.insert(data.end(), row.begin(), row.begin() + n);
            iOffset += n;
        }
    NKOutputFile out;
    if (!out.Open(pszFileName)) return NK_IMAGE_OPEN_ERROR;
    out.WriteRaw(header.data(), header.size());
    out.WriteRaw(tables.data(), tables.size());
    out.WriteRaw(data.data(), data.size());
    return out.Commit() ? NK_IMAGE_OK : NK_IMAGE_WRITE_ERROR;
}

int WritePpmFile(const ImageRecord *pImage, const char *pszFileName)
{
    if (!ValidImage(pImage, pszFileName)) return NK_IMAGE_ERROR;
    NKOutputFile out;
    if (!out.Open(pszFileName)) return NK_IMAGE_OPEN_ERROR;
    out.Printf("P6\n# Image dump from %s\n%d %d\n%d\n", kProgramTitle, pImage->iWidth,
               pImage->iHeight, 255);
    const size_t nRow = (size_t)pImage->iWidth * 3;
    for (int64_t y = pImage->iHeight - 1; y >= 0; y--)
        out.WriteRaw(pImage->pPixels + (size_t)y * nRow, nRow);
    return out.Commit() ? NK_IMAGE_OK : NK_IMAGE_WRITE_ERROR;
}

namespace {

// One directory entry: tag, type, count and a value or offset.
void TiffEntry(NKOutputFile *pOut, int iTag, int iType, uint32_t uCount, uint32_t uValue)
{
    pOut->WriteInt16((int16_t)iTag);
    pOut->WriteInt16((int16_t)iType);
    pOut->WriteInt32((int32_t)uCount);
    if (iType == 3 && uCount == 1) {
        pOut->WriteInt16((int16_t)uValue);
        pOut->WriteInt16(0);
    } else {
        pOut->WriteInt32((int32_t)uValue);
    }
}

}  // namespace

int WriteTiffFile(const ImageRecord *pImage, const char *pszFileName)
{
    if (!ValidImage(pImage, pszFileName)) return NK_IMAGE_ERROR;
    const int64_t iRow = (int64_t)pImage->iWidth * 3, iTotal = iRow * pImage->iHeight;
    if (iTotal > 0xFFFF0000LL) return NK_IMAGE_BAD_PARAMETER;
    const int64_t iRowsPerStrip = 8192 / iRow > 1 ? 8192 / iRow : 1;
    const int64_t iStripSize = iRowsPerStrip * iRow;
    const int64_t iStrips = (iTotal + iStripSize - 1) / iStripSize;
    NKOutputFile out;
    if (!out.Open(pszFileName)) return NK_IMAGE_OPEN_ERROR;
    const uint32_t uDir = (uint32_t)((8 + iTotal + 1) / 2 * 2);
    out.WriteRaw("II", 2);
    out.WriteInt16(42);
    out.WriteInt32((int32_t)uDir);
    for (int64_t y = pImage->iHeight - 1; y >= 0; y--)
        out.WriteRaw(pImage->pPixels + y * iRow, (size_t)iRow);
    if ((8 + iTotal) % 2 != 0) out.WriteRaw("", 1);
    // The values behind the directory, 150 bytes after its start.
    const uint32_t uBits = uDir + 150, uOffsets = uBits + 6;
    const uint32_t uCounts = uOffsets + 4 * (uint32_t)iStrips;
    const uint32_t uXRes = uCounts + 4 * (uint32_t)iStrips, uYRes = uXRes + 8;
    const int64_t iLast = iTotal - (iStrips - 1) * iStripSize;
    out.WriteInt16(12);
    TiffEntry(&out, 256, 4, 1, (uint32_t)pImage->iWidth);
    TiffEntry(&out, 257, 4, 1, (uint32_t)pImage->iHeight);
    TiffEntry(&out, 258, 3, 3, uBits);
    TiffEntry(&out, 259, 3, 1, 1);
    TiffEntry(&out, 262, 3, 1, 2);
    TiffEntry(&out, 273, 4, (uint32_t)iStrips, iStrips == 1 ? 8u : uOffsets);
    TiffEntry(&out, 277, 3, 1, 3);
    TiffEntry(&out, 278, 4, 1, (uint32_t)iRowsPerStrip);
    TiffEntry(&out, 279, 4, (uint32_t)iStrips, iStrips == 1 ? (uint32_t)iTotal : uCounts);
    TiffEntry(&out, 282, 5, 1, uXRes);
    TiffEntry(&out, 283, 5, 1, uYRes);
    TiffEntry(&out, 296, 3, 1, 1);
    out.WriteInt32(0);
    for (int i = 0; i < 3; i++) out.WriteInt16(8);
    std::vector<int32_t> table((size_t)iStrips);
    for (int64_t s = 0; s < iStrips; s++) table[(size_t)s] = (int32_t)(8 + s * iStripSize);
    out.WriteInt32Array(table.data(), table.size());
    for (int64_t s = 0; s < iStrips; s++)
        table[(size_t)s] = (int32_t)(s + 1 < iStrips ? iStripSize : iLast);
    out.WriteInt32Array(table.data(), table.size());
    const int32_t aiRes[4] = {pImage->iWidth, 1, pImage->iHeight, 1};
    out.WriteInt32Array(aiRes, 4);
    return out.Commit() ? NK_IMAGE_OK : NK_IMAGE_WRITE_ERROR;
}

namespace {

// Expands one run-length row of nIn bytes into x values; false when a run
// passes the input or the row.
bool ExpandSgiRow(const uint8_t *pIn, int64_t nIn, uint8_t *pOut, int64_t x)
{
    int64_t i = 0, o = 0;
    while (i < nIn) {
        const int c = pIn[i++];
        const int iCount = c & 0x7F;
        if (iCount == 0) return true;
        if (o + iCount > x) return false;
        if (c & 0x80) {
            if (i + iCount > nIn) return false;
            std::memcpy(pOut + o, pIn + i, (size_t)iCount);
            i += iCount;
        } else {
            if (i >= nIn) return false;
            std::memset(pOut + o, pIn[i++], (size_t)iCount);
        }
        o += iCount;
    }
    return true;
}

// The file's rows of channel c into the interleaved pixels.
int ReadSgiChannel(const std::vector<uint8_t> &file, int64_t x, int64_t y, int64_t z, int c,
                   int iTarget, uint8_t *pPixels, std::vector<uint8_t> *pRow)
{
    const uint8_t *f = file.data();
    const int64_t iSize = (int64_t)file.size();
    for (int64_t r = 0; r < y; r++) {
        const uint8_t *pSrc;
        if (f[2] == 1) {
            const int64_t iEntry = 4 * ((int64_t)c * y + r);
            const int64_t iStart = GetBE32(f + 512 + iEntry);
            const int64_t iLen = GetBE32(f + 512 + 4 * y * z + iEntry);
            std::fill(pRow->begin(), pRow->end(), 0);
            if (iStart + iLen > iSize || !ExpandSgiRow(f + iStart, iLen, pRow->data(), x))
                return NK_IMAGE_READ_ERROR;
            pSrc = pRow->data();
        } else {
            pSrc = f + 512 + ((int64_t)c * y + r) * x;
        }
        for (int64_t i = 0; i < x; i++) pPixels[(r * x + i) * 3 + iTarget] = pSrc[i];
    }
    return NK_IMAGE_OK;
}

bool ReadWholeFile(const char *pszFileName, std::vector<uint8_t> *pData)
{
    std::string bytes;
    if (pszFileName == nullptr || !NKReadWholeFile(pszFileName, &bytes)) return false;
    pData->assign(bytes.begin(), bytes.end());
    return true;
}

}  // namespace

int NKReadSgiRgbFile(const char *pszFileName, ImageRecord *pImage)
{
    std::vector<uint8_t> file;
    if (pImage == nullptr || !ReadWholeFile(pszFileName, &file)) return NK_IMAGE_OPEN_ERROR;
    const int64_t iSize = (int64_t)file.size();
    if (iSize < 12) return NK_IMAGE_READ_ERROR;
    const uint8_t *f = file.data();
    if (GetBE16(f) != 474) return NK_IMAGE_NOT_SGI;
    const int iDim = GetBE16(f + 4);
    int64_t x = GetBE16(f + 6), y = iDim >= 2 ? GetBE16(f + 8) : 1,
            z = iDim >= 3 ? GetBE16(f + 10) : 1;
    if (f[3] != 1 || (z != 1 && z != 3 && z != 4)) return NK_IMAGE_BAD_BITS;
    if (f[2] > 1 || x < 1 || y < 1 || iSize < 512) return NK_IMAGE_READ_ERROR;
    if (f[2] == 1 ? 512 + 8 * y * z > iSize : 512 + x * y * z > iSize) return NK_IMAGE_READ_ERROR;
    uint8_t *pPixels = static_cast<uint8_t *>(NKAlloc((size_t)(x * y * 3)));
    if (pPixels == nullptr) return NK_IMAGE_NO_MEMORY;
    std::vector<uint8_t> row((size_t)x);
    int iStatus = NK_IMAGE_OK;
    for (int c = 0; c < 3 && iStatus == NK_IMAGE_OK; c++)
        iStatus = ReadSgiChannel(file, x, y, z, z == 1 ? 0 : c, c, pPixels, &row);
    if (iStatus != NK_IMAGE_OK) {
        NKFree(pPixels);
        return iStatus;
    }
    NKFree(pImage->pPixels);
    pImage->pPixels = pPixels;
    pImage->iWidth = (int32_t)x;
    pImage->iHeight = (int32_t)y;
    return NK_IMAGE_OK;
}

int NKReadSgiImage(const char *pszFileName, ImageRecord *pImage)
{
    return NKReadSgiRgbFile(pszFileName, pImage);
}
