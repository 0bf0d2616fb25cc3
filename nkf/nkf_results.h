// nkf/nkf_results.h -- NKFResultBlock, the *RESULTS block (type 8): one
// array of scalar or three-component values tied to the nodes of a *NODES
// block, the elements of an *ELEMENTS block or the faces of an
// *INDEXEDFACESET block, with or without user IDs per item.
//
// The scalar, vector and visibility blocks list, per step, which *RESULTS
// blocks make up a result; the NKF import loads them on demand, reads the
// arrays through the accessors below and frees them again after use.
//
// Binary header record (framing in nkf_format.h), 28 bytes:
//   offset  size  meaning
//   0       4     int32 header size (at least 28)
//   4       4     int32 data size in bytes
//   8       4     int32 dimension (1; any other value means 3)
//   12      4     int32 referenced block ID
//   16      4     int32 mapping (0 per node, 1 per element, 2 per face)
//   20      4     int32 with-ID flag (1 = with IDs, other = without)
//   24      4     int32 item count
// Data: item count rows of [int32 ID] and 1 or 3 float32 values.
#pragma once

#include <cstdint>

#include "nkf/nkf_block.h"

// Mappings of a results block.
enum { NKF_MAP_PER_NODE = 0, NKF_MAP_PER_ELEMENT = 1, NKF_MAP_PER_FACE = 2 };

class NKFResultBlock : public NKFBlock {
public:
    NKFResultBlock(NKFReader *pReader, int iBlockID);
    ~NKFResultBlock() override;

    // The referenced *NODES (mapping 0) or *ELEMENTS (mapping 1) block must
    // exist; per-face results are not checked.
    bool ResolveReferences() override;
    bool ParseBlock() override;
    // Reads the values (and IDs); builds the sorted index when the IDs are
    // out of order. A block with no items loads as empty.
    bool LoadData() override;
    // The block in the ASCII form, through NKFReader::WriteText.
    bool WriteBlock() override;
    int GetNumItems() override { return m_iNumItems; }
    void FreeData() override;

    // The referenced block ID when the mapping equals iMapping, else -1.
    int GetReferencedBlockID(int iMapping) const;
    int GetReferencedID() const { return m_iReferencedBlockID; }
    int GetMapping() const { return m_iMapping; }
    int GetDimension() const { return m_iDimension; }
    bool HasIDs() const { return m_bWithID != 0; }
    const int32_t *GetIDs() const { return m_piIDs; }
    const float *GetScalarValues() const { return m_pfScalarValues; }
    const float *GetVectorValues() const { return m_pfVectorValues; }
    // Item positions ordered by ascending ID; null when the IDs are sorted
    // already (or absent).
    const int32_t *GetSortedIndex() const { return m_piSortedIndex; }
    // Position of the item with the user ID (binary search, through the
    // sorted index when there is one); -1 when absent or not loaded.
    int FindItem(int iID) const;

private:
    bool ParseAscii();
    bool ParseBinary();
    bool ParseDirective(const NKString &line);
    bool ParseMapping(const NKString &line, const char *pszDirective, int iMapping);
    bool CheckAsciiRow(const NKString &line);
    bool AllocateValues();
    bool BuildSortedIndex();
    int64_t RowBytes() const;

    uint8_t m_bWithID;
    int32_t *m_piIDs;         // owned; one per item, with IDs only
    float *m_pfVectorValues;  // owned; three per item, dimension 3
    float *m_pfScalarValues;  // owned; one per item, dimension 1
    int32_t m_iDimension;
    int32_t m_iNumItems;
    int32_t m_iReferencedBlockID;
    int32_t m_iMapping;
    int32_t *m_piSortedIndex;  // owned; null when the IDs are in order
};
