// tests/export/image_test_support.h -- pictures for the image tests (every
// byte value in each channel, noise, flat colours), the netpbm decoders
// run on written files, and the PNM reader their output is compared with.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/nk_image_record.h"
#include "core/nk_memory.h"

// An image that owns its pixels for the length of a test.
struct TestImage : ImageRecord {
    TestImage(int w, int h)
    {
        iWidth = w;
        iHeight = h;
        pPixels = static_cast<uint8_t *>(NKCalloc((size_t)w * h, 3));
    }
    ~TestImage() { NKFree(pPixels); }
    TestImage(const TestImage &) = delete;
    TestImage &operator=(const TestImage &) = delete;
    std::vector<uint8_t> Bytes() const
    {
        return std::vector<uint8_t>(pPixels, pPixels + (size_t)iWidth * iHeight * 3);
    }
};

// Pixel i (bottom row first) holds i, 3i + 1 and 5i + 7 modulo 256: every
// byte value in every channel once the picture has 256 pixels.
inline void NKTestFillEveryByte(ImageRecord *p)
{
    for (int i = 0; i < p->iWidth * p->iHeight; i++) {
        p->pPixels[3 * i] = (uint8_t)i;
        p->pPixels[3 * i + 1] = (uint8_t)(3 * i + 1);
        p->pPixels[3 * i + 2] = (uint8_t)(5 * i + 7);
    }
}

inline void NKTestFillNoise(ImageRecord *p, uint32_t uSeed)
{
    for (size_t i = 0; i < (size_t)p->iWidth * p->iHeight * 3; i++) {
        uSeed = uSeed * 1664525u + 1013904223u;
        p->pPixels[i] = (uint8_t)(uSeed >> 24);
    }
}

inline void NKTestFillFlat(ImageRecord *p, uint8_t r, uint8_t g, uint8_t b)
{
    for (int i = 0; i < p->iWidth * p->iHeight; i++) {
        p->pPixels[3 * i] = r;
        p->pPixels[3 * i + 1] = g;
        p->pPixels[3 * i + 2] = b;
    }
}

// Runs "tool args file" and reads its binary PNM output as RGB rows
// bottom-up (the ImageRecord's order); false when the tool fails or the
// output is not P6/P5 of 8 bits.
inline bool NKTestDecodeWith(const std::string &tool, const std::string &file, int *piWidth,
                             int *piHeight, std::vector<uint8_t> *pRgb)
{
    std::string command = tool + " '" + file + "' 2>/dev/null";
    FILE *pPipe = popen(command.c_str(), "r");
    if (pPipe == nullptr) return false;
    std::string data;
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof(buffer), pPipe)) > 0) data.append(buffer, n);
    if (pclose(pPipe) != 0 || data.size() < 2 || data[0] != 'P') return false;
    const bool bGrey = data[1] == '5';
    if (!bGrey && data[1] != '6') return false;
    size_t pos = 2;
    int aiValues[3] = {0, 0, 0};
    for (int k = 0; k < 3; k++) {
        while (pos < data.size() && (isspace((unsigned char)data[pos]) || data[pos] == '#')) {
            if (data[pos] == '#')
                while (pos < data.size() && data[pos] != '\n') pos++;
            else
                pos++;
        }
        aiValues[k] = atoi(data.c_str() + pos);
        while (pos < data.size() && isdigit((unsigned char)data[pos])) pos++;
    }
    pos++;
    const int w = aiValues[0], h = aiValues[1];
    const size_t nPixel = bGrey ? 1 : 3;
    if (aiValues[2] != 255 || data.size() < pos + (size_t)w * h * nPixel) return false;
    pRgb->assign((size_t)w * h * 3, 0);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            for (int c = 0; c < 3; c++)
                (*pRgb)[((size_t)(h - 1 - y) * w + x) * 3 + c] =
                    (uint8_t)data[pos + ((size_t)y * w + x) * nPixel + (bGrey ? 0 : c)];
    *piWidth = w;
    *piHeight = h;
    return true;
}
