// tests/fuzz/fuzz_wav.cpp -- the ".wav" reader of the sound playback.
#include "tests/fuzz/fuzz_support.h"
#include "tools/nk_wav_file.h"

NK_FUZZ_TARGET(wav)
{
    NKFuzzQuiet();
    std::string path = NKFuzzWrite("input.wav", pData, nSize);
    NKWavData wav;
    NKReadWavFile(path.c_str(), &wav);
    return 0;
}
