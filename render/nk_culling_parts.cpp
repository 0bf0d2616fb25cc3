// render/nk_culling_parts.cpp -- culling of whole parts: the view-frustum
// test, the occlusion test around the opaque pass and the visible-parts
// analysis of a screen rectangle (see nk_culling.h). The occlusion test uses
// GL_HP_occlusion where the driver has it, else an ARB occlusion query
// (GL_SAMPLES_PASSED) whose result is read at once.
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstring>

#include "core/nk_bbox.h"
#include "core/nk_diagnostic.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_math.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_oriented_box.h"
#include "core/nk_part_lists.h"
#include "core/nk_progress.h"
#include "core/nk_ray.h"
#include "core/nk_render_state.h"
#include "core/nk_string.h"
#include "platform/nk_clock.h"
#include "platform/nk_gl_context.h"
#include "render/nk_culling.h"
#include "render/nk_element_drawing.h"
#include "render/nk_lod.h"
#include "render/nk_projection.h"
#include "render/nk_render_options.h"

#ifndef GL_OCCLUSION_TEST_HP
#define GL_OCCLUSION_TEST_HP 0x8165
#define GL_OCCLUSION_TEST_RESULT_HP 0x8166
#endif

namespace {

// ---- Boxes -------------------------------------------------------------------------

// The part's displaced box in display coordinates; false without one.
bool PartDisplayBox(const NKFrame *pFrame, int iPart, float *pfBox)
{
    const float *pfModel = NKGetPartBoundingBox(pFrame, iPart, NK_BOX_DISPLACED_OR_UNDEFORMED);
    if (pfModel == nullptr || pfModel[0] > pfModel[3]) return false;
    std::copy(pfModel, pfModel + 6, pfBox);
    ModelToDisplayBox(pfBox);
    return true;
}

// The axis-aligned hull of the box's corners carried through m.
void TransformedHull(const float *pfBox, const float *m, float *pfHull)
{
    NKSetMaxValues(pfHull);
    for (int c = 0; c < 8; c++) {
        float p[3] = {pfBox[(c & 1) ? 3 : 0], pfBox[(c & 2) ? 4 : 1], pfBox[(c & 4) ? 5 : 2]};
        NKTransformPoint(m, p);
        for (int k = 0; k < 3; k++) {
            pfHull[k] = std::min(pfHull[k], p[k]);
            pfHull[k + 3] = std::max(pfHull[k + 3], p[k]);
        }
    }
}

void ClearCulled(NKGeometry *pGeo)
{
    for (int p = 0; pGeo != nullptr && p < pGeo->iNumParts; p++) pGeo->pParts[p].bCulled = 0;
}

void ShowCullInfo(const char *pszText) { NKSetStatusText(pszText); }

NKString CullTimeText(uint32_t uStart)
{
    const uint32_t uMs = NKGetMilliseconds() - uStart;
    return uMs < 1 ? NKString("< 1ms") : NKString::FromFormat("%dms", int(uMs));
}

// ---- Occlusion queries ----------------------------------------------------------------

struct OcclusionState {
    bool bActive = false;
    bool bHP = false;
    bool bQueryOpen = false;
    GLuint uQuery = 0;
    PFNGLGENQUERIESPROC pfnGenQueries = nullptr;
    PFNGLDELETEQUERIESPROC pfnDeleteQueries = nullptr;
    PFNGLBEGINQUERYPROC pfnBeginQuery = nullptr;
    PFNGLENDQUERYPROC pfnEndQuery = nullptr;
    PFNGLGETQUERYOBJECTUIVPROC pfnGetQueryObjectuiv = nullptr;
};
OcclusionState sg_Occlusion;

bool HasExtension(const char *pszName)
{
    const char *pszAll = reinterpret_cast<const char *>(glGetString(GL_EXTENSIONS));
    return pszAll != nullptr && std::strstr(pszAll, pszName) != nullptr;
}

bool LoadQueryFunctions(OcclusionState *s)
{
    if (s->pfnGenQueries == nullptr) {
        s->pfnGenQueries = (PFNGLGENQUERIESPROC)NKGetGLProcAddress("glGenQueries");
        s->pfnDeleteQueries = (PFNGLDELETEQUERIESPROC)NKGetGLProcAddress("glDeleteQueries");
        s->pfnBeginQuery = (PFNGLBEGINQUERYPROC)NKGetGLProcAddress("glBeginQuery");
        s->pfnEndQuery = (PFNGLENDQUERYPROC)NKGetGLProcAddress("glEndQuery");
        s->pfnGetQueryObjectuiv =
            (PFNGLGETQUERYOBJECTUIVPROC)NKGetGLProcAddress("glGetQueryObjectuiv");
    }
    return s->pfnGenQueries != nullptr && s->pfnDeleteQueries != nullptr &&
           s->pfnBeginQuery != nullptr && s->pfnEndQuery != nullptr &&
           s->pfnGetQueryObjectuiv != nullptr;
}

void DrawFilledBox(const float *b)
{
    static const int kFaces[6][4] = {{0, 2, 6, 4}, {1, 5, 7, 3}, {0, 4, 5, 1},
                                     {2, 3, 7, 6}, {0, 1, 3, 2}, {4, 6, 7, 5}};
    glBegin(GL_QUADS);
    for (const auto &face : kFaces)
        for (int c : face) glVertex3f(b[(c & 1) ? 3 : 0], b[(c & 2) ? 4 : 1], b[(c & 4) ? 5 : 2]);
    glEnd();
}

// ---- Visible parts ---------------------------------------------------------------------

void DrawPartInColor(NKFrame *pFrame, int iPart, const uint8_t *pRgb)
{
    NKPart &part = pFrame->pGeometry->pParts[iPart];
    const float *pfCoords = GetPartNodeCoords(iPart, &part, pFrame);
    const uint8_t *pBytes = NKGetPartVisibility(pFrame, iPart);
    int iFirst = 0, iLast = -1;
    if (pfCoords == nullptr || !NKGetPartPolygonRange(pFrame, iPart, &iFirst, &iLast)) return;
    const uint8_t uLevel = NKGetPartLevel(pFrame->pGeometry, iPart);
    glColor3ubv(pRgb);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    if (pFrame->pTransformation != nullptr) glMultMatrixf(pFrame->pTransformation + 16 * iPart);
    for (int k = iFirst; k <= iLast; k++) {
        if (pBytes != nullptr && pBytes[k] != uLevel) continue;
        const int *piNodes = nullptr;
        int n = 0;
        if (!NKGetValidPolygon(part, k, &piNodes, &n) || n < 1) continue;
        glBegin(n < 3 ? GL_LINES : GL_POLYGON);
        for (int i = 0; i < n; i++) glVertex3fv(pfCoords + 3 * size_t(piNodes[i]));
        glEnd();
    }
    glPopMatrix();
}

}  // namespace

// ---- Frustum ----------------------------------------------------------------------------

bool NKCullPartsToFrustum(NKFrame *pFrame, bool bBest, int iWidth, int iHeight, float fNear,
                          float fFar, const float *pfModelView, bool bInfo, bool bPerspective)
{
    NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    if (pGeo == nullptr || pfModelView == nullptr) return false;
    const uint32_t uStart = NKGetMilliseconds();
    if (!bPerspective) {
        ClearCulled(pGeo);
        return true;
    }
    float afVolume[6], afPlanes[6][4];
    NKGetViewVolumeBox(iWidth, iHeight, fNear, fFar, afVolume, nullptr);
    // Reversed so that the inside is where the plane functions are positive,
    // as the box classification takes it.
    NKGetViewFrustumPlanes(iWidth, iHeight, fNear, fFar, afPlanes, true, true);
    const float *pfGeoModel = NKGetGeoBoundingBox(pFrame, NK_BOX_DISPLACED_OR_UNDEFORMED);
    if (pfGeoModel != nullptr) {
        float afGeo[6], afHull[6];
        std::copy(pfGeoModel, pfGeoModel + 6, afGeo);
        ModelToDisplayBox(afGeo);
        TransformedHull(afGeo, pfModelView, afHull);
        if (NKClassifyBoxAgainstPlanes(&afPlanes[0][0], 6, afHull, true) == 1) {
            ClearCulled(pGeo);
            if (bInfo) ShowCullInfo("Nothing culled");
            return true;
        }
    }
    int iFast = 0, iBest = 0;
    for (int p = 0; p < pGeo->iNumParts; p++) {
        NKPart &part = pGeo->pParts[p];
        part.bCulled = 0;
        float afBox[6], afHull[6], afMatrix[16];
        if (!part.bVisible || !PartDisplayBox(pFrame, p, afBox)) continue;
        if (pFrame->pTransformation != nullptr)
            NKMat4Multiply(pfModelView, pFrame->pTransformation + 16 * p, afMatrix);
        else
            std::copy(pfModelView, pfModelView + 16, afMatrix);
        TransformedHull(afBox, afMatrix, afHull);
        if (!NKBoxesOverlap(afHull, afVolume)) {
            part.bCulled = 1;
            iFast++;
        } else if (bBest && NKClassifyBoxAgainstPlanes(&afPlanes[0][0], 4, afHull, false) == -1) {
            part.bCulled = 1;
            iBest++;
        }
    }
    if (bInfo)
        ShowCullInfo(NKString::FromFormat("Culled parts: %d  (fast: %d, best: %d, cull time: %s)",
                                          iFast + iBest, iFast, iBest,
                                          CullTimeText(uStart).GetText())
                         .GetText());
    return true;
}

// ---- Occlusion ----------------------------------------------------------------------------

bool NKPrepareOcclusionCullingHP(NKFrame *pFrame, NKPartListCache *pLists)
{
    g_OcclusionStatistics = NKOcclusionStatistics();
    OcclusionState &s = sg_Occlusion;
    s.bHP = HasExtension("GL_HP_occlusion");
    if (!s.bHP && !LoadQueryFunctions(&s)) return false;
    if (pLists != nullptr && pLists->iNumOpaqueParts > 1) {
        float afInverse[16], afModelView[16], afEye[3] = {0.0f, 0.0f, 0.0f};
        glGetFloatv(GL_MODELVIEW_MATRIX, afModelView);
        if (NKInvertMatrix(afModelView, afInverse)) NKTransformPoint(afInverse, afEye);
        const int n = pLists->iNumOpaqueParts;
        int *piOrder = static_cast<int *>(NKAlloc(size_t(n) * sizeof(int)));
        if (piOrder == nullptr)
            return NKDiagnostic("Unable to allocate memory for pSortedNormalOrder",
                                "NKPrepareOcclusionCullingHP");
        if (NKComputeTransparentPartsDrawOrder(afEye, pFrame, pLists->pOpaqueParts, n, false,
                                               piOrder)) {
            NKFree(pLists->pOpaqueParts);
            pLists->pOpaqueParts = piOrder;
        } else {
            NKFree(piOrder);
        }
    }
    if (s.bHP) {
        glEnable(GL_OCCLUSION_TEST_HP);
    } else if (s.uQuery == 0) {
        s.pfnGenQueries(1, &s.uQuery);
    }
    s.bActive = true;
    return true;
}

bool NKIsOcclusionCullingActive(void) { return sg_Occlusion.bActive; }

bool NKIsPartOccludedHP(int iPart, NKFrame *pFrame)
{
    OcclusionState &s = sg_Occlusion;
    float afBox[6];
    const NKPart *pPart = NKGetFramePart(pFrame, iPart);
    if (!s.bActive || pPart == nullptr || !PartDisplayBox(pFrame, iPart, afBox)) return false;
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_POLYGON_BIT);
    glDepthMask(GL_FALSE);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    bool bPassed = true;
    if (s.bHP) {
        GLboolean bResult = GL_FALSE;
        glGetBooleanv(GL_OCCLUSION_TEST_RESULT_HP, &bResult);
        DrawFilledBox(afBox);
        glGetBooleanv(GL_OCCLUSION_TEST_RESULT_HP, &bResult);
        bPassed = bResult != GL_FALSE;
    } else {
        s.pfnBeginQuery(GL_SAMPLES_PASSED, s.uQuery);
        s.bQueryOpen = true;
        DrawFilledBox(afBox);
        s.pfnEndQuery(GL_SAMPLES_PASSED);
        s.bQueryOpen = false;
        GLuint uSamples = 1;
        s.pfnGetQueryObjectuiv(s.uQuery, GL_QUERY_RESULT, &uSamples);
        bPassed = uSamples > 0;
    }
    glPopAttrib();
    if (bPassed) return false;
    g_OcclusionStatistics.iPartsCulled++;
    g_OcclusionStatistics.iPolygonsCulled += pPart->iNumPolygons;
    return true;
}

void NKEndOcclusionCullingHP(void)
{
    OcclusionState &s = sg_Occlusion;
    if (s.bQueryOpen && s.pfnEndQuery != nullptr) s.pfnEndQuery(GL_SAMPLES_PASSED);
    s.bQueryOpen = false;
    if (s.bActive && s.bHP) glDisable(GL_OCCLUSION_TEST_HP);
    s.bActive = false;
}

// ---- Visible parts --------------------------------------------------------------------------

void NKRenderVisiblePartsScene(NKVisiblePartsRequest *pRequest, HiddenPartCuller *pCuller,
                               NKFrame *pFrame)
{
    NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    if (pRequest == nullptr || pCuller == nullptr || pGeo == nullptr) return;
    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_CURRENT_BIT);
    glDisable(GL_FOG);
    glDisable(GL_DITHER);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_1D);
    glDisable(GL_TEXTURE_2D);
    glShadeModel(GL_FLAT);
    const int iSavedGroup = pCuller->iPolygonsPerIdentity;
    pCuller->iPolygonsPerIdentity = 1;
    for (int p = 0; p < pGeo->iNumParts; p++) {
        if (!pGeo->pParts[p].bVisible || pGeo->pParts[p].bCulled) continue;
        uint8_t rgb[3];
        NKIdentityToColor(p + 1, &rgb[0], &rgb[1], &rgb[2]);
        DrawPartInColor(pFrame, p, rgb);
    }
    pCuller->iPolygonsPerIdentity = iSavedGroup;
    glPopAttrib();
}

bool NKAnalyzeVisiblePartsScene(NKVisiblePartsRequest *pRequest, HiddenPartCuller *pCuller,
                                NKFrame *pFrame)
{
    const NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    if (pRequest == nullptr || pCuller == nullptr || pGeo == nullptr) return false;
    const int x = std::max(pRequest->iLeft, 0), y = std::max(pRequest->iBottom, 0);
    const int w = pRequest->iRight - x + 1, h = pRequest->iTop - y + 1;
    pRequest->bPending = 0;
    if (w < 1 || h < 1) return false;
    uint8_t *pBuf = static_cast<uint8_t *>(NKAlloc(size_t(w) * size_t(h) * 4));
    if (pBuf == nullptr)
        return NKDiagnostic("Error allocating memory for pFrameBuf", "NKAnalyzeVisiblePartsScene");
    NKFreeVisiblePartsResult(pRequest);
    pRequest->pbVisible = static_cast<uint8_t *>(NKCalloc(size_t(std::max(pGeo->iNumParts, 1)), 1));
    if (pRequest->pbVisible == nullptr) {
        NKFree(pBuf);
        return NKDiagnostic("Couldn't allocate pbVisibleList", "NKAnalyzeVisiblePartsScene");
    }
    pRequest->iNumParts = pGeo->iNumParts;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pBuf);
    const int iSavedGroup = pCuller->iPolygonsPerIdentity;
    pCuller->iPolygonsPerIdentity = 1;
    uint32_t uPrevious = 0;
    for (size_t i = 0; i < size_t(w) * size_t(h); i++) {
        uint32_t uPixel;
        std::memcpy(&uPixel, pBuf + 4 * i, 4);
        if (i > 0 && uPixel == uPrevious) continue;
        uPrevious = uPixel;
        const uint8_t *c = pBuf + 4 * i;
        const int iIdentity = NKColorToIdentity(c[0], c[1], c[2]);
        if (iIdentity >= 1 && iIdentity <= pGeo->iNumParts) pRequest->pbVisible[iIdentity - 1] = 1;
    }
    pCuller->iPolygonsPerIdentity = iSavedGroup;
    NKFree(pBuf);
    pRequest->bReady = 1;
    return true;
}

void NKFreeVisiblePartsResult(NKVisiblePartsRequest *pRequest)
{
    if (pRequest == nullptr) return;
    NKFree(pRequest->pbVisible);
    pRequest->pbVisible = nullptr;
    pRequest->iNumParts = 0;
    pRequest->bReady = 0;
}
