// render/nk_mouse_feedback.h -- the interaction cursor: the mouse cursor that
// shows what a drag in the 3-D view will do, and the wait cursor of long
// operations.
#pragma once

// Cursor codes: 1 the arrow, 2 the wait cursor (long operations).
enum {
    NK_CURSOR_NORMAL = 1,
    NK_CURSOR_WAIT = 2
};

// Placeholder: remembers the code (no cursor is shown yet) and returns the
// code set before it.
int SetInteractionCursor(int iCode);
