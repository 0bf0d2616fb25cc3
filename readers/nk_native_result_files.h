// readers/nk_native_result_files.h -- the scalar and vector files of the
// older native file set, and the step names its results file gives.
//
// The result loaders of the command language (commands/nk_result_animation.h)
// read one step of such a file for a geometry and put it into frames. A
// result handed out is new (reference count 0) and holds one entry per part
// of the geometry; its values are node values, or displacements in model
// units for a vector file. The step names are filled by the reader of the
// older native results file and name the frames of numbered animations.
#pragma once

class NKStringList;
struct NKGeometry;
struct NKScalarResult;
struct NKVectorResult;

// Step iStep (0-based) of a scalar file for the geometry; null on failure.
// Placeholder: the reader is not built yet; every read fails.
NKScalarResult *NKReadScalarFile(const char *pszFileName, int iStep, NKGeometry *pGeo);
// Step iStep of a vector file for the geometry; null on failure.
// Placeholder: the reader is not built yet; every read fails.
NKVectorResult *NKReadVectorFile(const char *pszFileName, int iStep, NKGeometry *pGeo);

// The step names of the older native results file, one per step from step
// 0; null when it gave none.
const NKStringList *NKGetNativeStepNames(void);
// Replaces the step names by pNames (made with new; null: none), which the
// table then owns and frees.
void NKSetNativeStepNames(NKStringList *pNames);
