// app/nk_pick_commands.h -- the switches of the continuous pick
// information and the saved selection feedback mode, which the picking
// commands (nk_pick_commands.cpp) set.
//
// The 3-D view's hover picking and the information sheet read the two
// pickinfo switches; the status-bar switch is stored and reported only.
#pragma once

#include <cstdint>

// Continuous pick information in the information sheet (0 at start).
extern uint8_t g_bPickInfoInSheet;
// Continuous pick information in the status bar (0 at start).
extern uint8_t g_bPickInfoInStatusbar;
// The selection feedback mode in force before a node, distance or
// cut-plane picking mode; -1 while nothing is saved.
extern int32_t g_iSavedSelectionFeedback;
