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
// first state over members of that length: the one that puts the most time
// words above the one before, on to the end marker, is the writer's (with
// the writer's length only the words of damaged members are out of order;
// with another, the words it reads are not time words). A count of members
// decides only between lengths the words cannot tell apart, and where no
// length puts two time words in order (then as where each state lies in a
// member, no less than the base file's).
// The lengths are sorted once for the family; a segment counts its own
// members, and its time words are read so only where its members do not
// show the writer's length alone (a base file shorter than the two or more
// numbered members before the last, which share one length the last does
// not pass, is no sign of damage): once for each length, at most
// kMaxCandidates of them.
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
        numbered[0].iWords >= Words(m_iBase) && Words(m_iSegmentEnd - 1) <= numbered[0].iWords)
        m_Candidates = numbered;
    if (!m_Candidates.empty()) Use(LengthsFor(m_Candidates[0].iWords));
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
void LSDynaStateWalk::JudgeAt(int i, int64_t o)
{
    if (m_Candidates.empty()) return;
    Use(LengthsFor(ConfirmedLength(i, o)));
    m_Candidates.clear();
}

// The candidate length whose time words, counted from the segment's first
// at word o of member i over numbered members of that length, the family's
// words confirm best (see the file comment): the most time words above the
// one before, read on to the end marker or the segment's end (a word past
// the end of a member shorter than the length is passed by: that member is
// damaged); of lengths confirmed alike, the base file's, else the best
// ranked. Where none confirms one, the count of members decides, no less
// than the base file's length.
int64_t LSDynaStateWalk::ConfirmedLength(int i, int64_t o)
{
    const std::vector<Candidate> &c = m_Candidates;
    int64_t iBest = 0;
    size_t iBestAt = 0;
    for (size_t t = 0; t < c.size(); t++) {
        auto Size = [&](int j) {
            return Base(j) || j + 1 == m_iSegmentEnd ? Words(j) : c[t].iWords;
        };
        int64_t iConfirmed = 0, q = o;
        bool bBefore = false;  // the word before was a time
        float fBefore = 0.0f;
        for (int j = i;;) {
            while (q >= Size(j) && j + 1 < m_iSegmentEnd) q -= Size(j++);
            if (q >= Size(j)) break;
            float fTime = 0.0f;
            const LSDynaTimeWord eWord = m_Times.Read(j, q, &fTime);
            // The end marker after a base file's geometry: the states begin
            // in the next member.
            if (eWord == LSDynaTimeWord::EndMarker && Base(j) && j + 1 < m_iSegmentEnd) {
                j++;
                q = 0;
                continue;
            }
            if (eWord == LSDynaTimeWord::EndMarker) {
                iConfirmed += bBefore ? 1 : 0;
                break;
            }
            const bool bTime = eWord == LSDynaTimeWord::Time && std::isfinite(fTime);
            if (bTime && bBefore && fTime > fBefore) iConfirmed++;
            bBefore = bTime;
            fBefore = fTime;
            q += m_S;
        }
        // (Of lengths the words confirm alike, the base file's.)
        if (iConfirmed > iBest || (iConfirmed == iBest && c[t].bBase)) {
            iBest = iConfirmed;
            iBestAt = t;
        }
    }
    if (iBest == 0) return std::max(c[0].iWords, Words(m_iBase));
    return c[iBestAt].iWords;
}
