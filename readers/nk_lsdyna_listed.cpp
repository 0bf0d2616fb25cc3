// readers/nk_lsdyna_listed.cpp -- the checks of a read of an LS-DYNA
// database against what its open listed (see nk_lsdyna_listed.h).
#include "readers/nk_lsdyna_listed.h"

#include <algorithm>
#include <cstring>

#include "core/nk_message.h"
#include "core/nk_string.h"

bool LSDynaWordPieces::Next(LSDynaWordPiece *pPiece)
{
    if (m_iLeft <= 0 || m_iFile >= (int)m_Files.size()) return false;
    const int64_t iWords = m_Files[(size_t)m_iFile].Words(m_iWordSize);
    const int64_t iHere = std::min(m_iLeft, std::max<int64_t>(iWords - m_iFirst, 0));
    *pPiece = {m_iFile, std::min(m_iFirst, iWords), iHere};
    m_iLeft -= iHere;
    m_iFirst = std::max<int64_t>(m_iFirst - iWords, 0);
    m_iFile++;
    return true;
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
