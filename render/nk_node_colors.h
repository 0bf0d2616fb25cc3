// render/nk_node_colors.h -- the colours and 1-D texture coordinates of
// scalar results: the fringe range and the five-colour spectrum values are
// mapped onto, the value filter, the averaging of element values to nodes
// and the length range of vector results.
//
// Every scalar part entry carries, beside its values, three colour bytes
// and one texture coordinate per value (NKScalarPartEntry::pColors and
// pTexCoords), which the element drawers send per vertex. The model core,
// the readers and the tools reach the mapping, the filter test, the nodal
// averaging and the node-value computation through the slots of
// core/nk_model_hooks.h and core/nk_load_hooks.h, which NKInstallRenderer
// fills with the functions here.
#pragma once

#include <cstdint>

struct NKFrame;
struct NKGeometry;
struct NKScalarResult;
struct NKVectorResult;

// The five fringe and legend colour levels, lowest first, and the colours
// of values below and above the range and of undefined values.
extern uint8_t NKFringeColors[5][3];
extern uint8_t NKFringeBelowColor[3];
extern uint8_t NKFringeAboveColor[3];
extern uint8_t NKUndefinedValueColor[3];
// Blue, cyan, green, yellow, red; below blue, above red, undefined grey 150.
void NKResetFringeColors(void);

// Maps iCount values onto the spectrum over [fMin, fMax]: a colour (three
// bytes) and a texture coordinate in [0.001, 0.999] each. Undefined values
// take the undefined colour, values outside the range the below or above
// colour; an empty range gives every defined value the lowest colour.
// Nothing happens for null arrays. Fills the mapping slot of the model core.
void NKMapScalarsToSpectrum(float fMin, float fMax, int iCount, const float *pfValues,
                            uint8_t *pColors, float *pfTexCoords);
// One value to one of the 16 fringe texture colours over the model's fringe
// range; false (with the undefined, below or above colour) outside it.
bool NKScalarToSpectrumColor(float fValue, uint8_t auOut[3]);
// The element range when the result has element values, else the node
// range; a null result gives 1e12 / -1e12.
float NKGetScalarResultMin(const NKScalarResult *pResult);
float NKGetScalarResultMax(const NKScalarResult *pResult);

// Recomputes the result's ranges, settles the colouring range of field 0
// (the model's fringe range) or 1 (value range record 1) and fills the
// colours and texture coordinates of every part entry, reusing an entry's
// arrays while they are still in use by the same count. False for a null
// result, one without node entries, or when memory runs out.
bool NKComputeScalarFieldColors(NKScalarResult *pResult, int iField);
// Sets the range of field 0 or 1 for the current frame or all frames (to
// below from: the range of the frames' data) and recolours their results.
void NKSetFringeRange(float fFrom, float fTo, bool bAllFrames, int iField);

// True when the value filter hides the polygon (see the function). Fills
// the value-filter slot of the model core.
bool NKValueFilterHidesPolygon(NKFrame *pFrame, int iPart, int iPolygon);
// True when any of the indexed values lies outside the filter range
// (undefined counts as above); false for an empty list.
bool NKAnyValueOutsideFilter(const int *piIndices, int iCount, const float *pfValues);

// Node values from element values: each node the mean of the defined values
// of its elements, undefined when one of them is undefined or none uses it.
// iPart -1 means every part. False without element values or when memory
// runs out.
bool NKAverageElementValuesToNodes(NKGeometry *pGeo, NKScalarResult *pResult, int iPart);
// The result's length range (model units) and its largest length in
// display units. False for a null result or one without entries.
bool NKComputeVectorLengths(NKVectorResult *pResult);

// Fills (or, with bInstall false, empties) the mapping, filter, averaging,
// node-value and vector-length slots.
void NKInstallNodeColorHooks(bool bInstall);
