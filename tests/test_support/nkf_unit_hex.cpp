// tests/test_support/nkf_unit_hex.cpp -- the unit hexahedron as NKF text.
#include "tests/test_support/nkf_unit_hex.h"

std::string NKTestBareHex(void)
{
    return "*NKF-1.00\n*NODES 1\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n0 0 1\n1 0 1\n1 1 1\n0 1 1\n"
           "*ELEMENTS 1\n%NAME \"Hex\"\n%NODES #1\n%WITH_ID\n%HEXAHEDRONS\n1 1 2 3 4 5 6 7 8\n"
           "*QUOLINGEOMETRY 1\n%NAME \"Hex\"\n%ELEMENTS\n1\n";
}

std::string NKTestUnitHex(int iSteps)
{
    std::string text = NKTestBareHex() +
                       "*RESULTS 1\n%DIMENSION 1\n%PER_NODE #1\n0\n0\n0\n0\n1\n1\n1\n1\n"
                       "*QUOLINSCALAR 1\n%NAME \"z\"\n";
    for (int i = 1; i <= iSteps; i++) text += "%STEP " + std::to_string(i) + "\n1\n";
    return text;
}
