// export/nk_bmp_files.cpp -- BMP files written from off-screen bitmaps, the
// BMP reader and the expansion of packed bitmaps into RGB images. Every
// count, offset and run read is checked against the block before it is
// used.
#include "export/nk_bmp_files.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "core/nk_diagnostic.h"
#include "core/nk_file_read.h"
#include "core/nk_memory.h"
#include "core/nk_output_file.h"
#include "export/nk_image.h"
#include "export/nk_image_files.h"
#include "export/nk_offscreen.h"
#include "render/nk_texture_images.h"

namespace {

uint32_t Get32(const uint8_t *p) { return p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24; }
uint16_t Get16(const uint8_t *p) { return (uint16_t)(p[0] | p[1] << 8); }
void Put32(uint8_t *p, uint32_t v)
{
    for (int i = 0; i < 4; i++) p[i] = (uint8_t)(v >> (8 * i));
}
void Put16(uint8_t *p, uint16_t v)
{
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
}

// The fields of an info header that the readers use.
struct DibInfo {
    uint32_t uHeaderSize;
    int64_t iWidth, iHeight;
    int iPlanes, iBitCount;
    uint32_t uCompression, uSizeImage, uColors;
};

DibInfo ReadInfo(const uint8_t *p)
{
    DibInfo d;
    d.uHeaderSize = Get32(p);
    d.iWidth = (int32_t)Get32(p + 4);
    d.iHeight = (int32_t)Get32(p + 8);
    d.iPlanes = Get16(p + 12);
    d.iBitCount = Get16(p + 14);
    d.uCompression = Get32(p + 16);
    d.uSizeImage = Get32(p + 20);
    d.uColors = Get32(p + 32);
    return d;
}

int64_t RowBytes(int64_t iBits, int64_t iWidth) { return (iBits * iWidth + 31) / 32 * 4; }

// Colour table entries of the header (bit fields count as 3 entries).
int64_t ColorEntries(const DibInfo &d)
{
    if (d.uColors != 0) return d.uColors;
    if (d.iBitCount <= 8) return (int64_t)1 << d.iBitCount;
    if (d.uCompression == 3 && (d.iBitCount == 16 || d.iBitCount == 32)) return 3;
    return 0;
}

void FillInfoHeader(uint8_t *p, int iWidth, int iHeight, int iBitCount, uint32_t uSizeImage,
                    uint32_t uColors)
{
    std::memset(p, 0, 40);
    Put32(p, 40);
    Put32(p + 4, (uint32_t)iWidth);
    Put32(p + 8, (uint32_t)iHeight);
    Put16(p + 12, 1);
    Put16(p + 14, (uint16_t)iBitCount);
    Put32(p + 20, uSizeImage);
    Put32(p + 32, uColors);
}

// Writes the 14-byte file header and the packed bitmap.
int WritePacked(const uint8_t *pDib, size_t nBytes, uint32_t uOffset, const char *pszFileName)
{
    NKOutputFile out;
    if (!out.Open(pszFileName)) return NK_IMAGE_OPEN_ERROR;
    uint8_t aucHeader[14] = {'B', 'M'};
    Put32(aucHeader + 2, (uint32_t)(14 + nBytes));
    Put32(aucHeader + 10, uOffset);
    out.WriteRaw(aucHeader, 14);
    out.WriteRaw(pDib, nBytes);
    return out.Commit() ? NK_IMAGE_OK : NK_IMAGE_WRITE_ERROR;
}

}  // namespace

NKOffscreenBitmap *NKCopyBitmapRect(const NKOffscreenBitmap *pBitmap, int x, int yTop, int w, int h)
{
    if (pBitmap == nullptr || x < 0 || x >= pBitmap->iWidth || yTop < 0 ||
        yTop >= pBitmap->iHeight || w < 1 || h < 1)
        return nullptr;
    if (w > pBitmap->iWidth - x) w = pBitmap->iWidth - x;
    if (h > pBitmap->iHeight - yTop) h = pBitmap->iHeight - yTop;
    NKOffscreenBitmap *pPart = NKCreateBitmap(w, h);
    if (pPart == nullptr) return nullptr;
    const int yBottom = pBitmap->iHeight - yTop - h;
    for (int r = 0; r < h; r++)
        std::memcpy(pPart->pBits + (int64_t)r * pPart->iStride,
                    pBitmap->pBits + (int64_t)(yBottom + r) * pBitmap->iStride + (int64_t)x * 3,
                    (size_t)w * 3);
    return pPart;
}

uint8_t *NKBitmapToPackedDIB(const NKOffscreenBitmap *pBitmap, uint32_t uCompression, int iBitCount,
                             size_t *pnBytes)
{
    if (pBitmap == nullptr || pBitmap->pBits == nullptr || uCompression != 0 ||
        (iBitCount != 0 && iBitCount != 24))
        return nullptr;
    const size_t nImage = (size_t)pBitmap->iStride * (size_t)pBitmap->iHeight;
    uint8_t *pDib = static_cast<uint8_t *>(NKAlloc(40 + nImage));
    if (pDib == nullptr) return nullptr;
    FillInfoHeader(pDib, pBitmap->iWidth, pBitmap->iHeight, 24, (uint32_t)nImage, 0);
    std::memcpy(pDib + 40, pBitmap->pBits, nImage);
    if (pnBytes != nullptr) *pnBytes = 40 + nImage;
    return pDib;
}

int NKWriteBitmapFile(const NKOffscreenBitmap *pBitmap, const char *pszFileName)
{
    size_t nBytes = 0;
    uint8_t *pDib = NKBitmapToPackedDIB(pBitmap, 0, 24, &nBytes);
    if (pDib == nullptr) return NK_IMAGE_NO_MEMORY;
    int iStatus = WritePacked(pDib, nBytes, 54, pszFileName);
    NKFree(pDib);
    return iStatus;
}

int NKWriteSceneBitmapFile(int iFrame, int iWidth, int iHeight, const char *pszFileName)
{
    int iStatus = NK_IMAGE_ERROR;
    NKOffscreenBitmap *pBitmap =
        NKRenderSceneToBitmap(iFrame, iWidth, iHeight, 24, nullptr, 3, &iStatus);
    if (pBitmap == nullptr) return iStatus;
    iStatus = NKWriteBitmapFile(pBitmap, pszFileName);
    NKDeleteBitmap(pBitmap);
    return iStatus;
}

int NKWriteSceneSelectionBitmapFile(int iFrame, int iWidth, int iHeight, const char *pszFileName,
                                    const int *piOrigin, const int *piSize)
{
    if (piOrigin == nullptr || piSize == nullptr || piOrigin[0] < 0 || piOrigin[0] >= iWidth ||
        piOrigin[1] < 0 || piOrigin[1] >= iHeight || piSize[0] < 1 || piSize[1] < 1)
        return NK_IMAGE_BAD_PARAMETER;
    int iStatus = NK_IMAGE_ERROR;
    NKOffscreenBitmap *pBitmap =
        NKRenderSceneToBitmap(iFrame, iWidth, iHeight, 24, nullptr, 3, &iStatus);
    if (pBitmap == nullptr) return iStatus;
    NKOffscreenBitmap *pPart =
        NKCopyBitmapRect(pBitmap, piOrigin[0], piOrigin[1], piSize[0], piSize[1]);
    iStatus = pPart == nullptr ? NK_IMAGE_NO_MEMORY : NKWriteBitmapFile(pPart, pszFileName);
    NKDeleteBitmap(pPart);
    NKDeleteBitmap(pBitmap);
    return iStatus;
}

int NKWritePlotBitmapFile(int iWidth, int iHeight, const char *pszFileName)
{
    int iStatus = NK_IMAGE_ERROR;
    NKOffscreenBitmap *pBitmap = NKRenderPlotToBitmap(iWidth, iHeight, 24, nullptr, &iStatus);
    if (pBitmap == nullptr) return iStatus;
    iStatus = NKWriteBitmapFile(pBitmap, pszFileName);
    NKDeleteBitmap(pBitmap);
    return iStatus;
}

namespace {

// A load's headers read and checked. The colour table
// bytes, pixel offset and image bytes go to the outputs.
int CheckBmpHeaders(FILE *pFile, int64_t iFileSize, bool bRequire24Bits, uint8_t *pInfo,
                    int64_t *piTable, int64_t *piImage, uint32_t *puOffset)
{
    uint8_t aucFile[14];
    if (fread(aucFile, 1, 14, pFile) != 14) return NK_IMAGE_READ_ERROR;
    if (aucFile[0] != 'B' || aucFile[1] != 'M' || Get16(aucFile + 6) != 0 ||
        Get16(aucFile + 8) != 0 || (int64_t)Get32(aucFile + 2) != iFileSize)
        return NK_IMAGE_NOT_BMP;
    if (fread(pInfo, 1, 40, pFile) != 40) return NK_IMAGE_READ_ERROR;
    DibInfo d = ReadInfo(pInfo);
    if (d.uHeaderSize != 40 || d.iPlanes != 1) return NK_IMAGE_NOT_BMP;
    if (bRequire24Bits && d.iBitCount != 24) return NK_IMAGE_BAD_BITS;
    const bool bRle = d.uCompression == 1 || d.uCompression == 2;
    if (d.iWidth < 1 || d.iHeight < 1 || d.iWidth > 65535 || d.iHeight > 65535 ||
        d.uCompression > 3 ||
        (d.iBitCount != 1 && d.iBitCount != 4 && d.iBitCount != 8 && d.iBitCount != 16 &&
         d.iBitCount != 24 && d.iBitCount != 32) ||
        (d.iBitCount <= 8 && d.uColors > (1u << d.iBitCount)) || d.uColors > 256 ||
        (bRle && d.iBitCount != (d.uCompression == 1 ? 8 : 4)))
        return NK_IMAGE_NOT_BMP;
    *piTable = 4 * ColorEntries(d);
    int64_t iRows = RowBytes(d.iBitCount, d.iWidth) * d.iHeight;
    if (14 + 40 + *piTable + iRows != iFileSize)
        NKDiagnostic("Some mismatch in BMP file size", "NKLoadBitmapFile");
    *piImage = bRle ? (int64_t)d.uSizeImage : iRows;
    *puOffset = Get32(aucFile + 10);
    const int64_t iStart = *puOffset != 0 ? *puOffset : 54 + *piTable;
    if (54 + *piTable > iFileSize || iStart < 54 + *piTable || iStart + *piImage > iFileSize ||
        (bRle && *piImage < 2))
        return NK_IMAGE_READ_ERROR;
    return NK_IMAGE_OK;
}

}  // namespace

int NKLoadBitmapFile(const char *pszFileName, uint8_t **ppBlock, size_t *pnBytes,
                     bool bRequire24Bits)
{
    if (ppBlock == nullptr) return NK_IMAGE_ERROR;
    *ppBlock = nullptr;
    FILE *pFile = pszFileName != nullptr ? NKOpenRegularFile(pszFileName) : nullptr;
    struct stat st;
    if (pFile == nullptr || fstat(fileno(pFile), &st) != 0) {
        if (pFile != nullptr) fclose(pFile);
        return NK_IMAGE_OPEN_ERROR;
    }
    uint8_t aucInfo[40];
    int64_t iTable = 0, iImage = 0;
    uint32_t uOffset = 0;
    int iStatus = CheckBmpHeaders(pFile, (int64_t)st.st_size, bRequire24Bits, aucInfo, &iTable,
                                  &iImage, &uOffset);
    uint8_t *pBlock = nullptr;
    const size_t nBytes = (size_t)(40 + iTable + iImage);
    if (iStatus == NK_IMAGE_OK) {
        pBlock = static_cast<uint8_t *>(NKAlloc(nBytes));
        if (pBlock == nullptr) iStatus = NK_IMAGE_NO_MEMORY;
    }
    if (iStatus == NK_IMAGE_OK) {
        std::memcpy(pBlock, aucInfo, 40);
        if (fread(pBlock + 40, 1, (size_t)iTable, pFile) != (size_t)iTable ||
            (uOffset != 0 && fseek(pFile, uOffset, SEEK_SET) != 0) ||
            fread(pBlock + 40 + iTable, 1, (size_t)iImage, pFile) != (size_t)iImage)
            iStatus = NK_IMAGE_READ_ERROR;
    }
    fclose(pFile);
    if (iStatus != NK_IMAGE_OK) {
        NKFree(pBlock);
        return iStatus;
    }
    *ppBlock = pBlock;
    if (pnBytes != nullptr) *pnBytes = nBytes;
    return NK_IMAGE_OK;
}

namespace {

// A BMP file into the record: the loader's status, or -20 when the bitmap
// it read does not convert.
int ReadBmpTexture(const char *pszFile, ImageRecord *pImage)
{
    uint8_t *pBlock = nullptr;
    size_t nBytes = 0;
    int iStatus = NKLoadBitmapFile(pszFile, &pBlock, &nBytes, false);
    if (iStatus != 1) return iStatus;
    bool bDone = NKDibToImageRecord(pBlock, nBytes, pImage);
    NKFree(pBlock);
    return bDone ? 1 : -20;
}

}  // namespace

void NKInstallTextureFileReaders(void)
{
    NKTextureFileReaders readers;
    readers.pfnReadBmp = ReadBmpTexture;
    readers.pfnReadSgi = NKReadSgiImage;
    readers.pfnDibToImage = NKDibToImageRecord;
    NKSetTextureFileReaders(readers);
}
