// render/nk_element_drawing.h -- the element drawers the part drawing hands
// a part to: fringe-coloured and plain polygons, the sorted transparent
// pass and the depth pass under hidden lines.
//
// Placeholder: the element drawing proper (styles, normals, fringes,
// textures, strips) comes with its own code. Until then the two part
// drawers draw each polygon of visibility 0 as an unlit GL_POLYGON in the
// part's ambient colour scaled by its largest component, the model pass
// does so for its parts in list order, and the depth pass draws nothing.
// Each leaves the GL state as it found it.
#pragma once

struct NKDisplayListSet;
struct NKFrame;

void NKDrawPartColored(int iPart, NKFrame *pFrame, int iStyle, NKDisplayListSet *pLists);
void NKDrawPartTextured(int iPart, NKFrame *pFrame, int iStyle, NKDisplayListSet *pLists);
// The listed parts' polygons (far to near once sorting exists).
void NKDrawModelPass(NKFrame *pFrame, const int *piParts, int iCount, NKDisplayListSet *pLists);
void NKDrawHiddenLineDepthPass(NKFrame *pFrame, const int *piParts, int iCount);
// The part's polygons of visibility 0 in the current colour, unlit state
// left to the caller.
void NKDrawPartPolygonsFlat(int iPart, NKFrame *pFrame);
