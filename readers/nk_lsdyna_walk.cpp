// readers/nk_lsdyna_walk.cpp -- the walk over an LS-DYNA family that lists
// its states and reads its damage (see nk_lsdyna_walk.h).
#include "readers/nk_lsdyna_walk.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <sys/stat.h>
#include <utility>

#include "core/nk_message.h"
#include "core/nk_string.h"
#include "readers/nk_lsdyna_listed.h"

LSDynaStateWalk::LSDynaStateWalk(const std::vector<LSDynaFamilyFile> *pFiles, int iFormat,
                                 bool bSwap, AddState add)
    : m_pFiles(pFiles), m_iWordSize(iFormat == NK_DYNA_INT8 || iFormat == NK_DYNA_FLOAT8 ? 8 : 4),
      m_Add(std::move(add)), m_Times(pFiles, iFormat, bSwap)
{
    SortLengths();
    Use(m_Plain);
}

bool LSDynaStateWalk::Run(const ReadSegment &segment)
{
    const int n = (int)m_pFiles->size();
    for (int i = 0;; i++) {
        if (i == n && !m_bStop) EndOfFamily();
        const bool bEnd = i == n || m_bStop;
        // The one place states are listed: a segment's before the next
        // segment's header is read (no later word can end them), and the
        // rest where the walk ends.
        if (bEnd || Base(i)) {
            if (m_bStop) CheckSegmentEnd();
            ListKept();
        }
        if (bEnd) break;
        if (!Base(i)) {
            ReadMember(i);
            continue;
        }
        int64_t S = 1, iStatesAt = 0;
        if (!segment(i, &S, &iStatesAt)) return false;
        StartSegment(i, S, iStatesAt);
    }
    Report();
    return !m_bFailed;
}

// The walk reached the family's end: a geometry that ran on with nothing
// after it is not shown whole; states that must go on name the missing
// member; a state that ran on into the family's last member and ends at
// its end is whole (a run still writing).
void LSDynaStateWalk::EndOfFamily()
{
    if (m_bGeometryRanOver)
        Warn(m_iBase, Sign::Geometry);
    else if (m_bMust)
        WarnMissing();
    else
        Keep(true);
}

// Base file iBase begins a segment whose states of S words begin at word
// iStatesAt from its start (perhaps in a later member). False when the
// first geometry is not whole.
bool LSDynaStateWalk::StartSegment(int iBase, int64_t S, int64_t iStatesAt)
{
    m_iSegments++;
    m_iBase = iBase;
    m_S = std::max<int64_t>(S, 1);
    JudgeSegmentLengths();
    m_iExpect = 1;
    m_iCarry = 0;
    m_bMarkerSeen = false;
    const Sign eGeometry = GeometrySign(iBase, iStatesAt);
    if (eGeometry != Sign::None) {
        Warn(iBase, eGeometry);
        return !m_bFailed;
    }
    const int64_t iWords = Words(iBase);
    if (iStatesAt > iWords) {
        // A geometry larger than every member runs on in the next member.
        m_iGeometryLeft = iStatesAt - iWords;
        m_bMust = true;
        return true;
    }
    m_iGeometryLeft = 0;
    m_bMust = false;
    if (m_iSegments == 1) m_bFirstGeometryComplete = true;
    if (iStatesAt < iWords) {
        JudgeAt(iBase, iStatesAt);
        if (!m_bStop) ReadTimes(iBase, iStatesAt);
    } else if (PartWord(iBase))
        Warn(iBase, Sign::PartWord);
    else if (!Last(iBase))
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
    if (m_iGeometryLeft == 0) JudgeAt(i, m_iCarry);
    if (m_bStop) return;
    // Where states run on over members, one longer than the writer's
    // length holds words no state of the family has: the states end before
    // the first state it holds.
    if (Writer() && Longer(i)) {
        Warn(i, Sign::Longer);
        return;
    }
    // One shorter than it, of whole blocks, that ends with the end marker
    // is no cut member: it holds words no state of the family has (a copy
    // of a last member), and no state keeps words from it.
    if (Writer() && Words(i) < m_iFilled && HoldsMarker(i)) return;
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
    // the first word of the next. The end marker after the geometry in this
    // member shows it whole, else the next member's first word must.
    float fWord = 0.0f;
    m_bGeometryRanOver = m_iGeometryLeft == Words(i) ||
                         m_Times.Read(i, m_iGeometryLeft, &fWord) != LSDynaTimeWord::EndMarker;
    m_iGeometryLeft = 0;
    m_iCarry = 0;
    m_bMust = true;
    if (PartWord(i))
        Warn(i, Sign::PartWord);
    else if (m_iSegments == 1)
        m_bFirstGeometryComplete = true;
}

// The states of member i from word o up to its end or the end marker. Each
// state is held until what follows it shows it whole.
void LSDynaStateWalk::ReadTimes(int i, int64_t o)
{
    const int64_t iWords = Words(i);
    for (; o < iWords; o += m_S) {
        // The time word lies in this member: an end marker there ends its
        // states even when fewer words than a state follow it (padding).
        float fTime = 0.0f;
        const LSDynaTimeWord eWord = m_Times.Read(i, o, &fTime);
        if (eWord == LSDynaTimeWord::Missing) {
            Keep();
            m_bStop = true;
            return;
        }
        // Zeros to the member's end show a state held before them is not
        // whole, whatever follows it.
        Sign eSign =
            eWord == LSDynaTimeWord::Time && fTime == 0.0f ? ZeroTimeSign(i, o) : Sign::None;
        if (m_bStop) return;
        // Zeros from the family's last state's end on: it is whole, also
        // where it ran on over members (a run still writing).
        if (eSign == Sign::OpenEnd) Keep(true);
        if (eSign != Sign::None) {
            Warn(i, eSign);
            return;
        }
        if (!WhatFollows(i, o, eWord, fTime)) return;
        if (eWord == LSDynaTimeWord::EndMarker) {
            EndMarkerRead(i, o);
            return;
        }
        if (EndAtDisagreement(i, o, fTime)) return;
        eSign = TimeSign(fTime);
        if (eSign == Sign::None && o + m_S > iWords) eSign = RunOverSign(i, o);
        if (m_bStop) return;
        if (eSign != Sign::None) {
            Warn(i, eSign);
            return;
        }
        Keep();
        if (m_iFirstFile < m_iBase) {
            m_iFirstFile = i;
            m_iFirstAt = o;
        }
        m_Pending = {true, o + m_S > iWords, i, o, fTime, m_iRead + 1};
        m_fLastTime = fTime;
        m_bAnyTime = true;
        m_iLastTimeFile = i;
        m_iRead++;
    }
    MemberEnds(i, o);
}

// The word read at word o of member i after a geometry or a state that ran
// on over a member's end: a time that is not a number after the geometry
// refuses it; after the state, a time above its own or the end marker
// keeps it, and so does a time the words after it show out of order (the
// states end before that time's state); else it is dropped and the member
// it ended in named, or the earlier time words judged damaged end the
// states. False when the states end.
bool LSDynaStateWalk::WhatFollows(int i, int64_t o, LSDynaTimeWord eWord, float fTime)
{
    const bool bTime = eWord == LSDynaTimeWord::Time;
    if (m_bGeometryRanOver) {
        m_bGeometryRanOver = false;
        if (bTime && !std::isfinite(fTime)) {
            Warn(m_iBase, Sign::Geometry);
            return false;
        }
    }
    if (!m_Pending.bHeld || !m_Pending.bRanOver) return true;
    if (!bTime || (std::isfinite(fTime) && fTime > m_Pending.fTime)) {
        Keep(true);
        return true;
    }
    if (EndAtDisagreement(i, o, fTime)) return false;
    // A time that is not a number: it is named with the member the state
    // ended in, and no state keeps words from it.
    Drop();
    EndBefore(o == 0 ? i - 1 : i);
    Warn(o == 0 ? i - 1 : i, Sign::FollowedNotNumber);
    return false;
}

// The end marker at word o ends member i's states; a base file's go on in
// the next member.
void LSDynaStateWalk::EndMarkerRead(int i, int64_t o)
{
    // Where states run over members, only the segment's last ends with it.
    if (Writer() && !Base(i) && i + 1 < m_iSegmentEnd) {
        EndBefore(i);
        Warn(i, Sign::HoldsMarker);
        return;
    }
    Keep();
    m_iCarry = 0;
    m_bMust = Base(i);
    if (!Base(i)) m_bMarkerSeen = true;
    const Sign eSign = AfterMarkerSign(i, o);
    if (eSign != Sign::None) Warn(i, eSign);
}

// Member i's words end without the end marker, the next state at word o:
// past the end where a state runs on into the next member, else at it.
void LSDynaStateWalk::MemberEnds(int i, int64_t o)
{
    m_iCarry = o - Words(i);
    m_bMust = m_iCarry > 0;
    if (m_bMust) return;  // RunOverSign found the members the state crosses whole
    const Sign eSign = MemberEndSign(i);
    // The family's last member ends with the state held: it is whole, also
    // where it ran on over members.
    if (eSign == Sign::OpenEnd) Keep(true);
    if (eSign != Sign::None)
        Warn(i, eSign);
    else
        Keep();
}

// Keeps the state held (with bRanOver, also one whose words ran on over a
// member's end): it is listed when its segment ends or the walk stops, unless
// a later word ends it first.
void LSDynaStateWalk::Keep(bool bRanOver)
{
    if (!m_Pending.bHeld || (m_Pending.bRanOver && !bRanOver)) return;
    m_Pending.bHeld = false;
    // The member its words end in.
    LSDynaWordPieces pieces(*m_pFiles, m_iWordSize, m_Pending.iFile, m_Pending.iOffset, m_S);
    LSDynaWordPiece piece = {m_Pending.iFile, m_Pending.iOffset, 0};
    for (LSDynaWordPiece next; pieces.Next(&next);) piece = next;
    m_Kept.push_back(
        {m_Pending.iFile, m_Pending.iOffset, m_Pending.fTime, piece.iFile, m_Pending.iNumber});
}

// Member iMember is damaged: no state keeps words from it or after it.
void LSDynaStateWalk::EndBefore(int iMember)
{
    Keep(true);
    Drop();
    while (!m_Kept.empty() && m_Kept.back().iEndFile >= iMember) m_Kept.pop_back();
}

// Lists the states kept: the only place states are listed (Run).
void LSDynaStateWalk::ListKept()
{
    for (const Kept &k : m_Kept)
        if (m_Add(k.iFile, k.iOffset, k.fTime)) {
            m_iStates++;
            m_fLastListed = k.fTime;
        }
    m_Kept.clear();
}

// The time word of the state after the one whose time word lies at word
// *po of member *pi, by the members' lengths (Missing where the segment
// ends before it); *pi and *po move on to it.
LSDynaTimeWord LSDynaStateWalk::NextTimeWord(int *pi, int64_t *po, float *pfTime)
{
    int64_t q = *po + m_S;
    int j = *pi;
    for (; q >= Words(j); j++) {
        if (j + 1 >= (int)m_pFiles->size() || Base(j + 1)) return LSDynaTimeWord::Missing;
        q -= Words(j);
    }
    *pi = j;
    *po = q;
    return m_Times.Read(j, q, pfTime);
}

// A time word fTime at word o of member i, not above the time read before
// it: the two disagree, and allow two readings. Either the earlier words
// are damaged (every time word of the segment before the later that is not
// below it), or the later are (the later and every time word after it up to
// the first above the earlier, or to the segment's end). The later are
// judged out of order only where they lie in fewer members than the earlier
// (Later). Otherwise the words cannot tell (a swap, a member copied over by
// a near one, a copy whose time word lies above the next): Undecided, with
// the member and state of the first of the earlier words. None where the
// two do not disagree, at a new segment's first state (the segment before
// was listed with its own header), or where no state runs over members:
// there each lies whole in its member and no time word vouches for another.
LSDynaStateWalk::Disagreement LSDynaStateWalk::JudgeDisagreement(int i, int64_t o, float fTime,
                                                                 int *piFirstFile,
                                                                 int *piFirstState)
{
    if (!Writer() || !m_bAnyTime || !std::isfinite(fTime) || fTime > m_fLastTime ||
        m_iLastTimeFile < m_iBase)
        return Disagreement::None;
    // The earlier words: of the states read in this segment (all kept, the
    // last perhaps held), read in order of time, the last ones whose time
    // is not below the later's; each member counted once.
    std::vector<Kept> read = m_Kept;
    if (m_Pending.bHeld)
        read.push_back({m_Pending.iFile, m_Pending.iOffset, m_Pending.fTime, 0, m_Pending.iNumber});
    size_t e = read.size();
    while (e > 0 && read[e - 1].fTime >= fTime) e--;
    int iEarlierMembers = 0;
    for (size_t k = e; k < read.size(); k++)
        if (k == e || read[k].iFile != read[k - 1].iFile) iEarlierMembers++;
    *piFirstFile = e < read.size() ? read[e].iFile : m_iLastTimeFile;
    *piFirstState = e < read.size() ? read[e].iNumber : m_iRead;
    // The later words, to the first above the earlier (read only until they
    // reach as many members as the earlier words).
    int iLaterMembers = 1;
    m_bLaterToEnd = true;
    for (int j = i; iLaterMembers < iEarlierMembers;) {
        const int jBefore = j;
        float f = 0.0f;
        const LSDynaTimeWord eW = NextTimeWord(&j, &o, &f);
        if (eW != LSDynaTimeWord::Time || (std::isfinite(f) && f > m_fLastTime)) {
            m_bLaterToEnd = eW != LSDynaTimeWord::Time;
            break;
        }
        if (j != jBefore) iLaterMembers++;
    }
    return iLaterMembers < iEarlierMembers ? Disagreement::Later : Disagreement::Undecided;
}

// Ends the states where a time word fTime at word o of member i disagrees
// with the one before it (true): where the later words are judged out of
// order, before the first state with words in the later's member (or in the
// member before it, where that holds the earlier time word and no time
// word after the later goes on above it), and the later's member is named;
// where the words cannot tell, before the first state with words in
// the member of the first of the earlier words, and the warning names it
// and the later's member as the two whose times disagree. False where the
// two do not disagree so.
bool LSDynaStateWalk::EndAtDisagreement(int i, int64_t o, float fTime)
{
    int iFirstFile = i, iFirstState = 0;
    const Disagreement eJudged = JudgeDisagreement(i, o, fTime, &iFirstFile, &iFirstState);
    if (eJudged == Disagreement::None) return false;
    m_iNamedLater = m_iRead + 1;
    // (A last member longer than a state may hold both time words: it alone
    // is named, as the later's.)
    if (eJudged == Disagreement::Later || iFirstFile == i) {
        // Where no time word after the later goes on above the earlier,
        // nothing vouches for the earlier either: of a swapped pair, the
        // later's partner puts one of its words there, in order as like as
        // not. No state keeps words from the member before the later's that
        // holds it.
        EndBefore(m_bLaterToEnd && m_iLastTimeFile == i - 1 ? i - 1 : i);
        Warn(i, fTime < m_fLastTime ? Sign::LaterBelow : Sign::LaterSame);
        return true;
    }
    m_iNamedState = iFirstState;
    m_iOtherFile = i;
    EndBefore(iFirstFile);
    Warn(iFirstFile, Sign::Disagree);
    return true;
}

// ---- The checks --------------------------------------------------------------------

// A base file that ends inside its geometry: the geometry runs on into the
// next member only when it is larger than every member, the base file is
// whole blocks, and the segment's members hold it, each but the family's
// last as large as the base file.
LSDynaStateWalk::Sign LSDynaStateWalk::GeometrySign(int iBase, int64_t iStatesAt) const
{
    if (iStatesAt <= Words(iBase)) return Sign::None;
    if (iStatesAt <= m_iLargest || !(*m_pFiles)[(size_t)iBase].WholeBlocks(m_iWordSize))
        return Sign::Geometry;
    // The writer fills every member it splits the geometry over to the base
    // file's size; the members hold it.
    const int64_t iSize = (*m_pFiles)[(size_t)iBase].iFileSize;
    int64_t iSegmentWords = Words(iBase);
    for (int j = iBase + 1; j < (int)m_pFiles->size() && !Base(j) && iSegmentWords < iStatesAt;
         j++) {
        if (!Last(j) && (*m_pFiles)[(size_t)j].iFileSize != iSize) return Sign::Geometry;
        iSegmentWords += Words(j);
    }
    return iStatesAt > iSegmentWords ? Sign::Geometry : Sign::None;
}

// A time that is not a number, or not above the time of the state before.
LSDynaStateWalk::Sign LSDynaStateWalk::TimeSign(float fTime) const
{
    if (!std::isfinite(fTime)) return Sign::TimeNotNumber;
    if (m_bAnyTime && fTime < m_fLastTime) return Sign::TimeBelow;
    if (m_bAnyTime && fTime == m_fLastTime) return Sign::TimeSame;
    return Sign::None;
}

// A zero time word at word o of member i that lies in the zeros the member
// ends with: a member of nothing but zeros; zeros that begin inside the
// state held and go on past its end drop it, as zeros from its time word
// on would; zeros from this state's time word on where a state fits from
// it (or runs on from it); else the place of the end marker, zero: the
// member's states end there. None when a word after o is not zero, or no
// state is held and the state at o does not fit in the member (its own
// words run out, and whether it may run on decides: they are not read
// back).
LSDynaStateWalk::Sign LSDynaStateWalk::ZeroTimeSign(int i, int64_t o)
{
    if (!m_Pending.bHeld && o + m_S > Words(i)) return Sign::None;
    const int64_t iZeros = m_Times.ZerosFrom(i);
    if (iZeros > o) return Sign::None;
    if (iZeros < o) Drop();
    if (iZeros == 0) return Sign::Zeros;
    if (iZeros < o || o + m_S <= Words(i) || (Writer() && !Last(i))) return Sign::ZerosFrom;
    // The states the member holds end at the zero where its end marker was.
    const Sign eEnd = MemberEndSign(i);
    return eEnd == Sign::None ? Sign::OpenEnd : eEnd;
}

// The state at word o of member i does not fit in it: it runs on into the
// members that follow directly only when it is larger than every member and
// the members it crosses are whole; else the member ends inside it (or a
// gap after the last member that holds its words ends the states). None
// when it runs on.
LSDynaStateWalk::Sign LSDynaStateWalk::RunOverSign(int i, int64_t o)
{
    if (!Writer()) return Sign::InsideState;
    const Sign eCut = CutSign(i);
    if (eCut != Sign::None) return eCut;
    const std::vector<LSDynaFamilyFile> &files = *m_pFiles;
    int j = i;
    for (int64_t iAvail = Words(i); o + m_S > iAvail;) {
        // A member the state runs on over holds only its values, zeros too:
        // none of its words is read. One of the segment's last member's
        // length may be a copy of it: where it ends with the end marker, it
        // holds words no state of the family has. (A copy of a last member
        // of another length is shorter than the others, and read as such:
        // ReadMember.)
        if (Words(j) == Words(m_iSegmentEnd - 1) && HoldsMarker(j)) return Sign::None;
        if (j + 1 >= (int)files.size() ||
            !NKLSDynaFollowsDirectly(files[(size_t)j], files[(size_t)(j + 1)]))
            break;
        iAvail += Words(++j);
        if (o + m_S <= iAvail) return Sign::None;
        if (CutSign(j) != Sign::None) break;
    }
    EndInsideState(j);
    return Sign::None;
}

// True, with its warning, when member j, a numbered member before the
// segment's last, ends with the end marker: no state keeps words from it.
bool LSDynaStateWalk::HoldsMarker(int j)
{
    if (Base(j) || j + 1 >= m_iSegmentEnd || !EndsWithMarker(j)) return false;
    EndBefore(j);
    Warn(j, Sign::HoldsMarker);
    return true;
}

// Words that are not zero after a numbered member's end marker at word o;
// a member of whole blocks, among others of whole blocks, cut short after
// its end marker; a base file whose words after its marker (its part
// titles, closed with the end marker, then padding) end short of whole
// blocks with a word that is not the end marker (ending with it, it is
// whole, whatever the other members' blocks).
LSDynaStateWalk::Sign LSDynaStateWalk::AfterMarkerSign(int i, int64_t o)
{
    if (PartWord(i)) return Sign::PartWord;
    if (!Base(i) && m_Times.NotZeroAfter(i, o)) return Sign::AfterMarker;
    // A base file that its titles' end marker ends is whole, blocks or not.
    float fLast = 0.0f;
    if (Base(i) && o + 1 < Words(i) && !(*m_pFiles)[(size_t)i].WholeBlocks(m_iWordSize))
        return m_Times.Read(i, Words(i) - 1, &fLast) == LSDynaTimeWord::EndMarker
                   ? Sign::None
                   : Sign::CutAfterMarker;
    return CutShort(i) ? Sign::CutAfterMarker : Sign::None;
}

// Why member i's states end at a state's end without the end marker
// (None: they may). A member that is not the family's last was cut
// there, unless states run on over members; the last is whole (a run still
// writing), and says that the family has no end marker where the segment's
// other members end with it or are whole blocks.
LSDynaStateWalk::Sign LSDynaStateWalk::MemberEndSign(int i) const
{
    // Bytes short of a word after the state are the next state's first.
    if (PartWord(i)) return Sign::InsideState;
    // A run still writing has not padded its last member to whole blocks.
    if (Last(i)) return m_bMarkerSeen || CutShort(i) ? Sign::OpenEnd : Sign::None;
    if (Writer()) return CutSign(i);
    const bool bHeld = m_Pending.bHeld && m_Pending.iFile == i;
    return !AnyKept() && !bHeld ? Sign::InsideState : Sign::NoMarker;
}

// Why member i, which a state runs on over, shows that it was damaged
// without reading it: not a whole number of words (it ends inside a state);
// longer than the writer's member length (not the family's last); among
// members of whole blocks, short of the writer's blocks; or, not the
// family's last, not filled as a writer that splits states fills every
// member but the last: whole blocks, and of the writer's member length.
LSDynaStateWalk::Sign LSDynaStateWalk::CutSign(int i) const
{
    if (PartWord(i)) return Sign::InsideState;
    if (Longer(i)) return Sign::Longer;
    if (CutShort(i)) return Sign::CutShort;
    if (Last(i)) return Sign::None;
    if (!WholeBlocks(i)) return Sign::InsideState;
    if (Words(i) >= m_iFilled) return Sign::None;
    if (!m_bFilledByBase) return Sign::ShortSplit;
    // Only a base file has the writer's length: the members are shorter.
    for (int j = i + 1; j < (int)m_pFiles->size() && !Base(j); j++)
        if (Words(j) >= m_iFilled) return Sign::ShortOfBase;
    return Sign::ShortFromHere;
}

// True when member i is not a whole number of blocks while every other
// member of the family is: its writer writes whole blocks, and i was cut
// short.
bool LSDynaStateWalk::CutShort(int i) const
{
    return m_pFiles->size() >= 2 && m_iNotWholeBlocks == 1 &&
           !(*m_pFiles)[(size_t)i].WholeBlocks(m_iWordSize);
}

namespace {

bool EmptyFile(const char *pszPath)
{
    struct stat st;
    return stat(pszPath, &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0;
}

}  // namespace

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
    if (CutSign(j) == Sign::None && (bGap || EmptyFile(NextName().GetText()))) {
        WarnMissing();
        return;
    }
    Warn(j, CutSign(j) == Sign::None ? Sign::InsideState : CutSign(j));
}

// The damage in member i ends the walk: no member after it is read for
// states. The state held before the damage is kept, unless its words ran on
// over a member's end and nothing showed them whole; a member before the
// family's last that ends with the end marker, found where a member's
// words end short, holds words no state of the family has there, and no
// state keeps words from it. Its warning follows once the states are
// listed (Report). The first base file ending inside its geometry fails
// the open.
void LSDynaStateWalk::Warn(int i, Sign eSign)
{
    Keep();
    Drop();
    m_bMust = false;
    if (eSign == Sign::None) return;
    if ((eSign == Sign::ShortSplit || eSign == Sign::ShortOfBase || eSign == Sign::ShortFromHere) &&
        EndsWithMarker(i)) {
        eSign = Sign::HoldsMarker;
        EndBefore(i);
    }
    m_bFailed = eSign == Sign::Geometry && m_iSegments == 1;
    m_bStop = true;
    m_iStopFile = i;
    m_eStop = eSign;
}

// True when member i ends with the end marker and its padding.
bool LSDynaStateWalk::EndsWithMarker(int i) { return m_Times.EndsWithMarker(i); }

// The one line of what ended the walk, once the states before it are
// listed: the warning that names the damaged member, what was found there
// and where the states end (an error where the open fails), or the member
// that is missing. A family whose last member ends at a state's end
// without the end marker is whole: a line of information says so.
void LSDynaStateWalk::Report()
{
    if (!m_szMissing.IsEmpty()) {
        NKLSDynaWarnMissingMember(m_szMissing.GetText());
        return;
    }
    if (m_eStop == Sign::None) return;
    const char *pszMember = (*m_pFiles)[(size_t)m_iStopFile].szFileName.GetText();
    if (m_eStop == Sign::PartWord) {
        NKLSDynaWarnPartWord(pszMember, m_iStates, m_fLastListed);
        return;
    }
    if (m_eStop == Sign::OpenEnd) {
        NKPrintInfo(NKString::FromFormat("LS-DYNA family file %s ends after state %d without "
                                         "the end marker: a run still writing.",
                                         pszMember, m_iStates)
                        .GetText());
        return;
    }
    // What was found, said of the member, and the state it names: none, the
    // first not listed, the last listed, the later of two time words that
    // disagree, or the earlier (with the later).
    enum class Named { None, NotListed, LastListed, Later, Earlier };
    static constexpr struct {
        Sign eSign;
        const char *pszFound;
        Named eState;
    } kFound[] = {
        {Sign::Geometry, "ends inside its geometry", Named::None},
        {Sign::Zeros, "holds only zeros", Named::None},
        {Sign::ZerosFrom, "holds only zeros from state %d on", Named::NotListed},
        {Sign::TimeNotNumber, "state %d has a time that is not a number", Named::NotListed},
        {Sign::TimeBelow, "state %d has a time below the time before it", Named::NotListed},
        {Sign::TimeSame, "state %d has the time of the state before it", Named::NotListed},
        {Sign::FollowedNotNumber, "state %d is followed by a time that is not a number",
         Named::NotListed},
        {Sign::Disagree,
         "hold times that disagree: state %d has a time not below the time of state %d",
         Named::Earlier},
        {Sign::LaterBelow, "state %d has a time below the time before it", Named::Later},
        {Sign::LaterSame, "state %d has the time of the state before it", Named::Later},
        {Sign::AfterMarker, "has words after its end marker", Named::None},
        {Sign::CutAfterMarker, "is cut short after its end marker", Named::None},
        {Sign::InsideState, "ends inside state %d", Named::NotListed},
        {Sign::NoMarker, "ends after state %d without its end marker", Named::LastListed},
        {Sign::CutShort, "is cut short of its writer's 512-word blocks", Named::None},
        {Sign::ShortSplit, "is shorter than the other members its writer filled, inside state %d",
         Named::NotListed},
        {Sign::ShortOfBase, "is shorter than the base file", Named::None},
        {Sign::ShortFromHere, "and the members after it are shorter than the base file",
         Named::None},
        {Sign::Longer, "has words past its writer's length", Named::None},
        {Sign::HoldsMarker, "ends with the end marker before the family's last member",
         Named::None}};
    NKString found;
    for (const auto &f : kFound) {
        if (f.eSign != m_eStop) continue;
        const int iState = f.eState == Named::NotListed    ? m_iStates + 1
                           : f.eState == Named::LastListed ? m_iStates
                           : f.eState == Named::Later      ? m_iNamedLater
                                                           : m_iNamedState;
        found = f.eState == Named::None ? NKString(f.pszFound)
                                        : NKString::FromFormat(f.pszFound, iState, m_iNamedLater);
    }
    const char *pszOther = m_eStop == Sign::Disagree
                               ? (*m_pFiles)[(size_t)m_iOtherFile].szFileName.GetText()
                               : nullptr;
    NKLSDynaWarnFound(pszMember, found.GetText(), m_iStates, m_fLastListed, m_bFailed, pszOther);
}

// The name of the member that must come next.
NKString LSDynaStateWalk::NextName() const
{
    return (*m_pFiles)[(size_t)m_iBase].szFileName +
           NKString::FromFormat(m_iExpect < 100 ? "%02d" : "%d", m_iExpect);
}

// The member that must come next is missing: the states end before it.
void LSDynaStateWalk::WarnMissing()
{
    if (m_bGeometryRanOver) {
        Warn(m_iBase, Sign::Geometry);
        return;
    }
    Keep();
    Drop();
    m_szMissing = NextName();
    m_bStop = true;
}
