// readers/nk_output3d_overlays.cpp -- the reservoir and flow-path overlays
// of an IES Output3D set (B.rso, B.rsg, B.fpo, B.fpg): NKF files of one part
// each, read through the NKF import, appended after the geological-unit
// parts of every event geometry, each with a show flag that post and unpost
// change (see nk_output3d.h).
#include <cstring>

#include "core/nk_file_read.h"
#include "core/nk_frames.h"
#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "nkf/nkf_import.h"
#include "readers/nk_output3d.h"
#include "readers/nk_output3d_state.h"

namespace {

// The one-part geometry of an overlay file; null (reported) otherwise.
NKGeometry *ReadOverlay(const std::string &path)
{
    int iFailure = NKF_READ_GEOMETRY_OK;
    NKGeometry *pGeo = NKFReadGeometryFile(path.c_str(), 1, 1, &iFailure);
    if (iFailure == NKF_READ_GEOMETRY_NOT_PARSED || iFailure == NKF_READ_GEOMETRY_NO_BLOCK)
        NKPrintError("No geometry with Geometry Block ID 1 found in Reservoir/Flow Paths file.");
    else if (iFailure == NKF_READ_GEOMETRY_BAD_BLOCK)
        NKPrintError("Only geometries with one part allowed for Reservoir/Flow Paths file.");
    else if (iFailure == NKF_READ_GEOMETRY_NOT_MADE)
        NKPrintError("Error creating geometry from NKF file.");
    return pGeo;
}

template <typename T>
bool Copy(T **pp, const T *pSrc, long long n)
{
    *pp = nullptr;
    if (pSrc == nullptr || n <= 0) return true;
    *pp = (T *)NKAlloc((size_t)n * sizeof(T));
    if (*pp != nullptr) std::memcpy(*pp, pSrc, (size_t)n * sizeof(T));
    return *pp != nullptr;
}

// A copy of the overlay part's mesh; node map entries moved past iMapOffset.
bool CopyPart(NKPart *pDst, const NKPart &src, int iMapOffset)
{
    pDst->szName = src.szName;
    pDst->iNumNodes = src.iNumNodes;
    pDst->iNumPolygons = src.iNumPolygons;
    pDst->iNumConnects = src.iNumConnects;
    pDst->iUniformPolygonSize = src.iUniformPolygonSize;
    pDst->iNumElements = src.iNumElements;
    pDst->iNumElementConnects = src.iNumElementConnects;
    bool bOk = Copy(&pDst->pNodeCoords, src.pNodeCoords, 3LL * src.iNumNodes) &&
               Copy(&pDst->pNodeIDs, src.pNodeIDs, src.iNumNodes) &&
               Copy(&pDst->pNodeMap, src.pNodeMap, src.iNumNodes) &&
               Copy(&pDst->pConnects, src.pConnects, src.iNumConnects) &&
               Copy(&pDst->pPolygonStart, src.pPolygonStart, src.iNumPolygons) &&
               Copy(&pDst->pPolygonNumNodes, src.pPolygonNumNodes, src.iNumPolygons) &&
               Copy(&pDst->pPolygonElements, src.pPolygonElements, src.iNumPolygons) &&
               Copy(&pDst->pElements, src.pElements, src.iNumElements) &&
               Copy(&pDst->pElementConnects, src.pElementConnects, src.iNumElementConnects);
    for (int i = 0; bOk && pDst->pNodeMap != nullptr && i < pDst->iNumNodes; i++)
        pDst->pNodeMap[i] += iMapOffset;
    return bOk;
}

}  // namespace

void NKOutput3DReadOverlays(NKOutput3DSet *pSet)
{
    static const char *kExt[4] = {".rso", ".rsg", ".fpo", ".fpg"};
    for (const char *pszExt : kExt) {
        std::string path = pSet->base + pszExt;
        FILE *pFile = NKOpenRegularFile(path.c_str());
        if (pFile == nullptr) continue;
        fclose(pFile);
        NKGeometry *pGeo = ReadOverlay(path);
        if (pGeo == nullptr) {
            NKPrintError("Error initializing reservoirs and flow paths");
            continue;
        }
        NKOutput3DOverlay overlay;
        overlay.pGeo = pGeo;
        pSet->overlays.push_back(overlay);
    }
}

void NKOutput3DFreeOverlays(NKOutput3DSet *pSet)
{
    for (NKOutput3DOverlay &o : pSet->overlays) NKReleaseGeometry(o.pGeo);
    pSet->overlays.clear();
}

bool NKOutput3DAppendOverlayParts(NKGeometry *pGeo, int iFirstPart)
{
    int iPolygons = iFirstPart > 0 ? pGeo->pParts[iFirstPart - 1].iFirstPolygon +
                                         pGeo->pParts[iFirstPart - 1].iNumPolygons
                                   : 0;
    for (size_t k = 0; k < g_Output3DSet.overlays.size(); k++) {
        const NKGeometry *pSrc = g_Output3DSet.overlays[k].pGeo;
        NKPart *pPart = &pGeo->pParts[iFirstPart + (int)k];
        int iOffset = pGeo->iGlobalNumNodes;
        if (!CopyPart(pPart, pSrc->pParts[0], iOffset)) return false;
        pGeo->iGlobalNumNodes += pSrc->iGlobalNumNodes > pSrc->pParts[0].iNumNodes
                                     ? pSrc->iGlobalNumNodes
                                     : pSrc->pParts[0].iNumNodes;
        pPart->iFirstPolygon = iPolygons;
        iPolygons += pPart->iNumPolygons;
    }
    return true;
}

int NKGetNumReservoirOverlays(void) { return (int)g_Output3DSet.overlays.size(); }

void NKShowReservoirOverlayParts(bool bShow, int iFirstPart, int iLastPart)
{
    NKOutput3DSet &set = g_Output3DSet;
    int iUnits = (int)set.usedUnits.size();
    bool bNewlyShown = false;
    for (size_t k = 0; k < set.overlays.size(); k++) {
        int iPart = iUnits + (int)k;
        if (iPart < iFirstPart || iPart > iLastPart) continue;
        if (bShow && !set.overlays[k].bShow) bNewlyShown = true;
        set.overlays[k].bShow = bShow;
    }
    // A shown overlay needs a state that holds it: read the state again when
    // the current frame has none yet.
    NKFrame *pFrame = NKGetCurrentFrame();
    if (bNewlyShown && pFrame != nullptr && NKGetFrameGeometry(pFrame) == nullptr) {
        set.iLastEvent = -1;
        NKRunCommandLine("readstate");
    }
}

void NKApplyReservoirOverlayVisibility(NKGeometry *pGeo)
{
    if (pGeo == nullptr || pGeo->pParts == nullptr) return;
    int iUnits = (int)g_Output3DSet.usedUnits.size();
    for (size_t k = 0; k < g_Output3DSet.overlays.size(); k++) {
        int iPart = iUnits + (int)k;
        if (iPart < pGeo->iNumParts)
            pGeo->pParts[iPart].bVisible = g_Output3DSet.overlays[k].bShow ? 1 : 0;
    }
}
