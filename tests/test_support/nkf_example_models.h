// tests/test_support/nkf_example_models.h -- the two example models
// shipped in examples/ (a cantilever beam of hexahedra and a plate of
// quadrilaterals), built as ASCII NKF text.
//
// The example generator program (examples/nkf_example_generator.cpp)
// writes these texts to examples/beam.nkf and examples/plate.nkf, and the
// example tests check that the committed files still equal them. Numbers
// are printed locale-free, so the text is the same on every machine.
#pragma once

#include <string>
#include <vector>

// Size of the beam: hexahedra along x, y and z.
const int NKF_BEAM_CELLS_X = 10;
const int NKF_BEAM_CELLS_Y = 2;
const int NKF_BEAM_CELLS_Z = 2;
// Size of the plate: quadrilaterals along x and y.
const int NKF_PLATE_CELLS_X = 8;
const int NKF_PLATE_CELLS_Y = 6;
// Polygons of the plate's load patch (a face set over the middle cells).
const int NKF_PLATE_PATCH_POLYGONS = 4;
// Load steps of both models.
const int NKF_EXAMPLE_STEPS = 3;

// The whole ASCII file of each model.
std::string NKFBeamExampleText();
// The beam model with other numbers of hexahedra along x, y and z (the
// example's are NKF_BEAM_CELLS_X, _Y and _Z), for larger test models.
std::string NKFBeamText(int iCellsX, int iCellsY, int iCellsZ);
std::string NKFPlateExampleText();

// Writes beam.nkf and plate.nkf into the folder; false when a file cannot
// be written.
bool NKFWriteExampleModels(const std::string &folder);

// The small quad model of the import and export tests, as ASCII NKF lines
// for NKFWriteTestFile: four nodes, one %QUADS element (with the
// description when one is given), geometry "Quad" and node values 10..40
// named "Temp" at the first step.
std::vector<std::string> NKFTestQuadLines(const char *pszDescription);
