// readers/nk_output3d.h -- IES Output3D reservoir result sets as data source
// kind 9: geological events as steps, element results as scalars, the phase
// flows as vectors and as separate vector fields (the transformation
// results), and the reservoir and flow-path overlays.
//
// A set is a group of files sharing one base name B (the opened file's name
// without its extension):
//   B.elm        binary  geological unit of every element
//   B.k00        binary  node ids and coordinates per event
//   B.e00        binary  element ids and node ids per event (hexahedra)
//   B.std3       text    event names and ages
//   B.ovl3       text    catalogue of the result files
//   B.uni3       text    unit names (optional)
//   B.<ext>      binary  one element result per file (8 values per element)
//   B.y01..y03   binary  water, oil and gas flow records (optional)
//   B.rso, B.rsg, B.fpo, B.fpg   NKF overlays (optional)
// Binary layouts are in nk_output3d_files.h. One set is open at a time; the
// reader state is module state, kept as it was when a call fails.
//
// Geometry layout: every geological unit in use is a part (ascending unit
// number), each element corner a part node (node 8k + c is corner c of the
// part's element k), mapped to the node's index in the event's .k00 and
// carrying its id; an element's iGlobalIndex is its record in the event's
// .e00, so a result's 8 values per element are the part's node values in
// order. Coordinates are model coordinates (the load pipeline converts).
// The overlay parts follow the unit parts. NKInstallDataSources
// (nk_data_source.h) installs the reader record.
#pragma once

#include "core/nk_model_fwd.h"

struct NKDataSourceReader;

// Opens the set the file belongs to, replacing an open one only on success.
// Sets the model's z scale factor. False (reported) when a required file is
// missing or damaged.
bool NKOutput3DOpen(const char *pszFileName);
// Frees everything and resets the state; true.
bool NKOutput3DClose(void);

int NKOutput3DGetNumSteps(void);
// New lists: event names with their ages; result names with their units.
NKStringList *NKOutput3DGetStepDescriptions(void);
int NKOutput3DGetNumScalars(void);
NKStringList *NKOutput3DGetScalarNames(void);
int NKOutput3DGetNumVectors(void);
NKStringList *NKOutput3DGetVectorNames(void);
// 3: water, oil and gas flow.
int NKOutput3DGetNumTransformations(void);

// Whether the geometry of a 0-based event can be read, asked before a read
// of the event changes any frame (the reader's step check): false
// (reported) when .elm or the event's records in .k00 or .e00 are damaged,
// a node coordinate among them not finite ("Error reading file %s: event
// %d, the coordinates of node %d are not finite."). True for the event read
// last, one not computed yet and one outside the set (its read says so).
// The mesh read is kept for the event's geometry read that follows; an
// event that passed is not read again by later checks.
bool NKOutput3DCheckEvent(int iEvent);
// The geometry of a 0-based event; null (reported) for an event outside the
// set, an uncomputed or damaged one, and (silently) for the event read last.
// A null for the event read last means that the geometry in use stays; the
// other nulls are refusals, which the step check makes before any frame
// changes.
NKGeometry *NKOutput3DGetGeometry(int iEvent);
// Result iIndex of an event for a geometry made by NKOutput3DGetGeometry
// for that event; null (reported) when it cannot be read.
NKScalarResult *NKOutput3DGetScalar(int iIndex, int iEvent, NKGeometry *pGeo);
NKVectorResult *NKOutput3DGetVector(int iIndex, int iEvent, NKGeometry *pGeo);
// The flow records of a phase (0 water, 1 oil, 2 gas) of an event as a
// separate vector field with one entry per part of pGeo; null when the
// phase's file is absent or damaged (reported).
NKSeparateVectorField *NKOutput3DGetTransformation(int iPhase, int iEvent, NKGeometry *pGeo);

// The first minimum/maximum pair of the header of the scalar file read last
// (0, 0 before any); a null pointer is skipped.
void NKGetReservoirValueRange(float *pfFrom, float *pfTo);

// Overlays: the number loaded (0 to 4); show flags of the overlays whose
// parts lie in first..last (0-based), re-reading the current state when one
// becomes shown while the current frame holds no geometry; and the flags
// copied into the overlay parts' visibility of a geometry.
int NKGetNumReservoirOverlays(void);
void NKShowReservoirOverlayParts(bool bShow, int iFirstPart, int iLastPart);
void NKApplyReservoirOverlayVisibility(NKGeometry *pGeo);

// The reader record of kind 9; alive for the whole run.
const NKDataSourceReader *NKGetOutput3DDataSourceReader(void);
