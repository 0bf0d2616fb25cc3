// render/nk_node_colors.cpp -- the spectrum mapping, fringe ranges, value
// filter, nodal averaging and vector lengths (see nk_node_colors.h).
#include "render/nk_node_colors.h"

#include <cmath>
#include <cstring>

#include "core/nk_data_source_kind.h"
#include "core/nk_diagnostic.h"
#include "core/nk_element_types.h"
#include "core/nk_frames.h"
#include "core/nk_load_hooks.h"
#include "core/nk_math.h"
#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_numeric.h"
#include "core/nk_render_state.h"
#include "core/nk_view_state.h"
#include "readers/nk_output3d.h"
#include "render/nk_element_drawing.h"
#include "render/nk_fringe_texture.h"
#include "render/nk_view_settings.h"

uint8_t NKFringeColors[5][3] = {
    {0, 0, 255}, {0, 255, 255}, {0, 255, 0}, {255, 255, 0}, {255, 0, 0}};
uint8_t NKFringeBelowColor[3] = {0, 0, 255};
uint8_t NKFringeAboveColor[3] = {255, 0, 0};
uint8_t NKUndefinedValueColor[3] = {150, 150, 150};

void NKResetFringeColors(void)
{
    static const uint8_t auDefault[5][3] = {
        {0, 0, 255}, {0, 255, 255}, {0, 255, 0}, {255, 255, 0}, {255, 0, 0}};
    std::memcpy(NKFringeColors, auDefault, sizeof(auDefault));
    const uint8_t auBelow[3] = {0, 0, 255}, auAbove[3] = {255, 0, 0}, auUndef[3] = {150, 150, 150};
    std::memcpy(NKFringeBelowColor, auBelow, 3);
    std::memcpy(NKFringeAboveColor, auAbove, 3);
    std::memcpy(NKUndefinedValueColor, auUndef, 3);
}

namespace {

void Put(uint8_t *pOut, const uint8_t *pColor) { std::memcpy(pOut, pColor, 3); }

// Colour a + (b - a) t per byte, in double, truncated toward zero.
void Blend(uint8_t *pOut, const uint8_t *a, const uint8_t *b, double t)
{
    if (!(t >= 0.0)) t = 0.0;
    if (t > 1.0) t = 1.0;
    for (int k = 0; k < 3; k++)
        pOut[k] = static_cast<uint8_t>(static_cast<int>(a[k] + (b[k] - a[k]) * t));
}

// One defined value inside or beside a non-empty range; the coordinate
// before the final clamp.
float MapOne(double v, double m, double M, double r, double q, uint8_t *pOut)
{
    if (v < m - 1e-12) {
        Put(pOut, NKFringeBelowColor);
        return 0.001f;
    }
    if (v <= m) {
        Put(pOut, NKFringeColors[0]);
        return 0.001f;
    }
    if (v > M + 1e-12) {
        Put(pOut, NKFringeAboveColor);
        return 0.999f;
    }
    if (v >= M) {
        Put(pOut, NKFringeColors[4]);
        return 0.999f;
    }
    // Clamped before the cast, NaN-safe: a range with an infinite end gives
    // inf / inf here.
    double dBand = (v - m) / q;
    if (!(dBand >= 0.0)) dBand = 0.0;
    if (dBand > 3.0) dBand = 3.0;
    const int iBand = static_cast<int>(dBand);
    Blend(pOut, NKFringeColors[iBand], NKFringeColors[iBand + 1], (v - (m + iBand * q)) / q);
    return static_cast<float>((v - m) / r);
}

}  // namespace

void NKMapScalarsToSpectrum(float fMin, float fMax, int iCount, const float *pfValues,
                            uint8_t *pColors, float *pfTexCoords)
{
    if (pfValues == nullptr || pColors == nullptr || pfTexCoords == nullptr) return;
    double r = static_cast<double>(fMax) - fMin, q = r * 0.25;
    if (NKDoublesEqual(q, 0.0)) q = 1.0;
    if (NKDoublesEqual(r, 0.0)) r = 1.0;
    const bool bEmpty = NKFloatsEqual(fMin, fMax);
    for (int i = 0; i < iCount; i++) {
        uint8_t *pOut = pColors + 3 * i;
        float fCoord = 0.001f;
        if (!NKIsDefinedValue(pfValues[i]))
            Put(pOut, NKUndefinedValueColor);
        else if (bEmpty)
            Put(pOut, NKFringeColors[0]);
        else
            fCoord = MapOne(pfValues[i], fMin, fMax, r, q, pOut);
        if (!(fCoord >= 0.001f)) fCoord = 0.001f;
        if (fCoord > 0.999f) fCoord = 0.999f;
        pfTexCoords[i] = fCoord;
    }
}

bool NKScalarToSpectrumColor(float fValue, uint8_t auOut[3])
{
    const float fFrom = g_pModel != nullptr ? g_pModel->fFringeRangeFrom : 0.0f;
    const float fTo = g_pModel != nullptr ? g_pModel->fFringeRangeTo : 0.0f;
    if (!NKIsDefinedValue(fValue)) return Put(auOut, NKUndefinedValueColor), false;
    if (fValue < fFrom) return Put(auOut, NKFringeBelowColor), false;
    if (fValue > fTo) return Put(auOut, NKFringeAboveColor), false;
    Put(auOut, NKFringeTextureBandColor(fValue, fFrom, fTo));
    return true;
}

float NKGetScalarResultMin(const NKScalarResult *pResult)
{
    if (pResult == nullptr) return NK_EMPTY_MIN;
    return pResult->pElementResults != nullptr ? pResult->elementMinMax.min
                                               : pResult->nodeMinMax.min;
}

float NKGetScalarResultMax(const NKScalarResult *pResult)
{
    if (pResult == nullptr) return NK_EMPTY_MAX;
    return pResult->pElementResults != nullptr ? pResult->elementMinMax.max
                                               : pResult->nodeMinMax.max;
}

namespace {

void RangeOfEntries(const NKScalarPartEntry *pEntries, int iNumParts, NKMinMax *pRange)
{
    pRange->Reset();
    for (int p = 0; pEntries != nullptr && p < iNumParts; p++) {
        const NKScalarPartEntry &e = pEntries[p];
        for (int i = 0; e.pNodeValues != nullptr && i < e.iCount; i++)
            if (NKIsDefinedValue(e.pNodeValues[i])) pRange->Update(e.pNodeValues[i], p, i, -1);
    }
}

// The colouring range for field 0. An empty stored range is
// widened upwards: by 1 % of |from| (1.0 for from = 0), so it stays above
// from also for a negative from.
void SettleMainRange(const NKScalarResult *pResult, float *pfFrom, float *pfTo)
{
    NKModel *m = g_pModel;
    if (m->fFringeRangeTo <= m->fFringeRangeFrom)
        m->fFringeRangeTo = m->fFringeRangeFrom == 0.0f
                                ? m->fFringeRangeFrom + 1.0f
                                : m->fFringeRangeFrom + std::fabs(m->fFringeRangeFrom) * 0.01f;
    if (g_bAutoFringeRange) {
        // A reservoir result set colours by the value range the reader took
        // from the header of the result file read last.
        if (NKGetInterfaceType() == NK_INTERFACE_RESERVOIR) {
            NKGetReservoirValueRange(&m->fFringeRangeFrom, &m->fFringeRangeTo);
        } else {
            m->fFringeRangeFrom = NKGetScalarResultMin(pResult);
            m->fFringeRangeTo = NKGetScalarResultMax(pResult);
        }
    }
    *pfFrom = m->fFringeRangeFrom;
    *pfTo = m->fFringeRangeTo;
}

// Colours one entry, reusing its arrays when they exist (they are always
// made for the entry's count, which only NKComputeScalarFieldColors and the
// grow functions change together with them).
bool ColourEntry(NKScalarPartEntry *pEntry, float fFrom, float fTo)
{
    if (pEntry->iCount < 1 || pEntry->pNodeValues == nullptr) return true;
    const size_t n = static_cast<size_t>(pEntry->iCount);
    if (pEntry->pColors == nullptr) pEntry->pColors = static_cast<uint8_t *>(NKAlloc(3 * n));
    if (pEntry->pColors == nullptr) {
        NKDiagnostic("Error allocating memory for pNodeColors.", "NKComputeScalarNodeValues");
        return false;
    }
    if (pEntry->pTexCoords == nullptr)
        pEntry->pTexCoords = static_cast<float *>(NKAlloc(n * sizeof(float)));
    if (pEntry->pTexCoords == nullptr) {
        NKDiagnostic("Error allocating memory for Texture1DCoordinate.",
                     "NKComputeScalarNodeValues");
        return false;
    }
    NKMapScalarsToColors(fFrom, fTo, pEntry->iCount, pEntry->pNodeValues, pEntry->pColors,
                         pEntry->pTexCoords);
    return true;
}

}  // namespace

bool NKComputeScalarFieldColors(NKScalarResult *pResult, int iField)
{
    if (pResult == nullptr || pResult->pNodeResults == nullptr || g_pModel == nullptr) return false;
    RangeOfEntries(pResult->pNodeResults, pResult->iNumParts, &pResult->nodeMinMax);
    RangeOfEntries(pResult->pElementResults, pResult->iNumParts, &pResult->elementMinMax);
    float fFrom = 0.0f, fTo = 0.0f;
    if (iField != 0) {
        NKValueRange &range = g_pModel->valueRanges[1];
        if (g_bAutoFringeRange) {
            range.from = NKGetScalarResultMin(pResult);
            range.to = NKGetScalarResultMax(pResult);
        }
        fFrom = range.from;
        fTo = range.to;
    } else {
        SettleMainRange(pResult, &fFrom, &fTo);
    }
    for (int p = 0; p < pResult->iNumParts; p++) {
        bool bOk = ColourEntry(&pResult->pNodeResults[p], fFrom, fTo);
        if (bOk && pResult->pElementResults != nullptr)
            bOk = ColourEntry(&pResult->pElementResults[p], fFrom, fTo);
        if (!bOk) {
            NKPrintError("Error allocating memory.");
            return false;
        }
    }
    return true;
}

namespace {

NKScalarResult *FieldResult(const NKFrame &frame, int iField)
{
    return iField == 0 ? frame.pScalar : frame.pExtraScalar[0];
}

// The frames' range of a field: from the first frame's result (0, 0 when it
// has none), widened by every frame's result.
void RangeOfFrames(int iFirst, int iLast, int iField, float *pfFrom, float *pfTo)
{
    const NKScalarResult *pFirst = FieldResult(g_pModel->pFrames[iFirst], iField);
    *pfFrom = pFirst != nullptr ? NKGetScalarResultMin(pFirst) : 0.0f;
    *pfTo = pFirst != nullptr ? NKGetScalarResultMax(pFirst) : 0.0f;
    for (int f = iFirst; f <= iLast; f++) {
        const NKScalarResult *pRes = FieldResult(g_pModel->pFrames[f], iField);
        if (pRes == nullptr) continue;
        if (NKGetScalarResultMin(pRes) < *pfFrom) *pfFrom = NKGetScalarResultMin(pRes);
        if (NKGetScalarResultMax(pRes) > *pfTo) *pfTo = NKGetScalarResultMax(pRes);
    }
}

void RecolourEntries(NKScalarPartEntry *pEntries, int iNumParts, float fFrom, float fTo)
{
    for (int p = 0; pEntries != nullptr && p < iNumParts; p++)
        NKMapScalarsToColors(fFrom, fTo, pEntries[p].iCount, pEntries[p].pNodeValues,
                             pEntries[p].pColors, pEntries[p].pTexCoords);
}

}  // namespace

void NKSetFringeRange(float fFrom, float fTo, bool bAllFrames, int iField)
{
    if ((iField != 0 && iField != 1) || g_pModel == nullptr || g_pModel->iNumFrames < 1) return;
    int iFirst = g_pModel->iCurrentFrame, iLast = g_pModel->iCurrentFrame;
    if (bAllFrames) iFirst = 0, iLast = g_pModel->iNumFrames - 1;
    if (iFirst < 0 || iLast >= g_pModel->iNumFrames) return;
    if (fTo < fFrom) RangeOfFrames(iFirst, iLast, iField, &fFrom, &fTo);
    if (fTo <= fFrom) fTo = fFrom == fTo ? fFrom + 1.0f : fFrom * 2.01f;
    for (int f = iFirst; f <= iLast; f++) {
        NKScalarResult *pRes = FieldResult(g_pModel->pFrames[f], iField);
        if (pRes == nullptr) continue;
        RecolourEntries(pRes->pNodeResults, pRes->iNumParts, fFrom, fTo);
        RecolourEntries(pRes->pElementResults, pRes->iNumParts, fFrom, fTo);
    }
    if (iField == 0) {
        g_pModel->fFringeRangeFrom = fFrom;
        g_pModel->fFringeRangeTo = fTo;
    } else {
        g_pModel->valueRanges[1].from = fFrom;
        g_pModel->valueRanges[1].to = fTo;
    }
}

namespace {

bool OutsideFilter(float fValue)
{
    return !NKIsDefinedValue(fValue) || fValue < g_ValueFilterSettings.fFilterMin ||
           fValue > g_ValueFilterSettings.fFilterMax;
}

bool NodeAverageOn(void) { return g_pViewSettings == nullptr || g_pViewSettings->bNodeAverage; }

}  // namespace

bool NKValueFilterHidesPolygon(NKFrame *pFrame, int iPart, int iPolygon)
{
    const NKScalarResult *pRes = pFrame != nullptr ? pFrame->pScalar : nullptr;
    NKPart *pPart = NKGetFramePart(pFrame, iPart);
    if (pRes == nullptr || pPart == nullptr || iPart < 0 || iPart >= pRes->iNumParts) return true;
    if (pRes->pElementResults != nullptr && !NodeAverageOn()) {
        const NKScalarPartEntry &e = pRes->pElementResults[iPart];
        if (pPart->pPolygonElements == nullptr || iPolygon < 0 || iPolygon >= pPart->iNumPolygons ||
            e.pNodeValues == nullptr)
            return true;
        const int iElement = pPart->pPolygonElements[iPolygon];
        if (iElement < 0 || iElement >= e.iCount) return true;
        return OutsideFilter(e.pNodeValues[iElement]);
    }
    const NKScalarPartEntry *pEntry = pRes->pNodeResults ? &pRes->pNodeResults[iPart] : nullptr;
    const int *piNodes = nullptr;
    int iCount = 0;
    if (pEntry == nullptr || pEntry->pNodeValues == nullptr ||
        !NKGetValidPolygon(*pPart, iPolygon, &piNodes, &iCount))
        return true;
    for (int j = 0; j < iCount; j++)
        if (piNodes[j] >= pEntry->iCount || OutsideFilter(pEntry->pNodeValues[piNodes[j]]))
            return true;
    return false;
}

bool NKAnyValueOutsideFilter(const int *piIndices, int iCount, const float *pfValues)
{
    for (int i = 0; piIndices != nullptr && pfValues != nullptr && i < iCount; i++)
        if (OutsideFilter(pfValues[piIndices[i]])) return true;
    return false;
}

namespace {

// Gives the entry iNumNodes values; arrays made for another count are
// replaced (colours and coordinates follow on the next colouring).
bool SizeNodeEntry(NKScalarPartEntry *pEntry, int iNumNodes)
{
    if (pEntry->pNodeValues != nullptr && pEntry->iCount == iNumNodes) return true;
    NKFreeScalarPartEntry(pEntry);
    pEntry->pNodeValues = static_cast<float *>(NKAlloc(sizeof(float) * iNumNodes));
    if (pEntry->pNodeValues == nullptr) return NKPrintError("Out of memory."), false;
    pEntry->iCount = iNumNodes;
    return true;
}

// Sums each element's value into its nodes; an undefined value marks the
// node undefined for good (counter -999 stays below 0 for any count of
// elements below 999).
void SumElementValues(const NKPart &part, const NKScalarPartEntry &elements, double *pdSums,
                      int *piCounts)
{
    for (int e = 0; e < part.iNumElements && e < elements.iCount; e++) {
        const NKElement &el = part.pElements[e];
        const int n = NKFElementNodeCount(el.iType);
        if (el.iNodeStart < 0 || el.iNodeStart > part.iNumElementConnects - n) continue;
        const float v = elements.pNodeValues[e];
        for (int j = 0; j < n; j++) {
            const int iNode = part.pElementConnects[el.iNodeStart + j];
            if (iNode < 0 || iNode >= part.iNumNodes) continue;
            if (!NKIsDefinedValue(v)) {
                piCounts[iNode] = -999;
            } else {
                pdSums[iNode] += v;
                piCounts[iNode]++;
            }
        }
    }
}

bool AveragePart(const NKPart &part, const NKScalarPartEntry &elements, NKScalarPartEntry *pNodes)
{
    if (part.iNumNodes < 1) return true;
    if (!SizeNodeEntry(pNodes, part.iNumNodes)) return false;
    double *pdSums = static_cast<double *>(NKCalloc(part.iNumNodes, sizeof(double)));
    int *piCounts = static_cast<int *>(NKCalloc(part.iNumNodes, sizeof(int)));
    const bool bOk = pdSums != nullptr && piCounts != nullptr;
    if (bOk && part.pElements != nullptr && part.pElementConnects != nullptr &&
        elements.pNodeValues != nullptr)
        SumElementValues(part, elements, pdSums, piCounts);
    for (int i = 0; bOk && i < part.iNumNodes; i++)
        pNodes->pNodeValues[i] =
            piCounts[i] > 0 ? static_cast<float>(pdSums[i] / piCounts[i]) : NK_UNDEFINED_VALUE;
    NKFree(pdSums);
    NKFree(piCounts);
    if (!bOk) NKPrintError("Out of memory.");
    return bOk;
}

// Every component a defined value.
bool IsDefinedVector(const float *v)
{
    return NKIsDefinedValue(v[0]) && NKIsDefinedValue(v[1]) && NKIsDefinedValue(v[2]);
}

}  // namespace

bool NKAverageElementValuesToNodes(NKGeometry *pGeo, NKScalarResult *pResult, int iPart)
{
    if (pGeo == nullptr || pResult == nullptr || pResult->pElementResults == nullptr) return false;
    if (pResult->pNodeResults == nullptr) {
        pResult->pNodeResults = static_cast<NKScalarPartEntry *>(
            NKCalloc(pResult->iNumParts > 0 ? pResult->iNumParts : 1, sizeof(NKScalarPartEntry)));
        if (pResult->pNodeResults == nullptr) return NKPrintError("Out of memory"), false;
    }
    const int iParts = pResult->iNumParts < pGeo->iNumParts ? pResult->iNumParts : pGeo->iNumParts;
    for (int p = 0; p < iParts; p++) {
        if (iPart != -1 && p != iPart) continue;
        if (!AveragePart(pGeo->pParts[p], pResult->pElementResults[p], &pResult->pNodeResults[p]))
            return false;
    }
    return true;
}

bool NKComputeVectorLengths(NKVectorResult *pResult)
{
    if (pResult == nullptr || pResult->pResults == nullptr) return false;
    pResult->lengthMinMax.Reset();
    double dScale[3] = {1.0, 1.0, 1.0}, dLargest = 0.0;
    for (int k = 0; g_pModel != nullptr && k < 3; k++)
        dScale[k] = g_pModel->fAxisScale[k] *
                    (g_pModel->fGeoScale != NK_GEO_SCALE_UNSET ? g_pModel->fGeoScale : 1.0);
    for (int p = 0; p < pResult->iNumParts; p++) {
        const NKVectorPartEntry &e = pResult->pResults[p];
        for (int i = 0; e.pNodeValues != nullptr && i < e.iNumNodes; i++) {
            const float *v = e.pNodeValues + 3 * i;
            // A vector with any undefined component has no length: a file
            // shorter than its model leaves such vectors behind.
            if (!IsDefinedVector(v)) continue;
            const double dLen =
                std::sqrt(double(v[0]) * v[0] + double(v[1]) * v[1] + double(v[2]) * v[2]);
            pResult->lengthMinMax.Update(static_cast<float>(dLen), p, i, -1);
            double dDisplay = 0.0;
            for (int k = 0; k < 3; k++) dDisplay += (v[k] * dScale[k]) * (v[k] * dScale[k]);
            if (std::sqrt(dDisplay) > dLargest) dLargest = std::sqrt(dDisplay);
        }
    }
    pResult->fMaxDisplayLength = static_cast<float>(dLargest);
    return true;
}

namespace {

bool ComputeFieldZero(NKGeometry *, NKScalarResult *pResult)
{
    return NKComputeScalarFieldColors(pResult, 0);
}

}  // namespace

void NKInstallNodeColorHooks(bool bInstall)
{
    NKModelHooks model = NKGetModelHooks();
    model.pfnMapScalarsToColors = bInstall ? NKMapScalarsToSpectrum : nullptr;
    model.pfnIsPolygonFilteredOut = bInstall ? NKValueFilterHidesPolygon : nullptr;
    NKSetModelHooks(model);
    NKLoadHooks load = NKGetLoadHooks();
    load.pfnComputeNodalAverage = bInstall ? NKAverageElementValuesToNodes : nullptr;
    load.pfnComputeScalarNodeValues = bInstall ? ComputeFieldZero : nullptr;
    load.pfnComputeVectorLengthRange = bInstall ? NKComputeVectorLengths : nullptr;
    NKSetLoadHooks(load);
}
