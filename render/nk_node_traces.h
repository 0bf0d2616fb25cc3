// render/nk_node_traces.h -- the positions of the traced nodes over all
// frames, and their drawing as curves.
//
// `trace` (plot/) keeps which nodes are traced (g_pTraceNodes,
// core/nk_export_items.h); this file keeps, for each of them, its displayed
// position in every frame of the model (display coordinates, through the
// frame's part matrix), computed again whenever the frames, their
// displacements or their matrices change. A position whose x is 1e12 or
// more marks a node that a frame does not have.
#pragma once

// Positions at or beyond this x coordinate are missing.
constexpr float NK_TRACE_MISSING = 1e12f;

// Recomputing the positions of every traced node in every frame is
// NKComputeNodeTraces (core/nk_model_hooks.h), whose slot
// NKInstallNodeTraceHook fills: false, with "Error allocating memory for
// trace nodes.", when memory runs out (the traces are then empty).
// Frees every position array.
void NKFreeNodeTraces(void);
// The number of curves and of positions per curve computed last.
int NKGetNumNodeTraces(void);
int NKGetNodeTraceFrameCount(void);
// Curve i's positions (3 floats per frame), null outside the traces.
const float *NKGetNodeTracePositions(int i);

// The traced nodes' curves (view settings' trace byte): each a line strip
// over its defined positions in fringe colour k mod 16, and the same
// positions as points when the point size is above 1.
void NKDrawTraceCurves(void);
// The same drawing for iCurves curves of iPoints positions each.
void NKDrawTraceCurveSet(const float *const *ppCurves, int iCurves, int iPoints);
// Fills the model core's trace slot (pfnComputeNodeTraces), or empties it.
void NKInstallNodeTraceHook(bool bInstall);
