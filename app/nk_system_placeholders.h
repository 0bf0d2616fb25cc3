// app/nk_system_placeholders.h -- services of the general commands whose
// own code is not written yet: the request server that stands in for DDE,
// the drawing benchmark and the in-view menus. Each answers its neutral value until its code
// replaces it; only the general commands (app/nk_system_commands.cpp and
// its topic files) call them.
#pragma once

#include <cstdint>

class NKArgumentScan;

// Whether the request server runs (dde / nodde).
extern uint8_t g_bDDEActive;

// Placeholder: the request server's start; false until it is built.
bool NKDDEInitialize(void);
// Placeholder: the request server's stop; nothing until it is built.
void NKDDEClose(void);
// Placeholder: the request server's debug echo; nothing until it is built.
void NKSetDdeDebug(bool bOn);

// Placeholder: the drawing benchmark, iFrames frames per render mode;
// draws nothing until it is built.
void NKRunBenchmark(int iFrames);

// Placeholder: the in-view menu commands over the rest of the scan; false
// (the sub-command failed) until they are built.
bool NKUserMenuCommand(NKArgumentScan *pScan);
