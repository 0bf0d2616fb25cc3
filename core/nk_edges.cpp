// core/nk_edges.cpp -- edge kinds of polygon edge slots. See nk_edges.h.
#include "core/nk_edges.h"

// Placeholder: computes no edge kinds until the edge search is built.
bool NKFindEdges(NKGeometry *pGeo, NKFrame *pFrame)
{
    (void)pFrame;
    return pGeo != nullptr;
}
