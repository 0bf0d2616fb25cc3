// nkf/nkf_geometry_block.h -- the *QUOLINGEOMETRY block (type 7): which parts
// make up the model at each step, and the building of a step's parts.
//
// Per step entry the block lists *INDEXEDFACESET blocks and *ELEMENTS blocks;
// each listed block becomes one part, the face sets first in list order, then
// the element blocks. An entry also carries a name, a time, a step number (the
// 1-based first model step it applies to; one entry covers a run of model
// steps, looked up with NKFFindStepIndex) and the *PARTATTRIBUTES block of the
// step. NKReadGeometryParts builds the parts of a model step as
// NKIndexedFaceSet records (core/nk_mesh.h) through the face-set and element
// blocks; the NKF import (nkf_import.cpp) turns them into an NKGeometry.
// Reading is in nkf_geometry_block_parse.cpp; the queries and the part
// building in nkf_geometry_block.cpp.
//
// Binary header record (92 bytes as written):
//   offset  size  meaning
//   0       4     int32 header size (92 .. 1024)
//   4       4     int32 data size in bytes
//   8       80    char[80] name
//   88      4     int32 step count
//   92      4     int32 extra word A flag (optional)
//   96      4     int32 extra word B flag (optional)
// Data, one record per step:
//   int32 step number; char[80] step name; float32 step time;
//   int32 element block count e; int32 face-set block count f;
//   int32 marker (0 or -1); int32 part attributes block ID;
//   [int32 extra word A]; [int32 extra word B];
//   e x int32 element block IDs; f x int32 face-set block IDs.
// A record whose marker word is neither 0 nor -1 is of the older layout: the
// element IDs follow the element count directly, with no face sets, no part
// attributes (-1) and no extra words.
#pragma once

#include <cstdint>
#include <vector>

#include "core/nk_string.h"
#include "nkf/nkf_block.h"

struct NKIndexedFaceSet;
struct NKFElementList;
class NKFStepCounter;

class NKFQuolinGeometryBlock : public NKFBlock {
public:
    NKFQuolinGeometryBlock(NKFReader *pReader, int iBlockID);
    ~NKFQuolinGeometryBlock() override;

    // "Geometry block not parsed." before parsing; the description block
    // must exist; once loaded, every listed face-set and element block too.
    bool ResolveReferences() override;
    bool ParseBlock() override;
    bool LoadData() override;
    bool WriteBlock() override
    {
        return ReportFailure("NKFQuolinGeometryBlock::WriteBlock, not implemented yet");
    }
    // Parts summed over all steps; 0 before parsing. The binary form knows
    // its counts only once loaded (the first pass skips the data).
    int GetNumItems() override;
    // Frees the per-step ID lists, names, times and numbers; the parse
    // counts stay.
    void FreeData() override;

    // Queries by 0-based model step (through the step lookup) and 0-based
    // part (face sets first, then element blocks). They answer only while
    // the data is loaded (LoadData, HasStep or NKReadGeometryParts); before
    // that no step has an entry.
    int GetPartFaceSetBlockId(int iStep, int iPart) const;
    int GetPartElementBlockId(int iStep, int iPart) const;
    // The node block of the part's element block (preferred) or face-set
    // block; 0 when neither exists.
    int GetPartNodeBlockId(int iStep, int iPart) const;
    // The part's block name, or its description when the name is empty; null
    // when the block is missing. iStep -1: the entry with the most parts.
    const NKString *GetPartName(int iPart, int iStep) const;
    // FreeData of the part's element or face-set block.
    void FreePartData(int iStep, int iPart);
    // FreeData of the part's element block when the file is binary, where
    // reading the connectivity again for the element list costs one read of
    // its bytes: it then does not sit beside the part's polygon arrays while
    // their internal faces are hidden. An ASCII block keeps its rows.
    void ReleaseBinaryPartElements(int iStep, int iPart);
    // For an element part, NKCreateElementList of its *ELEMENTS block and then
    // its FreeData; true at once for a face-set part; false for a bad step or
    // part, a missing element block or a failed list. *pList is cleared first
    // (unless null), so that NKFFreeElementList is always safe on it.
    bool CreatePartElements(NKFElementList *pList, int iStep, int iPart,
                            const int32_t *piNodeSourceIndex, int iCount);
    // True when model steps a and b fall under different step entries.
    bool StepsDiffer(int iStepA, int iStepB) const;
    // The entry's part attributes block ID; -1 when none.
    int GetPartAttributesBlockId(int iStep) const;
    // Loads the block; true when some entry's step number equals n.
    bool HasStep(int iNumber);
    // The largest part count of any entry, and the first entry that has it
    // (-1 when no counts are known; piEntry may be null).
    int GetMaxPartCount(int *piEntry) const;
    // Parts of the step's entry (face sets plus element blocks); 0 without one.
    int GetNumParts(int iStep) const;
    // The parts of model step iStep: a new array of NKIndexedFaceSet records,
    // as many as the largest part count of any entry (*piCount), those past
    // the step's own parts left empty; the caller frees each record
    // (NKFreePolygonMesh) and the array (NKFree). Null when the block cannot
    // be loaded, no entry applies, or a part fails (reported), and then
    // *piCount is 0. A geometry without any part gives an array of one
    // spare record and *piCount 0.
    NKIndexedFaceSet *NKReadGeometryParts(int *piCount, int iStep);

    const NKString &GetName() const { return m_Name; }
    const NKString &GetDescription() const { return m_Description; }
    int GetDescriptionBlockID() const { return m_iDescriptionBlockID; }
    // Step entries, and per entry (by index) its name, time and number.
    int GetNumSteps() const { return m_iNumSteps; }
    NKString GetStepName(int i) const;
    float GetStepTime(int i) const;
    int GetStepNumber(int i) const;
    const int32_t *GetStepNumbers() const { return m_piStepNumbers; }

private:
    // The entry index of a 0-based model step; -1 when none applies or the
    // data is not loaded.
    int EntryOf(int iStep) const;
    // Counts of an entry (0 for an index out of range or unknown counts).
    int FaceSetCount(int iEntry) const;
    int ElementCount(int iEntry) const;
    int PartCount(int iEntry) const;
    // The block ID of part iPart of an entry when that part is a face set /
    // an element block; -1 otherwise or when the data is not loaded.
    int EntryFaceSetId(int iEntry, int iPart) const;
    int EntryElementId(int iEntry, int iPart) const;

    // Parse and load (nkf_geometry_block_parse.cpp).
    bool ParseAscii();
    bool ParseAsciiDirective(const NKString &line, NKFStepCounter *pCounter, int *piList);
    bool CountAsciiIDs(const NKString &line, int64_t *piCount, int64_t *piTotal);
    bool StoreParseCounts(const int64_t *piCounts, int iNumSteps);
    bool ParseBinary();
    bool LoadAscii();
    bool AllocateAsciiLists();
    bool StoreAsciiIDs(const NKString &line, int iEntry, int iList, int aiStored[2]);
    bool CheckEntryFilled(int iEntry, const int aiStored[2]);
    bool LoadBinary();
    bool LoadBinaryStep(int i, int64_t *piBytesLeft, int64_t *piTotal);
    bool ReadStepLayout(int64_t *piBytesLeft, int32_t *piFaceSets, int32_t *piAttributes);
    bool CheckStepCounts(int32_t iElements, int32_t iFaceSets, int64_t iBytesLeft,
                         int64_t *piTotal);
    bool ReadIDList(int32_t **ppiIDs, int32_t iCount);
    bool AllocateSteps();
    void ClearCounts();

    // Part building (nkf_geometry_block.cpp).
    bool CheckPartBlocks(int iEntry);
    NKFBlock *FindPartBlock(int iKind, int iID);
    bool SharesNodeBlock(int iKind, int iEntry) const;
    std::vector<unsigned char> LastNodeBlockUsers(int iEntry) const;
    bool BuildStepParts(int iEntry, NKIndexedFaceSet *pRecords);

    NKString m_Name;
    NKString m_Description;
    int32_t m_iDescriptionBlockID;
    int32_t m_iNumSteps;
    uint8_t m_bExtraWordA;
    uint8_t m_bExtraWordB;
    int32_t **m_ppiFaceSetIDs;    // owned; per entry an owned array (null when empty)
    int32_t *m_piNumFaceSets;     // owned; per entry
    int32_t **m_ppiElementIDs;    // owned; per entry an owned array (null when empty)
    int32_t *m_piNumElements;     // owned; per entry
    int32_t *m_piPartAttributes;  // owned; per entry, -1 none
    NKString *m_pStepNames;       // owned; per entry
    float *m_pfStepTimes;         // owned; per entry
    int32_t *m_piStepNumbers;     // owned; per entry
};
