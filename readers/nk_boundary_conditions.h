// readers/nk_boundary_conditions.h -- the boundary-condition file of the older
// native file set and the global list of boundary conditions and loads it
// fills.
//
// The file is text. Its first line begins with "*". A line whose first four
// characters are those of "*BOUNDARY", "*NODE FORCE", "*LINE FORCE" or
// "*SURFACE FORCE" starts a section of kind 1, 2, 3 or 4; any other line
// beginning with "*" ends it; lines outside a section are skipped. A data
// line holds x, y, z, a label, six flags, then one value for each flag of 1
// or more, in flag order; missing numbers are 0. "readbc"
// (commands/nk_result_command_rows.cpp) fills the list; the scene draws it
// while "bc" has it shown (NKDrawBoundaryConditions, render/nk_primitives.h).
#pragma once

#include <cstdint>
#include <vector>

// One boundary condition or load.
struct NKBoundaryCondition {
    int iKind = 0;  // 1 boundary, 2 node force, 3 line force, 4 surface force
    int iLabel = 0;
    int iLoadCase = 0;  // 0: every load case
    int iFlags[6] = {0, 0, 0, 0, 0, 0};
    float fValues[6] = {0, 0, 0, 0, 0, 0};  // the value of flag k, or 0; the
                                            // first vector, then the second
    float fPosition[3] = {0, 0, 0};         // display coordinates
};

// The list, its drawing scale and the four display flags (boundaries, node,
// line and surface forces) that a read switches on. The boundary commands
// set them too: bcscale the scale, bcdis flag 0, bcforce flag 1, bcload
// flags 2 and 3.
extern std::vector<NKBoundaryCondition> g_BoundaryConditions;
extern float g_fBoundaryConditionScale;
extern uint8_t g_bShowBoundaryConditions[4];

// Replaces the list by the file's records, positions converted from model to
// display coordinates; sets the scale to 1 and the four flags on. False,
// reported, when the file cannot be opened or its first line does not begin
// with "*" (the list is then kept).
bool NKReadBoundaryConditions(const char *pszFileName);
