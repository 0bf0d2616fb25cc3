// readers/nk_lsdyna.h -- the LS-DYNA plot database as the rest of the system
// sees it: the geometry of a segment, one state in memory with its result
// quantities, and the access functions behind data-source kind 7.
//
// One database is open at a time (g_LSDynacontrolData, nk_lsdyna_format.h).
// The dispatcher (nk_data_source.h) reaches it through the reader record
// NKGetLSDynaDataSourceReader; plots reach single values through
// NKLSDynaReadStateResult. The file layer is nk_lsdyna_format.h; the shell
// axes are nk_shell_axes.h; the forming-limit curve nk_fld_curve.h.
#pragma once

#include <cstdint>
#include <vector>

#include "readers/nk_lsdyna_format.h"

struct NKGeometry;
struct NKScalarResult;
struct NKVectorResult;
struct NKFrame;
struct NKDataSourceReader;
class NKStringList;

// Element-class masks.
enum : uint32_t {
    NK_DYNA_NODES = 0x01000000u,
    NK_DYNA_NODE_COORDS = 0x02000000u,
    NK_DYNA_SOLIDS = 0x10000000u,
    NK_DYNA_THICK_SHELLS = 0x20000000u,
    NK_DYNA_SHELLS = 0x40000000u,
    NK_DYNA_BEAMS = 0x80000000u,
    NK_DYNA_ALL_ELEMENTS = 0xF0000000u
};

// ---- Geometry ----------------------------------------------------------------------

// The geometry section of one segment, as read.
struct LSDynaGeometry {
    int iGeometryIndex = -1;
    int NUMNP = 0, NEL8 = 0, NELT = 0, NEL4 = 0, NEL2 = 0, MDLOPT = 0, NDIM = 3;
    std::vector<float> coords;       // NUMNP x NDIM
    std::vector<int> solids;         // NEL8 x 9: 8 nodes (1-based), material
    std::vector<int> thickShells;    // NELT x 9
    std::vector<int> shells;         // NEL4 x 5: 4 nodes, material
    std::vector<int> beams;          // NEL2 x 6: 2 nodes, orientation, 2 words, material
    std::vector<int> materialTypes;  // NUMMAT, or empty

    int TotalElements() const { return NEL8 + NELT + NEL2 + NEL4; }
    // Coordinate k (0-2) of node i (0-based); 0 for a missing component.
    float Coord(int i, int k) const { return k < NDIM ? coords[(size_t)i * NDIM + k] : 0.0f; }
};

// Reads the geometry of the segment whose header is h (base file iBaseFile).
// Null, with an error naming the file, when a word is missing or an element
// refers to a node outside 1..NUMNP.
LSDynaGeometry *NKLSDynaReadGeometry(const LSDynaHeader &h, int iBaseFile);
// The same over any family (the time-history database keeps its own).
LSDynaGeometry *NKLSDynaReadGeometryFrom(const std::vector<LSDynaFamilyFile> &files, int iFormat,
                                         bool bSwap, const LSDynaHeader &h, int iBaseFile);
// 6 tetrahedron, 10 pentahedron or 12 brick, from the repeated nodes.
int NKLSDynaClassifySolid(const int piNodes[8]);
// A new NKGeometry with one part per material (ascending material number).
// pDeleted (one byte per element in global order, 1 deleted) and pIds may be
// null. Null on a failed allocation.
NKGeometry *NKLSDynaConvertGeometry(const LSDynaGeometry &geo, const std::vector<uint8_t> *pDeleted,
                                    const LSDynaUserIds *pIds);

// ---- States and result quantities ----------------------------------------------------

// The current state in memory.
struct LSDynaStateData {
    LSDynaHeader header;
    float fTime = -1.0f;
    std::vector<float> globals, coords, temperatures, velocities, accelerations;
    std::vector<float> solids, thickShells, beams, shells, deletion;
    void Clear() { *this = LSDynaStateData(); }
};

// Reads state iState into memory as the current state. False for a state out
// of range or a refused read, which keeps the current state as it was. The
// read checks the words it reads: a state whose words are not all there any
// more, or whose first word is no longer the time the open listed (its file
// changed on disk since), is refused, reported naming the file; a member
// that only grew keeps its states. A state with a node coordinate that is
// not finite is refused, reported naming the file, the state and the node,
// and one whose coordinates are all zero (a member of zeros: no model has
// every node at one point), reported naming the member they lie in, unless
// bCheckCoordinates is false (for readers of its other words alone).
bool NKLSDynaReadState(int iState, bool bCheckCoordinates = true);
// True when state iState can be read: its first word still holds the time
// the open listed, the last word it has in each member is still there, and
// every node coordinate is finite and not every one zero; else false,
// reported (as NKLSDynaReadState reports it). The end words are read at
// each check through descriptors of the state's members held while the
// family is open (no stat; the read reads through them too), the
// coordinates once per state and open; a state without coordinates or
// whose coordinates cannot be read passes (its read fails on its own).
bool NKLSDynaCheckStateCoordinates(int iState);
const LSDynaStateData &NKLSDynaGetStateData(void);
// Sets the available results from the first segment's header.
void NKLSDynaSetAvailableResults(void);
void NKLSDynaClearAvailableResults(void);
// Maps an outside scalar number to its kind (0-41) and sub-index; false when
// the number is not one of the available results.
bool NKLSDynaScalarIndexToKind(int iIndex, int *piKind, int *piSub);
const char *NKLSDynaKindName(int iKind);  // scalar kinds 0-41
uint32_t NKLSDynaKindMask(int iKind);
// A scalar or vector of the current state for the geometry; null for a kind
// outside the table, a 2-D database's Z and norms, or a failed allocation.
NKScalarResult *NKLSDynaCreateScalar(int iKind, int iSub, NKGeometry *pGeo);
NKVectorResult *NKLSDynaCreateVector(int iKind, NKGeometry *pGeo);
// Element values of a kind for every element (global order) and node values,
// from the current state; undefined where there is none.
bool NKLSDynaComputeValues(int iKind, int iSub, std::vector<float> *pNodes,
                           std::vector<float> *pElements);
// The value of one value key for one element from its words (at most 256):
// an outside scalar result number, for shells also 1000 + k (word k from the
// inner strain position), for the node-coordinate class 25-27 (x, y, z).
// pfNodes (the element's first four corners) is needed by the local strain
// kinds and may be null otherwise. Undefined when the class has no value.
float NKLSDynaElementValue(const LSDynaHeader &h, uint32_t uClass, const float *pfWords,
                           int iNumWords, int iKey, const float (*pfNodes)[3]);
// The local axes x, y, z (rows of R) of a four-node shell.
void NKLSDynaShellAxes(const float p[4][3], float R[3][3]);
// R T R^T of a symmetric tensor (xx, yy, zz, xy, yz, zx), in place.
void NKLSDynaRotateTensor(const float R[3][3], float t[6]);

// ---- Access functions --------------------------------------------------------------

// Start-up: no lists, no geometry, no current state (time -1.0).
void NKLSDynaReset(void);
bool NKLSDynaOpen(const char *pszFileName);
void NKLSDynaClose(void);
LSDynaControlData *NKLSDynaGetControlData(void);
int NKLSDynaGetNumStates(void);
float NKLSDynaGetStateTime(int iState);
int NKLSDynaFindStateByTime(float fTime);
int NKLSDynaGetCurrentState(void);
int NKLSDynaGetNumScalars(void);
int NKLSDynaGetNumVectors(void);
NKStringList *NKLSDynaGetStateNames(void);
NKStringList *NKLSDynaGetScalarNames(void);
NKStringList *NKLSDynaGetVectorNames(void);
NKScalarResult *NKLSDynaGetScalar(int iIndex, int iState, NKGeometry *pGeo);
NKVectorResult *NKLSDynaGetVector(int iIndex, int iState, NKGeometry *pGeo);
NKGeometry *NKLSDynaGetGeometry(int iState);
bool NKLSDynaIsScalarAvailable(int iKind);
bool NKLSDynaIsElementScalar(int iIndex);
int NKLSDynaGetNumNodes(void);
int NKLSDynaGetTotalElements(void);
void NKLSDynaUpdateVisibilityArray(int iState, NKFrame *pFrame);
int NKLSDynaGetNumElements(uint32_t uMask, int iState);
uint32_t NKLSDynaGetElementClass(int iElement, int iState);
// The words of element iElement of class uMask in state iState, at most 256;
// false when the element or state does not exist or the read fails.
bool NKLSDynaReadElementWords(int iState, uint32_t uMask, int iElement, std::vector<float> *pWords);
// Values of elements of one class (uClass; NK_DYNA_NODE_COORDS for nodes)
// over states, read straight from the family or from the current state.
// piStates null: every state when iNumStates is their number, the current
// one when it is 1. piElements null: every element of the class. ppfOut
// holds one array per key; element i of the s-th state goes to
// [i x states + s]. pfNodes, when given, holds each listed element's corners
// for the local strain kinds. Returns the number of states read, -1 on a bad
// state (out of range, or refused for a coordinate that is not finite, as
// NKLSDynaReadState refuses it), element or read ("Internal error in reading
// from state database." for an element outside its class).
int NKLSDynaReadStateResult(const int *piStates, int iNumStates, const int *piKeys, int iNumKeys,
                            const int *piElements, int iNumElements, float **ppfOut,
                            uint32_t uClass, const float (*pfNodes)[8][3]);
// One value of the current state for global element iElement, through
// NKLSDynaReadStateResult; undefined when it cannot be read.
float NKLSDynaGetElementValue(int iIndex, int iElement);
// The cached geometry record of the open database (null when none).
const LSDynaGeometry *NKLSDynaGetCachedGeometry(void);
// The geometry record of state iState's segment (the cached one, or read and
// cached when another segment's is held); null on a failed read.
const LSDynaGeometry *NKLSDynaGetSegmentGeometry(int iState);

// The dispatcher's reader of kind 7; alive for the whole run.
const NKDataSourceReader *NKGetLSDynaDataSourceReader(void);
