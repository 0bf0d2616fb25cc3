// core/nk_frames.cpp -- the frame array of the global model and the frame,
// part and result accessors of nk_frames.h.
//
// The records and their release functions are in nk_model.cpp; this file
// only walks g_pModel->pFrames. Resizing resets the movie step range through
// core/nk_movie_settings.h.
#include "core/nk_frames.h"

#include <cstdlib>
#include <cstring>

#include "core/nk_diagnostic.h"
#include "core/nk_math.h"
#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_movie_settings.h"
#include "core/nk_numeric.h"

namespace {

int NumFrames()
{
    return g_pModel != nullptr && g_pModel->pFrames != nullptr ? g_pModel->iNumFrames : 0;
}

int NumParts(const NKGeometry *pGeo)
{
    return pGeo != nullptr && pGeo->pParts != nullptr ? pGeo->iNumParts : 0;
}

// Stores a shared record in one more holder.
template <typename T>
T *AddReference(T *pRecord)
{
    if (pRecord != nullptr) pRecord->iNumRef++;
    return pRecord;
}

// The frame's result name: the description, or the file name when asked and
// the description is empty.
template <typename T>
const char *ResultName(const T *pResult, bool bFileNameWhenEmpty)
{
    if (pResult == nullptr) return "";
    if (bFileNameWhenEmpty && pResult->szDescription.IsEmpty())
        return pResult->szFileName.GetText();
    return pResult->szDescription.GetText();
}

// True when every part of the geometry passes the test; false without a
// geometry.
template <typename Test>
bool AllPartsOf(const NKGeometry *pGeo, Test test)
{
    if (pGeo == nullptr) return false;
    if (pGeo->iNumParts > 0 && pGeo->pParts == nullptr) return false;
    for (int i = 0; i < pGeo->iNumParts; i++) {
        if (!test(pGeo->pParts[i])) return false;
    }
    return true;
}

template <typename Test>
bool AllCurrentParts(Test test)
{
    return AllPartsOf(NKGetCurrentGeometry(), test);
}

// Each frame's shared records are handed to the visitor.
template <typename Visit>
void ForEachFrame(Visit visit)
{
    int n = NumFrames();
    for (int i = 0; i < n; i++) visit(g_pModel->pFrames[i]);
}

void ShareRecords(NKFrame *pDst, const NKFrame *pSrc)
{
    pDst->pGeometry = AddReference(pSrc->pGeometry);
    pDst->pScalar = AddReference(pSrc->pScalar);
    pDst->pVector = AddReference(pSrc->pVector);
    pDst->pViewPoint = AddReference(pSrc->pViewPoint);
    for (int i = 0; i < NK_NUM_SEPARATE_VECTOR_SLOTS; i++)
        pDst->pSeparateVectors[i] = AddReference(pSrc->pSeparateVectors[i]);
    for (int i = 0; i < NK_NUM_EXTRA_RESULTS; i++) {
        pDst->pExtraScalar[i] = AddReference(pSrc->pExtraScalar[i]);
        pDst->pExtraVector[i] = AddReference(pSrc->pExtraVector[i]);
    }
}

void CopyPlainFields(NKFrame *pDst, const NKFrame *pSrc)
{
    pDst->szDescription = pSrc->szDescription;
    std::memcpy(pDst->fDisplacedBox, pSrc->fDisplacedBox, sizeof(pDst->fDisplacedBox));
    pDst->fTime = pSrc->fTime;
    pDst->bAnalysed = pSrc->bAnalysed;
    pDst->bInterpolated = pSrc->bInterpolated;
    pDst->iStepIndex = pSrc->iStepIndex;
}

// A new block holding a copy of iBytes bytes of pSrc; null when out of memory.
void *CopyBlock(const void *pSrc, size_t iBytes)
{
    void *pCopy = NKAlloc(iBytes);
    if (pCopy != nullptr) std::memcpy(pCopy, pSrc, iBytes);
    return pCopy;
}

// A copy of iPerPart floats for each part into *ppDst; true, with nothing
// made, when there is no source array or no part.
bool CopyPartFloats(float **ppDst, const float *pSrc, int iNumParts, int iPerPart)
{
    if (pSrc == nullptr || iNumParts < 1) return true;
    size_t iBytes = static_cast<size_t>(iNumParts) * iPerPart * sizeof(float);
    *ppDst = static_cast<float *>(CopyBlock(pSrc, iBytes));
    return *ppDst != nullptr;
}

bool CopyTransformations(NKFrame *pDst, const NKFrame *pSrc, int iNumParts)
{
    return CopyPartFloats(&pDst->pTransformation, pSrc->pTransformation, iNumParts, 16);
}

bool CopyContours(NKFrame *pDst, const NKFrame *pSrc, int iNumParts)
{
    if (pSrc->pContours == nullptr || iNumParts < 1) return true;
    // Zero-filled lists are {0, null}.
    pDst->pContours = static_cast<NKContourList *>(NKCalloc(iNumParts, sizeof(NKContourList)));
    if (pDst->pContours == nullptr) return false;
    for (int i = 0; i < iNumParts; i++) {
        const NKContourList &src = pSrc->pContours[i];
        if (src.iNumLines < 1 || src.pLines == nullptr) continue;
        size_t iBytes = static_cast<size_t>(src.iNumLines) * sizeof(NKContourLine);
        pDst->pContours[i].pLines = static_cast<NKContourLine *>(CopyBlock(src.pLines, iBytes));
        if (pDst->pContours[i].pLines == nullptr) return false;
        pDst->pContours[i].iNumLines = src.iNumLines;
    }
    return true;
}

// A source without visibility bytes (or without them for a part) gives a copy
// without them, rather than a read through a missing array.
bool CopyVisibility(NKFrame *pDst, const NKFrame *pSrc, const NKGeometry *pGeo)
{
    int iNumParts = NumParts(pGeo);
    if (pSrc->ppVisibility == nullptr || iNumParts < 1) return true;
    pDst->ppVisibility = static_cast<uint8_t **>(NKCalloc(iNumParts, sizeof(uint8_t *)));
    if (pDst->ppVisibility == nullptr) return false;
    for (int i = 0; i < iNumParts; i++) {
        int iNumPolygons = pGeo->pParts[i].iNumPolygons;
        const uint8_t *pBytes = pSrc->ppVisibility[i];
        if (iNumPolygons < 1 || pBytes == nullptr) continue;
        pDst->ppVisibility[i] = static_cast<uint8_t *>(CopyBlock(pBytes, iNumPolygons));
        if (pDst->ppVisibility[i] == nullptr) return false;
    }
    return true;
}

bool CopyPartBoxes(NKFrame *pDst, const NKFrame *pSrc, int iNumParts)
{
    return CopyPartFloats(&pDst->pPartBoundingBoxes, pSrc->pPartBoundingBoxes, iNumParts, 6);
}

// The shared records go first, so that a copy broken off by a failed
// allocation still knows its part count and can be released.
bool CopyOneFrame(NKFrame *pDst, const NKFrame *pSrc)
{
    ShareRecords(pDst, pSrc);
    CopyPlainFields(pDst, pSrc);
    int iNumParts = NumParts(pSrc->pGeometry);
    if (!CopyTransformations(pDst, pSrc, iNumParts)) return false;
    if (!CopyContours(pDst, pSrc, iNumParts)) return false;
    if (pSrc->pGeometry == nullptr) return true;
    return CopyVisibility(pDst, pSrc, pSrc->pGeometry) && CopyPartBoxes(pDst, pSrc, iNumParts);
}

// Fills the new array from the old one as NKSetFrameCount describes.
bool FillNewFrames(NKFrame *pNew, int n, const NKFrame *pOld, int m, bool bDuplicateLast)
{
    if (pOld == nullptr || m < 1) return true;
    const NKFrame *pLast = &pOld[m - 1];
    if (bDuplicateLast) {
        for (int i = 0; i < n; i++) {
            if (!NKCopyFrames(&pNew[i], pLast, 1)) return false;
        }
        return true;
    }
    if (m >= n) return NKCopyFrames(pNew, pOld, n);
    if (!NKCopyFrames(pNew, pOld, m)) return false;
    for (int i = m; i < n; i++) {
        if (!NKCopyFrames(&pNew[i], pLast, 1)) return false;
    }
    return true;
}

}  // namespace

// ---- Frame and part access ---------------------------------------------------

NKFrame *NKGetFrame(int iFrame)
{
    if (NumFrames() < 1) return nullptr;
    if (iFrame == NK_CURRENT_FRAME) iFrame = g_pModel->iCurrentFrame;
    if (iFrame < 0 || iFrame >= g_pModel->iNumFrames) return nullptr;
    return &g_pModel->pFrames[iFrame];
}

NKFrame *NKGetCurrentFrame(void) { return NKGetFrame(NK_CURRENT_FRAME); }

NKGeometry *NKGetFrameGeometry(const NKFrame *pFrame)
{
    return pFrame != nullptr ? pFrame->pGeometry : nullptr;
}

NKPart *NKGetFramePart(const NKFrame *pFrame, int iPart)
{
    NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    if (iPart < 0 || iPart >= NumParts(pGeo)) return nullptr;
    return &pGeo->pParts[iPart];
}

NKPart *NKGetPartByIndex(int iFrame, int iPart)
{
    return NKGetFramePart(NKGetFrame(iFrame), iPart);
}

NKGeometry *NKGetCurrentGeometry(void) { return NKGetFrameGeometry(NKGetCurrentFrame()); }

NKPart *NKGetCurrentParts(void)
{
    NKGeometry *pGeo = NKGetCurrentGeometry();
    return pGeo != nullptr ? pGeo->pParts : nullptr;
}

NKScalarResult *NKGetCurrentScalarResult(void)
{
    NKFrame *pFrame = NKGetCurrentFrame();
    return pFrame != nullptr ? pFrame->pScalar : nullptr;
}

NKVectorResult *NKGetCurrentVectorResult(void)
{
    NKFrame *pFrame = NKGetCurrentFrame();
    return pFrame != nullptr ? pFrame->pVector : nullptr;
}

const char *NKGetScalarResultName(int iFrame, bool bFileNameWhenEmpty)
{
    NKFrame *pFrame = NKGetFrame(iFrame);
    return ResultName(pFrame != nullptr ? pFrame->pScalar : nullptr, bFileNameWhenEmpty);
}

const char *NKGetVectorResultName(int iFrame, bool bFileNameWhenEmpty)
{
    NKFrame *pFrame = NKGetFrame(iFrame);
    return ResultName(pFrame != nullptr ? pFrame->pVector : nullptr, bFileNameWhenEmpty);
}

NKScalarResult *NKGetFrameScalarByKind(int iFrame, int iKind)
{
    NKFrame *pFrame = NKGetFrame(iFrame);
    if (pFrame == nullptr) return nullptr;
    if (iKind == 0) return pFrame->pScalar;
    if (iKind == 1) return pFrame->pExtraScalar[1];
    return nullptr;
}

// Checked, although callers promise that everything exists: a wrong index
// gives the undefined value instead of a read outside the arrays.
float NKGetScalarNodeValue(int iFrame, int iPart, int iNode)
{
    NKFrame *pFrame = NKGetFrame(iFrame);
    if (pFrame == nullptr || pFrame->pScalar == nullptr) return NK_UNDEFINED_VALUE;
    const NKScalarResult *pScalar = pFrame->pScalar;
    if (pScalar->pNodeResults == nullptr || iPart < 0 || iPart >= pScalar->iNumParts)
        return NK_UNDEFINED_VALUE;
    const NKScalarPartEntry &entry = pScalar->pNodeResults[iPart];
    if (entry.pNodeValues == nullptr || iNode < 0 || iNode >= entry.iCount)
        return NK_UNDEFINED_VALUE;
    return entry.pNodeValues[iNode];
}

int NKGetTotalNumNodes(void)
{
    NKGeometry *pGeo = NKGetCurrentGeometry();
    return pGeo != nullptr ? pGeo->iTotalNumNodes : 0;
}

int NKGetCurrentNumNodes(void) { return NKGetTotalNumNodes(); }

int NKGetTotalNumPolygons(void)
{
    NKGeometry *pGeo = NKGetCurrentGeometry();
    return pGeo != nullptr ? pGeo->iTotalNumPolygons : 0;
}

int NKGetCurrentNumPolygons(void) { return NKGetTotalNumPolygons(); }

int NKGetTotalNumConnects(void)
{
    NKGeometry *pGeo = NKGetCurrentGeometry();
    return pGeo != nullptr ? pGeo->iTotalNumConnects : 0;
}

int NKGetNumParts(void)
{
    NKGeometry *pGeo = NKGetCurrentGeometry();
    return pGeo != nullptr ? pGeo->iNumParts : 0;
}

int NKGetMaxTotalNumPolygons(void)
{
    int iMax = 0;
    ForEachFrame([&iMax](const NKFrame &frame) {
        if (frame.pGeometry != nullptr && frame.pGeometry->iTotalNumPolygons > iMax)
            iMax = frame.pGeometry->iTotalNumPolygons;
    });
    return iMax;
}

int NKGetNumAnimationFrames(void)
{
    if (g_pModel == nullptr) return 0;
    int iSkip = g_pModel->iAnimationSkipBy > 0 ? g_pModel->iAnimationSkipBy : 1;
    return std::abs(g_pModel->iAnimationToFrame - g_pModel->iAnimationFromFrame + 1) / iSkip;
}

int NKGetFrameStep(int iFrame)
{
    const NKFrame *pFrame = iFrame >= 0 ? NKGetFrame(iFrame) : nullptr;
    return pFrame != nullptr && pFrame->iStepIndex >= 0 ? pFrame->iStepIndex : iFrame;
}

// The frames whose result of one kind (pResult, a member of NKFrame) is
// set; without bCountAll only whether there is one (0 or 1).
template <typename Result>
static int CountFramesWith(Result *NKFrame::*pResult, bool bCountAll)
{
    if (!NKModelHasGeometry()) return 0;
    int iCount = 0;
    for (int i = 0; i < g_pModel->iNumFrames; i++) {
        if (g_pModel->pFrames[i].*pResult == nullptr) continue;
        iCount++;
        if (!bCountAll) break;
    }
    return iCount;
}

int NKCountFramesWithScalars(bool bCountAll)
{
    return CountFramesWith(&NKFrame::pScalar, bCountAll);
}

int NKCountFramesWithVectors(bool bCountAll)
{
    return CountFramesWith(&NKFrame::pVector, bCountAll);
}

bool NKModelHasGeometry(void)
{
    return NumFrames() > 0 && g_pModel->pFrames[0].pGeometry != nullptr;
}

// ---- Whole-geometry tests -----------------------------------------------------

bool NKAllPartsAsSurface(void)
{
    return AllCurrentParts([](const NKPart &p) { return p.iDrawStyle == NK_DRAW_SURFACE; });
}

bool NKAllPartsAsLines(void)
{
    return AllCurrentParts([](const NKPart &p) { return p.iDrawStyle == NK_DRAW_LINES; });
}

bool NKAllPartsAsPoints(void)
{
    return AllCurrentParts([](const NKPart &p) { return p.iDrawStyle == NK_DRAW_POINTS; });
}

bool NKAllPartsAsOutline(void)
{
    return AllCurrentParts([](const NKPart &p) { return p.iDrawStyle == NK_DRAW_OUTLINE; });
}

bool NKAllPartsAsHiddenLines(void)
{
    return AllCurrentParts([](const NKPart &p) { return p.iDrawStyle == NK_DRAW_HIDDEN_LINES; });
}

bool NKAllPartsMesh(void)
{
    return AllCurrentParts([](const NKPart &p) { return p.bMesh != 0; });
}

bool NKAllPartsOutlineMesh(void)
{
    return AllCurrentParts([](const NKPart &p) { return p.bOutlineMesh != 0; });
}

bool NKAllPartsFringes(void)
{
    return AllCurrentParts([](const NKPart &p) { return p.bFringes != 0; });
}

bool NKAllPartsDisplacements(const NKFrame *pFrame)
{
    if (pFrame == nullptr) pFrame = NKGetCurrentFrame();
    return AllPartsOf(NKGetFrameGeometry(pFrame),
                      [](const NKPart &p) { return p.bDisplacements != 0; });
}

bool NKAllPartsVectors(void)
{
    return AllCurrentParts([](const NKPart &p) { return p.bVectors != 0; });
}

bool NKAllPartsSmooth(void)
{
    return AllCurrentParts([](const NKPart &p) { return p.bSmooth != 0; });
}

// ---- The frame array ----------------------------------------------------------

// Copying into the new array before releasing the old one keeps every shared
// record alive: each copy adds a reference, each release takes one away. A
// copy that fails is undone in the same way, leaving the model as it was.
bool NKSetFrameCount(int n, bool bDuplicateLast)
{
    if (g_pModel == nullptr) return NKDiagnostic("No model", "NKSetFrameCount");
    if (n < 0) return false;
    int m = NumFrames();
    if (n == m && !bDuplicateLast) return true;
    if (n == 0) {
        NKFreeFrameArray(g_pModel->pFrames, m);
        g_pModel->pFrames = nullptr;
        g_pModel->iNumFrames = 0;
        return true;
    }
    NKFrame *pNew = NKAllocFrameArray(n);
    if (pNew != nullptr && !FillNewFrames(pNew, n, g_pModel->pFrames, m, bDuplicateLast)) {
        NKFreeFrameArray(pNew, n);
        pNew = nullptr;
    }
    if (pNew == nullptr) {
        NKPrintError("Error allocating memory for frames.");
        return false;
    }
    NKFreeFrameArray(g_pModel->pFrames, m);
    g_pModel->pFrames = pNew;
    g_pModel->iNumFrames = n;
    NKClampInt(&g_pModel->iCurrentFrame, 0, n - 1);
    NKClampInt(&g_pModel->iAnimationFromFrame, 0, n - 1);
    NKClampInt(&g_pModel->iAnimationToFrame, 0, n - 1);
    NKMovieSettingsClampSteps(g_pMovieSettings, n, true);
    return true;
}

bool NKCopyFrames(NKFrame *pDst, const NKFrame *pSrc, int n)
{
    if (pDst == nullptr || pSrc == nullptr) return NKDiagnostic("Null frame", "NKCopyFrames");
    for (int i = 0; i < n; i++) {
        if (!CopyOneFrame(&pDst[i], &pSrc[i]))
            return NKDiagnostic("Error allocating memory for frame copy", "NKCopyFrames");
    }
    return true;
}

bool NKAllocFrameTransformations(NKFrame *pFrame)
{
    if (pFrame == nullptr || pFrame->pGeometry == nullptr) return false;
    int iNumParts = pFrame->pGeometry->iNumParts;
    if (iNumParts < 1) return true;  // no part, no matrix
    size_t iCount = static_cast<size_t>(iNumParts) * 16;
    float *pMatrices = static_cast<float *>(NKAlloc(iCount * sizeof(float)));
    if (pMatrices == nullptr) {
        NKPrintError("Unable to allocate memory for transformations.");
        return false;
    }
    for (int i = 0; i < iNumParts; i++) NKMatrixIdentity(&pMatrices[i * 16]);
    pFrame->pTransformation = pMatrices;
    return true;
}

// ---- Pass marks ----------------------------------------------------------------

void NKResetGeometryMarks(void)
{
    ForEachFrame([](NKFrame &frame) {
        if (frame.pGeometry != nullptr) frame.pGeometry->iProcessed = -1;
    });
}

void NKForEachGeometry(const std::function<void(NKGeometry *)> &fn)
{
    if (g_pModel == nullptr || g_pModel->pFrames == nullptr) return;
    NKResetGeometryMarks();
    for (int f = 0; f < g_pModel->iNumFrames; f++) {
        NKGeometry *pGeo = g_pModel->pFrames[f].pGeometry;
        if (pGeo == nullptr || pGeo->iProcessed != -1) continue;
        pGeo->iProcessed = 1;
        fn(pGeo);
    }
}

void NKResetScalarMarks(void)
{
    ForEachFrame([](NKFrame &frame) {
        if (frame.pScalar != nullptr) frame.pScalar->bProcessed = 0;
    });
}

void NKResetVectorMarks(void)
{
    ForEachFrame([](NKFrame &frame) {
        if (frame.pVector != nullptr) frame.pVector->bProcessed = 0;
    });
}

void NKFreeGeometryPolygonMaps(void)
{
    ForEachFrame([](NKFrame &frame) {
        if (frame.pGeometry == nullptr) return;
        NKFree(frame.pGeometry->pPolygonMap);
        frame.pGeometry->pPolygonMap = nullptr;
    });
}
