// core/nk_frame_results.cpp -- per-part access to a frame's results, result
// copies and the clean-up of frame-owned cut surfaces.
#include "core/nk_frame_results.h"

#include <cstring>

#include "core/nk_memory.h"
#include "core/nk_model.h"

namespace {

// A new copy of n items of iSize bytes; true with a null copy for a null or
// empty source.
bool CopyArray(const void *pSrc, size_t n, size_t iSize, void **ppOut)
{
    *ppOut = nullptr;
    if (pSrc == nullptr || n == 0) return true;
    *ppOut = NKAlloc(n * iSize);
    if (*ppOut == nullptr) return false;
    std::memcpy(*ppOut, pSrc, n * iSize);
    return true;
}

bool CopyVectorEntry(const NKVectorPartEntry &src, NKVectorPartEntry *pDst)
{
    NKInitVectorPartEntry(pDst);
    pDst->iNumNodes = src.iNumNodes;
    pDst->iNumPolygons = src.iNumPolygons;
    size_t n = (size_t)(src.iNumNodes > 0 ? src.iNumNodes : 0) * 3;
    size_t p = (size_t)(src.iNumPolygons > 0 ? src.iNumPolygons : 0) * 3;
    bool bOk = CopyArray(src.pNodeValues, n, sizeof(float), (void **)&pDst->pNodeValues) &&
               CopyArray(src.pPolygonValues, p, sizeof(float), (void **)&pDst->pPolygonValues) &&
               CopyArray(src.pNodeNormals, n, 1, (void **)&pDst->pNodeNormals) &&
               CopyArray(src.pPolygonNormals, p, 1, (void **)&pDst->pPolygonNormals);
    if (!bOk) NKFreeVectorPartEntry(pDst);
    return bOk;
}

bool CopyScalarEntry(const NKScalarPartEntry &src, NKScalarPartEntry *pDst)
{
    NKInitScalarPartEntry(pDst);
    pDst->iCount = src.iCount;
    size_t n = (size_t)(src.iCount > 0 ? src.iCount : 0);
    bool bOk = CopyArray(src.pNodeValues, n, sizeof(float), (void **)&pDst->pNodeValues) &&
               CopyArray(src.pTexCoords, n, sizeof(float), (void **)&pDst->pTexCoords) &&
               CopyArray(src.pColors, n * 3, 1, (void **)&pDst->pColors);
    if (!bOk) NKFreeScalarPartEntry(pDst);
    return bOk;
}

// n entries copied from pSrc (iSrcCount of them exist); null on failure.
NKScalarPartEntry *CopyScalarEntries(const NKScalarPartEntry *pSrc, int iSrcCount, int n)
{
    auto *pOut = static_cast<NKScalarPartEntry *>(NKCalloc((size_t)n, sizeof(NKScalarPartEntry)));
    if (pOut == nullptr) return nullptr;
    for (int i = 0; i < n; i++) {
        if (i < iSrcCount && CopyScalarEntry(pSrc[i], &pOut[i])) continue;
        NKInitScalarPartEntry(&pOut[i]);
        if (i >= iSrcCount) continue;
        for (int j = 0; j < i; j++) NKFreeScalarPartEntry(&pOut[j]);
        NKFree(pOut);
        return nullptr;
    }
    return pOut;
}

int GeometryPartCount(const NKFrame *pFrame, int iFallback)
{
    return pFrame->pGeometry ? pFrame->pGeometry->iNumParts : iFallback;
}

}  // namespace

// Placeholder: a cut surface holds nothing yet.
void NKFreeCutSurfaceHeader(CutSurface *)
{
}

bool NKCopyVectorResult(NKFrame *pDst, const NKFrame *pSrc)
{
    if (pDst == nullptr || pSrc == nullptr || pSrc->pVector == nullptr) return false;
    const NKVectorResult *pFrom = pSrc->pVector;
    int n = GeometryPartCount(pSrc, pFrom->iNumParts);
    NKVectorResult *pCopy = NKCreateVectorResult();
    if (pCopy == nullptr) return false;
    if (n > 0) {
        pCopy->pResults =
            static_cast<NKVectorPartEntry *>(NKCalloc((size_t)n, sizeof(NKVectorPartEntry)));
        if (pCopy->pResults == nullptr) {
            NKReleaseVectorResult(pCopy);
            return false;
        }
        pCopy->iNumParts = n;
        for (int i = 0; i < n; i++) NKInitVectorPartEntry(&pCopy->pResults[i]);
        for (int i = 0; i < n && i < pFrom->iNumParts; i++) {
            if (!CopyVectorEntry(pFrom->pResults[i], &pCopy->pResults[i])) {
                NKReleaseVectorResult(pCopy);
                return false;
            }
        }
    }
    pCopy->lengthMinMax = pFrom->lengthMinMax;
    pCopy->iStepNumber = pFrom->iStepNumber;
    pCopy->iNumStepsInFile = pFrom->iNumStepsInFile;
    pCopy->szDescription = pFrom->szDescription;
    pCopy->szFileName = pFrom->szFileName;
    pCopy->iNumRef = 1;
    NKReleaseVectorResult(pDst->pVector);
    pDst->pVector = pCopy;
    return true;
}

bool NKCopyFrameScalarResult(NKFrame *pDst, const NKFrame *pSrc)
{
    if (pDst == nullptr || pSrc == nullptr || pSrc->pScalar == nullptr) return false;
    const NKScalarResult *pFrom = pSrc->pScalar;
    int n = GeometryPartCount(pSrc, pFrom->iNumParts);
    NKScalarResult *pCopy = NKCreateScalarResult();
    if (pCopy == nullptr) return false;
    bool bOk = true;
    if (n > 0 && pFrom->pNodeResults != nullptr) {
        pCopy->pNodeResults = CopyScalarEntries(pFrom->pNodeResults, pFrom->iNumParts, n);
        bOk = pCopy->pNodeResults != nullptr;
    }
    if (bOk && n > 0 && pFrom->pElementResults != nullptr) {
        pCopy->pElementResults = CopyScalarEntries(pFrom->pElementResults, pFrom->iNumParts, n);
        bOk = pCopy->pElementResults != nullptr;
    }
    pCopy->iNumParts = n;
    if (!bOk) {
        NKReleaseScalarResult(pCopy);
        return false;
    }
    pCopy->nodeMinMax = pFrom->nodeMinMax;
    pCopy->elementMinMax = pFrom->elementMinMax;
    pCopy->bProcessed = pFrom->bProcessed;
    pCopy->iStepNumber = pFrom->iStepNumber;
    pCopy->iNumStepsInFile = pFrom->iNumStepsInFile;
    pCopy->szDescription = pFrom->szDescription;
    pCopy->szFileName = pFrom->szFileName;
    pCopy->iNumRef = 1;
    NKReleaseScalarResult(pDst->pScalar);
    pDst->pScalar = pCopy;
    return true;
}
