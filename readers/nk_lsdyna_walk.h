// readers/nk_lsdyna_walk.h -- the walk over the members of an LS-DYNA
// family that lists its states and reads its damage, shared by the plot
// database's scan (nk_lsdyna_scan.cpp) and the time-history database's open
// (nk_lsdyna_th_open.cpp).
//
// Each segment begins with a base file (header and geometry); the states
// follow the geometry, up to the end marker or the end of a member. A state
// is listed only when all its words lie where the family says they are.
// Every sign of damage the family's words give ends the states at the last
// state lying wholly before it, with one warning that names the damaged
// member and what was found there; no member after it is read for states.
// The walk reads the members in order, so the first damaged member is the
// one named.
//
// The solver starts a state that fits in a member in a member of its own,
// ends each closed member with the end marker and pads members to blocks
// of NK_DYNA_BLOCK_WORDS; it splits only a state (or a geometry) larger
// than a member, and fills every member it splits over but the last to one
// size. So a state or the geometry runs on over a member's end only when it
// is larger than the family's largest member and the members it runs over
// are filled so: whole blocks, of the writer's member length but the last.
// The writer's member length is the one the family's own words confirm
// (nk_lsdyna_lengths.cpp); a member longer than it (not the last) is
// damaged, and the largest member is not taken from such a member. A
// member before the segment's last that holds the end marker is damaged
// too, whatever its length, not cut: no state keeps words from it. Where
// no length is confirmed, no state of the segment that runs over members
// is kept, and the first member whose length departs is named. A state that ran over
// is kept only when what follows it lies where the family says: the next
// state's time, finite and above its own, or the end marker; and a time
// word vouches for it only where the next time word agrees. Where two
// disagree, every time word after the later in the segment judges which
// is out of order (JudgeDisagreement): the later (its member is damaged), or the earlier
// ones (the states end before the first state with words in the member
// that holds the first of them); the damaged member is named. So the
// states a segment keeps are listed only when it ends, or the walk stops,
// from one place (ListKept). Everything else ends at a member's end: a
// member that ends inside a state, or a member that is not the family's
// last ending at a state's end without the end marker, is cut there; the
// last member ending at a state's end without it is whole (a run still
// writing), and no warning is given.
//
// A zero time word asks whether the member's words are zeros from it to the
// member's end: a run of zeros that begins inside a state and goes on past
// its end drops that state, as one from its time word does (a state may end
// with zeros of its own only where its member ends with it), and a member
// of nothing but zeros is named so. Inside a state zeros are values (a
// model at rest, a rigid part): a member that lies wholly inside one state
// is not read. The checks read only the words the walk reads anyway, the
// member's last word after its end marker (a base file's where it is not
// whole blocks), a member's end back to its last word that is not zero
// where a time word is zero or a member is short of the writer's length,
// the time words after two that disagree, where a segment's members have
// more than one length, the time words each length puts where states
// begin, and, where the walk stops in a segment whose members' shared
// length was taken unread, its last member's end.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "readers/nk_lsdyna_format.h"

class LSDynaStateWalk {
public:
    // Lists a state: the member it begins in, its word offset there and its
    // time. False when the reader leaves it out (it is not counted).
    using AddState = std::function<bool(int iFile, int64_t iOffset, float fTime)>;
    // Reads the header of base file iBase: the size of its states and the
    // word, counted from its start, at which they begin (perhaps in a later
    // member). False, with its message, when the open must fail.
    using ReadSegment = std::function<bool(int iBase, int64_t *pS, int64_t *piStatesAt)>;

    LSDynaStateWalk(const std::vector<LSDynaFamilyFile> *pFiles, int iFormat, bool bSwap,
                    AddState add);

    // Walks every member in order. False when the open must fail: a segment
    // could not be read, or the first base file ends inside its geometry, or
    // its geometry ran on over members and nothing after it shows it whole
    // (the error names it).
    bool Run(const ReadSegment &segment);
    // The first segment's geometry ended inside the family's whole words.
    bool FirstGeometryComplete() const { return m_bFirstGeometryComplete; }

private:
    // The signs of damage; Report gives each its text.
    enum class Sign {
        None,
        PartWord,   // a member that is not a whole number of words
        Geometry,   // a base file that ends inside its geometry
        Zeros,      // a member of nothing but zeros
        ZerosFrom,  // zeros from inside a state or its time word to the member's end
        TimeNotNumber,
        TimeBelow,
        TimeSame,
        // A time that is not a number after a state that ran on over members.
        FollowedNotNumber,
        // Two time words that disagree where the words cannot tell which is
        // damaged: the member of the first earlier time word and the later's.
        Disagree,
        // The later, shown out of order by the time words after it (the
        // member that holds it is damaged): below the earlier, or its own.
        LaterBelow,
        LaterSame,
        AfterMarker,     // words that are not zero after a member's end marker
        CutAfterMarker,  // a member of 512-word blocks cut short after its marker
        // Why a member's words end where they do (MemberEndSign):
        InsideState,    // inside a state that does not run on
        NoMarker,       // at a state's end without the end marker, members follow
        CutShort,       // short of the 512-word blocks the writer's members are
        ShortSplit,     // shorter than the members a splitting writer fills
        ShortOfBase,    // shorter than the base file, which alone has the writer's length
        ShortFromHere,  // the same, and so is every member after it
        Longer,         // longer than the writer's member length, not the last
        HoldsMarker,    // a member before the family's last that ends with the end marker
        OpenEnd         // the family's last, at a state's end without the marker: no damage
    };
    // A state read but not yet listed: it is kept once what follows it
    // shows it whole.
    struct Pending {
        bool bHeld = false;
        bool bRanOver = false;  // its words run on over its member's end
        int iFile = 0;
        int64_t iOffset = 0;
        float fTime = 0.0f;
        int iNumber = 0;  // its number among the states read in order
    };
    // A state shown whole, listed when its segment ends or the walk stops:
    // until then a later time word may show its own damaged, or a damaged
    // member it has words in (iEndFile the last) end it.
    struct Kept {
        int iFile;
        int64_t iOffset;
        float fTime;
        int iEndFile;
        int iNumber;
    };
    // What follows from a writer's member length: the family's largest
    // member not longer than it, the count of those that are not whole
    // blocks, and whether only base files have it.
    struct Lengths {
        int64_t iFilled = 0;
        int64_t iLargest = 0;
        int iNotWholeBlocks = 0;
        bool bFilledByBase = false;
    };
    // A length the members of a segment share, as the count of members
    // would rank it: its members, whether the base file has it, the first.
    struct Candidate {
        int64_t iWords;
        int iVotes;
        bool bBase;
        int iFirst;
    };
    // Which of two time words that disagree the family's words show out of
    // order.
    enum class Disagreement { None, Later, Undecided };

    int64_t Words(int i) const { return (*m_pFiles)[(size_t)i].Words(m_iWordSize); }
    bool PartWord(int i) const { return (*m_pFiles)[(size_t)i].PartWord(m_iWordSize); }
    bool Base(int i) const { return (*m_pFiles)[(size_t)i].bBaseFile != 0; }
    bool WholeBlocks(int i) const { return (*m_pFiles)[(size_t)i].WholeBlocks(m_iWordSize); }
    bool Last(int i) const { return i + 1 == (int)m_pFiles->size(); }
    // A numbered member, not the family's last, longer than the writer's
    // member length: damaged.
    bool Longer(int i) const { return !Base(i) && !Last(i) && Words(i) > m_iFilled; }
    bool Writer() const { return m_S > m_iLargest; }
    // The writer's member length (nk_lsdyna_lengths.cpp).
    void SortLengths();
    Lengths LengthsFor(int64_t iFilled) const;
    void Use(const Lengths &l);
    void JudgeSegmentLengths();
    std::vector<Candidate> SegmentCandidates() const;
    void JudgeAt(int i, int64_t o);
    // How the family's words, read with a member length, end: confirming
    // it, inside a state (a cut), or contradicting it.
    enum class LengthRead { Confirmed, Cut, Contradicted };
    LengthRead ReadWithLength(int i, int64_t o, int64_t iLength, int *piRead);
    bool LastEndsWithMarker();
    bool ConfirmedLength(int i, int64_t o, int64_t *piLength);
    std::pair<int, Sign> Departing() const;
    void WarnDeparting();
    void CheckSegmentEnd();
    static bool RanksBefore(const Candidate &a, const Candidate &b);
    // The walk.
    bool StartSegment(int iBase, int64_t S, int64_t iStatesAt);
    void EndOfFamily();
    void ReadMember(int i);
    void ReadTimes(int i, int64_t o);
    bool WhatFollows(int i, int64_t o, LSDynaTimeWord eWord, float fTime);
    void EndMarkerRead(int i, int64_t o);
    void MemberEnds(int i, int64_t o);
    void Keep(bool bRanOver = false);
    void Drop() { m_Pending.bHeld = false; }
    void EndBefore(int iMember);
    void ListKept();
    bool AnyKept() const { return m_iStates > 0 || !m_Kept.empty(); }
    Disagreement JudgeDisagreement(int i, int64_t o, float fTime, int *piFirstFile,
                                   int *piFirstState);
    bool EndAtDisagreement(int i, int64_t o, float fTime);
    LSDynaTimeWord NextTimeWord(int *pi, int64_t *po, float *pfTime);
    // The checks, each returning its sign (None: no damage).
    Sign GeometrySign(int iBase, int64_t iStatesAt) const;
    Sign TimeSign(float fTime) const;
    Sign ZeroTimeSign(int i, int64_t o);
    Sign RunOverSign(int i, int64_t o);
    Sign AfterMarkerSign(int i, int64_t o);
    Sign MemberEndSign(int i) const;
    Sign CutSign(int i) const;
    bool CutShort(int i) const;
    bool EndsWithMarker(int i);
    bool HoldsMarker(int j);
    void EndInsideState(int j);
    void Warn(int i, Sign eSign);
    void Report();
    NKString NextName() const;
    void WarnMissing();

    const std::vector<LSDynaFamilyFile> *m_pFiles;
    int m_iWordSize;
    AddState m_Add;
    LSDynaTimeReader m_Times;
    int m_iSegments = 0;
    int m_iBase = 0;
    int m_iSegmentEnd = 0;  // the member after the segment's last
    int64_t m_S = 1;
    int64_t m_iLargest = 0;        // words of the family's largest member, not longer
    int64_t m_iFilled = 0;         // the writer's member length in words
    bool m_bFilledByBase = false;  // no numbered member has that length, a base file has
    int m_iNotWholeBlocks = 0;     // members that are not whole 512-word blocks, not longer
    // The lengths, judged once for the family: of numbered members before
    // its last (words, 1 where not whole blocks), in order of length, with
    // the count of those not whole blocks up to each; the largest of the
    // other members and their count not whole blocks; where each lies
    // wholly in a member, what the members share.
    std::vector<std::pair<int64_t, int>> m_Numbered;
    std::vector<int> m_NotWholeUpTo;
    int64_t m_iOthersLargest = 0;
    int m_iOthersNotWhole = 0;
    Lengths m_Plain;
    std::vector<Candidate> m_Candidates;  // the segment's, where its words must decide
    bool m_bCheckEnd = false;             // its members' shared length taken unread
    int m_iFirstFile = -1;                // where the segment's first state was read
    int64_t m_iFirstAt = 0;
    int m_iLastEndsWithMarker = -1;  // the segment's last member ends with it (-1: not read)
    int64_t m_iCarry = 0;            // where the next state begins in the next member
    int64_t m_iGeometryLeft = 0;
    bool m_bGeometryRanOver = false;  // the next word read must show it whole
    bool m_bMust = false;             // the states go on in the next member
    bool m_bStop = false;
    bool m_bFailed = false;  // the first geometry is not whole: the open fails
    bool m_bFirstGeometryComplete = false;
    bool m_bMarkerSeen = false;  // a numbered member of the segment ended with it
    int m_iExpect = 1;           // the member number that must come next
    int m_iStates = 0;           // states listed
    float m_fLastListed = 0.0f;
    float m_fLastTime = 0.0f;  // the time of the last state read
    bool m_bAnyTime = false;
    int m_iLastTimeFile = 0;  // the member that holds it
    int m_iRead = 0;          // states whose time was read and found in order
    int m_iNamedState = 0;    // the state a time sign names
    int m_iNamedLater = 0;    // and the later state whose time shows it
    int m_iOtherFile = -1;
    bool m_bLaterToEnd = false;  // no time word after the later is above the earlier  // the
                                 // later's member, where the words cannot tell
    // What ends the walk, reported once the states before it are listed:
    // the member and its sign, or the member that is missing.
    int m_iStopFile = -1;
    Sign m_eStop = Sign::None;
    NKString m_szMissing;
    Pending m_Pending;
    std::vector<Kept> m_Kept;
};
