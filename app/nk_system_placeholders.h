// app/nk_system_placeholders.h -- services of the general commands whose
// own code is not written yet: the three-dimensional test grid of the NKF
// export, the drawing benchmark and the in-view menus. Each answers its
// neutral value until its code replaces it; only the general commands
// (app/nk_system_commands.cpp and its topic files) call them.
#pragma once

class NKArgumentScan;

// Placeholder: the NKF export of an nx x ny x nz grid of hexahedra with the
// given numbers of scalar and vector results; false until the export has it.
bool NKExportGridGeometry(const char *pszFileName, int nx, int ny, int nz, int iNumScalars,
                          int iNumVectors);

// Placeholder: the drawing benchmark, iFrames frames per render mode;
// draws nothing until it is built.
void NKRunBenchmark(int iFrames);

// Placeholder: the in-view menu commands over the rest of the scan; false
// (the sub-command failed) until they are built.
bool NKUserMenuCommand(NKArgumentScan *pScan);
