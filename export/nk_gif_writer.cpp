// export/nk_gif_writer.cpp -- the GIF87a writer: palette, gamma and dither
// tables, the row-cached pixel source and the LZW encoder.
#include "export/nk_gif_writer.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "core/nk_output_file.h"
#include "export/nk_image.h"

namespace {

const float kGifGamma = 0.6666667f;
const int kThreshold[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// Dither entries per channel, y mod 4, x mod 4 and value, built once.
struct DitherTables {
    uint16_t au[3][4][4][256];
    DitherTables()
    {
        const int aiLevels[3] = {8, 8, 4}, aiMult[3] = {1, 8, 64};
        for (int c = 0; c < 3; c++)
            for (int y = 0; y < 4; y++)
                for (int x = 0; x < 4; x++)
                    for (int v = 0; v < 256; v++) {
                        const int n = aiLevels[c];
                        int s = v * (16 * n - 15) / 255;
                        if (s == 16 * n - 15) s = 16 * n - 16;
                        const int iLevel = s / 16 + (s % 16 > kThreshold[x][y] ? 1 : 0);
                        au[c][y][x][v] = (uint16_t)(aiMult[c] * iLevel);
                    }
    }
};

const DitherTables &Dither(void)
{
    static const DitherTables tables;
    return tables;
}

}  // namespace

void NKGifPaletteColor(int i, uint8_t *pRGB)
{
    pRGB[0] = (uint8_t)((i % 8) * 255 / 7);
    pRGB[1] = (uint8_t)(((i / 8) % 8) * 255 / 7);
    pRGB[2] = (uint8_t)((i / 64) * 255 / 3);
}

const uint8_t *NKGifGammaTable(float fGamma)
{
    static uint8_t s_aucTable[256];
    static float s_fGamma = -1.0f;
    if (fGamma != s_fGamma) {
        for (int v = 0; v < 256; v++)
            s_aucTable[v] = (uint8_t)(std::pow(v / 255.0, (double)fGamma) * 255.0 + 0.5);
        s_fGamma = fGamma;
    }
    return s_aucTable;
}

int NKGifDitherIndex(int x, int y, uint8_t r, uint8_t g, uint8_t b)
{
    const DitherTables &d = Dither();
    return d.au[0][y % 4][x % 4][r] + d.au[1][y % 4][x % 4][g] + d.au[2][y % 4][x % 4][b];
}

namespace {

// The LZW encoder's state: codes packed least significant bit first into
// sub-blocks of at most 254 bytes.
class LzwEncoder {
public:
    explicit LzwEncoder(NKOutputFile *pOut) : m_pOut(pOut) {}
    void Encode(int iWidth, int iHeight, NKGifPixelSource pfnPixel, void *pContext);

private:
    enum { kHashSize = 5003, kMaxBits = 12, kMaxMaxCode = 4096, kInitBits = 9 };
    void Output(int iCode);
    void CharOut(uint8_t c)
    {
        m_aucBlock[m_iCount++] = c;
        if (m_iCount >= 254) Flush();
    }
    void Flush()
    {
        if (m_iCount == 0) return;
        uint8_t n = (uint8_t)m_iCount;
        m_pOut->WriteRaw(&n, 1);
        m_pOut->WriteRaw(m_aucBlock, (size_t)m_iCount);
        m_iCount = 0;
    }
    void ClearHash() { std::fill(m_aiHash, m_aiHash + kHashSize, -1); }

    NKOutputFile *m_pOut;
    int32_t m_aiHash[kHashSize];
    uint16_t m_auCode[kHashSize];
    uint8_t m_aucBlock[256];
    int m_iCount = 0;
    int m_iBits = kInitBits, m_iMaxCode = (1 << kInitBits) - 1;
    int m_iFree = 258;
    bool m_bClear = false;
    uint32_t m_uAccum = 0;
    int m_iAccumBits = 0;
};

void LzwEncoder::Output(int iCode)
{
    m_uAccum &= (1u << m_iAccumBits) - 1;
    m_uAccum |= (uint32_t)iCode << m_iAccumBits;
    m_iAccumBits += m_iBits;
    while (m_iAccumBits >= 8) {
        CharOut((uint8_t)m_uAccum);
        m_uAccum >>= 8;
        m_iAccumBits -= 8;
    }
    if (m_iFree > m_iMaxCode || m_bClear) {
        if (m_bClear) {
            m_iBits = kInitBits;
            m_iMaxCode = (1 << kInitBits) - 1;
            m_bClear = false;
        } else if (++m_iBits == kMaxBits) {
            m_iMaxCode = kMaxMaxCode;
        } else {
            m_iMaxCode = (1 << m_iBits) - 1;
        }
    }
    if (iCode == 257) {
        while (m_iAccumBits > 0) {
            CharOut((uint8_t)m_uAccum);
            m_uAccum >>= 8;
            m_iAccumBits -= 8;
        }
        Flush();
    }
}

void LzwEncoder::Encode(int iWidth, int iHeight, NKGifPixelSource pfnPixel, void *pContext)
{
    const int kShift = 4;  // 5003 doubled until it reaches 65536: 4 times
    ClearHash();
    Output(256);
    int iEnt = pfnPixel(pContext, 0, 0);
    for (int y = 0; y < iHeight; y++)
        for (int x = (y == 0 ? 1 : 0); x < iWidth; x++) {
            const int c = pfnPixel(pContext, x, y);
            const int32_t iKey = (c << kMaxBits) + iEnt;
            int i = (c << kShift) ^ iEnt;
            bool bFound = m_aiHash[i] == iKey;
            if (!bFound && m_aiHash[i] >= 0) {
                const int iDisp = i == 0 ? 1 : kHashSize - i;
                do {
                    if ((i -= iDisp) < 0) i += kHashSize;
                    bFound = m_aiHash[i] == iKey;
                } while (!bFound && m_aiHash[i] > 0);
            }
            if (bFound) {
                iEnt = m_auCode[i];
                continue;
            }
            Output(iEnt);
            iEnt = c;
            if (m_iFree < kMaxMaxCode) {
                m_auCode[i] = (uint16_t)m_iFree++;
                m_aiHash[i] = iKey;
            } else {
                ClearHash();
                m_iFree = 258;
                m_bClear = true;
                Output(256);
            }
        }
    Output(iEnt);
    Output(257);
}

}  // namespace

void GifEncode(NKOutputFile *pOut, int iWidth, int iHeight, int iBackground, int iBitsPerPixel,
               const uint8_t *pRed, const uint8_t *pGreen, const uint8_t *pBlue,
               NKGifPixelSource pfnPixel, void *pContext)
{
    const int iColors = 1 << iBitsPerPixel;
    pOut->WriteRaw("GIF87a", 6);
    pOut->WriteInt16((int16_t)iWidth);
    pOut->WriteInt16((int16_t)iHeight);
    const uint8_t aucScreen[3] = {
        (uint8_t)(0x80 | ((iBitsPerPixel - 1) << 5) | (iBitsPerPixel - 1)), (uint8_t)iBackground,
        0};
    pOut->WriteRaw(aucScreen, 3);
    for (int i = 0; i < iColors; i++) {
        const uint8_t rgb[3] = {pRed[i], pGreen[i], pBlue[i]};
        pOut->WriteRaw(rgb, 3);
    }
    pOut->WriteRaw(",", 1);
    const int16_t aiDescriptor[4] = {0, 0, (int16_t)iWidth, (int16_t)iHeight};
    for (int16_t v : aiDescriptor) pOut->WriteInt16(v);
    const uint8_t aucData[2] = {0, (uint8_t)(iBitsPerPixel < 2 ? 2 : iBitsPerPixel)};
    pOut->WriteRaw(aucData, 2);
    auto *pEncoder = new LzwEncoder(pOut);
    pEncoder->Encode(iWidth, iHeight, pfnPixel, pContext);
    delete pEncoder;
    pOut->WriteRaw("", 1);
    pOut->WriteRaw(";", 1);
}

namespace {

// The row cache of GifGetPixel: the indices of one GIF row.
struct GifRowSource {
    const ImageRecord *pImage;
    const uint8_t *pGamma;
    int iRow = -1;
    std::vector<uint8_t> indices;
};

int GifGetPixel(void *pContext, int x, int y)
{
    GifRowSource *s = static_cast<GifRowSource *>(pContext);
    if (y != s->iRow) {
        const int w = s->pImage->iWidth;
        const uint8_t *p = s->pImage->pPixels + (size_t)(s->pImage->iHeight - y - 1) * w * 3;
        const DitherTables &d = Dither();
        const uint8_t *g = s->pGamma;
        for (int i = 0; i < w; i++, p += 3)
            s->indices[(size_t)i] =
                (uint8_t)(d.au[0][y & 3][i & 3][g[p[0]]] + d.au[1][y & 3][i & 3][g[p[1]]] +
                          d.au[2][y & 3][i & 3][g[p[2]]]);
        s->iRow = y;
    }
    return s->indices[(size_t)x];
}

}  // namespace

int WriteGifFile(const ImageRecord *pImage, const char *pszFileName)
{
    if (pImage == nullptr || pszFileName == nullptr || pImage->pPixels == nullptr ||
        pImage->iWidth < 1 || pImage->iHeight < 1)
        return NK_IMAGE_ERROR;
    if (pImage->iWidth > 65535 || pImage->iHeight > 65535) return NK_IMAGE_BAD_PARAMETER;
    GifRowSource source;
    source.pImage = pImage;
    source.pGamma = NKGifGammaTable(kGifGamma);
    try {
        source.indices.resize((size_t)pImage->iWidth);
    } catch (...) {
        return NK_IMAGE_NO_MEMORY;
    }
    uint8_t aucRed[256], aucGreen[256], aucBlue[256];
    for (int i = 0; i < 256; i++) {
        uint8_t rgb[3];
        NKGifPaletteColor(i, rgb);
        aucRed[i] = rgb[0], aucGreen[i] = rgb[1], aucBlue[i] = rgb[2];
    }
    NKOutputFile out;
    if (!out.Open(pszFileName)) return NK_IMAGE_OPEN_ERROR;
    GifEncode(&out, pImage->iWidth, pImage->iHeight, 0, 8, aucRed, aucGreen, aucBlue, GifGetPixel,
              &source);
    return out.Commit() ? NK_IMAGE_OK : NK_IMAGE_WRITE_ERROR;
}
