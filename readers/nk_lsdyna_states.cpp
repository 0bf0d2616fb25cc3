// readers/nk_lsdyna_states.cpp -- one state of an LS-DYNA plot database in
// memory, read only while the family still holds the words the open listed
// for it, the table of result quantities the database offers, and the
// turning of a quantity of the current state into scalar and vector results
// (see nk_lsdyna.h). Element values go to nodes by averaging over the
// elements at each node.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <memory>

#include "core/nk_element_types.h"
#include "core/nk_math.h"
#include "core/nk_mesh.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_numeric.h"
#include "readers/nk_fld_curve.h"
#include "readers/nk_lsdyna.h"
#include "readers/nk_lsdyna_listed.h"

namespace {

constexpr uint32_t kSTS = NK_DYNA_SOLIDS | NK_DYNA_THICK_SHELLS | NK_DYNA_SHELLS;
constexpr uint32_t kTS = NK_DYNA_THICK_SHELLS | NK_DYNA_SHELLS;

struct ResultRow {
    uint8_t bAvailable;
    uint32_t uMask;
    int iCategory;
    const char *pszName;
};

// Rows 0-2 the vector kinds, row k + 3 the scalar kind k.
ResultRow sg_Table[45] = {{0, NK_DYNA_NODES, 1, "Displacement"},
                          {0, NK_DYNA_NODES, 3, "Velocity"},
                          {0, NK_DYNA_NODES, 3, "Acceleration"},
                          {0, kSTS, 5, "X Axis Stress"},
                          {0, kSTS, 5, "Y Axis Stress"},
                          {0, kSTS, 5, "Z Axis Stress"},
                          {0, kSTS, 5, "XY Shear Stress"},
                          {0, kSTS, 5, "YZ Shear Stress"},
                          {0, kSTS, 5, "ZX Shear Stress"},
                          {0, kSTS, 5, "Von Mises Effective Stress"},
                          {0, kSTS, 5, "Maximum Principal Stress"},
                          {0, kSTS, 5, "Second  Principal Stress"},
                          {0, kSTS, 5, "Minimum Principal Stress"},
                          {0, kSTS, 5, "Maximum Shear Stress"},
                          {0, kSTS, 5, "Pressure/Average Stress"},
                          {0, kSTS, 6, "X Axis Strain"},
                          {0, kSTS, 6, "Y Axis Strain"},
                          {0, kSTS, 6, "Z Axis Strain"},
                          {0, kSTS, 6, "XY Shear Strain"},
                          {0, kSTS, 6, "YZ Shear Strain"},
                          {0, kSTS, 6, "ZX Shear Strain"},
                          {0, kSTS, 6, "Effective Plastic Strain"},
                          {0, kTS, 6, "Local Maximum Principal Strain"},
                          {0, kTS, 6, "Local Minimum Principal Strain"},
                          {0, kTS, 6, "FLD"},
                          {0, NK_DYNA_SHELLS, 99, "Internal Energy Density"},
                          {0, NK_DYNA_SHELLS, 99, "Shell Thickness"},
                          {0, NK_DYNA_NODES, 7, "Temperature"},
                          {0, NK_DYNA_NODES, 4, "X Coordinate"},
                          {0, NK_DYNA_NODES, 4, "Y Coordinate"},
                          {0, NK_DYNA_NODES, 4, "Z Coordinate"},
                          {0, NK_DYNA_NODES, 1, "Norm Displacement"},
                          {0, NK_DYNA_NODES, 1, "X Displacement"},
                          {0, NK_DYNA_NODES, 1, "Y Displacement"},
                          {0, NK_DYNA_NODES, 1, "Z Displacement"},
                          {0, NK_DYNA_NODES, 3, "Norm Velocity"},
                          {0, NK_DYNA_NODES, 3, "X Velocity"},
                          {0, NK_DYNA_NODES, 3, "Y Velocity"},
                          {0, NK_DYNA_NODES, 3, "Z Velocity"},
                          {0, NK_DYNA_NODES, 3, "Norm Acceleration"},
                          {0, NK_DYNA_NODES, 3, "X Acceleration"},
                          {0, NK_DYNA_NODES, 3, "Y Acceleration"},
                          {0, NK_DYNA_NODES, 3, "Z Acceleration"},
                          {0, NK_DYNA_SOLIDS, 99, "Additional Brick Variable "},
                          {0, kTS, 99, "Additional Shell Variable "}};

LSDynaStateData sg_State;
int sg_iCurrentState = -1;
constexpr float U = NK_UNDEFINED_VALUE;

// Reads n floats into v; false when short.
bool ReadArray(LSDynaStream *s, std::vector<float> *v, int64_t n)
{
    v->assign((size_t)std::max<int64_t>(n, 0), U);
    return n <= 0 || s->ReadFloats(v->data(), n) == n;
}

// Shells of a database with material types: the file holds words only for
// the shells of deformable materials; rigid ones get undefined words.
bool ReadShells(LSDynaStream *s, const LSDynaHeader &h, int iBase, std::vector<float> *pShells)
{
    int64_t nv = h.w[NK_DW_NV2D], n4 = h.NEL4();
    if (h.MATTYP != 1 || h.NUMMAT < 1 || h.NUMRBE <= 0) return ReadArray(s, pShells, n4 * nv);
    LSDynaControlData &g = g_LSDynacontrolData;
    std::vector<int> types((size_t)h.NUMMAT), mats((size_t)n4);
    LSDynaStream t(&g.files, g.iFormat, g.bSwap);
    int64_t iShellStart = h.iHeaderWords + (int64_t)h.NUMNP() * h.NDIM + 9LL * h.NEL8() +
                          9LL * h.NELT() + 6LL * h.NEL2();
    if (!t.Seek(iBase, h.iMaterialTypesAt) || t.ReadInts(types.data(), h.NUMMAT) != h.NUMMAT)
        return false;
    std::vector<int> shellWords((size_t)(5 * n4));
    if (!t.Seek(iBase, iShellStart) || t.ReadInts(shellWords.data(), 5 * n4) != 5 * n4)
        return false;
    std::vector<float> packed;
    if (!ReadArray(s, &packed, (n4 - h.NUMRBE) * nv)) return false;
    pShells->assign((size_t)(n4 * nv), U);
    size_t iNext = 0;
    for (int64_t e = 0; e < n4; e++) {
        int m = shellWords[(size_t)(5 * e + 4)] - 1;
        if (m >= 0 && m < h.NUMMAT && types[(size_t)m] == 20) continue;
        if (iNext + (size_t)nv > packed.size()) break;
        std::copy_n(packed.begin() + (std::ptrdiff_t)iNext, nv,
                    pShells->begin() + (std::ptrdiff_t)(e * nv));
        iNext += (size_t)nv;
    }
    return true;
}

// The refusal of a state whose coordinates the check found bad: a node's
// not finite, or every one zero (no model has all its nodes at one point; a
// member of zeros has), named by the member they lie in.
void ReportBadCoordinates(int iState)
{
    const LSDynaControlData &g = g_LSDynacontrolData;
    const LSDynaStateInfo &info = g.states[(size_t)iState];
    if (info.iZeroCoordinatesFile >= 0) {
        NKPrintError(
            NKString::FromFormat("LS-DYNA file %s: state %d is refused, the coordinates of "
                                 "every node are zero.",
                                 g.files[(size_t)info.iZeroCoordinatesFile].szFileName.GetText(),
                                 iState + 1)
                .GetText());
        return;
    }
    NKPrintError(NKString::FromFormat("LS-DYNA file %s: state %d is refused, the coordinates of "
                                      "node %lld are not finite.",
                                      g.files[(size_t)info.iFileIndex].szFileName.GetText(),
                                      iState + 1, (long long)info.iBadNode)
                     .GetText());
}

// Whether there are coordinates and every one is zero; the first word that
// is not zero ends the search (a real state's first, as a rule).
bool AllZero(const std::vector<float> &coords)
{
    return !coords.empty() &&
           std::all_of(coords.begin(), coords.end(), [](float f) { return f == 0; });
}

bool CoordinatesBad(const LSDynaStateInfo &info)
{
    return info.iBadNode > 0 || info.iZeroCoordinatesFile >= 0;
}

// The member that holds most of the n coordinate words of a state, which
// begin at word iFirst of its first member (where they run over a member's
// end, the few on the other side may be zeros of nodes on an axis).
int CoordinatesMember(const LSDynaStateInfo &info, int64_t iFirst, int64_t n)
{
    const LSDynaControlData &g = g_LSDynacontrolData;
    int iMost = info.iFileIndex;
    int64_t iMostWords = 0;
    LSDynaWordPieces pieces(g.files, g.iWordSize, info.iFileIndex, iFirst, n);
    for (LSDynaWordPiece p; pieces.Next(&p);)
        if (p.iWords > iMostWords) iMost = p.iFile, iMostWords = p.iWords;
    return iMost;
}

// Records the check of a state's coordinates (NDIM words a node, read from
// word iFirst of its first member); false, reported, when one is not finite
// or every one is zero.
bool RecordCoordinateCheck(int iState, const std::vector<float> &coords, int iDim, int64_t iFirst)
{
    LSDynaStateInfo &info = g_LSDynacontrolData.states[(size_t)iState];
    int64_t iAt = iDim > 0 ? NKFirstNotFinite(coords.data(), (int64_t)coords.size()) : -1;
    info.iBadNode = iAt < 0 ? 0 : iAt / iDim + 1;
    info.iZeroCoordinatesFile = info.iBadNode == 0 && AllZero(coords)
                                    ? CoordinatesMember(info, iFirst, (int64_t)coords.size())
                                    : -1;
    if (!CoordinatesBad(info)) return true;
    ReportBadCoordinates(iState);
    return false;
}

// The refusal of a state whose words in member iFile are no longer those the
// open listed.
void ReportChanged(int iState, int iFile)
{
    const LSDynaControlData &g = g_LSDynacontrolData;
    const char *pszFile = iFile >= 0 && iFile < (int)g.files.size()
                              ? g.files[(size_t)iFile].szFileName.GetText()
                              : g.states[(size_t)iState].szFileName.GetText();
    NKLSDynaReportChanged(pszFile, NKString::FromFormat("state %d is", iState + 1).GetText());
}

// The members the last check looked into, each held open by a time reader
// of its own (a descriptor and its block) while the family is open: a check
// costs a read a word, no stat, and the next state's check, which begins in
// the member the state before it ended in, finds that one open; the read
// after a check reads every member it holds through its descriptor. A check
// that passes lets go of the members its state does not cover; at most
// kMostHeld are held (a state over more members has the others opened by
// the read).
struct HeldMember {
    int iFile;
    std::unique_ptr<LSDynaTimeReader> pReader;
};
std::vector<HeldMember> sg_Held;
constexpr size_t kMostHeld = 16;

// The time reader that holds member iFile; made when none does (it opens
// the member at its first read).
LSDynaTimeReader &Held(int iFile)
{
    for (HeldMember &m : sg_Held)
        if (m.iFile == iFile) return *m.pReader;
    if (sg_Held.size() >= kMostHeld) sg_Held.erase(sg_Held.begin());
    const LSDynaControlData &g = g_LSDynacontrolData;
    sg_Held.push_back({iFile, std::make_unique<LSDynaTimeReader>(&g.files, g.iFormat, g.bSwap)});
    return *sg_Held.back().pReader;
}

// Lends stream s the descriptor of every member held open.
void LendHeld(LSDynaStream *s)
{
    for (const HeldMember &m : sg_Held)
        s->UseDescriptor(m.iFile, m.pReader->OpenDescriptor(m.iFile));
}

// Whether the state's words are still those the open listed, as far as its
// first and last words show: its time word still holds the listed time and
// the last word it has in each member it covers is still there (a member
// that grew keeps them). False, reported naming the member, when not. The
// words are read afresh: a block read for an earlier check may be stale.
bool StateWordsKept(int iState)
{
    const LSDynaControlData &g = g_LSDynacontrolData;
    const LSDynaStateInfo &info = g.states[(size_t)iState];
    for (HeldMember &m : sg_Held) m.pReader->DropBlock();
    float fWord;
    const int f = info.iFileIndex;
    if (Held(f).Read(f, info.iOffset, &fWord) != LSDynaTimeWord::Time ||
        !NKLSDynaSameTime(fWord, info.fTime)) {
        ReportChanged(iState, f);
        return false;
    }
    LSDynaWordPieces pieces(g.files, g.iWordSize, f, info.iOffset, info.iSize);
    int iEnd = f;  // past the last member the state covers
    for (LSDynaWordPiece p; pieces.Next(&p); iEnd = p.iFile + 1) {
        if (p.iWords > 0 && Held(p.iFile).Read(p.iFile, p.iFirst + p.iWords - 1, &fWord) ==
                                LSDynaTimeWord::Missing) {
            ReportChanged(iState, p.iFile);
            return false;
        }
    }
    // The members the state covers stay held, the others go.
    sg_Held.erase(
        std::remove_if(sg_Held.begin(), sg_Held.end(),
                       [&](const HeldMember &m) { return m.iFile < f || m.iFile >= iEnd; }),
        sg_Held.end());
    return true;
}

}  // namespace

const LSDynaStateData &NKLSDynaGetStateData(void) { return sg_State; }

bool NKLSDynaCheckStateCoordinates(int iState)
{
    LSDynaControlData &g = g_LSDynacontrolData;
    if (iState < 0 || iState >= (int)g.states.size()) return true;
    if (!StateWordsKept(iState)) return false;
    const LSDynaStateInfo &info = g.states[(size_t)iState];
    if (CoordinatesBad(info)) ReportBadCoordinates(iState);
    if (info.iBadNode >= 0) return !CoordinatesBad(info);
    LSDynaHeader h;
    if (!NKLSDynaReadHeader(info.iBaseFileIndex, &h)) return true;
    std::vector<float> coords;
    LSDynaStream s(&g.files, g.iFormat, g.bSwap);
    LendHeld(&s);
    const int64_t iFirst = info.iOffset + 1 + h.w[NK_DW_NGLBV];
    if (!s.Seek(info.iFileIndex, iFirst) ||
        !ReadArray(&s, &coords, h.w[NK_DW_IU] == 1 ? h.NUMNP() * h.NDIM : 0))
        return true;
    return RecordCoordinateCheck(iState, coords, h.NDIM, iFirst);
}

int NKLSDynaGetCurrentState(void) { return sg_iCurrentState; }

namespace {

// Reads the words of state iState into *pState: true when every word the
// open listed for it was read; else false with *piFile the member the read
// came short in.
bool ReadStateWords(const LSDynaStateInfo &info, LSDynaStateData *pState, float *pfTime,
                    int *piFile)
{
    LSDynaControlData &g = g_LSDynacontrolData;
    LSDynaStateData &d = *pState;
    const LSDynaHeader &h = d.header;
    LSDynaStream s(&g.files, g.iFormat, g.bSwap);
    // The members the check holds open are read without opening them again.
    LendHeld(&s);
    int64_t n = h.NUMNP(), nd = n * h.NDIM;
    std::vector<float> time, mass;
    // Deletion words are floats in every format; 0 means deleted.
    int64_t iDel = h.MDLOPT == 1   ? n
                   : h.MDLOPT == 2 ? (int64_t)h.NEL8() + h.NELT() + h.NEL4() + h.NEL2()
                                   : 0;
    bool bOk = s.Seek(info.iFileIndex, info.iOffset) && ReadArray(&s, &time, 1) &&
               ReadArray(&s, &d.globals, h.w[NK_DW_NGLBV]) &&
               ReadArray(&s, &d.coords, h.w[NK_DW_IU] == 1 ? nd : 0) &&
               ReadArray(&s, &d.temperatures, h.IT == 1 ? n : 0) &&
               ReadArray(&s, &mass, h.bMassScaling ? n : 0) &&
               ReadArray(&s, &d.velocities, h.w[NK_DW_IV] == 1 ? nd : 0) &&
               ReadArray(&s, &d.accelerations, h.w[NK_DW_IA] == 1 ? nd : 0) &&
               ReadArray(&s, &d.solids, (int64_t)h.NEL8() * h.w[NK_DW_NV3D]) &&
               ReadArray(&s, &d.thickShells, (int64_t)h.NELT() * h.w[NK_DW_NV3DT]) &&
               ReadArray(&s, &d.beams, (int64_t)h.NEL2() * h.w[NK_DW_NV1D]) &&
               ReadShells(&s, h, info.iBaseFileIndex, &d.shells) &&
               ReadArray(&s, &d.deletion, iDel);
    *piFile = bOk ? info.iFileIndex : s.CurrentFile();
    *pfTime = bOk ? time[0] : 0.0f;
    return bOk;
}

}  // namespace

bool NKLSDynaReadState(int iState, bool bCheckCoordinates)
{
    LSDynaControlData &g = g_LSDynacontrolData;
    if (iState < 0 || iState >= (int)g.states.size()) return false;
    const LSDynaStateInfo &info = g.states[(size_t)iState];
    // A state found bad before is refused without a read.
    if (bCheckCoordinates && CoordinatesBad(info)) {
        ReportBadCoordinates(iState);
        return false;
    }
    // The state is read beside the current one, which a refused read keeps.
    LSDynaStateData state;
    if (!NKLSDynaReadHeader(info.iBaseFileIndex, &state.header)) return false;
    float fTime;
    int iFile;
    // Its words are checked with the read itself: all of them read, and the
    // first still the time the open listed.
    if (!ReadStateWords(info, &state, &fTime, &iFile) || !NKLSDynaSameTime(fTime, info.fTime)) {
        ReportChanged(iState, iFile);
        return false;
    }
    // The coordinates are checked the first time the state is read; that
    // they are not all zero at every read (a member zeroed since), which
    // costs a word as a rule.
    if (bCheckCoordinates && (info.iBadNode < 0 || AllZero(state.coords)) &&
        !RecordCoordinateCheck(iState, state.coords, state.header.NDIM,
                               info.iOffset + 1 + state.header.w[NK_DW_NGLBV]))
        return false;
    state.fTime = fTime;
    sg_State = std::move(state);
    sg_iCurrentState = iState;
    return true;
}

void NKLSDynaForgetState(void)
{
    sg_State.Clear();
    sg_iCurrentState = -1;
    sg_Held.clear();
}

// ---- The result table ------------------------------------------------------------------

namespace {

int SolidRest(const LSDynaHeader &h)
{
    return h.w[NK_DW_NV3D] - h.w[NK_DW_NEIPH] - (h.ISTRN >= 1 ? 6 : 0);
}

int ExpandedCount(int iKind)
{
    const LSDynaControlData &g = g_LSDynacontrolData;
    int n = iKind == 40 ? g.NEIPH : iKind == 41 ? g.NEIPS : 1;
    return std::max(n, 1);
}

}  // namespace

void NKLSDynaClearAvailableResults(void)
{
    for (ResultRow &r : sg_Table) r.bAvailable = 0;
}

void NKLSDynaSetAvailableResults(void)
{
    NKLSDynaClearAvailableResults();
    LSDynaControlData &g = g_LSDynacontrolData;
    if (g.bGeometryOnly || g.states.empty()) return;
    LSDynaHeader h;
    if (!NKLSDynaReadHeader(g.states[0].iBaseFileIndex, &h)) return;
    auto Set = [](int iFirst, int iLast) {
        for (int k = iFirst; k <= iLast; k++) sg_Table[k + 3].bAvailable = 1;
    };
    bool bS = h.NEL4() - (h.MATTYP ? h.NUMRBE : 0) >= 1 && h.w[NK_DW_NV2D] >= 1;
    bool bT = h.NELT() >= 1 && h.w[NK_DW_NV3DT] >= 1;
    bool bSolid = h.NEL8() >= 1 && h.w[NK_DW_NV3D] >= 1;
    bool bStressShell = (bS || bT) && h.w[NK_DW_IOSHL1] == 1000;
    if (h.w[NK_DW_IU] == 1) sg_Table[0].bAvailable = 1, Set(25, 31);
    if (h.w[NK_DW_IV] == 1) sg_Table[1].bAvailable = 1, Set(32, 35);
    if (h.w[NK_DW_IA] == 1) sg_Table[2].bAvailable = 1, Set(36, 39);
    if (h.IT == 1) Set(24, 24);
    // The extra values are words of each element's record: a count the
    // record cannot hold comes from a damaged header and would name
    // millions of scalars.
    if (h.NEL8() > 0 && h.w[NK_DW_NEIPH] > 0 && h.w[NK_DW_NEIPH] <= h.w[NK_DW_NV3D]) Set(40, 40);
    bool bShells = h.NEL4() - (h.MATTYP ? h.NUMRBE : 0) >= 1;
    int iShellWords = std::max(bShells ? h.w[NK_DW_NV2D] : 0, h.NELT() > 0 ? h.w[NK_DW_NV3DT] : 0);
    if ((h.NELT() > 0 || bShells) && h.w[NK_DW_NEIPS] > 0 && h.w[NK_DW_NEIPS] <= iShellWords)
        Set(41, 41);
    if (bStressShell || (bSolid && SolidRest(h) >= 6)) Set(0, 11);
    if (bStressShell || (bSolid && (SolidRest(h) == 7 || SolidRest(h) == 1))) Set(18, 18);
    if ((bS || bT || bSolid) && h.ISTRN >= 1) Set(12, 17);
    if ((bS || bT) && h.ISTRN >= 1) Set(19, 21);
    if (h.NEL4() - (h.MATTYP ? h.NUMRBE : 0) >= 1 && h.w[NK_DW_IOSHL4] == 1000) Set(22, 23);
}

bool NKLSDynaIsScalarAvailable(int iKind)
{
    return iKind >= 0 && iKind <= 41 && sg_Table[iKind + 3].bAvailable;
}
const char *NKLSDynaKindName(int iKind)
{
    return iKind >= 0 && iKind <= 41 ? sg_Table[iKind + 3].pszName : "";
}
uint32_t NKLSDynaKindMask(int iKind)
{
    return iKind >= 0 && iKind <= 41 ? sg_Table[iKind + 3].uMask : 0;
}
bool NKLSDynaIsVectorAvailable(int iKind)
{
    return iKind >= 0 && iKind <= 2 && sg_Table[iKind].bAvailable;
}
const char *NKLSDynaVectorName(int iKind)
{
    return iKind >= 0 && iKind <= 2 ? sg_Table[iKind].pszName : "";
}

bool NKLSDynaScalarIndexToKind(int iIndex, int *piKind, int *piSub)
{
    for (int k = 0; k <= 41 && iIndex >= 0; k++) {
        if (!sg_Table[k + 3].bAvailable) continue;
        int n = ExpandedCount(k);
        if (iIndex < n) {
            *piKind = k;
            *piSub = iIndex;
            return true;
        }
        iIndex -= n;
    }
    return false;
}

int NKLSDynaGetNumScalars(void)
{
    int n = 0;
    for (int k = 0; k <= 41; k++)
        if (sg_Table[k + 3].bAvailable) n += ExpandedCount(k);
    return n;
}

int NKLSDynaGetNumVectors(void)
{
    int n = 0;
    for (int k = 0; k < 3; k++) n += sg_Table[k].bAvailable;
    return n;
}

NKString NKLSDynaScalarName(int iIndex)
{
    int k, sub;
    if (!NKLSDynaScalarIndexToKind(iIndex, &k, &sub)) return NKString("");
    if (ExpandedCount(k) > 1) return NKString(sg_Table[k + 3].pszName) + (sub + 1);
    return NKString(sg_Table[k + 3].pszName);
}
