// core/nk_frame_results.h -- what a frame holds for each part: coordinates,
// normals, colours, texture coordinates, result entries and visibility
// bytes; deep copies of results; resizing a frame's per-part arrays when
// parts are added; and frame times read from frame titles.
//
// The drawing code, the tools and the readers call the accessors over and
// over; they never allocate and never print, answering null or 0 for what is
// missing. Part index i, part pointer p and frame f belong together: p is
// part i of f's geometry. The copies and resizes report their failures
// through the message output as their callers expect. The records are in
// nk_model.h; the frame array is in nk_frames.h.
#pragma once

#include <cstdint>

struct NKFrame;
struct NKGeometry;
struct NKPart;
struct NKScalarPartEntry;
struct NKScalarResult;
struct NKVectorPartEntry;
struct NKVectorResult;
struct NKContourList;

// Visibility byte bits: bit 0 = eroded (hidden); the level-of-detail code
// lives in bits 2 to 7.
constexpr uint8_t NK_VISIBILITY_ERODED = 0x01;

// ---- Per-part access ----------------------------------------------------------

// Node coordinates of part i in frame f (null f: the current frame; null p:
// part i of f's geometry): the displaced coordinates of f's vector result
// when p shows displacements and the result has node values for part i,
// else p's own. Null when the frame or part is missing.
float *GetPartNodeCoords(int i, NKPart *p, NKFrame *f);
// A new array (NKAlloc; the caller frees it) of the displacements of part
// i's nodes: vector value - node coordinate, from f's pVector for slot 0 or
// from f's further vector result of index iSlot. Null when anything needed
// is missing or memory runs out.
float *NKComputePartDisplacements(int i, const NKPart *p, const NKFrame *f, int iSlot);
// Packed normals: the deformed ones of f's vector entry i when p shows
// displacements and the entry has node values; else p's own.
int8_t *NKGetPartNodeNormals(int i, NKPart *p, const NKFrame *f);
int8_t *NKGetPartPolygonNormals(int i, NKPart *p, const NKFrame *f);
// Colours of the node / element entry i of f's scalar result; null when p's
// fringes are off or the entry array is missing (element colours also when
// p has no elements).
uint8_t *NKGetPartNodeColors(int i, const NKPart *p, const NKFrame *f);
uint8_t *NKGetPartElementColors(int i, const NKPart *p, const NKFrame *f);
// Texture coordinates of node entry i; null unless p's fringes and the
// texture fringes of the graphics settings are on.
float *NKGetPartNodeTexCoords(int i, const NKPart *p, const NKFrame *f);
// Entry i of f's scalar node / element entries or vector entries; null when
// the result or its entries are missing or i is outside the result.
NKScalarPartEntry *NKGetPartScalarEntry(int i, const NKFrame *f);
NKScalarPartEntry *NKGetPartElementScalarEntry(int i, const NKFrame *f);
NKVectorPartEntry *NKGetPartVectorEntry(int i, const NKFrame *f);
// f's visibility bytes of part i (one per polygon); null for a null frame, a
// frame without visibility bytes or a part outside its geometry.
uint8_t *NKGetPartVisibility(const NKFrame *f, int i);
// The sum of the parts' element counts; 0 for null.
int NKGetTotalNumElements(const NKGeometry *pGeo);

// ---- Visibility bytes ---------------------------------------------------------------

// For part iPart, or every part for -1: byte = (byte & ~mask) | (mask & value).
// Parts without visibility bytes are passed over.
void NKSetVisibilityBits(NKFrame *f, int iPart, uint8_t uMask, uint8_t uValue);
// Toggles the eroded bit of every visibility byte of the frame.
void NKReverseErosionFlags(NKFrame *f);

// ---- Copies ---------------------------------------------------------------------------

// Copies the arrays src has into the initialised dst, then the count. On a
// failed allocation "Out of memory." and false, dst left empty.
bool NKCopyScalarPartEntry(NKScalarPartEntry *pDst, const NKScalarPartEntry *pSrc);
// The same for a vector entry's four arrays and two counts; "Error allocating
// memory for vector node values." on failure.
bool NKCopy3DResults(NKVectorPartEntry *pDst, const NKVectorPartEntry *pSrc);
// Gives dst its own deep copy of src's vector / scalar result (reference
// count 1), releasing dst's old one. False, dst unchanged, for null frames,
// a source without that result or a failed copy.
bool NKCopyVectorResult(NKFrame *pDst, const NKFrame *pSrc);
bool NKCopyFrameScalarResult(NKFrame *pDst, const NKFrame *pSrc);

// ---- Resizing when parts are appended ---------------------------------------------

// Resizes the frame's matrices, contour lists, scalar and vector results,
// further results of index 1, visibility pointers and part boxes (each when
// present) from iOld parts to its geometry's part count. New parts get no
// visibility bytes and the empty box. False at the first failure.
bool NKResizeFramePartArrays(NKFrame *f, int iOld);
// Reallocates *ppMatrices to n matrices; matrices iOld..n-1 become identity.
// False without an array or when the reallocation fails.
bool NKResizeFrameMatrices(float **ppMatrices, int n, int iOld);
// Reallocates *ppLists to n lists; new lists are empty. Dropped lists are
// freed. False without an array or when the reallocation fails.
bool NKResizeContourLists(NKContourList **ppLists, int n, int iOld);
// Gives the result n part entries. New node entries hold one value 0 per node
// of their part and new element entries one per element, coloured for 0 with
// the model's fringe range. Entries the result already has are kept, so a
// result shared by several frames is grown once. False when the result has
// no entries or a reallocation fails.
bool NKResizeScalarResultParts(NKScalarResult *pResult, const NKPart *pParts, int n, int iOld);
// Gives the result n part entries; a new entry holds its part's own
// coordinates (no displacement) and copies of its packed normals.
bool NKResizeVectorResultParts(NKVectorResult *pResult, const NKPart *pParts, int n, int iOld);

// ---- Model-wide -------------------------------------------------------------------------

// Empties the model's scalar node and element ranges.
void NKResetScalarMinMax(void);
// Empties the model's vector range and largest vector value, and the ranges
// and largest lengths of the separate vector field records.
void NKResetVectorMinMax(void);
// The display scale factor of result kind iKind: with transformation results
// in the data source, the length scale of value range 4 + kind (kinds 0-2);
// otherwise `from` of value range 2 + kind (kinds 0-1); else 1.0.
float NKGetResultScaleFactor(int iKind);
// Reads each frame's time from the first number in its title. When a title
// has no usable number or the times decrease, every time becomes undefined
// and the answer is false. False without a model or frame array.
bool NKSetFrameTimesFromDescriptions(void);
