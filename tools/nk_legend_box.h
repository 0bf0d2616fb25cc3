// tools/nk_legend_box.h -- the 3-D legend: the fringe colour bar drawn as a
// box in the fixed overlay space, carried by the "3D Legend" box handle
// (g_pLegendBox, nk_manipulator.h).
//
// The scene's 3-D overlays call NKDraw3DLegend after the handles. The legend
// and nolegend commands show and hide the handle while interactive handles
// are switched on; otherwise it stays disabled and nothing is drawn.
#pragma once

class BoxManipulator;

// Nothing for a null or disabled handle. Otherwise, under the identity moved
// by (0, 0, -2): the handle itself when the handle list does not draw it,
// then the handle's box divided along its height into four segments in the
// fringe colours (C0 at the bottom, C4 at the top; the bottom and top faces
// in C0 and C4) or, with texture fringes on, in white under the fringe
// texture with coordinate 0 at the bottom and 1 at the top; the ticks and
// value labels of the fringe range by the legend's step rule beside the
// right face (3-D text of size 12), and the box outline, in white. The GL
// state and matrices are left as found.
void NKDraw3DLegend(BoxManipulator *pBox);
