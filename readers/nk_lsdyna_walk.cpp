// readers/nk_lsdyna_walk.cpp -- the walk over an LS-DYNA family that lists
// its states and reads its damage (see nk_lsdyna_walk.h).
#include "readers/nk_lsdyna_walk.h"

#include <cmath>
#include <utility>

#include "core/nk_string.h"

LSDynaStateWalk::LSDynaStateWalk(const std::vector<LSDynaFamilyFile> *pFiles, int iFormat,
                                 bool bSwap, AddState add)
    : m_pFiles(pFiles), m_iWordSize(iFormat == NK_DYNA_INT8 || iFormat == NK_DYNA_FLOAT8 ? 8 : 4),
      m_Add(std::move(add)), m_Times(pFiles, iFormat, bSwap), m_EndsWithData(pFiles->size(), -1)
{}

void LSDynaStateWalk::StartSegment(int iBase, int64_t S, int64_t iStatesAt)
{
    m_iSegments++;
    m_iBase = iBase;
    m_S = S;
    m_iExpect = 1;
    m_iCarry = 0;
    m_bAnyTime = false;
    const int64_t iWords = Words(iBase);
    if (iStatesAt > iWords) {
        m_iGeometryLeft = iStatesAt - iWords;
        m_bMust = true;
        // The geometry runs on past the damage: no state of it is whole.
        if (PartWord(iBase))
            WarnDamage(iBase, Damage::PartWord);
        else if (CutShort(iBase))
            WarnDamage(iBase, Damage::InsideState);
        return;
    }
    m_iGeometryLeft = 0;
    m_bMust = false;
    GeometryEnds();
    if (iStatesAt < iWords)
        ReadTimes(iBase, iStatesAt);
    else if (PartWord(iBase))
        WarnDamage(iBase, Damage::PartWord);
    else if (iBase + 1 < (int)m_pFiles->size() && (CutShort(iBase) || WholeStateWriter(iBase)))
        // Without the end marker after its geometry the base file was cut
        // where the marker was.
        WarnDamage(iBase, Damage::InsideState);
}

void LSDynaStateWalk::GeometryEnds()
{
    if (m_iSegments == 1) m_bFirstGeometryComplete = true;
}

void LSDynaStateWalk::ReadMember(int i)
{
    const LSDynaFamilyFile &f = (*m_pFiles)[(size_t)i];
    if (f.iSuffixNumber != m_iExpect && m_bMust) {
        WarnMissing();
        return;
    }
    m_iExpect = f.iSuffixNumber + 1;
    if (m_iGeometryLeft == 0) {
        ReadTimes(i, m_iCarry);
        return;
    }
    if (m_iGeometryLeft > Words(i)) {
        m_iGeometryLeft -= Words(i);
        if (PartWord(i)) WarnDamage(i, Damage::PartWord);
        return;
    }
    // The member in which the geometry ends holds no states; they begin at
    // the first word of the next.
    m_iGeometryLeft = 0;
    m_iCarry = 0;
    m_bMust = true;
    if (PartWord(i))
        WarnDamage(i, Damage::PartWord);
    else
        GeometryEnds();
}

// The states of member i from word o up to its end or the end marker.
void LSDynaStateWalk::ReadTimes(int i, int64_t o)
{
    const int64_t iWords = Words(i);
    for (; o < iWords; o += m_S) {
        // The time word lies in this member: an end marker there ends its
        // states even when fewer words than a state follow it (padding).
        float fTime = 0.0f;
        LSDynaTimeWord eWord = m_Times.Read(i, o, &fTime);
        if (eWord == LSDynaTimeWord::Missing) {
            m_bStop = true;
            return;
        }
        if (eWord == LSDynaTimeWord::EndMarker) {
            EndMarkerRead(i);
            return;
        }
        if (!StateHolds(i, o, fTime)) return;
        m_fLastTime = fTime;
        m_bAnyTime = true;
        if (m_Add(i, o, fTime)) {
            m_iStates++;
            m_fLastListed = fTime;
        }
    }
    MemberEnds(i, o - iWords);
}

// True when the state at word o of member i, at time fTime, is a state of
// the family; else the damage is named (or the states end) and false.
bool LSDynaStateWalk::StateHolds(int i, int64_t o, float fTime)
{
    if (!std::isfinite(fTime) || (m_bAnyTime && fTime < m_fLastTime)) {
        WarnDamage(i, Damage::InsideState);
        return false;
    }
    if (o + m_S <= Words(i)) return true;
    // The state runs over the member's end.
    if (!PartWord(i) && !StateComplete(i, o)) {
        EndInsideState(i);
        return false;
    }
    const bool bBase = (*m_pFiles)[(size_t)i].bBaseFile != 0;
    if (PartWord(i) || (bBase ? CutShort(i) : !Splits(i))) {
        WarnDamage(i, Damage::InsideState);
        return false;
    }
    return true;
}

// The end marker ends member i's states; a base file's go on in the next
// member. Whole states and the marker in a member shorter than its writer
// made it: it is named, and the states end there.
void LSDynaStateWalk::EndMarkerRead(int i)
{
    m_iCarry = 0;
    m_bMust = (*m_pFiles)[(size_t)i].bBaseFile != 0;
    if (PartWord(i))
        WarnDamage(i, Damage::PartWord);
    else if (CutShort(i))
        WarnDamage(i, Damage::InsideState);
}

// Member i's words end without the end marker; the next state begins
// iCarry words into the next member. Bytes short of a word end the member
// inside the next state's words. A numbered member whose last state ends at
// its end was cut there: when a member follows and the writer does not
// split states, when the writer's members are whole blocks and this one is
// not, and when it is the last and the writer's members end with the marker.
void LSDynaStateWalk::MemberEnds(int i, int64_t iCarry)
{
    m_iCarry = iCarry;
    m_bMust = iCarry > 0;
    const bool bBase = (*m_pFiles)[(size_t)i].bBaseFile != 0;
    const bool bLast = i + 1 == (int)m_pFiles->size();
    if (PartWord(i) || (iCarry == 0 && !bBase &&
                        ((!bLast && !Splits(i)) || CutShort(i) || (bLast && WholeStateWriter(i)))))
        WarnDamage(i, Damage::InsideState);
}

// True when the S words from word o of member i exist in i and the members
// that follow it directly.
bool LSDynaStateWalk::StateComplete(int i, int64_t o) const
{
    const std::vector<LSDynaFamilyFile> &files = *m_pFiles;
    int64_t iAvail = Words(i);
    for (int j = i; o + m_S > iAvail;) {
        if (j + 1 >= (int)files.size() ||
            !NKLSDynaFollowsDirectly(files[(size_t)j], files[(size_t)(j + 1)]))
            return false;
        j++;
        iAvail += Words(j);
    }
    return true;
}

// True when another numbered member of the segment, one that is not the
// family's last, ends with the words of a state: the writer splits states
// over members. Members that end their states with the end marker hold
// whole states.
bool LSDynaStateWalk::Splits(int i)
{
    const std::vector<LSDynaFamilyFile> &files = *m_pFiles;
    for (int j = m_iBase + 1; j + 1 < (int)files.size() && !files[(size_t)j].bBaseFile; j++)
        if (j != i && !PartWord(j) && EndsWithData(j)) return true;
    return false;
}

// True when another numbered member of the segment ends its states with the
// end marker: the writer writes whole states to each member.
bool LSDynaStateWalk::WholeStateWriter(int i)
{
    const std::vector<LSDynaFamilyFile> &files = *m_pFiles;
    for (int j = m_iBase + 1; j < (int)files.size() && !files[(size_t)j].bBaseFile; j++)
        if (j != i && !PartWord(j) && Words(j) > 0 && !EndsWithData(j)) return true;
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

// True when the last word of member i that is not zero (the padding after
// the states) is something other than the end marker.
bool LSDynaStateWalk::EndsWithData(int i)
{
    int8_t &known = m_EndsWithData[(size_t)i];
    if (known >= 0) return known == 1;
    known = 0;
    for (int64_t w = Words(i) - 1; w >= 0; w--) {
        float fWord = 0.0f;
        LSDynaTimeWord eWord = m_Times.Read(i, w, &fWord);
        if (eWord == LSDynaTimeWord::Time && fWord == 0.0f) continue;
        known = eWord == LSDynaTimeWord::Time ? 1 : 0;
        break;
    }
    return known == 1;
}

// A state that begins in member i runs past the end of the last member j
// that follows i directly. When nothing follows j, or a new geometry does,
// the family was cut inside the state, in j. When a numbered member follows
// after a gap, the gap is what ends the states, and the missing member is
// named (by the next member's read when it follows i).
void LSDynaStateWalk::EndInsideState(int i)
{
    const std::vector<LSDynaFamilyFile> &files = *m_pFiles;
    int j = i;
    while (j + 1 < (int)files.size() &&
           NKLSDynaFollowsDirectly(files[(size_t)j], files[(size_t)(j + 1)]))
        j++;
    m_bMust = true;
    if (j + 1 < (int)files.size() && !files[(size_t)(j + 1)].bBaseFile) {
        if (j > i) {
            m_iExpect = files[(size_t)j].iSuffixNumber + 1;
            WarnMissing();
        }
        return;
    }
    WarnDamage(j, Damage::InsideState);
}

// The one warning of the damage: it names member i and where the states
// end; no member after it is read for states.
void LSDynaStateWalk::WarnDamage(int i, Damage eKind)
{
    const char *pszMember = (*m_pFiles)[(size_t)i].szFileName.GetText();
    if (eKind == Damage::PartWord)
        NKLSDynaWarnPartWord(pszMember, m_iStates, m_fLastListed);
    else
        NKLSDynaWarnEndInsideState(pszMember, m_iStates, m_fLastListed);
    m_bMust = false;
    m_bStop = true;
}

void LSDynaStateWalk::WarnMissing()
{
    const NKString name = (*m_pFiles)[(size_t)m_iBase].szFileName +
                          NKString::FromFormat(m_iExpect < 100 ? "%02d" : "%d", m_iExpect);
    NKLSDynaWarnMissingMember(name.GetText());
    m_bStop = true;
}

void LSDynaStateWalk::Finish()
{
    if (!m_bStop && m_bMust) WarnMissing();
}
