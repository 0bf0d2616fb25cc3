// readers/nk_fem_reader.h -- the abstract reader of reader plug-ins and the
// interface registry that knows them.
//
// A reader plug-in delivers nodes, elements, parts and results of one file
// through FEReader. Each plug-in kind has an interface id (101-116); the
// registry keeps the 16 ids in a fixed order, one InterfaceInfo per id, and a
// factory slot per id that makes a fresh reader. The program registers no
// factory, so every query ends with "no reader"; tests register their own
// with NKSetFEMReaderFactory before NKInitFEMInterfaceTable. No dynamic
// loading: C++ virtual tables have no stable binary interface.
//
// What a reader hands out lands in containers the caller owns (the adapter,
// readers/nk_fem_interface.h). Counts that the reader gives beside an array
// are checked by the adapter against that array before any use.
#pragma once

#include <cstdint>
#include <vector>

#include "core/nk_string.h"

class NKStringList;

// The reader's self-description, one per registry index.
struct InterfaceInfo {
    NKString szName;       // display name; "" until filled
    NKString szShortName;  // the name by which commands choose the interface
    NKString szText3;
    NKString szText4;
    uint8_t bCancelable = 0;     // the reader polls the cancel callback
    uint8_t bShowsProgress = 0;  // the reader reports progress
    int iValue1 = 0;             // reader-defined, copied unread
    int iValue2 = 0;
};

// The reader's model information; the first text describes the geometry.
struct FEModelInfo {
    NKString szText1;
    NKString szText2;
};

// Nodes of one block: iNumNodes nodes, three coordinates each.
struct FENodeBlock {
    std::vector<int> ids;  // empty: no ids
    std::vector<float> coords;
    int iNumNodes = 0;
};

// The reader's element type used for the whole block when it gives none per
// element (see readers/nk_reader_elements.h).
constexpr int NK_READER_ELEMENT_UNKNOWN = 13;

// Elements of one block; connectivity entries are node-block indices, or
// node ids when the capabilities say so.
struct FEElementBlock {
    int iNodeBlock = 0;
    uint8_t bMergeCoincidentNodes = 0;
    std::vector<int> ids;    // empty: no ids
    std::vector<int> types;  // per element; empty: iType for all
    int iType = NK_READER_ELEMENT_UNKNOWN;
    std::vector<int> materialIds;  // empty: none
    std::vector<int> partIds;      // empty: none
    std::vector<int> connectivity;
    std::vector<int> starts;  // start of each element in the connectivity
    int iNumElements = 0;
    int iConnectLength = 0;
};

// A name with its key (material or part lists).
struct FENamedId {
    int iId = 0;
    NKString szName;
};

// One step of the reader's step list.
struct FEStep {
    int iStepId = 0;
    NKString szName;
    float fTime = 0.0f;
    int iTimeValid = 0;  // 1 when fTime is given
};

// Mapping kinds and layers of a result.
enum {
    NK_RESULT_MAP_NODE = 1,
    NK_RESULT_MAP_ELEMENT = 2,
    NK_RESULT_MAP_ELEMENT_NODE = 3,
    NK_RESULT_LAYER_SHELL_TOP = 2,
    NK_RESULT_LAYER_SHELL_BOTTOM = 3,
    NK_RESULT_LAYER_BEAM_FIRST = 4,
    NK_RESULT_LAYER_BEAM_LAST = 13
};

// One scalar or vector result the reader offers.
struct FEResultInfo {
    int iResultId = 0;
    NKString szName;
    int iLayer = 0;
    int iMapping = NK_RESULT_MAP_NODE;
};

// Values of one node or element block: iNumValues values of one float (1-D)
// or three floats (3-D) each.
struct FEValueBlock {
    int iBlock = 0;
    int iNumValues = 0;
    std::vector<float> values;
};

// Keys of one value block: key k names the node or element of value k.
struct FEMappingBlock {
    int iCount = 0;
    std::vector<int> keys;
};

// The abstract reader. Every operation answers > 0 on success. The progress
// and cancel callbacks are set by the adapter while the reader works.
class FEReader {
public:
    virtual ~FEReader() = default;

    virtual int CanRead(const NKString &fileName) = 0;
    virtual int GetInfo(InterfaceInfo *pInfo) = 0;
    virtual int Open(const NKString &fileName) = 0;
    virtual int Close() = 0;
    virtual int GetModelInfo(FEModelInfo *pInfo) = 0;
    // The six flags arrive preset to 1, 1, 0, 0, 0, 0.
    virtual int GetCapabilities(uint8_t pbFlags[6]) = 0;
    virtual int GetNodes(int iStepId, std::vector<FENodeBlock> *pBlocks) = 0;
    virtual int GetElements(int iStepId, std::vector<FEElementBlock> *pBlocks) = 0;
    virtual int GetMaterialNames(int iWhich, std::vector<FENamedId> *pList) = 0;
    virtual int GetPartNames(int iWhich, std::vector<FENamedId> *pList) = 0;
    virtual int GetNumParts(int *piCount) = 0;
    virtual int Get1DResult(int iResultId, int iStepId, std::vector<FEValueBlock> *pBlocks) = 0;
    virtual int Get3DResult(int iResultId, int iStepId, std::vector<FEValueBlock> *pBlocks) = 0;
    virtual int Get1DResultMapping(int iResultId, int iStepId,
                                   std::vector<FEMappingBlock> *pMaps) = 0;
    virtual int Get3DResultMapping(int iResultId, int iStepId,
                                   std::vector<FEMappingBlock> *pMaps) = 0;
    virtual int GetSteps(std::vector<FEStep> *pSteps) = 0;
    // One key list per element block: the elements hidden in that step.
    virtual int GetStepPartStates(int iStepId, std::vector<std::vector<int>> *pStates) = 0;
    virtual int GetScalarResultInfos(std::vector<FEResultInfo> *pInfos) = 0;
    virtual int GetVectorResultInfos(std::vector<FEResultInfo> *pInfos) = 0;
    // True when the two steps have different nodes or elements.
    virtual int GeometryDiffers(int iStepA, int iStepB) = 0;

    bool (*pfnProgress)(int iPosition, const char *pszText) = nullptr;
    bool (*pfnCancel)(void) = nullptr;
};

// Makes a new reader of one registry index; null when none can be made.
typedef FEReader *(*NKFEMReaderFactory)(void);

enum { NK_NUM_FEM_INTERFACES = 16, NK_FEM_NO_INTERFACE = 2 };

// Fills (or, with null, empties) the factory slot of a registry index and
// returns the one it held; indices outside 0..15 change nothing.
NKFEMReaderFactory NKSetFEMReaderFactory(int iIndex, NKFEMReaderFactory pfnFactory);
// The interface id at a registry index (0 outside 0..15), and the index of an
// id (-1 for an id that is not a plug-in id).
int NKFEMInterfaceIdAt(int iIndex);
int NKFEMInterfaceIndexOf(int iId);

// Start-up: empties the table, then for each index with a reader fills its
// record from the reader's info ("Unknown Interface Name" for an empty name,
// the name's first three characters in lower case for an empty short name).
// Always true.
bool NKInitFEMInterfaceTable(void);
bool NKIsFEMInterfaceId(int iId);
// A new reader of that index, owned by the caller; null outside 0..15 or when
// the index has no factory.
FEReader *NKCreateFEMReader(int iIndex);
// The id of the first reader in registry order that can read the file; 2
// when none can.
int NKFindFEMInterfaceForFile(const char *pszFileName);
// The number of table records that were filled from a reader.
int NKGetNumFEMInterfaces(void);
// One text per available interface: its short name, with bDetailed followed
// by ", " and its name. Null when none is available; the caller owns it.
NKStringList *NKGetFEMInterfaceNames(bool bDetailed);
// The short name of an id's record; "" for an id that is not a plug-in id.
void NKGetFEMInterfaceName(NKString *pName, int iId);
// The record of an id, or null.
const InterfaceInfo *NKGetFEMInterfaceInfo(int iId);
// The last id in registry order whose short name begins with the trimmed
// name (letter case counts); 2 when none does.
int NKGetFEMInterfaceIdByName(const char *pszName);
