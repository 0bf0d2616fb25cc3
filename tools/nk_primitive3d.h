// tools/nk_primitive3d.h -- lists of 3-D primitives attached to parts.
//
// A part owns at most one list (NKPart::pPrimitives). Releasing the part
// deletes the list's primitives with DeleteAll and then the list object.
#pragma once

// Placeholder: only what the model records need, until the 3-D primitives are
// built.
class Primitive3DList {
public:
    // Deletes every primitive of pList; the caller then deletes the list.
    static void DeleteAll(Primitive3DList *pList);
};
