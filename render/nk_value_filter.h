// render/nk_value_filter.h -- the value filter of the view settings, as far
// as picking and drawing ask it whether a polygon is hidden.
#pragma once

struct NKFrame;

// True when the value filter hides polygon iPolygon of part iPart in the
// frame: its element value or one of its node values lies outside the filter
// range, or the frame has no scalar values for the part.
bool NKIsPolygonFilteredOut(NKFrame *pFrame, int iPart, int iPolygon);
