// core/nk_normals.cpp -- normals of geometries and vector results.
#include "core/nk_normals.h"

// Placeholder: no deformed normals yet.
void NKComputeVectorResultNormals(NKGeometry *, NKVectorResult *)
{
}
