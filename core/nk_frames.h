// core/nk_frames.h -- the model's frame array and the accessors that turn a
// frame index into a frame, its geometry, its parts and its results.
//
// Frames are addressed by index, -1 (NK_CURRENT_FRAME) meaning the model's
// current frame. Everything here works on the global model g_pModel
// (nk_model.h). Accessors never allocate and never print: a missing model,
// frame, geometry or part gives null, 0 or "". The frame array is created,
// grown, shrunk and emptied only through NKSetFrameCount, which copies frames
// with NKCopyFrames before releasing the old ones so that every shared record
// stays alive. The pass marks let a pass over all frames handle each shared
// record once.
#pragma once

#include <functional>

#include "core/nk_model.h"

// ---- Frame and part access ---------------------------------------------------

// The frame at index iFrame (-1: the current frame); null when there is no
// model or frame array, or the index lies outside 0 .. iNumFrames - 1.
NKFrame *NKGetFrame(int iFrame);
NKFrame *NKGetCurrentFrame(void);
NKGeometry *NKGetFrameGeometry(const NKFrame *pFrame);
// Part iPart of the frame's geometry; null when any of them is missing.
NKPart *NKGetFramePart(const NKFrame *pFrame, int iPart);
NKPart *NKGetPartByIndex(int iFrame, int iPart);
NKGeometry *NKGetCurrentGeometry(void);
NKPart *NKGetCurrentParts(void);
NKScalarResult *NKGetCurrentScalarResult(void);
NKVectorResult *NKGetCurrentVectorResult(void);
// The description of the frame's scalar / vector result; with
// bFileNameWhenEmpty its file name when the description is empty; "" when
// there is no such frame or result. The text belongs to the result.
const char *NKGetScalarResultName(int iFrame, bool bFileNameWhenEmpty);
const char *NKGetVectorResultName(int iFrame, bool bFileNameWhenEmpty);
// Kind 0: the frame's scalar result; kind 1: its second extra scalar result;
// null otherwise or without the frame.
NKScalarResult *NKGetFrameScalarByKind(int iFrame, int iKind);
// The scalar value of node iNode of part iPart in the frame's scalar result;
// the undefined value when the frame, result, entry or node is missing.
float NKGetScalarNodeValue(int iFrame, int iPart, int iNode);

// Totals of the current geometry; 0 without a current frame or geometry.
int NKGetTotalNumNodes(void);
int NKGetCurrentNumNodes(void);
int NKGetTotalNumPolygons(void);
int NKGetCurrentNumPolygons(void);
int NKGetTotalNumConnects(void);
int NKGetNumParts(void);
// The largest polygon total over the geometries of all frames (frames
// without a geometry are passed over); 0 without frames.
int NKGetMaxTotalNumPolygons(void);
// |to - from + 1| / skip of the model's animation range (a skip below 1
// counts as 1).
int NKGetNumAnimationFrames(void);
// The 0-based step a frame shows, as the information texts name it: the
// frame's step index in the data source, or the frame index itself for a
// frame without one (interpolated, or a model without a source) and for an
// index that names no frame.
int NKGetFrameStep(int iFrame);
// Frames with a scalar / vector result; without bCountAll the count stops at
// the first one (0 or 1). 0 unless a model is loaded.
int NKCountFramesWithScalars(bool bCountAll);
int NKCountFramesWithVectors(bool bCountAll);
// The "a model is loaded" test: the model exists, has a frame array, and
// frame 0 has a geometry.
bool NKModelHasGeometry(void);

// ---- Whole-geometry tests -----------------------------------------------------
// Each is true when every part of the current frame's geometry has the
// property (true for a geometry without parts) and false without a frame
// array or a geometry.

bool NKAllPartsAsSurface(void);
bool NKAllPartsAsLines(void);
bool NKAllPartsAsPoints(void);
bool NKAllPartsAsOutline(void);
bool NKAllPartsAsHiddenLines(void);
bool NKAllPartsMesh(void);
bool NKAllPartsOutlineMesh(void);
bool NKAllPartsFringes(void);
// At the given frame; null means the current frame.
bool NKAllPartsDisplacements(const NKFrame *pFrame);
bool NKAllPartsVectors(void);
bool NKAllPartsSmooth(void);

// ---- The frame array ----------------------------------------------------------

// Resizes the frame array to n frames. n < 0: false. n equal to the present
// count without bDuplicateLast: nothing changes. n = 0: every frame released
// and the array freed (the frame indices stay). Otherwise a new array: with
// bDuplicateLast every frame a copy of the old last frame; else the old frames
// copied in order and, when growing, the old last frame repeated. Then the
// current frame and the animation range are clamped to the new array and the
// movie step range reset to all n steps. When the new array cannot be made
// (or filled) the error "Error allocating memory for frames." is printed, the
// model is left as it was and the answer is false.
bool NKSetFrameCount(int n, bool bDuplicateLast);
// Deep-copies n frames from pSrc into the n initialised frames at pDst: shared
// records (geometry, results, viewpoint, separate vector fields, extra
// results) are shared with their counts raised by 1; description, time, step
// index, box and flags are copied; matrices, contours, visibility bytes and
// part boxes get copies of their own. Cut-surface, iso-surface and trace
// objects are not copied. False for null arguments or a failed allocation (the
// frames copied so far stay, and every destination frame stays releasable).
bool NKCopyFrames(NKFrame *pDst, const NKFrame *pSrc, int n);
// One identity matrix per part of the frame's geometry into pTransformation.
// False for a null frame or a frame without geometry; on allocation failure
// "Unable to allocate memory for transformations." and false. An existing
// array is not freed: callers free it first.
bool NKAllocFrameTransformations(NKFrame *pFrame);

// ---- Pass marks ----------------------------------------------------------------

// Geometry marks to -1 (not yet handled) in every frame.
void NKResetGeometryMarks(void);
// Calls fn once for every distinct geometry of the frames, in frame order
// (the geometry marks reset first, each visited geometry marked 1).
void NKForEachGeometry(const std::function<void(NKGeometry *)> &fn);
// Processed bytes of every frame's scalar / vector result to 0.
void NKResetScalarMarks(void);
void NKResetVectorMarks(void);
// Frees the polygon map of every frame's geometry (each shared geometry once)
// and clears its pointer.
void NKFreeGeometryPolygonMaps(void);
