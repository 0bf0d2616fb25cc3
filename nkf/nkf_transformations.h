// nkf/nkf_transformations.h -- the *TRANSFORMATIONS (type 12) and
// *VIEWPOINTS (type 13) blocks: per step, 4x4 matrices that move whole
// parts, and per step one camera viewpoint.
//
// The NKF display-state import applies transformation block 1 to the parts
// of every frame (an entry matches a part by the part's source *ELEMENTS or
// *INDEXEDFACESET block ID when the block has IDs, else by order) and
// viewpoint block 1 to the frames' viewpoints (frame i takes step index i).
// Steps are counted by NKFStepCounter (nkf_step_table.h) with the rule that
// values before the first "%STEP" form a step of their own and every other
// "%STEP" line opens one, in both passes.
//
// Binary *TRANSFORMATIONS header record (framing in nkf_format.h), 96 bytes:
//   offset  size  meaning
//   0       4     int32 header size (at least 96, below 1025)
//   4       4     int32 data size in bytes
//   8       80    char[80] block name (trimmed)
//   88      4     int32 with-ID flag (1 = every matrix has a block ID)
//   92      4     int32 step count
// Data, per step: int32 step number, char[80] step name, float32 step time,
// int32 element-matrix count E, int32 face-set-matrix count F, then E and F
// entries: [int32 block ID when with IDs] and 12 float32, four rows of three
// (first axis, second axis, third axis, translation).
//
// Binary *VIEWPOINTS header record, 92 bytes: 0 header size (at least 92),
// 4 data size, 8 char[80] name (trimmed), 88 int32 step count. Data, per
// step: int32 number, char[80] name, float32 time, float32[3] eye,
// float32[3] view reference point, float32[3] up vector.
//
// ASCII *TRANSFORMATIONS: "%NAME" "text", "%WITH_ID" / "%NO_ID", "%STEP" n,
// "%STEPNAME" "text", "%STEPTIME" t, "%ELEMENTS" / "%INDEXEDFACESET" (which
// list the following matrices go to, until changed); a matrix is [a line
// with the ID alone] and four lines of three numbers.
// ASCII *VIEWPOINTS: "%STEP", "%STEPNAME", "%STEPTIME" and per step three
// lines of three numbers: eye, view reference point, up vector.
#pragma once

#include <cstdint>

#include "nkf/nkf_step_table.h"

// One matrix of a step: the *ELEMENTS or *INDEXEDFACESET block it moves (-1
// in an ASCII file without IDs, 0 in a binary one) and the matrix in
// OpenGL column order (translation in 12-14; 3, 7, 11 are 0 and 15 is 1).
struct NKFTransformationEntry {
    int32_t iBlockID;
    float afMatrix[16];
};

// Sets iCount per-part transformation records of a *TRANSFORMATIONS block
// to zero (block ID and matrix); nothing for null records or iCount < 1.
void NKFClearTransformationRecords(NKFTransformationEntry *pRecords, int iCount);

// A growable array of entries held by value.
class NKFTransformationEntryArray {
public:
    NKFTransformationEntryArray();
    ~NKFTransformationEntryArray();
    NKFTransformationEntryArray(const NKFTransformationEntryArray &) = delete;
    NKFTransformationEntryArray &operator=(const NKFTransformationEntryArray &) = delete;

    // n = 0 frees the data; an array without data gets exactly n entries;
    // past the capacity the new capacity is the larger of n and capacity +
    // growth step (0: an eighth of the size, 4 to 1024). New entries are
    // zero-filled. False (array unchanged) when memory runs out.
    bool SetSize(int n);
    void SetGrowBy(int iGrowBy) { m_iGrowBy = iGrowBy; }
    int GetSize() const { return m_iSize; }
    int GetCapacity() const { return m_iCapacity; }
    // Entry i, or null out of range.
    NKFTransformationEntry *GetAt(int i);
    const NKFTransformationEntry *GetAt(int i) const;

private:
    NKFTransformationEntry *m_pData;
    int m_iSize;
    int m_iCapacity;
    int m_iGrowBy;
};

class NKFTransformationBlock : public NKFSteppedBlock {
public:
    NKFTransformationBlock(NKFReader *pReader, int iBlockID);
    ~NKFTransformationBlock() override;

    // "Block not parsed." before parsing; true without IDs or while not
    // loaded; else every face-set entry must name an *INDEXEDFACESET block
    // and every element entry an *ELEMENTS block.
    bool ResolveReferences() override;
    bool ParseBlock() override;
    bool LoadData() override;
    bool WriteBlock() override
    {
        return ReportFailure("NKFTransformationBlock::WriteBlock, not implemented yet");
    }
    // Frees every per-step array; name, flag and step count stay.
    void FreeData() override;

    bool HasIDs() const { return m_bWithID != 0; }
    // The matrix lists of step index i (null when not loaded or out of range).
    const NKFTransformationEntryArray *GetElementMatrices(int i) const;
    const NKFTransformationEntryArray *GetFaceSetMatrices(int i) const;

private:
    bool ParseAscii();
    bool ParseAsciiValue(const NKString &line, int64_t *piValues);
    bool ParseBinary();
    bool AllocateSteps();
    bool LoadAscii();
    bool LoadBinary();
    bool LoadBinaryEntries(NKFTransformationEntryArray *pArray, int iCount, int64_t *piBytesLeft);
    bool CheckEntries(const NKFTransformationEntryArray *pArrays, int iType, const char *pszText);

    uint8_t m_bWithID;
    NKFTransformationEntryArray *m_pElementMatrices;  // owned; one per step
    NKFTransformationEntryArray *m_pFaceSetMatrices;  // owned; one per step
};

class NKFViewpointBlock : public NKFSteppedBlock {
public:
    NKFViewpointBlock(NKFReader *pReader, int iBlockID);
    ~NKFViewpointBlock() override;

    bool ParseBlock() override;
    bool LoadData() override;
    bool WriteBlock() override
    {
        return ReportFailure("NKFViewpointBlock::WriteBlock, not implemented yet");
    }
    void FreeData() override;

    // Copies eye, view reference point and up vector of step index iStep.
    // False (nothing copied) for a step outside 0 .. count-1, a null
    // output, or when loading fails.
    bool GetViewpoint(int iStep, float pfEye[3], float pfVrp[3], float pfUp[3]);

private:
    bool ParseAscii();
    bool ParseBinary();
    bool AllocateSteps();
    bool LoadAscii();
    bool LoadBinary();

    float **m_ppfViewpoints;  // owned; per step nine floats: eye, vrp, up
};
