// nkf/nkf_import_geometry.cpp -- turns the face-set records of a step's
// parts (NKIndexedFaceSet, core/nk_mesh.h, built by the geometry block) into
// the parts of a new NKGeometry: node coordinates and IDs, the kept polygons,
// the element list, the source block IDs, name, colour and, when pick
// results carry polygon information, the cell indices of face sets.
#include <cstring>

#include "core/nk_diagnostic.h"
#include "core/nk_memory.h"
#include "core/nk_mesh.h"
#include "core/nk_model.h"
#include "core/nk_progress.h"
#include "core/nk_text_utils.h"
#include "core/nk_view_state.h"
#include "nkf/nkf_elements.h"
#include "nkf/nkf_faceset.h"
#include "nkf/nkf_format.h"
#include "nkf/nkf_geometry_block.h"
#include "nkf/nkf_import.h"
#include "nkf/nkf_reader.h"

namespace {

// Data words above this in the first cell index mean the words were written
// in the other byte order.
const int32_t kSwappedCellIndex = 1000000;

int32_t Swapped(int32_t iValue)
{
    uint32_t u = static_cast<uint32_t>(iValue);
    u = (u >> 24) | ((u >> 8) & 0xff00u) | ((u << 8) & 0xff0000u) | (u << 24);
    return static_cast<int32_t>(u);
}

// Polygon texts "(i, j, k)->(l, m, n)" from internal string 30000 + the face
// set's ID, six int32 per polygon. A string too short for the part's
// polygons is not used.
void AddCellIndexTexts(NKPart *pPart, int iFaceSetID)
{
    const char *pData = nullptr;
    int iSize = 0;
    if (iFaceSetID < 0 || !NKFGetInternalStringData(30000 + iFaceSetID, &pData, &iSize) ||
        pData == nullptr)
        return;
    int64_t iNeeded = static_cast<int64_t>(pPart->iNumPolygons) * 6 * 4;
    if (iNeeded == 0 || iSize < iNeeded) return;
    int32_t aiFirst;
    std::memcpy(&aiFirst, pData, 4);
    bool bSwap = aiFirst > kSwappedCellIndex;
    NKStringList *pList = new NKStringList(pPart->iNumPolygons);
    for (int j = 0; j < pPart->iNumPolygons; j++) {
        int32_t ai[6];
        std::memcpy(ai, pData + static_cast<int64_t>(j) * 24, 24);
        if (bSwap)
            for (int32_t &v : ai) v = Swapped(v);
        pList->Set(j, NKString::FromFormat("(%d, %d, %d)->(%d, %d, %d)", ai[0], ai[1], ai[2], ai[3],
                                           ai[4], ai[5])
                          .GetText());
    }
    delete pPart->pStringList;
    pPart->pStringList = pList;
}

// Removes unused nodes and internal faces as the record asks, then gives
// the kept polygon and reference counts. The record goes once its kept
// polygons are copied, so no sorted copy of its connectivity is made.
bool PrepareFaceSet(NKIndexedFaceSet *pSet, int *piPolygons, int *piConnects)
{
    if (pSet->bNodesNotCompacted && !NKRemoveUnusedNodesFromIFS(pSet)) return false;
    if (pSet->bFromElements && pSet->iNumPolygons > 0) {
        if (!NKHideInternalFacesUnsorted(pSet)) return false;
        *piPolygons = pSet->iNumKeptPolygons;
        *piConnects = pSet->iNumKeptConnects;
    } else {
        *piPolygons = pSet->iNumPolygons;
        *piConnects = pSet->iConnectLength;
    }
    return true;
}

// Moves a record array of iCount ints or floats into the part, grown by one
// zeroed entry as the part's arrays are: the record goes right after, so a
// copy would only raise the peak memory. Null when the array is null or
// cannot grow.
template <typename T>
T *TakeRecordArray(T **ppArray, int64_t iCount)
{
    T *p = static_cast<T *>(NKRealloc(*ppArray, sizeof(T) * (size_t)(iCount + 1)));
    if (p == nullptr) return nullptr;
    *ppArray = nullptr;
    p[iCount] = T();
    return p;
}

// The part's arrays; its node arrays are taken over from the record.
bool AllocatePartArrays(NKPart *pPart, NKIndexedFaceSet *pSet, int iPolygons, int iConnects)
{
    pPart->iNumNodes = pSet->iNumNodes;
    pPart->iNumPolygons = iPolygons;
    pPart->iNumConnects = iConnects;
    pPart->pNodeCoords = TakeRecordArray(&pSet->pfCoords, 3 * (int64_t)pSet->iNumNodes);
    pPart->pConnects = static_cast<int *>(NKCalloc(iConnects + 1, sizeof(int)));
    pPart->pPolygonStart = static_cast<int *>(NKCalloc(iPolygons + 1, sizeof(int)));
    pPart->pPolygonNumNodes = static_cast<int *>(NKCalloc(iPolygons + 1, sizeof(int)));
    pPart->pPolygonElements = static_cast<int *>(NKCalloc(iPolygons + 1, sizeof(int)));
    if (pSet->piNodeSourceIndex != nullptr)
        pPart->pNodeMap = TakeRecordArray(&pSet->piNodeSourceIndex, pSet->iNumNodes);
    if (pSet->piNodeIDs != nullptr)
        pPart->pNodeIDs = TakeRecordArray(&pSet->piNodeIDs, pSet->iNumNodes);
    return pPart->pNodeCoords != nullptr && pPart->pConnects != nullptr &&
           pPart->pPolygonStart != nullptr && pPart->pPolygonNumNodes != nullptr;
}

// Copies the kept polygons of the record into the part.
void CopyFaceSet(NKPart *pPart, const NKIndexedFaceSet *pSet)
{
    int iPolygon = 0, iPosition = 0;
    for (int j = 0; j < pSet->iNumPolygons && iPolygon < pPart->iNumPolygons; j++) {
        if (pSet->pbKeep != nullptr && pSet->pbKeep[j] == 0) continue;
        int iCount = pSet->piPolygonNumNodes[j];
        if (iPosition + iCount > pPart->iNumConnects) break;
        pPart->pPolygonStart[iPolygon] = iPosition;
        pPart->pPolygonNumNodes[iPolygon] = iCount;
        if (pPart->pPolygonElements != nullptr)
            pPart->pPolygonElements[iPolygon] =
                pSet->piPolygonElement != nullptr ? pSet->piPolygonElement[j] : j;
        std::memcpy(pPart->pConnects + iPosition, pSet->piConnects + pSet->piPolygonStart[j],
                    sizeof(int) * (size_t)iCount);
        iPosition += iCount;
        iPolygon++;
    }
}

// The source blocks' IDs, name, element list and colour of part i. The
// element list maps node-block indices through the part's node map (the
// record's node source indices), so it is built after the record is freed.
void SetPartSources(NKPart *pPart, NKFQuolinGeometryBlock *pBlock, int iStep, int i)
{
    pPart->iNodesBlockID = pBlock->GetPartNodeBlockId(iStep, i);
    pPart->iElementsBlockID = pBlock->GetPartElementBlockId(iStep, i);
    pPart->iFaceSetBlockID = pBlock->GetPartFaceSetBlockId(iStep, i);
    const NKString *pName = pBlock->GetPartName(i, iStep);
    if (pName != nullptr && !pName->IsEmpty()) pPart->szName = *pName;
    NKFElementList list = {0, nullptr, 0, nullptr};
    if (pPart->iElementsBlockID >= 0) {
        if (pBlock->CreatePartElements(&list, iStep, i, pPart->pNodeMap,
                                       pPart->pNodeMap != nullptr ? pPart->iNumNodes : 0)) {
            pPart->iNumElements = list.iNumElements;
            pPart->pElements = list.pElements;
            pPart->iNumElementConnects = list.iNumConnects;
            pPart->pElementConnects = list.piConnects;
        } else {
            // The part is drawn from its faces; picking and listing by
            // element find nothing in it.
            NKDiagnostic(NKString::FromFormat("No element list for part %d: its elements could "
                                              "not be read again",
                                              i + 1)
                             .GetText(),
                         "NKFCreateGeometry");
        }
    }
    NKFReader *pParser = NKFGetReader();
    const float *pfColor = nullptr;
    if (pParser != nullptr && pPart->iElementsBlockID >= 0) {
        Elements *pElements =
            dynamic_cast<Elements *>(pParser->FindBlock(NKF_ELEMENTS, pPart->iElementsBlockID));
        if (pElements != nullptr) pfColor = pElements->GetBlockColor();
    } else if (pParser != nullptr && pPart->iFaceSetBlockID >= 0) {
        NKFIndexedFaceSetBlock *pFaceSet = dynamic_cast<NKFIndexedFaceSetBlock *>(
            pParser->FindBlock(NKF_INDEXEDFACESET, pPart->iFaceSetBlockID));
        if (pFaceSet != nullptr) pfColor = pFaceSet->GetBlockColor();
    }
    if (pfColor != nullptr) {
        for (int k = 0; k < 3; k++)
            pPart->material.ambient[k] = pPart->material.diffuse[k] = pfColor[k];
    }
    pBlock->FreePartData(iStep, i);
}

}  // namespace

NKGeometry *NKFCreateGeometry(NKFQuolinGeometryBlock *pBlock, int iStep, NKIndexedFaceSet *pSets,
                              int iCount)
{
    if (pBlock == nullptr || pSets == nullptr || iCount < 1) return nullptr;
    NKGeometry *pGeo = NKCreateGeometry(iCount);
    if (pGeo == nullptr) return nullptr;
    NKBeginProgressBar(iCount, "Creating geometry...");
    NKProgressPercent percent(0, iCount, 10);
    int iFirstPolygon = 0;
    bool bOk = true;
    for (int i = 0; i < iCount && bOk; i++) {
        NKSetProgress(i, nullptr);
        if (percent.Update(static_cast<float>(i)))
            NKSetStatusText(percent.Format("Creating geometry"));
        NKIndexedFaceSet *pSet = &pSets[i];
        NKPart *pPart = &pGeo->pParts[i];
        int iPolygons = 0, iConnects = 0;
        if (pSet->bFromElements) pBlock->ReleaseBinaryPartElements(iStep, i);
        if (!PrepareFaceSet(pSet, &iPolygons, &iConnects)) {
            bOk = false;
            break;
        }
        if (pSet->iNumPolygons < 1) continue;
        if (!AllocatePartArrays(pPart, pSet, iPolygons, iConnects)) {
            bOk = false;
            break;
        }
        CopyFaceSet(pPart, pSet);
        pPart->iFirstPolygon = iFirstPolygon;
        iFirstPolygon += pPart->iNumPolygons;
        NKFreePolygonMesh(pSet);
        SetPartSources(pPart, pBlock, iStep, i);
        if (NKGetPolygonInfoInPick() && pPart->iFaceSetBlockID >= 0)
            AddCellIndexTexts(pPart, pPart->iFaceSetBlockID);
    }
    NKEndProgressBar("Done.");
    if (!bOk) {
        NKReleaseGeometry(pGeo);
        return nullptr;
    }
    return pGeo;
}
