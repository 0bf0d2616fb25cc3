// readers/nk_data_source.h -- the data-source dispatcher: the one open data
// source (the file the model's frames come from) and every question the rest
// of the system asks it about steps, names, geometry and results.
//
// At most one source is open. Its kind and file name live in the one
// NKResultsInterface record, made at start-up by NKInstallDataSources and
// freed by NKReleaseDataSources. Each query goes to the reader of the open
// kind through an NKDataSourceReader record; a kind without a reader is
// unknown and every query on it answers 0, null, false or the undefined
// value. The dispatcher caches the three name lists a reader builds, and
// remembers the step, scalar, vector and transformation read last as the
// current ones. It keeps the core's copy of the kind and of the
// transformation count (core/nk_data_source_kind.h) up to date on every open
// and close. Steps and result indices are 0-based. Nothing here prints a
// message: the callers report a failed open ("Error initializing
// interface."). The frames are filled from a source by
// readers/nk_animation_setup.h.
#pragma once

#include "core/nk_data_source_kind.h"
#include "core/nk_model_fwd.h"
#include "core/nk_string.h"

// The open data source.
struct NKResultsInterface {
    int type = NK_INTERFACE_NONE;  // kind of the source; 0 = none open
    NKString szFileName;           // as given to OpenInterface; "" when closed
};

// What the dispatcher asks of the reader of one kind. A reader leaves a slot
// empty for what its kind does not have; the dispatcher then answers as
// written beside the slot. New records handed out have a reference count of
// 0; name lists are new and become the dispatcher's.
struct NKDataSourceReader {
    const char *pszName = nullptr;  // display name; empty: "Unknown Interface"
    // The display name when it depends on the open source; asked before pszName.
    void (*pfnGetName)(NKString *pName) = nullptr;
    // 1 opened, 0 (or the reader's own code) failed. Empty: 0.
    int (*pfnOpen)(const char *pszFileName) = nullptr;
    // Empty: false.
    bool (*pfnClose)(void) = nullptr;
    // The kind the source was made from. Empty: the kind itself.
    int (*pfnGetUnderlyingType)(void) = nullptr;
    // Counts: empty slots answer 0, name lists null.
    int (*pfnGetNumSteps)(void) = nullptr;
    NKStringList *(*pfnGetStepNames)(void) = nullptr;
    int (*pfnGetNumScalars)(void) = nullptr;
    NKStringList *(*pfnGetScalarNames)(void) = nullptr;
    int (*pfnGetNumVectors)(void) = nullptr;
    NKStringList *(*pfnGetVectorNames)(void) = nullptr;
    int (*pfnGetNumTransformations)(void) = nullptr;
    // The geometry of a step; null when there is none or it is the one
    // handed out last. Empty: null.
    NKGeometry *(*pfnGetGeometry)(int iStep) = nullptr;
    // Empty: the undefined value.
    float (*pfnGetStepTime)(int iStep) = nullptr;
    // Whether a step can be read at all, asked before a read of it changes
    // any frame; false when it is refused (reported). Empty: true.
    bool (*pfnCheckStep)(int iStep) = nullptr;
    // Results of a step for a geometry, indices already checked against the
    // counts. Empty: null.
    NKScalarResult *(*pfnGetScalar)(int iIndex, int iStep, NKGeometry *pGeo) = nullptr;
    NKVectorResult *(*pfnGetVector)(int iIndex, int iStep, NKGeometry *pGeo) = nullptr;
    NKSeparateVectorField *(*pfnGetTransformation)(int iIndex, int iStep,
                                                   NKGeometry *pGeo) = nullptr;
    // Sets the frame's per-part polygon visibility for a step. Empty: nothing.
    void (*pfnUpdateVisibility)(int iStep, NKFrame *pFrame) = nullptr;
    // The source's own element and node totals. Empty: the totals of the
    // current geometry.
    int (*pfnGetNumElements)(void) = nullptr;
    int (*pfnGetNumNodes)(void) = nullptr;
    // Per-element scalars. Empty: false and the undefined value.
    bool (*pfnIsElementScalar)(int iIndex) = nullptr;
    float (*pfnGetElementScalarValue)(int iIndex, int iElement) = nullptr;
};

// Start-up: makes the record (kind 0) and installs the readers built so far.
// A second call changes nothing. NKRunApplication calls it.
void NKInstallDataSources(void);
// Shut-down: closes an open source and frees the record. Without the record
// every query answers as for kind 0 and OpenInterface answers 0.
void NKReleaseDataSources(void);
// The record, or null before start-up and after shut-down.
const NKResultsInterface *NKGetResultsInterface(void);

// Installs the reader of one of the reader kinds (3, 5, 7, 9; null removes
// it) and returns the one installed before. The reader record must outlive
// its installation. Any other kind changes nothing and answers null. A
// source that is open keeps the reader it was opened with until it closes.
const NKDataSourceReader *NKSetDataSourceReader(int iKind, const NKDataSourceReader *pReader);

// Closes a source that is still open, stores kind and name, sets the current
// scalar and vector to -1 and the current step to 0, then opens the reader of
// the kind; a plug-in id (101-116) gets a new NKFEMInterface (nk_fem_source.h).
// 1 opened, 0 failed (also for a kind without a reader), -6 when the plug-in
// adapter cannot be made. Kind and
// name stay stored after a failure: the caller closes the source.
int OpenInterface(int iKind, const char *pszFileName);
// Frees the cached name lists, closes the reader, sets kind 0, the name ""
// and the current scalar, vector and step to -1. Answers the reader's close
// (false for kind 0 and kinds without a reader). The current transformation
// index stays.
bool NKCloseInterface(void);
// What opens the same source again: its kind, file name and current
// indices (kind 0 when none is open).
struct NKDataSourceMark {
    int iKind = NK_INTERFACE_NONE;
    NKString fileName;
    int iStep = -1, iScalar = -1, iVector = -1, iTransformation = -1;
};
NKDataSourceMark NKMarkInterface(void);
// Closes the open source, if any, without a word from its reader, on the
// status line either.
void NKCloseInterfaceQuietly(void);
// Opens the marked source again with its current indices, without a word
// from its reader (the status line too); a mark of kind 0 opens nothing. False (and no source
// open) when the file no longer opens.
bool NKReopenInterface(const NKDataSourceMark &mark);
// The open kind, except that an NKF file answers the kind it was written
// from (0 when it does not say).
int NKGetUnderlyingInterfaceType(void);
// "NKF File" and the like; "Unknown Interface" for a kind without a reader.
void NKGetInterfaceName(NKString *pName);
// The stored file name; "N/A" while no source is open.
void NKGetInterfaceFileName(NKString *pName);

int NKGetInterfaceNumSteps(void);
int NKGetInterfaceNumScalars(void);
int NKGetInterfaceNumVectors(void);
// The name lists, one text per step / scalar / vector. Fetched from the
// reader on the first request and kept until the source closes (a null
// answer is asked again next time); the dispatcher owns them.
const NKStringList *NKGetInterfaceStepNames(void);
const NKStringList *NKGetInterfaceScalarNames(void);
const NKStringList *NKGetInterfaceVectorNames(void);

// Sets the current step, then asks the reader for the step's geometry.
NKGeometry *NKGetInterfaceGeometry(int iStep);
// The step's time (or frequency, angle); the undefined value when the source
// has no times.
float NKGetInterfaceStepTime(int iStep);
// False, reported by the reader, when the step is refused (a state whose
// node coordinates are not all finite, or whose file changed on disk after
// the open): the reads of a step ask first, so that a refused step leaves
// the frames as they were.
bool NKCheckInterfaceStep(int iStep);
// Result iIndex of a step for the geometry; null when the index is outside
// the reader's count or nothing was read. With bSetCurrent, a read (or index
// -1, which reads nothing) makes step and index current; a failed scalar
// read of another index makes the current scalar -1 unless it is that index,
// while failed vector and transformation reads change nothing.
NKScalarResult *NKGetInterfaceScalar(int iIndex, int iStep, NKGeometry *pGeo, bool bSetCurrent);
NKVectorResult *NKGetInterfaceVector(int iIndex, int iStep, NKGeometry *pGeo, bool bSetCurrent);
NKSeparateVectorField *NKGetInterfaceTransformation(int iIndex, int iStep, NKGeometry *pGeo,
                                                    bool bSetCurrent);
int NKGetCurrentScalarIndex(void);
int NKGetCurrentVectorIndex(void);
int NKGetCurrentTransformationIndex(void);
int NKGetCurrentStep(void);
// Makes step, scalar and vector current as a read of them with bSetCurrent
// does: for results read before they are put in place, and to give back the
// current step after a read that was refused.
void NKSetInterfaceCurrent(int iStep, int iScalar, int iVector);

// Lets the reader set the frame's per-part polygon visibility for a step.
void NKUpdateInterfaceVisibility(int iStep, NKFrame *pFrame);
// An LS-DYNA source's element and node totals; for every other kind the
// polygon and node totals of the current geometry.
int NKGetInterfaceNumElements(void);
int NKGetInterfaceNumNodes(void);
// LS-DYNA only: whether scalar iIndex is given per element, and an element's
// value of it; false and the undefined value for every other kind.
bool NKIsInterfaceElementScalar(int iIndex);
float NKGetInterfaceElementScalarValue(int iIndex, int iElement);
