// core/nk_edges.h -- edge kinds of every polygon edge slot of a part
// (not drawn, smooth interior, boundary or feature) for outlines and meshes.
#pragma once

struct NKGeometry;
struct NKFrame;

// Edge kinds of every part of the geometry; the frame (or null) gives the
// level-of-detail codes. False for a null geometry or on allocation failure.
bool NKFindEdges(NKGeometry *pGeo, NKFrame *pFrame);
