// render/nk_primitives.cpp -- arrow heads, labelled arrows, rulers, plane
// symbols, pyramids, boxes, quad lists, sphere glyphs, cylinders and grid
// points (see nk_primitives.h). The GLU quadrics are made on first use and
// kept for the program's life.
#include "render/nk_primitives.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdio>

#include "core/nk_bbox.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_math.h"
#include "core/nk_memory.h"
#include "core/nk_numeric.h"
#include "core/nk_oriented_box.h"
#include "core/nk_view_state.h"
#include "render/nk_camera.h"
#include "render/nk_label_overlay.h"
#include "render/nk_text.h"
#include "render/nk_text_list.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

GLUquadric *sg_pFlatSphere = nullptr;
GLUquadric *sg_pSmoothSphere = nullptr;
GLUquadric *sg_pDisk = nullptr;

GLUquadric *Quadric(GLUquadric **ppQuadric, GLenum eNormals)
{
    if (*ppQuadric == nullptr) {
        *ppQuadric = gluNewQuadric();
        if (*ppQuadric != nullptr) {
            gluQuadricNormals(*ppQuadric, eNormals);
            gluQuadricOrientation(*ppQuadric, GLU_OUTSIDE);
        }
    }
    return *ppQuadric;
}

float GraphicsLineWidth(void)
{
    return g_pGraphicsSettings != nullptr ? static_cast<float>(g_pGraphicsSettings->iLineWidth)
                                          : 1.0f;
}

// out = a + b x s
void AddScaled(const float *a, const float *b, float s, float *pOut)
{
    for (int k = 0; k < 3; k++) pOut[k] = a[k] + b[k] * s;
}

void Triangle(const float *a, const float *b, const float *c)
{
    glVertex3fv(a);
    glVertex3fv(b);
    glVertex3fv(c);
}

// The triangle's face normal, then its vertices.
void LitTriangle(const float *a, const float *b, const float *c)
{
    float e1[3], e2[3], n[3];
    NKVec3Difference(b, a, e1);
    NKVec3Difference(c, a, e2);
    NKCrossProduct(e1, e2, n);
    NKVec3Normalize(n);
    glNormal3fv(n);
    Triangle(a, b, c);
}

// The eight corners in the order of NKOrientedBox: 0-3 the y-minimum face,
// 4-7 the y-maximum face.
void BoxCorners(const float *b, float c[8][3])
{
    const float x0 = b[0], y0 = b[1], z0 = b[2], x1 = b[3], y1 = b[4], z1 = b[5];
    const float afCorners[8][3] = {{x0, y0, z1}, {x1, y0, z1}, {x1, y0, z0}, {x0, y0, z0},
                                   {x0, y1, z1}, {x1, y1, z1}, {x1, y1, z0}, {x0, y1, z0}};
    for (int i = 0; i < 8; i++) NKVec3Copy(c[i], afCorners[i]);
}

const int kFaces[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4},
                          {2, 3, 7, 6}, {3, 0, 4, 7}, {1, 2, 6, 5}};

void DrawCorners(const float c[8][3], const float n[6][3], bool bFilled, float fLineWidth)
{
    if (bFilled) {
        glBegin(GL_QUADS);
        for (int f = 0; f < 6; f++) {
            glNormal3fv(n[f]);
            for (int k = 0; k < 4; k++) glVertex3fv(c[kFaces[f][k]]);
        }
        glEnd();
        return;
    }
    const GLboolean bLit = glIsEnabled(GL_LIGHTING);
    glLineWidth(fLineWidth);
    if (bLit) glDisable(GL_LIGHTING);
    for (int f = 0; f < 2; f++) {
        glBegin(GL_LINE_LOOP);
        for (int k = 0; k < 4; k++) glVertex3fv(c[f * 4 + k]);
        glEnd();
    }
    glBegin(GL_LINES);
    for (int k = 0; k < 4; k++) {
        glVertex3fv(c[k]);
        glVertex3fv(c[k + 4]);
    }
    glEnd();
    if (bLit) glEnable(GL_LIGHTING);
    glLineWidth(GraphicsLineWidth());
}

}  // namespace

void NKDrawArrowHead(const float *pfTail, const float *pfTip, float fHeadScale)
{
    if (pfTail == nullptr || pfTip == nullptr) return;
    float d[3], r[3] = {0.0f, 10.0f, 0.0f}, u[3], v[3], b[3], p1[3], p2[3];
    NKVec3Difference(pfTip, pfTail, d);
    const double L = NKVec3Length(d);
    if (L < 1e-5) return;
    NKVec3Scale(d, static_cast<float>(1.0 / L));
    if (d[0] == 0.0f && d[2] == 0.0f) NKVec3Set(r, 10.0f, 0.0f, 0.0f);
    NKVec3SubtractFrom(r, pfTail);
    NKCrossProduct(d, r, u);
    const double dU = NKVec3Length(u);
    if (dU < 1e-5) return;
    NKVec3Scale(u, static_cast<float>(1.0 / dU));
    NKCrossProduct(u, d, v);
    const float h = static_cast<float>(0.2 * L * fHeadScale);
    const float w = static_cast<float>(0.05 * L * fHeadScale);
    AddScaled(pfTip, d, -h, b);
    glBegin(GL_TRIANGLES);
    AddScaled(b, v, w, p1);
    AddScaled(b, v, -w, p2);
    Triangle(pfTip, p1, p2);
    AddScaled(b, u, w, p1);
    AddScaled(b, u, -w, p2);
    Triangle(pfTip, p1, p2);
    glEnd();
}

void NKDrawLabelledArrow(const float *pfPoint, const float *pfDirection, float fLength, bool bHead,
                         float fHeadScale, bool bRuler, bool bLabel, bool bDirectText,
                         const char *pszLabel, const float *pfColor)
{
    if (pfPoint == nullptr || pfDirection == nullptr) return;
    float tip[3];
    AddScaled(pfPoint, pfDirection, fLength, tip);
    if (pfColor != nullptr) glColor3fv(pfColor);
    glBegin(GL_LINES);
    glVertex3fv(pfPoint);
    glVertex3fv(tip);
    glEnd();
    if (bHead) NKDrawArrowHead(pfPoint, tip, fHeadScale * 0.5f);
    const uint8_t *c = NKGetTextColor();
    if (bLabel && bDirectText) {
        NKDrawText3D(12, tip[0], tip[1], tip[2], c[0], c[1], c[2], pszLabel);
    } else if (bLabel) {
        LabelItem item(pszLabel);
        item.SetPoint(tip[0], tip[1], tip[2]);
        item.SetColorBytes(0, c[0], c[1], c[2], 255);
        item.SetFramed(false);
        item.SetMarker(false);
        AddLabel(g_pLabelOverlay, item, NK_LABEL_OWNER_ARROW);
    }
    if (bRuler) NKDrawRuler(pfPoint, tip, 3, 0.0f);
}

bool NKDrawRuler(const float *pfStart, const float *pfEnd, int iDivisions, float fStartValue)
{
    if (pfStart == nullptr || pfEnd == nullptr || iDivisions <= 0) return false;
    float m0[3], m1[3];
    NKVec3Copy(m0, pfStart);
    NKVec3Copy(m1, pfEnd);
    DisplayToModel(m0);
    DisplayToModel(m1);
    const double dDisplay = NKVec3Distance(pfStart, pfEnd);
    const double dModel = NKVec3Distance(m0, m1);
    if (!(dDisplay > 0.0) || !(dModel > 0.0)) return false;
    const double dStep = NKRoundUpNice(static_cast<float>(dModel / iDivisions));
    if (!(dStep > 0.0)) return false;
    double v = dStep * std::trunc(fStartValue / dStep);
    if (fStartValue >= 0.0f && v != fStartValue) v += dStep;
    double t = (v - fStartValue) / dModel;
    const uint8_t *c = NKGetTextColor();
    for (; t < 0.99; t += dStep / dModel, v += dStep) {
        char szValue[32];
        std::snprintf(szValue, sizeof(szValue), "%g", std::fabs(v) < 1e-6 ? 0.0 : v);
        LabelItem item(szValue);
        float p[3];
        for (int k = 0; k < 3; k++)
            p[k] = static_cast<float>(pfStart[k] + t * (pfEnd[k] - pfStart[k]));
        item.SetPoint(p[0], p[1], p[2]);
        item.SetColorBytes(0, c[0], c[1], c[2], 255);
        item.SetColorBytes(3, c[0], c[1], c[2], 255);
        item.SetFramed(false);
        item.SetMarkerSize(3);
        AddLabel(g_pLabelOverlay, item, NK_LABEL_OWNER_RULER);
    }
    return true;
}

void NKDrawPlaneSymbol(const float *pfCenter, const float *pfNormal, const float *pfDirection,
                       float fWidth, float fHeight, bool bArrow, float fHeadScale,
                       const float *pfColor, bool bFilled)
{
    if (pfCenter == nullptr || pfNormal == nullptr) return;
    float n[3], u[3], v[3], q[4][3];
    NKVec3Copy(n, pfNormal);
    NKVec3Normalize(n);
    if (pfDirection != nullptr)
        NKVec3Copy(u, pfDirection);
    else
        NKVec3AnyPerpendicular(n, u);
    NKVec3Normalize(u);
    NKCrossProduct(n, u, v);
    NKVec3Normalize(v);
    const float su[4] = {-0.5f, 0.5f, 0.5f, -0.5f}, sv[4] = {-0.5f, -0.5f, 0.5f, 0.5f};
    for (int i = 0; i < 4; i++)
        for (int k = 0; k < 3; k++)
            q[i][k] = pfCenter[k] + u[k] * fWidth * su[i] + v[k] * fHeight * sv[i];
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT);
    if (pfColor != nullptr) glColor4fv(pfColor);
    if (bFilled) {
        glEnable(GL_COLOR_MATERIAL);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glBegin(GL_QUADS);
        glNormal3fv(n);
        for (const auto &p : q) glVertex3fv(p);
        glEnd();
    } else {
        glDisable(GL_LIGHTING);
        glBegin(GL_LINE_LOOP);
        for (const auto &p : q) glVertex3fv(p);
        glEnd();
    }
    if (bArrow) {
        glDisable(GL_LIGHTING);
        float tip[3];
        AddScaled(pfCenter, n, 0.2f * (fWidth > fHeight ? fWidth : fHeight), tip);
        glBegin(GL_LINES);
        glVertex3fv(pfCenter);
        glVertex3fv(tip);
        glEnd();
        NKDrawArrowHead(pfCenter, tip, fHeadScale);
    }
    glPopAttrib();
}

void NKDrawPyramid(const float *pfPoint, const float *pfAxis, const float *pfSide, float fLength,
                   float fWidth)
{
    if (pfPoint == nullptr || pfAxis == nullptr || pfSide == nullptr) return;
    float a[3], b[3], c[3];
    NKVec3Copy(a, pfAxis);
    NKVec3Normalize(a);
    NKVec3Copy(b, pfSide);
    NKVec3Normalize(b);
    NKCrossProduct(a, b, c);
    NKVec3Normalize(c);
    NKVec3Scale(a, fLength * 0.5f);
    NKVec3Scale(b, fWidth * 0.5f);
    NKVec3Scale(c, fWidth * 0.5f);
    // The apex lies half a length along the axis, the base half a length back.
    float apex[3], base[4][3];
    NKVec3Sum(pfPoint, a, apex);
    const float sb[4] = {1, -1, -1, 1}, sc[4] = {1, 1, -1, -1};
    for (int i = 0; i < 4; i++)
        for (int k = 0; k < 3; k++) base[i][k] = pfPoint[k] - a[k] + b[k] * sb[i] + c[k] * sc[i];
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < 4; i++) LitTriangle(apex, base[i], base[(i + 1) % 4]);
    LitTriangle(base[0], base[3], base[2]);
    LitTriangle(base[0], base[2], base[1]);
    glEnd();
}

void NKDrawBox(const float *pfBox, bool bFilled, float fLineWidth)
{
    if (pfBox == nullptr) return;
    float c[8][3];
    BoxCorners(pfBox, c);
    const float n[6][3] = {{0, -1, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, -1}, {-1, 0, 0}, {1, 0, 0}};
    DrawCorners(c, n, bFilled, fLineWidth);
}

void NKDrawOrientedBox(NKOrientedBox *pBox, bool bFilled, float fLineWidth, bool bAxes)
{
    if (pBox == nullptr) return;
    float c[8][3], n[6][3];
    pBox->GetCorners(c, nullptr, n);
    DrawCorners(c, n, bFilled, fLineWidth);
    if (!bAxes) return;
    static const float kColors[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    static const char *const kNames[3] = {"x", "y", "z"};
    for (int k = 0; k < 3; k++)
        NKDrawLabelledArrow(pBox->GetCenter(), pBox->GetAxis(k), pBox->GetHalfExtents()[k], true,
                            1.0f, false, true, false, kNames[k], kColors[k]);
}

void NKDrawQuadList(const float *pfCoords, const int *piQuads, int iCount, const float *pfNormals,
                    int iPerNormal, const uint8_t *pColors, const float *pfTexCoords, int iPerColor)
{
    if (pfCoords == nullptr || piQuads == nullptr) return;
    int iNormal = 0, iColor = 0, iNormalLeft = 0, iColorLeft = 0;
    for (int q = 0; q < iCount; q++) {
        glBegin(GL_POLYGON);
        for (int k = 0; k < 4; k++) {
            if (pfNormals != nullptr && iNormalLeft-- <= 0) {
                glNormal3fv(pfNormals + 3 * iNormal++);
                iNormalLeft = iPerNormal - 1;
            }
            if ((pColors != nullptr || pfTexCoords != nullptr) && iColorLeft-- <= 0) {
                if (pColors != nullptr) glColor3ubv(pColors + 3 * iColor);
                if (pfTexCoords != nullptr) glTexCoord1f(pfTexCoords[iColor]);
                iColor++;
                iColorLeft = iPerColor - 1;
            }
            glVertex3fv(pfCoords + 3 * piQuads[4 * q + k]);
        }
        glEnd();
    }
}

void NKDrawSphereGlyph(float fRadius, int iResolution, bool bSmooth)
{
    if (iResolution >= 6) {
        GLUquadric *q =
            bSmooth ? Quadric(&sg_pSmoothSphere, GLU_SMOOTH) : Quadric(&sg_pFlatSphere, GLU_FLAT);
        if (q != nullptr) gluSphere(q, fRadius, iResolution, iResolution);
        return;
    }
    const float r = fRadius;
    glBegin(GL_QUADS);
    glNormal3f(0, 0, 1);
    glVertex3f(-r, -r, 0), glVertex3f(r, -r, 0), glVertex3f(r, r, 0), glVertex3f(-r, r, 0);
    glNormal3f(0, 1, 0);
    glVertex3f(-r, 0, -r), glVertex3f(-r, 0, r), glVertex3f(r, 0, r), glVertex3f(r, 0, -r);
    glNormal3f(1, 0, 0);
    glVertex3f(0, -r, -r), glVertex3f(0, r, -r), glVertex3f(0, r, r), glVertex3f(0, -r, r);
    glEnd();
}

void NKDrawCylinderWall(float fRadius, float fHeight, int iSlices, bool bSmooth,
                        const float *pfColorBottom, const float *pfColorTop)
{
    if (iSlices <= 0) return;
    const double dStep = 2.0 * kPi / iSlices;
    glBegin(GL_QUAD_STRIP);
    for (int i = 0; i <= iSlices; i++) {
        const double a = i * dStep;
        const float x = static_cast<float>(-std::sin(a) * fRadius);
        const float y = static_cast<float>(std::cos(a) * fRadius);
        // Flat facets take the direction half a step back, the facet's middle.
        const double an = bSmooth ? a : a - dStep * 0.5;
        glNormal3f(static_cast<float>(-std::sin(an)), static_cast<float>(std::cos(an)), 0.0f);
        if (pfColorTop != nullptr) glColor3fv(pfColorTop);
        glVertex3f(x, y, fHeight);
        if (pfColorBottom != nullptr) glColor3fv(pfColorBottom);
        glVertex3f(x, y, 0.0f);
    }
    glEnd();
}

// The turn that takes +z onto d, then the turn about z that brings the
// turned +x back into the x-z plane.
static void RotateZOnto(const float *d)
{
    const float z[3] = {0.0f, 0.0f, 1.0f};
    float axis[3];
    NKCrossProduct(z, d, axis);
    if (NKVec3Length(axis) < 1e-12) NKVec3Set(axis, 1.0f, 0.0f, 0.0f);
    const double dAngle = NKVec3Angle(z, d, true);
    glRotated(dAngle, axis[0], axis[1], axis[2]);
    GLfloat m[16];
    glPushMatrix();
    glLoadIdentity();
    glRotated(dAngle, axis[0], axis[1], axis[2]);
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    glPopMatrix();
    const float x[3] = {1.0f, 0.0f, 0.0f}, xr[3] = {m[0], m[1], m[2]};
    double dTurn = NKVec3Angle(x, xr, true);
    if (xr[1] < 0.0f) dTurn = 360.0 - dTurn;
    glRotated(dTurn, 0.0, 0.0, 1.0);
}

void NKDrawCylinderBetweenPoints(const float *pfP0, const float *pfP1, float fRadius, bool bSmooth,
                                 int iSlices, float fSliceFactor, const float *pfColor0,
                                 const float *pfColor1, int iCap0, int iCap1)
{
    if (pfP0 == nullptr || pfP1 == nullptr) return;
    const int n = static_cast<int>((iSlices < 0 ? 10 : iSlices) * fSliceFactor + 0.5f);
    float d[3];
    NKVec3Difference(pfP1, pfP0, d);
    const float L = static_cast<float>(NKVec3Length(d));
    glPushMatrix();
    glTranslatef(pfP0[0], pfP0[1], pfP0[2]);
    RotateZOnto(d);
    NKDrawCylinderWall(fRadius, L, n, bSmooth, pfColor0, pfColor1);
    GLUquadric *pDisk = Quadric(&sg_pDisk, GLU_FLAT);
    if (iCap0 == NK_CAP_SPHERE) NKDrawSphereGlyph(fRadius, n, bSmooth);
    if (iCap0 == NK_CAP_DISK && pDisk != nullptr) {
        if (pfColor0 != nullptr) glColor3fv(pfColor0);
        gluQuadricOrientation(pDisk, GLU_INSIDE);
        gluDisk(pDisk, 0.0, fRadius, n > 0 ? n : 1, 1);
    }
    glTranslatef(0.0f, 0.0f, L);
    if (iCap1 == NK_CAP_SPHERE) NKDrawSphereGlyph(fRadius, n, bSmooth);
    if (iCap1 == NK_CAP_DISK && pDisk != nullptr) {
        if (pfColor1 != nullptr) glColor3fv(pfColor1);
        gluQuadricOrientation(pDisk, GLU_OUTSIDE);
        gluDisk(pDisk, 0.0, fRadius, n > 0 ? n : 1, 1);
    }
    glPopMatrix();
}

int NKSphereResolutionForSize(float s, float fFactor)
{
    static const float kLimits[10] = {0.6f,  0.4f,   0.2f,  0.1f,   0.05f,
                                      0.04f, 0.025f, 0.02f, 0.005f, 0.001f};
    static const int kLevels[10] = {30, 22, 16, 12, 10, 9, 8, 7, 6, 2};
    int iLevel = 0;
    for (int i = 0; i < 10; i++)
        if (s >= kLimits[i]) {
            iLevel = kLevels[i];
            break;
        }
    int iRes = static_cast<int>(iLevel * fFactor + 0.5f);
    if (iLevel >= 6 && iRes < 6) iRes = 6;
    return iRes;
}

void NKDrawSpherePoints(const float *pfPoints, int iCount, float fRadius, bool bSmooth,
                        int iResolution, float fFactor, const uint8_t *pColors)
{
    if (pfPoints == nullptr) return;
    float eye[3] = {0.0f, 0.0f, 2.0f};
    if (iResolution == -1) NKGetEyePoint(eye);
    const float fTan = g_fFieldOfViewFactor > 0.0f ? g_fFieldOfViewFactor : NK_DEFAULT_FOV_FACTOR;
    for (int i = 0; i < iCount; i++) {
        const float *p = pfPoints + 3 * i;
        if (pColors != nullptr) glColor3ubv(pColors + 3 * i);
        int iRes = iResolution;
        if (iResolution == -1) {
            const double dDist = NKVec3Distance(p, eye);
            const float s = dDist > 0.0 ? static_cast<float>(fRadius / dDist / fTan) : 1.0f;
            iRes = NKSphereResolutionForSize(s, fFactor);
        }
        if (iRes <= 0) {
            glBegin(GL_POINTS);
            glVertex3fv(p);
            glEnd();
            continue;
        }
        glPushMatrix();
        glTranslatef(p[0], p[1], p[2]);
        NKDrawSphereGlyph(fRadius, iRes, bSmooth);
        glPopMatrix();
    }
}

bool NKDrawScreenSizedSpheres(const float *pfPoints, int iCount, float fFactor, bool bSmooth,
                              const float *pfScales, const uint8_t *pColors)
{
    float eye[3];
    if (!NKGetEyePoint(eye)) return false;
    if (pfPoints == nullptr) return true;
    for (int i = 0; i < iCount; i++) {
        const float *p = pfPoints + 3 * i;
        float r = static_cast<float>(NKVec3Distance(p, eye)) * fFactor;
        if (pfScales != nullptr) r *= pfScales[i];
        if (pColors != nullptr) glColor3ubv(pColors + 3 * i);
        glPushMatrix();
        glTranslatef(p[0], p[1], p[2]);
        NKDrawSphereGlyph(r, 10, bSmooth);
        glPopMatrix();
    }
    return true;
}

void NKDrawGridPoints(const NKOrientedBox *pBox, int nx, int ny, int nz)
{
    if (pBox == nullptr || nx <= 0 || ny <= 0 || nz <= 0) return;
    float *pfPoints = pBox->MakeGridPoints(nx, ny, nz);
    if (pfPoints == nullptr) return;
    const long long n = static_cast<long long>(nx) * ny * nz;
    glBegin(GL_POINTS);
    for (long long i = 0; i < n; i++) glVertex3fv(pfPoints + 3 * i);
    glEnd();
    NKFree(pfPoints);
}

NKScreenFrame::NKScreenFrame(double fNear, double fFar)
{
    glDisable(GL_LIGHTING);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-1.0, 1.0, -1.0, 1.0, fNear, fFar);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

NKScreenFrame::~NKScreenFrame()
{
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}
