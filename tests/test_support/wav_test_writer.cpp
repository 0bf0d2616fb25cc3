// tests/test_support/wav_test_writer.cpp -- the ".wav" builder of the sound
// tests (see wav_test_writer.h).
#include "tests/test_support/wav_test_writer.h"

#include <cmath>
#include <cstring>

namespace {

void Word32(std::vector<uint8_t> &out, uint32_t u)
{
    for (int i = 0; i < 4; i++) out.push_back(static_cast<uint8_t>(u >> (8 * i)));
}

void Word16(std::vector<uint8_t> &out, uint32_t u)
{
    out.push_back(static_cast<uint8_t>(u));
    out.push_back(static_cast<uint8_t>(u >> 8));
}

// Byte by byte: g++ 12 at -O2 takes a range insert into the vector's first
// four bytes for an overflow (-Wstringop-overflow).
void Id(std::vector<uint8_t> &out, const char *pszId)
{
    for (int i = 0; i < 4; i++) out.push_back(static_cast<uint8_t>(pszId[i]));
}

const char kListText[] = "INFOISFT\x05\0\0\0test\0";  // 17 bytes: odd, so padded

}  // namespace

std::vector<uint8_t> NKTestWavBytes(const WavTestSpec &spec, const std::vector<uint8_t> &samples)
{
    std::vector<uint8_t> out;
    const uint32_t uBlock = static_cast<uint32_t>(spec.iChannels * spec.iBits / 8);
    Id(out, "RIFF");
    Word32(out, 0);  // patched below
    Id(out, "WAVE");
    Id(out, "fmt ");
    Word32(out, 16);
    Word16(out, static_cast<uint32_t>(spec.iFormatTag));
    Word16(out, static_cast<uint32_t>(spec.iChannels));
    Word32(out, static_cast<uint32_t>(spec.iRate));
    Word32(out, static_cast<uint32_t>(spec.iRate) * uBlock);  // bytes a second
    Word16(out, uBlock);
    Word16(out, static_cast<uint32_t>(spec.iBits));
    if (spec.bListChunk) {
        Id(out, "LIST");
        Word32(out, sizeof(kListText) - 1);
        out.insert(out.end(), kListText, kListText + sizeof(kListText) - 1);
        out.push_back(0);  // pad byte
    }
    Id(out, "data");
    Word32(out, static_cast<uint32_t>(samples.size()));
    out.insert(out.end(), samples.begin(), samples.end());
    const uint32_t uRiff = static_cast<uint32_t>(out.size() - 8);
    for (int i = 0; i < 4; i++) out[4 + i] = static_cast<uint8_t>(uRiff >> (8 * i));
    return out;
}

std::vector<size_t> NKTestWavHeaderWords(const WavTestSpec &spec)
{
    const size_t iData = spec.bListChunk ? 36 + 8 + 18 : 36;
    return {4, 16, 20, 24, 28, 32, iData + 4};
}

std::vector<uint8_t> NKTestToneSamples(void)
{
    std::vector<uint8_t> samples;
    for (int i = 0; i < 11025; i++) {
        const double d = 16384.0 * std::sin(2.0 * M_PI * 441.0 * i / 22050.0);
        Word16(samples, static_cast<uint32_t>(static_cast<int32_t>(std::lround(d))));
    }
    return samples;
}

std::vector<uint8_t> NKTestToneWav(void)
{
    return NKTestWavBytes(WavTestSpec(), NKTestToneSamples());
}
