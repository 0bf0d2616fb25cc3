// plot/nk_difference_plot.cpp -- the difference plot and the `dp` command
// (see nk_difference_plot.h). The coordinates of both nodes over all states
// come from the LS-DYNA state reader in one call; a difference is always the
// node with the smaller database number minus the other.
#include "plot/nk_difference_plot.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/nk_data_source_kind.h"
#include "core/nk_frames.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_plot_records.h"
#include "core/nk_references.h"
#include "core/nk_render_state.h"
#include "plot/nk_node_plot.h"
#include "plot/nk_plot.h"
#include "plot/nk_plot_commands.h"
#include "readers/nk_lsdyna.h"

int32_t g_iDifferenceComponent = 1;
uint8_t g_bDifferenceComponentChanged = 1;

namespace {

const char *const kQuantityNames[5] = {"", "Abs node distance", "X-difference", "Y-difference",
                                       "Z-difference"};

// The database node number of a node, -1 when the node or its part is
// outside the geometry or the part has no node number array.
int DatabaseNodeNumber(const NKGeometry *pGeo, int iPart, int iNode)
{
    if (pGeo == nullptr || iPart < 0 || iPart >= pGeo->iNumParts) return -1;
    const NKPart &part = pGeo->pParts[iPart];
    if (part.pNodeMap == nullptr || iNode < 0 || iNode >= part.iNumNodes) return -1;
    return part.pNodeMap[iNode];
}

// The curve id of a node: its node ID when both parts have ID arrays, else
// its database number plus 1.
int CurveId(const NKGeometry *pGeo, int iPart, int iNode, bool bIds, int iNumber)
{
    return bIds ? pGeo->pParts[iPart].pNodeIDs[iNode] : iNumber + 1;
}

// x, y, z of both nodes in every state: pCoords[k][i * states + s] for key
// k, node i (a first); false unless every state was read.
bool ReadNodeCoordinates(int iNumberA, int iNumberB, int iStates, std::vector<float> pCoords[3])
{
    const int aiKeys[3] = {25, 26, 27};
    const int aiNodes[2] = {iNumberA, iNumberB};
    float *ppOut[3];
    for (int k = 0; k < 3; k++) {
        pCoords[k].assign((size_t)iStates * 2, 0.0f);
        ppOut[k] = pCoords[k].data();
    }
    return NKLSDynaReadStateResult(nullptr, iStates, aiKeys, 3, aiNodes, 2, ppOut,
                                   NK_DYNA_NODE_COORDS, nullptr) == iStates;
}

// One state's value: the distance, or the smaller-numbered node's
// coordinate minus the other's.
float ComponentValue(const std::vector<float> pCoords[3], int iStates, int s, int iComponent,
                     bool bAFirst)
{
    float d[3];
    for (int k = 0; k < 3; k++) {
        float a = pCoords[k][(size_t)s], b = pCoords[k][(size_t)iStates + s];
        d[k] = bAFirst ? a - b : b - a;
    }
    if (iComponent == 1) return std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    return d[iComponent - 2];
}

// Gives the new curve its points and styles; false when a point cannot be
// stored.
bool FillCurve(PlotRecord *pPlot, PlotCurve *pCurve, const std::vector<float> pCoords[3],
               int iStates, int iComponent, bool bAFirst)
{
    if (!NKSetPlotCurvePointCount(pCurve, iStates)) return false;
    for (int s = 0; s < iStates; s++) {
        pCurve->pPoints[s].x = NKLSDynaGetStateTime(s);
        pCurve->pPoints[s].y = ComponentValue(pCoords, iStates, s, iComponent, bAFirst);
    }
    pCurve->iKind = 6;
    NKPlotStyleNewCurve(pPlot, pCurve);
    return true;
}

// A node given as part,node in the current geometry; false when it does not
// parse.
bool ParseNode(const std::string &word, int *piPart, int *piNode)
{
    NKPartItemRef ref = {-1, -1};
    if (!NKParseNodeSpec(NKGetFrameGeometry(NKGetCurrentFrame()), NKString(word.c_str()), &ref))
        return false;
    *piPart = ref.iPart;
    *piNode = ref.iIndex;
    return true;
}

// The component of a word (x, y, z or n in any case); 0 for none.
int ComponentOfWord(const std::string &word)
{
    if (word.size() != 1) return 0;
    switch (std::tolower((unsigned char)word[0])) {
    case 'n':
        return 1;
    case 'x':
        return 2;
    case 'y':
        return 3;
    case 'z':
        return 4;
    default:
        return 0;
    }
}

void ShowPlot(void) { g_bPlotShown = 1; }

// Adds the curve of the nodes in words[i] and words[i + 1]: -3 for a node
// that does not parse, -4 for a missing one, 1 or 0 for the curve.
int AddCurveFromWords(const std::vector<std::string> &words, size_t i, bool bNewPlot)
{
    int iPartA = -1, iNodeA = -1, iPartB = -1, iNodeB = -1;
    if (words.size() <= i) return -4;
    if (!ParseNode(words[i], &iPartA, &iNodeA)) return -3;
    if (words.size() <= i + 1) return -4;
    if (!ParseNode(words[i + 1], &iPartB, &iNodeB)) return -3;
    if (bNewPlot && !NKStartDifferencePlot()) return 0;
    if (!NKAddDifferenceCurve(iPartA, iNodeA, iPartB, iNodeB, g_iDifferenceComponent)) return 0;
    g_bDifferenceComponentChanged = 0;
    ShowPlot();
    return 1;
}

// A component word, alone or with two nodes.
int ComponentForm(const std::vector<std::string> &words, int iComponent)
{
    static const char *const kTexts[5] = {"", "Abs difference is current for difference plot.",
                                          "X coordinate is current for difference plot.",
                                          "Y coordinate is current for difference plot.",
                                          "Z coordinate is current for difference plot."};
    if (words.size() > 1) {
        g_iDifferenceComponent = iComponent;
        return AddCurveFromWords(words, 1, true);
    }
    if (iComponent != g_iDifferenceComponent) g_bDifferenceComponentChanged = 1;
    g_iDifferenceComponent = iComponent;
    NKPrintInfo(kTexts[iComponent]);
    return 1;
}

bool HasComponent(void)
{
    if (g_iDifferenceComponent >= 1 && g_iDifferenceComponent <= 4) return true;
    NKPrintError("Use dp [x|y|z|n] to set current component before adding curves.");
    return false;
}

// sel: the first two entries of the selection list.
int SelectionForm(void)
{
    if (!HasComponent()) return 0;
    const NKSelectionList &list = g_SelectionList;
    if (!list.bEnabled || list.iCount < 2 || list.ppPicks == nullptr) {
        NKPrintError("2 nodes must be selected to plot difference from selected nodes.");
        return 0;
    }
    const NKPickInfo *a = list.ppPicks[0], *b = list.ppPicks[1];
    bool bNewPlot = g_pCurrentPlot == nullptr || g_pCurrentPlot->iPlotKind != 6 ||
                    g_bDifferenceComponentChanged;
    if (bNewPlot && !NKStartDifferencePlot()) return 0;
    if (!NKAddDifferenceCurve(a->iPart, a->iNode, b->iPart, b->iNode, g_iDifferenceComponent))
        return 0;
    g_bDifferenceComponentChanged = 0;
    ShowPlot();
    return 1;
}

// del all, or del with a curve's id pair.
int DeleteForm(const std::vector<std::string> &words)
{
    PlotRecord *pPlot = g_pCurrentPlot;
    if (words.size() > 1 && words[1] == "all") {
        if (pPlot == nullptr) return 0;
        NKPlotDeleteAllCurves(pPlot);
        NKPlotComputeDataRange(pPlot);
        NKPlotUpdateAxes(pPlot);
        NKPrintInfo("Deleted all curves from plot.");
        return 1;
    }
    if (words.size() < 3) return -4;
    char *pEnd1 = nullptr, *pEnd2 = nullptr;
    long iId = std::strtol(words[1].c_str(), &pEnd1, 10);
    long iSubId = std::strtol(words[2].c_str(), &pEnd2, 10);
    if (*pEnd1 != 0 || *pEnd2 != 0) return -3;
    if (pPlot == nullptr || !NKPlotDeleteCurve(pPlot, (int)iId, (int)iSubId)) return 0;
    NKPlotComputeDataRange(pPlot);
    NKPlotUpdateAxes(pPlot);
    NKPrintInfo("Deleted curve from plot.");
    return 1;
}

// The bare form: a difference plot is made unless one is current.
int BareForm(void)
{
    if ((g_pCurrentPlot == nullptr || g_pCurrentPlot->iPlotKind != 6) && !NKStartDifferencePlot())
        return 0;
    ShowPlot();
    return 1;
}

}  // namespace

bool NKStartDifferencePlot(void)
{
    PlotRecord *pPlot = NKCreateGridPlot("Node distances", 6, "Time", "Distance");
    if (pPlot == nullptr) return false;
    pPlot->szLegendTitle = "Nodes";
    pPlot->iXAxisQuantity = 2;
    return true;
}

bool NKAddDifferenceCurve(int iPartA, int iNodeA, int iPartB, int iNodeB, int iComponent)
{
    PlotRecord *pPlot = g_pCurrentPlot;
    const NKGeometry *pGeo = NKGetFrameGeometry(NKGetCurrentFrame());
    int iNumberA = DatabaseNodeNumber(pGeo, iPartA, iNodeA);
    int iNumberB = DatabaseNodeNumber(pGeo, iPartB, iNodeB);
    int iStates = NKLSDynaGetNumStates();
    if (pPlot == nullptr || iNumberA < 0 || iNumberB < 0 || iStates < 1 || iComponent < 1 ||
        iComponent > 4)
        return false;
    std::vector<float> coords[3];
    if (!ReadNodeCoordinates(iNumberA, iNumberB, iStates, coords)) return false;
    bool bIds =
        pGeo->pParts[iPartA].pNodeIDs != nullptr && pGeo->pParts[iPartB].pNodeIDs != nullptr;
    int iIdA = CurveId(pGeo, iPartA, iNodeA, bIds, iNumberA);
    int iIdB = CurveId(pGeo, iPartB, iNodeB, bIds, iNumberB);
    NKString name = NKString::FromFormat("%d-%d", iIdA, iIdB);
    PlotCurve *pCurve = NKPlotAddCurve(pPlot, iIdA, iIdB, name.GetText(), iStates);
    if (pCurve == nullptr) return false;
    if (!FillCurve(pPlot, pCurve, coords, iStates, iComponent, iNumberA <= iNumberB)) {
        NKPlotDeleteCurve(pPlot, iIdA, iIdB);
        return false;
    }
    pPlot->szYTitle = kQuantityNames[iComponent];
    NKPlotComputeDataRange(pPlot);
    NKPlotUpdateAxes(pPlot);
    return true;
}

int NKCommandDifferencePlot(const char *pszText)
{
    if (NKGetInterfaceType() != NK_INTERFACE_LSDYNA) {
        NKPrintError("Difference plot currently only available for LS-DYNA state databases.");
        return 0;
    }
    std::vector<std::string> words = NKSplitPlotWords(pszText, true);
    if (words.empty()) return BareForm();
    int iComponent = ComponentOfWord(words[0]);
    if (iComponent > 0) return ComponentForm(words, iComponent);
    if (words[0] == "add") return HasComponent() ? AddCurveFromWords(words, 1, false) : 0;
    if (words[0] == "sel") return SelectionForm();
    if (words[0] == "del") return DeleteForm(words);
    NKPrintError("Unknown component parameter for difference plot.");
    return -3;
}
