// core/nk_normals.h -- polygon and node normals of geometries and the
// deformed normals of vector results.
#pragma once

struct NKGeometry;
struct NKVectorResult;

// Placeholder: computes the deformed polygon and node normals of every part
// with node values in the vector result; computes none yet.
void NKComputeVectorResultNormals(NKGeometry *pGeo, NKVectorResult *pResult);
