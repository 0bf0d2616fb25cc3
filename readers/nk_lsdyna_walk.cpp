// readers/nk_lsdyna_walk.cpp -- the walk over an LS-DYNA family that lists
// its states and reads its damage (see nk_lsdyna_walk.h).
#include "readers/nk_lsdyna_walk.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <sys/stat.h>
#include <utility>

#include "core/nk_string.h"

LSDynaStateWalk::LSDynaStateWalk(const std::vector<LSDynaFamilyFile> *pFiles, int iFormat,
                                 bool bSwap, AddState add)
    : m_pFiles(pFiles), m_iWordSize(iFormat == NK_DYNA_INT8 || iFormat == NK_DYNA_FLOAT8 ? 8 : 4),
      m_Add(std::move(add)), m_Times(pFiles, iFormat, bSwap)
{
    JudgeLengths();
}

// The length the members but the family's last share, each base file
// counted with them: the length most of them have. Where states run over
// members (bWriter) it is the writer's, who fills every member, the base
// file too, to whole blocks: a length that is not whole blocks is never
// the writer's, and a tie goes to a base file's length, else to the first
// in order of the lengths tied (a member before the first of another length
// holds time words that show it whole, or end the states where they
// disagree). Else a tie goes to the largest: no member that holds states
// is taken for a longer one.
int64_t LSDynaStateWalk::VotedLength(bool bWriter) const
{
    // (length, member) of the voters, in order of length.
    std::vector<std::pair<int64_t, int>> voters;
    for (int i = 0; i + 1 < (int)m_pFiles->size(); i++)
        if (!bWriter || WholeBlocks(i)) voters.push_back({Words(i), i});
    std::sort(voters.begin(), voters.end());
    int64_t iBest = 0;
    size_t iBestVotes = 0;
    int iBestFirst = 0;
    bool bBestBase = false;
    for (size_t a = 0, b = 0; a < voters.size(); a = b) {
        bool bBase = false;
        for (b = a; b < voters.size() && voters[b].first == voters[a].first; b++)
            bBase = bBase || Base(voters[b].second);
        const int iFirst = voters[a].second;  // the first in order of its length
        const bool bTie = b - a == iBestVotes;
        const bool bBefore = bBase != bBestBase ? bBase : iFirst < iBestFirst;
        if (b - a > iBestVotes || (bTie && (bWriter ? bBefore : voters[a].first > iBest))) {
            iBest = voters[a].first;
            iBestVotes = b - a;
            iBestFirst = iFirst;
            bBestBase = bBase;
        }
    }
    return iBest;
}

// The writer's member length (no less than a base file's), the family's
// largest member and the count of members that are not whole blocks, none
// of them taken from a member longer than the writer's length: first as
// the members share their lengths, and where a state of m_S words is larger
// than every member so (it runs over members), as the splitting writer
// fills them.
void LSDynaStateWalk::JudgeLengths()
{
    const int n = (int)m_pFiles->size();
    for (bool bWriter : {false, true}) {
        m_iFilled = VotedLength(bWriter);
        for (int i = 0; i + 1 < n; i++)
            if (Base(i)) m_iFilled = std::max(m_iFilled, Words(i));
        m_iLargest = 0;
        m_iNotWholeBlocks = 0;
        for (int i = 0; i < n; i++) {
            if (Longer(i)) continue;
            m_iLargest = std::max(m_iLargest, Words(i));
            if (!WholeBlocks(i)) m_iNotWholeBlocks++;
        }
        if (m_S <= m_iLargest) break;
    }
    m_bFilledByBase = true;
    for (int i = 0; i + 1 < n; i++)
        if (!Base(i) && Words(i) == m_iFilled) m_bFilledByBase = false;
}

bool LSDynaStateWalk::Run(const ReadSegment &segment)
{
    for (int i = 0; i < (int)m_pFiles->size() && !m_bStop; i++) {
        if (!Base(i)) {
            ReadMember(i);
            continue;
        }
        // The states of the segment before are listed with its header.
        List(INT_MAX);
        int64_t S = 1, iStatesAt = 0;
        if (!segment(i, &S, &iStatesAt) || !StartSegment(i, S, iStatesAt)) return false;
    }
    if (m_bStop) return !m_bFailed;
    // A geometry that ran on with nothing after it is not shown whole;
    // states that must go on name the missing member; a state that ran on
    // into the family's last member and ends at its end is whole (a run
    // still writing).
    if (m_bGeometryRanOver)
        Warn(m_iBase, Sign::Geometry);
    else if (m_bMust)
        WarnMissing();
    else
        Keep(true);
    List(INT_MAX);
    return !m_bFailed;
}

// Base file iBase begins a segment whose states of S words begin at word
// iStatesAt from its start (perhaps in a later member). False when the
// first geometry is not whole.
bool LSDynaStateWalk::StartSegment(int iBase, int64_t S, int64_t iStatesAt)
{
    m_iSegments++;
    m_iBase = iBase;
    m_S = std::max<int64_t>(S, 1);
    JudgeLengths();
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
    if (iStatesAt < iWords)
        ReadTimes(iBase, iStatesAt);
    else if (PartWord(iBase))
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
    // Where states run on over members, one longer than the writer's
    // length holds words no state of the family has: the states end before
    // the first state it holds.
    if (m_S > m_iLargest && Longer(i)) {
        Warn(i, Sign::Longer);
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
        if (TimeDisagrees(fTime)) return;
        eSign = TimeSign(fTime);
        if (eSign == Sign::None && o + m_S > iWords) eSign = RunOverSign(i, o);
        if (m_bStop) return;
        if (eSign != Sign::None) {
            Warn(i, eSign);
            return;
        }
        Keep();
        m_Pending = {true, o + m_S > iWords, i, o, fTime};
        m_fTimeBefore = m_fLastTime;
        m_bTimeBefore = m_bAnyTime;
        m_fLastTime = fTime;
        m_bAnyTime = true;
        m_iLastTimeFile = i;
        m_iRead++;
        // No time word after this one can end a state whose words end
        // before its member.
        List(i);
    }
    MemberEnds(i, o);
}

// The word read at word o of member i after a geometry or a state that ran
// on over a member's end: a time that is not a number after the geometry
// refuses it; after the state, only a time above its own or the end marker
// keeps it, else it is dropped and the member it ended in named. False when
// the states end.
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
    if (TimeDisagrees(fTime)) return false;
    // What followed the state is named with the member the state ended in.
    const Sign eSign = !std::isfinite(fTime)     ? Sign::FollowedNotNumber
                       : fTime < m_Pending.fTime ? Sign::FollowedBelow
                                                 : Sign::FollowedSame;
    Drop();
    Warn(o == 0 ? i - 1 : i, eSign);
    return false;
}

// The end marker at word o ends member i's states; a base file's go on in
// the next member.
void LSDynaStateWalk::EndMarkerRead(int i, int64_t o)
{
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
// member's end): it is listed once no time word can end it (List).
void LSDynaStateWalk::Keep(bool bRanOver)
{
    if (!m_Pending.bHeld || (m_Pending.bRanOver && !bRanOver)) return;
    m_Pending.bHeld = false;
    int j = m_Pending.iFile;
    for (int64_t iEnd = m_Pending.iOffset + m_S; iEnd > Words(j) && !Last(j); j++) iEnd -= Words(j);
    m_Kept.push_back({m_Pending.iFile, m_Pending.iOffset, m_Pending.fTime, j});
}

// Lists the states kept whose words end before member iBefore.
void LSDynaStateWalk::List(int iBefore)
{
    size_t n = 0;
    for (; n < m_Kept.size() && m_Kept[n].iEndFile < iBefore; n++) {
        if (m_Add(m_Kept[n].iFile, m_Kept[n].iOffset, m_Kept[n].fTime)) {
            m_iStates++;
            m_fLastListed = m_Kept[n].fTime;
        }
    }
    m_Kept.erase(m_Kept.begin(), m_Kept.begin() + (long)n);
}

// A time word fTime not above the time read before it
// (in member m_iLastTimeFile): the two disagree. Where the time before that
// one is not below it either, it is the later that is out of order, and the
// caller ends the states before it (false). Else the words cannot show that
// the later is wrong: the earlier vouches for nothing, and the states end
// before the first state with words in the member that holds it, which is
// named (true). A time that goes back at a new segment's first state is the
// later's, as the segment before was listed with its own header. Only
// where states run over members: elsewhere no time word vouches for a
// state, each lies whole in its member.
bool LSDynaStateWalk::TimeDisagrees(float fTime)
{
    // Where no state runs over members each lies whole in its member and no
    // time word vouches for one: the later time ends the states (TimeSign).
    if (m_S <= m_iLargest || !m_bAnyTime || !std::isfinite(fTime) || fTime > m_fLastTime)
        return false;
    if ((m_bTimeBefore && fTime <= m_fTimeBefore) || m_iLastTimeFile < m_iBase) return false;
    const int iEarlier = m_iLastTimeFile;
    m_iNamedState = m_iRead;
    Drop();
    while (!m_Kept.empty() && m_Kept.back().iEndFile >= iEarlier) m_Kept.pop_back();
    Warn(iEarlier, fTime < m_fLastTime ? Sign::TimeAboveNext : Sign::TimeSameNext);
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
    if (iZeros < o || o + m_S <= Words(i) || (m_S > m_iLargest && !Last(i))) return Sign::ZerosFrom;
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
    if (m_S <= m_iLargest) return Sign::InsideState;
    const Sign eCut = CutSign(i);
    if (eCut != Sign::None) return eCut;
    const std::vector<LSDynaFamilyFile> &files = *m_pFiles;
    int j = i;
    for (int64_t iAvail = Words(i); o + m_S > iAvail;) {
        if (j + 1 >= (int)files.size() ||
            !NKLSDynaFollowsDirectly(files[(size_t)j], files[(size_t)(j + 1)]))
            break;
        // A member the state fills to its end holds only its values, zeros
        // too: none of its words is read.
        iAvail += Words(++j);
        if (o + m_S <= iAvail) return Sign::None;
        if (CutSign(j) != Sign::None) break;
    }
    EndInsideState(j);
    return Sign::None;
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
    if (m_S > m_iLargest) return CutSign(i);
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

// The one warning of the damage: it names member i, what was found there
// and where the states end; no member after it is read for states. The
// state held before the damage is listed, unless its words ran on over a
// member's end and nothing showed them whole. The first base file ending
// inside its geometry is an error: the open fails.
void LSDynaStateWalk::Warn(int i, Sign eSign)
{
    Keep();
    Drop();
    if (eSign != Sign::None) List(INT_MAX);
    const char *pszMember = (*m_pFiles)[(size_t)i].szFileName.GetText();
    m_bFailed = eSign == Sign::Geometry && m_iSegments == 1;
    m_bMust = false;
    m_bStop = eSign != Sign::None;
    if (!m_bStop) return;
    if (eSign == Sign::PartWord) {
        NKLSDynaWarnPartWord(pszMember, m_iStates, m_fLastListed);
        return;
    }
    // What was found, said of the member, with the state it names: the one
    // the states end before (1), or with (0), or the one whose time a later
    // time contradicts (2); -1 names none.
    static constexpr struct {
        Sign eSign;
        const char *pszFound;
        int iState;
    } kFound[] = {
        {Sign::Geometry, "ends inside its geometry", -1},
        {Sign::Zeros, "holds only zeros", -1},
        {Sign::ZerosFrom, "holds only zeros from state %d on", 1},
        {Sign::TimeNotNumber, "state %d has a time that is not a number", 1},
        {Sign::TimeBelow, "state %d has a time below the time before it", 1},
        {Sign::TimeSame, "state %d has the time of the state before it", 1},
        {Sign::FollowedNotNumber, "state %d is followed by a time that is not a number", 1},
        {Sign::FollowedBelow, "state %d is followed by a time below its own", 1},
        {Sign::FollowedSame, "state %d is followed by its own time", 1},
        {Sign::TimeAboveNext, "state %d has a time above the time after it", 2},
        {Sign::TimeSameNext, "state %d has the time of the state after it", 2},
        {Sign::AfterMarker, "has words after its end marker", -1},
        {Sign::CutAfterMarker, "is cut short after its end marker", -1},
        {Sign::InsideState, "ends inside state %d", 1},
        {Sign::NoMarker, "ends after state %d without its end marker", 0},
        {Sign::CutShort, "is cut short of its writer's 512-word blocks", -1},
        {Sign::ShortSplit, "is shorter than the other members its writer filled, inside state %d",
         1},
        {Sign::ShortOfBase, "is shorter than the base file", -1},
        {Sign::ShortFromHere, "and the members after it are shorter than the base file", -1},
        {Sign::Longer, "has words past its writer's length", -1},
        {Sign::OpenEnd, "ends the family with no end marker after state %d", 0}};
    NKString found;
    for (const auto &f : kFound)
        if (f.eSign == eSign)
            found = f.iState < 0    ? NKString(f.pszFound)
                    : f.iState == 2 ? NKString::FromFormat(f.pszFound, m_iNamedState)
                                    : NKString::FromFormat(f.pszFound, m_iStates + f.iState);
    NKLSDynaWarnFound(pszMember, found.GetText(), m_iStates, m_fLastListed, m_bFailed);
}

// The name of the member that must come next.
NKString LSDynaStateWalk::NextName() const
{
    return (*m_pFiles)[(size_t)m_iBase].szFileName +
           NKString::FromFormat(m_iExpect < 100 ? "%02d" : "%d", m_iExpect);
}

void LSDynaStateWalk::WarnMissing()
{
    if (m_bGeometryRanOver) {
        Warn(m_iBase, Sign::Geometry);
        return;
    }
    Keep();
    Drop();
    List(INT_MAX);
    NKLSDynaWarnMissingMember(NextName().GetText());
    m_bStop = true;
}
