// core/nk_part_lists.cpp -- part lists, transparency order, filters and
// background colours. See nk_part_lists.h.
#include "core/nk_part_lists.h"

#include <GL/gl.h>

#include <cmath>
#include <cstring>

#include "core/nk_bbox.h"
#include "core/nk_diagnostic.h"
#include "core/nk_frames.h"
#include "core/nk_math.h"
#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_numeric.h"
#include "core/nk_ray.h"
#include "core/nk_sort.h"
#include "core/nk_view_state.h"

namespace {

const float kCulledDistance = 1e12f;
const float kEqualDistance = 1e-5f;

bool IsTransparentSurface(const NKPart &part)
{
    return part.bTransparent && part.iDrawStyle == NK_DRAW_SURFACE;
}

// The distance array of a draw order; reports and answers null when out of
// memory.
float *AllocDistances(int n, const char *pszFunction)
{
    auto *pf = static_cast<float *>(NKAlloc((size_t)n * sizeof(float)));
    if (pf == nullptr) {
        NKDiagnostic("Error allocatiog pfDistance", pszFunction);
        NKPrintError("Out of memory");
    }
    return pf;
}

// The inverse of a 4 x 4 matrix by cofactors; false when singular.
bool InvertMatrix(const double m[16], double out[16])
{
    double inv[16];
    inv[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] +
             m[9] * m[7] * m[14] + m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
    inv[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] -
             m[8] * m[7] * m[14] - m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
    inv[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] +
             m[8] * m[7] * m[13] + m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
    inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] -
              m[8] * m[6] * m[13] - m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
    inv[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] -
             m[9] * m[3] * m[14] - m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
    inv[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] +
             m[8] * m[3] * m[14] + m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
    inv[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] -
             m[8] * m[3] * m[13] - m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
    inv[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] +
              m[8] * m[2] * m[13] + m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
    inv[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] + m[5] * m[3] * m[14] +
             m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
    inv[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] -
             m[4] * m[3] * m[14] - m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
    inv[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] +
              m[4] * m[3] * m[13] + m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
    inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] -
              m[4] * m[2] * m[13] - m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
    inv[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] -
             m[5] * m[3] * m[10] - m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
    inv[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] + m[4] * m[3] * m[10] +
             m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
    inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] - m[4] * m[3] * m[9] -
              m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
    inv[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] + m[4] * m[2] * m[9] +
              m[8] * m[1] * m[6] - m[8] * m[2] * m[5];
    double det = m[0] * inv[0] + m[1] * inv[4] + m[2] * inv[8] + m[3] * inv[12];
    if (det == 0.0) return false;
    for (int i = 0; i < 16; i++) out[i] = inv[i] / det;
    return true;
}

// out = a b, column order (b applied first).
void MultiplyMatrices(const double a[16], const double b[16], double out[16])
{
    double r[16];
    for (int c = 0; c < 4; c++)
        for (int row = 0; row < 4; row++) {
            double s = 0.0;
            for (int k = 0; k < 4; k++) s += a[k * 4 + row] * b[c * 4 + k];
            r[c * 4 + row] = s;
        }
    std::memcpy(out, r, sizeof(r));
}

// The eye for one part: the view centre unprojected at depth 0, in the
// part's own frame when the frame has per-part matrices.
bool PartEye(const NKFrame *pFrame, int iPart, const double adModel[16], const double adProj[16],
             const int aiViewport[4], float afEye[3])
{
    double adPartModel[16];
    std::memcpy(adPartModel, adModel, sizeof(adPartModel));
    if (pFrame->pTransformation != nullptr) {
        double adMatrix[16];
        NKMat4ToDouble(pFrame->pTransformation + 16 * iPart, adMatrix);
        MultiplyMatrices(adModel, adMatrix, adPartModel);
    }
    double adEye[3];
    double x = NKViewWindowSize.iWidth / 2, y = NKViewWindowSize.iHeight / 2;
    if (!NKUnProject(x, y, 0.0, adPartModel, adProj, aiViewport, adEye)) return false;
    for (int i = 0; i < 3; i++) afEye[i] = (float)adEye[i];
    return true;
}

// Squared centroid distances of the polygons of the visible listed parts,
// numbered consecutively; false when their number is not iPolyCount.
bool PolygonDistances(const NKFrame *pFrame, const int *piParts, int iPartCount, int iPolyCount,
                      const double adModel[16], const double adProj[16], const int aiViewport[4],
                      float *pfDistance)
{
    const NKGeometry *pGeo = pFrame->pGeometry;
    int n = 0;
    for (int i = 0; i < iPartCount; i++) {
        if (piParts[i] < 0 || piParts[i] >= pGeo->iNumParts) return false;
        const NKPart &part = pGeo->pParts[piParts[i]];
        if (!part.bVisible) continue;
        if (part.pPolygonNumNodes == nullptr || part.pConnects == nullptr ||
            n + (long long)part.iNumPolygons > iPolyCount)
            return false;
        float afEye[3];
        if (!PartEye(pFrame, piParts[i], adModel, adProj, aiViewport, afEye)) return false;
        int s = 0;
        for (int p = 0; p < part.iNumPolygons; p++) {
            int k = part.pPolygonNumNodes[p];
            int iStart = part.pPolygonStart ? part.pPolygonStart[p] : s;
            float c[3] = {0, 0, 0};
            NKComputeCentroid(part.pConnects + iStart, k, part.pNodeCoords, c, nullptr);
            pfDistance[n++] = (float)NKVec3DistanceSquared(c, afEye);
            s += k;
        }
    }
    return n == iPolyCount;
}

// Within each run of sorted neighbours closer than 1e-5, neighbour swaps put
// equal-distance polygons in ascending key order, pass after pass until none
// happens. No swap crosses a larger gap, so running the passes per run gives
// the order of passes over the whole array at a cost quadratic only in a
// run's length.
void OrderEqualDistances(const float *pfDistance, const int *piKeys, int n, int *piOrder)
{
    int iStart = 0;
    while (iStart < n) {
        int iEnd = iStart;
        while (iEnd + 1 < n && std::fabs(pfDistance[piOrder[iEnd + 1]] -
                                         pfDistance[piOrder[iEnd]]) < kEqualDistance)
            iEnd++;
        bool bSwapped = iEnd > iStart;
        while (bSwapped) {
            bSwapped = false;
            for (int j = iStart; j < iEnd; j++) {
                int a = piOrder[j], b = piOrder[j + 1];
                if (std::fabs(pfDistance[a] - pfDistance[b]) < kEqualDistance &&
                    piKeys[2 * a] > piKeys[2 * b]) {
                    piOrder[j] = b;
                    piOrder[j + 1] = a;
                    bSwapped = true;
                }
            }
        }
        iStart = iEnd + 1;
    }
}

}  // namespace

void NKInvalidatePartLists(NKFrame *pFrame)
{
    if (pFrame != nullptr) {
        if (pFrame->pGeometry != nullptr) pFrame->pGeometry->partLists.bValid = 0;
        return;
    }
    if (g_pModel == nullptr || g_pModel->pFrames == nullptr) return;
    for (int i = 0; i < g_pModel->iNumFrames; i++)
        if (g_pModel->pFrames[i].pGeometry != nullptr)
            g_pModel->pFrames[i].pGeometry->partLists.bValid = 0;
}

NKPartListCache *NKGetGeometryPartLists(NKFrame *pFrame)
{
    if (pFrame == nullptr || pFrame->pGeometry == nullptr) return nullptr;
    NKGeometry *pGeo = pFrame->pGeometry;
    if (!pGeo->partLists.bValid && !NKBuildGeometryPartLists(pGeo)) return nullptr;
    return &pGeo->partLists;
}

bool NKBuildGeometryPartLists(NKGeometry *pGeo)
{
    if (pGeo == nullptr) return NKDiagnostic("Null geometry", "NKBuildGeometryPartLists");
    NKPartListCache *pCache = &pGeo->partLists;
    NKFreePartListCache(pCache);
    NKInitPartListCache(pCache);
    int n = pGeo->iNumParts;
    if (n > 0) {
        pCache->pOpaqueParts = static_cast<int *>(NKAlloc((size_t)n * sizeof(int)));
        pCache->pHiddenLineParts = static_cast<int *>(NKAlloc((size_t)n * sizeof(int)));
        pCache->pTransparentParts = static_cast<int *>(NKAlloc((size_t)n * sizeof(int)));
        if (!pCache->pOpaqueParts || !pCache->pHiddenLineParts || !pCache->pTransparentParts) {
            NKFreePartListCache(pCache);
            NKInitPartListCache(pCache);
            return NKDiagnostic("Error allocating part lists", "NKBuildGeometryPartLists");
        }
    }
    for (int i = 0; i < n; i++) {
        const NKPart &part = pGeo->pParts[i];
        if (part.iDrawStyle == NK_DRAW_HIDDEN_LINES)
            pCache->pHiddenLineParts[pCache->iNumHiddenLineParts++] = i;
        else if (IsTransparentSurface(part))
            pCache->pTransparentParts[pCache->iNumTransparentParts++] = i;
        else
            pCache->pOpaqueParts[pCache->iNumOpaqueParts++] = i;
    }
    pCache->bValid = 1;
    return true;
}

bool NKComputeTransparentPartsDrawOrder(const float afEye[3], NKFrame *pFrame, const int *piParts,
                                        int iCount, bool bSkipCulled, int *piOrder)
{
    const char *pszFn = "NKComputeTransparentPartsDrawOrder";
    if (afEye == nullptr || pFrame == nullptr || piParts == nullptr || piOrder == nullptr ||
        iCount < 1 || pFrame->pGeometry == nullptr)
        return NKDiagnostic("Bad arguments", pszFn);
    const NKGeometry *pGeo = pFrame->pGeometry;
    for (int i = 0; i < iCount; i++)
        if (piParts[i] < 0 || piParts[i] >= pGeo->iNumParts)
            return NKDiagnostic("Part outside the geometry", pszFn);
    float *pfDistance = AllocDistances(iCount, pszFn);
    int *piIndex = static_cast<int *>(NKAlloc((size_t)iCount * sizeof(int)));
    bool bOk = pfDistance != nullptr && piIndex != nullptr;
    for (int i = 0; bOk && i < iCount; i++) {
        int iPart = piParts[i];
        const float *pfBox = NKGetPartBoundingBox(pFrame, iPart, 1);
        if (bSkipCulled && pGeo->pParts[iPart].bCulled) {
            pfDistance[i] = kCulledDistance;
            continue;
        }
        float c[3] = {0, 0, 0};
        if (pfBox != nullptr) NKGetBoxCenter(pfBox, c);
        ModelToDisplay(c);
        if (pFrame->pTransformation != nullptr)
            NKTransformPoint(pFrame->pTransformation + 16 * iPart, c);
        pfDistance[i] = (float)NKVec3DistanceSquared(c, afEye);
    }
    if (bOk) {
        NKSortFloatsIndexed(pfDistance, piIndex, iCount);
        for (int i = 0; i < iCount; i++) piOrder[i] = piParts[piIndex[i]];
    }
    NKFree(pfDistance);
    NKFree(piIndex);
    return bOk;
}

bool NKComputeTransparentPolysDrawOrderWithMatrices(NKFrame *pFrame, const int *piParts,
                                                    int iPartCount, int iPolyCount,
                                                    const int *piKeys, const double adModel[16],
                                                    const double adProj[16],
                                                    const int aiViewport[4], int *piOrder)
{
    const char *pszFn = "NKComputeTransparentPolysDrawOrder";
    if (NKViewWindowSize.iWidth < 1) return false;
    if (pFrame == nullptr || pFrame->pGeometry == nullptr || piParts == nullptr ||
        piKeys == nullptr || piOrder == nullptr || adModel == nullptr || adProj == nullptr ||
        aiViewport == nullptr || iPartCount < 1 || iPolyCount < 1)
        return NKDiagnostic("Bad arguments", pszFn);
    float *pfDistance = AllocDistances(iPolyCount, pszFn);
    if (pfDistance == nullptr) return false;
    bool bOk = PolygonDistances(pFrame, piParts, iPartCount, iPolyCount, adModel, adProj,
                                aiViewport, pfDistance);
    if (!bOk) {
        NKDiagnostic("Polygon count does not match the parts", pszFn);
    } else {
        NKSortFloatsIndexed(pfDistance, piOrder, iPolyCount);
        OrderEqualDistances(pfDistance, piKeys, iPolyCount, piOrder);
    }
    NKFree(pfDistance);
    return bOk;
}

bool NKComputeTransparentPolysDrawOrder(NKFrame *pFrame, const int *piParts, int iPartCount,
                                        int iPolyCount, const int *piKeys, int *piOrder)
{
    double adModel[16], adProj[16];
    int aiViewport[4] = {0, 0, NKViewWindowSize.iWidth, NKViewWindowSize.iHeight};
    for (int i = 0; i < 16; i++) adModel[i] = adProj[i] = (i % 5 == 0) ? 1.0 : 0.0;
    glGetDoublev(GL_MODELVIEW_MATRIX, adModel);
    glGetDoublev(GL_PROJECTION_MATRIX, adProj);
    glGetIntegerv(GL_VIEWPORT, aiViewport);
    return NKComputeTransparentPolysDrawOrderWithMatrices(
        pFrame, piParts, iPartCount, iPolyCount, piKeys, adModel, adProj, aiViewport, piOrder);
}

bool NKUnProject(double x, double y, double z, const double adModel[16], const double adProj[16],
                 const int aiViewport[4], double adOut[3])
{
    if (adModel == nullptr || adProj == nullptr || aiViewport == nullptr || adOut == nullptr)
        return false;
    if (aiViewport[2] == 0 || aiViewport[3] == 0) return false;
    double adFinal[16], adInverse[16];
    MultiplyMatrices(adProj, adModel, adFinal);
    if (!InvertMatrix(adFinal, adInverse)) return false;
    double in[4] = {(x - aiViewport[0]) / aiViewport[2] * 2.0 - 1.0,
                    (y - aiViewport[1]) / aiViewport[3] * 2.0 - 1.0, z * 2.0 - 1.0, 1.0};
    double out[4];
    for (int row = 0; row < 4; row++) {
        out[row] = 0.0;
        for (int k = 0; k < 4; k++) out[row] += adInverse[k * 4 + row] * in[k];
    }
    if (out[3] == 0.0) return false;
    for (int i = 0; i < 3; i++) adOut[i] = out[i] / out[3];
    return true;
}

bool NKPartMatchesFilter(const NKPart *pPart, uint32_t uMask, uint8_t uWanted)
{
    if (uMask == 0) return true;
    if (pPart == nullptr) return false;
    const struct {
        uint32_t uBit;
        bool bHas;
    } aChecks[5] = {{NK_FILTER_VISIBLE, pPart->bVisible != 0},
                    {NK_FILTER_SURFACE, pPart->iDrawStyle == NK_DRAW_SURFACE},
                    {NK_FILTER_LINES, pPart->iDrawStyle == NK_DRAW_LINES},
                    {NK_FILTER_POINTS, pPart->iDrawStyle == NK_DRAW_POINTS},
                    {NK_FILTER_OUTLINE, pPart->iDrawStyle == NK_DRAW_OUTLINE}};
    for (const auto &check : aChecks)
        if ((uMask & check.uBit) && !NKSameTruth(check.bHas, (uWanted & check.uBit) != 0))
            return false;
    return true;
}

int NKCountSelectedParts(const NKGeometry *pGeo, int *piFirst, int *piLast)
{
    int iCount = 0, iFirst = -1, iLast = -1;
    if (pGeo != nullptr && pGeo->pParts != nullptr) {
        for (int i = 0; i < pGeo->iNumParts; i++) {
            if (!pGeo->pParts[i].bSelected) continue;
            if (iFirst < 0) iFirst = i;
            iLast = i;
            iCount++;
        }
    }
    if (piFirst) *piFirst = iFirst;
    if (piLast) *piLast = iLast;
    return iCount;
}

namespace {

bool AllComponents(const uint8_t *c, uint8_t v) { return c[0] == v && c[1] == v && c[2] == v; }

void AdjustOne(const uint8_t *auBackground, uint8_t *c)
{
    if (c == nullptr) return;
    if (AllComponents(c, 255) && AllComponents(auBackground, 255))
        c[0] = c[1] = c[2] = 0;
    else if (AllComponents(c, 0) && AllComponents(auBackground, 0))
        c[0] = c[1] = c[2] = 255;
}

}  // namespace

void NKAdjustColorsToBackground(const uint8_t auBackground[3], uint8_t auA[3], uint8_t auB[3])
{
    if (auBackground == nullptr) return;
    AdjustOne(auBackground, auA);
    AdjustOne(auBackground, auB);
    uint8_t *pHighlight = NKPartHighlightSettings.uSelectionColor;
    if (std::memcmp(pHighlight, auBackground, 3) == 0)
        for (int i = 0; i < 3; i++) pHighlight[i] = auBackground[i] > 0 ? 0 : 255;
}

void NKInvertColor(const uint8_t auIn[3], uint8_t auOut[3])
{
    if (auIn == nullptr || auOut == nullptr) return;
    for (int i = 0; i < 3; i++) auOut[i] = (uint8_t)(255 - auIn[i]);
}
