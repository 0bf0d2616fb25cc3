// tools/nk_cut_plane_surfaces.cpp -- what the cutting planes make per frame:
// the start-up of the surface tools, the missing cut surfaces of a frame, the
// test whether frames still lack them, and the export of a plane's boundary
// (see nk_cut_plane.h). The cut of each part is the polygoniser's.
#include <new>
#include <vector>

#include "core/nk_bbox.h"
#include "core/nk_frames.h"
#include "core/nk_math.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_output_file.h"
#include "core/nk_render_state.h"
#include "tools/nk_cut_plane.h"
#include "tools/nk_cut_surface.h"
#include "tools/nk_iso_surface.h"
#include "tools/nk_surface_polygoniser.h"
#include "tools/nk_surface_storage.h"

bool NKCreateSurfaceTools(void)
{
    NKDestroySurfaceTools();
    g_pCutPlaneSet = new (std::nothrow) CutPlaneSet();
    g_pIsoSurfaceState = new (std::nothrow) IsoSurfaceState();
    if (g_pCutPlaneSet == nullptr || g_pIsoSurfaceState == nullptr) {
        NKDestroySurfaceTools();
        return false;
    }
    // A handle starts changed; an untouched one must not overwrite a plane.
    g_pCutPlaneSet->Handle().ClearChanged();
    return true;
}

void NKDestroySurfaceTools(void)
{
    delete g_pCutPlaneSet;
    g_pCutPlaneSet = nullptr;
    delete g_pIsoSurfaceState;
    g_pIsoSurfaceState = nullptr;
}

namespace {

void FreeFrameCuts(NKFrame *pFrame)
{
    for (int k = 0; k < NK_MAX_CUT_SURFACES; k++) {
        NKReleaseCutSurfaceObject(pFrame->pCutSurfaces[k]);
        pFrame->pCutSurfaces[k] = nullptr;
    }
}

// The cut surface of one plane in the frame; null when memory runs out. The
// parts' results are or-ed into *pbAny.
CutSurface *MakeCutSurface(NKFrame *pFrame, const CutPlane &plane, bool *pbAny)
{
    const NKGeometry *pGeo = pFrame->pGeometry;
    CutSurface *pCut = new (std::nothrow) CutSurface();
    if (pCut == nullptr) return nullptr;
    pCut->pParts = new (std::nothrow) CutSurfacePart[pGeo->iNumParts];
    if (pCut->pParts == nullptr) {
        delete pCut;
        return nullptr;
    }
    pCut->iNumParts = pGeo->iNumParts;
    long long iNodes = 0;
    for (int i = 0; i < pGeo->iNumParts; i++) {
        CutSurfacePart *pRec = &pCut->pParts[i];
        if (pGeo->pParts[i].iNumElements < 1) continue;
        NKVec3Copy(pRec->fPlanePoint, plane.fPoint);
        NKVec3Copy(pRec->fPlaneNormal, plane.fNormal);
        *pbAny |= NKComputePartCutSurface(pFrame, i, pRec);
        iNodes += pRec->mesh.iNumNodes;
        if (pRec->mesh.iNumNodes > 0) pRec->bHasSurface = 1;
    }
    if (plane.bCutVectors &&
        !NKBuildVectorGrid(&pCut->vectorGrid, plane, pCut->pParts, pCut->iNumParts,
                           NKGetGeoBoundingBox(pFrame, 1), plane.iGridI, plane.iGridJ))
        NKFreeEdgeArrays(&pCut->vectorGrid, true);
    if (iNodes > 0) pCut->bHasNodes = 1;
    return pCut;
}

}  // namespace

bool NKComputeCutSurfaces(NKFrame *pFrame, CutPlaneSet *pSet)
{
    if (pFrame == nullptr || pSet == nullptr || pFrame->pScalar == nullptr) return false;
    const NKGeometry *pGeo = pFrame->pGeometry;
    if (pGeo == nullptr || pGeo->iNumParts < 1 || pGeo->pParts == nullptr) return false;
    if (!pSet->IsEnabled()) {
        FreeFrameCuts(pFrame);
        return false;
    }
    if (g_SelectionList.iMode == 7 && g_SelectionList.iCount > 0) g_SelectionList.Clear();
    pFrame->iNumCutSurfaces = pSet->GetNumPlanes();
    bool bAny = false, bMade = false;
    for (int k = 0; k < pSet->GetNumPlanes(); k++) {
        if (pFrame->pCutSurfaces[k] != nullptr) continue;
        pFrame->pCutSurfaces[k] = MakeCutSurface(pFrame, *pSet->GetPlane(k), &bAny);
        bMade = true;
        if (pFrame->pCutSurfaces[k] == nullptr) break;
    }
    if (bMade && !bAny) {
        FreeFrameCuts(pFrame);
        return false;
    }
    return true;
}

bool NKCutSurfacesNeedUpdate(CutPlaneSet *pSet, int iPlane, int iFrame)
{
    if (pSet == nullptr) return false;
    pSet->FollowHandle();
    if (g_pModel == nullptr || g_pModel->pFrames == nullptr) return false;
    int iFirstF = iFrame < 0 ? 0 : iFrame;
    int iLastF = iFrame < 0 ? g_pModel->iNumFrames - 1 : iFrame;
    int iFirstP = iPlane < 0 ? 0 : iPlane;
    int iLastP = iPlane < 0 ? pSet->GetNumPlanes() - 1 : iPlane;
    for (int f = iFirstF; f <= iLastF && f < g_pModel->iNumFrames; f++)
        for (int k = iFirstP; k <= iLastP && k < NK_MAX_CUT_SURFACES; k++)
            if (g_pModel->pFrames[f].pCutSurfaces[k] == nullptr) return true;
    return false;
}

// ---------------------------------------------------------------------------
// Boundary export

namespace {

// Marks the nodes at the ends of boundary edges and the nodes of two-node
// polygons.
std::vector<uint8_t> MarkBoundaryNodes(const NKIndexedFaceSet &m)
{
    std::vector<uint8_t> marks((size_t)m.iNumNodes, 0);
    auto mark = [&](int iNode) {
        if (iNode >= 0 && iNode < m.iNumNodes) marks[(size_t)iNode] = 1;
    };
    for (int p = 0; p < m.iNumPolygons; p++) {
        int iStart = m.piPolygonStart[p], n = m.piPolygonNumNodes[p];
        for (int k = 0; k < n; k++) {
            int iPos = iStart + k;
            bool bEdge = m.pbEdgeType != nullptr && m.pbEdgeType[iPos] == 1;
            if (n == 2 || bEdge) mark(m.piConnects[iPos]);
            if (bEdge) mark(m.piConnects[iStart + (k + 1) % n]);
        }
    }
    return marks;
}

// Writes the marked nodes of each part in model coordinates; returns their
// count.
int WriteBoundaryNodes(NKOutputFile *pOut, const NKFrame *pFrame, const CutSurface *pCut)
{
    int iWritten = 0;
    for (int i = 0; i < pCut->iNumParts; i++) {
        const NKIndexedFaceSet &m = pCut->pParts[i].mesh;
        if (m.iNumNodes < 1 || m.pfCoords == nullptr) continue;
        std::vector<uint8_t> marks = MarkBoundaryNodes(m);
        for (int n = 0; n < m.iNumNodes; n++) {
            if (!marks[(size_t)n]) continue;
            float p[3];
            NKVec3Copy(p, &m.pfCoords[3 * n]);
            if (pFrame->pTransformation != nullptr)
                NKTransformPoint(&pFrame->pTransformation[16 * i], p);
            DisplayToModel(p);
            pOut->Printf("%g %g %g\n", p[0], p[1], p[2]);
            iWritten++;
        }
    }
    return iWritten;
}

void WriteBoundaryElements(NKOutputFile *pOut, int iWritten)
{
    pOut->Printf("*ELEMENTS 1\n%%NODES #1\n%%POINTS\n");
    for (int n = 1; n <= iWritten; n++) pOut->Printf("%d\n", n);
    pOut->Printf("*QUOLINGEOMETRY 1\n%%NAME \"Cutplane boundary\"\n%%ELEMENTS\n1\n");
}

}  // namespace

// The surface and its marks are made here when missing, as a drawing would
// make them, so the export needs neither a drawing nor the plane current.
bool NKExportCutPlaneBoundary(int iPlaneNumber, bool bNkf, const char *pszFileName)
{
    NKFrame *pFrame = NKGetCurrentFrame();
    if (pFrame == nullptr || g_pCutPlaneSet == nullptr) return false;
    if (NKCutSurfacesNeedUpdate(g_pCutPlaneSet, -1, g_pModel->iCurrentFrame))
        NKComputeCutSurfaces(pFrame, g_pCutPlaneSet);
    if (iPlaneNumber < 1 || iPlaneNumber > pFrame->iNumCutSurfaces) return false;
    CutSurface *pCut = pFrame->pCutSurfaces[iPlaneNumber - 1];
    if (pCut == nullptr) return false;
    if (!pCut->bEdgesFound) NKUpdateCutSurfaceEdges(pCut);
    NKOutputFile out;
    if (!out.Open(pszFileName)) return false;
    if (bNkf) out.Printf("*NKF-1.00\n\n*NODES 1\n");
    int iWritten = WriteBoundaryNodes(&out, pFrame, pCut);
    if (bNkf) WriteBoundaryElements(&out, iWritten);
    return out.Commit();
}
