// nkf/nkf_import.h -- an NKF file as a data source: opening and parsing it,
// its step table, the geometry, results, separate vector fields and element
// visibility of each step, its internal strings, and closing it.
//
// One NKF file is open at a time; its parser is module state here and keeps
// the file open so that blocks load their values on demand and free them
// after use. The data-source dispatcher (readers/nk_data_source.h) calls these
// for data source kind 5; the nkf command (nkf/nkf_command.h) opens, closes
// and reads through them too. Results are matched to parts by the source block
// IDs each part records (NKPart::iSourceElementBlock and the like). Every
// query answers 0, null or false while no file is open. New records are
// returned with a reference count of 0; whoever stores one in a frame adds 1.
#pragma once

#include <cstdint>
#include <functional>

#include "core/nk_model_fwd.h"
#include "core/nk_string.h"

class NKFParser;
class NKFReader;
class NKFQuolinGeometryBlock;
class NKFResultBlock;
class NKFStepListBlock;
struct NKIndexedFaceSet;

// Opens and parses the file (".nkf" appended when its name holds no '.')
// and builds the step table; an open file is closed first. True when open.
bool NKFIInitInterface(const char *pszFileName);
// Closes the file: frees the parser and the step table. True.
bool NKFCloseInterface(void);

// The open file's parser, or null; NKFGetReader gives it as the reader its
// blocks read through, for code that only looks blocks up.
NKFParser *NKFGetParser(void);
NKFReader *NKFGetReader(void);
int NKFGetNumSteps(void);
// New lists owned by the caller (null without a file or out of memory): one
// name per step; one per *QUOLINSCALAR / *QUOLINVECTOR block (its name, or
// its description when the name is empty).
NKStringList *NKFGetStepNames(void);
int NKFGetNumScalars(void);
NKStringList *NKFGetScalarNames(void);
int NKFGetNumVectors(void);
NKStringList *NKFGetVectorNames(void);
// Number of *QUOLINPOSITIONVECTOR blocks: the separate vector fields.
int NKFGetNumSeparateVectors(void);
// The data-source kind the file was written from ("interface;%d"), and the
// overlay count of "ies;%d"; 0 when absent.
int NKFGetInterfaceType(void);
int NKFGetIesCount(void);
// The viewpoint stored in the file's settings (eye, target, up); the first
// value is the undefined value when the file has none.
float *NKFGetFileViewpoint(void);

// The geometry of a 0-based step, or null: on failure, and also when the
// step maps to the geometry entry built last and bForce is false.
NKGeometry *NKFGetGeometry(int iStep, bool bForce);
// The step's time; 0.0 for a step outside the file's steps.
float NKFGetStepTime(int iStep);
// Result iIndex (0-based block index) of a step for a geometry; null for a
// step outside the file's steps, a missing block or a failure.
NKScalarResult *NKFGetScalar(int iIndex, int iStep, NKGeometry *pGeo);
NKVectorResult *NKFGetVector(int iIndex, int iStep, NKGeometry *pGeo);
NKSeparateVectorField *NKFGetSeparateVectors(int iIndex, int iStep, NKGeometry *pGeo);
// Fills the frame's per-part polygon visibility from the first
// *QUOLINVISIBILITY block for the step; nothing without one.
void NKFUpdateVisibility(int iStep, NKFrame *pFrame);

// Builds the geometry of a step from the face-set records of its parts (one
// per part, iCount of them); their arrays are freed. Null on failure.
NKGeometry *NKFCreateGeometry(NKFQuolinGeometryBlock *pBlock, int iStep, NKIndexedFaceSet *pSets,
                              int iCount);
// The vector values of a loaded *RESULTS block into the matching parts of a
// vector result. False (reported) when the block has no vector values or
// memory runs out.
bool NKApplyVectorResultBlock(NKGeometry *pGeo, NKFResultBlock *pResults, NKVectorResult *pResult);

// Loads each *RESULTS block the list block names for the step, hands it to
// apply and frees its values again. A missing block is reported ("Could not
// find *RESULTS block with ID #n. Referenced by <pszKeyword> block with ID
// #m") and passed over. False at the first load or apply that fails.
bool NKFApplyListedResults(NKFStepListBlock *pBlock, int iStep, const char *pszKeyword,
                           const std::function<bool(NKFResultBlock *)> &apply);

// Internal strings: true when an *INTERNALSTRING block with the ID exists;
// its text is copied out, or its raw bytes (zero bytes included; null when
// they could not be loaded) and their count are handed out, valid while the
// file is open.
bool NKFGetInternalString(int iID, NKString *pText);
bool NKFGetInternalStringData(int iID, const char **ppData, int *piSize);

// The export information an NKF file carries in internal string 99999.
struct NKFVersionInfo {
    NKString title;    // program title
    NKString version;  // version text
    int iBuild = -1;   // build number
    NKString date;     // export date text
    NKString time;     // export time text
    int iValue1 = -1;
    int iValue2 = -1;
};
// Reads a "version_info;title;version;build;date;time" line (written by the
// export, nkf_export_geometry.cpp); false when the first field is not
// "version_info" or a field is missing.
bool NKFParseVersionInfo(const char *pszLine, NKFVersionInfo *pInfo);
// True when internal string 99999 exists and NKFParseVersionInfo accepted it.
bool NKFReadVersionInfo(NKFVersionInfo *pInfo);

// Why NKFReadGeometryFile read no geometry.
enum {
    NKF_READ_GEOMETRY_OK = 0,
    NKF_READ_GEOMETRY_NOT_PARSED,  // the file is not an NKF file that parses
    NKF_READ_GEOMETRY_NO_BLOCK,    // no such geometry block
    NKF_READ_GEOMETRY_BAD_BLOCK,   // its data does not load, or not iNumParts parts
    NKF_READ_GEOMETRY_NOT_MADE     // no geometry (of iNumParts parts) could be made
};
// Reads a further NKF file beside the open one, with a parser of its own
// that is gone again on return: the geometry of the first step of its block
// iBlockID (0: the first geometry block), converted into a new geometry
// (reference count 0). With iNumParts > 0 the block and the geometry must
// hold that many parts. Null on failure, the reason in *piFailure (when
// given); nothing is reported here.
NKGeometry *NKFReadGeometryFile(const char *pszFileName, int iBlockID, int iNumParts,
                                int *piFailure);

// Why NKFParseFile gave no reader.
enum { NKF_PARSE_FILE_OK = 0, NKF_PARSE_FILE_NO_MEMORY, NKF_PARSE_FILE_FAILED };
// Parses a further NKF file beside the open one (a plot file, say) and
// hands out its reader, which the caller keeps and deletes. Null when the
// reader cannot be made or the file does not parse, the reason in
// *piFailure (when given); nothing is reported here.
NKFReader *NKFParseFile(const char *pszFileName, int *piFailure);
