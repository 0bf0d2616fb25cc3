// readers/nk_lsdyna_listed.cpp -- the checks of a read of an LS-DYNA
// database against what its open listed (see nk_lsdyna_listed.h).
#include "readers/nk_lsdyna_listed.h"

#include <algorithm>
#include <cstring>

#include "core/nk_message.h"
#include "core/nk_string.h"

std::vector<LSDynaWordPiece> NKLSDynaWordPieces(const std::vector<LSDynaFamilyFile> &files,
                                                int iWordSize, int iFile, int64_t iFirst,
                                                int64_t n)
{
    std::vector<LSDynaWordPiece> pieces;
    for (int f = std::max(iFile, 0); n > 0 && f < (int)files.size(); f++) {
        const int64_t iWords = files[(size_t)f].Words(iWordSize);
        const int64_t iHere = std::min(n, std::max<int64_t>(iWords - iFirst, 0));
        pieces.push_back({f, std::min(iFirst, iWords), iHere});
        n -= iHere;
        iFirst = std::max<int64_t>(iFirst - iWords, 0);
    }
    return pieces;
}

bool NKLSDynaSameTime(float fRead, float fListed)
{
    return std::memcmp(&fRead, &fListed, sizeof(float)) == 0;
}

void NKLSDynaReportChanged(const char *pszFile, const char *pszRefused)
{
    NKPrintError(NKString::FromFormat("LS-DYNA file %s: %s refused, the file changed on disk "
                                      "after it was opened.",
                                      pszFile, pszRefused)
                     .GetText());
}
