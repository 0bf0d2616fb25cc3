// nkf/nkf_export_motion.cpp -- the per-frame steps of the NKF export:
// per-part transformations (*QUOLINTRANSFORMATION over
// *TRANSFORMATIONRESULT blocks), viewpoints (*VIEWPOINTS) and polygon
// visibility (*QUOLINVISIBILITY over *RESULTS blocks).
//
// Each frame the export takes writes its own rows, also when frames share a
// geometry. A transformation row lists as many blocks as its own frame's
// geometry has exported parts, numbered on one counter, so models whose
// geometries differ in their part counts come back whole.
#include <cstring>
#include <vector>

#include "core/nk_bbox.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "nkf/nkf_export.h"
#include "nkf/nkf_export_walk.h"
#include "nkf/nkf_format.h"

namespace {

const int kListHeader = 92;
const int kVisibilityHeader = 96;
const int kStepRowWords = 23;
const int kViewpointRowBytes = 124;

// The exported parts of a frame's geometry, face-set parts first.
std::vector<int> FrameParts(const NKFExporter *pOut, const NKFrame *pFrame)
{
    std::vector<int> order;
    if (pFrame->pGeometry == nullptr) return order;
    order.resize((size_t)pFrame->pGeometry->iNumParts + 1);
    order.resize((size_t)pOut->ExportedPartOrder(pFrame->pGeometry, order.data()));
    return order;
}

// A part's matrix taken to model space: T(-o) M T(o) keeps M's rotation and
// moves its translation to R o + t - o, which then leaves display units.
void ModelSpaceMatrix(const float *pfM, const float *pfOrigin, float afOut[12])
{
    float afT[3];
    for (int r = 0; r < 3; r++)
        afT[r] = pfM[r] * pfOrigin[0] + pfM[4 + r] * pfOrigin[1] + pfM[8 + r] * pfOrigin[2] +
                 pfM[12 + r] - pfOrigin[r];
    DisplayToModelVector(afT);
    for (int c = 0; c < 3; c++)
        for (int r = 0; r < 3; r++) afOut[3 * c + r] = pfM[4 * c + r];
    std::memcpy(&afOut[9], afT, sizeof(afT));
}

bool WriteTransformationResult(NKFExporter *pOut, int iID, const NKFrame *pFrame, int iPart,
                               int iPartBlock, const float *pfOrigin)
{
    static const float afIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const NKPart *pPart = &pFrame->pGeometry->pParts[iPart];
    bool bFaceSet = NKFPartIsFaceSet(pPart);
    if (!pOut->BeginBlock(NKF_TRANSFORMATIONRESULT, iID, 16, 48)) return false;
    pOut->WriteInt(bFaceSet ? iPartBlock : -1);
    pOut->WriteInt(bFaceSet ? -1 : iPartBlock);
    const float *pfM =
        pFrame->pTransformation != nullptr ? &pFrame->pTransformation[16 * iPart] : afIdentity;
    float afOut[12];
    ModelSpaceMatrix(pfM, pfOrigin, afOut);
    pOut->WriteFloats(afOut, 12);
    return pOut->WriteEndOfBlock();
}

// Bit 0 is the eroded flag; the level-of-detail bits above it do not hide.
inline float HiddenValue(uint8_t uByte) { return (uByte & 1) ? 1.0f : 0.0f; }

// The visibility values of one part: per element (the byte of its first
// polygon; 0 for an element without polygons) or per polygon.
std::vector<float> VisibilityValues(const NKPart *pPart, const uint8_t *pBytes, int *piMapping)
{
    std::vector<float> values;
    if (pPart->iNumElements > 0) {
        *piMapping = 1;
        values.assign((size_t)pPart->iNumElements, 0.0f);
        std::vector<bool> seen((size_t)pPart->iNumElements, false);
        for (int p = 0; pPart->pPolygonElements != nullptr && p < pPart->iNumPolygons; p++) {
            int e = pPart->pPolygonElements[p];
            if (e < 0 || e >= pPart->iNumElements || seen[(size_t)e]) continue;
            seen[(size_t)e] = true;
            values[(size_t)e] = HiddenValue(pBytes[p]);
        }
        return values;
    }
    *piMapping = 2;
    for (int p = 0; p < pPart->iNumPolygons; p++) values.push_back(HiddenValue(pBytes[p]));
    return values;
}

bool FrameHasHiddenPolygon(const NKFExporter *pOut, const NKFrame *pFrame)
{
    if (pFrame->ppVisibility == nullptr) return false;
    for (int p : FrameParts(pOut, pFrame)) {
        const uint8_t *pBytes = pFrame->ppVisibility[p];
        const NKPart *pPart = &pFrame->pGeometry->pParts[p];
        for (int i = 0; pBytes != nullptr && i < pPart->iNumPolygons; i++)
            if (pBytes[i] & 1) return true;
    }
    return false;
}

}  // namespace

bool NKFExporter::ExportTransformations()
{
    bool bAny = false;
    int iRows = 0;
    int64_t iWords = 0;
    for (int f = 0; f < g_pModel->iNumFrames; f++) {
        if (!FrameTaken(f)) continue;
        const NKFrame *pFrame = &g_pModel->pFrames[f];
        bAny = bAny || pFrame->pTransformation != nullptr;
        iRows++;
        iWords += kStepRowWords + (int64_t)FrameParts(this, pFrame).size();
    }
    if (!bAny) return true;
    NKFGeometryWalk walk(this);
    if (!BeginBlock(NKF_QUOLINTRANSFORMATION, 1, kListHeader, iWords * 4)) return false;
    WriteText80("Quolin Transformations");
    WriteInt(iRows);
    int iNextID = 0;
    for (int f = 0; f < g_pModel->iNumFrames; f++) {
        if (!FrameTaken(f)) continue;
        size_t n = FrameParts(this, &g_pModel->pFrames[f]).size();
        WriteStepRow(walk.StepNumber(f), &g_pModel->pFrames[f], (int)n);
        for (size_t k = 0; k < n; k++) WriteInt(iNextID++);
    }
    if (!WriteEndOfBlock()) return false;
    float afOrigin[3];
    GetModelOriginInDisplay(afOrigin);
    iNextID = 0;
    for (int f = 0; f < g_pModel->iNumFrames; f++) {
        if (!FrameTaken(f)) continue;
        const NKFrame *pFrame = &g_pModel->pFrames[f];
        for (int p : FrameParts(this, pFrame))
            if (!WriteTransformationResult(this, iNextID++, pFrame, p,
                                           walk.PartBlockID(pFrame->pGeometry, p), afOrigin))
                return false;
    }
    return !HasError();
}

bool NKFExporter::ExportViewpoints()
{
    int iRows = 0;
    for (int f = 0; f < g_pModel->iNumFrames; f++) {
        if (g_pModel->pFrames[f].pViewPoint == nullptr) return true;
        if (FrameTaken(f)) iRows++;
    }
    if (iRows == 0) return true;
    NKFGeometryWalk walk(this);
    if (!BeginBlock(NKF_VIEWPOINTS, 1, kListHeader, (int64_t)iRows * kViewpointRowBytes))
        return false;
    WriteText80("Quolin Viewpoints");
    WriteInt(iRows);
    for (int f = 0; f < g_pModel->iNumFrames; f++) {
        if (!FrameTaken(f)) continue;
        const NKFrame *pFrame = &g_pModel->pFrames[f];
        WriteInt(walk.StepNumber(f));
        WriteText80(pFrame->szDescription.GetText());
        WriteFloat(pFrame->fTime);
        float afView[9];
        std::memcpy(afView, pFrame->pViewPoint->eye, 12);
        std::memcpy(afView + 3, pFrame->pViewPoint->vrp, 12);
        std::memcpy(afView + 6, pFrame->pViewPoint->vup, 12);
        DisplayToModel(afView);
        DisplayToModel(afView + 3);
        DisplayToModelVector(afView + 6);
        WriteFloats(afView, 9);
    }
    return WriteEndOfBlock();
}

bool NKFExporter::ExportVisibility()
{
    bool bAny = false;
    for (int f = 0; f < g_pModel->iNumFrames && !bAny; f++)
        bAny = FrameTaken(f) && FrameHasHiddenPolygon(this, &g_pModel->pFrames[f]);
    if (!bAny) return true;
    NKFGeometryWalk walk(this);
    std::vector<std::pair<int, std::vector<int>>> rows;
    for (int f = 0; f < g_pModel->iNumFrames; f++) {
        const NKFrame *pFrame = &g_pModel->pFrames[f];
        if (!FrameTaken(f) || pFrame->ppVisibility == nullptr || pFrame->pGeometry == nullptr)
            continue;
        rows.push_back({f, {}});
        for (int p : FrameParts(this, pFrame)) {
            if (pFrame->ppVisibility[p] == nullptr) continue;
            int iMapping = 0;
            std::vector<float> values =
                VisibilityValues(&pFrame->pGeometry->pParts[p], pFrame->ppVisibility[p], &iMapping);
            int iID = m_iNextResultsID++;
            if (!BeginBlock(NKF_RESULTS, iID, 28, (int64_t)values.size() * 4)) return false;
            const int32_t aiHeader[] = {1, walk.PartBlockID(pFrame->pGeometry, p), iMapping, 0,
                                        (int32_t)values.size()};
            WriteInts(aiHeader, 5);
            WriteFloats(values.data(), values.size());
            if (!WriteEndOfBlock()) {
                NKPrintError("Error writing visibility results to NKF file");
                return false;
            }
            rows.back().second.push_back(iID);
        }
    }
    int64_t iWords = 0;
    for (const auto &row : rows) iWords += kStepRowWords + (int64_t)row.second.size();
    if (!BeginBlock(NKF_QUOLINVISIBILITY, 1, kVisibilityHeader, iWords * 4)) return false;
    WriteText80("Visibility");
    WriteInt(1);
    WriteInt((int32_t)rows.size());
    for (const auto &row : rows) {
        WriteStepRow(walk.StepNumber(row.first), &g_pModel->pFrames[row.first],
                     (int)row.second.size());
        WriteInts(row.second.data(), row.second.size());
    }
    return WriteEndOfBlock();
}
