// render/nk_result_scaling.cpp -- displacement, scalar and transformation
// scaling (see nk_result_scaling.h).
#include "render/nk_result_scaling.h"

#include <cmath>
#include <cstring>

#include "core/nk_bbox.h"
#include "core/nk_frames.h"
#include "core/nk_math.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_normals.h"
#include "core/nk_numeric.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
float sg_fTransformationScale = 1.0f;

NKVectorResult *FieldResult(NKFrame *pFrame, int iField)
{
    if (pFrame == nullptr) return nullptr;
    if (iField == 0) return pFrame->pVector;
    if (iField > 0 && iField < NK_NUM_EXTRA_RESULTS) return pFrame->pExtraVector[iField];
    return nullptr;
}

void ScaleEntries(float *pfValues, int iCount, float fFactor, NKMinMax *pRange, int iPart)
{
    for (int i = 0; i < iCount; i++) {
        if (NKIsUndefined(pfValues[i])) continue;
        pfValues[i] *= fFactor;
        if (pRange != nullptr) pRange->Update(pfValues[i], iPart, i, -1);
    }
}

// Rotation of angle a (radians) about the unit axis, row by row.
void AxisRotation(const double *axis, double a, double R[3][3])
{
    const double c = std::cos(a), s = std::sin(a), t = 1.0 - c;
    const double x = axis[0], y = axis[1], z = axis[2];
    R[0][0] = t * x * x + c;
    R[0][1] = t * x * y - s * z;
    R[0][2] = t * x * z + s * y;
    R[1][0] = t * x * y + s * z;
    R[1][1] = t * y * y + c;
    R[1][2] = t * y * z - s * x;
    R[2][0] = t * x * z - s * y;
    R[2][1] = t * y * z + s * x;
    R[2][2] = t * z * z + c;
}

}  // namespace

void NKScaleDisplacements(NKFrame *pFrame, int iFirst, int iLast, float fFactor, int iField,
                          bool bUpdateRange)
{
    NKVectorResult *pResult = FieldResult(pFrame, iField);
    const NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    if (pResult == nullptr || pResult->pResults == nullptr || pGeo == nullptr ||
        pGeo->pParts == nullptr)
        return;
    if (bUpdateRange) pResult->lengthMinMax.Reset();
    if (iFirst < 0) iFirst = 0;
    for (int p = iFirst; p <= iLast && p < pGeo->iNumParts && p < pResult->iNumParts; p++) {
        const NKPart &part = pGeo->pParts[p];
        NKVectorPartEntry &entry = pResult->pResults[p];
        if (entry.pNodeValues == nullptr || part.pNodeCoords == nullptr) continue;
        const int n = entry.iNumNodes < part.iNumNodes ? entry.iNumNodes : part.iNumNodes;
        for (int i = 0; i < n; i++) {
            float *pfDisplaced = entry.pNodeValues + 3 * i;
            if (NKIsUndefined(pfDisplaced[0])) continue;
            const float *pfNode = part.pNodeCoords + 3 * i;
            float d[3];
            for (int k = 0; k < 3; k++) {
                d[k] = (pfDisplaced[k] - pfNode[k]) * fFactor;
                pfDisplaced[k] = pfNode[k] + d[k];
            }
            if (bUpdateRange)
                pResult->lengthMinMax.Update(d[0] * d[0] + d[1] * d[1] + d[2] * d[2], p, i, -1);
        }
    }
    if (bUpdateRange && pResult->lengthMinMax.max >= 0.0f) {
        pResult->lengthMinMax.min = std::sqrt(pResult->lengthMinMax.min);
        pResult->lengthMinMax.max = std::sqrt(pResult->lengthMinMax.max);
    }
}

void NKApplyDisplacementScale(int iFirst, int iLast, int iField)
{
    if (g_pModel == nullptr || g_pModel->pFrames == nullptr || iField < 0 ||
        iField >= NK_NUM_EXTRA_RESULTS)
        return;
    const NKValueRange &range = g_pModel->valueRanges[2 + iField];
    const float fRequested = range.from == 0.0f ? 1e-12f : range.from;
    const float fRatio = range.to == 0.0f ? 1.0f : fRequested / range.to;
    for (int f = 0; f < g_pModel->iNumFrames; f++) {
        NKVectorResult *pResult = FieldResult(&g_pModel->pFrames[f], iField);
        if (pResult != nullptr) pResult->bProcessed = 0;
    }
    for (int f = 0; f < g_pModel->iNumFrames; f++) {
        NKFrame *pFrame = &g_pModel->pFrames[f];
        NKVectorResult *pResult = FieldResult(pFrame, iField);
        if (pResult == nullptr || pResult->bProcessed) continue;
        NKScaleDisplacements(pFrame, iFirst, iLast, fRatio, iField, iField == 0);
        pResult->bProcessed = 1;
        if (iField == 0 && pFrame->pGeometry != nullptr)
            NKComputeVectorResultNormals(pFrame->pGeometry, pResult);
    }
}

void NKScaleScalarValues(NKFrame *pFrame, int iFirst, int iLast, float fFactor, bool bRecolour,
                         float fMin, float fMax)
{
    NKScalarResult *pResult = pFrame != nullptr ? pFrame->pScalar : nullptr;
    if (pResult == nullptr) return;
    pResult->nodeMinMax.Reset();
    pResult->elementMinMax.Reset();
    if (iFirst < 0) iFirst = 0;
    struct EntriesAndRange {
        NKScalarPartEntry *pEntries;
        NKMinMax *pRange;
    } kinds[2] = {{pResult->pNodeResults, &pResult->nodeMinMax},
                  {pResult->pElementResults, &pResult->elementMinMax}};
    for (const EntriesAndRange &kind : kinds) {
        if (kind.pEntries == nullptr) continue;
        for (int p = iFirst; p <= iLast && p < pResult->iNumParts; p++) {
            NKScalarPartEntry &e = kind.pEntries[p];
            if (e.pNodeValues == nullptr) continue;
            ScaleEntries(e.pNodeValues, e.iCount, fFactor, kind.pRange, p);
            if (bRecolour && e.pColors != nullptr)
                NKMapScalarsToColors(fMin, fMax, e.iCount, e.pNodeValues, e.pColors, e.pTexCoords);
        }
    }
}

void NKScaleTransformationMatrix(float *m, float fRatio)
{
    if (m == nullptr) return;
    // R(r, c) = m[4c + r]; axis and angle of the rotation part.
    const double trace = m[0] + m[5] + m[10];
    double c = (trace - 1.0) / 2.0;
    c = c > 1.0 ? 1.0 : (c < -1.0 ? -1.0 : c);
    const double a = std::acos(c);
    double axis[3] = {m[6] - m[9], m[8] - m[2], m[1] - m[4]};
    const double len = std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]);
    for (int k = 0; k < 3; k++) m[12 + k] *= fRatio;
    // No turn, or a half turn whose tangent is 0: the angle stays.
    if (len < 1e-9 || std::sin(a) < 1e-9) return;
    for (double &v : axis) v /= len;
    double d = std::atan(std::tan(a) * fRatio) - a;
    while (d > kPi / 2.0) d -= kPi;
    while (d < -kPi / 2.0) d += kPi;
    double R[3][3];
    AxisRotation(axis, d, R);
    float out[12];
    for (int col = 0; col < 3; col++)
        for (int row = 0; row < 3; row++) {
            double v = 0.0;
            for (int k = 0; k < 3; k++) v += R[row][k] * m[4 * col + k];
            out[4 * col + row] = static_cast<float>(v);
        }
    for (int col = 0; col < 3; col++)
        for (int row = 0; row < 3; row++) m[4 * col + row] = out[4 * col + row];
}

bool NKScaleTransformations(int iFirst, int iLast, float fFactor)
{
    if (iFirst < 0 || iFirst > iLast) return false;
    const float fRatio = sg_fTransformationScale == 0.0f ? 1.0f : fFactor / sg_fTransformationScale;
    if (g_pModel != nullptr && g_pModel->pFrames != nullptr)
        for (int f = 0; f < g_pModel->iNumFrames; f++) {
            NKFrame *pFrame = &g_pModel->pFrames[f];
            const NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
            if (pFrame->pTransformation == nullptr || pGeo == nullptr) continue;
            for (int p = iFirst; p <= iLast && p < pGeo->iNumParts; p++)
                NKScaleTransformationMatrix(pFrame->pTransformation + 16 * p, fRatio);
        }
    sg_fTransformationScale = fFactor;
    return true;
}

float NKGetTransformationScale(void) { return sg_fTransformationScale; }
void NKSetTransformationScale(float fScale) { sg_fTransformationScale = fScale; }
