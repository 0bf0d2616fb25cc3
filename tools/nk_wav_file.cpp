// tools/nk_wav_file.cpp -- the ".wav" reader (layout in nk_wav_file.h).
// The file is read whole (its own size bounds the buffer) and its chunks
// are walked with every size checked against the bytes left.
#include "tools/nk_wav_file.h"

#include <cstdio>
#include <cstring>

namespace {

uint32_t Word32(const uint8_t *p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint16_t Word16(const uint8_t *p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

bool ReadWholeFile(const char *pszPath, std::vector<uint8_t> *pBytes)
{
    FILE *pFile = pszPath != nullptr ? std::fopen(pszPath, "rb") : nullptr;
    if (pFile == nullptr) return false;
    bool bOk = std::fseek(pFile, 0, SEEK_END) == 0;
    const long lSize = bOk ? std::ftell(pFile) : -1;
    bOk = bOk && lSize >= 0 && std::fseek(pFile, 0, SEEK_SET) == 0;
    if (bOk) {
        pBytes->resize(static_cast<size_t>(lSize));
        bOk = lSize == 0 || std::fread(pBytes->data(), 1, pBytes->size(), pFile) == pBytes->size();
    }
    std::fclose(pFile);
    return bOk;
}

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

}  // namespace

bool NKReadWavFile(const char *pszPath, NKWavData *pOut)
{
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(pszPath, &bytes) || bytes.size() < 12) return false;
    const uint8_t *pBase = bytes.data();
    if (std::memcmp(pBase, "RIFF", 4) != 0 || std::memcmp(pBase + 8, "WAVE", 4) != 0) return false;
    bool bFormat = false;
    uint64_t nPos = 12;
    const uint64_t nEnd = bytes.size();
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
            const uint64_t nBytes = (nSize < nLeft ? nSize : nLeft) / nBlock * nBlock;
            if (nBytes == 0) return false;
            pOut->samples.assign(pChunk + 8, pChunk + 8 + nBytes);
            return true;
        }
        if (nSize > nLeft) return false;
        nPos += 8 + nSize + (nSize & 1);
    }
    return false;
}
