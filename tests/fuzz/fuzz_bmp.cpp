// tests/fuzz/fuzz_bmp.cpp -- the BMP reader, with and without the demand
// for 24 bits, and the packed bitmap it gives turned into RGB rows and
// expanded to 24 bits, as the texture loading does.
#include "core/nk_memory.h"
#include "export/nk_bmp_files.h"
#include "export/nk_image.h"
#include "tests/fuzz/fuzz_support.h"

NK_FUZZ_TARGET(bmp)
{
    NKFuzzQuiet();
    std::string path = NKFuzzWrite("input.bmp", pData, nSize);
    for (bool bRequire24 : {true, false}) {
        uint8_t *pBlock = nullptr;
        size_t nBytes = 0;
        if (NKLoadBitmapFile(path.c_str(), &pBlock, &nBytes, bRequire24) == 1) {
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
