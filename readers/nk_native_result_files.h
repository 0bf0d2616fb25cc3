// readers/nk_native_result_files.h -- the scalar and vector files of the
// older native file set, the modes that shape how they are read, and the
// step names its results file gives.
//
// Scalar and vector files hold one value (vector) per node of the geometry
// file (nk_native_geometry.h), for one or more steps. Binary form, 32-bit
// words in either byte order (the first word, 1..65535, decides):
//   format  1 real values, 2 complex values (real and imaginary parts)
//   steps   steps in the file
//   count   values per step (floats for format 2, which must be even)
//   data    per value: a float; three floats whose length is the value
//           while displacement fringes are on; two floats when complex.
//           Vectors: three floats, six when complex (x, y, z each real then
//           imaginary), one while a single-component mode is on.
// The ASCII form is one step of the geometry file's node count of values.
// A header whose data does not fit in the file is refused ("Wrong scalar
// file format in %s"). The result loaders of the command language
// (commands/nk_result_animation.h) and data source kind 3
// (nk_native_source.h) read them. A result handed out is new (reference
// count 0) and holds one entry per part of the geometry, its values picked
// through each part's node map (undefined for a node past the file's
// values); a vector file's values are displacements in model units.
#pragma once

#include <cstdint>

class NKStringList;
struct NKGeometry;
struct NKScalarResult;
struct NKVectorResult;

// Whether the scalar / vector read last came from a complex (format 2) file.
extern uint8_t bFreqResultsScalar;
extern uint8_t bFreqResultsVector;

// The angle (radians) at which complex values are evaluated, and whether they
// are read as their magnitude instead.
// Set by phase_angle and complex_magnitude / nocomplex_magnitude
// (render/nk_render_mode_commands.h); 0 and on at start.
extern float g_fPhaseAngle;
extern uint8_t g_bComplexMagnitude;
// The displacement-fringe mode: a scalar file holds three floats a value,
// whose length is read. Set by "fringedisplacements" /
// "nofringedisplacements" (render/nk_fringe_commands.h); off at start.
// The one-component vector modes ("xvec", "yvec", "zvec") are
// g_uOneComponentVector (core/nk_render_state.h), which the vector command
// sets and NKReadVectorFile reads.
extern uint8_t g_bFringeDisplacements;

// Step iStep (0-based) of a scalar file for the geometry; null on failure
// (reported). A step past a one-step file reads its only step.
NKScalarResult *NKReadScalarFile(const char *pszFileName, int iStep, NKGeometry *pGeo);
// Step iStep of a vector file for the geometry; null on failure.
NKVectorResult *NKReadVectorFile(const char *pszFileName, int iStep, NKGeometry *pGeo);

// The step names of the older native results file, one per step from step
// 0; null when it gave none.
const NKStringList *NKGetNativeStepNames(void);
// Replaces the step names by pNames (made with new; null: none), which the
// table then owns and frees.
void NKSetNativeStepNames(NKStringList *pNames);
