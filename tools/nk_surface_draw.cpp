// tools/nk_surface_draw.cpp -- the cut-surface and iso-surface passes and the
// cutting planes' OpenGL clip planes (see nk_surface_draw.h, nk_cut_plane.h).
#include "tools/nk_surface_draw.h"

#include <GL/gl.h>

#include <cmath>

#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_math.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_numeric.h"
#include "core/nk_render_state.h"
#include "readers/nk_data_source.h"
#include "render/nk_fringe_texture.h"
#include "render/nk_lights.h"
#include "render/nk_node_colors.h"
#include "render/nk_primitives.h"
#include "tools/nk_cut_plane.h"
#include "tools/nk_cut_surface.h"
#include "tools/nk_iso_surface.h"
#include "tools/nk_surface_records.h"
#include "tools/nk_surface_storage.h"

namespace {

constexpr int kMaxClipPlanes = 6;
// The reservoir result sets draw the sections of hidden parts too.
constexpr int kReservoirInterface = 9;

// The plane through p keeping the side n points into.
void SetClipPlane(GLenum plane, const float *p, const float *n)
{
    const GLdouble eq[4] = {n[0], n[1], n[2],
                            -(double)n[0] * p[0] - (double)n[1] * p[1] - (double)n[2] * p[2]};
    glClipPlane(plane, eq);
}

// A local plane's rectangle (NKGetLocalRectangle) as clip planes 0 to 3,
// each keeping the side of one edge the rectangle lies on.
void SetLocalRectangle(const CutPlane &plane)
{
    const NKLocalRectangle r = NKGetLocalRectangle(plane);
    for (int k = 0; k < 4; k++) {
        const float *d = r.aafDirection[k / 2];
        const float s = k % 2 == 0 ? 1.0f : -1.0f;
        float n[3], p[3];
        for (int c = 0; c < 3; c++) {
            n[c] = -s * d[c];
            p[c] = r.afCenter[c] + s * r.afHalf[k / 2] * d[c];
        }
        SetClipPlane(GL_CLIP_PLANE0 + k, p, n);
        glEnable(GL_CLIP_PLANE0 + k);
    }
}

void DisableLocalRectangle(void)
{
    for (int k = 0; k < 4; k++) glDisable(GL_CLIP_PLANE0 + k);
}

bool PartHidden(const NKGeometry *pGeo, int iPart, bool bHideWithPart)
{
    return bHideWithPart && NKGetUnderlyingInterfaceType() != kReservoirInterface &&
           !pGeo->pParts[iPart].bVisible;
}

bool FringeShade(void)
{
    return g_pGraphicsSettings == nullptr || g_pGraphicsSettings->bFringeShade;
}
bool TextureFringes(void)
{
    return g_pGraphicsSettings != nullptr && g_pGraphicsSettings->bTextureFringes;
}

// The global line width and point size, as every pass leaves them.
void RestoreLineAndPoint(void)
{
    const int iLine = g_pGraphicsSettings != nullptr ? g_pGraphicsSettings->iLineWidth : 1;
    const int iPoint = g_pGraphicsSettings != nullptr ? g_pGraphicsSettings->iPointSize : 1;
    glLineWidth((float)(iLine > 0 ? iLine : 1));
    glPointSize((float)(iPoint > 0 ? iPoint : 1));
}

void CutVertex(const CutSurfacePart &r, int n, bool bTexture)
{
    if (bTexture && r.pfTexCoords != nullptr)
        glTexCoord1f(r.pfTexCoords[n]);
    else if (r.pColors != nullptr)
        glColor3ubv(r.pColors + 3 * n);
    glVertex3fv(r.mesh.pfCoords + 3 * n);
}

// One part record of a plane's cut surface.
void DrawCutPart(const CutSurfacePart &r, bool bLit, bool bTexture)
{
    const NKIndexedFaceSet &m = r.mesh;
    if (m.pfCoords == nullptr || m.piConnects == nullptr || m.piPolygonNumNodes == nullptr) return;
    const bool bUnlitLines = bLit && FringeShade() && !bTexture;
    const bool bFans = g_RendererWorkarounds.bTrianglesOnly != 0;
    // The value filter judges each cut polygon by its own node values (the
    // section's polygons are not the part's).
    const bool bFilter = g_ValueFilterSettings.bValueFilter != 0 && r.pfValues != nullptr;
    glNormal3fv(r.fPlaneNormal);
    int iStart = 0;
    for (int p = 0; p < m.iNumPolygons; iStart += m.piPolygonNumNodes[p], p++) {
        const int iCount = m.piPolygonNumNodes[p];
        const int *c = m.piConnects + (m.piPolygonStart != nullptr ? m.piPolygonStart[p] : iStart);
        if (bFilter && NKAnyValueOutsideFilter(c, iCount, r.pfValues)) continue;
        if (iCount == 2) {
            if (bUnlitLines) glDisable(GL_LIGHTING);
            glBegin(GL_LINES);
            CutVertex(r, c[0], bTexture);
            CutVertex(r, c[1], bTexture);
            glEnd();
            if (bUnlitLines) glEnable(GL_LIGHTING);
            continue;
        }
        if (bFans && iCount < 3) continue;
        glBegin(bFans ? GL_TRIANGLE_FAN : GL_POLYGON);
        for (int k = 0; k < iCount; k++) CutVertex(r, c[k], bTexture);
        glEnd();
    }
}

void DrawPlaneVectors(const CutPlane &plane, const VectorGrid &g, const NKVectorSettings &vs,
                      bool bTexture)
{
    const int iSamples = g.iCountI * g.iCountJ;
    if (iSamples < 1 || g.pfPositions == nullptr || g.pfVectors == nullptr || g.pFound == nullptr)
        return;
    const bool bSampleColors = vs.bScalarColor != 0;
    const bool bTex = bSampleColors && bTexture && g.pfTexCoords != nullptr;
    NKEnableFringeTexture(bTex);
    if (!bSampleColors) glColor3ubv(vs.uColor);
    for (int s = 0; s < iSamples; s++) {
        if (!g.pFound[s]) continue;
        const float *p = g.pfPositions + 3 * s;
        if (plane.bLocal && !NKWithinLocalPlane(plane, p)) continue;
        if (bSampleColors) {
            if (bTex)
                glTexCoord1f(g.pfTexCoords[s]);
            else if (g.pColors != nullptr)
                glColor3ubv(g.pColors + 3 * s);
        }
        if (plane.bVectorPoints) {
            glBegin(GL_POINTS);
            glVertex3fv(p);
            glEnd();
        }
        if (plane.bShowVectors) {
            float tip[3];
            for (int c = 0; c < 3; c++) tip[c] = p[c] + g.pfVectors[3 * s + c];
            glBegin(GL_LINES);
            glVertex3fv(p);
            glVertex3fv(tip);
            glEnd();
            if (vs.bArrows) NKDrawArrowHead(p, tip, vs.fArrowSize);
        }
    }
    if (bTex) NKEnableFringeTexture(false);
}

// Every boundary edge of the cut surface, white; the sections hidden with
// their parts have no outline either.
void DrawOutline(const NKGeometry *pGeo, const CutPlane &plane, CutSurface *pCut)
{
    if (!pCut->bEdgesFound) NKUpdateCutSurfaceEdges(pCut);
    if (!pCut->bEdgesFound) return;
    glDepthFunc(GL_LEQUAL);
    glColor3ub(255, 255, 255);
    glBegin(GL_LINES);
    for (int i = 0; i < pCut->iNumParts; i++) {
        const NKIndexedFaceSet &m = pCut->pParts[i].mesh;
        if (!pCut->pParts[i].bHasSurface || m.pbEdgeType == nullptr || m.pfCoords == nullptr ||
            (i < pGeo->iNumParts && PartHidden(pGeo, i, plane.bHideWithPart)))
            continue;
        int iStart = 0;
        for (int p = 0; p < m.iNumPolygons; iStart += m.piPolygonNumNodes[p], p++) {
            const int iCount = m.piPolygonNumNodes[p];
            for (int k = 0; k < iCount; k++) {
                if (!m.pbEdgeType[iStart + k]) continue;
                glVertex3fv(m.pfCoords + 3 * m.piConnects[iStart + k]);
                glVertex3fv(m.pfCoords + 3 * m.piConnects[iStart + (k + 1) % iCount]);
            }
        }
    }
    glEnd();
    glDepthFunc(GL_LESS);
}

}  // namespace

void CutPlaneSet::ApplyClipPlanes(bool bEnable, int iIndex) const
{
    if (!m_bEnabled) return;
    int k = 0;
    for (int i = 0; i < m_iNumPlanes && k < kMaxClipPlanes; i++) {
        const CutPlane *p = m_pPlanes[i];
        if (p == nullptr || !p->bClip) continue;
        const GLenum plane = GL_CLIP_PLANE0 + k++;
        if (iIndex != -1 && iIndex != i) continue;
        if (bEnable) {
            SetClipPlane(plane, p->fPoint, p->fNormal);
            glEnable(plane);
        } else {
            glDisable(plane);
        }
    }
}

namespace {

const float kBlackSpecular[4] = {0.0f, 0.0f, 0.0f, 1.0f};

// Lit (the set's shade, or the fringe shading when the set leaves it open):
// colour material over white with no specular; unlit: plain colours. The
// texture, when on, modulates or decals accordingly. True when lit.
bool SetupCutSurfaceShading(const CutPlaneSet *pSet, bool bTexture)
{
    glShadeModel(GL_SMOOTH);
    NKEnableFringeTexture(bTexture);
    const uint8_t uShade = pSet->GetShade();
    const bool bLit = uShade == 0 || uShade == 1 ? uShade == 1 : FringeShade();
    if (bLit) {
        glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
        glEnable(GL_LIGHTING);
        glEnable(GL_COLOR_MATERIAL);
        glColor3ub(255, 255, 255);
        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, kBlackSpecular);
        if (bTexture) glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    } else {
        glDisable(GL_LIGHTING);
        if (bTexture) glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    }
    return bLit;
}

// The surfaces of the first iPlanes planes, each part in its material when
// lit, clipped by the other planes or the plane's own rectangle.
void DrawPlaneSurfaces(NKFrame *pFrame, CutPlaneSet *pSet, const NKDisplayListSet *pLists,
                       int iPlanes, bool bLit, bool bTexture)
{
    const NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    const bool bClipEachOther = pSet->GetClipEachOther();
    for (int i = 0; i < iPlanes; i++) {
        const CutPlane *pPlane = pSet->GetPlane(i);
        const CutSurface *pCut = pFrame->pCutSurfaces[i];
        if (pPlane == nullptr || pCut == nullptr || pCut->pParts == nullptr) continue;
        if (bClipEachOther) pSet->ApplyClipPlanes(false, i);
        if (pPlane->bLocal) SetLocalRectangle(*pPlane);
        if (pPlane->bShowSurface) {
            for (int r = 0; r < pCut->iNumParts && r < pGeo->iNumParts; r++) {
                if (!pCut->pParts[r].bHasSurface) continue;
                if (PartHidden(pGeo, r, pPlane->bHideWithPart)) continue;
                if (bLit && pLists != nullptr) {
                    NKCallMaterialList(pLists, r);
                    glColor3ub(255, 255, 255);
                    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, kBlackSpecular);
                }
                DrawCutPart(pCut->pParts[r], bLit, bTexture);
            }
        }
        if (pPlane->bLocal) DisableLocalRectangle();
        // The rectangle took clip planes 0 to 3, which the planes clipping
        // each other use too: they are set up again.
        if (bClipEachOther) pSet->ApplyClipPlanes(true, pPlane->bLocal ? -1 : i);
    }
}

// The vectors and vector points of the first iPlanes planes.
void DrawPlanesVectors(NKFrame *pFrame, const CutPlaneSet *pSet, int iPlanes,
                       const NKVectorSettings *pVectors, bool bTexture)
{
    const NKVectorSettings defaults;
    const NKVectorSettings &vs = pVectors != nullptr ? *pVectors : defaults;
    for (int i = 0; i < iPlanes; i++) {
        const CutPlane *pPlane = pSet->GetPlane(i);
        const CutSurface *pCut = pFrame->pCutSurfaces[i];
        if (pPlane == nullptr || pCut == nullptr || !pCut->bHasNodes) continue;
        if (!pPlane->bShowVectors && !pPlane->bVectorPoints) continue;
        DrawPlaneVectors(*pPlane, pCut->vectorGrid, vs, bTexture);
    }
}

}  // namespace

void NKDrawCutSurfaces(NKFrame *pFrame, CutPlaneSet *pSet, const NKDisplayListSet *pLists,
                       const NKVectorSettings *pVectors)
{
    const NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    if (pGeo == nullptr || pGeo->iNumParts < 1 || pSet == nullptr || !pSet->IsEnabled()) return;
    const bool bTexture = TextureFringes();
    const bool bCull = glIsEnabled(GL_CULL_FACE) == GL_TRUE;
    const bool bLighting = glIsEnabled(GL_LIGHTING) == GL_TRUE;
    if (bCull) glDisable(GL_CULL_FACE);
    const bool bLit = SetupCutSurfaceShading(pSet, bTexture);
    const int iPlanes =
        pSet->GetNumPlanes() < NK_MAX_CUT_SURFACES ? pSet->GetNumPlanes() : NK_MAX_CUT_SURFACES;
    DrawPlaneSurfaces(pFrame, pSet, pLists, iPlanes, bLit, bTexture);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_LIGHTING);
    NKEnableFringeTexture(false);
    DrawPlanesVectors(pFrame, pSet, iPlanes, pVectors, bTexture);
    const int iActive = pSet->GetCurrent();
    const CutPlane *pActive = pSet->GetPlane(iActive);
    if (pSet->GetHighlight() && pActive != nullptr && !pActive->bLocal && iActive < iPlanes &&
        pFrame->pCutSurfaces[iActive] != nullptr)
        DrawOutline(pGeo, *pActive, pFrame->pCutSurfaces[iActive]);
    // The parts drawn next find the lighting as it was.
    if (bLighting) glEnable(GL_LIGHTING);
    if (bCull) glEnable(GL_CULL_FACE);
    RestoreLineAndPoint();
}

void NKDrawIsoSurfaces(NKFrame *pFrame, const NKDisplayListSet *pLists)
{
    const NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    if (pGeo == nullptr || pGeo->iNumParts < 1 || pFrame->pIsoSurfaces == nullptr) return;
    const bool bCull = glIsEnabled(GL_CULL_FACE) == GL_TRUE;
    const bool bLighting = glIsEnabled(GL_LIGHTING) == GL_TRUE;
    if (bCull) glDisable(GL_CULL_FACE);
    GLint iShade = GL_SMOOTH;
    glGetIntegerv(GL_SHADE_MODEL, &iShade);
    NKEnableFringeTexture(false);
    glEnable(GL_LIGHTING);
    glShadeModel(GL_FLAT);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    RestoreLineAndPoint();
    const bool bHideWithPart = g_pIsoSurfaceState == nullptr || g_pIsoSurfaceState->bHideWithPart;
    const bool bByteNormals = g_pGraphicsSettings != nullptr && g_pGraphicsSettings->bDisplayFlag;
    const bool bUnlitLines = FringeShade();
    const int iRecords =
        pFrame->iNumIsoSurfaces < pGeo->iNumParts ? pFrame->iNumIsoSurfaces : pGeo->iNumParts;
    for (int i = 0; i < iRecords; i++) {
        const IsoSurfacePart &r = pFrame->pIsoSurfaces[i];
        const NKIndexedFaceSet &m = r.mesh;
        if (!r.bHasSurface || m.pfCoords == nullptr || m.piConnects == nullptr) continue;
        if (PartHidden(pGeo, i, bHideWithPart)) continue;
        if (pLists != nullptr) NKCallMaterialList(pLists, i);
        if (r.pColors == nullptr) glColor3ubv(r.uColor);
        int iStart = 0;
        for (int p = 0; p < m.iNumPolygons; iStart += m.piPolygonNumNodes[p], p++) {
            const int iCount = m.piPolygonNumNodes[p];
            const int *c = m.piConnects + iStart;
            const bool bLine = iCount == 2;
            if (bLine && bUnlitLines) glDisable(GL_LIGHTING);
            glBegin(bLine ? GL_LINES : GL_POLYGON);
            if (r.pPolygonNormals != nullptr) {
                const signed char *b = r.pPolygonNormals + 3 * p;
                if (bByteNormals) {
                    glNormal3bv(b);
                } else {
                    float n[3];
                    NKUnpackNormal(n, b);
                    glNormal3fv(n);
                }
            }
            for (int k = 0; k < iCount; k++) {
                if (r.pColors != nullptr) glColor3ubv(r.pColors + 3 * c[k]);
                glVertex3fv(m.pfCoords + 3 * c[k]);
            }
            glEnd();
            if (bLine && bUnlitLines) glEnable(GL_LIGHTING);
        }
    }
    glDisable(GL_COLOR_MATERIAL);
    if (!bLighting) glDisable(GL_LIGHTING);
    glShadeModel((GLenum)iShade);
    if (bCull) glEnable(GL_CULL_FACE);
    RestoreLineAndPoint();
}
