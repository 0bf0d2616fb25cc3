// nkf/nkf_position_results.h -- results at free positions in space:
// *POSITIONRESULTS (type 22) holds one set of positions, each with a scalar
// or a 3-D vector value and optionally an ID; *QUOLINPOSITIONSCALAR
// (type 23) and *QUOLINPOSITIONVECTOR (type 24) are twin step lists that
// name, per step, the position-result blocks forming that step's result.
//
// The NKF import reads the vector step lists, asks each for the IDs of a
// step (GetNumResults / GetResultID, NKFStepListBlock in nkf_step_table.h)
// and turns the named blocks into the frame's separate vector fields. The
// step lists count steps by the rule that values before the first "%STEP"
// form a step of their own and every other "%STEP" line opens one.
//
// Binary *POSITIONRESULTS header record (framing in nkf_format.h), 36 bytes:
//   offset  size  meaning (default)
//   0       4     int32 header size (at least 36, below 1025)
//   4       4     int32 data size in bytes
//   8       4     int32 dimension, 1 or 3 (1)
//   12      4     int32 map-to-elements flag (-1)
//   16      4     int32 target *ELEMENTS block ID (-1)
//   20      4     int32 mapping: 0 none, 1 by ID, 2 by index (0)
//   24      4     int32 global positions, 1 = global (1)
//   28      4     int32 global results, 1 = global (1)
//   32      4     int32 value count (0)
// Data, per value: [int32 ID with a mapping other than none], float32 x, y,
// z, then float32 value (dimension 1) or float32 vx, vy, vz (dimension 3).
//
// Binary step lists: header record of 92 bytes (0 header size, 4 data size,
// 8 char[80] name (trimmed), 88 int32 step count), then one step record per
// step (nkf_step_table.h) without an extra word.
//
// ASCII *POSITIONRESULTS: "%DIMENSION" 1|3, "%MAPTO_ELEMENTS" #ID,
// "%MAP_NONE" / "%MAP_ID" / "%MAP_INDEX", "%GLOBAL_POSITIONS" /
// "%LOCAL_POSITIONS", "%GLOBAL_RESULTS" / "%LOCAL_RESULTS"; value lines
// "[ID] x y z v" or "[ID] x y z vx vy vz"; other '%' lines are ignored.
// ASCII step lists: "%NAME", "%DESCRIPTION" ("text" or #ID), "%STEP",
// "%STEPNAME", "%STEPTIME"; value lines of block IDs and ranges "a-b".
#pragma once

#include <cstdint>

#include "nkf/nkf_step_table.h"

// Mappings of a position-result block.
enum { NKF_POSITION_MAP_NONE = 0, NKF_POSITION_MAP_ID = 1, NKF_POSITION_MAP_INDEX = 2 };

class NKFPositionResultBlock : public NKFBlock {
public:
    NKFPositionResultBlock(NKFReader *pReader, int iBlockID);
    ~NKFPositionResultBlock() override;

    // "Results block not parsed." before parsing. A block mapped to an
    // element block ("%MAPTO_ELEMENTS") needs that *ELEMENTS block; free
    // positions need nothing.
    bool ResolveReferences() override;
    bool ParseBlock() override;
    // Reads IDs, positions and values; no values loads as empty.
    bool LoadData() override;
    // Writes nothing and reports nothing: false.
    bool WriteBlock() override { return false; }
    int GetNumItems() override { return m_iNumValues; }
    void FreeData() override;

    int GetDimension() const { return m_iDimension; }
    int GetMapping() const { return m_iMapping; }
    bool IsMappedToElements() const { return m_iMapToElements == 1; }
    int GetMapToElementsFlag() const { return m_iMapToElements; }
    int GetTargetBlockID() const { return m_iTargetBlockID; }
    bool HasGlobalPositions() const { return m_bGlobalPositions != 0; }
    bool HasGlobalResults() const { return m_bGlobalResults != 0; }
    // Loaded arrays (null before LoadData or when absent).
    const int32_t *GetIDs() const { return m_piIDs; }
    const float *GetPositions() const { return m_pfPositions; }
    const float *GetScalarValues() const { return m_pfScalarValues; }
    const float *GetVectorValues() const { return m_pfVectorValues; }

private:
    bool ParseAscii();
    bool ParseDirective(const NKString &line);
    bool CheckValueLine(const NKString &line);
    bool ParseBinary();
    int64_t RowBytes() const;
    bool AllocateValues();

    int32_t *m_piIDs;         // owned; one per value, with a mapping
    float *m_pfPositions;     // owned; three per value
    float *m_pfScalarValues;  // owned; one per value, dimension 1
    float *m_pfVectorValues;  // owned; three per value, dimension 3
    int32_t m_iDimension;
    int32_t m_iNumValues;
    int32_t m_iMapToElements;
    int32_t m_iTargetBlockID;
    int32_t m_iMapping;
    uint8_t m_bGlobalPositions;
    uint8_t m_bGlobalResults;
};

// The scalar and vector step lists of *POSITIONRESULTS blocks: each "%STEP"
// line opens a step, and an unknown directive is only warned about.
class NKFPositionListBlock : public NKFStepListBlock {
protected:
    NKFPositionListBlock(NKFReader *pReader, int iBlockID, int iType);

    int ReferencedType() const override { return NKF_POSITIONRESULTS; }
    const char *MissingReferenceText() const override;
    void ReportUnknownDirective() override;
};

class NKFQuolinPositionScalarBlock : public NKFPositionListBlock {
public:
    NKFQuolinPositionScalarBlock(NKFReader *pReader, int iBlockID);

protected:
    const char *ClassName() const override { return "NKFQuolinPositionScalarBlock"; }
};

class NKFQuolinPositionVectorBlock : public NKFPositionListBlock {
public:
    NKFQuolinPositionVectorBlock(NKFReader *pReader, int iBlockID);

protected:
    const char *ClassName() const override { return "NKFQuolinPositionVectorBlock"; }
};
