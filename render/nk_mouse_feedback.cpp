// render/nk_mouse_feedback.cpp -- the interaction cursor (see
// nk_mouse_feedback.h).
#include "render/nk_mouse_feedback.h"

namespace {
int sg_iInteractionCursor = NK_CURSOR_NORMAL;
}

// Placeholder: only the code is kept until the view shows cursors.
int SetInteractionCursor(int iCode)
{
    int iPrevious = sg_iInteractionCursor;
    sg_iInteractionCursor = iCode;
    return iPrevious;
}
