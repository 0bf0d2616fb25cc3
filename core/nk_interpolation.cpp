// core/nk_interpolation.cpp -- interstate interpolation. See
// nk_interpolation.h.
#include "core/nk_interpolation.h"

#include <algorithm>
#include <cmath>

#include "core/nk_bbox.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_math.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_normals.h"
#include "core/nk_numeric.h"
#include "core/nk_progress.h"

namespace {

const char *const kProgressText = "Interpolating states...";

// Interpolates n values of a and b into out.
void InterpolateArray(const float *a, const float *b, float *out, long long n, float t)
{
    for (long long i = 0; i < n; i++) out[i] = NKInterpolateValue(a[i], b[i], t);
}

// The entry of part p of a result, null when absent.
const NKVectorPartEntry *VectorEntry(const NKVectorResult *pResult, int p)
{
    if (pResult == nullptr || pResult->pResults == nullptr || p >= pResult->iNumParts)
        return nullptr;
    return pResult->pResults[p].pNodeValues ? &pResult->pResults[p] : nullptr;
}

const NKScalarPartEntry *ScalarEntry(const NKScalarResult *pResult,
                                     const NKScalarPartEntry *pEntries, int p)
{
    if (pResult == nullptr || pEntries == nullptr || p >= pResult->iNumParts) return nullptr;
    return pEntries[p].pNodeValues ? &pEntries[p] : nullptr;
}

// Interpolates the scalar entries of part p (node or element entries as
// selected) and recomputes their colours with the model's fringe range.
void InterpolateScalarEntries(const NKFrame *pA, const NKFrame *pB, NKFrame *pF, int p, int iCount,
                              bool bElements, float t)
{
    auto entries = [bElements](const NKScalarResult *r) {
        return r ? (bElements ? r->pElementResults : r->pNodeResults) : nullptr;
    };
    const NKScalarPartEntry *a = ScalarEntry(pA->pScalar, entries(pA->pScalar), p);
    const NKScalarPartEntry *b = ScalarEntry(pB->pScalar, entries(pB->pScalar), p);
    const NKScalarPartEntry *f = ScalarEntry(pF->pScalar, entries(pF->pScalar), p);
    if (a == nullptr || b == nullptr || f == nullptr) return;
    // Never past the shortest of the three entries, whatever the part says.
    iCount = std::min({iCount, a->iCount, b->iCount, f->iCount});
    if (iCount < 1) return;
    NKScalarPartEntry *pOut = const_cast<NKScalarPartEntry *>(f);
    InterpolateArray(a->pNodeValues, b->pNodeValues, pOut->pNodeValues, iCount, t);
    NKMapScalarsToColors(g_pModel->fFringeRangeFrom, g_pModel->fFringeRangeTo, iCount,
                         pOut->pNodeValues, pOut->pColors, pOut->pTexCoords);
}

// Interpolates every part of the geometry into frame pF.
void InterpolateParts(const NKGeometry *pGeo, const NKFrame *pA, const NKFrame *pB, NKFrame *pF,
                      float t)
{
    for (int p = 0; p < pGeo->iNumParts; p++) {
        const NKPart &part = pGeo->pParts[p];
        const NKVectorPartEntry *a = VectorEntry(pA->pVector, p);
        const NKVectorPartEntry *b = VectorEntry(pB->pVector, p);
        const NKVectorPartEntry *f = VectorEntry(pF->pVector, p);
        if (a && b && f) {
            int iNodes = std::min({part.iNumNodes, a->iNumNodes, b->iNumNodes, f->iNumNodes});
            InterpolateArray(a->pNodeValues, b->pNodeValues, f->pNodeValues, 3LL * iNodes, t);
        }
        InterpolateScalarEntries(pA, pB, pF, p, part.iNumNodes, false, t);
        InterpolateScalarEntries(pA, pB, pF, p, part.iNumElements, true, t);
    }
}

// The displacement lengths of the frame's own vector result, converted to
// model units; the deformed normals follow the new positions.
void UpdateVectorMinMax(NKGeometry *pGeo, NKVectorResult *pResult)
{
    pResult->lengthMinMax.Reset();
    for (int p = 0; p < pGeo->iNumParts && p < pResult->iNumParts; p++) {
        const NKPart &part = pGeo->pParts[p];
        const float *pfValues = pResult->pResults ? pResult->pResults[p].pNodeValues : nullptr;
        if (pfValues == nullptr || part.pNodeCoords == nullptr) continue;
        int iNodes = std::min(part.iNumNodes, pResult->pResults[p].iNumNodes);
        for (int n = 0; n < iNodes; n++) {
            const float *v = pfValues + 3 * n;
            if (NKIsUndefined(v[0]) || NKIsUndefined(v[1]) || NKIsUndefined(v[2])) continue;
            float d[3];
            NKVec3Difference(v, part.pNodeCoords + 3 * n, d);
            DisplayToModelVector(d);
            pResult->lengthMinMax.Update((float)NKVec3Length(d), p, n, -1);
        }
    }
    NKComputeVectorResultNormals(pGeo, pResult);
}

void UpdateEntriesMinMax(const NKGeometry *pGeo, const NKScalarPartEntry *pEntries, int iNumEntries,
                         bool bElements, NKMinMax *pMinMax)
{
    pMinMax->Reset();
    if (pEntries == nullptr) return;
    for (int p = 0; p < pGeo->iNumParts && p < iNumEntries; p++) {
        const float *pf = pEntries[p].pNodeValues;
        if (pf == nullptr) continue;
        int n = bElements ? pGeo->pParts[p].iNumElements : pGeo->pParts[p].iNumNodes;
        n = std::min(n, pEntries[p].iCount);
        for (int i = 0; i < n; i++)
            if (!NKIsUndefined(pf[i])) pMinMax->Update(pf[i], p, i, -1);
    }
}

// Interpolated frame i of the new array (k frames per interval); false when
// a result copy fails.
bool InterpolateFrame(NKFrame *pNew, int i, int k, NKGeometry *pGeo)
{
    int a = (i / k) * k;
    NKFrame *pA = &pNew[a], *pB = &pNew[a + k], *pF = &pNew[i];
    float t = (float)(i - a) / (float)k;
    if (pF->pVector != nullptr && !NKCopyVectorResult(pF, pA)) return false;
    if (pF->pScalar != nullptr && !NKCopyFrameScalarResult(pF, pA)) return false;
    pF->fTime = NKInterpolateValue(pA->fTime, pB->fTime, t);
    InterpolateParts(pGeo, pA, pB, pF, t);
    if (pF->pVector != nullptr) UpdateVectorMinMax(pGeo, pF->pVector);
    if (pF->pScalar != nullptr) {
        NKScalarResult *r = pF->pScalar;
        UpdateEntriesMinMax(pGeo, r->pNodeResults, r->iNumParts, false, &r->nodeMinMax);
        UpdateEntriesMinMax(pGeo, r->pElementResults, r->iNumParts, true, &r->elementMinMax);
    }
    return true;
}

// The model's frames must all share exactly one geometry; prints the
// refusal and answers null otherwise.
NKGeometry *SharedGeometry(void)
{
    NKResetGeometryMarks();
    NKGeometry *pFirst = nullptr;
    int iDistinct = 0;
    for (int f = 0; f < g_pModel->iNumFrames; f++) {
        NKGeometry *pGeo = g_pModel->pFrames[f].pGeometry;
        if (pGeo == nullptr) {
            NKPrintError("All frames need to have a Geometry.");
            return nullptr;
        }
        if (pGeo->iProcessed != -1) continue;
        pGeo->iProcessed = f;
        if (pFirst == nullptr) pFirst = pGeo;
        iDistinct++;
    }
    if (iDistinct != 1) {
        NKPrintError("Interstate interpolation not supported on adaptive models.");
        return nullptr;
    }
    return pFirst;
}

// The new frame array: frame i a copy of old frame i / k, marked
// interpolated when i mod k is not 0. Null (with the message) on failure.
NKFrame *MakeFrameCopies(int iNew, int k)
{
    NKFrame *pNew = NKAllocFrameArray(iNew);
    bool bOk = pNew != nullptr;
    for (int i = 0; bOk && i < iNew; i++) {
        bOk = NKCopyFrames(&pNew[i], &g_pModel->pFrames[i / k], 1);
        pNew[i].bInterpolated = (i % k) != 0;
        if (pNew[i].bInterpolated) pNew[i].iStepIndex = -1;
    }
    if (!bOk) {
        NKFreeFrameArray(pNew, iNew);
        NKPrintError("Error allocating memory for frames.");
        return nullptr;
    }
    return pNew;
}

// Checks that interpolation can start; prints the refusal otherwise.
bool CanInterpolate(void)
{
    if (g_pModel == nullptr || g_pModel->pFrames == nullptr || g_pModel->iNumFrames < 2) {
        NKPrintError("You need at least two states to do interstate interpolation.");
        return false;
    }
    const NKFrame &first = g_pModel->pFrames[0];
    if (first.pVector == nullptr && first.pScalar == nullptr) {
        NKPrintError("You need to have scalar or vector results for interstate interpolation.");
        return false;
    }
    return true;
}

// The model takes the new frames; the old ones are released.
void InstallFrames(NKFrame *pNew, int iNew)
{
    NKFreeFrameArray(g_pModel->pFrames, g_pModel->iNumFrames);
    g_pModel->pFrames = pNew;
    g_pModel->iNumFrames = iNew;
    NKClampInt(&g_pModel->iCurrentFrame, 0, iNew - 1);
    g_pModel->iAnimationFromFrame = 0;
    g_pModel->iAnimationToFrame = iNew - 1;
    NKComputeFrameBoundingBoxes(-1, false, true);
}

}  // namespace

float NKInterpolateValue(float a, float b, float t)
{
    if (NKIsUndefined(a) || NKIsUndefined(b)) return NK_UNDEFINED_VALUE;
    return a + (b - a) * t;
}

bool NKInterpolateStates(int n)
{
    if (n < 1) return false;
    if (!CanInterpolate()) return false;
    NKGeometry *pGeo = SharedGeometry();
    if (pGeo == nullptr) return false;
    long long iNew64 = (long long)(g_pModel->iNumFrames - 1) * ((long long)n + 1) + 1;
    if (iNew64 > 0x7fffffffLL || n > 0x7ffffffe) {
        NKPrintError("Error allocating memory for frames.");
        return false;
    }
    int iNew = (int)iNew64;
    int k = n + 1;
    NKFrame *pNew = MakeFrameCopies(iNew, k);
    if (pNew == nullptr) return false;
    NKBeginProgress(iNew, kProgressText, true, true);
    bool bOk = true;
    for (int i = 0; i < iNew && bOk; i++) {
        if (pNew[i].bInterpolated) bOk = InterpolateFrame(pNew, i, k, pGeo);
        if (bOk && NKCheckCancel()) bOk = false;
        if (bOk) NKSetProgress(i + 1, kProgressText);
    }
    if (!bOk) {
        NKEndProgress("Aborted.", true, true);
        NKFreeFrameArray(pNew, iNew);
        return false;
    }
    NKEndProgress("Done.", true, true);
    InstallFrames(pNew, iNew);
    return true;
}
