// render/nk_legend.h -- the colour legend at the left edge of the 3-D view
// (with the second bar at the right edge for a second scalar field), the
// title block with the result ranges, and the small turning axis triad in
// the lower left corner.
//
// The screen overlays of the scene (nk_overlays.cpp) call these while the
// view settings ask for them. Every text goes into the overlay text queue
// (nk_text_list.h) at size 12 unless said otherwise; the queue is drawn at
// the end of the frame. The legend settings are set by the fringe and
// legend commands (nk_fringe_commands.cpp).
#pragma once

#include <vector>

#include "core/nk_string.h"

struct NKFrame;

// The most ticks the legend aims for (legendticks; 10) and the text drawn
// above the bar (legenddescription; empty).
extern int NKLegendMaxTicks;
extern NKString NKLegendDescription;

// The legend bar for the frame: colours, outline, ticks and labels, the
// second bar when the frame has a second scalar result.
void NKDrawColorLegend(NKFrame *pFrame);
// The ticks, value labels, iso and filter markers and the description of
// the main bar, over the model's fringe range.
void NKDrawLegendTicks(NKFrame *pFrame);
// The values that get a tick and a label between the ends of the range
// from..to: the step is the smallest of 1, 2, 5 or 10 times a power of ten
// that is at least (to - from) / iMaxTicks; values within 0.3 step (0.2 when
// the range holds zero) of the ends are left out. Empty for an empty range.
std::vector<double> NKLegendTickValues(double from, double to, int iMaxTicks);
// One value label into pszOut (room for 64 characters and the unit): "%g
// %s" for 0 and for values above 0.0001 below 100000, "%.3g %s" else.
void NKFormatLegendValue(float fValue, char *pszOut, const char *pszUnit);
// The geometry description and the block of result ranges; the second
// colour set is white on dark blue framed light blue.
void NKDrawTitleBlock(NKFrame *pFrame, bool bSecondColorSet);
// True when the frame's scalar or vector result has a description.
bool NKFrameHasResultDescriptions(NKFrame *pFrame);
// The axis triad in its own 80 x 80 viewport.
void NKDrawAxisTriad(void);
