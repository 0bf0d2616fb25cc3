// tests/nkf/nkf_state_block_writer.h -- binary *PARTATTRIBUTES, *SETTINGS
// and *ITEMS blocks for the display-state tests, written word by word in
// the writer's byte order from the records of nkf/nkf_state_records.h
// (their text fields left empty, so byte order never touches them).
#pragma once

#include <vector>

#include "nkf/nkf_state_records.h"
#include "tests/test_support/nkf_test_writer.h"

// One record of iSize bytes: word 0 is iSize, then the record's words as
// far as the size reaches, then zero bytes up to the size.
template <int N>
void AppendStateRecord(NKFTestWriter &w, const NKFRecord<N> &rec, int iSize)
{
    w.Int(iSize);
    int k = 1;
    for (; k < N && (k + 1) * 4 <= iSize; k++) w.Int(rec.aiWords[k]);
    const uint8_t zero = 0;
    for (int b = k * 4; b < iSize; b++) w.Bytes(&zero, 1);
}

inline void BeginStateBlock(NKFTestWriter &w, int iCode, int iID, int iHeaderSize, int iDataSize)
{
    w.BeginHeader();
    w.Int(iCode);
    w.Int(iID);
    w.Int(iHeaderSize);
    w.Int(iDataSize);
}

inline void EndStateBlock(NKFTestWriter &w)
{
    w.BeginHeader();
    w.Int(-999);
    w.EndHeader();
}

// A *SETTINGS block; a main size of 0 writes no main record, a null extra
// no extra record. Sizes default to the records' own.
struct NKFTestSettings {
    NKFMainSettings main;
    int iMainSize = 0;
    std::vector<NKFScalarSettings> scalars;
    int iScalarSize = 28;
    std::vector<NKFVectorSettings> vectors;
    bool bExtra = false;
    NKFExtraSettings extra;
    int iExtraSize = 428;
    NKFTestSettings()
    {
        NKFInitMainSettings(&main);
        NKFInitExtraSettings(&extra);
    }
};

inline void AppendSettingsBlock(NKFTestWriter &w, int iID, const NKFTestSettings &s)
{
    int iData = s.iMainSize + s.iScalarSize * (int)s.scalars.size() + 72 * (int)s.vectors.size() +
                (s.bExtra ? s.iExtraSize : 0);
    BeginStateBlock(w, 1018, iID, 24, iData);
    w.Int(s.iMainSize > 0 ? 1 : 0);
    w.Int((int)s.scalars.size());
    w.Int((int)s.vectors.size());
    w.Int(s.bExtra ? 1 : 0);
    w.EndHeader();
    if (s.iMainSize > 0) AppendStateRecord(w, s.main, s.iMainSize);
    for (const auto &r : s.scalars) AppendStateRecord(w, r, s.iScalarSize);
    for (const auto &r : s.vectors) AppendStateRecord(w, r, 72);
    if (s.bExtra) AppendStateRecord(w, s.extra, s.iExtraSize);
    EndStateBlock(w);
}

struct NKFTestItems {
    std::vector<NKFCutPlaneItem> planes;
    std::vector<NKFIsoSurfaceItem> isos;
    std::vector<NKFParticleTraceItem> particles;
    std::vector<NKFNodeItem> traces;
    std::vector<NKFNodeItem> plots;
};

inline void AppendItemsBlock(NKFTestWriter &w, int iID, const NKFTestItems &it)
{
    int iData = 44 * (int)(it.planes.size() + it.particles.size()) + 8 * (int)it.isos.size() +
                12 * (int)(it.traces.size() + it.plots.size());
    BeginStateBlock(w, 1019, iID, 28, iData);
    w.Int((int)it.planes.size());
    w.Int((int)it.isos.size());
    w.Int((int)it.particles.size());
    w.Int((int)it.traces.size());
    w.Int((int)it.plots.size());
    w.EndHeader();
    for (const auto &r : it.planes) AppendStateRecord(w, r, 44);
    for (const auto &r : it.isos) AppendStateRecord(w, r, 8);
    for (const auto &r : it.particles) AppendStateRecord(w, r, 44);
    for (const auto &r : it.traces) AppendStateRecord(w, r, 12);
    for (const auto &r : it.plots) AppendStateRecord(w, r, 12);
    EndStateBlock(w);
}

inline void AppendPartAttributesBlock(NKFTestWriter &w, int iID,
                                      const std::vector<NKFPartAttributes> &parts, int iSize = 220)
{
    BeginStateBlock(w, 1017, iID, 12, iSize * (int)parts.size());
    w.Int((int)parts.size());
    w.EndHeader();
    for (const auto &r : parts) AppendStateRecord(w, r, iSize);
    EndStateBlock(w);
}
