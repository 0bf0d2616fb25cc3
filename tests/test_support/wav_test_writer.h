// tests/test_support/wav_test_writer.h -- builds small ".wav" files for the
// sound tests, chunk by chunk, with the header words they may damage.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct WavTestSpec {
    int iRate = 22050;
    int iBits = 16;
    int iChannels = 1;
    int iFormatTag = 1;       // 1 = PCM
    bool bListChunk = false;  // a "LIST" chunk (odd size, padded) before "data"
};

// The whole file: "RIFF" size "WAVE", "fmt " (16 bytes), the optional
// "LIST" chunk, then "data" with the samples as given.
std::vector<uint8_t> NKTestWavBytes(const WavTestSpec &spec, const std::vector<uint8_t> &samples);
// The byte offsets of the 32-bit header words of NKTestWavBytes (RIFF size,
// the fmt words, the data size), the ones a robustness test flips.
std::vector<size_t> NKTestWavHeaderWords(const WavTestSpec &spec);
// "tone.wav": 0.5 s of a 441 Hz sine at half scale, 16-bit mono, 22050 Hz.
std::vector<uint8_t> NKTestToneSamples(void);
std::vector<uint8_t> NKTestToneWav(void);
