// plot/nk_node_plot.cpp -- node plots, the plotted-node list, the trace
// node table and the `np` command (see nk_node_plot.h).
#include "plot/nk_node_plot.h"

#include <cstring>
#include <string>
#include <vector>

#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_numeric.h"
#include "core/nk_references.h"
#include "core/nk_view_state.h"
#include "plot/nk_plot.h"
#include "plot/nk_plot_commands.h"
#include "plot/nk_plot_window.h"
#include "tools/nk_surface_path.h"

namespace {

int FrameCount(void) { return g_pModel != nullptr ? g_pModel->iNumFrames : 0; }

bool FrameHasTime(int iFrame)
{
    NKFrame *pFrame = NKGetFrame(iFrame);
    return pFrame != nullptr && !NKIsUndefined(pFrame->fTime);
}

// x quantity, title and the x flags of the step (1) or time (2) axis.
void SetXAxisKind(PlotRecord *pPlot, bool bTime, bool bSetTitle)
{
    pPlot->iXAxisQuantity = bTime ? 2 : 1;
    if (bSetTitle) pPlot->szXTitle = bTime ? "Time" : "Step number";
    uint32_t uMask =
        NK_AXIS_FLAG_BIT(NK_AXIS_X_ZERO_BASED) | NK_AXIS_FLAG_BIT(NK_AXIS_X_FORCE_MINMAX);
    NKSetPlotAxisFlags(pPlot, nullptr, uMask, bTime ? 0 : 1);
    NKSetPlotAxisFlags(pPlot, nullptr, NK_AXIS_FLAG_BIT(NK_AXIS_X_EXACT), 1);
}

void SetYTitleFromScalar(PlotRecord *pPlot)
{
    const char *pszName = NKGetScalarResultName(-1, false);
    pPlot->szYTitle = (pszName != nullptr && pszName[0] != 0) ? pszName : "Scalar value";
}

void FinishChange(PlotRecord *pPlot)
{
    NKUpdatePlottedNodeList(pPlot);
    NKPlotComputeDataRange(pPlot);
    NKPlotUpdateAxes(pPlot);
}

// The node of a curve's key in the current geometry; false when gone.
bool FindCurveNode(const PlotCurve *pCurve, int *piPart, int *piNode)
{
    NKPartItemRef ref = {pCurve->iId, pCurve->iSubId};
    if (!NKFindNodeByID(&ref, NKGetFrameGeometry(NKGetCurrentFrame()))) return false;
    *piPart = ref.iPart;
    *piNode = ref.iIndex;
    return true;
}

// Checks one pair against the current geometry, reporting a bad one.
bool CheckPair(const NKItemNode &node)
{
    const NKGeometry *pGeo = NKGetFrameGeometry(NKGetCurrentFrame());
    int iParts = pGeo != nullptr ? pGeo->iNumParts : 0;
    if (node.iPart < 0 || node.iPart >= iParts) {
        NKPrintError(NKString::FromFormat("Illegal part specified : %d Legal : 1 -> %d",
                                          node.iPart + 1, iParts)
                         .GetText());
        return false;
    }
    if (node.iNode < 0 || node.iNode >= pGeo->pParts[node.iPart].iNumNodes) {
        NKPrintError(NKString::FromFormat("Illegal node specified : %d", node.iNode).GetText());
        return false;
    }
    return true;
}

// Gives a new node curve its plot quantities, points and styles; false
// (the curve deleted) when it cannot be filled.
bool SetUpNodeCurve(PlotRecord *pPlot, PlotCurve *pCurve, const NKItemNode &node)
{
    pCurve->iXQuantity = pPlot->iXAxisQuantity;
    pCurve->iYQuantity = pPlot->iYQuantity;
    if (!NKFillNodeCurve(pCurve, node.iPart, node.iNode)) {
        NKPlotDeleteCurve(pPlot, pCurve->iId, pCurve->iSubId);
        return false;
    }
    NKPlotStyleNewCurve(pPlot, pCurve);
    return true;
}

}  // namespace

bool NKCreateCurrentPlot(bool bKeepPlacement)
{
    int x = 0, y = 0, w = 0, h = 0;
    bool bKeep = bKeepPlacement && g_pCurrentPlot != nullptr;
    if (bKeep) NKGetPlotViewport(g_pCurrentPlot, &x, &y, &w, &h);
    if (g_pCurrentPlot != nullptr) NKDeleteCurrentPlot();
    PlotRecord *pPlot = NKCreatePlot();
    if (pPlot == nullptr) return false;
    NKPlotAttachContext(pPlot, nullptr);
    g_pCurrentPlot = pPlot;
    int iViewW = NKViewWindowSize.iWidth, iViewH = NKViewWindowSize.iHeight;
    if (bKeep)
        NKSetPlotViewport(pPlot, x, y, w, h);
    else
        NKPlacePlot(pPlot, -5, -7, iViewW / 2, iViewH / 2, iViewW, iViewH);
    if (g_bPlotInOwnWindow) NKOpenPlotWindow();
    return true;
}

PlotRecord *NKCreateGridPlot(const char *pszTitle, int iKind, const char *pszXTitle,
                             const char *pszYTitle)
{
    if (!NKCreateCurrentPlot(g_pCurrentPlot != nullptr)) return nullptr;
    PlotRecord *pPlot = g_pCurrentPlot;
    pPlot->szTitle = pszTitle;
    pPlot->iPlotKind = iKind;
    pPlot->szXTitle = pszXTitle;
    pPlot->szYTitle = pszYTitle;
    pPlot->bTitleShown = pPlot->bLegendShown = 1;
    pPlot->bXTitleShown = pPlot->bYTitleShown = 1;
    pPlot->bXGrid = pPlot->bYGrid = 1;
    NKSetPlotAxisFlags(pPlot, nullptr, NK_AXIS_FLAGS_RESET, 0);
    return pPlot;
}

bool NKDeleteCurrentPlot(void)
{
    if (g_pCurrentPlot == nullptr) return false;
    NKClosePlotWindow(false);
    NKPlotDetachContext(g_pCurrentPlot);
    NKClearPlottedNodeList();
    NKClearSelectionPaths();
    NKFreePlot(g_pCurrentPlot);
    g_pCurrentPlot = nullptr;
    return true;
}

bool NKInitNodePlot(void)
{
    if (!NKCreateCurrentPlot(g_pCurrentPlot != nullptr)) return false;
    PlotRecord *pPlot = g_pCurrentPlot;
    pPlot->szTitle = "Plotting of model nodes";
    pPlot->bTitleShown = 1;
    pPlot->szLegendTitle = "Node number";
    pPlot->bLegendShown = 1;
    pPlot->bXTitleShown = pPlot->bYTitleShown = 1;
    pPlot->bXMarkerLine = pPlot->bMarkerLineShown = pPlot->bFollowSteps = 1;
    pPlot->iPlotKind = 1;
    pPlot->iYQuantity = 0;
    SetXAxisKind(pPlot, FrameHasTime(0), true);
    SetYTitleFromScalar(pPlot);
    return true;
}

bool NKFillNodeCurve(PlotCurve *pCurve, int iPart, int iNode)
{
    int n = FrameCount();
    if (n < 1 || !NKSetPlotCurvePointCount(pCurve, n)) return false;
    pCurve->iKind = 1;
    int iUsed = 0;
    for (int i = 0; i < n; i++) {
        NKPart *pPart = NKGetPartByIndex(i, iPart);
        if (pPart == nullptr || iNode >= pPart->iNumNodes) continue;
        NKFrame *pFrame = NKGetFrame(i);
        pCurve->pPoints[iUsed].x = pCurve->iXQuantity == 2 ? pFrame->fTime : (float)(i + 1);
        pCurve->pPoints[iUsed].y = NKGetScalarNodeValue(i, iPart, iNode);
        iUsed++;
    }
    return NKSetPlotCurvePointCount(pCurve, iUsed) || iUsed == 0;
}

bool NKAddNodesToNodePlot(const NKItemNode *pNodes, int iCount)
{
    PlotRecord *pPlot = g_pCurrentPlot;
    if (pPlot == nullptr || pNodes == nullptr || iCount < 1) return false;
    bool bOk = true;
    for (int i = 0; i < iCount && bOk; i++) {
        bOk = CheckPair(pNodes[i]);
        if (!bOk) break;
        const NKGeometry *pGeo = NKGetFrameGeometry(NKGetCurrentFrame());
        int iId = NKGetNodeID(pNodes[i].iPart, pNodes[i].iNode, pGeo);
        NKString label = NKString::FromFormat("%d, %d", pNodes[i].iPart + 1, iId);
        PlotCurve *pCurve =
            NKPlotAddCurve(pPlot, pNodes[i].iPart + 1, iId, label.GetText(), FrameCount());
        if (pCurve != nullptr) SetUpNodeCurve(pPlot, pCurve, pNodes[i]);
    }
    FinishChange(pPlot);
    return bOk;
}

bool NKUpdatePlottedNodeList(const PlotRecord *pPlot)
{
    NKClearPlottedNodeList();
    if (pPlot == nullptr) return false;
    std::vector<NKItemNode> nodes;
    for (int i = 0; i < pPlot->iNumCurves; i++) {
        const PlotCurve *c = pPlot->ppCurves[i];
        NKItemNode node{};
        if (c->iKind != 1 || !c->bVisible || !FindCurveNode(c, &node.iPart, &node.iNode)) continue;
        std::memcpy(node.ucColor, c->ucLineColor, 3);
        nodes.push_back(node);
    }
    if (nodes.empty()) return true;
    g_pNodePlots = (NKItemNode *)NKAlloc(nodes.size() * sizeof(NKItemNode));
    if (g_pNodePlots == nullptr) return false;
    std::memcpy(g_pNodePlots, nodes.data(), nodes.size() * sizeof(NKItemNode));
    g_iNumNodePlots = (int)nodes.size();
    return true;
}

void NKClearPlottedNodeList(void)
{
    NKFree(g_pNodePlots);
    g_pNodePlots = nullptr;
    g_iNumNodePlots = 0;
}

bool NKSetNodePlotXAxis(bool bUseTime, bool bSetTitle)
{
    PlotRecord *pPlot = g_pCurrentPlot;
    if (pPlot == nullptr) return false;
    bool bTime = bUseTime && (FrameHasTime(0) || NKSetFrameTimesFromDescriptions());
    SetXAxisKind(pPlot, bTime, bSetTitle);
    for (int i = 0; i < pPlot->iNumCurves; i++)
        if (pPlot->ppCurves[i]->iKind == 1) pPlot->ppCurves[i]->iXQuantity = pPlot->iXAxisQuantity;
    NKRefreshNodeCurves(pPlot);
    FinishChange(pPlot);
    return true;
}

bool NKRefreshNodeCurves(PlotRecord *pPlot)
{
    if (pPlot == nullptr) return false;
    for (int i = pPlot->iNumCurves - 1; i >= 0; i--) {
        PlotCurve *c = pPlot->ppCurves[i];
        if (c->iKind != 1) continue;
        int iPart = 0, iNode = 0;
        if (!FindCurveNode(c, &iPart, &iNode) || !NKFillNodeCurve(c, iPart, iNode))
            NKPlotDeleteCurve(pPlot, c->iId, c->iSubId);
    }
    return true;
}

bool NKUpdateNodePlot(void)
{
    PlotRecord *pPlot = g_pCurrentPlot;
    if (pPlot == nullptr) return false;
    NKRefreshNodeCurves(pPlot);
    if (!pPlot->bKeepYTitle) SetYTitleFromScalar(pPlot);
    FinishChange(pPlot);
    return true;
}

bool NKDeleteNodesFromNodePlot(const NKItemNode *pNodes, int iCount)
{
    PlotRecord *pPlot = g_pCurrentPlot;
    if (pPlot == nullptr) return false;
    if (iCount == -1) {
        for (int i = pPlot->iNumCurves - 1; i >= 0; i--)
            if (pPlot->ppCurves[i]->iKind == 1)
                NKPlotDeleteCurve(pPlot, pPlot->ppCurves[i]->iId, pPlot->ppCurves[i]->iSubId);
    } else {
        const NKGeometry *pGeo = NKGetFrameGeometry(NKGetCurrentFrame());
        for (int i = 0; i < iCount; i++)
            NKPlotDeleteCurve(pPlot, pNodes[i].iPart + 1,
                              NKGetNodeID(pNodes[i].iPart, pNodes[i].iNode, pGeo));
    }
    FinishChange(pPlot);
    return true;
}

namespace {
int sg_iTraceCapacity = 0;  // entries allocated behind g_pTraceNodes
}  // namespace

bool NKAddTraceNode(int iPart, int iNode)
{
    if (g_iNumTraceNodes >= sg_iTraceCapacity) {
        int iNew = sg_iTraceCapacity < 16 ? 16 : sg_iTraceCapacity * 2;
        void *pGrown = NKRealloc(g_pTraceNodes, (size_t)iNew * sizeof(NKItemNode));
        if (pGrown == nullptr) return false;
        g_pTraceNodes = (NKItemNode *)pGrown;
        sg_iTraceCapacity = iNew;
    }
    NKItemNode node{};
    node.iPart = iPart;
    node.iNode = iNode;
    g_pTraceNodes[g_iNumTraceNodes++] = node;
    return true;
}

void NKClearTraceNodes(void)
{
    NKFree(g_pTraceNodes);
    g_pTraceNodes = nullptr;
    g_iNumTraceNodes = 0;
    sg_iTraceCapacity = 0;
}
