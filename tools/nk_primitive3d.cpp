// tools/nk_primitive3d.cpp -- lists of 3-D primitives attached to parts.
#include "tools/nk_primitive3d.h"

// Placeholder: a list holds no primitives yet, so there is nothing to delete.
void Primitive3DList::DeleteAll(Primitive3DList *)
{
}
