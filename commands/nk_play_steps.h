// commands/nk_play_steps.h -- Play: one frame for every step of the open
// data source, then the animation runs.
//
// Every place that plays calls it: the tool bar's and the Animation menu's
// Play and Play backward (app/nk_menus.cpp) and the view's Results Menu's
// "Launch Animation" (app/nk_gl_menu_results.cpp). It runs command lines,
// so what it does is echoed and logged as the lines are; a command file's
// own "animresults" keeps its failure over a refused step.
#pragma once

#include "core/nk_string.h"

// The line Play runs first: "animresults 1 N 1" over the source's N steps.
// The Results Menu shows it as Launch Animation's line.
NKString NKPlayLine(void);
// Runs NKPlayLine(). Where the set-up finds refused steps (the first one
// named by its check, once), the steps that read play instead with
// "animresults steps ...", after the warning "Play passes over refused
// state 5." (or "... states 3, 5-6."); with none that reads, "No state of
// the data source reads: nothing plays." and nothing changes. True when an
// animation was set up.
bool NKPlayAllSteps(void);
