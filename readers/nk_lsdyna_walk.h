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
// The signs, in the order a reader meets them: a base file that ends inside
// its geometry (the first one fails the open); a member that holds only
// zeros; a state time that is not a number, or not above the time before
// it; a member that holds only zeros from a state on; a member that ends
// inside a state or a word, or after its last state without the end marker;
// words after a member's end marker, or a member of 512-word blocks cut
// short after it.
//
// Geometry and states run on over a member's end into the next member only
// where the writer's own members say so: another numbered member of the
// segment, not the family's last, ends with the words of a state and holds
// no end marker while no such member ends with the end marker (the writer
// splits states), or no other member ends with the end marker at all. A
// damaged member (one with words after its marker, or only zeros) is never
// taken for that evidence.
#pragma once

#include <cstdint>
#include <functional>
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
    // could not be read, or the first base file ends inside its geometry
    // (the error names it).
    bool Run(const ReadSegment &segment);
    // The first segment's geometry ended inside the family's whole words.
    bool FirstGeometryComplete() const { return m_bFirstGeometryComplete; }

private:
    enum class Sign {
        None,
        PartWord,
        Geometry,
        Zeros,
        ZerosFrom,
        TimeNotNumber,
        TimeBelow,
        TimeSame,
        InsideState,
        RunsOff,
        AfterMarker,
        CutAfterMarker
    };
    // A member's last word that is not zero (-1: none), whether it is the
    // end marker, and whether any word of it is (-1: not looked at).
    struct Tail {
        bool bKnown = false;
        int64_t iLast = -1;
        bool bLastIsMarker = false;
        int8_t iHoldsMarker = -1;
    };

    int64_t Words(int i) const { return (*m_pFiles)[(size_t)i].Words(m_iWordSize); }
    bool PartWord(int i) const { return (*m_pFiles)[(size_t)i].PartWord(m_iWordSize); }
    bool Base(int i) const { return (*m_pFiles)[(size_t)i].bBaseFile != 0; }
    bool StartSegment(int iBase, int64_t S, int64_t iStatesAt);
    void ReadMember(int i);
    void ReadTimes(int i, int64_t o);
    void EndMarkerRead(int i, int64_t o);
    void MemberEnds(int i, int64_t iCarry);
    // The checks, each returning its sign (None: no damage).
    Sign GeometrySign(int iBase, int64_t iStatesAt);
    Sign ZerosSign(int i);
    Sign TimeSign(float fTime) const;
    Sign RunOverSign(int i, int64_t o);
    Sign ZeroTailSign(int i, int64_t o);
    Sign AfterMarkerSign(int i, int64_t o);
    Sign MemberEndSign(int i, int64_t iCarry);
    int64_t DataEnd(int i, int64_t o);
    bool Splits(int i);
    bool RunsOn(int i);
    bool WholeStateWriter(int i);
    bool Cut(int i) const;
    bool ShortSplit(int i) const;
    bool CutShort(int i) const;
    const Tail &TailOf(int i, bool bFindMarker);
    bool EndsWithData(int i)
    {
        const Tail &t = TailOf(i, false);
        return t.iLast >= 0 && !t.bLastIsMarker;
    }
    bool EndsWithMarker(int i) { return TailOf(i, false).bLastIsMarker; }
    void EndInsideState(int j);
    void Warn(int i, Sign eSign);
    NKString NextName() const;
    void WarnMissing();

    const std::vector<LSDynaFamilyFile> *m_pFiles;
    int m_iWordSize;
    bool m_bSwap;
    AddState m_Add;
    LSDynaTimeReader m_Times;
    int m_iSegments = 0;
    int m_iBase = 0;
    int64_t m_S = 1;
    int64_t m_iCarry = 0;  // where the next state begins in the next member
    int64_t m_iGeometryLeft = 0;
    int m_iRunsOff = 0;    // the member in which a state's words run out
    bool m_bMust = false;  // the states go on in the next member
    bool m_bStop = false;
    bool m_bFailed = false;  // the first geometry is not whole: the open fails
    bool m_bFirstGeometryComplete = false;
    int m_iExpect = 1;  // the member number that must come next
    int m_iStates = 0;  // states listed
    float m_fLastListed = 0.0f;
    float m_fLastTime = 0.0f;  // the time of the last state read
    bool m_bAnyTime = false;
    std::vector<Tail> m_Tails;
};
