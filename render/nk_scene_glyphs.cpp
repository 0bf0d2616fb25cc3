// render/nk_scene_glyphs.cpp -- the glyphs of scene data that belong to
// other owners: the path polylines of the surface paths, the previews of
// the mirror planes and the boundary conditions of the older native file
// set (see nk_primitives.h).
#include <GL/gl.h>

#include <cmath>
#include <cstdio>

#include "core/nk_bbox.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_math.h"
#include "core/nk_model.h"
#include "core/nk_render_state.h"
#include "readers/nk_boundary_conditions.h"
#include "render/nk_primitives.h"
#include "render/nk_text_list.h"

NKPathPolyline *g_pPathPolylines = nullptr;
int g_iNumPathPolylines = 0;
int g_iBoundaryLoadCase = 1;
uint8_t g_bBoundaryText = 0;

namespace {

int GraphicsPointSize(void)
{
    return g_pGraphicsSettings != nullptr ? g_pGraphicsSettings->iPointSize : 1;
}

int GraphicsLineWidth(void)
{
    return g_pGraphicsSettings != nullptr ? g_pGraphicsSettings->iLineWidth : 1;
}

const float kKindColors[4][3] = {{0, 1, 1}, {1, 1, 0}, {1, 0, 1}, {0, 1, 0}};

bool TakesPart(const NKBoundaryCondition &bc)
{
    if (bc.iKind < 1 || bc.iKind > 4) return false;
    if (bc.iLoadCase != 0 && bc.iLoadCase != g_iBoundaryLoadCase) return false;
    return g_bShowBoundaryConditions[bc.iKind - 1] != 0;
}

void Line(const float *a, const float *b)
{
    glBegin(GL_LINES);
    glVertex3fv(a);
    glVertex3fv(b);
    glEnd();
}

void Head(const float *pfTail, const float *pfTip)
{
    if (g_VectorSettings.bArrows) NKDrawArrowHead(pfTail, pfTip, g_VectorSettings.fArrowSize);
}

// The point fLength back from the node against the direction of v.
void BackAlong(const float *pfNode, const float *v, float fLength, float *pOut)
{
    float d[3];
    NKVec3Copy(d, v);
    NKVec3Normalize(d);
    for (int k = 0; k < 3; k++) pOut[k] = pfNode[k] - d[k] * fLength;
}

void Text(const NKBoundaryCondition &bc, const float *pfAt, const char *pszText)
{
    const float *c = kKindColors[bc.iKind - 1];
    NKDrawText3D(12, pfAt[0], pfAt[1], pfAt[2], static_cast<uint8_t>(c[0] * 255),
                 static_cast<uint8_t>(c[1] * 255), static_cast<uint8_t>(c[2] * 255), pszText);
}

// The constrained degrees of freedom of a kind-1 record, "1" to "6".
void DrawFreedomText(const NKBoundaryCondition &bc)
{
    char szText[7];
    int n = 0;
    for (int k = 0; k < 6; k++)
        if (bc.iFlags[k] > 0) szText[n++] = static_cast<char>('1' + k);
    szText[n] = '\0';
    Text(bc, bc.fPosition, szText);
}

// Arrows of one record with vectors; pfTail gets the far end of the arrow
// that carries the text.
void DrawArrows(const NKBoundaryCondition &bc, const float *first, const float *second,
                float *pfTail)
{
    const float *node = bc.fPosition;
    const float L = 0.2f * g_fBoundaryConditionScale;
    NKVec3Copy(pfTail, node);
    if (bc.iKind == 1) {
        const NKModel *m = g_pModel;
        const float fGeo = m != nullptr ? m->fGeoScale : 1.0f;
        for (int k = 0; k < 3; k++)
            pfTail[k] = node[k] - first[k] * (m != nullptr ? m->fAxisScale[k] : 1.0f) * fGeo;
        Line(node, pfTail);
        Head(pfTail, node);
        return;
    }
    if (!NKVec3IsZero(first)) {
        BackAlong(node, first, L, pfTail);
        Line(node, pfTail);
        Head(pfTail, node);
    }
    if (bc.iKind == 2 && !NKVec3IsZero(second)) {
        float far[3], fifth[3];
        BackAlong(node, second, L, far);
        Line(node, far);
        Head(far, node);
        for (int k = 0; k < 3; k++) fifth[k] = node[k] + (far[k] - node[k]) * 0.2f;
        Head(far, fifth);
        if (NKVec3IsZero(first)) NKVec3Copy(pfTail, far);
    }
}

void DrawRecord(const NKBoundaryCondition &bc)
{
    const float *first = bc.fValues, *second = bc.fValues + 3;
    glColor3fv(kKindColors[bc.iKind - 1]);
    if (NKVec3IsZero(first) && NKVec3IsZero(second)) {
        if (g_bBoundaryText && bc.iKind == 1) DrawFreedomText(bc);
        return;
    }
    float tail[3];
    DrawArrows(bc, first, second, tail);
    if (!g_bBoundaryText) return;
    const float *v = (bc.iKind == 2 && NKVec3IsZero(first)) ? second : first;
    char szValue[32];
    std::snprintf(szValue, sizeof(szValue), "%g", NKVec3Length(v));
    Text(bc, tail, szValue);
}

void DrawMirrorPlane(const float *pfPlane, const float *pfOrient, const float *pfColor,
                     const NKVectorSettings *pVectors)
{
    const NKModel *m = g_pModel;
    float box[6], c[3], n[3];
    for (int k = 0; k < 6; k++) box[k] = m->fBoundingBox[k];
    for (int k = 0; k < 3; k++) c[k] = (box[k] + box[k + 3]) * 0.5f;
    NKVec3Copy(n, pfPlane);
    const double dLen2 = NKVec3LengthSquared(n);
    if (dLen2 <= 0.0) return;
    const double t = (NKVec3Dot(n, c) + pfPlane[3]) / dLen2;
    for (int k = 0; k < 3; k++) c[k] = static_cast<float>(c[k] - n[k] * t);
    ModelToDisplay(c);
    ModelToDisplayBox(box);
    const float fSize = NKGetMaxExtent(box);
    NKDrawPlaneSymbol(c, n, pfOrient, fSize, fSize, true,
                      pVectors != nullptr ? pVectors->fArrowSize : 1.0f, pfColor, true);
}

}  // namespace

void NKDrawPaths(void)
{
    if (g_pPathPolylines == nullptr || g_iNumPathPolylines <= 0) return;
    glDisable(GL_LIGHTING);
    glPointSize(3.0f * GraphicsPointSize());
    glLineWidth(2.0f * GraphicsLineWidth());
    for (int i = 0; i < g_iNumPathPolylines; i++) {
        const NKPathPolyline &path = g_pPathPolylines[i];
        if (path.pfPoints == nullptr || path.iNumPoints <= 0) continue;
        glColor3ub(path.uRed, path.uGreen, path.uBlue);
        glBegin(GL_LINE_STRIP);
        for (int j = 0; j < path.iNumPoints; j++) glVertex3fv(path.pfPoints[j]);
        glEnd();
        glBegin(GL_POINTS);
        for (int j = path.iNumPoints - 1; j >= 0; j--) {
            if (j == 0) glColor3ub(255, 255, 255);
            glVertex3fv(path.pfPoints[j]);
        }
        glEnd();
    }
    glPointSize(static_cast<float>(GraphicsPointSize()));
    glLineWidth(static_cast<float>(GraphicsLineWidth()));
    glEnable(GL_LIGHTING);
}

void NKDrawMirrorPlanes(NKFrame *, const NKMirrorSettings *pMirror,
                        const NKVectorSettings *pVectors)
{
    if (pMirror == nullptr || g_pModel == nullptr) return;
    static const float kRed[4] = {1.0f, 0.0f, 0.0f, 0.7f}, kBlue[4] = {0.0f, 0.0f, 1.0f, 0.7f};
    if (pMirror->bPreview1) DrawMirrorPlane(pMirror->fPlane1, pMirror->fOrient1, kRed, pVectors);
    if (pMirror->bPreview2) DrawMirrorPlane(pMirror->fPlane2, pMirror->fOrient2, kBlue, pVectors);
}

void NKDrawBoundaryConditions(void)
{
    if (g_BoundaryConditions.empty()) return;
    glDisable(GL_LIGHTING);
    glPointSize(2.0f * GraphicsPointSize());
    glBegin(GL_POINTS);
    for (const NKBoundaryCondition &bc : g_BoundaryConditions) {
        if (!TakesPart(bc)) continue;
        glColor3fv(kKindColors[bc.iKind - 1]);
        glVertex3fv(bc.fPosition);
    }
    glEnd();
    for (const NKBoundaryCondition &bc : g_BoundaryConditions)
        if (TakesPart(bc)) DrawRecord(bc);
    glPointSize(static_cast<float>(GraphicsPointSize()));
    glEnable(GL_LIGHTING);
}
