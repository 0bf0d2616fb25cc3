// render/nk_node_traces.cpp -- traced node positions (see nk_node_traces.h).
#include "render/nk_node_traces.h"

// Placeholder: no traced nodes exist yet.
bool NKComputeNodeTraces(void)
{
    return true;
}
