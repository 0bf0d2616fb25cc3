// readers/nk_lsdyna_access.cpp -- the LS-DYNA plot database as data source
// kind 7: open and close, steps and times, names, geometry of a state's
// segment, results and element visibility, with one state and one geometry
// record cached (see nk_lsdyna.h).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "core/nk_diagnostic.h"
#include "core/nk_file.h"
#include "core/nk_frames.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_numeric.h"
#include "core/nk_progress.h"
#include "readers/nk_data_source.h"
#include "readers/nk_fld_curve.h"
#include "readers/nk_lsdyna.h"

void NKLSDynaForgetState(void);
NKString NKLSDynaScalarName(int iIndex);
bool NKLSDynaIsVectorAvailable(int iKind);
const char *NKLSDynaVectorName(int iKind);

namespace {

std::unique_ptr<LSDynaGeometry> sg_pGeometry;  // the cached geometry record
int sg_iLoadedGeometry = -1;                   // the geometry handed out last
std::vector<std::vector<uint8_t>> sg_Deleted;  // per segment, MDLOPT 2 only
NKString sg_szPath;

// Makes iState current; false (reported) when it cannot be read.
bool MakeCurrent(int iState, const char *pszFunction)
{
    if (iState == NKLSDynaGetCurrentState()) return true;
    if (NKLSDynaReadState(iState)) return true;
    NKDiagnostic("Unable to read state", pszFunction);
    return false;
}

// The segment of a state (the first for a geometry-only database).
void Segment(int iState, int *piGeometry, int *piBase)
{
    const LSDynaControlData &g = g_LSDynacontrolData;
    *piGeometry = 0;
    *piBase = 0;
    if (iState >= 0 && iState < (int)g.states.size()) {
        *piGeometry = g.states[(size_t)iState].iGeometryIndex;
        *piBase = g.states[(size_t)iState].iBaseFileIndex;
    }
}

// The geometry record of a segment, read when another one is cached.
const LSDynaGeometry *GeometryRecord(int iGeometry, int iBase)
{
    if (sg_pGeometry != nullptr && sg_pGeometry->iGeometryIndex == iGeometry)
        return sg_pGeometry.get();
    sg_pGeometry.reset();
    LSDynaHeader h;
    if (!NKLSDynaReadHeader(iBase, &h)) return nullptr;
    sg_pGeometry.reset(NKLSDynaReadGeometry(h, iBase));
    if (sg_pGeometry != nullptr) sg_pGeometry->iGeometryIndex = iGeometry;
    return sg_pGeometry.get();
}

// The state current with its segment's geometry record cached.
bool StateWithGeometry(int iState, const char *pszFunction)
{
    int iGeometry, iBase;
    Segment(iState, &iGeometry, &iBase);
    return GeometryRecord(iGeometry, iBase) != nullptr && MakeCurrent(iState, pszFunction);
}

// Per segment with MDLOPT 2: 1 for each element deleted in its last state.
bool BuildDeletionTables(void)
{
    const LSDynaControlData &g = g_LSDynacontrolData;
    sg_Deleted.assign((size_t)g.iNumGeometries, std::vector<uint8_t>());
    for (int s = 0; s < (int)g.states.size(); s++) {
        bool bLast = s + 1 == (int)g.states.size() ||
                     g.states[(size_t)s + 1].iGeometryIndex != g.states[(size_t)s].iGeometryIndex;
        if (!bLast) continue;
        const LSDynaStateInfo &info = g.states[(size_t)s];
        LSDynaHeader h;
        if (!NKLSDynaReadHeader(info.iBaseFileIndex, &h)) return false;
        if (h.MDLOPT != 2) continue;
        // Only the element deletion words that end the state are read: the
        // rest of a large model's state is not wanted to open it, and its
        // coordinates are checked when the state is read for itself.
        // Deletion words are floats in every format; 0 means deleted.
        int64_t iDel = (int64_t)h.NEL8() + h.NELT() + h.NEL4() + h.NEL2();
        std::vector<float> words((size_t)std::max<int64_t>(iDel, 0));
        LSDynaStream stream(&g.files, g.iFormat, g.bSwap);
        if (iDel > 0 &&
            (!stream.Seek(info.iFileIndex, info.iOffset + NKLSDynaStateSize(h) - iDel) ||
             stream.ReadFloats(words.data(), iDel) != iDel))
            return false;
        std::vector<uint8_t> &t = sg_Deleted[(size_t)info.iGeometryIndex];
        for (float f : words) t.push_back(f == 0.0f ? 1 : 0);
    }
    return true;
}

// The deletion table in global element order (solids, thick shells, beams,
// shells) from the file's order (solids, thick shells, shells, beams).
std::vector<uint8_t> GlobalOrder(const std::vector<uint8_t> &t, const LSDynaGeometry &geo)
{
    std::vector<uint8_t> out((size_t)geo.TotalElements(), 0);
    if ((int)t.size() < geo.TotalElements()) return out;
    int a = geo.NEL8 + geo.NELT;
    std::copy(t.begin(), t.begin() + a, out.begin());
    std::copy(t.begin() + a + geo.NEL4, t.begin() + a + geo.NEL4 + geo.NEL2, out.begin() + a);
    std::copy(t.begin() + a, t.begin() + a + geo.NEL4, out.begin() + a + geo.NEL2);
    return out;
}

}  // namespace

// ---- Open and close ------------------------------------------------------------------

const LSDynaGeometry *NKLSDynaGetCachedGeometry(void) { return sg_pGeometry.get(); }
LSDynaControlData *NKLSDynaGetControlData(void) { return &g_LSDynacontrolData; }

void NKLSDynaClose(void)
{
    NKLSDynaClearAvailableResults();
    NKLSDynaForgetState();
    NKLSDynaClearScan();
    sg_pGeometry.reset();
    sg_Deleted.clear();
    sg_iLoadedGeometry = -1;
    sg_szPath = "";
    g_LSDynacontrolData.title[0] = 0;
    g_LSDynacontrolData.szBaseFile = "";
    NKFLDCurveInit(&g_FLDCurve);
}

void NKLSDynaReset(void)
{
    NKLSDynaForgetState();
    NKLSDynaClearScan();
    sg_pGeometry.reset();
    sg_Deleted.clear();
    g_LSDynacontrolData.iNumGeometries = 0;
}

bool NKLSDynaOpen(const char *pszFileName)
{
    NKLSDynaClose();
    NKBeginProgress(10, "Initializing state database...", true, true);
    NKSetProgress(1, nullptr);
    const char *pszEnd = nullptr;
    if (!NKLSDynaScanFiles(pszFileName)) {
        pszEnd = "Error opening state database.";
    } else if (NKCheckCancel()) {
        pszEnd = "Opening of state database cancelled.";
    } else {
        NKSetProgress(3, nullptr);
        if (!BuildDeletionTables()) pszEnd = "Error opening state database.";
    }
    if (pszEnd == nullptr && NKCheckCancel()) pszEnd = "Opening of state database cancelled.";
    if (pszEnd != nullptr) {
        NKLSDynaClose();
        NKEndProgress(pszEnd, true, true);
        return false;
    }
    NKSetProgress(8, nullptr);
    NKString path(pszFileName);
    path.RemoveChar('"');
    sg_szPath = NKGetAbsolutePath(path.GetText()) + "/" + path.GetFileName();
    // The curve is looked for beside the database.
    g_FLDCurve.szFileName = NKGetAbsolutePath(path.GetText()) + "/FLD";
    NKLSDynaSetAvailableResults();
    NKSetProgress(10, nullptr);
    NKEndProgress("State database initialized.", true, true);
    return true;
}

// ---- Steps and names ---------------------------------------------------------------------

int NKLSDynaGetNumStates(void) { return (int)g_LSDynacontrolData.states.size(); }

float NKLSDynaGetStateTime(int iState)
{
    const LSDynaControlData &g = g_LSDynacontrolData;
    return iState >= 0 && iState < (int)g.states.size() ? g.states[(size_t)iState].fTime : -1.0f;
}

int NKLSDynaFindStateByTime(float fTime)
{
    if (!(fTime < 2.99e38f)) return -1;
    const LSDynaControlData &g = g_LSDynacontrolData;
    for (int i = 0; i < (int)g.states.size(); i++)
        if (g.states[(size_t)i].fTime == fTime) return i;
    return -1;
}

NKStringList *NKLSDynaGetStateNames(void)
{
    int n = NKLSDynaGetNumStates();
    NKStringList *pList = new NKStringList(n);
    for (int i = 0; i < n; i++)
        pList->Set(i,
                   NKString::FromFormat("Time: %.5e", (double)NKLSDynaGetStateTime(i)).GetText());
    return pList;
}

NKStringList *NKLSDynaGetScalarNames(void)
{
    int n = NKLSDynaGetNumScalars();
    NKStringList *pList = new NKStringList(n);
    for (int i = 0; i < n; i++) pList->Set(i, NKLSDynaScalarName(i).GetText());
    return pList;
}

NKStringList *NKLSDynaGetVectorNames(void)
{
    NKStringList *pList = new NKStringList(NKLSDynaGetNumVectors());
    for (int k = 0, i = 0; k < 3; k++)
        if (NKLSDynaIsVectorAvailable(k)) pList->Set(i++, NKLSDynaVectorName(k));
    return pList;
}

// ---- Geometry and results ---------------------------------------------------------------

NKGeometry *NKLSDynaGetGeometry(int iState)
{
    int iGeometry, iBase;
    Segment(iState, &iGeometry, &iBase);
    if (iGeometry == sg_iLoadedGeometry) return nullptr;
    NKSetStatusText("Getting geometry...");
    const LSDynaGeometry *pRecord = GeometryRecord(iGeometry, iBase);
    if (pRecord == nullptr) return nullptr;
    LSDynaHeader h;
    LSDynaUserIds ids;
    bool bIds = NKLSDynaReadHeader(iBase, &h) && h.w[NK_DW_NARBS] > 0 &&
                NKLSDynaReadArbitraryNumbering(h, iBase, &ids);
    std::vector<uint8_t> deleted;
    if (iGeometry < (int)sg_Deleted.size())
        deleted = GlobalOrder(sg_Deleted[(size_t)iGeometry], *pRecord);
    NKGeometry *pGeo = NKLSDynaConvertGeometry(*pRecord, deleted.empty() ? nullptr : &deleted,
                                               bIds ? &ids : nullptr);
    if (pGeo == nullptr) return nullptr;
    pGeo->szDescription = g_LSDynacontrolData.title;
    pGeo->szFileName = g_LSDynacontrolData.files[(size_t)iBase].szFileName;
    NKSetStatusText("Geometry loaded.");
    sg_iLoadedGeometry = iGeometry;
    return pGeo;
}

NKScalarResult *NKLSDynaGetScalar(int iIndex, int iState, NKGeometry *pGeo)
{
    int iKind, iSub;
    if (!StateWithGeometry(iState, "NKLSDynaGetScalar") ||
        !NKLSDynaScalarIndexToKind(iIndex, &iKind, &iSub))
        return nullptr;
    if (iKind == 21 && !NKFLDCurveRead(&g_FLDCurve)) {
        NKPrintError("Unable to load FLD scalar field.");
        return nullptr;
    }
    return NKLSDynaCreateScalar(iKind, iSub, pGeo);
}

NKVectorResult *NKLSDynaGetVector(int iIndex, int iState, NKGeometry *pGeo)
{
    if (!StateWithGeometry(iState, "NKLSDynaGetVector")) return nullptr;
    for (int k = 0; k < 3; k++)
        if (NKLSDynaIsVectorAvailable(k) && iIndex-- == 0) return NKLSDynaCreateVector(k, pGeo);
    return nullptr;
}

bool NKLSDynaIsElementScalar(int iIndex)
{
    int iKind, iSub;
    return NKLSDynaScalarIndexToKind(iIndex, &iKind, &iSub) &&
           (NKLSDynaKindMask(iKind) & NK_DYNA_ALL_ELEMENTS) != 0;
}

int NKLSDynaGetNumNodes(void) { return sg_pGeometry != nullptr ? sg_pGeometry->NUMNP : 0; }
int NKLSDynaGetTotalElements(void)
{
    return sg_pGeometry != nullptr ? sg_pGeometry->TotalElements() : 0;
}

void NKLSDynaUpdateVisibilityArray(int iState, NKFrame *pFrame)
{
    if (pFrame == nullptr || pFrame->pGeometry == nullptr || pFrame->ppVisibility == nullptr)
        return;
    NKGeometry *pGeo = pFrame->pGeometry;
    for (int p = 0; p < pGeo->iNumParts; p++)
        if (pFrame->ppVisibility[p] != nullptr)
            for (int k = 0; k < pGeo->pParts[p].iNumPolygons; k++)
                pFrame->ppVisibility[p][k] &= (uint8_t)~1u;
    if (!StateWithGeometry(iState, "NKLSDynaUpdateVisibilityArray")) return;
    const LSDynaStateData &s = NKLSDynaGetStateData();
    if (s.header.MDLOPT != 2 ||
        g_LSDynacontrolData.states[(size_t)iState].iGeometryIndex != sg_pGeometry->iGeometryIndex)
        return;
    std::vector<uint8_t> t;
    for (float f : s.deletion) t.push_back(f == 0.0f ? 1 : 0);
    std::vector<uint8_t> del = GlobalOrder(t, *sg_pGeometry);
    for (int p = 0; p < pGeo->iNumParts; p++) {
        const NKPart &part = pGeo->pParts[p];
        if (pFrame->ppVisibility[p] == nullptr || part.pPolygonElements == nullptr) continue;
        for (int k = 0; k < part.iNumPolygons; k++) {
            int e = part.pPolygonElements[k];
            if (e < 0 || e >= part.iNumElements) continue;
            int gi = part.pElements[e].iGlobalIndex;
            if (gi >= 0 && gi < (int)del.size() && del[(size_t)gi]) pFrame->ppVisibility[p][k] |= 1;
        }
    }
}

// ---- Direct reads ----------------------------------------------------------------------

int NKLSDynaGetNumElements(uint32_t uMask, int iState)
{
    const LSDynaControlData &g = g_LSDynacontrolData;
    LSDynaHeader h;
    if (iState < 0 || iState >= (int)g.states.size() ||
        !NKLSDynaReadHeader(g.states[(size_t)iState].iBaseFileIndex, &h))
        return 0;
    switch (uMask) {
    case NK_DYNA_SOLIDS:
        return h.NEL8();
    case NK_DYNA_THICK_SHELLS:
        return h.NELT();
    case NK_DYNA_SHELLS:
        return h.NEL4();
    case NK_DYNA_BEAMS:
        return h.NEL2();
    case NK_DYNA_ALL_ELEMENTS:
        return h.NEL8() + h.NELT() + h.NEL4() + h.NEL2();
    default:
        return 0;
    }
}

uint32_t NKLSDynaGetElementClass(int iElement, int iState)
{
    int n8 = NKLSDynaGetNumElements(NK_DYNA_SOLIDS, iState),
        nt = NKLSDynaGetNumElements(NK_DYNA_THICK_SHELLS, iState);
    int n2 = NKLSDynaGetNumElements(NK_DYNA_BEAMS, iState),
        n4 = NKLSDynaGetNumElements(NK_DYNA_SHELLS, iState);
    if (iElement < 0) return 0;
    if (iElement < n8) return NK_DYNA_SOLIDS;
    if (iElement < n8 + nt) return NK_DYNA_THICK_SHELLS;
    if (iElement < n8 + nt + n2) return NK_DYNA_BEAMS;
    return iElement < n8 + nt + n2 + n4 ? (uint32_t)NK_DYNA_SHELLS : 0u;
}

bool NKLSDynaReadElementWords(int iState, uint32_t uMask, int iElement, std::vector<float> *pWords)
{
    if (!StateWithGeometry(iState, "NKLSDynaReadElementWords")) return false;
    const LSDynaStateData &s = NKLSDynaGetStateData();
    const LSDynaHeader &h = s.header;
    const std::vector<float> *pv = uMask == NK_DYNA_SOLIDS         ? &s.solids
                                   : uMask == NK_DYNA_THICK_SHELLS ? &s.thickShells
                                   : uMask == NK_DYNA_SHELLS       ? &s.shells
                                   : uMask == NK_DYNA_BEAMS        ? &s.beams
                                                                   : nullptr;
    int iWord = uMask == NK_DYNA_SOLIDS         ? (int)NK_DW_NV3D
                : uMask == NK_DYNA_THICK_SHELLS ? (int)NK_DW_NV3DT
                : uMask == NK_DYNA_SHELLS       ? (int)NK_DW_NV2D
                                                : (int)NK_DW_NV1D;
    int nv = h.w[iWord];
    if (pv == nullptr || nv <= 0 || iElement < 0 ||
        (int64_t)(iElement + 1) * nv > (int64_t)pv->size()) {
        NKPrintError("Internal error in reading from state database.");
        return false;
    }
    int n = std::min(nv, 256);
    pWords->assign(pv->begin() + (std::ptrdiff_t)iElement * nv,
                   pv->begin() + (std::ptrdiff_t)iElement * nv + n);
    return true;
}

float NKLSDynaGetElementValue(int iIndex, int iElement)
{
    int iState = NKLSDynaGetCurrentState();
    uint32_t uClass = NKLSDynaGetElementClass(iElement, iState);
    const LSDynaGeometry *pGeo = NKLSDynaGetSegmentGeometry(iState);
    if (iState < 0 || uClass == 0 || pGeo == nullptr) return NK_UNDEFINED_VALUE;
    int e = iElement, iStride = 9, nNodes = 8;
    const std::vector<int> *pConnect = &pGeo->thickShells;
    if (uClass == NK_DYNA_THICK_SHELLS) e -= pGeo->NEL8;
    if (uClass == NK_DYNA_BEAMS) e -= pGeo->NEL8 + pGeo->NELT;
    if (uClass == NK_DYNA_SHELLS) {
        e -= pGeo->NEL8 + pGeo->NELT + pGeo->NEL2;
        pConnect = &pGeo->shells, iStride = 5, nNodes = 4;
    }
    // The initial corners of shells and thick shells for the local kinds.
    float nodes[1][8][3] = {};
    bool bCorners = uClass == NK_DYNA_SHELLS || uClass == NK_DYNA_THICK_SHELLS;
    for (int k = 0; bCorners && k < nNodes; k++) {
        int n = (*pConnect)[(size_t)e * iStride + k] - 1;
        for (int c = 0; c < 3; c++)
            nodes[0][k][c] = n >= 0 && n < pGeo->NUMNP ? pGeo->Coord(n, c) : 0;
    }
    float fValue = NK_UNDEFINED_VALUE, *pOut = &fValue;
    int iRead = NKLSDynaReadStateResult(&iState, 1, &iIndex, 1, &e, 1, &pOut, uClass,
                                        bCorners ? nodes : nullptr);
    return iRead == 1 ? fValue : NK_UNDEFINED_VALUE;
}

const LSDynaGeometry *NKLSDynaGetSegmentGeometry(int iState)
{
    int iGeometry, iBase;
    Segment(iState, &iGeometry, &iBase);
    return GeometryRecord(iGeometry, iBase);
}

// ---- The dispatcher's reader -------------------------------------------------------------

namespace {

int OpenDyna(const char *pszFileName) { return NKLSDynaOpen(pszFileName) ? 1 : 0; }
bool CloseDyna(void)
{
    NKLSDynaClose();
    return true;
}
float StepTime(int iStep) { return NKLSDynaGetStateTime(iStep); }

constexpr NKDataSourceReader MakeReader(void)
{
    NKDataSourceReader r;
    r.pszName = "LS-DYNA";
    r.pfnOpen = OpenDyna;
    r.pfnClose = CloseDyna;
    r.pfnGetNumSteps = NKLSDynaGetNumStates;
    r.pfnGetStepNames = NKLSDynaGetStateNames;
    r.pfnGetNumScalars = NKLSDynaGetNumScalars;
    r.pfnGetScalarNames = NKLSDynaGetScalarNames;
    r.pfnGetNumVectors = NKLSDynaGetNumVectors;
    r.pfnGetVectorNames = NKLSDynaGetVectorNames;
    r.pfnGetGeometry = NKLSDynaGetGeometry;
    r.pfnGetStepTime = StepTime;
    r.pfnCheckStep = NKLSDynaCheckStateCoordinates;
    r.pfnGetScalar = NKLSDynaGetScalar;
    r.pfnGetVector = NKLSDynaGetVector;
    r.pfnUpdateVisibility = NKLSDynaUpdateVisibilityArray;
    r.pfnGetNumElements = NKLSDynaGetTotalElements;
    r.pfnGetNumNodes = NKLSDynaGetNumNodes;
    r.pfnIsElementScalar = NKLSDynaIsElementScalar;
    r.pfnGetElementScalarValue = NKLSDynaGetElementValue;
    return r;
}

constexpr NKDataSourceReader sg_Reader = MakeReader();

}  // namespace

const NKDataSourceReader *NKGetLSDynaDataSourceReader(void) { return &sg_Reader; }
