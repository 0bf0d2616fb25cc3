// plot/nk_node_plot.h -- node plots: the scalar value of chosen model nodes
// over the frames, one kind-1 curve per node (key part number, node ID),
// against the step number or the frame time; the plotted-node list the 3-D
// view marks (g_pNodePlots, core/nk_export_items.h, rebuilt from the visible
// node curves); the current plot's creation and deletion; the trace node
// table (g_pTraceNodes) that `trace` fills; and the `np` command.
#pragma once

#include "core/nk_export_items.h"
#include "core/nk_plot_records.h"

// Replaces the current plot by a new one bound to the current GL context;
// with bKeepPlacement the old viewport is kept, else the plot goes to the
// top right of the view at half its size. False when it cannot be made.
bool NKCreateCurrentPlot(bool bKeepPlacement);
// A fresh current plot (NKCreateCurrentPlot, keeping the placement) of the
// kind, its title and axis titles set and shown, the legend shown, grid
// lines on both axes and the axis flags reset. Null when it cannot be made.
PlotRecord *NKCreateGridPlot(const char *pszTitle, int iKind, const char *pszXTitle,
                             const char *pszYTitle);
// Detaches and frees the current plot, empties the plotted-node list; false
// when there is no plot.
bool NKDeleteCurrentPlot(void);
// A fresh current plot set up as the node plot.
bool NKInitNodePlot(void);
// Adds one curve per {part index, node index} pair (pairs already plotted
// are skipped). False without a plot, for an empty list, or at the first
// invalid pair (reported; the pairs before it stay added).
bool NKAddNodesToNodePlot(const NKItemNode *pNodes, int iCount);
// The node's values over the frames into the curve; false without frames.
bool NKFillNodeCurve(PlotCurve *pCurve, int iPart, int iNode);
// Rebuilds the list from the plot's visible kind-1 curves.
bool NKUpdatePlottedNodeList(const PlotRecord *pPlot);
void NKClearPlottedNodeList(void);
bool NKSetNodePlotXAxis(bool bUseTime, bool bSetTitle);
// Refills every kind-1 curve; a curve whose node is gone is deleted.
bool NKRefreshNodeCurves(PlotRecord *pPlot);
bool NKUpdateNodePlot(void);
// Removes the curves of the given nodes (every node curve for iCount -1).
bool NKDeleteNodesFromNodePlot(const NKItemNode *pNodes, int iCount);
// `np`: 1 done, 0 failed, -2 unknown sub-command, -3 adding failed.
int NodePlotCommand(const char *pszArguments);

// The trace node table: appends one node (the table grows as needed);
// false when memory runs out.
bool NKAddTraceNode(int iPart, int iNode);
void NKClearTraceNodes(void);
