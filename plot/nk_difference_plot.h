// plot/nk_difference_plot.h -- the difference plot: over all states of the
// open LS-DYNA plot database, the distance of two nodes or the difference of
// one of their coordinates, as curves of a "Node distances" plot (kind 6)
// against time. The `dp` command fills it; the plot command handler
// (plot/nk_plot_commands.cpp) turns its answers into command results.
#pragma once

#include <cstdint>

// The current component: 1 absolute distance, 2 X, 3 Y, 4 Z difference (1).
extern int32_t g_iDifferenceComponent;
// Set when a bare component word changed the component; the next curve from
// the selection then starts a new plot (1).
extern uint8_t g_bDifferenceComponentChanged;

// Replaces the current plot by an empty difference plot; false when it
// cannot be made.
bool NKStartDifferencePlot(void);
// Adds the curve of node iNodeA of part iPartA and node iNodeB of part
// iPartB (0-based) in component iComponent to the current plot. False (the
// plot as it was) when any requirement fails or the states cannot be read.
bool NKAddDifferenceCurve(int iPartA, int iNodeA, int iPartB, int iNodeB, int iComponent);
// `dp` with the words after the command name: 1 done, 0 failed, -2 not a
// command form, -3 bad component or node, -4 a node or id missing.
int NKCommandDifferencePlot(const char *pszText);
