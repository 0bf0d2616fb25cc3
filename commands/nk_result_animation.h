// commands/nk_result_animation.h -- loading results of the older native file
// set over the frames: one step of a scalar or vector file for the whole
// model, or a series of steps, one frame each, from one file or from
// numbered files.
//
// The file commands (commands/nk_command_files.cpp) and the animation
// commands call these with the file name and steps the user gave. Each step
// is read with the readers of readers/nk_native_result_files.h for the
// geometry of the frame it goes to, and put into frames through the load
// pipeline (core/nk_load_hooks.h, core/nk_apply_results.h); the
// transformation and viewpoint tables (core/nk_transform_tables.h) of the
// step follow. Steps are 1-based in the animations and 0-based for a single
// read, as the file commands pass them.
#pragma once

// Reads step iStep (0-based) of a scalar / vector file for frame 0's
// geometry. After a good read the model is cut to its first frame, which
// takes the step's matrices, viewpoint and result. A failed read prints
// "Error reading scalar file %s." (vector: "... vector file ...") and leaves
// the model as it was. False on any failure.
bool NKCommandReadScalar(const char *pszFileName, int iStep);
bool NKCommandReadVector(const char *pszFileName, int iStep);

// Makes one frame per step first, first + increment, ... up to last
// (1-based; 0 < first < last and an increment of at least 1, else false and
// nothing changes). Frame i of step s is named by entry s - 1 of the older
// native step names, else "Step: s", has the time s, takes step s - 1 of the
// file for its geometry and the matrices and viewpoint of step s - 1. A name
// holding "*" is a pattern: "dir/res*.scl" reads the first step of dir/res001.scl,
// dir/res002.scl ... (the step number with three digits; the extension is
// the last dot-separated word after the "*", by default "scl" / "vec"). A
// step that cannot be read or applied leaves its frame without a result and
// the others go on; iNumScalarSteps / iNumVectorSteps count the frames that
// took one. Cancel in the progress bar cuts the model to one frame and
// answers false; otherwise true.
bool NKCommandAnimScalar(const char *pszFileName, int iFirst, int iLast, int iIncrement);
bool NKCommandAnimVector(const char *pszFileName, int iFirst, int iLast, int iIncrement);
