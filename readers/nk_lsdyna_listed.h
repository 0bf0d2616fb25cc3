// readers/nk_lsdyna_listed.h -- what a read of an LS-DYNA plot or
// time-history database checks against what the open listed: where a run
// of words lies in the family's members, whether a time word still holds
// the listed time, and the refusal of a read whose file changed on disk
// since the open. Used by the state read (nk_lsdyna_states.cpp) and the
// curve read (nk_lsdyna_th_curves.cpp); the words themselves are read
// there.
#pragma once

#include <cstdint>
#include <vector>

#include "readers/nk_lsdyna_format.h"

// The words one member holds of a run of words over a family's members.
struct LSDynaWordPiece {
    int iFile;       // the member
    int64_t iFirst;  // the run's first word in it
    int64_t iWords;  // the run's words it holds (0: the run passes it by)
};

// The pieces of the n words that begin at word iFirst of member iFile (a
// word past that member's end lies in the members after it), one for each
// member from iFile to the one the run ends in, by the members' lengths as
// the open listed them, taken in order with Next; they hold fewer than n
// words where the family ends before the run does. Nothing is allocated:
// the check of every state read walks its pieces.
class LSDynaWordPieces {
public:
    LSDynaWordPieces(const std::vector<LSDynaFamilyFile> &files, int iWordSize, int iFile,
                     int64_t iFirst, int64_t n)
        : m_Files(files), m_iWordSize(iWordSize), m_iFile(iFile < 0 ? 0 : iFile), m_iFirst(iFirst),
          m_iLeft(n)
    {}
    // The next piece into *pPiece; false after the last.
    bool Next(LSDynaWordPiece *pPiece);

private:
    const std::vector<LSDynaFamilyFile> &m_Files;
    int m_iWordSize;
    int m_iFile;       // the member of the next piece
    int64_t m_iFirst;  // the run's next word, counted from that member's start
    int64_t m_iLeft;   // the run's words not yet in a piece
};

// Whether a time word read now holds the time the open listed, bit for bit:
// -0 is not 0, and a NaN is the listed NaN only with its own bits.
bool NKLSDynaSameTime(float fRead, float fListed);

// The error refusing a read because member pszFile no longer holds the words
// the open listed; pszRefused says what is refused ("state 3 is", "the
// curve is").
void NKLSDynaReportChanged(const char *pszFile, const char *pszRefused);
