// render/nk_node_traces.h -- the positions of traced nodes over all frames.
#pragma once

// Placeholder: no node is traced yet, so there is nothing to recompute.
// Recomputes the position of every traced node in every frame.
bool NKComputeNodeTraces(void);
