// core/nk_geometry_data.cpp -- ComputeGeometryData: a new geometry into
// a range of frames, with everything the drawing derives from it (see
// nk_load_hooks.h).
//
// A frame's per-part arrays are laid out for the geometry it holds, and its
// release walks them by that geometry's part count. So a frame takes the new
// geometry in one step: its new visibility bytes and part boxes are made
// first (a failure leaves the frame untouched), then its matrices and
// contour lists are fitted to the new part count, and only then does it let
// go of the old geometry. A frame is thus always wholly old or wholly new.
//
// The geometry arrives in model coordinates. When it lies inside the model
// box it is converted with the present scale and centre; when it grows the
// box, every frame is converted to the new scale and centre
// (NKChangeDisplayTransform), the new geometry with them.
#include <cstring>

#include "core/nk_bbox.h"
#include "core/nk_edges.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_load_hooks.h"
#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_normals.h"
#include "core/nk_progress.h"
#include "core/nk_render_state.h"

namespace {

// The visibility bytes and part boxes a frame gets with a geometry.
struct PartArrays {
    uint8_t **ppVisibility = nullptr;
    float *pfPartBoxes = nullptr;
};

void FreePartArrays(PartArrays *pArrays, int iNumParts)
{
    if (pArrays->ppVisibility != nullptr) {
        for (int i = 0; i < iNumParts; i++) NKFree(pArrays->ppVisibility[i]);
    }
    NKFree(pArrays->ppVisibility);
    NKFree(pArrays->pfPartBoxes);
    *pArrays = PartArrays();
}

// One visibility byte per polygon (null for a part without polygons), each
// a copy of pSource's byte when given, else 0; empty part boxes. Nothing for
// a geometry without parts. False, nothing kept, when memory runs out.
bool MakePartArrays(const NKGeometry *pGeo, uint8_t *const *ppSource, PartArrays *pOut)
{
    int n = pGeo->iNumParts;
    if (n < 1 || pGeo->pParts == nullptr) return true;
    pOut->ppVisibility = static_cast<uint8_t **>(NKCalloc(n, sizeof(uint8_t *)));
    pOut->pfPartBoxes = static_cast<float *>(NKAlloc(static_cast<size_t>(n) * 6 * sizeof(float)));
    bool bOk = pOut->ppVisibility != nullptr && pOut->pfPartBoxes != nullptr;
    for (int i = 0; i < n && bOk; i++) {
        NKSetMaxValues(&pOut->pfPartBoxes[6 * i]);
        int iNumPolygons = pGeo->pParts[i].iNumPolygons;
        if (iNumPolygons < 1) continue;
        uint8_t *pBytes = static_cast<uint8_t *>(NKCalloc(iNumPolygons, 1));
        pOut->ppVisibility[i] = pBytes;
        if (pBytes == nullptr) {
            bOk = false;
        } else if (ppSource != nullptr && ppSource[i] != nullptr) {
            std::memcpy(pBytes, ppSource[i], static_cast<size_t>(iNumPolygons));
        }
    }
    if (!bOk) FreePartArrays(pOut, n);
    return bOk;
}

// Fits the frame's matrices and contour lists from iOld to iNew parts (new
// parts: identity, no lines). What cannot be fitted is dropped: a frame
// without matrices or contours is whole, one with too few is not.
void FitMatricesAndContours(NKFrame *pFrame, int iOld, int iNew)
{
    if (iOld == iNew) return;
    if (pFrame->pTransformation != nullptr &&
        (iNew < 1 || !NKResizeFrameMatrices(&pFrame->pTransformation, iNew, iOld))) {
        NKFree(pFrame->pTransformation);
        pFrame->pTransformation = nullptr;
    }
    if (pFrame->pContours != nullptr &&
        (iNew < 1 || !NKResizeContourLists(&pFrame->pContours, iNew, iOld))) {
        for (int i = 0; i < iOld; i++) NKFreeContourList(&pFrame->pContours[i]);
        NKFree(pFrame->pContours);
        pFrame->pContours = nullptr;
    }
}

// The frame holds pGeo with fresh visibility bytes (copies of ppSource's,
// or zeros) and part boxes. False, the frame unchanged, when memory runs out.
bool InstallGeometry(NKFrame *pFrame, NKGeometry *pGeo, uint8_t *const *ppSource)
{
    PartArrays arrays;
    if (!MakePartArrays(pGeo, ppSource, &arrays)) return false;
    NKGeometry *pOld = pFrame->pGeometry;
    int iOld = pOld != nullptr ? pOld->iNumParts : 0;
    FitMatricesAndContours(pFrame, iOld, pGeo->iNumParts);
    PartArrays previous{pFrame->ppVisibility, pFrame->pPartBoundingBoxes};
    FreePartArrays(&previous, iOld);
    pFrame->ppVisibility = arrays.ppVisibility;
    pFrame->pPartBoundingBoxes = arrays.pfPartBoxes;
    if (pOld != pGeo) {
        NKReleaseGeometry(pOld);
        pFrame->pGeometry = pGeo;
        pGeo->iNumRef++;
    }
    return true;
}

// Enough frames, their old results gone unless merging, and the geometry
// in every frame of the range, the later ones with the first one's
// visibility.
bool PutIntoFrames(NKGeometry *pGeo, int iFirst, int iLast, int iStep, bool bMerge,
                   void (*pfnVisibility)(int, NKFrame *))
{
    if (g_pModel->iNumFrames < iLast + 1 && !NKSetFrameCount(iLast + 1, false)) return false;
    if (!bMerge) {
        NKApplyScalarToFrames(nullptr, iFirst, iLast);
        NKApplyVectorToFrames(nullptr, iFirst, iLast);
    }
    NKFrame *pFirst = &g_pModel->pFrames[iFirst];
    if (!InstallGeometry(pFirst, pGeo, nullptr)) return false;
    if (iStep >= 0 && pfnVisibility != nullptr) pfnVisibility(iStep, pFirst);
    for (int f = iFirst + 1; f <= iLast; f++) {
        if (!InstallGeometry(&g_pModel->pFrames[f], pGeo, pFirst->ppVisibility)) return false;
    }
    return true;
}

// The geometry in display coordinates, with its normals. Returns false
// when the normals cannot be computed.
bool ConvertToDisplay(NKGeometry *pGeo, NKFrame *pFirst)
{
    float afBox[6];
    std::memcpy(afBox, g_pModel->fBoundingBox, sizeof(afBox));
    // An empty model box has no scale and centre yet to convert with.
    bool bGrown = NKIsEmptyBox(afBox);
    for (int k = 0; k < 3; k++) {
        if (pGeo->fBoundingBox[k] < afBox[k]) {
            afBox[k] = pGeo->fBoundingBox[k];
            bGrown = true;
        }
        if (pGeo->fBoundingBox[k + 3] > afBox[k + 3]) {
            afBox[k + 3] = pGeo->fBoundingBox[k + 3];
            bGrown = true;
        }
    }
    if (!bGrown) {
        for (int i = 0; i < pGeo->iNumParts; i++) {
            NKPart *pPart = &pGeo->pParts[i];
            for (int n = 0; n < pPart->iNumNodes && pPart->pNodeCoords != nullptr; n++)
                ModelToDisplay(&pPart->pNodeCoords[3 * n]);
            ModelToDisplay(pPart->fCentroid);
        }
        NKSetStatusText("Computing normals...");
        return NKComputeGeometryNormals(pGeo, pFirst, 0);
    }
    // A geometry without extent (a single point) keeps the scale at 1
    // instead of dividing by 0.
    float fExtent = NKGetMaxExtent(afBox);
    float fScale = fExtent > 0.0f ? 1.0f / fExtent : 1.0f;
    float afCentre[3];
    for (int k = 0; k < 3; k++) afCentre[k] = (afBox[k] + afBox[k + 3]) * 0.5f;
    if (!NKChangeDisplayTransform(nullptr, &fScale, afCentre, pGeo)) return false;
    std::memcpy(g_pModel->fBoundingBox, afBox, sizeof(afBox));
    return true;
}

// Edges, node types and the undeformed boxes.
bool DeriveDrawingData(NKGeometry *pGeo, int iFirst, bool bMerge)
{
    NKSetStatusText("Computing edges...");
    if (!NKFindEdges(pGeo, &g_pModel->pFrames[iFirst])) {
        NKPrintError("Error computing edges and outline.");
        return false;
    }
    NKSetStatusText("Computing used nodes...");
    if (!NKCalculateFastNodes(pGeo)) {
        NKPrintError("Error computing fast nodes");
        return false;
    }
    NKSetStatusText("Computing bounding boxes...");
    // Every frame of the range holds the one geometry: its boxes once.
    if (!bMerge) NKComputeFrameBoundingBoxes(iFirst, true, false);
    return true;
}

}  // namespace

// The geometry is the load sequence's once handed over: after a failure it
// is either held by frames or released here (a geometry no frame took).
bool ComputeGeometryData(NKGeometry *pGeo, int iFirst, int iLast, int iStep, int bMerge,
                         void (*pfnVisibility)(int iStep, NKFrame *pFrame))
{
    NKSetStatusText("Computing geometry...");
    if (pGeo == nullptr) return false;
    bool bOk = g_pModel != nullptr && iFirst >= 0 && iLast >= iFirst;
    if (bOk && !NKComputeGeometryExtents(pGeo)) {
        NKPrintError("Error computing geometry information. Reverting to old.");
        bOk = false;
    }
    if (bOk) {
        g_SelectionList.Clear();
        bOk = PutIntoFrames(pGeo, iFirst, iLast, iStep, bMerge != 0, pfnVisibility);
    }
    if (!bOk) {
        if (pGeo->iNumRef < 1) NKReleaseGeometry(pGeo);
        return false;
    }
    g_pModel->iNumGeoSteps = 1;
    NKSetStatusText("Converting coordinates and computing normals...");
    if (!ConvertToDisplay(pGeo, &g_pModel->pFrames[iFirst])) return false;
    if (!DeriveDrawingData(pGeo, iFirst, bMerge != 0)) return false;
    NKFlagMaterialsForUpdate(g_pListUpdateInfo, -1, -1);
    NKSetStatusText("Done.");
    return true;
}
