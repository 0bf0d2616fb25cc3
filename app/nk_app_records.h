// app/nk_app_records.h -- the records that live as long as the program:
// made in a fixed order at start-up (InitApplication, then
// InitRuntimeDefaults), freed in that order at shut-down (ExitApplication),
// and the display state they hold put back to its defaults before a model
// loads (NKResetModelStateRecords, the shell's ResetModelState).
//
// NKRunApplication (nk_application.cpp) calls the three start-up and
// shut-down functions; the load sequence of the command language reaches the
// reset through the core slot pfnResetModelState (nk_shell_services.cpp).
// Records whose owners keep them as static data (background, vector,
// highlight, contour and animation settings, the ride, recent files, macros,
// the poll file) stay static: start-up gives them their start values and
// shut-down frees what they own. The switch of the interactive manipulators
// (NKAreManipulatorsEnabled) lives beside the handles in
// tools/nk_manipulator.h, where the tools that ask it can reach it.
#pragma once

// Makes the records in their fixed order. False when the model cannot be
// made or a vector settings record cannot be reset; the records made before
// stay (ExitApplication frees them). A record that already exists
// is kept, so a second call without ExitApplication leaks nothing.
bool InitApplication(void);
// The run-time defaults: near and far clipping distances, the current
// data-source record with the readers, the reader plug-in table and the
// LS-DYNA reader's start state. True.
bool InitRuntimeDefaults(void);
// Frees what InitApplication and InitRuntimeDefaults made, clearing each
// global pointer; static records give back what they own. Safe to call
// when start-up stopped early or never ran.
void ExitApplication(void);
// With the 3-D view's context current, just before the context goes: the
// GL objects that live in it (the plot's fonts and lists when the plot is
// bound to it, the label font, the shared font ranges, the stipple,
// light, material and background lists) are deleted and their records
// forgotten, and the fringe texture is marked for a new upload. Without a
// current context only the records are forgotten.
void NKReleaseViewGLObjects(void);
// The reset before a model load (mode 2 when bKeep, else 1): the settings
// records are reset in that mode; without bKeep the colours, delays, mesh
// factor, stipple lists, rotation point and automatic ranges go back to
// their defaults; always the selection list, lights, materials, fringe
// texture, ride and reader flags are reset. Records not made yet are
// skipped.
void NKResetModelStateRecords(bool bKeep);
