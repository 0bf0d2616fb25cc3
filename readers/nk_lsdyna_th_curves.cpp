// readers/nk_lsdyna_th_curves.cpp -- what the open LS-DYNA time-history
// database offers as plot source 0: its category, component and series
// names, the curves of selected entities (one point per state), its own
// geometry, and the plot's defaults and titles (see nk_lsdyna_th.h).
//
// A value's word position within a state is found once per curve; derived
// components (von Mises and the other stress measures, vector lengths,
// displacements) read several words. A curve read keeps the family's files
// open across the states and reads each state's time word with its values:
// a state whose time word no longer holds the listed time, or whose words
// are no longer all there (the family changed on disk since the open),
// refuses the whole read with a message naming the member, and no curve
// is made.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unordered_map>

#include "core/nk_data_source_kind.h"
#include "core/nk_element_types.h"
#include "core/nk_math.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_plot_records.h"
#include "readers/nk_data_source.h"
#include "readers/nk_lsdyna.h"
#include "readers/nk_lsdyna_listed.h"
#include "readers/nk_lsdyna_th_data.h"

namespace {

constexpr float kUndefined = 3.4028235e38f;

// The category of the n-th entry with data; -1 when none.
int CategoryOfRank(int iRank)
{
    for (int k = 0; k < NK_TH_NUM_CATEGORIES; k++)
        if (g_LSDynaTh.abCategory[k] && iRank-- == 0) return k;
    return -1;
}

int ComponentOfRank(int iCategory, int iRank)
{
    for (int k = 0; k < NK_TH_NUM_COMPONENTS; k++)
        if (g_LSDynaTh.abComponent[iCategory][k] && iRank-- == 0) return k;
    return -1;
}

}  // namespace

int LSDynaTimeHistorySource::GetCategoryCount(void)
{
    int n = 0;
    for (int k = 0; k < NK_TH_NUM_CATEGORIES; k++) n += g_LSDynaTh.abCategory[k];
    return n;
}

char **LSDynaTimeHistorySource::GetCategoryNames(void)
{
    std::vector<NKString> names;
    for (int k = 0; k < NK_TH_NUM_CATEGORIES; k++)
        if (g_LSDynaTh.abCategory[k]) names.push_back(g_apszThCategoryNames[k]);
    return NKMakePlotNameArray(names);
}

int LSDynaTimeHistorySource::GetComponentCount(int iCategory)
{
    int k = CategoryOfRank(iCategory), n = 0;
    for (int i = 0; k >= 0 && i < NK_TH_NUM_COMPONENTS; i++) n += g_LSDynaTh.abComponent[k][i];
    return n;
}

char **LSDynaTimeHistorySource::GetComponentNames(int iCategory)
{
    int k = CategoryOfRank(iCategory);
    std::vector<NKString> names;
    for (int i = 0; k >= 0 && i < NK_TH_NUM_COMPONENTS; i++)
        if (g_LSDynaTh.abComponent[k][i]) names.push_back(g_apszThComponentNames[i]);
    return NKMakePlotNameArray(names);
}

int LSDynaTimeHistorySource::GetSeriesCount(int iCategory, int iComponent)
{
    int k = CategoryOfRank(iCategory);
    if (k < 0 || ComponentOfRank(k, iComponent) < 0) return 0;
    return (int)g_LSDynaTh.items[k].size();
}

char **LSDynaTimeHistorySource::GetSeriesNames(int iCategory, int iComponent)
{
    int k = CategoryOfRank(iCategory);
    std::vector<NKString> names;
    if (k >= 0 && ComponentOfRank(k, iComponent) >= 0)
        for (const LSDynaThItem &item : g_LSDynaTh.items[k])
            names.push_back(NKString::FromInt(item.iUserId));
    return NKMakePlotNameArray(names);
}

bool LSDynaTimeHistorySource::NeedsGeometry(void)
{
    const LSDynaHeader &h = g_LSDynaTh.header;
    bool bSame = NKGetInterfaceType() == NK_INTERFACE_LSDYNA &&
                 NKGetInterfaceNumElements() == h.NEL8() + h.NEL2() + h.NEL4() + h.NELT() &&
                 NKGetInterfaceNumNodes() == h.NUMNP();
    return !bSame;
}

// ---- Value positions -----------------------------------------------------------------

namespace {

enum { kWord, kTensor, kLength, kDisplacementLength, kMinusInitial };

// Where one item's value of one component lies in a state and how it is made.
struct ValueSpot {
    int64_t iPos = -1;  // word offset within the state; -1 when none
    int iMode = kWord;
    int iSelector = 0;  // tensor selector
    int iAxis = 0;      // initial coordinate subtracted
    int iCount = 1;     // words read
    const LSDynaThNode *pNode = nullptr;
};

// The spot at iBase + iOffset reading iCount words, when they lie inside the
// iWords words of the item (no spot otherwise).
ValueSpot Spot(int64_t iBase, int iOffset, int iWords, int iMode = kWord, int iCount = 1)
{
    ValueSpot v;
    if (iOffset >= 0 && iOffset + iCount <= iWords) v.iPos = iBase + iOffset, v.iMode = iMode;
    v.iCount = iCount;
    return v;
}

// Components 0 to 12 and 1 of an element whose stresses begin at iStress
// and whose plastic strain lies at iStrain.
ValueSpot StressSpot(int iComp, int64_t iBase, int iWords, int iStress, int iStrain)
{
    const LSDynaThControl &c = g_LSDynaTh;
    static const int kSelector[7] = {NK_TENSOR_VON_MISES,     0,
                                     NK_TENSOR_PRESSURE,      NK_TENSOR_PRINCIPAL_MAX,
                                     NK_TENSOR_PRINCIPAL_MID, NK_TENSOR_PRINCIPAL_MIN,
                                     NK_TENSOR_MAX_SHEAR};
    ValueSpot v;
    if (iComp == 1) return c.W(NK_DW_IOSHL2) == 1000 ? Spot(iBase, iStrain, iWords) : v;
    if (c.W(NK_DW_IOSHL1) != 1000 || iComp > 12) return v;
    if (iComp <= 6) {
        v = Spot(iBase, iStress, iWords, kTensor, 6);
        v.iSelector = kSelector[iComp];
        return v;
    }
    return Spot(iBase, iStress + iComp - 7, iWords);
}

// Shells and thick shells: the integration point of the selected surface.
ValueSpot ShellSpot(int iCategory, int iComp, int iIndex)
{
    const LSDynaThControl &c = g_LSDynaTh;
    bool bShell = iCategory == NK_TH_SHELLS;
    int iWords = bShell ? c.W(NK_DW_NV2D) : c.W(NK_DW_NV3DT);
    int64_t iBase = (bShell ? c.iShellResults : c.iThickResults) + (int64_t)iWords * iIndex;
    int s = NKGetShellSurface(), p2 = c.W(NK_DW_IOSHL2) == 1000 ? 1 : 0, e = c.W(NK_DW_NEIPS);
    int iStress = 0, iStrain = 0;
    if (s == 1) iStress = 0, iStrain = 6;
    if (s == 0) iStress = 6 + p2 + e, iStrain = 13 + e;
    if (s == 2) iStress = 12 + 2 * p2 + 2 * e, iStrain = 20 + 2 * e;
    if (iComp <= 12) return StressSpot(iComp, iBase, iWords, iStress, iStrain);
    ValueSpot v;
    if (!bShell) return v;
    bool bEnergy = c.W(NK_DW_IOSHL4) == 1000;
    if (iComp >= 45 && iComp <= 50 && c.abComponent[NK_TH_SHELLS][iComp] && s != 1)
        return Spot(iBase, iWords - (s == 0 ? 13 : 7) + iComp - 45, iWords);
    if (iComp == 13 && bEnergy) return Spot(iBase, iWords - (c.header.ISTRN >= 1 ? 16 : 4), iWords);
    if (iComp == 31 && bEnergy) return Spot(iBase, iWords - 1, iWords);
    return v;
}

// A node component from a vector of iDim words at iAt: the component's axis,
// its length, or (bDisplacement) either less the initial coordinates.
ValueSpot VectorSpot(int64_t iAt, int iDim, int iAxis, bool bNorm, bool bDisplacement,
                     const LSDynaThNode *pNode)
{
    ValueSpot v;
    if (bNorm) {
        v.iPos = iAt, v.iCount = iDim;
        v.iMode = bDisplacement ? kDisplacementLength : kLength;
    } else if (iAxis < iDim) {
        v.iPos = iAt + iAxis;
        v.iMode = bDisplacement ? kMinusInitial : kWord;
        v.iAxis = iAxis;
    }
    v.pNode = pNode;
    return v;
}

// Nodes: 14 temperature, 15-18 displacement, 19-22 velocity, 23-26
// acceleration, 27-29 coordinates; element nodes hold coordinates and
// velocities only.
ValueSpot NodeSpot(int iComp, int iIndex)
{
    const LSDynaThControl &c = g_LSDynaTh;
    const LSDynaThNode *pNode = &c.nodes[(size_t)iIndex];
    int iDim = c.header.NDIM;
    int64_t iCoords = -1, iVel = -1, iAcc = -1, iTemp = -1;
    if (pNode->iSource == 4) {
        int64_t p = c.iNodeBlock + (int64_t)c.iNodeStride * pNode->iPosition;
        if (c.W(NK_DW_IU) == 1) iCoords = p, p += iDim;
        if (c.header.IT == 1) iTemp = p, p += 1;
        if (c.W(NK_DW_IV) == 1) iVel = p, p += iDim;
        if (c.W(NK_DW_IA) == 1) iAcc = p;
    } else {
        int n = pNode->iSource == 1 ? 4 : 8;
        int64_t iBlock = pNode->iSource == 0   ? c.iSolidNodes
                         : pNode->iSource == 1 ? c.iShellNodes
                                               : c.iThickNodes;
        iCoords = iBlock + (7LL * pNode->iElement + 1) * n + 3 * pNode->iPosition;
        iVel = iCoords + 3 * n;
        iDim = 3;
    }
    ValueSpot v;
    if (iComp == 14 && iTemp >= 0) v.iPos = iTemp;
    if (iComp >= 15 && iComp <= 18 && iCoords >= 0)
        v = VectorSpot(iCoords, iDim, iComp - 16, iComp == 15, true, pNode);
    if (iComp >= 27 && iComp <= 29 && iCoords >= 0)
        v = VectorSpot(iCoords, iDim, iComp - 27, false, false, pNode);
    if (iComp >= 19 && iComp <= 22 && iVel >= 0)
        v = VectorSpot(iVel, iDim, iComp - 20, iComp == 19, false, pNode);
    if (iComp >= 23 && iComp <= 26 && iAcc >= 0)
        v = VectorSpot(iAcc, iDim, iComp - 24, iComp == 23, false, pNode);
    return v;
}

// Materials and globals lie among the NGLBV global words (state words 1 on).
ValueSpot GlobalSpot(int iCategory, int iComp, int iIndex)
{
    const LSDynaThControl &c = g_LSDynaTh;
    int iWords = 1 + c.W(NK_DW_NGLBV), m = c.header.NUMMAT;
    if (iCategory == NK_TH_GLOBALS) {
        if (iComp == 19) return Spot(0, 4, iWords, kLength, 3);
        int iAt = iComp == 31 ? 2 : iComp == 32 ? 3 : iComp >= 20 && iComp <= 22 ? iComp - 16 : 1;
        return Spot(0, iAt, iWords);
    }
    int iVel = 7 + 2 * m + 3 * iIndex;
    if (iComp == 31) return Spot(0, 7 + iIndex, iWords);
    if (iComp == 30) return Spot(0, 7 + m + iIndex, iWords);
    if (iComp == 19) return Spot(0, iVel, iWords, kLength, 3);
    if (iComp >= 20 && iComp <= 22) return Spot(0, iVel + iComp - 20, iWords);
    return ValueSpot();
}

// The spot of item iIndex of category iCategory for component iComp.
ValueSpot FindSpot(int iCategory, int iComp, int iIndex)
{
    const LSDynaThControl &c = g_LSDynaTh;
    if (iComp < 0 || !c.abComponent[iCategory][iComp]) return ValueSpot();
    switch (iCategory) {
    case NK_TH_BRICKS: {
        int iWords = c.W(NK_DW_NV3D);
        return StressSpot(iComp, c.iSolidResults + (int64_t)iWords * iIndex, iWords, 0, 6);
    }
    case NK_TH_SHELLS:
    case NK_TH_THICK_SHELLS:
        return ShellSpot(iCategory, iComp, iIndex);
    case NK_TH_BEAMS: {
        int iWords = c.W(NK_DW_NV1D);
        return Spot(c.iBeamResults + (int64_t)iWords * iIndex, iComp - 39, iWords);
    }
    case NK_TH_NODES:
        return NodeSpot(iComp, iIndex);
    case NK_TH_MATERIALS:
    case NK_TH_GLOBALS:
        return GlobalSpot(iCategory, iComp, iIndex);
    default:
        return ValueSpot();  // interface forces have no position
    }
}

// The value at a spot from its v.iCount words in af (room for 6).
float ValueOf(const ValueSpot &v, float *af)
{
    const float *pfInitial = v.pNode != nullptr ? v.pNode->afInitial : af;
    switch (v.iMode) {
    case kTensor:
        return NKTensorDerivedValue(v.iSelector, af);
    case kDisplacementLength:
        for (int k = 0; k < v.iCount; k++) af[k] -= pfInitial[k];
        // fall through
    case kLength:
        return std::sqrt(af[0] * af[0] + af[1] * af[1] + af[2] * af[2]);
    case kMinusInitial:
        return af[0] - pfInitial[v.iAxis];
    default:
        return af[0];
    }
}

// The value at a spot of state st; false when its words are not there.
bool ReadValue(LSDynaStream *s, const LSDynaThState &st, const ValueSpot &v, float *pfValue)
{
    float af[6] = {0, 0, 0, 0, 0, 0};
    if (!s->Seek(st.iFile, st.iOffset + v.iPos) || s->ReadFloats(af, v.iCount) != v.iCount)
        return false;
    *pfValue = ValueOf(v, af);
    return true;
}

}  // namespace

// ---- Curves ----------------------------------------------------------------------------

namespace {

// The name of a curve of category k for a user ID.
NKString CurveName(int k, int iUserId)
{
    if (k >= 0 && k <= 3) return NKString::FromFormat("elem %d", iUserId);
    if (k == NK_TH_NODES) return NKString::FromFormat("node %d", iUserId);
    if (k == NK_TH_MATERIALS) return NKString::FromFormat("mat %d", iUserId);
    if (k == NK_TH_GLOBALS) return "global";
    if (k == NK_TH_INTERFACE_FORCES) return NKString::FromFormat("iforce %d", iUserId);
    return "error";
}

// Set when the last curve read was refused (ReadRefused).
bool sg_bRefused = false;

// The refusal of a read that found member iFile changed since the open.
void ReportChanged(int iFile, int iCurves)
{
    NKLSDynaReportChanged(g_LSDynaTh.files[(size_t)iFile].szFileName.GetText(),
                          iCurves == 1 ? "the curve is" : "the curves are");
}

// Whether the words of state iState that no other read of the pass shows
// are still there: the last word it has in each member it covers (read
// alone, its own bytes), unless the next state's time word, read next,
// lies after it in that member (a file is cut, not holed, so that word
// shows every word before it). False with *piFile the member whose word
// is gone.
bool StateEndsKept(LSDynaStream *s, size_t iState, int *piFile)
{
    const LSDynaThControl &c = g_LSDynaTh;
    const LSDynaThState &st = c.states[iState];
    const LSDynaThState *pNext = iState + 1 < c.states.size() ? &c.states[iState + 1] : nullptr;
    LSDynaWordPieces pieces(c.files, c.iWordSize, st.iFile, st.iOffset, c.iStateSize);
    for (LSDynaWordPiece p; pieces.Next(&p);) {
        const int64_t iLast = p.iFirst + p.iWords - 1;
        const bool bShown = pNext != nullptr && pNext->iFile == p.iFile && pNext->iOffset > iLast;
        float fWord;
        if (!bShown && p.iWords > 0 && !s->ReadFloatAlone(p.iFile, iLast, &fWord)) {
            *piFile = p.iFile;
            return false;
        }
    }
    return true;
}

// The bytes of one read of the word stream's buffer (a page).
constexpr int64_t kBlockBytes = 4096;

// Reads the time word of state st into *pfTime. Where states are no larger
// than a block, every block a curve read covers holds a value of some
// state, so the time word comes with the first value's words in one read
// (head holds them) and costs no block and no seek of its own; in larger
// states it is read alone, its own bytes only. False with *piFile the
// member where the words ended.
bool ReadTime(LSDynaStream *s, const LSDynaThState &st, std::vector<float> *pHead, float *pfTime,
              int *piFile)
{
    const int64_t n = (int64_t)pHead->size();
    const bool bOk = n > 0 ? s->Seek(st.iFile, st.iOffset) && s->ReadFloats(pHead->data(), n) == n
                           : s->ReadFloatAlone(st.iFile, st.iOffset, pfTime);
    if (n > 0 && bOk) *pfTime = (*pHead)[0];
    *piFile = n > 0 && !bOk ? s->CurrentFile() : st.iFile;
    return bOk;
}

// Fills one point per state of every curve, reading each state's time word
// and values in one pass over the family with its files kept open. False,
// reported, when a state's time word no longer holds the time the open
// listed (bit for bit) or its words are no longer all there: the points
// are then partly filled and the caller drops the curves.
bool FillPoints(const std::vector<ValueSpot> &spots, PlotCurve **ppCurves)
{
    const LSDynaThControl &c = g_LSDynaTh;
    LSDynaStream s(&c.files, c.iFormat, c.bSwap);
    const ValueSpot &first = spots[0];
    const bool bTogether = c.iStateSize * c.iWordSize <= kBlockBytes;
    std::vector<float> head((size_t)(bTogether ? first.iPos + first.iCount : 0));
    for (size_t iState = 0; iState < c.states.size(); iState++) {
        const LSDynaThState &st = c.states[iState];
        float fTime = 0.0f;
        int iFile = st.iFile;
        bool bOk = ReadTime(&s, st, &head, &fTime, &iFile) && NKLSDynaSameTime(fTime, st.fTime);
        for (size_t i = 0; bOk && i < spots.size(); i++) {
            float fValue = kUndefined, af[6] = {0, 0, 0, 0, 0, 0};
            if (i == 0 && bTogether) {
                std::copy_n(head.begin() + first.iPos, first.iCount, af);
                fValue = ValueOf(first, af);
            } else {
                bOk = ReadValue(&s, st, spots[i], &fValue);
                iFile = s.CurrentFile();
            }
            ppCurves[i]->pPoints[iState] = {st.fTime, fValue};
        }
        if (!bOk || !StateEndsKept(&s, iState, &iFile)) {
            ReportChanged(iFile, (int)spots.size());
            return false;
        }
    }
    return true;
}

}  // namespace

int LSDynaTimeHistorySource::ReadCurves(int iCategory, int iComponent, const int *piIds, int iCount,
                                        PlotCurve **ppCurves)
{
    const LSDynaThControl &c = g_LSDynaTh;
    sg_bRefused = false;
    int k = CategoryOfRank(iCategory);
    int iComp = k >= 0 ? ComponentOfRank(k, iComponent) : -1;
    if (iComp < 0 || c.states.empty() || piIds == nullptr || ppCurves == nullptr) return 0;
    std::vector<ValueSpot> spots;
    std::vector<int> userIds;
    // The first item of each user ID, looked up once: a request for every
    // series of a large list stays linear in its length.
    std::unordered_map<int, int> firstItem;
    if (k != NK_TH_GLOBALS) {
        const std::vector<LSDynaThItem> &items = c.items[k];
        firstItem.reserve(items.size());
        for (size_t j = 0; j < items.size(); j++) firstItem.emplace(items[j].iUserId, (int)j);
    }
    for (int i = 0; i < iCount; i++) {
        if (k == NK_TH_GLOBALS) {
            if (piIds[i] != -1) continue;
            spots.push_back(FindSpot(k, iComp, 0));
            userIds.push_back(-1);
        } else {
            auto it = firstItem.find(piIds[i]);
            if (it == firstItem.end()) continue;
            spots.push_back(FindSpot(k, iComp, it->second));
            userIds.push_back(piIds[i]);
        }
        if (spots.back().iPos < 0) spots.pop_back(), userIds.pop_back();
    }
    int n = (int)spots.size();
    if (n == 0 || !NKCreatePlotCurves((int)c.states.size(), ppCurves, n)) return 0;
    for (int i = 0; i < n; i++) {
        PlotCurve *p = ppCurves[i];
        p->szName = CurveName(k, userIds[(size_t)i]).GetText();
        NKString label =
            k == NK_TH_GLOBALS ? NKString("global") : NKString::FromInt(userIds[(size_t)i]);
        NKSetPlotText(p->szLabel, (int)sizeof(p->szLabel), label.GetText());
        p->iId = k;
        p->iSubId = userIds[(size_t)i];
        p->iKind = 2, p->iXQuantity = 0, p->iYQuantity = 2;
    }
    if (!FillPoints(spots, ppCurves)) {
        NKFreePlotCurves(ppCurves, n);
        sg_bRefused = true;
        return 0;
    }
    return n;
}

bool LSDynaTimeHistorySource::ReadRefused(void) { return sg_bRefused; }

int LSDynaTimeHistorySource::ReadCurvesByName(int iCategory, int iComponent, char **ppszNames,
                                              int iCount, PlotCurve **ppCurves)
{
    if (ppszNames == nullptr || iCount <= 0) return 0;
    std::vector<int> ids((size_t)iCount);
    for (int i = 0; i < iCount; i++)
        ids[(size_t)i] = ppszNames[i] != nullptr ? NKString(ppszNames[i]).ToInt() : -1;
    return ReadCurves(iCategory, iComponent, ids.data(), iCount, ppCurves);
}

PlotCurve *LSDynaTimeHistorySource::ReadCurve(int iCategory, int iComponent, const char *pszName)
{
    int iId = pszName != nullptr ? NKString(pszName).ToInt() : -1;
    PlotCurve *pCurve = nullptr;
    return ReadCurves(iCategory, iComponent, &iId, 1, &pCurve) == 1 ? pCurve : nullptr;
}

// ---- Geometry, defaults and titles ---------------------------------------------------

NKGeometry *LSDynaTimeHistorySource::ReadGeometry(int)
{
    const LSDynaThControl &c = g_LSDynaTh;
    if (!c.bOpen) return nullptr;
    LSDynaGeometry *pRead = NKLSDynaReadGeometryFrom(c.files, c.iFormat, c.bSwap, c.header, 0);
    if (pRead == nullptr) return nullptr;
    NKGeometry *pGeo = NKLSDynaConvertGeometry(*pRead, nullptr, &c.ids);
    delete pRead;
    if (pGeo != nullptr) pGeo->szDescription = NKString(c.title).Left(256);
    return pGeo;
}

bool LSDynaTimeHistorySource::SetDefaults(PlotRecord *pPlot)
{
    if (pPlot == nullptr) return false;
    pPlot->iPlotKind = 2;
    pPlot->iXAxisQuantity = 2;
    pPlot->iYQuantity = 0;
    pPlot->bTitleShown = pPlot->bXTitleShown = pPlot->bYTitleShown = pPlot->bLegendShown = 1;
    pPlot->szTitle = g_LSDynaTh.title;
    pPlot->szXTitle = "?????";
    pPlot->szYTitle = "?????";
    pPlot->szLegendTitle = "?????";
    return true;
}

bool LSDynaTimeHistorySource::SetTitles(PlotRecord *pPlot, int iCategory, int iComponent)
{
    int k = CategoryOfRank(iCategory);
    if (pPlot == nullptr || k < 0) return false;
    int iComp = ComponentOfRank(k, iComponent);
    pPlot->iPlotKind = 2;
    pPlot->iXAxisQuantity = 2;
    pPlot->szXTitle = "Time";
    pPlot->szYTitle = iComp >= 0 ? g_apszThComponentNames[iComp] : "";
    pPlot->szLegendTitle = g_apszThCategoryNames[k];
    return true;
}
