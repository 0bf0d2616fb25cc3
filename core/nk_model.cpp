// core/nk_model.cpp -- making, initialising, sharing and freeing the model
// records of nk_model.h, and the part attributes every new geometry gets.
//
// Records that hold NKString texts are placed into NKAlloc memory with
// placement new and destroyed before NKFree, so that texts of any length are
// owned and freed with their record. The frame array operations that build on
// these records are in nk_frames.cpp; the tool objects a frame owns (cut
// surfaces, iso-surfaces, traces) are freed through the tools' own functions.
#include "core/nk_model.h"

#include <cstring>
#include <new>
#include <utility>

#include "core/nk_diagnostic.h"
#include "core/nk_frame_results.h"
#include "core/nk_memory.h"
#include "core/nk_model_hooks.h"
#include "core/nk_part_palette.h"

NKModel *g_pModel = nullptr;

namespace {

// A new record of type T in NKAlloc memory, at its initial values.
template <typename T>
T *NewRecord()
{
    void *pMemory = NKAlloc(sizeof(T));
    return pMemory != nullptr ? new (pMemory) T() : nullptr;
}

// Destroys a record made by NewRecord; the record's owned arrays must have
// been freed before.
template <typename T>
void DeleteRecord(T *pRecord)
{
    pRecord->~T();
    NKFree(pRecord);
}

// n records of type T at their initial values; null for n < 1.
template <typename T>
T *NewRecordArray(int n)
{
    if (n < 1) return nullptr;
    void *pMemory = NKAlloc(sizeof(T) * static_cast<size_t>(n));
    if (pMemory == nullptr) return nullptr;
    T *pArray = static_cast<T *>(pMemory);
    for (int i = 0; i < n; i++) new (pArray + i) T();
    return pArray;
}

template <typename T>
void DeleteRecordArray(T *pArray, int n)
{
    for (int i = 0; i < n; i++) pArray[i].~T();
    NKFree(pArray);
}

void SetColor(float *pfColor, float r, float g, float b)
{
    pfColor[0] = r;
    pfColor[1] = g;
    pfColor[2] = b;
}

bool IsColorUnset(const float *pfColor) { return pfColor[0] < -0.5f; }

void CopyColor(float *pfDst, const float *pfSrc) { std::memcpy(pfDst, pfSrc, 3 * sizeof(float)); }

// Sets a box to the empty box (minima +1e12, maxima -1e12).
void SetEmptyBox(float *pfBox)
{
    for (int i = 0; i < 3; i++) {
        pfBox[i] = NK_EMPTY_MIN;
        pfBox[i + 3] = NK_EMPTY_MAX;
    }
}

// The first ten display flags of a part.
void CopyFirstTenFlags(NKPart *pDst, const NKPart *pSrc)
{
    pDst->bFringes = pSrc->bFringes;
    pDst->bDisplacements = pSrc->bDisplacements;
    pDst->bSmooth = pSrc->bSmooth;
    pDst->bMesh = pSrc->bMesh;
    pDst->bVectors = pSrc->bVectors;
    pDst->bTransparent = pSrc->bTransparent;
    pDst->bShowNormals = pSrc->bShowNormals;
    pDst->bHighlighted = pSrc->bHighlighted;
    pDst->bSelected = pSrc->bSelected;
    pDst->bCulled = pSrc->bCulled;
    pDst->uLodLevel = pSrc->uLodLevel;
}

// The attributes a part takes from the model's default part.
void CopyDefaultPartAttributes(NKPart *pDst, const NKPart *pDefault)
{
    pDst->bVisible = pDefault->bVisible;
    pDst->iDrawStyle = pDefault->iDrawStyle;
    CopyFirstTenFlags(pDst, pDefault);
    pDst->bOutlineFlag = pDefault->bOutlineFlag;
    pDst->material.alpha = pDefault->material.alpha;
    pDst->material.shininess = pDefault->material.shininess;
}

// The default part's own values, as NKInitDefaultPart sets them.
void SetDefaultPartValues(NKPart *pPart)
{
    NKInitPart(pPart);
    SetColor(pPart->material.ambient, 1.0f, 0.0f, 0.0f);
    SetColor(pPart->material.diffuse, 1.0f, 0.0f, 0.0f);
    pPart->material.shininess = 10;
    pPart->material.alpha = 179;
    pPart->bVisible = 1;
    pPart->iDrawStyle = NK_DRAW_SURFACE;
    // The ten display flags and the outline flag are already 0 after
    // NKInitPart.
}

void FreeScalarEntries(NKScalarPartEntry *pEntries, int n)
{
    if (pEntries == nullptr) return;
    for (int i = 0; i < n; i++) NKFreeScalarPartEntry(&pEntries[i]);
    NKFree(pEntries);
}

// Frees the per-part arrays of a frame whose length comes from its geometry.
void FreeFramePartArrays(NKFrame *pFrame, int iNumParts)
{
    if (pFrame->ppVisibility != nullptr) {
        for (int i = 0; i < iNumParts; i++) NKFree(pFrame->ppVisibility[i]);
    }
    int iNumCuts = pFrame->iNumCutSurfaces;
    if (iNumCuts > NK_MAX_CUT_SURFACES) iNumCuts = NK_MAX_CUT_SURFACES;
    for (int i = 0; i < iNumCuts; i++) {
        CutSurface *pCut = pFrame->pCutSurfaces[i];
        if (pCut == nullptr) continue;
        NKReleaseCutSurface(pCut);
        pFrame->pCutSurfaces[i] = nullptr;
    }
    NKFreeFrameIsoSurfaces(pFrame);
    NKFreeFrameTraces(pFrame);
    if (pFrame->pContours != nullptr) {
        for (int i = 0; i < iNumParts; i++) NKFreeContourList(&pFrame->pContours[i]);
    }
    NKFree(pFrame->pContours);
    NKFree(pFrame->ppVisibility);
    pFrame->pContours = nullptr;
    pFrame->ppVisibility = nullptr;
}

// Releases the shared records a frame holds and clears its slots.
void ReleaseFrameSharedRecords(NKFrame *pFrame)
{
    for (int i = 0; i < NK_NUM_SEPARATE_VECTOR_SLOTS; i++) {
        NKReleaseSeparateVectorField(pFrame->pSeparateVectors[i]);
        pFrame->pSeparateVectors[i] = nullptr;
    }
    NKFreeAndClear(&pFrame->pTransformation);
    // Each shared record is released and the frame left without it.
    NKReleaseViewPoint(std::exchange(pFrame->pViewPoint, nullptr));
    NKReleaseGeometry(std::exchange(pFrame->pGeometry, nullptr));
    NKReleaseScalarResult(std::exchange(pFrame->pScalar, nullptr));
    NKReleaseVectorResult(std::exchange(pFrame->pVector, nullptr));
    for (int i = 0; i < NK_NUM_EXTRA_RESULTS; i++) {
        NKReleaseScalarResult(pFrame->pExtraScalar[i]);
        NKReleaseVectorResult(pFrame->pExtraVector[i]);
        pFrame->pExtraScalar[i] = nullptr;
        pFrame->pExtraVector[i] = nullptr;
    }
}

}  // namespace

// ---- Making and destroying records ------------------------------------------

NKModel::NKModel()
{
    NKInitDefaultPart(this);
    NKInitValueRange(&valueRanges[0]);
    NKInitValueRange(&valueRanges[1]);
    NKInitValueRangeUnit(&valueRanges[2]);
    NKInitValueRangeUnit(&valueRanges[3]);
    for (int i = 4; i < NK_NUM_VALUE_RANGES; i++) NKInitSeparateVectorRange(&valueRanges[i]);
}

NKModel *NKCreateModel(void) { return NewRecord<NKModel>(); }

void NKDestroyModel(NKModel *pModel)
{
    if (pModel == nullptr) return;
    NKFreeModelFrames(pModel);
    NKFreePart(&pModel->defaultPart);
    DeleteRecord(pModel);
}

NKScalarResult *NKCreateScalarResult(void) { return NewRecord<NKScalarResult>(); }

NKVectorResult *NKCreateVectorResult(void) { return NewRecord<NKVectorResult>(); }

NKViewPoint *NKCreateViewPoint(void) { return NewRecord<NKViewPoint>(); }

NKSeparateVectorField *NKCreateSeparateVectorField(void)
{
    return NewRecord<NKSeparateVectorField>();
}

NKPart *NKAllocPartArray(int n) { return NewRecordArray<NKPart>(n); }

void NKFreePartArray(NKPart *pParts, int n)
{
    if (pParts == nullptr) return;
    for (int i = 0; i < n; i++) NKFreePart(&pParts[i]);
    DeleteRecordArray(pParts, n);
}

bool NKResizePartArray(NKPart **ppParts, int iOld, int iNew)
{
    if (ppParts == nullptr) return NKDiagnostic("Null part array", "NKResizePartArray");
    if (iOld < 0) iOld = 0;
    if (iNew < 0) iNew = 0;
    if (iNew == iOld) return true;
    NKPart *pNew = nullptr;
    if (iNew > 0) {
        pNew = NKAllocPartArray(iNew);
        if (pNew == nullptr) return NKDiagnostic("Out of memory", "NKResizePartArray");
    }
    NKPart *pOld = *ppParts;
    int iKept = iNew < iOld ? iNew : iOld;
    // Kept parts hand their owned arrays over to the new array; their old
    // records are then only destroyed, dropped ones are freed.
    for (int i = 0; i < iKept; i++) pNew[i] = std::move(pOld[i]);
    for (int i = iKept; i < iOld; i++) NKFreePart(&pOld[i]);
    if (pOld != nullptr) DeleteRecordArray(pOld, iOld);
    *ppParts = pNew;
    return true;
}

NKFrame *NKAllocFrameArray(int n) { return NewRecordArray<NKFrame>(n); }

void NKFreeFrameArray(NKFrame *pFrames, int n)
{
    if (pFrames == nullptr) return;
    for (int i = 0; i < n; i++) NKReleaseFrame(&pFrames[i]);
    DeleteRecordArray(pFrames, n);
}

// ---- Small records ------------------------------------------------------------

void NKZeroBox(float *pfBox)
{
    if (pfBox == nullptr) return;
    for (int i = 0; i < 6; i++) pfBox[i] = 0.0f;
}

void NKInitMaterial(NKMaterial *pMaterial)
{
    if (pMaterial != nullptr) *pMaterial = NKMaterial();
}

void NKInitHotSpot(NKHotSpot *pHotSpot)
{
    if (pHotSpot != nullptr) *pHotSpot = NKHotSpot();
}

void NKInitPickInfo(NKPickInfo *pPick)
{
    if (pPick != nullptr) *pPick = NKPickInfo();
}

void NKInitPartListCache(NKPartListCache *pCache)
{
    if (pCache != nullptr) *pCache = NKPartListCache();
}

void NKFreePartListCache(NKPartListCache *pCache)
{
    if (pCache == nullptr) return;
    NKFree(pCache->pOpaqueParts);
    NKFree(pCache->pHiddenLineParts);
    NKFree(pCache->pTransparentParts);
    *pCache = NKPartListCache();
}

void NKInitContourList(NKContourList *pList)
{
    if (pList != nullptr) *pList = NKContourList();
}

void NKFreeContourList(NKContourList *pList)
{
    if (pList == nullptr) return;
    NKFree(pList->pLines);
    *pList = NKContourList();
}

void NKMinMax::Reset() { *this = NKMinMax(); }

void NKMinMax::Merge(const NKMinMax &other, int iFrame)
{
    if (other.min < min) {
        min = other.min;
        iMinPart = other.iMinPart;
        iMinNode = other.iMinNode;
        iMinFrame = iFrame >= 0 ? iFrame : other.iMinFrame;
    }
    if (other.max > max) {
        max = other.max;
        iMaxPart = other.iMaxPart;
        iMaxNode = other.iMaxNode;
        iMaxFrame = iFrame >= 0 ? iFrame : other.iMaxFrame;
    }
}

void NKMinMax::Update(float fValue, int iPart, int iNode, int iFrame)
{
    if (fValue < min) {
        min = fValue;
        iMinPart = iPart;
        iMinNode = iNode;
        if (iFrame >= 0) iMinFrame = iFrame;
    }
    if (fValue > max) {
        max = fValue;
        iMaxPart = iPart;
        iMaxNode = iNode;
        if (iFrame >= 0) iMaxFrame = iFrame;
    }
}

void NKInitValueRange(NKValueRange *pRange)
{
    if (pRange != nullptr) *pRange = NKValueRange();
}

void NKInitValueRangeUnit(NKValueRange *pRange)
{
    if (pRange == nullptr) return;
    *pRange = NKValueRange();
    pRange->from = 1.0f;
    pRange->to = 1.0f;
}

void NKInitSeparateVectorRange(NKValueRange *pRange)
{
    if (pRange == nullptr) return;
    *pRange = NKValueRange();
    pRange->fMaxLength = 0.0f;
    pRange->fLengthScale = 1.0f;
    pRange->fSecondFactor = 1.0f;
}

// ---- Parts ------------------------------------------------------------------

void NKInitPart(NKPart *pPart)
{
    if (pPart != nullptr) *pPart = NKPart();
}

void NKFreePart(NKPart *pPart)
{
    if (pPart == nullptr) return;
    void *apArrays[] = {pPart->pEdgeKinds,       pPart->pNodeType,        pPart->pNodeCoords,
                        pPart->pConnects,        pPart->pNodeNormals,     pPart->pPolygonNormals,
                        pPart->pPolygonNumNodes, pPart->pPolygonStart,    pPart->pElements,
                        pPart->pElementConnects, pPart->pPolygonElements, pPart->pNodeMap,
                        pPart->pNodeIDs};
    for (void *pArray : apArrays) NKFree(pArray);
    // Every freed pointer is cleared, so a part freed twice frees nothing
    // twice.
    pPart->pEdgeKinds = nullptr;
    pPart->pNodeType = nullptr;
    pPart->pNodeCoords = nullptr;
    pPart->pConnects = nullptr;
    pPart->pNodeNormals = nullptr;
    pPart->pPolygonNormals = nullptr;
    pPart->pPolygonNumNodes = nullptr;
    pPart->pPolygonStart = nullptr;
    pPart->pElements = nullptr;
    pPart->pElementConnects = nullptr;
    pPart->pPolygonElements = nullptr;
    pPart->pNodeMap = nullptr;
    pPart->pNodeIDs = nullptr;
    NKFreeContourList(&pPart->contours);
    delete pPart->pTriangleStrips;
    pPart->pTriangleStrips = nullptr;
    if (pPart->pPrimitives != nullptr) {
        NKReleasePrimitives(pPart->pPrimitives);
        pPart->pPrimitives = nullptr;
    }
    delete pPart->pStringList;
    pPart->pStringList = nullptr;
}

void NKInitDefaultPart(NKModel *pModel)
{
    if (pModel != nullptr) SetDefaultPartValues(&pModel->defaultPart);
}

// ---- Geometry ----------------------------------------------------------------

void NKInitGeometry(NKGeometry *pGeo)
{
    if (pGeo != nullptr) *pGeo = NKGeometry();
}

void NKReleaseGeometry(NKGeometry *pGeo)
{
    if (pGeo == nullptr) return;
    if (--pGeo->iNumRef > 0) return;
    NKFreePartArray(pGeo->pParts, pGeo->iNumParts);
    pGeo->pParts = nullptr;
    NKFree(pGeo->pPolygonMap);
    NKFree(pGeo->pElementRecords);
    NKFree(pGeo->pElementGrid);
    NKFreePartListCache(&pGeo->partLists);
    DeleteRecord(pGeo);
}

NKGeometry *NKCreateGeometry(int n)
{
    NKGeometry *pGeo = NewRecord<NKGeometry>();
    if (pGeo == nullptr) return nullptr;
    if (n > 0) {
        pGeo->pParts = NKAllocPartArray(n);
        if (pGeo->pParts == nullptr) {
            NKReleaseGeometry(pGeo);
            return nullptr;
        }
    }
    pGeo->iNumParts = n > 0 ? n : 0;
    return pGeo;
}

// ---- Results and viewpoints --------------------------------------------------

void NKInitScalarPartEntry(NKScalarPartEntry *pEntry)
{
    if (pEntry != nullptr) *pEntry = NKScalarPartEntry();
}

void NKFreeScalarPartEntry(NKScalarPartEntry *pEntry)
{
    if (pEntry == nullptr) return;
    NKFree(pEntry->pNodeValues);
    NKFree(pEntry->pTexCoords);
    NKFree(pEntry->pColors);
    *pEntry = NKScalarPartEntry();
}

void NKInitScalarResult(NKScalarResult *pResult)
{
    if (pResult != nullptr) *pResult = NKScalarResult();
}

void NKReleaseScalarResult(NKScalarResult *pResult)
{
    if (pResult == nullptr) return;
    if (--pResult->iNumRef > 0) return;
    FreeScalarEntries(pResult->pNodeResults, pResult->iNumParts);
    FreeScalarEntries(pResult->pElementResults, pResult->iNumParts);
    DeleteRecord(pResult);
}

void NKInitVectorPartEntry(NKVectorPartEntry *pEntry)
{
    if (pEntry != nullptr) *pEntry = NKVectorPartEntry();
}

void NKFreeVectorPartEntry(NKVectorPartEntry *pEntry)
{
    if (pEntry == nullptr) return;
    NKFree(pEntry->pNodeValues);
    NKFree(pEntry->pPolygonValues);
    NKFree(pEntry->pNodeNormals);
    NKFree(pEntry->pPolygonNormals);
    *pEntry = NKVectorPartEntry();
}

void NKInitVectorResult(NKVectorResult *pResult)
{
    if (pResult != nullptr) *pResult = NKVectorResult();
}

void NKReleaseVectorResult(NKVectorResult *pResult)
{
    if (pResult == nullptr) return;
    if (--pResult->iNumRef > 0) return;
    if (pResult->pResults != nullptr) {
        for (int i = 0; i < pResult->iNumParts; i++) NKFreeVectorPartEntry(&pResult->pResults[i]);
        NKFree(pResult->pResults);
    }
    DeleteRecord(pResult);
}

void NKInitViewPoint(NKViewPoint *pViewPoint)
{
    if (pViewPoint != nullptr) *pViewPoint = NKViewPoint();
}

void NKReleaseViewPoint(NKViewPoint *pViewPoint)
{
    if (pViewPoint == nullptr) return;
    if (--pViewPoint->iNumRef > 0) return;
    DeleteRecord(pViewPoint);
}

void NKInitSeparateVectorField(NKSeparateVectorField *pField)
{
    if (pField != nullptr) *pField = NKSeparateVectorField();
}

void NKReleaseSeparateVectorField(NKSeparateVectorField *pField)
{
    if (pField == nullptr) return;
    if (--pField->iNumRef >= 1) return;
    if (pField->pParts != nullptr) {
        for (int i = 0; i < pField->iNumParts; i++) NKFree(pField->pParts[i].pItems);
        NKFree(pField->pParts);
    }
    DeleteRecord(pField);
}

// ---- Frames and the model -----------------------------------------------------

void NKInitFrame(NKFrame *pFrame)
{
    if (pFrame != nullptr) *pFrame = NKFrame();
}

// Frees what the frame owns and releases what it shares, in this order: the
// per-part arrays and tool objects (their lengths come from the geometry, so
// before the geometry goes), the separate vector fields, the matrices, the
// main shared records, the extra results and the part boxes. Every slot is
// cleared, so releasing a frame twice does no harm.
void NKReleaseFrame(NKFrame *pFrame)
{
    if (pFrame == nullptr) return;
    int iNumParts = pFrame->pGeometry != nullptr ? pFrame->pGeometry->iNumParts : 0;
    FreeFramePartArrays(pFrame, iNumParts);
    ReleaseFrameSharedRecords(pFrame);
    NKFree(pFrame->pPartBoundingBoxes);
    pFrame->pPartBoundingBoxes = nullptr;
}

void NKInitModel(NKModel *pModel)
{
    if (pModel == nullptr) return;
    *pModel = NKModel();
}

void NKFreeModelFrames(NKModel *pModel)
{
    if (pModel == nullptr) return;
    NKFreeFrameArray(pModel->pFrames, pModel->iNumFrames);
    pModel->pFrames = nullptr;
    pModel->iNumFrames = 0;
    pModel->iCurrentFrame = 0;
    pModel->iPreviousFrame = 0;
    pModel->iAnimationFromFrame = 0;
    pModel->iAnimationToFrame = 0;
    pModel->iAnimationSkipBy = 1;
    pModel->animationType = 0;
    pModel->bAnimationCycle = 0;
    SetEmptyBox(pModel->fBoundingBox);
    pModel->fFringeRangeFrom = 0.0f;
    pModel->fFringeRangeTo = 0.0f;
    pModel->fGeoScale = NK_GEO_SCALE_UNSET;
    pModel->iSecondaryScalar = -1;
    pModel->iSecondaryVector = -1;
    pModel->iNumGeoSteps = 0;
    pModel->iNumScalarSteps = 0;
    pModel->iNumVectorSteps = 0;
}

// ---- Part attributes -------------------------------------------------------

namespace {

void CopyOnePartAttributes(const NKPart *pSrc, NKPart *pDst)
{
    pDst->szName = pSrc->szName;
    pDst->pTexture = pSrc->pTexture;
    pDst->iTexturePlane = pSrc->iTexturePlane;
    pDst->envmode = pSrc->envmode;
    pDst->bTextureTile = pSrc->bTextureTile;
    pDst->bTextureFlag = pSrc->bTextureFlag;
    NKMaterial *pMat = &pDst->material;
    if (IsColorUnset(pMat->ambient)) CopyColor(pMat->ambient, pSrc->material.ambient);
    if (IsColorUnset(pMat->diffuse)) CopyColor(pMat->diffuse, pSrc->material.diffuse);
    if (IsColorUnset(pMat->specular)) CopyColor(pMat->specular, pSrc->material.specular);
    if (IsColorUnset(pMat->emission)) CopyColor(pMat->emission, pSrc->material.emission);
    pMat->alpha = pSrc->material.alpha;
    pMat->shininess = pSrc->material.shininess;
    pDst->uTextureMode[0] = pSrc->uTextureMode[0];
    pDst->uTextureMode[1] = pSrc->uTextureMode[1];
    pDst->bVisible = pSrc->bVisible;
    pDst->iDrawStyle = pSrc->iDrawStyle;
    CopyFirstTenFlags(pDst, pSrc);
    pDst->bPointsAsSpheres = pSrc->bPointsAsSpheres;
    pDst->bLinesAsCylinders = pSrc->bLinesAsCylinders;
    pDst->fSphereSize = pSrc->fSphereSize;
    pDst->uSizeFlag = pSrc->uSizeFlag;
    pDst->fCylinderSize = pSrc->fCylinderSize;
    pDst->bOutlineMesh = pSrc->bOutlineMesh;
    pDst->bOutlineMeshDefaultColor = pSrc->bOutlineMeshDefaultColor;
    std::memcpy(pDst->uOutlineMeshColor, pSrc->uOutlineMeshColor, 3);
    pDst->bOutlineFlag = pSrc->bOutlineFlag;
    pDst->bLockAttributes = pSrc->bLockAttributes;
}

}  // namespace

bool NKCopyPartAttributes(const NKGeometry *pSrc, NKGeometry *pDst)
{
    if (pSrc == nullptr || pDst == nullptr || pSrc->pParts == nullptr || pDst->pParts == nullptr)
        return false;
    int iNumCopied = pSrc->iNumParts < pDst->iNumParts ? pSrc->iNumParts : pDst->iNumParts;
    for (int i = 0; i < iNumCopied; i++) CopyOnePartAttributes(&pSrc->pParts[i], &pDst->pParts[i]);
    if (pDst->iNumParts > iNumCopied)
        NKSetDefaultPartAttributes(pDst, iNumCopied, pDst->iNumParts - 1);
    return true;
}

// Without a model the default part's own initial values stand in for it.
bool NKSetDefaultPartAttributes(NKGeometry *pGeo, int iFirst, int iLast)
{
    if (pGeo == nullptr || pGeo->pParts == nullptr) return false;
    if (iFirst < 0) iFirst = 0;
    if (iLast < 0 || iLast >= pGeo->iNumParts) iLast = pGeo->iNumParts - 1;
    if (iFirst > iLast) return true;
    NKPart fallback;
    if (g_pModel == nullptr) SetDefaultPartValues(&fallback);
    const NKPart *pDefault = g_pModel != nullptr ? &g_pModel->defaultPart : &fallback;
    for (int i = iFirst; i <= iLast; i++) {
        NKPart *pPart = &pGeo->pParts[i];
        NKMaterial *pMat = &pPart->material;
        const uint8_t *pEntry = NKPartPalette[i % NK_PART_PALETTE_SIZE];
        float r = pEntry[0] / 255.0f, g = pEntry[1] / 255.0f, b = pEntry[2] / 255.0f;
        if (IsColorUnset(pMat->ambient)) SetColor(pMat->ambient, r, g, b);
        if (IsColorUnset(pMat->diffuse)) SetColor(pMat->diffuse, r, g, b);
        if (IsColorUnset(pMat->emission)) SetColor(pMat->emission, 0.3f, 0.3f, 0.3f);
        if (IsColorUnset(pMat->specular)) SetColor(pMat->specular, 0.4f, 0.4f, 0.4f);
        CopyDefaultPartAttributes(pPart, pDefault);
        pPart->bOutlineMesh = 1;
        pPart->bOutlineMeshDefaultColor = 0;
        std::memset(pPart->uOutlineMeshColor, 0, 3);
    }
    return true;
}

// Connectivity entries outside the part's nodes are skipped, so a damaged
// part cannot make this write past its node array.
bool NKCalculateFastNodes(NKGeometry *pGeo)
{
    if (pGeo == nullptr) return NKDiagnostic("Null geometry", "NKCalculateFastNodes");
    for (int i = 0; i < pGeo->iNumParts && pGeo->pParts != nullptr; i++) {
        NKPart *pPart = &pGeo->pParts[i];
        if (pPart->iNumNodes < 1) continue;
        NKFree(pPart->pNodeType);
        pPart->pNodeType = static_cast<uint8_t *>(NKCalloc(pPart->iNumNodes, 1));
        if (pPart->pNodeType == nullptr)
            return NKDiagnostic("Error allocating memory for node types", "NKCalculateFastNodes");
        if (pPart->pConnects == nullptr) continue;
        for (int k = 0; k < pPart->iNumConnects; k++) {
            int iNode = pPart->pConnects[k];
            if (iNode >= 0 && iNode < pPart->iNumNodes) pPart->pNodeType[iNode] = 1;
        }
    }
    return true;
}

// ---- Triangle strips and string lists ------------------------------------

void NKTriangleStrips::Clear()
{
    iWord = 0;
    iNumStrips = 0;
    pStripLengths = nullptr;
    pNodeIndices = nullptr;
    pPolygonIndices = nullptr;
}

void NKTriangleStrips::Free()
{
    NKFree(pStripLengths);
    NKFree(pNodeIndices);
    NKFree(pPolygonIndices);
    Clear();
}

bool NKTriangleStrips::HasStrips(const NKTriangleStrips *pStrips)
{
    return pStrips != nullptr && pStrips->iNumStrips > 0;
}

NKStringList::NKStringList(int n)
{
    if (n < 1) return;
    m_ppTexts = new (std::nothrow) char *[n]();
    if (m_ppTexts != nullptr) m_iCount = n;
}

NKStringList::~NKStringList()
{
    for (int i = 0; i < m_iCount; i++) delete[] m_ppTexts[i];
    delete[] m_ppTexts;
}

// The index is checked: a text stored outside the list would write past it.
bool NKStringList::Set(int i, const char *pszText)
{
    if (i < 0 || i >= m_iCount) return false;
    delete[] m_ppTexts[i];
    m_ppTexts[i] = nullptr;
    if (pszText == nullptr) return true;
    size_t iLength = std::strlen(pszText);
    m_ppTexts[i] = new (std::nothrow) char[iLength + 1];
    if (m_ppTexts[i] == nullptr) return false;
    std::memcpy(m_ppTexts[i], pszText, iLength + 1);
    return true;
}

const char *NKStringList::Get(int i) const
{
    return i >= 0 && i < m_iCount ? m_ppTexts[i] : nullptr;
}
