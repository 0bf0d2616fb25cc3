// readers/nk_output3d_results.cpp -- the results of one event of an IES
// Output3D set: element results as scalar results, the phase flow vectors
// from three component files, and the flow records of B.y01..y03 as
// separate vector fields (see nk_output3d.h).
//
// A result file holds 8 values per element record of the event's .e00; the
// geometry's elements carry their record in iGlobalIndex, so values go to
// the part nodes 8k + c in the part's element order.
#include <cmath>

#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_numeric.h"
#include "readers/nk_output3d.h"
#include "readers/nk_output3d_state.h"

namespace {

// The 8 values per element of an event from B.<ext>; false (reported) when
// the file is missing, damaged, uncomputed for the event or does not match
// the event's elements. pfRange, when given, gets the header's first pair.
bool ReadValues(const std::string &ext, const std::string &name, int iEvent,
                std::vector<float> *pValues, float *pfRange)
{
    NKOutput3DFile file;
    if (!NKOutput3DOpenBinary(ext, &file, "Error opening results file : ")) return false;
    NKOutput3DHeader header;
    int64_t iStart = 0;
    int iCount = 0;
    const NKOutput3DSet &set = g_Output3DSet;
    if (!file.ReadHeader(&header) || !file.ReadEvent(iEvent, 8, &iStart, &iCount)) {
        NKOutput3DReadError(file.Path());
        return false;
    }
    if (iCount == 0) {
        NKPrintError(NKString::FromFormat("Result: %s is not calculated for event number %d.",
                                          name.c_str(), iEvent + 1)
                         .GetText());
        return false;
    }
    pValues->resize((size_t)iCount * 8);
    if (iCount != set.eventElements[(size_t)iEvent] ||
        !file.ReadWords(iStart, pValues->data(), (int64_t)iCount * 8)) {
        NKOutput3DReadError(file.Path());
        return false;
    }
    if (pfRange != nullptr) {
        pfRange[0] = header.fBox[0];
        pfRange[1] = header.fBox[1];
    }
    int64_t iBad = 0;
    int64_t iFirst = NKFirstNaNOrMinusInf(pValues->data(), (int64_t)pValues->size(), &iBad);
    if (iFirst >= 0)
        NKPrintWarning(
            NKString::FromFormat("Result: %s of file %s, event %d: NaN or -inf values: "
                                 "%lld, the first is value %lld; they count as undefined values.",
                                 name.c_str(), file.Path().c_str(), iEvent + 1, (long long)iBad,
                                 (long long)iFirst + 1)
                .GetText());
    return true;
}

// The unit parts of a geometry (the overlay parts follow them).
int UnitParts(const NKGeometry *pGeo)
{
    int n = (int)g_Output3DSet.usedUnits.size();
    return pGeo->iNumParts < n ? pGeo->iNumParts : n;
}

// Whether every unit part's element records lie within the values.
bool RecordsFit(const NKGeometry *pGeo, size_t iRecords)
{
    for (int p = 0; p < UnitParts(pGeo); p++) {
        const NKPart &part = pGeo->pParts[p];
        for (int k = 0; k < part.iNumElements; k++) {
            int r = part.pElements[k].iGlobalIndex;
            if (r < 0 || (size_t)r >= iRecords || part.iNumNodes < 8 * part.iNumElements)
                return false;
        }
    }
    return true;
}

bool CheckCall(int iEvent, const NKGeometry *pGeo)
{
    return g_Output3DSet.bOpen && pGeo != nullptr && iEvent >= 0 &&
           iEvent < g_Output3DSet.header.iNumEvents;
}

// Scalar part entries from the values of one result.
bool FillScalar(NKScalarResult *pResult, const NKGeometry *pGeo, const std::vector<float> &v)
{
    pResult->iNumParts = pGeo->iNumParts;
    pResult->pNodeResults =
        (NKScalarPartEntry *)NKCalloc((size_t)pGeo->iNumParts, sizeof(NKScalarPartEntry));
    if (pResult->pNodeResults == nullptr) return false;
    for (int p = 0; p < pGeo->iNumParts; p++) {
        const NKPart &part = pGeo->pParts[p];
        NKScalarPartEntry &entry = pResult->pNodeResults[p];
        NKInitScalarPartEntry(&entry);
        if (p >= UnitParts(pGeo) || part.iNumElements == 0) continue;
        entry.pNodeValues = (float *)NKAlloc((size_t)part.iNumElements * 8 * sizeof(float));
        if (entry.pNodeValues == nullptr) return false;
        entry.iCount = part.iNumElements * 8;
        for (int k = 0; k < part.iNumElements; k++) {
            const float *pSrc = &v[(size_t)part.pElements[k].iGlobalIndex * 8];
            for (int c = 0; c < 8; c++) {
                entry.pNodeValues[8 * k + c] = pSrc[c];
                pResult->nodeMinMax.Update(pSrc[c], p, 8 * k + c, -1);
            }
        }
    }
    return true;
}

bool FillVector(NKVectorResult *pResult, const NKGeometry *pGeo, const std::vector<float> *pv)
{
    pResult->iNumParts = pGeo->iNumParts;
    pResult->pResults =
        (NKVectorPartEntry *)NKCalloc((size_t)pGeo->iNumParts, sizeof(NKVectorPartEntry));
    if (pResult->pResults == nullptr) return false;
    for (int p = 0; p < pGeo->iNumParts; p++) {
        const NKPart &part = pGeo->pParts[p];
        NKVectorPartEntry &entry = pResult->pResults[p];
        NKInitVectorPartEntry(&entry);
        if (p >= UnitParts(pGeo) || part.iNumElements == 0) continue;
        entry.pNodeValues = (float *)NKAlloc((size_t)part.iNumElements * 24 * sizeof(float));
        if (entry.pNodeValues == nullptr) return false;
        entry.iNumNodes = part.iNumElements * 8;
        for (int k = 0; k < part.iNumElements; k++) {
            size_t r = (size_t)part.pElements[k].iGlobalIndex * 8;
            for (int c = 0; c < 8; c++) {
                float *pOut = &entry.pNodeValues[(8 * k + c) * 3];
                for (int j = 0; j < 3; j++) pOut[j] = pv[j][r + (size_t)c];
                float fLen = std::sqrt(pOut[0] * pOut[0] + pOut[1] * pOut[1] + pOut[2] * pOut[2]);
                pResult->lengthMinMax.Update(fLen, p, 8 * k + c, -1);
            }
        }
    }
    return true;
}

// One flow record: its element number, position and vector, and its part.
struct FlowRecord {
    int iElement;
    int iPart;
    float fData[6];
};

// The flow records of a phase's event; false (reported) when damaged.
bool ReadFlows(int iPhase, int iEvent, std::vector<FlowRecord> *pRecords)
{
    static const char *kExt[3] = {"y01", "y02", "y03"};
    NKOutput3DFile file;
    int64_t iStart = 0;
    int iCount = 0;
    if (!NKOutput3DOpenBinary(kExt[iPhase], &file, nullptr)) return false;
    std::vector<float> w;
    bool bOk = file.ReadEvent(iEvent, 9, &iStart, &iCount);
    if (bOk) w.resize((size_t)iCount * 9);
    if (!bOk || !file.ReadWords(iStart, w.data(), (int64_t)iCount * 9)) {
        NKOutput3DReadError(file.Path());
        return false;
    }
    const NKOutput3DSet &set = g_Output3DSet;
    for (int i = 0; i < iCount; i++) {
        const float *p = &w[(size_t)i * 9];
        if (!(p[2] >= 1.0f && p[2] < (float)set.header.iNumElements + 1.0f)) {
            NKPrintError(("Error found in vector file: " + file.Path()).c_str());
            return false;
        }
        FlowRecord rec;
        rec.iElement = (int)p[2];
        rec.iPart = NKOutput3DUnitPart(set.elementUnits[(size_t)rec.iElement - 1]);
        for (int k = 0; k < 6; k++) rec.fData[k] = p[3 + k];
        pRecords->push_back(rec);
    }
    return true;
}

// The records as a field with one entry per part of pGeo.
NKSeparateVectorField *MakeField(int iPhase, const NKGeometry *pGeo,
                                 const std::vector<FlowRecord> &records)
{
    static const char *kNames[3] = {"Water Flow", "Oil Flow", "Gas Flow"};
    NKSeparateVectorField *pField = NKCreateSeparateVectorField();
    if (pField == nullptr) return nullptr;
    pField->szName = kNames[iPhase];
    int n = pGeo->iNumParts;
    pField->pParts =
        (NKSeparateVectorPart *)NKCalloc((size_t)(n > 0 ? n : 1), sizeof(NKSeparateVectorPart));
    if (pField->pParts == nullptr) {
        NKReleaseSeparateVectorField(pField);
        return nullptr;
    }
    pField->iNumParts = n;
    std::vector<std::vector<NKSeparateVector>> parts((size_t)n);
    for (const FlowRecord &r : records) {
        if (r.iPart < 0 || r.iPart >= n) continue;
        NKSeparateVector v{
            r.iElement, {r.fData[0], r.fData[1], r.fData[2]}, {r.fData[3], r.fData[4], r.fData[5]}};
        float fLen = std::sqrt(v.fVector[0] * v.fVector[0] + v.fVector[1] * v.fVector[1] +
                               v.fVector[2] * v.fVector[2]);
        pField->lengthMinMax.Update(fLen, r.iPart, (int)parts[(size_t)r.iPart].size(), -1);
        if (fLen > pField->fMaxLength) pField->fMaxLength = fLen;
        parts[(size_t)r.iPart].push_back(v);
    }
    for (int p = 0; p < n; p++) {
        const std::vector<NKSeparateVector> &v = parts[(size_t)p];
        pField->pParts[p].iCount = (int)v.size();
        if (v.empty()) continue;
        pField->pParts[p].pItems = (NKSeparateVector *)NKAlloc(v.size() * sizeof(NKSeparateVector));
        if (pField->pParts[p].pItems == nullptr) {
            pField->pParts[p].iCount = 0;
            NKReleaseSeparateVectorField(pField);
            return nullptr;
        }
        std::copy(v.begin(), v.end(), pField->pParts[p].pItems);
    }
    return pField;
}

}  // namespace

NKScalarResult *NKOutput3DGetScalar(int iIndex, int iEvent, NKGeometry *pGeo)
{
    const NKOutput3DSet &set = g_Output3DSet;
    if (!CheckCall(iEvent, pGeo) || iIndex < 0 || iIndex >= (int)set.scalars.size()) return nullptr;
    const NKOutput3DScalar &s = set.scalars[(size_t)iIndex];
    std::vector<float> values;
    float afRange[2];
    if (!ReadValues(s.ext, s.name, iEvent, &values, afRange)) return nullptr;
    if (!RecordsFit(pGeo, values.size() / 8)) {
        NKOutput3DReadError(NKOutput3DPath(s.ext));
        return nullptr;
    }
    NKScalarResult *pResult = NKCreateScalarResult();
    if (pResult == nullptr || !FillScalar(pResult, pGeo, values)) {
        NKReleaseScalarResult(pResult);
        NKPrintError("Error allocating memory.");
        return nullptr;
    }
    pResult->iStepNumber = iEvent;
    pResult->szDescription = s.name.c_str();
    pResult->szFileName = NKOutput3DPath(s.ext).c_str();
    g_Output3DSet.fRange[0] = afRange[0];
    g_Output3DSet.fRange[1] = afRange[1];
    return pResult;
}

NKVectorResult *NKOutput3DGetVector(int iIndex, int iEvent, NKGeometry *pGeo)
{
    const NKOutput3DSet &set = g_Output3DSet;
    if (!CheckCall(iEvent, pGeo) || iIndex < 0 || iIndex >= (int)set.vectors.size()) return nullptr;
    const NKOutput3DVector &v = set.vectors[(size_t)iIndex];
    std::vector<float> values[3];
    for (int k = 0; k < 3; k++) {
        if (!ReadValues(v.ext[k], v.name, iEvent, &values[k], nullptr)) return nullptr;
    }
    if (!RecordsFit(pGeo, values[0].size() / 8)) {
        NKOutput3DReadError(NKOutput3DPath(v.ext[0]));
        return nullptr;
    }
    NKVectorResult *pResult = NKCreateVectorResult();
    if (pResult == nullptr || !FillVector(pResult, pGeo, values)) {
        NKReleaseVectorResult(pResult);
        NKPrintError("Error allocating memory.");
        return nullptr;
    }
    pResult->iStepNumber = iEvent;
    pResult->szDescription = v.name.c_str();
    pResult->szFileName = NKOutput3DPath(v.ext[0]).c_str();
    return pResult;
}

NKSeparateVectorField *NKOutput3DGetTransformation(int iPhase, int iEvent, NKGeometry *pGeo)
{
    if (!CheckCall(iEvent, pGeo) || iPhase < 0 || iPhase > 2 || !g_Output3DSet.bFlow[iPhase])
        return nullptr;
    std::vector<FlowRecord> records;
    if (!NKOutput3DReadUnits() || !ReadFlows(iPhase, iEvent, &records)) return nullptr;
    NKSeparateVectorField *pField = MakeField(iPhase, pGeo, records);
    if (pField == nullptr) NKPrintError("Error allocating memory.");
    return pField;
}
