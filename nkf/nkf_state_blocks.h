// nkf/nkf_state_blocks.h -- the three display-state block kinds of an NKF
// file: *PARTATTRIBUTES (type 16), one attribute record per part;
// *SETTINGS (type 17), the main, scalar, vector and extra settings records;
// *ITEMS (type 18), cutting planes, iso-surfaces, particle-trace sets,
// traces and node plots. Binary form only; records in nkf_state_records.h.
//
// Binary headers (framing in nkf_format.h; each header at least its own
// size, below 1025, its surplus skipped; the end marker after the data):
//   *PARTATTRIBUTES, 12 bytes: int32 header size, int32 data size,
//     int32 part count. Data: part count records of exactly 220 bytes.
//   *SETTINGS, 24 bytes: int32 header size, int32 data size, int32 main
//     record flag, int32 scalar count, int32 vector count, int32 extra flag.
//     Data: the main record when flagged (size at least 948; words up to
//     the smaller of its size and 1228 read, the rest skipped), the scalar
//     records (size at least 24), the vector records (size at least 72),
//     the extra record when the flag is above 0 (read only when its size
//     is at least 428, else skipped with its defaults kept).
//   *ITEMS, 28 bytes: int32 header size, int32 data size, then the counts
//     of cutting planes, iso-surfaces, particle-trace sets, traces and node
//     plots. Data: the records of each kind in that order, each of exact
//     size (44, 8, 44, 12, 12 bytes).
//
// Counts and record sizes are checked against the block's data size before
// anything is allocated or read: a record that cannot fit fails with its
// kind's wrong-size message.
#pragma once

#include <cstdint>

#include "nkf/nkf_block.h"
#include "nkf/nkf_state_records.h"

class NKFPartAttributesBlock : public NKFBlock {
public:
    NKFPartAttributesBlock(NKFReader *pReader, int iBlockID);
    ~NKFPartAttributesBlock() override;

    bool ParseBlock() override;
    bool LoadData() override;
    bool WriteBlock() override
    {
        return ReportFailure("NKFPartAttributesBlock::WriteBlock, not implemented yet");
    }
    int GetNumItems() override { return m_iNumParts > 0 ? m_iNumParts : 0; }
    void FreeData() override;

    // Null when nothing is loaded or iPart is out of range.
    const NKFPartAttributes *GetPartAttributes(int iPart) const;

private:
    int32_t m_iNumParts;
    NKFPartAttributes *m_pRecords;  // owned, m_iNumParts once loaded
};

class NKFSettingsBlock : public NKFBlock {
public:
    NKFSettingsBlock(NKFReader *pReader, int iBlockID);
    ~NKFSettingsBlock() override;

    bool ParseBlock() override;
    bool LoadData() override;
    bool WriteBlock() override
    {
        return ReportFailure("NKFSettingsBlock::WriteBlock, not implemented yet.");
    }
    // Scalar records + vector records + 1 with a main record.
    int GetNumItems() override;
    // Frees the scalar and vector arrays; the embedded records stay.
    void FreeData() override;

    bool HasMainSettings() const { return m_bHasMain != 0; }
    int GetNumScalarSettings() const { return m_iNumScalar; }
    int GetNumVectorSettings() const { return m_iNumVector; }
    // Null when not loaded or absent / out of range.
    const NKFMainSettings *GetMainSettings() const;
    const NKFScalarSettings *GetScalarSettings(int i) const;
    const NKFVectorSettings *GetVectorSettings(int i) const;
    const NKFExtraSettings *GetExtraSettings() const;

private:
    // The parts of LoadData: the check that the counts fit the data size
    // before anything is allocated, then the main record, the scalar and
    // vector records and the extra record, each taking its bytes off
    // *piLeft and reporting its own "Wrong size of ..." error.
    bool CheckRecordCounts(int64_t iLeft);
    bool LoadMain(int64_t *piLeft);
    bool LoadScalars(int64_t *piLeft);
    bool LoadVectors(int64_t *piLeft);
    bool LoadExtra(int64_t *piLeft);

    uint8_t m_bHasMain;
    int32_t m_iNumScalar;
    int32_t m_iNumVector;
    int32_t m_iExtraFlag;
    NKFMainSettings m_Main;
    NKFScalarSettings *m_pScalar;  // owned once loaded
    NKFVectorSettings *m_pVector;  // owned once loaded
    NKFExtraSettings m_Extra;
};

// The item kinds in file order.
enum {
    NKF_ITEM_CUTPLANE = 0,
    NKF_ITEM_ISOSURFACE,
    NKF_ITEM_PARTICLES,
    NKF_ITEM_TRACE,
    NKF_ITEM_NODEPLOT,
    NKF_ITEM_KINDS
};

class NKFItemsBlock : public NKFBlock {
public:
    NKFItemsBlock(NKFReader *pReader, int iBlockID);
    ~NKFItemsBlock() override;

    bool ParseBlock() override;
    bool LoadData() override;
    bool WriteBlock() override
    {
        return ReportFailure("NKFItemsBlock::WriteBlock, not implemented yet.");
    }
    // Cutting planes + iso-surfaces + traces + node plots (the
    // particle-trace sets are not counted).
    int GetNumItems() override;
    void FreeData() override;

    int GetCount(int iKind) const { return m_aiCount[iKind]; }
    const NKFCutPlaneItem *GetCutPlane(int i) const;
    const NKFIsoSurfaceItem *GetIsoSurface(int i) const;
    const NKFParticleTraceItem *GetParticleTraces(int i) const;
    const NKFNodeItem *GetTrace(int i) const;
    const NKFNodeItem *GetNodePlot(int i) const;

private:
    const int32_t *GetRecord(int iKind, int i) const;

    int32_t m_aiCount[NKF_ITEM_KINDS];
    int32_t *m_apWords[NKF_ITEM_KINDS];  // owned, count x words once loaded
};
