// readers/nk_lsdyna_direct.cpp -- single element values over many states of
// an LS-DYNA plot database, read by seeking straight to each element's words
// in the family (or taken from the current state in memory). Used by the
// plots that follow one element through time and by the shell axes; the
// quantities themselves are computed by NKLSDynaElementValue
// (nk_lsdyna_values.cpp) exactly as for whole results.
#include <algorithm>

#include "core/nk_message.h"
#include "core/nk_numeric.h"
#include "readers/nk_lsdyna.h"

namespace {

constexpr int kMaxElementWords = 256;

// Where a class's words begin inside a state (after the time, the globals
// and the nodal arrays), its words per element and element count; false for
// a class the state does not hold.
bool ClassLayout(const LSDynaHeader &h, uint32_t uClass, int64_t *piStart, int *piWords,
                 int *piCount)
{
    int64_t n = h.NUMNP(), nd = n * h.NDIM;
    int64_t iNodes = 1 + h.w[NK_DW_NGLBV];
    int64_t iAfterNodes = iNodes + (h.w[NK_DW_IU] == 1 ? nd : 0) + (h.IT == 1 ? n : 0) +
                          (h.bMassScaling ? n : 0) + (h.w[NK_DW_IV] == 1 ? nd : 0) +
                          (h.w[NK_DW_IA] == 1 ? nd : 0);
    int64_t s8 = iAfterNodes, st = s8 + (int64_t)h.NEL8() * h.w[NK_DW_NV3D];
    int64_t s2 = st + (int64_t)h.NELT() * h.w[NK_DW_NV3DT];
    int64_t s4 = s2 + (int64_t)h.NEL2() * h.w[NK_DW_NV1D];
    switch (uClass) {
    case NK_DYNA_NODE_COORDS:
        *piStart = iNodes, *piWords = h.NDIM, *piCount = h.w[NK_DW_IU] == 1 ? h.NUMNP() : 0;
        return true;
    case NK_DYNA_SOLIDS:
        *piStart = s8, *piWords = h.w[NK_DW_NV3D], *piCount = h.NEL8();
        return true;
    case NK_DYNA_THICK_SHELLS:
        *piStart = st, *piWords = h.w[NK_DW_NV3DT], *piCount = h.NELT();
        return true;
    case NK_DYNA_BEAMS:
        *piStart = s2, *piWords = h.w[NK_DW_NV1D], *piCount = h.NEL2();
        return true;
    case NK_DYNA_SHELLS:
        *piStart = s4, *piWords = h.w[NK_DW_NV2D], *piCount = h.NEL4();
        return true;
    default:
        return false;
    }
}

// The position of shell e among the stored (deformable) shells of a
// database with rigid-body shells; -1 for a shell of a rigid material.
int StoredShellIndex(const LSDynaGeometry &geo, int e)
{
    auto Rigid = [&geo](int k) {
        int m = geo.shells[(size_t)k * 5 + 4] - 1;
        return m >= 0 && m < (int)geo.materialTypes.size() && geo.materialTypes[(size_t)m] == 20;
    };
    if (Rigid(e)) return -1;
    int iStored = 0;
    for (int k = 0; k < e; k++)
        if (!Rigid(k)) iStored++;
    return iStored;
}

// The words of element e of a class in state iState: from memory when the
// state is current, else read from the family. 0 words for a skipped rigid
// shell; -1 on a failed read.
int ElementWords(int iState, const LSDynaHeader &h, uint32_t uClass, int e, float *pfOut)
{
    int64_t iStart;
    int nv, n;
    if (!ClassLayout(h, uClass, &iStart, &nv, &n) || nv <= 0 || e < 0 || e >= n) return -1;
    int iTake = std::min(nv, kMaxElementWords);
    const LSDynaStateData &cur = NKLSDynaGetStateData();
    if (iState == NKLSDynaGetCurrentState() && uClass != NK_DYNA_NODE_COORDS) {
        const std::vector<float> &a = uClass == NK_DYNA_SOLIDS         ? cur.solids
                                      : uClass == NK_DYNA_THICK_SHELLS ? cur.thickShells
                                      : uClass == NK_DYNA_BEAMS        ? cur.beams
                                                                       : cur.shells;
        if ((int64_t)(e + 1) * nv > (int64_t)a.size()) return -1;
        std::copy_n(a.begin() + (std::ptrdiff_t)e * nv, iTake, pfOut);
        return iTake;
    }
    int64_t iElement = e;
    if (uClass == NK_DYNA_SHELLS && h.MATTYP == 1 && h.NUMRBE > 0) {
        const LSDynaGeometry *pGeo = NKLSDynaGetSegmentGeometry(iState);
        if (pGeo == nullptr) return -1;
        iElement = StoredShellIndex(*pGeo, e);
        if (iElement < 0) {
            NKPrintError("Attempted to read data for RBE, skipped.");
            return 0;
        }
    }
    const LSDynaControlData &g = g_LSDynacontrolData;
    const LSDynaStateInfo &info = g.states[(size_t)iState];
    LSDynaStream s(&g.files, g.iFormat, g.bSwap);
    if (!s.Seek(info.iFileIndex, info.iOffset + iStart + iElement * nv)) return -1;
    return s.ReadFloats(pfOut, iTake) == iTake ? iTake : -1;
}

// The states asked for: the list, or every state, or the current one.
bool StateList(const int *piStates, int iNumStates, std::vector<int> *pOut)
{
    int n = NKLSDynaGetNumStates();
    if (piStates != nullptr) {
        pOut->assign(piStates, piStates + std::max(iNumStates, 0));
    } else if (iNumStates == n) {
        for (int i = 0; i < n; i++) pOut->push_back(i);
    } else if (iNumStates == 1 && NKLSDynaGetCurrentState() >= 0) {
        pOut->push_back(NKLSDynaGetCurrentState());
    }
    for (int s : *pOut)
        if (s < 0 || s >= n) return false;
    return !pOut->empty();
}

}  // namespace

int NKLSDynaReadStateResult(const int *piStates, int iNumStates, const int *piKeys, int iNumKeys,
                            const int *piElements, int iNumElements, float **ppfOut,
                            uint32_t uClass, const float (*pfNodes)[8][3])
{
    std::vector<int> states;
    if (ppfOut == nullptr || piKeys == nullptr || iNumKeys < 1 ||
        !StateList(piStates, iNumStates, &states))
        return -1;
    // Each state is checked as it is read for itself: a state refused there
    // refuses the read over states too.
    for (int s : states)
        if (!NKLSDynaCheckStateCoordinates(s)) return -1;
    int ns = (int)states.size();
    float words[kMaxElementWords];
    for (int s = 0; s < ns; s++) {
        LSDynaHeader h;
        int64_t iStart;
        int nv, nClass;
        const LSDynaStateInfo &info = g_LSDynacontrolData.states[(size_t)states[(size_t)s]];
        if (!NKLSDynaReadHeader(info.iBaseFileIndex, &h) ||
            !ClassLayout(h, uClass, &iStart, &nv, &nClass))
            return -1;
        int ne = piElements != nullptr ? iNumElements : nClass;
        for (int i = 0; i < ne; i++) {
            int e = piElements != nullptr ? piElements[i] : i;
            if (e < 0 || e >= nClass) {
                NKPrintError("Internal error in reading from state database.");
                return -1;
            }
            int iGot = ElementWords(states[(size_t)s], h, uClass, e, words);
            if (iGot < 0) return -1;
            const float(*p)[3] = pfNodes != nullptr ? pfNodes[i] : nullptr;
            for (int k = 0; k < iNumKeys; k++)
                ppfOut[k][(size_t)i * ns + s] =
                    iGot == 0 ? NK_UNDEFINED_VALUE
                              : NKLSDynaElementValue(h, uClass, words, iGot, piKeys[k], p);
        }
    }
    return ns;
}
