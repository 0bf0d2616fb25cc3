// tests/test_support/nkf_unit_hex.h -- the NKF text of the model the command
// tests open: one hexahedron (ID 1, part "Hex") on the unit cube, its corners
// in table order from the origin, node 7 at (1, 1, 1).
#pragma once

#include <string>

// The hexahedron alone, without results.
std::string NKTestBareHex(void);

// The hexahedron with the node scalar "z" (the node's z coordinate), the
// same at every step from the first to iSteps.
std::string NKTestUnitHex(int iSteps = 1);
