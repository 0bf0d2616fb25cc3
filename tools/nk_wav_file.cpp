// tools/nk_wav_file.cpp -- the ".wav" reader (layout in nk_wav_file.h).
// The file is read whole (regular files only: a folder's size is no size)
// and its chunks are walked with every size checked against the bytes left.
#include "tools/nk_wav_file.h"

#include <cstring>

#include "core/nk_file_read.h"

namespace {

uint32_t Word32(const uint8_t *p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint16_t Word16(const uint8_t *p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// The "fmt " chunk of nSize bytes at p; false for a format not read here.
bool ReadFormat(const uint8_t *p, uint64_t nSize, NKWavData *pOut)
{
    if (nSize < 16) return false;
    const int iTag = Word16(p);
    pOut->iChannels = Word16(p + 2);
    const uint32_t uRate = Word32(p + 4);
    const int iAlign = Word16(p + 12);
    pOut->iBits = Word16(p + 14);
    if (iTag != 1 || (pOut->iChannels != 1 && pOut->iChannels != 2) ||
        (pOut->iBits != 8 && pOut->iBits != 16) || uRate == 0 || uRate > 0x7FFFFFFF ||
        iAlign != pOut->iChannels * pOut->iBits / 8)
        return false;
    pOut->iRate = static_cast<int>(uRate);
    return true;
}

// Walks the chunks of the whole file's bytes; false with the reason when
// they hold no samples that can be played as the header describes them.
bool ReadChunks(const std::string &text, NKWavData *pOut, std::string *pWhy)
{
    *pWhy = "no RIFF/WAVE PCM sound";
    if (text.size() < 12) return false;
    const uint8_t *pBase = reinterpret_cast<const uint8_t *>(text.data());
    if (std::memcmp(pBase, "RIFF", 4) != 0 || std::memcmp(pBase + 8, "WAVE", 4) != 0) return false;
    bool bFormat = false;
    uint64_t nPos = 12;
    const uint64_t nEnd = text.size();
    while (nPos + 8 <= nEnd) {
        const uint8_t *pChunk = pBase + nPos;
        const uint64_t nSize = Word32(pChunk + 4);
        const uint64_t nLeft = nEnd - nPos - 8;
        if (std::memcmp(pChunk, "fmt ", 4) == 0) {
            if (nSize > nLeft || !ReadFormat(pChunk + 8, nSize, pOut)) return false;
            bFormat = true;
        } else if (std::memcmp(pChunk, "data", 4) == 0) {
            if (!bFormat) return false;
            const uint64_t nBlock = static_cast<uint64_t>(pOut->iChannels * pOut->iBits / 8);
            // A data chunk cut by the file's end is a damaged file: what is
            // left of it would play as a shorter sound without a word.
            if (nSize > nLeft) {
                *pWhy = "its sound data end before the size their header gives";
                return false;
            }
            const uint64_t nBytes = nSize / nBlock * nBlock;
            if (nBytes == 0) return false;
            pOut->samples.assign(pChunk + 8, pChunk + 8 + nBytes);
            pWhy->clear();
            return true;
        }
        if (nSize > nLeft) return false;
        nPos += 8 + nSize + (nSize & 1);
    }
    return false;
}

}  // namespace

bool NKReadWavFile(const char *pszPath, NKWavData *pOut, std::string *pWhy)
{
    std::string why, text;
    bool bOk = NKReadWholeFile(pszPath, &text, &why) && ReadChunks(text, pOut, &why);
    if (pWhy != nullptr) *pWhy = why;
    return bOk;
}
