// readers/nk_lsdyna_walk.h -- the walk over the members of an LS-DYNA
// family that lists its states and reads its damage, shared by the plot
// database's scan (nk_lsdyna_scan.cpp) and the time-history database's open
// (nk_lsdyna_th_open.cpp).
//
// Each segment begins with a base file (header and geometry); the states
// follow the geometry, up to the end marker or the end of a member. A state
// is listed only when all its words lie where the family says they are. A
// member that shows damage ends the states at the last state lying wholly
// before it, with one warning that names it, and no member after it is read
// for states. Signs of damage: a size that is not a whole number of words,
// or not of 512-word blocks where every other member's is; a member that
// ends inside a state, or after its last state (or its geometry) without
// the end marker, while a later member exists or where the writer's other
// members end with the marker; a time that is not finite or lies below the
// time before it. A state runs on over a member's
// end into the next member only where the writer splits states that way: in
// a base file (whose states run on from the geometry), or where another
// numbered member of the segment ends with the words of a state rather than
// with the end marker.
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

    LSDynaStateWalk(const std::vector<LSDynaFamilyFile> *pFiles, int iFormat, bool bSwap,
                    AddState add);

    // Base file iBase begins a segment whose states of S words begin at
    // word iStatesAt from its start (perhaps in a later member).
    void StartSegment(int iBase, int64_t S, int64_t iStatesAt);
    // A numbered member of the current segment: the rest of the geometry,
    // or states.
    void ReadMember(int i);
    // After the last member: states that must go on name the missing member.
    void Finish();

    bool Stopped() const { return m_bStop; }
    // The first segment's geometry ended inside the family's whole words.
    bool FirstGeometryComplete() const { return m_bFirstGeometryComplete; }

private:
    enum class Damage { InsideState, PartWord };

    int64_t Words(int i) const { return (*m_pFiles)[(size_t)i].Words(m_iWordSize); }
    bool PartWord(int i) const { return (*m_pFiles)[(size_t)i].PartWord(m_iWordSize); }
    void GeometryEnds();
    void ReadTimes(int i, int64_t o);
    bool StateHolds(int i, int64_t o, float fTime);
    void EndMarkerRead(int i);
    void MemberEnds(int i, int64_t iCarry);
    bool StateComplete(int i, int64_t o) const;
    bool Splits(int i);
    bool WholeStateWriter(int i);
    bool CutShort(int i) const;
    bool EndsWithData(int i);
    void EndInsideState(int i);
    void WarnDamage(int i, Damage eKind);
    void WarnMissing();

    const std::vector<LSDynaFamilyFile> *m_pFiles;
    int m_iWordSize;
    AddState m_Add;
    LSDynaTimeReader m_Times;
    int m_iSegments = 0;
    int m_iBase = 0;
    int64_t m_S = 1;
    int64_t m_iCarry = 0;  // where the next state begins in the next member
    int64_t m_iGeometryLeft = 0;
    bool m_bMust = false;  // the states go on in the next member
    bool m_bStop = false;
    bool m_bFirstGeometryComplete = false;
    int m_iExpect = 1;  // the member number that must come next
    int m_iStates = 0;  // states listed
    float m_fLastListed = 0.0f;
    float m_fLastTime = 0.0f;  // the time of the segment's last state read
    bool m_bAnyTime = false;
    // Per member: -1 not looked at, 1 its last word that is not zero is
    // something other than the end marker, 0 it is the end marker.
    std::vector<int8_t> m_EndsWithData;
};
