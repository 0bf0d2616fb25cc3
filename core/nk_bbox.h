// core/nk_bbox.h -- bounding boxes and the conversion between model and
// display coordinates (display = (model - centre) x axis scale x fGeoScale).
//
// Only what the edges, part lists, interpolation and writers call is here so
// far; the box module replaces this header and its source.
#pragma once

struct NKFrame;

// Placeholder: in place, p = (p - centre) x axis scale x fGeoScale of g_pModel.
void ModelToDisplay(float p[3]);
// Placeholder: in place, p = p / (axis scale x fGeoScale) + centre.
void DisplayToModel(float p[3]);
// Placeholder: in place, v = v / (axis scale x fGeoScale).
void DisplayToModelVector(float v[3]);
// Placeholder: the undeformed box of part iPart of the frame's geometry (every
// mode); null for a null frame, a frame without geometry or a bad part.
const float *NKGetPartBoundingBox(NKFrame *pFrame, int iPart, int iMode);
// Placeholder: recomputes no boxes; true.
bool NKComputeFrameBoundingBoxes(int iFrame, bool bUndeformed, bool bDisplaced);
