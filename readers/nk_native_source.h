// readers/nk_native_source.h -- the older native result set as data source
// kind 3: its results file, and the dispatcher's reader over it.
//
// A results file (text) names the geometry file, the steps, and one file per
// scalar and per vector result:
//   S V                  scalar lines, vector lines
//   N x                  step-name lines (0: one unnamed step), unused number
//   N step names
//   geometry line        file name, then its description
//   S scalar lines       file name (or "file n": always step n) and name
//   V vector lines
//   part names           one per part of the geometry file, as far as given
// A file name is either the first word of the line or quoted ("..."). Only
// its last path component counts: it is joined with '/' to the results
// file's folder. An empty description becomes the bare file name. The number
// of part names follows the geometry file's header (nk_native_geometry.h).
// NKInstallDataSources (nk_data_source.h) installs the reader.
#pragma once

#include "core/nk_model_fwd.h"

struct NKDataSourceReader;

// Parses a results file into the result set, replacing the one before; also
// the step-name table of nk_native_result_files.h. False when the file cannot
// be opened or a line is missing (the set keeps what was parsed).
bool NKReadResultsFile(const char *pszFileName);

// The reader functions of kind 3. Open clears the geometry-delivered flag and
// reads the results file (1 opened, 0 failed); Close frees the set (true).
int NKNativeOpen(const char *pszFileName);
bool NKNativeClose(void);
int NKNativeGetNumSteps(void);
int NKNativeGetNumScalars(void);
int NKNativeGetNumVectors(void);
// New lists of the step names, scalar names and vector names.
NKStringList *NKNativeGetStepNames(void);
NKStringList *NKNativeGetScalarNames(void);
NKStringList *NKNativeGetVectorNames(void);
// The geometry file, once per open (its description and part names set);
// null on every later call, and (reported) when the file is refused.
NKGeometry *NKNativeGetGeometry(int iStep);
// The reader's step check: while the geometry file has not been handed out
// in this open (the open reads it for its first state; a source opened
// again after another file failed to open has not), it is read now and
// kept for the geometry read that follows, and false (reported) when it is
// refused, so that a state read does not take a refused geometry file for
// the geometry in use. True otherwise.
bool NKNativeCheckStep(int iStep);
// Result iIndex of a step for the geometry (null: the model's last frame's);
// an entry "file n" reads step n - 1 whatever the step. Named after the
// result's description.
NKScalarResult *NKNativeGetScalar(int iIndex, int iStep, NKGeometry *pGeo);
NKVectorResult *NKNativeGetVector(int iIndex, int iStep, NKGeometry *pGeo);

// The reader record of kind 3; alive for the whole run.
const NKDataSourceReader *NKGetNativeDataSourceReader(void);
