// app/nk_system_placeholders.h -- services of the general commands whose
// own code is not written yet: the drawing benchmark and the in-view
// menus. Each answers its neutral value until its code replaces it; only the
// general commands (app/nk_system_commands.cpp and its topic files) call
// them.
#pragma once

class NKArgumentScan;

// Placeholder: the drawing benchmark, iFrames frames per render mode;
// draws nothing until it is built.
void NKRunBenchmark(int iFrames);

// Placeholder: the in-view menu commands over the rest of the scan; false
// (the sub-command failed) until they are built.
bool NKUserMenuCommand(NKArgumentScan *pScan);
