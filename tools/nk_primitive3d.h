// tools/nk_primitive3d.h -- lists of 3-D primitives attached to parts.
//
// A part owns at most one list (NKPart::pPrimitives). Releasing the part
// deletes the list's primitives with DeleteAll and then the list object. One
// further list belongs to no part; its box grows the geometry boxes.
#pragma once

// Placeholder: only what the model records need, until the 3-D primitives are
// built.
class Primitive3DList {
public:
    // Deletes every primitive of pList; the caller then deletes the list.
    static void DeleteAll(Primitive3DList *pList);
    // Placeholder: a list holds no primitives yet, so it has no box (false).
    // Copies the list's box (display coordinates) into pfBox; false when the
    // list is empty or pfBox is null.
    static bool GetBoundingBox(const Primitive3DList *pList, float *pfBox);
};

// Placeholder: the list that belongs to no part; null until one is made.
extern Primitive3DList *g_pGlobalPrimitives;
