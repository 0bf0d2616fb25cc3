// readers/nk_native_aux_files.h -- the transformation, RGB and view files of
// the older native file set: rigid-body matrices per step and part, one
// colour per node, and a camera viewpoint per step.
//
// All three are text files of numbers separated by white space, read
// without regard to the locale; every count is checked against the size of
// the file before anything is allocated. The readers report failures as
// error messages and answer null; they change nothing in the model. The
// commands that install what they read are in commands/nk_aux_files.h.
//
// Transformation file:
//     S P                       steps and parts (whole numbers, at least 1)
//     r1 .. r12                 S x P times, step by step, part by part:
//                               rotation columns r1-r3, r4-r6, r7-r9, then
//                               the translation r10-r12 (model units)
// RGB file: one line "red green blue" (whole numbers 0-255) per node of the
// geometry's node list (the index a part's pNodeMap gives its nodes).
// View file:
//     N                         steps (a whole number, at least 1)
//     ex ey ez / rx ry rz / ux uy uz    N times: eye, view reference point
//                               and up vector, in model coordinates
#pragma once

struct NKGeometry;
struct NKScalarResult;
struct NKViewPoint;

// The file's S x P matrices, 16 floats each in OpenGL's column order, step
// by step and part by part within a step (NKAlloc; the caller frees them),
// with S and P in the out-parameters. While the display transform of the
// model is set, each translation is moved into display coordinates for the
// rotation as it stands in the matrix; the rotation is kept as read. Null on
// failure (the counts are then 0).
float *NKReadTransformationFile(const char *pszFileName, int *piNumSteps, int *piNumParts);

// A colour result for the geometry (reference count 0, the first step, one step in
// the file, the file's name): each part node that has an index into the
// node list takes the colour of that line as its colour bytes, the packed
// colour red x 65536 + green x 256 + blue as its value, and 0.001 as its
// texture coordinate. A line that does not begin with three whole numbers,
// or a node beyond the file's lines, is black; numbers beyond 0-255 are
// clamped. Parts without a node map get an empty entry. Null on failure or
// without a geometry.
NKScalarResult *NKReadRgbFile(const char *pszFileName, NKGeometry *pGeo);

// The file's N viewpoints (reference counts 0; NKCalloc, the caller frees
// them with NKFree), with N in the out-parameter, in model coordinates as
// read. Null on failure (the count is then 0).
NKViewPoint *NKReadViewFile(const char *pszFileName, int *piNumSteps);
