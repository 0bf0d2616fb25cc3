// tests/export/print_test_support.h -- ghostscript run on written
// PostScript and PDF files: the marked bounding box and the rendered pixels.
#pragma once

#include <cstdio>
#include <string>

#include "tests/export/image_test_support.h"

// The "%%HiResBoundingBox" (or "%%BoundingBox") gs finds in the file's
// marks, in points from the lower left; false when gs reports none.
inline bool NKTestGhostscriptBox(const std::string &file, double adBox[4])
{
    const std::string command =
        "gs -q -dNOPAUSE -dBATCH -sDEVICE=bbox '" + file + "' 2>&1 >/dev/null";
    FILE *pPipe = popen(command.c_str(), "r");
    if (pPipe == nullptr) return false;
    char line[256];
    bool bFound = false;
    while (fgets(line, sizeof(line), pPipe) != nullptr)
        if (std::sscanf(line, "%%%%HiResBoundingBox: %lf %lf %lf %lf", &adBox[0], &adBox[1],
                        &adBox[2], &adBox[3]) == 4)
            bFound = true;
    pclose(pPipe);
    return bFound;
}

// The file rendered by gs at 72 dpi as RGB rows bottom-up.
inline bool NKTestGhostscriptPixels(const std::string &file, bool bEpsCrop, int *piWidth,
                                    int *piHeight, std::vector<uint8_t> *pRgb)
{
    const std::string tool = std::string("gs -q -dNOPAUSE -dBATCH ") +
                             (bEpsCrop ? "-dEPSCrop " : "") + "-sDEVICE=ppmraw -r72 -sOutputFile=-";
    return NKTestDecodeWith(tool, file, piWidth, piHeight, pRgb);
}
