// render/nk_element_drawing.h -- the element drawers the part drawing hands
// a part to, and the drawing paths beside them: vertex arrays, the depth
// pass under hidden lines and the sorted transparent pass.
//
// NKDrawPartColored draws a part whose fringes are on and whose frame holds
// node values for it, each vertex in its node colour or 1-D fringe texture
// coordinate (or each polygon in its element's colour); NKDrawPartTextured
// draws every other part in one colour, with its image texture when it has
// one. Both turn the part's polygons into lines (style 1), outline edges
// (style 3) or surfaces (style 0), skipping polygons whose visibility byte
// is not the part's level code and, with the value filter on, polygons the
// filter hides. The renderer workarounds of core/nk_graphics_settings.h
// (quads as polygons, the line-clipping fix, triangles only) choose the
// primitives. Every function leaves the GL state, the attribute and
// modelview stacks and the client arrays as it found them.
#pragma once

#include <cstdint>

struct NKDisplayListSet;
struct NKFrame;
struct NKPart;

// How polygons of quadratic faces (8 nodes, or 6 of a part with elements)
// are drawn (highordermode): all nodes, the corners only, or triangles.
enum { NK_HIGH_ORDER_RAW = 0, NK_HIGH_ORDER_SKIP = 1, NK_HIGH_ORDER_TRIANGLES = 2 };
extern int32_t g_iHighOrderMode;

// iStyle is the part's effective style: 0 surface, 1 lines, 3 outline.
void NKDrawPartColored(int iPart, NKFrame *pFrame, int iStyle, NKDisplayListSet *pLists);
void NKDrawPartTextured(int iPart, NKFrame *pFrame, int iStyle, NKDisplayListSet *pLists);
// The vertex-array path for opaque surfaces: the drawable polygons (all of
// them through the part's connectivity, or a list of the drawable ones)
// with the colour and texture arrays the current set-up asks for.
void NKDrawPartArrays(int iPart, NKFrame *pFrame);
// The transparent pass over the listed parts, called with blending on and
// depth writes off: every drawable polygon, far to near when bSorted (and
// transparency is not fast), else in list order. False for missing
// arguments or when the sort fails; true when there is nothing to draw.
bool NKDrawModelPass(const int *piParts, int iCount, NKFrame *pFrame, bool bSorted,
                     NKDisplayListSet *pLists);
// Fills the depth buffer with the listed visible parts' polygons, colour
// writes and lighting off.
void NKDrawHiddenLineDepthPass(const int *piParts, int iCount, NKFrame *pFrame);
// The part's drawable polygons as plain GL_POLYGONs in the current state.
void NKDrawPartPolygonsFlat(int iPart, NKFrame *pFrame);
// True when the frame's scalar result holds node values for the part.
bool NKHasPartNodeValues(const NKFrame *pFrame, int iPart);

// Polygon k of the part when it exists and every node index is a node of
// the part.
bool NKGetValidPolygon(const NKPart &part, int k, const int **ppiNodes, int *piCount);
// The image-texture coordinate (s, t) of vertex pfVertex for texture plane
// iPlane (0 xy, 1 xz, 2 yz, 3 auto, 4 nearest by the polygon normal) with
// the texture frame's origin and scales; false for planes above 4.
bool NKImageTexCoord(int iPlane, const float afOrigin[3], const float afScale[3],
                     const float *pfVertex, const int8_t *pPolygonNormal, float afOut[2]);
