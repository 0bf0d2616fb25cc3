// tests/fuzz/fuzz_bmp.cpp -- the BMP reader, with and without the demand
// for 24 bits, and the packed bitmap it gives turned into RGB rows and
// expanded to 24 bits, as the texture loading does.
#include <cstdlib>

#include "core/nk_memory.h"
#include "export/nk_bmp_files.h"
#include "export/nk_image.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// Width x height of the packed bitmap's header (bytes 4 and 8).
int64_t PixelCount(const uint8_t *pBlock)
{
    auto word = [pBlock](int i) {
        return (int32_t)((uint32_t)pBlock[i] | (uint32_t)pBlock[i + 1] << 8 |
                         (uint32_t)pBlock[i + 2] << 16 | (uint32_t)pBlock[i + 3] << 24);
    };
    return std::abs((int64_t)word(4)) * std::abs((int64_t)word(8));
}

}  // namespace

NK_FUZZ_TARGET(bmp)
{
    NKFuzzQuiet();
    std::string path = NKFuzzWrite("input.bmp", pData, nSize);
    for (bool bRequire24 : {true, false}) {
        uint8_t *pBlock = nullptr;
        size_t nBytes = 0;
        // The readers take up to 65535 pixels a side, and a run-length file
        // of a few bytes may claim that many: pictures past 4M pixels are
        // read but not expanded, so that one input stays within the
        // run's time limit under the sanitizers.
        if (NKLoadBitmapFile(path.c_str(), &pBlock, &nBytes, bRequire24) == 1 &&
            (nBytes < 12 || PixelCount(pBlock) <= (int64_t)1 << 22)) {
            ImageRecord image;
            NKInitImageRecord(&image);
            NKDibToImageRecord(pBlock, nBytes, &image);
            NKReleaseImagePixels(&image);
            size_t nConverted = 0;
            NKFree(NKConvertDib(pBlock, nBytes, 0, 0, 24, false, nullptr, &nConverted));
        }
        NKFree(pBlock);
    }
    return 0;
}
