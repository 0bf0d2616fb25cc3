// plot/nk_forming_limit.cpp -- the forming limit diagram (see
// nk_forming_limit.h): the limit curve read through readers/nk_fld_curve.h,
// the current state's shell strains and the strain paths of single shells
// read through NKLSDynaReadStateResult.
#include "plot/nk_forming_limit.h"

#include <cstring>
#include <memory>
#include <vector>

#include "core/nk_data_source_kind.h"
#include "core/nk_element_types.h"
#include "core/nk_frames.h"
#include "core/nk_load_hooks.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_plot_records.h"
#include "core/nk_references.h"
#include "core/nk_render_state.h"
#include "plot/nk_plot.h"
#include "plot/nk_plot_commands.h"
#include "plot/nk_plot_source.h"
#include "readers/nk_data_source.h"
#include "readers/nk_fld_curve.h"
#include "readers/nk_lsdyna.h"
#include "readers/nk_lsdyna_format.h"

namespace {

constexpr float kUndefined = 3.4028235e38f;
constexpr int kMinKind = 20, kMaxKind = 19;

// One cached strain path.
struct StrainPath {
    NKString name;
    int iPart = -1, iElement = -1, iSurface = -1;
    std::vector<float> minor, major;
};

struct State {
    std::vector<float> limitX, limitY;
    NKString fileName = "FLD";
    std::vector<float> minor, major;
    int iState = -1, iSurface = -1;
    float fTime = kUndefined;
    std::vector<StrainPath> paths;
    std::vector<int> shown;
    bool bLimit = false, bScatter = false, bPaths = false;
    int iPathSurface = -1;
    NKString category;
    std::vector<int> selected;  // the selected shells last listed
};
State sg;

// The scalar number of the reader's result of kind iKind; -1 when missing.
int ScalarNumber(int iKind)
{
    int iFound, iSub;
    for (int i = 0; i < NKLSDynaGetNumScalars(); i++)
        if (NKLSDynaScalarIndexToKind(i, &iFound, &iSub) && iFound == iKind) return i;
    return -1;
}

// The shell count of a state and the total element count before its shells.
void ShellTotals(int iState, int *piShells, int *piTotal)
{
    *piShells = NKLSDynaGetNumElements(NK_DYNA_SHELLS, iState);
    *piTotal = 0;
    for (uint32_t u : {NK_DYNA_SOLIDS, NK_DYNA_THICK_SHELLS, NK_DYNA_BEAMS, NK_DYNA_SHELLS})
        *piTotal += NKLSDynaGetNumElements(u, iState);
}

// Reads the local min and max strain of the shells (numbers within the
// class) of the states with their corners; false when a read fails.
bool ReadStrains(const int *piStates, int iNumStates, const std::vector<int> &shells,
                 std::vector<float> &corners, float *pfMinor, float *pfMajor)
{
    int aiKeys[2] = {ScalarNumber(kMinKind), ScalarNumber(kMaxKind)};
    if (aiKeys[0] < 0 || aiKeys[1] < 0 || shells.empty()) return false;
    float *apOut[2] = {pfMinor, pfMajor};
    int n = NKLSDynaReadStateResult(piStates, iNumStates, aiKeys, 2, shells.data(),
                                    (int)shells.size(), apOut, NK_DYNA_SHELLS,
                                    reinterpret_cast<const float(*)[8][3]>(corners.data()));
    return n == iNumStates;
}

// Computes the strains of all shells at the current frame's state; keeps
// them when state and surface are unchanged.
bool ComputeScatter(void)
{
    NKFrame *pFrame = NKGetCurrentFrame();
    const NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    if (pGeo == nullptr) return false;
    // A frame without a time (the database just opened, no state read) shows
    // its step, or the first state.
    int iState = NKLSDynaFindStateByTime(pFrame->fTime);
    if (iState < 0 && !(pFrame->fTime < 2.99e38f))
        iState = pFrame->iStepIndex >= 0 ? pFrame->iStepIndex : 0;
    if (iState < 0 || iState >= NKLSDynaGetNumStates()) return false;
    if (iState == sg.iState && NKGetShellSurface() == sg.iSurface) return true;
    int iShells, iTotal;
    ShellTotals(iState, &iShells, &iTotal);
    sg.minor.assign((size_t)iShells, kUndefined);
    sg.major.assign((size_t)iShells, kUndefined);
    std::vector<int> shells, positions;
    std::vector<float> corners;
    for (int p = 0; p < pGeo->iNumParts; p++) {
        const NKPart &part = pGeo->pParts[p];
        for (int e = 0; part.pElements != nullptr && e < part.iNumElements; e++) {
            if (part.pElements[e].iType != NK_ELEM_SHELL) continue;
            int iPos = part.pElements[e].iGlobalIndex - iTotal + iShells;
            if (iPos < 0 || iPos >= iShells) continue;
            NKPartItemRef ref = {p, e};
            corners.resize(corners.size() + 24, 0.0f);
            NKGetElementNodeCoords(pFrame, &ref, &corners[corners.size() - 24], 4);
            shells.push_back(iPos);
            positions.push_back(iPos);
        }
    }
    std::vector<float> minor(shells.size()), major(shells.size());
    if (!ReadStrains(&iState, 1, shells, corners, minor.data(), major.data())) return false;
    for (size_t i = 0; i < positions.size(); i++) {
        sg.minor[(size_t)positions[i]] = minor[i];
        sg.major[(size_t)positions[i]] = major[i];
    }
    sg.iState = iState;
    sg.iSurface = NKGetShellSurface();
    sg.fTime = NKLSDynaGetStateTime(iState);
    return true;
}

// The database numbers of the element's first 4 nodes; false when one is
// missing.
bool ElementNodes(const NKPart &part, const NKElement &elem, int aiNodes[4])
{
    if (part.pElementConnects == nullptr || part.pNodeMap == nullptr || elem.iNodeStart < 0 ||
        elem.iNodeStart > part.iNumElementConnects - 4)
        return false;
    for (int j = 0; j < 4; j++) {
        int iNode = part.pElementConnects[elem.iNodeStart + j];
        if (iNode < 0 || iNode >= part.iNumNodes) return false;
        aiNodes[j] = part.pNodeMap[iNode];
    }
    return true;
}

// The strains of the shell at position iPos over all states into the path,
// each state with the element's corners of that state.
bool ReadPathStrains(const NKPart &part, const NKElement &elem, int iPos, int iStates,
                     StrainPath *pPath)
{
    int aiNodes[4];
    if (!ElementNodes(part, elem, aiNodes)) return false;
    // The coordinates of the 4 nodes over the states: [key][node x states + state].
    std::vector<float> xyz[3];
    float *apOut[3];
    for (int k = 0; k < 3; k++) {
        xyz[k].assign((size_t)4 * iStates, 0.0f);
        apOut[k] = xyz[k].data();
    }
    const int aiKeys[3] = {25, 26, 27};
    if (NKLSDynaReadStateResult(nullptr, iStates, aiKeys, 3, aiNodes, 4, apOut, NK_DYNA_NODE_COORDS,
                                nullptr) != iStates)
        return false;
    std::vector<int> shells = {iPos};
    for (int s = 0; s < iStates; s++) {
        std::vector<float> corners(24, 0.0f);
        for (int j = 0; j < 4; j++)
            for (int k = 0; k < 3; k++)
                corners[(size_t)3 * j + k] = xyz[k][(size_t)j * iStates + s];
        if (!ReadStrains(&s, 1, shells, corners, &pPath->minor[(size_t)s],
                         &pPath->major[(size_t)s]))
            return false;
    }
    return true;
}

// The cache index of the strain path of the element named by text; -1 when
// the text names none or a read fails.
int FindOrComputePath(const char *pszText)
{
    NKString text(pszText);
    text.Trim();
    NKFrame *pFrame = NKGetCurrentFrame();
    const NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    NKPartItemRef ref = {-1, -1};
    if (pGeo == nullptr || !NKParseElementSpec(pGeo, text, &ref)) return -1;
    int iSurface = NKGetShellSurface();
    for (size_t i = 0; i < sg.paths.size(); i++) {
        const StrainPath &p = sg.paths[i];
        if (p.iPart == ref.iPart && p.iElement == ref.iIndex && p.iSurface == iSurface &&
            !p.minor.empty())
            return (int)i;
    }
    const NKElement &elem = pGeo->pParts[ref.iPart].pElements[ref.iIndex];
    int iStates = NKLSDynaGetNumStates(), iShells, iTotal;
    ShellTotals(0, &iShells, &iTotal);
    int iPos = elem.iGlobalIndex - iTotal + iShells;
    if (elem.iType != NK_ELEM_SHELL || iStates < 1 || iPos < 0 || iPos >= iShells) return -1;
    StrainPath path;
    path.minor.assign((size_t)iStates, kUndefined);
    path.major.assign((size_t)iStates, kUndefined);
    if (!ReadPathStrains(pGeo->pParts[ref.iPart], elem, iPos, iStates, &path)) return -1;
    path.name = text;
    path.iPart = ref.iPart;
    path.iElement = ref.iIndex;
    path.iSurface = iSurface;
    sg.paths.push_back(path);
    return (int)sg.paths.size() - 1;
}

bool IsListed(const char *pszName, char **ppszNames, int iCount)
{
    for (int k = 0; k < iCount; k++)
        if (ppszNames[k] != nullptr && std::strcmp(ppszNames[k], pszName) == 0) return true;
    return false;
}

// A new curve of the points (x[i], y[i]) with its name, label and look.
PlotCurve *MakeCurve(const float *pfX, const float *pfY, int n, const char *pszName,
                     const char *pszLabel, int iXQuantity, int iYQuantity)
{
    PlotCurve *pCurve = nullptr;
    if (!NKCreatePlotCurves(n, &pCurve, 1) || pCurve == nullptr) return nullptr;
    for (int i = 0; i < n; i++) {
        pCurve->pPoints[i].x = pfX[i];
        pCurve->pPoints[i].y = pfY[i];
    }
    pCurve->szName = pszName;
    NKSetPlotText(pCurve->szLabel, sizeof(pCurve->szLabel), pszLabel);
    pCurve->iKind = 4;
    pCurve->iXQuantity = iXQuantity;
    pCurve->iYQuantity = iYQuantity;
    pCurve->iMarkerType = 9;
    pCurve->iMarkerSize = 4;
    return pCurve;
}

void SetColors(PlotCurve *pCurve, uint8_t r, uint8_t g, uint8_t b)
{
    const uint8_t uc[3] = {r, g, b};
    std::memcpy(pCurve->ucLineColor, uc, 3);
    std::memcpy(pCurve->ucMarkerColor, uc, 3);
}

// The name array of one text.
char **OneName(const char *pszText)
{
    char **ppNames = (char **)NKAllocBlockArray(NK_PLOT_NAME_SIZE, 1);
    if (ppNames != nullptr) NKSetPlotText(ppNames[0], NK_PLOT_NAME_SIZE, pszText);
    return ppNames;
}

// Loads the limit curve from the file (the stored name when empty); a name
// without a directory is looked for beside the database.
bool LoadLimit(const char *pszFileName)
{
    sg.limitX.clear();
    sg.limitY.clear();
    NKString name = pszFileName != nullptr && *pszFileName ? NKString(pszFileName) : sg.fileName;
    NKString dir = g_FLDCurve.szFileName.GetDirectory();
    if (name.GetDirectory().IsEmpty() && !dir.IsEmpty()) name = dir + "/" + name;
    FLDCurve curve;
    NKFLDCurveInit(&curve);
    curve.szFileName = name;
    if (!NKFLDCurveRead(&curve)) return false;
    for (int i = 0; i < curve.NumPoints(); i++) {
        sg.limitX.push_back(curve.points[(size_t)2 * i]);
        sg.limitY.push_back(curve.points[(size_t)2 * i + 1]);
    }
    sg.fileName = curve.szFileName;
    return true;
}

}  // namespace

namespace FormingLimitPlot {

bool Init(const char *pszFileName)
{
    Close();
    bool bAvailable = NKGetInterfaceType() == NK_INTERFACE_LSDYNA &&
                      NKLSDynaIsScalarAvailable(kMinKind) && NKLSDynaIsScalarAvailable(kMaxKind) &&
                      NKLSDynaGetNumElements(NK_DYNA_SHELLS, 0) > 0;
    if (!bAvailable) {
        Close();
        return false;
    }
    // The diagram stays open without a limit curve, with no components.
    bool bLoaded = LoadLimit(pszFileName);
    sg.category =
        NKString::FromFormat("Forming Limit Diagram (%s)", sg.fileName.GetFileName().GetText());
    return bLoaded;
}

bool Close(void)
{
    NKString fileName = sg.fileName;
    sg = State();
    sg.fileName = fileName.IsBlank() ? NKString("FLD") : fileName;
    return true;
}

int GetCategoryCount(void) { return 1; }

char **GetCategoryNames(void) { return OneName(sg.category.GetText()); }

int GetComponentCount(int) { return sg.limitX.empty() ? 0 : 1; }

char **GetComponentNames(int) { return OneName("Limit / Strains"); }

int GetSeriesCount(int iCategory, int) { return 2 * GetComponentCount(iCategory); }

char **GetSeriesNames(int, int)
{
    char **ppNames = (char **)NKAllocBlockArray(NK_PLOT_NAME_SIZE, 2);
    if (ppNames == nullptr) return nullptr;
    NKSetPlotText(ppNames[0], NK_PLOT_NAME_SIZE, "Limit");
    NKSetPlotText(ppNames[1], NK_PLOT_NAME_SIZE, "Strains scatter");
    return ppNames;
}

int ReadCurves(int, int, char **ppszNames, int iCount, PlotCurve **ppCurves)
{
    sg.shown.clear();
    sg.bLimit = sg.bScatter = sg.bPaths = false;
    if (ppszNames == nullptr || ppCurves == nullptr || sg.limitX.empty()) return 0;
    int n = 0;
    if (IsListed("Limit", ppszNames, iCount)) {
        PlotCurve *p = MakeCurve(sg.limitX.data(), sg.limitY.data(), (int)sg.limitX.size(), "Limit",
                                 "Limit", 0, 0);
        if (p != nullptr) {
            p->iMarkerType = 8;
            p->iMarkerSize = 5;
            SetColors(p, 255, 0, 0);
            ppCurves[n++] = p;
            sg.bLimit = true;
        }
    }
    if (IsListed("Strains scatter", ppszNames, iCount) && ComputeScatter()) {
        PlotCurve *p = MakeCurve(sg.minor.data(), sg.major.data(), (int)sg.minor.size(),
                                 "Strains scatter", "Strains", -1, -1);
        if (p != nullptr) {
            SetColors(p, 0, 255, 0);
            ppCurves[n++] = p;
            sg.bScatter = true;
        }
    }
    for (int k = 0; k < iCount; k++) {
        const char *pszName = ppszNames[k];
        if (pszName == nullptr || !std::strcmp(pszName, "Limit") ||
            !std::strcmp(pszName, "Strains scatter"))
            continue;
        int i = FindOrComputePath(pszName);
        if (i < 0) continue;
        const StrainPath &path = sg.paths[(size_t)i];
        PlotCurve *p = MakeCurve(path.minor.data(), path.major.data(), (int)path.minor.size(),
                                 pszName, pszName, 0, -1);
        if (p == nullptr) continue;
        ppCurves[n++] = p;
        sg.shown.push_back(i);
        sg.iPathSurface = path.iSurface;
        sg.bPaths = true;
    }
    return n;
}

bool SetDefaults(PlotRecord *pPlot)
{
    if (pPlot == nullptr) return false;
    pPlot->iPlotKind = 4;
    pPlot->iXAxisQuantity = 0;
    pPlot->iYQuantity = 0;
    pPlot->bTitleShown = pPlot->bXTitleShown = pPlot->bYTitleShown = 1;
    pPlot->bLegendShown = 1;
    pPlot->szTitle = "FLD";
    pPlot->szXTitle = "local min strain";
    pPlot->szYTitle = "local max strain";
    pPlot->szLegendTitle = "Legend";
    return true;
}

bool SetTitles(PlotRecord *pPlot, int, int)
{
    if (pPlot == nullptr) return false;
    const char *pszDb = NKLSDynaGetControlData()->title;
    NKString title;
    if (sg.bScatter && sg.fTime != kUndefined)
        title = NKString::FromFormat("%s, Time: %g (%s)", "FLD", (double)sg.fTime, pszDb);
    else if (!sg.bScatter || sg.bPaths)
        title = NKString::FromFormat("%s, (%s)", "FLD", pszDb);
    else
        title = NKString::FromFormat("%s, Time: <unknown> (%s)", "FLD", pszDb);
    int iSurface = sg.bScatter ? sg.iSurface : (sg.bPaths ? sg.iPathSurface : -1);
    const char *pszSurface = NKSurfaceName(iSurface);
    pPlot->szTitle = title.Left(200);
    pPlot->szXTitle = NKString::FromFormat("%s %s", pszSurface, "local min strain").Left(200);
    pPlot->szYTitle = NKString::FromFormat("%s %s", pszSurface, "local max strain").Left(200);
    return true;
}

}  // namespace FormingLimitPlot

namespace {

// The selected shells of the list: their positions in the scatter, defined
// strains only.
std::vector<int> ShellsOf(const NKSelectionList &list)
{
    std::vector<int> out;
    const NKGeometry *pGeo = NKGetFrameGeometry(NKGetCurrentFrame());
    if (!list.bEnabled || list.iMode != 2 || pGeo == nullptr || list.GetEntries() == nullptr)
        return out;
    int iShells, iTotal;
    ShellTotals(sg.iState < 0 ? 0 : sg.iState, &iShells, &iTotal);
    for (int i = 0; i < list.iCount; i++) {
        const NKPickInfo *pPick = list.GetEntries()[i];
        if (pPick == nullptr || pPick->iPart < 0 || pPick->iPart >= pGeo->iNumParts) continue;
        const NKPart &part = pGeo->pParts[pPick->iPart];
        if (part.pElements == nullptr || pPick->iElement < 0 ||
            pPick->iElement >= part.iNumElements)
            continue;
        const NKElement &e = part.pElements[pPick->iElement];
        int iPos = e.iGlobalIndex - iTotal + iShells;
        if (e.iType != NK_ELEM_SHELL || iPos < 0 || iPos >= (int)sg.minor.size()) continue;
        if (sg.minor[(size_t)iPos] > 2.99e38f || sg.major[(size_t)iPos] > 2.99e38f) continue;
        out.push_back(iPos);
    }
    return out;
}

void UpdateAfterState(void)
{
    if (!NKPlotSourceIsCurrent(NK_PLOT_SOURCE_FLD) || g_pCurrentPlot == nullptr) return;
    FormingLimitPlot::UpdatePlot();
    if (g_bPlotInOwnWindow) NKInvalidateViewForPlot();
}

}  // namespace

bool NKFLDRedrawOnSelection(void)
{
    if (!g_bPlotInOwnWindow || !NKPlotSourceIsCurrent(NK_PLOT_SOURCE_FLD) ||
        !FormingLimitPlot::SelectionChanged(g_SelectionList))
        return false;
    NKInvalidateViewForPlot();
    return true;
}

namespace FormingLimitPlot {

bool UpdatePlot(void)
{
    if (g_pCurrentPlot == nullptr || !(sg.bLimit || sg.bScatter || sg.bPaths)) return false;
    std::vector<NKString> names;
    if (sg.bLimit) names.push_back("Limit");
    if (sg.bScatter) names.push_back("Strains scatter");
    for (int i : sg.shown) names.push_back(sg.paths[(size_t)i].name);
    int n = (int)names.size();
    char **ppNames = (char **)NKAllocBlockArray(NK_PLOT_NAME_SIZE, n);
    if (ppNames == nullptr) return false;
    for (int i = 0; i < n; i++) NKSetPlotText(ppNames[i], NK_PLOT_NAME_SIZE, names[i].GetText());
    NKPlotSourceBuildPlot(0, 0, ppNames, n, g_pCurrentPlot);
    NKFreeBlockArray((void **)ppNames, n);
    return true;
}

void SelectedShells(std::vector<int> *pOut)
{
    sg.selected = ShellsOf(g_SelectionList);
    *pOut = sg.selected;
}

bool SelectionChanged(const NKSelectionList &list) { return ShellsOf(list) != sg.selected; }

void InstallHooks(void)
{
    NKLoadHooks load = NKGetLoadHooks();
    load.pfnFLDUpdatePlot = UpdateAfterState;
    NKSetLoadHooks(load);
}

}  // namespace FormingLimitPlot

int NKPlotFLDHighlightPoints(const PlotCurve *pCurve, const NKPlotPoint **ppPoints)
{
    static std::vector<NKPlotPoint> s_Points;
    s_Points.clear();
    if (ppPoints != nullptr) *ppPoints = nullptr;
    if (pCurve == nullptr || !NKPlotSourceIsCurrent(NK_PLOT_SOURCE_FLD) ||
        pCurve->szName != "Strains scatter")
        return 0;
    std::vector<int> shells;
    FormingLimitPlot::SelectedShells(&shells);
    for (int i : shells)
        if (i < pCurve->iNumPoints) s_Points.push_back(pCurve->pPoints[i]);
    if (ppPoints != nullptr) *ppPoints = s_Points.data();
    return (int)s_Points.size();
}
