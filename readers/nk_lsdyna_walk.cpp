// readers/nk_lsdyna_walk.cpp -- the walk over an LS-DYNA family that lists
// its states and reads its damage (see nk_lsdyna_walk.h).
#include "readers/nk_lsdyna_walk.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "core/nk_file_read.h"
#include "core/nk_math.h"
#include "core/nk_string.h"

LSDynaStateWalk::LSDynaStateWalk(const std::vector<LSDynaFamilyFile> *pFiles, int iFormat,
                                 bool bSwap, AddState add)
    : m_pFiles(pFiles), m_iWordSize(iFormat == NK_DYNA_INT8 || iFormat == NK_DYNA_FLOAT8 ? 8 : 4),
      m_bSwap(bSwap), m_Add(std::move(add)), m_Times(pFiles, iFormat, bSwap),
      m_Tails(pFiles->size())
{}

bool LSDynaStateWalk::Run(const ReadSegment &segment)
{
    for (int i = 0; i < (int)m_pFiles->size() && !m_bStop; i++) {
        if (!Base(i)) {
            ReadMember(i);
            continue;
        }
        int64_t S = 1, iStatesAt = 0;
        if (!segment(i, &S, &iStatesAt) || !StartSegment(i, S, iStatesAt)) return false;
    }
    // States that must go on name the missing member.
    if (!m_bStop && m_bMust) WarnMissing();
    return true;
}

// Base file iBase begins a segment whose states of S words begin at word
// iStatesAt from its start (perhaps in a later member). False when the
// first geometry is not whole.
bool LSDynaStateWalk::StartSegment(int iBase, int64_t S, int64_t iStatesAt)
{
    m_iSegments++;
    m_iBase = iBase;
    m_S = std::max<int64_t>(S, 1);
    m_iExpect = 1;
    m_iCarry = 0;
    const Sign eGeometry = GeometrySign(iBase, iStatesAt);
    if (eGeometry != Sign::None) {
        Warn(iBase, eGeometry);
        return !m_bFailed;
    }
    const int64_t iWords = Words(iBase);
    if (iStatesAt > iWords) {
        // The writer splits: the geometry runs on in the next member.
        m_iGeometryLeft = iStatesAt - iWords;
        m_bMust = true;
        return true;
    }
    m_iGeometryLeft = 0;
    m_bMust = false;
    if (m_iSegments == 1) m_bFirstGeometryComplete = true;
    if (iStatesAt < iWords)
        ReadTimes(iBase, iStatesAt);
    else if (PartWord(iBase))
        Warn(iBase, Sign::PartWord);
    else if (iBase + 1 < (int)m_pFiles->size() && (CutShort(iBase) || WholeStateWriter(iBase)))
        // Without the end marker after its geometry the base file was cut
        // where the marker was.
        Warn(iBase, Sign::InsideState);
    return true;
}

// A numbered member of the current segment: the rest of the geometry, or
// states.
void LSDynaStateWalk::ReadMember(int i)
{
    const LSDynaFamilyFile &f = (*m_pFiles)[(size_t)i];
    if (f.iSuffixNumber != m_iExpect && m_bMust) {
        WarnMissing();
        return;
    }
    m_iExpect = f.iSuffixNumber + 1;
    const Sign eZeros = ZerosSign(i);
    if (eZeros != Sign::None) {
        Warn(i, eZeros);
        return;
    }
    if (m_iGeometryLeft == 0) {
        ReadTimes(i, m_iCarry);
        return;
    }
    if (m_iGeometryLeft > Words(i)) {
        m_iGeometryLeft -= Words(i);
        if (PartWord(i)) Warn(i, Sign::PartWord);
        return;
    }
    // The member in which the geometry ends holds no states; they begin at
    // the first word of the next.
    m_iGeometryLeft = 0;
    m_iCarry = 0;
    m_bMust = true;
    if (PartWord(i))
        Warn(i, Sign::PartWord);
    else if (m_iSegments == 1)
        m_bFirstGeometryComplete = true;
}

// The states of member i from word o up to its end, the end marker, or the
// zeros its data ends with.
void LSDynaStateWalk::ReadTimes(int i, int64_t o)
{
    const int64_t iWords = Words(i), iEnd = DataEnd(i, o);
    for (; o < iEnd; o += m_S) {
        // The time word lies in this member: an end marker there ends its
        // states even when fewer words than a state follow it (padding).
        float fTime = 0.0f;
        const LSDynaTimeWord eWord = m_Times.Read(i, o, &fTime);
        if (eWord == LSDynaTimeWord::Missing) {
            m_bStop = true;
            return;
        }
        if (eWord == LSDynaTimeWord::EndMarker) {
            EndMarkerRead(i, o);
            return;
        }
        Sign eSign = TimeSign(fTime);
        if (eSign == Sign::None && o + m_S > iEnd)
            eSign = iEnd < iWords ? ZeroTailSign(i, o) : RunOverSign(i, o);
        if (eSign == Sign::RunsOff) {
            EndInsideState(m_iRunsOff);
            return;
        }
        if (eSign != Sign::None) {
            Warn(i, eSign);
            return;
        }
        m_fLastTime = fTime;
        m_bAnyTime = true;
        if (m_Add(i, o, fTime)) {
            m_iStates++;
            m_fLastListed = fTime;
        }
    }
    if (o < iWords)
        Warn(i, Sign::ZerosFrom);  // a state begins inside the zeros
    else
        MemberEnds(i, o - iWords);
}

// The end marker at word o ends member i's states; a base file's go on in
// the next member.
void LSDynaStateWalk::EndMarkerRead(int i, int64_t o)
{
    m_iCarry = 0;
    m_bMust = Base(i);
    const Sign eSign = AfterMarkerSign(i, o);
    if (eSign != Sign::None) Warn(i, eSign);
}

// Member i's words end without the end marker; the next state begins
// iCarry words into the next member.
void LSDynaStateWalk::MemberEnds(int i, int64_t iCarry)
{
    m_iCarry = iCarry;
    m_bMust = iCarry > 0;
    const Sign eSign = MemberEndSign(i, iCarry);
    if (eSign != Sign::None) Warn(i, eSign);
}

// ---- The checks --------------------------------------------------------------------

// A base file that ends inside its geometry: the geometry runs on into the
// next member only where the writer splits, the base file is whole words
// and blocks, and the segment's members hold it.
LSDynaStateWalk::Sign LSDynaStateWalk::GeometrySign(int iBase, int64_t iStatesAt)
{
    if (iStatesAt <= Words(iBase)) return Sign::None;
    int64_t iSegmentWords = Words(iBase);
    for (int j = iBase + 1; j < (int)m_pFiles->size() && !Base(j); j++) iSegmentWords += Words(j);
    if (PartWord(iBase) || CutShort(iBase) || iStatesAt > iSegmentWords || !RunsOn(iBase))
        return Sign::Geometry;
    return Sign::None;
}

// A member whose words are all zero (one too short for a state was cut).
LSDynaStateWalk::Sign LSDynaStateWalk::ZerosSign(int i)
{
    return Words(i) >= m_S && !PartWord(i) && TailOf(i, false).iLast < 0 ? Sign::Zeros : Sign::None;
}

// A time that is not a number, or not above the time of the state before.
LSDynaStateWalk::Sign LSDynaStateWalk::TimeSign(float fTime) const
{
    if (!std::isfinite(fTime)) return Sign::TimeNotNumber;
    if (m_bAnyTime && fTime < m_fLastTime) return Sign::TimeBelow;
    if (m_bAnyTime && fTime == m_fLastTime) return Sign::TimeSame;
    return Sign::None;
}

// The state at word o of member i runs into the zeros its data ends with:
// zeros from this state on where another state would begin inside them,
// else the member ends inside this state.
LSDynaStateWalk::Sign LSDynaStateWalk::ZeroTailSign(int i, int64_t o)
{
    return o + m_S < Words(i) ? Sign::ZerosFrom : Sign::InsideState;
}

// The state at word o of member i runs over the member's end: on into the
// members that follow directly only where the writer splits states and the
// members it crosses are whole (RunsOff, with m_iRunsOff the member in
// which its words run out, when they do not hold it).
LSDynaStateWalk::Sign LSDynaStateWalk::RunOverSign(int i, int64_t o)
{
    if (Cut(i) || !RunsOn(i)) return Sign::InsideState;
    const std::vector<LSDynaFamilyFile> &files = *m_pFiles;
    int j = i;
    for (int64_t iAvail = Words(i); o + m_S > iAvail;) {
        if (j + 1 >= (int)files.size() ||
            !NKLSDynaFollowsDirectly(files[(size_t)j], files[(size_t)(j + 1)]))
            break;
        iAvail += Words(++j);
        if (o + m_S <= iAvail) return Sign::None;
        if (Cut(j)) break;
    }
    m_iRunsOff = j;
    return Sign::RunsOff;
}

// Words that are not zero after a numbered member's end marker at word o;
// a member of 512-word blocks, among others of whole blocks, cut short
// after its end marker. (A base file's part titles follow its marker.)
LSDynaStateWalk::Sign LSDynaStateWalk::AfterMarkerSign(int i, int64_t o)
{
    if (PartWord(i)) return Sign::PartWord;
    if (!Base(i) && TailOf(i, false).iLast > o) return Sign::AfterMarker;
    return CutShort(i) ? Sign::CutAfterMarker : Sign::None;
}

// A member whose last state ends at its end was cut there: when a member
// follows and the writer does not split states, when the writer's members
// are whole blocks and this one is not, and when it is the last and the
// writer's members end with the marker. Bytes short of a word end the
// member inside the next state's words.
LSDynaStateWalk::Sign LSDynaStateWalk::MemberEndSign(int i, int64_t iCarry)
{
    const bool bLast = i + 1 == (int)m_pFiles->size();
    if (PartWord(i) ||
        (iCarry == 0 && ((!bLast && !RunsOn(i)) || CutShort(i) || (RunsOn(i) && ShortSplit(i)) ||
                         (bLast && WholeStateWriter(i)))))
        return Sign::InsideState;
    return Sign::None;
}

// Where the states of member i from word o end: its end, or, where its
// last word that is not zero is no end marker and a state would begin
// inside the zeros after it (its time a zero after other states), the word
// after that one. (Zeros that end a member's last state are its words.)
int64_t LSDynaStateWalk::DataEnd(int i, int64_t o)
{
    if (!EndsWithData(i)) return Words(i);
    const int64_t iZeros = TailOf(i, false).iLast + 1;
    const int64_t iNext = iZeros <= o ? o : o + (iZeros - o + m_S - 1) / m_S * m_S;
    return iNext < Words(i) ? iZeros : Words(i);
}

// True when the writer splits states over members: another numbered member
// of the segment, not the family's last, ends with the words of a state and
// holds no end marker, and none of them ends with the end marker.
bool LSDynaStateWalk::Splits(int i)
{
    const int n = (int)m_pFiles->size();
    for (int j = m_iBase + 1; j + 1 < n && !Base(j); j++)
        if (j != i && !PartWord(j) && EndsWithMarker(j)) return false;
    for (int j = m_iBase + 1; j + 1 < n && !Base(j); j++)
        if (j != i && !PartWord(j) && EndsWithData(j) && TailOf(j, true).iHoldsMarker == 0)
            return true;
    return false;
}

// True when states and geometry may run on over member i's end: the writer
// splits them, or none of its other members ends with the end marker.
bool LSDynaStateWalk::RunsOn(int i) { return Splits(i) || !WholeStateWriter(i); }

// True when another numbered member of the segment ends its states with the
// end marker: the writer writes whole states to each member.
bool LSDynaStateWalk::WholeStateWriter(int i)
{
    for (int j = m_iBase + 1; j < (int)m_pFiles->size() && !Base(j); j++)
        if (j != i && !PartWord(j) && EndsWithMarker(j)) return true;
    return false;
}

// True when member i shows that it was cut: not a whole number of words or
// of the writer's blocks, or shorter than another member of a writer that
// splits states.
bool LSDynaStateWalk::Cut(int i) const { return PartWord(i) || CutShort(i) || ShortSplit(i); }

// True when numbered member i, not the family's last, is shorter than
// another such member of its segment: a writer that splits states fills
// every member but the last to the same size.
bool LSDynaStateWalk::ShortSplit(int i) const
{
    const int n = (int)m_pFiles->size();
    if (Base(i) || i + 1 >= n) return false;
    for (int j = m_iBase + 1; j + 1 < n && !Base(j); j++)
        if ((*m_pFiles)[(size_t)j].iFileSize > (*m_pFiles)[(size_t)i].iFileSize) return true;
    return false;
}

// True when member i is not a whole number of 512-word blocks while every
// other member of the family is: its writer writes whole blocks, and i was
// cut short.
bool LSDynaStateWalk::CutShort(int i) const
{
    const std::vector<LSDynaFamilyFile> &files = *m_pFiles;
    const int64_t iBlock = 512LL * m_iWordSize;
    if (files.size() < 2 || files[(size_t)i].iFileSize % iBlock == 0) return false;
    for (size_t j = 0; j < files.size(); j++)
        if ((int)j != i && files[j].iFileSize % iBlock != 0) return false;
    return true;
}

namespace {

bool EmptyFile(const char *pszPath)
{
    struct stat st;
    return stat(pszPath, &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0;
}

// True when the word at p (as stored) is the end marker.
bool IsMarker(const unsigned char *p, int iWordSize, bool bSwap)
{
    unsigned char w[8];
    std::memcpy(w, p, (size_t)iWordSize);
    if (bSwap) std::reverse(w, w + iWordSize);
    float f;
    if (iWordSize == 4) {
        std::memcpy(&f, w, 4);
    } else {
        double d;
        std::memcpy(&d, w, 8);
        f = (float)d;
    }
    return NKFloatsEqual(f, NK_DYNA_END_MARKER);
}

}  // namespace

// Member i's last word that is not zero, read back from its end in large
// pieces after a first small one; with bFindMarker, on until an end marker
// is found (a whole read only for a member that holds none).
const LSDynaStateWalk::Tail &LSDynaStateWalk::TailOf(int i, bool bFindMarker)
{
    Tail &t = m_Tails[(size_t)i];
    if (t.bKnown && (!bFindMarker || t.iHoldsMarker >= 0)) return t;
    const int fd = NKOpenRegularDescriptor((*m_pFiles)[(size_t)i].szFileName.GetText());
    // A first small piece: the end marker lies in a member's last block.
    const int64_t iMost = 65536 / m_iWordSize;
    int64_t iPiece = 512;
    std::vector<unsigned char> buf((size_t)(iMost * m_iWordSize));
    bool bLast = t.bKnown, bMarker = false;
    for (int64_t iEnd = Words(i); fd >= 0 && iEnd > 0 && !(bLast && (!bFindMarker || bMarker));) {
        const int64_t iFirst = std::max<int64_t>(0, iEnd - iPiece);
        const size_t iBytes = (size_t)((iEnd - iFirst) * m_iWordSize);
        ssize_t n;
        do {
            n = ::pread(fd, buf.data(), iBytes, (off_t)(iFirst * m_iWordSize));
        } while (n < 0 && errno == EINTR);
        if (n != (ssize_t)iBytes) break;
        for (int64_t w = iEnd - 1; w >= iFirst; w--) {
            const unsigned char *p = buf.data() + (w - iFirst) * m_iWordSize;
            if (!bLast && std::any_of(p, p + m_iWordSize, [](unsigned char b) { return b != 0; })) {
                bLast = true;
                t.iLast = w;
                t.bLastIsMarker = IsMarker(p, m_iWordSize, m_bSwap);
            }
            if (bFindMarker && IsMarker(p, m_iWordSize, m_bSwap)) bMarker = true;
            if (bLast && (!bFindMarker || bMarker)) break;
        }
        iEnd = iFirst;
        iPiece = iMost;
    }
    if (fd >= 0) ::close(fd);
    t.bKnown = true;
    if (bFindMarker) t.iHoldsMarker = bMarker ? 1 : 0;
    return t;
}

// A state runs past the end of member j, the last that holds its words:
// where a numbered member follows j after a gap (and j is whole), the gap
// ends the states and the missing member is named, as is an empty member
// after j (its own warning ended the family's listing); else the family was
// cut inside the state, in j.
void LSDynaStateWalk::EndInsideState(int j)
{
    const std::vector<LSDynaFamilyFile> &files = *m_pFiles;
    m_iExpect = files[(size_t)j].iSuffixNumber + 1;
    const bool bGap = j + 1 < (int)files.size() && !files[(size_t)(j + 1)].bBaseFile;
    if (!Cut(j) && (bGap || EmptyFile(NextName().GetText()))) {
        WarnMissing();
        return;
    }
    Warn(j, Sign::InsideState);
}

// The one warning of the damage: it names member i, what was found there
// and where the states end; no member after it is read for states. The
// first base file ending inside its geometry is an error: the open fails.
void LSDynaStateWalk::Warn(int i, Sign eSign)
{
    // What was found, by sign (the state where the states end for %d).
    static const struct {
        Sign eSign;
        const char *pszFound;
    } kFound[] = {{Sign::Geometry, "ends inside its geometry"},
                  {Sign::Zeros, "holds only zeros"},
                  {Sign::ZerosFrom, "holds only zeros from state %d on"},
                  {Sign::TimeNotNumber, "state %d has a time that is not a number"},
                  {Sign::TimeBelow, "state %d has a time below the time before it"},
                  {Sign::TimeSame, "state %d has the time of the state before it"},
                  {Sign::AfterMarker, "has words after its end marker"},
                  {Sign::CutAfterMarker, "is cut short after its end marker"}};
    const char *pszMember = (*m_pFiles)[(size_t)i].szFileName.GetText();
    m_bFailed = eSign == Sign::Geometry && m_iSegments == 1;
    m_bMust = false;
    m_bStop = true;
    if (eSign == Sign::PartWord) {
        NKLSDynaWarnPartWord(pszMember, m_iStates, m_fLastListed);
        return;
    }
    for (const auto &k : kFound) {
        if (k.eSign != eSign) continue;
        const NKString found = std::strstr(k.pszFound, "%d") != nullptr
                                   ? NKString::FromFormat(k.pszFound, m_iStates + 1)
                                   : NKString(k.pszFound);
        NKLSDynaWarnFound(pszMember, found.GetText(), m_iStates, m_fLastListed, m_bFailed);
        return;
    }
    NKLSDynaWarnEndInsideState(pszMember, m_iStates, m_fLastListed);
}

// The name of the member that must come next.
NKString LSDynaStateWalk::NextName() const
{
    return (*m_pFiles)[(size_t)m_iBase].szFileName +
           NKString::FromFormat(m_iExpect < 100 ? "%02d" : "%d", m_iExpect);
}

void LSDynaStateWalk::WarnMissing()
{
    NKLSDynaWarnMissingMember(NextName().GetText());
    m_bStop = true;
}
