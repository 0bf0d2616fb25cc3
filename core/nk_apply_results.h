// core/nk_apply_results.h -- putting one shared result into a range of
// frames: scalar results, vector results and separate vector fields.
//
// Every loader hands its results to the load pipeline's NKApplyScalarToFrames,
// NKApplyVectorToFrames and NKApplySeparateVectorField (declared in
// core/nk_load_hooks.h, done in nk_apply_results.cpp). They keep the reference counts (a result
// passed in has count 0, each frame that takes it adds 1, and a failure releases a result no frame
// took), fit the result to the parts of the range's first geometry, convert
// vectors to display coordinates, merge the result's ranges into the model's
// and set the vector filter and clamp ranges and the value filter
// (core/nk_render_state.h) that the user has not fixed. Node colours
// and vector length ranges come from the drawing code through the slots
// NKComputeScalarNodeValues and NKComputeVectorLengthRange, which first
// make every value that is no finite number undefined (below).
#pragma once

struct NKGeometry;
struct NKScalarResult;
struct NKVectorResult;

// Gives each part entry that has values (node entries against the part's
// node count, element entries against its element count) exactly as many
// values as the part needs: new values are undefined, extra ones dropped;
// colour and texture arrays that are present follow (new colours black, new
// coordinates 0.001). Only parts both records have are fitted. False when
// an allocation fails (that entry is left as it was).
bool NKFitScalarResultToGeometry(NKGeometry *pGeo, NKScalarResult *pResult);

// Turns the entries' values, displacements in model units, into displaced
// node positions in display coordinates: node j of a part moves by fScale x
// value j when the entry has a defined value j, and keeps its position
// otherwise (values beyond the part's nodes are dropped). Each entry then
// holds one position per node and the deformed normals of its part. Parts
// without node coordinates are passed over. False after "Error allocating
// memory.".
bool NKComputeDisplacedCoordinates(NKGeometry *pGeo, NKVectorResult *pResult, float fScale);

// A result value that is no finite number (NaN, +inf, -inf) is an undefined
// value wherever values are used: each becomes NK_UNDEFINED_VALUE, in the
// node and element entries of a scalar result, and in a vector result as a
// whole vector (all three components) when any component is none. The
// readers warn of NaN and -inf, naming file and result; this only makes
// sure that no colour, range, contour or position is computed from one.
// Answers how many values (vectors) were changed.
long long NKUndefineNonFiniteValues(NKScalarResult *pResult);
long long NKUndefineNonFiniteValues(NKVectorResult *pResult);
