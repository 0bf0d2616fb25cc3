// render/nk_projection.cpp -- projection, view volume and clip planes of
// the 3-D view (see nk_projection.h).
#include "render/nk_projection.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>

#include "core/nk_bbox.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_math.h"
#include "core/nk_oriented_box.h"
#include "core/nk_render_state.h"
#include "core/nk_tool_state.h"
#include "core/nk_view_state.h"
#include "render/nk_camera.h"

namespace {

// Width over height; a view of height 0 counts as square.
double Aspect(int iWidth, int iHeight) { return iHeight == 0 ? 1.0 : double(iWidth) / iHeight; }

bool PerspectiveOn(void)
{
    return g_pGraphicsSettings == nullptr || g_pGraphicsSettings->bPerspective != 0;
}

// The four corners of the frustum's section at distance fDistance:
// bottom-left, top-left, bottom-right, top-right.
void SectionCorners(double dAspect, float fDistance, float afCorners[4][3])
{
    float fHalfHeight = float(double(g_fFieldOfViewFactor) * fDistance);
    float fHalfWidth = float(double(fHalfHeight) * dAspect);
    const float afSigns[4][2] = {{-1, -1}, {-1, 1}, {1, -1}, {1, 1}};
    for (int i = 0; i < 4; i++) {
        afCorners[i][0] = afSigns[i][0] * fHalfWidth;
        afCorners[i][1] = afSigns[i][1] * fHalfHeight;
        afCorners[i][2] = -fDistance;
    }
}

bool ClipPlaneIndexOk(int iPlane)
{
    GLint iMax = 6;  // every OpenGL has at least six
    glGetIntegerv(GL_MAX_CLIP_PLANES, &iMax);
    return iPlane >= 0 && iPlane < iMax;
}

}  // namespace

// Leaves the model-view matrix current. The display transform always
// subtracts the model's centre (core/nk_bbox.h), so the model-view start is
// the step back of 2 that puts the model in front of the eye.
void NKSetProjection(int iWidth, int iHeight, double dNear, double dFar)
{
    double dAspect = Aspect(iWidth, iHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (PerspectiveOn()) {
        double dHalfHeight = double(g_fFieldOfViewFactor) * dNear;
        double dHalfWidth = dHalfHeight * dAspect;
        glFrustum(-dHalfWidth, dHalfWidth, -dHalfHeight, dHalfHeight, dNear, dFar);
    } else if (dAspect > 1.0) {
        glOrtho(-1.0, 1.0, -1.0 / dAspect, 1.0 / dAspect, dNear, dFar);
    } else {
        glOrtho(-dAspect, dAspect, -1.0, 1.0, dNear, dFar);
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -2.0f);
}

// Eye-space depths are negative in front of the eye; a box that lies
// behind it gets the nearest and farthest distances 0.005 and 1.0.
bool NKSetNearFarFromModel(NKFrame *pFrame, const float *pfModelView, int iWidth, int iHeight,
                           float *pfNear, float *pfFar, float *pfZMin, float *pfZMax)
{
    float fZMin = 0.0f, fZMax = 0.0f;
    if (!NKGetBoxDepthRange(pFrame, pfModelView, &fZMin, &fZMax)) return false;
    double n = fZMax >= 0.0f ? 0.005 : -double(fZMax);
    double f = fZMin >= 0.0f ? 1.0 : -double(fZMin);
    double m = n - (f - n) * 0.01;
    double dNear = std::max(m - 0.1, 0.005);
    double dFar = std::max(f + (f - m) * 0.01 + 0.1, 1.0);
    glDepthRange(0.0, 1.0);
    GLint iMatrixMode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &iMatrixMode);
    NKSetProjection(iWidth, iHeight, dNear, dFar);
    glMatrixMode(GLenum(iMatrixMode));
    if (pfNear != nullptr) *pfNear = float(dNear);
    if (pfFar != nullptr) *pfFar = float(dFar);
    if (pfZMin != nullptr) *pfZMin = fZMin;
    if (pfZMax != nullptr) *pfZMax = fZMax;
    return true;
}

bool NKGetViewVolumeBox(int iWidth, int iHeight, float fNear, float fFar, float *pfBox,
                        NKOrientedBox *pBox)
{
    double dHalfHeight = double(g_fFieldOfViewFactor) * fFar;
    double dHalfWidth = dHalfHeight * Aspect(iWidth, iHeight);
    const float afBox[6] = {float(-dHalfWidth), float(-dHalfHeight), -fFar,
                            float(dHalfWidth),  float(dHalfHeight),  -fNear};
    if (pfBox != nullptr) std::copy(afBox, afBox + 6, pfBox);
    if (pBox != nullptr) pBox->SetFromBox(afBox);
    return true;
}

bool NKGetViewFrustumPlanes(int iWidth, int iHeight, float fNear, float fFar, float (*pfPlanes)[4],
                            bool bNearFar, bool bReverse)
{
    if (pfPlanes == nullptr) return false;
    enum { BL, TL, BR, TR };
    float n[4][3], f[4][3];
    SectionCorners(Aspect(iWidth, iHeight), fNear, n);
    SectionCorners(Aspect(iWidth, iHeight), fFar, f);
    NKPlaneFromPoints(n[BL], n[TL], f[BL], pfPlanes[0], bReverse);  // left
    NKPlaneFromPoints(n[BR], f[BR], n[TR], pfPlanes[1], bReverse);  // right
    NKPlaneFromPoints(n[TL], n[TR], f[TL], pfPlanes[2], bReverse);  // top
    NKPlaneFromPoints(n[BR], n[BL], f[BR], pfPlanes[3], bReverse);  // bottom
    if (bNearFar) {
        NKPlaneFromPoints(n[BR], n[TR], n[BL], pfPlanes[4], bReverse);
        NKPlaneFromPoints(f[BR], f[BL], f[TR], pfPlanes[5], bReverse);
    }
    return true;
}

// The eye of a model-view matrix is the point it maps to the origin.
float NKScaleByEyeDistance(float fSize, const float *pfPoint, const float *pfMatrix)
{
    if (pfPoint == nullptr) return fSize;
    float afEye[3] = {0.0f, 0.0f, 0.0f};
    if (pfMatrix != nullptr) {
        float afInverse[16];
        if (!NKInvertMatrix(pfMatrix, afInverse)) return fSize;
        NKTransformPoint(afInverse, afEye);
    } else if (!NKGetEyePoint(afEye)) {
        return fSize;
    }
    return float(fSize * NKVec3Distance(afEye, pfPoint));
}

// An index past the implementation's planes is refused rather than handed
// to OpenGL as another enum.
bool NKSetClipPlane(int iPlane, const float *pfPlane, bool bFlip)
{
    if (!ClipPlaneIndexOk(iPlane)) return false;
    GLenum ePlane = GLenum(GL_CLIP_PLANE0 + iPlane);
    if (pfPlane == nullptr) {
        glDisable(ePlane);
        return true;
    }
    double adEquation[4];
    for (int i = 0; i < 4; i++) adEquation[i] = bFlip ? -double(pfPlane[i]) : double(pfPlane[i]);
    glClipPlane(ePlane, adEquation);
    glEnable(ePlane);
    return true;
}

bool NKSetClipPlaneFromPointNormal(int iPlane, const float *pfPoint, const float *pfNormal,
                                   bool bFlip)
{
    if (pfPoint == nullptr || pfNormal == nullptr) return NKSetClipPlane(iPlane, nullptr, bFlip);
    float afPlane[4];
    if (NKPlaneFromPointNormal(pfPoint, pfNormal, afPlane) == 0) return false;
    return NKSetClipPlane(iPlane, afPlane, bFlip);
}

void NKInitViewProjection(void)
{
    glMatrixMode(GL_MODELVIEW);
    NKSetProjection(NKViewWindowSize.iWidth, NKViewWindowSize.iHeight, g_fNearClip, g_fFarClip);
}

bool NKProjectToWindow(const float *pfPoint, const double *pdModelView, const double *pdProjection,
                       const int *piViewport, int *piX, int *piY, double *pdDepth)
{
    if (pfPoint == nullptr || pdModelView == nullptr || pdProjection == nullptr ||
        piViewport == nullptr || piX == nullptr || piY == nullptr)
        return false;
    double dX = 0.0, dY = 0.0, dZ = 0.0;
    if (gluProject(pfPoint[0], pfPoint[1], pfPoint[2], pdModelView, pdProjection, piViewport, &dX,
                   &dY, &dZ) != GL_TRUE)
        return false;
    *piX = int(dX + 0.5);  // truncated toward zero, as the callers expect
    *piY = int(dY + 0.5);
    if (pdDepth != nullptr) *pdDepth = dZ;
    return true;
}
