// core/nk_bounding_box.cpp -- bounding boxes and display coordinates.
// See nk_bounding_box.h.
#include "core/nk_bounding_box.h"

// Placeholder: converts nothing until the display transform is built.
void DisplayToModel(float p[3]) { (void)p; }
