// tools/nk_primitive3d.cpp -- lists of 3-D primitives attached to parts.
#include "tools/nk_primitive3d.h"

Primitive3DList *g_pGlobalPrimitives = nullptr;

// Placeholder: a list holds no primitives yet, so there is nothing to delete.
void Primitive3DList::DeleteAll(Primitive3DList *)
{
}

// Placeholder: a list holds no primitives yet.
bool Primitive3DList::GetBoundingBox(const Primitive3DList *, float *)
{
    return false;
}
