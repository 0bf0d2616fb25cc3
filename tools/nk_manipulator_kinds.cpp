// tools/nk_manipulator_kinds.cpp -- the box, plane and slider handles (see
// nk_manipulator.h). The point handle and the list are in nk_manipulator.cpp,
// the ruler, the grid box and the program's own handles in
// nk_manipulator_ruler.cpp; the boxes' geometry is core's NKOrientedBox.
#include <GL/gl.h>

#include <cmath>

#include "core/nk_math.h"
#include "core/nk_oriented_box.h"
#include "core/nk_ray.h"
#include "render/nk_camera.h"
#include "render/nk_gl_scope.h"
#include "render/nk_lights.h"
#include "render/nk_primitives.h"
#include "render/nk_projection.h"
#include "tools/nk_manipulator.h"

namespace {

constexpr float kNoHit = 1e12f;
const float kUnitBox[6] = {-0.1f, -0.1f, -0.1f, 0.1f, 0.1f, 0.1f};

// v turned by fAngle about the unit axis k (right-handed), in place.
void RotateAboutAxis(float *v, const float *k, double fAngle)
{
    const double c = std::cos(fAngle), s = std::sin(fAngle), d = NKVec3Dot(k, v);
    float afCross[3];
    NKCrossProduct(k, v, afCross);
    for (int i = 0; i < 3; i++) v[i] = float(v[i] * c + afCross[i] * s + k[i] * d * (1.0 - c));
}

void Midpoint(const float *a, const float *b, float *pfOut)
{
    for (int k = 0; k < 3; k++) pfOut[k] = 0.5f * (a[k] + b[k]);
}

}  // namespace

// ---- Box ---------------------------------------------------------------------------

BoxManipulator::BoxManipulator(const char *pszName) : BoxManipulator(pszName, true, true) {}

BoxManipulator::BoxManipulator(const char *pszName, bool bRotation, bool bCornerDragging)
    : Manipulator(pszName), m_pBox(new NKOrientedBox()), m_bRotationEnabled(bRotation ? 1 : 0),
      m_bCornerDragging(bCornerDragging ? 1 : 0)
{
    m_pBox->SetFromBox(kUnitBox);
}

BoxManipulator::~BoxManipulator()
{
    delete m_pCornerHandle;
    delete m_pBox;
}

bool BoxManipulator::SetBox(const float *pfBox)
{
    if (pfBox == nullptr) return false;
    m_pBox->SetFromBox(pfBox);
    float afCenter[3];
    Midpoint(pfBox, pfBox + 3, afCenter);
    Manipulator::SetPosition(afCenter);
    m_pBox->SetCenter(afCenter[0], afCenter[1], afCenter[2]);
    return true;
}

const NKOrientedBox *BoxManipulator::GetOrientedBox(NKOrientedBox *pOut) const
{
    if (pOut != nullptr) *pOut = *m_pBox;
    return m_pBox;
}

void BoxManipulator::GetBounds(float *pfBox, bool bHullOnly) const
{
    if (pfBox != nullptr) m_pBox->GetBox(pfBox, bHullOnly);
}

int BoxManipulator::GetGrabbedCorner(float *pfOut) const
{
    if (m_iGrabbedCorner >= 0 && m_iGrabbedCorner < 8 && pfOut != nullptr) {
        float afCorners[8][3];
        m_pBox->GetCorners(afCorners, nullptr, nullptr);
        NKVec3Copy(pfOut, afCorners[m_iGrabbedCorner]);
    }
    return m_iGrabbedCorner;
}

void BoxManipulator::SetPositionLocks(bool bX, bool bY, bool bZ)
{
    m_abPositionLocks[0] = bX ? 1 : 0;
    m_abPositionLocks[1] = bY ? 1 : 0;
    m_abPositionLocks[2] = bZ ? 1 : 0;
}

void BoxManipulator::SetCornerLocks(bool bX, bool bY, bool bZ)
{
    m_abCornerLocks[0] = bX ? 1 : 0;
    m_abCornerLocks[1] = bY ? 1 : 0;
    m_abCornerLocks[2] = bZ ? 1 : 0;
}

bool BoxManipulator::SetPosition(const float *pfPoint)
{
    if (!Manipulator::SetPosition(pfPoint)) return false;
    m_pBox->SetCenter(pfPoint[0], pfPoint[1], pfPoint[2]);
    return true;
}

bool BoxManipulator::HitTest(const float *pfOrigin, const float *pfDirection, float *pfDistance)
{
    m_iGrabbedCorner = -1;
    m_bHighlighted = 0;
    if (pfOrigin == nullptr || pfDirection == nullptr) return false;
    float t = kNoHit;
    int iCorner = -1, iFace = -1;
    if (!m_pBox->RayHit(pfOrigin, pfDirection, &t, &iCorner, &iFace, m_afLastHit)) return false;
    if (m_bCornerDragging && iFace >= 0 && iFace < 6 && iCorner >= 0 && iCorner < 8) {
        float afCorners[8][3], afCenter[3] = {0.0f, 0.0f, 0.0f};
        int aiFaces[6][4];
        m_pBox->GetCorners(afCorners, aiFaces, nullptr);
        for (int k = 0; k < 4; k++) NKVec3AddTo(afCenter, afCorners[aiFaces[iFace][k]]);
        NKVec3Scale(afCenter, 0.25f);
        if (NKVec3DistanceSquared(m_afLastHit, afCenter) >
            NKVec3DistanceSquared(m_afLastHit, afCorners[iCorner]))
            m_iGrabbedCorner = iCorner;
    }
    m_bHighlighted = 1;
    if (pfDistance != nullptr) *pfDistance = t;
    return true;
}

BoxManipulator *BoxManipulator::CornerHandleAtGrab()
{
    if (!m_bCornerDragging || m_iGrabbedCorner < 0) return nullptr;
    if (m_pCornerHandle == nullptr)
        m_pCornerHandle = new BoxManipulator("Box Corner", false, false);
    float afCorner[3];
    GetGrabbedCorner(afCorner);
    m_pCornerHandle->SetPosition(afCorner);
    return m_pCornerHandle;
}

// The grabbed corner's handle drags with the box, and then the box resizes.
void BoxManipulator::BeginHandleDrags(const NKInputState *pMouse, const float *pfModelView,
                                      const float *pfProjection, const int *piViewport)
{
    BoxManipulator *pCorner = CornerHandleAtGrab();
    if (pCorner != nullptr && pMouse != nullptr)
        pCorner->BeginDrag(pMouse, pfModelView, pfProjection, piViewport);
    else if (pCorner != nullptr)
        pCorner->BeginDrag();
    m_bCornerDragActive = pCorner != nullptr ? 1 : 0;
}

bool BoxManipulator::Rotate(const NKInputState *pMouse, const float *pfModelView,
                            const float *pfProjection, const int *piViewport)
{
    if (!m_bRotationEnabled) return false;
    float afMatrix[16];
    if (!NKComputeDragRotation(pMouse, m_iLastMouseX, m_iLastMouseY, m_afPosition, pfModelView,
                               pfProjection, piViewport, afMatrix))
        return false;
    if (m_bHeadingOnly) NKConstrainRotationToZ(afMatrix, false);
    // Turned about its own centre: to the origin, turned, and back.
    m_pBox->SetCenter(0.0f, 0.0f, 0.0f);
    m_pBox->Transform(afMatrix);
    m_pBox->SetCenter(m_afPosition[0], m_afPosition[1], m_afPosition[2]);
    return true;
}

bool BoxManipulator::Drag(const NKInputState *pMouse, const float *pfModelView,
                          const float *pfProjection, const int *piViewport, bool bRelative)
{
    if (pMouse == nullptr || m_iViewportWidth < 1 || m_iViewportHeight < 1) return false;
    const uint32_t uButton = pMouse->uButtons;
    float afBefore[3];
    NKVec3Copy(afBefore, m_pBox->GetCenter());
    bool bMoved = false;
    if (uButton == 3) {
        bMoved = Rotate(pMouse, pfModelView, pfProjection, piViewport);
    } else if (uButton == 1 || uButton == 2) {
        if (m_bCornerDragActive && m_pCornerHandle != nullptr) {
            bMoved = m_pCornerHandle->Drag(pMouse, pfModelView, pfProjection, piViewport, true);
            if (bMoved) {
                m_iGrabbedCorner = m_pBox->DragCorner(
                    m_iGrabbedCorner, m_pCornerHandle->GetPosition(), m_abCornerLocks[0] != 0,
                    m_abCornerLocks[1] != 0, m_abCornerLocks[2] != 0);
                NKVec3Copy(m_afPosition, m_pBox->GetCenter());
            }
        } else {
            bMoved = DragPoint(pMouse, pfModelView, bRelative, m_afStartPosition, m_afPosition);
        }
    }
    if (!bMoved) return false;
    m_pBox->SetCenter(m_afPosition[0], m_afPosition[1], m_afPosition[2]);
    bool bLocked = false;
    for (int k = 0; k < 3; k++) {
        if (m_abPositionLocks[k] == 0) continue;
        m_afPosition[k] = afBefore[k];
        bLocked = true;
    }
    if (bLocked) m_pBox->SetCenter(m_afPosition[0], m_afPosition[1], m_afPosition[2]);
    m_iLastMouseX = pMouse->iX;
    m_iLastMouseY = pMouse->iY;
    SetChanged();
    return true;
}

void BoxManipulator::Transform(const float *pfMatrix)
{
    if (pfMatrix == nullptr) return;
    if (m_bCornerDragActive && m_pCornerHandle != nullptr) {
        m_pCornerHandle->Transform(pfMatrix);
        m_iGrabbedCorner = m_pBox->DragCorner(m_iGrabbedCorner, m_pCornerHandle->GetPosition(),
                                              m_abCornerLocks[0] != 0, m_abCornerLocks[1] != 0,
                                              m_abCornerLocks[2] != 0);
        NKVec3Copy(m_afPosition, m_pBox->GetCenter());
    } else if (!m_bRotationEnabled) {
        NKTransformPoint(pfMatrix, m_afPosition);
        m_pBox->SetCenter(m_afPosition[0], m_afPosition[1], m_afPosition[2]);
    } else {
        m_pBox->Transform(pfMatrix);
        NKVec3Copy(m_afPosition, m_pBox->GetCenter());
    }
    SetChanged();
}

void BoxManipulator::BeginOutline() const
{
    glDisable(GL_LIGHTING);
    float afCorner[3];
    if (m_bHighlighted && GetGrabbedCorner(afCorner) >= 0) {
        glColor3f(1.0f, 0.0f, 0.0f);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glTranslatef(afCorner[0], afCorner[1], afCorner[2]);
        NKDrawSphereGlyph(NKScaleByEyeDistance(0.005f, afCorner, nullptr), 10, true);
        glPopMatrix();
    }
    SetOutlineStyle(m_bHighlighted != 0);
}

void BoxManipulator::EndOutline() { glDisable(GL_LINE_STIPPLE); }

void BoxManipulator::Draw()
{
    const NKAttribScope attribs(HandleAttribBits());
    BeginOutline();
    const float fWidth = m_bHighlighted ? 2.0f : 1.0f;
    NKDrawOrientedBox(m_pBox, false, fWidth, false);
    if (m_bDrawFaces) {
        // The faces faintly over the wire box, so that what is inside shows.
        glDisable(GL_LINE_STIPPLE);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glDepthMask(GL_FALSE);
        glColor4f(1.0f, 1.0f, 1.0f, 0.15f);
        NKDrawOrientedBox(m_pBox, true, fWidth, false);
    }
    EndOutline();
}

// ---- Plane ---------------------------------------------------------------------------

PlaneManipulator::PlaneManipulator(const char *pszName, bool bCornerDragging)
    : BoxManipulator(pszName, true, bCornerDragging)
{
    m_pBox->SetHalfExtents(0.0f, 0.2f, 0.2f);
    m_abCornerLocks[0] = 1;
    m_bDrawFaces = 0;
}

const float *PlaneManipulator::GetNormal(float *pfOut) const
{
    if (pfOut != nullptr) NKVec3Copy(pfOut, m_pBox->GetAxis(0));
    return m_pBox->GetAxis(0);
}

const float *PlaneManipulator::GetInPlaneAxis(float *pfOut) const
{
    if (pfOut != nullptr) NKVec3Copy(pfOut, m_pBox->GetAxis(1));
    return m_pBox->GetAxis(1);
}

// The opposite of the x axis has no cross product to turn about: it is a
// half turn about the box's y axis instead.
void PlaneManipulator::SetNormal(const float *pfNormal)
{
    if (pfNormal == nullptr || NKVec3LengthSquared(pfNormal) < 1e-12) return;
    float n[3] = {pfNormal[0], pfNormal[1], pfNormal[2]};
    NKVec3Normalize(n);
    float aafAxes[3][3];
    for (int k = 0; k < 3; k++) NKVec3Copy(aafAxes[k], m_pBox->GetAxis(k));
    const double dAngle = NKVec3Angle(aafAxes[0], n, false);
    if (dAngle < 1e-6) return;
    float afAxis[3];
    NKCrossProduct(aafAxes[0], n, afAxis);
    if (NKVec3Length(afAxis) < 1e-6)
        NKVec3Copy(afAxis, aafAxes[1]);
    else
        NKVec3Normalize(afAxis);
    for (float *pfAxis : aafAxes) {
        RotateAboutAxis(pfAxis, afAxis, dAngle);
        NKVec3Normalize(pfAxis);
    }
    NKVec3Copy(aafAxes[0], n);
    m_pBox->SetAxes(aafAxes[0], aafAxes[1], aafAxes[2]);
}

void NKInPlaneAxis(const float *n, const float *pfAxis, float *pfOut)
{
    static const float kFallbacks[2][3] = {{1, 0, 0}, {0, 0, 1}};
    for (int iTry = 0; iTry < 3; iTry++) {
        const float *pfFrom = iTry == 0 ? pfAxis : kFallbacks[iTry - 1];
        const double d = NKVec3Dot(pfFrom, n);
        for (int k = 0; k < 3; k++) pfOut[k] = float(pfFrom[k] - d * n[k]);
        if (NKVec3Length(pfOut) >= 1e-6) break;
    }
    NKVec3Normalize(pfOut);
}

// The in-plane axis is kept perpendicular to the normal, so that the box's
// axes stay orthonormal whatever u is.
void PlaneManipulator::SetInPlaneAxis(const float *pfAxis)
{
    if (pfAxis == nullptr) return;
    float afNormal[3], u[3], w[3];
    NKVec3Copy(afNormal, m_pBox->GetAxis(0));
    NKInPlaneAxis(afNormal, pfAxis, u);
    NKCrossProduct(u, afNormal, w);
    NKVec3Normalize(w);
    m_pBox->SetAxes(afNormal, u, w);
}

void PlaneManipulator::SetSize(float fHalfWidth, float fHalfHeight)
{
    m_pBox->SetHalfExtents(m_pBox->GetHalfExtents()[0], fHalfWidth, fHalfHeight);
}

void PlaneManipulator::GetSize(float *pfHalfWidth, float *pfHalfHeight) const
{
    if (pfHalfWidth != nullptr) *pfHalfWidth = m_pBox->GetHalfExtents()[1];
    if (pfHalfHeight != nullptr) *pfHalfHeight = m_pBox->GetHalfExtents()[2];
}

void PlaneManipulator::Draw()
{
    const NKAttribScope attribs(HandleAttribBits());
    BeginOutline();
    const float *c = m_pBox->GetCenter(), *n = m_pBox->GetAxis(0), *h = m_pBox->GetHalfExtents();
    float afFront[3], afBack[3];
    for (int k = 0; k < 3; k++) {
        afFront[k] = c[k] + 0.0006f * n[k];
        afBack[k] = c[k] - 0.0006f * n[k];
    }
    static const float kFill[4] = {1.0f, 1.0f, 1.0f, 0.3f};
    NKDrawPlaneSymbol(afFront, n, m_pBox->GetAxis(1), 2.0f * h[1], 2.0f * h[2], false, 1.0f, kFill,
                      true);
    glLineWidth(2.0f);
    NKDrawPlaneSymbol(afBack, n, m_pBox->GetAxis(1), 2.0f * h[1], 2.0f * h[2], false, 1.0f, nullptr,
                      false);
    EndOutline();
}

// ---- Slider ---------------------------------------------------------------------------

SliderManipulator::SliderManipulator(const char *pszName) : BoxManipulator(pszName, true, false)
{
    const float afBar[6] = {-0.03f, -0.3f, -0.03f, 0.03f, 0.3f, 0.03f};
    m_pBox->SetFromBox(afBar);
}

void SliderManipulator::SetValue(float v)
{
    if (v < m_fMinimum) v = m_fMinimum;
    if (v > m_fMaximum) v = m_fMaximum;
    m_fValue = v;
}

void SliderManipulator::SetRange(float fMinimum, float fMaximum)
{
    m_fMinimum = fMinimum;
    m_fMaximum = fMaximum;
    m_fStep = (fMaximum - fMinimum) * 0.01f;
    SetValue(m_fValue);
}

void SliderManipulator::ClearChanged()
{
    Manipulator::ClearChanged();
    m_bValueChanged = 0;
}

void SliderManipulator::MakeBarCopy(NKOrientedBox *pOut, float fAlong, float fx, float fy,
                                    float fz) const
{
    *pOut = *m_pBox;
    const float *h = m_pBox->GetHalfExtents();
    pOut->MoveAlongAxes(0.0f, fAlong * h[1], 0.0f);
    pOut->SetHalfExtents(h[0] * fx, h[1] * fy, h[2] * fz);
}

bool SliderManipulator::HitOrClick(const float *pfOrigin, const float *pfDirection,
                                   float *pfDistance, bool bClick)
{
    if (pfOrigin == nullptr || pfDirection == nullptr) return false;
    const uint8_t bWasHighlighted = m_bHighlighted;
    NKOrientedBox aArrows[2];  // lower, upper
    MakeBarCopy(&aArrows[0], -1.08f, 1.4f, 0.08f, 1.4f);
    MakeBarCopy(&aArrows[1], 1.08f, 1.4f, 0.08f, 1.4f);
    float tBar = kNoHit;
    const bool bBar = BoxManipulator::HitTest(pfOrigin, pfDirection, &tBar);
    float at[2] = {kNoHit, kNoHit};
    bool ab[2];
    for (int i = 0; i < 2; i++) {
        int iCorner, iFace;
        float afHit[3];
        ab[i] = aArrows[i].RayHit(pfOrigin, pfDirection, &at[i], &iCorner, &iFace, afHit) &&
                (!bBar || at[i] <= tBar);
    }
    float fValue = m_fValue, fDistance;
    if (ab[0] || ab[1]) {
        const bool bLower = ab[0] && (!ab[1] || at[0] <= at[1]);
        fValue += bLower ? -m_fStep : m_fStep;
        fDistance = bLower ? at[0] : at[1];
    } else if (bBar) {
        float afOffset[3];
        NKVec3Difference(m_afLastHit, m_pBox->GetCenter(), afOffset);
        const float fHalf = m_pBox->GetHalfExtents()[1];
        double f = fHalf > 0.0f ? NKVec3Dot(afOffset, m_pBox->GetAxis(1)) / fHalf : 0.0;
        f = f < -1.0 ? -1.0 : (f > 1.0 ? 1.0 : f);
        fValue = float(((m_fMaximum - m_fMinimum) * f + (m_fMinimum + m_fMaximum)) / 2.0);
        fDistance = tBar;
    } else {
        m_bHighlighted = 0;
        if (bClick) m_bHighlighted = bWasHighlighted;
        return false;
    }
    fValue = fValue < m_fMinimum ? m_fMinimum : (fValue > m_fMaximum ? m_fMaximum : fValue);
    m_bHighlighted = 1;
    if (pfDistance != nullptr) *pfDistance = fDistance;
    if (bClick) {
        m_bHighlighted = bWasHighlighted;
        if (fValue != m_fValue) {
            m_fValue = fValue;
            SetValueChanged();
        }
    }
    return true;
}

bool SliderManipulator::HitTest(const float *pfOrigin, const float *pfDirection, float *pfDistance)
{
    return HitOrClick(pfOrigin, pfDirection, pfDistance, false);
}

bool SliderManipulator::Click(const float *pfOrigin, const float *pfDirection)
{
    float fDistance;
    return HitOrClick(pfOrigin, pfDirection, &fDistance, true);
}

void SliderManipulator::Draw()
{
    const NKAttribScope attribs(HandleAttribBits());
    glDisable(GL_LIGHTING);
    if (m_bHighlighted) {
        glColor3f(1.0f, 1.0f, 1.0f);
        NKDrawOrientedBox(m_pBox, false, 2.0f, false);
    }
    const float fHalfRange = (m_fMaximum - m_fMinimum) / 2.0f;
    const float fAt =
        fHalfRange != 0.0f ? (m_fValue - (m_fMaximum + m_fMinimum) / 2.0f) / fHalfRange : 0.0f;
    NKOrientedBox marker;
    MakeBarCopy(&marker, fAt, 1.2f, 0.01f, 1.2f);
    ApplyHandleMaterial(false);
    NKDrawOrientedBox(&marker, true, 1.0f, false);
    // Two red squares around the marker.
    glDisable(GL_LIGHTING);
    glColor3f(1.0f, 0.0f, 0.0f);
    const float fSide = 2.2f * marker.GetHalfExtents()[0];
    NKDrawPlaneSymbol(marker.GetCenter(), m_pBox->GetAxis(1), m_pBox->GetAxis(0), fSide, fSide,
                      false, 1.0f, nullptr, false);
    ApplyHandleMaterial(true);
    NKDrawOrientedBox(m_pBox, true, 1.0f, false);
    const float kArrowColors[2][4] = {{0.7f, 0.7f, 1.0f, 1.0f}, {1.0f, 0.7f, 0.7f, 1.0f}};
    for (int i = 0; i < 2; i++) {
        NKOrientedBox arrow;
        MakeBarCopy(&arrow, i == 0 ? -1.08f : 1.08f, 1.4f, 0.08f, 1.4f);
        const float *c = kArrowColors[i];
        const NKGLMaterial material = {
            {c[0], c[1], c[2], c[3]}, {c[0], c[1], c[2], c[3]}, {0, 0, 0, 1}, {0, 0, 0, 1}, 0};
        NKApplyMaterial(&material);
        float afBase[3], afAxis[3];
        NKVec3Copy(afBase, arrow.GetCenter());
        NKVec3Copy(afAxis, m_pBox->GetAxis(1));
        if (i == 0) NKVec3Scale(afAxis, -1.0f);
        NKDrawPyramid(afBase, afAxis, m_pBox->GetAxis(0), arrow.GetHalfExtents()[1] * 2.0f,
                      arrow.GetHalfExtents()[0] * 2.0f);
    }
}
