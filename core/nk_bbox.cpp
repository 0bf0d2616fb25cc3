// core/nk_bbox.cpp -- bounding boxes and display coordinates.
// See nk_bbox.h.
#include "core/nk_bbox.h"

// Placeholder: converts nothing until the display transform is built.
void DisplayToModel(float *p) { (void)p; }
