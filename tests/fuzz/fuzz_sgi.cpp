// tests/fuzz/fuzz_sgi.cpp -- the SGI RGB reader of the texture loading.
#include "core/nk_image_record.h"
#include "export/nk_image.h"
#include "export/nk_image_files.h"
#include "tests/fuzz/fuzz_support.h"

NK_FUZZ_TARGET(sgi)
{
    NKFuzzQuiet();
    std::string path = NKFuzzWrite("input.rgb", pData, nSize);
    ImageRecord image;
    NKInitImageRecord(&image);
    NKReadSgiImage(path.c_str(), &image);
    NKReleaseImagePixels(&image);
    return 0;
}
