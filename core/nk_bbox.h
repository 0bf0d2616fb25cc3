// core/nk_bbox.h -- bounding boxes and the conversion between model
// and display coordinates.
//
// Node coordinates are held in display coordinates: (model - centre) x
// per-axis scale x fGeoScale; boxes are held in model coordinates.
#pragma once

// In place: p = p / (axis scale x fGeoScale) + centre.
void DisplayToModel(float *p);
