// core/nk_bbox.cpp -- bounding boxes and display coordinates (see
// nk_bbox.h).
//
// Reads and writes the global model g_pModel and its frames. The box of a
// part is taken over the nodes of its polygons (laid out by pPolygonStart /
// pPolygonNumNodes over pConnects); node indices outside the coordinate
// array are passed over, so a damaged part cannot make a box read past it.
// Normals are recomputed through nk_normals.h after the display transform
// changes; the tools' and the renderer's parts of that change (plane points,
// node traces, cut surfaces, iso-surfaces) are called through their headers.
#include "core/nk_bbox.h"

#include <cmath>
#include <cstring>
#include <unordered_set>

#include "core/nk_diagnostic.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_math.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_normals.h"
#include "core/nk_oriented_box.h"
#include "core/nk_part_arrays.h"

namespace {

// Grows pfBox by the point p, strictly.
void GrowByPoint(float *pfBox, const float *p)
{
    for (int k = 0; k < 3; k++) {
        if (p[k] < pfBox[k]) pfBox[k] = p[k];
        if (p[k] > pfBox[k + 3]) pfBox[k + 3] = p[k];
    }
}

// Grows pfBox by another box, strictly, corner by corner.
void GrowByBox(float *pfBox, const float *pfOther)
{
    for (int k = 0; k < 3; k++) {
        if (pfOther[k] < pfBox[k]) pfBox[k] = pfOther[k];
        if (pfOther[k + 3] > pfBox[k + 3]) pfBox[k + 3] = pfOther[k + 3];
    }
}

void CopyBox(float *pfDst, const float *pfSrc) { std::memcpy(pfDst, pfSrc, 6 * sizeof(float)); }

// The axis-aligned hull of a model box carried through a display-space
// matrix. An empty box stays empty.
void CarryBoxThroughMatrix(float *pfBox, const float *m)
{
    if (NKIsEmptyBox(pfBox)) return;
    ModelToDisplayBox(pfBox);
    NKOrientedBox box;
    box.SetFromBox(pfBox);
    box.Transform(m);
    box.GetBox(pfBox, true);
    DisplayToModelBox(pfBox);
}

uint8_t PartLodLevel(const NKGeometry *pGeo, int iPart) { return NKGetPartLevel(pGeo, iPart); }

// The display-transform factor of axis k: axis scale x fGeoScale.
double AxisFactor(int k)
{
    return static_cast<double>(g_pModel->fAxisScale[k]) * g_pModel->fGeoScale;
}

double CentreOf(int k)
{
    return k == 0 ? g_pModel->fCenterX : (k == 1 ? g_pModel->fCenterY : g_pModel->fCenterZ);
}

}  // namespace

// ---- Boxes and conversions ----------------------------------------------------

void NKSetMaxValues(float *pfBox)
{
    if (pfBox == nullptr) {
        NKDiagnostic("Null box", "NKSetMaxValues");
        return;
    }
    for (int k = 0; k < 3; k++) {
        pfBox[k] = NK_EMPTY_MIN;
        pfBox[k + 3] = NK_EMPTY_MAX;
    }
}

bool NKIsEmptyBox(const float *pfBox)
{
    return pfBox == nullptr || !(pfBox[0] <= pfBox[3]) || !(pfBox[1] <= pfBox[4]) ||
           !(pfBox[2] <= pfBox[5]);
}

float NKGetMaxExtent(const float *pfBox)
{
    if (pfBox == nullptr) {
        NKDiagnostic("Null box", "NKGetMaxExtent");
        return 0.0f;
    }
    float fMax = pfBox[3] - pfBox[0];
    for (int k = 1; k < 3; k++) {
        float fExtent = pfBox[k + 3] - pfBox[k];
        if (fExtent > fMax) fMax = fExtent;
    }
    return fMax;
}

void ModelToDisplay(float *p)
{
    if (p == nullptr || g_pModel == nullptr) return;
    for (int k = 0; k < 3; k++) p[k] = static_cast<float>((p[k] - CentreOf(k)) * AxisFactor(k));
}

void ModelToDisplayVector(float *v)
{
    if (v == nullptr || g_pModel == nullptr) return;
    for (int k = 0; k < 3; k++) v[k] = static_cast<float>(v[k] * AxisFactor(k));
}

void ModelToDisplayBox(float *pfBox)
{
    if (pfBox == nullptr) return;
    ModelToDisplay(pfBox);
    ModelToDisplay(pfBox + 3);
}

void DisplayToModel(float *p)
{
    if (p == nullptr || g_pModel == nullptr) return;
    for (int k = 0; k < 3; k++) {
        double dFactor = AxisFactor(k);
        if (dFactor != 0.0) p[k] = static_cast<float>(p[k] / dFactor + CentreOf(k));
    }
}

void DisplayToModelVector(float *v)
{
    if (v == nullptr || g_pModel == nullptr) return;
    for (int k = 0; k < 3; k++) {
        double dFactor = AxisFactor(k);
        if (dFactor != 0.0) v[k] = static_cast<float>(v[k] / dFactor);
    }
}

void DisplayToModelBox(float *pfBox)
{
    if (pfBox == nullptr) return;
    DisplayToModel(pfBox);
    DisplayToModel(pfBox + 3);
}

float *GetModelOriginInDisplay(float *pOut)
{
    if (pOut == nullptr) return nullptr;
    NKVec3Zero(pOut);
    ModelToDisplay(pOut);
    return pOut;
}

bool NKPolylineCentroidAndLength(const float *pfPoints, int n, float *pfCentroid, float *pfLongest,
                                 int iMode)
{
    if (pfPoints == nullptr || n < 1 || pfCentroid == nullptr) return false;
    double adSum[3] = {0.0, 0.0, 0.0};
    for (int i = 0; i < n; i++) {
        for (int k = 0; k < 3; k++) adSum[k] += pfPoints[3 * i + k];
    }
    for (int k = 0; k < 3; k++) pfCentroid[k] = static_cast<float>(adSum[k] / n);
    if (pfLongest != nullptr) {
        double dLongest = 0.0;
        for (int i = 1; i < n; i++) {
            float afSegment[3];
            NKVec3Difference(&pfPoints[3 * i], &pfPoints[3 * (i - 1)], afSegment);
            if (iMode == NK_POLYLINE_TO_MODEL) DisplayToModelVector(afSegment);
            if (iMode == NK_POLYLINE_TO_DISPLAY) ModelToDisplayVector(afSegment);
            double dLength = NKVec3Length(afSegment);
            if (dLength > dLongest) dLongest = dLength;
        }
        *pfLongest = static_cast<float>(dLongest);
    }
    if (iMode == NK_POLYLINE_TO_MODEL) DisplayToModel(pfCentroid);
    if (iMode == NK_POLYLINE_TO_DISPLAY) ModelToDisplay(pfCentroid);
    return true;
}

// ---- Geometry extents -------------------------------------------------------------

namespace {

// Box, uniform polygon size and edge slot count of one part with polygons.
void ComputePartPolygonExtents(NKPart *pPart)
{
    NKSetMaxValues(pPart->fBoundingBox);
    pPart->iUniformPolygonSize =
        pPart->pPolygonNumNodes != nullptr ? pPart->pPolygonNumNodes[0] : 0;
    int iVisited = 0;
    for (int k = 0; k < pPart->iNumPolygons; k++) {
        const int *piNodes = nullptr;
        int iCount = 0;
        if (!NKGetPartPolygon(*pPart, k, &piNodes, &iCount)) continue;
        if (pPart->iUniformPolygonSize > 0 && pPart->iUniformPolygonSize != iCount)
            pPart->iUniformPolygonSize = -1;
        for (int j = 0; j < iCount; j++) {
            int iNode = piNodes[j];
            if (pPart->pNodeCoords != nullptr && iNode >= 0 && iNode < pPart->iNumNodes)
                GrowByPoint(pPart->fBoundingBox, &pPart->pNodeCoords[3 * iNode]);
        }
        iVisited += iCount;
    }
    pPart->iNumEdgeSlots = iVisited;
}

// The mean of every node of the part, used by a polygon or not.
void ComputePartCentroid(NKPart *pPart)
{
    NKVec3Zero(pPart->fCentroid);
    if (pPart->pNodeCoords == nullptr || pPart->iNumNodes < 1) return;
    double adSum[3] = {0.0, 0.0, 0.0};
    for (int i = 0; i < pPart->iNumNodes; i++) {
        for (int k = 0; k < 3; k++) adSum[k] += pPart->pNodeCoords[3 * i + k];
    }
    for (int k = 0; k < 3; k++)
        pPart->fCentroid[k] = static_cast<float>(adSum[k] / pPart->iNumNodes);
}

}  // namespace

// A geometry whose nodes all sit at one point (or that has no polygon at
// all) has no extent to divide by; it gets the scale of a unit extent's
// neighbour, 2, so that its coordinates stay finite.
bool NKComputeGeometryExtents(NKGeometry *pGeo)
{
    if (pGeo == nullptr) return NKDiagnostic("Null geometry", "NKComputeGeometryExtents");
    NKSetMaxValues(pGeo->fBoundingBox);
    pGeo->iTotalNumNodes = 0;
    pGeo->iTotalNumPolygons = 0;
    pGeo->iTotalNumConnects = 0;
    for (int i = 0; i < pGeo->iNumParts && pGeo->pParts != nullptr; i++) {
        NKPart *pPart = &pGeo->pParts[i];
        if (pPart->iNumPolygons < 1) continue;
        ComputePartPolygonExtents(pPart);
        GrowByBox(pGeo->fBoundingBox, pPart->fBoundingBox);
        ComputePartCentroid(pPart);
        pGeo->iTotalNumNodes += pPart->iNumNodes;
        pGeo->iTotalNumPolygons += pPart->iNumPolygons;
        pGeo->iTotalNumConnects += pPart->iNumConnects;
    }
    float fExtent = NKGetMaxExtent(pGeo->fBoundingBox);
    pGeo->fGeoScale = fExtent > 0.0f ? 2.0f / fExtent : 2.0f;
    for (int k = 0; k < 3; k++)
        pGeo->fCenter[k] = (pGeo->fBoundingBox[k] + pGeo->fBoundingBox[k + 3]) * 0.5f;
    return true;
}

// ---- Computed boxes ----------------------------------------------------------------

namespace {

// The coordinates a part's box is taken over, with their node count.
const float *BoxCoordinates(const NKPart *pPart, int iPart, const NKFrame *pFrame, bool bDisplaced,
                            int *piNumCoords)
{
    if (bDisplaced && pFrame != nullptr) {
        const NKVectorPartEntry *pEntry = NKGetPartVectorEntry(iPart, pFrame);
        if (pEntry != nullptr && pEntry->pNodeValues != nullptr) {
            *piNumCoords = pEntry->iNumNodes;
            return pEntry->pNodeValues;
        }
    }
    *piNumCoords = pPart->iNumNodes;
    return pPart->pNodeCoords;
}

// Grows pfBox (display coordinates) by the nodes of the counted polygons.
void GrowByCountedPolygons(float *pfBox, const NKPart *pPart, const float *pfCoords, int iNumCoords,
                           const uint8_t *pVisibility, uint8_t uLevel)
{
    for (int k = 0; k < pPart->iNumPolygons; k++) {
        if (pVisibility != nullptr && pVisibility[k] != uLevel) continue;
        const int *piNodes = nullptr;
        int iCount = 0;
        if (!NKGetPartPolygon(*pPart, k, &piNodes, &iCount)) continue;
        for (int j = 0; j < iCount; j++) {
            if (piNodes[j] >= 0 && piNodes[j] < iNumCoords)
                GrowByPoint(pfBox, &pfCoords[3 * piNodes[j]]);
        }
    }
}

}  // namespace

bool NKComputePartBoundingBox(NKPart *pPart, int iPart, NKFrame *pFrame, float *pfOut,
                              bool bStoreUndeformed, bool bDisplaced)
{
    const char *pszFunction = "NKComputePartBoundingBox";
    if (pfOut != nullptr) NKSetMaxValues(pfOut);
    if (pPart == nullptr) return NKDiagnostic("Null part", pszFunction);
    if (bStoreUndeformed && bDisplaced)
        return NKDiagnostic("Cannot store a displaced box as the part box", pszFunction);
    if (!bStoreUndeformed && pfOut == nullptr) return NKDiagnostic("No output box", pszFunction);
    int iNumCoords = 0;
    const float *pfCoords = BoxCoordinates(pPart, iPart, pFrame, bDisplaced, &iNumCoords);
    if (pfCoords == nullptr) return NKDiagnostic("Part without coordinates", pszFunction);
    const uint8_t *pVisibility = pFrame != nullptr ? NKGetPartVisibility(pFrame, iPart) : nullptr;
    uint8_t uLevel = pVisibility != nullptr ? PartLodLevel(pFrame->pGeometry, iPart) : 0;
    float afBox[6];
    NKSetMaxValues(afBox);
    GrowByCountedPolygons(afBox, pPart, pfCoords, iNumCoords, pVisibility, uLevel);
    float afPrimitives[6];
    if (pPart->pPrimitives != nullptr && NKGetPrimitivesBox(pPart->pPrimitives, afPrimitives))
        GrowByBox(afBox, afPrimitives);
    // The empty box stays the empty box rather than a scaled copy of it.
    if (!NKIsEmptyBox(afBox)) DisplayToModelBox(afBox);
    if (bStoreUndeformed) CopyBox(pPart->fBoundingBox, afBox);
    if (pfOut != nullptr) CopyBox(pfOut, afBox);
    return true;
}

bool NKComputeGeoBoundingBox(NKGeometry *pGeo, NKFrame *pFrame, float *pfOut, float *pfPerPart,
                             bool bStoreUndeformed, bool bDisplaced)
{
    const char *pszFunction = "NKComputeGeoBoundingBox";
    if (pGeo == nullptr) return NKDiagnostic("Null geometry", pszFunction);
    if (bStoreUndeformed && bDisplaced)
        return NKDiagnostic("Cannot store a displaced box as the geometry box", pszFunction);
    if (!bStoreUndeformed && pfOut == nullptr && pfPerPart == nullptr)
        return NKDiagnostic("No output box", pszFunction);
    float afBox[6];
    NKSetMaxValues(afBox);
    bool bMatrices = bDisplaced && pFrame != nullptr && pFrame->pTransformation != nullptr;
    for (int i = 0; i < pGeo->iNumParts && pGeo->pParts != nullptr; i++) {
        float afPart[6];
        NKSetMaxValues(afPart);
        NKComputePartBoundingBox(&pGeo->pParts[i], i, pFrame, afPart, bStoreUndeformed, bDisplaced);
        if (pfPerPart != nullptr) CopyBox(&pfPerPart[6 * i], afPart);
        if (bMatrices) CarryBoxThroughMatrix(afPart, &pFrame->pTransformation[16 * i]);
        GrowByBox(afBox, afPart);
    }
    float afPrimitives[6];
    if (NKGetPrimitivesBox(nullptr, afPrimitives)) {
        DisplayToModelBox(afPrimitives);
        GrowByBox(afBox, afPrimitives);
    }
    if (bStoreUndeformed) CopyBox(pGeo->fBoundingBox, afBox);
    if (pfOut != nullptr) CopyBox(pfOut, afBox);
    return true;
}

namespace {

// The frame's part box array, made (one empty box per part) when missing.
bool EnsurePartBoxes(NKFrame *pFrame)
{
    int iNumParts = pFrame->pGeometry->iNumParts;
    if (pFrame->pPartBoundingBoxes != nullptr || iNumParts < 1) return true;
    size_t iCount = static_cast<size_t>(iNumParts) * 6;
    pFrame->pPartBoundingBoxes = static_cast<float *>(NKAlloc(iCount * sizeof(float)));
    if (pFrame->pPartBoundingBoxes == nullptr) return false;
    for (int i = 0; i < iNumParts; i++) NKSetMaxValues(&pFrame->pPartBoundingBoxes[6 * i]);
    return true;
}

}  // namespace

bool NKComputeFrameBoundingBoxes(int iFrame, bool bUndeformed, bool bDisplaced)
{
    const char *pszFunction = "NKComputeFrameBoundingBoxes";
    if (g_pModel == nullptr || g_pModel->pFrames == nullptr)
        return NKDiagnostic("No frames", pszFunction);
    int iFirst = iFrame < 0 ? 0 : iFrame;
    int iLast = iFrame < 0 ? g_pModel->iNumFrames - 1 : iFrame;
    if (iLast >= g_pModel->iNumFrames) return NKDiagnostic("Frame out of range", pszFunction);
    for (int i = iFirst; i <= iLast; i++) {
        if (g_pModel->pFrames[i].pGeometry == nullptr)
            return NKDiagnostic("Frame without geometry", pszFunction);
    }
    if (bUndeformed) {
        NKResetGeometryMarks();
        for (int i = iFirst; i <= iLast; i++) {
            NKGeometry *pGeo = g_pModel->pFrames[i].pGeometry;
            if (pGeo->iProcessed != -1) continue;
            pGeo->iProcessed = i;
            NKComputeGeoBoundingBox(pGeo, nullptr, nullptr, nullptr, true, false);
        }
    }
    if (bDisplaced) {
        for (int i = iFirst; i <= iLast; i++) {
            NKFrame *pFrame = &g_pModel->pFrames[i];
            if (!EnsurePartBoxes(pFrame))
                return NKDiagnostic("Error allocating part boxes", pszFunction);
            NKComputeGeoBoundingBox(pFrame->pGeometry, pFrame, pFrame->fDisplacedBox,
                                    pFrame->pPartBoundingBoxes, false, true);
        }
    }
    return true;
}

// ---- Box getters -----------------------------------------------------------------

namespace {

bool IsDisplacedMode(int iMode)
{
    return iMode == NK_BOX_DISPLACED_OR_UNDEFORMED || iMode == NK_BOX_DISPLACED_ONLY;
}

bool HasVectorNodeValues(const NKFrame *pFrame, int iPart)
{
    const NKVectorPartEntry *pEntry = NKGetPartVectorEntry(iPart, pFrame);
    return pEntry != nullptr && pEntry->pNodeValues != nullptr;
}

}  // namespace

const float *NKGetPartBoundingBox(const NKFrame *pFrame, int iPart, int iMode)
{
    if (pFrame == nullptr || pFrame->pGeometry == nullptr) {
        NKDiagnostic("Null frame or frame without geometry", "NKGetPartBoundingBox");
        return nullptr;
    }
    const NKPart *pPart = NKGetFramePart(pFrame, iPart);
    if (pPart == nullptr) {
        NKDiagnostic("Part out of range", "NKGetPartBoundingBox");
        return nullptr;
    }
    if (IsDisplacedMode(iMode)) {
        if (pPart->bDisplacements && HasVectorNodeValues(pFrame, iPart) &&
            pFrame->pPartBoundingBoxes != nullptr)
            return &pFrame->pPartBoundingBoxes[6 * iPart];
        if (iMode == NK_BOX_DISPLACED_ONLY) return nullptr;
    }
    return pPart->fBoundingBox;
}

const float *NKGetGeoBoundingBox(const NKFrame *pFrame, int iMode)
{
    if (pFrame == nullptr) {
        NKDiagnostic("Null frame", "NKGetGeoBoundingBox");
        return nullptr;
    }
    if (IsDisplacedMode(iMode)) {
        bool bDisplaced = pFrame->pVector != nullptr && NKAllPartsDisplacements(pFrame);
        if (bDisplaced || pFrame->pTransformation != nullptr) return pFrame->fDisplacedBox;
        if (iMode == NK_BOX_DISPLACED_ONLY) return nullptr;
    }
    return pFrame->pGeometry != nullptr ? pFrame->pGeometry->fBoundingBox : nullptr;
}

const float *NKGetFrameGeoBoundingBox(int iFrame, int iMode)
{
    return NKGetGeoBoundingBox(NKGetFrame(iFrame), iMode);
}

bool NKGetTransformedPartBoundingBox(const NKFrame *pFrame, int iPart, float *pfOut, int iMode)
{
    if (pfOut == nullptr) return NKDiagnostic("No output box", "NKGetTransformedPartBoundingBox");
    const float *pfBox = NKGetPartBoundingBox(pFrame, iPart, iMode);
    if (pfBox == nullptr) return false;
    CopyBox(pfOut, pfBox);
    if (pFrame->pTransformation != nullptr)
        CarryBoxThroughMatrix(pfOut, &pFrame->pTransformation[16 * iPart]);
    return true;
}

bool NKGetModelBoundingBox(float *pfOut, int iMode)
{
    if (pfOut == nullptr) return NKDiagnostic("No output box", "NKGetModelBoundingBox");
    NKSetMaxValues(pfOut);
    int n = g_pModel != nullptr && g_pModel->pFrames != nullptr ? g_pModel->iNumFrames : 0;
    for (int i = 0; i < n; i++) {
        const float *pfBox = NKGetGeoBoundingBox(&g_pModel->pFrames[i], iMode);
        if (pfBox != nullptr) GrowByBox(pfOut, pfBox);
    }
    return true;
}

bool NKGetBoxDepthRange(const NKFrame *pFrame, const float *m, float *pfZMin, float *pfZMax)
{
    if (pFrame == nullptr || m == nullptr || pfZMin == nullptr || pfZMax == nullptr)
        return NKDiagnostic("Null argument", "NKGetBoxDepthRange");
    const float *pfGeoBox = NKGetGeoBoundingBox(pFrame, NK_BOX_DISPLACED_OR_UNDEFORMED);
    if (pfGeoBox == nullptr) return false;
    float afBox[6];
    CopyBox(afBox, pfGeoBox);
    ModelToDisplayBox(afBox);
    NKOrientedBox box;
    box.SetFromBox(afBox);
    box.Transform(m);
    box.GetBox(afBox, true);
    *pfZMin = afBox[2];
    *pfZMax = afBox[5];
    return true;
}

float NKComputeBoxScaleFactor(const float *pfBox, float fReference, float fFactor)
{
    if (pfBox == nullptr) {
        NKDiagnostic("Null box", "NKComputeBoxScaleFactor");
        return 1.0f;
    }
    float afBox[6];
    CopyBox(afBox, pfBox);
    ModelToDisplayBox(afBox);
    if (!(fFactor > 0.0f)) return 1.0f;  // also a NaN factor
    if (NKFloatsEqual(fReference, 0.0f)) return 1.0f;
    double dExtent = 0.0;
    for (int k = 0; k < 3; k++) {
        double d = std::fabs(static_cast<double>(afBox[k + 3]) - afBox[k]);
        if (d > dExtent) dExtent = d;
    }
    return static_cast<float>(dExtent * fFactor / fReference);
}

// ---- Changing the display transform --------------------------------------------

namespace {

void ConvertPoint(float *p, bool bToModel)
{
    if (bToModel) {
        DisplayToModel(p);
    } else {
        ModelToDisplay(p);
    }
}

void ConvertGeometry(NKGeometry *pGeo, bool bToModel)
{
    for (int i = 0; i < pGeo->iNumParts && pGeo->pParts != nullptr; i++) {
        NKPart *pPart = &pGeo->pParts[i];
        if (pPart->pNodeCoords != nullptr) {
            for (int n = 0; n < pPart->iNumNodes; n++)
                ConvertPoint(&pPart->pNodeCoords[3 * n], bToModel);
        }
        ConvertPoint(pPart->fCentroid, bToModel);
    }
    // The traces' element normals and seed grid follow the moved nodes.
    pGeo->bElementNormalsOutOfDate = 1;
}

void ConvertVectorResult(NKVectorResult *pVector, bool bToModel)
{
    for (int i = 0; i < pVector->iNumParts && pVector->pResults != nullptr; i++) {
        NKVectorPartEntry *pEntry = &pVector->pResults[i];
        if (pEntry->pNodeValues == nullptr) continue;
        for (int n = 0; n < pEntry->iNumNodes; n++)
            ConvertPoint(&pEntry->pNodeValues[3 * n], bToModel);
    }
}

void ConvertSeparateField(NKSeparateVectorField *pField, bool bToModel)
{
    for (int i = 0; i < pField->iNumParts && pField->pParts != nullptr; i++) {
        NKSeparateVectorPart *pPart = &pField->pParts[i];
        for (int j = 0; j < pPart->iCount && pPart->pItems != nullptr; j++) {
            NKSeparateVector *pItem = &pPart->pItems[j];
            ConvertPoint(pItem->fPosition, bToModel);
            if (bToModel) {
                DisplayToModelVector(pItem->fVector);
            } else {
                ModelToDisplayVector(pItem->fVector);
            }
        }
    }
}

// One pass over all frames converting every shared record once: to model
// form (pSkip, still in model form, is left out), or to display form with
// the normals recomputed. Separate vector fields carry no pass mark, so the
// fields met are remembered instead.
void ConvertAllFrames(NKGeometry *pSkip, bool bToModel)
{
    NKResetGeometryMarks();
    NKResetVectorMarks();
    std::unordered_set<NKSeparateVectorField *> fieldsDone;
    for (int i = 0; i < g_pModel->iNumFrames && g_pModel->pFrames != nullptr; i++) {
        NKFrame *pFrame = &g_pModel->pFrames[i];
        NKGeometry *pGeo = pFrame->pGeometry;
        if (pGeo == nullptr) continue;
        if (pGeo->iProcessed == -1) {
            pGeo->iProcessed = i;
            if (!bToModel || pGeo != pSkip) ConvertGeometry(pGeo, bToModel);
            if (!bToModel) NKComputeGeometryNormals(pGeo, pFrame, 0);
        }
        NKVectorResult *pVector = pFrame->pVector;
        if (pVector != nullptr && !pVector->bProcessed) {
            pVector->bProcessed = 1;
            ConvertVectorResult(pVector, bToModel);
            if (!bToModel) NKComputeVectorResultNormals(pGeo, pVector);
        }
        for (int s = 0; s < NK_NUM_SEPARATE_VECTOR_SLOTS; s++) {
            NKSeparateVectorField *pField = pFrame->pSeparateVectors[s];
            if (pField != nullptr && fieldsDone.insert(pField).second)
                ConvertSeparateField(pField, bToModel);
        }
    }
}

}  // namespace

bool NKChangeDisplayTransform(const float *pfScales, const float *pfGeoScale, const float *pfCentre,
                              NKGeometry *pSkip)
{
    if (g_pModel == nullptr) return NKDiagnostic("No model", "NKChangeDisplayTransform");
    ConvertAllFrames(pSkip, true);
    NKConvertCutPlanePoints(true);
    if (pfScales != nullptr) {
        for (int k = 0; k < 3; k++) g_pModel->fAxisScale[k] = pfScales[k];
    }
    if (pfGeoScale != nullptr) g_pModel->fGeoScale = *pfGeoScale;
    if (pfCentre != nullptr) {
        g_pModel->fCenterX = pfCentre[0];
        g_pModel->fCenterY = pfCentre[1];
        g_pModel->fCenterZ = pfCentre[2];
    }
    ConvertAllFrames(nullptr, false);
    NKConvertCutPlanePoints(false);
    NKComputeNodeTraces();
    NKFreeCutSurfaces(-1, -1);
    NKFreeIsoSurfaces(-1);
    return true;
}
