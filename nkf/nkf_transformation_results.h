// nkf/nkf_transformation_results.h -- rigid-body motion given as separate
// result blocks: *TRANSFORMATIONRESULT (type 25) holds one 4x4 matrix for
// the part made from one *INDEXEDFACESET or *ELEMENTS block;
// *QUOLINTRANSFORMATION (type 26) is the step list naming, per step, the
// transformation-result blocks that apply.
//
// The NKF display-state import takes step list 1, asks it for the IDs of
// each step (GetNumResults / GetResultID, NKFStepListBlock in
// nkf_step_table.h), loads those blocks and moves the matching parts. The
// per-step matrix lists of *TRANSFORMATIONS are nkf_transformations.h.
//
// Binary *TRANSFORMATIONRESULT header record (framing in nkf_format.h),
// 16 bytes:
//   offset  size  meaning (default)
//   0       4     int32 header size (at least 16, below 1025)
//   4       4     int32 data size in bytes
//   8       4     int32 *INDEXEDFACESET block ID (-1 = none)
//   12      4     int32 *ELEMENTS block ID (-1 = none)
// Data: 12 float32, four rows of three (first, second, third axis,
// translation).
//
// Binary *QUOLINTRANSFORMATION header record, at least 92 bytes:
//   0 int32 header size, 4 int32 data size, 8 char[80] name (trimmed),
//   88 int32 step count; from 100 bytes on also 92 int32 (ignored) and
//   96 int32 extra-word flag (nonzero: every step record carries one more
//   int32 after its ID count, which is skipped).
// Data: one step record per step (nkf_step_table.h).
//
// ASCII *TRANSFORMATIONRESULT: "%IFS_BLOCK_ID" #ID, "%ELEMENT_BLOCK_ID" #ID,
// then four lines of three numbers. ASCII *QUOLINTRANSFORMATION: "%NAME",
// "%DESCRIPTION" (quoted texts), "%STEP", "%STEPNAME", "%STEPTIME"; value
// lines of block IDs and ranges "a-b".
#pragma once

#include <cstdint>

#include "nkf/nkf_step_table.h"

class NKFTransformationResultBlock : public NKFBlock {
public:
    NKFTransformationResultBlock(NKFReader *pReader, int iBlockID);

    bool ParseBlock() override;
    // Reads the matrix; elements 3, 7, 11 become 0 and 15 becomes 1.
    bool LoadData() override;
    bool WriteBlock() override
    {
        return ReportFailure("NKFTransformationResultBlock::WriteBlock, not implemented yet");
    }
    int GetNumItems() override { return 1; }
    // Clears the loaded flag; the matrix stays.
    void FreeData() override { m_bDataLoaded = false; }

    // The matrix in OpenGL column order (all 0 until loaded).
    const float *GetMatrix() const { return m_afMatrix; }
    int GetFaceSetBlockID() const { return m_iFaceSetBlockID; }
    int GetElementBlockID() const { return m_iElementBlockID; }

private:
    bool ParseAscii();
    bool ParseBinary();

    float m_afMatrix[16];
    int32_t m_iFaceSetBlockID;
    int32_t m_iElementBlockID;
};

class NKFQuolinTransformationBlock : public NKFStepListBlock {
public:
    NKFQuolinTransformationBlock(NKFReader *pReader, int iBlockID);

protected:
    const char *ClassName() const override { return "NKFQuolinTransformationBlock"; }
    int ReferencedType() const override { return NKF_TRANSFORMATIONRESULT; }
    const char *MissingReferenceText() const override;
    bool ReadHeaderFields(int iHeaderSize, int *piKnownBytes) override;
    void ReportUnknownDirective() override;
    bool AcceptsDescriptionReference() const override { return false; }
    const char *TooManyStepsText() const override
    {
        return "Too many steps in Transformation block";
    }
};
