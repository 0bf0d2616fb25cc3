// nkf/nkf_export_results.cpp -- the result steps of the NKF export: scalar
// and vector results (one *RESULTS block per part of each distinct result,
// listed step by step by a *QUOLINSCALAR or *QUOLINVECTOR block), separate
// vector fields (*POSITIONRESULTS and *QUOLINPOSITIONVECTOR). The
// transformation, viewpoint and visibility steps are in
// nkf_export_motion.cpp.
//
// Rows carry 1 + the frames taken before their frame, the number the import
// reads as the step the row starts at. *RESULTS IDs run on one counter of
// the exporter; the part block IDs come from the geometry walk.
#include <cstring>
#include <vector>

#include "core/nk_bbox.h"
#include "core/nk_element_types.h"
#include "core/nk_frames.h"
#include "core/nk_math.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "nkf/nkf_export.h"
#include "nkf/nkf_export_walk.h"
#include "nkf/nkf_format.h"

namespace {

const int kResultsHeader = 28;
const int kListHeader = 92;
const int kStepRowWords = 23;

// One distinct result met by the first walk: its frame and the IDs of the
// *RESULTS blocks written for it, in part order.
struct MetResult {
    int iFrame;
    std::vector<int> ids;
};

// Per-element values of a part in the order of its *ELEMENTS sections:
// grouped by type, element order within a type. False (reported) for an
// unknown element.
bool ElementValuesByType(const NKPart *pPart, const NKScalarPartEntry &entry,
                         std::vector<float> *pOut)
{
    int iCount = entry.iCount < pPart->iNumElements ? entry.iCount : pPart->iNumElements;
    for (int e = 0; e < iCount; e++)
        if (pPart->pElements[e].iType < 0 || pPart->pElements[e].iType >= NK_ELEM_UNKNOWN) {
            NKPrintError("Unknown element found in Quolin. Cannot export.");
            return false;
        }
    for (int t = 0; t < NK_ELEM_UNKNOWN; t++)
        for (int e = 0; e < iCount; e++)
            if (pPart->pElements[e].iType == t) pOut->push_back(entry.pNodeValues[e]);
    return true;
}

// The *RESULTS block of one part: {28, size, dimension, part block,
// mapping, no IDs, count}, then the values.
bool WriteResultsBlock(NKFExporter *pOut, int iID, int iDimension, int iPartBlock, int iMapping,
                       const float *pfValues, int iCount)
{
    int64_t iSize = (int64_t)iCount * iDimension * 4;
    if (!pOut->BeginBlock(NKF_RESULTS, iID, kResultsHeader, iSize)) return false;
    const int32_t aiHeader[] = {iDimension, iPartBlock, iMapping, 0, iCount};
    pOut->WriteInts(aiHeader, 5);
    pOut->WriteFloats(pfValues, (size_t)iCount * iDimension);
    return pOut->WriteEndOfBlock();
}

// The scalar values of one part, element values before node values; an
// empty array when the part has none. False when the export stops.
bool ScalarValues(const NKScalarResult *pResult, const NKPart *pPart, int iPart,
                  std::vector<float> *pValues, int *piMapping)
{
    pValues->clear();
    if (iPart < pResult->iNumParts && pResult->pElementResults != nullptr &&
        pResult->pElementResults[iPart].pNodeValues != nullptr &&
        pResult->pElementResults[iPart].iCount > 0) {
        *piMapping = 1;
        return ElementValuesByType(pPart, pResult->pElementResults[iPart], pValues);
    }
    *piMapping = 0;
    if (iPart >= pResult->iNumParts || pResult->pNodeResults == nullptr) return true;
    const NKScalarPartEntry &entry = pResult->pNodeResults[iPart];
    if (entry.pNodeValues != nullptr && entry.iCount > 0)
        pValues->assign(entry.pNodeValues, entry.pNodeValues + entry.iCount);
    return true;
}

// Vector ends in display space back to model-space vectors at the scale
// they were displaced with.
void VectorValues(const NKVectorPartEntry &entry, const NKPart *pPart, std::vector<float> *pOut)
{
    int n = entry.iNumNodes < pPart->iNumNodes ? entry.iNumNodes : pPart->iNumNodes;
    float s = g_pModel->valueRanges[2].from;
    bool bScale = !(s == 0.0f || NKFloatsEqual(s, 0.0f));
    pOut->resize((size_t)n * 3);
    for (int i = 0; i < n; i++) {
        float afEnd[3], afNode[3];
        std::memcpy(afEnd, &entry.pNodeValues[3 * i], sizeof(afEnd));
        std::memcpy(afNode, &pPart->pNodeCoords[3 * i], sizeof(afNode));
        DisplayToModel(afEnd);
        DisplayToModel(afNode);
        for (int c = 0; c < 3; c++) {
            float v = afEnd[c] - afNode[c];
            (*pOut)[(size_t)(3 * i + c)] = bScale ? v / s : v;
        }
    }
}

// The list block naming the *RESULTS blocks of each distinct result.
bool WriteResultList(NKFExporter *pOut, int iType, int iID, const char *pszName,
                     const std::vector<MetResult> &met, const NKFGeometryWalk &walk)
{
    int64_t iWords = 0;
    for (const MetResult &m : met) iWords += kStepRowWords + (int64_t)m.ids.size();
    if (!pOut->BeginBlock(iType, iID, kListHeader, iWords * 4)) return false;
    pOut->WriteText80(pszName);
    pOut->WriteInt((int32_t)met.size());
    for (const MetResult &m : met) {
        pOut->WriteStepRow(walk.StepNumber(m.iFrame), &g_pModel->pFrames[m.iFrame],
                           (int)m.ids.size());
        for (int id : m.ids) pOut->WriteInt(id);
    }
    return pOut->WriteEndOfBlock();
}

}  // namespace

bool NKFExporter::ExportResults()
{
    return ExportScalarResults() && ExportVectorResults() && ExportSeparateVectorFields();
}

// Writes the *RESULTS blocks of one distinct scalar result; false when the
// export stops.
static bool WriteScalarParts(NKFExporter *pOut, const NKFrame *pFrame, const NKFGeometryWalk &walk,
                             int *piNextID, MetResult *pMet)
{
    const NKGeometry *pGeo = pFrame->pGeometry;
    std::vector<int> order((size_t)pGeo->iNumParts + 1);
    int n = pOut->ExportedPartOrder(pGeo, order.data());
    std::vector<float> values;
    for (int k = 0; k < n; k++) {
        int p = order[(size_t)k], iMapping = 0;
        if (!ScalarValues(pFrame->pScalar, &pGeo->pParts[p], p, &values, &iMapping)) return false;
        if (values.empty()) continue;
        if (!WriteResultsBlock(pOut, *piNextID, 1, walk.PartBlockID(pGeo, p), iMapping,
                               values.data(), (int)values.size())) {
            NKPrintError("Error writing scalar results to NKF file");
            return false;
        }
        pMet->ids.push_back((*piNextID)++);
    }
    return true;
}

// Writes the *RESULTS blocks of one distinct vector result.
static bool WriteVectorParts(NKFExporter *pOut, const NKFrame *pFrame, const NKFGeometryWalk &walk,
                             int *piNextID, MetResult *pMet)
{
    const NKGeometry *pGeo = pFrame->pGeometry;
    const NKVectorResult *pResult = pFrame->pVector;
    std::vector<int> order((size_t)pGeo->iNumParts + 1);
    int n = pOut->ExportedPartOrder(pGeo, order.data());
    std::vector<float> values;
    for (int k = 0; k < n; k++) {
        int p = order[(size_t)k];
        if (p >= pResult->iNumParts || pResult->pResults == nullptr ||
            pResult->pResults[p].pNodeValues == nullptr || pResult->pResults[p].iNumNodes < 1)
            continue;
        VectorValues(pResult->pResults[p], &pGeo->pParts[p], &values);
        if (!WriteResultsBlock(pOut, *piNextID, 3, walk.PartBlockID(pGeo, p), 0, values.data(),
                               (int)values.size() / 3)) {
            NKPrintError("Error writing vector results to NKF file");
            return false;
        }
        pMet->ids.push_back((*piNextID)++);
    }
    return true;
}

bool NKFExporter::ExportStepResults(bool bVector)
{
    if (g_pModel->iNumFrames <= 0) return false;
    if (bVector)
        NKResetVectorMarks();
    else
        NKResetScalarMarks();
    auto resultOf = [bVector](const NKFrame &frame) -> NKStepResultHeader * {
        if (bVector) return frame.pVector;
        return frame.pScalar;
    };
    NKFGeometryWalk walk(this);
    std::vector<MetResult> met;
    for (int f = 0; f < g_pModel->iNumFrames; f++) {
        NKFrame *pFrame = &g_pModel->pFrames[f];
        NKStepResultHeader *pResult = resultOf(*pFrame);
        if (!FrameTaken(f) || pResult == nullptr || pResult->bProcessed) continue;
        pResult->bProcessed = 1;
        met.push_back({f, {}});
        if (pFrame->pGeometry == nullptr) continue;
        bool bOk = bVector ? WriteVectorParts(this, pFrame, walk, &m_iNextResultsID, &met.back())
                           : WriteScalarParts(this, pFrame, walk, &m_iNextResultsID, &met.back());
        if (!bOk) return false;
    }
    if (met.empty()) return !HasError();
    // The list is named after frame 0's result when it has one.
    const NKStepResultHeader *pFirst = resultOf(g_pModel->pFrames[met[0].iFrame]);
    if (resultOf(g_pModel->pFrames[0]) != nullptr) pFirst = resultOf(g_pModel->pFrames[0]);
    const NKString &name =
        pFirst->szDescription.IsEmpty() ? pFirst->szFileName : pFirst->szDescription;
    int iListID = bVector ? m_iNextVectorListID++ : m_iNextScalarListID++;
    return WriteResultList(this, bVector ? NKF_QUOLINVECTOR : NKF_QUOLINSCALAR, iListID,
                           name.GetText(), met, walk);
}

bool NKFExporter::ExportScalarResults() { return ExportStepResults(false); }

bool NKFExporter::ExportVectorResults() { return ExportStepResults(true); }

// One *POSITIONRESULTS block: positions and vectors back in model space.
static bool WritePositionResults(NKFExporter *pOut, int iID, const NKSeparateVectorPart &part)
{
    if (!pOut->BeginBlock(NKF_POSITIONRESULTS, iID, 36, (int64_t)part.iCount * 24)) return false;
    const int32_t aiHeader[] = {3, -1, -1, 0, 1, 1, part.iCount};
    pOut->WriteInts(aiHeader, 7);
    std::vector<float> data((size_t)part.iCount * 6);
    for (int i = 0; i < part.iCount; i++) {
        float *pRow = &data[(size_t)i * 6];
        std::memcpy(pRow, part.pItems[i].fPosition, 12);
        std::memcpy(pRow + 3, part.pItems[i].fVector, 12);
        DisplayToModel(pRow);
        DisplayToModelVector(pRow + 3);
    }
    pOut->WriteFloats(data.data(), data.size());
    return pOut->WriteEndOfBlock();
}

// The parts of a field the export writes: all, or the visible ones when
// only visible parts go out (the field's parts follow the geometry's).
static std::vector<int> FieldParts(const NKFExporter *pOut, const NKFrame *pFrame,
                                   const NKSeparateVectorField *pField)
{
    std::vector<int> parts;
    for (int p = 0; p < pField->iNumParts; p++) {
        const NKGeometry *pGeo = pFrame->pGeometry;
        if (pGeo != nullptr && p < pGeo->iNumParts && pOut->SkipPart(&pGeo->pParts[p])) continue;
        parts.push_back(p);
    }
    return parts;
}

// Slot k of the frames: its *POSITIONRESULTS blocks, then the step list.
static bool ExportSeparateSlot(NKFExporter *pOut, int k, const NKFGeometryWalk &walk)
{
    std::vector<MetResult> rows;
    int iNextID = 0;
    const NKSeparateVectorField *pNamed = nullptr;
    for (int f = 0; f < g_pModel->iNumFrames; f++) {
        const NKFrame *pFrame = &g_pModel->pFrames[f];
        const NKSeparateVectorField *pField = pFrame->pSeparateVectors[k];
        if (!pOut->FrameTaken(f) || pField == nullptr || pField->pParts == nullptr) continue;
        if (pNamed == nullptr) pNamed = pField;
        rows.push_back({f, {}});
        for (int p : FieldParts(pOut, pFrame, pField)) {
            if (!WritePositionResults(pOut, iNextID, pField->pParts[p])) {
                NKPrintError("Error writing separate vector results to NKF file");
                return false;
            }
            rows.back().ids.push_back(iNextID++);
        }
    }
    if (rows.empty()) return true;
    return WriteResultList(pOut, NKF_QUOLINPOSITIONVECTOR, k, pNamed->szName.GetText(), rows, walk);
}

bool NKFExporter::ExportSeparateVectorFields()
{
    NKFGeometryWalk walk(this);
    for (int k = 0; k < NK_NUM_SEPARATE_VECTOR_SLOTS; k++)
        if (!ExportSeparateSlot(this, k, walk)) return false;
    return !HasError();
}
