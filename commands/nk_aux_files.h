// commands/nk_aux_files.h -- installing the transformation, RGB and view
// files of the older native file set in the model.
//
// The file commands (commands/nk_command_files.cpp) call these with the file
// name the user gave. The files are read by readers/nk_native_aux_files.h;
// a failed read leaves the model as it was. The transformation and view
// files give per-step data: the frame table is sized to their steps (new
// frames copy the last one, sharing its geometry and results) and the
// per-step tables of core/nk_transform_tables.h keep them for the result
// loads that follow (commands/nk_result_animation.h).
#pragma once

// Gives frame f the file's matrices of step f (parts past the file's get
// the identity), keeps them all in g_TransformationTable and recomputes the
// boxes of all frames. False when the read fails or frames or matrices
// cannot be made.
bool NKCommandReadTransformation(const char *pszFileName);

// Reads the colours for frame 0's geometry and puts them into every frame
// with a geometry as its scalar result, drawn in the file's colours.
// iNumScalarSteps becomes 1, or 0 on failure. "Error reading rgb file %s."
// when the read fails (the frames keep their scalars then).
bool NKCommandReadRGB(const char *pszFileName);

// Gives frame i a viewpoint of its own from step i of the file (eye and
// reference point in display coordinates, the up vector normalised) and
// keeps the same in g_ViewPointTable. False when the read fails or a
// viewpoint or frame cannot be made.
bool NKCommandReadViewPoints(const char *pszFileName);
