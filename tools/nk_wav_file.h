// tools/nk_wav_file.h -- reads the PCM samples of a ".wav" file for the
// sound playback (nk_sound_playback.cpp).
//
// A RIFF/WAVE file is a 12-byte header and then chunks, each an id, a size
// and the data padded to an even length:
//   offset  size  meaning
//   0       4     "RIFF"
//   4       4     u32 size of what follows (not trusted: the file's own
//                 length bounds every chunk)
//   8       4     "WAVE"
//   12      ...   chunks: 4 id, u32 size, size bytes, a pad byte when odd
// The "fmt " chunk (16 bytes or more, before "data"):
//   0       2     u16 format tag, 1 = PCM
//   2       2     u16 channels (1 or 2 are read)
//   4       4     u32 sample rate in frames a second
//   8       4     u32 bytes a second
//   12      2     u16 block alignment = channels x bits / 8
//   14      2     u16 bits a sample (8 or 16 are read)
// The "data" chunk holds the interleaved samples. Other chunks ("LIST",
// "fact", ...) are skipped. All words are little-endian.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct NKWavData {
    int iRate = 0;
    int iBits = 0;
    int iChannels = 0;
    std::vector<uint8_t> samples;  // whole frames only
};

// Reads the file into pOut. False (pOut undefined) when the path is no
// regular file, is no RIFF/WAVE file, has no PCM format of 8 or 16 bits with
// one or two channels before its samples, has a data chunk that ends before
// the size its header gives, or holds no whole frame; pWhy (optional) then
// receives why in a few words.
bool NKReadWavFile(const char *pszPath, NKWavData *pOut, std::string *pWhy = nullptr);
