// scene/nk_renderer.h -- start-up and shut-down of the drawing code: its
// global records (view settings, lights, lighting models, the list-update
// record, the display-list set, the highlight settings), the scene slot of core/nk_load_hooks.h and
// the display commands' slot of the handler chain, the fringe texture table
// and the node-colour slots of core (nk_node_colors.h).
//
// The shell calls NKInstallRenderer once at start-up, after the graphics
// settings exist, and NKShutdownRenderer at exit. Tests that draw call the
// same pair.
#pragma once

// Makes the records (a second call keeps them), flags every list for the
// first draw, fills the pfnDrawScene slot with NKRenderScene and slot
// NK_HANDLER_VIEW with NKCommandHandleView. False when out of memory.
bool NKInstallRenderer(void);
// Frees the records and empties both slots.
void NKShutdownRenderer(void);
