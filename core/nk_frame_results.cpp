// core/nk_frame_results.cpp -- per-part access to a frame's results, result
// copies, part-array resizing, frame times and cut-surface clean-up (see
// nk_frame_results.h).
//
// Works on the records of nk_model.h through g_pModel and the frame accessors
// of nk_frames.h. New result entries are coloured through the fringe colour
// mapping of render/nk_fringes.h; the texture-fringe switch comes from the
// graphics settings (core/nk_graphics_settings.h); the count of transformation
// results from the data source (core/nk_data_source_kind.h).
#include "core/nk_frame_results.h"

#include <cstring>

#include "core/nk_data_source_kind.h"
#include "core/nk_diagnostic.h"
#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_math.h"
#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_numeric.h"

namespace {

// A new block holding a copy of iBytes bytes of pSrc; null for a null source
// or when out of memory.
void *CopyBlock(const void *pSrc, size_t iBytes)
{
    if (pSrc == nullptr || iBytes == 0) return nullptr;
    void *pCopy = NKAlloc(iBytes);
    if (pCopy != nullptr) std::memcpy(pCopy, pSrc, iBytes);
    return pCopy;
}

// Copies the array pSrc of iCount items of iItemSize bytes into *ppDst; true
// when there was nothing to copy or the copy was made.
template <typename T>
bool CopyArray(T **ppDst, const T *pSrc, int iCount, size_t iItemSize)
{
    if (pSrc == nullptr || iCount < 1) return true;
    *ppDst = static_cast<T *>(CopyBlock(pSrc, static_cast<size_t>(iCount) * iItemSize));
    return *ppDst != nullptr;
}

NKPart *ResolvePart(int i, NKPart *p, const NKFrame *f)
{
    return p != nullptr ? p : NKGetFramePart(f, i);
}

// True when part p of the frame is drawn displaced: its flag is on and the
// frame's vector result has node values for it.
bool ShowsDisplacements(int i, const NKPart *p, const NKFrame *f)
{
    if (p == nullptr || !p->bDisplacements) return false;
    const NKVectorPartEntry *pEntry = NKGetPartVectorEntry(i, f);
    return pEntry != nullptr && pEntry->pNodeValues != nullptr;
}

int GeometryPartCount(const NKFrame *f)
{
    return f != nullptr && f->pGeometry != nullptr && f->pGeometry->pParts != nullptr
               ? f->pGeometry->iNumParts
               : 0;
}

}  // namespace

// ---- Per-part access ----------------------------------------------------------

float *GetPartNodeCoords(int i, NKPart *p, NKFrame *f)
{
    if (f == nullptr) f = NKGetCurrentFrame();
    if (f == nullptr) return nullptr;
    p = ResolvePart(i, p, f);
    if (p == nullptr) return nullptr;
    if (ShowsDisplacements(i, p, f)) return NKGetPartVectorEntry(i, f)->pNodeValues;
    return p->pNodeCoords;
}

// An entry with fewer values than the part has nodes gives no displacements
// rather than a read past its values.
float *NKComputePartDisplacements(int i, const NKPart *p, const NKFrame *f, int iSlot)
{
    if (p == nullptr || f == nullptr || f->pVector == nullptr || p->pNodeCoords == nullptr)
        return nullptr;
    const NKVectorResult *pResult = nullptr;
    if (iSlot == 0) pResult = f->pVector;
    if (iSlot > 0 && iSlot < NK_NUM_EXTRA_RESULTS) pResult = f->pExtraVector[iSlot];
    if (pResult == nullptr || pResult->pResults == nullptr || i < 0 || i >= pResult->iNumParts)
        return nullptr;
    const NKVectorPartEntry *pEntry = &pResult->pResults[i];
    if (pEntry->pNodeValues == nullptr || pEntry->iNumNodes < p->iNumNodes || p->iNumNodes < 1)
        return nullptr;
    size_t iCount = static_cast<size_t>(p->iNumNodes) * 3;
    float *pfOut = static_cast<float *>(NKAlloc(iCount * sizeof(float)));
    if (pfOut == nullptr) return nullptr;
    for (size_t k = 0; k < iCount; k++) pfOut[k] = pEntry->pNodeValues[k] - p->pNodeCoords[k];
    return pfOut;
}

int8_t *NKGetPartNodeNormals(int i, NKPart *p, const NKFrame *f)
{
    p = ResolvePart(i, p, f);
    if (p == nullptr) return nullptr;
    if (ShowsDisplacements(i, p, f)) return NKGetPartVectorEntry(i, f)->pNodeNormals;
    return p->pNodeNormals;
}

int8_t *NKGetPartPolygonNormals(int i, NKPart *p, const NKFrame *f)
{
    p = ResolvePart(i, p, f);
    if (p == nullptr) return nullptr;
    if (ShowsDisplacements(i, p, f)) return NKGetPartVectorEntry(i, f)->pPolygonNormals;
    return p->pPolygonNormals;
}

uint8_t *NKGetPartNodeColors(int i, const NKPart *p, const NKFrame *f)
{
    if (p == nullptr || !p->bFringes) return nullptr;
    NKScalarPartEntry *pEntry = NKGetPartScalarEntry(i, f);
    return pEntry != nullptr ? pEntry->pColors : nullptr;
}

uint8_t *NKGetPartElementColors(int i, const NKPart *p, const NKFrame *f)
{
    if (p == nullptr || !p->bFringes || p->iNumElements < 1) return nullptr;
    NKScalarPartEntry *pEntry = NKGetPartElementScalarEntry(i, f);
    return pEntry != nullptr ? pEntry->pColors : nullptr;
}

float *NKGetPartNodeTexCoords(int i, const NKPart *p, const NKFrame *f)
{
    if (p == nullptr || !p->bFringes || !NKTextureFringesOn()) return nullptr;
    NKScalarPartEntry *pEntry = NKGetPartScalarEntry(i, f);
    return pEntry != nullptr ? pEntry->pTexCoords : nullptr;
}

NKScalarPartEntry *NKGetPartScalarEntry(int i, const NKFrame *f)
{
    if (f == nullptr || f->pScalar == nullptr || f->pScalar->pNodeResults == nullptr)
        return nullptr;
    if (i < 0 || i >= f->pScalar->iNumParts) return nullptr;
    return &f->pScalar->pNodeResults[i];
}

NKScalarPartEntry *NKGetPartElementScalarEntry(int i, const NKFrame *f)
{
    if (f == nullptr || f->pScalar == nullptr || f->pScalar->pElementResults == nullptr)
        return nullptr;
    if (i < 0 || i >= f->pScalar->iNumParts) return nullptr;
    return &f->pScalar->pElementResults[i];
}

NKVectorPartEntry *NKGetPartVectorEntry(int i, const NKFrame *f)
{
    if (f == nullptr || f->pVector == nullptr || f->pVector->pResults == nullptr) return nullptr;
    if (i < 0 || i >= f->pVector->iNumParts) return nullptr;
    return &f->pVector->pResults[i];
}

uint8_t *NKGetPartVisibility(const NKFrame *f, int i)
{
    if (f == nullptr || f->ppVisibility == nullptr) return nullptr;
    if (i < 0 || i >= GeometryPartCount(f)) return nullptr;
    return f->ppVisibility[i];
}

int NKGetTotalNumElements(const NKGeometry *pGeo)
{
    if (pGeo == nullptr || pGeo->pParts == nullptr) return 0;
    int iTotal = 0;
    for (int i = 0; i < pGeo->iNumParts; i++) iTotal += pGeo->pParts[i].iNumElements;
    return iTotal;
}

// ---- Visibility bytes ---------------------------------------------------------------

void NKSetVisibilityBits(NKFrame *f, int iPart, uint8_t uMask, uint8_t uValue)
{
    int iNumParts = GeometryPartCount(f);
    if (iNumParts < 1 || f->ppVisibility == nullptr) return;
    int iFirst = iPart < 0 ? 0 : iPart;
    int iLast = iPart < 0 ? iNumParts - 1 : iPart;
    if (iLast >= iNumParts) return;
    for (int i = iFirst; i <= iLast; i++) {
        uint8_t *pBytes = f->ppVisibility[i];
        if (pBytes == nullptr) continue;
        int n = f->pGeometry->pParts[i].iNumPolygons;
        for (int k = 0; k < n; k++)
            pBytes[k] = static_cast<uint8_t>((pBytes[k] & ~uMask) | (uMask & uValue));
    }
}

void NKReverseErosionFlags(NKFrame *f)
{
    int iNumParts = GeometryPartCount(f);
    if (iNumParts < 1 || f->ppVisibility == nullptr) return;
    for (int i = 0; i < iNumParts; i++) {
        uint8_t *pBytes = f->ppVisibility[i];
        if (pBytes == nullptr) continue;
        int n = f->pGeometry->pParts[i].iNumPolygons;
        for (int k = 0; k < n; k++) pBytes[k] ^= NK_VISIBILITY_ERODED;
    }
}

// ---- Copies ---------------------------------------------------------------------------

bool NKCopyScalarPartEntry(NKScalarPartEntry *pDst, const NKScalarPartEntry *pSrc)
{
    if (pDst == nullptr || pSrc == nullptr)
        return NKDiagnostic("Null entry", "NKCopyScalarPartEntry");
    int n = pSrc->iCount;
    bool bOk = CopyArray(&pDst->pNodeValues, pSrc->pNodeValues, n, sizeof(float)) &&
               CopyArray(&pDst->pTexCoords, pSrc->pTexCoords, n, sizeof(float)) &&
               CopyArray(&pDst->pColors, pSrc->pColors, n, 3);
    if (!bOk) {
        NKFreeScalarPartEntry(pDst);
        NKPrintError("Out of memory.");
        return false;
    }
    pDst->iCount = n;
    return true;
}

bool NKCopy3DResults(NKVectorPartEntry *pDst, const NKVectorPartEntry *pSrc)
{
    if (pDst == nullptr || pSrc == nullptr)
        return NKDiagnostic("pToResult or pFromResult is NULL", "NKCopy3DResults");
    int iNodes = pSrc->iNumNodes, iPolygons = pSrc->iNumPolygons;
    bool bOk =
        CopyArray(&pDst->pNodeValues, pSrc->pNodeValues, iNodes, 3 * sizeof(float)) &&
        CopyArray(&pDst->pPolygonValues, pSrc->pPolygonValues, iPolygons, 3 * sizeof(float)) &&
        CopyArray(&pDst->pNodeNormals, pSrc->pNodeNormals, iNodes, 3) &&
        CopyArray(&pDst->pPolygonNormals, pSrc->pPolygonNormals, iPolygons, 3);
    if (!bOk) {
        NKFreeVectorPartEntry(pDst);
        NKPrintError("Error allocating memory for vector node values.");
        return false;
    }
    pDst->iNumNodes = iNodes;
    pDst->iNumPolygons = iPolygons;
    return true;
}

namespace {

// The number of entries a copy of pResult gets: the part count of the
// frame's geometry, or the result's own without a geometry.
template <typename Result>
int CopyPartCount(const NKFrame *pSrc, const Result *pResult)
{
    return pSrc->pGeometry != nullptr ? pSrc->pGeometry->iNumParts : pResult->iNumParts;
}

// The copy's entry array holds iNumParts entries, so iNumParts is that count
// rather than the source's, which may differ from its geometry's.
NKVectorResult *DeepCopyVectorResult(const NKVectorResult *pFrom, int n)
{
    NKVectorResult *pCopy = NKCreateVectorResult();
    if (pCopy == nullptr) {
        NKDiagnostic("Error allocating memory for vector results.", "NKCopyVectorResult");
        return nullptr;
    }
    if (n > 0) {
        pCopy->pResults = static_cast<NKVectorPartEntry *>(NKCalloc(n, sizeof(NKVectorPartEntry)));
        if (pCopy->pResults == nullptr) {
            NKReleaseVectorResult(pCopy);
            NKDiagnostic("Error allocating memory for pVector->pResults.", "NKCopyVectorResult");
            return nullptr;
        }
        pCopy->iNumParts = n;
    }
    for (int i = 0; i < n && i < pFrom->iNumParts && pFrom->pResults != nullptr; i++) {
        if (!NKCopy3DResults(&pCopy->pResults[i], &pFrom->pResults[i])) {
            NKReleaseVectorResult(pCopy);
            return nullptr;
        }
    }
    pCopy->lengthMinMax = pFrom->lengthMinMax;
    pCopy->iStepNumber = pFrom->iStepNumber;
    pCopy->iNumStepsInFile = pFrom->iNumStepsInFile;
    pCopy->szDescription = pFrom->szDescription;
    pCopy->szFileName = pFrom->szFileName;
    return pCopy;
}

// Copies the first n entries of pFrom (as far as it has them) into the new
// array *ppTo of n entries. False after "Out of memory" or a failed entry
// copy; what was made stays in *ppTo for the caller to release.
bool CopyScalarEntries(NKScalarPartEntry **ppTo, const NKScalarPartEntry *pFrom, int iFromCount,
                       int n)
{
    if (n < 1) return true;
    *ppTo = static_cast<NKScalarPartEntry *>(NKCalloc(n, sizeof(NKScalarPartEntry)));
    if (*ppTo == nullptr) {
        NKPrintError("Out of memory");
        return false;
    }
    for (int i = 0; i < n && i < iFromCount && pFrom != nullptr; i++) {
        if (!NKCopyScalarPartEntry(&(*ppTo)[i], &pFrom[i])) return false;
    }
    return true;
}

NKScalarResult *DeepCopyScalarResult(const NKScalarResult *pFrom, int n)
{
    NKScalarResult *pCopy = NKCreateScalarResult();
    if (pCopy == nullptr) {
        NKPrintError("Out of memory");
        return nullptr;
    }
    bool bOk = CopyScalarEntries(&pCopy->pNodeResults, pFrom->pNodeResults, pFrom->iNumParts, n);
    pCopy->iNumParts = n;  // the entries made so far are released with it
    if (bOk && pFrom->pElementResults != nullptr)
        bOk =
            CopyScalarEntries(&pCopy->pElementResults, pFrom->pElementResults, pFrom->iNumParts, n);
    if (!bOk) {
        NKReleaseScalarResult(pCopy);
        return nullptr;
    }
    pCopy->nodeMinMax = pFrom->nodeMinMax;
    pCopy->elementMinMax = pFrom->elementMinMax;
    pCopy->bProcessed = pFrom->bProcessed;
    pCopy->iStepNumber = pFrom->iStepNumber;
    pCopy->iNumStepsInFile = pFrom->iNumStepsInFile;
    pCopy->szDescription = pFrom->szDescription;
    pCopy->szFileName = pFrom->szFileName;
    return pCopy;
}

}  // namespace

bool NKCopyVectorResult(NKFrame *pDst, const NKFrame *pSrc)
{
    if (pDst == nullptr || pSrc == nullptr) return NKDiagnostic("Null frame", "NKCopyVectorResult");
    if (pSrc->pVector == nullptr)
        return NKDiagnostic("Source without vector result", "NKCopyVectorResult");
    NKVectorResult *pCopy = DeepCopyVectorResult(pSrc->pVector, CopyPartCount(pSrc, pSrc->pVector));
    if (pCopy == nullptr) return false;
    NKReleaseVectorResult(pDst->pVector);
    pDst->pVector = pCopy;
    pCopy->iNumRef = 1;
    return true;
}

bool NKCopyFrameScalarResult(NKFrame *pDst, const NKFrame *pSrc)
{
    if (pDst == nullptr || pSrc == nullptr)
        return NKDiagnostic("Null frame", "NKCopyFrameScalarResult");
    if (pSrc->pScalar == nullptr)
        return NKDiagnostic("Source without scalar result", "NKCopyFrameScalarResult");
    NKScalarResult *pCopy = DeepCopyScalarResult(pSrc->pScalar, CopyPartCount(pSrc, pSrc->pScalar));
    if (pCopy == nullptr) return false;
    NKReleaseScalarResult(pDst->pScalar);
    pDst->pScalar = pCopy;
    pCopy->iNumRef = 1;
    return true;
}

// ---- Resizing when parts are appended ---------------------------------------------

bool NKResizeFrameMatrices(float **ppMatrices, int n, int iOld)
{
    if (ppMatrices == nullptr || *ppMatrices == nullptr || n < 1) return false;
    size_t iBytes = static_cast<size_t>(n) * 16 * sizeof(float);
    float *pNew = static_cast<float *>(NKRealloc(*ppMatrices, iBytes));
    if (pNew == nullptr) return false;
    for (int i = iOld < 0 ? 0 : iOld; i < n; i++) NKMatrixIdentity(&pNew[16 * i]);
    *ppMatrices = pNew;
    return true;
}

bool NKResizeContourLists(NKContourList **ppLists, int n, int iOld)
{
    if (ppLists == nullptr || *ppLists == nullptr || n < 1) return false;
    for (int i = n; i < iOld; i++) NKFreeContourList(&(*ppLists)[i]);
    size_t iBytes = static_cast<size_t>(n) * sizeof(NKContourList);
    NKContourList *pNew = static_cast<NKContourList *>(NKRealloc(*ppLists, iBytes));
    if (pNew == nullptr) return false;
    for (int i = iOld < 0 ? 0 : iOld; i < n; i++) NKInitContourList(&pNew[i]);
    *ppLists = pNew;
    return true;
}

namespace {

// Resizes an entry array from iHave to n entries; dropped entries are freed,
// new ones zeroed. False (array unchanged) when the reallocation fails.
template <typename Entry, typename FreeEntry>
bool ResizeEntries(Entry **ppEntries, int iHave, int n, FreeEntry freeEntry)
{
    for (int i = n; i < iHave; i++) freeEntry(&(*ppEntries)[i]);
    Entry *pNew =
        static_cast<Entry *>(NKRealloc(*ppEntries, static_cast<size_t>(n) * sizeof(Entry)));
    if (pNew == nullptr) return false;
    for (int i = iHave < 0 ? 0 : iHave; i < n; i++) pNew[i] = Entry();
    *ppEntries = pNew;
    return true;
}

// An entry of iCount values 0 coloured with the model's fringe range; left
// empty when iCount < 1 or its arrays cannot be made.
void FillZeroScalarEntry(NKScalarPartEntry *pEntry, int iCount)
{
    if (iCount < 1) return;
    pEntry->pNodeValues = static_cast<float *>(NKCalloc(iCount, sizeof(float)));
    pEntry->pTexCoords = static_cast<float *>(NKCalloc(iCount, sizeof(float)));
    pEntry->pColors = static_cast<uint8_t *>(NKCalloc(iCount, 3));
    if (pEntry->pNodeValues == nullptr || pEntry->pTexCoords == nullptr ||
        pEntry->pColors == nullptr) {
        NKFreeScalarPartEntry(pEntry);
        return;
    }
    pEntry->iCount = iCount;
    float fFrom = g_pModel != nullptr ? g_pModel->fFringeRangeFrom : 0.0f;
    float fTo = g_pModel != nullptr ? g_pModel->fFringeRangeTo : 0.0f;
    NKMapScalarsToColors(fFrom, fTo, iCount, pEntry->pNodeValues, pEntry->pColors,
                         pEntry->pTexCoords);
}

// An entry at the part's own coordinates with copies of its normals; left
// empty when its arrays cannot be made.
void FillUndisplacedVectorEntry(NKVectorPartEntry *pEntry, const NKPart &part)
{
    int iNodes = part.iNumNodes, iPolygons = part.iNumPolygons;
    bool bOk = CopyArray(&pEntry->pNodeValues, part.pNodeCoords, iNodes, 3 * sizeof(float)) &&
               CopyArray(&pEntry->pNodeNormals, part.pNodeNormals, iNodes, 3) &&
               CopyArray(&pEntry->pPolygonNormals, part.pPolygonNormals, iPolygons, 3);
    if (!bOk) {
        NKFreeVectorPartEntry(pEntry);
        return;
    }
    pEntry->iNumNodes = iNodes;
    pEntry->iNumPolygons = iPolygons;
}

}  // namespace

// The result's own part count, not iOld, says which entries are new: a result
// shared by several frames is met once per frame, and only the first meeting
// may add entries.
bool NKResizeScalarResultParts(NKScalarResult *pResult, const NKPart *pParts, int n, int iOld)
{
    (void)iOld;
    if (pResult == nullptr ||
        (pResult->pNodeResults == nullptr && pResult->pElementResults == nullptr))
        return false;
    if (n < 1) return false;
    int iHave = pResult->iNumParts;
    if (n == iHave) return true;
    if (pResult->pNodeResults != nullptr &&
        !ResizeEntries(&pResult->pNodeResults, iHave, n, NKFreeScalarPartEntry))
        return false;
    if (pResult->pElementResults != nullptr &&
        !ResizeEntries(&pResult->pElementResults, iHave, n, NKFreeScalarPartEntry)) {
        // Only the entries both arrays still hold may be counted.
        pResult->iNumParts = n < iHave ? n : iHave;
        return false;
    }
    pResult->iNumParts = n;
    for (int i = iHave; i < n && pParts != nullptr; i++) {
        if (pResult->pNodeResults != nullptr)
            FillZeroScalarEntry(&pResult->pNodeResults[i], pParts[i].iNumNodes);
        if (pResult->pElementResults != nullptr)
            FillZeroScalarEntry(&pResult->pElementResults[i], pParts[i].iNumElements);
    }
    return true;
}

bool NKResizeVectorResultParts(NKVectorResult *pResult, const NKPart *pParts, int n, int iOld)
{
    (void)iOld;
    if (pResult == nullptr || pResult->pResults == nullptr || n < 1) return false;
    int iHave = pResult->iNumParts;
    if (n == iHave) return true;
    if (!ResizeEntries(&pResult->pResults, iHave, n, NKFreeVectorPartEntry)) return false;
    pResult->iNumParts = n;
    for (int i = iHave; i < n && pParts != nullptr; i++)
        FillUndisplacedVectorEntry(&pResult->pResults[i], pParts[i]);
    return true;
}

namespace {

// The frame's visibility pointers and part boxes follow the part count too:
// the frame's release walks them by its geometry's part count, so a shorter
// array would be read past. New parts get no visibility bytes (all polygons
// shown) and the empty box.
bool ResizeVisibilityAndBoxes(NKFrame *f, int n, int iOld)
{
    if (f->ppVisibility != nullptr) {
        for (int i = n; i < iOld; i++) NKFree(f->ppVisibility[i]);
        void *pNew = NKRealloc(f->ppVisibility, static_cast<size_t>(n) * sizeof(uint8_t *));
        if (pNew == nullptr) return false;
        f->ppVisibility = static_cast<uint8_t **>(pNew);
        for (int i = iOld < 0 ? 0 : iOld; i < n; i++) f->ppVisibility[i] = nullptr;
    }
    if (f->pPartBoundingBoxes != nullptr) {
        void *pNew = NKRealloc(f->pPartBoundingBoxes, static_cast<size_t>(n) * 6 * sizeof(float));
        if (pNew == nullptr) return false;
        f->pPartBoundingBoxes = static_cast<float *>(pNew);
        for (int i = iOld < 0 ? 0 : iOld; i < n; i++) {
            for (int k = 0; k < 3; k++) {
                f->pPartBoundingBoxes[6 * i + k] = NK_EMPTY_MIN;
                f->pPartBoundingBoxes[6 * i + k + 3] = NK_EMPTY_MAX;
            }
        }
    }
    return true;
}

}  // namespace

bool NKResizeFramePartArrays(NKFrame *f, int iOld)
{
    if (f == nullptr || f->pGeometry == nullptr)
        return NKDiagnostic("Frame without geometry", "NKResizeFramePartArrays");
    int n = f->pGeometry->iNumParts;
    const NKPart *pParts = f->pGeometry->pParts;
    if (f->pTransformation != nullptr && !NKResizeFrameMatrices(&f->pTransformation, n, iOld))
        return false;
    if (f->pContours != nullptr && !NKResizeContourLists(&f->pContours, n, iOld)) return false;
    if (f->pScalar != nullptr && !NKResizeScalarResultParts(f->pScalar, pParts, n, iOld))
        return false;
    if (f->pVector != nullptr && !NKResizeVectorResultParts(f->pVector, pParts, n, iOld))
        return false;
    NKScalarResult *pExtraScalar = f->pExtraScalar[1];
    if (pExtraScalar != nullptr && !NKResizeScalarResultParts(pExtraScalar, pParts, n, iOld))
        return false;
    NKVectorResult *pExtraVector = f->pExtraVector[1];
    if (pExtraVector != nullptr && !NKResizeVectorResultParts(pExtraVector, pParts, n, iOld))
        return false;
    return n < 1 || ResizeVisibilityAndBoxes(f, n, iOld);
}

// ---- Model-wide -------------------------------------------------------------------------

void NKResetScalarMinMax(void)
{
    if (g_pModel == nullptr) return;
    g_pModel->scalarMinMax.Reset();
    g_pModel->elementMinMax.Reset();
}

void NKResetVectorMinMax(void)
{
    if (g_pModel == nullptr) return;
    g_pModel->vectorMinMax.Reset();
    g_pModel->fMaxVectorValue = 0.0f;
    for (int i = 4; i < NK_NUM_VALUE_RANGES; i++) {
        g_pModel->valueRanges[i].minMax.Reset();
        g_pModel->valueRanges[i].fMaxLength = 0.0f;
    }
}

float NKGetResultScaleFactor(int iKind)
{
    if (g_pModel == nullptr) return 1.0f;
    if (NKGetInterfaceNumTransformations() >= 1) {
        if (iKind >= 0 && iKind <= 2) return g_pModel->valueRanges[4 + iKind].fLengthScale;
    } else if (iKind == 0 || iKind == 1) {
        return g_pModel->valueRanges[2 + iKind].from;
    }
    return 1.0f;
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Where the first number of a title starts: a digit, a '.' before a digit, or
// a '-' before a digit or a '.'. The last character is not looked at, so a
// title without such a start gives the position of its last character.
int FindTimeStart(const NKString &title)
{
    int iLength = title.GetLength();
    int i = 0;
    for (; i < iLength - 1; i++) {
        char c = title[i], cNext = title[i + 1];
        if (IsDigit(c)) break;
        if (c == '.' && IsDigit(cNext)) break;
        if (c == '-' && (IsDigit(cNext) || cNext == '.')) break;
    }
    return i;
}

// The length of the decimal number at the start of pszText: optional sign,
// digits, point, digits, and an exponent only when digits follow its 'e'.
// Hexadecimal, "inf" and "nan" forms are not numbers here, so "0x10" reads 0.
int DecimalNumberLength(const char *pszText)
{
    int i = 0;
    if (pszText[i] == '+' || pszText[i] == '-') i++;
    int iStart = i;
    while (IsDigit(pszText[i])) i++;
    int iDigits = i - iStart;
    if (pszText[i] == '.') {
        int iFraction = ++i;
        while (IsDigit(pszText[i])) i++;
        iDigits += i - iFraction;
    }
    if (iDigits == 0) return 0;
    if (pszText[i] == 'e' || pszText[i] == 'E') {
        int j = i + 1;
        if (pszText[j] == '+' || pszText[j] == '-') j++;
        if (IsDigit(pszText[j])) {
            while (IsDigit(pszText[j])) j++;
            i = j;
        }
    }
    return i;
}

// The decimal number at position iStart of the title; 0 when none is there.
float ReadTime(const NKString &title, int iStart)
{
    NKString rest = title.Substring(iStart);
    int iLength = DecimalNumberLength(rest.GetText());
    return iLength > 0 ? static_cast<float>(rest.Left(iLength).ToFloat()) : 0.0f;
}

}  // namespace

bool NKSetFrameTimesFromDescriptions(void)
{
    if (g_pModel == nullptr || g_pModel->pFrames == nullptr) return false;
    float fPrevious = -NK_UNDEFINED_VALUE;
    bool bOk = true;
    for (int i = 0; i < g_pModel->iNumFrames; i++) {
        NKFrame *pFrame = &g_pModel->pFrames[i];
        const NKString &title = pFrame->szDescription;
        float fValue = ReadTime(title, FindTimeStart(title));
        if (fValue < NK_UNDEFINED_THRESHOLD && !(fValue < fPrevious)) {
            pFrame->fTime = fValue;
        } else {
            bOk = false;
        }
        fPrevious = fValue;
    }
    if (!bOk) {
        for (int i = 0; i < g_pModel->iNumFrames; i++)
            g_pModel->pFrames[i].fTime = NK_UNDEFINED_VALUE;
    }
    return bOk;
}
