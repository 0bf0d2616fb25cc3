// render/nk_value_filter.cpp -- the value filter test (see nk_value_filter.h).
#include "render/nk_value_filter.h"

// Placeholder: the value filter is not built yet; no polygon is hidden.
bool NKIsPolygonFilteredOut(NKFrame *, int, int)
{
    return false;
}
