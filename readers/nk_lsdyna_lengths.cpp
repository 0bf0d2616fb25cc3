// readers/nk_lsdyna_lengths.cpp -- the writer's member length of an LS-DYNA
// family, as the walk over its members judges it (see nk_lsdyna_walk.h).
//
// Where each state lies wholly in one member, the length is the one most
// members before the family's last share (a tie goes to the larger), no
// less than a base file's. Where states run over members, a writer that
// splits them fills every member but the last to one length of whole
// blocks: the length the family's own words confirm. Each length a member
// of the segment has (whole blocks, or the base file's) is tried against
// the time words it puts where states begin, counted from the segment's
// first state over members of that length (a member of another length is
// damaged with it, and passed by): it is confirmed only where every time
// word is finite and above the one before, on to the end marker in the
// segment's last member or, without it, to a state's end at that member's
// end (a job still writing). Rising data words confirm nothing on their
// own. A cut (the segment's end inside a state, its last member without
// the end marker) is read with the length most of its members share, two
// at least, where its time words agree. Where no length is confirmed, no
// state of the segment that runs over members is kept, and the first
// member whose length departs from the member's before it is named.
// The lengths are sorted once for the family; a segment counts its own
// members, and its time words are read so only where its members do not
// show the writer's length alone (a base file of another length than the
// two or more numbered members before the last, which share one length the
// last does not pass, is no sign of damage): once for each length, at most
// kMaxCandidates of them. Where they do show it, the walk reads the family
// with it, and where it stops at damage, the segment's last member's end
// must confirm it (CheckSegmentEnd).
#include <algorithm>
#include <cmath>

#include "readers/nk_lsdyna_walk.h"

namespace {

// The most lengths of a segment whose time words are read.
constexpr size_t kMaxCandidates = 4;

}  // namespace

// Sorts the members' lengths once, and judges the length of a family whose
// states each lie in one member.
void LSDynaStateWalk::SortLengths()
{
    const int n = (int)m_pFiles->size();
    std::vector<int64_t> voters;
    int64_t iBaseWords = 0;
    for (int i = 0; i < n; i++) {
        if (!Last(i)) voters.push_back(Words(i));
        if (!Last(i) && Base(i)) iBaseWords = std::max(iBaseWords, Words(i));
        if (!Base(i) && !Last(i)) {
            m_Numbered.push_back({Words(i), WholeBlocks(i) ? 0 : 1});
            continue;
        }
        m_iOthersLargest = std::max(m_iOthersLargest, Words(i));
        if (!WholeBlocks(i)) m_iOthersNotWhole++;
    }
    std::sort(m_Numbered.begin(), m_Numbered.end());
    m_NotWholeUpTo.assign(m_Numbered.size() + 1, 0);
    for (size_t k = 0; k < m_Numbered.size(); k++)
        m_NotWholeUpTo[k + 1] = m_NotWholeUpTo[k] + m_Numbered[k].second;
    // The length most share, a tie to the larger.
    std::sort(voters.begin(), voters.end());
    int64_t iBest = 0;
    size_t iBestVotes = 0;
    for (size_t a = 0, b = 0; a < voters.size(); a = b) {
        for (b = a; b < voters.size() && voters[b] == voters[a]; b++) {
        }
        if (b - a >= iBestVotes) {
            iBest = voters[a];
            iBestVotes = b - a;
        }
    }
    m_Plain = LengthsFor(std::max(iBest, iBaseWords));
}

// What follows from a writer's member length of iFilled words.
LSDynaStateWalk::Lengths LSDynaStateWalk::LengthsFor(int64_t iFilled) const
{
    Lengths l;
    l.iFilled = iFilled;
    const auto end =
        std::upper_bound(m_Numbered.begin(), m_Numbered.end(), std::make_pair(iFilled, 1));
    const size_t k = (size_t)(end - m_Numbered.begin());
    l.iLargest = std::max(m_iOthersLargest, k > 0 ? m_Numbered[k - 1].first : 0);
    l.iNotWholeBlocks = m_iOthersNotWhole + m_NotWholeUpTo[k];
    l.bFilledByBase = k == 0 || m_Numbered[k - 1].first != iFilled;
    return l;
}

void LSDynaStateWalk::Use(const Lengths &l)
{
    m_iFilled = l.iFilled;
    m_iLargest = l.iLargest;
    m_iNotWholeBlocks = l.iNotWholeBlocks;
    m_bFilledByBase = l.bFilledByBase;
}

// True when candidate a ranks before b as a count of members would: more
// members, else the base file's, else the one whose first member comes
// first.
bool LSDynaStateWalk::RanksBefore(const Candidate &a, const Candidate &b)
{
    if (a.iVotes != b.iVotes) return a.iVotes > b.iVotes;
    if (a.bBase != b.bBase) return a.bBase;
    return a.iFirst < b.iFirst;
}

// The lengths the segment's members before the family's last have (whole
// blocks, or the base file's), best ranked first.
std::vector<LSDynaStateWalk::Candidate> LSDynaStateWalk::SegmentCandidates() const
{
    std::vector<std::pair<int64_t, int>> lengths;
    for (int i = m_iBase; i < m_iSegmentEnd && !Last(i); i++)
        if (i == m_iBase || WholeBlocks(i)) lengths.push_back({Words(i), i});
    std::sort(lengths.begin(), lengths.end());
    std::vector<Candidate> out;
    for (size_t a = 0, b = 0; a < lengths.size(); a = b) {
        Candidate c = {lengths[a].first, 0, false, lengths[a].second};
        for (b = a; b < lengths.size() && lengths[b].first == lengths[a].first; b++) {
            c.iVotes++;
            c.bBase = c.bBase || lengths[b].second == m_iBase;
        }
        out.push_back(c);
    }
    std::sort(out.begin(), out.end(), RanksBefore);
    return out;
}

// The segment's lengths at its start: where each state lies in a member,
// the family's; else the one length its members have, or, where they have
// more, the best ranked until the first state's time word is read
// (JudgeAt).
void LSDynaStateWalk::JudgeSegmentLengths()
{
    m_iSegmentEnd = m_iBase + 1;
    while (m_iSegmentEnd < (int)m_pFiles->size() && !Base(m_iSegmentEnd)) m_iSegmentEnd++;
    m_Candidates.clear();
    m_bCheckEnd = false;
    m_iFirstFile = -1;
    m_iLastEndsWithMarker = -1;
    Use(m_Plain);
    if (m_S <= m_iLargest) return;
    m_Candidates = SegmentCandidates();
    // Where two or more numbered members before the last share one length,
    // no shorter than the base file, and the last is no longer, the base
    // file alone differs (it holds the geometry, shorter than the members
    // that follow it): that length, without a word read.
    std::vector<Candidate> numbered;
    for (const Candidate &x : m_Candidates)
        if (!x.bBase || x.iVotes > 1) numbered.push_back(x);
    if (numbered.size() == 1 && numbered[0].iVotes - (numbered[0].bBase ? 1 : 0) >= 2 &&
        Words(m_iSegmentEnd - 1) <= numbered[0].iWords) {
        m_Candidates = numbered;
    }
    if (!m_Candidates.empty()) Use(LengthsFor(m_Candidates[0].iWords));
    // A length taken without a word read holds unless the segment's end, as
    // the walk reads it, shows it contradicted (CheckSegmentEnd).
    m_bCheckEnd = m_Candidates.size() == 1;
    if (m_Candidates.size() < 2) m_Candidates.clear();
    if (m_Candidates.size() <= kMaxCandidates) return;
    // The best ranked, the base file's among them.
    const auto base = std::find_if(m_Candidates.begin(), m_Candidates.end(),
                                   [](const Candidate &x) { return x.bBase; });
    if (base != m_Candidates.end() && base - m_Candidates.begin() >= (long)kMaxCandidates)
        std::swap(m_Candidates[kMaxCandidates - 1], *base);
    m_Candidates.resize(kMaxCandidates);
}

// The segment's first state has its time word at word o of member i: where
// its members have more than one length, its words judge the writer's.
// Where they confirm none, no state of the segment is kept: the first
// member whose length departs from the others' is named.
void LSDynaStateWalk::JudgeAt(int i, int64_t o)
{
    if (m_Candidates.empty()) return;
    int64_t iLength = 0;
    const bool bConfirmed = ConfirmedLength(i, o, &iLength);
    m_Candidates.clear();
    Use(LengthsFor(iLength));
    if (!bConfirmed) WarnDeparting();
}

// How the family's words, read with one member length, end.
LSDynaStateWalk::LengthRead LSDynaStateWalk::ReadWithLength(int i, int64_t o, int64_t iLength,
                                                            int *piRead)
{
    *piRead = 0;  // time words of numbered members read
    const int iLast = m_iSegmentEnd - 1;
    // A numbered member before the segment's last of another length is
    // damaged with it: its words are no evidence, and are passed by (but
    // the first state's time word, which lies where it does with any
    // length).
    auto Departs = [&](int j) { return !Base(j) && j < iLast && Words(j) != iLength; };
    auto Size = [&](int j) { return Departs(j) ? iLength : Words(j); };
    bool bBefore = false;  // a time word was read (the first state's, at least)
    float fBefore = 0.0f;
    int64_t q = o;
    for (int j = i;;) {
        // A member of another length that ends with the end marker (the
        // last swapped forward) is damaged: the segment's words end there,
        // inside a state.
        while (q >= Size(j) && j < iLast) {
            q -= Size(j++);
            if (Departs(j) && EndsWithMarker(j)) return LengthRead::Cut;
        }
        // Past the segment's end: its last word ends a state (a job still
        // writing) or it ends inside one (a cut), unless the last member
        // ends with the end marker, which no state start put there.
        if (q >= Size(j))
            return LastEndsWithMarker()         ? LengthRead::Contradicted
                   : q == Size(j) && j == iLast ? LengthRead::Confirmed
                                                : LengthRead::Cut;
        if (Departs(j) && bBefore) {
            q += m_S;
            continue;
        }
        float fTime = 0.0f;
        const LSDynaTimeWord eWord = m_Times.Read(j, q, &fTime);
        // The end marker after a base file's geometry: the states begin in
        // the next member.
        if (eWord == LSDynaTimeWord::EndMarker && Base(j) && j < iLast && q == o) {
            j++;
            q = 0;
            continue;
        }
        if (eWord == LSDynaTimeWord::EndMarker)
            return j == iLast ? LengthRead::Confirmed : LengthRead::Contradicted;
        if (eWord != LSDynaTimeWord::Time || !std::isfinite(fTime) || (bBefore && fTime <= fBefore))
            return LengthRead::Contradicted;
        bBefore = true;
        fBefore = fTime;
        *piRead += Base(j) ? 0 : 1;
        q += m_S;
    }
}

// True when the segment's last member ends with the end marker and its
// padding (read once a segment).
bool LSDynaStateWalk::LastEndsWithMarker()
{
    if (m_iLastEndsWithMarker < 0) m_iLastEndsWithMarker = EndsWithMarker(m_iSegmentEnd - 1);
    return m_iLastEndsWithMarker != 0;
}

// The candidate length the family's words confirm, counted from the
// segment's first state at word o of member i (see the file comment): read
// with it, every time word is finite and above the one before, on to the
// end marker in the segment's last member, or to a state's end at that
// member's end; of lengths confirmed alike, the best ranked. Where none is
// confirmed, the one with which the segment ends inside a state (a cut),
// every time word read before in order, that most of the numbered members
// before the last share (two at least: one alone is no evidence). False,
// *piLength the base file's, where the words confirm no length.
bool LSDynaStateWalk::ConfirmedLength(int i, int64_t o, int64_t *piLength)
{
    const int iNumbered = m_iSegmentEnd - 1 - (m_iBase + 1);
    for (const Candidate &c : m_Candidates) {
        int iRead = 0;
        const LengthRead eRead = ReadWithLength(i, o, c.iWords, &iRead);
        // (The base file counts for its own length, its words agreeing.)
        const int iOf = iNumbered + (c.bBase ? 1 : 0);
        if (eRead == LengthRead::Confirmed ||
            (eRead == LengthRead::Cut && c.iVotes >= 2 && 2 * c.iVotes > iOf)) {
            *piLength = c.iWords;
            return true;
        }
    }
    *piLength = Words(m_iBase);
    return false;
}

// The first numbered member of the segment before its last whose length
// departs from the length most of its members before the last share, the
// base file among them (a tie to the base file's, else to the shorter: a
// member longer than the writer's length is damaged, never the length),
// and the sign of its length: longer, or shorter than the others. Where
// none departs, or only the base file has that length, the first, judged
// against the base file: longer, or shorter (and so every member after it,
// or not).
std::pair<int, LSDynaStateWalk::Sign> LSDynaStateWalk::Departing() const
{
    const int iLast = m_iSegmentEnd - 1;
    std::vector<int64_t> sorted;
    for (int j = m_iBase; j < iLast; j++) sorted.push_back(Words(j));
    std::sort(sorted.begin(), sorted.end());
    int64_t iShared = Words(m_iBase);
    size_t iMost = 0;
    for (size_t a = 0, b = 0; a < sorted.size(); a = b) {
        for (b = a; b < sorted.size() && sorted[b] == sorted[a]; b++) {
        }
        if (b - a > iMost || (b - a == iMost && sorted[a] == Words(m_iBase))) {
            iShared = sorted[a];
            iMost = b - a;
        }
    }
    // (A length no numbered member has, the base file's alone, is no other
    // members' a member could be shorter than.)
    bool bShared = false;
    for (int j = m_iBase + 1; j < iLast; j++) bShared = bShared || Words(j) == iShared;
    for (int j = m_iBase + 1; bShared && j < iLast; j++)
        if (Words(j) != iShared) return {j, Words(j) > iShared ? Sign::Longer : Sign::ShortSplit};
    const int j = std::min(m_iBase + 1, iLast);
    const int64_t iBase = Words(m_iBase);
    if (Words(j) > iBase) return {j, Sign::Longer};
    for (int k = j + 1; k < m_iSegmentEnd; k++)
        if (Words(k) >= iBase) return {j, Sign::ShortOfBase};
    return {j, Sign::ShortFromHere};
}

// No length is confirmed: no state of the segment that runs over members is
// kept, and the first member whose length departs is named.
void LSDynaStateWalk::WarnDeparting()
{
    Keep(true);
    Drop();
    m_Kept.erase(std::remove_if(m_Kept.begin(), m_Kept.end(),
                                [](const Kept &k) { return k.iEndFile != k.iFile; }),
                 m_Kept.end());
    const std::pair<int, Sign> d = Departing();
    m_szMissing = NKString();
    m_bStop = false;
    Warn(d.first, d.second);
}

// The walk stopped inside a segment whose members' shared length was taken
// without a word read (JudgeSegmentLengths). Read with that length, the
// segment's end must fall where its states say: the end marker that its
// last member ends with where a state begins, or without it, the member's
// end at a state's end (a job still writing). Else the length is
// contradicted, unless the segment ends inside a state (a cut) and the
// walk stopped at no time word out of order, or at one it judged damaged
// in the last member (every time word before that member agrees with the
// length: the last member's words are damaged, not the length). Where it
// is, no length is confirmed.
void LSDynaStateWalk::CheckSegmentEnd()
{
    if (!m_bCheckEnd || m_iFirstFile < m_iBase || m_eStop == Sign::Geometry ||
        !m_szMissing.IsEmpty())
        return;
    m_bCheckEnd = false;
    const int iLast = m_iSegmentEnd - 1;
    int64_t q = m_iFirstAt;
    for (int j = m_iFirstFile; j < iLast; j++) {
        // (A member of another length is damaged: it is read as the others.)
        const int64_t w = Base(j) ? Words(j) : m_iFilled;
        if (q < w) q += (w - q + m_S - 1) / m_S * m_S;
        q -= w;
    }
    const bool bMarker = LastEndsWithMarker();
    const int64_t iEnd = bMarker ? m_Times.ZerosFrom(iLast) - 1 : Words(iLast);
    if (iEnd >= q && (iEnd - q) % m_S == 0) return;
    const Sign kTimes[] = {Sign::TimeNotNumber,     Sign::TimeBelow, Sign::TimeSame,
                           Sign::FollowedNotNumber, Sign::Disagree,  Sign::LaterBelow,
                           Sign::LaterSame};
    const bool bTime = std::find(std::begin(kTimes), std::end(kTimes), m_eStop) != std::end(kTimes);
    if (!bMarker && !bTime) return;
    if (!bMarker && m_iStopFile == iLast) return;
    WarnDeparting();
}
